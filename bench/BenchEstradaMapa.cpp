// A estrada do mapa de ponta a ponta, como o engenheiro a roda: 50 km de linha sobre um modelo
// de terreno de 1° × 1° a 30 m (3 601 × 3 601 células), lida, amostrada a cada metro, locada
// dos dois lados e gravada em GeoPackage pela linha de comando, em duas linhas de execução.
// Mede o tempo de parede e o pico de memória do processo.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

// Canto noroeste do ladrilho e o passo de 1 segundo de arco.
constexpr double LON0 = -48, LAT0 = -15, PASSO = 1.0 / 3600;
constexpr int CELULAS = 3601;

// Relevo de colinas (rampas de até uns 8 %), em metros a partir de graus.
double Cota(double lon, double lat) {
    const double x = (lon - LON0) * 107000, y = (LAT0 - lat) * 111000;
    return 800 + 60 * std::sin(x / 2500) + 45 * std::cos(y / 1800) + 25 * std::sin((x + y) / 900);
}

bool CriarTerreno(const std::string& caminho) {
    GDALDriver* gtiff = GetGDALDriverManager()->GetDriverByName("GTiff");
    const char* opcoes[] = {"TILED=YES", nullptr};
    GDALDatasetUniquePtr ds(gtiff->Create(caminho.c_str(), CELULAS, CELULAS, 1, GDT_Float32,
                                          const_cast<char**>(opcoes)));
    if (!ds) return false;
    double gt[6] = {LON0 - PASSO / 2, PASSO, 0, LAT0 + PASSO / 2, 0, -PASSO};
    ds->SetGeoTransform(gt);
    OGRSpatialReference s;
    s.importFromEPSG(4326);
    ds->SetSpatialRef(&s);
    GDALRasterBand* b = ds->GetRasterBand(1);
    b->SetUnitType("m");
    std::vector<float> linha(CELULAS);
    for (int j = 0; j < CELULAS; ++j) {
        for (int i = 0; i < CELULAS; ++i)
            linha[std::size_t(i)] = float(Cota(LON0 + i * PASSO, LAT0 - j * PASSO));
        if (b->RasterIO(GF_Write, 0, j, CELULAS, 1, linha.data(), CELULAS, 1, GDT_Float32, 0, 0) !=
            CE_None)
            return false;
    }
    return true;
}

// 50 km que serpenteiam na diagonal do ladrilho, um vértice a cada 20 m.
bool CriarLinha(const std::string& caminho) {
    std::ofstream f(caminho);
    f << "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"properties\":{},"
         "\"geometry\":{\"type\":\"LineString\",\"coordinates\":[";
    double x = 8000, y = 8000, comprimento = 0;
    f.precision(10);
    for (int k = 0; comprimento <= 50000; ++k) {
        const double s = 20.0 * k;
        const double nx = 8000 + s * 0.7, ny = 8000 + s * 0.7 + 2500 * std::sin(s / 3000);
        if (k > 0) comprimento += std::hypot(nx - x, ny - y);
        x = nx;
        y = ny;
        f << (k ? "," : "") << '[' << LON0 + x / 107000 << ',' << LAT0 - y / 111000 << ']';
    }
    f << "]}}]}\n";
    return bool(f);
}

void BM_EstradaDoMapa50km(benchmark::State& state) {
    GDALAllRegister();
    const std::filesystem::path pasta =
        std::filesystem::temp_directory_path() / "morvendo-bench-mapa";
    std::filesystem::create_directories(pasta);
    const std::string terreno = (pasta / "terreno.tif").string();
    const std::string linha = (pasta / "estrada.geojson").string();
    const std::string saida = (pasta / "desaguadouros.gpkg").string();
    const std::string nota = (pasta / "nota.csv").string();
    // O terreno é feito uma vez e fica para as rodadas seguintes.
    if (!std::filesystem::exists(terreno) && !CriarTerreno(terreno)) {
        state.SkipWithError("o modelo de terreno não foi criado");
        return;
    }
    if (!CriarLinha(linha)) {
        state.SkipWithError("a linha não foi criada");
        return;
    }
    std::vector<std::string> args = {MORVENDO_CALC, MORVENDO_EXEMPLOS "/Estrada.mvd",
                                     "--estrada",   linha,
                                     "--mde",       terreno,
                                     "--saida",     saida,
                                     "--threads",   "2"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    long picoKb = 0;
    for (auto _ : state) {
        std::filesystem::remove(saida);
        posix_spawn_file_actions_t acoes;
        posix_spawn_file_actions_init(&acoes);
        posix_spawn_file_actions_addopen(&acoes, 1, nota.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        pid_t pid = 0;
        const int erro = posix_spawn(&pid, argv[0], &acoes, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&acoes);
        if (erro != 0) {
            state.SkipWithError("morvendo-calc não foi executado");
            return;
        }
        int status = 0;
        rusage uso{};
        wait4(pid, &status, 0, &uso);
        if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 4)) {
            state.SkipWithError("morvendo-calc falhou");
            return;
        }
        picoKb = uso.ru_maxrss;
    }
    std::ifstream f(nota);
    long linhas = 0;
    for (std::string l; std::getline(f, l);)
        ++linhas;
    state.counters["desaguadouros"] = double(linhas - 1);
    state.counters["memoria_MB"] = double(picoKb) / 1024;
}
BENCHMARK(BM_EstradaDoMapa50km)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace
