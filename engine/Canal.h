#pragma once
#include <cstdint>
#include <string>

#include "comum/ArquivoIni.h"
#include "engine/Terreno.h"

// Tipo da seção: 0 trapezoidal, 1 triangular.
struct TTipoCanal {
    std::uint8_t Valor = 1;
};

constexpr std::uint8_t CANAL_TRAPEZOIDAL = 0;
constexpr std::uint8_t CANAL_TRIANGULAR = 1;

// Seção transversal de um canal aberto.
class TCanal {
public:
    explicit TCanal(const std::string& nome = "");
    virtual ~TCanal() = default;

    virtual void Limpar();
    virtual bool Ler(TArquivoIni& ini);
    virtual bool Gravar(TArquivoIni& ini);

    // Profundidade (m) que a área molhada A (m²) dá na seção.
    double ProfundidadePelaArea(double area) const;

    double B() const { return FB; }
    void B(double v) { FB = v < 0 ? 0 : v; }
    double H() const { return FH; }
    void H(double v) { FH = v < 0 ? 0 : v; }
    double Hr() const { return FHr; }
    void Hr(double v) { FHr = v <= 0 ? 0 : v; }
    double CDu() const { return FCDu; }
    void CDu(double v) { FCDu = v <= 1 ? 1.0 : v; }

    std::string Nome;
    TTipoCanal TipoCanal;
    TReal Sm;
    TReal Z;

protected:
    double FB = 0, FH = 0, FHr = 0, FCDu = 1.0;
};

// Canal com comprimento, declividade, rugosidade e profundidade normal.
class TCanalGradiente : public TCanal {
public:
    explicit TCanalGradiente(const std::string& nome = "");

    void Limpar() override;
    bool Ler(TArquivoIni& ini) override;
    bool Gravar(TArquivoIni& ini) override;

    // Profundidade (m) do escoamento uniforme para a vazão Q (m³/s).
    double ProfundidadeNormal(double q) const;

    double Sc = 0;
    double Q() const { return FQ; }
    void Q(double v) { FQ = v < 0 ? 0 : v; }
    int Comprimento() const { return FComprimento; }
    virtual void Comprimento(int v) { FComprimento = v < 0 ? 0 : v; }
    TReal nc;

protected:
    double FQ = 0;
    int FComprimento = 0;
};
