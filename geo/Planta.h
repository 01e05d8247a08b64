#pragma once
#include <string>
#include <vector>

// O que a janela recebe do módulo do mapa para a escolha da linha e para a planta da estrada,
// só com tipos simples: a janela não liga o GDAL.

// Uma linha de uma camada do arquivo, como aparece na escolha.
struct TLinhaDoMapa {
    long long Feicao = 0;   // o identificador (FID)
    std::string Nome;       // o campo de nome, quando há
    double Comprimento = 0; // m, sobre o elipsoide
    bool TemCotas = false;  // todos os vértices com cota, nem todas zero
};

struct TCamadaDoMapa {
    std::string Nome;
    std::vector<TLinhaDoMapa> Linhas;
};

// Relevo sombreado do modelo de terreno em volta da estrada, já no plano UTM dela (norte para
// cima, pixels quadrados).
struct TRelevo {
    int Largura = 0, Altura = 0;
    // Linha a linha, do norte para o sul; 0 onde o modelo não tem dado.
    std::vector<unsigned char> Cinza;
    double Oeste = 0, Sul = 0, Leste = 0, Norte = 0; // bordas da imagem, m (UTM)
    bool Vazio() const { return Largura <= 0 || Altura <= 0; }
};
