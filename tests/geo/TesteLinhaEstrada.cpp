// Linha da estrada lida de arquivos de mapa feitos pelo próprio GDAL.
#include <fstream>
#include <geodesic.h>

#include "comum/EMorvendo.h"
#include "geo/LinhaEstrada.h"
#include "tests/geo/GeografiaTeste.h"

using geoteste::Converter;
using geoteste::CriarCamada;

namespace {

class LinhaEstrada : public geoteste::TPasta {
protected:
    void Escrever(const std::string& nome, const std::string& texto) {
        std::ofstream(Arquivo(nome)) << texto;
    }
    std::string Recusa(const std::string& nome, const TOpcoesLinha& opcoes = {}) {
        try {
            TLinhaEstrada::Abrir(Arquivo(nome), opcoes);
        } catch (const EMorvendo& e) {
            return e.what();
        }
        return "aceita";
    }
};

// Comprimento geodésico (WGS 84) de uma linha em longitude e latitude.
double Geodesico(const std::vector<std::pair<double, double>>& lonlat) {
    geod_geodesic g;
    geod_init(&g, 6378137, 1 / 298.257223563);
    double total = 0;
    for (std::size_t i = 1; i < lonlat.size(); ++i) {
        double s = 0;
        geod_inverse(&g, lonlat[i - 1].second, lonlat[i - 1].first, lonlat[i].second,
                     lonlat[i].first, &s, nullptr, nullptr);
        total += s;
    }
    return total;
}

std::string LinhaWkt(const std::vector<std::pair<double, double>>& pontos) {
    std::string wkt = "LINESTRING (";
    for (std::size_t i = 0; i < pontos.size(); ++i)
        wkt += (i ? "," : "") + std::to_string(pontos[i].first) + " " +
               std::to_string(pontos[i].second);
    return wkt + ")";
}

} // namespace

TEST_F(LinhaEstrada, EstaqueamentoIgualAoComprimentoGeodesicoNoMeioENaBordaDaZona) {
    // Uma linha perto do meridiano central da zona 23 (45° O) e outra na borda (48° O), em
    // graus, e a mesma da borda em UTM: o estaqueamento é o comprimento sobre o elipsoide.
    const std::vector<std::pair<double, double>> meio{
        {-45.1, -22.5}, {-45.05, -22.47}, {-45.0, -22.49}, {-44.96, -22.43}};
    const std::vector<std::pair<double, double>> borda{
        {-47.95, -22.5}, {-47.9, -22.47}, {-47.85, -22.49}, {-47.81, -22.43}};
    std::vector<std::pair<double, double>> bordaUtm;
    for (const auto& [lon, lat] : borda)
        bordaUtm.push_back(Converter(4326, 32723, lon, lat));
    CriarCamada(Arquivo("meio.geojson"), "GeoJSON", 4326, {LinhaWkt(meio)});
    CriarCamada(Arquivo("borda.geojson"), "GeoJSON", 4326, {LinhaWkt(borda)});
    CriarCamada(Arquivo("borda.gpkg"), "GPKG", 32723, {LinhaWkt(bordaUtm)});
    for (const auto& [nome, pontos] :
         {std::pair{"meio.geojson", meio}, {"borda.geojson", borda}, {"borda.gpkg", borda}}) {
        const TLinhaEstrada l = TLinhaEstrada::Abrir(Arquivo(nome));
        EXPECT_EQ(l.Zona(), 23);
        EXPECT_TRUE(l.Sul());
        const double g = Geodesico(pontos);
        // Muito dentro de 0,1 %: o fator de escala da grade é corrigido segmento a segmento.
        EXPECT_NEAR(l.Comprimento(), g, g * 1e-5) << nome;
        // O ponto de cada estaca volta às coordenadas da linha.
        const TPontoMapa fim = l.PontoNaPosicao(l.Comprimento());
        EXPECT_NEAR(fim.Longitude, pontos.back().first, 1e-8) << nome;
        EXPECT_NEAR(fim.Latitude, pontos.back().second, 1e-8) << nome;
        const TPontoMapa inicio = l.PontoNaPosicao(0);
        const auto [e, n] = Converter(4326, 32723, pontos.front().first, pontos.front().second);
        EXPECT_NEAR(inicio.E, e, 1e-3);
        EXPECT_NEAR(inicio.N, n, 1e-3);
    }
}

TEST_F(LinhaEstrada, KmlEKmzComAltitudes) {
    // A mesma linha 3D em KML e KMZ (o KMZ é o KML comprimido do Google Earth).
    for (const char* nome : {"l.kml", "l.kmz"}) {
        CriarCamada(Arquivo(nome), "LIBKML", 4326,
                    {"LINESTRING Z (-45.1 -22.5 610,-45.05 -22.47 640,-45.0 -22.49 600)"});
        const TLinhaEstrada l = TLinhaEstrada::Abrir(Arquivo(nome));
        ASSERT_TRUE(l.TemCotas()) << nome;
        const auto perfil = l.PerfilDaLinha();
        EXPECT_EQ(perfil.front().Cota, 610) << nome;
        EXPECT_EQ(perfil.back().Cota, 600) << nome;
        EXPECT_NEAR(l.PontoNaPosicao(l.Posicoes()[1]).Longitude, -45.05, 1e-9) << nome;
    }
}

TEST_F(LinhaEstrada, EstaqueamentoAPartirDoFim) {
    CriarCamada(Arquivo("l.geojson"), "GeoJSON", 4326,
                {"LINESTRING (-45.1 -22.5,-45.05 -22.47,-45.0 -22.49)"});
    const TLinhaEstrada ida = TLinhaEstrada::Abrir(Arquivo("l.geojson"));
    const TLinhaEstrada volta = TLinhaEstrada::Abrir(Arquivo("l.geojson"), {"", {}, true});
    EXPECT_NEAR(volta.Comprimento(), ida.Comprimento(), 1e-6);
    EXPECT_NEAR(volta.PontoNaPosicao(0).Longitude, -45.0, 1e-9);
    const double s = 1234.5;
    EXPECT_NEAR(volta.PontoNaPosicao(s).E, ida.PontoNaPosicao(ida.Comprimento() - s).E, 1e-6);
    EXPECT_NEAR(volta.PontoNaPosicao(s).N, ida.PontoNaPosicao(ida.Comprimento() - s).N, 1e-6);
}

TEST_F(LinhaEstrada, PecasForaDeOrdemEInvertidasSaoEmendadas) {
    // A mesma estrada em três peças: a do meio invertida, a última primeiro, com 2 m de
    // folga numa emenda, no rumo da linha: o comprimento é o da linha inteira.
    CriarCamada(Arquivo("inteira.gpkg"), "GPKG", 32723,
                {"LINESTRING (300000 7500000,301000 7500000,302000 7500500,303000 7500500)"});
    CriarCamada(Arquivo("pecas.gpkg"), "GPKG", 32723,
                {"LINESTRING (302002 7500500,303000 7500500)",
                 "LINESTRING (302000 7500500,301000 7500000)",
                 "LINESTRING (300000 7500000,301000 7500000)"});
    const TLinhaEstrada inteira = TLinhaEstrada::Abrir(Arquivo("inteira.gpkg"));
    const TLinhaEstrada pecas = TLinhaEstrada::Abrir(Arquivo("pecas.gpkg"));
    EXPECT_EQ(pecas.Pecas(), 3);
    EXPECT_NEAR(pecas.Comprimento(), inteira.Comprimento(), 1e-6);
    EXPECT_NEAR(pecas.PontoNaPosicao(0).E, 300000, 1e-6);
    EXPECT_NEAR(pecas.PontoNaPosicao(pecas.Comprimento()).E, 303000, 1e-6);
    // Uma peça só, pelo identificador (no GeoPackage, a partir de 1).
    const TLinhaEstrada uma = TLinhaEstrada::Abrir(Arquivo("pecas.gpkg"), {"", 1, false});
    EXPECT_NEAR(uma.PontoNaPosicao(0).E, 302002, 1e-6);
    EXPECT_EQ(uma.Pecas(), 1);
}

TEST_F(LinhaEstrada, GpxComESemAltitudes) {
    auto gpx = [&](const std::string& nome, const std::vector<const char*>& eles) {
        std::string t = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"teste\" "
                        "xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><name>estrada</name>"
                        "<trkseg>\n";
        for (std::size_t i = 0; i < eles.size(); ++i) {
            t += "<trkpt lat=\"" + std::to_string(-22.5 + 0.001 * double(i)) + "\" lon=\"" +
                 std::to_string(-45.1 + 0.002 * double(i)) + "\">";
            if (eles[i]) t += std::string("<ele>") + eles[i] + "</ele>";
            t += "</trkpt>\n";
        }
        Escrever(nome, t + "</trkseg></trk></gpx>\n");
    };
    gpx("com.gpx", {"600", "610.5", "605", "0"});
    gpx("sem.gpx", {nullptr, nullptr, nullptr, nullptr});
    gpx("falta.gpx", {"600", nullptr, "605", "604"});
    const TLinhaEstrada com = TLinhaEstrada::Abrir(Arquivo("com.gpx"));
    EXPECT_EQ(com.Camada(), "tracks");
    ASSERT_TRUE(com.TemCotas());
    const auto perfil = com.PerfilDaLinha();
    EXPECT_EQ(perfil.front().Cota, 600);
    EXPECT_EQ(perfil.back().Cota, 0); // uma altitude zero do GPS é uma altitude
    const double s1 = com.Posicoes()[1];
    EXPECT_NEAR(perfil[std::size_t(std::floor(s1))].Cota, 600 + 10.5 * std::floor(s1) / s1, 1e-6);
    for (const char* nome : {"sem.gpx", "falta.gpx"}) {
        const TLinhaEstrada l = TLinhaEstrada::Abrir(Arquivo(nome));
        EXPECT_FALSE(l.TemCotas()) << nome;
        EXPECT_THROW(l.PerfilDaLinha(), EMorvendo);
    }
}

TEST_F(LinhaEstrada, EntradasRecusadasComMensagemClara) {
    const std::string colecao = "{\"type\":\"FeatureCollection\",\"features\":[";
    auto feicao = [](const std::string& geometria) {
        return "{\"type\":\"Feature\",\"properties\":{},\"geometry\":" + geometria + "}";
    };
    Escrever("vazia.geojson", colecao + "]}");
    Escrever("pontos.geojson",
             colecao + feicao("{\"type\":\"Point\",\"coordinates\":[-45,-22]}") + "]}");
    Escrever("vertice.geojson",
             colecao + feicao("{\"type\":\"LineString\",\"coordinates\":[[-45,-22],[-45,-22]]}") +
                 "]}");
    Escrever("volta.geojson",
             colecao +
                 feicao("{\"type\":\"LineString\",\"coordinates\":[[-45,-22],[-44.99,-22],"
                        "[-44.995,-22.00001]]}") +
                 "]}");
    Escrever(
        "longe.geojson",
        colecao + feicao("{\"type\":\"LineString\",\"coordinates\":[[-45,-22],[-44.99,-22]]}") +
            "," + feicao("{\"type\":\"LineString\",\"coordinates\":[[-44.98,-22],[-44.97,-22]]}") +
            "]}");
    Escrever("cortado.geojson", colecao +
                                    "{\"type\":\"Feature\",\"geometry\":{\"type\":\"LineString\","
                                    "\"coordinates\":[[-45,");
    Escrever("texto.gpx", "isto não é um mapa\n");
    Escrever("cortado.gpx", "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" "
                            "xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>"
                            "<trkpt lat=\"-22.5\" lon=\"-45\"></trkpt><trkpt lat=\"-22.5");
    // Três peças com a última cortada no meio: as duas primeiras sozinhas não são a estrada.
    CriarCamada(Arquivo("cortado.shp"), "ESRI Shapefile", 4326,
                {"LINESTRING (-45 -22,-44.99 -22)", "LINESTRING (-44.99 -22,-44.98 -22)",
                 "LINESTRING (-44.98 -22,-44.97 -22,-44.96 -22)"},
                "cortado", wkbLineString);
    std::filesystem::resize_file(Arquivo("cortado.shp"),
                                 std::filesystem::file_size(Arquivo("cortado.shp")) - 20);
    CriarCamada(Arquivo("inteira.gpkg"), "GPKG", 32723,
                {"LINESTRING (300000 7500000,301000 7500000)"});
    std::filesystem::copy_file(Arquivo("inteira.gpkg"), Arquivo("cortado.gpkg"));
    std::filesystem::resize_file(Arquivo("cortado.gpkg"), 30000);
    CriarCamada(Arquivo("semprj.shp"), "ESRI Shapefile", 0,
                {"LINESTRING (300000 7500000,301000 7500000)"}, "semprj", wkbLineString);
    CriarCamada(Arquivo("local.shp"), "ESRI Shapefile", 0,
                {"LINESTRING (300000 7500000,301000 7500000)"}, "local", wkbLineString);
    Escrever("local.prj", "LOCAL_CS[\"Obra\",UNIT[\"metre\",1],AXIS[\"X\",EAST],"
                          "AXIS[\"Y\",NORTH]]");
    CriarCamada(Arquivo("utm-como-graus.geojson"), "GeoJSON", 4326,
                {"LINESTRING (300000 7500000,301000 7500000)"});
    {
        CriarCamada(Arquivo("duas.gpkg"), "GPKG", 32723,
                    {"LINESTRING (300000 7500000,301000 7500000)"}, "a");
        GDALDatasetUniquePtr ds(
            GDALDataset::Open(Arquivo("duas.gpkg").c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
        OGRSpatialReference s = geoteste::Sistema(32723);
        OGRLayer* b = ds->CreateLayer("b", &s, wkbLineString, nullptr);
        OGRFeature f(b->GetLayerDefn());
        OGRLineString l;
        l.addPoint(300000, 7400000);
        l.addPoint(301000, 7400000);
        f.SetGeometry(&l);
        ASSERT_EQ(b->CreateFeature(&f), OGRERR_NONE);
    }
    struct {
        const char* Arquivo;
        TOpcoesLinha Opcoes;
        const char* Trecho;
    } casos[] = {
        {"vazia.geojson", {}, "está vazia: não há linha da estrada nela."},
        {"pontos.geojson", {}, "não tem linhas, só pontos: a estrada deve ser uma linha."},
        {"vertice.geojson", {}, "tem um vértice só"},
        {"volta.geojson", {}, "volta sobre si mesma na estaca 51 +"},
        {"longe.geojson",
         {},
         "não formam uma estrada contínua: a ponta mais próxima de uma "
         "delas fica a 1032,"},
        {"cortado.geojson", {}, "não é um mapa que o programa leia"},
        {"texto.gpx", {}, "não é um mapa que o programa leia"},
        {"cortado.gpx", {}, "corrompido"},
        {"cortado.gpkg", {}, "não é um mapa que o programa leia"},
        {"cortado.shp", {}, "está corrompido: a camada \"cortado\" não pôde ser lida."},
        {"semprj.shp",
         {},
         "não diz em que sistema de coordenadas está (num Shapefile, falta o "
         "arquivo .prj)."},
        {"local.shp", {}, "não pode ser convertido em latitude e longitude."},
        {"utm-como-graus.geojson", {}, "não são latitudes e longitudes"},
        {"duas.gpkg", {}, "tem linhas em mais de uma camada (\"a\", \"b\"): escolha a camada"},
        {"duas.gpkg", {"c", {}, false}, "não tem a camada \"c\"; tem \"a\", \"b\"."},
        {"duas.gpkg", {"a", 7, false}, "não tem a feição 7."},
        {"nao-existe.gpx", {}, "não existe."},
    };
    for (const auto& c : casos) {
        const std::string m = Recusa(c.Arquivo, c.Opcoes);
        EXPECT_NE(m.find(c.Trecho), std::string::npos) << c.Arquivo << ": " << m;
        EXPECT_EQ(m.back(), '.') << m;
    }
    // A camada escolhida serve.
    EXPECT_NEAR(TLinhaEstrada::Abrir(Arquivo("duas.gpkg"), {"b", {}, false}).PontoNaPosicao(0).N,
                7400000, 1e-6);
    EXPECT_THROW(TLinhaEstrada::Abrir(Arquivo("nao-existe.gpx")), EArquivoNaoExiste);
    EXPECT_THROW(TLinhaEstrada::Abrir(Arquivo("texto.gpx")), EArquivoRecusado);
}
