#include "mainwindow/estudos/PaginaEstudo.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QSplitter>
#include <QVBoxLayout>
#include <cmath>
#include <memory>

#include "ajuda/Ajuda.h"
#include "comum/ContextosAjuda.h"
#include "comum/EMorvendo.h"
#include "comum/MensagemErro.h"
#include "comum/Numeros.h"
#include "comum/ui/RotinasUi.h"
#include "mainwindow/Controles.h"
#include "mainwindow/RotinasComuns.h"
#include "mainwindow/estudos/Lote.h"
#include "mainwindow/estudos/Tabelas.h"
#include "mainwindow/simulacao/Simulacao.h"
#include "project/Projeto.h"

namespace {

// Grandezas que o gráfico pode traçar: coluna da tabela, título e unidade.
struct TGrandeza {
    int Coluna;
    const char* Titulo;
    const char* Unidade;
    const char* Mascara;
};
const TGrandeza GRANDEZAS[] = {
    {1, "Espaçamento máximo", "m", "0"},
    {2, "Perda tolerável", "g/cm²", "0.00"},
    {3, "Perda de solo estimada", "g/cm²", "0.00"},
    {4, "Tensão cisalhante máxima", "Pa", "0.0#"},
    {5, "Vazão máxima", "L/s", "0.0#"},
    {6, "Volume escoado da bacia", "m³", "0.0##"},
};

// Depois das grandezas, os avisos de cada ponto.
constexpr int COLUNA_AVISOS = 7;

// O estado na coluna do espaçamento quando nenhum atende (a frase inteira vai nos avisos).
const char* const NENHUM_ATENDE = "nenhum atende";

std::optional<double> Grandeza(const TResultadoExecucao& r, int coluna) {
    // Sem espaçamento, só a perda tolerável é resultado; nenhum ponto vai ao gráfico.
    if (r.NenhumEspacamento && coluna != 2) return std::nullopt;
    switch (coluna) {
    case 1:
        return double(r.Espacamento);
    case 2:
        return r.PerdaToleravel;
    case 3:
        return r.PerdaSolo;
    case 4:
        return r.TensaoMax;
    case 5:
        return r.VazaoMax;
    default:
        return r.VolumeBacia;
    }
}

QString ComUnidade(const QString& rotulo, const QString& unidade) {
    return unidade.isEmpty() ? rotulo : rotulo + QStringLiteral(" (") + unidade + ')';
}

// Rótulo de uma marca com as casas que o passo pede.
QString RotuloMarca(double v, double passo) {
    int casas = 0;
    while (casas < 8 && std::abs(passo * std::pow(10.0, casas) -
                                 std::round(passo * std::pow(10.0, casas))) > 1e-6)
        ++casas;
    return FormatarCasas(v, casas);
}

void DefinirMarcas(QCategoryAxis* eixo, const std::vector<double>& marcas) {
    for (const QString& rotulo : eixo->categoriesLabels())
        eixo->remove(rotulo);
    const double passo = marcas.size() > 1 ? marcas[1] - marcas[0] : 1;
    for (const double m : marcas)
        eixo->append(RotuloMarca(m, passo), m);
    eixo->setStartValue(marcas.front());
    eixo->setRange(marcas.front(), marcas.back());
}

// Um passo "redondo" (1, 2 ou 5 vezes uma potência de dez) perto de v.
double PassoRedondo(double v) {
    const double p = std::pow(10.0, std::floor(std::log10(v)));
    for (const double f : {1.0, 2.0, 5.0})
        if (f * p >= v * 0.8) return f * p;
    return 10 * p;
}

} // namespace

// Pontos do estudo, na ordem dos valores; a linha que falhou leva a mensagem.
class TModeloEstudo : public TModeloTexto {
public:
    using TModeloTexto::TModeloTexto;

    void Definir(const QString& parametro, std::vector<double> valores,
                 std::vector<TPontoEstudo> pontos) {
        beginResetModel();
        FParametro = parametro;
        FValores = std::move(valores);
        FPontos = std::move(pontos);
        endResetModel();
    }

    int rowCount(const QModelIndex& pai = {}) const override {
        return pai.isValid() ? 0 : int(FPontos.size());
    }
    int columnCount(const QModelIndex& pai = {}) const override {
        return pai.isValid() ? 0 : COLUNA_AVISOS + 1;
    }

    QString Titulo(int coluna) const override {
        if (coluna == 0) return FParametro;
        if (coluna == COLUNA_AVISOS) return QStringLiteral("Avisos");
        for (const TGrandeza& g : GRANDEZAS)
            if (g.Coluna == coluna)
                return ComUnidade(QString::fromUtf8(g.Titulo), QString::fromUtf8(g.Unidade));
        return {};
    }

    bool Falhou(int linha) const override { return !FPontos[std::size_t(linha)].Resultado.Ok; }

    QString Texto(int linha, int coluna, char sep, bool completo) const override {
        const TResultadoExecucao& r = FPontos[std::size_t(linha)].Resultado;
        if (coluna == 0)
            return QString::fromStdString(FloatToStr(FValores[std::size_t(linha)], sep));
        if (!r.Ok) return coluna == ColunaMensagem() ? QString::fromStdString(r.Erro) : QString();
        if (coluna == COLUNA_AVISOS) return QString::fromStdString(AvisosNumaCelula(r.Avisos));
        if (r.NenhumEspacamento && coluna == 1) return QString::fromUtf8(NENHUM_ATENDE);
        const auto v = Grandeza(r, coluna);
        if (!v) return completo ? QString() : QStringLiteral("---");
        if (completo) return QString::fromStdString(FloatToStr(*v, sep));
        return QString::fromStdString(FormatFloat(GRANDEZAS[coluna - 1].Mascara, *v, sep));
    }

    const std::vector<double>& Valores() const { return FValores; }
    const std::vector<TPontoEstudo>& Pontos() const { return FPontos; }

private:
    QString FParametro;
    std::vector<double> FValores;
    std::vector<TPontoEstudo> FPontos;
};

TPaginaEstudo::TPaginaEstudo(TAmbienteEstudos ambiente, QWidget* pai)
    : QWidget(pai), Linhas(LinhasPadrao()), FAmb(std::move(ambiente)),
      FLote(new TExecucaoLote(this)), FModelo(new TModeloEstudo(this)) {
    setObjectName(QStringLiteral("Estudo"));

    cbParametro = new QComboBox;
    cbParametro->setObjectName(QStringLiteral("cbParametro"));
    for (std::size_t i = 0; i < ParametrosEstudo().size(); ++i)
        cbParametro->addItem(QString());
    auto campo = [](const char* nome) {
        auto* e = new QLineEdit;
        e->setObjectName(QString::fromLatin1(nome));
        e->setMaximumWidth(90);
        e->setAlignment(Qt::AlignRight);
        return e;
    };
    eInicio = campo("eInicio");
    eFim = campo("eFim");
    ePasso = campo("ePasso");
    lblUnidadeInicio = Rotulo("", "lblUnidadeInicio");
    lblUnidadeFim = Rotulo("", "lblUnidadeFim");
    lblUnidadePasso = Rotulo("", "lblUnidadePasso");
    btnCalcularEstudo = Botao("&Calcular", "btnCalcularEstudo");
    btnCancelarEstudo = Botao("C&ancelar", "btnCancelarEstudo");
    pbEstudo = new QProgressBar;
    pbEstudo->setObjectName(QStringLiteral("pbEstudo"));
    pbEstudo->setRange(0, 1);
    pbEstudo->setValue(0);
    lblSituacao = Rotulo("", "lblSituacao");

    auto* dados = Grupo(" Estudo de sensibilidade ", "gbEstudo");
    auto* g = new QGridLayout(dados);
    g->addWidget(Rotulo("Dado variado"), 0, 0);
    g->addWidget(cbParametro, 0, 1, 1, 8);
    const std::pair<const char*, std::pair<QLineEdit*, QLabel*>> linha[] = {
        {"Início", {eInicio, lblUnidadeInicio}},
        {"Fim", {eFim, lblUnidadeFim}},
        {"Passo", {ePasso, lblUnidadePasso}}};
    for (int i = 0; i < 3; ++i) {
        auto* r = Rotulo(linha[i].first);
        r->setBuddy(linha[i].second.first);
        g->addWidget(r, 1, 3 * i);
        g->addWidget(linha[i].second.first, 1, 3 * i + 1);
        g->addWidget(linha[i].second.second, 1, 3 * i + 2);
    }
    auto* acoes = new QHBoxLayout;
    acoes->addWidget(btnCalcularEstudo);
    acoes->addWidget(btnCancelarEstudo);
    acoes->addWidget(pbEstudo, 1);
    g->addLayout(acoes, 2, 0, 1, 9);
    g->addWidget(lblSituacao, 3, 0, 1, 9);

    cbGrandeza = new QComboBox;
    cbGrandeza->setObjectName(QStringLiteral("cbGrandeza"));
    for (const TGrandeza& gr : GRANDEZAS)
        cbGrandeza->addItem(
            ComUnidade(QString::fromUtf8(gr.Titulo), QString::fromUtf8(gr.Unidade)));
    FGrafico = new QChart;
    FGrafico->legend()->hide();
    FGrafico->setMargins(QMargins(4, 4, 18, 4));
    auto* eixoX = new QCategoryAxis;
    auto* eixoY = new QCategoryAxis;
    for (QCategoryAxis* e : {eixoX, eixoY}) {
        e->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        QFont f = e->titleFont();
        f.setPointSizeF(f.pointSizeF() * 0.9);
        f.setBold(false);
        e->setTitleFont(f);
    }
    FGrafico->addAxis(eixoX, Qt::AlignBottom);
    FGrafico->addAxis(eixoY, Qt::AlignLeft);
    auto* linhaSerie = new QLineSeries;
    auto* pontos = new QScatterSeries;
    pontos->setMarkerSize(7);
    for (QXYSeries* s : std::initializer_list<QXYSeries*>{linhaSerie, pontos}) {
        FGrafico->addSeries(s);
        s->attachAxis(eixoX);
        s->attachAxis(eixoY);
    }
    pontos->setColor(linhaSerie->color());
    grEstudo = new QChartView(FGrafico);
    grEstudo->setObjectName(QStringLiteral("grEstudo"));
    grEstudo->setRenderHint(QPainter::Antialiasing);
    grEstudo->setMinimumSize(300, 220);

    tbEstudo = new TTabelaResultados("tbEstudo");
    tbEstudo->setModel(FModelo);

    QSplitter* divisor = GraficoETabela(cbGrandeza, grEstudo, tbEstudo, 1, 1);

    btnCopiarEstudo = Botao("C&opiar", "btnCopiarEstudo");
    btnCopiarEstudo->setToolTip(
        QStringLiteral("Copia as linhas escolhidas (todas, sem escolha) para uma planilha"));
    btnExportarEstudo = Botao("&Exportar CSV...", "btnExportarEstudo");
    btnImprimirEstudo = Botao("&Imprimir...", "btnImprimirEstudo");
    btnVoltarEstudo = Botao("&Voltar", "btnVoltarEstudo");
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    for (QPushButton* b : {btnCopiarEstudo, btnExportarEstudo, btnImprimirEstudo, btnVoltarEstudo})
        botoes->addWidget(b);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(6, 4, 6, 4);
    v->addWidget(dados);
    v->addWidget(divisor, 1);
    v->addLayout(botoes);

    auto proteger = [this](void (TPaginaEstudo::*acao)()) {
        return [this, acao] {
            try {
                (this->*acao)();
            } catch (const std::exception& e) {
                FAmb.Erro(MensagemParaUsuario(e));
            }
        };
    };
    connect(btnCalcularEstudo, &QPushButton::clicked, this, proteger(&TPaginaEstudo::Calcular));
    connect(btnCancelarEstudo, &QPushButton::clicked, this, &TPaginaEstudo::Cancelar);
    connect(btnCopiarEstudo, &QPushButton::clicked, tbEstudo, &TTabelaResultados::Copiar);
    connect(btnExportarEstudo, &QPushButton::clicked, this, [this] {
        QString nome = QFileDialog::getSaveFileName(
            this, QStringLiteral("Exportar o estudo"),
            QStringLiteral("estudo-") + QString::fromLatin1(Descricao(ParametroEstudado()).Nome) +
                QStringLiteral(".csv"),
            QStringLiteral("Planilha CSV (*.csv)"));
        if (nome.isEmpty()) return;
        if (!nome.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) nome += ".csv";
        try {
            ExportarCsv(nome);
        } catch (const std::exception& e) {
            FAmb.Erro(MensagemParaUsuario(e));
        }
    });
    connect(btnImprimirEstudo, &QPushButton::clicked, this, [this] {
        ImprimirHtml(this, FAmb.Impressora(), QStringLiteral("Imprimir o estudo"), HtmlImpressao(),
                     ImagemGrafico(QSize(900, 560)));
    });
    connect(btnVoltarEstudo, &QPushButton::clicked, this, [this] { FAmb.Voltar(); });
    connect(cbParametro, &QComboBox::currentIndexChanged, this, &TPaginaEstudo::Sugerir);
    connect(cbGrandeza, &QComboBox::currentIndexChanged, this, &TPaginaEstudo::Tracar);
    connect(FLote, &TExecucaoLote::Andamento, this, [this](int feitos, int total) {
        pbEstudo->setRange(0, total);
        pbEstudo->setValue(std::max(pbEstudo->value(), feitos));
    });
    Atualizar();
    Habilitar();
    // F1 nestas páginas abre a ajuda dos estudos.
    Ajuda::DefinirContexto(this, CONTEXTO_ESTUDOS);
}

TPaginaEstudo::~TPaginaEstudo() = default;

QString TPaginaEstudo::UnidadeParametro(TParametroEstudo p) const {
    if (p == TParametroEstudo::Declividade)
        return QString::fromStdString(FAmb.Unidades->UnidadeDeclividade);
    if (p == TParametroEstudo::Erodibilidade)
        return QString::fromStdString(FAmb.Unidades->UnidadeErodibilidade);
    return QString::fromUtf8(Descricao(p).Unidade);
}

double TPaginaEstudo::FatorParametro(TParametroEstudo p) const {
    // A declividade aparece na unidade configurada; o projeto a guarda em m/m.
    return p == TParametroEstudo::Declividade ? FAmb.Unidades->FatorDeclividade : 1.0;
}

void TPaginaEstudo::Atualizar() {
    const auto& ps = ParametrosEstudo();
    for (std::size_t i = 0; i < ps.size(); ++i)
        cbParametro->setItemText(
            int(i), ComUnidade(QString::fromUtf8(ps[i].Rotulo), UnidadeParametro(ps[i].Parametro)));
    const QString u = UnidadeParametro(ps[std::size_t(cbParametro->currentIndex())].Parametro);
    for (QLabel* l : {lblUnidadeInicio, lblUnidadeFim, lblUnidadePasso})
        l->setText(u);
    if (!Calculando() && eInicio->text().isEmpty() && eFim->text().isEmpty() &&
        ePasso->text().isEmpty())
        Sugerir();
}

void TPaginaEstudo::Sugerir() {
    const TParametroEstudo p =
        ParametrosEstudo()[std::size_t(cbParametro->currentIndex())].Parametro;
    const QString u = UnidadeParametro(p);
    for (QLabel* l : {lblUnidadeInicio, lblUnidadeFim, lblUnidadePasso})
        l->setText(u);
    const double v = ValorParametro(*FAmb.Projeto, p) * FatorParametro(p);
    if (!(v > 0) || !std::isfinite(v)) {
        for (QLineEdit* c : {eInicio, eFim, ePasso})
            c->clear();
        return;
    }
    // Da metade a uma vez e meia o valor do projeto, em passos redondos.
    double passo = PassoRedondo(v / 10);
    if (p == TParametroEstudo::ComprimentoTalude) passo = std::max(1.0, std::round(passo));
    const double inicio = std::max(passo, std::ceil(v / 2 / passo) * passo);
    const double fim = std::max(inicio, std::floor(v * 1.5 / passo) * passo);
    const char sep = SeparadorDecimal();
    eInicio->setText(QString::fromStdString(FloatToStr(inicio, sep)));
    eFim->setText(QString::fromStdString(FloatToStr(fim, sep)));
    ePasso->setText(QString::fromStdString(FloatToStr(passo, sep)));
}

bool TPaginaEstudo::Calculando() const {
    return FLote->Executando();
}

TParametroEstudo TPaginaEstudo::ParametroEstudado() const {
    return ParametrosEstudo()[std::size_t(cbParametro->currentIndex())].Parametro;
}

void TPaginaEstudo::Calcular() {
    if (Calculando()) return;
    const TDescricaoParametro& d = ParametrosEstudo()[std::size_t(cbParametro->currentIndex())];
    const QString unidade = UnidadeParametro(d.Parametro);
    auto ler = [&](QLineEdit* campo, const char* nome) {
        const std::string texto = campo->text().trimmed().toStdString();
        const auto v = TentarTextoParaReal(texto, SeparadorDecimal());
        if (!v || !std::isfinite(*v)) {
            campo->setFocus();
            campo->selectAll();
            throw EMorvendo((texto.empty()
                                 ? std::string("Falta o valor de \"") + nome + "\""
                                 : "\"" + texto + "\" não é um número: \"" + nome + "\"") +
                            " do estudo (" +
                            ComUnidade(QString::fromUtf8(d.Rotulo), unidade).toStdString() + ").");
        }
        return *v;
    };
    const double inicio = ler(eInicio, "Início"), fim = ler(eFim, "Fim"),
                 passo = ler(ePasso, "Passo");
    std::vector<double> mostrados = ValoresDoIntervalo(inicio, fim, passo);
    std::vector<double> valores;
    const double fator = FatorParametro(d.Parametro);
    for (const double v : mostrados)
        valores.push_back(v / fator);
    TArquivoIni projeto = FAmb.Instantaneo();

    FModelo->Definir(ComUnidade(QString::fromUtf8(d.Rotulo), unidade), {}, {});
    Tracar();
    pbEstudo->setRange(0, int(valores.size()));
    pbEstudo->setValue(0);
    lblSituacao->setText(QStringLiteral("Calculando %1 pontos em %2 linhas de execução...")
                             .arg(valores.size())
                             .arg(std::min<std::size_t>(Linhas, valores.size())));
    auto saida = std::make_shared<std::vector<TPontoEstudo>>();
    auto relogio = std::make_shared<QElapsedTimer>();
    relogio->start();
    const TParametroEstudo parametro = d.Parametro;
    FLote->Iniciar(
        [projeto = std::move(projeto), parametro, valores, saida,
         linhas = Linhas](IAndamentoLote& a, const TCancelamentoLote& c) {
            *saida = ExecutarEstudo(projeto, parametro, valores, linhas, &a, &c);
        },
        [this, saida, relogio, mostrados = std::move(mostrados),
         rotulo = ComUnidade(QString::fromUtf8(d.Rotulo), unidade)](bool cancelado) mutable {
            FModelo->Definir(rotulo, std::move(mostrados), std::move(*saida));
            const auto& pts = FModelo->Pontos();
            const auto falhas = std::count_if(
                pts.begin(), pts.end(), [](const TPontoEstudo& p) { return !p.Resultado.Ok; });
            const QString tempo = FormatarCasas(relogio->elapsed() / 1000.0, 1);
            if (cancelado)
                lblSituacao->setText(QStringLiteral("Estudo cancelado: %1 de %2 pontos calculados.")
                                         .arg(pts.size() - std::size_t(falhas))
                                         .arg(pts.size()));
            else if (falhas > 0)
                lblSituacao->setText(QStringLiteral("%1 pontos em %2 s; %3 não puderam ser "
                                                    "calculados (a mensagem está na linha).")
                                         .arg(pts.size())
                                         .arg(tempo)
                                         .arg(falhas));
            else
                lblSituacao->setText(
                    QStringLiteral("%1 pontos calculados em %2 s.").arg(pts.size()).arg(tempo));
            Terminar(cancelado);
        });
    Habilitar();
}

void TPaginaEstudo::Terminar(bool) {
    Tracar();
    Habilitar();
}

void TPaginaEstudo::Cancelar() {
    FLote->Cancelar();
}

void TPaginaEstudo::Limpar() {
    FLote->Abandonar();
    FModelo->Definir(QString(), {}, {});
    lblSituacao->clear();
    pbEstudo->setRange(0, 1);
    pbEstudo->setValue(0);
    for (QLineEdit* c : {eInicio, eFim, ePasso})
        c->clear();
    Tracar();
    Habilitar();
}

void TPaginaEstudo::Habilitar() {
    const bool calculando = Calculando();
    const bool ha = FModelo->rowCount() > 0;
    btnCalcularEstudo->setEnabled(!calculando);
    btnCancelarEstudo->setEnabled(calculando);
    for (QWidget* w : std::initializer_list<QWidget*>{cbParametro, eInicio, eFim, ePasso})
        w->setEnabled(!calculando);
    for (QPushButton* b : {btnCopiarEstudo, btnExportarEstudo, btnImprimirEstudo})
        b->setEnabled(ha && !calculando);
}

void TPaginaEstudo::Tracar() {
    const TGrandeza& g = GRANDEZAS[std::max(0, cbGrandeza->currentIndex())];
    QList<QPointF> pontos;
    const auto& pts = FModelo->Pontos();
    for (std::size_t i = 0; i < pts.size(); ++i)
        if (pts[i].Resultado.Ok)
            if (const auto y = Grandeza(pts[i].Resultado, g.Coluna); y && std::isfinite(*y))
                pontos.append(QPointF(FModelo->Valores()[i], *y));
    const auto series = FGrafico->series();
    for (QAbstractSeries* s : series)
        static_cast<QXYSeries*>(s)->replace(pontos);
    auto* eixoX = static_cast<QCategoryAxis*>(FGrafico->axes(Qt::Horizontal).front());
    auto* eixoY = static_cast<QCategoryAxis*>(FGrafico->axes(Qt::Vertical).front());
    eixoX->setTitleText(FModelo->Titulo(0));
    eixoY->setTitleText(ComUnidade(QString::fromUtf8(g.Titulo), QString::fromUtf8(g.Unidade)));
    const bool ha = !pontos.isEmpty();
    eixoX->setVisible(ha);
    eixoY->setVisible(ha);
    if (!ha) return;
    double xmin = pontos[0].x(), xmax = xmin, ymin = pontos[0].y(), ymax = ymin;
    for (const QPointF& p : pontos) {
        xmin = std::min(xmin, p.x());
        xmax = std::max(xmax, p.x());
        ymin = std::min(ymin, p.y());
        ymax = std::max(ymax, p.y());
    }
    // Poucas marcas: com muitas o Qt abrevia os rótulos em "...".
    DefinirMarcas(eixoX, MarcasDoEixo(xmin, xmax, 6, 1e-9));
    DefinirMarcas(eixoY, MarcasDoEixo(std::min(0.0, ymin), ymax, 6, g.Coluna == 1 ? 1 : 1e-9));
}

QString TPaginaEstudo::TituloEixoX() const {
    return FGrafico->axes(Qt::Horizontal).front()->titleText();
}

QString TPaginaEstudo::TituloEixoY() const {
    return FGrafico->axes(Qt::Vertical).front()->titleText();
}

QStringList TPaginaEstudo::MarcasEixoX() const {
    return static_cast<QCategoryAxis*>(FGrafico->axes(Qt::Horizontal).front())->categoriesLabels();
}

const std::vector<double>& TPaginaEstudo::ValoresMostrados() const {
    return FModelo->Valores();
}

const std::vector<TPontoEstudo>& TPaginaEstudo::Pontos() const {
    return FModelo->Pontos();
}

void TPaginaEstudo::ExportarCsv(const QString& caminho) {
    GravarCsv(caminho, CsvDaTabela(*FModelo));
}

QImage TPaginaEstudo::ImagemGrafico(QSize tamanho) const {
    return ImagemDoGrafico(grEstudo, tamanho);
}

QString TPaginaEstudo::HtmlImpressao() const {
    return HtmlImpressaoDeEstudo(QStringLiteral("Estudo de sensibilidade"), FAmb.NomeProjeto(),
                                 QStringLiteral("Dado variado"), FModelo->Titulo(0),
                                 lblSituacao->text(), *FModelo, SeparadorDecimal());
}
