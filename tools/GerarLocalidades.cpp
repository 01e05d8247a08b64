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
        for (const auto& a : m.Avisos)
            std::cerr << "aviso: " << a << '\n';
        for (const auto& e : m.Erros)
            std::cerr << "erro: " << e << '\n';
        if (!m.Erros.empty()) {
            std::cerr << m.Erros.size() << " linha(s) recusada(s); nada foi gravado.\n";
            return 1;
        }
        GravarArquivoAtomico(argv[2], ArquivoLocalidades(m.Localidades));
        std::size_t total = 0;
        for (const auto& lista : m.Localidades)
            total += lista.size();
        std::cout << argv[2] << ": " << total << " localidades\n";
        return 0;
    } catch (const EMorvendo& e) {
        std::cerr << "erro: " << e.what() << '\n';
        return 1;
    }
}
