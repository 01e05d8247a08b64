// Abre a consulta para as capturas de tela da documentação:
//   telas_consulta brasil   estação de Iraí (RS), com os dados distribuídos
//   telas_consulta estado   Paraná com uma localidade e a cruz, no banco de teste
//   telas_consulta relatorio  o relatório dessa consulta; grava também relatorio.pdf
//   telas_consulta autor    a janela da referência da estação de Iraí
//   telas_consulta sobre    a caixa "Sobre"
// A janela fica aberta alguns segundos para a captura (import -window root).
#include "BancoTeste.h"

#include "engine/uPersistencia.h"
#include "idf/ui/FoConsulta.h"
#include "idf/ui/FoRelatTarsio.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPrinter>
#include <QTextBrowser>
#include <QTimer>

#include <iostream>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    DefinirSeparadorDecimalLocal(QLocale::system().decimalPoint().at(0).toLatin1());
    const QString tela = argc > 1 ? argv[1] : "brasil";
    const int segundos = argc > 2 ? std::atoi(argv[2]) : 4;
    std::unique_ptr<TBancoTeste> banco;
    TAmbienteConsulta ambiente = AmbienteConsultaPadrao();
    const bool comBanco = tela == "estado" || tela == "relatorio";
    if (comBanco) {
        banco = std::make_unique<TBancoTeste>();
        ambiente = banco->Ambiente();
    }
    TfrmFoConsulta d(ambiente);
    d.DefinirEstado(comBanco ? 15 : 20);
    d.DefinirPosicoes(comBanco ? -1 : 0, comBanco ? 1 : -1);
    d.show();
    std::unique_ptr<TfrmFoRelatTarsio> relatorio;
    if (tela == "relatorio")
        QTimer::singleShot(200, [&] {
            relatorio = std::make_unique<TfrmFoRelatTarsio>([&] { return d.DadosRelatorio(); },
                                                            ambiente, &d);
            relatorio->show();
            QPrinter pdf;
            pdf.setOutputFormat(QPrinter::PdfFormat);
            pdf.setOutputFileName("relatorio.pdf");
            ImprimirDocumento(*relatorio->Viewer->document(), pdf);
        });
    if (tela == "autor") QTimer::singleShot(200, [&] { d.AutorClick(); });
    if (tela == "sobre") QTimer::singleShot(200, [&] { d.Sobre1Click(); });
    QTimer::singleShot(segundos * 1000, &app, &QApplication::quit);
    const int r = app.exec();
    if (banco && !banco->Mensagens.Erros.isEmpty())
        std::cerr << banco->Mensagens.Erros.join('\n').toStdString() << '\n';
    return r;
}
