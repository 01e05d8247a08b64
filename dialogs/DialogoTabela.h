#pragma once
#include <QDialog>
#include <QLineEdit>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

#include "engine/Terreno.h"

class QButtonGroup;
class QGridLayout;
class QLabel;
class QPushButton;
class QRadioButton;

// Separadores das configurações regionais em uso (QLocale padrão).
char SeparadorDecimalDialogos();
char SeparadorMilharDialogos();

// Caixa de erro dos diálogos de parâmetros (título "Morvendo", ícone de erro). Os testes
// trocam a função para registrar as mensagens sem abrir janelas.
using TMostrarErroDialogos = std::function<void(QWidget* pai, const QString& mensagem)>;
void DefinirMostrarErroDialogos(TMostrarErroDialogos funcao);
void MostrarErroDialogos(QWidget* pai, const QString& mensagem);

// Campo do valor: o separador de milhar vira decimal; só passam algarismos, o separador
// decimal e Backspace. Cada tecla aceita avisa TeclaAceita antes de mudar o texto.
class TCampoValor : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
signals:
    void TeclaAceita();

protected:
    void keyPressEvent(QKeyEvent* evento) override;
};

// Diálogo de escolha de um valor numa tabela publicada: uma linha por botão de opção, o
// campo do valor, "&Ok", "&Cancelar", "Aj&uda" e a linha com a fonte dos valores. As
// subclasses montam a tabela e ajustam as diferenças de cada diálogo.
class TDialogoTabela : public QDialog {
    Q_OBJECT
public:
    // Linha e valor com que o diálogo abre (linha fora da tabela: nenhuma marcada).
    void Iniciar(int linha, double valor);
    int LinhaConfirmada() const { return linhaConfirmada; }
    double ValorConfirmado() const { return valorConfirmado; }
    int LinhaAtual() const { return linhaAtual; }

    QLineEdit* Campo() const { return campo; }
    QPushButton* BotaoOk() const { return btnOk; }
    QPushButton* BotaoCancelar() const { return btnCancelar; }
    QPushButton* BotaoAjuda() const { return btnAjuda; }
    QRadioButton* Linha(int indice) const; // 1..N
    int NumeroDeLinhas() const { return int(linhas.size()); }
    // Linha marcada (0 nenhuma).
    int LinhaMarcada() const;

    void reject() override;

protected:
    TDialogoTabela(QWidget* pai, const QString& titulo, int helpContext,
                   const QString& mensagemVazio);

    // Montagem da tabela.
    void Cabecalhos(const QStringList& colunas);
    void Grupo(const QString& texto, int recuo = 0);
    void AdicionarLinha(const QString& rotulo, const QStringList& colunas, int recuo = 0);
    void Finalizar(const QString& rotuloCampo, const QString& citacao);

    // Texto que a escolha da linha põe no campo.
    virtual QString TextoDaLinha(int linha) const = 0;
    virtual void EscolherLinha(int linha);
    // Tecla aceita no campo: o valor passa a ser digitado.
    virtual void ValorDigitado();
    virtual bool OkHabilitado(const QString& texto) const { return !texto.isEmpty(); }
    // Linha guardada ao confirmar.
    virtual int LinhaAoConfirmar() const;
    virtual void AoCancelar() {}

    void DesmarcarTodas();
    void Marcar(int linha);
    void showEvent(QShowEvent* evento) override;

    int linhaAtual = 0;
    int linhaLembrada = 0;

private:
    void Confirmar();

    QString mensagemVazio;
    int helpContext = 0;
    int linhaInicial = 0;
    double valorInicial = 0;
    bool mostrado = false;
    int linhaConfirmada = 0;
    double valorConfirmado = 0;

    QGridLayout* grade = nullptr;
    QButtonGroup* grupo = nullptr;
    QList<QRadioButton*> linhas;
    TCampoValor* campo = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancelar = nullptr;
    QPushButton* btnAjuda = nullptr;
};

// Componente que abre um diálogo de tabela para um valor com índice de linha e guarda a
// última escolha confirmada.
class TComponenteParametro {
public:
    std::int16_t Indice = 0;
    double Valor = 0;
    int HelpContext = 0;

protected:
    // Abre o diálogo com a linha e o valor dados; confirmado, o componente e o alvo recebem
    // a linha e o valor do diálogo.
    bool ExecutarDialogo(TDialogoTabela& dialogo, TReal& alvo, int linha, double valor);
};
