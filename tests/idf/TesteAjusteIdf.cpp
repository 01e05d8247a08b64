// Ajuste de K, a, b, c: parâmetros conhecidos voltam da tabela que eles geram, as equações de
// duplo logaritmo publicadas dão os valores convertidos da tabela de estações, e a leitura
// da tabela recusa a linha ruim nomeando linha e campo.
#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "idf/AjusteIdf.h"
#include "comum/LeitorCsv.h"

#include "AuxiliaresIdf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

std::vector<TPontoIdf> TabelaDe(const TParametrosIdf& p) {
    std::vector<TPontoIdf> pontos;
    for (const double t : {5, 10, 15, 20, 30, 45, 60, 90, 120, 180, 240, 360, 480, 720, 1080, 1440})
        for (const double tr : {2, 5, 10, 15, 20, 25, 50, 100})
            pontos.push_back({t, tr, p.Intensidade(t, tr)});
    return pontos;
}

void ExpectRelativo(double obtido, double esperado, double tolerancia, const char* nome) {
    EXPECT_LE(std::fabs(obtido / esperado - 1), tolerancia)
        << nome << ": " << obtido << " contra " << esperado;
}

TEST(AjusteIdf, ParametrosConhecidosVoltamDaTabelaQueGeram) {
    // Um b pequeno, um grande com c > 1 e b = 0 (a ponta do intervalo permitido).
    for (const TParametrosIdf p :
         {TParametrosIdf{1086.604, 0.184, 9.886, 0.728},
          TParametrosIdf{5710, 0.1263, 38.21, 1.0766}, TParametrosIdf{800, 0.25, 0, 0.6},
          TParametrosIdf{2050, 0.2, 30, 0.89}}) {
        SCOPED_TRACE(p.K);
        const auto r = AjustarIdf(TabelaDe(p));
        ExpectRelativo(r.Parametros.K, p.K, 1e-4, "K");
        ExpectRelativo(r.Parametros.A, p.A, 1e-4, "a");
        if (p.B == 0)
            EXPECT_LE(r.Parametros.B, 1e-4);
        else
            ExpectRelativo(r.Parametros.B, p.B, 1e-4, "b");
        ExpectRelativo(r.Parametros.C, p.C, 1e-4, "c");
        EXPECT_LT(r.ErroRms, 1e-8);
        EXPECT_LT(r.ErroMaximo, 1e-8);
    }
}

TEST(AjusteIdf, ErroMaximoApontaOPontoFora) {
    const TParametrosIdf p{1285.65, 0.133, 14.2, 0.87};
    auto pontos = TabelaDe(p);
    pontos[37].Intensidade *= 1.3; // t = 30 min, T = 25 anos
    const auto r = AjustarIdf(pontos);
    EXPECT_EQ(r.PiorPonto.Duracao, 30);
    EXPECT_EQ(r.PiorPonto.Tr, 25);
    EXPECT_NEAR(r.ErroMaximo, std::fabs(r.IntensidadeAjustadaPior / pontos[37].Intensidade - 1),
                1e-15);
    EXPECT_GT(r.ErroMaximo, 0.15);
    EXPECT_GT(r.ErroRms, 0.01);
}

// As duas linhas convertidas de São Paulo: a equação publicada (mm/min), amostrada na faixa
// dada, devolve os K, a, b, c da tabela de estações e os erros anotados na linha.
struct TCasoDuploLog {
    const char* Estacao; // começo do nome na tabela
    TEquacaoDuploLog Equacao;
    double Rms, Maximo; // % anotados, uma casa
    double TPior, TrPior;
};

TEST(AjusteIdf, EquacoesDeDuploLogaritmoDasEstacoesConvertidas) {
    const TCasoDuploLog casos[] = {
        {"Andradina",
         {34.5743, 20, -0.8809, 2.6906, 10, -0.6683, -0.4766, -0.8977, 10, 1440},
         4.6,
         22.1,
         1440,
         2},
        {"Araraquara",
         {32.4618, 15, -0.8684, 2.1429, 15, -0.5482, -0.4772, -0.9010, 10, 105},
         4.1,
         15.3,
         105,
         2},
    };
    const TTabelaCsv csv = LerCsv(std::string(MORVENDO_FONTES_IDF) + "/estacoes.csv");
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Estacao);
        const TLinhaCsv* linha = nullptr;
        for (const auto& r : csv.Registros)
            if (r.Campos.at(std::size_t(csv.Coluna("estacao"))).rfind(caso.Estacao, 0) == 0)
                linha = &r;
        ASSERT_NE(linha, nullptr);
        const auto campo = [&](const char* c) {
            return std::stod(linha->Campos.at(std::size_t(csv.Coluna(c))));
        };
        EXPECT_EQ(linha->Campos.at(std::size_t(csv.Coluna("verificacao"))), "convertida");
        EXPECT_EQ(campo("duracao_min"), caso.Equacao.DuracaoMin);
        EXPECT_EQ(campo("duracao_max"), caso.Equacao.DuracaoMax);

        const auto r = AjustarIdf(AmostrarDuploLog(caso.Equacao));
        ExpectRelativo(r.Parametros.K, campo("K"), 0.01, "K");
        ExpectRelativo(r.Parametros.A, campo("a"), 0.01, "a");
        ExpectRelativo(r.Parametros.B, campo("b"), 0.01, "b");
        ExpectRelativo(r.Parametros.C, campo("c"), 0.01, "c");
        EXPECT_NEAR(100 * r.ErroRms, caso.Rms, 0.05);
        EXPECT_NEAR(100 * r.ErroMaximo, caso.Maximo, 0.05);
        EXPECT_EQ(r.PiorPonto.Duracao, caso.TPior);
        EXPECT_EQ(r.PiorPonto.Tr, caso.TrPior);
    }
}

TEST(AjusteIdf, AmostragemDoDuploLogCobreAFaixaComAsPontas) {
    TEquacaoDuploLog e{32.4618, 15, -0.8684, 2.1429, 15, -0.5482, -0.4772, -0.9010, 12, 100};
    const auto pontos = AmostrarDuploLog(e);
    // 12, 15, 20, 30, 45, 60, 90, 100 × 8 períodos de retorno.
    ASSERT_EQ(pontos.size(), 64u);
    EXPECT_EQ(pontos.front().Duracao, 12);
    EXPECT_EQ(pontos.back().Duracao, 100);
    // mm/min vira mm/h.
    const double y = std::log(std::log(2.0));
    EXPECT_DOUBLE_EQ(pontos.front().Intensidade,
                     60 * (32.4618 * std::pow(27, -0.8684) +
                           2.1429 * std::pow(27, -0.5482) * (-0.4772 - 0.9010 * y)));
    e.DuracaoMax = 12;
    EXPECT_THROW(AmostrarDuploLog(e), EMorvendo);
    e.DuracaoMax = 100;
    e.G = -10; // intensidade negativa
    EXPECT_THROW(AmostrarDuploLog(e), EMorvendo);
}

TEST(AjusteIdf, TabelaQueNaoDeterminaAEquacao) {
    const TParametrosIdf p{1000, 0.2, 10, 0.8};
    std::vector<TPontoIdf> duasDuracoes, umTr;
    for (const double t : {10, 60})
        for (const double tr : {2, 10})
            duasDuracoes.push_back({t, tr, p.Intensidade(t, tr)});
    for (const double t : {10, 30, 60, 120})
        umTr.push_back({t, 10, p.Intensidade(t, 10)});
    for (const auto* pontos : {&duasDuracoes, &umTr}) {
        try {
            AjustarIdf(*pontos);
            ADD_FAILURE();
        } catch (const EMorvendo& e) {
            EXPECT_STREQ(e.what(), "A tabela não determina a equação: são precisas pelo menos três "
                                   "durações e dois períodos de retorno diferentes.");
        }
    }
}

TEST(AjusteIdf, LeituraDaTabelaAceitaOsFormatosComuns) {
    const auto csv = LerTabelaIdf("\xEF\xBB\xBF"
                                  "duracao_min,tr_anos,intensidade_mm_h\r\n"
                                  "10,2,96.5\r\n\r\n  20 , 5 , 80\r\n");
    ASSERT_EQ(csv.size(), 2u);
    EXPECT_EQ(csv[1].Duracao, 20);
    EXPECT_EQ(csv[1].Tr, 5);
    EXPECT_EQ(csv[1].Intensidade, 80);
    // Colada de uma planilha em português: tabulação e vírgula decimal, sem cabeçalho.
    const auto colada = LerTabelaIdf("10\t2\t96,5\n20\t5\t80,25\n");
    ASSERT_EQ(colada.size(), 2u);
    EXPECT_EQ(colada[0].Intensidade, 96.5);
    EXPECT_EQ(colada[1].Intensidade, 80.25);
    // Colunas em outra ordem, ponto e vírgula.
    const auto trocada = LerTabelaIdf("tr_anos;intensidade_mm_h;duracao_min\n5;80,5;20\n");
    ASSERT_EQ(trocada.size(), 1u);
    EXPECT_EQ(trocada[0].Duracao, 20);
    EXPECT_EQ(trocada[0].Tr, 5);
    EXPECT_EQ(trocada[0].Intensidade, 80.5);
}

TEST(AjusteIdf, LinhaRuimNomeiaLinhaECampo) {
    const std::string cab = "duracao_min,tr_anos,intensidade_mm_h\n10,2,96.5\n";
    const struct {
        std::string Texto;
        const char* Mensagem;
    } casos[] = {
        {cab + "20,5,abc\n", "Linha 3, campo intensidade_mm_h: \"abc\" não é um número; a "
                             "intensidade (mm/h) deve ser um número."},
        {cab + "20,0.5,80\n", "Linha 3, campo tr_anos: o período de retorno (anos) deve ser de 1 "
                              "a 10000 anos (lido: 0.5)."},
        {cab + "0,5,80\n", "Linha 3, campo duracao_min: a duração (min) deve ser maior que 0 e no "
                           "máximo 10080 min (lido: 0)."},
        {cab + "20,5,-3\n", "Linha 3, campo intensidade_mm_h: a intensidade (mm/h) deve ser maior "
                            "que 0 e no máximo 5000 mm/h (lido: -3)."},
        {cab + "20,5,nan\n", "Linha 3, campo intensidade_mm_h: \"nan\" não é um número; a "
                             "intensidade (mm/h) deve ser um número."},
        // Vírgula decimal num CSV de vírgulas: quatro campos, não um número trocado.
        {cab + "20,5,80,5\n",
         "Linha 3: são esperados 3 campos (duracao_min, tr_anos, intensidade_mm_h), há 4."},
        {"duracao,tr_anos,intensidade_mm_h\n10,2,96.5\n",
         "Linha 1: cabeçalho sem a coluna duracao_min (use duracao_min,tr_anos,intensidade_mm_h)."},
        {"duracao_min,tr_anos,intensidade_mm_h\n", "A tabela não tem nenhuma linha de dados."},
    };
    for (const auto& c : casos) {
        try {
            LerTabelaIdf(c.Texto);
            ADD_FAILURE() << c.Texto;
        } catch (const EMorvendo& e) {
            EXPECT_STREQ(e.what(), c.Mensagem);
        }
    }
}

TEST(AjusteIdf, TextoExatoVoltaAoMesmoNumero) {
    for (const double v : {1272.1234567890123, 0.1, 1e-7, 0.17300000000000001, 16.49, 5710.0}) {
        const std::string t = RealExato(v);
        EXPECT_EQ(std::stod(t), v) << t;
        EXPECT_EQ(t.find(','), std::string::npos);
    }
    EXPECT_EQ(RealExato(0.1), "0.1");
    EXPECT_EQ(RealExato(5710.0), "5710");
}

TEST(AjusteIdf, LinhaDeComando) {
    TPastaTemporaria pasta;
    const TParametrosIdf p{1086.604, 0.184, 9.886, 0.728};
    std::ostringstream csv;
    csv.precision(17);
    csv << "duracao_min,tr_anos,intensidade_mm_h\n";
    for (const auto& q : TabelaDe(p))
        csv << q.Duracao << ',' << q.Tr << ',' << q.Intensidade << '\n';
    pasta.Gravar("t.csv", csv.str());
    pasta.Gravar("ruim.csv", "duracao_min,tr_anos,intensidade_mm_h\n10,2,96.5\n20,x,3\n");

    std::ostringstream saida, erros;
    ASSERT_EQ(AjustarIdfLinhaDeComando(pasta.Arquivo("t.csv"), saida, erros), 0) << erros.str();
    std::istringstream linhas(saida.str());
    std::string l1, l2;
    std::getline(linhas, l1);
    std::getline(linhas, l2);
    double k = 0, a = 0, b = 0, c = 0;
    ASSERT_EQ(std::sscanf(l1.c_str(), "K=%lf a=%lf b=%lf c=%lf", &k, &a, &b, &c), 4) << l1;
    ExpectRelativo(k, p.K, 1e-4, "K");
    ExpectRelativo(c, p.C, 1e-4, "c");
    EXPECT_EQ(l1, "K=" + RealExato(k) + " a=" + RealExato(a) + " b=" + RealExato(b) +
                      " c=" + RealExato(c));
    EXPECT_EQ(l2.rfind("RMS=0.00% erro_max=0.00% (t=", 0), 0u) << l2;

    std::ostringstream s2, e2;
    EXPECT_EQ(AjustarIdfLinhaDeComando(pasta.Arquivo("ruim.csv"), s2, e2), 1);
    EXPECT_EQ(s2.str(), "");
    EXPECT_NE(e2.str().find("Linha 3, campo tr_anos"), std::string::npos) << e2.str();
    std::ostringstream s3, e3;
    EXPECT_EQ(AjustarIdfLinhaDeComando(pasta.Arquivo("nao-existe.csv"), s3, e3), 2);
}

} // namespace
