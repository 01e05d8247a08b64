#pragma once
#include <cstdint>
#include <string>

#include "engine/Canal.h"

// Medidas de uma bacia de acumulação e do seu canal de condução.
struct TDimensoesBacia {
    double ProfundidadeCanal = 0; // cm, do canal de condução
    double Largura = 0;           // m (retangular)
    double Raio = 0;              // m (semicircular)
    double Comprimento = 0;       // m
};

// Bacia de acumulação em cada desaguadouro, com o seu canal de condução.
class TBaciaAcumulacao {
public:
    explicit TBaciaAcumulacao(const std::string& nome = "");

    void Limpar();
    // Medidas para a vazão de pico Q (m³/s), o volume (m³) e a profundidade (m) dados.
    TDimensoesBacia Dimensoes(double q, double volume, double profundidade) const;
    bool Ler(TArquivoIni& ini);
    bool Gravar(TArquivoIni& ini);

    static constexpr std::uint8_t RETANGULAR = 0;
    static constexpr std::uint8_t SEMICIRCULAR = 1;

    // Os dados da bacia; as medidas calculadas ficam no resultado (TDimensoesBacia).
    std::string Nome;
    double m1 = 0;
    double m2 = 0;
    double Profundidade = 0; // m
    TCanalGradiente CanalConducao;
    std::uint8_t Formato = SEMICIRCULAR;
    bool CalcularVolume = true;
};
