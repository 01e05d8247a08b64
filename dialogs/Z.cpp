#include "dialogs/Z.h"

#include <QLineEdit>

#include "comum/Numeros.h"
#include "dialogs/TabelasParametros.h"

TFZ::TFZ(QWidget* pai, int helpContext)
    : TFDialogoTabela(pai, "Declividades recomendadas para taludes de canais não revestidos",
                      helpContext, "Valor do parâmetro Z inconsistente.") {
    Cabecalhos({"Material", "Valores de Z"});
    for (int i = 1; i <= int(TABELA_Z.size()); ++i)
        AdicionarLinha(TABELA_Z[std::size_t(i - 1)].Rotulo, {TextoDaLinha(i)});
    Finalizar("Valor de &Z :", CITACAO_Z);
}

QString TFZ::TextoDaLinha(int linha) const {
    if (linha == LINHA_Z_OUTROS) return "---";
    return QString::fromStdString(FormatFloat(" 0.00", TABELA_Z.at(std::size_t(linha - 1)).Valor,
                                              SeparadorDecimalDialogos()));
}

void TFZ::EscolherLinha(int linha) {
    if (linha != LINHA_Z_OUTROS) {
        TFDialogoTabela::EscolherLinha(linha);
        return;
    }
    linhaAtual = linha;
    if (isVisible()) Campo()->setFocus();
}

void TFZ::ValorDigitado() {
    Marcar(LINHA_Z_OUTROS);
    linhaAtual = LINHA_Z_OUTROS;
}

void TFZ::AoCancelar() {
    DesmarcarTodas();
    linhaAtual = linhaLembrada;
}

bool TZ::Executar(TReal& alvo, QWidget* pai) {
    TFZ dialogo(pai, HelpContext);
    return ExecutarDialogo(dialogo, alvo, Indice, Valor);
}
