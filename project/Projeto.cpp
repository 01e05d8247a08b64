#include "project/Projeto.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>

#include "comum/EMorvendo.h"
#include "engine/uPersistencia.h"

const char* const ABA_ESTRADA = "Estrada";
const char* const ABA_BACIAS = "Bacias de acumulação";
const char* const ABA_PRECIPITACAO = "Precipitação";

void ZerarVariaveis(TProjeto& p) {
    p.Migrado = false;
    p.Identificacao = {};
    p.Trechos.clear();
    p.Estrada.Limpar();
    p.Estrada.Talude.DefinirNumSecoes(1);
    p.Estrada.TipoCanal.Valor = CANAL_TRIANGULAR;
    p.Estrada.Bacia.CanalConducao.TipoCanal.Valor = CANAL_TRIANGULAR;
    p.Tarsio1.Limpar();
    p.Chuva().Tr(0);
    p.Tarsio1.IndEstado = std::int16_t(p.Unidades.Estado);
}

namespace {

void FixarCoberturaLeitoProjeto(TProjeto& p) {
    if (p.Estrada.Estrada.NumSecoes() > 0) FixarCoberturaLeito(p.Estrada.Estrada.Secao(0));
}

} // namespace

namespace {

const char* const SECAO_IDENTIFICACAO = "IDENTIFICACAO";
const char* const SECAO_TRECHOS = "TRECHOS";
constexpr long TRECHOS_MAXIMOS = 10000;

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

void GravarTrechos(const std::vector<TTrecho>& trechos, TArquivoIni& ini) {
    if (trechos.empty() && !ini.ExisteSecao(SECAO_TRECHOS)) return;
    const long antes = ini.LerInteiro(SECAO_TRECHOS, "Count", 0);
    ini.EscreverInteiro(SECAO_TRECHOS, "Count", long(trechos.size()));
    for (std::size_t i = 0; i < trechos.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        ini.EscreverTexto(SECAO_TRECHOS, "Nome" + n, trechos[i].Nome);
        GravarReal(ini, SECAO_TRECHOS, ("Inicio" + n).c_str(), trechos[i].Inicio);
        ini.EscreverInteiro(SECAO_TRECHOS, "Comprimento" + n, trechos[i].Comprimento);
        GravarReal(ini, SECAO_TRECHOS, ("Declividade" + n).c_str(), trechos[i].Declividade);
    }
    for (long i = long(trechos.size()) + 1; i <= std::min(antes, TRECHOS_MAXIMOS); ++i)
        for (const char* k : {"Nome", "Inicio", "Comprimento", "Declividade"})
            ini.ApagarChave(SECAO_TRECHOS, k + std::to_string(i));
}

std::vector<TTrecho> LerTrechos(const TArquivoIni& ini) {
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
        if (!(t.Declividade > 0 && t.Declividade < 10) || !std::isfinite(t.Inicio))
            throw EMorvendo("Valor fora da faixa no arquivo do projeto: Trecho " + k +
                            ", Declividade (deve ser maior que zero, em m/m) ou Início.");
        trechos.push_back(std::move(t));
    }
    return trechos;
}

} // namespace

void EscreverProjeto(TProjeto& p, TArquivoIni& ini) {
    FixarCoberturaLeitoProjeto(p);
    p.Estrada.Gravar(ini);
    p.Tarsio1.Gravar(ini);
    p.Unidades.Gravar(ini);
    ini.EscreverTexto("PRINCIPAL", "StrCoberVeg", p.StrCoberVeg);
    GravarIdentificacao(p.Identificacao, ini);
    GravarTrechos(p.Trechos, ini);
    ini.EscreverTexto("VERSAO", "Versao", "1");
}

void EscreverProjeto(TProjeto& p, const std::string& caminho) {
    TArquivoIni ini(caminho);
    EscreverProjeto(p, ini);
    ini.Salvar();
    p.Migrado = false;
}

bool LerProjeto(TProjeto& p, const std::string& caminho) {
    if (!std::filesystem::is_regular_file(caminho))
        throw EArquivoNaoExiste("O arquivo " + caminho + " não foi encontrado.");
    TArquivoIni ini;
    ini.Carregar(caminho);
    return LerProjeto(p, ini);
}

bool LerProjeto(TProjeto& p, TArquivoIni& ini) {
    if (ini.LerTexto("VERSAO", "Versao", "") != "1")
        throw EArquivoRecusado("Ocorreu um erro ao tentar ler o arquivo " + ini.Caminho() + ".");

    bool leuCerto = false;
    std::exception_ptr erro;
    try {
        leuCerto = p.Tarsio1.Ler(ini) && p.Estrada.Ler(ini) && p.Unidades.Ler(ini);
    } catch (...) {
        erro = std::current_exception();
    }
    p.StrCoberVeg = ini.LerTexto("PRINCIPAL", "StrCoberVeg", "");
    FixarCoberturaLeitoProjeto(p);
    p.Identificacao = LerIdentificacao(ini);
    if (!erro) {
        try {
            p.Trechos = LerTrechos(ini);
        } catch (...) {
            erro = std::current_exception();
        }
    }
    // A chuva de um arquivo antigo foi migrada só em memória: o arquivo muda quando o usuário
    // salvar, e o projeto aberto conta como alterado.
    p.Migrado = ini.Modificado();
    if (erro) std::rethrow_exception(erro);
    return leuCerto;
}

namespace {

struct TVerificacao {
    bool falha;
    const char* mensagem;
    const char* campo;
    const char* aba;
};

// Dentro de um grupo, a última falha listada decide a mensagem e o campo.
std::optional<TFalhaValidacao> UltimaFalha(std::initializer_list<TVerificacao> grupo) {
    std::optional<TFalhaValidacao> r;
    for (const TVerificacao& v : grupo)
        if (v.falha) r = TFalhaValidacao{v.mensagem, v.campo, v.aba};
    return r;
}

} // namespace

std::optional<TFalhaValidacao> ValidarDados(const TProjeto& p, bool areaExternaAtiva) {
    const TCanalEstrada& e = p.Estrada;
    const TPrecipitacaoExponencialNegativa& chuva = p.Tarsio1.Precipitacao();
    const char* P = ABA_PRECIPITACAO;
    const char* E = ABA_ESTRADA;
    const char* B = ABA_BACIAS;

    if (auto f = UltimaFalha({
            {chuva.C() <= 0,
             "  Valor incorreto do parâmetro \"c\" da equação de chuvas intensas.  ", "eC", P},
            {chuva.B() <= 0,
             "  Valor incorreto do parâmetro \"b\" da equação de chuvas intensas.  ", "eB", P},
            {chuva.A() <= 0,
             "  Valor incorreto do parâmetro \"a\" da equação de chuvas intensas.  ", "eA", P},
            {chuva.K() <= 0,
             "  Valor incorreto do parâmetro \"K\" da equação de chuvas intensas.  ", "eK", P},
            {e.TrDim <= 0, "  Valor incorreto do tempo de retorno (dimensionamento).  ", "eTrDim",
             P},
            {e.TrEsp <= 0, "  Valor incorreto do tempo de retorno (espaçamento).  ", "eTrEsp", P},
        }))
        return f;

    // Sem plano não há o que verificar nem calcular; o cálculo avisa com mensagem própria.
    const TEncostaCinematica vazio;
    const TEncostaCinematica& leito = e.Estrada.NumSecoes() > 0 ? e.Estrada.Secao(0) : vazio;
    if (auto f = UltimaFalha({
            {leito.nt.Valor <= 0, "  Valor incorreto da rugosidade do terreno na estrada.  ",
             "eRugEstrada", E},
            {leito.Comprimento() < 1, "  Valor incorreto do comprimento da estrada.  ",
             "eCompEstrada", E},
            {leito.St() <= 0, "  Valor incorreto da declividade da estrada.  ", "eStEstrada", E},
            {leito.VIB() <= 0,
             "  Valor incorreto da velocidade de infiltração básica na estrada.  ", "eVIBEstrada",
             E},
        }))
        return f;

    if (areaExternaAtiva) {
        const TEncostaCinematica& talude = e.Talude.NumSecoes() > 0 ? e.Talude.Secao(0) : vazio;
        if (auto f = UltimaFalha({
                {talude.nt.Valor <= 0, "  Valor incorreto da rugosidade do terreno no talude.  ",
                 "eRugTalude", E},
                {talude.Comprimento() < 1, "  Valor incorreto do comprimento do talude.  ",
                 "eCompTalude", E},
                {talude.St() <= 0, "  Valor incorreto da declividade do talude.  ", "eStTalude", E},
                {NumeroDeCurva(talude) <= 0,
                 "  Nenhuma informação sobre cobertura vegetal no talude foi fornecida.  ",
                 "btnCoberVegTalude", E},
                {talude.VIB() <= 0,
                 "  Valor incorreto da velocidade de infiltração básica no talude.  ", "eVIBTalude",
                 E},
            }))
            return f;
    }

    const TBaciaAcumulacao& bacia = e.Bacia;
    const TCanalGradienteCustom& cc = bacia.CanalConducao;
    const bool retangular = bacia.Formato == TBaciaAcumulacao::RETANGULAR;
    const bool ccTriangular = cc.TipoCanal.Valor == CANAL_TRIANGULAR;
    if (auto f = UltimaFalha({
            {bacia.Profundidade <= 0, "  Valor incorreto da profundidade da bacia de acumulação.  ",
             "eProfBacia", B},
            {retangular && bacia.m1 <= 0,
             "  Valor incorreto do parâmetro \"m1\" da bacia de acumulação.  ", "eProfBacia", B},
            {retangular && bacia.m2 <= 0,
             "  Valor incorreto do parâmetro \"m2\" da bacia de acumulação.  ", "eProfBacia", B},
            {ccTriangular && cc.Z.Valor <= 0,
             "  Valor incorreto do parâmetro \"m1\" do canal da bacia de acumulação.  ",
             "eProfBacia", B},
            {ccTriangular && cc.Sm.Valor <= 0,
             "  Valor incorreto do parâmetro \"m2\" do canal da bacia de acumulação.  ",
             "eProfBacia", B},
            {!ccTriangular && cc.Z.Valor <= 0,
             "  Valor incorreto da inclinação da parede do canal da bacia de acumulação.  ",
             "eProfBacia", B},
            {cc.nc.Valor <= 0,
             "  Valor incorreto do coeficiente de rugosidade hidráulica do canal da bacia de "
             "acumulação.  ",
             "eProfBacia", B},
            {cc.Sc <= 0, "  Valor incorreto da declividade do canal da bacia de acumulação.  ",
             "eProfBacia", B},
        }))
        return f;

    const bool triangular = e.TipoCanal.Valor == CANAL_TRIANGULAR;
    const char* msgParede = "  Valor incorreto da declividade da parede do canal da estrada.  ";
    return UltimaFalha({
        {triangular && e.Sm.Valor <= 0, msgParede, "em2", E},
        {triangular && e.Z.Valor <= 0, msgParede, "em1", E},
        {!triangular && e.B() <= 0, "  Valor incorreto da base do canal da estrada.  ", "ValorB",
         E},
        {!triangular && e.Z.Valor <= 0, msgParede, "ValorZ", E},
        {e.Sc <= 0, "  Valor incorreto da declividade do canal da estrada.  ", "eSc", E},
        {e.nc.Valor <= 0, "  Valor incorreto da rugosidade do canal da estrada.  ", "enc", E},
        {e.Comprimento() < 1, "  Valor incorreto do comprimento do canal da estrada.  ", "eCanComp",
         E},
        {e.TalCritica <= 0, "  Valor incorreto da tensão crítica de cisalhamento do canal.  ",
         "eTalCritica", E},
        {e.Erodibilidade <= 0, "  Valor incorreto da erodibilidade do canal.  ", "eErodibilidade",
         E},
        {e.Densidade <= 0, "  Valor incorreto da densidade do canal.  ", "eDensidade", E},
        {e.Aprofundamento <= 0, "  Valor incorreto do aprofundamento do canal.  ",
         "eAprofundamento", E},
    });
}
