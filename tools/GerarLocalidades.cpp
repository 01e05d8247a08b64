// Gera Localidades_Tar21.bin a partir da tabela de localidades.
//   gerar_localidades localidades.csv Localidades_Tar21.bin
#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "tools/DadosIdf.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "uso: gerar_localidades <localidades.csv> <Localidades_Tar21.bin>\n";
        return 2;
    }
    try {
        const auto m = MontarLocalidades(LerCsv(argv[1]), argv[1]);
        return ConcluirGeracao(m, m.Localidades,
                               m.Erros.empty() ? ArquivoLocalidades(m.Localidades) : std::string(),
                               argv[2], "localidades");
    } catch (const EMorvendo& e) {
        std::cerr << "erro: " << e.what() << '\n';
        return 1;
    }
}
