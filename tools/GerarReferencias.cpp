// Gera idf/ReferenciasIdf.cpp, as tabelas de referências e de verificação das estações
// compiladas no programa, a partir das tabelas de fontes e de estações:
//   gerar_referencias fontes.csv estacoes.csv idf/ReferenciasIdf.cpp
#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "tools/DadosIdf.h"

#include <charconv>
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

// O menor texto que volta ao mesmo double: a tabela compilada guarda os valores do banco.
std::string Real(double v) {
    char b[64];
    const auto r = std::to_chars(b, b + sizeof b, v);
    std::string s(b, r.ptr);
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

const char* NomeVerificacao(TVerificacaoIdf v) {
    switch (v) {
    case TVerificacaoIdf::Primaria:
        return "TVerificacaoIdf::Primaria";
    case TVerificacaoIdf::Secundaria:
        return "TVerificacaoIdf::Secundaria";
    case TVerificacaoIdf::Convertida:
        return "TVerificacaoIdf::Convertida";
    case TVerificacaoIdf::NaoInformada:
        break;
    }
    return "TVerificacaoIdf::NaoInformada";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "uso: gerar_referencias <fontes.csv> <estacoes.csv> <ReferenciasIdf.cpp>\n";
        return 2;
    }
    try {
        const TTabelaCsv t = LerCsv(argv[1]);
        TMontagem relatorio;
        const auto chaves = ChavesFontes(t, argv[1], relatorio);
        for (const char* c : {"autores", "titulo", "publicacao", "ano", "regiao", "url"})
            if (t.Coluna(c) < 0) relatorio.Erros.push_back(std::string("falta a coluna ") + c);
        const auto estacoes = MontarEstacoes(LerCsv(argv[2]), chaves, argv[2]);
        relatorio.Erros.insert(relatorio.Erros.end(), estacoes.Erros.begin(), estacoes.Erros.end());
        for (const auto& e : relatorio.Erros)
            std::cerr << "erro: " << e << '\n';
        if (!relatorio.Erros.empty()) return 1;

        std::string saida = "// Gerado por tools/GerarReferencias.cpp a partir de "
                            "data/fontes/fontes.csv e estacoes.csv; não edite.\n"
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
            // A citação é o que a tela e o relatório mostram; "publicacao" guarda também as
            // notas de quem leu a fonte, que ficam só na tabela. O ano vai à linha quando ela
            // ainda não o traz.
            auto publicacao = t.Coluna("citacao") >= 0 && !campo("citacao").empty()
                                  ? campo("citacao")
                                  : campo("publicacao");
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
                 "const std::vector<TInfoEstacaoIdf>& InfoEstacoesIdf() {\n"
                 "    static const std::vector<TInfoEstacaoIdf> tabela = {\n";
        for (const auto& e : estacoes.Info)
            saida += "        {" + Literal(e.Uf) + ", " + Literal(e.Estacao) + ",\n         " +
                     Literal(e.Chave) + ", " + Real(e.K) + ", " + Real(e.A) + ", " + Real(e.B) +
                     ", " + Real(e.C) + ",\n         " + NomeVerificacao(e.Verificacao) + ", " +
                     Real(e.DuracaoMin) + ", " + Real(e.DuracaoMax) + ", false, {}, " +
                     Real(e.TrMin) + ", " + Real(e.TrMax) + "},\n";
        saida += "    };\n    return tabela;\n}\n\n"
                 "const TReferencia* ProcurarReferencia(std::string_view chave) {\n"
                 "    for (const auto& r : ReferenciasIdf())\n"
                 "        if (r.Chave == chave) return &r;\n"
                 "    return nullptr;\n}\n\n"
                 "std::string_view ChaveFonteGoiasDF() { return " +
                 Literal(goias) + "; }\n";
        GravarArquivoAtomico(argv[3], saida);
        std::cout << argv[3] << ": " << t.Registros.size() << " referências, "
                  << estacoes.Info.size() << " estações\n";
        return 0;
    } catch (const EMorvendo& e) {
        std::cerr << "erro: " << e.what() << '\n';
        return 1;
    }
}
