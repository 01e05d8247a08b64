// Ligações da janela principal com os componentes que ela usa: diálogos de parâmetros,
// consulta IDF, relatório da estrada, página de simulação e contextos de ajuda.
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>

#include "ajuda/Ajuda.h"
#include "comum/ContextosAjuda.h"
#include "comum/Numeros.h"
#include "idf/ui/ConsultaChuva.h"
#include "mainwindow/Principal.h"
#include "mainwindow/RotinasComuns.h"
#include "mainwindow/estudos/PaginaProtecao.h"
#include "mainwindow/simulacao/Simulacao.h"
#include "project/Avisos.h"
#include "project/Calculo.h"
#include "reports/RelatorioEstrada.h"
#include "reports/ui/RelatorioEstradaUi.h"

namespace {

const char* const MASCARA_REAL = "0.0######";

} // namespace

void TJanelaPrincipal::LigarComponentes() {
    EscolhaRugosidadeCanal.HelpContext = CONTEXTO_RUGOSIDADE_CANAL;
    EscolhaRugosidadeTerreno.HelpContext = CONTEXTO_RUGOSIDADE_TERRENO;
    EscolhaCobertura.HelpContext = CONTEXTO_COBERTURA;
    // O botão "..." tem o contexto 2220; o diálogo abre a mesma página de ajuda.
    EscolhaInclinacaoTalude.HelpContext = CONTEXTO_TALUDE_CANAL;

    const std::pair<QPushButton*, void (TJanelaPrincipal::*)()> botoes[] = {
        {btnBRugCan, &TJanelaPrincipal::btnBRugCanClick},
        {bRugCanBacia, &TJanelaPrincipal::bRugCanBaciaClick},
        {btnRugTalude, &TJanelaPrincipal::btnRugTaludeClick},
        {btnCoberVegTalude, &TJanelaPrincipal::btnCoberVegTaludeClick},
        {bZCan, &TJanelaPrincipal::bZCanClick},
        {btnZCanalBacia, &TJanelaPrincipal::ZCanalBaciaClick},
        {bConsulta, &TJanelaPrincipal::bConsultaClick},
        {bRelatorio, &TJanelaPrincipal::bRelatorioClick},
        {bSimul, &TJanelaPrincipal::bSimulClick},
    };
    for (const auto& [botao, acao] : botoes) {
        botao->setEnabled(true);
        connect(botao, &QPushButton::clicked, this,
                [this, acao = acao] { Proteger([&] { (this->*acao)(); }); });
    }

    FPaginaSimulacao->Erro = [this](const QString& m) { FInteracao->MostrarErro(m.toStdString()); };
    FFiltro->Instalar(FPaginaSimulacao->eEspacamento);
    connect(FPaginaSimulacao, &TPaginaSimulacao::Voltar, this,
            [this] { MostrarPagina(PAG_RESULTADO); });

    // F1 abre o contexto da aba do campo em foco; fora delas, o conteúdo.
    Ajuda::DefinirContexto(this, CONTEXTO_CONTEUDO);
    Ajuda::DefinirContexto(nbDados->widget(0), CONTEXTO_DADOS_ESTRADA);
    Ajuda::DefinirContexto(nbDados->widget(1), CONTEXTO_DADOS_BACIAS);
    Ajuda::DefinirContexto(nbDados->widget(2), CONTEXTO_DADOS_PRECIPITACAO);
    Ajuda::DefinirContexto(bZCan, CONTEXTO_TALUDE_CANAL);
    Ajuda::DefinirContexto(btnZCanalBacia, CONTEXTO_TALUDE_CANAL);
    Ajuda::DefinirContexto(nbPrincipal->widget(PAG_RESULTADO), CONTEXTO_RESULTADOS);
}

void TJanelaPrincipal::btnBRugCanClick() {
    if (EscolhaRugosidadeCanal.Executar(FProjeto->Estrada.nc, this))
        enc->setText(FormatarQ(MASCARA_REAL, FProjeto->Estrada.nc.Valor));
}

void TJanelaPrincipal::bRugCanBaciaClick() {
    TReal& nc = FProjeto->Estrada.Bacia.CanalConducao.nc;
    if (EscolhaRugosidadeCanal.Executar(nc, this))
        edtNcCanalBacia->setText(FormatarQ(MASCARA_REAL, nc.Valor));
}

void TJanelaPrincipal::btnRugTaludeClick() {
    TReal& nt = FProjeto->Estrada.AreaExterna.Plano(0).nt;
    EscolhaRugosidadeTerreno.Executar(nt, this);
    // Confirmado ou não, o campo mostra o valor do plano.
    eRugTalude->setText(QString::fromStdString(FloatToStr(nt.Valor, SeparadorDecimal())));
}

void TJanelaPrincipal::btnCoberVegTaludeClick() {
    if (EscolhaCobertura.Executar(FProjeto->Estrada.AreaExterna.Plano(0).Cobertura, this))
        FGerente.Alterado = true;
    FProjeto->StrCoberVeg = EscolhaCobertura.Descricao;
    MostrarCobertura();
}

void TJanelaPrincipal::bZCanClick() {
    if (EscolhaInclinacaoTalude.Executar(FProjeto->Estrada.Z, this))
        ValorZ->setText(FormatarQ(MASCARA_REAL, EscolhaInclinacaoTalude.Valor));
}

void TJanelaPrincipal::ZCanalBaciaClick() {
    if (EscolhaInclinacaoTalude.Executar(FProjeto->Estrada.Bacia.CanalConducao.Z, this))
        edtZCanalBacia->setText(FormatarQ(MASCARA_REAL, EscolhaInclinacaoTalude.Valor));
}

void TJanelaPrincipal::bConsultaClick() {
    TAmbienteConsulta ambiente = AmbienteConsultaPadrao();
    ambiente.Ajuda.Topico = [](int c) { Ajuda::AbrirContexto(c); };
    ambiente.Ajuda.Conteudo = [] { Ajuda::AbrirConteudo(); };
    ambiente.Ajuda.Procurar = [](const QString& chave) { Ajuda::AbrirIndice(chave); };
    ambiente.DuracoesProjeto = [this](double K, double a, double b, double c) {
        return DuracoesChuvaDoProjeto(*FProjeto, K, a, b, c);
    };
    if (!ExecutarConsultaChuva(FProjeto->ChuvaDeProjeto, this, ambiente)) return;
    FProjeto->OrigemChuva =
        OrigemDaConsulta(FProjeto->ChuvaDeProjeto, ambiente.PastaComuns.toStdString());
    MostrarParametrosIdf();
}

void TJanelaPrincipal::bRelatorioClick() {
    if (FResultado)
        MostrarRelatorio(*FProjeto, *FResultado, this,
                         FPaginaProtecao ? FPaginaProtecao->ParaRelatorio() : nullptr);
}

void TJanelaPrincipal::bSimulClick() {
    MostrarPagina(PAG_SIMULACAO);
    // Sem dimensionamento da bacia a simulação parte de um espaçamento nulo.
    const TResultadoBacia vazio;
    const TResultadoBacia& b = FResultado && FResultado->Bacia ? *FResultado->Bacia : vazio;
    FPaginaSimulacao->ComprimentoCanal = FProjeto->Estrada.Comprimento();
    FPaginaSimulacao->bSimulClick(b.Espacamento, b.VolumePorMetro);
}

bool TJanelaPrincipal::AbrirProjeto(const std::string& caminho) {
    bool aberto = false;
    Proteger([&] {
        aberto = FGerente.AbrirArquivo(caminho);
        if (aberto) MostrarPagina(PAG_DADOS);
    });
    AtualizarRecentes();
    return aberto;
}
