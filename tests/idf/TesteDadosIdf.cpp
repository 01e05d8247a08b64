// Validação das tabelas CSV que os geradores dos arquivos de dados recebem.
#include "tools/DadosIdf.h"

#include <gtest/gtest.h>

namespace {

const std::string Cabecalho = "uf,estacao,latitude,longitude,K,a,b,c,fonte,url,observacao\n";
const std::set<std::string> Chaves = {"FONTE-A", "FONTE-B"};

TMontagemEstacoes Montar(const std::string& linhas) {
    return MontarEstacoes(LerCsvTexto(Cabecalho + linhas, "estacoes.csv"), Chaves, "estacoes.csv");
}

bool Contem(const std::vector<std::string>& mensagens, const std::string& trecho) {
    for (const auto& m : mensagens)
        if (m.find(trecho) != std::string::npos) return true;
    return false;
}

TEST(LeitorCsv, AspasVirgulasEQuebrasDeLinhaContamALinhaDoRegistro) {
    const auto t = LerCsvTexto("\xEF\xBB\xBF"
                               "a,b\r\n\"x, \"\"y\"\"\",\"duas\nlinhas\"\n\nz,\n",
                               "t.csv");
    ASSERT_EQ(t.Cabecalho, (std::vector<std::string>{"a", "b"}));
    ASSERT_EQ(t.Registros.size(), 2u);
    EXPECT_EQ(t.Registros[0].Linha, 2);
    EXPECT_EQ(t.Registros[0].Campos, (std::vector<std::string>{"x, \"y\"", "duas\nlinhas"}));
    EXPECT_EQ(t.Registros[1].Linha, 5); // depois da quebra dentro das aspas e da linha vazia
    EXPECT_EQ(t.Registros[1].Campos, (std::vector<std::string>{"z", ""}));
    EXPECT_EQ(t.Coluna("B"), 1);
    EXPECT_THROW(LerCsvTexto("a\n\"aberta\n", "t.csv"), EMorvendo);
    EXPECT_THROW(LerCsvTexto("a\nmeio\"aspas\n", "t.csv"), EMorvendo);
}

TEST(MontarEstacoes, LinhaValidaViraRegistroOrdenado) {
    const auto m =
        Montar("MG,Viçosa,20.75389,42.88194,1500.5,0.2,10,0.8,FONTE-A,,\n"
               "MG,Araxá,19.59333,46.94056,2000,0.15,15,0.85,FONTE-B,,\"obs, com vírgula\"\n");
    ASSERT_TRUE(m.Erros.empty()) << m.Erros.front();
    ASSERT_EQ(m.Estacoes[12].size(), 2u);
    const TEstacao& e = m.Estacoes[12][1];
    EXPECT_EQ(m.Estacoes[12][0].Nome, "Araxá");
    EXPECT_EQ(e.Nome, "Viçosa");
    EXPECT_EQ(e.K, 1500.5);
    EXPECT_EQ(e.Autor, "FONTE-A");
    EXPECT_EQ(e.Latitude, "20°45'14\"");
    EXPECT_EQ(e.Longitude, "42°52'54\"");
}

TEST(MontarEstacoes, LinhasRuinsSaoRecusadasComONumeroDaLinha) {
    const std::string nome69(69, 'n');
    struct Caso {
        std::string Linha;
        const char* Trecho;
    };
    const Caso casos[] = {
        {"XX,A,20,42,1000,0.2,10,0.8,FONTE-A", "uf \"XX\""},
        {"MG,,20,42,1000,0.2,10,0.8,FONTE-A", "estacao vazio"},
        {"MG," + nome69 + ",20,42,1000,0.2,10,0.8,FONTE-A", "máximo é 68"},
        {"MG,Chuva ☔,20,42,1000,0.2,10,0.8,FONTE-A", "Windows-1252"},
        {"MG,A,20,42,1000,0.2,10,0.8,FONTE-NENHUMA", "não consta"},
        {"MG,A,20,42,1000,0.2,10,0.8," + std::string(31, 'k'), "máximo é 30"},
        {"MG,A,-20,-42,1000,0.2,10,0.8,FONTE-A", "fora do Brasil"},
        {"MG,A,20,12,1000,0.2,10,0.8,FONTE-A", "longitude 12 fora do Brasil"},
        {"MG,A,20,42,0,0.2,10,0.8,FONTE-A", "K deve ser positivo"},
        {"MG,A,20,42,1000,0.2,10,0,FONTE-A", "c deve ser positivo"},
        {"MG,A,20,42,1000,-0.2,10,0.8,FONTE-A", "a não pode ser negativo"},
        {"MG,A,20,42,1000,0.2,-1,0.8,FONTE-A", "b não pode ser negativo"},
        {"MG,A,20,42,\"1000,5\",0.2,10,0.8,FONTE-A", "não é um número"},
        {"MG,A,20,42,1000,nan,10,0.8,FONTE-A", "não é um número"},
    };
    for (const auto& c : casos) {
        const auto m = Montar("MG,Boa,20,42,1000,0.2,10,0.8,FONTE-A\n" + c.Linha + "\n");
        ASSERT_FALSE(m.Erros.empty()) << c.Linha;
        EXPECT_TRUE(Contem(m.Erros, "estacoes.csv, linha 3: ")) << m.Erros.front();
        EXPECT_TRUE(Contem(m.Erros, c.Trecho)) << c.Linha << " -> " << m.Erros.front();
        EXPECT_FALSE(Contem(m.Erros, "linha 2")) << c.Linha;
    }
    const auto semColuna =
        MontarEstacoes(LerCsvTexto("uf,estacao\nMG,A\n", "e.csv"), Chaves, "e.csv");
    EXPECT_TRUE(Contem(semColuna.Erros, "falta a coluna \"latitude\""));
}

// Colunas opcionais da verificação e da faixa de durações: lidas quando presentes, vazias
// valem "não informada", valores fora das regras recusam a linha.
TEST(MontarEstacoes, VerificacaoEFaixaDeDuracoes) {
    const std::string cab = "uf,estacao,latitude,longitude,K,a,b,c,fonte,verificacao,duracao_min,"
                            "duracao_max\n";
    const auto boa = MontarEstacoes(LerCsvTexto(cab + "MG,A,20,42,1000,0.2,10,0.8,FONTE-A,"
                                                      "convertida,10,1440\n"
                                                      "MG,B,21,42,1000,0.2,10,0.8,FONTE-A,"
                                                      "secundaria,,360\n",
                                                "estacoes.csv"),
                                    Chaves, "estacoes.csv");
    ASSERT_TRUE(boa.Erros.empty()) << boa.Erros.front();
    ASSERT_EQ(boa.Info.size(), 2u);
    EXPECT_EQ(boa.Info[0].Verificacao, TVerificacaoIdf::Convertida);
    EXPECT_EQ(boa.Info[0].DuracaoMin, 10);
    EXPECT_EQ(boa.Info[0].DuracaoMax, 1440);
    EXPECT_EQ(boa.Info[1].Verificacao, TVerificacaoIdf::Secundaria);
    EXPECT_EQ(boa.Info[1].DuracaoMin, 0);
    EXPECT_EQ(boa.Info[1].Uf, "MG");
    EXPECT_EQ(boa.Info[1].Estacao, "B");

    const struct {
        const char* Fim;
        const char* Trecho;
    } casos[] = {
        {"lida,10,60", "verificacao \"lida\" deve ser primaria, secundaria ou convertida"},
        {"primaria,0,60", "duracao_min deve ser maior que 0"},
        {"primaria,10,x", "duracao_max \"x\" não é um número"},
        {"primaria,60,10", "duracao_min deve ser menor que duracao_max"},
    };
    for (const auto& c : casos) {
        const auto m = MontarEstacoes(
            LerCsvTexto(cab + "MG,A,20,42,1000,0.2,10,0.8,FONTE-A," + c.Fim + "\n", "e.csv"),
            Chaves, "e.csv");
        EXPECT_TRUE(Contem(m.Erros, "e.csv, linha 2: ")) << c.Fim;
        EXPECT_TRUE(Contem(m.Erros, c.Trecho)) << c.Fim << " -> " << m.Erros.front();
        EXPECT_TRUE(m.Info.empty());
    }
}

TEST(MontarEstacoes, AvisosNaoRecusam) {
    // i(10, 60) de 0,5 mm/h, latitude ao norte, nome e coordenadas repetidos.
    const auto m = Montar("RR,Norte,-2.8,60.7,10,0.2,10,0.8,FONTE-A\n"
                          "MG,A,20,42,1000,0.2,10,0.8,FONTE-A\n"
                          "MG,A,20,42,1000,0.2,10,0.8,FONTE-B\n");
    EXPECT_TRUE(m.Erros.empty());
    EXPECT_TRUE(Contem(m.Avisos, "linha 2: i(T = 10 anos, t = 60 min) = 0.5 mm/h"));
    EXPECT_TRUE(Contem(m.Avisos, "linha 2: latitude ao norte"));
    EXPECT_TRUE(Contem(m.Avisos, "linha 4: estação \"A\" repetida"));
    EXPECT_TRUE(Contem(m.Avisos, "linha 4: mesmas coordenadas da linha 3"));
    ASSERT_EQ(m.Estacoes[22].size(), 1u);
    EXPECT_EQ(m.Estacoes[22][0].Latitude, "02°48'00\"");
}

TEST(MontarLocalidades, SinaisDoGazetteerViramMagnitudes) {
    const auto m = MontarLocalidades(
        LerCsvTexto("uf,nome,latitude,longitude\n"
                    "TO,Palmas,-10.16745,-48.32766\nAP,Oiapoque,3.84306,-51.83333\n"
                    "SP,Londres,51.5,-0.12\n",
                    "loc.csv"),
        "loc.csv");
    ASSERT_EQ(m.Erros.size(), 2u); // Londres: latitude e longitude fora
    EXPECT_TRUE(Contem(m.Erros, "loc.csv, linha 4: latitude 51.5"));
    ASSERT_EQ(m.Localidades[26].size(), 1u);
    EXPECT_EQ(m.Localidades[26][0].Latitude, "10°10'02\"");
    EXPECT_EQ(m.Localidades[26][0].Longitude, "48°19'39\"");
    EXPECT_EQ(m.Localidades[2][0].Latitude, "03°50'35\"");
    EXPECT_TRUE(Contem(m.Avisos, "1 localidades ao norte do equador"));
}

TEST(ChavesFontes, ChaveRepetidaOuLongaEErro) {
    TMontagem r;
    const auto chaves = ChavesFontes(
        LerCsvTexto("fonte,autores\nA,x\nA,y\n" + std::string(31, 'k') + ",z\n", "f.csv"), "f.csv",
        r);
    EXPECT_EQ(chaves, std::set<std::string>{"A"});
    EXPECT_TRUE(Contem(r.Erros, "f.csv, linha 3: fonte \"A\" repetida"));
    EXPECT_TRUE(Contem(r.Erros, "f.csv, linha 4:"));
}

} // namespace
