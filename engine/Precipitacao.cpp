// A chuva de projeto da equação IDF (i = K·T^a / (t + b)^c): intensidades, lâminas e a
// leitura e gravação, com a migração dos arquivos antigos.
#include "engine/Precipitacao.h"

#include <cmath>
#include <initializer_list>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "engine/Unidades.h"

namespace {

const char* const SECAO_CONSULTA = "TARSIO";

// Lê a versão de uma seção da chuva; "TARSIO" quando ausente (arquivo antigo).
std::string VersaoChuva(const TArquivoIni& ini, const std::string& secao) {
    return ini.LerTexto(secao, "Versao", "TARSIO");
}

// Arquivos antigos guardam as chaves da chuva em [TARSIO]: lê de lá e migra para a seção
// própria, só no documento em memória (quem lê nunca grava o arquivo). Sem a chave antiga,
// vale a da seção própria: um "Versao" apagado não pode zerar uma chuva válida.
double LerEMigrar(TArquivoIni& ini, const std::string& secao, const char* chave) {
    if (!ini.ExisteChave(SECAO_CONSULTA, chave)) return ini.LerReal(secao, chave, 0);
    const double v = ini.LerReal(SECAO_CONSULTA, chave, 0);
    GravarReal(ini, secao, chave, v);
    ini.ApagarChave(SECAO_CONSULTA, chave);
    return v;
}

// Ao gravar um projeto migrado na leitura, as chaves antigas saem de [TARSIO], como teria
// feito a migração no disco.
void ApagarChavesAntigas(TArquivoIni& ini, std::initializer_list<const char*> chaves) {
    for (const char* chave : chaves)
        ini.ApagarChave(SECAO_CONSULTA, chave);
}

} // namespace

void TPrecipitacao::DefinirNome(const std::string& nome) {
    FNome = nome;
    Limpar();
}

void TPrecipitacao::Limpar() {
    Duracao = 0;
    PrecipitacaoTotal = 0;
}

bool TPrecipitacao::Ler(TArquivoIni& ini) {
    try {
        Limpar();
        const std::string secao = "PRECIPITACAO" + FNome;
        const std::string versao = VersaoChuva(ini, secao);
        if (versao == "2") {
            Duracao = ini.LerReal(secao, "Duracao", 0);
            PrecipitacaoTotal = ini.LerReal(secao, "PrecipitacaoTotal", 0);
            return true;
        }
        if (versao == "TARSIO" || versao == "1") {
            ini.EscreverTexto(secao, "Versao", "2");
            Duracao = LerEMigrar(ini, secao, "Duracao");
            PrecipitacaoTotal = LerEMigrar(ini, secao, "PrecipitacaoTotal");
            return true;
        }
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

bool TPrecipitacao::Gravar(TArquivoIni& ini) {
    try {
        const std::string secao = "PRECIPITACAO" + FNome;
        ini.EscreverTexto(secao, "Versao", "2");
        GravarReal(ini, secao, "Duracao", Duracao);
        GravarReal(ini, secao, "PrecipitacaoTotal", PrecipitacaoTotal);
        ApagarChavesAntigas(ini, {"Duracao", "PrecipitacaoTotal"});
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void TPrecipitacaoExponencialNegativa::Limpar() {
    TPrecipitacao::Limpar();
    FTr = FK = FA = FB = FC = 0;
    CalcularFatorTr();
}

void TPrecipitacaoExponencialNegativa::CalcularFatorTr() {
    FFatorTr = (FK > 0 && FTr > 0 && FA > 0) ? FK * std::pow(FTr, FA) : -1.0;
}

void TPrecipitacaoExponencialNegativa::Tr(double v) {
    if (v < 0) throw EMorvendo("O período de retorno deve ser maior que zero.");
    FTr = v;
    CalcularFatorTr();
}

void TPrecipitacaoExponencialNegativa::K(double v) {
    if (v < 0) throw EMorvendo("O valor do parâmetro \"K\" deve ser maior que zero.");
    FK = v;
    CalcularFatorTr();
}

void TPrecipitacaoExponencialNegativa::A(double v) {
    if (v < 0) throw EMorvendo("O valor do parâmetro \"a\" deve ser maior que zero.");
    FA = v;
    CalcularFatorTr();
}

void TPrecipitacaoExponencialNegativa::B(double v) {
    if (v < 0) throw EMorvendo("O valor do parâmetro \"b\" deve ser maior que zero.");
    FB = v;
}

void TPrecipitacaoExponencialNegativa::C(double v) {
    if (v < 0) throw EMorvendo("O valor do parâmetro \"c\" deve ser maior que zero.");
    FC = v;
}

bool TPrecipitacaoExponencialNegativa::Ler(TArquivoIni& ini) {
    if (!TPrecipitacao::Ler(ini)) return false;
    try {
        const std::string secao = "PREC_EXPONENCIAL_NEGATIVA" + FNome;
        const std::string versao = VersaoChuva(ini, secao);
        if (versao == "2") {
            FTr = ini.LerReal(secao, "Tr", 0);
            FK = ini.LerReal(secao, "K", 0);
            FA = ini.LerReal(secao, "A", 0);
            FB = ini.LerReal(secao, "B", 0);
            FC = ini.LerReal(secao, "C", 0);
        } else if (versao == "TARSIO" || versao == "1") {
            ini.EscreverTexto(secao, "Versao", "2");
            FTr = LerEMigrar(ini, secao, "Tr");
            FK = LerEMigrar(ini, secao, "K");
            FA = LerEMigrar(ini, secao, "A");
            FB = LerEMigrar(ini, secao, "B");
            FC = LerEMigrar(ini, secao, "C");
        } else {
            return false;
        }
        CalcularFatorTr();
        return true;
    } catch (const std::exception&) {
        CalcularFatorTr();
        return false;
    }
}

bool TPrecipitacaoExponencialNegativa::Gravar(TArquivoIni& ini) {
    if (!TPrecipitacao::Gravar(ini)) return false;
    try {
        const std::string secao = "PREC_EXPONENCIAL_NEGATIVA" + FNome;
        ini.EscreverTexto(secao, "Versao", "2");
        GravarReal(ini, secao, "Tr", FTr);
        GravarReal(ini, secao, "K", FK);
        GravarReal(ini, secao, "A", FA);
        GravarReal(ini, secao, "B", FB);
        GravarReal(ini, secao, "C", FC);
        ApagarChavesAntigas(ini, {"Tr", "K", "A", "B", "C"});
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

double TPrecipitacaoExponencialNegativa::IntensidadeMedia(double t) {
    const double base = t + FB;
    // ln de zero ou de negativo é erro de ponto flutuante.
    if (base == 0) throw ENumerico("Divisão por zero em ponto flutuante.");
    if (!(base > 0)) throw ENumerico("Operação de ponto flutuante inválida.");
    return FFatorTr / std::exp(FC * std::log(base));
}

double TPrecipitacaoExponencialNegativa::IntensidadeInstantanea(double t) {
    return IntensidadeMedia(t) * (1 - FC * t / (t + FB));
}

double TPrecipitacaoExponencialNegativa::Lamina(double t) {
    return IntensidadeMedia(t) * t / MINUTOS_POR_HORA;
}
