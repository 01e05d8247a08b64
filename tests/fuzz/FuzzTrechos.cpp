// Alvo libFuzzer das tabelas da estrada: trechos e perfil longitudinal, e os trechos que o
// perfil forma.
#include "comum/EMorvendo.h"
#include "project/Estudos.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string texto(reinterpret_cast<const char*>(dados), tamanho);
    try {
        std::istringstream in(texto);
        for (const TTrecho& t : LerTrechosCsv(in))
            if (!std::isfinite(t.Inicio) || t.Declividade == 0 || !std::isfinite(t.Declividade) ||
                t.Comprimento < 1 || t.Nome.find('\0') != std::string::npos)
                std::abort();
    } catch (const EMorvendo&) {
    }
    try {
        std::istringstream in(texto);
        const auto perfil = LerPerfilCsv(in);
        for (const TTrecho& t : TrechosDoPerfil(perfil, tamanho > 0 ? dados[0] % 8 * 0.01 : 0))
            if (!std::isfinite(t.Inicio) || !std::isfinite(t.Declividade) || t.Comprimento < 1)
                std::abort();
    } catch (const EMorvendo&) {
    }
    return 0;
}
