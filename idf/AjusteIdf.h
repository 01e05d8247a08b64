#pragma once
#include "comum/EMorvendo.h"

#include <functional>
#include <iosfwd>
#include <optional>
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

// Faixas de K, a, b e c: maiores que 0 e até estes máximos. A tabela de campos da página de
// dados, as estações do usuário e o ajuste usam estas, e só estas.
// O ajuste mantém b de BMinimoAjuste a BMaximoIdf: sem um piso, uma tabela de potência pura
// dá b = 0 e a intensidade no começo da chuva, K·T^a/b^c, não é finita.
inline constexpr double KMaximoIdf = 100000, AMaximoIdf = 1, BMaximoIdf = 1000, CMaximoIdf = 3;
inline constexpr double BMinimoAjuste = 1; // min
// Acima deste erro RMS relativo a melhor equação dentro das faixas não representa a tabela.
inline constexpr double ErroRmsMaximoAjuste = 0.25;

// A tabela foi lida, mas nenhuma equação dentro das faixas a representa.
class EAjusteSemEquacao : public EMorvendo {
public:
    using EMorvendo::EMorvendo;
};

// Erros relativos de uma equação diante da tabela (fração, não %).
struct TErrosAjusteIdf {
    double ErroRms = 0;
    double ErroMaximo = 0;
    // Onde ocorre o maior erro, com a intensidade da tabela e a da equação.
    TPontoIdf PiorPonto;
    double IntensidadeAjustadaPior = 0;
};

struct TAjusteLivreIdf : TErrosAjusteIdf {
    TParametrosIdf Parametros;
};

struct TResultadoAjusteIdf : TErrosAjusteIdf {
    TParametrosIdf Parametros;
    int Iteracoes = 0;
    // Faixas da tabela ajustada (min e anos).
    double DuracaoMin = 0, DuracaoMax = 0, TrMin = 0, TrMax = 0;
    // Parâmetros no limite da faixa ("K", "a", "b", "c"): sem ele o ajuste sairia dela.
    std::vector<const char*> NoLimite;
    // Presente quando o melhor ajuste sem limites fica fora das faixas: ele e os seus erros,
    // só para comparar (não é uma equação que o programa aceite); Parametros é a melhor
    // dentro delas.
    std::optional<TAjusteLivreIdf> Livre;
};

// Mínimos quadrados do logaritmo da intensidade, com K, a, b e c nas faixas acima: para cada
// b, ln K, a e c pelo ajuste linear com limites (o conjunto de limites ativos que dá a menor
// soma); b pela varredura geométrica da faixa e o mínimo de Brent (GSL); por fim o
// Levenberg–Marquardt da GSL sem limites, que só fica quando cai dentro das faixas.
// EMorvendo quando a tabela não determina os quatro parâmetros (menos de três durações ou de
// dois períodos de retorno distintos) ou tem um ponto inválido; EAjusteSemEquacao quando a
// melhor equação dentro das faixas tem a ou c em 0 (intensidade que não cresce com o período
// de retorno ou não diminui com a duração) ou erra mais que ErroRmsMaximoAjuste.
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

// Tabela em texto, campos separados por vírgula (ponto decimal), ponto e vírgula ou tabulação
// (ponto ou vírgula decimal); linhas vazias ignoradas. Duas disposições:
// - uma linha por ponto com duração (min), período de retorno (anos) e intensidade (mm/h),
//   cabeçalho opcional duracao_min,tr_anos,intensidade_mm_h em qualquer ordem;
// - a das publicações: a primeira linha com uma célula de canto (texto ou vazia) e os
//   períodos de retorno; cada linha seguinte com a duração e uma intensidade por período.
// EMorvendo nomeando a linha e o campo ou a coluna.
std::vector<TPontoIdf> LerTabelaIdf(std::string_view texto);

// Linha de comando: lê a tabela (uma das duas disposições), ajusta e imprime
// "K=… a=… b=… c=…", a linha dos erros, a das faixas da tabela e, com parâmetros no limite,
// quais são e o erro que o ajuste sem limites teria. 0 em sucesso; 1 tabela recusada;
// 2 arquivo ilegível; 3 nenhuma equação dentro das faixas representa a tabela.
int AjustarIdfLinhaDeComando(const std::string& caminho, std::ostream& saida, std::ostream& erros);

// Para as opções de linha de comando que ajustam uma equação: "K=… a=… b=… c=…" com a
// precisão completa, e o arquivo de entrada lido ou o erro escrito em `erros` (nullopt).
std::string LinhaEquacaoIdf(const TParametrosIdf& p);
std::optional<std::string> LerEntradaLinhaDeComando(const std::string& caminho,
                                                    std::ostream& erros);
// Roda o ajuste e dá o status da linha de comando: 0 feito; 3 nenhuma equação nas faixas;
// 1 outro erro, escrito em `erros` depois do nome do arquivo.
int StatusDoAjusteLinhaDeComando(const std::string& caminho, std::ostream& erros,
                                 const std::function<void()>& ajuste);
