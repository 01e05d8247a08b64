#pragma once
#include <string>
#include <vector>

#include "engine/CanalEstrada.h"
#include "engine/PerdaSolo.h"
#include "idf/ReferenciasIdf.h"
#include "project/Calculo.h"
#include "project/CamposProjeto.h"
#include "reports/RelatorioTexto.h"

// Avisos sobre os limites do método e sobre dados que calculam mas dificilmente são o que o
// engenheiro quis digitar: nunca impedem o cálculo, vão junto com o resultado.

// Seções consecutivas, dentro do espaçamento, cuja perda passa da tolerável: o espaçamento é
// a seção mais distante que passa, e a perda pode subir acima do limite e descer de novo.
struct TFaixaAcimaDaToleravel {
    int Inicio = 0, Fim = 0; // seções (m)
    int SecaoMaxima = 0;
    double PerdaMaxima = 0; // g/cm²
};

std::vector<TFaixaAcimaDaToleravel>
FaixasAcimaDaToleravel(const std::vector<TLinhaRelatorioTexto>& secoes, double perdaToleravel,
                       int espacamento);

// A frase do aviso (contém "excede a perda tolerável"); vazia quando não há faixas.
std::string AvisoPerdaAcimaDaToleravel(const std::vector<TFaixaAcimaDaToleravel>& faixas,
                                       double perdaToleravel, char separadorDecimal);

// Um aviso por dado aplicável ao projeto mais de 3 vezes abaixo ou acima da faixa típica da
// ajuda (quase sempre erro de digitação ou de unidade), com o valor, a faixa e a unidade como a
// tela os mostra.
std::vector<std::string> AvisosForaDaFaixaTipica(const TProjeto& projeto, char separadorDecimal);

// Aviso quando nem o leito nem a área externa escoam na chuva do espaçamento; vazio se não.
std::string AvisoSemEscoamento(const TProjeto& projeto, const TResultadoCalculo& resultado);

// Aviso quando o espaçamento é o próprio comprimento calculado; vazio se não.
std::string AvisoEspacamentoNoComprimento(const TResultadoEspacamento& resultado);

// Durações (min) da chuva de projeto sobre o leito e, na seção com área externa, sobre ela,
// com a equação dada e o período de retorno do espaçamento: o tempo em que a chuva passa da
// infiltração estável de cada um.
std::vector<double> DuracoesChuvaDoProjeto(const TProjeto& projeto, double K, double a, double b,
                                           double c);

// Aviso quando a chuva de projeto dura, sobre o leito ou a área externa, mais ou menos do que
// a faixa de durações da estação de onde veio a equação; vazio se não.
std::string AvisoDuracaoForaDaFaixa(const TProjeto& projeto, const TInfoEstacaoIdf& estacao);

// Aviso quando o período de retorno do espaçamento ou o do dimensionamento (com a bacia
// calculada) fica fora da faixa em que a equação da estação vale; vazio se não.
std::string AvisoPeriodoRetornoForaDaFaixa(const TProjeto& projeto, const TInfoEstacaoIdf& estacao,
                                           char separadorDecimal);

// Aviso quando o período de retorno do espaçamento ou o do dimensionamento (com a bacia
// calculada) passa do dobro dos anos da série de chuvas diárias de que a equação da estação foi
// ajustada: a chuva dele é extrapolação da distribuição. Vazio se não, ou quando a estação não
// veio de uma série.
std::string AvisoPeriodoRetornoAlemDaSerie(const TProjeto& projeto, const TInfoEstacaoIdf& estacao,
                                           char separadorDecimal);

// Aviso da chuva interpolada de estações perto do raio da interpolação (a mais próxima além de
// três quartos dele): a equação pouco representa o lugar. Vazio se não.
std::string AvisoInterpolacaoPertoDoRaio(const TProjeto& projeto, char separadorDecimal);

// Aviso do canal trapezoidal calculado com a curva de descarga antiga; vazio se não.
std::string AvisoCurvaDescargaOriginal(const TProjeto& projeto, const TResultadoCalculo& resultado);

enum class TGravidadeAviso {
    Atencao, // o resultado vale, mas pede uma conferência ou uma decisão
    Grave    // o resultado não serve ao projeto como está
};

// Um aviso: identificador estável (para scripts), gravidade e a frase.
struct TAviso {
    std::string Id;
    TGravidadeAviso Gravidade = TGravidadeAviso::Atencao;
    std::string Texto;
    bool operator==(const TAviso&) const = default;
};

// "atencao" ou "grave".
const char* TextoGravidade(TGravidadeAviso gravidade);

// A lista única de avisos de um cálculo, na ordem em que são mostrados: a janela, o relatório,
// a linha de comando, o JSON e os estudos imprimem esta, cada um no seu separador decimal.
std::vector<TAviso> AvisosDoResultado(const TProjeto& projeto, const TResultadoCalculo& resultado,
                                      char separadorDecimal);

// Os avisos dos dados, da chuva e da curva de descarga, que valem para qualquer canal do
// projeto (a locação dos desaguadouros ao longo da estrada os mostra uma vez só), na ordem da
// lista acima.
std::vector<TAviso> AvisosDosDados(const TProjeto& projeto, char separadorDecimal);

// Só as frases, na mesma ordem.
std::vector<std::string> TextosAvisos(const std::vector<TAviso>& avisos);
