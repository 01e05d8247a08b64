#pragma once
// Hidrograma: vazões no tempo, a passo constante, com o pico e o volume.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct TPontoHidrograma {
    double Tempo; // min
    double Vazao; // L/s (por metro de largura numa encosta)
};

// Série de vazões a passo constante, com pico e volume.
class THidrograma {
public:
    enum TLocal : std::uint8_t { LocalIndefinido = 0, LocalEncosta = 1, LocalCanal = 2 };
    using TFuncaoProfundidade = std::function<double(double)>;

    THidrograma() = default;
    explicit THidrograma(TFuncaoProfundidade f) : FuncaoProfundidade(std::move(f)) {}

    void Limpar() {
        Pontos.clear();
        Pontos.shrink_to_fit();
    }
    void Adicionar(double tempo, double vazao) { Pontos.push_back({tempo, vazao}); }
    std::size_t NumPontos() const { return Pontos.size(); }

    double Interpolar(double t, double dt) const;
    double IntegrarVolume() const;
    void Analisar(double divisor);
    void CorrigirRecessao();

    double VazaoMaxima = 0;
    double ProfundidadeMaxima = 0;
    double VolumeUnitario = 0;
    std::vector<TPontoHidrograma> Pontos;
    double Alfa = 0;
    double Expoente = 0;
    TLocal Local = LocalIndefinido;
    TFuncaoProfundidade FuncaoProfundidade;
    double Volume = 0;
};
