#pragma once
#include "idf/ReferenciasIdf.h"

#include <vector>

#include <QDialog>

class QLabel;
class QPushButton;

// Referência bibliográfica dos parâmetros mostrados na consulta.
class TDialogoAutor : public QDialog {
    Q_OBJECT
public:
    explicit TDialogoAutor(QWidget* pai = nullptr);
    void Limpar();
    void Mostrar(const TReferencia& r);
    // Estação do próprio usuário: a fonte que ele escreveu no lugar da referência.
    void MostrarUsuario(const TInfoEstacaoIdf& e);
    // Estação, verificação e faixa de durações, com o aviso quando as durações do projeto
    // saem da faixa.
    void MostrarEstacao(const TInfoEstacaoIdf& e, const std::vector<double>& duracoesProjeto);

    QLabel* Autor;
    QLabel* Livro;
    QLabel* Pagina;
    QLabel* Estacao;
    QPushButton* OK;
};
