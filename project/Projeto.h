#pragma once
#include <optional>
#include <string>
#include <vector>

#include "engine/CanalEstrada.h"
#include "idf/ChuvaDeProjeto.h"
#include "project/CamposProjeto.h"
#include "project/ConfUnidades.h"
#include "project/ConferenciaArquivo.h"
#include "project/ConfiguracaoProtecao.h"
#include "project/OrigemChuva.h"

// Um trecho de estrada com declividade uniforme.
// O canal de um lado da estrada num trecho: o tipo de seção transversal da página de dados (1,
// em corte, recebe o leito e a área externa; 3, sem corte, só o leito) ou nenhum canal.
enum class TCanalLado : int { Nenhum = 0, Corte = 1, SemCorte = 3 };

struct TTrecho {
    TTrecho() = default;
    // A média fica de fora nas listas escritas à mão, sem aviso de campo faltando.
    TTrecho(std::string nome, double inicio, int comprimento, double declividade,
            std::optional<double> media = std::nullopt)
        : Nome(std::move(nome)), Inicio(inicio), Comprimento(comprimento), Declividade(declividade),
          DeclividadeMedia(media) {}
    std::string Nome;
    double Inicio = 0;   // posição ao longo da estrada, m
    int Comprimento = 0; // m inteiros
    // m/m, positiva onde a estrada desce no sentido do estaqueamento.
    double Declividade = 0;
    // Trecho unido de rampas do perfil: Declividade é a da rampa mais íngreme (a favor da
    // segurança) e esta, a média, só mostrada.
    std::optional<double> DeclividadeMedia;
    // Canal de cada lado, olhando no sentido do estaqueamento; vazio: o da seção transversal do
    // projeto nos dois lados (os arquivos anteriores aos lados).
    std::optional<TCanalLado> Esquerdo, Direito;
};

// O canal de um lado de um trecho, com o padrão do projeto (seção 1 ou 3).
TCanalLado CanalDoLado(const std::optional<TCanalLado>& lado, int secaoProjeto);

// Fator de segurança do espaçamento adotado sobre o calculado, na locação dos desaguadouros.
constexpr double FATOR_ESPACAMENTO_PADRAO = 0.8;

// Limites da tabela de trechos guardada no projeto. O leitor do arquivo, o CSV de trechos e o
// perfil longitudinal usam os mesmos: nada entra na tabela que o projeto gravado não reabra.
constexpr long TRECHOS_MAXIMOS = 10000;
constexpr double DECLIVIDADE_MAXIMA_TRECHO = 10; // m/m, exclusive

// Identificação do projeto para o relatório; tudo opcional.
struct TIdentificacao {
    std::string Estrada, Trecho, Municipio, Engenheiro, Data, Observacoes;
    bool Vazia() const {
        return Estrada.empty() && Trecho.empty() && Municipio.empty() && Engenheiro.empty() &&
               Data.empty() && Observacoes.empty();
    }
};

// A estrada do mapa de onde vieram os trechos, para que a planta volte com o projeto. Na memória
// os caminhos são absolutos; no arquivo, relativos à pasta dele (o projeto muda de lugar com os
// mapas ao lado).
struct TEstradaMapaProjeto {
    std::string Linha, Terreno; // Terreno vazio: as cotas da própria linha
    std::string Camada;
    std::optional<long long> Feicao;
    bool DoFim = false;
    double Janela = 20, TrechoMinimo = 20; // m
    bool operator==(const TEstradaMapaProjeto&) const = default;
};

// Os objetos de um projeto: o motor, a consulta IDF com a chuva, as unidades e a descrição
// da cobertura vegetal da área externa.
struct TProjeto {
    explicit TProjeto(TUnidades& unidades) : Unidades(unidades) {}

    TCanalEstrada Estrada{"_ESTRADA"};
    TChuvaDeProjeto ChuvaDeProjeto;
    TUnidades& Unidades;
    std::string StrCoberVeg;
    TIdentificacao Identificacao;
    // De onde vieram K, a, b, c: a consulta que os deu, com os valores que ela deu.
    TOrigemChuva OrigemChuva;
    // Trechos da estrada inteira (vazio num projeto de um trecho só).
    std::vector<TTrecho> Trechos;
    // Espaçamento adotado na locação = fator × calculado; 0 < fator ≤ 1.
    double FatorEspacamento = FATOR_ESPACAMENTO_PADRAO;
    // Cota do início do primeiro trecho, m, de onde o perfil desenhado parte; vazio: 0.
    std::optional<double> CotaInicial;
    // Os trechos vieram desta estrada do mapa.
    std::optional<TEstradaMapaProjeto> EstradaMapa;
    // Dados das alternativas de proteção do canal (os padrões num arquivo sem eles).
    TConfiguracaoProtecao Protecao;
    // Lido num leiaute antigo e convertido em memória: ainda não gravado no novo.
    bool Migrado = false;
    // Chaves que o arquivo lido não tinha (gravado antes delas) e o padrão que valeu.
    std::vector<TPadraoAplicado> PadroesAplicados;

    TPrecipitacaoExponencialNegativa& Chuva() { return ChuvaDeProjeto.Precipitacao(); }
};

// Frase da origem de K, a, b, c do projeto.
std::string FraseOrigemChuva(const TProjeto& projeto);

// Dados de um projeto novo.
void ZerarVariaveis(TProjeto& projeto);

// Grava o projeto inteiro no arquivo; o conteúdo que não é do projeto fica como estava.
void EscreverProjeto(TProjeto& projeto, const std::string& caminho);

// Lê o projeto inteiro. Devolve LeuCerto: verdadeiro quando todos os objetos foram lidos.
// Erro quando o arquivo não é um projeto (nada é alterado nele) ou quando uma chave falta ou
// tem um valor ilegível ou fora da faixa (a mensagem diz a seção, a chave e o dado; o projeto
// não é tocado). Nunca grava: um arquivo antigo é convertido em memória (Migrado).
bool LerProjeto(TProjeto& projeto, const std::string& caminho);
// O documento do arquivo de projeto, ainda não lido como projeto: EArquivoNaoExiste para um
// caminho que não existe, uma pasta ou um arquivo que não é comum; EEntradaSaida na leitura.
TArquivoIni CarregarDocumentoProjeto(const std::string& caminho);
// O mesmo a partir de um documento já carregado (que só muda em memória).
bool LerProjeto(TProjeto& projeto, TArquivoIni& documento);
// Escreve o projeto num documento em memória, sem gravá-lo.
void EscreverProjeto(TProjeto& projeto, TArquivoIni& documento);

// Falha da verificação dos valores antes do cálculo.
struct TFalhaValidacao {
    std::string Mensagem; // nomeia o campo como na tela, a unidade e a faixa válida
    TCampo Campo;         // campo que recebe o foco
    std::string Aba;      // aba que o contém
};

// Todas as falhas dos valores do motor, cada campo com a sua faixa (project/CamposProjeto.h).
// A área externa só é verificada quando está ativa.
std::vector<TFalhaValidacao> ListarFalhas(const TProjeto& projeto, bool areaExternaAtiva);
inline std::vector<TFalhaValidacao> ListarFalhas(const TProjeto& projeto) {
    return ListarFalhas(projeto, projeto.Estrada.IndSecao != 3);
}

// A mensagem da falha com o lugar do valor no arquivo ("[Seção] Chave = valor"), para quem
// corrige o arquivo à mão; só a mensagem quando o dado não tem uma chave própria.
std::string MensagemComLugarNoArquivo(const TFalhaValidacao& falha, const TProjeto& projeto);

// A primeira das falhas de ListarFalhas.
std::optional<TFalhaValidacao> ValidarDados(const TProjeto& projeto, bool areaExternaAtiva);
inline std::optional<TFalhaValidacao> ValidarDados(const TProjeto& projeto) {
    return ValidarDados(projeto, projeto.Estrada.IndSecao != 3);
}

extern const char* const ABA_ESTRADA;
extern const char* const ABA_BACIAS;
extern const char* const ABA_PRECIPITACAO;
