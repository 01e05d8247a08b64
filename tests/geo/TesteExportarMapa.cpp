// Desaguadouros e trechos gravados nos formatos de mapa e lidos de volta pelo OGR.
#include <fstream>
#include <sstream>

#include "comum/EMorvendo.h"
#include "geo/ExportarMapa.h"
#include "tests/geo/GeografiaTeste.h"

using geoteste::Converter;

namespace {

class ExportarMapa : public geoteste::TPasta {
protected:
    void SetUp() override {
        geoteste::TPasta::SetUp();
        Linha = std::make_unique<TLinhaEstrada>(
            TLinhaEstrada::DeVertices({{-46.94, -22.572}, {-46.915, -22.569}, {-46.89, -22.5641}}));
        Desaguadouros = {{1, 'D', 64.25, 0.031, 64.25, 12.5, 4.8, "3,0 × 1,6 × 1,0 m", ""},
                         {2, 'E', 1234.5, -0.0425, 1170.25, 31.75, std::nullopt, "",
                          "Vazão acima da capacidade do canal"},
                         // Até meio metro depois do fim da linha: a locação arredonda ao metro.
                         {3, 'D', Linha->Comprimento() + 0.4, 0.01, 100, 5, 1.25, "", ""}};
        Trechos = {{"Trecho 1", 0, 2000, 0.031, 64},
                   {"Trecho 2", 2000, Linha->Comprimento(), -0.0425, {}}};
    }
    // Coordenadas lidas (x, y no sistema da camada) e campos de texto pelo nome.
    struct TLido {
        double X, Y;
        std::map<std::string, std::string> Campos;
    };
    std::vector<TLido> Ler(const std::string& arquivo, const char* camada) {
        GDALDatasetUniquePtr ds(
            GDALDataset::Open(Arquivo(arquivo).c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
        EXPECT_TRUE(ds) << arquivo;
        if (!ds) return {};
        OGRLayer* c = camada ? ds->GetLayerByName(camada) : ds->GetLayer(0);
        EXPECT_NE(c, nullptr) << arquivo << ' ' << (camada ? camada : "");
        if (!c) return {};
        std::vector<TLido> r;
        for (auto& f : c) {
            TLido l{};
            const OGRGeometry* g = f->GetGeometryRef();
            if (wkbFlatten(g->getGeometryType()) == wkbPoint) {
                l.X = g->toPoint()->getX();
                l.Y = g->toPoint()->getY();
            } else {
                // As trilhas do GPX voltam como multilinhas.
                const OGRLineString* reta = wkbFlatten(g->getGeometryType()) == wkbMultiLineString
                                                ? g->toMultiLineString()->getGeometryRef(0)
                                                : g->toLineString();
                l.X = reta->getX(0);
                l.Y = reta->getY(0);
            }
            for (int i = 0; i < f->GetFieldCount(); ++i)
                if (f->IsFieldSetAndNotNull(i))
                    l.Campos[f->GetFieldDefnRef(i)->GetNameRef()] = f->GetFieldAsString(i);
            r.push_back(l);
        }
        return r;
    }
    // O lugar lido, levado à zona da estrada, contra o lugar do desaguadouro.
    void ConferirLugar(double lon, double lat, double posicao, const std::string& onde) {
        const auto [e, n] = Converter(4326, Linha->Epsg(), lon, lat);
        const TPontoMapa p = Linha->PontoNaPosicao(posicao);
        EXPECT_NEAR(e, p.E, 0.01) << onde;
        EXPECT_NEAR(n, p.N, 0.01) << onde;
    }
    std::unique_ptr<TLinhaEstrada> Linha;
    std::vector<TDesaguadouroMapa> Desaguadouros;
    std::vector<TTrechoMapa> Trechos;
};

} // namespace

TEST_F(ExportarMapa, GeoPackageEmUtmComTodosOsAtributos) {
    GravarMapa(Arquivo("s.gpkg"), *Linha, Desaguadouros, Trechos);
    const auto pontos = Ler("s.gpkg", "desaguadouros");
    ASSERT_EQ(pontos.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const TPontoMapa p = Linha->PontoNaPosicao(Desaguadouros[i].Posicao);
        EXPECT_NEAR(pontos[i].X, p.E, 0.01);
        EXPECT_NEAR(pontos[i].Y, p.N, 0.01);
        ConferirLugar(std::stod(pontos[i].Campos.at("longitude")),
                      std::stod(pontos[i].Campos.at("latitude")), Desaguadouros[i].Posicao,
                      "atributos");
    }
    const auto& c = pontos[1].Campos;
    EXPECT_EQ(c.at("numero"), "2");
    EXPECT_EQ(c.at("lado"), "E");
    EXPECT_EQ(c.at("estaca"), "61 + 14,50");
    EXPECT_DOUBLE_EQ(std::stod(c.at("declividade_montante")), -0.0425);
    EXPECT_DOUBLE_EQ(std::stod(c.at("distancia_anterior_m")), 1170.25);
    EXPECT_DOUBLE_EQ(std::stod(c.at("vazao_pico_l_s")), 31.75);
    EXPECT_EQ(c.count("volume_bacia_m3"), 0u); // sem bacia: vazio, não zero
    EXPECT_EQ(c.at("avisos"), "Vazão acima da capacidade do canal");
    EXPECT_EQ(c.at("utm_zona"), "23");
    EXPECT_EQ(c.at("utm_hemisferio"), "S");
    EXPECT_EQ(pontos[0].Campos.at("dimensoes_bacia"), "3,0 × 1,6 × 1,0 m");
    EXPECT_DOUBLE_EQ(std::stod(pontos[0].Campos.at("volume_bacia_m3")), 4.8);

    const auto trechos = Ler("s.gpkg", "trechos");
    ASSERT_EQ(trechos.size(), 2u);
    EXPECT_EQ(trechos[0].Campos.at("espacamento_m"), "64");
    EXPECT_EQ(trechos[1].Campos.count("espacamento_m"), 0u);
    EXPECT_EQ(trechos[1].Campos.at("estaca_inicio"), "100 + 0,00");
    EXPECT_NEAR(trechos[1].X, Linha->PontoNaPosicao(2000).E, 0.01);
}

TEST_F(ExportarMapa, KmlGpxEGeoJsonEmGrausComNomesEDescricoes) {
    struct {
        const char* Arquivo;
        const char* Camada;
        const char* Nome;
        const char* Descricao;
    } formatos[] = {{"s.kml", nullptr, "Name", "Description"},
                    {"s.gpx", "waypoints", "name", "desc"},
                    {"s.geojson", nullptr, nullptr, nullptr}};
    for (const auto& f : formatos) {
        GravarMapa(Arquivo(f.Arquivo), *Linha, Desaguadouros, Trechos);
        const auto pontos = Ler(f.Arquivo, f.Camada);
        ASSERT_EQ(pontos.size(), 3u) << f.Arquivo;
        for (std::size_t i = 0; i < 3; ++i)
            ConferirLugar(pontos[i].X, pontos[i].Y, Desaguadouros[i].Posicao, f.Arquivo);
        if (f.Nome) {
            // O KML lido pelo LIBKML tem os nomes em minúsculas.
            auto campo = [&](const std::map<std::string, std::string>& c, std::string nome) {
                for (const auto& [k, v] : c)
                    if (strcasecmp(k.c_str(), nome.c_str()) == 0) return v;
                return std::string("(falta ") + nome + ")";
            };
            EXPECT_EQ(campo(pontos[1].Campos, f.Nome), "Desaguadouro 2 E") << f.Arquivo;
            const std::string d = campo(pontos[1].Campos, f.Descricao);
            for (const char* trecho :
                 {"lado esquerdo", "Estaca 61 + 14,50", "Declividade a montante: -4,25 %",
                  "Vazão de pico: 31,75 L/s", "Avisos: Vazão acima da capacidade"})
                EXPECT_NE(d.find(trecho), std::string::npos) << f.Arquivo << ": " << d;
        } else {
            EXPECT_EQ(pontos[1].Campos.at("estaca"), "61 + 14,50");
        }
    }
    // Os trechos como trilhas do GPS, a partir do começo de cada um.
    const auto trilhas = Ler("s.gpx", "tracks");
    ASSERT_EQ(trilhas.size(), 2u);
    ConferirLugar(trilhas[1].X, trilhas[1].Y, 2000, "trilha");
    EXPECT_NE(trilhas[1].Campos.at("desc").find("nenhum espaçamento atende"), std::string::npos);
}

TEST_F(ExportarMapa, CsvComLatitudeLongitudeEUtm) {
    GravarMapa(Arquivo("s.csv"), *Linha, Desaguadouros, Trechos);
    std::ifstream in(Arquivo("s.csv"));
    std::string cabecalho, linha;
    std::getline(in, cabecalho);
    EXPECT_EQ(cabecalho.rfind("numero,lado,estaca,posicao_m,latitude,longitude,utm_e,utm_n,"
                              "utm_zona,utm_hemisferio,",
                              0),
              0u);
    for (const TDesaguadouroMapa& d : Desaguadouros) {
        ASSERT_TRUE(std::getline(in, linha));
        const auto c = geoteste::CamposCsv(linha);
        ASSERT_GE(c.size(), 10u) << linha;
        ConferirLugar(std::stod(c[5]), std::stod(c[4]), d.Posicao, linha);
        const TPontoMapa p = Linha->PontoNaPosicao(d.Posicao);
        EXPECT_NEAR(std::stod(c[6]), p.E, 0.001);
        EXPECT_NEAR(std::stod(c[7]), p.N, 0.001);
        EXPECT_EQ(c[8] + c[9], "23S");
    }
}

TEST_F(ExportarMapa, GravacaoAtomicaENadaPerdidoQuandoFalha) {
    // Um arquivo antigo no lugar é trocado inteiro, sem temporários esquecidos na pasta.
    std::ofstream(Arquivo("s.gpkg")) << "antigo";
    GravarMapa(Arquivo("s.gpkg"), *Linha, Desaguadouros, Trechos);
    EXPECT_EQ(Ler("s.gpkg", "desaguadouros").size(), 3u);
    int arquivos = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(Pasta))
        ++arquivos;
    EXPECT_EQ(arquivos, 1);

    std::filesystem::create_directory(Arquivo("pasta.kml"));
    EXPECT_THROW(GravarMapa(Arquivo("pasta.kml"), *Linha, Desaguadouros, Trechos), EEntradaSaida);
    EXPECT_TRUE(std::filesystem::is_directory(Arquivo("pasta.kml")));
    EXPECT_THROW(GravarMapa(Arquivo("nao/existe.gpx"), *Linha, Desaguadouros, Trechos),
                 EEntradaSaida);
    try {
        GravarMapa(Arquivo("s.shp"), *Linha, Desaguadouros, Trechos);
        ADD_FAILURE();
    } catch (const EMorvendo& e) {
        EXPECT_NE(std::string(e.what()).find("use .gpkg, .kml, .gpx, .geojson ou .csv."),
                  std::string::npos);
    }
    auto fora = Desaguadouros;
    fora[2].Posicao = Linha->Comprimento() + 5;
    EXPECT_THROW(GravarMapa(Arquivo("f.gpx"), *Linha, fora, Trechos), EMorvendo);
    EXPECT_FALSE(std::filesystem::exists(Arquivo("f.gpx")));
}
