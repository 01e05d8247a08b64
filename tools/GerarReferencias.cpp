// Gera idf/ReferenciasIdf.cpp, a tabela de referências compilada no programa, a partir da
// tabela de fontes:
//   gerar_referencias fontes.csv idf/ReferenciasIdf.cpp
#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "tools/DadosIdf.h"

#include <iostream>

namespace {

std::string Literal(const std::string& s) {
    std::string r = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') r += '\\';
        if (c == '\n') {
            r += "\\n";
            continue;
        }
        r += c;
    }
    return r + "\"";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "uso: gerar_referencias <fontes.csv> <ReferenciasIdf.cpp>\n";
        return 2;
    }
    try {
        const TTabelaCsv t = LerCsv(argv[1]);
        TMontagem relatorio;
        ChavesFontes(t, argv[1], relatorio);
        for (const char* c : {"autores", "titulo", "publicacao", "ano", "regiao", "url"})
            if (t.Coluna(c) < 0) relatorio.Erros.push_back(std::string("falta a coluna ") + c);
        for (const auto& e : relatorio.Erros)
            std::cerr << "erro: " << e << '\n';
        if (!relatorio.Erros.empty()) return 1;

        std::string saida = "// Gerado por tools/GerarReferencias.cpp a partir de "
                            "data/fontes/fontes.csv; não edite.\n"
                            "// clang-format off\n"
                            "#include \"idf/ReferenciasIdf.h\"\n\n"
                            "const std::vector<TReferencia>& ReferenciasIdf() {\n"
                            "    static const std::vector<TReferencia> tabela = {\n";
        std::string goias;
        for (const auto& l : t.Registros) {
            auto campo = [&](const char* nome) {
                const auto i = static_cast<std::size_t>(t.Coluna(nome));
                return i < l.Campos.size() ? l.Campos[i] : std::string();
            };
            // O ano vai à linha da publicação quando ela ainda não o traz.
            auto publicacao = campo("publicacao");
            if (const auto ano = campo("ano");
                !ano.empty() && publicacao.find(ano) == std::string::npos)
                publicacao += ", " + ano;
            saida += "        {" + Literal(campo("fonte")) + ",\n         " +
                     Literal(campo("autores")) + ",\n         " + Literal(campo("titulo")) +
                     ",\n         " + Literal(publicacao) + ",\n         " +
                     Literal(campo("regiao")) + ",\n         " + Literal(campo("url")) + "},\n";
            const auto regiao = campo("regiao");
            if (goias.empty() && (regiao.rfind("GO", 0) == 0 || regiao.rfind("DF", 0) == 0))
                goias = campo("fonte");
        }
        saida += "    };\n    return tabela;\n}\n\n"
                 "const TReferencia* ProcurarReferencia(std::string_view chave) {\n"
                 "    for (const auto& r : ReferenciasIdf())\n"
                 "        if (r.Chave == chave) return &r;\n"
                 "    return nullptr;\n}\n\n"
                 "std::string_view ChaveFonteGoiasDF() { return " +
                 Literal(goias) + "; }\n";
        GravarArquivoAtomico(argv[2], saida);
        std::cout << argv[2] << ": " << t.Registros.size() << " referências\n";
        return 0;
    } catch (const EMorvendo& e) {
        std::cerr << "erro: " << e.what() << '\n';
        return 1;
    }
}
