// Origem e faixa de durações das estações publicadas, o aviso de durações fora da faixa e a
// consulta por linha de comando em São Paulo com os dados que acompanham o programa.
#include "idf/UnBD.h"
#include "idf/VerificacaoIdf.h"
#include "comum/LeitorCsv.h"

#include "AuxiliaresIdf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sys/wait.h>

namespace {

const std::string Fontes = MORVENDO_FONTES_IDF;

std::string Campo(const TTabelaCsv& t, const TLinhaCsv& l, const char* c) {
    return l.Campos.at(std::size_t(t.Coluna(c)));
}

// A tabela compilada é a de estacoes.csv (o gerador não foi esquecido) e cada estação do
// banco acha a sua linha pelos parâmetros que a consulta copia para o projeto.
TEST(VerificacaoIdf, TabelaCompiladaConfereComAFonte) {
    const TTabelaCsv csv = LerCsv(Fontes + "/estacoes.csv");
    const auto& info = InfoEstacoesIdf();
    ASSERT_EQ(info.size(), csv.Registros.size())
        << "rode o alvo atualizar_referencias depois de mudar estacoes.csv";
    for (std::size_t i = 0; i < info.size(); ++i) {
        const auto& l = csv.Registros[i];
        const auto& e = info[i];
        EXPECT_EQ(e.Estacao, Campo(csv, l, "estacao"));
        EXPECT_EQ(e.Chave, Campo(csv, l, "fonte"));
        const auto verificacao = Campo(csv, l, "verificacao");
        EXPECT_EQ(e.Verificacao, verificacao == "primaria"     ? TVerificacaoIdf::Primaria
                                 : verificacao == "secundaria" ? TVerificacaoIdf::Secundaria
                                                               : TVerificacaoIdf::Convertida);
        const auto dmin = Campo(csv, l, "duracao_min"), dmax = Campo(csv, l, "duracao_max");
        EXPECT_EQ(e.DuracaoMin, dmin.empty() ? 0 : std::stod(dmin));
        EXPECT_EQ(e.DuracaoMax, dmax.empty() ? 0 : std::stod(dmax));
    }
    TBDPrecipitacao bd(MORVENDO_PASTA_COMUNS);
    bd.CarregarEstacoes();
    std::size_t achadas = 0;
    for (const auto& grupo : bd.Estacoes)
        for (const auto& s : grupo) {
            const TInfoEstacaoIdf* e = ProcurarInfoEstacao(s.Autor, s.K, s.A, s.B, s.C);
            ASSERT_NE(e, nullptr) << s.Nome;
            EXPECT_EQ(e->Estacao, s.Nome);
            ++achadas;
        }
    EXPECT_EQ(achadas, info.size());
    // Mesma fonte, outra estação; e a interpolação não é estação nenhuma.
    EXPECT_EQ(ProcurarInfoEstacao("DAEE1999-SP", 1272.12, 0.173, 16.49, 0.8108)->Estacao,
              "Andradina (posto DAEE B8-004R, 1972-96)");
    EXPECT_EQ(ProcurarInfoEstacao("DAEE1999-SP", 1272.12, 0.173, 16.49, 0.81), nullptr);
    EXPECT_EQ(ProcurarInfoEstacao("Interpolação", 1272.12, 0.173, 16.49, 0.8108), nullptr);
}

TEST(VerificacaoIdf, FaixaEAvisoDeDuracoes) {
    TInfoEstacaoIdf e;
    e.DuracaoMin = 10;
    e.DuracaoMax = 105;
    EXPECT_EQ(TextoFaixaDuracoes(e), "de 10 a 105 min");
    const struct {
        std::vector<double> Duracoes;
        const char* Aviso;
    } casos[] = {
        {{}, ""},
        {{10, 105}, ""},
        {{30, 240.5},
         "Atenção: a chuva de projeto dura 240,5 min, mais que a faixa de durações "
         "em que a equação desta estação vale (de 10 a 105 min); fora dela a "
         "intensidade é extrapolada."},
        {{4, 60},
         "Atenção: a chuva de projeto dura 4 min, menos que a faixa de durações em que "
         "a equação desta estação vale (de 10 a 105 min); fora dela a intensidade é "
         "extrapolada."},
    };
    for (const auto& c : casos)
        EXPECT_EQ(AvisoFaixaDuracoes(e, c.Duracoes), c.Aviso);

    e.DuracaoMin = 0;
    EXPECT_EQ(TextoFaixaDuracoes(e), "até 105 min");
    EXPECT_EQ(AvisoFaixaDuracoes(e, {1, 60}), "");
    e.DuracaoMax = 0;
    EXPECT_EQ(TextoFaixaDuracoes(e), "não informada pela fonte");
    EXPECT_EQ(AvisoFaixaDuracoes(e, {1, 10000}), "");
    e.DuracaoMin = 5;
    EXPECT_EQ(TextoFaixaDuracoes(e), "a partir de 5 min");
}

TEST(VerificacaoIdf, DuracoesDaChuvaDeProjeto) {
    // A intensidade instantânea cai até a infiltração no tempo devolvido; sem escoamento
    // (infiltração acima do pico) a superfície fica de fora.
    const double K = 1272.12, a = 0.173, b = 16.49, c = 0.8108, tr = 10;
    const auto d = DuracoesChuvaProjeto(K, a, b, c, tr, {20, 5, 1e6});
    ASSERT_EQ(d.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const double t = d[i], vib = i == 0 ? 20 : 5;
        const double media = K * std::pow(tr, a) / std::pow(t + b, c);
        EXPECT_NEAR(media * (1 - c * t / (t + b)), vib, 1e-6);
    }
    EXPECT_LT(d[0], d[1]);
    EXPECT_TRUE(DuracoesChuvaProjeto(K, a, b, c, 0, {5}).empty());
}

// Com os dados do programa, um ponto de São Paulo entre as três estações do estado dá a
// média pelo inverso da quinta potência da distância, sem mensagem.
TEST(VerificacaoIdf, LinhaDeComandoInterpolaEmSaoPaulo) {
    TPastaTemporaria pasta;
    const std::string cmd = "LC_ALL=C '" MORVENDO_CALC "' --idf \"22°30'00\\\"\" "
                            "\"47°30'00\\\"\" > '" +
                            pasta.Arquivo("out") + "' 2> '" + pasta.Arquivo("err") + "'";
    const int r = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(r));
    EXPECT_EQ(WEXITSTATUS(r), 0);
    EXPECT_EQ(LerBytes(pasta.Arquivo("err")), "");
    const std::string saida = LerBytes(pasta.Arquivo("out"));
    EXPECT_EQ(saida.rfind("Origem: interpolação pelo inverso da quinta potência da distância\n", 0),
              0u)
        << saida;

    // Conta independente, com as coordenadas da tabela truncadas ao segundo como no banco.
    const TTabelaCsv csv = LerCsv(Fontes + "/estacoes.csv");
    auto segundos = [](double graus) { return std::floor(graus * 3600 + 1e-6) / 3600; };
    double soma = 0, k = 0, aa = 0, bb = 0, cc = 0;
    int emSaoPaulo = 0;
    for (const auto& l : csv.Registros) {
        if (Campo(csv, l, "uf") != "SP") continue;
        ++emSaoPaulo;
        const double dp = segundos(std::stod(Campo(csv, l, "latitude"))) - 22.5;
        const double dl = segundos(std::stod(Campo(csv, l, "longitude"))) - 47.5;
        const double w = 1 / std::pow(std::sqrt(dp * dp + dl * dl), 5);
        soma += w;
        k += w * std::stod(Campo(csv, l, "K"));
        aa += w * std::stod(Campo(csv, l, "a"));
        bb += w * std::stod(Campo(csv, l, "b"));
        cc += w * std::stod(Campo(csv, l, "c"));
    }
    EXPECT_EQ(emSaoPaulo, 3);
    double K = 0, A = 0, B = 0, C = 0;
    const auto p = saida.find("K: ");
    ASSERT_NE(p, std::string::npos);
    ASSERT_EQ(std::sscanf(saida.c_str() + p, "K: %lf\na: %lf\nb: %lf\nc: %lf", &K, &A, &B, &C), 4);
    EXPECT_NEAR(K, k / soma, 1e-9 * K);
    EXPECT_NEAR(A, aa / soma, 1e-9);
    EXPECT_NEAR(B, bb / soma, 1e-9 * B);
    EXPECT_NEAR(C, cc / soma, 1e-9);
}

} // namespace
