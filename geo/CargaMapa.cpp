#include <dlfcn.h>
#include <filesystem>
#include <mutex>

#include "comum/EMorvendo.h"
#include "geo/EstradaDoMapa.h"

namespace {

// O módulo, carregado uma vez; nullptr quando não carrega.
void* Modulo() {
    static void* modulo = nullptr;
    static std::once_flag carregado;
    std::call_once(carregado, [] {
        std::error_code erro;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", erro);
        const std::string caminho = (exe.parent_path() / "morvendo_mapa.so").string();
        // O módulo usa as funções do núcleo que o programa exporta; nunca é descarregado.
        if (!erro) modulo = ::dlopen(caminho.c_str(), RTLD_NOW | RTLD_LOCAL);
    });
    return modulo;
}

template <typename TFuncao> TFuncao Funcao(const char* nome) {
    void* m = Modulo();
    void* f = m ? ::dlsym(m, nome) : nullptr;
    if (!f)
        throw EMorvendo("O módulo do mapa (morvendo_mapa.so, ao lado do programa) não pôde ser "
                        "carregado: confira a instalação e as bibliotecas do GDAL.");
    return reinterpret_cast<TFuncao>(f);
}

} // namespace

std::unique_ptr<IEstradaDoMapa> AbrirEstradaDoMapa(const TPedidoEstrada& pedido) {
    using TAbrir = void (*)(const TPedidoEstrada&, std::unique_ptr<IEstradaDoMapa>&);
    static const TAbrir abrir = Funcao<TAbrir>("MorvendoAbrirEstrada");
    std::unique_ptr<IEstradaDoMapa> estrada;
    abrir(pedido, estrada);
    return estrada;
}

std::vector<TCamadaDoMapa> LinhasDoMapa(const std::string& caminho) {
    using TListar = void (*)(const std::string&, std::vector<TCamadaDoMapa>&);
    static const TListar listar = Funcao<TListar>("MorvendoListarLinhas");
    std::vector<TCamadaDoMapa> camadas;
    listar(caminho, camadas);
    return camadas;
}
