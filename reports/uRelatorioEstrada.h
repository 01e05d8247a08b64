#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "project/Projeto.h"

// Relatório da estrada: um documento HTML, em Windows-1252 e numa linha só, com os dados de
// entrada, os resultados e a tabela por seção lida de Relatorio.txt.

struct TOpcoesRelatorioEstrada {
    // Pasta do programa com a barra final; as figuras são referidas a partir dela.
    std::string PastaPrograma;
    // Data de emissão, já no formato curto do sistema.
    std::string Data;
    // Tabela por seção escrita pelo cálculo do espaçamento.
    std::string ArquivoSecoes = "Relatorio.txt";
};

// Monta o documento. Erro (EMorvendo, EEntradaSaida) quando a tabela por seção falta ou
// não se lê, ou quando falta um objeto do motor.
std::string MontarRelatorioEstrada(const TProjeto& projeto, const TOpcoesRelatorioEstrada& opcoes);

// Como MontarRelatorioEstrada, mas sem erro: devolve falso e deixa o documento vazio.
bool GerarRelatorio(const TProjeto& projeto, const TOpcoesRelatorioEstrada& opcoes,
                    std::string& documento);

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
