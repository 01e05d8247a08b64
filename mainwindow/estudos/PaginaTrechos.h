#pragma once
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "mainwindow/estudos/Ambiente.h"
#include "project/Estudos.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class TExecucaoLote;
class TModeloTrechos;
class TModeloResultadoTrechos;
class TTabelaResultados;

// A estrada desenhada: o comprimento como uma linha, os limites dos trechos com o nome e a
// declividade e os desaguadouros marcados.
class TDesenhoEstrada : public QWidget {
public:
    TDesenhoEstrada(const TUnidades& unidades, QWidget* pai = nullptr);
    void Definir(std::vector<TTrecho> trechos, std::vector<TResultadoTrecho> resultados);
    QSize sizeHint() const override { return {600, 150}; }
    // Textos das marcas do eixo, como desenhados, e o título dele.
    QStringList MarcasEixo() const;
    QString TituloEixo() const;
    QImage Imagem(QSize tamanho);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const TUnidades& FUnidades;
    std::vector<TTrecho> FTrechos;
    std::vector<TResultadoTrecho> FResultados;
};

// Página dos trechos de uma estrada: a lista de trechos do projeto (digitada, importada de
// um CSV ou tirada do perfil longitudinal), o cálculo de cada trecho com os dados do projeto
// e a posição dos desaguadouros ao longo da estrada.
class TPaginaTrechos : public QWidget {
    Q_OBJECT
public:
    explicit TPaginaTrechos(TAmbienteEstudos ambiente, QWidget* pai = nullptr);
    ~TPaginaTrechos() override;

    // Unidades configuradas nos títulos e nos valores.
    void Atualizar();
    // O projeto mudou: os trechos dele aparecem, o cálculo em curso e os resultados se vão.
    void Recarregar();

    void Acrescentar();
    void Remover();
    // Trechos de um CSV ou do perfil no lugar dos da tabela; com trechos na tabela, só depois
    // de Confirmar, e Desfazer (Ctrl+Z na página) os devolve.
    void ImportarCsv(const QString& caminho);
    void DerivarDoPerfil(const QString& caminho);
    void Desfazer();
    bool PodeDesfazer() const { return FAntesDaImportacao.has_value(); }
    // Pergunta sim ou não; os testes respondem sem caixa.
    std::function<bool(const QString&)> Confirmar;
    void Calcular();
    void Cancelar();
    bool Calculando() const;
    void ExportarCsv(const QString& caminho);
    QString HtmlImpressao() const;
    const std::vector<TResultadoTrecho>& Resultados() const;

    unsigned Linhas;

    TTabelaResultados* tbTrechos;
    QPushButton *btnAcrescentarTrecho, *btnRemoverTrecho, *btnImportarTrechos, *btnPerfil;
    QLineEdit* eTolerancia;
    QLabel *lblTolerancia, *lblSituacaoTrechos;
    QPushButton *btnCalcularTrechos, *btnCancelarTrechos, *btnCopiarTrechos, *btnExportarTrechos,
        *btnImprimirTrechos, *btnVoltarTrechos;
    QProgressBar* pbTrechos;
    TDesenhoEstrada* DesenhoEstrada;
    TTabelaResultados* tbResultadoTrechos;

private:
    void Habilitar();
    void Alterados();
    bool Substituir(std::vector<TTrecho> trechos, const QString& origem);
    QString EscolherArquivo(const QString& titulo);

    TAmbienteEstudos FAmb;
    TExecucaoLote* FLote;
    TModeloTrechos* FModelo;
    TModeloResultadoTrechos* FResultado;
    // Os trechos de antes da última importação, até a próxima mudança da tabela.
    std::optional<std::vector<TTrecho>> FAntesDaImportacao;
};
