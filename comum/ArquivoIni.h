#pragma once
#include <istream>
#include <streambuf>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Documento INI com a semântica dos perfis do Windows: nomes de seção e de chave sem
// distinção de maiúsculas, valores aparados na leitura, escrita no lugar, chave nova no fim
// da sua seção, seção nova no fim do arquivo, linhas terminadas em CR LF, Windows-1252 no
// disco e UTF-8 na memória. A gravação em disco é atômica (arquivo temporário + rename).
class TArquivoIni {
public:
    TArquivoIni() = default;
    // Documento ligado a um caminho; carrega-o se existir (arquivo ausente = documento vazio).
    explicit TArquivoIni(std::string caminho);

    // Lê o arquivo do disco (substitui o conteúdo). Erro EEntradaSaida se não puder ler.
    void Carregar(const std::string& caminho);
    // Grava atomicamente no caminho ligado. Erro EEntradaSaida se não puder gravar.
    void Salvar() const;
    void SalvarComo(const std::string& caminho) const;

    const std::string& Caminho() const { return FCaminho; }
    // Verdadeiro quando alguma escrita ou remoção mudou o documento desde o carregamento.
    bool Modificado() const { return FModificado; }

    bool ExisteSecao(std::string_view secao) const;
    bool ExisteChave(std::string_view secao, std::string_view chave) const;

    std::string LerTexto(std::string_view secao, std::string_view chave,
                         std::string_view padrao) const;
    // Decimal ou hexadecimal "0x..."; padrão quando ausente, vazio ou inválido (32 bits).
    long LerInteiro(std::string_view secao, std::string_view chave, long padrao) const;
    // Lido como inteiro: qualquer valor diferente de 0 é verdadeiro.
    bool LerLogico(std::string_view secao, std::string_view chave, bool padrao) const;
    // Aceita "." e "," como separador decimal; padrão quando ausente, vazio ou inválido.
    double LerReal(std::string_view secao, std::string_view chave, double padrao) const;

    void EscreverTexto(std::string_view secao, std::string_view chave, std::string_view valor);
    void EscreverInteiro(std::string_view secao, std::string_view chave, long valor);
    void EscreverLogico(std::string_view secao, std::string_view chave, bool valor);
    // FloatToStr com o separador dado.
    void EscreverReal(std::string_view secao, std::string_view chave, double valor,
                      char separadorDecimal = '.');

    void ApagarChave(std::string_view secao, std::string_view chave);

    // Conteúdo como seria gravado (Windows-1252, CR LF).
    std::string Texto() const;
    // Substitui o conteúdo a partir de bytes Windows-1252 (LF ou CR LF).
    void DefinirTexto(std::string_view bytes1252);

private:
    friend class TIndiceIni;
    std::string FCaminho;
    std::vector<std::string> FLinhas; // Windows-1252, sem o fim de linha
    bool FModificado = false;
};

// Fotografia das seções e chaves de um documento, para muitas leituras seguidas (milhares de
// trechos): cada busca consulta uma tabela em vez de percorrer o arquivo. A mesma regra do
// documento (vale a primeira seção e a primeira chave de cada nome); não vê as escritas feitas
// no documento depois de criada.
class TIndiceIni {
public:
    explicit TIndiceIni(const TArquivoIni& documento);

    bool ExisteSecao(std::string_view secao) const;
    bool ExisteChave(std::string_view secao, std::string_view chave) const;
    // Como as leituras do documento.
    std::string LerTexto(std::string_view secao, std::string_view chave,
                         std::string_view padrao) const;
    long LerInteiro(std::string_view secao, std::string_view chave, long padrao) const;
    double LerReal(std::string_view secao, std::string_view chave, double padrao) const;

private:
    const std::string* Valor(std::string_view secao, std::string_view chave) const;
    // Nomes em minúsculas (Windows-1252); valores aparados, em Windows-1252.
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> FSecoes;
};

// Grava bytes num arquivo de forma atômica: temporário na mesma pasta, fsync e rename.
// Erro EEntradaSaida com o caminho na mensagem; também quando o destino não pode ser trocado
// por um arquivo (MotivoDestinoInsubstituivel).
void GravarArquivoAtomico(const std::string& caminho, std::string_view conteudo);

// Por que o destino de uma gravação não pode ser trocado por um arquivo novo ("é uma pasta",
// "não é um arquivo comum", um link simbólico que não leva a um arquivo comum ou leva a um
// descritor de processo, como /dev/stdout); vazio quando pode (não existe, é um arquivo comum
// ou um link para um).
std::string MotivoDestinoInsubstituivel(const std::string& caminho);

// Cria o temporário da gravação de 'caminho', na mesma pasta: "<nome>.~<pid>.XXXXXX", com o
// nome encurtado quando longo. Antes remove os temporários do mesmo destino deixados por
// processos que não existem mais (mortos no meio da gravação); os de processos vivos ficam.
// Devolve o descritor (O_CLOEXEC) e o nome em 'temporario', ou -1 com errno.
int CriarTemporario(const std::string& caminho, std::string& temporario);

// Escreve tudo no descritor, repetindo depois de uma interrupção; 0 ou o errno da falha.
int EscreverTudo(int fd, std::string_view conteudo);

// Lê um arquivo inteiro. Só arquivos comuns: uma pasta, um FIFO ou um dispositivo no lugar de
// um arquivo de entrada é recusado sem bloquear. Erro EEntradaSaida com o caminho e o motivo.
std::string LerArquivoComum(const std::string& caminho);

// O mesmo arquivo comum lido aos pedaços, para tabelas grandes demais para a memória. Erro de
// leitura no meio: EEntradaSaida com o caminho, lançada pela leitura do fluxo.
class TEntradaArquivoComum : public std::istream {
public:
    explicit TEntradaArquivoComum(const std::string& caminho);
    ~TEntradaArquivoComum() override;
    TEntradaArquivoComum(const TEntradaArquivoComum&) = delete;
    TEntradaArquivoComum& operator=(const TEntradaArquivoComum&) = delete;

private:
    struct TBuffer : std::streambuf {
        int_type underflow() override;
        int Fd = -1;
        std::string Caminho;
        char Dados[65536];
    } FBuffer;
};

// O motivo de um erro do sistema (errno) em português, para as mensagens ao usuário; vazio
// quando não há um texto próprio (o texto do sistema, em inglês, nunca é mostrado).
std::string MotivoErroSistema(int erro, bool leitura);
