#pragma once
#include <QImage>

class QGridLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

// Construção dos controles das páginas da janela principal (nome = objectName).
QLabel* Rotulo(const char* texto, const char* nome = nullptr);
QLabel* Figura(const QImage& imagem, const char* nome = nullptr);
QPushButton* Botao(const char* texto, const char* nome);
QGroupBox* Grupo(const char* titulo, const char* nome = nullptr);
// Linha "legenda, campo, unidade" de uma grade de campos.
void Linha(QGridLayout* g, int linha, QWidget* legenda, QWidget* campo, QWidget* unidade = nullptr);
