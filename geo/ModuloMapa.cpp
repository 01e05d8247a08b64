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
          FPerfil(PerfilDaEstrada(FLinha, pedido.Terreno, pedido.OpcoesPerfil)) {
        if (pedido.LadoRelevo > 0 && !pedido.Terreno.empty())
            FRelevo = RelevoDoTerreno(pedido.Terreno, FLinha, pedido.LadoRelevo);
    }
    const TPerfilEstrada& Perfil() const override { return FPerfil; }
    const std::vector<TVerticeUtm>& Vertices() const override { return FLinha.Vertices(); }
    const std::vector<double>& Posicoes() const override { return FLinha.Posicoes(); }
    int Zona() const override { return FLinha.Zona(); }
    bool Sul() const override { return FLinha.Sul(); }
    const TRelevo& Relevo() const override { return FRelevo; }
    void GravarLocacao(const std::string& caminho, const TResultadoLocacao& r) const override {
        const TLocacaoMapa mapa = LocacaoParaMapa(r, FPerfil.Suavizado);
        GravarMapa(caminho, FLinha, mapa.Desaguadouros, mapa.Trechos);
    }

private:
    TLinhaEstrada FLinha;
    TPerfilEstrada FPerfil;
    TRelevo FRelevo;
};

} // namespace

extern "C" void MorvendoAbrirEstrada(const TPedidoEstrada& pedido,
                                     std::unique_ptr<IEstradaDoMapa>& estrada) {
    estrada = std::make_unique<TEstradaDoMapa>(pedido);
}

extern "C" void MorvendoListarLinhas(const std::string& caminho,
                                     std::vector<TCamadaDoMapa>& camadas) {
    camadas = TLinhaEstrada::Listar(caminho);
}
