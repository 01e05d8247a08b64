#pragma once
#include <memory>
#include <string>

#include "geo/LinhaEstrada.h"
#include "project/Locacao.h"

// A estrada do mapa pela linha de comando. O GDAL traz uma centena de bibliotecas: ele fica num
// módulo (morvendo_mapa.so, ao lado do programa) carregado só quando a estrada vem de um mapa,
// e quem não usa o mapa não paga por elas.

struct TPedidoEstrada {
    std::string Linha;   // o arquivo da linha da estrada
    std::string Terreno; // o modelo de terreno; vazio: as cotas da própria linha
    TOpcoesLinha OpcoesLinha;
    TOpcoesPerfil OpcoesPerfil;
};

class IEstradaDoMapa {
public:
    virtual ~IEstradaDoMapa() = default;
    virtual const TPerfilEstrada& Perfil() const = 0;
    // Os desaguadouros e os canais que chegam a eles no mapa (formato pela extensão).
    virtual void GravarLocacao(const std::string& caminho, const TResultadoLocacao& r) const = 0;
};

// A função de entrada do módulo.
extern "C" void MorvendoAbrirEstrada(const TPedidoEstrada& pedido,
                                     std::unique_ptr<IEstradaDoMapa>& estrada);

// Carrega o módulo (uma vez) e abre a estrada. EMorvendo quando o módulo não carrega; os erros
// da leitura, como os de TLinhaEstrada::Abrir e PerfilDaEstrada.
std::unique_ptr<IEstradaDoMapa> AbrirEstradaDoMapa(const TPedidoEstrada& pedido);
