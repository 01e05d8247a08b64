#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "comum/ArquivoIni.h"
#include "engine/Precipitacao.h"

// O que o diálogo da consulta devolve quando o usuário o fecha com "&Fechar".
struct TRespostaConsulta {
    int IndEstado = -1;
    // Textos dos quadros K, a, b, c como estão na tela.
    std::string PrecK, PrecA, PrecB, PrecC;
    std::string Autoria;
    std::string StrLatitude, StrLongitude;
    std::int16_t IndEstacao = -1;
    std::int16_t IndLocalidade = -1;
    std::string StrCidade;
};

// Diálogo da consulta visto pelo componente; a interface gráfica o implementa.
class IDialogoConsulta {
public:
    virtual ~IDialogoConsulta() = default;
    virtual void DefinirHelpContext(int contexto) = 0;
    // ENumeroEstado fora de 0..26.
    virtual void DefinirEstado(int indice) = 0;
    virtual void DefinirPosicoes(std::int16_t indEstacao, std::int16_t indLocalidade) = 0;
    virtual void DefinirMostrarSobre(bool mostrar) = 0;
    // Coordenada em texto "00°00'00\""; erro de conversão quando os pares não são números.
    virtual void LerLatitude(const std::string& texto) = 0;
    virtual void LerLongitude(const std::string& texto) = 0;
    // Mostra o diálogo e espera; vazio quando o usuário cancela.
    virtual std::optional<TRespostaConsulta> Mostrar() = 0;
};

using TCriarDialogoConsulta = std::function<std::unique_ptr<IDialogoConsulta>()>;

// Componente da consulta IDF: dono da chuva de projeto e da origem dos seus parâmetros.
class TChuvaDeProjeto {
public:
    TChuvaDeProjeto() : FPrecipitacao(std::make_unique<TPrecipitacaoExponencialNegativa>()) {
        Limpar();
    }

    void Limpar();
    bool Ler(TArquivoIni& ini);
    bool Gravar(TArquivoIni& ini);

    // Confere a pasta de dados (pastaComuns) e os dois arquivos do banco, cria o diálogo,
    // prepara-o com a última consulta e o mostra. Aceito, copia o resultado para a chuva e
    // para as propriedades e devolve true; cancelado, devolve false. Em erro (EMorvendo)
    // nada muda: os quatro parâmetros são conferidos antes de qualquer cópia.
    bool Executar(const std::string& pastaComuns, const TCriarDialogoConsulta& criarDialogo);

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
