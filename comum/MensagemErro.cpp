#include "comum/MensagemErro.h"

#include <filesystem>
#include <new>
#include <system_error>

#include "comum/EMorvendo.h"

namespace {

std::string MotivoDoSistema(const std::error_code& c) {
    switch (static_cast<std::errc>(c.value())) {
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted:
        return "permissão negada";
    case std::errc::filename_too_long:
        return "nome de arquivo longo demais";
    case std::errc::no_such_file_or_directory:
        return "arquivo ou pasta inexistente";
    case std::errc::no_space_on_device:
        return "não há espaço no disco";
    case std::errc::read_only_file_system:
        return "o disco só permite leitura";
    case std::errc::is_a_directory:
        return "é uma pasta";
    case std::errc::not_a_directory:
        return "parte do caminho não é uma pasta";
    case std::errc::too_many_files_open:
        return "arquivos abertos demais";
    default:
        return "erro de entrada e saída (código " + std::to_string(c.value()) + ")";
    }
}

} // namespace

std::string MensagemParaUsuario(const std::exception& erro) {
    if (dynamic_cast<const EMorvendo*>(&erro)) return erro.what();
    if (dynamic_cast<const std::bad_alloc*>(&erro))
        return "Não há memória suficiente para concluir a operação.";
    if (const auto* f = dynamic_cast<const std::filesystem::filesystem_error*>(&erro)) {
        const std::string arquivo = f->path1().empty() ? "" : " " + f->path1().string();
        return "Não foi possível usar o arquivo" + arquivo + ": " + MotivoDoSistema(f->code()) +
               ".";
    }
    if (const auto* s = dynamic_cast<const std::system_error*>(&erro))
        return "Erro do sistema: " + MotivoDoSistema(s->code()) + ".";
    return "Erro interno: a operação não pôde ser concluída.";
}
