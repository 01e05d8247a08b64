#include <gtest/gtest.h>

#include <functional>

#include "Auxiliar.h"
#include "project/Projeto.h"

namespace {

struct TCasoValidacao {
    const char* nome;
    std::function<void(TProjeto&)> alterar;
    const char* mensagem; // nullptr: passa
    const char* campo;
    const char* aba;
};

void PrintTo(const TCasoValidacao& c, std::ostream* os) { *os << c.nome; }

class Validacao : public ::testing::TestWithParam<TCasoValidacao> {};

TEST_P(Validacao, UltimaFalhaDoPrimeiroGrupoDecide) {
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

TEncostaCinematica& Leito(TProjeto& p) { return p.Estrada.Estrada.Secao(0); }
TEncostaCinematica& Talude(TProjeto& p) { return p.Estrada.Talude.Secao(0); }

INSTANTIATE_TEST_SUITE_P(
    Casos, Validacao,
    ::testing::Values(
        TCasoValidacao{"valido", [](TProjeto&) {}, nullptr, "", ""},
        TCasoValidacao{"tudo_zero",
                       [](TProjeto& p) {
                           ZerarVariaveis(p);
                           p.Estrada.TrDim = p.Estrada.TrEsp = 0;
                       },
                       "  Valor incorreto do tempo de retorno (espaçamento).  ", "eTrEsp",
                       "Precipitação"},
        TCasoValidacao{"parametros_e_canal",
                       [](TProjeto& p) {
                           p.Chuva().K(0);
                           p.Chuva().B(0);
                           p.Estrada.Sc = 0;
                       },
                       "  Valor incorreto do parâmetro \"K\" da equação de chuvas intensas.  ",
                       "eK", "Precipitação"},
        TCasoValidacao{"leito_rugosidade_e_infiltracao",
                       [](TProjeto& p) {
                           Leito(p).nt.Valor = 0;
                           Leito(p).VIB(0);
                       },
                       "  Valor incorreto da velocidade de infiltração básica na estrada.  ",
                       "eVIBEstrada", "Estrada"},
        TCasoValidacao{"cobertura_sem_cn",
                       [](TProjeto& p) {
                           Talude(p).Cobertura.UsoTerra.Indice = 1;
                           Talude(p).Cobertura.CondicaoHidrologica.Indice = 2;
                       },
                       "  Nenhuma informação sobre cobertura vegetal no talude foi fornecida.  ",
                       "btnCoberVegTalude", "Estrada"},
        TCasoValidacao{"secao3_ignora_talude",
                       [](TProjeto& p) {
                           p.Estrada.IndSecao = 3;
                           Talude(p).St(0);
                           Talude(p).Comprimento(0);
                       },
                       nullptr, "", ""},
        TCasoValidacao{"conducao_triangular_m2",
                       [](TProjeto& p) { p.Estrada.Bacia.CanalConducao.Sm.Valor = 0; },
                       "  Valor incorreto do parâmetro \"m2\" do canal da bacia de acumulação.  ",
                       "eProfBacia", "Bacias de acumulação"},
        TCasoValidacao{"bacia_retangular_m1_m2",
                       [](TProjeto& p) { p.Estrada.Bacia.Formato = TBaciaAcumulacao::RETANGULAR; },
                       "  Valor incorreto do parâmetro \"m2\" da bacia de acumulação.  ",
                       "eProfBacia", "Bacias de acumulação"},
        TCasoValidacao{"canal_triangular_paredes",
                       [](TProjeto& p) {
                           p.Estrada.Sm.Valor = 0;
                           p.Estrada.Z.Valor = 0;
                       },
                       "  Valor incorreto da declividade da parede do canal da estrada.  ", "em1",
                       "Estrada"},
        TCasoValidacao{"canal_trapezoidal_base",
                       [](TProjeto& p) { p.Estrada.TipoCanal.Valor = CANAL_TRAPEZOIDAL; },
                       "  Valor incorreto da base do canal da estrada.  ", "ValorB", "Estrada"},
        TCasoValidacao{"canal_comprimento_e_solo",
                       [](TProjeto& p) {
                           p.Estrada.Comprimento(0);
                           p.Estrada.Densidade = 0;
                       },
                       "  Valor incorreto da densidade do canal.  ", "eDensidade", "Estrada"}),
    [](const ::testing::TestParamInfo<TCasoValidacao>& i) { return std::string(i.param.nome); });

} // namespace
