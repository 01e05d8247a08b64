#include "project/CamposProjeto.h"

#include <cmath>

#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "idf/AjusteIdf.h"
#include "project/Projeto.h"

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
// Unidade da rugosidade de Manning no relatório (a tela não a mostra).
const char* const RUGOSIDADE_HTML = "s·m<sup>-1/3</sup>";

// Seções do arquivo do projeto (objetos do motor com os nomes dados em TProjeto).
const char* const CANAL_ESTRADA = "CanalEstrada_ESTRADA";
const char* const SECAO_CANAL = "Canal_ESTRADA";
const char* const GRADIENTE_CANAL = "CanalGradiente_ESTRADA";
const char* const TERRENO_ESTRADA = "Terreno_Estrada: Trecho 1";
const char* const ENCOSTA_ESTRADA = "Encosta_Estrada: Trecho 1";
const char* const TERRENO_TALUDE = "Terreno_Talude: Trecho 1";
const char* const ENCOSTA_TALUDE = "Encosta_Talude: Trecho 1";
const char* const BACIA_ACUMULACAO = "BaciaAcumulacao";
const char* const SECAO_CONDUCAO = "Canal_BaciaAcumulacao";
const char* const GRADIENTE_CONDUCAO = "CanalGradiente_BaciaAcumulacao";
const char* const EXPONENCIAL = "PREC_EXPONENCIAL_NEGATIVA";

const TPrecipitacaoExponencialNegativa& Chuva(const TProjeto& p) {
    return p.ChuvaDeProjeto.Precipitacao();
}

// Primeiro plano de uma encosta: lido, um projeto sem planos dá zero (a verificação o
// recusa); definido, o plano é criado.
const TEncostaCinematica& Plano(const TPlanosEncosta& encosta) {
    static const TEncostaCinematica vazio;
    return encosta.NumPlanos() > 0 ? encosta.Plano(0) : vazio;
}

TEncostaCinematica& Plano(TPlanosEncosta& encosta) {
    if (encosta.NumPlanos() == 0) encosta.DefinirNumPlanos(1);
    return encosta.Plano(0);
}

TCanalGradiente& Conducao(TProjeto& p) {
    return p.Estrada.Bacia.CanalConducao;
}
const TCanalGradiente& Conducao(const TProjeto& p) {
    return p.Estrada.Bacia.CanalConducao;
}

// Comprimentos em metros inteiros: um plano até 10 000 m, o canal até 100 000 m.
const std::vector<TCampoProjeto> CAMPOS = {
    {CAMPO_TR_DIM, "Dimensionamento", PERIODO, P, U::Fixa, "anos", 0, false, 10000, false,
     CANAL_ESTRADA, "TrDim", false, [](const TProjeto& p) { return p.Estrada.TrDim; },
     [](TProjeto& p, double v) { p.Estrada.TrDim = v; }, "Período de retorno do dimensionamento"},
    {CAMPO_TR_ESP, "Espaçamento", PERIODO, P, U::Fixa, "anos", 0, false, 10000, false,
     CANAL_ESTRADA, "TrEsp", false, [](const TProjeto& p) { return p.Estrada.TrEsp; },
     [](TProjeto& p, double v) { p.Estrada.TrEsp = v; }, "Período de retorno do espaçamento"},
    {CAMPO_K, "K", IDF, P, U::Nenhuma, "", 0, false, KMaximoIdf, false, EXPONENCIAL, "K", false,
     [](const TProjeto& p) { return Chuva(p).K(); }, [](TProjeto& p, double v) { p.Chuva().K(v); }},
    {CAMPO_A, "a", IDF, P, U::Nenhuma, "", 0, false, AMaximoIdf, false, EXPONENCIAL, "A", false,
     [](const TProjeto& p) { return Chuva(p).A(); }, [](TProjeto& p, double v) { p.Chuva().A(v); }},
    {CAMPO_B, "b", IDF, P, U::Fixa, "min", 0, false, BMaximoIdf, false, EXPONENCIAL, "B", false,
     [](const TProjeto& p) { return Chuva(p).B(); }, [](TProjeto& p, double v) { p.Chuva().B(v); }},
    {CAMPO_C, "c", IDF, P, U::Nenhuma, "", 0, false, CMaximoIdf, false, EXPONENCIAL, "C", false,
     [](const TProjeto& p) { return Chuva(p).C(); }, [](TProjeto& p, double v) { p.Chuva().C(v); }},
    {CAMPO_VIB_ESTRADA, "Taxa de infiltração estável", LEITO, E, U::Infiltracao, "", 0, false, 1000,
     false, TERRENO_ESTRADA, "VIB", false,
     [](const TProjeto& p) { return Plano(p.Estrada.Leito).VIB(); },
     [](TProjeto& p, double v) { Plano(p.Estrada.Leito).VIB(v); }},
    {CAMPO_ST_ESTRADA, "Declividade transversal", LEITO, E, U::Declividade, "", 0, false, 10, false,
     TERRENO_ESTRADA, "St", false, [](const TProjeto& p) { return Plano(p.Estrada.Leito).St(); },
     [](TProjeto& p, double v) { Plano(p.Estrada.Leito).St(v); }},
    {CAMPO_COMP_ESTRADA, "Semilargura", LEITO, E, U::Fixa, "m", 1, true, 10000, true,
     ENCOSTA_ESTRADA, "Comprimento", false,
     [](const TProjeto& p) { return double(Plano(p.Estrada.Leito).Comprimento()); },
     [](TProjeto& p, double v) { Plano(p.Estrada.Leito).Comprimento(int(v)); }},
    {CAMPO_RUG_ESTRADA, "Rugosidade", LEITO, E, U::Nenhuma, "", 0, false, 1, false, TERRENO_ESTRADA,
     "nt", false, [](const TProjeto& p) { return Plano(p.Estrada.Leito).nt.Valor; },
     [](TProjeto& p, double v) { Plano(p.Estrada.Leito).nt.Valor = v; }, nullptr,
     RUGOSIDADE_HTML},
    {CAMPO_VIB_TALUDE, "Taxa de infiltração estável", EXTERNA, E, U::Infiltracao, "", 0, false,
     1000, false, TERRENO_TALUDE, "VIB", false,
     [](const TProjeto& p) { return Plano(p.Estrada.AreaExterna).VIB(); },
     [](TProjeto& p, double v) { Plano(p.Estrada.AreaExterna).VIB(v); }},
    {CAMPO_ST_TALUDE, "Declividade", EXTERNA, E, U::Declividade, "", 0, false, 10, false,
     TERRENO_TALUDE, "St", false, [](const TProjeto& p) { return Plano(p.Estrada.AreaExterna).St(); },
     [](TProjeto& p, double v) { Plano(p.Estrada.AreaExterna).St(v); }},
    {CAMPO_COMP_TALUDE, "Comprimento", EXTERNA, E, U::Fixa, "m", 1, true, 10000, true,
     ENCOSTA_TALUDE, "Comprimento", false,
     [](const TProjeto& p) { return double(Plano(p.Estrada.AreaExterna).Comprimento()); },
     [](TProjeto& p, double v) { Plano(p.Estrada.AreaExterna).Comprimento(int(v)); }},
    {CAMPO_RUG_TALUDE, "Rugosidade", EXTERNA, E, U::Nenhuma, "", 0, false, 1, false, TERRENO_TALUDE,
     "nt", false, [](const TProjeto& p) { return Plano(p.Estrada.AreaExterna).nt.Valor; },
     [](TProjeto& p, double v) { Plano(p.Estrada.AreaExterna).nt.Valor = v; }, nullptr, RUGOSIDADE_HTML},
    {CAMPO_Z_CANAL, "Z", CANAL, E, U::Nenhuma, "", 0, false, 100, false, SECAO_CANAL, "ValorZ",
     false, [](const TProjeto& p) { return p.Estrada.Z.Valor; },
     [](TProjeto& p, double v) { p.Estrada.Z.Valor = v; }},
    {CAMPO_B_CANAL, "B", CANAL, E, U::Fixa, "m", 0, false, 100, false, SECAO_CANAL, "B", false,
     [](const TProjeto& p) { return p.Estrada.B(); },
     [](TProjeto& p, double v) { p.Estrada.B(v); }},
    {CAMPO_M1_CANAL, "m1", CANAL, E, U::Nenhuma, "", 0, false, 100, false, SECAO_CANAL, "ValorZ",
     false, [](const TProjeto& p) { return p.Estrada.Z.Valor; },
     [](TProjeto& p, double v) { p.Estrada.Z.Valor = v; }},
    {CAMPO_M2_CANAL, "m2", CANAL, E, U::Nenhuma, "", 0, false, 100, false, SECAO_CANAL, "ValorSm",
     true, [](const TProjeto& p) { return p.Estrada.Sm.Valor; },
     [](TProjeto& p, double v) { p.Estrada.Sm.Valor = v; }},
    {CAMPO_SC_CANAL, "Declividade", CANAL, E, U::Declividade, "", 0, false, 1, false,
     GRADIENTE_CANAL, "Sc", false, [](const TProjeto& p) { return p.Estrada.Sc; },
     [](TProjeto& p, double v) { p.Estrada.Sc = v; }},
    {CAMPO_RUG_CANAL, "Rugosidade", CANAL, E, U::Nenhuma, "", 0, false, 1, false, GRADIENTE_CANAL,
     "nc", false, [](const TProjeto& p) { return p.Estrada.nc.Valor; },
     [](TProjeto& p, double v) { p.Estrada.nc.Valor = v; }, nullptr, RUGOSIDADE_HTML},
    {CAMPO_COMP_CANAL, "Comprimento", CANAL, E, U::Fixa, "m", 1, true, 100000, true,
     GRADIENTE_CANAL, "Comprimento", false,
     [](const TProjeto& p) { return double(p.Estrada.Comprimento()); },
     [](TProjeto& p, double v) { p.Estrada.Comprimento(int(v)); }},
    {CAMPO_APROFUNDAMENTO, "Aprofundamento máximo", CANAL, E, U::Fixa, "cm", 0, false, 1000, false,
     CANAL_ESTRADA, "Aprofundamento", false,
     [](const TProjeto& p) { return p.Estrada.Aprofundamento; },
     [](TProjeto& p, double v) { p.Estrada.Aprofundamento = v; }},
    {CAMPO_TENSAO_CRITICA, "Tensão crítica", SOLO, E, U::Fixa, "Pa", 0, false, 10000, false,
     CANAL_ESTRADA, "TalCritica", false, [](const TProjeto& p) { return p.Estrada.TalCritica; },
     [](TProjeto& p, double v) { p.Estrada.TalCritica = v; }},
    {CAMPO_ERODIBILIDADE, "Erodibilidade", SOLO, E, U::Erodibilidade, "", 0, false, 0.6, false,
     CANAL_ESTRADA, "Erodibilidade", false,
     [](const TProjeto& p) { return p.Estrada.Erodibilidade; },
     [](TProjeto& p, double v) { p.Estrada.Erodibilidade = v; }},
    {CAMPO_DENSIDADE, "Massa específica", SOLO, E, U::Fixa, "g/cm³", 0, false, 10, false,
     CANAL_ESTRADA, "Densidade", false, [](const TProjeto& p) { return p.Estrada.Densidade; },
     [](TProjeto& p, double v) { p.Estrada.Densidade = v; }, "Massa específica aparente", "g·cm⁻³"},
    {CAMPO_M1_BACIA, "m1", BACIA, B, U::Nenhuma, "", 0, false, 100, false, BACIA_ACUMULACAO, "m1",
     false, [](const TProjeto& p) { return p.Estrada.Bacia.m1; },
     [](TProjeto& p, double v) { p.Estrada.Bacia.m1 = v; }},
    {CAMPO_M2_BACIA, "m2", BACIA, B, U::Nenhuma, "", 0, false, 100, false, BACIA_ACUMULACAO, "m2",
     false, [](const TProjeto& p) { return p.Estrada.Bacia.m2; },
     [](TProjeto& p, double v) { p.Estrada.Bacia.m2 = v; }},
    {CAMPO_PROF_BACIA, "Profundidade (H)", BACIA, B, U::Fixa, "m", 0, false, 100, false,
     BACIA_ACUMULACAO, "Profundidade", false,
     [](const TProjeto& p) { return p.Estrada.Bacia.Profundidade; },
     [](TProjeto& p, double v) { p.Estrada.Bacia.Profundidade = v; }},
    {CAMPO_Z_CONDUCAO, "Z", CONDUCAO, B, U::Nenhuma, "", 0, false, 100, false, SECAO_CONDUCAO,
     "ValorZ", false, [](const TProjeto& p) { return Conducao(p).Z.Valor; },
     [](TProjeto& p, double v) { Conducao(p).Z.Valor = v; }},
    {CAMPO_B_CONDUCAO, "B", CONDUCAO, B, U::Fixa, "m", 0, true, 100, false, SECAO_CONDUCAO, "B",
     false, [](const TProjeto& p) { return Conducao(p).B(); },
     [](TProjeto& p, double v) { Conducao(p).B(v); }},
    {CAMPO_M1_CONDUCAO, "m1", CONDUCAO, B, U::Nenhuma, "", 0, false, 100, false, SECAO_CONDUCAO,
     "ValorZ", true, [](const TProjeto& p) { return Conducao(p).Z.Valor; },
     [](TProjeto& p, double v) { Conducao(p).Z.Valor = v; }},
    {CAMPO_M2_CONDUCAO, "m2", CONDUCAO, B, U::Nenhuma, "", 0, false, 100, false, SECAO_CONDUCAO,
     "ValorSm", true, [](const TProjeto& p) { return Conducao(p).Sm.Valor; },
     [](TProjeto& p, double v) { Conducao(p).Sm.Valor = v; }},
    {CAMPO_RUG_CONDUCAO, "Rugosidade", CONDUCAO, B, U::Nenhuma, "", 0, false, 1, false,
     GRADIENTE_CONDUCAO, "nc", false, [](const TProjeto& p) { return Conducao(p).nc.Valor; },
     [](TProjeto& p, double v) { Conducao(p).nc.Valor = v; }, nullptr, RUGOSIDADE_HTML},
    {CAMPO_SC_CONDUCAO, "Declividade", CONDUCAO, B, U::Declividade, "", 0, false, 1, false,
     GRADIENTE_CONDUCAO, "Sc", false, [](const TProjeto& p) { return Conducao(p).Sc; },
     [](TProjeto& p, double v) { Conducao(p).Sc = v; }},
};

// Fator do valor guardado (limites da tabela) para o mostrado.
double Fator(const TCampoProjeto& c, const TEscolhaUnidades& u) {
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

// Fator do valor do arquivo para o mostrado. A erodibilidade é guardada como digitada.
double FatorValor(const TCampoProjeto& c, const TEscolhaUnidades& u) {
    switch (c.Unidade) {
    case U::Declividade:
        return u.FatorDeclividade;
    case U::Infiltracao:
        return u.FatorVI;
    default:
        return 1;
    }
}

std::string Numero(double v) {
    return FloatToStr(v, SeparadorDecimalLocal());
}

} // namespace

const std::vector<TCampoProjeto>& TodosCamposProjeto() {
    return CAMPOS;
}

const TCampoProjeto* CampoProjeto(TCampo id) {
    // A tabela está na ordem dos identificadores.
    if (id < 0 || id >= NUM_CAMPOS_NUMERICOS) return nullptr;
    return &CAMPOS[std::size_t(id)];
}

bool CampoAplicavel(TCampo id, const TProjeto& p, bool areaExternaAtiva) {
    const TCanalEstrada& e = p.Estrada;
    const bool triangular = e.TipoCanal.Valor == CANAL_TRIANGULAR;
    const bool conducaoTriangular = Conducao(p).TipoCanal.Valor == CANAL_TRIANGULAR;
    switch (id) {
    case CAMPO_VIB_TALUDE:
    case CAMPO_ST_TALUDE:
    case CAMPO_COMP_TALUDE:
    case CAMPO_RUG_TALUDE:
    case CAMPO_COBERTURA_TALUDE:
        return areaExternaAtiva;
    case CAMPO_Z_CANAL:
    case CAMPO_B_CANAL:
        return !triangular;
    case CAMPO_M1_CANAL:
    case CAMPO_M2_CANAL:
        return triangular;
    case CAMPO_Z_CONDUCAO:
    case CAMPO_B_CONDUCAO:
        return !conducaoTriangular;
    case CAMPO_M1_CONDUCAO:
    case CAMPO_M2_CONDUCAO:
        return conducaoTriangular;
    case CAMPO_M1_BACIA:
    case CAMPO_M2_BACIA:
        return e.Bacia.Formato == TBaciaAcumulacao::RETANGULAR;
    default:
        return true;
    }
}

bool CampoAplicavel(TCampo id, const TProjeto& p) {
    return CampoAplicavel(id, p, p.Estrada.IndSecao != 3);
}

const char* RotuloNaTela(const TCampoProjeto& c, const TProjeto& p) {
    if (c.Id == CAMPO_COMP_ESTRADA) return p.Estrada.IndSecao == 2 ? "Largura" : "Semilargura";
    return c.Rotulo;
}

double ValorMostrado(const TCampoProjeto& c, const TProjeto& p, const TEscolhaUnidades& u) {
    const double v = c.Valor(p);
    // Inclinação zero não tem inverso: zero, que a verificação recusa (como a negativa).
    if (c.Reciproco) return v != 0 ? 1 / v : 0;
    return c.Unidade == U::Declividade || c.Unidade == U::Infiltracao ? v * FatorValor(c, u) : v;
}

void DefinirMostrado(const TCampoProjeto& c, TProjeto& p, double v, const TEscolhaUnidades& u) {
    if (c.Reciproco)
        c.Definir(p, v != 0 ? 1 / v : 0.0);
    else if (c.Unidade == U::Declividade || c.Unidade == U::Infiltracao)
        c.Definir(p, v / FatorValor(c, u));
    else
        c.Definir(p, v);
}

std::string UnidadeMostrada(const TCampoProjeto& c, const TEscolhaUnidades& u) {
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

double MinimoMostrado(const TCampoProjeto& c, const TEscolhaUnidades& u) {
    return c.Minimo * Fator(c, u);
}

double MaximoMostrado(const TCampoProjeto& c, const TEscolhaUnidades& u) {
    return c.Maximo * Fator(c, u);
}

bool DentroDaFaixa(const TCampoProjeto& c, double v, const TEscolhaUnidades& u) {
    // Um valor tão perto de zero não é medida de nada e estoura o cálculo (1/n, por exemplo).
    if (v != 0 && std::fabs(v) < 1e-307) return false;
    const double minimo = MinimoMostrado(c, u);
    if (!(c.MinimoIncluido ? v >= minimo : v > minimo)) return false;
    if (!(v <= MaximoMostrado(c, u))) return false;
    return !c.Inteiro || v == double(static_cast<long long>(v));
}

bool GuardavelNoCampo(const TCampoProjeto& c, double v, const TEscolhaUnidades& u) {
    return v >= 0 && v <= MaximoMostrado(c, u);
}

std::string MensagemCampo(const TCampoProjeto& c, const TEscolhaUnidades& u, TMotivoFalha motivo,
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
