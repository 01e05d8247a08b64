#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "engine/PerdaSolo.h"

// Tabela de resultados por seção ("Relatorio.txt"): uma linha por metro de canal.
extern const char* const CABECALHO_RELATORIO_TEXTO;

// EEntradaSaida quando o destino existe e não é um arquivo comum (pasta, FIFO, dispositivo);
// um link simbólico para um arquivo comum vale, pois é substituído e não seguido. 'recusa'
// começa a mensagem.
void VerificarDestinoRelatorioTexto(
    const std::string& caminho,
    const std::string& recusa = "A tabela por seção não pode ser gravada em ");

// Escreve a tabela num arquivo temporário da mesma pasta e só o põe no lugar em Fechar, de
// modo que nunca fica uma tabela pela metade nem se segue um link simbólico com o nome final.
// Destruído sem Fechar (cancelamento, erro), apaga o temporário e a tabela antiga fica.
class TEscritorRelatorioTexto {
public:
    // Cria o temporário e escreve o cabeçalho; EEntradaSaida se não puder ou se o destino não
    // é um arquivo comum. Remove temporários deixados por execuções mortas.
    explicit TEscritorRelatorioTexto(std::string caminho);
    ~TEscritorRelatorioTexto();
    TEscritorRelatorioTexto(const TEscritorRelatorioTexto&) = delete;
    TEscritorRelatorioTexto& operator=(const TEscritorRelatorioTexto&) = delete;

    void EscreverSecao(int secao, double laminaCm, double vazaoLs, double tensaoPa, double perda);
    // A tabela está completa: grava tudo no disco e põe o arquivo no lugar, com as permissões
    // do que ele substitui. Se algo falhar, EEntradaSaida e o arquivo antigo fica.
    void Fechar();

private:
    void Descartar() noexcept;

    std::string FCaminho;
    std::string FTemporario;
    std::FILE* FArquivo = nullptr;
};

// Formata uma linha da tabela (sem o fim de linha).
std::string LinhaRelatorioTexto(int secao, double laminaCm, double vazaoLs, double tensaoPa,
                                double perda);

using TLinhaRelatorioTexto = TLinhaSecao;

// A tabela inteira como o escritor a grava, para quem a escreve num fluxo (a saída padrão).
std::string TextoRelatorioTexto(const std::vector<TLinhaRelatorioTexto>& linhas);

// Escreve a tabela inteira no caminho dado (pelo escritor acima).
void EscreverRelatorioTexto(const std::string& caminho,
                            const std::vector<TLinhaRelatorioTexto>& linhas);

// As linhas com os valores como a tabela os guarda (duas casas), para quem os mostra como
// mostraria a tabela lida do arquivo.
std::vector<TLinhaRelatorioTexto> LinhasComoNaTabela(std::vector<TLinhaRelatorioTexto> linhas);

// Lê a tabela: pula o cabeçalho e toma, por linha, um inteiro e quatro reais.
// EEntradaSaida quando o arquivo não existe ou não é uma tabela válida.
std::vector<TLinhaRelatorioTexto> LerRelatorioTexto(const std::string& caminho);
