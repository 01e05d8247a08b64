#include "idf/VerificacaoIdf.h"

#include "comum/Numeros.h"
#include "engine/uEncostaCinematica.h"
#include "engine/uPrecipitacao.h"

#include <algorithm>
#include <cmath>

namespace {

bool Igual(double x, double y) {
    return std::fabs(x - y) <= 1e-9 * std::max(std::fabs(x), std::fabs(y));
}

std::string Minutos(double v) {
    return FormatFloat("0.#", v, ',') + " min";
}

} // namespace

const TInfoEstacaoIdf* ProcurarInfoEstacao(std::string_view chave, double K, double a, double b,
                                           double c) {
    for (const auto& e : InfoEstacoesIdf())
        if ((chave.empty() || e.Chave == chave) && Igual(e.K, K) && Igual(e.A, a) &&
            Igual(e.B, b) && Igual(e.C, c))
            return &e;
    return nullptr;
}

std::string TextoVerificacao(TVerificacaoIdf v) {
    switch (v) {
    case TVerificacaoIdf::Primaria:
        return "parâmetros lidos na própria publicação";
    case TVerificacaoIdf::Secundaria:
        return "parâmetros lidos em fonte secundária, que cita a publicação e confere a equação "
               "com os valores dela";
    case TVerificacaoIdf::Convertida:
        return "parâmetros ajustados pelo logaritmo da intensidade à equação publicada em outra "
               "forma";
    case TVerificacaoIdf::NaoInformada:
        break;
    }
    return "verificação não informada";
}

std::string TextoFaixaDuracoes(const TInfoEstacaoIdf& e) {
    if (e.DuracaoMin > 0 && e.DuracaoMax > 0)
        return "de " + FormatFloat("0.#", e.DuracaoMin, ',') + " a " + Minutos(e.DuracaoMax);
    if (e.DuracaoMax > 0) return "até " + Minutos(e.DuracaoMax);
    if (e.DuracaoMin > 0) return "a partir de " + Minutos(e.DuracaoMin);
    return "não informada pela fonte";
}

std::vector<double> DuracoesChuvaProjeto(double K, double a, double b, double c, double tr,
                                         const std::vector<double>& infiltracoes) {
    std::vector<double> r;
    if (!(K > 0 && a >= 0 && b > 0 && c > 0 && tr > 0)) return r;
    TPrecipitacaoExponencialNegativa chuva;
    chuva.Tr(tr);
    chuva.K(K);
    chuva.A(a);
    chuva.B(b);
    chuva.C(c);
    for (const double vib : infiltracoes) {
        // A intensidade instantânea é máxima no início; abaixo dela não chove além da
        // infiltração e a superfície não escoa.
        if (!(vib >= 0) || chuva.IntensidadeInstantanea(0) <= vib) continue;
        // O mesmo fim de escoamento que o cálculo da encosta usa.
        try {
            const double t = TempoFinalEscoamento(chuva, "2", vib);
            if (std::isfinite(t) && t > 0) r.push_back(t);
        } catch (const std::exception&) {
            // Sem convergência: a duração fica de fora do aviso, o cálculo dirá o erro.
        }
    }
    return r;
}

std::string AvisoFaixaDuracoes(const TInfoEstacaoIdf& e, const std::vector<double>& duracoes) {
    if (duracoes.empty() || (e.DuracaoMin <= 0 && e.DuracaoMax <= 0)) return {};
    const auto [menor, maior] = std::minmax_element(duracoes.begin(), duracoes.end());
    const bool curta = e.DuracaoMin > 0 && *menor < e.DuracaoMin;
    const bool longa = e.DuracaoMax > 0 && *maior > e.DuracaoMax;
    if (!curta && !longa) return {};
    const double fora = longa ? *maior : *menor;
    return "Atenção: a chuva de projeto dura " + Minutos(fora) + (longa ? ", mais" : ", menos") +
           " que a faixa de durações em que a equação desta "
           "estação vale (" +
           TextoFaixaDuracoes(e) + "); fora dela a intensidade é extrapolada.";
}
