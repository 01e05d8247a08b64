#include "reports/GraficoSvg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <sstream>

#include "comum/Numeros.h"

namespace {

// Coordenada com uma casa e ponto decimal, qualquer que seja o locale do processo (a
// interface adota o do usuário, e o SVG exige ponto).
std::string C(double v) {
    if (!std::isfinite(v)) v = 0;
    char buf[64];
    const auto r =
        std::to_chars(buf, buf + sizeof buf, std::round(v * 10) / 10, std::chars_format::fixed, 1);
    std::string s(buf, r.ptr);
    if (s == "-0.0") s = "0.0";
    return s;
}

// Texto UTF-8 como conteúdo ou atributo XML só em ASCII.
std::string Texto(const std::string& utf8) {
    std::string r;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            if (b >= 0x20) r += EscaparXml(utf8.substr(i, 1), true);
            ++i;
            continue;
        }
        int n = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        unsigned cp = n == 3 ? b & 0x07 : n == 2 ? b & 0x0F : b & 0x1F;
        std::size_t j = i + 1;
        for (int k = 0; k < n && j < utf8.size(); ++k, ++j)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[j]) & 0x3F);
        if (n == 0) cp = 0xFFFD; // byte de continuação solto
        r += "&#" + std::to_string(cp) + ";";
        i = j;
    }
    return r;
}

// Largura aproximada de um texto de 11 px, para dispor a legenda.
double LarguraTexto(const std::string& utf8) {
    double n = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n * 6.3;
}

struct TFaixa {
    double Min = std::numeric_limits<double>::infinity();
    double Max = -std::numeric_limits<double>::infinity();
    void Incluir(double v) {
        if (!std::isfinite(v)) return;
        Min = std::min(Min, v);
        Max = std::max(Max, v);
    }
    bool Vazia() const { return !(Min <= Max); }
};

// Eixo: marcas e a transformação do valor para a tela.
struct TEixo {
    std::vector<double> Marcas;
    double Passo = 1;
    double De = 0, Ate = 1;         // valores nas pontas
    double TelaDe = 0, TelaAte = 1; // px
    double Tela(double v) const { return TelaDe + (v - De) / (Ate - De) * (TelaAte - TelaDe); }
};

TEixo MontarEixo(TFaixa f, bool desdeZero) {
    if (f.Vazia()) f.Min = 0, f.Max = 1;
    if (desdeZero && f.Min >= 0) f.Min = 0;
    TEixo e;
    e.Marcas = MarcasEixo(f.Min, f.Max);
    e.Passo = e.Marcas.size() > 1 ? e.Marcas[1] - e.Marcas[0] : 1;
    e.De = e.Marcas.front();
    e.Ate = e.Marcas.back();
    return e;
}

// Pontos da série reduzidos a, no máximo, o primeiro, o menor, o maior e o último de cada
// coluna de pixel: o desenho é o mesmo e o documento não cresce com canais longos.
std::vector<TPontoGrafico> Reduzir(const std::vector<TPontoGrafico>& pontos, const TEixo& x) {
    std::vector<TPontoGrafico> validos;
    for (const auto& p : pontos)
        if (std::isfinite(p.X) && std::isfinite(p.Y)) validos.push_back(p);
    const double colunas = std::abs(x.TelaAte - x.TelaDe);
    if (validos.size() <= 4 * colunas) return validos;
    std::vector<TPontoGrafico> r;
    std::size_t i = 0;
    while (i < validos.size()) {
        const long coluna = std::lround(x.Tela(validos[i].X));
        std::size_t fim = i;
        std::size_t menor = i, maior = i;
        while (fim < validos.size() && std::lround(x.Tela(validos[fim].X)) == coluna) {
            if (validos[fim].Y < validos[menor].Y) menor = fim;
            if (validos[fim].Y > validos[maior].Y) maior = fim;
            ++fim;
        }
        std::size_t ordem[4] = {i, std::min(menor, maior), std::max(menor, maior), fim - 1};
        for (int k = 0; k < 4; ++k)
            if (k == 0 || ordem[k] != ordem[k - 1]) r.push_back(validos[ordem[k]]);
        i = fim;
    }
    return r;
}

const char* const FONTE = "font-family=\"DejaVu Sans, Arial, Helvetica, sans-serif\"";

} // namespace

std::string EscaparXml(std::string_view texto, bool aspas) {
    std::string r;
    r.reserve(texto.size());
    for (const char c : texto) {
        if (c == '&')
            r += "&amp;";
        else if (c == '<')
            r += "&lt;";
        else if (c == '>')
            r += "&gt;";
        else if (c == '"' && aspas)
            r += "&quot;";
        else
            r += c;
    }
    return r;
}

std::vector<double> MarcasEixo(double minimo, double maximo, int alvo) {
    if (!std::isfinite(minimo) || !std::isfinite(maximo)) minimo = 0, maximo = 1;
    if (minimo > maximo) std::swap(minimo, maximo);
    if (maximo == minimo) {
        const double folga = minimo == 0 ? 1 : std::abs(minimo) * 0.1;
        minimo -= minimo == 0 ? 0 : folga;
        maximo += folga;
    }
    alvo = std::max(alvo, 1);
    const double bruto = (maximo - minimo) / alvo;
    const double ordem = std::pow(10.0, std::floor(std::log10(bruto)));
    const double n = bruto / ordem;
    const double passo = (n <= 1 ? 1 : n <= 2 ? 2 : n <= 5 ? 5 : 10) * ordem;
    const double inicio = std::floor(minimo / passo + 1e-9) * passo;
    const long intervalos = std::max(1L, std::lround(std::ceil((maximo - inicio) / passo - 1e-9)));
    std::vector<double> marcas;
    for (long i = 0; i <= intervalos; ++i) {
        double v = inicio + double(i) * passo;
        if (std::abs(v) < passo * 1e-9) v = 0;
        marcas.push_back(v);
    }
    return marcas;
}

std::string TextoMarca(double valor, double passo) {
    if (std::abs(valor) < std::abs(passo) * 1e-9) valor = 0;
    const int casas = passo > 0 ? std::clamp(int(-std::floor(std::log10(passo) + 1e-9)), 0, 10) : 0;
    std::string mascara = "#,##0";
    if (casas > 0) mascara += "." + std::string(std::size_t(casas), '0');
    return FormatFloat(mascara, valor, ',', '.');
}

std::string DesenharGraficoSvg(const TGraficoSvg& g) {
    const bool direito =
        !g.TituloYDireito.empty() ||
        std::any_of(g.Series.begin(), g.Series.end(), [](const auto& s) { return s.EixoDireito; });

    // Legenda: séries e linhas de referência, em linhas que cabem na largura.
    struct TItem {
        std::string Nome, Cor;
        const char* Traco; // nulo: contínua
        double X = 0;
        int Linha = 0;
    };
    std::vector<TItem> itens;
    for (const auto& s : g.Series)
        itens.push_back({s.Nome, s.Cor, s.Tracejada ? "3,2" : nullptr});
    for (const auto& l : g.Linhas)
        itens.push_back({l.Nome, l.Cor, "6,4"});
    std::erase_if(itens, [](const TItem& i) { return i.Nome.empty(); });
    int linhasLegenda = itens.empty() ? 0 : 1;
    {
        double x = 12;
        for (auto& i : itens) {
            const double largura = 30 + LarguraTexto(i.Nome) + 14;
            if (x > 12 && x + largura > g.Largura - 8) {
                x = 12;
                ++linhasLegenda;
            }
            i.X = x;
            i.Linha = linhasLegenda - 1;
            x += largura;
        }
    }

    const double esquerda = 66, direita = direito ? 66 : 20, topo = 32;
    const double base = 46 + 18.0 * linhasLegenda;
    TFaixa fx, fy, fyd;
    for (const auto& s : g.Series)
        for (const auto& p : s.Pontos) {
            if (!std::isfinite(p.X) || !std::isfinite(p.Y)) continue;
            fx.Incluir(p.X);
            (s.EixoDireito ? fyd : fy).Incluir(p.Y);
        }
    const bool semDados = fx.Vazia();
    for (const auto& l : g.Linhas)
        (l.Vertical ? fx : l.EixoDireito ? fyd : fy).Incluir(l.Valor);
    TEixo x = MontarEixo(fx, false), y = MontarEixo(fy, true), yd = MontarEixo(fyd, true);
    x.TelaDe = esquerda;
    x.TelaAte = g.Largura - direita;
    y.TelaDe = yd.TelaDe = g.Altura - base;
    y.TelaAte = yd.TelaAte = topo;

    std::ostringstream s;
    s << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" << g.Largura
      << "\" height=\"" << g.Altura << "\" viewBox=\"0 0 " << g.Largura << ' ' << g.Altura << "\">";
    s << "<rect x=\"0\" y=\"0\" width=\"" << g.Largura << "\" height=\"" << g.Altura
      << "\" fill=\"#ffffff\"/>";
    s << "<text x=\"" << C(g.Largura / 2.0) << "\" y=\"20\" text-anchor=\"middle\" " << FONTE
      << " font-size=\"13\" font-weight=\"bold\" fill=\"#000000\">" << Texto(g.Titulo) << "</text>";

    // Grade e marcas.
    const auto linha = [&](double x1, double y1, double x2, double y2, const char* cor,
                           double espessura, const char* traco = nullptr) {
        s << "<line x1=\"" << C(x1) << "\" y1=\"" << C(y1) << "\" x2=\"" << C(x2) << "\" y2=\""
          << C(y2) << "\" stroke=\"" << cor << "\" stroke-width=\"" << espessura << "\"";
        if (traco) s << " stroke-dasharray=\"" << traco << "\"";
        s << "/>";
    };
    const auto texto = [&](double px, double py, const char* ancora, const std::string& t,
                           const char* extra = "") {
        s << "<text x=\"" << C(px) << "\" y=\"" << C(py) << "\" text-anchor=\"" << ancora << "\" "
          << FONTE << " font-size=\"11\" fill=\"#000000\"" << extra << ">" << Texto(t) << "</text>";
    };
    for (const double v : x.Marcas) {
        const double px = x.Tela(v);
        linha(px, y.TelaAte, px, y.TelaDe, "#dddddd", 1);
        linha(px, y.TelaDe, px, y.TelaDe + 4, "#000000", 1);
        texto(px, y.TelaDe + 16, "middle", TextoMarca(v, x.Passo));
    }
    for (const double v : y.Marcas) {
        const double py = y.Tela(v);
        linha(x.TelaDe, py, x.TelaAte, py, "#dddddd", 1);
        linha(x.TelaDe - 4, py, x.TelaDe, py, "#000000", 1);
        texto(x.TelaDe - 7, py + 4, "end", TextoMarca(v, y.Passo));
    }
    if (direito)
        for (const double v : yd.Marcas) {
            const double py = yd.Tela(v);
            linha(x.TelaAte, py, x.TelaAte + 4, py, "#000000", 1);
            texto(x.TelaAte + 7, py + 4, "start", TextoMarca(v, yd.Passo));
        }
    s << "<rect x=\"" << C(x.TelaDe) << "\" y=\"" << C(y.TelaAte) << "\" width=\""
      << C(x.TelaAte - x.TelaDe) << "\" height=\"" << C(y.TelaDe - y.TelaAte)
      << "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"1\"/>";

    // Títulos dos eixos.
    texto((x.TelaDe + x.TelaAte) / 2, y.TelaDe + 34, "middle", g.TituloX);
    const double meioY = (y.TelaDe + y.TelaAte) / 2;
    texto(16, meioY, "middle", g.TituloY,
          (" transform=\"rotate(-90 16 " + C(meioY) + ")\"").c_str());
    if (direito)
        texto(g.Largura - 10, meioY, "middle", g.TituloYDireito,
              (" transform=\"rotate(90 " + C(g.Largura - 10.0) + " " + C(meioY) + ")\"").c_str());

    // Linhas de referência e séries.
    for (const auto& l : g.Linhas) {
        if (!std::isfinite(l.Valor)) continue;
        if (l.Vertical) {
            const double px = x.Tela(l.Valor);
            linha(px, y.TelaAte, px, y.TelaDe, l.Cor.c_str(), 1.5, "6,4");
        } else {
            const double py = (l.EixoDireito ? yd : y).Tela(l.Valor);
            linha(x.TelaDe, py, x.TelaAte, py, l.Cor.c_str(), 1.5, "6,4");
        }
    }
    for (const auto& serie : g.Series) {
        const TEixo& ey = serie.EixoDireito ? yd : y;
        const auto pontos = Reduzir(serie.Pontos, x);
        if (pontos.empty()) continue;
        s << "<polyline fill=\"none\" stroke=\"" << serie.Cor << "\" stroke-width=\"1.8\"";
        if (serie.Tracejada) s << " stroke-dasharray=\"3,2\"";
        s << " points=\"";
        for (std::size_t i = 0; i < pontos.size(); ++i)
            s << (i ? " " : "") << C(x.Tela(pontos[i].X)) << ',' << C(ey.Tela(pontos[i].Y));
        s << "\"/>";
    }
    if (semDados) texto((x.TelaDe + x.TelaAte) / 2, meioY, "middle", "sem dados");

    // Legenda.
    for (const auto& i : itens) {
        const double py = g.Altura - 18.0 * (linhasLegenda - i.Linha) + 4;
        linha(i.X, py - 4, i.X + 24, py - 4, i.Cor.c_str(), 2, i.Traco);
        texto(i.X + 30, py, "start", i.Nome);
    }
    s << "</svg>";
    return s.str();
}
