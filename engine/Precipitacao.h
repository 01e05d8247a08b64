#pragma once
#include <string>

#include "comum/ArquivoIni.h"

// Chuva de projeto: intensidade em mm/h e lâmina em mm para t em minutos.
// Dez dias (min): o horizonte das buscas no tempo da chuva de projeto. Uma chuva que ainda
// vence a infiltração depois disso não acaba; uma que ainda não preencheu a abstração inicial
// não a preenche.
constexpr double CHUVA_SEM_FIM_MIN = 14400;

class TPrecipitacao {
public:
    TPrecipitacao() { DefinirNome(""); }
    explicit TPrecipitacao(const std::string& nome) { DefinirNome(nome); }
    virtual ~TPrecipitacao() = default;

    virtual void DefinirNome(const std::string& nome);
    virtual void Limpar();
    virtual bool Ler(TArquivoIni& ini);
    virtual bool Gravar(TArquivoIni& ini);
    virtual double IntensidadeInstantanea(double t) = 0;
    virtual double IntensidadeMedia(double t) = 0;
    virtual double Lamina(double t) = 0;

    const std::string& Nome() const { return FNome; }

    double Duracao = 0;
    double PrecipitacaoTotal = 0;

protected:
    std::string FNome;
};

// Chuva da equação IDF i = K·Tr^a/(t + b)^c.
class TPrecipitacaoExponencialNegativa : public TPrecipitacao {
public:
    TPrecipitacaoExponencialNegativa() : TPrecipitacao() { Limpar(); }
    explicit TPrecipitacaoExponencialNegativa(const std::string& nome) : TPrecipitacao(nome) {
        Limpar();
    }

    void Limpar() override;
    bool Ler(TArquivoIni& ini) override;
    bool Gravar(TArquivoIni& ini) override;
    double IntensidadeInstantanea(double t) override;
    double IntensidadeMedia(double t) override;
    double Lamina(double t) override;

    double FatorTr() const { return FFatorTr; }
    double Tr() const { return FTr; }
    double K() const { return FK; }
    double A() const { return FA; }
    double B() const { return FB; }
    double C() const { return FC; }
    void Tr(double v);
    void K(double v);
    void A(double v);
    void B(double v);
    void C(double v);

private:
    void CalcularFatorTr();
    double FFatorTr = -1.0;
    double FTr = 0, FK = 0, FA = 0, FB = 0, FC = 0;
};
