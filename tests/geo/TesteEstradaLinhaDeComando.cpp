// morvendo-calc --estrada: do mapa à nota de locação e de volta ao mapa, com um terreno de
// crista e baixada feito pelo teste.
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include "tests/geo/GeografiaTeste.h"

namespace {

double Superficie(double e, double n) {
    return 800 + 40 * std::sin(2 * M_PI * (e - 300000) / 4000) + 0.002 * (n - 7500000);
}

class EstradaLinhaDeComando : public geoteste::TPasta {
protected:
    void SetUp() override {
        geoteste::TPasta::SetUp();
        std::filesystem::copy_file(MORVENDO_EXEMPLOS "/Estrada.mvd", Arquivo("p.mvd"));
        geoteste::CriarTerreno(Arquivo("mdt.tif"), 32723, 300000, 7506000, 30, 200, 200,
                               Superficie);
        // De 500 m antes de uma crista (E = 301 000) a 600 m depois da baixada (E = 303 000).
        geoteste::CriarCamada(Arquivo("estrada.gpkg"), "GPKG", 32723,
                              {"LINESTRING (300500 7502500,303000 7503000,303600 7503120)"});
        geoteste::CriarCamada(Arquivo("volta.geojson"), "GeoJSON", 4326,
                              {"LINESTRING (-45 -22,-44.99 -22,-44.995 -22.00001)"});
    }
    struct TExecucao {
        int Saida;
        std::string Out, Err;
    };
    TExecucao Executar(const std::string& argumentos) {
        const std::string cmd = "cd '" + Pasta + "' && (LC_ALL=C '" MORVENDO_CALC "' p.mvd " +
                                argumentos + " > out.txt 2> err.txt)";
        const int r = std::system(cmd.c_str());
        auto ler = [&](const char* nome) {
            std::ostringstream s;
            s << std::ifstream(Arquivo(nome)).rdbuf();
            return s.str();
        };
        return {WIFEXITED(r) ? WEXITSTATUS(r) : -1, ler("out.txt"), ler("err.txt")};
    }
};

} // namespace

TEST_F(EstradaLinhaDeComando, NotaDeLocacaoEMapaComOsMesmosDesaguadouros) {
    const TExecucao r = Executar("--estrada estrada.gpkg --mde mdt.tif --saida d.gpkg");
    ASSERT_TRUE(r.Saida == 0 || r.Saida == 4) << r.Err;
    // A nota: numero,lado,estaca,distancia_m,...
    std::istringstream nota(r.Out);
    std::string linha;
    std::getline(nota, linha);
    ASSERT_EQ(linha.rfind("numero,lado,estaca,distancia_m,", 0), 0u) << r.Out;
    std::vector<std::pair<std::string, double>> naNota;
    while (std::getline(nota, linha)) {
        const auto c = geoteste::CamposCsv(linha);
        naNota.push_back({c[1], std::stod(c[3])});
    }
    ASSERT_FALSE(naNota.empty());

    GDALDatasetUniquePtr ds(
        GDALDataset::Open(Arquivo("d.gpkg").c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    ASSERT_TRUE(ds);
    OGRLayer* pontos = ds->GetLayerByName("desaguadouros");
    ASSERT_NE(pontos, nullptr);
    ASSERT_EQ(pontos->GetFeatureCount(), GIntBig(naNota.size()));
    std::size_t i = 0;
    for (auto& f : pontos) {
        EXPECT_EQ(f->GetFieldAsString("lado"), naNota[i].first);
        EXPECT_NEAR(f->GetFieldAsDouble("posicao_m"), naNota[i].second, 0.01);
        // O ponto fica sobre a linha da estrada, no lugar da estaca.
        const OGRPoint* p = f->GetGeometryRef()->toPoint();
        EXPECT_NEAR(p->getX(), f->GetFieldAsDouble("utm_e"), 1e-6);
        ++i;
    }
    EXPECT_GT(ds->GetLayerByName("trechos")->GetFeatureCount(), 0);

    // A água: nenhum desaguadouro na crista (E = 301 000, ~510 m) e um de cada lado na
    // baixada (E = 303 000, ~2 550 m), que serve às duas descidas.
    const double sCrista = 500 * std::hypot(1.0, 0.2), sBaixada = 2500 * std::hypot(1.0, 0.2);
    int naBaixada = 0;
    for (const auto& [lado, s] : naNota) {
        EXPECT_GT(std::abs(s - sCrista), 15) << lado << ' ' << s;
        if (std::abs(s - sBaixada) < 15) ++naBaixada;
    }
    EXPECT_EQ(naBaixada, 2);
}

TEST_F(EstradaLinhaDeComando, UsoEEntradasRecusadas) {
    struct {
        const char* Argumentos;
        int Saida;
        const char* Mensagem;
    } casos[] = {
        {"--mde mdt.tif", 2, "só servem com --estrada"},
        {"--estrada estrada.gpkg --json", 2, "não serve com --estrada"},
        {"--estrada estrada.gpkg --trechos t.csv", 2, "não serve com"},
        {"--estrada estrada.gpkg --saida d.shp", 2, "use .gpkg, .kml, .gpx, .geojson ou .csv."},
        {"--estrada estrada.gpkg --saida p.mvd", 2, "não podem ser gravados em p.mvd"},
        {"--estrada estrada.gpkg --suavizar -3", 2, "(--suavizar) deve ser de 0 a 1000 m."},
        {"--estrada nao-existe.gpx", 2, "O arquivo nao-existe.gpx não existe."},
        {"--estrada estrada.gpkg", 1, "não tem cotas em todos os pontos: use um modelo"},
        {"--estrada volta.geojson", 1, "volta sobre si mesma na estaca"},
    };
    for (const auto& c : casos) {
        const TExecucao r = Executar(c.Argumentos);
        EXPECT_EQ(r.Saida, c.Saida) << c.Argumentos << ": " << r.Err;
        EXPECT_NE(r.Err.find(c.Mensagem), std::string::npos) << c.Argumentos << ": " << r.Err;
        EXPECT_TRUE(r.Out.empty()) << c.Argumentos;
    }
    EXPECT_FALSE(std::filesystem::exists(Arquivo("d.shp")));
}
