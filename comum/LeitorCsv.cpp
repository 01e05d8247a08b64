#include "comum/LeitorCsv.h"

#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"

#include <cctype>
#include <iterator>

int TTabelaCsv::Coluna(std::string_view nome) const {
    for (std::size_t i = 0; i < Cabecalho.size(); ++i) {
        const auto& c = Cabecalho[i];
        if (c.size() != nome.size()) continue;
        bool igual = true;
        for (std::size_t k = 0; k < c.size() && igual; ++k)
            igual = std::tolower(static_cast<unsigned char>(c[k])) ==
                    std::tolower(static_cast<unsigned char>(nome[k]));
        if (igual) return static_cast<int>(i);
    }
    return -1;
}

namespace {
const char MARCA_UTF8[] = "\xEF\xBB\xBF";
}

void TLeitorCsv::Acrescentar(std::string_view parte) {
    for (const char c : parte) {
        if (FBom < 3) {
            if (c == MARCA_UTF8[FBom]) {
                ++FBom;
                continue;
            }
            // Não era a marca: os bytes retidos são texto.
            const int retidos = FBom;
            FBom = 3;
            for (int k = 0; k < retidos; ++k)
                Empurrar(MARCA_UTF8[k]);
        }
        Empurrar(c);
    }
}

void TLeitorCsv::Empurrar(char c) {
    if (FTemAnterior) Passo(FAnterior, static_cast<unsigned char>(c));
    FAnterior = c;
    FTemAnterior = true;
}

void TLeitorCsv::Terminar() {
    if (FBom < 3) {
        const int retidos = FBom;
        FBom = 3;
        for (int k = 0; k < retidos; ++k)
            Empurrar(MARCA_UTF8[k]);
    }
    if (FTemAnterior) Passo(FAnterior, -1);
    FTemAnterior = false;
    if (FEntreAspas)
        throw EMorvendo(FNome + ", linha " + std::to_string(FAtual.Linha) +
                        ": aspas abertas até o fim do arquivo.");
    if (!FRegistroVazio) {
        FecharCampo();
        FecharRegistro();
    }
}

void TLeitorCsv::FecharCampo() {
    FAtual.Campos.push_back(std::move(FCampo));
    FCampo.clear();
    FCampoIniciado = FHouveAspas = false;
}

void TLeitorCsv::FecharRegistro() {
    // Linhas em branco não são registros.
    if (!FRegistroVazio) Prontos.push_back(std::move(FAtual));
    FAtual = TLinhaCsv{FLinha + 1, {}};
    FRegistroVazio = true;
}

// 'proximo' é o caractere seguinte (0 a 255) ou -1 no fim do texto.
void TLeitorCsv::Passo(char c, int proximo) {
    if (FPular) {
        FPular = false;
        return;
    }
    if (c != '\n' && c != '\r') FRegistroVazio = false;
    if (FEntreAspas) {
        if (c == '"') {
            if (proximo == '"') {
                FCampo += '"';
                FPular = true;
            } else {
                FEntreAspas = false;
            }
        } else {
            if (c == '\n') ++FLinha;
            FCampo += c;
        }
        return;
    }
    if (c == '"' && !FCampoIniciado) {
        FEntreAspas = FHouveAspas = FCampoIniciado = true;
    } else if (c == '"') {
        throw EMorvendo(FNome + ", linha " + std::to_string(FLinha) +
                        ": aspas no meio de um campo sem aspas.");
    } else if (c == FSeparador) {
        FecharCampo();
    } else if (c == '\r' && proximo == '\n') {
        return;
    } else if (c == '\n') {
        FecharCampo();
        FecharRegistro();
        ++FLinha;
    } else {
        if (FHouveAspas)
            throw EMorvendo(FNome + ", linha " + std::to_string(FLinha) +
                            ": texto depois das aspas de fechamento.");
        FCampo += c;
        FCampoIniciado = true;
    }
}

TTabelaCsv LerCsvTexto(std::string_view texto, const std::string& nomeArquivo) {
    TLeitorCsv leitor(nomeArquivo);
    leitor.Acrescentar(texto);
    leitor.Terminar();
    std::vector<TLinhaCsv>& registros = leitor.Prontos;
    if (registros.empty()) throw EMorvendo(nomeArquivo + ": arquivo vazio, falta o cabeçalho.");
    TTabelaCsv tabela;
    tabela.Cabecalho = std::move(registros.front().Campos);
    registros.erase(registros.begin());
    tabela.Registros = std::move(registros);
    return tabela;
}

TTabelaCsv LerCsv(const std::string& caminho) {
    return LerCsvTexto(LerArquivoComum(caminho), caminho);
}

std::string CampoCsv(std::string_view texto, char separador) {
    const char especiais[] = {separador, '"', '\r', '\n', '\0'};
    if (texto.find_first_of(especiais) == std::string_view::npos) return std::string(texto);
    std::string r = "\"";
    for (const char c : texto) {
        if (c == '"') r += '"';
        r += c;
    }
    return r + '"';
}
