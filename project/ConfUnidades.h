#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "comum/ArquivoIni.h"

// Unidades em que declividades, taxas de infiltração e erodibilidade são digitadas.
class TEscolhaUnidades {
public:
    TEscolhaUnidades() { TEscolhaUnidades::Padrao(); }
    virtual ~TEscolhaUnidades() = default;

    virtual void Padrao();
    void SetDeclividade(std::uint8_t opcao);
    void SetComprimento(std::uint8_t opcao);
    void SetVI(std::uint8_t opcao);
    void SetErodibilidade(std::uint8_t opcao);

    // Falso quando a versão ou uma opção está fora da faixa (as lidas antes ficam valendo).
    bool Ler(TArquivoIni& ini);
    bool Gravar(TArquivoIni& ini) const;

    std::string UnidadeVI;
    std::string UnidadeDeclividade;
    std::string UnidadeComprimento;
    std::string UnidadeErodibilidade;
    int FatorDeclividade = 1;
    double FatorErodibilidade = 1.0;
    double FatorVI = 1.0;
    double FatorComprimento = 1.0;
    std::uint8_t Declividade = 1;
    std::uint8_t Comprimento = 2;
    std::uint8_t VI = 1;
    std::uint8_t Erodibilidade = 1;
    int Estado = 1;
};

// Acrescenta os avisos de mudança de unidade que a janela principal escuta.
class TUnidades : public TEscolhaUnidades {
public:
    std::function<void()> OnMudarDeclividade;
    std::function<void()> OnMudarVI;
    // Recebe o fator da unidade anterior, para converter o valor mostrado.
    std::function<void(double fatorAnterior)> OnMudarErodibilidade;
    void MudouDeclividade() const {
        if (OnMudarDeclividade) OnMudarDeclividade();
    }
    void MudouVI() const {
        if (OnMudarVI) OnMudarVI();
    }
    void MudouErodibilidade(double fatorAnterior) const {
        if (OnMudarErodibilidade) OnMudarErodibilidade(fatorAnterior);
    }
};

// Itens das listas do diálogo de unidades, na ordem das opções.
extern const std::vector<std::string> ITENS_DECLIVIDADE;
extern const std::vector<std::string> ITENS_VI;
extern const std::vector<std::string> ITENS_ERODIBILIDADE;
