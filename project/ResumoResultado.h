#pragma once
#include <string>
#include <vector>

#include "engine/CanalEstrada.h"
#include "engine/Hidrograma.h"
#include "project/Calculo.h"

// O resultado dito em palavras e levado para planilhas: o que a página de resultados mostra
// além dos números dos campos.

// Períodos de retorno (anos) das duas chuvas do cálculo.
double PeriodoRetornoEspacamento(const TCanalEstrada& canal);
std::string TextoPeriodoRetorno(double anos, char separadorDecimal);

// Parágrafos do resumo: se o canal digitado precisa de desaguadouros, o espaçamento, a margem
// entre a perda estimada e a tolerável, o volume até o desaguadouro, a bacia; os avisos de
// AvisosDoResultado ficam de fora (quem mostra os destaca).
std::vector<std::string> ResumoDoResultado(const TCanalEstrada& canal, int comprimentoCanal,
                                           const TResultadoCalculo& resultado,
                                           char separadorDecimal);

// Um hidrograma do resultado com o nome e a chuva que o produziu.
struct TSerieHidrograma {
    std::string Nome;       // "Leito da estrada"
    std::string Chuva;      // "chuva do espaçamento, período de retorno de 5 anos"
    std::string NomeCurto;  // para a legenda de um gráfico: "Leito"
    std::string ChuvaCurta; // "chuva do espaçamento, retorno de 5 anos"
    std::string Unidade;    // da vazão
    bool PorMetro = false;  // L/s por metro de largura (encostas) ou L/s (canal)
    const std::vector<TPontoHidrograma>* Pontos = nullptr;
};

// Leito, área externa (fora da seção 3) e, com a bacia calculada, a saída do canal no
// espaçamento na chuva de dimensionamento.
std::vector<TSerieHidrograma> SeriesHidrogramas(const TCanalEstrada& canal,
                                                const TResultadoCalculo& resultado,
                                                char separadorDecimal);

// Planilhas em UTF-8 com BOM, ';' entre os campos e vírgula decimal (o costume das planilhas
// no Brasil), CR LF. Os números saem com o menor texto que, lido de volta, dá o mesmo double.
extern const char* const CABECALHO_CSV_SECOES;
std::string CsvSecoes(const std::vector<TLinhaSecao>& secoes);
// Um par de colunas (tempo, vazão) por hidrograma, lado a lado; as colunas de um hidrograma
// mais curto ficam vazias no fim.
std::string CsvHidrogramas(const std::vector<TSerieHidrograma>& series);
// Número como na planilha: o menor texto exato, com vírgula decimal.
std::string RealCsv(double valor);
