#include "project/ConfUnidades.h"

namespace {

struct TOpcao {
    const char* rotulo;
    double fator;
};

const TOpcao OPCOES_DECLIVIDADE[] = {{"%", 100}, {"m/m", 1}};
const TOpcao OPCOES_VI[] = {{"m/h", 0.001}, {"mm/h", 1.0}, {"m/dia", 0.024}, {"cm/dia", 2.4}};
const TOpcao OPCOES_ERODIBILIDADE[] = {{"kg·m⁻²·s⁻¹·Pa⁻¹", 6.0}, {"g·cm⁻²·min⁻¹·Pa⁻¹", 1.0}};
const TOpcao OPCOES_COMPRIMENTO[] = {{"cm", 0.01}, {"mm", 0.001}, {"m", 1.0}, {"km", 1000.0}};

const char* const SECAO = "UNIDADES";

} // namespace

const std::vector<std::string> ITENS_DECLIVIDADE = {"%", "m/m"};
const std::vector<std::string> ITENS_VI = {"m/h", "mm/h", "m/dia", "cm/dia"};
const std::vector<std::string> ITENS_ERODIBILIDADE = {"s/m", "g·cm⁻²·min⁻¹·Pa⁻¹"};

void TEscolhaUnidades::Padrao() {
    SetDeclividade(1);
    SetComprimento(2);
    SetVI(1);
    SetErodibilidade(1);
    Estado = 1;
}

void TEscolhaUnidades::SetDeclividade(std::uint8_t opcao) {
    Declividade = opcao;
    if (opcao < std::size(OPCOES_DECLIVIDADE)) {
        UnidadeDeclividade = OPCOES_DECLIVIDADE[opcao].rotulo;
        FatorDeclividade = int(OPCOES_DECLIVIDADE[opcao].fator);
    }
}

void TEscolhaUnidades::SetComprimento(std::uint8_t opcao) {
    Comprimento = opcao;
    if (opcao < std::size(OPCOES_COMPRIMENTO)) {
        UnidadeComprimento = OPCOES_COMPRIMENTO[opcao].rotulo;
        FatorComprimento = OPCOES_COMPRIMENTO[opcao].fator;
    }
}

void TEscolhaUnidades::SetVI(std::uint8_t opcao) {
    VI = opcao;
    if (opcao < std::size(OPCOES_VI)) {
        UnidadeVI = OPCOES_VI[opcao].rotulo;
        FatorVI = OPCOES_VI[opcao].fator;
    }
}

void TEscolhaUnidades::SetErodibilidade(std::uint8_t opcao) {
    Erodibilidade = opcao;
    if (opcao < std::size(OPCOES_ERODIBILIDADE)) {
        UnidadeErodibilidade = OPCOES_ERODIBILIDADE[opcao].rotulo;
        FatorErodibilidade = OPCOES_ERODIBILIDADE[opcao].fator;
    }
}

bool TEscolhaUnidades::Ler(TArquivoIni& ini) {
    if (ini.LerTexto(SECAO, "Versao", "") != "1") {
        Padrao();
        return false;
    }
    const long comp = ini.LerInteiro(SECAO, "Comprimento", 0);
    if (comp < 0 || comp > 3) return false;
    SetComprimento(std::uint8_t(comp));
    const long decl = ini.LerInteiro(SECAO, "Declividade", 0);
    if (decl < 0 || decl > 1) return false;
    SetDeclividade(std::uint8_t(decl));
    const long vi = ini.LerInteiro(SECAO, "VI", 0);
    if (vi < 0 || vi > 3) return false;
    SetVI(std::uint8_t(vi));
    const long erod = ini.LerInteiro(SECAO, "Erodibilidade", 0);
    if (erod < 0 || erod > 1) return false;
    SetErodibilidade(std::uint8_t(erod));
    Estado = int(ini.LerInteiro(SECAO, "Estado", 1));
    return true;
}

bool TEscolhaUnidades::Gravar(TArquivoIni& ini) const {
    ini.EscreverTexto(SECAO, "Versao", "1");
    ini.EscreverInteiro(SECAO, "Declividade", Declividade);
    ini.EscreverInteiro(SECAO, "Comprimento", Comprimento);
    ini.EscreverInteiro(SECAO, "VI", VI);
    ini.EscreverInteiro(SECAO, "Estado", Estado);
    ini.EscreverInteiro(SECAO, "Erodibilidade", Erodibilidade);
    return true;
}
