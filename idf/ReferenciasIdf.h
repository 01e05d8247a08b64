#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Referências bibliográficas dos parâmetros das estações: a chave é o texto do campo Autor
// de cada estação e o que o botão Autor da consulta mostra.
struct TReferencia {
    std::string Chave;
    std::string Autores;
    std::string Titulo;
    std::string Publicacao;
    std::string Regiao;
    std::string Endereco;
};

// Todas as referências, na ordem da tabela de fontes.
const std::vector<TReferencia>& ReferenciasIdf();

// Referência da chave, ou nullptr (por exemplo "Interpolação").
const TReferencia* ProcurarReferencia(std::string_view chave);

// Chave da fonte de Goiás e Distrito Federal, a que acompanha a nota sobre a desagregação
// da chuva de um dia; vazia enquanto a tabela não tiver essa fonte.
std::string_view ChaveFonteGoiasDF();

// Como os parâmetros de uma estação foram obtidos.
enum class TVerificacaoIdf {
    NaoInformada,
    Primaria,   // lidos na própria publicação
    Secundaria, // lidos num documento que cita a publicação e confere a equação
    Convertida, // ajustados a outra forma de equação publicada
};

// O que a tabela de estações diz de cada estação além do que o banco guarda. Duração 0:
// a fonte não diz.
struct TInfoEstacaoIdf {
    std::string Uf;
    std::string Estacao;
    std::string Chave;
    double K = 0, A = 0, B = 0, C = 0;
    TVerificacaoIdf Verificacao = TVerificacaoIdf::NaoInformada;
    double DuracaoMin = 0, DuracaoMax = 0; // min
    // Estação do próprio usuário (Chave = AutorEstacaoUsuario), com a fonte que ele escreveu.
    bool DoUsuario = false;
    std::string Fonte{};
    // Faixa de períodos de retorno (anos) em que a fonte diz que a equação vale; 0: não diz.
    double TrMin = 0, TrMax = 0;
    // Estação do usuário ajustada a uma tabela: erros relativos diante dela (%); vazios: não
    // se sabe.
    std::optional<double> ErroRmsPct{}, ErroMaximoPct{};
    // Estação do usuário feita de uma série de chuvas diárias: os anos usados; 0: não é.
    int AnosSerie = 0;
};

// Todas as estações da tabela compilada, na ordem da tabela de estações.
const std::vector<TInfoEstacaoIdf>& InfoEstacoesIdf();
