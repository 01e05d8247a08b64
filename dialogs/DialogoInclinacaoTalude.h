#pragma once
#include "dialogs/DialogoTabela.h"

// Inclinação Z dos taludes de canais não revestidos, escolhida pelo material ou digitada.
class TDialogoInclinacaoTalude : public TDialogoTabela {
    Q_OBJECT
public:
    explicit TDialogoInclinacaoTalude(QWidget* pai = nullptr, int helpContext = 0);

protected:
    QString TextoDaLinha(int linha) const override;
    void EscolherLinha(int linha) override;
    // Valor digitado é da linha "Outros".
    void ValorDigitado() override;
    bool OkHabilitado(const QString& texto) const override {
        return !texto.isEmpty() && texto != "---";
    }
    int LinhaAoConfirmar() const override { return linhaAtual; }
    void AoCancelar() override;
};

// Componente da janela principal (EscolhaInclinacaoTalude): abre o diálogo com a última
// escolha confirmada, a mesma para os dois canais que ele atende.
class TInclinacaoTalude : public TComponenteParametro {
public:
    bool Executar(TReal& alvo, QWidget* pai = nullptr);
};
