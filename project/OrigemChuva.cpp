#include "project/OrigemChuva.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "idf/AjusteIdf.h"
#include "idf/BancoEstacoes.h"
#include "idf/EstacoesUsuario.h"
#include "idf/VerificacaoIdf.h"

namespace {

const char* const SECAO = "ORIGEM_CHUVA";

struct TNomeTipo {
    TTipoOrigemChuva Tipo;
    const char* Nome;
};

const TNomeTipo NOMES_TIPO[] = {
    {TTipoOrigemChuva::Digitados, "digitados"},
    {TTipoOrigemChuva::Estacao, "estacao"},
    {TTipoOrigemChuva::Interpolacao, "interpolacao"},
    {TTipoOrigemChuva::EstacaoUsuario, "estacao_usuario"},
    {TTipoOrigemChuva::Ajuste, "ajuste"},
};

// A janela guarda sete casas decimais: um valor que só perdeu casas ao passar por ela
// continua sendo o da consulta.
bool MesmoValor(double x, double y) {
    return std::isfinite(x) && std::isfinite(y) &&
           FormatFloat("0.0######", x) == FormatFloat("0.0######", y);
}

std::string ComEstado(const std::string& nome, const std::string& estado) {
    return estado.empty() ? nome : nome + " (" + estado + ")";
}

// Um valor do arquivo é uma linha só.
std::string UmaLinha(std::string t) {
    for (char& ch : t)
        if (ch == '\r' || ch == '\n') ch = ' ';
    return t;
}

std::string LugarDaEstacao(const TInfoEstacaoIdf& e) {
    return e.Estacao + " (" + e.Uf + ")" + (e.DoUsuario ? MarcaEstacaoUsuario : "");
}

// Estação com esse nome (no estado dado, quando há) e esses parâmetros, das publicadas ou
// das do usuário. Uma cópia: os estudos leem projetos em várias linhas de execução.
std::optional<TInfoEstacaoIdf> EstacaoNomeada(const TChuvaDeProjeto& t, double K, double a,
                                              double b, double c) {
    if (t.StrCidade.empty()) return std::nullopt;
    const std::string uf =
        t.IndEstado >= 0 && t.IndEstado < NumeroEstados ? CodigoEstado(t.IndEstado) : "";
    auto procurar = [&](const std::vector<TInfoEstacaoIdf>& lista) {
        for (const auto& e : lista)
            if (e.Estacao == t.StrCidade && (uf.empty() || e.Uf == uf) && MesmoValor(e.K, K) &&
                MesmoValor(e.A, a) && MesmoValor(e.B, b) && MesmoValor(e.C, c))
                return std::optional<TInfoEstacaoIdf>(e);
        return std::optional<TInfoEstacaoIdf>();
    };
    if (auto e = procurar(InfoEstacoesIdf())) return e;
    return procurar(InfoEstacoesUsuario());
}

// A frase da consulta de uma estação, sem procurá-la de novo.
std::string FraseEstacao(const TInfoEstacaoIdf& e) {
    std::string fonte = e.DoUsuario ? e.Fonte : e.Chave;
    if (const TReferencia* r = ProcurarReferencia(e.Chave)) fonte = r->Autores;
    return "Estação " + LugarDaEstacao(e) + "; fonte: " + fonte + ".";
}

} // namespace

TOrigemChuva OrigemDaConsulta(const TChuvaDeProjeto& t, const std::string& pastaComuns) {
    const auto& chuva = t.Precipitacao();
    TOrigemChuva o;
    o.Autoria = t.Autoria();
    o.K = chuva.K();
    o.A = chuva.A();
    o.B = chuva.B();
    o.C = chuva.C();
    o.Descricao = UmaLinha(OrigemChuva(t.Autoria(), t.IndLocalidade, t.StrCidade, t.StrEstado,
                                       t.Latitude, t.Longitude, o.K, o.A, o.B, o.C));
    const bool comLugar = !t.StrCidade.empty() && t.StrCidade != "Não definida";
    if (t.Autoria() == AutorAjuste) {
        o.Tipo = TTipoOrigemChuva::Ajuste;
    } else if (t.Autoria() == AutorInterpolacao) {
        o.Tipo = TTipoOrigemChuva::Interpolacao;
        o.Lugar =
            ComEstado(t.IndLocalidade >= 0 && comLugar ? t.StrCidade
                                                       : t.Latitude + " S, " + t.Longitude + " W",
                      t.StrEstado);
        // A frase da consulta, com as estações que ela usou.
        const auto consulta =
            pastaComuns.empty()
                ? std::nullopt
                : RefazerConsulta(pastaComuns, t.Latitude, t.Longitude, o.K, o.A, o.B, o.C);
        if (consulta && consulta->Interpolada && !consulta->Usadas.empty()) {
            o.DistanciaMinimaKm = consulta->Usadas.front().DistanciaKm;
            for (const TEstacaoConsultada& e : consulta->Usadas)
                o.DistanciaMinimaKm = std::min(o.DistanciaMinimaKm, e.DistanciaKm);
            o.RaioKm = consulta->RaioKm;
        }
        if (consulta && consulta->Interpolada)
            o.Descricao = UmaLinha((t.IndLocalidade >= 0 && comLugar
                                        ? "Interpolada para a localidade " + o.Lugar + ", " +
                                              t.Latitude + " S, " + t.Longitude + " W. "
                                        : "Interpolada no ponto " + o.Lugar + ". ") +
                                   TextoOrigemConsulta(*consulta, ','));
    } else if (!t.Autoria().empty()) {
        const TInfoEstacaoIdf* e = ProcurarInfoEstacao(t.Autoria(), o.K, o.A, o.B, o.C);
        o.Tipo = t.Autoria() == AutorEstacaoUsuario ? TTipoOrigemChuva::EstacaoUsuario
                                                    : TTipoOrigemChuva::Estacao;
        o.Lugar = e ? LugarDaEstacao(*e) : ComEstado(t.StrCidade, t.StrEstado);
    } else {
        // Sem autoria a consulta não disse de onde vieram: valem como digitados.
        return {};
    }
    return o;
}

bool OrigemValePara(const TOrigemChuva& o, double K, double a, double b, double c) {
    return o.Tipo != TTipoOrigemChuva::Digitados && MesmoValor(o.K, K) && MesmoValor(o.A, a) &&
           MesmoValor(o.B, b) && MesmoValor(o.C, c);
}

std::string FraseOrigemChuva(const TOrigemChuva& o, double K, double a, double b, double c) {
    if (!(K > 0)) return {};
    if (OrigemValePara(o, K, a, b, c)) return o.Descricao;
    switch (o.Tipo) {
    case TTipoOrigemChuva::Digitados:
        break;
    case TTipoOrigemChuva::Ajuste:
        return "Parâmetros digitados (alterados depois do ajuste da equação).";
    default:
        return "Parâmetros digitados (alterados depois da consulta de " + o.Lugar + ").";
    }
    return "Parâmetros digitados.";
}

void GravarOrigemChuva(const TOrigemChuva& o, TArquivoIni& ini) {
    const bool digitados = o.Tipo == TTipoOrigemChuva::Digitados;
    if (digitados && !ini.ExisteSecao(SECAO)) return;
    ini.EscreverTexto(SECAO, "Versao", "1");
    for (const auto& n : NOMES_TIPO)
        if (n.Tipo == o.Tipo) ini.EscreverTexto(SECAO, "Tipo", n.Nome);
    // Um arquivo gravado por cima de outro não fica com a consulta do anterior.
    const char* const chaves[] = {"Descricao", "Lugar", "Autoria",           "K",     "A",
                                  "B",         "C",     "DistanciaMinimaKm", "RaioKm"};
    if (digitados) {
        for (const char* k : chaves)
            ini.ApagarChave(SECAO, k);
        return;
    }
    ini.EscreverTexto(SECAO, "Descricao", UmaLinha(o.Descricao));
    ini.EscreverTexto(SECAO, "Lugar", UmaLinha(o.Lugar));
    ini.EscreverTexto(SECAO, "Autoria", o.Autoria);
    GravarReal(ini, SECAO, "K", o.K);
    GravarReal(ini, SECAO, "A", o.A);
    GravarReal(ini, SECAO, "B", o.B);
    GravarReal(ini, SECAO, "C", o.C);
    if (o.RaioKm > 0) {
        GravarReal(ini, SECAO, "DistanciaMinimaKm", o.DistanciaMinimaKm);
        GravarReal(ini, SECAO, "RaioKm", o.RaioKm);
    } else {
        ini.ApagarChave(SECAO, "DistanciaMinimaKm");
        ini.ApagarChave(SECAO, "RaioKm");
    }
}

TOrigemChuva LerOrigemChuva(const TArquivoIni& ini, const TChuvaDeProjeto& t) {
    TOrigemChuva o;
    if (ini.LerTexto(SECAO, "Versao", "") == "1") {
        const std::string tipo = ini.LerTexto(SECAO, "Tipo", "");
        for (const auto& n : NOMES_TIPO)
            if (tipo == n.Nome) {
                o.Tipo = n.Tipo;
                o.Descricao = ini.LerTexto(SECAO, "Descricao", "");
                o.Lugar = ini.LerTexto(SECAO, "Lugar", "");
                o.Autoria = ini.LerTexto(SECAO, "Autoria", "");
                o.K = ini.LerReal(SECAO, "K", 0);
                o.A = ini.LerReal(SECAO, "A", 0);
                o.B = ini.LerReal(SECAO, "B", 0);
                o.C = ini.LerReal(SECAO, "C", 0);
                o.DistanciaMinimaKm = ini.LerReal(SECAO, "DistanciaMinimaKm", 0);
                o.RaioKm = ini.LerReal(SECAO, "RaioKm", 0);
                return o;
            }
        // Tipo desconhecido: como um arquivo sem a origem.
    }
    const auto& chuva = t.Precipitacao();
    const auto e = EstacaoNomeada(t, chuva.K(), chuva.A(), chuva.B(), chuva.C());
    if (!e) return o;
    o.Tipo = e->DoUsuario ? TTipoOrigemChuva::EstacaoUsuario : TTipoOrigemChuva::Estacao;
    o.Autoria = e->Chave;
    o.K = chuva.K();
    o.A = chuva.A();
    o.B = chuva.B();
    o.C = chuva.C();
    o.Lugar = LugarDaEstacao(*e);
    o.Descricao = UmaLinha(FraseEstacao(*e));
    return o;
}
