// O resultado em palavras e as planilhas da página de resultados.
#include <gtest/gtest.h>

#include "Auxiliar.h"
#include "comum/Numeros.h"
#include "project/Calculo.h"
#include "project/Projeto.h"
#include "project/ResumoResultado.h"

namespace {

std::vector<std::string> Linhas(const std::string& csv) {
    std::vector<std::string> l;
    std::size_t i = 0;
    while (i < csv.size()) {
        const std::size_t f = csv.find("\r\n", i);
        l.push_back(csv.substr(i, f - i));
        i = f + 2;
    }
    return l;
}

std::vector<std::string> Campos(const std::string& linha) {
    std::vector<std::string> c(1);
    for (char ch : linha) {
        if (ch == ';')
            c.emplace_back();
        else
            c.back().push_back(ch);
    }
    return c;
}

TEST(ResumoResultado, CsvDasSecoesLidoDeVoltaDaOsMesmosNumeros) {
    // Valores que duas casas, ou 15 algarismos, não guardam.
    const std::vector<TLinhaSecao> secoes = {
        {1, 0, 0, 0, 0}, {2, 0.1 + 0.2, 1e-7, 123456.789, 2.0 / 3}, {3, 5e-324, 1e22, 7, 0.5}};
    const std::string csv = CsvSecoes(secoes);
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    const auto l = Linhas(csv.substr(3));
    ASSERT_EQ(l.size(), 4u);
    EXPECT_EQ(l[0], "Seção (m);Lâmina (cm);Vazão (L/s);Tensão máxima (Pa);Perda de solo (g/cm²)");
    EXPECT_EQ(l[1], "1;0;0;0;0");
    for (std::size_t k = 0; k < secoes.size(); ++k) {
        const auto c = Campos(l[k + 1]);
        ASSERT_EQ(c.size(), 5u);
        EXPECT_EQ(c[0], std::to_string(secoes[k].Secao));
        const double v[4] = {secoes[k].Lamina, secoes[k].Vazao, secoes[k].Tensao, secoes[k].Perda};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(c[i + 1].find('.'), std::string::npos) << c[i + 1];
            EXPECT_EQ(TentarTextoParaReal(c[i + 1], ','), v[i]) << c[i + 1];
        }
    }
    EXPECT_EQ(Campos(l[2])[1], "0,30000000000000004");
}

TEST(ResumoResultado, CsvDosHidrogramasLadoALado) {
    const std::vector<TPontoHidrograma> a = {{0, 0}, {0.2, 1.5}, {0.4, 0.25}}, b = {{0, 0.125}};
    const std::string csv =
        CsvHidrogramas({{"Leito", "chuva; com separador", "", "", "L/s/m", true, &a},
                        {"Canal", "outra \"chuva\"", "", "", "L/s", false, &b}});
    const auto l = Linhas(csv.substr(3));
    ASSERT_EQ(l.size(), 4u);
    // Título com ';' ou aspas vai entre aspas, como a planilha espera.
    EXPECT_EQ(l[0], "Leito - tempo (min);\"Leito, chuva; com separador - vazão (L/s/m)\";"
                    "Canal - tempo (min);\"Canal, outra \"\"chuva\"\" - vazão (L/s)\"");
    EXPECT_EQ(l[1], "0;0;0;0,125");
    EXPECT_EQ(l[2], "0,2;1,5;;");
    EXPECT_EQ(l[3], "0,4;0,25;;");
}

TEST(ResumoResultado, PeriodoDeRetorno) {
    EXPECT_EQ(TextoPeriodoRetorno(5.5555555, ','), "5,56 anos");
    EXPECT_EQ(TextoPeriodoRetorno(20, ','), "20 anos");
    EXPECT_EQ(TextoPeriodoRetorno(1, ','), "1 ano");
}

class Resumo : public ::testing::Test {
protected:
    TPastaTemporaria Pasta{"resumo"};
    TUnidades U;
    TProjeto P{U};

    TResultadoCalculo Calcular(const char* caso) {
        fs::copy_file(DADOS_REFERENCIA + caso + ".mvd", Pasta.Caminho / "p.mvd",
                      fs::copy_options::overwrite_existing);
        ZerarVariaveis(P);
        EXPECT_TRUE(LerProjeto(P, (Pasta.Caminho / "p.mvd").string()));
        // Os casos com canal trapezoidal são da curva de descarga antiga.
        P.Estrada.CurvaDescargaOriginal = P.Estrada.TipoCanal.Valor == CANAL_TRAPEZOIDAL;
        return ExecutarCalculo(P, P.Estrada.Comprimento(), nullptr);
    }
    std::string Texto(const TResultadoCalculo& r) {
        std::string t;
        for (const std::string& p : ResumoDoResultado(P.Estrada, P.Estrada.Comprimento(), r, ','))
            t += p + "\n";
        return t;
    }
};

TEST_F(Resumo, CanalQuePrecisaDeDesaguadouros) {
    const TResultadoCalculo r = Calcular("c03_equiv_200m");
    const std::string t = Texto(r);
    EXPECT_NE(t.find("O canal de 200 m precisa de desaguadouros: o espaçamento máximo entre eles "
                     "é de 116 m na chuva do espaçamento (período de retorno de 5,56 anos)."),
              std::string::npos)
        << t;
    EXPECT_NE(t.find("a perda de solo estimada é de " +
                     FormatFloat("0.0##", r.Canal.PerdaSolo, ',') +
                     " g/cm², abaixo da perda tolerável de 7,0 g/cm²: margem de " +
                     FormatFloat("0.0##", 7 - r.Canal.PerdaSolo, ',')),
              std::string::npos)
        << t;
    EXPECT_NE(t.find(FormatFloat("0.0##", r.Canal.Volume, ',') + " m³ por trecho de 116 m"),
              std::string::npos);
    EXPECT_NE(t.find("Bacia de acumulação (chuva de dimensionamento, período de retorno de 20 "
                     "anos): volume escoado de"),
              std::string::npos)
        << t;
    EXPECT_NE(t.find("bacia semicircular de raio"), std::string::npos);

    // Sem margem e sem espaçamento nenhum: o resumo diz cada caso.
    TResultadoCalculo igual = r;
    igual.Canal.PerdaSolo = igual.Canal.PerdaToleravel;
    EXPECT_NE(Texto(igual).find("igual à perda tolerável de 7,0 g/cm²: não há margem."),
              std::string::npos);
    TResultadoCalculo nenhuma = r;
    nenhuma.Canal.Espacamento = 0;
    const std::string n = Texto(nenhuma);
    EXPECT_EQ(n.find("Nenhuma seção do canal fica dentro da perda tolerável"), 0u) << n;
    EXPECT_EQ(n.find("margem"), std::string::npos);
}

TEST_F(Resumo, CanalInteiroDentroDaToleravelESemBacia) {
    TResultadoCalculo r = Calcular("c01_canal_1m");
    EXPECT_EQ(Texto(r).find("O canal inteiro (1 m) fica dentro da perda tolerável"), 0u);
    EXPECT_NE(Texto(r).find("Aumente o comprimento para achar o espaçamento."), std::string::npos);
    P.Estrada.Bacia.CalcularVolume = false;
    r.Bacia.reset();
    EXPECT_NE(Texto(r).find("A bacia de acumulação não foi dimensionada"), std::string::npos);
}

TEST_F(Resumo, HidrogramasComAChuvaDeCadaUm) {
    const TResultadoCalculo r = Calcular("c02_trap_secao3_50m");
    const auto s = SeriesHidrogramas(P.Estrada, r, ',');
    // Seção 3: sem área externa.
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].Nome, "Leito da estrada");
    EXPECT_EQ(s[0].Pontos, &r.HidrogramaEstrada.Pontos);
    EXPECT_TRUE(s[0].PorMetro);
    EXPECT_EQ(s[1].Nome, "Canal no desaguadouro (30 m)");
    EXPECT_EQ(s[1].Pontos, &r.Bacia->HidrogramaProjeto.Pontos);
    EXPECT_FALSE(s[1].PorMetro);
    EXPECT_EQ(s[1].Chuva.rfind("chuva de dimensionamento, período de retorno de ", 0), 0u);
    EXPECT_EQ(s[0].Chuva.rfind("chuva do espaçamento, período de retorno de ", 0), 0u);
}

} // namespace
