#pragma once
#include "engine/uCanal.h"

// Canal com a distância entre nós do modelo de onda cinemática.
class TCanalCinematicoCustom : public TCanalGradienteCustom {
public:
    explicit TCanalCinematicoCustom(const std::string& nome = "") : TCanalGradienteCustom(nome) {}

    using TCanalGradienteCustom::Comprimento;
    void Comprimento(int v) override {
        TCanalGradienteCustom::Comprimento(v);
        if (v > 0) Dx = 1.0;
    }

    double Dx = 1.0; // m
};

// Registro de um nó do canal.
struct TSecaoCanal {
    double LaminaPico = 0;   // m, no instante do maior A^m
    double AmMax = 0;        // maior A^m do nó
    double LaminaTensao = 0; // m, lâmina da maior tensão
};
