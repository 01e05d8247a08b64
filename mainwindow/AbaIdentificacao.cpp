#include "mainwindow/AbaIdentificacao.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QLineEdit* Campo(const char* nome, int maximo) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(nome));
    // Uma linha do arquivo do projeto: sem quebras e de tamanho razoável.
    e->setMaxLength(maximo);
    return e;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TAbaIdentificacao::TAbaIdentificacao(QWidget* pai) : QWidget(pai) {
    setObjectName(QStringLiteral("tsIdentificacao"));
    eEstrada = Campo("eIdEstrada", 200);
    eTrecho = Campo("eIdTrecho", 200);
    eMunicipio = Campo("eIdMunicipio", 200);
    eEngenheiro = Campo("eIdEngenheiro", 200);
    eDataProjeto = Campo("eIdData", 40);
    mObservacoes = new QPlainTextEdit;
    mObservacoes->setObjectName(QStringLiteral("mIdObservacoes"));
    mObservacoes->setTabChangesFocus(true);

    auto* grupo = new QGroupBox(QStringLiteral(" Identificação do projeto (opcional) "));
    auto* f = new QFormLayout(grupo);
    const std::pair<const char*, QWidget*> linhas[] = {
        {"Estrada", eEstrada},       {"Trecho", eTrecho},    {"Município", eMunicipio},
        {"Engenheiro", eEngenheiro}, {"Data", eDataProjeto}, {"Observações", mObservacoes}};
    // Sem atalhos de teclado: as letras já servem a outros campos da janela.
    for (const auto& [rotulo, campo] : linhas)
        f->addRow(QString::fromUtf8(rotulo), campo);
    auto* nota = new QLabel(QStringLiteral("Estes dados aparecem no início do relatório."));
    nota->setWordWrap(true);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(4, 4, 4, 4);
    v->addWidget(grupo, 1);
    v->addWidget(nota);

    for (QLineEdit* e : {eEstrada, eTrecho, eMunicipio, eEngenheiro, eDataProjeto})
        connect(e, &QLineEdit::textEdited, this, &TAbaIdentificacao::Alterada);
    connect(mObservacoes, &QPlainTextEdit::textChanged, this, &TAbaIdentificacao::Alterada);
}

void TAbaIdentificacao::Mostrar(const TIdentificacao& id) {
    const QSignalBlocker bloqueio(mObservacoes);
    eEstrada->setText(Q(id.Estrada));
    eTrecho->setText(Q(id.Trecho));
    eMunicipio->setText(Q(id.Municipio));
    eEngenheiro->setText(Q(id.Engenheiro));
    eDataProjeto->setText(Q(id.Data));
    mObservacoes->setPlainText(Q(id.Observacoes));
}

TIdentificacao TAbaIdentificacao::Lida() const {
    TIdentificacao id;
    id.Estrada = eEstrada->text().toStdString();
    id.Trecho = eTrecho->text().toStdString();
    id.Municipio = eMunicipio->text().toStdString();
    id.Engenheiro = eEngenheiro->text().toStdString();
    id.Data = eDataProjeto->text().toStdString();
    id.Observacoes = mObservacoes->toPlainText().toStdString();
    return id;
}
