#include "dialogs/TabelasParametros.h"

#include "engine/Terreno.h"

const std::array<TLinhaRugCan, 9> TABELA_RUGCAN = {{
    {"Canal de terra retilíneo e uniforme", "&Limpo, recentemente construído", "0,016", "0,018",
     "0,020"},
    {"Canal de terra retilíneo e uniforme", "L&impo, mas já tendo sofrido intemperismo", "0,018",
     "0,022", "0,025"},
    {"Canal de terra retilíneo e uniforme", "&Encascalhado, seção uniforme, limpo", "0,022",
     "0,025", "0,030"},
    {"Canal de terra retilíneo e uniforme", "Co&m grama curta, poucas ervas daninhas", "0,022",
     "0,027", "0,033"},
    {"Canal de terra sinuoso", "&Sem vegetação", "0,023", "0,025", "0,030"},
    {"Canal de terra sinuoso", "&Grama, algumas ervas daninhas", "0,025", "0,030", "0,033"},
    {"Canal de terra sinuoso", "E&rvas daninhas densas, plantas aquáticas em canais profundos",
     "0,030", "0,035", "0,040"},
    {"Canal de terra sinuoso", "&Fundo em terra e margens de pedra", "0,028", "0,030", "0,035"},
    {"Canal de terra sinuoso", "Fun&do pedregoso e margens com ervas daninhas", "0,025", "0,035",
     "0,040"},
}};

const char* const CITACAO_RUGCAN =
    "Fonte: CHOW, V. T. Open-channel hydraulics. New York: McGraw-Hill, 1959 "
    "(tabela 5-6, canais escavados em terra).";

const std::array<TLinhaRugTer, 19> TABELA_RUGTER = {{
    {"Cultura em linha", "Preparo primário com aiveca", "&Superfície plana", "0,070-0,100",
     "0,085"},
    {"Cultura em linha", "Preparo primário com aiveca", "S&uperfície cultivada", "0,090-0,120",
     "0,110"},
    {"Cultura em linha", "Escarificador", "Super&fície plana", "0,080-0,120", "0,100"},
    {"Cultura em linha", "Escarificador", "Sup&erfície cultivada", "0,100-0,140", "0,120"},
    {"Sem preparo", "", "&Resíduo normal", "0,100-0,150", "0,120"},
    {"Sem preparo", "", "&Muito resíduo", "0,130-0,170", "0,150"},
    {"Grama ou pastagem", "", "&Pouca cobertura", "0,065-0,100", "0,080"},
    {"Grama ou pastagem", "", "Cober&tura média", "0,090-0,120", "0,100"},
    {"Grama ou pastagem", "", "&Boa cobertura", "0,100-0,140", "0,120"},
    {"Pequenos grãos", "", "Resí&duos removidos", "0,090-0,120", "0,100"},
    {"Pequenos grãos", "", "Resíduos &incorporados", "0,110-0,140", "0,120"},
    {"Florestas ou áreas de reflorestamento", "", "Árvores pe&quenas", "0,120-0,180", "0,150"},
    {"Florestas ou áreas de reflorestamento", "", "Árvores &grandes", "0,150-0,250", "0,200"},
    {"Terra arada", "Arado de aiveca", "Superfície p&lana", "0,010-0,050", "0,035"},
    {"Terra arada", "Arado de aiveca", "Superfície rugos&a", "0,250-0,500", "0,350"},
    {"Terra arada", "Escarificador", "Superfície pla&na", "0,030-0,080", "0,050"},
    {"Terra arada", "Escarificador", "Superfície rugosa", "0,150-0,500", "0,250"},
    {"Terra arada", "Arado de disco", "Superfície plana", "0,030-0,070", "0,040"},
    {"Terra arada", "Arado de disco", "Superfície rugosa", "0,100-0,400", "0,200"},
}};

const char* const CITACAO_RUGTER =
    "Fonte: HAAN, C. T.; BARFIELD, B. J.; HAYES, J. C. Design hydrology and sedimentology for "
    "small catchments. San Diego: Academic Press, 1994 (rugosidade para escoamento superficial).";

const std::array<TLinhaZ, 6> TABELA_Z = {{
    {" &Rocha firme", 0.25},
    {" Roc&ha fissurada", 0.50},
    {" &Solo firme", 1.00},
    {" So&lo argilo-arenoso", 1.50},
    {" Solo &areno-argiloso", 2.50},
    {" Ou&tros", 0},
}};

const char* const CITACAO_Z = "Fonte: AZEVEDO NETTO, J. M. et al. Manual de hidráulica. 8. ed. "
                              "São Paulo: Edgard Blücher, 1998 (taludes de canais).";

std::string ValorDaTabela(const char* texto, char separadorDecimal) {
    std::string r = texto;
    if (r.size() > 1) r[1] = separadorDecimal;
    return r;
}

TReacaoUsoTerra ReacaoUsoTerra(int usoTerra) {
    TReacaoUsoTerra r;
    switch (usoTerra) {
    case 0: // solo nu: só fileiras retas, sem condição
        r.TratamentoHabilitado = {true, false, false};
        r.Tratamento = 1;
        r.ItemTratamento = 0;
        break;
    case 1:
    case 2:
    case 3: // culturas: a tabela não tem a condição regular
        r.TratamentoHabilitado = {true, true, true};
        r.CondicaoHabilitada = {true, false, true};
        r.Tratamento = 1;
        r.Condicao = 1;
        r.ItemTratamento = 0;
        r.ItemCondicao = 0;
        break;
    case 4: // pastagem: só em curvas de nível
        r.TratamentoHabilitado = {false, true, false};
        r.CondicaoHabilitada = {true, true, true};
        r.Tratamento = 2;
        r.Condicao = 1;
        r.ItemTratamento = 1;
        r.ItemCondicao = 0;
        break;
    case 5: // floresta: sem tratamento
        r.CondicaoHabilitada = {true, true, true};
        r.Condicao = 1;
        r.ItemCondicao = 0;
        break;
    default:
        break;
    }
    return r;
}

TIndicesCobertura IndicesConfirmados(int itemUso, int itemTratamento, int itemCondicao) {
    TIndicesCobertura r{itemUso, itemTratamento + 1, itemCondicao + 1};
    if (r.UsoTerra == 5) r.Tratamento = 0;
    if (r.UsoTerra == 0) r.Condicao = 0;
    return r;
}

std::string DescricaoCobertura(int itemUso, int itemTratamento, int itemCondicao) {
    // Os nomes são os do registro; tratamento e condição começam no índice 1.
    std::string r;
    if (itemUso >= 0 && itemUso < TUsoTerra::Quantidade)
        r = std::string(TUsoTerra::Nomes[itemUso]) + "; ";
    if (itemTratamento >= 0 && itemTratamento + 1 < TTratamento::Quantidade)
        r += std::string(TTratamento::Nomes[itemTratamento + 1]) + "; ";
    if (itemCondicao >= 0 && itemCondicao + 1 < TCondicaoHidrologica::Quantidade)
        r += TCondicaoHidrologica::Nomes[itemCondicao + 1];
    return r;
}
