// A linha de comando nunca quebra: cada entrada ruim termina com mensagem clara e saída
// diferente de zero.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <ctime>
#include <map>
#include <vector>

#include "Auxiliar.h"
#include "comum/Numeros.h"
#include "comum/Win1252.h"
#include "engine/Persistencia.h"
#include "project/Calculo.h"
#include "reports/RelatorioEstrada.h"

namespace {

struct TExecucao {
    int saida;
    std::string out, err;
};

TExecucao Executar(const fs::path& pasta, const std::string& argumentos,
                   const std::string& antes = "") {
    const std::string cmd = "cd '" + pasta.string() + "' && (" + antes +
                            "LC_ALL=C '" MORVENDO_CALC "' " + argumentos + " > out.txt 2> err.txt)";
    const int r = std::system(cmd.c_str());
    return {WIFEXITED(r) ? WEXITSTATUS(r) : -1, LerBytes(pasta / "out.txt"),
            LerBytes(pasta / "err.txt")};
}

struct TCasoCli {
    const char* nome;
    const char* padrao; // nullptr: usa o conteúdo abaixo como arquivo inteiro
    const char* troca;
    int saida;
    const char* mensagem; // começo da saída de erros
    const char* base = "c02_trap_secao3_50m";
};

void PrintTo(const TCasoCli& c, std::ostream* os) {
    *os << c.nome;
}

class LinhaDeComando : public ::testing::TestWithParam<TCasoCli> {};

TEST_P(LinhaDeComando, EntradaRuim) {
    const TCasoCli& c = GetParam();
    TPastaTemporaria pasta(std::string("cli-") + c.nome);
    const std::string original = LerBytes(DADOS_REFERENCIA + c.base + ".mvd");
    const std::string texto = c.padrao ? Trocar(original, c.padrao, c.troca) : c.troca;
    GravarBytes(pasta / "p.mvd", texto);
    const TExecucao r = Executar(pasta.Caminho, "p.mvd");
    EXPECT_EQ(r.saida, c.saida) << r.err;
    EXPECT_EQ(r.err.rfind(c.mensagem, 0), 0u) << r.err;
    EXPECT_EQ(r.out, "");
    if (c.saida == 2) {
        EXPECT_EQ(LerBytes(pasta / "p.mvd"), texto);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Casos, LinhaDeComando,
    ::testing::Values(
        TCasoCli{"vazio", nullptr, "", 2, "Ocorreu um erro ao tentar ler o arquivo p.mvd."},
        TCasoCli{"binario", nullptr,
                 "\x7f"
                 "ELF\x02\x01\x01\xff\xfe[\x80\r\n=\x1b",
                 2, "Ocorreu um erro ao tentar ler o arquivo p.mvd."},
        TCasoCli{"versao_errada", "\\[VERSAO\\]\r\nVersao=1", "[VERSAO]\r\nVersao=3", 2,
                 "Ocorreu um erro ao tentar ler o arquivo p.mvd."},
        TCasoCli{"conta_maior", "Count=1", "Count=3", 1,
                 "Ocorreu um erro ao tentar ler os dados da encosta de número 2 no arquivo"},
        TCasoCli{"plano_negativo", "(\\[Encosta_Estrada: Trecho 1\\]\r\nVersao=2\r\n)Comprimento=3",
                 "$1Comprimento=-3", 1,
                 "Ocorreu um erro ao tentar ler os dados da encosta de número 1"},
        TCasoCli{"nao_lido", "TipoCanal=0", "TipoCanal=4", 1,
                 "Valor fora da faixa no arquivo do projeto: [Canal_ESTRADA] TipoCanal = \"4\" "
                 "(\"Tipo\" em Canal da estrada) deve ser 0 (trapezoidal) ou 1 (triangular).\n"},
        TCasoCli{"verificacao", "Sc=0.06", "Sc=0", 1,
                 "Valor incorreto em \"Declividade\" (Canal da estrada): deve ser maior que 0 e "
                 "no máximo 1 m/m. No arquivo do projeto: [CanalGradiente_ESTRADA] Sc = 0.\n"},
        TCasoCli{"sem_convergencia", "Sc=0.008", "Sc=1e-300", 1,
                 "Não foi possível calcular as dimensões da bacia de acumulação (não houve "
                 "convergência no cálculo da profundidade normal do canal). Verifique no canal "
                 "de condução"},
        TCasoCli{"secao_2", "IndSecao=1", "IndSecao=2", 1, "Seção 2 ainda não disponível.\n",
                 "c03_equiv_200m"},
        // Erros do motor dizem a etapa e os dados que a alimentam (b pequeno calcula, também
        // com c > 1: AjusteIdf.BPequenoCalcula).
        // c pequeno: a chuva não acaba; a mensagem diz que é o c.
        TCasoCli{"idf_c_pequeno", "\r\nC=[0-9.]+", "\r\nC=0.3", 1,
                 "Não foi possível calcular o escoamento no leito da estrada (a chuva da equação "
                 "IDF ainda passa da taxa de infiltração estável de 20.0 mm/h depois de dez "
                 "dias: com c = 0.3 a intensidade cai devagar demais; confira o parâmetro c da "
                 "equação IDF). Verifique no leito da estrada",
                 "c03_equiv_200m"},
        TCasoCli{"declividade_minuscula", "Sc=0.06", "Sc=1e-320", 1,
                 "Valor fora da faixa no arquivo do projeto: [CanalGradiente_ESTRADA] Sc = "
                 "\"1e-320\" (\"Declividade\" em Canal da estrada) deve ser 0 ou um número de "
                 "módulo a partir de 1E-307.\n"},
        // Valores do arquivo fora da faixa: nunca calculados como outra coisa, nem truncados.
        TCasoCli{"secao_desconhecida", "IndSecao=3", "IndSecao=7", 1,
                 "Valor fora da faixa no arquivo do projeto: [CanalEstrada_ESTRADA] IndSecao = "
                 "\"7\" (\"Seção transversal\") deve ser 1, 2 ou 3.\n"},
        TCasoCli{"trechos_257", "Count=1", "Count=257", 1,
                 "Valor fora da faixa no arquivo do projeto: [Encosta_Talude] Count = \"257\" "
                 "(número de trechos em Área externa) deve ser um número inteiro de 1 a 255.\n"},
        TCasoCli{"trechos_65537", "Count=1", "Count=65537", 1,
                 "Valor fora da faixa no arquivo do projeto: [Encosta_Talude] Count = "
                 "\"65537\" (número de trechos em Área externa) deve ser um número inteiro de 1 "
                 "a 255.\n"},
        TCasoCli{"canal_1e8", "Comprimento=50", "Comprimento=100000000", 1,
                 "Valor fora da faixa no arquivo do projeto: [CanalGradiente_ESTRADA] "
                 "Comprimento = \"100000000\" (\"Comprimento\" em Canal da estrada) deve ser um "
                 "número inteiro de 0 a 100000 m.\n"},
        TCasoCli{"canal_int_max", "Comprimento=50", "Comprimento=2147483647", 1,
                 "Valor fora da faixa no arquivo do projeto: [CanalGradiente_ESTRADA] "
                 "Comprimento = \"2147483647\" (\"Comprimento\" em Canal da estrada) deve ser "
                 "um número inteiro de 0 a 100000 m.\n"},
        TCasoCli{"plano_1e7", "(\\[Encosta_Estrada: Trecho 1\\]\r\nVersao=2\r\n)Comprimento=3",
                 "$1Comprimento=10000000", 1,
                 "Ocorreu um erro ao tentar ler os dados da encosta de número 1 no arquivo p.mvd: "
                 "valor fora da faixa em [Encosta_Estrada: Trecho 1] Comprimento = \"10000000\" "
                 "(\"Semilargura\" em Leito da estrada) deve ser um número inteiro de 0 a 10000 "
                 "m.\n"}),
    [](const ::testing::TestParamInfo<TCasoCli>& i) { return std::string(i.param.nome); });

TEST(LinhaDeComandoUso, ArgumentosEArquivos) {
    TPastaTemporaria pasta("cli-uso");
    EXPECT_EQ(Executar(pasta.Caminho, "").saida, 2);
    EXPECT_EQ(Executar(pasta.Caminho, "--xyz p.mvd").saida, 2);
    EXPECT_EQ(Executar(pasta.Caminho, "a.mvd b.mvd").saida, 2);
    EXPECT_EQ(Executar(pasta.Caminho, "p.mvd --relatorio").saida, 2);
    const TExecucao ausente = Executar(pasta.Caminho, "nao-existe.mvd");
    EXPECT_EQ(ausente.saida, 2);
    EXPECT_EQ(ausente.err, "O arquivo nao-existe.mvd não foi encontrado.\n");

    // Tabelas de entrada que não são arquivos comuns: recusadas com o motivo, sem esperar por
    // quem escreva num FIFO (o timeout termina o programa se ele ficar preso).
    fs::copy_file(DADOS_REFERENCIA + "c03_equiv_200m.mvd", pasta / "p.mvd");
    ASSERT_EQ(mkfifo((pasta / "fifo").c_str(), 0644), 0);
    const std::pair<const char*, const char*> entradas[] = {
        {"p.mvd --trechos fifo", "fifo: não é um arquivo comum"},
        {"p.mvd --trechos /dev/null", "/dev/null: não é um arquivo comum"},
        {"p.mvd --trechos .", ".: o caminho é uma pasta"},
        {"p.mvd --trechos falta.csv", "falta.csv: arquivo não encontrado"},
        {"--ajustar-idf fifo", "fifo: não é um arquivo comum"},
    };
    for (const auto& [argumentos, motivo] : entradas) {
        const TExecucao r = Executar(pasta.Caminho, argumentos, "timeout 10 env ");
        EXPECT_EQ(r.saida, 2) << argumentos;
        EXPECT_EQ(r.err, std::string("Não foi possível ler o arquivo ") + motivo + ".\n")
            << argumentos;
    }
}

TEST(LinhaDeComandoUso, ResumoETabelaNoLugarPedido) {
    TPastaTemporaria pasta("cli-resumo");
    fs::copy_file(DADOS_REFERENCIA + "c03_equiv_200m.mvd", pasta / "p.mvd");
    fs::create_directories(pasta / "saida");
    const TExecucao r = Executar(pasta.Caminho, "p.mvd --relatorio saida/tabela.txt");
    ASSERT_EQ(r.saida, 0) << r.err;
    EXPECT_NE(r.out.find("  Espaçamento máximo: 116 m\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  Raio: 10.05 m\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  Volume escoado: 118.881 m³\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Curva de descarga do canal: relação exata de Manning (canal "
                         "triangular)\nBalanço hídrico\n  Leito da estrada (L/m): chuva "),
              std::string::npos)
        << r.out;
    EXPECT_EQ(LerBytes(pasta / "saida/tabela.txt"),
              LerBytes(DADOS_REFERENCIA + "c03_equiv_200m.Relatorio.txt"));
    EXPECT_FALSE(fs::exists(pasta / "Relatorio.txt"));
}

// Seções e chaves de um projeto, lidas como texto (vírgula decimal dos arquivos antigos vira
// ponto).
std::map<std::string, std::map<std::string, std::string>> LerSecoes(const std::string& texto) {
    std::map<std::string, std::map<std::string, std::string>> secoes;
    std::istringstream in(texto);
    std::string linha, secao;
    while (std::getline(in, linha)) {
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        if (linha.size() > 2 && linha.front() == '[') {
            secao = linha.substr(1, linha.find(']') - 1);
        } else if (const auto igual = linha.find('='); igual != std::string::npos) {
            std::string v = linha.substr(igual + 1);
            std::replace(v.begin(), v.end(), ',', '.');
            secoes[secao][linha.substr(0, igual)] = v;
        }
    }
    return secoes;
}

// Cada dado numérico das seções do motor aparece no relatório com o rótulo da tela, a
// unidade configurada e os algarismos do arquivo; o espaçamento e os três gráficos também.
TEST(LinhaDeComandoUso, RelatorioHtmlComTodosOsDadosDoProjeto) {
    for (const char* caso : {"c02_trap_secao3_50m", "c03_equiv_200m", "c08_legado"}) {
        SCOPED_TRACE(caso);
        TPastaTemporaria pasta(std::string("cli-html-") + caso);
        fs::copy_file(DADOS_REFERENCIA + caso + ".mvd", pasta / "p.mvd");
        // O caso do trapézio é da curva de descarga antiga.
        const bool trapezio = std::string(caso) == "c02_trap_secao3_50m";
        const TExecucao r =
            Executar(pasta.Caminho, std::string("p.mvd --html r.html") +
                                        (trapezio ? " --curva-descarga-original" : ""));
        ASSERT_EQ(r.saida, 0) << r.err;
        const std::string doc = win1252::ParaUtf8(LerBytes(pasta / "r.html"));
        auto ini = LerSecoes(win1252::ParaUtf8(LerBytes(pasta / "p.mvd")));
        const auto real = [&](const char* secao, const char* chave) {
            EXPECT_TRUE(ini[secao].count(chave)) << secao << '/' << chave;
            return std::stod(ini[secao][chave]);
        };
        const int declividade = std::stoi(ini["UNIDADES"]["Declividade"]);
        const double fd = declividade == 0 ? 100 : 1;
        const std::string ud = declividade == 0 ? "%" : "m/m";
        const double fatoresVi[] = {0.001, 1, 0.024, 2.4};
        const char* unidadesVi[] = {"m/h", "mm/h", "m/dia", "cm/dia"};
        const int vi = std::stoi(ini["UNIDADES"]["VI"]);
        const std::string rug = "Rugosidade (s·m<sup>-1/3</sup>)";
        const auto dado = [&](const std::string& rotulo, double valor) {
            const std::string texto =
                ">" + rotulo + "</td><td width=\"16%\"><b>" + FloatToStr(valor, ',') + "</b>";
            EXPECT_NE(doc.find(texto), std::string::npos) << texto;
        };
        const auto canal = [&](const std::string& sufixo, bool conducao) {
            const std::string c = "Canal_" + sufixo;
            const double z = real(c.c_str(), "ValorZ"), sm = real(c.c_str(), "ValorSm");
            if (ini[c]["TipoCanal"] == "0") {
                dado("Z", z);
                dado("B (m)", real(c.c_str(), "B"));
            } else {
                dado("m1", conducao ? 1 / z : z);
                dado("m2", 1 / sm);
            }
            const std::string g = "CanalGradiente_" + sufixo;
            dado("Declividade (" + ud + ")", real(g.c_str(), "Sc") * fd);
            dado(rug, real(g.c_str(), "nc"));
        };
        canal("ESTRADA", false);
        canal("BaciaAcumulacao", true);
        dado("Comprimento (m)", real("CanalGradiente_ESTRADA", "Comprimento"));
        const char* ce = "CanalEstrada_ESTRADA";
        dado("Aprofundamento máximo (cm)", real(ce, "Aprofundamento"));
        dado("Tensão crítica (Pa)", real(ce, "TalCritica"));
        dado("Massa específica aparente (g·cm&#8315;³)", real(ce, "Densidade"));
        EXPECT_NE(doc.find("Erodibilidade ("), std::string::npos);
        dado(std::string("Erodibilidade (") +
                 (ini["UNIDADES"]["Erodibilidade"] == "0" ? "kg·m&#8315;²·s&#8315;¹·Pa&#8315;¹"
                                                          : "g·cm&#8315;²·min&#8315;¹·Pa&#8315;¹") +
                 ")",
             real(ce, "Erodibilidade"));
        dado("Período de retorno do dimensionamento (anos)", real(ce, "TrDim"));
        dado("Período de retorno do espaçamento (anos)", real(ce, "TrEsp"));
        const bool secao3 = ini[ce]["IndSecao"] == "3";
        // O leiaute antigo tem um plano só, sem o nome do trecho.
        const auto plano = [&](const std::string& nome) {
            const std::string trecho = nome + ": Trecho 1";
            return ini.count(trecho) ? trecho : nome;
        };
        const std::string terrenoEstrada = plano("Terreno_Estrada"),
                          terrenoTalude = plano("Terreno_Talude");
        EXPECT_NE(doc.find("Seção transversal: <b>Seção " + ini[ce]["IndSecao"] + "</b>"),
                  std::string::npos);
        dado("Taxa de infiltração estável (" + std::string(unidadesVi[vi]) + ")",
             real(terrenoEstrada.c_str(), "VIB") * fatoresVi[vi]);
        dado("Declividade transversal (" + ud + ")", real(terrenoEstrada.c_str(), "St") * fd);
        dado(rug, real(terrenoEstrada.c_str(), "nt"));
        dado("Semilargura (m)", real(plano("Encosta_Estrada").c_str(), "Comprimento"));
        if (!secao3) {
            dado("Taxa de infiltração estável (" + std::string(unidadesVi[vi]) + ")",
                 real(terrenoTalude.c_str(), "VIB") * fatoresVi[vi]);
            dado("Declividade (" + ud + ")", real(terrenoTalude.c_str(), "St") * fd);
            dado(rug, real(terrenoTalude.c_str(), "nt"));
            dado("Comprimento (m)", real(plano("Encosta_Talude").c_str(), "Comprimento"));
        } else {
            EXPECT_EQ(doc.find("Área externa"), std::string::npos);
        }
        dado("Profundidade (H) (m)", real("BaciaAcumulacao", "Profundidade"));
        if (ini["BaciaAcumulacao"]["Formato"] == "0") {
            dado("m1", real("BaciaAcumulacao", "m1"));
            dado("m2", real("BaciaAcumulacao", "m2"));
        }
        const char* idf =
            ini.count("PREC_EXPONENCIAL_NEGATIVA") ? "PREC_EXPONENCIAL_NEGATIVA" : "TARSIO";
        dado("K", real(idf, "K"));
        dado("a", real(idf, "A"));
        dado("b (min)", real(idf, "B"));
        dado("c", real(idf, "C"));

        // O espaçamento do caso de referência e os três gráficos.
        const std::string json = LerBytes(DADOS_REFERENCIA + caso + ".expected.json");
        const auto i = json.find("\"Espacamento\": ") + 15;
        const std::string espacamento = json.substr(i, json.find(',', i) - i);
        EXPECT_NE(
            doc.find(">Espaçamento máximo (m)</td><td width=\"16%\"><b>" + espacamento + "</b>"),
            std::string::npos)
            << espacamento;
        int graficos = 0;
        for (auto k = doc.find("<svg "); k != std::string::npos; k = doc.find("<svg ", k + 1))
            ++graficos;
        EXPECT_GE(graficos, 3);
    }
}

// A linha de comando grava o mesmo documento que a janela monta: o mesmo gerador, com as
// figuras da pasta do programa e a data do dia.
TEST(LinhaDeComandoUso, RelatorioHtmlIgualAoDaJanela) {
    TPastaTemporaria pasta("cli-html-igual");
    fs::copy_file(DADOS_REFERENCIA + "c03_equiv_200m.mvd", pasta / "p.mvd");
    const TExecucao r = Executar(pasta.Caminho, "p.mvd --html r.html");
    ASSERT_EQ(r.saida, 0) << r.err;

    TUnidades unidades;
    TProjeto p(unidades);
    ZerarVariaveis(p);
    ASSERT_TRUE(LerProjeto(p, (pasta / "p.mvd").string()));
    const TResultadoCalculo resultado = ExecutarCalculo(p, p.Estrada.Comprimento(), nullptr);
    TOpcoesRelatorioEstrada opcoes;
    opcoes.PastaPrograma = fs::canonical(MORVENDO_CALC).parent_path().string() + "/";
    const std::time_t agora = std::time(nullptr);
    char data[16] = "";
    std::strftime(data, sizeof data, "%d/%m/%Y", std::localtime(&agora));
    opcoes.Data = data;
    EXPECT_TRUE(LerBytes(pasta / "r.html") == MontarRelatorioEstrada(p, resultado, opcoes));
}

// O relatório nunca toma o lugar do projeto nem de um arquivo especial, e um relatório antigo
// só é trocado por um completo.
TEST(LinhaDeComandoUso, RelatorioHtmlRecusaDestinosEGravaInteiro) {
    TPastaTemporaria pasta("cli-html-destino");
    fs::copy_file(DADOS_REFERENCIA + "c03_equiv_200m.mvd", pasta / "p.mvd");
    const std::string projeto = LerBytes(pasta / "p.mvd");
    fs::create_symlink("nao-existe", pasta / "quebrado");
    const std::pair<const char*, const char*> recusados[] = {
        {"p.mvd", "é o próprio arquivo do projeto"},
        {"quebrado", "é um link simbólico para um arquivo que não existe"},
        {".", "é uma pasta"},
    };
    for (const auto& [destino, motivo] : recusados) {
        const TExecucao r = Executar(pasta.Caminho, std::string("p.mvd --html ") + destino);
        EXPECT_EQ(r.saida, 2) << destino;
        EXPECT_EQ(r.err, std::string("O relatório não pode ser gravado em ") + destino + ": " +
                             motivo + ".\n");
    }
    EXPECT_EQ(LerBytes(pasta / "p.mvd"), projeto);
    EXPECT_EQ(Executar(pasta.Caminho, "p.mvd --html").saida, 2);

    // Sem espaço para o relatório inteiro (a tabela de texto cabe): erro e o antigo fica.
    GravarBytes(pasta / "r.html", "antigo");
    const TExecucao r =
        Executar(pasta.Caminho, "p.mvd --html r.html", "trap '' XFSZ; ulimit -f 40; ");
    EXPECT_EQ(r.saida, 1);
    EXPECT_NE(r.err.find("r.html"), std::string::npos) << r.err;
    EXPECT_EQ(LerBytes(pasta / "r.html"), "antigo");
    for (const auto& e : fs::directory_iterator(pasta.Caminho))
        EXPECT_EQ(e.path().filename().string().find("r.html."), std::string::npos) << e.path();
}

} // namespace

#if !defined(__SANITIZE_ADDRESS__)
// Canal de 15 km sob chuva longa: a memória acompanha o número de nós, não o de passos.
TEST(LinhaDeComandoUso, CanalDeQuinzeQuilometrosCabeEm64MB) {
    TPastaTemporaria pasta("cli-15km");
    const TExecucao r =
        Executar(pasta.Caminho, "'" + std::string(MORVENDO_DADOS_TESTE) + "/canal_15000.mvd'");
    ASSERT_EQ(r.saida, 0) << r.err;
    EXPECT_NE(r.out.find("  Espaçamento máximo: 89 m\n"), std::string::npos) << r.out;
    rusage uso{};
    getrusage(RUSAGE_CHILDREN, &uso);
    EXPECT_LT(uso.ru_maxrss, 64 * 1024) << "kB";
}
#endif

// Ctrl+C durante o cálculo: cancela pelo motor e sai limpo, sem tabela pela metade.
TEST(LinhaDeComandoUso, InterrupcaoCancelaOCalculo) {
    TPastaTemporaria pasta("cli-ctrl-c");
    const std::string cmd = "cd '" + pasta.Caminho.string() + "' && ('" MORVENDO_CALC "' '" +
                            std::string(MORVENDO_DADOS_TESTE) +
                            "/canal_15000.mvd' > out.txt 2> err.txt & p=$!; sleep 1; "
                            "kill -INT $p; wait $p; echo $? > saida.txt)";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(LerBytes(pasta / "saida.txt"), "130\n");
    EXPECT_EQ(LerBytes(pasta / "err.txt"), "Cálculo cancelado.\n");
    EXPECT_EQ(LerBytes(pasta / "out.txt"), "");
    for (const auto& e : fs::directory_iterator(pasta.Caminho))
        EXPECT_EQ(e.path().filename().string().find(".~"), std::string::npos);
}

// A tabela antiga só é trocada por uma tabela completa: disco cheio (limite de tamanho de
// arquivo), um processo morto no meio e destinos que não são arquivos comuns a deixam como
// estava.
TEST(LinhaDeComandoUso, TabelaAntigaFicaQuandoANovaNaoSeCompleta) {
    TPastaTemporaria pasta("cli-tabela");
    fs::copy_file(DADOS_REFERENCIA + "c03_equiv_200m.mvd", pasta / "p.mvd");
    const std::string projeto = LerBytes(pasta / "p.mvd");
    const std::string antiga = "tabela antiga\r\n";
    GravarBytes(pasta / "Relatorio.txt", antiga);
    fs::permissions(pasta / "Relatorio.txt", fs::perms::owner_read | fs::perms::owner_write);
    auto semTemporarios = [&] {
        for (const auto& e : fs::directory_iterator(pasta.Caminho))
            EXPECT_EQ(e.path().filename().string().find(".~"), std::string::npos) << e.path();
    };

    // Disco cheio: a gravação falha no meio da tabela; erro em português, tabela antiga.
    TExecucao r = Executar(pasta.Caminho, "p.mvd", "trap '' XFSZ; ulimit -f 8; ");
    EXPECT_EQ(r.saida, 1);
    EXPECT_EQ(r.err, "Não foi possível gravar o arquivo Relatorio.txt: o arquivo passou do "
                     "tamanho permitido.\n");
    EXPECT_EQ(LerBytes(pasta / "Relatorio.txt"), antiga);
    semTemporarios();

    // Morto pelo sinal no meio da tabela: o temporário órfão sai na execução seguinte.
    r = Executar(pasta.Caminho, "p.mvd", "ulimit -f 8; ");
    EXPECT_NE(r.saida, 0);
    EXPECT_EQ(LerBytes(pasta / "Relatorio.txt"), antiga);

    // O projeto, uma pasta e um link que não leva a um arquivo comum nunca são substituídos
    // pela tabela (FIFOs e dispositivos recebem a tabela como fluxo).
    fs::create_symlink(pasta / "p.mvd", pasta / "link.mvd");
    fs::create_symlink(pasta.Caminho, pasta / "link-pasta");
    const std::pair<const char*, const char*> recusados[] = {
        {"p.mvd", "é o próprio arquivo do projeto"},
        {"./link.mvd", "é o próprio arquivo do projeto"},
        {"link-pasta", "é um link simbólico que não leva a um arquivo comum"},
        {".", "é uma pasta"},
    };
    for (const auto& [destino, motivo] : recusados) {
        r = Executar(pasta.Caminho, std::string("p.mvd --relatorio ") + destino);
        EXPECT_EQ(r.saida, 2) << destino;
        EXPECT_EQ(r.err, std::string("A tabela por seção não pode ser gravada em ") + destino +
                             ": " + motivo + ".\n");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(LerBytes(pasta / "p.mvd"), projeto);
    EXPECT_TRUE(fs::is_symlink(pasta / "link-pasta"));

    // Completa, a tabela nova entra no lugar com as permissões da antiga.
    r = Executar(pasta.Caminho, "p.mvd");
    ASSERT_EQ(r.saida, 0) << r.err;
    EXPECT_EQ(LerBytes(pasta / "Relatorio.txt"),
              LerBytes(DADOS_REFERENCIA + "c03_equiv_200m.Relatorio.txt"));
    EXPECT_EQ(fs::status(pasta / "Relatorio.txt").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    semTemporarios();
}

#if !defined(__SANITIZE_ADDRESS__)
// Um CSV de um milhão de trechos (25 MB) é lido aos pedaços e pára na linha do limite: cabe
// em 100 MB de memória e sai com a mensagem, sem abortar por falta de memória.
TEST(LinhaDeComandoUso, TrechosDemaisParamNoLimiteComPoucaMemoria) {
    TPastaTemporaria pasta("cli-milhao");
    fs::copy_file(DADOS_REFERENCIA + "c03_equiv_200m.mvd", pasta / "p.mvd");
    std::string csv = "nome,inicio_m,comprimento_m,declividade\n";
    csv.reserve(26u << 20);
    for (int i = 0; i < 1000000; ++i)
        csv += "T" + std::to_string(i) + "," + std::to_string(i * 100) + ",100,0.02\n";
    GravarBytes(pasta / "t.csv", csv);
    const TExecucao r = Executar(pasta.Caminho, "p.mvd --trechos t.csv", "ulimit -v 100000; ");
    EXPECT_EQ(r.saida, 2);
    EXPECT_EQ(r.err, "t.csv: Linha 10002: o projeto guarda no máximo 10000 trechos.\n");
    EXPECT_EQ(r.out, "");
}
#endif

// Opções que não fariam nada são recusadas com o nome da opção, como os outros erros de uso,
// e nada é gravado.
TEST(LinhaDeComandoUso, OpcoesQueNaoFariamNadaSaoRecusadas) {
    TPastaTemporaria pasta("cli-opcoes-inuteis");
    fs::copy_file(DADOS_REFERENCIA + "c03_equiv_200m.mvd", pasta / "p.mvd");
    GravarBytes(pasta / "t.csv", "nome,inicio_m,comprimento_m,declividade\nA,0,100,0.02\n");
    const std::pair<const char*, const char*> casos[] = {
        {"--estudo tr 2 4 1 --csv x.csv --json",
         "A opção --csv não serve com --estudo, que escreve só a sua tabela CSV, na saída "
         "padrão.\n"},
        {"--trechos t.csv --json",
         "A opção --json não serve com --trechos, que escreve só a sua tabela CSV, na saída "
         "padrão.\n"},
        {"--trechos t.csv --relatorio r.txt",
         "A opção --relatorio não serve com --trechos, que escreve só a sua tabela CSV, na "
         "saída padrão.\n"},
        {"--estudo k 1 2 1 --html x.html",
         "A opção --html não serve com --estudo, que escreve só a sua tabela CSV, na saída "
         "padrão.\n"},
        {"--threads 2", "A opção --threads só serve com --estudo, --trechos, --perfil ou "
                        "--protecao.\n"},
        {"--csv ''", "O nome do arquivo depois de --csv está vazio.\n"},
        {"--html ''", "O nome do arquivo depois de --html está vazio.\n"},
        {"--relatorio ''", "O nome do arquivo depois de --relatorio está vazio.\n"},
        {"--trechos ''", "O nome do arquivo depois de --trechos está vazio.\n"},
        {"--csv a.csv --csv x.csv", "A opção --csv foi dada mais de uma vez.\n"},
        {"--estudo k 1 2 1 --estudo tr 2 4 1", "A opção --estudo foi dada mais de uma vez.\n"},
    };
    for (const auto& [opcoes, mensagem] : casos) {
        const TExecucao r = Executar(pasta.Caminho, std::string("p.mvd ") + opcoes);
        EXPECT_EQ(r.saida, 2) << opcoes;
        EXPECT_EQ(r.err, mensagem) << opcoes;
        EXPECT_EQ(r.out, "") << opcoes;
    }
    for (const char* nome : {"x.csv", "a.csv", "x.html", "r.txt", "Relatorio.txt"})
        EXPECT_FALSE(fs::exists(pasta / nome)) << nome;
}

// O projeto é lido do disco uma vez só: um erro de leitura na abertura (injetado pelo strace)
// é uma mensagem e um status, e não há segunda abertura que possa falhar e abortar.
TEST(LinhaDeComandoUso, ProjetoLidoUmaVezNosLotes) {
    if (std::system("strace -o /dev/null true > /dev/null 2>&1") != 0) GTEST_SKIP() << "sem strace";
    TPastaTemporaria pasta("cli-uma-leitura");
    fs::copy_file(DADOS_REFERENCIA + "c03_equiv_200m.mvd", pasta / "p.mvd");
    GravarBytes(pasta / "t.csv", "nome,inicio_m,comprimento_m,declividade\nA,0,100,0.02\n");
    for (const char* lote : {"--trechos t.csv", "--estudo tr 2 3 1"}) {
        for (int abertura : {1, 2}) {
            const std::string strace = "strace -f -o /dev/null -P p.mvd -e trace=openat "
                                       "-e inject=openat:error=EIO:when=" +
                                       std::to_string(abertura) + " ";
            const TExecucao r =
                // O LeakSanitizer não funciona sob ptrace; na compilação com sanitizadores ele
                // sairia com erro no fim de uma execução sem defeito.
                Executar(pasta.Caminho, std::string("p.mvd ") + lote,
                         strace + "env ASAN_OPTIONS=detect_leaks=0 ");
            SCOPED_TRACE(std::string(lote) + ", abertura " + std::to_string(abertura));
            if (abertura == 1) {
                EXPECT_EQ(r.saida, 2);
                EXPECT_NE(r.err.find("Não foi possível ler o arquivo p.mvd: erro de leitura ou "
                                     "gravação no disco.\n"),
                          std::string::npos)
                    << r.err;
                EXPECT_EQ(r.out, "");
            } else {
                EXPECT_EQ(r.saida, 0) << r.err;
                EXPECT_EQ(r.out.rfind(lote[2] == 't' ? "nome," : "valor,", 0), 0u) << r.out;
            }
        }
    }
}

// A saída padrão ("-", ou um link como /dev/stdout, para um arquivo ou um pipe), um FIFO e um
// dispositivo recebem a saída como fluxo: o link continua link, o FIFO continua FIFO, e o
// resumo vai para a saída de erros quando a saída padrão leva um arquivo.
TEST(LinhaDeComandoUso, SaidasParaFluxosNaoSubstituemOLugar) {
    TPastaTemporaria pasta("cli-fluxos");
    fs::copy_file(DADOS_REFERENCIA + "c03_equiv_200m.mvd", pasta / "p.mvd");
    ASSERT_EQ(Executar(pasta.Caminho, "p.mvd --csv esperado.csv --html esperado.html").saida, 0);
    const std::string csv = LerBytes(pasta / "esperado.csv"),
                      html = LerBytes(pasta / "esperado.html");
    // Links no lugar de /dev/stdout e /dev/null: um erro aqui não estraga os do sistema.
    fs::create_symlink("/proc/self/fd/1", pasta / "saida");
    fs::create_symlink("/dev/null", pasta / "nulo");
    ASSERT_EQ(mkfifo((pasta / "fifo").c_str(), 0644), 0);

    for (const char* destino : {"-", "saida"}) {
        SCOPED_TRACE(destino);
        TExecucao r = Executar(pasta.Caminho, std::string("p.mvd --csv ") + destino);
        EXPECT_EQ(r.saida, 0) << r.err;
        EXPECT_EQ(r.out, csv);
        EXPECT_EQ(r.err.rfind("Resultados - Canal\n", 0), 0u) << r.err;
        const std::string pipe = "cd '" + pasta.Caminho.string() +
                                 "' && '" MORVENDO_CALC "' p.mvd --csv " + destino +
                                 " 2> /dev/null | cat > pipe.txt";
        ASSERT_EQ(std::system(pipe.c_str()), 0);
        EXPECT_EQ(LerBytes(pasta / "pipe.txt"), csv);
    }
    EXPECT_TRUE(fs::is_symlink(pasta / "saida"));
    const TExecucao tabela = Executar(pasta.Caminho, "p.mvd --relatorio -");
    EXPECT_EQ(tabela.saida, 0) << tabela.err;
    EXPECT_EQ(tabela.out, LerBytes(DADOS_REFERENCIA + "c03_equiv_200m.Relatorio.txt"));

    // FIFO com um leitor; dispositivo por um link.
    const TExecucao fifo = Executar(pasta.Caminho, "p.mvd --html fifo --relatorio nulo --csv nulo",
                                    "(timeout 20 cat fifo > lido.html &); timeout 20 env ");
    EXPECT_EQ(fifo.saida, 0) << fifo.err;
    EXPECT_NE(fifo.out.find("Espaçamento máximo"), std::string::npos);
    EXPECT_TRUE(fs::is_fifo(pasta / "fifo"));
    EXPECT_TRUE(fs::is_symlink(pasta / "nulo"));
    for (int i = 0; i < 100 && LerBytes(pasta / "lido.html").size() < html.size(); ++i)
        usleep(20000);
    EXPECT_EQ(LerBytes(pasta / "lido.html"), html);

    // A saída padrão leva uma coisa só.
    const std::pair<const char*, const char*> juntas[] = {
        {"--csv - --html saida", "A saída padrão não pode levar ao mesmo tempo --csv e --html.\n"},
        {"--json --relatorio -",
         "A saída padrão não pode levar ao mesmo tempo --json e --relatorio.\n"},
    };
    for (const auto& [opcoes, mensagem] : juntas) {
        const TExecucao r = Executar(pasta.Caminho, std::string("p.mvd ") + opcoes);
        EXPECT_EQ(r.saida, 2) << opcoes;
        EXPECT_EQ(r.err, mensagem);
        EXPECT_EQ(r.out, "");
    }
}

// Morto no meio da gravação do CSV ou do relatório (o limite de tamanho mata o processo entre
// criar o temporário e renomeá-lo): a execução seguinte remove os temporários dos processos
// mortos, e só os deles.
TEST(LinhaDeComandoUso, TemporariosDeExecucoesMortasSaemNaSeguinte) {
    TPastaTemporaria pasta("cli-orfaos");
    fs::copy_file(DADOS_REFERENCIA + "c03_equiv_200m.mvd", pasta / "p.mvd");
    fs::create_symlink("/dev/null", pasta / "nulo");
    auto temporarios = [&] {
        std::vector<std::string> nomes;
        for (const auto& e : fs::directory_iterator(pasta.Caminho))
            if (e.path().filename().string().find(".~") != std::string::npos)
                nomes.push_back(e.path().filename().string());
        std::sort(nomes.begin(), nomes.end());
        return nomes;
    };
    for (const char* saida : {"--csv x.csv", "--html x.html"}) {
        const TExecucao r = Executar(pasta.Caminho, std::string("p.mvd --relatorio nulo ") + saida,
                                     "ulimit -f 1; ");
        EXPECT_NE(r.saida, 0) << saida;
    }
    ASSERT_EQ(temporarios().size(), 2u);
    // Os de processos vivos (este teste, o init) ficam.
    const std::vector<std::string> vivos = {"x.csv.~" + std::to_string(getpid()) + ".aaaaaa",
                                            "x.html.~1.bbbbbb"};
    for (const std::string& v : vivos)
        GravarBytes(pasta / v, "em andamento");
    const TExecucao r = Executar(pasta.Caminho, "p.mvd --relatorio nulo --csv x.csv --html x.html");
    ASSERT_EQ(r.saida, 0) << r.err;
    EXPECT_EQ(temporarios(), vivos);
    EXPECT_TRUE(fs::is_regular_file(pasta / "x.csv"));
    EXPECT_TRUE(fs::is_regular_file(pasta / "x.html"));
}

// Nomes de 250 caracteres servem às três saídas: o temporário encurta o nome.
TEST(LinhaDeComandoUso, NomesLongosServemATodasAsSaidas) {
    TPastaTemporaria pasta("cli-nomes-longos");
    fs::copy_file(DADOS_REFERENCIA + "c03_equiv_200m.mvd", pasta / "p.mvd");
    const std::string nome = std::string(245, 'a');
    const TExecucao r = Executar(pasta.Caminho, "p.mvd --relatorio " + nome + ".txt --csv " + nome +
                                                    ".csv --html " + nome + ".html");
    ASSERT_EQ(r.saida, 0) << r.err;
    EXPECT_EQ(LerBytes(pasta / (nome + ".txt")),
              LerBytes(DADOS_REFERENCIA + "c03_equiv_200m.Relatorio.txt"));
    for (const char* ext : {".csv", ".html"})
        EXPECT_TRUE(fs::is_regular_file(pasta / (nome + ext))) << ext;
    for (const auto& e : fs::directory_iterator(pasta.Caminho))
        EXPECT_EQ(e.path().filename().string().find(".~"), std::string::npos) << e.path();
}
