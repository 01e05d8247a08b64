#pragma once

// Os contextos de ajuda: cada janela, aba e diálogo que abre uma página pela tecla F1 ou por um
// botão "Ajuda" usa um destes, e a tabela da ajuda liga cada um à sua página. Os números são
// os dos projetos e das configurações antigas e não mudam.
enum TIdContextoAjuda : int {
    CONTEXTO_CONTEUDO = 0,
    CONTEXTO_CONSULTA_IDF = 7,
    CONTEXTO_DADOS = 15,
    CONTEXTO_DADOS_ESTRADA = 16,
    CONTEXTO_DADOS_PRECIPITACAO = 17,
    CONTEXTO_DADOS_BACIAS = 18,
    CONTEXTO_COBERTURA = 20,
    CONTEXTO_RUGOSIDADE_CANAL = 21,
    CONTEXTO_RESULTADOS = 27,
    CONTEXTO_SIMULACAO = 28,
    CONTEXTO_UNIDADES = 29,
    CONTEXTO_ESTUDOS = 30,
    CONTEXTO_PROTECAO = 31,
    CONTEXTO_RUGOSIDADE_TERRENO = 400,
    CONTEXTO_TALUDE_CANAL = 2220,
};

// Todos, na ordem acima: a tabela da ajuda e os testes percorrem esta lista.
inline constexpr TIdContextoAjuda TODOS_CONTEXTOS_AJUDA[] = {
    CONTEXTO_CONTEUDO,           CONTEXTO_CONSULTA_IDF,       CONTEXTO_DADOS,
    CONTEXTO_DADOS_ESTRADA,      CONTEXTO_DADOS_PRECIPITACAO, CONTEXTO_DADOS_BACIAS,
    CONTEXTO_COBERTURA,          CONTEXTO_RUGOSIDADE_CANAL,   CONTEXTO_RESULTADOS,
    CONTEXTO_SIMULACAO,          CONTEXTO_UNIDADES,           CONTEXTO_ESTUDOS,
    CONTEXTO_RUGOSIDADE_TERRENO, CONTEXTO_TALUDE_CANAL,       CONTEXTO_PROTECAO,
};
