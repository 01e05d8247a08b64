// Alvo libFuzzer do leitor da tabela de resultados por seção.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

#include "comum/EMorvendo.h"
#include "reports/RelatorioTexto.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    static const std::string caminho = "/tmp/morvendo-fuzz-" + std::to_string(getpid()) + ".txt";
    {
        std::ofstream f(caminho, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(dados), std::streamsize(tamanho));
    }
    try {
        (void)LerRelatorioTexto(caminho);
    } catch (const EMorvendo&) {
    }
    return 0;
}
