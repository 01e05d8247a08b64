#pragma once
#include "comum/EMorvendo.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Banco de estações IDF e de localidades do Brasil, coordenadas em texto, interpolação
// espacial e as molduras dos mapas. Textos em UTF-8 na memória, Windows-1252 nos arquivos.

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

// Estados cujas estações entram na interpolação, na ordem em que são visitados.
inline constexpr std::array<int, 8> EstadosInterpolacao = {4, 7, 8, 12, 15, 18, 24, 26};

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

// ---- Banco ------------------------------------------------------------------------------

class TBDPrecipitacao {
public:
    // pastaDados: a pasta "Arquivos Comuns" com os dois arquivos.
    explicit TBDPrecipitacao(std::string pastaDados);

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

    // Estação com os mesmos textos de coordenadas (ou à distância zero): cópia dela.
    // Senão, média ponderada pelo inverso da quinta potência da distância sobre as
    // estações dos oito estados da interpolação e as do usuário de qualquer estado (quem
    // digitou a equação do lugar espera que ela conte). Sem nenhuma: EMorvendo.
    TEstacao InterpolarParametros(std::string_view latitude, std::string_view longitude) const;

private:
    void AcrescentarEstacoesUsuario();

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
