// "Ajustar equação": colar uma tabela, ajustar e ver K, a, b, c e os erros; a equação de
// duplo logaritmo; a linha ruim recusada; e a volta dos parâmetros para a consulta. A janela
// Autor mostra a verificação e a faixa de durações da estação, com o aviso.
#include "BancoTeste.h"

#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "idf/AjusteIdf.h"
#include "idf/VerificacaoIdf.h"
#include "idf/ui/DialogoAjusteIdf.h"
#include "idf/ui/DialogoAutor.h"
#include "idf/ui/DialogoConsulta.h"
#include "idf/ui/DialogoMinhasEstacoes.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

namespace {

double Valor(const QLineEdit* e) {
    const auto v = TentarTextoParaReal(e->text().toStdString(), SeparadorDecimalLocal());
    return v ? *v : -1;
}

bool Perto(double obtido, double esperado, double relativo) {
    return std::fabs(obtido / esperado - 1) <= relativo;
}

// Tabela colada de uma planilha em português: tabulação e vírgula decimal.
QString TabelaColada(const TParametrosIdf& p) {
    QString t;
    for (const double d : {5, 10, 20, 30, 60, 120, 360, 720, 1440})
        for (const double tr : {2, 10, 25, 100})
            t += QStringLiteral("%1\t%2\t%3\n")
                     .arg(d)
                     .arg(tr)
                     .arg(QString::number(p.Intensidade(d, tr), 'g', 17).replace('.', ','));
    return t;
}

} // namespace

class TesteAjusteIdf : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { DefinirSeparadorDecimalLocal(','); }

    void ColarTabelaEAjustar() {
        TMensagensRegistradas avisos;
        TDialogoAjusteIdf d(avisos);
        d.show();
        QVERIFY(!d.btnUsar->isEnabled());
        const TParametrosIdf p{1285.65, 0.133, 14.2, 0.87};
        d.eTabela->setPlainText(TabelaColada(p));
        QTest::mouseClick(d.btnAjustar, Qt::LeftButton);
        QVERIFY2(avisos.Erros.isEmpty(), qPrintable(avisos.Erros.join('\n')));
        QVERIFY(Perto(Valor(d.lK), p.K, 1e-4));
        QVERIFY(Perto(Valor(d.lA), p.A, 1e-4));
        QVERIFY(Perto(Valor(d.lB), p.B, 1e-4));
        QVERIFY(Perto(Valor(d.lC), p.C, 1e-4));
        QVERIFY2(d.lErros->text().startsWith(QStringLiteral("Erro relativo: RMS 0,0 %")),
                 qPrintable(d.lErros->text()));
        QVERIFY(d.btnUsar->isEnabled());

        // Mudar a tabela desfaz o resultado: nada velho vai para o projeto.
        d.eTabela->appendPlainText(QStringLiteral("15\t5\t100"));
        QVERIFY(d.lK->text().isEmpty());
        QVERIFY(!d.btnUsar->isEnabled());
        QVERIFY(!d.Resultado());

        QTest::mouseClick(d.btnAjustar, Qt::LeftButton);
        QVERIFY(d.btnUsar->isEnabled());
        QTest::mouseClick(d.btnUsar, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(d.Resultado());
        QVERIFY(d.lErros->text().contains(QStringLiteral("t = 15 min e T = 5 anos")));
    }

    void LinhaRuimNaCaixaSemResultado() {
        TMensagensRegistradas avisos;
        TDialogoAjusteIdf d(avisos);
        d.eTabela->setPlainText(QStringLiteral("duracao_min,tr_anos,intensidade_mm_h\n"
                                               "10,2,96.1\n20,2,x\n"));
        QTest::mouseClick(d.btnAjustar, Qt::LeftButton);
        QCOMPARE(avisos.Erros.size(), 1);
        QVERIFY2(avisos.Erros[0].startsWith(QStringLiteral("Linha 3, campo intensidade_mm_h")),
                 qPrintable(avisos.Erros[0]));
        QVERIFY(d.lK->text().isEmpty());
        QVERIFY(!d.btnUsar->isEnabled());
    }

    void EquacaoDeDuploLogaritmo() {
        TMensagensRegistradas avisos;
        TDialogoAjusteIdf d(avisos);
        d.Origem->setCurrentIndex(1);
        // Andradina, como publicada (mm/min), de 10 a 1440 min.
        const char* coeficientes[] = {"34,5743", "20",      "-0,8809", "2,6906", "10",
                                      "-0,6683", "-0,4766", "-0,8977", "10",     "1440"};
        QLineEdit* campos[] = {d.eA, d.eB, d.eC, d.eD,          d.eE,
                               d.eF, d.eG, d.eH, d.eDuracaoMin, d.eDuracaoMax};
        for (std::size_t i = 0; i < 10; ++i) {
            campos[i]->clear();
            QTest::keyClicks(campos[i], QString::fromUtf8(coeficientes[i]));
        }
        QTest::mouseClick(d.btnAjustar, Qt::LeftButton);
        QVERIFY2(avisos.Erros.isEmpty(), qPrintable(avisos.Erros.join('\n')));
        QVERIFY(Perto(Valor(d.lK), 1272.12, 0.01));
        QVERIFY(Perto(Valor(d.lA), 0.1730, 0.01));
        QVERIFY(Perto(Valor(d.lB), 16.49, 0.01));
        QVERIFY(Perto(Valor(d.lC), 0.8108, 0.01));
        QVERIFY2(d.lErros->text().contains(QStringLiteral("22,09 %, em t = 1440 min e T = 2 anos")),
                 qPrintable(d.lErros->text()));

        QTest::keyClicks(d.eDuracaoMax, QStringLiteral("x"));
        QVERIFY(d.lK->text().isEmpty());
        QTest::mouseClick(d.btnAjustar, Qt::LeftButton);
        QCOMPARE(avisos.Erros.size(), 1);
        QVERIFY(avisos.Erros[0].contains(QStringLiteral("duração máxima (min)")));
    }

    // A equação ajustada vai para os quadros da consulta e dela para o projeto.
    void ConsultaRecebeAEquacao() {
        TAmbienteConsulta ambiente = AmbienteConsultaPadrao();
        ambiente.PastaComuns = PastaComunsGerada();
        TMensagensRegistradas avisos;
        ambiente.Mensagens = &avisos;
        TDialogoConsulta consulta(ambiente);
        QVERIFY(consulta.BtnAjustarIdf->isEnabled());
        const TParametrosIdf p{1114.3162448705045, 0.16629236563715113, 13.803075513436786,
                               0.7572984241136436};
        consulta.UsarEquacaoAjustada(p);
        QCOMPARE(Valor(consulta.PrecK), 1114.31624487050);
        QCOMPARE(consulta.PrecC->text(), QStringLiteral("0,757298424113644"));
        QCOMPARE(consulta.Autor->text(), QString::fromUtf8(AutorAjuste));
        QVERIFY(!consulta.Autor->isEnabled());
        consulta.BtnOkClick();
        const TRespostaConsulta r = consulta.Resposta();
        QCOMPARE(r.Autoria, std::string(AutorAjuste));
        QCOMPARE(r.IndEstacao, std::int16_t(-1));
        QCOMPARE(QString::fromStdString(r.PrecB), consulta.PrecB->text());
    }

    // A tabela da publicação colada de uma planilha (canto vazio, durações nas linhas,
    // períodos de retorno nas colunas): ajusta, mostra as faixas da tabela e as entrega, com
    // os erros, a "Salvar como minha estação".
    void ColarTabelaDaPublicacao() {
        TMensagensRegistradas avisos;
        TDialogoAjusteIdf d(avisos);
        std::optional<TResultadoAjusteIdf> salvo;
        d.SalvarComoEstacao = [&](const TResultadoAjusteIdf& r, double, double) { salvo = r; };
        d.show();
        const TParametrosIdf p{1285.65, 0.133, 14.2, 0.87};
        QString t = QStringLiteral("\t2\t10\t100\n");
        for (const double duracao : {5, 10, 30, 60, 240, 1440}) {
            t += QString::number(duracao);
            for (const double tr : {2, 10, 100})
                t += QLatin1Char('\t') +
                     QString::number(p.Intensidade(duracao, tr), 'g', 17).replace('.', ',');
            t += QLatin1Char('\n');
        }
        QApplication::clipboard()->setText(t);
        d.eTabela->setFocus();
        d.eTabela->paste();
        QCOMPARE(d.eTabela->toPlainText(), t);
        QTest::mouseClick(d.btnAjustar, Qt::LeftButton);
        QVERIFY2(avisos.Erros.isEmpty(), qPrintable(avisos.Erros.join('\n')));
        QVERIFY(Perto(Valor(d.lK), p.K, 1e-4));
        QVERIFY(Perto(Valor(d.lB), p.B, 1e-4));
        QVERIFY2(d.lErros->text().contains(QStringLiteral("Tabela de 5 a 1440 min e de 2 a 100 "
                                                          "anos.")),
                 qPrintable(d.lErros->text()));
        QVERIFY(!d.lErros->text().contains(QStringLiteral("Sem limite")));
        QTest::mouseClick(d.btnSalvarEstacao, Qt::LeftButton);
        QVERIFY(salvo);
        QCOMPARE(salvo->TrMin, 2.0);
        QCOMPARE(salvo->TrMax, 100.0);
        QCOMPARE(salvo->DuracaoMax, 1440.0);
    }

    // Tabela de potência pura: a equação fica com b no piso, que a página de dados aceita, e a
    // janela diz o parâmetro preso e o erro sem limites, sem mostrar a equação que sai da faixa.
    void PotenciaPuraFicaComBNoPiso() {
        TMensagensRegistradas avisos;
        TDialogoAjusteIdf d(avisos);
        d.eTabela->setPlainText(TabelaColada({800, 0.25, 0, 0.6}));
        QTest::mouseClick(d.btnAjustar, Qt::LeftButton);
        QVERIFY2(avisos.Erros.isEmpty(), qPrintable(avisos.Erros.join('\n')));
        QCOMPARE(Valor(d.lB), BMinimoAjuste);
        QVERIFY2(d.lErros->text().contains(
                     QStringLiteral("No limite da faixa que os dados do projeto aceitam: b = 1 "
                                    "min (1 a 1000 min). Sem limites, o ajuste sairia da faixa "
                                    "(erro relativo RMS 0,0 %")),
                 qPrintable(d.lErros->text()));
        QVERIFY2(!d.lErros->text().contains(QStringLiteral("K =")), qPrintable(d.lErros->text()));
        QVERIFY(d.btnUsar->isEnabled());
    }

    // Uma tabela que nenhuma equação dentro das faixas representa (intensidade que cai com o
    // período de retorno): nada para usar, e a razão na janela e na caixa.
    void SemEquacaoNaFaixaDizPorQue() {
        TMensagensRegistradas avisos;
        TDialogoAjusteIdf d(avisos);
        d.eTabela->setPlainText(TabelaColada({1000, -0.2, 10, 0.8}));
        QTest::mouseClick(d.btnAjustar, Qt::LeftButton);
        QCOMPARE(avisos.Erros.size(), 1);
        QVERIFY2(avisos.Erros[0].contains(QStringLiteral("pede a = 0 ou menos")),
                 qPrintable(avisos.Erros[0]));
        QCOMPARE(d.lErros->text(), avisos.Erros[0]);
        QVERIFY(d.lK->text().isEmpty());
        QVERIFY(!d.Resultado());
        QVERIFY(!d.btnUsar->isEnabled());
        QVERIFY(!d.btnSalvarEstacao->isEnabled());
    }

    // O editor de uma estação guarda o que não mostra (colunas do usuário) e os erros do
    // ajuste enquanto a equação é a ajustada; outra equação perde os erros.
    void EditorGuardaOAjuste() {
        TMensagensRegistradas avisos;
        // Estado, nome, coordenadas, K, a, b, c, durações, fonte, períodos de retorno, erros.
        const TEstacaoUsuario e{24,
                                "Ajustada",
                                22.9,
                                47.06,
                                1662.9123456789,
                                0.18,
                                1,
                                0.76717,
                                5,
                                1440,
                                "Tabela do estudo",
                                2,
                                100,
                                2.1,
                                6.24,
                                {{"Bacia", "Piracicaba"}}};
        TDialogoEstacaoUsuario editor(avisos);
        editor.DefinirEstacao(e);
        QCOMPARE(editor.eTrMax->text(), QStringLiteral("100"));
        QVERIFY2(editor.lAjuste->text().contains(QStringLiteral("RMS 2,1 %, maior 6,24 %")),
                 qPrintable(editor.lAjuste->text()));
        editor.eNome->setText(QStringLiteral("Renomeada"));
        TEstacaoUsuario lida = editor.Estacao();
        QCOMPARE(lida.Nome, std::string("Renomeada"));
        QCOMPARE(lida.ErroRmsPct, e.ErroRmsPct);
        QCOMPARE(lida.TrMin, 2.0);
        QCOMPARE(lida.OutrasColunas, e.OutrasColunas);
        editor.eK->setText(QStringLiteral("1700"));
        lida = editor.Estacao();
        QVERIFY(!lida.ErroRmsPct);
        QVERIFY(!lida.ErroMaximoPct);
        QCOMPARE(lida.OutrasColunas, e.OutrasColunas);

        // A janela Autor da consulta mostra os erros da estação ajustada.
        TDialogoAutor autor;
        autor.MostrarEstacao(InfoEstacaoUsuario(e), {});
        QVERIFY2(autor.Estacao->text().contains(
                     QStringLiteral("Erro do ajuste à tabela: RMS 2,1 %, maior 6,24 %.")),
                 qPrintable(autor.Estacao->text()));
    }

    void AutorMostraVerificacaoEFaixa() {
        const TInfoEstacaoIdf* e =
            ProcurarInfoEstacao("DAEE1999-SP", 1114.32, 0.1663, 13.80, 0.7573);
        QVERIFY(e);
        TDialogoAutor janela;
        janela.MostrarEstacao(*e, {30, 60});
        const QString texto = janela.Estacao->text();
        QVERIFY2(texto.contains(QStringLiteral("Araraquara")), qPrintable(texto));
        QVERIFY(texto.contains(QStringLiteral("ajustados")));
        QVERIFY(texto.contains(QStringLiteral("de 10 a 105 min")));
        QVERIFY(!texto.contains(QStringLiteral("Atenção")));
        // Nada das notas internas da tabela chega à tela.
        QVERIFY(!texto.contains(QStringLiteral("ajuste_daee")));
        janela.MostrarEstacao(*e, {30, 180});
        QVERIFY(janela.Estacao->text().contains(
            QStringLiteral("Atenção: a chuva de projeto dura 180 min, mais que")));
        janela.Limpar();
        QVERIFY(janela.Estacao->text().isEmpty());
    }
};

QTEST_MAIN(TesteAjusteIdf)
#include "TesteAjusteIdf.moc"
