#include "figuras/Desenhos.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <set>

namespace {

// Quantas cores distintas a imagem tem: uma figura em branco ou de uma cor só tem uma.
int CoresDistintas(const QImage& img) {
    std::set<QRgb> cores;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            cores.insert(img.pixel(x, y));
    return int(cores.size());
}

// Fração da imagem coberta por tinta (o que não é o fundo do canto superior esquerdo
// nem branco), em faixas verticais: um desenho que sai do quadro ou encolhe deixa faixas
// vazias.
int FaixasVazias(const QImage& img, int faixas) {
    int vazias = 0;
    for (int f = 0; f < faixas; ++f) {
        bool tinta = false;
        for (int x = f * img.width() / faixas; x < (f + 1) * img.width() / faixas && !tinta; ++x)
            for (int y = 0; y < img.height() && !tinta; ++y)
                tinta = img.pixel(x, y) != qRgb(255, 255, 255);
        vazias += !tinta;
    }
    return vazias;
}

} // namespace

class TesteDesenhos : public QObject {
    Q_OBJECT
private slots:
    void Tamanhos_data();
    void Tamanhos();
    void SecoesDiferentes();
    void TipoForaDaFaixa();
    void ArquivosAoLadoDoPrograma();
    void GravarEmPastaInvalida();
};

void TesteDesenhos::Tamanhos_data() {
    QTest::addColumn<QImage>("imagem");
    QTest::addColumn<QSize>("tamanho");
    const QSize pequena(161, 48), grande(322, 96), pagina(240, 150);
    QTest::newRow("Seção 1") << DesenharSecaoTransversal(1) << pequena;
    QTest::newRow("Seção 2") << DesenharSecaoTransversal(2) << pequena;
    QTest::newRow("Seção 3 ampliada") << DesenharSecaoTransversal(3, grande) << grande;
    QTest::newRow("Canal trapezoidal") << DesenharCanalTrapezoidal(pequena) << pequena;
    QTest::newRow("Canal triangular") << DesenharCanalTriangular(grande) << grande;
    QTest::newRow("Bacia retangular") << DesenharBaciaRetangular(pagina) << pagina;
    QTest::newRow("Bacia semicircular") << DesenharBaciaSemicircular(pagina) << pagina;
    QTest::newRow("Corte da bacia") << DesenharCorteBacia(QSize(200, 80)) << QSize(200, 80);
    QTest::newRow("Abertura") << DesenharAbertura() << QSize(558, 340);
    QTest::newRow("Cabeçalho") << DesenharCabecalho() << QSize(550, 67);
    // Proporção diferente da do desenho: ajusta sem distorcer e sem sair do quadro.
    QTest::newRow("Seção alta") << DesenharSecaoTransversal(1, QSize(100, 100)) << QSize(100, 100);
}

void TesteDesenhos::Tamanhos() {
    QFETCH(QImage, imagem);
    QFETCH(QSize, tamanho);
    QCOMPARE(imagem.size(), tamanho);
    QVERIFY2(CoresDistintas(imagem) > 8, "figura sem desenho");
}

void TesteDesenhos::SecoesDiferentes() {
    const QImage s1 = DesenharSecaoTransversal(1), s2 = DesenharSecaoTransversal(2),
                 s3 = DesenharSecaoTransversal(3);
    QVERIFY(s1 != s2);
    QVERIFY(s1 != s3);
    QVERIFY(s2 != s3);
    QVERIFY(DesenharCanalTrapezoidal(QSize(161, 48)) != DesenharCanalTriangular(QSize(161, 48)));
    // O perfil ocupa a largura toda da figura do relatório.
    for (const QImage& s : {s1, s2, s3})
        QCOMPARE(FaixasVazias(s, 8), 0);
}

void TesteDesenhos::TipoForaDaFaixa() {
    // Um tipo lido de um arquivo fora de 1–3 ainda dá uma figura, a da seção 1.
    QCOMPARE(DesenharSecaoTransversal(0), DesenharSecaoTransversal(1));
    QCOMPARE(DesenharSecaoTransversal(7), DesenharSecaoTransversal(1));
}

void TesteDesenhos::ArquivosAoLadoDoPrograma() {
    // A compilação gravou as figuras na pasta do programa, onde este teste também fica.
    const QDir pasta(QCoreApplication::applicationDirPath());
    const struct {
        const char* nome;
        QSize tamanho;
        const char* formato;
    } esperadas[] = {
        {"Cabecalho.jpg", {550, 67}, "jpeg"},        {"Figuras/CanTrap.bmp", {161, 48}, "bmp"},
        {"Figuras/CanTri.bmp", {161, 48}, "bmp"},    {"Figuras/Secao1.bmp", {161, 48}, "bmp"},
        {"Figuras/Secao2.bmp", {161, 48}, "bmp"},    {"Figuras/Secao3.bmp", {161, 48}, "bmp"},
        {"Figuras/Abertura.png", {558, 340}, "png"},
    };
    for (const auto& e : esperadas) {
        QImageReader leitor(pasta.filePath(e.nome));
        QVERIFY2(leitor.canRead(), e.nome);
        QCOMPARE(leitor.format(), QByteArray(e.formato));
        const QImage img = leitor.read();
        QCOMPARE(img.size(), e.tamanho);
        QVERIFY2(CoresDistintas(img) > 8, e.nome);
    }
    // O BMP gravado é o mesmo desenho, pixel a pixel.
    QCOMPARE(QImage(pasta.filePath("Figuras/Secao2.bmp")).convertToFormat(QImage::Format_RGB32),
             DesenharSecaoTransversal(2));
}

void TesteDesenhos::GravarEmPastaInvalida() {
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    // "Figuras" já existe como arquivo: a pasta não pode ser criada e nada é gravado.
    QFile bloqueio(tmp.filePath("Figuras"));
    QVERIFY(bloqueio.open(QIODevice::WriteOnly));
    bloqueio.close();
    QString erro;
    QVERIFY(!GravarFigurasPrograma(tmp.path(), &erro));
    QVERIFY2(erro.contains("Figuras"), qPrintable(erro));
    QVERIFY(!QFile::exists(tmp.filePath("Cabecalho.jpg")));

    QTemporaryDir limpa;
    QVERIFY(GravarFigurasPrograma(limpa.path(), &erro));
    QCOMPARE(QDir(limpa.filePath("Figuras")).entryList(QDir::Files).size(), 6);
}

QTEST_MAIN(TesteDesenhos)
#include "TesteDesenhos.moc"
