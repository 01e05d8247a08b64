// As fórmulas dos revestimentos do canal: rugosidade e tensão efetiva da grama, da pedra e
// dos revestimentos rígidos, e a tensão admissível de cada um.
#include "engine/Revestimentos.h"

#include <algorithm>
#include <cmath>

#include "comum/EMorvendo.h"
#include "engine/PerdaSolo.h"
#include "engine/PropagacaoCanal.h"

namespace {

// Tensões admissíveis da grama bem estabelecida (HEC-15): 3,7; 2,1; 1,0; 0,6 e 0,35 lb/ft².
// Índices das curvas n–VR do Agricultural Handbook 667.
const TDadosClasseGrama CLASSES[CLASSES_GRAMA] = {
    {'A', "capim alto e denso, cerca de 90 cm", 10.0, 177},
    {'B', "capim alto, cerca de 60 cm", 7.64, 101},
    {'C', "capim médio, cerca de 20 cm", 5.60, 48},
    {'D', "grama baixa, roçada, cerca de 10 cm", 4.44, 29},
    {'E', "grama muito baixa ou rala, cerca de 4 cm", 2.88, 17},
};

constexpr double METRO_QUADRADO_POR_FT2 = 0.3048 * 0.3048;
// Acima do mínimo da curva (ln VR = 0,09543 / (2 · 0,01329), cerca de 36 ft²/s) a parábola
// voltaria a subir: vale o mínimo.
const double VR_MAXIMO_CURVA_FT2 = std::exp(0.09543 / (2 * 0.01329));

// Número de Reynolds do grão em que F* e SF passam de 0,047 e 1,0 a 0,15 e 1,5.
constexpr double REYNOLDS_LISO = 4e4, REYNOLDS_RUGOSO = 2e5;
constexpr double SHIELDS_LISO = 0.047, SHIELDS_RUGOSO = 0.15;
constexpr double SEGURANCA_LISO = 1.0, SEGURANCA_RUGOSO = 1.5;
constexpr double MASSA_ESPECIFICA_AGUA = 1000; // kg/m³

// Faixa da relação de Blodgett para o n do enrocamento.
constexpr double RELACAO_MINIMA_PEDRA = 1.5, RELACAO_MAXIMA_PEDRA = 185;

constexpr int PASSOS_PONTO_FIXO = 500;

double PesoEspecificoAgua() {
    return PESO_ESPECIFICO_AGUA_KGF / KGF_POR_NEWTON; // N/m³, o mesmo γ da tensão no leito
}

} // namespace

const TDadosClasseGrama& DadosClasseGrama(TClasseGrama classe) {
    return CLASSES[int(classe)];
}

const std::array<TClasseGrama, CLASSES_GRAMA>& ClassesGrama() {
    static const std::array<TClasseGrama, CLASSES_GRAMA> classes = {
        TClasseGrama::A, TClasseGrama::B, TClasseGrama::C, TClasseGrama::D, TClasseGrama::E};
    return classes;
}

double RugosidadeGrama(TClasseGrama classe, double vr) {
    const double ft2 = std::clamp(std::max(vr, VR_MINIMO_CURVA_GRAMA) / METRO_QUADRADO_POR_FT2, 0.0,
                                  VR_MAXIMO_CURVA_FT2);
    const double l = std::log(ft2);
    return std::exp(
        DadosClasseGrama(classe).IndiceCurva * (0.01329 * l * l - 0.09543 * l + 0.2971) - 4.16);
}

double FatorTensaoEfetivaGrama(double fatorCobertura, double rugosidadeSolo, double rugosidade) {
    const double razao = rugosidadeSolo / rugosidade;
    return (1 - fatorCobertura) * razao * razao;
}

TDimensionamentoPedra DimensionarPedra(double tensaoProjeto, double declividade,
                                       double massaEspecifica) {
    const double theta = std::atan(declividade);
    const double phi = ANGULO_REPOUSO_PEDRA * M_PI / 180;
    TDimensionamentoPedra r;
    r.FatorDeclividade = std::cos(theta) * (1 - std::tan(theta) / std::tan(phi));
    if (!(r.FatorDeclividade > 0))
        throw EMorvendo("A declividade do canal passa do ângulo de repouso da pedra (" +
                        std::to_string(int(ANGULO_REPOUSO_PEDRA)) +
                        "°): nenhum enrocamento fica parado nela.");
    if (!(massaEspecifica > 1))
        throw EMorvendo("A massa específica da pedra deve ser maior que a da água (1 g/cm³).");
    const double submersa = (massaEspecifica - 1) * PesoEspecificoAgua() * r.FatorDeclividade;
    auto coeficientes = [&](double d50, double& shields, double& seguranca) {
        const double reynolds =
            std::sqrt(tensaoProjeto / MASSA_ESPECIFICA_AGUA) * d50 / VISCOSIDADE_AGUA;
        const double t =
            std::clamp((reynolds - REYNOLDS_LISO) / (REYNOLDS_RUGOSO - REYNOLDS_LISO), 0.0, 1.0);
        shields = SHIELDS_LISO + t * (SHIELDS_RUGOSO - SHIELDS_LISO);
        seguranca = SEGURANCA_LISO + t * (SEGURANCA_RUGOSO - SEGURANCA_LISO);
    };
    // SF/F* diminui com o D50: a raiz de D − SF·τd/(F*·(γs − γ)·K) é única e fica entre os
    // valores das duas pontas.
    double lo = SEGURANCA_RUGOSO * tensaoProjeto / (SHIELDS_RUGOSO * submersa);
    double hi = SEGURANCA_LISO * tensaoProjeto / (SHIELDS_LISO * submersa);
    for (int k = 0; k < 200 && hi - lo > 1e-12 * hi; ++k) {
        const double meio = (lo + hi) / 2;
        double f, sf;
        coeficientes(meio, f, sf);
        if (meio < sf * tensaoProjeto / (f * submersa))
            lo = meio;
        else
            hi = meio;
    }
    r.D50 = (lo + hi) / 2;
    coeficientes(r.D50, r.Shields, r.FatorSeguranca);
    return r;
}

double RugosidadePedra(double profundidadeMedia, double d50) {
    const double relacao = d50 > 0 ? profundidadeMedia / d50 : RELACAO_MAXIMA_PEDRA;
    // Fora da faixa da relação, o n da ponta: a profundidade é a da ponta.
    const double r = std::clamp(relacao, RELACAO_MINIMA_PEDRA, RELACAO_MAXIMA_PEDRA);
    const double da = r == relacao ? profundidadeMedia : r * d50;
    return 0.319 * std::pow(da > 0 ? da : 0, 1.0 / 6.0) / (2.25 + 5.23 * std::log10(r));
}

TEscoamentoUniforme EscoamentoUniforme(const TCanalGradiente& canal, double rugosidade,
                                       double vazao, bool curvaOriginal) {
    TEscoamentoUniforme e;
    if (!(vazao > 0)) return e;
    TCanalGradiente c = canal;
    c.nc.Valor = rugosidade;
    const TCurvaDescarga curva = AjustarCurvaDescarga(c, curvaOriginal);
    e.Area = AreaPeloFluxo(curva, vazao / curva.Alfa);
    e.Profundidade = c.ProfundidadePelaArea(e.Area);
    e.Velocidade = vazao / e.Area;
    // Manning: V = R^(2/3)·√S / n.
    e.Raio = std::pow(rugosidade * e.Velocidade / std::sqrt(c.Sc), 1.5);
    return e;
}

double RugosidadeNoPontoFixo(const TCanalGradiente& canal, double vazao, bool curvaOriginal,
                             double n0,
                             const std::function<double(const TEscoamentoUniforme&)>& rugosidade) {
    // Sem vazão não há lâmina que mude o n.
    if (!(vazao > 0)) return n0;
    double n = n0;
    for (int k = 0; k < PASSOS_PONTO_FIXO; ++k) {
        const double novo = rugosidade(EscoamentoUniforme(canal, n, vazao, curvaOriginal));
        if (!std::isfinite(novo) || !(novo > 0)) break;
        if (std::fabs(novo - n) <= 1e-10 * novo) return novo;
        n = novo;
    }
    throw EMorvendo("Não houve convergência no cálculo da rugosidade do revestimento na lâmina "
                    "de pico.");
}
