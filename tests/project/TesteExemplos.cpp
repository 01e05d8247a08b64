// Os projetos de exemplo abrem e calculam sem erro.
#include <gtest/gtest.h>

#include "Auxiliar.h"
#include "project/Calculo.h"
#include "project/Projeto.h"

namespace {

TEST(Exemplos, TodosAbremECalculam) {
    int projetos = 0;
    for (const auto& e : fs::directory_iterator(MORVENDO_EXEMPLOS)) {
        if (e.path().extension() != ".mvd") continue;
        ++projetos;
        SCOPED_TRACE(e.path().filename().string());
        TUnidades u;
        TProjeto p(u);
        ZerarVariaveis(p);
        ASSERT_TRUE(LerProjeto(p, e.path().string()));
        const auto falha = ValidarDados(p);
        ASSERT_FALSE(falha.has_value()) << falha->Mensagem;
        const TResultadoCalculo r = ExecutarCalculo(p, p.Estrada.Comprimento(), nullptr);
        EXPECT_EQ(r.Situacao, TResultadoCalculo::Concluido);
        EXPECT_GT(r.Canal.Espacamento, 1);
        EXPECT_LT(r.Canal.Espacamento, p.Estrada.Comprimento());
        ASSERT_TRUE(r.Bacia.has_value());
        EXPECT_GT(r.Bacia->VolumeEscoado, 0);
    }
    EXPECT_GE(projetos, 5);
}

} // namespace
