#pragma once
#include <string>

#include "comum/ArquivoIni.h"

// Separador decimal das configurações regionais do usuário ("." na linha de comando): grava os
// reais dos arquivos de projeto e de configuração e formata números em mensagens do motor.
// A leitura dos arquivos aceita os dois separadores.
char SeparadorDecimalLocal();
void DefinirSeparadorDecimalLocal(char separador);

inline void GravarReal(TArquivoIni& ini, const std::string& secao, const char* chave, double v) {
    ini.EscreverReal(secao, chave, v, SeparadorDecimalLocal());
}

// Limites dos valores lidos de um projeto (e digitados): cada nó e cada célula custa memória
// e tempo, e um comprimento absurdo num arquivo não pode levar o cálculo a gigabytes.
constexpr long COMPRIMENTO_MAXIMO_CANAL = 100000; // m
constexpr long COMPRIMENTO_MAXIMO_PLANO = 10000;  // m
constexpr long TRECHOS_MAXIMOS_ENCOSTA = 255;     // o número de trechos tem 8 bits

// Erro de um valor do arquivo fora da faixa, com o campo como a tela o chama e a faixa.
[[noreturn]] void ValorForaDaFaixaNoArquivo(const std::string& campo, long long valor,
                                            const std::string& faixa);
