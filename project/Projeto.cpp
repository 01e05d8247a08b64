#include "project/Projeto.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <new>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "project/CamposProjeto.h"

const char* const ABA_ESTRADA = "Estrada";
const char* const ABA_BACIAS = "Bacias de acumulação";
const char* const ABA_PRECIPITACAO = "Precipitação";

void ZerarVariaveis(TProjeto& p) {
    p.Migrado = false;
    p.PadroesAplicados.clear();
    p.Identificacao = {};
    p.Protecao = {};
    p.OrigemChuva = {};
    p.Trechos.clear();
    p.FatorEspacamento = FATOR_ESPACAMENTO_PADRAO;
    p.CotaInicial.reset();
    p.EstradaMapa.reset();
    p.Estrada.Limpar();
    // A limpeza do motor deixa o solo, os períodos de retorno e a seção do projeto anterior:
    // "Novo" começaria com eles, calados. Um projeto novo tem os de um canal novo.
    const TCanalEstrada canalNovo("_ESTRADA");
    p.Estrada.Aprofundamento = canalNovo.Aprofundamento;
    p.Estrada.TalCritica = canalNovo.TalCritica;
    p.Estrada.Erodibilidade = canalNovo.Erodibilidade;
    p.Estrada.Densidade = canalNovo.Densidade;
    p.Estrada.IndSecao = canalNovo.IndSecao;
    p.Estrada.TrDim = canalNovo.TrDim;
    p.Estrada.TrEsp = canalNovo.TrEsp;
    p.Estrada.Equivalente = canalNovo.Equivalente;
    p.Estrada.AreaExterna.DefinirNumPlanos(1);
    p.StrCoberVeg.clear();
    p.Estrada.TipoCanal.Valor = CANAL_TRIANGULAR;
    p.Estrada.Bacia.CanalConducao.TipoCanal.Valor = CANAL_TRIANGULAR;
    p.ChuvaDeProjeto.Limpar();
    p.Chuva().Tr(0);
    p.ChuvaDeProjeto.IndEstado = std::int16_t(p.Unidades.Estado);
}

TCanalLado CanalDoLado(const std::optional<TCanalLado>& lado, int secaoProjeto) {
    if (lado) return *lado;
    return secaoProjeto == 3 ? TCanalLado::SemCorte : TCanalLado::Corte;
}

std::string FraseOrigemChuva(const TProjeto& p) {
    const auto& chuva = p.ChuvaDeProjeto.Precipitacao();
    return FraseOrigemChuva(p.OrigemChuva, chuva.K(), chuva.A(), chuva.B(), chuva.C());
}

namespace {

void FixarCoberturaLeitoProjeto(TProjeto& p) {
    if (p.Estrada.Leito.NumPlanos() > 0) FixarCoberturaLeito(p.Estrada.Leito.Plano(0));
}

} // namespace

namespace {

const char* const SECAO_IDENTIFICACAO = "IDENTIFICACAO";
const char* const SECAO_TRECHOS = "TRECHOS";

// Um valor do arquivo é uma linha só: quebras de linha das observações viram "\n".
std::string Escapar(const std::string& t) {
    std::string s;
    for (char c : t) {
        if (c == '\\')
            s += "\\\\";
        else if (c == '\n')
            s += "\\n";
        else if (c != '\r')
            s += c;
    }
    return s;
}

std::string Desescapar(const std::string& t) {
    std::string s;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\\' && i + 1 < t.size() && (t[i + 1] == 'n' || t[i + 1] == '\\'))
            s += t[++i] == 'n' ? '\n' : '\\';
        else
            s += t[i];
    }
    return s;
}

struct TCampoIdentificacao {
    const char* Chave;
    std::string TIdentificacao::*Membro;
};

const TCampoIdentificacao CAMPOS_IDENTIFICACAO[] = {
    {"Estrada", &TIdentificacao::Estrada},     {"Trecho", &TIdentificacao::Trecho},
    {"Municipio", &TIdentificacao::Municipio}, {"Engenheiro", &TIdentificacao::Engenheiro},
    {"Data", &TIdentificacao::Data},           {"Observacoes", &TIdentificacao::Observacoes},
};

// Seções novas só entram no arquivo quando têm conteúdo: um projeto sem elas sai igual.
void GravarIdentificacao(const TIdentificacao& id, TArquivoIni& ini) {
    if (id.Vazia() && !ini.ExisteSecao(SECAO_IDENTIFICACAO)) return;
    for (const auto& c : CAMPOS_IDENTIFICACAO)
        ini.EscreverTexto(SECAO_IDENTIFICACAO, c.Chave, Escapar(id.*c.Membro));
}

TIdentificacao LerIdentificacao(const TArquivoIni& ini) {
    TIdentificacao id;
    for (const auto& c : CAMPOS_IDENTIFICACAO)
        id.*c.Membro = Desescapar(ini.LerTexto(SECAO_IDENTIFICACAO, c.Chave, ""));
    return id;
}

// Os lados, como números da seção transversal: 0 sem canal, 1 em corte, 3 sem corte.
const std::pair<const char*, std::optional<TCanalLado> TTrecho::*> LADOS_TRECHO[] = {
    {"CanalEsquerdo", &TTrecho::Esquerdo}, {"CanalDireito", &TTrecho::Direito}};

void GravarTrechos(const std::vector<TTrecho>& trechos, double fator,
                   const std::optional<double>& cota, TArquivoIni& ini) {
    if (trechos.empty() && fator == FATOR_ESPACAMENTO_PADRAO && !cota &&
        !ini.ExisteSecao(SECAO_TRECHOS))
        return;
    const long antes = ini.LerInteiro(SECAO_TRECHOS, "Count", 0);
    ini.EscreverInteiro(SECAO_TRECHOS, "Count", long(trechos.size()));
    for (std::size_t i = 0; i < trechos.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        ini.EscreverTexto(SECAO_TRECHOS, "Nome" + n, trechos[i].Nome);
        GravarReal(ini, SECAO_TRECHOS, ("Inicio" + n).c_str(), trechos[i].Inicio);
        ini.EscreverInteiro(SECAO_TRECHOS, "Comprimento" + n, trechos[i].Comprimento);
        GravarReal(ini, SECAO_TRECHOS, ("Declividade" + n).c_str(), trechos[i].Declividade);
        if (trechos[i].DeclividadeMedia)
            GravarReal(ini, SECAO_TRECHOS, ("DeclividadeMedia" + n).c_str(),
                       *trechos[i].DeclividadeMedia);
        else
            ini.ApagarChave(SECAO_TRECHOS, "DeclividadeMedia" + n);
        for (const auto& [chave, membro] : LADOS_TRECHO) {
            if (const auto& lado = trechos[i].*membro)
                ini.EscreverInteiro(SECAO_TRECHOS, chave + n, int(*lado));
            else
                ini.ApagarChave(SECAO_TRECHOS, chave + n);
        }
    }
    for (long i = long(trechos.size()) + 1; i <= std::min(antes, TRECHOS_MAXIMOS); ++i)
        for (const char* k : {"Nome", "Inicio", "Comprimento", "Declividade", "DeclividadeMedia",
                              "CanalEsquerdo", "CanalDireito"})
            ini.ApagarChave(SECAO_TRECHOS, k + std::to_string(i));
    if (fator != FATOR_ESPACAMENTO_PADRAO || ini.ExisteChave(SECAO_TRECHOS, "FatorEspacamento"))
        GravarReal(ini, SECAO_TRECHOS, "FatorEspacamento", fator);
    if (cota)
        GravarReal(ini, SECAO_TRECHOS, "CotaInicial", *cota);
    else
        ini.ApagarChave(SECAO_TRECHOS, "CotaInicial");
}

std::vector<TTrecho> LerTrechos(const TArquivoIni& documento) {
    // Milhares de trechos: cada chave buscada numa tabela, não no arquivo inteiro.
    const TIndiceIni ini(documento);
    std::vector<TTrecho> trechos;
    const long n = ini.LerInteiro(SECAO_TRECHOS, "Count", 0);
    if (n < 0 || n > TRECHOS_MAXIMOS)
        ValorForaDaFaixaNoArquivo("Trechos, número de trechos", n, "de 0 a 10000");
    for (long i = 1; i <= n; ++i) {
        const std::string k = std::to_string(i);
        TTrecho t;
        t.Nome = ini.LerTexto(SECAO_TRECHOS, "Nome" + k, "");
        t.Inicio = ini.LerReal(SECAO_TRECHOS, "Inicio" + k, 0);
        const long c = ini.LerInteiro(SECAO_TRECHOS, "Comprimento" + k, 0);
        if (c < 1 || c > COMPRIMENTO_MAXIMO_CANAL)
            ValorForaDaFaixaNoArquivo("Trecho " + k + ", Comprimento", c, "de 1 a 100000 m");
        t.Comprimento = int(c);
        t.Declividade = ini.LerReal(SECAO_TRECHOS, "Declividade" + k, 0);
        // Um trecho plano de um perfil é guardado: o cálculo dele diz que falta declividade.
        // Negativa: a estrada sobe no sentido do estaqueamento.
        auto naFaixa = [](double d) {
            return std::abs(d) < DECLIVIDADE_MAXIMA_TRECHO; // falso também para NaN
        };
        if (ini.ExisteChave(SECAO_TRECHOS, "DeclividadeMedia" + k))
            t.DeclividadeMedia = ini.LerReal(SECAO_TRECHOS, "DeclividadeMedia" + k, 0);
        for (const auto& [chave, membro] : LADOS_TRECHO)
            if (ini.ExisteChave(SECAO_TRECHOS, chave + k)) {
                const long v = ini.LerInteiro(SECAO_TRECHOS, chave + k, -1);
                if (v != 0 && v != 1 && v != 3)
                    ValorForaDaFaixaNoArquivo("Trecho " + k + ", " + chave, v, "0, 1 ou 3");
                t.*membro = TCanalLado(v);
            }
        if (!naFaixa(t.Declividade) || (t.DeclividadeMedia && !naFaixa(*t.DeclividadeMedia)) ||
            !std::isfinite(t.Inicio))
            throw EMorvendo("Valor fora da faixa no arquivo do projeto: Trecho " + k +
                            ", Declividade (maior que -10 e menor que 10 m/m) ou Início.");
        trechos.push_back(std::move(t));
    }
    return trechos;
}

constexpr const char* SECAO_ESTRADA_MAPA = "EstradaMapa";

// Pasta do arquivo do projeto; vazia para um documento só na memória.
std::filesystem::path PastaDoProjeto(const TArquivoIni& ini) {
    std::error_code erro;
    if (ini.Caminho().empty()) return {};
    const auto absoluto = std::filesystem::absolute(ini.Caminho(), erro);
    return erro ? std::filesystem::path() : absoluto.parent_path();
}

void GravarEstradaMapa(const std::optional<TEstradaMapaProjeto>& e, TArquivoIni& ini) {
    const std::string s = SECAO_ESTRADA_MAPA;
    if (!e) {
        for (const char* k :
             {"Linha", "Terreno", "Camada", "Feicao", "DoFim", "Janela", "TrechoMinimo"})
            ini.ApagarChave(s, k);
        return;
    }
    const std::filesystem::path pasta = PastaDoProjeto(ini);
    auto relativo = [&](const std::string& caminho) {
        if (caminho.empty() || pasta.empty()) return caminho;
        const auto r = std::filesystem::path(caminho).lexically_relative(pasta);
        return r.empty() ? caminho : r.generic_string();
    };
    ini.EscreverTexto(s, "Linha", relativo(e->Linha));
    ini.EscreverTexto(s, "Terreno", relativo(e->Terreno));
    ini.EscreverTexto(s, "Camada", e->Camada);
    if (e->Feicao)
        ini.EscreverTexto(s, "Feicao", std::to_string(*e->Feicao));
    else
        ini.ApagarChave(s, "Feicao");
    ini.EscreverLogico(s, "DoFim", e->DoFim);
    GravarReal(ini, s, "Janela", e->Janela);
    GravarReal(ini, s, "TrechoMinimo", e->TrechoMinimo);
}

// Sem a linha, nada: os trechos não vieram de um mapa.
std::optional<TEstradaMapaProjeto> LerEstradaMapa(const TArquivoIni& ini) {
    const char* const s = SECAO_ESTRADA_MAPA;
    const std::string linha = ini.LerTexto(s, "Linha", "");
    if (linha.empty()) return std::nullopt;
    const std::filesystem::path pasta = PastaDoProjeto(ini);
    auto absoluto = [&](const std::string& gravado) {
        if (gravado.empty() || pasta.empty() || std::filesystem::path(gravado).is_absolute())
            return gravado;
        return (pasta / gravado).lexically_normal().string();
    };
    TEstradaMapaProjeto e;
    e.Linha = absoluto(linha);
    e.Terreno = absoluto(ini.LerTexto(s, "Terreno", ""));
    e.Camada = ini.LerTexto(s, "Camada", "");
    if (const std::string f = ini.LerTexto(s, "Feicao", ""); !f.empty()) {
        char* fim = nullptr;
        errno = 0;
        const long long v = std::strtoll(f.c_str(), &fim, 10);
        if (errno != 0 || *fim != '\0')
            throw EMorvendo("Valor fora da faixa no arquivo do projeto: EstradaMapa, Feicao (o "
                            "número inteiro da linha no mapa).");
        e.Feicao = v;
    }
    e.DoFim = ini.LerLogico(s, "DoFim", false);
    e.Janela = ini.LerReal(s, "Janela", e.Janela);
    e.TrechoMinimo = ini.LerReal(s, "TrechoMinimo", e.TrechoMinimo);
    return e;
}

} // namespace

void EscreverProjeto(TProjeto& p, TArquivoIni& ini) {
    FixarCoberturaLeitoProjeto(p);
    p.Estrada.Gravar(ini);
    p.ChuvaDeProjeto.Gravar(ini);
    GravarOrigemChuva(p.OrigemChuva, ini);
    p.Unidades.Gravar(ini);
    ini.EscreverTexto("PRINCIPAL", "StrCoberVeg", p.StrCoberVeg);
    GravarIdentificacao(p.Identificacao, ini);
    GravarProtecao(p.Protecao, ini);
    GravarTrechos(p.Trechos, p.FatorEspacamento, p.CotaInicial, ini);
    GravarEstradaMapa(p.EstradaMapa, ini);
    ini.EscreverTexto("VERSAO", "Versao", "1");
}

void EscreverProjeto(TProjeto& p, const std::string& caminho) {
    TArquivoIni ini(caminho);
    EscreverProjeto(p, ini);
    ini.Salvar();
    p.Migrado = false;
}

namespace {

// Sem memória a mensagem ainda diz o que não pôde ser feito, em português.
EMorvendo SemMemoria(const std::string& caminho) {
    return EMorvendo("Memória insuficiente para ler o projeto" +
                     (caminho.empty() ? std::string() : " " + caminho) +
                     ": feche outros programas e tente de novo.");
}

bool LerConferido(TProjeto& p, TArquivoIni& ini);

} // namespace

TArquivoIni CarregarDocumentoProjeto(const std::string& caminho) {
    namespace fs = std::filesystem;
    std::error_code erro;
    const fs::file_type tipo = fs::status(caminho, erro).type();
    if (tipo == fs::file_type::not_found)
        throw EArquivoNaoExiste("O arquivo " + caminho + " não foi encontrado.");
    if (tipo == fs::file_type::directory)
        throw EArquivoNaoExiste(caminho + " é uma pasta, não um arquivo de projeto.");
    // Sem acesso ao caminho, a leitura diz o motivo.
    if (!erro && tipo != fs::file_type::regular)
        throw EArquivoNaoExiste(caminho + " não é um arquivo de projeto.");
    try {
        TArquivoIni ini;
        ini.Carregar(caminho);
        return ini;
    } catch (const std::bad_alloc&) {
        throw SemMemoria(caminho);
    }
}

bool LerProjeto(TProjeto& p, const std::string& caminho) {
    TArquivoIni ini = CarregarDocumentoProjeto(caminho);
    return LerProjeto(p, ini);
}

bool LerProjeto(TProjeto& p, TArquivoIni& ini) {
    try {
        return LerConferido(p, ini);
    } catch (const std::bad_alloc&) {
        throw SemMemoria(ini.Caminho());
    }
}

namespace {

bool LerConferido(TProjeto& p, TArquivoIni& ini) {
    if (ini.LerTexto("VERSAO", "Versao", "") != "1")
        throw EArquivoRecusado("Ocorreu um erro ao tentar ler o arquivo " + ini.Caminho() + ".");
    // Antes de qualquer objeto: um arquivo recusado não muda nada no projeto.
    std::vector<TPadraoAplicado> padroes = ConferirArquivoProjeto(ini);

    bool leuCerto = false;
    std::exception_ptr erro;
    try {
        leuCerto = p.ChuvaDeProjeto.Ler(ini) && p.Estrada.Ler(ini) && p.Unidades.Ler(ini);
    } catch (...) {
        erro = std::current_exception();
    }
    p.StrCoberVeg = ini.LerTexto("PRINCIPAL", "StrCoberVeg", "");
    p.OrigemChuva = LerOrigemChuva(ini, p.ChuvaDeProjeto);
    FixarCoberturaLeitoProjeto(p);
    p.Identificacao = LerIdentificacao(ini);
    p.Protecao = LerProtecao(ini);
    if (!erro) {
        try {
            p.Trechos = LerTrechos(ini);
            p.FatorEspacamento =
                ini.LerReal(SECAO_TRECHOS, "FatorEspacamento", FATOR_ESPACAMENTO_PADRAO);
            p.CotaInicial.reset();
            if (ini.ExisteChave(SECAO_TRECHOS, "CotaInicial")) {
                const double cota = ini.LerReal(SECAO_TRECHOS, "CotaInicial", 0);
                if (!std::isfinite(cota))
                    throw EMorvendo("Valor fora da faixa no arquivo do projeto: Trechos, "
                                    "CotaInicial (um número de metros).");
                p.CotaInicial = cota;
            }
            p.EstradaMapa = LerEstradaMapa(ini);
        } catch (...) {
            erro = std::current_exception();
        }
    }
    // A chuva de um arquivo antigo foi migrada só em memória: o arquivo muda quando o usuário
    // salvar, e o projeto aberto conta como alterado.
    p.Migrado = ini.Modificado();
    if (erro) std::rethrow_exception(erro);
    p.PadroesAplicados = std::move(padroes);
    return leuCerto;
}

} // namespace

std::vector<TFalhaValidacao> ListarFalhas(const TProjeto& p, bool areaExternaAtiva) {
    const TCanalEstrada& e = p.Estrada;
    const TEscolhaUnidades& u = p.Unidades;
    std::vector<TFalhaValidacao> falhas;
    auto verificar = [&](std::initializer_list<TCampo> grupo) {
        for (const TCampo id : grupo) {
            const TCampoProjeto& c = *CampoProjeto(id);
            if (!CampoAplicavel(id, p, areaExternaAtiva) ||
                DentroDaFaixa(c, ValorMostrado(c, p, u), u))
                continue;
            falhas.push_back(
                {MensagemCampo(c, u, TMotivoFalha::Faixa, {}, RotuloNaTela(c, p)), c.Id, c.Aba});
        }
    };

    // Em cada grupo, na ordem em que a primeira falha decide a mensagem da verificação.
    verificar({CAMPO_TR_ESP});
    // O período equivalente só existe para mais de um ano.
    if (e.Equivalente && e.TrEsp > 0 && e.TrEsp <= 1) {
        const TCampoProjeto& c = *CampoProjeto(CAMPO_TR_ESP);
        falhas.push_back({"Valor incorreto em \"Espaçamento\" (Período de retorno): com o "
                          "período de retorno equivalente, deve ser maior que 1 e no máximo " +
                              FloatToStr(c.Maximo) + " anos.",
                          c.Id, c.Aba});
    }
    verificar({CAMPO_TR_DIM, CAMPO_K, CAMPO_A, CAMPO_B, CAMPO_C});

    // Sem plano os valores ficam zero e a verificação os recusa.
    verificar({CAMPO_VIB_ESTRADA, CAMPO_ST_ESTRADA, CAMPO_COMP_ESTRADA, CAMPO_RUG_ESTRADA});

    verificar({CAMPO_VIB_TALUDE});
    if (CampoAplicavel(CAMPO_COBERTURA_TALUDE, p, areaExternaAtiva)) {
        const TEncostaCinematica vazio;
        const TEncostaCinematica& talude = e.AreaExterna.NumPlanos() > 0 ? e.AreaExterna.Plano(0) : vazio;
        if (NumeroDeCurva(talude) <= 0)
            falhas.push_back({"Nenhuma cobertura vegetal foi escolhida para a área externa "
                              "(botão \"Cobertura vegetal\").",
                              CAMPO_COBERTURA_TALUDE, ABA_ESTRADA});
    }
    verificar({CAMPO_ST_TALUDE, CAMPO_COMP_TALUDE, CAMPO_RUG_TALUDE});

    verificar({CAMPO_SC_CONDUCAO, CAMPO_RUG_CONDUCAO, CAMPO_Z_CONDUCAO, CAMPO_B_CONDUCAO,
               CAMPO_M2_CONDUCAO, CAMPO_M1_CONDUCAO, CAMPO_M2_BACIA, CAMPO_M1_BACIA,
               CAMPO_PROF_BACIA});

    verificar({CAMPO_APROFUNDAMENTO, CAMPO_DENSIDADE, CAMPO_ERODIBILIDADE, CAMPO_TENSAO_CRITICA,
               CAMPO_COMP_CANAL, CAMPO_RUG_CANAL, CAMPO_SC_CANAL, CAMPO_Z_CANAL, CAMPO_B_CANAL,
               CAMPO_M1_CANAL, CAMPO_M2_CANAL});
    return falhas;
}

std::string MensagemComLugarNoArquivo(const TFalhaValidacao& f, const TProjeto& p) {
    // A cobertura é a combinação das três escolhas do seu diálogo.
    if (f.Campo == CAMPO_COBERTURA_TALUDE && p.Estrada.AreaExterna.NumPlanos() > 0) {
        const TCobertura& c = p.Estrada.AreaExterna.Plano(0).Cobertura;
        return f.Mensagem + " No arquivo do projeto: [Cobertura_Talude: Trecho 1] IndUso = " +
               std::to_string(c.UsoTerra.Indice) +
               ", IndCond = " + std::to_string(c.CondicaoHidrologica.Indice) +
               ", IndTrat = " + std::to_string(c.Tratamento.Indice) + ".";
    }
    const TCampoProjeto* c = CampoProjeto(f.Campo);
    if (!c || !c->Secao) return f.Mensagem;
    return f.Mensagem + " No arquivo do projeto: [" + c->Secao + "] " + c->Chave + " = " +
           FloatToStr(c->Valor(p), SeparadorDecimalLocal()) + ".";
}

std::optional<TFalhaValidacao> ValidarDados(const TProjeto& p, bool areaExternaAtiva) {
    std::vector<TFalhaValidacao> falhas = ListarFalhas(p, areaExternaAtiva);
    if (falhas.empty()) return std::nullopt;
    return std::move(falhas.front());
}
