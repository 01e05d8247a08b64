#include "project/Calculo.h"

#include <memory>

#include "comum/EMorvendo.h"

namespace {

TEncostaCinematica& PrimeiroPlano(TEncostaCinematicaSecoes& encosta) {
    if (encosta.NumSecoes() == 0) throw EMorvendo("A encosta não tem trechos definidos.");
    return encosta.Secao(0);
}

struct TParHidrogramas {
    std::unique_ptr<THidrograma> Estrada;
    std::unique_ptr<THidrograma> Talude;
};

// Hidrogramas do leito e da área externa para o período de retorno dado. Devolve falso
// quando a seção 2 encerra o cálculo sem resultados.
bool CalcularPar(TProjeto& p, double tr, IAcompanhamentoCalculo* a, TParHidrogramas& par) {
    TCanalEstrada& e = p.Estrada;
    TPrecipitacaoExponencialNegativa& chuva = p.Chuva();
    chuva.Tr(tr);
    if (a) a->DestacarEtapa(1);
    TEncostaCinematica& leito = PrimeiroPlano(e.Estrada);
    TMostrarTempo tempoEstrada;
    if (a) tempoEstrada = [a](const std::string& t) { a->MostrarTempoEstrada(t); };
    par.Estrada = CalcularHidrograma(leito, NumeroDeCelulas(leito), chuva, tempoEstrada, a);
    if (e.Cancelado) return true;
    if (e.IndSecao == 1) {
        if (a) a->DestacarEtapa(2);
        TEncostaCinematica& talude = PrimeiroPlano(e.Talude);
        TMostrarTempo tempoTalude;
        if (a) tempoTalude = [a](const std::string& t) { a->MostrarTempoTalude(t); };
        par.Talude = CalcularHidrograma(talude, NumeroDeCelulas(talude), chuva, tempoTalude, a);
    } else if (e.IndSecao == 2) {
        if (a) a->MostrarMensagem("Seção 2 ainda não disponível.");
        return false;
    } else {
        par.Talude = std::make_unique<THidrograma>();
    }
    return true;
}

TResumoHidrograma Resumo(const THidrograma& h) {
    return {h.NumPontos(), h.VazaoMaxima, h.Volume};
}

// Devolve o comprimento digitado ao canal, também quando o cálculo termina antes.
class TRestaurarComprimento {
public:
    TRestaurarComprimento(TCanalEstrada& e, int c) : FE(e), FC(c) {}
    ~TRestaurarComprimento() { FE.Comprimento(FC); }
    TRestaurarComprimento(const TRestaurarComprimento&) = delete;
    TRestaurarComprimento& operator=(const TRestaurarComprimento&) = delete;

private:
    TCanalEstrada& FE;
    int FC;
};

} // namespace

TResultadoCalculo ExecutarCalculo(TProjeto& p, int comprimentoCanal, IAcompanhamentoCalculo* a) {
    TCanalEstrada& e = p.Estrada;
    TResultadoCalculo r;
    e.Cancelado = false;
    e.Comprimento(comprimentoCanal);
    TRestaurarComprimento restaurar(e, comprimentoCanal);

    const double trEspacamento = e.Equivalente ? e.TempoRetornoEquivalente() : e.TrEsp;
    {
        TParHidrogramas par;
        if (!CalcularPar(p, trEspacamento, a, par)) return r;
        if (e.Cancelado) {
            r.Situacao = TResultadoCalculo::Cancelado;
            return r;
        }
        if (a) a->DestacarEtapa(3);
        const double vibLeito = PrimeiroPlano(e.Estrada).VIB();
        if (!e.CalcularEspacamento(p.Chuva(), *par.Estrada, *par.Talude, vibLeito, a,
                                   p.Unidades.FatorErodibilidade)) {
            r.Situacao = TResultadoCalculo::Cancelado;
            return r;
        }
        r.HidrogramaEstrada = Resumo(*par.Estrada);
        r.HidrogramaTalude = Resumo(*par.Talude);
    }
    r.CanalCalculado = true;

    TBaciaAcumulacao& bacia = e.Bacia;
    if (bacia.CalcularVolume) {
        if (a) a->IniciarDimensionamento();
        TParHidrogramas par;
        if (!CalcularPar(p, e.TrDim, a, par)) return r;
        if (e.Cancelado) {
            r.Situacao = TResultadoCalculo::Cancelado;
            return r;
        }
        if (a) a->DestacarEtapa(3);
        e.Comprimento(e.Espacamento);
        std::unique_ptr<THidrograma> projeto;
        if (!e.CalcularHidrogramaProjeto(p.Chuva(), *par.Estrada, *par.Talude, a, projeto)) {
            r.Situacao = TResultadoCalculo::Cancelado;
            return r;
        }
        e.Comprimento(comprimentoCanal);
        projeto->Analisar(1.0);
        const double volume = projeto->IntegrarVolume();
        const double qp = projeto->VazaoMaxima;
        bacia.VolumePorMetro = volume / (e.Espacamento * 1000.0);
        bacia.Espacamento = e.Espacamento;
        bacia.Dimensionar(qp / 1000);
        r.Bacia = TResultadoBacia{bacia.Espacamento * bacia.VolumePorMetro,
                                  qp,
                                  bacia.ProfundidadeCanal,
                                  bacia.Largura,
                                  bacia.Raio,
                                  bacia.Comprimento};
    }
    r.Situacao = TResultadoCalculo::Concluido;
    return r;
}
