#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "project/ConfUnidades.h"

// Unidade em que um campo da página de dados é mostrado.
enum class TUnidadeCampo {
    Nenhuma,
    Fixa,          // a de TCampoDados::UnidadeFixa
    Declividade,   // a configurada; guardada em m/m
    Infiltracao,   // a configurada; guardada em mm/h
    Erodibilidade, // a configurada; guardada como digitada
};

// Um campo numérico da página de dados: legenda como na tela, quadro, aba, unidade e faixa
// válida. A faixa vale para o valor mostrado; os limites estão em m/m, mm/h e
// g/(cm²·min·Pa) e são convertidos para as unidades configuradas. O máximo impede que um
// valor absurdo chegue ao cálculo e termine em estouro.
struct TCampoDados {
    const char* Nome;   // controle
    const char* Rotulo; // legenda na tela
    const char* Grupo;  // quadro que o contém
    const char* Aba;
    TUnidadeCampo Unidade;
    const char* UnidadeFixa;
    double Minimo;
    bool MinimoIncluido; // falso: o valor deve ser maior que o mínimo
    double Maximo;
    bool Inteiro;
};

// Campo pelo nome do controle; nulo quando não há.
const TCampoDados* CampoDados(std::string_view nome);
const std::vector<TCampoDados>& TodosCamposDados();

// Unidade do campo como mostrada (vazia quando não tem).
std::string UnidadeMostrada(const TCampoDados& c, const TUnidadesCustom& u);
// Limites nas unidades mostradas.
double MinimoMostrado(const TCampoDados& c, const TUnidadesCustom& u);
double MaximoMostrado(const TCampoDados& c, const TUnidadesCustom& u);
// O valor mostrado está na faixa (inteiro quando o campo pede).
bool DentroDaFaixa(const TCampoDados& c, double mostrado, const TUnidadesCustom& u);
// O valor pode ser guardado: não é negativo nem passa do máximo (o mínimo só é exigido na
// verificação antes do cálculo).
bool GuardavelNoCampo(const TCampoDados& c, double mostrado, const TUnidadesCustom& u);

enum class TMotivoFalha { Faixa, Vazio, NaoNumero, NaoInteiro };

// Mensagem de um campo: nomeia o campo como está na tela, o quadro, a unidade e a faixa.
// rotulo substitui a legenda da tabela quando ela muda na tela (Largura/Semilargura);
// texto é o que foi digitado (NaoNumero, NaoInteiro).
std::string MensagemCampo(const TCampoDados& c, const TUnidadesCustom& u, TMotivoFalha motivo,
                          std::string_view texto = {}, const char* rotulo = nullptr);
