#include "idf/BancoEstacoes.h"
#include "idf/ConsultaIdf.h"

#include "AuxiliaresIdf.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

namespace {

struct Resultado {
    int Status;
    std::string Saida, Erros;
};

Resultado Consultar(const std::string& lat, const std::string& lon, const std::string& pasta,
                    double raio = 100) {
    std::ostringstream saida, erros;
    const int status = ConsultarIdf(lat, lon, pasta, "", raio, saida, erros);
    return {status, saida.str(), erros.str()};
}

class ConsultaIdf : public ::testing::Test {
protected:
    void SetUp() override {
        TEstacoesPorEstado e;
        e[12] = {TEstacao{"Viçosa", 1500.25, 0.2, 10, 0.8, "FONTE-MG", "20°45'14\"", "42°52'55\""},
                 TEstacao{"Longe", 3000, 0.5, 20, 1, "FONTE-MG", "16°00'00\"", "46°00'00\""}};
        e[20] = {
            TEstacao{"Iraí", 1086.604, 0.184, 9.886, 0.728, "ARBOIT", "27°11'36\"", "53°15'02\""}};
        Pasta.Gravar(NomeArquivoEstacoes, ArquivoEstacoes(e));
    }
    TPastaTemporaria Pasta;
};

TEST_F(ConsultaIdf, EstacaoExataOuInterpolacao) {
    // Os mesmos textos, graus decimais com sinal ou com hemisfério: a estação.
    for (const auto& [lat, lon] : {std::pair{"20°45'14\"", "42°52'55\""},
                                   {"-20.75389", "-42.88194"},
                                   {"20,75389 S", "42,88194 O"}}) {
        const auto r = Consultar(lat, lon, Pasta.Caminho());
        EXPECT_EQ(r.Status, 0) << r.Erros;
        EXPECT_EQ(
            r.Saida.substr(r.Saida.find("\nLatitude")),
            "\nLatitude: 20°45'14\"\nLongitude: 42°52'55\"\nK: 1500.25\na: 0.2\nb: 10\nc: 0.8\n")
            << lat;
        EXPECT_EQ(r.Saida.rfind("Estação: Viçosa\nFonte: FONTE-MG\nDistancia_km: 0.0", 0), 0u)
            << r.Saida;
    }
    // A 30" (0,93 km): ainda a estação, com a distância.
    auto r = Consultar("20°45'44\"", "42°52'55\"", Pasta.Caminho());
    EXPECT_EQ(r.Status, 0) << r.Erros;
    EXPECT_NE(r.Saida.find("Estação: Viçosa\nFonte: FONTE-MG\nDistancia_km: 0.927\n"),
              std::string::npos)
        << r.Saida;
    EXPECT_NE(r.Saida.find("K: 1500.25\n"), std::string::npos);
    // A 3' (5,6 km) de Viçosa: a média das estações do raio, com cada uma listada; Longe, a
    // 623 km, fica de fora.
    r = Consultar("20°48'14\"", "42°52'55\"", Pasta.Caminho(), 300);
    EXPECT_EQ(r.Status, 0) << r.Erros;
    EXPECT_EQ(r.Saida.rfind("Origem: interpolação pelo inverso da quinta potência da "
                            "distância\nRaio_km: 300\nEstacao: Viçosa (MG); distancia_km: 5.560; "
                            "peso: 100.00 %\nLatitude: 20°48'14\"",
                            0),
              0u)
        << r.Saida;
}

TEST_F(ConsultaIdf, FalhasDaoStatusEMensagem) {
    // Nenhuma estação no raio: status 1, e a mensagem nomeia as mais próximas.
    auto r = Consultar("27°11'36\"", "50°15'02\"", Pasta.Caminho());
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Erros.rfind("Não há estações a menos de 100 km do ponto; a equação não foi "
                            "interpolada. As mais próximas são Iraí (RS), a 296,7 km",
                            0),
              0u)
        << r.Erros;
    EXPECT_NE(r.Erros.find("--raio KM"), std::string::npos);
    EXPECT_TRUE(r.Saida.empty());
    r = Consultar("27°11'36\"", "50°15'02\"", Pasta.Caminho(), 300);
    EXPECT_EQ(r.Status, 0) << r.Erros;
    EXPECT_NE(r.Saida.find("Estacao: Iraí (RS); distancia_km: 296.706; peso: 100.00 %"),
              std::string::npos);

    for (const double raio : {9.9, 300.5}) {
        r = Consultar("20°45'14\"", "42°52'55\"", Pasta.Caminho(), raio);
        EXPECT_EQ(r.Status, 2);
        EXPECT_EQ(r.Erros, "O raio de interpolação da chuva deve estar entre 10 e 300 km.\n");
    }

    for (const auto& [lat, lon] : {std::pair{"20 45 14", "42°52'55\""},
                                   {"20°75'14\"", "42°52'55\""},
                                   {"20°45'14\"", "42°52'5x\""},
                                   {"22,5 W", "42,5 W"}}) {
        r = Consultar(lat, lon, Pasta.Caminho());
        EXPECT_EQ(r.Status, 2) << lat << " " << lon;
        EXPECT_NE(r.Erros.find("Coordenadas inválidas"), std::string::npos);
    }

    TPastaTemporaria vazia;
    r = Consultar("20°45'14\"", "42°52'55\"", vazia.Caminho());
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Erros.find("não existe"), std::string::npos);
    vazia.Gravar(NomeArquivoEstacoes, std::string("\0\5", 2));
    r = Consultar("20°45'14\"", "42°52'55\"", vazia.Caminho());
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Erros.find("truncado"), std::string::npos);

    // Fora do retângulo do território, ao norte do equador inclusive: recusado antes de ler
    // o banco.
    for (const auto& [lat, lon] : {std::pair{"40°00'00\"", "50°00'00\""},
                                   {"20°00'00\"", "10°00'00\""},
                                   {"20°00'00\"", "80°00'00\""},
                                   {"2.5 N", "60 O"}}) {
        r = Consultar(lat, lon, vazia.Caminho());
        EXPECT_EQ(r.Status, 2) << lat << " " << lon;
        EXPECT_NE(r.Erros.find("fora do território brasileiro"), std::string::npos) << r.Erros;
    }

    // Uma estação com parâmetro não positivo não vira resultado.
    TEstacoesPorEstado ruim;
    ruim[12] = {TEstacao{"Zero", 1500, 0, 10, 0.8, "F", "20°45'14\"", "42°52'55\""}};
    TPastaTemporaria comZero;
    comZero.Gravar(NomeArquivoEstacoes, ArquivoEstacoes(ruim));
    r = Consultar("20°45'14\"", "42°52'55\"", comZero.Caminho());
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Erros.find("não são válidos"), std::string::npos) << r.Erros;
    EXPECT_TRUE(r.Saida.empty());
}

// Uma pasta, uma FIFO ou um dispositivo sem fim no lugar do banco: mensagem, sem travar nem
// esgotar a memória.
TEST(ConsultaIdfBanco, QueNaoEhArquivoComumEhRecusado) {
    TPastaTemporaria pasta;
    const std::string banco = pasta.Arquivo(NomeArquivoEstacoes);
    auto tentar = [&] { return Consultar("20°45'14\"", "42°52'55\"", pasta.Caminho()); };

    std::filesystem::create_directory(banco);
    auto r = tentar();
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Erros.find("não é um arquivo de dados válido"), std::string::npos) << r.Erros;
    std::filesystem::remove(banco);

    ASSERT_EQ(mkfifo(banco.c_str(), 0644), 0);
    r = tentar();
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Erros.find("não é um arquivo de dados válido"), std::string::npos) << r.Erros;
    std::filesystem::remove(banco);

    std::filesystem::create_symlink("/dev/zero", banco);
    r = tentar();
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Erros.find("não é um arquivo de dados válido"), std::string::npos) << r.Erros;
}

} // namespace
