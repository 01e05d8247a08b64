#include "idf/Tarsio21Comp.h"

void TTarsio21::Limpar() {
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

bool TTarsio21::Ler(TArquivoIni& ini) {
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

bool TTarsio21::Gravar(TArquivoIni& ini) {
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
