// Não é teste: abre a janela de ajuda para as capturas de tela de docs/telas.
//   telas_ajuda contexto N          página do contexto N
//   telas_ajuda pesquisa PALAVRAS   aba Pesquisar, com a primeira página achada aberta
#include <QApplication>
#include <QListWidget>
#include <QTimer>
#include <QTreeWidget>

#include "ajuda/Ajuda.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString modo = argc > 1 ? QString::fromUtf8(argv[1]) : QStringLiteral("contexto");
    const QString valor = argc > 2 ? QString::fromUtf8(argv[2]) : QStringLiteral("16");
    TJanelaAjuda* janela = Ajuda::Janela();
    janela->resize(1100, 720);
    janela->move(0, 0);
    janela->findChild<QTreeWidget*>(QStringLiteral("arvoreConteudo"))->expandAll();
    if (modo == QStringLiteral("pesquisa")) {
        Ajuda::AbrirConteudo();
        janela->MostrarPesquisa(valor);
        auto* resultados = janela->findChild<QListWidget*>(QStringLiteral("lstPesquisa"));
        if (resultados->count() > 0) emit resultados->itemActivated(resultados->item(0));
    } else {
        Ajuda::AbrirContexto(valor.toInt());
    }
    QTimer::singleShot(10000, &app, &QApplication::quit);
    return app.exec();
}
