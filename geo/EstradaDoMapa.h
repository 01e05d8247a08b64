#pragma once
#include <memory>
#include <string>

#include "geo/LinhaEstrada.h"
#include "geo/Planta.h"
#include "project/Locacao.h"

// A estrada do mapa na linha de comando e na janela. O GDAL traz uma centena de bibliotecas:
// ele fica num módulo (morvendo_mapa.so, ao lado do programa) carregado só quando a estrada vem
// de um mapa, e quem não usa o mapa não paga por elas. Entre os dois, só tipos simples.

struct TPedidoEstrada {
    std::string Linha;   // o arquivo da linha da estrada
    std::string Terreno; // o modelo de terreno; vazio: as cotas da própria linha
    TOpcoesLinha OpcoesLinha;
    TOpcoesPerfil OpcoesPerfil;
    // Lado maior da imagem do relevo sombreado, px; 0: sem relevo (a linha de comando).
    int LadoRelevo = 0;
};

class IEstradaDoMapa {
public:
    virtual ~IEstradaDoMapa() = default;
    virtual const TPerfilEstrada& Perfil() const = 0;
    // A linha em UTM na ordem do estaqueamento e a posição de cada vértice, m.
    virtual const std::vector<TVerticeUtm>& Vertices() const = 0;
    virtual const std::vector<double>& Posicoes() const = 0;
    virtual int Zona() const = 0;
    virtual bool Sul() const = 0;
    // Feito na abertura, com o modelo de terreno e LadoRelevo; vazio sem eles.
    virtual const TRelevo& Relevo() const = 0;
    // Os desaguadouros e os canais que chegam a eles no mapa (formato pela extensão).
    virtual void GravarLocacao(const std::string& caminho, const TResultadoLocacao& r) const = 0;
};

// As funções de entrada do módulo.
extern "C" void MorvendoAbrirEstrada(const TPedidoEstrada& pedido,
                                     std::unique_ptr<IEstradaDoMapa>& estrada);
extern "C" void MorvendoListarLinhas(const std::string& caminho,
                                     std::vector<TCamadaDoMapa>& camadas);

// Carrega o módulo (uma vez) e abre a estrada. EMorvendo quando o módulo não carrega; os erros
// da leitura, como os de TLinhaEstrada::Abrir e PerfilDaEstrada.
std::unique_ptr<IEstradaDoMapa> AbrirEstradaDoMapa(const TPedidoEstrada& pedido);
// As camadas do arquivo que têm linhas, cada uma com as suas; para a escolha na janela.
std::vector<TCamadaDoMapa> LinhasDoMapa(const std::string& caminho);
