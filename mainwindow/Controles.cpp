#include "mainwindow/Controles.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

QLabel* Rotulo(const char* texto, const char* nome) {
    auto* l = new QLabel(QString::fromUtf8(texto));
    if (nome) l->setObjectName(QString::fromLatin1(nome));
    return l;
}

QLabel* Figura(const QImage& imagem, const char* nome) {
    auto* l = new QLabel;
    if (nome) l->setObjectName(QString::fromLatin1(nome));
    l->setPixmap(QPixmap::fromImage(imagem));
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QPushButton* Botao(const char* texto, const char* nome) {
    auto* b = new QPushButton(QString::fromUtf8(texto));
    b->setObjectName(QString::fromLatin1(nome));
    return b;
}

QGroupBox* Grupo(const char* titulo, const char* nome) {
    auto* g = new QGroupBox(QString::fromUtf8(titulo));
    if (nome) g->setObjectName(QString::fromLatin1(nome));
    return g;
}

void Linha(QGridLayout* g, int linha, QWidget* legenda, QWidget* campo, QWidget* unidade) {
    g->addWidget(legenda, linha, 0);
    g->addWidget(campo, linha, 1);
    if (unidade) g->addWidget(unidade, linha, 2);
}
