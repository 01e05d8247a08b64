#include "idf/EstacoesUsuario.h"

#include "comum/ArquivoIni.h"
#include "comum/LeitorCsv.h"
#include "comum/Numeros.h"
#include "comum/Win1252.h"
#include "idf/AjusteIdf.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

// A consulta guarda as coordenadas sem hemisfério, como graus ao sul e a oeste: o território
// ao sul do equador, com folga para as ilhas costeiras.
constexpr double LatitudeNorte = 0, LatitudeSul = 33.8;
constexpr double LongitudeLeste = 28.8, LongitudeOeste = 74.1;
constexpr double DuracaoMaxima = 10080; // uma semana, em minutos
constexpr double TrMaximo = 10000;      // anos
constexpr double ErroMaximoPct = 1000;
// Nenhuma série de leituras diárias passa disto.
constexpr double AnosSerieMaximo = 1000;
constexpr std::size_t MaxFonte = 500;

// Um número de um campo: o rótulo do editor, com a unidade, e a faixa.
struct TCampoNumero {
    const char* Coluna;
    const char* Rotulo;
    double TEstacaoUsuario::*Membro;
    double Minimo;
    bool MinimoIncluido;
    double Maximo;
    const char* PorQue; // o que a faixa representa, quando não é óbvio
};

// K, a, b e c: as faixas da página de dados, para que a estação escolhida nunca seja recusada
// depois, no projeto.
constexpr TCampoNumero CamposNumero[] = {
    {"latitude", "Latitude (graus decimais, sul positivo)", &TEstacaoUsuario::Latitude,
     LatitudeNorte, true, LatitudeSul,
     "a consulta representa o território brasileiro ao sul do equador, sem latitudes ao norte"},
    {"longitude", "Longitude (graus decimais, oeste positivo)", &TEstacaoUsuario::Longitude,
     LongitudeLeste, true, LongitudeOeste, "território brasileiro"},
    {"K", "K", &TEstacaoUsuario::K, 0, false, KMaximoIdf, nullptr},
    {"a", "a", &TEstacaoUsuario::A, 0, false, AMaximoIdf, nullptr},
    {"b", "b (min)", &TEstacaoUsuario::B, 0, false, BMaximoIdf, nullptr},
    {"c", "c", &TEstacaoUsuario::C, 0, false, CMaximoIdf, nullptr},
};

std::string Num(double v, char separador = ',') {
    return FloatToStr(v, separador);
}

void Texto(const std::string& valor, const char* rotulo, std::size_t maximo) {
    if (valor.empty()) throw EMorvendo(std::string("O campo ") + rotulo + " está vazio.");
    if (!win1252::Representavel(valor))
        throw EMorvendo(std::string("O campo ") + rotulo +
                        " tem caracteres que o programa não grava (use letras, algarismos e "
                        "sinais comuns).");
    if (const auto n = win1252::DeUtf8(valor).size(); n > maximo)
        throw EMorvendo(std::string("O campo ") + rotulo + " tem " + std::to_string(n) +
                        " caracteres; o máximo é " + std::to_string(maximo) + ".");
}

// "O campo X deve estar entre 0 e 1 (lido: 2)."
[[noreturn]] void ForaDaFaixa(const char* rotulo, const std::string& faixa, double v,
                              char separador, const char* porQue = nullptr) {
    throw EMorvendo(std::string("O campo ") + rotulo + " deve " + faixa +
                    " (lido: " + Num(v, separador) + ")" +
                    (porQue ? std::string(": ") + porQue : std::string()) + ".");
}

// Anos da série: inteiro, ou 0 quando a equação não veio de uma série.
void ConferirAnosSerie(double anos, char separador) {
    if (!(anos == 0 || (anos >= 1 && anos <= AnosSerieMaximo && anos == std::trunc(anos))))
        ForaDaFaixa("Anos da série de chuvas diárias",
                    "ficar vazio ou ser um número inteiro de 1 a " + Num(AnosSerieMaximo), anos,
                    separador);
}

std::string Aparar(const std::string& s) {
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

// Uma coordenada decimal que é um segundo exato não é exata em binário; a folga evita que
// a truncagem a leve ao segundo anterior (a mesma da tabela distribuída).
std::string Graus(double v) {
    return TextoGraus(std::fabs(v) + 1e-9);
}

// Colunas opcionais, vazias quando não se sabe: faixas (0 em memória) e erros do ajuste.
constexpr std::pair<const char*, double TEstacaoUsuario::*> ColunasOpcionais[] = {
    {"duracao_min", &TEstacaoUsuario::DuracaoMin},
    {"duracao_max", &TEstacaoUsuario::DuracaoMax},
    {"tr_min", &TEstacaoUsuario::TrMin},
    {"tr_max", &TEstacaoUsuario::TrMax},
};
constexpr std::pair<const char*, std::optional<double> TEstacaoUsuario::*> ColunasErros[] = {
    {"erro_rms_pct", &TEstacaoUsuario::ErroRmsPct},
    {"erro_max_pct", &TEstacaoUsuario::ErroMaximoPct},
};

bool ColunaConhecida(const std::string& nome) {
    const TTabelaCsv so{{nome}, {}};
    for (const char* c : {"uf", "estacao", "latitude", "longitude", "K", "a", "b", "c", "fonte"})
        if (so.Coluna(c) == 0) return true;
    for (const auto& [c, m] : ColunasOpcionais)
        if (so.Coluna(c) == 0) return true;
    for (const auto& [c, m] : ColunasErros)
        if (so.Coluna(c) == 0) return true;
    return so.Coluna("anos_serie") == 0;
}

std::string& PastaRegistrada() {
    static std::string pasta;
    return pasta;
}

} // namespace

const TEstacaoUsuario* ProcurarEstacaoUsuario(const std::vector<TEstacaoUsuario>& lista, int estado,
                                              std::string_view nome) {
    for (const auto& e : lista)
        if (e.Estado == estado && e.Nome == nome) return &e;
    return nullptr;
}

void ConferirEstacaoUsuario(const TEstacaoUsuario& e, char sep) {
    if (e.Estado < 0 || e.Estado >= NumeroEstados)
        throw EMorvendo("O campo Estado deve ser um dos 27 estados.");
    Texto(e.Nome, "Nome", MaxNome);
    for (const auto& c : CamposNumero) {
        const double v = e.*c.Membro;
        if (!std::isfinite(v))
            throw EMorvendo(std::string("O campo ") + c.Rotulo + " deve ser um número.");
        if (!((c.MinimoIncluido ? v >= c.Minimo : v > c.Minimo) && v <= c.Maximo))
            ForaDaFaixa(c.Rotulo,
                        c.MinimoIncluido
                            ? "estar entre " + Num(c.Minimo) + " e " + Num(c.Maximo)
                            : "ser maior que " + Num(c.Minimo) + " e no máximo " + Num(c.Maximo),
                        v, sep, c.PorQue);
    }
    const std::pair<const char*, double> duracoes[] = {{"Duração mínima (min)", e.DuracaoMin},
                                                       {"Duração máxima (min)", e.DuracaoMax}};
    for (const auto& [rotulo, d] : duracoes)
        if (!(d == 0 || (d > 0 && d <= DuracaoMaxima)))
            ForaDaFaixa(rotulo, "ficar vazio ou estar entre 0 e 10080", d, sep);
    if (e.DuracaoMin > 0 && e.DuracaoMax > 0 && !(e.DuracaoMin < e.DuracaoMax))
        throw EMorvendo("O campo Duração mínima (min) deve ser menor que a Duração máxima.");
    const std::pair<const char*, double> trs[] = {{"Período de retorno mínimo (anos)", e.TrMin},
                                                  {"Período de retorno máximo (anos)", e.TrMax}};
    for (const auto& [rotulo, tr] : trs)
        if (!(tr == 0 || (tr >= 1 && tr <= TrMaximo)))
            ForaDaFaixa(rotulo, "ficar vazio ou estar entre 1 e 10000", tr, sep);
    if (e.TrMin > 0 && e.TrMax > 0 && !(e.TrMin < e.TrMax))
        throw EMorvendo("O campo Período de retorno mínimo (anos) deve ser menor que o Período "
                        "de retorno máximo.");
    const std::pair<const char*, const std::optional<double>*> erros[] = {
        {"Erro RMS do ajuste (%)", &e.ErroRmsPct}, {"Maior erro do ajuste (%)", &e.ErroMaximoPct}};
    for (const auto& [rotulo, erro] : erros)
        if (*erro && !(std::isfinite(**erro) && **erro >= 0 && **erro <= ErroMaximoPct))
            ForaDaFaixa(rotulo, "ficar vazio ou estar entre 0 e 1000", **erro, sep);
    ConferirAnosSerie(e.AnosSerie, sep);
    Texto(e.Fonte, "Fonte", MaxFonte);
}

void DefinirAjuste(TEstacaoUsuario& e, const TResultadoAjusteIdf& r) {
    e.K = r.Parametros.K;
    e.A = r.Parametros.A;
    e.B = r.Parametros.B;
    e.C = r.Parametros.C;
    e.DuracaoMin = r.DuracaoMin;
    e.DuracaoMax = r.DuracaoMax;
    e.TrMin = r.TrMin;
    e.TrMax = r.TrMax;
    e.ErroRmsPct = 100 * r.ErroRms;
    e.ErroMaximoPct = 100 * r.ErroMaximo;
}

std::string TextoErrosAjuste(const TInfoEstacaoIdf& e) {
    if (!e.ErroRmsPct && !e.ErroMaximoPct) return {};
    auto pct = [](const std::optional<double>& v) {
        return v ? FormatFloat("0.0#", *v, ',') + " %" : std::string("não informado");
    };
    return "RMS " + pct(e.ErroRmsPct) + ", maior " + pct(e.ErroMaximoPct);
}

TEstacao EstacaoDoBanco(const TEstacaoUsuario& e) {
    TEstacao r;
    r.Nome = e.Nome;
    r.K = e.K;
    r.A = e.A;
    r.B = e.B;
    r.C = e.C;
    r.Autor = AutorEstacaoUsuario;
    r.Latitude = Graus(e.Latitude);
    r.Longitude = Graus(e.Longitude);
    r.DoUsuario = true;
    return r;
}

TInfoEstacaoIdf InfoEstacaoUsuario(const TEstacaoUsuario& e) {
    TInfoEstacaoIdf i;
    i.Uf = CodigoEstado(e.Estado);
    i.Estacao = e.Nome;
    i.Chave = AutorEstacaoUsuario;
    i.K = e.K;
    i.A = e.A;
    i.B = e.B;
    i.C = e.C;
    i.DuracaoMin = e.DuracaoMin;
    i.DuracaoMax = e.DuracaoMax;
    i.DoUsuario = true;
    i.Fonte = e.Fonte;
    i.TrMin = e.TrMin;
    i.TrMax = e.TrMax;
    i.ErroRmsPct = e.ErroRmsPct;
    i.ErroMaximoPct = e.ErroMaximoPct;
    i.AnosSerie = e.AnosSerie;
    return i;
}

TArquivoEstacoesUsuario LerArquivoEstacoesUsuario(std::string_view texto,
                                                  const std::string& nomeArquivo) {
    TTabelaCsv t = LerCsvTexto(texto, nomeArquivo);
    for (const char* c : {"uf", "estacao", "latitude", "longitude", "K", "a", "b", "c", "fonte"})
        if (t.Coluna(c) < 0)
            throw EMorvendo(nomeArquivo + ", linha 1: falta a coluna " + c +
                            " (as colunas são as da tabela de estações: uf, estacao, latitude, "
                            "longitude, K, a, b, c, fonte, duracao_min, duracao_max).");
    // Campos além do cabeçalho: colunas sem nome, para que voltem ao arquivo.
    for (const auto& l : t.Registros)
        if (l.Campos.size() > t.Cabecalho.size()) t.Cabecalho.resize(l.Campos.size());
    // Colunas que o programa não conhece (e a repetição de uma que conhece, que a leitura não
    // usa): ficam com a estação e voltam ao arquivo.
    TArquivoEstacoesUsuario r;
    std::vector<std::size_t> outras;
    for (std::size_t c = 0; c < t.Cabecalho.size(); ++c)
        if (!ColunaConhecida(t.Cabecalho[c]) || t.Coluna(t.Cabecalho[c]) != static_cast<int>(c)) {
            outras.push_back(c);
            r.OutrasColunas.push_back(t.Cabecalho[c]);
        }
    for (const auto& l : t.Registros) {
        const std::string onde = nomeArquivo + ", linha " + std::to_string(l.Linha) + ", campo ";
        auto campo = [&](const char* coluna) {
            const int i = t.Coluna(coluna);
            return i >= 0 && static_cast<std::size_t>(i) < l.Campos.size() ? Aparar(l.Campos[i])
                                                                           : std::string();
        };
        auto numero = [&](const char* coluna) {
            const auto v = TentarTextoParaReal(campo(coluna), '.');
            if (!v || !std::isfinite(*v))
                throw EMorvendo(onde + coluna + ": \"" + campo(coluna) +
                                "\" não é um número (use ponto decimal).");
            return *v;
        };
        TEstacaoUsuario e;
        e.Estado = IndiceEstadoPorCodigo(campo("uf"));
        if (e.Estado < 0)
            throw EMorvendo(onde + "uf: \"" + campo("uf") + "\" não é a sigla de um estado.");
        e.Nome = campo("estacao");
        e.Fonte = campo("fonte");
        for (const auto& c : CamposNumero)
            e.*c.Membro = numero(c.Coluna);
        for (const auto& [coluna, membro] : ColunasOpcionais)
            if (!campo(coluna).empty()) e.*membro = numero(coluna);
        for (const auto& [coluna, membro] : ColunasErros)
            if (!campo(coluna).empty()) e.*membro = numero(coluna);
        for (const std::size_t c : outras)
            e.OutrasColunas.emplace_back(t.Cabecalho[c],
                                         c < l.Campos.size() ? l.Campos[c] : std::string());
        // "-0" é o equador, como "0": nunca volta ao arquivo com sinal.
        e.Latitude += 0.0;
        const double anosSerie = campo("anos_serie").empty() ? 0 : numero("anos_serie");
        try {
            // Conferido antes de virar inteiro: 1e300 não cabe num int.
            ConferirAnosSerie(anosSerie, '.');
            e.AnosSerie = static_cast<int>(anosSerie);
            ConferirEstacaoUsuario(e, '.');
        } catch (const EMorvendo& erro) {
            // A mensagem do campo ("O campo K deve ...") ganha o lugar no arquivo.
            std::string m = erro.what();
            if (m.rfind("O campo ", 0) == 0) m = m.substr(8);
            throw EMorvendo(onde + m);
        }
        if (const auto* outra = ProcurarEstacaoUsuario(r.Estacoes, e.Estado, e.Nome))
            throw EMorvendo(onde + "estacao: a estação \"" + e.Nome + "\" de " +
                            NomeEstado(e.Estado) + " já está na linha " +
                            std::to_string(r.Linhas[std::size_t(outra - r.Estacoes.data())]) +
                            "; o nome de uma estação não se repete no mesmo estado.");
        r.Estacoes.push_back(std::move(e));
        r.Linhas.push_back(l.Linha);
    }
    return r;
}

std::vector<TEstacaoUsuario> LerCsvEstacoesUsuario(std::string_view texto,
                                                   const std::string& nomeArquivo) {
    return LerArquivoEstacoesUsuario(texto, nomeArquivo).Estacoes;
}

namespace {

// As colunas do usuário a gravar: as do arquivo e, depois, as que alguma estação traz a mais
// (um nome repetido numa estação pede tantas colunas quantas vezes ele aparece).
std::vector<std::string> ColunasDoUsuario(const std::vector<TEstacaoUsuario>& estacoes,
                                          std::vector<std::string> colunas) {
    for (const auto& e : estacoes) {
        std::vector<bool> usada(colunas.size(), false);
        for (const auto& [nome, valor] : e.OutrasColunas) {
            std::size_t j = 0;
            while (j < colunas.size() && (usada[j] || colunas[j] != nome))
                ++j;
            if (j == colunas.size()) {
                colunas.push_back(nome);
                usada.push_back(false);
            }
            usada[j] = true;
        }
    }
    return colunas;
}

} // namespace

std::string CsvEstacoesUsuario(const std::vector<TEstacaoUsuario>& estacoes,
                               const std::vector<std::string>& outrasColunas) {
    auto aspas = [](const std::string& s) { return CampoCsv(s); };
    auto opcional = [](double d) { return d > 0 ? RealExato(d) : std::string(); };
    const auto outras = ColunasDoUsuario(estacoes, outrasColunas);
    std::string s = "uf,estacao,latitude,longitude,K,a,b,c,fonte";
    for (const auto& [coluna, membro] : ColunasOpcionais)
        s += std::string(",") + coluna;
    for (const auto& [coluna, membro] : ColunasErros)
        s += std::string(",") + coluna;
    s += ",anos_serie";
    for (const auto& nome : outras)
        s += "," + aspas(nome);
    s += "\n";
    for (const auto& e : estacoes) {
        s += CodigoEstado(e.Estado) + "," + aspas(e.Nome) + "," + RealExato(e.Latitude) + "," +
             RealExato(e.Longitude) + "," + RealExato(e.K) + "," + RealExato(e.A) + "," +
             RealExato(e.B) + "," + RealExato(e.C) + "," + aspas(e.Fonte);
        for (const auto& [coluna, membro] : ColunasOpcionais)
            s += "," + opcional(e.*membro);
        for (const auto& [coluna, membro] : ColunasErros)
            s += "," + (e.*membro ? RealExato(*(e.*membro)) : std::string());
        s += "," + (e.AnosSerie > 0 ? std::to_string(e.AnosSerie) : std::string());
        // Cada valor na primeira coluna livre do seu nome, na ordem em que a estação os traz.
        std::vector<std::string> valores(outras.size());
        std::vector<bool> usada(outras.size(), false);
        for (const auto& [nome, valor] : e.OutrasColunas) {
            std::size_t j = 0;
            while (usada[j] || outras[j] != nome)
                ++j;
            usada[j] = true;
            valores[j] = valor;
        }
        for (const auto& v : valores)
            s += "," + aspas(v);
        s += "\n";
    }
    return s;
}

std::string PastaDadosUsuarioPadrao() {
    if (const char* p = std::getenv("MORVENDO_DADOS_USUARIO"); p && *p) return p;
    std::string base;
    // Como o Qt: XDG_DATA_HOME só vale quando é um caminho absoluto.
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/')
        base = x;
    else if (const char* h = std::getenv("HOME"); h && *h)
        base = std::string(h) + "/.local/share";
    else
        return {};
    return base + "/Morvendo/Morvendo";
}

void DefinirPastaDadosUsuario(std::string pasta) {
    PastaRegistrada() = std::move(pasta);
}

const std::string& PastaDadosUsuario() {
    return PastaRegistrada();
}

std::vector<TInfoEstacaoIdf> InfoEstacoesUsuario() {
    std::vector<TInfoEstacaoIdf> r;
    if (PastaRegistrada().empty()) return r;
    TEstacoesUsuario u(PastaRegistrada());
    try {
        u.Carregar();
    } catch (const EMorvendo&) {
        // A consulta mostra o erro do arquivo; o relatório só deixa de citar a estação.
        return r;
    }
    for (const auto& e : u.Lista())
        r.push_back(InfoEstacaoUsuario(e));
    return r;
}

// ---- TEstacoesUsuario ----

TEstacoesUsuario::TEstacoesUsuario(std::string pasta) : FPasta(std::move(pasta)) {}

std::string TEstacoesUsuario::Caminho() const {
    if (FPasta.empty()) return {};
    return (std::filesystem::path(FPasta) / NomeArquivoEstacoesUsuario).string();
}

void TEstacoesUsuario::Carregar() {
    FLista.clear();
    FOutrasColunas.clear();
    FErroArquivo.clear();
    if (FPasta.empty()) return;
    const auto caminho = Caminho();
    std::string bytes;
    try {
        bytes = LerArquivoDados(caminho);
    } catch (const EArquivoNaoExiste&) {
        return;
    } catch (const EMorvendo& e) {
        FErroArquivo = e.what();
        throw;
    }
    try {
        auto lido = LerArquivoEstacoesUsuario(bytes, caminho);
        FLista = std::move(lido.Estacoes);
        FOutrasColunas = std::move(lido.OutrasColunas);
    } catch (const EMorvendo& e) {
        FErroArquivo = e.what();
        throw EMorvendo("Suas estações não foram carregadas: " + FErroArquivo);
    }
}

void TEstacoesUsuario::ConferirRepetida(const TEstacaoUsuario& e, std::size_t exceto) const {
    for (std::size_t i = 0; i < FLista.size(); ++i)
        if (i != exceto && FLista[i].Estado == e.Estado && FLista[i].Nome == e.Nome)
            throw EMorvendo("Já existe entre as suas estações uma com o nome \"" + e.Nome +
                            "\" em " + NomeEstado(e.Estado) + " (linha " + std::to_string(i + 1) +
                            " de Minhas estações); o nome de uma estação não se repete no "
                            "mesmo estado.");
}

void TEstacoesUsuario::Adicionar(const TEstacaoUsuario& e) {
    ConferirEstacaoUsuario(e);
    ConferirRepetida(e, FLista.size());
    auto nova = FLista;
    nova.push_back(e);
    Gravar(std::move(nova));
}

void TEstacoesUsuario::Substituir(std::size_t i, const TEstacaoUsuario& e) {
    if (i >= FLista.size()) throw EMorvendo("A estação escolhida não existe mais.");
    ConferirEstacaoUsuario(e);
    ConferirRepetida(e, i);
    auto nova = FLista;
    nova[i] = e;
    Gravar(std::move(nova));
}

void TEstacoesUsuario::Remover(std::size_t i) {
    if (i >= FLista.size()) throw EMorvendo("A estação escolhida não existe mais.");
    auto nova = FLista;
    nova.erase(nova.begin() + static_cast<std::ptrdiff_t>(i));
    Gravar(std::move(nova));
}

std::size_t TEstacoesUsuario::Importar(const std::string& caminhoCsv) {
    const auto nome = std::filesystem::path(caminhoCsv).filename().string();
    // As repetidas dentro do arquivo, o leitor já recusa com as duas linhas.
    const auto lido = LerArquivoEstacoesUsuario(LerArquivoDados(caminhoCsv), nome);
    if (lido.Estacoes.empty()) throw EMorvendo("O arquivo " + nome + " não tem nenhuma estação.");
    for (std::size_t i = 0; i < lido.Estacoes.size(); ++i) {
        try {
            ConferirRepetida(lido.Estacoes[i], FLista.size());
        } catch (const EMorvendo& e) {
            throw EMorvendo(nome + ", linha " + std::to_string(lido.Linhas[i]) +
                            ", campo estacao: " + e.what());
        }
    }
    auto nova = FLista;
    nova.insert(nova.end(), lido.Estacoes.begin(), lido.Estacoes.end());
    Gravar(std::move(nova));
    return lido.Estacoes.size();
}

void TEstacoesUsuario::Gravar(std::vector<TEstacaoUsuario> nova) {
    if (FPasta.empty())
        throw EMorvendo("Não há pasta de dados do usuário onde gravar as estações.");
    if (!FErroArquivo.empty())
        throw EMorvendo("O arquivo " + Caminho() +
                        " tem erros e não será sobrescrito; corrija-o ou remova-o. " +
                        FErroArquivo);
    std::error_code ec;
    std::filesystem::create_directories(FPasta, ec);
    if (ec)
        throw EEntradaSaida("Não foi possível criar a pasta " + FPasta +
                            " para gravar as suas estações.");
    GravarArquivoAtomico(Caminho(), CsvEstacoesUsuario(nova, FOutrasColunas));
    FOutrasColunas = ColunasDoUsuario(nova, std::move(FOutrasColunas));
    FLista = std::move(nova);
}
