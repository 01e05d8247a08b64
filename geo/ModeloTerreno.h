#pragma once
#include <string>
#include <vector>

#include "geo/LinhaEstrada.h"

// Cotas de um modelo de terreno (qualquer raster que o GDAL lê: GeoTIFF, .hgt, grade ASCII...)
// ao longo da linha da estrada, a cada metro, por interpolação bilinear no sistema do próprio
// raster. O raster é lido por janelas ao longo da linha, nunca inteiro.

// Maior janela lida de uma vez, em células de cada lado.
constexpr int LADO_MAXIMO_JANELA = 256;

// Perfil bruto a cada metro. EArquivoNaoExiste, EArquivoRecusado (não é um raster que o GDAL
// lê) ou EMorvendo com o motivo: sem sistema de coordenadas, em graus sem unidade das cotas,
// sistema que não se converte, e a estaca onde a estrada sai do modelo ou cai numa célula
// sem dado.
std::vector<TPontoPerfil> PerfilDoTerreno(const std::string& caminho, const TLinhaEstrada& linha);

// O perfil bruto da estrada: do modelo de terreno quando há um, senão das cotas da linha; os
// outros dois a partir dele.
TPerfilEstrada PerfilDaEstrada(const TLinhaEstrada& linha, const std::string& terreno,
                               const TOpcoesPerfil& opcoes);

// O relevo sombreado do modelo em volta da estrada, no plano UTM dela, com no máximo
// 'ladoMaximo' pixels no lado maior. Vazio quando o modelo não chega à estrada.
TRelevo RelevoDoTerreno(const std::string& caminho, const TLinhaEstrada& linha, int ladoMaximo);
