#include "idf/EstacoesUsuario.h"

#include "comum/ArquivoIni.h"
#include "comum/LeitorCsv.h"
#include "comum/Numeros.h"
#include "comum/Win1252.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

// Os mesmos extremos da tabela distribuída, com folga para as ilhas costeiras.
constexpr double LatitudeNorte = -5.3, LatitudeSul = 33.8;
constexpr double LongitudeLeste = 28.8, LongitudeOeste = 74.1;
constexpr double DuracaoMaxima = 10080; // uma semana, em minutos
constexpr std::size_t MaxFonte = 500;

// Um número de um campo: o rótulo do editor, com a unidade e a faixa.
struct TCampoNumero {
    const char* Coluna;
    const char* Rotulo;
    double TEstacaoUsuario::*Membro;
};

constexpr TCampoNumero CamposNumero[] = {
    {"latitude", "Latitude (graus decimais, sul positivo)", &TEstacaoUsuario::Latitude},
    {"longitude", "Longitude (graus decimais, oeste positivo)", &TEstacaoUsuario::Longitude},
    {"K", "K", &TEstacaoUsuario::K},
    {"a", "a", &TEstacaoUsuario::A},
    {"b", "b (min)", &TEstacaoUsuario::B},
    {"c", "c", &TEstacaoUsuario::C},
};

std::string Num(double v) {
    return FormatFloat("0.0###", v, ',');
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

std::string& PastaRegistrada() {
    static std::string pasta;
    return pasta;
}

} // namespace

void ConferirEstacaoUsuario(const TEstacaoUsuario& e) {
    if (e.Estado < 0 || e.Estado >= NumeroEstados)
        throw EMorvendo("O campo Estado deve ser um dos 27 estados.");
    Texto(e.Nome, "Nome", MaxNome);
    for (const auto& c : CamposNumero)
        if (!std::isfinite(e.*c.Membro))
            throw EMorvendo(std::string("O campo ") + c.Rotulo + " deve ser um número.");
    if (!(e.Latitude >= LatitudeNorte && e.Latitude <= LatitudeSul))
        throw EMorvendo("O campo Latitude (graus, sul positivo) deve estar entre " +
                        Num(LatitudeNorte) + " e " + Num(LatitudeSul) +
                        " (território brasileiro).");
    if (!(e.Longitude >= LongitudeLeste && e.Longitude <= LongitudeOeste))
        throw EMorvendo("O campo Longitude (graus, oeste positivo) deve estar entre " +
                        Num(LongitudeLeste) + " e " + Num(LongitudeOeste) +
                        " (território brasileiro).");
    if (!(e.K > 0)) throw EMorvendo("O campo K deve ser maior que zero.");
    if (!(e.A >= 0 && e.A <= 1)) throw EMorvendo("O campo a deve estar entre 0 e 1.");
    if (!(e.B >= 0 && e.B <= 1000)) throw EMorvendo("O campo b (min) deve estar entre 0 e 1000.");
    if (!(e.C > 0 && e.C <= 3)) throw EMorvendo("O campo c deve ser maior que 0 e até 3.");
    const std::pair<const char*, double> duracoes[] = {{"Duração mínima (min)", e.DuracaoMin},
                                                       {"Duração máxima (min)", e.DuracaoMax}};
    for (const auto& [rotulo, d] : duracoes)
        if (!(d == 0 || (d > 0 && d <= DuracaoMaxima)))
            throw EMorvendo(std::string("O campo ") + rotulo +
                            " deve ficar vazio ou estar entre 0 e 10080.");
    if (e.DuracaoMin > 0 && e.DuracaoMax > 0 && !(e.DuracaoMin < e.DuracaoMax))
        throw EMorvendo("O campo Duração mínima (min) deve ser menor que a Duração máxima.");
    Texto(e.Fonte, "Fonte", MaxFonte);
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
    return i;
}

std::vector<TEstacaoUsuario> LerCsvEstacoesUsuario(std::string_view texto,
                                                   const std::string& nomeArquivo,
                                                   std::vector<int>* linhas) {
    const TTabelaCsv t = LerCsvTexto(texto, nomeArquivo);
    for (const char* c : {"uf", "estacao", "latitude", "longitude", "K", "a", "b", "c", "fonte"})
        if (t.Coluna(c) < 0)
            throw EMorvendo(nomeArquivo + ", linha 1: falta a coluna " + c +
                            " (as colunas são as da tabela de estações: uf, estacao, latitude, "
                            "longitude, K, a, b, c, fonte, duracao_min, duracao_max).");
    std::vector<TEstacaoUsuario> r;
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
        if (!campo("duracao_min").empty()) e.DuracaoMin = numero("duracao_min");
        if (!campo("duracao_max").empty()) e.DuracaoMax = numero("duracao_max");
        try {
            ConferirEstacaoUsuario(e);
        } catch (const EMorvendo& erro) {
            // A mensagem do campo ("O campo K deve ...") ganha o lugar no arquivo.
            std::string m = erro.what();
            if (m.rfind("O campo ", 0) == 0) m = m.substr(8);
            throw EMorvendo(onde + m);
        }
        r.push_back(std::move(e));
        if (linhas) linhas->push_back(l.Linha);
    }
    return r;
}

std::string CsvEstacoesUsuario(const std::vector<TEstacaoUsuario>& estacoes) {
    auto aspas = [](const std::string& s) { return CampoCsv(s); };
    auto duracao = [](double d) { return d > 0 ? RealExato(d) : std::string(); };
    std::string s = "uf,estacao,latitude,longitude,K,a,b,c,fonte,duracao_min,duracao_max\n";
    for (const auto& e : estacoes)
        s += CodigoEstado(e.Estado) + "," + aspas(e.Nome) + "," + RealExato(e.Latitude) + "," +
             RealExato(e.Longitude) + "," + RealExato(e.K) + "," + RealExato(e.A) + "," +
             RealExato(e.B) + "," + RealExato(e.C) + "," + aspas(e.Fonte) + "," +
             duracao(e.DuracaoMin) + "," + duracao(e.DuracaoMax) + "\n";
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
        FLista = LerCsvEstacoesUsuario(bytes, caminho);
    } catch (const EMorvendo& e) {
        FErroArquivo = e.what();
        throw EMorvendo("Suas estações não foram carregadas: " + FErroArquivo);
    }
}

void TEstacoesUsuario::ConferirRepetida(const std::vector<TEstacaoUsuario>& lista,
                                        const TEstacaoUsuario& e, std::size_t exceto) const {
    for (std::size_t i = 0; i < lista.size(); ++i)
        if (i != exceto && lista[i].Estado == e.Estado && lista[i].Nome == e.Nome)
            throw EMorvendo("Já existe entre as suas estações uma com o nome \"" + e.Nome +
                            "\" em " + NomeEstado(e.Estado) + ".");
}

void TEstacoesUsuario::Adicionar(const TEstacaoUsuario& e) {
    ConferirEstacaoUsuario(e);
    ConferirRepetida(FLista, e, FLista.size());
    auto nova = FLista;
    nova.push_back(e);
    Gravar(std::move(nova));
}

void TEstacoesUsuario::Substituir(std::size_t i, const TEstacaoUsuario& e) {
    if (i >= FLista.size()) throw EMorvendo("A estação escolhida não existe mais.");
    ConferirEstacaoUsuario(e);
    ConferirRepetida(FLista, e, i);
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
    std::vector<int> linhas;
    const auto lidas = LerCsvEstacoesUsuario(LerArquivoDados(caminhoCsv), nome, &linhas);
    if (lidas.empty()) throw EMorvendo("O arquivo " + nome + " não tem nenhuma estação.");
    auto nova = FLista;
    for (std::size_t i = 0; i < lidas.size(); ++i) {
        try {
            ConferirRepetida(nova, lidas[i], nova.size());
        } catch (const EMorvendo& e) {
            throw EMorvendo(nome + ", linha " + std::to_string(linhas[i]) +
                            ", campo estacao: " + e.what());
        }
        nova.push_back(lidas[i]);
    }
    Gravar(std::move(nova));
    return lidas.size();
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
    GravarArquivoAtomico(Caminho(), CsvEstacoesUsuario(nova));
    FLista = std::move(nova);
}
