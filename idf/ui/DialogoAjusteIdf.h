#pragma once
#include "idf/AjusteIdf.h"
#include "idf/ui/AmbienteConsulta.h"

#include <QDialog>

#include <functional>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

// "Ajustar equação": K, a, b, c a partir de uma tabela de intensidades (digitada, colada ou
// lida de um CSV) ou de uma equação de duplo logaritmo publicada com a sua faixa de durações.
// Aceito com "Usar no projeto", Resultado() traz os parâmetros ajustados; "Salvar como minha
// estação" os entrega a SalvarComoEstacao.
class TDialogoAjusteIdf : public QDialog {
    Q_OBJECT
public:
    explicit TDialogoAjusteIdf(IMensagensConsulta& mensagens, QWidget* pai = nullptr);

    // Ajusta com o que está na página à mostra; erro na caixa do programa.
    void AjustarClick();
    void AbrirCsvClick();
    // Lê o arquivo para a página da tabela; erro na caixa.
    void CarregarCsv(const QString& caminho);

    const std::optional<TResultadoAjusteIdf>& Resultado() const { return FResultado; }
    // Faixa de durações (min) do que foi ajustado: a da tabela ou a da equação publicada.
    double DuracaoMin() const { return FDuracaoMin; }
    double DuracaoMax() const { return FDuracaoMax; }
    // "Salvar como minha estação": quem abriu o diálogo guarda o resultado; sem isso, o
    // botão não aparece.
    std::function<void(const TResultadoAjusteIdf&, double duracaoMin, double duracaoMax)>
        SalvarComoEstacao;
    void SalvarEstacaoClick();

    QTabWidget* Origem;
    QPlainTextEdit* eTabela;
    QPushButton* btnAbrirCsv;
    QLineEdit *eA, *eB, *eC, *eD, *eE, *eF, *eG, *eH, *eDuracaoMin, *eDuracaoMax;
    QPushButton* btnAjustar;
    QLineEdit *lK, *lA, *lB, *lC;
    QLabel* lErros;
    QPushButton* btnUsar;
    QPushButton* btnSalvarEstacao;
    QPushButton* btnFechar;

private:
    void Ajustar();
    void MostrarResultado();
    void Limpar();

    IMensagensConsulta& FMensagens;
    std::optional<TResultadoAjusteIdf> FResultado;
    double FDuracaoMin = 0, FDuracaoMax = 0;
};

// Quadro " Equação ajustada " das janelas de ajuste: K, a, b, c só para leitura e os erros
// embaixo, numa grade de oito colunas em que a janela pode acrescentar linhas.
QGroupBox* CaixaEquacaoAjustada(QWidget* pai, QLineEdit*& k, QLineEdit*& a, QLineEdit*& b,
                                QLineEdit*& c, QLabel*& erros);
