#pragma once
#include <QDialog>
#include <QImage>
#include <QList>
#include <QPair>
#include <QUrl>

#include <string>

#include "reports/RelatorioEstrada.h"

class QPrinter;
class QTextDocument;
class QTextBrowser;
class QToolButton;

// Janela do relatório da estrada: o documento numa visão HTML, "&Imprimir" e "Fechar".
class TJanelaRelatorioEstrada : public QDialog {
    Q_OBJECT
public:
    // O documento vem em Windows-1252, como GerarRelatorio o monta; é carregado na visão
    // uma só vez, quando a janela aparece.
    explicit TJanelaRelatorioEstrada(std::string documento, QWidget* parent = nullptr);

    QTextBrowser* visualizador = nullptr;
    QToolButton* btnImprimir = nullptr;
    QToolButton* BFechar = nullptr;

    // Imprime na impressora já configurada: o intervalo de páginas escolhido ou todas,
    // com margens de 2 cm.
    void Imprimir(QPrinter& impressora);

protected:
    void showEvent(QShowEvent* evento) override;
    void changeEvent(QEvent* evento) override;

private:
    void ImprimirClick();
    void CarregarDocumento();
    // Os gráficos, desenhados uma vez, como recursos do documento mostrado ou impresso.
    void PorGraficos(QTextDocument* doc) const;

    std::string FDocumento;
    bool FCarregado = false;
    QList<QPair<QUrl, QImage>> FGraficos;
};

// O documento como o motor de texto do Qt o diagrama igual a um navegador: larguras de
// colunas que excedem a da tabela passam a proporções. O documento em si não muda.
QString AdaptarHtmlAoQt(const QString& html);

// Troca cada <svg> embutido do documento por uma imagem com o mesmo desenho, que vai para
// 'imagens' com o endereço que a referencia.
QString GraficosComoImagens(const QString& html, QList<QPair<QUrl, QImage>>& imagens);

// Opções do relatório como o programa as usa: pasta do programa e data curta do sistema.
TOpcoesRelatorioEstrada OpcoesRelatorioDoPrograma();

// Ação "&Relatório" da página de resultados: cursor de espera durante a montagem, a janela
// modal só quando o documento foi montado. Devolve falso quando a montagem falhou. Com
// 'protecao', a tabela das alternativas de proteção do canal entra depois dos resultados.
bool MostrarRelatorio(const TProjeto& projeto, const TResultadoCalculo& resultado, QWidget* pai,
                      const TResultadoProtecao* protecao = nullptr);
