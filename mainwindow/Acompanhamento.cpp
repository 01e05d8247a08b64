#include "mainwindow/Acompanhamento.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "engine/Persistencia.h"

namespace {

// Intervalo mínimo entre duas passagens pelo laço de eventos: o cálculo não fica lento e a
// janela nunca passa de um décimo de segundo sem responder.
constexpr qint64 INTERVALO_EVENTOS_MS = 30;

QLineEdit* Valor(const char* nome) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(nome));
    e->setReadOnly(true);
    e->setFrame(false);
    e->setFocusPolicy(Qt::NoFocus);
    e->setFixedWidth(70);
    e->setAlignment(Qt::AlignRight);
    // Campo de exibição sobre o fundo da janela.
    e->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    return e;
}

QLabel* Rotulo(const char* nome, const char* texto) {
    auto* l = new QLabel(QString::fromUtf8(texto));
    l->setObjectName(QString::fromLatin1(nome));
    return l;
}

} // namespace

TJanelaAcompanhamento::TJanelaAcompanhamento(std::function<void(const std::string&)> mensagem)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      FMensagem(std::move(mensagem)) {
    setObjectName(QStringLiteral("FAcompanhamento"));
    setWindowTitle(QStringLiteral("Calculando…"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    lblTempoLeito = Rotulo("lblTempoLeito", "Calculando hidrograma no leito da estrada:  t =");
    lblTempoAreaExterna =
        Rotulo("lblTempoAreaExterna", "Calculando hidrograma na área externa: t = ");
    lblTempoCanal = Rotulo("lblTempoCanal", "Calculando hidrograma no canal: t = ");
    lblSecaoPerda = Rotulo("lblSecaoPerda", "Calculando perda de solo na seção");
    lblMinLeito = Rotulo("lblMinLeito", "min");
    lblMinAreaExterna = Rotulo("lblMinAreaExterna", "min");
    lblMinCanal = Rotulo("lblMinCanal", "min");
    lblMetroSecaoPerda = Rotulo("lblMetroSecaoPerda", "m");
    etEstrada = Valor("etEstrada");
    etTalude = Valor("etTalude");
    etCanal = Valor("etCanal");
    eSecao = Valor("eSecao");

    auto* linhas = new QGridLayout;
    QLabel* rotulos[] = {lblTempoLeito, lblTempoAreaExterna, lblTempoCanal, lblSecaoPerda};
    QLineEdit* valores[] = {etEstrada, etTalude, etCanal, eSecao};
    QLabel* unidades[] = {lblMinLeito, lblMinAreaExterna, lblMinCanal, lblMetroSecaoPerda};
    for (int i = 0; i < 4; ++i) {
        linhas->addWidget(rotulos[i], i, 0);
        linhas->addWidget(valores[i], i, 1);
        linhas->addWidget(unidades[i], i, 2);
    }
    pbCalculo = new QProgressBar;
    pbCalculo->setObjectName(QStringLiteral("pbCalculo"));
    pbCalculo->setRange(0, 100);
    pbCalculo->setValue(0);
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"));
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    btnCancelar->setDefault(true);
    connect(btnCancelar, &QPushButton::clicked, this, [this] { CancelarClick(); });

    auto* botao = new QHBoxLayout;
    botao->addStretch();
    botao->addWidget(btnCancelar);
    botao->addStretch();
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(linhas);
    principal->addWidget(pbCalculo);
    principal->addLayout(botao);
    principal->setSizeConstraint(QLayout::SetFixedSize);

    // Centrada na tela, acima da janela principal, que fica desabilitada.
    setWindowModality(Qt::ApplicationModal);
    adjustSize();
    if (QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
    btnCancelar->setFocus();
    FRelogio.start();
}

TJanelaAcompanhamento::~TJanelaAcompanhamento() {
    while (FOcupado > 0)
        Ocupado(false);
}

void TJanelaAcompanhamento::CancelarClick() {
    Cancelar();
}

char TJanelaAcompanhamento::SeparadorDecimal() const {
    return SeparadorDecimalLocal();
}

// Esc e o botão de fechar pedem o cancelamento; a janela fecha quando o cálculo termina.
void TJanelaAcompanhamento::reject() {
    CancelarClick();
}

void TJanelaAcompanhamento::closeEvent(QCloseEvent* evento) {
    CancelarClick();
    evento->ignore();
}

void TJanelaAcompanhamento::ProcessarEventosAgora() {
    QCoreApplication::processEvents();
    FRelogio.restart();
}

void TJanelaAcompanhamento::ProcessarEventos() {
    if (FRelogio.elapsed() >= INTERVALO_EVENTOS_MS) ProcessarEventosAgora();
}

void TJanelaAcompanhamento::MostrarTempoCanal(const std::string& tempo) {
    etCanal->setText(QString::fromStdString(tempo));
}

void TJanelaAcompanhamento::MostrarTempoEstrada(const std::string& tempo) {
    etEstrada->setText(QString::fromStdString(tempo));
}

void TJanelaAcompanhamento::MostrarTempoTalude(const std::string& tempo) {
    etTalude->setText(QString::fromStdString(tempo));
}

void TJanelaAcompanhamento::MostrarSecao(const std::string& secao) {
    eSecao->setText(QString::fromStdString(secao));
}

void TJanelaAcompanhamento::MostrarProgresso(int porcentagem) {
    // A perda de solo percorre as seções: aí a barra mede o andamento.
    if (pbCalculo->maximum() == 0) pbCalculo->setRange(0, 100);
    if (pbCalculo->value() != porcentagem) pbCalculo->setValue(porcentagem);
}

void TJanelaAcompanhamento::BarraOcupada() {
    // Os escoamentos e a propagação não sabem quando terminam (até a água acabar): a barra
    // mostra que o cálculo anda, em vez de parar em 0 %.
    pbCalculo->setRange(0, 0);
}

void TJanelaAcompanhamento::Ocupado(bool ligado) {
    if (ligado) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++FOcupado;
    } else if (FOcupado > 0) {
        QApplication::restoreOverrideCursor();
        --FOcupado;
    }
}

void TJanelaAcompanhamento::MostrarMensagem(const std::string& texto) {
    if (FMensagem) FMensagem(texto);
}

void TJanelaAcompanhamento::Estilo(int etapa, bool destacada) {
    if (etapa < 1 || etapa > 3) return;
    QWidget* w[3][3] = {{lblTempoLeito, etEstrada, lblMinLeito},
                        {lblTempoAreaExterna, etTalude, lblMinAreaExterna},
                        {lblTempoCanal, etCanal, lblMinCanal}};
    for (QWidget* x : w[etapa - 1]) {
        QFont f = x->font();
        f.setBold(destacada);
        x->setFont(f);
        QPalette p = x->palette();
        const QColor cor = destacada ? QColor(0, 0, 128) : QColor(Qt::black);
        p.setColor(QPalette::WindowText, cor);
        p.setColor(QPalette::Text, cor);
        x->setPalette(p);
    }
}

void TJanelaAcompanhamento::DestacarEtapa(int etapa) {
    BarraOcupada();
    Estilo(FEtapa, false);
    FEtapa = etapa;
    Estilo(FEtapa, true);
    // Poucas chamadas por cálculo: a troca de etapa aparece na hora.
    ProcessarEventosAgora();
}

void TJanelaAcompanhamento::IniciarDimensionamento() {
    FDimensionamento = true;
    setWindowTitle(QStringLiteral("Dimensionando canal e bacia de acumulação…"));
    for (QLineEdit* e : {etEstrada, etTalude, etCanal, eSecao})
        e->clear();
    BarraOcupada();
}
