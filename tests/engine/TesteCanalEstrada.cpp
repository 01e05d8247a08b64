#include <gtest/gtest.h>

#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "comum/EMorvendo.h"
#include "engine/CanalEstrada.h"
#include "engine/Precipitacao.h"
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
    int comprimento;
    TResultadoEspacamento r;

    explicit TCaso(int comp) : comprimento(comp) {
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
        TEncostaCinematica& p = e.Leito.Plano(0);
        p.VIB(8);
        p.St(0.03);
        p.nt.Valor = 0.02;
        p.Comprimento(4);
        leito = CalcularHidrograma(p, NumeroDeCelulas(p), chuva, nullptr, nullptr);
    }
    bool Espacamento(IAcompanhamento* acomp, const THidrograma* h = nullptr) {
        return e.CalcularEspacamento(chuva, h ? *h : *leito, vazio, 8, comprimento, acomp, 1.0, r);
    }
};

struct TAcomp : IAcompanhamento {
    std::string cancelarNaSecao;
    long cancelarNoEvento = -1;
    long eventos = 0;
    int ultimoProgresso = -1, ocupado = 0;
    std::vector<std::string> mensagens;
    void ProcessarEventos() override {
        if (++eventos == cancelarNoEvento) Cancelar();
        // A interface pode deixar sinalizadores de ponto flutuante ligados.
        std::feraiseexcept(FE_INVALID);
    }
    void MostrarSecao(const std::string& s) override {
        if (s == cancelarNaSecao) Cancelar();
    }
    void MostrarProgresso(int p) override { ultimoProgresso = p; }
    void Ocupado(bool l) override { ocupado += l ? 1 : -1; }
    void MostrarMensagem(const std::string& m) override { mensagens.push_back(m); }
};

TEST(Propagacao, ResultadosIguaisComESemAcompanhamento) {
    TCaso a(120), b(120);
    TAcomp acomp;
    ASSERT_TRUE(a.Espacamento(nullptr));
    ASSERT_TRUE(b.Espacamento(&acomp));
    EXPECT_EQ(acomp.ultimoProgresso, 100);
    EXPECT_EQ(acomp.ocupado, 0);
    EXPECT_EQ(a.r.Espacamento, b.r.Espacamento);
    EXPECT_EQ(a.r.PerdaSolo, b.r.PerdaSolo);
    EXPECT_EQ(a.r.QMax, b.r.QMax);
    ASSERT_EQ(a.r.Secoes.size(), b.r.Secoes.size());
    for (std::size_t i = 0; i < a.r.Secoes.size(); ++i)
        EXPECT_EQ(a.r.Secoes[i].Perda, b.r.Secoes[i].Perda) << i;
    EXPECT_GT(a.r.Espacamento, 1);
    EXPECT_LT(a.r.Espacamento, 120);

    // Uma linha por seção, numeradas a partir de 1.
    ASSERT_EQ(a.r.Secoes.size(), 120u);
    EXPECT_EQ(a.r.Secoes[0].Secao, 1);
    EXPECT_EQ(a.r.Secoes[0].Vazao, 0);
    EXPECT_EQ(a.r.Secoes[119].Secao, 120);
    // Além do espaçamento a perda passa da tolerável.
    EXPECT_GT(a.r.Secoes[std::size_t(a.r.Espacamento)].Perda, a.r.PerdaToleravel);
    EXPECT_LE(a.r.PerdaSolo, a.r.PerdaToleravel);
    EXPECT_EQ(a.r.PerdaToleravel, 2 * 1.3);
}

// O cálculo não mexe no objeto: o comprimento é um argumento, e dois cálculos seguidos dão o
// mesmo resultado.
TEST(Propagacao, ComprimentoComoArgumentoEObjetoIntacto) {
    TCaso c(120);
    ASSERT_TRUE(c.Espacamento(nullptr));
    const TResultadoEspacamento primeiro = c.r;
    c.comprimento = 60;
    ASSERT_TRUE(c.Espacamento(nullptr));
    EXPECT_EQ(c.r.Secoes.size(), 60u);
    EXPECT_EQ(c.e.Comprimento(), 120);
    for (std::size_t i = 0; i < 60; ++i)
        EXPECT_EQ(c.r.Secoes[i].Perda, primeiro.Secoes[i].Perda) << i;
    c.comprimento = 120;
    ASSERT_TRUE(c.Espacamento(nullptr));
    EXPECT_EQ(c.r.Espacamento, primeiro.Espacamento);
    EXPECT_EQ(c.r.QMax, primeiro.QMax);
}

TEST(Propagacao, CanalDeUmMetro) {
    TCaso c(1);
    std::unique_ptr<THidrograma> saida;
    ASSERT_TRUE(
        c.e.CalcularHidrogramaCanal(false, 1, 8, *c.leito, c.vazio, c.chuva, nullptr, saida));
    for (const auto& p : saida->Pontos)
        EXPECT_EQ(p.Vazao, 0);
    ASSERT_TRUE(c.Espacamento(nullptr));
    EXPECT_EQ(c.r.Espacamento, 1);
    ASSERT_EQ(c.r.Secoes.size(), 1u);
    EXPECT_EQ(LinhaRelatorioTexto(1, c.r.Secoes[0].Lamina, c.r.Secoes[0].Vazao,
                                  c.r.Secoes[0].Tensao, c.r.Secoes[0].Perda),
              "         1\t    0.00           0.00              0.00                 0.00");
}

TEST(Propagacao, SemContribuicaoLateralOCanalFicaSeco) {
    TCaso c(30);
    std::unique_ptr<THidrograma> saida;
    ASSERT_TRUE(
        c.e.CalcularHidrogramaCanal(false, 30, 8, c.vazio, c.vazio, c.chuva, nullptr, saida));
    ASSERT_EQ(saida->NumPontos(), 1u);
    EXPECT_EQ(saida->Pontos[0].Tempo, 0);
    ASSERT_TRUE(c.Espacamento(nullptr, &c.vazio));
    EXPECT_EQ(c.r.Espacamento, 30);
    EXPECT_EQ(c.r.PerdaSolo, 0);
    EXPECT_EQ(c.r.QMax, 0);
}

TEST(Propagacao, CancelamentoNaPropagacaoENaPerdaDeSolo) {
    TCaso c(60);
    TAcomp acomp;
    acomp.cancelarNoEvento = 10;
    EXPECT_FALSE(c.Espacamento(&acomp));
    EXPECT_TRUE(c.r.Secoes.empty()); // a perda de solo nem começou
    EXPECT_EQ(acomp.ocupado, 0);

    acomp.Rearmar();
    acomp.cancelarNoEvento = -1;
    acomp.cancelarNaSecao = "5";
    EXPECT_FALSE(c.Espacamento(&acomp));
    EXPECT_EQ(c.r.Secoes.size(), 5u);
    EXPECT_LE(c.r.Espacamento, 5);
}

TEST(Propagacao, ProjetoUsaSoUmEspacamentoESeguePossivelDepoisDeCancelar) {
    TCaso c(80);
    ASSERT_TRUE(c.Espacamento(nullptr));
    const int esp = c.r.Espacamento;
    std::unique_ptr<THidrograma> saida;
    ASSERT_TRUE(c.e.CalcularHidrogramaProjeto(c.chuva, *c.leito, c.vazio, esp, nullptr, saida));
    EXPECT_EQ(c.e.Comprimento(), 80);
    saida->Analisar(1.0);
    EXPECT_GT(saida->VazaoMaxima, 0);
    EXPECT_EQ(saida->Local, THidrograma::LocalCanal);
    EXPECT_GT(saida->ProfundidadeMaxima, 0);
    EXPECT_EQ(saida->Pontos.back().Vazao, 0);
}

// O erro passa adiante sem uma caixa "Deu erro." que não diz nada: quem chama nomeia a etapa.
TEST(Propagacao, ErroNoCanalPassaAdianteSemCaixaVaga) {
    TCaso c(20);
    c.e.TipoCanal.Valor = 9;
    TAcomp acomp;
    std::unique_ptr<THidrograma> saida;
    EXPECT_THROW(
        c.e.CalcularHidrogramaCanal(false, 20, 8, *c.leito, c.vazio, c.chuva, &acomp, saida),
        EMorvendo);
    EXPECT_TRUE(acomp.mensagens.empty());
    EXPECT_EQ(acomp.ocupado, 0);
}

// A tabela escrita de uma vez a partir das linhas do resultado, e as linhas com os valores
// como a tabela os guarda.
TEST(TabelaTexto, EscritaDasLinhasEValoresComoNaTabela) {
    TCaso c(40);
    ASSERT_TRUE(c.Espacamento(nullptr));
    const fs::path pasta =
        fs::temp_directory_path() / ("morvendo-tabela-" + std::to_string(::getpid()));
    fs::create_directories(pasta);
    const std::string arquivo = (pasta / "Relatorio.txt").string();
    EscreverRelatorioTexto(arquivo, c.r.Secoes);
    const auto lidas = LerRelatorioTexto(arquivo);
    const auto comoNaTabela = LinhasComoNaTabela(c.r.Secoes);
    ASSERT_EQ(lidas.size(), 40u);
    ASSERT_EQ(comoNaTabela.size(), 40u);
    for (std::size_t i = 0; i < lidas.size(); ++i) {
        EXPECT_EQ(lidas[i].Secao, comoNaTabela[i].Secao);
        EXPECT_EQ(lidas[i].Lamina, comoNaTabela[i].Lamina) << i;
        EXPECT_EQ(lidas[i].Vazao, comoNaTabela[i].Vazao) << i;
        EXPECT_EQ(lidas[i].Tensao, comoNaTabela[i].Tensao) << i;
        EXPECT_EQ(lidas[i].Perda, comoNaTabela[i].Perda) << i;
    }
    // Nada de temporários esquecidos na pasta.
    EXPECT_EQ(std::distance(fs::directory_iterator(pasta), fs::directory_iterator()), 1);
    fs::remove_all(pasta);
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

namespace {

// Canal de 300 m que drena depois do fim da entrada; 'infiltracao' é a taxa estável do leito.
TResultadoEspacamento Drenagem(double infiltracao) {
    TCaso c(300);
    EXPECT_TRUE(
        c.e.CalcularEspacamento(c.chuva, *c.leito, c.vazio, infiltracao, 300, nullptr, 1.0, c.r));
    return c.r;
}

} // namespace

// Depois do fim da entrada, o canal perde o que a sua superfície infiltra e nada mais: a água
// que deixa de sair pelo fim do canal é a que infiltrou.
TEST(Propagacao, CanalQueDrenaPerdeOQueInfiltra) {
    const TResultadoEspacamento pouca = Drenagem(8), muita = Drenagem(40);
    for (const TBalancoCanal& b : {pouca.Balanco, muita.Balanco}) {
        EXPECT_LT(std::fabs(b.ErroPct()), 0.5);
        EXPECT_LT(b.Armazenado, 1e-3 * b.Entrada);
    }
    const TBalancoCanal &a = pouca.Balanco, &b = muita.Balanco;
    EXPECT_DOUBLE_EQ(a.Entrada, b.Entrada);
    EXPECT_GT(b.Infiltracao, 10 * a.Infiltracao);
    const double infiltrou = b.Infiltracao - a.Infiltracao;
    EXPECT_NEAR(a.Saida - b.Saida, infiltrou, 0.01 * infiltrou);
}

// A integral da tensão excedente conta a parte do passo acima da crítica quando a lâmina a
// cruza (lâmina linear no passo).
TEST(PerdaSolo, PassoQueCruzaALaminaCriticaContaASuaParte) {
    struct {
        double antes, depois, termo;
    } casos[] = {{2, 4, 6}, {2, -2, 1}, {-3, 1, 0.25}, {0, -5, 0}, {-1, -2, 0}, {0, 0, 0}};
    for (const auto& c : casos)
        EXPECT_DOUBLE_EQ(TermoExcessoTensao(c.antes, c.depois), c.termo)
            << c.antes << " " << c.depois;

    // Um nó que passa da lâmina crítica só no passo do pico perde solo.
    TCaso c(60);
    ASSERT_TRUE(c.Espacamento(nullptr));
    const std::size_t no = 40;
    const double pico = c.r.Secoes[no].Tensao;
    c.e.TalCritica = pico * (1 - 1e-6);
    ASSERT_TRUE(c.Espacamento(nullptr));
    EXPECT_GT(c.r.Secoes[no].Perda, 0);
    c.e.TalCritica = pico * (1 + 1e-6);
    ASSERT_TRUE(c.Espacamento(nullptr));
    EXPECT_EQ(c.r.Secoes[no].Perda, 0);
}

namespace {

// Q (m³/s) de Manning no trapézio de base b e talude z com lâmina y.
double ManningTrapezio(double y, double b, double z, double n, double s) {
    const double a = y * (b + z * y), p = b + 2 * y * std::sqrt(z * z + 1);
    return std::sqrt(s) / n * a * std::pow(a / p, 2.0 / 3.0);
}

// A primeira seção não perde solo: num canal de mais de 1 m, parar nela é não ter espaçamento
// (nada que pareça resultado na seção do espaçamento); um canal de 1 m é todo ele o espaçamento.
TEST(PerdaSolo, SegundaSecaoAcimaDaToleravelNaoEhEspacamentoDeUmMetro) {
    const struct {
        std::vector<double> Somas; // perda de cada seção (fator, erodibilidade e Δt/2 em 1)
        double Toleravel;
        int Espacamento;
        bool Nenhum;
    } casos[] = {
        {{0, 5, 9}, 1, 0, true}, {{0, 0.5, 9}, 1, 2, false},   {{0, 1, 1}, 1, 2, false},
        {{0, 5}, 1, 1, false},   {{0, 0.5, 0.7}, 1, 2, false},
    };
    for (const auto& c : casos) {
        TDadosPerdaSolo d;
        d.Erodibilidade = 1;
        d.PerdaToleravel = c.Toleravel;
        d.Alfa = 1;
        d.GamaS = 1;
        d.Dt = 2;
        std::vector<TSecaoCanal> nos(c.Somas.size(), TSecaoCanal{0.1, 0.2, 0.3});
        TResultadoEspacamento r;
        ASSERT_TRUE(CalcularPerdaSolo(d, nos, c.Somas, nullptr, r));
        SCOPED_TRACE(testing::PrintToString(c.Somas));
        EXPECT_EQ(r.Espacamento, c.Espacamento);
        EXPECT_EQ(r.NenhumEspacamento, c.Nenhum);
        EXPECT_EQ(r.Secoes.size(), c.Somas.size() - 1);
        if (c.Nenhum) {
            EXPECT_EQ(r.PerdaSolo + r.QMax + r.TensaoMax, 0);
        }
    }
}

} // namespace

// No canal trapezoidal a vazão de cada lâmina é a de Manning; em regime permanente a lâmina de
// cada nó é a profundidade normal da vazão que passa por ele (outra conta, a da bacia).
TEST(Propagacao, TrapezioSegueManningDe1a30cm) {
    struct {
        double b, z;
    } secoes[] = {{0.2, 0.5}, {0.5, 1}, {1, 1.5}, {2, 2}};
    TPrecipitacaoExponencialNegativa chuva = Chuva();
    for (const auto& sec : secoes) {
        SCOPED_TRACE(std::to_string(sec.b) + " / " + std::to_string(sec.z));
        TCanalEstrada e("_ESTRADA");
        e.TipoCanal.Valor = CANAL_TRAPEZOIDAL;
        e.B(sec.b);
        e.Z.Valor = sec.z;
        e.Sc = 0.02;
        e.nc.Valor = 0.025;
        const TCurvaDescarga exata = AjustarCurvaDescarga(e, false);
        const TCurvaDescarga antiga = AjustarCurvaDescarga(e, true);
        double pior = 0;
        for (double y = 0.005; y <= 0.30; y += 0.005) {
            const double a = y * (sec.b + sec.z * y);
            const double q = ManningTrapezio(y, sec.b, sec.z, 0.025, 0.02);
            EXPECT_NEAR(exata.Alfa * FluxoPelaArea(exata, a), q, 1e-12 * q) << y;
            EXPECT_NEAR(AreaPeloFluxo(exata, q / exata.Alfa), a, 1e-10 * a) << y;
            pior = std::max(pior, std::fabs(antiga.Alfa * FluxoPelaArea(antiga, a) / q - 1));
        }
        // A curva antiga, ajustada em 0,2 a 5 m, erra mais que isso nessas lâminas.
        EXPECT_GT(pior, 0.02);

        // Entrada lateral que sobe em 30 min e fica constante: a saída de 200 m com 30 cm.
        const int comprimento = 200;
        const double qLateral = ManningTrapezio(0.30, sec.b, sec.z, 0.025, 0.02) / comprimento;
        THidrograma entrada, vazio;
        for (double t = 0; t <= 240; t += 0.5)
            entrada.Adicionar(t, 1000 * qLateral * std::min(1.0, t / 30));
        TDadosPropagacao d;
        d.Comprimento = comprimento;
        d.Curva = exata;
        d.VibEstrada = 8;
        TResultadoPropagacao r;
        ASSERT_TRUE(PropagarCanal(e, d, entrada, vazio, chuva, nullptr, r));
        for (int i = 2; i < comprimento; i += 3) {
            const TSecaoCanal& no = r.Nos[std::size_t(i)];
            // A lâmina é a profundidade normal da vazão do nó.
            const double normal = e.ProfundidadeNormal(exata.Alfa * no.AmMax);
            EXPECT_NEAR(no.LaminaPico, normal, 1e-6 * normal) << i;
            // E a vazão é a entrada de i a i + 1 metros de canal (o nó de montante entra com
            // um passo de vazão ou com a sua área, conforme a forma do esquema).
            EXPECT_GE(no.LaminaPico, 0.995 * e.ProfundidadeNormal(qLateral * i)) << i;
            EXPECT_LE(no.LaminaPico, 1.005 * e.ProfundidadeNormal(qLateral * (i + 1))) << i;
        }
    }
}
