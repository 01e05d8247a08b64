// Grava as figuras do programa na pasta dada (a compilação passa a pasta do programa).
#include "figuras/Desenhos.h"

#include <QGuiApplication>

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "uso: gerar_figuras_programa <pasta do programa>\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString erro;
    if (!GravarFigurasPrograma(QString::fromLocal8Bit(argv[1]), &erro)) {
        std::cerr << "erro: " << erro.toStdString() << '\n';
        return 1;
    }
    return 0;
}
