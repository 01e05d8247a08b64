// Desempenho dos núcleos numéricos: escoamento numa encosta de 50 m e propagação em canais
// de 2 000 m e 15 000 m sob chuva longa. Cada atualização de nó é comparada ao custo de uma
// chamada de std::pow medida na mesma execução.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/CanalEstrada.h"
#include "engine/Precipitacao.h"

namespace {

double GNsPorPow = 0;

TPrecipitacaoExponencialNegativa ChuvaLonga() {
    TPrecipitacaoExponencialNegativa c;
    c.K(1000);
    c.Tr(10);
    c.A(0.2);
    c.B(10);
    c.C(0.75);
    return c;
}

// Custo de uma chamada de std::pow em cadeia (cada chamada espera o resultado da anterior),
// como na varredura do canal, onde a área de um nó depende da vazão do nó de montante.
// Também a vazão de chamadas independentes, só para referência.
void BM_Pow(benchmark::State& state) {
    double v = 0.37, soma = 0;
    long emCadeia = 0, independentes = 0;
    double nsCadeia = 0, nsIndependentes = 0;
    std::vector<double> x(1024);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = 1e-4 + 4e-3 * double(i);
    for (auto _ : state) {
        auto inicio = std::chrono::steady_clock::now();
        for (int i = 0; i < 1024; ++i)
            v = std::pow(v, 0.75) + 1e-3 * (i & 7);
        auto meio = std::chrono::steady_clock::now();
        for (double a : x)
            soma += std::pow(a, 1.0 / 0.75);
        auto fim = std::chrono::steady_clock::now();
        nsCadeia += std::chrono::duration<double, std::nano>(meio - inicio).count();
        nsIndependentes += std::chrono::duration<double, std::nano>(fim - meio).count();
        emCadeia += 1024;
        independentes += long(x.size());
    }
    benchmark::DoNotOptimize(v);
    benchmark::DoNotOptimize(soma);
    GNsPorPow = nsCadeia / double(emCadeia);
    state.counters["ns_por_pow"] = GNsPorPow;
    state.counters["ns_por_pow_independente"] = nsIndependentes / double(independentes);
}
BENCHMARK(BM_Pow);

void BM_Encosta50m(benchmark::State& state) {
    auto chuva = ChuvaLonga();
    TEncostaCinematica plano("_Talude");
    plano.Versao = "2";
    plano.VIB(20);
    plano.St(0.3);
    plano.nt.Valor = 0.04;
    plano.Comprimento(50);
    const int n = NumeroDeCelulas(plano);
    std::size_t pontos = 0;
    for (auto _ : state) {
        auto h = CalcularHidrograma(plano, n, chuva, nullptr, nullptr);
        pontos = h->NumPontos();
        benchmark::DoNotOptimize(h->Volume);
    }
    state.counters["celulas"] = n;
    state.counters["pontos"] = double(pontos);
}
BENCHMARK(BM_Encosta50m)->Unit(benchmark::kMillisecond);

// Segundo argumento: 0 triângulo, 1 trapézio pela relação exata de Manning (Newton na área),
// 2 trapézio pela curva antiga (potência).
void BM_Canal(benchmark::State& state) {
    auto chuva = ChuvaLonga();
    TCanalEstrada e("_ESTRADA");
    e.TipoCanal.Valor = state.range(1) == 0 ? CANAL_TRIANGULAR : CANAL_TRAPEZOIDAL;
    e.CurvaDescargaOriginal = state.range(1) == 2;
    e.B(0.3);
    e.Z.Valor = 1.5;
    e.Sm.Valor = 0.5;
    e.Sc = 0.02;
    e.nc.Valor = 0.025;
    e.TalCritica = 4;
    e.Comprimento(int(state.range(0)));
    TEncostaCinematica& leito = e.Leito.Plano(0);
    leito.Versao = "2";
    leito.VIB(2);
    leito.St(0.03);
    leito.nt.Valor = 0.02;
    leito.Comprimento(4);
    auto hLeito = CalcularHidrograma(leito, NumeroDeCelulas(leito), chuva, nullptr, nullptr);
    THidrograma vazio;

    double atualizacoes = 0, segundos = 0;
    for (auto _ : state) {
        std::unique_ptr<THidrograma> saida;
        const auto inicio = std::chrono::steady_clock::now();
        // Como no cálculo do espaçamento: com a integral da tensão de cada nó.
        e.CalcularHidrogramaCanal(false, e.Comprimento(), 2, *hLeito, vazio, chuva, nullptr, saida);
        segundos +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
        // Um ponto de saída por passo de tempo; cada passo varre os nós 1..n-1.
        atualizacoes += double(saida->NumPontos() - 1) * double(state.range(0) - 1);
    }
    const double nsPorNo = segundos * 1e9 / atualizacoes;
    state.counters["nos_por_s"] = benchmark::Counter(1e9 / nsPorNo);
    state.counters["ns_por_no"] = nsPorNo;
    if (GNsPorPow > 0) state.counters["razao_no_pow"] = nsPorNo / GNsPorPow;
}
BENCHMARK(BM_Canal)
    ->ArgsProduct({{2000, 15000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

} // namespace

BENCHMARK_MAIN();
