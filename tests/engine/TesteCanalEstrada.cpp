#include <gtest/gtest.h>

#include <cfenv>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "comum/EMorvendo.h"
#include "engine/uCanalEstrada.h"
#include "engine/uPrecipitacao.h"
#include "reports/RelatorioTexto.h"

namespace fs = std::filesystem;

namespace {

TPrecipitacaoExponencialNegativa Chuva() {
    TPrecipitacaoExponencialNegativa c;
    c.K(1200);
    c.Tr(10);
    c.A(0.15);
    c.B(12);
    c.C(0.8);
    return c;
}

// Canal triangular de terra com leito de estrada de 4 m.
struct TCaso {
    TCanalEstrada e{"_ESTRADA"};
    TPrecipitacaoExponencialNegativa chuva = Chuva();
    std::unique_ptr<THidrograma> leito;
    THidrograma vazio;
    fs::path pasta;

    explicit TCaso(int comprimento, const std::string& nome) {
        pasta = fs::temp_directory_path() /
                ("morvendo-canal-" + nome + "-" + std::to_string(::getpid()));
        fs::remove_all(pasta);
        fs::create_directories(pasta);
        e.ArquivoRelatorio = (pasta / "Relatorio.txt").string();
        e.TipoCanal.Valor = CANAL_TRIANGULAR;
        e.Z.Valor = 1.5;
        e.Sm.Valor = 0.5;
        e.Sc = 0.03;
        e.nc.Valor = 0.025;
        e.Comprimento(comprimento);
        e.Aprofundamento = 2;
        e.Densidade = 1.3;
        e.TalCritica = 3;
        e.Erodibilidade = 0.004;
        TEncostaCinematica& p = e.Estrada.Secao(0);
        p.VIB(8);
        p.St(0.03);
        p.nt.Valor = 0.02;
        p.Comprimento(4);
        leito = CalcularHidrograma(p, NumeroDeCelulas(p), chuva, nullptr, nullptr);
    }
    ~TCaso() { fs::remove_all(pasta); }
    std::string Tabela() const {
        std::ifstream f(e.ArquivoRelatorio, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }
};

struct TAcomp : IAcompanhamento {
    TCanalEstrada* e = nullptr;
    std::string cancelarNaSecao;
    long cancelarNoEvento = -1;
    long eventos = 0;
    int ultimoProgresso = -1, ocupado = 0;
    std::vector<std::string> mensagens;
    void ProcessarEventos() override {
        if (++eventos == cancelarNoEvento) e->Cancelado = true;
        // A interface pode deixar sinalizadores de ponto flutuante ligados.
        std::feraiseexcept(FE_INVALID);
    }
    void MostrarSecao(const std::string& s) override {
        if (s == cancelarNaSecao) e->Cancelado = true;
    }
    void MostrarProgresso(int p) override { ultimoProgresso = p; }
    void Ocupado(bool l) override { ocupado += l ? 1 : -1; }
    void MostrarMensagem(const std::string& m) override { mensagens.push_back(m); }
};

TEST(Propagacao, ResultadosIguaisComESemAcompanhamento) {
    TCaso a(120, "a"), b(120, "b");
    TAcomp acomp;
    acomp.e = &b.e;
    ASSERT_TRUE(a.e.CalcularEspacamento(a.chuva, *a.leito, a.vazio, 8, nullptr, 1.0));
    ASSERT_TRUE(b.e.CalcularEspacamento(b.chuva, *b.leito, b.vazio, 8, &acomp, 1.0));
    EXPECT_EQ(acomp.ultimoProgresso, 100);
    EXPECT_EQ(acomp.ocupado, 0);
    EXPECT_EQ(a.e.Espacamento, b.e.Espacamento);
    EXPECT_EQ(a.e.PerdaSolo, b.e.PerdaSolo);
    EXPECT_EQ(a.e.QMax, b.e.QMax);
    EXPECT_EQ(a.Tabela(), b.Tabela());
    EXPECT_GT(a.e.Espacamento, 1);
    EXPECT_LT(a.e.Espacamento, 120);

    // A tabela tem uma linha por seção e o leitor devolve os mesmos números.
    const auto linhas = LerRelatorioTexto(a.e.ArquivoRelatorio);
    ASSERT_EQ(linhas.size(), 120u);
    EXPECT_EQ(linhas[0].Secao, 1);
    EXPECT_EQ(linhas[0].Vazao, 0);
    EXPECT_NEAR(linhas[59].Vazao, a.e.Secoes[59].Vazao, 0.005);
    // Além do espaçamento a perda passa da tolerável.
    EXPECT_GT(a.e.Secoes[std::size_t(a.e.Espacamento)].Perda, a.e.PerdaToleravel);
    EXPECT_LE(a.e.PerdaSolo, a.e.PerdaToleravel);
}

TEST(Propagacao, CanalDeUmMetro) {
    TCaso c(1, "um");
    std::unique_ptr<THidrograma> saida;
    ASSERT_TRUE(c.e.CalcularHidrogramaCanal(false, 8, *c.leito, c.vazio, c.chuva, nullptr, saida));
    for (const auto& p : saida->Pontos)
        EXPECT_EQ(p.Vazao, 0);
    ASSERT_TRUE(c.e.CalcularEspacamento(c.chuva, *c.leito, c.vazio, 8, nullptr, 1.0));
    EXPECT_EQ(c.e.Espacamento, 1);
    EXPECT_EQ(c.Tabela(), std::string(CABECALHO_RELATORIO_TEXTO) +
                              "\r\n         1\t    0.00           0.00              0.00        "
                              "         0.00\r\n");
}

TEST(Propagacao, SemContribuicaoLateralOCanalFicaSeco) {
    TCaso c(30, "seco");
    std::unique_ptr<THidrograma> saida;
    ASSERT_TRUE(c.e.CalcularHidrogramaCanal(false, 8, c.vazio, c.vazio, c.chuva, nullptr, saida));
    ASSERT_EQ(saida->NumPontos(), 1u);
    EXPECT_EQ(saida->Pontos[0].Tempo, 0);
    ASSERT_TRUE(c.e.CalcularEspacamento(c.chuva, c.vazio, c.vazio, 8, nullptr, 1.0));
    EXPECT_EQ(c.e.Espacamento, 30);
    EXPECT_EQ(c.e.PerdaSolo, 0);
    EXPECT_EQ(c.e.QMax, 0);
}

TEST(Propagacao, CancelamentoNaPropagacaoENaPerdaDeSolo) {
    TCaso c(60, "cancela");
    TAcomp acomp;
    acomp.e = &c.e;
    acomp.cancelarNoEvento = 10;
    EXPECT_FALSE(c.e.CalcularEspacamento(c.chuva, *c.leito, c.vazio, 8, &acomp, 1.0));
    EXPECT_FALSE(fs::exists(c.e.ArquivoRelatorio)); // a perda de solo nem começou
    EXPECT_EQ(acomp.ocupado, 0);

    // Cancelada no meio da perda de solo, a tabela incompleta não substitui a anterior.
    const std::string anterior = "tabela anterior\r\n";
    std::ofstream(c.e.ArquivoRelatorio, std::ios::binary) << anterior;
    c.e.Cancelado = false;
    acomp.cancelarNoEvento = -1;
    acomp.cancelarNaSecao = "5";
    EXPECT_FALSE(c.e.CalcularEspacamento(c.chuva, *c.leito, c.vazio, 8, &acomp, 1.0));
    std::ifstream lido(c.e.ArquivoRelatorio, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(lido), {}), anterior);
    EXPECT_LE(c.e.Espacamento, 5);
    // Nada de temporários esquecidos na pasta.
    EXPECT_EQ(std::distance(fs::directory_iterator(c.pasta), fs::directory_iterator()), 1);
}

TEST(Propagacao, ProjetoUsaSoUmEspacamentoESeguePossivelDepoisDeCancelar) {
    TCaso c(80, "projeto");
    ASSERT_TRUE(c.e.CalcularEspacamento(c.chuva, *c.leito, c.vazio, 8, nullptr, 1.0));
    const int esp = c.e.Espacamento;
    c.e.Comprimento(esp);
    std::unique_ptr<THidrograma> saida;
    ASSERT_TRUE(c.e.CalcularHidrogramaProjeto(c.chuva, *c.leito, c.vazio, nullptr, saida));
    saida->Analisar(1.0);
    EXPECT_GT(saida->VazaoMaxima, 0);
    EXPECT_EQ(saida->Local, THidrograma::LocalCanal);
    EXPECT_GT(saida->ProfundidadeMaxima, 0);
    EXPECT_EQ(saida->Pontos.back().Vazao, 0);
}

TEST(Propagacao, ErroNoCanalMostraDeuErroEPassaAdiante) {
    TCaso c(20, "erro");
    c.e.TipoCanal.Valor = 9;
    TAcomp acomp;
    acomp.e = &c.e;
    std::unique_ptr<THidrograma> saida;
    EXPECT_THROW(c.e.CalcularHidrogramaCanal(false, 8, *c.leito, c.vazio, c.chuva, &acomp, saida),
                 EMorvendo);
    ASSERT_EQ(acomp.mensagens.size(), 1u);
    EXPECT_EQ(acomp.mensagens[0], "Deu erro.");
    EXPECT_EQ(acomp.ocupado, 0);
}

TEST(TabelaTexto, FormatoDasLinhasEErros) {
    EXPECT_EQ(LinhaRelatorioTexto(12, 1.234, 5.678, 9.999, 0.005),
              "        12\t    1.23           5.68             10.00                 0.01");
    // Valor mais largo que o campo empurra o resto da linha.
    EXPECT_EQ(LinhaRelatorioTexto(1, 123456789.0, 0, 0, 0),
              "         1\t123456789.00           0.00              0.00                 0.00");
    EXPECT_THROW(TEscritorRelatorioTexto("/nao/existe/Relatorio.txt"), EEntradaSaida);
    EXPECT_THROW(LerRelatorioTexto("/nao/existe/Relatorio.txt"), EEntradaSaida);

    const fs::path p = fs::temp_directory_path() / "morvendo-tabela-ruim.txt";
    std::ofstream(p) << "cabecalho\r\n         1\t    0.00  abc\r\n";
    EXPECT_THROW(LerRelatorioTexto(p.string()), EEntradaSaida);
    fs::remove(p);
}

} // namespace

// A interface gráfica põe o processo no locale do usuário (vírgula decimal no pt_BR); a
// tabela de texto continua com ponto.
TEST(TabelaTexto, PontoDecimalEmQualquerLocale) {
    const fs::path pasta =
        fs::temp_directory_path() / ("morvendo-locale-" + std::to_string(::getpid()));
    fs::create_directories(pasta);
    const std::string cmd =
        "localedef -i pt_BR -f UTF-8 '" + (pasta / "pt_BR.UTF-8").string() + "' > /dev/null 2>&1";
    const int r = std::system(cmd.c_str());
    ::setenv("LOCPATH", pasta.c_str(), 1);
    const char* antes = std::setlocale(LC_NUMERIC, "pt_BR.UTF-8");
    if (r != 0 || !antes) {
        ::unsetenv("LOCPATH");
        fs::remove_all(pasta);
        GTEST_SKIP() << "locale pt_BR indisponível";
    }
    char virgula[16];
    std::snprintf(virgula, sizeof virgula, "%.1f", 0.5);
    const std::string linha = LinhaRelatorioTexto(7, 1.234, 5.678, 9.999, 0.125);
    std::setlocale(LC_NUMERIC, "C");
    ::unsetenv("LOCPATH");
    fs::remove_all(pasta);
    EXPECT_STREQ(virgula, "0,5"); // o locale valeu de fato
    EXPECT_EQ(linha, "         7\t    1.23           5.68             10.00                 0.12");
}
