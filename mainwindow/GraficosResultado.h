#pragma once
#include <QByteArray>
#include <QImage>
#include <QWidget>
#include <vector>

#include "engine/CanalEstrada.h"
#include "project/ResumoResultado.h"

class QAction;
class QChart;
class QChartView;
class QPushButton;
class TUnidades;

// Um gráfico da página de resultados, que acompanha o tamanho da janela, com os botões e o
// menu de contexto de gravar em PNG e SVG e de copiar.
class TPainelGrafico : public QWidget {
public:
    explicit TPainelGrafico(const char* nome, QWidget* pai = nullptr);

    // Troca o gráfico mostrado (o painel fica dono dele); nulo deixa o painel vazio.
    void Definir(QChart* grafico);
    QChart* Grafico() const;

    // O gráfico como aparece, do tamanho atual da vista.
    QImage Imagem() const;
    QByteArray Png() const;
    QByteArray Svg() const;
    // Imagem e SVG na área de transferência.
    void Copiar() const;

    QChartView* Vista;
    QPushButton *bSalvarPng, *bSalvarSvg, *bCopiar;
    // Ligadas por quem escolhe o arquivo; o menu de contexto e os botões disparam estas.
    QAction *aSalvarPng, *aSalvarSvg, *aCopiar;
};

// Perda de solo ao longo do canal, com a perda tolerável e o espaçamento marcados e, se
// houver, as seções dentro do espaçamento acima da tolerável.
QChart* GraficoPerdaSolo(const TResultadoEspacamento& resultado);
// Tensão cisalhante máxima e lâmina ao longo do canal, com a tensão crítica.
QChart* GraficoTensaoLamina(const TCanalEstrada& canal, const TResultadoEspacamento& resultado,
                            const TUnidades& unidades);
// Hidrogramas das encostas (L/s/m, eixo da esquerda) e do canal no desaguadouro (L/s, eixo
// da direita).
QChart* GraficoHidrogramas(const std::vector<TSerieHidrograma>& series);
