#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/uAcompanhamento.h"
#include "engine/uBaciaAcumulacao.h"
#include "engine/uCanalCinematico.h"
#include "engine/uEncostaCinematica.h"
#include "engine/uHidrograma.h"
#include "reports/RelatorioTexto.h"

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

    // Propaga as contribuições laterais pelo canal. Devolve falso quando cancelado; o
    // hidrograma da saída fica em 'saida'.
    bool CalcularHidrogramaCanal(bool dimensionamento, double vibEstrada,
                                 const THidrograma& hEstrada, const THidrograma& hTalude,
                                 TPrecipitacao& chuva, IAcompanhamento* acomp,
                                 std::unique_ptr<THidrograma>& saida);

    // Cálculo do espaçamento: propagação, perda de solo por seção e tabela de texto.
    bool CalcularEspacamento(TPrecipitacao& chuva, const THidrograma& hEstrada,
                             const THidrograma& hTalude, double vibEstrada,
                             IAcompanhamento* acomp, double fatorErodibilidade);

    // Hidrograma de projeto de um desaguadouro (o chamador põe Comprimento = Espacamento).
    bool CalcularHidrogramaProjeto(TPrecipitacao& chuva, const THidrograma& hEstrada,
                                   const THidrograma& hTalude, IAcompanhamento* acomp,
                                   std::unique_ptr<THidrograma>& saida);

    const TSecaoCanal& No(std::size_t i) const { return FNos.at(i); }
    std::size_t NumNos() const { return FNos.size(); }

    TEncostaCinematicaSecoes Estrada;
    TEncostaCinematicaSecoes Talude;
    TBaciaAcumulacao Bacia;

    bool Cancelado = false;
    double PerdaSolo = 0;
    double PerdaToleravel = 0;
    double Aprofundamento = 0;
    double TalCritica = 0;
    double Erodibilidade = 0;
    double Densidade = 0;
    double TensaoMax = 0;
    double QMax = 0;
    double Volume = 0;
    int IndSecao = 1;
    int Espacamento = 0;
    double TrDim = 0;
    double TrEsp = 0;
    bool Equivalente = false;

    // Estado da propagação.
    double Alfa = 0;
    double Expoente = 0;
    double GamaS = 0;
    double Dt = 0.2;
    double ProfundidadeCritica = 0;

    // Tabela de resultados por seção escrita pelo cálculo do espaçamento.
    std::string ArquivoRelatorio = "Relatorio.txt";
    // As mesmas linhas em precisão completa, do último cálculo do espaçamento.
    std::vector<TLinhaRelatorioTexto> Secoes;

private:
    void FixarCoberturaEstrada();
    void AjustarCurvaDescarga();

    std::vector<TSecaoCanal> FNos;
    // Integral da tensão excedente de cada nó, acumulada durante a propagação: a mesma soma,
    // na mesma ordem, que a da lista de lâminas acima da crítica, sem guardar a lista.
    struct TAcumuloNo {
        double UltimaLamina = 0;
        double Soma = 0;
        bool TemLamina = false;
    };
    std::vector<TAcumuloNo> FAcumulos;
};

// Fixa a cobertura do leito da estrada: sem cultivo, fileiras retas, sem condição.
void FixarCoberturaLeito(TEncostaCinematica& plano);
