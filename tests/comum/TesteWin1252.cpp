#include "comum/Win1252.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using namespace std::literals;

TEST(Win1252, TodosOsBytesVoltamIguais) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = win1252::ParaUtf8(byte);
        EXPECT_TRUE(win1252::Representavel(utf8)) << b;
        EXPECT_EQ(win1252::DeUtf8(utf8), byte) << b;
    }
}

TEST(Win1252, Faixa80A9FEOutrosParaUtf8) {
    const std::pair<char, const char*> casos[] = {
        {'\x80', "€"},      {'\x82', "‚"},      {'\x83', "ƒ"},      {'\x85', "…"},
        {'\x8A', "Š"},      {'\x8C', "Œ"},      {'\x8E', "Ž"},      {'\x91', "‘"},
        {'\x94', "”"},      {'\x96', "–"},      {'\x97', "—"},      {'\x98', "˜"},
        {'\x99', "™"},      {'\x9C', "œ"},      {'\x9F', "Ÿ"},      {'\x81', "\u0081"},
        {'\x8D', "\u008D"}, {'\x8F', "\u008F"}, {'\x90', "\u0090"}, {'\x9D', "\u009D"},
        {'\xA0', "\u00A0"}, {'\xB0', "°"},      {'\xE7', "ç"},      {'\xFF', "ÿ"},
    };
    for (const auto& [byte, utf8] : casos)
        EXPECT_EQ(win1252::ParaUtf8(std::string(1, byte)), utf8) << utf8;
}

TEST(Win1252, DeUtf8TrocaOQueNaoCabePorInterrogacao) {
    const std::pair<std::string_view, std::string_view> casos[] = {
        {"Viçosa", "Vi\xE7osa"},
        {"20°45'14\"", "20\xB0"
                       "45'14\""},
        {"€ 5", "\x80 5"},
        {"日本", "??"},
        {"a😀b", "a?b"},
        {"\u0080", "?"}, // o byte 0x80 é o euro
        {"\u0100", "?"},
        {"\xC3", "?"},                // truncado
        {"\xC3(", "?("},              // continuação inválida
        {"\x80x", "?x"},              // continuação solta
        {"\xC0\xAF", "??"},           // forma longa
        {"\xED\xA0\x80", "???"},      // substituto
        {"\xF4\x90\x80\x80", "????"}, // acima de U+10FFFF
        {"\xFF\xFE", "??"},
        {"a\0b"sv, "a\0b"sv},
    };
    for (const auto& [utf8, esperado] : casos)
        EXPECT_EQ(win1252::DeUtf8(utf8), esperado);
}

TEST(Win1252, Representavel) {
    EXPECT_TRUE(win1252::Representavel(""));
    EXPECT_TRUE(win1252::Representavel("Ação? “sim” – 10 €"));
    EXPECT_FALSE(win1252::Representavel("São Paulo 日"));
    EXPECT_FALSE(win1252::Representavel("\xC3"));
}

// Sequências cortadas no fim exato do bloco: o sanitizador acusa qualquer leitura além dele.
TEST(Win1252, SequenciaCortadaNoFimNaoLeForaDoBloco) {
    for (const std::string_view s : {"\xC3"sv, "\xE2\x82"sv, "\xF0\x9F\x98"sv, "ab\xF0"sv}) {
        auto bloco = std::make_unique<char[]>(s.size());
        std::copy(s.begin(), s.end(), bloco.get());
        const std::string_view v(bloco.get(), s.size());
        EXPECT_EQ(win1252::DeUtf8(v).back(), '?');
        EXPECT_FALSE(win1252::Representavel(v));
    }
}

} // namespace
