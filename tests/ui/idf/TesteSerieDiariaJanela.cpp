// Equação da série de chuvas diárias pela janela: um ano deixado de fora muda K como no
// cálculo do núcleo, a estação salva leva a origem como fonte e aparece na consulta; o
// arquivo recusado e a série curta dizem o motivo na caixa de erro.
#include "../../idf/SerieDiariaTeste.h"
#include "BancoTeste.h"
#include "JanelaModal.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "idf/EstacoesUsuario.h"
#include "idf/ui/DialogoConsulta.h"
#include "idf/ui/DialogoMinhasEstacoes.h"
#include "idf/ui/DialogoSerieDiaria.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <memory>

using namespace serie_teste;

namespace {

QString Gravar(const QTemporaryDir& pasta, const char* nome, const std::string& bytes) {
    const QString caminho = pasta.filePath(QString::fromUtf8(nome));
    std::ofstream(caminho.toStdString(), std::ios::binary) << bytes;
    return caminho;
}

// A janela com o registro de teste aberto; salvar como estação não faz nada.
std::unique_ptr<TDialogoSerieDiaria>
JanelaComRegistro(TMensagensRegistradas& mensagens, const QTemporaryDir& pasta, const char* nome) {
    auto j = std::make_unique<TDialogoSerieDiaria>(mensagens);
    j->SalvarComoEstacao = [](const TEstacaoUsuario&) {};
    j->CarregarSerie(Gravar(pasta, nome, ArquivoRegistro));
    return j;
}

int LinhaDoAno(const QTableWidget* t, int ano) {
    for (int i = 0; i < t->rowCount(); ++i)
        if (t->item(i, 1)->text() == QString::number(ano)) return i;
    return -1;
}

} // namespace

class TesteSerieDiariaJanela : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { DefinirSeparadorDecimalLocal(','); }

    void anoDeForaMudaKESalvaEstacaoNaConsulta() {
        TBancoTeste banco;
        QTemporaryDir usuario;
        TAmbienteConsulta a = banco.Ambiente();
        a.PastaUsuario = usuario.path();
        const QString serie = Gravar(usuario, "chuvas.csv", ArquivoRegistro);
        TOpcoesIdfSerie semUmAno;
        semUmAno.AnosExcluidos = {1965};
        const TIdfDaSerie esperado = IdfDaSerieDiaria(LerSerieDiaria(ArquivoRegistro), semUmAno);

        TDialogoConsulta d(a);
        d.DefinirEstado(15);
        d.show();
        QVERIFY(QTest::qWaitFor([&] { return d.Restaurado(); }));
        const int antes = d.LBEstacao->count();

        double kTodos = 0, kSem = 0;
        QString fonteNoEditor, periodosNaLista;
        QuandoAbrir<TDialogoMinhasEstacoes>([&](TDialogoMinhasEstacoes& lista) {
            QuandoAbrir<TDialogoSerieDiaria>([&](TDialogoSerieDiaria& j) {
                j.CarregarSerie(serie);
                if (j.Resultado()) kTodos = j.Resultado()->Ajuste.Parametros.K;
                // A caixa "Fora" do ano, como a pessoa a marca.
                const int linha = LinhaDoAno(j.tbAnos, 1965);
                if (linha >= 0) j.tbAnos->item(linha, 0)->setCheckState(Qt::Checked);
                if (j.Resultado()) kSem = j.Resultado()->Ajuste.Parametros.K;
                QuandoAbrir<TDialogoEstacaoUsuario>([&](TDialogoEstacaoUsuario& editor) {
                    fonteNoEditor = editor.eFonte->text();
                    editor.eNome->setText(QStringLiteral("Posto da série"));
                    editor.eLatitude->setText(QStringLiteral("25°25'48\""));
                    editor.eLongitude->setText(QStringLiteral("49°16'12\""));
                    QTest::mouseClick(editor.btnOk, Qt::LeftButton);
                });
                QTest::mouseClick(j.btnSalvarEstacao, Qt::LeftButton);
                j.accept();
            });
            QTest::mouseClick(lista.btnSerieDiaria, Qt::LeftButton);
            periodosNaLista = lista.Tabela->item(0, 9)->text();
            lista.accept();
        });
        d.MinhasEstacoesClick();
        QVERIFY2(banco.Mensagens.Erros.isEmpty(), qPrintable(banco.Mensagens.Erros.join('\n')));

        QVERIFY(kTodos > 0);
        QVERIFY(std::fabs(kSem / kTodos - 1) > 1e-6);
        QCOMPARE(kSem, esperado.Ajuste.Parametros.K);
        QCOMPARE(fonteNoEditor.toStdString(), DescricaoOrigem(esperado));
        QVERIFY(fonteNoEditor.contains(QStringLiteral("deixados de fora 1965")));

        QCOMPARE(d.LBEstacao->count(), antes + 1);
        QCOMPARE(d.LBEstacao->item(antes)->text(), QStringLiteral("Posto da série (minha)"));
        TEstacoesUsuario minhas(usuario.path().toStdString());
        minhas.Carregar();
        QCOMPARE(minhas.Lista().size(), std::size_t(1));
        const TEstacaoUsuario& e = minhas.Lista()[0];
        QCOMPARE(e.Fonte, DescricaoOrigem(esperado));
        QCOMPARE(e.DuracaoMin, 5.0);
        QCOMPARE(e.DuracaoMax, 1440.0);
        QCOMPARE(e.TrMax, 100.0);
        QVERIFY(e.ErroRmsPct.has_value());
        // Os anos usados ficam com a estação, para o aviso do cálculo além do dobro deles.
        QCOMPARE(e.AnosSerie, static_cast<int>(esperado.AnosUsados.size()));
        QCOMPARE(periodosNaLista,
                 QStringLiteral("de 2 a 100 anos (série de %1 anos)").arg(e.AnosSerie));
    }

    // O que a caixa de erro diz de um arquivo que não serve ou de uma série curta.
    void arquivoRecusadoOuSerieCurtaDizOMotivo() {
        QTemporaryDir pasta;
        std::vector<TMesTeste> tresAnos;
        for (int ano = 1980; ano <= 1982; ++ano)
            for (int mes = 1; mes <= 12; ++mes)
                tresAnos.push_back(MesDoRegistro(ano, mes, 2));
        std::string semColuna = ArquivoRegistro;
        semColuna.replace(semColuna.find(";Chuva17;"), 9, ";Chuva7x;");
        const struct {
            const char* Nome;
            std::string Bytes;
            QString Inicio;
        } casos[] = {
            {"sem_coluna.csv", semColuna,
             QStringLiteral("sem_coluna.csv: Linha 7: falta a coluna Chuva17")},
            {"curta.txt", Arquivo(tresAnos),
             QStringLiteral("A série tem 3 anos usados; a distribuição de Gumbel precisa")},
        };
        for (const auto& caso : casos) {
            TMensagensRegistradas mensagens;
            TDialogoSerieDiaria j(mensagens);
            j.SalvarComoEstacao = [](const TEstacaoUsuario&) {};
            j.CarregarSerie(Gravar(pasta, caso.Nome, caso.Bytes));
            QCOMPARE(mensagens.Erros.size(), 1);
            QVERIFY2(mensagens.Erros[0].startsWith(caso.Inicio), qPrintable(mensagens.Erros[0]));
            QVERIFY(!j.Resultado());
            QVERIFY(!j.btnSalvarEstacao->isEnabled());
        }
    }

    // Uma relação ilegível diz a linha e some com o resultado; restaurar as relações padrão
    // devolve a mesma equação.
    void relacaoRuimERestaurar() {
        QTemporaryDir pasta;
        TMensagensRegistradas mensagens;
        const auto janela = JanelaComRegistro(mensagens, pasta, "chuvas.txt");
        TDialogoSerieDiaria& j = *janela;
        QVERIFY(j.Resultado());
        const double k = j.Resultado()->Ajuste.Parametros.K;
        j.tbRelacoes->item(2, 2)->setText(QStringLiteral("0,8x"));
        QCOMPARE(mensagens.Erros, QStringList{QStringLiteral(
                                      "Relações entre durações, linha 3, coluna Relação: o valor "
                                      "deve ser um número (lido: \"0,8x\").")});
        QVERIFY(!j.Resultado());
        QVERIFY(!j.btnSalvarEstacao->isEnabled());
        QTest::mouseClick(j.btnRestaurar, Qt::LeftButton);
        QVERIFY(j.Resultado());
        QCOMPARE(j.Resultado()->Ajuste.Parametros.K, k);
        QVERIFY(j.btnSalvarEstacao->isEnabled());
    }

    // Linhas incluídas e excluídas na tabela das relações: a que outra duração usa como
    // referência fica, com a razão na caixa; a linha nova, enquanto incompleta, suspende o
    // cálculo sem caixa de erro; completa, a equação é a do núcleo com a mesma tabela, e uma
    // referência que não está na tabela é dita.
    void incluirEExcluirRelacoes() {
        QTemporaryDir pasta;
        TMensagensRegistradas mensagens;
        const auto janela = JanelaComRegistro(mensagens, pasta, "chuvas.csv");
        TDialogoSerieDiaria& j = *janela;
        QVERIFY(j.Resultado());
        const auto linhaDe = [&](const QString& duracao) {
            for (int i = 0; i < j.tbRelacoes->rowCount(); ++i)
                if (j.tbRelacoes->item(i, 0)->text() == duracao) return i;
            return -1;
        };

        j.tbRelacoes->setCurrentCell(linhaDe(QStringLiteral("30")), 0);
        QTest::mouseClick(j.btnExcluirRelacao, Qt::LeftButton);
        QCOMPARE(mensagens.Erros,
                 QStringList{QStringLiteral(
                     "A duração de 30 min é a referência de 25 min, 20 min, 15 min, 10 min e 5 "
                     "min: sem ela, essas durações não chegam à chuva de um dia. Troque antes a "
                     "referência delas.")});
        QCOMPARE(j.tbRelacoes->rowCount(), 12);
        QVERIFY(j.Resultado());

        j.tbRelacoes->setCurrentCell(linhaDe(QStringLiteral("25")), 0);
        QTest::mouseClick(j.btnExcluirRelacao, Qt::LeftButton);
        QCOMPARE(j.tbRelacoes->rowCount(), 11);
        QVERIFY(j.Resultado());

        j.tbRelacoes->setCurrentCell(0, 0);
        QTest::mouseClick(j.btnIncluirRelacao, Qt::LeftButton);
        QCOMPARE(j.tbRelacoes->rowCount(), 12);
        QCOMPARE(j.tbRelacoes->currentRow(), 1);
        QCOMPARE(mensagens.Erros.size(), 1);
        QVERIFY(!j.Resultado());
        QVERIFY(!j.btnSalvarEstacao->isEnabled());
        QCOMPARE(j.lErros->text(), QStringLiteral("Complete a linha 2 das relações entre "
                                                  "durações (duração, referência e relação) ou "
                                                  "exclua-a."));
        j.tbRelacoes->item(1, 0)->setText(QStringLiteral("120"));
        j.tbRelacoes->item(1, 1)->setText(QStringLiteral("1 dia"));
        QCOMPARE(mensagens.Erros.size(), 1);
        j.tbRelacoes->item(1, 2)->setText(QStringLiteral("0,59"));
        QVERIFY(j.Resultado());
        QVERIFY(j.btnSalvarEstacao->isEnabled());

        TOpcoesIdfSerie opcoes;
        opcoes.Relacoes = RelacoesDuracaoPadrao();
        opcoes.Relacoes.erase(opcoes.Relacoes.begin() + 7); // 25 min
        opcoes.Relacoes.push_back({120, ReferenciaUmDia, 0.59});
        const TIdfDaSerie esperado = IdfDaSerieDiaria(LerSerieDiaria(ArquivoRegistro), opcoes);
        QCOMPARE(j.Resultado()->Ajuste.Parametros.K, esperado.Ajuste.Parametros.K);
        QVERIFY(j.EstacaoDoResultado().Fonte.find("120/dia=0.59") != std::string::npos);

        j.tbRelacoes->item(1, 1)->setText(QStringLiteral("45"));
        QCOMPARE(mensagens.Erros.size(), 2);
        QCOMPARE(mensagens.Erros[1], QStringLiteral("Na tabela das relações, 120 min se refere a "
                                                    "45 min, que não está na tabela."));
        QVERIFY(!j.Resultado());
    }
};

QTEST_MAIN(TesteSerieDiariaJanela)
#include "TesteSerieDiariaJanela.moc"
