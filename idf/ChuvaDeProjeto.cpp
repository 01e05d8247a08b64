#include "idf/ChuvaDeProjeto.h"

#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "idf/BancoEstacoes.h"

#include <filesystem>

namespace {

// Texto vazio também é erro: um quadro vazio não é um parâmetro.
double ParametroDoQuadro(const std::string& texto) {
    if (const auto v = TentarTextoParaReal(texto, SeparadorDecimalLocal())) return *v;
    throw EMorvendo("'" + texto + "' não é um número válido");
}

// A máscara vazia do campo de coordenada do programa principal vale como "sem coordenada".
bool CoordenadaDada(const std::string& texto) {
    return !texto.empty() && texto != "  °  '  \"";
}

} // namespace

void TChuvaDeProjeto::Limpar() {
    FPrecipitacao->Limpar();
    Latitude.clear();
    Longitude.clear();
    StrCidade.clear();
    StrEstado.clear();
    Secao.clear();
    IndEstacao = 0;
    IndLocalidade = 0;
    IndEstado = -1;
    HelpContext = 0;
    ShowAbout = false;
}

bool TChuvaDeProjeto::Ler(TArquivoIni& ini) {
    const std::string secao = "TARSIO" + Secao;
    try {
        if (ini.LerTexto(secao, "Versao", "0") != "1") return false;
        FPrecipitacao->Ler(ini);
        Latitude = ini.LerTexto(secao, "Latitude", "");
        Longitude = ini.LerTexto(secao, "Longitude", "");
        IndEstacao = std::int16_t(ini.LerInteiro(secao, "IndEstacao", -1));
        IndLocalidade = std::int16_t(ini.LerInteiro(secao, "IndLocalidade", -1));
        StrCidade = ini.LerTexto(secao, "StrCidade", "");
        IndEstado = std::int16_t(ini.LerInteiro(secao, "IndEstado", -1));
        StrEstado = ini.LerTexto(secao, "StrEstado", "");
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TChuvaDeProjeto::Gravar(TArquivoIni& ini) {
    const std::string secao = "TARSIO" + Secao;
    ini.EscreverTexto(secao, "Versao", "1");
    FPrecipitacao->Gravar(ini);
    ini.EscreverTexto(secao, "Latitude", Latitude);
    ini.EscreverTexto(secao, "Longitude", Longitude);
    ini.EscreverInteiro(secao, "IndEstacao", IndEstacao);
    ini.EscreverInteiro(secao, "IndLocalidade", IndLocalidade);
    ini.EscreverTexto(secao, "StrCidade", StrCidade);
    ini.EscreverInteiro(secao, "IndEstado", IndEstado);
    ini.EscreverTexto(secao, "StrEstado", StrEstado);
    return true;
}

bool TChuvaDeProjeto::Executar(const std::string& pastaComuns,
                               const TCriarDialogoConsulta& criarDialogo) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(pastaComuns, ec))
        throw EMorvendo("Erro. Não foi possível localizar a pasta contendo o banco de dados.");
    TBancoEstacoes bd(pastaComuns);
    if (!fs::exists(bd.CaminhoEstacoes(), ec))
        throw EMorvendo("Erro. Não foi possível localizar o banco de dados contendo os estados.");
    if (!fs::exists(bd.CaminhoLocalidades(), ec))
        throw EMorvendo(
            "Erro. Não foi possível localizar o banco de dados contendo as localidades.");

    const auto dialogo = criarDialogo();
    dialogo->DefinirHelpContext(HelpContext);
    if (IndEstado < 0) throw EMorvendo("É necessário entrar com um índice para o estado");
    dialogo->DefinirEstado(IndEstado);
    dialogo->DefinirPosicoes(IndEstacao, IndLocalidade);
    dialogo->DefinirMostrarSobre(ShowAbout);
    if (CoordenadaDada(Latitude)) dialogo->LerLatitude(Latitude);
    if (CoordenadaDada(Longitude)) dialogo->LerLongitude(Longitude);

    const auto r = dialogo->Mostrar();
    if (!r) return false;

    // Tudo conferido antes de mudar qualquer coisa: um quadro vazio (ponto fora da área do
    // estado) não deixa o componente pela metade.
    const std::string nomeEstado = NomeEstado(r->IndEstado);
    const double k = ParametroDoQuadro(r->PrecK);
    const double a = ParametroDoQuadro(r->PrecA);
    const double b = ParametroDoQuadro(r->PrecB);
    const double c = ParametroDoQuadro(r->PrecC);
    TPrecipitacaoExponencialNegativa prova;
    prova.K(k);
    prova.A(a);
    prova.B(b);
    prova.C(c);

    IndEstado = static_cast<std::int16_t>(r->IndEstado);
    StrEstado = nomeEstado;
    FPrecipitacao->K(k);
    FPrecipitacao->A(a);
    FPrecipitacao->B(b);
    FPrecipitacao->C(c);
    FAutoria = r->Autoria;
    Latitude = r->StrLatitude;
    Longitude = r->StrLongitude;
    IndEstacao = r->IndEstacao;
    IndLocalidade = r->IndLocalidade;
    StrCidade = r->StrCidade;
    return true;
}
