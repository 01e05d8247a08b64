#include "idf/SerieDiaria.h"

#include "comum/ArquivoIni.h"
#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "comum/Win1252.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <numbers>
#include <ostream>
#include <tuple>

namespace {

// Acima disto num dia não é chuva: é unidade errada ou coluna trocada.
constexpr double ChuvaDiariaMaxima = 2000; // mm
constexpr int AnoMinimo = 1800, AnoMaximo = 2200;
// Durações e relações aceitas na tabela das relações: a semana é o limite das tabelas de
// intensidade; uma relação acima de 10 só vem de um erro de digitação.
constexpr double DuracaoMinimaRelacao = 1, DuracaoMaximaRelacao = 10080, RelacaoMaxima = 10;

const char* const NomesMeses[] = {"janeiro",  "fevereiro", "março",    "abril",
                                  "maio",     "junho",     "julho",    "agosto",
                                  "setembro", "outubro",   "novembro", "dezembro"};

bool Utf8Valido(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        int n = 0;
        char32_t cp = 0, minimo = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 1, cp = c & 0x1F, minimo = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2, cp = c & 0x0F, minimo = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3, cp = c & 0x07, minimo = 0x10000;
        } else {
            return false;
        }
        if (i + std::size_t(n) >= s.size()) return false;
        for (int k = 1; k <= n; ++k) {
            const auto b = static_cast<unsigned char>(s[i + std::size_t(k)]);
            if ((b & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += std::size_t(n) + 1;
    }
    return true;
}

// O portal grava em ISO-8859-1; um arquivo salvo de novo por um editor pode vir em UTF-8.
std::string TextoUtf8(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (Utf8Valido(bytes)) return std::string(bytes);
    return win1252::ParaUtf8(bytes);
}

std::string_view Aparar(std::string_view s) {
    const auto i = s.find_first_not_of(" \t\r");
    if (i == std::string_view::npos) return {};
    return s.substr(i, s.find_last_not_of(" \t\r") - i + 1);
}

// Campo aparado, sem as aspas que uma planilha pode ter posto em volta.
std::string_view Campo(std::string_view s) {
    s = Aparar(s);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = Aparar(s.substr(1, s.size() - 2));
    return s;
}

std::vector<std::string_view> Dividir(std::string_view linha) {
    std::vector<std::string_view> campos;
    for (std::size_t i = 0;;) {
        const auto j = linha.find(';', i);
        campos.push_back(Campo(linha.substr(i, j == std::string_view::npos ? j : j - i)));
        if (j == std::string_view::npos) break;
        i = j + 1;
    }
    return campos;
}

std::string Minusculas(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return r;
}

// O valor lido entre aspas na mensagem, só quando é curto e legível.
std::string Lido(std::string_view s) {
    const bool legivel = s.size() <= 30 && std::all_of(s.begin(), s.end(), [](char c) {
                             return c >= 0x20 && c < 0x7F;
                         });
    return legivel ? " (\"" + std::string(s) + "\")" : std::string();
}

std::optional<int> Inteiro(std::string_view s) {
    int v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
    return v;
}

bool Bissexto(int ano) {
    return (ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0;
}

int DiasNoMes(int ano, int mes) {
    static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return mes == 2 && Bissexto(ano) ? 29 : dias[mes - 1];
}

std::string DoisDigitos(int v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

std::string TextoData(const TData& d) {
    return DoisDigitos(d.Dia) + "/" + DoisDigitos(d.Mes) + "/" + std::to_string(d.Ano);
}

// "dd/mm/aaaa", com uma hora opcional depois de um espaço (algumas exportações a trazem).
std::optional<TData> LerData(std::string_view s) {
    const auto espaco = s.find(' ');
    if (espaco != std::string_view::npos) {
        const std::string_view hora = Aparar(s.substr(espaco));
        if (hora.find_first_not_of("0123456789:") != std::string_view::npos) return std::nullopt;
        s = s.substr(0, espaco);
    }
    const auto b1 = s.find('/'), b2 = s.find('/', b1 == std::string_view::npos ? b1 : b1 + 1);
    if (b1 == std::string_view::npos || b2 == std::string_view::npos) return std::nullopt;
    const auto d = Inteiro(s.substr(0, b1)), m = Inteiro(s.substr(b1 + 1, b2 - b1 - 1)),
               a = Inteiro(s.substr(b2 + 1));
    if (!d || !m || !a || b1 > 2 || b2 - b1 - 1 > 2 || s.size() - b2 - 1 != 4) return std::nullopt;
    if (*m < 1 || *m > 12 || *a < AnoMinimo || *a > AnoMaximo) return std::nullopt;
    if (*d < 1 || *d > DiasNoMes(*a, *m)) return std::nullopt;
    return TData{*d, *m, *a};
}

std::optional<double> LerReal(std::string_view s) {
    auto v = TentarTextoParaReal(s, ',');
    if (!v) v = TentarTextoParaReal(s, '.');
    if (v && !std::isfinite(*v)) return std::nullopt;
    return v;
}

// Código do posto sem os zeros à esquerda, que o TXT às vezes omite.
std::string_view SemZerosEsquerda(std::string_view s) {
    const auto i = s.find_first_not_of('0');
    return i == std::string_view::npos ? s.substr(s.size()) : s.substr(i);
}

[[noreturn]] void Recusar(int linha, const std::string& motivo) {
    throw EArquivoRecusado("Linha " + std::to_string(linha) + motivo);
}

// Colunas que o programa usa, achadas pelo nome na linha das colunas.
struct TColunas {
    int Estacao = -1, Nivel = -1, Data = -1;
    std::array<int, 31> Chuva{}, Status{};
    std::size_t Necessarias = 0; // campos que uma linha de dados precisa ter
    std::size_t Total = 0;
};

// Índice do dia em "chuvaNN" ou "chuvaNNstatus" (já em minúsculas); -1 quando não é.
int DiaDaColuna(const std::string& nome, bool& status) {
    if (nome.size() < 7 || nome.compare(0, 5, "chuva") != 0) return -1;
    const std::string resto = nome.substr(7);
    if (resto != "" && resto != "status") return -1;
    const auto d = Inteiro(std::string_view(nome).substr(5, 2));
    if (!d || *d < 1 || *d > 31 || nome[5] < '0' || nome[5] > '9') return -1;
    status = !resto.empty();
    return *d - 1;
}

TColunas LerColunas(const std::vector<std::string_view>& campos, int linha) {
    TColunas c;
    c.Chuva.fill(-1);
    c.Status.fill(-1);
    c.Total = campos.size();
    for (std::size_t i = 0; i < campos.size(); ++i) {
        const std::string nome = Minusculas(campos[i]);
        bool status = false;
        const int dia = DiaDaColuna(nome, status);
        int* destino = nome == "estacaocodigo"       ? &c.Estacao
                       : nome == "nivelconsistencia" ? &c.Nivel
                       : nome == "data"              ? &c.Data
                       : dia < 0                     ? nullptr
                       : status                      ? &c.Status[std::size_t(dia)]
                                                     : &c.Chuva[std::size_t(dia)];
        if (!destino) continue;
        if (*destino >= 0)
            Recusar(linha, ": a coluna " + std::string(campos[i]) + " aparece duas vezes.");
        *destino = int(i);
        c.Necessarias = i + 1;
    }
    for (std::size_t d = 0; d < 31; ++d)
        if (c.Chuva[d] < 0)
            Recusar(linha, ": falta a coluna Chuva" + DoisDigitos(int(d) + 1) +
                               "; o arquivo não é uma série de chuvas diárias.");
    return c;
}

// A linha das colunas, também na forma do TXT, com "//" na frente.
bool EhLinhaDasColunas(std::string_view linha) {
    linha = Aparar(linha);
    if (linha.substr(0, 2) == "//") linha.remove_prefix(2);
    const auto campos = Dividir(linha);
    return campos.size() >= 3 && Minusculas(campos[0]) == "estacaocodigo" &&
           Minusculas(campos[1]) == "nivelconsistencia" && Minusculas(campos[2]) == "data";
}

TMesChuva LerMes(const std::vector<std::string_view>& campos, const TColunas& c, int linha) {
    auto onde = [&](const std::string& coluna) { return ", coluna " + coluna + ": "; };
    TMesChuva m;
    m.Linha = linha;
    const std::string_view nivel = campos[std::size_t(c.Nivel)];
    if (nivel != "1" && nivel != "2")
        Recusar(linha, onde("NivelConsistencia") + "o nível de consistência deve ser 1 ou 2" +
                           Lido(nivel) + ".");
    m.Nivel = nivel[0] - '0';
    const std::string_view textoData = campos[std::size_t(c.Data)];
    const auto data = LerData(textoData);
    if (!data || data->Dia != 1)
        Recusar(linha, onde("Data") + "a data deve ser o primeiro dia de um mês, dd/mm/aaaa, de " +
                           std::to_string(AnoMinimo) + " a " + std::to_string(AnoMaximo) +
                           Lido(textoData) + ".");
    m.Ano = data->Ano;
    m.Mes = data->Mes;
    const int dias = DiasNoMes(m.Ano, m.Mes);
    for (std::size_t d = 0; d < 31; ++d) {
        const std::string dia = DoisDigitos(int(d) + 1);
        const std::string_view texto = campos[std::size_t(c.Chuva[d])];
        if (!texto.empty()) {
            if (int(d) >= dias)
                Recusar(linha, onde("Chuva" + dia) + "o dia " + dia + " não existe em " +
                                   DoisDigitos(m.Mes) + "/" + std::to_string(m.Ano) +
                                   " e deveria estar vazio" + Lido(texto) + ".");
            const auto v = LerReal(texto);
            if (!v || *v < 0 || *v > ChuvaDiariaMaxima)
                Recusar(linha, onde("Chuva" + dia) + "a chuva do dia deve ser um número de 0 a " +
                                   FloatToStr(ChuvaDiariaMaxima) + " mm" + Lido(texto) + ".");
            m.Chuva[d] = *v;
        }
        if (c.Status[d] < 0) {
            m.Status[d] = texto.empty() ? TStatusChuva::Branco : TStatusChuva::Real;
            continue;
        }
        const std::string_view status = campos[std::size_t(c.Status[d])];
        if (status.empty()) continue;
        if (status.size() != 1 || status[0] < '0' || status[0] > '4')
            Recusar(linha, onde("Chuva" + dia + "Status") + "o status deve ser de 0 a 4" +
                               Lido(status) + ".");
        // Depois do fim do mês o status não diz nada.
        if (int(d) < dias) m.Status[d] = TStatusChuva(status[0] - '0');
    }
    return m;
}

} // namespace

TSerieDiaria LerSerieDiaria(std::string_view bytes) {
    const std::string texto = TextoUtf8(bytes);
    TSerieDiaria serie;
    std::optional<TColunas> colunas;
    std::vector<TMesChuva> meses;
    std::map<int, int> linhaDoMes; // (mês, nível) -> linha
    std::string_view codigo;
    int linhaCodigo = 0;
    std::string_view resto = texto;
    for (int numero = 1; !resto.empty(); ++numero) {
        const auto fim = resto.find('\n');
        std::string_view linha = resto.substr(0, fim);
        resto.remove_prefix(fim == std::string_view::npos ? resto.size() : fim + 1);
        if (!linha.empty() && linha.back() == '\r') linha.remove_suffix(1);
        if (!colunas) {
            if (EhLinhaDasColunas(linha)) {
                std::string_view l = Aparar(linha);
                if (l.substr(0, 2) == "//") l.remove_prefix(2);
                colunas = LerColunas(Dividir(l), numero);
            } else {
                serie.Cabecalho.emplace_back(linha);
            }
            continue;
        }
        const std::string_view aparada = Aparar(linha);
        if (aparada.empty() || aparada.substr(0, 2) == "//") continue;
        const auto campos = Dividir(linha);
        const bool sobraPreenchida =
            campos.size() > colunas->Total &&
            std::any_of(campos.begin() + std::ptrdiff_t(colunas->Total), campos.end(),
                        [](std::string_view c) { return !c.empty(); });
        if (campos.size() < colunas->Necessarias || sobraPreenchida)
            Recusar(numero, ": há " + std::to_string(campos.size()) +
                                " campos e a linha das colunas tem " +
                                std::to_string(colunas->Total) + ".");
        const std::string_view estacao = campos[std::size_t(colunas->Estacao)];
        if (estacao.empty()) Recusar(numero, ", coluna EstacaoCodigo: falta o código do posto.");
        if (codigo.empty()) {
            codigo = estacao;
            linhaCodigo = numero;
        } else if (SemZerosEsquerda(estacao) != SemZerosEsquerda(codigo)) {
            Recusar(numero, ", coluna EstacaoCodigo: o posto" + Lido(estacao) +
                                " não é o da linha " + std::to_string(linhaCodigo) + Lido(codigo) +
                                "; o arquivo deve ter um posto só.");
        }
        TMesChuva m = LerMes(campos, *colunas, numero);
        const int chave = ((m.Ano * 12) + m.Mes - 1) * 2 + m.Nivel - 1;
        if (const auto [it, novo] = linhaDoMes.emplace(chave, numero); !novo)
            Recusar(numero, ": o mês " + DoisDigitos(m.Mes) + "/" + std::to_string(m.Ano) +
                                " no nível " + std::to_string(m.Nivel) + " já está na linha " +
                                std::to_string(it->second) + ".");
        meses.push_back(std::move(m));
    }
    if (!colunas)
        throw EArquivoRecusado("O arquivo não tem a linha das colunas que começa com "
                               "EstacaoCodigo;NivelConsistencia;Data: não é uma série de "
                               "chuvas diárias exportada do portal de séries históricas.");
    if (meses.empty()) throw EArquivoRecusado("O arquivo não tem nenhum mês de chuvas.");
    serie.Estacao = std::string(codigo);
    // O consistido vence o bruto no mesmo mês.
    std::sort(meses.begin(), meses.end(), [](const TMesChuva& a, const TMesChuva& b) {
        return std::tie(a.Ano, a.Mes, b.Nivel) < std::tie(b.Ano, b.Mes, a.Nivel);
    });
    for (TMesChuva& m : meses) {
        if (!serie.Meses.empty() && serie.Meses.back().Ano == m.Ano &&
            serie.Meses.back().Mes == m.Mes)
            continue;
        ++(m.Nivel == 2 ? serie.MesesConsistidos : serie.MesesBrutos);
        serie.Meses.push_back(std::move(m));
    }
    return serie;
}

std::vector<TAnoChuva> MaximasAnuais(const TSerieDiaria& serie, int mesInicio,
                                     const std::vector<int>& excluidos) {
    if (mesInicio < 1 || mesInicio > 12)
        throw EMorvendo("O mês de início do ano hidrológico deve ser de 1 a 12.");
    if (serie.Meses.empty()) return {};
    auto rotulo = [&](const TMesChuva& m) { return m.Mes >= mesInicio ? m.Ano : m.Ano - 1; };
    int primeiro = rotulo(serie.Meses.front()), ultimo = primeiro;
    for (const TMesChuva& m : serie.Meses) {
        // Uma série montada fora da leitura também não lê fora da tabela dos dias.
        if (m.Mes < 1 || m.Mes > 12 || m.Ano < AnoMinimo || m.Ano > AnoMaximo)
            throw EMorvendo("A série tem um mês inválido (" + std::to_string(m.Mes) + "/" +
                            std::to_string(m.Ano) + ").");
        primeiro = std::min(primeiro, rotulo(m));
        ultimo = std::max(ultimo, rotulo(m));
    }
    std::vector<TAnoChuva> anos(std::size_t(ultimo - primeiro + 1));
    std::vector<int> lidos(anos.size(), 0);
    for (std::size_t i = 0; i < anos.size(); ++i)
        anos[i].Ano = primeiro + int(i);
    for (const TMesChuva& m : serie.Meses) {
        const std::size_t i = std::size_t(rotulo(m) - primeiro);
        TAnoChuva& a = anos[i];
        ++a.Meses;
        for (int d = 0; d < DiasNoMes(m.Ano, m.Mes); ++d) {
            const auto& v = m.Chuva[std::size_t(d)];
            if (!v) continue;
            ++lidos[i];
            const TStatusChuva s = m.Status[std::size_t(d)];
            a.DiasDuvidosos += s == TStatusChuva::Duvidoso;
            a.DiasAcumulados += s == TStatusChuva::Acumulado;
            if (!a.Maxima || *v > *a.Maxima) {
                a.Maxima = *v;
                a.DataMaxima = {d + 1, m.Mes, m.Ano};
                a.StatusMaxima = s;
            }
        }
    }
    for (std::size_t i = 0; i < anos.size(); ++i) {
        TAnoChuva& a = anos[i];
        int dias = 0;
        for (int k = 0; k < 12; ++k) {
            const int mes = (mesInicio - 1 + k) % 12 + 1;
            dias += DiasNoMes(mes >= mesInicio ? a.Ano : a.Ano + 1, mes);
        }
        a.DiasSemLeitura = dias - lidos[i];
        a.Completo = a.Meses == 12 && a.DiasSemLeitura <= DiasSemLeituraMaximo;
        a.Excluido = std::find(excluidos.begin(), excluidos.end(), a.Ano) != excluidos.end();
    }
    return anos;
}

double FatorFrequenciaGumbel(double tr) {
    return -(std::sqrt(6.0) / std::numbers::pi) * (0.5772 + std::log(std::log(tr / (tr - 1))));
}

double TGumbel::Chuva(double tr) const {
    return Media + FatorFrequenciaGumbel(tr) * DesvioPadrao;
}

double CriticoKs5(int n) {
    // Quantis exatos de 95 % da estatística D de Kolmogorov para n ≤ 35 (Miller, 1956,
    // JASA 51:111–121; conferidos pela distribuição exata de Marsaglia, Tsang e Wang, 2003);
    // acima, a forma assintótica 1,36/√n das tabelas de Massey (1951).
    static const double tabela[35] = {
        0.97500, 0.84189, 0.70760, 0.62394, 0.56328, 0.51926, 0.48342, 0.45427, 0.43001,
        0.40925, 0.39122, 0.37543, 0.36143, 0.34890, 0.33760, 0.32733, 0.31796, 0.30936,
        0.30143, 0.29408, 0.28724, 0.28087, 0.27490, 0.26931, 0.26404, 0.25908, 0.25438,
        0.24993, 0.24571, 0.24170, 0.23788, 0.23424, 0.23076, 0.22743, 0.22425};
    if (n < 1) return 1;
    if (n <= 35) return tabela[n - 1];
    return 1.36 / std::sqrt(double(n));
}

TGumbel AjustarGumbel(const std::vector<double>& maximas) {
    const int n = int(maximas.size());
    if (n < AnosMinimosGumbel)
        throw EMorvendo("A série tem " + std::to_string(n) +
                        (n == 1 ? " ano usado" : " anos usados") +
                        "; a distribuição de Gumbel precisa de pelo menos " +
                        std::to_string(AnosMinimosGumbel) + " (anos com os doze meses e até " +
                        std::to_string(DiasSemLeituraMaximo) + " dias sem leitura).");
    TGumbel g;
    g.N = n;
    double soma = 0;
    for (double x : maximas)
        soma += x;
    g.Media = soma / n;
    double quadrados = 0;
    for (double x : maximas)
        quadrados += (x - g.Media) * (x - g.Media);
    g.DesvioPadrao = std::sqrt(quadrados / (n - 1));
    if (!(g.DesvioPadrao > 0) || !std::isfinite(g.DesvioPadrao))
        throw EMorvendo("As máximas anuais são todas iguais: a distribuição de Gumbel não se "
                        "ajusta a elas.");
    g.Alfa = g.DesvioPadrao * std::sqrt(6.0) / std::numbers::pi;
    g.Moda = g.Media - 0.5772 * g.Alfa;
    std::vector<double> x = maximas;
    std::sort(x.begin(), x.end());
    for (int i = 0; i < n; ++i) {
        const double f = std::exp(-std::exp(-(x[std::size_t(i)] - g.Moda) / g.Alfa));
        g.Ks = std::max({g.Ks, double(i + 1) / n - f, f - double(i) / n});
    }
    // Com os parâmetros tirados da própria amostra o teste fica tolerante: rejeitar diz
    // muito; aceitar, pouco.
    g.KsCritico = CriticoKs5(n);
    g.KsAceito = g.Ks <= g.KsCritico;
    return g;
}

std::vector<TRelacaoDuracao> RelacoesDuracaoPadrao() {
    return {{1440, ReferenciaUmDia, 1.14},
            {720, 1440, 0.85},
            {600, 1440, 0.82},
            {480, 1440, 0.78},
            {360, 1440, 0.72},
            {60, 1440, 0.42},
            {30, 60, 0.74},
            {25, 30, 0.91},
            {20, 30, 0.81},
            {15, 30, 0.70},
            {10, 30, 0.54},
            {5, 30, 0.34}};
}

namespace {

std::string TextoDuracao(double d) {
    return d == ReferenciaUmDia ? std::string("1 dia") : FloatToStr(d, ',') + " min";
}

const char* const TextoDuracoesMinimas = "A tabela das relações deve ter pelo menos três durações.";

} // namespace

std::vector<TChuvaDuracao> ChuvasPorDuracao(double chuvaUmDia,
                                            const std::vector<TRelacaoDuracao>& relacoes) {
    if (!std::isfinite(chuvaUmDia) || chuvaUmDia <= 0)
        throw EMorvendo("A chuva de um dia deve ser maior que 0.");
    for (std::size_t i = 0; i < relacoes.size(); ++i) {
        const TRelacaoDuracao& r = relacoes[i];
        if (!std::isfinite(r.Duracao) || r.Duracao < DuracaoMinimaRelacao ||
            r.Duracao > DuracaoMaximaRelacao)
            throw EMorvendo("Na tabela das relações, a duração deve ser de " +
                            FloatToStr(DuracaoMinimaRelacao) + " a " +
                            FloatToStr(DuracaoMaximaRelacao) +
                            " min (lida: " + FloatToStr(r.Duracao, ',') + ").");
        if (r.Referencia != ReferenciaUmDia && !(std::isfinite(r.Referencia) && r.Referencia > 0))
            throw EMorvendo("Na tabela das relações, a referência de " + TextoDuracao(r.Duracao) +
                            " deve ser 1 dia ou uma duração da tabela.");
        if (!std::isfinite(r.Relacao) || r.Relacao <= 0 || r.Relacao > RelacaoMaxima)
            throw EMorvendo("Na tabela das relações, a relação de " + TextoDuracao(r.Duracao) +
                            " deve ser maior que 0 e no máximo " + FloatToStr(RelacaoMaxima) +
                            " (lida: " + FloatToStr(r.Relacao, ',') + ").");
        for (std::size_t k = 0; k < i; ++k)
            if (relacoes[k].Duracao == r.Duracao)
                throw EMorvendo("Na tabela das relações, a duração de " + TextoDuracao(r.Duracao) +
                                " aparece duas vezes.");
    }
    // Cada duração vem da sua referência, já resolvida; uma passada por nível da cadeia.
    std::map<double, double> chuva;
    for (bool avancou = true; avancou && chuva.size() < relacoes.size();) {
        avancou = false;
        for (const TRelacaoDuracao& r : relacoes) {
            if (chuva.count(r.Duracao)) continue;
            double base = chuvaUmDia;
            if (r.Referencia != ReferenciaUmDia) {
                const auto it = chuva.find(r.Referencia);
                if (it == chuva.end()) continue;
                base = it->second;
            }
            chuva[r.Duracao] = r.Relacao * base;
            avancou = true;
        }
    }
    for (const TRelacaoDuracao& r : relacoes)
        if (!chuva.count(r.Duracao)) {
            const bool existe =
                std::any_of(relacoes.begin(), relacoes.end(),
                            [&](const TRelacaoDuracao& o) { return o.Duracao == r.Referencia; });
            throw EMorvendo("Na tabela das relações, " + TextoDuracao(r.Duracao) +
                            (existe ? " não chega à chuva de um dia: as referências formam um "
                                      "ciclo."
                                    : " se refere a " + TextoDuracao(r.Referencia) +
                                          ", que não está na tabela."));
        }
    std::vector<TChuvaDuracao> saida;
    for (const auto& [d, p] : chuva) {
        // Uma duração contém as menores: menos chuva nela é erro na tabela.
        if (!saida.empty() && saida.back().Chuva > p)
            throw EMorvendo("A tabela das relações dá mais chuva em " +
                            TextoDuracao(saida.back().Duracao) + " que em " + TextoDuracao(d) +
                            ".");
        saida.push_back({d, p});
    }
    return saida;
}

std::string TextoRelacoes(const std::vector<TRelacaoDuracao>& relacoes) {
    std::string s;
    for (const TRelacaoDuracao& r : relacoes)
        s += (s.empty() ? "" : ";") + RealExato(r.Duracao) + "/" +
             (r.Referencia == ReferenciaUmDia ? std::string("dia") : RealExato(r.Referencia)) +
             "=" + RealExato(r.Relacao);
    return s;
}

std::vector<TRelacaoDuracao> LerRelacoes(std::string_view texto) {
    std::vector<TRelacaoDuracao> relacoes;
    int numero = 0;
    for (std::string_view item : Dividir(texto)) {
        ++numero;
        if (item.empty()) continue;
        const auto barra = item.find('/'), igual = item.find('=');
        std::optional<double> d, ref, rel;
        if (barra != std::string_view::npos && igual != std::string_view::npos && barra < igual) {
            d = TentarTextoParaReal(item.substr(0, barra), '.');
            const std::string_view textoRef = Aparar(item.substr(barra + 1, igual - barra - 1));
            ref = textoRef == "dia" ? std::optional<double>(ReferenciaUmDia)
                                    : TentarTextoParaReal(textoRef, '.');
            rel = TentarTextoParaReal(item.substr(igual + 1), '.');
        }
        if (!d || !ref || !rel || *ref < 0)
            throw EMorvendo("A relação " + std::to_string(numero) + Lido(item) +
                            " deve ter a forma duração/referência=relação (1440/dia=1.14, "
                            "60/1440=0.42).");
        relacoes.push_back({*d, *ref, *rel});
    }
    ChuvasPorDuracao(1, relacoes);
    return relacoes;
}

namespace {

std::string Mm(double v) {
    return FormatFloat("0.0", v, ',');
}

// "1961–1969, 1971, 1973–1995".
std::string Intervalos(const std::vector<int>& anos) {
    std::string s;
    for (std::size_t i = 0; i < anos.size();) {
        std::size_t j = i;
        while (j + 1 < anos.size() && anos[j + 1] == anos[j] + 1)
            ++j;
        s += (s.empty() ? "" : ", ") + std::to_string(anos[i]) +
             (j > i ? "–" + std::to_string(anos[j]) : std::string());
        i = j + 1;
    }
    return s;
}

std::string Lista(const std::vector<std::string>& itens) {
    std::string s;
    for (std::size_t i = 0; i < itens.size(); ++i)
        s += (i == 0 ? "" : i + 1 == itens.size() ? " e " : ", ") + itens[i];
    return s;
}

std::vector<std::string> AvisosDaSerie(const TIdfDaSerie& r) {
    std::vector<std::string> avisos;
    for (int ano : r.Opcoes.AnosExcluidos)
        if (std::none_of(r.Anos.begin(), r.Anos.end(),
                         [&](const TAnoChuva& a) { return a.Ano == ano; }))
            avisos.push_back("O ano " + std::to_string(ano) +
                             ", pedido para ficar de fora, não está na série.");
    if (!r.Gumbel.KsAceito)
        avisos.push_back("O teste de Kolmogorov–Smirnov rejeita a distribuição de Gumbel a 5 % "
                         "(D = " +
                         FormatFloat("0.000", r.Gumbel.Ks, ',') + ", crítico " +
                         FormatFloat("0.000", r.Gumbel.KsCritico, ',') +
                         "): as chuvas dos períodos de retorno são pouco confiáveis.");
    std::vector<std::string> longos;
    for (double tr : r.Opcoes.PeriodosRetorno)
        if (tr > 2.0 * r.Gumbel.N) longos.push_back(FloatToStr(tr, ','));
    if (!longos.empty())
        avisos.push_back(std::string(longos.size() == 1 ? "O período de retorno de "
                                                        : "Os períodos de retorno de ") +
                         Lista(longos) + " anos " + (longos.size() == 1 ? "passa" : "passam") +
                         " do dobro dos " + std::to_string(r.Gumbel.N) +
                         " anos da série: a chuva é extrapolação.");
    std::vector<std::string> acumulados;
    for (const TAnoChuva& a : r.Anos) {
        if (!a.Usado()) continue;
        const std::string maxima = "A máxima de " + std::to_string(a.Ano) + " (" +
                                   TextoData(a.DataMaxima) + ", " + Mm(*a.Maxima) + " mm)";
        if (a.StatusMaxima == TStatusChuva::Duvidoso)
            avisos.push_back(maxima + " está marcada como duvidosa.");
        else if (a.StatusMaxima == TStatusChuva::Acumulado)
            avisos.push_back(maxima + " é uma leitura acumulada, que pode somar mais de um dia.");
        if (a.DiasAcumulados > 0)
            acumulados.push_back(std::to_string(a.Ano) + " (" + std::to_string(a.DiasAcumulados) +
                                 (a.DiasAcumulados == 1 ? " dia)" : " dias)"));
    }
    if (!acumulados.empty())
        avisos.push_back("Anos usados com leituras acumuladas, que podem somar mais de um dia: " +
                         Lista(acumulados) + ".");
    return avisos;
}

} // namespace

void ConferirExclusaoRelacao(const std::vector<TRelacaoDuracao>& relacoes, std::size_t i) {
    if (i >= relacoes.size()) return;
    const double d = relacoes[i].Duracao;
    std::vector<std::string> dependentes;
    bool repetida = false;
    for (std::size_t k = 0; k < relacoes.size(); ++k)
        if (k != i) {
            repetida = repetida || relacoes[k].Duracao == d;
            if (relacoes[k].Referencia == d && d != ReferenciaUmDia)
                dependentes.push_back(TextoDuracao(relacoes[k].Duracao));
        }
    if (!dependentes.empty() && !repetida)
        throw EMorvendo(
            "A duração de " + TextoDuracao(d) + " é a referência de " + Lista(dependentes) +
            ": sem ela, " +
            (dependentes.size() == 1 ? "essa duração não chega" : "essas durações não chegam") +
            " à chuva de um dia. Troque antes a referência " +
            (dependentes.size() == 1 ? "dela." : "delas."));
    if (relacoes.size() - 1 < DuracoesMinimasRelacoes) throw EMorvendo(TextoDuracoesMinimas);
}

TIdfDaSerie IdfDaSerieDiaria(const TSerieDiaria& serie, const TOpcoesIdfSerie& opcoes) {
    TIdfDaSerie r;
    r.Estacao = serie.Estacao;
    r.Opcoes = opcoes;
    auto& trs = r.Opcoes.PeriodosRetorno;
    if (trs.empty()) throw EMorvendo("Falta pelo menos um período de retorno.");
    for (double tr : trs)
        if (!std::isfinite(tr) || tr <= 1 || tr > TrMaximoSerie)
            throw EMorvendo("O período de retorno deve ser maior que 1 e no máximo " +
                            FloatToStr(TrMaximoSerie) + " anos (lido: " + FloatToStr(tr, ',') +
                            ").");
    std::sort(trs.begin(), trs.end());
    trs.erase(std::unique(trs.begin(), trs.end()), trs.end());
    if (opcoes.Relacoes.size() < DuracoesMinimasRelacoes) throw EMorvendo(TextoDuracoesMinimas);
    ChuvasPorDuracao(1, opcoes.Relacoes); // a tabela errada é dita antes da série

    r.Anos = MaximasAnuais(serie, opcoes.MesInicioAno, opcoes.AnosExcluidos);
    std::vector<double> maximas;
    for (const TAnoChuva& a : r.Anos)
        if (a.Usado()) {
            r.AnosUsados.push_back(a.Ano);
            maximas.push_back(*a.Maxima);
        }
    r.Gumbel = AjustarGumbel(maximas);

    std::vector<std::vector<TChuvaDuracao>> porTr;
    for (double tr : trs) {
        const double p = r.Gumbel.Chuva(tr);
        if (!(p > 0))
            throw EMorvendo("A chuva de um dia de " + FloatToStr(tr, ',') +
                            " anos pela distribuição de Gumbel não é positiva (" + Mm(p) +
                            " mm): as máximas anuais variam demais para a média delas.");
        r.ChuvaUmDia.push_back({tr, p});
        porTr.push_back(ChuvasPorDuracao(p, opcoes.Relacoes));
    }
    for (std::size_t d = 0; d < porTr.front().size(); ++d)
        for (std::size_t t = 0; t < trs.size(); ++t) {
            const TChuvaDuracao& c = porTr[t][d];
            r.Pontos.push_back({c.Duracao, trs[t], c.Chuva / c.Duracao * 60});
        }
    r.Ajuste = AjustarIdf(r.Pontos);
    r.Avisos = AvisosDaSerie(r);
    return r;
}

std::string DescricaoOrigem(const TIdfDaSerie& r) {
    const int inicio = r.Opcoes.MesInicioAno;
    std::string s = "Série de chuvas diárias do posto " + r.Estacao + ": máximas anuais de um dia";
    s += inicio == 1 ? std::string(" por ano civil")
                     : " por ano hidrológico a partir de " + std::string(NomesMeses[inicio - 1]);
    s += ", " + std::to_string(r.AnosUsados.size()) + " anos (" + Intervalos(r.AnosUsados) + ")";
    std::vector<int> excluidos;
    for (const TAnoChuva& a : r.Anos)
        if (a.Completo && a.Excluido) excluidos.push_back(a.Ano);
    if (!excluidos.empty()) s += ", deixados de fora " + Intervalos(excluidos);
    s += "; Gumbel pelos momentos; relações entre durações " + TextoRelacoes(r.Opcoes.Relacoes) +
         "; ajuste com erro RMS " + FormatFloat("0.0", 100 * r.Ajuste.ErroRms, ',') +
         " % e máximo " + FormatFloat("0.0", 100 * r.Ajuste.ErroMaximo, ',') + " %.";
    return s;
}

int IdfDaSerieLinhaDeComando(const std::vector<std::string>& argumentos, std::ostream& saida,
                             std::ostream& erros) {
    std::string caminho;
    TOpcoesIdfSerie opcoes;
    for (std::size_t i = 0; i < argumentos.size(); ++i) {
        const std::string& a = argumentos[i];
        if (a == "--excluir-anos" || a == "--ano-hidrologico") {
            const bool anos = a == "--excluir-anos";
            if (i + 1 >= argumentos.size()) {
                erros << "Falta " << (anos ? "a lista de anos" : "o mês de início") << " depois de "
                      << a << ".\n";
                return 2;
            }
            const std::string& valor = argumentos[++i];
            if (!anos) {
                const auto mes = Inteiro(valor);
                if (!mes || *mes < 1 || *mes > 12) {
                    erros << "--ano-hidrologico: o mês de início deve ser um número de 1 a 12.\n";
                    return 2;
                }
                opcoes.MesInicioAno = *mes;
                continue;
            }
            std::string_view resto = valor;
            for (std::size_t j = 0; j <= resto.size();) {
                const auto k = std::min(resto.find(',', j), resto.size());
                const auto ano = Inteiro(Aparar(resto.substr(j, k - j)));
                if (!ano || *ano < AnoMinimo || *ano > AnoMaximo) {
                    erros << "--excluir-anos: a lista deve ter anos de " << AnoMinimo << " a "
                          << AnoMaximo << " separados por vírgula (1950,1961).\n";
                    return 2;
                }
                opcoes.AnosExcluidos.push_back(*ano);
                j = k + 1;
            }
        } else if (!a.empty() && a[0] == '-') {
            erros << "Opção desconhecida para --chuva-diaria: " << a << ".\n";
            return 2;
        } else if (caminho.empty()) {
            caminho = a;
        } else {
            erros << "Só uma série de chuvas por vez.\n";
            return 2;
        }
    }
    if (caminho.empty()) {
        erros << "Falta o arquivo da série de chuvas diárias depois de --chuva-diaria.\n";
        return 2;
    }
    const auto conteudo = LerEntradaLinhaDeComando(caminho, erros);
    if (!conteudo) return 2;
    return StatusDoAjusteLinhaDeComando(caminho, erros, [&] {
        const TIdfDaSerie r = IdfDaSerieDiaria(LerSerieDiaria(*conteudo), opcoes);
        saida << LinhaEquacaoIdf(r.Ajuste.Parametros) << "\nanos: ";
        for (std::size_t i = 0; i < r.AnosUsados.size(); ++i)
            saida << (i ? "," : "") << r.AnosUsados[i];
        saida << "\nP1dia_mm: ";
        for (std::size_t i = 0; i < r.ChuvaUmDia.size(); ++i)
            saida << (i ? ";" : "") << RealExato(r.ChuvaUmDia[i].Tr) << "="
                  << FormatFloat("0.00", r.ChuvaUmDia[i].Chuva, '.');
        saida << "\nduracao_min,tr_anos,intensidade_mm_h\n";
        for (const TPontoIdf& q : r.Pontos)
            saida << RealExato(q.Duracao) << ',' << RealExato(q.Tr) << ','
                  << RealExato(q.Intensidade) << '\n';
        erros << "RMS=" << FormatFloat("0.00", 100 * r.Ajuste.ErroRms, '.')
              << "% erro_max=" << FormatFloat("0.00", 100 * r.Ajuste.ErroMaximo, '.')
              << "%\nKS: D=" << FormatFloat("0.0000", r.Gumbel.Ks, '.')
              << " critico_5%=" << FormatFloat("0.0000", r.Gumbel.KsCritico, '.')
              << (r.Gumbel.KsAceito ? " aceito" : " rejeitado") << '\n';
        for (const char* limite : r.Ajuste.NoLimite)
            erros << "Aviso: o parâmetro " << limite << " ficou no limite da faixa aceita.\n";
        for (const std::string& aviso : r.Avisos)
            erros << "Aviso: " << aviso << '\n';
    });
}
