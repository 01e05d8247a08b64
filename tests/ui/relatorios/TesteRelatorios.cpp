// Janela do relatório da estrada e página de simulação, dirigidas como uma pessoa as usa.
#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include <functional>

#include "engine/Persistencia.h"
#include "mainwindow/simulacao/Simulacao.h"
#include "project/Calculo.h"
#include "reports/ui/RelatorioEstradaUi.h"

namespace {

const QString DADOS = MORVENDO_DADOS_TESTE;

// Páginas de um PDF: os objetos "/Type /Page" (não "/Pages").
int PaginasPdf(const QString& caminho) {
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray b = f.readAll();
    if (!b.startsWith("%PDF")) return -1;
    return int(QString::fromLatin1(b).count(QRegularExpression("/Type\\s*/Page[^s]")));
}

void AoAbrir(std::function<void(QWidget*)> acao) {
    QTimer::singleShot(0, [acao] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            QTest::qFail("a janela não abriu", __FILE__, __LINE__);
            return;
        }
        QTimer::singleShot(5000, w, [w] { w->close(); });
        acao(w);
    });
}

// Canal de condução qualquer, com profundidade normal calculável.
void CanalValido(TBaciaAcumulacao& b) {
    b.CanalConducao.TipoCanal.Valor = CANAL_TRIANGULAR;
    b.CanalConducao.Z.Valor = 0.5;
    b.CanalConducao.Sm.Valor = 0.5;
    b.CanalConducao.Sc = 0.01;
    b.CanalConducao.nc.Valor = 0.03;
}

} // namespace

class TesteRelatorios : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void RelatorioSemTabelaNaoAbreJanela();
    void RelatorioMostraOCasoCalculado();
    void ImprimeEmPdfComIntervalo();
    void ImpressaoRepeteCabecalhoENumeraPaginas();
    void Simulacao_data();
    void Simulacao();
    void SimulacaoEspacamentoDigitado();
    void SimulacaoVoltarRestauraABacia();

private:
    QTemporaryDir pasta;
    TUnidades unidades;
    TProjeto projeto{unidades};
    TResultadoCalculo resultado;
};

void TesteRelatorios::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    DefinirSeparadorDecimalLocal(',');
    QVERIFY(pasta.isValid());
    const QString mvd = pasta.filePath("projeto.mvd");
    QVERIFY(QFile::copy(DADOS + "/referencia/c02_trap_secao3_50m.mvd", mvd));
    ZerarVariaveis(projeto);
    QVERIFY(LerProjeto(projeto, mvd.toStdString()));
    resultado = ExecutarCalculo(projeto, projeto.Estrada.Comprimento(), nullptr);
    QCOMPARE(resultado.Situacao, TResultadoCalculo::Concluido);
}

void TesteRelatorios::RelatorioSemTabelaNaoAbreJanela() {
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    // Encosta sem trechos: o documento não se monta.
    p.Estrada.AreaExterna.Planos.clear();
    bool abriu = false;
    QTimer::singleShot(0, [&] { abriu = QApplication::activeModalWidget() != nullptr; });
    QVERIFY(!MostrarRelatorio(p, resultado, nullptr));
    QTest::qWait(10);
    QVERIFY(!abriu);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TesteRelatorios::RelatorioMostraOCasoCalculado() {
    bool visto = false;
    AoAbrir([&](QWidget* w) {
        auto* j = qobject_cast<TJanelaRelatorioEstrada*>(w);
        QVERIFY(j);
        visto = true;
        // O cursor de espera saiu antes de a janela aparecer.
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(j->windowTitle(), QString("Morvendo 2.0 - relatório"));
        QVERIFY(j->windowState() & Qt::WindowMaximized);
        QCOMPARE(j->btnImprimir->text(), QString("&Imprimir"));
        QCOMPARE(j->btnImprimir->toolTip(), QString("Imprime texto"));
        QCOMPARE(j->BFechar->toolTip(), QString("Fecha texto ativo"));
        const QString texto = j->visualizador->toPlainText();
        for (const char* trecho :
             {"RELATÓRIO DE MORVENDO", "Dados de entrada", "Campinas", "Espaçamento máximo (m)",
              "Resultados", "Perda de solo estimada (g·cm⁻²)", "Seção 3"})
            QVERIFY2(texto.contains(QString::fromUtf8(trecho)), trecho);
        // O mesmo documento do núcleo: os gráficos SVG viram imagens com o mesmo desenho.
        std::string doc;
        QVERIFY(GerarRelatorio(projeto, resultado, OpcoesRelatorioDoPrograma(), doc));
        QList<QPair<QUrl, QImage>> imagens;
        const QString html =
            GraficosComoImagens(QString::fromLatin1(doc.data(), qsizetype(doc.size())), imagens);
        QCOMPARE(imagens.size(), 3);
        QVERIFY(!html.contains("<svg"));
        for (const auto& [url, imagem] : imagens) {
            const QVariant img =
                j->visualizador->document()->resource(QTextDocument::ImageResource, url);
            QVERIFY2(img.isValid() && !img.value<QImage>().isNull(), qPrintable(url.toString()));
            QCOMPARE(img.value<QImage>().size(), imagem.size());
        }
        // As figuras vêm da pasta do programa, onde a compilação as gravou.
        const QString dir = QCoreApplication::applicationDirPath() + "/";
        for (const char* figura : {"Cabecalho.jpg", "Figuras/CanTrap.bmp", "Figuras/Secao3.bmp"}) {
            const QVariant img = j->visualizador->document()->resource(QTextDocument::ImageResource,
                                                                       QUrl(dir + figura));
            QVERIFY2(img.isValid() && !img.value<QImage>().isNull(), figura);
        }
        j->BFechar->click();
    });
    QVERIFY(MostrarRelatorio(projeto, resultado, nullptr));
    QVERIFY(visto);
}

void TesteRelatorios::ImprimeEmPdfComIntervalo() {
    std::string doc;
    QVERIFY(GerarRelatorio(projeto, resultado, OpcoesRelatorioDoPrograma(), doc));
    TJanelaRelatorioEstrada janela(doc);
    const auto imprimir = [&](const QString& nome, int de, int ate) {
        QPrinter impressora(QPrinter::HighResolution);
        impressora.setOutputFormat(QPrinter::PdfFormat);
        impressora.setPageSize(QPageSize(QPageSize::A4));
        impressora.setOutputFileName(pasta.filePath(nome));
        if (de) impressora.setFromTo(de, ate);
        janela.Imprimir(impressora);
        return PaginasPdf(pasta.filePath(nome));
    };
    const int todas = imprimir("todas.pdf", 0, 0);
    QVERIFY2(todas >= 2, qPrintable(QString::number(todas)));
    QCOMPARE(imprimir("segunda.pdf", 2, 2), 1);
    QCOMPARE(imprimir("ate-o-fim.pdf", 2, 9999), todas - 1);
}

// Tabela por seção longa: o cabeçalho se repete em cada página que ela ocupa e cada página
// leva o número "n / total". Confere o texto do PDF com o pdftotext.
void TesteRelatorios::ImpressaoRepeteCabecalhoENumeraPaginas() {
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) não instalado");
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    QVERIFY(LerProjeto(p, (DADOS + "/referencia/c03_equiv_200m.mvd").toStdString()));
    const TResultadoCalculo r = ExecutarCalculo(p, p.Estrada.Comprimento(), nullptr);
    std::string doc;
    QVERIFY(GerarRelatorio(p, r, OpcoesRelatorioDoPrograma(), doc));
    TJanelaRelatorioEstrada janela(doc);
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setOutputFormat(QPrinter::PdfFormat);
    impressora.setPageSize(QPageSize(QPageSize::A4));
    impressora.setOutputFileName(pasta.filePath("longo.pdf"));
    janela.Imprimir(impressora);
    const int total = PaginasPdf(pasta.filePath("longo.pdf"));
    QVERIFY2(total >= 4, qPrintable(QString::number(total)));
    QProcess processo;
    processo.start(pdftotext, {"-layout", pasta.filePath("longo.pdf"), "-"});
    QVERIFY(processo.waitForFinished(30000));
    const QStringList paginas = QString::fromUtf8(processo.readAllStandardOutput()).split('\f');
    QVERIFY(paginas.size() >= total);
    int comTabela = 0;
    for (int n = 0; n < total; ++n) {
        const QString& pagina = paginas[n];
        QVERIFY2(pagina.contains(QString::fromUtf8("Página %1 de %2").arg(n + 1).arg(total)),
                 qPrintable(pagina));
        // Uma página com linhas da tabela (a seção 150 está na penúltima ou na última).
        static const QRegularExpression linha(R"(\n\s*\d+\s+\d+,\d\d\s+\d+,\d\d\s+\d+,\d\d)");
        if (!pagina.contains(linha)) continue;
        ++comTabela;
        QVERIFY2(pagina.contains(QString::fromUtf8("Lâmina")) && pagina.contains("Vazão"),
                 qPrintable(QString("página %1 sem o cabeçalho da tabela").arg(n + 1)));
    }
    QVERIFY2(comTabela >= 3, qPrintable(QString::number(comTabela)));
}

void TesteRelatorios::Simulacao_data() {
    QTest::addColumn<int>("formato");
    QTest::addColumn<int>("espacamento");
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<QString>("coluna");
    QTest::addColumn<QString>("primeiro");
    QTest::addColumn<QString>("ultimo");
    // Retangular: L = (m1 + m2)·H, largura = 2V/(H·L); V = 30 × 0,5 = 15 m³.
    QTest::newRow("retangular") << 0 << 30 << "Largura (m)"
                                << "Largura"
                                << "6,0"
                                << "0,67";
    // Semicircular: raio = √(4V/(π·H)).
    QTest::newRow("semicircular") << 1 << 30 << "Raio (m)"
                                  << "Raio"
                                  << "4,37"
                                  << "2,52";
    QTest::newRow("espaçamento zero") << 1 << 0 << "Raio (m)"
                                      << "Raio"
                                      << "0,0"
                                      << "0,0";
}

void TesteRelatorios::Simulacao() {
    QFETCH(int, formato);
    QFETCH(int, espacamento);
    QFETCH(QString, titulo);
    QFETCH(QString, coluna);
    QFETCH(QString, primeiro);
    QFETCH(QString, ultimo);
    TBaciaAcumulacao b;
    b.Formato = std::uint8_t(formato);
    b.m1 = 2;
    b.m2 = 3;
    CanalValido(b);
    TPaginaSimulacao p(b);
    p.show();
    p.bSimulClick(espacamento, 0.5);
    QCOMPARE(p.eVolUni->text(), QString("0,5"));
    QCOMPARE(p.eEspacamento->text(), QString::number(espacamento));
    QCOMPARE(p.TituloEixoVertical(), titulo);
    QCOMPARE(p.tabelaSimulacao->horizontalHeaderItem(1)->text(), coluna);
    QCOMPARE(p.tabelaSimulacao->rowCount(), 21);
    QCOMPARE(p.serieSimulacao->count(), 21);
    QCOMPARE(p.tabelaSimulacao->item(0, 0)->text(), QString("1,0"));
    QCOMPARE(p.tabelaSimulacao->item(10, 0)->text(), QString("2,0"));
    QCOMPARE(p.tabelaSimulacao->item(20, 0)->text(), QString("3,0"));
    QCOMPARE(p.tabelaSimulacao->item(0, 1)->text(), primeiro);
    QCOMPARE(p.tabelaSimulacao->item(20, 1)->text(), ultimo);
    // Eixos com a vírgula decimal e as máscaras da página.
    QCOMPARE(p.MarcasEixoHorizontal().first(), QString("1,0"));
    QCOMPARE(p.MarcasEixoHorizontal().last(), QString("3,0"));
    for (const QString& m : p.MarcasEixoVertical())
        QVERIFY2(QRegularExpression("^\\d+,\\d\\d$").match(m).hasMatch(), qPrintable(m));
}

void TesteRelatorios::SimulacaoEspacamentoDigitado() {
    TBaciaAcumulacao b;
    b.Formato = TBaciaAcumulacao::SEMICIRCULAR;
    CanalValido(b);
    TPaginaSimulacao p(b);
    QStringList erros;
    p.Erro = [&](const QString& m) { erros << m; };
    p.show();
    p.bSimulClick(30, 0.5);
    // Esvaziar o campo desabilita "&Recalcular" e limpa a tabela e o gráfico.
    p.eEspacamento->clear();
    QVERIFY(!p.bRecalc->isEnabled());
    QCOMPARE(p.serieSimulacao->count(), 0);
    QVERIFY(p.tabelaSimulacao->item(0, 0)->text().isEmpty());
    // Enter no campo recalcula com o espaçamento digitado.
    QTest::keyClicks(p.eEspacamento, "120");
    QVERIFY(p.bRecalc->isEnabled());
    QTest::keyClick(p.eEspacamento, Qt::Key_Return);
    QCOMPARE(p.serieSimulacao->count(), 21);
    QCOMPARE(p.tabelaSimulacao->item(0, 1)->text(), QString("8,74")); // √(4·60/π)
    // Um espaçamento que não é inteiro, zero, negativo ou maior que o canal é recusado com a
    // faixa; a curva fica limpa.
    p.ComprimentoCanal = 150;
    for (const char* texto : {"12,5", "-3", "0", "151"}) {
        p.eEspacamento->setText(texto);
        p.bRecalc->click();
        QCOMPARE(p.serieSimulacao->count(), 0);
    }
    const QString faixa = "\"Espaçamento\" deve ser um número inteiro de 1 a 150 m (o "
                          "comprimento do canal).";
    QCOMPARE(erros,
             (QStringList{"\"12,5\" não é um número inteiro: " + faixa, "Valor incorreto: " + faixa,
                          "Valor incorreto: " + faixa, "Valor incorreto: " + faixa}));
    p.eEspacamento->setText("150");
    p.bRecalc->click();
    QCOMPARE(p.serieSimulacao->count(), 21);
}

// A simulação só lê a bacia do projeto: a profundidade não muda.
void TesteRelatorios::SimulacaoVoltarRestauraABacia() {
    TBaciaAcumulacao b;
    b.Formato = TBaciaAcumulacao::SEMICIRCULAR;
    b.Profundidade = 1.7;
    CanalValido(b);
    TPaginaSimulacao p(b);
    bool voltou = false;
    connect(&p, &TPaginaSimulacao::Voltar, this, [&] { voltou = true; });
    p.show();
    p.bSimulClick(30, 0.5);
    p.eEspacamento->setText("75");
    p.bRecalc->click();
    QCOMPARE(p.serieSimulacao->count(), 21);
    QCOMPARE(b.Profundidade, 1.7);
    p.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&p));
    QTest::keyClick(&p, Qt::Key_V, Qt::AltModifier);
    QTest::qWait(150);
    QVERIFY(voltou);
    QCOMPARE(b.Profundidade, 1.7);
}

QTEST_MAIN(TesteRelatorios)
#include "TesteRelatorios.moc"
