#include "idf/AjusteIdf.h"

#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "comum/Numeros.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>

namespace {

// Limites dos campos da tabela: largos o bastante para qualquer tabela publicada, estreitos o
// bastante para pegar colunas trocadas ou unidades erradas.
constexpr double DuracaoMaxima = 10080; // uma semana, em minutos
constexpr double TrMinimo = 1, TrMaximo = 10000;
constexpr double IntensidadeMaxima = 5000; // mm/h

using TVetor4 = std::array<double, 4>;
using TMatriz4 = std::array<TVetor4, 4>;

// Parâmetros do ajuste: ln K, a, b, c.
struct TEstado {
    TVetor4 P;
    double Soma = 0; // soma dos quadrados dos resíduos
};

double SomaQuadrados(const std::vector<TPontoIdf>& pontos, const TVetor4& p) {
    double s = 0;
    for (const auto& q : pontos) {
        const double r = p[0] + p[1] * std::log(q.Tr) - p[3] * std::log(q.Duracao + p[2]) -
                         std::log(q.Intensidade);
        s += r * r;
    }
    return s;
}

// Sistema n×n por eliminação com pivô parcial; falso quando singular.
template <std::size_t N>
bool Resolver(std::array<std::array<double, N>, N> m, std::array<double, N> v,
              std::array<double, N>& x) {
    for (std::size_t k = 0; k < N; ++k) {
        std::size_t piv = k;
        for (std::size_t i = k + 1; i < N; ++i)
            if (std::fabs(m[i][k]) > std::fabs(m[piv][k])) piv = i;
        if (!(std::fabs(m[piv][k]) > 0)) return false;
        std::swap(m[k], m[piv]);
        std::swap(v[k], v[piv]);
        for (std::size_t i = k + 1; i < N; ++i) {
            const double f = m[i][k] / m[k][k];
            for (std::size_t j = k; j < N; ++j)
                m[i][j] -= f * m[k][j];
            v[i] -= f * v[k];
        }
    }
    for (std::size_t k = N; k-- > 0;) {
        double s = v[k];
        for (std::size_t j = k + 1; j < N; ++j)
            s -= m[k][j] * x[j];
        x[k] = s / m[k][k];
    }
    for (const double xi : x)
        if (!std::isfinite(xi)) return false;
    return true;
}

// Com b fixo, ln i = ln K + a·ln T − c·ln(t+b) é linear: mínimos quadrados diretos.
std::optional<TEstado> AjusteLinear(const std::vector<TPontoIdf>& pontos, double b) {
    std::array<std::array<double, 3>, 3> m{};
    std::array<double, 3> v{};
    for (const auto& q : pontos) {
        const std::array<double, 3> x = {1, std::log(q.Tr), -std::log(q.Duracao + b)};
        const double y = std::log(q.Intensidade);
        for (std::size_t i = 0; i < 3; ++i) {
            for (std::size_t j = 0; j < 3; ++j)
                m[i][j] += x[i] * x[j];
            v[i] += x[i] * y;
        }
    }
    std::array<double, 3> s{};
    if (!Resolver(m, v, s)) return std::nullopt;
    TEstado e{{s[0], s[1], b, s[2]}};
    e.Soma = SomaQuadrados(pontos, e.P);
    return e;
}

std::string Numero(double v) {
    return FloatToStr(v, ',');
}

} // namespace

double TParametrosIdf::Intensidade(double duracao, double tr) const {
    return K * std::pow(tr, A) / std::pow(duracao + B, C);
}

TResultadoAjusteIdf AjustarIdf(const std::vector<TPontoIdf>& pontos) {
    std::set<double> duracoes, trs;
    for (const auto& q : pontos) {
        if (!(q.Duracao > 0 && q.Tr > 0 && q.Intensidade > 0 && std::isfinite(q.Duracao) &&
              std::isfinite(q.Tr) && std::isfinite(q.Intensidade)))
            throw EMorvendo("A tabela tem duração, período de retorno ou intensidade que não é "
                            "um número positivo.");
        duracoes.insert(q.Duracao);
        trs.insert(q.Tr);
    }
    if (duracoes.size() < 3 || trs.size() < 2)
        throw EMorvendo("A tabela não determina a equação: são precisas pelo menos três durações "
                        "e dois períodos de retorno diferentes.");

    // Ponto de partida: o melhor b de uma varredura; b = 0 entra porque é o limite.
    std::optional<TEstado> melhor;
    for (const double b : {0.0,  0.5,  1.0,  2.0,  3.0,  5.0,  7.5,   10.0,  12.5,  15.0,
                           20.0, 25.0, 30.0, 40.0, 50.0, 70.0, 100.0, 150.0, 200.0, 300.0})
        if (const auto e = AjusteLinear(pontos, b); e && (!melhor || e->Soma < melhor->Soma))
            melhor = e;
    if (!melhor) throw EMorvendo("A tabela não determina a equação.");

    // Levenberg–Marquardt com o amortecimento na diagonal (escala própria de cada parâmetro).
    TEstado atual = *melhor;
    double lambda = 1e-3;
    int iteracoes = 0;
    for (; iteracoes < 500; ++iteracoes) {
        TMatriz4 jtj{};
        TVetor4 jtr{};
        const auto& p = atual.P;
        for (const auto& q : pontos) {
            const double tb = q.Duracao + p[2];
            const double r =
                p[0] + p[1] * std::log(q.Tr) - p[3] * std::log(tb) - std::log(q.Intensidade);
            const TVetor4 j = {1, std::log(q.Tr), -p[3] / tb, -std::log(tb)};
            for (std::size_t i = 0; i < 4; ++i) {
                for (std::size_t k = 0; k < 4; ++k)
                    jtj[i][k] += j[i] * j[k];
                jtr[i] -= j[i] * r;
            }
        }
        bool aceito = false;
        while (!aceito && lambda < 1e16) {
            TMatriz4 m = jtj;
            for (std::size_t i = 0; i < 4; ++i)
                m[i][i] += lambda * std::max(jtj[i][i], 1e-300);
            TVetor4 passo{};
            if (Resolver(m, jtr, passo)) {
                TEstado novo{{p[0] + passo[0], p[1] + passo[1], std::max(0.0, p[2] + passo[2]),
                              p[3] + passo[3]}};
                novo.Soma = SomaQuadrados(pontos, novo.P);
                if (std::isfinite(novo.Soma) && novo.Soma <= atual.Soma) {
                    double mudanca = 0;
                    for (std::size_t i = 0; i < 4; ++i)
                        mudanca = std::max(mudanca,
                                           std::fabs(novo.P[i] - p[i]) / (std::fabs(p[i]) + 1e-12));
                    const double ganho = atual.Soma - novo.Soma;
                    atual = novo;
                    lambda = std::max(lambda / 10, 1e-12);
                    aceito = true;
                    if (mudanca < 1e-13 || ganho <= 1e-15 * atual.Soma) {
                        lambda = 1e16; // convergiu
                    }
                    continue;
                }
            }
            lambda *= 10;
        }
        if (lambda >= 1e16) break;
    }

    TResultadoAjusteIdf r;
    r.Iteracoes = iteracoes;
    r.Parametros = {std::exp(atual.P[0]), atual.P[1], atual.P[2], atual.P[3]};
    double soma = 0;
    for (const auto& q : pontos) {
        const double i = r.Parametros.Intensidade(q.Duracao, q.Tr);
        const double e = i / q.Intensidade - 1;
        soma += e * e;
        if (std::fabs(e) > r.ErroMaximo || (r.PiorPonto.Duracao == 0)) {
            r.ErroMaximo = std::fabs(e);
            r.PiorPonto = q;
            r.IntensidadeAjustadaPior = i;
        }
    }
    r.ErroRms = std::sqrt(soma / double(pontos.size()));
    const auto& k = r.Parametros;
    if (!(std::isfinite(k.K) && k.K > 0 && std::isfinite(k.A) && std::isfinite(k.B) &&
          std::isfinite(k.C) && k.C > 0 && std::isfinite(r.ErroRms)))
        throw EMorvendo("O ajuste não chegou a uma equação válida para esta tabela.");
    return r;
}

double TEquacaoDuploLog::Intensidade(double duracao, double tr) const {
    const double y = std::log(std::log(tr / (tr - 1)));
    return 60 * (A * std::pow(duracao + B, C) + D * std::pow(duracao + E, F) * (G + H * y));
}

std::vector<TPontoIdf> AmostrarDuploLog(const TEquacaoDuploLog& eq) {
    for (const double v : {eq.A, eq.B, eq.C, eq.D, eq.E, eq.F, eq.G, eq.H})
        if (!std::isfinite(v)) throw EMorvendo("Os coeficientes da equação devem ser números.");
    if (!(eq.DuracaoMin > 0 && eq.DuracaoMax > eq.DuracaoMin && eq.DuracaoMax <= DuracaoMaxima))
        throw EMorvendo("A faixa de durações (min) deve ir de um valor maior que 0 a um valor "
                        "maior que ele, até " +
                        Numero(DuracaoMaxima) + " min.");
    // Durações das tabelas publicadas; as pontas da faixa entram sempre.
    std::set<double> ts = {eq.DuracaoMin, eq.DuracaoMax};
    for (const double t :
         {5, 10, 15, 20, 30, 45, 60, 90, 105, 120, 180, 240, 360, 480, 720, 1080, 1440})
        if (t >= eq.DuracaoMin && t <= eq.DuracaoMax) ts.insert(t);
    std::vector<TPontoIdf> pontos;
    for (const double t : ts)
        for (const double tr : {2, 5, 10, 15, 20, 25, 50, 100}) {
            const double i = eq.Intensidade(t, tr);
            if (!(std::isfinite(i) && i > 0))
                throw EMorvendo("A equação não dá intensidade positiva em t = " + Numero(t) +
                                " min, T = " + Numero(tr) + " anos.");
            pontos.push_back({t, tr, i});
        }
    return pontos;
}

namespace {

enum TCampo { CampoDuracao, CampoTr, CampoIntensidade };
constexpr const char* NomesCampos[] = {"duracao_min", "tr_anos", "intensidade_mm_h"};

std::string Aparar(std::string_view s) {
    const auto i = s.find_first_not_of(" \t\r");
    if (i == std::string_view::npos) return {};
    return std::string(s.substr(i, s.find_last_not_of(" \t\r") - i + 1));
}

std::string MinusculasAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

std::string Prefixo(std::size_t linha, TCampo campo) {
    return "Linha " + std::to_string(linha) + ", campo " + NomesCampos[campo] + ": ";
}

double LerCampo(const std::string& texto, char separador, std::size_t linha, TCampo campo) {
    std::optional<double> v = TentarTextoParaReal(texto, '.');
    // Com vírgula separando campos, a vírgula não pode ser decimal.
    if (!v && separador != ',') v = TentarTextoParaReal(texto, ',');
    static const char* const rotulos[] = {"a duração (min)", "o período de retorno (anos)",
                                          "a intensidade (mm/h)"};
    if (!v || !std::isfinite(*v))
        throw EMorvendo(Prefixo(linha, campo) + "\"" + texto + "\" não é um número; " +
                        rotulos[campo] + " deve ser um número.");
    struct TFaixa {
        double Min, Max;
        bool MinAberto;
        const char* Texto;
    };
    static const TFaixa faixas[] = {
        {0, DuracaoMaxima, true, "maior que 0 e no máximo 10080 min"},
        {TrMinimo, TrMaximo, false, "de 1 a 10000 anos"},
        {0, IntensidadeMaxima, true, "maior que 0 e no máximo 5000 mm/h"},
    };
    const TFaixa& f = faixas[campo];
    if ((f.MinAberto ? *v <= f.Min : *v < f.Min) || *v > f.Max)
        throw EMorvendo(Prefixo(linha, campo) + rotulos[campo] + " deve ser " + f.Texto +
                        " (lido: " + texto + ").");
    return *v;
}

} // namespace

std::vector<TPontoIdf> LerTabelaIdf(std::string_view texto) {
    if (texto.substr(0, 3) == "\xEF\xBB\xBF") texto.remove_prefix(3);
    std::vector<TPontoIdf> pontos;
    std::array<int, 3> ordem = {0, 1, 2}; // coluna de cada campo
    bool primeira = true;
    std::size_t numero = 0;
    while (!texto.empty()) {
        const auto fim = texto.find('\n');
        const std::string linha = Aparar(texto.substr(0, fim));
        texto.remove_prefix(fim == std::string_view::npos ? texto.size() : fim + 1);
        ++numero;
        if (linha.empty()) continue;
        const char sep = linha.find('\t') != std::string::npos  ? '\t'
                         : linha.find(';') != std::string::npos ? ';'
                                                                : ',';
        std::vector<std::string> campos;
        for (std::size_t i = 0;;) {
            const auto j = linha.find(sep, i);
            campos.push_back(Aparar(std::string_view(linha).substr(i, j - i)));
            if (j == std::string::npos) break;
            i = j + 1;
        }
        const bool cabecalho = primeira && !TentarTextoParaReal(campos[0], '.') &&
                               !TentarTextoParaReal(campos[0], ',');
        primeira = false;
        if (campos.size() != 3)
            throw EMorvendo("Linha " + std::to_string(numero) + ": são esperados 3 campos " +
                            "(duracao_min, tr_anos, intensidade_mm_h), há " +
                            std::to_string(campos.size()) + ".");
        if (cabecalho) {
            ordem = {-1, -1, -1};
            for (int c = 0; c < 3; ++c)
                for (int k = 0; k < 3; ++k)
                    if (MinusculasAscii(campos[std::size_t(c)]) == NomesCampos[k] && ordem[k] < 0)
                        ordem[std::size_t(k)] = c;
            for (int k = 0; k < 3; ++k)
                if (ordem[std::size_t(k)] < 0)
                    throw EMorvendo("Linha " + std::to_string(numero) +
                                    ": cabeçalho sem a coluna " + NomesCampos[k] +
                                    " (use duracao_min,tr_anos,intensidade_mm_h).");
            continue;
        }
        TPontoIdf p;
        p.Duracao = LerCampo(campos[std::size_t(ordem[0])], sep, numero, CampoDuracao);
        p.Tr = LerCampo(campos[std::size_t(ordem[1])], sep, numero, CampoTr);
        p.Intensidade = LerCampo(campos[std::size_t(ordem[2])], sep, numero, CampoIntensidade);
        pontos.push_back(p);
    }
    if (pontos.empty()) throw EMorvendo("A tabela não tem nenhuma linha de dados.");
    return pontos;
}

namespace {

std::string Fixo(double v, int casas) {
    char b[64];
    const auto r = std::to_chars(b, b + sizeof b, v, std::chars_format::fixed, casas);
    return std::string(b, r.ptr);
}

} // namespace

int AjustarIdfLinhaDeComando(const std::string& caminho, std::ostream& saida, std::ostream& erros) {
    std::string conteudo;
    try {
        conteudo = LerArquivoComum(caminho);
    } catch (const EMorvendo& e) {
        erros << e.what() << '\n';
        return 2;
    }
    try {
        const auto r = AjustarIdf(LerTabelaIdf(conteudo));
        const auto& p = r.Parametros;
        saida << "K=" << RealExato(p.K) << " a=" << RealExato(p.A) << " b=" << RealExato(p.B)
              << " c=" << RealExato(p.C) << '\n'
              << "RMS=" << Fixo(100 * r.ErroRms, 2) << "% erro_max=" << Fixo(100 * r.ErroMaximo, 2)
              << "% (t=" << RealExato(r.PiorPonto.Duracao)
              << " min, T=" << RealExato(r.PiorPonto.Tr) << " anos)\n";
        return 0;
    } catch (const EMorvendo& e) {
        erros << caminho << ": " << e.what() << '\n';
        return 1;
    }
}
