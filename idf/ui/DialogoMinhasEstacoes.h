#pragma once
#include "idf/EstacoesUsuario.h"
#include "idf/ui/AmbienteConsulta.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// Uma estação do usuário: estado, nome, coordenadas, K, a, b, c, faixas de durações e de
// períodos de retorno e fonte.
class TDialogoEstacaoUsuario : public QDialog {
    Q_OBJECT
public:
    TDialogoEstacaoUsuario(IMensagensConsulta& mensagens, QWidget* pai = nullptr);

    void DefinirEstacao(const TEstacaoUsuario& e);
    // O que está nos campos; EMorvendo nomeando o campo quando algo não serve.
    TEstacaoUsuario Estacao() const;
    // Confere e aceita; erro na caixa, com o editor aberto.
    void OkClick();
    // Lista em que a estação vai entrar, na posição dada (o fim, para uma nova): um nome que
    // já está nela no mesmo estado é recusado antes de o editor fechar.
    const TEstacoesUsuario* Minhas = nullptr;
    std::size_t Posicao = 0;

    QComboBox* cbEstado;
    QLineEdit *eNome, *eLatitude, *eLongitude, *eK, *eA, *eB, *eC, *eDuracaoMin, *eDuracaoMax,
        *eTrMin, *eTrMax, *eFonte;
    // Erros do ajuste à tabela de onde a equação veio; vazio quando não se sabe.
    QLabel* lAjuste;
    QPushButton *btnOk, *btnCancelar;

private:
    IMensagensConsulta& FMensagens;
    // A estação como veio: o que o editor não mostra (colunas do usuário) volta com ela, e os
    // erros do ajuste só enquanto K, a, b e c forem os dela.
    TEstacaoUsuario FModelo;
    QString FTextoEquacao;
    QString TextoEquacao() const;
    // Coordenadas como vieram: o texto em graus, minutos e segundos trunca os segundos, e
    // uma estação reaberta sem mudança não perde a precisão que tinha.
    QString FTextoLatitude, FTextoLongitude;
    double FLatitude = 0, FLongitude = 0;
};

// "Minhas estações": lista, inclui, edita, exclui e importa as estações do usuário, e cria
// uma a partir da série de chuvas diárias de um posto.
class TDialogoMinhasEstacoes : public QDialog {
    Q_OBJECT
public:
    TDialogoMinhasEstacoes(TEstacoesUsuario& minhas, IMensagensConsulta& mensagens,
                           QWidget* pai = nullptr);

    void AdicionarClick();
    void EditarClick();
    void ExcluirClick();
    void ImportarClick();
    // Equação de uma série de chuvas diárias, guardada como estação pelo editor.
    void SerieDiariaClick();
    // Importa o CSV e diz quantas entraram; recusado, a caixa diz a linha e o campo.
    void ImportarCsv(const QString& caminho);
    // A tabela mudou desde que o diálogo abriu.
    bool Mudou() const { return FMudou; }
    // Estado em que uma estação nova começa: o que a consulta mostra.
    int EstadoInicial = 0;

    QTableWidget* Tabela;
    QPushButton *btnAdicionar, *btnEditar, *btnExcluir, *btnImportar, *btnSerieDiaria, *btnFechar;

private:
    void Preencher();
    // Abre o editor com a estação e a inclui quando aceita; pai: a janela à frente.
    void IncluirPeloEditor(const TEstacaoUsuario& modelo, QWidget* pai);
    template <class F> void Protegido(F&& f);

    TEstacoesUsuario& FMinhas;
    IMensagensConsulta& FMensagens;
    bool FMudou = false;
};

// Texto de uma coordenada com o hemisfério: "21°53'00\" S".
QString ComHemisferio(const QString& coordenada, bool latitude);
