#pragma once
#include <optional>
#include <string>
#include <vector>

#include "engine/BaciaAcumulacao.h"
#include "project/Avisos.h"
#include "project/Estudos.h"
#include "project/Projeto.h"

// Locação dos desaguadouros de uma estrada inteira seguindo a água. Em cada lado, cada
// descida começa seca numa crista (ou na ponta alta da estrada) e corre até o ponto baixo
// seguinte (uma baixada, a ponta baixa da estrada ou o fim do canal daquele lado) como um
// canal só, cuja declividade muda de metro a metro com a do perfil. O desaguadouro vai antes da
// primeira seção cuja perda passaria da tolerável desde o último, vezes o fator de segurança;
// depois dele o canal recomeça seco. Nenhum desaguadouro numa crista; um em cada ponto baixo,
// que numa baixada serve às duas descidas que ali se encontram.

enum class TLado { Esquerdo, Direito };
// "E" ou "D", como na nota de locação.
const char* SiglaLado(TLado lado);

// Um pedaço de uma descida com uma só declividade e um só tipo de seção, no sentido da água.
struct TPecaDescida {
    int Comprimento = 0;            // m
    double Declividade = 0;         // m/m, positiva (a água desce)
    bool AreaExterna = true;        // em corte: o canal recebe a área externa além do leito
    double DeclividadeComSinal = 0; // como o trecho a guarda, para a nota
};

// Como termina uma descida: todas terminam num desaguadouro.
enum class TFimDescida {
    PontoBaixo, // baixada, ou a ponta baixa da estrada
    FimDoCanal, // o trecho seguinte não tem canal deste lado
    Plano,      // o trecho seguinte é plano: a água não corre por ele
};

// Um canal de um lado, da crista ao ponto baixo.
struct TDescida {
    TLado Lado = TLado::Esquerdo;
    // +1: a água corre no sentido do estaqueamento; −1: contra ele.
    int Sentido = 1;
    double Topo = 0; // posição da crista ao longo da estrada, m
    std::vector<TPecaDescida> Pecas;
    TFimDescida Fim = TFimDescida::PontoBaixo;

    int Comprimento() const;
    // Posição ao longo da estrada de um ponto 'metros' abaixo do topo.
    double Posicao(int metros) const { return Topo + Sentido * metros; }
    // As peças de 'inicio' a 'inicio + comprimento' metros abaixo do topo.
    std::vector<TPecaDescida> Parte(int inicio, int comprimento) const;
    // A peça onde está o metro logo acima de 'metros' abaixo do topo.
    const TPecaDescida& PecaAcima(int metros) const;
};

// As descidas de um lado da estrada, na ordem do estaqueamento. Trechos encostados, em ordem.
std::vector<TDescida> DescidasDoLado(const std::vector<TTrecho>& trechos, TLado lado,
                                     int secaoProjeto);

// O que chega a um desaguadouro por um canal: o período de retorno do dimensionamento da bacia.
struct TChegada {
    double VazaoPico = 0; // L/s
    double Volume = 0;    // m³
};

// O canal que a locação consulta. Chamado de várias linhas de execução ao mesmo tempo.
class ICanalLocacao {
public:
    virtual ~ICanalLocacao() = default;
    virtual double PerdaToleravel() const = 0;
    // Perda de solo (g/cm²) das seções 1..comprimento de um canal que começa seco 'inicio'
    // metros abaixo do topo da descida; a seção s fica s metros abaixo do começo.
    virtual std::vector<double> Perdas(const TDescida& descida, int inicio,
                                       int comprimento) const = 0;
    // O que chega ao fim desse canal.
    virtual TChegada Chegada(const TDescida& descida, int inicio, int comprimento) const = 0;
    // A bacia de acumulação para o que chega; vazio quando o projeto não a calcula.
    virtual std::optional<TDimensoesBacia> Bacia(const TChegada& chegada) const = 0;
};

// Um canal que chega a um desaguadouro.
struct TContribuicao {
    double Inicio = 0;   // posição onde o canal começa seco (crista ou desaguadouro acima), m
    int Comprimento = 0; // m
    TChegada Chegada;
};

struct TDesaguadouro {
    int Numero = 0; // na ordem do estaqueamento, os dois lados juntos
    TLado Lado = TLado::Esquerdo;
    double Posicao = 0; // m
    // Ponto baixo onde a descida termina (baixada, ponta baixa, fim do canal, plano).
    bool PontoBaixo = false;
    // Declividade com sinal do metro logo acima, da primeira contribuição.
    double DeclividadeMontante = 0;
    // Uma contribuição; duas numa baixada, uma de cada descida.
    std::vector<TContribuicao> Contribuicoes;
    // A soma do que chega: a bacia é dimensionada para ela.
    TChegada Chegada;
    std::optional<TDimensoesBacia> Bacia;
    // Espaçamento limitado pelo comprimento da descida, não pela erosão: a perda não chegou à
    // tolerável até o ponto baixo.
    bool LimitadoPeloComprimento = false;
    // Num canal que chega aqui já o segundo metro passa da tolerável: nenhum espaçamento atende.
    bool NenhumEspacamento = false;
    std::vector<std::string> Avisos;

    // Comprimento de canal que o desaguadouro serve (a soma numa baixada), m.
    int ComprimentoServido() const;
};

struct TOpcoesLocacao {
    double Fator = FATOR_ESPACAMENTO_PADRAO;
    unsigned Linhas = 1;
    char SeparadorDecimal = '.'; // dos números nos avisos
};

struct TResultadoLocacao {
    std::vector<TDesaguadouro> Desaguadouros; // por posição, o esquerdo antes do direito
    double PerdaToleravel = 0;
    // Os avisos dos dados e da chuva, que valem para todos os desaguadouros.
    std::vector<TAviso> Avisos;
    bool Cancelado = false;
};

// A locação com um canal dado (os testes dão um canal de perdas conhecidas).
TResultadoLocacao LocarDesaguadouros(const std::vector<TTrecho>& trechos, int secaoProjeto,
                                     const ICanalLocacao& canal, const TOpcoesLocacao& opcoes,
                                     IAndamentoLote* andamento = nullptr,
                                     const TCancelamentoLote* cancelamento = nullptr);

// A locação com o canal do projeto: os hidrogramas dos planos são calculados uma vez para o
// período de retorno do espaçamento e outra para o da bacia; o projeto só empresta a chuva a
// esses dois cálculos. EMorvendo com a mensagem do cálculo que falhou.
TResultadoLocacao LocarDesaguadouros(TProjeto& projeto, const std::vector<TTrecho>& trechos,
                                     const TOpcoesLocacao& opcoes,
                                     IAndamentoLote* andamento = nullptr,
                                     const TCancelamentoLote* cancelamento = nullptr);

// Os avisos de um desaguadouro numa frase só (" | " entre eles), com a marca de espaçamento
// limitado pelo comprimento da descida.
std::string AvisosDoDesaguadouro(const TDesaguadouro& desaguadouro);

// Cabeçalho da nota de locação em CSV.
extern const char* const CABECALHO_NOTA_LOCACAO;
// A nota de locação em CSV, uma linha por desaguadouro: ',' e ponto decimal para scripts, ';' e
// vírgula para as planilhas em português. Os avisos dos dados vão em cada linha, depois dos do
// desaguadouro, para que cada uma se leia sozinha.
std::string NotaLocacaoCsv(const TResultadoLocacao& resultado, char separador = ',',
                           char decimal = '.');
