#include "reports/ui/RelatorioEstradaUi.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDate>
#include <QGuiApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QSvgRenderer>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <cmath>
#include <memory>

#include "comum/Win1252.h"

namespace {

// Cursor de espera enquanto vive, restaurado também quando sai por erro.
struct TCursorEspera {
    TCursorEspera() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TCursorEspera() { QApplication::restoreOverrideCursor(); }
};

QToolButton* BotaoBarra(const QString& texto, const QString& dica, const QIcon& icone) {
    auto* b = new QToolButton;
    b->setText(texto);
    b->setToolTip(dica);
    b->setStatusTip(dica);
    b->setIcon(icone);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setMinimumSize(48, 36);
    return b;
}

// Percentuais de uma linha que somam mais de 100 são reduzidos na proporção.
QString NormalizarPercentuais(const QString& linha) {
    static const QRegularExpression pct(R"re(<td width="(\d+)%")re");
    int soma = 0;
    for (auto it = pct.globalMatch(linha); it.hasNext();)
        soma += it.next().captured(1).toInt();
    if (soma <= 100) return linha;
    QString r;
    qsizetype fim = 0;
    for (auto it = pct.globalMatch(linha); it.hasNext();) {
        const auto m = it.next();
        r += linha.mid(fim, m.capturedStart() - fim);
        r += QString("<td width=\"%1%\"").arg(std::lround(m.captured(1).toInt() * 100.0 / soma));
        fim = m.capturedEnd();
    }
    return r + linha.mid(fim);
}

} // namespace

QString GraficosComoImagens(const QString& html, QList<QPair<QUrl, QImage>>& imagens) {
    // O motor de texto do Qt não desenha SVG embutido: cada gráfico vira uma imagem com o
    // mesmo desenho, em resolução bastante para a impressão.
    static const QRegularExpression svg(R"re(<svg\b.*?</svg>)re",
                                        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression largura(R"re(^<svg[^>]*\bwidth="(\d+)")re");
    static const QRegularExpression altura(R"re(^<svg[^>]*\bheight="(\d+)")re");
    constexpr int escala = 3; // cerca de 300 dpi na largura de uma folha A4
    QString r;
    qsizetype fim = 0;
    for (auto it = svg.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const QString texto = m.captured(0);
        const int w = largura.match(texto).captured(1).toInt();
        const int h = altura.match(texto).captured(1).toInt();
        QSvgRenderer desenho(texto.toUtf8());
        r += html.mid(fim, m.capturedStart() - fim);
        fim = m.capturedEnd();
        if (!desenho.isValid() || w <= 0 || h <= 0) continue;
        QImage imagem(w * escala, h * escala, QImage::Format_RGB32);
        imagem.fill(Qt::white);
        {
            QPainter p(&imagem);
            p.setRenderHint(QPainter::Antialiasing);
            desenho.render(&p);
        }
        const QUrl url(QString("morvendo-grafico:%1").arg(imagens.size() + 1));
        imagens.append({url, imagem});
        r += QString("<img src=\"%1\" width=\"%2\" height=\"%3\">")
                 .arg(url.toString())
                 .arg(w)
                 .arg(h);
    }
    return r + html.mid(fim);
}

QString AdaptarHtmlAoQt(const QString& html) {
    // Tabela das seções: larguras em pixels que somam mais que a largura da tabela. Um
    // navegador as reduz na proporção; o Qt as toma como fixas e alarga a tabela.
    static const QRegularExpression celula(R"re(<td align="center" width="(\d+)">)re");
    int soma = 0, n = 0;
    for (auto it = celula.globalMatch(html); it.hasNext() && n < 10; ++n)
        soma += it.next().captured(1).toInt();
    QString r;
    qsizetype fim = 0;
    for (auto it = celula.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        r += html.mid(fim, m.capturedStart() - fim);
        r += QString("<td align=\"center\" width=\"%1%\">")
                 .arg(m.captured(1).toInt() * 100.0 / std::max(1, soma), 0, 'f', 2);
        fim = m.capturedEnd();
    }
    r += html.mid(fim);
    // Linhas internas (sem outra linha dentro) com percentuais acima de 100.
    static const QRegularExpression linha(R"re(<tr>((?:(?!<tr>).)*?)</tr>)re");
    QString final;
    fim = 0;
    for (auto it = linha.globalMatch(r); it.hasNext();) {
        const auto m = it.next();
        final += r.mid(fim, m.capturedStart() - fim) + NormalizarPercentuais(m.captured(0));
        fim = m.capturedEnd();
    }
    return final + r.mid(fim);
}

TJanelaRelatorioEstrada::TJanelaRelatorioEstrada(std::string documento, QWidget* parent)
    : QDialog(parent), FDocumento(std::move(documento)) {
    setWindowTitle("Morvendo 2.0 - relatório");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    if (const QScreen* tela = QGuiApplication::primaryScreen()) {
        const QSize s = tela->size();
        setMaximumSize(s);
        setMinimumSize(int(std::lround(s.width() * 0.75)), int(std::lround(s.height() * 0.75)));
    }

    btnImprimir = BotaoBarra(
        "&Imprimir", "Imprime texto",
        QIcon::fromTheme("document-print", style()->standardIcon(QStyle::SP_DialogSaveButton)));
    btnImprimir->setObjectName("btnImprimir");
    BFechar = BotaoBarra(
        "Fechar", "Fecha texto ativo",
        QIcon::fromTheme("window-close", style()->standardIcon(QStyle::SP_DialogCloseButton)));
    BFechar->setObjectName("BFechar");
    auto* barra = new QToolBar;
    barra->addWidget(btnImprimir);
    barra->addWidget(BFechar);

    visualizador = new QTextBrowser;
    visualizador->setObjectName("visualizador");
    visualizador->setOpenLinks(false);
    visualizador->setFrameShape(QFrame::Box);
    visualizador->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPalette branco = visualizador->palette();
    branco.setColor(QPalette::Base, Qt::white);
    branco.setColor(QPalette::Text, Qt::black);
    visualizador->setPalette(branco);
    // A mesma família do documento, que a numeração das páginas também usa.
    QFont fonte("Arial");
    fonte.setStyleHint(QFont::SansSerif);
    visualizador->document()->setDefaultFont(fonte);
    // O texto pré-formatado sai em Arial.
    visualizador->document()->setDefaultStyleSheet("pre { font-family: Arial, sans-serif; }");

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->addWidget(barra);
    l->addWidget(visualizador, 1);

    connect(btnImprimir, &QToolButton::clicked, this, &TJanelaRelatorioEstrada::ImprimirClick);
    // O atalho de imprimir da plataforma, além do Alt da legenda.
    auto* imprimir = new QShortcut(QKeySequence::Print, this);
    connect(imprimir, &QShortcut::activated, btnImprimir, &QToolButton::click);
    connect(BFechar, &QToolButton::clicked, this, &TJanelaRelatorioEstrada::close);
    setWindowState(Qt::WindowMaximized);
}

void TJanelaRelatorioEstrada::CarregarDocumento() {
    if (FCarregado) return;
    FCarregado = true;
    const QString html = GraficosComoImagens(
        AdaptarHtmlAoQt(QString::fromStdString(win1252::ParaUtf8(FDocumento))), FGraficos);
    visualizador->setHtml(html);
    PorGraficos(visualizador->document());
    // O documento não é mais necessário depois de carregado.
    std::string().swap(FDocumento);
}

void TJanelaRelatorioEstrada::PorGraficos(QTextDocument* doc) const {
    for (const auto& [url, imagem] : FGraficos)
        doc->addResource(QTextDocument::ImageResource, url, imagem);
}

void TJanelaRelatorioEstrada::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    CarregarDocumento();
}

void TJanelaRelatorioEstrada::changeEvent(QEvent* evento) {
    QDialog::changeEvent(evento);
    if (evento->type() != QEvent::WindowStateChange) return;
    const auto* e = static_cast<QWindowStateChangeEvent*>(evento);
    // Restaurada depois de maximizada: volta centrada na tela.
    if ((e->oldState() & Qt::WindowMaximized) && !(windowState() & Qt::WindowMaximized))
        if (const QScreen* tela = screen()) {
            const QRect r = tela->geometry();
            move(r.x() + int(std::lround((r.width() - width()) / 2.0)),
                 r.y() + int(std::lround((r.height() - height()) / 2.0)));
        }
}

void TJanelaRelatorioEstrada::ImprimirClick() {
    QPrinter impressora(QPrinter::HighResolution);
    QPrintDialog dialogo(&impressora, this);
    dialogo.setOption(QAbstractPrintDialog::PrintPageRange);
    dialogo.setOption(QAbstractPrintDialog::PrintSelection,
                      visualizador->textCursor().hasSelection());
    if (dialogo.exec() != QDialog::Accepted) return;
    Imprimir(impressora);
}

void TJanelaRelatorioEstrada::Imprimir(QPrinter& impressora) {
    CarregarDocumento();
    TCursorEspera espera;
    impressora.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    std::unique_ptr<QTextDocument> doc;
    if (impressora.printRange() == QPrinter::Selection &&
        visualizador->textCursor().hasSelection()) {
        doc = std::make_unique<QTextDocument>();
        doc->setDefaultFont(visualizador->document()->defaultFont());
        QTextCursor(doc.get()).insertFragment(visualizador->textCursor().selection());
    } else {
        doc.reset(visualizador->document()->clone());
    }
    PorGraficos(doc.get());
    QPainter p;
    if (!p.begin(&impressora)) return;

    // O documento é diagramado na resolução da impressora; as tabelas de largura fixa são
    // mais largas que uma folha A4 com margens de 2 cm, então a página inteira é reduzida até
    // caber, em vez de cortar as colunas da direita.
    doc->documentLayout()->setPaintDevice(&impressora);
    const QRectF area = impressora.pageLayout().paintRectPixels(impressora.resolution());
    const double rodape = impressora.resolution() * 0.25; // número da página
    const QSizeF util(area.width(), area.height() - rodape);
    doc->setPageSize(util);
    const double escala = std::min(1.0, util.width() / std::max(1.0, doc->idealWidth()));
    const QSizeF pagina(util.width() / escala, util.height() / escala);
    doc->setPageSize(pagina);

    const int total = doc->pageCount();
    int de = 1, ate = 9999;
    if (impressora.printRange() != QPrinter::Selection && impressora.fromPage() > 0) {
        de = impressora.fromPage();
        ate = impressora.toPage() > 0 ? impressora.toPage() : 9999;
    }
    ate = std::min(ate, total);
    QFont fonteRodape = doc->defaultFont();
    fonteRodape.setPointSizeF(8);
    for (int n = de; n <= ate; ++n) {
        if (n > de) impressora.newPage();
        p.save();
        p.scale(escala, escala);
        p.translate(0, -(n - 1) * pagina.height());
        QAbstractTextDocumentLayout::PaintContext contexto;
        contexto.clip = QRectF(0, (n - 1) * pagina.height(), pagina.width(), pagina.height());
        p.setClipRect(contexto.clip);
        doc->documentLayout()->draw(&p, contexto);
        p.restore();
        p.setFont(QFont(fonteRodape, &impressora));
        p.drawText(QRectF(0, util.height(), util.width(), rodape), Qt::AlignRight | Qt::AlignBottom,
                   QString("Página %1 de %2").arg(n).arg(total));
    }
}

TOpcoesRelatorioEstrada OpcoesRelatorioDoPrograma() {
    TOpcoesRelatorioEstrada o;
    o.PastaPrograma = (QCoreApplication::applicationDirPath() + "/").toStdString();
    o.Data = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
    return o;
}

bool MostrarRelatorio(const TProjeto& projeto, const TResultadoCalculo& resultado, QWidget* pai,
                      const TResultadoProtecao* protecao) {
    std::string documento;
    {
        TCursorEspera espera;
        TOpcoesRelatorioEstrada opcoes = OpcoesRelatorioDoPrograma();
        opcoes.Protecao = protecao;
        if (!GerarRelatorio(projeto, resultado, opcoes, documento)) return false;
    }
    TJanelaRelatorioEstrada janela(std::move(documento), pai);
    janela.exec();
    return true;
}
