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
    {CAMPO_TR_DIM, "Dimensionamento", PERIODO, P, U::Fixa, "anos", 0, false, 10000, false},
    {CAMPO_TR_ESP, "Espaçamento", PERIODO, P, U::Fixa, "anos", 0, false, 10000, false},
    {CAMPO_K, "K", IDF, P, U::Nenhuma, "", 0, false, 100000, false},
    {CAMPO_A, "a", IDF, P, U::Nenhuma, "", 0, false, 1, false},
    {CAMPO_B, "b", IDF, P, U::Fixa, "min", 0, false, 1000, false},
    {CAMPO_C, "c", IDF, P, U::Nenhuma, "", 0, false, 3, false},
    {CAMPO_VIB_ESTRADA, "Taxa de infiltração estável", LEITO, E, U::Infiltracao, "", 0, false, 1000,
     false},
    {CAMPO_ST_ESTRADA, "Declividade transversal", LEITO, E, U::Declividade, "", 0, false, 10,
     false},
    {CAMPO_COMP_ESTRADA, "Semilargura", LEITO, E, U::Fixa, "m", 1, true, 10000, true},
    {CAMPO_RUG_ESTRADA, "Rugosidade", LEITO, E, U::Nenhuma, "", 0, false, 1, false},
    {CAMPO_VIB_TALUDE, "Taxa de infiltração estável", EXTERNA, E, U::Infiltracao, "", 0, false,
     1000, false},
    {CAMPO_ST_TALUDE, "Declividade", EXTERNA, E, U::Declividade, "", 0, false, 10, false},
    {CAMPO_COMP_TALUDE, "Comprimento", EXTERNA, E, U::Fixa, "m", 1, true, 10000, true},
    {CAMPO_RUG_TALUDE, "Rugosidade", EXTERNA, E, U::Nenhuma, "", 0, false, 1, false},
    {CAMPO_Z_CANAL, "Z", CANAL, E, U::Nenhuma, "", 0, false, 100, false},
    {CAMPO_B_CANAL, "B", CANAL, E, U::Fixa, "m", 0, false, 100, false},
    {CAMPO_M1_CANAL, "m1", CANAL, E, U::Nenhuma, "", 0, false, 100, false},
    {CAMPO_M2_CANAL, "m2", CANAL, E, U::Nenhuma, "", 0, false, 100, false},
    {CAMPO_SC_CANAL, "Declividade", CANAL, E, U::Declividade, "", 0, false, 1, false},
    {CAMPO_RUG_CANAL, "Rugosidade", CANAL, E, U::Nenhuma, "", 0, false, 1, false},
    {CAMPO_COMP_CANAL, "Comprimento", CANAL, E, U::Fixa, "m", 1, true, 100000, true},
    {CAMPO_APROFUNDAMENTO, "Aprofundamento máximo", CANAL, E, U::Fixa, "cm", 0, false, 1000, false},
    {CAMPO_TENSAO_CRITICA, "Tensão crítica", SOLO, E, U::Fixa, "Pa", 0, false, 10000, false},
    {CAMPO_ERODIBILIDADE, "Erodibilidade", SOLO, E, U::Erodibilidade, "", 0, false, 0.6, false},
    {CAMPO_DENSIDADE, "Massa específica", SOLO, E, U::Fixa, "g/cm³", 0, false, 10, false},
    {CAMPO_M1_BACIA, "m1", BACIA, B, U::Nenhuma, "", 0, false, 100, false},
    {CAMPO_M2_BACIA, "m2", BACIA, B, U::Nenhuma, "", 0, false, 100, false},
    {CAMPO_PROF_BACIA, "Profundidade (H)", BACIA, B, U::Fixa, "m", 0, false, 100, false},
    {CAMPO_Z_CONDUCAO, "Z", CONDUCAO, B, U::Nenhuma, "", 0, false, 100, false},
    {CAMPO_B_CONDUCAO, "B", CONDUCAO, B, U::Fixa, "m", 0, true, 100, false},
    {CAMPO_M1_CONDUCAO, "m1", CONDUCAO, B, U::Nenhuma, "", 0, false, 100, false},
    {CAMPO_M2_CONDUCAO, "m2", CONDUCAO, B, U::Nenhuma, "", 0, false, 100, false},
    {CAMPO_RUG_CONDUCAO, "Rugosidade", CONDUCAO, B, U::Nenhuma, "", 0, false, 1, false},
    {CAMPO_SC_CONDUCAO, "Declividade", CONDUCAO, B, U::Declividade, "", 0, false, 1, false},
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

const TCampoDados* CampoDados(TCampo id) {
    // A tabela está na ordem dos identificadores.
    if (id < 0 || id >= NUM_CAMPOS_NUMERICOS) return nullptr;
    return &CAMPOS[std::size_t(id)];
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
