// Proteção do canal: as fórmulas conferidas à mão, o solo exposto igual ao cálculo de sempre, a
// grama nunca pior que o solo nu, o concreto limitado só pela capacidade, os custos, o arquivo
// e a linha de comando.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "Auxiliar.h"
#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "engine/PerdaSolo.h"
#include "engine/Revestimentos.h"
#include "project/Calculo.h"
#include "project/Projeto.h"
#include "project/ProtecaoCanal.h"
#include "reports/RelatorioEstrada.h"

namespace {

TArquivoIni Documento(const std::string& caso, bool curvaOriginal = false) {
    TArquivoIni d;
    d.Carregar(DADOS_REFERENCIA + caso + ".mvd");
    if (curvaOriginal) d.EscreverLogico("CanalEstrada_ESTRADA", "CurvaDescargaOriginal", true);
    return d;
}

// Os casos de referência e o espaçamento que cada um tem (0: nenhum atende); os trapezoidais
// com a curva de descarga com que foram calculados.
struct TCaso {
    const char* Nome;
    bool CurvaOriginal;
    int Espacamento;
};
const TCaso CASOS[] = {
    {"c01_canal_1m", false, 1},
    {"c02_trap_secao3_50m", true, 30},
    {"c03_equiv_200m", false, 116},
    {"c06_so_primeira_passa", false, 0},
    {"c08_legado", false, 61},
    {"c13_perda_sobe_e_desce", true, 11},
    {"c14_talude_sem_escoamento", false, 82},
};

const TResultadoAlternativa& Linha(const TResultadoProtecao& r, TAlternativaProtecao a) {
    for (const TResultadoAlternativa& l : r.Alternativas)
        if (l.Alternativa == a) return l;
    throw EMorvendo("alternativa ausente");
}

void ExpectRelativo(double obtido, double esperado, double tolerancia, const std::string& onde) {
    EXPECT_LE(std::fabs(obtido - esperado), tolerancia * std::fabs(esperado))
        << onde << ": " << obtido << " em vez de " << esperado;
}

} // namespace

// A curva n–VR de cada classe em VR = 1 ft²/s (o ln some: n = exp(0,2971·CI − 4,16)) e em
// 0,05 m²/s, e a tensão que chega ao solo: τe = γ·y·S·(1 − Cf)·(ns/n)².
TEST(Revestimentos, GramaPelaCurvaEATensaoEfetiva) {
    const double umPe2 = 0.3048 * 0.3048;
    const struct {
        TClasseGrama Classe;
        double EmUmPe2, Em005;
    } casos[] = {
        {TClasseGrama::A, 0.30452563749211886, 0.5788167054531627},
        {TClasseGrama::B, 0.15104824347233847, 0.2467223068125825},
        {TClasseGrama::C, 0.08239421918908421, 0.11805662738256796},
        {TClasseGrama::D, 0.058374507491798434, 0.0776358772023638},
        {TClasseGrama::E, 0.036723000632394, 0.0441841304634393},
    };
    for (const auto& c : casos) {
        const std::string classe(1, DadosClasseGrama(c.Classe).Letra);
        ExpectRelativo(RugosidadeGrama(c.Classe, umPe2), c.EmUmPe2, 1e-12, classe);
        ExpectRelativo(RugosidadeGrama(c.Classe, 0.05), c.Em005, 1e-12, classe);
        // Abaixo do alcance das curvas, o n do seu começo: nunca cresce sem limite.
        EXPECT_EQ(RugosidadeGrama(c.Classe, 1e-9), RugosidadeGrama(c.Classe, VR_MINIMO_CURVA_GRAMA))
            << classe;
    }
    // Lâmina de 10 cm a 2 %, grama D em VR = 1 ft²/s, Cf 0,87, solo fino (ns 0,016).
    const double n = RugosidadeGrama(TClasseGrama::D, umPe2);
    const double td = GamaS(0.02) * 0.10;
    ExpectRelativo(td, 19.607843137254903, 1e-14, "τd");
    ExpectRelativo(td * FatorTensaoEfetivaGrama(0.87, RUGOSIDADE_SOLO_SOB_GRAMA, n),
                   0.191499075939658, 1e-12, "τe");
    // Cobertura completa: nada chega ao solo.
    EXPECT_EQ(FatorTensaoEfetivaGrama(1, RUGOSIDADE_SOLO_SOB_GRAMA, n), 0);
}

// O n usado no canal é o que a lâmina do próprio escoamento dá na curva.
TEST(Revestimentos, RugosidadeNoPontoFixoEstaNaCurva) {
    TCanalGradiente canal;
    canal.TipoCanal.Valor = CANAL_TRIANGULAR;
    canal.Z.Valor = 1;
    canal.Sm.Valor = 0.5;
    canal.Sc = 0.03;
    for (const TClasseGrama classe : ClassesGrama())
        for (const double vazao : {0.005, 0.05, 0.3}) {
            auto curva = [&](const TEscoamentoUniforme& e) {
                return RugosidadeGrama(classe, e.Velocidade * e.Raio);
            };
            const double n = RugosidadeNoPontoFixo(canal, vazao, false, 0.03, curva);
            const TEscoamentoUniforme e = EscoamentoUniforme(canal, n, vazao, false);
            ExpectRelativo(curva(e), n, 1e-9, std::string(1, DadosClasseGrama(classe).Letra));
            // A vazão volta pela área e pela velocidade.
            ExpectRelativo(e.Area * e.Velocidade, vazao, 1e-12, "Q = A·V");
        }
    // Sem vazão, nada a ajustar.
    EXPECT_EQ(RugosidadeNoPontoFixo(canal, 0, false, 0.03,
                                    [](const TEscoamentoUniforme&) { return 1.0; }),
              0.03);
}

// D50 = SF·τd / (F*·(γs − γ)·K), com K = cos θ·(1 − tan θ/tan 42°): grão liso (F* 0,047, SF 1),
// na transição do número de Reynolds do grão e em declividade forte; n de Blodgett.
TEST(Revestimentos, PedraPelaTensaoDeProjeto) {
    const struct {
        double Tensao, Declividade, D50, K;
    } casos[] = {
        {50, 0.02, 0.06727142441742395, 0.9775922508011916},
        {300, 0.02, 0.23346667132494975, 0.9775922508011916},
        {100, 0.3, 0.17727443378654983, 0.6386941274014614},
    };
    for (const auto& c : casos) {
        const TDimensionamentoPedra p = DimensionarPedra(c.Tensao, c.Declividade, 2.65);
        const std::string onde = std::to_string(c.Tensao) + " Pa";
        ExpectRelativo(p.D50, c.D50, 1e-9, onde);
        ExpectRelativo(p.FatorDeclividade, c.K, 1e-12, onde);
    }
    EXPECT_EQ(DimensionarPedra(50, 0.02, 2.65).Shields, 0.047);
    EXPECT_EQ(DimensionarPedra(50, 0.02, 2.65).FatorSeguranca, 1.0);
    // Mais íngreme que o ângulo de repouso, ou pedra que não afunda: erro, nunca um D50.
    EXPECT_THROW(DimensionarPedra(50, 1.0, 2.65), EMorvendo);
    EXPECT_THROW(DimensionarPedra(50, 0.02, 1.0), EMorvendo);
    ExpectRelativo(RugosidadePedra(0.3, 0.05), 0.04129957950827473, 1e-12, "da/D50 = 6");
    // Lâmina rasa (da/D50 < 1,5): o n de da = 1,5·D50.
    ExpectRelativo(RugosidadePedra(0.05, 0.1), 0.07333008151541924, 1e-12, "da/D50 = 0,5");
}

// O solo exposto é o cálculo de sempre em cada caso de referência; a grama nunca dá espaçamento
// menor que o solo nu, em classe nenhuma; o concreto vai até o fim do canal, a menos que a
// capacidade o limite.
TEST(ProtecaoCanal, SoloExpostoGramaEConcretoNosCasosDeReferencia) {
    for (const TCaso& caso : CASOS) {
        const TArquivoIni doc = Documento(caso.Nome, caso.CurvaOriginal);
        TUnidades u;
        TProjeto p(u);
        ZerarVariaveis(p);
        TArquivoIni copia = doc;
        ASSERT_TRUE(LerProjeto(p, copia));
        const TResultadoCalculo hoje = ExecutarCalculo(p, p.Estrada.Comprimento(), nullptr);
        for (const TClasseGrama classe : ClassesGrama()) {
            TConfiguracaoProtecao cfg;
            cfg.ClasseGrama = classe;
            cfg.FatorCobertura = classe == TClasseGrama::E ? 0 : 0.87;
            const TResultadoProtecao r = ExecutarProtecao(doc, cfg, std::nullopt, 2);
            const std::string onde = std::string(caso.Nome) + " " + DadosClasseGrama(classe).Letra;
            const TResultadoAlternativa& solo = Linha(r, TAlternativaProtecao::SoloExposto);
            ASSERT_TRUE(solo.Ok) << onde;
            EXPECT_EQ(solo.NenhumEspacamento, caso.Espacamento == 0) << onde;
            EXPECT_EQ(solo.Espacamento, caso.Espacamento) << onde;
            EXPECT_EQ(solo.Espacamento, hoje.Canal.Espacamento) << onde;
            if (!solo.NenhumEspacamento) {
                EXPECT_EQ(solo.TensaoEfetiva, hoje.Canal.TensaoMax) << onde;
                EXPECT_EQ(solo.Lamina, hoje.Canal.Secoes[std::size_t(solo.Espacamento) - 1].Lamina)
                    << onde;
            }
            const TResultadoAlternativa& grama = Linha(r, TAlternativaProtecao::Grama);
            ASSERT_TRUE(grama.Ok) << onde << ": " << grama.Erro;
            if (grama.NenhumEspacamento)
                EXPECT_TRUE(solo.NenhumEspacamento) << onde;
            else
                EXPECT_GE(grama.Espacamento, solo.Espacamento) << onde;
            const TResultadoAlternativa& concreto = Linha(r, TAlternativaProtecao::Concreto);
            ASSERT_TRUE(concreto.Ok) << onde << ": " << concreto.Erro;
            EXPECT_TRUE(concreto.Espacamento == r.Comprimento ||
                        concreto.Limite == TLimiteEspacamento::Capacidade)
                << onde;
            EXPECT_TRUE(concreto.CapacidadeOk || concreto.NenhumEspacamento) << onde;
        }
    }
}

// A lâmina com a borda livre: o concreto pára na última seção cuja lâmina cabe; num canal
// fundo vai até o fim; a grama, que não é limitada por ela, diz que a capacidade não basta.
TEST(ProtecaoCanal, CapacidadeComBordaLivre) {
    const TArquivoIni doc = Documento("c03_equiv_200m");
    TConfiguracaoProtecao fundo;
    fundo.ProfundidadeCanal = 1;
    const TResultadoProtecao livre = ExecutarProtecao(doc, fundo);
    const TResultadoAlternativa& c1 = Linha(livre, TAlternativaProtecao::Concreto);
    EXPECT_EQ(c1.Espacamento, 200);
    EXPECT_EQ(c1.Limite, TLimiteEspacamento::Nenhum);
    EXPECT_EQ(c1.DesaguadourosPorKm, 5);
    ASSERT_GT(c1.Lamina, 15);

    // Lâmina máxima 5 cm abaixo da do fim do canal: a seção do espaçamento cabe, a seguinte não.
    TConfiguracaoProtecao raso;
    raso.BordaLivre = 0.10;
    raso.ProfundidadeCanal = (c1.Lamina - 5) / 100 + raso.BordaLivre;
    const TResultadoProtecao r = ExecutarProtecao(doc, raso);
    EXPECT_DOUBLE_EQ(r.LaminaMaxima, c1.Lamina - 5);
    const TResultadoAlternativa& c2 = Linha(r, TAlternativaProtecao::Concreto);
    EXPECT_EQ(c2.Limite, TLimiteEspacamento::Capacidade);
    EXPECT_LT(c2.Espacamento, 200);
    EXPECT_LE(c2.Lamina, r.LaminaMaxima);
    EXPECT_TRUE(c2.CapacidadeOk);
    const TResultadoAlternativa& grama = Linha(r, TAlternativaProtecao::Grama);
    EXPECT_GT(grama.Lamina, r.LaminaMaxima);
    EXPECT_FALSE(grama.CapacidadeOk);
    EXPECT_FALSE(grama.Atende);

    TConfiguracaoProtecao semLamina;
    semLamina.BordaLivre = semLamina.ProfundidadeCanal;
    EXPECT_THROW(ExecutarProtecao(doc, semLamina), EMorvendo);
}

// A grama com a tensão efetiva: o espaçamento é o do canal com o n da grama cujo solo vê só
// τe = f·γS·y. Conferido por outro caminho: como o termo de cada passo da integral é homogêneo
// no excesso, K·∫(f·γS·y − τc)dt = (f·K)·∫(γS·y − τc/f)dt, o cálculo de sempre com a
// erodibilidade vezes f e a tensão crítica dividida por f dá a mesma perda em cada seção. A
// grama baixa (E, 17 Pa) se rompe onde γS·y passa da sua tensão admissível.
TEST(ProtecaoCanal, GramaComTensaoEfetiva) {
    const TArquivoIni doc = Documento("c03_equiv_200m");
    TConfiguracaoProtecao cfg;
    cfg.ClasseGrama = TClasseGrama::E;
    cfg.FatorCobertura = 0;
    cfg.ProfundidadeCanal = 1;
    // Um trecho longo e íngreme: a grama rala ainda deixa passar parte da tensão.
    const TTrecho trecho("ingreme", 0, 600, 0.1);
    const TResultadoProtecao r = ExecutarProtecao(doc, cfg, trecho);
    const TResultadoAlternativa& g = Linha(r, TAlternativaProtecao::Grama);
    ASSERT_TRUE(g.Ok) << g.Erro;
    ASSERT_TRUE(g.FatorTensao);
    ExpectRelativo(*g.FatorTensao, std::pow(RUGOSIDADE_SOLO_SOB_GRAMA / g.Rugosidade, 2), 1e-12,
                   "f");
    ExpectRelativo(g.TensaoEfetiva, *g.FatorTensao * g.TensaoProjeto, 1e-12, "τe");
    const int solo = Linha(r, TAlternativaProtecao::SoloExposto).Espacamento;
    EXPECT_GT(g.Espacamento, solo);
    EXPECT_LT(g.Espacamento, r.Comprimento);
    EXPECT_EQ(g.Limite, TLimiteEspacamento::PerdaSolo);

    TArquivoIni copia = doc;
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    ASSERT_TRUE(LerProjeto(p, copia));
    p.Estrada.Sc = trecho.Declividade;
    p.Estrada.Comprimento(trecho.Comprimento);
    p.Estrada.nc.Valor = g.Rugosidade;
    p.Estrada.Erodibilidade *= *g.FatorTensao;
    p.Estrada.TalCritica /= *g.FatorTensao;
    const TResultadoCalculo equivalente = ExecutarCalculo(p, trecho.Comprimento, nullptr);
    EXPECT_EQ(g.Espacamento, equivalente.Canal.Espacamento);
    const TLinhaSecao& l = equivalente.Canal.Secoes[std::size_t(g.Espacamento) - 1];
    ExpectRelativo(g.TensaoProjeto, l.Tensao, 1e-12, "τd");
    ExpectRelativo(g.Lamina, l.Lamina, 1e-12, "lâmina");

    cfg.ClasseGrama = TClasseGrama::E;
    const TResultadoAlternativa e = Linha(ExecutarProtecao(doc, cfg), TAlternativaProtecao::Grama);
    EXPECT_EQ(*e.TensaoAdmissivel, 17);
    EXPECT_GT(e.TensaoProjeto, 17);
    EXPECT_FALSE(e.Resiste);
    EXPECT_FALSE(e.Atende);
    EXPECT_GE(e.ResisteAte, 1);
    EXPECT_LT(e.ResisteAte, e.Espacamento);
}

// Manta: pára antes da seção cuja tensão passa da admissível. Enrocamento: a pedra é a da
// tensão de pico da seção do desaguadouro.
TEST(ProtecaoCanal, MantaEEnrocamento) {
    const TArquivoIni doc = Documento("c03_equiv_200m");
    TConfiguracaoProtecao cfg;
    cfg.ProfundidadeCanal = 1;
    cfg.TensaoManta = 60;
    const TResultadoProtecao r = ExecutarProtecao(doc, cfg);
    const TResultadoAlternativa& m = Linha(r, TAlternativaProtecao::Manta);
    EXPECT_EQ(m.Limite, TLimiteEspacamento::TensaoAdmissivel);
    EXPECT_LE(m.TensaoProjeto, 60);
    EXPECT_EQ(m.Rugosidade, cfg.RugosidadeManta);
    cfg.TensaoManta = 80;
    EXPECT_GT(Linha(ExecutarProtecao(doc, cfg), TAlternativaProtecao::Manta).Espacamento,
              m.Espacamento);

    const TResultadoAlternativa& p = Linha(r, TAlternativaProtecao::Enrocamento);
    ASSERT_TRUE(p.Ok) << p.Erro;
    ASSERT_TRUE(p.D50);
    ExpectRelativo(*p.D50, DimensionarPedra(p.TensaoProjeto, r.Declividade, 2.65).D50, 1e-12,
                   "D50");
    EXPECT_EQ(p.Espacamento, 200);
    EXPECT_TRUE(p.Atende);
}

// Custo por km = custo do revestimento por metro × 1000 + desaguadouros por km × custo de
// cada um (com a bacia); c14 tem 150 m: o solo exposto (82 m) pede 2 desaguadouros, os outros 1.
TEST(ProtecaoCanal, TabelaDeCustos) {
    const TArquivoIni doc = Documento("c14_talude_sem_escoamento");
    TConfiguracaoProtecao cfg;
    // A grama B (101 Pa) aguenta a tensão do fim do canal, com lâmina que cabe em 60 cm.
    cfg.ClasseGrama = TClasseGrama::B;
    cfg.ProfundidadeCanal = 0.6;
    cfg.Custos = {10, 30, 80, 120, 2000};
    const TResultadoProtecao r = ExecutarProtecao(doc, cfg);
    const struct {
        TAlternativaProtecao A;
        int Espacamento;
        double Custo;
    } esperado[] = {
        {TAlternativaProtecao::SoloExposto, 82, 2 * 1000.0 / 150 * 2000},
        {TAlternativaProtecao::Grama, 150, 10 * 1000 + 1000.0 / 150 * 2000},
        {TAlternativaProtecao::Manta, 150, 30 * 1000 + 1000.0 / 150 * 2000},
        {TAlternativaProtecao::Enrocamento, 150, 80 * 1000 + 1000.0 / 150 * 2000},
        {TAlternativaProtecao::Concreto, 150, 120 * 1000 + 1000.0 / 150 * 2000},
    };
    for (const auto& e : esperado) {
        const TResultadoAlternativa& l = Linha(r, e.A);
        ASSERT_TRUE(l.CustoPorKm) << NomeAlternativa(e.A);
        EXPECT_EQ(l.Espacamento, e.Espacamento) << NomeAlternativa(e.A);
        ExpectRelativo(*l.CustoPorKm, e.Custo, 1e-12, NomeAlternativa(e.A));
        EXPECT_TRUE(l.Atende) << NomeAlternativa(e.A);
        EXPECT_EQ(l.MaisBarata, e.A == TAlternativaProtecao::Grama) << NomeAlternativa(e.A);
    }
    // A mais barata é a que atende: com a grama afogando o canal raso, é o solo exposto.
    cfg.ProfundidadeCanal = 0.20;
    cfg.BordaLivre = 0.05;
    const TResultadoProtecao raso = ExecutarProtecao(doc, cfg);
    EXPECT_FALSE(Linha(raso, TAlternativaProtecao::Grama).Atende);
    EXPECT_TRUE(Linha(raso, TAlternativaProtecao::SoloExposto).MaisBarata);
    // Sem o custo do desaguadouro, nenhum custo; sem o de um revestimento, só ele fica sem.
    cfg = {};
    cfg.Custos.Grama = 10;
    for (const auto& l : ExecutarProtecao(doc, cfg).Alternativas)
        EXPECT_FALSE(l.CustoPorKm) << NomeAlternativa(l.Alternativa);
    cfg.Custos = {std::nullopt, 30, 80, 120, 2000};
    const TResultadoProtecao semGrama = ExecutarProtecao(doc, cfg);
    EXPECT_FALSE(Linha(semGrama, TAlternativaProtecao::Grama).CustoPorKm);
    EXPECT_TRUE(Linha(semGrama, TAlternativaProtecao::SoloExposto).MaisBarata);
}

// Um trecho da estrada: o comprimento e a magnitude da declividade dele.
TEST(ProtecaoCanal, TrechoDaEstrada) {
    const TArquivoIni doc = Documento("c03_equiv_200m");
    const TResultadoProtecao r = ExecutarProtecao(doc, {}, TTrecho("subida", 0, 120, -0.05), 2);
    EXPECT_EQ(r.Comprimento, 120);
    EXPECT_EQ(r.Declividade, 0.05);
    const TResultadoExecucao t =
        ExecutarTrechos(doc, {TTrecho("subida", 0, 120, -0.05)}, 1).front().Resultado;
    const TResultadoAlternativa& solo = Linha(r, TAlternativaProtecao::SoloExposto);
    EXPECT_EQ(solo.NenhumEspacamento, t.NenhumEspacamento);
    EXPECT_EQ(solo.Espacamento, t.Espacamento);
}

// O arquivo: um projeto sem a seção abre com os padrões e sai sem ela; com ela, volta igual;
// um valor que não serve recusa o arquivo dizendo a chave.
TEST(ProtecaoCanal, ArquivoDoProjeto) {
    TPastaTemporaria pasta("protecao");
    const TArquivoIni original = Documento("c03_equiv_200m");
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    TArquivoIni doc = original;
    ASSERT_TRUE(LerProjeto(p, doc));
    EXPECT_EQ(p.Protecao, TConfiguracaoProtecao{});
    TArquivoIni escrito = original;
    EscreverProjeto(p, escrito);
    EXPECT_FALSE(escrito.ExisteSecao(SECAO_PROTECAO));

    p.Protecao.ProfundidadeCanal = 0.45;
    p.Protecao.BordaLivre = 0.075;
    p.Protecao.ClasseGrama = TClasseGrama::B;
    p.Protecao.FatorCobertura = 0.62;
    p.Protecao.TensaoManta = 108.5;
    p.Protecao.RugosidadeManta = 0.036;
    p.Protecao.MassaEspecificaPedra = 2.7;
    p.Protecao.Custos = {12.5, std::nullopt, 95.75, 140, 3200.1};
    const std::string caminho = (pasta / "p.mvd").string();
    EscreverProjeto(p, caminho);
    TUnidades u2;
    TProjeto lido(u2);
    ZerarVariaveis(lido);
    ASSERT_TRUE(LerProjeto(lido, caminho));
    EXPECT_EQ(lido.Protecao, p.Protecao);
    // Um custo apagado sai do arquivo.
    p.Protecao.Custos.Grama.reset();
    EscreverProjeto(p, caminho);
    EXPECT_EQ(LerBytes(caminho).find("CustoGrama"), std::string::npos);

    const std::string texto = LerBytes(caminho);
    const struct {
        const char* Chave;
        const char* Valor;
    } ruins[] = {{"ClasseGrama", "F"},      {"BordaLivre", "-1"}, {"FatorCobertura", "1,5"},
                 {"CustoConcreto", "caro"}, {"TensaoManta", "0"}, {"MassaEspecificaPedra", "1"},
                 {"ProfundidadeCanal", ""}, {"Versao", "2"}};
    for (const auto& r : ruins) {
        // A Versao de outras seções fica: só a da proteção muda.
        const std::string antes =
            std::string(r.Chave) == "Versao" ? "\\[PROTECAO_CANAL\\]\r\n" : "\r\n";
        const std::string ruim =
            Trocar(texto, antes + r.Chave + "=[^\r]*",
                   std::string(std::string(r.Chave) == "Versao" ? "[PROTECAO_CANAL]\r\n" : "\r\n") +
                       r.Chave + "=" + r.Valor);
        ASSERT_NE(ruim, texto) << r.Chave;
        GravarBytes(pasta / "ruim.mvd", ruim);
        TUnidades u3;
        TProjeto q(u3);
        ZerarVariaveis(q);
        try {
            LerProjeto(q, (pasta / "ruim.mvd").string());
            ADD_FAILURE() << r.Chave << " aceito";
        } catch (const EMorvendo& e) {
            EXPECT_NE(std::string(e.what()).find(std::string("[PROTECAO_CANAL] ") + r.Chave),
                      std::string::npos)
                << e.what();
        }
    }
}

TEST(ProtecaoCanal, CustosEmCsv) {
    auto ler = [](const std::string& texto) {
        std::istringstream in(texto);
        return LerCustosCsv(in);
    };
    EXPECT_EQ(ler("alternativa,custo\ngrama,12.5\ndesaguadouro,3000\n"),
              (TCustosProtecao{12.5, std::nullopt, std::nullopt, std::nullopt, 3000}));
    EXPECT_EQ(ler("\xEF\xBB\xBF"
                  "alternativa;custo\r\nconcreto;140,25\r\nmanta;30\r\n"),
              (TCustosProtecao{std::nullopt, 30, std::nullopt, 140.25, std::nullopt}));
    EXPECT_EQ(ler("enrocamento,80\n"),
              (TCustosProtecao{std::nullopt, std::nullopt, 80, std::nullopt, std::nullopt}));
    const struct {
        const char* Texto;
        const char* Trecho;
    } ruins[] = {
        {"alternativa,custo\nasfalto,10\n", "Linha 2: a alternativa \"asfalto\" não existe"},
        {"grama,-1\n", "Linha 1: o custo (\"-1\")"},
        {"grama,1,5\n", "são esperados 2 campos"},
        {"grama,10\ngrama,11\n", "Linha 2: o custo de grama aparece duas vezes"},
        {"grama;abc\n", "Linha 1: o custo (\"abc\")"},
    };
    for (const auto& r : ruins) {
        try {
            ler(r.Texto);
            ADD_FAILURE() << r.Texto;
        } catch (const EMorvendo& e) {
            EXPECT_NE(std::string(e.what()).find(r.Trecho), std::string::npos) << e.what();
        }
    }
}

// morvendo-calc --protecao: as colunas do CSV, os custos de um arquivo e as recusas.
TEST(ProtecaoCanal, LinhaDeComando) {
    TPastaTemporaria pasta("protecao-cli");
    const std::string projeto = DADOS_REFERENCIA + "c14_talude_sem_escoamento.mvd";
    const TSaida s = Rodar(pasta.Caminho, "'" + projeto + "' --protecao --threads 2");
    ASSERT_EQ(s.Status, 0) << s.Err;
    std::istringstream linhas(s.Out);
    std::string cabecalho, linha;
    std::getline(linhas, cabecalho);
    EXPECT_EQ(cabecalho, "alternativa,espacamento_m,desaguadouros_por_km,tensao_efetiva_max_Pa,"
                         "lamina_cm,velocidade_m_s,capacidade_ok,custo_por_km");
    std::vector<std::string> nomes;
    while (std::getline(linhas, linha)) {
        nomes.push_back(linha.substr(0, linha.find(',')));
        EXPECT_EQ(std::count(linha.begin(), linha.end(), ','), 7) << linha;
        EXPECT_EQ(linha.back(), ',') << "sem custos, a última coluna vazia: " << linha;
    }
    EXPECT_EQ(nomes, (std::vector<std::string>{"solo_exposto", "grama", "manta", "enrocamento",
                                               "concreto"}));
    EXPECT_EQ(s.Out.find("solo_exposto,82,"), s.Out.find('\n') + 1);

    GravarBytes(pasta / "custos.csv", "alternativa,custo\ngrama,10\ndesaguadouro,2000\n");
    const TSaida c = Rodar(pasta.Caminho, "'" + projeto + "' --protecao --custos custos.csv");
    ASSERT_EQ(c.Status, 0) << c.Err;
    EXPECT_NE(c.Out.find("\nsolo_exposto,82,13.333333333333334,"), std::string::npos) << c.Out;
    EXPECT_NE(c.Out.find(",1,23333.333333333336\n"), std::string::npos) << c.Out;

    GravarBytes(pasta / "ruim.csv", "grama,x\n");
    const TSaida r = Rodar(pasta.Caminho, "'" + projeto + "' --protecao --custos ruim.csv");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("ruim.csv: Linha 1: o custo"), std::string::npos) << r.Err;
    for (const char* opcoes : {"--protecao --json", "--custos custos.csv",
                               "--protecao --trechos t.csv", "--protecao --protecao"})
        EXPECT_EQ(Rodar(pasta.Caminho, "'" + projeto + "' " + opcoes).Status, 2) << opcoes;

    // Canal raso demais para todas: a tabela sai, com o status que diz que nenhuma atende.
    TArquivoIni raso;
    raso.Carregar(projeto);
    raso.EscreverTexto(SECAO_PROTECAO, "Versao", "1");
    raso.EscreverTexto(SECAO_PROTECAO, "ProfundidadeCanal", "0.02");
    raso.EscreverTexto(SECAO_PROTECAO, "BordaLivre", "0.01");
    raso.SalvarComo((pasta / "raso.mvd").string());
    const TSaida n = Rodar(pasta.Caminho, "raso.mvd --protecao");
    EXPECT_EQ(n.Status, 5) << n.Err;
    EXPECT_EQ(n.Out.rfind("alternativa,", 0), 0u);
}

// O relatório traz a tabela só quando pedida; a mensagem de uma linha que falhou sai escapada.
TEST(ProtecaoCanal, SecaoNoRelatorio) {
    TArquivoIni doc = Documento("c03_equiv_200m");
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    ASSERT_TRUE(LerProjeto(p, doc));
    const TResultadoCalculo calc = ExecutarCalculo(p, p.Estrada.Comprimento(), nullptr);
    TResultadoProtecao r = ExecutarProtecao(Documento("c03_equiv_200m"), {});
    r.Alternativas[2].Ok = false;
    r.Alternativas[2].Erro = "falhou <b>aqui</b>";
    TOpcoesRelatorioEstrada o;
    const std::string sem = MontarRelatorioEstrada(p, calc, o);
    o.Protecao = &r;
    const std::string com = MontarRelatorioEstrada(p, calc, o);
    const std::string titulo = "Prote\xE7\xE3o do canal"; // Windows-1252
    EXPECT_EQ(sem.find(titulo), std::string::npos);
    ASSERT_NE(com.find(titulo), std::string::npos);
    EXPECT_NE(com.find("falhou &lt;b&gt;aqui&lt;/b&gt;"), std::string::npos);
    EXPECT_EQ(com.find("<b>aqui"), std::string::npos);
    // A seção vem depois dos resultados e antes dos gráficos.
    EXPECT_LT(com.find("Resultados - Bacia"), com.find(titulo));
    EXPECT_LT(com.find(titulo), com.find("Gr\xE1"
                                         "ficos"));
}
