#pragma once
// A superfície de um plano de escoamento: cobertura, uso da terra e solo, e a abstração
// inicial da chuva que eles dão.
#include <cstdint>
#include <string>

#include "comum/ArquivoIni.h"

class TPrecipitacao;

// Valor com a linha da tabela de onde foi escolhido (-1 quando digitado).
struct TReal {
    double Valor = 0;
    std::int8_t Indice = 0;
};

// Classificação da cobertura vegetal: um byte que indexa uma tabela de nomes.
struct TUsoTerra {
    std::uint8_t Indice = 0;
    void Limpar() { Indice = 0; }
    void Assign(const TUsoTerra& o) { Indice = o.Indice; }
    static constexpr int Quantidade = 6;
    static const char* const Nomes[Quantidade];
};

struct TTratamento {
    std::uint8_t Indice = 0;
    void Limpar() { Indice = 0; }
    void Assign(const TTratamento& o) { Indice = o.Indice; }
    static constexpr int Quantidade = 4;
    static const char* const Nomes[Quantidade];
};

struct TCondicaoHidrologica {
    std::uint8_t Indice = 0;
    void Limpar() { Indice = 0; }
    void Assign(const TCondicaoHidrologica& o) { Indice = o.Indice; }
    static constexpr int Quantidade = 4;
    static const char* const Nomes[Quantidade];
};

// Registro da cobertura vegetal de uma superfície.
class TCobertura {
public:
    explicit TCobertura(const std::string& nome = "") : Nome(nome) {}
    void Limpar();
    bool Ler(TArquivoIni& ini);
    bool Gravar(TArquivoIni& ini);

    std::string Nome;
    TUsoTerra UsoTerra;
    TTratamento Tratamento;
    TCondicaoHidrologica CondicaoHidrologica;
};

// Superfície: infiltração estável (mm/h), declividade (m/m), rugosidade e cobertura.
class TTerreno {
public:
    explicit TTerreno(const std::string& nome = "");
    virtual ~TTerreno() = default;

    virtual void Limpar();
    virtual bool Ler(TArquivoIni& ini);
    virtual bool Gravar(TArquivoIni& ini);

    double VIB() const { return FVIB; }
    void VIB(double v) { FVIB = v < 0 ? 0 : v; }
    double St() const { return FSt; }
    void St(double v) { FSt = v; }

    const std::string& Nome() const { return FNome; }
    // Dá o nome à superfície e à sua cobertura (nome das seções no arquivo).
    void DefinirNome(const std::string& nome) {
        FNome = nome;
        Cobertura.Nome = nome;
    }

    TCobertura Cobertura;
    TReal nt;

protected:
    double FVIB = 0;
    double FSt = 0;
    std::string FNome;
};

// Número de curva (CN) da cobertura e da infiltração da superfície; 0 fora da tabela.
int NumeroDeCurva(const TTerreno& superficie);
// Abstração inicial Ia (mm).
double AbstracaoInicial(const TTerreno& superficie);
// Tempo (min) depois do qual a chuva caída iguala a abstração inicial.
double TempoAbstracaoInicial(const TTerreno& superficie, TPrecipitacao& chuva);
