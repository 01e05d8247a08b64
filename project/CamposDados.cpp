#include "project/CamposDados.h"

#include "comum/Numeros.h"
#include "engine/uPersistencia.h"

namespace {

using U = TUnidadeCampo;

const char* const PERIODO = "Período de retorno";
const char* const IDF = "Parâmetros da equação IDF";
const char* const LEITO = "Leito da estrada";
const char* const EXTERNA = "Área externa";
const char* const CANAL = "Canal da estrada";
const char* const SOLO = "Solo";
const char* const BACIA = "Bacia de acumulação";
const char* const CONDUCAO = "Canal de condução";
const char* const P = "Precipitação";
const char* const E = "Estrada";
const char* const B = "Bacias de acumulação";

// Comprimentos em metros inteiros: um plano até 10 000 m, o canal até 100 000 m.
const std::vector<TCampoDados> CAMPOS = {
    {"eTrDim", "Dimensionamento", PERIODO, P, U::Fixa, "anos", 0, false, 10000, false},
    {"eTrEsp", "Espaçamento", PERIODO, P, U::Fixa, "anos", 0, false, 10000, false},
    {"eK", "K", IDF, P, U::Nenhuma, "", 0, false, 100000, false},
    {"eA", "a", IDF, P, U::Nenhuma, "", 0, false, 1, false},
    {"eB", "b", IDF, P, U::Fixa, "min", 0, false, 1000, false},
    {"eC", "c", IDF, P, U::Nenhuma, "", 0, false, 3, false},
    {"eVIBEstrada", "Taxa de infiltração estável", LEITO, E, U::Infiltracao, "", 0, false, 1000,
     false},
    {"eStEstrada", "Declividade transversal", LEITO, E, U::Declividade, "", 0, false, 10, false},
    {"eCompEstrada", "Semilargura", LEITO, E, U::Fixa, "m", 1, true, 10000, true},
    {"eRugEstrada", "Rugosidade", LEITO, E, U::Nenhuma, "", 0, false, 1, false},
    {"eVIBTalude", "Taxa de infiltração estável", EXTERNA, E, U::Infiltracao, "", 0, false, 1000,
     false},
    {"eStTalude", "Declividade", EXTERNA, E, U::Declividade, "", 0, false, 10, false},
    {"eCompTalude", "Comprimento", EXTERNA, E, U::Fixa, "m", 1, true, 10000, true},
    {"eRugTalude", "Rugosidade", EXTERNA, E, U::Nenhuma, "", 0, false, 1, false},
    {"ValorZ", "Z", CANAL, E, U::Nenhuma, "", 0, false, 100, false},
    {"ValorB", "B", CANAL, E, U::Fixa, "m", 0, false, 100, false},
    {"em1", "m1", CANAL, E, U::Nenhuma, "", 0, false, 100, false},
    {"em2", "m2", CANAL, E, U::Nenhuma, "", 0, false, 100, false},
    {"eSc", "Declividade", CANAL, E, U::Declividade, "", 0, false, 1, false},
    {"enc", "Rugosidade", CANAL, E, U::Nenhuma, "", 0, false, 1, false},
    {"eCanComp", "Comprimento", CANAL, E, U::Fixa, "m", 1, true, 100000, true},
    {"eAprofundamento", "Aprofundamento máximo", CANAL, E, U::Fixa, "cm", 0, false, 1000, false},
    {"eTalCritica", "Tensão crítica", SOLO, E, U::Fixa, "Pa", 0, false, 10000, false},
    {"eErodibilidade", "Erodibilidade", SOLO, E, U::Erodibilidade, "", 0, false, 0.6, false},
    {"eDensidade", "Massa específica", SOLO, E, U::Fixa, "g/cm³", 0, false, 10, false},
    {"em1Bacia", "m1", BACIA, B, U::Nenhuma, "", 0, false, 100, false},
    {"em2Bacia", "m2", BACIA, B, U::Nenhuma, "", 0, false, 100, false},
    {"eProfBacia", "Profundidade (H)", BACIA, B, U::Fixa, "m", 0, false, 100, false},
    {"edtZCanalBacia", "Z", CONDUCAO, B, U::Nenhuma, "", 0, false, 100, false},
    {"edtBCanalBacia", "B", CONDUCAO, B, U::Fixa, "m", 0, true, 100, false},
    {"em1CanalBacia", "m1", CONDUCAO, B, U::Nenhuma, "", 0, false, 100, false},
    {"em2CanalBacia", "m2", CONDUCAO, B, U::Nenhuma, "", 0, false, 100, false},
    {"edtNcCanalBacia", "Rugosidade", CONDUCAO, B, U::Nenhuma, "", 0, false, 1, false},
    {"edtScCanalBacia", "Declividade", CONDUCAO, B, U::Declividade, "", 0, false, 1, false},
};

// Fator do valor guardado (limites da tabela) para o mostrado.
double Fator(const TCampoDados& c, const TUnidadesCustom& u) {
    switch (c.Unidade) {
    case U::Declividade:
        return u.FatorDeclividade;
    case U::Infiltracao:
        return u.FatorVI;
    case U::Erodibilidade:
        // Digitada na unidade configurada: vezes o fator dá g/(cm²·min·Pa).
        return u.FatorErodibilidade > 0 ? 1 / u.FatorErodibilidade : 1;
    default:
        return 1;
    }
}

std::string Numero(double v) {
    return FloatToStr(v, SeparadorDecimalLocal());
}

} // namespace

const std::vector<TCampoDados>& TodosCamposDados() {
    return CAMPOS;
}

const TCampoDados* CampoDados(std::string_view nome) {
    for (const TCampoDados& c : CAMPOS)
        if (nome == c.Nome) return &c;
    return nullptr;
}

std::string UnidadeMostrada(const TCampoDados& c, const TUnidadesCustom& u) {
    switch (c.Unidade) {
    case U::Fixa:
        return c.UnidadeFixa;
    case U::Declividade:
        return u.UnidadeDeclividade;
    case U::Infiltracao:
        return u.UnidadeVI;
    case U::Erodibilidade:
        return u.UnidadeErodibilidade;
    default:
        return "";
    }
}

double MinimoMostrado(const TCampoDados& c, const TUnidadesCustom& u) {
    return c.Minimo * Fator(c, u);
}

double MaximoMostrado(const TCampoDados& c, const TUnidadesCustom& u) {
    return c.Maximo * Fator(c, u);
}

bool DentroDaFaixa(const TCampoDados& c, double v, const TUnidadesCustom& u) {
    const double minimo = MinimoMostrado(c, u);
    if (!(c.MinimoIncluido ? v >= minimo : v > minimo)) return false;
    if (!(v <= MaximoMostrado(c, u))) return false;
    return !c.Inteiro || v == double(static_cast<long long>(v));
}

bool GuardavelNoCampo(const TCampoDados& c, double v, const TUnidadesCustom& u) {
    return v >= 0 && v <= MaximoMostrado(c, u);
}

std::string MensagemCampo(const TCampoDados& c, const TUnidadesCustom& u, TMotivoFalha motivo,
                          std::string_view texto, const char* rotulo) {
    const std::string unidade = UnidadeMostrada(c, u);
    const std::string maximo =
        Numero(MaximoMostrado(c, u)) + (unidade.empty() ? "" : " " + unidade);
    const std::string minimo = Numero(MinimoMostrado(c, u));
    std::string faixa;
    if (c.Inteiro)
        faixa = "deve ser um número inteiro de " + minimo + " a " + maximo;
    else if (c.MinimoIncluido)
        faixa = "deve estar entre " + minimo + " e " + maximo;
    else
        faixa = "deve ser maior que " + minimo + " e no máximo " + maximo;
    const std::string campo =
        "\"" + std::string(rotulo ? rotulo : c.Rotulo) + "\" (" + c.Grupo + ")";
    switch (motivo) {
    case TMotivoFalha::Vazio:
        return "Falta o valor de " + campo + ": " + faixa + ".";
    case TMotivoFalha::NaoNumero:
        return "\"" + std::string(texto) + "\" não é um número: " + campo + " " + faixa + ".";
    case TMotivoFalha::NaoInteiro:
        return "\"" + std::string(texto) + "\" não é um número inteiro: " + campo + " " + faixa +
               ".";
    default:
        return "Valor incorreto em " + campo + ": " + faixa + ".";
    }
}
