// O separador decimal com que o motor grava os números dos arquivos e escreve as mensagens.
#include "engine/Persistencia.h"

#include "comum/EMorvendo.h"

namespace {
char GSeparador = '.';
}

char SeparadorDecimalLocal() {
    return GSeparador;
}
void DefinirSeparadorDecimalLocal(char separador) {
    GSeparador = separador;
}

void ValorForaDaFaixaNoArquivo(const std::string& campo, long long valor,
                               const std::string& faixa) {
    throw EMorvendo("Valor fora da faixa no arquivo do projeto: " + campo + " = " +
                    std::to_string(valor) + " (" + faixa + ").");
}
