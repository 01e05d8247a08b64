#pragma once
#include <cstdio>
#include <string>
#include <vector>

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

struct TLinhaRelatorioTexto {
    int Secao;
    double Lamina; // cm
    double Vazao;  // L/s
    double Tensao; // Pa
    double Perda;  // g
};

// Lê a tabela: pula o cabeçalho e toma, por linha, um inteiro e quatro reais.
// EEntradaSaida quando o arquivo não existe ou não é uma tabela válida.
std::vector<TLinhaRelatorioTexto> LerRelatorioTexto(const std::string& caminho);
