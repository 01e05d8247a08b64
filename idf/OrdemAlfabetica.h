#pragma once
#include <string_view>

// Ordem alfabética dos nomes de estações e localidades nas listas e nos arquivos de dados.
// Primeiro nível: letras sem acento e sem caixa (ç como c, æ como ae), com espaços e
// pontuação antes dos algarismos e estes antes das letras; depois os acentos, depois a
// caixa (minúscula antes) e por fim os bytes, para que a ordem seja total e reprodutível.
// Textos em UTF-8; negativo, zero ou positivo como strcmp.
int CompararNomes(std::string_view a, std::string_view b);

inline bool NomeAntes(std::string_view a, std::string_view b) {
    return CompararNomes(a, b) < 0;
}
