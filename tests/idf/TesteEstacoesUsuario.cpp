#include "idf/AjusteIdf.h"
#include "idf/ConsultaIdf.h"
#include "idf/EstacoesUsuario.h"

#include "AuxiliaresIdf.h"
#include "comum/EMorvendo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

namespace {

const std::string Cabecalho = "uf,estacao,latitude,longitude,K,a,b,c,fonte,duracao_min,"
                              "duracao_max,tr_min,tr_max,erro_rms_pct,erro_max_pct\n";

TEstacaoUsuario Exemplo() {
    return {24,   "Campinas, \"centro\"", 22.9, 47.06, 2500.125, 0.2, 20, 0.9, 10,
            1440, "Estudo, com vírgula"};
}

} // namespace

// O arquivo gravado volta com os mesmos números, bit a bit, e textos com vírgula e aspas;
// as faixas e os erros do ajuste voltam, e o que não se sabe continua não sabido.
TEST(EstacoesUsuario, CsvGravadoVoltaIgual) {
    TEstacaoUsuario ajustada = Exemplo();
    ajustada.Nome = "Ajustada";
    ajustada.TrMin = 2;
    ajustada.TrMax = 100;
    ajustada.ErroRmsPct = 1.2345678901234567;
    ajustada.ErroMaximoPct = 4.5;
    const auto lidas = LerCsvEstacoesUsuario(CsvEstacoesUsuario({Exemplo(), ajustada}), "m.csv");
    ASSERT_EQ(lidas.size(), 2u);
    const auto& e = lidas[0];
    EXPECT_EQ(e.Nome, Exemplo().Nome);
    EXPECT_EQ(e.Fonte, Exemplo().Fonte);
    EXPECT_EQ(e.Estado, 24);
    EXPECT_EQ(e.K, 2500.125);
    EXPECT_EQ(e.Latitude, 22.9);
    EXPECT_EQ(e.DuracaoMax, 1440);
    EXPECT_EQ(e.TrMin, 0);
    EXPECT_FALSE(e.ErroRmsPct);
    EXPECT_FALSE(e.ErroMaximoPct);
    const auto& a = lidas[1];
    EXPECT_EQ(a.TrMin, 2);
    EXPECT_EQ(a.TrMax, 100);
    EXPECT_EQ(a.ErroRmsPct, ajustada.ErroRmsPct);
    EXPECT_EQ(a.ErroMaximoPct, 4.5);
}

// Um arquivo de antes das faixas e dos erros se lê (não se sabe), e as colunas que o usuário
// acrescentou voltam ao arquivo quando o programa o regrava.
TEST(EstacoesUsuario, ArquivoAntigoEColunasDoUsuario) {
    TPastaTemporaria p;
    p.Gravar(NomeArquivoEstacoesUsuario,
             "uf,estacao,latitude,longitude,K,a,b,c,fonte,duracao_min,duracao_max,Bacia,nota\n"
             "SP,A,22,47,1000,0.2,10,0.8,F,5,1440,Piracicaba,\"revisar, 2024\"\n"
             "SP,B,22.5,47.5,1100,0.2,12,0.8,G,,,,\n");
    TEstacoesUsuario m(p.Caminho());
    m.Carregar();
    ASSERT_EQ(m.Lista().size(), 2u);
    EXPECT_EQ(m.Lista()[0].TrMax, 0);
    EXPECT_FALSE(m.Lista()[0].ErroRmsPct);
    const std::vector<std::pair<std::string, std::string>> outras = {{"Bacia", "Piracicaba"},
                                                                     {"nota", "revisar, 2024"}};
    EXPECT_EQ(m.Lista()[0].OutrasColunas, outras);

    m.Remover(1);
    TEstacaoUsuario c = Exemplo();
    c.Nome = "C";
    m.Adicionar(c);
    const std::string gravado = LerArquivoDados(m.Caminho());
    EXPECT_EQ(gravado.substr(0, gravado.find('\n')),
              "uf,estacao,latitude,longitude,K,a,b,c,fonte,duracao_min,duracao_max,tr_min,tr_max,"
              "erro_rms_pct,erro_max_pct,anos_serie,Bacia,nota");
    EXPECT_NE(gravado.find(",F,5,1440,,,,,,Piracicaba,\"revisar, 2024\"\n"), std::string::npos)
        << gravado;
    TEstacoesUsuario outra(p.Caminho());
    outra.Carregar();
    ASSERT_EQ(outra.Lista().size(), 2u);
    EXPECT_EQ(outra.Lista()[0].OutrasColunas, outras);
    for (const auto& [nome, valor] : outra.Lista()[1].OutrasColunas)
        EXPECT_EQ(valor, "") << nome;
}

// Salva de um ajuste: K, a, b, c, as faixas da tabela e os erros em %, que o relatório mostra.
TEST(EstacoesUsuario, EstacaoDeUmAjuste) {
    TResultadoAjusteIdf r;
    r.Parametros = {1500, 0.18, 1, 0.767};
    r.ErroRms = 0.021;
    r.ErroMaximo = 0.0624;
    r.DuracaoMin = 5;
    r.DuracaoMax = 1440;
    r.TrMin = 2;
    r.TrMax = 100;
    TEstacaoUsuario e = Exemplo();
    DefinirAjuste(e, r);
    EXPECT_NO_THROW(ConferirEstacaoUsuario(e));
    EXPECT_EQ(e.B, 1);
    EXPECT_EQ(e.DuracaoMin, 5);
    EXPECT_EQ(e.TrMax, 100);
    const TInfoEstacaoIdf info = InfoEstacaoUsuario(e);
    EXPECT_EQ(info.TrMin, 2);
    EXPECT_EQ(TextoErrosAjuste(info), "RMS 2,1 %, maior 6,24 %");
    EXPECT_EQ(TextoErrosAjuste(InfoEstacaoUsuario(Exemplo())), "");
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
        {"SP,A,22,47,1000,0.2,10,0.8,F,,,0.5,,,", "linha 3, campo Período de retorno mínimo"},
        {"SP,A,22,47,1000,0.2,10,0.8,F,,,100,2,,", "linha 3, campo Período de retorno mínimo"},
        {"SP,A,22,47,1000,0.2,10,0.8,F,,,,20000,,", "linha 3, campo Período de retorno máximo"},
        {"SP,A,22,47,1000,0.2,10,0.8,F,,,,,-1,", "linha 3, campo Erro RMS do ajuste"},
        {"SP,A,22,47,1000,0.2,10,0.8,F,,,,,,x", "linha 3, campo erro_max_pct"},
        // K, a, b e c nas faixas da página de dados, com o valor lido e a faixa.
        {"SP,A,22,47,1e308,0.2,10,0.8,F,,",
         "linha 3, campo K deve ser maior que 0 e no máximo 100000 (lido: 1E308)."},
        {"SP,A,22,47,1000,0.2,0,0.8,F,,",
         "linha 3, campo b (min) deve ser maior que 0 e no máximo 1000 (lido: 0)."},
        {"SP,A,22,47,1000,0,10,0.8,F,,",
         "linha 3, campo a deve ser maior que 0 e no máximo 1 (lido: 0)."},
        {"SP,A,22,47,1000,0.2,10,3.5,F,,",
         "linha 3, campo c deve ser maior que 0 e no máximo 3 (lido: 3.5)."},
        // Ao norte do equador: recusada, nunca levada para o sul.
        {"RR,A,-2.82,60.67,1000,0.2,10,0.8,F,,",
         "linha 3, campo Latitude (graus decimais, sul positivo) deve estar entre 0 e 33,8 "
         "(lido: -2.82): a consulta representa o território brasileiro ao sul do equador"},
        // O mesmo nome duas vezes no mesmo estado: as duas linhas.
        {"SP,Boa,22.5,47.5,2000,0.2,10,0.8,G,,",
         "linha 3, campo estacao: a estação \"Boa\" de São Paulo já está na linha 2"},
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
    TBancoEstacoes bd("");
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

// A consulta pela linha de comando que cai numa estação ajustada diz os erros do ajuste.
TEST(EstacoesUsuario, ConsultaDizOErroDoAjuste) {
    TPastaTemporaria comuns, usuario;
    comuns.Gravar(NomeArquivoEstacoes, ArquivoEstacoes(TEstacoesPorEstado{}));
    TEstacaoUsuario e = Exemplo();
    e.ErroRmsPct = 2.1;
    e.ErroMaximoPct = 6.24;
    TEstacoesUsuario(usuario.Caminho()).Adicionar(e);
    std::ostringstream saida, erros;
    ASSERT_EQ(ConsultarIdf("22.9", "47.06", comuns.Caminho(), usuario.Caminho(), 100, saida, erros),
              0)
        << erros.str();
    EXPECT_NE(saida.str().find("Fonte: Estudo, com vírgula\nErro do ajuste: RMS 2,1 %, maior "
                               "6,24 %\n"),
              std::string::npos)
        << saida.str();
}

// Colunas que o usuário acrescentou voltam ao arquivo depois de uma inclusão, em ordem e com os
// valores das linhas que já estavam, também sem estação nenhuma, com nome repetido, sem nome ou
// além do cabeçalho; a linha nova fica com elas vazias.
TEST(EstacoesUsuario, ColunasDoUsuarioSobrevivemAInclusao) {
    const std::string base = "uf,estacao,latitude,longitude,K,a,b,c,fonte";
    const std::string nossas =
        ",duracao_min,duracao_max,tr_min,tr_max,erro_rms_pct,erro_max_pct,anos_serie";
    const std::string linha = "SP,A,22,47,1000,0.2,10,0.8,F";
    const std::string vazias = ",,,,,,,";
    const struct {
        const char* Caso;
        std::string Arquivo, Cabecalho, LinhaA; // LinhaA vazia: o arquivo não tinha estação
    } casos[] = {
        {"obs", base + ",obs\n" + linha + ",medido em 1998 pelo DER\n", base + nossas + ",obs",
         linha + vazias + ",medido em 1998 pelo DER"},
        {"só o cabeçalho", base + ",obs\n", base + nossas + ",obs", ""},
        {"nome repetido", base + ",obs,obs\n" + linha + ",1,2\n", base + nossas + ",obs,obs",
         linha + vazias + ",1,2"},
        {"coluna conhecida repetida", base + ",fonte\n" + linha + ",outra fonte\n",
         base + nossas + ",fonte", linha + vazias + ",outra fonte"},
        {"sem nome", base + ",\n" + linha + ",valor\n", base + nossas + ",",
         linha + vazias + ",valor"},
        {"além do cabeçalho", base + "\n" + linha + ",\"a, b\",c\n", base + nossas + ",,",
         linha + vazias + ",\"a, b\",c"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Caso);
        TPastaTemporaria p;
        p.Gravar(NomeArquivoEstacoesUsuario, c.Arquivo);
        TEstacoesUsuario m(p.Caminho());
        m.Carregar();
        TEstacaoUsuario nova = Exemplo();
        nova.Nome = "Nova";
        m.Adicionar(nova);
        const std::string gravado = LerArquivoDados(m.Caminho());
        EXPECT_EQ(gravado.substr(0, gravado.find('\n')), c.Cabecalho);
        if (!c.LinhaA.empty()) {
            EXPECT_NE(gravado.find("\n" + c.LinhaA + "\n"), std::string::npos) << gravado;
        }
        // A nova tem as colunas do usuário vazias, e o arquivo regravado se lê igual.
        const auto lido = LerArquivoEstacoesUsuario(gravado, "m.csv");
        ASSERT_FALSE(lido.Estacoes.empty());
        EXPECT_EQ(lido.Estacoes.back().OutrasColunas.size(), lido.OutrasColunas.size());
        for (const auto& [nome, valor] : lido.Estacoes.back().OutrasColunas)
            EXPECT_EQ(valor, "") << nome;
        TEstacoesUsuario outra(p.Caminho());
        outra.Carregar();
        outra.Remover(outra.Lista().size() - 1);
        outra.Adicionar(nova);
        EXPECT_EQ(LerArquivoDados(m.Caminho()), gravado);
    }
}

// Latitudes de 0 a 33,8 graus ao sul voltam iguais do arquivo e da consulta; nada passa para
// o outro hemisfério.
TEST(EstacoesUsuario, HemisferioDaLatitudeNaoMuda) {
    for (const double lat : {0.0, 2.82, 22.9, 33.8}) {
        TEstacaoUsuario e = Exemplo();
        e.Latitude = lat;
        const auto lidas = LerCsvEstacoesUsuario(CsvEstacoesUsuario({e}), "m.csv");
        ASSERT_EQ(lidas.size(), 1u);
        EXPECT_EQ(lidas[0].Latitude, lat);
        // O banco guarda a magnitude ao sul, truncada ao segundo.
        EXPECT_NEAR(GrausDecimais(EstacaoDoBanco(lidas[0]).Latitude), lat, 1 / 3600.0);
    }
    for (const double lat : {-2.82, -0.001, 33.9}) {
        TEstacaoUsuario e = Exemplo();
        e.Latitude = lat;
        try {
            ConferirEstacaoUsuario(e);
            ADD_FAILURE() << lat;
        } catch (const EMorvendo& erro) {
            EXPECT_EQ(std::string(erro.what())
                          .rfind("O campo Latitude (graus decimais, sul "
                                 "positivo) deve estar entre 0 e 33,8",
                                 0),
                      0u)
                << erro.what();
        }
    }
}

// "-0" é o equador, como "0": volta ao arquivo sem o sinal, que o faria parecer ao norte.
TEST(EstacoesUsuario, EquadorComSinalVoltaSemEle) {
    const auto lidas =
        LerCsvEstacoesUsuario(Cabecalho + "AP,Macapá,-0,51.07,1000,0.2,10,0.8,F,,\n", "m.csv");
    ASSERT_EQ(lidas.size(), 1u);
    EXPECT_FALSE(std::signbit(lidas[0].Latitude));
    EXPECT_NE(CsvEstacoesUsuario(lidas).find("\nAP,Macapá,0,51.07,"), std::string::npos);
    EXPECT_EQ(EstacaoDoBanco(lidas[0]).Latitude, "00°00'00\"");
}

// Os anos da série de chuvas diárias de que a estação foi ajustada voltam do arquivo e chegam à
// consulta; sem a coluna (arquivo antigo) ou vazia, a estação não veio de uma série. Um valor
// que não é um número inteiro de anos recusa o arquivo com a linha e o campo.
TEST(EstacoesUsuario, AnosDaSerieDeChuvas) {
    TEstacaoUsuario e = Exemplo(), semSerie = Exemplo();
    e.AnosSerie = 27;
    semSerie.Nome = "Sem série";
    const auto lidas = LerCsvEstacoesUsuario(CsvEstacoesUsuario({e, semSerie}), "m.csv");
    ASSERT_EQ(lidas.size(), 2u);
    EXPECT_EQ(lidas[0].AnosSerie, 27);
    EXPECT_EQ(InfoEstacaoUsuario(lidas[0]).AnosSerie, 27);
    EXPECT_EQ(lidas[1].AnosSerie, 0);
    EXPECT_EQ(
        LerCsvEstacoesUsuario(Cabecalho + "SP,A,22,47,1000,0.2,10,0.8,F,,\n", "m.csv")[0].AnosSerie,
        0);

    const std::string comAnos = "uf,estacao,latitude,longitude,K,a,b,c,fonte,anos_serie\n";
    for (const char* anos : {"2.5", "-3", "1e300", "1001", "abc"}) {
        SCOPED_TRACE(anos);
        try {
            LerCsvEstacoesUsuario(comAnos + "SP,A,22,47,1000,0.2,10,0.8,F," + anos + "\n", "m.csv");
            ADD_FAILURE();
        } catch (const EMorvendo& erro) {
            const std::string m = erro.what();
            EXPECT_EQ(m.rfind("m.csv, linha 2, campo ", 0), 0u) << m;
            EXPECT_TRUE(m.find("Anos da série de chuvas diárias deve ficar vazio ou ser um "
                               "número inteiro de 1 a 1000") != std::string::npos ||
                        m.find("anos_serie: \"abc\" não é um número") != std::string::npos)
                << m;
        }
    }
}

// Estado e nome são a chave: a importação recusa o que já está (as duas linhas), e a consulta
// numa estação dá a fonte dela, não a de outra com o mesmo nome no mesmo lugar.
TEST(EstacoesUsuario, NomeRepetidoNaoMisturaEstacoes) {
    TPastaTemporaria comuns, usuario;
    comuns.Gravar(NomeArquivoEstacoes, ArquivoEstacoes(TEstacoesPorEstado{}));
    TEstacoesUsuario m(usuario.Caminho());
    TEstacaoUsuario sp = Exemplo(), mg = Exemplo();
    sp.Nome = mg.Nome = "Divisa";
    sp.Fonte = "Fonte SP";
    mg.Estado = 12;
    mg.K = 3000;
    mg.Fonte = "Fonte MG";
    m.Adicionar(sp);
    m.Adicionar(mg);
    std::ostringstream saida, erros;
    ASSERT_EQ(ConsultarIdf("22.9", "47.06", comuns.Caminho(), usuario.Caminho(), 100, saida, erros),
              0)
        << erros.str();
    const std::string s = saida.str();
    const bool primeira = s.find("K: 2500.125\n") != std::string::npos;
    EXPECT_NE(s.find(primeira ? "Fonte: Fonte SP\n" : "Fonte: Fonte MG\n"), std::string::npos) << s;
    EXPECT_NE(s.find(primeira ? "Outra estacao a menos de 1 km: Divisa (MG)"
                              : "Outra estacao a menos de 1 km: Divisa (SP)"),
              std::string::npos)
        << s;

    usuario.Gravar("importar.csv", Cabecalho + "MG,Outra,20,44,1000,0.2,10,0.8,F,,\n" +
                                       "MG,Divisa,20,44,1000,0.2,10,0.8,F,,\n");
    try {
        m.Importar(usuario.Arquivo("importar.csv"));
        ADD_FAILURE();
    } catch (const EMorvendo& e) {
        EXPECT_NE(
            std::string(e.what()).find("importar.csv, linha 3, campo estacao: Já existe entre "
                                       "as suas estações uma com o nome \"Divisa\" em Minas "
                                       "Gerais (linha 2 de Minhas estações)"),
            std::string::npos)
            << e.what();
    }
    EXPECT_EQ(m.Lista().size(), 2u);
    EXPECT_THROW(m.Substituir(0, mg), EMorvendo);
}
