#pragma once
#include <QDialog>

#include "project/ConfUnidades.h"

class QComboBox;
class QPushButton;

// Diálogo "Configuração do sistema": unidades de declividade, de taxa de infiltração e de
// erodibilidade, e o estado que a consulta IDF traz escolhido.
class TFConfUnidades : public QDialog {
    Q_OBJECT
public:
    TFConfUnidades(TUnidades& unidades, QWidget* pai = nullptr);

    QComboBox* cbDecli;
    QComboBox* cbVI;
    QComboBox* cbEstado;
    QComboBox* cbErodibilidade;
    QPushButton* ok;
    QPushButton* Cancela;
    QPushButton* BAjuda;

private:
    TUnidades& FUnidades;
};

// Mostra o diálogo. As mudanças de declividade e de infiltração valem (e avisam) enquanto
// ele está aberto; desistir volta às unidades anteriores. Verdadeiro quando confirmado.
bool ConfigurarUnidades(TUnidades& unidades, QWidget* pai = nullptr);
