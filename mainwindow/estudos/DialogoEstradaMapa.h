#pragma once
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "geo/EstradaDoMapa.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// A estrada a partir do mapa: o arquivo da linha, a linha (quando há várias, ou as peças
// emendadas), o sentido do estaqueamento, de onde vêm as cotas e a suavização do perfil.
class TDialogoEstradaMapa : public QDialog {
public:
    // 'anterior': o pedido da última vez, para não perder o que se escolheu.
    explicit TDialogoEstradaMapa(const TPedidoEstrada& anterior, QWidget* pai = nullptr);

    // Lê as camadas e as linhas do arquivo pelo módulo do mapa; um erro vai para Erro e a
    // lista fica vazia.
    void DefinirLinha(const QString& caminho);
    // O pedido dos campos; EMorvendo com o campo que não serve.
    TPedidoEstrada Pedido() const;
    // O pedido aceito pelo OK.
    const TPedidoEstrada& Aceito() const { return FAceito; }
    std::function<void(const std::string&)> Erro;
    void accept() override;

    QLineEdit *eLinha, *eTerreno, *eJanela, *eTrechoMinimo;
    QComboBox* cbLinha;
    QCheckBox* ckDoFim;
    QRadioButton *rbCotasDaLinha, *rbTerreno;
    QPushButton *btnLinha, *btnTerreno;
    QLabel* lblCotas;

private:
    void LinhaEscolhida();
    std::vector<TCamadaDoMapa> FCamadas;
    TPedidoEstrada FAceito;
};
