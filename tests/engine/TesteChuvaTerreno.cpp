#include <gtest/gtest.h>

#include "comum/EMorvendo.h"
#include "engine/uPrecipitacao.h"
#include "engine/uTerreno.h"

namespace {

TPrecipitacaoExponencialNegativa ChuvaExemplo() {
    TPrecipitacaoExponencialNegativa c;
    c.K(1000);
    c.Tr(10);
    c.A(0.2);
    c.B(10);
    c.C(0.8);
    return c;
}

struct TSerie : ISerieGrafico {
    int pontos = -1;
    void Limpar() override { pontos = 0; }
    void Adicionar(double, double) override { ++pontos; }
};

TEST(Chuva, IntensidadesELaminaDaEquacaoIdf) {
    auto c = ChuvaExemplo();
    EXPECT_NEAR(c.FatorTr(), 1584.89, 0.01);
    EXPECT_NEAR(c.IntensidadeMedia(10), 144.27, 0.01);
    EXPECT_NEAR(c.IntensidadeInstantanea(10), 86.56, 0.01);
    EXPECT_NEAR(c.Lamina(10), 24.04, 0.01);
    EXPECT_NEAR(c.IntensidadeInstantanea(0), 251.19, 0.01);
    EXPECT_DOUBLE_EQ(c.LaminaEntre(7, 7), 0);
    EXPECT_DOUBLE_EQ(c.LaminaEntre(0, 30), c.Lamina(30));
}

TEST(Chuva, BuscasDeRaiz) {
    auto c = ChuvaExemplo();
    EXPECT_NEAR(c.TempoDaIntensidade(c.IntensidadeInstantanea(20)), 20, 1e-6);
    EXPECT_NEAR(c.DuracaoDaLamina(c.Lamina(45)), 45, 1e-6);
    // Acima da intensidade inicial a busca cai na bisseção e fica junto de zero.
    const double t = c.TempoDaIntensidade(300);
    EXPECT_GE(t, 0);
    EXPECT_LE(t, 1e-7);
}

TEST(Chuva, FatorTrSemParametrosENegativosRecusados) {
    auto c = ChuvaExemplo();
    c.Tr(0);
    EXPECT_EQ(c.FatorTr(), -1.0);
    EXPECT_LT(c.IntensidadeInstantanea(5), 0);
    c.Tr(10);

    struct {
        void (TPrecipitacaoExponencialNegativa::*setter)(double);
        double (TPrecipitacaoExponencialNegativa::*getter)() const;
        const char* mensagem;
    } casos[] = {
        {&TPrecipitacaoExponencialNegativa::Tr, &TPrecipitacaoExponencialNegativa::Tr,
         "O valor do tempo de retorno (Tr) deve ser maior que zero."},
        {&TPrecipitacaoExponencialNegativa::K, &TPrecipitacaoExponencialNegativa::K,
         "O valor do parâmetro \"K\" deve ser maior que zero."},
        {&TPrecipitacaoExponencialNegativa::A, &TPrecipitacaoExponencialNegativa::A,
         "O valor do parâmetro \"a\" deve ser maior que zero."},
        {&TPrecipitacaoExponencialNegativa::B, &TPrecipitacaoExponencialNegativa::B,
         "O valor do parâmetro \"b\" deve ser maior que zero."},
        {&TPrecipitacaoExponencialNegativa::C, &TPrecipitacaoExponencialNegativa::C,
         "O valor do parâmetro \"c\" deve ser maior que zero."},
    };
    for (const auto& caso : casos) {
        const double antes = (c.*caso.getter)();
        try {
            (c.*caso.setter)(-1);
            ADD_FAILURE() << caso.mensagem;
        } catch (const EMorvendo& e) {
            EXPECT_STREQ(e.what(), caso.mensagem);
        }
        EXPECT_EQ((c.*caso.getter)(), antes);
    }
    EXPECT_NEAR(c.FatorTr(), 1584.89, 0.01);
}

TEST(Chuva, IntensidadeComTempoForaDoDominioEhErro) {
    auto c = ChuvaExemplo();
    EXPECT_THROW(c.IntensidadeMedia(-10), EMorvendo);
    EXPECT_THROW(c.IntensidadeMedia(-11), EMorvendo);
}

TEST(Chuva, DesenhoDaIntensidade) {
    auto c = ChuvaExemplo();
    TSerie s;
    struct {
        double duracao;
        int pontos;
    } casos[] = {{0, 50}, {0.4, 0}, {2.5, 2}, {3.5, 4}, {12, 12}};
    for (const auto& caso : casos) {
        c.Duracao = caso.duracao;
        c.DesenharIntensidade(s);
        EXPECT_EQ(s.pontos, caso.pontos) << caso.duracao;
    }
}

TEST(Terreno, NumeroDeCurvaEAbstracaoInicial) {
    struct {
        int uso, trat, cond;
        double vib;
        int cn;
    } casos[] = {
        {0, 0, 0, 3, 98},      {0, 0, 0, 3.0001, 97}, {0, 3, 2, 191, 89}, {4, 2, 3, 200, 15},
        {2, 2, 0, 10, 92},     {2, 2, 2, 41, 87},     {2, 2, 1, 10, 92},  {1, 1, 2, 10, 0},
        {1, 0, 1, 10, 0},      {4, 3, 1, 10, 0},      {5, 0, 2, 50, 78},  {5, 2, 0, 50, 0},
        {3, 3, 3, 190, 83},    {4, 1, 2, 40, 91},
    };
    for (const auto& caso : casos) {
        TTerreno t("x");
        t.Cobertura.UsoTerra.Indice = std::uint8_t(caso.uso);
        t.Cobertura.Tratamento.Indice = std::uint8_t(caso.trat);
        t.Cobertura.CondicaoHidrologica.Indice = std::uint8_t(caso.cond);
        t.VIB(caso.vib);
        EXPECT_EQ(NumeroDeCurva(t), caso.cn)
            << caso.uso << "/" << caso.trat << "/" << caso.cond << " VIB " << caso.vib;
        const double ia = caso.cn ? 50.8 * (100.0 / caso.cn - 1) : 0;
        EXPECT_DOUBLE_EQ(AbstracaoInicial(t), ia);
    }
    TTerreno t("x");
    t.VIB(3);
    EXPECT_NEAR(AbstracaoInicial(t), 1.037, 1e-3);
    t.VIB(3.0001);
    EXPECT_NEAR(AbstracaoInicial(t), 1.571, 1e-3);
    t.VIB(-5);
    EXPECT_EQ(t.VIB(), 0);
}

TEST(Terreno, TempoDaAbstracaoInicial) {
    auto c = ChuvaExemplo();
    TTerreno t("x");
    t.VIB(3);
    EXPECT_NEAR(TempoAbstracaoInicial(t, c), 0.2526, 1e-4);
    EXPECT_NEAR(c.Lamina(TempoAbstracaoInicial(t, c)), AbstracaoInicial(t), 1e-6);
}

} // namespace
