#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "engine/PerdaSolo.h"

// Tabela de resultados por seção ("Relatorio.txt"): uma linha por metro de canal.
extern const char* const CABECALHO_RELATORIO_TEXTO;

// Escreve a tabela num arquivo temporário da mesma pasta e o renomeia ao fechar, de modo
// que nunca fica uma tabela pela metade nem se segue um link simbólico com o nome final.
class TEscritorRelatorioTexto {
public:
    // Cria o arquivo e escreve o cabeçalho; EEntradaSaida se não puder.
    explicit TEscritorRelatorioTexto(std::string caminho);
    ~TEscritorRelatorioTexto();
    TEscritorRelatorioTexto(const TEscritorRelatorioTexto&) = delete;
    TEscritorRelatorioTexto& operator=(const TEscritorRelatorioTexto&) = delete;

    void EscreverSecao(int secao, double laminaCm, double vazaoLs, double tensaoPa, double perda);
    // Fecha e põe o arquivo no lugar com as linhas escritas até aqui.
    void Fechar();

private:
    std::string FCaminho;
    std::string FTemporario;
    std::FILE* FArquivo = nullptr;
};

// Formata uma linha da tabela (sem o fim de linha).
std::string LinhaRelatorioTexto(int secao, double laminaCm, double vazaoLs, double tensaoPa,
                                double perda);

using TLinhaRelatorioTexto = TLinhaSecao;

// Escreve a tabela inteira no caminho dado (pelo escritor acima).
void EscreverRelatorioTexto(const std::string& caminho,
                            const std::vector<TLinhaRelatorioTexto>& linhas);

// As linhas com os valores como a tabela os guarda (duas casas), para quem os mostra como
// mostraria a tabela lida do arquivo.
std::vector<TLinhaRelatorioTexto> LinhasComoNaTabela(std::vector<TLinhaRelatorioTexto> linhas);

// Lê a tabela: pula o cabeçalho e toma, por linha, um inteiro e quatro reais.
// EEntradaSaida quando o arquivo não existe ou não é uma tabela válida.
std::vector<TLinhaRelatorioTexto> LerRelatorioTexto(const std::string& caminho);
