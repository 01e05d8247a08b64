#pragma once
#include <cfenv>

#include "comum/EMorvendo.h"

// As contas do motor seguem a aritmética IEEE sem armadilhas; onde um erro de ponto
// flutuante deve interromper o cálculo, os sinalizadores são consultados.
namespace pontoflutuante {

inline void Limpar() {
    std::feclearexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
}

// Levanta o erro correspondente ao primeiro sinalizador ligado desde o último Limpar.
inline void Verificar() {
    const int f = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    if (f == 0) return;
    Limpar();
    if (f & FE_INVALID) throw ENumerico("Operação de ponto flutuante inválida.");
    if (f & FE_DIVBYZERO) throw ENumerico("Divisão por zero em ponto flutuante.");
    throw ENumerico("Estouro em ponto flutuante.");
}

} // namespace pontoflutuante
