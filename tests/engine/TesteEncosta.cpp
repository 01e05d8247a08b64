#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "comum/EMorvendo.h"
#include "engine/EncostaCinematica.h"
#include "engine/Precipitacao.h"

namespace {

TPrecipitacaoExponencialNegativa Chuva() {
    TPrecipitacaoExponencialNegativa c;
    c.K(1000);
    c.Tr(10);
    c.A(0.2);
    c.B(10);
    c.C(0.8);
    return c;
}

TEncostaCinematica Plano(const std::string& versao, double vib, int comprimento = 4) {
    TEncostaCinematica p("_Estrada");
    p.Versao = versao;
    p.VIB(vib);
    p.St(0.03);
    p.nt.Valor = 0.02;
    p.Comprimento(comprimento);
    p.Cobertura.Tratamento.Indice = 1;
    return p;
}

struct TRegistro : IAcompanhamento {
    std::vector<std::string> mensagens;
    int eventos = 0, ocupado = 0;
    void MostrarMensagem(const std::string& t) override { mensagens.push_back(t); }
    void ProcessarEventos() override {
        ++eventos;
        std::feraiseexcept(FE_DIVBYZERO); // a interface pode sujar os sinalizadores
    }
    void Ocupado(bool ligado) override { ocupado += ligado ? 1 : -1; }
};

TEST(Encosta, NumeroDeCelulas) {
    struct {
        int l, n;
    } casos[] = {{50, 100}, {8, 100}, {51, 102}, {1, 100}, {300, 600}};
    for (const auto& c : casos)
        EXPECT_EQ(NumeroDeCelulas(Plano("2", 5, c.l)), c.n) << c.l;
}

TEST(Encosta, PassoDeTempoPelaInfiltracao) {
    auto chuva = Chuva();
    struct {
        double vib, dt;
    } casos[] = {{10, 0.35}, {10.01, 0.30}, {30, 0.30},   {60, 0.25},
                 {90, 0.20}, {120, 0.15},   {120.5, 0.10}};
    for (const auto& c : casos) {
        auto p = Plano("2", c.vib);
        auto h = CalcularHidrograma(p, NumeroDeCelulas(p), chuva, nullptr, nullptr);
        ASSERT_GT(h->NumPontos(), 3u) << c.vib;
        EXPECT_NEAR(h->Pontos[2].Tempo - h->Pontos[1].Tempo, c.dt, 1e-9) << c.vib;
    }
}

TEST(Encosta, FormaDoHidrograma) {
    auto chuva = Chuva();
    auto p = Plano("2", 5);
    TRegistro reg;
    std::vector<std::string> tempos;
    auto h = CalcularHidrograma(
        p, NumeroDeCelulas(p), chuva, [&](const std::string& t) { tempos.push_back(t); }, &reg);
    ASSERT_GT(h->NumPontos(), 3u);
    EXPECT_EQ(h->Pontos.front().Tempo, TempoAbstracaoInicial(p, chuva));
    EXPECT_EQ(h->Pontos.front().Vazao, 0);
    EXPECT_EQ(h->Pontos.back().Vazao, 0);
    EXPECT_EQ(h->Local, THidrograma::LocalEncosta);
    EXPECT_GT(h->Volume, 0);
    EXPECT_DOUBLE_EQ(h->VolumeUnitario, h->Volume / (100 * 0.04 * 1000));
    // O volume escoado não passa da chuva excedente sobre o plano.
    EXPECT_LE(h->VolumeUnitario * 1000, chuva.Lamina(h->Pontos.back().Tempo));
    EXPECT_FALSE(tempos.empty());
    EXPECT_EQ(reg.ocupado, 0);
    EXPECT_GT(reg.eventos, 0);

    // Sem interface e sem mostrador de tempo, os mesmos números.
    auto p2 = Plano("2", 5);
    auto h2 = CalcularHidrograma(p2, NumeroDeCelulas(p2), chuva, nullptr, nullptr);
    ASSERT_EQ(h2->NumPontos(), h->NumPontos());
    for (std::size_t k = 0; k < h->NumPontos(); ++k) {
        EXPECT_EQ(h2->Pontos[k].Tempo, h->Pontos[k].Tempo);
        EXPECT_EQ(h2->Pontos[k].Vazao, h->Pontos[k].Vazao);
    }
}

TEST(Encosta, SemEscoamento) {
    auto chuva = Chuva(); // intensidade inicial de 251,19 mm/h
    TRegistro reg;
    auto v1 = Plano("1", 300);
    EXPECT_EQ(CalcularHidrograma(v1, 100, chuva, nullptr, &reg)->NumPontos(), 0u);
    ASSERT_EQ(reg.mensagens.size(), 1u);
    EXPECT_EQ(
        reg.mensagens[0],
        "Com a taxa de infiltração estável de 300.0 mm/h e as condições fornecidas não existe "
        "escoamento, pois a taxa de infiltração estável é maior do que a intensidade "
        "instantânea de precipitação.");

    auto v2 = Plano("2", 300);
    EXPECT_EQ(CalcularHidrograma(v2, 100, chuva, nullptr, &reg)->NumPontos(), 0u);
    EXPECT_EQ(reg.mensagens.size(), 1u);

    // Intensidade inicial exatamente igual à infiltração.
    auto igual = Plano("1", 1000 * std::pow(10.0, 0.2) / std::pow(10.0, 0.8));
    try {
        CalcularHidrograma(igual, 100, chuva, nullptr, &reg);
        FAIL();
    } catch (const EMorvendo& e) {
        EXPECT_STREQ(e.what(), "Para as condições especificadas, não há ocorrência de escoamento.");
    }
    EXPECT_EQ(reg.ocupado, 0);
}

TEST(Encosta, ComprimentoNegativoRecusado) {
    auto p = Plano("1", 5);
    try {
        p.Comprimento(-1);
        FAIL();
    } catch (const EMorvendo& e) {
        EXPECT_STREQ(e.what(),
                     "O Item do comprimento da encosta não pode ser menor ou igual a zero.");
    }
    p.Versao = "2";
    EXPECT_THROW(p.Comprimento(-1), EMorvendo);
    EXPECT_EQ(p.Comprimento(), 4);
    p.Comprimento(0);
    auto chuva = Chuva();
    EXPECT_THROW(CalcularHidrograma(p, 100, chuva, nullptr, nullptr), EMorvendo);
}

TEST(Encosta, ListaDeTrechos) {
    TPlanosEncosta lista("_Talude");
    lista.DefinirNumPlanos(1);
    lista.Plano(0).VIB(7);
    lista.DefinirNumPlanos(3);
    EXPECT_EQ(lista.NumPlanos(), 3);
    EXPECT_EQ(lista.Plano(0).VIB(), 7);
    EXPECT_EQ(lista.Plano(2).Versao, "2");
    EXPECT_EQ(lista.Plano(2).Nome(), "_Talude");
    lista.DefinirNumPlanos(0);
    EXPECT_EQ(lista.NumPlanos(), 0);
}

} // namespace

namespace {

// Plano rugoso, longo e pouco inclinado: a última célula seca e molha de novo enquanto dura o
// excesso de chuva.
TEST(Encosta, PlanoRugosoEscoaEnquantoDuraOExcesso) {
    TEncostaCinematica p = Plano("2", 5, 30);
    p.St(0.02);
    p.nt.Valor = 0.35;
    TPrecipitacaoExponencialNegativa chuva = Chuva();
    TBalancoEncosta b;
    const auto h = CalcularHidrograma(p, NumeroDeCelulas(p), chuva, nullptr, nullptr, &b);
    ASSERT_GT(h->NumPontos(), 2u);
    EXPECT_GE(h->Pontos.back().Tempo, TempoFinalEscoamento(chuva, "2", 5));
    // A água não fica no plano: vai embora pelo pé ou infiltra, e o balanço fecha.
    EXPECT_LT(b.Armazenado, 0.001 * b.Chuva);
    EXPECT_LT(std::fabs(b.ErroPct()), 1.0);
    EXPECT_NEAR(b.Escoamento, h->Volume, 0.02 * h->Volume);
}

} // namespace
