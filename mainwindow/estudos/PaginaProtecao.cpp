#include "mainwindow/estudos/PaginaProtecao.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <QValueAxis>
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
#include "project/Projeto.h"

namespace {

enum TColuna {
    COL_ALTERNATIVA,
    COL_ESPACAMENTO,
    COL_LIMITE,
    COL_DESAGUADOUROS,
    COL_RUGOSIDADE,
    COL_LAMINA,
    COL_VELOCIDADE,
    COL_TENSAO_PROJETO,
    COL_TENSAO_EFETIVA,
    COL_TENSAO_ADMISSIVEL,
    COL_CAPACIDADE,
    COL_CUSTO,
    COL_SITUACAO,
    COLUNAS
};

const char* const TITULOS[COLUNAS] = {"Alternativa",
                                      "Espaçamento (m)",
                                      "Limitado por",
                                      "Desaguadouros e bacias por km",
                                      "n",
                                      "Lâmina (cm)",
                                      "Velocidade (m/s)",
                                      "Tensão de projeto (Pa)",
                                      "Tensão efetiva máxima (Pa)",
                                      "Tensão admissível (Pa)",
                                      "Capacidade",
                                      "Custo por km (R$)",
                                      "Situação"};

// Produtos típicos de manta: tensão admissível (Pa) e n em lâminas de até 15 cm.
struct TProdutoManta {
    const char* Nome;
    double Tensao, Rugosidade;
};
const TProdutoManta PRODUTOS_MANTA[] = {
    {"Tela de juta", 22, 0.028},
    {"Manta de palha com rede", 71, 0.065},
    {"Manta de fibra de coco ou de madeira com rede", 108, 0.066},
    {"Geomanta sintética sem vegetação", 144, 0.036},
};

// O que o gráfico pode traçar.
struct TGraficoProtecao {
    const char* Titulo;
    int Coluna;
};
const TGraficoProtecao GRAFICOS[] = {
    {"Espaçamento (m)", COL_ESPACAMENTO},
    {"Custo por km (R$)", COL_CUSTO},
    {"Desaguadouros e bacias por km", COL_DESAGUADOUROS},
};

std::optional<double> ValorNumerico(const TResultadoAlternativa& r, int coluna) {
    if (!r.Ok || r.NenhumEspacamento) return std::nullopt;
    switch (coluna) {
    case COL_ESPACAMENTO:
        return double(r.Espacamento);
    case COL_DESAGUADOUROS:
        return r.DesaguadourosPorKm;
    case COL_RUGOSIDADE:
        return r.Rugosidade;
    case COL_LAMINA:
        return r.Lamina;
    case COL_VELOCIDADE:
        return r.Velocidade;
    case COL_TENSAO_PROJETO:
        return r.TensaoProjeto;
    case COL_TENSAO_EFETIVA:
        return r.TensaoEfetiva;
    case COL_TENSAO_ADMISSIVEL:
        return r.TensaoAdmissivel;
    case COL_CUSTO:
        return r.CustoPorKm;
    default:
        return std::nullopt;
    }
}

const char* Mascara(int coluna) {
    switch (coluna) {
    case COL_ESPACAMENTO:
        return "0";
    case COL_RUGOSIDADE:
        return "0.000";
    case COL_VELOCIDADE:
        return "0.00";
    case COL_CUSTO:
        return "#,##0.00";
    case COL_DESAGUADOUROS:
        return "0.0#";
    default:
        return "0.0";
    }
}

} // namespace

// As alternativas do último cálculo; a linha que falhou leva a mensagem.
class TModeloProtecao : public TModeloTexto {
public:
    using TModeloTexto::TModeloTexto;

    void Definir(std::optional<TResultadoProtecao> r) {
        beginResetModel();
        FR = std::move(r);
        endResetModel();
    }
    int rowCount(const QModelIndex& pai = {}) const override {
        return pai.isValid() || !FR ? 0 : int(FR->Alternativas.size());
    }
    int columnCount(const QModelIndex& pai = {}) const override {
        return pai.isValid() ? 0 : COLUNAS;
    }
    QString Titulo(int coluna) const override { return QString::fromUtf8(TITULOS[coluna]); }
    bool Falhou(int linha) const override { return !Linha(linha).Ok; }

    QString Texto(int linha, int coluna, char sep, bool completo) const override {
        const TResultadoAlternativa& r = Linha(linha);
        if (coluna == COL_ALTERNATIVA) return QString::fromUtf8(RotuloAlternativa(r.Alternativa));
        if (!r.Ok) return coluna == ColunaMensagem() ? QString::fromStdString(r.Erro) : QString();
        if (coluna == COL_SITUACAO)
            return QString::fromStdString(SituacaoAlternativa(r, FR->LaminaMaxima, sep));
        if (r.NenhumEspacamento)
            return coluna == COL_ESPACAMENTO ? QStringLiteral("nenhum atende")
                   : completo                ? QString()
                                             : QStringLiteral("---");
        if (coluna == COL_LIMITE) return QString::fromUtf8(TextoLimite(r.Limite));
        if (coluna == COL_CAPACIDADE)
            return r.CapacidadeOk ? QStringLiteral("atende") : QStringLiteral("não atende");
        const auto v = ValorNumerico(r, coluna);
        if (!v) return completo ? QString() : QStringLiteral("---");
        if (completo) return QString::fromStdString(FloatToStr(*v, sep));
        return QString::fromStdString(
            FormatFloat(Mascara(coluna), *v, sep, sep == ',' ? '.' : ','));
    }

    const std::optional<TResultadoProtecao>& Resultado() const { return FR; }

private:
    const TResultadoAlternativa& Linha(int linha) const {
        return FR->Alternativas[std::size_t(linha)];
    }

    std::optional<TResultadoProtecao> FR;
};

TPaginaProtecao::TPaginaProtecao(TAmbienteEstudos ambiente, QWidget* pai)
    : QWidget(pai), Linhas(LinhasPadrao()), FAmb(std::move(ambiente)),
      FLote(new TExecucaoLote(this)), FModelo(new TModeloProtecao(this)) {
    setObjectName(QStringLiteral("Protecao"));
    auto campo = [](const char* nome) {
        auto* e = new QLineEdit;
        e->setObjectName(QString::fromLatin1(nome));
        e->setMaximumWidth(70);
        e->setAlignment(Qt::AlignRight);
        return e;
    };
    cbCanal = new QComboBox;
    cbCanal->setObjectName(QStringLiteral("cbCanal"));
    eProfundidadeCanal = campo("eProfundidadeCanal");
    eBordaLivre = campo("eBordaLivre");
    cbClasseGrama = new QComboBox;
    cbClasseGrama->setObjectName(QStringLiteral("cbClasseGrama"));
    for (const TClasseGrama c : ClassesGrama()) {
        const TDadosClasseGrama& d = DadosClasseGrama(c);
        cbClasseGrama->addItem(QStringLiteral("%1: %2 (admissível %3 Pa)")
                                   .arg(QChar::fromLatin1(d.Letra))
                                   .arg(QString::fromUtf8(d.Descricao))
                                   .arg(d.TensaoAdmissivel));
    }
    eFatorCobertura = campo("eFatorCobertura");
    cbManta = new QComboBox;
    cbManta->setObjectName(QStringLiteral("cbManta"));
    cbManta->addItem(QStringLiteral("Produto típico..."));
    for (const TProdutoManta& m : PRODUTOS_MANTA)
        cbManta->addItem(QString::fromUtf8(m.Nome));
    eTensaoManta = campo("eTensaoManta");
    eRugosidadeManta = campo("eRugosidadeManta");
    eMassaPedra = campo("eMassaPedra");
    eCustoGrama = campo("eCustoGrama");
    eCustoManta = campo("eCustoManta");
    eCustoEnrocamento = campo("eCustoEnrocamento");
    eCustoConcreto = campo("eCustoConcreto");
    eCustoDesaguadouro = campo("eCustoDesaguadouro");

    // As listas não alargam a página com o texto do item mais comprido.
    for (QComboBox* c : {cbCanal, cbClasseGrama, cbManta}) {
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(16);
    }
    auto* dados = Grupo(" Proteção do canal ", "gbProtecao");
    auto* g = new QGridLayout(dados);
    g->addWidget(Rotulo("Canal"), 0, 0);
    g->addWidget(cbCanal, 0, 1, 1, 5);
    auto par = [&](int linha, int coluna, const char* legenda, QWidget* w, const char* unidade) {
        auto* r = Rotulo(legenda);
        r->setBuddy(w);
        g->addWidget(r, linha, coluna);
        g->addWidget(w, linha, coluna + 1);
        if (unidade) g->addWidget(Rotulo(unidade), linha, coluna + 2);
    };
    par(1, 0, "Profundidade do canal", eProfundidadeCanal, "m");
    par(1, 3, "Borda livre", eBordaLivre, "m");
    g->addWidget(Rotulo("Classe da grama"), 2, 0);
    g->addWidget(cbClasseGrama, 2, 1, 1, 2);
    par(2, 3, "Fator de cobertura (Cf)", eFatorCobertura, nullptr);
    g->addWidget(Rotulo("Manta"), 3, 0);
    g->addWidget(cbManta, 3, 1, 1, 2);
    par(3, 3, "Tensão admissível da manta", eTensaoManta, "Pa");
    par(4, 3, "Rugosidade da manta", eRugosidadeManta, nullptr);
    par(4, 0, "Massa específica da pedra", eMassaPedra, "g/cm³");
    auto* custos = new QHBoxLayout;
    custos->addWidget(Rotulo("Custos (R$): grama/m"));
    const std::pair<const char*, QLineEdit*> camposCusto[] = {{nullptr, eCustoGrama},
                                                              {"manta/m", eCustoManta},
                                                              {"pedra/m", eCustoEnrocamento},
                                                              {"concreto/m", eCustoConcreto},
                                                              {"desaguadouro", eCustoDesaguadouro}};
    for (const auto& [legenda, e] : camposCusto) {
        if (legenda) custos->addWidget(Rotulo(legenda));
        e->setToolTip(
            QStringLiteral("Vazio: sem custo. O desaguadouro com a sua bacia, por unidade"));
        custos->addWidget(e);
    }
    custos->addStretch();
    g->addLayout(custos, 5, 0, 1, 6);
    btnCalcularProtecao = Botao("&Calcular", "btnCalcularProtecao");
    btnCancelarProtecao = Botao("C&ancelar", "btnCancelarProtecao");
    pbProtecao = new QProgressBar;
    pbProtecao->setObjectName(QStringLiteral("pbProtecao"));
    pbProtecao->setRange(0, 1);
    pbProtecao->setValue(0);
    cbxRelatorio = new QCheckBox(QStringLiteral("Incluir no relatório da estrada"));
    cbxRelatorio->setObjectName(QStringLiteral("cbxRelatorio"));
    cbxRelatorio->setToolTip(
        QStringLiteral("A tabela do canal do projeto vai ao relatório, depois dos resultados"));
    auto* acoes = new QHBoxLayout;
    acoes->addWidget(btnCalcularProtecao);
    acoes->addWidget(btnCancelarProtecao);
    acoes->addWidget(pbProtecao, 1);
    acoes->addWidget(cbxRelatorio);
    g->addLayout(acoes, 6, 0, 1, 6);
    lblSituacaoProtecao = Rotulo("", "lblSituacaoProtecao");
    lblSituacaoProtecao->setWordWrap(true);
    g->addWidget(lblSituacaoProtecao, 7, 0, 1, 6);
    g->setColumnStretch(1, 1);

    cbGraficoProtecao = new QComboBox;
    cbGraficoProtecao->setObjectName(QStringLiteral("cbGraficoProtecao"));
    for (const TGraficoProtecao& gr : GRAFICOS)
        cbGraficoProtecao->addItem(QString::fromUtf8(gr.Titulo));
    FGrafico = new QChart;
    FGrafico->legend()->hide();
    FGrafico->setMargins(QMargins(4, 4, 12, 4));
    auto* eixoX = new QBarCategoryAxis;
    // Nomes curtos: os rótulos inteiros não cabem embaixo das barras.
    for (const char* nome : {"Solo", "Grama", "Manta", "Pedra", "Concr."})
        eixoX->append(QString::fromUtf8(nome));
    QFont fonte = eixoX->labelsFont();
    fonte.setPointSizeF(fonte.pointSizeF() * 0.85);
    eixoX->setLabelsFont(fonte);
    auto* eixoY = new QValueAxis;
    eixoY->setLabelFormat(QStringLiteral("%.0f"));
    FGrafico->addAxis(eixoX, Qt::AlignBottom);
    FGrafico->addAxis(eixoY, Qt::AlignLeft);
    auto* serie = new QBarSeries;
    serie->append(new QBarSet(QString()));
    FGrafico->addSeries(serie);
    serie->attachAxis(eixoX);
    serie->attachAxis(eixoY);
    grProtecao = new QChartView(FGrafico);
    grProtecao->setObjectName(QStringLiteral("grProtecao"));
    grProtecao->setRenderHint(QPainter::Antialiasing);
    grProtecao->setMinimumSize(240, 150);

    tbProtecao = new TTabelaResultados("tbProtecao");
    tbProtecao->setModel(FModelo);
    QSplitter* divisor = GraficoETabela(cbGraficoProtecao, grProtecao, tbProtecao, 2, 3);

    btnCopiarProtecao = Botao("C&opiar", "btnCopiarProtecao");
    btnExportarProtecao = Botao("&Exportar CSV...", "btnExportarProtecao");
    btnImprimirProtecao = Botao("&Imprimir...", "btnImprimirProtecao");
    btnVoltarProtecao = Botao("&Voltar", "btnVoltarProtecao");
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    for (QPushButton* b :
         {btnCopiarProtecao, btnExportarProtecao, btnImprimirProtecao, btnVoltarProtecao})
        botoes->addWidget(b);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(6, 4, 6, 4);
    v->addWidget(dados);
    v->addWidget(divisor, 1);
    v->addLayout(botoes);

    connect(btnCalcularProtecao, &QPushButton::clicked, this, [this] {
        try {
            Calcular();
        } catch (const std::exception& e) {
            FAmb.Erro(MensagemParaUsuario(e));
        }
    });
    connect(btnCancelarProtecao, &QPushButton::clicked, this, &TPaginaProtecao::Cancelar);
    connect(btnCopiarProtecao, &QPushButton::clicked, tbProtecao, &TTabelaResultados::Copiar);
    connect(btnExportarProtecao, &QPushButton::clicked, this, [this] {
        QString nome = QFileDialog::getSaveFileName(this, QStringLiteral("Exportar a proteção"),
                                                    QStringLiteral("protecao-canal.csv"),
                                                    QStringLiteral("Planilha CSV (*.csv)"));
        if (nome.isEmpty()) return;
        if (!nome.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) nome += ".csv";
        try {
            ExportarCsv(nome);
        } catch (const std::exception& e) {
            FAmb.Erro(MensagemParaUsuario(e));
        }
    });
    connect(btnImprimirProtecao, &QPushButton::clicked, this, [this] {
        ImprimirHtml(this, FAmb.Impressora(), QStringLiteral("Imprimir a proteção do canal"),
                     HtmlImpressao(), ImagemGrafico(QSize(900, 560)));
    });
    connect(btnVoltarProtecao, &QPushButton::clicked, this, [this] { FAmb.Voltar(); });
    connect(cbGraficoProtecao, &QComboBox::currentIndexChanged, this, &TPaginaProtecao::Tracar);
    connect(cbManta, &QComboBox::activated, this, [this](int i) {
        if (i < 1) return;
        const TProdutoManta& m = PRODUTOS_MANTA[i - 1];
        eTensaoManta->setText(QString::fromStdString(FloatToStr(m.Tensao, SeparadorDecimal())));
        eRugosidadeManta->setText(
            QString::fromStdString(FloatToStr(m.Rugosidade, SeparadorDecimal())));
        cbManta->setCurrentIndex(0);
        GuardarCampos(false);
    });
    connect(cbClasseGrama, &QComboBox::activated, this, [this] { GuardarCampos(false); });
    for (QLineEdit* e : {eProfundidadeCanal, eBordaLivre, eFatorCobertura, eTensaoManta,
                         eRugosidadeManta, eMassaPedra, eCustoGrama, eCustoManta, eCustoEnrocamento,
                         eCustoConcreto, eCustoDesaguadouro})
        connect(e, &QLineEdit::editingFinished, this, [this] { GuardarCampos(false); });
    connect(FLote, &TExecucaoLote::Andamento, this, [this](int feitos, int total) {
        pbProtecao->setRange(0, total);
        pbProtecao->setValue(std::max(pbProtecao->value(), feitos));
    });
    Atualizar();
    Tracar();
    Habilitar();
    Ajuda::DefinirContexto(this, CONTEXTO_PROTECAO);
}

TPaginaProtecao::~TPaginaProtecao() = default;

void TPaginaProtecao::MostrarCampos(const TConfiguracaoProtecao& c) {
    const char sep = SeparadorDecimal();
    auto mostrar = [&](QLineEdit* e, std::optional<double> v) {
        e->setText(v ? QString::fromStdString(FloatToStr(*v, sep)) : QString());
    };
    mostrar(eProfundidadeCanal, c.ProfundidadeCanal);
    mostrar(eBordaLivre, c.BordaLivre);
    mostrar(eFatorCobertura, c.FatorCobertura);
    mostrar(eTensaoManta, c.TensaoManta);
    mostrar(eRugosidadeManta, c.RugosidadeManta);
    mostrar(eMassaPedra, c.MassaEspecificaPedra);
    mostrar(eCustoGrama, c.Custos.Grama);
    mostrar(eCustoManta, c.Custos.Manta);
    mostrar(eCustoEnrocamento, c.Custos.Enrocamento);
    mostrar(eCustoConcreto, c.Custos.Concreto);
    mostrar(eCustoDesaguadouro, c.Custos.Desaguadouro);
    cbClasseGrama->setCurrentIndex(int(c.ClasseGrama));
}

TConfiguracaoProtecao TPaginaProtecao::LerCampos() {
    TConfiguracaoProtecao c;
    const char sep = SeparadorDecimal();
    auto ler = [&](QLineEdit* e, const char* rotulo, bool opcional) -> std::optional<double> {
        const std::string texto = e->text().trimmed().toStdString();
        if (texto.empty() && opcional) return std::nullopt;
        const auto v = TentarTextoParaReal(texto, sep);
        if (v && std::isfinite(*v)) return v;
        e->setFocus();
        e->selectAll();
        throw EMorvendo((texto.empty() ? std::string("Falta o valor de \"") + rotulo + "\""
                                       : "\"" + texto + "\" não é um número: \"" + rotulo + "\"") +
                        " da proteção do canal.");
    };
    const std::pair<QLineEdit*, double TConfiguracaoProtecao::*> reais[] = {
        {eProfundidadeCanal, &TConfiguracaoProtecao::ProfundidadeCanal},
        {eBordaLivre, &TConfiguracaoProtecao::BordaLivre},
        {eFatorCobertura, &TConfiguracaoProtecao::FatorCobertura},
        {eTensaoManta, &TConfiguracaoProtecao::TensaoManta},
        {eRugosidadeManta, &TConfiguracaoProtecao::RugosidadeManta},
        {eMassaPedra, &TConfiguracaoProtecao::MassaEspecificaPedra}};
    for (const auto& [e, membro] : reais) {
        const char* rotulo = "";
        for (const TFaixaProtecao& f : FaixasProtecao())
            if (f.Membro == membro) rotulo = f.Rotulo;
        c.*membro = *ler(e, rotulo, false);
    }
    QLineEdit* const custos[] = {eCustoGrama, eCustoManta, eCustoEnrocamento, eCustoConcreto,
                                 eCustoDesaguadouro};
    for (std::size_t i = 0; i < ChavesCustos().size(); ++i)
        c.Custos.*ChavesCustos()[i].Membro = ler(custos[i], ChavesCustos()[i].Rotulo, true);
    c.ClasseGrama = ClassesGrama()[std::size_t(std::max(0, cbClasseGrama->currentIndex()))];
    ValidarConfiguracaoProtecao(c);
    return c;
}

void TPaginaProtecao::GuardarCampos(bool avisar) {
    TConfiguracaoProtecao c;
    try {
        c = LerCampos();
    } catch (const EMorvendo&) {
        // Um campo pela metade fica para o "Calcular", que diz o que falta.
        if (avisar) throw;
        return;
    }
    if (c == FAmb.Projeto->Protecao) return;
    FAmb.Projeto->Protecao = c;
    FAmb.MarcarAlterado();
}

void TPaginaProtecao::Atualizar() {
    if (Calculando()) return;
    MostrarCampos(FAmb.Projeto->Protecao);
    const int antes = cbCanal->currentIndex();
    cbCanal->clear();
    cbCanal->addItem(QStringLiteral("Canal do projeto"));
    const char sep = SeparadorDecimal();
    for (const TTrecho& t : FAmb.Projeto->Trechos)
        cbCanal->addItem(QStringLiteral("Trecho %1 (%2 m a partir de %3 m, declividade %4 m/m)")
                             .arg(QString::fromStdString(t.Nome))
                             .arg(t.Comprimento)
                             .arg(QString::fromStdString(FloatToStr(t.Inicio, sep)),
                                  QString::fromStdString(FloatToStr(t.Declividade, sep))));
    cbCanal->setCurrentIndex(antes >= 0 && antes < cbCanal->count() ? antes : 0);
}

void TPaginaProtecao::Limpar() {
    FLote->Abandonar();
    FResultado.reset();
    FModelo->Definir(std::nullopt);
    lblSituacaoProtecao->clear();
    pbProtecao->setRange(0, 1);
    pbProtecao->setValue(0);
    cbxRelatorio->setChecked(false);
    cbCanal->setCurrentIndex(-1);
    Atualizar();
    Tracar();
    Habilitar();
}

bool TPaginaProtecao::Calculando() const {
    return FLote->Executando();
}

void TPaginaProtecao::Cancelar() {
    FLote->Cancelar();
}

void TPaginaProtecao::Calcular() {
    if (Calculando()) return;
    GuardarCampos(true);
    const TConfiguracaoProtecao config = FAmb.Projeto->Protecao;
    const int indice = std::max(0, cbCanal->currentIndex());
    std::optional<TTrecho> trecho;
    if (indice > 0 && std::size_t(indice) <= FAmb.Projeto->Trechos.size())
        trecho = FAmb.Projeto->Trechos[std::size_t(indice - 1)];
    TArquivoIni projeto = FAmb.Instantaneo();
    FResultado.reset();
    FModelo->Definir(std::nullopt);
    Tracar();
    pbProtecao->setRange(0, ALTERNATIVAS_PROTECAO);
    pbProtecao->setValue(0);
    lblSituacaoProtecao->setText(QStringLiteral("Calculando as alternativas..."));
    struct TSaida {
        std::optional<TResultadoProtecao> Resultado;
        std::string Erro;
    };
    auto saida = std::make_shared<TSaida>();
    auto relogio = std::make_shared<QElapsedTimer>();
    relogio->start();
    FLote->Iniciar(
        [projeto = std::move(projeto), config, trecho, saida,
         linhas = Linhas](IAndamentoLote& a, const TCancelamentoLote& c) {
            try {
                saida->Resultado = ExecutarProtecao(projeto, config, trecho, linhas, &a, &c);
            } catch (const std::bad_alloc&) {
                saida->Erro = "Memória insuficiente para o cálculo.";
            } catch (const std::exception& e) {
                saida->Erro = e.what();
            }
        },
        [this, saida, relogio, doProjeto = !trecho](bool cancelado) {
            FResultado = std::move(saida->Resultado);
            FDoProjeto = doProjeto;
            FModelo->Definir(FResultado);
            if (cancelado)
                lblSituacaoProtecao->setText(QStringLiteral("Cálculo cancelado."));
            else if (!FResultado)
                lblSituacaoProtecao->setText(QString::fromStdString(saida->Erro));
            else {
                const auto& alts = FResultado->Alternativas;
                const auto atendem =
                    std::count_if(alts.begin(), alts.end(), [](const auto& a) { return a.Atende; });
                lblSituacaoProtecao->setText(
                    QStringLiteral("Canal de %1 m, declividade %2 m/m, lâmina máxima %3 cm: "
                                   "%4 de %5 alternativas atendem (%6 s).")
                        .arg(FResultado->Comprimento)
                        .arg(QString::fromStdString(
                            FloatToStr(FResultado->Declividade, SeparadorDecimal())))
                        .arg(FormatarNumero("0.0", FResultado->LaminaMaxima))
                        .arg(atendem)
                        .arg(alts.size())
                        .arg(FormatarCasas(relogio->elapsed() / 1000.0, 1)));
            }
            Tracar();
            Habilitar();
        });
    Habilitar();
}

void TPaginaProtecao::Habilitar() {
    const bool calculando = Calculando();
    const bool ha = FModelo->rowCount() > 0;
    btnCalcularProtecao->setEnabled(!calculando);
    btnCancelarProtecao->setEnabled(calculando);
    for (QWidget* w : std::initializer_list<QWidget*>{
             cbCanal, cbClasseGrama, cbManta, eProfundidadeCanal, eBordaLivre, eFatorCobertura,
             eTensaoManta, eRugosidadeManta, eMassaPedra, eCustoGrama, eCustoManta,
             eCustoEnrocamento, eCustoConcreto, eCustoDesaguadouro})
        w->setEnabled(!calculando);
    for (QPushButton* b : {btnCopiarProtecao, btnExportarProtecao, btnImprimirProtecao})
        b->setEnabled(ha && !calculando);
}

std::vector<std::optional<double>> TPaginaProtecao::ValoresGrafico() const {
    std::vector<std::optional<double>> v;
    if (!FResultado) return v;
    const int coluna = GRAFICOS[std::max(0, cbGraficoProtecao->currentIndex())].Coluna;
    for (const TResultadoAlternativa& a : FResultado->Alternativas)
        v.push_back(ValorNumerico(a, coluna));
    return v;
}

void TPaginaProtecao::Tracar() {
    auto* serie = static_cast<QBarSeries*>(FGrafico->series().front());
    QBarSet* barras = serie->barSets().front();
    barras->remove(0, barras->count());
    const auto valores = ValoresGrafico();
    double maximo = 0;
    for (const auto& v : valores) {
        barras->append(v.value_or(0));
        maximo = std::max(maximo, v.value_or(0));
    }
    auto* eixoY = static_cast<QValueAxis*>(FGrafico->axes(Qt::Vertical).front());
    eixoY->setTitleText(
        QString::fromUtf8(GRAFICOS[std::max(0, cbGraficoProtecao->currentIndex())].Titulo));
    eixoY->setRange(0, maximo > 0 ? maximo * 1.1 : 1);
    eixoY->applyNiceNumbers();
    const bool ha = !valores.empty();
    for (QAbstractAxis* e : FGrafico->axes())
        e->setVisible(ha);
}

const TResultadoProtecao* TPaginaProtecao::ParaRelatorio() const {
    return FResultado && FDoProjeto && cbxRelatorio->isChecked() ? &*FResultado : nullptr;
}

void TPaginaProtecao::ExportarCsv(const QString& caminho) {
    GravarCsv(caminho, CsvDaTabela(*FModelo));
}

QImage TPaginaProtecao::ImagemGrafico(QSize tamanho) const {
    return ImagemDoGrafico(grProtecao, tamanho);
}

QString TPaginaProtecao::HtmlImpressao() const {
    return HtmlImpressaoDeEstudo(QStringLiteral("Proteção do canal"), FAmb.NomeProjeto(),
                                 QStringLiteral("Canal"), cbCanal->currentText(),
                                 lblSituacaoProtecao->text(), *FModelo, SeparadorDecimal());
}
