#include "project/GerenteArquivo.h"

#include <filesystem>

#include "comum/EMorvendo.h"

namespace fs = std::filesystem;

namespace {

const char* const PERGUNTA_NOVO = "Deseja Salvar as Alterações em ";
const char* const PERGUNTA_SALVAR = "Deseja salvar as alterações em ";
const char* const PERGUNTA_SUBSTITUIR = "Arquivo já existente. Deseja substituir?";
const char* const TITULO_SALVAR_COMO = "Salvar Como";

std::string Maiusculas(const std::string& s) {
    std::string r = s;
    for (std::size_t i = 0; i < r.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(r[i]);
        if (c >= 'a' && c <= 'z') {
            r[i] = char(c - 32);
        } else if (c == 0xC3 && i + 1 < r.size()) {
            // à..þ (menos ÷) em UTF-8: o segundo byte da maiúscula é 0x20 menor.
            unsigned char d = static_cast<unsigned char>(r[i + 1]);
            if (d >= 0xA0 && d <= 0xBE && d != 0xB7) r[i + 1] = char(d - 0x20);
            ++i;
        }
    }
    return r;
}

// Restaura um valor ao sair do escopo, a menos que seja confirmado.
template <typename T> class TRestaurar {
public:
    explicit TRestaurar(T& v) : FRef(v), FAntigo(v) {}
    ~TRestaurar() {
        if (!FConfirmado) FRef = FAntigo;
    }
    TRestaurar(const TRestaurar&) = delete;
    TRestaurar& operator=(const TRestaurar&) = delete;
    void Confirmar() { FConfirmado = true; }

private:
    T& FRef;
    T FAntigo;
    bool FConfirmado = false;
};

} // namespace

std::string NomeSemPasta(const std::string& caminho) {
    return fs::path(caminho).filename().string();
}

bool MesmoCaminho(const std::string& a, const std::string& b) {
    return Maiusculas(a) == Maiusculas(b);
}

void TGerenteArquivo::Zerar() {
    Alterado = false;
    FProjetoAberto = false;
    FPodeGravar = false;
    Chamar(OnZerarVariaveis);
}

void TGerenteArquivo::AtualizarRecentes() {
    auto& r = FRecentes;
    const std::string p = PathProjeto;
    if (MesmoCaminho(p, r[1])) {
        r[1] = r[0];
    } else if (MesmoCaminho(p, r[2])) {
        r[2] = r[1];
        r[1] = r[0];
    } else if (MesmoCaminho(p, r[3])) {
        r[3] = r[2];
        r[2] = r[1];
        r[1] = r[0];
    } else if (MesmoCaminho(p, r[0])) {
        return;
    } else {
        r[3] = r[2];
        r[2] = r[1];
        r[1] = r[0];
    }
    r[0] = p;
}

bool TGerenteArquivo::PerguntarSalvar(const char* texto) {
    if (!(Alterado && FProjetoAberto)) return true;
    switch (FDialogos->Perguntar(texto + NomeProjeto, true)) {
    case TResposta::Cancelar:
        return false;
    case TResposta::Sim:
        // Quem pediu para salvar e desistiu do diálogo não perde as alterações.
        return Salvar();
    case TResposta::Nao:
        break;
    }
    return true;
}

bool TGerenteArquivo::Novo() {
    if (!PerguntarSalvar(PERGUNTA_NOVO)) return false;
    Zerar();
    Chamar(OnAbilitarCampos);
    Chamar(OnLimparCamposDados);
    FProjetoAberto = true;
    FPodeGravar = true;
    Alterado = false;
    NomeProjeto = NomeDefaultEntreAspas();
    PathProjeto = (fs::path(PastaPrograma) / NomeDefault).string();
    Titulo(TituloProjetoNovo());
    return true;
}

bool TGerenteArquivo::Abrir() {
    if (!PerguntarSalvar(PERGUNTA_SALVAR)) return false;
    const std::optional<std::string> escolhido = FDialogos->EscolherArquivoAbrir();
    if (!escolhido) return false;
    if (OnConferirArquivo) OnConferirArquivo(*escolhido);
    Chamar(OnLimparCamposDados);
    Zerar();
    const std::string anterior = PathProjeto;
    PathProjeto = *escolhido;
    FLeuCerto = false;
    if (OnLerArquivo) OnLerArquivo(FLeuCerto);
    if (!FLeuCerto) {
        PathProjeto = anterior;
        return false;
    }
    NomeProjeto = NomeSemPasta(*escolhido);
    Titulo(TituloProjetoNomeado());
    NomeProposto = NomeProjeto;
    AtualizarRecentes();
    Chamar(OnAbilitarCampos);
    FProjetoAberto = true;
    FPodeGravar = true;
    Alterado = false;
    Chamar(OnPreencherCamposDados);
    return true;
}

bool TGerenteArquivo::AbrirArquivo(const std::string& caminho) {
    // Um arquivo que sumiu é avisado antes de se mexer no projeto aberto.
    if (!caminho.empty() && !fs::exists(caminho))
        throw EArquivoNaoExiste("O arquivo " + caminho + " não foi encontrado.");
    if (OnConferirArquivo && !caminho.empty()) OnConferirArquivo(caminho);
    if (!PerguntarSalvar(PERGUNTA_SALVAR)) return false;
    const std::string anterior = PathProjeto;
    PathProjeto = caminho;
    NomeProjeto = NomeSemPasta(caminho);
    try {
        Chamar(OnLimparCamposDados);
        Zerar();
        FLeuCerto = false;
        if (OnLerArquivo) OnLerArquivo(FLeuCerto);
        if (!FLeuCerto) {
            PathProjeto = anterior;
            return false;
        }
        Chamar(OnAbilitarCampos);
        FProjetoAberto = true;
        FPodeGravar = true;
        Alterado = false;
        Titulo(TituloProjetoNomeado());
        AtualizarRecentes();
        Chamar(OnPreencherCamposDados);
        return true;
    } catch (...) {
        return false;
    }
}

bool TGerenteArquivo::Salvar() {
    if (NomeProjeto == NomeDefaultEntreAspas()) return SalvarComo();
    bool gravou = false;
    if (FPodeGravar) {
        FProjetoAberto = true;
        // Se a gravação falhar, as alterações continuam marcadas e o fechamento pergunta.
        TRestaurar<bool> alterado(Alterado);
        Alterado = false;
        Chamar(OnLerCamposDados);
        Chamar(OnEscreverArquivo);
        alterado.Confirmar();
        gravou = true;
    }
    AtualizarRecentes();
    return gravou;
}

bool TGerenteArquivo::SalvarComo() {
    // Um projeto com arquivo é proposto ao lado de si mesmo; um novo, com o nome padrão.
    const std::string proposto =
        NomeProjeto == NomeDefaultEntreAspas() || PathProjeto.empty() ? NomeDefault : PathProjeto;
    for (;;) {
        const std::optional<std::string> escolhido =
            FDialogos->EscolherArquivoSalvar(TITULO_SALVAR_COMO, proposto);
        if (!escolhido) return false;
        if (fs::exists(*escolhido)) {
            // "Não" volta ao diálogo; o resultado é o da nova escolha.
            if (FDialogos->Perguntar(PERGUNTA_SUBSTITUIR, false) != TResposta::Sim) continue;
            Chamar(OnLerCamposDados);
        }
        TRestaurar<std::string> nome(NomeProjeto), caminho(PathProjeto);
        TRestaurar<bool> podeGravar(FPodeGravar);
        NomeProjeto = NomeSemPasta(*escolhido);
        PathProjeto = *escolhido;
        FPodeGravar = true;
        Salvar();
        nome.Confirmar();
        caminho.Confirmar();
        podeGravar.Confirmar();
        NomeProposto = NomeProjeto;
        Titulo(TituloProjetoNomeado());
        AtualizarRecentes();
        return true;
    }
}

bool TGerenteArquivo::Fechar() {
    if (Alterado) {
        switch (FDialogos->Perguntar(PERGUNTA_SALVAR + NomeProjeto, true)) {
        case TResposta::Cancelar:
            return false;
        case TResposta::Sim:
            if (!Salvar()) return false;
            AtualizarRecentes();
            Chamar(OnLerCamposDados);
            break;
        case TResposta::Nao:
            break;
        }
    }
    Chamar(OnLimparCamposDados);
    Zerar();
    Chamar(OnDesabilitarCampos);
    Alterado = false;
    FProjetoAberto = false;
    Titulo(TituloSemProjeto());
    return true;
}
