#include "dialogs/DialogoTabela.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ajuda/Ajuda.h"
#include "comum/Numeros.h"
#include "comum/ui/RotinasUi.h"

namespace {

TMostrarErroDialogos& FuncaoErro() {
    static TMostrarErroDialogos f;
    return f;
}

} // namespace

char SeparadorDecimalDialogos() {
    return SeparadorDecimalUsuario();
}
char SeparadorMilharDialogos() {
    return SeparadorMilharUsuario(0);
}

void DefinirMostrarErroDialogos(TMostrarErroDialogos funcao) {
    FuncaoErro() = std::move(funcao);
}

void MostrarErroDialogos(QWidget* pai, const QString& mensagem) {
    if (FuncaoErro())
        FuncaoErro()(pai, mensagem);
    else
        MostrarCaixaErro(pai, mensagem);
}

void TCampoValor::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() == Qt::Key_Backspace) {
        emit TeclaAceita();
        QLineEdit::keyPressEvent(evento);
        return;
    }
    const QString texto = evento->text();
    if (texto.size() != 1 || !texto[0].isPrint() ||
        (evento->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QLineEdit::keyPressEvent(evento); // setas, Delete, atalhos
        return;
    }
    const QChar decimal(SeparadorDecimalDialogos());
    QChar c = texto[0];
    if (SeparadorMilharDialogos() && c == QChar(SeparadorMilharDialogos())) c = decimal;
    if ((c >= '0' && c <= '9') || c == decimal) {
        emit TeclaAceita();
        insert(QString(c));
    }
    evento->accept();
}

TDialogoTabela::TDialogoTabela(QWidget* pai, const QString& titulo, int helpContext,
                               const QString& mensagemVazio)
    : QDialog(pai), mensagemVazio(mensagemVazio), helpContext(helpContext) {
    setWindowTitle(titulo);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    Ajuda::DefinirContexto(this, helpContext);
    grade = new QGridLayout;
    grade->setHorizontalSpacing(14);
    grade->setVerticalSpacing(2);
    grupo = new QButtonGroup(this);
    connect(grupo, &QButtonGroup::idClicked, this, [this](int id) { EscolherLinha(id); });
}

void TDialogoTabela::Cabecalhos(const QStringList& colunas) {
    const int linha = grade->rowCount();
    for (int i = 0; i < colunas.size(); ++i) {
        auto* l = new QLabel("<b>" + colunas[i].toHtmlEscaped() + "</b>");
        l->setAlignment(i == 0 ? Qt::AlignLeft : Qt::AlignCenter);
        grade->addWidget(l, linha, i);
    }
}

void TDialogoTabela::Grupo(const QString& texto, int recuo) {
    auto* l = new QLabel(recuo ? "<i>" + texto.toHtmlEscaped() + "</i>"
                               : "<b>" + texto.toHtmlEscaped() + "</b>");
    l->setIndent(recuo);
    grade->addWidget(l, grade->rowCount(), 0, 1, -1);
}

void TDialogoTabela::AdicionarLinha(const QString& rotulo, const QStringList& colunas, int recuo) {
    const int r = grade->rowCount();
    auto* b = new QRadioButton(rotulo);
    linhas.append(b);
    grupo->addButton(b, int(linhas.size()));
    auto* caixa = new QHBoxLayout;
    caixa->setContentsMargins(12 + recuo, 0, 0, 0);
    caixa->addWidget(b);
    grade->addLayout(caixa, r, 0);
    for (int i = 0; i < colunas.size(); ++i) {
        auto* l = new QLabel(colunas[i]);
        l->setAlignment(Qt::AlignCenter);
        grade->addWidget(l, r, i + 1);
    }
}

void TDialogoTabela::Finalizar(const QString& rotuloCampo, const QString& citacao) {
    campo = new TCampoValor;
    campo->setMaximumWidth(120);
    auto* rotulo = new QLabel(rotuloCampo);
    rotulo->setBuddy(campo);
    connect(campo, &TCampoValor::TeclaAceita, this, [this] { ValorDigitado(); });
    connect(campo, &QLineEdit::textChanged, this,
            [this](const QString& t) { btnOk->setEnabled(OkHabilitado(t)); });

    btnOk = new QPushButton("&Ok");
    btnOk->setDefault(true);
    btnOk->setEnabled(false);
    btnCancelar = new QPushButton("&Cancelar");
    btnAjuda = new QPushButton("Aj&uda");
    for (auto* b : {btnOk, btnCancelar, btnAjuda})
        b->setMinimumWidth(87);
    connect(btnOk, &QPushButton::clicked, this, &TDialogoTabela::Confirmar);
    connect(btnCancelar, &QPushButton::clicked, this, &TDialogoTabela::reject);
    connect(btnAjuda, &QPushButton::clicked, this, [this] { Ajuda::AbrirContexto(helpContext); });

    auto* linhaCampo = new QHBoxLayout;
    linhaCampo->addWidget(rotulo);
    linhaCampo->addWidget(campo);
    linhaCampo->addStretch();
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(btnOk);
    botoes->addWidget(btnCancelar);
    botoes->addWidget(btnAjuda);
    botoes->addStretch();

    auto* fonte = new QLabel(citacao);
    fonte->setWordWrap(true);
    fonte->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont f = fonte->font();
    f.setPointSizeF(f.pointSizeF() * 0.9);
    f.setItalic(true);
    fonte->setFont(f);

    auto* principal = new QVBoxLayout(this);
    principal->addLayout(grade);
    principal->addSpacing(8);
    principal->addLayout(linhaCampo);
    principal->addSpacing(4);
    principal->addLayout(botoes);
    principal->addSpacing(4);
    principal->addWidget(fonte);
    // A citação quebra na largura da tabela, sem alargar o diálogo.
    fonte->setMaximumWidth(grade->sizeHint().width());
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Ordem de tabulação: as linhas, o campo e os botões.
    setTabOrder(campo, btnOk);
    setTabOrder(btnOk, btnCancelar);
    setTabOrder(btnCancelar, btnAjuda);
}

QRadioButton* TDialogoTabela::Linha(int indice) const {
    return indice >= 1 && indice <= linhas.size() ? linhas[indice - 1] : nullptr;
}

int TDialogoTabela::LinhaMarcada() const {
    return std::max(0, grupo->checkedId());
}

void TDialogoTabela::Iniciar(int linha, double valor) {
    linhaInicial = linha;
    valorInicial = valor;
}

void TDialogoTabela::DesmarcarTodas() {
    // Num grupo exclusivo um botão marcado não se desmarca sozinho.
    grupo->setExclusive(false);
    for (auto* b : linhas)
        b->setChecked(false);
    grupo->setExclusive(true);
}

void TDialogoTabela::Marcar(int linha) {
    if (auto* b = Linha(linha)) b->setChecked(true);
}

void TDialogoTabela::EscolherLinha(int linha) {
    linhaAtual = linha;
    campo->setText(TextoDaLinha(linha));
}

void TDialogoTabela::ValorDigitado() {
    DesmarcarTodas();
    linhaAtual = 0;
}

int TDialogoTabela::LinhaAoConfirmar() const {
    return LinhaMarcada() ? LinhaMarcada() : linhaAtual;
}

void TDialogoTabela::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (mostrado) return;
    mostrado = true;
    if (Linha(linhaInicial)) {
        Marcar(linhaInicial);
        EscolherLinha(linhaInicial);
    }
    linhaLembrada = linhaAtual;
    // Um valor guardado vale mais que o da tabela.
    if (valorInicial != 0)
        campo->setText(
            QString::fromStdString(FloatToStr(valorInicial, SeparadorDecimalDialogos())));
    campo->setFocus();
    campo->selectAll();
    if (const QScreen* tela = screen()) {
        const QRect r = tela->availableGeometry();
        move(r.center() - rect().center());
    }
}

void TDialogoTabela::Confirmar() {
    const QString texto = campo->text();
    if (texto.isEmpty()) {
        MostrarErroDialogos(this, mensagemVazio);
        campo->setFocus();
        return;
    }
    const auto valor = TentarTextoParaReal(texto.toStdString(), SeparadorDecimalDialogos());
    if (!valor) {
        MostrarErroDialogos(this, "'" + texto + "' não é um número válido.");
        campo->setFocus();
        return;
    }
    linhaConfirmada = LinhaAoConfirmar();
    valorConfirmado = *valor;
    accept();
}

void TDialogoTabela::reject() {
    AoCancelar();
    QDialog::reject();
}

bool TComponenteParametro::ExecutarDialogo(TDialogoTabela& dialogo, TReal& alvo, int linha,
                                           double valor) {
    dialogo.Iniciar(linha, valor);
    if (dialogo.exec() != QDialog::Accepted) return false;
    Indice = std::int16_t(dialogo.LinhaConfirmada());
    Valor = dialogo.ValorConfirmado();
    alvo.Indice = std::int8_t(Indice);
    alvo.Valor = Valor;
    return true;
}
