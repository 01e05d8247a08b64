#include <QApplication>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

#include "ajuda/Ajuda.h"
#include "mainwindow/Principal.h"

namespace {

// "--verificar PROJETO.mvd": abre o projeto e o calcula pela janela, sem mostrá-la, e diz o
// espaçamento encontrado. Serve para conferir uma instalação.
int Verificar(TFPrincipal& janela, const char* projeto) {
    if (!janela.AbrirProjeto(projeto)) return 1;
    janela.btnTracarCanalEstradaClick();
    if (janela.PaginaAtual() != PAG_RESULTADO) return 1;
    std::printf("Espaçamento máximo: %s m\n", janela.eCompMax->text().toUtf8().constData());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvendo"));
    QApplication::setOrganizationName(QStringLiteral("Morvendo"));
    // Textos do próprio Qt (menus de contexto, diálogos) em português.
    QTranslator traducao;
    if (traducao.load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traducao);
    TFPrincipal janela;
    janela.DefinirAjuda({[](int c) { Ajuda::AbrirContexto(c); }, [] { Ajuda::AbrirConteudo(); },
                         [] { Ajuda::AbrirIndice(); }});
    Ajuda::InstalarTeclaF1();

    const QStringList argumentos = QCoreApplication::arguments();
    if (argumentos.size() == 3 && argumentos[1] == QStringLiteral("--verificar"))
        return Verificar(janela, argv[2]);
    janela.show();
    // Um projeto dado ao abrir o programa (pelo tipo de arquivo associado, por exemplo).
    if (argumentos.size() == 2) janela.AbrirProjeto(argumentos[1].toStdString());
    return QApplication::exec();
}
