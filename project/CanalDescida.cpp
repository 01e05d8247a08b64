#include "project/CanalDescida.h"

#include <memory>

THidrogramasPlanos CalcularHidrogramasPlanos(TProjeto& projeto, double tr, bool areaExterna,
                                             IAcompanhamentoCalculo* acomp) {
    TParHidrogramas par;
    CalcularPlanos(projeto, tr, areaExterna, acomp, par);
    THidrogramasPlanos planos;
    planos.Tr = tr;
    if (par.Estrada) planos.Estrada = std::move(*par.Estrada);
    if (par.Talude) planos.Talude = std::move(*par.Talude);
    return planos;
}

bool CalcularDescida(const TProjeto& projeto, const THidrogramasPlanos& planos,
                     const std::vector<TPecaCanal>& pecas, TPedidoCanal pedido,
                     IAcompanhamento* acomp, TResultadoDescida& resultado,
                     double fatorTensaoEfetiva) {
    resultado = TResultadoDescida{};
    // A infiltração depois da entrada lê a chuva: uma cópia por chamada, no período de
    // retorno dos planos.
    TPrecipitacaoExponencialNegativa chuva = ChuvaNoPeriodo(projeto, planos.Tr);
    TResultadoEspacamento canal;
    std::unique_ptr<THidrograma> saida;
    const bool ok = CalcularCanalEmPecas(projeto, chuva, planos.Estrada, planos.Talude, pecas,
                                         pedido, fatorTensaoEfetiva, acomp, canal, saida);
    resultado.PerdaToleravel = canal.PerdaToleravel;
    resultado.Secoes = std::move(canal.Secoes);
    resultado.Balanco = canal.Balanco;
    if (saida) resultado.Saida = std::move(*saida);
    return ok;
}
