#pragma once
#include <string>
#include <string_view>

// Conversão entre UTF-8 (memória) e Windows-1252 (arquivos do sistema).
namespace win1252 {

// UTF-8 -> Windows-1252. Caracteres sem representação viram '?'; UTF-8 malformado também.
std::string DeUtf8(std::string_view utf8);

// Windows-1252 -> UTF-8. Os cinco bytes indefinidos (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// passam para U+0081 etc., como faz o Windows, para que nada se perca na volta.
std::string ParaUtf8(std::string_view cp1252);

// Verdadeiro quando o texto UTF-8 é representável em Windows-1252 sem perdas.
bool Representavel(std::string_view utf8);

} // namespace win1252
