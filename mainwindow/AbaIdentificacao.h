#pragma once
#include <QWidget>

#include "project/Projeto.h"

class QLineEdit;
class QPlainTextEdit;

// Aba "Identificação" da página de dados: estrada, trecho, município, engenheiro, data e
// observações do projeto, todos opcionais, que o relatório mostra no início.
class TAbaIdentificacao : public QWidget {
    Q_OBJECT
public:
    explicit TAbaIdentificacao(QWidget* pai = nullptr);

    // Mostra a identificação sem avisar alteração.
    void Mostrar(const TIdentificacao& id);
    // O que está nos campos.
    TIdentificacao Lida() const;

    QLineEdit* eEstrada = nullptr;
    QLineEdit* eTrecho = nullptr;
    QLineEdit* eMunicipio = nullptr;
    QLineEdit* eEngenheiro = nullptr;
    QLineEdit* eDataProjeto = nullptr;
    QPlainTextEdit* mObservacoes = nullptr;

signals:
    // O usuário mudou um dos campos.
    void Alterada();
};
