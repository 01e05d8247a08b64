// A locação dos desaguadouros levada aos registros do mapa.
#include <gtest/gtest.h>

#include "geo/LocacaoMapa.h"

TEST(LocacaoParaMapa, DistanciasPorLadoCanaisDaBaixadaEBacia) {
    // Desce 2 % até a baixada em 250 m, sobe 3 % até a crista em 400 m.
    std::vector<TPontoPerfil> perfil;
    for (int s = 0; s <= 400; ++s)
        perfil.push_back({double(s), s <= 250 ? 600 - 0.02 * s : 595 + 0.03 * (s - 250)});
    auto desaguadouro = [](int numero, TLado lado, double posicao,
                           std::vector<TContribuicao> contribuicoes) {
        TDesaguadouro d;
        d.Numero = numero;
        d.Lado = lado;
        d.Posicao = posicao;
        d.Contribuicoes = std::move(contribuicoes);
        d.Chegada = {10.0 * numero, 1.5 * numero};
        return d;
    };
    TResultadoLocacao r;
    r.Desaguadouros = {
        desaguadouro(1, TLado::Esquerdo, 100, {{0, 100, {}}}),
        desaguadouro(2, TLado::Direito, 100, {{0, 100, {}}}),
        desaguadouro(3, TLado::Esquerdo, 250, {{100, 150, {}}, {400, 150, {}}}),
        desaguadouro(4, TLado::Direito, 250, {{100, 150, {}}}),
    };
    r.Desaguadouros[2].Bacia = TDimensoesBacia{30, 1.2, 0, 3.5};
    r.Desaguadouros[2].DeclividadeMontante = 0.02;
    r.Desaguadouros[3].NenhumEspacamento = true;

    const TLocacaoMapa m = LocacaoParaMapa(r, perfil);
    ASSERT_EQ(m.Desaguadouros.size(), 4u);
    const TDesaguadouroMapa& baixada = m.Desaguadouros[2];
    EXPECT_EQ(baixada.Lado, 'E');
    EXPECT_EQ(baixada.DistanciaAnterior, 150); // do 1, do mesmo lado, não do 2
    EXPECT_EQ(m.Desaguadouros[1].DistanciaAnterior, 100);
    EXPECT_EQ(baixada.VazaoPico, 30);
    EXPECT_EQ(baixada.VolumeBacia, 4.5);
    EXPECT_EQ(baixada.DeclividadeMontante, 0.02);
    EXPECT_EQ(baixada.DimensoesBacia,
              "largura 1,20 m, comprimento 3,50 m, canal de condução de 30,0 cm");

    // Um canal por contribuição: os dois da baixada, um de cada lado da água.
    ASSERT_EQ(m.Trechos.size(), 5u);
    EXPECT_EQ(m.Trechos[2].Nome, "Canal 3 E");
    EXPECT_EQ(m.Trechos[2].Inicio, 100);
    EXPECT_NEAR(m.Trechos[2].Declividade, 0.02, 1e-12);
    EXPECT_EQ(m.Trechos[3].Inicio, 250);
    EXPECT_EQ(m.Trechos[3].Fim, 400);
    EXPECT_NEAR(m.Trechos[3].Declividade, -0.03, 1e-12);
    EXPECT_EQ(m.Trechos[3].Espacamento, 150);
    EXPECT_FALSE(m.Trechos[4].Espacamento); // nenhum espaçamento atende
}
