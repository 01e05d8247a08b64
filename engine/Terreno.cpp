// A superfície de um plano (cobertura, uso e tipo de solo): número de curva, abstração inicial
// e o tempo em que a chuva a preenche.
#include "engine/Terreno.h"

#include <cmath>

#include "comum/EMorvendo.h"
#include "engine/Persistencia.h"
#include "engine/Precipitacao.h"
#include "engine/RaizNewton.h"
#include "engine/Unidades.h"

const char* const TUsoTerra::Nomes[TUsoTerra::Quantidade] = {"Sem cultivo",
                                                             "Cultivo em fileiras",
                                                             "Cereais de semeadura densa",
                                                             "Leguminosas de semeadura densa",
                                                             "Pastagem para pastoreio",
                                                             "Floresta"};
const char* const TTratamento::Nomes[TTratamento::Quantidade] = {
    "", "Fileiras retas", "Com curvas de nível", "Curvas de nível e terraço"};
const char* const TCondicaoHidrologica::Nomes[TCondicaoHidrologica::Quantidade] = {
    "", "Má", "Regular", "Boa"};

void TCobertura::Limpar() {
    UsoTerra.Limpar();
    Tratamento.Limpar();
    CondicaoHidrologica.Limpar();
}

bool TCobertura::Ler(TArquivoIni& ini) {
    const std::string secao = "Cobertura" + Nome;
    if (ini.LerTexto(secao, "Versao", "0") != "1") return false;
    const long uso = ini.LerInteiro(secao, "IndUso", -1);
    if (uso < 0 || uso >= TUsoTerra::Quantidade) return false;
    UsoTerra.Indice = std::uint8_t(uso);
    const long cond = ini.LerInteiro(secao, "IndCond", -1);
    if (cond < 0 || cond >= TCondicaoHidrologica::Quantidade) return false;
    CondicaoHidrologica.Indice = std::uint8_t(cond);
    const long trat = ini.LerInteiro(secao, "IndTrat", -1);
    if (trat < 0 || trat >= TTratamento::Quantidade) return false;
    Tratamento.Indice = std::uint8_t(trat);
    return true;
}

bool TCobertura::Gravar(TArquivoIni& ini) {
    const std::string secao = "Cobertura" + Nome;
    ini.EscreverTexto(secao, "Versao", "1");
    ini.EscreverInteiro(secao, "IndUso", UsoTerra.Indice);
    ini.EscreverInteiro(secao, "IndCond", CondicaoHidrologica.Indice);
    ini.EscreverInteiro(secao, "IndTrat", Tratamento.Indice);
    return true;
}

TTerreno::TTerreno(const std::string& nome) : Cobertura(nome), FNome(nome) {
    TTerreno::Limpar();
}

void TTerreno::Limpar() {
    VIB(0);
    St(0);
    Cobertura.Limpar();
    nt = TReal{};
}

bool TTerreno::Ler(TArquivoIni& ini) {
    const std::string secao = "Terreno" + FNome;
    if (ini.LerTexto(secao, "Versao", "0") != "1") return false;
    if (!Cobertura.Ler(ini)) return false;
    VIB(ini.LerReal(secao, "VIB", 0));
    St(ini.LerReal(secao, "St", 0));
    nt.Valor = ini.LerReal(secao, "nt", 0);
    // O índice cabe em 8 bits com sinal; fora disso o arquivo não é confiável.
    const long ind = ini.LerInteiro(secao, "Indnt", -1);
    if (ind < 0 || ind > 127) return false;
    nt.Indice = std::int8_t(ind);
    return true;
}

bool TTerreno::Gravar(TArquivoIni& ini) {
    Cobertura.Gravar(ini);
    const std::string secao = "Terreno" + FNome;
    ini.EscreverTexto(secao, "Versao", "1");
    GravarReal(ini, secao, "VIB", FVIB);
    GravarReal(ini, secao, "St", FSt);
    GravarReal(ini, secao, "nt", nt.Valor);
    ini.EscreverInteiro(secao, "Indnt", nt.Indice);
    return true;
}

namespace {

struct TLinhaCN {
    int uso, trat, cond; // -1: qualquer
    int excetoCond;      // condição excluída (-1: nenhuma)
    int cn[4];
};

// Números de curva por uso, tratamento e condição; colunas pela infiltração estável.
const TLinhaCN TABELA_CN[] = {
    {0, -1, -1, -1, {98, 97, 94, 89}}, {1, 1, 1, -1, {97, 95, 92, 86}},
    {1, 1, 3, -1, {96, 94, 90, 83}},   {1, 2, 1, -1, {95, 93, 91, 85}},
    {1, 2, 3, -1, {94, 92, 88, 82}},   {1, 3, 1, -1, {92, 91, 88, 82}},
    {1, 3, 3, -1, {92, 90, 86, 79}},   {2, 1, 1, -1, {95, 93, 89, 82}},
    {2, 1, 3, -1, {95, 93, 88, 80}},   {2, 2, 1, -1, {94, 92, 88, 80}},
    {2, 2, -1, 1, {93, 92, 87, 78}},   {2, 3, 1, -1, {92, 91, 86, 78}},
    {2, 3, 3, -1, {92, 90, 85, 77}},   {3, 1, 1, -1, {96, 94, 89, 82}},
    {3, 1, 3, -1, {94, 92, 86, 76}},   {3, 2, 1, -1, {94, 93, 88, 81}},
    {3, 2, 3, -1, {93, 90, 84, 74}},   {3, 3, 1, -1, {93, 91, 87, 80}},
    {3, 3, 3, -1, {91, 89, 83, 70}},   {4, 1, 1, -1, {96, 94, 91, 84}},
    {4, 1, 2, -1, {93, 91, 84, 69}},   {4, 1, 3, -1, {91, 88, 78, 59}},
    {4, 2, 1, -1, {95, 92, 83, 67}},   {4, 2, 2, -1, {93, 88, 77, 43}},
    {4, 2, 3, -1, {91, 85, 55, 15}},   {5, -1, 1, -1, {93, 89, 82, 65}},
    {5, -1, 2, -1, {91, 87, 78, 56}},  {5, -1, 3, -1, {89, 85, 74, 43}},
};

} // namespace

int NumeroDeCurva(const TTerreno& s) {
    const int uso = s.Cobertura.UsoTerra.Indice;
    const int trat = s.Cobertura.Tratamento.Indice;
    const int cond = s.Cobertura.CondicaoHidrologica.Indice;
    const double vib = s.VIB();
    const int coluna = vib <= 3 ? 0 : vib <= 40 ? 1 : vib <= 190 ? 2 : 3;
    for (const TLinhaCN& l : TABELA_CN) {
        if (l.uso != uso) continue;
        if (l.trat != -1 && l.trat != trat) continue;
        if (l.cond != -1 && l.cond != cond) continue;
        if (l.excetoCond != -1 && l.excetoCond == cond) continue;
        return l.cn[coluna];
    }
    return 0;
}

double AbstracaoInicial(const TTerreno& s) {
    const int cn = NumeroDeCurva(s);
    if (cn == 0) return 0;
    return ABSTRACAO_INICIAL_POR_CN_MM * (100.0 / cn - 1);
}

namespace {

bool ChuvaDefinidaEm(TPrecipitacao& chuva, double t) {
    try {
        return std::isfinite(chuva.IntensidadeMedia(t));
    } catch (const ENumerico&) {
        return false;
    }
}

} // namespace

double TempoAbstracaoInicial(const TTerreno& s, TPrecipitacao& chuva) {
    const double ia = AbstracaoInicial(s);
    // Sem convergência não há abstração a descontar.
    const TRaizNewton r = RaizNewton(1, TOpcoesNewton{}, [&](double t) {
        const double passo = (chuva.IntensidadeMedia(t) * t - MINUTOS_POR_HORA * ia) /
                             chuva.IntensidadeInstantanea(t);
        // Com b pequeno a lâmina é muito curva perto de t = 0 e o passo cai antes de t = −b,
        // onde a chuva não existe; a raiz não é negativa, então o passo vai só até a metade.
        if (t > 0 && !ChuvaDefinidaEm(chuva, t - passo)) return t / 2;
        return passo;
    });
    // Com c > 1 a lâmina sobe até a intensidade zerar, em t = b/(c − 1), e desce depois: com b
    // pequeno o pico vem antes de 1 min, de onde Newton parte, e a busca acha a raiz da descida
    // ou nenhuma. Vale a da subida; sem ela a abstração leva a chuva toda.
    const auto* idf = dynamic_cast<const TPrecipitacaoExponencialNegativa*>(&chuva);
    if (idf && idf->C() > 1) {
        const double pico = idf->B() / (idf->C() - 1);
        if (!r.Convergiu || r.Valor > pico) {
            if (chuva.IntensidadeMedia(pico) * pico <= MINUTOS_POR_HORA * ia) return pico;
            return RaizCercada(0, pico, [&](double t) {
                return chuva.IntensidadeMedia(t) * t < MINUTOS_POR_HORA * ia;
            });
        }
    }
    if (r.Convergiu) return r.Valor;
    // Sem convergência a busca não diz nada: a lâmina só cresce (c ≤ 1), e a raiz fica
    // cercada no horizonte da chuva; sem ela, a abstração leva a chuva toda, como na subida
    // acima. Antes, 0: a abstração era esquecida e a água escoava desde o começo.
    if (chuva.IntensidadeMedia(CHUVA_SEM_FIM_MIN) * CHUVA_SEM_FIM_MIN <= MINUTOS_POR_HORA * ia)
        return CHUVA_SEM_FIM_MIN;
    return RaizCercada(0, CHUVA_SEM_FIM_MIN, [&](double t) {
        return chuva.IntensidadeMedia(t) * t < MINUTOS_POR_HORA * ia;
    });
}
