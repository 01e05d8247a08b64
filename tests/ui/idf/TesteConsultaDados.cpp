// A consulta sobre os dados distribuídos: todo estado abre, cada mapa responde a um clique
// e a uma localidade com os parâmetros da consulta de linha de comando ou com a mensagem
// de que não há estações; nunca NaN.
#include "BancoTeste.h"

#include "comum/Numeros.h"
#include "engine/uPersistencia.h"
#include "idf/ConsultaIdf.h"
#include "idf/ui/FoConsulta.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

#include <map>
#include <sstream>

namespace {

// Parâmetros como a linha de comando os imprime ("K: 1086.604"), ou vazio com o código 1.
struct TRespostaLinhaDeComando {
    int Codigo;
    std::map<std::string, double> Valores;
    std::string Erro;
};

TRespostaLinhaDeComando PelaLinhaDeComando(const std::string& lat, const std::string& lon) {
    std::ostringstream saida, erros;
    TRespostaLinhaDeComando r;
    r.Codigo = ConsultarIdf(lat, lon, PastaComunsGerada().toStdString(), "", saida, erros);
    r.Erro = erros.str();
    std::istringstream linhas(saida.str());
    for (std::string linha; std::getline(linhas, linha);)
        for (const char* p : {"K", "a", "b", "c"})
            if (linha.rfind(std::string(p) + ": ", 0) == 0)
                r.Valores[p] = TextoParaReal(linha.substr(3), 0, '.');
    return r;
}

QStringList Quadros(const TfrmFoConsulta& d) {
    return {d.PrecK->text(), d.PrecA->text(), d.PrecB->text(), d.PrecC->text()};
}

// Pixel azul mais perto do centro da moldura do estado.
QPoint PixelAzul(const TfrmFoConsulta& d, const TMolduraMapa& m) {
    const QPoint centro(m.XMapa + m.LarguraMapa / 2, m.YMapa + m.AlturaMapa / 2);
    for (int raio = 0; raio < LadoFigura; ++raio)
        for (int dy = -raio; dy <= raio; ++dy)
            for (int dx = -raio; dx <= raio; ++dx) {
                const auto cor = d.EstadoBMP->Cor(centro.x() + dx, centro.y() + dy);
                if (cor && *cor == CorEstadoNoMapa) return centro + QPoint(dx, dy);
            }
    return {-1, -1};
}

} // namespace

class TesteConsultaDados : public QObject {
    Q_OBJECT

    TMensagensRegistradas FMensagens;
    QTemporaryDir FTrabalho;

    TAmbienteConsulta Ambiente() {
        TAmbienteConsulta a = AmbienteConsultaPadrao();
        a.Mensagens = &FMensagens;
        return a;
    }

    // Os quadros conferem com a linha de comando para o mesmo ponto, ou a consulta disse
    // que não há estações e deixou os quadros como estavam.
    void ConferirComALinhaDeComando(const TfrmFoConsulta& d, const QStringList& antes,
                                    const char* mK, const char* mB) {
        const auto r = PelaLinhaDeComando(d.PrecLaAux->text().toStdString(),
                                          d.PrecLoAux->text().toStdString());
        for (const auto& q : Quadros(d))
            QVERIFY2(!q.contains("nan", Qt::CaseInsensitive) && !q.contains("inf"), qPrintable(q));
        if (r.Codigo == 1) {
            QCOMPARE(FMensagens.Erros, QStringList{QString::fromUtf8(MensagemSemEstacoes)});
            QCOMPARE(Quadros(d), antes);
            return;
        }
        QCOMPARE(r.Codigo, 0);
        QVERIFY(FMensagens.Erros.isEmpty());
        const char s = SeparadorDecimalLocal();
        QCOMPARE(Quadros(d),
                 (QStringList{QString::fromStdString(FormatFloat(mK, r.Valores.at("K"), s)),
                              QString::fromStdString(FormatFloat("0.000", r.Valores.at("a"), s)),
                              QString::fromStdString(FormatFloat(mB, r.Valores.at("b"), s)),
                              QString::fromStdString(FormatFloat("0.000", r.Valores.at("c"), s))}));
    }

private slots:
    void initTestCase() {
        DefinirSeparadorDecimalLocal(',');
        QVERIFY(FTrabalho.isValid());
        QDir::setCurrent(FTrabalho.path());
    }

    void init() { FMensagens.Erros.clear(); }

    void todoEstadoMostraSuasEstacoes() {
        TBDPrecipitacao bd(PastaComunsGerada().toStdString());
        bd.CarregarEstacoes();
        TfrmFoConsulta d(Ambiente());
        d.show();
        QVERIFY(QTest::qWaitFor([&] { return d.Restaurado(); }));
        for (int i = 0; i < NumeroEstados; ++i) {
            d.Estados->setCurrentIndex(i);
            emit d.Estados->activated(i);
            const QString estado = QString::fromUtf8(TabelaEstados[i].Nome);
            QVERIFY2(FMensagens.Erros.isEmpty(), qPrintable(estado));
            QCOMPARE(d.LBEstacao->count(), static_cast<int>(bd.Estacoes[i].size()));
            if (MolduraEstado(i)) {
                QCOMPARE(d.Notebook1->currentIndex(), 1);
                QCOMPARE(d.EstadoBMP->Figura().size(), QSize(LadoFigura, LadoFigura));
                bd.CarregarLocalidades(i);
                QCOMPARE(d.LBLocalidade->count(), static_cast<int>(bd.Localidades.size()));
            }
            if (bd.Estacoes[i].empty()) {
                QCOMPARE(Quadros(d), QStringList(4));
            } else {
                const auto& e = bd.Estacoes[i].front();
                QCOMPARE(d.PrecK->text(), QString::fromStdString(FloatToStr(e.K, ',')));
                QCOMPARE(d.PrecC->text(), QString::fromStdString(FloatToStr(e.C, ',')));
            }
        }
    }

    void cliqueELocalidadeEmCadaMapa_data() {
        QTest::addColumn<int>("estado");
        for (const int i : EstadosComMapa)
            QTest::newRow(TabelaEstados[i].Codigo) << i;
    }

    void cliqueELocalidadeEmCadaMapa() {
        QFETCH(int, estado);
        TfrmFoConsulta d(Ambiente());
        d.DefinirEstado(estado);
        d.show();
        QVERIFY(QTest::qWaitFor([&] { return d.Restaurado(); }));
        QVERIFY(FMensagens.Erros.isEmpty());

        const QPoint p = PixelAzul(d, *MolduraEstado(estado));
        QVERIFY(p.x() >= 0);
        QStringList antes = Quadros(d);
        QTest::mouseMove(d.EstadoBMP, p);
        QTest::mouseClick(d.EstadoBMP, Qt::LeftButton, {}, p);
        ConferirComALinhaDeComando(d, antes, "###0.000", "#0.000");

        FMensagens.Erros.clear();
        QVERIFY(d.LBLocalidade->count() > 0);
        antes = Quadros(d);
        d.LBLocalidade->setCurrentRow(d.LBLocalidade->count() / 2);
        // Uma recusa é avisada depois que o evento da lista termina.
        QCoreApplication::processEvents();
        const auto& l = d.BD.Localidades[d.LBLocalidade->count() / 2];
        if (FMensagens.Erros.isEmpty()) {
            QCOMPARE(d.PrecLaAux->text(), QString::fromStdString(l.Latitude));
        } else {
            // Sem estações o ponto não muda; os textos vão direto à linha de comando.
            d.PrecLaAux->setText(QString::fromStdString(l.Latitude));
            d.PrecLoAux->setText(QString::fromStdString(l.Longitude));
        }
        ConferirComALinhaDeComando(d, antes, "####.000", "##.000");
    }

    // Estado com localidades e sem estações para interpolar, com as caixas de verdade: o
    // clique numa localidade avisa uma vez; depois do OK a consulta continua respondendo.
    void localidadeSemEstacoesAvisaUmaVez_data() {
        QTest::addColumn<int>("estado");
        QTest::newRow("MG") << 12;
        QTest::newRow("PR") << 15;
        QTest::newRow("SP") << 18;
    }

    void localidadeSemEstacoesAvisaUmaVez() {
        QFETCH(int, estado);
        TBDPrecipitacao bd(PastaComunsGerada().toStdString());
        bd.CarregarEstacoes();
        for (const int e : EstadosInterpolacao)
            if (!bd.Estacoes[e].empty()) QSKIP("os dados têm estações para interpolar");

        TfrmFoConsulta d(AmbienteConsultaPadrao());
        d.DefinirEstado(estado);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QVERIFY(QTest::qWaitFor([&] { return d.Restaurado(); }));
        QVERIFY(d.LBLocalidade->count() > 3);

        // Responde OK a cada caixa; depois da quarta esvazia a lista, para o teste terminar
        // mesmo com a consulta presa. O foco fica na lista, como depois de um clique.
        QStringList caixas;
        QTimer vigia;
        vigia.setInterval(10);
        QObject::connect(&vigia, &QTimer::timeout, [&] {
            auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!caixa || !caixa->isVisible()) {
                // Fechada a caixa, o gerenciador de janelas devolve a ativação à consulta.
                if (d.isVisible() && !d.isActiveWindow()) d.activateWindow();
                return;
            }
            caixas << caixa->text();
            if (caixas.size() > 3) d.LBLocalidade->clear();
            QTest::mouseClick(caixa->button(QMessageBox::Ok), Qt::LeftButton);
        });
        vigia.start();
        const QStringList antes = Quadros(d);
        QListWidget* lista = d.LBLocalidade;
        const QPoint ponto = lista->visualItemRect(lista->item(3)).center();
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, ponto);
        QTest::qWait(300);
        QCOMPARE(caixas, QStringList{ComPontoFinal(QString::fromUtf8(MensagemSemEstacoes))});
        QCOMPARE(Quadros(d), antes);
        QVERIFY(lista->selectedItems().isEmpty());

        // A consulta responde: outro clique, o teclado e outro estado.
        caixas.clear();
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, ponto);
        QTest::qWait(100);
        QCOMPARE(caixas.size(), 1);
        caixas.clear();
        d.Estados->setCurrentIndex(0);
        emit d.Estados->activated(0);
        QCOMPARE(d.Notebook1->currentIndex(), 0);
        QVERIFY(caixas.isEmpty());
        QTest::mouseClick(d.BtnOk, Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.Resposta().IndLocalidade, std::int16_t(-1));
    }
};

QTEST_MAIN(TesteConsultaDados)
#include "TesteConsultaDados.moc"
