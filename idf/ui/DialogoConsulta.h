#pragma once
#include "idf/AjusteIdf.h"
#include "idf/BancoEstacoes.h"
#include "idf/ChuvaDeProjeto.h"
#include "idf/EstacoesUsuario.h"
#include "idf/ui/AmbienteConsulta.h"

#include <QDialog>
#include <QImage>
#include <QLabel>

#include <cstdint>
#include <optional>
#include <string>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QMenuBar;
class QPushButton;
class QStackedWidget;

// Figura com acesso aos pixels que avisa onde o ponteiro anda e onde o botão é solto.
class TFiguraMapa : public QLabel {
    Q_OBJECT
public:
    explicit TFiguraMapa(QWidget* pai);
    void DefinirFigura(const QImage& figura);
    const QImage& Figura() const { return FFigura; }
    // Cor do pixel; nullopt fora da figura.
    std::optional<TCor> Cor(int x, int y) const;

signals:
    void Movido(int x, int y);
    void Solto(int x, int y);

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QImage FFigura;
};

// Dados do relatório da consulta, tirados do diálogo no momento em que ele é montado.
struct TDadosRelatorioConsulta {
    QString Localidade, Estado, Latitude, Longitude;
    QString K, A, B, C;
    // Estações de onde vieram os parâmetros de um ponto (distância e peso), uma por linha.
    QString Origem;
    bool ComMapa = false;
    QImage Mapa;
    int X = 0, Y = 0; // posição da cruz
};

// Diálogo da consulta IDF: estado pela lista ou pelo mapa do Brasil; estação, localidade,
// ponto no mapa do estado ou coordenadas digitadas; mostra K, a, b, c.
class TDialogoConsulta : public QDialog, public IDialogoConsulta {
    Q_OBJECT
public:
    // Carrega todas as estações (erro do banco quando o arquivo falta ou está corrompido).
    explicit TDialogoConsulta(const TAmbienteConsulta& ambiente, QWidget* pai = nullptr);
    ~TDialogoConsulta() override;

    // ---- Preparação e leitura pelo componente ----
    void DefinirHelpContext(int contexto) override { FHelpContext = contexto; }
    void DefinirEstado(int indice) override { EstadoEscolhido.DefinirIndice(indice); }
    void DefinirPosicoes(std::int16_t indEstacao, std::int16_t indLocalidade) override;
    void DefinirMostrarSobre(bool mostrar) override { MostrarSobre = mostrar; }
    // Com o mapa do estado à mostra, fora da moldura: "Latitude <texto> não definida.".
    void LerLatitude(const std::string& texto) override;
    void LerLongitude(const std::string& texto) override;
    std::optional<TRespostaConsulta> Mostrar() override;
    TRespostaConsulta Resposta() const;

    // ---- Tratadores (lançam EMorvendo; os sinais da tela mostram o erro na caixa) ----
    void EstadosClick();
    void LBEstacaoClick();
    void LBLocalidadeClick();
    void EstadoBMPMouseMove(int x, int y);
    void EstadoBMPMouseUp(int x, int y);
    void BrasilBMPMouseMove(int x, int y);
    void BrasilBMPMouseUp(int x, int y);
    void CalculalaloClick();
    void PrecLaAuxKeyPress();
    void MapaDoBrasilClick();
    void BtnRelatClick();
    void AutorClick();
    // "Ajustar equação": aceito, os parâmetros ajustados vão para os quadros K, a, b, c.
    void AjustarEquacaoClick();
    void UsarEquacaoAjustada(const TParametrosIdf& p);
    // "Minhas estações": edita as estações do usuário; ao fechar, as listas e a interpolação
    // passam a usar o que ficou gravado.
    void MinhasEstacoesClick();
    // Relê as estações do usuário para o banco e refaz a lista de estações do estado.
    void AplicarMinhasEstacoes();
    // Abre o editor com o modelo (equação ajustada) e, aceito, grava a estação do usuário.
    bool SalvarMinhaEstacao(const TEstacaoUsuario& modelo, QWidget* pai);
    void SobreClick();
    void BtnOkClick();
    // Restaura a última consulta; roda uma vez, quando a janela aparece.
    void FormActivate();
    // A última consulta já foi restaurada (a janela apareceu).
    bool Restaurado() const { return FAtivado; }

    // Mapa do estado à mostra (página dos estados com um estado que tem mapa).
    bool MapaDoEstadoVisivel() const;
    TDadosRelatorioConsulta DadosRelatorio() const;
    const TAmbienteConsulta& Ambiente() const { return FAmbiente; }

    // ---- Estado do formulário ----
    TBancoEstacoes BD;
    TEstacoesUsuario Minhas;
    TEstado EstadoEscolhido;
    TEstacao Registro;
    std::string StrLatitude, StrLongitude;
    double Latitude = 0, Longitude = 0;
    std::string StrCidade;
    std::int16_t IndEstacao = -1, IndLocalidade = -1;
    bool MostrarSobre = false;
    bool PrimeiraAtivacao = true;
    std::string Autoria;

    // ---- Controles ----
    QMenuBar* Menu;
    QAction* acaoMapaDoBrasil;
    QAction* acaoRelatorio;
    QAction* Contedo1;
    QAction* acaoAjudaSobre;
    QAction* acaoSobre;
    QAction* MinhasEstacoes1;
    QStackedWidget* Notebook1;
    TFiguraMapa* BrasilBMP;
    QLabel *NomeCid, *LatCid, *LonCid, *LabelLatitude, *LabelLongitude;
    TFiguraMapa* EstadoBMP;
    QFrame *EixoX, *EixoY;
    QLabel *LabelLat, *LabelLon;
    QComboBox* Estados;
    QListWidget* LBEstacao;
    QLabel* LLocalidades;
    QListWidget* LBLocalidade;
    QLabel* lAviso;
    QPushButton* Autor;
    QPushButton* BtnAjustarIdf;
    QPushButton* BtnMinhas;
    // Posição do ponteiro sobre o mapa do estado; os quadros de coordenadas só mudam no clique.
    QLabel* LabelPonteiro;
    // De onde vieram os parâmetros de um ponto: a estação a até 1 km ou as da interpolação.
    QLabel* LabelOrigem;
    QGroupBox* gbLocalizacao;
    QLineEdit *PrecLaAux, *PrecLoAux;
    QPushButton* Calculalalo;
    QGroupBox* Precipitacao;
    QLineEdit *PrecK, *PrecA, *PrecB, *PrecC;
    QPushButton *BtnRelat, *BtnAjuda, *BtnCancel, *BtnOk;

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void MontarTela();
    void LigarSinais();
    // Roda o tratador e mostra o erro na caixa de erro, com o diálogo aberto.
    template <class F> void Protegido(F&& f);
    // Escolha de uma linha pelo usuário; recusada, a caixa de erro vem depois do clique.
    void EscolherNaLista(QListWidget* lista, void (TDialogoConsulta::*tratador)());
    // Volta a marca da lista à linha cujos dados estão nos quadros.
    void RestaurarMarca(QListWidget* lista);

    double ConferirLatitude(const std::string& texto) const;
    double ConferirLongitude(const std::string& texto) const;
    void DefinirLatitude(double v);
    void DefinirLongitude(double v);
    void GuardarCoordenadas(double lat, const std::string& strLat, double lon,
                            const std::string& strLon);
    // Cruz no ponto atual, com o autor dado, quando ele cai no estado; fora, só a esconde.
    void MarcarPontoAtual(const QString& autor);
    void CalcularPixel();
    bool DentroDoEstado(int x, int y) const;
    void PosicionarCruz(int x, int y);
    void EsconderCruz();
    void EsconderRotulosEstacao();
    void LimparQuadros();
    void MostrarParametros(const TEstacao& e, const char* mK, const char* mA, const char* mB,
                           const char* mC);
    void Desmarcar(QListWidget* lista);
    void Marcar(QListWidget* lista, int linha);
    void AtualizarAviso();
    // Coordenada digitada (graus, minutos e segundos ou graus decimais) no texto do banco;
    // EMorvendo nomeando o campo quando não é uma coordenada ao sul e a oeste.
    std::string LerTextoCoordenada(const QLineEdit* edit, bool latitude) const;
    // Consulta no ponto com o raio do programa; ESemEstacoesNoRaio sem estação perto.
    TConsultaPonto ConsultarPonto(const std::string& lat, const std::string& lon) const;
    // Parâmetros de um ponto: os da estação com todas as casas, os interpolados com as
    // máscaras dadas para K e b; a origem abaixo dos quadros. Devolve o texto do Autor.
    QString MostrarConsulta(const TConsultaPonto& c, const char* mK, const char* mB);
    void LimparOrigem();
    // "&Calcular" num estado sem mapa: a consulta direto no ponto digitado.
    void CalcularSemMapa(double lat, const std::string& strLat, double lon,
                         const std::string& strLon);
    void SelecionarEstado(int indice);
    // Botão Autor sem fonte a mostrar (nada escolhido, ou ponto fora do estado).
    void AutorSemFonte();
    void MostrarAutor(const QString& autor);
    void PreencherListaEstacoes();
    void MinhasMudaram();
    // Estação do usuário em uso (pelo nome e coordenadas do registro); nullptr se não há.
    const TEstacaoUsuario* MinhaEstacaoEmUso() const;

    TAmbienteConsulta FAmbiente;
    int FHelpContext = 0;
    TMolduraMapa FMoldura{};
    int FX = 0, FY = 0;
    bool FCruz = false; // ponteiro do mapa em cruz: a última posição estava no estado
    bool CliqueSimulado = false;
    bool AtivandoFormulario = false;
    bool FRestaurandoEstado = false;
    bool FAtivado = false;
    bool FRecusaPendente = false;
    // Erro do arquivo das estações do usuário, mostrado quando a janela aparece.
    QString FErroMinhas;
    // Linha de cada lista cujo conteúdo está nos quadros (-1: nenhuma).
    int FLinhaEstacao = -1, FLinhaLocalidade = -1;
    // A última consulta num ponto cujos parâmetros estão nos quadros.
    std::optional<TConsultaPonto> FConsulta;
};
