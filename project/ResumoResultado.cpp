#include "project/ResumoResultado.h"

#include <algorithm>

#include "comum/EMorvendo.h"
#include "comum/LeitorCsv.h"
#include "comum/Numeros.h"

namespace {

std::string Metros(int m) {
    return std::to_string(m) + " m";
}

// Número com o separador, na precisão da página de resultados.
std::string N(const char* mascara, double v, char sep) {
    return FormatFloat(mascara, v, sep);
}

} // namespace

double PeriodoRetornoEspacamento(const TCanalEstrada& e) {
    try {
        return e.PeriodoRetornoEspacamento();
    } catch (const EMorvendo&) {
        return e.TrEsp; // a verificação dos dados recusa o valor antes do cálculo
    }
}

std::string TextoPeriodoRetorno(double anos, char sep) {
    return N("0.##", anos, sep) + (anos == 1 ? " ano" : " anos");
}

std::vector<std::string> ResumoDoResultado(const TCanalEstrada& e, int comprimento,
                                           const TResultadoCalculo& r, char sep) {
    const TResultadoEspacamento& c = r.Canal;
    std::vector<std::string> p;
    const std::string chuva = "na chuva do espaçamento (período de retorno de " +
                              TextoPeriodoRetorno(PeriodoRetornoEspacamento(e), sep) + ")";
    if (c.NenhumEspacamento) {
        // A frase do que fazer vem nos avisos; aqui, quanto a perda passa da tolerável.
        const double segundo = c.Secoes.size() > 1 ? c.Secoes[1].Perda : 0;
        p.push_back("O canal de " + Metros(comprimento) +
                    " não tem espaçamento entre desaguadouros " + chuva +
                    ": a perda de solo estimada no segundo metro, " + N("0.0##", segundo, sep) +
                    " g/cm², já passa da perda tolerável de " + N("0.0##", c.PerdaToleravel, sep) +
                    " g/cm².");
    } else if (c.Espacamento <= 0) {
        p.push_back("Nenhuma seção do canal fica dentro da perda tolerável " + chuva +
                    ": já no primeiro metro a perda de solo estimada passa dela. Não há "
                    "espaçamento que atenda; reveja o canal (revestimento, declividade menor, "
                    "seção mais larga) ou o solo.");
    } else if (c.Espacamento < comprimento) {
        p.push_back("O canal de " + Metros(comprimento) +
                    " precisa de desaguadouros: o espaçamento máximo entre eles é de " +
                    Metros(c.Espacamento) + " " + chuva +
                    ". Adote um espaçamento menor que o calculado.");
    } else {
        p.push_back("O canal inteiro (" + Metros(comprimento) +
                    ") fica dentro da perda tolerável " + chuva +
                    ": o espaçamento máximo é o próprio comprimento digitado. Aumente o "
                    "comprimento para achar o espaçamento.");
    }
    if (c.Espacamento > 0) {
        const double margem = c.PerdaToleravel - c.PerdaSolo;
        std::string s = "Na seção do espaçamento (" + Metros(c.Espacamento) +
                        "), a perda de solo estimada é de " + N("0.0##", c.PerdaSolo, sep) +
                        " g/cm², ";
        if (margem > 0 && c.PerdaToleravel > 0)
            s += "abaixo da perda tolerável de " + N("0.0##", c.PerdaToleravel, sep) +
                 " g/cm²: margem de " + N("0.0##", margem, sep) + " g/cm² (" +
                 N("0.0", 100 * margem / c.PerdaToleravel, sep) + " % da tolerável).";
        else
            s += "igual à perda tolerável de " + N("0.0##", c.PerdaToleravel, sep) +
                 " g/cm²: não há margem.";
        p.push_back(s + " A tensão cisalhante máxima ali é de " + N("0.0#", c.TensaoMax, sep) +
                    " Pa e a vazão máxima, de " + N("0.0#", c.QMax, sep) + " L/s.");
        p.push_back("Volume até o desaguadouro " + chuva + ": " + N("0.0##", c.Volume, sep) +
                    " m³ por trecho de " + Metros(c.Espacamento) + ".");
    }
    if (r.Bacia) {
        const TResultadoBacia& b = *r.Bacia;
        const bool semicircular = e.Bacia.Formato == TBaciaAcumulacao::SEMICIRCULAR;
        p.push_back("Bacia de acumulação (chuva de dimensionamento, período de retorno de " +
                    TextoPeriodoRetorno(e.TrDim, sep) + "): volume escoado de " +
                    N("0.0##", b.VolumeEscoado, sep) + " m³ e vazão máxima de " +
                    N("0.0#", b.VazaoMaxima, sep) + " L/s no desaguadouro; " +
                    (semicircular
                         ? "bacia semicircular de raio " + N("0.0#", b.Raio, sep) + " m"
                         : "bacia retangular de " + N("0.0#", b.Largura, sep) + " m de largura e " +
                               N("0.0#", b.Comprimento, sep) + " m de comprimento") +
                    ", com " + N("0.0#", e.Bacia.Profundidade, sep) +
                    " m de profundidade; canal de condução com " +
                    N("0.0", b.ProfundidadeCanal, sep) + " cm de profundidade.");
    } else if (e.Bacia.CalcularVolume && c.NenhumEspacamento) {
        p.push_back("A bacia de acumulação não foi dimensionada: sem espaçamento, não há "
                    "desaguadouro que a receba.");
    } else if (!e.Bacia.CalcularVolume) {
        p.push_back("A bacia de acumulação não foi dimensionada (opção desligada na página de "
                    "dados).");
    }
    return p;
}

std::vector<TSerieHidrograma> SeriesHidrogramas(const TCanalEstrada& e, const TResultadoCalculo& r,
                                                char sep) {
    const std::string trEsp = TextoPeriodoRetorno(PeriodoRetornoEspacamento(e), sep);
    const std::string espacamento = "chuva do espaçamento, período de retorno de " + trEsp;
    const std::string espacamentoCurta = "chuva do espaçamento, retorno de " + trEsp;
    std::vector<TSerieHidrograma> s;
    s.push_back({"Leito da estrada", espacamento, "Leito", espacamentoCurta, "L/s/m", true,
                 &r.HidrogramaEstrada.Pontos});
    if (e.IndSecao != 3 && !r.HidrogramaTalude.Pontos.empty())
        s.push_back({"Área externa (talude de corte)", espacamento, "Área externa",
                     espacamentoCurta, "L/s/m", true, &r.HidrogramaTalude.Pontos});
    if (r.Bacia) {
        const std::string trDim = TextoPeriodoRetorno(e.TrDim, sep);
        s.push_back({"Canal no desaguadouro (" + Metros(r.Bacia->Espacamento) + ")",
                     "chuva de dimensionamento, período de retorno de " + trDim,
                     "Desaguadouro (" + Metros(r.Bacia->Espacamento) + ")",
                     "chuva de dimensionamento, retorno de " + trDim, "L/s", false,
                     &r.Bacia->HidrogramaProjeto.Pontos});
    }
    return s;
}

const char* const CABECALHO_CSV_SECOES =
    "Seção (m);Lâmina (cm);Vazão (L/s);Tensão máxima (Pa);Perda de solo (g/cm²)";

namespace {

constexpr const char* BOM = "\xEF\xBB\xBF";
constexpr const char* FIM = "\r\n";

// Campo de texto: entre aspas quando tem o separador das planilhas, aspas ou quebra de linha.
std::string Campo(const std::string& t) {
    return CampoCsv(t, ';');
}

} // namespace

std::string RealCsv(double v) {
    std::string t = RealExato(v);
    std::replace(t.begin(), t.end(), '.', ',');
    return t;
}

std::string CsvSecoes(const std::vector<TLinhaSecao>& secoes) {
    std::string t = std::string(BOM) + CABECALHO_CSV_SECOES + FIM;
    for (const TLinhaSecao& l : secoes)
        t += std::to_string(l.Secao) + ';' + RealCsv(l.Lamina) + ';' + RealCsv(l.Vazao) + ';' +
             RealCsv(l.Tensao) + ';' + RealCsv(l.Perda) + FIM;
    return t;
}

std::string CsvHidrogramas(const std::vector<TSerieHidrograma>& series) {
    std::string t = BOM;
    std::size_t linhas = 0;
    for (std::size_t i = 0; i < series.size(); ++i) {
        const TSerieHidrograma& s = series[i];
        if (i > 0) t += ';';
        t += Campo(s.Nome + " - tempo (min)") + ';' +
             Campo(s.Nome + ", " + s.Chuva + " - vazão (" + s.Unidade + ")");
        linhas = std::max(linhas, s.Pontos->size());
    }
    t += FIM;
    for (std::size_t k = 0; k < linhas; ++k) {
        for (std::size_t i = 0; i < series.size(); ++i) {
            const auto& pts = *series[i].Pontos;
            if (i > 0) t += ';';
            if (k < pts.size())
                t += RealCsv(pts[k].Tempo) + ';' + RealCsv(pts[k].Vazao);
            else
                t += ';';
        }
        t += FIM;
    }
    return t;
}
