// Desenha as figuras da consulta IDF a partir dos contornos dos estados e dos arquivos de
// dados já gerados:
//   gerar_figuras contornos_estados.geojson Estados_Tar21.bin Localidades_Tar21.bin <pasta>
// Mapas dos sete estados (BA, ES, MG, PR, RJ, SP, TO .bmp), mapa do Brasil (Brasil.bmp),
// cabeçalho do relatório (CabecalhoConsulta.jpg) e figura da caixa "Sobre"
// (FiguraSobreConsulta.png). Tudo determinístico: rodar de novo dá os mesmos bytes.
#include "comum/EMorvendo.h"
#include "idf/BancoEstacoes.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <queue>
#include <vector>

namespace {

// Anel de um polígono em graus com sinal (longitude, latitude), como no GeoJSON.
using TAnel = std::vector<QPointF>;

struct TContorno {
    std::vector<TAnel> Aneis; // todos os anéis de todos os polígonos: par-ímpar
};

using TContornos = std::array<TContorno, NumeroEstados>;

TContornos LerContornos(const QString& caminho) {
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly))
        throw EMorvendo("Não foi possível abrir " + caminho.toStdString() + ".");
    const auto doc = QJsonDocument::fromJson(f.readAll());
    TContornos contornos;
    std::array<bool, NumeroEstados> lidos{};
    for (const auto& v : doc.object().value("features").toArray()) {
        const auto feature = v.toObject();
        const int estado = IndiceEstadoPorCodigo(
            feature.value("properties").toObject().value("uf").toString().toStdString());
        if (estado < 0)
            throw EMorvendo("Contorno de estado desconhecido em " + caminho.toStdString());
        const auto geometria = feature.value("geometry").toObject();
        QJsonArray poligonos = geometria.value("coordinates").toArray();
        if (geometria.value("type").toString() == "Polygon") poligonos = QJsonArray{poligonos};
        for (const auto& p : poligonos)
            for (const auto& anel : p.toArray()) {
                TAnel pontos;
                for (const auto& xy : anel.toArray())
                    pontos.emplace_back(xy.toArray().at(0).toDouble(),
                                        xy.toArray().at(1).toDouble());
                contornos[estado].Aneis.push_back(std::move(pontos));
            }
        lidos[estado] = true;
    }
    for (int i = 0; i < NumeroEstados; ++i)
        if (!lidos[i]) throw EMorvendo("Falta o contorno de " + NomeEstado(i) + ".");
    return contornos;
}

// Posição contínua de um ponto na figura; o pixel (x, y) é o que a fórmula arredonda para
// ele, de modo que seu centro fica nas coordenadas inteiras.
QPointF NaFigura(const TMolduraMapa& m, const QPointF& lonLat) {
    const auto p = PontoParaPixel(m, -lonLat.y(), -lonLat.x());
    return {p.X, p.Y};
}

// Rótulo de cada pixel: índice do estado ou -1.
struct TRotulos {
    std::vector<int> Valor = std::vector<int>(LadoFigura * LadoFigura, -1);
    int& operator()(int x, int y) { return Valor[y * LadoFigura + x]; }
    int operator()(int x, int y) const { return Valor[y * LadoFigura + x]; }
};

bool Dentro(int x, int y) {
    return x >= 0 && y >= 0 && x < LadoFigura && y < LadoFigura;
}

// Preenchimento par-ímpar pelos centros dos pixels, sem suavização: a figura responde
// exatamente à pergunta "este ponto está no estado?".
void Rasterizar(const TContorno& c, const TMolduraMapa& m, int rotulo, TRotulos& r) {
    std::vector<std::vector<QPointF>> aneis;
    for (const auto& a : c.Aneis) {
        std::vector<QPointF> p;
        p.reserve(a.size());
        for (const auto& v : a)
            p.push_back(NaFigura(m, v));
        aneis.push_back(std::move(p));
    }
    std::vector<double> cortes;
    for (int y = 0; y < LadoFigura; ++y) {
        cortes.clear();
        for (const auto& a : aneis)
            for (std::size_t i = 0; i < a.size(); ++i) {
                const QPointF& p = a[i];
                const QPointF& q = a[(i + 1) % a.size()];
                if ((p.y() <= y) != (q.y() <= y))
                    cortes.push_back(p.x() + (y - p.y()) * (q.x() - p.x()) / (q.y() - p.y()));
            }
        std::sort(cortes.begin(), cortes.end());
        for (std::size_t i = 0; i + 1 < cortes.size(); i += 2) {
            const int x0 = std::max(0, static_cast<int>(std::ceil(cortes[i])));
            const int x1 = std::min(LadoFigura - 1, static_cast<int>(std::floor(cortes[i + 1])));
            for (int x = x0; x <= x1; ++x)
                if (x > cortes[i] && x < cortes[i + 1]) r(x, y) = rotulo;
        }
    }
}

TRotulos RotularTodos(const TContornos& contornos, const TMolduraMapa& m) {
    TRotulos r;
    for (int i = 0; i < NumeroEstados; ++i)
        Rasterizar(contornos[i], m, i, r);
    return r;
}

QRgb Rgb(TCor c) {
    return qRgb(c.R, c.G, c.B);
}

struct TDados {
    TEstacoesPorEstado Estacoes;
    std::array<std::vector<TLocalidade>, NumeroEstados> Localidades;
};

// Pixel do ponto em texto, como a consulta o calcula.
QPoint PixelDe(const TMolduraMapa& m, const std::string& lat, const std::string& lon) {
    const auto p = PontoParaPixel(m, GrausDecimais(lat), GrausDecimais(lon));
    return {PixelInteiro(p.X), PixelInteiro(p.Y)};
}

void Salvar(const QImage& img, const QString& caminho, const char* formato, int qualidade = -1) {
    if (!img.save(caminho, formato, qualidade))
        throw EMorvendo("Não foi possível gravar " + caminho.toStdString() + ".");
}

// ---- Mapas dos estados ----

constexpr QRgb CorFora = qRgb(238, 241, 242);
constexpr QRgb CorVizinho = qRgb(230, 227, 216);
constexpr QRgb CorDivisa = qRgb(168, 166, 156);
constexpr QRgb CorContorno = qRgb(40, 46, 70);
constexpr QRgb CorAzul = qRgb(0, 0, 255);

// Ponto de dados que cai fora da área do estado por menos que isto (costa ou rio de divisa
// generalizados no contorno) é incorporado à área azul.
constexpr int ToleranciaPixels = 3;

int MapaDoEstado(int estado, const TContornos& contornos, const TDados& dados, const QString& pasta,
                 QFont fonte) {
    const TMolduraMapa& m = *MolduraEstado(estado);
    const TRotulos r = RotularTodos(contornos, m);
    QImage img(LadoFigura, LadoFigura, QImage::Format_RGB32);
    std::vector<char> azul(LadoFigura * LadoFigura, 0);
    for (int y = 0; y < LadoFigura; ++y)
        for (int x = 0; x < LadoFigura; ++x)
            azul[y * LadoFigura + x] = r(x, y) == estado;

    // Estações e localidades do estado ficam sempre dentro da área azul.
    int incorporados = 0, ilhas = 0, distantes = 0;
    auto incorporar = [&](const std::string& lat, const std::string& lon, const std::string& nome) {
        const QPoint p = PixelDe(m, lat, lon);
        if (Dentro(p.x(), p.y()) && azul[p.y() * LadoFigura + p.x()]) return;
        bool perto = false;
        for (int dy = -ToleranciaPixels; dy <= ToleranciaPixels && !perto; ++dy)
            for (int dx = -ToleranciaPixels; dx <= ToleranciaPixels && !perto; ++dx)
                perto =
                    Dentro(p.x() + dx, p.y() + dy) && azul[(p.y() + dy) * LadoFigura + p.x() + dx];
        if (!perto && Dentro(p.x(), p.y()) && r(p.x(), p.y()) < 0) {
            // No mar, longe da costa: ilha que o contorno generalizado omitiu. Um pequeno
            // disco a representa.
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    if (dx * dx + dy * dy <= 5 && Dentro(p.x() + dx, p.y() + dy) &&
                        r(p.x() + dx, p.y() + dy) < 0)
                        azul[(p.y() + dy) * LadoFigura + p.x() + dx] = 1;
            ++ilhas;
        } else if (perto && Dentro(p.x(), p.y())) {
            // Liga o ponto à área mais próxima por um caminho de pixels vizinhos, sem deixar
            // ilhas de um pixel.
            int melhor = 1 << 30, bx = p.x(), by = p.y();
            for (int dy = -ToleranciaPixels; dy <= ToleranciaPixels; ++dy)
                for (int dx = -ToleranciaPixels; dx <= ToleranciaPixels; ++dx)
                    if (Dentro(p.x() + dx, p.y() + dy) &&
                        azul[(p.y() + dy) * LadoFigura + p.x() + dx] &&
                        dx * dx + dy * dy < melhor) {
                        melhor = dx * dx + dy * dy;
                        bx = p.x() + dx;
                        by = p.y() + dy;
                    }
            int x = p.x(), y = p.y();
            azul[y * LadoFigura + x] = 1;
            while (x != bx) {
                x += bx > x ? 1 : -1;
                azul[y * LadoFigura + x] = 1;
            }
            while (y != by) {
                y += by > y ? 1 : -1;
                azul[y * LadoFigura + x] = 1;
            }
            ++incorporados;
        } else {
            ++distantes;
            std::cerr << "aviso: " << nome << " (" << CodigoEstado(estado) << ", " << lat << " "
                      << lon << ") fica fora do mapa do estado.\n";
        }
    };
    for (const auto& e : dados.Estacoes[estado])
        incorporar(e.Latitude, e.Longitude, e.Nome);
    for (const auto& l : dados.Localidades[estado])
        incorporar(l.Latitude, l.Longitude, l.Nome);

    for (int y = 0; y < LadoFigura; ++y)
        for (int x = 0; x < LadoFigura; ++x) {
            QRgb cor = r(x, y) >= 0 ? CorVizinho : CorFora;
            if (azul[y * LadoFigura + x]) {
                cor = CorAzul;
            } else {
                // Divisas dos vizinhos e o contorno do próprio estado, um pixel cada.
                bool divisa = false, contorno = false;
                for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const int nx = x + dx, ny = y + dy;
                    if (!Dentro(nx, ny)) continue;
                    if (azul[ny * LadoFigura + nx])
                        contorno = true;
                    else if (r(nx, ny) != r(x, y) && (dx > 0 || dy > 0))
                        divisa = true;
                }
                if (contorno)
                    cor = CorContorno;
                else if (divisa)
                    cor = CorDivisa;
            }
            img.setPixel(x, y, cor);
        }

    // Siglas dos vizinhos no centro da parte visível de cada um, para orientação.
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    fonte.setPixelSize(13);
    fonte.setBold(true);
    fonte.setStyleStrategy(QFont::NoAntialias);
    p.setFont(fonte);
    p.setPen(QColor(150, 146, 132));
    for (int v = 0; v < NumeroEstados; ++v) {
        if (v == estado) continue;
        long long sx = 0, sy = 0, n = 0;
        for (int y = 0; y < LadoFigura; ++y)
            for (int x = 0; x < LadoFigura; ++x)
                if (r(x, y) == v && !azul[y * LadoFigura + x]) {
                    sx += x;
                    sy += y;
                    ++n;
                }
        if (n < 900) continue;
        const QPoint c(static_cast<int>(sx / n), static_cast<int>(sy / n));
        if (r(c.x(), c.y()) != v) continue;
        const QRect caixa(c.x() - 20, c.y() - 9, 40, 18);
        bool livre = true;
        for (int y = caixa.top(); y <= caixa.bottom() && livre; ++y)
            for (int x = caixa.left(); x <= caixa.right() && livre; ++x)
                livre = Dentro(x, y) && r(x, y) == v && !azul[y * LadoFigura + x];
        if (livre) p.drawText(caixa, Qt::AlignCenter, CodigoEstado(v).c_str());
    }
    p.end();

    Salvar(img, pasta + "/" + CodigoEstado(estado).c_str() + ".bmp", "BMP");
    std::cout << CodigoEstado(estado) << ".bmp: " << incorporados
              << " pontos junto à divisa incorporados à área, " << ilhas << " ilhas";
    if (distantes) std::cout << ", " << distantes << " fora";
    std::cout << '\n';
    return distantes;
}

// ---- Mapa do Brasil ----

// Capitais: cada estado colorido é uma região só que contém a sua capital.
constexpr std::array<const char*, NumeroEstados> Capitais = {
    "Rio Branco",     "Maceió",  "Macapá",       "Manaus",      "Salvador",  "Fortaleza",
    "Brasília",       "Vitória", "Goiânia",      "São Luís",    "Cuiabá",    "Campo Grande",
    "Belo Horizonte", "Belém",   "João Pessoa",  "Curitiba",    "Recife",    "Teresina",
    "Rio de Janeiro", "Natal",   "Porto Alegre", "Porto Velho", "Boa Vista", "Florianópolis",
    "São Paulo",      "Aracaju", "Palmas"};

QPoint PixelCapital(int estado, const TDados& dados) {
    for (const auto& l : dados.Localidades[estado])
        if (l.Nome == Capitais[estado]) return PixelDe(MolduraBrasil, l.Latitude, l.Longitude);
    throw EMorvendo(std::string("Capital não encontrada nas localidades: ") + Capitais[estado]);
}

void MapaDoBrasil(const TContornos& contornos, const TDados& dados, const QString& pasta) {
    TRotulos r = RotularTodos(contornos, MolduraBrasil);
    constexpr int Borda = -2;

    // Os quatro estados sem dados não são escolhidos no mapa; nem todos têm a capital ao sul
    // do equador, que é o que o arquivo de localidades sabe guardar.
    std::array<QPoint, NumeroEstados> capital;
    capital.fill(QPoint(-1, -1));
    for (int i = 0; i < NumeroEstados; ++i) {
        if (EstadoSemDados(i)) continue;
        capital[i] = PixelCapital(i, dados);
        // Capital no litoral que o contorno generalizado deixou de fora: o pixel é do estado.
        int& rc = r(capital[i].x(), capital[i].y());
        if (rc != i) {
            bool vizinho = false;
            for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                vizinho = vizinho || r(capital[i].x() + dx, capital[i].y() + dy) == i;
            if (!vizinho || rc >= 0)
                throw EMorvendo(std::string("A capital ") + Capitais[i] +
                                " não cai na área do estado no mapa do Brasil.");
            rc = i;
        }
    }
    auto protegido = [&](int x, int y) {
        for (const auto& c : capital)
            if (c.x() == x && c.y() == y) return true;
        return false;
    };

    // Bordas de um pixel: no litoral do lado do mar, entre estados do lado direito ou de
    // baixo (ou do outro, se ali estiver uma capital).
    const TRotulos original = r;
    for (int y = 0; y < LadoFigura; ++y)
        for (int x = 0; x < LadoFigura; ++x) {
            const int a = original(x, y);
            for (const auto& [dx, dy] : {std::pair{1, 0}, {0, 1}}) {
                const int nx = x + dx, ny = y + dy;
                if (!Dentro(nx, ny)) continue;
                const int b = original(nx, ny);
                if (a == b) continue;
                if (a < 0)
                    r(x, y) = Borda;
                else if (b < 0)
                    r(nx, ny) = Borda;
                else if (!protegido(nx, ny))
                    r(nx, ny) = Borda;
                else
                    r(x, y) = Borda;
            }
        }

    // Pedaços separados da região da capital (ilhas, gargalos cortados pela borda) viram
    // borda ou fundo: um clique só escolhe um estado onde ele é contínuo.
    std::vector<char> visto(LadoFigura * LadoFigura, 0);
    for (int i = 0; i < NumeroEstados; ++i) {
        if (EstadoSemDados(i)) continue;
        std::fill(visto.begin(), visto.end(), 0);
        std::queue<QPoint> fila;
        fila.push(capital[i]);
        visto[capital[i].y() * LadoFigura + capital[i].x()] = 1;
        while (!fila.empty()) {
            const QPoint p = fila.front();
            fila.pop();
            for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int nx = p.x() + dx, ny = p.y() + dy;
                if (Dentro(nx, ny) && !visto[ny * LadoFigura + nx] && r(nx, ny) == i) {
                    visto[ny * LadoFigura + nx] = 1;
                    fila.emplace(nx, ny);
                }
            }
        }
        int soltos = 0;
        for (int y = 0; y < LadoFigura; ++y)
            for (int x = 0; x < LadoFigura; ++x)
                if (r(x, y) == i && !visto[y * LadoFigura + x]) {
                    r(x, y) = Borda;
                    ++soltos;
                }
        if (soltos)
            std::cout << "Brasil.bmp: " << CodigoEstado(i) << ", " << soltos
                      << " pixels soltos da região principal\n";
    }

    QImage img(LadoFigura, LadoFigura, QImage::Format_RGB32);
    for (int y = 0; y < LadoFigura; ++y)
        for (int x = 0; x < LadoFigura; ++x) {
            const int v = r(x, y);
            img.setPixel(x, y,
                         v >= 0       ? Rgb(CorEstadoBrasil(v))
                         : v == Borda ? Rgb(CorBordaBrasil)
                                      : Rgb(CorFundoBrasil));
        }
    Salvar(img, pasta + "/Brasil.bmp", "BMP");
    std::cout << "Brasil.bmp\n";
}

// ---- Figuras de apresentação ----

// Silhueta do Brasil num retângulo, com as divisas dos estados.
void DesenharBrasil(QPainter& p, const TContornos& contornos, const QRectF& area,
                    const QColor& preenchimento, const QColor& divisas, double espessura) {
    const double lon0 = -74.1, lon1 = -34.7, lat0 = 5.35, lat1 = -33.85;
    const double escala = std::min(area.width() / (lon1 - lon0), area.height() / (lat0 - lat1));
    const QPointF origem(area.center().x() - escala * (lon1 - lon0) / 2,
                         area.center().y() - escala * (lat0 - lat1) / 2);
    QPainterPath todos;
    std::vector<QPainterPath> estados;
    for (const auto& c : contornos) {
        QPainterPath caminho;
        caminho.setFillRule(Qt::OddEvenFill);
        for (const auto& anel : c.Aneis) {
            QPolygonF pol;
            for (const auto& v : anel)
                pol << QPointF(origem.x() + (v.x() - lon0) * escala,
                               origem.y() + (lat0 - v.y()) * escala);
            caminho.addPolygon(pol);
            caminho.closeSubpath();
        }
        estados.push_back(caminho);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(preenchimento);
    for (const auto& e : estados)
        p.drawPath(e);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(divisas, espessura));
    for (const auto& e : estados)
        p.drawPath(e);
}

// Curvas i(t) da equação IDF para alguns períodos de retorno, como ornamento.
void DesenharCurvas(QPainter& p, const QRectF& area, const QColor& cor, double espessura) {
    const double K = 1200, a = 0.17, b = 12, c = 0.76;
    const double iMax = K * std::pow(100.0, a) / std::pow(5 + b, c);
    for (const double T : {2.0, 10.0, 100.0}) {
        QPainterPath caminho;
        for (int k = 0; k <= 120; ++k) {
            const double t = 5 + (240 - 5) * k / 120.0;
            const double i = K * std::pow(T, a) / std::pow(t + b, c);
            const QPointF ponto(area.left() + area.width() * (t - 5) / 235,
                                area.bottom() - area.height() * i / iMax);
            if (k == 0)
                caminho.moveTo(ponto);
            else
                caminho.lineTo(ponto);
        }
        p.setPen(QPen(cor, espessura, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(caminho);
    }
}

QFont Fonte(QFont base, int pixels, bool negrito) {
    base.setPixelSize(pixels);
    base.setBold(negrito);
    return base;
}

void Cabecalho(const TContornos& contornos, const QString& pasta, const QFont& fonte) {
    QImage img(550, 73, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient fundo(0, 0, 550, 73);
    fundo.setColorAt(0, QColor(12, 42, 92));
    fundo.setColorAt(1, QColor(20, 110, 150));
    p.fillRect(img.rect(), fundo);
    DesenharCurvas(p, QRectF(330, 8, 210, 58), QColor(255, 255, 255, 40), 2);
    // Gotas de chuva em diagonal, discretas.
    p.setPen(QPen(QColor(255, 255, 255, 28), 1.2, Qt::SolidLine, Qt::RoundCap));
    for (int k = 0; k < 26; ++k) {
        const double x = 90 + (k * 53) % 460, y = 4 + (k * 29) % 60;
        p.drawLine(QPointF(x, y), QPointF(x - 4, y + 10));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 30));
    p.drawEllipse(QPointF(38, 36.5), 31, 31);
    DesenharBrasil(p, contornos, QRectF(12, 9, 54, 55), QColor(250, 250, 245),
                   QColor(12, 42, 92, 150), 0.4);
    p.setPen(Qt::white);
    p.setFont(Fonte(fonte, 27, true));
    p.drawText(QRectF(80, 6, 460, 34), Qt::AlignLeft | Qt::AlignVCenter,
               "Consulta da equação de chuva");
    p.setPen(QColor(205, 228, 245));
    p.setFont(Fonte(fonte, 12, false));
    p.drawText(QRectF(81, 40, 460, 16), Qt::AlignLeft | Qt::AlignVCenter,
               "Morvendo — parâmetros da equação de chuvas intensas para o Brasil");
    p.setFont(Fonte(fonte, 11, false));
    p.drawText(QRectF(81, 55, 460, 14), Qt::AlignLeft | Qt::AlignVCenter,
               "i = K·T\u1D43 / (t + b)\u1D9C   —   estações, localidades e interpolação");
    p.end();
    Salvar(img, pasta + "/CabecalhoConsulta.jpg", "JPG", 92);
    std::cout << "CabecalhoConsulta.jpg\n";
}

void Sobre(const TContornos& contornos, const TDados& dados, const QString& pasta,
           const QFont& fonte) {
    QImage img(559, 340, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient fundo(0, 0, 0, 340);
    fundo.setColorAt(0, QColor(10, 36, 82));
    fundo.setColorAt(1, QColor(16, 96, 132));
    p.fillRect(img.rect(), fundo);
    QRadialGradient brilho(QPointF(150, 170), 190);
    brilho.setColorAt(0, QColor(255, 255, 255, 38));
    brilho.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(img.rect(), brilho);

    const QRectF areaMapa(22, 24, 250, 292);
    DesenharBrasil(p, contornos, areaMapa, QColor(236, 242, 246), QColor(10, 36, 82, 130), 0.6);
    // Estações conhecidas como pontos sobre o mapa.
    const double lon0 = -74.1, lon1 = -34.7, lat0 = 5.35, lat1 = -33.85;
    const double escala =
        std::min(areaMapa.width() / (lon1 - lon0), areaMapa.height() / (lat0 - lat1));
    const QPointF origem(areaMapa.center().x() - escala * (lon1 - lon0) / 2,
                         areaMapa.center().y() - escala * (lat0 - lat1) / 2);
    p.setPen(QPen(QColor(10, 36, 82), 1));
    p.setBrush(QColor(240, 120, 40));
    for (const auto& lista : dados.Estacoes)
        for (const auto& e : lista) {
            const double lat = -GrausDecimais(e.Latitude), lon = -GrausDecimais(e.Longitude);
            p.drawEllipse(
                QPointF(origem.x() + (lon - lon0) * escala, origem.y() + (lat0 - lat) * escala),
                3.2, 3.2);
        }

    DesenharCurvas(p, QRectF(300, 190, 230, 78), QColor(255, 255, 255, 80), 2.2);
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.drawLine(QPointF(300, 268), QPointF(530, 268));
    p.drawLine(QPointF(300, 190), QPointF(300, 268));
    p.setPen(QColor(170, 200, 222));
    p.setFont(Fonte(fonte, 10, false));
    p.drawText(QRectF(304, 270, 230, 14), Qt::AlignLeft | Qt::AlignVCenter,
               "i (mm/h) × t (min) para T = 2, 10 e 100 anos");
    p.setPen(QPen(QColor(10, 36, 82), 1));
    p.setBrush(QColor(240, 120, 40));
    p.drawEllipse(QPointF(30, 322), 3.2, 3.2);
    p.setPen(QColor(205, 228, 245));
    p.drawText(QRectF(38, 314, 220, 16), Qt::AlignLeft | Qt::AlignVCenter,
               "estações com equação publicada");
    p.setPen(Qt::white);
    p.setFont(Fonte(fonte, 40, true));
    p.drawText(QRectF(296, 20, 250, 50), Qt::AlignLeft | Qt::AlignVCenter, "Morvendo");
    p.setFont(Fonte(fonte, 14, true));
    p.drawText(QRectF(298, 64, 258, 24), Qt::AlignLeft | Qt::AlignVCenter,
               "Consulta da equação de chuva");
    p.setPen(QColor(205, 228, 245));
    p.setFont(Fonte(fonte, 13, false));
    p.drawText(QRectF(298, 88, 240, 60), Qt::AlignLeft | Qt::TextWordWrap,
               "Parâmetros K, a, b e c da equação de chuvas intensas por estação, "
               "localidade ou ponto do mapa.");
    p.setFont(Fonte(fonte, 15, false));
    p.drawText(QRectF(298, 150, 240, 24), Qt::AlignLeft | Qt::AlignVCenter,
               "i = K·T\u1D43 / (t + b)\u1D9C");
    p.setPen(QColor(170, 200, 222));
    p.setFont(Fonte(fonte, 10, false));
    p.drawText(QRectF(298, 296, 250, 40), Qt::AlignLeft | Qt::TextWordWrap,
               "Localidades: GeoNames (CC BY 4.0). Contornos: Natural Earth.");
    p.end();
    Salvar(img, pasta + "/FiguraSobreConsulta.png", "PNG");
    std::cout << "FiguraSobreConsulta.png\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "uso: gerar_figuras <contornos_estados.geojson> <Estados_Tar21.bin> "
                     "<Localidades_Tar21.bin> <pasta>\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    try {
        const QString pasta = QString::fromLocal8Bit(argv[4]);
        const auto contornos = LerContornos(QString::fromLocal8Bit(argv[1]));

        // Os dados vêm dos mesmos arquivos que a consulta lê, pelos mesmos leitores.
        TDados dados;
        {
            QFile fe(QString::fromLocal8Bit(argv[2])), fl(QString::fromLocal8Bit(argv[3]));
            if (!fe.open(QIODevice::ReadOnly) || !fl.open(QIODevice::ReadOnly))
                throw EMorvendo("Não foi possível abrir os arquivos de dados.");
            const QByteArray be = fe.readAll(), bl = fl.readAll();
            dados.Estacoes =
                LerArquivoEstacoes(std::string_view(be.constData(), be.size()), argv[2]);
            for (int i = 0; i < NumeroEstados; ++i)
                dados.Localidades[i] =
                    LerLocalidadesDoEstado(std::string_view(bl.constData(), bl.size()), i, argv[3]);
        }

        // Fonte fixa, para que as figuras não dependam das fontes instaladas por acaso.
        QFont fonte("DejaVu Sans");
        const int id =
            QFontDatabase::addApplicationFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
        QFontDatabase::addApplicationFont("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
        if (id < 0) std::cerr << "aviso: DejaVu Sans não encontrada; usando a fonte padrão.\n";

        int distantes = 0;
        for (const int estado : EstadosComMapa)
            distantes += MapaDoEstado(estado, contornos, dados, pasta, fonte);
        MapaDoBrasil(contornos, dados, pasta);
        Cabecalho(contornos, pasta, fonte);
        Sobre(contornos, dados, pasta, fonte);
        if (distantes) std::cerr << "aviso: " << distantes << " pontos fora dos mapas.\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "erro: " << e.what() << '\n';
        return 1;
    }
}
