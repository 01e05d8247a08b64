#pragma once
#include <string>

#include "comum/ArquivoIni.h"
#include "idf/ChuvaDeProjeto.h"

// De onde vieram K, a, b, c da chuva de projeto. Guarda os valores que a consulta deu: quando
// os do projeto deixam de ser esses, os parâmetros passam a ser digitados, e a frase diz de
// que consulta foram alterados.
enum class TTipoOrigemChuva { Digitados, Estacao, Interpolacao, EstacaoUsuario, Ajuste };

struct TOrigemChuva {
    TTipoOrigemChuva Tipo = TTipoOrigemChuva::Digitados;
    // Frase da consulta ("Estação Iraí (RS); fonte: …").
    std::string Descricao;
    // O que foi consultado: estação, localidade ou ponto ("Iraí (RS)").
    std::string Lugar;
    // Chave da fonte da estação, como a consulta a dá.
    std::string Autoria;
    double K = 0, A = 0, B = 0, C = 0;
    // Interpolação: a distância (km) da estação mais próxima que entrou e o raio usado; 0
    // quando não se sabe (arquivo anterior, consulta sem a pasta dos dados).
    double DistanciaMinimaKm = 0, RaioKm = 0;
};

// A origem de uma consulta aceita, a partir do componente que acabou de recebê-la. Com a
// pasta dos dados, a de uma interpolação diz as estações usadas, a distância e o peso de cada
// uma, como a consulta as usou.
TOrigemChuva OrigemDaConsulta(const TChuvaDeProjeto& consulta, const std::string& pastaComuns = {});

// Frase da origem para os valores dados: a da consulta quando são os dela (na precisão com
// que a janela os mostra), "Parâmetros digitados (alterados depois da consulta de …)." quando
// mudaram, "Parâmetros digitados." sem consulta. Vazia sem K.
std::string FraseOrigemChuva(const TOrigemChuva& origem, double K, double a, double b, double c);

// A origem vale para estes valores (consulta sem alteração).
bool OrigemValePara(const TOrigemChuva& origem, double K, double a, double b, double c);

// Grava a seção da origem; a de parâmetros digitados só quando o arquivo já tem a seção
// (um projeto sem consulta sai como sempre saiu).
void GravarOrigemChuva(const TOrigemChuva& origem, TArquivoIni& ini);

// Lê a origem gravada. Arquivo sem ela: digitados, salvo quando K, a, b, c são os da estação
// cujo nome a consulta guardou (consulta feita antes de a origem ser gravada).
TOrigemChuva LerOrigemChuva(const TArquivoIni& ini, const TChuvaDeProjeto& consulta);
