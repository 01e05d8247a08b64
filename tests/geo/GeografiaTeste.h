#pragma once
// Geografia feita pelos testes com o próprio GDAL: modelos de terreno e linhas em arquivos
// numa pasta temporária, apagada no fim.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <string>
#include <utility>
#include <vector>

namespace geoteste {

inline OGRSpatialReference Sistema(int epsg) {
    OGRSpatialReference s;
    s.importFromEPSG(epsg);
    s.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return s;
}

// Pasta temporária por teste.
class TPasta : public ::testing::Test {
protected:
    void SetUp() override {
        GDALAllRegister();
        CPLSetErrorHandler(CPLQuietErrorHandler);
        char modelo[] = "/tmp/morvendo-geo-XXXXXX";
        ASSERT_NE(mkdtemp(modelo), nullptr);
        Pasta = modelo;
    }
    void TearDown() override { std::filesystem::remove_all(Pasta); }
    std::string Arquivo(const std::string& nome) const { return Pasta + "/" + nome; }
    std::string Pasta;
};

// Modelo de terreno GeoTIFF: canto noroeste (x0, y0), células de 'lado', cota z(x, y) no
// centro de cada célula; 'semDado' marca as células onde 'vazio' é verdadeiro.
inline void CriarTerreno(const std::string& caminho, int epsg, double x0, double y0, double lado,
                         int colunas, int linhas, const std::function<double(double, double)>& z,
                         const char* unidade = "m",
                         const std::function<bool(double, double)>& vazio = {}) {
    GDALDriver* gtiff = GetGDALDriverManager()->GetDriverByName("GTiff");
    GDALDatasetUniquePtr ds(
        gtiff->Create(caminho.c_str(), colunas, linhas, 1, GDT_Float32, nullptr));
    ASSERT_TRUE(ds);
    double gt[6] = {x0, lado, 0, y0, 0, -lado};
    ds->SetGeoTransform(gt);
    OGRSpatialReference s = Sistema(epsg);
    ds->SetSpatialRef(&s);
    GDALRasterBand* b = ds->GetRasterBand(1);
    if (unidade) b->SetUnitType(unidade);
    if (vazio) b->SetNoDataValue(-9999);
    std::vector<float> valores(static_cast<std::size_t>(colunas));
    for (int j = 0; j < linhas; ++j) {
        for (int i = 0; i < colunas; ++i) {
            const double x = x0 + (i + 0.5) * lado, y = y0 - (j + 0.5) * lado;
            valores[std::size_t(i)] = vazio && vazio(x, y) ? -9999.0f : float(z(x, y));
        }
        ASSERT_EQ(
            b->RasterIO(GF_Write, 0, j, colunas, 1, valores.data(), colunas, 1, GDT_Float32, 0, 0),
            CE_None);
    }
}

// Uma camada de linhas (ou pontos) num arquivo vetorial; cada geometria em WKT.
inline void CriarCamada(const std::string& caminho, const char* driver, int epsg,
                        const std::vector<std::string>& wkts, const char* nome = "estrada",
                        OGRwkbGeometryType tipo = wkbUnknown) {
    GDALDriver* d = GetGDALDriverManager()->GetDriverByName(driver);
    ASSERT_NE(d, nullptr);
    GDALDatasetUniquePtr ds(d->Create(caminho.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    ASSERT_TRUE(ds);
    OGRSpatialReference s = Sistema(epsg);
    OGRLayer* c = ds->CreateLayer(nome, epsg ? &s : nullptr, tipo, nullptr);
    ASSERT_NE(c, nullptr);
    for (const std::string& wkt : wkts) {
        OGRFeature f(c->GetLayerDefn());
        OGRGeometry* g = nullptr;
        ASSERT_EQ(OGRGeometryFactory::createFromWkt(wkt.c_str(), nullptr, &g), OGRERR_NONE);
        f.SetGeometryDirectly(g);
        ASSERT_EQ(c->CreateFeature(&f), OGRERR_NONE);
    }
}

// Campos de uma linha de CSV com ',' (campos entre aspas podem ter vírgulas, como a estaca).
inline std::vector<std::string> CamposCsv(const std::string& linha) {
    std::vector<std::string> c{""};
    bool aspas = false;
    for (char ch : linha)
        if (ch == '"')
            aspas = !aspas;
        else if (ch == ',' && !aspas)
            c.emplace_back();
        else
            c.back() += ch;
    return c;
}

// Converte pontos entre dois sistemas (x = longitude ou leste).
inline std::pair<double, double> Converter(int de, int para, double x, double y) {
    OGRSpatialReference a = Sistema(de), b = Sistema(para);
    std::unique_ptr<OGRCoordinateTransformation> t(OGRCreateCoordinateTransformation(&a, &b));
    t->Transform(1, &x, &y);
    return {x, y};
}

} // namespace geoteste
