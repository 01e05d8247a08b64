// Alvo libFuzzer da leitura de um projeto: bytes quaisquer num arquivo .mvd.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

#include "comum/EMorvendo.h"
#include "project/Projeto.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    static const std::string caminho = "/tmp/morvendo-fuzz-" + std::to_string(getpid()) + ".mvd";
    {
        std::ofstream f(caminho, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(dados), std::streamsize(tamanho));
    }
    TUnidades unidades;
    TProjeto p(unidades);
    ZerarVariaveis(p);
    try {
        if (LerProjeto(p, caminho)) (void)ValidarDados(p);
    } catch (const EMorvendo&) {
    }
    return 0;
}
