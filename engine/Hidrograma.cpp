// Hidrogramas a passo constante: interpolação, volume, pico e a correção da recessão.
#include "engine/Hidrograma.h"
#include "engine/Unidades.h"

#include <cmath>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"

namespace {

// Arredondar(x − 0,4999) é o piso de x, salvo quando x fica a menos de 1e-4 abaixo de um
// inteiro: o tempo acumulado em somas de dt chega ali por erro de arredondamento e conta
// como o inteiro.
constexpr double MEIO_MENOS_FOLGA = 0.4999;

} // namespace

double THidrograma::Interpolar(double t, double dt) const {
    const std::size_t n = Pontos.size();
    if (n == 0) return 0;
    if (t >= Pontos[n - 1].Tempo || t <= Pontos[0].Tempo) return 0;
    const long long k = Arredondar((t - Pontos[0].Tempo) / dt - MEIO_MENOS_FOLGA);
    if (k < 0) return Pontos[0].Vazao;
    // Bem junto do último ponto não há seguinte: vale a vazão do último.
    if (std::size_t(k) >= n - 1) return Pontos[n - 1].Vazao;
    const TPontoHidrograma& p = Pontos[std::size_t(k)];
    if (t == p.Tempo) return p.Vazao;
    return p.Vazao + (t - p.Tempo) / dt * (Pontos[std::size_t(k) + 1].Vazao - p.Vazao);
}

double THidrograma::IntegrarVolume() const {
    const std::size_t n = Pontos.size();
    if (n < 4) return 0;
    double soma = 0;
    for (std::size_t k = 0; k + 1 < n; ++k)
        soma += (Pontos[k].Vazao + Pontos[k + 1].Vazao) * (Pontos[k + 1].Tempo - Pontos[k].Tempo);
    return 30 * soma;
}

void THidrograma::Analisar(double divisor) {
    if (Local == LocalIndefinido)
        throw EMorvendo("Local do hidrograma não definido (canal ou encosta).");
    if (Local == LocalCanal && !FuncaoProfundidade)
        throw EMorvendo("Erro. Função de determinação da profundidade do canal não definida.");
    VazaoMaxima = ProfundidadeMaxima = 0;
    Volume = VolumeUnitario = 0;
    const std::size_t n = Pontos.size();
    if (n < 3) return;
    for (std::size_t k = 1; k + 1 < n; ++k) {
        if (Pontos[k].Vazao > VazaoMaxima) VazaoMaxima = Pontos[k].Vazao;
    }
    if (Alfa > 0 && Expoente > 0 && VazaoMaxima > 0)
        ProfundidadeMaxima = std::pow(VazaoMaxima / (LITROS_POR_M3 * Alfa), 1 / Expoente);
    else
        ProfundidadeMaxima = 0;
    // No canal a lei de escoamento deu a área molhada; a função a converte em profundidade.
    if (Local == LocalCanal && ProfundidadeMaxima != 0)
        ProfundidadeMaxima = FuncaoProfundidade(ProfundidadeMaxima);
    Volume = IntegrarVolume();
    VolumeUnitario = Volume / divisor;
}

void THidrograma::CorrigirRecessao() {
    const std::size_t n = Pontos.size();
    bool subindo = true;
    std::size_t j = 0;
    for (std::size_t k = 1; k < n; ++k) {
        if (subindo) {
            if (Pontos[k].Vazao < Pontos[k - 1].Vazao) subindo = false;
        } else if (Pontos[k].Vazao > Pontos[k - 1].Vazao) {
            j = k;
            break;
        }
    }
    if (j == 0) return;
    const double tFinal = Pontos[n - 1].Tempo;
    const double r = Pontos[j - 1].Vazao / (tFinal - Pontos[j - 1].Tempo);
    for (std::size_t k = j; k + 1 < n; ++k)
        Pontos[k].Vazao = r * (tFinal - Pontos[k].Tempo);
}
