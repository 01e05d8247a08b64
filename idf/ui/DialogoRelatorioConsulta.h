#pragma once
#include "idf/ui/AmbienteConsulta.h"
#include "idf/ui/DialogoConsulta.h"

#include <QDialog>
#include <QImage>
#include <QString>

#include <functional>

class QPrinter;
class QTextBrowser;
class QTextDocument;
class QToolButton;

inline const QString TituloRelatorioConsulta =
    QStringLiteral("Parâmetros da Equação de Intensidade, Duração e Frequência da Precipitação");
inline const QString NomeMapaMarcado = QStringLiteral("Bit.bmp");

// Cópia do mapa do estado com um disco preto de raio 3 no ponto (x, y).
QImage MapaMarcado(const QImage& mapa, int x, int y);

// Página HTML do relatório. Os textos vindos do banco ou do projeto saem escapados.
// cabecalho: caminho da figura do cabeçalho; data: a data de emissão já formatada.
QString DocumentoRelatorioConsulta(const TDadosRelatorioConsulta& d, const QString& cabecalho,
                                   const QString& data);

// Imprime o documento com margens de 2 cm; sem intervalo escolhido, todas as páginas.
void ImprimirDocumento(const QTextDocument& documento, QPrinter& impressora);

// Janela do relatório da consulta. O documento é refeito a cada ativação, com o estado do
// diálogo naquele momento; o mapa marcado "Bit.bmp" é apagado quando a janela é destruída.
class TDialogoRelatorioConsulta : public QDialog {
    Q_OBJECT
public:
    TDialogoRelatorioConsulta(std::function<TDadosRelatorioConsulta()> dados,
                              const TAmbienteConsulta& ambiente, QWidget* pai = nullptr);
    ~TDialogoRelatorioConsulta() override;

    void FormActivate();
    void ImprimirClick();
    // Caminho do "Bit.bmp" gravado (vazio enquanto não houve mapa).
    const QString& ArquivoMapa() const { return FArquivoMapa; }

    QToolButton* btnImprimir;
    QToolButton* BFechar;
    QTextBrowser* Viewer;

protected:
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    std::function<TDadosRelatorioConsulta()> FDados;
    const TAmbienteConsulta& FAmbiente;
    QString FArquivoMapa;
};
