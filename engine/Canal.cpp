// A seção de um canal (trapezoidal ou triangular): área, profundidade, profundidade normal
// pela vazão, e os seus dados no arquivo do projeto.
#include "engine/Canal.h"

#include <cmath>

#include "comum/EMorvendo.h"
#include "engine/Persistencia.h"
#include "engine/RaizNewton.h"

namespace {

// Índice de tabela gravado: -1 (digitado) ou uma linha; menor que -1 invalida a leitura.
bool LerIndice(const TArquivoIni& ini, const std::string& secao, const char* chave,
               std::int8_t& destino) {
    const long v = ini.LerInteiro(secao, chave, -2);
    if (v < -1 || v > 127) return false;
    destino = std::int8_t(v);
    return true;
}

} // namespace

TCanal::TCanal(const std::string& nome) : Nome(nome) {
    TCanal::Limpar();
}

void TCanal::Limpar() {
    FB = FH = FHr = 0;
    FCDu = 1.0;
    Z = TReal{0, -1};
    Sm = TReal{0, -1};
    TipoCanal.Valor = CANAL_TRIANGULAR;
}

double TCanal::ProfundidadePelaArea(double a) const {
    const double z = Z.Valor;
    switch (TipoCanal.Valor) {
    case CANAL_TRAPEZOIDAL:
        return (std::sqrt(FB * FB + 4 * z * a) - FB) / (2 * z);
    case CANAL_TRIANGULAR:
        return std::sqrt(2 * a / (z + 1 / Sm.Valor));
    default:
        throw ENumerico("Erro. Seção transversal do canal não definida.");
    }
}

bool TCanal::Ler(TArquivoIni& ini) {
    const std::string secao = "Canal" + Nome;
    if (ini.LerTexto(secao, "Versao", "0") != "1") return false;
    H(ini.LerReal(secao, "H", 0));
    Hr(ini.LerReal(secao, "Hr", 0));
    B(ini.LerReal(secao, "B", 0));
    CDu(ini.LerReal(secao, "CDu", 0));
    if (!LerIndice(ini, secao, "IndZ", Z.Indice)) return false;
    Z.Valor = ini.LerReal(secao, "ValorZ", 0);
    if (!LerIndice(ini, secao, "IndSm", Sm.Indice)) return false;
    Sm.Valor = ini.LerReal(secao, "ValorSm", 0);
    const long tipo = ini.LerInteiro(secao, "TipoCanal", -1);
    if (tipo != CANAL_TRAPEZOIDAL && tipo != CANAL_TRIANGULAR) return false;
    TipoCanal.Valor = std::uint8_t(tipo);
    return true;
}

bool TCanal::Gravar(TArquivoIni& ini) {
    const std::string secao = "Canal" + Nome;
    ini.EscreverTexto(secao, "Versao", "1");
    GravarReal(ini, secao, "H", FH);
    GravarReal(ini, secao, "Hr", FHr);
    GravarReal(ini, secao, "B", FB);
    GravarReal(ini, secao, "CDu", FCDu);
    ini.EscreverInteiro(secao, "IndZ", Z.Indice);
    GravarReal(ini, secao, "ValorZ", Z.Valor);
    ini.EscreverInteiro(secao, "IndSm", Sm.Indice);
    GravarReal(ini, secao, "ValorSm", Sm.Valor);
    ini.EscreverInteiro(secao, "TipoCanal", TipoCanal.Valor);
    return true;
}

TCanalGradiente::TCanalGradiente(const std::string& nome) : TCanal(nome) {
    TCanalGradiente::Limpar();
}

void TCanalGradiente::Limpar() {
    Sc = 0;
    FQ = 0;
    FComprimento = 0;
    nc = TReal{0, 0};
    TCanal::Limpar();
    TipoCanal.Valor = CANAL_TRAPEZOIDAL;
}

bool TCanalGradiente::Ler(TArquivoIni& ini) {
    if (!TCanal::Ler(ini)) return false;
    const std::string secao = "CanalGradiente" + Nome;
    if (ini.LerTexto(secao, "Versao", "0") != "1") return false;
    Comprimento(int(ini.LerInteiro(secao, "Comprimento", 0)));
    Sc = ini.LerReal(secao, "Sc", 0);
    Q(ini.LerReal(secao, "Q", 0));
    if (!LerIndice(ini, secao, "Indnc", nc.Indice)) return false;
    nc.Valor = ini.LerReal(secao, "nc", 0);
    return true;
}

bool TCanalGradiente::Gravar(TArquivoIni& ini) {
    if (!TCanal::Gravar(ini)) return false;
    const std::string secao = "CanalGradiente" + Nome;
    ini.EscreverTexto(secao, "Versao", "1");
    ini.EscreverInteiro(secao, "Comprimento", FComprimento);
    GravarReal(ini, secao, "Sc", Sc);
    GravarReal(ini, secao, "Q", FQ);
    ini.EscreverInteiro(secao, "Indnc", nc.Indice);
    GravarReal(ini, secao, "nc", nc.Valor);
    return true;
}

double TCanalGradiente::ProfundidadeNormal(double q) const {
    const double z = Z.Valor;
    switch (TipoCanal.Valor) {
    case CANAL_TRAPEZOIDAL: {
        // Newton sobre A/Z e P/Z.
        const double alvo = q * nc.Valor / std::sqrt(Sc);
        const double bz = FB / z;
        const double fatorParede = 2 * std::sqrt(1 / (z * z) + 1);
        TOpcoesNewton o;
        o.MaximoPassos = 1000;
        const TRaizNewton r = RaizNewton(1.0, o, [&](double h) {
            const double a = (bz + h) * h;
            const double p = bz + h * fatorParede;
            const double r = a / p;
            const double r23 = std::pow(r, 2.0 / 3.0);
            const double f = a * z * r23 - alvo;
            const double da = bz + 2 * h;
            const double dp = fatorParede;
            const double df = z * r23 * (da + (2.0 / 3.0) * (p * da - a * dp) / p);
            return f / df;
        });
        if (r.Convergiu) return r.Valor;
        throw ENumerico("Não houve convergência no cálculo da profundidade normal do canal.");
    }
    case CANAL_TRIANGULAR: {
        const double t1 = z, t2 = Sm.Valor;
        const double a1 = std::atan(t1), a2 = std::atan(t2);
        const double num = q * nc.Valor * std::pow(2 * t1 * t2, 5.0 / 3.0) *
                           std::pow(std::sin(a1) + std::sin(a2), 2.0 / 3.0);
        const double den = std::sqrt(Sc) * std::pow(t1 + t2, 5.0 / 3.0) *
                           std::pow(std::sin(a1) * std::sin(a2), 2.0 / 3.0);
        return std::pow(num / den, 3.0 / 8.0);
    }
    default:
        return 0;
    }
}
