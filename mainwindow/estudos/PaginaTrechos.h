#pragma once
#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "geo/EstradaDoMapa.h"
#include "mainwindow/estudos/Ambiente.h"
#include "project/Estudos.h"
#include "project/Locacao.h"
#include "project/Projeto.h"

class QLabel;
class QLineEdit;
class QPainter;
class QPrinter;
class QProgressBar;
class QSplitter;
class QPushButton;
class QTableView;
class TExecucaoLote;
class TModeloTrechos;
class TModeloNotaLocacao;
class TPlantaEstrada;
class TTabelaResultados;

// O perfil da estrada: as cotas ao longo do estaqueamento tiradas das declividades dos
// trechos, as cristas e as baixadas, a declividade de cada trecho e os desaguadouros de cada
// lado. O mesmo desenho vai para a tela, a impressão, o PNG e o SVG.
class TDesenhoEstrada : public QWidget {
public:
    explicit TDesenhoEstrada(QWidget* pai = nullptr);
    void Definir(std::vector<TTrecho> trechos, double cotaInicial,
                 std::vector<TDesaguadouro> desaguadouros);
    // O perfil lido do mapa a cada metro, antes da suavização, desenhado fino sob o perfil dos
    // trechos para mostrar o que a suavização tirou; vazio: nenhum.
    void DefinirPerfilLido(const std::vector<TPontoPerfil>& lido);
    const std::vector<QPointF>& PerfilLido() const { return FLido; }
    QSize sizeHint() const override { return {600, 230}; }
    // Textos das marcas do eixo das estacas, como desenhados, e o título dele.
    QStringList MarcasEixo() const;
    QString TituloEixo() const;
    // Desenha no retângulo dado com a fonte do pintor (em pixels: o pintor pode estar em
    // escala, numa impressora ou num SVG).
    void Desenhar(QPainter& p, const QRectF& area) const;
    QImage Imagem(QSize tamanho) const;
    QByteArray Svg(QSize tamanho) const;
    static QColor CorDoLado(TLado lado);
    const std::vector<TDesaguadouro>& Desaguadouros() const { return FDesaguadouros; }
    // O lugar marcado, m ao longo da estrada; nullopt apaga a marca.
    void Marcar(std::optional<double> posicao);
    std::optional<double> Marca() const { return FMarca; }
    // Um clique no perfil escolheu este lugar.
    std::function<void(double)> LugarEscolhido;
    // Abscissa, na tela, de um lugar da estrada.
    double XDaPosicao(double posicao) const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QFont FonteTela() const;
    std::vector<TTrecho> FTrechos;
    std::vector<double> FCotas; // nos limites dos trechos
    std::vector<QPointF> FLido; // (posição, cota) do perfil lido, reduzido para o desenho
    // As cotas que a escala vertical cobre: as dos trechos e os extremos do perfil lido.
    std::vector<double> CotasDaEscala() const;
    std::vector<TDesaguadouro> FDesaguadouros;
    std::optional<double> FMarca;
};

// Página dos trechos de uma estrada: a lista de trechos do projeto (digitada, importada de
// um CSV ou tirada do perfil longitudinal), com os canais de cada lado e as cotas, e a
// locação dos desaguadouros seguindo a água, com a nota de locação e o perfil desenhado.
class TPaginaTrechos : public QWidget {
    Q_OBJECT
public:
    explicit TPaginaTrechos(TAmbienteEstudos ambiente, QWidget* pai = nullptr);
    ~TPaginaTrechos() override;

    // Unidades configuradas nos títulos e nos valores.
    void Atualizar();
    // O projeto mudou: os trechos dele aparecem, o cálculo em curso e os resultados se vão.
    void Recarregar();

    void Acrescentar();
    void Remover();
    // Trechos de um CSV ou do perfil no lugar dos da tabela; com trechos na tabela, só depois
    // de Confirmar, e Desfazer (Ctrl+Z na página) os devolve.
    void ImportarCsv(const QString& caminho);
    void DerivarDoPerfil(const QString& caminho);
    // A estrada do mapa: lida numa linha própria (o modelo de terreno pode ser grande); os
    // trechos do perfil dela substituem os da tabela como em DerivarDoPerfil, e a planta
    // aparece. Os erros da leitura vão para a caixa de erro e nada muda.
    void AbrirDoMapa(const TPedidoEstrada& pedido);
    bool TemEstradaDoMapa() const { return FEstrada != nullptr; }
    // O diálogo da estrada do mapa; os testes respondem sem ele.
    std::function<std::optional<TPedidoEstrada>(const TPedidoEstrada& anterior)> PedirEstrada;
    void Desfazer();
    bool PodeDesfazer() const { return FAntesDaImportacao.has_value(); }
    // Pergunta sim ou não; os testes respondem sem caixa.
    std::function<bool(const QString&)> Confirmar;
    // O fator digitado vai para o projeto; EMorvendo quando não serve.
    void AplicarFator();
    void Calcular();
    void Cancelar();
    bool Calculando() const;
    // A nota em CSV das planilhas: ';', vírgula decimal, UTF-8 com BOM.
    void ExportarCsv(const QString& caminho);
    // O perfil em PNG ou SVG, pela extensão.
    void ExportarDesenho(const QString& caminho);
    // A planta da estrada em PNG ou SVG, pela extensão.
    void ExportarPlanta(const QString& caminho);
    // Os desaguadouros e os canais no mapa (GeoPackage, KML, GPX, GeoJSON ou CSV, pela
    // extensão), pelo módulo do mapa.
    void ExportarParaMapa(const QString& caminho);
    // Marca o lugar na planta e no perfil.
    void MarcarLugar(double posicao);
    void ImprimirEm(QPrinter& impressora);
    // Título, perfil e nota em páginas do tamanho de 'pagina' (unidades do pintor, em pontos
    // na impressora); novaPagina passa à folha seguinte. Devolve o número de páginas.
    int DesenharImpressao(QPainter& p, const QRectF& pagina,
                          const std::function<void()>& novaPagina) const;
    const TResultadoLocacao& Nota() const;

    unsigned Linhas;

    TTabelaResultados* tbTrechos;
    QPushButton *btnAcrescentarTrecho, *btnRemoverTrecho, *btnImportarTrechos, *btnPerfil,
        *btnEstradaMapa;
    QLineEdit *eTolerancia, *eFator;
    QLabel *lblTolerancia, *lblSituacaoTrechos;
    QPushButton *btnCalcularTrechos, *btnCancelarTrechos, *btnCopiarTrechos, *btnExportarTrechos,
        *btnExportarDesenho, *btnExportarPlanta, *btnExportarMapa, *btnImprimirTrechos,
        *btnVoltarTrechos;
    QProgressBar* pbTrechos;
    TDesenhoEstrada* DesenhoEstrada;
    TPlantaEstrada* PlantaEstrada;
    TTabelaResultados* tbNota;

private:
    void Habilitar();
    void Alterados();
    void Redesenhar();
    // 'estrada': a do mapa de onde vieram os trechos; nenhuma para os de outra origem.
    bool Substituir(std::vector<TTrecho> trechos, std::optional<double> cota, const QString& origem,
                    std::shared_ptr<const IEstradaDoMapa> estrada = {},
                    std::optional<TEstradaMapaProjeto> registro = {});
    // Abre a estrada numa linha própria; 'aberta' roda na linha da janela. Um erro vai para a
    // caixa, depois de 'falha'.
    void LerEstrada(const TPedidoEstrada& pedido, const std::string& falha,
                    std::function<void(std::shared_ptr<const IEstradaDoMapa>)> aberta);
    QString EscolherArquivo(const QString& titulo);
    // Nome de um PNG ou SVG a gravar, com a extensão do filtro quando falta.
    QString EscolherImagem(const QString& titulo, const QString& padrao);
    // A tolerância digitada, m/m; EMorvendo quando não serve.
    double Tolerancia();
    void MostrarEstrada();

    TAmbienteEstudos FAmb;
    TExecucaoLote* FLote;
    QSplitter* FDesenhos; // o perfil e a planta lado a lado
    TModeloTrechos* FModelo;
    TModeloNotaLocacao* FNota;
    QElapsedTimer FUltimoAndamento;
    // Os trechos e a cota inicial de antes da última importação, até a próxima mudança.
    struct TAntes {
        std::vector<TTrecho> Trechos;
        std::optional<double> Cota;
        std::shared_ptr<const IEstradaDoMapa> Estrada;
        std::optional<TEstradaMapaProjeto> Registro;
    };
    std::optional<TAntes> FAntesDaImportacao;
    // A estrada do mapa dos trechos da tabela e o pedido da última abertura.
    std::shared_ptr<const IEstradaDoMapa> FEstrada;
    TPedidoEstrada FPedidoMapa;
};
