#pragma once
#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "mainwindow/estudos/Ambiente.h"
#include "project/Estudos.h"
#include "project/Locacao.h"

class QLabel;
class QLineEdit;
class QPainter;
class QPrinter;
class QProgressBar;
class QPushButton;
class QTableView;
class TExecucaoLote;
class TModeloTrechos;
class TModeloNotaLocacao;
class TTabelaResultados;

// O perfil da estrada: as cotas ao longo do estaqueamento tiradas das declividades dos
// trechos, as cristas e as baixadas, a declividade de cada trecho e os desaguadouros de cada
// lado. O mesmo desenho vai para a tela, a impressão, o PNG e o SVG.
class TDesenhoEstrada : public QWidget {
public:
    explicit TDesenhoEstrada(QWidget* pai = nullptr);
    void Definir(std::vector<TTrecho> trechos, double cotaInicial,
                 std::vector<TDesaguadouro> desaguadouros);
    QSize sizeHint() const override { return {600, 230}; }
    // Textos das marcas do eixo das estacas, como desenhados, e o título dele.
    QStringList MarcasEixo() const;
    QString TituloEixo() const;
    // Desenha no retângulo dado com a fonte do pintor (em pixels: o pintor pode estar em
    // escala, numa impressora ou num SVG).
    void Desenhar(QPainter& p, const QRectF& area) const;
    QImage Imagem(QSize tamanho) const;
    QByteArray Svg(QSize tamanho) const;
    static QColor CorDoLado(TLado lado);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::vector<TTrecho> FTrechos;
    std::vector<double> FCotas; // nos limites dos trechos
    std::vector<TDesaguadouro> FDesaguadouros;
};

// Página dos trechos de uma estrada: a lista de trechos do projeto (digitada, importada de
// um CSV ou tirada do perfil longitudinal), com os canais de cada lado e as cotas, e a
// locação dos desaguadouros seguindo a água, com a nota de locação e o perfil desenhado.
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
    // O fator digitado vai para o projeto; EMorvendo quando não serve.
    void AplicarFator();
    void Calcular();
    void Cancelar();
    bool Calculando() const;
    // A nota em CSV das planilhas: ';', vírgula decimal, UTF-8 com BOM.
    void ExportarCsv(const QString& caminho);
    // O perfil em PNG ou SVG, pela extensão.
    void ExportarDesenho(const QString& caminho);
    void ImprimirEm(QPrinter& impressora);
    // Título, perfil e nota em páginas do tamanho de 'pagina' (unidades do pintor, em pontos
    // na impressora); novaPagina passa à folha seguinte. Devolve o número de páginas.
    int DesenharImpressao(QPainter& p, const QRectF& pagina,
                          const std::function<void()>& novaPagina) const;
    const TResultadoLocacao& Nota() const;

    unsigned Linhas;

    TTabelaResultados* tbTrechos;
    QPushButton *btnAcrescentarTrecho, *btnRemoverTrecho, *btnImportarTrechos, *btnPerfil;
    QLineEdit *eTolerancia, *eFator;
    QLabel *lblTolerancia, *lblSituacaoTrechos;
    QPushButton *btnCalcularTrechos, *btnCancelarTrechos, *btnCopiarTrechos, *btnExportarTrechos,
        *btnExportarDesenho, *btnImprimirTrechos, *btnVoltarTrechos;
    QProgressBar* pbTrechos;
    TDesenhoEstrada* DesenhoEstrada;
    TTabelaResultados* tbNota;

private:
    void Habilitar();
    void Alterados();
    void Redesenhar();
    bool Substituir(std::vector<TTrecho> trechos, std::optional<double> cota,
                    const QString& origem);
    QString EscolherArquivo(const QString& titulo);

    TAmbienteEstudos FAmb;
    TExecucaoLote* FLote;
    TModeloTrechos* FModelo;
    TModeloNotaLocacao* FNota;
    QElapsedTimer FUltimoAndamento;
    // Os trechos e a cota inicial de antes da última importação, até a próxima mudança.
    struct TAntes {
        std::vector<TTrecho> Trechos;
        std::optional<double> Cota;
    };
    std::optional<TAntes> FAntesDaImportacao;
};
