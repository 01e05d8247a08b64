#pragma once
#include "dialogs/DialogoTabela.h"

// Rugosidade hidráulica da superfície da área externa, escolhida na tabela ou digitada.
class TDialogoRugosidadeTerreno : public TDialogoTabela {
    Q_OBJECT
public:
    explicit TDialogoRugosidadeTerreno(QWidget* pai = nullptr, int helpContext = 0);

protected:
    QString TextoDaLinha(int linha) const override;
    // O valor digitado fica com a linha 0, mas a linha escolhida antes continua marcada.
    void ValorDigitado() override { linhaAtual = 0; }
    int LinhaAoConfirmar() const override { return linhaAtual; }
    void AoCancelar() override { linhaAtual = linhaLembrada; }
};

// Componente da janela principal (EscolhaRugosidadeTerreno).
class TRugosidadeTerreno : public TComponenteParametro {
public:
    bool Executar(TReal& alvo, QWidget* pai = nullptr);
};
