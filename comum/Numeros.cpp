#include "comum/Numeros.h"

#include "comum/EMorvendo.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace {

// Algarismos significativos e expoente decimal do primeiro deles (valor = d,ddd × 10^exp),
// corretamente arredondados pelo printf.
struct Decimal {
    std::string digitos;
    int expoente = 0;
};

Decimal Decompor(double valorAbsoluto, int algarismos) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", algarismos - 1, valorAbsoluto);
    Decimal d;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digitos += *p;
    if (*p == 'e') d.expoente = std::atoi(p + 1);
    return d;
}

std::string NaoFinito(double valor) {
    if (std::isnan(valor)) return "NAN";
    return valor < 0 ? "-INF" : "INF";
}

bool Branco(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::string FloatToStr(double valor, char separadorDecimal) {
    if (!std::isfinite(valor)) return NaoFinito(valor);
    if (valor == 0) return "0"; // inclusive -0

    Decimal d = Decompor(std::fabs(valor), 15);
    while (d.digitos.size() > 1 && d.digitos.back() == '0')
        d.digitos.pop_back();

    std::string s = valor < 0 ? "-" : "";
    const int e = d.expoente;
    if (e < -5 || e >= 15) {
        s += d.digitos[0];
        if (d.digitos.size() > 1) {
            s += separadorDecimal;
            s.append(d.digitos, 1);
        }
        s += 'E';
        s += std::to_string(e);
    } else if (e < 0) {
        s += '0';
        s += separadorDecimal;
        s.append(static_cast<std::size_t>(-e - 1), '0');
        s += d.digitos;
    } else {
        const auto nInteiros = static_cast<std::size_t>(e) + 1;
        if (d.digitos.size() <= nInteiros) {
            s += d.digitos;
            s.append(nInteiros - d.digitos.size(), '0');
        } else {
            s.append(d.digitos, 0, nInteiros);
            s += separadorDecimal;
            s.append(d.digitos, nInteiros);
        }
    }
    return s;
}

std::string FormatFloat(std::string_view mascara, double valor, char separadorDecimal,
                        char separadorMilhar) {
    if (mascara.empty()) return FloatToStr(valor, separadorDecimal);
    const auto primeiro = mascara.find_first_of("0#.");
    const auto ultimo = mascara.find_last_of("0#");
    if (ultimo == std::string_view::npos) return std::string(mascara);
    // Só 18 algarismos têm significado; acima disso, a forma geral.
    if (!std::isfinite(valor) || std::fabs(valor) >= 1e18)
        return FloatToStr(valor, separadorDecimal);

    int minInteiros = 0, obrigDecimais = 0, maxDecimais = 0;
    bool milhar = false, naFracao = false;
    for (auto i = primeiro; i <= ultimo; ++i) {
        const char c = mascara[i];
        if (c == '.') {
            naFracao = true;
        } else if (!naFracao) {
            if (c == '0') ++minInteiros;
            if (c == ',') milhar = true;
        } else if (c == '0' || c == '#') {
            ++maxDecimais;
            if (c == '0') obrigDecimais = maxDecimais;
        }
    }

    // Arredonda a cadeia de 18 algarismos na última casa permitida, meio para longe do zero.
    std::string digitos;
    int expoente = 0; // casa decimal do primeiro algarismo de 'digitos'
    if (valor != 0) {
        const Decimal d = Decompor(std::fabs(valor), 18);
        const int manter = d.expoente + maxDecimais + 1;
        expoente = d.expoente;
        if (manter >= static_cast<int>(d.digitos.size())) {
            digitos = d.digitos;
        } else if (manter >= 0) {
            digitos = d.digitos.substr(0, static_cast<std::size_t>(manter));
            if (d.digitos[static_cast<std::size_t>(manter)] >= '5') {
                int i = manter - 1;
                for (; i >= 0 && digitos[static_cast<std::size_t>(i)] == '9'; --i)
                    digitos[static_cast<std::size_t>(i)] = '0';
                if (i >= 0) {
                    ++digitos[static_cast<std::size_t>(i)];
                } else {
                    digitos.insert(digitos.begin(), '1');
                    ++expoente;
                }
            }
        }
    }
    auto algarismo = [&](int casa) {
        const int i = expoente - casa;
        return i >= 0 && i < static_cast<int>(digitos.size()) ? digitos[static_cast<std::size_t>(i)]
                                                              : '0';
    };

    std::string inteiro;
    for (int casa = expoente; casa >= 0; --casa) {
        const char c = algarismo(casa);
        if (!inteiro.empty() || c != '0') inteiro += c;
    }
    std::string fracao;
    for (int casa = -1; casa >= -maxDecimais; --casa)
        fracao += algarismo(casa);
    const bool nulo = inteiro.find_first_not_of('0') == std::string::npos &&
                      fracao.find_first_not_of('0') == std::string::npos;
    while (static_cast<int>(fracao.size()) > obrigDecimais && fracao.back() == '0')
        fracao.pop_back();
    if (static_cast<int>(inteiro.size()) < minInteiros)
        inteiro.insert(0, static_cast<std::size_t>(minInteiros) - inteiro.size(), '0');
    if (milhar && separadorMilhar != '\0') {
        for (auto i = inteiro.size(); i > 3; i -= 3)
            inteiro.insert(i - 3, 1, separadorMilhar);
    }

    std::string s(mascara.substr(0, primeiro));
    if (valor < 0 && !nulo) s += '-';
    s += inteiro;
    if (!fracao.empty()) {
        s += separadorDecimal;
        s += fracao;
    }
    s += mascara.substr(ultimo + 1);
    return s;
}

std::optional<double> TentarTextoParaReal(std::string_view texto, char separadorDecimal) {
    while (!texto.empty() && Branco(texto.front()))
        texto.remove_prefix(1);
    while (!texto.empty() && Branco(texto.back()))
        texto.remove_suffix(1);

    std::string numero;
    std::size_t i = 0;
    bool negativo = false;
    if (i < texto.size() && (texto[i] == '+' || texto[i] == '-')) negativo = texto[i++] == '-';
    if (negativo) numero += '-';

    bool separador = false;
    std::string algarismos; // da mantissa, sem o separador
    std::size_t inteiros = 0;
    for (; i < texto.size(); ++i) {
        const char c = texto[i];
        if (c >= '0' && c <= '9') {
            algarismos += c;
            if (!separador) ++inteiros;
            numero += c;
        } else if (c == separadorDecimal && !separador) {
            separador = true;
            numero += '.';
        } else {
            break;
        }
    }
    if (algarismos.empty()) return std::nullopt;
    // Casa decimal do primeiro algarismo não nulo, para distinguir estouro de valor ínfimo.
    const auto primeiroNaoNulo = algarismos.find_first_not_of('0');
    const long long casaPrimeiro =
        primeiroNaoNulo == std::string::npos
            ? 0
            : static_cast<long long>(inteiros) - static_cast<long long>(primeiroNaoNulo) - 1;

    long long expoente = 0;
    if (i < texto.size() && (texto[i] == 'e' || texto[i] == 'E')) {
        numero += 'e';
        ++i;
        bool expNegativo = false;
        if (i < texto.size() && (texto[i] == '+' || texto[i] == '-')) {
            expNegativo = texto[i] == '-';
            numero += texto[i++];
        }
        const auto inicio = i;
        for (; i < texto.size() && texto[i] >= '0' && texto[i] <= '9'; ++i) {
            numero += texto[i];
            if (expoente < 1'000'000'000'000'000) expoente = expoente * 10 + (texto[i] - '0');
        }
        if (i == inicio) return std::nullopt;
        if (expNegativo) expoente = -expoente;
    }
    if (i != texto.size()) return std::nullopt;

    double valor = 0;
    const char* fim = numero.data() + numero.size();
    const auto r = std::from_chars(numero.data(), fim, valor);
    if (r.ec == std::errc::result_out_of_range) {
        if (casaPrimeiro + expoente > 0) return std::nullopt; // estouro
        return negativo ? -0.0 : 0.0;                         // menor que o menor real
    }
    if (r.ec != std::errc() || r.ptr != fim) return std::nullopt;
    return valor;
}

double TextoParaReal(std::string_view texto, double padrao, char separadorDecimal) {
    if (texto.empty()) return padrao;
    if (const auto v = TentarTextoParaReal(texto, separadorDecimal)) return *v;
    throw EMorvendo("'" + std::string(texto) + "' não é um número válido");
}

std::string FormatarNaoNulo(std::string_view mascara, double valor, char separadorDecimal) {
    if (valor == 0) return "";
    return FormatFloat(mascara, valor, separadorDecimal);
}

long long Arredondar(double valor) {
    const double r = std::nearbyint(valor);
    // Fora da faixa a conversão seria indefinida; melhor um erro que um número qualquer.
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        throw EMorvendo("Valor fora da faixa dos números inteiros.");
    return static_cast<long long>(r);
}

std::string RealExato(double valor) {
    char b[64];
    const auto r = std::to_chars(b, b + sizeof b, valor);
    return std::string(b, r.ptr);
}
