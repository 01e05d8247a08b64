#pragma once
#include "idf/ReferenciasIdf.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QWidget;

// Caixas de mensagem da consulta. O programa usa as caixas padrão; os testes registram as
// mensagens sem abrir janelas.
class IMensagensConsulta {
public:
    virtual ~IMensagensConsulta() = default;
    // Caixa de erro do programa: título "Morvendo", ícone de parada, ponto final.
    virtual void Erro(QWidget* pai, const QString& mensagem) = 0;
    virtual void Informacao(QWidget* pai, const QString& titulo, const QString& texto) = 0;
    // Pergunta de sim ou não; sem quem responda, sim.
    virtual bool Confirmar(QWidget*, const QString&, const QString&) { return true; }
};

// Caixas padrão do Qt.
IMensagensConsulta& MensagensPadrao();

// Mensagem de erro com o ponto final da caixa de erro do programa: acrescentado quando o
// último caractere vem depois do ponto na ordem dos caracteres (letras e algarismos).
QString ComPontoFinal(const QString& mensagem);

// Ajuda do programa hospedeiro; funções vazias deixam os comandos de ajuda desativados.
struct TAjudaConsulta {
    std::function<void(int contexto)> Topico;
    std::function<void()> Conteudo;
    std::function<void(const QString& chave)> Procurar;
};

// Onde a consulta busca os dados e a quem ela fala.
struct TAmbienteConsulta {
    // Pasta "Arquivos Comuns": banco de estações, localidades, mapas e figuras.
    QString PastaComuns;
    // Pasta de dados do usuário, onde ficam as estações dele; vazia: nenhuma.
    QString PastaUsuario;
    // Referências das chaves das estações (janela Autor) e a chave da fonte de Goiás e
    // Distrito Federal, que acompanha a nota sobre a desagregação da chuva de um dia.
    std::vector<TReferencia> Referencias;
    std::string ChaveFonteGoiasDF;
    TAjudaConsulta Ajuda;
    // Durações (min) da chuva de projeto com a equação dada, para o aviso da janela Autor
    // quando elas saem da faixa da estação; vazia fora de um projeto.
    std::function<std::vector<double>(double K, double a, double b, double c)> DuracoesProjeto;
    IMensagensConsulta* Mensagens = nullptr; // nulo: MensagensPadrao()

    IMensagensConsulta& Avisos() const { return Mensagens ? *Mensagens : MensagensPadrao(); }
    QString Arquivo(const QString& nome) const;
    const TReferencia* ProcurarReferencia(const std::string& chave) const;
};

// "../Arquivos Comuns" ao lado da pasta do programa, como instalado.
QString PastaComunsDoPrograma();

// Pasta de dados do usuário: MORVENDO_DADOS_USUARIO quando definida (testes), senão a de
// QStandardPaths::AppDataLocation.
QString PastaDadosUsuarioDoPrograma();

// Pasta do programa, a pasta de dados do usuário registrada no núcleo (ou a do programa),
// referências compiladas, caixas padrão e sem ajuda.
TAmbienteConsulta AmbienteConsultaPadrao();
