// Os arquivos que a compilação gera em "Arquivos Comuns", conferidos com as fontes em
// data/fontes por um leitor independente do carregador do banco.
#include "comum/LeitorCsv.h"
#include "comum/Win1252.h"
#include "idf/BancoEstacoes.h"
#include "idf/OrdemAlfabetica.h"
#include "idf/ReferenciasIdf.h"

#include "AuxiliaresIdf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <queue>
#include <set>

namespace {

const std::string Comuns = MORVENDO_PASTA_COMUNS;
const std::string Fontes = MORVENDO_FONTES_IDF;

// ---- Leitor independente ----

struct TRegistro {
    std::string Nome, Autor, Latitude, Longitude; // UTF-8
    double K = 0, A = 0, B = 0, C = 0;
};

std::uint16_t U16(const std::string& b, std::size_t p) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[p]) |
                                      static_cast<unsigned char>(b[p + 1]) << 8);
}

double F64(const std::string& b, std::size_t p) {
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i)
        u = u << 8 | static_cast<unsigned char>(b[p + i]);
    double d;
    std::memcpy(&d, &u, 8);
    return d;
}

std::string Texto(const std::string& b, std::size_t p, std::size_t maximo) {
    const std::size_t n = static_cast<unsigned char>(b[p]);
    EXPECT_LE(n, maximo) << "campo em " << p;
    return win1252::ParaUtf8(b.substr(p + 1, std::min(n, maximo)));
}

// Grupos de registros de 152 (estações) ou 89 bytes (localidades).
std::vector<std::vector<TRegistro>> LerIndependente(const std::string& caminho,
                                                    std::size_t tamanho) {
    const std::string b = LerBytes(caminho);
    std::vector<std::vector<TRegistro>> grupos(27);
    std::size_t p = 1;
    for (int e = 0; e < 27; ++e) {
        if (p + 2 > b.size()) {
            ADD_FAILURE() << caminho << " acaba no grupo " << e;
            return grupos;
        }
        const std::size_t n = U16(b, p);
        p += 2;
        if (p + n * tamanho > b.size()) {
            ADD_FAILURE() << caminho << " acaba dentro do grupo " << e;
            return grupos;
        }
        for (std::size_t k = 0; k < n; ++k, p += tamanho) {
            TRegistro r;
            r.Nome = Texto(b, p, 68);
            if (tamanho == 152) {
                r.K = F64(b, p + 69);
                r.A = F64(b, p + 77);
                r.B = F64(b, p + 85);
                r.C = F64(b, p + 93);
                r.Autor = Texto(b, p + 101, 30);
                r.Latitude = Texto(b, p + 132, 9);
                r.Longitude = Texto(b, p + 142, 9);
            } else {
                r.Latitude = Texto(b, p + 69, 9);
                r.Longitude = Texto(b, p + 79, 9);
            }
            grupos[e].push_back(r);
        }
    }
    EXPECT_EQ(p, b.size()) << caminho << ": bytes sobrando depois dos 27 grupos";
    return grupos;
}

double Num(const std::string& s) {
    return std::strtod(s.c_str(), nullptr);
}

constexpr double UmSegundo = 1.0 / 3600 + 1e-9;

void ConferirOrdem(const std::vector<TRegistro>& grupo, int estado) {
    for (std::size_t k = 1; k < grupo.size(); ++k)
        EXPECT_LE(CompararNomes(grupo[k - 1].Nome, grupo[k].Nome), 0)
            << CodigoEstado(estado) << ": " << grupo[k - 1].Nome << " antes de " << grupo[k].Nome;
}

TEST(DadosReais, EstacoesConferemComAFonte) {
    const auto grupos = LerIndependente(Comuns + "/Estados_Tar21.bin", 152);
    const TTabelaCsv csv = LerCsv(Fontes + "/estacoes.csv");
    std::size_t total = 0;
    for (int e = 0; e < 27; ++e) {
        ConferirOrdem(grupos[e], e);
        total += grupos[e].size();
    }
    ASSERT_EQ(total, csv.Registros.size());
    for (const auto& linha : csv.Registros) {
        const auto campo = [&](const char* c) { return linha.Campos.at(csv.Coluna(c)); };
        const int estado = IndiceEstadoPorCodigo(campo("uf"));
        ASSERT_GE(estado, 0);
        const TRegistro* achado = nullptr;
        for (const auto& r : grupos[estado])
            if (r.Nome == campo("estacao")) achado = &r;
        ASSERT_NE(achado, nullptr) << campo("estacao");
        EXPECT_EQ(achado->K, Num(campo("K")));
        EXPECT_EQ(achado->A, Num(campo("a")));
        EXPECT_EQ(achado->B, Num(campo("b")));
        EXPECT_EQ(achado->C, Num(campo("c")));
        EXPECT_EQ(achado->Autor, campo("fonte"));
        EXPECT_NEAR(GrausDecimais(achado->Latitude), Num(campo("latitude")), UmSegundo);
        EXPECT_NEAR(GrausDecimais(achado->Longitude), Num(campo("longitude")), UmSegundo);
        EXPECT_LE(GrausDecimais(achado->Latitude), Num(campo("latitude")) + 1e-8); // truncado
    }
}

TEST(DadosReais, LocalidadesConferemComAFonte) {
    const auto grupos = LerIndependente(Comuns + "/Localidades_Tar21.bin", 89);
    const TTabelaCsv csv = LerCsv(Fontes + "/localidades.csv");
    // (estado, nome) -> coordenadas da fonte ainda não encontradas.
    std::map<std::pair<int, std::string>, std::vector<std::pair<double, double>>> fonte;
    for (const auto& l : csv.Registros)
        fonte[{IndiceEstadoPorCodigo(l.Campos[0]), l.Campos[1]}].push_back(
            {std::fabs(Num(l.Campos[2])), -Num(l.Campos[3])});
    std::size_t total = 0;
    for (int e = 0; e < 27; ++e) {
        ConferirOrdem(grupos[e], e);
        EXPECT_FALSE(grupos[e].empty()) << CodigoEstado(e);
        for (const auto& r : grupos[e]) {
            auto& candidatos = fonte[{e, r.Nome}];
            const double lat = GrausDecimais(r.Latitude), lon = GrausDecimais(r.Longitude);
            const auto it = std::find_if(candidatos.begin(), candidatos.end(), [&](const auto& c) {
                return std::fabs(c.first - lat) <= UmSegundo &&
                       std::fabs(c.second - lon) <= UmSegundo;
            });
            ASSERT_NE(it, candidatos.end()) << CodigoEstado(e) << " " << r.Nome;
            candidatos.erase(it);
            ++total;
        }
    }
    EXPECT_EQ(total, csv.Registros.size());
    // O carregador do banco vê o mesmo que o leitor independente.
    TBancoEstacoes bd(Comuns);
    bd.CarregarLocalidades(26);
    ASSERT_EQ(bd.Localidades.size(), grupos[26].size());
    EXPECT_EQ(bd.Localidades.back().Nome, grupos[26].back().Nome);
}

// A tabela compilada no programa é a de data/fontes/fontes.csv (o gerador não foi esquecido)
// e tem a referência de toda estação.
TEST(DadosReais, ReferenciasConferemComAFonteECobremAsEstacoes) {
    const TTabelaCsv csv = LerCsv(Fontes + "/fontes.csv");
    const auto& tabela = ReferenciasIdf();
    ASSERT_EQ(tabela.size(), csv.Registros.size())
        << "rode o alvo atualizar_referencias depois de mudar fontes.csv";
    for (std::size_t i = 0; i < tabela.size(); ++i) {
        const auto campo = [&](const char* c) { return csv.Registros[i].Campos.at(csv.Coluna(c)); };
        EXPECT_EQ(tabela[i].Chave, campo("fonte"));
        EXPECT_EQ(tabela[i].Autores, campo("autores"));
        EXPECT_EQ(tabela[i].Titulo, campo("titulo"));
        EXPECT_EQ(tabela[i].Publicacao.rfind(campo("citacao"), 0), 0u);
        // As notas de leitura da coluna publicacao não chegam à tela nem ao relatório.
        for (const char* nota : {"lido", "lida", "lidos", "commit", "legível", "cópia", "GitHub"})
            EXPECT_EQ(tabela[i].Publicacao.find(nota), std::string::npos)
                << tabela[i].Chave << ": " << nota;
        EXPECT_EQ(tabela[i].Endereco, campo("url"));
    }
    const auto grupos = LerIndependente(Comuns + "/Estados_Tar21.bin", 152);
    for (const auto& g : grupos)
        for (const auto& r : g)
            EXPECT_NE(ProcurarReferencia(r.Autor), nullptr) << r.Autor;
    EXPECT_EQ(ProcurarReferencia("Interpolação"), nullptr);
    if (!ChaveFonteGoiasDF().empty()) {
        const TReferencia* go = ProcurarReferencia(ChaveFonteGoiasDF());
        ASSERT_NE(go, nullptr);
        EXPECT_TRUE(go->Regiao.rfind("GO", 0) == 0 || go->Regiao.rfind("DF", 0) == 0);
    }
}

// ---- Figuras ----

struct TFigura {
    int Largura = 0, Altura = 0;
    std::vector<TCor> Pixels;
    TCor operator()(int x, int y) const { return Pixels[y * Largura + x]; }
};

// BMP sem compressão, 24 ou 32 bits.
TFigura LerBmp(const std::string& caminho) {
    const std::string b = LerBytes(caminho);
    TFigura f;
    if (b.size() < 54 || b.substr(0, 2) != "BM") {
        ADD_FAILURE() << caminho << " não é BMP";
        return f;
    }
    auto u32 = [&](std::size_t p) {
        return static_cast<std::uint32_t>(U16(b, p)) | static_cast<std::uint32_t>(U16(b, p + 2))
                                                           << 16;
    };
    const std::uint32_t inicio = u32(10);
    f.Largura = static_cast<int>(u32(18));
    const auto altura = static_cast<std::int32_t>(u32(22));
    f.Altura = std::abs(altura);
    const int bits = U16(b, 28);
    EXPECT_TRUE((bits == 24 || bits == 32) && u32(30) == 0) << caminho;
    const std::size_t linha = ((f.Largura * bits + 31) / 32) * 4;
    if (b.size() < inicio + linha * f.Altura) {
        ADD_FAILURE() << caminho << " truncado";
        return f;
    }
    f.Pixels.resize(static_cast<std::size_t>(f.Largura) * f.Altura);
    for (int y = 0; y < f.Altura; ++y) {
        const std::size_t base = inicio + linha * (altura > 0 ? f.Altura - 1 - y : y);
        for (int x = 0; x < f.Largura; ++x) {
            const std::size_t p = base + x * (bits / 8);
            f.Pixels[y * f.Largura + x] = {static_cast<std::uint8_t>(b[p + 2]),
                                           static_cast<std::uint8_t>(b[p + 1]),
                                           static_cast<std::uint8_t>(b[p])};
        }
    }
    return f;
}

class Figuras : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef MORVENDO_COM_FIGURAS
        GTEST_SKIP() << "compilação só do núcleo: as figuras não são geradas";
#endif
    }
};

std::pair<int, int> Pixel(const TMolduraMapa& m, const std::string& lat, const std::string& lon) {
    const TPixel p = PontoParaPixel(m, GrausDecimais(lat), GrausDecimais(lon));
    return {PixelInteiro(p.X), PixelInteiro(p.Y)};
}

TEST_F(Figuras, EstacoesELocalidadesCaemNaAreaAzulDoSeuEstado) {
    TBancoEstacoes bd(Comuns);
    bd.CarregarEstacoes();
    for (const int e : EstadosComMapa) {
        const TFigura f = LerBmp(Comuns + "/" + CodigoEstado(e) + ".bmp");
        ASSERT_EQ(f.Largura, 450);
        ASSERT_EQ(f.Altura, 450);
        const TMolduraMapa& m = *MolduraEstado(e);
        bd.CarregarLocalidades(e);
        std::vector<std::pair<std::string, std::pair<std::string, std::string>>> pontos;
        for (const auto& s : bd.Estacoes[e])
            pontos.push_back({s.Nome, {s.Latitude, s.Longitude}});
        for (const auto& l : bd.Localidades)
            pontos.push_back({l.Nome, {l.Latitude, l.Longitude}});
        ASSERT_FALSE(pontos.empty());
        long azuis = 0;
        for (const auto& c : f.Pixels)
            azuis += c == CorEstadoNoMapa;
        for (const auto& [nome, coord] : pontos) {
            const auto [x, y] = Pixel(m, coord.first, coord.second);
            ASSERT_TRUE(x >= 0 && y >= 0 && x < 450 && y < 450) << nome;
            EXPECT_EQ(f(x, y), CorEstadoNoMapa)
                << CodigoEstado(e) << " " << nome << " em " << x << "," << y;
        }
        // A área azul é o estado, não a figura inteira, e fica dentro do retângulo do mapa.
        EXPECT_GT(azuis, 450 * 450 / 10) << CodigoEstado(e);
        EXPECT_LT(azuis, m.LarguraMapa * m.AlturaMapa) << CodigoEstado(e);
        for (int y = 0; y < 450; ++y)
            for (int x = 0; x < 450; ++x) {
                if (f(x, y) != CorEstadoNoMapa) continue;
                EXPECT_TRUE(x >= m.XMapa - 2 && x <= m.XMapa + m.LarguraMapa + 2 &&
                            y >= m.YMapa - 2 && y <= m.YMapa + m.AlturaMapa + 2)
                    << CodigoEstado(e) << " " << x << "," << y;
            }
    }
}

TEST_F(Figuras, MapaDoBrasilSoComAs29CoresEUmaRegiaoPorEstadoComACapital) {
    const TFigura f = LerBmp(Comuns + "/Brasil.bmp");
    ASSERT_EQ(f.Largura, 450);
    ASSERT_EQ(f.Altura, 450);
    std::map<std::tuple<int, int, int>, long> contagem;
    for (const auto& c : f.Pixels)
        ++contagem[{c.R, c.G, c.B}];
    std::set<std::tuple<int, int, int>> permitidas{{255, 255, 255}, {0, 0, 0}};
    for (int i = 0; i < 27; ++i) {
        const TCor c = CorEstadoBrasil(i);
        permitidas.insert({c.R, c.G, c.B});
    }
    for (const auto& [cor, n] : contagem)
        EXPECT_TRUE(permitidas.count(cor)) << std::get<0>(cor) << "," << std::get<1>(cor) << ","
                                           << std::get<2>(cor) << " em " << n << " pixels";

    const std::map<int, std::string> capitais = {
        {0, "Rio Branco"},      {1, "Maceió"},        {3, "Manaus"},          {4, "Salvador"},
        {5, "Fortaleza"},       {7, "Vitória"},       {8, "Goiânia"},         {9, "São Luís"},
        {10, "Cuiabá"},         {11, "Campo Grande"}, {12, "Belo Horizonte"}, {13, "Belém"},
        {14, "João Pessoa"},    {15, "Curitiba"},     {16, "Recife"},         {17, "Teresina"},
        {18, "Rio de Janeiro"}, {19, "Natal"},        {20, "Porto Alegre"},   {21, "Porto Velho"},
        {23, "Florianópolis"},  {24, "São Paulo"},    {26, "Palmas"}};
    ASSERT_EQ(capitais.size(), 23u);
    TBancoEstacoes bd(Comuns);
    for (const auto& [estado, nome] : capitais) {
        ASSERT_EQ(EstadoPelaCor(CorEstadoBrasil(estado)), estado);
        bd.CarregarLocalidades(estado);
        const auto it = std::find_if(bd.Localidades.begin(), bd.Localidades.end(),
                                     [&](const TLocalidade& l) { return l.Nome == nome; });
        ASSERT_NE(it, bd.Localidades.end()) << nome;
        const auto [cx, cy] = Pixel(MolduraBrasil, it->Latitude, it->Longitude);
        const TCor cor = CorEstadoBrasil(estado);
        ASSERT_EQ(f(cx, cy), cor) << nome;
        // Região 4-conexa a partir da capital = todos os pixels da cor.
        std::vector<char> visto(f.Pixels.size(), 0);
        std::queue<std::pair<int, int>> fila;
        fila.push({cx, cy});
        visto[cy * 450 + cx] = 1;
        long regiao = 0;
        while (!fila.empty()) {
            const auto [x, y] = fila.front();
            fila.pop();
            ++regiao;
            for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int nx = x + dx, ny = y + dy;
                if (nx >= 0 && ny >= 0 && nx < 450 && ny < 450 && !visto[ny * 450 + nx] &&
                    f(nx, ny) == cor) {
                    visto[ny * 450 + nx] = 1;
                    fila.push({nx, ny});
                }
            }
        }
        EXPECT_EQ(regiao, (contagem[{cor.R, cor.G, cor.B}])) << nome;
        EXPECT_GT(regiao, 20) << nome;
    }
}

// ---- Reprodutibilidade ----

int Rodar(const std::string& comando) {
    return std::system((comando + " > /dev/null 2>&1").c_str());
}

std::string Aspas(const std::string& s) {
    return "'" + s + "'";
}

TEST(Geradores, RodarDeNovoDaOsMesmosBytes) {
    TPastaTemporaria pasta;
    ASSERT_EQ(Rodar(Aspas(MORVENDO_GERAR_ESTACOES) + " " + Aspas(Fontes + "/estacoes.csv") + " " +
                    Aspas(Fontes + "/fontes.csv") + " " +
                    Aspas(pasta.Arquivo("Estados_Tar21.bin"))),
              0);
    ASSERT_EQ(Rodar(Aspas(MORVENDO_GERAR_LOCALIDADES) + " " + Aspas(Fontes + "/localidades.csv") +
                    " " + Aspas(pasta.Arquivo("Localidades_Tar21.bin"))),
              0);
    std::vector<std::string> nomes = {"Estados_Tar21.bin", "Localidades_Tar21.bin"};
#ifdef MORVENDO_COM_FIGURAS
    ASSERT_EQ(Rodar(Aspas(MORVENDO_GERAR_FIGURAS) + " " +
                    Aspas(Fontes + "/contornos_estados.geojson") + " " +
                    Aspas(pasta.Arquivo("Estados_Tar21.bin")) + " " +
                    Aspas(pasta.Arquivo("Localidades_Tar21.bin")) + " " + Aspas(pasta.Caminho())),
              0);
    for (const char* n : {"BA.bmp", "ES.bmp", "MG.bmp", "PR.bmp", "RJ.bmp", "SP.bmp", "TO.bmp",
                          "Brasil.bmp", "CabecalhoConsulta.jpg", "FiguraSobreConsulta.png"})
        nomes.push_back(n);
#endif
    for (const auto& n : nomes) {
        const std::string novo = LerBytes(pasta.Arquivo(n));
        EXPECT_FALSE(novo.empty()) << n;
        EXPECT_TRUE(novo == LerBytes(Comuns + "/" + n)) << n << " mudou entre duas execuções";
    }
}

} // namespace
