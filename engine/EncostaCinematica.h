#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Acompanhamento.h"
#include "engine/BalancoHidrico.h"
#include "engine/Hidrograma.h"
#include "engine/Terreno.h"

class TPrecipitacaoExponencialNegativa;

// Plano de escoamento superficial: uma superfície com comprimento de rampa.
class TEncostaCinematica : public TTerreno {
public:
    explicit TEncostaCinematica(const std::string& nome = "");

    void Limpar() override;
    // Lê e grava a superfície, a cobertura e o comprimento, com o nome corrente.
    bool Ler(TArquivoIni& ini) override;
    bool Gravar(TArquivoIni& ini) override;

    int Comprimento() const { return FComprimento; }
    void Comprimento(int v);

    // "1": plano do arquivo antigo de um só plano; "2": trecho de uma encosta.
    std::string Versao = "1";

protected:
    int FComprimento = 0;
};

// Texto que fecha as mensagens de erro que pedem contato com os desenvolvedores.
extern const char* const TEXTO_CONTATO;

int NumeroDeCelulas(const TEncostaCinematica& plano);
// Tempo (min) em que a intensidade instantânea cai até a infiltração estável.
double TempoFinalEscoamento(TPrecipitacaoExponencialNegativa& chuva, const std::string& versao,
                            double vib);
// Hidrograma (L/s por metro de largura) no pé do plano; pode vir vazio. Com 'balanco', o
// balanço de água do plano.
std::unique_ptr<THidrograma> CalcularHidrograma(TEncostaCinematica& plano, int numCelulas,
                                                TPrecipitacaoExponencialNegativa& chuva,
                                                const TMostrarTempo& mostrarTempo,
                                                IAcompanhamento* acompanhamento,
                                                TBalancoEncosta* balanco = nullptr);

// Lista de planos de uma encosta (trechos).
class TPlanosEncosta {
public:
    explicit TPlanosEncosta(const std::string& nome = "") : Nome(nome) {}

    void Limpar();
    std::uint8_t DefinirNumPlanos(std::uint8_t n);
    std::uint8_t NumPlanos() const { return std::uint8_t(Planos.size()); }
    TEncostaCinematica& Plano(std::size_t i) { return *Planos.at(i); }
    const TEncostaCinematica& Plano(std::size_t i) const { return *Planos.at(i); }

    bool Ler(TArquivoIni& ini);
    bool Gravar(TArquivoIni& ini);

    std::string Nome;
    std::vector<std::unique_ptr<TEncostaCinematica>> Planos;

private:
    static std::string RotuloEncosta(const std::string& nome);
    void VerificarComprimentoLido(const TEncostaCinematica& plano) const;
};
