#include <gtest/gtest.h>

#include <cmath>

#include "comum/EMorvendo.h"
#include "engine/Hidrograma.h"

namespace {

THidrograma Exemplo(std::initializer_list<double> vazoes) {
    THidrograma h;
    double t = 0;
    for (double v : vazoes)
        h.Adicionar(t++, v);
    return h;
}

TEST(Hidrograma, PicoVolumeEProfundidade) {
    THidrograma h = Exemplo({0, 10, 10, 0});
    h.Local = THidrograma::LocalEncosta;
    h.Alfa = 0.5;
    h.Expoente = 5.0 / 3;
    h.Analisar(1.0);
    EXPECT_EQ(h.VazaoMaxima, 10);
    EXPECT_DOUBLE_EQ(h.Volume, 1200);
    EXPECT_NEAR(h.ProfundidadeMaxima, 0.0956, 1e-4);

    THidrograma curto = Exemplo({0, 5, 0});
    curto.Local = THidrograma::LocalEncosta;
    curto.Analisar(1.0);
    EXPECT_EQ(curto.VazaoMaxima, 5);
    EXPECT_EQ(curto.Volume, 0);
}

TEST(Hidrograma, NoCanalAProfundidadeVemDaArea) {
    THidrograma h([](double area) { return area * 2; });
    for (double v : {0.0, 4.0, 2.0, 0.0})
        h.Adicionar(h.NumPontos(), v);
    h.Local = THidrograma::LocalCanal;
    h.Alfa = 1;
    h.Expoente = 1;
    h.Analisar(1.0);
    EXPECT_DOUBLE_EQ(h.ProfundidadeMaxima, 0.008); // área 0,004 m²
}

TEST(Hidrograma, AnaliseSemLocalOuSemFuncaoEhErro) {
    THidrograma h = Exemplo({0, 1, 0, 0});
    h.VazaoMaxima = 7;
    EXPECT_THROW(h.Analisar(1.0), EMorvendo);
    h.Local = THidrograma::LocalCanal;
    try {
        h.Analisar(1.0);
        FAIL();
    } catch (const EMorvendo& e) {
        EXPECT_STREQ(e.what(),
                     "Erro. Função de determinação da profundidade do canal não definida.");
    }
    EXPECT_EQ(h.VazaoMaxima, 7);
}

TEST(Hidrograma, Interpolacao) {
    const THidrograma h = Exemplo({0, 10, 10, 0});
    struct {
        double t, q;
    } casos[] = {{1.5, 10}, {0.5, 5}, {0, 0}, {3, 0}, {-1, 0}, {2.25, 7.5}, {1, 10}};
    for (const auto& c : casos)
        EXPECT_DOUBLE_EQ(h.Interpolar(c.t, 1.0), c.q) << c.t;
    EXPECT_EQ(THidrograma().Interpolar(1, 1), 0);
    // Colado ao último ponto não há seguinte: vale o último ponto.
    EXPECT_DOUBLE_EQ(h.Interpolar(3 - 1e-5, 1.0), 0);
}

TEST(Hidrograma, CorrecaoDaRecessao) {
    THidrograma h = Exemplo({0, 4, 8, 6, 7, 3, 0});
    h.CorrigirRecessao();
    const double esperado[] = {0, 4, 8, 6, 4, 2, 0};
    for (std::size_t k = 0; k < h.NumPontos(); ++k)
        EXPECT_DOUBLE_EQ(h.Pontos[k].Vazao, esperado[k]);

    THidrograma sem = Exemplo({0, 4, 4, 8, 6, 6, 0});
    sem.CorrigirRecessao();
    EXPECT_EQ(sem.Pontos[5].Vazao, 6);
}

} // namespace
