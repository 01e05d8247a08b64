#include "comum/EMorvendo.h"
#include "comum/MensagemErro.h"
#include "comum/Numeros.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <new>
#include <random>
#include <stdexcept>
#include <system_error>

namespace {

using namespace std::literals;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(FloatToStr, FormaGeral) {
    struct Caso {
        double valor;
        char sep;
        const char* esperado;
    };
    const Caso casos[] = {
        {0.5, '.', "0.5"},
        {0.5, ',', "0,5"},
        {12, '.', "12"},
        {100, ',', "100"},
        {-12.25, ',', "-12,25"},
        {0, '.', "0"},
        {-0.0, '.', "0"},
        {1e-6, '.', "1E-6"},
        {1e-5, '.', "0.00001"},
        {0.000012345, '.', "0.000012345"},
        {-2.5e-7, '.', "-2.5E-7"},
        {1e15, '.', "1E15"},
        {1.5e20, ',', "1,5E20"},
        {1e100, '.', "1E100"},
        {123456789012345.0, '.', "123456789012345"},
        {999999999999999.9, '.', "1E15"}, // o arredondamento sobe o expoente
        {0.1 + 0.2, '.', "0.3"},
        {2.0 / 3, '.', "0.666666666666667"},
        {-1.0 / 3, ',', "-0,333333333333333"},
        {4.9406564584124654e-324, '.', "4.94065645841247E-324"},
        {kNaN, '.', "NAN"},
        {kInf, '.', "INF"},
        {-kInf, '.', "-INF"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(FloatToStr(c.valor, c.sep), c.esperado) << c.esperado;
}

// O texto gravado, lido de volta, é o valor com 15 algarismos significativos.
TEST(FloatToStr, VoltaPelaLeituraEm15Algarismos) {
    std::mt19937_64 gerador(20240611);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> expoente(-30, 30);
    for (int i = 0; i < 2000; ++i) {
        const double v = mantissa(gerador) * std::pow(10.0, expoente(gerador));
        char ref[40];
        std::snprintf(ref, sizeof ref, "%.14e", v);
        const char sep = i % 2 ? ',' : '.';
        const auto lido = TentarTextoParaReal(FloatToStr(v, sep), sep);
        ASSERT_TRUE(lido) << FloatToStr(v, sep);
        EXPECT_EQ(*lido, std::strtod(ref, nullptr)) << FloatToStr(v, sep);
    }
}

TEST(FormatFloat, Mascaras) {
    struct Caso {
        const char* mascara;
        double valor;
        char sep, milhar;
        const char* esperado;
    };
    const Caso casos[] = {
        // 2.675 é 2.67499999999999982..., 1.005 é 1.00499999999999989... e 1.45 é
        // 1.44999999999999996 (só o 18º algarismo evita o falso empate).
        {"0.0#", 2.675, '.', '.', "2.67"},
        {"0.00", 1.005, '.', '.', "1.00"},
        {"0.0", 1.45, '.', '.', "1.4"},
        {"0.0#", 0.125, '.', '.', "0.13"},
        {"0.0", 0.25, '.', '.', "0.3"},
        {"0.0", 0.05, '.', '.', "0.1"},
        {"0", 2.5, '.', '.', "3"},
        {"0", -2.5, '.', '.', "-3"},
        {"0", 0.4, '.', '.', "0"},
        {"0.0######", 1.0 / 3, '.', '.', "0.3333333"},
        {"0.0######", 1.5, ',', '.', "1,5"},
        {"0.0######", 1e-9, '.', '.', "0.0"},
        {"0.0#", 2.0, '.', '.', "2.0"},
        {"0.0#", 9.999, '.', '.', "10.0"},
        {"0.0##", 0.0004, '.', '.', "0.0"},
        {"0.0#", -0.001, '.', '.', "0.0"},
        {"0.0#", -0.005, '.', '.', "-0.01"},
        {"0.00", 0, '.', '.', "0.00"},
        {"0.0#", 1234567.891, ',', '.', "1234567,89"},
        {"#,##0.0##", 1234567.891, ',', '.', "1.234.567,891"},
        {"#,##0.0##", 999.9999, ',', '.', "1.000,0"},
        {"#,##0.0##", -12.5, '.', ',', "-12.5"},
        {"#,##0", -1234567, '.', ' ', "-1 234 567"},
        {"####.000", 0.5, '.', '.', ".500"},
        {"####.000", 12.5, '.', '.', "12.500"},
        {"####.000", -0.5, ',', '.', "-,500"},
        {"00", 7, '.', '.', "07"},
        {"00", 123, '.', '.', "123"},
        {" 0.00", 1.5, ',', '.', " 1,50"},
        {" 0.00", -1.5, '.', '.', " -1.50"},
        {"0.0 m", 2.25, '.', '.', "2.3 m"},
        {"0.0", 1e20, '.', '.', "1E20"},
        {"0.0", kNaN, '.', '.', "NAN"},
        {"0.0", -kInf, '.', '.', "-INF"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(FormatFloat(c.mascara, c.valor, c.sep, c.milhar), c.esperado)
            << c.mascara << " " << c.esperado;
}

TEST(FormatarNaoNulo, VazioSoParaZero) {
    EXPECT_EQ(FormatarNaoNulo("0.0######", 0.0, ','), "");
    EXPECT_EQ(FormatarNaoNulo("0.0######", -0.0, ','), "");
    EXPECT_EQ(FormatarNaoNulo("0.0######", 1.5, ','), "1,5");
    EXPECT_EQ(FormatarNaoNulo("0", 0.001, '.'), "0");
}

TEST(TentarTextoParaReal, AceitaNumeros) {
    struct Caso {
        const char* texto;
        char sep;
        double esperado;
    };
    const Caso casos[] = {
        {"1,5", ',', 1.5},         {" 2 ", '.', 2},
        {"\t-3.25\t", '.', -3.25}, {"1e3", '.', 1000},
        {"1E+3", ',', 1000},       {"-1,5e-2", ',', -0.015},
        {"+.5", '.', 0.5},         {"5.", '.', 5},
        {"007", '.', 7},           {"1e-400", '.', 0},
        {"0e999999", '.', 0},      {"1.7976931348623157e308", '.', 1.7976931348623157e308},
    };
    for (const auto& c : casos) {
        const auto v = TentarTextoParaReal(c.texto, c.sep);
        ASSERT_TRUE(v) << c.texto;
        EXPECT_EQ(*v, c.esperado) << c.texto;
    }
}

TEST(TentarTextoParaReal, RecusaTextosQueNaoSaoNumeros) {
    struct Caso {
        std::string_view texto;
        char sep;
    };
    const Caso casos[] = {
        {"", '.'},
        {"  ", '.'},
        {"-", '.'},
        {"1-2", '.'},
        {",", ','},
        {".", '.'},
        {"abc", '.'},
        {"1.5", ','},
        {"1,5", '.'},
        {"1.000,5", ','},
        {"1.2.3", '.'},
        {"1 2", '.'},
        {"--1", '.'},
        {"1e", '.'},
        {"1e+", '.'},
        {"e5", '.'},
        {"inf", '.'},
        {"nan", '.'},
        {"0x10", '.'},
        {"1e400", '.'},
        {"-1e999999999999999999", '.'},
        {"1\0"
         "2"sv,
         '.'},
        {"12 m", '.'},
    };
    for (const auto& c : casos)
        EXPECT_FALSE(TentarTextoParaReal(c.texto, c.sep)) << c.texto;
}

TEST(TextoParaReal, VazioDaPadraoEInvalidoDaErro) {
    EXPECT_EQ(TextoParaReal("", 7.5), 7.5);
    EXPECT_EQ(TextoParaReal("1,25", 0, ','), 1.25);
    try {
        TextoParaReal("1-2", 0);
        FAIL() << "sem erro";
    } catch (const EMorvendo& e) {
        EXPECT_STREQ(e.what(), "'1-2' não é um número válido");
    }
    EXPECT_THROW(TextoParaReal(" ", 0), EMorvendo);
    EXPECT_THROW(TextoParaReal("1.5", 0, ','), EMorvendo);
}

TEST(Arredondar, EmpatesParaOPar) {
    const std::pair<double, long long> casos[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.4999, 0}, {-0.6, -1}, {1e15 + 1, 1000000000000001},
    };
    for (const auto& [v, esperado] : casos)
        EXPECT_EQ(Arredondar(v), esperado) << v;
    // Sem representação inteira: erro, não um número qualquer.
    EXPECT_THROW(Arredondar(kNaN), EMorvendo);
    EXPECT_THROW(Arredondar(1e300), EMorvendo);
}

} // namespace

TEST(CaixaDeErro, PontoFinalSoDepoisDeLetraOuAlgarismo) {
    struct {
        const char* entrada;
        const char* saida;
    } casos[] = {{"Deu erro", "Deu erro."},
                 {"Deu erro.", "Deu erro."},
                 {"  Valor incorreto da densidade do canal.  ",
                  "  Valor incorreto da densidade do canal.  "},
                 {"Latitude 20°45'14\"", "Latitude 20°45'14\""},
                 {"Seção não disponível", "Seção não disponível."},
                 {"valor 10", "valor 10."},
                 {"", ""}};
    for (const auto& c : casos)
        EXPECT_EQ(ComPontoFinal(c.entrada), c.saida) << c.entrada;
}

// Os textos da biblioteca padrão vêm em inglês e nunca chegam a quem usa o programa.
TEST(CaixaDeErro, ErrosDaBibliotecaEmPortugues) {
    using std::filesystem::filesystem_error;
    const struct {
        std::function<void()> lancar;
        const char* mensagem;
    } casos[] = {
        {[] { throw EArquivoNaoExiste("O arquivo x não foi encontrado."); },
         "O arquivo x não foi encontrado."},
        {[] { throw std::bad_alloc(); }, "Não há memória suficiente para concluir a operação."},
        {[] {
             throw filesystem_error("x", "/p.mvd",
                                    std::make_error_code(std::errc::filename_too_long));
         },
         "Não foi possível usar o arquivo /p.mvd: nome de arquivo longo demais."},
        {[] { throw std::system_error(std::make_error_code(std::errc::permission_denied)); },
         "Erro do sistema: permissão negada."},
        {[] { throw std::out_of_range("vector::_M_range_check"); },
         "Erro interno: a operação não pôde ser concluída."},
    };
    for (const auto& c : casos) {
        try {
            c.lancar();
            FAIL() << c.mensagem;
        } catch (const std::exception& e) {
            EXPECT_EQ(MensagemParaUsuario(e), c.mensagem);
        }
    }
}
