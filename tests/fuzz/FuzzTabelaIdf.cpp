// Alvo libFuzzer do leitor da tabela de intensidades (as duas disposições) e do ajuste
// da equação IDF sobre o que foi lido.
#include "comum/EMorvendo.h"
#include "idf/AjusteIdf.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string_view texto(reinterpret_cast<const char*>(dados), tamanho);
    try {
        const auto pontos = LerTabelaIdf(texto);
        for (const TPontoIdf& p : pontos)
            if (!std::isfinite(p.Duracao) || !std::isfinite(p.Tr) ||
                !std::isfinite(p.Intensidade))
                std::abort(); // o leitor nunca devolve um número que não seja finito
        // O ajuste custa mais; tabelas grandes só testam o leitor.
        if (pontos.size() <= 64) {
            const auto r = AjustarIdf(pontos);
            const auto& e = r.Parametros;
            if (!std::isfinite(e.K) || !std::isfinite(e.A) || !std::isfinite(e.B) ||
                !std::isfinite(e.C))
                std::abort();
        }
    } catch (const EMorvendo&) {
    }
    return 0;
}
