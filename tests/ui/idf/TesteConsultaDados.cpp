// A consulta sobre os dados distribuídos: todo estado abre, cada mapa responde a um clique
// e a uma localidade com os parâmetros da consulta de linha de comando ou com a mensagem
// de que não há estações perto; nunca NaN. Nas coordenadas de cada estação, a equação dela.
#include "BancoTeste.h"

#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "idf/ConsultaIdf.h"
#include "idf/ui/DialogoConsulta.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
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
    bool Interpolada = false;
};

TRespostaLinhaDeComando PelaLinhaDeComando(const std::string& lat, const std::string& lon) {
    std::ostringstream saida, erros;
    TRespostaLinhaDeComando r;
    r.Codigo = ConsultarIdf(lat, lon, PastaComunsGerada().toStdString(), "", RaioInterpolacaoKm(),
                            saida, erros);
    r.Erro = erros.str();
    r.Interpolada = saida.str().rfind("Origem: interpolação", 0) == 0;
    std::istringstream linhas(saida.str());
    for (std::string linha; std::getline(linhas, linha);)
        for (const char* p : {"K", "a", "b", "c"})
            if (linha.rfind(std::string(p) + ": ", 0) == 0)
                r.Valores[p] = TextoParaReal(linha.substr(3), 0, '.');
    return r;
}

QStringList Quadros(const TDialogoConsulta& d) {
    return {d.PrecK->text(), d.PrecA->text(), d.PrecB->text(), d.PrecC->text()};
}

// Pixel azul mais perto do centro da moldura do estado.
QPoint PixelAzul(const TDialogoConsulta& d, const TMolduraMapa& m) {
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

    // Os quadros conferem com a linha de comando para o mesmo ponto (a estação com todas as
    // casas, a interpolação com as máscaras), ou a consulta disse que não há estações perto
    // e deixou os quadros como estavam.
    void ConferirComALinhaDeComando(const TDialogoConsulta& d, const std::string& lat,
                                    const std::string& lon, const QStringList& antes,
                                    const char* mK, const char* mB) {
        const auto r = PelaLinhaDeComando(lat, lon);
        for (const auto& q : Quadros(d))
            QVERIFY2(!q.contains("nan", Qt::CaseInsensitive) && !q.contains("inf"), qPrintable(q));
        if (r.Codigo == 1) {
            QCOMPARE(FMensagens.Erros.size(), 1);
            QVERIFY2(FMensagens.Erros[0].startsWith("Não há estações a menos de 100 km do ponto"),
                     qPrintable(FMensagens.Erros[0]));
            QCOMPARE(Quadros(d), antes);
            return;
        }
        QCOMPARE(r.Codigo, 0);
        QVERIFY(FMensagens.Erros.isEmpty());
        const char s = SeparadorDecimalLocal();
        if (!r.Interpolada) {
            QCOMPARE(Quadros(d),
                     (QStringList{QString::fromStdString(FloatToStr(r.Valores.at("K"), s)),
                                  QString::fromStdString(FloatToStr(r.Valores.at("a"), s)),
                                  QString::fromStdString(FloatToStr(r.Valores.at("b"), s)),
                                  QString::fromStdString(FloatToStr(r.Valores.at("c"), s))}));
            return;
        }
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

    void init() {
        FMensagens.Erros.clear();
        FMensagens.Informacoes.clear();
    }

    void todoEstadoMostraSuasEstacoes() {
        TBancoEstacoes bd(PastaComunsGerada().toStdString());
        bd.CarregarEstacoes();
        TDialogoConsulta d(Ambiente());
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
        TDialogoConsulta d(Ambiente());
        d.DefinirEstado(estado);
        d.show();
        QVERIFY(QTest::qWaitFor([&] { return d.Restaurado(); }));
        QVERIFY(FMensagens.Erros.isEmpty());

        const QPoint p = PixelAzul(d, *MolduraEstado(estado));
        QVERIFY(p.x() >= 0);
        QStringList antes = Quadros(d);
        QTest::mouseMove(d.EstadoBMP, p);
        QTest::mouseClick(d.EstadoBMP, Qt::LeftButton, {}, p);
        double lat = 0, lon = 0;
        PixelParaPonto(*MolduraEstado(estado), p.x(), p.y(), lat, lon);
        ConferirComALinhaDeComando(d, TextoGraus(lat), TextoGraus(lon), antes, "###0.000",
                                   "#0.000");

        FMensagens.Erros.clear();
        QVERIFY(d.LBLocalidade->count() > 0);
        antes = Quadros(d);
        d.LBLocalidade->setCurrentRow(d.LBLocalidade->count() / 2);
        // Uma recusa é avisada depois que o evento da lista termina.
        QCoreApplication::processEvents();
        const auto& l = d.BD.Localidades[d.LBLocalidade->count() / 2];
        if (FMensagens.Erros.isEmpty())
            QCOMPARE(d.PrecLaAux->text(), QString::fromStdString(l.Latitude));
        ConferirComALinhaDeComando(d, l.Latitude, l.Longitude, antes, "####.000", "##.000");
    }

    // Nas coordenadas de cada estação distribuída, digitadas no estado dela (com mapa ou
    // sem), e nas de uma estação do usuário, os quadros mostram K, a, b e c da estação, com
    // todas as casas. As duas de Lages têm as mesmas coordenadas: vale a primeira da lista,
    // e a origem nomeia a outra.
    void coordenadasDeCadaEstacaoDaoAEquacaoDela() {
        QTemporaryDir usuario;
        QFile minhas(usuario.filePath("minhas_estacoes.csv"));
        QVERIFY(minhas.open(QIODevice::WriteOnly));
        minhas.write("uf,estacao,latitude,longitude,K,a,b,c,fonte\n"
                     "MT,Cuiabá (medição própria),15.601,56.097,1432.5,0.1543,13.1,0.779,Eu\n");
        minhas.close();
        TAmbienteConsulta a = Ambiente();
        a.PastaUsuario = usuario.path();
        TDialogoConsulta d(a);
        d.show();
        QVERIFY(QTest::qWaitFor([&] { return d.Restaurado(); }));
        int exatas = 0, nomeadas = 0;
        for (int estado = 0; estado < NumeroEstados; ++estado)
            for (const TEstacao& e : d.BD.Estacoes[estado]) {
                d.Estados->setCurrentIndex(estado);
                emit d.Estados->activated(estado);
                d.PrecLaAux->setText(QString::fromStdString(e.Latitude));
                d.PrecLoAux->setText(QString::fromStdString(e.Longitude));
                QTest::mouseClick(d.Calculalalo, Qt::LeftButton);
                QVERIFY2(FMensagens.Erros.isEmpty(), qPrintable(FMensagens.Erros.join('|')));
                if (d.Registro.Nome != e.Nome) {
                    ++nomeadas;
                    QVERIFY2(d.LabelOrigem->text().contains(
                                 QStringLiteral("Outra estação a menos de 1 km: ") +
                                 QString::fromStdString(e.Nome)),
                             qPrintable(d.LabelOrigem->text()));
                    continue;
                }
                ++exatas;
                QCOMPARE(Quadros(d), (QStringList{QString::fromStdString(FloatToStr(e.K, ',')),
                                                  QString::fromStdString(FloatToStr(e.A, ',')),
                                                  QString::fromStdString(FloatToStr(e.B, ',')),
                                                  QString::fromStdString(FloatToStr(e.C, ','))}));
                QVERIFY2(d.LabelOrigem->text().startsWith(QStringLiteral("Equação da estação ") +
                                                          QString::fromStdString(e.Nome)),
                         qPrintable(d.LabelOrigem->text()));
                QCOMPARE(d.Autor->text(), QString::fromStdString(e.Autor));
            }
        QCOMPARE(exatas, 9); // as oito das distribuídas e a do usuário
        QCOMPARE(nomeadas, 1);
    }

    // Um ponto a 171 km das estações mais próximas (Poços de Caldas, no mapa de Minas): com o
    // raio padrão, nada de média e a mensagem das três mais próximas; com 200 km, a média
    // das duas, listadas com a distância e o peso abaixo dos quadros e na janela Autor.
    void pontoLongeSoInterpolaComORaioMaior() {
        TDialogoConsulta d(Ambiente());
        d.DefinirEstado(12);
        d.show();
        QVERIFY(QTest::qWaitFor([&] { return d.Restaurado(); }));
        const QStringList antes = Quadros(d);
        d.PrecLaAux->setText(QStringLiteral("-21,75"));
        d.PrecLoAux->setText(QStringLiteral("46,5 O"));
        QTest::mouseClick(d.Calculalalo, Qt::LeftButton);
        QCOMPARE(FMensagens.Erros.size(), 1);
        const QString& m = FMensagens.Erros[0];
        QVERIFY2(m.startsWith("Não há estações a menos de 100 km do ponto; a equação não foi "
                              "interpolada. As mais próximas são "),
                 qPrintable(m));
        for (const char* nome : {"Araraquara", "São José dos Campos", "Andradina"})
            QVERIFY2(m.contains(QString::fromUtf8(nome)), qPrintable(m));
        QVERIFY2(m.contains(QStringLiteral(", a 171,0 km")), qPrintable(m));
        QVERIFY2(m.contains(QStringLiteral("Configurações")), qPrintable(m));
        QCOMPARE(Quadros(d), antes);

        FMensagens.Erros.clear();
        DefinirRaioInterpolacaoKm(200);
        QTest::mouseClick(d.Calculalalo, Qt::LeftButton);
        DefinirRaioInterpolacaoKm(RaioInterpolacaoPadraoKm);
        QVERIFY2(FMensagens.Erros.isEmpty(), qPrintable(FMensagens.Erros.join('|')));
        QCOMPARE(d.Autor->text(), QStringLiteral("Interpolação"));
        QCOMPARE(d.PrecLaAux->text(), QStringLiteral("21°45'00\""));
        const QString origem = d.LabelOrigem->text();
        QVERIFY2(origem.startsWith("Interpolação pelo inverso da quinta potência da distância, "
                                   "com as 2 estações a menos de 200 km do ponto: "),
                 qPrintable(origem));
        for (const char* nome : {"Araraquara", "São José dos Campos"})
            QVERIFY2(origem.contains(QString::fromUtf8(nome)), qPrintable(origem));
        QCOMPARE(origem.count(QRegularExpression("\\(SP\\), a 17\\d,\\d km, peso \\d\\d,\\d %")),
                 2);
        QVERIFY(!origem.contains("Andradina"));
        d.Autor->click();
        QCOMPARE(FMensagens.Informacoes.size(), 1);
        QVERIFY(FMensagens.Informacoes[0].contains(QStringLiteral("peso")));
        const auto dados = d.DadosRelatorio();
        QVERIFY(dados.Origem.contains(QStringLiteral("Araraquara")));
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
        TDialogoConsulta d(AmbienteConsultaPadrao());
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
        QCOMPARE(caixas.size(), 1);
        QVERIFY2(caixas[0].startsWith("Não há estações a menos de 100 km do ponto"),
                 qPrintable(caixas[0]));
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
