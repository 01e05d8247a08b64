#pragma once
#include <QWidget>
#include <optional>

#include "mainwindow/estudos/Ambiente.h"
#include "project/ProtecaoCanal.h"

class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class TExecucaoLote;
class TModeloProtecao;
class TTabelaResultados;

// Página da proteção do canal: o canal do projeto (ou um trecho da estrada) com o solo
// exposto, gramado, com manta, com enrocamento e com concreto, lado a lado, com os custos e a
// mais barata que atende. Os dados da página ficam no projeto.
class TPaginaProtecao : public QWidget {
    Q_OBJECT
public:
    explicit TPaginaProtecao(TAmbienteEstudos ambiente, QWidget* pai = nullptr);
    ~TPaginaProtecao() override;

    // Campos com os dados do projeto e a lista de trechos.
    void Atualizar();
    // O projeto mudou: o cálculo em curso e os resultados se vão.
    void Limpar();

    void Calcular();
    void Cancelar();
    bool Calculando() const;
    void ExportarCsv(const QString& caminho);
    QString HtmlImpressao() const;
    QImage ImagemGrafico(QSize tamanho) const;

    // O último resultado, do canal do projeto ou de um trecho.
    const std::optional<TResultadoProtecao>& Resultado() const { return FResultado; }
    // O resultado do canal do projeto quando o usuário pediu que fosse ao relatório.
    const TResultadoProtecao* ParaRelatorio() const;
    // Os valores desenhados no gráfico, na ordem das alternativas (vazio: sem valor).
    std::vector<std::optional<double>> ValoresGrafico() const;

    unsigned Linhas;

    QComboBox *cbCanal, *cbClasseGrama, *cbManta, *cbGraficoProtecao;
    QLineEdit *eProfundidadeCanal, *eBordaLivre, *eFatorCobertura, *eTensaoManta, *eRugosidadeManta,
        *eMassaPedra, *eCustoGrama, *eCustoManta, *eCustoEnrocamento, *eCustoConcreto,
        *eCustoDesaguadouro;
    QCheckBox* cbxRelatorio;
    QLabel* lblSituacaoProtecao;
    QPushButton *btnCalcularProtecao, *btnCancelarProtecao, *btnCopiarProtecao,
        *btnExportarProtecao, *btnImprimirProtecao, *btnVoltarProtecao;
    QProgressBar* pbProtecao;
    QChartView* grProtecao;
    TTabelaResultados* tbProtecao;

private:
    // Lê os campos; EMorvendo (com o foco no campo) quando um não é número ou sai da faixa.
    TConfiguracaoProtecao LerCampos();
    void MostrarCampos(const TConfiguracaoProtecao& c);
    // Guarda no projeto os campos que servem, marcando-o alterado quando mudam.
    void GuardarCampos(bool avisar);
    void Tracar();
    void Habilitar();

    TAmbienteEstudos FAmb;
    TExecucaoLote* FLote;
    TModeloProtecao* FModelo;
    QChart* FGrafico;
    std::optional<TResultadoProtecao> FResultado;
    bool FDoProjeto = false; // o resultado é do canal do projeto, não de um trecho
};
