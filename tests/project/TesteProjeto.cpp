#include <gtest/gtest.h>

#include "Auxiliar.h"
#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "comum/Win1252.h"
#include "engine/Persistencia.h"
#include "project/Calculo.h"
#include "project/Locacao.h"
#include "project/Projeto.h"

#include <sstream>
#include <tuple>

namespace {

struct TAberto {
    TUnidades unidades;
    TProjeto p{unidades};
    TAberto() { ZerarVariaveis(p); }
};

// "Novo" depois de um projeto aberto dá o mesmo projeto que "Novo" ao começar: cada dado do
// arquivo, inclusive o solo, os períodos de retorno e a seção, volta ao de um projeto novo.
TEST(Projeto, NovoNaoHerdaNadaDoProjetoAnterior) {
    TPastaTemporaria pasta("novo");
    TUnidades unidades;
    TProjeto novo(unidades), depois(unidades);
    for (const char* caso : {"c02_trap_secao3_50m", "c03_equiv_200m", "c13_perda_sobe_e_desce"}) {
        SCOPED_TRACE(caso);
        ZerarVariaveis(depois);
        ASSERT_TRUE(LerProjeto(depois, DADOS_REFERENCIA + caso + ".mvd"));
        depois.Trechos = {{"A", 0, 200, 0.05}};
        depois.FatorEspacamento = 0.6;
        depois.Identificacao.Estrada = "MG-123";
        ZerarVariaveis(depois);
        // As unidades (e o estado da consulta, que vem delas) são da configuração do usuário,
        // não do projeto: as mesmas nos dois.
        ZerarVariaveis(novo);
        EscreverProjeto(novo, (pasta / "novo.mvd").string());
        EscreverProjeto(depois, (pasta / "depois.mvd").string());
        EXPECT_EQ(LerBytes(pasta / "novo.mvd"), LerBytes(pasta / "depois.mvd"));
    }
}

// Um cálculo, a locação dos desaguadouros e as suas etapas nunca mudam o projeto: gravado
// depois, o arquivo é o mesmo de antes (o período de retorno da chuva ficava o da bacia).
TEST(Projeto, CalculoELocacaoNaoMudamOProjeto) {
    TPastaTemporaria pasta("calculo-nao-muda");
    for (const char* caso : {"c02_trap_secao3_50m", "c03_equiv_200m"}) {
        SCOPED_TRACE(caso);
        TAberto a;
        ASSERT_TRUE(LerProjeto(a.p, DADOS_REFERENCIA + caso + ".mvd"));
        EscreverProjeto(a.p, (pasta / "antes.mvd").string());
        TResultadoCalculo r;
        ExecutarCalculo(a.p, a.p.Estrada.Comprimento(), nullptr, r);
        ASSERT_TRUE(r.Bacia);
        LocarDesaguadouros(a.p, {{"A", 0, 60, 0.04}, {"B", 60, 40, -0.03}}, TOpcoesLocacao{});
        EscreverProjeto(a.p, (pasta / "depois.mvd").string());
        EXPECT_EQ(LerBytes(pasta / "antes.mvd"), LerBytes(pasta / "depois.mvd"));
    }
}

// A estrada do mapa gravada com o projeto: os caminhos relativos à pasta do projeto voltam
// absolutos; uma opção ilegível ou fora da faixa da janela recusa o arquivo com a chave.
TEST(Projeto, EstradaDoMapaVoltaOuERecusada) {
    TPastaTemporaria pasta("estrada-mapa");
    const fs::path f = pasta / "m.mvd";
    TAberto a;
    ASSERT_TRUE(LerProjeto(a.p, DADOS_REFERENCIA + "c03_equiv_200m.mvd"));
    TEstradaMapaProjeto e;
    e.Linha = (pasta / "mapas" / "estrada.gpx").string();
    e.Feicao = 3;
    e.DoFim = true;
    e.Janela = 35;
    a.p.EstradaMapa = e;
    EscreverProjeto(a.p, f.string());
    const std::string texto = LerBytes(f);
    EXPECT_NE(texto.find("Linha=mapas/estrada.gpx"), std::string::npos);
    TAberto b;
    ASSERT_TRUE(LerProjeto(b.p, f.string()));
    ASSERT_TRUE(b.p.EstradaMapa);
    EXPECT_EQ(*b.p.EstradaMapa, e);
    for (const auto& [de, para] : {std::pair{"Janela=35", "Janela=abc"},
                                   {"Janela=35", "Janela=5000"},
                                   {"TrechoMinimo=20", "TrechoMinimo=0"},
                                   {"DoFim=1", "DoFim=sim"},
                                   {"Feicao=3", "Feicao=3.5"}}) {
        GravarBytes(f, Trocar(texto, de, para));
        TAberto c;
        try {
            LerProjeto(c.p, f.string());
            ADD_FAILURE() << para;
        } catch (const EMorvendo& x) {
            const std::string chave = std::string(para).substr(0, std::string(para).find('='));
            EXPECT_NE(std::string(x.what()).find("[EstradaMapa] " + chave), std::string::npos)
                << x.what();
        }
    }
}

TEST(Projeto, GravadoELidoDeNovoDaOsMesmosValores) {
    TPastaTemporaria pasta("ida-e-volta");
    const fs::path original = DADOS_REFERENCIA + "c02_trap_secao3_50m.mvd";
    TAberto a;
    ASSERT_TRUE(LerProjeto(a.p, original.string()));
    EXPECT_EQ(a.p.ChuvaDeProjeto.StrEstado, "São Paulo");
    EXPECT_EQ(a.p.ChuvaDeProjeto.Latitude, "22°54'20\"");

    // Um arquivo novo sai na mesma ordem e com os mesmos textos do arquivo de origem, mais a
    // curva de descarga, que os arquivos antigos não tinham (ausente: a exata).
    EXPECT_FALSE(a.p.Estrada.CurvaDescargaOriginal);
    EscreverProjeto(a.p, (pasta / "novo.mvd").string());
    std::string esperado = LerBytes(original);
    const std::string equivalente = "Equivalente=0\r\n";
    esperado.insert(esperado.find(equivalente) + equivalente.size(), "CurvaDescargaOriginal=0\r\n");
    EXPECT_EQ(LerBytes(pasta / "novo.mvd"), esperado);
    // A opção volta como foi gravada; um valor ilegível recusa o arquivo.
    a.p.Estrada.CurvaDescargaOriginal = true;
    EscreverProjeto(a.p, (pasta / "original.mvd").string());
    TAberto relido;
    ASSERT_TRUE(LerProjeto(relido.p, (pasta / "original.mvd").string()));
    EXPECT_TRUE(relido.p.Estrada.CurvaDescargaOriginal);
    for (const char* ruim : {"", "sim", "2"}) {
        std::string texto = LerBytes(pasta / "original.mvd");
        const std::string chave = "CurvaDescargaOriginal=1";
        texto.replace(texto.find(chave), chave.size(),
                      std::string("CurvaDescargaOriginal=") + ruim);
        GravarBytes(pasta / "ruim.mvd", texto);
        TAberto c;
        EXPECT_THROW(LerProjeto(c.p, (pasta / "ruim.mvd").string()), EMorvendo) << ruim;
    }
    a.p.Estrada.CurvaDescargaOriginal = false;

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
    EXPECT_EQ(b.p.Estrada.Leito.Plano(0).Comprimento(), 3);
    EXPECT_EQ(b.p.Estrada.Leito.Plano(0).Cobertura.Tratamento.Indice, 1);
    EXPECT_EQ(b.p.Estrada.Leito.Plano(0).Versao, "2");
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
    // Um projeto novo, ainda sem valores, gravado e reaberto: todas as chaves estão lá.
    TAberto b;
    EXPECT_TRUE(LerProjeto(b.p, f.string()));
    EXPECT_TRUE(b.p.PadroesAplicados.empty());
}

TEST(Projeto, ArquivoAntigoEhMigrado) {
    TPastaTemporaria pasta("legado");
    const fs::path f = pasta / "legado.mvd";
    fs::copy_file(DADOS_REFERENCIA + "c08_legado.mvd", f);
    const std::string antes = LerBytes(f);
    const auto hora = fs::last_write_time(f);
    TAberto a;
    ASSERT_TRUE(LerProjeto(a.p, f.string()));
    EXPECT_EQ(a.p.Chuva().K(), 1100);
    EXPECT_EQ(a.p.Chuva().A(), 0.17);
    EXPECT_EQ(a.p.Estrada.Z.Valor, 1.5);
    EXPECT_EQ(a.p.Estrada.AreaExterna.Plano(0).Versao, "1");
    EXPECT_EQ(a.p.Estrada.AreaExterna.Plano(0).Comprimento(), 25);
    EXPECT_EQ(a.p.Estrada.AreaExterna.Plano(0).Cobertura.UsoTerra.Indice, 3);

    // Ler não grava: a conversão fica em memória até o usuário salvar.
    EXPECT_TRUE(a.p.Migrado);
    EXPECT_EQ(LerBytes(f), antes);
    EXPECT_EQ(fs::last_write_time(f), hora);

    EscreverProjeto(a.p, f.string());
    EXPECT_FALSE(a.p.Migrado);
    TArquivoIni gravado(f.string());
    EXPECT_EQ(gravado.LerTexto("PRECIPITACAO", "Versao", ""), "2");
    EXPECT_EQ(gravado.LerTexto("PREC_EXPONENCIAL_NEGATIVA", "Versao", ""), "2");
    EXPECT_EQ(gravado.LerReal("PREC_EXPONENCIAL_NEGATIVA", "K", 0), 1100);
    for (const char* chave : {"Duracao", "PrecipitacaoTotal", "Tr", "K", "A", "B", "C"})
        EXPECT_FALSE(gravado.ExisteChave("TARSIO", chave)) << chave;
    EXPECT_EQ(gravado.LerTexto("Encosta_Talude", "Versao", ""), "2");
    EXPECT_EQ(gravado.LerInteiro("Encosta_Talude", "Count", 0), 1);
    EXPECT_EQ(gravado.LerInteiro("Encosta_Talude: Trecho 1", "Comprimento", 0), 25);
    EXPECT_EQ(gravado.LerTexto("Terreno_Talude: Trecho 1", "VIB", ""), "35");
}

// Um "Versao" vazio ou apagado na seção da chuva não zera os valores que ela guarda, e o
// arquivo não é tocado: nem reescrito, nem trocado por uma cópia quando é um link simbólico.
TEST(Projeto, VersaoDaChuvaAusenteNaoZeraNemGravaOArquivo) {
    const std::string original = LerBytes(DADOS_REFERENCIA + "c03_equiv_200m.mvd");
    for (const char* troca : {"Versao=", ";Versao=2"}) {
        TPastaTemporaria pasta("versao-chuva");
        const std::string texto = Trocar(original, "(\\[PREC_EXPONENCIAL_NEGATIVA\\]\r\n)Versao=2",
                                         std::string("$1") + troca);
        ASSERT_NE(texto, original);
        GravarBytes(pasta / "real.mvd", texto);
        fs::create_symlink(pasta / "real.mvd", pasta / "link.mvd");

        TAberto a, b;
        ASSERT_TRUE(LerProjeto(b.p, DADOS_REFERENCIA + "c03_equiv_200m.mvd"));
        ASSERT_TRUE(LerProjeto(a.p, (pasta / "link.mvd").string())) << troca;
        EXPECT_EQ(a.p.Chuva().Tr(), b.p.Chuva().Tr()) << troca;
        EXPECT_EQ(a.p.Chuva().K(), b.p.Chuva().K()) << troca;
        EXPECT_EQ(a.p.Chuva().A(), b.p.Chuva().A()) << troca;
        EXPECT_EQ(a.p.Chuva().B(), b.p.Chuva().B()) << troca;
        EXPECT_EQ(a.p.Chuva().C(), b.p.Chuva().C()) << troca;
        EXPECT_GT(a.p.Chuva().K(), 0);
        EXPECT_TRUE(fs::is_symlink(pasta / "link.mvd"));
        EXPECT_EQ(LerBytes(pasta / "real.mvd"), texto);
    }
}

// Identificação e trechos ficam em seções novas, que só entram no arquivo quando usadas.
TEST(Projeto, IdentificacaoETrechosVoltamIguais) {
    TPastaTemporaria pasta("identificacao");
    const fs::path f = pasta / "p.mvd";
    fs::copy_file(DADOS_REFERENCIA + "c03_equiv_200m.mvd", f);
    TAberto a;
    ASSERT_TRUE(LerProjeto(a.p, f.string()));
    EXPECT_TRUE(a.p.Identificacao.Vazia());
    EXPECT_TRUE(a.p.Trechos.empty());
    a.p.Identificacao = {"MG-123",   "km 4 ao 10", "Viçosa",
                         "Ana Lima", "10/12/2026", "linha 1\nlinha 2 com \\ barra"};
    a.p.Trechos = {{"Subida, norte", 0, 350, 0.045}, {"B", 350, 120, 0.02}};
    a.p.Trechos[1].Esquerdo = TCanalLado::Nenhum;
    a.p.Trechos[1].Direito = TCanalLado::SemCorte;
    a.p.FatorEspacamento = 0.75;
    EscreverProjeto(a.p, f.string());

    TAberto b;
    ASSERT_TRUE(LerProjeto(b.p, f.string()));
    EXPECT_EQ(b.p.Identificacao.Observacoes, "linha 1\nlinha 2 com \\ barra");
    EXPECT_EQ(b.p.Identificacao.Municipio, "Viçosa");
    ASSERT_EQ(b.p.Trechos.size(), 2u);
    EXPECT_EQ(b.p.Trechos[0].Nome, "Subida, norte");
    EXPECT_EQ(b.p.Trechos[0].Comprimento, 350);
    EXPECT_EQ(b.p.Trechos[1].Inicio, 350);
    EXPECT_EQ(b.p.Trechos[1].Declividade, 0.02);
    EXPECT_FALSE(b.p.Trechos[0].Esquerdo);
    EXPECT_EQ(b.p.Trechos[1].Esquerdo, TCanalLado::Nenhum);
    EXPECT_EQ(b.p.Trechos[1].Direito, TCanalLado::SemCorte);
    EXPECT_EQ(b.p.FatorEspacamento, 0.75);

    // Menos trechos: as chaves dos que saíram também saem.
    b.p.Trechos.pop_back();
    EscreverProjeto(b.p, f.string());
    const std::string texto = LerBytes(f);
    EXPECT_EQ(texto.find("Nome2="), std::string::npos);
    EXPECT_EQ(texto.find("CanalDireito2="), std::string::npos);
    EXPECT_NE(texto.find("[TRECHOS]\r\nCount=1\r\n"), std::string::npos);

    // Um trecho impossível no arquivo é recusado com o campo.
    GravarBytes(f, Trocar(texto, "Comprimento1=350", "Comprimento1=0"));
    TAberto c;
    try {
        LerProjeto(c.p, f.string());
        ADD_FAILURE() << "aceitou um trecho de 0 m";
    } catch (const EMorvendo& e) {
        EXPECT_STREQ(e.what(), "Valor fora da faixa no arquivo do projeto: [TRECHOS] "
                               "Comprimento1 = \"0\" (comprimento do trecho 1 da estrada) deve "
                               "ser um número inteiro de 1 a 100000 m.");
    }
    // Um lado que não é seção da página, um fator fora de (0, 1].
    for (const auto& [de, para, exigido] :
         {std::tuple{"FatorEspacamento=0.75", "FatorEspacamento=1.5", "maior que 0 e no máximo 1"},
          std::tuple{"FatorEspacamento=0.75", "FatorEspacamento=0", "maior que 0 e no máximo 1"}}) {
        GravarBytes(f, Trocar(texto, de, para));
        TAberto d;
        try {
            LerProjeto(d.p, f.string());
            ADD_FAILURE() << para;
        } catch (const EMorvendo& e) {
            EXPECT_NE(std::string(e.what()).find(exigido), std::string::npos) << e.what();
        }
    }
    b.p.Trechos[0].Esquerdo = TCanalLado::Corte;
    EscreverProjeto(b.p, f.string());
    GravarBytes(f, Trocar(LerBytes(f), "CanalEsquerdo1=1", "CanalEsquerdo1=2"));
    TAberto d;
    try {
        LerProjeto(d.p, f.string());
        ADD_FAILURE() << "aceitou o lado 2";
    } catch (const EMorvendo& e) {
        EXPECT_NE(std::string(e.what()).find("[TRECHOS] CanalEsquerdo1 = \"2\" (canal do lado "
                                             "esquerdo do trecho 1 da estrada) deve ser 0, 1 ou 3"),
                  std::string::npos)
            << e.what();
    }
}

struct TFalhaLeitura {
    const char* nome;
    const char* padrao;
    const char* troca;
    // Resultado: "recusado", "falso", "verdadeiro" ou o começo da mensagem de erro.
    const char* esperado;
};

void PrintTo(const TFalhaLeitura& c, std::ostream* os) {
    *os << c.nome;
}

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
        TFalhaLeitura{"tipo_canal", "TipoCanal=1", "TipoCanal=5",
                      "Valor fora da faixa no arquivo do projeto: [Canal_ESTRADA] TipoCanal = "
                      "\"5\" (\"Tipo\" em Canal da estrada) deve ser 0 (trapezoidal) ou 1 "
                      "(triangular)."},
        TFalhaLeitura{"indice_z", "IndZ=-1", "IndZ=-2",
                      "Valor fora da faixa no arquivo do projeto: [Canal_ESTRADA] IndZ = \"-2\""},
        TFalhaLeitura{"indice_z_tabela", "IndZ=-1", "IndZ=3", "verdadeiro"},
        TFalhaLeitura{"tarsio_versao", "\\[TARSIO\\]\r\nVersao=1", "[TARSIO]\r\nVersao=7",
                      "Valor fora da faixa no arquivo do projeto: [TARSIO] Versao = \"7\""},
        // A versão ruim da chuva é dita, em vez de a chuva zerada culpar K.
        TFalhaLeitura{"chuva_versao", "\\[PRECIPITACAO\\]\r\nVersao=2",
                      "[PRECIPITACAO]\r\nVersao=9",
                      "Valor fora da faixa no arquivo do projeto: [PRECIPITACAO] Versao = \"9\""},
        TFalhaLeitura{"canal_estrada", "\\[CanalEstrada_ESTRADA\\]\r\nVersao=1",
                      "[CanalEstrada_ESTRADA]\r\nVersao=0",
                      "Valor fora da faixa no arquivo do projeto: [CanalEstrada_ESTRADA] Versao"},
        TFalhaLeitura{"bacia", "\\[BaciaAcumulacao\\]\r\nVersao=1", "[BaciaAcumulacao]\r\nVersao=2",
                      "Valor fora da faixa no arquivo do projeto: [BaciaAcumulacao] Versao"},
        TFalhaLeitura{"conta_maior", "Count=1", "Count=2",
                      "Ocorreu um erro ao tentar ler os dados da encosta de número 2 no arquivo /"},
        TFalhaLeitura{"conta_256", "Count=1", "Count=256",
                      "Valor fora da faixa no arquivo do projeto: [Encosta_Talude] Count = "
                      "\"256\" (número de trechos em Área externa)"},
        // Sem trechos o leito não tem taxa de infiltração: a contagem é que está errada.
        TFalhaLeitura{"conta_0", "Count=1", "Count=0",
                      "Valor fora da faixa no arquivo do projeto: [Encosta_Talude] Count = \"0\""},
        TFalhaLeitura{"versao_encosta", "\\[Encosta_Talude\\]\r\nVersao=2",
                      "[Encosta_Talude]\r\nVersao=3",
                      "O arquivo projeto.mvd não é uma versão compatível."},
        TFalhaLeitura{"comprimento_negativo",
                      "(\\[Encosta_Talude: Trecho 1\\]\r\nVersao=2\r\n)"
                      "Comprimento=[0-9]+",
                      "$1Comprimento=-4",
                      "Ocorreu um erro ao tentar ler os dados da encosta de "
                      "número 1"},
        TFalhaLeitura{"cobertura", "IndUso=[0-9]", "IndUso=6",
                      "Ocorreu um erro ao tentar ler os dados da encosta de número 1"},
        TFalhaLeitura{"rugosidade", "Indnt=0", "Indnt=-1",
                      "Ocorreu um erro ao tentar ler os dados da encosta de número 1"},
        TFalhaLeitura{"sem_unidades", "\\[UNIDADES\\]\r\nVersao=1", "[UNIDADES]\r\nVersao=",
                      "Valor vazio no arquivo do projeto: [UNIDADES] Versao"},
        TFalhaLeitura{"unidade_fora", "\nVI=[0-9]", "\nVI=7",
                      "Valor fora da faixa no arquivo do projeto: [UNIDADES] VI = \"7\" "
                      "(\"Unidade da taxa de infiltração estável\" em Configuração do sistema) "
                      "deve ser um número inteiro de 0 a 3 (m/h, mm/h, m/dia, cm/dia)."},
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

// Um arquivo recusado não muda nada no projeto: nem as unidades, nem as encostas.
TEST(Projeto, FalhasDeixamEstadoPrevisivel) {
    TPastaTemporaria pasta("estado");
    const std::string original = LerBytes(DADOS_REFERENCIA + "c03_equiv_200m.mvd");
    // Sem [UNIDADES]: recusado com a seção, e as unidades ficam as de antes.
    GravarBytes(pasta / "a.mvd", Trocar(original, "\\[UNIDADES\\]", "[OUTRA]"));
    TAberto a;
    a.unidades.SetVI(3);
    try {
        LerProjeto(a.p, (pasta / "a.mvd").string());
        ADD_FAILURE() << "aceitou um projeto sem unidades";
    } catch (const EMorvendo& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Seção ausente no arquivo do projeto: [UNIDADES]", 0),
                  0u)
            << e.what();
    }
    EXPECT_EQ(a.unidades.VI, 3);
    EXPECT_EQ(a.unidades.UnidadeVI, "cm/dia");

    // Trecho 2 inexistente: a mensagem diz o trecho e a seção que falta.
    GravarBytes(pasta / "b.mvd", Trocar(original, "Count=1", "Count=2"));
    TAberto b;
    try {
        LerProjeto(b.p, (pasta / "b.mvd").string());
        ADD_FAILURE() << "aceitou o trecho 2 que não existe";
    } catch (const EMorvendo& e) {
        EXPECT_NE(std::string(e.what()).find("encosta de número 2 no arquivo "), std::string::npos);
        EXPECT_NE(std::string(e.what()).find(": seção ausente em [Terreno_Talude: Trecho 2]"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(b.p.Estrada.AreaExterna.NumPlanos(), 1);

    // Conta acima de 255 não cabe nos 8 bits: recusada, em vez de virar 0 planos.
    GravarBytes(pasta / "c.mvd", Trocar(original, "Count=1", "Count=256"));
    TAberto c;
    EXPECT_THROW(LerProjeto(c.p, (pasta / "c.mvd").string()), EMorvendo);
}

// Como o arquivo deve responder a uma chave ausente, vazia ou ilegível.
enum class TResposta { Recusa, Aceita, Padrao };

struct TRespostaChave {
    const char* secao; // "*": qualquer seção
    const char* chave;
    TResposta ausente, vazio, abc;
};

using enum TResposta;

// Os textos aceitam qualquer valor; as seções da chuva sem versão são do leiaute antigo; a
// curva de descarga falta nos arquivos de antes dela; o raio só existe nas interpolações. O
// resto tem de estar lá, legível.
const TRespostaChave RESPOSTAS_ESPECIAIS[] = {
    {"TARSIO", "Latitude", Recusa, Aceita, Aceita},
    {"TARSIO", "Longitude", Recusa, Aceita, Aceita},
    {"TARSIO", "StrCidade", Recusa, Aceita, Aceita},
    {"TARSIO", "StrEstado", Recusa, Aceita, Aceita},
    {"PRINCIPAL", "StrCoberVeg", Recusa, Aceita, Aceita},
    {"IDENTIFICACAO", "*", Recusa, Aceita, Aceita},
    {"TRECHOS", "Nome1", Recusa, Aceita, Aceita},
    // Os lados e o fator vieram depois: ausentes, valem a seção e o fator padrão.
    {"TRECHOS", "CanalEsquerdo1", Aceita, Recusa, Recusa},
    {"TRECHOS", "CanalDireito1", Aceita, Recusa, Recusa},
    {"TRECHOS", "FatorEspacamento", Aceita, Recusa, Recusa},
    {"TRECHOS", "CotaInicial", Aceita, Recusa, Recusa},
    {"ORIGEM_CHUVA", "Descricao", Recusa, Aceita, Aceita},
    {"ORIGEM_CHUVA", "Lugar", Recusa, Aceita, Aceita},
    {"ORIGEM_CHUVA", "Autoria", Recusa, Aceita, Aceita},
    {"ORIGEM_CHUVA", "Tipo", Recusa, Recusa, Aceita},
    {"ORIGEM_CHUVA", "DistanciaMinimaKm", Aceita, Recusa, Recusa},
    {"ORIGEM_CHUVA", "RaioKm", Aceita, Recusa, Recusa},
    {"PRECIPITACAO", "Versao", Aceita, Aceita, Recusa},
    {"PREC_EXPONENCIAL_NEGATIVA", "Versao", Aceita, Aceita, Recusa},
    {"CanalEstrada_ESTRADA", "CurvaDescargaOriginal", Padrao, Recusa, Recusa},
};

// Os dados que a tela mostra fora da tabela de campos, como ela os chama.
const std::pair<const char*, const char*> ROTULOS_NA_TELA[] = {
    {"TipoCanal", "\"Tipo\" em Canal"},
    {"IndSecao", "\"Seção transversal\""},
    {"Equivalente", "\"Usar período de retorno equivalente\""},
    {"CurvaDescargaOriginal", "\"Curva de descarga original (ajuste de 0,2 a 5 m)\""},
    {"CalcularVolume", "\"Calcular volume da bacia de acumulação\""},
    {"Formato", "\"Formato\" em Bacia de acumulação"},
    {"IndUso", "\"Uso da terra\""},
    {"IndCond", "\"Condição hidrológica\""},
    {"IndTrat", "\"Tratamento\""},
    {"Latitude", "\"Latitude\""},
    {"Longitude", "\"Longitude\""},
};
const std::pair<const char*, const char*> ROTULOS_UNIDADES[] = {
    {"Declividade", "\"Unidade da declividade\" em Configuração do sistema"},
    {"VI", "\"Unidade da taxa de infiltração estável\" em Configuração do sistema"},
    {"Erodibilidade", "\"Erodibilidade\" em Configuração do sistema"},
    {"Estado", "\"Estado\" em Configuração do sistema"},
};

// O dado como a tela o chama; vazio quando a tela não o mostra.
std::string RotuloEsperado(const std::string& secao, const std::string& chave, const TProjeto& p) {
    if (secao == "UNIDADES") {
        for (const auto& [k, r] : ROTULOS_UNIDADES)
            if (chave == k) return r;
        return "";
    }
    for (const TCampoProjeto& c : TodosCamposProjeto())
        if (secao == c.Secao && chave == c.Chave && CampoAplicavel(c.Id, p, true))
            return "\"" + std::string(c.Rotulo) + "\" em " + c.Grupo;
    for (const auto& [k, r] : ROTULOS_NA_TELA)
        if (chave == k) return r;
    return "";
}

// Cada chave de um arquivo atual completo, ausente, vazia e ilegível: a leitura recusa com a
// seção, a chave e o dado, ou aceita o que não muda o projeto, ou toma o padrão e o diz.
TEST(Projeto, CadaChaveAusenteVaziaOuIlegivel) {
    TPastaTemporaria pasta("cada-chave");
    TAberto base;
    ASSERT_TRUE(LerProjeto(base.p, DADOS_REFERENCIA + "c03_equiv_200m.mvd"));
    base.p.Identificacao = {"MG-123", "km 4", "Viçosa", "Ana", "10/12/2026", "obs"};
    base.p.Trechos = {{"A", 0, 200, 0.05}};
    base.p.Trechos[0].Esquerdo = TCanalLado::Corte;
    base.p.Trechos[0].Direito = TCanalLado::Nenhum;
    base.p.FatorEspacamento = 0.7;
    base.p.CotaInicial = 350.5;
    base.p.OrigemChuva = {
        TTipoOrigemChuva::Interpolacao, "Interpolação", "ponto", "", 1, 0.1, 10, 0.8, 30, 100};
    const fs::path completo = pasta / "completo.mvd";
    EscreverProjeto(base.p, completo.string());

    std::vector<std::string> linhas;
    {
        std::istringstream texto(LerBytes(completo));
        for (std::string l; std::getline(texto, l);)
            linhas.push_back(l.substr(0, l.size() - 1)); // sem o CR
    }
    int chaves = 0;
    std::string secao;
    for (std::size_t i = 0; i < linhas.size(); ++i) {
        if (linhas[i].front() == '[') {
            secao = linhas[i].substr(1, linhas[i].size() - 2);
            continue;
        }
        const std::string chave = linhas[i].substr(0, linhas[i].find('='));
        // O arquivo sem [VERSAO] não é projeto: recusado com a mensagem de arquivo estranho.
        if (secao == "VERSAO") continue;
        ++chaves;
        TRespostaChave r{"", "", Recusa, Recusa, Recusa};
        for (const TRespostaChave& e : RESPOSTAS_ESPECIAIS)
            if (secao == e.secao && (chave == e.chave || std::string(e.chave) == "*")) r = e;
        const std::string rotulo = RotuloEsperado(secao, chave, base.p);
        const std::pair<const char*, TResposta> casos[] = {
            {nullptr, r.ausente}, {"", r.vazio}, {"abc", r.abc}};
        for (const auto& [valor, resposta] : casos) {
            SCOPED_TRACE("[" + secao + "] " + chave + (valor ? "=" + std::string(valor) : ""));
            std::string texto;
            for (std::size_t j = 0; j < linhas.size(); ++j)
                if (j != i)
                    texto += linhas[j] + "\r\n";
                else if (valor)
                    texto += chave + "=" + valor + "\r\n";
            GravarBytes(pasta / "p.mvd", texto);
            TAberto a;
            try {
                EXPECT_TRUE(LerProjeto(a.p, (pasta / "p.mvd").string()));
                EXPECT_NE(resposta, Recusa) << "aceito";
                const bool padrao = !a.p.PadroesAplicados.empty() &&
                                    a.p.PadroesAplicados[0].Chave == chave &&
                                    a.p.PadroesAplicados[0].Secao == secao;
                EXPECT_EQ(padrao, resposta == Padrao);
            } catch (const EMorvendo& e) {
                const std::string m = e.what();
                EXPECT_EQ(resposta, Recusa) << m;
                EXPECT_NE(m.find("[" + secao + "] " + chave), std::string::npos) << m;
                EXPECT_NE(m.find(rotulo.empty() ? " (" : rotulo), std::string::npos) << m;
            }
        }
    }
    EXPECT_GT(chaves, 100);
}

// Valores perto demais de zero estouram o cálculo: recusados com a faixa, nunca levados a um
// erro interno.
TEST(Projeto, RealSubnormalRecusadoComAFaixa) {
    const std::string original = LerBytes(DADOS_REFERENCIA + "c03_equiv_200m.mvd");
    for (const char* v : {"1e-310", "-4.9e-324", "1e-308"}) {
        TPastaTemporaria pasta("subnormal");
        GravarBytes(pasta / "p.mvd",
                    Trocar(original, "\r\nnt=[0-9.]+", "\r\nnt=" + std::string(v)));
        TAberto a;
        try {
            LerProjeto(a.p, (pasta / "p.mvd").string());
            ADD_FAILURE() << v;
        } catch (const EMorvendo& e) {
            EXPECT_NE(std::string(e.what()).find("valor fora da faixa em [Terreno_Talude: Trecho "
                                                 "1] nt = \"" +
                                                 std::string(v) +
                                                 "\" (\"Rugosidade\" em Área "
                                                 "externa) deve ser 0 ou um número "
                                                 "de módulo a partir de 1E-307."),
                      std::string::npos)
                << e.what();
        }
    }
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
    EXPECT_EQ(u.UnidadeErodibilidade, "kg·m⁻²·s⁻¹·Pa⁻¹");
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
