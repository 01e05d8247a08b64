#include "geo/LinhaEstrada.h"

#include <algorithm>
#include <cmath>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "geo/Gdal.h"

struct TLinhaEstrada::TConversor {
    TTransformacao ParaGeo;
};

namespace {

using TPeca = std::vector<TVerticeGeo>;

std::string Aspas(const std::string& texto) {
    return "\"" + texto + "\"";
}

// As linhas de uma geometria, como peças no sistema da camada (curvas viram segmentos).
void PecasDaGeometria(const OGRGeometry* g, std::vector<TPeca>& pecas) {
    if (!g) return;
    const OGRwkbGeometryType tipo = wkbFlatten(g->getGeometryType());
    if (tipo == wkbLineString || tipo == wkbCircularString || tipo == wkbCompoundCurve) {
        std::unique_ptr<OGRLineString> reta(g->toCurve()->CurveToLine());
        TPeca peca;
        peca.reserve(std::size_t(reta->getNumPoints()));
        const bool z = reta->Is3D();
        for (int i = 0; i < reta->getNumPoints(); ++i)
            peca.push_back({reta->getX(i), reta->getY(i),
                            z ? reta->getZ(i) : std::numeric_limits<double>::quiet_NaN()});
        if (!peca.empty()) pecas.push_back(std::move(peca));
    } else if (OGR_GT_IsSubClassOf(tipo, wkbGeometryCollection)) {
        for (const OGRGeometry* parte : *g->toGeometryCollection())
            PecasDaGeometria(parte, pecas);
    }
}

// O que a camada tem: feições, feições com linha e o tipo de geometria das outras.
struct TConteudoCamada {
    long long Feicoes = 0;
    long long Linhas = 0;
    std::string Outro; // "pontos", "polígonos"...
};

std::string NomeDoTipo(OGRwkbGeometryType tipo) {
    switch (wkbFlatten(tipo)) {
    case wkbPoint:
    case wkbMultiPoint:
        return "pontos";
    case wkbPolygon:
    case wkbMultiPolygon:
    case wkbCurvePolygon:
    case wkbMultiSurface:
        return "polígonos";
    default:
        return "geometrias que não são linhas";
    }
}

TConteudoCamada Conteudo(OGRLayer& camada, bool ateAPrimeiraLinha) {
    TConteudoCamada c;
    camada.ResetReading();
    for (auto& feicao : camada) {
        ++c.Feicoes;
        const OGRGeometry* g = feicao->GetGeometryRef();
        if (!g) continue;
        std::vector<TPeca> pecas;
        PecasDaGeometria(g, pecas);
        if (!pecas.empty()) {
            ++c.Linhas;
            if (ateAPrimeiraLinha) break;
        } else if (c.Outro.empty()) {
            c.Outro = NomeDoTipo(g->getGeometryType());
        }
    }
    camada.ResetReading();
    return c;
}

std::string Recusa(const std::string& caminho, const std::string& nome, const TConteudoCamada& c) {
    const std::string camada = "A camada " + Aspas(nome) + " de " + caminho;
    if (c.Feicoes == 0) return camada + " está vazia: não há linha da estrada nela.";
    return camada + " não tem linhas, só " + (c.Outro.empty() ? "feições sem geometria" : c.Outro) +
           ": a estrada deve ser uma linha.";
}

OGRLayer& EscolherCamada(GDALDataset& ds, const std::string& caminho, const std::string& nome) {
    if (!nome.empty()) {
        OGRLayer* camada = ds.GetLayerByName(nome.c_str());
        if (!camada) {
            std::string nomes;
            for (OGRLayer* c : ds.GetLayers())
                nomes += (nomes.empty() ? "" : ", ") + Aspas(c->GetName());
            throw EMorvendo("O arquivo " + caminho + " não tem a camada " + Aspas(nome) +
                            (nomes.empty() ? "." : "; tem " + nomes + "."));
        }
        const TConteudoCamada c = Conteudo(*camada, true);
        if (c.Linhas == 0) throw EMorvendo(Recusa(caminho, nome, c));
        return *camada;
    }
    std::vector<OGRLayer*> comLinhas;
    OGRLayer* primeira = nullptr;
    TConteudoCamada conteudoPrimeira;
    for (OGRLayer* c : ds.GetLayers()) {
        const TConteudoCamada conteudo = Conteudo(*c, true);
        if (conteudo.Linhas > 0) {
            comLinhas.push_back(c);
        } else if (!primeira || (conteudoPrimeira.Feicoes == 0 && conteudo.Feicoes > 0)) {
            // Para a mensagem: de preferência uma camada com alguma coisa.
            primeira = c;
            conteudoPrimeira = conteudo;
        }
    }
    if (comLinhas.size() == 1) return *comLinhas.front();
    if (comLinhas.empty()) {
        if (!primeira) throw EMorvendo("O arquivo " + caminho + " não tem nenhuma camada.");
        throw EMorvendo(Recusa(caminho, primeira->GetName(), conteudoPrimeira));
    }
    std::string nomes;
    for (OGRLayer* c : comLinhas)
        nomes += (nomes.empty() ? "" : ", ") + Aspas(c->GetName());
    throw EMorvendo("O arquivo " + caminho + " tem linhas em mais de uma camada (" + nomes +
                    "): escolha a camada da estrada.");
}

// O GPS grava a altitude ponto a ponto; um ponto sem <ele> viraria cota zero na geometria.
bool GpxSemAltitudeEmAlgumPonto(GDALDataset& ds, const std::string& camada,
                                std::optional<long long> feicao) {
    const std::string pontos = camada == "tracks" ? "track_points" : "route_points";
    OGRLayer* lp = ds.GetLayerByName(pontos.c_str());
    if (!lp) return true;
    std::string filtro = "ele IS NULL";
    if (feicao)
        filtro += " AND " + std::string(camada == "tracks" ? "track_fid" : "route_fid") + " = " +
                  std::to_string(*feicao);
    if (lp->SetAttributeFilter(filtro.c_str()) != OGRERR_NONE) return true;
    const bool falta = lp->GetFeatureCount(TRUE) > 0;
    lp->SetAttributeFilter(nullptr);
    return falta;
}

GDALDatasetUniquePtr AbrirMapa(const std::string& caminho) {
    ConferirArquivoDeEntrada(caminho);
    GDALDatasetUniquePtr ds(GDALDataset::Open(caminho.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    if (!ds)
        throw EArquivoRecusado("O arquivo " + caminho +
                               " não é um mapa que o programa leia (GPX, KML, KMZ, GeoJSON, "
                               "GeoPackage ou Shapefile) ou está corrompido.");
    return ds;
}

// O campo que dá nome às feições ("name" no GPX e no KML, "nome" nos mapas brasileiros).
int CampoDoNome(OGRFeatureDefn& definicao) {
    for (const char* nome : {"name", "nome", "Name", "NAME", "Nome", "NOME"})
        if (const int i = definicao.GetFieldIndex(nome); i >= 0) return i;
    return -1;
}

// Comprimento sobre a esfera de mesmo volume do elipsoide, m: só para a escolha da linha.
double ComprimentoAproximado(const std::vector<TPeca>& pecas) {
    constexpr double raio = 6371008.8, grau = M_PI / 180;
    double soma = 0;
    for (const TPeca& p : pecas)
        for (std::size_t i = 1; i < p.size(); ++i) {
            const double f1 = p[i - 1].Latitude * grau, f2 = p[i].Latitude * grau;
            const double df = f2 - f1, dl = (p[i].Longitude - p[i - 1].Longitude) * grau;
            const double h = std::sin(df / 2) * std::sin(df / 2) +
                             std::cos(f1) * std::cos(f2) * std::sin(dl / 2) * std::sin(dl / 2);
            soma += 2 * raio * std::asin(std::min(1.0, std::sqrt(h)));
        }
    return soma;
}

double Distancia(const TVerticeUtm& a, const TVerticeUtm& b) {
    return std::hypot(b.E - a.E, b.N - a.N);
}

// Emenda as peças pela ponta mais próxima, uma de cada vez, invertendo as que estão ao
// contrário. EMorvendo quando sobra uma longe demais de todas.
std::vector<TVerticeUtm> Emendar(std::vector<std::vector<TVerticeUtm>> pecas,
                                 const std::string& origem) {
    std::vector<TVerticeUtm> linha = std::move(pecas.front());
    std::vector<bool> usada(pecas.size(), false);
    usada[0] = true;
    for (std::size_t k = 1; k < pecas.size(); ++k) {
        double melhor = INFINITY;
        std::size_t j = 0;
        int jeito = 0;
        for (std::size_t i = 1; i < pecas.size(); ++i) {
            if (usada[i]) continue;
            const auto& p = pecas[i];
            const double d[4] = {
                Distancia(linha.back(), p.front()), Distancia(linha.back(), p.back()),
                Distancia(p.back(), linha.front()), Distancia(p.front(), linha.front())};
            for (int q = 0; q < 4; ++q)
                if (d[q] < melhor) {
                    melhor = d[q];
                    j = i;
                    jeito = q;
                }
        }
        if (melhor > FOLGA_EMENDA)
            throw EMorvendo("As linhas " + origem +
                            " não formam uma estrada contínua: a ponta mais próxima de uma "
                            "delas fica a " +
                            FormatFloat("0.0", melhor, ',') +
                            " m das outras. Escolha uma linha só ou emende as peças no mapa.");
        auto& p = pecas[j];
        usada[j] = true;
        if (jeito == 1 || jeito == 3) std::reverse(p.begin(), p.end());
        if (jeito <= 1)
            linha.insert(linha.end(), p.begin(), p.end());
        else
            linha.insert(linha.begin(), p.begin(), p.end());
    }
    return linha;
}

} // namespace

TLinhaEstrada::TLinhaEstrada() = default;
TLinhaEstrada::TLinhaEstrada(TLinhaEstrada&&) noexcept = default;
TLinhaEstrada& TLinhaEstrada::operator=(TLinhaEstrada&&) noexcept = default;
TLinhaEstrada::~TLinhaEstrada() = default;

TLinhaEstrada TLinhaEstrada::Abrir(const std::string& caminho, const TOpcoesLinha& opcoes) {
    TErrosGdal erros;
    TOpcaoGdal altitudeDoGps("GPX_ELE_AS_25D", "YES");
    GDALDatasetUniquePtr ds = AbrirMapa(caminho);
    OGRLayer& camada = EscolherCamada(*ds, caminho, opcoes.Camada);
    const std::string nome = camada.GetName();
    const std::string origem = "da camada " + Aspas(nome) + " de " + caminho;

    std::vector<TPeca> pecas;
    erros.Limpar();
    if (opcoes.Feicao) {
        std::unique_ptr<OGRFeature> f(camada.GetFeature(*opcoes.Feicao));
        if (!f)
            throw EMorvendo("A camada " + Aspas(nome) + " de " + caminho + " não tem a feição " +
                            std::to_string(*opcoes.Feicao) + ".");
        PecasDaGeometria(f->GetGeometryRef(), pecas);
        if (pecas.empty())
            throw EMorvendo("A feição " + std::to_string(*opcoes.Feicao) + " " + origem +
                            " não é uma linha.");
    } else {
        camada.ResetReading();
        for (auto& f : camada)
            PecasDaGeometria(f->GetGeometryRef(), pecas);
    }
    // Um arquivo que acaba no meio (corrompido) pode ler algumas feições e parar com erro: a
    // estrada pela metade não serve.
    if (erros.Houve())
        throw EArquivoRecusado("O arquivo " + caminho + " está corrompido: a camada " +
                               Aspas(nome) + " não pôde ser lida.");

    const OGRSpatialReference* sistema = camada.GetSpatialRef();
    if (!sistema)
        throw EMorvendo("A camada " + Aspas(nome) + " de " + caminho +
                        " não diz em que sistema de coordenadas está (num Shapefile, falta o "
                        "arquivo .prj).");
    const OGRSpatialReference wgs84 = SistemaEpsg(4326);
    TTransformacao paraGeo = Transformacao(*sistema, wgs84);
    if (!paraGeo)
        throw EMorvendo("O sistema de coordenadas " + origem + " (" + NomeDoSistema(*sistema) +
                        ") não pode ser convertido em latitude e longitude.");
    for (TPeca& p : pecas)
        for (TVerticeGeo& v : p) {
            double x = v.Longitude, y = v.Latitude;
            if (!paraGeo->Transform(1, &x, &y))
                throw EMorvendo("Um ponto " + origem +
                                " não pôde ser convertido em latitude e longitude: confira o "
                                "sistema de coordenadas do arquivo.");
            v.Longitude = x;
            v.Latitude = y;
        }
    const bool gpx = std::string(ds->GetDriverName()) == "GPX";
    if (gpx && (nome == "tracks" || nome == "routes") &&
        GpxSemAltitudeEmAlgumPonto(*ds, nome, opcoes.Feicao))
        for (TPeca& p : pecas)
            for (TVerticeGeo& v : p)
                v.Z = std::numeric_limits<double>::quiet_NaN();

    TLinhaEstrada linha = Montar(std::move(pecas), origem, opcoes.DoFim);
    linha.FCamada = nome;
    return linha;
}

std::vector<TCamadaDoMapa> TLinhaEstrada::Listar(const std::string& caminho) {
    TErrosGdal erros;
    TOpcaoGdal altitudeDoGps("GPX_ELE_AS_25D", "YES");
    GDALDatasetUniquePtr ds = AbrirMapa(caminho);
    const bool gpx = std::string(ds->GetDriverName()) == "GPX";
    const OGRSpatialReference wgs84 = SistemaEpsg(4326);
    std::vector<TCamadaDoMapa> camadas;
    for (OGRLayer* c : ds->GetLayers()) {
        TCamadaDoMapa camada{c->GetName(), {}};
        const OGRSpatialReference* sistema = c->GetSpatialRef();
        // Sem sistema, sem comprimento: a abertura da linha diz o que falta.
        TTransformacao paraGeo = sistema ? Transformacao(*sistema, wgs84) : nullptr;
        const int campoNome = CampoDoNome(*c->GetLayerDefn());
        c->ResetReading();
        for (auto& f : *c) {
            std::vector<TPeca> pecas;
            PecasDaGeometria(f->GetGeometryRef(), pecas);
            if (pecas.empty()) continue;
            TLinhaDoMapa linha;
            linha.Feicao = f->GetFID();
            if (campoNome >= 0 && f->IsFieldSetAndNotNull(campoNome))
                linha.Nome = f->GetFieldAsString(campoNome);
            bool todas = true, algumaNaoZero = false, convertida = bool(paraGeo);
            for (TPeca& p : pecas)
                for (TVerticeGeo& v : p) {
                    todas = todas && std::isfinite(v.Z);
                    algumaNaoZero = algumaNaoZero || (std::isfinite(v.Z) && v.Z != 0);
                    convertida = convertida && paraGeo->Transform(1, &v.Longitude, &v.Latitude);
                }
            linha.TemCotas = todas && algumaNaoZero &&
                             !(gpx && GpxSemAltitudeEmAlgumPonto(*ds, camada.Nome, linha.Feicao));
            if (convertida) linha.Comprimento = ComprimentoAproximado(pecas);
            camada.Linhas.push_back(std::move(linha));
        }
        if (!camada.Linhas.empty()) camadas.push_back(std::move(camada));
    }
    if (erros.Houve())
        throw EArquivoRecusado("O arquivo " + caminho +
                               " está corrompido: as camadas não "
                               "puderam ser lidas.");
    // Sem linhas: a mesma recusa da abertura (camada vazia, só pontos...).
    if (camadas.empty()) EscolherCamada(*ds, caminho, {});
    return camadas;
}

TLinhaEstrada TLinhaEstrada::DeVertices(std::vector<TVerticeGeo> vertices, bool doFim) {
    if (vertices.empty()) throw EMorvendo("A linha da estrada não tem vértices.");
    return Montar({std::move(vertices)}, "da estrada", doFim);
}

TLinhaEstrada TLinhaEstrada::Montar(std::vector<std::vector<TVerticeGeo>> pecas,
                                    const std::string& origem, bool doFim) {
    TErrosGdal erros;
    // Zona UTM do meio da linha (a do centro do retângulo que a contém).
    double oeste = INFINITY, leste = -INFINITY, sul = INFINITY, norte = -INFINITY;
    for (const TPeca& p : pecas)
        for (const TVerticeGeo& v : p) {
            if (!(std::abs(v.Longitude) <= 180 && std::abs(v.Latitude) <= 90))
                throw EMorvendo("As coordenadas " + origem +
                                " não são latitudes e longitudes: confira o sistema de "
                                "coordenadas do arquivo.");
            oeste = std::min(oeste, v.Longitude);
            leste = std::max(leste, v.Longitude);
            sul = std::min(sul, v.Latitude);
            norte = std::max(norte, v.Latitude);
        }
    if (sul < -80 || norte > 84)
        throw EMorvendo("A linha " + origem +
                        " passa das latitudes da projeção UTM (de 80° S a 84° N).");
    if (leste - oeste > 180)
        throw EMorvendo("A linha " + origem +
                        " cruza o antimeridiano (180°), o que o programa "
                        "não trata.");
    TLinhaEstrada linha;
    linha.FZona = std::clamp(int(std::floor(((oeste + leste) / 2 + 180) / 6)) + 1, 1, 60);
    linha.FSul = (sul + norte) / 2 < 0;
    linha.FPecas = int(pecas.size());

    const OGRSpatialReference wgs84 = SistemaEpsg(4326), utm = SistemaEpsg(linha.Epsg());
    TTransformacao paraUtm = Transformacao(wgs84, utm);
    linha.FConversor = std::make_unique<TConversor>();
    linha.FConversor->ParaGeo = Transformacao(utm, wgs84);
    if (!paraUtm || !linha.FConversor->ParaGeo)
        throw EMorvendo("A zona UTM " + std::to_string(linha.FZona) +
                        " não pôde ser preparada (faltam os dados do sistema de coordenadas).");

    std::vector<std::vector<TVerticeUtm>> emUtm;
    for (const TPeca& p : pecas) {
        std::vector<double> x, y;
        for (const TVerticeGeo& v : p) {
            x.push_back(v.Longitude);
            y.push_back(v.Latitude);
        }
        if (!paraUtm->Transform(x.size(), x.data(), y.data()))
            throw EMorvendo("A linha " + origem + " não pôde ser levada à zona UTM " +
                            std::to_string(linha.FZona) + ".");
        std::vector<TVerticeUtm> u(p.size());
        for (std::size_t i = 0; i < p.size(); ++i)
            u[i] = {x[i], y[i], p[i].Latitude, p[i].Z};
        emUtm.push_back(std::move(u));
    }
    linha.FVertices = Emendar(std::move(emUtm), origem);
    if (doFim) std::reverse(linha.FVertices.begin(), linha.FVertices.end());
    linha.FPosicoes = PosicoesDaLinha(linha.FVertices);
    // Uma linha toda em cota zero (um KML preso ao chão) não tem cotas.
    bool algumaNaoZero = false;
    linha.FTemCotas = true;
    for (const TVerticeUtm& v : linha.FVertices) {
        linha.FTemCotas = linha.FTemCotas && std::isfinite(v.Z);
        algumaNaoZero = algumaNaoZero || (std::isfinite(v.Z) && v.Z != 0);
    }
    linha.FTemCotas = linha.FTemCotas && algumaNaoZero;
    return linha;
}

void TLinhaEstrada::ParaLonLat(std::vector<double>& e, std::vector<double>& n) const {
    if (!FConversor->ParaGeo->Transform(e.size(), e.data(), n.data()))
        throw EMorvendo("Um ponto da estrada não pôde ser convertido em latitude e longitude.");
}

TPontoMapa TLinhaEstrada::PontoNaPosicao(double posicao) const {
    const TAmostraLinha a = PontoDaLinha(FVertices, FPosicoes, posicao);
    std::vector<double> x{a.E}, y{a.N};
    ParaLonLat(x, y);
    return {a.Posicao, x[0], y[0], a.E, a.N, FZona, FSul};
}

std::vector<TPontoPerfil> TLinhaEstrada::PerfilDaLinha() const {
    if (!FTemCotas)
        throw EMorvendo("A linha da estrada não tem cotas em todos os pontos: use um modelo de "
                        "terreno.");
    std::vector<TPontoPerfil> perfil;
    for (const TAmostraLinha& a : AmostrasACadaMetro(FVertices, FPosicoes))
        perfil.push_back({a.Posicao, a.Z});
    return perfil;
}
