// A tabela dos rótulos de resultado: cada grandeza no seu lugar e o valor que lhe cabe.
#include <gtest/gtest.h>

#include "project/RotulosResultado.h"

namespace {

using G = TGrandezaResultado;

TEST(RotulosResultado, CadaGrandezaLeSeuValor) {
    TResultadoCalculo r;
    r.Canal.PerdaToleravel = 1.5;
    r.Canal.Espacamento = 87;
    r.Canal.TensaoMax = 2.25;
    r.Canal.PerdaSolo = 0.75;
    r.Canal.QMax = 6.5;
    r.Canal.Volume = 8.4376;
    TResultadoBacia b;
    b.VolumeEscoado = 12.3456;
    b.VazaoMaxima = 3.126;
    b.ProfundidadeCanal = 20.04;
    b.Raio = 1.75;
    b.Largura = 2.5;
    b.Comprimento = 4.126;
    r.Bacia = b;
    // Uma grandeza trocada na tabela ou no valor aparece aqui.
    const struct {
        G Grandeza;
        const char* Rotulo;
        const char* Unidade;
        const char* Texto;
    } casos[] = {
        {G::PerdaToleravel, "Perda tolerável", "g/cm²", "1,5"},
        {G::Espacamento, "Espaçamento máximo", "m", "87"},
        {G::TensaoMax, "Tensão cisalhante máxima", "Pa", "2,25"},
        {G::PerdaSolo, "Perda de solo estimada", "g/cm²", "0,75"},
        {G::VazaoCanal, "Vazão máxima", "L/s", "6,5"},
        {G::VolumeCanal, "Volume até o desaguadouro", "m³", "8,438"},
        {G::VolumeBacia, "Volume escoado", "m³", "12,346"},
        {G::VazaoBacia, "Vazão máxima", "L/s", "3,13"},
        {G::ProfundidadeCanalBacia, "Profundidade do canal", "cm", "20,0"},
        {G::RaioBacia, "Raio", "m", "1,75"},
        {G::LarguraBacia, "Largura", "m", "2,5"},
        {G::ComprimentoBacia, "Comprimento", "m", "4,13"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Rotulo);
        EXPECT_STREQ(RotuloResultado(c.Grandeza).Rotulo, c.Rotulo);
        EXPECT_STREQ(RotuloResultado(c.Grandeza).Unidade, c.Unidade);
        EXPECT_EQ(TextoResultado(c.Grandeza, r, ','), c.Texto);
    }
}

TEST(RotulosResultado, SemBaciaSoOCanalTemValor) {
    TResultadoCalculo r;
    r.Canal.Espacamento = 40;
    for (G g : GrandezasBacia(false)) {
        if (g == G::Espacamento) {
            EXPECT_EQ(TextoResultado(g, r, ','), "40");
        } else {
            EXPECT_FALSE(ValorResultado(g, r).has_value());
            EXPECT_EQ(TextoResultado(g, r, ','), "---");
        }
    }
    EXPECT_EQ(GrandezasBacia(true).back(), G::RaioBacia);
}

} // namespace
