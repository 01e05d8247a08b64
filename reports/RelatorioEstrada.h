#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "project/Calculo.h"
#include "project/Projeto.h"
#include "project/ProtecaoCanal.h"

// Relatório da estrada: um documento HTML, em Windows-1252 e numa linha só, com a
// identificação e os dados de entrada do projeto, os resultados do cálculo com os avisos, os
// gráficos em SVG embutido e a tabela por seção. A janela e a linha de comando usam o mesmo
// documento.

struct TOpcoesRelatorioEstrada {
    // Pasta do programa com a barra final; as figuras são referidas a partir dela.
    std::string PastaPrograma;
    // Data de emissão, já no formato curto do sistema.
    std::string Data;
    // As alternativas de proteção do canal do projeto, quando pedidas: a sua tabela vem depois
    // dos resultados.
    const TResultadoProtecao* Protecao = nullptr;
};

// Monta o documento com os dados do projeto e os resultados do cálculo. Erro (EMorvendo)
// quando falta um objeto do motor.
std::string MontarRelatorioEstrada(const TProjeto& projeto, const TResultadoCalculo& resultado,
                                   const TOpcoesRelatorioEstrada& opcoes);

// Como MontarRelatorioEstrada, mas sem erro: devolve falso e deixa o documento vazio.
bool GerarRelatorio(const TProjeto& projeto, const TResultadoCalculo& resultado,
                    const TOpcoesRelatorioEstrada& opcoes, std::string& documento);

// Os gráficos do relatório, cada um um documento <svg>: perda de solo ao longo do canal,
// tensão e lâmina ao longo do canal, hidrogramas.
std::vector<std::string> GraficosRelatorioEstrada(const TProjeto& projeto,
                                                  const TResultadoCalculo& resultado);

// Valor de entrada com os algarismos com que foi digitado: o texto mais curto (até 15
// algarismos) que reproduz o valor guardado, com vírgula decimal.
std::string ValorDigitado(double valor);

// Texto vindo de arquivo posto no conteúdo do HTML: '&', '<' e '>' viram entidades, para
// que um projeto não injete marcação nem referências a arquivos; o resto (acentos, as aspas
// das coordenadas) passa igual.
std::string EscaparHtml(std::string_view texto);

// Número com a máscara dada e vírgula decimal, qualquer que seja o separador do sistema.
std::string DecimalRelatorio(const char* mascara, double valor);
