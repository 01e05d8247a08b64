#include <gtest/gtest.h>

#include <functional>

#include "Auxiliar.h"
#include "comum/ArquivoIni.h"
#include "project/CamposProjeto.h"
#include "project/Projeto.h"

namespace {

struct TCasoValidacao {
    const char* nome;
    std::function<void(TProjeto&)> alterar;
    const char* mensagem; // nullptr: passa
    TCampo campo;
    const char* aba;
};

void PrintTo(const TCasoValidacao& c, std::ostream* os) {
    *os << c.nome;
}

class Validacao : public ::testing::TestWithParam<TCasoValidacao> {};

TEST_P(Validacao, PrimeiraFalhaDecide) {
    const TCasoValidacao& c = GetParam();
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    ASSERT_TRUE(LerProjeto(p, DADOS_REFERENCIA + "c03_equiv_200m.mvd"));
    c.alterar(p);
    const auto falha = ValidarDados(p);
    if (!c.mensagem) {
        EXPECT_FALSE(falha.has_value()) << falha->Mensagem;
        return;
    }
    ASSERT_TRUE(falha.has_value());
    EXPECT_EQ(falha->Mensagem, c.mensagem);
    EXPECT_EQ(falha->Campo, c.campo);
    EXPECT_EQ(falha->Aba, c.aba);
}

TEncostaCinematica& Leito(TProjeto& p) {
    return p.Estrada.Leito.Plano(0);
}
TEncostaCinematica& Talude(TProjeto& p) {
    return p.Estrada.AreaExterna.Plano(0);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Validacao,
    ::testing::Values(
        TCasoValidacao{"valido", [](TProjeto&) {}, nullptr, CAMPO_NENHUM, ""},
        TCasoValidacao{"tudo_zero",
                       [](TProjeto& p) {
                           ZerarVariaveis(p);
                           p.Estrada.TrDim = p.Estrada.TrEsp = 0;
                       },
                       "Valor incorreto em \"Espaçamento\" (Período de retorno): deve ser "
                       "maior que 0 e no máximo 10000 anos.",
                       CAMPO_TR_ESP, "Precipitação"},
        TCasoValidacao{"parametros_e_canal",
                       [](TProjeto& p) {
                           p.Chuva().K(0);
                           p.Chuva().B(0);
                           p.Estrada.Sc = 0;
                       },
                       "Valor incorreto em \"K\" (Parâmetros da equação IDF): deve ser maior "
                       "que 0 e no máximo 100000.",
                       CAMPO_K, "Precipitação"},
        TCasoValidacao{"leito_rugosidade_e_infiltracao",
                       [](TProjeto& p) {
                           Leito(p).nt.Valor = 0;
                           Leito(p).VIB(0);
                       },
                       "Valor incorreto em \"Taxa de infiltração estável\" (Leito da estrada): "
                       "deve ser maior que 0 e no máximo 2400 cm/dia.",
                       CAMPO_VIB_ESTRADA, "Estrada"},
        TCasoValidacao{"cobertura_sem_cn",
                       [](TProjeto& p) {
                           Talude(p).Cobertura.UsoTerra.Indice = 1;
                           Talude(p).Cobertura.CondicaoHidrologica.Indice = 2;
                       },
                       "Nenhuma cobertura vegetal foi escolhida para a área externa (botão "
                       "\"Cobertura vegetal\").",
                       CAMPO_COBERTURA_TALUDE, "Estrada"},
        TCasoValidacao{"secao3_ignora_talude",
                       [](TProjeto& p) {
                           p.Estrada.IndSecao = 3;
                           Talude(p).St(0);
                           Talude(p).Comprimento(0);
                       },
                       nullptr, CAMPO_NENHUM, ""},
        TCasoValidacao{"conducao_triangular_m2",
                       [](TProjeto& p) { p.Estrada.Bacia.CanalConducao.Sm.Valor = 0; },
                       "Valor incorreto em \"m2\" (Canal de condução): deve ser maior que 0 e "
                       "no máximo 100.",
                       CAMPO_M2_CONDUCAO, "Bacias de acumulação"},
        TCasoValidacao{"bacia_retangular_m1_m2",
                       [](TProjeto& p) { p.Estrada.Bacia.Formato = TBaciaAcumulacao::RETANGULAR; },
                       "Valor incorreto em \"m2\" (Bacia de acumulação): deve ser maior que 0 "
                       "e no máximo 100.",
                       CAMPO_M2_BACIA, "Bacias de acumulação"},
        TCasoValidacao{"canal_triangular_paredes",
                       [](TProjeto& p) {
                           p.Estrada.Sm.Valor = 0;
                           p.Estrada.Z.Valor = 0;
                       },
                       "Valor incorreto em \"m1\" (Canal da estrada): deve ser maior que 0 e no "
                       "máximo 100.",
                       CAMPO_M1_CANAL, "Estrada"},
        TCasoValidacao{"canal_trapezoidal_base",
                       [](TProjeto& p) { p.Estrada.TipoCanal.Valor = CANAL_TRAPEZOIDAL; },
                       "Valor incorreto em \"B\" (Canal da estrada): deve ser maior que 0 e no "
                       "máximo 100 m.",
                       CAMPO_B_CANAL, "Estrada"},
        TCasoValidacao{"canal_comprimento_e_solo",
                       [](TProjeto& p) {
                           p.Estrada.Comprimento(0);
                           p.Estrada.Densidade = 0;
                       },
                       "Valor incorreto em \"Massa específica\" (Solo): deve ser maior que 0 e "
                       "no máximo 10 g/cm³.",
                       CAMPO_DENSIDADE, "Estrada"},
        // Limites de cima: valores absurdos não chegam ao cálculo.
        TCasoValidacao{"erodibilidade_absurda",
                       [](TProjeto& p) { p.Estrada.Erodibilidade = 1e308; },
                       "Valor incorreto em \"Erodibilidade\" (Solo): deve ser maior que 0 e no "
                       "máximo 0.6 g·cm⁻²·min⁻¹·Pa⁻¹.",
                       CAMPO_ERODIBILIDADE, "Estrada"},
        TCasoValidacao{"canal_acima_de_100_km", [](TProjeto& p) { p.Estrada.Comprimento(100001); },
                       "Valor incorreto em \"Comprimento\" (Canal da estrada): deve ser um "
                       "número inteiro de 1 a 100000 m.",
                       CAMPO_COMP_CANAL, "Estrada"},
        TCasoValidacao{"canal_de_100_km_passa", [](TProjeto& p) { p.Estrada.Comprimento(100000); },
                       nullptr, CAMPO_NENHUM, ""},
        TCasoValidacao{"semi_largura_acima_de_10_km",
                       [](TProjeto& p) { Leito(p).Comprimento(10001); },
                       "Valor incorreto em \"Semilargura\" (Leito da estrada): deve ser um "
                       "número inteiro de 1 a 10000 m.",
                       CAMPO_COMP_ESTRADA, "Estrada"},
        TCasoValidacao{"largura_na_secao_2",
                       [](TProjeto& p) {
                           p.Estrada.IndSecao = 2;
                           Leito(p).Comprimento(0);
                       },
                       "Valor incorreto em \"Largura\" (Leito da estrada): deve ser um número "
                       "inteiro de 1 a 10000 m.",
                       CAMPO_COMP_ESTRADA, "Estrada"},
        TCasoValidacao{"declividade_na_unidade_mostrada", [](TProjeto& p) { p.Estrada.Sc = 1.5; },
                       "Valor incorreto em \"Declividade\" (Canal da estrada): deve ser maior "
                       "que 0 e no máximo 100 %.",
                       CAMPO_SC_CANAL, "Estrada"},
        TCasoValidacao{"equivalente_com_um_ano", [](TProjeto& p) { p.Estrada.TrEsp = 1; },
                       "Valor incorreto em \"Espaçamento\" (Período de retorno): com o período "
                       "de retorno equivalente, deve ser maior que 1 e no máximo 10000 anos.",
                       CAMPO_TR_ESP, "Precipitação"},
        TCasoValidacao{"parametro_b_absurdo", [](TProjeto& p) { p.Chuva().B(1e308); },
                       "Valor incorreto em \"b\" (Parâmetros da equação IDF): deve ser maior "
                       "que 0 e no máximo 1000 min.",
                       CAMPO_B, "Precipitação"},
        // Digitada perto demais de zero, a rugosidade estouraria o cálculo (1/n).
        TCasoValidacao{"rugosidade_subnormal", [](TProjeto& p) { Leito(p).nt.Valor = 1e-310; },
                       "Valor incorreto em \"Rugosidade\" (Leito da estrada): deve ser maior "
                       "que 0 e no máximo 1.",
                       CAMPO_RUG_ESTRADA, "Estrada"},
        TCasoValidacao{"fundo_do_canal_de_conducao_pode_ser_zero",
                       [](TProjeto& p) {
                           auto& cc = p.Estrada.Bacia.CanalConducao;
                           cc.TipoCanal.Valor = CANAL_TRAPEZOIDAL;
                           cc.Z.Valor = 1;
                           cc.B(0);
                       },
                       nullptr, CAMPO_NENHUM, ""}),
    [](const ::testing::TestParamInfo<TCasoValidacao>& i) { return std::string(i.param.nome); });

// Para quem corrige o arquivo à mão, a falha diz também a seção, a chave e o valor gravado (o
// inverso, para m2).
TEST(Validacao, LugarNoArquivo) {
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    ASSERT_TRUE(LerProjeto(p, DADOS_REFERENCIA + "c03_equiv_200m.mvd"));
    p.Estrada.Sm.Valor = 1e308;
    const auto falha = ValidarDados(p);
    ASSERT_TRUE(falha.has_value());
    EXPECT_EQ(MensagemComLugarNoArquivo(*falha, p),
              "Valor incorreto em \"m2\" (Canal da estrada): deve ser maior que 0 e no máximo "
              "100. No arquivo do projeto: [Canal_ESTRADA] ValorSm = 1E308.");
    // A cobertura são as três escolhas do diálogo; um dado sem chave fica com a mensagem.
    Talude(p).Cobertura.CondicaoHidrologica.Indice = 0;
    const TFalhaValidacao cobertura{"Sem cobertura.", CAMPO_COBERTURA_TALUDE, "Estrada"};
    EXPECT_EQ(MensagemComLugarNoArquivo(cobertura, p),
              "Sem cobertura. No arquivo do projeto: [Cobertura_Talude: Trecho 1] IndUso = " +
                  std::to_string(Talude(p).Cobertura.UsoTerra.Indice) +
                  ", IndCond = 0, IndTrat = " +
                  std::to_string(Talude(p).Cobertura.Tratamento.Indice) + ".");
    const TFalhaValidacao semChave{"Seção 2.", CAMPO_SECAO, "Estrada"};
    EXPECT_EQ(MensagemComLugarNoArquivo(semChave, p), "Seção 2.");
}

// A lista traz todas as falhas; a verificação antes do cálculo mostra a primeira.
TEST(Validacao, ListaTodasAsFalhasNaOrdemDaVerificacao) {
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    ASSERT_TRUE(LerProjeto(p, DADOS_REFERENCIA + "c03_equiv_200m.mvd"));
    p.Chuva().C(0);
    p.Estrada.TrDim = 20000;
    Leito(p).nt.Valor = 2;
    p.Estrada.Densidade = -1;
    p.Estrada.Bacia.Profundidade = 0;
    std::vector<TCampo> campos;
    for (const TFalhaValidacao& f : ListarFalhas(p)) {
        campos.push_back(f.Campo);
        // Pronta para a caixa, o terminal e a linha do estudo: sem espaços de enchimento.
        EXPECT_NE(f.Mensagem.front(), ' ');
        EXPECT_EQ(f.Mensagem.back(), '.');
    }
    EXPECT_EQ(campos, (std::vector<TCampo>{CAMPO_TR_DIM, CAMPO_C, CAMPO_RUG_ESTRADA,
                                           CAMPO_PROF_BACIA, CAMPO_DENSIDADE}));
    EXPECT_EQ(ValidarDados(p)->Campo, CAMPO_TR_DIM);
}

// A faixa de um campo acompanha a unidade configurada.
TEST(Validacao, FaixaNasUnidadesConfiguradas) {
    TUnidades u;
    const TCampoProjeto& erod = *CampoProjeto(CAMPO_ERODIBILIDADE);
    u.SetErodibilidade(1);
    EXPECT_TRUE(DentroDaFaixa(erod, 0.6, u));
    EXPECT_FALSE(DentroDaFaixa(erod, 0.61, u));
    u.SetErodibilidade(0);
    EXPECT_DOUBLE_EQ(MaximoMostrado(erod, u), 0.1);
    EXPECT_FALSE(DentroDaFaixa(erod, 0.2, u));
    const TCampoProjeto& comp = *CampoProjeto(CAMPO_COMP_CANAL);
    EXPECT_FALSE(DentroDaFaixa(comp, 220.5, u));
    EXPECT_TRUE(GuardavelNoCampo(comp, 0, u));
    EXPECT_FALSE(GuardavelNoCampo(comp, -1, u));
    EXPECT_FALSE(GuardavelNoCampo(comp, 1e9, u));
    EXPECT_EQ(MensagemCampo(comp, u, TMotivoFalha::NaoInteiro, "220,5"),
              "\"220,5\" não é um número inteiro: \"Comprimento\" (Canal da estrada) deve ser "
              "um número inteiro de 1 a 100000 m.");
    // Todo campo numérico tem a sua linha, na ordem dos identificadores; as escolhas sem
    // valor não têm.
    ASSERT_EQ(TodosCamposProjeto().size(), std::size_t(NUM_CAMPOS_NUMERICOS));
    for (int i = 0; i < NUM_CAMPOS_NUMERICOS; ++i) {
        const TCampoProjeto* c = CampoProjeto(TCampo(i));
        ASSERT_TRUE(c) << i;
        EXPECT_EQ(c->Id, TCampo(i)) << c->Rotulo << " (" << c->Grupo << ")";
        EXPECT_GT(c->Maximo, c->Minimo) << c->Rotulo << " (" << c->Grupo << ")";
    }
    for (TCampo sem : {CAMPO_COBERTURA_TALUDE, CAMPO_SECAO, CAMPO_NENHUM})
        EXPECT_EQ(CampoProjeto(sem), nullptr) << sem;
}

// Cada campo da tabela lê e muda o valor que o arquivo guarda na sua seção e chave: a tabela
// não se desencontra dos objetos que leem e gravam o arquivo.
TEST(TabelaDeCampos, SecaoEChaveGuardamOValorDoCampo) {
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    ASSERT_TRUE(LerProjeto(p, DADOS_REFERENCIA + "c03_equiv_200m.mvd"));
    for (const TCampoProjeto& c : TodosCamposProjeto()) {
        SCOPED_TRACE(std::string(c.Rotulo) + " (" + c.Grupo + ")");
        ASSERT_TRUE(c.Secao && c.Chave && c.Valor && c.Definir);
        TArquivoIni antes;
        EscreverProjeto(p, antes);
        EXPECT_EQ(antes.LerReal(c.Secao, c.Chave, -1), c.Valor(p));
        // Um valor que nenhum campo do caso tem e que o arquivo guarda exato.
        const double novo = c.Inteiro ? 37 : 0.375;
        c.Definir(p, novo);
        EXPECT_EQ(c.Valor(p), novo);
        TArquivoIni depois;
        EscreverProjeto(p, depois);
        EXPECT_EQ(depois.LerReal(c.Secao, c.Chave, -1), novo);
        // E no outro sentido: o valor posto na seção e chave é o que o projeto lê.
        const double lido = c.Inteiro ? 41 : 0.625;
        depois.EscreverReal(c.Secao, c.Chave, lido);
        TProjeto relido(u);
        ZerarVariaveis(relido);
        ASSERT_TRUE(LerProjeto(relido, depois));
        EXPECT_EQ(c.Valor(relido), lido);
    }
}

// O valor mostrado e o do arquivo diferem pela unidade configurada ou pelo inverso.
TEST(TabelaDeCampos, ValorMostradoNaUnidadeConfigurada) {
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    ASSERT_TRUE(LerProjeto(p, DADOS_REFERENCIA + "c03_equiv_200m.mvd"));
    struct TCaso {
        TCampo campo;
        double mostrado, arquivo;
    };
    // O caso mostra declividades em % e infiltrações em cm/dia.
    for (const TCaso& k : {TCaso{CAMPO_SC_CANAL, 4, 0.04}, TCaso{CAMPO_VIB_ESTRADA, 48, 20},
                           TCaso{CAMPO_M2_CANAL, 4, 0.25}, TCaso{CAMPO_M1_CONDUCAO, 2, 0.5},
                           TCaso{CAMPO_M1_CANAL, 2, 2}, TCaso{CAMPO_ERODIBILIDADE, 0.004, 0.004},
                           TCaso{CAMPO_COMP_CANAL, 200, 200}, TCaso{CAMPO_M2_CONDUCAO, 0, 0}}) {
        const TCampoProjeto& c = *CampoProjeto(k.campo);
        SCOPED_TRACE(std::string(c.Rotulo) + " (" + c.Grupo + ")");
        DefinirMostrado(c, p, k.mostrado, u);
        EXPECT_DOUBLE_EQ(c.Valor(p), k.arquivo);
        EXPECT_DOUBLE_EQ(ValorMostrado(c, p, u), k.mostrado);
    }
    // Parede com inclinação negativa (arquivo danificado): recusada como a sem inclinação.
    p.Estrada.Sm.Valor = -1;
    const TCampoProjeto& m2 = *CampoProjeto(CAMPO_M2_CANAL);
    EXPECT_FALSE(DentroDaFaixa(m2, ValorMostrado(m2, p, u), u));
}

} // namespace
