#include "project/Calculo.h"

#include <cctype>
#include <cmath>
#include <memory>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"

const char* const TEXTO_NENHUM_ESPACAMENTO =
    "Nenhum espaçamento atende: já no segundo metro a perda excede a tolerável; revista o canal, "
    "reduza a declividade ou aumente o aprofundamento tolerado.";

namespace {

template <class TEncosta> auto& PrimeiroPlano(TEncosta& encosta) {
    if (encosta.NumPlanos() == 0) throw EMorvendo("A encosta não tem trechos definidos.");
    return encosta.Plano(0);
}

// Executa uma etapa; um erro sem campo sai com a etapa e os dados que a alimentam.
template <class Etapa> auto NaEtapa(const char* etapa, const char* dados, Etapa&& executar) {
    try {
        return executar();
    } catch (const ENumerico& e) {
        std::string motivo = e.what();
        motivo = motivo.substr(0, motivo.find('\n'));
        while (!motivo.empty() && motivo.back() == '.')
            motivo.pop_back();
        motivo[0] = char(std::tolower(static_cast<unsigned char>(motivo[0])));
        throw EMorvendo(std::string("Não foi possível calcular ") + etapa + " (" + motivo +
                        "). Verifique " + dados + ".");
    }
}

const char* const DADOS_LEITO =
    "no leito da estrada a taxa de infiltração estável, a declividade transversal, a "
    "semilargura e a rugosidade, e os parâmetros K, a, b e c da equação IDF";
const char* const DADOS_TALUDE =
    "na área externa a taxa de infiltração estável, a declividade, o comprimento, a rugosidade "
    "e a cobertura vegetal, e os parâmetros K, a, b e c da equação IDF";
const char* const DADOS_CANAL =
    "no canal da estrada a declividade, a rugosidade e a forma da seção (m1 e m2, ou Z e B), e "
    "no solo a tensão crítica de cisalhamento";

const char* const DADOS_BACIA =
    "no canal de condução a forma da seção (m1 e m2, ou Z e B), a rugosidade e a declividade, e "
    "a profundidade e os taludes da bacia de acumulação";

bool CanceladoPor(const IAcompanhamentoCalculo* a) {
    return a && a->Cancelado();
}

// Um cálculo a mais, sem nada na tela, que ainda atende ao cancelamento da janela.
class TSoCancelamento : public IAcompanhamento {
public:
    explicit TSoCancelamento(IAcompanhamento* a) : FA(a) {}
    void ProcessarEventos() override {
        if (!FA) return;
        FA->ProcessarEventos();
        if (FA->Cancelado()) Cancelar();
    }
    char SeparadorDecimal() const override { return FA ? FA->SeparadorDecimal() : '.'; }

private:
    IAcompanhamento* FA;
};

} // namespace

TPrecipitacaoExponencialNegativa ChuvaNoPeriodo(const TProjeto& p, double tr) {
    TPrecipitacaoExponencialNegativa chuva = p.ChuvaDeProjeto.Precipitacao();
    chuva.Tr(tr);
    return chuva;
}

void CalcularPlanos(TProjeto& p, double tr, bool areaExterna, IAcompanhamentoCalculo* a,
                    TParHidrogramas& par) {
    TCanalEstrada& e = p.Estrada;
    TPrecipitacaoExponencialNegativa chuva = ChuvaNoPeriodo(p, tr);
    if (a) a->DestacarEtapa(1);
    TEncostaCinematica& leito = PrimeiroPlano(e.Leito);
    TMostrarTempo tempoEstrada;
    if (a) tempoEstrada = [a](const std::string& t) { a->MostrarTempoEstrada(t); };
    par.Estrada = NaEtapa("o escoamento no leito da estrada", DADOS_LEITO, [&] {
        return CalcularHidrograma(leito, NumeroDeCelulas(leito), chuva, tempoEstrada, a,
                                  &par.BalancoEstrada);
    });
    if (CanceladoPor(a)) return;
    if (areaExterna) {
        if (a) a->DestacarEtapa(2);
        TEncostaCinematica& talude = PrimeiroPlano(e.AreaExterna);
        TMostrarTempo tempoTalude;
        if (a) tempoTalude = [a](const std::string& t) { a->MostrarTempoTalude(t); };
        par.Talude = NaEtapa("o escoamento na área externa", DADOS_TALUDE, [&] {
            return CalcularHidrograma(talude, NumeroDeCelulas(talude), chuva, tempoTalude, a,
                                      &par.BalancoTalude);
        });
    } else {
        par.Talude = std::make_unique<THidrograma>();
    }
}

namespace {

// Hidrogramas do leito e da área externa para o período de retorno dado. Devolve falso
// quando a seção 2, que não tem cálculo, encerra o cálculo sem resultados: antes de calcular
// os planos.
bool CalcularPar(TProjeto& p, double tr, IAcompanhamentoCalculo* a, TParHidrogramas& par) {
    const int secao = p.Estrada.IndSecao;
    if (secao == 2) {
        if (a) a->MostrarMensagem("Seção 2 ainda não disponível.");
        return false;
    }
    CalcularPlanos(p, tr, secao == 1, a, par);
    return true;
}

// Verificação de que cada resultado é um número finito antes de ir à tela, ao terminal ou a
// um arquivo. O erro nomeia o dado de entrada, como rotulado na página de dados.
class TVerificacaoFinitos {
public:
    TVerificacaoFinitos(const TProjeto& p, char sep) : P(p), Sep(sep) {}

    // Com 'pecas', a declividade que uma seção não finita nomeia é a da sua peça.
    void Canal(const TResultadoEspacamento& c,
               const std::vector<TPecaCanal>* pecas = nullptr) const {
        const TCanalEstrada& e = P.Estrada;
        std::size_t peca = 0;
        long fimPeca = 0;
        double declividade = e.Sc;
        if (!std::isfinite(c.PerdaToleravel))
            Erro("O aprofundamento máximo (" + Valor(e.Aprofundamento, "cm") +
                     ") e a massa específica do solo do canal (" + Valor(e.Densidade, "g/cm³") +
                     ")",
                 c.PerdaToleravel, "da perda tolerável de solo", true);
        for (const TLinhaSecao& l : c.Secoes) {
            while (pecas && peca < pecas->size() && l.Secao > fimPeca) {
                declividade = (*pecas)[peca].Declividade;
                fimPeca += (*pecas)[peca++].Comprimento;
            }
            if (!std::isfinite(l.Lamina) || !std::isfinite(l.Vazao))
                Erro("Os dados do canal da estrada (seção, declividade " +
                         Valor(declividade, "m/m") + ", rugosidade " + Valor(e.nc.Valor, "") + ")",
                     std::isfinite(l.Lamina) ? l.Vazao : l.Lamina,
                     "da lâmina ou da vazão na seção " + std::to_string(l.Secao), true);
            if (!std::isfinite(l.Tensao))
                Erro("A declividade do canal da estrada (" + Valor(declividade, "m/m") + ")",
                     l.Tensao, "da tensão cisalhante na seção " + std::to_string(l.Secao), false);
            if (!std::isfinite(l.Perda))
                Erro("A erodibilidade do solo do canal (" +
                         Valor(e.Erodibilidade, P.Unidades.UnidadeErodibilidade) + ")",
                     l.Perda, "da perda de solo na seção " + std::to_string(l.Secao), false);
        }
        for (const double v : {c.PerdaSolo, c.TensaoMax, c.QMax, c.Volume})
            if (!std::isfinite(v))
                Erro("Os dados do canal da estrada", v, "nos resultados do canal", true);
    }

    void Saida(const THidrograma& h) const {
        for (const TPontoHidrograma& ponto : h.Pontos)
            if (!std::isfinite(ponto.Vazao))
                Erro("Os dados do canal da estrada", ponto.Vazao, "da vazão na saída do canal",
                     true);
    }

    void Bacia(const TResultadoBacia& b) const {
        const TBaciaAcumulacao& ba = P.Estrada.Bacia;
        const TCanalGradiente& cc = ba.CanalConducao;
        for (const double v : {b.VolumeEscoado, b.VazaoMaxima})
            if (!std::isfinite(v))
                Erro("Os dados do canal da estrada", v,
                     "do volume escoado ou da vazão máxima da "
                     "bacia de acumulação",
                     true);
        if (!std::isfinite(b.ProfundidadeCanal)) {
            // Os campos como a página os mostra: Z e B na seção trapezoidal, m1 e m2 (os
            // inversos do que o motor guarda) na triangular.
            const bool trapezoidal = cc.TipoCanal.Valor == CANAL_TRAPEZOIDAL;
            const std::string secao =
                trapezoidal
                    ? "Z " + Valor(cc.Z.Valor, "") + ", B " + Valor(cc.B(), "m")
                    : "m1 " + Valor(1 / cc.Z.Valor, "") + ", m2 " + Valor(1 / cc.Sm.Valor, "");
            Erro("Os dados do canal de condução (" + secao + ", rugosidade " +
                     Valor(cc.nc.Valor, "") + ", declividade " + Valor(cc.Sc, "m/m") + ")",
                 b.ProfundidadeCanal, "da profundidade do canal", true);
        }
        const bool retangular = ba.Formato == TBaciaAcumulacao::RETANGULAR;
        const std::string bacia =
            "A profundidade (H) da bacia de acumulação (" + Valor(ba.Profundidade, "m") + ")" +
            (retangular
                 ? " com os taludes m1 (" + Valor(ba.m1, "") + ") e m2 (" + Valor(ba.m2, "") + ")"
                 : "");
        if (!std::isfinite(b.Raio)) Erro(bacia, b.Raio, "do raio da bacia", false);
        if (!std::isfinite(b.Largura)) Erro(bacia, b.Largura, "da largura da bacia", false);
        if (!std::isfinite(b.Comprimento))
            Erro(bacia, b.Comprimento, "do comprimento da bacia", false);
    }

private:
    std::string Valor(double v, const std::string& unidade) const {
        return FloatToStr(v, Sep) + (unidade.empty() ? "" : " " + unidade);
    }

    [[noreturn]] static void Erro(const std::string& causa, double v, const std::string& oQue,
                                  bool plural) {
        const bool varios = plural && causa.rfind("Os ", 0) == 0;
        throw EMorvendo(causa + (varios ? " levam" : " leva") + " a um valor " +
                        (std::isnan(v) ? "indefinido " : "infinito ") + oQue + "; verifique " +
                        (varios ? "os valores." : "o valor."));
    }

    const TProjeto& P;
    char Sep;
};

} // namespace

bool CalcularCanalEmPecas(const TProjeto& p, TPrecipitacao& chuva, const THidrograma& hEstrada,
                          const THidrograma& hTalude, const std::vector<TPecaCanal>& pecas,
                          TPedidoCanal pedido, double fatorTensaoEfetiva, IAcompanhamento* a,
                          TResultadoEspacamento& r, std::unique_ptr<THidrograma>& saida) {
    const TCanalEstrada& e = p.Estrada;
    const double vibLeito = PrimeiroPlano(e.Leito).VIB();
    if (!NaEtapa("a propagação no canal da estrada", DADOS_CANAL, [&] {
            return e.CalcularCanalEmPecas(chuva, hEstrada, hTalude, vibLeito, pecas, pedido,
                                          p.Unidades.FatorErodibilidade, fatorTensaoEfetiva, a, r,
                                          saida);
        }))
        return false;
    const TVerificacaoFinitos finitos(p, a ? a->SeparadorDecimal() : '.');
    finitos.Canal(r, &pecas);
    if (saida) finitos.Saida(*saida);
    return true;
}

void ExecutarCalculo(TProjeto& p, int comprimentoCanal, IAcompanhamentoCalculo* a,
                     TResultadoCalculo& r, bool compararCurvaOriginal) {
    TCanalEstrada& e = p.Estrada;
    r = TResultadoCalculo{};
    r.CurvaDescargaOriginal = e.TipoCanal.Valor == CANAL_TRAPEZOIDAL && e.CurvaDescargaOriginal;
    r.OrigemChuva = FraseOrigemChuva(p);
    if (a) a->Rearmar();
    const TVerificacaoFinitos finitos(p, a ? a->SeparadorDecimal() : '.');

    const double trEspacamento = e.PeriodoRetornoEspacamento();
    {
        TPrecipitacaoExponencialNegativa chuvaEspacamento = ChuvaNoPeriodo(p, trEspacamento);
        TParHidrogramas par;
        if (!CalcularPar(p, trEspacamento, a, par)) return;
        if (CanceladoPor(a)) {
            r.Situacao = TResultadoCalculo::Cancelado;
            return;
        }
        if (a) a->DestacarEtapa(3);
        const double vibLeito = PrimeiroPlano(e.Leito).VIB();
        TResultadoEspacamento canalResultado;
        if (!NaEtapa("a propagação no canal da estrada", DADOS_CANAL, [&] {
                return e.CalcularEspacamento(chuvaEspacamento, *par.Estrada, *par.Talude, vibLeito,
                                             comprimentoCanal, a, p.Unidades.FatorErodibilidade,
                                             canalResultado);
            })) {
            r.Situacao = TResultadoCalculo::Cancelado;
            return;
        }
        finitos.Canal(canalResultado);
        // O espaçamento que a curva de descarga antiga do trapézio daria, para o relatório.
        if (compararCurvaOriginal && e.TipoCanal.Valor == CANAL_TRAPEZOIDAL &&
            !e.CurvaDescargaOriginal) {
            TSoCancelamento cancelamento(a);
            TResultadoEspacamento original;
            if (!NaEtapa("a propagação no canal da estrada", DADOS_CANAL, [&] {
                    return e.CalcularEspacamento(chuvaEspacamento, *par.Estrada, *par.Talude,
                                                 vibLeito, comprimentoCanal, &cancelamento,
                                                 p.Unidades.FatorErodibilidade, original, true);
                })) {
                r.Situacao = TResultadoCalculo::Cancelado;
                return;
            }
            if (!original.NenhumEspacamento) r.EspacamentoCurvaOriginal = original.Espacamento;
        }
        r.Canal = std::move(canalResultado);
        r.HidrogramaEstrada = std::move(*par.Estrada);
        r.HidrogramaTalude = std::move(*par.Talude);
        r.BalancoEstrada = par.BalancoEstrada;
        r.BalancoTalude = par.BalancoTalude;
    }
    r.CanalCalculado = true;

    const TBaciaAcumulacao& bacia = e.Bacia;
    if (bacia.CalcularVolume && !r.Canal.NenhumEspacamento) {
        if (a) a->IniciarDimensionamento();
        TParHidrogramas par;
        if (!CalcularPar(p, e.TrDim, a, par)) return;
        if (CanceladoPor(a)) {
            r.Situacao = TResultadoCalculo::Cancelado;
            return;
        }
        if (a) a->DestacarEtapa(3);
        const int espacamento = r.Canal.Espacamento;
        TPrecipitacaoExponencialNegativa chuvaBacia = ChuvaNoPeriodo(p, e.TrDim);
        std::unique_ptr<THidrograma> projeto;
        if (!NaEtapa("a propagação no canal da estrada para a bacia de acumulação", DADOS_CANAL,
                     [&] {
                         return e.CalcularHidrogramaProjeto(chuvaBacia, *par.Estrada, *par.Talude,
                                                            espacamento, a, projeto);
                     })) {
            r.Situacao = TResultadoCalculo::Cancelado;
            return;
        }
        projeto->Analisar(1.0);
        const double volume = projeto->IntegrarVolume();
        const double qp = projeto->VazaoMaxima;
        TResultadoBacia b;
        b.VolumePorMetro = volume / (espacamento * 1000.0);
        b.Espacamento = espacamento;
        const TDimensoesBacia d = NaEtapa("as dimensões da bacia de acumulação", DADOS_BACIA, [&] {
            return bacia.Dimensoes(qp / 1000, espacamento * b.VolumePorMetro, bacia.Profundidade);
        });
        b.VolumeEscoado = espacamento * b.VolumePorMetro;
        b.VazaoMaxima = qp;
        b.ProfundidadeCanal = d.ProfundidadeCanal;
        b.Largura = d.Largura;
        b.Raio = d.Raio;
        b.Comprimento = d.Comprimento;
        b.HidrogramaProjeto = std::move(*projeto);
        finitos.Bacia(b);
        r.Bacia = std::move(b);
    }
    r.Situacao = TResultadoCalculo::Concluido;
}

TResultadoCalculo ExecutarCalculo(TProjeto& p, int comprimentoCanal, IAcompanhamentoCalculo* a,
                                  bool compararCurvaOriginal) {
    TResultadoCalculo r;
    ExecutarCalculo(p, comprimentoCanal, a, r, compararCurvaOriginal);
    return r;
}
