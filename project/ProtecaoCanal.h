#pragma once
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "comum/ArquivoIni.h"
#include "engine/Revestimentos.h"
#include "project/ConfiguracaoProtecao.h"
#include "project/Estudos.h"

// Proteção do canal: o mesmo canal e a mesma chuva com o solo exposto (o cálculo de sempre),
// gramado, com manta, com enrocamento e com concreto, lado a lado, com o custo por quilômetro
// de cada um e a mais barata que atende.

enum class TAlternativaProtecao { SoloExposto, Grama, Manta, Enrocamento, Concreto };
constexpr int ALTERNATIVAS_PROTECAO = 5;

const std::vector<TAlternativaProtecao>& AlternativasProtecao();
// "solo_exposto", "grama", …: a coluna alternativa do CSV e as linhas do CSV de custos.
const char* NomeAlternativa(TAlternativaProtecao a);
// "Solo exposto", "Grama", …: como a página e o relatório a chamam.
const char* RotuloAlternativa(TAlternativaProtecao a);

// O que limita o espaçamento de uma alternativa.
enum class TLimiteEspacamento {
    Nenhum,           // o canal inteiro sem desaguadouro no meio
    PerdaSolo,        // a perda tolerável do solo
    Capacidade,       // a lâmina com a borda livre
    TensaoAdmissivel, // a tensão admissível da manta
};

struct TResultadoAlternativa {
    TAlternativaProtecao Alternativa = TAlternativaProtecao::SoloExposto;
    bool Ok = false;
    std::string Erro;
    bool NenhumEspacamento = false;
    int Espacamento = 0; // m; o comprimento do canal quando nenhum desaguadouro é preciso
    TLimiteEspacamento Limite = TLimiteEspacamento::Nenhum;
    double DesaguadourosPorKm = 0; // cada um com a sua bacia
    double Rugosidade = 0;         // n do cálculo
    // Na seção do espaçamento, no pico.
    double Lamina = 0;        // cm
    double Velocidade = 0;    // m/s
    double TensaoProjeto = 0; // Pa, γ·S·y sobre o revestimento
    // Pa: a que chega ao solo (solo exposto e grama) ou ao revestimento (os outros).
    double TensaoEfetiva = 0;
    std::optional<double> TensaoAdmissivel; // Pa, do revestimento
    std::optional<double> FatorTensao;      // τe/τd da grama
    std::optional<double> D50;              // m, do enrocamento
    bool CapacidadeOk = false;
    // O revestimento aguenta a tensão de projeto; senão, até onde ele aguenta (m).
    bool Resiste = true;
    int ResisteAte = 0;
    std::optional<double> CustoPorKm; // R$/km
    bool Atende = false;
    bool MaisBarata = false;
};

struct TResultadoProtecao {
    int Comprimento = 0;     // m
    double Declividade = 0;  // m/m
    double LaminaMaxima = 0; // cm: a profundidade do canal menos a borda livre
    std::vector<TResultadoAlternativa> Alternativas;
};

// Calcula as alternativas para o canal do projeto ou, com 'trecho', para um trecho da estrada
// (o seu comprimento e a sua declividade). EMorvendo quando os dados não servem ou o cálculo do
// solo exposto falha (sem ele não há vazões); uma outra alternativa que falhe leva a mensagem
// na sua linha.
TResultadoProtecao ExecutarProtecao(const TArquivoIni& projeto, const TConfiguracaoProtecao& c,
                                    const std::optional<TTrecho>& trecho = std::nullopt,
                                    unsigned linhas = 1, IAndamentoLote* andamento = nullptr,
                                    const TCancelamentoLote* cancelamento = nullptr);

// "perda de solo", "capacidade", "tensão admissível" ou "nada: o canal todo".
const char* TextoLimite(TLimiteEspacamento limite);
// "a mais barata que atende", "atende" ou "não atende", com os motivos e o que mais a linha
// tem a dizer (a grama que se rompe, a lâmina acima da capacidade, o D50 da pedra).
std::string SituacaoAlternativa(const TResultadoAlternativa& r, double laminaMaxima,
                                char separadorDecimal);

// O CSV da linha de comando: alternativa,espacamento_m,desaguadouros_por_km,
// tensao_efetiva_max_Pa,lamina_cm,velocidade_m_s,capacidade_ok,custo_por_km (ponto decimal,
// precisão completa; campos vazios sem espaçamento ou sem custo; capacidade_ok 1 ou 0).
std::string CsvProtecao(const TResultadoProtecao& r);
