// Cálculo de um projeto pela linha de comando, com o mesmo núcleo da janela principal.
#include <clocale>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>

#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "comum/LeitorCsv.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "geo/EstradaDoMapa.h"
#include "geo/ExportarMapa.h"
#include "idf/AjusteIdf.h"
#include "idf/BancoEstacoes.h"
#include "idf/ConsultaIdf.h"
#include "idf/EstacoesUsuario.h"
#include "idf/SerieDiaria.h"
#include "project/Avisos.h"
#include "project/BalancoHidricoTexto.h"
#include "project/Calculo.h"
#include "project/Estudos.h"
#include "project/Locacao.h"
#include "project/Projeto.h"
#include "project/ProtecaoCanal.h"
#include "project/ResultadoJson.h"
#include "project/RotulosResultado.h"
#include "reports/RelatorioEstrada.h"
#include "reports/RelatorioTexto.h"

namespace {

volatile std::sig_atomic_t GInterrompido = 0;

// Cancelamento dos lotes: atômico sem trava, pode ser escrito pelo tratador do sinal.
TCancelamentoLote GCancelamento;
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void AoInterromper(int) {
    GInterrompido = 1;
    GCancelamento.Pedido.store(true, std::memory_order_relaxed);
}

const char* const USO =
    "Uso: morvendo-calc PROJETO.mvd [--json] [--relatorio ARQUIVO] [--csv ARQUIVO]\n"
    "                          [--html ARQUIVO] [--curva-descarga-original]\n"
    "     morvendo-calc PROJETO.mvd --estudo PARAMETRO INICIO FIM PASSO [--threads N]\n"
    "     morvendo-calc PROJETO.mvd --trechos TRECHOS.csv [--threads N]\n"
    "     morvendo-calc PROJETO.mvd --perfil PERFIL.csv [--fator F] [--threads N]\n"
    "     morvendo-calc PROJETO.mvd --estrada LINHA [--mde TERRENO] [--camada NOME]\n"
    "                   [--feicao N] [--do-fim] [--suavizar M] [--saida MAPA]\n"
    "                   [--fator F] [--threads N]\n"
    "     morvendo-calc PROJETO.mvd --protecao [--custos CUSTOS.csv] [--threads N]\n"
    "     morvendo-calc --idf LATITUDE LONGITUDE [--raio KM]\n"
    "     morvendo-calc --ajustar-idf TABELA.csv\n"
    "     morvendo-calc --chuva-diaria SERIE.csv [--excluir-anos 1950,1961]\n"
    "                   [--ano-hidrologico MES]\n"
    "Calcula o espaçamento máximo entre desaguadouros e a bacia de acumulação do projeto.\n"
    "  --json               resultados num objeto JSON na saída padrão\n"
    "  --relatorio ARQUIVO  onde gravar a tabela por seção (padrão: Relatorio.txt)\n"
    "  --csv ARQUIVO        a tabela por metro em CSV (ponto decimal, precisão completa)\n"
    "  --html ARQUIVO       o relatório da estrada em HTML, com os gráficos em SVG\n"
    "                       (ARQUIVO \"-\": a saída padrão, e o resumo vai para a de erros;\n"
    "                       um FIFO ou um dispositivo recebe a saída direto)\n"
    "  --curva-descarga-original  canal trapezoidal com a curva de descarga antiga, ajustada\n"
    "                       em lâminas de 0,2 a 5 m (para reproduzir projetos feitos com ela;\n"
    "                       superestima a vazão nas lâminas de canal de estrada)\n"
    "  --estudo P I F D     calcula o projeto com o parâmetro P de I a F, passo D, e escreve\n"
    "                       um CSV; P: declividade (m/m), tr (anos), k, aprofundamento (cm),\n"
    "                       comprimento_talude (m), erodibilidade, tensao_critica (Pa)\n"
    "  --trechos ARQUIVO    calcula cada trecho (CSV nome,inicio_m,comprimento_m,declividade)\n"
    "                       e escreve os desaguadouros de cada um em CSV\n"
    "  --perfil ARQUIVO     loca os desaguadouros da estrada pelo perfil (CSV distancia_m,\n"
    "                       cota_m, com as colunas opcionais lado, E, D ou ambos, e secao, 1\n"
    "                       em corte ou 3 sem corte, da rampa que começa no ponto) seguindo\n"
    "                       a água, e escreve a nota de locação em CSV (numero,lado,estaca,\n"
    "                       distancia_m,declividade_montante,trecho_m,vazao_pico_L_s,\n"
    "                       volume_bacia_m3,avisos)\n"
    "  --fator F            fator de segurança do espaçamento adotado de --perfil, maior que\n"
    "                       0 e no máximo 1 (padrão: o do projeto, 0.8 se ele não diz)\n"
    "  --estrada LINHA      loca os desaguadouros como --perfil, com o perfil tirado de um\n"
    "                       mapa: a linha da estrada em GPX, KML, KMZ, GeoJSON, GeoPackage\n"
    "                       ou Shapefile, estaqueada em metros na zona UTM; as cotas da\n"
    "                       própria linha (GPX com <ele>, linha 3D) ou do modelo de terreno\n"
    "  --mde TERRENO        modelo de terreno (GeoTIFF, .hgt, grade ASCII...) de onde tirar\n"
    "                       as cotas a cada metro ao longo da linha\n"
    "  --camada NOME        a camada da estrada, num arquivo com linhas em várias\n"
    "  --feicao N           só a linha de identificador N (sem ela, as linhas da camada são\n"
    "                       emendadas pelas pontas)\n"
    "  --do-fim             estaqueamento a partir do último ponto da linha\n"
    "  --suavizar M         janela da média móvel do perfil, em metros (padrão: 20)\n"
    "  --saida MAPA         grava também os desaguadouros, com coordenadas, e os canais\n"
    "                       que chegam a eles em MAPA: .gpkg, .kml, .gpx, .geojson ou .csv\n"
    "  --protecao           compara o canal com o solo exposto, gramado, com manta, com\n"
    "                       enrocamento e com concreto, com os dados da proteção do projeto, e\n"
    "                       escreve um CSV (alternativa,espacamento_m,desaguadouros_por_km,\n"
    "                       tensao_efetiva_max_Pa,lamina_cm,velocidade_m_s,capacidade_ok,\n"
    "                       custo_por_km; capacidade_ok 1 ou 0; sem desaguadouro no meio do\n"
    "                       canal, o espaçamento é o comprimento)\n"
    "  --custos ARQUIVO     custos de --protecao (CSV alternativa,custo: grama, manta,\n"
    "                       enrocamento e concreto em R$/m, desaguadouro em R$ com a bacia) no\n"
    "                       lugar dos do projeto\n"
    "  --threads N          linhas de execução do estudo, dos trechos ou da proteção (padrão:\n"
    "                       os núcleos)\n"
    "  --idf LAT LON        parâmetros K, a, b, c da equação IDF no ponto (20°45'14\"\n"
    "                       42°52'55\", 7°20'58\" 37°17'10\", -22.5 -47.3 ou 22,5 S 47,3 O;\n"
    "                       sem letra, latitude sul e longitude oeste); usa também as suas\n"
    "                       estações, as da janela (pasta de dados do usuário, ou a da\n"
    "                       variável MORVENDO_DADOS_USUARIO). A até 1 km de uma estação, a\n"
    "                       equação dela; senão a interpolada com as estações do raio, uma\n"
    "                       linha \"Estacao: NOME (UF); distancia_km: D; peso: P %\" por estação\n"
    "  --raio KM            raio da interpolação de --idf, de 10 a 300 km (padrão: 100)\n"
    "  --ajustar-idf TABELA.csv  K, a, b, c ajustados a uma tabela de intensidades: durações\n"
    "                       nas linhas e períodos de retorno nas colunas, ou uma linha por\n"
    "                       ponto (duracao_min,tr_anos,intensidade_mm_h); K, a, b e c nas\n"
    "                       faixas dos dados do projeto (b de 1 a 1000 min); sem equação\n"
    "                       nelas que represente a tabela, status 3\n"
    "  --chuva-diaria SERIE.csv  equação IDF da série de chuvas diárias de um posto (CSV ou\n"
    "                       TXT do portal de séries históricas): máximas anuais de um dia,\n"
    "                       Gumbel, relações entre durações de 5 min a 24 h e o ajuste de\n"
    "                       --ajustar-idf; imprime K, a, b, c, os anos usados, a chuva de um\n"
    "                       dia de cada período de retorno (P1dia_mm) e a tabela de\n"
    "                       intensidades; status 1 série recusada, 3 sem equação nas faixas\n"
    "  --excluir-anos A,B   anos que ficam fora das máximas anuais\n"
    "  --ano-hidrologico MES  ano hidrológico a partir do mês MES (1 a 12), rotulado pelo ano\n"
    "                       em que começa (padrão: ano civil)\n"
    "Saída: 0 sucesso; 1 erro nos dados ou no cálculo; 2 uso incorreto ou arquivo ilegível;\n"
    "  3 nenhuma equação serve à tabela (--ajustar-idf); 4 nenhum espaçamento atende (no\n"
    "  projeto, em algum trecho de --trechos ou descida de --perfil); 5 nenhuma\n"
    "  alternativa atende (--protecao); 130 cálculo cancelado\n";

// Nenhum espaçamento atende: há resultado (a tabela, o resumo), mas não há desaguadouro.
constexpr int SAIDA_NENHUM_ESPACAMENTO = 4;
// Nenhuma alternativa de proteção atende: a tabela sai, mas nenhuma linha serve.
constexpr int SAIDA_NENHUMA_PROTECAO = 5;

// Pasta dos dados comuns: irmã da pasta do programa.
std::string PastaComuns() {
    std::error_code erro;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", erro);
    if (erro) return "../Arquivos Comuns";
    return (exe.parent_path().parent_path() / "Arquivos Comuns").string();
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
        if (FTerminal) std::cerr << "Dimensionando canal e bacia de acumulação…\n";
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
    using G = TGrandezaResultado;
    auto linha = [&](G g) {
        const TRotuloResultado& d = RotuloResultado(g);
        const std::string valor = TextoResultado(g, r, sep);
        out << "  " << d.Rotulo << ": " << valor
            << (valor == "---" ? "" : std::string(" ") + d.Unidade) << "\n";
    };
    out << "Resultados - Canal\n";
    // O volume até o desaguadouro fica para a janela e o relatório.
    for (G g : GrandezasCanal())
        if (g != G::VolumeCanal) linha(g);
    out << "Resultados - Bacia de acumulação\n";
    const bool semicircular = formatoBacia == TBaciaAcumulacao::SEMICIRCULAR;
    if (!r.Bacia) {
        for (G g : {G::VolumeBacia, G::VazaoBacia, semicircular ? G::RaioBacia : G::LarguraBacia})
            linha(g);
        return;
    }
    for (G g : GrandezasBacia(semicircular))
        linha(g);
}

// Os avisos do resultado, depois do resumo; nada quando não há.
// A curva de descarga e o balanço hídrico do cálculo do espaçamento.
void EscreverBalanco(const TProjeto& p, const TResultadoCalculo& r, char sep, std::ostream& out) {
    out << "Curva de descarga do canal: " << TextoCurvaDescarga(p, r, sep) << "\n";
    out << "Balanço hídrico\n";
    for (const TLinhaBalanco& l : LinhasBalanco(p, r, sep))
        out << "  " << TextoLinhaBalanco(l) << "\n";
}

void EscreverAvisos(const std::vector<std::string>& avisos, std::ostream& out) {
    if (avisos.empty()) return;
    out << "Avisos\n";
    for (const std::string& a : avisos)
        out << "  " << a << '\n';
}

// O relatório com as figuras da pasta do programa e a data de hoje.
TOpcoesRelatorioEstrada OpcoesRelatorio() {
    TOpcoesRelatorioEstrada o;
    std::error_code erro;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", erro);
    if (!erro) o.PastaPrograma = exe.parent_path().string() + "/";
    const std::time_t agora = std::time(nullptr);
    std::tm data{};
    char texto[16] = "";
    if (localtime_r(&agora, &data)) std::strftime(texto, sizeof texto, "%d/%m/%Y", &data);
    o.Data = texto;
    return o;
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

// Uma saída não pode tomar o lugar do próprio projeto nem de um arquivo especial.
std::optional<std::string>
DestinoRecusado(const std::string& destino, const std::string& projeto,
                const std::string& recusa = "A tabela por seção não pode ser gravada em ") {
    std::error_code erro;
    if (std::filesystem::equivalent(destino, projeto, erro))
        return recusa + destino + ": é o próprio arquivo do projeto.";
    try {
        VerificarDestinoRelatorioTexto(destino, recusa);
    } catch (const EMorvendo& e) {
        return std::string(e.what());
    }
    return std::nullopt;
}

// Para onde vai uma saída: um arquivo trocado por inteiro (temporário e rename); a saída
// padrão ou a de erros ("-", ou um caminho que leva a elas, como /dev/stdout); ou um fluxo
// (dispositivo de caracteres, FIFO, terminal) escrito direto, sem nada pôr no lugar dele.
enum class TDestino { Arquivo, SaidaPadrao, SaidaErros, Fluxo };

TDestino TipoDestino(const std::string& caminho) {
    if (caminho == "-") return TDestino::SaidaPadrao;
    struct stat alvo {};
    if (::stat(caminho.c_str(), &alvo) != 0) return TDestino::Arquivo;
    // Um /dev/null que também é a saída padrão não a ocupa: é só um fluxo.
    for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) {
        struct stat s {};
        if (::fstat(fd, &s) == 0 && s.st_dev == alvo.st_dev && s.st_ino == alvo.st_ino &&
            !(S_ISCHR(s.st_mode) && !isatty(fd)))
            return fd == STDOUT_FILENO ? TDestino::SaidaPadrao : TDestino::SaidaErros;
    }
    if (S_ISCHR(alvo.st_mode) || S_ISFIFO(alvo.st_mode)) return TDestino::Fluxo;
    return TDestino::Arquivo;
}

// Grava uma saída conforme o destino; EEntradaSaida com o destino e o motivo.
void GravarSaida(const std::string& destino, const std::string& conteudo) {
    const TDestino tipo = TipoDestino(destino);
    if (tipo == TDestino::Arquivo) return GravarArquivoAtomico(destino, conteudo);
    if (tipo != TDestino::Fluxo) {
        std::ostream& saida = tipo == TDestino::SaidaPadrao ? std::cout : std::cerr;
        saida.write(conteudo.data(), std::streamsize(conteudo.size())).flush();
        if (!saida)
            throw EEntradaSaida(tipo == TDestino::SaidaPadrao
                                    ? "Não foi possível gravar na saída padrão."
                                    : "Não foi possível gravar na saída de erros.");
        return;
    }
    // Um FIFO sem leitor espera por ele, como no shell.
    const int fd = ::open(destino.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    int erro = fd < 0 ? errno : EscreverTudo(fd, conteudo);
    if (fd >= 0 && ::close(fd) != 0 && erro == 0) erro = errno;
    if (erro != 0) {
        const std::string motivo = MotivoErroSistema(erro, false);
        throw EEntradaSaida("Não foi possível gravar o arquivo " + destino +
                            (motivo.empty() ? "" : ": " + motivo) + ".");
    }
}

struct TOpcoes {
    std::string Projeto, Relatorio, Csv, Html, Trechos, Custos, Perfil;
    std::optional<double> Fator;
    // A estrada a partir do mapa.
    std::string Estrada, Mde, Camada, Saida;
    std::optional<long long> Feicao;
    std::optional<double> Suavizar;
    bool DoFim = false;
    bool Json = false;
    bool Protecao = false;
    bool CurvaDescargaOriginal = false;
    std::optional<TParametroEstudo> Estudo;
    double Inicio = 0, Fim = 0, Passo = 0;
    unsigned Linhas = 0;
};

// Número da linha de comando, com ponto decimal.
bool LerNumero(const char* texto, double& v) {
    const auto r = TentarTextoParaReal(texto, '.');
    if (!r || !std::isfinite(*r)) return false;
    v = *r;
    return true;
}

// Devolve -1 quando as opções servem, ou o status de saída.
int LerOpcoes(int argc, char** argv, TOpcoes& o) {
    auto falta = [&](const char* opcao, const char* oque) {
        std::cerr << "Falta " << oque << " depois de " << opcao << ".\n" << USO;
        return 2;
    };
    // Uma opção repetida faria a primeira não valer nada, calada.
    auto repetida = [&](const std::string& opcao) {
        std::cerr << "A opção " << opcao << " foi dada mais de uma vez.\n";
        return 2;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json") {
            o.Json = true;
        } else if (a == "--curva-descarga-original") {
            o.CurvaDescargaOriginal = true;
        } else if (a == "--protecao") {
            if (o.Protecao) return repetida(a);
            o.Protecao = true;
        } else if (a == "--relatorio" || a == "--csv" || a == "--html" || a == "--trechos" ||
                   a == "--custos" || a == "--perfil") {
            if (++i >= argc) return falta(a.c_str(), "o nome do arquivo");
            std::string& arquivo = a == "--relatorio" ? o.Relatorio
                                   : a == "--csv"     ? o.Csv
                                   : a == "--html"    ? o.Html
                                   : a == "--custos"  ? o.Custos
                                   : a == "--perfil"  ? o.Perfil
                                                      : o.Trechos;
            if (!arquivo.empty()) return repetida(a);
            if (!*argv[i]) {
                std::cerr << "O nome do arquivo depois de " << a << " está vazio.\n";
                return 2;
            }
            arquivo = argv[i];
        } else if (a == "--estudo") {
            if (i + 4 >= argc) return falta("--estudo", "PARAMETRO INICIO FIM PASSO");
            if (o.Estudo) return repetida(a);
            o.Estudo = ParametroPorNome(argv[i + 1]);
            if (!o.Estudo) {
                std::cerr << "Parâmetro de estudo desconhecido: " << argv[i + 1]
                          << ". Use um destes:";
                for (const auto& d : ParametrosEstudo())
                    std::cerr << ' ' << d.Nome;
                std::cerr << ".\n";
                return 2;
            }
            const char* nomes[] = {"INICIO", "FIM", "PASSO"};
            double* destinos[] = {&o.Inicio, &o.Fim, &o.Passo};
            for (int k = 0; k < 3; ++k)
                if (!LerNumero(argv[i + 2 + k], *destinos[k])) {
                    std::cerr << "O " << nomes[k] << " do estudo (\"" << argv[i + 2 + k]
                              << "\") não é um número (use ponto decimal).\n";
                    return 2;
                }
            i += 4;
        } else if (a == "--estrada" || a == "--mde" || a == "--camada" || a == "--saida") {
            if (++i >= argc)
                return falta(a.c_str(), a == "--camada" ? "o nome da camada" : "o nome do arquivo");
            std::string& valor = a == "--estrada"  ? o.Estrada
                                 : a == "--mde"    ? o.Mde
                                 : a == "--camada" ? o.Camada
                                                   : o.Saida;
            if (!valor.empty()) return repetida(a);
            if (!*argv[i]) {
                std::cerr << "O valor depois de " << a << " está vazio.\n";
                return 2;
            }
            valor = argv[i];
        } else if (a == "--do-fim") {
            o.DoFim = true;
        } else if (a == "--feicao" || a == "--suavizar") {
            if (++i >= argc) return falta(a.c_str(), "um número");
            if (a == "--feicao" ? bool(o.Feicao) : bool(o.Suavizar)) return repetida(a);
            double v = 0;
            if (a == "--feicao") {
                if (!LerNumero(argv[i], v) || v < 0 || v > 9e15 || v != std::floor(v)) {
                    std::cerr << "O identificador da linha (--feicao) deve ser um inteiro "
                                 "não negativo.\n";
                    return 2;
                }
                o.Feicao = static_cast<long long>(v);
            } else {
                if (!LerNumero(argv[i], v) || v < 0 || v > 1000) {
                    std::cerr << "A janela da média móvel (--suavizar) deve ser de 0 a 1000 "
                                 "m.\n";
                    return 2;
                }
                o.Suavizar = v;
            }
        } else if (a == "--fator") {
            double f = 0;
            if (++i >= argc) return falta("--fator", "o fator de segurança");
            if (o.Fator) return repetida(a);
            if (!LerNumero(argv[i], f) || !(f > 0 && f <= 1)) {
                std::cerr << "O fator de segurança do espaçamento (--fator) deve ser maior que 0 "
                             "e no máximo 1 (use ponto decimal).\n";
                return 2;
            }
            o.Fator = f;
        } else if (a == "--threads") {
            double n = 0;
            if (++i >= argc) return falta("--threads", "o número de linhas de execução");
            if (o.Linhas) return repetida(a);
            if (!LerNumero(argv[i], n) || n < 1 || n > 256 || n != std::floor(n)) {
                std::cerr << "O número de linhas de execução (--threads) deve ser um inteiro de "
                             "1 a 256.\n";
                return 2;
            }
            o.Linhas = unsigned(n);
        } else if (a == "-h" || a == "--help" || a == "--ajuda") {
            std::cout << USO;
            return 0;
        } else if (!a.empty() && a[0] == '-') {
            std::cerr << "Opção desconhecida: " << a << "\n" << USO;
            return 2;
        } else if (o.Projeto.empty()) {
            o.Projeto = a;
        } else {
            std::cerr << "Só um projeto por vez.\n" << USO;
            return 2;
        }
    }
    if (o.Projeto.empty()) {
        std::cerr << USO;
        return 2;
    }
    // A estrada do mapa: a locação de --perfil com o perfil tirado dela; --fator e --threads
    // servem, as saídas do cálculo de um canal não.
    if (!o.Estrada.empty()) {
        if (o.Estudo || !o.Trechos.empty() || !o.Perfil.empty() || o.Protecao ||
            !o.Custos.empty()) {
            std::cerr
                << "A opção --estrada não serve com --estudo, --trechos, --perfil, --protecao nem "
                   "--custos.\n";
            return 2;
        }
        for (const auto& [dada, opcao] : {std::pair{!o.Relatorio.empty(), "--relatorio"},
                                          {!o.Csv.empty(), "--csv"},
                                          {!o.Html.empty(), "--html"},
                                          {o.Json, "--json"}})
            if (dada) {
                std::cerr << "A opção " << opcao
                          << " não serve com --estrada, que escreve a nota de locação na "
                             "saída padrão (e o mapa em --saida).\n";
                return 2;
            }
        return -1;
    }
    if (!o.Mde.empty() || !o.Camada.empty() || o.Feicao || o.DoFim || o.Suavizar ||
        !o.Saida.empty()) {
        std::cerr << "As opções --mde, --camada, --feicao, --do-fim, --suavizar e --saida só "
                     "servem com --estrada.\n";
        return 2;
    }
    if (int(bool(o.Estudo)) + int(!o.Trechos.empty()) + int(o.Protecao) + int(!o.Perfil.empty()) >
        1) {
        std::cerr << "Use só um de --estudo, --trechos, --perfil e --protecao.\n";
        return 2;
    }
    if (o.Fator && o.Perfil.empty()) {
        std::cerr << "A opção --fator só serve com --perfil.\n";
        return 2;
    }
    if (!o.Custos.empty() && !o.Protecao) {
        std::cerr << "A opção --custos só serve com --protecao.\n";
        return 2;
    }
    // Opções que o modo pedido não usaria: recusadas em vez de esquecidas.
    if (o.Estudo || !o.Trechos.empty() || o.Protecao || !o.Perfil.empty()) {
        const char* modo = o.Estudo           ? "--estudo"
                           : o.Protecao       ? "--protecao"
                           : o.Perfil.empty() ? "--trechos"
                                              : "--perfil";
        const std::pair<bool, const char*> saidas[] = {{!o.Relatorio.empty(), "--relatorio"},
                                                       {!o.Csv.empty(), "--csv"},
                                                       {!o.Html.empty(), "--html"},
                                                       {o.Json, "--json"}};
        for (const auto& [dada, opcao] : saidas)
            if (dada) {
                std::cerr << "A opção " << opcao << " não serve com " << modo
                          << ", que escreve só a sua tabela CSV, na saída padrão.\n";
                return 2;
            }
    } else if (o.Linhas) {
        std::cerr << "A opção --threads só serve com --estudo, --trechos, --perfil ou "
                     "--protecao.\n";
        return 2;
    }
    return -1;
}

// Tabela por metro em CSV para scripts: ponto decimal e precisão completa.
std::string TabelaCsv(const std::vector<TLinhaRelatorioTexto>& secoes) {
    std::string csv = "secao_m,lamina_cm,vazao_L_s,tensao_Pa,perda_solo\n";
    for (const TLinhaRelatorioTexto& l : secoes)
        csv += std::to_string(l.Secao) + ',' + RealExato(l.Lamina) + ',' + RealExato(l.Vazao) +
               ',' + RealExato(l.Tensao) + ',' + RealExato(l.Perda) + '\n';
    return csv;
}

// Andamento de um lote no terminal.
struct TLoteTerminal : IAndamentoLote {
    void PontoConcluido(std::size_t feitos, std::size_t total) override {
        if (isatty(STDERR_FILENO)) {
            std::lock_guard<std::mutex> trava(M);
            std::cerr << "\r\033[KCalculando: " << feitos << " de " << total << std::flush;
        }
    }
    std::mutex M;
};

// O projeto lido do disco uma vez só: o documento intacto, de que os lotes tiram as suas
// cópias, e o projeto lido dele. Uma segunda leitura poderia falhar (ou achar outro arquivo)
// depois de a primeira ter dado certo.
bool LerProjetoUmaVez(TProjeto& p, const std::string& caminho, TArquivoIni& documento) {
    documento = CarregarDocumentoProjeto(caminho);
    TArquivoIni copia = documento;
    return LerProjeto(p, copia);
}

// O documento do projeto com a curva de descarga pedida.
TArquivoIni DocumentoDoProjeto(const TOpcoes& o, TArquivoIni doc) {
    if (o.CurvaDescargaOriginal)
        doc.EscreverLogico("CanalEstrada_ESTRADA", "CurvaDescargaOriginal", true);
    return doc;
}

// Fim de um lote: cancelado (nada na saída, 130), ou o CSV e as mensagens dos pontos que
// falharam (status 1 quando houve alguma; senão 4 com um trecho sem espaçamento).
int Concluir(const std::string& csv, const std::string& erros, std::size_t falhas,
             bool semEspacamento = false) {
    if (isatty(STDERR_FILENO)) std::cerr << "\r\033[K" << std::flush;
    if (GCancelamento.Pedido || GInterrompido) {
        std::cerr << "Cálculo cancelado.\n";
        return 130;
    }
    std::cout << csv;
    std::cerr << erros;
    return falhas ? 1 : semEspacamento ? SAIDA_NENHUM_ESPACAMENTO : 0;
}

int ExecutarEstudoCli(const TOpcoes& o, const TArquivoIni& documento) {
    std::vector<double> valores;
    try {
        valores = ValoresDoIntervalo(o.Inicio, o.Fim, o.Passo);
    } catch (const EMorvendo& e) {
        std::cerr << e.what() << '\n';
        return 2;
    }
    TLoteTerminal lote;
    const auto pontos = ExecutarEstudo(DocumentoDoProjeto(o, documento), *o.Estudo, valores,
                                       o.Linhas ? o.Linhas : LinhasPadrao(), &lote, &GCancelamento);
    std::size_t falhas = 0;
    std::ostringstream out;
    out << "valor,espacamento_m,perda_toleravel,perda_solo,tensao_max_Pa,vazao_max_L_s,"
           "volume_bacia_m3,avisos\n";
    std::ostringstream erros;
    for (const TPontoEstudo& p : pontos) {
        const TResultadoExecucao& r = p.Resultado;
        out << RealExato(p.Valor);
        if (r.Ok && r.NenhumEspacamento) {
            // Campos vazios, nunca um espaçamento; a frase vem primeiro nos avisos.
            out << ",," << RealExato(r.PerdaToleravel) << ",,,,,"
                << CampoCsv(AvisosNumaCelula(r.Avisos));
        } else if (r.Ok) {
            out << ',' << r.Espacamento << ',' << RealExato(r.PerdaToleravel) << ','
                << RealExato(r.PerdaSolo) << ',' << RealExato(r.TensaoMax) << ','
                << RealExato(r.VazaoMax) << ','
                << (r.VolumeBacia ? RealExato(*r.VolumeBacia) : std::string()) << ','
                << CampoCsv(AvisosNumaCelula(r.Avisos));
        } else {
            out << ",,,,,,,";
            erros << "Valor " << RealExato(p.Valor) << ": " << r.Erro << '\n';
            ++falhas;
        }
        out << '\n';
    }
    return Concluir(out.str(), erros.str(), falhas);
}

// Lê uma tabela de entrada com 'ler'; falso (a mensagem já dita, com o nome do arquivo) quando
// ela não abre ou não serve. Só um arquivo comum: um FIFO prenderia o programa.
template <class Leitor> bool LerEntrada(const std::string& caminho, Leitor&& ler) {
    try {
        TEntradaArquivoComum f(caminho);
        ler(f);
        return true;
    } catch (const EEntradaSaida& e) {
        std::cerr << e.what() << '\n';
    } catch (const EMorvendo& e) {
        std::cerr << caminho << ": " << e.what() << '\n';
    }
    return false;
}

int ExecutarTrechosCli(const TOpcoes& o, const TArquivoIni& documento) {
    std::vector<TTrecho> trechos;
    // Lido aos pedaços: um arquivo enorme pára no limite de trechos sem ser guardado inteiro.
    if (!LerEntrada(o.Trechos, [&](std::istream& f) { trechos = LerTrechosCsv(f); })) return 2;
    TLoteTerminal lote;
    const auto r = ExecutarTrechos(DocumentoDoProjeto(o, documento), trechos,
                                   o.Linhas ? o.Linhas : LinhasPadrao(), &lote, &GCancelamento);
    std::size_t falhas = 0;
    bool semEspacamento = false;
    std::ostringstream out, erros;
    out << "nome,inicio_m,comprimento_m,declividade,espacamento_m,desaguadouros,posicoes_m,"
           "volume_bacia_m3,avisos\n";
    for (const TResultadoTrecho& t : r) {
        out << CampoCsv(t.Trecho.Nome) << ',' << RealExato(t.Trecho.Inicio) << ','
            << t.Trecho.Comprimento << ',' << RealExato(t.Trecho.Declividade) << ',';
        if (t.Resultado.Ok && t.Resultado.NenhumEspacamento) {
            // Sem desaguadouros nem espaçamento; a frase vem primeiro nos avisos.
            semEspacamento = true;
            out << ",0,,," << CampoCsv(AvisosNumaCelula(t.Resultado.Avisos));
        } else if (t.Resultado.Ok) {
            std::string posicoes;
            for (double x : t.Posicoes)
                posicoes += (posicoes.empty() ? "" : "|") + RealExato(x);
            out << t.Resultado.Espacamento << ',' << t.Posicoes.size() << ',' << posicoes << ','
                << (t.Resultado.VolumeBacia ? RealExato(*t.Resultado.VolumeBacia) : "") << ','
                << CampoCsv(AvisosNumaCelula(t.Resultado.Avisos));
        } else {
            out << ",,,,";
            erros << "Trecho " << t.Trecho.Nome << ": " << t.Resultado.Erro << '\n';
            ++falhas;
        }
        out << '\n';
    }
    return Concluir(out.str(), erros.str(), falhas, semEspacamento);
}

// A nota de locação dos desaguadouros de um perfil; status 4 quando em alguma descida nenhum
// espaçamento atende.
int LocarENotar(const TOpcoes& o, TProjeto& p, const std::vector<TTrecho>& trechos,
                TResultadoLocacao& r);

int ExecutarPerfilCli(const TOpcoes& o, TProjeto& p) {
    std::vector<TTrecho> trechos;
    try {
        TEntradaArquivoComum f(o.Perfil);
        trechos = TrechosDasRampas(LerPerfilLadosCsv(f));
    } catch (const EEntradaSaida& e) {
        std::cerr << e.what() << '\n';
        return 2;
    } catch (const EMorvendo& e) {
        std::cerr << o.Perfil << ": " << e.what() << '\n';
        return 2;
    }
    TResultadoLocacao r;
    return LocarENotar(o, p, trechos, r);
}

// A locação dos trechos e a nota de locação na saída padrão; 'r' fica com a locação. Status 4
// quando em alguma descida nenhum espaçamento atende.
int LocarENotar(const TOpcoes& o, TProjeto& p, const std::vector<TTrecho>& trechos,
                TResultadoLocacao& r) {
    if (auto falha = ValidarDados(p)) {
        std::cerr << MensagemComLugarNoArquivo(*falha, p) << '\n';
        return 1;
    }
    TLoteTerminal lote;
    TOpcoesLocacao opcoes;
    opcoes.Fator = o.Fator ? *o.Fator : p.FatorEspacamento;
    opcoes.Linhas = o.Linhas ? o.Linhas : LinhasPadrao();
    opcoes.SeparadorDecimal = SeparadorDoAmbiente();
    try {
        r = LocarDesaguadouros(p, trechos, opcoes, &lote, &GCancelamento);
    } catch (const EMorvendo& e) {
        if (isatty(STDERR_FILENO)) std::cerr << "\r\033[K" << std::flush;
        std::cerr << e.what() << '\n';
        return 1;
    }
    bool semEspacamento = false;
    for (const TDesaguadouro& d : r.Desaguadouros)
        semEspacamento = semEspacamento || d.NenhumEspacamento;
    return Concluir(r.Cancelado ? std::string() : NotaLocacaoCsv(r), "", 0, semEspacamento);
}

// O perfil tirado do mapa, a locação e a nota na saída padrão; com --saida, os desaguadouros e
// os canais também no mapa.
int ExecutarEstradaCli(const TOpcoes& o, TProjeto& p) {
    const char* recusa = "Os desaguadouros não podem ser gravados em ";
    if (!o.Saida.empty()) {
        if (!FormatoPelaExtensao(o.Saida)) {
            std::cerr << recusa << o.Saida << ": use .gpkg, .kml, .gpx, .geojson ou .csv.\n";
            return 2;
        }
        if (auto erro = DestinoRecusado(o.Saida, o.Projeto, recusa)) {
            std::cerr << *erro << '\n';
            return 2;
        }
    }
    std::unique_ptr<IEstradaDoMapa> estrada;
    std::vector<TTrecho> trechos;
    try {
        TPedidoEstrada pedido{o.Estrada, o.Mde, {o.Camada, o.Feicao, o.DoFim}, {}};
        if (o.Suavizar) pedido.OpcoesPerfil.Janela = *o.Suavizar;
        estrada = AbrirEstradaDoMapa(pedido);
        trechos = TrechosDasRampas(estrada->Perfil().Perfil);
    } catch (const EArquivoNaoExiste& e) {
        std::cerr << e.what() << '\n';
        return 2;
    } catch (const EEntradaSaida& e) {
        std::cerr << e.what() << '\n';
        return 2;
    } catch (const EArquivoRecusado& e) {
        std::cerr << e.what() << '\n';
        return 2;
    } catch (const EMorvendo& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    TResultadoLocacao r;
    const int status = LocarENotar(o, p, trechos, r);
    if (o.Saida.empty() || r.Cancelado || (status != 0 && status != SAIDA_NENHUM_ESPACAMENTO))
        return status;
    try {
        estrada->GravarLocacao(o.Saida, r);
    } catch (const EMorvendo& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return status;
}

int ExecutarProtecaoCli(const TOpcoes& o, const TProjeto& p, const TArquivoIni& documento) {
    TConfiguracaoProtecao config = p.Protecao;
    if (!o.Custos.empty() &&
        !LerEntrada(o.Custos, [&](std::istream& f) { config.Custos = LerCustosCsv(f); }))
        return 2;
    TLoteTerminal lote;
    TResultadoProtecao r;
    try {
        r = ExecutarProtecao(DocumentoDoProjeto(o, documento), config, std::nullopt,
                             o.Linhas ? o.Linhas : LinhasPadrao(), &lote, &GCancelamento);
    } catch (const EMorvendo& e) {
        if (isatty(STDERR_FILENO)) std::cerr << "\r\033[K" << std::flush;
        if (GCancelamento.Pedido || GInterrompido) {
            std::cerr << "Cálculo cancelado.\n";
            return 130;
        }
        std::cerr << e.what() << '\n';
        return 1;
    }
    std::ostringstream erros;
    std::size_t falhas = 0;
    bool alguma = false;
    for (const TResultadoAlternativa& a : r.Alternativas) {
        alguma = alguma || a.Atende;
        if (a.Ok) continue;
        erros << RotuloAlternativa(a.Alternativa) << ": " << a.Erro << '\n';
        ++falhas;
    }
    const int status = Concluir(CsvProtecao(r), erros.str(), falhas);
    return status == 0 && !alguma ? SAIDA_NENHUMA_PROTECAO : status;
}

int Principal(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--idf") {
        double raio = RaioInterpolacaoPadraoKm;
        if (argc == 6 && std::string(argv[4]) == "--raio") {
            const auto v = TentarTextoParaReal(argv[5], '.');
            if (!v) {
                std::cerr << "--raio: \"" << argv[5] << "\" não é um número de km.\n";
                return 2;
            }
            raio = *v;
        } else if (argc != 4) {
            std::cerr << USO;
            return 2;
        }
        std::setlocale(LC_NUMERIC, "C");
        return ConsultarIdf(argv[2], argv[3], PastaComuns(), PastaDadosUsuarioPadrao(), raio,
                            std::cout, std::cerr);
    }
    if (argc >= 2 && std::string(argv[1]) == "--ajustar-idf") {
        if (argc != 3) {
            std::cerr << USO;
            return 2;
        }
        return AjustarIdfLinhaDeComando(argv[2], std::cout, std::cerr);
    }
    if (argc >= 2 && std::string(argv[1]) == "--chuva-diaria") {
        std::setlocale(LC_NUMERIC, "C");
        return IdfDaSerieLinhaDeComando(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                        std::cerr);
    }
    // As estações do usuário, como na janela: o relatório cita a da equação em uso, e os
    // avisos conferem as faixas dela.
    DefinirPastaDadosUsuario(PastaDadosUsuarioPadrao());
    TOpcoes o;
    if (const int r = LerOpcoes(argc, argv, o); r >= 0) return r;

    const char sep = SeparadorDoAmbiente();
    DefinirSeparadorDecimalLocal(sep);

    TUnidades unidades;
    TProjeto p(unidades);
    ZerarVariaveis(p);
    TArquivoIni documento;
    try {
        if (!LerProjetoUmaVez(p, o.Projeto, documento)) {
            std::cerr << "O projeto " << o.Projeto
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

    if (o.CurvaDescargaOriginal) p.Estrada.CurvaDescargaOriginal = true;
    std::signal(SIGINT, AoInterromper);
    if (o.Estudo) return ExecutarEstudoCli(o, documento);
    if (!o.Trechos.empty()) return ExecutarTrechosCli(o, documento);
    if (!o.Perfil.empty()) return ExecutarPerfilCli(o, p);
    if (!o.Estrada.empty()) return ExecutarEstradaCli(o, p);
    if (o.Protecao) return ExecutarProtecaoCli(o, p, documento);

    if (auto falha = ValidarDados(p)) {
        std::cerr << MensagemComLugarNoArquivo(*falha, p) << '\n';
        return 1;
    }
    const std::string relatorio = o.Relatorio.empty() ? "Relatorio.txt" : o.Relatorio;
    // Cada saída é recusada, escrita num fluxo ou trocada por inteiro; a saída padrão leva uma
    // só, e o resumo então vai para a saída de erros.
    const char* naSaidaPadrao = o.Json ? "--json" : nullptr;
    const std::tuple<const std::string&, const char*, const char*> saidas[] = {
        {relatorio, "--relatorio", "A tabela por seção não pode ser gravada em "},
        {o.Csv, "--csv", "A tabela por seção não pode ser gravada em "},
        {o.Html, "--html", "O relatório não pode ser gravado em "}};
    for (const auto& [destino, opcao, recusa] : saidas) {
        if (destino.empty()) continue;
        const TDestino tipo = TipoDestino(destino);
        if (tipo == TDestino::SaidaPadrao) {
            if (naSaidaPadrao) {
                std::cerr << "A saída padrão não pode levar ao mesmo tempo " << naSaidaPadrao
                          << " e " << opcao << ".\n";
                return 2;
            }
            naSaidaPadrao = opcao;
        } else if (tipo == TDestino::Arquivo) {
            if (auto erro = DestinoRecusado(destino, o.Projeto, recusa)) {
                std::cerr << *erro << '\n';
                return 2;
            }
        }
    }
    const bool resumoNosErros = naSaidaPadrao && !o.Json;

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
        if (TipoDestino(relatorio) == TDestino::Arquivo)
            EscreverRelatorioTexto(relatorio, r.Canal.Secoes);
        else
            GravarSaida(relatorio, TextoRelatorioTexto(r.Canal.Secoes));
        if (!o.Csv.empty()) GravarSaida(o.Csv, TabelaCsv(r.Canal.Secoes));
        if (!o.Html.empty()) GravarSaida(o.Html, MontarRelatorioEstrada(p, r, OpcoesRelatorio()));
    } catch (const std::exception& erro) {
        std::cerr << erro.what() << '\n';
        return 1;
    }
    // A saída padrão levou um arquivo: o resumo, que é para as pessoas, vai para a de erros.
    if (resumoNosErros) std::cout.rdbuf(std::cerr.rdbuf());
    const std::vector<TAviso> avisos = AvisosDoResultado(p, r, sep);
    if (o.Json) {
        std::cout << ResultadoJson(r, avisos) << '\n';
    } else {
        EscreverResumo(r, p.Estrada.Bacia.Formato, sep, std::cout);
        std::cout << "Origem da chuva: " << r.OrigemChuva << "\n";
        EscreverBalanco(p, r, sep, std::cout);
        EscreverAvisos(TextosAvisos(avisos), std::cout);
    }
    if (r.Canal.NenhumEspacamento) {
        std::cerr << TEXTO_NENHUM_ESPACAMENTO << '\n';
        return SAIDA_NENHUM_ESPACAMENTO;
    }
    return 0;
}

} // namespace

// Nenhum erro termina o programa sem mensagem: falta de memória ou um erro não previsto saem
// em português, com status 1, em vez de abortar com um texto em inglês.
int main(int argc, char** argv) {
    try {
        return Principal(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "Memória insuficiente.\n";
    } catch (const EMorvendo& erro) {
        std::cerr << erro.what() << '\n';
    } catch (const std::exception&) {
        std::cerr << "Erro inesperado.\n";
    }
    return 1;
}
