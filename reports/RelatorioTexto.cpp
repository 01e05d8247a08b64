#include "reports/RelatorioTexto.h"

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"

const char* const CABECALHO_RELATORIO_TEXTO =
    "     Secao (m)    Lamina(cm)    Vazao (L/s)    Tensao maxima (Pa)    Perda de solo (g)";

namespace {

std::string ErroSistema(const std::string& texto, const std::string& caminho) {
    const std::string motivo = MotivoErroSistema(errno, false);
    return texto + " " + caminho + (motivo.empty() ? "" : ": " + motivo) + ".";
}

} // namespace

namespace {

// Número em ponto fixo com 2 casas, alinhado à direita na largura dada. O ponto decimal não
// depende do locale do processo (a interface gráfica adota o do usuário).
void Campo(std::string& linha, double valor, int largura) {
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, valor, std::chars_format::fixed, 2);
    const auto n = int(r.ptr - buf);
    if (n < largura) linha.append(std::size_t(largura - n), ' ');
    linha.append(buf, r.ptr);
}

} // namespace

std::string LinhaRelatorioTexto(int secao, double laminaCm, double vazaoLs, double tensaoPa,
                                double perda) {
    const std::string s = std::to_string(secao);
    std::string linha;
    if (s.size() < 10) linha.append(10 - s.size(), ' ');
    linha += s;
    linha += '\t';
    Campo(linha, laminaCm, 8);
    Campo(linha, vazaoLs, 15);
    Campo(linha, tensaoPa, 18);
    Campo(linha, perda, 21);
    return linha;
}

namespace {

// Temporários levam o pid de quem os criou: "Relatorio.txt.~1234.aB3xYz".
std::string PrefixoTemporario(const std::string& caminho) {
    return caminho + ".~";
}

// Remove os temporários deixados por uma execução morta no meio da tabela (o pid não existe
// mais); os de um cálculo em andamento ficam.
void RemoverTemporariosOrfaos(const std::string& caminho) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path alvo(caminho);
    const fs::path pasta = alvo.has_parent_path() ? alvo.parent_path() : fs::path(".");
    const std::string prefixo = alvo.filename().string() + ".~";
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
        if (kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
        std::error_code ignorado;
        if (fs::is_regular_file(fs::symlink_status(it->path(), ignorado)))
            fs::remove(it->path(), ignorado);
    }
}

// Permissões do arquivo novo: as da tabela que ele substitui, ou as de um arquivo novo
// segundo a umask.
mode_t ModoDoArquivo(const struct stat* existente) {
    if (existente) return existente->st_mode & 07777;
    const mode_t mascara = umask(0);
    umask(mascara);
    return 0666 & ~mascara;
}

} // namespace

void VerificarDestinoRelatorioTexto(const std::string& caminho, const std::string& recusa) {
    struct stat st {};
    if (lstat(caminho.c_str(), &st) != 0) return; // não existe: será criado
    // Um link simbólico é substituído, não seguido; fora isso só um arquivo comum.
    if (S_ISLNK(st.st_mode) || S_ISREG(st.st_mode)) return;
    if (S_ISDIR(st.st_mode)) throw EEntradaSaida(recusa + caminho + ": é uma pasta.");
    throw EEntradaSaida(recusa + caminho + ": não é um arquivo comum.");
}

TEscritorRelatorioTexto::TEscritorRelatorioTexto(std::string caminho)
    : FCaminho(std::move(caminho)) {
    VerificarDestinoRelatorioTexto(FCaminho);
    RemoverTemporariosOrfaos(FCaminho);
    struct stat st {};
    const bool existe = lstat(FCaminho.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    std::string modelo = PrefixoTemporario(FCaminho) + std::to_string(getpid()) + ".XXXXXX";
    const int fd = mkstemp(modelo.data());
    if (fd < 0) throw EEntradaSaida(ErroSistema("Não foi possível criar o arquivo", FCaminho));
    fchmod(fd, ModoDoArquivo(existe ? &st : nullptr));
    FTemporario = modelo;
    FArquivo = fdopen(fd, "wb");
    if (!FArquivo) {
        close(fd);
        Descartar();
        throw EEntradaSaida(ErroSistema("Não foi possível criar o arquivo", FCaminho));
    }
    if (std::fprintf(FArquivo, "%s\r\n", CABECALHO_RELATORIO_TEXTO) < 0) {
        const std::string msg = ErroSistema("Não foi possível gravar o arquivo", FCaminho);
        Descartar();
        throw EEntradaSaida(msg);
    }
}

TEscritorRelatorioTexto::~TEscritorRelatorioTexto() {
    Descartar();
}

void TEscritorRelatorioTexto::Descartar() noexcept {
    if (FArquivo) std::fclose(FArquivo);
    FArquivo = nullptr;
    if (!FTemporario.empty()) unlink(FTemporario.c_str());
    FTemporario.clear();
}

void TEscritorRelatorioTexto::EscreverSecao(int secao, double laminaCm, double vazaoLs,
                                            double tensaoPa, double perda) {
    if (!FArquivo) throw EEntradaSaida("Não foi possível gravar o arquivo " + FCaminho + ".");
    const std::string linha = LinhaRelatorioTexto(secao, laminaCm, vazaoLs, tensaoPa, perda);
    if (std::fprintf(FArquivo, "%s\r\n", linha.c_str()) < 0 || std::ferror(FArquivo)) {
        const std::string msg = ErroSistema("Não foi possível gravar o arquivo", FCaminho);
        Descartar();
        throw EEntradaSaida(msg);
    }
}

void TEscritorRelatorioTexto::Fechar() {
    if (!FArquivo) throw EEntradaSaida("Não foi possível gravar o arquivo " + FCaminho + ".");
    std::FILE* f = FArquivo;
    FArquivo = nullptr;
    const bool ok = std::fflush(f) == 0 && !std::ferror(f) && fsync(fileno(f)) == 0;
    const bool fechou = std::fclose(f) == 0;
    if (!ok || !fechou || std::rename(FTemporario.c_str(), FCaminho.c_str()) != 0) {
        const std::string msg = ErroSistema("Não foi possível gravar o arquivo", FCaminho);
        Descartar();
        throw EEntradaSaida(msg);
    }
    FTemporario.clear();
}

std::vector<TLinhaRelatorioTexto> LerRelatorioTexto(const std::string& caminho) {
    std::ifstream f(caminho, std::ios::binary);
    if (!f) throw EEntradaSaida("O arquivo " + caminho + " não foi encontrado.");
    std::vector<TLinhaRelatorioTexto> linhas;
    std::string linha;
    std::getline(f, linha); // cabeçalho
    int numero = 1;
    while (std::getline(f, linha)) {
        ++numero;
        if (linha.find_first_not_of(" \t\r") == std::string::npos) continue;
        std::istringstream in(linha);
        in.imbue(std::locale::classic());
        TLinhaRelatorioTexto l{};
        if (!(in >> l.Secao >> l.Lamina >> l.Vazao >> l.Tensao >> l.Perda))
            throw EEntradaSaida("Linha " + std::to_string(numero) + " inválida no arquivo " +
                                caminho + ".");
        linhas.push_back(l);
    }
    return linhas;
}

void EscreverRelatorioTexto(const std::string& caminho,
                            const std::vector<TLinhaRelatorioTexto>& linhas) {
    TEscritorRelatorioTexto tabela(caminho);
    for (const TLinhaRelatorioTexto& l : linhas)
        tabela.EscreverSecao(l.Secao, l.Lamina, l.Vazao, l.Tensao, l.Perda);
    tabela.Fechar();
}

std::vector<TLinhaRelatorioTexto> LinhasComoNaTabela(std::vector<TLinhaRelatorioTexto> linhas) {
    // O mesmo texto que a tabela grava, lido de volta.
    const auto duasCasas = [](double& v) {
        char buf[400];
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
        std::from_chars(buf, r.ptr, v);
    };
    for (TLinhaRelatorioTexto& l : linhas)
        for (double* v : {&l.Lamina, &l.Vazao, &l.Tensao, &l.Perda})
            duasCasas(*v);
    return linhas;
}
