#include "comum/ArquivoIni.h"

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "comum/Win1252.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto npos = std::string::npos;

bool Branco(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Aparar(std::string_view s) {
    while (!s.empty() && Branco(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && Branco(s.back()))
        s.remove_suffix(1);
    return s;
}

// Minúscula em Windows-1252: ASCII, Latin-1 (menos × e ÷) e Š Œ Ž Ÿ.
unsigned char Minuscula(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
        return static_cast<unsigned char>(c + 0x10);
    case 0x9F:
        return 0xFF;
    default:
        return c;
    }
}

bool IguaisSemCaixa(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Minuscula(static_cast<unsigned char>(a[i])) !=
            Minuscula(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Nome da seção quando a linha é um cabeçalho "[nome]".
std::optional<std::string_view> NomeSecao(std::string_view linha) {
    const auto t = Aparar(linha);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const auto fecha = t.find(']');
    if (fecha == npos) return std::nullopt;
    return Aparar(t.substr(1, fecha - 1));
}

// Linha "chave=valor" dentro de uma seção; comentários (';') não são entradas.
bool Entrada(std::string_view linha, std::string_view& chave, std::string_view& valor) {
    const auto t = Aparar(linha);
    if (!t.empty() && t.front() == ';') return false;
    const auto igual = linha.find('=');
    if (igual == npos) return false;
    chave = Aparar(linha.substr(0, igual));
    valor = Aparar(linha.substr(igual + 1));
    return true;
}

// Um fim de linha dentro de um nome ou valor criaria linhas novas (até seções) no arquivo.
std::string Para1252(std::string_view utf8) {
    std::string s = win1252::DeUtf8(utf8);
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

std::string Nome1252(std::string_view utf8) {
    return std::string(Aparar(Para1252(utf8)));
}

struct Posicao {
    std::size_t secao = npos; // linha do cabeçalho
    std::size_t fim = 0;      // primeira linha depois da seção
    std::size_t chave = npos; // linha da entrada
};

// Só a primeira ocorrência de uma seção (e de uma chave nela) vale.
Posicao Localizar(const std::vector<std::string>& linhas, std::string_view secao,
                  std::string_view chave) {
    Posicao p;
    for (std::size_t i = 0; i < linhas.size(); ++i) {
        const auto nome = NomeSecao(linhas[i]);
        if (nome && IguaisSemCaixa(*nome, secao)) {
            p.secao = i;
            break;
        }
    }
    if (p.secao == npos) return p;
    p.fim = p.secao + 1;
    for (; p.fim < linhas.size() && !NomeSecao(linhas[p.fim]); ++p.fim) {
        std::string_view k, v;
        if (p.chave == npos && Entrada(linhas[p.fim], k, v) && IguaisSemCaixa(k, chave))
            p.chave = p.fim;
    }
    return p;
}

std::optional<std::int32_t> Inteiro32(std::string_view t) {
    t = Aparar(t);
    bool negativo = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        negativo = t.front() == '-';
        t.remove_prefix(1);
    }
    unsigned base = 10;
    if (t.size() >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    } else if (!t.empty() && t.front() == '$') {
        base = 16;
        t.remove_prefix(1);
    }
    if (t.empty()) return std::nullopt;
    const std::uint64_t limite = base == 16 ? 0xFFFFFFFFu : (negativo ? 0x80000000u : 0x7FFFFFFFu);
    std::uint64_t v = 0;
    for (const char c : t) {
        unsigned d;
        if (c >= '0' && c <= '9')
            d = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else
            return std::nullopt;
        v = v * base + d;
        if (v > limite) return std::nullopt;
    }
    // Hexadecimal acima de 0x7FFFFFFF dá a volta para negativo, em 32 bits.
    auto u = static_cast<std::uint32_t>(v);
    if (negativo) u = 0u - u;
    return static_cast<std::int32_t>(u);
}

long InteiroOuPadrao(const std::string& texto, long padrao) {
    const auto v = Inteiro32(texto);
    return v ? *v : padrao;
}

// Um projeto gravado com o outro separador decimal não deve perder os valores.
double RealOuPadrao(const std::string& texto, double padrao) {
    if (texto.empty()) return padrao;
    if (const auto v = TentarTextoParaReal(texto, '.')) return *v;
    if (const auto v = TentarTextoParaReal(texto, ',')) return *v;
    return padrao;
}

// Nome para as tabelas do índice: a comparação sem distinção de maiúsculas de Localizar.
std::string NomeNoIndice(std::string_view nome1252) {
    std::string s(nome1252);
    for (char& c : s)
        c = static_cast<char>(Minuscula(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

std::string MotivoErroSistema(int erro, bool leitura) {
    switch (erro) {
    case ENOENT:
        return leitura ? "arquivo não encontrado" : "a pasta não existe";
    case ENOTDIR:
        return "a pasta não existe";
    case EACCES:
    case EPERM:
        return "permissão negada";
    case ENOSPC:
        return "não há espaço no disco";
    case EDQUOT:
        return "cota de disco esgotada";
    case EROFS:
        return "o disco só permite leitura";
    case EISDIR:
        return "o caminho é uma pasta";
    case ENAMETOOLONG:
        return "nome longo demais";
    case EIO:
        return "erro de leitura ou gravação no disco";
    case EFBIG:
        return "o arquivo passou do tamanho permitido";
    default:
        return "";
    }
}

namespace {

EEntradaSaida ErroArquivo(const std::string& acao, const std::string& caminho, int erro,
                          bool leitura) {
    const std::string motivo = MotivoErroSistema(erro, leitura);
    return EEntradaSaida("Não foi possível " + acao + " o arquivo " + caminho +
                         (motivo.empty() ? "" : ": " + motivo) + ".");
}

// Abre só arquivos comuns. O_NONBLOCK evita ficar preso num FIFO; arquivos comuns não são
// afetados.
int AbrirArquivoComum(const std::string& caminho) {
    auto falha = [&](int erro) { return ErroArquivo("ler", caminho, erro, true); };
    const int fd = ::open(caminho.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throw falha(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int erro = errno;
        ::close(fd);
        throw falha(erro);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        if (S_ISDIR(st.st_mode)) throw falha(EISDIR);
        throw EEntradaSaida("Não foi possível ler o arquivo " + caminho +
                            ": não é um arquivo comum.");
    }
    return fd;
}

// read sem EINTR; -1 com errno no erro.
ssize_t LerPedaco(int fd, char* buf, std::size_t n) {
    for (;;) {
        const auto lidos = ::read(fd, buf, n);
        if (lidos >= 0 || errno != EINTR) return lidos;
    }
}

} // namespace

std::string LerArquivoComum(const std::string& caminho) {
    const int fd = AbrirArquivoComum(caminho);
    struct stat st {};
    std::string dados;
    if (::fstat(fd, &st) == 0) dados.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const auto n = LerPedaco(fd, buf, sizeof buf);
        if (n < 0) {
            const int erro = errno;
            ::close(fd);
            throw ErroArquivo("ler", caminho, erro, true);
        }
        if (n == 0) break;
        dados.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return dados;
}

TEntradaArquivoComum::TEntradaArquivoComum(const std::string& caminho) : std::istream(nullptr) {
    FBuffer.Fd = AbrirArquivoComum(caminho);
    FBuffer.Caminho = caminho;
    rdbuf(&FBuffer);
    // A exceção da leitura chega a quem lê, em vez de parecer o fim do arquivo.
    exceptions(std::ios::badbit);
}

TEntradaArquivoComum::~TEntradaArquivoComum() {
    ::close(FBuffer.Fd);
}

TEntradaArquivoComum::TBuffer::int_type TEntradaArquivoComum::TBuffer::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const auto n = LerPedaco(Fd, Dados, sizeof Dados);
    if (n < 0) throw ErroArquivo("ler", Caminho, errno, true);
    if (n == 0) return traits_type::eof();
    setg(Dados, Dados, Dados + n);
    return traits_type::to_int_type(*gptr());
}

TArquivoIni::TArquivoIni(std::string caminho) : FCaminho(std::move(caminho)) {
    struct stat st {};
    // Ausente é documento novo; qualquer outro problema aparece ao carregar.
    if (::stat(FCaminho.c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR))
        Carregar(FCaminho);
}

void TArquivoIni::Carregar(const std::string& caminho) {
    std::string dados = LerArquivoComum(caminho);
    // Um editor que grava em UTF-8 com a marca no início: lido como UTF-8.
    constexpr std::string_view marcaUtf8 = "\xEF\xBB\xBF";
    if (std::string_view(dados).substr(0, marcaUtf8.size()) == marcaUtf8)
        dados = win1252::DeUtf8(std::string_view(dados).substr(marcaUtf8.size()));
    DefinirTexto(dados);
    FCaminho = caminho;
}

void TArquivoIni::Salvar() const {
    if (FCaminho.empty())
        throw EEntradaSaida("Não foi possível gravar o arquivo: o documento não tem nome.");
    SalvarComo(FCaminho);
}

void TArquivoIni::SalvarComo(const std::string& caminho) const {
    GravarArquivoAtomico(caminho, Texto());
}

bool TArquivoIni::ExisteSecao(std::string_view secao) const {
    return Localizar(FLinhas, Nome1252(secao), {}).secao != npos;
}

bool TArquivoIni::ExisteChave(std::string_view secao, std::string_view chave) const {
    return Localizar(FLinhas, Nome1252(secao), Nome1252(chave)).chave != npos;
}

std::string TArquivoIni::LerTexto(std::string_view secao, std::string_view chave,
                                  std::string_view padrao) const {
    const auto p = Localizar(FLinhas, Nome1252(secao), Nome1252(chave));
    std::string_view k, v;
    if (p.chave == npos || !Entrada(FLinhas[p.chave], k, v) || v.empty())
        return std::string(padrao);
    return win1252::ParaUtf8(v);
}

long TArquivoIni::LerInteiro(std::string_view secao, std::string_view chave, long padrao) const {
    return InteiroOuPadrao(LerTexto(secao, chave, ""), padrao);
}

bool TArquivoIni::LerLogico(std::string_view secao, std::string_view chave, bool padrao) const {
    return LerInteiro(secao, chave, padrao ? 1 : 0) != 0;
}

double TArquivoIni::LerReal(std::string_view secao, std::string_view chave, double padrao) const {
    return RealOuPadrao(LerTexto(secao, chave, ""), padrao);
}

TIndiceIni::TIndiceIni(const TArquivoIni& documento) {
    std::unordered_map<std::string, std::string>* atual = nullptr;
    for (const std::string& linha : documento.FLinhas) {
        if (const auto nome = NomeSecao(linha)) {
            // Só a primeira ocorrência de uma seção vale.
            const auto [it, nova] = FSecoes.try_emplace(NomeNoIndice(*nome));
            atual = nova ? &it->second : nullptr;
            continue;
        }
        std::string_view k, v;
        if (atual && Entrada(linha, k, v)) atual->try_emplace(NomeNoIndice(k), std::string(v));
    }
}

const std::string* TIndiceIni::Valor(std::string_view secao, std::string_view chave) const {
    const auto s = FSecoes.find(NomeNoIndice(Nome1252(secao)));
    if (s == FSecoes.end()) return nullptr;
    const auto k = s->second.find(NomeNoIndice(Nome1252(chave)));
    return k == s->second.end() ? nullptr : &k->second;
}

bool TIndiceIni::ExisteSecao(std::string_view secao) const {
    return FSecoes.count(NomeNoIndice(Nome1252(secao))) > 0;
}

bool TIndiceIni::ExisteChave(std::string_view secao, std::string_view chave) const {
    return Valor(secao, chave) != nullptr;
}

std::string TIndiceIni::LerTexto(std::string_view secao, std::string_view chave,
                                 std::string_view padrao) const {
    const std::string* v = Valor(secao, chave);
    return v && !v->empty() ? win1252::ParaUtf8(*v) : std::string(padrao);
}

long TIndiceIni::LerInteiro(std::string_view secao, std::string_view chave, long padrao) const {
    return InteiroOuPadrao(LerTexto(secao, chave, ""), padrao);
}

double TIndiceIni::LerReal(std::string_view secao, std::string_view chave, double padrao) const {
    return RealOuPadrao(LerTexto(secao, chave, ""), padrao);
}

void TArquivoIni::EscreverTexto(std::string_view secao, std::string_view chave,
                                std::string_view valor) {
    const std::string s = Nome1252(secao), k = Nome1252(chave);
    std::string linha = k + "=" + Para1252(valor);
    const auto p = Localizar(FLinhas, s, k);
    if (p.secao == npos) {
        FLinhas.push_back("[" + s + "]");
        FLinhas.push_back(std::move(linha));
    } else if (p.chave != npos) {
        if (FLinhas[p.chave] == linha) return;
        FLinhas[p.chave] = std::move(linha);
    } else {
        // Depois da última linha não vazia da seção: as linhas em branco que a separam da
        // seção seguinte continuam no lugar.
        auto pos = p.fim;
        while (pos > p.secao + 1 && Aparar(FLinhas[pos - 1]).empty())
            --pos;
        FLinhas.insert(FLinhas.begin() + static_cast<std::ptrdiff_t>(pos), std::move(linha));
    }
    FModificado = true;
}

void TArquivoIni::EscreverInteiro(std::string_view secao, std::string_view chave, long valor) {
    EscreverTexto(secao, chave, std::to_string(valor));
}

void TArquivoIni::EscreverLogico(std::string_view secao, std::string_view chave, bool valor) {
    EscreverTexto(secao, chave, valor ? "1" : "0");
}

void TArquivoIni::EscreverReal(std::string_view secao, std::string_view chave, double valor,
                               char separadorDecimal) {
    EscreverTexto(secao, chave, FloatToStr(valor, separadorDecimal));
}

void TArquivoIni::ApagarChave(std::string_view secao, std::string_view chave) {
    const std::string s = Nome1252(secao), k = Nome1252(chave);
    const auto p = Localizar(FLinhas, s, k);
    if (p.chave == npos) return;
    // Apaga também as repetições, senão a seguinte passaria a valer; numa só passada, pois um
    // arquivo pode repetir a chave milhares de vezes.
    const auto inicio = FLinhas.begin() + static_cast<std::ptrdiff_t>(p.chave);
    const auto fim = FLinhas.begin() + static_cast<std::ptrdiff_t>(p.fim);
    const auto novoFim = std::remove_if(inicio, fim, [&](const std::string& linha) {
        std::string_view c, v;
        return Entrada(linha, c, v) && IguaisSemCaixa(c, k);
    });
    FLinhas.erase(novoFim, fim);
    FModificado = true;
}

std::string TArquivoIni::Texto() const {
    std::size_t total = 0;
    for (const auto& l : FLinhas)
        total += l.size() + 2;
    std::string s;
    s.reserve(total);
    for (const auto& l : FLinhas) {
        s += l;
        s += "\r\n";
    }
    return s;
}

void TArquivoIni::DefinirTexto(std::string_view bytes1252) {
    std::vector<std::string> linhas;
    std::size_t inicio = 0;
    while (inicio < bytes1252.size()) {
        auto fim = bytes1252.find('\n', inicio);
        if (fim == npos) fim = bytes1252.size();
        auto linha = bytes1252.substr(inicio, fim - inicio);
        if (!linha.empty() && linha.back() == '\r') linha.remove_suffix(1);
        linhas.emplace_back(linha);
        inicio = fim + 1;
    }
    FLinhas = std::move(linhas);
    FModificado = false;
}

namespace {

// O nome do destino no temporário, encurtado numa divisa de caractere UTF-8: "<nome>.~<pid>.
// XXXXXX" cabe nos 255 bytes de um nome mesmo quando o destino já tem 255.
constexpr std::size_t NOME_MAXIMO_NO_TEMPORARIO = 200;

std::string PrefixoTemporario(std::string nome) {
    if (nome.size() > NOME_MAXIMO_NO_TEMPORARIO) {
        std::size_t n = NOME_MAXIMO_NO_TEMPORARIO;
        while (n > 0 && (static_cast<unsigned char>(nome[n]) & 0xC0) == 0x80)
            --n;
        nome.resize(n);
    }
    return nome + ".~";
}

// Remove os temporários do destino deixados por uma execução morta no meio da gravação (o pid
// do nome não existe mais); os de um processo vivo, que ainda vai renomeá-los, ficam.
void RemoverTemporariosOrfaos(const std::string& pasta, const std::string& prefixo) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::directory_iterator it(pasta, ec), fim; !ec && it != fim; it.increment(ec)) {
        const std::string nome = it->path().filename().string();
        if (nome.size() <= prefixo.size() || nome.compare(0, prefixo.size(), prefixo) != 0)
            continue;
        const std::string resto = nome.substr(prefixo.size());
        const auto ponto = resto.find('.');
        if (ponto == std::string::npos || ponto == 0 || resto.size() - ponto != 7) continue;
        long pid = 0;
        const auto r = std::from_chars(resto.data(), resto.data() + ponto, pid);
        if (r.ec != std::errc() || r.ptr != resto.data() + ponto || pid <= 0) continue;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
        std::error_code ignorado;
        if (fs::is_regular_file(fs::symlink_status(it->path(), ignorado)))
            fs::remove(it->path(), ignorado);
    }
}

} // namespace

int CriarTemporario(const std::string& caminho, std::string& temporario) {
    const auto barra = caminho.rfind('/');
    const std::string pasta = barra == npos ? "." : (barra == 0 ? "/" : caminho.substr(0, barra));
    const std::string prefixo =
        PrefixoTemporario(barra == npos ? caminho : caminho.substr(barra + 1));
    RemoverTemporariosOrfaos(pasta, prefixo);
    temporario = caminho.substr(0, barra == npos ? 0 : barra + 1) + prefixo +
                 std::to_string(::getpid()) + ".XXXXXX";
    return ::mkostemp(temporario.data(), O_CLOEXEC);
}

std::string MotivoDestinoInsubstituivel(const std::string& caminho) {
    struct stat st {};
    if (::lstat(caminho.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
    if (S_ISDIR(st.st_mode)) return "é uma pasta";
    if (!S_ISLNK(st.st_mode)) return "não é um arquivo comum";
    // Um link é trocado, não seguido, mas só quando leva a um arquivo comum. Um link para um
    // descritor de processo (/dev/stdout) nunca: leva ao arquivo para onde a saída foi mandada.
    std::error_code ec;
    const std::string alvo = std::filesystem::read_symlink(caminho, ec).string();
    struct stat destino {};
    if (::stat(caminho.c_str(), &destino) != 0)
        return errno == ENOENT ? "é um link simbólico para um arquivo que não existe"
                               : "é um link simbólico que não leva a um arquivo comum";
    if (!S_ISREG(destino.st_mode) || alvo.rfind("/proc/", 0) == 0)
        return "é um link simbólico que não leva a um arquivo comum";
    return {};
}

int EscreverTudo(int fd, std::string_view conteudo) {
    const char* p = conteudo.data();
    std::size_t resto = conteudo.size();
    while (resto > 0) {
        const auto n = ::write(fd, p, resto < (1u << 30) ? resto : (1u << 30));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        p += n;
        resto -= static_cast<std::size_t>(n);
    }
    return 0;
}

void GravarArquivoAtomico(const std::string& caminho, std::string_view conteudo) {
    auto falha = [&](int erro) { return ErroArquivo("gravar", caminho, erro, false); };
    const auto barra = caminho.rfind('/');
    const std::string pasta = barra == npos ? "." : (barra == 0 ? "/" : caminho.substr(0, barra));
    const std::string nome = barra == npos ? caminho : caminho.substr(barra + 1);
    if (nome.empty()) throw falha(caminho.empty() ? ENOENT : EISDIR);
    // O rename trocaria um dispositivo, um FIFO ou o link para eles por um arquivo comum.
    if (const std::string motivo = MotivoDestinoInsubstituivel(caminho); !motivo.empty())
        throw EEntradaSaida("Não foi possível gravar o arquivo " + caminho + ": " + motivo + ".");

    std::string temporario;
    const int fd = CriarTemporario(caminho, temporario);
    if (fd < 0) throw falha(errno);

    // Mantém as permissões do arquivo substituído; um arquivo novo segue a umask.
    mode_t modo;
    struct stat st {};
    if (::lstat(caminho.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        modo = st.st_mode & 0777;
    } else {
        const mode_t mascara = ::umask(0);
        ::umask(mascara);
        modo = 0644 & ~mascara;
    }

    int erro = EscreverTudo(fd, conteudo);
    // Discos sem permissões POSIX (FAT) recusam fchmod; isso não impede a gravação.
    if (erro == 0) (void)::fchmod(fd, modo);
    if (erro == 0 && ::fsync(fd) != 0 && errno != EINVAL) erro = errno;
    if (::close(fd) != 0 && erro == 0) erro = errno;
    // rename troca um link simbólico no destino em vez de seguir para onde ele aponta.
    if (erro == 0 && ::rename(temporario.c_str(), caminho.c_str()) != 0) erro = errno;
    if (erro != 0) {
        ::unlink(temporario.c_str());
        throw falha(erro);
    }
    const int dfd = ::open(pasta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
}
