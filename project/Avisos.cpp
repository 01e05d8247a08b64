#include "project/Avisos.h"

#include <algorithm>
#include <cmath>

#include "comum/Numeros.h"
#include "engine/uRegressao.h"

std::vector<TFaixaAcimaDaToleravel>
FaixasAcimaDaToleravel(const std::vector<TLinhaRelatorioTexto>& secoes, double perdaToleravel,
                       int espacamento) {
    std::vector<TFaixaAcimaDaToleravel> faixas;
    bool aberta = false;
    for (const TLinhaRelatorioTexto& l : secoes) {
        if (l.Secao > espacamento) break;
        if (l.Perda <= perdaToleravel) {
            aberta = false;
            continue;
        }
        if (!aberta) faixas.push_back({l.Secao, l.Secao, l.Secao, l.Perda});
        aberta = true;
        TFaixaAcimaDaToleravel& f = faixas.back();
        f.Fim = l.Secao;
        if (l.Perda > f.PerdaMaxima) {
            f.PerdaMaxima = l.Perda;
            f.SecaoMaxima = l.Secao;
        }
    }
    return faixas;
}

std::string AvisoPerdaAcimaDaToleravel(const std::vector<TFaixaAcimaDaToleravel>& faixas,
                                       double perdaToleravel, char sep) {
    if (faixas.empty()) return "";
    std::string onde;
    double maxima = 0;
    int secaoMaxima = 0;
    for (std::size_t i = 0; i < faixas.size(); ++i) {
        const TFaixaAcimaDaToleravel& f = faixas[i];
        if (i > 0) onde += i + 1 == faixas.size() ? " e " : ", ";
        onde += f.Inicio == f.Fim
                    ? std::to_string(f.Inicio) + " m"
                    : "de " + std::to_string(f.Inicio) + " a " + std::to_string(f.Fim) + " m";
        if (f.PerdaMaxima > maxima) {
            maxima = f.PerdaMaxima;
            secaoMaxima = f.SecaoMaxima;
        }
    }
    const double excesso = maxima - perdaToleravel;
    return "Dentro do espaçamento, a perda de solo excede a perda tolerável na" +
           std::string(faixas.size() == 1 && faixas[0].Inicio == faixas[0].Fim ? " seção "
                                                                               : "s seções ") +
           onde + ", em até " + FormatFloat("0.0####", excesso, sep) + " g/cm² (" +
           FormatFloat("0.0", 100 * excesso / perdaToleravel, sep) + " %) na seção " +
           std::to_string(secaoMaxima) +
           " m. O espaçamento é a seção mais distante que passa; adote um espaçamento que deixe "
           "essas seções de fora ou reveja o canal.";
}

double ErroCurvaTrapezoidal(double base, double talude, double y) {
    // O mesmo ajuste do perímetro molhado P = a·A^b que o motor faz.
    TRegressao reg(25);
    for (int k = 1; k <= 25; ++k) {
        const double yk = PROFUNDIDADE_MINIMA_AJUSTE_TRAPEZIO * k;
        reg.X[k - 1] = yk * (base + talude * yk);
        reg.Y[k - 1] = base + 2 * yk * std::sqrt(talude * talude + 1);
    }
    double a, b;
    reg.AjustePotencia(a, b);
    const double area = y * (base + talude * y);
    const double perimetro = base + 2 * y * std::sqrt(talude * talude + 1);
    // Manning: Q ∝ A^(5/3)·P^(-2/3); a curva troca P por a·A^b.
    return std::pow(perimetro / (a * std::pow(area, b)), 2.0 / 3.0) - 1;
}

std::string AvisoCurvaTrapezoidal(double base, double talude, double y, char sep) {
    if (!(y > 0) || y >= PROFUNDIDADE_MINIMA_AJUSTE_TRAPEZIO) return "";
    const double erro = ErroCurvaTrapezoidal(base, talude, y);
    return "A profundidade de pico no canal trapezoidal (" + FormatFloat("0.0", y * 100, sep) +
           " cm) está abaixo da faixa em que a curva-chave foi ajustada (20 a 500 cm): nessa "
           "profundidade a curva " +
           std::string(erro >= 0 ? "superestima" : "subestima") + " a vazão em " +
           FormatFloat("0", std::abs(erro) * 100, sep) + " %, e a lâmina e a tensão saem " +
           (erro >= 0 ? "menores que as reais (contra a segurança)." : "maiores que as reais.");
}

std::vector<std::string> AvisosDoResultado(const TCanalEstrada& e, const TResultadoEspacamento& r,
                                           char sep) {
    std::vector<std::string> avisos;
    avisos.push_back(AvisoPerdaAcimaDaToleravel(
        FaixasAcimaDaToleravel(r.Secoes, r.PerdaToleravel, r.Espacamento), r.PerdaToleravel, sep));
    if (e.TipoCanal.Valor == CANAL_TRAPEZOIDAL) {
        // A maior lâmina de pico até o espaçamento (ou na primeira seção, se nenhuma passa).
        double pico = 0;
        for (const TLinhaRelatorioTexto& l : r.Secoes)
            if (l.Secao <= std::max(r.Espacamento, 1)) pico = std::max(pico, l.Lamina / 100);
        avisos.push_back(AvisoCurvaTrapezoidal(e.B(), e.Z.Valor, pico, sep));
    }
    std::erase(avisos, std::string());
    return avisos;
}
