#pragma once
#include <cstdint>
#include <string>

#include "engine/uCanal.h"

// Bacia de acumulação em cada desaguadouro, com o seu canal de condução.
class TBaciaAcumulacao {
public:
    explicit TBaciaAcumulacao(const std::string& nome = "");

    void Limpar();
    // Dimensiona para a vazão de pico Q (m³/s); usa VolumePorMetro e Espacamento.
    void Dimensionar(double q);
    bool Ler(TArquivoIni& ini);
    bool Gravar(TArquivoIni& ini);

    static constexpr std::uint8_t RETANGULAR = 0;
    static constexpr std::uint8_t SEMICIRCULAR = 1;

    std::string Nome;
    double Comprimento = 0;
    double Largura = 0;
    double Raio = 0;
    double m1 = 0;
    double m2 = 0;
    double ProfundidadeCanal = 0; // cm
    double Profundidade = 0;      // m
    double VolumePorMetro = 0;    // m³ por metro de canal
    int Espacamento = 0;
    TCanalGradienteCustom CanalConducao;
    std::uint8_t Formato = SEMICIRCULAR;
    bool CalcularVolume = true;
};
