#pragma once
#include <optional>
#include <string>
#include <vector>

#include "engine/PerdaSolo.h"
#include "engine/uCanalEstrada.h"
#include "reports/RelatorioTexto.h"

// Avisos sobre os limites do método que o engenheiro precisa ver junto com o resultado.

// Seções consecutivas, dentro do espaçamento, cuja perda passa da tolerável: o espaçamento é
// a seção mais distante que passa, e a perda pode subir acima do limite e descer de novo.
struct TFaixaAcimaDaToleravel {
    int Inicio = 0, Fim = 0; // seções (m)
    int SecaoMaxima = 0;
    double PerdaMaxima = 0; // g/cm²
};

std::vector<TFaixaAcimaDaToleravel>
FaixasAcimaDaToleravel(const std::vector<TLinhaRelatorioTexto>& secoes, double perdaToleravel,
                       int espacamento);

// A frase do aviso (contém "excede a perda tolerável"); vazia quando não há faixas.
std::string AvisoPerdaAcimaDaToleravel(const std::vector<TFaixaAcimaDaToleravel>& faixas,
                                       double perdaToleravel, char separadorDecimal);

// A curva-chave do canal trapezoidal é ajustada em profundidades de 0,2 m a 5,0 m.
constexpr double PROFUNDIDADE_MINIMA_AJUSTE_TRAPEZIO = 0.2; // m

// Erro relativo da vazão da curva ajustada sobre a de Manning na profundidade dada (m), para a
// base B (m) e o talude Z do canal trapezoidal: positivo quando a curva superestima a vazão.
double ErroCurvaTrapezoidal(double base, double talude, double profundidade);

// Aviso quando a profundidade de pico (m) fica abaixo da faixa ajustada; vazio se não.
std::string AvisoCurvaTrapezoidal(double base, double talude, double profundidade,
                                  char separadorDecimal);

// Todos os avisos que se aplicam ao resultado do canal, na ordem em que são mostrados.
std::vector<std::string> AvisosDoResultado(const TCanalEstrada& canal,
                                           const TResultadoEspacamento& resultado,
                                           char separadorDecimal);
