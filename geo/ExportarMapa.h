#pragma once
#include <optional>
#include <string>
#include <vector>

#include "geo/LinhaEstrada.h"

// Os desaguadouros e os trechos de volta ao mapa: GeoPackage (para o QGIS), KML (para o
// Google Earth, com nomes e descrições), GPX (pontos para o GPS de campo), GeoJSON e CSV
// (latitude, longitude, UTM leste/norte e zona). Gravação atômica: temporário e rename.

struct TDesaguadouroMapa {
    int Numero = 0;
    char Lado = 'D';                   // 'E' esquerdo, 'D' direito
    double Posicao = 0;                // m ao longo da estrada
    double DeclividadeMontante = 0;    // m/m, positiva onde a estrada desce
    double DistanciaAnterior = 0;      // m
    double VazaoPico = 0;              // L/s
    std::optional<double> VolumeBacia; // m³
    std::string DimensoesBacia;        // texto pronto ("3,0 × 1,5 × 0,8 m")
    std::string Avisos;
};

struct TTrechoMapa {
    std::string Nome;               // como aparece no mapa ("Trecho 1", "Canal 3 E")
    double Inicio = 0, Fim = 0;     // m ao longo da estrada
    double Declividade = 0;         // m/m, com sinal
    std::optional<int> Espacamento; // m; sem ele, nenhum espaçamento atende
};

enum class TFormatoMapa { GeoPackage, Kml, Gpx, GeoJson, Csv };

// Pela extensão do nome (.gpkg, .kml, .gpx, .geojson ou .json, .csv), sem distinguir
// maiúsculas; nullopt para as outras. Aqui, sem o GDAL, para a linha de comando conferir o
// destino antes de carregar o módulo do mapa.
inline std::optional<TFormatoMapa> FormatoPelaExtensao(const std::string& caminho) {
    const auto ponto = caminho.rfind('.');
    if (ponto == std::string::npos || caminho.find('/', ponto) != std::string::npos)
        return std::nullopt;
    std::string ext = caminho.substr(ponto + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (ext == "gpkg") return TFormatoMapa::GeoPackage;
    if (ext == "kml") return TFormatoMapa::Kml;
    if (ext == "gpx") return TFormatoMapa::Gpx;
    if (ext == "geojson" || ext == "json") return TFormatoMapa::GeoJson;
    if (ext == "csv") return TFormatoMapa::Csv;
    return std::nullopt;
}

// Grava os desaguadouros como pontos e, onde o formato aceita linhas (GeoPackage, KML, GPX),
// os trechos. O GeoPackage fica na zona UTM da estrada; os outros em longitude e latitude.
// EMorvendo para extensão desconhecida, EEntradaSaida quando a gravação falha (o arquivo
// antigo fica como estava).
void GravarMapa(const std::string& caminho, const TLinhaEstrada& linha,
                const std::vector<TDesaguadouroMapa>& desaguadouros,
                const std::vector<TTrechoMapa>& trechos);
