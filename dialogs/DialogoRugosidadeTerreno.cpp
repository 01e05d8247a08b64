#include "dialogs/DialogoRugosidadeTerreno.h"

#include "dialogs/TabelasParametros.h"

TDialogoRugosidadeTerreno::TDialogoRugosidadeTerreno(QWidget* pai, int helpContext)
    : TDialogoTabela(pai, "Consulta a valores de rugosidade do terreno", helpContext,
                     "Valor de rugosidade inconsistente.") {
    Cabecalhos({"", "Intervalo", "Valor"});
    QString grupoAtual, subgrupoAtual;
    for (const auto& l : TABELA_RUGTER) {
        if (grupoAtual != l.Grupo) {
            Grupo(grupoAtual = l.Grupo);
            subgrupoAtual.clear();
        }
        if (subgrupoAtual != l.Subgrupo) Grupo(subgrupoAtual = l.Subgrupo, 12);
        AdicionarLinha(l.Rotulo, {l.Intervalo, l.Valor}, subgrupoAtual.isEmpty() ? 0 : 12);
    }
    Finalizar("&Valor da rugosidade:", CITACAO_RUGTER);
}

QString TDialogoRugosidadeTerreno::TextoDaLinha(int linha) const {
    return QString::fromStdString(
        ValorDaTabela(TABELA_RUGTER.at(std::size_t(linha - 1)).Valor, SeparadorDecimalDialogos()));
}

bool TRugosidadeTerreno::Executar(TReal& alvo, QWidget* pai) {
    TDialogoRugosidadeTerreno dialogo(pai, HelpContext);
    return ExecutarDialogo(dialogo, alvo, alvo.Indice, alvo.Valor);
}
