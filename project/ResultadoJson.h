#pragma once
#include <string>

#include "project/Calculo.h"

// Resultados de um cálculo concluído num objeto JSON (reais com 17 algarismos).
std::string ResultadoJson(const TResultadoCalculo& resultado);
