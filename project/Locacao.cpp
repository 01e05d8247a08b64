#include "project/Locacao.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

#include "comum/EMorvendo.h"
#include "comum/LeitorCsv.h"
#include "comum/Numeros.h"
#include "engine/PerdaSolo.h"
#include "project/CanalDescida.h"

const char* SiglaLado(TLado lado) {
    return lado == TLado::Esquerdo ? "E" : "D";
}

int TDescida::Comprimento() const {
    int c = 0;
    for (const TPecaDescida& p : Pecas)
        c += p.Comprimento;
    return c;
}

std::vector<TPecaDescida> TDescida::Parte(int inicio, int comprimento) const {
    std::vector<TPecaDescida> parte;
    int acima = 0; // metros das peças anteriores
    const int fim = inicio + comprimento;
    for (const TPecaDescida& p : Pecas) {
        const int de = std::max(inicio, acima), ate = std::min(fim, acima + p.Comprimento);
        if (ate > de) {
            TPecaDescida q = p;
            q.Comprimento = ate - de;
            parte.push_back(q);
        }
        acima += p.Comprimento;
    }
    return parte;
}

const TPecaDescida& TDescida::PecaAcima(int metros) const {
    int acima = 0;
    for (const TPecaDescida& p : Pecas) {
        acima += p.Comprimento;
        if (metros <= acima) return p;
    }
    return Pecas.back();
}

int TDesaguadouro::ComprimentoServido() const {
    int c = 0;
    for (const TContribuicao& k : Contribuicoes)
        c += k.Comprimento;
    return c;
}

std::vector<TDescida> DescidasDoLado(const std::vector<TTrecho>& trechos, TLado lado,
                                     int secaoProjeto) {
    auto canal = [&](std::size_t i) {
        return CanalDoLado(lado == TLado::Esquerdo ? trechos[i].Esquerdo : trechos[i].Direito,
                           secaoProjeto);
    };
    // +1 ou −1 onde a água corre num canal deste lado; 0 sem canal ou num trecho plano.
    auto sentido = [&](std::size_t i) {
        if (canal(i) == TCanalLado::Nenhum || trechos[i].Declividade == 0) return 0;
        return trechos[i].Declividade > 0 ? 1 : -1;
    };
    // Por que a água pára ao passar do trecho i para o vizinho v (que pode não existir).
    auto fim = [&](std::size_t v, bool existe) {
        if (!existe) return TFimDescida::PontoBaixo;
        if (canal(v) == TCanalLado::Nenhum) return TFimDescida::FimDoCanal;
        if (trechos[v].Declividade == 0) return TFimDescida::Plano;
        return TFimDescida::PontoBaixo; // o vizinho corre no outro sentido: uma baixada
    };
    std::vector<TDescida> descidas;
    for (std::size_t i = 0; i < trechos.size();) {
        const int s = sentido(i);
        if (s == 0) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j + 1 < trechos.size() && sentido(j + 1) == s)
            ++j;
        TDescida d;
        d.Lado = lado;
        d.Sentido = s;
        auto peca = [&](std::size_t k) {
            return TPecaDescida{trechos[k].Comprimento, std::abs(trechos[k].Declividade),
                                canal(k) == TCanalLado::Corte, trechos[k].Declividade};
        };
        if (s > 0) {
            d.Topo = trechos[i].Inicio;
            for (std::size_t k = i; k <= j; ++k)
                d.Pecas.push_back(peca(k));
            d.Fim = fim(j + 1, j + 1 < trechos.size());
        } else {
            d.Topo = trechos[j].Inicio + trechos[j].Comprimento;
            for (std::size_t k = j + 1; k-- > i;)
                d.Pecas.push_back(peca(k));
            d.Fim = fim(i - (i > 0), i > 0);
        }
        descidas.push_back(std::move(d));
        i = j + 1;
    }
    return descidas;
}

namespace {

// O espaçamento que a erosão permite a partir de um ponto de uma descida, com o canal seco ali.
struct TEspaco {
    int Calculado = 0;        // m; o resto da descida quando a perda não chega à tolerável
    bool AteOFim = false;     // a perda não chega à tolerável até o fim da descida
    bool Nenhum = false;      // já o segundo metro passa da tolerável
    bool VoltaAbaixo = false; // a perda passa da tolerável e volta a ficar abaixo dela adiante
};

// O canal é causal (um nó só vê os de cima): calcular um pedaço e alongá-lo só quando a perda
// não chegou à tolerável poupa o canal inteiro a cada recomeço. O pedaço é o espaçamento do
// recomeço anterior com folga; no topo da descida, sem palpite, 100 m.
constexpr int JANELA_SEM_PALPITE = 100; // m
constexpr int JANELA_MINIMA = 20;       // m

TEspaco EspacoDesde(const TDescida& d, int inicio, int palpite, const ICanalLocacao& canal) {
    const int resto = d.Comprimento() - inicio;
    const int pedido = palpite > 0 ? palpite + palpite / 4 + 5 : JANELA_SEM_PALPITE;
    int janela = std::min(resto, std::max(JANELA_MINIMA, pedido));
    const double toleravel = canal.PerdaToleravel();
    for (;;) {
        const std::vector<double> perdas = canal.Perdas(d, inicio, janela);
        const auto passa =
            std::find_if(perdas.begin(), perdas.end(), [&](double p) { return p > toleravel; });
        if (passa != perdas.end()) {
            TEspaco e;
            e.Calculado = int(passa - perdas.begin()); // a seção anterior à primeira que passa
            e.Nenhum = e.Calculado < 2;
            e.VoltaAbaixo =
                std::any_of(passa + 1, perdas.end(), [&](double p) { return p <= toleravel; });
            return e;
        }
        if (janela >= resto) return {resto, true, false, false};
        janela = std::min(resto, 2 * janela);
    }
}

struct TSegmento {
    int Inicio = 0, Comprimento = 0;
    bool Limitado = false, Nenhum = false, VoltaAbaixo = false;
};

int Adotado(double fator, int calculado) {
    return std::max(1, int(std::floor(fator * calculado + 1e-9)));
}

bool DeUmaDeclividade(const TDescida& d) {
    for (const TPecaDescida& p : d.Pecas)
        if (p.Declividade != d.Pecas[0].Declividade || p.AreaExterna != d.Pecas[0].AreaExterna)
            return false;
    return true;
}

// Sem sobra curta no fim: com o último pedaço abaixo de um terço do espaçamento adotado, os
// desaguadouros da descida são espalhados por igual, no mesmo número. Cada pedaço novo fica
// menor que o adotado; numa descida de declividades diferentes cada um é conferido pelo
// espaçamento a partir do seu começo, e sem isso a locação fica como estava.
void EspalharSobra(const TDescida& d, double fator, const ICanalLocacao& canal,
                   std::vector<TSegmento>& segmentos) {
    const std::size_t n = segmentos.size();
    if (n < 2 || !segmentos.back().Limitado) return;
    const int adotado = segmentos[n - 2].Comprimento;
    if (3 * segmentos.back().Comprimento >= adotado) return;
    const int total = d.Comprimento();
    std::vector<TSegmento> novos(n);
    for (std::size_t k = 0; k < n; ++k) {
        novos[k].Inicio = int(std::lround(double(k) * total / double(n)));
        const int fimK = int(std::lround(double(k + 1) * total / double(n)));
        novos[k].Comprimento = fimK - novos[k].Inicio;
    }
    novos.back().Limitado = true;
    if (!DeUmaDeclividade(d)) {
        int palpite = adotado;
        for (std::size_t k = 0; k + 1 < n; ++k) {
            const TEspaco e = EspacoDesde(d, novos[k].Inicio, palpite, canal);
            if (e.Nenhum || (!e.AteOFim && novos[k].Comprimento > Adotado(fator, e.Calculado)))
                return;
            palpite = e.Calculado;
        }
    }
    segmentos = std::move(novos);
}

std::vector<TSegmento> SegmentosDaDescida(const TDescida& d, double fator,
                                          const ICanalLocacao& canal,
                                          const TCancelamentoLote* cancelamento) {
    std::vector<TSegmento> segmentos;
    const int total = d.Comprimento();
    int inicio = 0, palpite = 0;
    while (inicio < total) {
        if (cancelamento && cancelamento->Pedido) return {};
        const TEspaco e = EspacoDesde(d, inicio, palpite, canal);
        TSegmento s;
        s.Inicio = inicio;
        if (e.AteOFim || e.Nenhum) {
            s.Comprimento = total - inicio;
            s.Limitado = e.AteOFim;
            s.Nenhum = e.Nenhum;
            s.VoltaAbaixo = e.VoltaAbaixo;
            segmentos.push_back(s);
            break;
        }
        s.Comprimento = Adotado(fator, e.Calculado);
        s.VoltaAbaixo = e.VoltaAbaixo;
        segmentos.push_back(s);
        inicio += s.Comprimento;
        palpite = e.Calculado;
    }
    EspalharSobra(d, fator, canal, segmentos);
    return segmentos;
}

std::string AvisoFim(TFimDescida fim) {
    switch (fim) {
    case TFimDescida::FimDoCanal:
        return "O canal deste lado termina aqui: a água sai por este desaguadouro.";
    case TFimDescida::Plano:
        return "O trecho seguinte é plano: a água não corre por ele e sai por este "
               "desaguadouro.";
    case TFimDescida::PontoBaixo:
        break;
    }
    return {};
}

// Pedaços de canal iguais (as mesmas peças desde o começo seco) dão as mesmas perdas e a mesma
// chegada: numa rampa longa os recomeços se repetem, e cada um é calculado uma vez só.
class TCanalComMemoria : public ICanalLocacao {
public:
    explicit TCanalComMemoria(const ICanalLocacao& canal) : Canal(canal) {}
    double PerdaToleravel() const override { return Canal.PerdaToleravel(); }
    std::vector<double> Perdas(const TDescida& d, int inicio, int comprimento) const override {
        return Lembrar(Perdas_, d, inicio, comprimento,
                       [&] { return Canal.Perdas(d, inicio, comprimento); });
    }
    TChegada Chegada(const TDescida& d, int inicio, int comprimento) const override {
        return Lembrar(Chegadas_, d, inicio, comprimento,
                       [&] { return Canal.Chegada(d, inicio, comprimento); });
    }
    std::optional<TDimensoesBacia> Bacia(const TChegada& c) const override {
        return Canal.Bacia(c);
    }

private:
    using TChave = std::vector<std::tuple<int, double, bool>>;
    static TChave Chave(const TDescida& d, int inicio, int comprimento) {
        TChave chave;
        for (const TPecaDescida& p : d.Parte(inicio, comprimento))
            chave.emplace_back(p.Comprimento, p.Declividade, p.AreaExterna);
        return chave;
    }
    template <class T, class Calcular>
    T Lembrar(std::map<TChave, T>& memoria, const TDescida& d, int inicio, int comprimento,
              Calcular&& calcular) const {
        const TChave chave = Chave(d, inicio, comprimento);
        {
            const std::lock_guard<std::mutex> trava(M);
            const auto achado = memoria.find(chave);
            if (achado != memoria.end()) return achado->second;
        }
        // Calculado fora da trava: duas linhas podem calcular o mesmo pedaço, com o mesmo
        // resultado.
        T valor = calcular();
        const std::lock_guard<std::mutex> trava(M);
        memoria.emplace(chave, valor);
        return valor;
    }
    const ICanalLocacao& Canal;
    mutable std::mutex M;
    mutable std::map<TChave, std::vector<double>> Perdas_;
    mutable std::map<TChave, TChegada> Chegadas_;
};

} // namespace

TResultadoLocacao LocarDesaguadouros(const std::vector<TTrecho>& trechos, int secaoProjeto,
                                     const ICanalLocacao& canalDado, const TOpcoesLocacao& opcoes,
                                     IAndamentoLote* andamento,
                                     const TCancelamentoLote* cancelamento) {
    const TCanalComMemoria canal(canalDado);
    // As descidas supõem a estrada sem buracos nem trechos sobrepostos, na ordem.
    for (std::size_t i = 1; i < trechos.size(); ++i)
        if (const char* falta = FaltaDeContinuidade(trechos[i - 1], trechos[i].Inicio))
            throw EMorvendo("Os trechos \"" + trechos[i - 1].Nome + "\" e \"" + trechos[i].Nome +
                            "\" " + falta + ": a locação precisa da estrada contínua.");
    if (!(opcoes.Fator > 0 && opcoes.Fator <= 1))
        throw EMorvendo("O fator de segurança do espaçamento deve ser maior que 0 e no máximo "
                        "1.");
    TResultadoLocacao r;
    r.PerdaToleravel = canal.PerdaToleravel();
    std::vector<TDescida> descidas = DescidasDoLado(trechos, TLado::Esquerdo, secaoProjeto);
    const std::vector<TDescida> direitas = DescidasDoLado(trechos, TLado::Direito, secaoProjeto);
    // Os dois lados iguais (a estrada abaulada de sempre) dão os mesmos pedaços de canal: a
    // memória do canal calcula cada um uma vez só.
    descidas.insert(descidas.end(), direitas.begin(), direitas.end());
    if (descidas.empty()) {
        // Sem descida não há desaguadouro: uma nota vazia sem dizer por quê enganaria.
        bool temCanal = false, temDeclividade = false;
        for (const TTrecho& t : trechos) {
            const bool canal = CanalDoLado(t.Esquerdo, secaoProjeto) != TCanalLado::Nenhum ||
                               CanalDoLado(t.Direito, secaoProjeto) != TCanalLado::Nenhum;
            temCanal = temCanal || canal;
            temDeclividade = temDeclividade || t.Declividade != 0;
        }
        if (trechos.empty()) throw EMorvendo("Não há trechos para locar os desaguadouros.");
        if (!temCanal)
            throw EMorvendo("Nenhum trecho tem canal de nenhum lado: não há desaguadouros a "
                            "locar.");
        throw EMorvendo(std::string(temDeclividade ? "Os trechos com canal são todos planos"
                                                   : "Todos os trechos são planos") +
                        " (declividade 0): a água não corre pelos canais e não há "
                        "desaguadouros a locar; dê a declividade dos trechos.");
    }

    // Primeiro onde ficam os desaguadouros, descida por descida; depois o que chega a cada um.
    std::vector<std::vector<TSegmento>> segmentos(descidas.size());
    Repartir(descidas.size(), opcoes.Linhas, andamento, [&](std::size_t i) {
        segmentos[i] = SegmentosDaDescida(descidas[i], opcoes.Fator, canal, cancelamento);
    });
    if (cancelamento && cancelamento->Pedido) {
        r.Cancelado = true;
        return r;
    }
    std::vector<std::pair<std::size_t, std::size_t>> lista; // (descida, segmento)
    for (std::size_t i = 0; i < descidas.size(); ++i)
        for (std::size_t k = 0; k < segmentos[i].size(); ++k)
            lista.emplace_back(i, k);
    std::vector<std::vector<TChegada>> chegadas(descidas.size());
    for (std::size_t i = 0; i < descidas.size(); ++i)
        chegadas[i].resize(segmentos[i].size());
    Repartir(lista.size(), opcoes.Linhas, nullptr, [&](std::size_t j) {
        if (cancelamento && cancelamento->Pedido) return;
        const auto [i, k] = lista[j];
        const TSegmento& s = segmentos[i][k];
        chegadas[i][k] = canal.Chegada(descidas[i], s.Inicio, s.Comprimento);
    });
    if (cancelamento && cancelamento->Pedido) {
        r.Cancelado = true;
        return r;
    }

    // Um desaguadouro por fim de segmento; numa baixada as duas descidas do mesmo lado chegam
    // ao mesmo ponto e ele é um só.
    std::map<std::pair<long long, int>, TDesaguadouro> porLugar;
    for (std::size_t i = 0; i < descidas.size(); ++i) {
        const TDescida& d = descidas[i];
        for (std::size_t k = 0; k < segmentos[i].size(); ++k) {
            const TSegmento& s = segmentos[i][k];
            const int fimS = s.Inicio + s.Comprimento;
            const bool pontoBaixo = k + 1 == segmentos[i].size();
            const double posicao = d.Posicao(fimS);
            // Ao milímetro, a mesma folga dos trechos encostados.
            const std::pair<long long, int> chave{std::llround(posicao * 1000), int(d.Lado)};
            TDesaguadouro& o = porLugar[chave];
            const bool primeira = o.Contribuicoes.empty();
            if (primeira) {
                o.Lado = d.Lado;
                o.Posicao = posicao;
                o.DeclividadeMontante = d.PecaAcima(fimS).DeclividadeComSinal;
            }
            o.PontoBaixo = o.PontoBaixo || pontoBaixo;
            TContribuicao c;
            c.Inicio = d.Posicao(s.Inicio);
            c.Comprimento = s.Comprimento;
            c.Chegada = chegadas[i][k];
            o.Contribuicoes.push_back(c);
            o.Chegada.VazaoPico += c.Chegada.VazaoPico;
            o.Chegada.Volume += c.Chegada.Volume;
            o.LimitadoPeloComprimento = o.LimitadoPeloComprimento || s.Limitado;
            o.NenhumEspacamento = o.NenhumEspacamento || s.Nenhum;
            if (s.Nenhum)
                o.Avisos.push_back("Nenhum espaçamento atende no canal que começa em " +
                                   Estaca(c.Inicio) +
                                   ": já no segundo metro a perda excede a tolerável; revista "
                                   "o canal, reduza a declividade ou aumente o aprofundamento "
                                   "tolerado.");
            if (s.VoltaAbaixo)
                o.Avisos.push_back("No canal que chega aqui a perda passa da tolerável e volta "
                                   "a ficar abaixo dela mais adiante: o espaçamento vai até a "
                                   "primeira seção que a excede.");
            if (pontoBaixo) {
                const std::string fim = AvisoFim(d.Fim);
                if (!fim.empty() &&
                    std::find(o.Avisos.begin(), o.Avisos.end(), fim) == o.Avisos.end())
                    o.Avisos.push_back(fim);
            }
        }
    }
    for (auto& [chave, o] : porLugar) {
        o.Bacia = canal.Bacia(o.Chegada);
        r.Desaguadouros.push_back(std::move(o));
    }
    // Na ordem do estaqueamento: o mapa ordena por milímetro e depois pelo lado.
    for (std::size_t i = 0; i < r.Desaguadouros.size(); ++i)
        r.Desaguadouros[i].Numero = int(i) + 1;
    return r;
}

namespace {

// O canal do projeto ao longo das descidas.
class TCanalDoProjeto : public ICanalLocacao {
public:
    TCanalDoProjeto(TProjeto& p, bool areaExterna) : P(p) {
        const TCanalEstrada& e = p.Estrada;
        const double trEspacamento = e.PeriodoRetornoEspacamento();
        Espacamento = CalcularHidrogramasPlanos(p, trEspacamento, areaExterna);
        Dimensionamento = CalcularHidrogramasPlanos(p, e.TrDim, areaExterna);
        Toleravel = ::PerdaToleravel(e.Aprofundamento, e.Densidade);
    }
    double PerdaToleravel() const override { return Toleravel; }
    std::vector<double> Perdas(const TDescida& d, int inicio, int comprimento) const override {
        TResultadoDescida r;
        CalcularDescida(P, Espacamento, Pecas(d, inicio, comprimento), TPedidoCanal::SoPerdas,
                        nullptr, r);
        std::vector<double> perdas(r.Secoes.size());
        for (std::size_t i = 0; i < perdas.size(); ++i)
            perdas[i] = r.Secoes[i].Perda;
        return perdas;
    }
    TChegada Chegada(const TDescida& d, int inicio, int comprimento) const override {
        TResultadoDescida r;
        CalcularDescida(P, Dimensionamento, Pecas(d, inicio, comprimento), TPedidoCanal::Hidrograma,
                        nullptr, r);
        r.Saida.Analisar(1.0);
        // O hidrograma em L/s integra em litros.
        return {r.Saida.VazaoMaxima, r.Saida.IntegrarVolume() / 1000};
    }
    std::optional<TDimensoesBacia> Bacia(const TChegada& c) const override {
        const TBaciaAcumulacao& b = P.Estrada.Bacia;
        if (!b.CalcularVolume) return std::nullopt;
        const TDimensoesBacia d = b.Dimensoes(c.VazaoPico / 1000, c.Volume, b.Profundidade);
        for (const double v : {d.ProfundidadeCanal, d.Largura, d.Raio, d.Comprimento})
            if (!std::isfinite(v))
                throw EMorvendo("Os dados da bacia de acumulação e do canal de condução levam a "
                                "uma medida da bacia que não é um número finito; verifique os "
                                "valores.");
        return d;
    }

private:
    static std::vector<TPecaCanal> Pecas(const TDescida& d, int inicio, int comprimento) {
        std::vector<TPecaCanal> pecas;
        for (const TPecaDescida& p : d.Parte(inicio, comprimento))
            pecas.push_back({p.Comprimento, p.Declividade, p.AreaExterna});
        return pecas;
    }

    const TProjeto& P;
    THidrogramasPlanos Espacamento, Dimensionamento;
    double Toleravel = 0;
};

} // namespace

TResultadoLocacao LocarDesaguadouros(TProjeto& projeto, const std::vector<TTrecho>& trechos,
                                     const TOpcoesLocacao& opcoes, IAndamentoLote* andamento,
                                     const TCancelamentoLote* cancelamento) {
    const int secao = projeto.Estrada.IndSecao;
    if (secao == 2) throw EMorvendo("Seção 2 ainda não disponível.");
    bool areaExterna = false;
    for (const TTrecho& t : trechos)
        for (const auto& lado : {t.Esquerdo, t.Direito})
            areaExterna = areaExterna || CanalDoLado(lado, secao) == TCanalLado::Corte;
    const TCanalDoProjeto canal(projeto, areaExterna);
    TResultadoLocacao r =
        LocarDesaguadouros(trechos, secao, canal, opcoes, andamento, cancelamento);
    r.Avisos = AvisosDosDados(projeto, opcoes.SeparadorDecimal);
    return r;
}

std::string AvisosDoDesaguadouro(const TDesaguadouro& d) {
    std::string t;
    auto juntar = [&](const std::string& a) { t += (t.empty() ? "" : " | ") + a; };
    for (const std::string& a : d.Avisos)
        juntar(a);
    if (d.LimitadoPeloComprimento)
        juntar("Espaçamento limitado pelo comprimento da descida, não pela erosão.");
    return t;
}

const char* const CABECALHO_NOTA_LOCACAO = "numero,lado,estaca,distancia_m,declividade_montante,"
                                           "trecho_m,vazao_pico_L_s,volume_bacia_m3,avisos";

std::string NotaLocacaoCsv(const TResultadoLocacao& r, char sep, char decimal) {
    std::string cabecalho = CABECALHO_NOTA_LOCACAO;
    std::replace(cabecalho.begin(), cabecalho.end(), ',', sep);
    std::string t = cabecalho + "\n";
    for (const TDesaguadouro& d : r.Desaguadouros) {
        std::string campos[] = {std::to_string(d.Numero),
                                SiglaLado(d.Lado),
                                Estaca(d.Posicao, decimal),
                                FormatFloat("0.0#", d.Posicao, decimal),
                                FormatFloat("0.0###", d.DeclividadeMontante, decimal),
                                std::to_string(d.ComprimentoServido()),
                                FormatFloat("0.00", d.Chegada.VazaoPico, decimal),
                                FormatFloat("0.000", d.Chegada.Volume, decimal),
                                AvisosDoDesaguadouro(d)};
        std::string& avisos = campos[std::size(campos) - 1];
        for (const TAviso& a : r.Avisos)
            avisos += (avisos.empty() ? "" : " | ") + a.Texto;
        bool primeiro = true;
        for (const std::string& c : campos) {
            t += (primeiro ? "" : std::string(1, sep)) + CampoCsv(c, sep);
            primeiro = false;
        }
        t += '\n';
    }
    return t;
}
