#pragma once
#include <memory>
#include <vector>

#include "engine/Acompanhamento.h"
#include "engine/BalancoHidrico.h"
#include "engine/Hidrograma.h"
#include "engine/NoCanal.h"

class TPrecipitacao;

// Propagação das contribuições laterais pelo canal da estrada (onda cinemática, esquema de
// diferenças com um nó por metro): dos hidrogramas do leito e da área externa aos picos de
// cada nó, à integral da tensão excedente de cada nó e ao hidrograma da saída.

constexpr double PASSO_ESPACO_CANAL = 1.0; // m: um nó por metro, uma linha da tabela por nó
constexpr double PASSO_TEMPO_CANAL = 0.2;  // min

// Curva de descarga da seção do canal, Q = Alfa·F(A). Na forma de potência F(A) = A^Expoente
// (o triângulo, exato, e o ajuste antigo do trapézio); na de Manning F(A) = A^(5/3)/P^(2/3),
// exata em qualquer lâmina, com Alfa = √S/n.
struct TCurvaDescarga {
    enum TForma { Potencia, ManningTrapezio };
    TForma Forma = Potencia;
    double Alfa = 0;
    double Expoente = 0; // só na forma de potência
    double Base = 0;     // m, só na de Manning
    double Talude = 0;   // Z (horizontal por vertical), só na de Manning
};

// Curva de descarga do canal. O trapézio sai pela relação exata de Manning; com
// 'ajusteOriginal', pela potência ajustada ao perímetro em 25 lâminas de 0,2 m a 5 m, que
// superestima a vazão nas lâminas de canal de estrada (1 a 30 cm) e fica para reproduzir
// projetos feitos com ela. O triângulo é exato nas duas.
TCurvaDescarga AjustarCurvaDescarga(const TCanalGradiente& canal, bool ajusteOriginal);

// Q/Alfa da curva para a área A (m²), e a área de um Q/Alfa dado.
double FluxoPelaArea(const TCurvaDescarga& curva, double area);
double AreaPeloFluxo(const TCurvaDescarga& curva, double fluxo);

// Trecho do canal com declividade própria, no sentido da água: os seus nós, o α da curva (que
// segue √S; a forma da curva é a do canal inteiro), γS e se recebe o hidrograma da área
// externa além do do leito (a seção em corte) ou só o do leito.
struct TTrechoPropagacao {
    int Nos = 0;
    double Alfa = 0;
    double GamaS = 0;
    bool AreaExterna = true;
};

// O que quem chama quer da propagação num canal de peças.
enum class TPedidoCanal {
    Hidrograma,        // só o hidrograma da saída (o de projeto, para a bacia)
    PerdasEHidrograma, // a perda de cada seção, o hidrograma e o balanço
    SoPerdas,          // só as perdas: pode parar quando nenhum nó pode mais erodir
};

struct TDadosPropagacao {
    int Comprimento = 0; // m
    TCurvaDescarga Curva;
    // Vazio: o canal inteiro com Curva.Alfa e GamaS, recebendo o leito e a área externa. Senão,
    // trechos que somam Comprimento nós, a partir do nó 0.
    std::vector<TTrechoPropagacao> Trechos;
    // Infiltração estável do leito (mm/h): depois do fim da entrada a água infiltra no leito.
    double VibEstrada = 0;
    // Acumula a integral da tensão excedente de cada nó (o cálculo do espaçamento; o do
    // hidrograma de projeto não precisa dela).
    bool AcumularTensao = false;
    // Quem chama só quer as perdas: a propagação para quando nenhum nó pode mais passar da
    // tensão crítica, e o hidrograma da saída e o balanço ficam incompletos.
    bool SoPerdas = false;
    double GamaS = 0;
    double ProfundidadeCritica = 0; // m
    double TalCritica = 0;          // Pa
    // Fração de γS·y que chega ao solo na integral da tensão excedente (a tensão efetiva sob um
    // revestimento vegetal); a tensão mostrada e a lâmina crítica continuam as do escoamento.
    double FatorTensaoEfetiva = 1.0;
};

struct TResultadoPropagacao {
    // Um registro por nó, 0..Comprimento.
    std::vector<TSecaoCanal> Nos;
    // Soma dos termos da tensão excedente de cada nó (vazia sem AcumularTensao).
    std::vector<double> SomasTensao;
    std::unique_ptr<THidrograma> Saida;
    TBalancoCanal Balanco;
};

// Devolve falso quando cancelado pela interface de acompanhamento. Quem chama limpa os
// sinalizadores de ponto flutuante antes de preparar os dados: um erro na preparação (a
// curva de descarga, γS) é levantado junto com os da propagação.
bool PropagarCanal(const TCanalGradiente& canal, const TDadosPropagacao& dados,
                   const THidrograma& hEstrada, const THidrograma& hTalude, TPrecipitacao& chuva,
                   IAcompanhamento* acomp, TResultadoPropagacao& resultado);
