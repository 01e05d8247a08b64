// Página de dados: campos, desenhos, preenchimento, limpeza, leitura e verificação.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "comum/ContextosAjuda.h"
#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "figuras/Desenhos.h"
#include "mainwindow/AbaIdentificacao.h"
#include "mainwindow/Acompanhamento.h"
#include "mainwindow/Controles.h"
#include "mainwindow/Principal.h"
#include "mainwindow/RotinasComuns.h"
#include "mainwindow/simulacao/Simulacao.h"
#include "project/CamposProjeto.h"

namespace {

const char* const MASCARA_REAL = "0.0######";
// Texto de um campo de coordenada vazio.
const QString COORDENADA_VAZIA = QStringLiteral("  °  '  \"");

QGridLayout* Grade(QWidget* pai) {
    auto* g = new QGridLayout(pai);
    g->setVerticalSpacing(3);
    g->setHorizontalSpacing(6);
    g->setContentsMargins(8, 4, 8, 6);
    g->setColumnStretch(3, 1);
    return g;
}

QComboBox* Lista(const char* nome, std::initializer_list<const char*> itens) {
    auto* cb = new QComboBox;
    cb->setObjectName(QString::fromLatin1(nome));
    for (const char* i : itens)
        cb->addItem(QString::fromUtf8(i));
    return cb;
}

QLineEdit* Coordenada(const char* nome) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(nome));
    e->setInputMask(QStringLiteral("00°00'00\"; "));
    e->setFixedWidth(90);
    // Fora da ordem do Tab: o valor vem normalmente da consulta.
    e->setFocusPolicy(Qt::ClickFocus);
    return e;
}

// Página de um caderno com a figura à esquerda e os campos à direita.
QWidget* PaginaComFigura(const char* nome, const QImage& figura, QGridLayout*& campos) {
    auto* p = new QWidget;
    p->setObjectName(QString::fromLatin1(nome));
    auto* h = new QHBoxLayout(p);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(Figura(figura));
    auto* w = new QWidget;
    campos = Grade(w);
    campos->setContentsMargins(0, 0, 0, 0);
    h->addWidget(w);
    h->addStretch();
    return p;
}

} // namespace

QWidget* TJanelaPrincipal::Controle(TCampo id) const {
    return id >= 0 && id < NUM_CAMPOS ? FControles[std::size_t(id)] : nullptr;
}

QLineEdit* TJanelaPrincipal::CampoNumerico(TCampo id, const char* nome) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(nome));
    e->setFixedWidth(72);
    FFiltro->Instalar(e);
    FControles[std::size_t(id)] = e;
    if (id == CAMPO_TR_ESP)
        connect(e, &QLineEdit::textChanged, this, [this] { Reagir([this] { eTrEspChange(); }); });
    else
        connect(e, &QLineEdit::textChanged, this, &TJanelaPrincipal::eTrDimChange);
    return e;
}

// Tipo de canal e o caderno com as páginas trapezoidal e triangular, cada uma com o seu
// desenho; o mesmo para o canal da estrada e o de condução.
TJanelaPrincipal::TCamposCanal TJanelaPrincipal::CriarCanal(QGridLayout* grade,
                                                            const std::array<const char*, 7>& nomes,
                                                            const std::array<TCampo, 4>& ids) {
    TCamposCanal c;
    c.Tipo = Lista(nomes[0], {"Trapezoidal", "Triangular"});
    c.Tipo->setToolTip(QStringLiteral("Tipo de canal"));
    c.Tipo->setStatusTip(c.Tipo->toolTip());
    Linha(grade, 0, Rotulo("Tipo"), c.Tipo);
    c.Caderno = new QStackedWidget;
    c.Caderno->setObjectName(QString::fromLatin1(nomes[1]));
    QGridLayout* g;
    c.Caderno->addWidget(PaginaComFigura("nbTra", DesenharCanalTrapezoidal(QSize(130, 62)), g));
    c.Z = CampoNumerico(ids[0], nomes[2]);
    c.B = CampoNumerico(ids[1], nomes[3]);
    c.BotaoZ = Botao("...", nomes[4]);
    c.BotaoZ->setFixedWidth(28);
    Linha(g, 0, Rotulo("Z"), c.Z, c.BotaoZ);
    Linha(g, 1, Rotulo("B"), c.B, Rotulo("m"));
    c.Caderno->addWidget(PaginaComFigura("nbTri", DesenharCanalTriangular(QSize(130, 62)), g));
    c.M1 = CampoNumerico(ids[2], nomes[5]);
    c.M2 = CampoNumerico(ids[3], nomes[6]);
    QLabel* m1 = Rotulo("m&1");
    QLabel* m2 = Rotulo("m&2");
    m1->setBuddy(c.M1);
    m2->setBuddy(c.M2);
    Linha(g, 0, m1, c.M1);
    Linha(g, 1, m2, c.M2);
    grade->addWidget(c.Caderno, 1, 0, 1, 4);
    return c;
}

QWidget* TJanelaPrincipal::CriarPaginaDados() {
    auto* pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("Dados"));
    nbDados = new QTabWidget;
    nbDados->setObjectName(QStringLiteral("nbDados"));
    nbDados->addTab(CriarAbaEstrada(), QStringLiteral("Estrada"));
    nbDados->addTab(CriarAbaBacias(), QStringLiteral("Bacias de acumulação"));
    nbDados->addTab(CriarAbaPrecipitacao(), QStringLiteral("Precipitação"));
    // Identificação: vai direto para o projeto a cada mudança, sem passar pela verificação.
    auto* identificacao = new TAbaIdentificacao;
    nbDados->addTab(identificacao, QStringLiteral("Identificação"));
    connect(identificacao, &TAbaIdentificacao::Alterada, this, [this, identificacao] {
        FProjeto->Identificacao = identificacao->Lida();
        MarcarAlterado();
    });

    btnAjudaDados = Botao("Aj&uda", "btnAjudaDados");
    btnAjudaDados->setEnabled(false);
    connect(btnAjudaDados, &QPushButton::clicked, this, [this] {
        if (FAjuda.AbrirContexto) FAjuda.AbrirContexto(CONTEXTO_DADOS);
    });
    btnCalcular = Botao("&Calcular", "btnCalcular");
    connect(btnCalcular, &QPushButton::clicked, this, &TJanelaPrincipal::CalcularClick);
    btnVerificarDados = Botao("&Verificar dados", "btnVerificarDados");
    btnVerificarDados->setToolTip(
        QStringLiteral("Lista todos os problemas dos dados, cada um com um link para o campo"));
    btnVerificarDados->setStatusTip(btnVerificarDados->toolTip());
    connect(btnVerificarDados, &QPushButton::clicked, this,
            [this] { Proteger([this] { btnVerificarDadosClick(); }); });
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(btnAjudaDados);
    botoes->addWidget(btnVerificarDados);
    botoes->addWidget(btnCalcular);

    auto* v = new QVBoxLayout(pagina);
    v->setContentsMargins(6, 4, 6, 4);
    v->setSpacing(4);
    v->addWidget(nbDados);
    v->addLayout(botoes);
    return pagina;
}

QWidget* TJanelaPrincipal::CriarAbaEstrada() {
    auto* aba = new QWidget;
    aba->setObjectName(QStringLiteral("tsEstrada"));

    // Tipo de seção transversal.
    QGroupBox* gSecao = Grupo(" &Seção transversal ", "gbSecao");
    auto* gs = new QGridLayout(gSecao);
    gs->setContentsMargins(6, 2, 6, 4);
    gs->setVerticalSpacing(0);
    iSecao1 = Figura(DesenharSecaoTransversal(1, QSize(100, 36)), "iSecao1");
    iSecao2 = Figura(DesenharSecaoTransversal(2, QSize(100, 36)), "iSecao2");
    iSecao3 = Figura(DesenharSecaoTransversal(3, QSize(100, 36)), "iSecao3");
    rbSecao1 = new QRadioButton(QStringLiteral("Seção 1"));
    rbSecao2 = new QRadioButton(QStringLiteral("Seção 2"));
    rbSecao3 = new QRadioButton(QStringLiteral("Seção 3"));
    auto* grupoSecao = new QButtonGroup(this);
    grupoSecao->setObjectName(QStringLiteral("grupoSecao"));
    int tag = 1;
    for (auto [figura, rb] :
         {std::pair{iSecao1, rbSecao1}, {iSecao2, rbSecao2}, {iSecao3, rbSecao3}}) {
        rb->setObjectName(QStringLiteral("rbSecao%1").arg(tag));
        grupoSecao->addButton(rb, tag);
        gs->addWidget(figura, 0, tag - 1);
        gs->addWidget(rb, 1, tag - 1, Qt::AlignHCenter);
        if (tag == 1) rb->setChecked(true);
        connect(rb, &QRadioButton::toggled, this, [this, tag](bool marcado) {
            if (!marcado) return;
            rbSecao1Click(tag);
            // A seção escolhida é dado do projeto: "Novo" e "Abrir" perguntam antes de perdê-la.
            if (!FPreenchendo) FGerente.Alterado = true;
        });
        ++tag;
    }
    rbSecao2->setEnabled(false);
    FControles[CAMPO_SECAO] = rbSecao1;
    // Desabilitada sem explicação pareceria defeito.
    for (QWidget* w : std::initializer_list<QWidget*>{rbSecao2, iSecao2}) {
        w->setToolTip(QStringLiteral("Seção 2 ainda não disponível: o cálculo desta seção não "
                                     "está implementado."));
        w->setStatusTip(w->toolTip());
    }

    // Leito da estrada.
    QGroupBox* gLeito = Grupo(" &Leito da estrada ", "gbLeito");
    QGridLayout* gl = Grade(gLeito);
    eVIBEstrada = CampoNumerico(CAMPO_VIB_ESTRADA, "eVIBEstrada");
    eStEstrada = CampoNumerico(CAMPO_ST_ESTRADA, "eStEstrada");
    eCompEstrada = CampoNumerico(CAMPO_COMP_ESTRADA, "eCompEstrada");
    eRugEstrada = CampoNumerico(CAMPO_RUG_ESTRADA, "eRugEstrada");
    lblVIBEstrada = Rotulo("", "lblVIBEstrada");
    lblStEstrada = Rotulo("", "lblStEstrada");
    eLargEst = Rotulo("Semilargura", "eLargEst");
    Linha(gl, 0, Rotulo("Taxa de infiltração estável"), eVIBEstrada, lblVIBEstrada);
    Linha(gl, 1, Rotulo("Declividade transversal"), eStEstrada, lblStEstrada);
    Linha(gl, 2, eLargEst, eCompEstrada, Rotulo("m"));
    Linha(gl, 3, Rotulo("Rugosidade"), eRugEstrada);

    // Área externa (talude de corte).
    bgSecaoCorte = Grupo(" Á&rea externa ", "bgSecaoCorte");
    QGridLayout* gt = Grade(bgSecaoCorte);
    eVIBTalude = CampoNumerico(CAMPO_VIB_TALUDE, "eVIBTalude");
    eStTalude = CampoNumerico(CAMPO_ST_TALUDE, "eStTalude");
    eCompTalude = CampoNumerico(CAMPO_COMP_TALUDE, "eCompTalude");
    eCompTalude->setToolTip(QStringLiteral("Comprimento percorrido pela água"));
    eCompTalude->setStatusTip(eCompTalude->toolTip());
    eRugTalude = CampoNumerico(CAMPO_RUG_TALUDE, "eRugTalude");
    lblVIBTalude = Rotulo("", "lblVIBTalude");
    lblStTalude = Rotulo("", "lblStTalude");
    Linha(gt, 0, Rotulo("Taxa de infiltração estável"), eVIBTalude, lblVIBTalude);
    Linha(gt, 1, Rotulo("Declividade"), eStTalude, lblStTalude);
    Linha(gt, 2, Rotulo("Comprimento"), eCompTalude, Rotulo("m"));
    Linha(gt, 3, Rotulo("Rugosidade"), eRugTalude);
    btnRugTalude = Botao("Valores de &rugosidade", "btnRugTalude");
    btnCoberVegTalude = Botao("Cobertura &vegetal", "btnCoberVegTalude");
    FControles[CAMPO_COBERTURA_TALUDE] = btnCoberVegTalude;
    auto* bt = new QHBoxLayout;
    bt->addWidget(btnRugTalude);
    bt->addWidget(btnCoberVegTalude);
    gt->addLayout(bt, 4, 0, 1, 4);
    // A cobertura escolhida no diálogo fica à vista na página.
    lblCoberVeg = Rotulo("", "lblCoberVeg");
    lblCoberVeg->setWordWrap(true);
    gt->addWidget(lblCoberVeg, 5, 0, 1, 4);

    // Canal da estrada.
    QGroupBox* gCanal = Grupo(" Ca&nal da estrada ", "gbCanalEstrada");
    QGridLayout* gc = Grade(gCanal);
    TCamposCanal canal =
        CriarCanal(gc, {"cbCanal", "nbCanal", "ValorZ", "ValorB", "bZCan", "em1", "em2"},
                   {CAMPO_Z_CANAL, CAMPO_B_CANAL, CAMPO_M1_CANAL, CAMPO_M2_CANAL});
    cbCanal = canal.Tipo;
    nbCanal = canal.Caderno;
    ValorZ = canal.Z;
    ValorB = canal.B;
    bZCan = canal.BotaoZ;
    em1 = canal.M1;
    em2 = canal.M2;
    eSc = CampoNumerico(CAMPO_SC_CANAL, "eSc");
    enc = CampoNumerico(CAMPO_RUG_CANAL, "enc");
    eCanComp = CampoNumerico(CAMPO_COMP_CANAL, "eCanComp");
    eAprofundamento = CampoNumerico(CAMPO_APROFUNDAMENTO, "eAprofundamento");
    lblSc = Rotulo("", "lblSc");
    Linha(gc, 2, Rotulo("Declividade"), eSc, lblSc);
    Linha(gc, 3, Rotulo("Rugosidade"), enc);
    Linha(gc, 4, Rotulo("Comprimento"), eCanComp, Rotulo("m"));
    Linha(gc, 5, Rotulo("Aprofundamento máximo"), eAprofundamento, Rotulo("cm"));
    btnBRugCan = Botao("Valores de r&ugosidade do canal", "btnBRugCan");
    gc->addWidget(btnBRugCan, 6, 0, 1, 4, Qt::AlignLeft);
    cbCurvaOriginal =
        new QCheckBox(QStringLiteral("Curva de descarga original (ajuste de 0,2 a 5 m)"));
    cbCurvaOriginal->setObjectName(QStringLiteral("cbCurvaOriginal"));
    cbCurvaOriginal->setToolTip(QStringLiteral(
        "Só para reproduzir projetos feitos com ela: nas lâminas de canal de estrada a curva "
        "antiga superestima a vazão e alonga o espaçamento. Sem a marca, o canal trapezoidal "
        "segue a relação exata de Manning."));
    gc->addWidget(cbCurvaOriginal, 7, 0, 1, 4);
    connect(cbCurvaOriginal, &QCheckBox::toggled, this, [this](bool marcado) {
        FProjeto->Estrada.CurvaDescargaOriginal = marcado;
        if (!FPreenchendo) FGerente.Alterado = true;
    });

    // Solo do fundo do canal.
    QGroupBox* gSolo = Grupo(" So&lo ", "gbSolo");
    QGridLayout* gso = Grade(gSolo);
    eTalCritica = CampoNumerico(CAMPO_TENSAO_CRITICA, "eTalCritica");
    eErodibilidade = CampoNumerico(CAMPO_ERODIBILIDADE, "eErodibilidade");
    eDensidade = CampoNumerico(CAMPO_DENSIDADE, "eDensidade");
    lblErod = Rotulo("", "lblErod");
    Linha(gso, 0, Rotulo("Tensão crítica"), eTalCritica, Rotulo("Pa"));
    Linha(gso, 1, Rotulo("Erodibilidade"), eErodibilidade, lblErod);
    Linha(gso, 2, Rotulo("Massa específica aparente"), eDensidade, Rotulo("g/cm³"));

    auto* esquerda = new QVBoxLayout;
    esquerda->addWidget(gSecao);
    esquerda->addWidget(gLeito);
    esquerda->addWidget(bgSecaoCorte);
    esquerda->addStretch();
    auto* direita = new QVBoxLayout;
    direita->addWidget(gCanal);
    direita->addWidget(gSolo);
    direita->addStretch();
    auto* h = new QHBoxLayout(aba);
    h->setContentsMargins(4, 4, 4, 4);
    h->addLayout(esquerda, 1);
    h->addLayout(direita, 1);

    connect(cbCanal, &QComboBox::currentIndexChanged, this, &TJanelaPrincipal::cbCanalChange);
    return aba;
}

QWidget* TJanelaPrincipal::CriarAbaBacias() {
    auto* aba = new QWidget;
    aba->setObjectName(QStringLiteral("tsBacias"));

    QGroupBox* gBacia = Grupo(" &Bacia de acumulação ", "gbBaciaAcumulacao");
    QGridLayout* gb = Grade(gBacia);
    cbFormato = Lista("cbFormato", {"Retangular", "Semicircular"});
    Linha(gb, 0, Rotulo("Formato"), cbFormato);
    nbFormato = new QStackedWidget;
    nbFormato->setObjectName(QStringLiteral("nbFormato"));
    nbFormato->addWidget(Figura(DesenharBaciaRetangular(QSize(300, 130)), "pgRetangular"));
    nbFormato->addWidget(Figura(DesenharBaciaSemicircular(QSize(300, 130)), "pgSemicircular"));
    gb->addWidget(nbFormato, 1, 0, 1, 4);
    imgBacia = Figura(DesenharCorteBacia(QSize(170, 60)), "imgBacia");
    em1Bacia = CampoNumerico(CAMPO_M1_BACIA, "em1Bacia");
    em2Bacia = CampoNumerico(CAMPO_M2_BACIA, "em2Bacia");
    lblM1Bacia = Rotulo("m1", "lblM1Bacia");
    lblM2Bacia = Rotulo("m2", "lblM2Bacia");
    auto* corte = new QGridLayout;
    corte->addWidget(imgBacia, 0, 0, 2, 1);
    corte->addWidget(lblM1Bacia, 0, 1);
    corte->addWidget(em1Bacia, 0, 2);
    corte->addWidget(lblM2Bacia, 1, 1);
    corte->addWidget(em2Bacia, 1, 2);
    corte->setColumnStretch(3, 1);
    gb->addLayout(corte, 2, 0, 1, 4);
    eProfBacia = CampoNumerico(CAMPO_PROF_BACIA, "eProfBacia");
    Linha(gb, 3, Rotulo("Profundidade (H)"), eProfBacia, Rotulo("m"));
    cbCalcVolume = new QCheckBox(QStringLiteral("Calcular volume da bacia de acumulação"));
    cbCalcVolume->setObjectName(QStringLiteral("cbCalcVolume"));
    gb->addWidget(cbCalcVolume, 4, 0, 1, 4);

    QGroupBox* gConducao = Grupo(" Ca&nal de condução ", "gbCanalConducao");
    QGridLayout* gcc = Grade(gConducao);
    TCamposCanal conducao =
        CriarCanal(gcc,
                   {"cbCanalBacia", "nbBacia", "edtZCanalBacia", "edtBCanalBacia", "btnZCanalBacia",
                    "em1CanalBacia", "em2CanalBacia"},
                   {CAMPO_Z_CONDUCAO, CAMPO_B_CONDUCAO, CAMPO_M1_CONDUCAO, CAMPO_M2_CONDUCAO});
    cbCanalBacia = conducao.Tipo;
    nbBacia = conducao.Caderno;
    edtZCanalBacia = conducao.Z;
    edtBCanalBacia = conducao.B;
    btnZCanalBacia = conducao.BotaoZ;
    em1CanalBacia = conducao.M1;
    em2CanalBacia = conducao.M2;
    edtNcCanalBacia = CampoNumerico(CAMPO_RUG_CONDUCAO, "edtNcCanalBacia");
    edtScCanalBacia = CampoNumerico(CAMPO_SC_CONDUCAO, "edtScCanalBacia");
    Linha(gcc, 2, Rotulo("Rugosidade"), edtNcCanalBacia);
    lblScBacia = Rotulo("", "lblScBacia");
    Linha(gcc, 3, Rotulo("Declividade"), edtScCanalBacia, lblScBacia);
    bRugCanBacia = Botao("Valores de r&ugosidade do canal", "bRugCanBacia");
    gcc->addWidget(bRugCanBacia, 4, 0, 1, 4, Qt::AlignLeft);

    auto* esquerda = new QVBoxLayout;
    esquerda->addWidget(gBacia);
    esquerda->addStretch();
    auto* direita = new QVBoxLayout;
    direita->addWidget(gConducao);
    direita->addStretch();
    auto* h = new QHBoxLayout(aba);
    h->setContentsMargins(4, 4, 4, 4);
    h->addLayout(esquerda, 1);
    h->addLayout(direita, 1);

    connect(cbCanalBacia, &QComboBox::currentIndexChanged, this,
            &TJanelaPrincipal::cbCanalBaciaChange);
    connect(cbFormato, &QComboBox::currentIndexChanged, this, &TJanelaPrincipal::cbFormatoChange);
    connect(cbCalcVolume, &QCheckBox::toggled, this, &TJanelaPrincipal::cbCalcVolumeClick);
    return aba;
}

QWidget* TJanelaPrincipal::CriarAbaPrecipitacao() {
    auto* aba = new QWidget;
    aba->setObjectName(QStringLiteral("tsPrecipitacao"));

    QGroupBox* gTr = Grupo(" &Período de retorno ", "gbPeriodoRetorno");
    QGridLayout* gt = Grade(gTr);
    eTrDim = CampoNumerico(CAMPO_TR_DIM, "eTrDim");
    eTrEsp = CampoNumerico(CAMPO_TR_ESP, "eTrEsp");
    Linha(gt, 0, Rotulo("Dimensionamento"), eTrDim, Rotulo("anos"));
    Linha(gt, 1, Rotulo("Espaçamento"), eTrEsp, Rotulo("anos"));
    cbEquivalente = new QCheckBox(QStringLiteral("Usar período de retorno equivalente"));
    cbEquivalente->setObjectName(QStringLiteral("cbEquivalente"));
    gt->addWidget(cbEquivalente, 2, 0, 1, 4);
    lblTrEquivalente = Rotulo("Espaçamento (equivalente)", "lblTrEquivalente");
    eTrEsp1 = new QLineEdit;
    eTrEsp1->setObjectName(QStringLiteral("eTrEsp1"));
    eTrEsp1->setReadOnly(true);
    eTrEsp1->setFixedWidth(72);
    eTrEsp1->setFocusPolicy(Qt::ClickFocus);
    connect(eTrEsp1, &QLineEdit::textChanged, this, &TJanelaPrincipal::eTrDimChange);
    lblAnosTrEquivalente = Rotulo("anos", "lblAnosTrEquivalente");
    Linha(gt, 3, lblTrEquivalente, eTrEsp1, lblAnosTrEquivalente);
    for (QWidget* w :
         std::initializer_list<QWidget*>{lblTrEquivalente, eTrEsp1, lblAnosTrEquivalente})
        w->setVisible(false);

    QGroupBox* gIdf = Grupo(" Pa&râmetros da equação IDF", "gbParametrosIdf");
    QGridLayout* gi = Grade(gIdf);
    auto* equacao = Rotulo("i = K · T<sup>a</sup> / (t + b)<sup>c</sup>");
    equacao->setTextFormat(Qt::RichText);
    gi->addWidget(equacao, 0, 0, 1, 4);
    eK = CampoNumerico(CAMPO_K, "eK");
    eA = CampoNumerico(CAMPO_A, "eA");
    eB = CampoNumerico(CAMPO_B, "eB");
    eC = CampoNumerico(CAMPO_C, "eC");
    Linha(gi, 1, Rotulo("K"), eK);
    Linha(gi, 2, Rotulo("a"), eA);
    Linha(gi, 3, Rotulo("b"), eB);
    Linha(gi, 4, Rotulo("c"), eC);
    PrecLa1 = Coordenada("PrecLa1");
    PrecLo1 = Coordenada("PrecLo1");
    Linha(gi, 5, Rotulo("Latitude"), PrecLa1);
    Linha(gi, 6, Rotulo("Longitude"), PrecLo1);
    bConsulta = Botao("C&onsulta", "bConsulta");
    gi->addWidget(bConsulta, 7, 0, 1, 4, Qt::AlignLeft);
    lOrigemChuva = Rotulo("");
    lOrigemChuva->setObjectName("lOrigemChuva");
    lOrigemChuva->setWordWrap(true);
    lOrigemChuva->setTextFormat(Qt::PlainText);
    gi->addWidget(lOrigemChuva, 8, 0, 1, 4);
    // A origem segue o que está nos campos: mudar um parâmetro da consulta o torna digitado.
    for (auto* e : {eK, eA, eB, eC})
        connect(e, &QLineEdit::textEdited, this, &TJanelaPrincipal::MostrarOrigemChuva);

    auto* h = new QHBoxLayout(aba);
    h->setContentsMargins(4, 4, 4, 4);
    auto* esquerda = new QVBoxLayout;
    esquerda->addWidget(gTr);
    esquerda->addStretch();
    auto* direita = new QVBoxLayout;
    direita->addWidget(gIdf);
    direita->addStretch();
    h->addLayout(esquerda, 1);
    h->addLayout(direita, 1);

    connect(cbEquivalente, &QCheckBox::toggled, this, [this] {
        Reagir([this] { cbEquivalenteClick(); });
        if (!FPreenchendo) FGerente.Alterado = true;
    });
    return aba;
}

// --- Reações ------------------------------------------------------------------------------

void TJanelaPrincipal::eTrDimChange() {
    FGerente.Alterado = true;
}

void TJanelaPrincipal::eTrEspChange() {
    FGerente.Alterado = true;
    // Texto incompleto ("1e", "-") espera o fim da digitação; o cálculo o recusa com a
    // mensagem do campo.
    const auto v = TentarTextoParaReal(eTrEsp->text().toStdString(), SeparadorDecimal());
    if (!v) return;
    FProjeto->Estrada.TrEsp = *v;
    if (cbEquivalente->isChecked()) cbEquivalenteClick();
}

void TJanelaPrincipal::cbEquivalenteClick() {
    const bool marcado = cbEquivalente->isChecked();
    for (QWidget* w :
         std::initializer_list<QWidget*>{lblTrEquivalente, eTrEsp1, lblAnosTrEquivalente})
        w->setVisible(marcado);
    TCanalEstrada& e = FProjeto->Estrada;
    e.Equivalente = marcado;
    if (marcado && e.TrEsp != 0)
        eTrEsp1->setText(FormatarQ("0.0#", e.TempoRetornoEquivalente()));
    else
        eTrEsp1->clear();
}

void TJanelaPrincipal::cbCalcVolumeClick() {
    FGerente.Alterado = true;
}

void TJanelaPrincipal::cbCanalChange() {
    TCanalEstrada& e = FProjeto->Estrada;
    if (cbCanal->currentText() == QStringLiteral("Triangular")) {
        e.TipoCanal.Valor = CANAL_TRIANGULAR;
        nbCanal->setCurrentIndex(1);
        const QString u = QString::fromStdString(FUnidades.UnidadeDeclividade);
        lblStEstrada->setText(u);
        lblStTalude->setText(u);
    } else if (cbCanal->currentText() == QStringLiteral("Trapezoidal")) {
        e.TipoCanal.Valor = CANAL_TRAPEZOIDAL;
        nbCanal->setCurrentIndex(0);
    }
    // O triângulo é exato com qualquer curva.
    cbCurvaOriginal->setEnabled(e.TipoCanal.Valor == CANAL_TRAPEZOIDAL);
    FGerente.Alterado = true;
}

void TJanelaPrincipal::cbCanalBaciaChange() {
    TCanalGradiente& cc = FProjeto->Estrada.Bacia.CanalConducao;
    if (cbCanalBacia->currentText() == QStringLiteral("Triangular")) {
        cc.TipoCanal.Valor = CANAL_TRIANGULAR;
        nbBacia->setCurrentIndex(1);
    } else if (cbCanalBacia->currentText() == QStringLiteral("Trapezoidal")) {
        cc.TipoCanal.Valor = CANAL_TRAPEZOIDAL;
        nbBacia->setCurrentIndex(0);
    }
    FGerente.Alterado = true;
}

void TJanelaPrincipal::MostrarFormato() {
    const int formato = FProjeto->Estrada.Bacia.Formato;
    if (formato <= 1) nbFormato->setCurrentIndex(formato);
    const bool retangular = formato == TBaciaAcumulacao::RETANGULAR;
    for (QWidget* w :
         std::initializer_list<QWidget*>{em1Bacia, em2Bacia, lblM1Bacia, lblM2Bacia, imgBacia})
        w->setVisible(retangular);
}

void TJanelaPrincipal::cbFormatoChange() {
    if (cbFormato->currentIndex() >= 0)
        FProjeto->Estrada.Bacia.Formato = std::uint8_t(cbFormato->currentIndex());
    MostrarFormato();
    FGerente.Alterado = true;
}

void TJanelaPrincipal::rbSecao1Click(int tag) {
    FProjeto->Estrada.IndSecao = tag;
    const bool ativa = tag != 3;
    bgSecaoCorte->setEnabled(ativa);
    for (QLineEdit* e : {eVIBTalude, eStTalude, eCompTalude, eRugTalude}) {
        QPalette p = e->palette();
        p.setColor(QPalette::Base,
                   ativa ? palette().color(QPalette::Base)
                         : palette().color(QPalette::Inactive, QPalette::Window).darker(112));
        e->setPalette(p);
    }
    eLargEst->setText(
        QString::fromUtf8(RotuloNaTela(*CampoProjeto(CAMPO_COMP_ESTRADA), *FProjeto)));
}

void TJanelaPrincipal::SelecionarSemSinal(QComboBox* cb, int indice) {
    const QSignalBlocker bloqueio(cb);
    cb->setCurrentIndex(indice);
}

// --- Unidades -----------------------------------------------------------------------------

void TJanelaPrincipal::AtualizarDeclividades() {
    const QString u = QString::fromStdString(FUnidades.UnidadeDeclividade);
    for (QLabel* l : {lblSc, lblStEstrada, lblStTalude, lblScBacia})
        l->setText(u);
    MostrarNaUnidade(TUnidadeCampo::Declividade);
}

void TJanelaPrincipal::AtualizarInfiltracoes() {
    const QString u = QString::fromStdString(FUnidades.UnidadeVI);
    for (QLabel* l : {lblVIBTalude, lblVIBEstrada})
        l->setText(u);
    MostrarNaUnidade(TUnidadeCampo::Infiltracao);
}

void TJanelaPrincipal::MostrarNaUnidade(TUnidadeCampo unidade) {
    // Com todos os algarismos: o campo é o que o cálculo lê. Valor vazio fica vazio.
    for (const TCampoProjeto& c : TodosCamposProjeto())
        if (c.Unidade == unidade && c.Valor(*FProjeto) > 0)
            static_cast<QLineEdit*>(Controle(c.Id))
                ->setText(QString::fromStdString(
                    FloatToStr(ValorMostrado(c, *FProjeto, FUnidades), SeparadorDecimal())));
}

void TJanelaPrincipal::AtualizarErodibilidade(double fatorAnterior) {
    lblErod->setText(QString::fromStdString(FUnidades.UnidadeErodibilidade));
    TCanalEstrada& e = FProjeto->Estrada;
    if (e.Erodibilidade <= 0 || fatorAnterior == FUnidades.FatorErodibilidade) return;
    e.Erodibilidade = e.Erodibilidade * fatorAnterior / FUnidades.FatorErodibilidade;
    eErodibilidade->setText(
        QString::fromStdString(FloatToStr(e.Erodibilidade, SeparadorDecimal())));
}

// --- Novo, preencher, limpar --------------------------------------------------------------

void TJanelaPrincipal::QuandoZerarVariaveis() {
    ZerarVariaveis(*FProjeto);
    LimparResultados();
}

namespace {

// Primeiro plano de uma encosta; um arquivo pode trazer a encosta sem planos.
TEncostaCinematica& Plano(TPlanosEncosta& encosta) {
    if (encosta.NumPlanos() == 0) encosta.DefinirNumPlanos(1);
    return encosta.Plano(0);
}

} // namespace

void TJanelaPrincipal::Reagir(const std::function<void()>& reacao) {
    if (!FPreenchendo) {
        Proteger(reacao);
        return;
    }
    // No preenchimento o erro aparece uma vez só, ao fim, quando o próprio preenchimento o
    // levanta de novo.
    try {
        reacao();
    } catch (const std::exception&) {
    }
}

void TJanelaPrincipal::QuandoPreencherCamposDados() {
    FPreenchendo = true;
    struct TFim {
        bool& f;
        ~TFim() { f = false; }
    } fim{FPreenchendo};
    TCanalEstrada& e = FProjeto->Estrada;
    // Os planos passam a existir, como depois da leitura dos campos.
    Plano(e.Leito);
    Plano(e.AreaExterna);
    TBaciaAcumulacao& bacia = e.Bacia;
    TCanalGradiente& cc = bacia.CanalConducao;
    auto real = [](double v) { return FormatarNaoNuloQ(MASCARA_REAL, v); };
    // Valor pela tabela de campos: a máscara comum, os comprimentos em metros inteiros.
    auto mostrar = [&](TCampo id) {
        const TCampoProjeto& c = *CampoProjeto(id);
        const double v = ValorMostrado(c, *FProjeto, FUnidades);
        static_cast<QLineEdit*>(Controle(id))
            ->setText(c.Inteiro ? FormatarNaoNuloQ("0", v) : real(v));
    };

    const QString ud = QString::fromStdString(FUnidades.UnidadeDeclividade);
    const QString uvi = QString::fromStdString(FUnidades.UnidadeVI);
    for (QLabel* l : {lblSc, lblStEstrada, lblStTalude, lblScBacia})
        l->setText(ud);
    for (QLabel* l : {lblVIBTalude, lblVIBEstrada})
        l->setText(uvi);
    lblErod->setText(QString::fromStdString(FUnidades.UnidadeErodibilidade));

    mostrar(CAMPO_TR_DIM);
    cbEquivalente->setChecked(e.Equivalente);
    eTrEsp->setText(FormatarQ(MASCARA_REAL, e.TrEsp));
    if (e.Equivalente) eTrEsp1->setText(FormatarQ("0.0#", e.TempoRetornoEquivalente()));

    for (TCampo id : {CAMPO_K, CAMPO_A, CAMPO_B, CAMPO_C})
        mostrar(id);
    PrecLo1->setText(QString::fromStdString(FProjeto->ChuvaDeProjeto.Longitude));
    PrecLa1->setText(QString::fromStdString(FProjeto->ChuvaDeProjeto.Latitude));
    MostrarOrigemChuva();

    for (TCampo id :
         {CAMPO_VIB_ESTRADA, CAMPO_ST_ESTRADA, CAMPO_COMP_ESTRADA, CAMPO_RUG_ESTRADA,
          CAMPO_VIB_TALUDE, CAMPO_ST_TALUDE, CAMPO_COMP_TALUDE, CAMPO_RUG_TALUDE, CAMPO_SC_CANAL,
          CAMPO_RUG_CANAL, CAMPO_COMP_CANAL, CAMPO_APROFUNDAMENTO, CAMPO_TENSAO_CRITICA})
        mostrar(id);
    // Todos os algarismos: um valor convertido de outra unidade (0,004 / 6) não pode perder
    // casas na volta ao campo, que é o que o cálculo lê.
    if (e.Erodibilidade != 0)
        eErodibilidade->setText(
            QString::fromStdString(FloatToStr(e.Erodibilidade, SeparadorDecimal())));
    else
        eErodibilidade->clear();
    mostrar(CAMPO_DENSIDADE);

    if (e.TipoCanal.Valor == CANAL_TRAPEZOIDAL) {
        SelecionarSemSinal(cbCanal, 0);
        mostrar(CAMPO_Z_CANAL);
        mostrar(CAMPO_B_CANAL);
    } else if (e.TipoCanal.Valor == CANAL_TRIANGULAR) {
        SelecionarSemSinal(cbCanal, 1);
        mostrar(CAMPO_M1_CANAL);
        mostrar(CAMPO_M2_CANAL);
    }

    // Um tipo de seção fora de 1..3 deixa os três botões desmarcados.
    auto* grupo = rbSecao1->group();
    grupo->setExclusive(false);
    for (QRadioButton* rb : {rbSecao1, rbSecao2, rbSecao3})
        rb->setChecked(false);
    grupo->setExclusive(true);
    if (e.IndSecao >= 1 && e.IndSecao <= 3) grupo->button(e.IndSecao)->setChecked(true);
    cbCurvaOriginal->setChecked(e.CurvaDescargaOriginal);
    cbCanalChange();

    cbCalcVolume->setChecked(bacia.CalcularVolume);
    mostrar(CAMPO_RUG_CONDUCAO);
    mostrar(CAMPO_SC_CONDUCAO);
    if (cc.TipoCanal.Valor == CANAL_TRAPEZOIDAL) {
        SelecionarSemSinal(cbCanalBacia, 0);
        mostrar(CAMPO_Z_CONDUCAO);
        mostrar(CAMPO_B_CONDUCAO);
    } else if (cc.TipoCanal.Valor == CANAL_TRIANGULAR) {
        SelecionarSemSinal(cbCanalBacia, 1);
        mostrar(CAMPO_M1_CONDUCAO);
        // Inclinação negativa (arquivo danificado) fica em branco.
        em2CanalBacia->setText(cc.Sm.Valor > 0 ? real(1 / cc.Sm.Valor) : QString());
    }
    cbCanalBaciaChange();

    SelecionarSemSinal(cbFormato, bacia.Formato <= 1 ? bacia.Formato : -1);
    MostrarFormato();
    for (TCampo id : {CAMPO_M1_BACIA, CAMPO_M2_BACIA, CAMPO_PROF_BACIA})
        mostrar(id);
    MostrarCobertura();
    if (auto* id = findChild<TAbaIdentificacao*>()) id->Mostrar(FProjeto->Identificacao);

    // Um projeto convertido de um leiaute antigo só chega ao disco quando o usuário salva.
    FGerente.Alterado = FProjeto->Migrado;
}

void TJanelaPrincipal::MostrarCobertura() {
    const std::string& c = FProjeto->StrCoberVeg;
    lblCoberVeg->setText(c.empty() ? QString()
                                   : QStringLiteral("Cobertura: ") + QString::fromStdString(c));
}

void TJanelaPrincipal::QuandoLimparCamposDados() {
    if (!isVisible() || !isEnabled()) return;
    PrecLa1->clear();
    PrecLo1->clear();
    FPaginaSimulacao->LimparCampos();
    for (QLineEdit* e : findChildren<QLineEdit*>()) {
        // Campos internos de outros componentes (caixas numéricas, por exemplo) ficam de fora.
        if (e == PrecLa1 || e == PrecLo1 || e->objectName().isEmpty() ||
            e->objectName().startsWith(QStringLiteral("qt_")))
            continue;
        e->clear();
    }
    if (rbSecao1->isChecked())
        rbSecao1Click(1);
    else
        rbSecao1->setChecked(true);
    for (QComboBox* cb : {cbCanal, cbCanalBacia}) {
        SelecionarSemSinal(cb, 1);
    }
    cbCurvaOriginal->setChecked(false);
    cbCanalChange();
    cbCanalBaciaChange();
    SelecionarSemSinal(cbFormato, 1);
    cbFormatoChange();
    lblCoberVeg->clear();
    lOrigemChuva->clear();
    if (auto* id = findChild<TAbaIdentificacao*>()) id->Mostrar({});
}

// --- Leitura e verificação ----------------------------------------------------------------

void TJanelaPrincipal::MostrarCampo(QWidget* campo) {
    MostrarPagina(PAG_DADOS);
    for (int i = 0; i < nbDados->count(); ++i)
        if (nbDados->widget(i)->isAncestorOf(campo)) nbDados->setCurrentIndex(i);
    campo->setFocus();
}

std::optional<double> TJanelaPrincipal::LerCampo(TCampo id, bool validar) {
    const TCampoProjeto& c = *CampoProjeto(id);
    auto* campo = static_cast<QLineEdit*>(Controle(id));
    const std::string texto = campo->text().trimmed().toStdString();
    double v = 0;
    std::optional<TMotivoFalha> motivo;
    if (texto.empty()) {
        if (!validar) return 0.0;
        motivo = TMotivoFalha::Vazio;
    } else if (const auto lido = TentarTextoParaReal(texto, SeparadorDecimal())) {
        v = *lido;
        // Negativos e valores acima do máximo nunca são guardados; o mínimo fica para a
        // verificação antes do cálculo.
        if (!GuardavelNoCampo(c, v, FUnidades))
            motivo = TMotivoFalha::Faixa;
        else if (c.Inteiro && v != std::floor(v))
            motivo = TMotivoFalha::NaoInteiro;
    } else {
        motivo = TMotivoFalha::NaoNumero;
    }
    if (!motivo) return v;
    const std::string rotulo = id == CAMPO_COMP_ESTRADA ? eLargEst->text().toStdString() : c.Rotulo;
    const std::string mensagem = MensagemCampo(c, FUnidades, *motivo, texto, rotulo.c_str());
    if (FColetadas) {
        FColetadas->push_back({mensagem, id, c.Aba});
        return std::nullopt;
    }
    MostrarCampo(campo);
    throw EMorvendo(mensagem);
}

void TJanelaPrincipal::LerCampos(bool validar) {
    TCanalEstrada& e = FProjeto->Estrada;
    // O valor lido vai para o projeto pela tabela de campos; o que não pôde ser lido fica.
    auto ler = [&](TCampo id) {
        if (auto v = LerCampo(id, validar))
            DefinirMostrado(*CampoProjeto(id), *FProjeto, *v, FUnidades);
    };

    if (PrecLo1->displayText() != COORDENADA_VAZIA)
        FProjeto->ChuvaDeProjeto.Longitude = PrecLo1->displayText().toStdString();
    if (PrecLa1->displayText() != COORDENADA_VAZIA)
        FProjeto->ChuvaDeProjeto.Latitude = PrecLa1->displayText().toStdString();

    ler(CAMPO_TR_DIM);
    ler(CAMPO_TR_ESP);
    ler(CAMPO_K);
    ler(CAMPO_A);
    ler(CAMPO_B);
    ler(CAMPO_C);

    // O plano existe depois da leitura, mesmo quando nenhum campo dele pôde ser lido.
    Plano(e.Leito);
    ler(CAMPO_VIB_ESTRADA);
    ler(CAMPO_ST_ESTRADA);
    ler(CAMPO_COMP_ESTRADA);
    ler(CAMPO_RUG_ESTRADA);

    if (bgSecaoCorte->isEnabledTo(this)) {
        Plano(e.AreaExterna);
        ler(CAMPO_VIB_TALUDE);
        ler(CAMPO_ST_TALUDE);
        ler(CAMPO_COMP_TALUDE);
        ler(CAMPO_RUG_TALUDE);
    }

    TBaciaAcumulacao& bacia = e.Bacia;
    TCanalGradiente& cc = bacia.CanalConducao;
    if (cc.TipoCanal.Valor <= 1) SelecionarSemSinal(cbCanalBacia, cc.TipoCanal.Valor);
    if (cc.TipoCanal.Valor == CANAL_TRAPEZOIDAL) {
        ler(CAMPO_Z_CONDUCAO);
        ler(CAMPO_B_CONDUCAO);
    } else if (cc.TipoCanal.Valor == CANAL_TRIANGULAR) {
        ler(CAMPO_M1_CONDUCAO);
        ler(CAMPO_M2_CONDUCAO);
    }
    ler(CAMPO_RUG_CONDUCAO);
    ler(CAMPO_SC_CONDUCAO);

    bacia.CalcularVolume = cbCalcVolume->isChecked();
    if (bacia.Formato == TBaciaAcumulacao::RETANGULAR) {
        ler(CAMPO_M1_BACIA);
        ler(CAMPO_M2_BACIA);
    }
    ler(CAMPO_PROF_BACIA);

    e.TipoCanal.Valor = std::uint8_t(cbCanal->currentIndex());
    e.CurvaDescargaOriginal = cbCurvaOriginal->isChecked();
    if (e.TipoCanal.Valor == CANAL_TRIANGULAR) {
        ler(CAMPO_M1_CANAL);
        ler(CAMPO_M2_CANAL);
    } else {
        ler(CAMPO_B_CANAL);
        ler(CAMPO_Z_CANAL);
    }

    ler(CAMPO_SC_CANAL);
    ler(CAMPO_RUG_CANAL);
    ler(CAMPO_COMP_CANAL);
    ler(CAMPO_APROFUNDAMENTO);
    ler(CAMPO_TENSAO_CRITICA);
    ler(CAMPO_ERODIBILIDADE);
    lblErod->setText(QString::fromStdString(FUnidades.UnidadeErodibilidade));
    ler(CAMPO_DENSIDADE);
}

void TJanelaPrincipal::ValidarDados() {
    const auto falha = ::ValidarDados(*FProjeto, bgSecaoCorte->isEnabledTo(this));
    if (!falha) return;
    if (QWidget* campo = Controle(falha->Campo)) MostrarCampo(campo);
    throw EMorvendo(falha->Mensagem);
}

std::vector<TFalhaValidacao> TJanelaPrincipal::VerificarDados() {
    std::vector<TFalhaValidacao> falhas;
    FColetadas = &falhas;
    struct TFim {
        std::vector<TFalhaValidacao>*& c;
        ~TFim() { c = nullptr; }
    } fim{FColetadas};
    LerCampos(true);
    FColetadas = nullptr;
    // O campo que não pôde ser lido já tem a sua falha; o valor antigo dele não conta.
    for (TFalhaValidacao& f : ListarFalhas(*FProjeto, bgSecaoCorte->isEnabledTo(this))) {
        const bool repetida =
            std::any_of(falhas.begin(), falhas.end(),
                        [&](const TFalhaValidacao& g) { return g.Campo == f.Campo; });
        if (!repetida) falhas.push_back(std::move(f));
    }
    return falhas;
}

void TJanelaPrincipal::btnVerificarDadosClick() {
    const std::vector<TFalhaValidacao> falhas = VerificarDados();
    if (!FVerificacao) {
        FVerificacao = new QDialog(this);
        FVerificacao->setObjectName(QStringLiteral("FVerificacao"));
        FVerificacao->setWindowTitle(QStringLiteral("Verificar dados"));
        auto* v = new QVBoxLayout(FVerificacao);
        auto* lista = new QLabel;
        lista->setObjectName(QStringLiteral("lblFalhas"));
        lista->setTextFormat(Qt::RichText);
        lista->setWordWrap(true);
        lista->setMinimumWidth(420);
        lista->setTextInteractionFlags(Qt::TextBrowserInteraction);
        // Cada problema é um link para o seu campo; a janela fica aberta enquanto se corrige.
        connect(lista, &QLabel::linkActivated, this, [this](const QString& id) {
            bool ok = false;
            const int n = id.toInt(&ok);
            if (QWidget* campo = ok ? Controle(TCampo(n)) : nullptr) MostrarCampo(campo);
        });
        v->addWidget(lista);
        auto* fechar = Botao("&Fechar", "btnFecharVerificacao");
        connect(fechar, &QPushButton::clicked, FVerificacao, &QDialog::close);
        auto* h = new QHBoxLayout;
        h->addStretch();
        h->addWidget(fechar);
        v->addLayout(h);
    }
    QString html;
    if (falhas.empty()) {
        html = QStringLiteral("Nenhum problema foi encontrado nos dados.");
    } else {
        html = QStringLiteral("%1 problema(s) nos dados. Clique num deles para ir ao campo:<ol>")
                   .arg(falhas.size());
        for (const TFalhaValidacao& f : falhas)
            html += QStringLiteral("<li><a href=\"%1\">%2</a> <i>(aba %3)</i></li>")
                        .arg(QString::number(int(f.Campo)),
                             QString::fromStdString(f.Mensagem).toHtmlEscaped(),
                             QString::fromStdString(f.Aba).toHtmlEscaped());
        html += QStringLiteral("</ol>");
    }
    FVerificacao->findChild<QLabel*>(QStringLiteral("lblFalhas"))->setText(html);
    FVerificacao->show();
    FVerificacao->raise();
}

void TJanelaPrincipal::MostrarParametrosIdf() {
    TPrecipitacaoExponencialNegativa& chuva = FProjeto->Chuva();
    eK->setText(FormatarNaoNuloQ(MASCARA_REAL, chuva.K()));
    eA->setText(FormatarNaoNuloQ(MASCARA_REAL, chuva.A()));
    eB->setText(FormatarNaoNuloQ(MASCARA_REAL, chuva.B()));
    eC->setText(FormatarNaoNuloQ(MASCARA_REAL, chuva.C()));
    PrecLo1->setText(QString::fromStdString(FProjeto->ChuvaDeProjeto.Longitude));
    PrecLa1->setText(QString::fromStdString(FProjeto->ChuvaDeProjeto.Latitude));
    MostrarOrigemChuva();
}

void TJanelaPrincipal::MostrarOrigemChuva() {
    // Um campo vazio ou que não é número não é o valor da consulta.
    auto valor = [this](QLineEdit* e) {
        return TentarTextoParaReal(e->text().trimmed().toStdString(), SeparadorDecimal())
            .value_or(std::nan(""));
    };
    lOrigemChuva->setText(QString::fromStdString(
        FraseOrigemChuva(FProjeto->OrigemChuva, valor(eK), valor(eA), valor(eB), valor(eC))));
}
