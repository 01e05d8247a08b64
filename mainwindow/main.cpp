#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "mainwindow/Principal.h"

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
    janela.show();
    return QApplication::exec();
}
