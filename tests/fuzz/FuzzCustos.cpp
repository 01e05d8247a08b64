// Alvo libFuzzer do CSV de custos da proteção do canal.
#include "comum/EMorvendo.h"
#include "project/ProtecaoCanal.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    try {
        std::istringstream in(std::string(reinterpret_cast<const char*>(dados), tamanho));
        const TCustosProtecao c = LerCustosCsv(in);
        // O que entra é um custo que a página e o arquivo do projeto aceitam.
        for (const TChaveCusto& k : ChavesCustos())
            if (const auto& v = c.*k.Membro; v && !(*v >= 0 && *v <= CUSTO_MAXIMO)) std::abort();
    } catch (const EMorvendo&) {
    }
    return 0;
}
