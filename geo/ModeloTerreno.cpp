#include "geo/ModeloTerreno.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <gdal_priv.h>
#include <gdal_utils.h>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "geo/Gdal.h"

namespace {

// Metros por unidade das cotas do raster.
double MetrosPorUnidade(const GDALRasterBand& banda, const OGRSpatialReference& sistema,
                        const std::string& caminho) {
    std::string unidade = const_cast<GDALRasterBand&>(banda).GetUnitType();
    std::transform(unidade.begin(), unidade.end(), unidade.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    static const char* const metros[] = {"m",      "metre", "meter", "metres",
                                         "meters", "metro", "metros"};
    static const char* const pes[] = {"ft", "foot", "feet", "international foot"};
    static const char* const pesEua[] = {"us-ft", "ftus", "us survey foot", "foot_us"};
    for (const char* u : metros)
        if (unidade == u) return 1;
    for (const char* u : pes)
        if (unidade == u) return 0.3048;
    for (const char* u : pesEua)
        if (unidade == u) return 1200.0 / 3937.0;
    if (!unidade.empty())
        throw EMorvendo("A unidade das cotas do modelo de terreno " + caminho + " (\"" + unidade +
                        "\") não é metro nem pé: ele não parece um modelo de terreno.");
    if (sistema.IsCompound()) return sistema.GetTargetLinearUnits("VERT_CS");
    // Em graus e sem unidade, os valores podem ser qualquer coisa (declividade, aspecto...).
    if (sistema.IsGeographic())
        throw EMorvendo("O modelo de terreno " + caminho +
                        " está em graus e não diz a unidade das cotas: declare-a no arquivo "
                        "(gdal_edit -units m, por exemplo) ou use um modelo em UTM.");
    // Projetado e sem unidade: as cotas na unidade das coordenadas.
    return sistema.GetLinearUnits();
}

struct TRaster {
    GDALRasterBand* Banda = nullptr;
    int Largura = 0, Altura = 0;
    double Inversa[6] = {};
    bool TemSemDado = false;
    double SemDado = 0;
    double Escala = 1, Deslocamento = 0, Metros = 1;
};

// Célula (coluna, linha) de cada amostra e os pesos da interpolação bilinear, com as células
// de borda repetidas na meia célula entre o centro e a margem do raster.
struct TCelulas {
    int I = 0, J = 0;
    double Tx = 0, Ty = 0;
};

TCelulas Celulas(const TRaster& r, double u, double v) {
    const double fu = u - 0.5, fv = v - 0.5;
    TCelulas c;
    c.I = std::clamp(int(std::floor(fu)), 0, r.Largura - 2);
    c.J = std::clamp(int(std::floor(fv)), 0, r.Altura - 2);
    c.Tx = std::clamp(fu - c.I, 0.0, 1.0);
    c.Ty = std::clamp(fv - c.J, 0.0, 1.0);
    return c;
}

GDALDatasetUniquePtr AbrirTerreno(const std::string& caminho) {
    ConferirArquivoDeEntrada(caminho);
    GDALDatasetUniquePtr ds(GDALDataset::Open(caminho.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
    if (!ds || ds->GetRasterCount() < 1)
        throw EArquivoRecusado("O arquivo " + caminho +
                               " não é um modelo de terreno que o programa leia (GeoTIFF, .hgt, "
                               "grade ASCII ou outro raster) ou está corrompido.");
    return ds;
}

// Argumentos de linha de comando dos utilitários do GDAL.
class TArgumentos {
public:
    TArgumentos(std::initializer_list<std::string> a) : FTextos(a) {
        for (std::string& t : FTextos)
            FPonteiros.push_back(t.data());
        FPonteiros.push_back(nullptr);
    }
    char** Lista() { return FPonteiros.data(); }

private:
    std::vector<std::string> FTextos;
    std::vector<char*> FPonteiros;
};

std::string Numero(double v) {
    char texto[40];
    std::snprintf(texto, sizeof texto, "%.17g", v);
    return texto;
}

struct TFechaDataset {
    void operator()(GDALDatasetH d) const { GDALClose(d); }
};
using TDataset = std::unique_ptr<void, TFechaDataset>;

} // namespace

std::vector<TPontoPerfil> PerfilDoTerreno(const std::string& caminho, const TLinhaEstrada& linha) {
    TErrosGdal erros;
    GDALDatasetUniquePtr ds = AbrirTerreno(caminho);
    TRaster r;
    r.Banda = ds->GetRasterBand(1);
    r.Largura = ds->GetRasterXSize();
    r.Altura = ds->GetRasterYSize();
    if (r.Largura < 2 || r.Altura < 2)
        throw EMorvendo("O modelo de terreno " + caminho +
                        " tem menos de duas células numa direção.");
    const OGRSpatialReference* sistema = ds->GetSpatialRef();
    if (!sistema || sistema->IsEmpty())
        throw EMorvendo("O modelo de terreno " + caminho +
                        " não diz em que sistema de coordenadas está.");
    double gt[6];
    if (ds->GetGeoTransform(gt) != CE_None || !GDALInvGeoTransform(gt, r.Inversa))
        throw EMorvendo("O modelo de terreno " + caminho +
                        " não diz onde fica (não tem georreferência).");
    r.Metros = MetrosPorUnidade(*r.Banda, *sistema, caminho);
    int tem = 0;
    r.SemDado = r.Banda->GetNoDataValue(&tem);
    r.TemSemDado = tem != 0;
    if (const double e = r.Banda->GetScale(&tem); tem) r.Escala = e;
    if (const double d = r.Banda->GetOffset(&tem); tem) r.Deslocamento = d;

    TTransformacao paraRaster = Transformacao(SistemaEpsg(linha.Epsg()), *sistema);
    if (!paraRaster)
        throw EMorvendo("O sistema de coordenadas do modelo de terreno " + caminho + " (" +
                        NomeDoSistema(*sistema) + ") não pode ser convertido no da estrada (UTM " +
                        std::to_string(linha.Zona()) + (linha.Sul() ? " S" : " N") + ").");

    const std::vector<TAmostraLinha> amostras =
        AmostrasACadaMetro(linha.Vertices(), linha.Posicoes());
    const std::size_t n = amostras.size();
    std::vector<double> u(n), v(n);
    std::vector<int> certo(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        u[i] = amostras[i].E;
        v[i] = amostras[i].N;
    }
    paraRaster->Transform(n, u.data(), v.data(), nullptr, certo.data());
    for (std::size_t i = 0; i < n; ++i) {
        if (!certo[i] || !std::isfinite(u[i]) || !std::isfinite(v[i]))
            throw EMorvendo("O ponto da " + LugarNaEstrada(amostras[i].Posicao) +
                            " não pôde ser levado ao sistema do modelo de terreno " + caminho +
                            ".");
        const double x = u[i], y = v[i];
        u[i] = r.Inversa[0] + r.Inversa[1] * x + r.Inversa[2] * y;
        v[i] = r.Inversa[3] + r.Inversa[4] * x + r.Inversa[5] * y;
        constexpr double folga = 1e-6;
        if (!(u[i] >= -folga && u[i] <= r.Largura + folga && v[i] >= -folga &&
              v[i] <= r.Altura + folga))
            throw EMorvendo("A estrada sai do modelo de terreno " + caminho + " na " +
                            LugarNaEstrada(amostras[i].Posicao) +
                            ": o modelo não cobre a estrada toda.");
    }

    std::vector<TPontoPerfil> perfil(n);
    std::vector<double> janela;
    for (std::size_t inicio = 0; inicio < n;) {
        // Amostras seguidas enquanto as células delas cabem numa janela do tamanho máximo.
        TCelulas c = Celulas(r, u[inicio], v[inicio]);
        int i0 = c.I, i1 = c.I + 1, j0 = c.J, j1 = c.J + 1;
        std::size_t fim = inicio + 1;
        for (; fim < n; ++fim) {
            c = Celulas(r, u[fim], v[fim]);
            const int a0 = std::min(i0, c.I), a1 = std::max(i1, c.I + 1);
            const int b0 = std::min(j0, c.J), b1 = std::max(j1, c.J + 1);
            if (a1 - a0 >= LADO_MAXIMO_JANELA || b1 - b0 >= LADO_MAXIMO_JANELA) break;
            i0 = a0, i1 = a1, j0 = b0, j1 = b1;
        }
        const int largura = i1 - i0 + 1, altura = j1 - j0 + 1;
        janela.resize(std::size_t(largura) * std::size_t(altura));
        if (r.Banda->RasterIO(GF_Read, i0, j0, largura, altura, janela.data(), largura, altura,
                              GDT_Float64, 0, 0) != CE_None)
            throw EArquivoRecusado("O modelo de terreno " + caminho +
                                   " está corrompido: a leitura falhou perto da " +
                                   LugarNaEstrada(amostras[inicio].Posicao) + ".");
        for (std::size_t k = inicio; k < fim; ++k) {
            c = Celulas(r, u[k], v[k]);
            const double pesos[4] = {(1 - c.Tx) * (1 - c.Ty), c.Tx * (1 - c.Ty), (1 - c.Tx) * c.Ty,
                                     c.Tx * c.Ty};
            const int di[4] = {0, 1, 0, 1}, dj[4] = {0, 0, 1, 1};
            double z = 0;
            for (int q = 0; q < 4; ++q) {
                if (pesos[q] <= 0) continue;
                const double bruto = janela[std::size_t(c.J + dj[q] - j0) * std::size_t(largura) +
                                            std::size_t(c.I + di[q] - i0)];
                if (!std::isfinite(bruto) || (r.TemSemDado && bruto == r.SemDado))
                    throw EMorvendo("O modelo de terreno " + caminho + " não tem cota na " +
                                    LugarNaEstrada(amostras[k].Posicao) +
                                    ": a célula está sem dado.");
                z += pesos[q] * bruto;
            }
            perfil[k] = {amostras[k].Posicao, (z * r.Escala + r.Deslocamento) * r.Metros};
        }
        inicio = fim;
    }
    return perfil;
}

TPerfilEstrada PerfilDaEstrada(const TLinhaEstrada& linha, const std::string& terreno,
                               const TOpcoesPerfil& opcoes) {
    ConferirOpcoesPerfil(opcoes);
    return DerivarPerfil(terreno.empty() ? linha.PerfilDaLinha() : PerfilDoTerreno(terreno, linha),
                         opcoes);
}

TRelevo RelevoDoTerreno(const std::string& caminho, const TLinhaEstrada& linha, int ladoMaximo) {
    TErrosGdal erros;
    GDALDatasetUniquePtr ds = AbrirTerreno(caminho);
    const OGRSpatialReference* sistema = ds->GetSpatialRef();
    double gt[6], inversa[6];
    if (!sistema || sistema->IsEmpty() || ds->GetGeoTransform(gt) != CE_None ||
        !GDALInvGeoTransform(gt, inversa))
        throw EMorvendo("O modelo de terreno " + caminho + " não diz onde fica.");
    GDALRasterBand& banda = *ds->GetRasterBand(1);
    int tem = 0;
    const double escala = banda.GetScale(&tem);
    const double metros = MetrosPorUnidade(banda, *sistema, caminho) * (tem ? escala : 1);

    // A estrada e uma folga em volta, em pixels quadrados no plano UTM dela.
    TRelevo relevo;
    relevo.Oeste = relevo.Sul = INFINITY;
    relevo.Leste = relevo.Norte = -INFINITY;
    for (const TVerticeUtm& v : linha.Vertices()) {
        relevo.Oeste = std::min(relevo.Oeste, v.E);
        relevo.Leste = std::max(relevo.Leste, v.E);
        relevo.Sul = std::min(relevo.Sul, v.N);
        relevo.Norte = std::max(relevo.Norte, v.N);
    }
    // Um quadrado em volta da estrada, com folga: a planta o mostra em janelas de qualquer
    // proporção sem faixas brancas.
    const double lado =
        std::max(200.0, 1.25 * std::max(relevo.Leste - relevo.Oeste, relevo.Norte - relevo.Sul));
    const double centroE = (relevo.Oeste + relevo.Leste) / 2;
    const double centroN = (relevo.Sul + relevo.Norte) / 2;
    relevo.Oeste = centroE - lado / 2;
    relevo.Leste = centroE + lado / 2;
    relevo.Sul = centroN - lado / 2;
    relevo.Norte = centroN + lado / 2;
    const double celula =
        std::max(relevo.Leste - relevo.Oeste, relevo.Norte - relevo.Sul) / std::max(ladoMaximo, 2);
    const int largura = std::max(2, int(std::ceil((relevo.Leste - relevo.Oeste) / celula)));
    const int altura = std::max(2, int(std::ceil((relevo.Norte - relevo.Sul) / celula)));
    relevo.Leste = relevo.Oeste + largura * celula;
    relevo.Sul = relevo.Norte - altura * celula;

    // A janela do raster que cobre esse retângulo (as bordas, ponto a ponto: a projeção as
    // encurva).
    TTransformacao paraRaster = Transformacao(SistemaEpsg(linha.Epsg()), *sistema);
    if (!paraRaster) return {};
    std::vector<double> x, y;
    constexpr int pontos = 24;
    for (int k = 0; k <= pontos; ++k) {
        const double f = double(k) / pontos;
        const double e = relevo.Oeste + f * (relevo.Leste - relevo.Oeste);
        const double n = relevo.Sul + f * (relevo.Norte - relevo.Sul);
        for (const auto& [a, b] : {std::pair(e, relevo.Sul), std::pair(e, relevo.Norte),
                                   std::pair(relevo.Oeste, n), std::pair(relevo.Leste, n)}) {
            x.push_back(a);
            y.push_back(b);
        }
    }
    std::vector<int> certo(x.size(), 0);
    paraRaster->Transform(x.size(), x.data(), y.data(), nullptr, certo.data());
    double u0 = INFINITY, u1 = -INFINITY, v0 = INFINITY, v1 = -INFINITY;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (!certo[i]) continue;
        const double u = inversa[0] + inversa[1] * x[i] + inversa[2] * y[i];
        const double v = inversa[3] + inversa[4] * x[i] + inversa[5] * y[i];
        u0 = std::min(u0, u), u1 = std::max(u1, u);
        v0 = std::min(v0, v), v1 = std::max(v1, v);
    }
    const int i0 = std::max(0, int(std::floor(u0)) - 1);
    const int j0 = std::max(0, int(std::floor(v0)) - 1);
    const int i1 = std::min(ds->GetRasterXSize(), int(std::ceil(u1)) + 1);
    const int j1 = std::min(ds->GetRasterYSize(), int(std::ceil(v1)) + 1);
    if (!(i1 - i0 >= 2 && j1 - j0 >= 2)) return {};

    // Só a janela, já reduzida à resolução da imagem (média das células); depois levada ao
    // plano UTM e sombreada. O raster inteiro nunca é lido na resolução dele.
    const double reducao = std::max(1.0, double(std::max(i1 - i0, j1 - j0)) / ladoMaximo);
    TArgumentos recorte{"-of",
                        "MEM",
                        "-srcwin",
                        std::to_string(i0),
                        std::to_string(j0),
                        std::to_string(i1 - i0),
                        std::to_string(j1 - j0),
                        "-outsize",
                        std::to_string(std::max(2, int(std::lround((i1 - i0) / reducao)))),
                        std::to_string(std::max(2, int(std::lround((j1 - j0) / reducao)))),
                        "-r",
                        reducao > 1 ? "average" : "nearest",
                        "-ot",
                        "Float32"};
    TArgumentos plano{"-of",
                      "MEM",
                      "-t_srs",
                      "EPSG:" + std::to_string(linha.Epsg()),
                      "-te",
                      Numero(relevo.Oeste),
                      Numero(relevo.Sul),
                      Numero(relevo.Leste),
                      Numero(relevo.Norte),
                      "-ts",
                      std::to_string(largura),
                      std::to_string(altura),
                      "-r",
                      "bilinear",
                      "-ot",
                      "Float32",
                      "-dstnodata",
                      "-3.4e38"};
    // O relevo exagerado duas vezes: nas estradas de terra, morros suaves que senão somem.
    TArgumentos sombra{
        "-of", "MEM", "-compute_edges", "-multidirectional", "-z", Numero(2 * metros)};
    auto* opRecorte = GDALTranslateOptionsNew(recorte.Lista(), nullptr);
    TDataset janela(GDALTranslate("", ds.get(), opRecorte, nullptr));
    GDALTranslateOptionsFree(opRecorte);
    TDataset emUtm;
    if (janela) {
        auto* opPlano = GDALWarpAppOptionsNew(plano.Lista(), nullptr);
        GDALDatasetH fonte = janela.get();
        emUtm.reset(GDALWarp("", nullptr, 1, &fonte, opPlano, nullptr));
        GDALWarpAppOptionsFree(opPlano);
    }
    TDataset sombreado;
    if (emUtm) {
        auto* opSombra = GDALDEMProcessingOptionsNew(sombra.Lista(), nullptr);
        sombreado.reset(
            GDALDEMProcessing("", emUtm.get(), "hillshade", nullptr, opSombra, nullptr));
        GDALDEMProcessingOptionsFree(opSombra);
    }
    relevo.Largura = largura;
    relevo.Altura = altura;
    relevo.Cinza.resize(std::size_t(largura) * std::size_t(altura));
    if (!sombreado ||
        GDALRasterIO(GDALGetRasterBand(sombreado.get(), 1), GF_Read, 0, 0, largura, altura,
                     relevo.Cinza.data(), largura, altura, GDT_Byte, 0, 0) != CE_None)
        throw EArquivoRecusado("O relevo do modelo de terreno " + caminho +
                               " não pôde ser feito: o arquivo está corrompido.");
    return relevo;
}
