#include "mainwindow/estudos/Lote.h"

#include <QMetaObject>

namespace {

// Repassa cada ponto concluído à janela; chamado das linhas do lote.
class TAndamentoFila : public IAndamentoLote {
public:
    explicit TAndamentoFila(TExecucaoLote* lote) : FLote(lote) {}
    void PontoConcluido(std::size_t feitos, std::size_t total) override {
        QMetaObject::invokeMethod(
            FLote, [l = FLote, f = int(feitos), t = int(total)] { emit l->Andamento(f, t); },
            Qt::QueuedConnection);
    }

private:
    TExecucaoLote* FLote;
};

} // namespace

TExecucaoLote::TExecucaoLote(QObject* pai) : QObject(pai) {}

TExecucaoLote::~TExecucaoLote() {
    if (FCancelamento) FCancelamento->Pedido = true;
    // Os avisos ainda na fila morrem com o objeto.
    if (FLinha.joinable()) FLinha.join();
}

void TExecucaoLote::Iniciar(TTarefa tarefa, std::function<void(bool)> fim) {
    if (Executando()) return;
    FCancelamento = std::make_shared<TCancelamentoLote>();
    FFim = std::move(fim);
    const unsigned geracao = ++FGeracao;
    FLinha = std::thread([this, tarefa = std::move(tarefa), c = FCancelamento, geracao] {
        TAndamentoFila andamento(this);
        // A tarefa guarda os próprios erros; nada pode escapar de uma linha de execução.
        try {
            tarefa(andamento, *c);
        } catch (...) {
        }
        QMetaObject::invokeMethod(
            this, [this, geracao] { Terminar(geracao); }, Qt::QueuedConnection);
    });
}

void TExecucaoLote::Terminar(unsigned geracao) {
    if (geracao != FGeracao || !FLinha.joinable()) return;
    FLinha.join();
    const bool cancelado = FCancelamento && FCancelamento->Pedido;
    auto fim = std::move(FFim);
    FFim = nullptr;
    if (fim) fim(cancelado);
}

void TExecucaoLote::Cancelar() {
    if (FCancelamento) FCancelamento->Pedido = true;
}

void TExecucaoLote::Abandonar() {
    Cancelar();
    // O motor para em poucos milissegundos; o aviso de fim que ainda vier é ignorado.
    if (FLinha.joinable()) FLinha.join();
    FFim = nullptr;
    ++FGeracao;
}
