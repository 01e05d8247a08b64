// Ligação das páginas de estudos à janela principal: ambiente, páginas e menu "Estudos".
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>

#include "mainwindow/Principal.h"
#include "mainwindow/estudos/PaginaEstudo.h"
#include "mainwindow/estudos/PaginaProtecao.h"
#include "mainwindow/estudos/PaginaTrechos.h"

void TJanelaPrincipal::InstalarEstudos() {
    TAmbienteEstudos a;
    a.Projeto = FProjeto.get();
    a.Unidades = &FUnidades;
    a.Instantaneo = [this] {
        // Os dados passam pela mesma leitura e verificação do "Calcular".
        LerCampos(true);
        ValidarDados();
        TArquivoIni documento;
        EscreverProjeto(*FProjeto, documento);
        return documento;
    };
    a.Erro = [this](const std::string& m) { FInteracao->MostrarErro(m); };
    a.MarcarAlterado = [this] { MarcarAlterado(); };
    a.NomeProjeto = [this] { return NomeSemPasta(FGerente.PathProjeto); };
    a.Impressora = [this]() -> QPrinter& { return Impressora(); };
    a.Voltar = [this] { MostrarPagina(PAG_DADOS); };
    FPaginaEstudo = new TPaginaEstudo(a);
    FPaginaTrechos = new TPaginaTrechos(a);
    nbPrincipal->insertWidget(PAG_ESTUDO, FPaginaEstudo);
    nbPrincipal->insertWidget(PAG_TRECHOS, FPaginaTrechos);
    FPaginaProtecao = new TPaginaProtecao(a);
    nbPrincipal->insertWidget(PAG_PROTECAO, FPaginaProtecao);

    auto* menu = new QMenu(QStringLiteral("&Estudos"), this);
    menu->setObjectName(QStringLiteral("MEstudos"));
    menu->menuAction()->setStatusTip(QStringLiteral("Menu Estudos"));
    auto* estudo = menu->addAction(QStringLiteral("Estudo de &sensibilidade"));
    estudo->setObjectName(QStringLiteral("MEstudo"));
    estudo->setStatusTip(
        QStringLiteral("Varia um dado do projeto e traça o espaçamento, a perda e a tensão"));
    auto* trechos = menu->addAction(QStringLiteral("&Trechos da estrada"));
    trechos->setObjectName(QStringLiteral("MTrechos"));
    trechos->setStatusTip(
        QStringLiteral("Calcula cada trecho da estrada e posiciona os desaguadouros"));
    auto* protecao = menu->addAction(QStringLiteral("&Proteção do canal"));
    protecao->setObjectName(QStringLiteral("MProtecao"));
    protecao->setStatusTip(QStringLiteral(
        "Compara o canal sem revestimento com grama, manta, pedra e concreto, com os custos"));
    QAction* antes = nullptr;
    if (auto* conf = menuBar()->findChild<QMenu*>(QStringLiteral("Configuraes1")))
        antes = conf->menuAction();
    menuBar()->insertMenu(antes, menu);
    for (QAction* acao : {estudo, trechos, protecao})
        acao->setEnabled(false);
    connect(protecao, &QAction::triggered, this, [this] {
        FPaginaProtecao->Atualizar();
        MostrarPagina(PAG_PROTECAO);
    });
    connect(estudo, &QAction::triggered, this, [this] {
        FPaginaEstudo->Atualizar();
        MostrarPagina(PAG_ESTUDO);
    });
    connect(trechos, &QAction::triggered, this, [this] {
        FPaginaTrechos->Atualizar();
        MostrarPagina(PAG_TRECHOS);
    });

    // As páginas acompanham o projeto aberto.
    auto depois = [](std::function<void()>& evento, std::function<void()> extra) {
        evento = [antes = evento, extra] {
            if (antes) antes();
            extra();
        };
    };
    auto projetoMudou = [this] {
        FPaginaEstudo->Limpar();
        FPaginaTrechos->Recarregar();
        FPaginaProtecao->Limpar();
    };
    depois(FGerente.OnPreencherCamposDados, projetoMudou);
    depois(FGerente.OnLimparCamposDados, projetoMudou);
    depois(FGerente.OnAbilitarCampos, [estudo, trechos, protecao] {
        for (QAction* acao : {estudo, trechos, protecao})
            acao->setEnabled(true);
    });
    depois(FGerente.OnDesabilitarCampos, [this, estudo, trechos, protecao] {
        for (QAction* acao : {estudo, trechos, protecao})
            acao->setEnabled(false);
        if (PaginaAtual() == PAG_ESTUDO || PaginaAtual() == PAG_TRECHOS ||
            PaginaAtual() == PAG_PROTECAO)
            MostrarPagina(PAG_INICIAL);
    });
}
