#include "project/RotulosResultado.h"

#include <cmath>
#include <stdexcept>

#include "comum/Numeros.h"

namespace {

using G = TGrandezaResultado;

// Na ordem do enum.
const TRotuloResultado TABELA[] = {
    {G::PerdaToleravel, "Perda tolerável", "Perda tolerável", "g/cm²", "g·cm⁻²", "0.0#"},
    {G::Espacamento, "Espaçamento máximo", "Espaçamento máximo", "m", "m", nullptr},
    {G::TensaoMax, "Tensão cisalhante máxima", "Tensão cisalhante máxima", "Pa", "Pa", "0.0#"},
    {G::PerdaSolo, "Perda de solo estimada", "Perda de solo estimada", "g/cm²", "g·cm⁻²", "0.0#"},
    {G::VazaoCanal, "Vazão máxima", "Vazão máxima", "L/s", "L·s⁻¹", "0.0#"},
    {G::VolumeCanal, "Volume até o desaguadouro",
     "Volume que chega ao desaguadouro na chuva do espaçamento", "m³", "m³", "0.0##"},
    {G::VolumeBacia, "Volume escoado", "Volume escoado", "m³", "m³", "0.0##"},
    {G::VazaoBacia, "Vazão máxima", "Vazão máxima", "L/s", "L·s⁻¹", "0.0#"},
    {G::ProfundidadeCanalBacia, "Profundidade do canal", "Profundidade do canal", "cm", "cm",
     "0.0"},
    {G::RaioBacia, "Raio", "Raio", "m", "m", "0.0#"},
    {G::LarguraBacia, "Largura", "Largura", "m", "m", "0.0#"},
    {G::ComprimentoBacia, "Comprimento", "Comprimento", "m", "m", "0.0#"},
};

} // namespace

const TRotuloResultado& RotuloResultado(TGrandezaResultado g) {
    const auto i = static_cast<std::size_t>(g);
    if (i >= std::size(TABELA) || TABELA[i].Grandeza != g)
        throw std::logic_error("grandeza de resultado fora da tabela");
    return TABELA[i];
}

std::optional<double> ValorResultado(TGrandezaResultado g, const TResultadoCalculo& r) {
    const TResultadoEspacamento& c = r.Canal;
    // Sem espaçamento, os valores na seção do espaçamento não existem; a tolerável existe.
    if (c.NenhumEspacamento && g != G::PerdaToleravel) return std::nullopt;
    switch (g) {
    case G::PerdaToleravel:
        return c.PerdaToleravel;
    case G::Espacamento:
        return c.Espacamento;
    case G::TensaoMax:
        return c.TensaoMax;
    case G::PerdaSolo:
        return c.PerdaSolo;
    case G::VazaoCanal:
        return c.QMax;
    case G::VolumeCanal:
        return c.Volume;
    default:
        break;
    }
    if (!r.Bacia) return std::nullopt;
    const TResultadoBacia& b = *r.Bacia;
    switch (g) {
    case G::VolumeBacia:
        return b.VolumeEscoado;
    case G::VazaoBacia:
        return b.VazaoMaxima;
    case G::ProfundidadeCanalBacia:
        return b.ProfundidadeCanal;
    case G::RaioBacia:
        return b.Raio;
    case G::LarguraBacia:
        return b.Largura;
    case G::ComprimentoBacia:
        return b.Comprimento;
    default:
        return std::nullopt;
    }
}

std::string TextoResultado(TGrandezaResultado g, const TResultadoCalculo& r,
                           char separadorDecimal) {
    // O espaçamento vem do bloco da bacia também, mesmo sem bacia: é do canal.
    const std::optional<double> v = ValorResultado(g, r);
    if (!v) return "---";
    const char* mascara = RotuloResultado(g).Mascara;
    if (!mascara) return std::to_string(static_cast<long long>(std::llround(*v)));
    return FormatFloat(mascara, *v, separadorDecimal);
}

std::vector<TGrandezaResultado> GrandezasCanal() {
    return {G::PerdaToleravel, G::Espacamento, G::TensaoMax,
            G::PerdaSolo,      G::VazaoCanal,  G::VolumeCanal};
}

std::vector<TGrandezaResultado> GrandezasBacia(bool semicircular) {
    std::vector<TGrandezaResultado> v = {G::VolumeBacia, G::VazaoBacia, G::ProfundidadeCanalBacia,
                                         G::Espacamento};
    if (semicircular) {
        v.push_back(G::RaioBacia);
    } else {
        v.push_back(G::LarguraBacia);
        v.push_back(G::ComprimentoBacia);
    }
    return v;
}
