// Equação IDF da série de chuvas diárias: um registro de trinta anos montado aqui (dias sem
// leitura, um dia duvidoso, um acumulado, os dois níveis num mês, linhas do mais novo ao mais
// velho) dá as máximas, as chuvas de Gumbel e a tabela calculadas à parte; a leitura recusa o
// que não é uma série dessas, com a linha e o motivo.
#include "comum/EMorvendo.h"
#include "idf/AjusteIdf.h"
#include "idf/SerieDiaria.h"

#include "AuxiliaresIdf.h"
#include "SerieDiariaTeste.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>
#include <sys/wait.h>

namespace {

using namespace serie_teste;

std::string Trocar(std::string s, const std::string& de, const std::string& para) {
    return s.replace(s.find(de), de.size(), para);
}

// A mensagem do erro; vazio quando nada foi recusado.
template <class E, class F> std::string Erro(F f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return {};
}

// Calculados à parte a partir das máximas.
const double ChuvasGumbel[] = {82.0164070962385, 102.908857280141, 116.741477213959,
                               124.545724490628, 130.010058355607, 134.219029169903,
                               147.184875629148, 160.054984313398};

void ExpectRelativo(double obtido, double esperado, double tolerancia = 1e-12) {
    EXPECT_LE(std::fabs(obtido / esperado - 1), tolerancia) << obtido << " contra " << esperado;
}

TEST(SerieDiaria, RegistroDaAsMaximasAnuaisComOConsistidoNoLugarDoBruto) {
    const TSerieDiaria s = LerSerieDiaria(ArquivoRegistro);
    EXPECT_EQ(s.Estacao, "02045005");
    ASSERT_EQ(s.Cabecalho.size(), 6u);
    EXPECT_EQ(s.Cabecalho[0], "Sistema de Informações Hidrológicas");
    EXPECT_EQ(s.Cabecalho[4], "Código da estação: 02045005");
    EXPECT_EQ(s.Meses.size(), 359u);
    EXPECT_EQ(s.MesesConsistidos, 234);
    EXPECT_EQ(s.MesesBrutos, 125);

    struct TEsperado {
        int Ano, Meses, SemLeitura, Duvidosos, Acumulados;
        double Maxima;
        TData Data;
        bool Completo;
    };
    const TEsperado esperados[] = {
        {1960, 6, 182, 0, 0, 62.4, {1, 9, 1960}, false},
        {1961, 12, 1, 0, 0, 88.0, {12, 2, 1961}, true},
        {1962, 12, 2, 0, 0, 71.3, {23, 7, 1962}, true},
        {1963, 11, 34, 0, 0, 95.6, {6, 12, 1963}, false}, // sem maio
        {1964, 12, 0, 0, 0, 54.2, {29, 2, 1964}, true},
        {1965, 12, 1, 0, 0, 120.5, {28, 10, 1965}, true},
        {1966, 12, 2, 0, 0, 67.8, {11, 3, 1966}, true},
        {1967, 12, 34, 0, 0, 80.1, {22, 8, 1967}, false}, // março vazio
        {1968, 12, 0, 0, 0, 73.9, {5, 1, 1968}, true},
        {1969, 12, 1, 0, 0, 101.2, {16, 6, 1969}, true},
        {1970, 12, 30, 0, 0, 59.7, {27, 11, 1970}, true}, // no limite
        {1971, 12, 3, 0, 0, 84.6, {10, 4, 1971}, true},
        {1972, 12, 0, 1, 0, 112.3, {21, 9, 1972}, true},
        {1973, 12, 1, 0, 0, 66.0, {4, 2, 1973}, true},
        {1974, 12, 2, 0, 0, 77.7, {15, 7, 1974}, true},
        {1975, 12, 3, 0, 1, 92.8, {26, 12, 1975}, true},
        {1976, 12, 0, 0, 0, 58.3, {9, 5, 1976}, true},
        {1977, 12, 1, 0, 0, 135.0, {20, 10, 1977}, true},
        {1978, 12, 2, 0, 0, 70.4, {3, 3, 1978}, true},
        {1979, 12, 3, 0, 0, 83.5, {14, 8, 1979}, true}, // não os 300 mm do bruto
        {1980, 12, 0, 0, 0, 99.1, {25, 1, 1980}, true},
        {1981, 12, 1, 0, 0, 61.9, {8, 6, 1981}, true},
        {1982, 12, 2, 0, 0, 87.2, {19, 11, 1982}, true},
        {1983, 12, 3, 0, 0, 75.5, {2, 4, 1983}, true},
        {1984, 12, 0, 0, 0, 108.4, {13, 9, 1984}, true},
        {1985, 12, 1, 0, 0, 64.6, {24, 2, 1985}, true},
        {1986, 12, 2, 0, 0, 140.0, {20, 7, 1986}, true}, // o do consistido
        {1987, 12, 3, 0, 0, 79.0, {18, 12, 1987}, true},
        {1988, 12, 0, 0, 0, 68.8, {1, 5, 1988}, true},
        {1989, 12, 1, 0, 0, 117.6, {12, 10, 1989}, true},
        {1990, 6, 184, 0, 0, 56.1, {23, 3, 1990}, false},
    };
    const auto anos = MaximasAnuais(s);
    ASSERT_EQ(anos.size(), std::size(esperados));
    for (std::size_t i = 0; i < anos.size(); ++i) {
        const TAnoChuva& a = anos[i];
        const TEsperado& e = esperados[i];
        SCOPED_TRACE(e.Ano);
        EXPECT_EQ(a.Ano, e.Ano);
        EXPECT_EQ(a.Meses, e.Meses);
        EXPECT_EQ(a.DiasSemLeitura, e.SemLeitura);
        EXPECT_EQ(a.DiasDuvidosos, e.Duvidosos);
        EXPECT_EQ(a.DiasAcumulados, e.Acumulados);
        ASSERT_TRUE(a.Maxima);
        EXPECT_EQ(*a.Maxima, e.Maxima);
        EXPECT_EQ(a.DataMaxima.Dia, e.Data.Dia);
        EXPECT_EQ(a.DataMaxima.Mes, e.Data.Mes);
        EXPECT_EQ(a.DataMaxima.Ano, e.Data.Ano);
        EXPECT_EQ(a.Completo, e.Completo);
        EXPECT_FALSE(a.Excluido);
    }
    EXPECT_EQ(anos[12].StatusMaxima, TStatusChuva::Duvidoso);
}

TEST(SerieDiaria, GumbelDesagregacaoEAvisos) {
    const TIdfDaSerie r = IdfDaSerieDiaria(LerSerieDiaria(ArquivoRegistro));
    EXPECT_EQ(r.Estacao, "02045005");
    const std::vector<int> usados = {1961, 1962, 1964, 1965, 1966, 1968, 1969, 1970, 1971,
                                     1972, 1973, 1974, 1975, 1976, 1977, 1978, 1979, 1980,
                                     1981, 1982, 1983, 1984, 1985, 1986, 1987, 1988, 1989};
    EXPECT_EQ(r.AnosUsados, usados);
    EXPECT_EQ(r.Gumbel.N, 27);
    ExpectRelativo(r.Gumbel.Media, 85.9);
    ExpectRelativo(r.Gumbel.DesvioPadrao, 23.6412286547821);
    ExpectRelativo(r.Gumbel.Ks, 0.0808952769284826, 1e-10);
    EXPECT_EQ(r.Gumbel.KsCritico, 0.25438);
    EXPECT_TRUE(r.Gumbel.KsAceito);
    ASSERT_EQ(r.ChuvaUmDia.size(), 8u);
    const double trs[] = {2, 5, 10, 15, 20, 25, 50, 100};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(r.ChuvaUmDia[i].Tr, trs[i]);
        ExpectRelativo(r.ChuvaUmDia[i].Chuva, ChuvasGumbel[i]);
    }
    // Doze durações × oito períodos de retorno, por duração e depois por período.
    ASSERT_EQ(r.Pontos.size(), 96u);
    EXPECT_EQ(r.Pontos.front().Duracao, 5);
    EXPECT_EQ(r.Pontos.back().Duracao, 1440);
    struct {
        double Duracao, Tr, Intensidade;
    } const pontos[] = {{5, 2, 118.56234070281646},
                        {25, 50, 113.89421895614956},
                        {60, 100, 76.634326489254832},
                        {1440, 10, 5.5452201676630573}};
    for (const auto& p : pontos) {
        const auto it = std::find_if(r.Pontos.begin(), r.Pontos.end(), [&](const TPontoIdf& q) {
            return q.Duracao == p.Duracao && q.Tr == p.Tr;
        });
        ASSERT_NE(it, r.Pontos.end()) << p.Duracao;
        ExpectRelativo(it->Intensidade, p.Intensidade);
    }
    EXPECT_EQ(r.Ajuste.DuracaoMin, 5);
    EXPECT_EQ(r.Ajuste.DuracaoMax, 1440);
    EXPECT_EQ(r.Ajuste.TrMax, 100);
    EXPECT_LT(r.Ajuste.ErroRms, 0.1);
    const std::vector<std::string> avisos = {
        "O período de retorno de 100 anos passa do dobro dos 27 anos da série: a chuva é "
        "extrapolação.",
        "A máxima de 1972 (21/09/1972, 112,3 mm) está marcada como duvidosa.",
        "Anos usados com leituras acumuladas, que podem somar mais de um dia: 1975 (1 dia).",
    };
    EXPECT_EQ(r.Avisos, avisos);
    const std::string origem = "Série de chuvas diárias do posto 02045005: máximas anuais de um "
                               "dia por ano civil, 27 anos (1961–1962, 1964–1966, 1968–1989); "
                               "Gumbel pelos momentos; relações entre durações 1440/dia=1.14;";
    EXPECT_EQ(DescricaoOrigem(r).substr(0, origem.size()), origem);
}

TEST(SerieDiaria, AnosDeixadosDeForaEAnoHidrologico) {
    const TSerieDiaria s = LerSerieDiaria(ArquivoRegistro);
    TOpcoesIdfSerie o;
    o.AnosExcluidos = {1975, 1986, 1905};
    const TIdfDaSerie r = IdfDaSerieDiaria(s, o);
    EXPECT_EQ(r.Gumbel.N, 25);
    ExpectRelativo(r.Gumbel.Media, 83.46);
    ExpectRelativo(r.ChuvaUmDia.front().Chuva, 79.8784644812927);
    ExpectRelativo(r.ChuvaUmDia.back().Chuva, 151.847371382406);
    EXPECT_TRUE(r.Anos[15].Excluido && r.Anos[15].Completo && !r.Anos[15].Usado());
    EXPECT_EQ(r.Avisos.front(), "O ano 1905, pedido para ficar de fora, não está na série.");
    EXPECT_NE(DescricaoOrigem(r).find(", deixados de fora 1975, 1986;"), std::string::npos)
        << DescricaoOrigem(r);

    // De julho a junho: 1960/61 completo, 1962/63 sem maio, 1966/67 com março vazio; as
    // máximas de 11 mm (a primeira de várias) fazem o teste de aderência rejeitar Gumbel.
    o = {};
    o.MesInicioAno = 7;
    const TIdfDaSerie h = IdfDaSerieDiaria(s, o);
    ASSERT_EQ(h.Anos.size(), 30u);
    EXPECT_EQ(h.Anos.front().Ano, 1960);
    EXPECT_EQ(h.Anos.back().Ano, 1989);
    EXPECT_EQ(*h.Anos[0].Maxima, 88.0);
    EXPECT_EQ(h.Anos[0].DataMaxima.Ano, 1961);
    EXPECT_EQ(h.Anos[1].DataMaxima.Dia, 4);
    EXPECT_EQ(h.Anos[2].DiasSemLeitura, 33);
    EXPECT_FALSE(h.Anos[2].Completo);
    EXPECT_FALSE(h.Anos[6].Completo);
    EXPECT_EQ(h.Anos[9].DiasSemLeitura, 29);
    EXPECT_EQ(h.Gumbel.N, 28);
    ExpectRelativo(h.Gumbel.DesvioPadrao, 46.6431085662135);
    ExpectRelativo(h.Gumbel.Ks, 0.305263552921063, 1e-10);
    EXPECT_FALSE(h.Gumbel.KsAceito);
    ExpectRelativo(h.ChuvaUmDia[2].Chuva, 125.206026434186);
    EXPECT_EQ(h.Avisos.front(), "O teste de Kolmogorov–Smirnov rejeita a distribuição de Gumbel "
                                "a 5 % (D = 0,305, crítico 0,250): as chuvas dos períodos de "
                                "retorno são pouco confiáveis.");
    EXPECT_NE(DescricaoOrigem(h).find("por ano hidrológico a partir de julho"), std::string::npos);
}

TEST(SerieDiaria, FatorDeFrequenciaEValorCritico) {
    EXPECT_NEAR(FatorFrequenciaGumbel(2), -0.164272041883742, 1e-14);
    EXPECT_NEAR(FatorFrequenciaGumbel(10), 1.30456321303421, 1e-14);
    EXPECT_NEAR(FatorFrequenciaGumbel(100), 3.13668064364318, 1e-14);
    EXPECT_EQ(CriticoKs5(10), 0.40925);
    EXPECT_EQ(CriticoKs5(35), 0.22425);
    EXPECT_DOUBLE_EQ(CriticoKs5(36), 1.36 / 6);
    EXPECT_THROW(AjustarGumbel({50, 60, 70, 80, 90, 55, 65, 75, 85}), EMorvendo);
    EXPECT_THROW(AjustarGumbel(std::vector<double>(12, 70.0)), EMorvendo);
}

// O mesmo registro em UTF-8 com BOM e LF, e na forma do TXT ("//" antes das colunas, espaços
// em volta dos campos, código sem o zero, ponto decimal), dá os mesmos meses.
TEST(SerieDiaria, VariantesDoArquivoDaoOsMesmosMeses) {
    const TSerieDiaria original = LerSerieDiaria(ArquivoRegistro);
    std::string utf8 = "\xEF\xBB\xBFSistema de Informações Hidrológicas\n" + LinhaColunas() + "\n";
    std::string txt = "// Sistema de Informa\xE7\xF5"
                      "es\r\n//" +
                      LinhaColunas() + "\r\n";
    for (const TMesTeste& m : Registro()) {
        utf8 += LinhaMes(m) + "\n";
        std::string l = LinhaMes(m);
        for (auto p = l.find(','); p != std::string::npos; p = l.find(',', p))
            l[p] = '.';
        if (l.compare(0, 1, "0") == 0) l.erase(0, 1);
        std::string espacado;
        for (char c : l)
            espacado += c == ';' ? std::string(" ; ") : std::string(1, c);
        txt += "  " + espacado + "\r\n";
    }
    for (const std::string& texto : {utf8, txt}) {
        const TSerieDiaria s = LerSerieDiaria(texto);
        ASSERT_EQ(s.Meses.size(), original.Meses.size());
        for (std::size_t i = 0; i < s.Meses.size(); ++i) {
            EXPECT_EQ(s.Meses[i].Ano, original.Meses[i].Ano);
            EXPECT_EQ(s.Meses[i].Nivel, original.Meses[i].Nivel);
            EXPECT_EQ(s.Meses[i].Chuva, original.Meses[i].Chuva);
            EXPECT_EQ(s.Meses[i].Status, original.Meses[i].Status);
        }
        EXPECT_NE(s.Cabecalho.front().find("Informações"), std::string::npos);
    }
}

TEST(SerieDiaria, RecusaComALinhaEOMotivo) {
    TMesTeste base = MesDoRegistro(1990, 2, 1);
    TMesTeste marco = MesDoRegistro(1990, 3, 1);
    const std::string cab = "Texto livre\r\n" + LinhaColunas() + "\r\n";
    auto com = [&](auto mudar) {
        TMesTeste m = base;
        mudar(m);
        return cab + LinhaMes(marco) + "\r\n" + LinhaMes(m) + "\r\n";
    };
    const std::string bom = com([](TMesTeste&) {});
    const std::pair<std::string, std::string> casos[] = {
        {"Texto livre\r\n1;2;3\r\n", "O arquivo não tem a linha das colunas que começa com "
                                     "EstacaoCodigo;NivelConsistencia;Data"},
        {Trocar(bom, ";Chuva17;", ";Chuva71;"),
         "Linha 2: falta a coluna Chuva17; o arquivo não é uma série de chuvas diárias."},
        {Trocar(bom, "Chuva17Status", "chuva05status"),
         "Linha 2: a coluna chuva05status aparece duas vezes."},
        {Trocar(bom, "02045005;1;01/02", "02045005;3;01/02"),
         "Linha 4, coluna NivelConsistencia: o nível de consistência deve ser 1 ou 2 (\"3\")."},
        {Trocar(bom, "01/02/1990", "15/02/1990"),
         "Linha 4, coluna Data: a data deve ser o primeiro dia de um mês, dd/mm/aaaa, de 1800 a "
         "2200 (\"15/02/1990\")."},
        {Trocar(bom, "01/02/1990", "01/13/1990"), "Linha 4, coluna Data:"},
        {com([](TMesTeste& m) { m.Chuva[4].reset(); }) + "x", "Linha 5: há 1 campos"},
        {Trocar(bom, "02045005;1;01/02/1990", "02045006;1;01/02/1990"),
         "Linha 4, coluna EstacaoCodigo: o posto (\"02045006\") não é o da linha 3 "
         "(\"02045005\"); o arquivo deve ter um posto só."},
        {com([](TMesTeste& m) { m.Chuva[4] = -1; }),
         "Linha 4, coluna Chuva05: a chuva do dia deve ser um número de 0 a 2000 mm (\"-1,0\")."},
        {com([](TMesTeste& m) { m.Chuva[4] = 2500; }), "Linha 4, coluna Chuva05:"},
        {com([](TMesTeste& m) { m.Chuva[29] = 3; }),
         "Linha 4, coluna Chuva30: o dia 30 não existe em 02/1990 e deveria estar vazio"},
        {com([](TMesTeste& m) { m.Status[6] = 7; }),
         "Linha 4, coluna Chuva07Status: o status deve ser de 0 a 4 (\"7\")."},
        {cab + LinhaMes(marco) + "\r\n" + LinhaMes(marco) + "\r\n",
         "Linha 4: o mês 03/1990 no nível 1 já está na linha 3."},
        {cab + LinhaMes(marco).substr(0, 200) + "\r\n", "Linha 3: há "},
        {cab + LinhaMes(marco) + "extra;mais\r\n",
         "Linha 3: há 77 campos e a linha das colunas tem 76."},
        {cab + "\r\n", "O arquivo não tem nenhum mês de chuvas."},
        {"EstacaoCodigo;NivelConsistencia;Data;Hora;MediaDiaria;Vazao01\r\n",
         "Linha 1: falta a coluna Chuva01; o arquivo não é uma série de chuvas diárias."},
    };
    for (const auto& [texto, mensagem] : casos)
        EXPECT_EQ(Erro<EArquivoRecusado>([&] { LerSerieDiaria(texto); }).substr(0, mensagem.size()),
                  mensagem);
    // As colunas valem pelo nome, não pela posição.
    std::string trocado = Trocar(bom, "Chuva05;", "Chuva05x;");
    trocado = Trocar(trocado, "Chuva04;", "Chuva05;");
    trocado = Trocar(trocado, "Chuva05x;", "Chuva04;");
    const TSerieDiaria s = LerSerieDiaria(trocado);
    EXPECT_EQ(s.Meses[0].Chuva[3], base.Chuva[4]);
    EXPECT_EQ(s.Meses[0].Chuva[4], base.Chuva[3]);
}

// Uma série montada fora da leitura (pela janela, por exemplo) com um mês impossível, ou um
// início de ano hidrológico fora de 1 a 12, é recusada em vez de ler fora da tabela dos dias.
TEST(SerieDiaria, MesImpossivelRecusado) {
    TSerieDiaria s;
    s.Meses.resize(1);
    s.Meses[0].Ano = 2000;
    for (int mes : {0, 13}) {
        s.Meses[0].Mes = mes;
        EXPECT_THROW(MaximasAnuais(s), EMorvendo) << mes;
    }
    s.Meses[0].Mes = 5;
    EXPECT_EQ(MaximasAnuais(s).size(), 1u);
    EXPECT_THROW(MaximasAnuais(s, 0), EMorvendo);
    EXPECT_THROW(MaximasAnuais(s, 13), EMorvendo);
}

// Um século de meses nos dois níveis lê num instante.
TEST(SerieDiaria, SeculoLeDepressa) {
    std::vector<TMesTeste> meses;
    for (int ano = 2000; ano > 1900; --ano)
        for (int mes = 12; mes >= 1; --mes)
            for (int nivel : {1, 2}) {
                TMesTeste m = MesDoRegistro(1960 + ano % 30, mes, nivel);
                m.Ano = ano;
                for (int d = Dias(m.Ano, m.Mes); d < 31; ++d)
                    m.Chuva[std::size_t(d)].reset();
                meses.push_back(m);
            }
    const std::string texto = Arquivo(meses);
    const auto inicio = std::chrono::steady_clock::now();
    const TSerieDiaria s = LerSerieDiaria(texto);
    const TIdfDaSerie r = IdfDaSerieDiaria(s);
    const double segundos =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    EXPECT_EQ(s.Meses.size(), 1200u);
    EXPECT_EQ(s.MesesConsistidos, 1200);
    EXPECT_GT(r.Gumbel.N, 80);
    EXPECT_LT(segundos, 1.0);
}

TEST(SerieDiaria, TabelaDasRelacoes) {
    const auto padrao = RelacoesDuracaoPadrao();
    const auto lidas = LerRelacoes(TextoRelacoes(padrao));
    ASSERT_EQ(lidas.size(), padrao.size());
    for (std::size_t i = 0; i < lidas.size(); ++i) {
        EXPECT_EQ(lidas[i].Duracao, padrao[i].Duracao);
        EXPECT_EQ(lidas[i].Referencia, padrao[i].Referencia);
        EXPECT_EQ(lidas[i].Relacao, padrao[i].Relacao);
    }
    EXPECT_EQ(TextoRelacoes(padrao).substr(0, 30), "1440/dia=1.14;720/1440=0.85;60");
    const auto chuvas = ChuvasPorDuracao(100, padrao);
    ASSERT_EQ(chuvas.size(), 12u);
    EXPECT_EQ(chuvas.front().Duracao, 5);
    EXPECT_NEAR(chuvas.front().Chuva, 100 * 1.14 * 0.42 * 0.74 * 0.34, 1e-12);
    EXPECT_NEAR(chuvas.back().Chuva, 114, 1e-12);

    const std::pair<const char*, const char*> ruins[] = {
        {"1440/dia=1.14;60/1440=0.42;30/60=0.74;120/180=0.5",
         "Na tabela das relações, 120 min se refere a 180 min, que não está na tabela."},
        {"1440/dia=1.14;60/30=0.42;30/60=0.74", "Na tabela das relações, 60 min não chega à "
                                                "chuva de um dia: as referências formam um ciclo."},
        {"1440/dia=1.14;60/1440=0.42;60/1440=0.5",
         "Na tabela das relações, a duração de 60 min aparece duas vezes."},
        {"1440/dia=1.14;60/1440=0.42;30/60=3.4",
         "A tabela das relações dá mais chuva em 30 min que em 60 min."},
        {"1440/dia=1.14;60/1440=0", "Na tabela das relações, a relação de 60 min deve ser maior "
                                    "que 0 e no máximo 10 (lida: 0)."},
        {"1440/dia=1.14;0.5/1440=0.1", "Na tabela das relações, a duração deve ser de 1 a 10080"},
        {"1440/dia=1.14;60:1440=0.42",
         "A relação 2 (\"60:1440=0.42\") deve ter a forma duração/referência=relação"},
    };
    for (const auto& [texto, mensagem] : ruins)
        EXPECT_EQ(Erro<EMorvendo>([&] { LerRelacoes(texto); }).substr(0, std::strlen(mensagem)),
                  mensagem)
            << texto;
    TOpcoesIdfSerie o;
    o.Relacoes.resize(2);
    EXPECT_THROW(IdfDaSerieDiaria(LerSerieDiaria(ArquivoRegistro), o), EMorvendo);
}

// Uma linha sai da tabela só quando a cadeia até a chuva de um dia continua inteira: uma
// duração que é referência de outra fica (a não ser que outra linha da mesma duração a
// supra), e ficam pelo menos três durações.
TEST(SerieDiaria, ExclusaoDeRelacaoNaoRompeACadeia) {
    const auto padrao = RelacoesDuracaoPadrao();
    const auto linha = [&](double d) {
        return std::size_t(std::find_if(padrao.begin(), padrao.end(),
                                        [&](const TRelacaoDuracao& r) { return r.Duracao == d; }) -
                           padrao.begin());
    };
    const auto curta = LerRelacoes("1440/dia=1.14;60/1440=0.42;30/60=0.74");
    auto repetida = padrao;
    repetida.push_back({30, 1440, 0.3});
    const struct {
        std::vector<TRelacaoDuracao> Tabela;
        std::size_t Linha;
        const char* Mensagem; // vazia: pode sair
    } casos[] = {
        {padrao, linha(25), ""},
        {padrao, linha(720), ""},
        {padrao, linha(30),
         "A duração de 30 min é a referência de 25 min, 20 min, 15 min, 10 min e 5 min: sem ela, "
         "essas durações não chegam à chuva de um dia. Troque antes a referência delas."},
        {padrao, linha(1440),
         "A duração de 1440 min é a referência de 720 min, 600 min, 480 min, 360 min e 60 min"},
        {curta, 1,
         "A duração de 60 min é a referência de 30 min: sem ela, essa duração não chega à chuva "
         "de um dia. Troque antes a referência dela."},
        {curta, 2, "A tabela das relações deve ter pelo menos três durações."},
        {repetida, linha(30), ""},
        {repetida, padrao.size(), ""},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Linha);
        const std::string erro =
            Erro<EMorvendo>([&] { ConferirExclusaoRelacao(c.Tabela, c.Linha); });
        EXPECT_EQ(erro.substr(0, std::strlen(c.Mensagem)), c.Mensagem);
        EXPECT_EQ(erro.empty(), *c.Mensagem == 0) << erro;
        if (!erro.empty() || c.Tabela.size() <= DuracoesMinimasRelacoes) continue;
        // O que pode sair deixa uma tabela que se calcula.
        auto sem = c.Tabela;
        sem.erase(sem.begin() + std::ptrdiff_t(c.Linha));
        EXPECT_NO_THROW(ChuvasPorDuracao(100, sem));
    }
}

struct TSaida {
    int Status;
    std::string Saida, Erros;
};

TSaida Rodar(const TPastaTemporaria& pasta, const std::string& argumentos) {
    const std::string cmd = "cd '" + pasta.Caminho() + "' && LC_ALL=C '" MORVENDO_CALC "' " +
                            argumentos + " > out 2> err";
    const int r = std::system(cmd.c_str());
    return {WIFEXITED(r) ? WEXITSTATUS(r) : -1, LerBytes(pasta.Arquivo("out")),
            LerBytes(pasta.Arquivo("err"))};
}

TEST(SerieDiaria, LinhaDeComando) {
    TPastaTemporaria pasta;
    pasta.Gravar("serie.csv", ArquivoRegistro);
    const TSaida r = Rodar(pasta, "--chuva-diaria serie.csv --excluir-anos 1975,1986");
    ASSERT_EQ(r.Status, 0) << r.Erros;
    std::istringstream linhas(r.Saida);
    std::string k, anos, p1, cabecalho;
    std::getline(linhas, k);
    std::getline(linhas, anos);
    std::getline(linhas, p1);
    EXPECT_EQ(k.substr(0, 2), "K=");
    EXPECT_NE(k.find(" a="), std::string::npos);
    EXPECT_EQ(anos, "anos: 1961,1962,1964,1965,1966,1968,1969,1970,1971,1972,1973,1974,1976,1977,"
                    "1978,1979,1980,1981,1982,1983,1984,1985,1987,1988,1989");
    EXPECT_EQ(p1, "P1dia_mm: 2=79.88;5=99.15;10=111.90;15=119.10;20=124.14;25=128.02;50=139.98;"
                  "100=151.85");
    // A tabela impressa, dada ao ajuste da linha de comando, dá a mesma equação.
    const std::string tabela = r.Saida.substr(r.Saida.find("duracao_min,"));
    EXPECT_EQ(std::count(tabela.begin(), tabela.end(), '\n'), 97);
    EXPECT_EQ(tabela.substr(0, 39), "duracao_min,tr_anos,intensidade_mm_h\n5,");
    pasta.Gravar("tabela.csv", tabela);
    const TSaida ajuste = Rodar(pasta, "--ajustar-idf tabela.csv");
    ASSERT_EQ(ajuste.Status, 0) << ajuste.Erros;
    EXPECT_EQ(ajuste.Saida.substr(0, ajuste.Saida.find('\n')), k);
    EXPECT_NE(r.Erros.find("KS: D=0.0828 critico_5%=0.2640 aceito\n"), std::string::npos)
        << r.Erros;

    const TSaida h = Rodar(pasta, "--chuva-diaria serie.csv --ano-hidrologico 7");
    ASSERT_EQ(h.Status, 0) << h.Erros;
    EXPECT_NE(h.Saida.find("\nanos: 1960,1961,1963,"), std::string::npos);
    EXPECT_NE(h.Erros.find("Aviso: O teste de Kolmogorov–Smirnov rejeita"), std::string::npos);

    pasta.Gravar("ruim.csv", Trocar(ArquivoRegistro, ";01/06/1990;", ";31/06/1990;"));
    const std::pair<const char*, int> erros[] = {
        {"--chuva-diaria ruim.csv", 1},
        {"--chuva-diaria falta.csv", 2},
        {"--chuva-diaria serie.csv --ano-hidrologico 13", 2},
        {"--chuva-diaria serie.csv --excluir-anos 1950,x", 2},
        {"--chuva-diaria serie.csv --outra", 2},
        {"--chuva-diaria", 2},
    };
    for (const auto& [argumentos, status] : erros) {
        const TSaida e = Rodar(pasta, argumentos);
        EXPECT_EQ(e.Status, status) << argumentos << ": " << e.Erros;
        EXPECT_TRUE(e.Saida.empty()) << argumentos;
        EXPECT_FALSE(e.Erros.empty()) << argumentos;
    }
    EXPECT_EQ(Rodar(pasta, "--chuva-diaria ruim.csv").Erros,
              "ruim.csv: Linha 8, coluna Data: a data deve ser o primeiro dia de um mês, "
              "dd/mm/aaaa, de 1800 a 2200 (\"31/06/1990\").\n");
}

} // namespace
