// Cálculo com a janela de andamento e a página de resultados: campos, resumo em palavras, a
// grade das seções e os gráficos, com cópia e exportação.
#include <filesystem>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "comum/ArquivoIni.h"
#include "comum/ContextosAjuda.h"
#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "mainwindow/Acompanhamento.h"
#include "mainwindow/Controles.h"
#include "mainwindow/GradeSecoes.h"
#include "mainwindow/GraficosResultado.h"
#include "mainwindow/Principal.h"
#include "mainwindow/RotinasComuns.h"
#include "project/Avisos.h"
#include "project/BalancoHidricoTexto.h"
#include "project/Calculo.h"
#include "project/ResumoResultado.h"
#include "project/RotulosResultado.h"
#include "reports/RelatorioTexto.h"

namespace {

using G = TGrandezaResultado;

QLabel* RotuloDe(G g) {
    return Rotulo(RotuloResultado(g).Rotulo);
}
QLabel* UnidadeDe(G g) {
    return Rotulo(RotuloResultado(g).Unidade);
}
QString TextoDe(G g, const TResultadoCalculo& r) {
    return QString::fromStdString(TextoResultado(g, r, SeparadorDecimal()));
}

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

// Amostra de cor e texto da legenda da grade.
QWidget* ItemLegenda(const QColor& fundo, const QColor& letra, const char* texto) {
    auto* amostra = new QLabel(QStringLiteral("0,0"));
    amostra->setAlignment(Qt::AlignCenter);
    amostra->setFixedSize(30, 16);
    amostra->setStyleSheet(QStringLiteral("background:%1; color:%2; border:1px solid gray;")
                               .arg(fundo.name(), letra.name()));
    auto* w = new QWidget;
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(amostra);
    auto* l = new QLabel(QString::fromUtf8(texto));
    l->setWordWrap(true);
    h->addWidget(l, 1);
    return w;
}

} // namespace

QWidget* TJanelaPrincipal::CriarPaginaResultado() {
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
    eVolCanal = CampoResultado("eVolCanal");
    // Massa por área do leito do canal: erodibilidade em g/(cm²·min·Pa), tensão em Pa,
    // tempo em min.
    Linha(gc, 0, RotuloDe(G::PerdaToleravel), ePerdaToleravelSolo, UnidadeDe(G::PerdaToleravel));
    Linha(gc, 1, RotuloDe(G::Espacamento), eCompMax, UnidadeDe(G::Espacamento));
    Linha(gc, 2, RotuloDe(G::TensaoMax), eTensao, UnidadeDe(G::TensaoMax));
    Linha(gc, 3, RotuloDe(G::PerdaSolo), ePerdaSolo, UnidadeDe(G::PerdaSolo));
    auto* lQCanal = RotuloDe(G::VazaoCanal);
    Linha(gc, 4, lQCanal, eQCanal, UnidadeDe(G::VazaoCanal));
    for (QWidget* w : std::initializer_list<QWidget*>{lQCanal, eQCanal}) {
        w->setToolTip(QStringLiteral("Vazão máxima considerando o espaçamento calculado"));
        w->setStatusTip(w->toolTip());
    }
    // "Volume escoado" é o da bacia (chuva de dimensionamento); este é o da chuva do
    // espaçamento.
    auto* lVolCanal = RotuloDe(G::VolumeCanal);
    Linha(gc, 5, lVolCanal, eVolCanal, UnidadeDe(G::VolumeCanal));
    for (QWidget* w : std::initializer_list<QWidget*>{lVolCanal, eVolCanal}) {
        w->setToolTip(QStringLiteral("Volume que o canal leva até um desaguadouro na chuva do "
                                     "espaçamento (leito da estrada e área externa ao longo do "
                                     "espaçamento máximo)"));
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
    lResult = Rotulo(RotuloResultado(G::LarguraBacia).Rotulo, "lResult");
    lblCompBacia = Rotulo("C&omprimento", "lblCompBacia");
    lblCompBacia->setBuddy(eCompBacia);
    lblMetroCompBacia = Rotulo("m", "lblMetroCompBacia");
    auto* lVolBacia = RotuloDe(G::VolumeBacia);
    lVolBacia->setToolTip(QStringLiteral("Volume que chega à bacia na chuva de dimensionamento"));
    Linha(gb, 0, lVolBacia, eVolBacia, UnidadeDe(G::VolumeBacia));
    Linha(gb, 1, RotuloDe(G::VazaoBacia), eQBacia, UnidadeDe(G::VazaoBacia));
    Linha(gb, 2, RotuloDe(G::ProfundidadeCanalBacia), edtProfCanalBacia,
          UnidadeDe(G::ProfundidadeCanalBacia));
    Linha(gb, 3, RotuloDe(G::Espacamento), eCompMax1, UnidadeDe(G::Espacamento));
    Linha(gb, 4, lResult, eResult, UnidadeDe(G::LarguraBacia));
    Linha(gb, 5, lblCompBacia, eCompBacia, lblMetroCompBacia);
    connect(eCompMax, &QLineEdit::textChanged, this, &TJanelaPrincipal::eCompMaxChange);

    // O resumo em palavras: a primeira aba, a resposta antes dos números.
    mResumo = new QTextBrowser;
    mResumo->setObjectName(QStringLiteral("mResumo"));
    mResumo->setOpenLinks(false);

    // A grade das seções e a sua legenda.
    FModeloSecoes = new TModeloSecoes(this);
    auto* grade = new TGradeSecoes;
    tsgResultSecoes = grade;
    tsgResultSecoes->setObjectName(QStringLiteral("tsgResultSecoes"));
    tsgResultSecoes->setModel(FModeloSecoes);
    QHeaderView* cab = tsgResultSecoes->horizontalHeader();
    cab->setSectionResizeMode(QHeaderView::Stretch);
    cab->setMinimumSectionSize(70);
    tsgResultSecoes->setMinimumWidth(5 * 78 + 14 + 2 * tsgResultSecoes->frameWidth() +
                                     tsgResultSecoes->verticalScrollBar()->sizeHint().width());
    auto* legenda = new QHBoxLayout;
    legenda->addWidget(
        ItemLegenda(COR_LINHA_IMPAR, COR_ALEM_DO_ESPACAMENTO, "Além do espaçamento máximo"), 1);
    legenda->addWidget(ItemLegenda(COR_ACIMA_DA_TOLERAVEL, Qt::black,
                                   "Dentro do espaçamento, acima da perda tolerável"),
                       1);
    auto* abaSecoes = new QWidget;
    auto* vs = new QVBoxLayout(abaSecoes);
    vs->setContentsMargins(2, 2, 2, 2);
    vs->addWidget(tsgResultSecoes, 1);
    vs->addLayout(legenda);

    grPerdaSolo = new TPainelGrafico("grPerdaSolo");
    grTensaoLamina = new TPainelGrafico("grTensaoLamina");
    grHidrogramas = new TPainelGrafico("grHidrogramas");
    for (TPainelGrafico* g : {grPerdaSolo, grTensaoLamina, grHidrogramas}) {
        connect(g->aSalvarPng, &QAction::triggered, this, [this, g] { SalvarGrafico(g, false); });
        connect(g->aSalvarSvg, &QAction::triggered, this, [this, g] { SalvarGrafico(g, true); });
    }
    tabResultados = new QTabWidget;
    tabResultados->setObjectName(QStringLiteral("tabResultados"));
    tabResultados->addTab(mResumo, QStringLiteral("Resumo"));
    tabResultados->addTab(abaSecoes, QStringLiteral("Seções"));
    tabResultados->addTab(grPerdaSolo, QStringLiteral("Perda de solo"));
    tabResultados->addTab(grTensaoLamina, QStringLiteral("Tensão e lâmina"));
    tabResultados->addTab(grHidrogramas, QStringLiteral("Hidrogramas"));

    btnAjudaResultado = Botao("Aj&uda", "btnAjudaResultado");
    btnAjudaResultado->setEnabled(false);
    connect(btnAjudaResultado, &QPushButton::clicked, this, [this] {
        if (FAjuda.AbrirContexto) FAjuda.AbrirContexto(CONTEXTO_RESULTADOS);
    });
    bExportar = Botao("E&xportar", "bExportar");
    auto* menuExportar = new QMenu(bExportar);
    aExportarSecoes = menuExportar->addAction(QStringLiteral("&Tabela das seções (CSV)..."));
    aExportarSecoes->setObjectName(QStringLiteral("aExportarSecoes"));
    aExportarHidrogramas = menuExportar->addAction(QStringLiteral("&Hidrogramas (CSV)..."));
    aExportarHidrogramas->setObjectName(QStringLiteral("aExportarHidrogramas"));
    bExportar->setMenu(menuExportar);
    bExportar->setToolTip(QStringLiteral("Grava a tabela das seções ou os hidrogramas para uma "
                                         "planilha (CSV com ponto e vírgula e vírgula decimal)"));
    connect(aExportarSecoes, &QAction::triggered, this, &TJanelaPrincipal::ExportarSecoes);
    connect(aExportarHidrogramas, &QAction::triggered, this,
            &TJanelaPrincipal::ExportarHidrogramas);
    // A tabela também sai pelo menu de contexto da grade.
    auto* separador = new QAction(grade);
    separador->setSeparator(true);
    grade->addAction(separador);
    grade->addAction(aExportarSecoes);
    // Relatório e simulação são ligados por quem os implementa.
    bRelatorio = Botao("&Relatório", "bRelatorio");
    bSimul = Botao("&Simulação", "bSimul");
    btnVoltarResult = Botao("&Voltar", "btnVoltarResult");
    connect(btnVoltarResult, &QPushButton::clicked, this, &TJanelaPrincipal::btnVoltarResultClick);
    bExportar->setEnabled(false);

    auto* esquerda = new QWidget;
    auto* grupos = new QVBoxLayout(esquerda);
    grupos->setContentsMargins(0, 0, 0, 0);
    grupos->addWidget(gbCanal);
    grupos->addWidget(gbBacia);
    grupos->addStretch();
    auto* divisao = new QSplitter(Qt::Horizontal);
    divisao->setObjectName(QStringLiteral("divResultado"));
    divisao->setChildrenCollapsible(false);
    divisao->addWidget(esquerda);
    divisao->addWidget(tabResultados);
    divisao->setStretchFactor(0, 0);
    divisao->setStretchFactor(1, 1);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    for (QPushButton* b : {btnAjudaResultado, bExportar, bRelatorio, bSimul, btnVoltarResult})
        botoes->addWidget(b);
    auto* v = new QVBoxLayout(pagina);
    v->setContentsMargins(4, 6, 4, 4);
    v->addWidget(divisao, 1);
    v->addLayout(botoes);
    return pagina;
}

void TJanelaPrincipal::eCompMaxChange() {
    eCompMax1->setText(eCompMax->text());
}

void TJanelaPrincipal::btnVoltarResultClick() {
    MostrarPagina(PAG_DADOS);
}

void TJanelaPrincipal::MostrarResultadosCanal(const TResultadoCalculo& r) {
    const TCanalEstrada& e = FProjeto->Estrada;
    const bool semicircular = e.Bacia.Formato == TBaciaAcumulacao::SEMICIRCULAR;
    lResult->setText(
        QString::fromUtf8(RotuloResultado(semicircular ? G::RaioBacia : G::LarguraBacia).Rotulo));
    for (QWidget* w : std::initializer_list<QWidget*>{lblCompBacia, lblMetroCompBacia, eCompBacia})
        w->setVisible(!semicircular);
    eCompMax->setText(TextoDe(G::Espacamento, r));
    ePerdaSolo->setText(TextoDe(G::PerdaSolo, r));
    ePerdaToleravelSolo->setText(TextoDe(G::PerdaToleravel, r));
    eTensao->setText(TextoDe(G::TensaoMax, r));
    eQCanal->setText(TextoDe(G::VazaoCanal, r));
    eVolCanal->setText(TextoDe(G::VolumeCanal, r));
    // Sem espaçamento, a bacia não é dimensionada: nada a mostrar, como sem o pedido.
    if (!e.Bacia.CalcularVolume || r.Canal.NenhumEspacamento) {
        for (QLineEdit* c : {eVolBacia, eQBacia, eResult})
            c->setText(QStringLiteral("---"));
        gbBacia->setEnabled(false);
    }
}

void TJanelaPrincipal::LimparResultados() {
    FModeloSecoes->Definir(0, {}, 0);
    for (QLineEdit* c : {ePerdaToleravelSolo, eCompMax, eTensao, ePerdaSolo, eQCanal, eVolCanal,
                         eVolBacia, eQBacia, edtProfCanalBacia, eCompMax1, eResult, eCompBacia})
        c->clear();
    mResumo->clear();
    for (TPainelGrafico* g : {grPerdaSolo, grTensaoLamina, grHidrogramas})
        g->Definir(nullptr);
    FResultado.reset();
    bExportar->setEnabled(false);
    bRelatorio->setEnabled(false);
    bSimul->setEnabled(false);
    if (PaginaAtual() == PAG_RESULTADO || PaginaAtual() == PAG_SIMULACAO)
        MostrarPagina(PAG_INICIAL);
}

void TJanelaPrincipal::CarregarGrade(int comprimento, const TResultadoCalculo& r) {
    // Os valores como a tabela de texto os guarda; a marca das seções acima da tolerável vem
    // dos valores calculados, como o aviso.
    std::set<int> acima;
    for (const TFaixaAcimaDaToleravel& f :
         FaixasAcimaDaToleravel(r.Canal.Secoes, r.Canal.PerdaToleravel, r.Canal.Espacamento))
        for (int n = f.Inicio; n <= f.Fim; ++n)
            acima.insert(n);
    FModeloSecoes->Definir(comprimento, LinhasComoNaTabela(r.Canal.Secoes), r.Canal.Espacamento,
                           std::move(acima));
}

void TJanelaPrincipal::CarregarGraficosEResumo(int comprimento, const TResultadoCalculo& r) {
    const TCanalEstrada& e = FProjeto->Estrada;
    const char sep = SeparadorDecimal();
    QString html;
    for (const std::string& p : ResumoDoResultado(e, comprimento, r, sep))
        html += QStringLiteral("<p>%1</p>").arg(QString::fromStdString(p).toHtmlEscaped());
    for (const TAviso& a : AvisosDoResultado(*FProjeto, r, sep))
        html += QStringLiteral("<p style=\"color:%1\"><b>%2</b> %3</p>")
                    .arg(a.Gravidade == TGravidadeAviso::Grave ? QStringLiteral("#b00000")
                                                               : QStringLiteral("#a04000"),
                         a.Gravidade == TGravidadeAviso::Grave ? QStringLiteral("Grave:")
                                                               : QStringLiteral("Atenção:"),
                         QString::fromStdString(a.Texto).toHtmlEscaped());
    html += QStringLiteral("<p><b>Curva de descarga do canal:</b> %1</p>")
                .arg(QString::fromStdString(TextoCurvaDescarga(*FProjeto, r, sep)).toHtmlEscaped());
    html += QStringLiteral("<p><b>Balanço hídrico</b></p>");
    for (const TLinhaBalanco& l : LinhasBalanco(*FProjeto, r, sep))
        html += QStringLiteral("<p style=\"margin-left:12px\">%1</p>")
                    .arg(QString::fromStdString(TextoLinhaBalanco(l)).toHtmlEscaped());
    mResumo->setHtml(html);
    grPerdaSolo->Definir(GraficoPerdaSolo(r.Canal));
    grTensaoLamina->Definir(GraficoTensaoLamina(e, r.Canal, FUnidades));
    grHidrogramas->Definir(GraficoHidrogramas(SeriesHidrogramas(e, r, sep)));
}

std::string TJanelaPrincipal::CaminhoExportacao(const char* sufixo) const {
    const QFileInfo projeto(QString::fromStdString(FGerente.PathProjeto));
    if (projeto.isFile())
        return projeto.dir()
            .filePath(projeto.completeBaseName() + QString::fromUtf8(sufixo))
            .toStdString();
    return (QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
            QStringLiteral("/morvendo") + QString::fromUtf8(sufixo))
        .toStdString();
}

void TJanelaPrincipal::GravarExportacao(const char* titulo, const char* sufixo, const char* filtro,
                                        const std::function<std::string()>& conteudo) {
    Proteger([&] {
        const auto destino =
            FInteracao->EscolherArquivoExportar(titulo, CaminhoExportacao(sufixo), filtro);
        if (!destino) return;
        // Temporário na mesma pasta e troca de nome: nunca um arquivo pela metade.
        GravarArquivoAtomico(*destino, conteudo());
    });
}

void TJanelaPrincipal::ExportarSecoes() {
    if (!FResultado) return;
    GravarExportacao("Exportar a tabela das seções", "-secoes.csv", "Planilha CSV (*.csv)",
                     [this] { return CsvSecoes(FResultado->Canal.Secoes); });
}

void TJanelaPrincipal::ExportarHidrogramas() {
    if (!FResultado) return;
    GravarExportacao("Exportar os hidrogramas", "-hidrogramas.csv", "Planilha CSV (*.csv)", [this] {
        return CsvHidrogramas(SeriesHidrogramas(FProjeto->Estrada, *FResultado, ','));
    });
}

void TJanelaPrincipal::SalvarGrafico(TPainelGrafico* g, bool svg) {
    if (!FResultado) return;
    const std::string sufixo =
        "-" + g->objectName().mid(2).toLower().toStdString() + (svg ? ".svg" : ".png");
    GravarExportacao(svg ? "Salvar o gráfico como SVG" : "Salvar o gráfico como PNG",
                     sufixo.c_str(), svg ? "Imagem SVG (*.svg)" : "Imagem PNG (*.png)", [g, svg] {
                         const QByteArray b = svg ? g->Svg() : g->Png();
                         return std::string(b.constData(), std::size_t(b.size()));
                     });
}

QString TJanelaPrincipal::ArquivoTabelaTexto() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/Relatorio.txt");
}

void TJanelaPrincipal::CalcularClick() {
    if (FAcompanhamento) return;
    Proteger([this] {
        const TCanalEstrada& e = FProjeto->Estrada;
        LerCampos(true);
        ValidarDados();
        const int comprimento = e.Comprimento();

        TJanelaAcompanhamento acomp(
            [this](const std::string& m) { FInteracao->MostrarInformacao(m); });
        acomp.setWindowTitle(QStringLiteral("Determinando o espaçamento…"));
        FAcompanhamento = &acomp;
        // Seja qual for o fim do cálculo, a janela de andamento some e a principal volta.
        struct TFim {
            TJanelaPrincipal* j;
            TJanelaAcompanhamento& a;
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
        // A tabela de texto vai para a pasta de cache do usuário, nunca para a de trabalho. Sem
        // ela (disco cheio, pasta pessoal só de leitura) os resultados vão à tela mesmo assim.
        std::string semTabela;
        try {
            const QString tabela = ArquivoTabelaTexto();
            const std::string pasta =
                QFile::encodeName(QFileInfo(tabela).absolutePath()).toStdString();
            std::error_code falha;
            std::filesystem::create_directories(pasta, falha);
            if (falha) {
                std::error_code ignorado;
                const bool ocupada = std::filesystem::exists(pasta, ignorado) &&
                                     !std::filesystem::is_directory(pasta, ignorado);
                const std::string motivo = ocupada ? "há um arquivo com esse nome no lugar da pasta"
                                                   : MotivoErroSistema(falha.value(), false);
                throw EEntradaSaida("Não foi possível criar a pasta " + pasta +
                                    (motivo.empty() ? "" : ": " + motivo) + ".");
            }
            EscreverRelatorioTexto(QFile::encodeName(tabela).toStdString(), r.Canal.Secoes);
        } catch (const EMorvendo& erro) {
            semTabela = erro.what();
        }
        if (r.Bacia) {
            eVolBacia->setText(TextoDe(G::VolumeBacia, r));
            eQBacia->setText(TextoDe(G::VazaoBacia, r));
            edtProfCanalBacia->setText(TextoDe(G::ProfundidadeCanalBacia, r));
            if (e.Bacia.Formato == TBaciaAcumulacao::SEMICIRCULAR) {
                eResult->setText(TextoDe(G::RaioBacia, r));
            } else {
                eResult->setText(TextoDe(G::LarguraBacia, r));
                eCompBacia->setText(TextoDe(G::ComprimentoBacia, r));
            }
            gbBacia->setEnabled(true);
        }
        acomp.hide();
        FAcompanhamento = nullptr;
        setEnabled(true);
        CarregarGrade(comprimento, r);
        CarregarGraficosEResumo(comprimento, r);
        FResultado = std::move(resultado);
        bExportar->setEnabled(true);
        bRelatorio->setEnabled(true);
        tabResultados->setCurrentIndex(0);
        bSimul->setEnabled(true);
        MostrarPagina(PAG_RESULTADO);
        if (!semTabela.empty())
            FInteracao->MostrarErro("Os resultados estão na tela, mas a tabela por seção "
                                    "(Relatorio.txt) não foi gravada. " +
                                    semTabela);
    });
}
