#pragma once
#include <QObject>
#include <functional>
#include <memory>
#include <thread>

#include "project/Estudos.h"

// Um lote de cálculos (estudo ou trechos) numa linha de execução própria, para que a janela
// continue respondendo. O andamento e o fim chegam à linha da janela pela fila de eventos.
class TExecucaoLote : public QObject {
    Q_OBJECT
public:
    using TTarefa = std::function<void(IAndamentoLote&, const TCancelamentoLote&)>;

    explicit TExecucaoLote(QObject* pai = nullptr);
    // Cancela o lote em curso e espera o fim dele.
    ~TExecucaoLote() override;

    // A tarefa roda noutra linha; fim roda depois, na linha da janela, a menos que o lote
    // tenha sido abandonado.
    void Iniciar(TTarefa tarefa, std::function<void(bool cancelado)> fim);
    void Cancelar();
    // Cancela, espera e descarta o fim (o projeto mudou: os resultados não valem mais).
    void Abandonar();
    bool Executando() const { return FLinha.joinable(); }

signals:
    void Andamento(int feitos, int total);

private:
    void Terminar(unsigned geracao);

    std::thread FLinha;
    std::shared_ptr<TCancelamentoLote> FCancelamento;
    std::function<void(bool)> FFim;
    unsigned FGeracao = 0;
};
