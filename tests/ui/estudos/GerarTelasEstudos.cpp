// Grava as telas das páginas de estudo e de trechos em PNG (docs/telas).
// Uso: gerar_telas_estudos PASTA_SAIDA PROJETO_COM_TRECHOS.mvd [PERFIL.csv]
// Com o perfil, os trechos da página saem dele (com a crista e a baixada do levantamento).
// A planta usa a estrada inventada dos testes (modelo de terreno e linha feitos aqui).
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include "mainwindow/Principal.h"
#include "mainwindow/estudos/PaginaEstudo.h"
#include "mainwindow/estudos/PaginaProtecao.h"
#include "mainwindow/estudos/PaginaTrechos.h"
#include "project/Estudos.h"
#include "tests/ui/estudos/GeografiaSintetica.h"

namespace {

void Esperar(int ms) {
    QEventLoop laco;
    QTimer::singleShot(ms, &laco, &QEventLoop::quit);
    laco.exec();
}

void Gravar(QWidget* w, const QString& pasta, const char* nome) {
    QApplication::processEvents();
    w->grab().save(QDir(pasta).filePath(QString::fromLatin1(nome) + ".png"));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) return 2;
    const QString saida = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(saida);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QTemporaryDir temp;
    TOpcoesPrincipal opcoes;
    opcoes.ArquivoConfiguracao = QDir(temp.path()).filePath("Morvendo.ini").toStdString();
    TJanelaPrincipal j(opcoes);
    j.resize(900, 640);
    j.show();
    if (!j.GerenteArquivo().AbrirArquivo(argv[2])) return 1;

    j.findChild<QAction*>(QStringLiteral("MEstudo"))->trigger();
    TPaginaEstudo* e = j.PaginaEstudo();
    int i = 0;
    while (ParametrosEstudo()[std::size_t(i)].Parametro != TParametroEstudo::Declividade)
        ++i;
    e->cbParametro->setCurrentIndex(i);
    const bool pct = j.Unidades().FatorDeclividade != 1;
    e->eInicio->setText(pct ? "1" : "0,01");
    e->eFim->setText(pct ? "10" : "0,1");
    e->ePasso->setText(pct ? "0,5" : "0,005");
    e->Calcular();
    while (e->Calculando())
        Esperar(50);
    Gravar(&j, saida, "20-estudo");

    j.findChild<QAction*>(QStringLiteral("MTrechos"))->trigger();
    TPaginaTrechos* t = j.PaginaTrechos();
    if (argc > 3) {
        t->Confirmar = [](const QString&) { return true; };
        t->DerivarDoPerfil(QString::fromLocal8Bit(argv[3]));
    }
    // A página dos trechos leva a tabela, o perfil e a nota: a janela maior.
    j.resize(1180, 860);
    t->Calcular();
    while (t->Calculando())
        Esperar(50);
    Gravar(&j, saida, "21-trechos");

    // A estrada do mapa: a planta ao lado do perfil, com um lugar marcado, numa janela maior.
    j.resize(1360, 920);
    const std::string terreno = QDir(temp.path()).filePath("terreno.tif").toStdString();
    const std::string linhas = QDir(temp.path()).filePath("estradas.gpkg").toStdString();
    if (!geografia::CriarTerreno(terreno) || !geografia::CriarLinhas(linhas)) return 1;
    TPedidoEstrada pedido;
    pedido.Linha = linhas;
    pedido.Terreno = terreno;
    pedido.OpcoesLinha.Camada = "estradas";
    pedido.OpcoesLinha.Feicao = 1;
    t->Confirmar = [](const QString&) { return true; };
    t->AbrirDoMapa(pedido);
    while (t->Calculando())
        Esperar(50);
    t->Calcular();
    while (t->Calculando())
        Esperar(50);
    t->MarcarLugar(505);
    Gravar(&j, saida, "22-planta");
    j.resize(900, 640);

    j.findChild<QAction*>(QStringLiteral("MProtecao"))->trigger();
    TPaginaProtecao* p = j.PaginaProtecao();
    p->eProfundidadeCanal->setText("0,5");
    p->eCustoGrama->setText("12");
    p->eCustoManta->setText("35");
    p->eCustoEnrocamento->setText("90");
    p->eCustoConcreto->setText("140");
    p->eCustoDesaguadouro->setText("2500");
    p->Calcular();
    while (p->Calculando())
        Esperar(50);
    Gravar(&j, saida, "22-protecao");
    return 0;
}
