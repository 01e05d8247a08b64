// Origem de K, a, b, c: gravada com os valores que a consulta deu, digitada quando eles mudam,
// e deduzida nos arquivos que não a têm.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include "../Json.h"
#include "Auxiliar.h"
#include "idf/AjusteIdf.h"
#include "idf/BancoEstacoes.h"
#include "idf/VerificacaoIdf.h"
#include "project/Projeto.h"

namespace {

const std::string EXEMPLOS = MORVENDO_EXEMPLOS;

struct TParametros {
    double K, A, B, C;
};

const TParametros IRAI{1086.604, 0.184, 9.886, 0.728};

void Definir(TProjeto& p, const TParametros& v) {
    p.Chuva().K(v.K);
    p.Chuva().A(v.A);
    p.Chuva().B(v.B);
    p.Chuva().C(v.C);
}

// Como a consulta deixa o componente ao aceitar a estação Iraí.
void ConsultarIrai(TProjeto& p) {
    Definir(p, IRAI);
    p.ChuvaDeProjeto.DefinirAutoria(ProcurarInfoEstacao("", IRAI.K, IRAI.A, IRAI.B, IRAI.C)->Chave);
    p.ChuvaDeProjeto.StrCidade = "Iraí";
    p.ChuvaDeProjeto.IndEstado = 20;
    p.ChuvaDeProjeto.StrEstado = "Rio Grande do Sul";
    p.OrigemChuva = OrigemDaConsulta(p.ChuvaDeProjeto);
}

const std::string ESTACAO_IRAI = "Estação Iraí (RS); fonte: ";
const std::string ALTERADOS_IRAI =
    "Parâmetros digitados (alterados depois da consulta de Iraí (RS)).";

std::string Reler(const fs::path& caminho) {
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    LerProjeto(p, caminho.string());
    return FraseOrigemChuva(p);
}

// Exemplos gravados antes de a origem existir: a estação só quando K, a, b, c são os da
// estação que a consulta nomeou; a leitura não toca no arquivo.
TEST(OrigemChuva, ArquivoSemOrigemDeduzPelaEstacaoNomeada) {
    const struct {
        const char* arquivo;
        const char* inicio;
    } casos[] = {
        {"Corte_MG.mvd", "Parâmetros digitados."}, // Viçosa com K = 1800 digitado
        {"SemCorte_PR.mvd", "Parâmetros digitados."},
        {"Estrada.mvd", "Estação Iraí (RS); fonte: "},
        {"Trapezoidal_SC.mvd", "Estação Lages (CAV-UDESC, 1989-2016) (SC); fonte: "},
        {"CanalLongo_PE.mvd", "Estação Brejinho (posto APAC cód. 437) (PE); fonte: "},
    };
    for (const auto& c : casos) {
        const fs::path caminho = EXEMPLOS + "/" + c.arquivo;
        const std::string antes = LerBytes(caminho);
        const std::string frase = Reler(caminho);
        EXPECT_EQ(frase.rfind(c.inicio, 0), 0u) << c.arquivo << ": " << frase;
        EXPECT_EQ(LerBytes(caminho), antes) << c.arquivo;
    }

    // Os parâmetros de Iraí com outro nome, ou com o nome em outro estado, não são a estação.
    TPastaTemporaria pasta("origem-nomeada");
    const std::string estrada = LerBytes(EXEMPLOS + "/Estrada.mvd");
    for (const auto& [padrao, troca] : {std::pair{"StrCidade=Ira\xED", "StrCidade=Vi\xE7osa"},
                                        std::pair{"IndEstado=20", "IndEstado=12"}}) {
        GravarBytes(pasta / "p.mvd", Trocar(estrada, padrao, troca));
        EXPECT_EQ(Reler(pasta / "p.mvd"), "Parâmetros digitados.") << troca;
    }
}

// A consulta gravada com o projeto; alterar um parâmetro depois a torna digitada, de volta ao
// valor da consulta ela vale de novo; uma nova consulta passa a valer.
TEST(OrigemChuva, ConsultaGravadaEAlteradaDepois) {
    TPastaTemporaria pasta("origem-gravada");
    const fs::path arquivo = pasta / "p.mvd";
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    ConsultarIrai(p);
    EXPECT_EQ(p.OrigemChuva.Tipo, TTipoOrigemChuva::Estacao);
    EXPECT_EQ(FraseOrigemChuva(p).rfind(ESTACAO_IRAI, 0), 0u) << FraseOrigemChuva(p);
    EscreverProjeto(p, arquivo.string());
    EXPECT_EQ(Reler(arquivo), FraseOrigemChuva(p));

    p.Chuva().K(1800);
    EXPECT_EQ(FraseOrigemChuva(p), ALTERADOS_IRAI);
    EscreverProjeto(p, arquivo.string());
    EXPECT_EQ(Reler(arquivo), ALTERADOS_IRAI);
    // Mesmo com o nome da estação e os valores dela guardados na consulta.
    EXPECT_NE(LerBytes(arquivo).find("K=1800"), std::string::npos);

    p.Chuva().K(IRAI.K);
    EXPECT_EQ(FraseOrigemChuva(p).rfind(ESTACAO_IRAI, 0), 0u);

    // Interpolação num ponto, depois da estação.
    p.Chuva().K(1500.123);
    p.ChuvaDeProjeto.DefinirAutoria(AutorInterpolacao);
    p.ChuvaDeProjeto.IndLocalidade = -1;
    p.ChuvaDeProjeto.Latitude = "27°00'00\"";
    p.ChuvaDeProjeto.Longitude = "53°00'00\"";
    p.OrigemChuva = OrigemDaConsulta(p.ChuvaDeProjeto);
    EXPECT_EQ(p.OrigemChuva.Tipo, TTipoOrigemChuva::Interpolacao);
    EXPECT_EQ(FraseOrigemChuva(p), p.OrigemChuva.Descricao);
    EscreverProjeto(p, arquivo.string());
    EXPECT_EQ(Reler(arquivo), p.OrigemChuva.Descricao);
    p.Chuva().C(0.7);
    EXPECT_EQ(FraseOrigemChuva(p), "Parâmetros digitados (alterados depois da consulta de "
                                   "27°00'00\" S, 53°00'00\" W (Rio Grande do Sul)).");
}

// Uma interpolação aceita diz as estações que usou, com a distância e o peso, como a consulta
// as mostra.
TEST(OrigemChuva, InterpolacaoComAsEstacoes) {
    TBancoEstacoes bd(MORVENDO_PASTA_COMUNS);
    bd.CarregarEstacoes();
    const TConsultaPonto r = bd.Consultar("27°25'00\"", "53°15'00\"", RaioInterpolacaoPadraoKm);
    ASSERT_TRUE(r.Interpolada);
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    Definir(p, {r.Resultado.K, r.Resultado.A, r.Resultado.B, r.Resultado.C});
    p.ChuvaDeProjeto.DefinirAutoria(AutorInterpolacao);
    p.ChuvaDeProjeto.IndLocalidade = -1;
    p.ChuvaDeProjeto.StrCidade = "Não definida";
    p.ChuvaDeProjeto.StrEstado = "Rio Grande do Sul";
    p.ChuvaDeProjeto.Latitude = "27°25'00\"";
    p.ChuvaDeProjeto.Longitude = "53°15'00\"";
    p.OrigemChuva = OrigemDaConsulta(p.ChuvaDeProjeto, MORVENDO_PASTA_COMUNS);
    const std::string frase = FraseOrigemChuva(p);
    EXPECT_EQ(frase.rfind("Interpolada no ponto 27°25'00\" S, 53°15'00\" W (Rio Grande do Sul). "
                          "Interpolação pelo inverso da quinta potência da distância",
                          0),
              0u)
        << frase;
    EXPECT_NE(frase.find("Iraí (RS), a "), std::string::npos) << frase;
    EXPECT_NE(frase.find(", peso "), std::string::npos) << frase;
    EXPECT_EQ(frase.find('\n'), std::string::npos);
    // Sem a pasta dos dados, a frase curta da consulta.
    EXPECT_EQ(OrigemDaConsulta(p.ChuvaDeProjeto).Descricao.find("peso"), std::string::npos);
}

// Os parâmetros passam pelos campos da janela com sete casas: uma equação ajustada com quinze
// algarismos continua sendo a do ajuste; uma mudança na sétima casa já não é.
TEST(OrigemChuva, AjusteNaPrecisaoDosCampos) {
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    Definir(p, {1234.56789012345, 0.123456789012, 10.9876543210987, 0.76543210987654});
    p.ChuvaDeProjeto.DefinirAutoria(AutorAjuste);
    p.OrigemChuva = OrigemDaConsulta(p.ChuvaDeProjeto);
    const std::string ajustada = FraseOrigemChuva(p);
    EXPECT_EQ(p.OrigemChuva.Tipo, TTipoOrigemChuva::Ajuste);
    Definir(p, {1234.5678901, 0.1234568, 10.9876543, 0.7654321});
    EXPECT_EQ(FraseOrigemChuva(p), ajustada);
    p.Chuva().C(0.7654322);
    EXPECT_EQ(FraseOrigemChuva(p), "Parâmetros digitados (alterados depois do ajuste da equação).");
    // Sem K não há origem a dizer.
    p.Chuva().K(0);
    EXPECT_EQ(FraseOrigemChuva(p), "");
}

// Um projeto sem consulta não ganha a seção; gravado por cima de um que a tinha, não herda a
// consulta do outro.
TEST(OrigemChuva, ProjetoDigitadoGravadoPorCimaDeOutro) {
    TPastaTemporaria pasta("origem-por-cima");
    const fs::path arquivo = pasta / "p.mvd";
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    Definir(p, IRAI);
    EscreverProjeto(p, arquivo.string());
    EXPECT_EQ(LerBytes(arquivo).find("ORIGEM_CHUVA"), std::string::npos);

    ConsultarIrai(p);
    EscreverProjeto(p, arquivo.string());
    ZerarVariaveis(p);
    Definir(p, IRAI);
    EscreverProjeto(p, arquivo.string());
    EXPECT_EQ(Reler(arquivo), "Parâmetros digitados.");
    EXPECT_EQ(LerBytes(arquivo).find("Descricao="), std::string::npos);
}

// A linha de comando diz a origem no texto e no JSON.
TEST(OrigemChuva, LinhaDeComando) {
    TPastaTemporaria pasta("origem-cli");
    for (const auto& [exemplo, inicio] :
         {std::pair{"Corte_MG.mvd", std::string("Parâmetros digitados.")},
          std::pair{"Estrada.mvd", ESTACAO_IRAI}}) {
        fs::copy_file(EXEMPLOS + "/" + exemplo, pasta / exemplo,
                      fs::copy_options::overwrite_existing);
        const std::string cmd = "cd '" + pasta.Caminho.string() +
                                "' && LC_ALL=C '" MORVENDO_CALC "' " + exemplo +
                                " > out.txt 2> err.txt && LC_ALL=C '" MORVENDO_CALC "' " + exemplo +
                                " --json > out.json 2>> err.txt";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << LerBytes(pasta / "err.txt");
        EXPECT_NE(LerBytes(pasta / "out.txt").find("\nOrigem da chuva: " + inicio),
                  std::string::npos)
            << exemplo;
        const std::string origem =
            TLeitorJson(LerBytes(pasta / "out.json")).Ler()["OrigemChuva"].Str;
        EXPECT_EQ(origem.rfind(inicio, 0), 0u) << exemplo << ": " << origem;
    }
}

} // namespace
