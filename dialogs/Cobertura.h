#pragma once
#include <QDialog>

#include <string>

#include "engine/Terreno.h"

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QRadioButton;

// Definição da cobertura vegetal da área externa: uso da terra, tratamento e condição
// hidrológica, com só as combinações que a tabela dos números de curva cobre habilitadas.
class TDialogoCobertura : public QDialog {
    Q_OBJECT
public:
    explicit TDialogoCobertura(QWidget* pai = nullptr, int helpContext = 0);

    // Índices do registro (tratamento e condição de 0 a 3; 0 = nenhum).
    TUsoTerra UsoTerra;
    TTratamento Tratamento;
    TCondicaoHidrologica CondicaoHidrologica;
    // Descrição montada ao fechar; descreve sempre a cobertura que o registro guarda.
    std::string Descricao;

    QButtonGroup* GrupoUso() const { return usos; }
    QButtonGroup* GrupoTratamento() const { return tratamentos; }
    QButtonGroup* GrupoCondicao() const { return condicoes; }
    QPushButton* BotaoOk() const { return btnOk; }
    QPushButton* BotaoCancelar() const { return btnCancelar; }

    void done(int resultado) override;

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void RGUsoTerraClick(int uso);
    void OKClick();
    // Ok só com a condição hidrológica marcada, quando o uso a pede.
    void AtualizarOk();

    QButtonGroup* usos = nullptr;
    QButtonGroup* tratamentos = nullptr;
    QButtonGroup* condicoes = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancelar = nullptr;
    bool mostrado = false;
    int usoAberto = 0, tratamentoAberto = 0, condicaoAberta = 0;
};

// O nome TCobertura também é o do registro da cobertura no motor (engine/Terreno.h); o
// componente do diálogo fica no espaço de nomes Dialogos.
namespace Dialogos {

class TCobertura {
public:
    TTratamento Tratamento;
    TCondicaoHidrologica CondicaoHidrologica;
    TUsoTerra UsoTerra;
    int HelpContext = 0;
    // Descrição da cobertura depois do último Executar, confirmado ou não.
    std::string Descricao;

    // Abre o diálogo para o registro; confirmado, o registro e as propriedades recebem os
    // três índices escolhidos.
    bool Executar(::TCobertura& registro, QWidget* pai = nullptr);
};

} // namespace Dialogos
