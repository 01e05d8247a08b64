#pragma once
#include <array>
#include <functional>

#include "engine/Canal.h"

// Revestimentos do canal da estrada: as fórmulas do dimensionamento pela tensão trativa com
// revestimentos flexíveis e rígidos (o manual da agência federal de rodovias dos EUA sobre
// canais de drenagem com revestimentos flexíveis, HEC-15) e as curvas n–VR da grama do manual
// de canais gramados do serviço de conservação de solos dos EUA (TP-61 e Agricultural Handbook
// 667). Unidades do motor: m, m/m, Pa, m³/s.

// Classes de retardância da grama, da mais alta e densa (A) à mais baixa (E).
enum class TClasseGrama { A, B, C, D, E };
constexpr int CLASSES_GRAMA = 5;

struct TDadosClasseGrama {
    char Letra;
    const char* Descricao;   // altura típica do capim, como a ajuda e a página a mostram
    double IndiceCurva;      // índice da curva n–VR (CI)
    double TensaoAdmissivel; // Pa, da própria grama bem estabelecida
};

const TDadosClasseGrama& DadosClasseGrama(TClasseGrama classe);
const std::array<TClasseGrama, CLASSES_GRAMA>& ClassesGrama();

// Rugosidade do solo sob a grama (solos finos, o caso das estradas de terra): o ns da tensão
// efetiva.
constexpr double RUGOSIDADE_SOLO_SOB_GRAMA = 0.016;

// Menor VR (m²/s) das curvas publicadas, 0,1 ft²/s: abaixo dele vale o n da curva nesse ponto.
constexpr double VR_MINIMO_CURVA_GRAMA = 0.1 * 0.3048 * 0.3048;

// n da grama pela curva n–VR da classe, com VR (velocidade × raio hidráulico) em m²/s:
// n = exp{CI·[0,01329·ln²(VR) − 0,09543·ln(VR) + 0,2971] − 4,16}, VR em ft²/s.
double RugosidadeGrama(TClasseGrama classe, double vr);

// Fração da tensão de projeto que chega ao solo sob a grama: τe/τd = (1 − Cf)·(ns/n)².
double FatorTensaoEfetivaGrama(double fatorCobertura, double rugosidadeSolo, double rugosidade);

// Enrocamento: a pedra fica parada enquanto τd·SF ≤ F*·(γs − γ)·D50·K, com F* (Shields) e o
// fator de segurança SF pelo número de Reynolds do grão, e K a perda de estabilidade da pedra
// no fundo inclinado, cos θ·(1 − tan θ / tan φ).
constexpr double ANGULO_REPOUSO_PEDRA = 42; // graus, pedra angulosa
constexpr double VISCOSIDADE_AGUA = 1.0e-6; // m²/s

struct TDimensionamentoPedra {
    double D50 = 0;              // m
    double Shields = 0;          // F*
    double FatorSeguranca = 0;   // SF
    double FatorDeclividade = 0; // K
};

// D50 da pedra para a tensão de projeto τd (Pa) numa declividade S (m/m), com a massa
// específica da pedra em g/cm³. EMorvendo quando a declividade passa do ângulo de repouso.
TDimensionamentoPedra DimensionarPedra(double tensaoProjeto, double declividade,
                                       double massaEspecifica);

// n do enrocamento: n = 0,319·da^(1/6) / (2,25 + 5,23·log10(da/D50)), da a profundidade média
// (m); abaixo de da/D50 = 1,5 vale o n desse ponto.
double RugosidadePedra(double profundidadeMedia, double d50);

// Rugosidade do concreto moldado em lâminas rasas (até 15 cm).
constexpr double RUGOSIDADE_CONCRETO = 0.015;

// Escoamento uniforme no canal com rugosidade n para a vazão Q (m³/s), pela mesma curva de
// descarga da propagação.
struct TEscoamentoUniforme {
    double Area = 0;         // m²
    double Profundidade = 0; // m
    double Velocidade = 0;   // m/s
    double Raio = 0;         // m, hidráulico
};
TEscoamentoUniforme EscoamentoUniforme(const TCanalGradiente& canal, double rugosidade,
                                       double vazao, bool curvaOriginal);

// n que a lâmina do próprio escoamento dá: ponto fixo de n = rugosidade(escoamento(n)), a
// partir de n0. EMorvendo quando não converge.
double RugosidadeNoPontoFixo(const TCanalGradiente& canal, double vazao, bool curvaOriginal,
                             double n0,
                             const std::function<double(const TEscoamentoUniforme&)>& rugosidade);
