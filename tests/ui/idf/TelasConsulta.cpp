// Abre a consulta para as capturas de tela da documentação:
//   telas_consulta brasil   estação de Iraí (RS), com os dados distribuídos
//   telas_consulta estado   Paraná com uma localidade e a cruz, no banco de teste
//   telas_consulta relatorio  o relatório dessa consulta; grava também relatorio.pdf
//   telas_consulta autor    a janela da referência da estação de Iraí
//   telas_consulta sobre    a caixa "Sobre"
// A janela fica aberta alguns segundos para a captura (import -window root).
//   telas_consulta png PASTA  grava direto em PASTA, com os dados distribuídos: a consulta
//                             no mapa de São Paulo, "Minhas estações", o editor de uma
//                             estação e o ajuste de uma equação publicada
#include "BancoTeste.h"

#include "engine/Persistencia.h"
#include "idf/ui/DialogoAjusteIdf.h"
#include "idf/ui/DialogoConsulta.h"
#include "idf/ui/DialogoMinhasEstacoes.h"
#include "idf/ui/DialogoRelatorioConsulta.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>

#include <iostream>

namespace {

bool Gravar(QWidget& janela, const QString& caminho) {
    janela.show();
    QApplication::processEvents();
    QApplication::processEvents();
    const bool ok = janela.grab().save(caminho);
    std::cout << caminho.toStdString() << (ok ? "" : ": falhou") << '\n';
    return ok;
}

// Capturas da documentação, sem servidor gráfico (QT_QPA_PLATFORM=offscreen).
int GravarTelas(const QString& pasta) {
    QTemporaryDir usuario;
    TAmbienteConsulta ambiente = AmbienteConsultaPadrao();
    ambiente.PastaUsuario = usuario.path();
    bool ok = true;
    {
        TDialogoConsulta d(ambiente);
        d.DefinirEstado(24);
        d.show();
        QApplication::processEvents();
        d.FormActivate();
        // Entre as três estações de São Paulo.
        const TPixel p = PontoParaPixel(*MolduraEstado(24), 22.0, 48.5);
        d.EstadoBMPMouseMove(PixelInteiro(p.X), PixelInteiro(p.Y));
        d.EstadoBMPMouseUp(PixelInteiro(p.X), PixelInteiro(p.Y));
        ok = Gravar(d, pasta + "/consulta-sao-paulo.png") && ok;
    }
    TEstacoesUsuario minhas(usuario.path().toStdString());
    TEstacaoUsuario exemplo;
    exemplo.Estado = 24;
    exemplo.Nome = "Exemplo ilustrativo";
    exemplo.Latitude = 22.9;
    exemplo.Longitude = 47.06;
    exemplo.K = 2500;
    exemplo.A = 0.2;
    exemplo.B = 20;
    exemplo.C = 0.9;
    exemplo.DuracaoMin = 10;
    exemplo.DuracaoMax = 1440;
    exemplo.Fonte = "Exemplo da documentação, sem fonte: não use estes números";
    minhas.Adicionar(exemplo);
    {
        TDialogoMinhasEstacoes lista(minhas, ambiente.Avisos());
        ok = Gravar(lista, pasta + "/minhas-estacoes.png") && ok;
    }
    {
        TDialogoEstacaoUsuario editor(ambiente.Avisos());
        editor.DefinirEstacao(exemplo);
        ok = Gravar(editor, pasta + "/estacao-editor.png") && ok;
    }
    {
        // A equação de duplo logaritmo publicada para Andradina (mm/min, 10 a 1440 min).
        TDialogoAjusteIdf ajuste(ambiente.Avisos());
        ajuste.SalvarComoEstacao = [](const TResultadoAjusteIdf&, double, double) {};
        ajuste.Origem->setCurrentIndex(1);
        const std::pair<QLineEdit*, const char*> valores[] = {
            {ajuste.eA, "34,5743"},      {ajuste.eB, "20"},      {ajuste.eC, "-0,8809"},
            {ajuste.eD, "2,6906"},       {ajuste.eE, "10"},      {ajuste.eF, "-0,6683"},
            {ajuste.eG, "-0,4766"},      {ajuste.eH, "-0,8977"}, {ajuste.eDuracaoMin, "10"},
            {ajuste.eDuracaoMax, "1440"}};
        for (const auto& [e, v] : valores)
            e->setText(QString::fromUtf8(v));
        ajuste.AjustarClick();
        ok = Gravar(ajuste, pasta + "/ajuste-idf.png") && ok;
    }
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    DefinirSeparadorDecimalLocal(QLocale::system().decimalPoint().at(0).toLatin1());
    const QString tela = argc > 1 ? argv[1] : "brasil";
    if (tela == "png") {
        DefinirSeparadorDecimalLocal(',');
        return GravarTelas(argc > 2 ? argv[2] : ".");
    }
    const int segundos = argc > 2 ? std::atoi(argv[2]) : 4;
    std::unique_ptr<TBancoTeste> banco;
    TAmbienteConsulta ambiente = AmbienteConsultaPadrao();
    const bool comBanco = tela == "estado" || tela == "relatorio";
    if (comBanco) {
        banco = std::make_unique<TBancoTeste>();
        ambiente = banco->Ambiente();
    }
    TDialogoConsulta d(ambiente);
    d.DefinirEstado(comBanco ? 15 : 20);
    d.DefinirPosicoes(comBanco ? -1 : 0, comBanco ? 1 : -1);
    d.show();
    std::unique_ptr<TDialogoRelatorioConsulta> relatorio;
    if (tela == "relatorio")
        QTimer::singleShot(200, [&] {
            relatorio = std::make_unique<TDialogoRelatorioConsulta>(
                [&] { return d.DadosRelatorio(); }, ambiente, &d);
            relatorio->show();
            QPrinter pdf;
            pdf.setOutputFormat(QPrinter::PdfFormat);
            pdf.setOutputFileName("relatorio.pdf");
            ImprimirDocumento(*relatorio->Viewer->document(), pdf);
        });
    if (tela == "autor") QTimer::singleShot(200, [&] { d.AutorClick(); });
    if (tela == "sobre") QTimer::singleShot(200, [&] { d.SobreClick(); });
    QTimer::singleShot(segundos * 1000, &app, &QApplication::quit);
    const int r = app.exec();
    if (banco && !banco->Mensagens.Erros.isEmpty())
        std::cerr << banco->Mensagens.Erros.join('\n').toStdString() << '\n';
    return r;
}
