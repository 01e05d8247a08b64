#pragma once
#include <atomic>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "comum/ArquivoIni.h"
#include "project/Avisos.h"
#include "project/Projeto.h"

// Estudos de sensibilidade e trechos de uma estrada: muitos cálculos independentes do mesmo
// projeto, cada um na sua cópia, repartidos entre os núcleos. O resultado não depende do
// número de linhas de execução: cada ponto é calculado sozinho e guardado na sua posição.

// Dados que um estudo varia, nas unidades em que o arquivo do projeto os guarda.
enum class TParametroEstudo {
    Declividade,       // declividade longitudinal do canal, m/m
    Tr,                // período de retorno do espaçamento, anos
    K,                 // parâmetro K da equação IDF
    Aprofundamento,    // aprofundamento máximo tolerado, cm
    ComprimentoTalude, // comprimento da área externa, m
    Erodibilidade,     // na unidade do projeto
    TensaoCritica,     // Pa
};

struct TDescricaoParametro {
    TParametroEstudo Parametro;
    const char* Nome;   // na linha de comando e no CSV
    const char* Rotulo; // como a página de dados o chama
    const char* Unidade;
    TCampo Campo; // a linha da tabela de campos, que lê e muda o valor no projeto
};

const std::vector<TDescricaoParametro>& ParametrosEstudo();
std::optional<TParametroEstudo> ParametroPorNome(std::string_view nome);
const TDescricaoParametro& Descricao(TParametroEstudo parametro);
// Valor do parâmetro no projeto, nas unidades do arquivo.
double ValorParametro(const TProjeto& p, TParametroEstudo parametro);

// Valores de inicio a fim (inclusive, com folga de arredondamento) com o passo dado.
// EMorvendo com mensagem para passo não positivo, fim antes do início ou pontos demais.
std::vector<double> ValoresDoIntervalo(double inicio, double fim, double passo);

// Acompanhamento de um lote: chamado da linha de execução que termina cada ponto.
class IAndamentoLote {
public:
    virtual ~IAndamentoLote() = default;
    virtual void PontoConcluido(std::size_t /*feitos*/, std::size_t /*total*/) {}
};

// Cancelamento de um lote, que qualquer linha de execução pode consultar.
struct TCancelamentoLote {
    std::atomic<bool> Pedido{false};
};

// Executa tarefa(i) para i em [0, n) em 'linhas' linhas de execução; cada uma toma o próximo
// índice livre, e o resultado de i vai para a posição i. Um erro de uma tarefa pára as outras
// no próximo índice e sai daqui depois que todas terminam.
void Repartir(std::size_t n, unsigned linhas, IAndamentoLote* andamento,
              const std::function<void(std::size_t)>& tarefa);

// Resultado de um cálculo completo de uma cópia do projeto.
struct TResultadoExecucao {
    bool Ok = false;
    std::string Erro; // quando não Ok: a mensagem do cálculo ou da verificação
    // Calculado, mas nenhum espaçamento atende: Espacamento, PerdaSolo, TensaoMax e VazaoMax
    // não são resultado, não há bacia e um trecho não tem desaguadouros.
    bool NenhumEspacamento = false;
    int Espacamento = 0;
    double PerdaToleravel = 0;
    double PerdaSolo = 0;
    double TensaoMax = 0;
    double VazaoMax = 0;
    std::optional<double> VolumeBacia; // m³, quando a bacia é calculada
    // Os avisos do cálculo deste ponto, no separador decimal das configurações.
    std::vector<TAviso> Avisos;
};

// As frases dos avisos numa célula de tabela: " | " entre elas.
std::string AvisosNumaCelula(const std::vector<TAviso>& avisos);

struct TPontoEstudo {
    double Valor = 0;
    TResultadoExecucao Resultado;
};

// Calcula o projeto (um documento já carregado) para cada valor do parâmetro.
std::vector<TPontoEstudo> ExecutarEstudo(const TArquivoIni& projeto, TParametroEstudo parametro,
                                         const std::vector<double>& valores, unsigned linhas,
                                         IAndamentoLote* andamento = nullptr,
                                         const TCancelamentoLote* cancelamento = nullptr);

struct TResultadoTrecho {
    TTrecho Trecho;
    TResultadoExecucao Resultado;
    // Desaguadouros ao longo da estrada, m; nenhum quando nenhum espaçamento atende.
    std::vector<double> Posicoes;
};

// Desaguadouros a cada espaçamento a partir do início do trecho e um no fim.
std::vector<double> PosicoesDesaguadouros(const TTrecho& trecho, int espacamento);

std::vector<TResultadoTrecho> ExecutarTrechos(const TArquivoIni& projeto,
                                              const std::vector<TTrecho>& trechos, unsigned linhas,
                                              IAndamentoLote* andamento = nullptr,
                                              const TCancelamentoLote* cancelamento = nullptr);

// Início de um trecho ao longo da estrada, m: o mesmo limite da tabela de trechos da janela.
constexpr double INICIO_MAXIMO_TRECHO = 1e7;

// Folga entre o fim de um trecho e o início do seguinte que ainda conta como encostados, m.
constexpr double TOLERANCIA_CONTIGUIDADE = 0.001;
// Como um trecho que começa em 'inicio' segue o 'anterior': nullptr quando encostam; senão
// "se sobrepõem" ou "deixam um intervalo sem trecho", para a mensagem que nomeia os dois.
const char* FaltaDeContinuidade(const TTrecho& anterior, double inicio);

// Trechos de um CSV "nome,inicio_m,comprimento_m,declividade" (ponto decimal), ou o mesmo com
// ';' e vírgula decimal, como as planilhas em português. Declividade com sinal, nunca zero.
// EMorvendo com a linha e o campo quando uma linha não serve, ou com as duas linhas de
// trechos que se sobrepõem ou deixam um intervalo entre si; nada é aceito pela metade. Lido
// aos pedaços: pára no limite de trechos.
std::vector<TTrecho> LerTrechosCsv(std::istream& entrada);

// Um ponto do perfil longitudinal levantado.
struct TPontoPerfil {
    double Posicao = 0; // m
    double Cota = 0;    // m
};

// Perfil de um CSV "posicao_m,cota_m" (cabeçalho opcional; ',' e ponto ou ';' e vírgula
// decimal); posições crescentes.
std::vector<TPontoPerfil> LerPerfilCsv(std::istream& entrada);

// Um ponto do perfil e os canais da rampa que começa nele.
struct TPontoPerfilLados {
    TPontoPerfil Ponto;
    std::optional<TCanalLado> Esquerdo, Direito; // vazio: a seção do projeto
};

// Perfil de um CSV "distancia_m,cota_m" com as colunas opcionais "lado" (E, D ou ambos) e
// "secao" (1 em corte, 3 sem corte) da rampa que começa em cada ponto; cabeçalho obrigatório;
// ',' e ponto ou ';' e vírgula decimal; distâncias crescentes, a partir de zero.
std::vector<TPontoPerfilLados> LerPerfilLadosCsv(std::istream& entrada);

// Um trecho por rampa do perfil (uma descida de várias rampas é um canal só na locação), de
// limites em metros inteiros desde o primeiro ponto; rampas de menos de meio metro somem.
std::vector<TTrecho> TrechosDasRampas(const std::vector<TPontoPerfilLados>& perfil);
// O mesmo com os canais da seção do projeto dos dois lados (a estrada do mapa).
std::vector<TTrecho> TrechosDasRampas(const std::vector<TPontoPerfil>& perfil);

// O perfil que "Do perfil…" abre: o do levantamento ("posicao_m,cota_m", cabeçalho opcional)
// ou o da locação pela linha de comando, com os lados ("distancia_m,cota_m[,lado][,secao]"),
// pelo cabeçalho.
std::vector<TPontoPerfilLados> LerPerfilComLadosOuNaoCsv(std::istream& entrada);

// Trechos de um perfil: rampas consecutivas cujas declividades diferem menos que a
// tolerância (m/m) da do trecho em formação, e com os mesmos canais dos dois lados, são
// unidas. O trecho unido é calculado com a declividade da rampa mais íngreme e guarda a média
// (desnível sobre comprimento) ao lado. Declividades com sinal; trechos encostados, de limites
// em metros inteiros desde o primeiro ponto.
std::vector<TTrecho> TrechosDoPerfil(const std::vector<TPontoPerfilLados>& perfil,
                                     double tolerancia);
std::vector<TTrecho> TrechosDoPerfil(const std::vector<TPontoPerfil>& perfil, double tolerancia);

// Estacas de 20 m, como se estaqueiam as estradas.
constexpr long long METROS_POR_ESTACA = 20;
// Posição em metros como estaca: 248 → "12 + 8,00". Arredondada ao centímetro mais próximo
// antes de separar a estaca. EMorvendo para posição negativa ou que não é número.
std::string Estaca(double metros, char separadorDecimal = ',');

// Número de linhas de execução a usar quando o usuário não diz: os núcleos da máquina.
unsigned LinhasPadrao();
