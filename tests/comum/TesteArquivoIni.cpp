#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::literals;

namespace {

TArquivoIni Documento(std::string_view bytes) {
    TArquivoIni ini;
    ini.DefinirTexto(bytes);
    return ini;
}

std::string LerBytes(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void GravarBytes(const fs::path& p, std::string_view bytes) {
    std::ofstream f(p, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Pasta temporária própria de cada teste.
class ArquivoIniEmDisco : public ::testing::Test {
protected:
    void SetUp() override {
        std::string modelo = (fs::temp_directory_path() / "morvendo-ini-XXXXXX").string();
        ASSERT_NE(::mkdtemp(modelo.data()), nullptr);
        pasta = modelo;
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(pasta, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(pasta, ec);
    }
    std::vector<std::string> Conteudo() const {
        std::vector<std::string> nomes;
        for (const auto& e : fs::directory_iterator(pasta))
            nomes.push_back(e.path().filename());
        std::sort(nomes.begin(), nomes.end());
        return nomes;
    }
    fs::path pasta;
};

TEST(ArquivoIni, LeituraSemCaixaComValoresAparados) {
    const auto ini = Documento("Solta=0\n"
                               "[Principal]\r\n"
                               "  Versao \t=  2.0 beta \t\r\n"
                               "Vazia=\n"
                               ";Comentada=1\n"
                               "lixo sem igual\n"
                               "[ A\xC7\xC3O ]\n" // AÇÃO
                               "\x8A\xC9=x=y\n"   // ŠÉ
                               "[Principal]\n"
                               "Versao=3\n"
                               "Extra=1\n"
                               "[Dup]\nK=1\nk=2\n");
    EXPECT_EQ(ini.LerTexto("PRINCIPAL", "versao", "?"), "2.0 beta");
    EXPECT_EQ(ini.LerTexto("ação", "šé", "?"), "x=y");
    EXPECT_TRUE(ini.ExisteSecao("Ação"));
    // A primeira ocorrência de seção e de chave é a que vale.
    EXPECT_FALSE(ini.ExisteChave("Principal", "Extra"));
    EXPECT_EQ(ini.LerTexto("Dup", "K", "?"), "1");

    const std::pair<const char*, const char*> ausentes[] = {
        {"Principal", "Vazia"}, {"Principal", "Comentada"},
        {"Principal", "Outra"}, {"Nenhuma", "Versao"},
        {"", "Solta"},
    };
    for (const auto& [secao, chave] : ausentes)
        EXPECT_EQ(ini.LerTexto(secao, chave, "padrão"), "padrão") << secao << "/" << chave;
    EXPECT_TRUE(ini.ExisteChave("Principal", "Vazia"));
    EXPECT_FALSE(ini.ExisteSecao("lixo sem igual"));
}

// O índice responde como o documento a cada busca: maiúsculas, acentos, repetições, comentários,
// valores vazios, inteiros em hexadecimal e reais com vírgula.
TEST(ArquivoIni, IndiceRespondeComoODocumento) {
    const auto ini = Documento("Solta=0\n"
                               "[Principal]\r\n"
                               "  Versao \t=  2.0 beta \t\r\n"
                               "Vazia=\n"
                               ";Comentada=1\n"
                               "N=0x1F\n"
                               "R=0,5\n"
                               "Ruim=abc\n"
                               "[ A\xC7\xC3O ]\n" // AÇÃO
                               "\x8A\xC9=x=y\n"   // ŠÉ
                               "[Principal]\n"
                               "Extra=1\n"
                               "[Dup]\nK=1\nk=2\n");
    const TIndiceIni indice(ini);
    const std::pair<const char*, const char*> buscas[] = {
        {"PRINCIPAL", "versao"}, {"ação", "šé"},
        {"Principal", "Extra"},  {"Dup", "K"},
        {"Principal", "Vazia"},  {"Principal", "Comentada"},
        {"Principal", "N"},      {"principal", "r"},
        {"Principal", "Ruim"},   {"Nenhuma", "Versao"},
        {"", "Solta"},           {"lixo", "x"},
    };
    for (const auto& [secao, chave] : buscas) {
        SCOPED_TRACE(std::string(secao) + "/" + chave);
        EXPECT_EQ(indice.ExisteSecao(secao), ini.ExisteSecao(secao));
        EXPECT_EQ(indice.ExisteChave(secao, chave), ini.ExisteChave(secao, chave));
        EXPECT_EQ(indice.LerTexto(secao, chave, "?"), ini.LerTexto(secao, chave, "?"));
        EXPECT_EQ(indice.LerInteiro(secao, chave, -7), ini.LerInteiro(secao, chave, -7));
        EXPECT_EQ(indice.LerReal(secao, chave, -7), ini.LerReal(secao, chave, -7));
    }
    EXPECT_EQ(indice.LerInteiro("Principal", "N", 0), 31);
    EXPECT_EQ(indice.LerReal("Principal", "R", 0), 0.5);
}

TEST(ArquivoIni, EscritaNoLugarMantemAOrdem) {
    auto ini = Documento("[S]\nA=1\n  B = 2\nC=3\n");
    ini.EscreverTexto("s", "b", "  vinte ");
    EXPECT_TRUE(ini.Modificado());
    EXPECT_EQ(ini.Texto(), "[S]\r\nA=1\r\nb=  vinte \r\nC=3\r\n");
    EXPECT_EQ(ini.LerTexto("S", "B", ""), "vinte");

    auto igual = Documento("[S]\nA=1\n");
    igual.EscreverTexto("S", "A", "1");
    EXPECT_FALSE(igual.Modificado());
}

TEST(ArquivoIni, ChaveNovaNoFimDaSecaoESecaoNovaNoFimDoArquivo) {
    auto ini = Documento("[S]\nA=1\n\n[T]\nX=1\n\n\n[Vazia]\n[U]\nZ=0");
    ini.EscreverTexto("S", "N", "2");
    ini.EscreverTexto("u", "Y", "3");
    ini.EscreverTexto("Vazia", "W", "4");
    ini.EscreverTexto("T", "Q", "5");
    ini.EscreverTexto("Nova", "Chave", "6");
    EXPECT_EQ(ini.Texto(), "[S]\r\nA=1\r\nN=2\r\n\r\n"
                           "[T]\r\nX=1\r\nQ=5\r\n\r\n\r\n"
                           "[Vazia]\r\nW=4\r\n"
                           "[U]\r\nZ=0\r\nY=3\r\n"
                           "[Nova]\r\nChave=6\r\n");

    TArquivoIni vazio;
    vazio.EscreverInteiro("A", "k", 1);
    EXPECT_EQ(vazio.Texto(), "[A]\r\nk=1\r\n");
}

TEST(ArquivoIni, ApagarChave) {
    auto ini = Documento("[S]\nA=1\nB=2\nb=3\nC=4\n[T]\nB=9\n");
    ini.ApagarChave("S", "X");
    ini.ApagarChave("Nenhuma", "B");
    EXPECT_FALSE(ini.Modificado());
    ini.ApagarChave("s", "B");
    EXPECT_TRUE(ini.Modificado());
    // A repetição também sai: depois de apagada, a chave não existe mais.
    EXPECT_EQ(ini.Texto(), "[S]\r\nA=1\r\nC=4\r\n[T]\r\nB=9\r\n");

    // Duzentas mil repetições saem numa só passada (antes, uma busca por repetição).
    std::string muitas = "[S]\n";
    for (int i = 0; i < 200000; ++i)
        muitas += "K=1\n";
    muitas += "Fica=2\n";
    auto grande = Documento(muitas);
    const auto inicio = std::chrono::steady_clock::now();
    grande.ApagarChave("S", "K");
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(5));
    EXPECT_EQ(grande.Texto(), "[S]\r\nFica=2\r\n");
}

TEST(ArquivoIni, ValoresComQuebraDeLinhaNaoCriamLinhas) {
    TArquivoIni ini;
    ini.EscreverTexto("S", "K", "a\r\n[Injetada]\nX=1");
    EXPECT_FALSE(ini.ExisteSecao("Injetada"));
    EXPECT_EQ(ini.Texto(), "[S]\r\nK=a  [Injetada] X=1\r\n");
}

TEST(ArquivoIni, Inteiros) {
    const std::pair<const char*, long> casos[] = {
        {"42", 42},
        {" -12 ", -12},
        {"+7", 7},
        {"0x1F", 31},
        {"0X1f", 31},
        {"$ff", 255},
        {"2147483647", 2147483647L},
        {"-2147483648", -2147483648L},
        {"0xFFFFFFFF", -1},
        {"0x80000000", -2147483648L},
        {"2147483648", -99},
        {"-2147483649", -99},
        {"0x100000000", -99},
        {"99999999999999999999", -99},
        {"12abc", -99},
        {"1.5", -99},
        {"0x", -99},
        {"-", -99},
        {"1 2", -99},
        {"0xG", -99},
    };
    for (const auto& [texto, esperado] : casos) {
        const auto ini = Documento("[S]\nK="s + texto + "\n");
        EXPECT_EQ(ini.LerInteiro("S", "K", -99), esperado) << texto;
    }
    EXPECT_EQ(Documento("[S]\nK=\n").LerInteiro("S", "K", 5), 5);

    TArquivoIni ini;
    ini.EscreverInteiro("S", "N", -5);
    ini.EscreverInteiro("S", "P", 2147483647L);
    EXPECT_EQ(ini.Texto(), "[S]\r\nN=-5\r\nP=2147483647\r\n");
}

TEST(ArquivoIni, Logicos) {
    const auto ini = Documento("[S]\nUm=1\nZero=0\nDois=2\nHex=0x0\nLixo=sim\n");
    EXPECT_TRUE(ini.LerLogico("S", "Um", false));
    EXPECT_FALSE(ini.LerLogico("S", "Zero", true));
    EXPECT_TRUE(ini.LerLogico("S", "Dois", false));
    EXPECT_FALSE(ini.LerLogico("S", "Hex", true));
    EXPECT_TRUE(ini.LerLogico("S", "Lixo", true));
    EXPECT_FALSE(ini.LerLogico("S", "Lixo", false));
    EXPECT_TRUE(ini.LerLogico("S", "Falta", true));

    TArquivoIni escrito;
    escrito.EscreverLogico("S", "V", true);
    escrito.EscreverLogico("S", "F", false);
    EXPECT_EQ(escrito.Texto(), "[S]\r\nV=1\r\nF=0\r\n");
}

TEST(ArquivoIni, ReaisComPontoOuVirgula) {
    const std::pair<const char*, double> casos[] = {
        {"0.5", 0.5}, {"0,5", 0.5},    {"1E-6", 1e-6}, {"-2,5E20", -2.5e20}, {" 12 ", 12},
        {"abc", -1},  {"1.000,5", -1}, {"1e400", -1},  {"NAN", -1},
    };
    for (const auto& [texto, esperado] : casos) {
        const auto ini = Documento("[S]\nR="s + texto + "\n");
        EXPECT_EQ(ini.LerReal("S", "R", -1), esperado) << texto;
    }

    TArquivoIni ini;
    ini.EscreverReal("S", "Virgula", 0.5, ',');
    ini.EscreverReal("S", "Ponto", 2.0 / 3);
    ini.EscreverReal("S", "Pequeno", 1e-6, ',');
    EXPECT_EQ(ini.Texto(), "[S]\r\nVirgula=0,5\r\nPonto=0.666666666666667\r\nPequeno=1E-6\r\n");
    EXPECT_EQ(ini.LerReal("S", "Virgula", 0), 0.5);
}

TEST(ArquivoIni, ConteudoIntocadoSobreviveByteABytePorDefinirTexto) {
    const std::string original = "; cabeçalho \xE7\n"
                                 "antes da seção\n"
                                 "\n"
                                 "[Sec]   \n"
                                 "  Chave\t=  valor  \r\n"
                                 "sem igual\n"
                                 "[incompleta\n"
                                 "\t\n"
                                 "Nulo=a\0b\n"s
                                 "cr\rno meio\n"
                                 "[Outra]\n"
                                 "K=1"; // sem fim de linha
    auto ini = Documento(original);
    ini.EscreverTexto("Sec", "Chave", "valor"); // mesmo valor lido, mas a linha muda
    ini.EscreverTexto("Outra", "K", "2");
    std::string esperado;
    for (const char c : original)
        esperado += c == '\n' ? "\r\n" : std::string(1, c);
    esperado.replace(esperado.find("  Chave\t=  valor  \r\r\n"), 21, "Chave=valor\r\n");
    esperado.replace(esperado.find("K=1"), 3, "K=2\r\n");
    EXPECT_EQ(ini.Texto(), esperado);
}

TEST_F(ArquivoIniEmDisco, GravaEmWindows1252ComCrLfELeDeVolta) {
    const auto caminho = pasta / "Projeto.mvd";
    TArquivoIni ini(caminho.string());
    EXPECT_EQ(ini.Caminho(), caminho.string());
    EXPECT_TRUE(ini.Texto().empty());
    ini.EscreverTexto("TARSIO", "Localidade", "Viçosa");
    ini.EscreverTexto("TARSIO", "Latitude", "20°45'14\"");
    ini.EscreverTexto("TARSIO", "Outro", "日");
    ini.Salvar();
    EXPECT_EQ(LerBytes(caminho), "[TARSIO]\r\nLocalidade=Vi\xE7osa\r\nLatitude=20\xB0"
                                 "45'14\"\r\nOutro=?\r\n");

    const TArquivoIni lido(caminho.string());
    EXPECT_FALSE(lido.Modificado());
    EXPECT_EQ(lido.LerTexto("tarsio", "LOCALIDADE", ""), "Viçosa");
    EXPECT_EQ(lido.LerTexto("TARSIO", "Latitude", ""), "20°45'14\"");
}

TEST_F(ArquivoIniEmDisco, CarregarESalvarPreservaOQueNaoFoiTocado) {
    const auto caminho = pasta / "Morvendo.ini";
    const std::string original = "[PRINCIPAL]\nVersao=2\n\n; nota\n[UNIDADES]\r\nx = 1 \n\xFF\0\n"s;
    GravarBytes(caminho, original);
    TArquivoIni ini;
    ini.Carregar(caminho.string());
    ini.EscreverTexto("PRINCIPAL", "Versao", "2");
    EXPECT_FALSE(ini.Modificado());
    ini.Salvar();
    std::string esperado;
    for (const char c : original)
        if (c != '\r') esperado += c == '\n' ? "\r\n" : std::string(1, c);
    EXPECT_EQ(LerBytes(caminho), esperado);
}

TEST_F(ArquivoIniEmDisco, GravacaoAtomicaSemSobrasMantemPermissoesETrocaLink) {
    const auto caminho = pasta / "a.mvd";
    GravarBytes(caminho, "[S]\nK=1\n");
    const auto modo = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(caminho, modo, fs::perm_options::replace);
    TArquivoIni ini(caminho.string());
    ini.EscreverInteiro("S", "K", 2);
    ini.Salvar();
    EXPECT_EQ(LerBytes(caminho), "[S]\r\nK=2\r\n");
    EXPECT_EQ(fs::status(caminho).permissions() & fs::perms::all, modo);
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"a.mvd"});

    // Arquivo novo: 0644 sob a umask, não as permissões restritas do temporário.
    const mode_t umaskAtual = ::umask(0);
    ::umask(umaskAtual);
    ini.SalvarComo((pasta / "novo.mvd").string());
    EXPECT_EQ(static_cast<mode_t>(fs::status(pasta / "novo.mvd").permissions() & fs::perms::all),
              0644 & ~umaskAtual);
    fs::remove(pasta / "novo.mvd");

    // Um link no destino é substituído; o arquivo para onde apontava fica intacto.
    const auto alvo = pasta / "alvo.txt", link = pasta / "link.mvd";
    GravarBytes(alvo, "[S]\nK=alvo\n");
    fs::create_symlink(alvo, link);
    TArquivoIni pelaLigacao(link.string());
    EXPECT_EQ(pelaLigacao.LerTexto("S", "K", ""), "alvo");
    pelaLigacao.EscreverTexto("S", "K", "novo");
    pelaLigacao.Salvar();
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_EQ(LerBytes(link), "[S]\r\nK=novo\r\n");
    EXPECT_EQ(LerBytes(alvo), "[S]\nK=alvo\n");
    EXPECT_EQ(Conteudo(), (std::vector<std::string>{"a.mvd", "alvo.txt", "link.mvd"}));
}

TEST_F(ArquivoIniEmDisco, FalhaDeGravacaoDaErroEPreservaOArquivoAntigo) {
    TArquivoIni ini;
    ini.EscreverTexto("S", "K", std::string(4096, 'x'));
    EXPECT_THROW(ini.Salvar(), EEntradaSaida); // sem caminho

    const auto semPasta = (pasta / "nao-existe" / "p.mvd").string();
    try {
        ini.SalvarComo(semPasta);
        FAIL() << "sem erro";
    } catch (const EEntradaSaida& e) {
        EXPECT_NE(std::string(e.what()).find("Não foi possível gravar o arquivo " + semPasta),
                  std::string::npos);
    }
    fs::create_directory(pasta / "pasta.mvd");
    fs::create_directory(pasta / "pasta.mvd" / "dentro");
    EXPECT_THROW(ini.SalvarComo((pasta / "pasta.mvd").string()), EEntradaSaida);

    // Disco "cheio": o limite de tamanho de arquivo faz a escrita falhar no meio.
    const auto caminho = pasta / "a.mvd";
    GravarBytes(caminho, "[S]\r\nK=antigo\r\n");
    {
        rlimit antigo{};
        ::getrlimit(RLIMIT_FSIZE, &antigo);
        const auto sinal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit pequeno = antigo;
        pequeno.rlim_cur = 100;
        ::setrlimit(RLIMIT_FSIZE, &pequeno);
        EXPECT_THROW(ini.SalvarComo(caminho.string()), EEntradaSaida);
        ::setrlimit(RLIMIT_FSIZE, &antigo);
        std::signal(SIGXFSZ, sinal);
    }
    EXPECT_EQ(LerBytes(caminho), "[S]\r\nK=antigo\r\n");

    if (::geteuid() != 0) { // o superusuário grava em qualquer pasta
        fs::permissions(pasta, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_THROW(ini.SalvarComo(caminho.string()), EEntradaSaida);
        fs::permissions(pasta, fs::perms::owner_all);
        EXPECT_EQ(LerBytes(caminho), "[S]\r\nK=antigo\r\n");
    }
    EXPECT_EQ(Conteudo(), (std::vector<std::string>{"a.mvd", "pasta.mvd"}));
}

TEST_F(ArquivoIniEmDisco, CarregarArquivoAusenteOuPastaDaErro) {
    TArquivoIni ini;
    EXPECT_THROW(ini.Carregar((pasta / "ausente.mvd").string()), EEntradaSaida);
    EXPECT_THROW(ini.Carregar(pasta.string()), EEntradaSaida);
    EXPECT_THROW(TArquivoIni{pasta.string()}, EEntradaSaida);
}

// Gravado por um editor em UTF-8 com a marca no início: a primeira seção e os acentos
// chegam como se o arquivo fosse Windows-1252.
TEST_F(ArquivoIniEmDisco, MarcaUtf8NoInicioELidaComoUtf8) {
    const auto p = pasta / "bom.mvd";
    GravarBytes(p, "\xEF\xBB\xBF[VERSAO]\r\nVersao=1\r\n[PRINCIPAL]\r\n"
                   "StrCoberVeg=Pastagem em condição má\r\n");
    TArquivoIni ini(p.string());
    EXPECT_TRUE(ini.ExisteSecao("VERSAO"));
    EXPECT_EQ(ini.LerTexto("VERSAO", "Versao", ""), "1");
    EXPECT_EQ(ini.LerTexto("PRINCIPAL", "StrCoberVeg", ""), "Pastagem em condição má");
    EXPECT_EQ(ini.Texto().substr(0, 8), "[VERSAO]");
}

TEST(ArquivoIni, ConteudoBinarioNaoDerruba) {
    std::string binario;
    for (int i = 0; i < 4096; ++i)
        binario += static_cast<char>((i * 131 + i / 7) & 0xFF);
    binario += "\n[S\0]\n=\n[\n]\n\r\r\r\n"s + std::string(1 << 20, '[') + "=\n";
    auto ini = Documento(binario);
    (void)ini.LerTexto("S", "", "");
    (void)ini.LerInteiro("S", "K", 0);
    (void)ini.LerReal("[", "", 0);
    ini.EscreverTexto("S", "K", "v");
    ini.ApagarChave("S", "K");
    EXPECT_NE(ini.Texto().find("[S\0]\r\n"s), std::string::npos);
    EXPECT_EQ(Documento("a\rb\r").Texto(), "a\rb\r\n");
}

} // namespace

// A gravação do projeto remove os temporários de gravações mortas no meio (o pid do nome não
// existe mais), nunca os de um processo vivo; e nunca troca um link que não leva a um arquivo
// comum (como /dev/stdout) nem um dispositivo por um arquivo.
TEST_F(ArquivoIniEmDisco, TemporariosOrfaosSaemELinksEspeciaisFicam) {
    const pid_t morto = ::fork();
    if (morto == 0) ::_exit(0);
    ASSERT_GT(morto, 0);
    ::waitpid(morto, nullptr, 0);
    const std::string orfao = "a.mvd.~" + std::to_string(morto) + ".Xy12zW";
    const std::string vivo = "a.mvd.~" + std::to_string(::getpid()) + ".Ab34cD";
    GravarBytes(pasta / orfao, "pela metade");
    GravarBytes(pasta / vivo, "em andamento");
    TArquivoIni ini;
    ini.EscreverTexto("S", "K", "1");
    ini.SalvarComo((pasta / "a.mvd").string());
    EXPECT_EQ(Conteudo(), (std::vector<std::string>{"a.mvd", vivo}));

    fs::create_symlink("/proc/self/fd/1", pasta / "saida");
    fs::create_symlink("/dev/null", pasta / "nulo");
    fs::create_symlink("nao-existe", pasta / "quebrado");
    for (const char* nome : {"saida", "nulo", "quebrado"}) {
        EXPECT_THROW(ini.SalvarComo((pasta / nome).string()), EEntradaSaida) << nome;
        EXPECT_TRUE(fs::is_symlink(pasta / nome)) << nome;
    }
}
