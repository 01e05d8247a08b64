#pragma once
#include <string_view>
#include <vector>

// Mapa da ajuda. Um destino é "pagina.html" ou "pagina.html#ancora", relativo à pasta Ajuda.

// Número de contexto que botões, abas e diálogos usam para abrir a página do lugar onde estão.
struct TContextoAjuda {
    int Numero;
    std::string_view Destino;
    std::string_view Onde;
};

// Linha da árvore de conteúdo; o nível 0 é a raiz.
struct TItemConteudo {
    int Nivel;
    std::string_view Titulo;
    std::string_view Destino;
};

// Entrada do índice de palavras-chave.
struct TPalavraChave {
    std::string_view Palavra;
    std::string_view Destino;
};

inline constexpr std::string_view PAGINA_INICIAL = "index.html";

const std::vector<TContextoAjuda>& ContextosAjuda();
// nullptr quando o número não é de nenhum lugar do programa.
const TContextoAjuda* ProcurarContexto(int numero);
const std::vector<TItemConteudo>& ConteudoAjuda();
const std::vector<TPalavraChave>& IndiceAjuda();
