#pragma once
#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "geo/Planta.h"
#include "project/Estudos.h"
#include "project/Locacao.h"

class QToolButton;

// "estaca 12 + 8,00 (248,0 m)": o lugar marcado, na planta e no perfil.
QString TextoDoLugar(double posicao);

// Um desenho (planta ou perfil) em imagem e em SVG do tamanho dado, com a fonte em pixels.
using TDesenhar = std::function<void(QPainter&, const QRectF&)>;
QImage ImagemDoDesenho(QSize tamanho, const QFont& fonte, const TDesenhar& desenhar);
QByteArray SvgDoDesenho(QSize tamanho, const QFont& fonte, const QString& titulo,
                        const TDesenhar& desenhar);

// A planta da estrada tirada do mapa: a linha em UTM (norte para cima, escala igual nos dois
// eixos) sobre o relevo sombreado do modelo de terreno, as estacas, as cristas e baixadas do
// perfil dos trechos e os desaguadouros de cada lado. A roda aproxima em volta do cursor,
// arrastar desloca; um clique marca o lugar mais perto da estrada.
class TPlantaEstrada : public QWidget {
public:
    explicit TPlantaEstrada(QWidget* pai = nullptr);

    // A linha (E, N em m) na ordem do estaqueamento, a posição de cada vértice (m), o relevo
    // (vazio sem modelo de terreno) e o sistema, como escrito na planta ("UTM 23 S").
    void DefinirEstrada(std::vector<QPointF> linha, std::vector<double> posicoes,
                        const TRelevo& relevo, const QString& sistema);
    void Esvaziar();
    bool Vazia() const { return FLinha.size() < 2; }
    void DefinirLocacao(std::vector<TTrecho> trechos, std::vector<TDesaguadouro> desaguadouros);
    // O lugar marcado, m ao longo da estrada; nullopt apaga a marca.
    void Marcar(std::optional<double> posicao);
    std::optional<double> Marca() const { return FMarca; }
    // Um clique na planta escolheu este lugar.
    std::function<void(double)> LugarEscolhido;
    void VerTudo();
    bool TemRelevo() const { return !FRelevo.isNull(); }

    // Na vista da tela: onde fica um lugar da estrada e qual lugar fica mais perto de um ponto.
    QPointF PontoNaTela(double posicao) const;
    double PosicaoMaisProxima(const QPointF& tela) const;
    struct TDesaguadouroNaTela {
        int Numero = 0;
        TLado Lado = TLado::Direito;
        double Posicao = 0;
        QPointF Ponto; // o símbolo, deslocado para o lado
    };
    std::vector<TDesaguadouroNaTela> DesaguadourosNaTela() const;
    // Rótulos das estacas que a vista da tela mostra.
    QStringList RotulosEstacas() const;

    // A estrada inteira no retângulo dado, com a fonte do pintor (em pixels).
    void Desenhar(QPainter& p, const QRectF& area) const;
    QImage Imagem(QSize tamanho) const;
    QByteArray Svg(QSize tamanho) const;
    QSize sizeHint() const override { return {420, 260}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // Centro (E, N) e escala (px por m) de uma vista.
    struct TVista {
        QPointF Centro;
        double Escala = 1;
    };
    struct TEstacaNaVista {
        double Posicao = 0;
        bool Rotulo = false;
    };
    // Onde um desaguadouro aparece: o lugar na estrada, a direção do seu lado (unitária, na
    // tela) e o símbolo, deslocado para esse lado.
    struct TSimbolo {
        QPointF NaEstrada, Lado, Ponto;
    };
    TSimbolo SimboloDe(const TDesaguadouro& d, const QRectF& area, const TVista& v, double h) const;
    TVista VistaTotal(const QRectF& area) const;
    TVista VistaDaTela() const;
    void Desenhar(QPainter& p, const QRectF& area, const TVista& v) const;
    std::vector<TEstacaNaVista> Estacas(const TVista& v, const QRectF& area,
                                        double larguraRotulo) const;
    // O ponto (E, N) da estrada e a direção dela (unitária) num lugar.
    QPointF PontoEm(double posicao, QPointF* direcao = nullptr) const;
    QFont FonteTela() const;

    std::vector<QPointF> FLinha;
    std::vector<double> FPosicoes;
    QImage FRelevo;
    QRectF FRetanguloRelevo; // x = E, y = N (oeste, sul, largura, altura)
    QString FSistema;
    std::vector<TTrecho> FTrechos;
    std::vector<TDesaguadouro> FDesaguadouros;
    std::optional<double> FMarca;
    std::optional<TVista> FVista; // sem ela, a estrada inteira
    std::optional<QPointF> FInicioArrasto;
    TVista FVistaNoArrasto;
    bool FArrastou = false;
    QToolButton* FVerTudo;
};
