#pragma once
// Uma estrada inventada, feita com o GDAL para o teste e para as telas: um modelo de terreno
// com cristas e vales, a estrada que os atravessa em curvas e um acesso curto, numa camada de
// linhas com nome.
#include <cmath>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <string>
#include <vector>

namespace geografia {

// SIRGAS 2000 / UTM 23S, no sul de Minas Gerais; canto noroeste do modelo.
constexpr int EPSG = 31983;
constexpr double X0 = 480000, Y0 = 7560200, CELULA = 5;
constexpr int COLUNAS = 400, LINHAS = 330;

inline double Cota(double x, double y) {
    const double u = x - X0, v = Y0 - y;
    // Ao longo da estrada, cristas e vales; dos lados, encostas que sobem e um morro ao norte.
    const double w = (v - 820) / 400;
    return 860 + 8 * std::cos(2 * M_PI * u / 800) + 30 * w * w + 1.5 * std::sin((u + v) / 70) +
           35 * std::exp(-((u - 1200) * (u - 1200) + (v - 350) * (v - 350)) / (160.0 * 160.0));
}

// A estrada: 1,2 km de oeste para leste, em curvas suaves.
inline std::vector<std::pair<double, double>> Estrada() {
    std::vector<std::pair<double, double>> r;
    for (int t = 0; t <= 1200; t += 10)
        r.emplace_back(X0 + 180 + t, Y0 - 820 + 110 * std::sin(2 * M_PI * t / 950.0));
    return r;
}

inline OGRSpatialReference Sistema() {
    OGRSpatialReference s;
    s.importFromEPSG(EPSG);
    s.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return s;
}

// GeoTIFF com as cotas em metros. Falso quando o GDAL não grava.
inline bool CriarTerreno(const std::string& caminho) {
    GDALAllRegister();
    GDALDriver* gtiff = GetGDALDriverManager()->GetDriverByName("GTiff");
    GDALDatasetUniquePtr ds(
        gtiff->Create(caminho.c_str(), COLUNAS, LINHAS, 1, GDT_Float32, nullptr));
    if (!ds) return false;
    double gt[6] = {X0, CELULA, 0, Y0, 0, -CELULA};
    ds->SetGeoTransform(gt);
    const OGRSpatialReference s = Sistema();
    ds->SetSpatialRef(&s);
    GDALRasterBand* b = ds->GetRasterBand(1);
    b->SetUnitType("m");
    std::vector<float> linha(COLUNAS);
    for (int j = 0; j < LINHAS; ++j) {
        for (int i = 0; i < COLUNAS; ++i)
            linha[std::size_t(i)] = float(Cota(X0 + (i + 0.5) * CELULA, Y0 - (j + 0.5) * CELULA));
        if (b->RasterIO(GF_Write, 0, j, COLUNAS, 1, linha.data(), COLUNAS, 1, GDT_Float32, 0, 0) !=
            CE_None)
            return false;
    }
    return true;
}

// GeoPackage com a camada "estradas": FID 1 a estrada, FID 2 um acesso de 300 m ao norte.
inline bool CriarLinhas(const std::string& caminho) {
    GDALAllRegister();
    GDALDriver* d = GetGDALDriverManager()->GetDriverByName("GPKG");
    GDALDatasetUniquePtr ds(d->Create(caminho.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!ds) return false;
    OGRSpatialReference s = Sistema();
    OGRLayer* c = ds->CreateLayer("estradas", &s, wkbLineString, nullptr);
    OGRFieldDefn nome("nome", OFTString);
    if (!c || c->CreateField(&nome) != OGRERR_NONE) return false;
    std::vector<std::pair<double, double>> acesso{{X0 + 300, Y0 - 150}, {X0 + 600, Y0 - 160}};
    for (const auto& [texto, pontos] :
         {std::pair("Estrada da Serra", Estrada()), std::pair("Acesso", acesso)}) {
        OGRFeature f(c->GetLayerDefn());
        f.SetField("nome", texto);
        OGRLineString l;
        for (const auto& [x, y] : pontos)
            l.addPoint(x, y);
        f.SetGeometry(&l);
        if (c->CreateFeature(&f) != OGRERR_NONE) return false;
    }
    return true;
}

} // namespace geografia
