#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "comum/EMorvendo.h"
#include "engine/EncostaCinematica.h"
#include "engine/Precipitacao.h"
#include "engine/RaizNewton.h"
#include "engine/Terreno.h"

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

TEST(Chuva, IntensidadesELaminaDaEquacaoIdf) {
    auto c = ChuvaExemplo();
    EXPECT_NEAR(c.FatorTr(), 1584.89, 0.01);
    EXPECT_NEAR(c.IntensidadeMedia(10), 144.27, 0.01);
    EXPECT_NEAR(c.IntensidadeInstantanea(10), 86.56, 0.01);
    EXPECT_NEAR(c.Lamina(10), 24.04, 0.01);
    EXPECT_NEAR(c.IntensidadeInstantanea(0), 251.19, 0.01);
}

// A busca de Newton comum: para na tolerância, desiste no limite de passos ou num passo que
// não é número, e respeita o piso da variável.
TEST(RaizNewton, ConvergenciaLimitePassoInvalidoEPiso) {
    const auto raizDe2 = [](double x) { return (x * x - 2) / (2 * x); };
    TRaizNewton r = RaizNewton(1, TOpcoesNewton{}, raizDe2);
    EXPECT_TRUE(r.Convergiu);
    EXPECT_NEAR(r.Valor, std::sqrt(2.0), 1e-12);

    TOpcoesNewton poucos;
    poucos.MaximoPassos = 2;
    EXPECT_FALSE(RaizNewton(1, poucos, raizDe2).Convergiu);

    // Derivada nula no ponto de partida: passo infinito, sem laço até o limite.
    int passos = 0;
    r = RaizNewton(0, TOpcoesNewton{}, [&](double x) {
        ++passos;
        return (x * x - 2) / (2 * x);
    });
    EXPECT_FALSE(r.Convergiu);
    EXPECT_EQ(passos, 1);

    // Com piso zero, um passo que leva a variável abaixo dele recomeça do piso.
    TOpcoesNewton piso;
    piso.Piso = 0;
    std::vector<double> pontos;
    r = RaizNewton(1, piso, [&](double x) {
        pontos.push_back(x);
        return pontos.size() == 1 ? 5.0 : x - 3;
    });
    ASSERT_GE(pontos.size(), 2u);
    EXPECT_EQ(pontos[1], 0);
    EXPECT_TRUE(r.Convergiu);
    EXPECT_EQ(r.Valor, 3);

    // Passo exatamente igual à tolerância: só para quando pedido.
    TOpcoesNewton igual;
    igual.Tolerancia = 0.5;
    igual.MaximoPassos = 3;
    int n = 0;
    EXPECT_FALSE(RaizNewton(0, igual, [&](double) { return ++n, 0.5; }).Convergiu);
    igual.ParaNaTolerancia = true;
    EXPECT_TRUE(RaizNewton(0, igual, [](double) { return 0.5; }).Convergiu);
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
         "O período de retorno deve ser maior que zero."},
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

TEST(Terreno, NumeroDeCurvaEAbstracaoInicial) {
    struct {
        int uso, trat, cond;
        double vib;
        int cn;
    } casos[] = {
        {0, 0, 0, 3, 98},   {0, 0, 0, 3.0001, 97}, {0, 3, 2, 191, 89}, {4, 2, 3, 200, 15},
        {2, 2, 0, 10, 92},  {2, 2, 2, 41, 87},     {2, 2, 1, 10, 92},  {1, 1, 2, 10, 0},
        {1, 0, 1, 10, 0},   {4, 3, 1, 10, 0},      {5, 0, 2, 50, 78},  {5, 2, 0, 50, 0},
        {3, 3, 3, 190, 83}, {4, 1, 2, 40, 91},
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

// Com c = 1 a lâmina tende a K·T^a/60: uma abstração maior que isso nunca é preenchida, e a
// busca não converge. A abstração leva a chuva toda (nada escoa), em vez de ser esquecida.
TEST(Terreno, AbstracaoQueAChuvaNuncaPreenche) {
    auto c = ChuvaExemplo();
    c.K(10); // lâmina final de 10·10^0,2/60 = 0,26 mm
    c.C(1);
    TTerreno t("x");
    t.VIB(3); // abstração de 1,04 mm
    const double tIa = TempoAbstracaoInicial(t, c);
    EXPECT_GT(tIa, 1000);
    EXPECT_LT(c.Lamina(tIa), AbstracaoInicial(t));
    // Com chuva bastante a mesma equação a preenche, no tempo em que a lâmina a iguala.
    c.K(100);
    const double cheia = TempoAbstracaoInicial(t, c);
    EXPECT_NEAR(c.Lamina(cheia), AbstracaoInicial(t), 1e-6);
}

// Com c > 1 a lâmina sobe até t = b/(c − 1) e desce depois (a intensidade instantânea fica
// negativa). Com b pequeno esse pico vem antes de 1 min, de onde as buscas partem: o fim do
// escoamento não convergia (o cálculo parava no leito da estrada) e o enchimento das
// abstrações caía na descida, depois do fim da chuva, e o leito não escoava.
TEST(Terreno, ChuvaComPicoAntesDeUmMinuto) {
    const struct { double B, C; } casos[] = {{0.01, 1.1}, {0.3, 2}, {0.99, 2}, {0.5, 3}, {1, 3}};
    for (const auto& caso : casos) {
        SCOPED_TRACE("b = " + std::to_string(caso.B) + ", c = " + std::to_string(caso.C));
        auto chuva = ChuvaExemplo();
        chuva.B(caso.B);
        chuva.C(caso.C);
        const double pico = caso.B / (caso.C - 1);
        const double vib = 5;
        const double fim = TempoFinalEscoamento(chuva, "2", vib);
        EXPECT_GT(fim, 0);
        EXPECT_LT(fim, pico);
        EXPECT_NEAR(chuva.IntensidadeInstantanea(fim), vib, 1e-6 * vib);
        TTerreno t("x");
        t.VIB(3);
        const double ia = TempoAbstracaoInicial(t, chuva);
        EXPECT_GT(ia, 0);
        EXPECT_LT(ia, pico);
        EXPECT_NEAR(chuva.Lamina(ia), AbstracaoInicial(t), 1e-6);
    }
}

} // namespace
