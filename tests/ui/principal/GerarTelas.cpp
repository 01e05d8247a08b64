// Grava as telas da janela principal e dos seus diálogos em PNG (docs/telas), para conferir
// o que uma pessoa vê. Uso: gerar_telas PASTA_SAIDA PROJETO.mvd [PROJETO_PERDA_SOBE_E_DESCE.mvd]
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include "ajuda/Ajuda.h"
#include "comum/ArquivoIni.h"
#include "mainwindow/AbaIdentificacao.h"
#include "mainwindow/Acompanhamento.h"
#include "mainwindow/Principal.h"
#include "mainwindow/Sobre.h"
#include "mainwindow/simulacao/Simulacao.h"
#include "project/Calculo.h"
#include "project/ResumoResultado.h"
#include "project/ui/DialogoUnidades.h"

namespace {

QString GSaida;

void Gravar(QWidget* w, const char* nome) {
    QApplication::processEvents();
    w->grab().save(QDir(GSaida).filePath(QString::fromLatin1(nome) + ".png"));
}

// Grava e fecha a próxima janela modal que aparecer.
void GravarModal(const char* nome) {
    QTimer::singleShot(300, [nome] {
        if (QWidget* m = QApplication::activeModalWidget()) {
            Gravar(m, nome);
            m->close();
        }
    });
}

// Um projeto gravado noutras unidades avisa numa caixa, que se fecha.
void FecharProximoModal() {
    QTimer::singleShot(300, [] {
        if (QWidget* m = QApplication::activeModalWidget()) m->close();
    });
}

// A tabela exportada aberta como numa planilha: o arquivo gravado pelo "Exportar", lido com
// BOM, ';' e vírgula decimal e mostrado numa grade.
void GravarCsvComoPlanilha(TJanelaPrincipal& j) {
    const QString csv = QDir(GSaida).filePath(QStringLiteral("secoes.csv"));
    GravarArquivoAtomico(csv.toStdString(), CsvSecoes(j.Resultado()->Canal.Secoes));
    QFile f(csv);
    f.open(QIODevice::ReadOnly);
    QString texto = QString::fromUtf8(f.readAll());
    f.close();
    QFile::remove(csv);
    if (texto.startsWith(QChar(0xFEFF))) texto.remove(0, 1);
    const QStringList linhas = texto.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QTableWidget t(int(linhas.size()) - 1, 5);
    t.setWindowTitle(QStringLiteral("estrada-secoes.csv"));
    t.setHorizontalHeaderLabels(linhas[0].split(QLatin1Char(';')));
    for (int l = 1; l < linhas.size(); ++l) {
        const QStringList c = linhas[l].split(QLatin1Char(';'));
        for (int k = 0; k < c.size(); ++k) {
            auto* item = new QTableWidgetItem(c[k]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            t.setItem(l - 1, k, item);
        }
    }
    t.verticalHeader()->setDefaultSectionSize(22);
    t.resizeColumnsToContents();
    t.resize(t.verticalHeader()->width() + t.horizontalHeader()->length() + 20, 420);
    t.show();
    Gravar(&t, "25-csv-secoes");
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) return 2;
    GSaida = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(GSaida);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QTranslator traducao;
    if (traducao.load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traducao);
    QTemporaryDir temp;
    QDir::setCurrent(temp.path());

    TOpcoesPrincipal opcoes;
    opcoes.ArquivoConfiguracao = QDir(temp.path()).filePath("Morvendo.ini").toStdString();
    TJanelaPrincipal j(opcoes);
    // Como no programa: com a ajuda ligada, os botões de ajuda aparecem habilitados.
    j.DefinirAjuda({[](int c) { Ajuda::AbrirContexto(c); }, [] { Ajuda::AbrirConteudo(); },
                    [] { Ajuda::AbrirIndice(); }});
    j.show();
    Gravar(&j, "01-inicial");

    FecharProximoModal();
    j.GerenteArquivo().AbrirArquivo(argv[2]);
    j.MostrarPagina(PAG_DADOS);
    const char* abas[] = {"02-dados-estrada", "03-dados-bacias", "04-dados-precipitacao"};
    for (int i = 0; i < 3; ++i) {
        j.nbDados->setCurrentIndex(i);
        Gravar(&j, abas[i]);
    }
    j.cbCanal->setCurrentIndex(0);
    j.cbFormato->setCurrentIndex(0);
    j.cbCanalBacia->setCurrentIndex(0);
    j.cbEquivalente->setChecked(true);
    j.nbDados->setCurrentIndex(1);
    Gravar(&j, "05-dados-bacia-retangular");
    j.nbDados->setCurrentIndex(2);
    Gravar(&j, "06-dados-equivalente");
    j.nbDados->setCurrentIndex(0);
    j.rbSecao3->setChecked(true);
    Gravar(&j, "07-dados-trapezoidal-secao3");
    if (auto* id = j.findChild<TAbaIdentificacao*>()) {
        TIdentificacao exemplo;
        exemplo.Estrada = "Estrada municipal ER-12";
        exemplo.Trecho = "km 3,2 a km 3,45";
        exemplo.Municipio = "Iraí (RS)";
        exemplo.Engenheiro = "Eng. Maria da Silva";
        exemplo.Data = "10/12/2026";
        exemplo.Observacoes = "Conferir o espaçamento em campo.";
        id->Mostrar(exemplo);
        j.nbDados->setCurrentWidget(id);
        Gravar(&j, "20-dados-identificacao");
    }
    j.GerenteArquivo().Alterado = false;
    j.GerenteArquivo().AbrirArquivo(argv[2]);

    // Janela de andamento no meio do cálculo.
    QTimer espera;
    QObject::connect(&espera, &QTimer::timeout, [&] {
        if (TJanelaAcompanhamento* a = j.Acompanhamento(); a && a->EtapaDestacada() == 3) {
            Gravar(a, "08-andamento");
            espera.stop();
        }
    });
    espera.start(20);
    j.CalcularClick();
    Gravar(&j, "09-resultado");
    // As abas da página de resultados: a grade e os gráficos.
    const char* abasResultado[] = {"20-resultado-secoes", "21-grafico-perda-solo",
                                   "22-grafico-tensao-lamina", "23-grafico-hidrogramas"};
    for (int i = 0; i < 4; ++i) {
        j.tabResultados->setCurrentIndex(i + 1);
        Gravar(&j, abasResultado[i]);
    }
    // Maximizada, os gráficos acompanham a janela.
    const QSize tamanho = j.size();
    j.resize(1280, 800);
    j.tabResultados->setCurrentIndex(2);
    Gravar(&j, "24-resultado-1280x800");
    j.resize(tamanho);
    j.tabResultados->setCurrentIndex(0);
    GravarCsvComoPlanilha(j);
    j.bSimul->click();
    Gravar(&j, "13-simulacao");
    j.PaginaSimulacao()->btnVoltarSimulacao->click();
    // Diálogos de parâmetros e a consulta IDF, abertos pelos botões da página de dados.
    j.MostrarPagina(PAG_DADOS);
    const std::pair<QPushButton*, const char*> dialogos[] = {
        {j.btnBRugCan, "14-rugosidade-canal"},
        {j.btnRugTalude, "15-rugosidade-terreno"},
        {j.btnCoberVegTalude, "16-cobertura"},
        {j.bConsulta, "17-consulta"}};
    for (const auto& [botao, nome] : dialogos) {
        GravarModal(nome);
        botao->click();
    }
    j.MostrarPagina(PAG_RESULTADO);
    GravarModal("19-relatorio");
    j.bRelatorio->click();
    j.MostrarPagina(PAG_DADOS);
    j.cbCanal->setCurrentIndex(0);
    GravarModal("18-inclinacao-z");
    j.bZCan->click();

    GravarModal("10-unidades");
    j.ConfigurarUnidadesClick();
    GravarModal("11-sobre");
    j.MSobreMorvendoClick();
    j.MostrarPagina(PAG_DADOS);
    j.eK->clear();
    GravarModal("12-erro");
    j.CalcularClick();

    // Um caso em que a perda sobe e desce: as seções acima da tolerável dentro do espaçamento.
    if (argc > 3) {
        FecharProximoModal();
        j.GerenteArquivo().Alterado = false;
        j.GerenteArquivo().AbrirArquivo(argv[3]);
        j.CalcularClick();
        Gravar(&j, "26-resumo-acima-da-toleravel");
        j.tabResultados->setCurrentIndex(1);
        Gravar(&j, "27-secoes-acima-da-toleravel");
        j.tabResultados->setCurrentIndex(2);
        Gravar(&j, "28-grafico-acima-da-toleravel");
    }
    return 0;
}
