#include "idf/ui/DialogoRelatorioConsulta.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

namespace {

QString Celula(const QString& rotulo, const QString& valor) {
    return QStringLiteral("<TD>") + QStringLiteral("&nbsp;").repeated(8) + QStringLiteral("<B>") +
           rotulo + QStringLiteral("</B>") + valor.toHtmlEscaped() + QStringLiteral("</TD>");
}

} // namespace

QImage MapaMarcado(const QImage& mapa, int x, int y) {
    QImage marcado = mapa.convertToFormat(QImage::Format_RGB32);
    QPainter p(&marcado);
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    p.drawEllipse(QRect(x - 3, y - 3, 6, 6));
    return marcado;
}

QString DocumentoRelatorioConsulta(const TDadosRelatorioConsulta& d, const QString& cabecalho,
                                   const QString& data) {
    const QString& t = TituloRelatorioConsulta;
    QString h;
    h += QStringLiteral("<HTML><HEAD><TITLE>") + t + QStringLiteral("</TITLE></HEAD>");
    h += QStringLiteral("<FONT FACE=\"Arial\"><FONT COLOR=\"#000099\"><FONT SIZE=-2>Data de "
                        "emissão do relatório: ") +
         data.toHtmlEscaped() + QStringLiteral("</FONT></FONT></FONT><P>");
    h += QStringLiteral("<CENTER><IMG SRC=\"") + cabecalho.toHtmlEscaped() +
         QStringLiteral("\" HEIGHT=73 WIDTH=550></CENTER>");
    h += QStringLiteral("<HR><BODY TEXT=\"#000000\" BGCOLOR=\"#FFFFFF\" LINK=\"#0000FF\" "
                        "VLINK=\"#800080\" ALINK=\"#FF0000\">");
    h += QStringLiteral("<CENTER><FONT FACE=\"Arial\"><FONT SIZE=+1><B>RELATÓRIO</B></FONT>"
                        "</FONT></CENTER><CENTER><FONT FACE=\"Arial\"><FONT SIZE=3><B>") +
         t + QStringLiteral("</B></FONT></FONT></CENTER><HR><P>");
    h += QStringLiteral("<FONT SIZE=3><B>LOCALIZAÇÃO:</B></FONT><TABLE CELLPADDING=3><TR>");
    h += Celula(QStringLiteral("Localidade: "), d.Localidade) +
         Celula(QStringLiteral("Estado: "), d.Estado) + QStringLiteral("</TR><TR>");
    h += Celula(QStringLiteral("Latitude: "), d.Latitude) + QStringLiteral("</TR><TR>");
    h += Celula(QStringLiteral("Longitude: "), d.Longitude) + QStringLiteral("</TR></TABLE><P><P>");
    h += QStringLiteral(
        "<FONT SIZE=3><B>PARÂMETROS DA EQUAÇÃO:</B></FONT><TABLE CELLPADDING=3><TR>");
    h += Celula(QStringLiteral("K: "), d.K) + QStringLiteral("</TR><TR>");
    h += Celula(QStringLiteral("a: "), d.A) + QStringLiteral("</TR><TR>");
    h += Celula(QStringLiteral("b: "), d.B) + QStringLiteral("</TR><TR>");
    h += Celula(QStringLiteral("c: "), d.C) + QStringLiteral("</TABLE><P><P>");
    // De que estações vieram os parâmetros de um ponto, a que distância e com que peso.
    if (!d.Origem.isEmpty())
        h += QStringLiteral("<FONT SIZE=3><B>ORIGEM DOS PARÂMETROS:</B></FONT><P>") +
             d.Origem.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<BR>")) +
             QStringLiteral("<P><P>");
    if (d.ComMapa) {
        h += QStringLiteral("<FONT SIZE=3><B>MAPA DE LOCALIZAÇÃO:</B></FONT>"
                            "<TABLE CELLPADDING=3><TR><TD>");
        h += QStringLiteral("<CENTER><IMG SRC=\"") + NomeMapaMarcado +
             QStringLiteral("\" HEIGHT=") + QString::number(d.Mapa.height()).left(4) +
             QStringLiteral(" WIDTH=") + QString::number(d.Mapa.width()).left(4) +
             QStringLiteral("></CENTER>");
        h += QStringLiteral("</TD></TR></TABLE></TD>");
    }
    h += QStringLiteral("</BODY></HTML>");
    return h;
}

void ImprimirDocumento(const QTextDocument& documento, QPrinter& impressora) {
    impressora.setFullPage(false);
    impressora.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    // Paginado na resolução da tela e ampliado para a página: as figuras mantêm o tamanho
    // relativo ao texto e a margem é só a da impressora.
    std::unique_ptr<QTextDocument> copia(documento.clone());
    const QScreen* tela = QGuiApplication::primaryScreen();
    const qreal dpi = tela ? tela->logicalDotsPerInchX() : 96.0;
    const QRectF pagina = impressora.pageRect(QPrinter::Inch);
    copia->setPageSize(QSizeF(pagina.width() * dpi, pagina.height() * dpi));
    copia->print(&impressora);
}

TDialogoRelatorioConsulta::TDialogoRelatorioConsulta(std::function<TDadosRelatorioConsulta()> dados,
                                                     const TAmbienteConsulta& ambiente,
                                                     QWidget* pai)
    : QDialog(pai), FDados(std::move(dados)), FAmbiente(ambiente) {
    setObjectName("DialogoRelatorioConsulta");
    setWindowTitle(QStringLiteral("Relatório - ") + TituloRelatorioConsulta);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(0, 0, 0, 0);
    raiz->setSpacing(0);
    auto* barra = new QToolBar(this);
    barra->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto botao = [&](const QString& texto, const QString& dica, const QIcon& icone,
                     const char* nome) {
        auto* b = new QToolButton(barra);
        b->setObjectName(nome);
        b->setText(texto);
        b->setToolTip(dica);
        b->setIcon(icone);
        b->setAutoRaise(true);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setMinimumSize(48, 36);
        barra->addWidget(b);
        return b;
    };
    btnImprimir = botao(QStringLiteral("&Imprimir"), QStringLiteral("Imprimir"),
                        QIcon::fromTheme(QStringLiteral("document-print"),
                                         style()->standardIcon(QStyle::SP_FileIcon)),
                        "btnImprimir");
    BFechar = botao(QStringLiteral("Fechar"), QStringLiteral("Fechar"),
                    QIcon::fromTheme(QStringLiteral("window-close"),
                                     style()->standardIcon(QStyle::SP_DialogCloseButton)),
                    "BFechar");
    raiz->addWidget(barra);

    Viewer = new QTextBrowser(this);
    Viewer->setObjectName("Viewer");
    Viewer->setOpenLinks(false);
    Viewer->setOpenExternalLinks(false);
    Viewer->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPalette p = Viewer->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    Viewer->setPalette(p);
    QFont fonte(QStringLiteral("Times New Roman"));
    fonte.setStyleHint(QFont::Serif);
    Viewer->document()->setDefaultFont(fonte);
    raiz->addWidget(Viewer);

    connect(btnImprimir, &QToolButton::clicked, this, [this] { ImprimirClick(); });
    // O atalho de imprimir da plataforma, além do Alt da legenda.
    auto* imprimir = new QShortcut(QKeySequence::Print, this);
    connect(imprimir, &QShortcut::activated, btnImprimir, &QToolButton::click);
    connect(BFechar, &QToolButton::clicked, this, &QDialog::accept);

    if (const QScreen* tela = screen()) {
        const QSize s = tela->availableGeometry().size();
        setMaximumSize(s);
        setMinimumSize(qRound(0.8 * s.width()), qRound(0.8 * s.height()));
        move(tela->availableGeometry().center() - rect().center());
    }
    setWindowState(Qt::WindowMaximized);
}

TDialogoRelatorioConsulta::~TDialogoRelatorioConsulta() {
    if (!FArquivoMapa.isEmpty()) QFile::remove(FArquivoMapa);
}

void TDialogoRelatorioConsulta::FormActivate() {
    const TDadosRelatorioConsulta d = FDados();
    const QString cabecalho = FAmbiente.Arquivo(QStringLiteral("CabecalhoConsulta.jpg"));
    const QString data = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);

    auto* doc = new QTextDocument(Viewer);
    QFont fonte(QStringLiteral("Times New Roman"));
    fonte.setStyleHint(QFont::Serif);
    doc->setDefaultFont(fonte);
    // As figuras vão para o documento direto: a vista e a impressão não dependem de reler
    // os arquivos nem do diretório atual.
    const QImage figuraCabecalho(cabecalho);
    if (!figuraCabecalho.isNull())
        doc->addResource(QTextDocument::ImageResource, QUrl(cabecalho), figuraCabecalho);
    if (d.ComMapa) {
        const QImage marcado = MapaMarcado(d.Mapa, d.X, d.Y);
        const QString arquivo = QDir::current().absoluteFilePath(NomeMapaMarcado);
        // Gravado por arquivo temporário e troca de nome: nunca meio gravado, e um link com
        // esse nome é substituído, não seguido.
        QSaveFile f(arquivo);
        if (f.open(QIODevice::WriteOnly) && marcado.save(&f, "BMP") && f.commit())
            FArquivoMapa = arquivo;
        doc->addResource(QTextDocument::ImageResource, QUrl(NomeMapaMarcado), marcado);
    }
    doc->setHtml(DocumentoRelatorioConsulta(d, cabecalho, data));
    // O documento inicial é da vista e some com a troca; os seguintes são filhos da vista.
    const QPointer<QTextDocument> antigo = Viewer->document();
    Viewer->setDocument(doc);
    if (antigo && antigo->parent() == Viewer) antigo->deleteLater();
}

void TDialogoRelatorioConsulta::ImprimirClick() {
    QPrinter impressora(QPrinter::HighResolution);
    QPrintDialog dialogo(&impressora, this);
    dialogo.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialogo.exec() != QDialog::Accepted) return;
    if (impressora.printRange() != QPrinter::PageRange) impressora.setFromTo(0, 0);
    ImprimirDocumento(*Viewer->document(), impressora);
}

void TDialogoRelatorioConsulta::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

void TDialogoRelatorioConsulta::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && isVisible()) FormActivate();
    // Restaurada, a janela volta ao centro da tela.
    if (e->type() == QEvent::WindowStateChange && !(windowState() & Qt::WindowMaximized))
        if (const QScreen* tela = screen())
            move(tela->availableGeometry().center() - rect().center());
}
