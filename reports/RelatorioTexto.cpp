#include "reports/RelatorioTexto.h"

#include <cerrno>
#include <charconv>
#include <fstream>
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
    // Um link simbólico para um arquivo comum é substituído, não seguido.
    if (const std::string motivo = MotivoDestinoInsubstituivel(caminho); !motivo.empty())
        throw EEntradaSaida(recusa + caminho + ": " + motivo + ".");
}

TEscritorRelatorioTexto::TEscritorRelatorioTexto(std::string caminho)
    : FCaminho(std::move(caminho)) {
    VerificarDestinoRelatorioTexto(FCaminho);
    struct stat st {};
    const bool existe = lstat(FCaminho.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    std::string modelo;
    const int fd = CriarTemporario(FCaminho, modelo);
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

std::string TextoRelatorioTexto(const std::vector<TLinhaRelatorioTexto>& linhas) {
    std::string texto = std::string(CABECALHO_RELATORIO_TEXTO) + "\r\n";
    for (const TLinhaRelatorioTexto& l : linhas)
        texto += LinhaRelatorioTexto(l.Secao, l.Lamina, l.Vazao, l.Tensao, l.Perda) + "\r\n";
    return texto;
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
