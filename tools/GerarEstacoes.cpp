// Gera Estados_Tar21.bin a partir da tabela de estações e da tabela de referências.
//   gerar_estacoes estacoes.csv fontes.csv Estados_Tar21.bin
#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "tools/DadosIdf.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "uso: gerar_estacoes <estacoes.csv> <fontes.csv> <Estados_Tar21.bin>\n";
        return 2;
    }
    try {
        TMontagem relatorio;
        const auto chaves = ChavesFontes(LerCsv(argv[2]), argv[2], relatorio);
        auto m = MontarEstacoes(LerCsv(argv[1]), chaves, argv[1]);
        m.Erros.insert(m.Erros.begin(), relatorio.Erros.begin(), relatorio.Erros.end());
        for (const auto& a : m.Avisos)
            std::cerr << "aviso: " << a << '\n';
        for (const auto& e : m.Erros)
            std::cerr << "erro: " << e << '\n';
        if (!m.Erros.empty()) {
            std::cerr << m.Erros.size() << " linha(s) recusada(s); nada foi gravado.\n";
            return 1;
        }
        GravarArquivoAtomico(argv[3], ArquivoEstacoes(m.Estacoes));
        std::size_t total = 0;
        for (const auto& lista : m.Estacoes)
            total += lista.size();
        std::cout << argv[3] << ": " << total << " estações\n";
        return 0;
    } catch (const EMorvendo& e) {
        std::cerr << "erro: " << e.what() << '\n';
        return 1;
    }
}
