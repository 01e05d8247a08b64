#pragma once

// Balanço de água de um cálculo, como os modelos hidrológicos o informam: o que entrou, o que
// saiu por cada caminho e o que ficou. O erro é a água que o esquema numérico perdeu (positivo)
// ou criou (negativo), em porcentagem da entrada.

// Um plano (leito ou área externa), em litros por metro de largura (mm × m).
struct TBalancoEncosta {
    double Chuva = 0;            // chuva aplicada até o fim do escoamento
    double AbstracaoInicial = 0; // retida antes de começar o excesso
    double Infiltracao = 0;
    double Escoamento = 0; // o que saiu no pé do plano
    double Armazenado = 0; // a água que ficou no plano
    double ErroPct() const {
        return Chuva > 0
                   ? 100 * (Chuva - AbstracaoInicial - Infiltracao - Escoamento - Armazenado) /
                         Chuva
                   : 0;
    }
};

// O canal numa propagação, em m³. A entrada é a contribuição lateral que o esquema recebeu.
struct TBalancoCanal {
    double Entrada = 0;
    double Infiltracao = 0;
    double Saida = 0;
    double Armazenado = 0;
    double ErroPct() const {
        return Entrada > 0 ? 100 * (Entrada - Infiltracao - Saida - Armazenado) / Entrada : 0;
    }
};

// Acima disto o balanço vira aviso.
constexpr double ERRO_BALANCO_AVISO_PCT = 1.0;
