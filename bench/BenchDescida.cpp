// Desempenho do canal de uma descida: uma peça só (o cálculo do espaçamento) e peças de 20 m
// de declividades alternadas, em canais de 200 m e 2 000 m.
#include <benchmark/benchmark.h>

#include <vector>

#include "ProjetoExemplo.h"
#include "project/CanalDescida.h"

namespace {

// Projeto de exemplo, planos calculados fora da medida, com a perda de cada seção. Segundo
// argumento: 0 uma peça com a declividade do projeto, 1 peças de 20 m alternando 2 % e 5 %,
// duas de cada três com a área externa.
void BM_Descida(benchmark::State& state) {
    const auto exemplo = LerProjetoExemplo(state);
    if (!exemplo) return;
    const TProjeto& p = exemplo->P;
    const THidrogramasPlanos planos = CalcularHidrogramasPlanos(exemplo->P, p.Estrada.TrEsp, true);
    const int comprimento = int(state.range(0));
    std::vector<TPecaCanal> pecas;
    if (state.range(1) == 0)
        pecas.push_back({comprimento, p.Estrada.Sc, true});
    else
        for (int k = 0; k < comprimento / 20; ++k)
            pecas.push_back({20, k % 2 ? 0.05 : 0.02, k % 3 != 0});
    for (auto _ : state) {
        TResultadoDescida r;
        CalcularDescida(p, planos, pecas, TPedidoCanal::PerdasEHidrograma, nullptr, r);
        benchmark::DoNotOptimize(r.Balanco.Saida);
    }
}
BENCHMARK(BM_Descida)->ArgsProduct({{200, 2000}, {0, 1}})->Unit(benchmark::kMillisecond);

} // namespace
