#pragma once
#include <string>

#include <QAbstractTableModel>
#include <QTableView>

class QChartView;
class QComboBox;
class QImage;
class QPrinter;
class QSplitter;

// Tabela de resultados cujo texto serve à tela, à área de transferência e ao CSV, cada um
// com o seu separador decimal.
class TModeloTexto : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // completo: todos os algarismos (CSV); senão, as casas da tela.
    virtual QString Texto(int linha, int coluna, char separadorDecimal, bool completo) const = 0;
    virtual QString Titulo(int coluna) const = 0;
    // Linha de um cálculo que falhou: a mensagem ocupa a linha de ColunaMensagem em diante.
    virtual bool Falhou(int /*linha*/) const { return false; }
    virtual int ColunaMensagem() const { return 1; }

    QVariant data(const QModelIndex& i, int papel) const override;
    QVariant headerData(int secao, Qt::Orientation o, int papel) const override;
};

// Cabeçalho e linhas (todas quando a lista é vazia) com as colunas separadas por separador.
QString TextoDaTabela(const TModeloTexto& modelo, const QList<int>& linhas, QChar separador,
                      char separadorDecimal, bool completo);

// CSV das planilhas em português: ';' entre campos, vírgula decimal, UTF-8 com BOM.
QByteArray CsvDaTabela(const TModeloTexto& modelo);
// Grava atomicamente; erro com o caminho na mensagem.
void GravarCsv(const QString& caminho, const QByteArray& conteudo);

// Vista que copia as linhas escolhidas (todas, sem escolha) com Ctrl+C, separadas por
// tabulação, e estende a mensagem das linhas que falharam sobre as colunas de resultado.
class TTabelaResultados : public QTableView {
public:
    explicit TTabelaResultados(const char* nome, QWidget* pai = nullptr);
    void setModel(QAbstractItemModel* modelo) override;
    void Copiar();
    // Refaz as extensões das linhas que falharam depois de o modelo mudar.
    void AjustarLinhas();

protected:
    void keyPressEvent(QKeyEvent* evento) override;
};

// Visualização de impressão de um documento HTML com uma figura ("figura:grafico").
void ImprimirHtml(QWidget* pai, QPrinter& impressora, const QString& titulo, const QString& html,
                  const QImage& figura);

// O gráfico com a escolha do que traçar em cima, à esquerda, e a tabela à direita, com a
// proporção dada entre as larguras.
QSplitter* GraficoETabela(QComboBox* escolha, QChartView* grafico, QTableView* tabela,
                          int esticarGrafico, int esticarTabela);
// O gráfico desenhado sobre fundo branco, para a impressão.
QImage ImagemDoGrafico(QChartView* grafico, QSize tamanho);

// A tabela em HTML, para a impressão: a linha que falhou leva a mensagem de ColunaMensagem em
// diante.
QString HtmlDaTabela(const TModeloTexto& modelo, char separadorDecimal);

// Texto seguro para HTML.
QString Html(const QString& texto);

// Documento de impressão de uma página de estudo: título, projeto, o que foi calculado
// ("Dado variado", "Canal"), a situação, o gráfico e a tabela.
QString HtmlImpressaoDeEstudo(const QString& titulo, const std::string& projeto,
                              const QString& rotulo, const QString& valor, const QString& situacao,
                              const TModeloTexto& tabela, char separadorDecimal);
