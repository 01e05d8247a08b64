#include "project/ConferenciaArquivo.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "comum/EMorvendo.h"
#include "engine/Persistencia.h"
#include "engine/Terreno.h"
#include "idf/BancoEstacoes.h"
#include "project/CamposProjeto.h"
#include "project/ConfUnidades.h"
#include "project/ConfiguracaoProtecao.h"
#include "project/Projeto.h"

namespace {

const char* const CONFIGURACAO = "Configuração do sistema";
const char* const CONSULTA = "na consulta IDF";
const char* const INTERNO = ", dado que a tela não mostra";
// Abaixo disto um real não tem sentido físico e leva o cálculo a estouros: use 0.
constexpr double MENOR_MODULO = 1e-307;
constexpr const char* FAIXA_MENOR_MODULO = "0 ou um número de módulo a partir de 1E-307";
// Um valor longo demais não vai inteiro para a mensagem.
constexpr std::size_t VALOR_MAXIMO_NA_MENSAGEM = 40;

std::string EntreAspas(const std::string& t) {
    return "\"" + t + "\"";
}

// O dado da tabela de campos guardado em secao/chave, como a tela o chama.
std::string Rotulo(TCampo id, const std::string& sufixo = "") {
    const TCampoProjeto& c = *CampoProjeto(id);
    return EntreAspas(c.Rotulo) + " em " + c.Grupo + sufixo;
}

std::string Rotulo(const std::string& secaoTabela, const char* chave,
                   const std::string& sufixo = "") {
    for (const TCampoProjeto& c : TodosCamposProjeto())
        if (secaoTabela == c.Secao && std::string(chave) == c.Chave) return Rotulo(c.Id, sufixo);
    return std::string(chave) + sufixo;
}

// "0 (a) ou 1 (b)" e "de 0 a 3 (a, b, c, d)": as opções de uma lista, pelo número gravado.
std::string Opcoes(const std::vector<std::string>& itens) {
    if (itens.size() == 2) return "0 (" + itens[0] + ") ou 1 (" + itens[1] + ")";
    std::string nomes;
    for (const std::string& i : itens)
        nomes += (nomes.empty() ? "" : ", ") + i;
    return "um número inteiro de 0 a " + std::to_string(itens.size() - 1) + " (" + nomes + ")";
}

std::string DeAte(long minimo, long maximo) {
    return "um número inteiro de " + std::to_string(minimo) + " a " + std::to_string(maximo);
}

class TConferencia {
public:
    explicit TConferencia(const TIndiceIni& ini) : FIni(ini) {}

    // Mensagens de um trecho de encosta começam pela frase do trecho.
    void Contexto(std::string frase, bool novaFrase) {
        FContexto = std::move(frase);
        FNovaFrase = novaFrase;
    }

    bool Existe(const std::string& s, const std::string& k) const { return FIni.ExisteChave(s, k); }

    std::string Texto(const std::string& s, const std::string& k, const std::string& rotulo) {
        Presente(s, k, rotulo);
        return FIni.LerTexto(s, k, "");
    }

    void Versao(const std::string& s, const std::string& rotulo,
                std::initializer_list<const char*> aceitas, const std::string& exigido) {
        const std::string v = NaoVazio(s, "Versao", rotulo, exigido);
        for (const char* a : aceitas)
            if (v == a) return;
        Recusar("Valor fora da faixa", s, "Versao", &v, rotulo, exigido);
    }

    long Inteiro(const std::string& s, const std::string& k, const std::string& rotulo, long minimo,
                 long maximo, const std::string& exigido) {
        const std::string t = NaoVazio(s, k, rotulo, exigido);
        // Dois padrões diferentes: só um valor ilegível devolve cada um o seu.
        const long v = FIni.LerInteiro(s, k, 0);
        if (v != FIni.LerInteiro(s, k, 1)) Recusar("Valor ilegível", s, k, &t, rotulo, exigido);
        if (v < minimo || v > maximo) Recusar("Valor fora da faixa", s, k, &t, rotulo, exigido);
        return v;
    }

    // Lido como inteiro: qualquer valor diferente de 0 é verdadeiro.
    void Logico(const std::string& s, const std::string& k, const std::string& rotulo) {
        Inteiro(s, k, rotulo, LONG_MIN, LONG_MAX, "0 (não) ou 1 (sim)");
    }

    double Real(const std::string& s, const std::string& k, const std::string& rotulo) {
        const std::string t = NaoVazio(s, k, rotulo, "um número");
        const double v = FIni.LerReal(s, k, 0);
        if (v != FIni.LerReal(s, k, 1)) Recusar("Valor ilegível", s, k, &t, rotulo, "um número");
        if (v != 0 && std::fabs(v) < MENOR_MODULO)
            Recusar("Valor fora da faixa", s, k, &t, rotulo, FAIXA_MENOR_MODULO);
        return v;
    }

    [[noreturn]] void Recusar(const char* problema, const std::string& s, const std::string& k,
                              const std::string* valor, const std::string& rotulo,
                              const std::string& exigido) const {
        std::string v;
        if (valor) {
            v = valor->size() > VALOR_MAXIMO_NA_MENSAGEM
                    ? valor->substr(0, VALOR_MAXIMO_NA_MENSAGEM) + "…"
                    : *valor;
            v = " = " + EntreAspas(v);
        }
        Lancar(problema, "[" + s + "] " + k + v + " (" + rotulo + ") deve ser " + exigido);
    }

private:
    void Presente(const std::string& s, const std::string& k, const std::string& rotulo) const {
        if (FIni.ExisteChave(s, k)) return;
        if (!FIni.ExisteSecao(s))
            Lancar("Seção ausente", "[" + s + "], com a chave " + k + " (" + rotulo + ")");
        Lancar("Chave ausente", "[" + s + "] " + k + " (" + rotulo + ")");
    }

    std::string NaoVazio(const std::string& s, const std::string& k, const std::string& rotulo,
                         const std::string& exigido) const {
        Presente(s, k, rotulo);
        std::string t = FIni.LerTexto(s, k, "");
        if (t.empty()) Recusar("Valor vazio", s, k, nullptr, rotulo, exigido);
        return t;
    }

    // "Valor vazio no arquivo do projeto: [S] K (...)"; dentro da frase de um trecho de
    // encosta, "...: valor vazio em [S] K (...)".
    [[noreturn]] void Lancar(std::string problema, const std::string& detalhe) const {
        if (FContexto.empty() || FNovaFrase)
            throw EMorvendo(FContexto + (FContexto.empty() ? "" : " ") + problema +
                            " no arquivo do projeto: " + detalhe + ".");
        problema[0] = char(problema[0] - 'A' + 'a');
        throw EMorvendo(FContexto + ": " + problema + " em " + detalhe + ".");
    }

    const TIndiceIni& FIni;
    std::string FContexto;
    bool FNovaFrase = false;
};

// O leito e a área externa como a página de dados os chama.
std::string QuadroEncosta(const std::string& nome) {
    return nome == "_Estrada" ? "Leito da estrada" : "Área externa";
}

// Os dados de um canal: a seção transversal e o gradiente.
struct TCanalNoArquivo {
    const char* Nome;   // "_ESTRADA"
    const char* Quadro; // como a página de dados o chama
    TCampo Z, M1;
    bool ComprimentoNaTela;
};

void ConferirCanal(TConferencia& c, const TCanalNoArquivo& canal) {
    const std::string quadro = canal.Quadro;
    const std::string s = std::string("Canal") + canal.Nome;
    c.Versao(s, "versão dos dados do " + quadro, {"1"}, "\"1\"");
    const bool triangular = c.Inteiro(s, "TipoCanal", "\"Tipo\" em " + quadro, 0, 1,
                                      "0 (trapezoidal) ou 1 (triangular)") == CANAL_TRIANGULAR;
    for (const char* k : {"H", "Hr", "CDu"})
        c.Real(s, k, std::string(k) + " do " + quadro + INTERNO);
    c.Real(s, "B", Rotulo(s, "B"));
    const std::string tabela = triangular ? "m1" : "Z";
    c.Inteiro(s, "IndZ", "escolha na tabela de " + tabela + " em " + quadro, -1, 127,
              DeAte(-1, 127));
    c.Real(s, "ValorZ", Rotulo(triangular ? canal.M1 : canal.Z));
    c.Inteiro(s, "IndSm", "escolha na tabela de m2 em " + quadro, -1, 127, DeAte(-1, 127));
    c.Real(s, "ValorSm", Rotulo(s, "ValorSm"));

    const std::string g = std::string("CanalGradiente") + canal.Nome;
    c.Versao(g, "versão dos dados do " + quadro, {"1"}, "\"1\"");
    c.Inteiro(g, "Comprimento",
              canal.ComprimentoNaTela ? Rotulo(g, "Comprimento")
                                      : "comprimento do " + quadro + INTERNO,
              0, COMPRIMENTO_MAXIMO_CANAL, DeAte(0, COMPRIMENTO_MAXIMO_CANAL) + " m");
    c.Real(g, "Sc", Rotulo(g, "Sc"));
    c.Real(g, "Q", "vazão do " + quadro + INTERNO);
    c.Inteiro(g, "Indnc", "escolha na tabela de rugosidade em " + quadro, -1, 127, DeAte(-1, 127));
    c.Real(g, "nc", Rotulo(g, "nc"));
}

void ConferirCobertura(TConferencia& c, const std::string& plano, const std::string& quadro) {
    const std::string s = "Cobertura" + plano;
    const std::string cobertura = " na cobertura vegetal em " + quadro;
    c.Versao(s, "versão da cobertura vegetal em " + quadro, {"1"}, "\"1\"");
    c.Inteiro(s, "IndUso", "\"Uso da terra\"" + cobertura, 0, TUsoTerra::Quantidade - 1,
              DeAte(0, TUsoTerra::Quantidade - 1));
    c.Inteiro(s, "IndCond", "\"Condição hidrológica\"" + cobertura, 0,
              TCondicaoHidrologica::Quantidade - 1, DeAte(0, TCondicaoHidrologica::Quantidade - 1));
    c.Inteiro(s, "IndTrat", "\"Tratamento\"" + cobertura, 0, TTratamento::Quantidade - 1,
              DeAte(0, TTratamento::Quantidade - 1));
}

// Taxa, declividade, rugosidade e comprimento de um plano; os rótulos são os do primeiro
// trecho, com o número do trecho quando há mais de um.
void ConferirPlano(TConferencia& c, const std::string& nome, const std::string& terreno,
                   const std::string& encosta, long minimoIndice, const std::string& sufixo) {
    const std::string t1 = "Terreno" + nome + ": Trecho 1", e1 = "Encosta" + nome + ": Trecho 1";
    for (const char* k : {"VIB", "St", "nt"})
        c.Real(terreno, k, Rotulo(t1, k, sufixo));
    c.Inteiro(terreno, "Indnt",
              "escolha na tabela de rugosidade em " + QuadroEncosta(nome) + sufixo, minimoIndice,
              127, DeAte(minimoIndice, 127));
    c.Inteiro(encosta, "Comprimento", Rotulo(e1, "Comprimento", sufixo), 0,
              COMPRIMENTO_MAXIMO_PLANO, DeAte(0, COMPRIMENTO_MAXIMO_PLANO) + " m");
}

void ConferirEncosta(TConferencia& c, const TIndiceIni& ini, const std::string& caminho,
                     const std::string& nome) {
    const std::string quadro = QuadroEncosta(nome);
    const std::string s = "Encosta" + nome;
    const std::string versao = ini.LerTexto(s, "Versao", "");
    const std::string rotuloVersao = "versão dos trechos em " + quadro;
    if (versao == "1") {
        // Leiaute antigo, de um plano só, com as seções sem número de trecho.
        ConferirCobertura(c, nome, quadro);
        ConferirPlano(c, nome, "Terreno" + nome, s, -1, "");
        return;
    }
    if (versao != "2") {
        const auto barra = caminho.rfind('/');
        c.Contexto("O arquivo " +
                       (barra == std::string::npos ? caminho : caminho.substr(barra + 1)) +
                       " não é uma versão compatível.",
                   true);
        c.Versao(s, rotuloVersao, {"2", "1"}, "\"2\" (ou \"1\", dos arquivos antigos)");
    }
    const long n = c.Inteiro(s, "Count", "número de trechos em " + quadro, 1,
                             TRECHOS_MAXIMOS_ENCOSTA, DeAte(1, TRECHOS_MAXIMOS_ENCOSTA));
    for (long i = 1; i <= n; ++i) {
        const std::string plano = nome + ": Trecho " + std::to_string(i);
        c.Contexto("Ocorreu um erro ao tentar ler os dados da encosta de número " +
                       std::to_string(i) + " no arquivo " + caminho,
                   false);
        const std::string sufixo = i > 1 ? ", trecho " + std::to_string(i) : "";
        c.Versao("Terreno" + plano, "versão dos dados em " + quadro + sufixo, {"1"}, "\"1\"");
        ConferirCobertura(c, plano, quadro + sufixo);
        // A leitura não usa a versão de cada trecho, mas ela é sempre gravada: ausente ou outra,
        // o arquivo foi mexido.
        c.Versao("Encosta" + plano, "versão dos dados em " + quadro + sufixo, {"2"}, "\"2\"");
        ConferirPlano(c, nome, "Terreno" + plano, "Encosta" + plano, 0, sufixo);
    }
    c.Contexto("", false);
}

// As chaves de uma parte da chuva; nos arquivos antigos ficam em [TARSIO] e sem "Versao" na
// seção própria (vazio vale como ausente, a regra dos arquivos antigos).
void ConferirChuva(TConferencia& c, const TIndiceIni& ini, const std::string& s,
                   std::initializer_list<std::pair<const char*, std::string>> chaves) {
    const std::string versao = ini.LerTexto(s, "Versao", "");
    const bool antigo = versao.empty() || versao == "1";
    if (!antigo && versao != "2")
        c.Recusar("Valor fora da faixa", s, "Versao", &versao, "versão da chuva de projeto",
                  "\"2\" (ou \"1\", dos arquivos antigos)");
    for (const auto& [chave, rotulo] : chaves)
        c.Real(antigo && c.Existe("TARSIO", chave) ? "TARSIO" : s, chave, rotulo);
}

void ConferirUnidades(TConferencia& c) {
    const std::string s = "UNIDADES";
    auto emConfiguracao = [](const char* r) { return std::string(r) + " em " + CONFIGURACAO; };
    c.Versao(s, emConfiguracao("versão das unidades"), {"1"}, "\"1\"");
    c.Inteiro(s, "Comprimento", emConfiguracao("unidade de comprimento, que a tela não mostra,"), 0,
              3, DeAte(0, 3));
    c.Inteiro(s, "Declividade", emConfiguracao("\"Unidade da declividade\""), 0,
              long(ITENS_DECLIVIDADE.size()) - 1, Opcoes(ITENS_DECLIVIDADE));
    c.Inteiro(s, "VI", emConfiguracao("\"Unidade da taxa de infiltração estável\""), 0,
              long(ITENS_VI.size()) - 1, Opcoes(ITENS_VI));
    c.Inteiro(s, "Erodibilidade", emConfiguracao("\"Erodibilidade\""), 0,
              long(ITENS_ERODIBILIDADE.size()) - 1, Opcoes(ITENS_ERODIBILIDADE));
    c.Inteiro(s, "Estado", emConfiguracao("\"Estado\""), -1, NumeroEstados - 1,
              DeAte(-1, NumeroEstados - 1));
}

// A estrada do mapa de onde vieram os trechos: só com a linha; as opções nas faixas da janela.
void ConferirEstradaMapa(TConferencia& c, const TIndiceIni& ini) {
    const std::string s = "EstradaMapa";
    if (!c.Existe(s, "Linha") || ini.LerTexto(s, "Linha", "").empty()) return;
    if (c.Existe(s, "Feicao"))
        c.Inteiro(s, "Feicao", "número da linha no mapa", LONG_MIN, LONG_MAX, "um número inteiro");
    if (c.Existe(s, "DoFim")) c.Logico(s, "DoFim", "estaqueamento a partir do fim da linha");
    const struct {
        const char* Chave;
        const char* Rotulo;
        double Minimo, Maximo;
        const char* Faixa;
    } reais[] = {{"Janela", "janela de suavização, m", 0, 1000, "de 0 a 1000"},
                 {"TrechoMinimo", "trecho mínimo, m", 1, 10000, "de 1 a 10000"}};
    for (const auto& r : reais) {
        if (!c.Existe(s, r.Chave)) continue;
        const double v = c.Real(s, r.Chave, r.Rotulo);
        if (!(v >= r.Minimo && v <= r.Maximo)) {
            const std::string t = ini.LerTexto(s, r.Chave, "");
            c.Recusar("Valor fora da faixa", s, r.Chave, &t, r.Rotulo, r.Faixa);
        }
    }
}

// Dados da proteção do canal: cada chave é opcional (vale o padrão), mas a que está no arquivo
// tem de servir.
void ConferirProtecao(TConferencia& c, const TIndiceIni& ini) {
    const std::string s = SECAO_PROTECAO;
    const std::string protecao = " na proteção do canal";
    c.Versao(s, "versão" + protecao, {"1"}, "\"1\"");
    auto faixa = [&](const char* chave, const std::string& rotulo, bool vale, const char* exigido) {
        if (vale) return;
        const std::string v = ini.LerTexto(s, chave, "");
        c.Recusar("Valor fora da faixa", s, chave, &v, rotulo, exigido);
    };
    for (const TFaixaProtecao& f : FaixasProtecao()) {
        if (!c.Existe(s, f.Chave)) continue;
        const std::string rotulo = EntreAspas(f.Rotulo) + protecao;
        const double v = c.Real(s, f.Chave, rotulo);
        faixa(f.Chave, rotulo, NaFaixa(f, v), TextoFaixa(f, '.').c_str());
    }
    if (c.Existe(s, "ClasseGrama")) {
        const std::string rotulo = "\"Classe da grama\"" + protecao;
        const std::string v = c.Texto(s, "ClasseGrama", rotulo);
        faixa("ClasseGrama", rotulo,
              v.size() == 1 && std::string("ABCDEabcde").find(v) != std::string::npos,
              "uma letra de A a E");
    }
    for (const TChaveCusto& k : ChavesCustos()) {
        if (!c.Existe(s, k.Chave)) continue;
        const std::string rotulo = EntreAspas(k.Rotulo) + protecao;
        const double v = c.Real(s, k.Chave, rotulo);
        faixa(k.Chave, rotulo, v >= 0 && v <= CUSTO_MAXIMO, "de 0 a 1000000000 (R$)");
    }
}

// Seções que os arquivos antigos não têm: conferidas só quando estão no arquivo.
void ConferirSecoesNovas(TConferencia& c, const TIndiceIni& ini) {
    if (ini.ExisteSecao("ORIGEM_CHUVA")) {
        const std::string s = "ORIGEM_CHUVA";
        const std::string origem = " da origem da chuva";
        c.Versao(s, "versão" + origem, {"1"}, "\"1\"");
        const std::string tipo = c.Texto(s, "Tipo", "tipo" + origem);
        if (tipo.empty())
            c.Recusar("Valor vazio", s, "Tipo", nullptr, "tipo" + origem,
                      "o tipo da consulta que deu a equação");
        if (tipo != "digitados") {
            for (const char* k : {"Descricao", "Lugar", "Autoria"})
                c.Texto(s, k, std::string(k) + origem);
            for (const char* k : {"K", "A", "B", "C"})
                c.Real(s, k, std::string(k) + " da consulta que deu a equação" + origem);
        }
        // Só as interpolações guardam o raio e a distância da estação mais próxima.
        for (const char* k : {"DistanciaMinimaKm", "RaioKm"})
            if (c.Existe(s, k)) c.Real(s, k, std::string(k) + origem);
    }
    if (ini.ExisteSecao("IDENTIFICACAO"))
        for (const char* k :
             {"Estrada", "Trecho", "Municipio", "Engenheiro", "Data", "Observacoes"})
            c.Texto("IDENTIFICACAO", k, EntreAspas(k) + " na identificação do projeto");
    if (ini.ExisteSecao("TRECHOS")) {
        const std::string s = "TRECHOS";
        const long n = c.Inteiro(s, "Count", "número de trechos da estrada", 0, TRECHOS_MAXIMOS,
                                 DeAte(0, TRECHOS_MAXIMOS));
        for (long i = 1; i <= n; ++i) {
            const std::string t = std::to_string(i);
            const std::string trecho = " do trecho " + t + " da estrada";
            c.Texto(s, "Nome" + t, "nome" + trecho);
            c.Real(s, "Inicio" + t, "início" + trecho);
            c.Inteiro(s, "Comprimento" + t, "comprimento" + trecho, 1, COMPRIMENTO_MAXIMO_CANAL,
                      DeAte(1, COMPRIMENTO_MAXIMO_CANAL) + " m");
            // Com sinal: negativa onde a estrada sobe no sentido do estaqueamento.
            const std::pair<const char*, const char*> declividades[] = {
                {"Declividade", "declividade"}, {"DeclividadeMedia", "declividade média"}};
            for (const auto& [chave, nome] : declividades) {
                const std::string k = chave + t;
                // A média só existe nos trechos unidos de um perfil.
                if (chave != declividades[0].first && !c.Existe(s, k)) continue;
                const std::string rotulo = nome + trecho;
                const double d = c.Real(s, k, rotulo);
                if (!(std::abs(d) < DECLIVIDADE_MAXIMA_TRECHO)) {
                    const std::string v = ini.LerTexto(s, k, "");
                    c.Recusar("Valor fora da faixa", s, k, &v, rotulo,
                              "maior que -10 e menor que 10 m/m");
                }
            }
            // Os lados só existem nos arquivos gravados depois deles.
            for (const auto& [chave, lado] :
                 {std::pair{"CanalEsquerdo", "esquerdo"}, std::pair{"CanalDireito", "direito"}}) {
                const std::string k = chave + t;
                if (!c.Existe(s, k)) continue;
                const std::string rotulo = std::string("canal do lado ") + lado + trecho;
                const long v = c.Inteiro(s, k, rotulo, 0, 3, "0, 1 ou 3");
                if (v == 2) {
                    const std::string texto = ini.LerTexto(s, k, "");
                    c.Recusar("Valor fora da faixa", s, k, &texto, rotulo, "0, 1 ou 3");
                }
            }
        }
        // A cota do começo da estrada, de onde parte o perfil desenhado.
        if (c.Existe(s, "CotaInicial")) c.Real(s, "CotaInicial", "cota do início da estrada");
        if (c.Existe(s, "FatorEspacamento")) {
            const std::string rotulo = "fator de segurança do espaçamento";
            const double f = c.Real(s, "FatorEspacamento", rotulo);
            if (!(f > 0 && f <= 1)) {
                const std::string v = ini.LerTexto(s, "FatorEspacamento", "");
                c.Recusar("Valor fora da faixa", s, "FatorEspacamento", &v, rotulo,
                          "maior que 0 e no máximo 1");
            }
        }
    }
    if (ini.ExisteSecao(SECAO_PROTECAO)) ConferirProtecao(c, ini);
    ConferirEstradaMapa(c, ini);
}

} // namespace

std::vector<TPadraoAplicado> ConferirArquivoProjeto(const TArquivoIni& documento) {
    std::vector<TPadraoAplicado> padroes;
    // Uma busca por chave em tabela: um arquivo com milhares de trechos não custa o quadrado.
    const TIndiceIni ini(documento);
    const std::string& caminho = documento.Caminho();
    TConferencia c(ini);

    // Na ordem da leitura: a consulta IDF com a chuva, o motor, as unidades.
    c.Versao("TARSIO", "versão dos dados da consulta IDF", {"1"}, "\"1\"");
    ConferirChuva(c, ini, "PRECIPITACAO",
                  {{"Duracao", std::string("duração da chuva") + INTERNO},
                   {"PrecipitacaoTotal", std::string("precipitação total") + INTERNO}});
    const std::string idf = "PREC_EXPONENCIAL_NEGATIVA";
    ConferirChuva(c, ini, idf,
                  {{"Tr", std::string("período de retorno da chuva") + INTERNO},
                   {"K", Rotulo(CAMPO_K)},
                   {"A", Rotulo(CAMPO_A)},
                   {"B", Rotulo(CAMPO_B)},
                   {"C", Rotulo(CAMPO_C)}});
    for (const char* k : {"Latitude", "Longitude"})
        c.Texto("TARSIO", k, EntreAspas(k) + " " + CONSULTA);
    c.Inteiro("TARSIO", "IndEstacao", std::string("estação escolhida ") + CONSULTA, INT16_MIN,
              INT16_MAX, DeAte(INT16_MIN, INT16_MAX));
    c.Inteiro("TARSIO", "IndLocalidade", std::string("localidade escolhida ") + CONSULTA, INT16_MIN,
              INT16_MAX, DeAte(INT16_MIN, INT16_MAX));
    c.Texto("TARSIO", "StrCidade", std::string("cidade ") + CONSULTA);
    c.Inteiro("TARSIO", "IndEstado", std::string("estado escolhido ") + CONSULTA, INT16_MIN,
              INT16_MAX, DeAte(INT16_MIN, INT16_MAX));
    c.Texto("TARSIO", "StrEstado", std::string("nome do estado ") + CONSULTA);

    ConferirCanal(c, {"_ESTRADA", "Canal da estrada", CAMPO_Z_CANAL, CAMPO_M1_CANAL, true});
    const std::string e = "CanalEstrada_ESTRADA";
    c.Versao(e, "versão dos dados da estrada", {"1"}, "\"1\"");
    for (const char* k : {"Aprofundamento", "TalCritica", "Erodibilidade", "Densidade"})
        c.Real(e, k, Rotulo(e, k));
    c.Inteiro(e, "IndSecao", "\"Seção transversal\"", 1, 3, "1, 2 ou 3");
    for (const char* k : {"TrDim", "TrEsp"})
        c.Real(e, k, Rotulo(e, k));
    c.Logico(e, "Equivalente", "\"Usar período de retorno equivalente\" em Período de retorno");
    const std::string curva = "\"Curva de descarga original (ajuste de 0,2 a 5 m)\" em Canal da "
                              "estrada";
    // Os arquivos de antes da opção calculam com a curva exata.
    if (c.Existe(e, "CurvaDescargaOriginal"))
        c.Inteiro(e, "CurvaDescargaOriginal", curva, 0, 1, "0 (curva exata) ou 1 (original)");
    else
        padroes.push_back({e, "CurvaDescargaOriginal", "0", curva, "a curva de descarga exata"});
    ConferirEncosta(c, ini, caminho, "_Estrada");
    ConferirEncosta(c, ini, caminho, "_Talude");

    const std::string b = "BaciaAcumulacao";
    c.Versao(b, "versão dos dados da bacia de acumulação", {"1"}, "\"1\"");
    ConferirCanal(
        c, {"_BaciaAcumulacao", "Canal de condução", CAMPO_Z_CONDUCAO, CAMPO_M1_CONDUCAO, false});
    for (const char* k : {"Profundidade", "m1", "m2"})
        c.Real(b, k, Rotulo(b, k));
    c.Inteiro(b, "Formato", "\"Formato\" em Bacia de acumulação", 0, 1,
              "0 (retangular) ou 1 (semicircular)");
    c.Logico(b, "CalcularVolume", "\"Calcular volume da bacia de acumulação\"");

    ConferirUnidades(c);
    c.Texto("PRINCIPAL", "StrCoberVeg", "descrição da cobertura vegetal da área externa");
    ConferirSecoesNovas(c, ini);
    return padroes;
}

std::string TextoPadraoAplicado(const TPadraoAplicado& d) {
    return "O arquivo do projeto não tem a chave [" + d.Secao + "] " + d.Chave + " (" + d.Rotulo +
           "), que os arquivos gravados antes dela não têm: vale o padrão " + d.Valor + ", " +
           d.Significado + ".";
}
