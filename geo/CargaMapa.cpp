#include <dlfcn.h>
#include <filesystem>
#include <mutex>

#include "comum/EMorvendo.h"
#include "geo/EstradaDoMapa.h"

std::unique_ptr<IEstradaDoMapa> AbrirEstradaDoMapa(const TPedidoEstrada& pedido) {
    using TAbrir = void (*)(const TPedidoEstrada&, std::unique_ptr<IEstradaDoMapa>&);
    static TAbrir abrir = nullptr;
    static std::once_flag carregado;
    std::call_once(carregado, [] {
        std::error_code erro;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", erro);
        const std::string modulo = (exe.parent_path() / "morvendo_mapa.so").string();
        // O módulo usa as funções do núcleo que o programa exporta; nunca é descarregado.
        if (void* m = erro ? nullptr : ::dlopen(modulo.c_str(), RTLD_NOW | RTLD_LOCAL))
            abrir = reinterpret_cast<TAbrir>(::dlsym(m, "MorvendoAbrirEstrada"));
    });
    if (!abrir)
        throw EMorvendo("O módulo do mapa (morvendo_mapa.so, ao lado do programa) não pôde ser "
                        "carregado: confira a instalação e as bibliotecas do GDAL.");
    std::unique_ptr<IEstradaDoMapa> estrada;
    abrir(pedido, estrada);
    return estrada;
}
