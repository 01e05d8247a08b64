#include "geo/PerfilLinha.h"

#include <algorithm>
#include <string>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"

namespace {

double Distancia(const TVerticeUtm& a, const TVerticeUtm& b) {
    return std::hypot(b.E - a.E, b.N - a.N);
}

// Segmento que contém a posição: o índice do vértice inicial.
std::size_t Segmento(const std::vector<double>& posicoes, double posicao) {
    const auto it = std::upper_bound(posicoes.begin(), posicoes.end(), posicao);
    const std::size_t i = it == posicoes.begin() ? 0 : std::size_t(it - posicoes.begin()) - 1;
    return std::min(i, posicoes.size() - 2);
}

TAmostraLinha Interpolar(const TVerticeUtm& a, const TVerticeUtm& b, double sa, double sb,
                         double posicao) {
    const double t = sb > sa ? std::clamp((posicao - sa) / (sb - sa), 0.0, 1.0) : 0.0;
    return {posicao, a.E + t * (b.E - a.E), a.N + t * (b.N - a.N), a.Z + t * (b.Z - a.Z)};
}

void ConferirVolta(const std::vector<TVerticeUtm>& v, const std::vector<double>& s) {
    const double comprimento = s.back();
    for (std::size_t i = 1; i + 1 < v.size(); ++i) {
        const TAmostraLinha antes = PontoDaLinha(v, s, std::max(0.0, s[i] - ALCANCE_VOLTA));
        const TAmostraLinha depois =
            PontoDaLinha(v, s, std::min(comprimento, s[i] + ALCANCE_VOLTA));
        const double ax = v[i].E - antes.E, ay = v[i].N - antes.N;
        const double bx = depois.E - v[i].E, by = depois.N - v[i].N;
        const double na = std::hypot(ax, ay), nb = std::hypot(bx, by);
        if (na < 1e-6 || nb < 1e-6) continue;
        // Mais de 170° de mudança de rumo: a linha vai e volta pelo mesmo caminho.
        if ((ax * bx + ay * by) / (na * nb) < -0.985)
            throw EMorvendo("A linha da estrada volta sobre si mesma na " + LugarNaEstrada(s[i]) +
                            ": o traçado vai e volta pelo mesmo caminho. Confira a linha "
                            "(um retorno do GPS, por exemplo) e corte a parte repetida.");
    }
}

} // namespace

std::string LugarNaEstrada(double posicao) {
    return "estaca " + Estaca(posicao) + " (" + FormatFloat("0.0", posicao, ',') + " m)";
}

double FatorEscalaUtm(double leste, double latitude) {
    constexpr double k0 = 0.9996, a = 6378137.0, f = 1 / 298.257223563;
    constexpr double e2 = f * (2 - f);
    const double s = std::sin(latitude * M_PI / 180);
    const double w = 1 - e2 * s * s;
    const double r2 = a * a * (1 - e2) / (w * w); // raio médio de Gauss ao quadrado: M·N
    const double x = (leste - 500000.0) / k0;
    const double q = x * x / r2;
    return k0 * (1 + q / 2 + q * q / 24);
}

std::vector<double> PosicoesDaLinha(std::vector<TVerticeUtm>& vertices) {
    std::vector<TVerticeUtm> unicos;
    unicos.reserve(vertices.size());
    for (const TVerticeUtm& v : vertices) {
        if (!std::isfinite(v.E) || !std::isfinite(v.N) || !std::isfinite(v.Latitude) ||
            std::isinf(v.Z))
            throw EMorvendo("Uma coordenada da linha da estrada não é um número.");
        if (unicos.empty() || Distancia(unicos.back(), v) >= 1e-3) unicos.push_back(v);
    }
    vertices = std::move(unicos);
    if (vertices.size() < 2)
        throw EMorvendo("A linha da estrada tem um vértice só: são precisos pelo menos dois "
                        "pontos distintos.");
    std::vector<double> s(vertices.size(), 0.0);
    for (std::size_t i = 1; i < vertices.size(); ++i) {
        const TVerticeUtm& a = vertices[i - 1];
        const TVerticeUtm& b = vertices[i];
        const double k = FatorEscalaUtm((a.E + b.E) / 2, (a.Latitude + b.Latitude) / 2);
        s[i] = s[i - 1] + Distancia(a, b) / k;
        if (!(s[i] <= COMPRIMENTO_MAXIMO_ESTRADA))
            throw EMorvendo("A linha da estrada tem mais de " +
                            FormatFloat("#,##0", COMPRIMENTO_MAXIMO_ESTRADA / 1000, ',') +
                            " km: confira o sistema de coordenadas do arquivo.");
    }
    ConferirVolta(vertices, s);
    return s;
}

TAmostraLinha PontoDaLinha(const std::vector<TVerticeUtm>& vertices,
                           const std::vector<double>& posicoes, double posicao) {
    posicao = std::clamp(posicao, 0.0, posicoes.back());
    const std::size_t i = Segmento(posicoes, posicao);
    return Interpolar(vertices[i], vertices[i + 1], posicoes[i], posicoes[i + 1], posicao);
}

std::vector<TAmostraLinha> PedacoDaLinha(const std::vector<TVerticeUtm>& vertices,
                                         const std::vector<double>& posicoes, double de,
                                         double ate) {
    std::vector<TAmostraLinha> pedaco{PontoDaLinha(vertices, posicoes, de)};
    const TAmostraLinha fim = PontoDaLinha(vertices, posicoes, ate);
    for (std::size_t i = 0; i < vertices.size(); ++i)
        if (posicoes[i] > pedaco.front().Posicao && posicoes[i] < fim.Posicao)
            pedaco.push_back({posicoes[i], vertices[i].E, vertices[i].N, vertices[i].Z});
    pedaco.push_back(fim);
    return pedaco;
}

std::vector<TAmostraLinha> AmostrasACadaMetro(const std::vector<TVerticeUtm>& vertices,
                                              const std::vector<double>& posicoes) {
    const double comprimento = posicoes.back();
    const auto inteiros = std::size_t(std::floor(comprimento));
    std::vector<TAmostraLinha> amostras;
    amostras.reserve(inteiros + 2);
    std::size_t i = 0;
    auto acrescentar = [&](double s) {
        while (i + 2 < posicoes.size() && posicoes[i + 1] <= s)
            ++i;
        amostras.push_back(
            Interpolar(vertices[i], vertices[i + 1], posicoes[i], posicoes[i + 1], s));
    };
    for (std::size_t m = 0; m <= inteiros; ++m)
        acrescentar(double(m));
    if (comprimento - double(inteiros) > 1e-6) acrescentar(comprimento);
    return amostras;
}

std::vector<TPontoPerfil> SuavizarPerfil(const std::vector<TPontoPerfil>& perfil, double janela) {
    if (!(janela > 0) || perfil.size() < 3) return perfil;
    std::vector<double> soma(perfil.size() + 1, 0.0);
    for (std::size_t i = 0; i < perfil.size(); ++i)
        soma[i + 1] = soma[i] + perfil[i].Cota;
    const double inicio = perfil.front().Posicao, fim = perfil.back().Posicao;
    auto menor = [](const TPontoPerfil& p, double s) { return p.Posicao < s; };
    auto maior = [](double s, const TPontoPerfil& p) { return s < p.Posicao; };
    std::vector<TPontoPerfil> suave(perfil.size());
    for (std::size_t i = 0; i < perfil.size(); ++i) {
        const double s = perfil[i].Posicao;
        const double meia = std::min({janela / 2, s - inicio, fim - s}) + 1e-9;
        const auto a = std::lower_bound(perfil.begin(), perfil.end(), s - meia, menor);
        const auto b = std::upper_bound(perfil.begin(), perfil.end(), s + meia, maior);
        const auto ia = std::size_t(a - perfil.begin()), ib = std::size_t(b - perfil.begin());
        suave[i] = {s, (soma[ib] - soma[ia]) / double(ib - ia)};
    }
    return suave;
}

std::vector<TPontoPerfil> PerfilPorTrechoMinimo(const std::vector<TPontoPerfil>& suavizado,
                                                double trechoMinimo) {
    const std::size_t n = suavizado.size();
    if (n < 2) throw EMorvendo("O perfil precisa de pelo menos dois pontos.");
    auto pos = [&](std::size_t i) { return suavizado[i].Posicao; };
    const double fim = pos(n - 1);
    if (fim - pos(0) <= trechoMinimo) return {suavizado.front(), suavizado.back()};

    // Cristas e baixadas: onde a cota pára de subir e começa a descer, ou o contrário; num
    // patamar, o meio dele.
    std::vector<std::size_t> marcos{0};
    int sentidoAnterior = 0;
    std::size_t fimDaRampa = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double d = suavizado[i + 1].Cota - suavizado[i].Cota;
        const int sentido = (d > 0) - (d < 0);
        if (sentido == 0) continue;
        if (sentidoAnterior != 0 && sentido != sentidoAnterior) {
            const std::size_t extremo = (fimDaRampa + i) / 2;
            if (pos(extremo) - pos(marcos.back()) >= trechoMinimo &&
                fim - pos(extremo) >= trechoMinimo)
                marcos.push_back(extremo);
        }
        sentidoAnterior = sentido;
        fimDaRampa = i + 1;
    }
    marcos.push_back(n - 1);

    std::vector<TPontoPerfil> perfil{suavizado.front()};
    for (std::size_t m = 1; m < marcos.size(); ++m) {
        const double a = pos(marcos[m - 1]), b = pos(marcos[m]);
        const double partes = std::max(1.0, std::floor((b - a) / trechoMinimo));
        for (double k = 1; k < partes; ++k) {
            const double alvo = a + k * (b - a) / partes;
            const auto it =
                std::lower_bound(suavizado.begin() + std::ptrdiff_t(marcos[m - 1]),
                                 suavizado.begin() + std::ptrdiff_t(marcos[m]), alvo,
                                 [](const TPontoPerfil& p, double s) { return p.Posicao < s; });
            if (it->Posicao > perfil.back().Posicao && it->Posicao < b) perfil.push_back(*it);
        }
        perfil.push_back(suavizado[marcos[m]]);
    }
    return perfil;
}

TPerfilEstrada DerivarPerfil(std::vector<TPontoPerfil> bruto, const TOpcoesPerfil& opcoes) {
    ConferirOpcoesPerfil(opcoes);
    if (bruto.size() < 2) throw EMorvendo("O perfil precisa de pelo menos dois pontos.");
    for (std::size_t i = 0; i < bruto.size(); ++i) {
        if (!std::isfinite(bruto[i].Posicao) || (i > 0 && bruto[i].Posicao <= bruto[i - 1].Posicao))
            throw EMorvendo("As posições do perfil devem ser crescentes.");
        // Nenhum lugar da Terra fica fora desta faixa: é um valor de preenchimento ou lixo.
        if (!(std::abs(bruto[i].Cota) < 20000))
            throw EMorvendo(
                "A cota na " + LugarNaEstrada(bruto[i].Posicao) +
                (std::isfinite(bruto[i].Cota)
                     ? " (" + FormatFloat("0.0##", bruto[i].Cota, ',') + " m) não é uma altitude."
                     : std::string(" não é um número.")));
    }
    TPerfilEstrada r;
    r.Suavizado = SuavizarPerfil(bruto, opcoes.Janela);
    r.Perfil = PerfilPorTrechoMinimo(r.Suavizado, opcoes.TrechoMinimo);
    r.Bruto = std::move(bruto);
    return r;
}
