#include "idf/OrdemAlfabetica.h"
#include "idf/UnBD.h"

#include "AuxiliaresIdf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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

    TBDPrecipitacao bd(pasta.Caminho());
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
    TBDPrecipitacao bd(pasta.Caminho() + "/");
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
    TBDPrecipitacao bd(pasta.Caminho());
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
    TBDPrecipitacao bd("");
    bd.Estacoes[12] = {Estacao("Viçosa", "20°45'14\"", "42°52'55\"", 1500.123456789)};
    bd.Estacoes[4] = {Estacao("Longe", "12°00'00\"", "40°00'00\"", 900)};
    const TEstacao r = bd.InterpolarParametros("20°45'14\"", "42°52'55\"");
    EXPECT_EQ(r.Nome, "Viçosa");
    EXPECT_EQ(r.Autor, "FONTE-Viçosa");
    EXPECT_EQ(r.K, 1500.123456789);
}

TEST(Interpolacao, PontoA30SegundosDeUmaEstacaoDaOsParametrosDela) {
    TBDPrecipitacao bd("");
    bd.Estacoes[4] = {Estacao("B", "21°00'30\"", "45°00'00\"", 3000, 0.5, 30, 1.1)};
    bd.Estacoes[12] = {Estacao("A", "20°00'00\"", "45°00'00\"", 1000, 0.2, 10, 0.8),
                       Estacao("C", "20°00'30\"", "46°00'00\"", 200, 0.05, 2, 0.5)};
    bd.Estacoes[26] = {Estacao("D", "19°00'30\"", "45°00'00\"", 5000, 0.9, 40, 1.2)};
    const TEstacao r = bd.InterpolarParametros("20°00'30\"", "45°00'00\"");
    EXPECT_EQ(r.Nome, "");
    EXPECT_EQ(r.Autor, "Interpolação");
    EXPECT_EQ(r.Latitude, "20°00'30\"");
    EXPECT_NEAR(r.K, 1000, 1000 * 5e-7);
    EXPECT_NEAR(r.A, 0.2, 0.2 * 5e-7);
    EXPECT_NEAR(r.B, 10, 10 * 5e-7);
    EXPECT_NEAR(r.C, 0.8, 0.8 * 5e-7);
}

TEST(Interpolacao, PesosPeloInversoDaQuintaPotencia) {
    TBDPrecipitacao bd("");
    // Distâncias 1° e 2°: pesos 1 e 1/32.
    bd.Estacoes[15] = {Estacao("Perto", "24°00'00\"", "50°00'00\"", 1000, 0.1, 10, 0.7),
                       Estacao("Longe", "27°00'00\"", "50°00'00\"", 2000, 0.3, 20, 0.9)};
    bd.Estacoes[20] = {Estacao("RS", "25°00'00\"", "50°00'00\"", 99999)}; // fora da interpolação
    const TEstacao r = bd.InterpolarParametros("25°00'00\"", "50°00'00\"xyz");
    const double w = 1.0 / 32;
    EXPECT_NEAR(r.K, (1000 + w * 2000) / (1 + w), 1e-9);
    EXPECT_NEAR(r.A, (0.1 + w * 0.3) / (1 + w), 1e-15);
    EXPECT_NEAR(r.B, (10 + w * 20) / (1 + w), 1e-12);
    EXPECT_NEAR(r.C, (0.7 + w * 0.9) / (1 + w), 1e-15);
    EXPECT_EQ(r.Longitude, "50°00'00\""); // textos cortados em 9 caracteres
}

TEST(Interpolacao, DistanciaZeroComTextosDiferentes) {
    TBDPrecipitacao bd("");
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

TEST(Interpolacao, SemEstacaoCandidataAMensagemClara) {
    TBDPrecipitacao bd("");
    // Estações só fora dos oito estados, inclusive no próprio ponto.
    bd.Estacoes[20] = {Estacao("Iraí", "27°11'36\"", "53°15'02\"", 1086.604)};
    bd.Estacoes[13] = {Estacao("Abaetetuba", "01°43'05\"", "48°52'57\"", 1197.7)};
    for (const auto& [lat, lon] :
         {std::pair{"27°11'36\"", "53°15'02\""}, {"20°00'00\"", "44°00'00\""}}) {
        try {
            bd.InterpolarParametros(lat, lon);
            FAIL() << lat;
        } catch (const EMorvendo& e) {
            EXPECT_STREQ(e.what(),
                         "Não há estações com parâmetros conhecidos para a interpolação.");
        }
    }
    EXPECT_THROW(bd.InterpolarParametros("2x°00'00\"", "44°00'00\""), EMorvendo);
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
