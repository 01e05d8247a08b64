// Gráficos em SVG do relatório: marcas dos eixos, texto só em ASCII, valores não finitos e
// séries longas.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <regex>

#include "reports/GraficoSvg.h"

namespace {

int Contar(const std::string& texto, const std::string& trecho) {
    int n = 0;
    for (auto i = texto.find(trecho); i != std::string::npos; i = texto.find(trecho, i + 1))
        ++n;
    return n;
}

TEST(GraficoSvg, MarcasDosEixos) {
    struct TCaso {
        double min, max;
        std::vector<double> marcas;
    };
    const TCaso casos[] = {
        {0, 10, {0, 2, 4, 6, 8, 10}},
        {0, 9.3, {0, 2, 4, 6, 8, 10}},
        {1, 200, {0, 50, 100, 150, 200}},
        {0, 0.88, {0, 0.2, 0.4, 0.6, 0.8, 1.0}},
        {-3, 7, {-4, -2, 0, 2, 4, 6, 8}},
        {5, 5, {4.4, 4.6, 4.8, 5.0, 5.2, 5.4, 5.6}}, // faixa nula ganha folga
        {0, 0, {0, 0.2, 0.4, 0.6, 0.8, 1.0}},
        {0, 15000, {0, 5000, 10000, 15000}},
    };
    for (const auto& c : casos) {
        const auto m = MarcasEixo(c.min, c.max);
        ASSERT_EQ(m.size(), c.marcas.size()) << c.min << " a " << c.max;
        for (std::size_t i = 0; i < m.size(); ++i)
            EXPECT_NEAR(m[i], c.marcas[i], 1e-9) << c.min << " a " << c.max;
        EXPECT_LE(m.front(), c.min);
        EXPECT_GE(m.back(), c.max);
    }
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(MarcasEixo(0, inf).size(), 6u);
    EXPECT_EQ(MarcasEixo(std::nan(""), 1).size(), 6u);
}

TEST(GraficoSvg, TextoDasMarcasComVirgula) {
    EXPECT_EQ(TextoMarca(0.4, 0.2), "0,4");
    EXPECT_EQ(TextoMarca(1, 0.2), "1,0");
    EXPECT_EQ(TextoMarca(0.05, 0.05), "0,05");
    EXPECT_EQ(TextoMarca(150, 50), "150");
    EXPECT_EQ(TextoMarca(15000, 5000), "15.000");
    EXPECT_EQ(TextoMarca(-1e-17, 0.2), "0,0"); // sem "-0"
}

TEST(GraficoSvg, DocumentoEmAsciiComTitulosLegendaELinhas) {
    TGraficoSvg g;
    g.Titulo = "Perda de solo <ao longo> & \"canal\"";
    g.TituloX = "Seção (m)";
    g.TituloY = "Perda (g·cm⁻²)";
    g.Series.push_back({"Perda estimada", "#1f4e9c", {{1, 0.5}, {2, 1.5}, {3, 0.7}}});
    g.Linhas.push_back({"Perda tolerável", "#c00000", 1});
    g.Linhas.push_back({"Espaçamento", "#2e7d32", 2, true});
    const std::string svg = DesenharGraficoSvg(g);
    EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
    EXPECT_EQ(svg.substr(svg.size() - 6), "</svg>");
    for (const char c : svg) {
        EXPECT_TRUE(c >= 0x20 && c < 0x7f) << int(c);
        if (!(c >= 0x20 && c < 0x7f)) break;
    }
    EXPECT_NE(svg.find("Perda de solo &lt;ao longo&gt; &amp; &quot;canal&quot;"),
              std::string::npos);
    EXPECT_NE(svg.find("Se&#231;&#227;o (m)"), std::string::npos);
    EXPECT_NE(svg.find("Perda (g&#183;cm&#8315;&#178;)"), std::string::npos);
    EXPECT_NE(svg.find(">Perda toler&#225;vel</text>"), std::string::npos);
    EXPECT_NE(svg.find(">1,5</text>"), std::string::npos); // marca do eixo Y
    EXPECT_EQ(Contar(svg, "<polyline"), 1);
    EXPECT_EQ(Contar(svg, "stroke-dasharray=\"6,4\""), 4); // 2 linhas e 2 na legenda
    EXPECT_EQ(svg.find("nan"), std::string::npos);
}

TEST(GraficoSvg, SemDadosENaoFinitos) {
    TGraficoSvg g;
    g.Series.push_back({"vazia", "#000000", {}});
    std::string svg = DesenharGraficoSvg(g);
    EXPECT_NE(svg.find(">sem dados</text>"), std::string::npos);
    EXPECT_EQ(svg.find("<polyline"), std::string::npos);

    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    g.Series[0].Pontos = {{0, 1}, {1, nan}, {inf, 2}, {2, 3}};
    g.Linhas.push_back({"ref", "#ff0000", nan});
    svg = DesenharGraficoSvg(g);
    EXPECT_EQ(svg.find("sem dados"), std::string::npos);
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);
    // Só os dois pontos finitos na linha.
    const std::regex pontos("points=\"([^\"]*)\"");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(svg, m, pontos));
    EXPECT_EQ(Contar(m[1].str(), ","), 2);
}

// Um canal de 15 km tem 15 000 seções: o desenho guarda no máximo quatro pontos por coluna
// de pixel, com o maior e o menor de cada uma.
TEST(GraficoSvg, SerieLongaReduzidaSemPerderOPico) {
    TGraficoSvg g;
    TSerieGrafico s{"perda", "#000000", {}};
    for (int i = 1; i <= 15000; ++i)
        s.Pontos.push_back({double(i), i == 7777 ? 100.0 : std::sin(i * 0.01)});
    g.Series.push_back(s);
    const std::string svg = DesenharGraficoSvg(g);
    EXPECT_LT(svg.size(), 40000u);
    // O pico (100) fica no topo da área do gráfico.
    const auto marca = svg.find(">100</text>");
    ASSERT_NE(marca, std::string::npos);
    // Sem std::regex: a recursão dele estoura a pilha numa lista tão longa de pontos.
    const auto inicio = svg.find("points=\"");
    ASSERT_NE(inicio, std::string::npos);
    const auto fim = svg.find('"', inicio + 8);
    ASSERT_NE(fim, std::string::npos);
    const std::string pontos = svg.substr(inicio + 8, fim - inicio - 8);
    EXPECT_NE(pontos.find(",32.0"), std::string::npos); // topo: y = 32
}

} // namespace
