#include "project/Projeto.h"

#include <exception>
#include <filesystem>

#include "comum/EMorvendo.h"

const char* const ABA_ESTRADA = "Estrada";
const char* const ABA_BACIAS = "Bacias de acumulação";
const char* const ABA_PRECIPITACAO = "Precipitação";

void ZerarVariaveis(TProjeto& p) {
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

void EscreverProjeto(TProjeto& p, const std::string& caminho) {
    TArquivoIni ini(caminho);
    FixarCoberturaLeitoProjeto(p);
    p.Estrada.Gravar(ini);
    p.Tarsio1.Gravar(ini);
    p.Unidades.Gravar(ini);
    ini.EscreverTexto("PRINCIPAL", "StrCoberVeg", p.StrCoberVeg);
    ini.EscreverTexto("VERSAO", "Versao", "1");
    ini.Salvar();
}

bool LerProjeto(TProjeto& p, const std::string& caminho) {
    if (!std::filesystem::is_regular_file(caminho))
        throw EArquivoNaoExiste(std::filesystem::is_directory(caminho)
                                    ? caminho + " é uma pasta, não um arquivo de projeto."
                                : std::filesystem::exists(caminho)
                                    ? caminho + " não é um arquivo de projeto."
                                    : "O arquivo " + caminho + " não foi encontrado.");
    TArquivoIni ini;
    ini.Carregar(caminho);
    if (ini.LerTexto("VERSAO", "Versao", "") != "1")
        throw EArquivoRecusado("Ocorreu um erro ao tentar ler o arquivo " + caminho + ".");

    bool leuCerto = false;
    std::exception_ptr erro;
    try {
        leuCerto = p.Tarsio1.Ler(ini) && p.Estrada.Ler(ini) && p.Unidades.Ler(ini);
    } catch (...) {
        erro = std::current_exception();
    }
    p.StrCoberVeg = ini.LerTexto("PRINCIPAL", "StrCoberVeg", "");
    FixarCoberturaLeitoProjeto(p);
    // A chuva de um arquivo antigo foi migrada no documento: vai para o disco também quando
    // a leitura parou depois da migração.
    if (ini.Modificado()) {
        try {
            ini.Salvar();
        } catch (...) {
            if (!erro) throw;
        }
    }
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
    const TEncostaCinematica& leito =
        e.Estrada.NumSecoes() > 0 ? e.Estrada.Secao(0) : vazio;
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
                {talude.St() <= 0, "  Valor incorreto da declividade do talude.  ", "eStTalude",
                 E},
                {NumeroDeCurva(talude) <= 0,
                 "  Nenhuma informação sobre cobertura vegetal no talude foi fornecida.  ",
                 "btnCoberVegTalude", E},
                {talude.VIB() <= 0,
                 "  Valor incorreto da velocidade de infiltração básica no talude.  ",
                 "eVIBTalude", E},
            }))
            return f;
    }

    const TBaciaAcumulacao& bacia = e.Bacia;
    const TCanalGradienteCustom& cc = bacia.CanalConducao;
    const bool retangular = bacia.Formato == TBaciaAcumulacao::RETANGULAR;
    const bool ccTriangular = cc.TipoCanal.Valor == CANAL_TRIANGULAR;
    if (auto f = UltimaFalha({
            {bacia.Profundidade <= 0,
             "  Valor incorreto da profundidade da bacia de acumulação.  ", "eProfBacia", B},
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
        {e.Comprimento() < 1, "  Valor incorreto do comprimento do canal da estrada.  ",
         "eCanComp", E},
        {e.TalCritica <= 0, "  Valor incorreto da tensão crítica de cisalhamento do canal.  ",
         "eTalCritica", E},
        {e.Erodibilidade <= 0, "  Valor incorreto da erodibilidade do canal.  ",
         "eErodibilidade", E},
        {e.Densidade <= 0, "  Valor incorreto da densidade do canal.  ", "eDensidade", E},
        {e.Aprofundamento <= 0, "  Valor incorreto do aprofundamento do canal.  ",
         "eAprofundamento", E},
    });
}
