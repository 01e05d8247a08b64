#pragma once
#include <string>
#include <vector>

#include "project/Calculo.h"

// Resultados de um cálculo concluído num objeto JSON (reais com 17 algarismos), com os
// avisos do resultado em "Avisos", um texto cada.
std::string ResultadoJson(const TResultadoCalculo& resultado,
                          const std::vector<std::string>& avisos);
