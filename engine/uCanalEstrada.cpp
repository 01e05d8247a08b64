#include "engine/uCanalEstrada.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "engine/uPersistencia.h"
#include "engine/uPontoFlutuante.h"
#include "engine/uPrecipitacao.h"
#include "engine/uRegressao.h"
#include "reports/RelatorioTexto.h"

namespace {

constexpr long PASSOS_MAXIMOS = 5000000;

bool ContemTrecho(std::string nome) {
    for (char& c : nome)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return nome.find("TRECHO") != std::string::npos;
}

std::string NomeSub(const std::string& nome, const char* sufixo) {
    return ContemTrecho(nome) ? nome + sufixo : std::string(sufixo);
}

} // namespace

void FixarCoberturaLeito(TEncostaCinematica& plano) {
    plano.Cobertura.UsoTerra.Indice = 0;
    plano.Cobertura.CondicaoHidrologica.Indice = 0;
    plano.Cobertura.Tratamento.Indice = 1;
}

TCanalEstrada::TCanalEstrada(const std::string& nome)
    : TCanalCinematicoCustom(nome), Estrada(NomeSub(nome, "_Estrada")),
      Talude(NomeSub(nome, "_Talude")), Bacia(ContemTrecho(nome) ? nome : std::string()) {
    FixarCoberturaEstrada();
    TCanalEstrada::Limpar();
}

void TCanalEstrada::FixarCoberturaEstrada() {
    Estrada.DefinirNumSecoes(1);
    FixarCoberturaLeito(Estrada.Secao(0));
}

void TCanalEstrada::Limpar() {
    Talude.Limpar();
    Estrada.Limpar();
    FixarCoberturaEstrada();
    Bacia.Limpar();
    TCanalCinematicoCustom::Limpar();
}

bool TCanalEstrada::Ler(TArquivoIni& ini) {
    if (!TCanalCinematicoCustom::Ler(ini)) return false;
    const std::string secao = "CanalEstrada" + Nome;
    if (ini.LerTexto(secao, "Versao", "0") != "1") return false;
    Aprofundamento = ini.LerReal(secao, "Aprofundamento", 0);
    TalCritica = ini.LerReal(secao, "TalCritica", 0);
    Erodibilidade = ini.LerReal(secao, "Erodibilidade", 0);
    Densidade = ini.LerReal(secao, "Densidade", 0);
    IndSecao = int(ini.LerInteiro(secao, "IndSecao", 0));
    // Um tipo de seção desconhecido é arquivo danificado, nunca calculado como outro tipo.
    if (IndSecao < 1 || IndSecao > 3)
        ValorForaDaFaixaNoArquivo("Seção transversal", IndSecao, "1, 2 ou 3");
    if (Comprimento() > COMPRIMENTO_MAXIMO_CANAL)
        ValorForaDaFaixaNoArquivo("Canal da estrada, Comprimento", Comprimento(),
                                  "de 1 a 100000 m");
    TrDim = ini.LerReal(secao, "TrDim", 0);
    TrEsp = ini.LerReal(secao, "TrEsp", 0);
    Equivalente = ini.LerLogico(secao, "Equivalente", false);
    if (!Estrada.Ler(ini)) return false;
    if (!Talude.Ler(ini)) return false;
    return Bacia.Ler(ini);
}

bool TCanalEstrada::Gravar(TArquivoIni& ini) {
    if (!TCanalCinematicoCustom::Gravar(ini)) return false;
    const std::string secao = "CanalEstrada" + Nome;
    ini.EscreverTexto(secao, "Versao", "1");
    GravarReal(ini, secao, "Aprofundamento", Aprofundamento);
    GravarReal(ini, secao, "TalCritica", TalCritica);
    GravarReal(ini, secao, "Erodibilidade", Erodibilidade);
    GravarReal(ini, secao, "Densidade", Densidade);
    ini.EscreverInteiro(secao, "IndSecao", IndSecao);
    GravarReal(ini, secao, "TrDim", TrDim);
    GravarReal(ini, secao, "TrEsp", TrEsp);
    ini.EscreverLogico(secao, "Equivalente", Equivalente);
    if (!Talude.Gravar(ini)) return false;
    if (!Estrada.Gravar(ini)) return false;
    return Bacia.Gravar(ini);
}

double TCanalEstrada::TempoRetornoEquivalente() const {
    const double t = TrEsp;
    if (t > 3) return t * t / (t - 0.5);
    if (t > 1) return t * t * (std::log(t) - std::log(t - 1));
    throw EMorvendo(
        "Erro. O tempo de retorno para cálculo do espaçamento deve ser maior do que um (1).");
}

void TCanalEstrada::AjustarCurvaDescarga() {
    const double z = Z.Valor, sm = Sm.Valor, n = nc.Valor;
    switch (TipoCanal.Valor) {
    case CANAL_TRAPEZOIDAL: {
        TRegressao reg(25);
        for (int k = 1; k <= 25; ++k) {
            const double y = 0.2 * k;
            reg.X[k - 1] = y * (FB + z * y);
            reg.Y[k - 1] = FB + 2 * y * std::sqrt(z * z + 1);
        }
        double a, b;
        reg.AjustePotencia(a, b);
        Alfa = std::sqrt(Sc) / (n * std::pow(a, 2.0 / 3.0));
        Expoente = 5.0 / 3.0 - (2.0 / 3.0) * b;
        break;
    }
    case CANAL_TRIANGULAR: {
        const double d = std::sqrt(2 / (1 / sm + z));
        const double c = d * (std::sqrt(z * z + 1) + std::sqrt(1 / (sm * sm) + 1));
        Alfa = std::sqrt(Sc) / (n * std::pow(c, 2.0 / 3.0));
        Expoente = 4.0 / 3.0;
        break;
    }
    default:
        throw EMorvendo("Erro. Seção transversal do canal não definida.");
    }
}

bool TCanalEstrada::CalcularHidrogramaCanal(bool dimensionamento, double vibEstrada,
                                            const THidrograma& hEstrada, const THidrograma& hTalude,
                                            TPrecipitacao& chuva, IAcompanhamento* acomp,
                                            std::unique_ptr<THidrograma>& saida) {
    TOcupado ocupado(acomp);
    try {
        pontoflutuante::Limpar();
        PerdaToleravel = Aprofundamento * Densidade;
        GamaS = Sc * 1000 / 0.102;
        ProfundidadeCritica = TalCritica / GamaS;
        AjustarCurvaDescarga();
        const double alfa = Alfa, m = Expoente;
        saida = std::make_unique<THidrograma>(
            [this](double area) { return ProfundidadePelaArea(area); });
        saida->Alfa = alfa;
        saida->Expoente = m;
        saida->Local = THidrograma::LocalCanal;
        THidrograma& S = *saida;
        const double alfa1000 = alfa * 1000;

        Dx = 1.0;
        Dt = 0.2;
        const int comp = FComprimento;
        FNos.assign(std::size_t(comp) + 1, TSecaoCanal{});
        if (!dimensionamento) FAcumulos.assign(std::size_t(comp) + 1, TAcumuloNo{});
        const long long nLongo = Arredondar(comp / Dx);
        const std::size_t n = nLongo > 0 ? std::size_t(nLongo) : 0;
        std::vector<double> Aant(n, 0.0), Anov(n, 0.0), Pant(n, 0.0), Pnov(n, 0.0);

        // Limites de tempo sobre os hidrogramas que têm pontos.
        bool temEntrada = false;
        double t = 0, tFim = 0;
        auto passoProprio = [](const THidrograma& h) {
            return h.NumPontos() >= 2 ? h.Pontos[1].Tempo - h.Pontos[0].Tempo : 0.0;
        };
        for (const THidrograma* h : {&hEstrada, &hTalude}) {
            if (h->NumPontos() == 0) continue;
            const double inicio = h->Pontos.front().Tempo, fim = h->Pontos.back().Tempo;
            if (!temEntrada || inicio < t) t = inicio;
            if (!temEntrada || fim > tFim) tFim = fim;
            temEntrada = true;
        }
        if (!temEntrada) {
            // Sem contribuição lateral: o canal fica seco.
            S.Adicionar(0, 0);
            return !Cancelado;
        }
        const double dtEstrada = passoProprio(hEstrada), dtTalude = passoProprio(hTalude);
        // Um ponto de saída por passo enquanto há entrada, e folga para o esvaziamento.
        const double previstos = (tFim - t) / Dt * 1.25 + 16;
        S.Pontos.reserve(previstos < 1e6 ? std::size_t(previstos) : std::size_t(1000000));

        const double dts = 60 * Dt;
        const double c1 = alfa * dts / Dx;
        const double c2 = Dx / (alfa * dts);
        const double c3 = Dx / alfa;
        const double umSobreM = 1 / m;
        const double a1 = std::pow(Dx / (alfa * m * dts), 1 / (m - 1));
        const double aLim = 2 * a1;
        const bool triangular = TipoCanal.Valor == CANAL_TRIANGULAR;
        const double z = Z.Valor;
        const double kT = triangular ? std::sqrt(2 * (z + 1 / Sm.Valor)) : 0;
        // Termos constantes da profundidade pela área (mesmas contas, na mesma ordem).
        const double somaParedes = triangular ? z + 1 / Sm.Valor : 0;
        const double b2 = FB * FB, quatroZ = 4 * z, doisZ = 2 * z;
        auto profundidade = [&](double area) {
            return triangular ? std::sqrt(2 * area / somaParedes)
                              : (std::sqrt(b2 + quatroZ * area) - FB) / doisZ;
        };
        const double profCritica = ProfundidadeCritica;
        const double gamaS = GamaS, duasTal = 2 * TalCritica;
        pontoflutuante::Verificar();

        const char sep = SeparadorDecimalLocal();
        long passo = 0;
        double X = 0;
        bool terminar = false;
        do {
            if (++passo > PASSOS_MAXIMOS)
                throw EMorvendo(
                    "O cálculo não terminou: o escoamento não cessa nas condições fornecidas.");
            const bool aposEntrada = t >= tFim;
            double q;
            if (!aposEntrada) {
                q = (hEstrada.Interpolar(t, dtEstrada) + hTalude.Interpolar(t, dtTalude)) / 1000;
                if (q > 0 && n > 0) {
                    Pant[0] = q * c3;
                    Aant[0] = std::pow(Pant[0], umSobreM);
                } else if (n > 0) {
                    Pant[0] = Aant[0] = 0;
                }
            } else {
                q = 0;
                if (n > 0) Pant[0] = Aant[0] = 0;
            }
            if (acomp && passo % 23 == 0) {
                // A interface pode sujar os sinalizadores de ponto flutuante; não são nossos.
                pontoflutuante::Verificar();
                acomp->MostrarTempoCanal(FormatFloat("0.0", t, sep));
                pontoflutuante::Limpar();
            }

            bool algumMolhado = false;
            if (n <= 1) {
                terminar = true;
            } else {
                // Depois do fim da entrada a água do canal infiltra no leito.
                const double w = aposEntrada ? chuva.IntensidadeInstantanea(t) - vibEstrada : 0;
                for (std::size_t i = 1; i < n; ++i) {
                    if (Anov[i - 1] + Aant[i] > aLim) {
                        X = q * c3 + (Aant[i - 1] - Anov[i - 1]) * c2 + Pnov[i - 1];
                        X = X > 0 ? std::pow(X, umSobreM) : 0;
                    } else {
                        X = q * dts + Aant[i] + (Pant[i - 1] - Pant[i]) * c1;
                    }
                    if (X <= 0) {
                        q = 0;
                    } else if (aposEntrada) {
                        const double largura =
                            triangular ? std::sqrt(X) * kT : 2 * z * profundidade(X) + FB;
                        q = largura * w / 3600000;
                        if (w < 0) X = X - std::pow(-q / alfa, umSobreM);
                    }
                    if (X < 0 && i == n - 1) terminar = true;
                    if (X > 0) {
                        Anov[i] = X;
                        const double p = std::pow(X, m);
                        Pnov[i] = p;
                        const double y = profundidade(X);
                        if (!dimensionamento && y >= profCritica) {
                            TAcumuloNo& ac = FAcumulos[i];
                            if (ac.TemLamina) ac.Soma += (ac.UltimaLamina + y) * gamaS - duasTal;
                            ac.UltimaLamina = y;
                            ac.TemLamina = true;
                        }
                        TSecaoCanal& no = FNos[i];
                        if (p > no.AmMax) {
                            no.AmMax = p;
                            no.LaminaPico = no.LaminaTensao = y;
                        }
                        algumMolhado = true;
                    } else {
                        Anov[i] = 0;
                        Pnov[i] = 0;
                    }
                }
            }
            if (X >= 0) {
                S.Adicionar(t, n > 0 ? alfa1000 * Pnov[n - 1] : 0);
                t += Dt;
                // Troca em vez de cópia: o nó 0 de Anov/Pnov nunca recebe valor.
                std::swap(Aant, Anov);
                std::swap(Pant, Pnov);
                if (n > 0) Anov[0] = Pnov[0] = 0;
            }
            if (aposEntrada && !algumMolhado) terminar = true;
            pontoflutuante::Verificar();
            if (acomp) {
                acomp->ProcessarEventos();
                pontoflutuante::Limpar();
            }
            if (Cancelado) break;
        } while (!terminar);
        S.Adicionar(t, 0);
        return !Cancelado;
    } catch (const std::exception&) {
        if (acomp) acomp->MostrarMensagem("Deu erro.");
        throw;
    }
}

bool TCanalEstrada::CalcularEspacamento(TPrecipitacao& chuva, const THidrograma& hEstrada,
                                        const THidrograma& hTalude, double vibEstrada,
                                        IAcompanhamento* acomp, double fatorErodibilidade) {
    std::unique_ptr<THidrograma> saida;
    if (!CalcularHidrogramaCanal(false, vibEstrada, hEstrada, hTalude, chuva, acomp, saida))
        return false;
    saida.reset();

    const int comp = FComprimento;
    Espacamento = 0;
    Secoes.clear();
    Secoes.reserve(std::size_t(comp));
    double perdaSalva = 0;
    {
        // Sem caminho, nenhuma tabela: os cálculos em lote rodam vários ao mesmo tempo.
        std::optional<TEscritorRelatorioTexto> tabela;
        if (!ArquivoRelatorio.empty()) tabela.emplace(ArquivoRelatorio);
        for (int s = 1; s <= comp; ++s) {
            TAcumuloNo& ac = FAcumulos[std::size_t(s - 1)];
            PerdaSolo = fatorErodibilidade * Erodibilidade * ac.Soma * Dt / 2;
            if (PerdaSolo <= PerdaToleravel) {
                Espacamento = int(Arredondar(s * Dx));
                perdaSalva = PerdaSolo;
            }
            const TSecaoCanal& no = FNos[std::size_t(s - 1)];
            Secoes.push_back({s, no.LaminaPico * 100, Alfa * 1000 * no.AmMax,
                              no.LaminaTensao * GamaS, PerdaSolo});
            const TLinhaRelatorioTexto& l = Secoes.back();
            if (tabela) tabela->EscreverSecao(l.Secao, l.Lamina, l.Vazao, l.Tensao, l.Perda);
            ac = TAcumuloNo{};
            if (acomp) {
                acomp->MostrarSecao(std::to_string(s));
                acomp->MostrarProgresso(int(Arredondar(double(s) / comp * 100)));
                acomp->ProcessarEventos();
            }
            if (Cancelado) break;
        }
        // Cancelado, a tabela incompleta é descartada e a anterior fica.
        if (tabela && !Cancelado) tabela->Fechar();
    }
    PerdaSolo = perdaSalva;

    const int k = Espacamento;
    if (k >= 1 && std::size_t(k) <= FNos.size()) {
        const TSecaoCanal& no = FNos[std::size_t(k - 1)];
        QMax = Alfa * 1000 * no.AmMax;
        TensaoMax = no.LaminaTensao * GamaS;
    } else {
        QMax = TensaoMax = 0;
    }
    Volume = (hEstrada.Volume + hTalude.Volume) * k / 1000;
    return !Cancelado;
}

bool TCanalEstrada::CalcularHidrogramaProjeto(TPrecipitacao& chuva, const THidrograma& hEstrada,
                                              const THidrograma& hTalude, IAcompanhamento* acomp,
                                              std::unique_ptr<THidrograma>& saida) {
    const double vib = Estrada.NumSecoes() > 0 ? Estrada.Secao(0).VIB() : 0;
    return CalcularHidrogramaCanal(true, vib, hEstrada, hTalude, chuva, acomp, saida);
}
