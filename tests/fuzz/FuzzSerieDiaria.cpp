// Alvo libFuzzer do leitor da série de chuvas diárias, das máximas anuais e, com anos que
// bastem, do caminho até a equação; textos curtos também como tabela das relações.
#include "comum/EMorvendo.h"
#include "idf/SerieDiaria.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Conferir(bool condicao) {
    if (!condicao) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string_view texto(reinterpret_cast<const char*>(dados), tamanho);
    if (tamanho < 512) try {
            for (const TRelacaoDuracao& r : LerRelacoes(texto))
                Conferir(std::isfinite(r.Duracao) && std::isfinite(r.Relacao) && r.Relacao > 0);
        } catch (const EMorvendo&) {
        }
    try {
        const TSerieDiaria s = LerSerieDiaria(texto);
        Conferir(!s.Meses.empty() && !s.Estacao.empty());
        for (std::size_t i = 0; i < s.Meses.size(); ++i) {
            const TMesChuva& m = s.Meses[i];
            // Em ordem, um por mês, e só chuvas que a leitura aceita.
            if (i > 0) Conferir(s.Meses[i - 1].Ano * 12 + s.Meses[i - 1].Mes < m.Ano * 12 + m.Mes);
            for (const auto& v : m.Chuva)
                Conferir(!v || (std::isfinite(*v) && *v >= 0 && *v <= 2000));
        }
        for (int inicio : {1, 10}) {
            int usados = 0;
            for (const TAnoChuva& a : MaximasAnuais(s, inicio)) {
                Conferir(a.DiasSemLeitura >= 0 && a.DiasSemLeitura <= 366 && a.Meses <= 12);
                usados += a.Usado();
            }
            if (usados < AnosMinimosGumbel) continue;
            const TIdfDaSerie r = IdfDaSerieDiaria(s, {inicio, {}});
            for (const TPontoIdf& p : r.Pontos)
                Conferir(std::isfinite(p.Intensidade) && p.Intensidade > 0);
            const auto& e = r.Ajuste.Parametros;
            Conferir(std::isfinite(e.K) && std::isfinite(e.A) && std::isfinite(e.B) &&
                     std::isfinite(e.C));
        }
    } catch (const EMorvendo&) {
    }
    return 0;
}
