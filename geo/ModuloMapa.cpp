// O módulo do mapa: a leitura da estrada e a gravação dos desaguadouros, com o GDAL.
#include "geo/EstradaDoMapa.h"
#include "geo/ExportarMapa.h"
#include "geo/LocacaoMapa.h"
#include "geo/ModeloTerreno.h"

namespace {

class TEstradaDoMapa : public IEstradaDoMapa {
public:
    explicit TEstradaDoMapa(const TPedidoEstrada& pedido)
        : FLinha(TLinhaEstrada::Abrir(pedido.Linha, pedido.OpcoesLinha)),
          FPerfil(PerfilDaEstrada(FLinha, pedido.Terreno, pedido.OpcoesPerfil)) {}
    const TPerfilEstrada& Perfil() const override { return FPerfil; }
    void GravarLocacao(const std::string& caminho, const TResultadoLocacao& r) const override {
        const TLocacaoMapa mapa = LocacaoParaMapa(r, FPerfil.Suavizado);
        GravarMapa(caminho, FLinha, mapa.Desaguadouros, mapa.Trechos);
    }

private:
    TLinhaEstrada FLinha;
    TPerfilEstrada FPerfil;
};

} // namespace

extern "C" void MorvendoAbrirEstrada(const TPedidoEstrada& pedido,
                                     std::unique_ptr<IEstradaDoMapa>& estrada) {
    estrada = std::make_unique<TEstradaDoMapa>(pedido);
}
