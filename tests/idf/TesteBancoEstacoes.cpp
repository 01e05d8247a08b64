#include "comum/ArquivoIni.h"
#include "idf/BancoEstacoes.h"
#include "idf/OrdemAlfabetica.h"

#include "AuxiliaresIdf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <set>

namespace {

// ---- Estados ----

TEST(TabelaEstados, DefinirIndiceAceitaSo0a26EGuardaOAnterior) {
    TEstado e;
    EXPECT_EQ(e.Indice(), 0);
    e.DefinirIndice(26);
    EXPECT_EQ(e.NomeEstado(), "Tocantins");
    for (const int n : {27, -1, 32767}) {
        try {
            e.DefinirIndice(n);
            FAIL() << n;
        } catch (const ENumeroEstado& erro) {
            EXPECT_EQ(std::string(erro.what()),
                      " Não existe estado com índice igual a " + std::to_string(n));
        }
        EXPECT_EQ(e.Indice(), 26);
    }
    e.DefinirIndice(0);
    EXPECT_EQ(e.NomeEstado(), "Acre");
    EXPECT_EQ(NomeEstado(12), "Minas Gerais");
    EXPECT_EQ(CodigoEstado(24), "SP");
    EXPECT_EQ(IndiceEstadoPorCodigo("to"), 26);
    EXPECT_EQ(IndiceEstadoPorCodigo("XX"), -1);
}

// ---- Coordenadas em texto ----

TEST(Coordenadas, TextoGrausTruncaEGrausDecimaisLeDeVolta) {
    struct Caso {
        double Graus;
        const char* Texto;
    };
    const Caso casos[] = {
        {20.75, "20°45'00\""}, {std::nextafter(21.0, 0.0), "20°59'59\""}, // trunca, não arredonda
        {0.0, "00°00'00\""},   {7.34944, "07°20'57\""},
        {100.5, "10°30'00\""}, // o terceiro algarismo dos graus se perde
    };
    for (const auto& c : casos)
        EXPECT_EQ(TextoGraus(c.Graus), c.Texto) << c.Graus;
    EXPECT_DOUBLE_EQ(GrausDecimais("20°45'00\""), 20.75);
    // Os separadores não são examinados.
    EXPECT_DOUBLE_EQ(GrausDecimais("20x45y00z"), 20.75);

    // Ida e volta: nunca mais de um segundo abaixo do valor, nunca acima.
    for (double x = 0; x < 75; x += 0.0137) {
        const double volta = GrausDecimais(TextoGraus(x));
        EXPECT_LE(volta, x + 1e-12);
        EXPECT_GT(volta, x - 1.0 / 3600 - 1e-12);
    }
}

TEST(Coordenadas, ErrosDeConversao) {
    for (const char* texto : {"2a°45'00\"", "20°  '00\"", "20°45'", ""}) {
        try {
            GrausDecimais(texto);
            FAIL() << texto;
        } catch (const EMorvendo& e) {
            EXPECT_NE(std::string(e.what()).find("não é um número válido"), std::string::npos);
        }
    }
    EXPECT_THROW(TextoGraus(-0.5), EMorvendo);
    EXPECT_THROW(TextoGraus(std::nan("")), EMorvendo);
}

// ---- Disposição dos arquivos ----

void PorReal(std::string& r, std::size_t pos, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i)
        r[pos + i] = static_cast<char>(bits >> (8 * i));
}

void PorTexto(std::string& r, std::size_t pos, const std::string& bytes1252) {
    r[pos] = static_cast<char>(bytes1252.size());
    r.replace(pos + 1, bytes1252.size(), bytes1252);
}

// Registro montado à mão a partir da tabela de deslocamentos, com lixo nos bytes livres.
std::string EstacaoAMao(const std::string& nome, double k, const std::string& autor,
                        const std::string& lat, const std::string& lon) {
    std::string r(152, '\x55');
    PorTexto(r, 0, nome);
    PorReal(r, 69, k);
    PorReal(r, 77, 0.25);
    PorReal(r, 85, 12.5);
    PorReal(r, 93, 0.75);
    PorTexto(r, 101, autor);
    PorTexto(r, 132, lat);
    PorTexto(r, 142, lon);
    return r;
}

std::string Grupos(const std::vector<std::pair<int, std::vector<std::string>>>& porEstado) {
    std::string f(1, '\x7F');
    for (int i = 0; i < NumeroEstados; ++i) {
        std::vector<std::string> registros;
        for (const auto& [e, r] : porEstado)
            if (e == i) registros = r;
        f += static_cast<char>(registros.size() & 0xFF);
        f += static_cast<char>(registros.size() >> 8);
        for (const auto& r : registros)
            f += r;
    }
    return f;
}

// Como GPS, mapas e pessoas escrevem coordenadas; sul e oeste positivos, norte e leste
// negativos.
TEST(Coordenadas, LerCoordenadaAceitaGrausMinutosSegundosEDecimais) {
    const struct {
        const char* Texto;
        bool Latitude;
        std::optional<double> Graus;
    } casos[] = {
        {"27°11'36\"", true, 27 + 11 / 60.0 + 36 / 3600.0},
        {"7°20'58\"", true, 7 + 20 / 60.0 + 58 / 3600.0},
        {"07°20'58\"", true, 7 + 20 / 60.0 + 58 / 3600.0},
        {" 7º 20′ 58″ S ", true, 7 + 20 / 60.0 + 58 / 3600.0},
        {"53°15'02\"W", false, 53 + 15 / 60.0 + 2 / 3600.0},
        {"53°15'02.5\" O", false, 53 + 15 / 60.0 + 2.5 / 3600.0},
        {"53°15'02", false, 53 + 15 / 60.0 + 2 / 3600.0},
        {"22°30'", true, 22.5},
        {"-22.5", true, 22.5},
        {"-47,3", false, 47.3},
        {"22,5 S", true, 22.5},
        {"47,3 O", false, 47.3},
        {"47.3w", false, 47.3},
        {"22.5", true, 22.5},
        {"22,5°", true, 22.5},
        {"2.8 N", true, -2.8},
        {"30 L", false, -30.0},
        // Recusados: sem símbolos entre as partes, minutos ou segundos de 60, letra do outro
        // eixo, sinal com letra, decimais fora da última parte, fora da faixa, texto solto.
        {"20 45 14", true, std::nullopt},
        {"20°75'14\"", true, std::nullopt},
        {"20°45'60\"", true, std::nullopt},
        {"22,5 O", true, std::nullopt},
        {"47,3 S", false, std::nullopt},
        {"-22,5 S", true, std::nullopt},
        {"20.5°30'", true, std::nullopt},
        {"95", true, std::nullopt},
        {"1.2.3", true, std::nullopt},
        {"", true, std::nullopt},
        {"abc", true, std::nullopt},
        {"20°45'14\"15", true, std::nullopt},
    };
    for (const auto& c : casos) {
        const auto v = LerCoordenada(c.Texto, c.Latitude);
        ASSERT_EQ(v.has_value(), c.Graus.has_value()) << c.Texto;
        if (v) {
            EXPECT_NEAR(*v, *c.Graus, 1e-12) << c.Texto;
        }
    }
    // O texto de volta guarda o segundo digitado (a truncagem não o leva ao anterior).
    EXPECT_EQ(TextoCoordenada(*LerCoordenada("7°20'58\"", true)), "07°20'58\"");
    EXPECT_EQ(TextoCoordenada(*LerCoordenada("-47,3", false)), "47°18'00\"");
}

TEST(ArquivoEstacoes, LeOsCamposNosDeslocamentosDoFormato) {
    TPastaTemporaria pasta;
    const auto a = EstacaoAMao("S\xE3o Jo\xE3o", 1234.5, "AUTOR-1",
                               "20\xB0"
                               "45'14\"",
                               "42\xB0"
                               "52'55\"");
    const auto b = EstacaoAMao("Zona", 99, "X",
                               "01\xB0"
                               "00'00\"",
                               "02\xB0"
                               "00'00\"");
    pasta.Gravar(NomeArquivoEstacoes, Grupos({{0, {a}}, {26, {b, a}}}));

    TBancoEstacoes bd(pasta.Caminho());
    bd.CarregarEstacoes();
    EXPECT_EQ(bd.Estacoes[0].size(), 1u);
    EXPECT_TRUE(bd.Estacoes[1].empty());
    ASSERT_EQ(bd.Estacoes[26].size(), 2u);
    const TEstacao& e = bd.Estacoes[26][1]; // ordem do arquivo
    EXPECT_EQ(e.Nome, "São João");
    EXPECT_EQ(e.K, 1234.5);
    EXPECT_EQ(e.A, 0.25);
    EXPECT_EQ(e.B, 12.5);
    EXPECT_EQ(e.C, 0.75);
    EXPECT_EQ(e.Autor, "AUTOR-1");
    EXPECT_EQ(e.Latitude, "20°45'14\"");
    EXPECT_EQ(e.Longitude, "42°52'55\"");
    EXPECT_EQ(bd.Estacoes[26][0].Nome, "Zona");

    // O gravador produz os mesmos bytes nos campos com significado.
    const auto gravado = RegistroEstacao(e);
    ASSERT_EQ(gravado.size(), TamanhoRegistroEstacao);
    for (const auto& [pos, n] : {std::pair{0, 9}, {69, 32}, {101, 8}, {132, 10}, {142, 10}})
        EXPECT_EQ(gravado.substr(pos, n), a.substr(pos, n)) << pos;
}

TEST(ArquivoLocalidades, CarregaSoOEstadoPedido) {
    auto loc = [](const std::string& nome) {
        std::string r(89, '\x55');
        PorTexto(r, 0, nome);
        PorTexto(r, 69,
                 "10\xB0"
                 "00'00\"");
        PorTexto(r, 79,
                 "40\xB0"
                 "30'00\"");
        return r;
    };
    TPastaTemporaria pasta;
    pasta.Gravar(
        NomeArquivoLocalidades,
        Grupos({{0, {loc("Acrel\xE2ndia")}}, {13, {loc("A"), loc("B")}}, {26, {loc("Palmas")}}}));
    TBancoEstacoes bd(pasta.Caminho() + "/");
    bd.CarregarLocalidades(26); // salta os 26 grupos anteriores
    ASSERT_EQ(bd.Localidades.size(), 1u);
    EXPECT_EQ(bd.Localidades[0].Nome, "Palmas");
    EXPECT_EQ(bd.Localidades[0].Longitude, "40°30'00\"");
    bd.CarregarLocalidades(0);
    ASSERT_EQ(bd.Localidades.size(), 1u);
    EXPECT_EQ(bd.Localidades[0].Nome, "Acrelândia");
    bd.CarregarLocalidades(5);
    EXPECT_TRUE(bd.Localidades.empty());
    EXPECT_THROW(bd.CarregarLocalidades(27), ENumeroEstado);
}

TEST(ArquivosDeDados, ArquivoAusente) {
    TPastaTemporaria pasta;
    TBancoEstacoes bd(pasta.Caminho());
    bd.Estacoes[3].push_back(TEstacao{"Manaus", 1, 0, 0, 1, "A", "", ""});
    bd.Localidades.push_back(TLocalidade{"X", "", ""});
    try {
        bd.CarregarEstacoes();
        FAIL();
    } catch (const EArquivoNaoExiste& e) {
        EXPECT_EQ(std::string(e.what()),
                  "O arquivo " + pasta.Caminho() + "/Estados_Tar21.bin não existe.");
    }
    EXPECT_EQ(bd.Estacoes[3].size(), 1u); // o banco guarda o que tinha
    EXPECT_THROW(bd.CarregarLocalidades(4), EArquivoNaoExiste);
    EXPECT_TRUE(bd.Localidades.empty());
}

// Todo prefixo de um arquivo válido é um arquivo truncado: erro com o nome, nunca leitura
// fora dos bytes (os sanitizadores vigiam) e nunca sucesso com dados a menos.
TEST(ArquivosDeDados, ArquivoTruncadoEmQualquerPontoDaErroComONome) {
    const auto est = EstacaoAMao("A", 1, "K",
                                 "10\xB0"
                                 "00'00\"",
                                 "40\xB0"
                                 "00'00\"");
    const std::string completo = Grupos({{0, {est, est}}, {12, {est}}, {26, {est}}});
    for (std::size_t n = 0; n < completo.size(); ++n) {
        try {
            LerArquivoEstacoes(std::string_view(completo).substr(0, n), "/dados/Estados_Tar21.bin");
            FAIL() << "prefixo de " << n << " bytes aceito";
        } catch (const EMorvendo& e) {
            EXPECT_NE(std::string(e.what()).find("/dados/Estados_Tar21.bin"), std::string::npos);
        }
    }
    EXPECT_NO_THROW(LerArquivoEstacoes(completo, "x"));

    std::string loc(89, '\0');
    PorTexto(loc, 0, "L");
    const std::string locs = Grupos({{3, {loc}}, {26, {loc, loc}}});
    for (std::size_t n = 0; n < locs.size(); ++n)
        EXPECT_THROW(LerLocalidadesDoEstado(std::string_view(locs).substr(0, n), 26, "loc"),
                     EMorvendo)
            << n;
    EXPECT_EQ(LerLocalidadesDoEstado(locs, 26, "loc").size(), 2u);
}

TEST(ArquivosDeDados, CampoCorrompidoDaErroComONome) {
    const auto est = EstacaoAMao("A", 1, "K",
                                 "10\xB0"
                                 "00'00\"",
                                 "40\xB0"
                                 "00'00\"");
    struct Caso {
        std::size_t Posicao;
        char Byte;
    };
    // Comprimentos além do campo e um K que não é número.
    for (const auto& c : {Caso{0, 69}, {101, 31}, {132, 10}, {142, 10}, {69 + 7, '\x7F'}}) {
        auto r = est;
        r[c.Posicao] = c.Byte;
        if (c.Posicao == 76) r[75] = '\xF0'; // expoente todo em 1: NaN
        try {
            LerArquivoEstacoes(Grupos({{8, {est, r}}}), "Estados_Tar21.bin");
            FAIL() << c.Posicao;
        } catch (const EMorvendo& e) {
            EXPECT_NE(std::string(e.what()).find("Estados_Tar21.bin"), std::string::npos);
            EXPECT_NE(std::string(e.what()).find("Goiás"), std::string::npos);
        }
    }
    std::string loc(89, '\0');
    for (const std::size_t pos : {0, 69, 79}) {
        auto r = loc;
        r[pos] = pos == 0 ? 69 : 10;
        EXPECT_THROW(LerLocalidadesDoEstado(Grupos({{2, {r}}}), 2, "L"), EMorvendo) << pos;
    }
}

TEST(ArquivosDeDados, GravadorRecusaTextoQueNaoCabe) {
    TEstacao e{std::string(68, 'a'), 1, 0, 0, 1, std::string(30, 'k'), "", ""};
    EXPECT_EQ(RegistroEstacao(e).size(), 152u);
    e.Nome += "é";
    EXPECT_THROW(RegistroEstacao(e), EMorvendo);
    e.Nome = "Estação ☂";
    EXPECT_THROW(RegistroEstacao(e), EMorvendo);
    TLocalidadesPorEstado muitas;
    muitas[5].resize(65536);
    EXPECT_THROW(ArquivoLocalidades(muitas), EMorvendo);
}

// ---- Interpolação ----

TEstacao Estacao(const std::string& nome, const std::string& lat, const std::string& lon, double k,
                 double a = 0.2, double b = 10, double c = 0.8) {
    return TEstacao{nome, k, a, b, c, "FONTE-" + nome, lat, lon};
}

TEST(Interpolacao, CoincidenciaDeTextosDevolveAEstacao) {
    TBancoEstacoes bd("");
    bd.Estacoes[12] = {Estacao("Viçosa", "20°45'14\"", "42°52'55\"", 1500.123456789)};
    bd.Estacoes[4] = {Estacao("Longe", "12°00'00\"", "40°00'00\"", 900)};
    const TEstacao r = bd.InterpolarParametros("20°45'14\"", "42°52'55\"");
    EXPECT_EQ(r.Nome, "Viçosa");
    EXPECT_EQ(r.Autor, "FONTE-Viçosa");
    EXPECT_EQ(r.K, 1500.123456789);
}

// A 30" (0,93 km) a equação é a da estação, com o nome dela; a 50" (1,5 km) já é a média,
// quase toda dela.
TEST(Interpolacao, AteUmKmDaEstacaoAEquacaoEhDela) {
    TBancoEstacoes bd("");
    bd.Estacoes[4] = {Estacao("B", "21°00'30\"", "45°00'00\"", 3000, 0.5, 30, 1.1)};
    bd.Estacoes[12] = {Estacao("A", "20°00'00\"", "45°00'00\"", 1000, 0.2, 10, 0.8),
                       Estacao("C", "20°00'30\"", "45°30'00\"", 200, 0.05, 2, 0.5)};
    bd.Estacoes[20] = {Estacao("D", "20°01'00\"", "45°00'00\"", 5000, 0.9, 40, 1.2)};
    const TConsultaPonto perto = bd.Consultar("20°00'30\"", "45°00'00\"", 100);
    EXPECT_FALSE(perto.Interpolada);
    EXPECT_EQ(perto.Resultado.Nome, "A");
    EXPECT_EQ(perto.Resultado.Autor, "FONTE-A");
    EXPECT_EQ(perto.Resultado.K, 1000);
    ASSERT_EQ(perto.Usadas.size(), 1u);
    EXPECT_NEAR(perto.Usadas[0].DistanciaKm, 6371 * (30.0 / 3600) * M_PI / 180, 1e-9);
    // D, de outro estado, está à mesma distância do outro lado: outra equação para o mesmo
    // lugar (no empate vale a primeira da lista).
    ASSERT_EQ(perto.Vizinhas.size(), 1u);
    EXPECT_EQ(perto.Vizinhas[0].Nome, "D");
    EXPECT_EQ(perto.Vizinhas[0].Estado, 20);

    const TConsultaPonto longe = bd.Consultar("19°59'10\"", "45°00'00\"", 100);
    EXPECT_TRUE(longe.Interpolada);
    EXPECT_EQ(longe.Resultado.Nome, "");
    EXPECT_EQ(longe.Resultado.Autor, "Interpolação");
    EXPECT_EQ(longe.Resultado.Latitude, "19°59'10\"");
    EXPECT_NEAR(longe.Resultado.K, 1000, 1000 * 0.1);
    EXPECT_EQ(longe.Usadas.front().Nome, "A"); // do maior peso ao menor
}

TEST(Interpolacao, PesosPeloInversoDaQuintaPotenciaDaDistanciaNaEsfera) {
    TBancoEstacoes bd("");
    // Sobre o mesmo meridiano, 1° e 2°: pesos 1 e 1/32.
    bd.Estacoes[15] = {Estacao("Perto", "24°00'00\"", "50°00'00\"", 1000, 0.1, 10, 0.7)};
    bd.Estacoes[20] = {Estacao("Longe", "27°00'00\"", "50°00'00\"", 2000, 0.3, 20, 0.9),
                       Estacao("ForaDoRaio", "30°00'00\"", "50°00'00\"", 99999)};
    const TConsultaPonto c = bd.Consultar("25°00'00\"", "50°00'00\"xyz", 300);
    const double w = 1.0 / 32;
    const TEstacao& r = c.Resultado;
    EXPECT_NEAR(r.K, (1000 + w * 2000) / (1 + w), 1e-9);
    EXPECT_NEAR(r.A, (0.1 + w * 0.3) / (1 + w), 1e-15);
    EXPECT_NEAR(r.B, (10 + w * 20) / (1 + w), 1e-12);
    EXPECT_NEAR(r.C, (0.7 + w * 0.9) / (1 + w), 1e-15);
    EXPECT_EQ(r.Longitude, "50°00'00\""); // textos cortados em 9 caracteres
    ASSERT_EQ(c.Usadas.size(), 2u);
    EXPECT_EQ(c.Usadas[0].Nome, "Perto");
    EXPECT_NEAR(c.Usadas[0].DistanciaKm, 111.195, 1e-3);
    EXPECT_NEAR(c.Usadas[0].Peso, 1 / (1 + w), 1e-12);
    EXPECT_NEAR(c.Usadas[1].DistanciaKm, 222.390, 1e-3);
    EXPECT_NEAR(c.Usadas[1].Peso, w / (1 + w), 1e-12);
    EXPECT_EQ(TextoOrigemConsulta(c, ','),
              "Interpolação pelo inverso da quinta potência da distância, com as 2 estações a "
              "menos de 300 km do ponto:\nPerto (PR), a 111,2 km, peso 97,0 %;\n"
              "Longe (RS), a 222,4 km, peso 3,0 %.");
    // O raio do programa (100 km) deixa as duas de fora.
    EXPECT_THROW(bd.InterpolarParametros("25°00'00\"", "50°00'00\""), ESemEstacoesNoRaio);
}

TEST(Interpolacao, DistanciaZeroComTextosDiferentes) {
    TBancoEstacoes bd("");
    bd.Estacoes[4] = {Estacao("Zero", "20°45'00\"", "42°00'00\"", 700)};
    bd.Estacoes[8] = {Estacao("Outra", "16°00'00\"", "49°00'00\"", 300)};
    // Só o último caractere difere: a estação vale como coincidência exata.
    const TEstacao r = bd.InterpolarParametros("20°45'00'", "42°00'00'");
    EXPECT_EQ(r.Nome, "Zero");
    EXPECT_EQ(r.K, 700);
    // Uma coincidência de textos adiante na ordem tem precedência.
    bd.Estacoes[12] = {Estacao("Exata", "20°45'00'", "42°00'00'", 800)};
    EXPECT_EQ(bd.InterpolarParametros("20°45'00'", "42°00'00'").Nome, "Exata");
}

// Sem estação no raio não há média: a mensagem nomeia as três mais próximas, com a distância.
TEST(Interpolacao, SemEstacaoNoRaioNomeiaAsTresMaisProximas) {
    TBancoEstacoes bd("");
    EXPECT_THROW(
        {
            try {
                bd.InterpolarParametros("20°00'00\"", "44°00'00\"");
            } catch (const EMorvendo& e) {
                EXPECT_STREQ(e.what(),
                             "Não há estações com parâmetros conhecidos para a interpolação.");
                throw;
            }
        },
        EMorvendo);
    // Ao norte do ponto, sobre o meridiano: 2°, 3°, 4° e 5° (222, 334, 445 e 556 km).
    bd.Estacoes[24] = {Estacao("Dois", "18°00'00\"", "44°00'00\"", 1),
                       Estacao("Cinco", "15°00'00\"", "44°00'00\"", 1)};
    bd.Estacoes[12] = {Estacao("Quatro", "16°00'00\"", "44°00'00\"", 1),
                       Estacao("Três", "17°00'00\"", "44°00'00\"", 1)};
    try {
        bd.Consultar("20°00'00\"", "44°00'00\"", 200);
        FAIL();
    } catch (const ESemEstacoesNoRaio& e) {
        ASSERT_EQ(e.Proximas.size(), 3u);
        EXPECT_EQ(e.Proximas[0].Nome, "Dois");
        EXPECT_EQ(e.Proximas[1].Nome, "Três");
        EXPECT_EQ(e.Proximas[2].Nome, "Quatro");
        EXPECT_EQ(e.RaioKm, 200);
        EXPECT_EQ(std::string(e.what()),
                  "Não há estações a menos de 200 km do ponto; a equação não foi interpolada. As "
                  "mais próximas são Dois (SP), a 222,4 km; Três (MG), a 333,6 km e Quatro (MG), "
                  "a 444,8 km. Escolha uma estação, use uma equação sua do lugar (Minhas "
                  "estações) ou aumente o raio de interpolação em Configurações (até 300 km), "
                  "sabendo que a chuva de uma estação distante pode não ser a do lugar");
    }
    // Com o raio maior, a mesma consulta interpola.
    EXPECT_TRUE(bd.Consultar("20°00'00\"", "44°00'00\"", 250).Interpolada);
    EXPECT_THROW(bd.InterpolarParametros("2x°00'00\"", "44°00'00\""), EMorvendo);
}

TEST(Interpolacao, DistanciaNaEsfera) {
    // Um grau de meridiano; um grau de paralelo encolhe com o cosseno da latitude.
    EXPECT_NEAR(DistanciaKm(0, 50, 1, 50), 6371 * M_PI / 180, 1e-9);
    EXPECT_NEAR(DistanciaKm(60, 50, 60, 51), 55.597, 1e-3);
    EXPECT_EQ(DistanciaKm(27.19, 53.25, 27.19, 53.25), 0);
    // São Paulo a Porto Alegre, cerca de 850 km.
    EXPECT_NEAR(DistanciaKm(23.5505, 46.6333, 30.0346, 51.2177), 852, 5);
}

TEST(Raio, FaixaPadraoEConfiguracoes) {
    EXPECT_EQ(RaioInterpolacaoKm(), 100);
    for (const double ruim : {9.99, 300.01, -100.0, std::nan("")})
        EXPECT_THROW(ConferirRaioInterpolacao(ruim), EMorvendo) << ruim;
    try {
        ConferirRaioInterpolacao(5);
    } catch (const EMorvendo& e) {
        EXPECT_STREQ(e.what(), "O raio de interpolação da chuva deve estar entre 10 e 300 km.");
    }
    TArquivoIni ini;
    EXPECT_EQ(LerRaioInterpolacao(ini), 100);
    // O padrão nunca mudado não vai ao arquivo; depois de mudado, o padrão volta a ser gravado.
    GravarRaioInterpolacao(ini, RaioInterpolacaoPadraoKm);
    EXPECT_FALSE(ini.ExisteSecao("CONSULTA_IDF"));
    GravarRaioInterpolacao(ini, 250);
    EXPECT_EQ(LerRaioInterpolacao(ini), 250);
    for (const char* gravado : {"5000", "abc", "9", "150,5"}) {
        ini.EscreverTexto("CONSULTA_IDF", "RaioInterpolacao", gravado);
        EXPECT_EQ(LerRaioInterpolacao(ini), std::string(gravado) == "150,5" ? 150.5 : 100)
            << gravado;
    }
    DefinirRaioInterpolacaoKm(10);
    EXPECT_EQ(RaioInterpolacaoKm(), 10);
    EXPECT_THROW(DefinirRaioInterpolacaoKm(301), EMorvendo);
    EXPECT_EQ(RaioInterpolacaoKm(), 10);
    DefinirRaioInterpolacaoKm(RaioInterpolacaoPadraoKm);
}

// ---- Mapas ----

TEST(Molduras, BordasDoQuadroEIdaEVolta) {
    for (int i = 0; i < NumeroEstados; ++i) {
        const TMolduraMapa* m = MolduraEstado(i);
        const bool temMapa =
            i == 4 || i == 7 || i == 12 || i == 15 || i == 18 || i == 24 || i == 26;
        ASSERT_EQ(m != nullptr, temMapa) << i;
        if (!m) continue;
        // Borda oeste (LonMax) à esquerda, borda norte (LatMin) no alto.
        const TPixel canto = PontoParaPixel(*m, m->LatMin, m->LonMax);
        EXPECT_NEAR(canto.X, m->XMapa, 1e-9);
        EXPECT_NEAR(canto.Y, m->YMapa, 1e-9);
        const TPixel oposto = PontoParaPixel(*m, m->LatMax, m->LonMin);
        EXPECT_NEAR(oposto.X, m->XMapa + m->LarguraMapa, 1e-9);
        EXPECT_NEAR(oposto.Y, m->YMapa + m->AlturaMapa, 1e-9);
        double lat, lon;
        PixelParaPonto(*m, 123, 321, lat, lon);
        const TPixel volta = PontoParaPixel(*m, lat, lon);
        EXPECT_NEAR(volta.X, 123, 1e-9);
        EXPECT_NEAR(volta.Y, 321, 1e-9);
    }
    const TMolduraMapa& pr = *MolduraEstado(15);
    EXPECT_EQ(pr.XMapa, 27);
    EXPECT_EQ(pr.AlturaMapa, 267);
}

TEST(CoresDoMapaDoBrasil, VinteENoveCoresDistintasETresEstadosPorCor) {
    std::set<std::tuple<int, int, int>> cores{{255, 255, 255}, {0, 0, 0}};
    for (int i = 0; i < NumeroEstados; ++i) {
        const TCor c = CorEstadoBrasil(i);
        cores.insert({c.R, c.G, c.B});
        EXPECT_EQ(EstadoPelaCor(c), EstadoSemDados(i) ? -1 : i) << i;
    }
    EXPECT_EQ(cores.size(), 29u);
    EXPECT_EQ(EstadoPelaCor({255, 255, 153}), 4);
    EXPECT_EQ(EstadoPelaCor({102, 102, 0}), -1); // Distrito Federal, sem dados
    EXPECT_EQ(EstadoPelaCor(CorBordaBrasil), -1);
    EXPECT_EQ(EstadoPelaCor({1, 2, 3}), -1);
}

// ---- Ordem alfabética ----

TEST(OrdemAlfabetica, AcentosECaixaSoDesempatam) {
    const std::vector<std::pair<const char*, const char*>> antes = {
        {"Água Boa", "Aguaí"},          // espaço antes de letra
        {"Abaeté", "Abaetetuba"},       // prefixo
        {"Cassia", "Cássia"},           // sem acento primeiro
        {"Cássia", "Cassilândia"},      // o acento não pesa antes das letras
        {"São Paulo", "Sapucaí"},       // ã como a
        {"Cabo", "Çaí"},                // ç como c
        {"de Souza", "De Souza"},       // minúscula primeiro
        {"Olho d'Água", "Olho d’Água"}, // apóstrofos iguais no primeiro nível
        {"Rio 2", "Rio A"},             // algarismos antes de letras
        {"Êxito", "Exu"},
    };
    for (const auto& [a, b] : antes) {
        EXPECT_LT(CompararNomes(a, b), 0) << a << " < " << b;
        EXPECT_GT(CompararNomes(b, a), 0) << b << " > " << a;
    }
    EXPECT_EQ(CompararNomes("Lages", "Lages"), 0);
}

} // namespace
