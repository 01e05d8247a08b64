// Do traçado em UTM ao perfil da locação, sem arquivos: estaqueamento, média móvel e trecho
// mínimo.
#include <cmath>
#include <gtest/gtest.h>

#include "comum/EMorvendo.h"
#include "geo/PerfilLinha.h"

namespace {

std::vector<TPontoPerfil> PerfilDe(std::size_t n, double (*z)(double)) {
    std::vector<TPontoPerfil> p;
    for (std::size_t i = 0; i < n; ++i)
        p.push_back({double(i), z(double(i))});
    return p;
}

} // namespace

TEST(FatorEscalaUtm, NoMeridianoCentralENasBordasDaZona) {
    struct {
        double Leste, Latitude, Esperado, Tolerancia;
    } casos[] = {
        {500000, 0, 0.9996, 1e-12},
        {500000, -22, 0.9996, 1e-12},
        // A 180 km do meridiano central o fator passa por 1.
        {320000, -22, 1.0000, 3e-5},
        {680000, -22, 1.0000, 3e-5},
        // Borda da zona no equador (3° do meridiano central, ~334 km): 1,00097.
        {166000, 0, 1.00097, 2e-5},
    };
    for (const auto& c : casos)
        EXPECT_NEAR(FatorEscalaUtm(c.Leste, c.Latitude), c.Esperado, c.Tolerancia)
            << c.Leste << ' ' << c.Latitude;
}

TEST(PosicoesDaLinha, VerticesRepetidosSomemEOComprimentoEDoElipsoide) {
    std::vector<TVerticeUtm> v{
        {500000, 7500000, -22}, {500000, 7500000, -22}, {500000, 7501000, -22}};
    const auto s = PosicoesDaLinha(v);
    ASSERT_EQ(v.size(), 2u);
    // No meridiano central a grade encolhe 0,04 %: 1000 m na grade são 1000/0,9996 no chão.
    EXPECT_NEAR(s.back(), 1000 / 0.9996, 1e-6);
}

TEST(PosicoesDaLinha, RecusaLinhaSemComprimentoOuQueVolta) {
    struct {
        std::vector<TVerticeUtm> Vertices;
        const char* Trecho;
    } casos[] = {
        {{{500000, 7500000, -22}}, "um vértice só"},
        {{{500000, 7500000, -22}, {500000, 7500000.0001, -22}}, "um vértice só"},
        // Vai 500 m para o norte e volta 200 m pelo mesmo caminho.
        {{{500000, 7500000, -22}, {500000, 7500500, -22}, {500000, 7500300, -22}},
         "volta sobre si mesma na estaca 25 + 0,20"},
        {{{500000, 7500000, -22}, {NAN, 7500500, -22}}, "não é um número"},
        {{{0, 0, 0}, {0, 2e6, 0}}, "mais de 1.000 km"},
    };
    for (auto& c : casos) {
        try {
            PosicoesDaLinha(c.Vertices);
            ADD_FAILURE() << c.Trecho;
        } catch (const EMorvendo& e) {
            EXPECT_NE(std::string(e.what()).find(c.Trecho), std::string::npos) << e.what();
        }
    }
}

TEST(PosicoesDaLinha, CurvaFechadaNaoEVolta) {
    // Curva em U de 15 m de raio, em vértices a cada 10°: uma estrada de serra.
    std::vector<TVerticeUtm> v{{500000, 7500000 - 100, -22}};
    for (int a = 0; a <= 180; a += 10)
        v.push_back({500000 + 15 - 15 * std::cos(a * M_PI / 180),
                     7500000 + 15 * std::sin(a * M_PI / 180), -22});
    v.push_back({500030, 7500000 - 100, -22});
    EXPECT_NO_THROW(PosicoesDaLinha(v));
}

TEST(AmostrasACadaMetro, UmaPorMetroEUmaNoFimComACotaInterpolada) {
    std::vector<TVerticeUtm> v{{500000, 0, 0, 100}, {500000, 4.9, 0, 110}};
    const auto s = PosicoesDaLinha(v);
    const auto a = AmostrasACadaMetro(v, s);
    ASSERT_EQ(a.size(), 6u); // 0, 1, 2, 3, 4 e 4,902
    EXPECT_DOUBLE_EQ(a.back().Posicao, s.back());
    EXPECT_DOUBLE_EQ(a.back().Z, 110);
    EXPECT_NEAR(a[2].Z, 100 + 10 * 2 / s.back(), 1e-9);
    EXPECT_NEAR(a[2].N, 2 * 0.9996, 1e-9);
}

TEST(SuavizarPerfil, RampaFicaComoEstaEPicoSeEspalhaNaJanela) {
    const auto rampa = PerfilDe(101, [](double s) { return 500 + 0.03 * s; });
    const auto r = SuavizarPerfil(rampa, 20);
    for (std::size_t i = 0; i < r.size(); ++i)
        EXPECT_NEAR(r[i].Cota, rampa[i].Cota, 1e-9);

    auto pico = PerfilDe(101, [](double) { return 500.0; });
    pico[50].Cota = 521;
    const auto p = SuavizarPerfil(pico, 20);
    EXPECT_NEAR(p[50].Cota, 501, 1e-9); // 21 amostras na janela
    EXPECT_NEAR(p[40].Cota, 501, 1e-9);
    EXPECT_NEAR(p[39].Cota, 500, 1e-9);
    EXPECT_EQ(SuavizarPerfil(pico, 0)[50].Cota, 521);
    // As pontas ficam: a janela encolhe dos dois lados.
    pico[0].Cota = 490;
    EXPECT_EQ(SuavizarPerfil(pico, 20)[0].Cota, 490);
}

TEST(PerfilPorTrechoMinimo, CristasEBaixadasNoLugarETrechosNaoMenoresQueOMinimo) {
    // Baixada em 137 m, crista em 301 m, um degrau de 5 m em 210 m que fica de fora.
    auto z = [](double s) {
        double c = s < 137 ? 600 - 0.05 * s : 600 - 0.05 * 137 + 0.04 * (s - 137);
        if (s > 301) c -= 0.06 * (s - 301) + 0.04 * (s - 301);
        if (s >= 208 && s <= 213) c += 0.1 * std::min(s - 208, 213 - s);
        return c;
    };
    std::vector<TPontoPerfil> suave;
    for (int i = 0; i <= 480; ++i)
        suave.push_back({double(i), z(i)});
    suave.push_back({480.6, z(480.6)});
    const auto p = PerfilPorTrechoMinimo(suave, 20);
    EXPECT_EQ(p.front().Posicao, 0);
    EXPECT_EQ(p.back().Posicao, 480.6);
    int baixadas = 0, cristas = 0;
    for (std::size_t i = 1; i < p.size(); ++i) {
        EXPECT_GE(p[i].Posicao - p[i - 1].Posicao, 19.5) << p[i].Posicao;
        if (i + 1 < p.size()) {
            const double a = p[i].Cota - p[i - 1].Cota, b = p[i + 1].Cota - p[i].Cota;
            if (a < 0 && b > 0) {
                ++baixadas;
                EXPECT_EQ(p[i].Posicao, 137);
            }
            if (a > 0 && b < 0) {
                ++cristas;
                EXPECT_EQ(p[i].Posicao, 301);
            }
        }
    }
    EXPECT_EQ(baixadas, 1);
    EXPECT_EQ(cristas, 1);
    // Mais curta que o trecho mínimo: só as pontas.
    EXPECT_EQ(PerfilPorTrechoMinimo({suave.begin(), suave.begin() + 15}, 20).size(), 2u);
}

TEST(DerivarPerfil, RecusaOpcoesECotasQueNaoServem) {
    const auto plano = PerfilDe(50, [](double) { return 700.0; });
    struct {
        TOpcoesPerfil Opcoes;
        std::size_t Indice;
        double Cota;
        const char* Trecho;
    } casos[] = {
        {{-1, 20}, 0, 700, "janela de suavização"},
        {{1001, 20}, 0, 700, "janela de suavização"},
        {{20, 0.5}, 0, 700, "trecho mínimo"},
        {{NAN, 20}, 0, 700, "janela de suavização"},
        {{20, 20}, 31, NAN, "A cota na estaca 1 + 11,00 (31,0 m) não é um número."},
        {{20, 20}, 12, -32768 * 1.0 - 1e5, "não é uma altitude"},
    };
    for (const auto& c : casos) {
        auto p = plano;
        p[c.Indice].Cota = c.Cota;
        try {
            DerivarPerfil(p, c.Opcoes);
            ADD_FAILURE() << c.Trecho;
        } catch (const EMorvendo& e) {
            EXPECT_NE(std::string(e.what()).find(c.Trecho), std::string::npos) << e.what();
        }
    }
}
