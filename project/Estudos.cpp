#include "project/Estudos.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <exception>
#include <istream>
#include <mutex>
#include <string_view>
#include <thread>

#include "comum/EMorvendo.h"
#include "comum/LeitorCsv.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "project/Calculo.h"
#include "project/Projeto.h"

namespace {

// Um estudo com mais pontos que isso é quase certamente um passo digitado errado.
constexpr std::size_t PONTOS_MAXIMOS = 10000;

const std::vector<TDescricaoParametro> PARAMETROS = {
    {TParametroEstudo::Declividade, "declividade", "Declividade do canal da estrada", "m/m",
     CAMPO_SC_CANAL},
    {TParametroEstudo::Tr, "tr", "Período de retorno do espaçamento", "anos", CAMPO_TR_ESP},
    {TParametroEstudo::K, "k", "Parâmetro K da equação IDF", "", CAMPO_K},
    {TParametroEstudo::Aprofundamento, "aprofundamento", "Aprofundamento máximo", "cm",
     CAMPO_APROFUNDAMENTO},
    {TParametroEstudo::ComprimentoTalude, "comprimento_talude", "Comprimento da área externa", "m",
     CAMPO_COMP_TALUDE},
    {TParametroEstudo::Erodibilidade, "erodibilidade", "Erodibilidade", "", CAMPO_ERODIBILIDADE},
    {TParametroEstudo::TensaoCritica, "tensao_critica", "Tensão crítica de cisalhamento", "Pa",
     CAMPO_TENSAO_CRITICA},
};

// Acompanhamento de um ponto: só repassa o cancelamento do lote ao motor.
class TAcompanhamentoPonto : public IAcompanhamentoCalculo {
public:
    explicit TAcompanhamentoPonto(const TCancelamentoLote* c) : FC(c) {}
    void ProcessarEventos() override {
        if (FC && FC->Pedido.load(std::memory_order_relaxed)) Cancelar();
    }
    // Mensagens informativas do motor não interrompem um lote.
    void MostrarMensagem(const std::string& texto) override { Mensagem = texto; }
    std::string Mensagem;

private:
    const TCancelamentoLote* FC;
};

void AplicarParametro(TProjeto& p, TParametroEstudo parametro, double v) {
    const TDescricaoParametro& d = Descricao(parametro);
    const TCampoProjeto& c = *CampoProjeto(d.Campo);
    // Um comprimento é guardado em metros inteiros: um valor quebrado não pode ser truncado
    // calado.
    if (c.Inteiro && (v != std::floor(v) || v < c.Minimo || v > c.Maximo))
        throw EMorvendo(std::string("\"") + d.Rotulo + "\" deve ser um número inteiro de " +
                        FloatToStr(c.Minimo) + " a " + FloatToStr(c.Maximo) + " " + d.Unidade +
                        ".");
    c.Definir(p, v);
}

// Um cálculo completo numa cópia do projeto, com o ajuste dado; nunca lança.
template <class Ajuste>
TResultadoExecucao Calcular(const TArquivoIni& documento, const TCancelamentoLote* cancelamento,
                            Ajuste&& ajustar) {
    TResultadoExecucao r;
    try {
        if (cancelamento && cancelamento->Pedido) throw EMorvendo("Cálculo cancelado.");
        TUnidades unidades;
        TProjeto p(unidades);
        ZerarVariaveis(p);
        TArquivoIni copia = documento;
        if (!LerProjeto(p, copia)) throw EMorvendo("O projeto não pôde ser lido.");
        int comprimento = p.Estrada.Comprimento();
        ajustar(p, comprimento);
        if (auto falha = ValidarDados(p)) throw EMorvendo(falha->Mensagem);
        TAcompanhamentoPonto acomp(cancelamento);
        const TResultadoCalculo calc = ExecutarCalculo(p, comprimento, &acomp, false);
        if (calc.Situacao == TResultadoCalculo::Cancelado) throw EMorvendo("Cálculo cancelado.");
        if (calc.Situacao != TResultadoCalculo::Concluido)
            throw EMorvendo(acomp.Mensagem.empty() ? "O cálculo terminou sem resultados."
                                                   : acomp.Mensagem);
        const TResultadoEspacamento& e = calc.Canal;
        r.NenhumEspacamento = e.NenhumEspacamento;
        r.Espacamento = e.Espacamento;
        r.PerdaToleravel = e.PerdaToleravel;
        r.PerdaSolo = e.PerdaSolo;
        r.TensaoMax = e.TensaoMax;
        r.VazaoMax = e.QMax;
        if (calc.Bacia) r.VolumeBacia = calc.Bacia->VolumeEscoado;
        r.Avisos = AvisosDoResultado(p, calc, SeparadorDecimalLocal());
        r.Ok = true;
    } catch (const std::bad_alloc&) {
        r.Erro = "Memória insuficiente para o cálculo.";
    } catch (const std::exception& erro) {
        r.Erro = erro.what();
    }
    return r;
}

} // namespace

void Repartir(std::size_t n, unsigned linhas, IAndamentoLote* andamento,
              const std::function<void(std::size_t)>& tarefa) {
    std::atomic<std::size_t> proximo{0}, feitos{0};
    std::mutex mutexErro;
    std::exception_ptr erro;
    auto trabalhar = [&] {
        for (std::size_t i; (i = proximo.fetch_add(1)) < n;) {
            try {
                tarefa(i);
            } catch (...) {
                // As outras linhas param no próximo índice; o erro sai de quem chamou.
                const std::lock_guard<std::mutex> trava(mutexErro);
                if (!erro) erro = std::current_exception();
                proximo = n;
                return;
            }
            const std::size_t f = feitos.fetch_add(1) + 1;
            if (andamento) andamento->PontoConcluido(f, n);
        }
    };
    const unsigned k =
        unsigned(std::min<std::size_t>(std::max(1u, linhas), std::max<std::size_t>(n, 1)));
    std::vector<std::thread> extras;
    extras.reserve(k - 1);
    for (unsigned t = 1; t < k; ++t)
        extras.emplace_back(trabalhar);
    trabalhar();
    for (std::thread& t : extras)
        t.join();
    if (erro) std::rethrow_exception(erro);
}

namespace {

std::string Aparar(std::string s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    return s.substr(i);
}

// Casas decimais do texto mais curto do número (até 15).
int CasasDecimais(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    const std::string t(buf, r.ptr);
    const auto ponto = t.find('.');
    return ponto == std::string::npos ? 0 : std::min<int>(15, int(t.size() - ponto - 1));
}

[[noreturn]] void ErroLinha(std::size_t linha, const std::string& texto) {
    throw EMorvendo("Linha " + std::to_string(linha) + ": " + texto);
}

double RealDoCampo(const std::string& texto, std::size_t linha, const char* campo, char decimal) {
    const auto v = TentarTextoParaReal(texto, decimal);
    if (!v || !std::isfinite(*v))
        ErroLinha(linha, std::string("o campo ") + campo + " (\"" + texto +
                             "\") não é um número (use " + (decimal == ',' ? "vírgula" : "ponto") +
                             " decimal).");
    return *v;
}

// Lê os registros com o leitor de CSV do programa, aos pedaços: um arquivo enorme pára na
// primeira linha recusada sem ter sido guardado inteiro. Campos aparados, linhas só com
// espaços puladas. O primeiro registro é o cabeçalho dado, obrigatório ou não. Um ';' na
// primeira linha diz que o arquivo é das planilhas em português (as exportações do próprio
// programa): ';' entre campos e vírgula decimal, devolvida em 'decimal'.
// Com 'cabecalhoLido' o primeiro registro é sempre o cabeçalho, devolvido ali para quem chama
// conferir as colunas que vieram.
template <class PorLinha>
void LerCsv(std::istream& in, const std::string& cabecalho, bool cabecalhoObrigatorio,
            char& decimal, PorLinha&& porLinha, std::string* cabecalhoLido = nullptr) {
    std::optional<TLeitorCsv> leitor;
    decimal = '.';
    // O leitor diz ", linha N: …" depois do nome do arquivo; aqui, como as outras mensagens
    // destas tabelas, "Linha N: …" (quem chama põe o nome do arquivo na frente).
    auto alimentar = [&](std::string_view parte, bool fim) {
        try {
            if (fim)
                leitor->Terminar();
            else
                leitor->Acrescentar(parte);
        } catch (const EMorvendo& e) {
            std::string m = e.what();
            if (m.rfind(", l", 0) == 0) m = "L" + m.substr(3);
            throw EMorvendo(m);
        }
    };
    bool primeira = true, soBrancos = true;
    auto consumir = [&] {
        for (TLinhaCsv& r : leitor->Prontos) {
            std::string junto;
            for (std::string& c : r.Campos) {
                c = Aparar(c);
                junto += (&c == &r.Campos.front() ? "" : ",") + c;
            }
            if (junto.find_first_not_of(',') == std::string::npos) continue;
            if (primeira) {
                primeira = false;
                if (cabecalhoLido) {
                    *cabecalhoLido = junto;
                    continue;
                }
                if (junto == cabecalho) continue;
                if (cabecalhoObrigatorio)
                    ErroLinha(std::size_t(r.Linha), "o cabeçalho deve ser \"" + cabecalho + "\".");
            }
            porLinha(r.Campos, std::size_t(r.Linha));
        }
        leitor->Prontos.clear();
    };
    std::string pedaco(1 << 16, '\0');
    for (bool inicio = true;
         in.read(pedaco.data(), std::streamsize(pedaco.size())) || in.gcount() > 0;
         inicio = false) {
        const std::string_view parte(pedaco.data(), std::size_t(in.gcount()));
        const std::size_t marca = inicio && parte.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
        if (inicio) {
            const std::string_view primeira = parte.substr(marca, parte.find('\n'));
            decimal = primeira.find(';') != std::string_view::npos ? ',' : '.';
            leitor.emplace("", decimal == ',' ? ';' : ',');
        }
        if (soBrancos && parte.find_first_not_of(" \t\r\n", marca) != std::string_view::npos)
            soBrancos = false;
        alimentar(parte, false);
        consumir();
    }
    if (soBrancos || !leitor) {
        if (cabecalhoObrigatorio)
            throw EMorvendo("O arquivo está vazio: falta o cabeçalho \"" + cabecalho + "\".");
        return;
    }
    alimentar({}, true);
    consumir();
}

// Um caractere de controle (um NUL, uma tabulação) no nome iria parar nas tabelas e no CSV.
bool TemControle(const std::string& texto) {
    for (const char c : texto)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

} // namespace

const std::vector<TDescricaoParametro>& ParametrosEstudo() {
    return PARAMETROS;
}

std::optional<TParametroEstudo> ParametroPorNome(std::string_view nome) {
    for (const auto& d : PARAMETROS)
        if (nome == d.Nome) return d.Parametro;
    return std::nullopt;
}

const TDescricaoParametro& Descricao(TParametroEstudo parametro) {
    for (const auto& d : PARAMETROS)
        if (d.Parametro == parametro) return d;
    return PARAMETROS.front();
}

double ValorParametro(const TProjeto& p, TParametroEstudo parametro) {
    return CampoProjeto(Descricao(parametro).Campo)->Valor(p);
}

std::vector<double> ValoresDoIntervalo(double inicio, double fim, double passo) {
    if (!std::isfinite(inicio) || !std::isfinite(fim) || !std::isfinite(passo))
        throw EMorvendo("O início, o fim e o passo do estudo devem ser números.");
    if (passo <= 0) throw EMorvendo("O passo do estudo deve ser maior que zero.");
    if (fim < inicio) throw EMorvendo("O fim do estudo não pode ser menor que o início.");
    const double n = std::floor((fim - inicio) / passo + 1e-9);
    if (n + 1 > double(PONTOS_MAXIMOS))
        throw EMorvendo("O estudo teria pontos demais (mais de " + std::to_string(PONTOS_MAXIMOS) +
                        "): aumente o passo.");
    // Cada valor a partir do início, sem acumular o erro de somas sucessivas, e arredondado
    // às casas decimais do início e do passo: 0,01 + 5 × 0,01 é 0,06, como o usuário digitaria.
    const double escala = std::pow(10.0, std::max(CasasDecimais(inicio), CasasDecimais(passo)));
    std::vector<double> v;
    v.reserve(std::size_t(n) + 1);
    for (std::size_t i = 0; i <= std::size_t(n); ++i) {
        const double x = inicio + double(i) * passo;
        const double inteiro = std::round(x * escala);
        v.push_back(std::abs(inteiro) < 9e15 ? inteiro / escala : x);
    }
    return v;
}

std::vector<TPontoEstudo> ExecutarEstudo(const TArquivoIni& projeto, TParametroEstudo parametro,
                                         const std::vector<double>& valores, unsigned linhas,
                                         IAndamentoLote* andamento,
                                         const TCancelamentoLote* cancelamento) {
    std::vector<TPontoEstudo> pontos(valores.size());
    Repartir(valores.size(), linhas, andamento, [&](std::size_t i) {
        pontos[i].Valor = valores[i];
        pontos[i].Resultado = Calcular(projeto, cancelamento, [&](TProjeto& p, int&) {
            AplicarParametro(p, parametro, valores[i]);
        });
    });
    return pontos;
}

std::vector<double> PosicoesDesaguadouros(const TTrecho& trecho, int espacamento) {
    std::vector<double> posicoes;
    if (espacamento >= 1)
        for (int d = espacamento; d < trecho.Comprimento; d += espacamento)
            posicoes.push_back(trecho.Inicio + d);
    posicoes.push_back(trecho.Inicio + trecho.Comprimento);
    return posicoes;
}

std::vector<TResultadoTrecho> ExecutarTrechos(const TArquivoIni& projeto,
                                              const std::vector<TTrecho>& trechos, unsigned linhas,
                                              IAndamentoLote* andamento,
                                              const TCancelamentoLote* cancelamento) {
    std::vector<TResultadoTrecho> r(trechos.size());
    Repartir(trechos.size(), linhas, andamento, [&](std::size_t i) {
        const TTrecho& t = trechos[i];
        r[i].Trecho = t;
        r[i].Resultado = Calcular(projeto, cancelamento, [&](TProjeto& p, int& comprimento) {
            // O canal de cada trecho ainda é calculado sozinho, sem saber para que lado a água
            // corre: vale a magnitude. O sinal fica no trecho para quem seguir a água.
            p.Estrada.Sc = std::abs(t.Declividade);
            p.Estrada.Comprimento(t.Comprimento);
            comprimento = t.Comprimento;
        });
        // Sem espaçamento que atenda, nenhum desaguadouro serve ao trecho: os avisos dizem por
        // quê.
        if (r[i].Resultado.Ok && !r[i].Resultado.NenhumEspacamento) {
            if (r[i].Resultado.Espacamento < 1) {
                r[i].Resultado.Ok = false;
                r[i].Resultado.Erro = "Já o primeiro metro do canal passa da perda tolerável: "
                                      "não há espaçamento possível neste trecho.";
            } else {
                r[i].Posicoes = PosicoesDesaguadouros(t, r[i].Resultado.Espacamento);
            }
        }
    });
    return r;
}

const char* FaltaDeContinuidade(const TTrecho& anterior, double inicio) {
    const double folga = inicio - (anterior.Inicio + anterior.Comprimento);
    if (std::abs(folga) <= TOLERANCIA_CONTIGUIDADE) return nullptr;
    return folga < 0 ? "se sobrepõem" : "deixam um intervalo sem trecho";
}

std::vector<TTrecho> LerTrechosCsv(std::istream& entrada) {
    std::vector<TTrecho> trechos;
    std::vector<std::size_t> linhas;
    char decimal = '.';
    LerCsv(entrada, "nome,inicio_m,comprimento_m,declividade", true, decimal,
           [&](const std::vector<std::string>& c, std::size_t n) {
               if (long(trechos.size()) == TRECHOS_MAXIMOS)
                   ErroLinha(n, "o projeto guarda no máximo " + std::to_string(TRECHOS_MAXIMOS) +
                                    " trechos.");
               if (c.size() != 4)
                   ErroLinha(n, "são esperados 4 campos (nome, inicio_m, comprimento_m, "
                                "declividade), há " +
                                    std::to_string(c.size()) + ".");
               TTrecho t;
               t.Nome = c[0];
               if (TemControle(t.Nome))
                   ErroLinha(n, "o campo nome tem um caractere de controle (uma tabulação, um "
                                "byte nulo).");
               t.Inicio = RealDoCampo(c[1], n, "inicio_m", decimal);
               if (!(t.Inicio >= 0 && t.Inicio <= INICIO_MAXIMO_TRECHO))
                   ErroLinha(n, "o campo inicio_m (" + c[1] + ") deve estar entre 0 e " +
                                    FloatToStr(INICIO_MAXIMO_TRECHO) + " m.");
               const double comp = RealDoCampo(c[2], n, "comprimento_m", decimal);
               if (comp != std::floor(comp) || comp < 1 || comp > COMPRIMENTO_MAXIMO_CANAL)
                   ErroLinha(n, "o campo comprimento_m (" + c[2] +
                                    ") deve ser um número inteiro de metros, de 1 a " +
                                    std::to_string(COMPRIMENTO_MAXIMO_CANAL) + ".");
               t.Comprimento = int(comp);
               // Negativa onde a estrada sobe no sentido do estaqueamento.
               t.Declividade = RealDoCampo(c[3], n, "declividade", decimal);
               if (t.Declividade == 0 || !(std::abs(t.Declividade) < DECLIVIDADE_MAXIMA_TRECHO))
                   ErroLinha(n, "o campo declividade (" + c[3] +
                                    ") deve ser diferente de zero, maior que -10 e menor que 10 "
                                    "(m/m).");
               trechos.push_back(std::move(t));
               linhas.push_back(n);
           });
    if (trechos.empty()) throw EMorvendo("O arquivo não tem nenhum trecho.");
    // A estrada é uma só, sem buracos: dois trechos no mesmo pedaço dariam dois conjuntos de
    // desaguadouros para ele, e um pedaço sem trecho ficaria sem nenhum.
    std::vector<std::size_t> ordem(trechos.size());
    for (std::size_t i = 0; i < ordem.size(); ++i)
        ordem[i] = i;
    std::sort(ordem.begin(), ordem.end(), [&](std::size_t a, std::size_t b) {
        return trechos[a].Inicio < trechos[b].Inicio ||
               (trechos[a].Inicio == trechos[b].Inicio && a < b);
    });
    auto fim = [&](std::size_t i) { return trechos[i].Inicio + trechos[i].Comprimento; };
    for (std::size_t k = 1; k < ordem.size(); ++k) {
        const std::size_t anterior = ordem[k - 1], i = ordem[k];
        const char* falta = FaltaDeContinuidade(trechos[anterior], trechos[i].Inicio);
        if (!falta) continue;
        const std::size_t a = std::min(i, anterior), b = std::max(i, anterior);
        auto descrever = [&](std::size_t x) {
            return "\"" + trechos[x].Nome + "\" (de " + FloatToStr(trechos[x].Inicio) + " a " +
                   FloatToStr(fim(x)) + " m)";
        };
        throw EMorvendo("Linhas " + std::to_string(linhas[a]) + " e " + std::to_string(linhas[b]) +
                        ": os trechos " + descrever(a) + " e " + descrever(b) + " " + falta + ".");
    }
    return trechos;
}

std::vector<TPontoPerfil> LerPerfilCsv(std::istream& entrada) {
    std::vector<TPontoPerfil> perfil;
    char decimal = '.';
    LerCsv(entrada, "posicao_m,cota_m", false, decimal,
           [&](const std::vector<std::string>& c, std::size_t n) {
               if (c.size() != 2)
                   ErroLinha(n, "são esperados 2 campos (posicao_m, cota_m), há " +
                                    std::to_string(c.size()) + ".");
               TPontoPerfil p{RealDoCampo(c[0], n, "posicao_m", decimal),
                              RealDoCampo(c[1], n, "cota_m", decimal)};
               if (!perfil.empty() && p.Posicao <= perfil.back().Posicao)
                   ErroLinha(n, "a posição (" + c[0] +
                                    " m) deve ser maior que a da linha "
                                    "anterior.");
               perfil.push_back(p);
           });
    if (perfil.size() < 2) throw EMorvendo("O perfil precisa de pelo menos dois pontos.");
    return perfil;
}

std::vector<TPontoPerfilLados> LerPerfilLadosCsv(std::istream& entrada) {
    std::vector<TPontoPerfilLados> perfil;
    char decimal = '.';
    std::string cabecalho;
    // Colunas opcionais depois das duas primeiras, nesta ordem.
    int colunaLado = -1, colunaSecao = -1;
    std::size_t colunas = 0;
    auto conferirCabecalho = [&] {
        const std::vector<std::pair<std::string, std::pair<int, int>>> aceitos = {
            {"distancia_m,cota_m", {-1, -1}},
            {"distancia_m,cota_m,lado", {2, -1}},
            {"distancia_m,cota_m,secao", {-1, 2}},
            {"distancia_m,cota_m,lado,secao", {2, 3}}};
        for (const auto& [c, posicoes] : aceitos)
            if (cabecalho == c) {
                colunaLado = posicoes.first;
                colunaSecao = posicoes.second;
                colunas = std::size_t(std::count(c.begin(), c.end(), ',') + 1);
                return;
            }
        throw EMorvendo("Linha 1: o cabeçalho deve ser \"distancia_m,cota_m\", com as colunas "
                        "opcionais lado e secao depois (\"distancia_m,cota_m,lado,secao\").");
    };
    LerCsv(
        entrada, "distancia_m,cota_m", true, decimal,
        [&](const std::vector<std::string>& c, std::size_t n) {
            if (colunas == 0) conferirCabecalho();
            if (c.size() != colunas)
                ErroLinha(n, "são esperados " + std::to_string(colunas) + " campos, há " +
                                 std::to_string(c.size()) + ".");
            TPontoPerfilLados p;
            p.Ponto = {RealDoCampo(c[0], n, "distancia_m", decimal),
                       RealDoCampo(c[1], n, "cota_m", decimal)};
            if (!(p.Ponto.Posicao >= 0 && p.Ponto.Posicao <= INICIO_MAXIMO_TRECHO))
                ErroLinha(n, "o campo distancia_m (" + c[0] + ") deve estar entre 0 e " +
                                 FloatToStr(INICIO_MAXIMO_TRECHO) + " m.");
            if (!perfil.empty() && p.Ponto.Posicao <= perfil.back().Ponto.Posicao)
                ErroLinha(n, "a distância (" + c[0] +
                                 " m) deve ser maior que a da linha "
                                 "anterior.");
            std::optional<TCanalLado> secao;
            if (colunaSecao >= 0 && !c[std::size_t(colunaSecao)].empty()) {
                const std::string& t = c[std::size_t(colunaSecao)];
                if (t != "1" && t != "3")
                    ErroLinha(n, "o campo secao (\"" + t +
                                     "\") deve ser 1 (em corte, com a área externa) ou 3 (sem "
                                     "corte), ou vazio para a seção do projeto.");
                secao = t == "1" ? TCanalLado::Corte : TCanalLado::SemCorte;
            }
            p.Esquerdo = p.Direito = secao;
            if (colunaLado >= 0) {
                std::string t = c[std::size_t(colunaLado)];
                for (char& x : t)
                    x = char(std::toupper(static_cast<unsigned char>(x)));
                if (t == "E")
                    p.Direito = TCanalLado::Nenhum;
                else if (t == "D")
                    p.Esquerdo = TCanalLado::Nenhum;
                else if (!t.empty() && t != "ED" && t != "AMBOS")
                    ErroLinha(n, "o campo lado (\"" + c[std::size_t(colunaLado)] +
                                     "\") deve ser E (esquerdo), D (direito) ou ambos (ED ou "
                                     "vazio).");
            }
            perfil.push_back(p);
        },
        &cabecalho);
    if (colunas == 0 && !cabecalho.empty()) conferirCabecalho();
    if (perfil.size() < 2) throw EMorvendo("O perfil precisa de pelo menos dois pontos.");
    return perfil;
}

namespace {

// Os pontos de um perfil sem lados: os canais dos dois lados ficam os da seção do projeto.
std::vector<TPontoPerfilLados> SemLados(const std::vector<TPontoPerfil>& perfil) {
    std::vector<TPontoPerfilLados> pontos;
    pontos.reserve(perfil.size());
    for (const TPontoPerfil& ponto : perfil)
        pontos.push_back({ponto, {}, {}});
    return pontos;
}

} // namespace

std::vector<TTrecho> TrechosDasRampas(const std::vector<TPontoPerfil>& perfil) {
    return TrechosDasRampas(SemLados(perfil));
}

std::vector<TTrecho> TrechosDasRampas(const std::vector<TPontoPerfilLados>& perfil) {
    if (perfil.size() < 2) throw EMorvendo("O perfil precisa de pelo menos dois pontos.");
    std::vector<TTrecho> trechos;
    const double origem = perfil[0].Ponto.Posicao;
    // Limites em metros inteiros contados do primeiro ponto, como nos trechos de um perfil.
    auto limite = [&](std::size_t i) { return std::round(perfil[i].Ponto.Posicao - origem); };
    for (std::size_t i = 0; i + 1 < perfil.size(); ++i) {
        const TPontoPerfil &a = perfil[i].Ponto, &b = perfil[i + 1].Ponto;
        const double comprimento = limite(i + 1) - limite(i);
        if (comprimento < 1) continue; // pontos a menos de meio metro: a rampa some
        const double declividade = (a.Cota - b.Cota) / (b.Posicao - a.Posicao);
        if (comprimento > COMPRIMENTO_MAXIMO_CANAL || !(std::abs(declividade) < 10))
            throw EMorvendo(
                "De " + FloatToStr(a.Posicao) + " a " + FloatToStr(b.Posicao) + " m, o perfil " +
                (comprimento > COMPRIMENTO_MAXIMO_CANAL
                     ? "tem uma rampa de mais de " + std::to_string(COMPRIMENTO_MAXIMO_CANAL) +
                           " m: acrescente pontos."
                     : std::string("tem declividade de 10 m/m ou mais: confira as "
                                   "cotas.")));
        TTrecho t("R" + std::to_string(i + 1), origem + limite(i), int(comprimento), declividade);
        t.Esquerdo = perfil[i].Esquerdo;
        t.Direito = perfil[i].Direito;
        trechos.push_back(std::move(t));
    }
    if (trechos.empty()) throw EMorvendo("O perfil não tem nenhuma rampa de 1 m ou mais.");
    return trechos;
}

std::vector<TPontoPerfilLados> LerPerfilComLadosOuNaoCsv(std::istream& entrada) {
    std::string primeira;
    const std::streampos inicio = entrada.tellg();
    std::getline(entrada, primeira);
    entrada.clear();
    entrada.seekg(inicio);
    if (primeira.rfind("\xEF\xBB\xBF", 0) == 0) primeira.erase(0, 3);
    if (primeira.rfind("distancia_m", 0) == 0) return LerPerfilLadosCsv(entrada);
    return SemLados(LerPerfilCsv(entrada));
}

std::vector<TTrecho> TrechosDoPerfil(const std::vector<TPontoPerfil>& perfil, double tolerancia) {
    return TrechosDoPerfil(SemLados(perfil), tolerancia);
}

std::vector<TTrecho> TrechosDoPerfil(const std::vector<TPontoPerfilLados>& pontos,
                                     double tolerancia) {
    if (pontos.size() < 2) throw EMorvendo("O perfil precisa de pelo menos dois pontos.");
    std::vector<TPontoPerfil> perfil;
    for (const TPontoPerfilLados& p : pontos)
        perfil.push_back(p.Ponto);
    if (!(tolerancia >= 0)) throw EMorvendo("A tolerância não pode ser negativa.");
    std::vector<TTrecho> trechos;
    std::size_t inicio = 0;
    // Positiva onde a estrada desce no sentido do estaqueamento.
    auto declividade = [&](std::size_t a, std::size_t b) {
        return (perfil[a].Cota - perfil[b].Cota) / (perfil[b].Posicao - perfil[a].Posicao);
    };
    // Limites em metros inteiros contados do primeiro ponto: os trechos ficam encostados, e o
    // arredondamento não se acumula ao longo da estrada.
    auto limite = [&](std::size_t i) {
        return perfil[0].Posicao + std::round(perfil[i].Posicao - perfil[0].Posicao);
    };
    auto fechar = [&](std::size_t fim) {
        TTrecho t;
        t.Nome = "T" + std::to_string(trechos.size() + 1);
        t.Inicio = limite(inicio);
        t.Esquerdo = pontos[inicio].Esquerdo;
        t.Direito = pontos[inicio].Direito;
        const double comprimento = perfil[fim].Posicao - perfil[inicio].Posicao;
        // A rampa mais íngreme dá a declividade do cálculo, a favor da segurança: pela média,
        // uma rampa de 3,5 % num trecho de 3 % teria 88 m de espaçamento onde pede 64 m. A
        // média fica ao lado, para mostrar.
        t.Declividade = declividade(inicio, inicio + 1);
        for (std::size_t i = inicio + 1; i < fim; ++i)
            if (std::abs(declividade(i, i + 1)) > std::abs(t.Declividade))
                t.Declividade = declividade(i, i + 1);
        if (fim - inicio > 1) t.DeclividadeMedia = declividade(inicio, fim);
        // Os mesmos limites do arquivo do projeto, que guarda estes trechos.
        auto recusar = [&](const std::string& motivo) {
            throw EMorvendo("De " + FloatToStr(perfil[inicio].Posicao) + " a " +
                            FloatToStr(perfil[fim].Posicao) + " m, o perfil " + motivo);
        };
        if (comprimento > COMPRIMENTO_MAXIMO_CANAL)
            recusar("forma um trecho de mais de " + std::to_string(COMPRIMENTO_MAXIMO_CANAL) +
                    " m: acrescente pontos.");
        if (!(std::abs(t.Declividade) < DECLIVIDADE_MAXIMA_TRECHO))
            recusar("tem declividade de 10 m/m ou mais: confira as cotas.");
        t.Comprimento = int(std::lround(limite(fim) - limite(inicio)));
        if (t.Comprimento >= 1) {
            if (long(trechos.size()) == TRECHOS_MAXIMOS)
                throw EMorvendo("O perfil forma mais de " + std::to_string(TRECHOS_MAXIMOS) +
                                " trechos: aumente a tolerância.");
            trechos.push_back(t);
        }
        inicio = fim;
    };
    for (std::size_t i = 1; i + 1 < perfil.size(); ++i) {
        // Muda o sentido da água (crista ou baixada) ou a rampa difere demais da do trecho.
        const double antes = perfil[i].Cota - perfil[i - 1].Cota;
        const double depois = perfil[i + 1].Cota - perfil[i].Cota;
        const bool inverte = (antes > 0 && depois < 0) || (antes < 0 && depois > 0);
        // Onde os canais mudam de um lado o trecho muda também.
        const bool outrosLados = pontos[i].Esquerdo != pontos[inicio].Esquerdo ||
                                 pontos[i].Direito != pontos[inicio].Direito;
        if (inverte || outrosLados ||
            std::abs(declividade(i, i + 1) - declividade(inicio, i)) >= tolerancia)
            fechar(i);
    }
    fechar(perfil.size() - 1);
    return trechos;
}

std::string Estaca(double metros, char separadorDecimal) {
    if (!(metros >= 0 && metros <= 1e12))
        throw EMorvendo("A posição " + FloatToStr(metros, separadorDecimal) +
                        " m não tem estaca: o estaqueamento começa em zero.");
    // Ao centímetro antes de separar a estaca: 19,999 m é "1 + 0,00", nunca "0 + 20,00".
    const long long cm = std::llround(metros * 100);
    const long long resto = cm % (100 * METROS_POR_ESTACA);
    const std::string centesimos = std::to_string(100 + resto % 100).substr(1);
    return std::to_string(cm / (100 * METROS_POR_ESTACA)) + " + " + std::to_string(resto / 100) +
           separadorDecimal + centesimos;
}

unsigned LinhasPadrao() {
    return std::max(1u, std::thread::hardware_concurrency());
}

std::string AvisosNumaCelula(const std::vector<TAviso>& avisos) {
    std::string t;
    for (const TAviso& a : avisos)
        t += (t.empty() ? "" : " | ") + a.Texto;
    return t;
}
