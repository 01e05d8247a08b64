#pragma once
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
