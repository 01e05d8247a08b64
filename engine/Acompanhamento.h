#pragma once
#include <atomic>
#include <functional>
#include <string>

// Interface pela qual os cálculos longos informam o andamento. Todas as operações são
// opcionais: um cálculo sem interface dá exatamente os mesmos números.
class IAcompanhamento {
public:
    virtual ~IAcompanhamento() = default;
    virtual void MostrarTempoCanal(const std::string& /*tempo*/) {}
    virtual void MostrarSecao(const std::string& /*secao*/) {}
    virtual void MostrarProgresso(int /*porcentagem*/) {}
    // Deixa a interface tratar os eventos pendentes (um clique em "Cancelar").
    virtual void ProcessarEventos() {}
    // Ligado no início de um cálculo, desligado no fim (também depois de erro).
    virtual void Ocupado(bool /*ligado*/) {}
    // Caixa de mensagem simples com OK.
    virtual void MostrarMensagem(const std::string& /*texto*/) {}
    // Separador decimal dos tempos e valores que o cálculo mostra por esta interface.
    virtual char SeparadorDecimal() const { return '.'; }

    // Pedido de cancelamento: vale a partir do próximo ponto de verificação do cálculo. Pode
    // vir de outra linha de execução.
    void Cancelar() { FCancelado = true; }
    bool Cancelado() const { return FCancelado; }
    // Para um novo cálculo com a mesma interface.
    void Rearmar() { FCancelado = false; }

private:
    std::atomic<bool> FCancelado{false};
};

// Saída opcional do tempo corrente de um cálculo de escoamento numa encosta.
using TMostrarTempo = std::function<void(const std::string&)>;

// Liga o indicador de ocupado e garante o desligamento, também quando há erro.
class TOcupado {
public:
    explicit TOcupado(IAcompanhamento* a) : FA(a) {
        if (FA) FA->Ocupado(true);
    }
    ~TOcupado() {
        if (FA) FA->Ocupado(false);
    }
    TOcupado(const TOcupado&) = delete;
    TOcupado& operator=(const TOcupado&) = delete;

private:
    IAcompanhamento* FA;
};
