#include "idf/ui/DialogoAjusteIdf.h"

#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QString Numero(double v) {
    return Q(FloatToStr(v, SeparadorDecimalLocal()));
}

QString Porcento(double fracao) {
    return Q(FormatFloat("0.0#", 100 * fracao, SeparadorDecimalLocal())) + QStringLiteral(" %");
}

QLineEdit* Coeficiente(QWidget* pai, const char* nome) {
    auto* e = new QLineEdit(pai);
    e->setObjectName(nome);
    return e;
}

QLineEdit* Saida(QWidget* pai, const char* nome) {
    auto* e = new QLineEdit(pai);
    e->setObjectName(nome);
    e->setReadOnly(true);
    return e;
}

} // namespace

QGroupBox* CaixaEquacaoAjustada(QWidget* pai, QLineEdit*& k, QLineEdit*& a, QLineEdit*& b,
                                QLineEdit*& c, QLabel*& erros) {
    auto* resultado = new QGroupBox(QStringLiteral(" Equação ajustada "), pai);
    auto* g = new QGridLayout(resultado);
    k = Saida(resultado, "lK");
    a = Saida(resultado, "lA");
    b = Saida(resultado, "lB");
    c = Saida(resultado, "lC");
    int i = 0;
    for (auto [rotulo, e] : {std::pair{"K:", k}, {"a:", a}, {"b:", b}, {"c:", c}}) {
        g->addWidget(new QLabel(QString::fromUtf8(rotulo), resultado), 0, i * 2);
        g->addWidget(e, 0, i * 2 + 1);
        ++i;
    }
    erros = new QLabel(resultado);
    erros->setObjectName("lErros");
    erros->setWordWrap(true);
    erros->setTextInteractionFlags(Qt::TextSelectableByMouse);
    g->addWidget(erros, 1, 0, 1, 8);
    return resultado;
}

TDialogoAjusteIdf::TDialogoAjusteIdf(IMensagensConsulta& mensagens, QWidget* pai)
    : QDialog(pai), FMensagens(mensagens) {
    setObjectName("DialogoAjusteIdf");
    setWindowTitle(QStringLiteral("Ajustar equação"));
    auto* raiz = new QVBoxLayout(this);

    auto* explicacao = new QLabel(
        QStringLiteral("Ajusta K, a, b e c de i = K·T<sup>a</sup>/(t+b)<sup>c</sup> (i em mm/h, "
                       "T em anos, t e b em min) por mínimos quadrados do logaritmo da "
                       "intensidade."),
        this);
    explicacao->setWordWrap(true);
    raiz->addWidget(explicacao);

    Origem = new QTabWidget(this);
    Origem->setObjectName("Origem");
    raiz->addWidget(Origem);

    auto* paginaTabela = new QWidget;
    {
        auto* v = new QVBoxLayout(paginaTabela);
        v->addWidget(
            new QLabel(QStringLiteral("Cole a tabela da publicação (durações nas linhas, "
                                      "períodos de retorno nas colunas, com a primeira linha "
                                      "trazendo os períodos depois da célula do canto) ou uma "
                                      "linha por ponto: duração (min), período de retorno "
                                      "(anos) e intensidade (mm/h). Campos separados por "
                                      "tabulação, ponto e vírgula ou vírgula."),
                       paginaTabela));
        v->itemAt(0)->widget()->setProperty("wordWrap", true);
        eTabela = new QPlainTextEdit(paginaTabela);
        eTabela->setObjectName("eTabela");
        eTabela->setPlaceholderText(
            QStringLiteral("t (min);2;5;10;25\n5;142,3;171,8;196,2;231,5\n10;113,0;136,4;...\n"
                           "...\n\nou\n\nduracao_min,tr_anos,intensidade_mm_h\n10,2,96.1\n..."));
        v->addWidget(eTabela);
        btnAbrirCsv = new QPushButton(QStringLiteral("A&brir CSV..."), paginaTabela);
        btnAbrirCsv->setObjectName("btnAbrirCsv");
        btnAbrirCsv->setAutoDefault(false);
        auto* h = new QHBoxLayout;
        h->addWidget(btnAbrirCsv);
        h->addStretch();
        v->addLayout(h);
    }
    Origem->addTab(paginaTabela, QStringLiteral("&Tabela de intensidades"));

    auto* paginaEquacao = new QWidget;
    {
        auto* v = new QVBoxLayout(paginaEquacao);
        auto* formula = new QLabel(
            QStringLiteral("i = A(t+B)<sup>C</sup> + D(t+E)<sup>F</sup>·[G + H·ln ln(T/(T−1))]"
                           ", i em mm/min, t em min, T em anos"),
            paginaEquacao);
        formula->setWordWrap(true);
        v->addWidget(formula);
        auto* g = new QGridLayout;
        eA = Coeficiente(paginaEquacao, "eA");
        eB = Coeficiente(paginaEquacao, "eB");
        eC = Coeficiente(paginaEquacao, "eC");
        eD = Coeficiente(paginaEquacao, "eD");
        eE = Coeficiente(paginaEquacao, "eE");
        eF = Coeficiente(paginaEquacao, "eF");
        eG = Coeficiente(paginaEquacao, "eG");
        eH = Coeficiente(paginaEquacao, "eH");
        int i = 0;
        for (auto [rotulo, e] : {std::pair{"A:", eA},
                                 {"B:", eB},
                                 {"C:", eC},
                                 {"D:", eD},
                                 {"E:", eE},
                                 {"F:", eF},
                                 {"G:", eG},
                                 {"H:", eH}}) {
            g->addWidget(new QLabel(QString::fromUtf8(rotulo), paginaEquacao), i / 4, (i % 4) * 2);
            g->addWidget(e, i / 4, (i % 4) * 2 + 1);
            ++i;
        }
        v->addLayout(g);
        auto* faixa = new QHBoxLayout;
        eDuracaoMin = Coeficiente(paginaEquacao, "eDuracaoMin");
        eDuracaoMax = Coeficiente(paginaEquacao, "eDuracaoMax");
        faixa->addWidget(new QLabel(QStringLiteral("Vale de"), paginaEquacao));
        faixa->addWidget(eDuracaoMin);
        faixa->addWidget(new QLabel(QStringLiteral("a"), paginaEquacao));
        faixa->addWidget(eDuracaoMax);
        faixa->addWidget(
            new QLabel(QStringLiteral("min (períodos de retorno de 2 a 100 anos)"), paginaEquacao));
        v->addLayout(faixa);
        v->addStretch();
    }
    Origem->addTab(paginaEquacao, QStringLiteral("&Equação de duplo logaritmo"));

    btnAjustar = new QPushButton(QStringLiteral("A&justar"), this);
    btnAjustar->setObjectName("btnAjustar");
    btnAjustar->setAutoDefault(false);
    raiz->addWidget(btnAjustar, 0, Qt::AlignLeft);

    auto* resultado = CaixaEquacaoAjustada(this, lK, lA, lB, lC, lErros);
    raiz->addWidget(resultado);

    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    btnUsar = new QPushButton(QStringLiteral("&Usar no projeto"), this);
    btnUsar->setObjectName("btnUsar");
    btnUsar->setAutoDefault(false);
    btnUsar->setEnabled(false);
    btnSalvarEstacao = new QPushButton(QStringLiteral("&Salvar como minha estação..."), this);
    btnSalvarEstacao->setObjectName("btnSalvarEstacao");
    btnSalvarEstacao->setAutoDefault(false);
    btnSalvarEstacao->setEnabled(false);
    btnFechar = new QPushButton(QStringLiteral("&Fechar"), this);
    btnFechar->setObjectName("btnFechar");
    btnFechar->setAutoDefault(false);
    botoes->addWidget(btnSalvarEstacao);
    botoes->addWidget(btnUsar);
    botoes->addWidget(btnFechar);
    raiz->addLayout(botoes);
    resize(560, 520);

    connect(btnAjustar, &QPushButton::clicked, this, [this] { AjustarClick(); });
    connect(btnAbrirCsv, &QPushButton::clicked, this, [this] { AbrirCsvClick(); });
    connect(btnUsar, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnSalvarEstacao, &QPushButton::clicked, this, [this] { SalvarEstacaoClick(); });
    connect(btnFechar, &QPushButton::clicked, this, &QDialog::reject);
    // Um resultado vale só para o que estava na tela quando foi calculado.
    connect(eTabela, &QPlainTextEdit::textChanged, this, [this] { Limpar(); });
    for (auto* e : {eA, eB, eC, eD, eE, eF, eG, eH, eDuracaoMin, eDuracaoMax})
        connect(e, &QLineEdit::textEdited, this, [this] { Limpar(); });
    connect(Origem, &QTabWidget::currentChanged, this, [this] { Limpar(); });
}

void TDialogoAjusteIdf::Limpar() {
    FResultado.reset();
    for (auto* e : {lK, lA, lB, lC})
        e->clear();
    lErros->clear();
    btnUsar->setEnabled(false);
    btnSalvarEstacao->setEnabled(false);
}

void TDialogoAjusteIdf::SalvarEstacaoClick() {
    if (FResultado && SalvarComoEstacao) SalvarComoEstacao(*FResultado, FDuracaoMin, FDuracaoMax);
}

void TDialogoAjusteIdf::AjustarClick() {
    try {
        Ajustar();
    } catch (const EAjusteSemEquacao& e) {
        // Nenhuma equação serve: a razão fica na janela, no lugar dos erros, além da caixa.
        Limpar();
        lErros->setText(Q(e.what()));
        FMensagens.Erro(this, Q(e.what()));
    } catch (const EMorvendo& e) {
        Limpar();
        FMensagens.Erro(this, Q(e.what()));
    }
}

void TDialogoAjusteIdf::Ajustar() {
    Limpar();
    if (Origem->currentIndex() == 0) {
        FResultado = AjustarIdf(LerTabelaIdf(eTabela->toPlainText().toStdString()));
    } else {
        const char sep = SeparadorDecimalLocal();
        auto valor = [sep](QLineEdit* e, const char* nome) {
            const std::string t = e->text().toStdString();
            auto v = TentarTextoParaReal(t, sep);
            if (!v) v = TentarTextoParaReal(t, '.');
            if (!v)
                throw EMorvendo(std::string("O coeficiente ") + nome + " da equação de duplo " +
                                "logaritmo deve ser um número (lido: \"" + t + "\").");
            return *v;
        };
        TEquacaoDuploLog eq;
        eq.A = valor(eA, "A");
        eq.B = valor(eB, "B");
        eq.C = valor(eC, "C");
        eq.D = valor(eD, "D");
        eq.E = valor(eE, "E");
        eq.F = valor(eF, "F");
        eq.G = valor(eG, "G");
        eq.H = valor(eH, "H");
        eq.DuracaoMin = valor(eDuracaoMin, "da duração mínima (min)");
        eq.DuracaoMax = valor(eDuracaoMax, "da duração máxima (min)");
        FResultado = AjustarIdf(AmostrarDuploLog(eq));
    }
    // As pontas da faixa da equação publicada entram na amostra: a faixa é a da tabela.
    FDuracaoMin = FResultado->DuracaoMin;
    FDuracaoMax = FResultado->DuracaoMax;
    MostrarResultado();
}

void TDialogoAjusteIdf::MostrarResultado() {
    const auto& r = *FResultado;
    lK->setText(Numero(r.Parametros.K));
    lA->setText(Numero(r.Parametros.A));
    lB->setText(Numero(r.Parametros.B));
    lC->setText(Numero(r.Parametros.C));
    // O começo do número à vista quando ele não cabe no quadro.
    for (auto* e : {lK, lA, lB, lC})
        e->setCursorPosition(0);
    const char sep = SeparadorDecimalLocal();
    auto erros = [&](const TErrosAjusteIdf& e) {
        return QStringLiteral("RMS %1; o maior, %2, em t = %3 min e T = %4 anos (tabela %5 mm/h, "
                              "equação %6 mm/h)")
            .arg(Porcento(e.ErroRms), Porcento(e.ErroMaximo), Numero(e.PiorPonto.Duracao),
                 Numero(e.PiorPonto.Tr), Q(FormatFloat("0.0#", e.PiorPonto.Intensidade, sep)),
                 Q(FormatFloat("0.0#", e.IntensidadeAjustadaPior, sep)));
    };
    QString texto =
        QStringLiteral("Erro relativo: ") + erros(r) +
        QStringLiteral(". Tabela de %1 a %2 min e de %3 a %4 anos.")
            .arg(Numero(r.DuracaoMin), Numero(r.DuracaoMax), Numero(r.TrMin), Numero(r.TrMax));
    // A equação sem limites não é resultado: a janela diz só o parâmetro preso e o erro dela.
    if (!r.NoLimite.empty()) {
        QStringList presos;
        for (const std::string p : r.NoLimite) {
            const double valor = p == "K"   ? r.Parametros.K
                                 : p == "a" ? r.Parametros.A
                                 : p == "b" ? r.Parametros.B
                                            : r.Parametros.C;
            presos << (p == "b" ? QStringLiteral("b = %1 min (%2 a %3 min)")
                                      .arg(Numero(valor), Numero(BMinimoAjuste), Numero(BMaximoIdf))
                                : QStringLiteral("%1 = %2 (até %2)").arg(Q(p), Numero(valor)));
        }
        texto += QStringLiteral("\nNo limite da faixa que os dados do projeto aceitam: %1.")
                     .arg(presos.join(QStringLiteral("; ")));
        if (r.Livre)
            texto += QStringLiteral(" Sem limites, o ajuste sairia da faixa (erro relativo RMS "
                                    "%1, o maior %2); a equação acima é a melhor dentro dela.")
                         .arg(Porcento(r.Livre->ErroRms), Porcento(r.Livre->ErroMaximo));
    }
    lErros->setText(texto);
    btnUsar->setEnabled(true);
    btnSalvarEstacao->setEnabled(static_cast<bool>(SalvarComoEstacao));
}

void TDialogoAjusteIdf::AbrirCsvClick() {
    const QString caminho = QFileDialog::getOpenFileName(
        this, QStringLiteral("Abrir tabela de intensidades"), QString(),
        QStringLiteral("Tabelas CSV (*.csv *.txt);;Todos os arquivos (*)"));
    if (!caminho.isEmpty()) CarregarCsv(caminho);
}

void TDialogoAjusteIdf::CarregarCsv(const QString& caminho) {
    std::string texto;
    try {
        texto = LerArquivoComum(QFile::encodeName(caminho).toStdString());
    } catch (const EMorvendo& e) {
        FMensagens.Erro(this, QString::fromStdString(e.what()));
        return;
    }
    Origem->setCurrentIndex(0);
    eTabela->setPlainText(QString::fromStdString(texto));
}
