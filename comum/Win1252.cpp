#include "comum/Win1252.h"

#include <array>
#include <cstdint>
#include <optional>

namespace win1252 {

namespace {

// Faixa 0x80..0x9F; os cinco bytes indefinidos ficam com o próprio valor (C1).
constexpr std::array<char32_t, 32> kFaixa80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<unsigned char> ParaByte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
    for (std::size_t i = 0; i < kFaixa80.size(); ++i)
        if (kFaixa80[i] == cp) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

void AnexarUtf8(std::string& saida, char32_t cp) {
    if (cp < 0x80) {
        saida += static_cast<char>(cp);
    } else if (cp < 0x800) {
        saida += static_cast<char>(0xC0 | (cp >> 6));
        saida += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        // A tabela não passa de U+FFFF.
        saida += static_cast<char>(0xE0 | (cp >> 12));
        saida += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        saida += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodifica um caractere a partir de 'pos' e avança. Sequência malformada devolve nullopt e
// avança só sobre o prefixo válido, para que o byte seguinte seja examinado de novo.
std::optional<char32_t> Proximo(std::string_view s, std::size_t& pos) {
    const auto b0 = static_cast<unsigned char>(s[pos++]);
    if (b0 < 0x80) return b0;

    std::size_t extras;
    char32_t cp;
    unsigned char min2 = 0x80, max2 = 0xBF; // limites do 2º byte contra formas longas
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        extras = 1;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        extras = 2;
        cp = b0 & 0x0F;
        if (b0 == 0xE0) min2 = 0xA0;
        if (b0 == 0xED) max2 = 0x9F; // sem substitutos
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        extras = 3;
        cp = b0 & 0x07;
        if (b0 == 0xF0) min2 = 0x90;
        if (b0 == 0xF4) max2 = 0x8F;
    } else {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < extras; ++i) {
        if (pos >= s.size()) return std::nullopt;
        const auto b = static_cast<unsigned char>(s[pos]);
        const unsigned char lo = i == 0 ? min2 : 0x80;
        const unsigned char hi = i == 0 ? max2 : 0xBF;
        if (b < lo || b > hi) return std::nullopt;
        cp = (cp << 6) | (b & 0x3F);
        ++pos;
    }
    return cp;
}

} // namespace

std::string DeUtf8(std::string_view utf8) {
    std::string saida;
    saida.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto cp = Proximo(utf8, pos);
        const auto byte = cp ? ParaByte(*cp) : std::nullopt;
        saida += byte ? static_cast<char>(*byte) : '?';
    }
    return saida;
}

std::string ParaUtf8(std::string_view cp1252) {
    std::string saida;
    saida.reserve(cp1252.size() + cp1252.size() / 8);
    for (const char c : cp1252) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b <= 0x9F)
            AnexarUtf8(saida, kFaixa80[b - 0x80]);
        else
            AnexarUtf8(saida, b);
    }
    return saida;
}

bool Representavel(std::string_view utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto cp = Proximo(utf8, pos);
        if (!cp || !ParaByte(*cp)) return false;
    }
    return true;
}

} // namespace win1252
