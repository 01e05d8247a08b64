#pragma once
#include <string>
#include <vector>

#include "comum/ArquivoIni.h"

// Chave que o arquivo não tem porque foi gravado antes de ela existir: a leitura toma o valor
// padrão, e o resultado diz qual.
struct TPadraoAplicado {
    std::string Secao, Chave;
    std::string Valor;       // como seria gravado
    std::string Rotulo;      // o dado como a tela o chama
    std::string Significado; // o que o valor quer dizer
    bool operator==(const TPadraoAplicado&) const = default;
};

// Confere cada chave que a leitura do projeto usa, antes de qualquer objeto ser lido. Uma chave
// que todo arquivo tem e falta, um valor vazio, ilegível ou fora da faixa que o arquivo admite
// recusam o arquivo com EMorvendo, nomeando a seção, a chave, o valor e o dado como a tela o
// chama; nada chega ao cálculo tomado de um padrão em silêncio. Devolve os padrões aplicados
// às chaves que os arquivos antigos não têm.
std::vector<TPadraoAplicado> ConferirArquivoProjeto(const TArquivoIni& documento);

// Frase do aviso de um padrão aplicado.
std::string TextoPadraoAplicado(const TPadraoAplicado& padrao);
