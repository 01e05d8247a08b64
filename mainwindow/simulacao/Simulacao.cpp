#include "mainwindow/simulacao/Simulacao.h"
#include "comum/ContextosAjuda.h"
#include "comum/EMorvendo.h"
#include "comum/MensagemErro.h"
#include "comum/ui/RotinasUi.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include <cmath>
#include <exception>

#include "ajuda/Ajuda.h"
#include "comum/Numeros.h"
#include "engine/BaciaAcumulacao.h"

namespace {

constexpr int LINHAS = 21;

QString Formatar(const char* mascara, double v) {
    return FormatarNumero(mascara, v, SeparadorMilharUsuario(' '));
}

// Conversão de texto em inteiro: sinal opcional e algarismos, com espaços nas pontas.
bool TextoParaInteiro(const QString& texto, int& valor) {
    const QString t = texto.trimmed();
    bool ok = false;
    const bool soAlgarismos =
        !t.isEmpty() && std::all_of(t.begin() + (t[0] == '-' || t[0] == '+'), t.end(),
                                    [](QChar c) { return c >= '0' && c <= '9'; });
    if (soAlgarismos) valor = t.toInt(&ok);
    return ok;
}

QString ComPonto(const QString& m) {
    return QString::fromStdString(ComPontoFinal(m.toStdString()));
}

} // namespace

std::vector<double> MarcasDoEixo(double minimo, double maximo, int maximoDeMarcas,
                                 double passoMinimo) {
    if (!std::isfinite(minimo) || !std::isfinite(maximo)) return {0};
    if (maximo < minimo) std::swap(minimo, maximo);
    if (maximo - minimo < 1e-12) {
        // Curva constante (espaçamento zero): uma faixa em volta do valor.
        const double m = std::fabs(maximo) > 0 ? std::fabs(maximo) * 0.1 : 1;
        minimo -= minimo == 0 ? 0 : m;
        maximo += m;
    }
    const double bruto = (maximo - minimo) / std::max(1, maximoDeMarcas - 1);
    const double potencia = std::pow(10.0, std::floor(std::log10(bruto)));
    double passo = potencia;
    for (const double f : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (f * potencia >= bruto) {
            passo = f * potencia;
            break;
        }
    passo = std::max(passo, passoMinimo);
    std::vector<double> marcas;
    const double inicio = std::floor(minimo / passo + 1e-9) * passo;
    for (double v = inicio; v <= maximo + passo * (1 - 1e-9); v += passo)
        marcas.push_back(std::fabs(v) < passo * 1e-9 ? 0 : v);
    return marcas;
}

TPaginaSimulacao::TPaginaSimulacao(const TBaciaAcumulacao& bacia, QWidget* parent)
    : QWidget(parent), Bacia(bacia) {
    setObjectName("Simulacao");
    Ajuda::DefinirContexto(this, CONTEXTO_SIMULACAO);

    eVolUni = new QLineEdit;
    eVolUni->setObjectName("eVolUni");
    eVolUni->setReadOnly(true);
    eVolUni->setFocusPolicy(Qt::NoFocus);
    eVolUni->setMaximumWidth(110);
    QPalette cinza = eVolUni->palette();
    cinza.setColor(QPalette::Base, palette().color(QPalette::Window));
    eVolUni->setPalette(cinza);

    grComp = new QGroupBox(" Espaçamento ");
    grComp->setObjectName("grComp");
    eEspacamento = new QLineEdit;
    eEspacamento->setObjectName("eEspacamento");
    eEspacamento->setMaximumWidth(90);
    auto* rotuloEsp = new QLabel("&Espaçamento");
    rotuloEsp->setBuddy(eEspacamento);
    bRecalc = new QPushButton("&Recalcular");
    bRecalc->setObjectName("bRecalc");
    bRecalc->setEnabled(false);
    auto* lg = new QHBoxLayout(grComp);
    lg->addWidget(rotuloEsp);
    lg->addWidget(eEspacamento);
    lg->addWidget(new QLabel("m"));
    lg->addSpacing(12);
    lg->addWidget(bRecalc);
    lg->addStretch();

    tabelaSimulacao = new QTableWidget(LINHAS, 2);
    tabelaSimulacao->setObjectName("tabelaSimulacao");
    tabelaSimulacao->setHorizontalHeaderLabels({"Profund.", "Raio"});
    tabelaSimulacao->verticalHeader()->hide();
    tabelaSimulacao->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabelaSimulacao->setSelectionMode(QAbstractItemView::NoSelection);
    tabelaSimulacao->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int c = 0; c < 2; ++c)
        tabelaSimulacao->setColumnWidth(c, 71);
    for (int r = 0; r < LINHAS; ++r)
        for (int c = 0; c < 2; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            tabelaSimulacao->setItem(r, c, item);
        }
    tabelaSimulacao->setFixedWidth(2 * 71 + tabelaSimulacao->frameWidth() * 2 +
                                   tabelaSimulacao->verticalScrollBar()->sizeHint().width());

    auto* grafico = new QChart;
    grafico->legend()->hide();
    grafico->setBackgroundBrush(Qt::white);
    grafico->setDropShadowEnabled(false);
    serieSimulacao = new QLineSeries;
    serieSimulacao->setPen(QPen(Qt::red, 2));
    serieSimulacao->setPointsVisible(false);
    grafico->addSeries(serieSimulacao);
    EixoX = new QCategoryAxis;
    EixoX->setTitleText("Profundidade (m)");
    EixoX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    EixoY = new QCategoryAxis;
    EixoY->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    grafico->addAxis(EixoX, Qt::AlignBottom);
    grafico->addAxis(EixoY, Qt::AlignLeft);
    serieSimulacao->attachAxis(EixoX);
    serieSimulacao->attachAxis(EixoY);
    graficoSimulacao = new QChartView(grafico);
    graficoSimulacao->setObjectName("graficoSimulacao");
    graficoSimulacao->setRenderHint(QPainter::Antialiasing);
    graficoSimulacao->setMinimumSize(360, 300);

    btnAjudaSimulacao = new QPushButton("Aj&uda");
    btnAjudaSimulacao->setObjectName("btnAjudaSimulacao");
    btnVoltarSimulacao = new QPushButton("&Voltar");
    btnVoltarSimulacao->setObjectName("btnVoltarSimulacao");

    auto* volume = new QHBoxLayout;
    volume->addWidget(new QLabel("Volume escoado por metro de canal"));
    volume->addWidget(eVolUni);
    volume->addWidget(new QLabel("m³/m"));
    volume->addStretch();
    auto* esquerda = new QVBoxLayout;
    esquerda->addLayout(volume);
    esquerda->addWidget(grComp);
    esquerda->addSpacing(6);
    esquerda->addWidget(new QLabel("Valores do gráfico"));
    esquerda->addWidget(tabelaSimulacao, 1);
    auto* corpo = new QHBoxLayout;
    corpo->addLayout(esquerda);
    corpo->addWidget(graficoSimulacao, 1);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(btnAjudaSimulacao);
    botoes->addWidget(btnVoltarSimulacao);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(corpo, 1);
    principal->addLayout(botoes);

    connect(eEspacamento, &QLineEdit::textChanged, this, &TPaginaSimulacao::eEspacamentoChange);
    // "&Recalcular" é o botão padrão da página: Enter no campo o aciona.
    connect(eEspacamento, &QLineEdit::returnPressed, this, [this] {
        if (bRecalc->isEnabled()) bRecalc->click();
    });
    connect(bRecalc, &QPushButton::clicked, this, &TPaginaSimulacao::bRecalcClick);
    connect(btnAjudaSimulacao, &QPushButton::clicked, this,
            [] { Ajuda::AbrirContexto(CONTEXTO_SIMULACAO); });
    connect(btnVoltarSimulacao, &QPushButton::clicked, this, &TPaginaSimulacao::VoltarClick);
}

void TPaginaSimulacao::bSimulClick(int espacamento, double volumePorMetro) {
    FEspacamento = espacamento;
    FVolumePorMetro = volumePorMetro;
    eVolUni->setText(Formatar("0.0##", FVolumePorMetro));
    eEspacamento->setText(QString::number(FEspacamento));
    CalcularCurva();
    eEspacamento->setFocus();
}

void TPaginaSimulacao::LimparCampos() {
    eEspacamento->clear();
}

void TPaginaSimulacao::LimparCurva() {
    serieSimulacao->clear();
    for (int r = 0; r < LINHAS; ++r)
        for (int c = 0; c < 2; ++c)
            tabelaSimulacao->item(r, c)->setText(QString());
}

void TPaginaSimulacao::eEspacamentoChange(const QString& texto) {
    bRecalc->setEnabled(!texto.isEmpty());
    LimparCurva();
}

void TPaginaSimulacao::bRecalcClick() {
    // Entre duas saídas d'água cabe ao menos um metro e no máximo o canal inteiro.
    const int maximo = ComprimentoCanal > 0 ? ComprimentoCanal : 100000;
    const QString faixa = QString("\"Espaçamento\" deve ser um número inteiro de 1 a %1 m%2.")
                              .arg(maximo)
                              .arg(ComprimentoCanal > 0 ? " (o comprimento do canal)" : "");
    int espacamento = 0;
    if (!TextoParaInteiro(eEspacamento->text(), espacamento)) {
        MostrarErro("\"" + eEspacamento->text().trimmed() + "\" não é um número inteiro: " + faixa);
        eEspacamento->setFocus();
        return;
    }
    if (espacamento < 1 || espacamento > maximo) {
        MostrarErro("Valor incorreto: " + faixa);
        eEspacamento->setFocus();
        return;
    }
    FEspacamento = espacamento;
    CalcularCurva();
}

void TPaginaSimulacao::CalcularCurva() {
    LimparCurva();
    double profundidade = 1.0;
    const bool retangular = Bacia.Formato == TBaciaAcumulacao::RETANGULAR;
    EixoY->setTitleText(retangular ? "Largura (m)" : "Raio (m)");
    tabelaSimulacao->setHorizontalHeaderLabels({"Profund.", retangular ? "Largura" : "Raio"});
    QList<QPointF> pontos;
    try {
        for (int i = 0; i < LINHAS; ++i) {
            const TDimensoesBacia d =
                Bacia.Dimensoes(1.0, FEspacamento * FVolumePorMetro, profundidade);
            const double y = retangular ? d.Largura : d.Raio;
            tabelaSimulacao->item(i, 0)->setText(Formatar("0.0#", profundidade));
            // Bacia sem taludes ou sem profundidade não tem medida: o ponto fica fora.
            if (std::isfinite(y)) {
                pontos.append(QPointF(profundidade, y));
                tabelaSimulacao->item(i, 1)->setText(Formatar("0.0#", y));
            } else {
                tabelaSimulacao->item(i, 1)->setText("---");
            }
            profundidade += 0.1;
        }
    } catch (const std::exception& e) {
        LimparCurva();
        MostrarErro(QString::fromStdString(MensagemParaUsuario(e)));
        return;
    }
    serieSimulacao->replace(pontos);

    // Eixos com as máscaras da página e o separador decimal do usuário.
    const auto ajustar = [](QCategoryAxis* eixo, const std::vector<double>& marcas,
                            const char* mascara) {
        for (const QString& rotulo : eixo->categoriesLabels())
            eixo->remove(rotulo);
        for (const double m : marcas)
            eixo->append(Formatar(mascara, m), m);
        eixo->setStartValue(marcas.front());
        eixo->setRange(marcas.front(), marcas.back());
    };
    // Poucas marcas: com muitas o Qt abrevia os rótulos em "...".
    ajustar(EixoX, MarcasDoEixo(1.0, 3.0, 5, 0.001), "#,##0.0##");
    double ymin = 0, ymax = 0;
    for (int i = 0; i < pontos.size(); ++i) {
        ymin = i ? std::min(ymin, pontos[i].y()) : pontos[i].y();
        ymax = i ? std::max(ymax, pontos[i].y()) : pontos[i].y();
    }
    ajustar(EixoY, MarcasDoEixo(ymin, ymax, 6, 0.01), "#,##0.00");
}

void TPaginaSimulacao::VoltarClick() {
    emit Voltar();
}

void TPaginaSimulacao::MostrarErro(const QString& mensagem) {
    if (Erro)
        Erro(ComPonto(mensagem));
    else
        MostrarCaixaErro(this, mensagem);
}

QString TPaginaSimulacao::TituloEixoVertical() const {
    return EixoY->titleText();
}

QStringList TPaginaSimulacao::MarcasEixoHorizontal() const {
    return EixoX->categoriesLabels();
}

QStringList TPaginaSimulacao::MarcasEixoVertical() const {
    return EixoY->categoriesLabels();
}
