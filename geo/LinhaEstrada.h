#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "geo/PerfilLinha.h"
#include "geo/Planta.h"

// A linha da estrada lida de um arquivo de mapa (GPX, KML/KMZ, GeoJSON, GeoPackage, Shapefile,
// em qualquer sistema de coordenadas que o GDAL conheça), levada à zona UTM do lugar e
// estaqueada em metros.

struct TOpcoesLinha {
    std::string Camada;              // vazio: a única camada com linhas
    std::optional<long long> Feicao; // o identificador (FID); sem ele, as linhas emendadas
    bool DoFim = false;              // estaqueamento a partir do último vértice
};

// Vértice em longitude e latitude (graus, WGS 84), com a cota (NaN quando não tem).
struct TVerticeGeo {
    double Longitude = 0;
    double Latitude = 0;
    double Z = std::numeric_limits<double>::quiet_NaN();
};

// Um lugar da estrada nas duas formas que se usam no campo.
struct TPontoMapa {
    double Posicao = 0; // m
    double Longitude = 0, Latitude = 0;
    double E = 0, N = 0;
    int Zona = 0;
    bool Sul = false;
};

// Peças separadas por mais que isto não são emendadas, m.
constexpr double FOLGA_EMENDA = 30;

class TLinhaEstrada {
public:
    // Lê a linha do arquivo. EArquivoNaoExiste, EArquivoRecusado (não é um mapa que o GDAL lê,
    // ou está corrompido) ou EMorvendo com o motivo (camada vazia, de pontos, linha de um
    // vértice, que volta sobre si mesma, sistema de coordenadas que não se converte).
    static TLinhaEstrada Abrir(const std::string& caminho, const TOpcoesLinha& opcoes = {});
    // As camadas com linhas e as linhas de cada uma, para a escolha. As mesmas recusas de
    // Abrir para arquivo que não é mapa e para arquivo sem linhas.
    static std::vector<TCamadaDoMapa> Listar(const std::string& caminho);
    // A partir dos vértices já em longitude e latitude; a zona UTM é a do meio da linha.
    static TLinhaEstrada DeVertices(std::vector<TVerticeGeo> vertices, bool doFim = false);

    TLinhaEstrada(TLinhaEstrada&&) noexcept;
    TLinhaEstrada& operator=(TLinhaEstrada&&) noexcept;
    ~TLinhaEstrada();

    double Comprimento() const { return FPosicoes.back(); }
    int Zona() const { return FZona; }
    bool Sul() const { return FSul; }
    // Código EPSG da zona UTM (WGS 84).
    int Epsg() const { return (FSul ? 32700 : 32600) + FZona; }
    // Todos os vértices têm cota (GPX com <ele>, geometria 3D que não é toda zero).
    bool TemCotas() const { return FTemCotas; }
    // De onde veio: a camada e quantas peças foram emendadas.
    const std::string& Camada() const { return FCamada; }
    int Pecas() const { return FPecas; }

    const std::vector<TVerticeUtm>& Vertices() const { return FVertices; }
    const std::vector<double>& Posicoes() const { return FPosicoes; }

    // O lugar da estrada na posição dada (limitada à estrada).
    TPontoMapa PontoNaPosicao(double posicao) const;
    // Longitude e latitude de pontos UTM desta zona (E, N): lote, para as amostras.
    void ParaLonLat(std::vector<double>& e, std::vector<double>& n) const;

    // Perfil bruto a cada metro com as cotas da própria linha. EMorvendo quando ela não as tem.
    std::vector<TPontoPerfil> PerfilDaLinha() const;

private:
    TLinhaEstrada();
    // Peças em longitude e latitude até a linha estaqueada; 'origem' nomeia a camada nas
    // mensagens.
    static TLinhaEstrada Montar(std::vector<std::vector<TVerticeGeo>> pecas,
                                const std::string& origem, bool doFim);
    struct TConversor;
    std::unique_ptr<TConversor> FConversor; // UTM da zona para longitude e latitude
    std::vector<TVerticeUtm> FVertices;
    std::vector<double> FPosicoes;
    int FZona = 0;
    bool FSul = false;
    bool FTemCotas = false;
    std::string FCamada;
    int FPecas = 1;
};
