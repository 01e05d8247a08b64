#pragma once
#include <string>
#include <vector>

#include "project/Avisos.h"
#include "project/Calculo.h"

// Resultados de um cálculo concluído num objeto JSON (reais com 17 algarismos), com os
// avisos do resultado em "Avisos": {"id", "gravidade", "texto"} cada.
std::string ResultadoJson(const TResultadoCalculo& resultado, const std::vector<TAviso>& avisos);
