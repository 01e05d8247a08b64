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

// Com b fixo, ln i = ln K + a·ln T − c·ln(t+b) é linear: mínimos quadrados diretos (SVD).
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
    TAjusteB r;
    if (gsl_multifit_linear(x.P, y.P, coef.P, cov.P, &chi2, w.P) != GSL_SUCCESS) return r;
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

// K, a e c do ajuste dentro do que a página de dados aceita; senão a tabela não é desta
// equação (colunas trocadas, unidades) e o usuário precisa saber qual parâmetro saiu.
void ConferirFaixaPagina(const TParametrosIdf& p) {
    const struct {
        const char* Nome;
        double Valor, Maximo;
    } faixas[] = {{"K", p.K, KMaximoIdf}, {"a", p.A, AMaximoIdf}, {"c", p.C, CMaximoIdf}};
    for (const auto& f : faixas)
        if (!(std::isfinite(f.Valor) && f.Valor > 0 && f.Valor <= f.Maximo))
            throw EMorvendo("O ajuste dá " + std::string(f.Nome) + " = " +
                            FormatFloat("0.####", f.Valor, ',') +
                            ", fora da faixa que os dados do projeto aceitam (maior que 0 e até " +
                            Numero(f.Maximo) +
                            "): a tabela não segue a equação; confira as colunas e as unidades.");
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
    DesligarAbortoGsl();

    const TAjusteB limitado = MelhorBNaFaixa(pontos);
    if (!std::isfinite(limitado.Soma))
        throw EMorvendo("O ajuste não chegou a uma equação válida para esta tabela.");
    // Partindo do melhor b da faixa, o mínimo sem limites: o mesmo ponto quando está dentro,
    // ou o que a faixa impede quando está fora.
    TResultadoAjusteIdf r;
    const TAjusteB livre = AjusteLivre(pontos, limitado.P, *duracoes.begin(), r.Iteracoes);
    const bool livreDentro = livre.P.B >= BMinimoAjuste && livre.P.B <= BMaximoIdf;
    r.Parametros = livreDentro && livre.Soma <= limitado.Soma ? livre.P : limitado.P;
    if (!livreDentro && livre.Soma < limitado.Soma * (1 - 1e-9)) {
        TAjusteLivreIdf l;
        l.Parametros = livre.P;
        CalcularErros(pontos, l);
        r.Livre = l;
    }
    ConferirFaixaPagina(r.Parametros);
    CalcularErros(pontos, r);
    r.DuracaoMin = *duracoes.begin();
    r.DuracaoMax = *duracoes.rbegin();
    r.TrMin = *trs.begin();
    r.TrMax = *trs.rbegin();
    if (!std::isfinite(r.ErroRms))
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
        auto equacao = [&](const TParametrosIdf& p, const TErrosAjusteIdf& e) {
            saida << "K=" << RealExato(p.K) << " a=" << RealExato(p.A) << " b=" << RealExato(p.B)
                  << " c=" << RealExato(p.C) << '\n'
                  << "RMS=" << Fixo(100 * e.ErroRms, 2)
                  << "% erro_max=" << Fixo(100 * e.ErroMaximo, 2)
                  << "% (t=" << RealExato(e.PiorPonto.Duracao)
                  << " min, T=" << RealExato(e.PiorPonto.Tr) << " anos)\n";
        };
        equacao(r.Parametros, r);
        saida << "tabela: duracao " << RealExato(r.DuracaoMin) << "-" << RealExato(r.DuracaoMax)
              << " min, T " << RealExato(r.TrMin) << "-" << RealExato(r.TrMax) << " anos\n";
        if (r.Livre) {
            saida << "b sem limites fora da faixa aceita (" << RealExato(BMinimoAjuste) << "-"
                  << RealExato(BMaximoIdf) << " min); a equacao acima tem b no limite; sem "
                  << "limites seria:\n";
            equacao(r.Livre->Parametros, *r.Livre);
        }
        return 0;
    } catch (const EMorvendo& e) {
        erros << caminho << ": " << e.what() << '\n';
        return 1;
    }
}
