#pragma once
#include "comum/EMorvendo.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Banco de estações IDF e de localidades do Brasil, coordenadas em texto, interpolação
// espacial e as molduras dos mapas. Textos em UTF-8 na memória, Windows-1252 nos arquivos.

class TArquivoIni;

// Índice de estado fora de 0..26.
class ENumeroEstado : public EMorvendo {
public:
    using EMorvendo::EMorvendo;
};

// ---- Tabela de estados ----------------------------------------------------------------

inline constexpr int NumeroEstados = 27;

struct TInfoEstado {
    const char* Nome;
    const char* Codigo;
};

// Índice 0 (Acre) a 26 (Tocantins): o mesmo dos arquivos de dados e do arquivo de projeto.
extern const std::array<TInfoEstado, NumeroEstados> TabelaEstados;

// Nome e sigla do estado; ENumeroEstado fora de 0..26.
std::string NomeEstado(int indice);
std::string CodigoEstado(int indice);
// Índice pela sigla ("MG"), sem distinção de maiúsculas; -1 quando não existe.
int IndiceEstadoPorCodigo(std::string_view codigo);

class TEstado {
public:
    // ENumeroEstado quando n está fora de 0..26; o índice anterior permanece.
    void DefinirIndice(int n);
    std::int16_t Indice() const { return FIndice; }
    std::string NomeEstado() const;

private:
    std::int16_t FIndice = 0;
};

// ---- Registros e disposição dos arquivos ------------------------------------------------

inline constexpr const char* NomeArquivoEstacoes = "Estados_Tar21.bin";
inline constexpr const char* NomeArquivoLocalidades = "Localidades_Tar21.bin";

inline constexpr std::size_t TamanhoRegistroEstacao = 152;
inline constexpr std::size_t TamanhoRegistroLocalidade = 89;
inline constexpr std::size_t MaxNome = 68;
inline constexpr std::size_t MaxAutor = 30;
inline constexpr std::size_t MaxCoordenada = 9;
// Contagem de 16 bits por estado.
inline constexpr std::size_t MaxRegistrosPorEstado = 65535;

struct TEstacao {
    std::string Nome;
    double K = 0, A = 0, B = 0, C = 0;
    std::string Autor;
    std::string Latitude;
    std::string Longitude;
    // Estação do próprio usuário (não vai para o arquivo do banco).
    bool DoUsuario = false;
};

struct TLocalidade {
    std::string Nome;
    std::string Latitude;
    std::string Longitude;
};

using TEstacoesPorEstado = std::array<std::vector<TEstacao>, NumeroEstados>;
using TLocalidadesPorEstado = std::array<std::vector<TLocalidade>, NumeroEstados>;

// Registros e arquivos inteiros em bytes, como gravados em disco (bytes não usados = 0).
// EMorvendo quando um texto não cabe no seu campo ou não tem representação em Windows-1252,
// ou quando um estado passa de 65535 registros.
std::string RegistroEstacao(const TEstacao& e);
std::string RegistroLocalidade(const TLocalidade& l);
std::string ArquivoEstacoes(const TEstacoesPorEstado& estacoes);
std::string ArquivoLocalidades(const TLocalidadesPorEstado& localidades);

// Leitura a partir dos bytes do arquivo; nomeArquivo só entra nas mensagens de erro.
// EMorvendo nomeando o arquivo quando ele está truncado ou corrompido; nada é lido fora
// dos bytes dados.
TEstacoesPorEstado LerArquivoEstacoes(std::string_view bytes, const std::string& nomeArquivo);
std::vector<TLocalidade> LerLocalidadesDoEstado(std::string_view bytes, int indiceEstado,
                                                const std::string& nomeArquivo);

// Bytes de um arquivo de dados: EArquivoNaoExiste quando falta; EEntradaSaida quando não é
// um arquivo comum (pasta, FIFO), passa de 64 MiB ou não se deixa ler.
std::string LerArquivoDados(const std::string& caminho);

// ---- Coordenadas em texto ---------------------------------------------------------------

// "00°00'00\"" -> graus decimais: (S/60 + M)/60 + D com os pares 1-2, 4-5 e 7-8; os
// caracteres 3, 6 e 9 não são examinados. Par que não é número: o erro padrão de conversão.
double GrausDecimais(std::string_view texto);

// Graus decimais (x >= 0) -> "00°00'00\"", minutos e segundos truncados; graus de três
// algarismos perdem o terceiro. EMorvendo para valor negativo ou não finito.
std::string TextoGraus(double x);

// Texto "00°00'00\"" de uma magnitude em graus, com uma folga de 1e-9 grau para que um
// segundo exato (2.8 = 2°48'00") não caia no anterior pela truncagem.
std::string TextoCoordenada(double graus);

// Coordenada digitada ou colada de um GPS ou mapa: graus, minutos e segundos com graus de um
// ou dois algarismos (7°20'58", 27°11'36") ou graus decimais com ponto ou vírgula (-22.5,
// 22,5 S, 47,3 O). Devolve a magnitude (sul e oeste positivos); nullopt para texto que não é
// coordenada, minutos ou segundos de 60 ou mais, hemisfério trocado (N numa longitude) ou
// sinal junto com letra de hemisfério. Norte e leste dão magnitude negativa.
std::optional<double> LerCoordenada(std::string_view texto, bool latitude);

// Distância sobre a esfera (haversine, R = 6371 km) entre dois pontos em graus (sul e oeste
// positivos, como no banco).
double DistanciaKm(double lat1, double lon1, double lat2, double lon2);

// ---- Consulta num ponto ----------------------------------------------------------------

// Um ponto a até esta distância de uma estação recebe a equação dela.
inline constexpr double DistanciaEstacaoKm = 1;
// Raio da interpolação: só as estações dentro dele entram na média.
inline constexpr double RaioInterpolacaoPadraoKm = 100;
inline constexpr double RaioInterpolacaoMinimoKm = 10;
inline constexpr double RaioInterpolacaoMaximoKm = 300;

// Estação que entrou numa consulta (ou que está perto do ponto), com a distância e o peso.
struct TEstacaoConsultada {
    std::string Nome;
    int Estado = 0;
    bool DoUsuario = false;
    double DistanciaKm = 0;
    double Peso = 0; // fração da soma dos pesos (1 quando a equação é de uma estação só)
};

struct TConsultaPonto {
    // A estação (cópia do registro) ou o resultado da interpolação (Autor "Interpolação").
    TEstacao Resultado;
    bool Interpolada = false;
    double RaioKm = RaioInterpolacaoPadraoKm;
    // Interpolação: as estações do raio, do maior peso ao menor. Estação: ela.
    std::vector<TEstacaoConsultada> Usadas;
    // Estação: as outras a até 1 km (duas equações para o mesmo lugar).
    std::vector<TEstacaoConsultada> Vizinhas;
};

// Nenhuma estação no raio: a interpolação não é feita. Proximas: as três mais próximas.
class ESemEstacoesNoRaio : public EMorvendo {
public:
    ESemEstacoesNoRaio(std::vector<TEstacaoConsultada> proximas, double raioKm,
                       const std::string& comoAumentar);
    std::vector<TEstacaoConsultada> Proximas;
    double RaioKm;
};

// "Não há estações a menos de 100 km do ponto. As mais próximas: ..."; comoAumentar diz
// onde o raio se muda (Configurações, --raio).
std::string MensagemSemEstacoesNoRaio(const std::vector<TEstacaoConsultada>& proximas,
                                      double raioKm, const std::string& comoAumentar);
inline constexpr const char* AumentarRaioNaJanela =
    "aumente o raio de interpolação em Configurações (até 300 km)";

// "Iraí (RS), a 12,3 km, peso 45,6 %" com o separador decimal dado; sem peso quando
// comPeso é falso.
std::string TextoEstacaoConsultada(const TEstacaoConsultada& e, char separador, bool comPeso);
// As estações usadas de uma consulta, uma por linha: a estação, ou a interpolação com o raio
// e a lista; para a janela Autor, os relatórios e a página de dados.
std::string TextoOrigemConsulta(const TConsultaPonto& c, char separador);

// Raio de interpolação em uso no programa (Configurações); padrão 100 km.
void DefinirRaioInterpolacaoKm(double raio);
double RaioInterpolacaoKm();
// Confere um raio digitado: EMorvendo nomeando o campo, a unidade e a faixa.
void ConferirRaioInterpolacao(double raio);
// Raio gravado nas configurações ([CONSULTA_IDF] RaioInterpolacao); ausente, ilegível ou
// fora de 10 a 300 km: o padrão.
double LerRaioInterpolacao(const TArquivoIni& ini);
void GravarRaioInterpolacao(TArquivoIni& ini, double raio);

// ---- Banco ------------------------------------------------------------------------------

class TBancoEstacoes {
public:
    // pastaDados: a pasta "Arquivos Comuns" com os dois arquivos.
    explicit TBancoEstacoes(std::string pastaDados);

    TEstacoesPorEstado Estacoes;
    // Localidades de um só estado, o último carregado.
    std::vector<TLocalidade> Localidades;

    std::string CaminhoEstacoes() const;
    std::string CaminhoLocalidades() const;

    // EArquivoNaoExiste quando o arquivo falta; EMorvendo quando está truncado ou
    // corrompido. Em erro as estações carregadas antes permanecem.
    void CarregarEstacoes();
    // Esvazia Localidades e carrega as do estado dado (ENumeroEstado fora de 0..26).
    void CarregarLocalidades(int indiceEstado);

    // Estações do usuário: vão ao fim da lista de cada estado (as posições das distribuídas
    // não mudam) e continuam lá quando as estações são recarregadas.
    void DefinirEstacoesUsuario(std::vector<TEstacao> estacoes, const std::vector<int>& estados);

    // Estação com os mesmos textos de coordenadas, ou a mais próxima a até 1 km, de
    // qualquer estado (distribuída ou do usuário): cópia dela. Senão, média ponderada pelo
    // inverso da quinta potência da distância (sobre a esfera) das estações a até raioKm do
    // ponto, de todos os estados. Sem nenhuma no raio: ESemEstacoesNoRaio; sem estação
    // nenhuma no banco: EMorvendo(MensagemSemEstacoes).
    TConsultaPonto Consultar(std::string_view latitude, std::string_view longitude,
                             double raioKm) const;
    // O mesmo, com coordenadas em graus (os textos do resultado são os do ponto).
    TConsultaPonto Consultar(double latitude, double longitude, double raioKm) const;
    // Só o registro do resultado, com o raio do programa.
    TEstacao InterpolarParametros(std::string_view latitude, std::string_view longitude) const;

private:
    void AcrescentarEstacoesUsuario();
    TConsultaPonto ConsultarPonto(double phi, double lambda, std::string_view latitude,
                                  std::string_view longitude, double raioKm) const;

    std::string FPastaDados;
    std::vector<TEstacao> FUsuario;
    std::vector<int> FEstadosUsuario;
};

inline constexpr const char* AutorInterpolacao = "Interpolação";
inline constexpr const char* MensagemSemEstacoes =
    "Não há estações com parâmetros conhecidos para a interpolação.";

// ---- Mapas ------------------------------------------------------------------------------

// Faixa de graus (oeste e sul positivos) e o retângulo de pixels que ela cobre na figura
// de 450 x 450. LonMax fica à esquerda e LatMin no alto.
struct TMolduraMapa {
    double LonMin, LonMax, LatMin, LatMax;
    int XMapa, YMapa, LarguraMapa, AlturaMapa;
};

inline constexpr int LadoFigura = 450;

// Moldura do mapa do estado, ou nullptr para os estados sem mapa.
const TMolduraMapa* MolduraEstado(int indice);
// Estados com mapa, em ordem de índice.
inline constexpr std::array<int, 7> EstadosComMapa = {4, 7, 12, 15, 18, 24, 26};
// Moldura do mapa do Brasil (latitudes ao norte do equador são negativas).
extern const TMolduraMapa MolduraBrasil;

struct TPixel {
    double X, Y;
};
TPixel PontoParaPixel(const TMolduraMapa& m, double latitude, double longitude);
void PixelParaPonto(const TMolduraMapa& m, double x, double y, double& latitude, double& longitude);
// Arredonda a posição ao pixel mais próximo.
int PixelInteiro(double v);

struct TCor {
    std::uint8_t R, G, B;
    bool operator==(const TCor&) const = default;
};

inline constexpr TCor CorEstadoNoMapa{0, 0, 255};
inline constexpr TCor CorFundoBrasil{255, 255, 255};
inline constexpr TCor CorBordaBrasil{0, 0, 0};
// Cor de cada estado no mapa do Brasil, por índice.
TCor CorEstadoBrasil(int indice);
// Estado escolhido por um clique numa cor do mapa do Brasil; -1 para as seis cores que não
// escolhem nada (fundo, bordas e os quatro estados sem dados) e para qualquer outra.
int EstadoPelaCor(TCor cor);
// Amapá, Distrito Federal, Roraima e Sergipe.
bool EstadoSemDados(int indice);
