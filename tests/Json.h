#pragma once
// Leitor mínimo de JSON para comparar resultados nos testes.
#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct TJson {
    enum TTipo { Nulo, Numero, Texto, Lista, Objeto, Logico } Tipo = Nulo;
    double Valor = 0;
    bool Inteiro = false;
    std::string Str;
    std::vector<TJson> Itens;
    std::map<std::string, TJson> Campos;

    const TJson& operator[](const std::string& k) const {
        auto i = Campos.find(k);
        if (i == Campos.end()) throw std::runtime_error("chave ausente: " + k);
        return i->second;
    }
    const TJson& operator[](std::size_t i) const { return Itens.at(i); }
};

class TLeitorJson {
public:
    explicit TLeitorJson(const std::string& s) : S(s) {}
    TJson Ler() {
        TJson v = Valor();
        Espacos();
        if (P != S.size()) throw std::runtime_error("lixo no fim do JSON");
        return v;
    }

private:
    void Espacos() {
        while (P < S.size() && std::isspace(static_cast<unsigned char>(S[P]))) ++P;
    }
    char Espiar() {
        Espacos();
        if (P >= S.size()) throw std::runtime_error("JSON truncado");
        return S[P];
    }
    void Esperar(char c) {
        if (Espiar() != c) throw std::runtime_error(std::string("esperava ") + c);
        ++P;
    }
    std::string TextoJson() {
        Esperar('"');
        std::string r;
        while (P < S.size() && S[P] != '"') {
            if (S[P] == '\\') ++P;
            r += S[P++];
        }
        ++P;
        return r;
    }
    TJson Valor() {
        TJson v;
        const char c = Espiar();
        if (c == '{') {
            ++P;
            v.Tipo = TJson::Objeto;
            if (Espiar() == '}') {
                ++P;
                return v;
            }
            for (;;) {
                std::string k = TextoJson();
                Esperar(':');
                v.Campos[k] = Valor();
                if (Espiar() == ',') {
                    ++P;
                    continue;
                }
                Esperar('}');
                return v;
            }
        }
        if (c == '[') {
            ++P;
            v.Tipo = TJson::Lista;
            if (Espiar() == ']') {
                ++P;
                return v;
            }
            for (;;) {
                v.Itens.push_back(Valor());
                if (Espiar() == ',') {
                    ++P;
                    continue;
                }
                Esperar(']');
                return v;
            }
        }
        if (c == '"') {
            v.Tipo = TJson::Texto;
            v.Str = TextoJson();
            return v;
        }
        if (S.compare(P, 4, "null") == 0) {
            P += 4;
            return v;
        }
        if (S.compare(P, 4, "true") == 0 || S.compare(P, 5, "false") == 0) {
            v.Tipo = TJson::Logico;
            v.Valor = S[P] == 't';
            P += S[P] == 't' ? 4 : 5;
            return v;
        }
        const char* ini = S.c_str() + P;
        char* fim = nullptr;
        v.Valor = std::strtod(ini, &fim);
        if (fim == ini) throw std::runtime_error("número inválido no JSON");
        v.Tipo = TJson::Numero;
        v.Inteiro = std::string(ini, static_cast<const char*>(fim)).find_first_of(".eE") == std::string::npos;
        P += std::size_t(fim - ini);
        return v;
    }
    const std::string& S;
    std::size_t P = 0;
};
