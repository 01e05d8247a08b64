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
        return ConcluirGeracao(m, m.Estacoes,
                               m.Erros.empty() ? ArquivoEstacoes(m.Estacoes) : std::string(),
                               argv[3], "estações");
    } catch (const EMorvendo& e) {
        std::cerr << "erro: " << e.what() << '\n';
        return 1;
    }
}
