#pragma once
#include <vector>

#include "geo/ExportarMapa.h"
#include "project/Locacao.h"

// A locação dos desaguadouros vista no mapa: cada desaguadouro como ponto e, como linhas, os
// canais que chegam a ele (da crista ou do desaguadouro de cima até ele), com a declividade
// média do perfil e o comprimento, que é o espaçamento adotado ali.
struct TLocacaoMapa {
    std::vector<TDesaguadouroMapa> Desaguadouros;
    std::vector<TTrechoMapa> Trechos;
};

// 'perfil' é o que deu as declividades (o suavizado a cada metro, ou o da locação).
TLocacaoMapa LocacaoParaMapa(const TResultadoLocacao& locacao,
                             const std::vector<TPontoPerfil>& perfil);
