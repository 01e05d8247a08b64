#pragma once
#include <QWidget>
#include <vector>

#include "mainwindow/estudos/Ambiente.h"
#include "project/Estudos.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class TExecucaoLote;
class TModeloEstudo;
class TTabelaResultados;

// Página de estudo de sensibilidade: um dado do projeto varia de um início a um fim com um
// passo, cada valor é um cálculo completo numa cópia do projeto (em todos os núcleos), e a
// página traça e lista o espaçamento, a perda, a tensão, a vazão e o volume da bacia.
class TPaginaEstudo : public QWidget {
    Q_OBJECT
public:
    explicit TPaginaEstudo(TAmbienteEstudos ambiente, QWidget* pai = nullptr);
    ~TPaginaEstudo() override;

    // Rótulos das unidades configuradas e valores sugeridos para o dado escolhido.
    void Atualizar();
    // O projeto mudou (novo, aberto, fechado): o estudo em curso e os resultados se vão.
    void Limpar();

    void Calcular();
    void Cancelar();
    bool Calculando() const;
    void ExportarCsv(const QString& caminho);
    // Documento de impressão: título, projeto, dado variado, tabela e gráfico.
    QString HtmlImpressao() const;
    QImage ImagemGrafico(QSize tamanho) const;

    // Valores do último estudo, na unidade da tela, e os pontos calculados pelo núcleo.
    const std::vector<double>& ValoresMostrados() const;
    const std::vector<TPontoEstudo>& Pontos() const;
    TParametroEstudo ParametroEstudado() const;
    // Título do eixo vertical e textos das marcas, como desenhados.
    QString TituloEixoX() const;
    QString TituloEixoY() const;
    QStringList MarcasEixoX() const;

    // Linhas de execução do lote (os núcleos da máquina, por padrão).
    unsigned Linhas;

    QComboBox* cbParametro;
    QLineEdit *eInicio, *eFim, *ePasso;
    QLabel *lblUnidadeInicio, *lblUnidadeFim, *lblUnidadePasso, *lblSituacao;
    QPushButton *btnCalcularEstudo, *btnCancelarEstudo, *btnCopiarEstudo, *btnExportarEstudo,
        *btnImprimirEstudo, *btnVoltarEstudo;
    QProgressBar* pbEstudo;
    QComboBox* cbGrandeza;
    QChartView* grEstudo;
    TTabelaResultados* tbEstudo;

private:
    void Sugerir();
    void Terminar(bool cancelado);
    void Tracar();
    void Habilitar();
    QString UnidadeParametro(TParametroEstudo p) const;
    double FatorParametro(TParametroEstudo p) const;

    TAmbienteEstudos FAmb;
    TExecucaoLote* FLote;
    TModeloEstudo* FModelo;
    QChart* FGrafico;
    std::vector<TPontoEstudo> FPendentes;
};
