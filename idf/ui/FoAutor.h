#pragma once
#include "idf/ReferenciasIdf.h"

#include <vector>

#include <QDialog>

class QLabel;
class QPushButton;

// Referência bibliográfica dos parâmetros mostrados na consulta.
class TfrmFoAutor : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFoAutor(QWidget* pai = nullptr);
    void Limpar();
    void Mostrar(const TReferencia& r);
    // Estação, verificação e faixa de durações, com o aviso quando as durações do projeto
    // saem da faixa.
    void MostrarEstacao(const TInfoEstacaoIdf& e, const std::vector<double>& duracoesProjeto);

    QLabel* Autor;
    QLabel* Livro;
    QLabel* Pagina;
    QLabel* Estacao;
    QPushButton* OK;
};
