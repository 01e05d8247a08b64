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
#include "mainwindow/estudos/PaginaProtecao.h"
#include "mainwindow/simulacao/Simulacao.h"
#include "mainwindow/uRotinasComuns.h"
#include "project/Avisos.h"
#include "project/Calculo.h"
#include "reports/uRelatorioEstrada.h"
#include "reports/ui/uRelatorioEstradaUi.h"

namespace {

const char* const MASCARA_REAL = "0.0######";

} // namespace

void TFPrincipal::LigarComponentes() {
    RugCan1.HelpContext = CONTEXTO_RUGOSIDADE_CANAL;
    RugTer1.HelpContext = CONTEXTO_RUGOSIDADE_TERRENO;
    Cobertura1.HelpContext = CONTEXTO_COBERTURA;
    // O botão "..." tem o contexto 2220; o diálogo abre a mesma página de ajuda.
    Z1.HelpContext = CONTEXTO_TALUDE_CANAL;

    const std::pair<QPushButton*, void (TFPrincipal::*)()> botoes[] = {
        {btnBRugCan, &TFPrincipal::btnBRugCanClick},
        {bRugCanBacia, &TFPrincipal::bRugCanBaciaClick},
        {btnRugTalude, &TFPrincipal::btnRugTaludeClick},
        {btnCoberVegTalude, &TFPrincipal::btnCoberVegTaludeClick},
        {bZCan, &TFPrincipal::bZCanClick},
        {Button3, &TFPrincipal::Button3Click},
        {bConsulta, &TFPrincipal::bConsultaClick},
        {bRelatorio, &TFPrincipal::bRelatorioClick},
        {bSimul, &TFPrincipal::bSimulClick},
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
    Ajuda::DefinirContexto(Button3, CONTEXTO_TALUDE_CANAL);
    Ajuda::DefinirContexto(nbPrincipal->widget(PAG_RESULTADO), CONTEXTO_RESULTADOS);
}

void TFPrincipal::btnBRugCanClick() {
    if (RugCan1.Executar(FProjeto->Estrada.nc, this))
        enc->setText(FormatarQ(MASCARA_REAL, FProjeto->Estrada.nc.Valor));
}

void TFPrincipal::bRugCanBaciaClick() {
    TReal& nc = FProjeto->Estrada.Bacia.CanalConducao.nc;
    if (RugCan1.Executar(nc, this)) edtNcCanalBacia->setText(FormatarQ(MASCARA_REAL, nc.Valor));
}

void TFPrincipal::btnRugTaludeClick() {
    TReal& nt = FProjeto->Estrada.Talude.Secao(0).nt;
    RugTer1.Executar(nt, this);
    // Confirmado ou não, o campo mostra o valor do plano.
    eRugTalude->setText(QString::fromStdString(FloatToStr(nt.Valor, SeparadorDecimal())));
}

void TFPrincipal::btnCoberVegTaludeClick() {
    if (Cobertura1.Executar(FProjeto->Estrada.Talude.Secao(0).Cobertura, this))
        FGerente.Alterado = true;
    FProjeto->StrCoberVeg = Cobertura1.Descricao;
    MostrarCobertura();
}

void TFPrincipal::bZCanClick() {
    if (Z1.Executar(FProjeto->Estrada.Z, this)) ValorZ->setText(FormatarQ(MASCARA_REAL, Z1.Valor));
}

void TFPrincipal::Button3Click() {
    if (Z1.Executar(FProjeto->Estrada.Bacia.CanalConducao.Z, this))
        edtZCanalBacia->setText(FormatarQ(MASCARA_REAL, Z1.Valor));
}

void TFPrincipal::bConsultaClick() {
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

void TFPrincipal::bRelatorioClick() {
    if (FResultado)
        MostrarRelatorio(*FProjeto, *FResultado, this,
                         FPaginaProtecao ? FPaginaProtecao->ParaRelatorio() : nullptr);
}

void TFPrincipal::bSimulClick() {
    MostrarPagina(PAG_SIMULACAO);
    // Sem dimensionamento da bacia a simulação parte de um espaçamento nulo.
    const TResultadoBacia vazio;
    const TResultadoBacia& b = FResultado && FResultado->Bacia ? *FResultado->Bacia : vazio;
    FPaginaSimulacao->ComprimentoCanal = FProjeto->Estrada.Comprimento();
    FPaginaSimulacao->bSimulClick(b.Espacamento, b.VolumePorMetro);
}

bool TFPrincipal::AbrirProjeto(const std::string& caminho) {
    bool aberto = false;
    Proteger([&] {
        aberto = FGerente.AbrirArquivo(caminho);
        if (aberto) MostrarPagina(PAG_DADOS);
    });
    AtualizarRecentes();
    return aberto;
}
