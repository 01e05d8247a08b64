#include <QApplication>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QTranslator>

#include <QUrl>

#include <cstdio>

#include "ajuda/Ajuda.h"
#include "idf/EstacoesUsuario.h"
#include "idf/ui/AmbienteConsulta.h"
#include "mainwindow/Principal.h"

namespace {

// Sem ninguém diante da tela: erros e avisos vão para a saída de erros, perguntas têm a
// resposta que não altera nada e nenhum diálogo fica à espera.
class TInteracaoTerminal : public IInteracaoPrincipal {
public:
    void MostrarErro(const std::string& m) override { std::fprintf(stderr, "%s\n", m.c_str()); }
    void MostrarInformacao(const std::string& m) override {
        std::fprintf(stderr, "%s\n", m.c_str());
    }
    bool AbrirEndereco(const QUrl&) override { return false; }
    TResposta Perguntar(const std::string&, bool comCancelar) override {
        return comCancelar ? TResposta::Cancelar : TResposta::Nao;
    }
    std::optional<std::string> EscolherArquivoAbrir() override { return std::nullopt; }
    std::optional<std::string> EscolherArquivoSalvar(const std::string&,
                                                     const std::string&) override {
        return std::nullopt;
    }
};

// "--verificar PROJETO.mvd": abre o projeto e o calcula pela janela, sem mostrá-la, e diz o
// espaçamento encontrado. Serve para conferir uma instalação.
int Verificar(const char* projeto) {
    TInteracaoTerminal interacao;
    TOpcoesPrincipal opcoes;
    opcoes.Interacao = &interacao;
    TJanelaPrincipal janela(opcoes);
    if (!janela.AbrirProjeto(projeto)) return 1;
    janela.CalcularClick();
    if (janela.PaginaAtual() != PAG_RESULTADO) return 1;
    std::printf("Espaçamento máximo: %s m\n", janela.eCompMax->text().toUtf8().constData());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvendo"));
    QApplication::setOrganizationName(QStringLiteral("Morvendo"));
    // As estações do usuário, que a consulta edita e o relatório cita.
    DefinirPastaDadosUsuario(PastaDadosUsuarioDoPrograma().toStdString());
    // Textos do próprio Qt (menus de contexto, diálogos) em português.
    QTranslator traducao;
    if (traducao.load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traducao);
    const QStringList argumentos = QCoreApplication::arguments();
    if (argumentos.size() == 3 && argumentos[1] == QStringLiteral("--verificar"))
        return Verificar(argv[2]);
    TJanelaPrincipal janela;
    janela.DefinirAjuda({[](int c) { Ajuda::AbrirContexto(c); }, [] { Ajuda::AbrirConteudo(); },
                         [] { Ajuda::AbrirIndice(); }});
    Ajuda::InstalarTeclaF1();

    janela.show();
    // Um projeto dado ao abrir o programa (pelo tipo de arquivo associado, por exemplo).
    if (argumentos.size() == 2) janela.AbrirProjeto(argumentos[1].toStdString());
    return QApplication::exec();
}
