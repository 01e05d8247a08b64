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

TTabelaCsv LerCsvTexto(std::string_view texto, const std::string& nomeArquivo) {
    if (texto.substr(0, 3) == "\xEF\xBB\xBF") texto.remove_prefix(3);
    TTabelaCsv tabela;
    std::vector<TLinhaCsv> registros;
    TLinhaCsv atual{1, {}};
    std::string campo;
    int linha = 1;
    bool entreAspas = false, campoIniciado = false, houveAspas = false, registroVazio = true;
    auto fecharCampo = [&] {
        atual.Campos.push_back(std::move(campo));
        campo.clear();
        campoIniciado = houveAspas = false;
    };
    auto fecharRegistro = [&] {
        // Linhas em branco não são registros.
        if (!registroVazio) registros.push_back(std::move(atual));
        atual = TLinhaCsv{linha + 1, {}};
        registroVazio = true;
    };
    for (std::size_t i = 0; i < texto.size(); ++i) {
        const char c = texto[i];
        if (c != '\n' && c != '\r') registroVazio = false;
        if (entreAspas) {
            if (c == '"') {
                if (i + 1 < texto.size() && texto[i + 1] == '"') {
                    campo += '"';
                    ++i;
                } else {
                    entreAspas = false;
                }
            } else {
                if (c == '\n') ++linha;
                campo += c;
            }
            continue;
        }
        if (c == '"' && !campoIniciado) {
            entreAspas = houveAspas = campoIniciado = true;
        } else if (c == '"') {
            throw EMorvendo(nomeArquivo + ", linha " + std::to_string(linha) +
                            ": aspas no meio de um campo sem aspas.");
        } else if (c == ',') {
            fecharCampo();
        } else if (c == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') {
            continue;
        } else if (c == '\n') {
            fecharCampo();
            fecharRegistro();
            ++linha;
        } else {
            if (houveAspas)
                throw EMorvendo(nomeArquivo + ", linha " + std::to_string(linha) +
                                ": texto depois das aspas de fechamento.");
            campo += c;
            campoIniciado = true;
        }
    }
    if (entreAspas)
        throw EMorvendo(nomeArquivo + ", linha " + std::to_string(atual.Linha) +
                        ": aspas abertas até o fim do arquivo.");
    if (!registroVazio) {
        fecharCampo();
        fecharRegistro();
    }
    if (registros.empty()) throw EMorvendo(nomeArquivo + ": arquivo vazio, falta o cabeçalho.");
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
