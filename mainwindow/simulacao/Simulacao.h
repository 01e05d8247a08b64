#pragma once
#include <QWidget>

#include <functional>
#include <vector>

class QChart;
class QChartView;
class QGroupBox;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QTableWidget;
class QValueAxis;
class QCategoryAxis;
class TBaciaAcumulacao;

// Página "Simulação" da janela principal: largura (bacia retangular) ou raio (semicircular)
// da bacia de acumulação para as profundidades de 1,0 a 3,0 m, com o espaçamento do último
// cálculo ou outro digitado. Lê a forma da bacia do projeto, sem alterá-la, e não calcula
// mais nada.
class TPaginaSimulacao : public QWidget {
    Q_OBJECT
public:
    explicit TPaginaSimulacao(const TBaciaAcumulacao& bacia, QWidget* parent = nullptr);

    // Abertura da página (bSimul): traça a curva com o espaçamento (m) e o volume por metro
    // de canal (m³/m) do último cálculo. Quem chama mostra a página.
    void bSimulClick(int espacamento, double volumePorMetro);
    // Esvazia o campo do espaçamento (limpeza dos campos da janela principal).
    void LimparCampos();

    QLineEdit* eVolUni = nullptr;
    QGroupBox* grComp = nullptr;
    QLineEdit* eEspacamento = nullptr;
    QPushButton* bRecalc = nullptr;
    QTableWidget* tabelaSimulacao = nullptr;
    QChartView* graficoSimulacao = nullptr;
    QLineSeries* serieSimulacao = nullptr;
    QPushButton* btnAjudaSimulacao = nullptr;
    QPushButton* btnVoltarSimulacao = nullptr;

    // Título do eixo vertical e textos das marcas dos eixos, como desenhados.
    QString TituloEixoVertical() const;
    QStringList MarcasEixoHorizontal() const;
    QStringList MarcasEixoVertical() const;

    // Caixa de erro; sem função, a caixa padrão (título "Morvendo", ícone de parada).
    std::function<void(const QString&)> Erro;
    // Comprimento do canal do último cálculo: o maior espaçamento aceito (0: 100 000 m).
    int ComprimentoCanal = 0;

signals:
    // "&Voltar": mostre a página de resultados.
    void Voltar();

private:
    void bRecalcClick();
    void eEspacamentoChange(const QString& texto);
    void VoltarClick();
    void CalcularCurva();
    void LimparCurva();
    void MostrarErro(const QString& mensagem);

    const TBaciaAcumulacao& Bacia;
    QCategoryAxis* EixoX = nullptr;
    QCategoryAxis* EixoY = nullptr;
    int FEspacamento = 0;
    double FVolumePorMetro = 0;
};

// Marcas de um eixo: valores "redondos" que cobrem [minimo, maximo] em poucos passos.
// O passo nunca é menor que passoMinimo (a resolução da máscara dos rótulos), para que dois
// rótulos não saiam iguais.
std::vector<double> MarcasDoEixo(double minimo, double maximo, int maximoDeMarcas = 8,
                                 double passoMinimo = 0);
