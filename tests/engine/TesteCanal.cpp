#include <gtest/gtest.h>

#include <cmath>

#include "comum/EMorvendo.h"
#include "engine/BaciaAcumulacao.h"
#include "engine/Canal.h"
#include "engine/CanalEstrada.h"
#include "engine/Regressao.h"

namespace {

TEST(Regressao, RetaEPotencia) {
    TRegressao r(3);
    r.X = {1, 2, 3};
    r.Y = {3, 5, 7};
    double a, b;
    r.AjusteLinear(a, b);
    EXPECT_NEAR(a, 1, 1e-12);
    EXPECT_NEAR(b, 2, 1e-12);

    r.X = {1, 2, 4};
    r.Y = {2, 8, 32};
    r.AjustePotencia(a, b);
    EXPECT_NEAR(a, 2, 1e-12);
    EXPECT_NEAR(b, 2, 1e-12);

    // y = 0 entra no ajuste como se fosse 1.
    TRegressao z(2);
    z.X = {1, 10};
    z.Y = {0, 10};
    z.AjustePotencia(a, b);
    EXPECT_NEAR(a, 1, 1e-12);
    EXPECT_NEAR(b, 1, 1e-12);
}

TEST(Canal, ProfundidadePelaAreaESetters) {
    TCanal c;
    c.TipoCanal.Valor = CANAL_TRAPEZOIDAL;
    c.B(0.5);
    c.Z.Valor = 1;
    EXPECT_DOUBLE_EQ(c.ProfundidadePelaArea(0.5), 0.5);
    c.TipoCanal.Valor = CANAL_TRIANGULAR;
    c.Sm.Valor = 1;
    EXPECT_DOUBLE_EQ(c.ProfundidadePelaArea(0.25), 0.5);
    c.TipoCanal.Valor = 7;
    try {
        c.ProfundidadePelaArea(1);
        FAIL();
    } catch (const EMorvendo& e) {
        EXPECT_STREQ(e.what(), "Erro. Seção transversal do canal não definida.");
    }

    c.CDu(1);
    EXPECT_EQ(c.CDu(), 1.0);
    c.CDu(0.5);
    EXPECT_EQ(c.CDu(), 1.0);
    c.CDu(2);
    EXPECT_EQ(c.CDu(), 2.0);
    c.Hr(0);
    EXPECT_EQ(c.Hr(), 0);
    c.B(-2);
    EXPECT_EQ(c.B(), 0);

    TCanal novo;
    EXPECT_EQ(novo.TipoCanal.Valor, CANAL_TRIANGULAR);
    EXPECT_EQ(novo.Z.Indice, -1);
    EXPECT_EQ(TCanalGradiente().TipoCanal.Valor, CANAL_TRAPEZOIDAL);
}

// Vazão de Manning da profundidade h numa seção trapezoidal.
double VazaoManning(double h, double b, double z, double n, double s) {
    const double a = (b + z * h) * h, p = b + 2 * h * std::sqrt(1 + z * z);
    return a * std::pow(a / p, 2.0 / 3.0) * std::sqrt(s) / n;
}

TEST(Canal, ProfundidadeNormal) {
    TCanalGradiente c;
    c.B(0.4);
    c.Z.Valor = 1.5;
    c.nc.Valor = 0.03;
    c.Sc = 0.008;
    for (double q : {0.0005, 0.02, 8.0, 60.0}) { // rasa e funda (h > 1 m)
        const double h = c.ProfundidadeNormal(q);
        EXPECT_NEAR(VazaoManning(h, 0.4, 1.5, 0.03, 0.008), q, q * 1e-6) << q;
    }
    EXPECT_GT(c.ProfundidadeNormal(60), 1);

    TCanalGradiente t;
    t.TipoCanal.Valor = CANAL_TRIANGULAR;
    t.Z.Valor = 1;
    t.Sm.Valor = 1;
    t.nc.Valor = 0.025;
    t.Sc = 0.01;
    EXPECT_EQ(t.ProfundidadeNormal(0), 0);
    // Paredes a 45°: A = h², P = 2·h·√2.
    const double h = t.ProfundidadeNormal(0.05);
    EXPECT_NEAR(h * h * std::pow(h / (2 * std::sqrt(2.0)), 2.0 / 3.0) * 0.1 / 0.025, 0.05, 1e-9);

    // Declividade minúscula: Newton diverge e o erro é claro.
    c.Sc = 1e-300;
    try {
        c.ProfundidadeNormal(1);
        FAIL();
    } catch (const EMorvendo& e) {
        EXPECT_STREQ(e.what(),
                     "Não houve convergência no cálculo da profundidade normal do canal.");
    }
}

TEST(Bacia, Dimensionamento) {
    TBaciaAcumulacao b;
    EXPECT_EQ(b.Formato, TBaciaAcumulacao::SEMICIRCULAR);
    EXPECT_TRUE(b.CalcularVolume);
    b.CanalConducao.TipoCanal.Valor = CANAL_TRIANGULAR;
    b.CanalConducao.Z.Valor = 1;
    b.CanalConducao.Sm.Valor = 1;
    b.CanalConducao.nc.Valor = 0.025;
    b.CanalConducao.Sc = 0.01;
    TDimensoesBacia d = b.Dimensoes(0, 30, 1.5);
    EXPECT_EQ(d.ProfundidadeCanal, 0);
    EXPECT_NEAR(d.Raio, 5.0463, 1e-4);
    EXPECT_EQ(d.Comprimento, d.Raio);

    b.Formato = TBaciaAcumulacao::RETANGULAR;
    b.m1 = 2;
    b.m2 = 3;
    d = b.Dimensoes(0, 30, 1.5);
    EXPECT_DOUBLE_EQ(d.Comprimento, 7.5);
    EXPECT_NEAR(d.Largura, 5.3333, 1e-4);

    b.Limpar();
    EXPECT_EQ(b.Formato, TBaciaAcumulacao::SEMICIRCULAR);
    EXPECT_EQ(b.CanalConducao.TipoCanal.Valor, CANAL_TRAPEZOIDAL);
    EXPECT_EQ(b.CanalConducao.Nome, "_BaciaAcumulacao");
}

TEST(CanalEstrada, PeriodoDeRetornoEquivalente) {
    TCanalEstrada e("_ESTRADA");
    struct {
        double tr, teq;
    } casos[] = {{2, 2.7726},      {1.5, 2.4719}, {3, 3.6492},
                 {3.0001, 3.6001}, {5, 5.5556},   {10, 10.5263}};
    for (const auto& c : casos) {
        e.TrEsp = c.tr;
        EXPECT_NEAR(e.TempoRetornoEquivalente(), c.teq, 1e-4) << c.tr;
    }
    e.TrEsp = 1;
    try {
        e.TempoRetornoEquivalente();
        FAIL();
    } catch (const EMorvendo& ex) {
        EXPECT_STREQ(ex.what(), "Erro. O período de retorno do espaçamento deve ser maior que 1 "
                                "ano.");
    }
}

TEST(CanalEstrada, NomesDosSubobjetosECoberturaDoLeito) {
    TCanalEstrada padrao("_ESTRADA");
    EXPECT_EQ(padrao.AreaExterna.Nome, "_Talude");
    EXPECT_EQ(padrao.Leito.Nome, "_Estrada");
    EXPECT_EQ(padrao.Bacia.Nome, "");
    TCanalEstrada trecho("meu trecho 2");
    EXPECT_EQ(trecho.AreaExterna.Nome, "meu trecho 2_Talude");
    EXPECT_EQ(trecho.Leito.Nome, "meu trecho 2_Estrada");
    EXPECT_EQ(trecho.Bacia.Nome, "meu trecho 2");
    EXPECT_EQ(trecho.Bacia.CanalConducao.Nome, "_BaciaAcumulacaomeu trecho 2");

    padrao.AreaExterna.DefinirNumPlanos(2);
    padrao.Leito.Plano(0).Cobertura.UsoTerra.Indice = 4;
    padrao.Limpar();
    EXPECT_EQ(padrao.AreaExterna.NumPlanos(), 0);
    ASSERT_EQ(padrao.Leito.NumPlanos(), 1);
    const TCobertura& c = padrao.Leito.Plano(0).Cobertura;
    EXPECT_EQ(c.UsoTerra.Indice, 0);
    EXPECT_EQ(c.CondicaoHidrologica.Indice, 0);
    EXPECT_EQ(c.Tratamento.Indice, 1);
    EXPECT_EQ(padrao.TipoCanal.Valor, CANAL_TRAPEZOIDAL);
}

} // namespace
