#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "project/Calculo.h"
#include "project/Projeto.h"

// Relatório da estrada: um documento HTML, em Windows-1252 e numa linha só, com os dados de
// entrada do projeto, os resultados do cálculo e a tabela por seção.

struct TOpcoesRelatorioEstrada {
    // Pasta do programa com a barra final; as figuras são referidas a partir dela.
    std::string PastaPrograma;
    // Data de emissão, já no formato curto do sistema.
    std::string Data;
};

// Monta o documento com os dados do projeto e os resultados do cálculo. Erro (EMorvendo)
// quando falta um objeto do motor.
std::string MontarRelatorioEstrada(const TProjeto& projeto, const TResultadoCalculo& resultado,
                                   const TOpcoesRelatorioEstrada& opcoes);

// Como MontarRelatorioEstrada, mas sem erro: devolve falso e deixa o documento vazio.
bool GerarRelatorio(const TProjeto& projeto, const TResultadoCalculo& resultado,
                    const TOpcoesRelatorioEstrada& opcoes, std::string& documento);

// Durações (min) da chuva de projeto sobre o leito e o talude com a equação dada e o período
// de retorno do espaçamento: o tempo em que a chuva passa da infiltração estável de cada um.
std::vector<double> DuracoesChuvaDoProjeto(const TProjeto& projeto, double K, double a, double b,
                                           double c);

// Texto vindo de arquivo posto no conteúdo do HTML: '&', '<' e '>' viram entidades, para
// que um projeto não injete marcação nem referências a arquivos; o resto (acentos, as aspas
// das coordenadas) passa igual.
std::string EscaparHtml(std::string_view texto);

// Número com a máscara dada e vírgula decimal, qualquer que seja o separador do sistema.
std::string DecimalRelatorio(const char* mascara, double valor);
