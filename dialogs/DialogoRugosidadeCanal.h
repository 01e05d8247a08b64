#pragma once
#include "dialogs/DialogoTabela.h"

// Rugosidade de Manning do canal, escolhida na tabela de canais de terra ou digitada.
class TDialogoRugosidadeCanal : public TDialogoTabela {
    Q_OBJECT
public:
    explicit TDialogoRugosidadeCanal(QWidget* pai = nullptr, int helpContext = 0);

protected:
    QString TextoDaLinha(int linha) const override;
};

// Componente da janela principal (EscolhaRugosidadeCanal): abre o diálogo com a linha e o valor do
// alvo.
class TRugosidadeCanal : public TComponenteParametro {
public:
    bool Executar(TReal& alvo, QWidget* pai = nullptr);
};
