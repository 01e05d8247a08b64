#include "mainwindow/Sobre.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "figuras/Desenhos.h"

TDialogoSobre::TDialogoSobre(QWidget* pai)
    : QDialog(pai, Qt::Dialog | Qt::FramelessWindowHint),
      FFigura(DesenharAbertura(QSize(558, 340))) {
    setObjectName(QStringLiteral("FSobre"));
    setWindowTitle(QStringLiteral("Sobre o Morvendo"));
    setFixedSize(558, 340);
    if (QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
}

void TDialogoSobre::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(rect(), FFigura);
}

void TDialogoSobre::mousePressEvent(QMouseEvent*) {
    accept();
}

void TDialogoSobre::keyPressEvent(QKeyEvent*) {
    accept();
}
