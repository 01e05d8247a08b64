#pragma once
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "dialogs/Cobertura.h"
#include "dialogs/DialogoInclinacaoTalude.h"
#include "dialogs/DialogoRugosidadeCanal.h"
#include "dialogs/DialogoRugosidadeTerreno.h"
#include "project/GerenteArquivo.h"
#include "project/Projeto.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QTableView;
class QTimer;
class QToolButton;
class QUrl;
class TJanelaAcompanhamento;
class QTextBrowser;
class TFiltroNumerico;
class TGradeSecoes;
class TModeloSecoes;
class TPaginaEstudo;
class TPainelGrafico;
class TPaginaSimulacao;
class TPaginaProtecao;
class TPaginaTrechos;
struct TResultadoCalculo;

// Tudo o que a janela principal mostra ou pergunta a uma pessoa. A interface gráfica usa as
// caixas do Qt; os testes respondem por roteiro.
class IInteracaoPrincipal : public IDialogosGerente {
public:
    // Caixa de erro: título "Morvendo", ícone de parada, botão OK.
    virtual void MostrarErro(const std::string& mensagem) = 0;
    // Caixa de informação com OK.
    virtual void MostrarInformacao(const std::string& mensagem) = 0;
    // Abre um endereço no navegador; falso quando não conseguiu.
    virtual bool AbrirEndereco(const QUrl& endereco) = 0;
    // Arquivo onde gravar uma exportação (tabela, hidrogramas, gráfico), com o título, o
    // caminho proposto e o filtro do diálogo; vazio quando o usuário desiste.
    virtual std::optional<std::string> EscolherArquivoExportar(const std::string& /*titulo*/,
                                                               const std::string& /*proposto*/,
                                                               const std::string& /*filtro*/) {
        return std::nullopt;
    }
};

struct TOpcoesPrincipal {
    // Arquivo de configuração; vazio: "Morvendo.ini" ao lado do programa, ou na pasta de
    // configuração do usuário quando a do programa não pode ser gravada.
    std::string ArquivoConfiguracao;
    // Vazio: as caixas do Qt.
    IInteracaoPrincipal* Interacao = nullptr;
};

// Serviço de ajuda: quem o fornece liga os botões e o menu de ajuda.
struct TServicoAjuda {
    std::function<void(int contexto)> AbrirContexto;
    std::function<void()> Conteudo;
    std::function<void()> Pesquisar;
};

// Página de uma página principal.
enum TPagina {
    PAG_INICIAL = 0,
    PAG_DADOS = 1,
    PAG_RESULTADO = 2,
    PAG_SIMULACAO = 3,
    PAG_ESTUDO = 4,
    PAG_TRECHOS = 5,
    PAG_PROTECAO = 6
};

// Janela principal: dona do motor, das unidades, do gerente de projetos e da consulta IDF.
class TJanelaPrincipal : public QMainWindow {
    Q_OBJECT
public:
    explicit TJanelaPrincipal(TOpcoesPrincipal opcoes = {});
    ~TJanelaPrincipal() override;

    static constexpr const char* TituloPrograma = "Morvendo";

    // Acesso para quem liga os diálogos, o relatório, a simulação e a ajuda.
    TProjeto& Projeto() { return *FProjeto; }
    TUnidades& Unidades() { return FUnidades; }
    TGerenteArquivo& GerenteArquivo() { return FGerente; }
    template <class T = QWidget> T* Controle(const QString& nome) const {
        return findChild<T*>(nome);
    }
    TPaginaSimulacao* PaginaSimulacao() const { return FPaginaSimulacao; }
    TPaginaEstudo* PaginaEstudo() const { return FPaginaEstudo; }
    TPaginaTrechos* PaginaTrechos() const { return FPaginaTrechos; }
    TPaginaProtecao* PaginaProtecao() const { return FPaginaProtecao; }
    QPrinter& Impressora();
    void MostrarPagina(TPagina pagina);
    int PaginaAtual() const;
    void MarcarAlterado();
    bool Alterado() const { return FGerente.Alterado; }
    // Mostra K, a, b, c e as coordenadas da consulta IDF nos campos.
    void MostrarParametrosIdf();
    void MostrarOrigemChuva();
    void DefinirAjuda(TServicoAjuda servico);
    const std::string& ArquivoConfiguracao() const { return FArquivoConfiguracao; }
    // Resultado do último cálculo concluído (nulo antes do primeiro).
    const TResultadoCalculo* Resultado() const { return FResultado.get(); }
    // Onde "Calcular" grava a tabela de texto: a pasta de cache do usuário.
    static QString ArquivoTabelaTexto();
    // Janela de andamento do cálculo em curso (nula fora de um cálculo).
    TJanelaAcompanhamento* Acompanhamento() const { return FAcompanhamento; }
    // Executa uma ação de comando e mostra na caixa de erro o erro que ela levantar.
    void Proteger(const std::function<void()>& acao);
    IInteracaoPrincipal& Interacao() { return *FInteracao; }

    // Leitura e verificação dos dados.
    void LerCampos(bool validar);
    void ValidarDados();

    // Eventos do gerente de projetos.
    void QuandoZerarVariaveis();
    void QuandoConferirArquivo(const std::string& caminho);
    void QuandoLerArquivo(bool& leuCerto);
    void QuandoEscreverArquivo();
    void QuandoHabilitarCampos();
    void QuandoDesabilitarCampos();
    void QuandoLerCamposDados();
    void QuandoPreencherCamposDados();
    void QuandoLimparCamposDados();
    void AtualizarDeclividades();
    void AtualizarInfiltracoes();
    // Converte a erodibilidade mostrada da unidade de fator fatorAnterior para a atual, para
    // que a grandeza física fique a mesma.
    void AtualizarErodibilidade(double fatorAnterior);
    // Lê os campos e verifica os valores; todas as falhas, na ordem da tela e da verificação.
    std::vector<TFalhaValidacao> VerificarDados();
    void btnVerificarDadosClick();

    // Comandos.
    void MNovoClick();
    void MAbrirClick();
    void MSalvarClick();
    void MSalvarComoClick();
    void MFecharClick();
    void AbrirRecenteClick(int tag);
    void MSairClick();
    void MConfigImpresClick();
    void ConfigurarUnidadesClick();
    void MSobreMorvendoClick();
    void PaginaInternetClick(int tag);
    void CalcularClick();
    void btnVoltarResultClick();
    // Abre um projeto dado (linha de comando, tipo de arquivo associado).
    bool AbrirProjeto(const std::string& caminho);

    // Botões da página de dados e da página de resultados que abrem outros componentes.
    void btnBRugCanClick();
    void bRugCanBaciaClick();
    void btnRugTaludeClick();
    void btnCoberVegTaludeClick();
    void bZCanClick();
    void ZCanalBaciaClick();
    void bConsultaClick();
    void bRelatorioClick();
    void bSimulClick();

    // Componentes dos diálogos de parâmetros.
    TRugosidadeCanal EscolhaRugosidadeCanal;
    TRugosidadeTerreno EscolhaRugosidadeTerreno;
    Dialogos::TCobertura EscolhaCobertura;
    TInclinacaoTalude EscolhaInclinacaoTalude;

    // Página de dados.
    QTabWidget* nbDados;
    QLineEdit *eTrDim, *eTrEsp, *eTrEsp1, *eK, *eA, *eB, *eC;
    QLineEdit *eVIBEstrada, *eStEstrada, *eCompEstrada, *eRugEstrada;
    QLineEdit *eVIBTalude, *eStTalude, *eCompTalude, *eRugTalude;
    QLineEdit *edtZCanalBacia, *edtBCanalBacia, *em1CanalBacia, *em2CanalBacia;
    QLineEdit *edtNcCanalBacia, *edtScCanalBacia, *em1Bacia, *em2Bacia, *eProfBacia;
    QLineEdit *em1, *em2, *ValorB, *ValorZ, *eSc, *enc, *eCanComp;
    QLineEdit *eAprofundamento, *eTalCritica, *eErodibilidade, *eDensidade;
    QLineEdit *PrecLa1, *PrecLo1;
    // Lugar e origem da chuva em uso (estação, localidade, ponto, ajustada ou digitada).
    QLabel* lOrigemChuva;
    QLabel *lblSc, *lblStEstrada, *lblStTalude, *lblVIBTalude, *lblVIBEstrada, *lblErod;
    QLabel* lblScBacia; // declividade do canal de condução, na unidade das declividades
    QLabel *eLargEst, *lblTrEquivalente, *lblAnosTrEquivalente, *lblM1Bacia, *lblM2Bacia;
    QLabel *iSecao1, *iSecao2, *iSecao3, *imgBacia;
    QLabel* lblCoberVeg;
    QRadioButton *rbSecao1, *rbSecao2, *rbSecao3;
    QGroupBox* bgSecaoCorte;
    QComboBox *cbCanal, *cbCanalBacia, *cbFormato;
    QStackedWidget *nbCanal, *nbBacia, *nbFormato;
    QCheckBox *cbCalcVolume, *cbEquivalente;
    // Canal trapezoidal com a curva de descarga antiga, para reproduzir projetos feitos com ela.
    QCheckBox* cbCurvaOriginal;
    QPushButton *btnBRugCan, *bRugCanBacia, *btnRugTalude, *btnCoberVegTalude, *bConsulta;
    QPushButton *bZCan, *btnZCanalBacia, *btnAjudaDados, *btnCalcular, *btnVerificarDados;
    // Controle de cada campo da tabela de campos (nulo só para CAMPO_NENHUM).
    QWidget* Controle(TCampo id) const;

    // Página de resultados.
    QGroupBox *gbCanal, *gbBacia;
    QLineEdit *ePerdaToleravelSolo, *eCompMax, *eTensao, *ePerdaSolo, *eQCanal, *eVolCanal;
    QLineEdit *eVolBacia, *eQBacia, *edtProfCanalBacia, *eCompMax1, *eResult, *eCompBacia;
    QLabel *lResult, *lblCompBacia, *lblMetroCompBacia;
    // Resumo em palavras, com os avisos destacados.
    QTextBrowser* mResumo;
    // Abas da grade e dos gráficos.
    QTabWidget* tabResultados;
    QTableView* tsgResultSecoes; // um TGradeSecoes (mainwindow/GradeSecoes.h)
    TPainelGrafico *grPerdaSolo, *grTensaoLamina, *grHidrogramas;
    QPushButton *btnAjudaResultado, *bExportar, *bRelatorio, *bSimul, *btnVoltarResult;
    QAction *aExportarSecoes, *aExportarHidrogramas;
    // Exportações da página de resultados, pelo diálogo de arquivo, gravadas de uma vez.
    void ExportarSecoes();
    void ExportarHidrogramas();
    void SalvarGrafico(TPainelGrafico* painel, bool svg);

    // Moldura.
    QStackedWidget* nbPrincipal;
    QLabel *PainelHint, *PainelRelogio;
    QTimer* tmrRelogio;
    QAction *MNovo, *MAbrir, *MSalvar, *MSalvarComo, *MFechar, *MSair;
    std::array<QAction*, 4> Proj;
    QAction *MConfigImpres, *acaoUnidades, *MConteudo, *MObterAjuda, *MSobreMorvendo;
    QToolButton *BtnNovo, *BtnAbrir, *BtnSalvar, *BFechar, *BtnConteudo, *BtnSobre;
    QToolButton* btnSair;
    std::array<QToolButton*, 4> BtnInternet;

    // Endereços das quatro páginas da barra "Internet".
    static const std::array<const char*, 4> Enderecos;

protected:
    void closeEvent(QCloseEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    bool event(QEvent* evento) override;
    void mouseDoubleClickEvent(QMouseEvent* evento) override;

private:
    struct TCamposCanal {
        QComboBox* Tipo;
        QStackedWidget* Caderno;
        QLineEdit *Z, *B, *M1, *M2;
        QPushButton* BotaoZ;
    };
    // ids: Z, B, m1 e m2.
    TCamposCanal CriarCanal(QGridLayout* grade, const std::array<const char*, 7>& nomes,
                            const std::array<TCampo, 4>& ids);
    void CriarMenus();
    void CriarBarras();
    void CriarBarraDeStatus();
    QWidget* CriarPaginaInicial();
    QWidget* CriarPaginaDados();
    QWidget* CriarAbaEstrada();
    QWidget* CriarAbaBacias();
    QWidget* CriarAbaPrecipitacao();
    QWidget* CriarPaginaResultado();
    void LigarComponentes();
    // Páginas de estudo de sensibilidade e de trechos, com o menu "Estudos".
    void InstalarEstudos();
    void LerConfiguracao();
    void GravarConfiguracao(bool completa);
    void AtualizarRecentes();
    void AtualizarRelogio();

    // Reações da página de dados.
    void eTrDimChange();
    void eTrEspChange();
    void cbEquivalenteClick();
    void cbCalcVolumeClick();
    void cbCanalChange();
    void cbCanalBaciaChange();
    void cbFormatoChange();
    void rbSecao1Click(int tag);
    void eCompMaxChange();
    void SelecionarSemSinal(QComboBox* cb, int indice);
    // Reação a um sinal: o erro vai para a caixa de erro (calado durante o preenchimento).
    void Reagir(const std::function<void()>& reacao);
    void MostrarFormato();
    void MostrarCobertura();
    // Campos da unidade dada, com o valor do projeto (depois de trocar a unidade).
    void MostrarNaUnidade(TUnidadeCampo unidade);
    QLineEdit* CampoNumerico(TCampo id, const char* nome);
    void MostrarCampo(QWidget* campo);
    // Valor do campo, nas unidades mostradas. Texto que não é número, inteiro com casas
    // decimais, negativo ou acima do máximo: erro que nomeia o campo (ou falha anotada em
    // FColetadas, sem valor). Vazio: 0 sem validar, erro validando.
    std::optional<double> LerCampo(TCampo id, bool validar);
    void MostrarResultadosCanal(const TResultadoCalculo& resultado);
    void CarregarGrade(int comprimento, const TResultadoCalculo& resultado);
    void CarregarGraficosEResumo(int comprimento, const TResultadoCalculo& resultado);
    // Caminho proposto a uma exportação: ao lado do projeto gravado, com o nome dele e o
    // sufixo dado; senão na pasta de documentos.
    std::string CaminhoExportacao(const char* sufixo) const;
    void GravarExportacao(const char* titulo, const char* sufixo, const char* filtro,
                          const std::function<std::string()>& conteudo);
    // Página de resultados vazia, sem relatório nem simulação: nada dela é do projeto atual.
    void LimparResultados();

    TOpcoesPrincipal FOpcoes;
    std::unique_ptr<IInteracaoPrincipal> FInteracaoPropria;
    IInteracaoPrincipal* FInteracao;
    TUnidades FUnidades;
    // As unidades do arquivo de configuração: as de um projeto aberto valem só para ele.
    TEscolhaUnidades FUnidadesConfiguracao;
    std::unique_ptr<TProjeto> FProjeto;
    TGerenteArquivo FGerente;
    std::string FArquivoConfiguracao;
    QString FPastaPrograma;
    TFiltroNumerico* FFiltro;
    TModeloSecoes* FModeloSecoes;
    TPaginaSimulacao* FPaginaSimulacao;
    TPaginaEstudo* FPaginaEstudo = nullptr;
    TPaginaTrechos* FPaginaTrechos = nullptr;
    TPaginaProtecao* FPaginaProtecao = nullptr;
    std::unique_ptr<QPrinter> FImpressora;
    TJanelaAcompanhamento* FAcompanhamento = nullptr;
    std::unique_ptr<TResultadoCalculo> FResultado;
    TServicoAjuda FAjuda;
    bool FPreenchendo = false;
    std::vector<TFalhaValidacao>* FColetadas = nullptr;
    // Controle de cada campo, preenchido onde os controles são criados.
    std::array<QWidget*, NUM_CAMPOS> FControles{};
    QDialog* FVerificacao = nullptr;
};
