#include "idf/BancoEstacoes.h"

#include "comum/ArquivoIni.h"
#include "comum/Numeros.h"
#include "comum/Win1252.h"
#include "idf/EstacoesUsuario.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

const std::array<TInfoEstado, NumeroEstados> TabelaEstados = {{
    {"Acre", "AC"},
    {"Alagoas", "AL"},
    {"Amapá", "AP"},
    {"Amazonas", "AM"},
    {"Bahia", "BA"},
    {"Ceará", "CE"},
    {"Distrito Federal", "DF"},
    {"Espírito Santo", "ES"},
    {"Goiás", "GO"},
    {"Maranhão", "MA"},
    {"Mato Grosso", "MT"},
    {"Mato Grosso do Sul", "MS"},
    {"Minas Gerais", "MG"},
    {"Pará", "PA"},
    {"Paraíba", "PB"},
    {"Paraná", "PR"},
    {"Pernambuco", "PE"},
    {"Piauí", "PI"},
    {"Rio de Janeiro", "RJ"},
    {"Rio Grande do Norte", "RN"},
    {"Rio Grande do Sul", "RS"},
    {"Rondônia", "RO"},
    {"Roraima", "RR"},
    {"Santa Catarina", "SC"},
    {"São Paulo", "SP"},
    {"Sergipe", "SE"},
    {"Tocantins", "TO"},
}};

namespace {

void ConferirIndice(int indice) {
    if (indice < 0 || indice >= NumeroEstados)
        throw ENumeroEstado(" Não existe estado com índice igual a " + std::to_string(indice));
}

// ---- Campos de texto com byte de comprimento ----

void GravarTexto(std::string& registro, std::size_t deslocamento, std::size_t maximo,
                 std::string_view utf8, const char* campo) {
    if (!win1252::Representavel(utf8))
        throw EMorvendo("O texto \"" + std::string(utf8) + "\" do campo " + campo +
                        " tem caracteres sem representação em Windows-1252.");
    const std::string bytes = win1252::DeUtf8(utf8);
    if (bytes.size() > maximo)
        throw EMorvendo("O texto \"" + std::string(utf8) + "\" do campo " + campo + " passa de " +
                        std::to_string(maximo) + " caracteres.");
    registro[deslocamento] = static_cast<char>(bytes.size());
    registro.replace(deslocamento + 1, bytes.size(), bytes);
}

void GravarReal(std::string& registro, std::size_t deslocamento, double v) {
    static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559);
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i)
        registro[deslocamento + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

void GravarContagem(std::string& saida, std::size_t n, int estado) {
    if (n > MaxRegistrosPorEstado)
        throw EMorvendo("O estado " + std::string(TabelaEstados[estado].Nome) + " tem " +
                        std::to_string(n) + " registros; o arquivo admite até 65535.");
    saida += static_cast<char>(n & 0xFF);
    saida += static_cast<char>((n >> 8) & 0xFF);
}

// Leitor limitado aos bytes dados: qualquer excesso vira erro com o nome do arquivo.
class TLeitor {
public:
    TLeitor(std::string_view bytes, const std::string& arquivo)
        : FBytes(bytes), FArquivo(arquivo) {}

    [[noreturn]] void Falhar(const std::string& detalhe) const {
        throw EMorvendo("O arquivo " + FArquivo + " está truncado ou corrompido (" + detalhe +
                        ").");
    }

    void Pular(std::size_t n, const std::string& onde) {
        if (n > FBytes.size() - FPos) Falhar(onde + ": o arquivo termina antes do esperado");
        FPos += n;
    }

    std::size_t Contagem(int estado) {
        const std::string onde = std::string("estado ") + TabelaEstados[estado].Nome;
        if (FBytes.size() - FPos < 2) Falhar(onde + ": falta a contagem de registros");
        const auto b0 = static_cast<unsigned char>(FBytes[FPos]);
        const auto b1 = static_cast<unsigned char>(FBytes[FPos + 1]);
        FPos += 2;
        return b0 | (std::size_t{b1} << 8);
    }

    // Registro inteiro, depois de conferir que cabe no que resta.
    std::string_view Registro(std::size_t tamanho, int estado, std::size_t n, std::size_t total) {
        if (tamanho > FBytes.size() - FPos)
            Falhar(std::string("estado ") + TabelaEstados[estado].Nome + ": registro " +
                   std::to_string(n + 1) + " de " + std::to_string(total) +
                   " além do fim do arquivo");
        const auto r = FBytes.substr(FPos, tamanho);
        FPos += tamanho;
        return r;
    }

    std::string Texto(std::string_view registro, std::size_t deslocamento, std::size_t maximo,
                      const char* campo, int estado) const {
        const auto n = static_cast<unsigned char>(registro[deslocamento]);
        if (n > maximo)
            Falhar(std::string("estado ") + TabelaEstados[estado].Nome + ": comprimento " +
                   std::to_string(n) + " no campo " + campo + ", que admite " +
                   std::to_string(maximo));
        return win1252::ParaUtf8(registro.substr(deslocamento + 1, n));
    }

    double Real(std::string_view registro, std::size_t deslocamento, const char* campo,
                int estado) const {
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | static_cast<unsigned char>(registro[deslocamento + i]);
        double v;
        std::memcpy(&v, &bits, 8);
        if (!std::isfinite(v))
            Falhar(std::string("estado ") + TabelaEstados[estado].Nome + ": valor de " + campo +
                   " não é um número");
        return v;
    }

private:
    std::string_view FBytes;
    const std::string& FArquivo;
    std::size_t FPos = 0;
};

TEstacao LerEstacao(const TLeitor& leitor, std::string_view r, int estado) {
    TEstacao e;
    e.Nome = leitor.Texto(r, 0, MaxNome, "Nome", estado);
    e.K = leitor.Real(r, 69, "K", estado);
    e.A = leitor.Real(r, 77, "A", estado);
    e.B = leitor.Real(r, 85, "B", estado);
    e.C = leitor.Real(r, 93, "C", estado);
    e.Autor = leitor.Texto(r, 101, MaxAutor, "Autor", estado);
    e.Latitude = leitor.Texto(r, 132, MaxCoordenada, "Latitude", estado);
    e.Longitude = leitor.Texto(r, 142, MaxCoordenada, "Longitude", estado);
    return e;
}

// Primeiros n caracteres (não bytes) de um texto UTF-8.
std::string CortarCaracteres(std::string_view utf8, std::size_t n) {
    std::size_t pos = 0, contados = 0;
    while (pos < utf8.size() && contados < n) {
        ++pos;
        while (pos < utf8.size() && (static_cast<unsigned char>(utf8[pos]) & 0xC0) == 0x80)
            ++pos;
        ++contados;
    }
    return std::string(utf8.substr(0, pos));
}

std::string Juntar(const std::string& pasta, const char* nome) {
    if (pasta.empty()) return nome;
    if (pasta.back() == '/') return pasta + nome;
    return pasta + "/" + nome;
}

} // namespace

std::string NomeEstado(int indice) {
    ConferirIndice(indice);
    return TabelaEstados[indice].Nome;
}

std::string CodigoEstado(int indice) {
    ConferirIndice(indice);
    return TabelaEstados[indice].Codigo;
}

int IndiceEstadoPorCodigo(std::string_view codigo) {
    if (codigo.size() != 2) return -1;
    for (int i = 0; i < NumeroEstados; ++i) {
        const char* c = TabelaEstados[i].Codigo;
        if (std::toupper(static_cast<unsigned char>(codigo[0])) == c[0] &&
            std::toupper(static_cast<unsigned char>(codigo[1])) == c[1])
            return i;
    }
    return -1;
}

void TEstado::DefinirIndice(int n) {
    ConferirIndice(n);
    FIndice = static_cast<std::int16_t>(n);
}

std::string TEstado::NomeEstado() const {
    return TabelaEstados[FIndice].Nome;
}

// ---- Gravação ----

std::string RegistroEstacao(const TEstacao& e) {
    std::string r(TamanhoRegistroEstacao, '\0');
    GravarTexto(r, 0, MaxNome, e.Nome, "Nome");
    GravarReal(r, 69, e.K);
    GravarReal(r, 77, e.A);
    GravarReal(r, 85, e.B);
    GravarReal(r, 93, e.C);
    GravarTexto(r, 101, MaxAutor, e.Autor, "Autor");
    GravarTexto(r, 132, MaxCoordenada, e.Latitude, "Latitude");
    GravarTexto(r, 142, MaxCoordenada, e.Longitude, "Longitude");
    return r;
}

std::string RegistroLocalidade(const TLocalidade& l) {
    std::string r(TamanhoRegistroLocalidade, '\0');
    GravarTexto(r, 0, MaxNome, l.Nome, "Nome");
    GravarTexto(r, 69, MaxCoordenada, l.Latitude, "Latitude");
    GravarTexto(r, 79, MaxCoordenada, l.Longitude, "Longitude");
    return r;
}

std::string ArquivoEstacoes(const TEstacoesPorEstado& estacoes) {
    std::string saida(1, '\0');
    for (int i = 0; i < NumeroEstados; ++i) {
        GravarContagem(saida, estacoes[i].size(), i);
        for (const auto& e : estacoes[i])
            saida += RegistroEstacao(e);
    }
    return saida;
}

std::string ArquivoLocalidades(const TLocalidadesPorEstado& localidades) {
    std::string saida(1, '\0');
    for (int i = 0; i < NumeroEstados; ++i) {
        GravarContagem(saida, localidades[i].size(), i);
        for (const auto& l : localidades[i])
            saida += RegistroLocalidade(l);
    }
    return saida;
}

// ---- Leitura ----

TEstacoesPorEstado LerArquivoEstacoes(std::string_view bytes, const std::string& nomeArquivo) {
    TLeitor leitor(bytes, nomeArquivo);
    leitor.Pular(1, "início");
    TEstacoesPorEstado estacoes;
    for (int i = 0; i < NumeroEstados; ++i) {
        const auto n = leitor.Contagem(i);
        // Confere o tamanho antes de reservar: uma contagem corrompida não aloca nada.
        auto& lista = estacoes[i];
        for (std::size_t k = 0; k < n; ++k) {
            const auto r = leitor.Registro(TamanhoRegistroEstacao, i, k, n);
            if (k == 0) lista.reserve(n);
            lista.push_back(LerEstacao(leitor, r, i));
        }
    }
    return estacoes;
}

std::vector<TLocalidade> LerLocalidadesDoEstado(std::string_view bytes, int indiceEstado,
                                                const std::string& nomeArquivo) {
    ConferirIndice(indiceEstado);
    TLeitor leitor(bytes, nomeArquivo);
    leitor.Pular(1, "início");
    for (int i = 0; i < indiceEstado; ++i) {
        const auto n = leitor.Contagem(i);
        leitor.Pular(n * TamanhoRegistroLocalidade, std::string("estado ") + TabelaEstados[i].Nome);
    }
    const auto n = leitor.Contagem(indiceEstado);
    std::vector<TLocalidade> lista;
    for (std::size_t k = 0; k < n; ++k) {
        const auto r = leitor.Registro(TamanhoRegistroLocalidade, indiceEstado, k, n);
        if (k == 0) lista.reserve(n);
        TLocalidade l;
        l.Nome = leitor.Texto(r, 0, MaxNome, "Nome", indiceEstado);
        l.Latitude = leitor.Texto(r, 69, MaxCoordenada, "Latitude", indiceEstado);
        l.Longitude = leitor.Texto(r, 79, MaxCoordenada, "Longitude", indiceEstado);
        lista.push_back(std::move(l));
    }
    return lista;
}

// ---- Coordenadas ----

double GrausDecimais(std::string_view texto) {
    // Posições contam caracteres: o sinal de grau ocupa dois bytes em UTF-8.
    const std::string t = win1252::DeUtf8(texto);
    auto par = [&](std::size_t inicio) {
        const std::string bytes = inicio < t.size() ? t.substr(inicio, 2) : std::string();
        if (const auto v = TentarTextoParaReal(bytes, '.')) return *v;
        throw EMorvendo("'" + win1252::ParaUtf8(bytes) + "' não é um número válido");
    };
    const double d = par(0), m = par(3), s = par(6);
    return (s / 60 + m) / 60 + d;
}

std::string TextoGraus(double x) {
    if (!std::isfinite(x) || x < 0)
        throw EMorvendo("Coordenada inválida: " + FloatToStr(x) +
                        " (só magnitudes em graus são aceitas).");
    if (x >= 1e9) throw EMorvendo("Coordenada inválida: " + FloatToStr(x) + ".");
    const double d = std::trunc(x);
    const double fm = (x - d) * 60;
    const double m = std::trunc(fm);
    const double s = std::trunc((fm - m) * 60);
    auto dois = [](double v) { return FormatFloat("00", v).substr(0, 2); };
    return dois(d) + "°" + dois(m) + "'" + dois(s) + "\"";
}

std::string TextoCoordenada(double graus) {
    return TextoGraus(graus + 1e-9);
}

double DistanciaKm(double lat1, double lon1, double lat2, double lon2) {
    constexpr double R = 6371, rad = 3.14159265358979323846 / 180;
    const double dphi = (lat2 - lat1) * rad, dlambda = (lon2 - lon1) * rad;
    const double s1 = std::sin(dphi / 2), s2 = std::sin(dlambda / 2);
    const double h = s1 * s1 + std::cos(lat1 * rad) * std::cos(lat2 * rad) * s2 * s2;
    return 2 * R * std::asin(std::sqrt(std::min(1.0, h)));
}

std::optional<double> LerCoordenada(std::string_view entrada, bool latitude) {
    std::string t(entrada);
    auto aparar = [&] {
        while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back())))
            t.pop_back();
        std::size_t i = 0;
        while (i < t.size() && std::isspace(static_cast<unsigned char>(t[i])))
            ++i;
        t.erase(0, i);
    };
    aparar();
    // Hemisfério no fim: sul e oeste são a magnitude; norte e leste, o seu negativo.
    int sinal = 1;
    bool letra = false;
    if (!t.empty() && std::isalpha(static_cast<unsigned char>(t.back()))) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(t.back())));
        if (latitude && (c == 'S' || c == 'N'))
            sinal = c == 'N' ? -1 : 1;
        else if (!latitude && (c == 'O' || c == 'W' || c == 'L' || c == 'E'))
            sinal = c == 'L' || c == 'E' ? -1 : 1;
        else
            return std::nullopt;
        letra = true;
        t.pop_back();
        aparar();
    }
    // Símbolos que GPS, mapas e teclados usam viram um só: d, m, s.
    const std::pair<const char*, const char*> trocas[] = {{"°", "d"},  {"º", "d"},  {"′", "m"},
                                                          {"’", "m"},  {"″", "s"},  {"”", "s"},
                                                          {"''", "s"}, {"\"", "s"}, {"'", "m"}};
    for (const auto& [de, para] : trocas)
        for (std::size_t p; (p = t.find(de)) != std::string::npos;)
            t.replace(p, std::strlen(de), para);
    // Com sinal, como nos GPS, o negativo é o sul e o oeste; sem letra, vale a convenção do
    // programa (magnitudes ao sul e a oeste).
    if (!t.empty() && t[0] == '-') {
        if (letra) return std::nullopt;
        t.erase(0, 1);
        aparar();
    }
    // Número e unidade, em sequência: d, m, s ou só um número (graus decimais).
    std::vector<std::pair<double, char>> partes;
    std::size_t i = 0;
    while (i < t.size()) {
        while (i < t.size() && t[i] == ' ')
            ++i;
        const std::size_t inicio = i;
        while (i < t.size() &&
               (std::isdigit(static_cast<unsigned char>(t[i])) || t[i] == '.' || t[i] == ','))
            ++i;
        if (i == inicio) return std::nullopt;
        const auto v = TentarTextoParaReal(std::string(t.substr(inicio, i - inicio)),
                                           t.find(',', inicio) < i ? ',' : '.');
        if (!v || !std::isfinite(*v)) return std::nullopt;
        while (i < t.size() && t[i] == ' ')
            ++i;
        char unidade = 0;
        if (i < t.size()) {
            unidade = t[i];
            if (unidade != 'd' && unidade != 'm' && unidade != 's') return std::nullopt;
            ++i;
        }
        partes.emplace_back(*v, unidade);
    }
    if (partes.empty() || partes.size() > 3) return std::nullopt;
    double graus = 0;
    if (partes.size() == 1 && (partes[0].second == 0 || partes[0].second == 'd')) {
        graus = partes[0].first;
    } else {
        // Graus, minutos e segundos nessa ordem; o último pode vir sem o símbolo e só ele
        // pode ter casas decimais.
        static constexpr char ordem[] = {'d', 'm', 's'};
        for (std::size_t k = 0; k < partes.size(); ++k) {
            const auto [v, u] = partes[k];
            const bool ultimo = k + 1 == partes.size();
            if (u != ordem[k] && !(ultimo && u == 0 && k > 0)) return std::nullopt;
            if (!ultimo && v != std::trunc(v)) return std::nullopt;
            if (k > 0 && v >= 60) return std::nullopt;
            graus += k == 0 ? v : k == 1 ? v / 60 : v / 3600;
        }
    }
    if (graus > (latitude ? 90 : 180)) return std::nullopt;
    return sinal * graus;
}

// ---- Banco ----

std::string LerArquivoDados(const std::string& caminho) {
    std::error_code ec;
    const auto estado = std::filesystem::status(caminho, ec);
    if (!std::filesystem::exists(estado))
        throw EArquivoNaoExiste("O arquivo " + caminho + " não existe.");
    // Uma pasta, uma FIFO ou /dev/zero no lugar de um arquivo de dados travaria ou esgotaria
    // a memória: só arquivos comuns, de tamanho limitado.
    if (!std::filesystem::is_regular_file(estado))
        throw EEntradaSaida("O arquivo " + caminho + " não é um arquivo de dados válido.");
    constexpr std::uintmax_t TamanhoMaximo = 64u << 20;
    const std::uintmax_t tamanho = std::filesystem::file_size(caminho, ec);
    if (ec || tamanho > TamanhoMaximo)
        throw EEntradaSaida("O arquivo " + caminho +
                            " não é um arquivo de dados válido: é grande demais.");
    std::ifstream f(caminho, std::ios::binary);
    std::string bytes;
    if (f) bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    if (!f && !f.eof()) throw EEntradaSaida("Não foi possível ler o arquivo " + caminho + ".");
    return bytes;
}

TBancoEstacoes::TBancoEstacoes(std::string pastaDados) : FPastaDados(std::move(pastaDados)) {}

std::string TBancoEstacoes::CaminhoEstacoes() const {
    return Juntar(FPastaDados, NomeArquivoEstacoes);
}

std::string TBancoEstacoes::CaminhoLocalidades() const {
    return Juntar(FPastaDados, NomeArquivoLocalidades);
}

void TBancoEstacoes::CarregarEstacoes() {
    const auto caminho = CaminhoEstacoes();
    Estacoes = LerArquivoEstacoes(LerArquivoDados(caminho), caminho);
    AcrescentarEstacoesUsuario();
}

void TBancoEstacoes::DefinirEstacoesUsuario(std::vector<TEstacao> estacoes,
                                            const std::vector<int>& estados) {
    if (estados.size() != estacoes.size())
        throw EMorvendo("Estações do usuário sem o estado de cada uma.");
    for (const int e : estados)
        ConferirIndice(e);
    for (auto& lista : Estacoes)
        std::erase_if(lista, [](const TEstacao& e) { return e.DoUsuario; });
    FUsuario = std::move(estacoes);
    for (auto& e : FUsuario)
        e.DoUsuario = true;
    FEstadosUsuario = estados;
    AcrescentarEstacoesUsuario();
}

void TBancoEstacoes::AcrescentarEstacoesUsuario() {
    for (std::size_t i = 0; i < FUsuario.size(); ++i)
        Estacoes[FEstadosUsuario[i]].push_back(FUsuario[i]);
}

void TBancoEstacoes::CarregarLocalidades(int indiceEstado) {
    Localidades.clear();
    ConferirIndice(indiceEstado);
    const auto caminho = CaminhoLocalidades();
    Localidades = LerLocalidadesDoEstado(LerArquivoDados(caminho), indiceEstado, caminho);
}

namespace {

TEstacaoConsultada Consultada(const TEstacao& e, int estado, double distancia, double peso) {
    return {e.Nome, estado, e.DoUsuario, distancia, peso};
}

std::string Km(double v, char separador) {
    return FormatFloat("0.0", v, separador) + " km";
}

} // namespace

ESemEstacoesNoRaio::ESemEstacoesNoRaio(std::vector<TEstacaoConsultada> proximas, double raioKm,
                                       const std::string& comoAumentar)
    : EMorvendo(MensagemSemEstacoesNoRaio(proximas, raioKm, comoAumentar)),
      Proximas(std::move(proximas)), RaioKm(raioKm) {}

std::string TextoEstacaoConsultada(const TEstacaoConsultada& e, char separador, bool comPeso) {
    std::string t = e.Nome + " (" + CodigoEstado(e.Estado) + ")" +
                    (e.DoUsuario ? MarcaEstacaoUsuario : "") + ", a " +
                    Km(e.DistanciaKm, separador);
    if (comPeso) t += ", peso " + FormatFloat("0.0", e.Peso * 100, separador) + " %";
    return t;
}

std::string MensagemSemEstacoesNoRaio(const std::vector<TEstacaoConsultada>& proximas,
                                      double raioKm, const std::string& comoAumentar) {
    std::string m = "Não há estações a menos de " + FormatFloat("0.#", raioKm, ',') +
                    " km do ponto; a equação não foi interpolada.";
    if (!proximas.empty()) {
        m += proximas.size() == 1 ? " A estação mais próxima é " : " As mais próximas são ";
        for (std::size_t i = 0; i < proximas.size(); ++i)
            m += (i == 0                     ? ""
                  : i + 1 == proximas.size() ? " e "
                                             : "; ") +
                 TextoEstacaoConsultada(proximas[i], ',', false);
        m += ".";
    }
    return m + " Escolha uma estação, use uma equação sua do lugar (Minhas estações) ou " +
           comoAumentar + ", sabendo que a chuva de uma estação distante pode não ser a do lugar";
}

std::string TextoOrigemConsulta(const TConsultaPonto& c, char separador) {
    if (!c.Interpolada) {
        if (c.Usadas.empty()) return {};
        std::string t = "Equação da estação " +
                        TextoEstacaoConsultada(c.Usadas[0], separador, false) + " do ponto.";
        for (const auto& v : c.Vizinhas)
            t += "\nOutra estação a menos de 1 km: " + TextoEstacaoConsultada(v, separador, false) +
                 ".";
        return t;
    }
    const std::string quantas = c.Usadas.size() == 1
                                    ? "a única estação"
                                    : "as " + std::to_string(c.Usadas.size()) + " estações";
    std::string t = "Interpolação pelo inverso da quinta potência da distância, com " + quantas +
                    " a menos de " + FormatFloat("0.#", c.RaioKm, separador) + " km do ponto:";
    for (const auto& e : c.Usadas)
        t += "\n" + TextoEstacaoConsultada(e, separador, true) + ";";
    t.back() = '.';
    return t;
}

TConsultaPonto TBancoEstacoes::Consultar(std::string_view latitude, std::string_view longitude,
                                         double raioKm) const {
    const double phi = GrausDecimais(latitude);
    const double lambda = GrausDecimais(longitude);
    struct TCandidata {
        const TEstacao* Estacao;
        int Estado;
        double Distancia;
    };
    std::vector<TCandidata> todas;
    std::size_t igual = std::string::npos;
    for (int estado = 0; estado < NumeroEstados; ++estado)
        for (const auto& s : Estacoes[estado]) {
            if (igual == std::string::npos && s.Latitude == latitude && s.Longitude == longitude)
                igual = todas.size();
            todas.push_back(
                {&s, estado,
                 DistanciaKm(phi, lambda, GrausDecimais(s.Latitude), GrausDecimais(s.Longitude))});
        }
    if (todas.empty()) throw EMorvendo(MensagemSemEstacoes);

    TConsultaPonto r;
    r.RaioKm = raioKm;
    // Textos iguais ganham; senão a mais próxima a até 1 km (empate: a primeira da lista).
    std::size_t escolhida = igual;
    if (escolhida == std::string::npos)
        for (std::size_t i = 0; i < todas.size(); ++i)
            if (todas[i].Distancia <= DistanciaEstacaoKm &&
                (escolhida == std::string::npos || todas[i].Distancia < todas[escolhida].Distancia))
                escolhida = i;
    if (escolhida != std::string::npos) {
        const TCandidata& c = todas[escolhida];
        r.Resultado = *c.Estacao;
        r.Usadas.push_back(Consultada(*c.Estacao, c.Estado, c.Distancia, 1));
        for (std::size_t i = 0; i < todas.size(); ++i)
            if (i != escolhida && todas[i].Distancia <= DistanciaEstacaoKm)
                r.Vizinhas.push_back(
                    Consultada(*todas[i].Estacao, todas[i].Estado, todas[i].Distancia, 0));
        return r;
    }

    std::vector<std::pair<const TCandidata*, long double>> pesos;
    long double soma = 0;
    for (const auto& c : todas)
        if (c.Distancia <= raioKm) {
            // Acima de 1 km: o peso é finito e no máximo 1.
            const long double d = c.Distancia;
            const long double w = 1 / (d * d * d * d * d);
            pesos.emplace_back(&c, w);
            soma += w;
        }
    if (pesos.empty()) {
        std::stable_sort(todas.begin(), todas.end(), [](const TCandidata& a, const TCandidata& b) {
            return a.Distancia < b.Distancia;
        });
        std::vector<TEstacaoConsultada> proximas;
        for (std::size_t i = 0; i < todas.size() && i < 3; ++i)
            proximas.push_back(
                Consultada(*todas[i].Estacao, todas[i].Estado, todas[i].Distancia, 0));
        throw ESemEstacoesNoRaio(std::move(proximas), raioKm, AumentarRaioNaJanela);
    }

    r.Interpolada = true;
    r.Resultado.Autor = AutorInterpolacao;
    for (const auto& [c, w] : pesos) {
        const TEstacao* s = c->Estacao;
        const long double f = w / soma;
        r.Resultado.K = static_cast<double>(r.Resultado.K + f * s->K);
        r.Resultado.A = static_cast<double>(r.Resultado.A + f * s->A);
        r.Resultado.B = static_cast<double>(r.Resultado.B + f * s->B);
        r.Resultado.C = static_cast<double>(r.Resultado.C + f * s->C);
        r.Usadas.push_back(Consultada(*s, c->Estado, c->Distancia, static_cast<double>(f)));
    }
    std::stable_sort(
        r.Usadas.begin(), r.Usadas.end(),
        [](const TEstacaoConsultada& a, const TEstacaoConsultada& b) { return a.Peso > b.Peso; });
    r.Resultado.Latitude = CortarCaracteres(latitude, MaxCoordenada);
    r.Resultado.Longitude = CortarCaracteres(longitude, MaxCoordenada);
    return r;
}

TEstacao TBancoEstacoes::InterpolarParametros(std::string_view latitude,
                                              std::string_view longitude) const {
    return Consultar(latitude, longitude, RaioInterpolacaoKm()).Resultado;
}

// ---- Raio de interpolação ----

namespace {
double GRaioInterpolacao = RaioInterpolacaoPadraoKm;
constexpr const char* SecaoConsulta = "CONSULTA_IDF";
constexpr const char* ChaveRaio = "RaioInterpolacao";

bool RaioValido(double raio) {
    return std::isfinite(raio) && raio >= RaioInterpolacaoMinimoKm &&
           raio <= RaioInterpolacaoMaximoKm;
}
} // namespace

void ConferirRaioInterpolacao(double raio) {
    if (!RaioValido(raio))
        throw EMorvendo("O raio de interpolação da chuva deve estar entre 10 e 300 km.");
}

void DefinirRaioInterpolacaoKm(double raio) {
    ConferirRaioInterpolacao(raio);
    GRaioInterpolacao = raio;
}

double RaioInterpolacaoKm() {
    return GRaioInterpolacao;
}

double LerRaioInterpolacao(const TArquivoIni& ini) {
    const double raio = ini.LerReal(SecaoConsulta, ChaveRaio, RaioInterpolacaoPadraoKm);
    return RaioValido(raio) ? raio : RaioInterpolacaoPadraoKm;
}

void GravarRaioInterpolacao(TArquivoIni& ini, double raio) {
    // O padrão nunca mudado não entra no arquivo: as configurações mudam só quando o usuário
    // as muda.
    if (raio == RaioInterpolacaoPadraoKm && !ini.ExisteChave(SecaoConsulta, ChaveRaio)) return;
    ini.EscreverReal(SecaoConsulta, ChaveRaio, raio);
}

// ---- Mapas ----

namespace {

struct TMolduraEstado {
    int Indice;
    TMolduraMapa Moldura;
};

constexpr std::array<TMolduraEstado, 7> Molduras = {{
    {4, {37.339722, 46.629028, 8.532272, 18.349041, 16, 5, 414, 436}},
    {7, {39.664805, 41.879249, 17.891117, 21.301478, 86, 10, 278, 429}},
    {12, {39.856471, 51.04622, 14.232664, 22.922378, 16, 64, 420, 327}},
    {15, {48.023056, 54.618958, 22.516105, 26.715944, 27, 101, 420, 267}},
    {18, {40.956445, 44.888529, 20.763474, 23.36849, 10, 82, 430, 284}},
    {24, {44.160556, 53.109609, 19.779323, 25.311931, 10, 92, 430, 265}},
    {26, {45.695667, 50.741611, 5.168047, 13.467389, 93, 7, 266, 437}},
}};

// Índice do estado -> cor no mapa do Brasil.
constexpr std::array<TCor, NumeroEstados> CoresBrasil = {{
    {0, 51, 0},      // AC
    {255, 255, 0},   // AL
    {13, 13, 13},    // AP
    {0, 102, 0},     // AM
    {255, 255, 153}, // BA
    {204, 102, 0},   // CE
    {102, 102, 0},   // DF
    {0, 255, 255},   // ES
    {102, 102, 102}, // GO
    {102, 51, 0},    // MA
    {161, 161, 161}, // MT
    {67, 67, 67},    // MS
    {0, 0, 255},     // MG
    {0, 153, 0},     // PA
    {255, 204, 102}, // PB
    {204, 0, 0},     // PR
    {204, 204, 0},   // PE
    {153, 102, 0},   // PI
    {0, 153, 255},   // RJ
    {255, 153, 0},   // RN
    {102, 0, 0},     // RS
    {102, 255, 51},  // RO
    {51, 204, 0},    // RR
    {153, 0, 0},     // SC
    {0, 0, 153},     // SP
    {0, 204, 0},     // SE
    {153, 255, 153}, // TO
}};

} // namespace

// Plate carrée com a mesma escala nos dois eixos, do Acre às ilhas costeiras do leste.
const TMolduraMapa MolduraBrasil = {34.7, 74.1, -5.35, 33.85, 6, 7, 438, 436};

const TMolduraMapa* MolduraEstado(int indice) {
    for (const auto& m : Molduras)
        if (m.Indice == indice) return &m.Moldura;
    return nullptr;
}

TPixel PontoParaPixel(const TMolduraMapa& m, double latitude, double longitude) {
    return {m.XMapa + m.LarguraMapa -
                m.LarguraMapa * (m.LonMin - longitude) / (m.LonMin - m.LonMax),
            m.YMapa + m.AlturaMapa * (latitude - m.LatMin) / (m.LatMax - m.LatMin)};
}

void PixelParaPonto(const TMolduraMapa& m, double x, double y, double& latitude,
                    double& longitude) {
    latitude = m.LatMin + (m.LatMax - m.LatMin) * (y - m.YMapa) / m.AlturaMapa;
    longitude = m.LonMin - (m.LonMin - m.LonMax) * (m.LarguraMapa - (x - m.XMapa)) / m.LarguraMapa;
}

int PixelInteiro(double v) {
    return static_cast<int>(Arredondar(v));
}

TCor CorEstadoBrasil(int indice) {
    ConferirIndice(indice);
    return CoresBrasil[indice];
}

bool EstadoSemDados(int indice) {
    return indice == 2 || indice == 6 || indice == 22 || indice == 25;
}

int EstadoPelaCor(TCor cor) {
    for (int i = 0; i < NumeroEstados; ++i)
        if (CoresBrasil[i] == cor && !EstadoSemDados(i)) return i;
    return -1;
}
