#include "mainwindow/GraficosResultado.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLegend>
#include <QLineSeries>
#include <QLocale>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "mainwindow/RotinasComuns.h"
#include "project/Avisos.h"
#include "project/ConfUnidades.h"

TPainelGrafico::TPainelGrafico(const char* nome, QWidget* pai) : QWidget(pai) {
    setObjectName(QString::fromLatin1(nome));
    Vista = new QChartView;
    Vista->setObjectName(QStringLiteral("Vista"));
    Vista->setRenderHint(QPainter::Antialiasing);
    Vista->setMinimumSize(300, 220);

    auto acao = [this](const char* texto, const char* objeto) {
        auto* a = new QAction(QString::fromUtf8(texto), this);
        a->setObjectName(QString::fromLatin1(objeto));
        Vista->addAction(a);
        return a;
    };
    aSalvarPng = acao("Salvar como &PNG...", "aSalvarPng");
    aSalvarSvg = acao("Salvar como &SVG...", "aSalvarSvg");
    aCopiar = acao("&Copiar", "aCopiar");
    aCopiar->setShortcut(QKeySequence::Copy);
    aCopiar->setShortcutContext(Qt::WidgetShortcut);
    Vista->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(aCopiar, &QAction::triggered, this, [this] { Copiar(); });

    auto botao = [](const char* texto, const char* objeto, QAction* a) {
        auto* b = new QPushButton(QString::fromUtf8(texto));
        b->setObjectName(QString::fromLatin1(objeto));
        b->setToolTip(a->text().remove(QLatin1Char('&')));
        QObject::connect(b, &QPushButton::clicked, a, &QAction::trigger);
        return b;
    };
    bSalvarPng = botao("PNG...", "bSalvarPng", aSalvarPng);
    bSalvarSvg = botao("SVG...", "bSalvarSvg", aSalvarSvg);
    bCopiar = botao("Copiar", "bCopiar", aCopiar);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    for (QPushButton* b : {bSalvarPng, bSalvarSvg, bCopiar})
        botoes->addWidget(b);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(2, 2, 2, 2);
    v->addWidget(Vista, 1);
    v->addLayout(botoes);
}

void TPainelGrafico::Definir(QChart* grafico) {
    QChart* antigo = Vista->chart();
    Vista->setChart(grafico ? grafico : new QChart);
    delete antigo;
}

QChart* TPainelGrafico::Grafico() const {
    return Vista->chart();
}

QImage TPainelGrafico::Imagem() const {
    return Vista->grab().toImage();
}

QByteArray TPainelGrafico::Png() const {
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    Imagem().save(&b, "PNG");
    return bytes;
}

QByteArray TPainelGrafico::Svg() const {
    QByteArray bytes;
    QBuffer b(&bytes);
    QSvgGenerator g;
    g.setOutputDevice(&b);
    g.setSize(Vista->size());
    g.setViewBox(QRect(QPoint(), Vista->size()));
    QTextDocument titulo;
    titulo.setHtml(Grafico()->title());
    g.setTitle(titulo.toPlainText().section(QLatin1Char('\n'), 0, 0));
    g.setDescription(QStringLiteral("Morvendo"));
    QPainter p(&g);
    Vista->render(&p);
    p.end();
    return bytes;
}

void TPainelGrafico::Copiar() const {
    auto* dados = new QMimeData;
    dados->setImageData(Imagem());
    dados->setData(QStringLiteral("image/svg+xml"), Svg());
    QApplication::clipboard()->setMimeData(dados);
}

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Casas decimais dos rótulos de um eixo que vai até 'maximo'.
QString FormatoEixo(double maximo) {
    const int casas = maximo > 0 ? std::clamp(2 - int(std::floor(std::log10(maximo))), 0, 4) : 1;
    return QStringLiteral("%.%1f").arg(casas);
}

QValueAxis* Eixo(const QString& titulo, double minimo, double maximo) {
    auto* e = new QValueAxis;
    e->setTitleText(titulo);
    if (!(maximo > minimo)) maximo = minimo + 1;
    e->setRange(minimo, maximo);
    e->applyNiceNumbers();
    e->setLabelFormat(FormatoEixo(e->max()));
    return e;
}

QChart* NovoGrafico(const QString& titulo) {
    auto* g = new QChart;
    g->setTitle(titulo);
    // Os números dos eixos com o separador decimal da janela (a vírgula no pt_BR).
    g->setLocalizeNumbers(true);
    g->setLocale(QLocale());
    g->setBackgroundBrush(Qt::white);
    g->setDropShadowEnabled(false);
    g->legend()->setAlignment(Qt::AlignBottom);
    g->legend()->setShowToolTips(true);
    g->setMargins(QMargins(4, 4, 4, 4));
    return g;
}

QLineSeries* Linha(QChart* g, const QString& nome, QList<QPointF> pontos, const QPen& caneta,
                   QValueAxis* x, QValueAxis* y) {
    auto* s = new QLineSeries;
    s->setName(nome);
    s->replace(pontos);
    s->setPen(caneta);
    g->addSeries(s);
    s->attachAxis(x);
    s->attachAxis(y);
    return s;
}

QPen Tracejada(const QColor& cor) {
    QPen p(cor, 1.5);
    p.setStyle(Qt::DashLine);
    return p;
}

int Comprimento(const TResultadoEspacamento& r) {
    return r.Secoes.empty() ? 1 : std::max(1, r.Secoes.back().Secao);
}

const QColor AZUL(31, 90, 170), VERMELHO(200, 30, 30), VERDE(30, 130, 60), LARANJA(230, 120, 0);

} // namespace

QChart* GraficoPerdaSolo(const TResultadoEspacamento& r) {
    QChart* g = NovoGrafico(
        QStringLiteral("Perda de solo ao longo do canal<br><small>perda tolerável %1 g/cm², "
                       "%2</small>")
            .arg(FormatarQ("0.0##", r.PerdaToleravel),
                 r.NenhumEspacamento
                     ? QStringLiteral("nenhum espaçamento atende")
                     : QStringLiteral("espaçamento máximo %1 m").arg(r.Espacamento)));
    const int comprimento = Comprimento(r);
    double maximo = r.PerdaToleravel;
    QList<QPointF> perda;
    perda.reserve(qsizetype(r.Secoes.size()));
    for (const TLinhaSecao& l : r.Secoes) {
        perda.append({double(l.Secao), l.Perda});
        maximo = std::max(maximo, l.Perda);
    }
    auto* x = Eixo(QStringLiteral("Distância ao início do canal (m)"), 0, comprimento);
    auto* y = Eixo(QStringLiteral("Perda de solo (g/cm²)"), 0, maximo * 1.05);
    g->addAxis(x, Qt::AlignBottom);
    g->addAxis(y, Qt::AlignLeft);
    Linha(g, QStringLiteral("Estimada"), perda, QPen(AZUL, 2), x, y);
    Linha(g, QStringLiteral("Tolerável"),
          {{0, r.PerdaToleravel}, {double(comprimento), r.PerdaToleravel}}, Tracejada(VERMELHO), x,
          y);
    if (!r.NenhumEspacamento)
        Linha(g, QStringLiteral("Espaçamento"),
              {{double(r.Espacamento), 0}, {double(r.Espacamento), y->max()}}, QPen(VERDE, 2), x,
              y);
    // As seções que passam da tolerável e ainda assim ficam dentro do espaçamento.
    QList<QPointF> acima;
    for (const TFaixaAcimaDaToleravel& f :
         FaixasAcimaDaToleravel(r.Secoes, r.PerdaToleravel, r.Espacamento))
        for (const TLinhaSecao& l : r.Secoes)
            if (l.Secao >= f.Inicio && l.Secao <= f.Fim) acima.append({double(l.Secao), l.Perda});
    if (!acima.isEmpty()) {
        auto* s = new QScatterSeries;
        s->setName(QStringLiteral("Acima da tolerável"));
        s->setMarkerSize(7);
        s->setColor(LARANJA);
        s->setBorderColor(LARANJA.darker(130));
        s->replace(acima);
        g->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    }
    return g;
}

QChart* GraficoTensaoLamina(const TCanalEstrada& e, const TResultadoEspacamento& r,
                            const TUnidades& u) {
    QChart* g = NovoGrafico(
        QStringLiteral("Tensão cisalhante e lâmina ao longo do canal<br><small>declividade %1 "
                       "%2, tensão crítica %3 Pa</small>")
            .arg(FormatarQ("0.0##", e.Sc * u.FatorDeclividade), Q(u.UnidadeDeclividade),
                 FormatarQ("0.0##", e.TalCritica)));
    const int comprimento = Comprimento(r);
    double maxTensao = e.TalCritica, maxLamina = 0;
    QList<QPointF> tensao, lamina;
    tensao.reserve(qsizetype(r.Secoes.size()));
    lamina.reserve(qsizetype(r.Secoes.size()));
    for (const TLinhaSecao& l : r.Secoes) {
        tensao.append({double(l.Secao), l.Tensao});
        lamina.append({double(l.Secao), l.Lamina});
        maxTensao = std::max(maxTensao, l.Tensao);
        maxLamina = std::max(maxLamina, l.Lamina);
    }
    auto* x = Eixo(QStringLiteral("Distância ao início do canal (m)"), 0, comprimento);
    auto* yt = Eixo(QStringLiteral("Tensão cisalhante máxima (Pa)"), 0, maxTensao * 1.05);
    auto* yl = Eixo(QStringLiteral("Lâmina (cm)"), 0, maxLamina * 1.05);
    yt->setLinePenColor(VERMELHO);
    yl->setLinePenColor(AZUL);
    g->addAxis(x, Qt::AlignBottom);
    g->addAxis(yt, Qt::AlignLeft);
    g->addAxis(yl, Qt::AlignRight);
    Linha(g, QStringLiteral("Tensão"), tensao, QPen(VERMELHO, 2), x, yt);
    Linha(g, QStringLiteral("Lâmina"), lamina, QPen(AZUL, 2), x, yl);
    Linha(g, QStringLiteral("Tensão crítica"),
          {{0, e.TalCritica}, {double(comprimento), e.TalCritica}}, Tracejada(VERMELHO), x, yt);
    if (!r.NenhumEspacamento)
        Linha(g, QStringLiteral("Espaçamento"),
              {{double(r.Espacamento), 0}, {double(r.Espacamento), yt->max()}}, QPen(VERDE, 2), x,
              yt);
    return g;
}

QChart* GraficoHidrogramas(const std::vector<TSerieHidrograma>& series) {
    // A chuva de cada curva no título: as que vêm da mesma chuva numa linha só.
    QStringList chuvas;
    for (std::size_t i = 0; i < series.size(); ++i) {
        QString nomes = Q(series[i].NomeCurto);
        bool repetida = false;
        for (std::size_t k = 0; k < i; ++k)
            repetida |= series[k].Chuva == series[i].Chuva;
        if (repetida) continue;
        for (std::size_t k = i + 1; k < series.size(); ++k)
            if (series[k].Chuva == series[i].Chuva)
                nomes += QStringLiteral(" e ") + Q(series[k].NomeCurto).toLower();
        chuvas << nomes + QStringLiteral(": ") + Q(series[i].ChuvaCurta);
    }
    const bool comCanal = std::any_of(series.begin(), series.end(),
                                      [](const TSerieHidrograma& s) { return !s.PorMetro; });
    if (!comCanal) chuvas << QStringLiteral("Desaguadouro: só com a bacia de acumulação calculada");
    QString titulo = QStringLiteral("Hidrogramas");
    for (const QString& c : chuvas)
        titulo += QStringLiteral("<br><small>%1</small>").arg(c.toHtmlEscaped());
    QChart* g = NovoGrafico(titulo);

    double maxTempo = 0, maxEncosta = 0, maxCanal = 0;
    for (const TSerieHidrograma& s : series)
        for (const TPontoHidrograma& p : *s.Pontos) {
            maxTempo = std::max(maxTempo, p.Tempo);
            (s.PorMetro ? maxEncosta : maxCanal) =
                std::max(s.PorMetro ? maxEncosta : maxCanal, p.Vazao);
        }
    auto* x = Eixo(QStringLiteral("Tempo (min)"), 0, maxTempo);
    auto* ye = Eixo(QStringLiteral("Vazão das encostas (L/s/m)"), 0, maxEncosta * 1.05);
    g->addAxis(x, Qt::AlignBottom);
    g->addAxis(ye, Qt::AlignLeft);
    QValueAxis* yc = nullptr;
    if (comCanal) {
        yc = Eixo(QStringLiteral("Vazão no desaguadouro (L/s)"), 0, maxCanal * 1.05);
        g->addAxis(yc, Qt::AlignRight);
    }
    const QColor cores[] = {AZUL, LARANJA, VERDE};
    int k = 0;
    for (const TSerieHidrograma& s : series) {
        QList<QPointF> pontos;
        pontos.reserve(qsizetype(s.Pontos->size()));
        for (const TPontoHidrograma& p : *s.Pontos)
            pontos.append({p.Tempo, p.Vazao});
        Linha(g, Q(s.NomeCurto), pontos, QPen(cores[k++ % 3], 2), x, s.PorMetro ? ye : yc);
    }
    return g;
}
