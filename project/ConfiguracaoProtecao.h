#pragma once
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "comum/ArquivoIni.h"
#include "engine/Revestimentos.h"

// Dados das alternativas de proteção do canal que o projeto guarda.

// Custos unitários, todos opcionais: R$ por metro de cada revestimento e R$ por desaguadouro
// com a sua bacia. Sem o do desaguadouro não há custo de alternativa nenhuma.
struct TCustosProtecao {
    std::optional<double> Grama, Manta, Enrocamento, Concreto; // R$/m
    std::optional<double> Desaguadouro;                        // R$ por desaguadouro
    bool operator==(const TCustosProtecao&) const = default;
    bool Vazio() const { return !Grama && !Manta && !Enrocamento && !Concreto && !Desaguadouro; }
};

// Dados das alternativas guardados com o projeto.
struct TConfiguracaoProtecao {
    double ProfundidadeCanal = 0.30; // m, do fundo à borda
    double BordaLivre = 0.05;        // m
    TClasseGrama ClasseGrama = TClasseGrama::D;
    double FatorCobertura = 0.87; // Cf, de 0 a 1
    double TensaoManta = 71;      // Pa, admissível do produto
    double RugosidadeManta = 0.065;
    double MassaEspecificaPedra = 2.65; // g/cm³
    TCustosProtecao Custos;
    bool operator==(const TConfiguracaoProtecao&) const = default;
};

// Faixas dos dados, para o arquivo, a página e a verificação.
struct TFaixaProtecao {
    const char* Chave;  // no arquivo do projeto
    const char* Rotulo; // na página
    const char* Unidade;
    double Minimo, Maximo;
    bool MinimoIncluso;
    double TConfiguracaoProtecao::*Membro; // nulo nos custos
};
const std::vector<TFaixaProtecao>& FaixasProtecao();
bool NaFaixa(const TFaixaProtecao& faixa, double valor);
// "de 0 a 10 m", "maior que 0 e no máximo 2000 Pa".
std::string TextoFaixa(const TFaixaProtecao& faixa, char separadorDecimal);
// As chaves dos custos no arquivo, na ordem de TCustosProtecao.
struct TChaveCusto {
    const char* Chave;
    const char* Rotulo;
    std::optional<double> TCustosProtecao::*Membro;
};
const std::vector<TChaveCusto>& ChavesCustos();
constexpr double CUSTO_MAXIMO = 1e9;

// EMorvendo com o dado como a página o chama quando um valor sai da faixa, ou a borda livre
// não deixa lâmina nenhuma no canal.
void ValidarConfiguracaoProtecao(const TConfiguracaoProtecao& c);

// Seção [PROTECAO_CANAL] do arquivo do projeto: só entra no arquivo quando os dados diferem dos
// padrões ou a seção já existe. A leitura de um arquivo sem ela dá os padrões.
extern const char* const SECAO_PROTECAO;
void GravarProtecao(const TConfiguracaoProtecao& c, TArquivoIni& ini);
TConfiguracaoProtecao LerProtecao(const TArquivoIni& ini);

// Custos de um CSV "alternativa,custo" (ponto decimal), ou com ';' e vírgula decimal: uma linha
// por revestimento (grama, manta, enrocamento, concreto; R$/m) e "desaguadouro" (R$ por
// desaguadouro com a sua bacia). EMorvendo com a linha quando uma não serve.
TCustosProtecao LerCustosCsv(std::istream& entrada);
