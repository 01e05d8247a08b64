#include <gtest/gtest.h>

#include "Auxiliar.h"
#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "comum/Win1252.h"
#include "engine/uPersistencia.h"
#include "project/Projeto.h"

namespace {

struct TAberto {
    TUnidades unidades;
    TProjeto p{unidades};
    TAberto() { ZerarVariaveis(p); }
};

TEST(Projeto, GravadoELidoDeNovoDaOsMesmosValores) {
    TPastaTemporaria pasta("ida-e-volta");
    const fs::path original = DADOS_REFERENCIA + "c02_trap_secao3_50m.mvd";
    TAberto a;
    ASSERT_TRUE(LerProjeto(a.p, original.string()));
    EXPECT_EQ(a.p.Tarsio1.StrEstado, "São Paulo");
    EXPECT_EQ(a.p.Tarsio1.Latitude, "22°54'20\"");

    // Um arquivo novo sai na mesma ordem e com os mesmos textos do arquivo de origem.
    EscreverProjeto(a.p, (pasta / "novo.mvd").string());
    EXPECT_EQ(LerBytes(pasta / "novo.mvd"), LerBytes(original));

    // Os recíprocos m1/m2 e os reais gravados com vírgula voltam iguais.
    a.p.Estrada.TipoCanal.Valor = CANAL_TRIANGULAR;
    a.p.Estrada.Z.Valor = 2;
    a.p.Estrada.Sm.Valor = 1 / 4.0;
    a.p.Estrada.Bacia.CanalConducao.Z.Valor = 1 / 3.0;
    a.p.StrCoberVeg = "Floresta - Boa";
    DefinirSeparadorDecimalLocal(',');
    EscreverProjeto(a.p, (pasta / "virgula.mvd").string());
    DefinirSeparadorDecimalLocal('.');
    EXPECT_NE(LerBytes(pasta / "virgula.mvd").find("Sc=0,06\r\n"), std::string::npos);

    TAberto b;
    ASSERT_TRUE(LerProjeto(b.p, (pasta / "virgula.mvd").string()));
    EXPECT_EQ(b.p.Estrada.Sm.Valor, 0.25);
    EXPECT_EQ(b.p.Estrada.Z.Valor, 2);
    EXPECT_NEAR(b.p.Estrada.Bacia.CanalConducao.Z.Valor, 1 / 3.0, 1e-15);
    EXPECT_EQ(b.p.Estrada.Sc, 0.06);
    EXPECT_EQ(b.p.Chuva().K(), 2500);
    EXPECT_EQ(b.p.Chuva().C(), 0.85);
    EXPECT_EQ(b.p.StrCoberVeg, "Floresta - Boa");
    EXPECT_EQ(b.p.Estrada.Bacia.Formato, TBaciaAcumulacao::RETANGULAR);
    EXPECT_EQ(b.p.Estrada.Estrada.Secao(0).Comprimento(), 3);
    EXPECT_EQ(b.p.Estrada.Estrada.Secao(0).Cobertura.Tratamento.Indice, 1);
    EXPECT_EQ(b.p.Estrada.Estrada.Secao(0).Versao, "2");
    EXPECT_EQ(b.unidades.Erodibilidade, 0);
    EXPECT_EQ(b.unidades.FatorErodibilidade, 6.0);
}

TEST(Projeto, GravarPorCimaMantemOQueNaoEhDoProjeto) {
    TPastaTemporaria pasta("por-cima");
    const fs::path f = pasta / "p.mvd";
    GravarBytes(f, "[Anotacoes]\r\nautor=Ana\r\n[Encosta_Talude: Trecho 2]\r\nComprimento=9\r\n");
    TAberto a;
    EscreverProjeto(a.p, f.string());
    const std::string texto = LerBytes(f);
    EXPECT_EQ(texto.rfind("[Anotacoes]\r\nautor=Ana\r\n", 0), 0u);
    EXPECT_NE(texto.find("[Encosta_Talude: Trecho 2]"), std::string::npos);
    EXPECT_NE(texto.find("[VERSAO]\r\nVersao=1\r\n"), std::string::npos);
}

TEST(Projeto, ArquivoAntigoEhMigrado) {
    TPastaTemporaria pasta("legado");
    const fs::path f = pasta / "legado.mvd";
    fs::copy_file(DADOS_REFERENCIA + "c08_legado.mvd", f);
    TAberto a;
    ASSERT_TRUE(LerProjeto(a.p, f.string()));
    EXPECT_EQ(a.p.Chuva().K(), 1100);
    EXPECT_EQ(a.p.Chuva().A(), 0.17);
    EXPECT_EQ(a.p.Estrada.Z.Valor, 1.5);
    EXPECT_EQ(a.p.Estrada.Talude.Secao(0).Versao, "1");
    EXPECT_EQ(a.p.Estrada.Talude.Secao(0).Comprimento(), 25);
    EXPECT_EQ(a.p.Estrada.Talude.Secao(0).Cobertura.UsoTerra.Indice, 3);

    TArquivoIni ini(f.string());
    EXPECT_EQ(ini.LerTexto("PRECIPITACAO", "Versao", ""), "2");
    EXPECT_EQ(ini.LerTexto("PREC_EXPONENCIAL_NEGATIVA", "Versao", ""), "2");
    EXPECT_EQ(ini.LerReal("PREC_EXPONENCIAL_NEGATIVA", "K", 0), 1100);
    for (const char* chave : {"Duracao", "PrecipitacaoTotal", "Tr", "K", "A", "B", "C"})
        EXPECT_FALSE(ini.ExisteChave("TARSIO", chave)) << chave;
    EXPECT_EQ(ini.LerTexto("Encosta_Talude", "Versao", ""), "1"); // até ser gravado

    EscreverProjeto(a.p, f.string());
    TArquivoIni gravado(f.string());
    EXPECT_EQ(gravado.LerTexto("Encosta_Talude", "Versao", ""), "2");
    EXPECT_EQ(gravado.LerInteiro("Encosta_Talude", "Count", 0), 1);
    EXPECT_EQ(gravado.LerInteiro("Encosta_Talude: Trecho 1", "Comprimento", 0), 25);
    EXPECT_EQ(gravado.LerTexto("Terreno_Talude: Trecho 1", "VIB", ""), "35");
}

struct TFalhaLeitura {
    const char* nome;
    const char* padrao;
    const char* troca;
    // Resultado: "recusado", "falso", "verdadeiro" ou o começo da mensagem de erro.
    const char* esperado;
};

void PrintTo(const TFalhaLeitura& c, std::ostream* os) { *os << c.nome; }

class LeituraComDefeito : public ::testing::TestWithParam<TFalhaLeitura> {};

TEST_P(LeituraComDefeito, Resultado) {
    const TFalhaLeitura& c = GetParam();
    TPastaTemporaria pasta(std::string("defeito-") + c.nome);
    const fs::path f = pasta / "projeto.mvd";
    const std::string original = LerBytes(DADOS_REFERENCIA + "c03_equiv_200m.mvd");
    const std::string texto = Trocar(original, c.padrao, c.troca);
    ASSERT_NE(texto, original) << "o padrão não casou";
    GravarBytes(f, texto);

    TAberto a;
    const std::string esperado = c.esperado;
    if (esperado == "recusado") {
        try {
            LerProjeto(a.p, f.string());
            FAIL();
        } catch (const EArquivoRecusado& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Ocorreu um erro ao tentar ler o arquivo " + f.string() + ".");
        }
        EXPECT_EQ(LerBytes(f), texto); // arquivo recusado fica intacto
    } else if (esperado == "falso" || esperado == "verdadeiro") {
        EXPECT_EQ(LerProjeto(a.p, f.string()), esperado == "verdadeiro");
    } else {
        try {
            LerProjeto(a.p, f.string());
            FAIL();
        } catch (const EMorvendo& e) {
            EXPECT_EQ(std::string(e.what()).rfind(esperado, 0), 0u) << e.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Projeto, LeituraComDefeito,
    ::testing::Values(
        TFalhaLeitura{"sem_versao", "\\[VERSAO\\]\r\nVersao=1", "", "recusado"},
        TFalhaLeitura{"versao_2", "\\[VERSAO\\]\r\nVersao=1", "[VERSAO]\r\nVersao=2", "recusado"},
        TFalhaLeitura{"tipo_canal", "TipoCanal=1", "TipoCanal=5", "falso"},
        TFalhaLeitura{"indice_z", "IndZ=-1", "IndZ=-2", "falso"},
        TFalhaLeitura{"indice_z_tabela", "IndZ=-1", "IndZ=3", "verdadeiro"},
        TFalhaLeitura{"tarsio_versao", "\\[TARSIO\\]\r\nVersao=1", "[TARSIO]\r\nVersao=7",
                      "falso"},
        TFalhaLeitura{"chuva_versao", "\\[PRECIPITACAO\\]\r\nVersao=2",
                      "[PRECIPITACAO]\r\nVersao=9", "verdadeiro"},
        TFalhaLeitura{"canal_estrada", "\\[CanalEstrada_ESTRADA\\]\r\nVersao=1",
                      "[CanalEstrada_ESTRADA]\r\nVersao=0", "falso"},
        TFalhaLeitura{"bacia", "\\[BaciaAcumulacao\\]\r\nVersao=1",
                      "[BaciaAcumulacao]\r\nVersao=2", "falso"},
        TFalhaLeitura{"conta_maior", "Count=1", "Count=2",
                      "Ocorreu um erro ao tentar ler os dados da encosta de número 2 no arquivo /"},
        TFalhaLeitura{"conta_256", "Count=1", "Count=256", "verdadeiro"},
        TFalhaLeitura{"versao_encosta", "\\[Encosta_Talude\\]\r\nVersao=2",
                      "[Encosta_Talude]\r\nVersao=3",
                      "O arquivo projeto.mvd não é uma versão compatível."},
        TFalhaLeitura{"comprimento_negativo", "(\\[Encosta_Talude: Trecho 1\\]\r\nVersao=2\r\n)"
                                              "Comprimento=[0-9]+",
                      "$1Comprimento=-4", "Ocorreu um erro ao tentar ler os dados da encosta de "
                                          "número 1"},
        TFalhaLeitura{"cobertura", "IndUso=[0-9]", "IndUso=6",
                      "Ocorreu um erro ao tentar ler os dados da encosta de número 1"},
        TFalhaLeitura{"rugosidade", "Indnt=0", "Indnt=-1",
                      "Ocorreu um erro ao tentar ler os dados da encosta de número 1"},
        TFalhaLeitura{"sem_unidades", "\\[UNIDADES\\]\r\nVersao=1", "[UNIDADES]\r\nVersao=",
                      "falso"},
        TFalhaLeitura{"unidade_fora", "\nVI=[0-9]", "\nVI=7", "falso"},
        TFalhaLeitura{"binario", "^[^]*$", "\x01\xff[x\n\x80\x1b]zz\r\r", "recusado"}),
    [](const ::testing::TestParamInfo<TFalhaLeitura>& i) { return std::string(i.param.nome); });

TEST(Projeto, ArquivoAusenteOuVazio) {
    TPastaTemporaria pasta("ausente");
    TAberto a;
    EXPECT_THROW(LerProjeto(a.p, (pasta / "nao-existe.mvd").string()), EArquivoNaoExiste);
    GravarBytes(pasta / "vazio.mvd", "");
    EXPECT_THROW(LerProjeto(a.p, (pasta / "vazio.mvd").string()), EArquivoRecusado);
    EXPECT_EQ(LerBytes(pasta / "vazio.mvd"), "");
}

// Uma pasta no lugar do projeto é dita pasta; um projeto gravado em UTF-8 com a marca no
// início é lido com os mesmos valores.
TEST(Projeto, PastaEMarcaUtf8) {
    TPastaTemporaria pasta("pasta-bom");
    TAberto a;
    try {
        LerProjeto(a.p, pasta.Caminho.string());
        FAIL();
    } catch (const EArquivoNaoExiste& e) {
        EXPECT_EQ(std::string(e.what()),
                  pasta.Caminho.string() + " é uma pasta, não um arquivo de projeto.");
    }

    const std::string original = LerBytes(DADOS_REFERENCIA + "c03_equiv_200m.mvd");
    GravarBytes(pasta / "sem.mvd", original);
    // Como um editor a grava de volta: UTF-8 com a marca.
    GravarBytes(pasta / "com.mvd", "\xEF\xBB\xBF" + win1252::ParaUtf8(original));
    TAberto sem, com;
    ASSERT_TRUE(LerProjeto(sem.p, (pasta / "sem.mvd").string()));
    ASSERT_TRUE(LerProjeto(com.p, (pasta / "com.mvd").string()));
    EXPECT_EQ(com.p.Estrada.TrDim, sem.p.Estrada.TrDim);
    EXPECT_EQ(com.p.Estrada.Comprimento(), sem.p.Estrada.Comprimento());
    EXPECT_EQ(com.p.Chuva().K(), sem.p.Chuva().K());
    EXPECT_EQ(com.p.StrCoberVeg, sem.p.StrCoberVeg);
}

TEST(Projeto, FalhasDeixamEstadoPrevisivel) {
    TPastaTemporaria pasta("estado");
    const std::string original = LerBytes(DADOS_REFERENCIA + "c03_equiv_200m.mvd");
    // Sem [UNIDADES]: as unidades voltam ao padrão.
    GravarBytes(pasta / "a.mvd", Trocar(original, "\\[UNIDADES\\]", "[OUTRA]"));
    TAberto a;
    a.unidades.SetVI(3);
    EXPECT_FALSE(LerProjeto(a.p, (pasta / "a.mvd").string()));
    EXPECT_EQ(a.unidades.VI, 1);
    EXPECT_EQ(a.unidades.UnidadeVI, "mm/h");

    // Trecho 2 inexistente: a área externa fica vazia.
    GravarBytes(pasta / "b.mvd", Trocar(original, "Count=1", "Count=2"));
    TAberto b;
    EXPECT_THROW(LerProjeto(b.p, (pasta / "b.mvd").string()), EMorvendo);
    EXPECT_EQ(b.p.Estrada.Talude.NumSecoes(), 0);

    // Conta de 256 guarda 0 planos (8 bits).
    GravarBytes(pasta / "c.mvd", Trocar(original, "Count=1", "Count=256"));
    TAberto c;
    EXPECT_TRUE(LerProjeto(c.p, (pasta / "c.mvd").string()));
    EXPECT_EQ(c.p.Estrada.Talude.NumSecoes(), 0);
}

TEST(Unidades, LeituraGravacaoEFatores) {
    TPastaTemporaria pasta("unidades");
    TArquivoIni ini((pasta / "m.ini").string());
    TUnidades u;
    EXPECT_FALSE(u.Ler(ini));
    EXPECT_EQ(u.Declividade, 1);
    EXPECT_EQ(u.FatorVI, 1.0);

    ini.EscreverTexto("UNIDADES", "Versao", "1");
    ini.EscreverInteiro("UNIDADES", "Comprimento", 3);
    ini.EscreverInteiro("UNIDADES", "Declividade", 0);
    ini.EscreverInteiro("UNIDADES", "VI", 7);
    ini.EscreverInteiro("UNIDADES", "Erodibilidade", 0);
    EXPECT_FALSE(u.Ler(ini));
    EXPECT_EQ(u.UnidadeComprimento, "km");
    EXPECT_EQ(u.FatorDeclividade, 100);
    EXPECT_EQ(u.UnidadeDeclividade, "%");
    EXPECT_EQ(u.VI, 1);            // fica o anterior
    EXPECT_EQ(u.Erodibilidade, 1); // não chegou a ser lido

    u.SetVI(2);
    EXPECT_EQ(u.FatorVI, 0.024);
    EXPECT_EQ(u.UnidadeVI, "m/dia");
    u.SetErodibilidade(0);
    // s/m = kg/(m²·s·Pa) = 6 g/(cm²·min·Pa): o rótulo tem de dizer a mesma unidade do fator.
    EXPECT_EQ(u.FatorErodibilidade, 6.0);
    EXPECT_EQ(u.UnidadeErodibilidade, "kg/m².s.Pa");
    u.SetVI(9); // fora da tabela: guarda a opção, mantém rótulo e fator
    EXPECT_EQ(u.UnidadeVI, "m/dia");
    u.SetVI(3);
    u.Estado = 12;
    u.Gravar(ini);
    TUnidades v;
    EXPECT_TRUE(v.Ler(ini));
    EXPECT_EQ(v.VI, 3);
    EXPECT_EQ(v.Estado, 12);
    EXPECT_EQ(v.Comprimento, 3);
}

} // namespace
