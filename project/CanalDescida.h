#pragma once
#include <vector>

#include "engine/Acompanhamento.h"
#include "engine/BalancoHidrico.h"
#include "engine/CanalEstrada.h"
#include "engine/Hidrograma.h"
#include "engine/PerdaSolo.h"
#include "project/Calculo.h"
#include "project/Projeto.h"

// Canal de um lado da estrada ao longo de uma descida, do ponto alto ao baixo: a declividade
// muda onde muda a do perfil, e cada peça recebe a área externa ou só o leito. As peças
// (TPecaCanal, metros inteiros no sentido da água) ficam no motor, que calcula a curva de
// descarga de cada declividade.

// Hidrogramas dos planos (leito e área externa) de um período de retorno, calculados uma vez e
// reaproveitados por muitos canais.
struct THidrogramasPlanos {
    THidrograma Estrada;
    THidrograma Talude; // vazio sem a área externa
    double Tr = 0;      // anos
};

// Os planos do projeto no período de retorno 'tr' (que a chuva do projeto passa a ter, por isso
// o projeto não é constante). Sem 'areaExterna', só o leito. Um erro sai com a etapa e os dados
// que a alimentam; cancelado pela interface, os hidrogramas não servem (quem chama confere).
THidrogramasPlanos CalcularHidrogramasPlanos(TProjeto& projeto, double tr, bool areaExterna,
                                             IAcompanhamentoCalculo* acomp = nullptr);

struct TResultadoDescida {
    double PerdaToleravel = 0;       // g/cm²
    std::vector<TLinhaSecao> Secoes; // uma por metro, como a tabela do cálculo de hoje
    THidrograma Saida;               // L/s na saída do canal, para a bacia
    TBalancoCanal Balanco;
};

// Canal que começa seco e segue as peças em sequência, um nó por metro. Com as perdas, a de
// cada seção (a do cálculo do espaçamento); só o hidrograma, as seções ficam vazias; só as
// perdas, a propagação para quando nenhum nó pode mais erodir, e a saída e o balanço ficam
// incompletos. 'fatorTensaoEfetiva' multiplica γS só na
// tensão excedente que erode o solo (1: a tensão do escoamento). Pode ser chamado por várias
// linhas de execução ao mesmo tempo com o mesmo projeto e os mesmos planos: cada chamada
// tem a sua cópia da chuva. Erro (EMorvendo) para peça de menos de 1 m, declividade fora de
// (0, 1] m/m (a faixa do campo), canal acima do limite de comprimento ou resultado não finito.
// Devolve falso quando cancelado (o resultado não serve).
bool CalcularDescida(const TProjeto& projeto, const THidrogramasPlanos& planos,
                     const std::vector<TPecaCanal>& pecas, TPedidoCanal pedido,
                     IAcompanhamento* acomp, TResultadoDescida& resultado,
                     double fatorTensaoEfetiva = 1.0);
