#include "geo/LocacaoMapa.h"

#include <algorithm>
#include <map>

#include "comum/Numeros.h"

namespace {

double CotaNaPosicao(const std::vector<TPontoPerfil>& perfil, double posicao) {
    const auto it = std::lower_bound(perfil.begin(), perfil.end(), posicao,
                                     [](const TPontoPerfil& p, double s) { return p.Posicao < s; });
    if (it == perfil.begin()) return perfil.front().Cota;
    if (it == perfil.end()) return perfil.back().Cota;
    const TPontoPerfil& a = *(it - 1);
    const TPontoPerfil& b = *it;
    return a.Cota + (b.Cota - a.Cota) * (posicao - a.Posicao) / (b.Posicao - a.Posicao);
}

std::string Metros(double valor) {
    return FormatFloat("0.00", valor, ',') + " m";
}

std::string DimensoesBacia(const TDimensoesBacia& b) {
    std::string t = b.Raio > 0 ? "raio " + Metros(b.Raio) : "largura " + Metros(b.Largura);
    t += ", comprimento " + Metros(b.Comprimento);
    if (b.ProfundidadeCanal > 0)
        t += ", canal de condução de " + FormatFloat("0.0", b.ProfundidadeCanal, ',') + " cm";
    return t;
}

} // namespace

TLocacaoMapa LocacaoParaMapa(const TResultadoLocacao& locacao,
                             const std::vector<TPontoPerfil>& perfil) {
    TLocacaoMapa m;
    std::map<TLado, double> anterior; // posição do último desaguadouro de cada lado
    for (const TDesaguadouro& d : locacao.Desaguadouros) {
        TDesaguadouroMapa dm;
        dm.Numero = d.Numero;
        dm.Lado = SiglaLado(d.Lado)[0];
        dm.Posicao = d.Posicao;
        dm.DeclividadeMontante = d.DeclividadeMontante;
        const auto a = anterior.find(d.Lado);
        dm.DistanciaAnterior = std::abs(d.Posicao - (a == anterior.end() ? 0 : a->second));
        anterior[d.Lado] = d.Posicao;
        dm.VazaoPico = d.Chegada.VazaoPico;
        dm.VolumeBacia = d.Chegada.Volume;
        if (d.Bacia) dm.DimensoesBacia = DimensoesBacia(*d.Bacia);
        dm.Avisos = AvisosDoDesaguadouro(d);
        m.Desaguadouros.push_back(dm);

        for (const TContribuicao& c : d.Contribuicoes) {
            TTrechoMapa t;
            t.Nome = "Canal " + std::to_string(d.Numero) + " " + SiglaLado(d.Lado);
            t.Inicio = std::min(c.Inicio, d.Posicao);
            t.Fim = std::max(c.Inicio, d.Posicao);
            if (t.Fim > t.Inicio)
                t.Declividade = (CotaNaPosicao(perfil, t.Inicio) - CotaNaPosicao(perfil, t.Fim)) /
                                (t.Fim - t.Inicio);
            if (!d.NenhumEspacamento) t.Espacamento = c.Comprimento;
            m.Trechos.push_back(t);
        }
    }
    return m;
}
