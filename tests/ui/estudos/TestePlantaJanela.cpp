// A estrada aberta do mapa na página dos trechos, com o módulo do mapa de verdade (ao lado do
// executável, como o do programa) e uma geografia feita pelo teste: a escolha da linha, os
// trechos do perfil, a planta com o relevo, o perfil e a nota mostrando os mesmos
// desaguadouros, o clique que marca o mesmo lugar nos dois desenhos e a exportação para o mapa.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <memory>

#include "comum/ArquivoIni.h"
#include "comum/Numeros.h"
#include "mainwindow/estudos/DialogoEstradaMapa.h"
#include "mainwindow/estudos/PaginaTrechos.h"
#include "mainwindow/estudos/PlantaEstrada.h"
#include "mainwindow/estudos/Tabelas.h"
#include "project/ConfUnidades.h"
#include "project/Projeto.h"
#include "tests/ui/estudos/GeografiaSintetica.h"

namespace {

// Os desaguadouros como a nota os mostra (nº, lado, posição em m) e como os desenhos os têm.
struct TVisto {
    int Numero;
    QString Lado;
    QString Posicao;
    bool operator==(const TVisto&) const = default;
};

QString Posicao(double m) {
    return QString::fromStdString(FormatFloat("0.0#", m, ','));
}

} // namespace

class TestePlantaJanela : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> FPasta;
    std::unique_ptr<TUnidades> FUnidades;
    std::unique_ptr<TProjeto> FProjeto;
    std::unique_ptr<QPrinter> FImpressora;
    std::unique_ptr<TPaginaTrechos> P;
    QStringList Erros;
    int Perguntas = 0;

    std::string Caminho(const char* nome) const {
        return FPasta->filePath(QString::fromLatin1(nome)).toStdString();
    }

    // A página sobre o exemplo dos trechos, como a janela principal a monta.
    void Montar() {
        FUnidades = std::make_unique<TUnidades>();
        FProjeto = std::make_unique<TProjeto>(*FUnidades);
        ZerarVariaveis(*FProjeto);
        QVERIFY(LerProjeto(*FProjeto, std::string(MORVENDO_EXEMPLOS "/Trechos_MG.mvd")));
        FImpressora = std::make_unique<QPrinter>();
        TAmbienteEstudos a;
        a.Projeto = FProjeto.get();
        a.Unidades = FUnidades.get();
        a.Instantaneo = [this] {
            TArquivoIni d;
            EscreverProjeto(*FProjeto, d);
            return d;
        };
        a.Erro = [this](const std::string& m) { Erros << QString::fromStdString(m); };
        a.MarcarAlterado = [] {};
        a.NomeProjeto = [] { return std::string("Trechos_MG.mvd"); };
        a.Impressora = [this]() -> QPrinter& { return *FImpressora; };
        a.Voltar = [] {};
        P = std::make_unique<TPaginaTrechos>(a);
        P->Confirmar = [this](const QString&) {
            ++Perguntas;
            return true;
        };
        P->resize(1180, 760);
        P->show();
        QVERIFY(QTest::qWaitForWindowExposed(P.get()));
    }

    TPedidoEstrada Pedido() const {
        TPedidoEstrada p;
        p.Linha = Caminho("estradas.gpkg");
        p.Terreno = Caminho("terreno.tif");
        p.OpcoesLinha.Camada = "estradas";
        p.OpcoesLinha.Feicao = 1;
        return p;
    }

    void AbrirECalcular() {
        P->AbrirDoMapa(Pedido());
        QTRY_VERIFY_WITH_TIMEOUT(!P->Calculando(), 30000);
        QVERIFY2(Erros.isEmpty(), qPrintable(Erros.join('|')));
        QVERIFY(P->TemEstradaDoMapa());
        P->Calcular();
        QTRY_VERIFY_WITH_TIMEOUT(!P->Calculando(), 60000);
        QVERIFY2(Erros.isEmpty(), qPrintable(Erros.join('|')));
        QVERIFY(!P->Nota().Desaguadouros.empty());
        QApplication::processEvents();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void init() {
        FPasta = std::make_unique<QTemporaryDir>();
        QVERIFY(geografia::CriarTerreno(Caminho("terreno.tif")));
        QVERIFY(geografia::CriarLinhas(Caminho("estradas.gpkg")));
        Erros.clear();
        Perguntas = 0;
        Montar();
    }
    void cleanup() {
        P.reset();
        FPasta.reset();
    }

    // O diálogo lista as linhas da camada pelo módulo (FID, nome, comprimento e a emenda),
    // obriga o modelo de terreno a uma linha sem cotas e recusa o campo que não serve.
    void dialogoEscolheALinha() {
        TDialogoEstradaMapa d(TPedidoEstrada{});
        QStringList erros;
        d.Erro = [&](const std::string& m) { erros << QString::fromStdString(m); };
        d.DefinirLinha(QString::fromStdString(Caminho("estradas.gpkg")));
        QVERIFY2(erros.isEmpty(), qPrintable(erros.join('|')));
        QCOMPARE(d.cbLinha->count(), 3);
        QCOMPARE(d.cbLinha->itemText(0), QStringLiteral("estradas: as 2 linhas emendadas"));
        // 300 m na grade UTM, um pouco menos sobre o elipsoide.
        QVERIFY2(QRegularExpression(
                     QStringLiteral("^estradas: FID 2 – Acesso – (299,[5-9]|300,[0-4]) m$"))
                     .match(d.cbLinha->itemText(2))
                     .hasMatch(),
                 qPrintable(d.cbLinha->itemText(2)));
        d.cbLinha->setCurrentIndex(1);
        QVERIFY(d.cbLinha->currentText().contains(QStringLiteral("Estrada da Serra")));
        // Sem cotas na linha, só o modelo de terreno.
        QVERIFY(!d.rbCotasDaLinha->isEnabled());
        QVERIFY(d.rbTerreno->isChecked());
        QVERIFY_THROWS_EXCEPTION(EMorvendo, d.Pedido());
        d.eTerreno->setText(QString::fromStdString(Caminho("terreno.tif")));
        d.ckDoFim->setChecked(true);
        const TPedidoEstrada p = d.Pedido();
        QCOMPARE(p.OpcoesLinha.Camada, std::string("estradas"));
        QCOMPARE(p.OpcoesLinha.Feicao, std::optional<long long>(1));
        QVERIFY(p.OpcoesLinha.DoFim);
        QCOMPARE(p.Terreno, Caminho("terreno.tif"));
        QCOMPARE(p.OpcoesPerfil.Janela, 20.0);
        const struct {
            QLineEdit* Campo;
            const char* Texto;
            const char* Mensagem;
        } ruins[] = {
            {d.eJanela, "vinte", "\"vinte\" não serve como \"Suavização (janela)\""},
            {d.eJanela, "2000", "A janela de suavização deve ficar entre 0 e 1000 m."},
            {d.eTrechoMinimo, "0,5", "O trecho mínimo deve ficar entre 1 e 10000 m."},
        };
        for (const auto& r : ruins) {
            const QString antes = r.Campo->text();
            r.Campo->setText(QString::fromUtf8(r.Texto));
            erros.clear();
            d.accept();
            QCOMPARE(d.result(), int(QDialog::Rejected));
            QCOMPARE(erros.size(), 1);
            QVERIFY2(erros[0].startsWith(QString::fromUtf8(r.Mensagem)), qPrintable(erros[0]));
            r.Campo->setText(antes);
        }
        // O que não é mapa: a mensagem do módulo, e a lista fica vazia.
        erros.clear();
        d.DefinirLinha(QString::fromStdString(Caminho("terreno.tif")));
        QCOMPARE(erros.size(), 1);
        QVERIFY2(erros[0].contains(QStringLiteral("não é um mapa")), qPrintable(erros[0]));
        QCOMPARE(d.cbLinha->count(), 0);
    }

    // Os trechos saem do perfil como em "Do perfil...", com pergunta e Ctrl+Z; a planta, o
    // perfil e a nota mostram os mesmos desaguadouros, cada um do seu lado da estrada.
    void plantaPerfilENotaConcordam() {
        const std::vector<TTrecho> antes = FProjeto->Trechos;
        QVERIFY(!antes.empty());
        AbrirECalcular();
        QCOMPARE(Perguntas, 1);
        QVERIFY(P->PlantaEstrada->isVisible());
        QVERIFY(P->PlantaEstrada->TemRelevo());
        // O perfil lido, antes da suavização, fica sob o dos trechos, do começo ao fim.
        const std::vector<QPointF>& lido = P->DesenhoEstrada->PerfilLido();
        QVERIFY(lido.size() > 10 && lido.size() <= 4002);
        QCOMPARE(lido.front().x(), 0.0);
        // Duas cristas e um vale: a declividade muda de sinal pelo menos duas vezes.
        int mudancas = 0;
        const std::vector<TTrecho>& ts = FProjeto->Trechos;
        for (std::size_t i = 1; i < ts.size(); ++i)
            mudancas += (ts[i - 1].Declividade < 0) != (ts[i].Declividade < 0);
        QVERIFY2(mudancas >= 2, qPrintable(QString::number(mudancas)));
        double comprimento = 0;
        const auto linha = geografia::Estrada();
        for (std::size_t i = 1; i < linha.size(); ++i)
            comprimento += std::hypot(linha[i].first - linha[i - 1].first,
                                      linha[i].second - linha[i - 1].second);
        QCOMPARE(ts.front().Inicio, 0.0);
        QVERIFY2(std::abs(ts.back().Inicio + ts.back().Comprimento - comprimento) < 2,
                 qPrintable(QString::number(comprimento)));
        QVERIFY(FProjeto->CotaInicial.has_value());
        QVERIFY(std::abs(*FProjeto->CotaInicial -
                         geografia::Cota(geografia::X0 + 180, geografia::Y0 - 820)) < 1);

        auto* nota = P->tbNota->model();
        std::vector<TVisto> naNota, noPerfil, naPlanta;
        for (int l = 0; l < nota->rowCount(); ++l)
            naNota.push_back({nota->index(l, 0).data().toInt(), nota->index(l, 1).data().toString(),
                              nota->index(l, 3).data().toString()});
        for (const TDesaguadouro& d : P->DesenhoEstrada->Desaguadouros())
            noPerfil.push_back(
                {d.Numero, QString::fromLatin1(SiglaLado(d.Lado)), Posicao(d.Posicao)});
        const auto desenhados = P->PlantaEstrada->DesaguadourosNaTela();
        for (const auto& d : desenhados)
            naPlanta.push_back(
                {d.Numero, QString::fromLatin1(SiglaLado(d.Lado)), Posicao(d.Posicao)});
        QVERIFY(naNota == noPerfil);
        QVERIFY(naNota == naPlanta);
        bool esquerdo = false, direito = false;
        for (const auto& d : desenhados) {
            // Na tela o y cresce para baixo: a esquerda de quem anda tem produto vetorial
            // negativo.
            const QPointF a = P->PlantaEstrada->PontoNaTela(d.Posicao - 2);
            const QPointF b = P->PlantaEstrada->PontoNaTela(d.Posicao + 2);
            const QPointF m = (a + b) / 2, ida = b - a, lado = d.Ponto - m;
            const double vetorial = ida.x() * lado.y() - ida.y() * lado.x();
            const bool aEsquerda = vetorial < 0;
            QCOMPARE(aEsquerda, d.Lado == TLado::Esquerdo);
            const double distancia = std::hypot(lado.x(), lado.y());
            QVERIFY2(distancia > 4 && distancia < 30, qPrintable(QString::number(distancia)));
            (aEsquerda ? esquerdo : direito) = true;
        }
        QVERIFY(esquerdo && direito);

        // Ctrl+Z devolve os trechos e a estrada de antes (nenhuma).
        P->tbTrechos->setFocus();
        QTest::keyClick(P->tbTrechos, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(FProjeto->Trechos.size(), antes.size());
        QCOMPARE(FProjeto->Trechos.front().Nome, antes.front().Nome);
        QVERIFY(!P->TemEstradaDoMapa() && !FProjeto->EstradaMapa);
        QVERIFY(!P->PlantaEstrada->isVisible());
    }

    // Um clique na planta marca o lugar mais perto da estrada também no perfil, e o contrário;
    // arrastar só desloca, e a roda aproxima em volta do cursor, com rótulos mais miúdos.
    void cliqueMarcaOsDoisDesenhos() {
        AbrirECalcular();
        TPlantaEstrada* planta = P->PlantaEstrada;
        TDesenhoEstrada* perfil = P->DesenhoEstrada;
        const QPoint naPlanta = planta->PontoNaTela(437).toPoint();
        QTest::mouseClick(planta, Qt::LeftButton, {}, naPlanta);
        QVERIFY(planta->Marca() && perfil->Marca());
        QVERIFY2(std::abs(*planta->Marca() - 437) < 4,
                 qPrintable(QString::number(*planta->Marca())));
        QCOMPARE(*perfil->Marca(), *planta->Marca());

        const QPoint noPerfil(int(std::lround(perfil->XDaPosicao(905))), perfil->height() / 2);
        QTest::mouseClick(perfil, Qt::LeftButton, {}, noPerfil);
        QVERIFY2(std::abs(*perfil->Marca() - 905) < 4,
                 qPrintable(QString::number(*perfil->Marca())));
        QCOMPARE(*planta->Marca(), *perfil->Marca());

        // Arrastar desloca a vista e não marca.
        const double marca = *planta->Marca();
        const QPointF antes = planta->PontoNaTela(600);
        QTest::mousePress(planta, Qt::LeftButton, {}, QPoint(100, 100));
        QMouseEvent move(QEvent::MouseMove, QPointF(160, 130),
                         planta->mapToGlobal(QPointF(160, 130)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(planta, &move);
        QTest::mouseRelease(planta, Qt::LeftButton, {}, QPoint(160, 130));
        QCOMPARE(*planta->Marca(), marca);
        const QPointF depois = planta->PontoNaTela(600);
        QVERIFY(std::abs(depois.x() - antes.x() - 60) < 1 &&
                std::abs(depois.y() - antes.y() - 30) < 1);

        // A roda: o lugar sob o cursor fica sob o cursor.
        const QStringList longe = planta->RotulosEstacas();
        const QPointF cursor = planta->PontoNaTela(600);
        for (int i = 0; i < 4; ++i) {
            QWheelEvent roda(cursor, planta->mapToGlobal(cursor), {}, QPoint(0, 480), Qt::NoButton,
                             Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(planta, &roda);
        }
        QVERIFY2(std::abs(planta->PosicaoMaisProxima(cursor) - 600) < 0.5,
                 qPrintable(QString::number(planta->PosicaoMaisProxima(cursor))));
        const QStringList perto = planta->RotulosEstacas();
        QVERIFY2(longe.contains(QStringLiteral("0 + 0")) ||
                     longe.contains(QStringLiteral("50 + 0")),
                 qPrintable(longe.join('|')));
        QVERIFY2(perto.contains(QStringLiteral("30 + 0")), qPrintable(perto.join('|')));
        QVERIFY(!longe.contains(QStringLiteral("30 + 0")));
        planta->findChild<QToolButton*>(QStringLiteral("btnVerTudo"))->click();
        QCOMPARE(planta->RotulosEstacas(), longe);
    }

    // A exportação grava pelo módulo um mapa que se lê de volta com os mesmos desaguadouros;
    // a impressão leva a planta numa folha a mais; um erro do módulo não muda nada.
    void exportaImprimeERecusa() {
        AbrirECalcular();
        const std::string destino = Caminho("desaguadouros.gpkg");
        P->ExportarParaMapa(QString::fromStdString(destino));
        GDALDatasetUniquePtr ds(GDALDataset::Open(destino.c_str(), GDAL_OF_VECTOR));
        QVERIFY(ds);
        OGRLayer* pontos = nullptr;
        for (OGRLayer* c : ds->GetLayers())
            if (wkbFlatten(c->GetGeomType()) == wkbPoint) pontos = c;
        QVERIFY(pontos);
        QCOMPARE(pontos->GetFeatureCount(), GIntBig(P->Nota().Desaguadouros.size()));

        P->ExportarPlanta(QString::fromStdString(Caminho("planta.png")));
        QCOMPARE(QImage(QString::fromStdString(Caminho("planta.png"))).size(), QSize(1400, 1000));

        auto paginas = [&] {
            QImage folha(600, 850, QImage::Format_ARGB32);
            QPainter p(&folha);
            return P->DesenharImpressao(p, QRectF(0, 0, 600, 850), [] {});
        };
        const int comPlanta = paginas();

        // Um modelo de terreno que não existe: a mensagem do módulo, e a página fica como
        // estava (trechos, estrada e nota).
        const std::vector<TTrecho> trechos = FProjeto->Trechos;
        const std::size_t desaguadouros = P->Nota().Desaguadouros.size();
        TPedidoEstrada ruim = Pedido();
        ruim.Terreno = Caminho("nao-existe.tif");
        P->AbrirDoMapa(ruim);
        QTRY_VERIFY_WITH_TIMEOUT(!P->Calculando(), 30000);
        QCOMPARE(Erros.size(), 1);
        QVERIFY2(Erros[0].contains(QStringLiteral("nao-existe.tif")), qPrintable(Erros[0]));
        QCOMPARE(FProjeto->Trechos.size(), trechos.size());
        QVERIFY(P->TemEstradaDoMapa());
        QCOMPARE(P->Nota().Desaguadouros.size(), desaguadouros);

        // Trechos de um CSV não são da estrada: a planta sai, e a impressão com ela.
        const QString csv = FPasta->filePath(QStringLiteral("t.csv"));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("nome,inicio_m,comprimento_m,declividade\nA,0,300,0.03\nB,300,200,-0.02\n");
        f.close();
        P->ImportarCsv(csv);
        QVERIFY(!P->TemEstradaDoMapa() && !FProjeto->EstradaMapa);
        QVERIFY(P->DesenhoEstrada->PerfilLido().empty());
        P->Calcular();
        QTRY_VERIFY_WITH_TIMEOUT(!P->Calculando(), 60000);
        QVERIFY(comPlanta >= 2);
        QCOMPARE(paginas(), 1);
        QVERIFY_THROWS_EXCEPTION(EMorvendo,
                                 P->ExportarParaMapa(QString::fromStdString(Caminho("x.kml"))));
    }

    // A estrada vai para o projeto com os caminhos relativos à pasta dele e volta com ele: a
    // planta reaparece ao reabrir; um mapa que sumiu dá uma mensagem, e o projeto fica com os
    // seus trechos e com a estrada gravada, sem a planta.
    void estradaVoltaComOProjeto() {
        AbrirECalcular();
        TEstradaMapaProjeto esperado{
            Caminho("estradas.gpkg"), Caminho("terreno.tif"), "estradas", 1, false, 20, 20};
        QVERIFY(FProjeto->EstradaMapa == esperado);
        // Noutra pasta, com os mapas numa subpasta.
        QTemporaryDir outra;
        const QDir pasta(outra.path());
        QVERIFY(pasta.mkdir(QStringLiteral("mapas")));
        for (const char* nome : {"estradas.gpkg", "terreno.tif"})
            QVERIFY(QFile::copy(QString::fromStdString(Caminho(nome)),
                                pasta.filePath(QStringLiteral("mapas/") + QLatin1String(nome))));
        esperado.Linha = pasta.filePath(QStringLiteral("mapas/estradas.gpkg")).toStdString();
        esperado.Terreno = pasta.filePath(QStringLiteral("mapas/terreno.tif")).toStdString();
        esperado.DoFim = true;
        esperado.Janela = 12.5;
        FProjeto->EstradaMapa = esperado;
        const std::string projeto = pasta.filePath(QStringLiteral("p.mvd")).toStdString();
        EscreverProjeto(*FProjeto, projeto);
        const TArquivoIni gravado(projeto);
        QCOMPARE(gravado.LerTexto("EstradaMapa", "Linha", ""), std::string("mapas/estradas.gpkg"));
        QCOMPARE(gravado.LerTexto("EstradaMapa", "Terreno", ""), std::string("mapas/terreno.tif"));
        TProjeto lido(*FUnidades);
        ZerarVariaveis(lido);
        QVERIFY(LerProjeto(lido, projeto));
        QVERIFY(lido.EstradaMapa == esperado);

        const std::size_t trechos = FProjeto->Trechos.size();
        FProjeto->EstradaMapa = lido.EstradaMapa;
        P->Recarregar();
        QTRY_VERIFY_WITH_TIMEOUT(!P->Calculando(), 30000);
        QVERIFY2(Erros.isEmpty(), qPrintable(Erros.join('|')));
        QVERIFY(P->TemEstradaDoMapa() && P->PlantaEstrada->isVisible());
        QCOMPARE(FProjeto->Trechos.size(), trechos);

        QVERIFY(QFile::remove(QString::fromStdString(esperado.Terreno)));
        P->Recarregar();
        QTRY_VERIFY_WITH_TIMEOUT(!P->Calculando(), 30000);
        QCOMPARE(Erros.size(), 1);
        QVERIFY2(Erros[0].startsWith(QStringLiteral("A planta da estrada do mapa não pôde ser "
                                                    "mostrada")) &&
                     Erros[0].contains(QStringLiteral("terreno.tif")),
                 qPrintable(Erros[0]));
        QVERIFY(!P->TemEstradaDoMapa() && !P->PlantaEstrada->isVisible());
        QCOMPARE(FProjeto->Trechos.size(), trechos);
        QVERIFY(FProjeto->EstradaMapa == esperado);
    }
};

QTEST_MAIN(TestePlantaJanela)
#include "TestePlantaJanela.moc"
