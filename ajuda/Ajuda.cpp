#include "ajuda/Ajuda.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "ajuda/ConteudoAjuda.h"

namespace {

const char* const PROPRIEDADE_CONTEXTO = "contextoAjuda";

QString Texto(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// Letra a letra, para que posições e comprimentos não mudem: "Erosão" -> "erosao".
QString Normalizar(const QString& texto) {
    QString r = texto;
    for (QChar& c : r) {
        if (c.decompositionTag() == QChar::Canonical) c = c.decomposition().at(0);
        c = c.toLower();
    }
    return r;
}

QStringList PalavrasDe(const QString& texto) {
    static const QRegularExpression separador(QStringLiteral("[^\\w]+"),
                                              QRegularExpression::UseUnicodePropertiesOption);
    QStringList palavras = Normalizar(texto).split(separador, Qt::SkipEmptyParts);
    palavras.removeDuplicates();
    return palavras;
}

// Expressão que acha a palavra com ou sem acentos, em maiúsculas ou minúsculas.
QRegularExpression ExpressaoSemAcentos(const QString& palavra) {
    static const QList<QPair<QChar, QString>> variantes = {
        {u'a', QStringLiteral("aáàâãä")}, {u'e', QStringLiteral("eéèêë")},
        {u'i', QStringLiteral("iíìîï")},  {u'o', QStringLiteral("oóòôõö")},
        {u'u', QStringLiteral("uúùûü")},  {u'c', QStringLiteral("cç")},
        {u'n', QStringLiteral("nñ")}};
    QString padrao;
    for (QChar c : palavra) {
        auto it = std::find_if(variantes.begin(), variantes.end(),
                               [c](const auto& v) { return v.first == c; });
        padrao += it == variantes.end() ? QRegularExpression::escape(QString(c))
                                        : QStringLiteral("[") + it->second + QStringLiteral("]");
    }
    return QRegularExpression(padrao, QRegularExpression::CaseInsensitiveOption |
                                          QRegularExpression::UseUnicodePropertiesOption);
}

int ContarOcorrencias(const QString& texto, const QString& palavra) {
    int n = 0;
    for (qsizetype i = texto.indexOf(palavra); i >= 0; i = texto.indexOf(palavra, i + 1))
        ++n;
    return n;
}

QPair<QString, QString> SepararDestino(const QString& destino) {
    const qsizetype cerquilha = destino.indexOf(u'#');
    if (cerquilha < 0) return {destino, {}};
    return {destino.left(cerquilha), destino.mid(cerquilha + 1)};
}

} // namespace

TJanelaAjuda::TJanelaAjuda(const QString& pastaPaginas, QWidget* parent)
    : QMainWindow(parent), pasta(QDir(pastaPaginas).absolutePath()) {
    setObjectName(QStringLiteral("FAjuda"));
    setWindowTitle(QStringLiteral("Ajuda do Morvendo"));
    resize(1000, 680);
    MontarJanela();
    CarregarPaginas();
    MontarConteudo();
    MontarIndice();
}

void TJanelaAjuda::MontarJanela() {
    auto* barra = addToolBar(QStringLiteral("Navegação"));
    barra->setObjectName(QStringLiteral("barraAjuda"));
    barra->setMovable(false);
    barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    aVoltar =
        barra->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("&Voltar"));
    aVoltar->setObjectName(QStringLiteral("aVoltar"));
    aVoltar->setShortcut(QKeySequence::Back);
    aVoltar->setEnabled(false);
    aAvancar = barra->addAction(style()->standardIcon(QStyle::SP_ArrowForward),
                                QStringLiteral("&Avançar"));
    aAvancar->setObjectName(QStringLiteral("aAvancar"));
    aAvancar->setShortcut(QKeySequence::Forward);
    aAvancar->setEnabled(false);
    auto* aInicio = barra->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon),
                                     QStringLiteral("&Conteúdo"));
    aInicio->setObjectName(QStringLiteral("aInicio"));
    barra->addSeparator();
    auto* aImprimir = barra->addAction(QStringLiteral("&Imprimir..."));
    aImprimir->setObjectName(QStringLiteral("aImprimir"));
    aImprimir->setShortcut(QKeySequence::Print);

    navegador = new QTextBrowser;
    navegador->setObjectName(QStringLiteral("navegador"));
    navegador->setOpenExternalLinks(true);
    navegador->setSearchPaths({pasta});

    abas = new QTabWidget;
    abas->setObjectName(QStringLiteral("abas"));

    arvore = new QTreeWidget;
    arvore->setObjectName(QStringLiteral("arvoreConteudo"));
    arvore->setHeaderHidden(true);
    abas->addTab(arvore, QStringLiteral("C&onteúdo"));

    auto* paginaIndice = new QWidget;
    auto* layIndice = new QVBoxLayout(paginaIndice);
    auto* lIndice = new QLabel(QStringLiteral("&Digite a palavra-chave:"));
    eIndice = new QLineEdit;
    eIndice->setObjectName(QStringLiteral("eIndice"));
    lIndice->setBuddy(eIndice);
    lstIndice = new QListWidget;
    lstIndice->setObjectName(QStringLiteral("lstIndice"));
    auto* bExibirIndice = new QPushButton(QStringLiteral("&Exibir"));
    layIndice->addWidget(lIndice);
    layIndice->addWidget(eIndice);
    layIndice->addWidget(lstIndice);
    layIndice->addWidget(bExibirIndice, 0, Qt::AlignRight);
    abas->addTab(paginaIndice, QStringLiteral("Í&ndice"));

    auto* paginaPesquisa = new QWidget;
    auto* layPesquisa = new QVBoxLayout(paginaPesquisa);
    auto* lPesquisa = new QLabel(QStringLiteral("Palavras a pes&quisar:"));
    ePesquisa = new QLineEdit;
    ePesquisa->setObjectName(QStringLiteral("ePesquisa"));
    lPesquisa->setBuddy(ePesquisa);
    auto* bPesquisar = new QPushButton(QStringLiteral("Pe&squisar"));
    auto* linhaPesquisa = new QHBoxLayout;
    linhaPesquisa->addWidget(ePesquisa);
    linhaPesquisa->addWidget(bPesquisar);
    auto* lSituacao = new QLabel;
    lSituacao->setObjectName(QStringLiteral("lSituacaoPesquisa"));
    lSituacao->setWordWrap(true);
    lstPesquisa = new QListWidget;
    lstPesquisa->setObjectName(QStringLiteral("lstPesquisa"));
    layPesquisa->addWidget(lPesquisa);
    layPesquisa->addLayout(linhaPesquisa);
    layPesquisa->addWidget(lSituacao);
    layPesquisa->addWidget(lstPesquisa);
    abas->addTab(paginaPesquisa, QStringLiteral("&Pesquisar"));

    auto* divisor = new QSplitter;
    divisor->addWidget(abas);
    divisor->addWidget(navegador);
    divisor->setStretchFactor(1, 1);
    divisor->setSizes({300, 700});
    setCentralWidget(divisor);

    connect(aVoltar, &QAction::triggered, navegador, &QTextBrowser::backward);
    connect(aAvancar, &QAction::triggered, navegador, &QTextBrowser::forward);
    connect(aInicio, &QAction::triggered, this, [this] { MostrarDestino(Texto(PAGINA_INICIAL)); });
    connect(aImprimir, &QAction::triggered, this, &TJanelaAjuda::Imprimir);
    connect(navegador, &QTextBrowser::backwardAvailable, aVoltar, &QAction::setEnabled);
    connect(navegador, &QTextBrowser::forwardAvailable, aAvancar, &QAction::setEnabled);
    connect(navegador, &QTextBrowser::sourceChanged, this, &TJanelaAjuda::PaginaMudou);

    auto abrirItemArvore = [this](QTreeWidgetItem* item) {
        if (item) MostrarDestino(item->data(0, Qt::UserRole).toString());
    };
    connect(arvore, &QTreeWidget::itemClicked, this, abrirItemArvore);
    connect(arvore, &QTreeWidget::itemActivated, this, abrirItemArvore);

    connect(eIndice, &QLineEdit::textEdited, this, &TJanelaAjuda::IndiceDigitado);
    connect(eIndice, &QLineEdit::returnPressed, this, &TJanelaAjuda::AbrirItemIndice);
    connect(lstIndice, &QListWidget::itemActivated, this, &TJanelaAjuda::AbrirItemIndice);
    connect(bExibirIndice, &QPushButton::clicked, this, &TJanelaAjuda::AbrirItemIndice);

    connect(ePesquisa, &QLineEdit::returnPressed, this, &TJanelaAjuda::ExecutarPesquisa);
    connect(bPesquisar, &QPushButton::clicked, this, &TJanelaAjuda::ExecutarPesquisa);
    connect(lstPesquisa, &QListWidget::itemActivated, this, &TJanelaAjuda::AbrirResultado);

    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
}

void TJanelaAjuda::CarregarPaginas() {
    const QDir dir(pasta);
    for (const QString& arquivo : dir.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        QFile f(dir.filePath(arquivo));
        if (!f.open(QIODevice::ReadOnly)) continue;
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(f.readAll()));
        paginas.append({arquivo, doc.metaInformation(QTextDocument::DocumentTitle),
                        Normalizar(doc.toPlainText())});
    }
}

void TJanelaAjuda::MontarConteudo() {
    QList<QTreeWidgetItem*> pais;
    for (const TItemConteudo& item : ConteudoAjuda()) {
        const int nivel = std::min<int>(item.Nivel, int(pais.size()));
        auto* no =
            nivel == 0 ? new QTreeWidgetItem(arvore) : new QTreeWidgetItem(pais.at(nivel - 1));
        no->setText(0, Texto(item.Titulo));
        no->setData(0, Qt::UserRole, Texto(item.Destino));
        pais.resize(nivel);
        pais.append(no);
    }
}

void TJanelaAjuda::MontarIndice() {
    QList<QPair<QString, QListWidgetItem*>> itens;
    for (const TPalavraChave& p : IndiceAjuda()) {
        auto* item = new QListWidgetItem(Texto(p.Palavra));
        item->setData(Qt::UserRole, Texto(p.Destino));
        itens.append({Normalizar(item->text()), item});
    }
    std::stable_sort(itens.begin(), itens.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [chave, item] : itens)
        lstIndice->addItem(item);
    if (lstIndice->count() > 0) lstIndice->setCurrentRow(0);
}

bool TJanelaAjuda::MostrarDestino(const QString& destino) {
    const auto [pagina, ancora] = SepararDestino(destino);
    const QString caminho = QDir(pasta).filePath(pagina);
    if (pagina.isEmpty() || !QFileInfo::exists(caminho)) {
        if (paginas.isEmpty()) MostrarFaltaDeArquivos();
        return false;
    }
    QUrl url = QUrl::fromLocalFile(caminho);
    if (!ancora.isEmpty()) url.setFragment(ancora);
    navegador->setSource(url);
    return true;
}

bool TJanelaAjuda::MostrarContexto(int contexto) {
    const TContextoAjuda* c = ProcurarContexto(contexto);
    abas->setCurrentWidget(arvore);
    if (!c) {
        MostrarDestino(Texto(PAGINA_INICIAL));
        return false;
    }
    return MostrarDestino(Texto(c->Destino));
}

void TJanelaAjuda::MostrarConteudo() {
    abas->setCurrentWidget(arvore);
    MostrarDestino(Texto(PAGINA_INICIAL));
    arvore->setFocus();
}

void TJanelaAjuda::MostrarIndice(const QString& chave) {
    abas->setCurrentWidget(lstIndice->parentWidget());
    eIndice->setText(chave);
    IndiceDigitado(chave);
    if (navegador->source().isEmpty()) MostrarDestino(Texto(PAGINA_INICIAL));
    eIndice->setFocus();
    eIndice->selectAll();
}

void TJanelaAjuda::MostrarPesquisa(const QString& texto) {
    abas->setCurrentWidget(lstPesquisa->parentWidget());
    ePesquisa->setText(texto);
    if (!texto.isEmpty()) ExecutarPesquisa();
    if (navegador->source().isEmpty()) MostrarDestino(Texto(PAGINA_INICIAL));
    ePesquisa->setFocus();
}

QString TJanelaAjuda::PaginaAtual() const {
    return navegador->source().fileName();
}

QString TJanelaAjuda::TituloAtual() const {
    return navegador->documentTitle();
}

void TJanelaAjuda::PaginaMudou(const QUrl& url) {
    const QString titulo = navegador->documentTitle();
    setWindowTitle(titulo.isEmpty() ? QStringLiteral("Ajuda do Morvendo")
                                    : QStringLiteral("Ajuda do Morvendo - ") + titulo);

    // Marca na árvore o item do lugar mostrado: o da âncora, senão o da página.
    const QString pagina = url.fileName();
    const QString comAncora = pagina + QStringLiteral("#") + url.fragment();
    QTreeWidgetItem* escolhido = nullptr;
    for (QTreeWidgetItemIterator it(arvore); *it; ++it) {
        const QString destino = (*it)->data(0, Qt::UserRole).toString();
        if (destino == comAncora) {
            escolhido = *it;
            break;
        }
        if (!escolhido && destino == pagina) escolhido = *it;
    }
    if (escolhido) {
        const QSignalBlocker bloqueio(arvore);
        arvore->setCurrentItem(escolhido);
        arvore->scrollToItem(escolhido);
    }

    DestacarPalavras(palavrasDestacadas);
    palavrasDestacadas.clear();
}

void TJanelaAjuda::IndiceDigitado(const QString& texto) {
    const QString chave = Normalizar(texto.trimmed());
    if (chave.isEmpty()) return;
    for (int i = 0; i < lstIndice->count(); ++i) {
        if (Normalizar(lstIndice->item(i)->text()).startsWith(chave)) {
            lstIndice->setCurrentRow(i);
            lstIndice->scrollToItem(lstIndice->item(i), QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void TJanelaAjuda::AbrirItemIndice() {
    if (QListWidgetItem* item = lstIndice->currentItem())
        MostrarDestino(item->data(Qt::UserRole).toString());
}

QList<TResultadoPesquisa> TJanelaAjuda::Pesquisar(const QString& texto) const {
    QList<TResultadoPesquisa> resultados;
    const QStringList palavras = PalavrasDe(texto);
    if (palavras.isEmpty()) return resultados;
    for (const TPagina& p : paginas) {
        const QString titulo = Normalizar(p.Titulo);
        int ocorrencias = 0;
        int peso = 0;
        bool todas = true;
        for (const QString& palavra : palavras) {
            const int n = ContarOcorrencias(p.Texto, palavra);
            if (n == 0) {
                todas = false;
                break;
            }
            ocorrencias += n;
            // O título pesa mais: quem procura "simulação" quer a página da simulação.
            peso += n + (titulo.contains(palavra) ? 20 : 0);
        }
        if (todas) resultados.append({p.Arquivo, p.Titulo, ocorrencias, peso});
    }
    std::stable_sort(resultados.begin(), resultados.end(), [](const auto& a, const auto& b) {
        return a.Relevancia != b.Relevancia ? a.Relevancia > b.Relevancia : a.Titulo < b.Titulo;
    });
    return resultados;
}

void TJanelaAjuda::ExecutarPesquisa() {
    lstPesquisa->clear();
    auto* lSituacao = findChild<QLabel*>(QStringLiteral("lSituacaoPesquisa"));
    const QString texto = ePesquisa->text().trimmed();
    if (texto.isEmpty()) {
        lSituacao->setText(QStringLiteral("Digite uma ou mais palavras."));
        return;
    }
    const QList<TResultadoPesquisa> resultados = Pesquisar(texto);
    for (const TResultadoPesquisa& r : resultados) {
        auto* item = new QListWidgetItem(r.Titulo.isEmpty() ? r.Pagina : r.Titulo, lstPesquisa);
        item->setData(Qt::UserRole, r.Pagina);
    }
    if (resultados.isEmpty())
        lSituacao->setText(QStringLiteral("Nenhuma página contém todas essas palavras."));
    else if (resultados.size() == 1)
        lSituacao->setText(QStringLiteral("1 página encontrada."));
    else
        lSituacao->setText(QStringLiteral("%1 páginas encontradas.").arg(resultados.size()));
    if (!resultados.isEmpty()) lstPesquisa->setCurrentRow(0);
}

void TJanelaAjuda::AbrirResultado() {
    QListWidgetItem* item = lstPesquisa->currentItem();
    if (!item) return;
    palavrasDestacadas = PalavrasDe(ePesquisa->text());
    const QString pagina = item->data(Qt::UserRole).toString();
    // A mesma página não é recarregada; o destaque é refeito aqui.
    if (PaginaAtual() == pagina && navegador->source().fragment().isEmpty()) {
        DestacarPalavras(palavrasDestacadas);
        palavrasDestacadas.clear();
        return;
    }
    MostrarDestino(pagina);
}

void TJanelaAjuda::DestacarPalavras(const QStringList& palavras) {
    QList<QTextEdit::ExtraSelection> destaques;
    QTextCursor primeiro;
    for (const QString& palavra : palavras) {
        const QRegularExpression expressao = ExpressaoSemAcentos(palavra);
        QTextCursor c = navegador->document()->find(expressao);
        while (!c.isNull()) {
            QTextEdit::ExtraSelection s;
            s.cursor = c;
            s.format.setBackground(QColor(255, 236, 139));
            destaques.append(s);
            if (primeiro.isNull() || c.selectionStart() < primeiro.selectionStart()) primeiro = c;
            c = navegador->document()->find(expressao, c);
        }
    }
    navegador->setExtraSelections(destaques);
    if (!primeiro.isNull()) {
        primeiro.clearSelection();
        navegador->setTextCursor(primeiro);
        navegador->ensureCursorVisible();
    }
}

void TJanelaAjuda::Imprimir() {
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    QPrintDialog dialogo(&impressora, this);
    dialogo.setWindowTitle(QStringLiteral("Imprimir página da ajuda"));
    if (dialogo.exec() == QDialog::Accepted) navegador->print(&impressora);
}

void TJanelaAjuda::MostrarFaltaDeArquivos() {
    navegador->setHtml(
        QStringLiteral("<h2>Ajuda não encontrada</h2><p>As páginas da ajuda não foram "
                       "encontradas na pasta <b>%1</b>.</p><p>Elas são instaladas junto com o "
                       "programa; reinstale o Morvendo para recuperá-las.</p>")
            .arg(QDir::toNativeSeparators(pasta).toHtmlEscaped()));
}

namespace {

QString pastaDefinida;
QPointer<TJanelaAjuda> janelaAjuda;

// Aberta a partir de um diálogo modal, a janela também precisa ser modal, senão fica
// bloqueada pelo diálogo.
void Exibir(TJanelaAjuda* janela) {
    QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowModality modalidade =
        modal && modal != janela ? Qt::ApplicationModal : Qt::NonModal;
    if (janela->windowModality() != modalidade) {
        janela->hide();
        janela->setWindowModality(modalidade);
    }
    if (janela->isMinimized())
        janela->showNormal();
    else
        janela->show();
    janela->raise();
    janela->activateWindow();
}

// Contexto marcado no controle ou no ancestral mais próximo, até a janela; um 0 marcado vale
// como conteúdo. -1 quando nada foi marcado: a janela trata o F1 por conta própria.
int ContextoMarcado(const QWidget* controle) {
    int achado = -1;
    for (const QWidget* w = controle; w; w = w->parentWidget()) {
        const QVariant valor = w->property(PROPRIEDADE_CONTEXTO);
        if (valor.isValid()) {
            if (valor.toInt() != 0) return valor.toInt();
            achado = 0;
        }
        if (w->isWindow()) break;
    }
    return achado;
}

class TFiltroF1 : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        const bool sobreposicao = evento->type() == QEvent::ShortcutOverride;
        if (evento->type() != QEvent::KeyPress && !sobreposicao) return false;
        auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->key() != Qt::Key_F1 || tecla->modifiers() != Qt::NoModifier) return false;
        // O primeiro a receber a tecla é a janela do sistema ou, em eventos enviados
        // direto, o próprio controle.
        QWidget* controle = qobject_cast<QWidget*>(objeto);
        if (!controle) controle = QApplication::focusWidget();
        if (!controle) return false;
        const bool naAjuda = janelaAjuda && controle->window() == janelaAjuda;
        const int contexto = naAjuda ? 0 : ContextoMarcado(controle);
        if (contexto < 0) return false;
        tecla->accept();
        // Com contexto marcado, o F1 chega como tecla em vez de disparar o atalho de
        // "Conteúdo" do menu.
        if (sobreposicao) return true;
        if (tecla->isAutoRepeat()) return true;
        if (naAjuda)
            janelaAjuda->MostrarDestino(QStringLiteral("index.html#como-usar"));
        else
            Ajuda::AbrirContexto(contexto);
        return true;
    }
};

} // namespace

void Ajuda::DefinirPasta(const QString& pasta) {
    pastaDefinida = pasta;
    delete janelaAjuda;
}

QString Ajuda::Pasta() {
    return pastaDefinida.isEmpty()
               ? QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Ajuda"))
               : pastaDefinida;
}

TJanelaAjuda* Ajuda::Janela() {
    if (!janelaAjuda) {
        janelaAjuda = new TJanelaAjuda(Pasta());
        // A ajuda aberta não impede o programa de terminar com a janela principal.
        janelaAjuda->setAttribute(Qt::WA_QuitOnClose, false);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, janelaAjuda,
                         [] { delete janelaAjuda; });
    }
    return janelaAjuda;
}

bool Ajuda::AbrirContexto(int contexto) {
    TJanelaAjuda* janela = Janela();
    const bool achou = janela->MostrarContexto(contexto);
    Exibir(janela);
    return achou;
}

void Ajuda::AbrirConteudo() {
    TJanelaAjuda* janela = Janela();
    janela->MostrarConteudo();
    Exibir(janela);
}

void Ajuda::AbrirIndice(const QString& chave) {
    TJanelaAjuda* janela = Janela();
    janela->MostrarIndice(chave);
    Exibir(janela);
}

void Ajuda::DefinirContexto(QWidget* controle, int contexto) {
    controle->setProperty(PROPRIEDADE_CONTEXTO, contexto);
}

int Ajuda::ContextoDe(const QWidget* controle) {
    return std::max(0, ContextoMarcado(controle));
}

void Ajuda::InstalarTeclaF1() {
    static QPointer<TFiltroF1> filtro;
    if (filtro) return;
    filtro = new TFiltroF1(qApp);
    qApp->installEventFilter(filtro);
}
