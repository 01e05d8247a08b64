// Avisos dos limites do método: perda acima da tolerável dentro do espaçamento e curva-chave
// trapezoidal fora da faixa ajustada.
#include <gtest/gtest.h>

#include "Auxiliar.h"
#include "project/Avisos.h"
#include "project/Calculo.h"
#include "project/Projeto.h"

namespace {

TEST(Avisos, PerdaQueSobeEDesceDentroDoEspacamento) {
    const std::vector<TLinhaRelatorioTexto> secoes = {
        {1, 0, 0, 0, 0.0}, {2, 0, 0, 0, 1.2}, {3, 0, 0, 0, 1.5}, {4, 0, 0, 0, 0.9},
        {5, 0, 0, 0, 1.1}, {6, 0, 0, 0, 0.5}, {7, 0, 0, 0, 0.9}, {8, 0, 0, 0, 2.0}};
    const auto faixas = FaixasAcimaDaToleravel(secoes, 1.0, 7);
    ASSERT_EQ(faixas.size(), 2u);
    EXPECT_EQ(faixas[0].Inicio, 2);
    EXPECT_EQ(faixas[0].Fim, 3);
    EXPECT_EQ(faixas[0].SecaoMaxima, 3);
    EXPECT_EQ(faixas[1].Inicio, 5);
    EXPECT_EQ(faixas[1].Fim, 5);
    EXPECT_EQ(AvisoPerdaAcimaDaToleravel(faixas, 1.0, ','),
              "Dentro do espaçamento, a perda de solo excede a perda tolerável nas seções de 2 "
              "a 3 m e 5 m, em até 0,5 g/cm² (50,0 %) na seção 3 m. O espaçamento é a seção "
              "mais distante que passa; adote um espaçamento que deixe essas seções de fora ou "
              "reveja o canal.");
    // A seção 8 está além do espaçamento: já é o que a grade mostra em vermelho.
    EXPECT_TRUE(FaixasAcimaDaToleravel(secoes, 1.0, 1).empty());
    EXPECT_EQ(AvisoPerdaAcimaDaToleravel({}, 1.0, ','), "");
}

TEST(Avisos, CurvaTrapezoidalAbaixoDaFaixaAjustada) {
    // B = 0,4 m e Z = 1: a curva superestima a vazão em 22 % a 5 cm e em 51 % a 2 cm.
    EXPECT_NEAR(ErroCurvaTrapezoidal(0.4, 1, 0.05), 0.2173, 5e-4);
    EXPECT_NEAR(ErroCurvaTrapezoidal(0.4, 1, 0.02), 0.5144, 5e-4);
    EXPECT_NEAR(ErroCurvaTrapezoidal(0.4, 1, 0.2), 0.0185, 5e-4);
    EXPECT_EQ(AvisoCurvaTrapezoidal(0.4, 1, 0.2, ','), "");
    EXPECT_EQ(AvisoCurvaTrapezoidal(0.4, 1, 0.05, ','),
              "A profundidade de pico no canal trapezoidal (5,0 cm) está abaixo da faixa em que "
              "a curva-chave foi ajustada (20 a 500 cm): nessa profundidade a curva superestima "
              "a vazão em 22 %, e a lâmina e a tensão saem menores que as reais (contra a "
              "segurança).");
}

// A linha de comando diz os dois avisos no resumo, só quando se aplicam.
TEST(Avisos, NoResumoDaLinhaDeComando) {
    TPastaTemporaria pasta("avisos");
    auto resumo = [&](const char* caso) {
        fs::copy_file(DADOS_REFERENCIA + caso + ".mvd", pasta / "p.mvd",
                      fs::copy_options::overwrite_existing);
        const std::string cmd = "cd '" + pasta.Caminho.string() +
                                "' && LC_ALL=C '" MORVENDO_CALC "' p.mvd > out.txt 2>&1";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << caso;
        return LerBytes(pasta / "out.txt");
    };
    const std::string c13 = resumo("c13_perda_sobe_e_desce");
    EXPECT_NE(c13.find("excede a perda tolerável na seção 12 m"), std::string::npos) << c13;
    const std::string c02 = resumo("c02_trap_secao3_50m");
    EXPECT_NE(c02.find("abaixo da faixa em que a curva-chave foi ajustada"), std::string::npos)
        << c02;
    EXPECT_EQ(c02.find("excede a perda tolerável"), std::string::npos) << c02;
    const std::string c03 = resumo("c03_equiv_200m");
    EXPECT_EQ(c03.find("Avisos"), std::string::npos) << c03;
}

} // namespace
