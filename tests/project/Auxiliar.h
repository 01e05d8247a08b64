#pragma once
// Pasta temporária e utilidades de arquivo para os testes de projeto.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

inline const std::string DADOS_REFERENCIA = std::string(MORVENDO_DADOS_TESTE) + "/referencia/";

inline std::string LerBytes(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

inline void GravarBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// Troca, no texto do projeto, a primeira ocorrência de um padrão.
inline std::string Trocar(const std::string& texto, const std::string& padrao,
                          const std::string& novo) {
    return std::regex_replace(texto, std::regex(padrao), novo,
                              std::regex_constants::format_first_only);
}

class TPastaTemporaria {
public:
    explicit TPastaTemporaria(const std::string& nome)
        : Caminho(fs::temp_directory_path() /
                  ("morvendo-" + nome + "-" + std::to_string(::getpid()))) {
        fs::remove_all(Caminho);
        fs::create_directories(Caminho);
    }
    ~TPastaTemporaria() { fs::remove_all(Caminho); }
    fs::path operator/(const std::string& n) const { return Caminho / n; }
    fs::path Caminho;
};

#ifdef MORVENDO_CALC
// A linha de comando rodada na pasta dada, no locale C: status, saída e erros.
struct TSaida {
    int Status;
    std::string Out, Err;
};

inline TSaida Rodar(const fs::path& pasta, const std::string& argumentos) {
    const std::string cmd = "cd '" + pasta.string() + "' && LC_ALL=C '" MORVENDO_CALC "' " +
                            argumentos + " > out.txt 2> err.txt";
    const int r = std::system(cmd.c_str());
    return {WIFEXITED(r) ? WEXITSTATUS(r) : -1, LerBytes(pasta / "out.txt"),
            LerBytes(pasta / "err.txt")};
}
#endif
