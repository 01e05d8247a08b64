// Estações do próprio usuário na consulta (incluir pelo editor, importar CSV, sobreviver a
// um reinício, entrar nas listas e na interpolação) e o clique no mapa de São Paulo com os
// dados distribuídos, conferido com a linha de comando.
#include "BancoTeste.h"
#include "JanelaModal.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "idf/EstacoesUsuario.h"
#include "idf/VerificacaoIdf.h"
#include "idf/ui/DialogoConsulta.h"
#include "idf/ui/DialogoMinhasEstacoes.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <map>

namespace {

void Clicar(TFiguraMapa* mapa, int x, int y) {
    QTest::mouseMove(mapa, QPoint(x, y));
    QTest::mouseClick(mapa, Qt::LeftButton, {}, QPoint(x, y));
}

QStringList Quadros(const TDialogoConsulta& d) {
    return {d.PrecK->text(), d.PrecA->text(), d.PrecB->text(), d.PrecC->text()};
}

// K, a, b, c que o programa de linha de comando imprime para o ponto, com a pasta de dados
// do usuário dada.
std::map<std::string, double> PelaLinhaDeComando(const std::string& lat, const std::string& lon,
                                                 const QString& pastaUsuario, QString* erros) {
    QProcess p;
    auto ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert("MORVENDO_DADOS_USUARIO", pastaUsuario);
    p.setProcessEnvironment(ambiente);
    p.start(QCoreApplication::applicationDirPath() + "/morvendo-calc",
            {"--idf", QString::fromStdString(lat), QString::fromStdString(lon)});
    std::map<std::string, double> r;
    if (!p.waitForFinished(20000)) return r;
    *erros = QString::fromUtf8(p.readAllStandardError());
    for (const QString& linha : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        for (const char* nome : {"K", "a", "b", "c"})
            if (linha.startsWith(QString(nome) + ": "))
                r[nome] = TextoParaReal(linha.mid(3).toStdString(), 0, '.');
    return r;
}

const TEstacaoUsuario MinhaCuritiba{15,
                                    "Curitiba (manual municipal)",
                                    25.43,
                                    49.27,
                                    3221.07,
                                    0.258,
                                    26,
                                    1.01,
                                    5,
                                    1440,
                                    "Manual de drenagem de Curitiba, tabela 3",
                                    2,
                                    100,
                                    1.5,
                                    4.25};

} // namespace

class TesteMinhasEstacoes : public QObject {
    Q_OBJECT

    std::unique_ptr<TBancoTeste> FBanco;
    std::unique_ptr<QTemporaryDir> FUsuario;

    TAmbienteConsulta Ambiente() {
        TAmbienteConsulta a = FBanco->Ambiente();
        a.PastaUsuario = FUsuario->path();
        return a;
    }

    std::unique_ptr<TDialogoConsulta> Abrir(const TAmbienteConsulta& a, int estado) {
        auto d = std::make_unique<TDialogoConsulta>(a);
        d->DefinirEstado(estado);
        d->show();
        if (!QTest::qWaitFor([&] { return d->Restaurado(); })) return nullptr;
        return d;
    }

private slots:
    void initTestCase() { DefinirSeparadorDecimalLocal(','); }

    void init() {
        FBanco = std::make_unique<TBancoTeste>();
        FUsuario = std::make_unique<QTemporaryDir>();
    }

    // A pasta que a linha de comando encontra sem a variável é a da janela (com os nomes
    // que o programa dá à aplicação e à organização), com e sem XDG_DATA_HOME.
    void linhaDeComandoAchaAPastaDaJanela() {
        QCoreApplication::setApplicationName(QStringLiteral("Morvendo"));
        QCoreApplication::setOrganizationName(QStringLiteral("Morvendo"));
        qunsetenv("MORVENDO_DADOS_USUARIO");
        const QByteArray xdg = qgetenv("XDG_DATA_HOME");
        for (const QByteArray& valor : {QByteArray(), QByteArray("/tmp/dados-xdg")}) {
            if (valor.isEmpty())
                qunsetenv("XDG_DATA_HOME");
            else
                qputenv("XDG_DATA_HOME", valor);
            QCOMPARE(QString::fromStdString(PastaDadosUsuarioPadrao()),
                     QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        }
        if (xdg.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", xdg);
        qputenv("MORVENDO_DADOS_USUARIO", "/tmp/outra");
        QCOMPARE(PastaDadosUsuarioPadrao(), std::string("/tmp/outra"));
        QCOMPARE(PastaDadosUsuarioDoPrograma(), QStringLiteral("/tmp/outra"));
        qunsetenv("MORVENDO_DADOS_USUARIO");
    }

    // Incluída pelo editor, que começa no estado à mostra, a estação entra na lista do
    // estado marcada, muda a interpolação no mesmo ponto, e continua lá numa consulta nova
    // com a mesma pasta.
    void estacaoIncluidaSobreviveAoReinicioEMudaAInterpolacao() {
        // As estações de teste ficam a uns 170 km do ponto clicado.
        DefinirRaioInterpolacaoKm(300);
        const int x = TPontosParana::LocalidadeX, y = TPontosParana::LocalidadeY;
        auto d = Abrir(Ambiente(), 15);
        QVERIFY(d);
        const int antes = d->LBEstacao->count();
        Clicar(d->EstadoBMP, x, y);
        const QStringList semMinhas = Quadros(*d);
        QVERIFY(!semMinhas.front().isEmpty());

        int estadoDoEditor = -1;
        QuandoAbrir<TDialogoMinhasEstacoes>([&](TDialogoMinhasEstacoes& lista) {
            QuandoAbrir<TDialogoEstacaoUsuario>([&](TDialogoEstacaoUsuario& editor) {
                estadoDoEditor = editor.cbEstado->currentIndex();
                editor.DefinirEstacao(MinhaCuritiba);
                // A coordenada digitada como a pessoa a digita, em graus e minutos.
                editor.eLatitude->setText(QStringLiteral("25°25'48\""));
                QTest::mouseClick(editor.btnOk, Qt::LeftButton);
            });
            lista.AdicionarClick();
            QCOMPARE(lista.Tabela->rowCount(), 1);
            QCOMPARE(lista.Tabela->item(0, 2)->text(), QStringLiteral("25°25'48\" S"));
            // A coordenada mudou, a equação não: os erros do ajuste ficam com a estação.
            QCOMPARE(lista.Tabela->item(0, 10)->text(), QStringLiteral("RMS 1,5 %, maior 4,25 %"));
            lista.accept();
        });
        d->MinhasEstacoesClick();
        QVERIFY2(FBanco->Mensagens.Erros.isEmpty(), qPrintable(FBanco->Mensagens.Erros.join('\n')));
        QCOMPARE(estadoDoEditor, 15);
        QVERIFY(QFile::exists(FUsuario->path() + "/minhas_estacoes.csv"));
        // Nada foi gravado na pasta dos dados distribuídos.
        QVERIFY(!QFile::exists(FBanco->Pasta() + "/minhas_estacoes.csv"));
        QCOMPARE(d->LBEstacao->count(), antes + 1);
        QCOMPARE(d->LBEstacao->item(antes)->text(),
                 QStringLiteral("Curitiba (manual municipal) (minha)"));

        Clicar(d->EstadoBMP, x, y);
        const QStringList comMinhas = Quadros(*d);
        QVERIFY(comMinhas != semMinhas);

        // A estação escolhida na lista: a fonte do usuário no botão Autor.
        d->LBEstacao->setCurrentRow(antes);
        QCOMPARE(d->Autor->text(), QString::fromUtf8(AutorEstacaoUsuario));
        QVERIFY(d->Autor->isEnabled());
        QCOMPARE(d->PrecK->text(), QStringLiteral("3221,07"));
        // O relatório da consulta diz os erros do ajuste da estação.
        QVERIFY2(d->DadosRelatorio().Origem.contains(
                     QStringLiteral("Erro do ajuste à tabela: RMS 1,5 %, maior 4,25 %.")),
                 qPrintable(d->DadosRelatorio().Origem));
        d.reset();

        // Reinício: outra consulta, a mesma pasta.
        auto d2 = Abrir(Ambiente(), 15);
        QVERIFY(d2);
        QCOMPARE(d2->LBEstacao->count(), antes + 1);
        QVERIFY(d2->LBEstacao->item(antes)->text().endsWith(" (minha)"));
        Clicar(d2->EstadoBMP, x, y);
        QCOMPARE(Quadros(*d2), comMinhas);

        // O relatório da estrada cita a estação do usuário pela pasta registrada.
        DefinirPastaDadosUsuario(FUsuario->path().toStdString());
        const TInfoEstacaoIdf* info =
            ProcurarInfoEstacao(AutorEstacaoUsuario, 3221.07, 0.258, 26, 1.01);
        QVERIFY(info && info->DoUsuario);
        QCOMPARE(info->Fonte, std::string("Manual de drenagem de Curitiba, tabela 3"));
        DefinirPastaDadosUsuario({});
        DefinirRaioInterpolacaoKm(RaioInterpolacaoPadraoKm);
    }

    // Uma linha ruim recusa o arquivo inteiro, com o número da linha e o campo; nada entra.
    void csvComLinhaRuimNaoImportaNada() {
        TEstacoesUsuario minhas(FUsuario->path().toStdString());
        TMensagensRegistradas mensagens;
        TDialogoMinhasEstacoes lista(minhas, mensagens);
        const QString ruim = FUsuario->path() + "/ruim.csv";
        {
            QFile f(ruim);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("uf,estacao,latitude,longitude,K,a,b,c,fonte,url,verificacao,duracao_min,"
                    "duracao_max,observacao\n"
                    "PR,Boa,25.4,49.2,3000,0.25,26,1.0,Manual,,,5,1440,\n"
                    "PR,\"Ruim, com vírgula\",25.5,49.3,abc,0.25,26,1.0,Manual,,,,,\n");
        }
        lista.ImportarCsv(ruim);
        QCOMPARE(mensagens.Erros.size(), 1);
        QVERIFY2(mensagens.Erros[0].contains("ruim.csv, linha 3, campo K"),
                 qPrintable(mensagens.Erros[0]));
        QCOMPARE(lista.Tabela->rowCount(), 0);
        QVERIFY(minhas.Lista().empty());
        QVERIFY(!QFile::exists(FUsuario->path() + "/minhas_estacoes.csv"));

        // Corrigida, entram as duas; importada de novo, a repetição é recusada inteira.
        {
            QFile f(ruim);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("uf,estacao,latitude,longitude,K,a,b,c,fonte\n"
                    "PR,Boa,25.4,49.2,3000,0.25,26,1.0,Manual\n"
                    "SP,Outra,22.9,47.06,2500,0.2,20,0.9,Estudo estadual\n");
        }
        mensagens.Erros.clear();
        lista.ImportarCsv(ruim);
        QVERIFY(mensagens.Erros.isEmpty());
        QCOMPARE(lista.Tabela->rowCount(), 2);
        lista.ImportarCsv(ruim);
        QCOMPARE(mensagens.Erros.size(), 1);
        QVERIFY2(mensagens.Erros[0].contains("linha 2"), qPrintable(mensagens.Erros[0]));
        QCOMPARE(minhas.Lista().size(), std::size_t{2});
    }

    // O editor recusa um campo fora da faixa com o nome dele e fica aberto.
    void editorNomeiaOCampoRecusado() {
        TMensagensRegistradas mensagens;
        TDialogoEstacaoUsuario editor(mensagens);
        editor.DefinirEstacao(MinhaCuritiba);
        editor.eC->setText(QStringLiteral("0"));
        editor.OkClick();
        QCOMPARE(mensagens.Erros.size(), 1);
        QVERIFY2(mensagens.Erros[0].startsWith("O campo c "), qPrintable(mensagens.Erros[0]));
        QCOMPARE(editor.result(), 0);
        editor.eC->setText(QStringLiteral("1,01"));
        editor.eLongitude->setText(QStringLiteral("80°00'00\""));
        editor.OkClick();
        QVERIFY2(mensagens.Erros[1].contains("Longitude"), qPrintable(mensagens.Erros[1]));
    }

    // Estação sem coordenadas (nova, ou da série de chuvas diárias): os campos começam vazios
    // e a latitude não digitada é recusada, em vez de virar o equador; 00°00'00" digitado é o
    // equador, aceito como no arquivo, e volta igual ao reabrir.
    void latitudeNaoDigitadaNaoViraOEquador() {
        TMensagensRegistradas mensagens;
        TDialogoEstacaoUsuario editor(mensagens);
        TEstacaoUsuario daSerie = MinhaCuritiba;
        daSerie.Latitude = daSerie.Longitude = 0;
        editor.DefinirEstacao(daSerie);
        QCOMPARE(editor.eLatitude->text(), editor.eLongitude->text());
        QVERIFY(!editor.eLatitude->displayText().contains(QLatin1Char('0')));
        editor.eLongitude->setText(QStringLiteral("51°04'00\""));
        editor.OkClick();
        QCOMPARE(mensagens.Erros, QStringList{QStringLiteral("O campo Latitude (S) está vazio.")});
        QCOMPARE(editor.result(), 0);

        editor.eLatitude->setText(QStringLiteral("00°00'00\""));
        TEstacaoUsuario e = editor.Estacao();
        QCOMPARE(e.Latitude, 0.0);
        QCOMPARE(e.Longitude, 51 + 4 / 60.0);
        editor.DefinirEstacao(e);
        QCOMPARE(editor.eLatitude->text(), QStringLiteral("00°00'00\""));
        QCOMPARE(editor.Estacao().Latitude, 0.0);
        QCOMPARE(editor.Estacao().Longitude, e.Longitude);
    }

    // O editor recusa, e fica aberto, K e b fora das faixas da página de dados (com o valor e a
    // faixa) e o nome de outra estação do mesmo estado (com a linha dela); em outro estado, o
    // nome serve.
    void editorRecusaNomeRepetidoEFaixasDaPagina() {
        TEstacoesUsuario minhas(FUsuario->path().toStdString());
        minhas.Adicionar(MinhaCuritiba);
        TMensagensRegistradas mensagens;
        TDialogoMinhasEstacoes lista(minhas, mensagens);
        // O que o editor disse a cada OK e se continuou aberto; comparado depois que ele fecha.
        QStringList ditas;
        bool abertoDepoisDaRepetida = false;
        QuandoAbrir<TDialogoEstacaoUsuario>([&](TDialogoEstacaoUsuario& editor) {
            editor.DefinirEstacao(MinhaCuritiba);
            for (QLineEdit* campo : {editor.eK, editor.eB}) {
                const QString antes = campo->text();
                campo->setText(campo == editor.eK ? QStringLiteral("1e308") : QStringLiteral("0"));
                editor.OkClick();
                ditas << mensagens.Erros.value(mensagens.Erros.size() - 1);
                campo->setText(antes);
            }
            editor.OkClick();
            ditas << mensagens.Erros.value(mensagens.Erros.size() - 1);
            abertoDepoisDaRepetida = editor.result() == 0;
            editor.cbEstado->setCurrentIndex(24);
            editor.OkClick();
            if (editor.result() == 0) editor.reject();
        });
        lista.AdicionarClick();
        const QStringList esperadas = {
            QStringLiteral("O campo K deve ser maior que 0 e no máximo 100000 (lido: 1E308)."),
            QStringLiteral("O campo b (min) deve ser maior que 0 e no máximo 1000 (lido: 0)."),
            QStringLiteral("Já existe entre as suas estações uma com o nome \"Curitiba (manual "
                           "municipal)\" em Paraná (linha 1 de Minhas estações); o nome de uma "
                           "estação não se repete no mesmo estado.")};
        QCOMPARE(ditas, esperadas);
        QVERIFY(abertoDepoisDaRepetida);
        QCOMPARE(mensagens.Erros.size(), 3);
        QCOMPARE(minhas.Lista().size(), std::size_t{2});
        QCOMPARE(lista.Tabela->item(1, 0)->text(), QStringLiteral("SP"));
    }

    // Com os dados distribuídos, um clique no mapa de São Paulo a 38 km de Araraquara dá os
    // mesmos K, a, b, c que morvendo-calc --idf no ponto clicado, sem mensagem nenhuma.
    void cliqueEmSaoPauloIgualALinhaDeComando() {
        TMensagensRegistradas mensagens;
        TAmbienteConsulta a = AmbienteConsultaPadrao();
        a.Mensagens = &mensagens;
        a.PastaUsuario = FUsuario->path();
        auto d = Abrir(a, 24);
        QVERIFY(d);
        const TPixel p = PontoParaPixel(*MolduraEstado(24), 22.0, 48.5);
        const int x = PixelInteiro(p.X), y = PixelInteiro(p.Y);
        QCOMPARE(d->EstadoBMP->Cor(x, y), std::optional<TCor>(CorEstadoNoMapa));
        Clicar(d->EstadoBMP, x, y);
        QVERIFY2(mensagens.Erros.isEmpty(), qPrintable(mensagens.Erros.join('\n')));
        QCOMPARE(d->Autor->text(), QStringLiteral("Interpolação"));

        QString erros;
        const auto r =
            PelaLinhaDeComando(d->StrLatitude, d->StrLongitude, FUsuario->path(), &erros);
        QVERIFY2(erros.isEmpty(), qPrintable(erros));
        QCOMPARE(r.size(), std::size_t{4});
        // Os valores completos do registro e os quadros com as casas da consulta.
        QCOMPARE(FloatToStr(d->Registro.K), FloatToStr(r.at("K")));
        QCOMPARE(FloatToStr(d->Registro.A), FloatToStr(r.at("a")));
        QCOMPARE(FloatToStr(d->Registro.B), FloatToStr(r.at("b")));
        QCOMPARE(FloatToStr(d->Registro.C), FloatToStr(r.at("c")));
        QCOMPARE(d->PrecK->text(), QString::fromStdString(FormatFloat("###0.000", r.at("K"), ',')));
        // Só Araraquara está a menos de 100 km: a equação é a dela, e a origem o diz.
        QCOMPARE(FloatToStr(r.at("K")), FloatToStr(1114.32));
        QVERIFY2(d->LabelOrigem->text().contains("com a única estação a menos de 100 km do "
                                                 "ponto: Araraquara"),
                 qPrintable(d->LabelOrigem->text()));

        // Uma estação do usuário perto do ponto muda a linha de comando e a janela igualmente.
        TEstacoesUsuario minhas(FUsuario->path().toStdString());
        TEstacaoUsuario e = MinhaCuritiba;
        e.Estado = 24;
        e.Nome = "Perto do ponto";
        e.Latitude = 22.1;
        e.Longitude = 48.6;
        minhas.Adicionar(e);
        auto d2 = Abrir(a, 24);
        QVERIFY(d2);
        Clicar(d2->EstadoBMP, x, y);
        const auto r2 =
            PelaLinhaDeComando(d2->StrLatitude, d2->StrLongitude, FUsuario->path(), &erros);
        QVERIFY2(erros.isEmpty(), qPrintable(erros));
        QVERIFY(r2.at("K") != r.at("K"));
        QCOMPARE(FloatToStr(d2->Registro.K), FloatToStr(r2.at("K")));
        QCOMPARE(FloatToStr(d2->Registro.C), FloatToStr(r2.at("c")));
    }
};

QTEST_MAIN(TesteMinhasEstacoes)
#include "TesteMinhasEstacoes.moc"
