#include "idf/ui/DialogoSerieDiaria.h"

#include "idf/ui/DialogoAjusteIdf.h"

#include "comum/EMorvendo.h"
#include "comum/MensagemErro.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPushButton>
#include <QScatterSeries>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QString Numero(double v) {
    return Q(FloatToStr(v, SeparadorDecimalLocal()));
}

QString Mascara(const char* mascara, double v) {
    return Q(FormatFloat(mascara, v, SeparadorDecimalLocal()));
}

QString Porcento(double fracao) {
    return Mascara("0.0#", 100 * fracao) + QStringLiteral(" %");
}

QTableWidgetItem* Celula(const QString& texto, bool editavel = false) {
    auto* i = new QTableWidgetItem(texto);
    if (!editavel) i->setFlags(i->flags() & ~Qt::ItemIsEditable);
    return i;
}

QTableWidget* Tabela(QWidget* pai, const char* nome, const QStringList& colunas) {
    auto* t = new QTableWidget(0, static_cast<int>(colunas.size()), pai);
    t->setObjectName(nome);
    t->setHorizontalHeaderLabels(colunas);
    t->verticalHeader()->hide();
    t->setSelectionMode(QAbstractItemView::NoSelection);
    return t;
}

const char* const Meses[] = {"janeiro", "fevereiro", "março",    "abril",   "maio",     "junho",
                             "julho",   "agosto",    "setembro", "outubro", "novembro", "dezembro"};

QString TextoReferencia(double referencia) {
    return referencia == ReferenciaUmDia ? QStringLiteral("1 dia") : Numero(referencia);
}

QString DataTexto(const TData& d) {
    return QStringLiteral("%1/%2/%3")
        .arg(d.Dia, 2, 10, QLatin1Char('0'))
        .arg(d.Mes, 2, 10, QLatin1Char('0'))
        .arg(d.Ano);
}

} // namespace

TDialogoSerieDiaria::TDialogoSerieDiaria(IMensagensConsulta& mensagens, QWidget* pai)
    : QDialog(pai), FMensagens(mensagens) {
    setObjectName("DialogoSerieDiaria");
    setWindowTitle(QStringLiteral("Equação da série de chuvas diárias"));
    auto* raiz = new QVBoxLayout(this);

    auto* topo = new QHBoxLayout;
    btnAbrir = new QPushButton(QStringLiteral("&Abrir série..."), this);
    btnAbrir->setObjectName("btnAbrir");
    btnAbrir->setAutoDefault(false);
    lSerie = new QLabel(QStringLiteral("Abra a série de chuvas diárias do posto (CSV ou TXT do "
                                       "portal de séries históricas)."),
                        this);
    lSerie->setObjectName("lSerie");
    lSerie->setWordWrap(true);
    cbMesInicio = new QComboBox(this);
    cbMesInicio->setObjectName("cbMesInicio");
    for (int m = 0; m < 12; ++m)
        cbMesInicio->addItem(m == 0 ? QStringLiteral("janeiro (ano civil)")
                                    : QString::fromUtf8(Meses[m]));
    auto* rotuloMes = new QLabel(QStringLiteral("&Início do ano:"), this);
    rotuloMes->setBuddy(cbMesInicio);
    topo->addWidget(btnAbrir);
    topo->addWidget(lSerie, 1);
    topo->addWidget(rotuloMes);
    topo->addWidget(cbMesInicio);
    raiz->addLayout(topo);

    auto* meio = new QHBoxLayout;
    auto* caixaAnos = new QGroupBox(QStringLiteral(" Máximas anuais de um dia "), this);
    {
        auto* v = new QVBoxLayout(caixaAnos);
        tbAnos = Tabela(caixaAnos, "tbAnos",
                        {QStringLiteral("Fora"), QStringLiteral("Ano"),
                         QStringLiteral("Máxima (mm)"), QStringLiteral("Data"),
                         QStringLiteral("Sem leitura"), QStringLiteral("Duvidosos"),
                         QStringLiteral("Acumulados"), QStringLiteral("Situação")});
        tbAnos->horizontalHeaderItem(4)->setToolTip(
            QStringLiteral("Dias sem leitura no ano, inclusive os dos meses ausentes"));
        v->addWidget(tbAnos);
        auto* nota = new QLabel(
            QStringLiteral("Entra o ano com os doze meses e até %1 dias sem leitura. Marque "
                           "\"Fora\" para deixar um ano de fora; leituras acumuladas, que podem "
                           "somar mais de um dia, ficam em destaque.")
                .arg(DiasSemLeituraMaximo),
            caixaAnos);
        nota->setWordWrap(true);
        v->addWidget(nota);
    }
    meio->addWidget(caixaAnos, 5);

    Paginas = new QTabWidget(this);
    Paginas->setObjectName("Paginas");
    auto* paginaGumbel = new QWidget;
    {
        auto* v = new QVBoxLayout(paginaGumbel);
        lGumbel = new QLabel(paginaGumbel);
        lGumbel->setObjectName("lGumbel");
        lGumbel->setWordWrap(true);
        lGumbel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        v->addWidget(lGumbel);
        tbGumbel = Tabela(paginaGumbel, "tbGumbel",
                          {QStringLiteral("Período de retorno (anos)"), QStringLiteral("K_T"),
                           QStringLiteral("Chuva de 1 dia (mm)")});
        v->addWidget(tbGumbel);
    }
    Paginas->addTab(paginaGumbel, QStringLiteral("&Gumbel"));
    auto* paginaRelacoes = new QWidget;
    {
        auto* v = new QVBoxLayout(paginaRelacoes);
        auto* nota = new QLabel(
            QStringLiteral("Chuva da duração = relação × chuva da referência. \"1 dia\" é a "
                           "chuva de um dia de observação, a das máximas anuais. Edite para "
                           "usar relações regionais."),
            paginaRelacoes);
        nota->setWordWrap(true);
        v->addWidget(nota);
        tbRelacoes = Tabela(paginaRelacoes, "tbRelacoes",
                            {QStringLiteral("Duração (min)"), QStringLiteral("Referência (min)"),
                             QStringLiteral("Relação")});
        tbRelacoes->setSelectionMode(QAbstractItemView::SingleSelection);
        v->addWidget(tbRelacoes);
        auto* linha = new QHBoxLayout;
        auto botao = [&](const QString& texto, const char* nome) {
            auto* b = new QPushButton(texto, paginaRelacoes);
            b->setObjectName(nome);
            b->setAutoDefault(false);
            linha->addWidget(b);
            return b;
        };
        btnIncluirRelacao = botao(QStringLiteral("Incluir &linha"), "btnIncluirRelacao");
        btnExcluirRelacao = botao(QStringLiteral("E&xcluir linha"), "btnExcluirRelacao");
        btnRestaurar = botao(QStringLiteral("&Restaurar as relações padrão"), "btnRestaurar");
        linha->addStretch();
        v->addLayout(linha);
    }
    Paginas->addTab(paginaRelacoes, QStringLiteral("&Relações entre durações"));
    tbIntensidades = Tabela(this, "tbIntensidades", {});
    Paginas->addTab(tbIntensidades, QStringLiteral("I&ntensidades (mm/h)"));
    FGrafico = new QChart;
    FGrafico->setMargins(QMargins(4, 4, 12, 4));
    FGrafico->legend()->setAlignment(Qt::AlignRight);
    grCurvas = new QChartView(FGrafico, this);
    grCurvas->setObjectName("grCurvas");
    grCurvas->setRenderHint(QPainter::Antialiasing);
    grCurvas->setMinimumSize(360, 260);
    Paginas->addTab(grCurvas, QStringLiteral("&Curvas"));
    meio->addWidget(Paginas, 6);
    raiz->addLayout(meio, 1);

    auto* resultado = CaixaEquacaoAjustada(this, lK, lA, lB, lC, lErros);
    {
        auto* g = static_cast<QGridLayout*>(resultado->layout());
        lAvisos = new QLabel(resultado);
        lAvisos->setObjectName("lAvisos");
        lAvisos->setWordWrap(true);
        lAvisos->setTextInteractionFlags(Qt::TextSelectableByMouse);
        lAvisos->setStyleSheet(QStringLiteral("color: #a04000"));
        g->addWidget(lAvisos, 2, 0, 1, 8);
    }
    raiz->addWidget(resultado);

    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    btnSalvarEstacao = new QPushButton(QStringLiteral("&Salvar como estação..."), this);
    btnSalvarEstacao->setObjectName("btnSalvarEstacao");
    btnSalvarEstacao->setAutoDefault(false);
    btnFechar = new QPushButton(QStringLiteral("&Fechar"), this);
    btnFechar->setObjectName("btnFechar");
    btnFechar->setAutoDefault(false);
    botoes->addWidget(btnSalvarEstacao);
    botoes->addWidget(btnFechar);
    raiz->addLayout(botoes);
    resize(1280, 780);

    PreencherRelacoes(RelacoesDuracaoPadrao());
    Limpar();

    connect(btnAbrir, &QPushButton::clicked, this, [this] { AbrirClick(); });
    connect(btnRestaurar, &QPushButton::clicked, this, [this] { RestaurarRelacoesClick(); });
    connect(btnIncluirRelacao, &QPushButton::clicked, this, [this] { IncluirRelacaoClick(); });
    connect(btnExcluirRelacao, &QPushButton::clicked, this, [this] { ExcluirRelacaoClick(); });
    connect(btnSalvarEstacao, &QPushButton::clicked, this, [this] { SalvarEstacaoClick(); });
    connect(btnFechar, &QPushButton::clicked, this, &QDialog::accept);
    connect(cbMesInicio, &QComboBox::currentIndexChanged, this, [this] { Calcular(); });
    connect(tbRelacoes, &QTableWidget::itemChanged, this, [this] {
        if (!FPreenchendo) Calcular();
    });
    connect(tbAnos, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* i) {
        if (FPreenchendo || i->column() != 0) return;
        ExcluirAno(i->data(Qt::UserRole).toInt(), i->checkState() == Qt::Checked);
    });
}

void TDialogoSerieDiaria::AbrirClick() {
    const QString caminho = QFileDialog::getOpenFileName(
        this, QStringLiteral("Abrir série de chuvas diárias"), QString(),
        QStringLiteral("Séries do portal (*.csv *.txt);;Todos os arquivos (*)"));
    if (!caminho.isEmpty()) CarregarSerie(caminho);
}

void TDialogoSerieDiaria::CarregarSerie(const QString& caminho) {
    try {
        TSerieDiaria s = LerSerieDiaria(LerArquivoComum(QFile::encodeName(caminho).toStdString()));
        FSerie = std::move(s);
    } catch (const std::exception& e) {
        FMensagens.Erro(this, QFileInfo(caminho).fileName() + QStringLiteral(": ") +
                                  Q(MensagemParaUsuario(e)));
        return;
    }
    FExcluidos.clear();
    lSerie->setText(QStringLiteral("Posto %1: %2 meses (%3 consistidos, %4 brutos), de %5.")
                        .arg(Q(FSerie->Estacao))
                        .arg(FSerie->Meses.size())
                        .arg(FSerie->MesesConsistidos)
                        .arg(FSerie->MesesBrutos)
                        .arg(QFileInfo(caminho).fileName()));
    Calcular();
}

void TDialogoSerieDiaria::ExcluirAno(int ano, bool excluir) {
    const auto i = std::find(FExcluidos.begin(), FExcluidos.end(), ano);
    if (excluir && i == FExcluidos.end()) FExcluidos.push_back(ano);
    if (!excluir && i != FExcluidos.end()) FExcluidos.erase(i);
    Calcular();
}

void TDialogoSerieDiaria::RestaurarRelacoesClick() {
    PreencherRelacoes(RelacoesDuracaoPadrao());
    Calcular();
}

void TDialogoSerieDiaria::IncluirRelacaoClick() {
    const int atual = tbRelacoes->currentRow();
    const int nova = atual >= 0 ? atual + 1 : tbRelacoes->rowCount();
    FPreenchendo = true;
    tbRelacoes->insertRow(nova);
    for (int c = 0; c < 3; ++c)
        tbRelacoes->setItem(nova, c, Celula(QString(), true));
    FPreenchendo = false;
    tbRelacoes->setCurrentCell(nova, 0);
    Calcular();
    tbRelacoes->editItem(tbRelacoes->item(nova, 0));
}

void TDialogoSerieDiaria::ExcluirRelacaoClick() {
    const int linha = tbRelacoes->currentRow();
    if (linha < 0 || linha >= tbRelacoes->rowCount()) return;
    // Com a tabela legível, a cadeia até a chuva de um dia é conferida antes; com uma linha
    // ilegível ou incompleta, qualquer uma pode sair (o cálculo diz o que faltar).
    std::optional<std::vector<TRelacaoDuracao>> relacoes;
    try {
        QString incompleta;
        relacoes = RelacoesDaTabela(incompleta);
    } catch (const EMorvendo&) {
    }
    try {
        if (relacoes) ConferirExclusaoRelacao(*relacoes, static_cast<std::size_t>(linha));
    } catch (const EMorvendo& e) {
        FMensagens.Erro(this, Q(e.what()));
        return;
    }
    tbRelacoes->removeRow(linha);
    Calcular();
}

void TDialogoSerieDiaria::PreencherRelacoes(const std::vector<TRelacaoDuracao>& relacoes) {
    FPreenchendo = true;
    tbRelacoes->setRowCount(static_cast<int>(relacoes.size()));
    for (int i = 0; i < static_cast<int>(relacoes.size()); ++i) {
        const auto& r = relacoes[static_cast<std::size_t>(i)];
        tbRelacoes->setItem(i, 0, Celula(Numero(r.Duracao), true));
        tbRelacoes->setItem(i, 1, Celula(TextoReferencia(r.Referencia), true));
        tbRelacoes->setItem(i, 2, Celula(Numero(r.Relacao), true));
    }
    tbRelacoes->resizeColumnsToContents();
    FPreenchendo = false;
}

std::optional<std::vector<TRelacaoDuracao>>
TDialogoSerieDiaria::RelacoesDaTabela(QString& incompleta) const {
    auto texto = [&](int i, int c) {
        const QTableWidgetItem* item = tbRelacoes->item(i, c);
        return item ? item->text().trimmed().toStdString() : std::string();
    };
    for (int i = 0; i < tbRelacoes->rowCount(); ++i)
        for (int c = 0; c < 3; ++c)
            if (texto(i, c).empty()) {
                incompleta = QStringLiteral("Complete a linha %1 das relações entre durações "
                                            "(duração, referência e relação) ou exclua-a.")
                                 .arg(i + 1);
                return std::nullopt;
            }
    std::vector<TRelacaoDuracao> relacoes;
    for (int i = 0; i < tbRelacoes->rowCount(); ++i) {
        double v[3] = {0, 0, 0};
        for (int c = 0; c < 3; ++c) {
            const std::string t = texto(i, c);
            // A referência de um dia, como a tabela a escreve.
            if (c == 1 && (t == "1 dia" || t == "dia")) {
                v[c] = ReferenciaUmDia;
                continue;
            }
            auto n = TentarTextoParaReal(t, SeparadorDecimalLocal());
            if (!n) n = TentarTextoParaReal(t, '.');
            if (!n || !std::isfinite(*n))
                throw EMorvendo("Relações entre durações, linha " + std::to_string(i + 1) +
                                ", coluna " +
                                tbRelacoes->horizontalHeaderItem(c)->text().toStdString() +
                                ": o valor deve ser um número" + (c == 1 ? " ou \"1 dia\"" : "") +
                                " (lido: \"" + t + "\").");
            v[c] = *n;
        }
        relacoes.push_back({v[0], v[1], v[2]});
    }
    return relacoes;
}

void TDialogoSerieDiaria::Limpar() {
    FResultado.reset();
    for (auto* e : {lK, lA, lB, lC})
        e->clear();
    lErros->clear();
    lAvisos->clear();
    lGumbel->clear();
    tbGumbel->setRowCount(0);
    tbIntensidades->setRowCount(0);
    tbIntensidades->setColumnCount(0);
    FGrafico->removeAllSeries();
    for (QAbstractAxis* a : FGrafico->axes())
        FGrafico->removeAxis(a);
    btnSalvarEstacao->setEnabled(false);
}

void TDialogoSerieDiaria::Calcular() {
    Limpar();
    if (!FSerie) return;
    TOpcoesIdfSerie opcoes;
    opcoes.MesInicioAno = cbMesInicio->currentIndex() + 1;
    opcoes.AnosExcluidos = FExcluidos;
    try {
        // A tabela dos anos mostra a série mesmo quando o resto não se calcula.
        PreencherAnos(MaximasAnuais(*FSerie, opcoes.MesInicioAno, FExcluidos));
        QString incompleta;
        auto relacoes = RelacoesDaTabela(incompleta);
        // Linha ainda sendo preenchida: sem resultado e sem caixa de erro a cada tecla.
        if (!relacoes) {
            lErros->setText(incompleta);
            return;
        }
        opcoes.Relacoes = std::move(*relacoes);
        FResultado = IdfDaSerieDiaria(*FSerie, opcoes);
    } catch (const EAjusteSemEquacao& e) {
        // Nenhuma equação dentro das faixas: a razão fica na janela, além da caixa.
        lErros->setText(Q(e.what()));
        FMensagens.Erro(this, Q(e.what()));
        return;
    } catch (const std::exception& e) {
        lErros->setText(Q(MensagemParaUsuario(e)));
        FMensagens.Erro(this, Q(MensagemParaUsuario(e)));
        return;
    }
    MostrarResultado();
}

void TDialogoSerieDiaria::PreencherAnos(const std::vector<TAnoChuva>& anos) {
    FPreenchendo = true;
    tbAnos->setRowCount(static_cast<int>(anos.size()));
    const QBrush destaque(QColor(255, 224, 160));
    for (int i = 0; i < static_cast<int>(anos.size()); ++i) {
        const TAnoChuva& a = anos[static_cast<std::size_t>(i)];
        auto* fora = Celula(QString());
        fora->setData(Qt::UserRole, a.Ano);
        if (a.Completo && a.Maxima) {
            fora->setFlags(fora->flags() | Qt::ItemIsUserCheckable);
            fora->setCheckState(a.Excluido ? Qt::Checked : Qt::Unchecked);
        } else {
            fora->setFlags(fora->flags() & ~Qt::ItemIsEnabled);
        }
        QString maxima = a.Maxima ? Mascara("0.0", *a.Maxima) : QStringLiteral("—");
        if (a.StatusMaxima == TStatusChuva::Duvidoso) maxima += QStringLiteral(" (duvidosa)");
        if (a.StatusMaxima == TStatusChuva::Acumulado) maxima += QStringLiteral(" (acumulada)");
        const QString situacao = a.Usado()    ? QStringLiteral("usado")
                                 : a.Excluido ? QStringLiteral("deixado de fora")
                                 : a.Meses < 12
                                     ? QStringLiteral("incompleto (%1 meses)").arg(a.Meses)
                                 : !a.Maxima ? QStringLiteral("sem leitura")
                                             : QStringLiteral("incompleto (falhas)");
        const QString textos[] = {QString::number(a.Ano),
                                  maxima,
                                  a.Maxima ? DataTexto(a.DataMaxima) : QString(),
                                  QString::number(a.DiasSemLeitura),
                                  QString::number(a.DiasDuvidosos),
                                  QString::number(a.DiasAcumulados),
                                  situacao};
        tbAnos->setItem(i, 0, fora);
        for (int c = 0; c < 7; ++c) {
            auto* item = Celula(textos[c]);
            if (c >= 1 && c <= 5) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!a.Usado()) item->setForeground(QBrush(Qt::gray));
            tbAnos->setItem(i, c + 1, item);
        }
        if (a.DiasAcumulados > 0 || a.StatusMaxima == TStatusChuva::Acumulado) {
            const QString dica =
                QStringLiteral("Leituras acumuladas podem somar a chuva de mais de um dia.");
            for (int c : {2, 6}) {
                tbAnos->item(i, c)->setBackground(destaque);
                tbAnos->item(i, c)->setToolTip(dica);
            }
        }
    }
    tbAnos->resizeColumnsToContents();
    // A tabela inteira à vista, sem rolagem lateral.
    tbAnos->setMinimumWidth(tbAnos->horizontalHeader()->length() +
                            tbAnos->verticalScrollBar()->sizeHint().width() +
                            2 * tbAnos->frameWidth() + 2);
    FPreenchendo = false;
}

void TDialogoSerieDiaria::MostrarResultado() {
    const TIdfDaSerie& r = *FResultado;
    const TGumbel& g = r.Gumbel;
    lGumbel->setText(
        QStringLiteral("%1 anos usados. Média %2 mm, desvio padrão %3 mm. Kolmogorov–Smirnov a "
                       "5 %: D = %4, crítico %5 — %6.")
            .arg(g.N)
            .arg(Mascara("0.0#", g.Media), Mascara("0.0#", g.DesvioPadrao), Mascara("0.000", g.Ks),
                 Mascara("0.000", g.KsCritico),
                 g.KsAceito ? QStringLiteral("a distribuição de Gumbel é aceita")
                            : QStringLiteral("a distribuição de Gumbel é rejeitada")));
    tbGumbel->setRowCount(static_cast<int>(r.ChuvaUmDia.size()));
    for (int i = 0; i < static_cast<int>(r.ChuvaUmDia.size()); ++i) {
        const TChuvaRetorno& c = r.ChuvaUmDia[static_cast<std::size_t>(i)];
        tbGumbel->setItem(i, 0, Celula(Numero(c.Tr)));
        tbGumbel->setItem(i, 1, Celula(Mascara("0.000", FatorFrequenciaGumbel(c.Tr))));
        tbGumbel->setItem(i, 2, Celula(Mascara("0.0", c.Chuva)));
    }
    tbGumbel->resizeColumnsToContents();

    // Intensidades: uma linha por duração, uma coluna por período de retorno.
    const auto& trs = r.Opcoes.PeriodosRetorno;
    const int nTr = static_cast<int>(trs.size());
    const int nDur = static_cast<int>(r.Pontos.size()) / std::max(nTr, 1);
    QStringList colunas{QStringLiteral("t (min)")};
    for (double tr : trs)
        colunas << QStringLiteral("T = %1").arg(Numero(tr));
    tbIntensidades->setColumnCount(nTr + 1);
    tbIntensidades->setHorizontalHeaderLabels(colunas);
    tbIntensidades->setRowCount(nDur);
    for (int d = 0; d < nDur; ++d) {
        tbIntensidades->setItem(
            d, 0, Celula(Numero(r.Pontos[static_cast<std::size_t>(d * nTr)].Duracao)));
        for (int t = 0; t < nTr; ++t)
            tbIntensidades->setItem(
                d, t + 1,
                Celula(
                    Mascara("0.0", r.Pontos[static_cast<std::size_t>(d * nTr + t)].Intensidade)));
    }
    tbIntensidades->resizeColumnsToContents();

    // Curvas ajustadas sobre os pontos, nos eixos logarítmicos em que a equação é quase reta.
    auto* eixoX = new QLogValueAxis;
    eixoX->setTitleText(QStringLiteral("Duração (min)"));
    eixoX->setLabelFormat(QStringLiteral("%g"));
    eixoX->setBase(10);
    eixoX->setMinorTickCount(8);
    auto* eixoY = new QLogValueAxis;
    eixoY->setTitleText(QStringLiteral("Intensidade (mm/h)"));
    eixoY->setLabelFormat(QStringLiteral("%g"));
    eixoY->setBase(10);
    eixoY->setMinorTickCount(8);
    FGrafico->addAxis(eixoX, Qt::AlignBottom);
    FGrafico->addAxis(eixoY, Qt::AlignLeft);
    const TParametrosIdf& p = r.Ajuste.Parametros;
    const double dMin = r.Pontos.front().Duracao, dMax = r.Pontos.back().Duracao;
    // Cores distintas para os oito períodos de retorno usuais.
    static const QColor cores[] = {
        QColor(31, 119, 180),  QColor(255, 127, 14), QColor(44, 160, 44),   QColor(214, 39, 40),
        QColor(148, 103, 189), QColor(140, 86, 75),  QColor(227, 119, 194), QColor(23, 190, 207)};
    double iMin = HUGE_VAL, iMax = 0;
    for (int t = 0; t < nTr; ++t) {
        auto* curva = new QLineSeries;
        curva->setName(QStringLiteral("T = %1 anos").arg(Numero(trs[static_cast<std::size_t>(t)])));
        for (int k = 0; k <= 60; ++k) {
            const double d = dMin * std::pow(dMax / dMin, k / 60.0);
            const double i = p.Intensidade(d, trs[static_cast<std::size_t>(t)]);
            curva->append(d, i);
            iMin = std::min(iMin, i);
            iMax = std::max(iMax, i);
        }
        auto* pontos = new QScatterSeries;
        pontos->setMarkerSize(6);
        for (int d = 0; d < nDur; ++d) {
            const TPontoIdf& q = r.Pontos[static_cast<std::size_t>(d * nTr + t)];
            pontos->append(q.Duracao, q.Intensidade);
            iMin = std::min(iMin, q.Intensidade);
            iMax = std::max(iMax, q.Intensidade);
        }
        for (QXYSeries* s : std::initializer_list<QXYSeries*>{curva, pontos}) {
            FGrafico->addSeries(s);
            s->attachAxis(eixoX);
            s->attachAxis(eixoY);
        }
        const QColor cor = cores[t % 8];
        curva->setColor(cor);
        pontos->setColor(cor);
        pontos->setBorderColor(cor);
        for (QLegendMarker* m : FGrafico->legend()->markers(pontos))
            m->setVisible(false);
    }

    // O eixo logarítmico não se ajusta sozinho às séries acrescentadas depois dele.
    eixoX->setRange(dMin * 0.9, dMax * 1.1);
    eixoY->setRange(iMin * 0.8, iMax * 1.25);

    lK->setText(Numero(p.K));
    lA->setText(Numero(p.A));
    lB->setText(Numero(p.B));
    lC->setText(Numero(p.C));
    for (auto* e : {lK, lA, lB, lC})
        e->setCursorPosition(0);
    const auto& a = r.Ajuste;
    QString erros =
        QStringLiteral("Erro relativo RMS %1; o maior, %2, em t = %3 min e T = %4 anos. Vale de "
                       "%5 a %6 min e de %7 a %8 anos.")
            .arg(Porcento(a.ErroRms), Porcento(a.ErroMaximo), Numero(a.PiorPonto.Duracao),
                 Numero(a.PiorPonto.Tr), Numero(a.DuracaoMin), Numero(a.DuracaoMax),
                 Numero(a.TrMin), Numero(a.TrMax));
    for (const char* limite : a.NoLimite)
        erros += QStringLiteral(" O parâmetro %1 ficou no limite da faixa aceita.")
                     .arg(QString::fromUtf8(limite));
    lErros->setText(erros);
    QStringList avisos;
    for (const std::string& aviso : r.Avisos)
        avisos << Q(aviso);
    lAvisos->setText(avisos.join(QLatin1Char(' ')));
    btnSalvarEstacao->setEnabled(static_cast<bool>(SalvarComoEstacao));
}

TEstacaoUsuario TDialogoSerieDiaria::EstacaoDoResultado() const {
    TEstacaoUsuario e;
    if (!FResultado) return e;
    DefinirAjuste(e, FResultado->Ajuste);
    e.Nome = "Posto " + FResultado->Estacao;
    e.Fonte = DescricaoOrigem(*FResultado);
    e.AnosSerie = static_cast<int>(FResultado->AnosUsados.size());
    return e;
}

void TDialogoSerieDiaria::SalvarEstacaoClick() {
    if (!FResultado || !SalvarComoEstacao) return;
    // Período de retorno além do dobro da série: a equação o cobre, mas por extrapolação.
    const double trMaior = FResultado->Opcoes.PeriodosRetorno.back();
    if (trMaior > 2.0 * FResultado->Gumbel.N &&
        !FMensagens.Confirmar(
            this, windowTitle(),
            QStringLiteral("A equação vai até %1 anos, mais que o dobro dos %2 anos da série: "
                           "as chuvas desses períodos de retorno são extrapolação. Salvar "
                           "assim mesmo?")
                .arg(Numero(trMaior))
                .arg(FResultado->Gumbel.N)))
        return;
    SalvarComoEstacao(EstacaoDoResultado());
}
