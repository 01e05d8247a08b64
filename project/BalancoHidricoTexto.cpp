#include "project/BalancoHidricoTexto.h"

#include <cmath>

#include "comum/Numeros.h"

namespace {

// Diferença do espaçamento da curva original a partir da qual o relatório a mostra.
constexpr double DIFERENCA_CURVA_ORIGINAL = 0.05;

std::string Pct(double v, char sep) {
    // Sem "-0,00": um erro que arredonda a zero é zero.
    const std::string t = FormatFloat("0.00", v, sep);
    return (t == "-0.00" || t == "-0,00" ? t.substr(1) : t) + " %";
}

TLinhaBalanco Encosta(const char* parte, const TBalancoEncosta& b, char sep) {
    TLinhaBalanco l;
    l.Parte = parte;
    l.Unidade = "L/m";
    l.Nomes = {"chuva", "abstração inicial", "infiltração", "escoamento", "armazenado"};
    for (double v : {b.Chuva, b.AbstracaoInicial, b.Infiltracao, b.Escoamento, b.Armazenado})
        l.Valores.push_back(FormatFloat("0.0", v, sep));
    l.ErroPct = b.ErroPct();
    l.Erro = Pct(l.ErroPct, sep);
    return l;
}

} // namespace

std::vector<TLinhaBalanco> LinhasBalanco(const TProjeto& p, const TResultadoCalculo& r, char sep) {
    std::vector<TLinhaBalanco> linhas;
    linhas.push_back(Encosta("Leito da estrada", r.BalancoEstrada, sep));
    if (p.Estrada.IndSecao == 1) linhas.push_back(Encosta("Área externa", r.BalancoTalude, sep));
    const TBalancoCanal& c = r.Canal.Balanco;
    TLinhaBalanco l;
    l.Parte = "Canal";
    l.Unidade = "m³";
    l.Nomes = {"entrada", "infiltração", "saída", "armazenado"};
    for (double v : {c.Entrada, c.Infiltracao, c.Saida, c.Armazenado})
        l.Valores.push_back(FormatFloat("0.000", v, sep));
    l.ErroPct = c.ErroPct();
    l.Erro = Pct(l.ErroPct, sep);
    linhas.push_back(l);
    return linhas;
}

std::string TextoLinhaBalanco(const TLinhaBalanco& l) {
    std::string t = l.Parte + " (" + l.Unidade + "):";
    for (std::size_t i = 0; i < l.Nomes.size(); ++i)
        t += (i ? "; " : " ") + l.Nomes[i] + " " + l.Valores[i];
    return t + "; erro " + l.Erro;
}

std::vector<std::string> AvisosBalanco(const TProjeto& p, const TResultadoCalculo& r, char sep) {
    std::vector<std::string> avisos;
    for (const TLinhaBalanco& l : LinhasBalanco(p, r, sep))
        if (std::fabs(l.ErroPct) > ERRO_BALANCO_AVISO_PCT)
            avisos.push_back(
                "O balanço hídrico do " +
                std::string(l.Parte == "Canal" ? "canal" : "plano \"" + l.Parte + "\"") +
                " não fecha: o esquema numérico " + (l.ErroPct > 0 ? "perdeu " : "criou ") +
                Pct(std::fabs(l.ErroPct), sep) +
                " da água que entrou. Confira os dados; os resultados dessa parte "
                "são menos exatos que o habitual.");
    return avisos;
}

std::string TextoCurvaDescarga(const TProjeto& p, const TResultadoCalculo& r, char sep) {
    if (p.Estrada.TipoCanal.Valor != CANAL_TRAPEZOIDAL)
        return "relação exata de Manning (canal triangular)";
    if (r.CurvaDescargaOriginal)
        return "curva original do canal trapezoidal, ajustada em lâminas de 0,2 a 5 m "
               "(superestima a vazão nas lâminas de canal de estrada)";
    std::string t = "relação exata de Manning (canal trapezoidal)";
    const int esp = r.Canal.Espacamento;
    if (r.EspacamentoCurvaOriginal && esp > 0) {
        const int original = *r.EspacamentoCurvaOriginal;
        const double diferenca = double(original - esp) / esp;
        if (std::fabs(diferenca) > DIFERENCA_CURVA_ORIGINAL)
            t += "; com a curva original (ajuste de 0,2 a 5 m) o espaçamento seria " +
                 std::to_string(original) + " m (" + (diferenca > 0 ? "+" : "") +
                 FormatFloat("0", 100 * diferenca, sep) + " %)";
    }
    return t;
}
