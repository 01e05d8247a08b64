#include "engine/PerdaSolo.h"

#include <string>

#include "comum/Numeros.h"

bool CalcularPerdaSolo(const TDadosPerdaSolo& d, const std::vector<TSecaoCanal>& nos,
                       const std::vector<double>& somas, IAcompanhamento* acomp,
                       TResultadoEspacamento& r) {
    // Uma seção por metro: os nós 0..n-1 de um canal de n metros.
    const int comp = int(somas.size()) - 1;
    r.PerdaToleravel = d.PerdaToleravel;
    r.Espacamento = 0;
    r.Secoes.clear();
    r.Secoes.reserve(std::size_t(comp > 0 ? comp : 0));
    double perdaSalva = 0;
    bool cancelado = false;
    for (int s = 1; s <= comp; ++s) {
        const double perda =
            PerdaDeSolo(d.FatorErodibilidade, d.Erodibilidade, somas[std::size_t(s - 1)], d.Dt);
        if (perda <= d.PerdaToleravel) {
            r.Espacamento = int(Arredondar(s * d.Dx));
            perdaSalva = perda;
        }
        const TSecaoCanal& no = nos[std::size_t(s - 1)];
        r.Secoes.push_back(
            {s, no.LaminaPico * 100, d.Alfa * 1000 * no.AmMax, no.LaminaTensao * d.GamaS, perda});
        if (acomp) {
            acomp->MostrarSecao(std::to_string(s));
            acomp->MostrarProgresso(int(Arredondar(double(s) / comp * 100)));
            acomp->ProcessarEventos();
            if (acomp->Cancelado()) {
                cancelado = true;
                break;
            }
        }
    }
    r.PerdaSolo = perdaSalva;
    // A primeira seção nunca perde solo: ficar nela é não ter desaguadouro que sirva.
    r.NenhumEspacamento = !cancelado && comp >= 2 && r.Espacamento < 2;
    if (r.NenhumEspacamento) {
        r.Espacamento = 0;
        r.PerdaSolo = 0;
    }

    const int k = r.Espacamento;
    if (k >= 1 && std::size_t(k) <= nos.size()) {
        const TSecaoCanal& no = nos[std::size_t(k - 1)];
        r.QMax = d.Alfa * 1000 * no.AmMax;
        r.TensaoMax = no.LaminaTensao * d.GamaS;
    } else {
        r.QMax = r.TensaoMax = 0;
    }
    return !cancelado;
}
