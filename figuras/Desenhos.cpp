#include "figuras/Desenhos.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QSaveFile>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

const QColor CorTerra(222, 200, 160);
const QColor CorTracoTerra(120, 86, 50);
const QColor CorLinha(40, 40, 40);
const QColor CorAgua(150, 200, 240);
const QColor CorLinhaAgua(40, 110, 190);
const QColor CorLeito(150, 150, 150);
const QColor CorSeta(0, 90, 170);
const QColor CorCota(20, 20, 90);

// Cada desenho é feito num espaço lógico fixo e ajustado, sem distorção e centrado, ao
// tamanho pedido: assim a página de dados pode pedir figuras maiores que as do relatório.
class TPrancheta {
public:
    TPrancheta(QSize tamanho, QSizeF logico, const QColor& fundo = Qt::white)
        : Imagem(tamanho.expandedTo(QSize(1, 1)), QImage::Format_RGB32) {
        Imagem.fill(fundo);
        P.begin(&Imagem);
        P.setRenderHint(QPainter::Antialiasing);
        P.setRenderHint(QPainter::TextAntialiasing);
        const double escala =
            std::min(Imagem.width() / logico.width(), Imagem.height() / logico.height());
        P.translate((Imagem.width() - logico.width() * escala) / 2,
                    (Imagem.height() - logico.height() * escala) / 2);
        P.scale(escala, escala);
    }
    QImage Terminar() {
        P.end();
        return Imagem;
    }
    QImage Imagem;
    QPainter P;
};

// Fonte fixa para que as figuras não mudem com as fontes da máquina.
QFont Fonte(double pixels, bool negrito = false, bool italico = false) {
    QFont f("DejaVu Sans");
    f.setPixelSize(std::max(1, qRound(pixels)));
    f.setBold(negrito);
    f.setItalic(italico);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

void Texto(QPainter& p, QPointF centro, const QString& texto, const QFont& fonte,
           const QColor& cor = CorCota, bool fundoBranco = false) {
    p.save();
    p.setFont(fonte);
    const QFontMetricsF m(fonte);
    QRectF r(0, 0, m.horizontalAdvance(texto) + 2, m.height());
    r.moveCenter(centro);
    if (fundoBranco) p.fillRect(r.adjusted(-0.5, 0.5, 0.5, -0.5), Qt::white);
    p.setPen(cor);
    p.drawText(r, Qt::AlignCenter, texto);
    p.restore();
}

void Seta(QPainter& p, QPointF de, QPointF para, const QColor& cor, double espessura,
          double ponta) {
    p.save();
    p.setPen(QPen(cor, espessura, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(de, para);
    const double ang = std::atan2(para.y() - de.y(), para.x() - de.x());
    QPolygonF cabeca;
    cabeca << para << para - QPointF(ponta * std::cos(ang - 0.45), ponta * std::sin(ang - 0.45))
           << para - QPointF(ponta * std::cos(ang + 0.45), ponta * std::sin(ang + 0.45));
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    p.drawPolygon(cabeca);
    p.restore();
}

// Terreno abaixo do perfil: preenchimento, linha do perfil e traços curtos de solo
// logo abaixo dela (o símbolo usual de terreno natural).
void Solo(QPainter& p, const QPolygonF& perfil, double fundo, double espessura = 1.0) {
    QPolygonF area = perfil;
    area << QPointF(perfil.last().x(), fundo) << QPointF(perfil.first().x(), fundo);
    QPainterPath caminho;
    caminho.addPolygon(area);
    caminho.closeSubpath();
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(CorTerra);
    p.drawPath(caminho);
    p.setClipPath(caminho);
    p.setPen(QPen(CorTracoTerra, espessura * 0.6));
    for (int i = 0; i + 1 < perfil.size(); ++i) {
        const QPointF a = perfil[i], b = perfil[i + 1];
        const double comp = std::hypot(b.x() - a.x(), b.y() - a.y());
        const int n = std::max(1, int(comp / 4.5));
        for (int k = 0; k < n; ++k) {
            const QPointF q = a + (b - a) * ((k + 0.5) / n);
            p.drawLine(q, q + QPointF(-2.6, 3.2));
        }
    }
    p.setClipping(false);
    p.setPen(QPen(CorTracoTerra, espessura, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(perfil);
    p.restore();
}

// Água num canal: o polígono do perfil entre as duas margens abaixo do nível dado.
void Agua(QPainter& p, const QPolygonF& perfil, double nivel) {
    QPainterPath abaixo;
    QPolygonF area = perfil;
    area << QPointF(perfil.last().x(), 1e4) << QPointF(perfil.first().x(), 1e4);
    abaixo.addPolygon(area);
    abaixo.closeSubpath();
    QPainterPath faixa;
    faixa.addRect(QRectF(QPointF(perfil.first().x(), nivel), QPointF(perfil.last().x(), 1e4)));
    // A água é o que fica acima do terreno e abaixo do nível.
    const QPainterPath agua = faixa.subtracted(abaixo);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(CorAgua);
    p.drawPath(agua);
    const QRectF r = agua.boundingRect();
    p.setPen(QPen(CorLinhaAgua, 0.7));
    p.drawLine(QPointF(r.left(), nivel), QPointF(r.right(), nivel));
    // O triângulo invertido que marca o nível d'água.
    const double x = r.center().x(), t = std::min(3.0, r.width() / 6);
    if (t > 0.8) {
        QPolygonF marca;
        marca << QPointF(x - t, nivel - 1.6 * t) << QPointF(x + t, nivel - 1.6 * t)
              << QPointF(x, nivel - 0.2);
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(marca);
    }
    p.restore();
}

// Capa de cascalho do leito da estrada sobre o trecho dado do perfil.
void Leito(QPainter& p, const QPolygonF& trecho, double espessura) {
    p.save();
    p.setPen(QPen(CorLeito, espessura, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPolygonF abaixo;
    for (const QPointF& q : trecho)
        abaixo << q + QPointF(0, espessura / 2);
    p.drawPolyline(abaixo);
    p.restore();
}

// Cota com setas nas pontas e o texto no meio, interrompendo a linha.
void Cota(QPainter& p, QPointF a, QPointF b, const QString& texto, const QFont& fonte) {
    const QPointF meio = (a + b) / 2;
    Seta(p, meio, a, CorCota, 0.6, 3.0);
    Seta(p, meio, b, CorCota, 0.6, 3.0);
    Texto(p, meio, texto, fonte, CorCota, true);
}

// Triângulo de inclinação "1 : Z" encostado numa parede: cateto horizontal com o texto
// horizontal acima e cateto vertical com "1" ao lado.
void Inclinacao(QPainter& p, QPointF superior, QPointF inferior, const QString& horizontal,
                const QFont& fonte) {
    // O canto reto fica na altura de cima e na abscissa de baixo.
    const QPointF canto(inferior.x(), superior.y());
    p.save();
    p.setPen(QPen(CorCota, 0.6));
    p.drawLine(superior, canto);
    p.drawLine(canto, inferior);
    p.restore();
    Texto(p, QPointF((superior.x() + canto.x()) / 2, superior.y() - fonte.pixelSize() * 0.62),
          horizontal, fonte);
    const double lado = inferior.x() > superior.x() ? 1 : -1;
    Texto(p, QPointF(canto.x() + lado * fonte.pixelSize() * 0.55, (canto.y() + inferior.y()) / 2),
          "1", fonte);
}

// Ponto da reta ab na ordenada y.
QPointF NaAltura(QPointF a, QPointF b, double y) {
    return a + (b - a) * ((y - a.y()) / (b.y() - a.y()));
}

// ---- Seções transversais da estrada (espaço lógico 161 × 48) ----

void SetasEscoamento(QPainter& p, const QPolygonF& trecho, bool doInicio) {
    // Uma seta curta acima do meio do trecho, no sentido da descida.
    const QPointF a = trecho.first(), b = trecho.last();
    QPointF de = a + (b - a) * 0.22, para = a + (b - a) * 0.78;
    if (!doInicio) std::swap(de, para);
    const QPointF acima(0, -3.2);
    Seta(p, de + acima, para + acima, CorSeta, 0.9, 3.2);
}

QImage Secao1(QSize tamanho) {
    TPrancheta t(tamanho, QSizeF(161, 48));
    QPainter& p = t.P;
    // Estrada abaulada em corte: talude, canal, meia pista, coroa, meia pista, canal, talude.
    const QPointF taludeE(24, 9), canalE1(44, 31), canalE2(49, 37), canalE3(54, 31);
    const QPointF coroa(80.5, 27.5);
    const QPointF canalD1(107, 31), canalD2(112, 37), canalD3(117, 31), taludeD(137, 9);
    QPolygonF perfil;
    perfil << QPointF(0, 9) << taludeE << canalE1 << canalE2 << canalE3 << coroa << canalD1
           << canalD2 << canalD3 << taludeD << QPointF(161, 9);
    Agua(p, QPolygonF() << canalE1 << canalE2 << canalE3, 33.5);
    Agua(p, QPolygonF() << canalD1 << canalD2 << canalD3, 33.5);
    Solo(p, perfil, 48);
    Leito(p, QPolygonF() << canalE3 << coroa << canalD1, 1.8);
    SetasEscoamento(p, QPolygonF() << taludeE << canalE1, true);
    SetasEscoamento(p, QPolygonF() << taludeD << canalD3, true);
    SetasEscoamento(p, QPolygonF() << coroa << canalE3, true);
    SetasEscoamento(p, QPolygonF() << coroa << canalD1, true);
    return t.Terminar();
}

QImage Secao2(QSize tamanho) {
    TPrancheta t(tamanho, QSizeF(161, 48));
    QPainter& p = t.P;
    // Estrada de encosta: a área externa a montante escoa para o canal e o leito,
    // inclinado para o mesmo lado, leva toda a largura a ele; a jusante, o aterro.
    const QPointF topo(0, 4), canal1(40, 28), canal2(45, 34), canal3(50, 28);
    const QPointF bordo(118, 23.5), pe(150, 44);
    QPolygonF perfil;
    perfil << topo << canal1 << canal2 << canal3 << bordo << pe << QPointF(161, 46);
    Agua(p, QPolygonF() << canal1 << canal2 << canal3, 30.5);
    Solo(p, perfil, 48);
    Leito(p, QPolygonF() << canal3 << bordo, 1.8);
    SetasEscoamento(p, QPolygonF() << topo << canal1, true);
    SetasEscoamento(p, QPolygonF() << bordo << canal3, true);
    return t.Terminar();
}

QImage Secao3(QSize tamanho) {
    TPrancheta t(tamanho, QSizeF(161, 48));
    QPainter& p = t.P;
    // Estrada abaulada sobre terreno plano, sem taludes de corte: só o leito escoa.
    const double chao = 30;
    const QPointF canalE1(32, chao), canalE2(37, chao + 6), canalE3(42, chao);
    const QPointF coroa(80.5, chao - 5);
    const QPointF canalD1(119, chao), canalD2(124, chao + 6), canalD3(129, chao);
    QPolygonF perfil;
    perfil << QPointF(0, chao) << canalE1 << canalE2 << canalE3 << coroa << canalD1 << canalD2
           << canalD3 << QPointF(161, chao);
    Agua(p, QPolygonF() << canalE1 << canalE2 << canalE3, chao + 2.5);
    Agua(p, QPolygonF() << canalD1 << canalD2 << canalD3, chao + 2.5);
    Solo(p, perfil, 48);
    Leito(p, QPolygonF() << canalE3 << coroa << canalD1, 1.8);
    // Vegetação rasteira nas margens, para mostrar que elas não contribuem.
    p.setPen(QPen(QColor(70, 130, 60), 0.8, Qt::SolidLine, Qt::RoundCap));
    for (const double x : {6.0, 16.0, 26.0, 135.0, 145.0, 155.0})
        for (const double d : {-1.6, 0.0, 1.6})
            p.drawLine(QPointF(x, chao), QPointF(x + d, chao - 3.2));
    SetasEscoamento(p, QPolygonF() << coroa << canalE3, true);
    SetasEscoamento(p, QPolygonF() << coroa << canalD1, true);
    return t.Terminar();
}

} // namespace

QImage DesenharSecaoTransversal(int tipo, QSize tamanho) {
    switch (tipo) {
    case 2:
        return Secao2(tamanho);
    case 3:
        return Secao3(tamanho);
    default:
        return Secao1(tamanho);
    }
}

QImage DesenharCanalTrapezoidal(QSize tamanho) {
    TPrancheta t(tamanho, QSizeF(161, 48));
    QPainter& p = t.P;
    const QPointF bordaE(36, 7), fundoE(62, 33), fundoD(99, 33), bordaD(125, 7);
    QPolygonF perfil;
    perfil << QPointF(4, 7) << bordaE << fundoE << fundoD << bordaD << QPointF(157, 7);
    Agua(p, QPolygonF() << bordaE << fundoE << fundoD << bordaD, 21);
    Solo(p, perfil, 48);
    const QFont f = Fonte(8.5, true, true);
    // Largura da base abaixo do fundo.
    Cota(p, QPointF(fundoE.x(), 41.5), QPointF(fundoD.x(), 41.5), "B", f);
    p.setPen(QPen(CorCota, 0.4, Qt::DashLine));
    p.drawLine(fundoE, QPointF(fundoE.x(), 44));
    p.drawLine(fundoD, QPointF(fundoD.x(), 44));
    // Inclinação das paredes, dentro do canal, acima da água.
    const QPointF a = NaAltura(bordaD, fundoD, 9.5), b = NaAltura(bordaD, fundoD, 19);
    Inclinacao(p, a, b, "Z", f);
    return t.Terminar();
}

QImage DesenharCanalTriangular(QSize tamanho) {
    TPrancheta t(tamanho, QSizeF(161, 48));
    QPainter& p = t.P;
    const QPointF bordaE(14, 7), fundo(76, 41), bordaD(147, 7);
    QPolygonF perfil;
    perfil << QPointF(2, 7) << bordaE << fundo << bordaD << QPointF(159, 7);
    Agua(p, QPolygonF() << bordaE << fundo << bordaD, 27);
    Solo(p, perfil, 48);
    const QFont f = Fonte(8.5, true, true);
    Inclinacao(p, NaAltura(bordaE, fundo, 11), NaAltura(bordaE, fundo, 22), "m1", f);
    Inclinacao(p, NaAltura(bordaD, fundo, 11), NaAltura(bordaD, fundo, 22), "m2", f);
    return t.Terminar();
}

namespace {

// Canal de condução chegando pela esquerda, em planta, até o ponto x da bacia.
void CanalDeConducao(QPainter& p, double y, double ate) {
    p.setPen(Qt::NoPen);
    p.setBrush(CorAgua);
    p.drawRect(QRectF(8, y - 5, ate - 8, 10));
    p.setPen(QPen(CorLinha, 1.0));
    p.drawLine(QPointF(8, y - 5), QPointF(ate, y - 5));
    p.drawLine(QPointF(8, y + 5), QPointF(ate, y + 5));
    Seta(p, QPointF(14, y), QPointF(std::min(ate - 8, 50.0), y), CorSeta, 1.2, 5);
}

// Corte da bacia cheia: o fundo dado entre as duas bordas, no nível do terreno, com a
// profundidade H na vertical do ponto mais fundo.
void CorteDaBacia(QPainter& p, const QPolygonF& fundo, const QFont& f) {
    const double topo = fundo.first().y();
    QPolygonF perfil;
    perfil << QPointF(20, topo) << fundo << QPointF(220, topo);
    Agua(p, fundo, topo + 2);
    Solo(p, perfil, 150, 1.2);
    QPointF maisFundo = fundo.first();
    for (const QPointF& q : fundo)
        if (q.y() > maisFundo.y()) maisFundo = q;
    p.setPen(QPen(CorCota, 0.4, Qt::DashLine));
    p.drawLine(fundo.first(), fundo.last());
    Cota(p, QPointF(maisFundo.x(), topo), maisFundo, "H", f);
}

} // namespace

QImage DesenharBaciaRetangular(QSize tamanho) {
    TPrancheta t(tamanho, QSizeF(240, 150));
    QPainter& p = t.P;
    const QFont f = Fonte(11, true, true), rotulo = Fonte(9);
    // Planta: retângulo de comprimento L = L1 + L2; o ponto mais fundo o divide.
    Texto(p, QPointF(120, 9), "Planta", rotulo, CorLinha);
    p.fillRect(QRectF(0, 18, 240, 72), CorTerra.lighter(112));
    const QRectF bacia(70, 26, 120, 46);
    const double divisa = bacia.left() + bacia.width() * 0.4;
    p.setPen(Qt::NoPen);
    p.setBrush(CorAgua);
    p.drawRect(bacia);
    p.setPen(QPen(CorLinhaAgua, 0.8, Qt::DashLine));
    p.drawLine(QPointF(divisa, bacia.top()), QPointF(divisa, bacia.bottom()));
    p.setPen(QPen(CorLinha, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(bacia);
    CanalDeConducao(p, bacia.center().y(), bacia.left());
    Cota(p, QPointF(bacia.left(), 82), QPointF(divisa, 82), "L1", f);
    Cota(p, QPointF(divisa, 82), QPointF(bacia.right(), 82), "L2", f);
    Cota(p, QPointF(206, bacia.top()), QPointF(206, bacia.bottom()), "B", f);

    // Corte longitudinal: as duas rampas 1:m1 e 1:m2 se encontram na profundidade H.
    Texto(p, QPointF(120, 102), "Corte", rotulo, CorLinha);
    CorteDaBacia(p, QPolygonF() << QPointF(70, 112) << QPointF(118, 142) << QPointF(190, 112), f);
    return t.Terminar();
}

QImage DesenharBaciaSemicircular(QSize tamanho) {
    TPrancheta t(tamanho, QSizeF(240, 150));
    QPainter& p = t.P;
    const QFont f = Fonte(11, true, true), rotulo = Fonte(9);
    Texto(p, QPointF(120, 9), "Planta", rotulo, CorLinha);
    p.fillRect(QRectF(0, 18, 240, 72), CorTerra.lighter(112));
    // Meio círculo com o lado reto junto ao canal de condução.
    const QPointF centro(120, 26);
    const double raio = 56;
    QPainterPath meia;
    meia.moveTo(centro + QPointF(-raio, 0));
    meia.arcTo(QRectF(centro.x() - raio, centro.y() - raio, 2 * raio, 2 * raio), 180, 180);
    meia.closeSubpath();
    p.setPen(QPen(CorLinha, 1.2));
    p.setBrush(CorAgua);
    p.drawPath(meia);
    CanalDeConducao(p, 26, centro.x() - raio);
    p.setBrush(CorCota);
    p.setPen(Qt::NoPen);
    p.drawEllipse(centro, 1.6, 1.6);
    const double ang = qDegreesToRadians(55.0);
    const QPointF borda = centro + QPointF(raio * std::cos(ang), raio * std::sin(ang));
    Seta(p, centro, borda, CorCota, 0.8, 4);
    Texto(p, (centro + borda) / 2 + QPointF(9, -4), "R", f);

    // Corte pelo raio: fundo H junto ao lado reto, subindo até zero no arco.
    Texto(p, QPointF(120, 102), "Corte", rotulo, CorLinha);
    CorteDaBacia(p, QPolygonF() << QPointF(64, 112) << QPointF(64, 142) << QPointF(176, 112), f);
    Cota(p, QPointF(64, 146), QPointF(176, 146), "R", f);
    return t.Terminar();
}

QImage DesenharCorteBacia(QSize tamanho) {
    TPrancheta t(tamanho, QSizeF(200, 80));
    QPainter& p = t.P;
    const QFont f = Fonte(10, true, true);
    const QPointF bocaE(20, 14), fundo(82, 66), bocaD(186, 14);
    QPolygonF perfil;
    perfil << QPointF(2, 14) << bocaE << fundo << bocaD << QPointF(198, 14);
    Agua(p, QPolygonF() << bocaE << fundo << bocaD, 26);
    Solo(p, perfil, 80, 1.1);
    Inclinacao(p, NaAltura(bocaE, fundo, 30), NaAltura(bocaE, fundo, 50), "m1", f);
    Inclinacao(p, NaAltura(bocaD, fundo, 30), NaAltura(bocaD, fundo, 50), "m2", f);
    p.setPen(QPen(CorCota, 0.4, Qt::DashLine));
    p.drawLine(bocaE, bocaD);
    Cota(p, QPointF(fundo.x(), 14), fundo, "H", f);
    return t.Terminar();
}

namespace {

// Trecho de estrada em planta, com o canal lateral, os desaguadouros e as bacias:
// o que o programa dimensiona.
void EstradaEmPlanta(QPainter& p, const QRectF& r) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(196, 178, 140));
    const double y0 = r.top() + r.height() * 0.28, y1 = r.top() + r.height() * 0.62;
    p.drawRect(QRectF(r.left(), y0, r.width(), y1 - y0));
    // Eixo da estrada.
    p.setPen(QPen(QColor(250, 246, 230), 1.2, Qt::DashLine));
    p.drawLine(QPointF(r.left(), (y0 + y1) / 2), QPointF(r.right(), (y0 + y1) / 2));
    // Canal lateral.
    const double yc = y1 + 5;
    p.setPen(QPen(QColor(120, 180, 230), 3.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(r.left(), yc), QPointF(r.right(), yc));
    // Desaguadouros a cada espaçamento, cada um levando a uma bacia.
    const int n = 3;
    for (int k = 0; k < n; ++k) {
        const double x = r.left() + r.width() * (k + 0.8) / n;
        p.setPen(QPen(QColor(120, 180, 230), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x, yc), QPointF(x + 14, yc + 18));
        p.setPen(QPen(QColor(30, 70, 120), 1.0));
        p.setBrush(QColor(150, 200, 240));
        p.drawEllipse(QPointF(x + 20, yc + 24), 9, 7);
    }
    // Cota do espaçamento entre dois desaguadouros.
    const double xa = r.left() + r.width() * 0.8 / n, xb = r.left() + r.width() * 1.8 / n;
    const double yt = r.top() + 4;
    p.setPen(QPen(QColor(255, 255, 255, 200), 0.8, Qt::DashLine));
    p.drawLine(QPointF(xa, yt), QPointF(xa, yc));
    p.drawLine(QPointF(xb, yt), QPointF(xb, yc));
    const QPointF m((xa + xb) / 2, yt);
    Seta(p, m, QPointF(xa, yt), Qt::white, 1.0, 5);
    Seta(p, m, QPointF(xb, yt), Qt::white, 1.0, 5);
    QFont f = Fonte(12, true, true);
    const QFontMetricsF fm(f);
    p.fillRect(QRectF(m.x() - 9, yt - 8, 18, 16), QColor(24, 70, 56));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(m.x() - 12, yt - fm.height() / 2, 24, fm.height()), Qt::AlignCenter, "L");
    p.restore();
}

} // namespace

QImage DesenharAbertura(QSize tamanho) {
    TPrancheta t(tamanho, QSizeF(558, 340), QColor(20, 60, 48));
    QPainter& p = t.P;
    QLinearGradient fundo(0, 0, 0, 340);
    fundo.setColorAt(0, QColor(18, 58, 46));
    fundo.setColorAt(1, QColor(44, 96, 62));
    p.fillRect(QRectF(0, 0, 558, 340), fundo);
    QRadialGradient brilho(QPointF(420, 80), 260);
    brilho.setColorAt(0, QColor(255, 255, 255, 34));
    brilho.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, 0, 558, 340), brilho);

    p.setPen(Qt::white);
    p.setFont(Fonte(46, true));
    p.drawText(QRectF(34, 26, 480, 60), Qt::AlignLeft | Qt::AlignVCenter, "Morvendo");
    p.setFont(Fonte(15));
    p.setPen(QColor(214, 236, 214));
    p.drawText(QRectF(36, 86, 490, 22), Qt::AlignLeft | Qt::AlignVCenter,
               "Drenagem superficial de estradas não pavimentadas");
    p.setFont(Fonte(11.5));
    p.setPen(QColor(184, 214, 190));
    p.drawText(QRectF(36, 112, 490, 36), Qt::AlignLeft | Qt::TextWordWrap,
               "Espaçamento entre desaguadouros pela perda de solo no canal e "
               "dimensionamento das bacias de acumulação");

    // Faixa com a estrada em planta e, à direita, a seção transversal típica.
    const QRectF faixa(34, 160, 490, 118);
    p.setPen(QPen(QColor(255, 255, 255, 50), 1));
    p.setBrush(QColor(255, 255, 255, 18));
    p.drawRoundedRect(faixa, 6, 6);
    EstradaEmPlanta(p, QRectF(faixa.left() + 14, faixa.top() + 14, 300, faixa.height() - 22));
    const QImage secao = DesenharSecaoTransversal(1, QSize(161, 48) * 2);
    const QRectF alvo(faixa.right() - 168, faixa.top() + 34, 161, 48);
    p.fillRect(alvo.adjusted(-3, -3, 3, 3), Qt::white);
    p.drawImage(alvo, secao);
    p.setFont(Fonte(9.5));
    p.setPen(QColor(214, 236, 214));
    p.drawText(QRectF(alvo.left(), alvo.bottom() + 6, 161, 14), Qt::AlignCenter,
               "Estrada em corte");

    p.setFont(Fonte(10.5));
    p.setPen(QColor(184, 214, 190));
    p.drawText(QRectF(36, 292, 300, 18), Qt::AlignLeft | Qt::AlignVCenter,
               "Onda cinemática  •  Equação IDF  •  Perda de solo");
    p.setFont(Fonte(12, true));
    p.setPen(Qt::white);
    p.drawText(QRectF(300, 292, 224, 18), Qt::AlignRight | Qt::AlignVCenter, "Versão 2.0");
    return t.Terminar();
}

QImage DesenharCabecalho(QSize tamanho) {
    TPrancheta t(tamanho, QSizeF(550, 67), QColor(18, 58, 46));
    QPainter& p = t.P;
    QLinearGradient fundo(0, 0, 550, 67);
    fundo.setColorAt(0, QColor(18, 58, 46));
    fundo.setColorAt(1, QColor(52, 110, 70));
    p.fillRect(QRectF(0, 0, 550, 67), fundo);
    // A seção típica numa moldura branca à esquerda.
    const QRectF moldura(8, 8, 161 * 51.0 / 48, 51);
    p.fillRect(moldura, Qt::white);
    p.drawImage(moldura.adjusted(2, 2, -2, -2), DesenharSecaoTransversal(1, QSize(322, 96)));
    const double x = moldura.right() + 16;
    p.setPen(Qt::white);
    p.setFont(Fonte(27, true));
    p.drawText(QRectF(x, 4, 360, 34), Qt::AlignLeft | Qt::AlignVCenter, "Morvendo");
    p.setPen(QColor(214, 236, 214));
    p.setFont(Fonte(11.5));
    p.drawText(QRectF(x + 1, 38, 370, 14), Qt::AlignLeft | Qt::AlignVCenter,
               "Drenagem superficial de estradas não pavimentadas");
    p.setFont(Fonte(10));
    p.setPen(QColor(184, 214, 190));
    p.drawText(QRectF(x + 1, 52, 370, 13), Qt::AlignLeft | Qt::AlignVCenter,
               "Espaçamento de desaguadouros e bacias de acumulação");
    return t.Terminar();
}

namespace {

bool Gravar(const QImage& imagem, const QString& caminho, const char* formato, int qualidade,
            QString* erro) {
    QSaveFile arquivo(caminho);
    if (arquivo.open(QIODevice::WriteOnly) && imagem.save(&arquivo, formato, qualidade) &&
        arquivo.commit())
        return true;
    if (erro) *erro = QString("Não foi possível gravar a figura \"%1\".").arg(caminho);
    return false;
}

} // namespace

bool GravarFigurasPrograma(const QString& pasta, QString* erro) {
    const QDir dir(pasta);
    if (!dir.mkpath("Figuras")) {
        if (erro)
            *erro = QString("Não foi possível criar a pasta \"%1\".").arg(dir.filePath("Figuras"));
        return false;
    }
    const QSize pequena(161, 48);
    return Gravar(DesenharCabecalho(), dir.filePath("Cabecalho.jpg"), "JPG", 95, erro) &&
           Gravar(DesenharAbertura(), dir.filePath("Figuras/Abertura.png"), "PNG", -1, erro) &&
           Gravar(DesenharCanalTrapezoidal(pequena), dir.filePath("Figuras/CanTrap.bmp"), "BMP", -1,
                  erro) &&
           Gravar(DesenharCanalTriangular(pequena), dir.filePath("Figuras/CanTri.bmp"), "BMP", -1,
                  erro) &&
           Gravar(DesenharSecaoTransversal(1), dir.filePath("Figuras/Secao1.bmp"), "BMP", -1,
                  erro) &&
           Gravar(DesenharSecaoTransversal(2), dir.filePath("Figuras/Secao2.bmp"), "BMP", -1,
                  erro) &&
           Gravar(DesenharSecaoTransversal(3), dir.filePath("Figuras/Secao3.bmp"), "BMP", -1, erro);
}
