// Diálogo da consulta IDF, Executar do componente, relatório e referências, sobre o banco
// de teste (estações inventadas no PR, em MG e em GO).
#include "BancoTeste.h"

#include "comum/ArquivoIni.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "idf/ui/ConsultaChuva.h"
#include "idf/ui/DialogoAutor.h"
#include "idf/ui/DialogoConsulta.h"
#include "idf/ui/DialogoRelatorioConsulta.h"
#include "idf/ui/DialogoSobreConsulta.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString Zero = QStringLiteral("00°00'00\"");

struct TQuadros {
    QString K, A, B, C;
    bool operator==(const TQuadros&) const = default;
};

TQuadros Quadros(const TDialogoConsulta& d) {
    return {d.PrecK->text(), d.PrecA->text(), d.PrecB->text(), d.PrecC->text()};
}

TQuadros Formatados(const TEstacao& e, const char* mK, const char* mB) {
    const char s = SeparadorDecimalLocal();
    return {QString::fromStdString(FormatFloat(mK, e.K, s)),
            QString::fromStdString(FormatFloat("0.000", e.A, s)),
            QString::fromStdString(FormatFloat(mB, e.B, s)),
            QString::fromStdString(FormatFloat("0.000", e.C, s))};
}

void Clicar(TFiguraMapa* mapa, int x, int y) {
    QTest::mouseMove(mapa, QPoint(x, y));
    QTest::mouseClick(mapa, Qt::LeftButton, {}, QPoint(x, y));
}

void Escolher(TDialogoConsulta& d, int estado) {
    d.Estados->setCurrentIndex(estado);
    emit d.Estados->activated(estado);
}

bool CruzEm(const TDialogoConsulta& d, int x, int y) {
    return d.EixoX->isVisible() && d.EixoY->isVisible() && d.EixoY->x() == x && d.EixoX->y() == y;
}

// Texto da coordenada do pixel do mapa do estado, como o clique a escreve.
std::pair<std::string, std::string> TextosDoPixel(int estado, int x, int y) {
    double lat, lon;
    PixelParaPonto(*MolduraEstado(estado), x, y, lat, lon);
    return {TextoGraus(lat), TextoGraus(lon)};
}

// Quando a janela modal do tipo T estiver aberta e pronta, roda a ação uma vez e, se ela
// não fechou a janela, fecha-a, para o teste nunca ficar preso. Verifica a cada 10 ms, de
// dentro de qualquer laço de eventos; desiste depois de 10 s.
template <class T>
void QuandoAbrir(std::function<void(T&)> acao, std::function<bool(T&)> pronta = {}) {
    auto* relogio = new QTimer;
    auto inicio = std::make_shared<QElapsedTimer>();
    inicio->start();
    QObject::connect(relogio, &QTimer::timeout, [=] {
        auto* j = qobject_cast<T*>(QApplication::activeModalWidget());
        if (inicio->elapsed() > 10000) {
            relogio->stop();
            relogio->deleteLater();
            return;
        }
        if (!j || (pronta && !pronta(*j))) return;
        relogio->stop();
        relogio->deleteLater();
        QPointer<T> janela(j);
        acao(*j);
        if (janela && janela->isVisible()) janela->reject();
    });
    relogio->start(10);
}

void ComDialogo(std::function<void(TDialogoConsulta&)> acao) {
    QuandoAbrir<TDialogoConsulta>(acao, [](TDialogoConsulta& d) { return d.Restaurado(); });
}

} // namespace

class TesteConsulta : public QObject {
    Q_OBJECT

    std::unique_ptr<TBancoTeste> FBanco;
    QTemporaryDir FTrabalho;

    std::unique_ptr<TDialogoConsulta> Abrir(int estado, std::int16_t estacao = -1,
                                            std::int16_t localidade = -1,
                                            const std::string& lat = {},
                                            const std::string& lon = {}) {
        auto d = std::make_unique<TDialogoConsulta>(FBanco->Ambiente());
        d->DefinirEstado(estado);
        d->DefinirPosicoes(estacao, localidade);
        if (!lat.empty()) d->LerLatitude(lat);
        if (!lon.empty()) d->LerLongitude(lon);
        d->show();
        if (!QTest::qWaitFor([&] { return d->Restaurado(); }, 5000))
            qWarning("a consulta não restaurou a tempo");
        return d;
    }

    TEstacao Interpolado(const std::string& lat, const std::string& lon) {
        TBancoEstacoes bd(FBanco->Pasta().toStdString());
        bd.CarregarEstacoes();
        return bd.InterpolarParametros(lat, lon);
    }

private slots:
    void initTestCase() {
        DefinirSeparadorDecimalLocal(',');
        // As estações de teste do Paraná ficam a uns 170 km dos pontos clicados: o raio
        // maior deixa a interpolação entre elas.
        DefinirRaioInterpolacaoKm(300);
        FBanco = std::make_unique<TBancoTeste>();
        QVERIFY(FTrabalho.isValid());
        QDir::setCurrent(FTrabalho.path());
        // O banco de teste só serve se os pontos escolhidos caem na área azul do mapa.
        QImage pr(FBanco->Pasta() + "/PR.bmp");
        for (auto [x, y] : {std::pair{TPontosParana::EstacaoAlfaX, TPontosParana::EstacaoAlfaY},
                            {TPontosParana::EstacaoBetaX, TPontosParana::EstacaoBetaY},
                            {TPontosParana::LocalidadeX, TPontosParana::LocalidadeY}})
            QCOMPARE(pr.pixelColor(x, y), QColor(0, 0, 255));
    }

    void cleanupTestCase() { DefinirRaioInterpolacaoKm(RaioInterpolacaoPadraoKm); }

    void init() {
        FBanco->Mensagens.Erros.clear();
        FBanco->Mensagens.Informacoes.clear();
    }

    void paranaMostraMapaEPrimeiraEstacao() {
        auto d = Abrir(0);
        QCOMPARE(d->windowTitle(),
                 QStringLiteral("Consulta da equação de chuva - Estado: Acre     "));
        QCOMPARE(d->Notebook1->currentIndex(), 0);
        // Sem mapa, o ponto ainda se digita.
        QVERIFY(d->PrecLaAux->isEnabled() && d->Calculalalo->isEnabled());

        Escolher(*d, 15);
        QCOMPARE(d->windowTitle(),
                 QStringLiteral("Consulta da equação de chuva - Estado: Paraná     "));
        QCOMPARE(d->Notebook1->currentIndex(), 1);
        QVERIFY(d->EstadoBMP->isVisible());
        QVERIFY(d->PrecLaAux->isEnabled() && d->Calculalalo->isEnabled());
        QCOMPARE(d->LBEstacao->count(), 2);
        QCOMPARE(d->LBEstacao->item(0)->text(), QStringLiteral("Estação Teste Alfa"));
        QCOMPARE(d->LBEstacao->currentRow(), 0);
        QVERIFY(d->LBLocalidade->isVisible());
        QCOMPARE(d->LBLocalidade->count(), 2);
        // Forma geral, com a vírgula das configurações regionais.
        QCOMPARE(Quadros(*d), (TQuadros{"1234,5678", "0,15", "12,3", "0,82"}));
        QCOMPARE(d->Autor->text(), QStringLiteral("TESTE-PR"));
        QCOMPARE(d->StrCidade, std::string("Estação Teste Alfa"));
        QVERIFY(CruzEm(*d, TPontosParana::EstacaoAlfaX, TPontosParana::EstacaoAlfaY));
        const auto [lat, lon] =
            TextosDoPixel(15, TPontosParana::EstacaoAlfaX, TPontosParana::EstacaoAlfaY);
        QCOMPARE(d->PrecLaAux->text(), QString::fromStdString(lat));
        // Nas bordas do mapa, com o hemisfério.
        QCOMPARE(d->LabelLon->text(), QString::fromStdString(lon) + " W");
        QVERIFY(!d->lAviso->isVisible());
        QVERIFY(FBanco->Mensagens.Erros.isEmpty());

        // A segunda estação, pela lista.
        d->LBEstacao->setCurrentRow(1);
        QCOMPARE(Quadros(*d), (TQuadros{"2000,25", "0,2", "20,5", "0,9"}));
        QVERIFY(CruzEm(*d, TPontosParana::EstacaoBetaX, TPontosParana::EstacaoBetaY));

        // Outro estado, sem estações: a fonte do Paraná não fica no botão Autor.
        Escolher(*d, 0);
        QCOMPARE(d->Autor->text(), QStringLiteral("Autor"));
        QVERIFY(!d->Autor->isEnabled());
        QCOMPARE(Quadros(*d), TQuadros{});
    }

    void cliqueNoMapa() {
        auto d = Abrir(15, 0);
        const int x = TPontosParana::LocalidadeX, y = TPontosParana::LocalidadeY;
        Clicar(d->EstadoBMP, x, y);
        const auto [lat, lon] = TextosDoPixel(15, x, y);
        QCOMPARE(d->Autor->text(), QStringLiteral("Interpolação"));
        QCOMPARE(d->StrCidade, std::string("Não definida"));
        QCOMPARE(d->StrLatitude, lat);
        QCOMPARE(d->StrLongitude, lon);
        QVERIFY(d->LBEstacao->selectedItems().isEmpty());
        QVERIFY(d->LBLocalidade->selectedItems().isEmpty());
        QVERIFY(CruzEm(*d, x, y));
        const TQuadros interpolados = Formatados(Interpolado(lat, lon), "###0.000", "#0.000");
        QCOMPARE(Quadros(*d), interpolados);
        // Entre as estações, com três decimais.
        const double k = TextoParaReal(d->PrecK->text().toStdString(), 0, ',');
        QVERIFY(k > 1234.5678 && k < 2000.25);
        QVERIFY(QRegularExpression(",\\d\\d\\d$").match(d->PrecK->text()).hasMatch());

        // O ponteiro sobre o mapa só mostra onde está, no rótulo; os quadros de coordenadas
        // guardam o que foi digitado ou clicado até o próximo clique.
        QTest::mouseMove(d->EstadoBMP,
                         QPoint(TPontosParana::EstacaoBetaX, TPontosParana::EstacaoBetaY));
        const auto [latBeta, lonBeta] =
            TextosDoPixel(15, TPontosParana::EstacaoBetaX, TPontosParana::EstacaoBetaY);
        QVERIFY(d->LabelPonteiro->text().contains(QString::fromStdString(latBeta) + " S"));
        QVERIFY(d->LabelPonteiro->text().contains(QString::fromStdString(lonBeta) + " W"));
        QCOMPARE(d->PrecLaAux->text(), QString::fromStdString(lat));
        QCOMPARE(d->PrecLoAux->text(), QString::fromStdString(lon));
        // Fora da área azul: o ponteiro vira seta, o rótulo se apaga e o clique só esconde a
        // cruz.
        QTest::mouseMove(d->EstadoBMP, QPoint(20, 20));
        QCOMPARE(d->EstadoBMP->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(d->LabelPonteiro->text().isEmpty());
        QCOMPARE(d->PrecLaAux->text(), QString::fromStdString(lat));
        Clicar(d->EstadoBMP, 20, 20);
        QVERIFY(!d->EixoX->isVisible() && !d->LabelLat->isVisible());
        QCOMPARE(Quadros(*d), interpolados);
        QCOMPARE(d->Autor->text(), QStringLiteral("Interpolação"));
        QCOMPARE(d->StrLatitude, lat);
    }

    // Clique, localidade e coordenadas digitadas no mesmo ponto dão os mesmos parâmetros.
    void mesmosParametrosPorCliqueLocalidadeECoordenadas() {
        const int x = TPontosParana::LocalidadeX, y = TPontosParana::LocalidadeY;
        const auto [lat, lon] = TextosDoPixel(15, x, y);
        auto d = Abrir(15, 0);

        QCOMPARE(d->LBLocalidade->item(1)->text(), QStringLiteral("Localidade Teste Um"));
        d->LBLocalidade->setCurrentRow(1);
        QCOMPARE(d->StrLatitude, lat);
        QCOMPARE(d->StrCidade, std::string("Localidade Teste Um"));
        QCOMPARE(d->Autor->text(), QStringLiteral("Interpolação"));
        QVERIFY(d->LBEstacao->selectedItems().isEmpty());
        QVERIFY(CruzEm(*d, x, y));
        const TQuadros pelaLocalidade = Quadros(*d);
        QCOMPARE(pelaLocalidade, Formatados(Interpolado(lat, lon), "####.000", "##.000"));

        Escolher(*d, 15);
        Clicar(d->EstadoBMP, x, y);
        QCOMPARE(Quadros(*d), pelaLocalidade);

        Escolher(*d, 15);
        d->PrecLaAux->setText(QString::fromStdString(lat));
        d->PrecLoAux->setText(QString::fromStdString(lon));
        QTest::mouseClick(d->Calculalalo, Qt::LeftButton);
        QCOMPARE(Quadros(*d), pelaLocalidade);
        QVERIFY(CruzEm(*d, x, y));
        QVERIFY(FBanco->Mensagens.Erros.isEmpty());

        // Localidade no mar: interpola, mas a cruz some e o Autor fica como estava.
        Escolher(*d, 15);
        d->LBLocalidade->setCurrentRow(1);
        d->LBLocalidade->setCurrentRow(0);
        QVERIFY(!d->EixoX->isVisible());
        QCOMPARE(d->Autor->text(), QStringLiteral("Interpolação"));
        QVERIFY(!d->PrecK->text().isEmpty());
    }

    void calcular_data() {
        QTest::addColumn<QString>("latitude");
        QTest::addColumn<QString>("longitude");
        QTest::addColumn<QString>("erro");
        QTest::addColumn<bool>("quadrosVazios");
        QTest::newRow("além de LatMax") << "27°00'00\""
                                        << "51°00'00\""
                                        << "Latitude 27°00'00\" não definida." << false;
        QTest::newRow("além de LonMax") << "24°00'00\""
                                        << "55°00'00\""
                                        << "Longitude 55°00'00\" não definida." << false;
        QTest::newRow("par apagado")
            << "24°  '00\""
            << "51°00'00\""
            << "Latitude \"24°  '00\"\" não é uma coordenada: use graus, minutos e segundos "
               "(27°11'36\") ou graus decimais (-27,1933 ou 27,1933 S)."
            << false;
        QTest::newRow("ao norte do equador") << "2,5 N"
                                             << "51°00'00\""
                                             << "Latitude \"2,5 N\" fica ao norte do equador; a "
                                                "consulta guarda só latitudes ao sul e "
                                                "longitudes a oeste."
                                             << false;
        QTest::newRow("na moldura, fora do azul") << "22°40'00\""
                                                  << "48°10'00\""
                                                  << "" << true;
    }

    void calcular() {
        QFETCH(QString, latitude);
        QFETCH(QString, longitude);
        QFETCH(QString, erro);
        QFETCH(bool, quadrosVazios);
        auto d = Abrir(15, 0);
        const TQuadros antes = Quadros(*d);
        d->PrecLaAux->setText(latitude);
        d->PrecLoAux->setText(longitude);
        QTest::mouseClick(d->Calculalalo, Qt::LeftButton);
        if (erro.isEmpty()) {
            QVERIFY(FBanco->Mensagens.Erros.isEmpty());
        } else {
            QCOMPARE(FBanco->Mensagens.Erros, QStringList{erro});
            // O erro não desfaz a consulta em curso.
            QCOMPARE(Quadros(*d), antes);
            QCOMPARE(d->LBEstacao->currentRow(), 0);
            QCOMPARE(d->StrCidade, std::string("Estação Teste Alfa"));
        }
        if (quadrosVazios) {
            QCOMPARE(Quadros(*d), TQuadros{});
            QVERIFY(!d->EixoX->isVisible());
        }
    }

    void sergipeDepoisDoParana() {
        auto d = Abrir(15, 0);
        const QImage mapaPR = d->EstadoBMP->Figura();
        Escolher(*d, 25);
        QCOMPARE(d->windowTitle(),
                 QStringLiteral("Consulta da equação de chuva - Estado: Sergipe     "));
        QCOMPARE(d->Notebook1->currentIndex(), 1);
        QVERIFY(d->EstadoBMP->isVisible());
        QCOMPARE(d->EstadoBMP->Figura(), mapaPR);
        QCOMPARE(d->Autor->text(), QString());
        QVERIFY(!d->Autor->isEnabled());
        QCOMPARE(d->LBEstacao->count(), 0);
        QVERIFY(!d->LBLocalidade->isVisible());
        QCOMPARE(Quadros(*d), TQuadros{});
        // Sergipe não tem mapa: as coordenadas não são conferidas com a moldura do Paraná.
        QVERIFY(!d->MapaDoEstadoVisivel());
    }

    void figuraAusenteVoltaAoEstadoAnterior() {
        auto d = Abrir(15, 0);
        Escolher(*d, 24); // sem SP.bmp no banco de teste
        QCOMPARE(FBanco->Mensagens.Erros,
                 QStringList{"Erro. Não foi possível localizar o arquivo BMP do estado "
                             "selecinado (São Paulo)."});
        QCOMPARE(d->EstadoEscolhido.Indice(), 15);
        QCOMPARE(d->Estados->currentIndex(), 15);
        QCOMPARE(d->Notebook1->currentIndex(), 1);
        QCOMPARE(d->LBEstacao->count(), 2);
        QCOMPARE(d->PrecK->text(), QStringLiteral("1234,5678"));
        QVERIFY(QApplication::overrideCursor() == nullptr);

        // Aberto já num estado sem figura: não há anterior a que voltar; vai para o início.
        FBanco->Mensagens.Erros.clear();
        auto e = Abrir(24);
        QCOMPARE(FBanco->Mensagens.Erros.size(), 1);
        QCOMPARE(e->EstadoEscolhido.Indice(), 0);
        QCOMPARE(e->Notebook1->currentIndex(), 0);
    }

    void goiasMostraAvisoSoParaSuaFonte() {
        auto d = Abrir(8, 0);
        QCOMPARE(d->Notebook1->currentIndex(), 0);
        QCOMPARE(d->Autor->text(), QStringLiteral("TESTE-GO"));
        QVERIFY(d->lAviso->isVisible());
        QVERIFY(!d->LBLocalidade->isVisible());
        QVERIFY(d->NomeCid->isVisible());
        QCOMPARE(d->NomeCid->text(), QStringLiteral("Estação Teste Goiânia"));
        QCOMPARE(d->LabelLatitude->text(), QStringLiteral("16°40'48\" S"));

        d->LBEstacao->setCurrentRow(1);
        QCOMPARE(d->Autor->text(), QStringLiteral("TESTE-MG"));
        QVERIFY(!d->lAviso->isVisible());

        // A mesma chave em outro estado não mostra a nota.
        d->LBEstacao->setCurrentRow(0);
        QVERIFY(d->lAviso->isVisible());
        Escolher(*d, 12);
        QVERIFY(!d->lAviso->isVisible());
    }

    void mapaDoBrasil() {
        auto d = Abrir(0);
        const QImage& brasil = d->BrasilBMP->Figura();
        QVERIFY(!brasil.isNull());
        auto achar = [&](TCor cor) {
            for (int y = 0; y < brasil.height(); ++y)
                for (int x = 0; x < brasil.width(); ++x)
                    if (brasil.pixelColor(x, y) == QColor(cor.R, cor.G, cor.B)) return QPoint(x, y);
            return QPoint(-1, -1);
        };
        const QPoint parana = achar(CorEstadoBrasil(15));
        const QPoint sergipe = achar(CorEstadoBrasil(25));
        const QPoint borda = achar(CorBordaBrasil);
        QVERIFY(parana.x() >= 0 && sergipe.x() >= 0 && borda.x() >= 0);

        QTest::mouseMove(d->BrasilBMP, sergipe);
        QCOMPARE(d->BrasilBMP->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseMove(d->BrasilBMP, parana);
        QCOMPARE(d->BrasilBMP->cursor().shape(), Qt::PointingHandCursor);

        Escolher(*d, 8);
        Clicar(d->BrasilBMP, borda.x(), borda.y());
        QCOMPARE(d->EstadoEscolhido.Indice(), 8);
        Clicar(d->BrasilBMP, sergipe.x(), sergipe.y());
        QCOMPARE(d->EstadoEscolhido.Indice(), 8);
        Clicar(d->BrasilBMP, parana.x(), parana.y());
        QCOMPARE(d->EstadoEscolhido.Indice(), 15);
        QCOMPARE(d->Notebook1->currentIndex(), 1);

        // "Mapa do Brasil" volta ao Acre e à página do Brasil.
        d->acaoMapaDoBrasil->trigger();
        QCOMPARE(d->EstadoEscolhido.Indice(), 0);
        QCOMPARE(d->Notebook1->currentIndex(), 0);
        QVERIFY(FBanco->Mensagens.Erros.isEmpty());
    }

    void executarConfereOsDados_data() {
        QTest::addColumn<QString>("falta");
        QTest::addColumn<int>("estado");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("pasta") << "pasta" << 15
                               << "Erro. Não foi possível localizar a pasta contendo o banco de "
                                  "dados.";
        QTest::newRow("estações") << NomeArquivoEstacoes << 15
                                  << "Erro. Não foi possível localizar o banco de dados contendo "
                                     "os estados.";
        QTest::newRow("localidades") << NomeArquivoLocalidades << 15
                                     << "Erro. Não foi possível localizar o banco de dados "
                                        "contendo as localidades.";
        QTest::newRow("sem estado")
            << "" << -1 << "É necessário entrar com um índice para o estado";
        QTest::newRow("estado 27") << "" << 27 << " Não existe estado com índice igual a 27";
    }

    void executarConfereOsDados() {
        QFETCH(QString, falta);
        QFETCH(int, estado);
        QFETCH(QString, mensagem);
        QTemporaryDir copia;
        TAmbienteConsulta a = FBanco->Ambiente();
        a.PastaComuns = copia.path() + "/Arquivos Comuns";
        QDir().mkpath(a.PastaComuns);
        for (const char* nome : {NomeArquivoEstacoes, NomeArquivoLocalidades, "PR.bmp"})
            QFile::copy(FBanco->Pasta() + "/" + nome, a.PastaComuns + "/" + nome);
        if (falta == "pasta")
            QDir(a.PastaComuns).removeRecursively();
        else if (!falta.isEmpty())
            QFile::remove(a.PastaComuns + "/" + falta);

        TChuvaDeProjeto t;
        t.IndEstado = static_cast<std::int16_t>(estado);
        t.Precipitacao().K(700);
        try {
            ExecutarConsultaChuva(t, nullptr, a);
            QFAIL("Executar deveria falhar");
        } catch (const EMorvendo& e) {
            QCOMPARE(QString::fromUtf8(e.what()), mensagem);
        }
        QCOMPARE(t.IndEstado, estado);
        QCOMPARE(t.Precipitacao().K(), 700.0);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void cancelarNaoMudaNada() {
        TChuvaDeProjeto t;
        t.IndEstado = 15;
        t.IndEstacao = 1;
        t.Latitude = "25°00'00\"";
        t.StrCidade = "Cidade";
        t.Precipitacao().K(700);
        t.Precipitacao().C(0.5);
        t.DefinirAutoria("X");
        TArquivoIni antes;
        t.Gravar(antes);

        ComDialogo([](TDialogoConsulta& d) {
            QCOMPARE(d.LBEstacao->currentRow(), 1);
            Clicar(d.EstadoBMP, TPontosParana::LocalidadeX, TPontosParana::LocalidadeY);
            Escolher(d, 12);
            QTest::mouseClick(d.BtnCancel, Qt::LeftButton);
        });
        QVERIFY(!ExecutarConsultaChuva(t, nullptr, FBanco->Ambiente()));
        TArquivoIni depois;
        t.Gravar(depois);
        QCOMPARE(depois.Texto(), antes.Texto());
        QCOMPARE(t.Autoria(), std::string("X"));
    }

    void aceitarEstacao() {
        TChuvaDeProjeto t;
        t.IndEstado = 15; // IndEstacao 0 e IndLocalidade 0, como depois de Limpar
        ComDialogo([](TDialogoConsulta& d) {
            QCOMPARE(d.StrCidade, std::string("Estação Teste Alfa"));
            QTest::mouseClick(d.BtnOk, Qt::LeftButton);
        });
        QVERIFY(ExecutarConsultaChuva(t, nullptr, FBanco->Ambiente()));
        QCOMPARE(t.Precipitacao().K(), 1234.5678);
        QCOMPARE(t.Precipitacao().A(), 0.15);
        QCOMPARE(t.Precipitacao().B(), 12.3);
        QCOMPARE(t.Precipitacao().C(), 0.82);
        QCOMPARE(t.Autoria(), std::string("TESTE-PR"));
        QCOMPARE(t.StrCidade, std::string("Estação Teste Alfa"));
        QCOMPARE(t.StrEstado, std::string("Paraná"));
        QCOMPARE(t.IndEstacao, std::int16_t(0));
        QCOMPARE(t.IndLocalidade, std::int16_t(-1));
        QCOMPARE(t.Latitude,
                 TextosDoPixel(15, TPontosParana::EstacaoAlfaX, TPontosParana::EstacaoAlfaY).first);
    }

    // Um clique no mapa aceito, gravado no projeto e relido: reabrir repete a interpolação.
    void reabrirDepoisDeCliqueGravadoNoProjeto() {
        const int x = TPontosParana::EstacaoBetaX - 40, y = TPontosParana::EstacaoBetaY + 20;
        TChuvaDeProjeto t;
        t.IndEstado = 12;
        TQuadros vistos;
        ComDialogo([&](TDialogoConsulta& d) {
            Escolher(d, 15);
            Clicar(d.EstadoBMP, x, y);
            vistos = Quadros(d);
            QTest::mouseClick(d.BtnOk, Qt::LeftButton);
        });
        QVERIFY(ExecutarConsultaChuva(t, nullptr, FBanco->Ambiente()));
        QCOMPARE(t.StrCidade, std::string("Não definida"));
        QCOMPARE(t.Autoria(), std::string("Interpolação"));
        QCOMPARE(t.IndEstacao, std::int16_t(-1));
        QCOMPARE(t.IndLocalidade, std::int16_t(-1));
        QCOMPARE(t.IndEstado, std::int16_t(15));
        QCOMPARE(QString::fromStdString(FormatFloat("###0.000", t.Precipitacao().K(), ',')),
                 vistos.K);

        TArquivoIni projeto;
        t.Gravar(projeto);
        TChuvaDeProjeto relido;
        QVERIFY(relido.Ler(projeto));
        TQuadros reabertos;
        bool cruz = false;
        ComDialogo([&](TDialogoConsulta& d) {
            reabertos = Quadros(d);
            cruz = CruzEm(d, x, y);
            QTest::mouseClick(d.BtnOk, Qt::LeftButton);
        });
        QVERIFY(ExecutarConsultaChuva(relido, nullptr, FBanco->Ambiente()));
        QCOMPARE(reabertos, vistos);
        QVERIFY(cruz);
        QCOMPARE(relido.Latitude, t.Latitude);
        QCOMPARE(relido.Precipitacao().K(), t.Precipitacao().K());
        QCOMPARE(relido.Autoria(), std::string("Interpolação"));
    }

    // Fechar com os quadros vazios (ponto fora da área azul) é um erro e nada muda.
    void aceitarComQuadrosVaziosNaoMudaNada() {
        TChuvaDeProjeto t;
        t.IndEstado = 12;
        t.Precipitacao().K(700);
        TArquivoIni antes;
        t.Gravar(antes);
        ComDialogo([](TDialogoConsulta& d) {
            Escolher(d, 15);
            d.PrecLaAux->setText(QStringLiteral("22°40'00\""));
            d.PrecLoAux->setText(QStringLiteral("48°10'00\""));
            QTest::mouseClick(d.Calculalalo, Qt::LeftButton);
            QTest::mouseClick(d.BtnOk, Qt::LeftButton);
        });
        try {
            ExecutarConsultaChuva(t, nullptr, FBanco->Ambiente());
            QFAIL("quadros vazios deveriam ser recusados");
        } catch (const EMorvendo& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("'' não é um número válido"));
        }
        TArquivoIni depois;
        t.Gravar(depois);
        QCOMPARE(depois.Texto(), antes.Texto());
    }

    void relatorioDeCliqueNoMapa() {
        auto d = Abrir(15, 0);
        const int x = TPontosParana::LocalidadeX, y = TPontosParana::LocalidadeY;
        Clicar(d->EstadoBMP, x, y);
        const QString bit = QDir::current().absoluteFilePath("Bit.bmp");
        {
            TDialogoRelatorioConsulta r([&] { return d->DadosRelatorio(); }, d->Ambiente(),
                                        d.get());
            r.show();
            const QString texto = r.Viewer->toPlainText();
            QVERIFY(texto.contains("Localidade: Não definida"));
            QVERIFY(texto.contains("Estado: Paraná"));
            QVERIFY(texto.contains("K: " + d->PrecK->text()));
            QVERIFY(texto.contains("MAPA DE LOCALIZAÇÃO:"));
            // As estações da interpolação, com distância e peso.
            QVERIFY(texto.contains("ORIGEM DOS PARÂMETROS:"));
            QVERIFY(texto.contains("Estação Teste Alfa (PR), a "));
            QVERIFY(r.Viewer->toHtml().contains("Bit.bmp"));
            QImage marcado(bit);
            QVERIFY(!marcado.isNull());
            QCOMPARE(marcado.pixelColor(x, y), QColor(Qt::black));
            QCOMPARE(marcado.pixelColor(x + 10, y), QColor(0, 0, 255));

            // Cada ativação refaz o documento com o estado do diálogo naquele momento.
            Clicar(d->EstadoBMP, x + 40, y);
            r.FormActivate();
            QVERIFY(r.Viewer->toPlainText().contains("K: " + d->PrecK->text()));
            marcado.load(bit);
            QCOMPARE(marcado.pixelColor(x + 40, y), QColor(Qt::black));
            QCOMPARE(marcado.pixelColor(x, y), QColor(0, 0, 255));

            // Impressão para PDF: o documento sai inteiro.
            QPrinter pdf;
            pdf.setOutputFormat(QPrinter::PdfFormat);
            pdf.setOutputFileName(FTrabalho.filePath("relatorio.pdf"));
            ImprimirDocumento(*r.Viewer->document(), pdf);
            QVERIFY(QFileInfo(FTrabalho.filePath("relatorio.pdf")).size() > 1000);
        }
        QVERIFY(!QFile::exists(bit));
    }

    void relatorioSemMapaEscapaOsTextos() {
        auto d = Abrir(8, 0);
        {
            TDialogoRelatorioConsulta r([&] { return d->DadosRelatorio(); }, d->Ambiente(),
                                        d.get());
            r.show();
            const QString texto = r.Viewer->toPlainText();
            QVERIFY(texto.contains("Localidade: Estação Teste Goiânia"));
            QVERIFY(texto.contains("c: 0,8"));
            QVERIFY(!texto.contains("MAPA DE LOCALIZAÇÃO"));
            QVERIFY(!QFile::exists("Bit.bmp"));
        }
        TDadosRelatorioConsulta dados;
        dados.Localidade = QStringLiteral("<img src=\"/etc/passwd\">");
        const QString html = DocumentoRelatorioConsulta(dados, "cab.jpg", "01/02/2025");
        QVERIFY(html.contains("&lt;img src=&quot;/etc/passwd&quot;&gt;"));
        QVERIFY(!html.contains("<img src=\"/etc"));
    }

    void referencias() {
        auto d = Abrir(15, 0);
        QStringList rotulos;
        QuandoAbrir<TDialogoAutor>([&](TDialogoAutor& j) {
            rotulos << j.Autor->text() << j.Livro->text() << j.Pagina->text();
            QTest::mouseClick(j.OK, Qt::LeftButton);
        });
        QTest::mouseClick(d->Autor, Qt::LeftButton);
        QCOMPARE(rotulos,
                 (QStringList{"Autores do Paraná", "Chuvas do Paraná", "Revista de teste, 2001"}));
        QVERIFY(FBanco->Mensagens.Informacoes.isEmpty());

        // Depois de um clique no mapa, as estações da interpolação, com a distância e o peso,
        // em vez da janela.
        Clicar(d->EstadoBMP, TPontosParana::LocalidadeX, TPontosParana::LocalidadeY);
        QTest::mouseClick(d->Autor, Qt::LeftButton);
        QCOMPARE(FBanco->Mensagens.Informacoes.size(), 1);
        const QString& texto = FBanco->Mensagens.Informacoes[0];
        QVERIFY2(texto.startsWith("Informação: Interpolação pelo inverso da quinta potência da "
                                  "distância, com as 2 estações a menos de 300 km do ponto:\n"),
                 qPrintable(texto));
        for (const char* nome : {"Estação Teste Alfa (PR), a ", "Estação Teste Beta (PR), a "})
            QVERIFY2(texto.contains(QString::fromUtf8(nome)), qPrintable(texto));
        QCOMPARE(texto.count(QStringLiteral(" km, peso ")), 2);
        QVERIFY(!texto.contains("Estados da Bahia"));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void sobreNaPrimeiraAtivacao() {
        TChuvaDeProjeto t;
        t.IndEstado = 0;
        t.ShowAbout = true;
        bool figura = false, fechou = false;
        QuandoAbrir<TDialogoSobreConsulta>([&](TDialogoSobreConsulta& s) {
            figura = s.imgSplash->pixmap().width() == 559;
            QTest::keyClick(&s, Qt::Key_Space);
            fechou = !s.isVisible();
        });
        ComDialogo([](TDialogoConsulta& d) { QTest::mouseClick(d.BtnCancel, Qt::LeftButton); });
        QVERIFY(!ExecutarConsultaChuva(t, nullptr, FBanco->Ambiente()));
        QVERIFY(figura);
        QVERIFY(fechou);
    }
};

QTEST_MAIN(TesteConsulta)
#include "TesteConsulta.moc"
