// Canal de uma descida em peças de declividade própria: uma peça só é o cálculo do espaçamento,
// número por número; a declividade e a área externa mudando ao longo do canal conservam a água
// e mudam a perda no sentido que a física pede.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "Auxiliar.h"
#include "comum/EMorvendo.h"
#include "project/Calculo.h"
#include "project/CanalDescida.h"
#include "project/Projeto.h"

namespace {

const char* const CASOS[] = {
    "c01_canal_1m", "c02_trap_secao3_50m",    "c03_equiv_200m",           "c06_so_primeira_passa",
    "c08_legado",   "c13_perda_sobe_e_desce", "c14_talude_sem_escoamento"};

struct TProjetoLido {
    TUnidades Unidades;
    TProjeto P{Unidades};
    explicit TProjetoLido(const std::string& caso, bool curvaOriginal = true) {
        ZerarVariaveis(P);
        // O leitor nunca grava: o arquivo antigo é convertido só em memória.
        if (!LerProjeto(P, DADOS_REFERENCIA + caso + ".mvd")) throw EMorvendo("não leu " + caso);
        P.Estrada.CurvaDescargaOriginal =
            curvaOriginal && P.Estrada.TipoCanal.Valor == CANAL_TRAPEZOIDAL;
    }
    THidrogramasPlanos Planos(bool areaExterna = true) {
        return CalcularHidrogramasPlanos(P, P.Estrada.PeriodoRetornoEspacamento(),
                                         areaExterna && P.Estrada.IndSecao == 1);
    }
};

TResultadoDescida Descida(const TProjeto& p, const THidrogramasPlanos& planos,
                          const std::vector<TPecaCanal>& pecas, double fatorTensao = 1.0) {
    TResultadoDescida r;
    EXPECT_TRUE(CalcularDescida(p, planos, pecas, TPedidoCanal::PerdasEHidrograma, nullptr, r,
                                fatorTensao));
    return r;
}

// Igualdade exata das linhas [0, n) das duas tabelas.
void LinhasIguais(const std::vector<TLinhaSecao>& a, const std::vector<TLinhaSecao>& b,
                  std::size_t n) {
    ASSERT_GE(a.size(), n);
    ASSERT_GE(b.size(), n);
    for (std::size_t k = 0; k < n; ++k) {
        SCOPED_TRACE("seção " + std::to_string(k + 1));
        EXPECT_EQ(a[k].Secao, b[k].Secao);
        EXPECT_EQ(a[k].Lamina, b[k].Lamina);
        EXPECT_EQ(a[k].Vazao, b[k].Vazao);
        EXPECT_EQ(a[k].Tensao, b[k].Tensao);
        EXPECT_EQ(a[k].Perda, b[k].Perda);
    }
}

double ErroBalanco(const TBalancoCanal& b) {
    return std::fabs(b.ErroPct());
}

} // namespace

// Uma peça com o comprimento e a declividade do projeto é o cálculo do espaçamento, bit a bit:
// as linhas, a tolerável, o balanço e, no período de retorno da bacia, o hidrograma de projeto.
TEST(CanalDescida, UmaPecaEhOCalculoDoEspacamento) {
    for (const char* caso : CASOS) {
        SCOPED_TRACE(caso);
        TProjetoLido lido(caso);
        TProjeto& p = lido.P;
        const int comprimento = p.Estrada.Comprimento();
        const TResultadoCalculo calculo = ExecutarCalculo(p, comprimento, nullptr, false);
        ASSERT_EQ(calculo.Situacao, TResultadoCalculo::Concluido);

        const THidrogramasPlanos planos = lido.Planos();
        const std::vector<TPecaCanal> pecas{{comprimento, p.Estrada.Sc, true}};
        const TResultadoDescida d = Descida(p, planos, pecas);
        ASSERT_EQ(d.Secoes.size(), calculo.Canal.Secoes.size());
        LinhasIguais(d.Secoes, calculo.Canal.Secoes, d.Secoes.size());
        EXPECT_EQ(d.PerdaToleravel, calculo.Canal.PerdaToleravel);
        EXPECT_EQ(d.Balanco.Entrada, calculo.Canal.Balanco.Entrada);
        EXPECT_EQ(d.Balanco.Saida, calculo.Canal.Balanco.Saida);
        EXPECT_EQ(d.Balanco.Infiltracao, calculo.Canal.Balanco.Infiltracao);
        EXPECT_EQ(d.Balanco.Armazenado, calculo.Canal.Balanco.Armazenado);
        // A mesma declividade em várias peças é o mesmo canal.
        if (comprimento >= 3) {
            const double s = p.Estrada.Sc;
            const TResultadoDescida partido =
                Descida(p, planos,
                        {{1, s, true},
                         {comprimento / 2, s, true},
                         {comprimento - 1 - comprimento / 2, s, true}});
            LinhasIguais(partido.Secoes, calculo.Canal.Secoes, calculo.Canal.Secoes.size());
        }

        if (!calculo.Bacia) continue;
        const THidrogramasPlanos dim =
            CalcularHidrogramasPlanos(p, p.Estrada.TrDim, p.Estrada.IndSecao == 1);
        TResultadoDescida projeto;
        ASSERT_TRUE(CalcularDescida(p, dim, {{calculo.Bacia->Espacamento, p.Estrada.Sc, true}},
                                    TPedidoCanal::Hidrograma, nullptr, projeto));
        EXPECT_TRUE(projeto.Secoes.empty());
        const auto& esperado = calculo.Bacia->HidrogramaProjeto.Pontos;
        ASSERT_EQ(projeto.Saida.Pontos.size(), esperado.size());
        for (std::size_t k = 0; k < esperado.size(); ++k) {
            EXPECT_EQ(projeto.Saida.Pontos[k].Tempo, esperado[k].Tempo) << k;
            EXPECT_EQ(projeto.Saida.Pontos[k].Vazao, esperado[k].Vazao) << k;
        }
    }
}

// Duas declividades numa descida, nos dois sentidos, no triângulo e no trapézio de Manning. O
// trecho de cima não vê o de baixo; a vazão de pico passa inteira pela mudança de α; o trecho
// suave perde menos que o canal íngreme à mesma distância e o íngreme mais que o suave; a
// água fecha o balanço como no canal de uma declividade.
TEST(CanalDescida, DeclividadeQueMudaNoMeioDoCanal) {
    const struct {
        const char* Caso;
        int Metros; // de cada peça
    } casos[] = {{"c03_equiv_200m", 100}, {"c02_trap_secao3_50m", 25}};
    const double ingreme = 0.08, suave = 0.01;
    for (const auto& c : casos) {
        TProjetoLido lido(c.Caso, false);
        const TProjeto& p = lido.P;
        const THidrogramasPlanos planos = lido.Planos();
        const std::size_t m = std::size_t(c.Metros);
        for (const bool primeiroIngreme : {true, false}) {
            SCOPED_TRACE(std::string(c.Caso) +
                         (primeiroIngreme ? " íngreme-suave" : " suave-íngreme"));
            const double s1 = primeiroIngreme ? ingreme : suave,
                         s2 = primeiroIngreme ? suave : ingreme;
            const TResultadoDescida duas =
                Descida(p, planos, {{c.Metros, s1, true}, {c.Metros, s2, true}});
            const TResultadoDescida so1 = Descida(p, planos, {{2 * c.Metros, s1, true}});
            const TResultadoDescida so2 = Descida(p, planos, {{2 * c.Metros, s2, true}});
            const TResultadoDescida cima = Descida(p, planos, {{c.Metros, s1, true}});
            ASSERT_EQ(duas.Secoes.size(), 2 * m);

            // O trecho de cima é o canal só dele, exatamente.
            LinhasIguais(duas.Secoes, cima.Secoes, m);
            LinhasIguais(duas.Secoes, so1.Secoes, m);

            // A vazão de pico cresce pela mudança como nos metros vizinhos (Q = α·F(A) passa
            // inteira; só a contribuição de um metro se soma).
            const auto& sec = duas.Secoes;
            const double passoMudanca = sec[m].Vazao - sec[m - 1].Vazao;
            const double passoAcima = sec[m - 1].Vazao - sec[m - 2].Vazao;
            const double passoAbaixo = sec[m + 1].Vazao - sec[m].Vazao;
            EXPECT_GT(passoMudanca, 0);
            EXPECT_LT(std::fabs(passoMudanca - passoAcima), 0.05 * passoAcima + 1e-9);
            EXPECT_LT(std::fabs(passoMudanca - passoAbaixo), 0.05 * passoAbaixo + 1e-9);

            // Abaixo da mudança a tensão e a perda seguem a declividade do nó: menores que as
            // do canal inteiro íngreme no trecho suave, maiores que as do canal inteiro suave no
            // íngreme; a lâmina, o contrário. A vazão é quase a do canal inteiro com a
            // declividade de baixo (a mesma água, chegando em outro tempo).
            for (std::size_t k = m + 1; k < 2 * m; ++k) {
                SCOPED_TRACE("seção " + std::to_string(k + 1));
                const TLinhaSecao &l = sec[k], &deCima = so1.Secoes[k];
                EXPECT_EQ(l.Perda < deCima.Perda, primeiroIngreme);
                EXPECT_EQ(l.Tensao < deCima.Tensao, primeiroIngreme);
                EXPECT_EQ(l.Lamina > deCima.Lamina, primeiroIngreme);
                EXPECT_NEAR(l.Vazao, so2.Secoes[k].Vazao, 0.05 * l.Vazao);
            }

            const double erroUniforme =
                std::max(ErroBalanco(so1.Balanco), ErroBalanco(so2.Balanco));
            EXPECT_LT(ErroBalanco(duas.Balanco), std::max(1e-6, 2 * erroUniforme));
            EXPECT_LT(ErroBalanco(duas.Balanco), 1.0);
        }
    }
}

// A área externa só numa parte do canal (o corte): o trecho sem ela é o canal só do leito, e
// abaixo do corte passa mais água, que o balanço conta.
TEST(CanalDescida, AreaExternaSoEmParteDoCanal) {
    TProjetoLido lido("c03_equiv_200m");
    const TProjeto& p = lido.P;
    const double s = p.Estrada.Sc;
    const THidrogramasPlanos planos = lido.Planos();
    ASSERT_GT(planos.Talude.NumPontos(), 0u);
    const TResultadoDescida soLeito = Descida(p, planos, {{200, s, false}});
    const TResultadoDescida corteAbaixo = Descida(p, planos, {{100, s, false}, {100, s, true}});
    const TResultadoDescida todoEmCorte = Descida(p, planos, {{200, s, true}});

    // Sem a área externa nos planos, a peça em corte recebe só o leito.
    const THidrogramasPlanos semTalude = lido.Planos(false);
    LinhasIguais(Descida(p, semTalude, {{200, s, true}}).Secoes, soLeito.Secoes, 200);

    LinhasIguais(corteAbaixo.Secoes, soLeito.Secoes, 100);
    for (std::size_t k = 101; k < 200; ++k) {
        EXPECT_GT(corteAbaixo.Secoes[k].Vazao, soLeito.Secoes[k].Vazao) << k;
        EXPECT_LT(corteAbaixo.Secoes[k].Vazao, todoEmCorte.Secoes[k].Vazao) << k;
    }
    EXPECT_GT(corteAbaixo.Balanco.Entrada, soLeito.Balanco.Entrada);
    EXPECT_LT(corteAbaixo.Balanco.Entrada, todoEmCorte.Balanco.Entrada);
    for (const TResultadoDescida* r : {&soLeito, &corteAbaixo, &todoEmCorte})
        EXPECT_LT(ErroBalanco(r->Balanco), 1.0);
    // A entrada é a de 100 m de área externa a mais que o leito só, na mesma proporção.
    EXPECT_NEAR(corteAbaixo.Balanco.Entrada - soLeito.Balanco.Entrada,
                (todoEmCorte.Balanco.Entrada - soLeito.Balanco.Entrada) / 2,
                0.02 * (todoEmCorte.Balanco.Entrada - soLeito.Balanco.Entrada));
}

// Muitas peças de declividades alternadas (uma descida de perfil irregular) fecham o balanço
// como o canal de uma declividade, no triângulo e no trapézio.
TEST(CanalDescida, BalancoFechaComDeclividadeQueVariaANoANo) {
    for (const char* caso : {"c03_equiv_200m", "c02_trap_secao3_50m"}) {
        SCOPED_TRACE(caso);
        TProjetoLido lido(caso, false);
        const THidrogramasPlanos planos = lido.Planos();
        std::vector<TPecaCanal> pecas;
        int comprimento = 0;
        for (int k = 0; k < 40; ++k) {
            pecas.push_back({1 + k % 7, 0.005 + 0.01 * ((k * 7) % 11), k % 3 != 0});
            comprimento += pecas.back().Comprimento;
        }
        const TResultadoDescida r = Descida(lido.P, planos, pecas);
        const TResultadoDescida uniforme = Descida(lido.P, planos, {{comprimento, 0.03, true}});
        // O esquema de duas formas fecha a menos de centésimos por cento (a vazão que não
        // passasse inteira pela mudança de α daria dezenas por cento).
        EXPECT_LT(ErroBalanco(uniforme.Balanco), 0.1);
        EXPECT_LT(ErroBalanco(r.Balanco), 0.1);
        EXPECT_GT(r.Balanco.Saida, 0);
    }
}

// Só as perdas: a propagação para depois que nenhum nó pode mais erodir, e cada seção tem a
// mesma lâmina, vazão, tensão e perda, bit a bit, também com a perda que sobe e desce (c13) e
// com declividades que mudam ao longo do canal.
TEST(CanalDescida, SoAsPerdasParaAntesComAsMesmasPerdas) {
    int pararamAntes = 0;
    for (const char* caso : CASOS) {
        SCOPED_TRACE(caso);
        TProjetoLido lido(caso);
        const THidrogramasPlanos planos = lido.Planos();
        const int comprimento = lido.P.Estrada.Comprimento();
        std::vector<TPecaCanal> variadas;
        for (int k = 0, resta = comprimento; resta > 0; ++k) {
            variadas.push_back({std::min(resta, 1 + k % 9), 0.01 + 0.02 * (k % 4), k % 3 != 0});
            resta -= variadas.back().Comprimento;
        }
        for (const auto& pecas :
             {std::vector<TPecaCanal>{{comprimento, lido.P.Estrada.Sc, true}}, variadas}) {
            const TResultadoDescida inteira = Descida(lido.P, planos, pecas);
            TResultadoDescida soPerdas;
            ASSERT_TRUE(
                CalcularDescida(lido.P, planos, pecas, TPedidoCanal::SoPerdas, nullptr, soPerdas));
            ASSERT_EQ(soPerdas.Secoes.size(), inteira.Secoes.size());
            LinhasIguais(soPerdas.Secoes, inteira.Secoes, inteira.Secoes.size());
            EXPECT_LE(soPerdas.Saida.NumPontos(), inteira.Saida.NumPontos());
            pararamAntes += soPerdas.Saida.NumPontos() < inteira.Saida.NumPontos();
        }
    }
    EXPECT_GT(pararamAntes, 7);
}

// A tensão efetiva multiplica γS só na tensão que erode: as lâminas, as vazões e a tensão
// mostrada ficam; a perda cai com o fator e some com ele em zero.
TEST(CanalDescida, FatorDaTensaoEfetivaSoNaPerda) {
    TProjetoLido lido("c03_equiv_200m");
    const THidrogramasPlanos planos = lido.Planos();
    const std::vector<TPecaCanal> pecas{{120, 0.04, true}, {80, 0.015, false}};
    const TResultadoDescida cheio = Descida(lido.P, planos, pecas);
    const TResultadoDescida metade = Descida(lido.P, planos, pecas, 0.5);
    const TResultadoDescida nada = Descida(lido.P, planos, pecas, 0);
    ASSERT_EQ(cheio.Secoes.size(), 200u);
    double perdaCheio = 0;
    for (std::size_t k = 0; k < cheio.Secoes.size(); ++k) {
        EXPECT_EQ(metade.Secoes[k].Lamina, cheio.Secoes[k].Lamina);
        EXPECT_EQ(metade.Secoes[k].Vazao, cheio.Secoes[k].Vazao);
        EXPECT_EQ(metade.Secoes[k].Tensao, cheio.Secoes[k].Tensao);
        EXPECT_LE(metade.Secoes[k].Perda, cheio.Secoes[k].Perda);
        EXPECT_EQ(nada.Secoes[k].Perda, 0);
        perdaCheio += cheio.Secoes[k].Perda;
    }
    EXPECT_GT(perdaCheio, 0);
}

// Peças que não formam um canal: erro que diz qual peça e porquê, antes de calcular.
TEST(CanalDescida, PecasInvalidasSaoRecusadas) {
    TProjetoLido lido("c03_equiv_200m");
    const THidrogramasPlanos planos = lido.Planos();
    const struct {
        std::vector<TPecaCanal> Pecas;
        const char* Mensagem;
    } casos[] = {
        {{}, "O canal não tem peças: não há o que calcular."},
        {{{10, 0.02, true}, {0, 0.02, true}},
         "A peça 2 do canal tem 0 m: cada peça tem ao menos 1 m."},
        {{{-5, 0.02, true}}, "A peça 1 do canal tem -5 m: cada peça tem ao menos 1 m."},
        {{{10, 0, true}},
         "A peça 1 do canal tem declividade 0 m/m: a declividade deve ser maior que 0 e no "
         "máximo 1 m/m."},
        {{{10, 0.02, true}, {3, -0.01, false}},
         "A peça 2 do canal tem declividade -0.01 m/m: a declividade deve ser maior que 0 e no "
         "máximo 1 m/m."},
        {{{10, 1.5, true}},
         "A peça 1 do canal tem declividade 1.5 m/m: a declividade deve ser maior que 0 e no "
         "máximo 1 m/m."},
        {{{10, std::nan(""), true}},
         "A peça 1 do canal tem declividade indefinida ou infinita: a declividade deve ser maior "
         "que 0 e no máximo 1 m/m."},
        {{{10, INFINITY, true}},
         "A peça 1 do canal tem declividade indefinida ou infinita: a declividade deve ser maior "
         "que 0 e no máximo 1 m/m."},
        {{{60000, 0.02, true}, {40001, 0.02, true}},
         "O canal das peças passa do limite de 100000 m de comprimento."},
    };
    for (const auto& c : casos) {
        TResultadoDescida r;
        try {
            CalcularDescida(lido.P, planos, c.Pecas, TPedidoCanal::PerdasEHidrograma, nullptr, r);
            ADD_FAILURE() << "aceitou: " << c.Mensagem;
        } catch (const EMorvendo& e) {
            EXPECT_STREQ(e.what(), c.Mensagem);
        }
    }
    // O separador decimal do acompanhamento vale na mensagem.
    struct TVirgula : IAcompanhamento {
        char SeparadorDecimal() const override { return ','; }
    } virgula;
    TResultadoDescida r;
    try {
        CalcularDescida(lido.P, planos, {{5, 0.02, true}, {5, 2.5, true}},
                        TPedidoCanal::PerdasEHidrograma, &virgula, r);
        ADD_FAILURE() << "aceitou 2,5 m/m";
    } catch (const EMorvendo& e) {
        EXPECT_NE(std::string(e.what()).find("declividade 2,5 m/m"), std::string::npos) << e.what();
    }
}

// Várias linhas de execução com o mesmo projeto e os mesmos planos dão o resultado de uma só.
TEST(CanalDescida, ChamadasSimultaneasDaoOMesmoResultado) {
    TProjetoLido lido("c03_equiv_200m");
    const THidrogramasPlanos planos = lido.Planos();
    const std::vector<TPecaCanal> pecas{{70, 0.06, true}, {60, 0.02, false}, {70, 0.035, true}};
    const TResultadoDescida esperado = Descida(lido.P, planos, pecas);
    std::vector<TResultadoDescida> r(4);
    std::vector<std::thread> linhas;
    for (auto& ri : r)
        linhas.emplace_back([&] {
            CalcularDescida(lido.P, planos, pecas, TPedidoCanal::PerdasEHidrograma, nullptr, ri);
        });
    for (auto& l : linhas)
        l.join();
    for (const auto& ri : r) {
        LinhasIguais(ri.Secoes, esperado.Secoes, esperado.Secoes.size());
        EXPECT_EQ(ri.Saida.Pontos.size(), esperado.Saida.Pontos.size());
    }
}
