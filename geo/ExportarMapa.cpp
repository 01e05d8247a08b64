#include "geo/ExportarMapa.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <unistd.h>

#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "comum/LeitorCsv.h"
#include "comum/Numeros.h"
#include "geo/Gdal.h"

namespace {

// Número com casas fixas e ponto decimal, sem depender da localidade.
std::string Fixo(double valor, int casas) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, valor, std::chars_format::fixed, casas);
    return std::string(buf, r.ptr);
}

std::string Decimal(const char* mascara, double valor) {
    return FormatFloat(mascara, valor, ',');
}

const char* NomeDoLado(char lado) {
    return lado == 'E' ? "esquerdo" : "direito";
}

std::string NomeDesaguadouro(const TDesaguadouroMapa& d) {
    return "Desaguadouro " + std::to_string(d.Numero) + " " + d.Lado;
}

// Texto para quem olha o ponto no Google Earth ou no GPS.
std::string DescricaoDesaguadouro(const TDesaguadouroMapa& d) {
    std::string t = "Desaguadouro " + std::to_string(d.Numero) + ", lado " + NomeDoLado(d.Lado) +
                    "\nEstaca " + Estaca(d.Posicao) + " (" + Decimal("0.00", d.Posicao) +
                    " m)\nDeclividade a montante: " + Decimal("0.00", d.DeclividadeMontante * 100) +
                    " %\nDistância do anterior: " + Decimal("0.0", d.DistanciaAnterior) +
                    " m\nVazão de pico: " + Decimal("0.0#", d.VazaoPico) + " L/s";
    if (d.VolumeBacia) t += "\nBacia: " + Decimal("0.0#", *d.VolumeBacia) + " m³";
    if (!d.DimensoesBacia.empty()) t += (d.VolumeBacia ? ", " : "\nBacia: ") + d.DimensoesBacia;
    if (!d.Avisos.empty()) t += "\nAvisos: " + d.Avisos;
    return t;
}

std::string DescricaoTrecho(const TTrechoMapa& t) {
    return t.Nome + ": estaca " + Estaca(t.Inicio) + " a " + Estaca(t.Fim) +
           "\nDeclividade: " + Decimal("0.00", t.Declividade * 100) + " %\nEspaçamento: " +
           (t.Espacamento ? std::to_string(*t.Espacamento) + " m"
                          : std::string("nenhum espaçamento atende"));
}

EEntradaSaida FalhaGravacao(const std::string& caminho, int erro = 0) {
    const std::string motivo = erro ? MotivoErroSistema(erro, false) : std::string();
    return EEntradaSaida("Não foi possível gravar o arquivo " + caminho +
                         (motivo.empty() ? "" : ": " + motivo) + ".");
}

std::string Csv(const TLinhaEstrada& linha, const std::vector<TDesaguadouroMapa>& ds) {
    std::string csv = "numero,lado,estaca,posicao_m,latitude,longitude,utm_e,utm_n,utm_zona,"
                      "utm_hemisferio,declividade_montante,distancia_anterior_m,vazao_pico_L_s,"
                      "volume_bacia_m3,dimensoes_bacia,avisos\n";
    for (const TDesaguadouroMapa& d : ds) {
        const TPontoMapa p = linha.PontoNaPosicao(d.Posicao);
        csv += std::to_string(d.Numero) + ',' + d.Lado + ',' + CampoCsv(Estaca(d.Posicao)) + ',' +
               RealExato(d.Posicao) + ',' + Fixo(p.Latitude, 9) + ',' + Fixo(p.Longitude, 9) + ',' +
               Fixo(p.E, 3) + ',' + Fixo(p.N, 3) + ',' + std::to_string(p.Zona) + ',' +
               (p.Sul ? 'S' : 'N') + ',' + RealExato(d.DeclividadeMontante) + ',' +
               RealExato(d.DistanciaAnterior) + ',' + RealExato(d.VazaoPico) + ',' +
               (d.VolumeBacia ? RealExato(*d.VolumeBacia) : "") + ',' + CampoCsv(d.DimensoesBacia) +
               ',' + CampoCsv(d.Avisos) + '\n';
    }
    return csv;
}

struct TCampo {
    const char* Nome;
    OGRFieldType Tipo;
};

// Camada nova com os seus campos; no KML, antes deles, o nome e a descrição que o Google
// Earth mostra.
OGRLayer& CriarCamada(GDALDataset& ds, const char* nome, OGRSpatialReference& sistema,
                      OGRwkbGeometryType tipo, char** opcoes, bool kml,
                      std::initializer_list<TCampo> campos) {
    OGRLayer* camada = ds.CreateLayer(nome, &sistema, tipo, opcoes);
    CSLDestroy(opcoes);
    if (!camada) throw std::runtime_error("camada");
    std::vector<TCampo> todos;
    if (kml) todos = {{"Name", OFTString}, {"Description", OFTString}};
    todos.insert(todos.end(), campos);
    for (const TCampo& c : todos) {
        OGRFieldDefn campo(c.Nome, c.Tipo);
        if (camada->CreateField(&campo) != OGRERR_NONE) throw std::runtime_error("campo");
    }
    return *camada;
}

// Pontos e linhas pelo OGR, num arquivo que ainda é o temporário.
void GravarOgr(const std::string& temporario, TFormatoMapa formato, const TLinhaEstrada& linha,
               const std::vector<TDesaguadouroMapa>& desaguadouros,
               const std::vector<TTrechoMapa>& trechos) {
    const char* driver = formato == TFormatoMapa::GeoPackage ? "GPKG"
                         : formato == TFormatoMapa::Kml      ? "KML"
                         : formato == TFormatoMapa::Gpx      ? "GPX"
                                                             : "GeoJSON";
    GDALDriver* d = GetGDALDriverManager()->GetDriverByName(driver);
    if (!d) throw std::runtime_error("driver");
    GDALDatasetUniquePtr ds(d->Create(temporario.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!ds) throw std::runtime_error("create");
    const bool utm = formato == TFormatoMapa::GeoPackage;
    OGRSpatialReference sistema = SistemaEpsg(utm ? linha.Epsg() : 4326);
    const bool gpx = formato == TFormatoMapa::Gpx;
    const bool kml = formato == TFormatoMapa::Kml;

    char** opcoesPontos = nullptr;
    if (formato == TFormatoMapa::GeoJson) {
        opcoesPontos = CSLSetNameValue(opcoesPontos, "RFC7946", "YES");
        // O padrão do RFC 7946 são 7 casas (1 cm); 9 guardam o milímetro.
        opcoesPontos = CSLSetNameValue(opcoesPontos, "COORDINATE_PRECISION", "9");
    }
    // O GPX tem os seus campos fixos: só o nome e a descrição.
    const std::initializer_list<TCampo> camposPontos = {{"numero", OFTInteger},
                                                        {"lado", OFTString},
                                                        {"estaca", OFTString},
                                                        {"posicao_m", OFTReal},
                                                        {"declividade_montante", OFTReal},
                                                        {"distancia_anterior_m", OFTReal},
                                                        {"vazao_pico_l_s", OFTReal},
                                                        {"volume_bacia_m3", OFTReal},
                                                        {"dimensoes_bacia", OFTString},
                                                        {"avisos", OFTString},
                                                        {"latitude", OFTReal},
                                                        {"longitude", OFTReal},
                                                        {"utm_e", OFTReal},
                                                        {"utm_n", OFTReal},
                                                        {"utm_zona", OFTInteger},
                                                        {"utm_hemisferio", OFTString}};
    OGRLayer* pontos =
        &CriarCamada(*ds, gpx ? "waypoints" : "desaguadouros", sistema, wkbPoint, opcoesPontos, kml,
                     gpx ? std::initializer_list<TCampo>{} : camposPontos);
    for (const TDesaguadouroMapa& dg : desaguadouros) {
        const TPontoMapa p = linha.PontoNaPosicao(dg.Posicao);
        OGRFeature f(pontos->GetLayerDefn());
        OGRPoint ponto(utm ? p.E : p.Longitude, utm ? p.N : p.Latitude);
        f.SetGeometry(&ponto);
        if (gpx) {
            f.SetField("name", NomeDesaguadouro(dg).c_str());
            f.SetField("desc", DescricaoDesaguadouro(dg).c_str());
        } else {
            if (kml) {
                f.SetField("Name", NomeDesaguadouro(dg).c_str());
                f.SetField("Description", DescricaoDesaguadouro(dg).c_str());
            }
            f.SetField("numero", dg.Numero);
            f.SetField("lado", std::string(1, dg.Lado).c_str());
            f.SetField("estaca", Estaca(dg.Posicao).c_str());
            f.SetField("posicao_m", dg.Posicao);
            f.SetField("declividade_montante", dg.DeclividadeMontante);
            f.SetField("distancia_anterior_m", dg.DistanciaAnterior);
            f.SetField("vazao_pico_l_s", dg.VazaoPico);
            if (dg.VolumeBacia) f.SetField("volume_bacia_m3", *dg.VolumeBacia);
            f.SetField("dimensoes_bacia", dg.DimensoesBacia.c_str());
            f.SetField("avisos", dg.Avisos.c_str());
            f.SetField("latitude", p.Latitude);
            f.SetField("longitude", p.Longitude);
            f.SetField("utm_e", p.E);
            f.SetField("utm_n", p.N);
            f.SetField("utm_zona", p.Zona);
            f.SetField("utm_hemisferio", p.Sul ? "S" : "N");
        }
        if (pontos->CreateFeature(&f) != OGRERR_NONE) throw std::runtime_error("feature");
    }

    if (formato == TFormatoMapa::GeoJson || trechos.empty()) return;
    const std::initializer_list<TCampo> camposTrechos = {
        {"nome", OFTString},          {"estaca_inicio", OFTString}, {"estaca_fim", OFTString},
        {"inicio_m", OFTReal},        {"fim_m", OFTReal},           {"declividade", OFTReal},
        {"espacamento_m", OFTInteger}};
    OGRLayer* linhas =
        &CriarCamada(*ds, gpx ? "tracks" : "trechos", sistema, wkbLineString,
                     gpx ? CSLSetNameValue(nullptr, "FORCE_GPX_TRACK", "YES") : nullptr, kml,
                     gpx ? std::initializer_list<TCampo>{} : camposTrechos);
    for (const TTrechoMapa& t : trechos) {
        const auto pedaco = PedacoDaLinha(linha.Vertices(), linha.Posicoes(), t.Inicio, t.Fim);
        std::vector<double> x, y;
        for (const TAmostraLinha& a : pedaco) {
            x.push_back(a.E);
            y.push_back(a.N);
        }
        if (!utm) linha.ParaLonLat(x, y);
        OGRLineString reta;
        for (std::size_t i = 0; i < x.size(); ++i)
            reta.addPoint(x[i], y[i]);
        OGRFeature f(linhas->GetLayerDefn());
        f.SetGeometry(&reta);
        if (gpx || kml) {
            f.SetField(gpx ? "name" : "Name", t.Nome.c_str());
            f.SetField(gpx ? "desc" : "Description", DescricaoTrecho(t).c_str());
        }
        if (!gpx) {
            f.SetField("nome", t.Nome.c_str());
            f.SetField("estaca_inicio", Estaca(t.Inicio).c_str());
            f.SetField("estaca_fim", Estaca(t.Fim).c_str());
            f.SetField("inicio_m", t.Inicio);
            f.SetField("fim_m", t.Fim);
            f.SetField("declividade", t.Declividade);
            if (t.Espacamento) f.SetField("espacamento_m", *t.Espacamento);
        }
        if (linhas->CreateFeature(&f) != OGRERR_NONE) throw std::runtime_error("feature");
    }
}

} // namespace

void GravarMapa(const std::string& caminho, const TLinhaEstrada& linha,
                const std::vector<TDesaguadouroMapa>& desaguadouros,
                const std::vector<TTrechoMapa>& trechos) {
    const auto formato = FormatoPelaExtensao(caminho);
    if (!formato)
        throw EMorvendo("O arquivo " + caminho +
                        " não tem uma extensão de mapa conhecida: use .gpkg, .kml, .gpx, "
                        ".geojson ou .csv.");
    // A locação trabalha em metros inteiros: o último desaguadouro pode ficar até meio metro
    // depois do fim da linha, e vai para o fim dela.
    for (const TDesaguadouroMapa& d : desaguadouros)
        if (!(d.Posicao >= 0 && d.Posicao <= linha.Comprimento() + 0.5))
            throw EMorvendo("O desaguadouro " + std::to_string(d.Numero) +
                            " fica fora da linha da estrada.");
    if (*formato == TFormatoMapa::Csv) {
        GravarArquivoAtomico(caminho, Csv(linha, desaguadouros));
        return;
    }
    if (const std::string motivo = MotivoDestinoInsubstituivel(caminho); !motivo.empty())
        throw EEntradaSaida("Não foi possível gravar o arquivo " + caminho + ": " + motivo + ".");
    TErrosGdal erros;
    std::string temporario;
    const int fd = CriarTemporario(caminho, temporario);
    if (fd < 0) throw FalhaGravacao(caminho, errno);
    // O GDAL cria o arquivo ele mesmo: o nome reservado fica livre para ele.
    ::close(fd);
    ::unlink(temporario.c_str());
    try {
        GravarOgr(temporario, *formato, linha, desaguadouros, trechos);
        // Fechado o arquivo; erro ao descarregar (disco cheio) também conta.
        if (erros.Houve()) throw FalhaGravacao(caminho);
        const int f = ::open(temporario.c_str(), O_RDONLY | O_CLOEXEC);
        if (f < 0) throw FalhaGravacao(caminho, errno);
        const int sincronizado = ::fsync(f) == 0 || errno == EINVAL ? 0 : errno;
        ::close(f);
        if (sincronizado) throw FalhaGravacao(caminho, sincronizado);
        if (::rename(temporario.c_str(), caminho.c_str()) != 0) throw FalhaGravacao(caminho, errno);
    } catch (const EMorvendo&) {
        ::unlink(temporario.c_str());
        throw;
    } catch (const std::exception&) {
        ::unlink(temporario.c_str());
        throw FalhaGravacao(caminho);
    }
}
