// Locação dos desaguadouros de uma estrada de 20 km com 400 pontos levantados (rampas de 50 m
// de 1 a 9 %, cristas e baixadas), no projeto de exemplo.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ProjetoExemplo.h"
#include "project/Locacao.h"

namespace {

// Primeiro argumento: linhas de execução; segundo: 0 os dois lados iguais (um cálculo serve
// aos dois), 1 um lado em corte e o outro sem corte.
void BM_Locacao20km(benchmark::State& state) {
    const auto exemplo = LerProjetoExemplo(state);
    if (!exemplo) return;
    // Gerador fixo: a mesma estrada em toda execução.
    unsigned semente = 7;
    auto sorteio = [&semente] {
        semente = semente * 1103515245u + 12345u;
        return double((semente >> 8) % 10000) / 10000.0;
    };
    std::vector<TTrecho> trechos;
    double declividade = 0.04;
    for (int i = 0; i < 400; ++i) {
        if (sorteio() < 0.15) declividade = -declividade;
        declividade = std::clamp(declividade + (sorteio() - 0.5) / 50, -0.09, 0.09);
        if (std::abs(declividade) < 0.01) declividade = declividade < 0 ? -0.01 : 0.01;
        TTrecho t("R" + std::to_string(i + 1), 50.0 * i, 50, declividade);
        if (state.range(1) == 1) {
            t.Esquerdo = TCanalLado::Corte;
            t.Direito = TCanalLado::SemCorte;
        }
        trechos.push_back(t);
    }
    TOpcoesLocacao o;
    o.Linhas = unsigned(state.range(0));
    std::size_t desaguadouros = 0;
    for (auto _ : state)
        desaguadouros = LocarDesaguadouros(exemplo->P, trechos, o).Desaguadouros.size();
    state.counters["desaguadouros"] = double(desaguadouros);
}
BENCHMARK(BM_Locacao20km)
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace
