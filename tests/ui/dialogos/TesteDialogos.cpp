// Diálogos de parâmetros usados como uma pessoa os usa: só o teclado, com a vírgula decimal
// do português do Brasil.
#include <QApplication>
#include <QButtonGroup>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <functional>

#include "dialogs/Cobertura.h"
#include "dialogs/DialogoInclinacaoTalude.h"
#include "dialogs/DialogoRugosidadeCanal.h"
#include "dialogs/DialogoRugosidadeTerreno.h"
#include "dialogs/TabelasParametros.h"

namespace {

// Roda a ação no diálogo modal assim que ele abre. Se a ação deixar o diálogo aberto por
// engano, ele é cancelado depois de alguns segundos, para o teste falhar em vez de travar.
void AoAbrir(std::function<void(QDialog*)> acao) {
    QTimer::singleShot(0, [acao] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) {
            QTest::qFail("o diálogo não abriu", __FILE__, __LINE__);
            return;
        }
        QTimer::singleShot(5000, d, [d] { d->reject(); });
        // Atalhos e foco só valem na janela ativa.
        d->activateWindow();
        if (!QTest::qWaitForWindowActive(d))
            QTest::qFail("o diálogo não ficou ativo", __FILE__, __LINE__);
        acao(d);
    });
}

void Teclas(QWidget* w, const QString& texto) {
    for (const QChar c : texto)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w,
                        c.toLatin1());
}

// Alt+letra de um botão faz um clique animado, que termina um instante depois.
void Alt(QWidget* d, char tecla) {
    QTest::keyClick(d, tecla, Qt::AltModifier);
    QTest::qWait(150);
}

void Enter(QDialog* d) {
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : d, Qt::Key_Return);
}

void Esc(QDialog* d) {
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : d, Qt::Key_Escape);
}

TDialogoTabela* Tabela(QDialog* d) {
    return qobject_cast<TDialogoTabela*>(d);
}

// Passo de um caso: teclas ("a" Alt+letra, "t" texto, "e" Enter, "x" Esc).
struct TPasso {
    char tipo;
    QString texto;
};

using Passos = QList<TPasso>;

void Executar(QDialog* d, const QList<TPasso>& passos) {
    for (const auto& p : passos) {
        switch (p.tipo) {
        case 'a':
            Alt(d, p.texto[0].toLatin1());
            break;
        case 't':
            Teclas(d, p.texto);
            break;
        case 'e':
            Enter(d);
            break;
        case 'x':
            Esc(d);
            break;
        }
    }
}

} // namespace

Q_DECLARE_METATYPE(TPasso)

class TesteDialogos : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void DialogoRugosidadeCanal_data();
    void DialogoRugosidadeCanal();
    void RugosidadeCanalNumeroInvalidoNaoFecha();
    void DialogoRugosidadeTerreno_data();
    void DialogoRugosidadeTerreno();
    void InclinacaoTalude();
    void InclinacaoTaludeFiltroEOutros();
    void TabelasECitacoes();
    void CoberturaHabilitacao_data();
    void CoberturaHabilitacao();
    void CoberturaAbreComORegistro();
    void CoberturaConfirmarECancelar_data();
    void CoberturaConfirmarECancelar();

private:
    QStringList erros;
};

void TesteDialogos::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    DefinirMostrarErroDialogos([this](QWidget*, const QString& m) { erros << m; });
}

void TesteDialogos::init() {
    erros.clear();
}

void TesteDialogos::DialogoRugosidadeCanal_data() {
    QTest::addColumn<int>("indice");
    QTest::addColumn<double>("valor");
    QTest::addColumn<int>("linhaMostrada");
    QTest::addColumn<QString>("textoMostrado");
    QTest::addColumn<Passos>("passos");
    QTest::addColumn<bool>("confirmado");
    QTest::addColumn<int>("indiceFinal");
    QTest::addColumn<double>("valorFinal");
    QTest::newRow("linha da tabela")
        << 3 << 0.0 << 3 << "0,025" << Passos{{'e', ""}} << true << 3 << 0.025;
    QTest::newRow("valor guardado vence o da tabela")
        << 3 << 0.0285 << 3 << "0,0285" << Passos{{'e', ""}} << true << 3 << 0.0285;
    // Alt+S escolhe a linha 5; Alt+V vai ao campo; digitar desmarca todas as linhas.
    QTest::newRow("linha escolhida e depois digitada")
        << 0 << 0.0 << 0 << "" << Passos{{'a', "S"}, {'a', "V"}, {'t', "0.031"}, {'e', ""}} << true
        << 0 << 0.031;
    QTest::newRow("cancelar depois de escolher")
        << 2 << 0.022 << 2 << "0,022" << Passos{{'a', "L"}, {'a', "G"}, {'x', ""}} << false << 2
        << 0.022;
    QTest::newRow("índice fora da tabela")
        << -1 << 0.05 << 0 << "0,05" << Passos{{'e', ""}} << true << 0 << 0.05;
    QTest::newRow("nada escolhido: Ok desabilitado")
        << 0 << 0.0 << 0 << "" << Passos{{'e', ""}, {'x', ""}} << false << 0 << 0.0;
}

void TesteDialogos::DialogoRugosidadeCanal() {
    QFETCH(int, indice);
    QFETCH(double, valor);
    QFETCH(int, linhaMostrada);
    QFETCH(QString, textoMostrado);
    QFETCH(Passos, passos);
    QFETCH(bool, confirmado);
    QFETCH(int, indiceFinal);
    QFETCH(double, valorFinal);

    TRugosidadeCanal componente;
    componente.Indice = 7;
    componente.Valor = 0.035;
    TReal alvo{valor, std::int8_t(indice)};
    int linhaVista = -1;
    QString textoVisto;
    AoAbrir([&](QDialog* d) {
        linhaVista = Tabela(d)->LinhaMarcada();
        textoVisto = Tabela(d)->Campo()->text();
        Executar(d, passos);
    });
    QCOMPARE(componente.Executar(alvo), confirmado);
    QCOMPARE(linhaVista, linhaMostrada);
    QCOMPARE(textoVisto, textoMostrado);
    QCOMPARE(int(alvo.Indice), indiceFinal);
    QCOMPARE(alvo.Valor, valorFinal);
    // Cancelado, o componente guarda a escolha anterior.
    QCOMPARE(int(componente.Indice), confirmado ? indiceFinal : 7);
    QCOMPARE(componente.Valor, confirmado ? valorFinal : 0.035);
    QVERIFY(erros.isEmpty());
}

void TesteDialogos::RugosidadeCanalNumeroInvalidoNaoFecha() {
    TRugosidadeCanal componente;
    TReal alvo{0.02, 1};
    bool abertoDepoisDoErro = false;
    AoAbrir([&](QDialog* d) {
        // O filtro deixa passar dois separadores; a conversão recusa.
        Teclas(d, "1,,2");
        Enter(d);
        abertoDepoisDoErro = d->isVisible();
        Esc(d);
    });
    QVERIFY(!componente.Executar(alvo));
    QVERIFY(abertoDepoisDoErro);
    QCOMPARE(erros, QStringList{"'1,,2' não é um número válido."});
    QCOMPARE(alvo.Valor, 0.02);
}

void TesteDialogos::DialogoRugosidadeTerreno_data() {
    QTest::addColumn<int>("indice");
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("textoMostrado");
    QTest::addColumn<Passos>("passos");
    QTest::addColumn<int>("linhaMarcadaAoFim");
    QTest::addColumn<bool>("confirmado");
    QTest::addColumn<int>("indiceFinal");
    QTest::addColumn<double>("valorFinal");
    QTest::newRow("linha 14 do alvo")
        << 14 << 0.0 << "0,035" << Passos{{'e', ""}} << 14 << true << 14 << 0.035;
    // Alt+M escolhe a linha 6; digitar dá o índice 0, mas a linha continua marcada.
    QTest::newRow("escolhida e digitada")
        << 0 << 0.0 << "" << Passos{{'a', "M"}, {'a', "V"}, {'t', "0,18"}, {'e', ""}} << 6 << true
        << 0 << 0.18;
    QTest::newRow("linha 13 sem digitar")
        << 0 << 0.0 << "" << Passos{{'a', "G"}, {'e', ""}} << 13 << true << 13 << 0.2;
    QTest::newRow("cancelar") << 5 << 0.12 << "0,12" << Passos{{'a', "B"}, {'x', ""}} << 9 << false
                              << 5 << 0.12;
}

void TesteDialogos::DialogoRugosidadeTerreno() {
    QFETCH(int, indice);
    QFETCH(double, valor);
    QFETCH(QString, textoMostrado);
    QFETCH(Passos, passos);
    QFETCH(int, linhaMarcadaAoFim);
    QFETCH(bool, confirmado);
    QFETCH(int, indiceFinal);
    QFETCH(double, valorFinal);

    TRugosidadeTerreno componente;
    TReal alvo{valor, std::int8_t(indice)};
    QString textoVisto;
    int marcada = -1;
    AoAbrir([&](QDialog* d) {
        textoVisto = Tabela(d)->Campo()->text();
        QList<TPasso> antes = passos;
        const TPasso fim = antes.takeLast();
        Executar(d, antes);
        marcada = Tabela(d)->LinhaMarcada();
        Executar(d, {fim});
    });
    QCOMPARE(componente.Executar(alvo), confirmado);
    QCOMPARE(textoVisto, textoMostrado);
    QCOMPARE(marcada, linhaMarcadaAoFim);
    QCOMPARE(int(alvo.Indice), indiceFinal);
    QCOMPARE(alvo.Valor, valorFinal);
}

void TesteDialogos::InclinacaoTalude() {
    TInclinacaoTalude z;
    TReal canal{0.5, -1}, conducao{0, -1};
    // Primeiro uso: nenhuma linha, campo vazio, Ok desabilitado.
    AoAbrir([&](QDialog* d) {
        QCOMPARE(Tabela(d)->LinhaMarcada(), 0);
        QVERIFY(Tabela(d)->Campo()->text().isEmpty());
        QVERIFY(!Tabela(d)->BotaoOk()->isEnabled());
        QCOMPARE(QApplication::focusWidget(), Tabela(d)->Campo());
        Alt(d, 'S'); // " &Solo firme"
        QCOMPARE(Tabela(d)->Campo()->text(), QString(" 1,00"));
        Enter(d);
    });
    QVERIFY(z.Executar(canal));
    QCOMPARE(int(canal.Indice), 3);
    QCOMPARE(canal.Valor, 1.0);
    // O outro canal abre com a última escolha do componente, não com o seu valor.
    conducao.Valor = 2.0;
    AoAbrir([&](QDialog* d) {
        QCOMPARE(Tabela(d)->LinhaMarcada(), 3);
        QCOMPARE(Tabela(d)->Campo()->text(), QString("1"));
        Esc(d);
    });
    QVERIFY(!z.Executar(conducao));
    QCOMPARE(conducao.Valor, 2.0);
    QCOMPARE(int(z.Indice), 3);
    // Digitar marca " Ou&tros": o valor digitado tem o índice 6.
    AoAbrir([&](QDialog* d) {
        Tabela(d)->Campo()->clear();
        Teclas(d, "0,8");
        QCOMPARE(Tabela(d)->LinhaMarcada(), LINHA_Z_OUTROS);
        Enter(d);
    });
    QVERIFY(z.Executar(conducao));
    QCOMPARE(int(conducao.Indice), 6);
    QCOMPARE(conducao.Valor, 0.8);
    QCOMPARE(z.Valor, 0.8);
}

void TesteDialogos::InclinacaoTaludeFiltroEOutros() {
    TDialogoInclinacaoTalude d;
    d.Iniciar(0, 0);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    // " Ou&tros" com o campo vazio não habilita o Ok, e o foco vai ao campo.
    Alt(&d, 'T');
    QCOMPARE(d.LinhaMarcada(), LINHA_Z_OUTROS);
    QCOMPARE(QApplication::focusWidget(), d.Campo());
    QVERIFY(!d.BotaoOk()->isEnabled());
    // Letras e "-" não entram; o separador de milhar vira o decimal.
    QTest::keyClicks(d.Campo(), "a-2.5x");
    QCOMPARE(d.Campo()->text(), QString("2,5"));
    QVERIFY(d.BotaoOk()->isEnabled());
    // Cancelar desmarca as linhas.
    QTest::keyClick(d.Campo(), Qt::Key_Escape);
    QCOMPARE(d.LinhaMarcada(), 0);
    QCOMPARE(d.result(), int(QDialog::Rejected));
}

void TesteDialogos::TabelasECitacoes() {
    // Cada linha da tabela tem o valor que a escolha leva ao campo.
    TDialogoRugosidadeCanal rc;
    TDialogoRugosidadeTerreno rt;
    TDialogoInclinacaoTalude z;
    QCOMPARE(rc.NumeroDeLinhas(), 9);
    QCOMPARE(rt.NumeroDeLinhas(), 19);
    QCOMPARE(z.NumeroDeLinhas(), 6);
    QCOMPARE(rc.Linha(7)->text(),
             QString("E&rvas daninhas densas, plantas aquáticas em canais profundos"));
    QCOMPARE(rt.Linha(19)->text(), QString("Superfície rugosa"));
    QCOMPARE(ValorDaTabela(TABELA_RUGTER[18].Valor, '.'), std::string("0.200"));
    for (const char* c : {CITACAO_RUGCAN, CITACAO_RUGTER, CITACAO_Z})
        QVERIFY(QString(c).startsWith("Fonte: "));
    // Atalhos das linhas sem repetição dentro de um diálogo (senão Alt+letra não escolhe).
    for (TDialogoTabela* d : std::initializer_list<TDialogoTabela*>{&rc, &rt, &z}) {
        // O campo e "&Ok" e "&Cancelar"; "Aj&uda" divide o u com uma linha do terreno, o que
        // só faz Alt+U alternar o foco entre os dois.
        QSet<QChar> atalhos{'v', 'o', 'c', 'z'};
        for (int i = 1; i <= d->NumeroDeLinhas(); ++i) {
            const QString t = d->Linha(i)->text();
            const auto p = t.indexOf('&');
            if (p < 0) continue;
            const QChar a = t[p + 1].toLower();
            QVERIFY2(!atalhos.contains(a), qPrintable(t));
            atalhos.insert(a);
        }
    }
}

void TesteDialogos::CoberturaHabilitacao_data() {
    QTest::addColumn<int>("uso");
    QTest::addColumn<QString>("tratamentos"); // habilitados, um caractere por item
    QTest::addColumn<QString>("condicoes");
    QTest::addColumn<int>("itemTratamento");
    QTest::addColumn<int>("itemCondicao");
    QTest::newRow("Sem cultivo") << 0 << "100"
                                 << "000" << 0 << -1;
    // A condição nunca vem marcada sem ser escolhida.
    QTest::newRow("Cultivo em fileiras") << 1 << "111"
                                         << "101" << 0 << -1;
    QTest::newRow("Cereais de semeadura densa") << 2 << "111"
                                                << "101" << 0 << -1;
    QTest::newRow("Leguminosas") << 3 << "111"
                                 << "101" << 0 << -1;
    QTest::newRow("Pastagem") << 4 << "010"
                              << "111" << 1 << -1;
    QTest::newRow("Floresta") << 5 << "000"
                              << "111" << -1 << -1;
}

void TesteDialogos::CoberturaHabilitacao() {
    QFETCH(int, uso);
    QFETCH(QString, tratamentos);
    QFETCH(QString, condicoes);
    QFETCH(int, itemTratamento);
    QFETCH(int, itemCondicao);
    TDialogoCobertura d;
    d.UsoTerra.Indice = uso == 0 ? 1 : 0; // abre noutro uso, para a escolha mudar
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.GrupoUso()->button(uso)->click();
    QString t, c;
    for (int i = 0; i < 3; ++i) {
        t += d.GrupoTratamento()->button(i)->isEnabled() ? '1' : '0';
        c += d.GrupoCondicao()->button(i)->isEnabled() ? '1' : '0';
    }
    QCOMPARE(t, tratamentos);
    QCOMPARE(c, condicoes);
    QCOMPARE(d.GrupoTratamento()->checkedId(), itemTratamento);
    QCOMPARE(d.GrupoCondicao()->checkedId(), itemCondicao);
    // Sem a condição que o uso pede, o Ok espera; marcada, libera.
    QCOMPARE(d.BotaoOk()->isEnabled(), condicoes == "000");
    if (condicoes != "000") {
        d.GrupoCondicao()->button(2)->click();
        QVERIFY(d.BotaoOk()->isEnabled());
    }
    d.reject();
}

void TesteDialogos::CoberturaAbreComORegistro() {
    struct {
        int uso, trat, cond;
        int itemTrat, itemCond;
        bool regularHabilitado, fileirasHabilitado;
    } casos[] = {
        {1, 3, 3, 2, 2, false, true},
        // Um arquivo com pastagem em fileiras retas mostra o item, embora desabilitado.
        {4, 1, 2, 0, 1, true, false},
    };
    for (const auto& c : casos) {
        TDialogoCobertura d;
        d.UsoTerra.Indice = std::uint8_t(c.uso);
        d.Tratamento.Indice = std::uint8_t(c.trat);
        d.CondicaoHidrologica.Indice = std::uint8_t(c.cond);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(d.GrupoUso()->checkedId(), c.uso);
        QCOMPARE(d.GrupoTratamento()->checkedId(), c.itemTrat);
        QCOMPARE(d.GrupoCondicao()->checkedId(), c.itemCond);
        QCOMPARE(d.GrupoCondicao()->button(1)->isEnabled(), c.regularHabilitado);
        QCOMPARE(d.GrupoTratamento()->button(0)->isEnabled(), c.fileirasHabilitado);
        d.reject();
    }
}

void TesteDialogos::CoberturaConfirmarECancelar_data() {
    QTest::addColumn<int>("uso");
    QTest::addColumn<int>("trat");
    QTest::addColumn<int>("cond");
    QTest::addColumn<Passos>("passos");
    QTest::addColumn<bool>("confirmado");
    QTest::addColumn<QList<int>>("registro");
    QTest::addColumn<QString>("descricao");
    // O foco abre no uso marcado; setas andam e escolhem; Alt+H vai à condição, que ninguém
    // marcou: espaço marca a primeira. Enter sem a condição que o uso pede não fecha.
    QTest::newRow("floresta, condição boa")
        << 0 << 1 << 0 << Passos{{'d', "5"}, {'a', "H"}, {'t', " "}, {'d', "2"}, {'e', ""}} << true
        << QList<int>{5, 0, 3} << "Floresta; Boa";
    QTest::newRow("sem cultivo") << 1 << 1 << 1 << Passos{{'u', "1"}, {'e', ""}} << true
                                 << QList<int>{0, 1, 0} << "Sem cultivo; Fileiras retas; ";
    QTest::newRow("cultivo em fileiras, má")
        << 5 << 0 << 3 << Passos{{'u', "4"}, {'e', ""}, {'a', "H"}, {'t', " "}, {'e', ""}} << true
        << QList<int>{1, 1, 1} << "Cultivo em fileiras; Fileiras retas; Má";
    QTest::newRow("mudar e cancelar")
        << 2 << 2 << 3 << Passos{{'d', "2"}, {'x', ""}} << false << QList<int>{2, 2, 3}
        << "Cereais de semeadura densa; Com curvas de nível; Boa";
}

void TesteDialogos::CoberturaConfirmarECancelar() {
    QFETCH(int, uso);
    QFETCH(int, trat);
    QFETCH(int, cond);
    QFETCH(Passos, passos);
    QFETCH(bool, confirmado);
    QFETCH(QList<int>, registro);
    QFETCH(QString, descricao);

    TCobertura r("Talude");
    r.UsoTerra.Indice = std::uint8_t(uso);
    r.Tratamento.Indice = std::uint8_t(trat);
    r.CondicaoHidrologica.Indice = std::uint8_t(cond);
    Dialogos::TCobertura componente;
    AoAbrir([&](QDialog* d) {
        for (const auto& p : passos) {
            if (p.tipo == 'd' || p.tipo == 'u') // setas para baixo ou para cima, n vezes
                for (int i = 0; i < p.texto.toInt(); ++i)
                    QTest::keyClick(QApplication::focusWidget(),
                                    p.tipo == 'd' ? Qt::Key_Down : Qt::Key_Up);
            else
                Executar(d, {p});
        }
    });
    QCOMPARE(componente.Executar(r), confirmado);
    QCOMPARE((QList<int>{r.UsoTerra.Indice, r.Tratamento.Indice, r.CondicaoHidrologica.Indice}),
             registro);
    QCOMPARE(QString::fromStdString(componente.Descricao), descricao);
    if (confirmado)
        QCOMPARE(int(componente.UsoTerra.Indice), registro[0]);
    else
        QCOMPARE(int(componente.UsoTerra.Indice), 0); // propriedades intocadas
}

QTEST_MAIN(TesteDialogos)
#include "TesteDialogos.moc"
