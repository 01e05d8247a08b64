// Moldura da janela principal: início e saída, menus, barras, status, configuração.
#include "mainwindow/Principal.h"
#include "comum/ui/RotinasUi.h"
#include "mainwindow/estudos/PaginaEstudo.h"
#include "mainwindow/estudos/PaginaTrechos.h"
#include "mainwindow/simulacao/Simulacao.h"
#include "project/Calculo.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTabWidget>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "comum/MensagemErro.h"
#include "engine/Persistencia.h"
#include "figuras/Desenhos.h"
#include "idf/BancoEstacoes.h"
#include "mainwindow/Acompanhamento.h"
#include "mainwindow/RotinasComuns.h"
#include "mainwindow/Sobre.h"
#include "project/ui/DialogoUnidades.h"
#include "project/ui/DialogosGerenteQt.h"

const std::array<const char*, 4> TJanelaPrincipal::Enderecos = {
    "https://www.gov.br/dnit/pt-br/assuntos/planejamento-e-pesquisa/ipr/coletanea-de-manuais",
    "https://rigeo.cprm.gov.br/",
    "https://www.snirh.gov.br/hidroweb/",
    "https://www.scielo.br/j/rbeaa/",
};

namespace {

const char* const DICAS_INTERNET[4] = {
    "Manuais do DNIT, entre eles o Manual de Drenagem de Rodovias",
    "Atlas Pluviométrico do Brasil: equações IDF de municípios brasileiros (SGB)",
    "HidroWeb (ANA): séries históricas de chuva das estações do Brasil",
    "Revista Brasileira de Engenharia Agrícola e Ambiental: estradas rurais e chuvas intensas",
};

// Caixas do Qt para a janela principal.
class TInteracaoQt : public TDialogosGerenteQt, public IInteracaoPrincipal {
public:
    explicit TInteracaoQt(QWidget* janela) : TDialogosGerenteQt(janela) {}
    TResposta Perguntar(const std::string& texto, bool comCancelar) override {
        return TDialogosGerenteQt::Perguntar(texto, comCancelar);
    }
    std::optional<std::string> EscolherArquivoAbrir() override {
        return TDialogosGerenteQt::EscolherArquivoAbrir();
    }
    std::optional<std::string> EscolherArquivoSalvar(const std::string& titulo,
                                                     const std::string& nome) override {
        return TDialogosGerenteQt::EscolherArquivoSalvar(titulo, nome);
    }
    void MostrarErro(const std::string& mensagem) override {
        MostrarCaixaErro(Janela(), QString::fromStdString(mensagem));
    }
    void MostrarInformacao(const std::string& mensagem) override {
        QMessageBox caixa(QMessageBox::Information,
                          QString::fromLatin1(TJanelaPrincipal::TituloPrograma),
                          QString::fromStdString(mensagem), QMessageBox::Ok, Janela());
        caixa.exec();
    }
    bool AbrirEndereco(const QUrl& endereco) override {
        return QDesktopServices::openUrl(endereco);
    }
    std::optional<std::string> EscolherArquivoExportar(const std::string& titulo,
                                                       const std::string& proposto,
                                                       const std::string& filtro) override {
        const QFileInfo inicial(QString::fromStdString(proposto));
        QFileDialog d(Janela(), QString::fromStdString(titulo), inicial.absolutePath(),
                      QString::fromStdString(filtro));
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setFileMode(QFileDialog::AnyFile);
        d.setDefaultSuffix(inicial.suffix());
        d.setOption(QFileDialog::DontUseNativeDialog, true);
        d.setLabelText(QFileDialog::LookIn, QStringLiteral("Examinar:"));
        d.setLabelText(QFileDialog::FileName, QStringLiteral("Nome do arquivo:"));
        d.setLabelText(QFileDialog::FileType, QStringLiteral("Tipo:"));
        d.setLabelText(QFileDialog::Accept, QStringLiteral("&Salvar"));
        d.setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
        d.selectFile(inicial.fileName());
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
        return d.selectedFiles().first().toStdString();
    }
};

// Ícone do tema da área de trabalho, ou o do estilo quando o tema não o tem.
QIcon Icone(const char* nomeTema, QStyle::StandardPixmap reserva) {
    return QIcon::fromTheme(QString::fromLatin1(nomeTema),
                            QApplication::style()->standardIcon(reserva));
}

// Ícone de 32 pixels desenhado: contorno fino e seta grossa de pontas redondas.
template <class F> QIcon Desenhado(F desenho) {
    QPixmap px(32, 32);
    px.fill(Qt::transparent);
    QPainter p(&px);
    p.setRenderHint(QPainter::Antialiasing);
    desenho(p, [](QColor cor) { return QPen(cor, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); });
    return QIcon(px);
}

// Página com a ponta dobrada e uma seta saindo para baixo: fechar o projeto. Desenhado, e
// não do tema, para não ser mais um X ao lado do de sair.
QIcon IconeFecharProjeto() {
    return Desenhado([](QPainter& p, auto seta) {
        p.setPen(QPen(QColor(70, 70, 70), 1.5));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF(
            {QPointF(6, 2), QPointF(20, 2), QPointF(26, 8), QPointF(26, 22), QPointF(6, 22)}));
        p.drawPolyline(QPolygonF({QPointF(20, 2), QPointF(20, 8), QPointF(26, 8)}));
        p.setPen(seta(QColor(30, 90, 170)));
        p.drawLine(QPointF(16, 12), QPointF(16, 29));
        p.drawPolyline(QPolygonF({QPointF(10, 23), QPointF(16, 29), QPointF(22, 23)}));
    });
}

// Porta aberta com uma seta para fora: sair do programa.
QIcon IconeSair() {
    return Desenhado([](QPainter& p, auto seta) {
        p.setPen(QPen(QColor(90, 55, 20), 1.5));
        p.setBrush(QColor(170, 115, 60));
        p.drawRect(QRectF(4, 3, 14, 26));
        p.setBrush(QColor(235, 200, 90));
        p.drawEllipse(QRectF(13, 15, 3, 3));
        p.setPen(seta(QColor(180, 40, 20)));
        p.drawLine(QPointF(14, 16), QPointF(29, 16));
        p.drawPolyline(QPolygonF({QPointF(24, 11), QPointF(29, 16), QPointF(24, 21)}));
    });
}

// Livro com um ponto de interrogação: conteúdo da ajuda (a boia do tema parece um X).
QIcon IconeAjuda() {
    return Desenhado([](QPainter& p, auto) {
        p.setPen(QPen(QColor(20, 60, 120), 1.5));
        p.setBrush(QColor(50, 110, 190));
        p.drawRoundedRect(QRectF(5, 2, 22, 28), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 26, 19, 3));
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(20);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(5, 1, 22, 25), Qt::AlignCenter, QStringLiteral("?"));
    });
}

// Globo com o número da página, para os botões da barra "Internet" sem tema.
QIcon IconeInternet(int numero) {
    const QIcon tema = QIcon::fromTheme(QStringLiteral("web-browser"));
    QPixmap px(32, 32);
    px.fill(Qt::transparent);
    QPainter p(&px);
    p.setRenderHint(QPainter::Antialiasing);
    if (!tema.isNull()) {
        p.drawPixmap(0, 0, tema.pixmap(32, 32));
    } else {
        p.setPen(QPen(QColor(20, 70, 140), 2));
        p.setBrush(QColor(170, 210, 245));
        p.drawEllipse(QRectF(2, 2, 28, 28));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(10, 2, 12, 28));
        p.drawLine(QPointF(2, 16), QPointF(30, 16));
    }
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(15);
    p.setFont(f);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(180, 40, 20));
    p.drawEllipse(QRectF(16, 16, 16, 16));
    p.setPen(Qt::white);
    p.drawText(QRectF(16, 16, 16, 16), Qt::AlignCenter, QString::number(numero));
    return QIcon(px);
}

QString PastaPrograma() {
    return QCoreApplication::applicationDirPath();
}

// Onde os diálogos de arquivo começam: a pasta de documentos do usuário, nunca a do programa.
QString PastaDocumentos() {
    const QString d = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !d.isEmpty() && QFileInfo(d).isDir() ? d : QDir::homePath();
}

// Ao lado do programa quando a pasta dele pode ser gravada; senão na pasta de configuração
// do usuário, com o mesmo nome.
std::string CaminhoConfiguracaoPadrao() {
    const QFileInfo pasta(PastaPrograma());
    if (pasta.isDir() && pasta.isWritable())
        return QDir(PastaPrograma()).filePath(QStringLiteral("Morvendo.ini")).toStdString();
    const QString conf = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir(conf).filePath(QStringLiteral("Morvendo.ini")).toStdString();
}

} // namespace

TJanelaPrincipal::TJanelaPrincipal(TOpcoesPrincipal opcoes)
    : FOpcoes(std::move(opcoes)),
      FInteracaoPropria(FOpcoes.Interacao ? nullptr : std::make_unique<TInteracaoQt>(this)),
      FInteracao(FOpcoes.Interacao ? FOpcoes.Interacao : FInteracaoPropria.get()),
      FGerente(*FInteracao) {
    setObjectName(QStringLiteral("FPrincipal"));
    QApplication::setApplicationDisplayName(QString());
    DefinirSeparadorDecimalLocal(SeparadorDecimal());
    FPastaPrograma = PastaPrograma();
    FArquivoConfiguracao = FOpcoes.ArquivoConfiguracao.empty() ? CaminhoConfiguracaoPadrao()
                                                               : FOpcoes.ArquivoConfiguracao;
    FFiltro = new TFiltroNumerico(this);

    nbPrincipal = new QStackedWidget;
    nbPrincipal->setObjectName(QStringLiteral("nbPrincipal"));
    nbPrincipal->addWidget(CriarPaginaInicial());
    nbPrincipal->addWidget(CriarPaginaDados());
    nbPrincipal->addWidget(CriarPaginaResultado());
    // A página de simulação trabalha sobre a bacia do motor, criado adiante.
    const int indiceSimulacao = nbPrincipal->count();
    setCentralWidget(nbPrincipal);
    CriarMenus();
    CriarBarras();
    CriarBarraDeStatus();

    // Início.
    FGerente.TituloPrograma = TituloPrograma;
    FGerente.PastaPrograma = FPastaPrograma.toStdString();
    FGerente.OnConferirArquivo = [this](const std::string& c) { QuandoConferirArquivo(c); };
    FGerente.OnZerarVariaveis = [this] { QuandoZerarVariaveis(); };
    FGerente.OnLerArquivo = [this](bool& leu) { QuandoLerArquivo(leu); };
    FGerente.OnEscreverArquivo = [this] { QuandoEscreverArquivo(); };
    FGerente.OnAbilitarCampos = [this] { QuandoHabilitarCampos(); };
    FGerente.OnDesabilitarCampos = [this] { QuandoDesabilitarCampos(); };
    FGerente.OnLerCamposDados = [this] { QuandoLerCamposDados(); };
    FGerente.OnPreencherCamposDados = [this] { QuandoPreencherCamposDados(); };
    FGerente.OnLimparCamposDados = [this] { QuandoLimparCamposDados(); };
    FGerente.OnTitulo = [this](const std::string& t) { setWindowTitle(QString::fromStdString(t)); };

    AtualizarRelogio();
    MostrarPagina(PAG_INICIAL);
    if (auto* qt = dynamic_cast<TDialogosGerenteQt*>(FInteracao))
        qt->DefinirPastaInicial(PastaDocumentos());
    BtnSobre->setToolTip(QStringLiteral("Sobre o ") + QString::fromLatin1(TituloPrograma));
    BtnSobre->setStatusTip(BtnSobre->toolTip());
    FUnidades.OnMudarDeclividade = [this] { AtualizarDeclividades(); };
    FUnidades.OnMudarVI = [this] { AtualizarInfiltracoes(); };
    FUnidades.OnMudarErodibilidade = [this](double anterior) { AtualizarErodibilidade(anterior); };
    LerConfiguracao();
    FProjeto = std::make_unique<TProjeto>(FUnidades);
    FPaginaSimulacao = new TPaginaSimulacao(FProjeto->Estrada.Bacia);
    FPaginaSimulacao->setObjectName(QStringLiteral("Simulacao"));
    nbPrincipal->insertWidget(indiceSimulacao, FPaginaSimulacao);
    LigarComponentes();
    InstalarEstudos();
    MSobreMorvendo->setText(QStringLiteral("&Sobre o ") + QString::fromLatin1(TituloPrograma));
    setWindowTitle(QString::fromLatin1(TituloPrograma));
    QuandoZerarVariaveis();
    AtualizarDeclividades();
    AtualizarInfiltracoes();
    lblErod->setText(QString::fromStdString(FUnidades.UnidadeErodibilidade));

    resize(790, 570);
    if (QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
}

TJanelaPrincipal::~TJanelaPrincipal() {
    // As páginas de estudos param os seus lotes e usam o projeto, que morre antes delas.
    delete FPaginaEstudo;
    delete FPaginaTrechos;
}

QPrinter& TJanelaPrincipal::Impressora() {
    if (!FImpressora) FImpressora = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *FImpressora;
}

void TJanelaPrincipal::Proteger(const std::function<void()>& acao) {
    try {
        acao();
    } catch (const std::exception& e) {
        FInteracao->MostrarErro(MensagemParaUsuario(e));
    }
}

void TJanelaPrincipal::MostrarPagina(TPagina pagina) {
    nbPrincipal->setCurrentIndex(pagina);
}

int TJanelaPrincipal::PaginaAtual() const {
    return nbPrincipal->currentIndex();
}

void TJanelaPrincipal::MarcarAlterado() {
    FGerente.Alterado = true;
}

void TJanelaPrincipal::DefinirAjuda(TServicoAjuda servico) {
    FAjuda = std::move(servico);
    const bool ha = bool(FAjuda.AbrirContexto);
    for (QAction* a : {MConteudo, MObterAjuda})
        a->setEnabled(ha);
    BtnConteudo->setEnabled(ha);
    for (QPushButton* b : {btnAjudaDados, btnAjudaResultado})
        b->setEnabled(ha);
}

// --- Menus, barras e status ----------------------------------------------------------------

void TJanelaPrincipal::CriarMenus() {
    // Atalhos da plataforma primeiro (o menu mostra o primeiro); F2, F3 e F4 continuam.
    auto acao = [this](const char* nome, const char* texto, const char* dica,
                       QList<QKeySequence> atalhos = {}) {
        auto* a = new QAction(QString::fromUtf8(texto), this);
        a->setObjectName(QString::fromLatin1(nome));
        a->setStatusTip(QString::fromUtf8(dica));
        a->setShortcuts(atalhos);
        return a;
    };
    // Onde a plataforma não tem a sequência (Salvar como e Sair, em algumas), a usual.
    auto padrao = [](QKeySequence::StandardKey chave, QList<QKeySequence> extras = {},
                     QKeySequence reserva = {}) {
        QList<QKeySequence> r = QKeySequence::keyBindings(chave);
        if (r.isEmpty() && !reserva.isEmpty()) r << reserva;
        return r + extras;
    };
    QMenuBar* barra = menuBar();
    barra->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* arquivo = barra->addMenu(QStringLiteral("&Arquivo"));
    arquivo->setObjectName(QStringLiteral("MArquivo"));
    arquivo->menuAction()->setStatusTip(QStringLiteral("Menu Arquivo"));
    MNovo =
        acao("MNovo", "&Novo...", "Cria um novo projeto", padrao(QKeySequence::New, {Qt::Key_F4}));
    MAbrir = acao("MAbrir", "&Abrir...", "Abre um projeto gravado em disco",
                  padrao(QKeySequence::Open, {Qt::Key_F3}));
    MSalvar = acao("MSalvar", "&Salvar", "Salva o projeto atual",
                   padrao(QKeySequence::Save, {Qt::Key_F2}));
    MSalvarComo = acao("MSalvarComo", "Salvar &Como...", "Salva o projeto atual com novo nome",
                       padrao(QKeySequence::SaveAs, {}, Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    MFechar = acao("MFechar", "&Fechar", "Fecha o projeto atual");
    // Nunca Ctrl+Z: nos campos de texto ele desfaz a digitação.
    MSair = acao("MSair", "Sai&r", "Finaliza a execução do Morvendo 2.0",
                 padrao(QKeySequence::Quit, {}, Qt::CTRL | Qt::Key_Q));
    arquivo->addActions({MNovo, MAbrir, MSalvar, MSalvarComo, MFechar});
    arquivo->addSeparator();
    for (int k = 0; k < 4; ++k) {
        // Escondido até a lista de recentes dar um projeto a esta posição.
        Proj[k] = acao(("Proj" + std::to_string(k + 1)).c_str(), "", "");
        Proj[k]->setVisible(false);
        connect(Proj[k], &QAction::triggered, this, [this, k] { AbrirRecenteClick(k + 1); });
        arquivo->addAction(Proj[k]);
    }
    arquivo->addSeparator();
    arquivo->addAction(MSair);
    for (QAction* a : {MSalvar, MSalvarComo, MFechar})
        a->setEnabled(false);
    connect(MNovo, &QAction::triggered, this, &TJanelaPrincipal::MNovoClick);
    connect(MAbrir, &QAction::triggered, this, &TJanelaPrincipal::MAbrirClick);
    connect(MSalvar, &QAction::triggered, this, &TJanelaPrincipal::MSalvarClick);
    connect(MSalvarComo, &QAction::triggered, this, &TJanelaPrincipal::MSalvarComoClick);
    connect(MFechar, &QAction::triggered, this, &TJanelaPrincipal::MFecharClick);
    connect(MSair, &QAction::triggered, this, &TJanelaPrincipal::MSairClick);

    QMenu* conf = barra->addMenu(QStringLiteral("C&onfigurações"));
    conf->setObjectName(QStringLiteral("Configuraes1"));
    conf->menuAction()->setStatusTip(QStringLiteral("Menu Configurações"));
    MConfigImpres = acao("MConfigImpres", "Configurar &impressora",
                         "Efetua alterações na configuração da impressora");
    acaoUnidades = acao("acaoUnidades", "Configurar &unidades", "Configura as unidades");
    conf->addActions({MConfigImpres, acaoUnidades});
    connect(MConfigImpres, &QAction::triggered, this, &TJanelaPrincipal::MConfigImpresClick);
    connect(acaoUnidades, &QAction::triggered, this, &TJanelaPrincipal::ConfigurarUnidadesClick);

    QMenu* ajuda = barra->addMenu(QStringLiteral("Aj&uda"));
    ajuda->setObjectName(QStringLiteral("MAjuda"));
    ajuda->menuAction()->setStatusTip(QStringLiteral("Menu Ajuda"));
    MConteudo = acao("MConteudo", "Conteúdo", "Exibe o conteúdo do sistema de ajuda",
                     padrao(QKeySequence::HelpContents));
    MObterAjuda =
        acao("MObterAjuda", "&Obter ajuda sobre…", "Obtém ajuda sobre um item específico da ajuda");
    MSobreMorvendo = acao("MSobreMorvendo", "&Sobre o", "Exibe a tela de abertura do Morvendo 2.0",
                          {QKeySequence(Qt::CTRL | Qt::Key_F1)});
    ajuda->addActions({MConteudo, MObterAjuda});
    ajuda->addSeparator();
    ajuda->addAction(MSobreMorvendo);
    // A ajuda só se habilita quando um serviço de ajuda é ligado.
    MConteudo->setEnabled(false);
    MObterAjuda->setEnabled(false);
    connect(MConteudo, &QAction::triggered, this, [this] {
        if (FAjuda.Conteudo) FAjuda.Conteudo();
    });
    connect(MObterAjuda, &QAction::triggered, this, [this] {
        if (FAjuda.Pesquisar) FAjuda.Pesquisar();
    });
    connect(MSobreMorvendo, &QAction::triggered, this, &TJanelaPrincipal::MSobreMorvendoClick);
}

void TJanelaPrincipal::CriarBarras() {
    auto barra = [this](const char* titulo, const char* nome) {
        auto* b = new QToolBar(QString::fromUtf8(titulo), this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setMovable(true);
        b->setFloatable(true);
        b->setAllowedAreas(Qt::TopToolBarArea);
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setIconSize(QSize(22, 22));
        addToolBar(Qt::TopToolBarArea, b);
        return b;
    };
    auto botao = [](QToolBar* barra, const char* nome, const QIcon& icone, const char* dica) {
        auto* b = new QToolButton;
        b->setObjectName(QString::fromLatin1(nome));
        b->setIcon(icone);
        b->setAutoRaise(true);
        b->setToolTip(QString::fromUtf8(dica));
        b->setStatusTip(b->toolTip());
        barra->addWidget(b);
        return b;
    };
    QToolBar* projeto = barra("Projeto", "tbProjeto");
    BtnNovo = botao(projeto, "BtnNovo", Icone("document-new", QStyle::SP_FileIcon), "Novo projeto");
    BtnAbrir = botao(projeto, "BtnAbrir", Icone("document-open", QStyle::SP_DialogOpenButton),
                     "Abrir projeto");
    BtnSalvar = botao(projeto, "BtnSalvar", Icone("document-save", QStyle::SP_DialogSaveButton),
                      "Salvar projeto");
    BFechar = botao(projeto, "BFechar", IconeFecharProjeto(), "Fechar projeto");
    BtnSalvar->setEnabled(false);
    BFechar->setEnabled(false);
    connect(BtnNovo, &QToolButton::clicked, this, &TJanelaPrincipal::MNovoClick);
    connect(BtnAbrir, &QToolButton::clicked, this, &TJanelaPrincipal::MAbrirClick);
    connect(BtnSalvar, &QToolButton::clicked, this, &TJanelaPrincipal::MSalvarClick);
    connect(BFechar, &QToolButton::clicked, this, &TJanelaPrincipal::MFecharClick);

    QToolBar* ajuda = barra("Ajuda", "tbAjuda");
    BtnConteudo = botao(ajuda, "BtnConteudo", IconeAjuda(), "Ajuda");
    BtnConteudo->setEnabled(false);
    connect(BtnConteudo, &QToolButton::clicked, this, [this] {
        if (FAjuda.Conteudo) FAjuda.Conteudo();
    });
    BtnSobre = botao(ajuda, "BtnSobre", Icone("help-about", QStyle::SP_MessageBoxInformation), "");
    connect(BtnSobre, &QToolButton::clicked, this, &TJanelaPrincipal::MSobreMorvendoClick);

    QToolBar* sair = barra("Sair", "tbSair");
    btnSair = botao(sair, "btnSair", IconeSair(), "Sair");
    connect(btnSair, &QToolButton::clicked, this, &TJanelaPrincipal::MSairClick);

    QToolBar* internet = barra("Internet", "tbInternet");
    for (int k = 0; k < 4; ++k) {
        BtnInternet[k] = botao(internet, ("BtnInternet" + std::to_string(k + 1)).c_str(),
                               IconeInternet(k + 1), DICAS_INTERNET[k]);
        connect(BtnInternet[k], &QToolButton::clicked, this,
                [this, k] { PaginaInternetClick(k + 1); });
    }
}

void TJanelaPrincipal::CriarBarraDeStatus() {
    QStatusBar* barra = statusBar();
    barra->setObjectName(QStringLiteral("BarraHints"));
    barra->setSizeGripEnabled(false);
    PainelHint = new QLabel;
    PainelHint->setObjectName(QStringLiteral("PainelHint"));
    PainelRelogio = new QLabel;
    PainelRelogio->setObjectName(QStringLiteral("PainelRelogio"));
    PainelRelogio->setFixedWidth(80);
    PainelRelogio->setAlignment(Qt::AlignCenter);
    PainelRelogio->setFrameShape(QFrame::StyledPanel);
    barra->addWidget(PainelHint);
    barra->addPermanentWidget(PainelRelogio);
    tmrRelogio = new QTimer(this);
    tmrRelogio->setObjectName(QStringLiteral("tmrRelogio"));
    tmrRelogio->setInterval(1000);
    connect(tmrRelogio, &QTimer::timeout, this, &TJanelaPrincipal::AtualizarRelogio);
    tmrRelogio->start();
}

void TJanelaPrincipal::AtualizarRelogio() {
    PainelRelogio->setText(QTime::currentTime().toString(QStringLiteral("hh:mm")));
}

void TJanelaPrincipal::resizeEvent(QResizeEvent* evento) {
    QMainWindow::resizeEvent(evento);
    // 100 pixels ficam reservados ao relógio, à direita.
    PainelHint->setFixedWidth(qMax(0, statusBar()->width() - 100));
}

bool TJanelaPrincipal::event(QEvent* evento) {
    if (evento->type() == QEvent::StatusTip) {
        PainelHint->setText(static_cast<QStatusTipEvent*>(evento)->tip());
        return true;
    }
    return QMainWindow::event(evento);
}

void TJanelaPrincipal::mouseDoubleClickEvent(QMouseEvent* evento) {
    QMainWindow::mouseDoubleClickEvent(evento);
    MSobreMorvendoClick();
}

QWidget* TJanelaPrincipal::CriarPaginaInicial() {
    auto* pagina = new QLabel;
    pagina->setObjectName(QStringLiteral("Inicial"));
    pagina->setAlignment(Qt::AlignCenter);
    pagina->setPixmap(QPixmap::fromImage(DesenharAbertura(QSize(558, 340))));
    return pagina;
}

// --- Configuração -------------------------------------------------------------------------

void TJanelaPrincipal::LerConfiguracao() {
    TArquivoIni ini;
    try {
        if (QFileInfo::exists(QString::fromStdString(FArquivoConfiguracao)))
            ini.Carregar(FArquivoConfiguracao);
    } catch (const std::exception&) {
        // Arquivo ilegível: valem os padrões.
    }
    // O raio da consulta IDF não é do projeto: só as configurações o guardam.
    DefinirRaioInterpolacaoKm(LerRaioInterpolacao(ini));
    if (ini.LerTexto("PRINCIPAL", "Versao", "") == "0") {
        FUnidades.Padrao();
        FUnidadesConfiguracao = FUnidades;
        return;
    }
    FUnidades.Ler(ini);
    FUnidadesConfiguracao = FUnidades;
    std::array<std::string, TGerenteArquivo::NumRecentes> r;
    for (int k = 0; k < TGerenteArquivo::NumRecentes; ++k)
        r[k] = ini.LerTexto("PRINCIPAL", "path" + std::to_string(k + 1), "");
    FGerente.DefinirRecentes(r);
    AtualizarRecentes();
}

void TJanelaPrincipal::GravarConfiguracao(bool completa) {
    const QString caminho = QString::fromStdString(FArquivoConfiguracao);
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    TArquivoIni ini(FArquivoConfiguracao);
    if (completa) ini.EscreverTexto("PRINCIPAL", "Versao", "1");
    FUnidadesConfiguracao.Gravar(ini);
    GravarRaioInterpolacao(ini, RaioInterpolacaoKm());
    if (completa)
        for (int k = 0; k < TGerenteArquivo::NumRecentes; ++k)
            ini.EscreverTexto("PRINCIPAL", "path" + std::to_string(k + 1), FGerente.Recentes()[k]);
    ini.Salvar();
}

void TJanelaPrincipal::AtualizarRecentes() {
    for (int k = 0; k < TGerenteArquivo::NumRecentes; ++k) {
        const std::string& caminho = FGerente.Recentes()[k];
        QString nome = QString::fromStdString(NomeSemPasta(caminho));
        nome.replace(QLatin1Char('&'), QStringLiteral("&&"));
        Proj[k]->setText(QStringLiteral("&%1 ").arg(k + 1) + nome);
        Proj[k]->setStatusTip(QString::fromStdString(caminho));
        Proj[k]->setVisible(!caminho.empty());
    }
}

// --- Comandos -----------------------------------------------------------------------------

void TJanelaPrincipal::MNovoClick() {
    Proteger([this] {
        FGerente.Novo();
        nbDados->setCurrentIndex(0);
        MostrarPagina(PAG_DADOS);
    });
    AtualizarRecentes();
}

void TJanelaPrincipal::MAbrirClick() {
    Proteger([this] {
        if (FGerente.Abrir()) {
            nbDados->setCurrentIndex(0);
            MostrarPagina(PAG_DADOS);
        }
    });
    // Um arquivo que não passou da conferência deixa o projeto aberto como estava.
    if (!FGerente.ProjetoAberto()) MostrarPagina(PAG_INICIAL);
    AtualizarRecentes();
}

void TJanelaPrincipal::MSalvarClick() {
    Proteger([this] { FGerente.Salvar(); });
    AtualizarRecentes();
}

void TJanelaPrincipal::MSalvarComoClick() {
    Proteger([this] { FGerente.SalvarComo(); });
    AtualizarRecentes();
}

void TJanelaPrincipal::MFecharClick() {
    Proteger([this] {
        if (FGerente.Fechar()) MostrarPagina(PAG_INICIAL);
    });
    AtualizarRecentes();
}

void TJanelaPrincipal::AbrirRecenteClick(int tag) {
    Proteger([this, tag] {
        if (FGerente.AbrirArquivo(FGerente.Recentes()[tag - 1])) MostrarPagina(PAG_DADOS);
    });
    // O recente que não abriu deixa a janela sem projeto, na página inicial.
    if (!FGerente.ProjetoAberto()) MostrarPagina(PAG_INICIAL);
    AtualizarRecentes();
}

void TJanelaPrincipal::MSairClick() {
    close();
}

void TJanelaPrincipal::closeEvent(QCloseEvent* evento) {
    if (FAcompanhamento) {
        evento->ignore();
        return;
    }
    bool fechou = false;
    Proteger([&] { fechou = FGerente.Fechar(); });
    AtualizarRecentes();
    if (!fechou) {
        evento->ignore();
        return;
    }
    Proteger([this] { GravarConfiguracao(true); });
    tmrRelogio->stop();
    evento->accept();
}

void TJanelaPrincipal::MConfigImpresClick() {
    QPageSetupDialog d(&Impressora(), this);
    d.setWindowTitle(QStringLiteral("Configurar impressora"));
    d.exec();
}

void TJanelaPrincipal::ConfigurarUnidadesClick() {
    Proteger([this] {
        LerCampos(false);
        if (!ConfigurarUnidades(FUnidades, this)) return;
        FUnidadesConfiguracao = FUnidades;
        GravarConfiguracao(false);
    });
    lblErod->setText(QString::fromStdString(FUnidades.UnidadeErodibilidade));
}

void TJanelaPrincipal::MSobreMorvendoClick() {
    TDialogoSobre sobre(this);
    sobre.exec();
}

void TJanelaPrincipal::PaginaInternetClick(int tag) {
    Proteger([this, tag] {
        if (tag < 1 || tag > 4 ||
            !FInteracao->AbrirEndereco(QUrl(QString::fromLatin1(Enderecos[tag - 1]))))
            throw EMorvendo("Não foi possível abrir a página escolhida.");
    });
}

// --- Eventos do gerente -------------------------------------------------------------------

void TJanelaPrincipal::QuandoConferirArquivo(const std::string& caminho) {
    // Lido num projeto à parte, com unidades à parte: um arquivo ruim não toca no aberto.
    TUnidades unidades;
    static_cast<TEscolhaUnidades&>(unidades) = FUnidades;
    TProjeto lido(unidades);
    ZerarVariaveis(lido);
    if (!LerProjeto(lido, caminho))
        throw EArquivoRecusado("Ocorreu um erro ao tentar ler o arquivo " + caminho + ".");
}

void TJanelaPrincipal::QuandoLerArquivo(bool& leuCerto) {
    const TEscolhaUnidades antes = FUnidades;
    try {
        leuCerto = LerProjeto(*FProjeto, FGerente.PathProjeto);
    } catch (...) {
        setWindowTitle(QString::fromLatin1(TituloPrograma));
        FGerente.Fechar();
        MostrarPagina(PAG_INICIAL);
        throw;
    }
    // Os valores do projeto estão nas unidades dele, que passam a valer na janela: quem
    // trabalhava noutras precisa saber.
    if (leuCerto && (antes.Declividade != FUnidades.Declividade || antes.VI != FUnidades.VI ||
                     antes.Erodibilidade != FUnidades.Erodibilidade))
        FInteracao->MostrarInformacao(
            "O projeto foi gravado com outras unidades, que passam a valer: declividade em " +
            FUnidades.UnidadeDeclividade + ", taxa de infiltração estável em " +
            FUnidades.UnidadeVI + " e erodibilidade em " + FUnidades.UnidadeErodibilidade + ".");
}

void TJanelaPrincipal::QuandoEscreverArquivo() {
    EscreverProjeto(*FProjeto, FGerente.PathProjeto);
}

void TJanelaPrincipal::QuandoHabilitarCampos() {
    for (QAction* a : {MSalvar, MSalvarComo, MFechar})
        a->setEnabled(true);
    BtnSalvar->setEnabled(true);
    BFechar->setEnabled(true);
}

void TJanelaPrincipal::QuandoDesabilitarCampos() {
    for (QAction* a : {MSalvar, MSalvarComo, MFechar})
        a->setEnabled(false);
    BtnSalvar->setEnabled(false);
    BFechar->setEnabled(false);
}

void TJanelaPrincipal::QuandoLerCamposDados() {
    LerCampos(false);
}
