#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "project/ConfUnidades.h"

struct TProjeto;

// Identificador de cada dado da página de dados, na ordem da tabela de campos numéricos; a
// interface liga cada um ao seu controle, o núcleo só conhece o identificador.
enum TCampo {
    CAMPO_TR_DIM,
    CAMPO_TR_ESP,
    CAMPO_K,
    CAMPO_A,
    CAMPO_B,
    CAMPO_C,
    CAMPO_VIB_ESTRADA,
    CAMPO_ST_ESTRADA,
    CAMPO_COMP_ESTRADA,
    CAMPO_RUG_ESTRADA,
    CAMPO_VIB_TALUDE,
    CAMPO_ST_TALUDE,
    CAMPO_COMP_TALUDE,
    CAMPO_RUG_TALUDE,
    CAMPO_Z_CANAL,
    CAMPO_B_CANAL,
    CAMPO_M1_CANAL,
    CAMPO_M2_CANAL,
    CAMPO_SC_CANAL,
    CAMPO_RUG_CANAL,
    CAMPO_COMP_CANAL,
    CAMPO_APROFUNDAMENTO,
    CAMPO_TENSAO_CRITICA,
    CAMPO_ERODIBILIDADE,
    CAMPO_DENSIDADE,
    CAMPO_M1_BACIA,
    CAMPO_M2_BACIA,
    CAMPO_PROF_BACIA,
    CAMPO_Z_CONDUCAO,
    CAMPO_B_CONDUCAO,
    CAMPO_M1_CONDUCAO,
    CAMPO_M2_CONDUCAO,
    CAMPO_RUG_CONDUCAO,
    CAMPO_SC_CONDUCAO,
    // Escolhas sem valor numérico: fora da tabela, mas com controle e verificação.
    CAMPO_COBERTURA_TALUDE,
    CAMPO_SECAO,
    // Campo fora da página de dados (a tabela de trechos usa as mesmas faixas e mensagens).
    CAMPO_NENHUM,
};

// Quantos campos numéricos tem a tabela (os primeiros identificadores).
constexpr int NUM_CAMPOS_NUMERICOS = CAMPO_COBERTURA_TALUDE;
// Quantos identificadores têm controle na página de dados.
constexpr int NUM_CAMPOS = CAMPO_NENHUM;

// Unidade em que um campo da página de dados é mostrado.
enum class TUnidadeCampo {
    Nenhuma,
    Fixa,          // a de TCampoProjeto::UnidadeFixa
    Declividade,   // a configurada; guardada em m/m
    Infiltracao,   // a configurada; guardada em mm/h
    Erodibilidade, // a configurada; guardada como digitada
};

// Um campo numérico da página de dados: legenda como na tela, quadro, aba, unidade e faixa
// válida. A faixa vale para o valor mostrado; os limites estão em m/m, mm/h e
// g/(cm²·min·Pa) e são convertidos para as unidades configuradas. O máximo impede que um
// valor absurdo chegue ao cálculo e termine em estouro.
struct TCampoProjeto {
    TCampo Id;
    const char* Rotulo; // legenda na tela
    const char* Grupo;  // quadro que o contém
    const char* Aba;
    TUnidadeCampo Unidade;
    const char* UnidadeFixa;
    double Minimo;
    bool MinimoIncluido; // falso: o valor deve ser maior que o mínimo
    double Maximo;
    bool Inteiro;
    // Onde o valor fica no arquivo do projeto (a leitura e a gravação continuam nos objetos
    // do motor, que mantêm a ordem do arquivo byte a byte; aqui é o mapa).
    const char* Secao = nullptr;
    const char* Chave = nullptr;
    // Mostrado como o inverso do valor do arquivo (inclinação de parede, m2).
    bool Reciproco = false;
    // Valor no projeto, nas unidades do arquivo.
    double (*Valor)(const TProjeto&) = nullptr;
    void (*Definir)(TProjeto&, double) = nullptr;
    // No relatório, quando diferem da tela: a legenda por extenso e a unidade em HTML.
    const char* RotuloRelatorio = nullptr;
    const char* UnidadeHtml = nullptr;
};

// Linha do campo numérico; nulo para as escolhas sem valor (cobertura, seção).
const TCampoProjeto* CampoProjeto(TCampo id);
const std::vector<TCampoProjeto>& TodosCamposProjeto();

// O campo entra no cálculo com as escolhas do projeto: tipo de cada canal, formato da bacia e,
// para a área externa, areaExternaAtiva (falsa na seção 3, sem talude de corte).
bool CampoAplicavel(TCampo id, const TProjeto& p, bool areaExternaAtiva);
bool CampoAplicavel(TCampo id, const TProjeto& p);

// Legenda do campo na tela, que pode depender do projeto (largura do leito na seção 2).
const char* RotuloNaTela(const TCampoProjeto& c, const TProjeto& p);

// Unidade do campo como mostrada (vazia quando não tem).
std::string UnidadeMostrada(const TCampoProjeto& c, const TEscolhaUnidades& u);
// Limites nas unidades mostradas.
double MinimoMostrado(const TCampoProjeto& c, const TEscolhaUnidades& u);
double MaximoMostrado(const TCampoProjeto& c, const TEscolhaUnidades& u);
// O valor mostrado está na faixa (inteiro quando o campo pede).
bool DentroDaFaixa(const TCampoProjeto& c, double mostrado, const TEscolhaUnidades& u);
// O valor pode ser guardado: não é negativo nem passa do máximo (o mínimo só é exigido na
// verificação antes do cálculo).
bool GuardavelNoCampo(const TCampoProjeto& c, double mostrado, const TEscolhaUnidades& u);

// Valor do campo no projeto como mostrado na tela (unidade configurada, inverso).
double ValorMostrado(const TCampoProjeto& c, const TProjeto& p, const TEscolhaUnidades& u);
// Guarda no projeto o valor mostrado na tela, convertido para as unidades do arquivo.
void DefinirMostrado(const TCampoProjeto& c, TProjeto& p, double mostrado,
                     const TEscolhaUnidades& u);

enum class TMotivoFalha { Faixa, Vazio, NaoNumero, NaoInteiro };

// Mensagem de um campo: nomeia o campo como está na tela, o quadro, a unidade e a faixa.
// rotulo substitui a legenda da tabela quando ela muda na tela (Largura/Semilargura);
// texto é o que foi digitado (NaoNumero, NaoInteiro).
std::string MensagemCampo(const TCampoProjeto& c, const TEscolhaUnidades& u, TMotivoFalha motivo,
                          std::string_view texto = {}, const char* rotulo = nullptr);
