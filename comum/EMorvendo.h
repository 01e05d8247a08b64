#pragma once
#include <stdexcept>
#include <string>

// Erro do núcleo: a mensagem já vem em português (UTF-8), pronta para a caixa de erro.
class EMorvendo : public std::runtime_error {
public:
    explicit EMorvendo(const std::string& mensagem) : std::runtime_error(mensagem) {}
};

// Arquivo que deveria existir e não existe.
class EArquivoNaoExiste : public EMorvendo {
public:
    using EMorvendo::EMorvendo;
};

// Erro de entrada/saída (criar, ler ou gravar um arquivo).
class EEntradaSaida : public EMorvendo {
public:
    using EMorvendo::EMorvendo;
};

// Arquivo que não é do tipo esperado (um projeto sem a versão certa, por exemplo).
class EArquivoRecusado : public EMorvendo {
public:
    using EMorvendo::EMorvendo;
};
