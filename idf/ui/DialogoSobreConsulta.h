#pragma once
#include "idf/ui/AmbienteConsulta.h"

#include <QDialog>

class QLabel;

// Caixa "Sobre" da consulta: só a figura; um clique ou uma tecla a fecha.
class TDialogoSobreConsulta : public QDialog {
    Q_OBJECT
public:
    explicit TDialogoSobreConsulta(const TAmbienteConsulta& ambiente, QWidget* pai = nullptr);

    QLabel* imgSplash;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
};
