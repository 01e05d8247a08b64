#pragma once
#include "idf/ReferenciasIdf.h"

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

    QLabel* Autor;
    QLabel* Livro;
    QLabel* Pagina;
    QPushButton* OK;
};
