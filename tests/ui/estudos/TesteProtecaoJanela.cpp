// Página da proteção do canal na janela principal de verdade, sem tela: a tabela é a do núcleo
// com os dados digitados, que vão para o projeto; dado ruim não calcula; um trecho da estrada
// é calculado com o seu comprimento; o CSV, o relatório e a ajuda.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "ajuda/Ajuda.h"
#include "comum/ArquivoIni.h"
#include "comum/ContextosAjuda.h"
#include "mainwindow/Principal.h"
#include "mainwindow/estudos/PaginaProtecao.h"
#include "mainwindow/estudos/Tabelas.h"
#include "project/Projeto.h"
#include "project/ProtecaoCanal.h"
#include "reports/RelatorioEstrada.h"

namespace {

const QString DADOS = QStringLiteral(MORVENDO_DADOS_TESTE);

class TRoteiro : public IInteracaoPrincipal {
public:
    QStringList Erros;
    TResposta Perguntar(const std::string&, bool) override { return TResposta::Nao; }
    std::optional<std::string> EscolherArquivoAbrir() override { return std::nullopt; }
    std::optional<std::string> EscolherArquivoSalvar(const std::string&,
                                                     const std::string&) override {
        return std::nullopt;
    }
    void MostrarErro(const std::string& m) override { Erros << QString::fromStdString(m); }
    void MostrarInformacao(const std::string&) override {}
    bool AbrirEndereco(const QUrl&) override { return true; }
};

// Como a pessoa: foco no campo, o texto e Enter, que termina a edição.
void Digitar(QLineEdit* campo, const QString& texto) {
    campo->setFocus();
    campo->clear();
    QTest::keyClicks(campo, texto);
    QTest::keyClick(campo, Qt::Key_Return);
}

} // namespace

class TesteProtecaoJanela : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> FPasta;
    std::unique_ptr<TRoteiro> R;
    std::unique_ptr<TJanelaPrincipal> J;

    TPaginaProtecao* Abrir(const QString& caso) {
        R = std::make_unique<TRoteiro>();
        TOpcoesPrincipal o;
        o.ArquivoConfiguracao = FPasta->filePath("Morvendo.ini").toStdString();
        o.Interacao = R.get();
        J = std::make_unique<TJanelaPrincipal>(o);
        J->show();
        const QString destino = FPasta->filePath("p.mvd");
        QFile::copy(DADOS + "/referencia/" + caso + ".mvd", destino);
        QFile(destino).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        if (!J->AbrirProjeto(destino.toStdString())) return nullptr;
        J->findChild<QAction*>(QStringLiteral("MProtecao"))->trigger();
        return J->PaginaProtecao();
    }

    void Calcular(TPaginaProtecao* p) {
        QTest::mouseClick(p->btnCalcularProtecao, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!p->Calculando(), 60000);
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void init() { FPasta = std::make_unique<QTemporaryDir>(); }
    void cleanup() {
        J.reset();
        R.reset();
    }

    // Os padrões nos campos; os digitados vão para o projeto (alterado) e a tabela e o gráfico
    // são os do núcleo com eles.
    void tabelaIgualAoNucleo() {
        TPaginaProtecao* p = Abrir(QStringLiteral("c14_talude_sem_escoamento"));
        QVERIFY(p);
        QCOMPARE(J->PaginaAtual(), int(PAG_PROTECAO));
        QCOMPARE(p->eProfundidadeCanal->text(), QStringLiteral("0,3"));
        QCOMPARE(p->eFatorCobertura->text(), QStringLiteral("0,87"));
        QCOMPARE(p->cbClasseGrama->currentIndex(), 3);
        QVERIFY(p->eCustoGrama->text().isEmpty());
        QCOMPARE(Ajuda::ContextoDe(p->btnCalcularProtecao), int(CONTEXTO_PROTECAO));

        Digitar(p->eProfundidadeCanal, QStringLiteral("0,6"));
        p->cbClasseGrama->setCurrentIndex(1);
        emit p->cbClasseGrama->activated(1);
        Digitar(p->eCustoGrama, QStringLiteral("10"));
        Digitar(p->eCustoDesaguadouro, QStringLiteral("2000"));
        QVERIFY(J->Alterado());
        TConfiguracaoProtecao esperada;
        esperada.ProfundidadeCanal = 0.6;
        esperada.ClasseGrama = TClasseGrama::B;
        esperada.Custos.Grama = 10;
        esperada.Custos.Desaguadouro = 2000;
        QCOMPARE(J->Projeto().Protecao, esperada);

        Calcular(p);
        QVERIFY2(R->Erros.isEmpty(), qPrintable(R->Erros.join('|')));
        QVERIFY(p->Resultado());
        TArquivoIni doc;
        EscreverProjeto(J->Projeto(), doc);
        const TResultadoProtecao nucleo = ExecutarProtecao(doc, esperada);
        const auto& alts = p->Resultado()->Alternativas;
        QCOMPARE(alts.size(), nucleo.Alternativas.size());
        for (std::size_t i = 0; i < alts.size(); ++i) {
            QCOMPARE(alts[i].Espacamento, nucleo.Alternativas[i].Espacamento);
            QCOMPARE(alts[i].CustoPorKm, nucleo.Alternativas[i].CustoPorKm);
            QCOMPARE(alts[i].MaisBarata, nucleo.Alternativas[i].MaisBarata);
        }
        const auto valores = p->ValoresGrafico();
        QCOMPARE(valores.size(), alts.size());
        for (std::size_t i = 0; i < alts.size(); ++i)
            QCOMPARE(valores[i].value_or(-1), double(alts[i].Espacamento));
        QCOMPARE(p->tbProtecao->model()->rowCount(), 5);
        const QString situacaoGrama = p->tbProtecao->model()
                                          ->index(1, p->tbProtecao->model()->columnCount() - 1)
                                          .data()
                                          .toString();
        QVERIFY2(situacaoGrama.startsWith(QStringLiteral("a mais barata que atende")),
                 qPrintable(situacaoGrama));

        // CSV das planilhas: BOM, ';' e uma linha por alternativa.
        const QString csv = FPasta->filePath("protecao.csv");
        p->ExportarCsv(csv);
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList linhas =
            QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(linhas.size(), 6);
        QVERIFY(linhas[0].startsWith(QStringLiteral("Alternativa;Espaçamento (m);")));
        QVERIFY(linhas[1].startsWith(QStringLiteral("Solo exposto;82;")));

        // O relatório leva a tabela só quando pedido.
        QVERIFY(!p->ParaRelatorio());
        p->cbxRelatorio->setChecked(true);
        QVERIFY(p->ParaRelatorio());
        TOpcoesRelatorioEstrada o;
        o.Protecao = p->ParaRelatorio();
        const TResultadoCalculo calc =
            ExecutarCalculo(J->Projeto(), J->Projeto().Estrada.Comprimento(), nullptr);
        const std::string html = MontarRelatorioEstrada(J->Projeto(), calc, o);
        QVERIFY(html.find("Prote\xE7\xE3o do canal") != std::string::npos);
    }

    // Borda livre maior que a profundidade: a mensagem, sem cálculo e sem mudar o projeto.
    void dadoRuimNaoCalcula() {
        TPaginaProtecao* p = Abrir(QStringLiteral("c03_equiv_200m"));
        QVERIFY(p);
        Digitar(p->eBordaLivre, QStringLiteral("0,5"));
        QCOMPARE(J->Projeto().Protecao, TConfiguracaoProtecao{});
        QTest::mouseClick(p->btnCalcularProtecao, Qt::LeftButton);
        QCOMPARE(R->Erros.size(), 1);
        QVERIFY2(R->Erros[0].contains(QStringLiteral("borda livre")), qPrintable(R->Erros[0]));
        QVERIFY(!p->Calculando());
        QVERIFY(!p->Resultado());
        Digitar(p->eBordaLivre, QStringLiteral("abc"));
        QTest::mouseClick(p->btnCalcularProtecao, Qt::LeftButton);
        QCOMPARE(R->Erros.size(), 2);
        QVERIFY2(R->Erros[1].contains(QStringLiteral("\"abc\" não é um número")),
                 qPrintable(R->Erros[1]));
    }

    // Um trecho da estrada: o seu comprimento, e nada para o relatório (que é do projeto).
    void trechoDaEstrada() {
        TPaginaProtecao* p = Abrir(QStringLiteral("c03_equiv_200m"));
        QVERIFY(p);
        J->Projeto().Trechos = {TTrecho("T1", 0, 80, 0.04), TTrecho("T2", 80, 120, -0.02)};
        p->Atualizar();
        QCOMPARE(p->cbCanal->count(), 3);
        p->cbCanal->setCurrentIndex(2);
        Calcular(p);
        QVERIFY2(R->Erros.isEmpty(), qPrintable(R->Erros.join('|')));
        QVERIFY(p->Resultado());
        QCOMPARE(p->Resultado()->Comprimento, 120);
        QCOMPARE(p->Resultado()->Declividade, 0.02);
        p->cbxRelatorio->setChecked(true);
        QVERIFY(!p->ParaRelatorio());
    }
};

QTEST_MAIN(TesteProtecaoJanela)
#include "TesteProtecaoJanela.moc"
