#include "dialogs/DialogoRugosidadeCanal.h"

#include "dialogs/TabelasParametros.h"

TDialogoRugosidadeCanal::TDialogoRugosidadeCanal(QWidget* pai, int helpContext)
    : TDialogoTabela(pai, "Consulta a valores de rugosidade do canal", helpContext,
                     "Valor de rugosidade inconsistente.") {
    Cabecalhos({"", "Mínimo", "Normal", "Máximo"});
    QString grupoAtual;
    for (const auto& l : TABELA_RUGCAN) {
        if (grupoAtual != l.Grupo) Grupo(grupoAtual = l.Grupo);
        AdicionarLinha(l.Rotulo, {l.Minimo, l.Normal, l.Maximo});
    }
    Finalizar("&Valor da rugosidade:", CITACAO_RUGCAN);
}

QString TDialogoRugosidadeCanal::TextoDaLinha(int linha) const {
    return QString::fromStdString(
        ValorDaTabela(TABELA_RUGCAN.at(std::size_t(linha - 1)).Normal, SeparadorDecimalDialogos()));
}

bool TRugosidadeCanal::Executar(TReal& alvo, QWidget* pai) {
    TDialogoRugosidadeCanal dialogo(pai, HelpContext);
    return ExecutarDialogo(dialogo, alvo, alvo.Indice, alvo.Valor);
}
