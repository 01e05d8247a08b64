#include "idf/AjusteIdf.h"

#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "comum/Numeros.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_min.h>
#include <gsl/gsl_multifit.h>
#include <gsl/gsl_multifit_nlinear.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <mutex>
#include <new>
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

std::string Numero(double v) {
    return FloatToStr(v, ',');
}

// O tratador de erros padrão da GSL aborta o programa; aqui cada erro volta como código.
void DesligarAbortoGsl() {
    static std::once_flag feito;
    std::call_once(feito, [] { gsl_set_error_handler_off(); });
}

template <class T, void (*Liberar)(T*)> struct TGsl {
    T* P;
    explicit TGsl(T* p) : P(p) {
        if (!P) throw std::bad_alloc();
    }
    ~TGsl() { Liberar(P); }
    TGsl(const TGsl&) = delete;
    TGsl& operator=(const TGsl&) = delete;
};
using TVetorGsl = TGsl<gsl_vector, gsl_vector_free>;
using TMatrizGsl = TGsl<gsl_matrix, gsl_matrix_free>;

struct TAjusteB {
    TParametrosIdf P;
    double Soma = std::numeric_limits<double>::infinity(); // soma dos quadrados em ln i
};

double SomaQuadrados(const std::vector<TPontoIdf>& pontos, const TParametrosIdf& p) {
    double s = 0;
    for (const auto& q : pontos) {
        const double r = std::log(p.Intensidade(q.Duracao, q.Tr)) - std::log(q.Intensidade);
        s += r * r;
    }
    return std::isfinite(s) ? s : std::numeric_limits<double>::infinity();
}

// Limites de x = (ln K, a, c) no ajuste linear; ln K não tem mínimo (K > 0 sempre).
constexpr double SemLimite = std::numeric_limits<double>::infinity();
const double LimiteMinimo[3] = {-SemLimite, 0, 0};
const double LimiteMaximo[3] = {std::log(KMaximoIdf), AMaximoIdf, CMaximoIdf};

bool DentroDosLimites(double x, int k) {
    const double folga = 1e-12 * (1 + std::fabs(x));
    return x >= LimiteMinimo[k] - folga && x <= LimiteMaximo[k] + folga;
}

// Sistema n x n (n <= 3) por eliminação com pivô parcial; falso quando é singular.
bool Resolver(long double a[3][3], long double y[3], int n) {
    for (int i = 0; i < n; ++i) {
        int p = i;
        for (int k = i + 1; k < n; ++k)
            if (std::fabs(a[k][i]) > std::fabs(a[p][i])) p = k;
        if (!(std::fabs(a[p][i]) > 1e-300L)) return false;
        std::swap(a[i], a[p]);
        std::swap(y[i], y[p]);
        for (int k = i + 1; k < n; ++k) {
            const long double f = a[k][i] / a[i][i];
            for (int j = i; j < n; ++j)
                a[k][j] -= f * a[i][j];
            y[k] -= f * y[i];
        }
    }
    for (int i = n - 1; i >= 0; --i) {
        for (int j = i + 1; j < n; ++j)
            y[i] -= a[i][j] * y[j];
        y[i] /= a[i][i];
    }
    return true;
}

// O ajuste linear com ln K, a e c nas faixas. O problema é convexo: o ótimo é a solução de
// uma das faces da caixa (cada parâmetro livre, no mínimo ou no máximo, os livres pelas
// equações normais reduzidas) que respeita os limites; fica a de menor soma.
TAjusteB AjusteLinearLimitado(const std::vector<TPontoIdf>& pontos, double b) {
    long double g[3][3] = {}, h[3] = {};
    for (const auto& q : pontos) {
        const long double v[3] = {1, std::log(q.Tr), -std::log(q.Duracao + b)};
        const long double y = std::log(q.Intensidade);
        for (int i = 0; i < 3; ++i) {
            h[i] += v[i] * y;
            for (int j = 0; j < 3; ++j)
                g[i][j] += v[i] * v[j];
        }
    }
    TAjusteB melhor;
    for (int face = 0; face < 27; ++face) {
        const int situacao[3] = {face % 3, face / 3 % 3, face / 9}; // livre, mínimo, máximo
        if (situacao[0] == 1) continue;
        double x[3] = {0, 0, 0};
        int livres[3], n = 0;
        for (int k = 0; k < 3; ++k) {
            if (situacao[k] == 0)
                livres[n++] = k;
            else
                x[k] = situacao[k] == 1 ? LimiteMinimo[k] : LimiteMaximo[k];
        }
        if (n == 3) continue; // a solução sem limites já foi vista
        long double a[3][3], y[3];
        for (int i = 0; i < n; ++i) {
            y[i] = h[livres[i]];
            for (int k = 0; k < 3; ++k)
                if (situacao[k] != 0) y[i] -= g[livres[i]][k] * x[k];
            for (int j = 0; j < n; ++j)
                a[i][j] = g[livres[i]][livres[j]];
        }
        if (!Resolver(a, y, n)) continue;
        bool dentro = true;
        for (int i = 0; i < n && dentro; ++i) {
            const int k = livres[i];
            x[k] = double(y[i]);
            dentro = std::isfinite(x[k]) && DentroDosLimites(x[k], k);
            x[k] = std::clamp(x[k], LimiteMinimo[k], LimiteMaximo[k]);
        }
        if (!dentro) continue;
        const TParametrosIdf p{std::exp(x[0]), x[1], b, x[2]};
        const double soma = SomaQuadrados(pontos, p);
        if (soma < melhor.Soma) melhor = {p, soma};
    }
    return melhor;
}

// Com b fixo, ln i = ln K + a·ln T − c·ln(t+b) é linear: mínimos quadrados diretos (SVD);
// quando a solução sai das faixas, o ajuste com limites.
TAjusteB AjusteComBFixo(const std::vector<TPontoIdf>& pontos, double b) {
    const std::size_t n = pontos.size();
    TMatrizGsl x(gsl_matrix_alloc(n, 3));
    TVetorGsl y(gsl_vector_alloc(n)), coef(gsl_vector_alloc(3));
    TMatrizGsl cov(gsl_matrix_alloc(3, 3));
    TGsl<gsl_multifit_linear_workspace, gsl_multifit_linear_free> w(
        gsl_multifit_linear_alloc(n, 3));
    for (std::size_t i = 0; i < n; ++i) {
        gsl_matrix_set(x.P, i, 0, 1);
        gsl_matrix_set(x.P, i, 1, std::log(pontos[i].Tr));
        gsl_matrix_set(x.P, i, 2, -std::log(pontos[i].Duracao + b));
        gsl_vector_set(y.P, i, std::log(pontos[i].Intensidade));
    }
    double chi2 = 0;
    if (gsl_multifit_linear(x.P, y.P, coef.P, cov.P, &chi2, w.P) != GSL_SUCCESS)
        return AjusteLinearLimitado(pontos, b);
    for (int k = 0; k < 3; ++k)
        if (!DentroDosLimites(gsl_vector_get(coef.P, std::size_t(k)), k))
            return AjusteLinearLimitado(pontos, b);
    TAjusteB r;
    r.P = {std::exp(gsl_vector_get(coef.P, 0)), gsl_vector_get(coef.P, 1), b,
           gsl_vector_get(coef.P, 2)};
    r.Soma = SomaQuadrados(pontos, r.P);
    return r;
}

// O melhor b da faixa: varredura geométrica e, em volta do melhor ponto, o mínimo de Brent.
TAjusteB MelhorBNaFaixa(const std::vector<TPontoIdf>& pontos) {
    constexpr int N = 60;
    std::array<TAjusteB, N + 1> grade;
    std::size_t melhor = 0;
    for (std::size_t k = 0; k <= N; ++k) {
        const double b = k == N
                             ? BMaximoIdf
                             : BMinimoAjuste * std::pow(BMaximoIdf / BMinimoAjuste, k / double(N));
        grade[k] = AjusteComBFixo(pontos, b);
        if (grade[k].Soma < grade[melhor].Soma) melhor = k;
    }
    if (melhor == 0 || melhor == N) return grade[melhor];
    struct TContexto {
        const std::vector<TPontoIdf>* Pontos;
    } contexto{&pontos};
    gsl_function f;
    f.function = [](double b, void* c) {
        return AjusteComBFixo(*static_cast<TContexto*>(c)->Pontos, b).Soma;
    };
    f.params = &contexto;
    TGsl<gsl_min_fminimizer, gsl_min_fminimizer_free> m(
        gsl_min_fminimizer_alloc(gsl_min_fminimizer_brent));
    // Sem o mínimo estritamente dentro do intervalo, a varredura já é a resposta.
    if (gsl_min_fminimizer_set_with_values(
            m.P, &f, grade[melhor].P.B, grade[melhor].Soma, grade[melhor - 1].P.B,
            grade[melhor - 1].Soma, grade[melhor + 1].P.B, grade[melhor + 1].Soma) != GSL_SUCCESS)
        return grade[melhor];
    for (int i = 0; i < 200; ++i) {
        if (gsl_min_fminimizer_iterate(m.P) != GSL_SUCCESS) break;
        if (gsl_min_test_interval(gsl_min_fminimizer_x_lower(m.P), gsl_min_fminimizer_x_upper(m.P),
                                  1e-12, 1e-14) == GSL_SUCCESS)
            break;
    }
    const TAjusteB r = AjusteComBFixo(pontos, gsl_min_fminimizer_x_minimum(m.P));
    return r.Soma <= grade[melhor].Soma ? r : grade[melhor];
}

// Levenberg–Marquardt da GSL nos quatro parâmetros, sem limites em b: x = (ln K, a, v, c) com
// b = e^v − tmin, para que t + b fique positivo em toda duração da tabela.
struct TDadosLm {
    const std::vector<TPontoIdf>* Pontos;
    double TMin;
};

int ResiduosLm(const gsl_vector* x, void* d, gsl_vector* f) {
    const auto& dados = *static_cast<const TDadosLm*>(d);
    const double lnK = gsl_vector_get(x, 0), a = gsl_vector_get(x, 1), v = gsl_vector_get(x, 2),
                 c = gsl_vector_get(x, 3);
    const double ev = std::exp(v);
    for (std::size_t i = 0; i < dados.Pontos->size(); ++i) {
        const auto& q = (*dados.Pontos)[i];
        gsl_vector_set(f, i,
                       lnK + a * std::log(q.Tr) - c * std::log(q.Duracao - dados.TMin + ev) -
                           std::log(q.Intensidade));
    }
    return GSL_SUCCESS;
}

int JacobianaLm(const gsl_vector* x, void* d, gsl_matrix* j) {
    const auto& dados = *static_cast<const TDadosLm*>(d);
    const double v = gsl_vector_get(x, 2), c = gsl_vector_get(x, 3);
    const double ev = std::exp(v);
    for (std::size_t i = 0; i < dados.Pontos->size(); ++i) {
        const auto& q = (*dados.Pontos)[i];
        const double tb = q.Duracao - dados.TMin + ev;
        gsl_matrix_set(j, i, 0, 1);
        gsl_matrix_set(j, i, 1, std::log(q.Tr));
        gsl_matrix_set(j, i, 2, -c * ev / tb);
        gsl_matrix_set(j, i, 3, -std::log(tb));
    }
    return GSL_SUCCESS;
}

TAjusteB AjusteLivre(const std::vector<TPontoIdf>& pontos, const TParametrosIdf& inicio,
                     double tmin, int& iteracoes) {
    TDadosLm dados{&pontos, tmin};
    gsl_multifit_nlinear_fdf fdf{};
    fdf.f = ResiduosLm;
    fdf.df = JacobianaLm;
    fdf.n = pontos.size();
    fdf.p = 4;
    fdf.params = &dados;
    gsl_multifit_nlinear_parameters opcoes = gsl_multifit_nlinear_default_parameters();
    opcoes.trs = gsl_multifit_nlinear_trs_lm;
    TGsl<gsl_multifit_nlinear_workspace, gsl_multifit_nlinear_free> w(
        gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &opcoes, pontos.size(), 4));
    TVetorGsl x0(gsl_vector_alloc(4));
    gsl_vector_set(x0.P, 0, std::log(inicio.K));
    gsl_vector_set(x0.P, 1, inicio.A);
    gsl_vector_set(x0.P, 2, std::log(inicio.B + tmin));
    gsl_vector_set(x0.P, 3, inicio.C);
    TAjusteB r;
    if (gsl_multifit_nlinear_init(x0.P, &fdf, w.P) != GSL_SUCCESS) return r;
    int info = 0;
    // Sem progresso ou no limite de passos o ponto alcançado ainda vale; a soma decide.
    (void)gsl_multifit_nlinear_driver(500, 1e-14, 1e-14, 0, nullptr, nullptr, &info, w.P);
    iteracoes = int(gsl_multifit_nlinear_niter(w.P));
    const gsl_vector* x = gsl_multifit_nlinear_position(w.P);
    r.P = {std::exp(gsl_vector_get(x, 0)), gsl_vector_get(x, 1),
           std::exp(gsl_vector_get(x, 2)) - tmin, gsl_vector_get(x, 3)};
    r.Soma = SomaQuadrados(pontos, r.P);
    return r;
}

template <class T> void CalcularErros(const std::vector<TPontoIdf>& pontos, T& r) {
    double soma = 0;
    r.ErroMaximo = -1;
    for (const auto& q : pontos) {
        const double i = r.Parametros.Intensidade(q.Duracao, q.Tr);
        const double e = i / q.Intensidade - 1;
        soma += e * e;
        if (std::fabs(e) > r.ErroMaximo) {
            r.ErroMaximo = std::fabs(e);
            r.PiorPonto = q;
            r.IntensidadeAjustadaPior = i;
        }
    }
    r.ErroRms = std::sqrt(soma / double(pontos.size()));
}

bool NasFaixas(const TParametrosIdf& p) {
    return p.K > 0 && p.K <= KMaximoIdf && p.A > 0 && p.A <= AMaximoIdf && p.B >= BMinimoAjuste &&
           p.B <= BMaximoIdf && p.C > 0 && p.C <= CMaximoIdf;
}

const char* const SemEquacao = "Nenhuma equação dentro das faixas que os dados do projeto "
                               "aceitam representa a tabela: ";

// a ou c em 0 é o limite que a página não aceita: a tabela não é desta equação (colunas
// trocadas, unidades) e o usuário precisa saber qual parâmetro e por quê.
void ConferirEquacaoUtil(const TParametrosIdf& p) {
    if (!(p.A > 0))
        throw EAjusteSemEquacao(std::string(SemEquacao) +
                                "o melhor ajuste pede a = 0 ou menos (a faixa é maior que 0 e "
                                "até 1), porque a intensidade da tabela não cresce com o período "
                                "de retorno; confira as colunas e as unidades.");
    if (!(p.C > 0))
        throw EAjusteSemEquacao(std::string(SemEquacao) +
                                "o melhor ajuste pede c = 0 ou menos (a faixa é maior que 0 e "
                                "até 3), porque a intensidade da tabela não diminui com a "
                                "duração; confira as colunas e as unidades.");
    if (!(std::isfinite(p.K) && p.K > 0))
        throw EAjusteSemEquacao("O ajuste não chegou a uma equação válida para esta tabela.");
}

// Parâmetros que ficaram num limite da faixa.
std::vector<const char*> NoLimite(const TParametrosIdf& p) {
    auto perto = [](double v, double limite) {
        return std::fabs(v - limite) <= 1e-9 * std::fabs(limite);
    };
    std::vector<const char*> r;
    if (perto(p.K, KMaximoIdf)) r.push_back("K");
    if (perto(p.A, AMaximoIdf)) r.push_back("a");
    if (perto(p.B, BMinimoAjuste) || perto(p.B, BMaximoIdf)) r.push_back("b");
    if (perto(p.C, CMaximoIdf)) r.push_back("c");
    return r;
}

std::string Porcento(double fracao) {
    return FormatFloat("0.0", 100 * fracao, ',') + " %";
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
    // Menos pontos que parâmetros: o Levenberg–Marquardt da GSL nem se monta.
    if (pontos.size() < 4)
        throw EMorvendo("A tabela não determina a equação: são precisos pelo menos quatro pontos "
                        "para os quatro parâmetros, e há " +
                        std::to_string(pontos.size()) + ".");
    DesligarAbortoGsl();

    const TAjusteB limitado = MelhorBNaFaixa(pontos);
    if (!std::isfinite(limitado.Soma))
        throw EAjusteSemEquacao("O ajuste não chegou a uma equação válida para esta tabela.");
    // Partindo do melhor ponto das faixas, o mínimo sem limites: o mesmo ponto quando está
    // dentro, ou o que as faixas impedem quando está fora (só para comparar).
    TResultadoAjusteIdf r;
    const TAjusteB livre = AjusteLivre(pontos, limitado.P, *duracoes.begin(), r.Iteracoes);
    const bool livreDentro = NasFaixas(livre.P);
    r.Parametros = livreDentro && livre.Soma <= limitado.Soma ? livre.P : limitado.P;
    if (!livreDentro && livre.Soma < limitado.Soma * (1 - 1e-9)) {
        TAjusteLivreIdf l;
        l.Parametros = livre.P;
        CalcularErros(pontos, l);
        if (std::isfinite(l.ErroRms)) r.Livre = l;
    }
    ConferirEquacaoUtil(r.Parametros);
    CalcularErros(pontos, r);
    r.NoLimite = NoLimite(r.Parametros);
    r.DuracaoMin = *duracoes.begin();
    r.DuracaoMax = *duracoes.rbegin();
    r.TrMin = *trs.begin();
    r.TrMax = *trs.rbegin();
    if (!std::isfinite(r.ErroRms))
        throw EAjusteSemEquacao("O ajuste não chegou a uma equação válida para esta tabela.");
    if (r.ErroRms > ErroRmsMaximoAjuste) {
        std::string limites;
        for (const char* p : r.NoLimite)
            limites += std::string(limites.empty() ? ", com " : " e ") + p;
        if (!limites.empty())
            limites += r.NoLimite.size() == 1 ? " no limite da faixa," : " nos limites das faixas,";
        throw EAjusteSemEquacao(std::string(SemEquacao) + "a melhor" + limites + " erra " +
                                Porcento(r.ErroRms) + " em média (RMS) e até " +
                                Porcento(r.ErroMaximo) + " (em t = " + Numero(r.PiorPonto.Duracao) +
                                " min, T = " + Numero(r.PiorPonto.Tr) + " anos), mais que os " +
                                FormatFloat("0.#", 100 * ErroRmsMaximoAjuste, ',') +
                                " % aceitos; confira as colunas e as unidades.");
    }
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

std::string Aparar(std::string_view s, const char* brancos = " \t\r") {
    const auto i = s.find_first_not_of(brancos);
    if (i == std::string_view::npos) return {};
    return std::string(s.substr(i, s.find_last_not_of(brancos) - i + 1));
}

std::string MinusculasAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

std::string NaLinha(std::size_t linha) {
    return "Linha " + std::to_string(linha);
}

std::optional<double> ComoNumero(const std::string& texto, char separador) {
    std::optional<double> v = TentarTextoParaReal(texto, '.');
    // Com vírgula separando campos, a vírgula não pode ser decimal.
    if (!v && separador != ',') v = TentarTextoParaReal(texto, ',');
    return v;
}

// 'onde' é "Linha N, campo X: " ou "Linha N, coluna M: ".
double LerCampo(const std::string& texto, char separador, const std::string& onde, TCampo campo) {
    const std::optional<double> v = ComoNumero(texto, separador);
    static const char* const rotulos[] = {"a duração (min)", "o período de retorno (anos)",
                                          "a intensidade (mm/h)"};
    if (!v || !std::isfinite(*v))
        throw EMorvendo(onde + "\"" + texto + "\" não é um número; " + rotulos[campo] +
                        " deve ser um número.");
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
        throw EMorvendo(onde + rotulos[campo] + " deve ser " + f.Texto + " (lido: " + texto + ").");
    return *v;
}

struct TLinhaTabela {
    std::size_t Numero;
    char Separador;
    std::vector<std::string> Campos;
};

// Linhas não vazias, já divididas. A tabulação do começo fica: numa tabela colada de uma
// planilha, ela é a célula de canto vazia; as células vazias do fim são descartadas.
std::vector<TLinhaTabela> LinhasDaTabela(std::string_view texto) {
    if (texto.substr(0, 3) == "\xEF\xBB\xBF") texto.remove_prefix(3);
    std::vector<TLinhaTabela> linhas;
    std::size_t numero = 0;
    while (!texto.empty()) {
        const auto fim = texto.find('\n');
        const std::string_view bruta = texto.substr(0, fim);
        texto.remove_prefix(fim == std::string_view::npos ? texto.size() : fim + 1);
        ++numero;
        if (Aparar(bruta).empty()) continue;
        const std::string linha = Aparar(bruta, " \r");
        const char sep = linha.find('\t') != std::string::npos  ? '\t'
                         : linha.find(';') != std::string::npos ? ';'
                                                                : ',';
        TLinhaTabela l{numero, sep, {}};
        for (std::size_t i = 0;;) {
            const auto j = linha.find(sep, i);
            l.Campos.push_back(Aparar(std::string_view(linha).substr(i, j - i)));
            if (j == std::string::npos) break;
            i = j + 1;
        }
        while (l.Campos.size() > 1 && l.Campos.back().empty())
            l.Campos.pop_back();
        linhas.push_back(std::move(l));
    }
    return linhas;
}

std::vector<TPontoIdf> LerTabelaPontos(const std::vector<TLinhaTabela>& linhas) {
    std::vector<TPontoIdf> pontos;
    std::array<std::size_t, 3> ordem = {0, 1, 2}; // coluna de cada campo
    for (std::size_t n = 0; n < linhas.size(); ++n) {
        const auto& l = linhas[n];
        if (l.Campos.size() != 3)
            throw EMorvendo(NaLinha(l.Numero) + ": são esperados 3 campos " +
                            "(duracao_min, tr_anos, intensidade_mm_h), há " +
                            std::to_string(l.Campos.size()) + ".");
        if (n == 0 && !ComoNumero(l.Campos[0], ';')) {
            std::array<int, 3> achada = {-1, -1, -1};
            for (int c = 0; c < 3; ++c)
                for (int k = 0; k < 3; ++k)
                    if (MinusculasAscii(l.Campos[std::size_t(c)]) == NomesCampos[k] &&
                        achada[std::size_t(k)] < 0)
                        achada[std::size_t(k)] = c;
            for (int k = 0; k < 3; ++k) {
                if (achada[std::size_t(k)] < 0)
                    throw EMorvendo(NaLinha(l.Numero) + ": cabeçalho sem a coluna " +
                                    NomesCampos[k] +
                                    " (use duracao_min,tr_anos,intensidade_mm_h).");
                ordem[std::size_t(k)] = std::size_t(achada[std::size_t(k)]);
            }
            continue;
        }
        auto campo = [&](TCampo c) {
            return LerCampo(l.Campos[ordem[c]], l.Separador,
                            NaLinha(l.Numero) + ", campo " + NomesCampos[c] + ": ", c);
        };
        pontos.push_back({campo(CampoDuracao), campo(CampoTr), campo(CampoIntensidade)});
    }
    return pontos;
}

std::string NaColuna(std::size_t linha, std::size_t coluna) {
    return NaLinha(linha) + ", coluna " + std::to_string(coluna + 1) + ": ";
}

// Durações nas linhas, períodos de retorno nas colunas.
std::vector<TPontoIdf> LerTabelaMatriz(const std::vector<TLinhaTabela>& linhas) {
    const auto& cab = linhas.front();
    std::vector<double> trs;
    for (std::size_t c = 1; c < cab.Campos.size(); ++c) {
        const double tr = LerCampo(cab.Campos[c], cab.Separador, NaColuna(cab.Numero, c), CampoTr);
        if (std::find(trs.begin(), trs.end(), tr) != trs.end())
            throw EMorvendo(NaColuna(cab.Numero, c) + "o período de retorno " + cab.Campos[c] +
                            " anos aparece duas vezes no cabeçalho.");
        trs.push_back(tr);
    }
    std::vector<TPontoIdf> pontos;
    std::set<double> duracoes;
    for (std::size_t n = 1; n < linhas.size(); ++n) {
        const auto& l = linhas[n];
        if (l.Campos.size() != trs.size() + 1)
            throw EMorvendo(NaLinha(l.Numero) + ": são esperados " +
                            std::to_string(trs.size() + 1) + " campos (a duração e " +
                            std::to_string(trs.size()) +
                            " intensidades, uma por período de retorno do cabeçalho), há " +
                            std::to_string(l.Campos.size()) + ".");
        const double t = LerCampo(l.Campos[0], l.Separador, NaColuna(l.Numero, 0), CampoDuracao);
        if (!duracoes.insert(t).second)
            throw EMorvendo(NaColuna(l.Numero, 0) + "a duração " + l.Campos[0] +
                            " min aparece em duas linhas.");
        for (std::size_t c = 0; c < trs.size(); ++c)
            pontos.push_back({t, trs[c],
                              LerCampo(l.Campos[c + 1], l.Separador, NaColuna(l.Numero, c + 1),
                                       CampoIntensidade)});
    }
    return pontos;
}

} // namespace

std::vector<TPontoIdf> LerTabelaIdf(std::string_view texto) {
    const auto linhas = LinhasDaTabela(texto);
    if (linhas.empty()) throw EMorvendo("A tabela não tem nenhuma linha de dados.");
    // A disposição das publicações começa por uma célula de canto que não é número (texto ou
    // vazia) seguida só de números; o cabeçalho de pontos não tem número nenhum.
    const auto& primeira = linhas.front().Campos;
    const bool matriz = primeira.size() >= 2 && !ComoNumero(primeira[0], ';') &&
                        std::all_of(primeira.begin() + 1, primeira.end(), [](const std::string& c) {
                            return ComoNumero(c, ';').has_value();
                        });
    const auto pontos = matriz ? LerTabelaMatriz(linhas) : LerTabelaPontos(linhas);
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

std::string LinhaEquacaoIdf(const TParametrosIdf& p) {
    return "K=" + RealExato(p.K) + " a=" + RealExato(p.A) + " b=" + RealExato(p.B) +
           " c=" + RealExato(p.C);
}

std::optional<std::string> LerEntradaLinhaDeComando(const std::string& caminho,
                                                    std::ostream& erros) {
    try {
        return LerArquivoComum(caminho);
    } catch (const EMorvendo& e) {
        erros << e.what() << '\n';
        return std::nullopt;
    }
}

int StatusDoAjusteLinhaDeComando(const std::string& caminho, std::ostream& erros,
                                 const std::function<void()>& ajuste) {
    try {
        ajuste();
        return 0;
    } catch (const EAjusteSemEquacao& e) {
        erros << caminho << ": " << e.what() << '\n';
        return 3;
    } catch (const EMorvendo& e) {
        erros << caminho << ": " << e.what() << '\n';
        return 1;
    }
}

int AjustarIdfLinhaDeComando(const std::string& caminho, std::ostream& saida, std::ostream& erros) {
    const auto conteudo = LerEntradaLinhaDeComando(caminho, erros);
    if (!conteudo) return 2;
    return StatusDoAjusteLinhaDeComando(caminho, erros, [&] {
        const auto r = AjustarIdf(LerTabelaIdf(*conteudo));
        auto equacao = [&](const TParametrosIdf& p, const TErrosAjusteIdf& e) {
            saida << LinhaEquacaoIdf(p) << '\n'
                  << "RMS=" << Fixo(100 * e.ErroRms, 2)
                  << "% erro_max=" << Fixo(100 * e.ErroMaximo, 2)
                  << "% (t=" << RealExato(e.PiorPonto.Duracao)
                  << " min, T=" << RealExato(e.PiorPonto.Tr) << " anos)\n";
        };
        equacao(r.Parametros, r);
        saida << "tabela: duracao " << RealExato(r.DuracaoMin) << "-" << RealExato(r.DuracaoMax)
              << " min, T " << RealExato(r.TrMin) << "-" << RealExato(r.TrMax) << " anos\n";
        // A equação sem limites não é resultado: só o parâmetro preso e o erro que ela teria.
        for (const std::string p : r.NoLimite)
            saida << p
                  << (r.Livre ? " sem limites fora da faixa aceita ("
                              : " no limite da "
                                "faixa aceita (")
                  << (p == "b" ? RealExato(BMinimoAjuste) + "-" + RealExato(BMaximoIdf) + " min"
                               : "ate " + RealExato(p == "K"   ? KMaximoIdf
                                                    : p == "a" ? AMaximoIdf
                                                               : CMaximoIdf))
                  << ")\n";
        if (r.Livre)
            saida << "a equacao acima e a melhor dentro das faixas; sem limites o erro seria RMS="
                  << Fixo(100 * r.Livre->ErroRms, 2)
                  << "% erro_max=" << Fixo(100 * r.Livre->ErroMaximo, 2) << "%\n";
    });
}
