#include "idf/ui/DialogoMinhasEstacoes.h"

#include "comum/EMorvendo.h"
#include "comum/MensagemErro.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "idf/VerificacaoIdf.h"
#include "idf/ui/DialogoSerieDiaria.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QString Numero(double v) {
    return Q(FloatToStr(v, SeparadorDecimalLocal()));
}

QLineEdit* Campo(QWidget* pai, const char* nome) {
    auto* e = new QLineEdit(pai);
    e->setObjectName(nome);
    return e;
}

// Número digitado com a vírgula do sistema ou com ponto; vazio permitido só quando pedido.
double LerNumero(const QLineEdit* e, const char* rotulo, bool vazioVale = false) {
    const std::string t = e->text().trimmed().toStdString();
    if (t.empty() && vazioVale) return 0;
    auto v = TentarTextoParaReal(t, SeparadorDecimalLocal());
    if (!v) v = TentarTextoParaReal(t, '.');
    if (!v || !std::isfinite(*v))
        throw EMorvendo(std::string("O campo ") + rotulo + " deve ser um número (lido: \"" + t +
                        "\").");
    return *v;
}

// "00°00'00\"" conferido: minutos e segundos abaixo de 60. Vazio é recusado: 00°00'00" é uma
// coordenada (o equador), não a falta dela.
double LerGraus(const QLineEdit* e, const char* rotulo) {
    const QString t = e->displayText().replace(QLatin1Char('_'), QLatin1Char(' '));
    if (!t.contains(QRegularExpression(QStringLiteral("[0-9]"))))
        throw EMorvendo(std::string("O campo ") + rotulo + " está vazio.");
    const QStringList partes = t.split(QRegularExpression(QStringLiteral("[°'\"]")));
    bool ok = partes.size() >= 3;
    double v[3] = {0, 0, 0};
    for (int i = 0; ok && i < 3; ++i) {
        v[i] = partes[i].trimmed().toInt(&ok);
        ok = ok && partes[i].trimmed().size() == 2;
    }
    if (!ok || v[1] >= 60 || v[2] >= 60)
        throw EMorvendo(std::string("O campo ") + rotulo +
                        " deve ser escrito em graus, minutos e segundos (00°00'00\", minutos e "
                        "segundos abaixo de 60).");
    return v[0] + v[1] / 60 + v[2] / 3600;
}

QLineEdit* CampoGraus(QWidget* pai, const char* nome) {
    auto* e = Campo(pai, nome);
    e->setInputMask(QStringLiteral("00°00'00\";_"));
    return e;
}

QWidget* ComSufixo(QWidget* pai, QWidget* campo, const QString& sufixo) {
    auto* w = new QWidget(pai);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(campo);
    h->addWidget(new QLabel(sufixo, w));
    h->addStretch();
    return w;
}

QString Graus(double v) {
    return Q(TextoGraus(std::fabs(v) + 1e-9));
}

} // namespace

QString ComHemisferio(const QString& coordenada, bool latitude) {
    if (coordenada.trimmed().isEmpty()) return coordenada;
    return coordenada + (latitude ? QStringLiteral(" S") : QStringLiteral(" W"));
}

// ---- Editor ----

TDialogoEstacaoUsuario::TDialogoEstacaoUsuario(IMensagensConsulta& mensagens, QWidget* pai)
    : QDialog(pai), FMensagens(mensagens) {
    setObjectName("DialogoEstacaoUsuario");
    setWindowTitle(QStringLiteral("Minha estação"));
    auto* raiz = new QVBoxLayout(this);
    auto* f = new QFormLayout;
    cbEstado = new QComboBox(this);
    cbEstado->setObjectName("cbEstado");
    for (const auto& e : TabelaEstados)
        cbEstado->addItem(QString::fromUtf8(e.Nome));
    cbEstado->setMaxVisibleItems(27);
    eNome = Campo(this, "eNome");
    eLatitude = CampoGraus(this, "eLatitude");
    eLongitude = CampoGraus(this, "eLongitude");
    eK = Campo(this, "eK");
    eA = Campo(this, "eA");
    eB = Campo(this, "eB");
    eC = Campo(this, "eC");
    eDuracaoMin = Campo(this, "eDuracaoMin");
    eDuracaoMax = Campo(this, "eDuracaoMax");
    eTrMin = Campo(this, "eTrMin");
    eTrMax = Campo(this, "eTrMax");
    eFonte = Campo(this, "eFonte");
    eFonte->setPlaceholderText(
        QStringLiteral("autores, título, publicação, ano, página ou tabela da equação"));
    eFonte->setMinimumWidth(380);
    f->addRow(QStringLiteral("&Estado:"), cbEstado);
    f->addRow(QStringLiteral("&Nome:"), eNome);
    f->addRow(QStringLiteral("&Latitude:"), ComSufixo(this, eLatitude, QStringLiteral("S")));
    f->addRow(QStringLiteral("L&ongitude:"), ComSufixo(this, eLongitude, QStringLiteral("W")));
    f->addRow(QStringLiteral("&K:"), eK);
    f->addRow(QStringLiteral("&a:"), eA);
    f->addRow(QStringLiteral("&b (min):"), eB);
    f->addRow(QStringLiteral("&c:"), eC);
    f->addRow(QStringLiteral("Duração m&ínima (min):"), eDuracaoMin);
    f->addRow(QStringLiteral("Duração má&xima (min):"), eDuracaoMax);
    f->addRow(QStringLiteral("Período de retorno mínimo (anos):"), eTrMin);
    f->addRow(QStringLiteral("Período de retorno máximo (anos):"), eTrMax);
    lAjuste = new QLabel(this);
    lAjuste->setObjectName("lAjuste");
    f->addRow(QStringLiteral("Erro do ajuste:"), lAjuste);
    f->addRow(QStringLiteral("&Fonte:"), eFonte);
    raiz->addWidget(new QLabel(
        QStringLiteral("i = K·T<sup>a</sup>/(t+b)<sup>c</sup>, i em mm/h, T em anos, t e b em "
                       "min. Durações e períodos de retorno: a faixa em que a fonte diz que a "
                       "equação vale (vazias quando ela não diz)."),
        this));
    raiz->itemAt(0)->widget()->setProperty("wordWrap", true);
    raiz->addLayout(f);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    btnOk = new QPushButton(QStringLiteral("&OK"), this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    btnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    btnCancelar->setObjectName("btnCancelar");
    btnCancelar->setAutoDefault(false);
    botoes->addWidget(btnOk);
    botoes->addWidget(btnCancelar);
    raiz->addLayout(botoes);
    connect(btnOk, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
    DefinirEstacao(TEstacaoUsuario{});
}

QString TDialogoEstacaoUsuario::TextoEquacao() const {
    return eK->text() + QLatin1Char(';') + eA->text() + QLatin1Char(';') + eB->text() +
           QLatin1Char(';') + eC->text();
}

void TDialogoEstacaoUsuario::DefinirEstacao(const TEstacaoUsuario& e) {
    FModelo = e;
    cbEstado->setCurrentIndex(e.Estado);
    eNome->setText(Q(e.Nome));
    FLatitude = e.Latitude;
    FLongitude = e.Longitude;
    // Estação nova ou da série de chuvas: as duas em 0, que nenhuma estação aceita tem (a
    // longitude 0 fica fora do território). Os campos começam vazios, para que a latitude
    // não digitada não vire o equador.
    const bool semCoordenadas = e.Latitude == 0 && e.Longitude == 0;
    FTextoLatitude = semCoordenadas ? QString() : Graus(e.Latitude);
    FTextoLongitude = semCoordenadas ? QString() : Graus(e.Longitude);
    eLatitude->setText(FTextoLatitude);
    eLongitude->setText(FTextoLongitude);
    const bool nova = e.K == 0;
    eK->setText(nova ? QString() : Numero(e.K));
    eA->setText(nova ? QString() : Numero(e.A));
    eB->setText(nova ? QString() : Numero(e.B));
    eC->setText(nova ? QString() : Numero(e.C));
    eDuracaoMin->setText(e.DuracaoMin > 0 ? Numero(e.DuracaoMin) : QString());
    eDuracaoMax->setText(e.DuracaoMax > 0 ? Numero(e.DuracaoMax) : QString());
    eTrMin->setText(e.TrMin > 0 ? Numero(e.TrMin) : QString());
    eTrMax->setText(e.TrMax > 0 ? Numero(e.TrMax) : QString());
    const std::string erros = TextoErrosAjuste(InfoEstacaoUsuario(e));
    lAjuste->setText(erros.empty() ? QStringLiteral("não se sabe (equação não ajustada aqui)")
                                   : Q(erros));
    eFonte->setText(Q(e.Fonte));
    eFonte->setCursorPosition(0);
    FTextoEquacao = TextoEquacao();
}

TEstacaoUsuario TDialogoEstacaoUsuario::Estacao() const {
    TEstacaoUsuario e = FModelo;
    // Outra equação: os erros eram os da ajustada.
    if (TextoEquacao() != FTextoEquacao) e.ErroRmsPct = e.ErroMaximoPct = std::nullopt;
    e.Estado = cbEstado->currentIndex();
    e.Nome = eNome->text().trimmed().toStdString();
    // Sem mudança, a coordenada como veio, com a precisão que o texto trunca.
    auto coordenada = [](const QLineEdit* campo, const QString& original, double valor,
                         const char* rotulo) {
        return !original.isEmpty() && campo->text() == original ? valor : LerGraus(campo, rotulo);
    };
    e.Latitude = coordenada(eLatitude, FTextoLatitude, FLatitude, "Latitude (S)");
    e.Longitude = coordenada(eLongitude, FTextoLongitude, FLongitude, "Longitude (W)");
    e.K = LerNumero(eK, "K");
    e.A = LerNumero(eA, "a");
    e.B = LerNumero(eB, "b (min)");
    e.C = LerNumero(eC, "c");
    e.DuracaoMin = LerNumero(eDuracaoMin, "Duração mínima (min)", true);
    e.DuracaoMax = LerNumero(eDuracaoMax, "Duração máxima (min)", true);
    e.TrMin = LerNumero(eTrMin, "Período de retorno mínimo (anos)", true);
    e.TrMax = LerNumero(eTrMax, "Período de retorno máximo (anos)", true);
    e.Fonte = eFonte->text().trimmed().toStdString();
    ConferirEstacaoUsuario(e, SeparadorDecimalLocal());
    if (Minhas) Minhas->ConferirRepetida(e, Posicao);
    return e;
}

void TDialogoEstacaoUsuario::OkClick() {
    try {
        (void)Estacao();
    } catch (const std::exception& e) {
        FMensagens.Erro(this, Q(MensagemParaUsuario(e)));
        return;
    }
    accept();
}

// ---- Lista ----

TDialogoMinhasEstacoes::TDialogoMinhasEstacoes(TEstacoesUsuario& minhas,
                                               IMensagensConsulta& mensagens, QWidget* pai)
    : QDialog(pai), FMinhas(minhas), FMensagens(mensagens) {
    setObjectName("DialogoMinhasEstacoes");
    setWindowTitle(QStringLiteral("Minhas estações"));
    auto* raiz = new QVBoxLayout(this);
    auto* explicacao = new QLabel(
        QStringLiteral("Equações que você tem do lugar (estudo estadual, manual de drenagem, "
                       "ajuste de uma tabela ou de uma série de chuvas diárias): aparecem nas "
                       "listas da consulta marcadas "
                       "\"(minha)\" e entram na interpolação. Ficam em %1.")
            .arg(QDir::toNativeSeparators(Q(minhas.Caminho()))),
        this);
    explicacao->setWordWrap(true);
    explicacao->setTextInteractionFlags(Qt::TextSelectableByMouse);
    raiz->addWidget(explicacao);
    Tabela = new QTableWidget(0, 12, this);
    Tabela->setObjectName("Tabela");
    Tabela->setHorizontalHeaderLabels(
        {QStringLiteral("Estado"), QStringLiteral("Nome"), QStringLiteral("Latitude"),
         QStringLiteral("Longitude"), QStringLiteral("K"), QStringLiteral("a"),
         QStringLiteral("b (min)"), QStringLiteral("c"), QStringLiteral("Durações (min)"),
         QStringLiteral("Períodos de retorno"), QStringLiteral("Erro do ajuste"),
         QStringLiteral("Fonte")});
    Tabela->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tabela->setSelectionBehavior(QAbstractItemView::SelectRows);
    Tabela->setSelectionMode(QAbstractItemView::SingleSelection);
    Tabela->verticalHeader()->hide();
    Tabela->horizontalHeader()->setStretchLastSection(true);
    raiz->addWidget(Tabela);
    auto* botoes = new QHBoxLayout;
    auto botao = [&](const QString& texto, const char* nome) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(nome);
        b->setAutoDefault(false);
        botoes->addWidget(b);
        return b;
    };
    btnAdicionar = botao(QStringLiteral("&Incluir..."), "btnAdicionar");
    btnEditar = botao(QStringLiteral("&Editar..."), "btnEditar");
    btnExcluir = botao(QStringLiteral("E&xcluir"), "btnExcluir");
    btnImportar = botao(QStringLiteral("I&mportar CSV..."), "btnImportar");
    btnSerieDiaria = botao(QStringLiteral("Da série &diária..."), "btnSerieDiaria");
    botoes->addStretch();
    btnFechar = botao(QStringLiteral("&Fechar"), "btnFechar");
    raiz->addLayout(botoes);
    resize(820, 360);

    connect(btnAdicionar, &QPushButton::clicked, this, [this] { AdicionarClick(); });
    connect(btnEditar, &QPushButton::clicked, this, [this] { EditarClick(); });
    connect(Tabela, &QTableWidget::cellDoubleClicked, this, [this] { EditarClick(); });
    connect(btnExcluir, &QPushButton::clicked, this, [this] { ExcluirClick(); });
    connect(btnImportar, &QPushButton::clicked, this, [this] { ImportarClick(); });
    connect(btnSerieDiaria, &QPushButton::clicked, this, [this] { SerieDiariaClick(); });
    connect(btnFechar, &QPushButton::clicked, this, &QDialog::accept);
    connect(Tabela, &QTableWidget::itemSelectionChanged, this, [this] {
        const bool escolhida = Tabela->currentRow() >= 0 && !Tabela->selectedItems().isEmpty();
        btnEditar->setEnabled(escolhida);
        btnExcluir->setEnabled(escolhida);
    });
    Preencher();
}

template <class F> void TDialogoMinhasEstacoes::Protegido(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        FMensagens.Erro(this, Q(MensagemParaUsuario(e)));
    }
}

void TDialogoMinhasEstacoes::Preencher() {
    const auto& lista = FMinhas.Lista();
    Tabela->setRowCount(static_cast<int>(lista.size()));
    for (int i = 0; i < static_cast<int>(lista.size()); ++i) {
        const auto& e = lista[i];
        TInfoEstacaoIdf info = InfoEstacaoUsuario(e);
        const QString textos[] = {Q(CodigoEstado(e.Estado)),
                                  Q(e.Nome),
                                  ComHemisferio(Graus(e.Latitude), true),
                                  ComHemisferio(Graus(e.Longitude), false),
                                  Numero(e.K),
                                  Numero(e.A),
                                  Numero(e.B),
                                  Numero(e.C),
                                  Q(TextoFaixaDuracoes(info)),
                                  Q(TextoFaixaTr(info)) +
                                      (e.AnosSerie > 0
                                           ? QStringLiteral(" (série de %1 anos)").arg(e.AnosSerie)
                                           : QString()),
                                  Q(TextoErrosAjuste(info)),
                                  Q(e.Fonte)};
        for (int c = 0; c < 12; ++c)
            Tabela->setItem(i, c, new QTableWidgetItem(textos[c]));
    }
    Tabela->resizeColumnsToContents();
    Tabela->clearSelection();
    btnEditar->setEnabled(false);
    btnExcluir->setEnabled(false);
}

void TDialogoMinhasEstacoes::AdicionarClick() {
    TEstacaoUsuario nova;
    nova.Estado = EstadoInicial;
    IncluirPeloEditor(nova, this);
}

void TDialogoMinhasEstacoes::IncluirPeloEditor(const TEstacaoUsuario& modelo, QWidget* pai) {
    TDialogoEstacaoUsuario editor(FMensagens, pai);
    editor.DefinirEstacao(modelo);
    editor.Minhas = &FMinhas;
    editor.Posicao = FMinhas.Lista().size();
    if (editor.exec() != QDialog::Accepted) return;
    Protegido([&] {
        FMinhas.Adicionar(editor.Estacao());
        FMudou = true;
        Preencher();
    });
}

void TDialogoMinhasEstacoes::SerieDiariaClick() {
    TDialogoSerieDiaria janela(FMensagens, this);
    // O nome, o estado e as coordenadas ficam com o editor: a série não os traz.
    janela.SalvarComoEstacao = [this, &janela](const TEstacaoUsuario& e) {
        TEstacaoUsuario modelo = e;
        modelo.Estado = EstadoInicial;
        IncluirPeloEditor(modelo, &janela);
    };
    janela.exec();
}

void TDialogoMinhasEstacoes::EditarClick() {
    const int linha = Tabela->currentRow();
    if (linha < 0 || linha >= static_cast<int>(FMinhas.Lista().size())) return;
    TDialogoEstacaoUsuario editor(FMensagens, this);
    editor.DefinirEstacao(FMinhas.Lista()[linha]);
    editor.Minhas = &FMinhas;
    editor.Posicao = static_cast<std::size_t>(linha);
    if (editor.exec() != QDialog::Accepted) return;
    Protegido([&] {
        FMinhas.Substituir(static_cast<std::size_t>(linha), editor.Estacao());
        FMudou = true;
        Preencher();
    });
}

void TDialogoMinhasEstacoes::ExcluirClick() {
    const int linha = Tabela->currentRow();
    if (linha < 0 || linha >= static_cast<int>(FMinhas.Lista().size())) return;
    const auto& e = FMinhas.Lista()[linha];
    if (!FMensagens.Confirmar(this, QStringLiteral("Minhas estações"),
                              QStringLiteral("Excluir a estação \"%1\" (%2)?")
                                  .arg(Q(e.Nome), Q(CodigoEstado(e.Estado)))))
        return;
    Protegido([&] {
        FMinhas.Remover(static_cast<std::size_t>(linha));
        FMudou = true;
        Preencher();
    });
}

void TDialogoMinhasEstacoes::ImportarClick() {
    const QString caminho =
        QFileDialog::getOpenFileName(this, QStringLiteral("Importar estações"), QString(),
                                     QStringLiteral("Tabelas CSV (*.csv);;Todos os arquivos (*)"));
    if (!caminho.isEmpty()) ImportarCsv(caminho);
}

void TDialogoMinhasEstacoes::ImportarCsv(const QString& caminho) {
    Protegido([&] {
        const std::size_t n = FMinhas.Importar(caminho.toStdString());
        FMudou = true;
        Preencher();
        FMensagens.Informacao(this, QStringLiteral("Minhas estações"),
                              QStringLiteral("%1 estação(ões) importada(s).").arg(n));
    });
}
