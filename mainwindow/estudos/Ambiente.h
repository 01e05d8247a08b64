#pragma once
#include <functional>
#include <string>

#include "comum/ArquivoIni.h"

class QPrinter;
struct TProjeto;
class TUnidades;

// O que as páginas de estudos pedem à janela principal.
struct TAmbienteEstudos {
    TProjeto* Projeto = nullptr;
    TUnidades* Unidades = nullptr;
    // Lê os campos da página de dados, verifica-os como o "Calcular" e devolve o projeto
    // escrito num documento em memória; lança (já mostrando o campo) quando um dado falha.
    std::function<TArquivoIni()> Instantaneo;
    std::function<void(const std::string&)> Erro;
    std::function<void()> MarcarAlterado;
    // Nome do arquivo do projeto, sem a pasta (vazio num projeto novo).
    std::function<std::string()> NomeProjeto;
    std::function<QPrinter&()> Impressora;
    std::function<void()> Voltar;
};
