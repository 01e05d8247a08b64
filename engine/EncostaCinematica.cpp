// O escoamento num plano (o leito da estrada ou a área externa) pela onda cinemática: do
// excesso de chuva ao hidrograma por metro de largura que chega ao canal.
#include "engine/EncostaCinematica.h"

#include <cmath>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "engine/PontoFlutuante.h"
#include "engine/Precipitacao.h"
#include "engine/RaizNewton.h"
#include "engine/Unidades.h"

const char* const TEXTO_CONTATO =
    "Por favor, entre em contato com a equipe do Morvendo e relate as condições desta "
    "simulação: envie o arquivo do projeto (.mvd) e o texto desta mensagem ao suporte técnico "
    "do Morvendo.";

namespace {

const char* const MSG_COMPRIMENTO_V1 =
    "O Item do comprimento da encosta não pode ser menor ou igual a zero.";
const char* const MSG_COMPRIMENTO_V2 =
    "O Item do comprimento de um trecho da encosta não pode ser menor ou igual a zero.";
const char* const MSG_NAO_TERMINA =
    "O cálculo não terminou: o escoamento não cessa nas condições fornecidas.";
constexpr long PASSOS_MAXIMOS = 5000000;
// O tempo na tela e os eventos da interface a cada tantos passos: o relógio anda sem que a
// formatação do texto pese no laço.
constexpr long PASSOS_POR_ATUALIZACAO = 23;

// Potência em que base nula vale 0.
double Potencia(double base, double expoente) {
    return base == 0 ? 0 : std::pow(base, expoente);
}

double IntensidadeInicial(const TPrecipitacaoExponencialNegativa& chuva) {
    return chuva.K() * Potencia(chuva.Tr(), chuva.A()) / Potencia(chuva.B(), chuva.C());
}

// Pontos de um hidrograma que dura 'duracao' a passos 'dt', com um teto para não reservar
// memória demais quando a duração prevista é enorme.
std::size_t PontosPrevistos(double duracao, double dt) {
    const double n = duracao / dt + 8;
    return n < 1e6 ? std::size_t(n) : std::size_t(1000000);
}

// Passo de tempo do plano (min) pela taxa de infiltração estável (mm/h): quanto mais o solo
// infiltra, mais curto o passo. Até cada taxa, o seu passo; acima da última, 0,1 min.
struct TPassoPorInfiltracao {
    double AteVib; // mm/h
    double Passo;  // min
};
constexpr TPassoPorInfiltracao PASSOS_POR_INFILTRACAO[] = {
    {10, 0.35}, {30, 0.30}, {60, 0.25}, {90, 0.20}, {120, 0.15}};
constexpr double PASSO_INFILTRACAO_ALTA = 0.10;

double PassoDeTempo(double vib) {
    for (const TPassoPorInfiltracao& p : PASSOS_POR_INFILTRACAO)
        if (vib <= p.AteVib) return p.Passo;
    return PASSO_INFILTRACAO_ALTA;
}

} // namespace

TEncostaCinematica::TEncostaCinematica(const std::string& nome) : TTerreno(nome) {
    TEncostaCinematica::Limpar();
}

void TEncostaCinematica::Limpar() {
    TTerreno::Limpar();
    FComprimento = 0;
    Versao = "1";
}

void TEncostaCinematica::Comprimento(int v) {
    if (v < 0) throw EMorvendo(Versao == "1" ? MSG_COMPRIMENTO_V1 : MSG_COMPRIMENTO_V2);
    FComprimento = v;
}

bool TEncostaCinematica::Ler(TArquivoIni& ini) {
    if (!TTerreno::Ler(ini)) return false;
    const long c = ini.LerInteiro("Encosta" + FNome, "Comprimento", 0);
    if (c < 0) return false;
    FComprimento = c < 1 ? 0 : int(c);
    return true;
}

bool TEncostaCinematica::Gravar(TArquivoIni& ini) {
    if (!TTerreno::Gravar(ini)) return false;
    const std::string secao = "Encosta" + FNome;
    ini.EscreverTexto(secao, "Versao", Versao);
    ini.EscreverInteiro(secao, "Comprimento", FComprimento);
    return true;
}

int NumeroDeCelulas(const TEncostaCinematica& plano) {
    const int l = plano.Comprimento();
    if (l <= 50) return 100;
    return int(Arredondar(l / 0.5));
}

double TempoFinalEscoamento(TPrecipitacaoExponencialNegativa& chuva, const std::string& versao,
                            double vib) {
    const double i0 = IntensidadeInicial(chuva);
    if (i0 > vib) {
        const double b = chuva.B(), c = chuva.C();
        TOpcoesNewton o;
        o.Tolerancia = 1e-10;
        o.ParaNaTolerancia = true;
        o.Piso = 0;
        const TRaizNewton r = RaizNewton(1, o, [&](double t) {
            const double residuo = chuva.IntensidadeInstantanea(t) - vib;
            const double derivada =
                (chuva.IntensidadeMedia(t) * b / (t + b) + chuva.IntensidadeInstantanea(t)) *
                (-c / (t + b));
            return residuo / derivada;
        });
        if (r.Convergiu) return r.Valor;
        // Com c > 1 a intensidade instantânea zera em t = b/(c − 1) e fica negativa depois: com
        // b pequeno esse ponto vem antes de 1 min, de onde Newton parte, e a busca se perde
        // fora dele. A intensidade só cai de 0 até lá (ou até dez dias com c ≤ 1), então a
        // raiz fica cercada e a bissecção a acha.
        const double fim = c > 1 ? b / (c - 1) : CHUVA_SEM_FIM_MIN;
        // Com c pequeno a intensidade cai devagar demais: passados dez dias a chuva ainda
        // vence a infiltração, e o problema é a equação, não o método.
        if (c <= 1 && chuva.IntensidadeInstantanea(fim) > vib)
            throw ENumerico("a chuva da equação IDF ainda passa da taxa de infiltração "
                            "estável de " +
                            FormatFloat("0.0#", vib, SeparadorDecimalLocal()) +
                            " mm/h depois de dez dias: com c = " +
                            FormatFloat("0.0##", c, SeparadorDecimalLocal()) +
                            " a intensidade cai devagar demais; confira o parâmetro c da "
                            "equação IDF");
        return RaizCercada(0, fim, [&](double t) { return chuva.IntensidadeInstantanea(t) > vib; });
    }
    if (versao == "1")
        throw EMorvendo("Para as condições especificadas, não há ocorrência de escoamento.");
    return 0;
}

std::unique_ptr<THidrograma> CalcularHidrograma(TEncostaCinematica& plano, int numCelulas,
                                                TPrecipitacaoExponencialNegativa& chuva,
                                                const TMostrarTempo& mostrarTempo,
                                                IAcompanhamento* acomp, TBalancoEncosta* balanco) {
    TOcupado ocupado(acomp);
    if (balanco) *balanco = TBalancoEncosta{};
    auto resultado = std::make_unique<THidrograma>();
    const double vib = plano.VIB();
    const bool versao1 = plano.Versao == "1";
    // Os textos vão à interface, no separador dela.
    const char sep = acomp ? acomp->SeparadorDecimal() : '.';
    auto informar = [&](const std::string& texto) {
        if (acomp) acomp->MostrarMensagem(texto);
    };

    if (versao1 && IntensidadeInicial(chuva) < vib) {
        informar("Com a taxa de infiltração estável de " + FormatFloat("0.0#", vib, sep) +
                 " mm/h e as condições fornecidas não existe escoamento, pois a taxa de "
                 "infiltração estável é maior do que a intensidade instantânea de precipitação.");
        return resultado;
    }
    const double tFim = TempoFinalEscoamento(chuva, plano.Versao, vib);
    const double tIa = TempoAbstracaoInicial(plano, chuva);
    if (versao1 && tIa > tFim) {
        informar("Com a taxa de infiltração estável de " + FormatFloat("0.0#", vib, sep) +
                 " mm/h e as condições fornecidas não existe escoamento, pois o tempo para "
                 "preenchimento das abstrações iniciais é maior do que o tempo final do "
                 "escoamento.");
        return resultado;
    }

    const int L = plano.Comprimento();
    if (L < 1 || numCelulas < 1) throw EMorvendo(versao1 ? MSG_COMPRIMENTO_V1 : MSG_COMPRIMENTO_V2);
    double dx = L / 100.0;
    if (dx > 0.5) dx = 0.5;
    const int N = numCelulas;
    const double dt = PassoDeTempo(vib);
    const double dts = SEGUNDOS_POR_MINUTO * dt;

    if (acomp) acomp->ProcessarEventos();

    // Volume de excesso de chuva de uma célula.
    double v1;
    {
        THidrograma celula;
        if (tFim > tIa) celula.Pontos.reserve(PontosPrevistos(tFim - tIa, dt));
        double t = tIa;
        celula.Adicionar(t, 0);
        double q;
        long passos = 0;
        do {
            t = t + dt;
            q = (chuva.IntensidadeInstantanea(t) - vib) * dx / SEGUNDOS_POR_HORA;
            celula.Adicionar(t, q > 0 ? q : 0);
            if (++passos > PASSOS_MAXIMOS) throw EMorvendo(MSG_NAO_TERMINA);
        } while (q > 0);
        v1 = celula.IntegrarVolume();
    }

    bool naoTermina = false;
    THidrograma& R = *resultado;
    // Balanço em metros de lâmina × metros de plano; vira litros por metro no fim.
    TBalancoEncosta b;
    b.AbstracaoInicial = chuva.Lamina(tIa) / MM_POR_M * (N * dx);
    b.Chuva = b.AbstracaoInicial;
    try {
        pontoflutuante::Limpar();
        const double alfa = std::sqrt(plano.St()) / plano.nt.Valor;
        const double milAlfa = LITROS_POR_M3 * alfa;
        const double cincoTercos = EXPOENTE_MANNING_PLANO;
        std::vector<double> hOld(N, 0.0), QOld(N, 0.0), hNew(N, 0.0), QNew(N, 0.0);

        // Um ponto por passo até o fim do escoamento: reservado antes do laço.
        if (tFim > tIa) R.Pontos.reserve(PontosPrevistos(tFim - tIa, dt));
        R.Adicionar(tIa, 0);
        double t = tIa + dt;
        double intensidade = chuva.IntensidadeInstantanea(t);
        auto montante = [&](double q0) {
            if (q0 > 0) {
                QNew[0] = q0 / (LITROS_POR_M3 * alfa);
                hNew[0] = std::pow(QNew[0], INVERSO_EXPOENTE_MANNING_PLANO);
            } else {
                QNew[0] = 0;
                hNew[0] = 0;
            }
        };
        double q0 = (intensidade - vib) * dx / SEGUNDOS_POR_HORA;
        montante(q0);
        const double r = alfa * dts / dx;
        const double rInv = dx / (alfa * dts);
        const double hc = std::pow(cincoTercos * r, -1.5);
        pontoflutuante::Verificar();

        bool parar = q0 < 0;
        long passos = 0;
        while (!parar) {
            ++passos;
            if (passos > PASSOS_MAXIMOS) {
                naoTermina = true;
                break;
            }
            if (mostrarTempo && passos % PASSOS_POR_ATUALIZACAO == 0) {
                // A interface pode sujar os sinalizadores de ponto flutuante; não são nossos.
                pontoflutuante::Verificar();
                mostrarTempo(FormatFloat("0.0", t, sep));
                if (acomp) acomp->ProcessarEventos();
                pontoflutuante::Limpar();
            }
            const double ie = (intensidade - vib) / MM_H_POR_M_S;
            const double ieDts = ie * dts;
            const double ieDxAlfa = ie * dx / alfa;
            // Cada célula recebe a chuva e infiltra até a taxa estável; a célula de montante,
            // seca quando a chuva não vence a infiltração, infiltra só a chuva.
            const double chuvaPasso = intensidade / MM_H_POR_M_S * dts;
            const double infiltracaoPasso = vib / MM_H_POR_M_S * dts;
            b.Chuva += chuvaPasso * (N * dx);
            b.Infiltracao += (ie >= 0 ? infiltracaoPasso : chuvaPasso) * dx;
            double x = 0;
            for (int j = 1; j < N; ++j) {
                double infiltrada = infiltracaoPasso;
                if (hNew[j - 1] + hOld[j] > hc) {
                    x = (hOld[j - 1] - hNew[j - 1]) * rInv + ieDxAlfa + QNew[j - 1];
                    x = x > 0 ? std::pow(x, INVERSO_EXPOENTE_MANNING_PLANO) : 0;
                } else {
                    x = hOld[j] + ieDts + (QOld[j - 1] - QOld[j]) * r;
                    // A água que faltou na célula não infiltrou.
                    if (x < 0) infiltrada = infiltrada + x > 0 ? infiltrada + x : 0;
                }
                b.Infiltracao += infiltrada * dx;
                if (x > 0) {
                    hNew[j] = x;
                    QNew[j] = std::pow(x, cincoTercos);
                } else {
                    hNew[j] = 0;
                    QNew[j] = 0;
                }
            }
            // O último ponto seco encerra o plano só depois do fim do excesso: antes disso a
            // onda ainda chega (planos rugosos, longos ou planos oscilam ali).
            if (x <= 0 && (versao1 || (R.NumPontos() > 1 && intensidade <= vib))) parar = true;
            t = t + dt;
            if (x > 0) {
                R.Adicionar(t - dt, milAlfa * QNew[N - 1]);
                b.Escoamento += alfa * QNew[N - 1] * dts;
            }

            std::swap(hOld, hNew);
            std::swap(QOld, QNew);
            std::fill(hNew.begin() + 1, hNew.end(), 0.0);
            std::fill(QNew.begin() + 1, QNew.end(), 0.0);
            intensidade = chuva.IntensidadeInstantanea(t);
            q0 = (intensidade - vib) * dx / SEGUNDOS_POR_HORA;
            montante(q0);
            pontoflutuante::Verificar();
        }
        for (int j = 1; j < N; ++j)
            b.Armazenado += hOld[j] * dx;
        if (!naoTermina) {
            const TPontoHidrograma ultimo = R.Pontos.back();
            if (ultimo.Vazao != 0) R.Adicionar(ultimo.Tempo + dt, 0);
        }
    } catch (const std::exception&) {
        throw EMorvendo(std::string("Ocorreu um erro quando calculando o hidrograma na "
                                    "encosta.\n") +
                        TEXTO_CONTATO);
    }
    if (naoTermina) throw EMorvendo(MSG_NAO_TERMINA);
    if (balanco) {
        for (double* v :
             {&b.Chuva, &b.AbstracaoInicial, &b.Infiltracao, &b.Escoamento, &b.Armazenado})
            *v *= 1000;
        *balanco = b;
    }

    if (R.NumPontos() <= 2) {
        R.Limpar();
        return resultado;
    }
    R.CorrigirRecessao();
    R.Alfa = std::sqrt(plano.St()) / plano.nt.Valor;
    R.Expoente = 5.0 / 3.0;
    R.Local = THidrograma::LocalEncosta;
    R.Analisar(1.0);
    const double volumeExcesso = N * v1;
    if (R.Volume > volumeExcesso) R.Volume = volumeExcesso;
    // A lâmina escoada fica no resultado; o plano não muda com o cálculo.
    R.VolumeUnitario = R.Volume / (N * dx * LITROS_POR_M3);
    return resultado;
}

void TPlanosEncosta::Limpar() {
    Planos.clear();
}

std::uint8_t TPlanosEncosta::DefinirNumPlanos(std::uint8_t n) {
    while (Planos.size() > n)
        Planos.pop_back();
    while (Planos.size() < n) {
        auto plano = std::make_unique<TEncostaCinematica>(Nome);
        plano->Versao = "2";
        Planos.push_back(std::move(plano));
    }
    return n;
}

namespace {

// Dá ao plano o nome do trecho enquanto ele é lido ou gravado; devolve o nome no fim.
class TNomeTrecho {
public:
    TNomeTrecho(TEncostaCinematica& plano, const std::string& nomeLista, std::size_t i)
        : FPlano(plano), FAnterior(plano.Nome()) {
        plano.DefinirNome(nomeLista + ": Trecho " + std::to_string(i + 1));
    }
    ~TNomeTrecho() { FPlano.DefinirNome(FAnterior); }
    TNomeTrecho(const TNomeTrecho&) = delete;
    TNomeTrecho& operator=(const TNomeTrecho&) = delete;

private:
    TEncostaCinematica& FPlano;
    std::string FAnterior;
};

std::string NomeSemPasta(const std::string& caminho) {
    const auto p = caminho.find_last_of('/');
    return p == std::string::npos ? caminho : caminho.substr(p + 1);
}

} // namespace

// O leito e a área externa como a página de dados os chama.
std::string TPlanosEncosta::RotuloEncosta(const std::string& nome) {
    return nome == "_Estrada" ? "Leito da estrada" : "Área externa";
}

void TPlanosEncosta::VerificarComprimentoLido(const TEncostaCinematica& plano) const {
    if (plano.Comprimento() <= COMPRIMENTO_MAXIMO_PLANO) return;
    ValorForaDaFaixaNoArquivo(RotuloEncosta(Nome) +
                                  (Nome == "_Estrada" ? ", Semilargura" : ", Comprimento"),
                              plano.Comprimento(), "de 1 a 10000 m");
}

bool TPlanosEncosta::Ler(TArquivoIni& ini) {
    const std::string secao = "Encosta" + Nome;
    const std::string versao = ini.LerTexto(secao, "Versao", "0");
    if (versao == "1") {
        Limpar();
        DefinirNumPlanos(1);
        TEncostaCinematica& p = *Planos[0];
        p.Versao = "1";
        p.Cobertura.Ler(ini);
        p.Comprimento(int(ini.LerInteiro(secao, "Comprimento", 0)));
        const std::string terreno = "Terreno" + Nome;
        p.VIB(ini.LerReal(terreno, "VIB", 0));
        p.St(ini.LerReal(terreno, "St", 0));
        p.nt.Valor = ini.LerReal(terreno, "nt", 0);
        p.nt.Indice = std::int8_t(ini.LerInteiro(terreno, "Indnt", 0));
        VerificarComprimentoLido(p);
        return true;
    }
    if (versao == "2") {
        Limpar();
        // Guardado em 8 bits: 257 viraria 1 em silêncio.
        const long n = ini.LerInteiro(secao, "Count", 0);
        if (n < 0 || n > TRECHOS_MAXIMOS_ENCOSTA)
            ValorForaDaFaixaNoArquivo(RotuloEncosta(Nome) + ", número de trechos", n, "de 0 a 255");
        DefinirNumPlanos(std::uint8_t(n));
        for (std::size_t i = 0; i < Planos.size(); ++i) {
            bool ok;
            {
                TNomeTrecho nome(*Planos[i], Nome, i);
                ok = Planos[i]->Ler(ini);
            }
            if (!ok) {
                Limpar();
                throw EMorvendo("Ocorreu um erro ao tentar ler os dados da encosta de número " +
                                std::to_string(i + 1) + " no arquivo " + ini.Caminho());
            }
            VerificarComprimentoLido(*Planos[i]);
        }
        return true;
    }
    throw EMorvendo("O arquivo " + NomeSemPasta(ini.Caminho()) + " não é uma versão compatível.");
}

bool TPlanosEncosta::Gravar(TArquivoIni& ini) {
    try {
        const std::string secao = "Encosta" + Nome;
        ini.EscreverTexto(secao, "Versao", "2");
        ini.EscreverInteiro(secao, "Count", NumPlanos());
        for (std::size_t i = 0; i < Planos.size(); ++i) {
            Planos[i]->Versao = "2";
            TNomeTrecho nome(*Planos[i], Nome, i);
            if (!Planos[i]->Gravar(ini)) return false;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
