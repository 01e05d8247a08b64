#pragma once
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "comum/EMorvendo.h"
#include "project/Estudos.h"

// O caminho da linha da estrada (já em UTM) até o perfil que a locação usa: estaqueamento,
// amostras a cada metro, média móvel e pontos a cada trecho mínimo. Sem GDAL: é o que o
// fuzzing exercita.

// Vértice em UTM (m), com a latitude (graus) para o fator de escala e a cota, NaN quando a
// linha não a tem.
struct TVerticeUtm {
    double E = 0;
    double N = 0;
    double Latitude = 0;
    double Z = std::numeric_limits<double>::quiet_NaN();
};

// Estrada mais longa que o programa aceita, m.
constexpr double COMPRIMENTO_MAXIMO_ESTRADA = 1e6;
// Distância ao longo da linha de cada lado de um vértice para ver se ela volta sobre si
// mesma, m: maior que o ruído de um GPS parado, menor que uma curva fechada.
constexpr double ALCANCE_VOLTA = 10;

// "estaca 12 + 8,00 (248,0 m)": onde está um defeito da estrada, para as mensagens.
std::string LugarNaEstrada(double posicao);

// Fator de escala da projeção UTM (k0 = 0,9996) no leste dado, na latitude dada.
double FatorEscalaUtm(double leste, double latitude);

// Vértices seguidos iguais (a menos de 1 mm) viram um. Depois, as posições ao longo da linha,
// m: comprimentos da grade UTM divididos pelo fator de escala no meio de cada segmento, o que
// dá o comprimento sobre o elipsoide. EMorvendo para menos de dois vértices distintos, para
// coordenada que não é número, para estrada longa demais e para linha que volta sobre si
// mesma (com a estaca).
std::vector<double> PosicoesDaLinha(std::vector<TVerticeUtm>& vertices);

struct TAmostraLinha {
    double Posicao = 0; // m
    double E = 0, N = 0;
    double Z = std::numeric_limits<double>::quiet_NaN();
};

// Amostras a cada metro (0, 1, 2, ...) e uma no fim, com E, N e a cota interpoladas.
std::vector<TAmostraLinha> AmostrasACadaMetro(const std::vector<TVerticeUtm>& vertices,
                                              const std::vector<double>& posicoes);

// O ponto da linha na posição dada (limitada ao comprimento), com a cota interpolada.
TAmostraLinha PontoDaLinha(const std::vector<TVerticeUtm>& vertices,
                           const std::vector<double>& posicoes, double posicao);

// A parte da linha entre duas posições: as pontas e os vértices entre elas.
std::vector<TAmostraLinha> PedacoDaLinha(const std::vector<TVerticeUtm>& vertices,
                                         const std::vector<double>& posicoes, double de,
                                         double ate);

// Média móvel centrada numa janela de 'janela' metros; perto das pontas a janela encolhe dos
// dois lados, para que as pontas fiquem como estão. Janela 0: o próprio perfil.
std::vector<TPontoPerfil> SuavizarPerfil(const std::vector<TPontoPerfil>& perfil, double janela);

// Pontos do perfil suavizado que formam as rampas: cristas e baixadas onde estão e, entre
// elas, pontos igualmente espaçados, nenhum trecho menor que 'trechoMinimo' (salvo a estrada
// toda ser menor). Cristas e baixadas mais perto que isso de outra ou das pontas ficam de fora.
std::vector<TPontoPerfil> PerfilPorTrechoMinimo(const std::vector<TPontoPerfil>& suavizado,
                                                double trechoMinimo);

struct TOpcoesPerfil {
    double Janela = 20;       // média móvel, m
    double TrechoMinimo = 20; // m
};

// Os três perfis de uma estrada: o lido a cada metro, o suavizado e o da locação.
struct TPerfilEstrada {
    std::vector<TPontoPerfil> Bruto;
    std::vector<TPontoPerfil> Suavizado;
    std::vector<TPontoPerfil> Perfil;
};

// Confere as opções (EMorvendo com a mensagem do campo). Aqui, sem o GDAL, para que a janela
// confira o que se digitou antes de carregar o módulo do mapa.
inline void ConferirOpcoesPerfil(const TOpcoesPerfil& opcoes) {
    if (!(opcoes.Janela >= 0 && opcoes.Janela <= 1000))
        throw EMorvendo("A janela de suavização deve ficar entre 0 e 1000 m.");
    if (!(opcoes.TrechoMinimo >= 1 && opcoes.TrechoMinimo <= 10000))
        throw EMorvendo("O trecho mínimo deve ficar entre 1 e 10000 m.");
}

// Do perfil bruto a cada metro aos outros dois. EMorvendo para cota que não é número.
TPerfilEstrada DerivarPerfil(std::vector<TPontoPerfil> bruto, const TOpcoesPerfil& opcoes);
