// Relatório da estrada: o documento de um caso de referência contra o arquivo conferido
// (tests/dados/relatorio_estrada_c02.html) e, em projetos pequenos, as regras de cada trecho.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "comum/EMorvendo.h"
#include "comum/Win1252.h"
#include "engine/uPersistencia.h"
#include "project/Calculo.h"
#include "reports/uRelatorioEstrada.h"

namespace fs = std::filesystem;

namespace {

const std::string DADOS = MORVENDO_DADOS_TESTE;

std::string LerBytes(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void GravarBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// Quantas vezes o trecho aparece no documento.
int Contar(const std::string& texto, const std::string& trecho) {
    int n = 0;
    for (auto i = texto.find(trecho); i != std::string::npos; i = texto.find(trecho, i + 1))
        ++n;
    return n;
}

class RelatorioEstrada : public ::testing::Test {
protected:
    void SetUp() override {
        pasta = fs::temp_directory_path() /
                ("morvendo-relatorio-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(pasta);
        fs::create_directories(pasta);
        opcoes.PastaPrograma = "/opt/morvendo/Morvendo/";
        opcoes.Data = "10/12/2025";
        ZerarVariaveis(p);
    }
    void TearDown() override { fs::remove_all(pasta); }

    // Linhas por seção do resultado, escritas como na tabela ("s lamina vazao tensao perda").
    void Secoes(const std::vector<std::string>& linhas) {
        resultado.Canal.Secoes.clear();
        for (const auto& l : linhas) {
            std::istringstream in(l);
            TLinhaSecao s{};
            in >> s.Secao >> s.Lamina >> s.Vazao >> s.Tensao >> s.Perda;
            resultado.Canal.Secoes.push_back(s);
        }
    }

    // Documento em UTF-8 para as comparações.
    std::string Documento() {
        std::string doc;
        EXPECT_TRUE(GerarRelatorio(p, resultado, opcoes, doc));
        return win1252::ParaUtf8(doc);
    }

    fs::path pasta;
    TUnidades unidades;
    TProjeto p{unidades};
    TOpcoesRelatorioEstrada opcoes;
    TResultadoCalculo resultado;
};

TEST_F(RelatorioEstrada, CasoDeReferenciaIgualAoConferido) {
    fs::copy_file(DADOS + "/referencia/c02_trap_secao3_50m.mvd", pasta / "projeto.mvd");
    ASSERT_TRUE(LerProjeto(p, (pasta / "projeto.mvd").string()));
    resultado = ExecutarCalculo(p, p.Estrada.Comprimento(), nullptr);
    ASSERT_EQ(resultado.Situacao, TResultadoCalculo::Concluido);
    std::string doc;
    ASSERT_TRUE(GerarRelatorio(p, resultado, opcoes, doc));

    const fs::path conferido = DADOS + "/relatorio_estrada_c02.html";
    if (std::getenv("MORVENDO_REGRAVAR_CONFERIDOS")) GravarBytes(conferido, doc);
    // Na diferença, só o trecho em volta dela: o documento inteiro não cabe numa mensagem.
    const std::string esperado = LerBytes(conferido);
    const auto i = std::mismatch(esperado.begin(), esperado.end(), doc.begin(), doc.end());
    const std::size_t pos = std::size_t(i.first - esperado.begin());
    EXPECT_TRUE(esperado == doc) << "primeira diferença no byte " << pos << ":\n  conferido: "
                                 << esperado.substr(pos < 60 ? 0 : pos - 60, 140)
                                 << "\n  obtido:    " << doc.substr(pos < 60 ? 0 : pos - 60, 140);
    // Uma linha só, em Windows-1252.
    EXPECT_EQ(doc.find('\n'), std::string::npos);
    EXPECT_NE(doc.find("Data de emiss\xE3o do relat\xF3rio: 10/12/2025"), std::string::npos);
}

TEST_F(RelatorioEstrada, SecoesDuasPorLinhaEVermelhasDepoisDoEspacamento) {
    resultado.Canal.Espacamento = 2;
    Secoes({"         1\t    0.00           0.00              0.00                 0.00",
            "         2\t    1.25          12.50              3.06                 0.41",
            "         3\t    2.00          20.04             10.00                 1.99"});
    const std::string doc = Documento();
    const auto cel = [](const char* largura, const std::string& cor, const char* valor) {
        return std::string("<td align=\"center\" width=\"") + largura + "\"><font " + cor +
               "size=\"2\">" + valor + "</font></td>";
    };
    const std::string preto, vermelho = "color=\"#FF0000\" ";
    // O registro igual ao espaçamento é preto; o seguinte, vermelho; o terceiro abre uma
    // linha que fica com cinco células e é fechada.
    const std::string esperado =
        "<tr>" + cel("90", preto, "1") + cel("157", preto, "0,0") + cel("106", preto, "0,0") +
        cel("157", preto, "0,0") + cel("144", preto, "0,0") + cel("90", preto, "2") +
        cel("157", preto, "1,3") + cel("106", preto, "12,5") + cel("157", preto, "3,1") +
        cel("144", preto, "0,4") + "</tr>" + "<tr>" + cel("90", vermelho, "3") +
        cel("157", vermelho, "2,0") + cel("106", vermelho, "20,0") + cel("157", vermelho, "10,0") +
        cel("144", vermelho, "2,0") + "</tr>" + "<tr> </tr></table></center></div></BODY></HTML>";
    ASSERT_GE(doc.size(), esperado.size());
    EXPECT_EQ(doc.substr(doc.size() - esperado.size()), esperado);
}

TEST_F(RelatorioEstrada, TabelaSoComCabecalho) {
    Secoes({});
    const std::string doc = Documento();
    const std::string fimCabecalhos =
        "<b><font size=\"2\">(g cm<sup>-2</sup>)</font></b></td></tr>";
    EXPECT_EQ(Contar(doc, fimCabecalhos), 1);
    EXPECT_EQ(Contar(doc, "<b><font size=\"2\">Seção</font></b>"), 2);
    const auto i = doc.rfind(fimCabecalhos);
    EXPECT_EQ(doc.substr(i + fimCabecalhos.size()),
              "<tr> </tr></table></center></div></BODY></HTML>");
}

TEST_F(RelatorioEstrada, VirgulaDecimalComQualquerSeparadorDoSistema) {
    for (const char separador : {'.', ','}) {
        DefinirSeparadorDecimalLocal(separador);
        p.Chuva().K(1012.5);
        p.Estrada.TrDim = 10.6;
        p.Estrada.TrEsp = 2;
        p.Estrada.TalCritica = 12.5;
        Secoes({"        12\t    0.50           1.00              2.00                 3.00"});
        const std::string doc = Documento();
        EXPECT_NE(doc.find("<b>K</b>: 1012,5</font>"), std::string::npos) << separador;
        EXPECT_NE(doc.find("<b>Tensão crítica de cisalhamento</b> (Pa): 12,50</font>"),
                  std::string::npos);
        // Períodos de retorno e seções sem casas decimais.
        EXPECT_NE(doc.find("<b>Dimensionamento</b>: 11</font>"), std::string::npos);
        EXPECT_NE(doc.find("<b>Espaçamento</b>: 2</font>"), std::string::npos);
        EXPECT_NE(doc.find("size=\"2\">12</font>"), std::string::npos);
    }
    DefinirSeparadorDecimalLocal('.');
}

TEST_F(RelatorioEstrada, FormasDoCanalDaBaciaEDaSecao) {
    Secoes({});
    struct TCaso {
        const char* nome;
        std::uint8_t canal, conducao, formato;
        int secao;
        std::vector<std::string> presentes, ausentes;
    };
    const std::string pasta = "src=\"/opt/morvendo/Morvendo/Figuras/";
    const std::vector<TCaso> casos = {
        {"triangulares, bacia circular, seção 1",
         CANAL_TRIANGULAR,
         CANAL_TRIANGULAR,
         TBaciaAcumulacao::SEMICIRCULAR,
         1,
         {"<b>Tipo</b>: triangular", "<b>m1</b>: 2,0", "<b>m2</b>: 4,0", pasta + "CanTri.bmp",
          "<b>Tipo do canal</b>: triangular", "<b>m1</b></span>: 2,0", "<b>m2</b></span>: 4,0",
          "<b>Formato</b>: Circular",
          "<b>Raio</b> (m): ", "<b>Semi-largura</b> (m): ", pasta + "Secao1.bmp"},
         {"CanTrap.bmp", "Retangular", "<b>Largura</b> (m): 0&nbsp;"}},
        {"trapezoidais, bacia retangular, seção 2",
         CANAL_TRAPEZOIDAL,
         CANAL_TRAPEZOIDAL,
         TBaciaAcumulacao::RETANGULAR,
         2,
         {"<b>Tipo</b>: trapezoidal", "<b>Z</b>: 1,5", "<b>B</b>: 0,3", pasta + "CanTrap.bmp",
          "<b>Z</b></span>: 1,5", "<b>Formato</b>: Retangular",
          "<b>m1</b>: 2,00      <b>m2</b>: 3,00",
          "<b>Comprimento</b> (m): ", "<b>Largura</b> (m): 0&nbsp;", pasta + "Secao2.bmp"},
         {"CanTri.bmp", "Circular", "Semi-largura", "<b>Raio</b>"}},
        {"canal triangular e condução trapezoidal, seção 3",
         CANAL_TRIANGULAR,
         CANAL_TRAPEZOIDAL,
         TBaciaAcumulacao::SEMICIRCULAR,
         3,
         {pasta + "CanTri.bmp", pasta + "CanTrap.bmp",
          "<b>Semi-largura</b> (m): ", pasta + "Secao3.bmp"},
         {}},
    };
    for (const auto& c : casos) {
        auto& e = p.Estrada;
        e.TipoCanal.Valor = c.canal;
        e.Bacia.CanalConducao.TipoCanal.Valor = c.conducao;
        e.Bacia.Formato = c.formato;
        e.IndSecao = c.secao;
        // Os valores que a página de dados grava para m1 = 2 e m2 = 4, ou Z = 1,5 e B = 0,3.
        const bool tri = c.canal == CANAL_TRIANGULAR, triConducao = c.conducao == CANAL_TRIANGULAR;
        e.Z.Valor = tri ? 2 : 1.5;
        e.Sm.Valor = tri ? 0.25 : 0;
        e.B(0.3);
        e.Bacia.CanalConducao.Z.Valor = triConducao ? 0.5 : 1.5;
        e.Bacia.CanalConducao.Sm.Valor = triConducao ? 0.25 : 0;
        e.Bacia.m1 = 2;
        e.Bacia.m2 = 3;
        const std::string doc = Documento();
        for (const auto& s : c.presentes)
            EXPECT_NE(doc.find(s), std::string::npos) << c.nome << ": falta " << s;
        for (const auto& s : c.ausentes)
            EXPECT_EQ(doc.find(s), std::string::npos) << c.nome << ": sobra " << s;
    }
}

TEST_F(RelatorioEstrada, UnidadesCorrigidasETextosDeArquivoEscapados) {
    Secoes({});
    unidades.SetErodibilidade(0);
    p.Tarsio1.StrEstado = "São Paulo";
    p.Tarsio1.StrCidade = "Campinas & região";
    p.Tarsio1.Latitude = "22°54'20\"";
    p.StrCoberVeg = "<img src=\"file:///etc/passwd\">";
    p.Estrada.Erodibilidade = 0.0025;
    p.Estrada.Sc = 0.06;
    const std::string doc = Documento();
    EXPECT_NE(doc.find("<b>Vazão máxima</b> (L s<sup>-1</sup>):"), std::string::npos);
    EXPECT_EQ(doc.find("L<sup>3</sup>"), std::string::npos);
    // Erodibilidade na unidade digitada e sem perder as casas dos valores usuais.
    EXPECT_NE(
        doc.find("<b>Erodibilidade</b> (" + unidades.UnidadeErodibilidade + "): 0,0025</font>"),
        std::string::npos);
    EXPECT_NE(doc.find("<b>Declividade longitudinal</b>  (m m<sup>-1</sup>):          0,0600<"),
              std::string::npos);
    EXPECT_NE(doc.find("<b>Estado</b>: São Paulo</font>"), std::string::npos);
    EXPECT_NE(doc.find("Campinas &amp; região"), std::string::npos);
    EXPECT_NE(doc.find("<b>Latitude</b>: 22°54'20\"</font>"), std::string::npos);
    EXPECT_NE(doc.find("&lt;img src=\"file:///etc/passwd\"&gt;"), std::string::npos);
    EXPECT_EQ(Contar(doc, "<img "), 3); // só as figuras do próprio relatório
}

// Equação de uma estação publicada: estação, fonte, verificação e faixa de durações, com o
// aviso quando a chuva de projeto sai da faixa; outra equação não ganha essas linhas.
TEST_F(RelatorioEstrada, EstacaoDaEquacaoEFaixaDeDuracoes) {
    Secoes({});
    p.Chuva().K(1114.32);
    p.Chuva().A(0.1663);
    p.Chuva().B(13.8);
    p.Chuva().C(0.7573);
    p.Estrada.TrEsp = 10;
    // Infiltração de 40 mm/h: a chuva passa dela por um tempo dentro de 10 a 105 min.
    p.Estrada.Estrada.Secao(0).VIB(40);
    p.Estrada.Talude.Secao(0).VIB(40);
    std::string doc = Documento();
    EXPECT_NE(doc.find("<b>Estação</b>: Araraquara (posto Chibarro, DAEE C5-017R), trecho 10-105 "
                       "min (SP)</font>"),
              std::string::npos);
    EXPECT_NE(doc.find("<b>Fonte</b>: Martinez Júnior, Francisco; Magni, Nelson Luiz Goi. "
                       "Equações de Chuvas Intensas do Estado de São Paulo."),
              std::string::npos);
    EXPECT_NE(doc.find("<b>Verificação</b>: parâmetros ajustados"), std::string::npos);
    EXPECT_NE(doc.find("<b>Faixa de durações da equação</b>: de 10 a 105 min</font>"),
              std::string::npos);
    EXPECT_EQ(doc.find("Atenção"), std::string::npos);

    // Leito quase impermeável: a chuva passa da infiltração por horas.
    p.Estrada.Estrada.Secao(0).VIB(1);
    doc = Documento();
    EXPECT_NE(doc.find("Atenção: a chuva de projeto dura "), std::string::npos);
    EXPECT_NE(doc.find(" min, mais que a faixa de durações"), std::string::npos);

    p.Chuva().K(1114.33);
    doc = Documento();
    EXPECT_EQ(doc.find("<b>Estação</b>"), std::string::npos);
    EXPECT_EQ(doc.find("Atenção"), std::string::npos);
}

TEST_F(RelatorioEstrada, FalhaSemDocumento) {
    std::string doc = "resto";
    // Encosta sem trechos (arquivo com Count 0).
    Secoes({});
    p.Estrada.Talude.Secoes.clear();
    EXPECT_FALSE(GerarRelatorio(p, resultado, opcoes, doc));
    EXPECT_TRUE(doc.empty());
    EXPECT_THROW(MontarRelatorioEstrada(p, resultado, opcoes), EMorvendo);
}

} // namespace
