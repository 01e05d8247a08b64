#include "project/ResultadoJson.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

std::string Real(double v) {
    if (!std::isfinite(v)) return "null";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 17);
    return std::string(buf, r.ptr);
}

// Do hidrograma, só o resumo: pontos, pico e volume.
std::string Hidrograma(const THidrograma& h) {
    return "{\"pontos\": " + std::to_string(h.NumPontos()) +
           ", \"VazaoMaxima\": " + Real(h.VazaoMaxima) + ", \"Volume\": " + Real(h.Volume) + "}";
}

// Texto JSON: aspas, barra invertida e caracteres de controle escapados; o resto vai em UTF-8.
std::string Texto(const std::string& t) {
    std::string s = "\"";
    for (const char c : t) {
        if (c == '"' || c == '\\') {
            s += '\\';
            s += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(c));
            s += buf;
        } else {
            s += c;
        }
    }
    return s + '"';
}

std::string BalancoEncosta(const TBalancoEncosta& b) {
    return "{\"chuva_L_m\": " + Real(b.Chuva) +
           ", \"abstracao_inicial_L_m\": " + Real(b.AbstracaoInicial) +
           ", \"infiltracao_L_m\": " + Real(b.Infiltracao) +
           ", \"escoamento_L_m\": " + Real(b.Escoamento) +
           ", \"armazenado_L_m\": " + Real(b.Armazenado) + ", \"erro_pct\": " + Real(b.ErroPct()) +
           "}";
}

std::string BalancoCanal(const TBalancoCanal& b) {
    return "{\"entrada_m3\": " + Real(b.Entrada) + ", \"saida_m3\": " + Real(b.Saida) +
           ", \"infiltracao_m3\": " + Real(b.Infiltracao) +
           ", \"armazenado_m3\": " + Real(b.Armazenado) + ", \"erro_pct\": " + Real(b.ErroPct()) +
           "}";
}

} // namespace

std::string ResultadoJson(const TResultadoCalculo& r, const std::vector<TAviso>& avisos) {
    const TResultadoEspacamento& e = r.Canal;
    // Sem espaçamento, os valores na seção dele são null, nunca um número que pareça resultado.
    auto naSecao = [&](double v) { return e.NenhumEspacamento ? "null" : Real(v); };
    std::ostringstream out;
    out << "{\"Espacamento\": " << (e.NenhumEspacamento ? "null" : std::to_string(e.Espacamento))
        << ", \"NenhumEspacamento\": " << (e.NenhumEspacamento ? "true" : "false")
        << ", \"PerdaSolo\": " << naSecao(e.PerdaSolo)
        << ", \"PerdaToleravel\": " << Real(e.PerdaToleravel)
        << ", \"TensaoMax\": " << naSecao(e.TensaoMax) << ", \"QMax\": " << naSecao(e.QMax)
        << ", \"Volume\": " << naSecao(e.Volume)
        << ", \"HidrogramaEstrada\": " << Hidrograma(r.HidrogramaEstrada)
        << ", \"HidrogramaTalude\": " << Hidrograma(r.HidrogramaTalude) << ", \"Bacia\": ";
    if (r.Bacia) {
        const TResultadoBacia& b = *r.Bacia;
        out << "{\"VolumeEscoado\": " << Real(b.VolumeEscoado)
            << ", \"VazaoMaxima\": " << Real(b.VazaoMaxima)
            << ", \"ProfundidadeCanal\": " << Real(b.ProfundidadeCanal)
            << ", \"Largura\": " << Real(b.Largura) << ", \"Raio\": " << Real(b.Raio)
            << ", \"Comprimento\": " << Real(b.Comprimento) << "}";
    } else {
        out << "null";
    }
    out << ", \"Secoes\": [";
    for (std::size_t i = 0; i < e.Secoes.size(); ++i) {
        const TLinhaSecao& s = e.Secoes[i];
        out << (i ? ", " : "") << "[" << s.Secao << ", " << Real(s.Lamina) << ", " << Real(s.Vazao)
            << ", " << Real(s.Tensao) << ", " << Real(s.Perda) << "]";
    }
    out << "], \"Continuidade\": {\"Estrada\": " << BalancoEncosta(r.BalancoEstrada)
        << ", \"Talude\": " << BalancoEncosta(r.BalancoTalude)
        << ", \"Canal\": " << BalancoCanal(e.Balanco) << "}";
    out << ", \"CurvaDescarga\": \"" << (r.CurvaDescargaOriginal ? "original" : "exata") << "\"";
    out << ", \"EspacamentoCurvaOriginal\": "
        << (r.EspacamentoCurvaOriginal ? std::to_string(*r.EspacamentoCurvaOriginal) : "null");
    out << ", \"OrigemChuva\": " << Texto(r.OrigemChuva);
    out << ", \"Avisos\": [";
    for (std::size_t i = 0; i < avisos.size(); ++i)
        out << (i ? ", " : "") << "{\"id\": " << Texto(avisos[i].Id)
            << ", \"gravidade\": " << Texto(TextoGravidade(avisos[i].Gravidade))
            << ", \"texto\": " << Texto(avisos[i].Texto) << "}";
    out << "]}";
    return out.str();
}
