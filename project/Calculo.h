#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/Acompanhamento.h"
#include "engine/BalancoHidrico.h"
#include "engine/Hidrograma.h"
#include "engine/PerdaSolo.h"
#include "project/Projeto.h"

// Acompanhamento de um cálculo completo: o da janela de andamento.
class IAcompanhamentoCalculo : public IAcompanhamento {
public:
    // 1 leito da estrada, 2 área externa, 3 canal.
    virtual void DestacarEtapa(int /*etapa*/) {}
    virtual void MostrarTempoEstrada(const std::string& /*tempo*/) {}
    virtual void MostrarTempoTalude(const std::string& /*tempo*/) {}
    // Início do dimensionamento da bacia: novo título, campos vazios, barra em zero.
    virtual void IniciarDimensionamento() {}
};

// Valores do grupo da bacia, antes de arredondar, e o cálculo de projeto de onde vêm.
struct TResultadoBacia {
    double VolumeEscoado = 0;     // m³
    double VazaoMaxima = 0;       // L/s
    double ProfundidadeCanal = 0; // cm
    double Largura = 0;           // m
    double Raio = 0;              // m
    double Comprimento = 0;       // m
    // O que a simulação da bacia usa: volume por metro de canal (m³/m) e o espaçamento (m).
    double VolumePorMetro = 0;
    int Espacamento = 0;
    // Hidrograma de projeto na saída de um desaguadouro (L/s), no período de retorno do
    // dimensionamento.
    THidrograma HidrogramaProjeto;
};

// O que se diz quando nenhum espaçamento atende (TResultadoEspacamento::NenhumEspacamento): a
// janela, o relatório, a linha de comando e os estudos e trechos dizem esta frase.
extern const char* const TEXTO_NENHUM_ESPACAMENTO;

struct TResultadoCalculo {
    enum TSituacao { Concluido, Cancelado, SemResultado };
    TSituacao Situacao = SemResultado;
    // Verdadeiro quando o cálculo do espaçamento terminou: o canal tem resultados mesmo que
    // o dimensionamento da bacia falhe depois.
    bool CanalCalculado = false;
    // Resumo do canal e uma linha por metro de canal. Com Canal.NenhumEspacamento a bacia não
    // é dimensionada: não há desaguadouro.
    TResultadoEspacamento Canal;
    // Hidrogramas (L/s por metro de largura) do leito e da área externa no período de retorno
    // do espaçamento; o da área externa fica vazio na seção 3.
    THidrograma HidrogramaEstrada;
    THidrograma HidrogramaTalude;
    // Balanço de água dos dois planos no cálculo do espaçamento (o do canal vai em Canal).
    TBalancoEncosta BalancoEstrada, BalancoTalude;
    // Canal trapezoidal com a relação exata de Manning: o espaçamento que a curva de descarga
    // antiga (ajustada em 0,2 a 5 m) daria; vazio também quando com ela nenhum atende.
    std::optional<int> EspacamentoCurvaOriginal;
    // A curva de descarga usada no trapézio (e no triângulo, sempre exata): a antiga ou a de
    // Manning.
    bool CurvaDescargaOriginal = false;
    // De onde vieram K, a, b, c da chuva calculada (a frase do projeto).
    std::string OrigemChuva;
    std::optional<TResultadoBacia> Bacia;
};

// O cálculo completo depois de lidos e verificados os dados: hidrogramas do período de
// retorno do espaçamento, espaçamento com as linhas por seção e, se pedido, o
// dimensionamento da bacia. O comprimento do canal é o digitado pelo usuário; o projeto não
// guarda resultado nenhum. Todo resultado sai finito: um valor infinito ou indefinido encerra
// o cálculo com um erro que nomeia o dado que o causou. Sem 'compararCurvaOriginal' o canal
// trapezoidal não é calculado de novo com a curva antiga (os estudos não a mostram).
TResultadoCalculo ExecutarCalculo(TProjeto& projeto, int comprimentoCanal,
                                  IAcompanhamentoCalculo* acompanhamento,
                                  bool compararCurvaOriginal = true);
// O mesmo, preenchendo 'resultado' à medida que avança: depois de um erro no dimensionamento
// da bacia, os resultados do canal já estão lá.
void ExecutarCalculo(TProjeto& projeto, int comprimentoCanal,
                     IAcompanhamentoCalculo* acompanhamento, TResultadoCalculo& resultado,
                     bool compararCurvaOriginal = true);

// Hidrogramas (L/s por metro de largura) do leito e da área externa de um período de retorno,
// com os balanços dos dois planos.
struct TParHidrogramas {
    std::unique_ptr<THidrograma> Estrada;
    std::unique_ptr<THidrograma> Talude;
    TBalancoEncosta BalancoEstrada, BalancoTalude;
};

// A chuva do projeto no período de retorno dado, numa cópia: um cálculo nunca muda o projeto
// (o período de retorno da chuva é gravado com ele).
TPrecipitacaoExponencialNegativa ChuvaNoPeriodo(const TProjeto& projeto, double tr);

// Os dois planos no período de retorno 'tr' (a chuva do projeto fica como estava); sem
// 'areaExterna' o hidrograma da área externa fica vazio. Um erro sai com a etapa e os dados que
// a alimentam. Cancelado depois do leito, o da área externa fica nulo.
void CalcularPlanos(TProjeto& projeto, double tr, bool areaExterna, IAcompanhamentoCalculo* a,
                    TParHidrogramas& par);

// O canal do projeto em peças de declividade própria (TCanalEstrada::CalcularCanalEmPecas),
// com a chuva dada (no período de retorno dos hidrogramas), a infiltração estável do leito e
// o fator de erodibilidade das unidades; os erros como os do cálculo do espaçamento e todo
// resultado conferido finito (a seção não finita nomeia a declividade da sua peça). Devolve
// falso quando cancelado.
bool CalcularCanalEmPecas(const TProjeto& projeto, TPrecipitacao& chuva,
                          const THidrograma& hEstrada, const THidrograma& hTalude,
                          const std::vector<TPecaCanal>& pecas, TPedidoCanal pedido,
                          double fatorTensaoEfetiva, IAcompanhamento* acomp,
                          TResultadoEspacamento& resultado, std::unique_ptr<THidrograma>& saida);
