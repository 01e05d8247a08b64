#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ajuda/Ajuda.h"
#include "ajuda/ConteudoAjuda.h"
#include "comum/ContextosAjuda.h"

namespace {

QString Texto(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QString LerPagina(const QString& caminho) {
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Âncoras e links como a janela de ajuda os vê, depois de interpretar o HTML.
QSet<QString> Ancoras(const QTextDocument& doc) {
    QSet<QString> ancoras;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            for (const QString& a : it.fragment().charFormat().anchorNames())
                ancoras.insert(a);
    return ancoras;
}

QStringList Links(const QTextDocument& doc) {
    QStringList links;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor() &&
                !it.fragment().charFormat().anchorHref().isEmpty())
                links.append(it.fragment().charFormat().anchorHref());
    links.removeDuplicates();
    return links;
}

QStringList Imagens(const QTextDocument& doc) {
    QStringList imagens;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                imagens.append(it.fragment().charFormat().toImageFormat().name());
    return imagens;
}

} // namespace

class TesteAjuda : public QObject {
    Q_OBJECT

    TJanelaAjuda* janela = nullptr;
    QString pasta;

    // Falha descrita quando o destino (de um link ou das tabelas) não leva a lugar nenhum.
    QString ConferirDestino(const QString& origem, const QString& destino) {
        const QString pagina = destino.section(u'#', 0, 0);
        const QString ancora = destino.section(u'#', 1);
        const QString arquivo = pagina.isEmpty() ? origem : pagina;
        QTextDocument doc;
        const QString html = LerPagina(QDir(pasta).filePath(arquivo));
        if (html.isEmpty()) return origem + " -> " + destino + ": página inexistente";
        doc.setHtml(html);
        if (!ancora.isEmpty() && !Ancoras(doc).contains(ancora))
            return origem + " -> " + destino + ": âncora inexistente";
        return {};
    }

private slots:
    void initTestCase() {
        // As páginas são as copiadas pela compilação para Ajuda/, ao lado do programa.
        pasta = Ajuda::Pasta();
        QCOMPARE(QDir(pasta).absolutePath(),
                 QDir(QCoreApplication::applicationDirPath()).filePath("Ajuda"));
        QVERIFY2(QFile::exists(QDir(pasta).filePath("index.html")), qPrintable(pasta));
        janela = Ajuda::Janela();
        QVERIFY(janela);
    }

    void cleanupTestCase() { Ajuda::DefinirPasta({}); }

    void contextosAbremAPaginaDoLugar_data() {
        QTest::addColumn<int>("contexto");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QStringList>("termos");
        QTest::newRow("0 conteúdo")
            << 0 << "Conteúdo da ajuda" << QStringList{"Como usar esta ajuda", "F1"};
        QTest::newRow("7 consulta IDF")
            << 7 << "Consulta aos parâmetros da equação IDF"
            << QStringList{"inverso da quinta potência", "Localidades", "Autor", "Fechar"};
        QTest::newRow("15 página de dados")
            << 15 << "Página de dados"
            << QStringList{"Calcular", "separador decimal", "Bacias de acumulação"};
        QTest::newRow("16 aba Estrada")
            << 16 << "Aba Estrada" << QStringList{"Seção 3",
                                                  "Semilargura",
                                                  "Taxa de infiltração estável",
                                                  "Aprofundamento máximo",
                                                  "Tensão crítica",
                                                  "Erodibilidade",
                                                  "Massa específica aparente"};
        QTest::newRow("17 aba Precipitação")
            << 17 << "Aba Precipitação"
            << QStringList{"Dimensionamento", "período de retorno equivalente", "mm/min",
                           "Latitude"};
        QTest::newRow("18 aba Bacias de acumulação")
            << 18 << "Aba Bacias de acumulação"
            << QStringList{"Calcular volume da bacia de acumulação", "Semicircular",
                           "Canal de condução", "segue a unidade de declividade"};
        QTest::newRow("20 cobertura vegetal")
            << 20 << "Cobertura vegetal"
            << QStringList{"Uso da terra", "Condição hidrológica", "número de curva"};
        QTest::newRow("21 rugosidade do canal")
            << 21 << "Valores de rugosidade do canal"
            << QStringList{"Manning", "Limpo, recentemente construído", "0,018"};
        QTest::newRow("27 resultados")
            << 27 << "Página de resultados"
            << QStringList{"Espaçamento máximo", "Perda tolerável", "vermelho", "Exportar"};
        QTest::newRow("28 simulação")
            << 28 << "Página de simulação"
            << QStringList{"Recalcular", "Volume escoado por metro de canal"};
        QTest::newRow("29 unidades")
            << 29 << "Configuração das unidades"
            << QStringList{"Unidade da declividade", "m/dia", "s/m", "Estado"};
        QTest::newRow("400 rugosidade do terreno")
            << 400 << "Valores de rugosidade do terreno"
            << QStringList{"Árvores grandes", "Escarificador", "Valores de rugosidade"};
        QTest::newRow("2220 paredes de canais")
            << 2220 << "Inclinação das paredes de canais não revestidos (Z)"
            << QStringList{"Solo firme", "Outros", "Trapezoidal"};
    }

    void contextosAbremAPaginaDoLugar() {
        QFETCH(int, contexto);
        QFETCH(QString, titulo);
        QFETCH(QStringList, termos);
        QVERIFY(Ajuda::AbrirContexto(contexto));
        QVERIFY(janela->isVisible());
        QCOMPARE(janela->TituloAtual(), titulo);
        const QString texto = janela->Navegador()->toPlainText();
        QVERIFY2(texto.size() > 2000, qPrintable(QString::number(texto.size())));
        for (const QString& termo : termos)
            QVERIFY2(texto.contains(termo, Qt::CaseInsensitive), qPrintable(termo));
        // A árvore de conteúdo acompanha a página mostrada.
        auto* arvore = janela->findChild<QTreeWidget*>("arvoreConteudo");
        QVERIFY(arvore->currentItem());
        QCOMPARE(arvore->currentItem()->data(0, Qt::UserRole).toString().section(u'#', 0, 0),
                 janela->PaginaAtual());
    }

    // Todo contexto do programa está na tabela, e a tabela não tem contexto a mais.
    void tabelaTemOsContextosDoPrograma() {
        QSet<int> doPrograma;
        for (const TIdContextoAjuda c : TODOS_CONTEXTOS_AJUDA)
            doPrograma.insert(c);
        QSet<int> daTabela;
        for (const TContextoAjuda& c : ContextosAjuda())
            daTabela.insert(c.Numero);
        QCOMPARE(daTabela, doPrograma);
    }

    void contextoDesconhecidoMostraOConteudo() {
        Ajuda::AbrirContexto(16);
        QVERIFY(!Ajuda::AbrirContexto(12345));
        QCOMPARE(janela->PaginaAtual(), QString("index.html"));
    }

    void paginasTemConteudoETitulo() {
        const QStringList paginas = QDir(pasta).entryList({"*.html"}, QDir::Files);
        QVERIFY(paginas.size() >= 25);
        for (const QString& pagina : paginas) {
            QVERIFY(janela->MostrarDestino(pagina));
            const QString titulo = janela->TituloAtual();
            const QString texto = janela->Navegador()->toPlainText();
            QVERIFY2(!titulo.isEmpty(), qPrintable(pagina));
            QVERIFY2(texto.contains(titulo), qPrintable(pagina + ": título fora do texto"));
            QVERIFY2(texto.size() > 1000, qPrintable(pagina + ": página curta demais"));
        }
    }

    // Links entre páginas, figuras, contextos, conteúdo e índice: nenhum leva a página,
    // âncora ou figura inexistente, e nenhuma página fica fora do conteúdo.
    void destinosExistem() {
        QStringList falhas;
        const QStringList paginas = QDir(pasta).entryList({"*.html"}, QDir::Files);
        for (const QString& pagina : paginas) {
            QTextDocument doc;
            doc.setHtml(LerPagina(QDir(pasta).filePath(pagina)));
            for (const QString& link : Links(doc)) {
                if (link.startsWith("http")) continue;
                const QString falha = ConferirDestino(pagina, link);
                if (!falha.isEmpty()) falhas.append(falha);
            }
            for (const QString& imagem : Imagens(doc))
                if (QImage(QDir(pasta).filePath(imagem)).isNull())
                    falhas.append(pagina + " -> " + imagem + ": figura ilegível");
        }
        QSet<QString> noConteudo;
        for (const TItemConteudo& i : ConteudoAjuda()) {
            noConteudo.insert(Texto(i.Destino).section(u'#', 0, 0));
            const QString falha = ConferirDestino("conteúdo", Texto(i.Destino));
            if (!falha.isEmpty()) falhas.append(falha);
        }
        for (const TPalavraChave& p : IndiceAjuda()) {
            const QString falha = ConferirDestino("índice", Texto(p.Destino));
            if (!falha.isEmpty()) falhas.append(falha);
        }
        for (const TContextoAjuda& c : ContextosAjuda()) {
            const QString falha = ConferirDestino("contexto", Texto(c.Destino));
            if (!falha.isEmpty()) falhas.append(falha);
        }
        for (const QString& pagina : paginas)
            if (!noConteudo.contains(pagina)) falhas.append(pagina + ": fora do conteúdo");
        QVERIFY2(falhas.isEmpty(), qPrintable(falhas.join("\n")));
    }

    void indiceLevaAoAssunto() {
        auto* lista = janela->findChild<QListWidget*>("lstIndice");
        auto* campo = janela->findChild<QLineEdit*>("eIndice");
        // Começo da palavra, sem acentos nem maiúsculas.
        const QList<QPair<QString, QString>> casos = {
            {"erodib", "erodibilidade"},
            {"AREA EXT", "área externa"},
            {"periodo de retorno e", "período de retorno equivalente"}};
        for (const auto& [digitado, esperado] : casos) {
            janela->MostrarIndice(digitado);
            QVERIFY(lista->currentItem());
            QCOMPARE(lista->currentItem()->text(), esperado);
        }
        // Digitar e teclar Enter abre o assunto, na âncora certa.
        campo->clear();
        QTest::keyClicks(campo, "tensao cri");
        QCOMPARE(lista->currentItem()->text(), QString("tensão crítica de cisalhamento"));
        QTest::keyClick(campo, Qt::Key_Return);
        QCOMPARE(janela->PaginaAtual(), QString("dados-estrada.html"));
        QCOMPARE(janela->Navegador()->source().fragment(), QString("solo"));
    }

    void pesquisaAchaAsPaginas() {
        const auto paginasDe = [this](const QString& texto) {
            QStringList r;
            for (const TResultadoPesquisa& p : janela->Pesquisar(texto))
                r.append(p.Pagina);
            return r;
        };
        QVERIFY(paginasDe("erosão").contains("metodo-perda-solo.html"));
        QCOMPARE(paginasDe("EROSAO"), paginasDe("erosão"));
        QVERIFY(paginasDe("palavraquenaoexiste").isEmpty());
        // Várias palavras: só páginas com todas elas.
        const QStringList ambas = paginasDe("Manning Courant");
        QVERIFY(!ambas.isEmpty());
        for (const QString& p : ambas) {
            const QString texto = LerPagina(QDir(pasta).filePath(p));
            QVERIFY2(texto.contains("Manning") && texto.contains("Courant"), qPrintable(p));
        }
        QVERIFY(paginasDe("Manning").size() > ambas.size());
        // O título pesa: quem procura a simulação chega primeiro à página dela.
        QCOMPARE(paginasDe("simulação").value(0), QString("simulacao.html"));

        // Pela janela: a página aberta fica com as palavras destacadas.
        janela->MostrarPesquisa("Recalcular");
        auto* resultados = janela->findChild<QListWidget*>("lstPesquisa");
        QVERIFY(resultados->count() > 0);
        resultados->setCurrentRow(0);
        emit resultados->itemActivated(resultados->currentItem());
        const auto destaques = janela->Navegador()->extraSelections();
        QVERIFY(!destaques.isEmpty());
        for (const auto& d : destaques)
            QCOMPARE(d.cursor.selectedText().toLower(), QString("recalcular"));
        // Outra navegação apaga o destaque.
        janela->MostrarDestino("metodo.html");
        QVERIFY(janela->Navegador()->extraSelections().isEmpty());
    }

    void voltarEAvancar() {
        auto* voltar = janela->findChild<QAction*>("aVoltar");
        auto* avancar = janela->findChild<QAction*>("aAvancar");
        Ajuda::AbrirContexto(16);
        Ajuda::AbrirContexto(17);
        Ajuda::AbrirContexto(27);
        QVERIFY(voltar->isEnabled());
        voltar->trigger();
        QCOMPARE(janela->PaginaAtual(), QString("dados-precipitacao.html"));
        voltar->trigger();
        QCOMPARE(janela->PaginaAtual(), QString("dados-estrada.html"));
        QVERIFY(avancar->isEnabled());
        avancar->trigger();
        QCOMPARE(janela->PaginaAtual(), QString("dados-precipitacao.html"));
        // Um caminho novo descarta o que havia à frente.
        janela->MostrarDestino("metodo.html");
        QVERIFY(!avancar->isEnabled());
        voltar->trigger();
        QCOMPARE(janela->PaginaAtual(), QString("dados-precipitacao.html"));
    }

    // F1 abre o contexto do controle, herdado da aba quando o controle não tem o seu; numa
    // janela sem contexto marcado, a tecla segue para a janela.
    void teclaF1AbreOContextoDoControle() {
        Ajuda::InstalarTeclaF1();
        QWidget principal;
        auto* aba = new QWidget;
        auto* campo = new QLineEdit(aba);
        auto* botaoZ = new QPushButton("...", aba);
        auto* semContexto = new QLineEdit;
        auto* layAba = new QVBoxLayout(aba);
        layAba->addWidget(campo);
        layAba->addWidget(botaoZ);
        auto* lay = new QVBoxLayout(&principal);
        lay->addWidget(aba);
        lay->addWidget(semContexto);
        Ajuda::DefinirContexto(&principal, 0);
        Ajuda::DefinirContexto(aba, 17);
        Ajuda::DefinirContexto(botaoZ, 2220);
        // O "Conteúdo" do menu tem o F1 como atalho; com contexto marcado, a tecla é do contexto.
        auto* conteudo = new QAction(&principal);
        conteudo->setShortcut(Qt::Key_F1);
        principal.addAction(conteudo);
        int conteudoDisparado = 0;
        QObject::connect(conteudo, &QAction::triggered, [&] { ++conteudoDisparado; });
        principal.show();
        QLineEdit avulso;
        avulso.show();

        const QList<QPair<QWidget*, QString>> casos = {{campo, "dados-precipitacao.html"},
                                                       {botaoZ, "talude-canal.html"},
                                                       {semContexto, "index.html"},
                                                       {&avulso, "metodo.html"}};
        for (const auto& [controle, pagina] : casos) {
            janela->MostrarDestino("metodo.html");
            QTest::keyClick(controle, Qt::Key_F1);
            QCOMPARE(janela->PaginaAtual(), pagina);
        }
        // Pelo caminho de uma tecla de verdade: janela do sistema, depois o controle com foco.
        principal.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&principal));
        botaoZ->setFocus();
        janela->MostrarDestino("metodo.html");
        QTest::keyClick(principal.windowHandle(), Qt::Key_F1);
        QCOMPARE(janela->PaginaAtual(), QString("talude-canal.html"));
        QCOMPARE(conteudoDisparado, 0);
        QCOMPARE(Ajuda::ContextoDe(campo), 17);
        QCOMPARE(Ajuda::ContextoDe(&avulso), 0);
        // Ctrl+F1 é do "Sobre": não abre a ajuda.
        janela->MostrarDestino("metodo.html");
        QTest::keyClick(campo, Qt::Key_F1, Qt::ControlModifier);
        QCOMPARE(janela->PaginaAtual(), QString("metodo.html"));
    }

    // Chamada de um diálogo modal, a ajuda não pode ficar bloqueada atrás dele.
    void ajudaDeDialogoModal() {
        QDialog dialogo;
        dialogo.setWindowModality(Qt::ApplicationModal);
        dialogo.show();
        QCOMPARE(QApplication::activeModalWidget(), &dialogo);
        Ajuda::AbrirContexto(21);
        QCOMPARE(janela->windowModality(), Qt::ApplicationModal);
        QVERIFY(janela->isVisible());
        janela->close();
        dialogo.close();
        Ajuda::AbrirContexto(15);
        QCOMPARE(janela->windowModality(), Qt::NonModal);
        QCOMPARE(janela->PaginaAtual(), QString("dados.html"));
    }

    void pastaSemPaginasAvisa() {
        QTemporaryDir vazia;
        Ajuda::DefinirPasta(vazia.path());
        QVERIFY(!Ajuda::AbrirContexto(16));
        QVERIFY(Ajuda::Janela()->Navegador()->toPlainText().contains("não foram encontradas"));
        Ajuda::DefinirPasta({});
        janela = Ajuda::Janela();
        QVERIFY(Ajuda::AbrirContexto(16));
    }
};

QTEST_MAIN(TesteAjuda)
#include "TesteAjuda.moc"
