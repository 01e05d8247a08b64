#include "mainwindow/estudos/DialogoEstradaMapa.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "comum/EMorvendo.h"
#include "comum/MensagemErro.h"
#include "comum/Numeros.h"
#include "mainwindow/RotinasComuns.h"

namespace {

QLineEdit* Campo(const char* nome) {
    auto* c = new QLineEdit;
    c->setObjectName(QString::fromLatin1(nome));
    return c;
}

QString Metros(double m) {
    return QString::fromStdString(FormatFloat("#,##0.0", m, SeparadorDecimal())) +
           QStringLiteral(" m");
}

// Metros de um campo; EMorvendo com o nome dele.
double LerMetros(const QLineEdit* campo, const char* nome) {
    const std::string texto = campo->text().trimmed().toStdString();
    const auto v = TentarTextoParaReal(texto, SeparadorDecimal());
    if (!v || !std::isfinite(*v))
        throw EMorvendo("\"" + texto + "\" não serve como \"" + nome +
                        "\": deve ser um número de metros.");
    return *v;
}

// Índices da camada e da linha de um item da lista; linha -1: as peças emendadas.
QPoint Escolha(const QComboBox* lista) {
    return lista->currentData().toPoint();
}

} // namespace

TDialogoEstradaMapa::TDialogoEstradaMapa(const TPedidoEstrada& anterior, QWidget* pai)
    : QDialog(pai), FAceito(anterior) {
    setObjectName(QStringLiteral("DialogoEstradaMapa"));
    setWindowTitle(QStringLiteral("Estrada a partir do mapa"));
    Erro = [this](const std::string& m) {
        QMessageBox::critical(this, QStringLiteral("Morvendo"), MensagemComPonto(m));
    };

    eLinha = Campo("eLinha");
    eLinha->setToolTip(QStringLiteral("A linha da estrada: GPX, KML, KMZ, GeoJSON, GeoPackage ou "
                                      "Shapefile, em qualquer sistema de coordenadas."));
    btnLinha = new QPushButton(QStringLiteral("..."));
    btnLinha->setObjectName(QStringLiteral("btnLinha"));
    cbLinha = new QComboBox;
    cbLinha->setObjectName(QStringLiteral("cbLinha"));
    cbLinha->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    ckDoFim = new QCheckBox(QStringLiteral("Estaquear a partir do &fim da linha"));
    ckDoFim->setObjectName(QStringLiteral("ckDoFim"));
    rbCotasDaLinha = new QRadioButton(QStringLiteral("Da própria &linha"));
    rbCotasDaLinha->setObjectName(QStringLiteral("rbCotasDaLinha"));
    rbTerreno = new QRadioButton(QStringLiteral("Do &modelo de terreno:"));
    rbTerreno->setObjectName(QStringLiteral("rbTerreno"));
    eTerreno = Campo("eTerreno");
    eTerreno->setToolTip(QStringLiteral("Qualquer raster de cotas: GeoTIFF, .hgt, grade ASCII..."));
    btnTerreno = new QPushButton(QStringLiteral("..."));
    btnTerreno->setObjectName(QStringLiteral("btnTerreno"));
    lblCotas = new QLabel;
    lblCotas->setObjectName(QStringLiteral("lblCotas"));
    lblCotas->setWordWrap(true);
    eJanela = Campo("eJanela");
    eTrechoMinimo = Campo("eTrechoMinimo");
    for (QLineEdit* c : {eJanela, eTrechoMinimo}) {
        c->setMaximumWidth(70);
        c->setAlignment(Qt::AlignRight);
    }
    eJanela->setToolTip(QStringLiteral("Média móvel das cotas a cada metro (0 a 1000 m): tira "
                                       "o ruído do GPS e do modelo de terreno."));
    eTrechoMinimo->setToolTip(QStringLiteral("Nenhum trecho do perfil fica menor que isto (1 a "
                                             "10000 m)."));

    auto* g = new QGridLayout;
    int l = 0;
    auto* rLinha = new QLabel(QStringLiteral("&Arquivo da linha:"));
    rLinha->setBuddy(eLinha);
    g->addWidget(rLinha, l, 0);
    g->addWidget(eLinha, l, 1);
    g->addWidget(btnLinha, l++, 2);
    auto* rEscolha = new QLabel(QStringLiteral("Li&nha:"));
    rEscolha->setBuddy(cbLinha);
    g->addWidget(rEscolha, l, 0);
    g->addWidget(cbLinha, l++, 1, 1, 2);
    g->addWidget(ckDoFim, l++, 1, 1, 2);
    g->addWidget(new QLabel(QStringLiteral("Cotas:")), l, 0);
    g->addWidget(rbCotasDaLinha, l++, 1, 1, 2);
    g->addWidget(rbTerreno, l++, 1, 1, 2);
    g->addWidget(eTerreno, l, 1);
    g->addWidget(btnTerreno, l++, 2);
    g->addWidget(lblCotas, l++, 1, 1, 2);
    auto numero = [&](const char* rotulo, QLineEdit* campo) {
        auto* r = new QLabel(QString::fromUtf8(rotulo));
        r->setBuddy(campo);
        auto* h = new QHBoxLayout;
        h->addWidget(campo);
        h->addWidget(new QLabel(QStringLiteral("m")));
        h->addStretch();
        g->addWidget(r, l, 0);
        g->addLayout(h, l++, 1, 1, 2);
    };
    numero("&Suavização (janela):", eJanela);
    numero("&Trecho mínimo:", eTrechoMinimo);
    g->setColumnStretch(1, 1);

    auto* botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    botoes->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Abrir"));
    botoes->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    auto* v = new QVBoxLayout(this);
    v->addLayout(g);
    v->addWidget(botoes);
    setMinimumWidth(520);

    connect(botoes, &QDialogButtonBox::accepted, this, &TDialogoEstradaMapa::accept);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(btnLinha, &QPushButton::clicked, this, [this] {
        const QString c = QFileDialog::getOpenFileName(
            this, QStringLiteral("Linha da estrada"), eLinha->text(),
            QStringLiteral("Linhas de mapa (*.gpx *.kml *.kmz *.geojson *.json *.gpkg *.shp);;"
                           "Todos (*)"));
        if (!c.isEmpty()) DefinirLinha(c);
    });
    connect(eLinha, &QLineEdit::editingFinished, this, [this] {
        if (eLinha->isModified()) DefinirLinha(eLinha->text().trimmed());
        eLinha->setModified(false);
    });
    connect(btnTerreno, &QPushButton::clicked, this, [this] {
        const QString c = QFileDialog::getOpenFileName(
            this, QStringLiteral("Modelo de terreno"), eTerreno->text(),
            QStringLiteral("Modelos de terreno (*.tif *.tiff *.hgt *.asc *.img *.dem *.vrt);;"
                           "Todos (*)"));
        if (c.isEmpty()) return;
        eTerreno->setText(c);
        rbTerreno->setChecked(true);
    });
    connect(eTerreno, &QLineEdit::textEdited, this, [this] { rbTerreno->setChecked(true); });
    connect(cbLinha, &QComboBox::currentIndexChanged, this, [this] { LinhaEscolhida(); });

    const char sep = SeparadorDecimal();
    eJanela->setText(QString::fromStdString(FloatToStr(anterior.OpcoesPerfil.Janela, sep)));
    eTrechoMinimo->setText(
        QString::fromStdString(FloatToStr(anterior.OpcoesPerfil.TrechoMinimo, sep)));
    ckDoFim->setChecked(anterior.OpcoesLinha.DoFim);
    eTerreno->setText(QString::fromStdString(anterior.Terreno));
    rbTerreno->setChecked(!anterior.Terreno.empty());
    rbCotasDaLinha->setChecked(anterior.Terreno.empty());
    if (!anterior.Linha.empty()) {
        DefinirLinha(QString::fromStdString(anterior.Linha));
        for (int i = 0; i < cbLinha->count(); ++i) {
            const QPoint e = cbLinha->itemData(i).toPoint();
            const TCamadaDoMapa& c = FCamadas[std::size_t(e.x())];
            const std::optional<long long> feicao =
                e.y() < 0 ? std::nullopt : std::optional(c.Linhas[std::size_t(e.y())].Feicao);
            if (c.Nome == anterior.OpcoesLinha.Camada && feicao == anterior.OpcoesLinha.Feicao)
                cbLinha->setCurrentIndex(i);
        }
    }
    LinhaEscolhida();
}

void TDialogoEstradaMapa::DefinirLinha(const QString& caminho) {
    eLinha->setText(caminho);
    const QSignalBlocker bloqueio(cbLinha);
    cbLinha->clear();
    FCamadas.clear();
    try {
        if (!caminho.isEmpty()) FCamadas = LinhasDoMapa(QFile::encodeName(caminho).toStdString());
    } catch (const std::exception& e) {
        FCamadas.clear();
        LinhaEscolhida();
        Erro(MensagemParaUsuario(e));
        return;
    }
    for (std::size_t c = 0; c < FCamadas.size(); ++c) {
        const TCamadaDoMapa& camada = FCamadas[c];
        const QString nome = QString::fromStdString(camada.Nome);
        // Com várias linhas na camada, também as peças emendadas numa estrada só.
        if (camada.Linhas.size() > 1)
            cbLinha->addItem(
                QStringLiteral("%1: as %2 linhas emendadas").arg(nome).arg(camada.Linhas.size()),
                QPoint(int(c), -1));
        for (std::size_t i = 0; i < camada.Linhas.size(); ++i) {
            const TLinhaDoMapa& l = camada.Linhas[i];
            QString texto = QStringLiteral("%1: FID %2").arg(nome).arg(l.Feicao);
            if (!l.Nome.empty())
                texto += QStringLiteral(" \u2013 ") + QString::fromStdString(l.Nome);
            if (l.Comprimento > 0) texto += QStringLiteral(" \u2013 ") + Metros(l.Comprimento);
            cbLinha->addItem(texto, QPoint(int(c), int(i)));
        }
    }
    LinhaEscolhida();
}

void TDialogoEstradaMapa::LinhaEscolhida() {
    bool temCotas = false;
    if (cbLinha->currentIndex() >= 0) {
        const QPoint e = Escolha(cbLinha);
        const TCamadaDoMapa& c = FCamadas[std::size_t(e.x())];
        temCotas = true;
        for (std::size_t i = 0; i < c.Linhas.size(); ++i)
            if (e.y() < 0 || int(i) == e.y()) temCotas = temCotas && c.Linhas[i].TemCotas;
    }
    rbCotasDaLinha->setEnabled(temCotas);
    if (!temCotas) rbTerreno->setChecked(true);
    if (cbLinha->currentIndex() < 0)
        lblCotas->clear();
    else if (!temCotas)
        lblCotas->setText(QStringLiteral("A linha não tem cotas em todos os pontos: as cotas vêm "
                                         "do modelo de terreno."));
    else
        lblCotas->setText(QStringLiteral("A linha tem cotas; com um modelo de terreno, escolha "
                                         "de onde elas vêm."));
}

TPedidoEstrada TDialogoEstradaMapa::Pedido() const {
    TPedidoEstrada p;
    if (eLinha->text().trimmed().isEmpty())
        throw EMorvendo("Escolha o arquivo da linha da estrada.");
    if (cbLinha->currentIndex() < 0)
        throw EMorvendo("O arquivo " + eLinha->text().trimmed().toStdString() +
                        " não tem uma linha que se possa escolher.");
    p.Linha = QFile::encodeName(eLinha->text().trimmed()).toStdString();
    const QPoint e = Escolha(cbLinha);
    const TCamadaDoMapa& c = FCamadas[std::size_t(e.x())];
    p.OpcoesLinha.Camada = c.Nome;
    if (e.y() >= 0) p.OpcoesLinha.Feicao = c.Linhas[std::size_t(e.y())].Feicao;
    p.OpcoesLinha.DoFim = ckDoFim->isChecked();
    if (rbTerreno->isChecked()) {
        if (eTerreno->text().trimmed().isEmpty())
            throw EMorvendo("Escolha o arquivo do modelo de terreno.");
        p.Terreno = QFile::encodeName(eTerreno->text().trimmed()).toStdString();
    }
    p.OpcoesPerfil.Janela = LerMetros(eJanela, "Suavização (janela)");
    p.OpcoesPerfil.TrechoMinimo = LerMetros(eTrechoMinimo, "Trecho mínimo");
    ConferirOpcoesPerfil(p.OpcoesPerfil);
    return p;
}

void TDialogoEstradaMapa::accept() {
    try {
        FAceito = Pedido();
    } catch (const EMorvendo& e) {
        Erro(e.what());
        return;
    }
    QDialog::accept();
}
