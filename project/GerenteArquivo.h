#pragma once
#include <array>
#include <functional>
#include <optional>
#include <string>

// Resposta de uma pergunta de confirmação.
enum class TResposta { Sim, Nao, Cancelar };

// Perguntas e diálogos de arquivo que o gerente de projetos mostra. A interface gráfica
// implementa com as caixas da plataforma; os testes, com respostas roteirizadas.
class IDialogosGerente {
public:
    virtual ~IDialogosGerente() = default;
    // Pergunta de confirmação com Sim, Não e, quando pedido, Cancelar.
    virtual TResposta Perguntar(const std::string& texto, bool comCancelar) = 0;
    // Caminho escolhido no diálogo de abrir; vazio quando o usuário desiste.
    virtual std::optional<std::string> EscolherArquivoAbrir() = 0;
    // Caminho escolhido no diálogo de salvar, com o título e o nome proposto dados.
    virtual std::optional<std::string> EscolherArquivoSalvar(const std::string& titulo,
                                                             const std::string& nomeProposto) = 0;
};

// Vida de um arquivo de projeto: novo, abrir, salvar, fechar, a marca de alterado, as
// perguntas que protegem as alterações, o título da janela e os projetos recentes. Não
// conhece os dados: tudo o que mexe neles é feito pela janela dona através dos eventos.
class TGerenteArquivo {
public:
    static constexpr int NumRecentes = 4;

    explicit TGerenteArquivo(IDialogosGerente& dialogos) : FDialogos(&dialogos) {}

    bool Novo();
    bool Abrir();
    bool AbrirArquivo(const std::string& caminho);
    bool Salvar();
    bool SalvarComo();
    bool Fechar();

    void DefinirDialogos(IDialogosGerente& dialogos) { FDialogos = &dialogos; }

    std::string TituloPrograma;
    std::string PathProjeto;
    std::string NomeProjeto;
    bool Alterado = false;
    std::string NomeDefault = "PerdaSolo.mvd";
    // Pasta do programa: a de um projeto novo.
    std::string PastaPrograma;
    // Nome que o diálogo de salvar propõe.
    std::string NomeProposto;

    // Lê o arquivo escolhido à parte, antes de se mexer no projeto aberto; um erro aqui
    // deixa tudo como estava.
    std::function<void(const std::string& caminho)> OnConferirArquivo;
    std::function<void()> OnZerarVariaveis;
    std::function<void(bool& leuCerto)> OnLerArquivo;
    std::function<void()> OnEscreverArquivo;
    std::function<void()> OnAbilitarCampos;
    std::function<void()> OnDesabilitarCampos;
    std::function<void()> OnLerCamposDados;
    std::function<void()> OnPreencherCamposDados;
    std::function<void()> OnLimparCamposDados;
    // Título da janela dona.
    std::function<void(const std::string&)> OnTitulo;

    const std::array<std::string, NumRecentes>& Recentes() const { return FRecentes; }
    void DefinirRecentes(const std::array<std::string, NumRecentes>& r) { FRecentes = r; }
    bool ProjetoAberto() const { return FProjetoAberto; }
    bool PodeGravar() const { return FPodeGravar; }
    bool LeuCerto() const { return FLeuCerto; }

    // Título da janela em cada situação.
    std::string TituloSemProjeto() const { return TituloPrograma; }
    std::string TituloProjetoNovo() const { return TituloPrograma + " (" + NomeProjeto + ")"; }
    std::string TituloProjetoNomeado() const { return TituloPrograma + " ('" + NomeProjeto + "')"; }

private:
    void Zerar();
    void AtualizarRecentes();
    // Pergunta se salva as alterações; falso quando o usuário cancela.
    bool PerguntarSalvar(const char* texto);
    void Titulo(const std::string& t) {
        if (OnTitulo) OnTitulo(t);
    }
    static void Chamar(const std::function<void()>& evento) {
        if (evento) evento();
    }
    std::string NomeDefaultEntreAspas() const { return "\"" + NomeDefault + "\""; }

    IDialogosGerente* FDialogos;
    std::array<std::string, NumRecentes> FRecentes;
    bool FLeuCerto = false;
    bool FProjetoAberto = false;
    bool FPodeGravar = false;
};

// Nome do arquivo sem a pasta.
std::string NomeSemPasta(const std::string& caminho);
// Comparação de caminhos sem distinção de maiúsculas (ASCII e letras acentuadas latinas).
bool MesmoCaminho(const std::string& a, const std::string& b);
