#pragma once
#include <exception>
#include <string>

// Texto de um erro para a caixa de erro ou o terminal: a mensagem do programa como veio; as da
// biblioteca padrão (em inglês) trocadas por uma em português.
std::string MensagemParaUsuario(const std::exception& erro);
