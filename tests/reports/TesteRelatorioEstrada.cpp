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
#include "engine/Persistencia.h"
#include "idf/EstacoesUsuario.h"
#include "idf/SerieDiaria.h"
#include "idf/VerificacaoIdf.h"
#include "project/Calculo.h"
#include "project/CamposProjeto.h"
#include "reports/RelatorioEstrada.h"

#include "../idf/SerieDiariaTeste.h"

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

    // A equação da estação do usuário no projeto, com a origem que a consulta grava.
    void UsarEstacaoUsuario(const TEstacaoUsuario& x) {
        p.Chuva().K(x.K);
        p.Chuva().A(x.A);
        p.Chuva().B(x.B);
        p.Chuva().C(x.C);
        p.OrigemChuva = {
            TTipoOrigemChuva::EstacaoUsuario, "", "", AutorEstacaoUsuario, x.K, x.A, x.B, x.C};
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
    // O caso é da curva de descarga antiga; o relatório a nomeia.
    p.Estrada.CurvaDescargaOriginal = true;
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
    // Uma linha só, em Windows-1252 (o que não cabe nele vai como referência numérica).
    EXPECT_EQ(doc.find('\n'), std::string::npos);
    EXPECT_TRUE(win1252::Representavel(win1252::ParaUtf8(doc)));
    EXPECT_NE(doc.find("charset=windows-1252"), std::string::npos);
    EXPECT_NE(doc.find("Data de emiss\xE3o do relat\xF3rio: 10/12/2025"), std::string::npos);
}

// Duas seções por linha; além do espaçamento em vermelho; dentro dele, acima da tolerável, na
// cor própria e com o aviso; a última linha, incompleta, fecha com células vazias.
TEST_F(RelatorioEstrada, SecoesDuasPorLinhaComCoresDoEspacamentoEDaTolerável) {
    resultado.Canal.Espacamento = 3;
    resultado.Canal.PerdaToleravel = 1;
    Secoes({"         1\t    0.00           0.00              0.00                 0.00",
            "         2\t    1.25          12.50              3.06                 1.50",
            "         3\t    2.00          20.04             10.00                 0.50",
            "         4\t    2.10          21.00             10.50                 1.99"});
    const std::string doc = Documento();
    const auto cel = [](const std::string& cor, const char* valor) {
        return std::string("<td align=\"center\"") +
               (cor.empty() ? "" : " style=\"color:" + cor + "\"") + ">" + valor + "</td>";
    };
    const std::string preto, laranja = "#c05800", vermelho = "#ff0000";
    const std::string esperado =
        "<tbody><tr>" + cel(preto, "1") + cel(preto, "0,00") + cel(preto, "0,00") +
        cel(preto, "0,00") + cel(preto, "0,00") + cel(laranja, "2") + cel(laranja, "1,25") +
        cel(laranja, "12,50") + cel(laranja, "3,06") + cel(laranja, "1,50") + "</tr><tr>" +
        cel(preto, "3") + cel(preto, "2,00") + cel(preto, "20,04") + cel(preto, "10,00") +
        cel(preto, "0,50") + cel(vermelho, "4") + cel(vermelho, "2,10") + cel(vermelho, "21,00") +
        cel(vermelho, "10,50") + cel(vermelho, "1,99") + "</tr></tbody></table>";
    EXPECT_NE(doc.find(esperado), std::string::npos) << doc.substr(doc.find("<tbody>"));
    EXPECT_NE(doc.find("Em laranja</span>, seções dentro do espaçamento cuja perda excede a "
                       "perda tolerável."),
              std::string::npos);
    EXPECT_NE(doc.find("excede a perda tolerável"), doc.find("Em laranja"));
    EXPECT_EQ(Contar(doc, "excede a perda tolerável"), 2); // o aviso e a legenda

    Secoes({"         1\t    0.00           0.00              0.00                 0.00"});
    const std::string umaSo = Documento();
    EXPECT_NE(umaSo.find("</td><td></td><td></td><td></td><td></td><td></td></tr></tbody>"),
              std::string::npos);
    EXPECT_EQ(umaSo.find("Em laranja"), std::string::npos);
}

// O cabeçalho da tabela fica em <thead>, que a impressão repete em cada página.
TEST_F(RelatorioEstrada, TabelaSoComCabecalho) {
    Secoes({});
    const std::string doc = Documento();
    EXPECT_EQ(Contar(doc, "<thead>"), 1);
    EXPECT_EQ(Contar(doc, "<th "), 10);
    EXPECT_EQ(Contar(doc, "Perda de solo<br>(g·cm&#8315;²)</th>"), 2);
    EXPECT_NE(doc.find("thead { display: table-header-group; }"), std::string::npos);
    EXPECT_NE(doc.find("</thead><tbody></tbody></table></body></html>"), std::string::npos);
}

TEST_F(RelatorioEstrada, VirgulaDecimalComQualquerSeparadorDoSistema) {
    for (const char separador : {'.', ','}) {
        DefinirSeparadorDecimalLocal(separador);
        p.Chuva().K(1012.5);
        p.Estrada.TrDim = 10.6;
        p.Estrada.TrEsp = 2;
        p.Estrada.TalCritica = 12.5;
        resultado.Canal.Espacamento = 20;
        resultado.Canal.PerdaToleravel = 5;
        Secoes({"        12\t    0.50           1.00              2.00                 3.00"});
        const std::string doc = Documento();
        EXPECT_NE(doc.find("<td width=\"34%\">K</td><td width=\"16%\"><b>1012,5</b>"),
                  std::string::npos)
            << separador;
        EXPECT_NE(doc.find("Tensão crítica (Pa)</td><td width=\"16%\"><b>12,5</b>"),
                  std::string::npos);
        // Os períodos de retorno como digitados, sem arredondar.
        EXPECT_NE(doc.find("dimensionamento (anos)</td><td width=\"16%\"><b>10,6</b>"),
                  std::string::npos);
        EXPECT_NE(doc.find("espaçamento (anos)</td><td width=\"16%\"><b>2</b>"), std::string::npos);
        EXPECT_NE(doc.find("<td align=\"center\">12</td><td align=\"center\">0,50</td>"),
                  std::string::npos);
    }
    DefinirSeparadorDecimalLocal('.');
}

// Cada dado com os algarismos com que foi digitado, na unidade configurada: 8,98 não vira
// 9,0, nem 6,75 vira 6,8.
TEST_F(RelatorioEstrada, DadosComAPrecisaoDigitada) {
    Secoes({});
    unidades.SetDeclividade(0); // %
    unidades.SetVI(3);          // cm/dia
    auto& e = p.Estrada;
    e.IndSecao = 1;
    e.Densidade = 1.35;
    e.Aprofundamento = 6.75;
    e.TalCritica = 8.98;
    e.Sc = 0.0898;
    e.Leito.Plano(0).St(0.035);
    e.Leito.Plano(0).VIB(12.5);
    e.Leito.Plano(0).Comprimento(4);
    e.AreaExterna.Plano(0).Comprimento(23);
    e.AreaExterna.Plano(0).nt.Valor = 0.0415;
    e.Comprimento(137);
    const std::string doc = Documento();
    const std::pair<const char*, const char*> casos[] = {
        {"Massa específica aparente (g·cm&#8315;³)", "1,35"},
        {"Aprofundamento máximo (cm)", "6,75"},
        {"Tensão crítica (Pa)", "8,98"},
        {"Declividade (%)", "8,98"},
        {"Declividade transversal (%)", "3,5"},
        {"Taxa de infiltração estável (cm/dia)", "30"},
        {"Semilargura (m)", "4"},
        {"Comprimento (m)", "23"},
        {"Rugosidade (s·m<sup>-1/3</sup>)", "0,0415"},
        {"Comprimento (m)", "137"},
    };
    for (const auto& [rotulo, valor] : casos)
        EXPECT_NE(doc.find(std::string(rotulo) + "</td><td width=\"16%\"><b>" + valor + "</b>"),
                  std::string::npos)
            << rotulo << " = " << valor;
    EXPECT_EQ(doc.find("Largura"), std::string::npos);
}

// Um só nome por grandeza, o mesmo da janela; a bacia semicircular com o nome certo; o período
// de retorno equivalente quando escolhido; sem talude de corte na seção 3.
TEST_F(RelatorioEstrada, VocabularioDaJanela) {
    Secoes({});
    auto& e = p.Estrada;
    e.Bacia.Formato = TBaciaAcumulacao::SEMICIRCULAR;
    e.TrEsp = 5;
    e.Equivalente = true;
    e.IndSecao = 1;
    resultado.Bacia = TResultadoBacia{};
    std::string doc = Documento();
    for (const char* termo :
         {"Espaçamento máximo (m)", "Massa específica aparente", "Perda tolerável (g·cm&#8315;²)",
          "Perda de solo estimada (g·cm&#8315;²)", "Área externa (talude de corte)",
          "Tensão cisalhante máxima (Pa)", "Volume escoado (m³)",
          "Volume que chega ao desaguadouro na chuva do espaçamento (m³)", "<b>Semicircular</b>",
          "Período de retorno equivalente usado no espaçamento (anos)</td><td "
          "width=\"16%\"><b>5,56</b>"})
        EXPECT_NE(doc.find(termo), std::string::npos) << termo;
    for (const char* rejeitado : {"Comprimento recomendado", "Densidade aparente", "permissível",
                                  "provocada", "Semi-largura", "Circular<", "Seção de corte"})
        EXPECT_EQ(doc.find(rejeitado), std::string::npos) << rejeitado;
    EXPECT_EQ(Contar(doc, "olume escoado"), 2); // o dado e a nota que o explica

    e.IndSecao = 3;
    e.Equivalente = false;
    doc = Documento();
    EXPECT_EQ(doc.find("Área externa"), std::string::npos);
    EXPECT_EQ(doc.find("Cobertura vegetal"), std::string::npos);
    EXPECT_EQ(doc.find("equivalente usado"), std::string::npos);
    EXPECT_NE(doc.find("Usar período de retorno equivalente</td><td width=\"16%\"><b>não</b>"),
              std::string::npos);
}

TEST_F(RelatorioEstrada, FormasDoCanalDaBaciaEDaSecao) {
    Secoes({});
    struct TCaso {
        const char* nome;
        std::uint8_t canal, conducao, formato;
        int secao;
        std::vector<std::string> presentes, ausentes;
    };
    const auto dado = [](const char* rotulo, const char* valor) {
        return std::string(">") + rotulo + "</td><td width=\"16%\"><b>" + valor + "</b>";
    };
    const std::string pasta = "src=\"/opt/morvendo/Morvendo/Figuras/";
    const std::vector<TCaso> casos = {
        {"triangulares, bacia semicircular, seção 1",
         CANAL_TRIANGULAR,
         CANAL_TRIANGULAR,
         TBaciaAcumulacao::SEMICIRCULAR,
         1,
         {dado("Tipo", "triangular"), dado("m1", "2"), dado("m2", "4"), pasta + "CanTri.bmp",
          dado("Formato", "Semicircular"), dado("Semilargura (m)", "0"), pasta + "Secao1.bmp"},
         {"CanTrap.bmp", "Retangular", ">Largura (m)"}},
        {"trapezoidais, bacia retangular, seção 2",
         CANAL_TRAPEZOIDAL,
         CANAL_TRAPEZOIDAL,
         TBaciaAcumulacao::RETANGULAR,
         2,
         {dado("Tipo", "trapezoidal"), dado("Z", "1,5"), dado("B (m)", "0,3"),
          pasta + "CanTrap.bmp", dado("Formato", "Retangular"), dado("m1", "2"), dado("m2", "3"),
          dado("Largura (m)", "0"), pasta + "Secao2.bmp"},
         {"CanTri.bmp", "Semicircular", "Semilargura"}},
        {"canal triangular e condução trapezoidal, seção 3",
         CANAL_TRIANGULAR,
         CANAL_TRAPEZOIDAL,
         TBaciaAcumulacao::SEMICIRCULAR,
         3,
         {pasta + "CanTri.bmp", pasta + "CanTrap.bmp", dado("Semilargura (m)", "0"),
          pasta + "Secao3.bmp"},
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

// Os dados de entrada saem da tabela de campos: cada campo que entra no cálculo aparece com a
// legenda e o valor mostrado na página de dados; o que não entra (outra forma de canal ou de
// bacia, área externa na seção 3) não aparece.
TEST_F(RelatorioEstrada, CadaCampoDaTabelaQueEntraNoCalculoApareceNosDados) {
    Secoes({});
    struct TForma {
        std::uint8_t canal, formato;
        int secao;
    };
    for (const TForma f : {TForma{CANAL_TRIANGULAR, TBaciaAcumulacao::RETANGULAR, 1},
                           TForma{CANAL_TRAPEZOIDAL, TBaciaAcumulacao::SEMICIRCULAR, 3}}) {
        auto& e = p.Estrada;
        e.TipoCanal.Valor = f.canal;
        e.Bacia.CanalConducao.TipoCanal.Valor = f.canal;
        e.Bacia.Formato = f.formato;
        e.IndSecao = f.secao;
        for (const TCampoProjeto& c : TodosCamposProjeto()) {
            SCOPED_TRACE(std::string(c.Rotulo) + " (" + c.Grupo + "), seção " +
                         std::to_string(f.secao));
            // Um valor que nenhum outro campo tem, ímpar para não perder casas.
            const int n = 101 + 2 * int(c.Id);
            DefinirMostrado(c, p, c.Inteiro ? n : n / 1000.0, unidades);
            const std::string valor =
                "<b>" + (c.Inteiro ? std::to_string(n) : "0," + std::to_string(n)) + "</b>";
            const std::string doc = Documento();
            // A legenda da célula em que o valor aparece (m1 do canal da estrada é o mesmo
            // valor que Z: aparece uma vez só, com a legenda da forma escolhida).
            const auto i = doc.find(valor);
            const std::string celula = "<td width=\"34%\">";
            const std::string rotulo =
                i == std::string::npos ? "" : doc.substr(doc.rfind(celula, i) + celula.size());
            const char* esperado = c.RotuloRelatorio ? c.RotuloRelatorio : RotuloNaTela(c, p);
            if (CampoAplicavel(c.Id, p))
                EXPECT_EQ(rotulo.find(esperado), 0u);
            else
                EXPECT_NE(rotulo.find(esperado), 0u);
        }
    }
}

TEST_F(RelatorioEstrada, UnidadesCorrigidasETextosDeArquivoEscapados) {
    Secoes({});
    unidades.SetErodibilidade(0);
    p.ChuvaDeProjeto.StrEstado = "São Paulo";
    p.ChuvaDeProjeto.StrCidade = "Campinas & região";
    p.ChuvaDeProjeto.Latitude = "22°54'20\"";
    p.ChuvaDeProjeto.Longitude = "47°03'39\"";
    p.StrCoberVeg = "<img src=\"file:///etc/passwd\">";
    // A frase da origem vem do arquivo: sai escapada como os demais textos.
    p.Chuva().K(1200);
    p.OrigemChuva.Tipo = TTipoOrigemChuva::Interpolacao;
    p.OrigemChuva.Descricao = "Interpolada para Campinas & região <i>.";
    p.OrigemChuva.K = 1200;
    p.Estrada.IndSecao = 1;
    p.Estrada.Erodibilidade = 0.0025;
    p.Estrada.Sc = 0.06;
    p.Identificacao.Estrada = "<script>alert(1)</script>";
    const std::string doc = Documento();
    EXPECT_NE(doc.find("Vazão máxima (L·s&#8315;¹)"), std::string::npos);
    // Erodibilidade na unidade digitada e sem perder as casas dos valores usuais.
    // O sobrescrito "⁻" não existe em Windows-1252: sai como entidade.
    std::string unidade = unidades.UnidadeErodibilidade;
    for (std::size_t i; (i = unidade.find("⁻")) != std::string::npos;)
        unidade.replace(i, std::string("⁻").size(), "&#8315;");
    EXPECT_NE(doc.find("Erodibilidade (" + unidade + ")</td><td width=\"16%\"><b>0,0025</b>"),
              std::string::npos);
    EXPECT_NE(doc.find("Declividade (m/m)</td><td width=\"16%\"><b>0,06</b>"), std::string::npos);
    EXPECT_NE(doc.find("Localidade: <b>Campinas &amp; região (São Paulo)</b>"), std::string::npos);
    EXPECT_NE(doc.find("Origem dos parâmetros: <b>Interpolada para Campinas &amp; região "
                       "&lt;i&gt;.</b>"),
              std::string::npos);
    EXPECT_NE(doc.find("Coordenadas: <b>latitude 22°54'20\", longitude 47°03'39\"</b>"),
              std::string::npos);
    EXPECT_NE(doc.find("&lt;img src=\"file:///etc/passwd\"&gt;"), std::string::npos);
    EXPECT_NE(doc.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_EQ(Contar(doc, "<img "), 4); // só as figuras do próprio relatório
    EXPECT_EQ(doc.find("<script"), std::string::npos);
}

// Identificação no início, só com os campos preenchidos; observações em várias linhas.
TEST_F(RelatorioEstrada, IdentificacaoDoProjeto) {
    Secoes({});
    EXPECT_EQ(Documento().find("Identificação do projeto"), std::string::npos);
    p.Identificacao.Estrada = "Estrada vicinal MG-20";
    p.Identificacao.Municipio = "Viçosa";
    p.Identificacao.Observacoes = "Primeira linha\r\nsegunda & última";
    const std::string doc = Documento();
    const auto id = doc.find("<h2>Identificação do projeto</h2>");
    ASSERT_NE(id, std::string::npos);
    EXPECT_LT(id, doc.find("Dados de entrada"));
    EXPECT_NE(doc.find("Estrada: <b>Estrada vicinal MG-20</b>"), std::string::npos);
    EXPECT_NE(doc.find("Município: <b>Viçosa</b>"), std::string::npos);
    EXPECT_NE(doc.find("Observações: <b>Primeira linha<br>segunda &amp; última</b>"),
              std::string::npos);
    EXPECT_EQ(doc.find("Engenheiro:"), std::string::npos);
    EXPECT_EQ(doc.find("Trecho:"), std::string::npos);
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
    p.Estrada.Leito.Plano(0).VIB(40);
    p.Estrada.AreaExterna.Plano(0).VIB(40);
    // Parâmetros iguais aos da estação, mas digitados: sem as linhas da estação.
    std::string doc = Documento();
    EXPECT_NE(doc.find("Origem dos parâmetros: <b>Parâmetros digitados.</b>"), std::string::npos);
    EXPECT_EQ(doc.find("Estação:"), std::string::npos);

    // Trazidos da estação pela consulta.
    p.ChuvaDeProjeto.DefinirAutoria(ProcurarInfoEstacao("", 1114.32, 0.1663, 13.8, 0.7573)->Chave);
    p.ChuvaDeProjeto.StrCidade = "Araraquara";
    p.OrigemChuva = OrigemDaConsulta(p.ChuvaDeProjeto);
    doc = Documento();
    EXPECT_NE(doc.find("Origem dos parâmetros: <b>Estação Araraquara (posto Chibarro, DAEE "
                       "C5-017R), trecho 10-105 min (SP); fonte: Martinez Júnior"),
              std::string::npos);
    EXPECT_NE(doc.find("Estação: <b>Araraquara (posto Chibarro, DAEE C5-017R), trecho 10-105 "
                       "min (SP)</b>"),
              std::string::npos);
    EXPECT_NE(doc.find("Fonte: <b>Martinez Júnior, Francisco; Magni, Nelson Luiz Goi. "
                       "Equações de Chuvas Intensas do Estado de São Paulo."),
              std::string::npos);
    EXPECT_NE(doc.find("Verificação: <b>parâmetros ajustados"), std::string::npos);
    EXPECT_NE(doc.find("Faixa de durações da equação: <b>de 10 a 105 min</b>"), std::string::npos);
    EXPECT_EQ(doc.find("Atenção"), std::string::npos);

    // Leito quase impermeável: a chuva passa da infiltração por horas.
    p.Estrada.Leito.Plano(0).VIB(1);
    doc = Documento();
    EXPECT_NE(doc.find("Atenção: a chuva de projeto dura "), std::string::npos);
    EXPECT_NE(doc.find(" min, mais que a faixa de durações"), std::string::npos);

    p.Chuva().K(1114.33);
    doc = Documento();
    EXPECT_EQ(doc.find("Estação:"), std::string::npos);
    EXPECT_EQ(doc.find("Atenção"), std::string::npos);
    EXPECT_NE(doc.find("Origem dos parâmetros: <b>Parâmetros digitados (alterados depois da "
                       "consulta de Araraquara (posto Chibarro, DAEE C5-017R), trecho 10-105 min "
                       "(SP)).</b>"),
              std::string::npos);
}

// Equação de uma estação do usuário ajustada a uma tabela: o relatório mostra as faixas da
// tabela e os erros do ajuste; sem os erros no arquivo, a linha deles não aparece.
TEST_F(RelatorioEstrada, EstacaoDoUsuarioComOAjuste) {
    Secoes({});
    // Estado, nome, coordenadas, K, a, b, c, durações, fonte, períodos de retorno, erros.
    const TEstacaoUsuario e{24,
                            "Piracicaba (tabela do estudo)",
                            22.7,
                            47.6,
                            1662.91,
                            0.18,
                            1,
                            0.76717,
                            5,
                            1440,
                            "Estudo de chuvas",
                            2,
                            100,
                            2.1,
                            6.24,
                            {}};
    TEstacaoUsuario semErros = e;
    semErros.Nome = "Sem erros";
    semErros.K = 1700;
    semErros.ErroRmsPct = semErros.ErroMaximoPct = std::nullopt;
    DefinirPastaDadosUsuario(pasta.string());
    TEstacoesUsuario minhas(pasta.string());
    minhas.Adicionar(e);
    minhas.Adicionar(semErros);

    auto usar = [&](const TEstacaoUsuario& x) {
        UsarEstacaoUsuario(x);
        return Documento();
    };
    std::string doc = usar(e);
    EXPECT_NE(doc.find("Estação: <b>Piracicaba (tabela do estudo) (SP) (minha)</b>"),
              std::string::npos);
    EXPECT_NE(doc.find("Faixa de durações da equação: <b>de 5 a 1440 min</b>"), std::string::npos);
    EXPECT_NE(doc.find("Faixa de períodos de retorno da equação: <b>de 2 a 100 anos</b>"),
              std::string::npos);
    EXPECT_NE(doc.find("Erro relativo do ajuste à tabela: <b>RMS 2,1 %, maior 6,24 %</b>"),
              std::string::npos);
    doc = usar(semErros);
    EXPECT_NE(doc.find("Estação: <b>Sem erros (SP) (minha)</b>"), std::string::npos);
    EXPECT_EQ(doc.find("Erro relativo do ajuste"), std::string::npos);
    DefinirPastaDadosUsuario("");
}

// A estação feita da série de chuvas diárias calcula o exemplo da estrada, e o relatório diz
// de onde veio a equação: o posto, os anos, o método, as relações e os erros.
TEST_F(RelatorioEstrada, EstacaoDaSerieDiariaDizAOrigem) {
    const TIdfDaSerie r = IdfDaSerieDiaria(LerSerieDiaria(serie_teste::ArquivoRegistro));
    TEstacaoUsuario e;
    e.Estado = 24;
    e.Nome = "Posto da série";
    e.Latitude = 22.7;
    e.Longitude = 47.6;
    DefinirAjuste(e, r.Ajuste);
    e.Fonte = DescricaoOrigem(r);
    e.AnosSerie = static_cast<int>(r.AnosUsados.size());
    // A frase inteira, como a estação a guardou (sem nada que o HTML precise escapar).
    ASSERT_EQ(e.Fonte.find_first_of("<>&\""), std::string::npos);
    DefinirPastaDadosUsuario(pasta.string());
    TEstacoesUsuario(pasta.string()).Adicionar(e);

    ASSERT_TRUE(LerProjeto(p, DADOS + "/../../exemplos/Estrada.mvd"));
    UsarEstacaoUsuario(e);
    resultado = ExecutarCalculo(p, p.Estrada.Comprimento(), nullptr);
    std::string doc = Documento();
    ASSERT_EQ(resultado.Situacao, TResultadoCalculo::Concluido);
    EXPECT_NE(doc.find("Estação: <b>Posto da série (SP) (minha)</b>"), std::string::npos);
    EXPECT_NE(doc.find("Fonte: <b>" + e.Fonte + "</b>"), std::string::npos)
        << doc.substr(doc.find("Precipitação"), 1500);
    EXPECT_NE(doc.find("relações entre durações 1440/dia=1.14;"), std::string::npos);
    // Os 10 anos da bacia cabem nos 27 da série; 100 anos passam do dobro deles.
    const std::string alem = "passa do dobro dos 27 anos da série de chuvas diárias";
    EXPECT_EQ(doc.find(alem), std::string::npos);
    p.Estrada.TrDim = 100;
    doc = Documento();
    DefinirPastaDadosUsuario("");
    EXPECT_NE(doc.find("O período de retorno de 100 anos (dimensionamento da bacia) " + alem),
              std::string::npos);
}

// Três gráficos embutidos, com os títulos e as linhas de referência; os hidrogramas sem a
// área externa na seção 3 e com a saída do canal quando a bacia foi dimensionada.
TEST_F(RelatorioEstrada, GraficosEmbutidos) {
    Secoes({"         1\t    0.50           1.00              2.00                 0.30",
            "         2\t    1.00           2.00              4.00                 0.90"});
    resultado.Canal.Espacamento = 1;
    resultado.Canal.PerdaToleravel = 0.5;
    resultado.HidrogramaEstrada.Adicionar(0, 0);
    resultado.HidrogramaEstrada.Adicionar(1, 0.2);
    resultado.HidrogramaTalude.Adicionar(0, 0);
    resultado.HidrogramaTalude.Adicionar(1, 0.7);
    p.Estrada.IndSecao = 1;
    std::string doc = Documento();
    EXPECT_EQ(Contar(doc, "<svg "), 3);
    EXPECT_EQ(Contar(doc, "</svg>"), 3);
    for (const char* t :
         {"Perda de solo ao longo do canal", "Perda toler&#225;vel", "Tens&#227;o cr&#237;tica",
          "Espa&#231;amento m&#225;ximo (1 m)", "Hidrogramas", "Leito da estrada",
          "&#193;rea externa (talude de corte)", "L&#183;s&#8315;&#185;"})
        EXPECT_NE(doc.find(t), std::string::npos) << t;
    EXPECT_EQ(doc.find("Sa&#237;da do canal"), std::string::npos);
    const auto graficos = GraficosRelatorioEstrada(p, resultado);
    ASSERT_EQ(graficos.size(), 3u);
    for (const auto& g : graficos)
        EXPECT_NE(doc.find(g), std::string::npos);

    // A recessão longa, quase nula, não entra no gráfico dos hidrogramas.
    EXPECT_NE(graficos[2].find(">1,0</text>"), std::string::npos); // fim do eixo do tempo
    resultado.HidrogramaEstrada.Adicionar(2, 0.001);
    resultado.HidrogramaEstrada.Adicionar(600, 0.0001);
    const std::string recessao = GraficosRelatorioEstrada(p, resultado)[2];
    EXPECT_EQ(recessao.find(">600</text>"), std::string::npos);
    EXPECT_NE(recessao.find(">1,0</text>"), std::string::npos);

    p.Estrada.IndSecao = 3;
    resultado.Bacia = TResultadoBacia{};
    resultado.Bacia->HidrogramaProjeto.Adicionar(0, 0);
    resultado.Bacia->HidrogramaProjeto.Adicionar(2, 30);
    doc = Documento();
    EXPECT_EQ(doc.find("&#193;rea externa (talude de corte)"), std::string::npos);
    EXPECT_NE(doc.find("Sa&#237;da do canal"), std::string::npos);
}

TEST_F(RelatorioEstrada, FalhaSemDocumento) {
    std::string doc = "resto";
    // Encosta sem trechos (arquivo com Count 0).
    Secoes({});
    p.Estrada.AreaExterna.Planos.clear();
    EXPECT_FALSE(GerarRelatorio(p, resultado, opcoes, doc));
    EXPECT_TRUE(doc.empty());
    EXPECT_THROW(MontarRelatorioEstrada(p, resultado, opcoes), EMorvendo);
}

// Parâmetros que a interpolação no ponto do projeto dá, de uma origem gravada sem a lista
// (projeto de antes): o relatório lista as estações dela, com a distância e o peso; com
// outros parâmetros, nenhuma lista.
TEST_F(RelatorioEstrada, EstacoesDaInterpolacaoComDistanciaEPeso) {
    Secoes({});
    fs::create_directories(pasta / "Morvendo");
    fs::create_directories(pasta / "Arquivos Comuns");
    // No mesmo meridiano, a 10' e a 20' do ponto: pesos 32 e 1.
    TEstacoesPorEstado e;
    e[24] = {TEstacao{"Perto", 1000, 0.2, 10, 0.8, "F", "22°00'00\"", "47°00'00\""},
             TEstacao{"Longe", 2000, 0.3, 20, 0.9, "F", "22°30'00\"", "47°00'00\""}};
    GravarBytes(pasta / "Arquivos Comuns" / NomeArquivoEstacoes, ArquivoEstacoes(e));
    opcoes.PastaPrograma = (pasta / "Morvendo").string() + "/";
    p.ChuvaDeProjeto.Latitude = "22°10'00\"";
    p.ChuvaDeProjeto.Longitude = "47°00'00\"";
    // Com as três casas com que a janela entrega a interpolação.
    p.Chuva().K(1030.303);
    p.Chuva().A(0.203);
    p.Chuva().B(10.303);
    p.Chuva().C(0.803);
    p.OrigemChuva.Tipo = TTipoOrigemChuva::Interpolacao;
    p.OrigemChuva.K = 1030.303;
    p.OrigemChuva.A = 0.203;
    p.OrigemChuva.B = 10.303;
    p.OrigemChuva.C = 0.803;
    std::string doc = Documento();
    EXPECT_NE(doc.find("Estações da interpolação: <b>Interpolação pelo inverso da quinta "
                       "potência da distância, com as 2 estações a menos de 100 km do ponto:<br>"
                       "Perto (SP), a 18,5 km, peso 97,0 %;<br>Longe (SP), a 37,1 km, peso 3,0 "
                       "%.</b>"),
              std::string::npos);
    p.Chuva().K(1100);
    doc = Documento();
    EXPECT_EQ(doc.find("Estações da interpolação"), std::string::npos);
}

} // namespace
