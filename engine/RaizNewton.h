#pragma once
#include <cmath>
#include <limits>

// Busca de raiz pelo método de Newton, a do motor. Quem chama dá o passo (resíduo sobre
// derivada, nas contas e na ordem da sua fórmula); a busca cuida do limite de passos, do passo
// que não é um número e do piso opcional da variável. A bissecção do fim do arquivo é o socorro
// de quando Newton sai do intervalo em que a função tem sentido.
struct TOpcoesNewton {
    double Tolerancia = 1e-7;
    // Verdadeiro: para também quando |passo| é igual à tolerância.
    bool ParaNaTolerancia = false;
    // Passos tentados antes de desistir.
    int MaximoPassos = 200;
    // Valor abaixo do qual a variável volta a ele no início de cada passo.
    double Piso = -std::numeric_limits<double>::infinity();
};

struct TRaizNewton {
    double Valor = 0;
    bool Convergiu = false;
};

// 'passo(x)' devolve o passo de Newton em x; x seguinte = x − passo.
template <class FPasso> TRaizNewton RaizNewton(double x, const TOpcoesNewton& o, FPasso&& passo) {
    for (int contagem = 1; contagem <= o.MaximoPassos; ++contagem) {
        if (x <= o.Piso) x = o.Piso;
        const double p = passo(x);
        // Um passo infinito ou indefinido não leva a raiz nenhuma.
        if (!std::isfinite(p)) break;
        x = x - p;
        const double a = std::fabs(p);
        if (a < o.Tolerancia || (o.ParaNaTolerancia && a == o.Tolerancia)) return {x, true};
    }
    return {x, false};
}

// Ponto de [de, ate] onde 'antes' deixa de valer, sabendo que vale em 'de', não em 'ate' e muda
// uma vez só no intervalo: bissecção até a precisão do double.
template <class FAntes> double RaizCercada(double de, double ate, FAntes&& antes) {
    // Mais passos do que há doubles a partir do zero por metade: o laço sempre acaba antes.
    for (int i = 0; i < 2200; ++i) {
        const double meio = de + (ate - de) / 2;
        if (meio <= de || meio >= ate) break;
        (antes(meio) ? de : ate) = meio;
    }
    return de + (ate - de) / 2;
}
