#include "dialogs/Cobertura.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ajuda/Ajuda.h"
#include "dialogs/TabelasParametros.h"

namespace {

QGroupBox* GrupoDeOpcoes(QWidget* pai, const QString& titulo, QButtonGroup* grupo,
                         const QStringList& itens, const QRect& lugar) {
    auto* caixa = new QGroupBox(titulo, pai);
    caixa->setGeometry(lugar);
    auto* l = new QVBoxLayout(caixa);
    l->setSpacing(2);
    for (int i = 0; i < itens.size(); ++i) {
        auto* b = new QRadioButton(itens[i], caixa);
        grupo->addButton(b, i);
        l->addWidget(b);
    }
    l->addStretch();
    return caixa;
}

int Marcado(const QButtonGroup* g) {
    return g->checkedId();
}

void Marcar(QButtonGroup* g, int item) {
    if (auto* b = g->button(item)) b->setChecked(true);
}

void Desmarcar(QButtonGroup* g) {
    g->setExclusive(false);
    for (auto* b : g->buttons())
        b->setChecked(false);
    g->setExclusive(true);
}

} // namespace

TDialogoCobertura::TDialogoCobertura(QWidget* pai, int helpContext) : QDialog(pai) {
    setWindowTitle("Definição da cobertura vegetal");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    Ajuda::DefinirContexto(this, helpContext);
    QFont negrito = font();
    negrito.setPointSize(8);
    negrito.setBold(true);
    QFont normal = negrito;
    normal.setBold(false);
    setFont(negrito);

    usos = new QButtonGroup(this);
    tratamentos = new QButtonGroup(this);
    condicoes = new QButtonGroup(this);
    QStringList nomesUso, nomesTratamento, nomesCondicao;
    for (int i = 0; i < TUsoTerra::Quantidade; ++i)
        nomesUso << TUsoTerra::Nomes[i];
    for (int i = 1; i < TTratamento::Quantidade; ++i)
        nomesTratamento << TTratamento::Nomes[i];
    for (int i = 1; i < TCondicaoHidrologica::Quantidade; ++i)
        nomesCondicao << TCondicaoHidrologica::Nomes[i];
    auto* gUso = GrupoDeOpcoes(this, " U&so da terra ", usos, nomesUso, QRect(8, 6, 241, 233));
    auto* gTrat =
        GrupoDeOpcoes(this, " &Tratamento ", tratamentos, nomesTratamento, QRect(260, 6, 203, 109));
    auto* gCond = GrupoDeOpcoes(this, " Condição &hidrológica ", condicoes, nomesCondicao,
                                QRect(260, 129, 202, 109));

    btnOk = new QPushButton("&Ok", this);
    btnOk->setGeometry(70, 253, 87, 27);
    btnOk->setDefault(true);
    btnCancelar = new QPushButton("&Cancelar", this);
    btnCancelar->setGeometry(193, 253, 87, 27);
    auto* btnAjuda = new QPushButton("Aj&uda", this);
    btnAjuda->setGeometry(315, 253, 87, 27);
    for (QWidget* w :
         std::initializer_list<QWidget*>{gUso, gTrat, gCond, btnOk, btnCancelar, btnAjuda})
        w->setFont(normal);
    setFixedSize(472, 288);

    connect(usos, &QButtonGroup::idToggled, this, [this](int id, bool marcado) {
        if (marcado) RGUsoTerraClick(id);
    });
    connect(condicoes, &QButtonGroup::idToggled, this, [this] { AtualizarOk(); });
    connect(btnOk, &QPushButton::clicked, this, &TDialogoCobertura::OKClick);
    connect(btnCancelar, &QPushButton::clicked, this, &TDialogoCobertura::reject);
    connect(btnAjuda, &QPushButton::clicked, this,
            [helpContext] { Ajuda::AbrirContexto(helpContext); });
    setTabOrder(gUso, gTrat);
    setTabOrder(gTrat, gCond);
    setTabOrder(gCond, btnOk);
    setTabOrder(btnOk, btnCancelar);
    setTabOrder(btnCancelar, btnAjuda);
}

void TDialogoCobertura::RGUsoTerraClick(int uso) {
    Desmarcar(tratamentos);
    Desmarcar(condicoes);
    const TReacaoUsoTerra r = ReacaoUsoTerra(uso);
    for (int i = 0; i < 3; ++i) {
        tratamentos->button(i)->setEnabled(r.TratamentoHabilitado[std::size_t(i)]);
        condicoes->button(i)->setEnabled(r.CondicaoHabilitada[std::size_t(i)]);
    }
    Tratamento.Indice = std::uint8_t(r.Tratamento);
    Marcar(tratamentos, r.ItemTratamento);
    // A condição hidrológica é a que o usuário marcar, ou a do registro no uso do registro;
    // nunca uma que ninguém escolheu.
    CondicaoHidrologica.Indice = 0;
    if (uso == usoAberto && condicaoAberta > 0 &&
        r.CondicaoHabilitada[std::size_t(condicaoAberta - 1)]) {
        Marcar(condicoes, condicaoAberta - 1);
        CondicaoHidrologica.Indice = std::uint8_t(condicaoAberta);
    }
    AtualizarOk();
}

void TDialogoCobertura::AtualizarOk() {
    bool precisa = false;
    for (auto* b : condicoes->buttons())
        precisa |= b->isEnabled();
    const bool pronto = !precisa || condicoes->checkedId() >= 0;
    btnOk->setEnabled(pronto);
    btnOk->setToolTip(pronto ? QString() : QStringLiteral("Escolha a condição hidrológica."));
}

void TDialogoCobertura::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (mostrado) return;
    mostrado = true;
    usoAberto = UsoTerra.Indice;
    tratamentoAberto = Tratamento.Indice;
    condicaoAberta = CondicaoHidrologica.Indice;
    // A escolha do uso reinicia os outros grupos; depois voltam os índices do registro,
    // mesmo num item que a reação desabilitou (um arquivo pode trazê-lo).
    if (usos->checkedId() == usoAberto) RGUsoTerraClick(usoAberto);
    Marcar(usos, usoAberto);
    Desmarcar(tratamentos);
    Desmarcar(condicoes);
    Marcar(tratamentos, tratamentoAberto - 1);
    Marcar(condicoes, condicaoAberta - 1);
    Tratamento.Indice = std::uint8_t(tratamentoAberto);
    CondicaoHidrologica.Indice = std::uint8_t(condicaoAberta);
    AtualizarOk();
    if (auto* b = usos->checkedButton()) b->setFocus();
    if (const QScreen* tela = screen()) move(tela->availableGeometry().center() - rect().center());
}

void TDialogoCobertura::OKClick() {
    const TIndicesCobertura r =
        IndicesConfirmados(Marcado(usos), Marcado(tratamentos), Marcado(condicoes));
    UsoTerra.Indice = std::uint8_t(r.UsoTerra);
    Tratamento.Indice = std::uint8_t(r.Tratamento);
    CondicaoHidrologica.Indice = std::uint8_t(r.Condicao);
    accept();
}

void TDialogoCobertura::done(int resultado) {
    Descricao = resultado == QDialog::Accepted
                    ? DescricaoCobertura(Marcado(usos), Marcado(tratamentos), Marcado(condicoes))
                    : DescricaoCobertura(usoAberto, tratamentoAberto - 1, condicaoAberta - 1);
    QDialog::done(resultado);
}

namespace Dialogos {

bool TCobertura::Executar(::TCobertura& registro, QWidget* pai) {
    TDialogoCobertura dialogo(pai, HelpContext);
    dialogo.Tratamento.Assign(registro.Tratamento);
    dialogo.CondicaoHidrologica.Assign(registro.CondicaoHidrologica);
    dialogo.UsoTerra.Assign(registro.UsoTerra);
    const bool confirmado = dialogo.exec() == QDialog::Accepted;
    if (confirmado) {
        Tratamento.Assign(dialogo.Tratamento);
        CondicaoHidrologica.Assign(dialogo.CondicaoHidrologica);
        UsoTerra.Assign(dialogo.UsoTerra);
        registro.Tratamento.Assign(dialogo.Tratamento);
        registro.CondicaoHidrologica.Assign(dialogo.CondicaoHidrologica);
        registro.UsoTerra.Assign(dialogo.UsoTerra);
    }
    Descricao = dialogo.Descricao;
    return confirmado;
}

} // namespace Dialogos
