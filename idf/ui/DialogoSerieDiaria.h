#pragma once
#include "idf/EstacoesUsuario.h"
#include "idf/SerieDiaria.h"
#include "idf/ui/AmbienteConsulta.h"

#include <QDialog>

#include <functional>
#include <optional>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTabWidget;

// Equação IDF a partir da série de chuvas diárias de um posto, baixada do portal de séries
// históricas: a tabela dos anos (cada um pode ficar de fora), o início do ano, Gumbel, a
// tabela das relações entre durações, as intensidades e K, a, b, c com as curvas sobre os
// pontos. Tudo é recalculado a cada mudança.
class TDialogoSerieDiaria : public QDialog {
    Q_OBJECT
public:
    explicit TDialogoSerieDiaria(IMensagensConsulta& mensagens, QWidget* pai = nullptr);

    void AbrirClick();
    // Lê a série e calcula; arquivo recusado: a caixa de erro com a linha e o motivo.
    void CarregarSerie(const QString& caminho);
    // Deixa o ano de fora (ou o traz de volta) como a caixa da tabela.
    void ExcluirAno(int ano, bool excluir);
    void RestaurarRelacoesClick();
    // Uma linha vazia depois da escolhida (ou no fim), já em edição; enquanto incompleta, nada
    // se calcula.
    void IncluirRelacaoClick();
    // Exclui a linha escolhida, a não ser que outra duração dependa dela ou que fiquem menos de
    // três: então a caixa diz por quê e a linha fica.
    void ExcluirRelacaoClick();

    const std::optional<TIdfDaSerie>& Resultado() const { return FResultado; }
    // A estação que o resultado dá: equação, faixas, erros e a origem como fonte. Sem
    // coordenadas: a exportação do portal não as traz.
    TEstacaoUsuario EstacaoDoResultado() const;
    // Quem abriu a janela guarda a estação; sem isso, o botão não aparece.
    std::function<void(const TEstacaoUsuario&)> SalvarComoEstacao;
    void SalvarEstacaoClick();

    QPushButton* btnAbrir;
    QLabel* lSerie;
    QComboBox* cbMesInicio;
    QTableWidget *tbAnos, *tbGumbel, *tbRelacoes, *tbIntensidades;
    QLabel* lGumbel;
    QPushButton *btnRestaurar, *btnIncluirRelacao, *btnExcluirRelacao;
    QTabWidget* Paginas;
    QChartView* grCurvas;
    QLineEdit *lK, *lA, *lB, *lC;
    QLabel *lErros, *lAvisos;
    QPushButton *btnSalvarEstacao, *btnFechar;

private:
    void Calcular();
    void Limpar();
    void PreencherAnos(const std::vector<TAnoChuva>& anos);
    void PreencherRelacoes(const std::vector<TRelacaoDuracao>& relacoes);
    // EMorvendo com a linha e a coluna do valor ilegível; nullopt quando uma linha está
    // incompleta (com a mensagem em incompleta).
    std::optional<std::vector<TRelacaoDuracao>> RelacoesDaTabela(QString& incompleta) const;
    void MostrarResultado();

    IMensagensConsulta& FMensagens;
    std::optional<TSerieDiaria> FSerie;
    std::optional<TIdfDaSerie> FResultado;
    std::vector<int> FExcluidos;
    QChart* FGrafico;
    bool FPreenchendo = false;
};
