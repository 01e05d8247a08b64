// Os projetos de exemplo abrem e calculam sem erro.
#include <gtest/gtest.h>

#include <cmath>

#include "Auxiliar.h"
#include "comum/ArquivoIni.h"
#include "project/Calculo.h"
#include "project/Estudos.h"
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
        // O balanço hídrico fecha nos planos e no canal.
        EXPECT_GT(r.BalancoEstrada.Escoamento, 0);
        EXPECT_GT(r.Canal.Balanco.Saida, 0);
        for (double erro :
             {r.BalancoEstrada.ErroPct(), r.BalancoTalude.ErroPct(), r.Canal.Balanco.ErroPct()})
            EXPECT_LT(std::fabs(erro), 1.0);
    }
    EXPECT_GE(projetos, 5);
}

// O exemplo da estrada inteira: cada trecho calcula e tem os seus desaguadouros.
TEST(Exemplos, TrechosCalculam) {
    int comTrechos = 0;
    for (const auto& e : fs::directory_iterator(MORVENDO_EXEMPLOS)) {
        if (e.path().extension() != ".mvd") continue;
        SCOPED_TRACE(e.path().filename().string());
        TArquivoIni doc;
        doc.Carregar(e.path().string());
        TUnidades u;
        TProjeto p(u);
        ZerarVariaveis(p);
        TArquivoIni copia = doc;
        ASSERT_TRUE(LerProjeto(p, copia));
        if (p.Trechos.empty()) continue;
        ++comTrechos;
        for (const TResultadoTrecho& r : ExecutarTrechos(doc, p.Trechos, LinhasPadrao())) {
            EXPECT_TRUE(r.Resultado.Ok) << r.Trecho.Nome << ": " << r.Resultado.Erro;
            ASSERT_FALSE(r.Posicoes.empty());
            EXPECT_EQ(r.Posicoes.back(), r.Trecho.Inicio + r.Trecho.Comprimento);
        }
    }
    EXPECT_GE(comTrechos, 1);
}

} // namespace
