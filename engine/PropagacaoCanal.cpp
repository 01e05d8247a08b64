#include "engine/PropagacaoCanal.h"

#include <cmath>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "engine/PerdaSolo.h"
#include "engine/uPontoFlutuante.h"
#include "engine/uPrecipitacao.h"
#include "engine/uRegressao.h"

namespace {

constexpr long PASSOS_MAXIMOS = 5000000;
// O tempo vai à interface a cada 23 passos: mostrar a cada passo custaria mais que a conta, e
// 23 × 0,2 min = 4,6 min faz o décimo mostrado mudar de uma vez para outra.
constexpr long PASSOS_ENTRE_TEMPOS = 23;
// mm/h × m → m²/s
constexpr double MM_H_PARA_M_S = 3600000;
// Ajuste da curva de descarga da seção trapezoidal: lâminas de 0,2 m em 0,2 m.
constexpr int LAMINAS_AJUSTE = 25;
constexpr double PASSO_LAMINA_AJUSTE = 0.2;

// Integral da tensão excedente de um nó, acumulada durante a propagação: a mesma soma, na
// mesma ordem, que a da lista das lâminas acima da crítica, sem guardar a lista.
struct TAcumuloNo {
    double UltimaLamina = 0;
    double Soma = 0;
    bool TemLamina = false;
};

} // namespace

TCurvaDescarga AjustarCurvaDescarga(const TCanalGradienteCustom& canal) {
    const double z = canal.Z.Valor, sm = canal.Sm.Valor, n = canal.nc.Valor, fb = canal.B();
    const double sc = canal.Sc;
    TCurvaDescarga c;
    switch (canal.TipoCanal.Valor) {
    case CANAL_TRAPEZOIDAL: {
        TRegressao reg(LAMINAS_AJUSTE);
        for (int k = 1; k <= LAMINAS_AJUSTE; ++k) {
            const double y = PASSO_LAMINA_AJUSTE * k;
            reg.X[k - 1] = y * (fb + z * y);
            reg.Y[k - 1] = fb + 2 * y * std::sqrt(z * z + 1);
        }
        double a, b;
        reg.AjustePotencia(a, b);
        c.Alfa = std::sqrt(sc) / (n * std::pow(a, 2.0 / 3.0));
        c.Expoente = 5.0 / 3.0 - (2.0 / 3.0) * b;
        break;
    }
    case CANAL_TRIANGULAR: {
        const double d = std::sqrt(2 / (1 / sm + z));
        const double p = d * (std::sqrt(z * z + 1) + std::sqrt(1 / (sm * sm) + 1));
        c.Alfa = std::sqrt(sc) / (n * std::pow(p, 2.0 / 3.0));
        c.Expoente = 4.0 / 3.0;
        break;
    }
    default:
        throw ENumerico("Erro. Seção transversal do canal não definida.");
    }
    return c;
}

bool PropagarCanal(const TCanalGradienteCustom& canal, const TDadosPropagacao& d,
                   const THidrograma& hEstrada, const THidrograma& hTalude, TPrecipitacao& chuva,
                   IAcompanhamento* acomp, TResultadoPropagacao& r) {
    const double alfa = d.Curva.Alfa, m = d.Curva.Expoente;
    // A saída leva a sua seção, para converter área em profundidade depois.
    const TCanal secao = canal;
    r.Saida = std::make_unique<THidrograma>(
        [secao](double area) { return secao.ProfundidadePelaArea(area); });
    r.Saida->Alfa = alfa;
    r.Saida->Expoente = m;
    r.Saida->Local = THidrograma::LocalCanal;
    THidrograma& S = *r.Saida;
    const double alfa1000 = alfa * 1000;

    const double Dx = PASSO_ESPACO_CANAL, Dt = PASSO_TEMPO_CANAL;
    const int comp = d.Comprimento > 0 ? d.Comprimento : 0;
    r.Nos.assign(std::size_t(comp) + 1, TSecaoCanal{});
    std::vector<TAcumuloNo> acumulos;
    if (d.AcumularTensao) acumulos.assign(std::size_t(comp) + 1, TAcumuloNo{});
    // As somas saem também quando o cálculo termina antes do fim.
    struct TSomas {
        const std::vector<TAcumuloNo>& De;
        std::vector<double>& Para;
        ~TSomas() {
            Para.resize(De.size());
            for (std::size_t i = 0; i < De.size(); ++i)
                Para[i] = De[i].Soma;
        }
    } somas{acumulos, r.SomasTensao};
    const long long nLongo = Arredondar(comp / Dx);
    const std::size_t n = nLongo > 0 ? std::size_t(nLongo) : 0;
    std::vector<double> Aant(n, 0.0), Anov(n, 0.0), Pant(n, 0.0), Pnov(n, 0.0);

    // Limites de tempo sobre os hidrogramas que têm pontos.
    bool temEntrada = false;
    double t = 0, tFim = 0;
    auto passoProprio = [](const THidrograma& h) {
        return h.NumPontos() >= 2 ? h.Pontos[1].Tempo - h.Pontos[0].Tempo : 0.0;
    };
    for (const THidrograma* h : {&hEstrada, &hTalude}) {
        if (h->NumPontos() == 0) continue;
        const double inicio = h->Pontos.front().Tempo, fim = h->Pontos.back().Tempo;
        if (!temEntrada || inicio < t) t = inicio;
        if (!temEntrada || fim > tFim) tFim = fim;
        temEntrada = true;
    }
    if (!temEntrada) {
        // Sem contribuição lateral: o canal fica seco.
        S.Adicionar(0, 0);
        return !(acomp && acomp->Cancelado());
    }
    const double dtEstrada = passoProprio(hEstrada), dtTalude = passoProprio(hTalude);
    // Um ponto de saída por passo enquanto há entrada, e folga para o esvaziamento.
    const double previstos = (tFim - t) / Dt * 1.25 + 16;
    S.Pontos.reserve(previstos < 1e6 ? std::size_t(previstos) : std::size_t(1000000));

    const double dts = 60 * Dt;
    const double c1 = alfa * dts / Dx;
    const double c2 = Dx / (alfa * dts);
    const double c3 = Dx / alfa;
    const double umSobreM = 1 / m;
    const double a1 = std::pow(Dx / (alfa * m * dts), 1 / (m - 1));
    const double aLim = 2 * a1;
    const bool triangular = canal.TipoCanal.Valor == CANAL_TRIANGULAR;
    const double z = canal.Z.Valor, FB = canal.B();
    const double kT = triangular ? std::sqrt(2 * (z + 1 / canal.Sm.Valor)) : 0;
    // Termos constantes da profundidade pela área (mesmas contas, na mesma ordem).
    const double somaParedes = triangular ? z + 1 / canal.Sm.Valor : 0;
    const double b2 = FB * FB, quatroZ = 4 * z, doisZ = 2 * z;
    auto profundidade = [&](double area) {
        return triangular ? std::sqrt(2 * area / somaParedes)
                          : (std::sqrt(b2 + quatroZ * area) - FB) / doisZ;
    };
    const bool acumular = d.AcumularTensao;
    const double profCritica = d.ProfundidadeCritica;
    const double gamaS = d.GamaS, duasTal = 2 * d.TalCritica;
    const double vibEstrada = d.VibEstrada;
    pontoflutuante::Verificar();

    const char sep = acomp ? acomp->SeparadorDecimal() : '.';
    long passo = 0;
    double X = 0;
    bool terminar = false;
    bool cancelado = false;
    do {
        if (++passo > PASSOS_MAXIMOS)
            throw EMorvendo(
                "O cálculo não terminou: o escoamento não cessa nas condições fornecidas.");
        const bool aposEntrada = t >= tFim;
        double q;
        if (!aposEntrada) {
            q = (hEstrada.Interpolar(t, dtEstrada) + hTalude.Interpolar(t, dtTalude)) / 1000;
            if (q > 0 && n > 0) {
                Pant[0] = q * c3;
                Aant[0] = std::pow(Pant[0], umSobreM);
            } else if (n > 0) {
                Pant[0] = Aant[0] = 0;
            }
        } else {
            q = 0;
            if (n > 0) Pant[0] = Aant[0] = 0;
        }
        if (acomp && passo % PASSOS_ENTRE_TEMPOS == 0) {
            // A interface pode sujar os sinalizadores de ponto flutuante; não são nossos.
            pontoflutuante::Verificar();
            acomp->MostrarTempoCanal(FormatFloat("0.0", t, sep));
            pontoflutuante::Limpar();
        }

        bool algumMolhado = false;
        if (n <= 1) {
            terminar = true;
        } else {
            // Depois do fim da entrada a água do canal infiltra no leito.
            const double w = aposEntrada ? chuva.IntensidadeInstantanea(t) - vibEstrada : 0;
            for (std::size_t i = 1; i < n; ++i) {
                if (Anov[i - 1] + Aant[i] > aLim) {
                    X = q * c3 + (Aant[i - 1] - Anov[i - 1]) * c2 + Pnov[i - 1];
                    X = X > 0 ? std::pow(X, umSobreM) : 0;
                } else {
                    X = q * dts + Aant[i] + (Pant[i - 1] - Pant[i]) * c1;
                }
                if (X <= 0) {
                    q = 0;
                } else if (aposEntrada) {
                    const double largura =
                        triangular ? std::sqrt(X) * kT : 2 * z * profundidade(X) + FB;
                    q = largura * w / MM_H_PARA_M_S;
                    if (w < 0) X = X - std::pow(-q / alfa, umSobreM);
                }
                if (X < 0 && i == n - 1) terminar = true;
                if (X > 0) {
                    Anov[i] = X;
                    const double p = std::pow(X, m);
                    Pnov[i] = p;
                    const double y = profundidade(X);
                    if (acumular && y >= profCritica) {
                        TAcumuloNo& ac = acumulos[i];
                        if (ac.TemLamina)
                            ac.Soma += TermoTensaoExcedente(ac.UltimaLamina, y, gamaS, duasTal);
                        ac.UltimaLamina = y;
                        ac.TemLamina = true;
                    }
                    TSecaoCanal& no = r.Nos[i];
                    if (p > no.AmMax) {
                        no.AmMax = p;
                        no.LaminaPico = no.LaminaTensao = y;
                    }
                    algumMolhado = true;
                } else {
                    Anov[i] = 0;
                    Pnov[i] = 0;
                }
            }
        }
        if (X >= 0) {
            S.Adicionar(t, n > 0 ? alfa1000 * Pnov[n - 1] : 0);
            t += Dt;
            // Troca em vez de cópia: o nó 0 de Anov/Pnov nunca recebe valor.
            std::swap(Aant, Anov);
            std::swap(Pant, Pnov);
            if (n > 0) Anov[0] = Pnov[0] = 0;
        }
        if (aposEntrada && !algumMolhado) terminar = true;
        pontoflutuante::Verificar();
        if (acomp) {
            acomp->ProcessarEventos();
            pontoflutuante::Limpar();
            if (acomp->Cancelado()) {
                cancelado = true;
                break;
            }
        }
    } while (!terminar);
    S.Adicionar(t, 0);
    return !cancelado;
}
