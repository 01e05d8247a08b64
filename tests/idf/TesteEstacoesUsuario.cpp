#include "idf/EstacoesUsuario.h"

#include "AuxiliaresIdf.h"
#include "comum/EMorvendo.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string Cabecalho =
    "uf,estacao,latitude,longitude,K,a,b,c,fonte,duracao_min,duracao_max\n";

TEstacaoUsuario Exemplo() {
    return {24,   "Campinas, \"centro\"", 22.9, 47.06, 2500.125, 0.2, 20, 0.9, 10,
            1440, "Estudo, com vírgula"};
}

} // namespace

// O arquivo gravado volta com os mesmos números, bit a bit, e textos com vírgula e aspas.
TEST(EstacoesUsuario, CsvGravadoVoltaIgual) {
    const auto lidas = LerCsvEstacoesUsuario(CsvEstacoesUsuario({Exemplo()}), "m.csv");
    ASSERT_EQ(lidas.size(), 1u);
    const auto& e = lidas[0];
    EXPECT_EQ(e.Nome, Exemplo().Nome);
    EXPECT_EQ(e.Fonte, Exemplo().Fonte);
    EXPECT_EQ(e.Estado, 24);
    EXPECT_EQ(e.K, 2500.125);
    EXPECT_EQ(e.Latitude, 22.9);
    EXPECT_EQ(e.DuracaoMax, 1440);
}

// A tabela distribuída inteira se importa como estações do usuário: a mesma disposição.
TEST(EstacoesUsuario, TabelaDistribuidaTemADisposicaoDaImportacao) {
    TPastaTemporaria p;
    TEstacoesUsuario m(p.Caminho());
    EXPECT_EQ(m.Importar(std::string(MORVENDO_FONTES_IDF) + "/estacoes.csv"), 9u);
    TEstacoesUsuario outra(p.Caminho());
    outra.Carregar();
    EXPECT_EQ(outra.Lista().size(), 9u);
}

// Cada linha ruim diz a linha e o campo; nada do arquivo entra.
TEST(EstacoesUsuario, LinhaRuimNomeiaLinhaECampo) {
    const struct {
        std::string Linha, Esperado;
    } casos[] = {
        {"XX,A,22,47,1000,0.2,10,0.8,F,,", "linha 3, campo uf"},
        {"SP,,22,47,1000,0.2,10,0.8,F,,", "linha 3, campo Nome"},
        {"SP,A,40,47,1000,0.2,10,0.8,F,,", "linha 3, campo Latitude"},
        {"SP,A,22,10,1000,0.2,10,0.8,F,,", "linha 3, campo Longitude"},
        {"SP,A,22,47,0,0.2,10,0.8,F,,", "linha 3, campo K"},
        {"SP,A,22,47,1000,0.2,10,0,F,,", "linha 3, campo c"},
        {"SP,A,22,47,1000,0.2,1e400,0.8,F,,", "linha 3, campo b"},
        {"SP,A,22,47,1000,0.2,10,0.8,,,", "linha 3, campo Fonte"},
        {"SP,A,22,47,1000,0.2,10,0.8,F,60,30", "linha 3, campo Duração mínima"},
    };
    for (const auto& c : casos) {
        TPastaTemporaria p;
        p.Gravar("ruim.csv", Cabecalho + "SP,Boa,22,47,1000,0.2,10,0.8,F,,\n" + c.Linha + "\n");
        TEstacoesUsuario m(p.Caminho());
        try {
            m.Importar(p.Arquivo("ruim.csv"));
            ADD_FAILURE() << c.Linha;
        } catch (const EMorvendo& e) {
            EXPECT_NE(std::string(e.what()).find("ruim.csv, " + c.Esperado), std::string::npos)
                << e.what();
        }
        EXPECT_TRUE(m.Lista().empty());
        EXPECT_FALSE(std::filesystem::exists(m.Caminho()));
    }
}

// Um arquivo com erro não é sobrescrito por uma inclusão.
TEST(EstacoesUsuario, ArquivoComErroNaoESobrescrito) {
    TPastaTemporaria p;
    p.Gravar(NomeArquivoEstacoesUsuario, Cabecalho + "SP,A,22,47,abc,0.2,10,0.8,F,,\n");
    TEstacoesUsuario m(p.Caminho());
    EXPECT_THROW(m.Carregar(), EMorvendo);
    EXPECT_THROW(m.Adicionar(Exemplo()), EMorvendo);
    EXPECT_EQ(LerArquivoDados(m.Caminho()), Cabecalho + "SP,A,22,47,abc,0.2,10,0.8,F,,\n");
}

// As estações do usuário de qualquer estado contam na interpolação, e as distribuídas mantêm
// as posições (o projeto guarda a posição da estação escolhida).
TEST(EstacoesUsuario, EntramNaInterpolacaoEmQualquerEstadoDepoisDasDistribuidas) {
    TBDPrecipitacao bd("");
    bd.Estacoes[12] = {TEstacao{"Viçosa", 1500, 0.2, 10, 0.8, "F", "20°45'14\"", "42°52'55\""}};
    // Viçosa fica a mais de 800 km: sem estação no raio, nada de interpolar.
    EXPECT_THROW(bd.InterpolarParametros("27°00'00\"", "53°00'00\""), ESemEstacoesNoRaio);
    TEstacaoUsuario rs = Exemplo();
    rs.Estado = 20;
    rs.Latitude = 27.1;
    rs.Longitude = 53.1;
    bd.DefinirEstacoesUsuario({EstacaoDoBanco(rs)}, {20});
    const TConsultaPonto depois = bd.Consultar("27°00'00\"", "53°00'00\"", 100);
    EXPECT_TRUE(depois.Interpolada);
    EXPECT_NEAR(depois.Resultado.K, rs.K, 1e-9 * rs.K);
    ASSERT_EQ(depois.Usadas.size(), 1u);
    EXPECT_TRUE(depois.Usadas[0].DoUsuario);
    EXPECT_EQ(bd.Estacoes[12].size(), 1u);
    bd.DefinirEstacoesUsuario({}, {});
    EXPECT_THROW(bd.InterpolarParametros("27°00'00\"", "53°00'00\""), ESemEstacoesNoRaio);
}
