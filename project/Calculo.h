#pragma once
#include <cstddef>
#include <optional>
#include <string>

#include "engine/uAcompanhamento.h"
#include "project/Projeto.h"

// Acompanhamento de um cálculo completo: o da janela de andamento.
class IAcompanhamentoCalculo : public IAcompanhamento {
public:
    // 1 leito da estrada, 2 área externa, 3 canal.
    virtual void DestacarEtapa(int /*etapa*/) {}
    virtual void MostrarTempoEstrada(const std::string& /*tempo*/) {}
    virtual void MostrarTempoTalude(const std::string& /*tempo*/) {}
    // Início do dimensionamento da bacia: novo título, campos vazios, barra em zero.
    virtual void IniciarDimensionamento() {}
};

struct TResumoHidrograma {
    std::size_t Pontos = 0;
    double VazaoMaxima = 0;
    double Volume = 0;
};

// Valores do grupo da bacia, antes de arredondar.
struct TResultadoBacia {
    double VolumeEscoado = 0;
    double VazaoMaxima = 0;
    double ProfundidadeCanal = 0;
    double Largura = 0;
    double Raio = 0;
    double Comprimento = 0;
};

struct TResultadoCalculo {
    enum TSituacao { Concluido, Cancelado, SemResultado };
    TSituacao Situacao = SemResultado;
    // Os resultados do canal estão no motor (Espacamento, PerdaSolo, ...).
    bool CanalCalculado = false;
    TResumoHidrograma HidrogramaEstrada;
    TResumoHidrograma HidrogramaTalude;
    std::optional<TResultadoBacia> Bacia;
};

// O cálculo completo depois de lidos e verificados os dados: hidrogramas do período de
// retorno do espaçamento, espaçamento com a tabela de texto e, se pedido, o dimensionamento
// da bacia. O comprimento do canal é o digitado pelo usuário.
TResultadoCalculo ExecutarCalculo(TProjeto& projeto, int comprimentoCanal,
                                  IAcompanhamentoCalculo* acompanhamento);
