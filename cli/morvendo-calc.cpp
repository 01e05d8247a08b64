// Cálculo de um projeto pela linha de comando, com o mesmo núcleo da janela principal.
#include <clocale>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "engine/uPersistencia.h"
#include "idf/ConsultaIdf.h"
#include "project/Calculo.h"
#include "project/Projeto.h"
#include "project/ResultadoJson.h"
#include "reports/RelatorioTexto.h"

namespace {

volatile std::sig_atomic_t GInterrompido = 0;

extern "C" void AoInterromper(int) { GInterrompido = 1; }

const char* const USO =
    "Uso: morvendo-calc PROJETO.mvd [--json] [--relatorio ARQUIVO]\n"
    "     morvendo-calc --idf LATITUDE LONGITUDE\n"
    "Calcula o espaçamento máximo entre desaguadouros e a bacia de acumulação do projeto.\n"
    "  --json               resultados num objeto JSON na saída padrão\n"
    "  --relatorio ARQUIVO  onde gravar a tabela por seção (padrão: Relatorio.txt)\n"
    "  --idf LAT LON        parâmetros K, a, b, c da equação IDF no ponto (textos como\n"
    "                       20°45'14\" e 42°52'55\", latitude sul e longitude oeste)\n";

// Pasta dos dados comuns: irmã da pasta do programa.
std::string PastaComuns() {
    std::error_code erro;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", erro);
    if (erro) return "../Arquivos Comuns";
    return (exe.parent_path().parent_path() / "Arquivos Comuns").string();
}

std::string Aparar(const std::string& s) {
    const auto i = s.find_first_not_of(' ');
    if (i == std::string::npos) return "";
    return s.substr(i, s.find_last_not_of(' ') - i + 1);
}

// Andamento no terminal (stderr); mensagens do cálculo sempre vão para stderr.
class TAcompanhamentoTerminal : public IAcompanhamentoCalculo {
public:
    TAcompanhamentoTerminal(bool terminal, char sep) : FTerminal(terminal), FSep(sep) {}

    void DestacarEtapa(int etapa) override {
        static const char* const nomes[] = {"", "leito da estrada", "área externa", "canal"};
        FEtapa = nomes[etapa];
        Mostrar("");
    }
    void MostrarTempoEstrada(const std::string& t) override { Mostrar("t = " + t + " min"); }
    void MostrarTempoTalude(const std::string& t) override { Mostrar("t = " + t + " min"); }
    void MostrarTempoCanal(const std::string& t) override { Mostrar("t = " + t + " min"); }
    void MostrarProgresso(int p) override {
        FEtapa = "perda de solo";
        Mostrar(std::to_string(p) + " %");
    }
    void IniciarDimensionamento() override {
        Limpar();
        if (FTerminal) std::cerr << "Dimensionando canal e bacia de acumulação ...\n";
    }
    void ProcessarEventos() override {
        if (GInterrompido) Cancelar();
    }
    char SeparadorDecimal() const override { return FSep; }
    void MostrarMensagem(const std::string& texto) override {
        Limpar();
        std::cerr << texto << '\n';
    }
    void Limpar() {
        if (FTerminal && FLinha) std::cerr << "\r\033[K" << std::flush;
        FLinha = false;
    }

private:
    void Mostrar(const std::string& valor) {
        if (!FTerminal) return;
        std::cerr << "\r\033[KCalculando " << FEtapa << (valor.empty() ? "" : ": ") << valor
                  << std::flush;
        FLinha = true;
    }

    bool FTerminal;
    char FSep;
    bool FLinha = false;
    std::string FEtapa;
};

void EscreverResumo(const TResultadoCalculo& r, std::uint8_t formatoBacia, char sep,
                    std::ostream& out) {
    const TResultadoEspacamento& e = r.Canal;
    auto linha = [&](const char* rotulo, const std::string& valor, const char* unidade) {
        out << "  " << rotulo << ": " << valor << (valor == "---" ? "" : std::string(" ") + unidade)
            << "\n";
    };
    const std::string esp = std::to_string(e.Espacamento);
    out << "Resultados - Canal\n";
    linha("Perda tolerável de solo", FormatFloat("0.0#", e.PerdaToleravel, sep), "gramas");
    linha("Espaçamento máximo", esp, "m");
    linha("Tensão cisalhante máxima", FormatFloat("0.0#", e.TensaoMax, sep), "Pa");
    linha("Perda de solo estimada", FormatFloat("0.0#", e.PerdaSolo, sep), "gramas");
    linha("Vazão máxima", FormatFloat("0.0#", e.QMax, sep), "L/s");
    out << "Resultados - Bacia de acumulação\n";
    if (!r.Bacia) {
        linha("Volume escoado", "---", "");
        linha("Vazão máxima", "---", "");
        linha(formatoBacia == TBaciaAcumulacao::SEMICIRCULAR ? "Raio" : "Largura", "---", "");
        return;
    }
    const TResultadoBacia& b = *r.Bacia;
    linha("Volume escoado", FormatFloat("0.0##", b.VolumeEscoado, sep), "m³");
    linha("Vazão máxima", FormatFloat("0.0#", b.VazaoMaxima, sep), "L/s");
    linha("Profundidade do canal", FormatFloat("0.0", b.ProfundidadeCanal, sep), "cm");
    linha("Espaçamento máximo", esp, "m");
    if (formatoBacia == TBaciaAcumulacao::SEMICIRCULAR) {
        linha("Raio", FormatFloat("0.0#", b.Raio, sep), "m");
    } else {
        linha("Largura", FormatFloat("0.0#", b.Largura, sep), "m");
        linha("Comprimento", FormatFloat("0.0#", b.Comprimento, sep), "m");
    }
}

// Separador decimal do ambiente; o resto do programa continua no locale "C".
char SeparadorDoAmbiente() {
    char sep = '.';
    if (std::setlocale(LC_NUMERIC, "")) {
        const char* p = std::localeconv()->decimal_point;
        if (p && (p[0] == ',' || p[0] == '.')) sep = p[0];
    }
    std::setlocale(LC_NUMERIC, "C");
    return sep;
}

} // namespace

int main(int argc, char** argv) {
    std::string projeto, relatorio;
    bool json = false;
    if (argc >= 2 && std::string(argv[1]) == "--idf") {
        if (argc != 4) {
            std::cerr << USO;
            return 2;
        }
        std::setlocale(LC_NUMERIC, "C");
        return ConsultarIdf(argv[2], argv[3], PastaComuns(), std::cout, std::cerr);
    }
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json") {
            json = true;
        } else if (a == "--relatorio") {
            if (++i >= argc) {
                std::cerr << "Falta o nome do arquivo depois de --relatorio.\n" << USO;
                return 2;
            }
            relatorio = argv[i];
        } else if (a == "-h" || a == "--help" || a == "--ajuda") {
            std::cout << USO;
            return 0;
        } else if (!a.empty() && a[0] == '-') {
            std::cerr << "Opção desconhecida: " << a << "\n" << USO;
            return 2;
        } else if (projeto.empty()) {
            projeto = a;
        } else {
            std::cerr << "Só um projeto por vez.\n" << USO;
            return 2;
        }
    }
    if (projeto.empty()) {
        std::cerr << USO;
        return 2;
    }

    const char sep = SeparadorDoAmbiente();
    DefinirSeparadorDecimalLocal(sep);

    TUnidades unidades;
    TProjeto p(unidades);
    ZerarVariaveis(p);
    try {
        if (!LerProjeto(p, projeto)) {
            std::cerr << "O projeto " << projeto
                      << " não pôde ser lido: falta uma seção ou um valor está fora da faixa "
                         "permitida.\n";
            return 1;
        }
    } catch (const EArquivoNaoExiste& erro) {
        std::cerr << erro.what() << '\n';
        return 2;
    } catch (const EEntradaSaida& erro) {
        std::cerr << erro.what() << '\n';
        return 2;
    } catch (const EArquivoRecusado& erro) {
        std::cerr << erro.what() << '\n';
        return 2;
    } catch (const std::exception& erro) {
        std::cerr << erro.what() << '\n';
        return 1;
    }

    if (auto falha = ValidarDados(p)) {
        std::cerr << Aparar(falha->Mensagem) << '\n';
        return 1;
    }
    if (relatorio.empty()) relatorio = "Relatorio.txt";

    std::signal(SIGINT, AoInterromper);
    TAcompanhamentoTerminal acomp(isatty(STDERR_FILENO) != 0, sep);
    TResultadoCalculo r;
    try {
        r = ExecutarCalculo(p, p.Estrada.Comprimento(), &acomp);
    } catch (const std::exception& erro) {
        acomp.Limpar();
        std::cerr << erro.what() << '\n';
        return 1;
    }
    acomp.Limpar();
    switch (r.Situacao) {
    case TResultadoCalculo::Cancelado:
        std::cerr << "Cálculo cancelado.\n";
        return 130;
    case TResultadoCalculo::SemResultado:
        std::cerr << "O cálculo terminou sem resultados.\n";
        return 1;
    case TResultadoCalculo::Concluido:
        break;
    }
    try {
        EscreverRelatorioTexto(relatorio, r.Canal.Secoes);
    } catch (const std::exception& erro) {
        std::cerr << erro.what() << '\n';
        return 1;
    }
    if (json)
        std::cout << ResultadoJson(r) << '\n';
    else
        EscreverResumo(r, p.Estrada.Bacia.Formato, sep, std::cout);
    return 0;
}
