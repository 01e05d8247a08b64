// A perda de solo de cada seção do canal a partir da integral da tensão excedente, e o
// espaçamento: a última seção antes da primeira cuja perda passa da tolerável.
#include "engine/PerdaSolo.h"
#include "engine/Unidades.h"

#include <string>

#include "comum/Numeros.h"

namespace {

// α e γS de cada nó, na ordem dos nós: os dos trechos, ou os mesmos no canal inteiro.
class TDeclividadeDosNos {
public:
    explicit TDeclividadeDosNos(const TDadosPerdaSolo& d) : Alfa(d.Alfa), GamaS(d.GamaS), D(d) {
        Ir(0);
    }
    // Avança até o nó i (não volta).
    void Ir(std::size_t i) {
        while (!D.Trechos.empty() && K < D.Trechos.size() && i >= Fim) {
            Fim += std::size_t(D.Trechos[K].Nos);
            Alfa = D.Trechos[K].Alfa;
            GamaS = D.Trechos[K].GamaS;
            ++K;
        }
    }
    double Alfa, GamaS;

private:
    const TDadosPerdaSolo& D;
    std::size_t K = 0, Fim = 0;
};

} // namespace

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
    TDeclividadeDosNos declividade(d);
    for (int s = 1; s <= comp; ++s) {
        const double perda =
            PerdaDeSolo(d.FatorErodibilidade, d.Erodibilidade, somas[std::size_t(s - 1)], d.Dt);
        if (perda <= d.PerdaToleravel) {
            r.Espacamento = int(Arredondar(s * d.Dx));
            perdaSalva = perda;
        }
        const TSecaoCanal& no = nos[std::size_t(s - 1)];
        declividade.Ir(std::size_t(s - 1));
        r.Secoes.push_back({s, no.LaminaPico * CM_POR_M,
                            declividade.Alfa * LITROS_POR_M3 * no.AmMax,
                            no.LaminaTensao * declividade.GamaS, perda});
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
        TDeclividadeDosNos doEspacamento(d);
        doEspacamento.Ir(std::size_t(k - 1));
        r.QMax = doEspacamento.Alfa * LITROS_POR_M3 * no.AmMax;
        r.TensaoMax = no.LaminaTensao * doEspacamento.GamaS;
    } else {
        r.QMax = r.TensaoMax = 0;
    }
    return !cancelado;
}
