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

// Erro numérico do motor que não diz de que dado vem (ponto flutuante, busca sem convergência,
// seção não definida): quem chama acrescenta a etapa do cálculo e os dados que a alimentam.
class ENumerico : public EMorvendo {
public:
    using EMorvendo::EMorvendo;
};

// Texto da caixa de erro do programa: ponto final acrescentado quando o último caractere vem
// depois do ponto na ordem dos caracteres (letras e algarismos; em UTF-8 também os acentuados).
inline std::string ComPontoFinal(std::string mensagem) {
    if (!mensagem.empty() && static_cast<unsigned char>(mensagem.back()) > '.') mensagem += '.';
    return mensagem;
}
