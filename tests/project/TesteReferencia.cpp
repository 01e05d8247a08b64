// Casos de referência: cada projeto de tests/dados/referencia, calculado pelo núcleo e pela
// linha de comando, deve dar o espaçamento exato, os demais números a 1e-9 e a tabela de
// texto idêntica byte a byte.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include "../Json.h"
#include "project/Calculo.h"
#include "project/Locacao.h"
#include "project/Projeto.h"
#include "project/ResultadoJson.h"
#include "reports/RelatorioTexto.h"

namespace fs = std::filesystem;

namespace {

const std::string DADOS = std::string(MORVENDO_DADOS_TESTE) + "/referencia/";

std::string LerArquivo(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Compara dois JSON: inteiros exatos, reais a 1e-9 relativo; anota cada diferença.
void Comparar(const TJson& esperado, const TJson& obtido, const std::string& caminho) {
    ASSERT_EQ(esperado.Tipo, obtido.Tipo) << caminho;
    switch (esperado.Tipo) {
    case TJson::Objeto:
        ASSERT_EQ(esperado.Campos.size(), obtido.Campos.size()) << caminho;
        for (const auto& [k, v] : esperado.Campos)
            Comparar(v, obtido[k], caminho + "." + k);
        break;
    case TJson::Lista:
        ASSERT_EQ(esperado.Itens.size(), obtido.Itens.size()) << caminho;
        for (std::size_t i = 0; i < esperado.Itens.size(); ++i)
            Comparar(esperado.Itens[i], obtido.Itens[i], caminho + "[" + std::to_string(i) + "]");
        break;
    case TJson::Numero:
        if (esperado.Inteiro) {
            EXPECT_EQ(esperado.Valor, obtido.Valor) << caminho;
        } else {
            const double tol = 1e-9 * std::max(std::fabs(esperado.Valor), std::fabs(obtido.Valor));
            EXPECT_LE(std::fabs(esperado.Valor - obtido.Valor), tol) << caminho;
        }
        break;
    default:
        break;
    }
}

// Os avisos, o balanço hídrico, a curva de descarga e a origem da chuva não fazem parte dos
// resultados esperados: saem antes da comparação, que continua exigindo as mesmas chaves. O
// balanço fecha; a chuva de todos os casos foi digitada.
TJson SemAvisos(TJson j) {
    EXPECT_EQ(j["Avisos"].Tipo, TJson::Lista);
    EXPECT_EQ(j["OrigemChuva"].Str, "Parâmetros digitados.");
    for (const char* parte : {"Estrada", "Talude", "Canal"})
        EXPECT_LT(std::fabs(j["Continuidade"][parte]["erro_pct"].Valor), 1.0) << parte;
    for (const char* chave :
         {"Avisos", "Continuidade", "CurvaDescarga", "EspacamentoCurvaOriginal", "OrigemChuva"})
        j.Campos.erase(chave);
    return j;
}

// Num caso em que já o segundo metro passa da perda tolerável (c06), os resultados esperados
// trazem o espaçamento de 1 m com a perda, a tensão, a vazão e a bacia em zero e o volume de
// 1 m de canal: não são resultado. O cálculo diz que nenhum espaçamento atende, com esses campos em
// null. Confere que o esperado é mesmo essa falta de resposta e tira os campos dos dois; as seções,
// a tolerável e os hidrogramas continuam comparados. Devolve se nenhum espaçamento atende.
bool SemEspacamentoQueAtenda(TJson& esperado, TJson& obtido) {
    EXPECT_EQ(obtido["NenhumEspacamento"].Tipo, TJson::Logico);
    const bool nenhum = obtido["NenhumEspacamento"].Valor != 0;
    obtido.Campos.erase("NenhumEspacamento");
    if (!nenhum) return false;
    EXPECT_EQ(esperado["Espacamento"].Valor, 1);
    const TJson& secoes = esperado["Secoes"];
    EXPECT_GE(secoes.Itens.size(), 2u);
    if (secoes.Itens.size() >= 2) {
        EXPECT_GT(secoes[1][4].Valor, esperado["PerdaToleravel"].Valor);
    }
    // O volume esperado é o de 1 m de canal; os valores na primeira seção, zero.
    for (const char* chave : {"PerdaSolo", "TensaoMax", "QMax"})
        EXPECT_EQ(esperado[chave].Valor, 0) << chave;
    for (const auto& [chave, v] : esperado["Bacia"].Campos)
        EXPECT_EQ(v.Valor, 0) << chave;
    for (const char* chave : {"Espacamento", "PerdaSolo", "TensaoMax", "QMax", "Volume", "Bacia"}) {
        EXPECT_EQ(obtido[chave].Tipo, TJson::Nulo) << chave;
        esperado.Campos.erase(chave);
        obtido.Campos.erase(chave);
    }
    return true;
}

class Referencia : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        pasta = fs::temp_directory_path() /
                ("morvendo-ref-" + std::string(info->name()).substr(0, 6) + "-" + GetParam());
        fs::remove_all(pasta);
        fs::create_directories(pasta);
        // O projeto é copiado: um arquivo antigo é migrado ao ser lido.
        fs::copy_file(DADOS + GetParam() + ".mvd", pasta / "projeto.mvd");
        esperado = TLeitorJson(LerArquivo(DADOS + GetParam() + ".expected.json")).Ler();
    }
    void TearDown() override { fs::remove_all(pasta); }

    // Os casos com canal trapezoidal foram calculados com a curva de descarga antiga.
    bool CurvaOriginal() const {
        return GetParam() == "c02_trap_secao3_50m" || GetParam() == "c13_perda_sobe_e_desce";
    }

    fs::path pasta;
    TJson esperado;
};

TEST_P(Referencia, NucleoReproduzOsResultados) {
    TUnidades unidades;
    TProjeto p(unidades);
    ZerarVariaveis(p);
    ASSERT_TRUE(LerProjeto(p, (pasta / "projeto.mvd").string()));
    ASSERT_FALSE(ValidarDados(p).has_value());
    EXPECT_EQ(p.Estrada.TipoCanal.Valor == CANAL_TRAPEZOIDAL, CurvaOriginal());
    p.Estrada.CurvaDescargaOriginal = CurvaOriginal();
    const TResultadoCalculo r = ExecutarCalculo(p, p.Estrada.Comprimento(), nullptr);
    ASSERT_EQ(r.Situacao, TResultadoCalculo::Concluido);
    EscreverRelatorioTexto((pasta / "Relatorio.txt").string(), r.Canal.Secoes);

    TJson obtido = SemAvisos(TLeitorJson(ResultadoJson(r, {})).Ler());
    EXPECT_EQ(SemEspacamentoQueAtenda(esperado, obtido), GetParam() == "c06_so_primeira_passa");
    Comparar(esperado, obtido, GetParam());
    EXPECT_EQ(LerArquivo(DADOS + GetParam() + ".Relatorio.txt"),
              LerArquivo(pasta / "Relatorio.txt"));
}

TEST_P(Referencia, LinhaDeComandoReproduzOsResultados) {
    const fs::path saida = pasta / "saida.json";
    const std::string cmd = "cd '" + pasta.string() +
                            "' && '" MORVENDO_CALC "' projeto.mvd --json" +
                            (CurvaOriginal() ? " --curva-descarga-original" : "") + " > '" +
                            saida.string() + "' 2> erros.txt";
    const int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << LerArquivo(pasta / "erros.txt");
    TJson obtido = SemAvisos(TLeitorJson(LerArquivo(saida)).Ler());
    // Sem espaçamento que atenda, a linha de comando sai com 4, depois de escrever tudo.
    const bool nenhum = SemEspacamentoQueAtenda(esperado, obtido);
    EXPECT_EQ(nenhum, GetParam() == "c06_so_primeira_passa");
    EXPECT_EQ(WEXITSTATUS(status), nenhum ? 4 : 0) << LerArquivo(pasta / "erros.txt");
    Comparar(esperado, obtido, GetParam());
    EXPECT_EQ(LerArquivo(DADOS + GetParam() + ".Relatorio.txt"),
              LerArquivo(pasta / "Relatorio.txt"));
}

// O projeto como uma descida só, de um lado, com o fator 1: o desaguadouro cai no espaçamento
// de hoje. Onde a perda passa da tolerável e volta (c13) cai antes da primeira seção que a
// excede, e o diz; sem espaçamento, o único desaguadouro é o do ponto baixo, com o aviso.
TEST_P(Referencia, LocacaoDeUmaDescidaDaOEspacamento) {
    TUnidades unidades;
    TProjeto p(unidades);
    ZerarVariaveis(p);
    ASSERT_TRUE(LerProjeto(p, (pasta / "projeto.mvd").string()));
    p.Estrada.CurvaDescargaOriginal = CurvaOriginal();
    const int comprimento = p.Estrada.Comprimento();
    TTrecho t("descida", 0, comprimento, p.Estrada.Sc);
    t.Direito = TCanalLado::Nenhum;
    TOpcoesLocacao o;
    o.Fator = 1;
    const TResultadoLocacao r = LocarDesaguadouros(p, {t}, o);
    const TResultadoCalculo hoje = ExecutarCalculo(p, comprimento, nullptr, false);
    int primeiraQuePassa = comprimento + 1;
    for (const TLinhaSecao& l : hoje.Canal.Secoes)
        if (l.Perda > hoje.Canal.PerdaToleravel) {
            primeiraQuePassa = l.Secao;
            break;
        }
    ASSERT_FALSE(r.Desaguadouros.empty());
    const TDesaguadouro& primeiro = r.Desaguadouros.front();
    EXPECT_EQ(primeiro.Lado, TLado::Esquerdo);
    EXPECT_EQ(r.Desaguadouros.back().Posicao, comprimento);
    const bool sobeEDesce = GetParam() == "c13_perda_sobe_e_desce";
    auto dizQueVolta = [&] {
        for (const std::string& a : primeiro.Avisos)
            if (a.find("volta a ficar abaixo") != std::string::npos) return true;
        return false;
    };
    EXPECT_EQ(dizQueVolta(), sobeEDesce);
    if (primeiraQuePassa <= comprimento && primeiraQuePassa - 1 < 2) {
        // Já a segunda seção passa: hoje sem espaçamento (c06); em c13 a perda volta a zero
        // adiante, e a leitura a favor da segurança também fica sem espaçamento.
        EXPECT_TRUE(hoje.Canal.NenhumEspacamento || sobeEDesce);
        ASSERT_EQ(r.Desaguadouros.size(), 1u);
        EXPECT_TRUE(primeiro.NenhumEspacamento);
        return;
    }
    EXPECT_FALSE(sobeEDesce);
    EXPECT_EQ(primeiro.Posicao, std::min(primeiraQuePassa - 1, comprimento));
    EXPECT_EQ(primeiro.Posicao, hoje.Canal.Espacamento);
}

INSTANTIATE_TEST_SUITE_P(Casos, Referencia,
                         ::testing::Values("c01_canal_1m", "c02_trap_secao3_50m", "c03_equiv_200m",
                                           "c06_so_primeira_passa", "c08_legado",
                                           "c13_perda_sobe_e_desce", "c14_talude_sem_escoamento"));

} // namespace
