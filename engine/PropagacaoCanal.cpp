// O esquema de onda cinemática do canal (uma forma linear e outra não linear, escolhidas pelo
// número de Courant) e o ajuste da curva de descarga de cada seção.
#include "engine/PropagacaoCanal.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "engine/PerdaSolo.h"
#include "engine/PontoFlutuante.h"
#include "engine/Precipitacao.h"
#include "engine/Regressao.h"
#include "engine/Unidades.h"

namespace {

constexpr long PASSOS_MAXIMOS = 5000000;
// O tempo vai à interface a cada 23 passos: mostrar a cada passo custaria mais que a conta, e
// 23 × 0,2 min = 4,6 min faz o décimo mostrado mudar de uma vez para outra.
constexpr long PASSOS_ENTRE_TEMPOS = 23;
// Ajuste original da curva de descarga da seção trapezoidal: lâminas de 0,2 m em 0,2 m.
constexpr int LAMINAS_AJUSTE = 25;
constexpr double PASSO_LAMINA_AJUSTE = 0.2;
// Newton da área pela vazão na relação de Manning: passo relativo final e teto de passos.
constexpr double TOLERANCIA_PASSO_AREA = 1e-5;
constexpr int PASSOS_AREA = 100;

const char* const MSG_AREA_SEM_CONVERGENCIA =
    "Não houve convergência no cálculo da área molhada do canal trapezoidal pela vazão.";

// Expoente da curva de descarga do canal triangular.
constexpr double EXPOENTE_TRIANGULAR = 4.0 / 3.0;

// Curva de potência: F(A) = A^m.
struct TFormaPotencia {
    // A área é a inversa exata do fluxo: onde o esquema dá o fluxo, ele fica como veio.
    static constexpr bool AreaInversaExata = true;
    double M, UmSobreM;
    double Fluxo(double area) const { return std::pow(area, M); }
    double Area(double fluxo, double /*palpite*/) const { return std::pow(fluxo, UmSobreM); }
    // Área em que o número de Courant α·F'(A)·Δt/Δx vale 1.
    double AreaCourantUm(double alfa, double dx, double dts) const {
        return std::pow(dx / (alfa * M * dts), 1 / (M - 1));
    }
};

// O canal triangular: F(A) = A^(4/3), e a área pelo fluxo, v^(3/4), com duas raízes quadradas,
// muito mais baratas que a potência (a mesma conta a menos do último bit).
struct TFormaTriangular : TFormaPotencia {
    double Area(double fluxo, double /*palpite*/) const {
        return std::sqrt(fluxo * std::sqrt(fluxo));
    }
};

// Relação de Manning no trapézio: F(A) = A^(5/3)/P^(2/3) = A·(A/P)^(2/3).
struct TFormaManningTrapezio {
    // A área sai de um Newton com tolerância: o fluxo é recalculado dela.
    static constexpr bool AreaInversaExata = false;
    double B, Z, FatorParede, B2, QuatroZ, DoisZ;
    explicit TFormaManningTrapezio(const TCurvaDescarga& c)
        : B(c.Base), Z(c.Talude), FatorParede(2 * std::sqrt(c.Talude * c.Talude + 1)),
          B2(c.Base * c.Base), QuatroZ(4 * c.Talude), DoisZ(2 * c.Talude) {}
    double Profundidade(double area) const {
        return Z > 0 ? (std::sqrt(B2 + QuatroZ * area) - B) / DoisZ : area / B;
    }
    double Fluxo(double area) const {
        if (area <= 0) return 0;
        const double raio = area / (B + Profundidade(area) * FatorParede);
        return area * std::cbrt(raio * raio);
    }
    // F e dF/dA = F·(5/(3A) − (2/3)·(dP/dA)/P), com dP/dA = FatorParede / largura da
    // superfície; uma raiz quadrada e uma cúbica.
    void FluxoEDerivada(double area, double& fluxo, double& derivada) const {
        const double y = Profundidade(area);
        const double p = B + y * FatorParede;
        const double raio = area / p;
        const double fator = std::cbrt(raio * raio);
        fluxo = area * fator;
        derivada = fator * (5.0 / 3.0 - (2.0 / 3.0) * raio * FatorParede / (B + DoisZ * y));
    }
    double Derivada(double area) const {
        double f, d;
        FluxoEDerivada(area, f, d);
        return d;
    }
    // Área de um F dado. 'palpite' é uma área próxima (a do nó no passo anterior); sem ele, a
    // potência 5/3 com o perímetro do fundo. F é convexa e crescente: o Newton converge de
    // qualquer ponto positivo, e quadraticamente perto da raiz: depois de um passo abaixo de
    // 1e-5 da área o erro fica abaixo de 1e-10.
    double Area(double fluxo, double palpite) const {
        if (fluxo <= 0) return 0;
        const double fundo = B > 0 ? B : 1.0;
        double a = palpite > 0 ? palpite : std::pow(fluxo * std::cbrt(fundo * fundo), 0.6);
        for (int k = 0; k < PASSOS_AREA; ++k) {
            double f, d;
            FluxoEDerivada(a, f, d);
            const double passo = (f - fluxo) / d;
            double nova = a - passo;
            if (!(nova > 0)) nova = a / 2;
            if (std::fabs(nova - a) <= TOLERANCIA_PASSO_AREA * nova) return nova;
            a = nova;
        }
        throw ENumerico(MSG_AREA_SEM_CONVERGENCIA);
    }
    double AreaCourantUm(double alfa, double dx, double dts) const {
        const double celeridade = dx / dts;
        // A celeridade cresce com a área: bisseção no logaritmo da área.
        double lo = std::log(1e-16), hi = std::log(1e6);
        for (int k = 0; k < 200; ++k) {
            const double meio = (lo + hi) / 2;
            const double a = std::exp(meio);
            if (alfa * Derivada(a) < celeridade)
                lo = meio;
            else
                hi = meio;
        }
        return std::exp((lo + hi) / 2);
    }
};

} // namespace

TCurvaDescarga AjustarCurvaDescarga(const TCanalGradiente& canal, bool ajusteOriginal) {
    const double z = canal.Z.Valor, sm = canal.Sm.Valor, n = canal.nc.Valor, fb = canal.B();
    const double sc = canal.Sc;
    TCurvaDescarga c;
    switch (canal.TipoCanal.Valor) {
    case CANAL_TRAPEZOIDAL: {
        if (!ajusteOriginal) {
            c.Forma = TCurvaDescarga::ManningTrapezio;
            c.Alfa = std::sqrt(sc) / n;
            c.Base = fb;
            c.Talude = z;
            break;
        }
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
        c.Expoente = EXPOENTE_TRIANGULAR;
        break;
    }
    default:
        throw ENumerico("Erro. Seção transversal do canal não definida.");
    }
    return c;
}

double FluxoPelaArea(const TCurvaDescarga& c, double area) {
    if (c.Forma == TCurvaDescarga::ManningTrapezio) return TFormaManningTrapezio(c).Fluxo(area);
    return area > 0 ? std::pow(area, c.Expoente) : 0;
}

double AreaPeloFluxo(const TCurvaDescarga& c, double fluxo) {
    if (c.Forma == TCurvaDescarga::ManningTrapezio) return TFormaManningTrapezio(c).Area(fluxo, 0);
    return fluxo > 0 ? std::pow(fluxo, 1 / c.Expoente) : 0;
}

namespace {

// Nós 1..n-1 de um trecho na varredura, com as constantes do seu α. Razao é α do nó de montante
// sobre o do primeiro nó: exatamente 1 dentro de um trecho e no canal de uma declividade.
struct TSegmentoVarredura {
    std::size_t Inicio = 0, Fim = 0;
    double C1 = 0, C2 = 0, C3 = 0, ALim = 0;
    double Razao = 1.0;
    double GamaSEfetivo = 0;
    bool AreaExterna = true;
};

// Os trechos do canal, ou um só com a curva e o γS dos dados; confere que somam o canal.
std::vector<TTrechoPropagacao> TrechosDoCanal(const TDadosPropagacao& d, std::size_t n) {
    if (d.Trechos.empty()) return {{int(n), d.Curva.Alfa, d.GamaS, true}};
    std::size_t soma = 0;
    for (const TTrechoPropagacao& t : d.Trechos) {
        if (t.Nos < 1 || !(t.Alfa > 0) || !std::isfinite(t.Alfa))
            throw EMorvendo("Trecho do canal sem comprimento ou sem declividade.");
        soma += std::size_t(t.Nos);
    }
    if (soma != n) throw EMorvendo("Os trechos do canal não somam o seu comprimento.");
    return d.Trechos;
}

template <class TForma>
bool Propagar(const TCanalGradiente& canal, const TDadosPropagacao& d, const TForma& forma,
              const THidrograma& hEstrada, const THidrograma& hTalude, TPrecipitacao& chuva,
              IAcompanhamento* acomp, TResultadoPropagacao& r) {
    const double Dx = PASSO_ESPACO_CANAL, Dt = PASSO_TEMPO_CANAL;
    const int comp = d.Comprimento > 0 ? d.Comprimento : 0;
    const long long nLongo = Arredondar(comp / Dx);
    const std::size_t n = nLongo > 0 ? std::size_t(nLongo) : 0;
    const std::vector<TTrechoPropagacao> trechos = TrechosDoCanal(d, n);
    // A saída tem o α do último nó; o nó de montante, o do primeiro.
    const double alfa = n > 0 ? trechos.back().Alfa : d.Curva.Alfa;
    const double alfaMontante = n > 0 ? trechos.front().Alfa : d.Curva.Alfa;
    const bool montanteExterna = n > 0 ? trechos.front().AreaExterna : true;
    // A saída leva a sua seção, para converter área em profundidade depois.
    const TCanal secao = canal;
    const TCurvaDescarga curva = d.Curva;
    if (curva.Forma == TCurvaDescarga::Potencia) {
        r.Saida = std::make_unique<THidrograma>(
            [secao](double area) { return secao.ProfundidadePelaArea(area); });
        r.Saida->Expoente = curva.Expoente;
    } else {
        // Sem expoente único: a vazão/α (expoente 1) vai à área pela relação exata.
        r.Saida = std::make_unique<THidrograma>([secao, curva](double fluxo) {
            return secao.ProfundidadePelaArea(AreaPeloFluxo(curva, fluxo));
        });
        r.Saida->Expoente = 1;
    }
    r.Saida->Alfa = alfa;
    r.Saida->Local = THidrograma::LocalCanal;
    THidrograma& S = *r.Saida;
    const double alfa1000 = alfa * LITROS_POR_M3;
    TBalancoCanal& balanco = r.Balanco;
    balanco = TBalancoCanal{};

    r.Nos.assign(std::size_t(comp) + 1, TSecaoCanal{});
    // Integral do excesso de tensão de cada nó e o excesso no fim do passo anterior (o nó seco
    // tem lâmina 0).
    const bool acumular = d.AcumularTensao;
    r.SomasTensao.assign(acumular ? std::size_t(comp) + 1 : 0, 0.0);
    std::vector<double> excessoAnterior(acumular ? std::size_t(comp) + 1 : 0, -d.TalCritica);
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
    const bool pararSemExcesso = d.AcumularTensao && d.SoPerdas;
    // Depois deste tempo a entrada lateral só diminui (entre os pontos ela é linear); só a
    // parada sem excesso o usa.
    double tEntradaDecrescente = t;
    for (const THidrograma* h : {&hEstrada, &hTalude}) {
        const std::vector<TPontoHidrograma>& pontos = h->Pontos;
        if (!pararSemExcesso || pontos.empty()) continue;
        std::size_t k = pontos.size() - 1;
        while (k > 0 && !(pontos[k].Vazao > pontos[k - 1].Vazao))
            --k;
        tEntradaDecrescente = std::max(tEntradaDecrescente, pontos[k].Tempo);
    }
    // Um ponto de saída por passo enquanto há entrada, e folga para o esvaziamento.
    const double previstos = (tFim - t) / Dt * 1.25 + 16;
    S.Pontos.reserve(previstos < 1e6 ? std::size_t(previstos) : std::size_t(1000000));

    const double dts = SEGUNDOS_POR_MINUTO * Dt;
    const double c3Montante = Dx / alfaMontante;
    // Cada trecho com as constantes do seu α; o limite entre as duas formas do esquema é duas
    // vezes a área em que α·F'(A)·Δt/Δx = 1, calculado uma vez por α.
    std::vector<TSegmentoVarredura> segmentos;
    segmentos.reserve(trechos.size());
    double nosComExterna = 0, nosSoLeito = 0;
    {
        std::size_t inicio = 0;
        double alfaAnterior = alfaMontante;
        // Uma bisseção por α no trapézio de Manning: declividades que se repetem não a refazem.
        std::map<double, double> limites;
        for (const TTrechoPropagacao& tr : trechos) {
            const std::size_t fimTrecho = inicio + std::size_t(tr.Nos);
            const std::size_t primeiro = inicio > 0 ? inicio : 1;
            if (primeiro < fimTrecho) {
                TSegmentoVarredura g;
                const double a = tr.Alfa;
                g.Inicio = primeiro;
                g.Fim = fimTrecho;
                g.C1 = a * dts / Dx;
                g.C2 = Dx / (a * dts);
                g.C3 = Dx / a;
                auto limite = limites.find(a);
                if (limite == limites.end())
                    limite = limites.emplace(a, 2 * forma.AreaCourantUm(a, Dx, dts)).first;
                g.ALim = limite->second;
                // Sem a divisão quando o α não muda: 1 exato, também com dados que dariam 0/0.
                g.Razao = alfaAnterior == a ? 1.0 : alfaAnterior / a;
                g.GamaSEfetivo = tr.GamaS * d.FatorTensaoEfetiva;
                g.AreaExterna = tr.AreaExterna;
                (tr.AreaExterna ? nosComExterna : nosSoLeito) += double(fimTrecho - primeiro);
                segmentos.push_back(g);
            }
            alfaAnterior = tr.Alfa;
            inicio = fimTrecho;
        }
    }
    const bool triangular = canal.TipoCanal.Valor == CANAL_TRIANGULAR;
    // A base só existe no trapézio; no triângulo o valor que o arquivo guarda não entra em conta.
    const double z = canal.Z.Valor, FB = triangular ? 0 : canal.B();
    const double kT = triangular ? std::sqrt(2 * (z + 1 / canal.Sm.Valor)) : 0;
    // Termos constantes da profundidade pela área (mesmas contas, na mesma ordem).
    const double somaParedes = triangular ? z + 1 / canal.Sm.Valor : 0;
    const double b2 = FB * FB, quatroZ = 4 * z, doisZ = 2 * z;
    auto profundidade = [&](double area) {
        return triangular ? std::sqrt(2 * area / somaParedes)
                          : (std::sqrt(b2 + quatroZ * area) - FB) / doisZ;
    };
    // Largura da superfície da água, por onde o canal infiltra depois do fim da entrada.
    auto largura = [&](double area) {
        return triangular ? std::sqrt(area) * kT : 2 * z * profundidade(area) + FB;
    };
    const double talCritica = d.TalCritica;
    const double vibEstrada = d.VibEstrada;
    pontoflutuante::Verificar();

    const char sep = acomp ? acomp->SeparadorDecimal() : '.';
    long passo = 0;
    double X = 0;
    bool terminar = false;
    bool cancelado = false;
    // Depois de cada passo, os níveis mais novos estão em Aant (passo aceito) ou em Anov.
    bool novosEmAnov = false;
    do {
        if (++passo > PASSOS_MAXIMOS)
            throw EMorvendo(
                "O cálculo não terminou: o escoamento não cessa nas condições fornecidas.");
        const bool aposEntrada = t >= tFim;
        // Contribuição lateral por metro com a área externa e só com o leito (a soma com o
        // hidrograma vazio dá o mesmo número que o leito sozinho).
        double qExterna = 0, qLeito = 0;
        if (!aposEntrada) {
            const double leito = hEstrada.Interpolar(t, dtEstrada);
            qExterna = (leito + hTalude.Interpolar(t, dtTalude)) / LITROS_POR_M3;
            qLeito = leito / LITROS_POR_M3;
            const double q = montanteExterna ? qExterna : qLeito;
            if (q > 0 && n > 0) {
                Pant[0] = q * c3Montante;
                Aant[0] = forma.Area(Pant[0], Aant[0]);
            } else if (n > 0) {
                Pant[0] = Aant[0] = 0;
            }
        } else {
            if (n > 0) Pant[0] = Aant[0] = 0;
        }
        if (acomp && passo % PASSOS_ENTRE_TEMPOS == 0) {
            // A interface pode sujar os sinalizadores de ponto flutuante; não são nossos.
            pontoflutuante::Verificar();
            acomp->MostrarTempoCanal(FormatFloat("0.0", t, sep));
            pontoflutuante::Limpar();
        }

        bool algumMolhado = false;
        // Algum nó está acima da tensão crítica ou subiu neste passo.
        bool podeExceder = false;
        novosEmAnov = false;
        if (n <= 1) {
            terminar = true;
        } else {
            novosEmAnov = true;
            // Entrada: a lateral dos nós 1..n-1 e o que o nó de montante passa ao nó 1 (um
            // passo de vazão na forma no tempo; a sua área na forma ao longo do canal).
            if (qExterna > 0 && nosComExterna > 0)
                balanco.Entrada += qExterna * dts * Dx * nosComExterna;
            if (qLeito > 0 && nosSoLeito > 0) balanco.Entrada += qLeito * dts * Dx * nosSoLeito;
            const TSegmentoVarredura& g1 = segmentos.front();
            balanco.Entrada +=
                (Anov[0] + Aant[1] > g1.ALim ? Aant[0] - Anov[0] + Pnov[0] * g1.Razao * g1.C1
                                             : Pant[0] * g1.Razao * g1.C1) *
                Dx;
            // Depois do fim da entrada, cada nó molhado perde o que a sua superfície infiltra.
            const double w = aposEntrada ? chuva.IntensidadeInstantanea(t) - vibEstrada : 0;
            const bool infiltra = aposEntrada && w < 0;
            // Um nó que secou corta a contribuição lateral dos nós abaixo dele neste passo.
            bool lateralCortada = false;
            for (const TSegmentoVarredura& g : segmentos) {
                const double c1 = g.C1, c2 = g.C2, c3 = g.C3, aLim = g.ALim;
                const double gamaS = g.GamaSEfetivo;
                double q = lateralCortada ? 0 : g.AreaExterna ? qExterna : qLeito;
                // Só o primeiro nó do trecho recebe de um nó com outro α: Q = α·F(A) passa
                // inteira de um para o outro.
                double razao = g.Razao;
                for (std::size_t i = g.Inicio; i < g.Fim; ++i) {
                    if (infiltra) q = Aant[i] > 0 ? largura(Aant[i]) * w / MM_H_POR_M_S : 0;
                    double perda = infiltra ? -q * dts : 0;
                    // Fluxo F(A) já dado pela forma não linear do esquema (0 na forma linear).
                    double fluxoDoEsquema = 0;
                    if (Anov[i - 1] + Aant[i] > aLim) {
                        X = q * c3 + (Aant[i - 1] - Anov[i - 1]) * c2 + Pnov[i - 1] * razao;
                        fluxoDoEsquema = X;
                        X = X > 0 ? forma.Area(X, Aant[i]) : 0;
                    } else {
                        X = q * dts + Aant[i] + (Pant[i - 1] * razao - Pant[i]) * c1;
                        // A água que faltou não infiltrou.
                        if (X < 0) perda = perda + X > 0 ? perda + X : 0;
                    }
                    razao = 1.0;
                    balanco.Infiltracao += perda * Dx;
                    if (X <= 0) {
                        q = 0;
                        lateralCortada = true;
                    }
                    if (X < 0 && i == n - 1) terminar = true;
                    double y = 0;
                    if (X > 0) {
                        Anov[i] = X;
                        // Na potência, F(F⁻¹(v)) = v: uma potência a menos por nó e por passo.
                        const double p = TForma::AreaInversaExata && fluxoDoEsquema > 0
                                             ? fluxoDoEsquema
                                             : forma.Fluxo(X);
                        Pnov[i] = p;
                        y = profundidade(X);
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
                    if (acumular) {
                        const double excesso = gamaS * y - talCritica;
                        r.SomasTensao[i] += TermoExcessoTensao(excessoAnterior[i], excesso);
                        excessoAnterior[i] = excesso;
                        if (pararSemExcesso && (excesso >= 0 || Anov[i] > Aant[i]))
                            podeExceder = true;
                    }
                }
            }
        }
        if (X >= 0) {
            const double vazao = n > 0 ? alfa * Pnov[n - 1] : 0;
            S.Adicionar(t, n > 0 ? alfa1000 * Pnov[n - 1] : 0);
            balanco.Saida += vazao * dts;
            t += Dt;
            // Troca em vez de cópia: o nó 0 de Anov/Pnov nunca recebe valor.
            std::swap(Aant, Anov);
            std::swap(Pant, Pnov);
            if (n > 0) Anov[0] = Pnov[0] = 0;
            novosEmAnov = false;
            // Só as perdas: com a entrada diminuindo e todos os nós descendo abaixo da tensão
            // crítica, a onda cinemática não sobe mais, e os termos que faltam são zero.
            if (pararSemExcesso && !podeExceder && t > tEntradaDecrescente) terminar = true;
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
    const std::vector<double>& ultimos = novosEmAnov ? Anov : Aant;
    for (std::size_t i = 1; i < n; ++i)
        balanco.Armazenado += ultimos[i] * Dx;
    return !cancelado;
}

} // namespace

bool PropagarCanal(const TCanalGradiente& canal, const TDadosPropagacao& d,
                   const THidrograma& hEstrada, const THidrograma& hTalude, TPrecipitacao& chuva,
                   IAcompanhamento* acomp, TResultadoPropagacao& r) {
    if (d.Curva.Forma == TCurvaDescarga::ManningTrapezio)
        return Propagar(canal, d, TFormaManningTrapezio(d.Curva), hEstrada, hTalude, chuva, acomp,
                        r);
    const TFormaPotencia forma{d.Curva.Expoente, 1 / d.Curva.Expoente};
    if (d.Curva.Expoente == EXPOENTE_TRIANGULAR)
        return Propagar(canal, d, TFormaTriangular{forma}, hEstrada, hTalude, chuva, acomp, r);
    return Propagar(canal, d, forma, hEstrada, hTalude, chuva, acomp, r);
}
