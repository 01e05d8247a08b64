// Avisos do resultado: perda acima da tolerável dentro do espaçamento, dados muito fora da
// faixa típica, chuva que não escoa e espaçamento limitado pelo comprimento.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "../Json.h"
#include "Auxiliar.h"
#include "comum/Win1252.h"
#include "idf/EstacoesUsuario.h"
#include "project/Avisos.h"
#include "project/BalancoHidricoTexto.h"
#include "project/Calculo.h"
#include "project/Projeto.h"
#include "reports/RelatorioEstrada.h"

namespace {

const std::string EXEMPLOS = std::string(MORVENDO_EXEMPLOS) + "/";

// Projeto lido de um arquivo, com as unidades que ele grava.
struct TProjetoLido {
    TUnidades Unidades;
    TProjeto P{Unidades};
};

std::unique_ptr<TProjetoLido> Ler(const std::string& caminho) {
    auto l = std::make_unique<TProjetoLido>();
    ZerarVariaveis(l->P);
    EXPECT_TRUE(LerProjeto(l->P, caminho)) << caminho;
    return l;
}

// Arquivo de antes da opção da curva de descarga: o padrão que valeu (a curva exata) vai para
// os avisos quando pesa no cálculo, no canal trapezoidal sem a opção da curva original.
TEST(Avisos, PadraoAplicadoAChaveQueOArquivoNaoTem) {
    const TAviso aviso{"padrao_aplicado", TGravidadeAviso::Atencao,
                       "O arquivo do projeto não tem a chave [CanalEstrada_ESTRADA] "
                       "CurvaDescargaOriginal (\"Curva de descarga original (ajuste de 0,2 a 5 "
                       "m)\" em Canal da estrada), que os arquivos gravados antes dela não têm: "
                       "vale o padrão 0, a curva de descarga exata."};
    struct {
        const char* arquivo;
        bool opcaoCurvaOriginal, comAviso;
    } casos[] = {{"c02_trap_secao3_50m", false, true},
                 {"c02_trap_secao3_50m", true, false},
                 {"c03_equiv_200m", false, false}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.arquivo);
        auto l = Ler(DADOS_REFERENCIA + c.arquivo + ".mvd");
        TResultadoCalculo r;
        r.CurvaDescargaOriginal = c.opcaoCurvaOriginal;
        const auto avisos = AvisosDoResultado(l->P, r, ',');
        EXPECT_EQ(std::count(avisos.begin(), avisos.end(), aviso), c.comAviso ? 1 : 0);
    }
    // Gravado de novo, o arquivo tem a chave: nenhum padrão.
    TPastaTemporaria pasta("padrao-aplicado");
    auto l = Ler(DADOS_REFERENCIA + "c02_trap_secao3_50m.mvd");
    EscreverProjeto(l->P, (pasta / "p.mvd").string());
    EXPECT_TRUE(Ler((pasta / "p.mvd").string())->P.PadroesAplicados.empty());
}

// A estação feita de uma série de chuvas diárias lembra os anos da série: o período de retorno
// do espaçamento ou o da bacia (quando ela é calculada) além do dobro deles é extrapolação. O
// dobro exato ainda não é; a estação sem série não tem o aviso.
TEST(Avisos, PeriodoRetornoAlemDoDobroDaSerie) {
    auto l = Ler(EXEMPLOS + "Estrada.mvd");
    TCanalEstrada& e = l->P.Estrada;
    e.Equivalente = false;
    const std::string fim = " do dobro dos 20 anos da série de chuvas diárias de que a equação "
                            "desta estação foi ajustada: a chuva de projeto é extrapolação da "
                            "distribuição de Gumbel.";
    const struct {
        int Anos;
        double TrEsp, TrDim;
        bool Bacia;
        std::string Esperado;
    } casos[] = {
        {20, 5, 10, true, ""},
        {20, 40, 40, true, ""},
        {20, 5, 40.5, true,
         "O período de retorno de 40,5 anos (dimensionamento da bacia) passa" + fim},
        {20, 5, 50, false, ""},
        {20, 41, 10, false, "O período de retorno de 41 anos (espaçamento) passa" + fim},
        {20, 41, 100, true,
         "O período de retorno de 41 anos (espaçamento) e o de 100 anos (dimensionamento da "
         "bacia) passam" +
             fim},
        {0, 41, 100, true, ""},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.TrEsp);
        TInfoEstacaoIdf estacao;
        estacao.AnosSerie = c.Anos;
        e.TrEsp = c.TrEsp;
        e.TrDim = c.TrDim;
        e.Bacia.CalcularVolume = c.Bacia;
        EXPECT_EQ(AvisoPeriodoRetornoAlemDaSerie(l->P, estacao, ','), c.Esperado);
    }
}

TEST(Avisos, PerdaQueSobeEDesceDentroDoEspacamento) {
    const std::vector<TLinhaRelatorioTexto> secoes = {
        {1, 0, 0, 0, 0.0}, {2, 0, 0, 0, 1.2}, {3, 0, 0, 0, 1.5}, {4, 0, 0, 0, 0.9},
        {5, 0, 0, 0, 1.1}, {6, 0, 0, 0, 0.5}, {7, 0, 0, 0, 0.9}, {8, 0, 0, 0, 2.0}};
    const auto faixas = FaixasAcimaDaToleravel(secoes, 1.0, 7);
    ASSERT_EQ(faixas.size(), 2u);
    EXPECT_EQ(faixas[0].Inicio, 2);
    EXPECT_EQ(faixas[0].Fim, 3);
    EXPECT_EQ(faixas[0].SecaoMaxima, 3);
    EXPECT_EQ(faixas[1].Inicio, 5);
    EXPECT_EQ(faixas[1].Fim, 5);
    EXPECT_EQ(AvisoPerdaAcimaDaToleravel(faixas, 1.0, ','),
              "Dentro do espaçamento, a perda de solo excede a perda tolerável nas seções de 2 "
              "a 3 m e 5 m, em até 0,5 g/cm² (50,0 %) na seção 3 m. O espaçamento é a seção "
              "mais distante que passa; adote um espaçamento que deixe essas seções de fora ou "
              "reveja o canal.");
    // A seção 8 está além do espaçamento: já é o que a grade mostra em vermelho.
    EXPECT_TRUE(FaixasAcimaDaToleravel(secoes, 1.0, 1).empty());
    EXPECT_EQ(AvisoPerdaAcimaDaToleravel({}, 1.0, ','), "");
}

// Um valor fora da faixa típica sai na unidade da tela, com a faixa convertida para ela; o
// aviso só vem além de 3 vezes o limite e só para os campos que o cálculo usa.
TEST(Avisos, DadosMuitoForaDaFaixaTipica) {
    enum { S_M = 0, G_CM2 = 1 };    // unidades da erodibilidade
    enum { PORCENTO = 0, M_M = 1 }; // da declividade
    enum { MM_H = 1, M_DIA = 2 };   // da infiltração
    struct TCaso {
        TCampo Campo;
        double Valor; // nas unidades do arquivo (a erodibilidade, na configurada)
        int Erodibilidade, Declividade, Infiltracao, Secao;
        const char* Aviso; // vazio: nenhum
    };
    const TCaso casos[] = {
        {CAMPO_ERODIBILIDADE, 0.00038, S_M, M_M, MM_H, 1,
         "Erodibilidade (Solo) = 0,00038 kg·m⁻²·s⁻¹·Pa⁻¹ está muito abaixo da faixa típica "
         "(0,002 a 0,05 kg·m⁻²·s⁻¹·Pa⁻¹): confira o valor e a unidade."},
        {CAMPO_ERODIBILIDADE, 0.00038, G_CM2, M_M, MM_H, 1,
         "Erodibilidade (Solo) = 0,00038 g·cm⁻²·min⁻¹·Pa⁻¹ está muito abaixo da faixa típica "
         "(0,012 a 0,3 g·cm⁻²·min⁻¹·Pa⁻¹): confira o valor e a unidade."},
        {CAMPO_ERODIBILIDADE, 0.0007, S_M, M_M, MM_H, 1, ""},
        {CAMPO_TENSAO_CRITICA, 999, S_M, M_M, MM_H, 1,
         "Tensão crítica (Solo) = 999 Pa está muito acima da faixa típica (1 a 7 Pa): confira "
         "o valor e a unidade."},
        {CAMPO_TENSAO_CRITICA, 21, S_M, M_M, MM_H, 1, ""},
        {CAMPO_TENSAO_CRITICA, 0.3, S_M, M_M, MM_H, 1,
         "Tensão crítica (Solo) = 0,3 Pa está muito abaixo da faixa típica (1 a 7 Pa): confira "
         "o valor e a unidade."},
        {CAMPO_K, 1.086, S_M, M_M, MM_H, 1,
         "K (Parâmetros da equação IDF) = 1,086 está muito abaixo da faixa típica (1000 a "
         "6000): confira o valor."},
        {CAMPO_SC_CANAL, 0.5, S_M, PORCENTO, MM_H, 1,
         "Declividade (Canal da estrada) = 50 % está muito acima da faixa típica (1 a 10 %): "
         "confira o valor e a unidade."},
        {CAMPO_VIB_ESTRADA, 0.1, S_M, M_M, M_DIA, 1,
         "Taxa de infiltração estável (Leito da estrada) = 0,0024 m/dia está muito abaixo da "
         "faixa típica (0,0312 a 0,0912 m/dia): confira o valor e a unidade."},
        {CAMPO_RUG_TALUDE, 0.003, S_M, M_M, MM_H, 1,
         "Rugosidade (Área externa) = 0,003 está muito abaixo da faixa típica (0,01 a 0,8): "
         "confira o valor."},
        // Na seção 3 a área externa não entra no cálculo.
        {CAMPO_VIB_TALUDE, 1000, S_M, M_M, MM_H, 3, ""},
        {CAMPO_VIB_TALUDE, 1000, S_M, M_M, MM_H, 1,
         "Taxa de infiltração estável (Área externa) = 1000 mm/h está muito acima da faixa "
         "típica (5 a 30 mm/h): confira o valor e a unidade."},
    };
    for (const TCaso& c : casos) {
        SCOPED_TRACE(std::string(CampoProjeto(c.Campo)->Rotulo) + " = " + std::to_string(c.Valor));
        // Um projeto sem nenhum dado fora da faixa típica.
        auto l = Ler(DADOS_REFERENCIA + "c06_so_primeira_passa.mvd");
        TProjeto& p = l->P;
        ASSERT_TRUE(AvisosForaDaFaixaTipica(p, ',').empty());
        p.Unidades.SetErodibilidade(std::uint8_t(c.Erodibilidade));
        p.Unidades.SetDeclividade(std::uint8_t(c.Declividade));
        p.Unidades.SetVI(std::uint8_t(c.Infiltracao));
        p.Estrada.IndSecao = c.Secao;
        CampoProjeto(c.Campo)->Definir(p, c.Valor);
        const std::vector<std::string> esperado =
            *c.Aviso ? std::vector<std::string>{c.Aviso} : std::vector<std::string>{};
        EXPECT_EQ(AvisosForaDaFaixaTipica(p, ','), esperado);
    }
}

// Os exemplos e os casos de referência: os dados que saem da faixa típica da ajuda por mais
// de 3 vezes, pelo campo avisado.
TEST(Avisos, ProjetosConhecidosForaDaFaixaTipica) {
    const std::string leito = "Taxa de infiltração estável (Leito da estrada)";
    const struct {
        std::string Arquivo;
        std::vector<std::string> Campos;
    } casos[] = {
        {DADOS_REFERENCIA + "c02_trap_secao3_50m.mvd", {}},
        {DADOS_REFERENCIA + "c06_so_primeira_passa.mvd", {}},
        {DADOS_REFERENCIA + "c08_legado.mvd", {}},
        {EXEMPLOS + "Trapezoidal_SC.mvd", {}},
        {EXEMPLOS + "CanalLongo_PE.mvd", {}},
        // 0,002 g·cm⁻²·min⁻¹·Pa⁻¹ = 0,00033 s/m, 6 vezes abaixo do mínimo típico de 0,002 s/m.
        {EXEMPLOS + "Estrada.mvd", {"Erodibilidade (Solo)"}},
        {DADOS_REFERENCIA + "c01_canal_1m.mvd", {"Erodibilidade (Solo)"}},
        // Leitos de 20 a 135 mm/h: acima de 3 vezes os 3,8 mm/h dos leitos compactados.
        {DADOS_REFERENCIA + "c03_equiv_200m.mvd", {leito}},
        {DADOS_REFERENCIA + "c13_perda_sobe_e_desce.mvd", {leito}},
        {DADOS_REFERENCIA + "c14_talude_sem_escoamento.mvd",
         {leito, "Taxa de infiltração estável (Área externa)"}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Arquivo);
        auto l = Ler(c.Arquivo);
        std::vector<std::string> campos;
        for (const std::string& a : AvisosForaDaFaixaTipica(l->P, ','))
            campos.push_back(a.substr(0, a.find(" = ")));
        EXPECT_EQ(campos, c.Campos);
    }
}

// Sem nenhum ponto com vazão nos dois hidrogramas, a chuva não escoa; a frase diz de onde não
// veio água (na seção 3 não há área externa).
TEST(Avisos, ChuvaSemEscoamento) {
    auto l = Ler(EXEMPLOS + "Estrada.mvd");
    TProjeto& p = l->P;
    const std::string secao1 =
        "Nenhum escoamento chega ao canal: a chuva da equação IDF, com os valores digitados, "
        "nunca passa da infiltração e da abstração inicial do leito da estrada nem da área "
        "externa. Confira K, a, b e c e as taxas de infiltração estável.";
    TResultadoCalculo r;
    EXPECT_EQ(AvisoSemEscoamento(p, r), secao1);
    r.HidrogramaEstrada.Adicionar(0, 0);
    r.HidrogramaEstrada.Adicionar(1, 0);
    EXPECT_EQ(AvisoSemEscoamento(p, r), secao1);
    r.HidrogramaTalude.Adicionar(1, 0.2);
    EXPECT_EQ(AvisoSemEscoamento(p, r), "");
    r.HidrogramaTalude.Limpar();
    p.Estrada.IndSecao = 3;
    EXPECT_EQ(AvisoSemEscoamento(p, r),
              "Nenhum escoamento chega ao canal: a chuva da equação IDF, com os valores "
              "digitados, nunca passa da infiltração e da abstração inicial do leito da "
              "estrada. Confira K, a, b e c e as taxas de infiltração estável.");
    r.HidrogramaEstrada.Adicionar(2, 1e-9);
    EXPECT_EQ(AvisoSemEscoamento(p, r), "");
}

// Um balanço que não fecha por mais de 1 % vira aviso, com o sentido do erro e a parte.
TEST(Avisos, BalancoHidricoQueNaoFecha) {
    auto l = Ler(EXEMPLOS + "Estrada.mvd");
    TResultadoCalculo r;
    r.Canal.Balanco = {100, 1, 98, 0};
    r.BalancoEstrada = {200, 10, 50, 140, 0};
    r.BalancoTalude = {300, 30, 100, 168, 0};
    EXPECT_TRUE(AvisosBalanco(l->P, r, ',').empty());
    r.Canal.Balanco.Saida = 97;
    r.BalancoTalude.Escoamento = 182;
    const std::vector<std::string> avisos = AvisosBalanco(l->P, r, ',');
    ASSERT_EQ(avisos.size(), 2u);
    EXPECT_EQ(avisos[0].rfind("O balanço hídrico do plano \"Área externa\" não fecha: o esquema "
                              "numérico criou 4,00 % da água que entrou.",
                              0),
              0u)
        << avisos[0];
    EXPECT_EQ(avisos[1].rfind("O balanço hídrico do canal não fecha: o esquema numérico perdeu "
                              "2,00 % da água que entrou.",
                              0),
              0u)
        << avisos[1];
    const auto todos = AvisosDoResultado(l->P, r, ',');
    const TAviso canal{"balanco_hidrico", TGravidadeAviso::Grave, avisos[1]};
    EXPECT_NE(std::find(todos.begin(), todos.end(), canal), todos.end());
    // Sem área externa (seção 3) o plano dela não entra.
    l->P.Estrada.IndSecao = 3;
    EXPECT_EQ(AvisosBalanco(l->P, r, ',').size(), 1u);
}

// Chuva interpolada com a estação mais próxima perto do raio: aviso, enquanto os parâmetros
// forem os da interpolação; a distância e o raio vão e voltam pelo arquivo.
TEST(Avisos, InterpolacaoPertoDoRaio) {
    TPastaTemporaria pasta("avisos-raio");
    auto l = Ler(EXEMPLOS + "Estrada.mvd");
    TProjeto& p = l->P;
    const TPrecipitacaoExponencialNegativa& chuva = p.ChuvaDeProjeto.Precipitacao();
    TOrigemChuva& o = p.OrigemChuva;
    o.Tipo = TTipoOrigemChuva::Interpolacao;
    o.Descricao = "Interpolada no ponto.";
    o.K = chuva.K();
    o.A = chuva.A();
    o.B = chuva.B();
    o.C = chuva.C();
    o.RaioKm = 100;
    o.DistanciaMinimaKm = 60;
    EXPECT_EQ(AvisoInterpolacaoPertoDoRaio(p, ','), "");
    o.DistanciaMinimaKm = 91.4;
    const std::string aviso =
        "A equação de chuva foi interpolada de estações distantes: a mais próxima fica a 91 km "
        "do ponto, perto do raio de 100 km da interpolação. Prefira a equação de uma estação do "
        "lugar ou uma sua (Minhas estações).";
    EXPECT_EQ(AvisoInterpolacaoPertoDoRaio(p, ','), aviso);
    EscreverProjeto(p, (pasta / "p.mvd").string());
    auto relido = Ler((pasta / "p.mvd").string());
    EXPECT_EQ(AvisoInterpolacaoPertoDoRaio(relido->P, ','), aviso);
    const TResultadoCalculo r;
    const auto avisos = AvisosDoResultado(relido->P, r, ',');
    EXPECT_NE(std::find(avisos.begin(), avisos.end(),
                        TAviso{"interpolacao_perto_do_raio", TGravidadeAviso::Atencao, aviso}),
              avisos.end());
    // K mudado depois da consulta: já não é a interpolação.
    relido->P.Chuva().K(chuva.K() + 1);
    EXPECT_EQ(AvisoInterpolacaoPertoDoRaio(relido->P, ','), "");
}

// Calculados: K digitado como 1,086 não escoa, e o espaçamento que sai igual ao comprimento
// não é avisado como limitado pelo comprimento; um canal mais curto que o espaçamento é.
TEST(Avisos, DoResultadoCalculado) {
    const std::string noComprimento =
        "O espaçamento calculado é o próprio comprimento do canal (50 m): quem o limita é o "
        "comprimento digitado, não a erosão. Aumente o comprimento do canal e calcule de novo "
        "para conhecer o espaçamento.";
    auto contem = [](const std::vector<std::string>& avisos, const std::string& inicio) {
        return std::any_of(avisos.begin(), avisos.end(),
                           [&](const std::string& a) { return a.rfind(inicio, 0) == 0; });
    };
    {
        auto l = Ler(EXEMPLOS + "Estrada.mvd");
        l->P.Chuva().K(1.086);
        const TResultadoCalculo r = ExecutarCalculo(l->P, l->P.Estrada.Comprimento(), nullptr);
        ASSERT_EQ(r.Situacao, TResultadoCalculo::Concluido);
        EXPECT_EQ(r.Canal.Espacamento, 250);
        const auto avisos = TextosAvisos(AvisosDoResultado(l->P, r, ','));
        EXPECT_TRUE(contem(avisos, "Nenhum escoamento chega ao canal"));
        EXPECT_TRUE(contem(avisos, "K (Parâmetros da equação IDF) = 1,086"));
        EXPECT_FALSE(contem(avisos, "O espaçamento calculado é o próprio comprimento"));
    }
    {
        auto l = Ler(EXEMPLOS + "Estrada.mvd");
        const TResultadoCalculo r = ExecutarCalculo(l->P, 50, nullptr);
        ASSERT_EQ(r.Situacao, TResultadoCalculo::Concluido);
        const auto avisos = TextosAvisos(AvisosDoResultado(l->P, r, ','));
        EXPECT_NE(std::find(avisos.begin(), avisos.end(), noComprimento), avisos.end());
        EXPECT_FALSE(contem(avisos, "Nenhum escoamento"));
        const TResultadoCalculo inteiro = ExecutarCalculo(l->P, 250, nullptr);
        EXPECT_LT(inteiro.Canal.Espacamento, 250);
        EXPECT_FALSE(
            contem(TextosAvisos(AvisosDoResultado(l->P, inteiro, ',')), "O espaçamento calculado"));
    }
}

// A linha de comando põe os avisos depois do resumo e, com --json, em "Avisos".
TEST(Avisos, NaLinhaDeComando) {
    TPastaTemporaria pasta("avisos");
    auto rodar = [&](const std::string& projeto, const char* opcoes) {
        GravarBytes(pasta / "p.mvd", projeto);
        const std::string cmd = "cd '" + pasta.Caminho.string() +
                                "' && LC_ALL=C '" MORVENDO_CALC "' p.mvd " + opcoes +
                                " > out.txt 2>&1";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << projeto.substr(0, 80);
        return LerBytes(pasta / "out.txt");
    };
    // O caso foi calculado com a curva de descarga antiga do trapézio.
    const std::string c13 = rodar(LerBytes(DADOS_REFERENCIA + "c13_perda_sobe_e_desce.mvd"),
                                  "--curva-descarga-original");
    // A perda que sobe e desce: o aviso vem depois do resumo, com os outros.
    EXPECT_NE(c13.find("\nAvisos\n"), std::string::npos) << c13;
    EXPECT_NE(c13.find("\n  Dentro do espaçamento, a perda de solo excede a perda tolerável"),
              std::string::npos)
        << c13;
    // Um caso sem aviso nenhum (o c06, que não tinha, agora diz que nenhum espaçamento atende).
    const std::string c08 = LerBytes(DADOS_REFERENCIA + "c08_legado.mvd");
    EXPECT_EQ(rodar(c08, "").find("Avisos"), std::string::npos);
    EXPECT_TRUE(TLeitorJson(rodar(c08, "--json")).Ler()["Avisos"].Itens.empty());

    const std::string semChuva =
        Trocar(LerBytes(EXEMPLOS + "Estrada.mvd"), "\nK=1086\\.604", "\nK=1.086");
    ASSERT_NE(semChuva.find("\nK=1.086\r"), std::string::npos);
    const std::string texto = rodar(semChuva, "");
    EXPECT_NE(texto.find("Avisos\n  Nenhum escoamento chega ao canal"), std::string::npos) << texto;
    const TJson json = TLeitorJson(rodar(semChuva, "--json")).Ler();
    EXPECT_EQ(json["Espacamento"].Valor, 250);
    const std::vector<TJson>& avisos = json["Avisos"].Itens;
    ASSERT_GE(avisos.size(), 2u);
    EXPECT_EQ(avisos[0]["id"].Str, "sem_escoamento");
    EXPECT_EQ(avisos[0]["gravidade"].Str, "grave");
    EXPECT_EQ(avisos[0]["texto"].Str.rfind("Nenhum escoamento chega ao canal", 0), 0u);
    EXPECT_EQ(avisos[1]["id"].Str, "fora_da_faixa_tipica");
    EXPECT_EQ(avisos[1]["gravidade"].Str, "atencao");
    EXPECT_NE(avisos[1]["texto"].Str.find("K (Parâmetros da equação IDF) = 1.086"),
              std::string::npos);
}

} // namespace

namespace {

// As referências numéricas do relatório (&#8315;) de volta a UTF-8.
std::string SemReferenciasNumericas(const std::string& html) {
    std::string r;
    for (std::size_t i = 0; i < html.size(); ++i) {
        const std::size_t fim = html.find(';', i);
        if (html.compare(i, 2, "&#") != 0 || fim == std::string::npos || fim - i > 9) {
            r += html[i];
            continue;
        }
        const unsigned cp = unsigned(std::stoul(html.substr(i + 2, fim - i - 2)));
        if (cp < 0x800) {
            r += char(0xC0 | (cp >> 6));
        } else {
            r += char(0xE0 | (cp >> 12));
            r += char(0x80 | ((cp >> 6) & 0x3F));
        }
        r += char(0x80 | (cp & 0x3F));
        i = fim;
    }
    return r;
}

// O mesmo projeto pela linha de comando: texto, JSON e relatório HTML.
struct TSaidas {
    std::string Texto, Relatorio;
    TJson Json;
};

// O exemplo da estrada com outra equação de chuva.
std::string ComEquacao(const char* K, const char* a, const char* b, const char* c) {
    return Trocar(Trocar(Trocar(Trocar(LerBytes(EXEMPLOS + "Estrada.mvd"), "\nK=1086\\.604",
                                       std::string("\nK=") + K),
                                "\nA=0\\.184", std::string("\nA=") + a),
                         "\nB=9\\.886", std::string("\nB=") + b),
                  "\nC=0\\.728", std::string("\nC=") + c);
}

// A pasta das estações do usuário que o cálculo consulta, enquanto o objeto vive.
struct TPastaUsuario {
    explicit TPastaUsuario(const std::string& pasta) { DefinirPastaDadosUsuario(pasta); }
    ~TPastaUsuario() { DefinirPastaDadosUsuario(""); }
};

// As estações do usuário ficam em pasta/usuario, para a linha de comando e para o cálculo aqui.
TSaidas SaidasDaLinhaDeComando(const TPastaTemporaria& pasta, const std::string& projeto,
                               const std::string& opcoes) {
    GravarBytes(pasta / "p.mvd", projeto);
    const std::string base =
        "cd '" + pasta.Caminho.string() +
        "' && LC_ALL=C MORVENDO_DADOS_USUARIO=usuario '" MORVENDO_CALC "' p.mvd " + opcoes;
    EXPECT_EQ(std::system((base + " > texto.txt 2>&1").c_str()), 0);
    EXPECT_EQ(std::system((base + " --json --html r.html > json.txt 2>&1").c_str()), 0);
    return {LerBytes(pasta / "texto.txt"),
            SemReferenciasNumericas(win1252::ParaUtf8(LerBytes(pasta / "r.html"))),
            TLeitorJson(LerBytes(pasta / "json.txt")).Ler()};
}

} // namespace

// A perda que sobe e desce, o trapézio pela curva antiga, a equação usada fora da sua faixa
// de durações e a de uma série de chuvas diárias além do dobro dela: cada aviso sai no texto,
// no JSON e no relatório, com o mesmo identificador.
TEST(Avisos, OsMesmosEmTodasAsSaidas) {
    TPastaTemporaria pasta("avisos-saidas");
    // Uma estação do usuário feita de uma série de 20 anos, de 2 a 100 anos.
    const TEstacaoUsuario daSerie{.Estado = 24,
                                  .Nome = "Posto da série",
                                  .Latitude = 22.7,
                                  .Longitude = 47.6,
                                  .K = 1300.5,
                                  .A = 0.15,
                                  .B = 12.5,
                                  .C = 0.8,
                                  .Fonte = "Série de chuvas diárias do posto 02245005",
                                  .TrMin = 2,
                                  .TrMax = 100,
                                  .AnosSerie = 20};
    TEstacoesUsuario((pasta / "usuario").string()).Adicionar(daSerie);
    const TPastaUsuario usuario((pasta / "usuario").string());
    const std::string lages = ComEquacao("1285.65", "0.133", "14.2", "0.87");
    // Com a infiltração da área externa baixa, a chuva de projeto passa das 4 h da equação.
    const std::string lagesLonga = Trocar(lages, "\nVIB=5\r", "\nVIB=1\r");
    const struct {
        std::string Projeto, Opcoes, Id;
    } casos[] = {
        {LerBytes(DADOS_REFERENCIA + "c13_perda_sobe_e_desce.mvd"), "--curva-descarga-original",
         "perda_acima_da_toleravel"},
        {LerBytes(DADOS_REFERENCIA + "c02_trap_secao3_50m.mvd"), "--curva-descarga-original",
         "curva_descarga_original"},
        {lagesLonga, "", "duracao_fora_da_faixa"},
        // A equação de Lages vale de 2 a 50 anos; o projeto dimensiona a bacia com 100.
        {Trocar(lages, "\nTrDim=[0-9.]+\r", "\nTrDim=100\r"), "", "periodo_retorno_fora_da_faixa"},
        {Trocar(ComEquacao("1300.5", "0.15", "12.5", "0.8"), "\nTrDim=[0-9.]+\r", "\nTrDim=50\r"),
         "", "periodo_retorno_alem_da_serie"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Id);
        const TSaidas s = SaidasDaLinhaDeComando(pasta, c.Projeto, c.Opcoes);
        // Os avisos do mesmo cálculo feito aqui.
        GravarBytes(pasta / "q.mvd", c.Projeto);
        auto l = Ler((pasta / "q.mvd").string());
        l->P.Estrada.CurvaDescargaOriginal = !c.Opcoes.empty();
        const TResultadoCalculo r = ExecutarCalculo(l->P, l->P.Estrada.Comprimento(), nullptr);
        const std::vector<TAviso> ponto = AvisosDoResultado(l->P, r, '.');
        const std::vector<TAviso> virgula = AvisosDoResultado(l->P, r, ',');
        ASSERT_TRUE(
            std::any_of(ponto.begin(), ponto.end(), [&](const TAviso& a) { return a.Id == c.Id; }));
        const std::vector<TJson>& json = s.Json["Avisos"].Itens;
        ASSERT_EQ(json.size(), ponto.size());
        for (std::size_t i = 0; i < ponto.size(); ++i) {
            EXPECT_NE(s.Texto.find("  " + ponto[i].Texto + "\n"), std::string::npos) << s.Texto;
            EXPECT_EQ(json[i]["id"].Str, ponto[i].Id);
            EXPECT_EQ(json[i]["gravidade"].Str, TextoGravidade(ponto[i].Gravidade));
            EXPECT_EQ(json[i]["texto"].Str, ponto[i].Texto);
            EXPECT_NE(s.Relatorio.find(EscaparHtml(virgula[i].Texto)), std::string::npos)
                << virgula[i].Texto;
        }
    }
}
