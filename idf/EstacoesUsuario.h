#pragma once
#include "idf/BancoEstacoes.h"
#include "idf/ReferenciasIdf.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Estações do próprio engenheiro: equações que ele tem de um estudo estadual, de um manual
// de drenagem ou de um ajuste, guardadas na sua pasta de dados (nunca na instalação), num
// CSV com as colunas da tabela de estações distribuída.

inline constexpr const char* NomeArquivoEstacoesUsuario = "minhas_estacoes.csv";
// Campo Autor das estações do usuário: a consulta e o relatório reconhecem a origem por ele.
inline constexpr const char* AutorEstacaoUsuario = "Minha estação";
// Marca que segue o nome nas listas e no relatório.
inline constexpr const char* MarcaEstacaoUsuario = " (minha)";
inline constexpr const char* TextoVerificacaoUsuario =
    "equação informada pelo usuário, que responde pela fonte";

struct TResultadoAjusteIdf;

struct TEstacaoUsuario {
    int Estado = 0; // índice da tabela de estados
    std::string Nome;
    // Graus decimais, sul e oeste positivos: a consulta só representa pontos ao sul do
    // equador, e uma latitude ao norte é recusada, nunca trocada de hemisfério. 0 é o próprio
    // equador, que o banco guarda como 00°00'00".
    double Latitude = 0, Longitude = 0;
    double K = 0, A = 0, B = 0, C = 0;
    double DuracaoMin = 0, DuracaoMax = 0; // min; 0: não informada
    std::string Fonte;
    double TrMin = 0, TrMax = 0; // anos; 0: não informado
    // Equação ajustada a uma tabela: erros relativos diante dela (%); vazios: não se sabe.
    std::optional<double> ErroRmsPct{}, ErroMaximoPct{};
    // Colunas que o usuário acrescentou ao arquivo (nome, valor), na ordem do arquivo, com
    // nomes repetidos ou vazios: voltam ao arquivo como vieram.
    std::vector<std::pair<std::string, std::string>> OutrasColunas{};
    // Equação de uma série de chuvas diárias: os anos dela que entraram no ajuste (0: não veio
    // de uma série). Além do dobro deles, o período de retorno é extrapolação.
    int AnosSerie = 0;
};

// A chave de uma estação do usuário é o estado com o nome: dois nomes iguais no mesmo estado
// confundiriam a consulta, que devolveria a equação de uma com a fonte da outra.
const TEstacaoUsuario* ProcurarEstacaoUsuario(const std::vector<TEstacaoUsuario>& lista, int estado,
                                              std::string_view nome);

// K, a, b, c de um ajuste, com as faixas da tabela e os erros.
void DefinirAjuste(TEstacaoUsuario& e, const TResultadoAjusteIdf& r);
// "RMS 1,2 %, maior 3,4 %" de uma equação ajustada; vazio quando não se sabe.
std::string TextoErrosAjuste(const TInfoEstacaoIdf& e);

// Confere uma estação; EMorvendo nomeando o campo como rotulado, com unidade, faixa e o valor
// lido (escrito com o separador decimal dado). K, a, b e c nas faixas da página de dados.
void ConferirEstacaoUsuario(const TEstacaoUsuario& e, char separador = ',');

// Registro do banco (coordenadas em "00°00'00\"", Autor = AutorEstacaoUsuario).
TEstacao EstacaoDoBanco(const TEstacaoUsuario& e);
// O que a janela Autor e o relatório mostram dela.
TInfoEstacaoIdf InfoEstacaoUsuario(const TEstacaoUsuario& e);

// O arquivo lido: as estações, a linha de cada uma e as colunas que o programa não conhece
// (do cabeçalho, mesmo sem estação nenhuma; campos além do cabeçalho viram colunas sem nome).
struct TArquivoEstacoesUsuario {
    std::vector<TEstacaoUsuario> Estacoes;
    std::vector<int> Linhas;
    std::vector<std::string> OutrasColunas;
};

// CSV na disposição da tabela distribuída (uf, estacao, latitude, longitude, K, a, b, c,
// fonte; duracao_min, duracao_max, tr_min, tr_max, erro_rms_pct, erro_max_pct e anos_serie
// opcionais, vazios ou ausentes quando não se sabe; outras colunas guardadas como vieram).
// Tudo ou nada: a primeira linha recusada dá EMorvendo "<arquivo>, linha N, campo X: ..."; um
// estado com dois nomes iguais, as duas linhas.
TArquivoEstacoesUsuario LerArquivoEstacoesUsuario(std::string_view texto,
                                                  const std::string& nomeArquivo);
std::vector<TEstacaoUsuario> LerCsvEstacoesUsuario(std::string_view texto,
                                                   const std::string& nomeArquivo);
// outrasColunas: as colunas do arquivo que o programa não conhece, na ordem dele; as que as
// estações trazem a mais vão depois. Estação sem o valor de uma coluna: vazio.
std::string CsvEstacoesUsuario(const std::vector<TEstacaoUsuario>& estacoes,
                               const std::vector<std::string>& outrasColunas = {});

// A pasta de dados do usuário como a janela a encontra: MORVENDO_DADOS_USUARIO, quando
// definida; senão $XDG_DATA_HOME (ou ~/.local/share)/Morvendo/Morvendo. Vazia sem HOME.
std::string PastaDadosUsuarioPadrao();

// Pasta das estações do usuário que o relatório consulta (vazia: nenhuma). O programa a
// define ao iniciar; os testes, com uma pasta própria.
void DefinirPastaDadosUsuario(std::string pasta);
const std::string& PastaDadosUsuario();
// Estações do usuário da pasta definida; arquivo ausente ou com erro: nenhuma.
std::vector<TInfoEstacaoIdf> InfoEstacoesUsuario();

class TEstacoesUsuario {
public:
    // pasta vazia: sem estações do usuário, e nenhuma pode ser gravada.
    explicit TEstacoesUsuario(std::string pasta);

    std::string Caminho() const;
    // Arquivo ausente: lista vazia. Arquivo com erro: EMorvendo; a lista fica vazia e nada
    // é gravado por cima dele até que seja corrigido ou removido.
    void Carregar();
    const std::vector<TEstacaoUsuario>& Lista() const { return FLista; }

    // Cada mudança confere a estação e grava o arquivo inteiro (atômico); em erro a lista
    // fica como estava.
    void Adicionar(const TEstacaoUsuario& e);
    void Substituir(std::size_t i, const TEstacaoUsuario& e);
    void Remover(std::size_t i);
    // Importa um CSV: todas as linhas ou nenhuma. Devolve quantas entraram.
    std::size_t Importar(const std::string& caminhoCsv);

    // Nome repetido no mesmo estado (ignorando a posição "exceto"): EMorvendo com a linha da
    // lista em que a outra está. O editor confere antes de fechar.
    void ConferirRepetida(const TEstacaoUsuario& e, std::size_t exceto) const;

private:
    void Gravar(std::vector<TEstacaoUsuario> nova);

    std::string FPasta;
    std::vector<TEstacaoUsuario> FLista;
    // Colunas do usuário no cabeçalho do arquivo: ficam mesmo sem estação que as use.
    std::vector<std::string> FOutrasColunas;
    std::string FErroArquivo;
};
