#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/PerdaSolo.h"
#include "engine/PropagacaoCanal.h"
#include "engine/uAcompanhamento.h"
#include "engine/uBaciaAcumulacao.h"
#include "engine/uCanalCinematico.h"
#include "engine/uEncostaCinematica.h"
#include "engine/uHidrograma.h"

class TPrecipitacao;

// Canal da estrada: o motor do cálculo do espaçamento entre desaguadouros.
class TCanalEstrada : public TCanalCinematicoCustom {
public:
    explicit TCanalEstrada(const std::string& nome);

    void Limpar() override;
    bool Ler(TArquivoIni& ini) override;
    bool Gravar(TArquivoIni& ini) override;

    // Período de retorno equivalente de TrEsp.
    double TempoRetornoEquivalente() const;

    // Propaga as contribuições laterais por um canal de 'comprimento' metros. Devolve falso
    // quando cancelado; o hidrograma da saída fica em 'saida'.
    bool CalcularHidrogramaCanal(bool dimensionamento, int comprimento, double vibEstrada,
                                 const THidrograma& hEstrada, const THidrograma& hTalude,
                                 TPrecipitacao& chuva, IAcompanhamento* acomp,
                                 std::unique_ptr<THidrograma>& saida) const;

    // Cálculo do espaçamento num canal de 'comprimento' metros: propagação, perda de solo
    // por seção e espaçamento. Devolve falso quando cancelado.
    bool CalcularEspacamento(TPrecipitacao& chuva, const THidrograma& hEstrada,
                             const THidrograma& hTalude, double vibEstrada, int comprimento,
                             IAcompanhamento* acomp, double fatorErodibilidade,
                             TResultadoEspacamento& resultado,
                             std::optional<bool> curvaDescargaOriginal = std::nullopt) const;

    // Hidrograma de projeto de um desaguadouro: o canal com o comprimento do espaçamento.
    bool CalcularHidrogramaProjeto(TPrecipitacao& chuva, const THidrograma& hEstrada,
                                   const THidrograma& hTalude, int espacamento,
                                   IAcompanhamento* acomp,
                                   std::unique_ptr<THidrograma>& saida) const;

    TEncostaCinematicaSecoes Estrada;
    TEncostaCinematicaSecoes Talude;
    TBaciaAcumulacao Bacia;

    double Aprofundamento = 0;
    double TalCritica = 0;
    double Erodibilidade = 0;
    double Densidade = 0;
    int IndSecao = 1;
    double TrDim = 0;
    double TrEsp = 0;
    bool Equivalente = false;
    // Curva de descarga do trapézio ajustada em 0,2 a 5 m, para reproduzir projetos antigos;
    // falso: a relação exata de Manning.
    bool CurvaDescargaOriginal = false;

private:
    void FixarCoberturaEstrada();
    // Prepara os dados (tolerável, γS, lâmina crítica, curva de descarga) e propaga.
    bool Propagar(bool dimensionamento, int comprimento, double vibEstrada,
                  const THidrograma& hEstrada, const THidrograma& hTalude, TPrecipitacao& chuva,
                  IAcompanhamento* acomp, bool curvaDescargaOriginal, TDadosPropagacao& dados,
                  double& perdaToleravel, TResultadoPropagacao& resultado) const;
};

// Fixa a cobertura do leito da estrada: sem cultivo, fileiras retas, sem condição.
void FixarCoberturaLeito(TEncostaCinematica& plano);
