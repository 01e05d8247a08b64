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

    Label1 = Rotulo("Label1", "Calculando hidrograma no leito da estrada:  t =");
    Label3 = Rotulo("Label3", "Calculando hidrograma na área externa: t = ");
    Label5 = Rotulo("Label5", "Calculando hidrograma no canal: t = ");
    Label7 = Rotulo("Label7", "Calculando perda de solo na seção");
    Label2 = Rotulo("Label2", "min");
    Label4 = Rotulo("Label4", "min");
    Label6 = Rotulo("Label6", "min");
    Label8 = Rotulo("Label8", "m");
    etEstrada = Valor("etEstrada");
    etTalude = Valor("etTalude");
    etCanal = Valor("etCanal");
    eSecao = Valor("eSecao");

    auto* linhas = new QGridLayout;
    QLabel* rotulos[] = {Label1, Label3, Label5, Label7};
    QLineEdit* valores[] = {etEstrada, etTalude, etCanal, eSecao};
    QLabel* unidades[] = {Label2, Label4, Label6, Label8};
    for (int i = 0; i < 4; ++i) {
        linhas->addWidget(rotulos[i], i, 0);
        linhas->addWidget(valores[i], i, 1);
        linhas->addWidget(unidades[i], i, 2);
    }
    ProgressBar1 = new QProgressBar;
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    Button1 = new QPushButton(QStringLiteral("Cancelar"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    auto* botao = new QHBoxLayout;
    botao->addStretch();
    botao->addWidget(Button1);
    botao->addStretch();
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(linhas);
    principal->addWidget(ProgressBar1);
    principal->addLayout(botao);
    principal->setSizeConstraint(QLayout::SetFixedSize);

    // Centrada na tela, acima da janela principal, que fica desabilitada.
    setWindowModality(Qt::ApplicationModal);
    adjustSize();
    if (QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
    Button1->setFocus();
    FRelogio.start();
}

TJanelaAcompanhamento::~TJanelaAcompanhamento() {
    while (FOcupado > 0)
        Ocupado(false);
}

void TJanelaAcompanhamento::Button1Click() {
    Cancelar();
}

char TJanelaAcompanhamento::SeparadorDecimal() const {
    return SeparadorDecimalLocal();
}

// Esc e o botão de fechar pedem o cancelamento; a janela fecha quando o cálculo termina.
void TJanelaAcompanhamento::reject() {
    Button1Click();
}

void TJanelaAcompanhamento::closeEvent(QCloseEvent* evento) {
    Button1Click();
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
    if (ProgressBar1->maximum() == 0) ProgressBar1->setRange(0, 100);
    if (ProgressBar1->value() != porcentagem) ProgressBar1->setValue(porcentagem);
}

void TJanelaAcompanhamento::BarraOcupada() {
    // Os escoamentos e a propagação não sabem quando terminam (até a água acabar): a barra
    // mostra que o cálculo anda, em vez de parar em 0 %.
    ProgressBar1->setRange(0, 0);
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
    QWidget* w[3][3] = {
        {Label1, etEstrada, Label2}, {Label3, etTalude, Label4}, {Label5, etCanal, Label6}};
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
