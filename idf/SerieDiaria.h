#pragma once
#include "idf/AjusteIdf.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Equação IDF de um posto a partir da sua série de chuvas diárias, pelo caminho usual no
// Brasil: máximas anuais da chuva de um dia, distribuição de Gumbel, chuva de cada período de
// retorno, desagregação em durações menores pelas relações entre durações e ajuste de K, a,
// b, c (AjustarIdf, com as faixas da página de dados).

struct TData {
    int Dia = 0, Mes = 0, Ano = 0;
};

// Situação de cada dia como o portal a codifica.
enum class TStatusChuva : std::uint8_t {
    Branco = 0,
    Real = 1,
    Estimado = 2,
    Duvidoso = 3,
    Acumulado = 4
};

// Um mês da série. Um dia tem leitura quando tem valor, qualquer que seja o status: vazio é
// dia sem leitura; duvidoso (3) e acumulado (4) contam, mas são marcados na tabela dos anos.
struct TMesChuva {
    int Ano = 0, Mes = 0;
    int Nivel = 0;                                 // 1 bruto, 2 consistido
    int Linha = 0;                                 // linha do arquivo, para as mensagens
    std::array<std::optional<double>, 31> Chuva{}; // mm
    std::array<TStatusChuva, 31> Status{};
};

struct TSerieDiaria {
    std::string Estacao;                // código do posto, como no arquivo
    std::vector<std::string> Cabecalho; // linhas de texto antes da linha das colunas
    // Um por mês, em ordem: o consistido quando o mês tem os dois níveis, o bruto quando só
    // tem ele.
    std::vector<TMesChuva> Meses;
    int MesesConsistidos = 0, MesesBrutos = 0;
};

// Lê a exportação de chuvas diárias do portal de séries históricas (CSV ou TXT): linhas
// livres, a linha das colunas que começa com EstacaoCodigo;NivelConsistencia;Data (no TXT
// precedida de "//"), uma linha por posto, nível e mês, com Chuva01…Chuva31 (mm, vírgula ou
// ponto decimal, vazio sem leitura) e Chuva01Status…Chuva31Status (opcionais). As colunas
// são achadas pelo nome; as de resumo do mês (Maxima, Total…) não são lidas: valem os dias.
// ISO-8859-1 ou UTF-8 (com ou sem BOM), CR LF ou LF, linhas em qualquer ordem.
// EArquivoRecusado "Linha N…: motivo" para o que não é uma série dessas, tudo ou nada.
TSerieDiaria LerSerieDiaria(std::string_view bytes);

// Uma linha da tabela dos anos. No ano hidrológico, Ano é o ano civil em que ele começa.
struct TAnoChuva {
    int Ano = 0;
    int Meses = 0;                // meses presentes na série
    int DiasSemLeitura = 0;       // inclusive os dos meses ausentes
    int DiasDuvidosos = 0;        // com leitura e status 3
    int DiasAcumulados = 0;       // com leitura e status 4
    std::optional<double> Maxima; // mm; vazio quando não há leitura no ano
    TData DataMaxima;             // a primeira, num empate
    TStatusChuva StatusMaxima = TStatusChuva::Branco;
    bool Completo = false; // os doze meses e até DiasSemLeituraMaximo dias sem leitura
    bool Excluido = false; // deixado de fora pelo engenheiro
    bool Usado() const { return Completo && !Excluido && Maxima.has_value(); }
};

inline constexpr int DiasSemLeituraMaximo = 30;

// Todos os anos do primeiro ao último da série (os sem mês nenhum também, para que a falha
// apareça), pelo ano civil (mesInicio = 1) ou pelo hidrológico que começa em mesInicio.
// EMorvendo para mês inválido.
std::vector<TAnoChuva> MaximasAnuais(const TSerieDiaria& serie, int mesInicio = 1,
                                     const std::vector<int>& excluidos = {});

// Anos que a distribuição precisa; abaixo disso os quantis não têm sentido.
inline constexpr int AnosMinimosGumbel = 10;

// Gumbel pelo método dos momentos (desvio padrão amostral, n − 1).
struct TGumbel {
    int N = 0;
    double Media = 0, DesvioPadrao = 0;
    // F(x) = exp(−exp(−(x − Moda)/Alfa)), com os mesmos momentos.
    double Alfa = 0, Moda = 0;
    // Kolmogorov–Smirnov: maior distância entre a distribuição empírica e a ajustada.
    double Ks = 0, KsCritico = 0;
    bool KsAceito = false;
    // x̄ + K_T·s (mm).
    double Chuva(double tr) const;
};

// K_T = −(√6/π)·(0,5772 + ln ln (T/(T−1))).
double FatorFrequenciaGumbel(double tr);
// Valor crítico do teste de Kolmogorov–Smirnov a 5 % para n pontos.
double CriticoKs5(int n);
// EMorvendo com menos de AnosMinimosGumbel máximas ou com todas iguais.
TGumbel AjustarGumbel(const std::vector<double>& maximas);

// Chuva de uma duração relativa à de outra (P(Duracao) = Relacao · P(Referencia)). A
// referência ReferenciaUmDia é a chuva de um dia de observação, a das máximas anuais.
inline constexpr double ReferenciaUmDia = 0;
struct TRelacaoDuracao {
    double Duracao = 0;    // min
    double Referencia = 0; // min, ou ReferenciaUmDia
    double Relacao = 0;
};

// As relações do método das relações de durações, de 5 min a 24 h.
std::vector<TRelacaoDuracao> RelacoesDuracaoPadrao();

struct TChuvaDuracao {
    double Duracao = 0; // min
    double Chuva = 0;   // mm
};

// A chuva de cada duração da tabela, em ordem crescente de duração. EMorvendo quando a tabela
// não leva cada duração à chuva de um dia (referência ausente, ciclo, duração repetida),
// tem relação ou duração fora da faixa ou dá a uma duração menor mais chuva que a uma maior.
std::vector<TChuvaDuracao> ChuvasPorDuracao(double chuvaUmDia,
                                            const std::vector<TRelacaoDuracao>& relacoes);

// Durações que a tabela das relações precisa ter: o ajuste tem quatro parâmetros.
inline constexpr std::size_t DuracoesMinimasRelacoes = 3;

// A linha i pode sair da tabela? EMorvendo quando outra duração a tem como referência (a
// cadeia até a chuva de um dia se romperia; uma repetida da mesma duração a supre) ou quando
// ficariam menos de DuracoesMinimasRelacoes durações.
void ConferirExclusaoRelacao(const std::vector<TRelacaoDuracao>& relacoes, std::size_t i);

// A tabela numa linha, para guardar com o resultado: "1440/dia=1.14;720/1440=0.85;…" (ponto
// decimal). LerRelacoes lê de volta; EMorvendo nomeando o item ruim.
std::string TextoRelacoes(const std::vector<TRelacaoDuracao>& relacoes);
std::vector<TRelacaoDuracao> LerRelacoes(std::string_view texto);

struct TOpcoesIdfSerie {
    int MesInicioAno = 1; // 1: ano civil
    std::vector<int> AnosExcluidos;
    std::vector<TRelacaoDuracao> Relacoes = RelacoesDuracaoPadrao();
    std::vector<double> PeriodosRetorno = {2, 5, 10, 15, 20, 25, 50, 100}; // anos
};

// Períodos de retorno aceitos: de mais de 1 até este, a faixa válida da equação resultante.
inline constexpr double TrMaximoSerie = 100;

struct TChuvaRetorno {
    double Tr = 0;    // anos
    double Chuva = 0; // mm
};

struct TIdfDaSerie {
    std::string Estacao;
    TOpcoesIdfSerie Opcoes; // as usadas, para a origem do resultado
    std::vector<TAnoChuva> Anos;
    std::vector<int> AnosUsados;
    TGumbel Gumbel;
    std::vector<TChuvaRetorno> ChuvaUmDia; // um por período de retorno, em ordem
    // Intensidades (mm/h) = P(d)/d·60, por duração e depois por período de retorno.
    std::vector<TPontoIdf> Pontos;
    TResultadoAjusteIdf Ajuste;
    // O que o engenheiro deve ver antes de usar a equação (frases completas).
    std::vector<std::string> Avisos;
};

// O caminho todo. EMorvendo quando a série, as opções ou a tabela das relações não servem;
// EAjusteSemEquacao (de AjustarIdf) quando nenhuma equação dentro das faixas representa as
// intensidades.
TIdfDaSerie IdfDaSerieDiaria(const TSerieDiaria& serie, const TOpcoesIdfSerie& opcoes = {});

// A origem do resultado numa frase, para guardar com a estação: posto, anos, método,
// relações e erros do ajuste.
std::string DescricaoOrigem(const TIdfDaSerie& r);

// Linha de comando: argumentos depois de --chuva-diaria (SERIE [--excluir-anos A,B]
// [--ano-hidrologico MES]). Imprime "K=… a=… b=… c=…", "anos: …", "P1dia_mm: 2=…;…" e a
// tabela duracao_min,tr_anos,intensidade_mm_h; erros do ajuste, o teste de aderência e os
// avisos vão para a saída de erros. 0 sucesso; 1 série recusada ou insuficiente; 2 uso
// incorreto ou arquivo ilegível; 3 nenhuma equação dentro das faixas.
int IdfDaSerieLinhaDeComando(const std::vector<std::string>& argumentos, std::ostream& saida,
                             std::ostream& erros);
