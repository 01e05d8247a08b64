#pragma once
// O canal da estrada com o leito, a área externa e a bacia: o projeto que o motor calcula.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/Acompanhamento.h"
#include "engine/BaciaAcumulacao.h"
#include "engine/EncostaCinematica.h"
#include "engine/Hidrograma.h"
#include "engine/NoCanal.h"
#include "engine/PerdaSolo.h"
#include "engine/PropagacaoCanal.h"

class TPrecipitacao;

// Uma peça do canal no sentido da água: metros inteiros, declividade (m/m, 0 < S ≤ 1) e se
// recebe a área externa (seção em corte) além do leito.
struct TPecaCanal {
    int Comprimento = 0;
    double Declividade = 0;
    bool AreaExterna = true;
};

// Canal da estrada: o motor do cálculo do espaçamento entre desaguadouros.
class TCanalEstrada : public TCanalGradiente {
public:
    explicit TCanalEstrada(const std::string& nome);

    void Limpar() override;
    bool Ler(TArquivoIni& ini) override;
    bool Gravar(TArquivoIni& ini) override;

    // Período de retorno equivalente de TrEsp.
    double TempoRetornoEquivalente() const;
    // O período de retorno do cálculo do espaçamento: TrEsp, ou o seu equivalente quando pedido.
    double PeriodoRetornoEspacamento() const {
        return Equivalente ? TempoRetornoEquivalente() : TrEsp;
    }

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

    // Canal que começa seco e segue as peças em sequência, um nó por metro, cada uma com a sua
    // declividade no lugar de Sc (o α da curva segue √S, a tensão e a lâmina crítica usam a
    // declividade do nó) e com ou sem o hidrograma da área externa. Uma peça só, com Sc e a
    // área externa, dá o cálculo do espaçamento. Com 'acumularTensao', a perda de cada seção e
    // o espaçamento; sem ela, só a propagação (seções vazias). 'fatorTensaoEfetiva' multiplica
    // γS só na tensão excedente que erode. O hidrograma da saída fica em 'saida'. Erro
    // (EMorvendo) para peça de menos de 1 m, declividade fora de (0, 1] m/m ou canal
    // acima do limite de comprimento. Devolve falso quando cancelado.
    bool CalcularCanalEmPecas(TPrecipitacao& chuva, const THidrograma& hEstrada,
                              const THidrograma& hTalude, double vibEstrada,
                              const std::vector<TPecaCanal>& pecas, TPedidoCanal pedido,
                              double fatorErodibilidade, double fatorTensaoEfetiva,
                              IAcompanhamento* acomp, TResultadoEspacamento& resultado,
                              std::unique_ptr<THidrograma>& saida) const;

    // Hidrograma de projeto de um desaguadouro: o canal com o comprimento do espaçamento.
    bool CalcularHidrogramaProjeto(TPrecipitacao& chuva, const THidrograma& hEstrada,
                                   const THidrograma& hTalude, int espacamento,
                                   IAcompanhamento* acomp,
                                   std::unique_ptr<THidrograma>& saida) const;

    TPlanosEncosta Leito;       // o leito da estrada
    TPlanosEncosta AreaExterna; // a área externa (o talude de corte) que drena para o canal
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
    // Prepara os dados (tolerável, γS, lâmina crítica, curva de descarga) e propaga. Com
    // 'pecas', os trechos de declividade própria no lugar de 'comprimento' e Sc.
    bool Propagar(bool dimensionamento, int comprimento, double vibEstrada,
                  const THidrograma& hEstrada, const THidrograma& hTalude, TPrecipitacao& chuva,
                  IAcompanhamento* acomp, bool curvaDescargaOriginal, TDadosPropagacao& dados,
                  double& perdaToleravel, TResultadoPropagacao& resultado,
                  const std::vector<TPecaCanal>* pecas = nullptr) const;
    // A perda de cada seção e o espaçamento a partir de uma propagação.
    bool PerdaDaPropagacao(const TDadosPropagacao& dp, double toleravel, double fatorErodibilidade,
                           TResultadoPropagacao& propagacao, IAcompanhamento* acomp,
                           TResultadoEspacamento& r) const;
};

// Fixa a cobertura do leito da estrada: sem cultivo, fileiras retas, sem condição.
void FixarCoberturaLeito(TEncostaCinematica& plano);
