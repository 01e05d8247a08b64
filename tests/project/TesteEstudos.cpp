// Estudos de sensibilidade e trechos: cada ponto deve ser o cálculo do mesmo projeto com o
// valor posto no arquivo, qualquer que seja o número de linhas de execução.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <sys/wait.h>

#include "../Json.h"
#include "Auxiliar.h"
#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "comum/LeitorCsv.h"
#include "comum/Numeros.h"
#include "project/Calculo.h"
#include "project/Estudos.h"
#include "project/Projeto.h"

namespace {

const std::string C03 = DADOS_REFERENCIA + "c03_equiv_200m.mvd";

TArquivoIni Documento(const std::string& caminho) {
    TArquivoIni d;
    d.Carregar(caminho);
    return d;
}

// O cálculo de referência: o documento com o valor já escrito, lido e calculado sozinho.
TResultadoExecucao CalculoUnico(TArquivoIni doc) {
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    EXPECT_TRUE(LerProjeto(p, doc));
    EXPECT_FALSE(ValidarDados(p).has_value());
    const TResultadoCalculo c = ExecutarCalculo(p, p.Estrada.Comprimento(), nullptr);
    EXPECT_EQ(c.Situacao, TResultadoCalculo::Concluido);
    TResultadoExecucao r;
    r.Ok = true;
    r.Espacamento = c.Canal.Espacamento;
    r.PerdaToleravel = c.Canal.PerdaToleravel;
    r.PerdaSolo = c.Canal.PerdaSolo;
    r.TensaoMax = c.Canal.TensaoMax;
    r.VazaoMax = c.Canal.QMax;
    if (c.Bacia) r.VolumeBacia = c.Bacia->VolumeEscoado;
    return r;
}

void ExpectIguais(const TResultadoExecucao& esperado, const TResultadoExecucao& obtido,
                  const std::string& onde) {
    ASSERT_TRUE(obtido.Ok) << onde << ": " << obtido.Erro;
    EXPECT_EQ(obtido.Espacamento, esperado.Espacamento) << onde;
    auto perto = [&](double a, double b, const char* nome) {
        EXPECT_LE(std::fabs(a - b), 1e-9 * std::max(std::fabs(a), std::fabs(b))) << onde << nome;
    };
    perto(esperado.PerdaToleravel, obtido.PerdaToleravel, " perda tolerável");
    perto(esperado.PerdaSolo, obtido.PerdaSolo, " perda");
    perto(esperado.TensaoMax, obtido.TensaoMax, " tensão");
    perto(esperado.VazaoMax, obtido.VazaoMax, " vazão");
    ASSERT_EQ(esperado.VolumeBacia.has_value(), obtido.VolumeBacia.has_value()) << onde;
    if (esperado.VolumeBacia) perto(*esperado.VolumeBacia, *obtido.VolumeBacia, " bacia");
}

struct TCasoEstudo {
    const char* parametro;
    const char* secao;
    const char* chave;
    std::vector<double> valores;
};

TEST(Estudo, CadaPontoEhOCalculoComOValorNoArquivo) {
    const TArquivoIni doc = Documento(C03);
    const TCasoEstudo casos[] = {
        {"declividade", "CanalGradiente_ESTRADA", "Sc", {0.01, 0.025, 0.06}},
        {"tr", "CanalEstrada_ESTRADA", "TrEsp", {2, 3, 10}},
        {"k", "PREC_EXPONENCIAL_NEGATIVA", "K", {900, 2500}},
        {"aprofundamento", "CanalEstrada_ESTRADA", "Aprofundamento", {2, 8.5}},
        {"comprimento_talude", "Encosta_Talude: Trecho 1", "Comprimento", {5, 60}},
        {"erodibilidade", "CanalEstrada_ESTRADA", "Erodibilidade", {0.001, 0.01}},
        {"tensao_critica", "CanalEstrada_ESTRADA", "TalCritica", {1, 12}},
    };
    for (const TCasoEstudo& c : casos) {
        const auto parametro = ParametroPorNome(c.parametro);
        ASSERT_TRUE(parametro) << c.parametro;
        const auto pontos = ExecutarEstudo(doc, *parametro, c.valores, 2);
        ASSERT_EQ(pontos.size(), c.valores.size());
        for (std::size_t i = 0; i < c.valores.size(); ++i) {
            TArquivoIni comValor = doc;
            comValor.EscreverReal(c.secao, c.chave, c.valores[i]);
            EXPECT_EQ(pontos[i].Valor, c.valores[i]);
            ExpectIguais(CalculoUnico(comValor), pontos[i].Resultado,
                         std::string(c.parametro) + "=" + RealExato(c.valores[i]));
        }
    }
}

TEST(Estudo, MesmoResultadoComQualquerNumeroDeLinhasEPontoRuimNaoParaOsOutros) {
    const TArquivoIni doc = Documento(C03);
    const std::vector<double> valores = {0, 0.01, 0.02, 0.03, 0.04};
    const auto um = ExecutarEstudo(doc, TParametroEstudo::Declividade, valores, 1);
    const auto tres = ExecutarEstudo(doc, TParametroEstudo::Declividade, valores, 3);
    ASSERT_EQ(um.size(), valores.size());
    // Declividade 0 falha com a mensagem da verificação; os demais pontos calculam.
    EXPECT_FALSE(um[0].Resultado.Ok);
    EXPECT_NE(um[0].Resultado.Erro.find("\"Declividade\" (Canal da estrada)"), std::string::npos)
        << um[0].Resultado.Erro;
    for (std::size_t i = 0; i < valores.size(); ++i) {
        EXPECT_EQ(um[i].Resultado.Ok, i > 0);
        EXPECT_EQ(um[i].Resultado.Erro, tres[i].Resultado.Erro);
        EXPECT_EQ(um[i].Resultado.Espacamento, tres[i].Resultado.Espacamento);
        EXPECT_EQ(um[i].Resultado.PerdaSolo, tres[i].Resultado.PerdaSolo);
        EXPECT_EQ(um[i].Resultado.TensaoMax, tres[i].Resultado.TensaoMax);
        EXPECT_EQ(um[i].Resultado.VolumeBacia, tres[i].Resultado.VolumeBacia);
    }

    // O comprimento é guardado em metros inteiros: um valor quebrado ou acima do máximo é
    // recusado, não truncado.
    const auto comprimentos =
        ExecutarEstudo(doc, TParametroEstudo::ComprimentoTalude, {5.5, 10001, 6}, 2);
    for (std::size_t i : {0u, 1u})
        EXPECT_EQ(comprimentos[i].Resultado.Erro, "\"Comprimento da área externa\" deve ser um "
                                                  "número inteiro de 1 a 10000 m.");
    EXPECT_TRUE(comprimentos[2].Resultado.Ok) << comprimentos[2].Resultado.Erro;

    // Cancelado antes de começar: nenhum ponto calcula, cada um diz por quê.
    TCancelamentoLote cancelado;
    cancelado.Pedido = true;
    for (const auto& p :
         ExecutarEstudo(doc, TParametroEstudo::Declividade, valores, 2, nullptr, &cancelado))
        EXPECT_EQ(p.Resultado.Erro, "Cálculo cancelado.");
}

TEST(Estudo, IntervaloDeValores) {
    const auto v = ValoresDoIntervalo(0.01, 0.1, 0.01);
    ASSERT_EQ(v.size(), 10u);
    EXPECT_EQ(v[5], 0.06); // o número que o usuário digitaria, não 0,060000000000000005
    EXPECT_EQ(v.back(), 0.1);
    EXPECT_EQ(ValoresDoIntervalo(5, 5, 1), std::vector<double>{5});
    const std::tuple<double, double, double, const char*> ruins[] = {
        {0, 1, 0, "O passo do estudo deve ser maior que zero."},
        {0, 1, -0.1, "O passo do estudo deve ser maior que zero."},
        {1, 0, 0.1, "O fim do estudo não pode ser menor que o início."},
        {0, 1, 1e-6, "O estudo teria pontos demais (mais de 10000): aumente o passo."},
        {0, INFINITY, 1, "O início, o fim e o passo do estudo devem ser números."},
    };
    for (const auto& [i, f, p, msg] : ruins) {
        try {
            ValoresDoIntervalo(i, f, p);
            ADD_FAILURE() << "aceitou " << i << " " << f << " " << p;
        } catch (const EMorvendo& e) {
            EXPECT_STREQ(e.what(), msg);
        }
    }
}

TEST(Trechos, CadaTrechoEhOCalculoComSuaDeclividadeEComprimento) {
    const TArquivoIni doc = Documento(C03);
    const std::vector<TTrecho> trechos = {
        {"A", 0, 150, 0.05}, {"B", 150, 80, 0.015}, {"C", 230, 300, 0.03}};
    const auto r = ExecutarTrechos(doc, trechos, 2);
    ASSERT_EQ(r.size(), trechos.size());
    for (std::size_t i = 0; i < trechos.size(); ++i) {
        TArquivoIni comTrecho = doc;
        comTrecho.EscreverReal("CanalGradiente_ESTRADA", "Sc", trechos[i].Declividade);
        comTrecho.EscreverInteiro("CanalGradiente_ESTRADA", "Comprimento", trechos[i].Comprimento);
        ExpectIguais(CalculoUnico(comTrecho), r[i].Resultado, trechos[i].Nome);
        EXPECT_EQ(r[i].Posicoes, PosicoesDesaguadouros(trechos[i], r[i].Resultado.Espacamento));
    }
}

TEST(Trechos, PosicoesDosDesaguadouros) {
    const TTrecho t{"T", 1000, 100, 0.02};
    EXPECT_EQ(PosicoesDesaguadouros(t, 30), (std::vector<double>{1030, 1060, 1090, 1100}));
    EXPECT_EQ(PosicoesDesaguadouros(t, 50), (std::vector<double>{1050, 1100}));
    EXPECT_EQ(PosicoesDesaguadouros(t, 100), std::vector<double>{1100});
    EXPECT_EQ(PosicoesDesaguadouros(t, 400), std::vector<double>{1100});
}

TEST(Trechos, CsvLidoOuRecusadoComALinhaEOCampo) {
    // Com ponto decimal ou como as planilhas em português (';' e vírgula decimal), com a
    // marca UTF-8 e linhas em branco: os mesmos trechos; a declividade negativa (a estrada
    // sobe) fica com o sinal.
    for (const char* texto : {"\xEF\xBB\xBFnome,inicio_m,comprimento_m,declividade\r\n"
                              "\"Ponte, sul\",0.5,120,0.05\r\n\r\nB,120.5,80,-0.02\r\n",
                              "\xEF\xBB\xBFnome;inicio_m;comprimento_m;declividade\r\n"
                              "\"Ponte, sul\";0,5;120;0,05\r\n\r\nB;120,5;80;-0,02\r\n"}) {
        std::istringstream in(texto);
        const auto t = LerTrechosCsv(in);
        ASSERT_EQ(t.size(), 2u) << texto;
        EXPECT_EQ(t[0].Nome, "Ponte, sul");
        EXPECT_EQ(t[0].Inicio, 0.5);
        EXPECT_EQ(t[1].Inicio, 120.5);
        EXPECT_EQ(t[1].Comprimento, 80);
        EXPECT_EQ(t[1].Declividade, -0.02);
    }
    // Encostados e fora de ordem: aceitos na ordem do arquivo.
    std::istringstream emOrdemQualquer("nome,inicio_m,comprimento_m,declividade\nB,100,50,0.02\n"
                                       "A,0,100,0.02\nC,150,1,0.02\n");
    const auto u = LerTrechosCsv(emOrdemQualquer);
    ASSERT_EQ(u.size(), 3u);
    EXPECT_EQ(u[0].Nome + u[1].Nome + u[2].Nome, "BAC");

    // Mais trechos do que o projeto guarda.
    std::string muitos = "nome,inicio_m,comprimento_m,declividade\n";
    for (int i = 0; i <= 10000; ++i)
        muitos += "T,0,1,0.02\n";
    const std::pair<std::string, const char*> ruins[] = {
        {"", "O arquivo está vazio"},
        {"nome,inicio,comprimento,declividade\n", "Linha 1: o cabeçalho deve ser"},
        {"nome,inicio_m,comprimento_m,declividade\n", "O arquivo não tem nenhum trecho."},
        {"nome,inicio_m,comprimento_m,declividade\nA,0,100\n", "Linha 2: são esperados 4"},
        {"nome,inicio_m,comprimento_m,declividade\nA,0,100,0.02\nB,x,1,0.02\n",
         "Linha 3: o campo inicio_m (\"x\") não é um número"},
        {"nome,inicio_m,comprimento_m,declividade\nA,0,0.5,0.02\n",
         "Linha 2: o campo comprimento_m (0.5) deve ser um número inteiro"},
        {"nome,inicio_m,comprimento_m,declividade\nA,0,100,0\n",
         "Linha 2: o campo declividade (0) deve ser diferente de zero"},
        {"nome,inicio_m,comprimento_m,declividade\nA,0,100,-10\n",
         "Linha 2: o campo declividade (-10) deve ser diferente de zero, maior que -10 e menor "
         "que 10 (m/m)."},
        {"nome;inicio_m;comprimento_m;declividade\nA;0;100;0.02\n",
         "Linha 2: o campo declividade (\"0.02\") não é um número (use vírgula decimal)."},
        {"nome,inicio_m,comprimento_m,declividade\nA,0,100,0,02\n", "Linha 2: são esperados 4"},
        {"nome,inicio_m,comprimento_m,declividade\n\"A,0,100,0.02\n",
         "Linha 2: aspas abertas até o fim do arquivo."},
        {"nome,inicio_m,comprimento_m,declividade\nA,0,10,10\n",
         "Linha 2: o campo declividade (10) deve ser diferente de zero, maior que -10 e menor "
         "que 10 (m/m)."},
        {muitos, "Linha 10002: o projeto guarda no máximo 10000 trechos."},
        // O início na faixa da tabela da janela; nada de controle no nome.
        {"nome,inicio_m,comprimento_m,declividade\nA,1e300,100,0.02\n",
         "Linha 2: o campo inicio_m (1e300) deve estar entre 0 e 10000000 m."},
        {"nome,inicio_m,comprimento_m,declividade\nA,-1,100,0.02\n",
         "Linha 2: o campo inicio_m (-1) deve estar entre 0 e 10000000 m."},
        {std::string("nome,inicio_m,comprimento_m,declividade\nA\0B,0,100,0.02\n", 55),
         "Linha 2: o campo nome tem um caractere de controle"},
        // Sobrepostos ou com um intervalo entre si, em qualquer ordem do arquivo: as duas
        // linhas.
        {"nome,inicio_m,comprimento_m,declividade\nA,0,150,0.02\nB,200,50,0.02\nC,150,60,0.02\n",
         "Linhas 3 e 4: os trechos \"B\" (de 200 a 250 m) e \"C\" (de 150 a 210 m) se "
         "sobrepõem."},
        {"nome,inicio_m,comprimento_m,declividade\nA,0,1000,0.02\nB,100,10.0,0.02\n",
         "Linhas 2 e 3: os trechos \"A\" (de 0 a 1000 m) e \"B\" (de 100 a 110 m) se "
         "sobrepõem."},
        {"nome,inicio_m,comprimento_m,declividade\nB,100.002,50,0.02\nA,0,100,0.02\n",
         "Linhas 2 e 3: os trechos \"B\" (de 100"},
        {"nome,inicio_m,comprimento_m,declividade\nA,0,100,0.02\nC,10000000,1,0.02\n",
         "Linhas 2 e 3: os trechos \"A\" (de 0 a 100 m) e \"C\" (de 10000000 a 10000001 m) "
         "deixam um intervalo sem trecho."},
    };
    for (const auto& [texto, inicio] : ruins) {
        std::istringstream in(texto);
        try {
            LerTrechosCsv(in);
            ADD_FAILURE() << "aceitou: " << texto;
        } catch (const EMorvendo& e) {
            EXPECT_EQ(std::string(e.what()).rfind(inicio, 0), 0u) << e.what();
        }
    }
}

TEST(Trechos, PerfilLongitudinalViraTrechos) {
    std::istringstream csv("posicao_m,cota_m\n0,100\n100,95\n200,90.2\n300,80\n400,85\n");
    const auto perfil = LerPerfilCsv(csv);
    ASSERT_EQ(perfil.size(), 5u);
    // 5 % e 4,8 % se unem, calculados com os 5 % e a média ao lado; 10,2 % é outro trecho;
    // a subida depois da baixada também, com declividade negativa.
    const auto t = TrechosDoPerfil(perfil, 0.005);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].Inicio, 0);
    EXPECT_EQ(t[0].Comprimento, 200);
    EXPECT_DOUBLE_EQ(t[0].Declividade, 0.05);
    ASSERT_TRUE(t[0].DeclividadeMedia);
    EXPECT_DOUBLE_EQ(*t[0].DeclividadeMedia, 9.8 / 200);
    EXPECT_EQ(t[1].Inicio, 200);
    EXPECT_DOUBLE_EQ(t[1].Declividade, 10.2 / 100);
    EXPECT_FALSE(t[1].DeclividadeMedia);
    EXPECT_EQ(t[2].Inicio, 300);
    EXPECT_DOUBLE_EQ(t[2].Declividade, -0.05);
    // Posições quebradas: os limites em metros inteiros desde o primeiro ponto, encostados,
    // sem que o arredondamento se acumule; o arquivo das planilhas serve igual.
    std::istringstream quebrado("posicao_m;cota_m\n10,4;100\n20,8;99\n31,2;100\n41,6;99\n");
    const auto q = TrechosDoPerfil(LerPerfilCsv(quebrado), 0.005);
    ASSERT_EQ(q.size(), 3u);
    const double inicios[] = {10.4, 20.4, 31.4};
    const int comprimentos[] = {10, 11, 10};
    for (std::size_t i = 0; i < q.size(); ++i) {
        EXPECT_DOUBLE_EQ(q[i].Inicio, inicios[i]) << i;
        EXPECT_EQ(q[i].Comprimento, comprimentos[i]) << i;
    }
    // Tolerância grande: só a inversão do sentido separa.
    EXPECT_EQ(TrechosDoPerfil(perfil, 1).size(), 2u);

    std::istringstream voltando("0,100\n100,95\n50,90\n");
    EXPECT_THROW(LerPerfilCsv(voltando), EMorvendo);
}

// "Do perfil…" abre também o perfil da linha de comando, com os lados: as rampas da mesma
// declividade se unem só enquanto os canais dos dois lados são os mesmos.
TEST(Trechos, PerfilComLadosViraTrechos) {
    std::istringstream entrada("\xEF\xBB\xBF"
                               "distancia_m;cota_m;lado;secao\n0;10;D;1\n50;9;D;1\n"
                               "100;8;ambos;3\n150;7;;\n200;8;;\n");
    const auto perfil = LerPerfilComLadosOuNaoCsv(entrada);
    ASSERT_EQ(perfil.size(), 5u);
    const auto t = TrechosDoPerfil(perfil, 0.005);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].Comprimento, 100); // as duas rampas do lado direito em corte
    EXPECT_EQ(t[0].Esquerdo, TCanalLado::Nenhum);
    EXPECT_EQ(t[0].Direito, TCanalLado::Corte);
    EXPECT_EQ(t[1].Comprimento, 50); // a mesma declividade, outros canais
    EXPECT_EQ(t[1].Esquerdo, TCanalLado::SemCorte);
    EXPECT_EQ(t[1].Direito, TCanalLado::SemCorte);
    EXPECT_FALSE(t[2].Esquerdo); // a seção do projeto
    EXPECT_DOUBLE_EQ(t[2].Declividade, -0.02);
    // O perfil do levantamento continua servindo, com ou sem cabeçalho.
    for (const char* texto : {"posicao_m,cota_m\n0,100\n100,95\n", "0,100\n100,95\n"}) {
        std::istringstream levantamento(texto);
        const auto semLados = LerPerfilComLadosOuNaoCsv(levantamento);
        ASSERT_EQ(semLados.size(), 2u) << texto;
        EXPECT_DOUBLE_EQ(semLados[1].Ponto.Cota, 95);
        EXPECT_FALSE(semLados[0].Esquerdo);
    }
}

// O que o CSV e o perfil põem na tabela de trechos o projeto grava e reabre; o que ele não
// reabriria é recusado na entrada, com o motivo.
TEST(Trechos, TodoTrechoAceitoReabreComOProjeto) {
    auto reabre = [](const std::vector<TTrecho>& trechos) {
        TUnidades u;
        TProjeto p(u);
        ZerarVariaveis(p);
        ASSERT_TRUE(LerProjeto(p, C03));
        p.Trechos = trechos;
        TArquivoIni doc;
        EscreverProjeto(p, doc);
        TProjeto relido(u);
        ZerarVariaveis(relido);
        ASSERT_NO_THROW(LerProjeto(relido, doc));
        ASSERT_EQ(relido.Trechos.size(), trechos.size());
        for (std::size_t i = 0; i < trechos.size(); ++i) {
            EXPECT_EQ(relido.Trechos[i].Declividade, trechos[i].Declividade) << i;
            EXPECT_EQ(relido.Trechos[i].DeclividadeMedia, trechos[i].DeclividadeMedia) << i;
        }
    };
    // Um patamar plano no perfil vira um trecho de declividade zero (o cálculo dele falha
    // com a mensagem da declividade; o projeto continua abrindo).
    std::istringstream plano("posicao_m,cota_m\n0,100\n100,100\n200,95\n");
    const auto t = TrechosDoPerfil(LerPerfilCsv(plano), 0.005);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].Declividade, 0);
    reabre(t);
    std::istringstream ingreme("nome,inicio_m,comprimento_m,declividade\nA,0,10,9.99\n"
                               "B,10,10,-9.99\n");
    reabre(LerTrechosCsv(ingreme));
    // A rampa mais íngreme e a média de um trecho unido voltam as duas.
    std::istringstream unido("posicao_m,cota_m\n0,100\n100,97\n200,93.5\n");
    const auto u = TrechosDoPerfil(LerPerfilCsv(unido), 0.01);
    ASSERT_EQ(u.size(), 1u);
    EXPECT_DOUBLE_EQ(u[0].Declividade, 0.035);
    EXPECT_DOUBLE_EQ(*u[0].DeclividadeMedia, 0.0325);
    reabre(u);

    std::istringstream parede("posicao_m,cota_m\n0,100\n1,50\n");
    try {
        TrechosDoPerfil(LerPerfilCsv(parede), 0.005);
        ADD_FAILURE() << "aceitou uma rampa de 50 m/m";
    } catch (const EMorvendo& e) {
        EXPECT_STREQ(e.what(), "De 0 a 1 m, o perfil tem declividade de 10 m/m ou mais: confira "
                               "as cotas.");
    }
}

TEST(Trechos, EstacaDeVinteMetros) {
    const std::pair<double, const char*> casos[] = {
        {0, "0 + 0,00"},       {248, "12 + 8,00"},       {20, "1 + 0,00"},
        {19.994, "0 + 19,99"}, {19.996, "1 + 0,00"},     {19.999, "1 + 0,00"},
        {0.004, "0 + 0,00"},   {1234.567, "61 + 14,57"}, {1e7, "500000 + 0,00"},
    };
    for (const auto& [metros, estaca] : casos)
        EXPECT_EQ(Estaca(metros), estaca) << metros;
    EXPECT_EQ(Estaca(248.5, '.'), "12 + 8.50");
    for (const double ruim : {-0.001, -20.0, std::nan(""), HUGE_VAL})
        EXPECT_THROW(Estaca(ruim), EMorvendo) << ruim;
}

// Linha de comando: CSV do estudo, dos trechos e a tabela por metro.

TEST(EstudoCli, CsvDoEstudoEDosTrechos) {
    TPastaTemporaria pasta("cli-estudo");
    auto r = Rodar(pasta.Caminho, "'" + C03 + "' --estudo declividade 0 0.02 0.01 --threads 2");
    EXPECT_EQ(r.Status, 1); // um ponto falhou; os outros saíram
    std::istringstream linhas(r.Out);
    std::string l;
    std::getline(linhas, l);
    EXPECT_EQ(l, "valor,espacamento_m,perda_toleravel,perda_solo,tensao_max_Pa,vazao_max_L_s,"
                 "volume_bacia_m3,avisos");
    std::getline(linhas, l);
    EXPECT_EQ(l, "0,,,,,,,");
    const auto pontos = ExecutarEstudo(Documento(C03), TParametroEstudo::Declividade, {0.01}, 1);
    const TResultadoExecucao& p = pontos[0].Resultado;
    std::getline(linhas, l);
    EXPECT_EQ(l, "0.01," + std::to_string(p.Espacamento) + "," + RealExato(p.PerdaToleravel) + "," +
                     RealExato(p.PerdaSolo) + "," + RealExato(p.TensaoMax) + "," +
                     RealExato(p.VazaoMax) + "," + RealExato(*p.VolumeBacia) + "," +
                     CampoCsv(AvisosNumaCelula(p.Avisos)));
    // Os avisos do ponto são os do cálculo: aqui, a infiltração do leito fora da faixa típica.
    ASSERT_FALSE(p.Avisos.empty());
    EXPECT_EQ(p.Avisos[0].Id, "fora_da_faixa_tipica");
    EXPECT_EQ(r.Err.rfind("Valor 0: ", 0), 0u) << r.Err;

    r = Rodar(pasta.Caminho, "'" + C03 + "' --estudo largura 0 1 0.1");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("Parâmetro de estudo desconhecido: largura"), std::string::npos);
    r = Rodar(pasta.Caminho, "'" + C03 + "' --estudo tr 2 10 0");
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err, "O passo do estudo deve ser maior que zero.\n");

    GravarBytes(pasta / "t.csv", "nome,inicio_m,comprimento_m,declividade\nA,0,250,0.04\n"
                                 "B,250,30,0.01\n");
    r = Rodar(pasta.Caminho, "'" + C03 + "' --trechos t.csv --threads 2");
    ASSERT_EQ(r.Status, 0) << r.Err;
    std::ifstream arquivo(pasta / "t.csv");
    const auto t = ExecutarTrechos(Documento(C03), LerTrechosCsv(arquivo), 1);
    std::string esperado = "nome,inicio_m,comprimento_m,declividade,espacamento_m,desaguadouros,"
                           "posicoes_m,volume_bacia_m3,avisos\n";
    for (const auto& x : t) {
        std::string pos;
        for (double v : x.Posicoes)
            pos += (pos.empty() ? "" : "|") + RealExato(v);
        esperado += x.Trecho.Nome + "," + RealExato(x.Trecho.Inicio) + "," +
                    std::to_string(x.Trecho.Comprimento) + "," + RealExato(x.Trecho.Declividade) +
                    "," + std::to_string(x.Resultado.Espacamento) + "," +
                    std::to_string(x.Posicoes.size()) + "," + pos + "," +
                    RealExato(*x.Resultado.VolumeBacia) + "," +
                    CampoCsv(AvisosNumaCelula(x.Resultado.Avisos)) + "\n";
    }
    EXPECT_EQ(r.Out, esperado);

    GravarBytes(pasta / "ruim.csv", "nome,inicio_m,comprimento_m,declividade\nA,0,-5,0.04\n");
    r = Rodar(pasta.Caminho, "'" + C03 + "' --trechos ruim.csv");
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err.rfind("ruim.csv: Linha 2: o campo comprimento_m (-5)", 0), 0u) << r.Err;
    EXPECT_EQ(r.Out, "");
}

// --csv: uma linha por metro, igual às seções dos resultados esperados a 1e-9.
TEST(EstudoCli, TabelaPorMetroEmCsvIgualAosCasosDeReferencia) {
    TPastaTemporaria pasta("cli-csv");
    for (const char* caso :
         {"c01_canal_1m", "c02_trap_secao3_50m", "c03_equiv_200m", "c06_so_primeira_passa",
          "c08_legado", "c13_perda_sobe_e_desce", "c14_talude_sem_escoamento"}) {
        fs::copy_file(DADOS_REFERENCIA + caso + ".mvd", pasta / "p.mvd",
                      fs::copy_options::overwrite_existing);
        // Os casos com canal trapezoidal são da curva de descarga antiga.
        const bool trapezio = std::string(caso) == "c02_trap_secao3_50m" ||
                              std::string(caso) == "c13_perda_sobe_e_desce";
        const auto r = Rodar(pasta.Caminho, std::string("p.mvd --csv tabela.csv") +
                                                (trapezio ? " --curva-descarga-original" : ""));
        // No c06 nenhum espaçamento atende: a tabela é gravada e a saída é 4.
        ASSERT_EQ(r.Status, std::string(caso) == "c06_so_primeira_passa" ? 4 : 0) << caso << r.Err;
        const TJson esperado =
            TLeitorJson(LerBytes(DADOS_REFERENCIA + caso + ".expected.json")).Ler();
        std::istringstream csv(LerBytes(pasta / "tabela.csv"));
        std::string linha;
        std::getline(csv, linha);
        EXPECT_EQ(linha, "secao_m,lamina_cm,vazao_L_s,tensao_Pa,perda_solo");
        std::size_t n = 0;
        while (std::getline(csv, linha)) {
            const TJson& s = esperado["Secoes"][n++];
            std::istringstream campos(linha);
            std::string c;
            for (std::size_t k = 0; k < 5 && std::getline(campos, c, ','); ++k) {
                const double v = std::stod(c), e = s[k].Valor;
                EXPECT_LE(std::fabs(v - e), 1e-9 * std::max(std::fabs(v), std::fabs(e)))
                    << caso << " linha " << n << " campo " << k;
            }
        }
        EXPECT_EQ(n, esperado["Secoes"].Itens.size()) << caso;
    }
}

} // namespace
