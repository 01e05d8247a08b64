// Resultados que não são números finitos: o cálculo termina com uma mensagem que nomeia o dado
// de entrada, pelo núcleo e pela linha de comando, que sai com erro sem mostrar o valor e
// deixa a tabela anterior no lugar.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include "Auxiliar.h"
#include "comum/EMorvendo.h"
#include "project/Calculo.h"
#include "project/Projeto.h"

namespace {

struct TCasoFinito {
    const char* nome;
    const char* base;
    const char* padrao;
    const char* troca;
    const char* mensagem; // começo da mensagem
    // Pela linha de comando, a verificação dos dados pode recusar o valor antes do cálculo.
    const char* mensagemVerificacao = nullptr;
    // Valor que nem a leitura aceita (perto demais de zero): recusado ao ler, também no núcleo.
    const char* mensagemLeitura = nullptr;
};

const TCasoFinito CASOS[] = {
    {"erodibilidade", "c03_equiv_200m", "Erodibilidade=0\\.004", "Erodibilidade=1e308",
     "A erodibilidade do solo do canal (1E308 ",
     "Valor incorreto em \"Erodibilidade\" (Solo): deve ser maior que 0 e no máximo 0.6 "},
    {"profundidade da bacia", "c03_equiv_200m", "Profundidade=1\\.5", "Profundidade=1e-320", "",
     nullptr,
     "Valor fora da faixa no arquivo do projeto: [BaciaAcumulacao] Profundidade = \"1e-320\" "
     "(\"Profundidade (H)\" em Bacia de acumulação) deve ser 0 ou um número de módulo a partir "
     "de 1E-307.\n"},
    {"taludes da bacia", "c02_trap_secao3_50m", "m1=2\r\nm2=3", "m1=1e308\r\nm2=1e308",
     "A profundidade (H) da bacia de acumulação (1.2 m) com os taludes m1 (1E308) e m2 (1E308) "
     "leva a um valor infinito do comprimento da bacia",
     "Valor incorreto em \"m2\" (Bacia de acumulação): deve ser maior que 0 e no máximo 100."},
    {"talude do canal de conducao", "c03_equiv_200m", "ValorZ=1\r\nIndSm", "ValorZ=1e308\r\nIndSm",
     "Os dados do canal de condução (m1 1E-308, m2 ",
     "Valor incorreto em \"m1\" (Canal de condução): deve ser maior que 0 e no máximo 100. No "
     "arquivo do projeto: [Canal_BaciaAcumulacao] ValorZ = 1E308.\n"},
};

class ResultadosFinitos : public ::testing::TestWithParam<TCasoFinito> {};

TEST_P(ResultadosFinitos, NucleoNomeiaODado) {
    const TCasoFinito& c = GetParam();
    TPastaTemporaria pasta("finito-nucleo");
    const std::string texto = LerBytes(DADOS_REFERENCIA + c.base + ".mvd");
    const std::string trocado = Trocar(texto, c.padrao, c.troca);
    ASSERT_NE(trocado, texto);
    GravarBytes(pasta / "p.mvd", trocado);
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    if (c.mensagemLeitura) {
        try {
            LerProjeto(p, (pasta / "p.mvd").string());
            FAIL() << "lido";
        } catch (const EMorvendo& e) {
            EXPECT_EQ(std::string(e.what()) + "\n", c.mensagemLeitura);
        }
        return;
    }
    ASSERT_TRUE(LerProjeto(p, (pasta / "p.mvd").string()));
    try {
        ExecutarCalculo(p, p.Estrada.Comprimento(), nullptr);
        FAIL() << "sem erro";
    } catch (const EMorvendo& e) {
        EXPECT_EQ(std::string(e.what()).rfind(c.mensagem, 0), 0u) << e.what();
    }
}

TEST_P(ResultadosFinitos, LinhaDeComandoSaiComErroEGuardaATabela) {
    const TCasoFinito& c = GetParam();
    TPastaTemporaria pasta("finito-cli");
    GravarBytes(pasta / "p.mvd",
                Trocar(LerBytes(DADOS_REFERENCIA + c.base + ".mvd"), c.padrao, c.troca));
    GravarBytes(pasta / "Relatorio.txt", "tabela anterior\r\n");
    const std::string cmd = "cd '" + pasta.Caminho.string() +
                            "' && LC_ALL=C '" MORVENDO_CALC "' p.mvd > out.txt 2> err.txt";
    const int r = std::system(cmd.c_str());
    EXPECT_EQ(WIFEXITED(r) ? WEXITSTATUS(r) : -1, 1);
    EXPECT_EQ(LerBytes(pasta / "out.txt"), "");
    const char* esperada = c.mensagemLeitura       ? c.mensagemLeitura
                           : c.mensagemVerificacao ? c.mensagemVerificacao
                                                   : c.mensagem;
    EXPECT_EQ(LerBytes(pasta / "err.txt").rfind(esperada, 0), 0u) << LerBytes(pasta / "err.txt");
    EXPECT_EQ(LerBytes(pasta / "Relatorio.txt"), "tabela anterior\r\n");
}

// A base B só vale no trapézio: guardada enorme num canal triangular, não muda nada.
TEST(ResultadosFinitos, BaseDoTrapezioNaoEntraNoTriangulo) {
    TPastaTemporaria pasta("finito-base");
    const std::string texto = LerBytes(DADOS_REFERENCIA + "c03_equiv_200m.mvd");
    GravarBytes(pasta / "a.mvd", texto);
    GravarBytes(pasta / "b.mvd", Trocar(texto, "Hr=0\r\nB=0\r\n", "Hr=0\r\nB=1e308\r\n"));
    TUnidades u;
    TProjeto a(u), b(u);
    ZerarVariaveis(a);
    ZerarVariaveis(b);
    ASSERT_TRUE(LerProjeto(a, (pasta / "a.mvd").string()));
    ASSERT_TRUE(LerProjeto(b, (pasta / "b.mvd").string()));
    ASSERT_EQ(b.Estrada.B(), 1e308);
    const auto ra = ExecutarCalculo(a, a.Estrada.Comprimento(), nullptr);
    const auto rb = ExecutarCalculo(b, b.Estrada.Comprimento(), nullptr);
    EXPECT_EQ(ra.Canal.Espacamento, rb.Canal.Espacamento);
    EXPECT_EQ(ra.Canal.Secoes.back().Perda, rb.Canal.Secoes.back().Perda);
}

INSTANTIATE_TEST_SUITE_P(Casos, ResultadosFinitos, ::testing::ValuesIn(CASOS),
                         [](const auto& info) {
                             std::string n = info.param.nome;
                             for (char& ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return n;
                         });

} // namespace
