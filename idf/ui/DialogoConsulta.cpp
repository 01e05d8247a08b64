#include "idf/ui/DialogoConsulta.h"

#include "comum/ContextosAjuda.h"
#include "comum/MensagemErro.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "idf/VerificacaoIdf.h"
#include "idf/ui/DialogoAjusteIdf.h"
#include "idf/ui/DialogoAutor.h"
#include "idf/ui/DialogoMinhasEstacoes.h"
#include "idf/ui/DialogoRelatorioConsulta.h"
#include "idf/ui/DialogoSobreConsulta.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString CoordenadaZero = QStringLiteral("00°00'00\"");
const char* const CidadeNaoDefinida = "Não definida";
const QString TextoAutor = QStringLiteral("Autor");
const QString TituloConsulta = QStringLiteral("Consulta da equação de chuva");

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QString SemBrancosADireita(const std::string& s) {
    QString t = Q(s);
    while (!t.isEmpty() && t.back().isSpace())
        t.chop(1);
    return t;
}

// Cursor de espera enquanto o estado é carregado; volta ao normal em qualquer saída.
class TCursorEspera {
public:
    TCursorEspera() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TCursorEspera() { Restaurar(); }
    void Restaurar() {
        if (FAtivo) QApplication::restoreOverrideCursor();
        FAtivo = false;
    }

private:
    bool FAtivo = true;
};

// Uma folga de arredondamento nas pontas da moldura: o clique na borda do mapa dá a borda.
bool NaFaixa(double& v, double minimo, double maximo) {
    constexpr double folga = 1e-9;
    if (v < minimo - folga || v > maximo + folga) return false;
    v = std::min(std::max(v, minimo), maximo);
    return true;
}

QLabel* Rotulo(const QString& texto, QWidget* pai, bool negrito = false) {
    auto* r = new QLabel(texto, pai);
    if (negrito) {
        QFont f = r->font();
        f.setBold(true);
        r->setFont(f);
    }
    return r;
}

QLineEdit* Quadro(QWidget* pai, const char* nome) {
    auto* q = new QLineEdit(pai);
    q->setObjectName(nome);
    q->setReadOnly(true);
    return q;
}

// Texto livre: graus, minutos e segundos (7°20'58") ou graus decimais (-22,5 ou 22,5 S),
// como GPS e mapas os dão.
QLineEdit* EditCoordenada(QWidget* pai, const char* nome, const QString& dica) {
    auto* e = new QLineEdit(pai);
    e->setObjectName(nome);
    e->setMaxLength(40);
    e->setToolTip(dica + QStringLiteral(": 27°11'36\", -27,1933 ou 27,1933 S"));
    return e;
}

} // namespace

// ---- TFiguraMapa ----

TFiguraMapa::TFiguraMapa(QWidget* pai) : QLabel(pai) {
    setMouseTracking(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TFiguraMapa::DefinirFigura(const QImage& figura) {
    FFigura = figura.convertToFormat(QImage::Format_RGB32);
    setPixmap(QPixmap::fromImage(FFigura));
}

std::optional<TCor> TFiguraMapa::Cor(int x, int y) const {
    if (!FFigura.valid(x, y)) return std::nullopt;
    const QRgb c = FFigura.pixel(x, y);
    return TCor{static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)),
                static_cast<std::uint8_t>(qBlue(c))};
}

void TFiguraMapa::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    emit Movido(p.x(), p.y());
}

void TFiguraMapa::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint p = e->position().toPoint();
    // O ponteiro chega ao ponto antes do clique; sem movimento (toque, teclado) vale o mesmo.
    emit Movido(p.x(), p.y());
    emit Solto(p.x(), p.y());
}

// ---- Criação ----

TDialogoConsulta::TDialogoConsulta(const TAmbienteConsulta& ambiente, QWidget* pai)
    : QDialog(pai), BD(ambiente.PastaComuns.toStdString()),
      Minhas(ambiente.PastaUsuario.toStdString()), FAmbiente(ambiente) {
    setObjectName("DialogoConsulta");
    MontarTela();
    LigarSinais();
    {
        QImage brasil;
        if (brasil.load(FAmbiente.Arquivo("Brasil.bmp"))) BrasilBMP->DefinirFigura(brasil);
    }
    BD.CarregarEstacoes();
    try {
        Minhas.Carregar();
    } catch (const std::exception& e) {
        // As distribuídas continuam; o arquivo com erro não é sobrescrito.
        FErroMinhas = Q(MensagemParaUsuario(e));
    }
    AplicarMinhasEstacoes();
}

TDialogoConsulta::~TDialogoConsulta() = default;

void TDialogoConsulta::MontarTela() {
    setWindowTitle(TituloConsulta);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(0, 0, 0, 0);
    raiz->setSpacing(0);

    Menu = new QMenuBar(this);
    acaoMapaDoBrasil = Menu->addAction(QStringLiteral("&Mapa do Brasil"));
    acaoRelatorio = Menu->addAction(QStringLiteral("&Relatório"));
    MinhasEstacoes1 = Menu->addAction(QStringLiteral("Minhas es&tações"));
    auto* menuAjuda = Menu->addMenu(QStringLiteral("&Ajuda"));
    Contedo1 = menuAjuda->addAction(QStringLiteral("&Conteúdo"));
    menuAjuda->addSeparator();
    acaoAjudaSobre = menuAjuda->addAction(QStringLiteral("Obter ajuda sobre…"));
    menuAjuda->addSeparator();
    acaoSobre = menuAjuda->addAction(QStringLiteral("&Sobre a consulta da equação de chuva"));
    raiz->setMenuBar(Menu);

    auto* cliente = new QWidget(this);
    cliente->setFixedSize(742, 596);
    raiz->addWidget(cliente);

    // Mapas: as coordenadas dos filhos das páginas são as dos pixels das figuras.
    Notebook1 = new QStackedWidget(cliente);
    Notebook1->setObjectName("Notebook1");
    Notebook1->setGeometry(4, 4, LadoFigura, LadoFigura);

    auto* paginaBrasil = new QWidget;
    paginaBrasil->setObjectName("Brasil");
    BrasilBMP = new TFiguraMapa(paginaBrasil);
    BrasilBMP->setObjectName("BrasilBMP");
    BrasilBMP->setGeometry(0, 0, LadoFigura, LadoFigura);
    BrasilBMP->setCursor(Qt::PointingHandCursor);
    // No canto de baixo à esquerda, fora do desenho do país.
    NomeCid = Rotulo(QString(), paginaBrasil, true);
    NomeCid->setGeometry(8, 354, 200, 36);
    NomeCid->setWordWrap(true);
    NomeCid->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    LatCid = Rotulo(QStringLiteral("Latitude:"), paginaBrasil);
    LatCid->setGeometry(8, 394, 72, 18);
    LonCid = Rotulo(QStringLiteral("Longitude:"), paginaBrasil);
    LonCid->setGeometry(8, 414, 72, 18);
    LabelLatitude = Rotulo(QString(), paginaBrasil, true);
    LabelLatitude->setGeometry(82, 394, 100, 18);
    LabelLongitude = Rotulo(QString(), paginaBrasil, true);
    LabelLongitude->setGeometry(82, 414, 100, 18);
    Notebook1->addWidget(paginaBrasil);

    auto* paginaEstados = new QWidget;
    paginaEstados->setObjectName("Estados");
    EstadoBMP = new TFiguraMapa(paginaEstados);
    EstadoBMP->setObjectName("EstadoBMP");
    EstadoBMP->setGeometry(0, 0, LadoFigura, LadoFigura);
    EstadoBMP->setCursor(Qt::CrossCursor);
    EixoX = new QFrame(paginaEstados);
    EixoX->setGeometry(0, 0, LadoFigura, 1);
    EixoY = new QFrame(paginaEstados);
    EixoY->setGeometry(0, 0, 1, LadoFigura);
    for (auto* eixo : {EixoX, EixoY}) {
        eixo->setAutoFillBackground(true);
        QPalette p = eixo->palette();
        p.setColor(QPalette::Window, Qt::black);
        eixo->setPalette(p);
        // A cruz não pode roubar o ponteiro do mapa.
        eixo->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    LabelLat = Rotulo(QString(), paginaEstados, true);
    LabelLon = Rotulo(QString(), paginaEstados, true);
    for (auto* r : {LabelLat, LabelLon})
        r->setAttribute(Qt::WA_TransparentForMouseEvents);
    Notebook1->addWidget(paginaEstados);
    for (QWidget* w :
         std::initializer_list<QWidget*>{NomeCid, LatCid, LonCid, LabelLatitude, LabelLongitude,
                                         EstadoBMP, EixoX, EixoY, LabelLat, LabelLon})
        w->hide();

    // Coluna da direita.
    const int xd = 462, ld = 276;
    auto* lEstados = Rotulo(QStringLiteral("&Estados :"), cliente);
    lEstados->setGeometry(xd, 4, ld, 18);
    Estados = new QComboBox(cliente);
    Estados->setObjectName("Estados");
    Estados->setToolTip(QStringLiteral("Estados"));
    Estados->setGeometry(xd, 22, ld, 26);
    for (const auto& e : TabelaEstados)
        Estados->addItem(QString::fromUtf8(e.Nome));
    Estados->setMaxVisibleItems(27);
    lEstados->setBuddy(Estados);

    auto* lEstacoes = Rotulo(QStringLiteral("Es&tações :"), cliente);
    lEstacoes->setGeometry(xd, 54, ld, 18);
    LBEstacao = new QListWidget(cliente);
    LBEstacao->setObjectName("LBEstacao");
    LBEstacao->setToolTip(QStringLiteral("Estações"));
    LBEstacao->setGeometry(xd, 72, ld, 152);
    lEstacoes->setBuddy(LBEstacao);

    LLocalidades = Rotulo(QStringLiteral("&Localidades :"), cliente);
    LLocalidades->setObjectName("LLocalidades");
    LLocalidades->setGeometry(xd, 230, ld, 18);
    LBLocalidade = new QListWidget(cliente);
    LBLocalidade->setObjectName("LBLocalidade");
    LBLocalidade->setToolTip(QStringLiteral("Localidades"));
    LBLocalidade->setGeometry(xd, 248, ld, 136);
    LLocalidades->setBuddy(LBLocalidade);

    lAviso = new QLabel(
        QStringLiteral("Dados obtidos por desagregação da chuva de um dia em chuvas de menor "
                       "duração, segundo metodologia proposta pelo DAEE-CETESB."),
        cliente);
    lAviso->setObjectName("lAviso");
    lAviso->setWordWrap(true);
    lAviso->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lAviso->setGeometry(xd, 232, ld, 90);
    lAviso->hide();

    Autor = new QPushButton(TextoAutor, cliente);
    Autor->setObjectName("Autor");
    Autor->setToolTip(TextoAutor);
    Autor->setCursor(Qt::PointingHandCursor);
    Autor->setAutoDefault(false);
    Autor->setGeometry(xd, 422, ld / 2 - 2, 32);
    BtnAjustarIdf = new QPushButton(QStringLiteral("A&justar equação..."), cliente);
    BtnAjustarIdf->setObjectName("BtnAjustarIdf");
    BtnAjustarIdf->setToolTip(
        QStringLiteral("K, a, b, c a partir de uma tabela de intensidades ou de uma equação "
                       "publicada"));
    BtnAjustarIdf->setAutoDefault(false);
    BtnAjustarIdf->setGeometry(xd + ld / 2 + 2, 422, ld / 2 - 2, 32);
    BtnMinhas = new QPushButton(QStringLiteral("Minhas estações..."), cliente);
    BtnMinhas->setObjectName("BtnMinhas");
    BtnMinhas->setToolTip(
        QStringLiteral("Incluir, editar ou importar as equações que você tem do lugar"));
    BtnMinhas->setAutoDefault(false);
    BtnMinhas->setGeometry(xd, 388, ld, 30);

    // Parte de baixo: coordenadas, parâmetros e botões.
    gbLocalizacao = new QGroupBox(cliente);
    gbLocalizacao->setObjectName("gbLocalizacao");
    gbLocalizacao->setToolTip(QStringLiteral("Localização"));
    gbLocalizacao->setGeometry(4, 456, 262, 64);
    {
        auto* g = new QGridLayout(gbLocalizacao);
        g->setContentsMargins(6, 4, 6, 4);
        g->setVerticalSpacing(2);
        auto* lLat = Rotulo(QStringLiteral("Latit&ude :"), gbLocalizacao);
        auto* lLon = Rotulo(QStringLiteral("L&ongitude :"), gbLocalizacao);
        PrecLaAux = EditCoordenada(gbLocalizacao, "PrecLaAux", QStringLiteral("Latitude"));
        PrecLoAux = EditCoordenada(gbLocalizacao, "PrecLoAux", QStringLiteral("Longitude"));
        lLat->setBuddy(PrecLaAux);
        lLon->setBuddy(PrecLoAux);
        Calculalalo = new QPushButton(QStringLiteral("&Calcular"), gbLocalizacao);
        Calculalalo->setObjectName("Calculalalo");
        Calculalalo->setToolTip(QStringLiteral("Calcular interpolação"));
        Calculalalo->setAutoDefault(false);
        g->addWidget(lLat, 0, 0);
        g->addWidget(PrecLaAux, 0, 1);
        g->addWidget(Rotulo(QStringLiteral("S"), gbLocalizacao), 0, 2);
        g->addWidget(lLon, 1, 0);
        g->addWidget(PrecLoAux, 1, 1);
        g->addWidget(Rotulo(QStringLiteral("W"), gbLocalizacao), 1, 2);
        g->addWidget(Calculalalo, 0, 3, 2, 1);
    }

    Precipitacao = new QGroupBox(QStringLiteral(" Parâmetros da Equação IDF "), cliente);
    Precipitacao->setObjectName("Precipitacao");
    Precipitacao->setToolTip(
        QStringLiteral("Parâmetros da equação intensidade-duração-frequência da precipitação"));
    Precipitacao->setGeometry(270, 456, 250, 64);
    {
        auto* g = new QGridLayout(Precipitacao);
        g->setContentsMargins(6, 2, 6, 4);
        g->setVerticalSpacing(2);
        PrecK = Quadro(Precipitacao, "PrecK");
        PrecA = Quadro(Precipitacao, "PrecA");
        PrecB = Quadro(Precipitacao, "PrecB");
        PrecC = Quadro(Precipitacao, "PrecC");
        g->addWidget(Rotulo(QStringLiteral("K:"), Precipitacao), 0, 0);
        g->addWidget(PrecK, 0, 1);
        g->addWidget(Rotulo(QStringLiteral("a:"), Precipitacao), 0, 2);
        g->addWidget(PrecA, 0, 3);
        g->addWidget(Rotulo(QStringLiteral("b:"), Precipitacao), 1, 0);
        g->addWidget(PrecB, 1, 1);
        g->addWidget(Rotulo(QStringLiteral("c:"), Precipitacao), 1, 2);
        g->addWidget(PrecC, 1, 3);
    }

    auto botao = [&](const QString& texto, const char* nome, int x, int y) {
        auto* b = new QPushButton(texto, cliente);
        b->setObjectName(nome);
        b->setGeometry(x, y, 104, 29);
        b->setAutoDefault(false);
        return b;
    };
    BtnRelat = botao(QStringLiteral("&Relatório"), "BtnRelat", 526, 460);
    BtnAjuda = botao(QStringLiteral("&Ajuda"), "BtnAjuda", 634, 460);
    BtnCancel = botao(QStringLiteral("&Cancelar"), "BtnCancel", 526, 491);
    BtnOk = botao(QStringLiteral("&Fechar"), "BtnOk", 634, 491);
    BtnOk->setDefault(true);

    LabelPonteiro = new QLabel(cliente);
    LabelPonteiro->setObjectName("LabelPonteiro");
    LabelPonteiro->setGeometry(8, 524, 510, 20);
    LabelOrigem = new QLabel(cliente);
    LabelOrigem->setObjectName("LabelOrigem");
    LabelOrigem->setGeometry(8, 546, 726, 48);
    LabelOrigem->setWordWrap(true);
    LabelOrigem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelOrigem->setTextFormat(Qt::PlainText);

    // Área cliente de 742 x 596 abaixo do menu; tamanho fixo antes de a janela existir.
    setFixedSize(742, Menu->sizeHint().height() + 596);

    PrecLaAux->setEnabled(false);
    PrecLoAux->setEnabled(false);
    Calculalalo->setEnabled(false);
    PrecLaAux->setText(CoordenadaZero);
    PrecLoAux->setText(CoordenadaZero);

    const bool comAjuda = static_cast<bool>(FAmbiente.Ajuda.Topico);
    BtnAjuda->setEnabled(comAjuda);
    Contedo1->setEnabled(static_cast<bool>(FAmbiente.Ajuda.Conteudo));
    acaoAjudaSobre->setEnabled(static_cast<bool>(FAmbiente.Ajuda.Procurar));
}

void TDialogoConsulta::LigarSinais() {
    connect(Estados, &QComboBox::activated, this,
            [this] { Protegido([this] { EstadosClick(); }); });
    // Teclado muda a linha atual; o clique também vale na linha já marcada que ainda não
    // foi aplicada (a primeira localidade fica marcada ao escolher o estado).
    connect(LBEstacao, &QListWidget::currentRowChanged, this, [this](int linha) {
        if (linha >= 0 && linha != FLinhaEstacao)
            EscolherNaLista(LBEstacao, &TDialogoConsulta::LBEstacaoClick);
    });
    connect(LBEstacao, &QListWidget::itemClicked, this, [this] {
        if (LBEstacao->currentRow() != FLinhaEstacao)
            EscolherNaLista(LBEstacao, &TDialogoConsulta::LBEstacaoClick);
    });
    connect(LBLocalidade, &QListWidget::currentRowChanged, this, [this](int linha) {
        if (linha >= 0 && linha != FLinhaLocalidade)
            EscolherNaLista(LBLocalidade, &TDialogoConsulta::LBLocalidadeClick);
    });
    connect(LBLocalidade, &QListWidget::itemClicked, this, [this] {
        if (LBLocalidade->currentRow() != FLinhaLocalidade)
            EscolherNaLista(LBLocalidade, &TDialogoConsulta::LBLocalidadeClick);
    });
    connect(EstadoBMP, &TFiguraMapa::Movido, this,
            [this](int x, int y) { Protegido([=, this] { EstadoBMPMouseMove(x, y); }); });
    connect(EstadoBMP, &TFiguraMapa::Solto, this,
            [this](int x, int y) { Protegido([=, this] { EstadoBMPMouseUp(x, y); }); });
    connect(BrasilBMP, &TFiguraMapa::Movido, this,
            [this](int x, int y) { BrasilBMPMouseMove(x, y); });
    connect(BrasilBMP, &TFiguraMapa::Solto, this,
            [this](int x, int y) { Protegido([=, this] { BrasilBMPMouseUp(x, y); }); });
    connect(Calculalalo, &QPushButton::clicked, this,
            [this] { Protegido([this] { CalculalaloClick(); }); });
    for (auto* e : {PrecLaAux, PrecLoAux})
        connect(e, &QLineEdit::textEdited, this, [this] { PrecLaAuxKeyPress(); });
    connect(acaoMapaDoBrasil, &QAction::triggered, this,
            [this] { Protegido([this] { MapaDoBrasilClick(); }); });
    connect(BtnRelat, &QPushButton::clicked, this,
            [this] { Protegido([this] { BtnRelatClick(); }); });
    connect(acaoRelatorio, &QAction::triggered, this,
            [this] { Protegido([this] { BtnRelatClick(); }); });
    connect(Autor, &QPushButton::clicked, this, [this] { Protegido([this] { AutorClick(); }); });
    connect(BtnAjustarIdf, &QPushButton::clicked, this,
            [this] { Protegido([this] { AjustarEquacaoClick(); }); });
    connect(BtnMinhas, &QPushButton::clicked, this,
            [this] { Protegido([this] { MinhasEstacoesClick(); }); });
    connect(MinhasEstacoes1, &QAction::triggered, this,
            [this] { Protegido([this] { MinhasEstacoesClick(); }); });
    connect(acaoSobre, &QAction::triggered, this, [this] { SobreClick(); });
    connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtnAjuda, &QPushButton::clicked, this, [this] {
        if (FAmbiente.Ajuda.Topico) FAmbiente.Ajuda.Topico(7);
    });
    connect(Contedo1, &QAction::triggered, this, [this] {
        if (FAmbiente.Ajuda.Conteudo) FAmbiente.Ajuda.Conteudo();
    });
    connect(acaoAjudaSobre, &QAction::triggered, this, [this] {
        if (FAmbiente.Ajuda.Procurar) FAmbiente.Ajuda.Procurar(QString());
    });
}

template <class F> void TDialogoConsulta::Protegido(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        FAmbiente.Avisos().Erro(this, QString::fromStdString(MensagemParaUsuario(e)));
    }
}

void TDialogoConsulta::EscolherNaLista(QListWidget* lista, void (TDialogoConsulta::*tratador)()) {
    // O clique recusado ainda termina (o soltar do botão) antes do aviso: não é outra escolha.
    if (FRecusaPendente) return;
    try {
        (this->*tratador)();
    } catch (const std::exception& e) {
        // O aviso espera o clique terminar: a lista marca a linha clicada depois do sinal, e
        // uma caixa aberta no meio do clique devolveria o foco a uma lista sem linha atual,
        // que toma a primeira linha, recusada de novo, a cada OK.
        FRecusaPendente = true;
        QTimer::singleShot(0, this, [this, lista, mensagem = QString::fromUtf8(e.what())] {
            RestaurarMarca(lista);
            FRecusaPendente = false;
            FAmbiente.Avisos().Erro(this, mensagem);
        });
    }
}

void TDialogoConsulta::RestaurarMarca(QListWidget* lista) {
    const int aplicada = lista == LBEstacao ? FLinhaEstacao : FLinhaLocalidade;
    const QSignalBlocker b(lista);
    if (aplicada >= 0 && aplicada < lista->count()) {
        lista->setCurrentRow(aplicada);
        return;
    }
    // A linha recusada continua a atual, sem marca: sem linha atual, a lista tomaria a
    // primeira ao receber o foco, e isso seria uma nova escolha.
    lista->clearSelection();
}

// ---- Preparação e leitura ----

void TDialogoConsulta::DefinirPosicoes(std::int16_t indEstacao, std::int16_t indLocalidade) {
    IndEstacao = indEstacao;
    IndLocalidade = indLocalidade;
}

double TDialogoConsulta::ConferirLatitude(const std::string& texto) const {
    double v = GrausDecimais(texto);
    if (MapaDoEstadoVisivel() && !NaFaixa(v, FMoldura.LatMin, FMoldura.LatMax))
        throw EMorvendo("Latitude " + texto + " não definida.");
    return v;
}

double TDialogoConsulta::ConferirLongitude(const std::string& texto) const {
    double v = GrausDecimais(texto);
    if (MapaDoEstadoVisivel() && !NaFaixa(v, FMoldura.LonMin, FMoldura.LonMax))
        throw EMorvendo("Longitude " + texto + " não definida.");
    return v;
}

void TDialogoConsulta::LerLatitude(const std::string& texto) {
    Latitude = ConferirLatitude(texto);
    StrLatitude = texto;
}

void TDialogoConsulta::LerLongitude(const std::string& texto) {
    Longitude = ConferirLongitude(texto);
    StrLongitude = texto;
}

void TDialogoConsulta::DefinirLatitude(double v) {
    if (!NaFaixa(v, FMoldura.LatMin, FMoldura.LatMax)) return;
    Latitude = v;
    StrLatitude = TextoGraus(v);
}

void TDialogoConsulta::DefinirLongitude(double v) {
    if (!NaFaixa(v, FMoldura.LonMin, FMoldura.LonMax)) return;
    Longitude = v;
    StrLongitude = TextoGraus(v);
}

std::optional<TRespostaConsulta> TDialogoConsulta::Mostrar() {
    if (exec() != QDialog::Accepted) return std::nullopt;
    return Resposta();
}

TRespostaConsulta TDialogoConsulta::Resposta() const {
    TRespostaConsulta r;
    r.IndEstado = EstadoEscolhido.Indice();
    r.PrecK = PrecK->text().toStdString();
    r.PrecA = PrecA->text().toStdString();
    r.PrecB = PrecB->text().toStdString();
    r.PrecC = PrecC->text().toStdString();
    r.Autoria = Autoria;
    r.StrLatitude = StrLatitude;
    r.StrLongitude = StrLongitude;
    r.IndEstacao = IndEstacao;
    r.IndLocalidade = IndLocalidade;
    r.StrCidade = StrCidade;
    return r;
}

// ---- Apoio da tela ----

bool TDialogoConsulta::MapaDoEstadoVisivel() const {
    return Notebook1->currentIndex() == 1 && MolduraEstado(EstadoEscolhido.Indice()) != nullptr;
}

void TDialogoConsulta::GuardarCoordenadas(double lat, const std::string& strLat, double lon,
                                          const std::string& strLon) {
    Latitude = lat;
    StrLatitude = strLat;
    Longitude = lon;
    StrLongitude = strLon;
}

void TDialogoConsulta::MarcarPontoAtual(const QString& autor) {
    // A fonte vale para os parâmetros mostrados, com ou sem a cruz no mapa.
    MostrarAutor(autor);
    CalcularPixel();
    if (!DentroDoEstado(FX, FY)) {
        EsconderCruz();
        return;
    }
    LabelLat->setText(ComHemisferio(Q(StrLatitude), true));
    LabelLon->setText(ComHemisferio(Q(StrLongitude), false));
    PosicionarCruz(FX, FY);
}

void TDialogoConsulta::AutorSemFonte() {
    Autor->setText(TextoAutor);
    Autor->setEnabled(false);
}

void TDialogoConsulta::MostrarAutor(const QString& autor) {
    Autor->setText(autor);
    Autor->setEnabled(!autor.isEmpty());
}

void TDialogoConsulta::PreencherListaEstacoes() {
    LBEstacao->clear();
    FLinhaEstacao = -1;
    for (const auto& e : BD.Estacoes[EstadoEscolhido.Indice()])
        LBEstacao->addItem(Q(e.Nome) +
                           (e.DoUsuario ? QString::fromUtf8(MarcaEstacaoUsuario) : QString()));
}

const TEstacaoUsuario* TDialogoConsulta::MinhaEstacaoEmUso() const {
    if (!Registro.DoUsuario) return nullptr;
    // Estado e nome são a chave: o da consulta que achou a estação, ou o da lista escolhida.
    const int estado = FConsulta && !FConsulta->Interpolada && !FConsulta->Usadas.empty()
                           ? FConsulta->Usadas.front().Estado
                           : EstadoEscolhido.Indice();
    const TEstacaoUsuario* e = ProcurarEstacaoUsuario(Minhas.Lista(), estado, Registro.Nome);
    if (!e) return nullptr;
    const TEstacao b = EstacaoDoBanco(*e);
    return b.Latitude == Registro.Latitude && b.Longitude == Registro.Longitude ? e : nullptr;
}

void TDialogoConsulta::AplicarMinhasEstacoes() {
    AplicarEstacoesUsuario(BD, Minhas.Lista());
}

bool TDialogoConsulta::SalvarMinhaEstacao(const TEstacaoUsuario& modelo, QWidget* pai) {
    TDialogoEstacaoUsuario editor(FAmbiente.Avisos(), pai);
    editor.DefinirEstacao(modelo);
    editor.Minhas = &Minhas;
    editor.Posicao = Minhas.Lista().size();
    if (editor.exec() != QDialog::Accepted) return false;
    try {
        Minhas.Adicionar(editor.Estacao());
    } catch (const std::exception& e) {
        FAmbiente.Avisos().Erro(pai, Q(MensagemParaUsuario(e)));
        return false;
    }
    MinhasMudaram();
    return true;
}

void TDialogoConsulta::MinhasMudaram() {
    AplicarMinhasEstacoes();
    // As posições da lista mudaram: nada fica marcado, e os quadros guardam o que tinham.
    const QSignalBlocker b(LBEstacao);
    PreencherListaEstacoes();
    Desmarcar(LBEstacao);
    IndEstacao = -1;
}

void TDialogoConsulta::MinhasEstacoesClick() {
    TDialogoMinhasEstacoes janela(Minhas, FAmbiente.Avisos(), this);
    janela.EstadoInicial = EstadoEscolhido.Indice();
    janela.exec();
    if (janela.Mudou()) MinhasMudaram();
}

void TDialogoConsulta::CalcularPixel() {
    const TPixel p = PontoParaPixel(FMoldura, Latitude, Longitude);
    FX = std::isfinite(p.X) && std::abs(p.X) < 1e6 ? PixelInteiro(p.X) : -1;
    FY = std::isfinite(p.Y) && std::abs(p.Y) < 1e6 ? PixelInteiro(p.Y) : -1;
}

bool TDialogoConsulta::DentroDoEstado(int x, int y) const {
    const auto cor = EstadoBMP->Cor(x, y);
    return cor && *cor == CorEstadoNoMapa;
}

void TDialogoConsulta::PosicionarCruz(int x, int y) {
    EixoY->move(x, 0);
    EixoX->move(0, y);
    LabelLat->adjustSize();
    LabelLon->adjustSize();
    LabelLon->move(LadoFigura - x < 250 ? x - 62 : x + 5, y > 100 ? 15 : 420);
    LabelLat->move(x > 100 ? 10 : 385, y > 30 ? y - 20 : y + 10);
    for (QWidget* w : {static_cast<QWidget*>(EixoX), static_cast<QWidget*>(EixoY),
                       static_cast<QWidget*>(LabelLat), static_cast<QWidget*>(LabelLon)}) {
        w->show();
        w->raise();
    }
}

void TDialogoConsulta::EsconderCruz() {
    EixoX->hide();
    EixoY->hide();
    LabelLat->hide();
    LabelLon->hide();
}

void TDialogoConsulta::EsconderRotulosEstacao() {
    for (QWidget* w : {NomeCid, LatCid, LonCid, LabelLatitude, LabelLongitude})
        w->hide();
}

void TDialogoConsulta::LimparQuadros() {
    for (auto* q : {PrecK, PrecA, PrecB, PrecC})
        q->clear();
}

void TDialogoConsulta::MostrarParametros(const TEstacao& e, const char* mK, const char* mA,
                                         const char* mB, const char* mC) {
    const char sep = SeparadorDecimalLocal();
    auto texto = [sep](const char* mascara, double v) {
        return Q(mascara ? FormatFloat(mascara, v, sep) : FloatToStr(v, sep));
    };
    PrecK->setText(texto(mK, e.K));
    PrecA->setText(texto(mA, e.A));
    PrecB->setText(texto(mB, e.B));
    PrecC->setText(texto(mC, e.C));
}

void TDialogoConsulta::Desmarcar(QListWidget* lista) {
    const QSignalBlocker b(lista);
    lista->setCurrentRow(-1);
    lista->clearSelection();
    (lista == LBEstacao ? FLinhaEstacao : FLinhaLocalidade) = -1;
}

void TDialogoConsulta::Marcar(QListWidget* lista, int linha) {
    const QSignalBlocker b(lista);
    if (linha >= 0 && linha < lista->count())
        lista->setCurrentRow(linha);
    else {
        lista->setCurrentRow(-1);
        lista->clearSelection();
    }
}

void TDialogoConsulta::AtualizarAviso() {
    const auto& chave = FAmbiente.ChaveFonteGoiasDF;
    lAviso->setVisible(EstadoEscolhido.Indice() == 8 && !chave.empty() &&
                       Autor->text() == Q(chave));
}

std::string TDialogoConsulta::LerTextoCoordenada(const QLineEdit* edit, bool latitude) const {
    const std::string t = edit->text().trimmed().toStdString();
    const char* campo = latitude ? "Latitude" : "Longitude";
    const auto v = LerCoordenada(t, latitude);
    if (!v)
        throw EMorvendo(std::string(campo) + " \"" + t +
                        "\" não é uma coordenada: use graus, minutos e segundos (27°11'36\") ou "
                        "graus decimais (-27,1933 ou 27,1933 " +
                        (latitude ? "S" : "O") + ").");
    if (*v < 0)
        throw EMorvendo(std::string(campo) + " \"" + t + "\" fica " +
                        (latitude ? "ao norte do equador" : "a leste de Greenwich") +
                        "; a consulta guarda só latitudes ao sul e longitudes a oeste.");
    return TextoCoordenada(*v);
}

TConsultaPonto TDialogoConsulta::ConsultarPonto(const std::string& lat,
                                                const std::string& lon) const {
    return BD.Consultar(lat, lon, RaioInterpolacaoKm());
}

QString TDialogoConsulta::MostrarConsulta(const TConsultaPonto& c, const char* mK, const char* mB) {
    FConsulta = c;
    Registro = c.Resultado;
    if (c.Interpolada)
        MostrarParametros(c.Resultado, mK, "0.000", mB, "0.000");
    else
        MostrarParametros(c.Resultado, nullptr, nullptr, nullptr, nullptr);
    const QString origem = Q(TextoOrigemConsulta(c, SeparadorDecimalLocal()));
    LabelOrigem->setText(QString(origem).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    LabelOrigem->setToolTip(origem);
    return c.Interpolada ? Q(AutorInterpolacao) : SemBrancosADireita(c.Resultado.Autor);
}

void TDialogoConsulta::LimparOrigem() {
    FConsulta.reset();
    LabelOrigem->clear();
    LabelOrigem->setToolTip(QString());
}

void TDialogoConsulta::SelecionarEstado(int indice) {
    {
        const QSignalBlocker b(Estados);
        Estados->setCurrentIndex(indice);
    }
    EstadosClick();
}

// ---- Tratadores ----

void TDialogoConsulta::EstadosClick() {
    const int indice = Estados->currentIndex();
    TCursorEspera espera;

    EsconderCruz();
    LabelLat->clear();
    LabelLon->clear();
    LimparQuadros();
    PrecLaAux->setText(CoordenadaZero);
    PrecLoAux->setText(CoordenadaZero);
    EsconderRotulosEstacao();
    lAviso->hide();

    const TMolduraMapa* moldura = MolduraEstado(indice);
    if (moldura) FMoldura = *moldura;

    const int anterior = EstadoEscolhido.Indice();
    EstadoEscolhido.DefinirIndice(indice);
    BD.Localidades.clear();

    const QString nome = Q(EstadoEscolhido.NomeEstado());
    setWindowTitle(TituloConsulta + QStringLiteral(" - Estado: ") + nome + QStringLiteral("     "));
    LimparOrigem();
    // A fonte do estado anterior não vale para este: o botão espera uma nova escolha.
    AutorSemFonte();
    LabelPonteiro->clear();

    if (moldura) {
        Notebook1->setCurrentIndex(1);
        PrecLaAux->setEnabled(true);
        PrecLoAux->setEnabled(true);
        Calculalalo->setEnabled(true);
        const QString arquivo = FAmbiente.Arquivo(Q(CodigoEstado(indice)) + QStringLiteral(".bmp"));
        QImage figura;
        if (!QFileInfo::exists(arquivo) || !figura.load(arquivo)) {
            espera.Restaurar();
            // Se nem o anterior se deixa mostrar, volta ao estado de partida, que não tem
            // mapa: a restauração sempre termina.
            const int volta = (FRestaurandoEstado || anterior == indice) ? 0 : anterior;
            EstadoEscolhido.DefinirIndice(volta);
            const bool restaurando = FRestaurandoEstado;
            FRestaurandoEstado = true;
            try {
                SelecionarEstado(volta);
            } catch (...) {
                FRestaurandoEstado = restaurando;
                throw;
            }
            FRestaurandoEstado = restaurando;
            throw EMorvendo(
                "Erro. Não foi possível localizar o arquivo BMP do estado selecinado (" +
                nome.toStdString() + ").");
        }
        EstadoBMP->DefinirFigura(figura);
        BD.CarregarLocalidades(indice);
        EstadoBMP->show();
    } else if (EstadoSemDados(indice)) {
        Autor->setText(QString());
        Autor->setEnabled(false);
    } else {
        // Sem mapa, o ponto ainda se digita: a estação perto dele ou a interpolação.
        Notebook1->setCurrentIndex(0);
        PrecLaAux->setEnabled(true);
        PrecLoAux->setEnabled(true);
        Calculalalo->setEnabled(true);
        EsconderCruz();
        LabelLat->clear();
        LabelLon->clear();
        EstadoBMP->hide();
    }

    {
        const QSignalBlocker b1(LBLocalidade), b2(LBEstacao);
        LBLocalidade->clear();
        FLinhaLocalidade = -1;
        const bool comLocalidades = !BD.Localidades.empty();
        LBLocalidade->setVisible(comLocalidades);
        LLocalidades->setVisible(comLocalidades);
        if (comLocalidades) {
            for (const auto& l : BD.Localidades)
                LBLocalidade->addItem(Q(l.Nome));
            LBLocalidade->setCurrentRow(0);
        }
        PreencherListaEstacoes();
        if (LBEstacao->count() > 0) LBEstacao->setCurrentRow(0);
    }

    espera.Restaurar();
    if (!AtivandoFormulario && !BD.Estacoes[indice].empty()) LBEstacaoClick();
}

void TDialogoConsulta::LBEstacaoClick() {
    const int linha = LBEstacao->currentRow();
    const auto& estacoes = BD.Estacoes[EstadoEscolhido.Indice()];
    if (linha < 0 || linha >= static_cast<int>(estacoes.size())) return;
    const TEstacao& estacao = estacoes[linha];

    // Confere antes de mudar qualquer coisa: em erro a consulta fica como estava.
    double lat = 0, lon = 0;
    try {
        lat = ConferirLatitude(estacao.Latitude);
        lon = ConferirLongitude(estacao.Longitude);
    } catch (...) {
        RestaurarMarca(LBEstacao);
        throw;
    }

    IndEstacao = static_cast<std::int16_t>(linha);
    FLinhaEstacao = linha;
    Desmarcar(LBLocalidade);
    LimparOrigem();
    Registro = estacao;
    StrCidade = estacao.Nome;
    GuardarCoordenadas(lat, estacao.Latitude, lon, estacao.Longitude);

    if (MapaDoEstadoVisivel()) {
        PrecLaAux->setText(Q(StrLatitude));
        PrecLoAux->setText(Q(StrLongitude));
        MostrarParametros(estacao, nullptr, nullptr, nullptr, nullptr);
        MarcarPontoAtual(SemBrancosADireita(estacao.Autor));
    } else {
        NomeCid->setText(SemBrancosADireita(estacao.Nome) +
                         (estacao.DoUsuario ? QString::fromUtf8(MarcaEstacaoUsuario) : QString()));
        LabelLatitude->setText(ComHemisferio(Q(estacao.Latitude), true));
        LabelLongitude->setText(ComHemisferio(Q(estacao.Longitude), false));
        MostrarAutor(Q(estacao.Autor).trimmed());
        MostrarParametros(estacao, nullptr, nullptr, nullptr, nullptr);
        for (QWidget* w : {NomeCid, LatCid, LonCid, LabelLatitude, LabelLongitude}) {
            w->show();
            w->raise();
        }
        EsconderCruz();
    }
    AtualizarAviso();
}

void TDialogoConsulta::LBLocalidadeClick() {
    const int linha = LBLocalidade->currentRow();
    if (linha < 0 || linha >= static_cast<int>(BD.Localidades.size())) return;
    const TLocalidade& localidade = BD.Localidades[linha];

    double lat = 0, lon = 0;
    TConsultaPonto c;
    try {
        lat = ConferirLatitude(localidade.Latitude);
        lon = ConferirLongitude(localidade.Longitude);
        c = ConsultarPonto(localidade.Latitude, localidade.Longitude);
    } catch (...) {
        RestaurarMarca(LBLocalidade);
        throw;
    }

    IndLocalidade = static_cast<std::int16_t>(linha);
    FLinhaLocalidade = linha;
    Desmarcar(LBEstacao);
    StrCidade = localidade.Nome;
    GuardarCoordenadas(lat, localidade.Latitude, lon, localidade.Longitude);

    PrecLaAux->setText(Q(StrLatitude));
    PrecLoAux->setText(Q(StrLongitude));
    MarcarPontoAtual(MostrarConsulta(c, "####.000", "##.000"));
    AtualizarAviso();
}

void TDialogoConsulta::EstadoBMPMouseMove(int x, int y) {
    // Só o rótulo do ponteiro acompanha o movimento: as coordenadas digitadas ficam nos
    // quadros até o clique.
    if (!DentroDoEstado(x, y)) {
        LabelPonteiro->clear();
        EstadoBMP->setCursor(Qt::ArrowCursor);
        FCruz = false;
        return;
    }
    EstadoBMP->setCursor(Qt::CrossCursor);
    FCruz = true;
    double lat = 0, lon = 0;
    PixelParaPonto(FMoldura, x, y, lat, lon);
    if (lat >= 0 && lon >= 0)
        LabelPonteiro->setText(QStringLiteral("Ponteiro: %1, %2 (clique para usar este ponto)")
                                   .arg(ComHemisferio(Q(TextoGraus(lat)), true),
                                        ComHemisferio(Q(TextoGraus(lon)), false)));
}

void TDialogoConsulta::EstadoBMPMouseUp(int x, int y) {
    if (!FCruz) {
        EsconderCruz();
        return;
    }

    double lat = Latitude, lon = Longitude;
    std::string strLat = StrLatitude, strLon = StrLongitude;
    if (!CliqueSimulado) {
        double la, lo;
        PixelParaPonto(FMoldura, x, y, la, lo);
        if (NaFaixa(la, FMoldura.LatMin, FMoldura.LatMax)) {
            lat = la;
            strLat = TextoGraus(la);
        }
        if (NaFaixa(lo, FMoldura.LonMin, FMoldura.LonMax)) {
            lon = lo;
            strLon = TextoGraus(lo);
        }
    }
    // Sem estações para interpolar: o erro vem antes de qualquer mudança.
    const TConsultaPonto c = ConsultarPonto(strLat, strLon);

    StrCidade = CidadeNaoDefinida;
    Desmarcar(LBEstacao);
    Desmarcar(LBLocalidade);
    EsconderRotulosEstacao();
    GuardarCoordenadas(lat, strLat, lon, strLon);
    PrecLaAux->setText(Q(StrLatitude));
    LabelLat->setText(ComHemisferio(Q(StrLatitude), true));
    PrecLoAux->setText(Q(StrLongitude));
    LabelLon->setText(ComHemisferio(Q(StrLongitude), false));
    FX = x;
    FY = y;
    PosicionarCruz(x, y);
    MostrarAutor(MostrarConsulta(c, "###0.000", "#0.000"));
    AtualizarAviso();
}

void TDialogoConsulta::BrasilBMPMouseMove(int x, int y) {
    const auto cor = BrasilBMP->Cor(x, y);
    bool nada = false;
    if (cor) {
        nada = *cor == CorFundoBrasil || *cor == CorBordaBrasil;
        for (int i = 0; i < NumeroEstados && !nada; ++i)
            nada = EstadoSemDados(i) && CorEstadoBrasil(i) == *cor;
    }
    BrasilBMP->setCursor(nada ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void TDialogoConsulta::BrasilBMPMouseUp(int x, int y) {
    if (const auto cor = BrasilBMP->Cor(x, y)) {
        const int estado = EstadoPelaCor(*cor);
        if (estado >= 0) {
            const QSignalBlocker b(Estados);
            Estados->setCurrentIndex(estado);
        }
    }
    EstadosClick();
}

void TDialogoConsulta::CalculalaloClick() {
    const std::string strLat = LerTextoCoordenada(PrecLaAux, true);
    const std::string strLon = LerTextoCoordenada(PrecLoAux, false);
    const double lat = ConferirLatitude(strLat);
    const double lon = ConferirLongitude(strLon);
    if (!MapaDoEstadoVisivel()) {
        CalcularSemMapa(lat, strLat, lon, strLon);
        return;
    }
    const TPixel p = PontoParaPixel(FMoldura, lat, lon);
    const bool finito =
        std::isfinite(p.X) && std::isfinite(p.Y) && std::abs(p.X) < 1e6 && std::abs(p.Y) < 1e6;
    const int x = finito ? PixelInteiro(p.X) : -1;
    const int y = finito ? PixelInteiro(p.Y) : -1;
    const bool dentro = MapaDoEstadoVisivel() && DentroDoEstado(x, y);
    if (dentro) ConsultarPonto(strLat, strLon);

    Desmarcar(LBEstacao);
    Desmarcar(LBLocalidade);
    GuardarCoordenadas(lat, strLat, lon, strLon);
    FX = x;
    FY = y;
    LabelLat->clear();
    LabelLon->clear();
    if (dentro) {
        EstadoBMP->setCursor(Qt::CrossCursor);
        FCruz = true;
        CliqueSimulado = true;
        try {
            EstadoBMPMouseUp(x, y);
        } catch (...) {
            CliqueSimulado = false;
            throw;
        }
        CliqueSimulado = false;
    } else {
        LimparQuadros();
        LimparOrigem();
        EsconderCruz();
        AutorSemFonte();
    }
}

void TDialogoConsulta::CalcularSemMapa(double lat, const std::string& strLat, double lon,
                                       const std::string& strLon) {
    const TConsultaPonto c = ConsultarPonto(strLat, strLon);
    Desmarcar(LBEstacao);
    Desmarcar(LBLocalidade);
    GuardarCoordenadas(lat, strLat, lon, strLon);
    StrCidade = CidadeNaoDefinida;
    PrecLaAux->setText(Q(strLat));
    PrecLoAux->setText(Q(strLon));
    MostrarAutor(MostrarConsulta(c, "###0.000", "#0.000"));
    // No mapa do Brasil, o ponto com a estação que deu a equação ou a indicação da média.
    NomeCid->setText(
        c.Interpolada
            ? QStringLiteral("Ponto digitado (interpolação)")
            : SemBrancosADireita(c.Resultado.Nome) +
                  (c.Resultado.DoUsuario ? QString::fromUtf8(MarcaEstacaoUsuario) : QString()));
    LabelLatitude->setText(ComHemisferio(Q(strLat), true));
    LabelLongitude->setText(ComHemisferio(Q(strLon), false));
    for (QWidget* w : {NomeCid, LatCid, LonCid, LabelLatitude, LabelLongitude}) {
        w->show();
        w->raise();
    }
    AtualizarAviso();
}

void TDialogoConsulta::PrecLaAuxKeyPress() {
    EsconderRotulosEstacao();
    EsconderCruz();
}

void TDialogoConsulta::MapaDoBrasilClick() {
    if (MolduraEstado(EstadoEscolhido.Indice())) SelecionarEstado(0);
    Notebook1->setCurrentIndex(0);
}

void TDialogoConsulta::BtnRelatClick() {
    TDialogoRelatorioConsulta relatorio([this] { return DadosRelatorio(); }, FAmbiente, this);
    relatorio.exec();
}

TDadosRelatorioConsulta TDialogoConsulta::DadosRelatorio() const {
    TDadosRelatorioConsulta d;
    d.Localidade = Q(StrCidade);
    d.Estado = Q(EstadoEscolhido.NomeEstado());
    d.Latitude = ComHemisferio(Q(StrLatitude), true);
    d.Longitude = ComHemisferio(Q(StrLongitude), false);
    d.K = PrecK->text();
    d.A = PrecA->text();
    d.B = PrecB->text();
    d.C = PrecC->text();
    if (FConsulta) d.Origem = Q(TextoOrigemConsulta(*FConsulta, SeparadorDecimalLocal()));
    if (const TEstacaoUsuario* e = MinhaEstacaoEmUso())
        if (const auto erros = TextoErrosAjuste(InfoEstacaoUsuario(*e)); !erros.empty())
            d.Origem += (d.Origem.isEmpty() ? QString() : QStringLiteral("\n")) +
                        QStringLiteral("Erro do ajuste à tabela: ") + Q(erros) +
                        QStringLiteral(".");
    d.ComMapa = MapaDoEstadoVisivel() && !EstadoBMP->Figura().isNull();
    d.Mapa = EstadoBMP->Figura();
    d.X = EixoY->x();
    d.Y = EixoX->y();
    return d;
}

void TDialogoConsulta::AutorClick() {
    TDialogoAutor janela(this);
    janela.Limpar();
    const std::string chave = Autor->text().toStdString();
    if (chave == AutorEstacaoUsuario) {
        const TEstacaoUsuario* e = MinhaEstacaoEmUso();
        if (!e) return;
        const TInfoEstacaoIdf info = InfoEstacaoUsuario(*e);
        janela.MostrarUsuario(info);
        janela.MostrarEstacao(info, FAmbiente.DuracoesProjeto
                                        ? FAmbiente.DuracoesProjeto(e->K, e->A, e->B, e->C)
                                        : std::vector<double>());
    } else if (const TReferencia* r = FAmbiente.ProcurarReferencia(chave)) {
        janela.Mostrar(*r);
        const char sep = SeparadorDecimalLocal();
        const auto k = TentarTextoParaReal(PrecK->text().toStdString(), sep);
        const auto a = TentarTextoParaReal(PrecA->text().toStdString(), sep);
        const auto b = TentarTextoParaReal(PrecB->text().toStdString(), sep);
        const auto c = TentarTextoParaReal(PrecC->text().toStdString(), sep);
        if (k && a && b && c)
            if (const TInfoEstacaoIdf* e = ProcurarInfoEstacao(chave, *k, *a, *b, *c))
                janela.MostrarEstacao(*e, FAmbiente.DuracoesProjeto
                                              ? FAmbiente.DuracoesProjeto(*k, *a, *b, *c)
                                              : std::vector<double>());
    } else if (FConsulta && FConsulta->Interpolada)
        // As estações da interpolação, com a distância e o peso de cada uma.
        FAmbiente.Avisos().Informacao(this, QStringLiteral("Informação"),
                                      Q(TextoOrigemConsulta(*FConsulta, SeparadorDecimalLocal())));
    if (!janela.Autor->text().isEmpty()) janela.exec();
    janela.Limpar();
}

void TDialogoConsulta::SobreClick() {
    TDialogoSobreConsulta sobre(FAmbiente, this);
    sobre.exec();
}

void TDialogoConsulta::BtnOkClick() {
    IndEstacao = static_cast<std::int16_t>(
        LBEstacao->selectedItems().isEmpty() ? -1 : LBEstacao->currentRow());
    IndLocalidade = static_cast<std::int16_t>(
        LBLocalidade->selectedItems().isEmpty() ? -1 : LBLocalidade->currentRow());
    Autoria = Autor->text() == TextoAutor ? std::string() : Autor->text().toStdString();
    accept();
}

void TDialogoConsulta::FormActivate() {
    if (FAtivado) return;
    FAtivado = true;
    if (!FErroMinhas.isEmpty()) FAmbiente.Avisos().Erro(this, FErroMinhas);
    {
        const QSignalBlocker b(Estados);
        Estados->setCurrentIndex(EstadoEscolhido.Indice());
    }
    AtivandoFormulario = true;
    try {
        EstadosClick();
    } catch (...) {
        AtivandoFormulario = false;
        throw;
    }
    AtivandoFormulario = false;

    Marcar(LBEstacao, IndEstacao);
    Marcar(LBLocalidade, IndLocalidade);
    // Posição além da lista (dados mudaram desde que o projeto foi gravado): nada marcado.
    if (IndEstacao >= 0) {
        if (IndEstacao < LBEstacao->count()) LBEstacaoClick();
    } else if (IndLocalidade >= 0) {
        if (IndLocalidade < LBLocalidade->count()) LBLocalidadeClick();
    } else if (!StrLatitude.empty() && !StrLongitude.empty()) {
        PrecLaAux->setText(Q(StrLatitude));
        PrecLoAux->setText(Q(StrLongitude));
        CalculalaloClick();
    }
}

void TDialogoConsulta::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (FAtivado) return;
    // Depois que a janela aparece: a caixa "Sobre" e as mensagens de erro ficam por cima.
    QTimer::singleShot(0, this, [this] {
        Protegido([this] { FormActivate(); });
        if (PrimeiraAtivacao && MostrarSobre) {
            PrimeiraAtivacao = false;
            SobreClick();
        }
    });
}

void TDialogoConsulta::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1 && FAmbiente.Ajuda.Topico) {
        FAmbiente.Ajuda.Topico(FHelpContext != 0 ? FHelpContext : CONTEXTO_CONSULTA_IDF);
        return;
    }
    QDialog::keyPressEvent(e);
}

void TDialogoConsulta::AjustarEquacaoClick() {
    TDialogoAjusteIdf ajuste(FAmbiente.Avisos(), this);
    ajuste.SalvarComoEstacao = [this, &ajuste](const TResultadoAjusteIdf& r, double, double) {
        TEstacaoUsuario e;
        e.Estado = EstadoEscolhido.Indice();
        e.Latitude = Latitude;
        e.Longitude = Longitude;
        // Com a equação vão as faixas da tabela e os erros do ajuste.
        DefinirAjuste(e, r);
        SalvarMinhaEstacao(e, &ajuste);
    };
    if (ajuste.exec() == QDialog::Accepted && ajuste.Resultado())
        UsarEquacaoAjustada(ajuste.Resultado()->Parametros);
}

void TDialogoConsulta::UsarEquacaoAjustada(const TParametrosIdf& p) {
    // A equação não é de estação nem de localidade: nada fica marcado nas listas.
    Desmarcar(LBEstacao);
    Desmarcar(LBLocalidade);
    IndEstacao = IndLocalidade = -1;
    LimparOrigem();
    TEstacao e;
    e.K = p.K;
    e.A = p.A;
    e.B = p.B;
    e.C = p.C;
    MostrarParametros(e, nullptr, nullptr, nullptr, nullptr);
    // Sem referência a mostrar: o botão fica com o nome da origem, desativado.
    Autor->setText(QString::fromUtf8(AutorAjuste));
    Autor->setEnabled(false);
}
