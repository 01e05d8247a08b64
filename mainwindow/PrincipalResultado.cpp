// Cálculo com a janela de andamento e a página de resultados com a grade das seções.
#include <QAbstractTableModel>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

#include "comum/ContextosAjuda.h"
#include "comum/Numeros.h"
#include "mainwindow/Acompanhamento.h"
#include "mainwindow/Controles.h"
#include "mainwindow/Principal.h"
#include "mainwindow/uRotinasComuns.h"
#include "project/Calculo.h"
#include "reports/RelatorioTexto.h"

// Linhas da tabela por seção: a linha N é a seção N; as seções além do espaçamento em
// vermelho.
class TModeloSecoes : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void Definir(int linhas, const std::vector<TLinhaRelatorioTexto>& secoes, int espacamento) {
        beginResetModel();
        FLinhas.assign(std::size_t(std::max(linhas, 0)), std::nullopt);
        for (const TLinhaRelatorioTexto& s : secoes)
            if (s.Secao >= 1 && s.Secao <= linhas) FLinhas[std::size_t(s.Secao - 1)] = s;
        FEspacamento = espacamento;
        endResetModel();
    }

    int rowCount(const QModelIndex& pai = {}) const override {
        return pai.isValid() ? 0 : int(FLinhas.size());
    }
    int columnCount(const QModelIndex& pai = {}) const override { return pai.isValid() ? 0 : 5; }

    QVariant headerData(int secao, Qt::Orientation o, int papel) const override {
        // Em duas linhas, para caber nas larguras das colunas.
        static const char* const TITULOS[5] = {"Seção\n(m)", "Lâmina\n(cm)", "Vazão\n(L/s)",
                                               "Tensão máxima\n(Pa)", "Perda de solo\n(g/cm²)"};
        if (o == Qt::Horizontal && papel == Qt::DisplayRole && secao >= 0 && secao < 5)
            return QString::fromUtf8(TITULOS[secao]);
        return {};
    }

    QVariant data(const QModelIndex& i, int papel) const override {
        if (!i.isValid()) return {};
        const int n = i.row() + 1;
        switch (papel) {
        case Qt::BackgroundRole:
            return n % 2 == 0 ? QColor(232, 255, 254) : QColor(200, 232, 210);
        case Qt::ForegroundRole:
            return n > FEspacamento ? QColor(Qt::red) : QColor(Qt::black);
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        case Qt::DisplayRole: {
            const auto& l = FLinhas[std::size_t(i.row())];
            if (!l) return {};
            if (i.column() == 0) return QString::number(l->Secao);
            const double v[4] = {l->Lamina, l->Vazao, l->Tensao, l->Perda};
            return FormatarQ("0.0##", v[i.column() - 1]);
        }
        default:
            return {};
        }
    }

private:
    std::vector<std::optional<TLinhaRelatorioTexto>> FLinhas;
    int FEspacamento = 0;
};

namespace {

// Campo de resultado: fundo cinza, fora da ordem do Tab.
QLineEdit* CampoResultado(const char* nome) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(nome));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::ClickFocus);
    e->setFixedWidth(68);
    e->setAlignment(Qt::AlignRight);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window).darker(106));
    e->setPalette(p);
    return e;
}

} // namespace

QWidget* TFPrincipal::CriarPaginaResultado() {
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("Resultado"));

    gbCanal = new QGroupBox(QStringLiteral(" Resultados - Canal "));
    gbCanal->setObjectName(QStringLiteral("gbCanal"));
    auto* gc = new QGridLayout(gbCanal);
    gc->setVerticalSpacing(4);
    ePerdaToleravelSolo = CampoResultado("ePerdaToleravelSolo");
    eCompMax = CampoResultado("eCompMax");
    eTensao = CampoResultado("eTensao");
    ePerdaSolo = CampoResultado("ePerdaSolo");
    eQCanal = CampoResultado("eQCanal");
    // Massa por área do leito do canal: erodibilidade em g/(cm²·min·Pa), tensão em Pa,
    // tempo em min.
    Linha(gc, 0, Rotulo("Perda tolerável de solo"), ePerdaToleravelSolo, Rotulo("g/cm²"));
    Linha(gc, 1, Rotulo("Espaçamento máximo"), eCompMax, Rotulo("m"));
    Linha(gc, 2, Rotulo("Tensão cisalhante máxima"), eTensao, Rotulo("Pa"));
    Linha(gc, 3, Rotulo("Perda de solo estimada"), ePerdaSolo, Rotulo("g/cm²"));
    auto* lQCanal = Rotulo("Vazão máxima");
    Linha(gc, 4, lQCanal, eQCanal, Rotulo("L/s"));
    for (QWidget* w : std::initializer_list<QWidget*>{lQCanal, eQCanal}) {
        w->setToolTip(QStringLiteral("Vazão máxima considerando o espaçamento calculado"));
        w->setStatusTip(w->toolTip());
    }

    gbBacia = new QGroupBox(QStringLiteral(" Resultados - Bacia de acumulação "));
    gbBacia->setObjectName(QStringLiteral("gbBacia"));
    auto* gb = new QGridLayout(gbBacia);
    gb->setVerticalSpacing(4);
    eVolBacia = CampoResultado("eVolBacia");
    eQBacia = CampoResultado("eQBacia");
    edtProfCanalBacia = CampoResultado("edtProfCanalBacia");
    eCompMax1 = CampoResultado("eCompMax1");
    eResult = CampoResultado("eResult");
    eCompBacia = CampoResultado("eCompBacia");
    lResult = Rotulo("Largura", "lResult");
    Label69 = Rotulo("C&omprimento", "Label69");
    Label69->setBuddy(eCompBacia);
    Label70 = Rotulo("m", "Label70");
    Linha(gb, 0, Rotulo("Volume escoado"), eVolBacia, Rotulo("m³"));
    Linha(gb, 1, Rotulo("Vazão máxima"), eQBacia, Rotulo("L/s"));
    Linha(gb, 2, Rotulo("Profundidade do canal"), edtProfCanalBacia, Rotulo("cm"));
    Linha(gb, 3, Rotulo("Espaçamento máximo"), eCompMax1, Rotulo("m"));
    Linha(gb, 4, lResult, eResult, Rotulo("m"));
    Linha(gb, 5, Label69, eCompBacia, Label70);
    connect(eCompMax, &QLineEdit::textChanged, this, &TFPrincipal::eCompMaxChange);

    FModeloSecoes = new TModeloSecoes(this);
    tsgResultSecoes = new QTableView;
    tsgResultSecoes->setObjectName(QStringLiteral("tsgResultSecoes"));
    tsgResultSecoes->setModel(FModeloSecoes);
    tsgResultSecoes->setSelectionBehavior(QAbstractItemView::SelectRows);
    tsgResultSecoes->setSelectionMode(QAbstractItemView::SingleSelection);
    tsgResultSecoes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tsgResultSecoes->verticalHeader()->hide();
    tsgResultSecoes->verticalHeader()->setDefaultSectionSize(20);
    QHeaderView* cab = tsgResultSecoes->horizontalHeader();
    cab->setSectionResizeMode(QHeaderView::Fixed);
    cab->setSectionsMovable(false);
    const int larguras[5] = {81, 80, 91, 106, 91};
    for (int c = 0; c < 5; ++c)
        tsgResultSecoes->setColumnWidth(c, larguras[c]);
    tsgResultSecoes->setFixedWidth(81 + 80 + 91 + 106 + 91 + 2 * tsgResultSecoes->frameWidth() +
                                   tsgResultSecoes->verticalScrollBar()->sizeHint().width());

    Button4 = Botao("Aj&uda", "Button4");
    Button4->setEnabled(false);
    connect(Button4, &QPushButton::clicked, this, [this] {
        if (FAjuda.AbrirContexto) FAjuda.AbrirContexto(CONTEXTO_RESULTADOS);
    });
    // Relatório e simulação são ligados por quem os implementa.
    bRelatorio = Botao("&Relatório", "bRelatorio");
    bSimul = Botao("&Simulação", "bSimul");
    btnVoltarResult = Botao("&Voltar", "btnVoltarResult");
    connect(btnVoltarResult, &QPushButton::clicked, this, &TFPrincipal::btnVoltarResultClick);

    auto* grupos = new QVBoxLayout;
    grupos->addWidget(gbCanal);
    grupos->addWidget(gbBacia);
    grupos->addStretch();
    auto* meio = new QHBoxLayout;
    meio->addLayout(grupos);
    meio->addWidget(tsgResultSecoes);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    for (QPushButton* b : {Button4, bRelatorio, bSimul, btnVoltarResult})
        botoes->addWidget(b);
    auto* v = new QVBoxLayout(pagina);
    v->setContentsMargins(4, 6, 4, 4);
    v->addLayout(meio);
    v->addLayout(botoes);
    return pagina;
}

void TFPrincipal::eCompMaxChange() {
    eCompMax1->setText(eCompMax->text());
}

void TFPrincipal::btnVoltarResultClick() {
    MostrarPagina(PAG_DADOS);
}

void TFPrincipal::MostrarResultadosCanal(const TResultadoCalculo& r) {
    const TCanalEstrada& e = FProjeto->Estrada;
    const TResultadoEspacamento& c = r.Canal;
    const bool semicircular = e.Bacia.Formato == TBaciaAcumulacao::SEMICIRCULAR;
    lResult->setText(semicircular ? QStringLiteral("Raio") : QStringLiteral("Largura"));
    for (QWidget* w : std::initializer_list<QWidget*>{Label69, Label70, eCompBacia})
        w->setVisible(!semicircular);
    eCompMax->setText(QString::number(c.Espacamento));
    ePerdaSolo->setText(FormatarQ("0.0#", c.PerdaSolo));
    ePerdaToleravelSolo->setText(FormatarQ("0.0#", c.PerdaToleravel));
    eTensao->setText(FormatarQ("0.0#", c.TensaoMax));
    eQCanal->setText(FormatarQ("0.0#", c.QMax));
    if (!e.Bacia.CalcularVolume) {
        for (QLineEdit* c : {eVolBacia, eQBacia, eResult})
            c->setText(QStringLiteral("---"));
        gbBacia->setEnabled(false);
    }
}

void TFPrincipal::LimparResultados() {
    FModeloSecoes->Definir(0, {}, 0);
    for (QLineEdit* c : {ePerdaToleravelSolo, eCompMax, eTensao, ePerdaSolo, eQCanal, eVolBacia,
                         eQBacia, edtProfCanalBacia, eCompMax1, eResult, eCompBacia})
        c->clear();
    FResultado.reset();
    bRelatorio->setEnabled(false);
    bSimul->setEnabled(false);
    if (PaginaAtual() == PAG_RESULTADO || PaginaAtual() == PAG_SIMULACAO)
        MostrarPagina(PAG_INICIAL);
}

void TFPrincipal::CarregarGrade(int comprimento, const TResultadoCalculo& r) {
    // Os valores como a tabela de texto os guarda.
    FModeloSecoes->Definir(comprimento, LinhasComoNaTabela(r.Canal.Secoes), r.Canal.Espacamento);
}

QString TFPrincipal::ArquivoTabelaTexto() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/Relatorio.txt");
}

void TFPrincipal::btnTracarCanalEstradaClick() {
    if (FAcompanhamento) return;
    Proteger([this] {
        const TCanalEstrada& e = FProjeto->Estrada;
        LerCampos(true);
        ValidarDados();
        const int comprimento = e.Comprimento();

        TFAcompanhamento acomp([this](const std::string& m) { FInteracao->MostrarInformacao(m); });
        acomp.setWindowTitle(QStringLiteral("Determinando o espaçamento…"));
        FAcompanhamento = &acomp;
        // Seja qual for o fim do cálculo, a janela de andamento some e a principal volta.
        struct TFim {
            TFPrincipal* j;
            TFAcompanhamento& a;
            ~TFim() {
                a.hide();
                j->FAcompanhamento = nullptr;
                j->setEnabled(true);
            }
        } fim{this, acomp};
        setEnabled(false);
        acomp.show();
        acomp.ProcessarEventosAgora();

        auto resultado = std::make_unique<TResultadoCalculo>();
        TResultadoCalculo& r = *resultado;
        try {
            ExecutarCalculo(*FProjeto, comprimento, &acomp, r);
        } catch (...) {
            // Um erro no dimensionamento da bacia deixa os resultados do canal escritos.
            if (r.CanalCalculado) MostrarResultadosCanal(r);
            throw;
        }
        if (r.CanalCalculado) MostrarResultadosCanal(r);
        if (r.Situacao != TResultadoCalculo::Concluido) return;
        // A tabela de texto vai para a pasta de cache do usuário, nunca para a de trabalho.
        const QString tabela = ArquivoTabelaTexto();
        QDir().mkpath(QFileInfo(tabela).absolutePath());
        EscreverRelatorioTexto(QFile::encodeName(tabela).toStdString(), r.Canal.Secoes);
        if (r.Bacia) {
            const TResultadoBacia& b = *r.Bacia;
            eVolBacia->setText(FormatarQ("0.0##", b.VolumeEscoado));
            eQBacia->setText(FormatarQ("0.0#", b.VazaoMaxima));
            edtProfCanalBacia->setText(FormatarQ("0.0", b.ProfundidadeCanal));
            if (e.Bacia.Formato == TBaciaAcumulacao::SEMICIRCULAR) {
                eResult->setText(FormatarQ("0.0#", b.Raio));
            } else {
                eResult->setText(FormatarQ("0.0#", b.Largura));
                eCompBacia->setText(FormatarQ("0.0#", b.Comprimento));
            }
            gbBacia->setEnabled(true);
        }
        acomp.hide();
        FAcompanhamento = nullptr;
        setEnabled(true);
        CarregarGrade(comprimento, r);
        FResultado = std::move(resultado);
        bRelatorio->setEnabled(true);
        bSimul->setEnabled(true);
        MostrarPagina(PAG_RESULTADO);
    });
}
