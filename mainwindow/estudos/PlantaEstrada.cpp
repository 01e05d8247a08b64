#include "mainwindow/estudos/PlantaEstrada.h"

#include <QBuffer>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "comum/Numeros.h"
#include "mainwindow/RotinasComuns.h"
#include "mainwindow/estudos/PaginaTrechos.h"

namespace {

QFont FontePixels(QFont base, double pixels) {
    base.setPixelSize(std::max(1, int(std::lround(pixels))));
    return base;
}

double Comprimento(const QPointF& v) {
    return std::hypot(v.x(), v.y());
}

// Esquerda de quem anda na direção dada, no plano com o norte para cima.
QPointF Esquerda(const QPointF& direcao) {
    return {-direcao.y(), direcao.x()};
}

// O relevo clareado, para que a linha e os textos se leiam sobre ele; sem dado, transparente.
QImage ImagemDoRelevo(const TRelevo& r) {
    if (r.Vazio()) return {};
    QImage imagem(r.Largura, r.Altura, QImage::Format_ARGB32);
    for (int j = 0; j < r.Altura; ++j) {
        auto* linha = reinterpret_cast<QRgb*>(imagem.scanLine(j));
        for (int i = 0; i < r.Largura; ++i) {
            const int g = r.Cinza[std::size_t(j) * std::size_t(r.Largura) + std::size_t(i)];
            const int c = 255 - (255 - g) * 3 / 4;
            linha[i] = g == 0 ? qRgba(0, 0, 0, 0) : qRgb(c, c, c);
        }
    }
    return imagem;
}

// Texto com um contorno branco, legível sobre o relevo e sobre a linha.
void TextoComHalo(QPainter& p, const QRectF& caixa, int alinhamento, const QString& texto,
                  const QColor& cor) {
    p.setPen(QColor(255, 255, 255, 215));
    for (const QPointF& d : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
        p.drawText(caixa.translated(d), alinhamento, texto);
    p.setPen(cor);
    p.drawText(caixa, alinhamento, texto);
}

// Caixa de um texto de largura w e altura h encostada no ponto 'ancora', do lado 'normal'
// (unitário, na tela): o texto fica todo desse lado, sem cobrir o ponto.
QRectF CaixaAoLado(const QPointF& ancora, const QPointF& normal, double w, double h) {
    const QPointF centro =
        ancora + normal * (0.5 * std::abs(normal.x()) * w + 0.5 * std::abs(normal.y()) * h);
    return {centro.x() - w / 2, centro.y() - h / 2, w, h};
}

// 1, 2 ou 5 vezes uma potência de 10, até 'maximo'.
double Redondo(double maximo) {
    const double base = std::pow(10.0, std::floor(std::log10(maximo)));
    for (const double f : {5.0, 2.0, 1.0})
        if (f * base <= maximo) return f * base;
    return base;
}

QString Distancia(double metros) {
    return metros >= 1000 ? QStringLiteral("%1 km").arg(metros / 1000)
                          : QStringLiteral("%1 m").arg(metros);
}

constexpr double ESCALA_MAXIMA = 20; // px por m: 5 cm por pixel basta

} // namespace

QString TextoDoLugar(double posicao) {
    const char sep = SeparadorDecimal();
    return QStringLiteral("estaca %1 (%2 m)")
        .arg(QString::fromStdString(Estaca(std::max(0.0, posicao), sep)),
             QString::fromStdString(FormatFloat("0.0", posicao, sep)));
}

TPlantaEstrada::TPlantaEstrada(QWidget* pai) : QWidget(pai) {
    setObjectName(QStringLiteral("PlantaEstrada"));
    setMinimumSize(220, 190);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setCursor(Qt::CrossCursor);
    FVerTudo = new QToolButton(this);
    FVerTudo->setObjectName(QStringLiteral("btnVerTudo"));
    FVerTudo->setText(QStringLiteral("Ver tudo"));
    FVerTudo->setToolTip(QStringLiteral("A estrada inteira na planta. A roda do mouse aproxima e "
                                        "afasta; arrastar desloca; um clique marca o lugar."));
    FVerTudo->setCursor(Qt::ArrowCursor);
    connect(FVerTudo, &QToolButton::clicked, this, [this] { VerTudo(); });
}

void TPlantaEstrada::DefinirEstrada(std::vector<QPointF> linha, std::vector<double> posicoes,
                                    const TRelevo& relevo, const QString& sistema) {
    FLinha = std::move(linha);
    FPosicoes = std::move(posicoes);
    FRelevo = ImagemDoRelevo(relevo);
    FRetanguloRelevo =
        QRectF(relevo.Oeste, relevo.Sul, relevo.Leste - relevo.Oeste, relevo.Norte - relevo.Sul);
    FSistema = sistema;
    FMarca.reset();
    FVista.reset();
    update();
}

void TPlantaEstrada::Esvaziar() {
    DefinirEstrada({}, {}, {}, {});
}

void TPlantaEstrada::DefinirLocacao(std::vector<TTrecho> trechos,
                                    std::vector<TDesaguadouro> desaguadouros) {
    FTrechos = std::move(trechos);
    FDesaguadouros = std::move(desaguadouros);
    update();
}

void TPlantaEstrada::Marcar(std::optional<double> posicao) {
    FMarca = posicao;
    update();
}

void TPlantaEstrada::VerTudo() {
    FVista.reset();
    update();
}

QFont TPlantaEstrada::FonteTela() const {
    return FontePixels(font(), QFontInfo(font()).pixelSize());
}

QPointF TPlantaEstrada::PontoEm(double posicao, QPointF* direcao) const {
    const auto it = std::upper_bound(FPosicoes.begin() + 1, FPosicoes.end() - 1, posicao);
    const std::size_t i = std::size_t(it - FPosicoes.begin()) - 1;
    const QPointF a = FLinha[i], b = FLinha[i + 1];
    const double comprimento = FPosicoes[i + 1] - FPosicoes[i];
    const double f =
        comprimento > 0 ? std::clamp((posicao - FPosicoes[i]) / comprimento, 0.0, 1.0) : 0.0;
    if (direcao) {
        const QPointF d = b - a;
        const double n = Comprimento(d);
        *direcao = n > 0 ? d / n : QPointF(1, 0);
    }
    return a + f * (b - a);
}

TPlantaEstrada::TVista TPlantaEstrada::VistaTotal(const QRectF& area) const {
    TVista v;
    if (Vazia()) return v;
    double oeste = INFINITY, leste = -INFINITY, sul = INFINITY, norte = -INFINITY;
    for (const QPointF& q : FLinha) {
        oeste = std::min(oeste, q.x()), leste = std::max(leste, q.x());
        sul = std::min(sul, q.y()), norte = std::max(norte, q.y());
    }
    v.Centro = {(oeste + leste) / 2, (sul + norte) / 2};
    // Folga para os rótulos e os desaguadouros em volta da linha.
    const double folga = 3.5 * QFontMetricsF(FonteTela()).height();
    const double w = std::max(1.0, area.width() - 2 * folga);
    const double h = std::max(1.0, area.height() - 2 * folga);
    v.Escala = std::min(ESCALA_MAXIMA,
                        std::min(w / std::max(leste - oeste, 1.0), h / std::max(norte - sul, 1.0)));
    return v;
}

TPlantaEstrada::TVista TPlantaEstrada::VistaDaTela() const {
    return FVista ? *FVista : VistaTotal(rect());
}

namespace {

QPointF NaTela(const QRectF& area, const QPointF& centro, double escala, const QPointF& en) {
    return {area.center().x() + (en.x() - centro.x()) * escala,
            area.center().y() - (en.y() - centro.y()) * escala};
}

QPointF NoMapa(const QRectF& area, const QPointF& centro, double escala, const QPointF& tela) {
    return {centro.x() + (tela.x() - area.center().x()) / escala,
            centro.y() - (tela.y() - area.center().y()) / escala};
}

} // namespace

QPointF TPlantaEstrada::PontoNaTela(double posicao) const {
    if (Vazia()) return {};
    const TVista v = VistaDaTela();
    return NaTela(rect(), v.Centro, v.Escala, PontoEm(posicao));
}

double TPlantaEstrada::PosicaoMaisProxima(const QPointF& tela) const {
    if (Vazia()) return 0;
    const TVista v = VistaDaTela();
    const QPointF q = NoMapa(rect(), v.Centro, v.Escala, tela);
    double melhor = INFINITY, posicao = 0;
    for (std::size_t i = 0; i + 1 < FLinha.size(); ++i) {
        const QPointF a = FLinha[i], d = FLinha[i + 1] - a;
        const double n2 = QPointF::dotProduct(d, d);
        const double f = n2 > 0 ? std::clamp(QPointF::dotProduct(q - a, d) / n2, 0.0, 1.0) : 0;
        const double dist = Comprimento(q - (a + f * d));
        if (dist < melhor) {
            melhor = dist;
            posicao = FPosicoes[i] + f * (FPosicoes[i + 1] - FPosicoes[i]);
        }
    }
    return posicao;
}

std::vector<TPlantaEstrada::TEstacaNaVista>
TPlantaEstrada::Estacas(const TVista& v, const QRectF& area, double larguraRotulo) const {
    std::vector<TEstacaNaVista> r;
    if (Vazia()) return r;
    // Marcas a cada estaca quando se separam; rótulos a cada 100 m, 1 km ou 10 km, onde
    // cabem sem se encostar.
    long long rotulo = 5, marca = 1;
    while (rotulo * METROS_POR_ESTACA * v.Escala < 1.8 * larguraRotulo && rotulo < 5000000)
        rotulo *= 10;
    while (marca * METROS_POR_ESTACA * v.Escala < 5 && marca < rotulo)
        marca = marca == 1 ? 5 : marca * 10;
    const QRectF visivel = area.adjusted(-20, -20, 20, 20);
    const double fim = FPosicoes.back();
    for (long long k = 0; double(k * METROS_POR_ESTACA) <= fim + 1e-6; k += marca) {
        const double pos = double(k * METROS_POR_ESTACA);
        if (!visivel.contains(NaTela(area, v.Centro, v.Escala, PontoEm(pos)))) continue;
        r.push_back({pos, k % rotulo == 0});
    }
    return r;
}

QStringList TPlantaEstrada::RotulosEstacas() const {
    QStringList r;
    const QFontMetricsF fm(FonteTela());
    for (const TEstacaNaVista& e :
         Estacas(VistaDaTela(), rect(), fm.horizontalAdvance(QStringLiteral("0000 + 0"))))
        if (e.Rotulo)
            r << QStringLiteral("%1 + 0").arg(std::llround(e.Posicao / METROS_POR_ESTACA));
    return r;
}

std::vector<TPlantaEstrada::TDesaguadouroNaTela> TPlantaEstrada::DesaguadourosNaTela() const {
    std::vector<TDesaguadouroNaTela> r;
    if (Vazia()) return r;
    const TVista v = VistaDaTela();
    const double h = QFontMetricsF(FonteTela()).height();
    for (const TDesaguadouro& d : FDesaguadouros)
        r.push_back({d.Numero, d.Lado, d.Posicao, SimboloDe(d, rect(), v, h).Ponto});
    return r;
}

TPlantaEstrada::TSimbolo TPlantaEstrada::SimboloDe(const TDesaguadouro& d, const QRectF& area,
                                                   const TVista& v, double h) const {
    TSimbolo s;
    QPointF direcao;
    s.NaEstrada = NaTela(area, v.Centro, v.Escala, PontoEm(d.Posicao, &direcao));
    // Na tela o y cresce para baixo.
    const QPointF esquerda = Esquerda(direcao);
    s.Lado = QPointF(esquerda.x(), -esquerda.y()) * (d.Lado == TLado::Esquerdo ? 1 : -1);
    s.Ponto = s.NaEstrada + s.Lado * 0.85 * h;
    return s;
}

void TPlantaEstrada::Desenhar(QPainter& p, const QRectF& area) const {
    Desenhar(p, area, VistaTotal(area));
}

void TPlantaEstrada::Desenhar(QPainter& p, const QRectF& area, const TVista& v) const {
    p.save();
    p.setClipRect(area);
    p.fillRect(area, Qt::white);
    const QFontMetricsF fm(p.font());
    const double h = fm.height(), u = h / 14;
    if (Vazia()) {
        p.setPen(Qt::darkGray);
        p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                   QStringLiteral("A planta aparece com a estrada aberta do mapa."));
        p.restore();
        return;
    }
    auto tela = [&](const QPointF& en) { return NaTela(area, v.Centro, v.Escala, en); };
    // Direção na tela (y para baixo) de uma direção no mapa.
    auto naTela = [](const QPointF& d) { return QPointF(d.x(), -d.y()); };

    if (!FRelevo.isNull()) {
        const QPointF a = tela({FRetanguloRelevo.left(), FRetanguloRelevo.bottom()});
        const QPointF b = tela({FRetanguloRelevo.right(), FRetanguloRelevo.top()});
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(a, b), FRelevo);
    }

    // A estrada: traço escuro com margem clara.
    QPolygonF linha;
    for (const QPointF& q : FLinha)
        linha << tela(q);
    p.setPen(QPen(QColor(255, 255, 255, 200), 6 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(linha);
    p.setPen(QPen(QColor(60, 60, 60), 2.4 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(linha);

    // Estacas: marcas atravessando a linha.
    const std::vector<TEstacaNaVista> estacas =
        Estacas(v, area, fm.horizontalAdvance(QStringLiteral("0000 + 0")));
    for (const TEstacaNaVista& e : estacas) {
        QPointF direcao;
        const QPointF ponto = tela(PontoEm(e.Posicao, &direcao));
        const QPointF normal = naTela(Esquerda(direcao));
        const double meia = (e.Rotulo ? 0.55 : 0.32) * h;
        p.setPen(QPen(QColor(30, 30, 30), (e.Rotulo ? 1.6 : 1.1) * u));
        p.drawLine(ponto - normal * meia, ponto + normal * meia);
    }

    // Cristas e baixadas dos trechos, como no perfil.
    p.setPen(QPen(Qt::black, u));
    for (std::size_t i = 1; i < FTrechos.size(); ++i) {
        const double a = FTrechos[i - 1].Declividade, b = FTrechos[i].Declividade;
        if ((a < 0) == (b < 0) || a == 0 || b == 0) continue;
        p.setBrush(a < 0 ? Qt::white : Qt::black);
        p.drawEllipse(tela(PontoEm(FTrechos[i].Inicio)), 4 * u, 4 * u);
    }

    // Desaguadouros: deslocados para o seu lado, com o número por fora; quando se amontoam,
    // só os números que não cobrem o anterior do mesmo lado.
    QRectF ultimoNumero[2];
    std::vector<QRectF> ocupados;
    for (const TDesaguadouro& d : FDesaguadouros) {
        const TSimbolo s = SimboloDe(d, area, v, h);
        const QColor cor = TDesenhoEstrada::CorDoLado(d.Lado);
        p.setPen(QPen(cor.darker(140), 1.2 * u));
        p.drawLine(s.NaEstrada, s.Ponto);
        p.setBrush(cor);
        p.drawEllipse(s.Ponto, 3.6 * u, 3.6 * u);
        ocupados.emplace_back(s.Ponto - QPointF(4 * u, 4 * u), QSizeF(8 * u, 8 * u));
        const QString n = QString::number(d.Numero);
        const QRectF caixa =
            CaixaAoLado(s.Ponto + s.Lado * 4.5 * u, s.Lado, fm.horizontalAdvance(n) + 2, h);
        QRectF& ultimo = ultimoNumero[d.Lado == TLado::Esquerdo];
        if (ultimo.isValid() && ultimo.intersects(caixa)) continue;
        ultimo = caixa;
        ocupados.push_back(caixa);
        TextoComHalo(p, caixa, Qt::AlignCenter, n, cor.darker(130));
    }
    p.setBrush(Qt::NoBrush);

    // Rótulos das estacas à direita de quem segue o estaqueamento; mais longe da linha onde
    // cobririam um desaguadouro.
    for (const TEstacaNaVista& e : estacas) {
        if (!e.Rotulo) continue;
        QPointF direcao;
        const QPointF ponto = tela(PontoEm(e.Posicao, &direcao));
        const QPointF direita = -naTela(Esquerda(direcao));
        const QString texto =
            QStringLiteral("%1 + 0").arg(std::llround(e.Posicao / METROS_POR_ESTACA));
        const double w = fm.horizontalAdvance(texto) + 2;
        QRectF caixa = CaixaAoLado(ponto + direita * 0.7 * h, direita, w, h);
        if (std::any_of(ocupados.begin(), ocupados.end(),
                        [&](const QRectF& r) { return r.intersects(caixa); }))
            caixa = CaixaAoLado(ponto + direita * 2.6 * h, direita, w, h);
        TextoComHalo(p, caixa, Qt::AlignCenter, texto, QColor(20, 20, 20));
    }

    // O lugar marcado: círculo vermelho na estrada e o texto no alto, à esquerda.
    if (FMarca) {
        const QPointF ponto = tela(PontoEm(*FMarca));
        p.setPen(QPen(QColor(200, 0, 0), 2 * u));
        p.drawEllipse(ponto, 6 * u, 6 * u);
        p.drawLine(ponto - QPointF(9 * u, 0), ponto + QPointF(9 * u, 0));
        p.drawLine(ponto - QPointF(0, 9 * u), ponto + QPointF(0, 9 * u));
        const QString t = TextoDoLugar(*FMarca);
        TextoComHalo(
            p, QRectF(area.left() + 0.4 * h, area.top() + 0.3 * h, fm.horizontalAdvance(t) + 2, h),
            Qt::AlignLeft | Qt::AlignVCenter, t, QColor(170, 0, 0));
    }

    // Norte e sistema, no alto à direita.
    {
        const double x = area.right() - 1.2 * h, y = area.top() + 0.4 * h;
        QPainterPath seta;
        seta.moveTo(x, y + 0.9 * h);
        seta.lineTo(x, y + 2.3 * h);
        p.setPen(QPen(Qt::black, 1.4 * u));
        p.drawPath(seta);
        QPainterPath ponta;
        ponta.moveTo(x, y + 0.9 * h);
        ponta.lineTo(x - 0.3 * h, y + 1.5 * h);
        ponta.lineTo(x + 0.3 * h, y + 1.5 * h);
        ponta.closeSubpath();
        p.fillPath(ponta, Qt::black);
        TextoComHalo(p, QRectF(x - h, y, 2 * h, h), Qt::AlignCenter, QStringLiteral("N"),
                     Qt::black);
        if (!FSistema.isEmpty()) {
            const double w = fm.horizontalAdvance(FSistema) + 2;
            TextoComHalo(p, QRectF(area.right() - 2.2 * h - w, y, w, h),
                         Qt::AlignRight | Qt::AlignVCenter, FSistema, QColor(40, 40, 40));
        }
    }

    // Escala gráfica embaixo, à esquerda: um quinto da largura, em número redondo.
    {
        const double metros = Redondo(std::max(area.width() / 5, 3 * h) / v.Escala);
        const double w = metros * v.Escala;
        const double x = area.left() + 0.8 * h, y = area.bottom() - 0.9 * h;
        const QRectF barra(x, y - 0.35 * h, w, 0.35 * h);
        p.fillRect(barra.adjusted(-1, -1, 1, 1), QColor(255, 255, 255, 200));
        p.fillRect(QRectF(barra.left(), barra.top(), w / 2, barra.height()), Qt::black);
        p.setPen(QPen(Qt::black, u));
        p.drawRect(barra);
        TextoComHalo(p, QRectF(x - h, y - 1.45 * h, 2 * h, h), Qt::AlignCenter, QStringLiteral("0"),
                     Qt::black);
        const QString t = Distancia(metros);
        const double wt = fm.horizontalAdvance(t) + 2;
        TextoComHalo(p, QRectF(x + w - wt / 2, y - 1.45 * h, wt, h), Qt::AlignCenter, t, Qt::black);
    }
    p.restore();
}

QImage ImagemDoDesenho(QSize tamanho, const QFont& fonte, const TDesenhar& desenhar) {
    QImage imagem(tamanho, QImage::Format_ARGB32);
    imagem.fill(Qt::white);
    QPainter p(&imagem);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(fonte);
    desenhar(p, QRectF(QPointF(0, 0), QSizeF(tamanho)));
    return imagem;
}

QByteArray SvgDoDesenho(QSize tamanho, const QFont& fonte, const QString& titulo,
                        const TDesenhar& desenhar) {
    QBuffer saida;
    saida.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&saida);
    svg.setSize(tamanho);
    svg.setViewBox(QRect(QPoint(0, 0), tamanho));
    svg.setTitle(titulo);
    QPainter p(&svg);
    p.setFont(fonte);
    desenhar(p, QRectF(QPointF(0, 0), QSizeF(tamanho)));
    p.end();
    return saida.data();
}

QImage TPlantaEstrada::Imagem(QSize tamanho) const {
    return ImagemDoDesenho(tamanho, FonteTela(),
                           [this](QPainter& p, const QRectF& a) { Desenhar(p, a); });
}

QByteArray TPlantaEstrada::Svg(QSize tamanho) const {
    return SvgDoDesenho(tamanho, FonteTela(),
                        QStringLiteral("Planta da estrada com os desaguadouros"),
                        [this](QPainter& p, const QRectF& a) { Desenhar(p, a); });
}

void TPlantaEstrada::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(FonteTela());
    Desenhar(p, rect(), VistaDaTela());
}

void TPlantaEstrada::resizeEvent(QResizeEvent*) {
    FVerTudo->adjustSize();
    FVerTudo->move(width() - FVerTudo->width() - 4, height() - FVerTudo->height() - 4);
}

void TPlantaEstrada::wheelEvent(QWheelEvent* e) {
    if (Vazia()) return;
    const TVista antes = VistaDaTela();
    const double minima = VistaTotal(rect()).Escala / 4;
    const double escala = std::clamp(antes.Escala * std::pow(1.0015, e->angleDelta().y()), minima,
                                     std::max(minima, ESCALA_MAXIMA));
    // O ponto do mapa sob o cursor fica onde está.
    const QPointF cursor = e->position();
    const QRectF area(rect());
    const QPointF sob = NoMapa(area, antes.Centro, antes.Escala, cursor);
    TVista v;
    v.Escala = escala;
    v.Centro = sob - QPointF((cursor.x() - area.center().x()) / escala,
                             -(cursor.y() - area.center().y()) / escala);
    FVista = v;
    update();
    e->accept();
}

void TPlantaEstrada::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || Vazia()) return;
    FInicioArrasto = e->position();
    FVistaNoArrasto = VistaDaTela();
    FArrastou = false;
}

void TPlantaEstrada::mouseMoveEvent(QMouseEvent* e) {
    if (!FInicioArrasto) return;
    const QPointF d = e->position() - *FInicioArrasto;
    if (!FArrastou && Comprimento(d) < 4) return;
    FArrastou = true;
    TVista v = FVistaNoArrasto;
    v.Centro -= QPointF(d.x(), -d.y()) / v.Escala;
    FVista = v;
    update();
}

void TPlantaEstrada::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !FInicioArrasto) return;
    FInicioArrasto.reset();
    if (FArrastou) return;
    const double posicao = PosicaoMaisProxima(e->position());
    Marcar(posicao);
    if (LugarEscolhido) LugarEscolhido(posicao);
}
