#include "mainwindow/estudos/Tabelas.h"

#include <QApplication>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSplitter>
#include <QTextDocument>
#include <QVBoxLayout>

#include "comum/ArquivoIni.h"
#include "mainwindow/Controles.h"
#include "mainwindow/RotinasComuns.h"

QVariant TModeloTexto::data(const QModelIndex& i, int papel) const {
    if (!i.isValid()) return {};
    if (papel == Qt::DisplayRole) return Texto(i.row(), i.column(), SeparadorDecimal(), false);
    if (papel == Qt::TextAlignmentRole)
        return int((i.column() == 0 || (Falhou(i.row()) && i.column() >= ColunaMensagem())
                        ? Qt::AlignLeft
                        : Qt::AlignRight) |
                   Qt::AlignVCenter);
    if (papel == Qt::ForegroundRole && Falhou(i.row())) return QColor(170, 0, 0);
    return {};
}

namespace {

// Títulos longos em linhas curtas, para que as colunas fiquem da largura dos números.
QString Quebrar(const QString& titulo) {
    QStringList linhas;
    for (const QString& p : titulo.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!linhas.isEmpty() && linhas.back().size() + 1 + p.size() <= 16)
            linhas.back() += QLatin1Char(' ') + p;
        else
            linhas << p;
    }
    return linhas.join(QLatin1Char('\n'));
}

} // namespace

QVariant TModeloTexto::headerData(int secao, Qt::Orientation o, int papel) const {
    if (o == Qt::Horizontal && papel == Qt::DisplayRole) return Quebrar(Titulo(secao));
    if (o == Qt::Vertical && papel == Qt::DisplayRole) return secao + 1;
    return {};
}

QString TextoDaTabela(const TModeloTexto& m, const QList<int>& linhas, QChar separador,
                      char separadorDecimal, bool completo) {
    auto limpo = [&](QString t) {
        // Quebras dos títulos e separadores dentro de um campo viram espaços.
        t.replace(QLatin1Char('\n'), QLatin1Char(' '));
        t.replace(separador, QLatin1Char(' '));
        return t;
    };
    QStringList saida, campos;
    for (int c = 0; c < m.columnCount(); ++c)
        campos << limpo(m.Titulo(c));
    saida << campos.join(separador);
    QList<int> escolhidas = linhas;
    if (escolhidas.isEmpty())
        for (int l = 0; l < m.rowCount(); ++l)
            escolhidas << l;
    for (int l : escolhidas) {
        campos.clear();
        for (int c = 0; c < m.columnCount(); ++c)
            campos << limpo(m.Texto(l, c, separadorDecimal, completo));
        saida << campos.join(separador);
    }
    return saida.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QByteArray CsvDaTabela(const TModeloTexto& modelo) {
    QString texto = TextoDaTabela(modelo, {}, QLatin1Char(';'), ',', true);
    texto.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return QByteArray("\xEF\xBB\xBF") + texto.toUtf8();
}

void GravarCsv(const QString& caminho, const QByteArray& conteudo) {
    GravarArquivoAtomico(caminho.toStdString(), std::string_view(conteudo.data(), conteudo.size()));
}

TTabelaResultados::TTabelaResultados(const char* nome, QWidget* pai) : QTableView(pai) {
    setObjectName(QString::fromLatin1(nome));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
}

void TTabelaResultados::setModel(QAbstractItemModel* modelo) {
    QTableView::setModel(modelo);
    connect(modelo, &QAbstractItemModel::modelReset, this, &TTabelaResultados::AjustarLinhas);
}

void TTabelaResultados::AjustarLinhas() {
    clearSpans();
    const auto* m = dynamic_cast<const TModeloTexto*>(model());
    if (!m) return;
    for (int l = 0; l < m->rowCount(); ++l)
        if (m->Falhou(l))
            setSpan(l, m->ColunaMensagem(), 1, m->columnCount() - m->ColunaMensagem());
    resizeColumnsToContents();
}

void TTabelaResultados::Copiar() {
    const auto* m = dynamic_cast<const TModeloTexto*>(model());
    if (!m) return;
    QList<int> linhas;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        linhas << i.row();
    std::sort(linhas.begin(), linhas.end());
    QApplication::clipboard()->setText(
        TextoDaTabela(*m, linhas, QLatin1Char('\t'), SeparadorDecimal(), false));
}

void TTabelaResultados::keyPressEvent(QKeyEvent* evento) {
    if (evento->matches(QKeySequence::Copy)) {
        Copiar();
        evento->accept();
        return;
    }
    QTableView::keyPressEvent(evento);
}

void ImprimirHtml(QWidget* pai, QPrinter& impressora, const QString& titulo, const QString& html,
                  const QImage& figura) {
    QPrintPreviewDialog dialogo(&impressora, pai);
    dialogo.setWindowTitle(titulo);
    QObject::connect(&dialogo, &QPrintPreviewDialog::paintRequested, [&](QPrinter* p) {
        p->setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        QTextDocument doc;
        doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("figura:grafico")),
                        figura);
        doc.setHtml(html);
        doc.print(p);
    });
    dialogo.exec();
}

QSplitter* GraficoETabela(QComboBox* escolha, QChartView* grafico, QTableView* tabela,
                          int esticarGrafico, int esticarTabela) {
    auto* esquerda = new QWidget;
    auto* ve = new QVBoxLayout(esquerda);
    ve->setContentsMargins(0, 0, 0, 0);
    auto* hg = new QHBoxLayout;
    hg->addWidget(Rotulo("Traçar"));
    hg->addWidget(escolha, 1);
    ve->addLayout(hg);
    ve->addWidget(grafico, 1);
    auto* divisor = new QSplitter(Qt::Horizontal);
    divisor->addWidget(esquerda);
    divisor->addWidget(tabela);
    divisor->setStretchFactor(0, esticarGrafico);
    divisor->setStretchFactor(1, esticarTabela);
    return divisor;
}

QImage ImagemDoGrafico(QChartView* grafico, QSize tamanho) {
    QImage imagem(tamanho, QImage::Format_ARGB32);
    imagem.fill(Qt::white);
    QPainter p(&imagem);
    p.setRenderHint(QPainter::Antialiasing);
    grafico->render(&p, QRectF(QPointF(0, 0), tamanho));
    return imagem;
}

QString HtmlImpressaoDeEstudo(const QString& titulo, const std::string& projeto,
                              const QString& rotulo, const QString& valor, const QString& situacao,
                              const TModeloTexto& tabela, char sep) {
    const QString nome = QString::fromStdString(projeto);
    QString h = QStringLiteral("<html><body><h2>%1</h2>").arg(Html(titulo));
    h += QStringLiteral("<p>Projeto: <b>%1</b><br>%2: <b>%3</b><br>%4</p>")
             .arg(Html(nome.isEmpty() ? QStringLiteral("(sem nome)") : nome), Html(rotulo),
                  Html(valor), Html(situacao));
    h += QStringLiteral("<p><img src=\"figura:grafico\" width=\"560\"></p>");
    h += HtmlDaTabela(tabela, sep);
    return h + QStringLiteral("</body></html>");
}

QString HtmlDaTabela(const TModeloTexto& m, char sep) {
    QString h = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr>");
    for (int c = 0; c < m.columnCount(); ++c)
        h += QStringLiteral("<th>%1</th>").arg(Html(m.Titulo(c)));
    h += QStringLiteral("</tr>");
    for (int l = 0; l < m.rowCount(); ++l) {
        h += QStringLiteral("<tr>");
        const int ate = m.Falhou(l) ? m.ColunaMensagem() : m.columnCount();
        for (int c = 0; c < ate; ++c)
            h += QStringLiteral("<td align=\"right\">%1</td>").arg(Html(m.Texto(l, c, sep, false)));
        if (m.Falhou(l))
            h += QStringLiteral("<td colspan=\"%1\">%2</td>")
                     .arg(m.columnCount() - m.ColunaMensagem())
                     .arg(Html(m.Texto(l, m.ColunaMensagem(), sep, false)));
        h += QStringLiteral("</tr>");
    }
    return h + QStringLiteral("</table>");
}

QString Html(const QString& texto) {
    return texto.toHtmlEscaped();
}
