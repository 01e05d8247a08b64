#pragma once
#include "comum/LeitorCsv.h"
#include "idf/BancoEstacoes.h"
#include "idf/ReferenciasIdf.h"

#include <set>
#include <string>
#include <vector>

// Montagem dos arquivos de estações e de localidades a partir das tabelas CSV, com a
// validação de cada linha. Erros recusam a linha (e a geração); avisos só informam.
struct TMontagem {
    std::vector<std::string> Erros;
    std::vector<std::string> Avisos;
};

struct TMontagemEstacoes : TMontagem {
    TEstacoesPorEstado Estacoes;
    // Verificação e faixa de durações das linhas aceitas, na ordem da tabela.
    std::vector<TInfoEstacaoIdf> Info;
};

struct TMontagemLocalidades : TMontagem {
    TLocalidadesPorEstado Localidades;
};

// Colunas obrigatórias: uf, estacao, latitude, longitude (graus decimais, sul e oeste
// positivos), K, a, b, c, fonte. Opcionais: verificacao (primaria, secundaria ou
// convertida), duracao_min e duracao_max (min, vazias quando a fonte não diz). chavesFontes: as
// chaves conhecidas das referências.
TMontagemEstacoes MontarEstacoes(const TTabelaCsv& tabela,
                                 const std::set<std::string>& chavesFontes,
                                 const std::string& nomeArquivo);

// Colunas obrigatórias: uf, nome, latitude, longitude (graus decimais com sinal, como no
// GeoNames: sul e oeste negativos).
TMontagemLocalidades MontarLocalidades(const TTabelaCsv& tabela, const std::string& nomeArquivo);

// Chaves da coluna "fonte" da tabela de referências; erro para chave vazia ou repetida.
std::set<std::string> ChavesFontes(const TTabelaCsv& fontes, const std::string& nomeArquivo,
                                   TMontagem& relatorio);

// Fim de um gerador: mostra avisos e erros da montagem e, sem erros, grava o arquivo por
// inteiro e diz quantos registros ele tem. Devolve o código de saída do programa.
template <class TGrupos>
int ConcluirGeracao(const TMontagem& m, const TGrupos& grupos, const std::string& bytes,
                    const std::string& caminho, const char* registros);

// Intensidade i(T, t) = K·T^a/(t+b)^c em mm/h.
double Intensidade(double K, double a, double b, double c, double T, double t);

int ConcluirGeracaoContada(const TMontagem& m, std::size_t total, const std::string& bytes,
                           const std::string& caminho, const char* registros);

template <class TGrupos>
int ConcluirGeracao(const TMontagem& m, const TGrupos& grupos, const std::string& bytes,
                    const std::string& caminho, const char* registros) {
    std::size_t total = 0;
    for (const auto& lista : grupos)
        total += lista.size();
    return ConcluirGeracaoContada(m, total, bytes, caminho, registros);
}
