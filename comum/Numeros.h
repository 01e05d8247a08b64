#pragma once
#include <optional>
#include <string>
#include <string_view>

// Formatação e leitura de números no estilo dos campos e arquivos do programa.

// Forma geral: até 15 algarismos significativos, sem zeros à direita; notação científica
// ("1E-6", "1,5E20") quando o expoente decimal é menor que -5 ou pelo menos 15.
std::string FloatToStr(double valor, char separadorDecimal = '.');

// Máscaras do tipo "0.0######", "0.0#", "#,##0.0##", "####.000", " 0.00", "00", "0":
// '0' algarismo obrigatório, '#' opcional, '.' posição do separador decimal, ',' na parte
// inteira liga o separador de milhar; outros caracteres são literais. Arredondamento
// decimal "meio para longe do zero" sobre 18 algarismos significativos.
std::string FormatFloat(std::string_view mascara, double valor, char separadorDecimal = '.',
                        char separadorMilhar = '.');

// Conversão estrita de texto em real com o separador dado (espaços nas pontas aceitos,
// sinal, expoente E). std::nullopt quando o texto não é um número.
std::optional<double> TentarTextoParaReal(std::string_view texto, char separadorDecimal = '.');

// Padrão quando o texto está vazio; erro "'%s' não é um número válido" quando não é número.
double TextoParaReal(std::string_view texto, double padrao, char separadorDecimal = '.');

// Valor formatado com a máscara quando diferente de zero; texto vazio para zero.
std::string FormatarNaoNulo(std::string_view mascara, double valor, char separadorDecimal = '.');

// Menor texto com ponto decimal que, lido de volta, dá o mesmo double: para scripts e CSV.
std::string RealExato(double valor);

// Arredonda para o inteiro mais próximo, empates para o par (como o Round do programa).
long long Arredondar(double valor);
