#pragma once
// O projeto de exemplo que os benchmarks calculam.
#include <benchmark/benchmark.h>

#include <memory>

#include "project/Projeto.h"

struct TProjetoExemplo {
    TUnidades Unidades;
    TProjeto P{Unidades};
};

// Estrada.mvd lido; nulo, com o erro no benchmark, quando não lê.
inline std::unique_ptr<TProjetoExemplo> LerProjetoExemplo(benchmark::State& state) {
    auto e = std::make_unique<TProjetoExemplo>();
    ZerarVariaveis(e->P);
    if (LerProjeto(e->P, MORVENDO_EXEMPLOS "/Estrada.mvd")) return e;
    state.SkipWithError("Estrada.mvd não foi lido");
    return nullptr;
}
