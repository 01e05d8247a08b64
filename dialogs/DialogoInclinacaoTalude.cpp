#include "dialogs/DialogoInclinacaoTalude.h"

#include <QLineEdit>

#include "comum/Numeros.h"
#include "dialogs/TabelasParametros.h"

TDialogoInclinacaoTalude::TDialogoInclinacaoTalude(QWidget* pai, int helpContext)
    : TDialogoTabela(pai, "Declividades recomendadas para taludes de canais não revestidos",
                     helpContext, "Valor do parâmetro Z inconsistente.") {
    Cabecalhos({"Material", "Valores de Z"});
    for (int i = 1; i <= int(TABELA_Z.size()); ++i)
        AdicionarLinha(TABELA_Z[std::size_t(i - 1)].Rotulo, {TextoDaLinha(i)});
    Finalizar("Valor de &Z :", CITACAO_Z);
}

QString TDialogoInclinacaoTalude::TextoDaLinha(int linha) const {
    if (linha == LINHA_Z_OUTROS) return "---";
    return QString::fromStdString(FormatFloat(" 0.00", TABELA_Z.at(std::size_t(linha - 1)).Valor,
                                              SeparadorDecimalDialogos()));
}

void TDialogoInclinacaoTalude::EscolherLinha(int linha) {
    if (linha != LINHA_Z_OUTROS) {
        TDialogoTabela::EscolherLinha(linha);
        return;
    }
    linhaAtual = linha;
    if (isVisible()) Campo()->setFocus();
}

void TDialogoInclinacaoTalude::ValorDigitado() {
    Marcar(LINHA_Z_OUTROS);
    linhaAtual = LINHA_Z_OUTROS;
}

void TDialogoInclinacaoTalude::AoCancelar() {
    DesmarcarTodas();
    linhaAtual = linhaLembrada;
}

bool TInclinacaoTalude::Executar(TReal& alvo, QWidget* pai) {
    TDialogoInclinacaoTalude dialogo(pai, HelpContext);
    return ExecutarDialogo(dialogo, alvo, Indice, Valor);
}
