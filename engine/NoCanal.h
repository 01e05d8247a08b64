#pragma once
#include "engine/Canal.h"

// Registro de um nó do canal.
struct TSecaoCanal {
    double LaminaPico = 0;   // m, no instante do maior A^m
    double AmMax = 0;        // maior A^m do nó
    double LaminaTensao = 0; // m, lâmina da maior tensão
};
