// Alvo libFuzzer do leitor do CSV das estações do usuário: o que ele aceita está nas faixas,
// volta igual depois de gravado (com as colunas do usuário) e cabe no registro do banco.
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
//       tests/fuzz/FuzzEstacoesUsuario.cpp <objetos de comum/, engine/ e idf/> -lgsl -lgslcblas
#include "comum/EMorvendo.h"
#include "idf/EstacoesUsuario.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool Iguais(const TEstacaoUsuario& a, const TEstacaoUsuario& b) {
    return a.Estado == b.Estado && a.Nome == b.Nome && a.Latitude == b.Latitude &&
           a.Longitude == b.Longitude && a.K == b.K && a.A == b.A && a.B == b.B && a.C == b.C &&
           a.DuracaoMin == b.DuracaoMin && a.DuracaoMax == b.DuracaoMax && a.Fonte == b.Fonte &&
           a.TrMin == b.TrMin && a.TrMax == b.TrMax && a.ErroRmsPct == b.ErroRmsPct &&
           a.ErroMaximoPct == b.ErroMaximoPct && a.AnosSerie == b.AnosSerie &&
           a.OutrasColunas == b.OutrasColunas;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string_view texto(reinterpret_cast<const char*>(dados), tamanho);
    TArquivoEstacoesUsuario lido;
    try {
        lido = LerArquivoEstacoesUsuario(texto, "minhas_estacoes.csv");
    } catch (const EMorvendo&) {
        return 0;
    }
    for (const auto& e : lido.Estacoes) {
        ConferirEstacaoUsuario(e); // o que o leitor aceita passa pela mesma conferência
        (void)RegistroEstacao(EstacaoDoBanco(e));
    }
    // Gravado e lido de novo: as mesmas estações, as mesmas colunas do usuário.
    const auto relido =
        LerArquivoEstacoesUsuario(CsvEstacoesUsuario(lido.Estacoes, lido.OutrasColunas), "m.csv");
    if (relido.Estacoes.size() != lido.Estacoes.size() ||
        relido.OutrasColunas != lido.OutrasColunas)
        std::abort();
    for (std::size_t i = 0; i < lido.Estacoes.size(); ++i)
        if (!Iguais(lido.Estacoes[i], relido.Estacoes[i])) std::abort();
    return 0;
}
