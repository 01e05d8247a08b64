// Alvo libFuzzer dos dois leitores do banco IDF: arquivo de estações e de localidades.
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
//       tests/fuzz/FuzzBancoEstacoes.cpp idf/BancoEstacoes.cpp comum/Win1252.cpp comum/Numeros.cpp
//       -o fuzz_unbd
#include "comum/EMorvendo.h"
#include "idf/BancoEstacoes.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string_view bytes(reinterpret_cast<const char*>(dados), tamanho);
    try {
        const auto estacoes = LerArquivoEstacoes(bytes, "Estados_Tar21.bin");
        // O que foi lido volta a ser gravado, e a interpolação roda sobre ele.
        (void)ArquivoEstacoes(estacoes);
        TBancoEstacoes bd("");
        bd.Estacoes = estacoes;
        try {
            (void)bd.InterpolarParametros("20°45'14\"", "42°52'55\"");
        } catch (const EMorvendo&) {
        }
    } catch (const EMorvendo&) {
    }
    const int estado = tamanho > 0 ? dados[0] % NumeroEstados : 0;
    try {
        (void)LerLocalidadesDoEstado(bytes, estado, "Localidades_Tar21.bin");
    } catch (const EMorvendo&) {
    }
    return 0;
}
