#include <gtest/gtest.h>

#include <csignal>
#include <deque>
#include <stdexcept>
#include <sys/wait.h>

#include "Auxiliar.h"
#include "comum/EMorvendo.h"
#include "project/GerenteArquivo.h"
#include "project/Projeto.h"

namespace {

using TLista = std::array<std::string, TGerenteArquivo::NumRecentes>;

// Diálogos com respostas roteirizadas; registra o que foi perguntado.
class TDialogosRoteiro : public IDialogosGerente {
public:
    std::deque<TResposta> Respostas;
    std::deque<std::optional<std::string>> Arquivos;
    std::vector<std::string> Perguntas;
    std::vector<std::string> TitulosSalvar;
    std::vector<std::string> NomesPropostos;

    TResposta Perguntar(const std::string& texto, bool) override {
        Perguntas.push_back(texto);
        if (Respostas.empty()) throw std::logic_error("pergunta inesperada: " + texto);
        TResposta r = Respostas.front();
        Respostas.pop_front();
        return r;
    }
    std::optional<std::string> EscolherArquivoAbrir() override { return Proximo(); }
    std::optional<std::string> EscolherArquivoSalvar(const std::string& titulo,
                                                     const std::string& nome) override {
        TitulosSalvar.push_back(titulo);
        NomesPropostos.push_back(nome);
        return Proximo();
    }

private:
    std::optional<std::string> Proximo() {
        if (Arquivos.empty()) throw std::logic_error("diálogo de arquivo inesperado");
        auto r = Arquivos.front();
        Arquivos.pop_front();
        return r;
    }
};

// Janela dona de mentira: grava um arquivo de verdade, para que "já existe" faça sentido,
// e registra a ordem dos eventos.
class Gerente : public ::testing::Test {
protected:
    Gerente() : pasta("gerente") {
        g.TituloPrograma = "Morvendo";
        g.PastaPrograma = pasta.Caminho.string();
        g.OnTitulo = [this](const std::string& t) { titulo = t; };
        g.OnZerarVariaveis = [this] { eventos += "Z"; };
        g.OnAbilitarCampos = [this] { eventos += "A"; };
        g.OnDesabilitarCampos = [this] { eventos += "D"; };
        g.OnLimparCamposDados = [this] { eventos += "L"; };
        g.OnPreencherCamposDados = [this] { eventos += "P"; };
        g.OnLerCamposDados = [this] { eventos += "C"; };
        g.OnEscreverArquivo = [this] {
            eventos += "E";
            if (falharGravacao) throw EEntradaSaida("Unable to write to " + g.PathProjeto);
            GravarBytes(g.PathProjeto, "[VERSAO]\r\nVersao=1\r\n");
        };
        g.OnLerArquivo = [this](bool& leuCerto) {
            eventos += "R";
            if (erroLeitura) {
                // Como a janela: fecha o projeto e passa o erro adiante.
                g.Fechar();
                throw EArquivoRecusado("Ocorreu um erro ao tentar ler o arquivo.");
            }
            leuCerto = leituraCerta;
        };
    }

    std::string Arquivo(const std::string& nome) {
        const auto p = pasta / nome;
        GravarBytes(p, "x");
        return p.string();
    }
    void AbrirComDialogo(const std::string& caminho) {
        d.Arquivos.push_back(caminho);
        ASSERT_TRUE(g.Abrir());
    }

    TPastaTemporaria pasta;
    TDialogosRoteiro d;
    TGerenteArquivo g{d};
    std::string titulo;
    std::string eventos;
    bool leituraCerta = true;
    bool erroLeitura = false;
    bool falharGravacao = false;
};

TEST_F(Gerente, NovoESalvarComoCanceladoDeixaOProjetoNovo) {
    ASSERT_TRUE(g.Novo());
    EXPECT_EQ(eventos, "ZAL");
    EXPECT_EQ(g.NomeProjeto, "\"PerdaSolo.mvd\"");
    EXPECT_EQ(g.PathProjeto, (pasta / "PerdaSolo.mvd").string());
    EXPECT_EQ(titulo, "Morvendo (\"PerdaSolo.mvd\")");
    EXPECT_TRUE(g.ProjetoAberto());
    EXPECT_TRUE(g.PodeGravar());

    d.Arquivos.push_back(std::nullopt);
    g.Alterado = true;
    EXPECT_FALSE(g.Salvar());
    EXPECT_EQ(d.TitulosSalvar, std::vector<std::string>{"Salvar Como"});
    EXPECT_EQ(g.NomeProjeto, "\"PerdaSolo.mvd\"");
    EXPECT_TRUE(g.Alterado);
    EXPECT_EQ(titulo, "Morvendo (\"PerdaSolo.mvd\")");
    EXPECT_FALSE(fs::exists(g.PathProjeto));
    EXPECT_EQ(g.Recentes(), (TLista{"", "", "", ""}));
}

// "Salvar como" propõe o nome padrão a um projeto novo e o próprio caminho a um aberto.
TEST_F(Gerente, SalvarComoProposONomeOuOCaminhoDoProjeto) {
    g.Novo();
    d.Arquivos.push_back(std::nullopt);
    EXPECT_FALSE(g.SalvarComo());
    const std::string a = Arquivo("Trecho A.mvd");
    AbrirComDialogo(a);
    d.Arquivos.push_back(std::nullopt);
    EXPECT_FALSE(g.SalvarComo());
    EXPECT_EQ(d.NomesPropostos, (std::vector<std::string>{"PerdaSolo.mvd", a}));
}

TEST_F(Gerente, SalvarProjetoNovoGravaEDaNomeAoProjeto) {
    g.Novo();
    const std::string destino = (pasta / "Estrada.mvd").string();
    d.Arquivos.push_back(destino);
    eventos.clear();
    g.Alterado = true;
    ASSERT_TRUE(g.Salvar());
    EXPECT_EQ(eventos, "CE");
    EXPECT_TRUE(fs::exists(destino));
    EXPECT_FALSE(g.Alterado);
    EXPECT_EQ(titulo, "Morvendo ('Estrada.mvd')");
    EXPECT_EQ(g.Recentes()[0], destino);
    // Agora tem nome: o próximo Salvar grava sem perguntar.
    eventos.clear();
    EXPECT_TRUE(g.Salvar());
    EXPECT_EQ(eventos, "CE");
}

TEST_F(Gerente, AbrirComSucessoELeituraRecusada) {
    const std::string a = Arquivo("Trecho A.mvd");
    AbrirComDialogo(a);
    EXPECT_EQ(eventos, "LZRAP");
    EXPECT_EQ(titulo, "Morvendo ('Trecho A.mvd')");
    EXPECT_EQ(g.NomeProposto, "Trecho A.mvd");
    EXPECT_EQ(g.Recentes()[0], a);
    EXPECT_FALSE(g.Alterado);

    // Leitura que falha sem erro: volta o caminho anterior, sem projeto, título intocado.
    leituraCerta = false;
    d.Arquivos.push_back(Arquivo("ruim.mvd"));
    EXPECT_FALSE(g.Abrir());
    EXPECT_EQ(g.PathProjeto, a);
    EXPECT_FALSE(g.ProjetoAberto());
    EXPECT_FALSE(g.Salvar());
    EXPECT_EQ(titulo, "Morvendo ('Trecho A.mvd')");
    ASSERT_TRUE(g.Fechar());
    EXPECT_EQ(titulo, "Morvendo");

    // Diálogo cancelado: nada acontece.
    eventos.clear();
    d.Arquivos.push_back(std::nullopt);
    EXPECT_FALSE(g.Abrir());
    EXPECT_EQ(eventos, "");
}

TEST_F(Gerente, ErroDeLeituraPassaNoAbrirESomeNoRecente) {
    erroLeitura = true;
    d.Arquivos.push_back(Arquivo("corrompido.mvd"));
    EXPECT_THROW(g.Abrir(), EArquivoRecusado);
    EXPECT_EQ(titulo, "Morvendo");
    EXPECT_FALSE(g.ProjetoAberto());

    EXPECT_FALSE(g.AbrirArquivo((pasta / "corrompido.mvd").string()));
    EXPECT_FALSE(g.ProjetoAberto());
}

// O arquivo é conferido antes de se mexer no projeto aberto: recusado, nada muda e nada é
// perguntado pelo caminho dado.
TEST_F(Gerente, ArquivoRecusadoNaConferenciaDeixaOProjetoComoEstava) {
    const std::string a = Arquivo("a.mvd");
    AbrirComDialogo(a);
    g.Alterado = true;
    const std::string ruim = Arquivo("ruim.mvd");
    std::vector<std::string> conferidos;
    g.OnConferirArquivo = [&](const std::string& c) {
        conferidos.push_back(c);
        if (c == ruim) throw EArquivoRecusado("Ocorreu um erro ao tentar ler o arquivo.");
    };
    eventos.clear();
    EXPECT_THROW(g.AbrirArquivo(ruim), EArquivoRecusado);
    EXPECT_TRUE(d.Perguntas.empty());
    d.Respostas.push_back(TResposta::Nao);
    d.Arquivos.push_back(ruim);
    EXPECT_THROW(g.Abrir(), EArquivoRecusado);
    EXPECT_EQ(conferidos, (std::vector<std::string>{ruim, ruim}));
    EXPECT_EQ(eventos, "");
    EXPECT_TRUE(g.ProjetoAberto());
    EXPECT_TRUE(g.Alterado);
    EXPECT_EQ(g.PathProjeto, a);
    EXPECT_EQ(titulo, "Morvendo ('a.mvd')");
    EXPECT_EQ(g.Recentes()[0], a);

    // Aceito, segue a abertura de sempre.
    d.Respostas.push_back(TResposta::Nao);
    const std::string b = Arquivo("b.mvd");
    EXPECT_TRUE(g.AbrirArquivo(b));
    EXPECT_EQ(eventos, "LZRAP");
    EXPECT_EQ(g.PathProjeto, b);
}

TEST_F(Gerente, RecenteQueSumiuEAvisadoSemFecharOProjeto) {
    const std::string a = Arquivo("a.mvd");
    AbrirComDialogo(a);
    g.Alterado = true;
    eventos.clear();
    try {
        g.AbrirArquivo((pasta / "sumiu.mvd").string());
        FAIL();
    } catch (const EArquivoNaoExiste& e) {
        EXPECT_EQ(std::string(e.what()),
                  "O arquivo " + (pasta / "sumiu.mvd").string() + " não foi encontrado.");
    }
    EXPECT_TRUE(d.Perguntas.empty());
    EXPECT_EQ(eventos, "");
    EXPECT_TRUE(g.ProjetoAberto());
    EXPECT_TRUE(g.Alterado);
    EXPECT_EQ(g.PathProjeto, a);

    // Item vazio da lista: depois da pergunta, o projeto é fechado e nada aparece.
    erroLeitura = true;
    d.Respostas.push_back(TResposta::Nao);
    EXPECT_FALSE(g.AbrirArquivo(""));
    EXPECT_EQ(d.Perguntas, std::vector<std::string>{"Deseja salvar as alterações em a.mvd"});
    EXPECT_FALSE(g.ProjetoAberto());
    EXPECT_EQ(titulo, "Morvendo");
}

struct TCasoRecentes {
    const char* nome;
    TLista antes;
    const char* aberto;
    TLista depois;
};

void PrintTo(const TCasoRecentes& c, std::ostream* os) {
    *os << c.nome;
}

class Recentes : public Gerente, public ::testing::WithParamInterface<TCasoRecentes> {};

TEST_P(Recentes, Reordena) {
    const TCasoRecentes& c = GetParam();
    g.DefinirRecentes(c.antes);
    AbrirComDialogo(c.aberto);
    EXPECT_EQ(g.Recentes(), c.depois);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Recentes,
    ::testing::Values(
        TCasoRecentes{"maiusculas_na_entrada_2",
                      {"c:\\proj\\b.mvd", "C:\\PROJ\\a.MVD", "x", "y"},
                      "c:\\proj\\A.mvd",
                      {"c:\\proj\\A.mvd", "c:\\proj\\b.mvd", "x", "y"}},
        TCasoRecentes{"entrada_3", {"a", "b", "c", "d"}, "C", {"C", "a", "b", "d"}},
        TCasoRecentes{"entrada_4", {"a", "b", "c", "d"}, "d", {"d", "a", "b", "c"}},
        TCasoRecentes{"entrada_1_nao_muda", {"a", "b", "c", "d"}, "A", {"a", "b", "c", "d"}},
        TCasoRecentes{
            "quinto_descarta_o_mais_antigo", {"a", "b", "c", "d"}, "e", {"e", "a", "b", "c"}},
        TCasoRecentes{"acentos",
                      {"/x/b", "/x/ação.mvd", "", ""},
                      "/X/AÇÃO.MVD",
                      {"/X/AÇÃO.MVD", "/x/b", "", ""}},
        TCasoRecentes{"lista_vazia", {"", "", "", ""}, "/p.mvd", {"/p.mvd", "", "", ""}}));

TEST_F(Gerente, FecharPerguntaSoQuandoAlterado) {
    AbrirComDialogo(Arquivo("a.mvd"));
    eventos.clear();
    ASSERT_TRUE(g.Fechar());
    EXPECT_TRUE(d.Perguntas.empty());
    EXPECT_EQ(eventos, "LZD");
    EXPECT_EQ(titulo, "Morvendo");

    AbrirComDialogo((pasta / "a.mvd").string());
    g.Alterado = true;
    d.Respostas = {TResposta::Cancelar, TResposta::Sim};
    EXPECT_FALSE(g.Fechar());
    EXPECT_TRUE(g.ProjetoAberto());
    EXPECT_EQ(titulo, "Morvendo ('a.mvd')");
    eventos.clear();
    EXPECT_TRUE(g.Fechar());
    EXPECT_EQ(d.Perguntas, std::vector<std::string>(2, "Deseja salvar as alterações em a.mvd"));
    EXPECT_EQ(eventos, "CECLZD");
}

TEST_F(Gerente, GravacaoQueFalhaMantemAsAlteracoes) {
    AbrirComDialogo(Arquivo("a.mvd"));
    g.Alterado = true;
    falharGravacao = true;
    d.Respostas.push_back(TResposta::Sim);
    EXPECT_THROW(g.Fechar(), EEntradaSaida);
    EXPECT_TRUE(g.Alterado);
    EXPECT_TRUE(g.ProjetoAberto());

    // Salvar Como para um arquivo que não pôde ser gravado não muda o nome do projeto.
    d.Arquivos.push_back((pasta / "b.mvd").string());
    EXPECT_THROW(g.SalvarComo(), EEntradaSaida);
    EXPECT_EQ(g.NomeProjeto, "a.mvd");
    EXPECT_EQ(g.PathProjeto, (pasta / "a.mvd").string());
    EXPECT_TRUE(g.Alterado);
}

TEST_F(Gerente, NovoComAlteracoesPerguntaENaoPerdeQuandoOSalvarEDesistido) {
    g.Novo();
    g.Alterado = true;
    d.Respostas.push_back(TResposta::Sim);
    d.Arquivos.push_back(std::nullopt);
    eventos.clear();
    EXPECT_FALSE(g.Novo());
    EXPECT_EQ(d.Perguntas,
              std::vector<std::string>{"Deseja Salvar as Alterações em \"PerdaSolo.mvd\""});
    EXPECT_EQ(eventos, "");
    EXPECT_TRUE(g.Alterado);

    d.Respostas.push_back(TResposta::Nao);
    EXPECT_TRUE(g.Novo());
    EXPECT_FALSE(g.Alterado);
}

TEST_F(Gerente, SalvarComoSobreArquivoExistente) {
    const std::string existente = Arquivo("existe.mvd");
    const std::string outro = (pasta / "outro.mvd").string();
    g.Novo();

    // "Não" reabre o diálogo; desistir então não conta como gravação.
    d.Arquivos = {existente, std::nullopt};
    d.Respostas = {TResposta::Nao};
    EXPECT_FALSE(g.SalvarComo());
    EXPECT_EQ(d.Perguntas, std::vector<std::string>{"Arquivo já existente. Deseja substituir?"});
    EXPECT_EQ(d.TitulosSalvar.size(), 2u);
    EXPECT_EQ(LerBytes(existente), "x");
    EXPECT_EQ(g.NomeProjeto, "\"PerdaSolo.mvd\"");
    EXPECT_EQ(g.Recentes()[0], "");

    // "Não", depois outro arquivo: grava o outro.
    d.Arquivos = {existente, outro};
    d.Respostas = {TResposta::Nao};
    EXPECT_TRUE(g.SalvarComo());
    EXPECT_EQ(LerBytes(existente), "x");
    EXPECT_TRUE(fs::exists(outro));
    EXPECT_EQ(titulo, "Morvendo ('outro.mvd')");

    // "Sim" substitui.
    d.Arquivos = {existente};
    d.Respostas = {TResposta::Sim};
    eventos.clear();
    EXPECT_TRUE(g.SalvarComo());
    EXPECT_EQ(eventos, "CCE");
    EXPECT_NE(LerBytes(existente), "x");
    EXPECT_EQ(g.Recentes(), (TLista{existente, outro, "", ""}));
    EXPECT_EQ(g.NomeProposto, "existe.mvd");
}

// Um processo que grava o projeto sem parar é morto em momentos variados: o arquivo que fica
// é sempre um projeto inteiro, com as seções que não são do projeto.
TEST(GravacaoDoProjeto, InterrompidaNuncaDeixaArquivoPelaMetade) {
    TPastaTemporaria pasta("gravacao");
    const std::string destino = (pasta / "p.mvd").string();
    GravarBytes(destino,
                LerBytes(DADOS_REFERENCIA + "c03_equiv_200m.mvd") + "[OUTRA]\r\nChave=fica\r\n");
    for (int i = 0; i < 25; ++i) {
        const pid_t filho = fork();
        ASSERT_GE(filho, 0);
        if (filho == 0) {
            TUnidades u;
            TProjeto p(u);
            ZerarVariaveis(p);
            if (!LerProjeto(p, destino)) _exit(3);
            for (int k = 0;; ++k) {
                p.Estrada.TrDim = 10 + k % 7;
                EscreverProjeto(p, destino);
            }
        }
        usleep(useconds_t(3000 + i * 1500));
        kill(filho, SIGKILL);
        int estado = 0;
        waitpid(filho, &estado, 0);
        ASSERT_TRUE(WIFSIGNALED(estado)) << "o filho terminou sozinho";
        TUnidades u;
        TProjeto p(u);
        ZerarVariaveis(p);
        ASSERT_TRUE(LerProjeto(p, destino)) << "rodada " << i;
        EXPECT_EQ(p.Estrada.Comprimento(), 200);
        TArquivoIni ini(destino);
        EXPECT_EQ(ini.LerTexto("OUTRA", "Chave", ""), "fica");
    }
}

} // namespace
