#pragma once
#include <string>
#include <string_view>
#include <vector>

// CSV em UTF-8 (RFC 4180): vírgula como separador, aspas duplas em campos com vírgula,
// aspas ou quebra de linha, "" para uma aspa. LF ou CR LF; BOM inicial ignorado.
struct TLinhaCsv {
    int Linha; // linha do arquivo em que o registro começa (1 = cabeçalho)
    std::vector<std::string> Campos;
};

struct TTabelaCsv {
    std::vector<std::string> Cabecalho;
    std::vector<TLinhaCsv> Registros;
    // Posição da coluna pelo nome, sem distinção de maiúsculas; -1 quando falta.
    int Coluna(std::string_view nome) const;
};

// EMorvendo com o nome do arquivo e a linha quando uma aspa não fecha ou o arquivo não abre.
TTabelaCsv LerCsv(const std::string& caminho);
TTabelaCsv LerCsvTexto(std::string_view texto, const std::string& nomeArquivo);

// Campo para gravar em CSV: entre aspas (com "" para cada aspa) quando tem o separador, aspas
// ou quebra de linha; igual nos outros casos.
std::string CampoCsv(std::string_view texto, char separador = ',');
