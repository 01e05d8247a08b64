// O leitor de CSV aos pedaços dá os mesmos registros, com as mesmas linhas, onde quer que o
// texto seja cortado (no meio de um CR LF, de um "" ou da marca UTF-8).
#include <gtest/gtest.h>

#include "comum/EMorvendo.h"
#include "comum/LeitorCsv.h"

namespace {

std::string Registros(const std::vector<TLinhaCsv>& registros) {
    std::string s;
    for (const TLinhaCsv& r : registros) {
        s += std::to_string(r.Linha) + ":";
        for (const std::string& c : r.Campos)
            s += "[" + c + "]";
        s += "\n";
    }
    return s;
}

// Os registros, ou a mensagem de erro, lendo o texto em pedaços do tamanho dado.
std::string Ler(std::string_view texto, std::size_t pedaco) {
    TLeitorCsv leitor("t.csv");
    std::vector<TLinhaCsv> todos;
    try {
        for (std::size_t i = 0; i < texto.size(); i += pedaco) {
            leitor.Acrescentar(texto.substr(i, pedaco));
            for (TLinhaCsv& r : leitor.Prontos)
                todos.push_back(std::move(r));
            leitor.Prontos.clear();
        }
        leitor.Terminar();
    } catch (const EMorvendo& e) {
        return e.what();
    }
    for (TLinhaCsv& r : leitor.Prontos)
        todos.push_back(std::move(r));
    return Registros(todos);
}

TEST(LeitorCsv, PedacosDeQualquerTamanhoDaoOsMesmosRegistros) {
    const std::pair<std::string, std::string> casos[] = {
        {"\xEF\xBB\xBF"
         "a,b\r\n\"x\"\"y\",\"1\r\n2\"\r\n\r\nc,\r",
         "1:[a][b]\n2:[x\"y][1\r\n2]\n5:[c][\r]\n"},
        {"\xEF\xBB"
         "a\n",
         "1:[\xEF\xBB"
         "a]\n"},
        {"a,\"b\"c\n", "t.csv, linha 1: texto depois das aspas de fechamento."},
        {"a\nb\"c\n", "t.csv, linha 2: aspas no meio de um campo sem aspas."},
        {"a\n\"b\n\nc", "t.csv, linha 2: aspas abertas até o fim do arquivo."},
        {"\"\"\"\"\n", "1:[\"]\n"},
    };
    for (const auto& [texto, esperado] : casos)
        for (std::size_t pedaco : {texto.size() + 1, std::size_t(1), std::size_t(2)})
            EXPECT_EQ(Ler(texto, pedaco), esperado) << pedaco << ": " << texto;
    EXPECT_EQ(Registros(LerCsvTexto(casos[0].first, "t.csv").Registros),
              "2:[x\"y][1\r\n2]\n5:[c][\r]\n");
}

} // namespace
