#pragma once
#include <memory>
#include <ogr_spatialref.h>
#include <string>

// Uso interno do geo/: o GDAL escreve os seus erros em inglês no terminal; aqui eles são
// calados e guardados, e quem chama os troca por uma mensagem nossa.

// Registra os formatos uma vez e cala o tratador global de erros do GDAL.
void IniciarGdal();

// Enquanto vive, os erros do GDAL desta linha de execução vêm para cá em vez do terminal.
class TErrosGdal {
public:
    TErrosGdal();
    ~TErrosGdal();
    TErrosGdal(const TErrosGdal&) = delete;
    TErrosGdal& operator=(const TErrosGdal&) = delete;

    // Houve erro (não só aviso) desde a criação ou desde a última Limpar.
    bool Houve() const { return FHouve; }
    void Limpar() { FHouve = false; }
    void Registrar(bool erro) { FHouve = FHouve || erro; }

private:
    bool FHouve = false;
};

// Opção de configuração do GDAL só nesta linha de execução, desfeita no fim do escopo.
class TOpcaoGdal {
public:
    TOpcaoGdal(const char* nome, const char* valor);
    ~TOpcaoGdal();
    TOpcaoGdal(const TOpcaoGdal&) = delete;
    TOpcaoGdal& operator=(const TOpcaoGdal&) = delete;

private:
    std::string FNome, FAnterior;
    bool FHaviaAnterior = false;
};

// Arquivo de entrada que existe, é um arquivo comum e pode ser lido; senão EArquivoNaoExiste
// ou EEntradaSaida com o motivo.
void ConferirArquivoDeEntrada(const std::string& caminho);

// Sistema pelo código EPSG, com x = longitude (ou leste) e y = latitude (ou norte).
OGRSpatialReference SistemaEpsg(int codigo);

struct TApagaTransformacao {
    void operator()(OGRCoordinateTransformation* t) const {
        OGRCoordinateTransformation::DestroyCT(t);
    }
};
using TTransformacao = std::unique_ptr<OGRCoordinateTransformation, TApagaTransformacao>;
// nullptr quando o GDAL não sabe converter um no outro. Os dois na ordem tradicional (x =
// longitude ou leste).
TTransformacao Transformacao(const OGRSpatialReference& de, const OGRSpatialReference& para);

// Nome do sistema para as mensagens ("SIRGAS 2000 / UTM zone 23S").
std::string NomeDoSistema(const OGRSpatialReference& sistema);
