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

// Leitor aos pedaços, para arquivos grandes: recebe o texto em partes quaisquer e deixa em
// Prontos cada registro já completo, que quem lê consome e esvazia. Mesmas regras e mesmas
// mensagens de LerCsvTexto; o cabeçalho é o primeiro registro.
class TLeitorCsv {
public:
    // separador: ',' ou, nas planilhas em português, ';'.
    explicit TLeitorCsv(std::string nomeArquivo, char separador = ',')
        : FNome(std::move(nomeArquivo)), FSeparador(separador) {}
    void Acrescentar(std::string_view parte);
    // Fim do texto: fecha o último registro; EMorvendo se uma aspa ficou aberta.
    void Terminar();
    std::vector<TLinhaCsv> Prontos;

private:
    void Empurrar(char c);
    void Passo(char c, int proximo);
    void FecharCampo();
    void FecharRegistro();

    std::string FNome;
    char FSeparador;
    TLinhaCsv FAtual{1, {}};
    std::string FCampo;
    int FLinha = 1;
    int FBom = 0; // bytes da marca UTF-8 inicial já vistos; 3: fora do começo
    bool FEntreAspas = false, FCampoIniciado = false, FHouveAspas = false;
    bool FRegistroVazio = true;
    // Um caractere de atraso: o anterior só é tratado quando se sabe o seguinte.
    char FAnterior = 0;
    bool FTemAnterior = false, FPular = false;
};

// EMorvendo com o nome do arquivo e a linha quando uma aspa não fecha ou o arquivo não abre.
TTabelaCsv LerCsv(const std::string& caminho);
TTabelaCsv LerCsvTexto(std::string_view texto, const std::string& nomeArquivo);

// Campo para gravar em CSV: entre aspas (com "" para cada aspa) quando tem o separador, aspas
// ou quebra de linha; igual nos outros casos.
std::string CampoCsv(std::string_view texto, char separador = ',');
