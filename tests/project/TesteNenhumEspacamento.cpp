// Já o segundo metro do canal passa da perda tolerável: nenhum espaçamento atende. O núcleo diz
// isso num valor só, sem dimensionar a bacia, e a linha de comando, o JSON, os estudos e os
// trechos repetem o mesmo; nunca aparece um espaçamento de 1 m com bacia de 0 m³.
#include <gtest/gtest.h>

#include <sstream>
#include <sys/wait.h>

#include "../Json.h"
#include "Auxiliar.h"
#include "comum/ArquivoIni.h"
#include "comum/LeitorCsv.h"
#include "comum/Numeros.h"
#include "comum/Win1252.h"
#include "project/Avisos.h"
#include "project/Calculo.h"
#include "project/Estudos.h"
#include "project/Projeto.h"
#include "project/ResultadoJson.h"
#include "project/ResumoResultado.h"
#include "project/RotulosResultado.h"
#include "reports/RelatorioEstrada.h"

namespace {

const std::string ESTRADA = std::string(MORVENDO_EXEMPLOS) + "/Estrada.mvd";

// O exemplo da estrada (bacia pedida) com o canal na declividade dada, m/m.
TArquivoIni EstradaCom(double declividade) {
    TArquivoIni d;
    d.Carregar(ESTRADA);
    d.EscreverReal("CanalGradiente_ESTRADA", "Sc", declividade);
    return d;
}

bool Contem(const std::string& texto, const std::string& trecho) {
    return texto.find(trecho) != std::string::npos;
}

TEST(NenhumEspacamento, NucleoDizSemBaciaEComAFraseNosAvisos) {
    const struct {
        double Declividade;
        bool Nenhum;
    } casos[] = {{0.03, false}, {0.3, true}, {0.5, true}};
    for (const auto& c : casos) {
        SCOPED_TRACE("declividade " + std::to_string(c.Declividade));
        TUnidades u;
        TProjeto p(u);
        ZerarVariaveis(p);
        TArquivoIni doc = EstradaCom(c.Declividade);
        ASSERT_TRUE(LerProjeto(p, doc));
        ASSERT_FALSE(ValidarDados(p).has_value());
        const TResultadoCalculo r = ExecutarCalculo(p, p.Estrada.Comprimento(), nullptr);
        ASSERT_EQ(r.Situacao, TResultadoCalculo::Concluido);
        EXPECT_EQ(r.Canal.NenhumEspacamento, c.Nenhum);
        // A tabela por metro fica inteira: é ela que mostra a perda do segundo metro.
        ASSERT_EQ(r.Canal.Secoes.size(), 250u);
        const auto avisos = AvisosDoResultado(p, r, ',');
        const std::string json = ResultadoJson(r, avisos);
        const TJson j = TLeitorJson(json).Ler();
        EXPECT_EQ(j["NenhumEspacamento"].Tipo, TJson::Logico);
        std::string resumo;
        for (const std::string& paragrafo :
             ResumoDoResultado(p.Estrada, p.Estrada.Comprimento(), r, ','))
            resumo += paragrafo + "\n";
        if (!c.Nenhum) {
            EXPECT_GT(r.Canal.Espacamento, 1);
            EXPECT_TRUE(r.Bacia.has_value());
            EXPECT_TRUE(avisos.empty() || avisos[0].Id != "nenhum_espacamento");
            EXPECT_EQ(j["Espacamento"].Valor, r.Canal.Espacamento);
            continue;
        }
        EXPECT_EQ(r.Canal.Espacamento, 0);
        EXPECT_GT(r.Canal.Secoes[1].Perda, r.Canal.PerdaToleravel);
        EXPECT_FALSE(r.Bacia.has_value());
        ASSERT_FALSE(avisos.empty());
        EXPECT_EQ(avisos[0],
                  (TAviso{"nenhum_espacamento", TGravidadeAviso::Grave, TEXTO_NENHUM_ESPACAMENTO}));
        EXPECT_STREQ(TEXTO_NENHUM_ESPACAMENTO,
                     "Nenhum espaçamento atende: já no segundo metro a perda excede a tolerável; "
                     "revista o canal, reduza a declividade ou aumente o aprofundamento "
                     "tolerado.");
        // Nenhum número na seção do espaçamento; a perda tolerável continua sendo resultado.
        using G = TGrandezaResultado;
        for (G g : {G::Espacamento, G::TensaoMax, G::PerdaSolo, G::VazaoCanal, G::VolumeCanal,
                    G::VolumeBacia})
            EXPECT_EQ(TextoResultado(g, r, ','), "---");
        EXPECT_EQ(TextoResultado(G::PerdaToleravel, r, ','), "4,05");
        for (const char* chave : {"Espacamento", "PerdaSolo", "TensaoMax", "QMax", "Volume",
                                  "Bacia", "EspacamentoCurvaOriginal"})
            EXPECT_EQ(j[chave].Tipo, TJson::Nulo) << chave;
        EXPECT_EQ(j["Avisos"][0]["id"].Str, "nenhum_espacamento");
        EXPECT_TRUE(Contem(resumo, "O canal de 250 m não tem espaçamento entre desaguadouros"))
            << resumo;
        EXPECT_TRUE(Contem(resumo, "A bacia de acumulação não foi dimensionada: sem espaçamento"))
            << resumo;
        EXPECT_FALSE(Contem(resumo, " 1 m")) << resumo;
        // O relatório: a frase entre os avisos, a bacia não feita, nenhuma linha de espaçamento.
        const std::string html =
            win1252::ParaUtf8(MontarRelatorioEstrada(p, r, TOpcoesRelatorioEstrada{}));
        EXPECT_TRUE(Contem(html, TEXTO_NENHUM_ESPACAMENTO));
        EXPECT_TRUE(Contem(html, "não feito: nenhum espaçamento atende"));
        EXPECT_FALSE(Contem(html, "Espaçamento máximo (0 m)"));
    }
}

TEST(NenhumEspacamento, LinhaDeComandoSaiComStatus4) {
    TPastaTemporaria pasta("nenhum-espacamento");
    EstradaCom(0.5).SalvarComo((pasta / "p.mvd").string());
    TSaida r = Rodar(pasta.Caminho, "p.mvd");
    EXPECT_EQ(r.Status, 4);
    EXPECT_EQ(r.Err, std::string(TEXTO_NENHUM_ESPACAMENTO) + "\n");
    EXPECT_TRUE(Contem(r.Out, "  Espaçamento máximo: ---\n")) << r.Out;
    EXPECT_TRUE(Contem(r.Out, "Avisos\n  " + std::string(TEXTO_NENHUM_ESPACAMENTO))) << r.Out;
    EXPECT_FALSE(Contem(r.Out, "Espaçamento máximo: 1 m")) << r.Out;
    // A tabela por seção é gravada: mostra onde a perda passa da tolerável.
    EXPECT_TRUE(fs::exists(pasta / "Relatorio.txt"));

    r = Rodar(pasta.Caminho, "p.mvd --json");
    EXPECT_EQ(r.Status, 4);
    const TJson j = TLeitorJson(r.Out).Ler();
    EXPECT_EQ(j["NenhumEspacamento"].Tipo, TJson::Logico);
    EXPECT_EQ(j["Espacamento"].Tipo, TJson::Nulo);
    EXPECT_EQ(j["Bacia"].Tipo, TJson::Nulo);

    // O uso diz o que é cada status.
    r = Rodar(pasta.Caminho, "");
    EXPECT_TRUE(Contem(r.Err, "4 nenhum espaçamento atende")) << r.Err;
}

// No estudo o ponto é calculado (a frase vem nos avisos, os campos ficam vazios) e o lote não
// falha; no trecho não há desaguadouros, e a linha de comando sai com 4.
TEST(NenhumEspacamento, EstudoETrechos) {
    TArquivoIni doc;
    doc.Carregar(ESTRADA);
    const auto pontos = ExecutarEstudo(doc, TParametroEstudo::Declividade, {0.03, 0.5}, 2);
    ASSERT_EQ(pontos.size(), 2u);
    EXPECT_FALSE(pontos[0].Resultado.NenhumEspacamento);
    const TResultadoExecucao& sem = pontos[1].Resultado;
    ASSERT_TRUE(sem.Ok) << sem.Erro;
    EXPECT_TRUE(sem.NenhumEspacamento);
    EXPECT_FALSE(sem.VolumeBacia.has_value());
    ASSERT_FALSE(sem.Avisos.empty());
    EXPECT_EQ(sem.Avisos[0].Id, "nenhum_espacamento");

    const std::vector<TTrecho> trechos = {{"A", 0, 100, 0.03}, {"B", 100, 40, 0.5}};
    const auto r = ExecutarTrechos(doc, trechos, 2);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].Posicoes, PosicoesDesaguadouros(trechos[0], r[0].Resultado.Espacamento));
    ASSERT_TRUE(r[1].Resultado.Ok) << r[1].Resultado.Erro;
    EXPECT_TRUE(r[1].Resultado.NenhumEspacamento);
    EXPECT_TRUE(r[1].Posicoes.empty());

    TPastaTemporaria pasta("nenhum-espacamento-lote");
    GravarBytes(pasta / "t.csv", "nome,inicio_m,comprimento_m,declividade\nA,0,100,0.03\n"
                                 "B,100,40,0.5\n");
    TSaida s = Rodar(pasta.Caminho, "'" + ESTRADA + "' --trechos t.csv --threads 2");
    EXPECT_EQ(s.Status, 4) << s.Err;
    EXPECT_TRUE(Contem(s.Out, "\nB,100,40,0.5,,0,,," +
                                  CampoCsv(AvisosNumaCelula(r[1].Resultado.Avisos)) + "\n"))
        << s.Out;

    s = Rodar(pasta.Caminho, "'" + ESTRADA + "' --estudo declividade 0.5 0.5 0.1");
    EXPECT_EQ(s.Status, 0) << s.Err;
    EXPECT_EQ(s.Out, "valor,espacamento_m,perda_toleravel,perda_solo,tensao_max_Pa,vazao_max_L_s,"
                     "volume_bacia_m3,avisos\n0.5,," +
                         RealExato(sem.PerdaToleravel) + ",,,,," +
                         CampoCsv(AvisosNumaCelula(sem.Avisos)) + "\n");
}

} // namespace
