#pragma once
#include <iosfwd>
#include <string>

// Consulta de linha de comando: parâmetros K, a, b, c para um ponto dado em texto
// "00°00'00\"" (latitude sul e longitude oeste em magnitude), com as estações distribuídas
// e as do usuário (pastaUsuario; vazia: nenhuma). Imprime os parâmetros da estação quando
// os textos coincidem com os dela, senão os interpolados.
// Retorna 0 em sucesso, 1 quando os dados não permitem a interpolação e 2 para coordenada
// mal escrita ou arquivo de dados ausente, ilegível ou corrompido.
int ConsultarIdf(const std::string& latitude, const std::string& longitude,
                 const std::string& pastaComuns, const std::string& pastaUsuario,
                 std::ostream& saida, std::ostream& erros);
