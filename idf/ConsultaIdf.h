#pragma once
#include <iosfwd>
#include <string>

// Consulta de linha de comando: parâmetros K, a, b, c para um ponto dado em texto (graus,
// minutos e segundos como 27°11'36" ou 7°20'58", ou graus decimais como -22.5 e 22,5 S;
// latitude sul e longitude oeste), com as estações distribuídas e as do usuário
// (pastaUsuario; vazia: nenhuma). A até 1 km de uma estação imprime a equação dela; senão a
// interpolada com as estações a até raioKm do ponto, uma linha por estação usada.
// Retorna 0 em sucesso, 1 quando os dados não permitem a interpolação (nenhuma estação no
// raio) e 2 para coordenada mal escrita, raio fora de 10 a 300 km ou arquivo de dados
// ausente, ilegível ou corrompido.
int ConsultarIdf(const std::string& latitude, const std::string& longitude,
                 const std::string& pastaComuns, const std::string& pastaUsuario, double raioKm,
                 std::ostream& saida, std::ostream& erros);
