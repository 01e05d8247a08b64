#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include <string>
#include <vector>

#include "Auxiliar.h"
#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "project/Locacao.h"

namespace {

// Canal de perdas conhecidas: cada metro com declividade S soma 25·S à perda (1 por metro a
// 4 %, 2 a 8 %), o dobro em corte quando assim se pede; tolerável 50,5. A 4 % a perda passa da
// tolerável na seção 52: espaçamento de 51 m; a 8 %, de 26 m. Chega 1 L/s e 0,1 m³ por metro.
class TCanalConhecido : public ICanalLocacao {
public:
    bool CorteDobra = false;
    double PerdaToleravel() const override { return 50.5; }
    std::vector<double> Perdas(const TDescida& d, int inicio, int comprimento) const override {
        std::vector<double> perdas(std::size_t(comprimento), 0.0);
        double soma = 0;
        std::size_t s = 1;
        for (const TPecaDescida& p : d.Parte(inicio, comprimento))
            for (int m = 0; m < p.Comprimento && s < perdas.size(); ++m, ++s) {
                soma += 25 * p.Declividade * (CorteDobra && p.AreaExterna ? 2 : 1);
                perdas[s] = soma;
            }
        return perdas;
    }
    TChegada Chegada(const TDescida&, int, int comprimento) const override {
        return {double(comprimento), 0.1 * comprimento};
    }
    std::optional<TDimensoesBacia> Bacia(const TChegada& c) const override {
        TDimensoesBacia b;
        b.Comprimento = c.Volume; // só para ver que a bacia recebe a soma
        return b;
    }
};

struct TCasoLocacao {
    const char* Nome;
    std::vector<TTrecho> Trechos;
    double Fator;
    // "posição lado" de cada desaguadouro, na ordem da nota.
    std::vector<std::string> Esperados;
};

std::vector<std::string> Descrever(const TResultadoLocacao& r) {
    std::vector<std::string> v;
    for (const TDesaguadouro& d : r.Desaguadouros)
        v.push_back(std::to_string(std::lround(d.Posicao)) + SiglaLado(d.Lado));
    return v;
}

std::vector<std::string> NosDoisLados(std::initializer_list<int> posicoes) {
    std::vector<std::string> v;
    for (int p : posicoes)
        for (const char* l : {"E", "D"})
            v.push_back(std::to_string(p) + l);
    return v;
}

TTrecho T(double inicio, int comprimento, double declividade) {
    return TTrecho("t", inicio, comprimento, declividade);
}

TEST(Locacao, PerfisPequenos) {
    const TCanalConhecido canal;
    const std::vector<TCasoLocacao> casos = {
        {"descendo", {T(0, 200, 0.04)}, 1, NosDoisLados({51, 102, 153, 200})},
        {"subindo: a água corre para o começo",
         {T(0, 200, -0.04)},
         1,
         NosDoisLados({0, 47, 98, 149})},
        {"crista: nenhum desaguadouro nela",
         {T(0, 100, -0.04), T(100, 100, 0.04)},
         1,
         NosDoisLados({0, 49, 151, 200})},
        {"baixada: um desaguadouro para as duas descidas",
         {T(0, 100, 0.04), T(100, 100, -0.04)},
         1,
         NosDoisLados({51, 100, 149})},
        {"íngreme e depois suave",
         {T(0, 60, 0.08), T(60, 140, 0.04)},
         1,
         NosDoisLados({26, 52, 95, 146, 197, 200})},
        {"suave e depois íngreme",
         {T(0, 100, 0.04), T(100, 100, 0.08)},
         1,
         NosDoisLados({51, 101, 127, 153, 179, 200})},
        {"descida mais curta que o espaçamento", {T(500, 30, 0.04)}, 1, NosDoisLados({530})},
        {"sobra curta espalhada por igual", {T(0, 160, 0.04)}, 1, NosDoisLados({40, 80, 120, 160})},
        {"fator de segurança", {T(0, 200, 0.04)}, 0.8, NosDoisLados({40, 80, 120, 160, 200})},
        {"trecho plano no meio",
         {T(0, 40, 0.04), T(40, 20, 0), T(60, 40, -0.04)},
         1,
         NosDoisLados({40, 60})},
    };
    for (const TCasoLocacao& c : casos) {
        TOpcoesLocacao o;
        o.Fator = c.Fator;
        o.Linhas = 2;
        EXPECT_EQ(Descrever(LocarDesaguadouros(c.Trechos, 1, canal, o)), c.Esperados) << c.Nome;
    }
}

TEST(Locacao, BaixadaSomaAsDuasDescidas) {
    const TCanalConhecido canal;
    TOpcoesLocacao o;
    o.Fator = 1;
    const auto r = LocarDesaguadouros({T(0, 100, 0.04), T(100, 100, -0.04)}, 1, canal, o);
    ASSERT_EQ(r.Desaguadouros.size(), 6u);
    const TDesaguadouro& baixada = r.Desaguadouros[2];
    EXPECT_EQ(baixada.Posicao, 100);
    EXPECT_TRUE(baixada.PontoBaixo);
    ASSERT_EQ(baixada.Contribuicoes.size(), 2u);
    EXPECT_EQ(baixada.Contribuicoes[0].Comprimento, 49);
    EXPECT_EQ(baixada.Contribuicoes[1].Comprimento, 49);
    EXPECT_EQ(baixada.ComprimentoServido(), 98);
    EXPECT_DOUBLE_EQ(baixada.Chegada.VazaoPico, 98);
    EXPECT_DOUBLE_EQ(baixada.Chegada.Volume, 9.8);
    ASSERT_TRUE(baixada.Bacia);
    EXPECT_DOUBLE_EQ(baixada.Bacia->Comprimento, 9.8);
    // Numerados na ordem do estaqueamento, o esquerdo antes do direito.
    for (std::size_t i = 0; i < r.Desaguadouros.size(); ++i)
        EXPECT_EQ(r.Desaguadouros[i].Numero, int(i) + 1);
    EXPECT_FALSE(r.Desaguadouros[0].PontoBaixo);
    EXPECT_DOUBLE_EQ(r.Desaguadouros[0].DeclividadeMontante, 0.04);
    EXPECT_DOUBLE_EQ(r.Desaguadouros[4].DeclividadeMontante, -0.04);
}

TEST(Locacao, LadosDiferentes) {
    TCanalConhecido canal;
    canal.CorteDobra = true;
    TOpcoesLocacao o;
    o.Fator = 1;
    // Em corte à esquerda (perde o dobro), sem corte à direita; no segundo trecho não há canal
    // à esquerda: o canal desse lado termina em 100 m.
    std::vector<TTrecho> t = {T(0, 100, 0.04), T(100, 100, 0.04)};
    t[0].Esquerdo = TCanalLado::Corte;
    t[0].Direito = TCanalLado::SemCorte;
    t[1].Esquerdo = TCanalLado::Nenhum;
    t[1].Direito = TCanalLado::SemCorte;
    const auto r = LocarDesaguadouros(t, 1, canal, o);
    EXPECT_EQ(Descrever(r), (std::vector<std::string>{"26E", "51D", "52E", "78E", "100E", "102D",
                                                      "153D", "200D"}));
    const TDesaguadouro& fimDoCanal = r.Desaguadouros[4];
    EXPECT_TRUE(fimDoCanal.PontoBaixo);
    ASSERT_EQ(fimDoCanal.Avisos.size(), 1u);
    EXPECT_NE(fimDoCanal.Avisos[0].find("termina"), std::string::npos);
    // Sem lado dito, vale a seção do projeto: a 3 não tem área externa.
    EXPECT_EQ(CanalDoLado(std::nullopt, 3), TCanalLado::SemCorte);
    EXPECT_EQ(CanalDoLado(std::nullopt, 1), TCanalLado::Corte);
}

TEST(Locacao, DescidaLimitadaPeloComprimentoENenhumEspacamento) {
    TCanalConhecido canal;
    TOpcoesLocacao o;
    auto r = LocarDesaguadouros({T(0, 30, 0.04)}, 1, canal, o);
    ASSERT_EQ(r.Desaguadouros.size(), 2u);
    EXPECT_TRUE(r.Desaguadouros[0].LimitadoPeloComprimento);
    // 9 m/m: 225 por metro, já o segundo metro passa da tolerável.
    r = LocarDesaguadouros({T(0, 30, 9)}, 1, canal, o);
    ASSERT_EQ(r.Desaguadouros.size(), 2u);
    EXPECT_EQ(r.Desaguadouros[0].Posicao, 30);
    ASSERT_FALSE(r.Desaguadouros[0].Avisos.empty());
    EXPECT_NE(r.Desaguadouros[0].Avisos[0].find("Nenhum espaçamento atende"), std::string::npos);
    o.Fator = 0;
    EXPECT_THROW(LocarDesaguadouros({T(0, 30, 0.04)}, 1, canal, o), EMorvendo);
    o.Fator = 1;
    // Um buraco ou uma sobreposição entre trechos daria descidas em lugares errados.
    EXPECT_THROW(LocarDesaguadouros({T(0, 30, 0.04), T(40, 30, 0.04)}, 1, canal, o), EMorvendo);
    EXPECT_THROW(LocarDesaguadouros({T(0, 30, 0.04), T(20, 30, 0.04)}, 1, canal, o), EMorvendo);
}

// Sem descida nenhuma a nota ficaria vazia: a mensagem diz por quê.
TEST(Locacao, SemDescidaDizPorQue) {
    TCanalConhecido canal;
    std::vector<TTrecho> semCanal = {T(0, 30, 0.04)};
    semCanal[0].Esquerdo = semCanal[0].Direito = TCanalLado::Nenhum;
    std::vector<TTrecho> planoComCanal = semCanal;
    planoComCanal.push_back(T(30, 30, 0));
    const struct {
        std::vector<TTrecho> Trechos;
        const char* Trecho;
    } casos[] = {{{T(0, 30, 0), T(30, 20, 0)}, "Todos os trechos são planos"},
                 {semCanal, "Nenhum trecho tem canal"},
                 {planoComCanal, "Os trechos com canal são todos planos"},
                 {{}, "Não há trechos"}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Trecho);
        try {
            LocarDesaguadouros(c.Trechos, 1, canal, TOpcoesLocacao{});
            ADD_FAILURE() << "não recusou";
        } catch (const EMorvendo& e) {
            EXPECT_NE(std::string(e.what()).find(c.Trecho), std::string::npos) << e.what();
        }
    }
}

// A linha de comando: o perfil que sobe 4 % até a crista em 400 m, desce até a baixada em
// 1 000 m e sobe até 1 200 m, só do lado esquerdo. Nenhum desaguadouro na crista, um na
// baixada servindo às duas descidas, um no começo da estrada; a nota é a da locação do núcleo.
TEST(LocacaoCli, NotaDoPerfil) {
    TPastaTemporaria pasta("cli-perfil");
    const std::string projeto = "'" + DADOS_REFERENCIA + "c03_equiv_200m.mvd'";
    const std::string perfil = "distancia_m,cota_m,lado,secao\n0,100,E,\n400,116,E,\n"
                               "1000,92,E,3\n1200,100,E,\n";
    GravarBytes(pasta / "perfil.csv", perfil);
    auto r = Rodar(pasta.Caminho, projeto + " --perfil perfil.csv --fator 0.9 --threads 2");
    ASSERT_EQ(r.Status, 0) << r.Err;
    std::istringstream linhas(r.Out);
    std::string l;
    std::getline(linhas, l);
    EXPECT_EQ(l, CABECALHO_NOTA_LOCACAO);
    std::vector<std::vector<std::string>> campos;
    while (std::getline(linhas, l)) {
        campos.emplace_back();
        std::istringstream c(l);
        for (std::string x; std::getline(c, x, ',');)
            campos.back().push_back(x);
    }
    ASSERT_GE(campos.size(), 3u);
    EXPECT_EQ(campos.front()[3], "0.0");
    bool baixada = false;
    for (const auto& c : campos) {
        EXPECT_EQ(c[1], "E");
        EXPECT_NE(c[3], "400.0") << "desaguadouro na crista";
        if (c[3] == "1000.0") baixada = true;
    }
    EXPECT_TRUE(baixada);

    std::istringstream entrada(perfil);
    TUnidades unidades;
    TProjeto p(unidades);
    ZerarVariaveis(p);
    ASSERT_TRUE(LerProjeto(p, DADOS_REFERENCIA + "c03_equiv_200m.mvd"));
    TOpcoesLocacao o;
    o.Fator = 0.9;
    const TResultadoLocacao nucleo =
        LocarDesaguadouros(p, TrechosDasRampas(LerPerfilLadosCsv(entrada)), o);
    EXPECT_EQ(r.Out, NotaLocacaoCsv(nucleo));
    // Os avisos dos dados (aqui, a infiltração do leito fora da faixa típica) em cada linha.
    ASSERT_FALSE(nucleo.Avisos.empty());
    EXPECT_EQ(nucleo.Avisos[0].Id, "fora_da_faixa_tipica");
    std::istringstream nota(r.Out);
    std::getline(nota, l);
    while (std::getline(nota, l))
        EXPECT_NE(l.find(nucleo.Avisos[0].Texto), std::string::npos) << l;

    // Perfil ruim: a linha e o campo; fator sem perfil; fator fora de (0, 1].
    GravarBytes(pasta / "ruim.csv", "distancia_m,cota_m,lado\n0,100,E\n10,99,X\n");
    r = Rodar(pasta.Caminho, projeto + " --perfil ruim.csv");
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err.rfind("ruim.csv: Linha 3: o campo lado (\"X\")", 0), 0u) << r.Err;
    EXPECT_EQ(r.Out, "");
    GravarBytes(pasta / "ruim.csv", "posicao,cota\n0,1\n10,0\n");
    r = Rodar(pasta.Caminho, projeto + " --perfil ruim.csv");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("o cabeçalho deve ser \"distancia_m,cota_m\""), std::string::npos)
        << r.Err;
    EXPECT_EQ(Rodar(pasta.Caminho, projeto + " --fator 0.8").Status, 2);
    EXPECT_EQ(Rodar(pasta.Caminho, projeto + " --perfil perfil.csv --fator 1.2").Status, 2);
    EXPECT_EQ(Rodar(pasta.Caminho, projeto + " --perfil perfil.csv --trechos perfil.csv").Status,
              2);
}

// Perfil em ';' e vírgula decimal, com BOM, como as planilhas; rampas de menos de meio metro
// somem; lados e seções por rampa.
TEST(Locacao, PerfilComLadosViraRampas) {
    std::istringstream entrada("\xEF\xBB\xBF"
                               "distancia_m;cota_m;lado;secao\n0;10;D;1\n"
                               "100,2;8;ambos;\n100,4;8;E;3\n150;9;;\n");
    const auto trechos = TrechosDasRampas(LerPerfilLadosCsv(entrada));
    ASSERT_EQ(trechos.size(), 2u);
    EXPECT_EQ(trechos[0].Comprimento, 100);
    EXPECT_DOUBLE_EQ(trechos[0].Declividade, 2 / 100.2);
    EXPECT_EQ(trechos[0].Esquerdo, TCanalLado::Nenhum);
    EXPECT_EQ(trechos[0].Direito, TCanalLado::Corte);
    EXPECT_EQ(trechos[1].Inicio, 100);
    EXPECT_EQ(trechos[1].Comprimento, 50);
    EXPECT_EQ(trechos[1].Esquerdo, TCanalLado::SemCorte);
    EXPECT_EQ(trechos[1].Direito, TCanalLado::Nenhum);
    std::istringstream ruim("distancia_m,cota_m,secao\n0,1,2\n10,0,1\n");
    EXPECT_THROW(LerPerfilLadosCsv(ruim), EMorvendo);
}

} // namespace
