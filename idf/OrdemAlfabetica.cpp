#include "idf/OrdemAlfabetica.h"

#include <cstdint>
#include <vector>

namespace {

// Peso de um caractere nos três níveis; um caractere pode expandir-se em dois (æ, œ, ß).
struct TPeso {
    std::uint16_t Primario;
    std::uint8_t Secundario;
    std::uint8_t Terciario;
};

enum : std::uint8_t {
    SemAcento,
    Agudo,
    Grave,
    Circunflexo,
    Anel,
    Trema,
    Til,
    Cedilha,
    Barra,
    Caron
};

constexpr std::uint16_t BaseAlgarismo = 1000;
constexpr std::uint16_t BaseLetra = 2000;

char32_t Decodificar(std::string_view s, std::size_t& i) {
    const auto c = static_cast<unsigned char>(s[i++]);
    int extras = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = extras == 3 ? c & 0x07 : extras == 2 ? c & 0x0F : extras == 1 ? c & 0x1F : c;
    while (extras-- > 0 && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    return cp;
}

TPeso Letra(char base, std::uint8_t acento, bool maiuscula) {
    return {static_cast<std::uint16_t>(BaseLetra + (base - 'a')), acento,
            static_cast<std::uint8_t>(maiuscula ? 1 : 0)};
}

// Letras latinas com diacrítico: base e acento.
bool Decompor(char32_t cp, char& base, std::uint8_t& acento, bool& maiuscula) {
    struct TItem {
        char32_t Minuscula;
        char Base;
        std::uint8_t Acento;
    };
    static constexpr TItem Tabela[] = {
        {U'à', 'a', Grave},       {U'á', 'a', Agudo},       {U'â', 'a', Circunflexo},
        {U'ã', 'a', Til},         {U'ä', 'a', Trema},       {U'å', 'a', Anel},
        {U'ç', 'c', Cedilha},     {U'è', 'e', Grave},       {U'é', 'e', Agudo},
        {U'ê', 'e', Circunflexo}, {U'ë', 'e', Trema},       {U'ì', 'i', Grave},
        {U'í', 'i', Agudo},       {U'î', 'i', Circunflexo}, {U'ï', 'i', Trema},
        {U'ñ', 'n', Til},         {U'ò', 'o', Grave},       {U'ó', 'o', Agudo},
        {U'ô', 'o', Circunflexo}, {U'õ', 'o', Til},         {U'ö', 'o', Trema},
        {U'ø', 'o', Barra},       {U'ù', 'u', Grave},       {U'ú', 'u', Agudo},
        {U'û', 'u', Circunflexo}, {U'ü', 'u', Trema},       {U'ý', 'y', Agudo},
        {U'ÿ', 'y', Trema},       {U'š', 's', Caron},       {U'ž', 'z', Caron},
        {U'ð', 'd', Barra},
    };
    static constexpr std::pair<char32_t, char32_t> Maiusculas[] = {
        {U'Ÿ', U'ÿ'}, {U'Š', U'š'}, {U'Ž', U'ž'}};
    maiuscula = false;
    if (cp >= U'À' && cp <= U'Þ' && cp != U'×') {
        cp += 0x20;
        maiuscula = true;
    }
    for (const auto& [m, mi] : Maiusculas)
        if (cp == m) {
            cp = mi;
            maiuscula = true;
        }
    for (const auto& t : Tabela)
        if (t.Minuscula == cp) {
            base = t.Base;
            acento = t.Acento;
            return true;
        }
    return false;
}

void Pesos(std::string_view s, std::vector<TPeso>& saida) {
    saida.clear();
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp = Decodificar(s, i);
        char base;
        std::uint8_t acento;
        bool maiuscula;
        if (cp >= 'A' && cp <= 'Z') {
            saida.push_back(Letra(static_cast<char>(cp - 'A' + 'a'), SemAcento, true));
        } else if (cp >= 'a' && cp <= 'z') {
            saida.push_back(Letra(static_cast<char>(cp), SemAcento, false));
        } else if (cp >= '0' && cp <= '9') {
            saida.push_back({static_cast<std::uint16_t>(BaseAlgarismo + (cp - '0')), 0, 0});
        } else if (Decompor(cp, base, acento, maiuscula)) {
            saida.push_back(Letra(base, acento, maiuscula));
        } else if (cp == U'æ' || cp == U'Æ' || cp == U'œ' || cp == U'Œ') {
            const bool m = cp == U'Æ' || cp == U'Œ';
            saida.push_back(Letra(cp == U'æ' || cp == U'Æ' ? 'a' : 'o', SemAcento, m));
            saida.push_back(Letra('e', SemAcento, m));
        } else if (cp == U'ß') {
            saida.push_back(Letra('s', SemAcento, false));
            saida.push_back(Letra('s', SemAcento, false));
        } else if (cp == U'þ' || cp == U'Þ') {
            saida.push_back(Letra('t', SemAcento, cp == U'Þ'));
            saida.push_back(Letra('h', SemAcento, false));
        } else {
            // Apóstrofos tipográficos valem o reto; o espaço vem antes de toda pontuação.
            if (cp == U'’' || cp == U'‘' || cp == U'´' || cp == U'`') cp = '\'';
            const std::uint16_t p =
                cp == ' ' ? 1 : static_cast<std::uint16_t>(2 + (cp < 990 ? cp : 990));
            saida.push_back({p, 0, 0});
        }
    }
}

template <typename Campo>
int CompararNivel(const std::vector<TPeso>& a, const std::vector<TPeso>& b, Campo campo) {
    const auto n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int x = campo(a[i]), y = campo(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

int CompararNomes(std::string_view a, std::string_view b) {
    std::vector<TPeso> pa, pb;
    Pesos(a, pa);
    Pesos(b, pb);
    if (int r = CompararNivel(pa, pb, [](const TPeso& p) { return int{p.Primario}; })) return r;
    if (int r = CompararNivel(pa, pb, [](const TPeso& p) { return int{p.Secundario}; })) return r;
    if (int r = CompararNivel(pa, pb, [](const TPeso& p) { return int{p.Terciario}; })) return r;
    return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}
