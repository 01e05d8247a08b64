#pragma once
#include <QImage>
#include <QSize>
#include <QString>

// Desenhos técnicos do programa, feitos com QPainter: a página de dados os mostra e a
// ferramenta de figuras os grava ao lado do programa para o relatório.

// Seção transversal da estrada: 1 estrada abaulada em corte (meia largura e talude escoam
// para o canal), 2 leito inclinado para um lado com a área externa a montante, 3 estrada
// abaulada sem taludes de corte.
QImage DesenharSecaoTransversal(int tipo, QSize tamanho = QSize(161, 48));
// Canal trapezoidal com a base B e as paredes 1:Z.
QImage DesenharCanalTrapezoidal(QSize tamanho);
// Canal triangular com as paredes 1:m1 e 1:m2.
QImage DesenharCanalTriangular(QSize tamanho);
// Bacia retangular em planta e em corte, com L1, L2, a largura e a profundidade H.
QImage DesenharBaciaRetangular(QSize tamanho);
// Bacia semicircular em planta, com o raio e a profundidade H.
QImage DesenharBaciaSemicircular(QSize tamanho);
// Corte longitudinal da bacia retangular com os taludes 1:m1 e 1:m2.
QImage DesenharCorteBacia(QSize tamanho);
// Figura de abertura do programa.
QImage DesenharAbertura(QSize tamanho = QSize(558, 340));
// Cabeçalho do relatório da estrada.
QImage DesenharCabecalho(QSize tamanho = QSize(550, 67));

// Grava ao lado do programa as figuras que o relatório e a abertura usam: Cabecalho.jpg e,
// em Figuras/, CanTrap.bmp, CanTri.bmp, Secao1.bmp a Secao3.bmp e Abertura.png. Cada arquivo
// é gravado por inteiro ou não é; em caso de falha, erro recebe a mensagem.
bool GravarFigurasPrograma(const QString& pasta, QString* erro = nullptr);
