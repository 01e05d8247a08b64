#include "idf/ConsultaIdf.h"
#include "idf/UnBD.h"

#include "AuxiliaresIdf.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

namespace {

struct Resultado {
    int Status;
    std::string Saida, Erros;
};

Resultado Consultar(const std::string& lat, const std::string& lon, const std::string& pasta) {
    std::ostringstream saida, erros;
    const int status = ConsultarIdf(lat, lon, pasta, "", saida, erros);
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
    auto r = Consultar("20°45'14\"", "42°52'55\"", Pasta.Caminho());
    EXPECT_EQ(r.Status, 0) << r.Erros;
    EXPECT_EQ(r.Saida, "Estação: Viçosa\nFonte: FONTE-MG\nLatitude: 20°45'14\"\n"
                       "Longitude: 42°52'55\"\nK: 1500.25\na: 0.2\nb: 10\nc: 0.8\n");
    r = Consultar("20°45'44\"", "42°52'55\"", Pasta.Caminho());
    EXPECT_EQ(r.Status, 0) << r.Erros;
    EXPECT_NE(r.Saida.find("Origem: interpolação"), std::string::npos);
    const auto k = r.Saida.find("K: ");
    ASSERT_NE(k, std::string::npos);
    EXPECT_NEAR(std::stod(r.Saida.substr(k + 3)), 1500.25, 1e-6) << r.Saida; // 30" de Viçosa
}

TEST_F(ConsultaIdf, FalhasDaoStatusEMensagem) {
    // Sem estações candidatas (só RS e outro estado do sul sem dados): status 1.
    TEstacoesPorEstado soSul;
    soSul[20] = {TEstacao{"Iraí", 1086.604, 0.184, 9.886, 0.728, "A", "27°11'36\"", "53°15'02\""}};
    TPastaTemporaria sul;
    sul.Gravar(NomeArquivoEstacoes, ArquivoEstacoes(soSul));
    auto r = Consultar("27°11'36\"", "53°15'02\"", sul.Caminho());
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Erros, "Não há estações com parâmetros conhecidos para a interpolação.\n");
    EXPECT_TRUE(r.Saida.empty());

    for (const auto& [lat, lon] : {std::pair{"20°45'14", "42°52'55\""},
                                   {"20 45 14", "42°52'55\""},
                                   {"20°75'14\"", "42°52'55\""},
                                   {"20°45'14\"", "-42°52'5\""}}) {
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

    // Fora do retângulo do território: recusado antes de ler o banco.
    for (const auto& [lat, lon] : {std::pair{"40°00'00\"", "50°00'00\""},
                                   {"20°00'00\"", "10°00'00\""},
                                   {"20°00'00\"", "80°00'00\""}}) {
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
