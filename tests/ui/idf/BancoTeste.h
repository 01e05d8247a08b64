#pragma once
// Banco pequeno da consulta para os testes, montado pelo gerador do banco: estações
// inventadas no Paraná, em Minas Gerais e em Goiás, localidades inventadas no Paraná e os
// mapas do PR e de MG copiados dos gerados pela compilação. Os demais mapas de estado
// faltam de propósito.
#include "idf/BancoEstacoes.h"
#include "idf/ui/AmbienteConsulta.h"
#include "tools/DadosIdf.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

#include <fstream>
#include <stdexcept>

// Mensagens registradas em vez de mostradas.
class TMensagensRegistradas : public IMensagensConsulta {
public:
    void Erro(QWidget*, const QString& mensagem) override { Erros << mensagem; }
    void Informacao(QWidget*, const QString& titulo, const QString& texto) override {
        Informacoes << titulo + QStringLiteral(": ") + texto;
    }
    QStringList Erros, Informacoes;
};

inline QString PastaComunsGerada() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../Arquivos Comuns"));
}

// Pixels do mapa do Paraná usados pelos testes (todos na área azul).
struct TPontosParana {
    static constexpr int EstacaoAlfaX = 150, EstacaoAlfaY = 200;
    static constexpr int EstacaoBetaX = 350, EstacaoBetaY = 260;
    static constexpr int LocalidadeX = 250, LocalidadeY = 230;
};

class TBancoTeste {
public:
    TBancoTeste() {
        if (!FPasta.isValid()) throw std::runtime_error("sem pasta temporária");
        const TMolduraMapa& pr = *MolduraEstado(15);
        const TMolduraMapa& mg = *MolduraEstado(12);
        auto ponto = [](const TMolduraMapa& m, int x, int y) {
            double lat, lon;
            PixelParaPonto(m, x, y, lat, lon);
            return std::pair{lat, lon};
        };
        const auto alfa = ponto(pr, TPontosParana::EstacaoAlfaX, TPontosParana::EstacaoAlfaY);
        const auto beta = ponto(pr, TPontosParana::EstacaoBetaX, TPontosParana::EstacaoBetaY);
        const auto local = ponto(pr, TPontosParana::LocalidadeX, TPontosParana::LocalidadeY);
        const auto gama = ponto(mg, 225, 230);
        LatitudeLocalidade = local.first;
        LongitudeLocalidade = local.second;

        auto n = [](double v) { return QString::number(v, 'g', 17).toStdString(); };
        const std::string estacoes =
            "uf,estacao,latitude,longitude,K,a,b,c,fonte\n"
            "PR,Estação Teste Beta," +
            n(beta.first) + "," + n(beta.second) +
            ",2000.25,0.2,20.5,0.9,TESTE-PR\n"
            "PR,Estação Teste Alfa," +
            n(alfa.first) + "," + n(alfa.second) +
            ",1234.5678,0.15,12.3,0.82,TESTE-PR\n"
            "MG,Estação Teste Gama," +
            n(gama.first) + "," + n(gama.second) +
            ",1500,0.18,15,0.85,TESTE-MG\n"
            "GO,Estação Teste Goiânia,16.68,49.25,1800,0.17,14,0.8,TESTE-GO\n"
            "GO,Estação Teste Jataí,17.88,51.72,1700,0.16,13,0.79,TESTE-MG\n";
        const std::string localidades = "uf,nome,latitude,longitude\n"
                                        "PR,Localidade Teste Um," +
                                        n(-local.first) + "," + n(-local.second) +
                                        "\n"
                                        // No mar, dentro da moldura do Paraná e fora da área azul.
                                        "PR,Localidade Teste Litoral,-26.5,-48.1\n";

        const auto chaves = std::set<std::string>{"TESTE-PR", "TESTE-MG", "TESTE-GO"};
        const auto me =
            MontarEstacoes(LerCsvTexto(estacoes, "estacoes.csv"), chaves, "estacoes.csv");
        const auto ml =
            MontarLocalidades(LerCsvTexto(localidades, "localidades.csv"), "localidades.csv");
        if (!me.Erros.empty() || !ml.Erros.empty())
            throw std::runtime_error("banco de teste recusado pelo gerador");
        Gravar(NomeArquivoEstacoes, ArquivoEstacoes(me.Estacoes));
        Gravar(NomeArquivoLocalidades, ArquivoLocalidades(ml.Localidades));
        for (const char* nome :
             {"PR.bmp", "MG.bmp", "Brasil.bmp", "CabecalhoConsulta.jpg", "FiguraSobreConsulta.png"})
            if (!QFile::copy(PastaComunsGerada() + "/" + nome, Pasta() + "/" + nome))
                throw std::runtime_error(std::string("falta a figura gerada ") + nome);
    }

    QString Pasta() const { return FPasta.path(); }

    TAmbienteConsulta Ambiente() {
        TAmbienteConsulta a;
        a.PastaComuns = Pasta();
        a.Referencias = {
            {"TESTE-PR", "Autores do Paraná", "Chuvas do Paraná", "Revista de teste, 2001", "PR",
             ""},
            {"TESTE-MG", "Autores de Minas", "Chuvas de Minas", "Livro de teste, 2002", "MG", ""},
            {"TESTE-GO", "Autores de Goiás", "Chuvas de Goiás", "Revista de teste, 2005", "GO", ""},
        };
        a.ChaveFonteGoiasDF = "TESTE-GO";
        a.Mensagens = &Mensagens;
        return a;
    }

    TMensagensRegistradas Mensagens;
    double LatitudeLocalidade = 0, LongitudeLocalidade = 0;

private:
    void Gravar(const char* nome, const std::string& bytes) const {
        std::ofstream(QDir(Pasta()).filePath(nome).toStdString(), std::ios::binary) << bytes;
    }

    QTemporaryDir FPasta;
};
