#pragma once
#include <QDialog>
#include <QImage>

// Janela "Sobre": a figura de abertura sem moldura; um clique ou uma tecla a fecha.
class TDialogoSobre : public QDialog {
    Q_OBJECT
public:
    explicit TDialogoSobre(QWidget* pai = nullptr);

protected:
    void paintEvent(QPaintEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    QImage FFigura;
};
