#include "idf/VerificacaoIdf.h"

#include "comum/Numeros.h"
#include "engine/EncostaCinematica.h"
#include "engine/Precipitacao.h"
#include "idf/AjusteIdf.h"
#include "idf/BancoEstacoes.h"
#include "idf/EstacoesUsuario.h"

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
    auto procurar = [&](const std::vector<TInfoEstacaoIdf>& tabela) -> const TInfoEstacaoIdf* {
        for (const auto& e : tabela)
            if ((chave.empty() || e.Chave == chave) && Igual(e.K, K) && Igual(e.A, a) &&
                Igual(e.B, b) && Igual(e.C, c))
                return &e;
        return nullptr;
    };
    if (const auto* e = procurar(InfoEstacoesIdf())) return e;
    if (!chave.empty() && chave != AutorEstacaoUsuario) return nullptr;
    // Lidas de novo a cada consulta: o arquivo muda quando o usuário edita as suas.
    // Uma lista por linha de execução: os estudos conferem os avisos em várias ao mesmo tempo.
    thread_local std::vector<TInfoEstacaoIdf> usuario;
    usuario = InfoEstacoesUsuario();
    return procurar(usuario);
}

std::string OrigemChuva(const std::string& autoria, std::int16_t indLocalidade,
                        const std::string& cidade, const std::string& estado,
                        const std::string& latitude, const std::string& longitude, double K,
                        double a, double b, double c) {
    if (!(K > 0)) return {};
    auto ponto = [&] {
        if (latitude.empty() || longitude.empty()) return std::string();
        return latitude + " S, " + longitude + " W";
    };
    auto emEstado = [&] { return estado.empty() ? std::string() : " (" + estado + ")"; };
    if (const TInfoEstacaoIdf* e = ProcurarInfoEstacao(autoria, K, a, b, c)) {
        std::string fonte = e->DoUsuario ? e->Fonte : e->Chave;
        if (const TReferencia* r = ProcurarReferencia(e->Chave)) fonte = r->Autores;
        return "Estação " + e->Estacao + " (" + e->Uf + ")" +
               (e->DoUsuario ? MarcaEstacaoUsuario : "") + "; fonte: " + fonte + ".";
    }
    if (autoria == AutorAjuste) return "Equação ajustada pelo usuário (Ajustar equação).";
    const bool comLugar = !cidade.empty() && cidade != "Não definida";
    if (autoria == AutorInterpolacao) {
        if (indLocalidade >= 0 && comLugar)
            return "Interpolada para a localidade " + cidade + emEstado() + ", " + ponto() +
                   ", pelo inverso da quinta potência da distância.";
        return "Interpolada no ponto " + ponto() + emEstado() +
               ", pelo inverso da quinta potência da distância.";
    }
    // Projeto reaberto (a origem não é gravada) ou parâmetros digitados.
    if (comLugar) return "Consulta em " + cidade + emEstado() + ", " + ponto() + ".";
    if (!ponto().empty()) return "Consulta no ponto " + ponto() + emEstado() + ".";
    return "Parâmetros digitados.";
}

void AplicarEstacoesUsuario(TBancoEstacoes& bd, const std::vector<TEstacaoUsuario>& lista) {
    std::vector<TEstacao> estacoes;
    std::vector<int> estados;
    for (const auto& e : lista) {
        estacoes.push_back(EstacaoDoBanco(e));
        estados.push_back(e.Estado);
    }
    bd.DefinirEstacoesUsuario(std::move(estacoes), estados);
}

std::optional<TConsultaPonto> RefazerConsulta(const std::string& pastaComuns,
                                              const std::string& latitude,
                                              const std::string& longitude, double K, double a,
                                              double b, double c) {
    if (latitude.empty() || longitude.empty() || !(K > 0)) return std::nullopt;
    try {
        TBancoEstacoes bd(pastaComuns);
        bd.CarregarEstacoes();
        if (!PastaDadosUsuario().empty()) {
            TEstacoesUsuario minhas(PastaDadosUsuario());
            minhas.Carregar();
            AplicarEstacoesUsuario(bd, minhas.Lista());
        }
        TConsultaPonto r = bd.Consultar(latitude, longitude, RaioInterpolacaoKm());
        // A janela entrega a interpolação com três casas; a estação, com todas.
        const double folga = r.Interpolada ? 0.0005 + 1e-9 : 0;
        auto igual = [&](double x, double y) {
            return std::fabs(x - y) <= folga + 1e-9 * std::fabs(y);
        };
        if (igual(K, r.Resultado.K) && igual(a, r.Resultado.A) && igual(b, r.Resultado.B) &&
            igual(c, r.Resultado.C))
            return r;
    } catch (const std::exception&) {
        // Sem banco, ponto ilegível ou sem estações no raio: nada a dizer das estações.
    }
    return std::nullopt;
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

namespace {

std::string TextoFaixa(double minimo, double maximo, const std::string& unidade) {
    auto numero = [](double v) { return FormatFloat("0.#", v, ','); };
    if (minimo > 0 && maximo > 0)
        return "de " + numero(minimo) + " a " + numero(maximo) + " " + unidade;
    if (maximo > 0) return "até " + numero(maximo) + " " + unidade;
    if (minimo > 0) return "a partir de " + numero(minimo) + " " + unidade;
    return "não informada pela fonte";
}

} // namespace

std::string TextoFaixaDuracoes(const TInfoEstacaoIdf& e) {
    return TextoFaixa(e.DuracaoMin, e.DuracaoMax, "min");
}

std::string TextoFaixaTr(const TInfoEstacaoIdf& e) {
    return TextoFaixa(e.TrMin, e.TrMax, "anos");
}

bool TrForaDaFaixa(const TInfoEstacaoIdf& e, double tr) {
    return (e.TrMin > 0 && tr < e.TrMin) || (e.TrMax > 0 && tr > e.TrMax);
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
