#pragma once
#include "idf/BancoEstacoes.h"
#include "idf/ReferenciasIdf.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// O que se sabe da equação em uso: a estação de onde veio, como foi verificada e a faixa de
// durações em que a fonte diz que ela vale.

// Estação da tabela compilada com essa chave de fonte e esses K, a, b, c (a consulta copia os
// parâmetros da estação escolhida), ou do usuário (pasta de PastaDadosUsuario); nullptr para
// interpolação ou equação digitada. Chave vazia (projeto reaberto: a autoria não é gravada)
// compara só os parâmetros. Uma estação do usuário vale até a próxima chamada na mesma linha
// de execução.
const TInfoEstacaoIdf* ProcurarInfoEstacao(std::string_view chave, double K, double a, double b,
                                           double c);

// Lugar e origem da chuva em uso, para a página de dados: estação (com a fonte), localidade
// ou ponto interpolado, equação ajustada ou digitada. Vazio sem parâmetros.
std::string OrigemChuva(const std::string& autoria, std::int16_t indLocalidade,
                        const std::string& cidade, const std::string& estado,
                        const std::string& latitude, const std::string& longitude, double K,
                        double a, double b, double c);

struct TEstacaoUsuario;
// Põe as estações do usuário no banco, cada uma no seu estado.
void AplicarEstacoesUsuario(TBancoEstacoes& bd, const std::vector<TEstacaoUsuario>& lista);

// A consulta no ponto de um projeto refeita com o banco da pasta dada, as estações do usuário
// e o raio do programa, quando ela dá os K, a, b, c do projeto (na precisão de três casas com
// que a janela entrega uma interpolação); nullopt quando não dá, quando o ponto não se lê ou
// o banco falta.
std::optional<TConsultaPonto> RefazerConsulta(const std::string& pastaComuns,
                                              const std::string& latitude,
                                              const std::string& longitude, double K, double a,
                                              double b, double c);

// "lida na própria publicação", ... (minúsculas, para compor frases).
std::string TextoVerificacao(TVerificacaoIdf v);

// "de 10 a 1440 min", "até 240 min", "a partir de 5 min" ou "não informada pela fonte".
std::string TextoFaixaDuracoes(const TInfoEstacaoIdf& e);

// "de 2 a 100 anos", "até 20 anos", "a partir de 5 anos" ou "não informada pela fonte".
std::string TextoFaixaTr(const TInfoEstacaoIdf& e);
// O período de retorno (anos) fica fora da faixa que a fonte dá; falso quando ela não dá.
bool TrForaDaFaixa(const TInfoEstacaoIdf& e, double tr);

// Durações da chuva de projeto (min) sobre cada superfície: o tempo em que a intensidade
// instantânea, com o período de retorno dado, fica acima da infiltração estável (mm/h) de
// cada uma. Superfícies em que a chuva nunca passa da infiltração ficam de fora.
std::vector<double> DuracoesChuvaProjeto(double K, double a, double b, double c, double tr,
                                         const std::vector<double>& infiltracoes);

// Aviso quando alguma duração fica fora da faixa da estação; vazio quando todas cabem, quando
// a fonte não dá a faixa ou quando não há durações.
std::string AvisoFaixaDuracoes(const TInfoEstacaoIdf& e, const std::vector<double>& duracoes);
