#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "comum/ArquivoIni.h"
#include "engine/uPrecipitacao.h"

// Componente da consulta IDF: dono da chuva de projeto e da origem dos seus parâmetros.
class TTarsio21 {
public:
    TTarsio21() : FPrecipitacao(std::make_unique<TPrecipitacaoExponencialNegativa>()) {
        Limpar();
    }

    void Limpar();
    bool Ler(TArquivoIni& ini);
    bool Gravar(TArquivoIni& ini);

    TPrecipitacaoExponencialNegativa& Precipitacao() { return *FPrecipitacao; }
    const TPrecipitacaoExponencialNegativa& Precipitacao() const { return *FPrecipitacao; }

    const std::string& Autoria() const { return FAutoria; }
    // Só a própria consulta define a autoria, ao aceitar um resultado.
    void DefinirAutoria(const std::string& autoria) { FAutoria = autoria; }

    int HelpContext = 0;
    std::string Latitude;
    std::string Longitude;
    std::int16_t IndLocalidade = 0;
    std::int16_t IndEstacao = 0;
    std::string StrCidade;
    std::int16_t IndEstado = -1;
    std::string StrEstado;
    bool ShowAbout = false;
    std::string Secao;

private:
    std::unique_ptr<TPrecipitacaoExponencialNegativa> FPrecipitacao;
    std::string FAutoria;
};
