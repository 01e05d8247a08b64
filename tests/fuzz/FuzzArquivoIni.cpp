#include "comum/ArquivoIni.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Bytes quaisquer como arquivo INI: ler, escrever e gerar o texto não pode falhar nem ler fora
// dos limites; o texto gerado, relido, deve dar o mesmo valor escrito.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string_view bytes(reinterpret_cast<const char*>(dados), tamanho);
    TArquivoIni ini;
    ini.DefinirTexto(bytes);

    (void)ini.ExisteSecao("PRINCIPAL");
    (void)ini.LerTexto("PRINCIPAL", "Versao", "");
    (void)ini.LerInteiro("Encosta_Talude", "Count", 0);
    (void)ini.LerLogico("CanalEstrada_ESTRADA", "Equivalente", false);
    (void)ini.LerReal("Canal_ESTRADA", "ValorZ", 0);

    ini.EscreverReal("Canal_ESTRADA", "ValorZ", 1.5, ',');
    ini.EscreverTexto("TARSIO", "Localidade", "Viçosa");
    ini.ApagarChave("PRINCIPAL", "Versao");
    const std::string texto = ini.Texto();

    TArquivoIni relido;
    relido.DefinirTexto(texto);
    if (relido.LerReal("Canal_ESTRADA", "ValorZ", 0) != 1.5) __builtin_trap();
    if (relido.LerTexto("TARSIO", "Localidade", "") != "Viçosa") __builtin_trap();
    if (relido.ExisteChave("PRINCIPAL", "Versao")) __builtin_trap();
    if (relido.Texto() != texto) __builtin_trap();
    return 0;
}
