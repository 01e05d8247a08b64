// Cotas de um modelo de terreno sintético, com uma crista e uma baixada, ao longo de linhas
// em UTM e em graus.
#include <fstream>
#include <regex>
#include <sys/resource.h>

#include "comum/EMorvendo.h"
#include "geo/ModeloTerreno.h"
#include "tests/geo/GeografiaTeste.h"

using geoteste::Converter;
using geoteste::CriarCamada;
using geoteste::CriarTerreno;

namespace {

// Ondulação leste-oeste de 4 km (cristas em E = 301 000 e 305 000, baixada em 303 000) sobre
// um plano que sobe para o norte.
double Superficie(double e, double n) {
    return 800 + 40 * std::sin(2 * M_PI * (e - 300000) / 4000) + 0.002 * (n - 7500000);
}
// Maior erro da interpolação bilinear numa célula de 30 m: h²/8 · |z''|.
const double ERRO_CELULA = 30.0 * 30 / 8 * 40 * std::pow(2 * M_PI / 4000, 2) + 1e-4;

const std::vector<std::pair<double, double>> TRACADO{
    {300500, 7502500}, {303000, 7503000}, {305500, 7503500}};

class ModeloTerreno : public geoteste::TPasta {
protected:
    void SetUp() override {
        geoteste::TPasta::SetUp();
        CriarTerreno(Arquivo("mdt.tif"), 32723, 300000, 7506000, 30, 200, 200, Superficie);
        std::string utm = "LINESTRING (", graus = "LINESTRING (";
        for (const auto& [e, n] : TRACADO) {
            const auto [lon, lat] = Converter(32723, 4326, e, n);
            utm += std::to_string(e) + " " + std::to_string(n) + ",";
            char t[80];
            std::snprintf(t, sizeof t, "%.12f %.12f,", lon, lat);
            graus += t;
        }
        utm.back() = ')';
        graus.back() = ')';
        CriarCamada(Arquivo("estrada.gpkg"), "GPKG", 32723, {utm});
        CriarCamada(Arquivo("estrada.geojson"), "GeoJSON", 4326, {graus});
    }
    std::string Recusa(const std::string& terreno) {
        try {
            PerfilDoTerreno(Arquivo(terreno), TLinhaEstrada::Abrir(Arquivo("estrada.gpkg")));
        } catch (const EMorvendo& e) {
            return e.what();
        }
        return "aceito";
    }
};

// Posições dos extremos do perfil (índices onde a rampa troca de sentido).
std::vector<double> Extremos(const std::vector<TPontoPerfil>& p) {
    std::vector<double> r;
    for (std::size_t i = 1; i + 1 < p.size(); ++i) {
        const double a = p[i].Cota - p[i - 1].Cota, b = p[i + 1].Cota - p[i].Cota;
        if ((a > 0 && b < 0) || (a < 0 && b > 0)) r.push_back(p[i].Posicao);
    }
    return r;
}

} // namespace

TEST_F(ModeloTerreno, CotasDaSuperficieACadaMetroECristasEBaixadasNoLugar) {
    for (const char* nome : {"estrada.gpkg", "estrada.geojson"}) {
        const TLinhaEstrada linha = TLinhaEstrada::Abrir(Arquivo(nome));
        const TPerfilEstrada r = PerfilDaEstrada(linha, Arquivo("mdt.tif"), {});
        ASSERT_EQ(r.Bruto.size(), std::size_t(std::floor(linha.Comprimento())) + 2) << nome;
        double pior = 0;
        for (const TPontoPerfil& p : r.Bruto) {
            const TPontoMapa m = linha.PontoNaPosicao(p.Posicao);
            pior = std::max(pior, std::abs(p.Cota - Superficie(m.E, m.N)));
        }
        EXPECT_LE(pior, ERRO_CELULA) << nome;

        // Onde a superfície, seguida ao longo da linha, troca de sentido.
        std::vector<TPontoPerfil> exato;
        for (double s = 0; s < linha.Comprimento(); s += 0.5) {
            const TPontoMapa m = linha.PontoNaPosicao(s);
            exato.push_back({s, Superficie(m.E, m.N)});
        }
        const auto esperados = Extremos(exato);
        ASSERT_EQ(esperados.size(), 3u);
        // Crista, baixada, crista: o perfil da locação tem os mesmos, no mesmo lugar.
        const auto achados = Extremos(r.Perfil);
        ASSERT_EQ(achados.size(), 3u) << nome;
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(achados[i], esperados[i], 3) << nome;
        EXPECT_GT(r.Perfil[1].Cota, r.Perfil[0].Cota); // começa subindo para a crista
        for (std::size_t i = 1; i < r.Perfil.size(); ++i)
            EXPECT_GE(r.Perfil[i].Posicao - r.Perfil[i - 1].Posicao, 19) << nome;
    }
}

TEST_F(ModeloTerreno, ModeloEmGrausComUnidadeEEmPes) {
    // O mesmo relevo num raster em graus (cotas em metros, declaradas) e em pés.
    OGRSpatialReference wgs84 = geoteste::Sistema(4326), utm = geoteste::Sistema(32723);
    std::unique_ptr<OGRCoordinateTransformation> paraUtm(
        OGRCreateCoordinateTransformation(&wgs84, &utm));
    auto emGraus = [&](double lon, double lat) {
        paraUtm->Transform(1, &lon, &lat);
        return Superficie(lon, lat);
    };
    CriarTerreno(Arquivo("graus.tif"), 4326, -46.96, -22.53, 0.0002, 450, 350, emGraus);
    CriarTerreno(
        Arquivo("pes.tif"), 32723, 300000, 7506000, 30, 200, 200,
        [](double e, double n) { return Superficie(e, n) / 0.3048; }, "ft");
    const TLinhaEstrada linha = TLinhaEstrada::Abrir(Arquivo("estrada.gpkg"));
    const auto graus = PerfilDoTerreno(Arquivo("graus.tif"), linha);
    const auto pes = PerfilDoTerreno(Arquivo("pes.tif"), linha);
    for (std::size_t i = 0; i < graus.size(); i += 97) {
        const TPontoMapa m = linha.PontoNaPosicao(graus[i].Posicao);
        EXPECT_NEAR(graus[i].Cota, Superficie(m.E, m.N), 0.02) << graus[i].Posicao;
        EXPECT_NEAR(pes[i].Cota, Superficie(m.E, m.N), ERRO_CELULA) << pes[i].Posicao;
    }
}

TEST_F(ModeloTerreno, ModeloEnormeLidoSoPorJanelasAoLongoDaLinha) {
    // 50 000 × 50 000 células de 1 m (10 GB descomprimidos), esparso no disco: só os blocos
    // ao redor da estrada têm dados. Ler o raster inteiro estouraria a memória.
    const int lado = 50000;
    char** opcoes = nullptr;
    for (const char* o :
         {"TILED=YES", "BLOCKXSIZE=512", "BLOCKYSIZE=512", "SPARSE_OK=TRUE", "BIGTIFF=YES"})
        opcoes = CSLAddString(opcoes, o);
    {
        GDALDatasetUniquePtr ds(GetGDALDriverManager()->GetDriverByName("GTiff")->Create(
            Arquivo("enorme.tif").c_str(), lado, lado, 1, GDT_Float32, opcoes));
        ASSERT_TRUE(ds);
        double gt[6] = {300000, 1, 0, 7506000, 0, -1};
        ds->SetGeoTransform(gt);
        OGRSpatialReference s = geoteste::Sistema(32723);
        ds->SetSpatialRef(&s);
        ds->GetRasterBand(1)->SetUnitType("m");
        // Colunas 400 a 5600, linhas 2400 a 3600: a faixa da estrada.
        const int i0 = 400, j0 = 2400, largura = 5200, altura = 1200;
        std::vector<float> z(std::size_t(largura) * altura);
        for (int j = 0; j < altura; ++j)
            for (int i = 0; i < largura; ++i)
                z[std::size_t(j) * largura + i] =
                    float(Superficie(300000 + i0 + i + 0.5, 7506000 - (j0 + j + 0.5)));
        ASSERT_EQ(ds->GetRasterBand(1)->RasterIO(GF_Write, i0, j0, largura, altura, z.data(),
                                                 largura, altura, GDT_Float32, 0, 0),
                  CE_None);
    }
    CSLDestroy(opcoes);
    EXPECT_LT(std::filesystem::file_size(Arquivo("enorme.tif")), 100u << 20);
    const TLinhaEstrada linha = TLinhaEstrada::Abrir(Arquivo("estrada.gpkg"));
    rusage antes{}, depois{};
    getrusage(RUSAGE_SELF, &antes);
    const auto perfil = PerfilDoTerreno(Arquivo("enorme.tif"), linha);
    getrusage(RUSAGE_SELF, &depois);
    EXPECT_LT(depois.ru_maxrss - antes.ru_maxrss, 200 * 1024); // KB
    for (std::size_t i = 0; i < perfil.size(); i += 101) {
        const TPontoMapa m = linha.PontoNaPosicao(perfil[i].Posicao);
        EXPECT_NEAR(perfil[i].Cota, Superficie(m.E, m.N), 0.01) << perfil[i].Posicao;
    }
}

TEST_F(ModeloTerreno, ModelosRecusadosComALugarDaEstrada) {
    const TLinhaEstrada linha = TLinhaEstrada::Abrir(Arquivo("estrada.gpkg"));
    // Onde a linha passa do fim do modelo curto e entra na faixa sem dado.
    auto primeiraDepois = [&](double leste) {
        double s = 0;
        while (linha.PontoNaPosicao(s).E <= leste)
            s += 1;
        return s;
    };
    CriarTerreno(Arquivo("curto.tif"), 32723, 300000, 7506000, 30, 66, 200, Superficie);
    const double leste = 300000 + 66 * 30;
    CriarTerreno(Arquivo("furado.tif"), 32723, 300000, 7506000, 30, 200, 200, Superficie, "m",
                 [](double e, double) { return e > 303500 && e < 303620; });
    CriarTerreno(
        Arquivo("graus-sem-unidade.tif"), 4326, -46.96, -22.53, 0.0002, 450, 350,
        [](double, double) { return 800.0; }, nullptr);
    CriarTerreno(
        Arquivo("declividade.tif"), 32723, 300000, 7506000, 30, 200, 200,
        [](double, double) { return 5.0; }, "deg");
    std::ofstream(Arquivo("texto.tif")) << "não é um raster";
    // O modelo bom cortado no meio, como num download interrompido.
    std::filesystem::copy_file(Arquivo("mdt.tif"), Arquivo("cortado.tif"));
    std::filesystem::resize_file(Arquivo("cortado.tif"),
                                 std::filesystem::file_size(Arquivo("mdt.tif")) / 2);

    const std::string curto = Recusa("curto.tif");
    EXPECT_NE(curto.find("sai do modelo de terreno"), std::string::npos) << curto;
    EXPECT_NE(curto.find("na estaca " + Estaca(primeiraDepois(leste)) + " ("), std::string::npos)
        << curto;
    const std::string furado = Recusa("furado.tif");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(furado, m, std::regex(R"(não tem cota na estaca [^(]+\((\d+),)")))
        << furado;
    // A primeira amostra que usa uma célula sem dado (centros de 303 525 a 303 615): a que
    // passa do centro da célula anterior, em 303 495.
    EXPECT_EQ(std::stod(m[1]), primeiraDepois(303495));

    struct {
        const char* Arquivo;
        const char* Trecho;
    } casos[] = {
        {"graus-sem-unidade.tif", "está em graus e não diz a unidade das cotas"},
        {"declividade.tif", "(\"deg\") não é metro nem pé"},
        {"texto.tif", "não é um modelo de terreno que o programa leia"},
        {"cortado.tif", "corrompido"},
        {"nao-existe.tif", "não existe."},
    };
    for (const auto& c : casos) {
        const std::string msg = Recusa(c.Arquivo);
        EXPECT_NE(msg.find(c.Trecho), std::string::npos) << c.Arquivo << ": " << msg;
        EXPECT_EQ(msg.back(), '.') << msg;
    }
}
