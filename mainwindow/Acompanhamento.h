#pragma once
#include <QDialog>
#include <QElapsedTimer>
#include <functional>

#include "project/Calculo.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// Janela de andamento de um cálculo: o que está sendo calculado, a barra e "Cancelar".
class TJanelaAcompanhamento : public QDialog, public IAcompanhamentoCalculo {
    Q_OBJECT
public:
    explicit TJanelaAcompanhamento(std::function<void(const std::string&)> mensagem);
    ~TJanelaAcompanhamento() override;

    void MostrarTempoCanal(const std::string& tempo) override;
    void MostrarSecao(const std::string& secao) override;
    void MostrarProgresso(int porcentagem) override;
    void ProcessarEventos() override;
    void Ocupado(bool ligado) override;
    void MostrarMensagem(const std::string& texto) override;
    char SeparadorDecimal() const override;
    void DestacarEtapa(int etapa) override;
    void MostrarTempoEstrada(const std::string& tempo) override;
    void MostrarTempoTalude(const std::string& tempo) override;
    void IniciarDimensionamento() override;

    // Trata os eventos pendentes já, sem esperar o intervalo mínimo.
    void ProcessarEventosAgora();
    bool DimensionamentoIniciado() const { return FDimensionamento; }
    int EtapaDestacada() const { return FEtapa; }

    QLabel *lblTempoLeito, *lblMinLeito, *lblTempoAreaExterna, *lblMinAreaExterna, *lblTempoCanal,
        *lblMinCanal, *lblSecaoPerda, *lblMetroSecaoPerda;
    QLineEdit *etEstrada, *etTalude, *etCanal, *eSecao;
    QProgressBar* pbCalculo;
    QPushButton* btnCancelar;

protected:
    void reject() override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void CancelarClick();
    void BarraOcupada();
    void Estilo(int etapa, bool destacada);

    std::function<void(const std::string&)> FMensagem;
    QElapsedTimer FRelogio;
    int FEtapa = 0;
    int FOcupado = 0;
    bool FDimensionamento = false;
};
