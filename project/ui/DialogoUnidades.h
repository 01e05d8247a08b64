#pragma once
#include <QDialog>

#include "project/ConfUnidades.h"

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;

// Diálogo "Configuração do sistema": unidades de declividade, de taxa de infiltração e de
// erodibilidade, o estado que a consulta IDF traz escolhido e o raio da interpolação da chuva.
class TDialogoUnidades : public QDialog {
    Q_OBJECT
public:
    TDialogoUnidades(TUnidades& unidades, QWidget* pai = nullptr);

    QComboBox* cbDecli;
    QComboBox* cbVI;
    QComboBox* cbEstado;
    QComboBox* cbErodibilidade;
    // Raio (km) das estações que entram na interpolação da consulta IDF; de 10 a 300 km.
    QLineEdit* eRaio;
    QPushButton* ok;
    QPushButton* Cancela;
    QPushButton* BAjuda;

    // Confere o raio e aceita; recusado, a caixa de erro e o diálogo continua aberto.
    void OkClick();
    // Caixa de erro do programa (os testes a trocam).
    std::function<void(QWidget*, const QString&)> MostrarErro;

private:
    TUnidades& FUnidades;
};

// Mostra o diálogo. As mudanças de declividade e de infiltração valem (e avisam) enquanto
// ele está aberto; desistir volta às unidades anteriores. Confirmado, o raio digitado passa a
// ser o da consulta (DefinirRaioInterpolacaoKm); verdadeiro quando confirmado.
bool ConfigurarUnidades(TUnidades& unidades, QWidget* pai = nullptr);
