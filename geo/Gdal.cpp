#include "geo/Gdal.h"

#include <cerrno>
#include <cpl_conv.h>
#include <cpl_error.h>
#include <fcntl.h>
#include <gdal.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"

namespace {

void TratadorColetor(CPLErr classe, CPLErrorNum, const char*) {
    auto* erros = static_cast<TErrosGdal*>(CPLGetErrorHandlerUserData());
    if (erros) erros->Registrar(classe >= CE_Failure);
}

} // namespace

void IniciarGdal() {
    static std::once_flag feito;
    std::call_once(feito, [] {
        CPLSetErrorHandler(CPLQuietErrorHandler);
        // Um cache modesto: o modelo de terreno é lido por janelas ao longo da linha, e o
        // padrão do GDAL (uma fração da memória da máquina) faria um arquivo grande ocupar
        // centenas de megabytes.
        if (!CPLGetConfigOption("GDAL_CACHEMAX", nullptr)) GDALSetCacheMax64(64LL << 20);
        GDALAllRegister();
    });
}

TErrosGdal::TErrosGdal() {
    IniciarGdal();
    CPLPushErrorHandlerEx(TratadorColetor, this);
}

TErrosGdal::~TErrosGdal() {
    CPLPopErrorHandler();
}

TOpcaoGdal::TOpcaoGdal(const char* nome, const char* valor) : FNome(nome) {
    if (const char* antes = CPLGetThreadLocalConfigOption(nome, nullptr)) {
        FAnterior = antes;
        FHaviaAnterior = true;
    }
    CPLSetThreadLocalConfigOption(nome, valor);
}

TOpcaoGdal::~TOpcaoGdal() {
    CPLSetThreadLocalConfigOption(FNome.c_str(), FHaviaAnterior ? FAnterior.c_str() : nullptr);
}

void ConferirArquivoDeEntrada(const std::string& caminho) {
    const int fd = ::open(caminho.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int erro = errno;
        if (erro == ENOENT) throw EArquivoNaoExiste("O arquivo " + caminho + " não existe.");
        const std::string motivo = MotivoErroSistema(erro, true);
        throw EEntradaSaida("Não foi possível ler o arquivo " + caminho +
                            (motivo.empty() ? "" : ": " + motivo) + ".");
    }
    struct stat st {};
    const bool comum = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    if (!comum)
        throw EEntradaSaida("Não foi possível ler o arquivo " + caminho +
                            ": não é um arquivo comum.");
}

OGRSpatialReference SistemaEpsg(int codigo) {
    OGRSpatialReference s;
    s.importFromEPSG(codigo);
    s.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return s;
}

TTransformacao Transformacao(const OGRSpatialReference& de, const OGRSpatialReference& para) {
    OGRSpatialReference a(de), b(para);
    a.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    b.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return TTransformacao(OGRCreateCoordinateTransformation(&a, &b));
}

std::string NomeDoSistema(const OGRSpatialReference& sistema) {
    const char* nome = sistema.GetName();
    return nome && *nome ? nome : "sem nome";
}
