#pragma once
#include <vector>

#include "engine/Acompanhamento.h"
#include "engine/NoCanal.h"
#include "engine/PropagacaoCanal.h"

// Perda de solo no leito do canal: a tensão que passa da crítica, integrada no tempo, vezes a
// erodibilidade. É aqui que se muda a fórmula da perda, a tolerável e a busca do espaçamento.

// 1 N pesa 0,102 kgf: com a água a 1 000 kgf/m³, γ = 1 000 / 0,102 N/m³.
constexpr double PESO_ESPECIFICO_AGUA_KGF = 1000; // kgf/m³
constexpr double KGF_POR_NEWTON = 0.102;

// γ·S (Pa por metro de lâmina): a tensão no leito é γ·S·y.
inline double GamaS(double declividade) {
    return declividade * PESO_ESPECIFICO_AGUA_KGF / KGF_POR_NEWTON;
}

// Lâmina (m) a partir da qual a tensão passa da crítica.
inline double ProfundidadeCritica(double talCritica, double gamaS) {
    return talCritica / gamaS;
}

// Perda tolerável: o aprofundamento máximo vezes a massa específica do solo.
inline double PerdaToleravel(double aprofundamento, double densidade) {
    return aprofundamento * densidade;
}

// Termo de um passo da integral no tempo do excesso de tensão e = γS·y − τc de um nó, sem o
// Δt/2: com a lâmina linear dentro do passo, o trecho em que ela cruza a lâmina crítica também
// conta (só o lado acima dela).
inline double TermoExcessoTensao(double excessoAnterior, double excesso) {
    if (excessoAnterior >= 0 && excesso >= 0) return excessoAnterior + excesso;
    if (excessoAnterior >= 0)
        return excessoAnterior * excessoAnterior / (excessoAnterior - excesso);
    if (excesso >= 0) return excesso * excesso / (excesso - excessoAnterior);
    return 0;
}

// Perda de solo de um nó: fator de unidade · erodibilidade · Σ termos · Δt / 2, com os termos
// da integral no tempo do excesso de tensão γS·y − τc (a propagação os soma passo a passo).
inline double PerdaDeSolo(double fatorErodibilidade, double erodibilidade, double somaTermos,
                          double dt) {
    return fatorErodibilidade * erodibilidade * somaTermos * dt / 2;
}

// Uma linha por metro de canal: a seção N é o nó N − 1 da propagação.
struct TLinhaSecao {
    int Secao;
    double Lamina; // cm
    double Vazao;  // L/s
    double Tensao; // Pa
    double Perda;  // g/cm²
};

struct TDadosPerdaSolo {
    double Erodibilidade = 0;
    double FatorErodibilidade = 1;
    double PerdaToleravel = 0;
    double Alfa = 0; // da curva de descarga, para a vazão de pico
    double GamaS = 0;
    // Os trechos da propagação, quando a declividade muda ao longo do canal: cada nó com o α e o
    // γS do seu trecho (vazio: Alfa e GamaS em todos).
    std::vector<TTrechoPropagacao> Trechos;
    double Dx = 1;   // m
    double Dt = 0.2; // min
};

// Resumo do cálculo do espaçamento e as linhas por seção.
struct TResultadoEspacamento {
    int Espacamento = 0; // m
    // Já a segunda seção passa da perda tolerável (a primeira não tem perda nenhuma): nenhum
    // espaçamento atende. Espacamento, PerdaSolo, TensaoMax, QMax e Volume ficam em zero e não
    // são resultado; as linhas por seção ficam.
    bool NenhumEspacamento = false;
    double PerdaToleravel = 0;
    double PerdaSolo = 0; // a da última seção dentro do espaçamento
    double TensaoMax = 0; // Pa, na seção do espaçamento
    double QMax = 0;      // L/s, na seção do espaçamento
    double Volume = 0;    // m³ escoados até o desaguadouro
    std::vector<TLinhaSecao> Secoes;
    // Balanço de água da propagação no canal inteiro.
    TBalancoCanal Balanco;
};

// Perda de cada seção a partir dos picos e das somas de tensão de cada nó, e o espaçamento:
// a última seção cuja perda não passa da tolerável; num canal de mais de 1 m, 1 m não é
// espaçamento (NenhumEspacamento). Devolve falso quando cancelado (as linhas ficam até a seção
// em que parou).
bool CalcularPerdaSolo(const TDadosPerdaSolo& dados, const std::vector<TSecaoCanal>& nos,
                       const std::vector<double>& somasTensao, IAcompanhamento* acomp,
                       TResultadoEspacamento& resultado);
