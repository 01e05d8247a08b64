#include "project/ui/DialogoUnidades.h"

#include "ajuda/Ajuda.h"
#include "comum/ContextosAjuda.h"
#include "comum/Numeros.h"
#include "comum/ui/RotinasUi.h"
#include "engine/Persistencia.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

#include "idf/BancoEstacoes.h"

namespace {

QComboBox* Lista(const std::vector<std::string>& itens, const char* nome) {
    auto* cb = new QComboBox;
    cb->setObjectName(QString::fromLatin1(nome));
    for (const std::string& i : itens)
        cb->addItem(QString::fromStdString(i));
    return cb;
}

// Raio digitado com a vírgula ou o ponto decimal.
std::optional<double> LerRaio(const QLineEdit* e) {
    const std::string t = e->text().trimmed().toStdString();
    if (const auto v = TentarTextoParaReal(t, SeparadorDecimalLocal())) return v;
    return TentarTextoParaReal(t, '.');
}

} // namespace

TDialogoUnidades::TDialogoUnidades(TUnidades& u, QWidget* pai) : QDialog(pai), FUnidades(u) {
    setObjectName(QStringLiteral("DialogoUnidades"));
    setWindowTitle(QStringLiteral("Configuração do sistema"));
    setWindowIcon(QApplication::windowIcon());

    cbDecli = Lista(ITENS_DECLIVIDADE, "cbDecli");
    cbVI = Lista(ITENS_VI, "cbVI");
    std::vector<std::string> estados;
    for (int i = 0; i < NumeroEstados; ++i)
        estados.push_back(NomeEstado(i));
    cbEstado = Lista(estados, "cbEstado");
    cbEstado->setMaxVisibleItems(14);
    cbErodibilidade = Lista(ITENS_ERODIBILIDADE, "cbErodibilidade");
    eRaio = new QLineEdit;
    eRaio->setObjectName(QStringLiteral("eRaio"));
    eRaio->setToolTip(QStringLiteral(
        "Só as estações a até esta distância do ponto entram na interpolação da consulta IDF "
        "(de 10 a 300 km). Um raio grande estende ao lugar a chuva de estações distantes."));
    eRaio->setText(
        QString::fromStdString(FormatFloat("0.##", RaioInterpolacaoKm(), SeparadorDecimalLocal())));
    MostrarErro = MostrarCaixaErro;

    auto* formulario = new QFormLayout;
    auto linha = [&](const char* rotulo, QComboBox* cb) {
        auto* l = new QLabel(QString::fromUtf8(rotulo));
        l->setBuddy(cb);
        formulario->addRow(l, cb);
    };
    linha("Unidade da &declividade:", cbDecli);
    linha("Unidade da &taxa de infiltração estável:", cbVI);
    linha("&Estado:", cbEstado);
    linha("E&rodibilidade:", cbErodibilidade);
    {
        auto* l = new QLabel(QStringLiteral("&Raio de interpolação da chuva (km):"));
        l->setBuddy(eRaio);
        formulario->addRow(l, eRaio);
    }

    ok = new QPushButton(QStringLiteral("&Ok"));
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    Cancela = new QPushButton(QStringLiteral("&Cancelar"));
    Cancela->setObjectName(QStringLiteral("Cancela"));
    BAjuda = new QPushButton(QStringLiteral("Aj&uda"));
    BAjuda->setObjectName(QStringLiteral("BAjuda"));
    Ajuda::DefinirContexto(this, CONTEXTO_UNIDADES);
    connect(BAjuda, &QPushButton::clicked, this, [] { Ajuda::AbrirContexto(CONTEXTO_UNIDADES); });
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(ok);
    botoes->addWidget(Cancela);
    botoes->addWidget(BAjuda);

    auto* principal = new QVBoxLayout(this);
    principal->addLayout(formulario);
    principal->addSpacing(8);
    principal->addLayout(botoes);
    principal->setSizeConstraint(QLayout::SetFixedSize);

    cbDecli->setCurrentIndex(u.Declividade);
    cbVI->setCurrentIndex(u.VI);
    cbEstado->setCurrentIndex(u.Estado >= 0 && u.Estado < NumeroEstados ? u.Estado : -1);
    cbErodibilidade->setCurrentIndex(u.Erodibilidade);

    connect(cbDecli, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i < 0) return;
        FUnidades.SetDeclividade(std::uint8_t(i));
        FUnidades.MudouDeclividade();
    });
    connect(cbVI, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i < 0) return;
        FUnidades.SetVI(std::uint8_t(i));
        FUnidades.MudouVI();
    });
    connect(cbErodibilidade, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i < 0) return;
        const double anterior = FUnidades.FatorErodibilidade;
        FUnidades.SetErodibilidade(std::uint8_t(i));
        FUnidades.MudouErodibilidade(anterior);
    });
    connect(ok, &QPushButton::clicked, this, &TDialogoUnidades::OkClick);
    connect(Cancela, &QPushButton::clicked, this, &QDialog::reject);
}

void TDialogoUnidades::OkClick() {
    const auto raio = LerRaio(eRaio);
    try {
        if (!raio)
            throw EMorvendo("O raio de interpolação da chuva \"" +
                            eRaio->text().trimmed().toStdString() +
                            "\" não é um número; digite de 10 a 300 km.");
        ConferirRaioInterpolacao(*raio);
    } catch (const EMorvendo& e) {
        MostrarErro(this, QString::fromStdString(e.what()));
        eRaio->setFocus();
        eRaio->selectAll();
        return;
    }
    accept();
}

bool ConfigurarUnidades(TUnidades& u, QWidget* pai) {
    const std::uint8_t declividade = u.Declividade, vi = u.VI, comprimento = u.Comprimento,
                       erodibilidade = u.Erodibilidade;
    const int estado = u.Estado;
    TDialogoUnidades d(u, pai);
    if (d.exec() == QDialog::Accepted) {
        u.SetDeclividade(std::uint8_t(d.cbDecli->currentIndex()));
        u.SetVI(std::uint8_t(d.cbVI->currentIndex()));
        if (d.cbEstado->currentIndex() >= 0) u.Estado = d.cbEstado->currentIndex();
        if (const auto raio = LerRaio(d.eRaio)) DefinirRaioInterpolacaoKm(*raio);
        return true;
    }
    u.SetDeclividade(declividade);
    u.SetVI(vi);
    u.SetComprimento(comprimento);
    const double fatorErodibilidade = u.FatorErodibilidade;
    u.SetErodibilidade(erodibilidade);
    u.MudouErodibilidade(fatorErodibilidade);
    u.Estado = estado;
    u.MudouDeclividade();
    u.MudouVI();
    return false;
}
