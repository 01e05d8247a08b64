#include "tools/DadosIdf.h"

#include "comum/ArquivoIni.h"
#include "comum/Numeros.h"
#include "comum/Win1252.h"
#include "idf/OrdemAlfabetica.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>
#include <optional>

namespace {

// Extremos do território, com folga para as ilhas costeiras; sul e oeste positivos.
constexpr double LatitudeNorte = -5.3, LatitudeSul = 33.8;
constexpr double LongitudeLeste = 28.8, LongitudeOeste = 74.1;

std::string Aparar(const std::string& s) {
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    const auto b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

class TLinhaValidada {
public:
    TLinhaValidada(const TTabelaCsv& t, const TLinhaCsv& l, const std::string& arquivo,
                   TMontagem& m)
        : FTabela(t), FLinha(l), FArquivo(arquivo), FMontagem(m) {}

    void Erro(const std::string& texto) {
        FMontagem.Erros.push_back(Onde() + texto);
        FValida = false;
    }
    void Aviso(const std::string& texto) { FMontagem.Avisos.push_back(Onde() + texto); }
    bool Valida() const { return FValida; }

    std::string Campo(const char* coluna) const {
        const int i = FTabela.Coluna(coluna);
        return i >= 0 && static_cast<std::size_t>(i) < FLinha.Campos.size()
                   ? Aparar(FLinha.Campos[i])
                   : std::string();
    }

    std::optional<double> Numero(const char* coluna) {
        const auto texto = Campo(coluna);
        const auto v = TentarTextoParaReal(texto, '.');
        if (!v || !std::isfinite(*v)) {
            Erro(std::string(coluna) + " \"" + texto + "\" não é um número (use ponto decimal).");
            return std::nullopt;
        }
        return v;
    }

    // Texto que precisa caber num campo Windows-1252 de tamanho fixo.
    std::string Texto(const char* coluna, std::size_t maximo) {
        auto texto = Campo(coluna);
        if (texto.empty()) {
            Erro(std::string(coluna) + " vazio.");
        } else if (!win1252::Representavel(texto)) {
            Erro(std::string(coluna) + " \"" + texto +
                 "\" tem caracteres sem representação em Windows-1252.");
        } else if (const auto n = win1252::DeUtf8(texto).size(); n > maximo) {
            Erro(std::string(coluna) + " \"" + texto + "\" tem " + std::to_string(n) +
                 " caracteres; o máximo é " + std::to_string(maximo) + ".");
        }
        return texto;
    }

    // Colunas opcionais <nome>_min e <nome>_max (vazias quando a fonte não diz): cada uma
    // na faixa aceita, e a mínima menor que a máxima.
    template <class TAceita>
    void Faixa(const std::string& nome, double& minimo, double& maximo, TAceita aceita,
               const char* regra) {
        const std::pair<std::string, double*> colunas[] = {{nome + "_min", &minimo},
                                                           {nome + "_max", &maximo}};
        for (const auto& [coluna, destino] : colunas) {
            if (Campo(coluna.c_str()).empty()) continue;
            const auto v = Numero(coluna.c_str());
            if (v && !aceita(*v))
                Erro(coluna + " deve ser " + regra + ".");
            else if (v)
                *destino = *v;
        }
        if (minimo > 0 && maximo > 0 && !(minimo < maximo))
            Erro(nome + "_min deve ser menor que " + nome + "_max.");
    }

    int Estado() {
        const auto uf = Campo("uf");
        const int i = IndiceEstadoPorCodigo(uf);
        if (i < 0) Erro("uf \"" + uf + "\" não é a sigla de um estado.");
        return i;
    }

private:
    std::string Onde() const { return FArquivo + ", linha " + std::to_string(FLinha.Linha) + ": "; }

    const TTabelaCsv& FTabela;
    const TLinhaCsv& FLinha;
    const std::string& FArquivo;
    TMontagem& FMontagem;
    bool FValida = true;
};

bool ConferirColunas(const TTabelaCsv& t, std::initializer_list<const char*> colunas,
                     const std::string& arquivo, TMontagem& m) {
    bool ok = true;
    for (const char* c : colunas)
        if (t.Coluna(c) < 0) {
            m.Erros.push_back(arquivo + ", linha 1: falta a coluna \"" + c + "\".");
            ok = false;
        }
    return ok;
}

template <typename T> void Ordenar(std::vector<T>& lista) {
    std::stable_sort(lista.begin(), lista.end(),
                     [](const T& a, const T& b) { return NomeAntes(a.Nome, b.Nome); });
}

} // namespace

double Intensidade(double K, double a, double b, double c, double T, double t) {
    return K * std::pow(T, a) / std::pow(t + b, c);
}

std::set<std::string> ChavesFontes(const TTabelaCsv& fontes, const std::string& nomeArquivo,
                                   TMontagem& relatorio) {
    std::set<std::string> chaves;
    if (!ConferirColunas(fontes, {"fonte"}, nomeArquivo, relatorio)) return chaves;
    for (const auto& l : fontes.Registros) {
        TLinhaValidada v(fontes, l, nomeArquivo, relatorio);
        const auto chave = v.Texto("fonte", MaxAutor);
        if (!v.Valida()) continue;
        if (!chaves.insert(chave).second) v.Erro("fonte \"" + chave + "\" repetida.");
    }
    return chaves;
}

TMontagemEstacoes MontarEstacoes(const TTabelaCsv& tabela,
                                 const std::set<std::string>& chavesFontes,
                                 const std::string& nomeArquivo) {
    TMontagemEstacoes m;
    if (!ConferirColunas(tabela,
                         {"uf", "estacao", "latitude", "longitude", "K", "a", "b", "c", "fonte"},
                         nomeArquivo, m))
        return m;
    std::map<std::pair<int, std::string>, int> nomes;
    std::map<std::pair<std::string, std::string>, int> coordenadas;
    for (const auto& linha : tabela.Registros) {
        TLinhaValidada v(tabela, linha, nomeArquivo, m);
        const int estado = v.Estado();
        TEstacao e;
        e.Nome = v.Texto("estacao", MaxNome);
        e.Autor = v.Texto("fonte", MaxAutor);
        if (!e.Autor.empty() && v.Valida() && !chavesFontes.count(e.Autor))
            v.Erro("fonte \"" + e.Autor + "\" não consta da tabela de referências.");
        const auto lat = v.Numero("latitude"), lon = v.Numero("longitude");
        if (lat && !(*lat >= LatitudeNorte && *lat <= LatitudeSul))
            v.Erro("latitude " + v.Campo("latitude") +
                   " fora do Brasil (graus decimais, sul positivo).");
        if (lon && !(*lon >= LongitudeLeste && *lon <= LongitudeOeste))
            v.Erro("longitude " + v.Campo("longitude") +
                   " fora do Brasil (graus decimais, oeste positivo).");
        const auto K = v.Numero("K"), a = v.Numero("a"), b = v.Numero("b"), c = v.Numero("c");
        if (K && !(*K > 0)) v.Erro("K deve ser positivo.");
        if (c && !(*c > 0)) v.Erro("c deve ser positivo.");
        // O modelo de chuva recusa parâmetros negativos ao receber o resultado da consulta.
        if (a && !(*a >= 0)) v.Erro("a não pode ser negativo.");
        if (b && !(*b >= 0)) v.Erro("b não pode ser negativo.");
        TInfoEstacaoIdf info;
        const auto verificacao = v.Campo("verificacao");
        if (verificacao == "primaria")
            info.Verificacao = TVerificacaoIdf::Primaria;
        else if (verificacao == "secundaria")
            info.Verificacao = TVerificacaoIdf::Secundaria;
        else if (verificacao == "convertida")
            info.Verificacao = TVerificacaoIdf::Convertida;
        else if (tabela.Coluna("verificacao") >= 0)
            v.Erro("verificacao \"" + verificacao +
                   "\" deve ser primaria, secundaria ou convertida.");
        v.Faixa(
            "duracao", info.DuracaoMin, info.DuracaoMax,
            [](double d) { return d > 0 && d <= 10080; }, "maior que 0 e no máximo 10080 min");
        v.Faixa(
            "tr", info.TrMin, info.TrMax, [](double tr) { return tr >= 1 && tr <= 100000; },
            "entre 1 e 100000 anos");
        if (!v.Valida()) continue;

        const double i = Intensidade(*K, *a, *b, *c, 10, 60);
        if (!(i >= 10 && i <= 300))
            v.Aviso("i(T = 10 anos, t = 60 min) = " + FormatFloat("0.0", i) +
                    " mm/h, fora de 10 a 300 mm/h; confira os parâmetros e as unidades.");
        if (*lat < 0) v.Aviso("latitude ao norte do equador; o arquivo guarda só a magnitude.");
        e.K = *K;
        e.A = *a;
        e.B = *b;
        e.C = *c;
        e.Latitude = TextoCoordenada(std::fabs(*lat));
        e.Longitude = TextoCoordenada(*lon);
        if (const auto [it, nova] = nomes.emplace(std::pair{estado, e.Nome}, linha.Linha); !nova)
            v.Aviso("estação \"" + e.Nome + "\" repetida no estado (linha " +
                    std::to_string(it->second) + "); a lista mostrará dois nomes iguais.");
        if (const auto [it, nova] =
                coordenadas.emplace(std::pair{e.Latitude, e.Longitude}, linha.Linha);
            !nova)
            v.Aviso("mesmas coordenadas da linha " + std::to_string(it->second) +
                    "; a consulta por coordenadas nesse ponto devolve a primeira da lista.");
        info.Uf = v.Campo("uf");
        info.Estacao = e.Nome;
        info.Chave = e.Autor;
        info.K = e.K;
        info.A = e.A;
        info.B = e.B;
        info.C = e.C;
        m.Info.push_back(std::move(info));
        m.Estacoes[estado].push_back(std::move(e));
    }
    for (int i = 0; i < NumeroEstados; ++i) {
        if (m.Estacoes[i].size() > MaxRegistrosPorEstado)
            m.Erros.push_back(nomeArquivo + ": o estado " + NomeEstado(i) +
                              " passa de 65535 estações.");
        Ordenar(m.Estacoes[i]);
    }
    return m;
}

TMontagemLocalidades MontarLocalidades(const TTabelaCsv& tabela, const std::string& nomeArquivo) {
    TMontagemLocalidades m;
    if (!ConferirColunas(tabela, {"uf", "nome", "latitude", "longitude"}, nomeArquivo, m)) return m;
    int norte = 0;
    for (const auto& linha : tabela.Registros) {
        TLinhaValidada v(tabela, linha, nomeArquivo, m);
        const int estado = v.Estado();
        TLocalidade l;
        l.Nome = v.Texto("nome", MaxNome);
        const auto lat = v.Numero("latitude"), lon = v.Numero("longitude");
        if (lat && !(-*lat >= LatitudeNorte && -*lat <= LatitudeSul))
            v.Erro("latitude " + v.Campo("latitude") + " fora do Brasil (sul negativo).");
        if (lon && !(-*lon >= LongitudeLeste && -*lon <= LongitudeOeste))
            v.Erro("longitude " + v.Campo("longitude") + " fora do Brasil (oeste negativo).");
        if (!v.Valida()) continue;
        if (*lat > 0) ++norte;
        l.Latitude = TextoCoordenada(std::fabs(*lat));
        l.Longitude = TextoCoordenada(-*lon);
        m.Localidades[estado].push_back(std::move(l));
    }
    if (norte > 0)
        m.Avisos.push_back(nomeArquivo + ": " + std::to_string(norte) +
                           " localidades ao norte do equador; o arquivo guarda só a magnitude "
                           "da latitude.");
    for (int i = 0; i < NumeroEstados; ++i) {
        if (m.Localidades[i].size() > MaxRegistrosPorEstado)
            m.Erros.push_back(nomeArquivo + ": o estado " + NomeEstado(i) +
                              " passa de 65535 localidades.");
        Ordenar(m.Localidades[i]);
    }
    return m;
}

int ConcluirGeracaoContada(const TMontagem& m, std::size_t total, const std::string& bytes,
                           const std::string& caminho, const char* registros) {
    for (const auto& a : m.Avisos)
        std::cerr << "aviso: " << a << '\n';
    for (const auto& e : m.Erros)
        std::cerr << "erro: " << e << '\n';
    if (!m.Erros.empty()) {
        std::cerr << m.Erros.size() << " linha(s) recusada(s); nada foi gravado.\n";
        return 1;
    }
    GravarArquivoAtomico(caminho, bytes);
    std::cout << caminho << ": " << total << " " << registros << "\n";
    return 0;
}
