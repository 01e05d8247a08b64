// Origem e faixa de durações das estações publicadas, o aviso de durações fora da faixa e a
// consulta por linha de comando em São Paulo com os dados que acompanham o programa.
#include "comum/LeitorCsv.h"
#include "comum/Numeros.h"
#include "idf/BancoEstacoes.h"
#include "idf/VerificacaoIdf.h"

#include "AuxiliaresIdf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
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
        const auto trmin = Campo(csv, l, "tr_min"), trmax = Campo(csv, l, "tr_max");
        EXPECT_EQ(e.TrMin, trmin.empty() ? 0 : std::stod(trmin));
        EXPECT_EQ(e.TrMax, trmax.empty() ? 0 : std::stod(trmax));
    }
    TBancoEstacoes bd(MORVENDO_PASTA_COMUNS);
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

// Faixa de períodos de retorno: o texto e o teste de um Tr fora dela (Iraí vale de 2 a 100
// anos; São José dos Campos, até 20; Itapetim, sem faixa dada).
TEST(VerificacaoIdf, FaixaDePeriodosDeRetorno) {
    auto estacao = [](const char* nome) {
        for (const auto& e : InfoEstacoesIdf())
            if (e.Estacao.rfind(nome, 0) == 0) return e;
        throw std::runtime_error(nome);
    };
    const struct {
        const char* Estacao;
        const char* Texto;
        double Tr;
        bool Fora;
    } casos[] = {
        {"Iraí", "de 2 a 100 anos", 2, false},
        {"Iraí", "de 2 a 100 anos", 100, false},
        {"Iraí", "de 2 a 100 anos", 1.5, true},
        {"Iraí", "de 2 a 100 anos", 200, true},
        {"São José", "até 20 anos", 1, false},
        {"São José", "até 20 anos", 25, true},
        {"Itapetim", "não informada pela fonte", 500, false},
    };
    for (const auto& c : casos) {
        const TInfoEstacaoIdf e = estacao(c.Estacao);
        EXPECT_EQ(TextoFaixaTr(e), c.Texto) << c.Estacao;
        EXPECT_EQ(TrForaDaFaixa(e, c.Tr), c.Fora) << c.Estacao << " " << c.Tr;
    }
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

struct TSaidaCalc {
    int Status;
    std::string Saida, Erros;
};

// morvendo-calc com os dados do programa e, quando dada, a pasta de estações do usuário.
TSaidaCalc RodarCalc(const std::string& argumentos, const std::string& pastaUsuario = "") {
    TPastaTemporaria pasta;
    const std::string usuario = pastaUsuario.empty() ? pasta.Caminho() : pastaUsuario;
    const std::string cmd = "LC_ALL=C MORVENDO_DADOS_USUARIO='" + usuario +
                            "' '" MORVENDO_CALC "' " + argumentos + " > '" + pasta.Arquivo("out") +
                            "' 2> '" + pasta.Arquivo("err") + "'";
    const int r = std::system(cmd.c_str());
    return {WIFEXITED(r) ? WEXITSTATUS(r) : -1, LerBytes(pasta.Arquivo("out")),
            LerBytes(pasta.Arquivo("err"))};
}

double Valor(const std::string& saida, const std::string& rotulo) {
    const auto p = saida.find("\n" + rotulo + ": ");
    return p == std::string::npos ? std::nan("") : std::stod(saida.substr(p + rotulo.size() + 3));
}

// Nas coordenadas de cada estação distribuída (graus decimais da tabela, com sinal, como um
// GPS os dá) e de uma estação do usuário, a equação é a dela, sem arredondamento. As duas
// equações de Lages têm as mesmas coordenadas: a primeira da lista responde e a outra é
// nomeada.
TEST(VerificacaoIdf, LinhaDeComandoNaEstacaoDaAEquacaoDela) {
    const TTabelaCsv csv = LerCsv(Fontes + "/estacoes.csv");
    int exatas = 0, nomeadas = 0;
    for (const auto& l : csv.Registros) {
        const auto r =
            RodarCalc("--idf -" + Campo(csv, l, "latitude") + " -" + Campo(csv, l, "longitude"));
        ASSERT_EQ(r.Status, 0) << r.Erros;
        const std::string nome = Campo(csv, l, "estacao");
        if (r.Saida.rfind("Estação: " + nome + "\n", 0) == 0) {
            ++exatas;
            for (const char* p : {"K", "a", "b", "c"})
                EXPECT_EQ(Valor(r.Saida, p), std::stod(Campo(csv, l, p))) << nome << " " << p;
        } else {
            ++nomeadas;
            EXPECT_NE(r.Saida.find("Outra estacao a menos de 1 km: " + nome + " (" +
                                   Campo(csv, l, "uf") + "); distancia_km: 0.000\n"),
                      std::string::npos)
                << r.Saida;
        }
    }
    EXPECT_EQ(exatas, 8);
    EXPECT_EQ(nomeadas, 1);

    TPastaTemporaria usuario;
    usuario.Gravar("minhas_estacoes.csv",
                   "uf,estacao,latitude,longitude,K,a,b,c,fonte\n"
                   "MT,Cuiabá (medição própria),15.601,56.097,1432.5,0.1543,13.1,0.779,Eu\n");
    const auto r = RodarCalc("--idf \"15°36'03\\\"\" \"56°05'49\\\"\"", usuario.Caminho());
    ASSERT_EQ(r.Status, 0) << r.Erros;
    EXPECT_EQ(r.Saida.rfind("Estação: Cuiabá (medição própria) (minha)\nFonte: Eu\n", 0), 0u)
        << r.Saida;
    EXPECT_EQ(Valor(r.Saida, "K"), 1432.5);
    EXPECT_EQ(Valor(r.Saida, "a"), 0.1543);
    EXPECT_EQ(Valor(r.Saida, "b"), 13.1);
    EXPECT_EQ(Valor(r.Saida, "c"), 0.779);
}

// Um ponto a mais de 150 km de todas as estações, a 171 km de Araraquara e de São José dos
// Campos:
// sem interpolação no raio padrão, com a mensagem das três mais próximas; com --raio 200,
// a média das duas, listadas com distância e peso.
TEST(VerificacaoIdf, LinhaDeComandoLongeDeTodasSoInterpolaComORaioMaior) {
    const double lat = 21.75, lon = 46.5;
    const TTabelaCsv csv = LerCsv(Fontes + "/estacoes.csv");
    struct TDistancia {
        double Km;
        std::string Nome, Uf;
        double K;
    };
    std::vector<TDistancia> d;
    for (const auto& l : csv.Registros)
        d.push_back({DistanciaKm(lat, lon, std::stod(Campo(csv, l, "latitude")),
                                 std::stod(Campo(csv, l, "longitude"))),
                     Campo(csv, l, "estacao"), Campo(csv, l, "uf"), std::stod(Campo(csv, l, "K"))});
    std::sort(d.begin(), d.end(), [](const auto& a, const auto& b) { return a.Km < b.Km; });
    ASSERT_GT(d[0].Km, 150);
    ASSERT_LT(d[1].Km, 200);
    ASSERT_GT(d[2].Km, 200);

    const std::string ponto = "--idf -21.75 -46.5";
    auto r = RodarCalc(ponto);
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Saida, "");
    EXPECT_NE(r.Erros.find("Não há estações a menos de 100 km do ponto"), std::string::npos);
    for (int i = 0; i < 3; ++i) {
        // Cada uma com os quilômetros (ao décimo, vírgula decimal).
        const std::string km = FormatFloat("0.0", d[i].Km, ',') + " km";
        const auto p = r.Erros.find(d[i].Nome + " (" + d[i].Uf + "), a ");
        ASSERT_NE(p, std::string::npos) << d[i].Nome << "\n" << r.Erros;
        EXPECT_NE(r.Erros.find(km, p), std::string::npos) << km << "\n" << r.Erros;
    }

    r = RodarCalc(ponto + " --raio 200");
    EXPECT_EQ(r.Status, 0) << r.Erros;
    double soma = 0, k = 0;
    for (int i = 0; i < 2; ++i) {
        const double w = 1 / std::pow(d[i].Km, 5);
        soma += w;
        k += w * d[i].K;
    }
    for (int i = 0; i < 2; ++i) {
        const std::string linha = "Estacao: " + d[i].Nome + " (" + d[i].Uf + "); distancia_km: ";
        const auto p = r.Saida.find(linha);
        ASSERT_NE(p, std::string::npos) << r.Saida;
        double km = 0, peso = 0;
        ASSERT_EQ(std::sscanf(r.Saida.c_str() + p + linha.size(), "%lf; peso: %lf %%", &km, &peso),
                  2);
        // Coordenadas do banco truncadas ao segundo: alguns metros de diferença.
        EXPECT_NEAR(km, d[i].Km, 0.05);
        EXPECT_NEAR(peso, 100 / std::pow(d[i].Km, 5) / soma, 0.05);
    }
    EXPECT_NEAR(Valor(r.Saida, "K"), k / soma, 1e-3 * k / soma);

    r = RodarCalc(ponto + " --raio 301");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Erros.find("entre 10 e 300 km"), std::string::npos);
}

} // namespace
