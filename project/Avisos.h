#pragma once
#include <string>
#include <vector>

#include "engine/PerdaSolo.h"
#include "engine/uCanalEstrada.h"
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

// Todos os avisos que se aplicam ao resultado do canal, na ordem em que são mostrados.
std::vector<std::string> AvisosDoResultado(const TProjeto& projeto,
                                           const TResultadoCalculo& resultado,
                                           char separadorDecimal);
