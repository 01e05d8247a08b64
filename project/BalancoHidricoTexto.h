#pragma once
#include <string>
#include <vector>

#include "project/Calculo.h"
#include "project/Projeto.h"

// O balanço hídrico e a curva de descarga de um cálculo em palavras, para a página de
// resultados, o relatório e a linha de comando.

struct TLinhaBalanco {
    std::string Parte;              // "Leito da estrada", "Área externa", "Canal"
    std::string Unidade;            // "L/m" nos planos, "m³" no canal
    std::vector<std::string> Nomes; // nomes das parcelas, na ordem dos valores
    std::vector<std::string> Valores;
    std::string Erro; // "0,01 %"
    double ErroPct = 0;
};

// Uma linha por plano que entra no cálculo e uma do canal.
std::vector<TLinhaBalanco> LinhasBalanco(const TProjeto& projeto,
                                         const TResultadoCalculo& resultado, char separador);

// A linha em texto corrido: "Canal (m³): entrada 13,97; … ; erro −0,05 %".
std::string TextoLinhaBalanco(const TLinhaBalanco& linha);

// Avisos de balanço acima do limite, um por parte.
std::vector<std::string> AvisosBalanco(const TProjeto& projeto, const TResultadoCalculo& resultado,
                                       char separador);

// A curva de descarga usada e, no trapézio com a relação exata, o espaçamento que a curva
// original daria quando passa de 5 % de diferença.
std::string TextoCurvaDescarga(const TProjeto& projeto, const TResultadoCalculo& resultado,
                               char separador);
