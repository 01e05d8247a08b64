// Ajuste de K, a, b, c: parâmetros conhecidos voltam da tabela que eles geram, as equações de
// duplo logaritmo publicadas dão os valores convertidos da tabela de estações, e a leitura
// da tabela recusa a linha ruim nomeando linha e campo.
#include "comum/EMorvendo.h"
#include "comum/LeitorCsv.h"
#include "comum/Numeros.h"
#include "idf/AjusteIdf.h"
#include "project/Calculo.h"
#include "project/CamposProjeto.h"
#include "project/Projeto.h"

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
    // Um b pequeno, um grande com c > 1, um b perto do piso e outro perto do teto.
    for (const TParametrosIdf p :
         {TParametrosIdf{1086.604, 0.184, 9.886, 0.728},
          TParametrosIdf{5710, 0.1263, 38.21, 1.0766}, TParametrosIdf{800, 0.25, 1.5, 0.6},
          TParametrosIdf{2050, 0.2, 30, 0.89}, TParametrosIdf{90000, 0.15, 800, 1.4}}) {
        SCOPED_TRACE(p.K);
        const auto r = AjustarIdf(TabelaDe(p));
        ExpectRelativo(r.Parametros.K, p.K, 1e-4, "K");
        ExpectRelativo(r.Parametros.A, p.A, 1e-4, "a");
        ExpectRelativo(r.Parametros.B, p.B, 1e-4, "b");
        ExpectRelativo(r.Parametros.C, p.C, 1e-4, "c");
        EXPECT_LT(r.ErroRms, 1e-8);
        EXPECT_LT(r.ErroMaximo, 1e-8);
        EXPECT_FALSE(r.Livre);
        // As faixas da tabela vão com o resultado.
        EXPECT_EQ(r.DuracaoMin, 5);
        EXPECT_EQ(r.DuracaoMax, 1440);
        EXPECT_EQ(r.TrMin, 2);
        EXPECT_EQ(r.TrMax, 100);
    }
}

// Os limites do ajuste são os da página de dados: o que sai do ajuste é aceito por ela.
TEST(AjusteIdf, LimitesSaoOsDaPaginaDeDados) {
    const std::pair<TCampo, double> maximos[] = {
        {CAMPO_K, KMaximoIdf}, {CAMPO_A, AMaximoIdf}, {CAMPO_B, BMaximoIdf}, {CAMPO_C, CMaximoIdf}};
    for (const auto& [id, maximo] : maximos) {
        const TCampoProjeto* c = CampoProjeto(id);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->Maximo, maximo) << c->Rotulo;
        EXPECT_EQ(c->Minimo, 0) << c->Rotulo;
        EXPECT_FALSE(c->MinimoIncluido) << c->Rotulo;
    }
    EXPECT_GT(BMinimoAjuste, 0);
}

// Uma tabela de potência pura (b = 0) não dá b = 0, que a página recusa: dá b no piso, diz o
// ótimo sem limites e o erro de cada um, e a equação calcula o projeto de exemplo.
TEST(AjusteIdf, TabelaDePotenciaFicaComBNoPisoECalcula) {
    const TParametrosIdf potencia{1500, 0.18, 0, 0.75};
    const auto r = AjustarIdf(TabelaDe(potencia));
    EXPECT_EQ(r.Parametros.B, BMinimoAjuste);
    ASSERT_TRUE(r.Livre);
    EXPECT_NEAR(r.Livre->Parametros.B, 0, 1e-4);
    ExpectRelativo(r.Livre->Parametros.C, potencia.C, 1e-4, "c livre");
    EXPECT_LT(r.Livre->ErroRms, 1e-6);
    // O preço do piso, medido: RMS 2,1 % e o maior 6,2 % (em 5 min).
    EXPECT_GT(r.ErroRms, 0.01);
    EXPECT_LT(r.ErroRms, 0.03);
    EXPECT_LT(r.ErroMaximo, 0.07);
    EXPECT_EQ(r.PiorPonto.Duracao, 5);

    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    ASSERT_TRUE(LerProjeto(p, std::string(MORVENDO_EXEMPLOS) + "/Estrada.mvd"));
    p.Chuva().K(r.Parametros.K);
    p.Chuva().A(r.Parametros.A);
    p.Chuva().B(r.Parametros.B);
    p.Chuva().C(r.Parametros.C);
    const auto falha = ValidarDados(p);
    ASSERT_FALSE(falha.has_value()) << falha->Mensagem;
    EXPECT_EQ(ExecutarCalculo(p, p.Estrada.Comprimento(), nullptr).Situacao,
              TResultadoCalculo::Concluido);
}

// Um b pequeno que a página aceita calcula: o tempo de preenchimento das abstrações, buscado
// a partir de t = 1 min, não sai para antes de t = −b (era "operação de ponto flutuante
// inválida" no leito da estrada com b menor que c); com c > 1 e o pico da lâmina antes de
// 1 min, o fim do escoamento é achado (era "não houve convergência" no leito da estrada).
TEST(AjusteIdf, BPequenoCalcula) {
    const struct {
        double B, C;
    } casos[] = {{BMinimoAjuste, 0.728}, {0.5, 0.728}, {0.1, 0.728}, {0.01, 0.95}, {0.3, 0.5},
                 {BMinimoAjuste, 2},     {0.01, 2},    {0.3, 2},     {0.5, 1.5},   {0.01, 1.1}};
    for (const auto& c : casos) {
        SCOPED_TRACE("b = " + std::to_string(c.B) + ", c = " + std::to_string(c.C));
        TUnidades u;
        TProjeto p(u);
        ZerarVariaveis(p);
        ASSERT_TRUE(LerProjeto(p, std::string(MORVENDO_EXEMPLOS) + "/Estrada.mvd"));
        p.Chuva().B(c.B);
        p.Chuva().C(c.C);
        ASSERT_FALSE(ValidarDados(p).has_value());
        const auto r = ExecutarCalculo(p, p.Estrada.Comprimento(), nullptr);
        EXPECT_EQ(r.Situacao, TResultadoCalculo::Concluido);
        EXPECT_GT(r.Canal.Espacamento, 0);
    }
}

// O ajuste procura K, a, b e c dentro das faixas da página de dados: o que ele devolve a página
// aceita, com o parâmetro preso no limite dito; quando nem a melhor equação dentro delas serve
// (a ou c em 0, ou erro grande), nenhuma é devolvida e a mensagem diz por quê.
TEST(AjusteIdf, SoEquacaoDentroDasFaixasEhResultado) {
    const TEscolhaUnidades unidades;
    auto naPagina = [&](const TParametrosIdf& p) {
        const std::pair<TCampo, double> valores[] = {
            {CAMPO_K, p.K}, {CAMPO_A, p.A}, {CAMPO_B, p.B}, {CAMPO_C, p.C}};
        for (const auto& [id, v] : valores)
            if (!DentroDaFaixa(*CampoProjeto(id), v, unidades)) return false;
        return true;
    };
    const struct {
        const char* Caso;
        std::vector<TPontoIdf> Pontos;
        const char* NoLimite; // resultado com este parâmetro preso; nulo: sem equação
        const char* Mensagem; // trecho da recusa
    } casos[] = {
        {"a um pouco acima de 1", TabelaDe({1000, 1.05, 10, 0.8}), "a", nullptr},
        {"c acima de 3 com b pequeno", TabelaDe({1000, 0.2, 2, 3.1}), "b c", nullptr},
        {"potência pura", TabelaDe({1500, 0.18, 0, 0.75}), "b", nullptr},
        {"a negativo", TabelaDe({1000, -0.2, 10, 0.8}), nullptr, "pede a = 0 ou menos"},
        {"a muito acima de 1", TabelaDe({1000, 1.4, 10, 0.8}), nullptr,
         "a melhor, com a no limite da faixa, erra 55,6 % em média (RMS)"},
        {"c muito acima de 3", TabelaDe({1000, 0.2, 10, 3.5}), nullptr, "com c no limite da faixa"},
        {"intensidade que cresce com a duração", TabelaDe({100, 0.2, 10, -0.1}), nullptr,
         "pede c = 0 ou menos"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Caso);
        try {
            const auto r = AjustarIdf(c.Pontos);
            EXPECT_TRUE(naPagina(r.Parametros));
            ASSERT_NE(c.NoLimite, nullptr) << "K=" << r.Parametros.K << " a=" << r.Parametros.A
                                           << " b=" << r.Parametros.B << " c=" << r.Parametros.C;
            std::string presos;
            for (const char* p : r.NoLimite)
                presos += (presos.empty() ? "" : " ") + std::string(p);
            EXPECT_EQ(presos, c.NoLimite);
            EXPECT_LE(r.ErroRms, ErroRmsMaximoAjuste);
        } catch (const EAjusteSemEquacao& e) {
            ASSERT_NE(c.Mensagem, nullptr) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("Nenhuma equação dentro das faixas", 0), 0u);
            EXPECT_NE(std::string(e.what()).find(c.Mensagem), std::string::npos) << e.what();
        }
    }
    // Uma intensidade que cai como exponencial da duração: sem limites o ajuste ia a
    // K = 1,1·10^167, b = 2 253 e c = 48,7; dentro das faixas nenhuma equação serve.
    std::vector<TPontoIdf> exponencial;
    for (const double t : {5, 10, 15, 20, 30, 60, 120, 240, 720, 1440})
        for (const double tr : {2, 5, 10, 25, 50, 100})
            exponencial.push_back({t, tr, 200 * std::pow(tr, 0.2) * std::exp(-t / 300)});
    EXPECT_THROW(AjustarIdf(exponencial), EAjusteSemEquacao);
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
    // Três durações e dois períodos de retorno em só três pontos (achado do fuzzing: o ajuste
    // terminava o programa).
    try {
        AjustarIdf({{15, 5, 158.37}, {5, 10, 1951}, {60, 10, 55.38}});
        ADD_FAILURE();
    } catch (const EMorvendo& e) {
        EXPECT_STREQ(e.what(), "A tabela não determina a equação: são precisos pelo menos quatro "
                               "pontos para os quatro parâmetros, e há 3.");
    }
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

// A disposição das publicações (durações nas linhas, períodos de retorno nas colunas), colada
// de uma planilha ou lida de um CSV, dá os mesmos pontos que a de uma linha por ponto.
TEST(AjusteIdf, TabelaDeDuracoesPorPeriodosDeRetorno) {
    const std::vector<TPontoIdf> esperado = {{5, 2, 142.5}, {5, 10, 196.25}, {5, 100, 260},
                                             {60, 2, 52.5}, {60, 10, 71},    {60, 100, 95.75}};
    const char* textos[] = {
        // Colada de uma planilha: canto vazio, tabulação, vírgula decimal, tabulações no fim.
        "\t2\t10\t100\n5\t142,5\t196,25\t260\t\t\n60\t52,5\t71\t95,75\n",
        // CSV de planilha em português, com o canto escrito e CR LF.
        "\xEF\xBB\xBFt (min) \\ T (anos);2;10;100\r\n5;142,5;196,25;260\r\n\r\n"
        "60;52,5;71;95,75\r\n",
        // CSV com vírgula e ponto decimal.
        "duracao,2,10,100\n5,142.5,196.25,260\n60,52.5,71,95.75\n",
    };
    for (const char* texto : textos) {
        SCOPED_TRACE(texto);
        const auto pontos = LerTabelaIdf(texto);
        ASSERT_EQ(pontos.size(), esperado.size());
        for (std::size_t i = 0; i < pontos.size(); ++i) {
            EXPECT_EQ(pontos[i].Duracao, esperado[i].Duracao);
            EXPECT_EQ(pontos[i].Tr, esperado[i].Tr);
            EXPECT_EQ(pontos[i].Intensidade, esperado[i].Intensidade);
        }
    }
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
        // Durações nas linhas, períodos de retorno nas colunas.
        {"t;2;10\n5;142,5;196\n10;120\n",
         "Linha 3: são esperados 3 campos (a duração e 2 intensidades, uma por período de "
         "retorno do cabeçalho), há 2."},
        {"t;2;10\n5;142,5;abc\n", "Linha 2, coluna 3: \"abc\" não é um número; a intensidade "
                                  "(mm/h) deve ser um número."},
        {"t;2;10\n5;142,5;\n", "Linha 2: são esperados 3 campos (a duração e 2 intensidades, "
                               "uma por período de retorno do cabeçalho), há 2."},
        {"t;2;0,5\n5;142,5;196\n", "Linha 1, coluna 3: o período de retorno (anos) deve ser de "
                                   "1 a 10000 anos (lido: 0,5)."},
        {"t;2;10;2\n5;142,5;196;150\n",
         "Linha 1, coluna 4: o período de retorno 2 anos aparece duas vezes no cabeçalho."},
        {"t;2;10\n5;142,5;196\n5;142;190\n",
         "Linha 3, coluna 1: a duração 5 min aparece em duas linhas."},
        {"t;2;10\n0;142,5;196\n", "Linha 2, coluna 1: a duração (min) deve ser maior que 0 e "
                                  "no máximo 10080 min (lido: 0)."},
        {"t;2;10\n", "A tabela não tem nenhuma linha de dados."},
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

    // Matriz de uma tabela de potência pura: b no piso, e a equação sem limites também.
    const TParametrosIdf potencia{800, 0.25, 0, 0.6};
    std::ostringstream matriz;
    matriz.precision(17);
    matriz << "t (min);2;10;100\n";
    for (const double t : {5, 15, 60, 240, 1440}) {
        matriz << t;
        for (const double tr : {2, 10, 100})
            matriz << ';' << potencia.Intensidade(t, tr);
        matriz << '\n';
    }
    pasta.Gravar("matriz.csv", matriz.str());
    std::ostringstream s4, e4;
    ASSERT_EQ(AjustarIdfLinhaDeComando(pasta.Arquivo("matriz.csv"), s4, e4), 0) << e4.str();
    EXPECT_NE(s4.str().find(" b=" + RealExato(BMinimoAjuste) + " "), std::string::npos) << s4.str();
    EXPECT_NE(s4.str().find("tabela: duracao 5-1440 min, T 2-100 anos\n"), std::string::npos)
        << s4.str();
    EXPECT_NE(s4.str().find("b sem limites fora da faixa aceita (1-1000 min)"), std::string::npos)
        << s4.str();
    // A equação sem limites (b = 0) não sai como resultado: um só "K=", só o erro dela.
    EXPECT_EQ(s4.str().find("K="), s4.str().rfind("K=")) << s4.str();
    EXPECT_NE(s4.str().find("sem limites o erro seria RMS=0.00% erro_max=0.00%\n"),
              std::string::npos)
        << s4.str();

    // Nenhuma equação dentro das faixas: nada na saída, a razão e um status só dele.
    std::ostringstream decrescente;
    decrescente << "duracao_min,tr_anos,intensidade_mm_h\n";
    for (const double t : {10, 30, 60, 120})
        for (const double tr : {2, 10, 50})
            decrescente << t << ',' << tr << ',' << 100 / std::pow(tr, 0.2) / std::pow(t, 0.8)
                        << '\n';
    pasta.Gravar("decrescente.csv", decrescente.str());
    std::ostringstream s5, e5;
    EXPECT_EQ(AjustarIdfLinhaDeComando(pasta.Arquivo("decrescente.csv"), s5, e5), 3);
    EXPECT_EQ(s5.str(), "");
    EXPECT_NE(e5.str().find("pede a = 0 ou menos"), std::string::npos) << e5.str();
}

} // namespace
