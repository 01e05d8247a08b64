#pragma once
#include <string>
#include <string_view>
#include <vector>

// Gráfico de linhas em SVG, sem Qt: o relatório o leva embutido e a janela o desenha com o
// mesmo texto. Eixos com marcas em vírgula decimal, títulos com unidade, linhas de referência
// e legenda. O texto sai todo em ASCII (o resto em referências numéricas), para valer em
// qualquer codificação do documento que o contém.

struct TPontoGrafico {
    double X, Y;
};

struct TSerieGrafico {
    std::string Nome; // na legenda
    std::string Cor;  // "#rrggbb"
    std::vector<TPontoGrafico> Pontos;
    bool EixoDireito = false;
    bool Tracejada = false;
};

// Linha reta de referência: horizontal num valor de Y (do eixo esquerdo ou do direito) ou
// vertical num valor de X.
struct TLinhaReferencia {
    std::string Nome;
    std::string Cor;
    double Valor = 0;
    bool Vertical = false;
    bool EixoDireito = false;
};

struct TGraficoSvg {
    std::string Titulo;
    std::string TituloX, TituloY, TituloYDireito;
    int Largura = 680, Altura = 300; // px
    std::vector<TSerieGrafico> Series;
    std::vector<TLinhaReferencia> Linhas;
};

// O documento <svg> inteiro, numa linha só. Valores não finitos ficam de fora; sem pontos,
// os eixos saem de 0 a 1 com a nota "sem dados".
std::string DesenharGraficoSvg(const TGraficoSvg& grafico);

// Marcas de um eixo com passo 1, 2 ou 5 × 10^k cobrindo [minimo, maximo] com cerca de 'alvo'
// intervalos; a primeira e a última cobrem o intervalo.
std::vector<double> MarcasEixo(double minimo, double maximo, int alvo = 5);

// Texto posto em XML ou HTML: '&', '<' e '>' (e, com 'aspas', '"') viram entidades.
std::string EscaparXml(std::string_view texto, bool aspas);

// Texto de uma marca: as casas do passo, vírgula decimal.
std::string TextoMarca(double valor, double passo);
