#pragma once
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// Ajuste de K, a, b, c da equação i = K·T^a/(t+b)^c (i em mm/h, T em anos, t e b em
// minutos) a uma tabela de intensidades ou a uma equação publicada em outra forma.

// Autoria que a consulta dá a uma equação ajustada pelo usuário.
inline constexpr const char* AutorAjuste = "Equação ajustada";

struct TPontoIdf {
    double Duracao = 0;     // min
    double Tr = 0;          // anos
    double Intensidade = 0; // mm/h
};

struct TParametrosIdf {
    double K = 0, A = 0, B = 0, C = 0;
    double Intensidade(double duracao, double tr) const;
};

struct TResultadoAjusteIdf {
    TParametrosIdf Parametros;
    // Erros relativos da equação ajustada diante da tabela (fração, não %).
    double ErroRms = 0;
    double ErroMaximo = 0;
    // Onde ocorre o maior erro, com a intensidade da tabela e a da equação.
    TPontoIdf PiorPonto;
    double IntensidadeAjustadaPior = 0;
    int Iteracoes = 0;
};

// Mínimos quadrados do logaritmo da intensidade por Levenberg–Marquardt, partindo do melhor
// b de uma varredura (para b fixo o problema é linear em ln K, a e c); b fica em b >= 0.
// EMorvendo quando a tabela não determina os quatro parâmetros (menos de três durações ou
// de dois períodos de retorno distintos) ou o ajuste não dá números válidos.
TResultadoAjusteIdf AjustarIdf(const std::vector<TPontoIdf>& pontos);

// Equação de duplo logaritmo publicada em mm/min:
// i = A(t+B)^C + D(t+E)^F·[G + H·ln ln(T/(T−1))], válida de DuracaoMin a DuracaoMax.
struct TEquacaoDuploLog {
    double A = 0, B = 0, C = 0, D = 0, E = 0, F = 0, G = 0, H = 0;
    double DuracaoMin = 0, DuracaoMax = 0; // min
    // Intensidade em mm/h.
    double Intensidade(double duracao, double tr) const;
};

// Durações usuais das tabelas publicadas dentro da faixa (com as duas pontas) × períodos
// de retorno de 2 a 100 anos. EMorvendo para faixa inválida ou intensidade não positiva.
std::vector<TPontoIdf> AmostrarDuploLog(const TEquacaoDuploLog& equacao);

// Tabela em texto: uma linha por ponto com duração (min), período de retorno (anos) e
// intensidade (mm/h), separados por vírgula (ponto decimal), ponto e vírgula ou tabulação
// (ponto ou vírgula decimal). Cabeçalho opcional duracao_min,tr_anos,intensidade_mm_h, em
// qualquer ordem; linhas vazias ignoradas. EMorvendo nomeando a linha e o campo.
std::vector<TPontoIdf> LerTabelaIdf(std::string_view texto);

// Linha de comando: lê a tabela CSV (com o cabeçalho), ajusta e imprime
// "K=… a=… b=… c=…" e a linha dos erros. 0 em sucesso; 1 tabela recusada ou ajuste
// impossível; 2 arquivo ilegível.
int AjustarIdfLinhaDeComando(const std::string& caminho, std::ostream& saida, std::ostream& erros);
