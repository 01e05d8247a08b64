// Alvo libFuzzer do caminho do traçado ao perfil: vértices em UTM (deslocamentos de meio
// metro a cada unidade de um byte, a partir de um ponto da zona 23) com cotas, estaqueamento,
// amostras a cada metro, média móvel, trecho mínimo e os trechos que o perfil forma.
#include "comum/EMorvendo.h"
#include "geo/PerfilLinha.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Conferir(bool condicao) {
    if (!condicao) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    if (tamanho < 3) return 0;
    // Primeiro byte: para onde a linha anda (sempre para leste, para não voltar sobre si
    // mesma), a janela e o trecho mínimo.
    const bool sempreParaLeste = dados[0] & 1;
    const TOpcoesPerfil opcoes{double((dados[0] >> 1) & 7) * 10, 1 + double(dados[1] % 64)};
    std::vector<TVerticeUtm> vertices;
    double e = 400000, n = 7500000;
    for (std::size_t i = 2; i + 4 <= tamanho && vertices.size() < 400; i += 4) {
        const auto de = std::int8_t(dados[i]), dn = std::int8_t(dados[i + 1]);
        std::int16_t z;
        std::memcpy(&z, dados + i + 2, 2);
        // Passos de até 64 m: estradas de até uns 25 km, para o fuzzing andar depressa.
        e += (sempreParaLeste ? std::abs(de) + 1 : de) * 0.5;
        n += dn * 0.5;
        vertices.push_back(
            {e, n, -22, z == INT16_MIN ? std::numeric_limits<double>::quiet_NaN() : z * 0.25});
    }
    try {
        const auto posicoes = PosicoesDaLinha(vertices);
        Conferir(posicoes.size() == vertices.size() && posicoes.front() == 0);
        for (std::size_t i = 1; i < posicoes.size(); ++i)
            Conferir(posicoes[i] > posicoes[i - 1]);
        const auto amostras = AmostrasACadaMetro(vertices, posicoes);
        Conferir(amostras.back().Posicao == posicoes.back());
        double zMin = INFINITY, zMax = -INFINITY;
        for (const TVerticeUtm& v : vertices)
            if (std::isfinite(v.Z)) {
                zMin = std::min(zMin, v.Z);
                zMax = std::max(zMax, v.Z);
            }
        std::vector<TPontoPerfil> bruto;
        for (const TAmostraLinha& a : amostras)
            bruto.push_back({a.Posicao, a.Z});
        const TPerfilEstrada r = DerivarPerfil(bruto, opcoes);
        Conferir(r.Suavizado.size() == r.Bruto.size());
        // Média e interpolação não saem da faixa das cotas dadas.
        for (const TPontoPerfil& p : r.Suavizado)
            Conferir(p.Cota >= zMin - 1e-6 && p.Cota <= zMax + 1e-6);
        Conferir(r.Perfil.front().Posicao == 0 && r.Perfil.back().Posicao == posicoes.back());
        for (std::size_t i = 1; i < r.Perfil.size(); ++i)
            Conferir(r.Perfil[i].Posicao > r.Perfil[i - 1].Posicao);
        for (const TTrecho& t : TrechosDoPerfil(r.Perfil, dados[1] % 8 * 0.01))
            Conferir(std::isfinite(t.Declividade) && t.Comprimento >= 1);
    } catch (const EMorvendo&) {
    }
    return 0;
}
