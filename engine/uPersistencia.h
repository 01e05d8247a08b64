#pragma once
#include <string>

#include "comum/ArquivoIni.h"

// Separador decimal das configurações regionais do usuário ("." na linha de comando): grava os
// reais dos arquivos de projeto e de configuração e formata números em mensagens do motor.
// A leitura dos arquivos aceita os dois separadores.
char SeparadorDecimalLocal();
void DefinirSeparadorDecimalLocal(char separador);

inline void GravarReal(TArquivoIni& ini, const std::string& secao, const char* chave, double v) {
    ini.EscreverReal(secao, chave, v, SeparadorDecimalLocal());
}
