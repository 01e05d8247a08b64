#pragma once
#include <array>
#include <string>

// Tabelas publicadas dos diálogos de parâmetros e as regras do diálogo da cobertura vegetal,
// sem interface, para serem usadas e testadas sem janelas.

// Rugosidade de Manning de canais de terra: índice da linha = posição + 1.
struct TLinhaRugCan {
    const char* Grupo;
    const char* Rotulo; // com o atalho (&)
    const char* Minimo;
    const char* Normal; // o valor que a escolha da linha leva ao campo
    const char* Maximo;
};
extern const std::array<TLinhaRugCan, 9> TABELA_RUGCAN;
extern const char* const CITACAO_RUGCAN;

// Rugosidade hidráulica de superfícies para o escoamento em lâmina.
struct TLinhaRugTer {
    const char* Grupo;
    const char* Subgrupo; // vazio quando o grupo não tem subgrupos
    const char* Rotulo;
    const char* Intervalo;
    const char* Valor;
};
extern const std::array<TLinhaRugTer, 19> TABELA_RUGTER;
extern const char* const CITACAO_RUGTER;

// Inclinação Z dos taludes de canais não revestidos; a última linha ("Outros") não tem valor.
struct TLinhaZ {
    const char* Rotulo;
    double Valor; // 0 na linha "Outros"
};
extern const std::array<TLinhaZ, 6> TABELA_Z;
extern const char* const CITACAO_Z;
constexpr int LINHA_Z_OUTROS = 6;

// Texto de valor da tabela (vírgula decimal na segunda posição) com o separador dado.
std::string ValorDaTabela(const char* texto, char separadorDecimal);

// ---- Cobertura vegetal ----

// Os itens dos três grupos de opções são os nomes do registro da cobertura (TUsoTerra,
// TTratamento e TCondicaoHidrologica); os itens de tratamento e condição começam no nome 1.

// O que a escolha do uso da terra faz nos outros dois grupos: itens habilitados, índices de
// trabalho e o item que fica marcado (-1 nenhum).
struct TReacaoUsoTerra {
    std::array<bool, 3> TratamentoHabilitado{};
    std::array<bool, 3> CondicaoHabilitada{};
    int Tratamento = 0; // índice do registro
    int Condicao = 0;
    int ItemTratamento = -1;
    int ItemCondicao = -1;
};
TReacaoUsoTerra ReacaoUsoTerra(int usoTerra);

// Índices do registro ao confirmar, a partir dos itens marcados (-1 nenhum).
struct TIndicesCobertura {
    int UsoTerra = 0;
    int Tratamento = 0;
    int Condicao = 0;
};
TIndicesCobertura IndicesConfirmados(int itemUso, int itemTratamento, int itemCondicao);

// Descrição de uma linha: "uso; tratamento; condição", cada parte só quando marcada; o
// separador segue o tratamento mesmo sem condição ("Sem cultivo; Fileiras retas; ").
std::string DescricaoCobertura(int itemUso, int itemTratamento, int itemCondicao);
