#include "project/Avisos.h"

#include <functional>

#include <algorithm>

#include "comum/Numeros.h"
#include "idf/VerificacaoIdf.h"
#include "project/BalancoHidricoTexto.h"
#include "project/ResumoResultado.h"

std::vector<TFaixaAcimaDaToleravel>
FaixasAcimaDaToleravel(const std::vector<TLinhaRelatorioTexto>& secoes, double perdaToleravel,
                       int espacamento) {
    std::vector<TFaixaAcimaDaToleravel> faixas;
    bool aberta = false;
    for (const TLinhaRelatorioTexto& l : secoes) {
        if (l.Secao > espacamento) break;
        if (l.Perda <= perdaToleravel) {
            aberta = false;
            continue;
        }
        if (!aberta) faixas.push_back({l.Secao, l.Secao, l.Secao, l.Perda});
        aberta = true;
        TFaixaAcimaDaToleravel& f = faixas.back();
        f.Fim = l.Secao;
        if (l.Perda > f.PerdaMaxima) {
            f.PerdaMaxima = l.Perda;
            f.SecaoMaxima = l.Secao;
        }
    }
    return faixas;
}

std::string AvisoPerdaAcimaDaToleravel(const std::vector<TFaixaAcimaDaToleravel>& faixas,
                                       double perdaToleravel, char sep) {
    if (faixas.empty()) return "";
    std::string onde;
    double maxima = 0;
    int secaoMaxima = 0;
    for (std::size_t i = 0; i < faixas.size(); ++i) {
        const TFaixaAcimaDaToleravel& f = faixas[i];
        if (i > 0) onde += i + 1 == faixas.size() ? " e " : ", ";
        onde += f.Inicio == f.Fim
                    ? std::to_string(f.Inicio) + " m"
                    : "de " + std::to_string(f.Inicio) + " a " + std::to_string(f.Fim) + " m";
        if (f.PerdaMaxima > maxima) {
            maxima = f.PerdaMaxima;
            secaoMaxima = f.SecaoMaxima;
        }
    }
    const double excesso = maxima - perdaToleravel;
    return "Dentro do espaçamento, a perda de solo excede a perda tolerável na" +
           std::string(faixas.size() == 1 && faixas[0].Inicio == faixas[0].Fim ? " seção "
                                                                               : "s seções ") +
           onde + ", em até " + FormatFloat("0.0####", excesso, sep) + " g/cm² (" +
           FormatFloat("0.0", 100 * excesso / perdaToleravel, sep) + " %) na seção " +
           std::to_string(secaoMaxima) +
           " m. O espaçamento é a seção mais distante que passa; adote um espaçamento que deixe "
           "essas seções de fora ou reveja o canal.";
}

namespace {

// Faixa típica de um dado nas unidades dos limites da tabela de campos (m/m, mm/h e
// g/(cm²·min·Pa)).
struct TFaixaTipica {
    TCampo Campo;
    double Minimo, Maximo;
};

// Quantas vezes fora da faixa um valor precisa estar para o aviso.
constexpr double FATOR_FORA_DA_FAIXA_TIPICA = 3;

// Das tabelas de valores típicos da ajuda. Onde a ajuda diz "menos de" ou "mais de", o número
// dela é o limite: o fator de folga já cobre o que passa um pouco dele.
constexpr TFaixaTipica FAIXAS_TIPICAS[] = {
    {CAMPO_K, 1000, 6000},
    {CAMPO_A, 0.09, 0.20},
    {CAMPO_B, 10, 40},
    {CAMPO_C, 0.7, 1.1},
    {CAMPO_VIB_ESTRADA, 1.3, 3.8},
    {CAMPO_RUG_ESTRADA, 0.011, 0.05},
    {CAMPO_VIB_TALUDE, 5, 30},
    {CAMPO_RUG_TALUDE, 0.01, 0.80},
    {CAMPO_SC_CANAL, 0.01, 0.10},
    {CAMPO_RUG_CANAL, 0.016, 0.040},
    {CAMPO_TENSAO_CRITICA, 1, 7},
    // 0,002 a 0,05 s/m.
    {CAMPO_ERODIBILIDADE, 0.012, 0.3},
    {CAMPO_DENSIDADE, 1.1, 1.8},
};

bool Escoa(const THidrograma& h) {
    return std::any_of(h.Pontos.begin(), h.Pontos.end(),
                       [](const TPontoHidrograma& p) { return p.Vazao > 0; });
}

} // namespace

std::vector<std::string> AvisosForaDaFaixaTipica(const TProjeto& p, char sep) {
    std::vector<std::string> avisos;
    const TEscolhaUnidades& u = p.Unidades;
    for (const TFaixaTipica& f : FAIXAS_TIPICAS) {
        const TCampoProjeto& c = *CampoProjeto(f.Campo);
        if (!CampoAplicavel(f.Campo, p)) continue;
        // A faixa passa pela mesma conversão que os limites do campo, para sair na unidade
        // da tela: um valor digitado na unidade errada aparece ao lado da faixa certa.
        TCampoProjeto faixa = c;
        faixa.Minimo = f.Minimo;
        faixa.Maximo = f.Maximo;
        const double minimo = MinimoMostrado(faixa, u), maximo = MaximoMostrado(faixa, u);
        const double v = ValorMostrado(c, p, u);
        const bool abaixo = v < minimo / FATOR_FORA_DA_FAIXA_TIPICA;
        if (!abaixo && !(v > maximo * FATOR_FORA_DA_FAIXA_TIPICA)) continue;
        const std::string unidade = UnidadeMostrada(c, u);
        const std::string comUnidade = unidade.empty() ? "" : " " + unidade;
        avisos.push_back(std::string(RotuloNaTela(c, p)) + " (" + c.Grupo +
                         ") = " + FloatToStr(v, sep) + comUnidade + " está muito " +
                         (abaixo ? "abaixo" : "acima") + " da faixa típica (" +
                         FloatToStr(minimo, sep) + " a " + FloatToStr(maximo, sep) + comUnidade +
                         "): confira o valor" + (unidade.empty() ? "." : " e a unidade."));
    }
    return avisos;
}

std::string AvisoSemEscoamento(const TProjeto& p, const TResultadoCalculo& r) {
    if (Escoa(r.HidrogramaEstrada) || Escoa(r.HidrogramaTalude)) return "";
    const bool externa = p.Estrada.IndSecao != 3;
    return "Nenhum escoamento chega ao canal: a chuva da equação IDF, com os valores digitados, "
           "nunca passa da infiltração e da abstração inicial do leito da estrada" +
           std::string(externa ? " nem da área externa" : "") +
           ". Confira K, a, b e c e as taxas de infiltração estável.";
}

std::string AvisoEspacamentoNoComprimento(const TResultadoEspacamento& r) {
    if (r.Secoes.empty() || r.Espacamento < r.Secoes.back().Secao) return "";
    return "O espaçamento calculado é o próprio comprimento do canal (" +
           std::to_string(r.Secoes.back().Secao) +
           " m): quem o limita é o comprimento digitado, não a erosão. Aumente o comprimento do "
           "canal e calcule de novo para conhecer o espaçamento.";
}

std::vector<double> DuracoesChuvaDoProjeto(const TProjeto& p, double K, double a, double b,
                                           double c) {
    const TCanalEstrada& e = p.Estrada;
    std::vector<double> infiltracoes;
    if (e.Leito.NumPlanos() > 0) infiltracoes.push_back(e.Leito.Plano(0).VIB());
    // Sem área externa (seção 3) o talude guardado no arquivo não recebe chuva de projeto.
    if (e.IndSecao != 3 && e.AreaExterna.NumPlanos() > 0)
        infiltracoes.push_back(e.AreaExterna.Plano(0).VIB());
    return DuracoesChuvaProjeto(K, a, b, c, PeriodoRetornoEspacamento(e), infiltracoes);
}

namespace {

// "O período de retorno de 100 anos (dimensionamento da bacia) fica" (ou "ficam", com o do
// espaçamento) para os períodos de retorno do projeto que cumprem a condição; vazio sem nenhum.
template <class F>
std::string PeriodosRetornoQue(const TProjeto& p, F condicao, char sep, const char* verbo) {
    const TCanalEstrada& e = p.Estrada;
    std::vector<std::string> trs;
    const double esp = PeriodoRetornoEspacamento(e);
    if (condicao(esp)) trs.push_back(FormatFloat("0.##", esp, sep) + " anos (espaçamento)");
    if (e.Bacia.CalcularVolume && condicao(e.TrDim))
        trs.push_back(FormatFloat("0.##", e.TrDim, sep) + " anos (dimensionamento da bacia)");
    if (trs.empty()) return "";
    return "O período de retorno de " + trs[0] + (trs.size() > 1 ? " e o de " + trs[1] : "") + " " +
           verbo + (trs.size() > 1 ? "m" : "");
}

} // namespace

std::string AvisoPeriodoRetornoForaDaFaixa(const TProjeto& p, const TInfoEstacaoIdf& estacao,
                                           char sep) {
    const std::string trs = PeriodosRetornoQue(
        p, [&](double tr) { return TrForaDaFaixa(estacao, tr); }, sep, "fica");
    if (trs.empty()) return "";
    return trs + " fora da faixa em que a equação desta estação vale (" + TextoFaixaTr(estacao) +
           "): fora dela a intensidade é extrapolada.";
}

std::string AvisoPeriodoRetornoAlemDaSerie(const TProjeto& p, const TInfoEstacaoIdf& estacao,
                                           char sep) {
    if (estacao.AnosSerie <= 0) return "";
    const std::string trs = PeriodosRetornoQue(
        p, [&](double tr) { return tr > 2.0 * estacao.AnosSerie; }, sep, "passa");
    if (trs.empty()) return "";
    return trs + " do dobro dos " + std::to_string(estacao.AnosSerie) +
           " anos da série de chuvas diárias de que a equação desta estação foi ajustada: a "
           "chuva de projeto é extrapolação da distribuição de Gumbel.";
}

std::string AvisoInterpolacaoPertoDoRaio(const TProjeto& p, char sep) {
    // A partir daqui a estação mais próxima já pesa pouco como chuva do lugar.
    constexpr double FRACAO_DO_RAIO = 0.75;
    const TOrigemChuva& o = p.OrigemChuva;
    const TPrecipitacaoExponencialNegativa& chuva = p.ChuvaDeProjeto.Precipitacao();
    if (o.Tipo != TTipoOrigemChuva::Interpolacao || !(o.RaioKm > 0) ||
        !OrigemValePara(o, chuva.K(), chuva.A(), chuva.B(), chuva.C()) ||
        o.DistanciaMinimaKm <= FRACAO_DO_RAIO * o.RaioKm)
        return "";
    return "A equação de chuva foi interpolada de estações distantes: a mais próxima fica a " +
           FormatFloat("0", o.DistanciaMinimaKm, sep) + " km do ponto, perto do raio de " +
           FormatFloat("0", o.RaioKm, sep) +
           " km da interpolação. Prefira a equação de uma estação do lugar ou uma sua (Minhas "
           "estações).";
}

std::string AvisoDuracaoForaDaFaixa(const TProjeto& p, const TInfoEstacaoIdf& estacao) {
    const TPrecipitacaoExponencialNegativa& chuva = p.ChuvaDeProjeto.Precipitacao();
    return AvisoFaixaDuracoes(
        estacao, DuracoesChuvaDoProjeto(p, chuva.K(), chuva.A(), chuva.B(), chuva.C()));
}

std::string AvisoCurvaDescargaOriginal(const TProjeto& p, const TResultadoCalculo& r) {
    if (!r.CurvaDescargaOriginal || p.Estrada.TipoCanal.Valor != CANAL_TRAPEZOIDAL) return "";
    return "O canal trapezoidal foi calculado com a curva de descarga original, ajustada em "
           "lâminas de 0,2 a 5 m: nas lâminas de canal de estrada ela superestima a vazão, e o "
           "espaçamento sai mais longo que o real. Use-a só para reproduzir projetos feitos com "
           "ela.";
}

const char* TextoGravidade(TGravidadeAviso g) {
    return g == TGravidadeAviso::Grave ? "grave" : "atencao";
}

namespace {

using TJuntarAviso = std::function<void(const char*, TGravidadeAviso, std::string)>;

// Os avisos dos dados e da chuva, que não dependem do canal calculado.
void AvisosDaChuvaEDasFaixas(const TProjeto& p, char sep, const TJuntarAviso& juntar) {
    using enum TGravidadeAviso;
    for (std::string& a : AvisosForaDaFaixaTipica(p, sep))
        juntar("fora_da_faixa_tipica", Atencao, std::move(a));
    // A estação cuja equação está em uso (a consulta copia os parâmetros dela), procurada uma
    // vez: a busca relê o arquivo das estações do usuário.
    const TPrecipitacaoExponencialNegativa& chuva = p.ChuvaDeProjeto.Precipitacao();
    if (const TInfoEstacaoIdf* estacao =
            ProcurarInfoEstacao("", chuva.K(), chuva.A(), chuva.B(), chuva.C())) {
        juntar("duracao_fora_da_faixa", Atencao, AvisoDuracaoForaDaFaixa(p, *estacao));
        juntar("periodo_retorno_fora_da_faixa", Atencao,
               AvisoPeriodoRetornoForaDaFaixa(p, *estacao, sep));
        juntar("periodo_retorno_alem_da_serie", Atencao,
               AvisoPeriodoRetornoAlemDaSerie(p, *estacao, sep));
    }
    juntar("interpolacao_perto_do_raio", Atencao, AvisoInterpolacaoPertoDoRaio(p, sep));
}

// As chaves que o arquivo não tinha e a curva de descarga antiga do trapézio.
void AvisosDaCurvaEDosPadroes(const TProjeto& p, const TResultadoCalculo& r,
                              const TJuntarAviso& juntar) {
    using enum TGravidadeAviso;
    for (const TPadraoAplicado& d : p.PadroesAplicados) {
        // A curva só vale no canal trapezoidal, e a opção da linha de comando a escolhe.
        if (d.Chave == "CurvaDescargaOriginal" &&
            (r.CurvaDescargaOriginal || p.Estrada.TipoCanal.Valor != CANAL_TRAPEZOIDAL))
            continue;
        juntar("padrao_aplicado", Atencao, TextoPadraoAplicado(d));
    }
    juntar("curva_descarga_original", Atencao, AvisoCurvaDescargaOriginal(p, r));
}

} // namespace

std::vector<TAviso> AvisosDosDados(const TProjeto& p, char sep) {
    std::vector<TAviso> avisos;
    auto juntar = [&](const char* id, TGravidadeAviso g, std::string texto) {
        if (!texto.empty()) avisos.push_back({id, g, std::move(texto)});
    };
    AvisosDaChuvaEDasFaixas(p, sep, juntar);
    TResultadoCalculo r;
    r.CurvaDescargaOriginal =
        p.Estrada.TipoCanal.Valor == CANAL_TRAPEZOIDAL && p.Estrada.CurvaDescargaOriginal;
    AvisosDaCurvaEDosPadroes(p, r, juntar);
    return avisos;
}

std::vector<TAviso> AvisosDoResultado(const TProjeto& p, const TResultadoCalculo& r, char sep) {
    using enum TGravidadeAviso;
    const TResultadoEspacamento& c = r.Canal;
    std::vector<TAviso> avisos;
    auto juntar = [&](const char* id, TGravidadeAviso g, std::string texto) {
        if (!texto.empty()) avisos.push_back({id, g, std::move(texto)});
    };
    // O resultado principal, quando não há espaçamento: antes de qualquer outro aviso.
    if (c.NenhumEspacamento) juntar("nenhum_espacamento", Grave, TEXTO_NENHUM_ESPACAMENTO);
    const std::string semEscoamento = AvisoSemEscoamento(p, r);
    juntar("sem_escoamento", Grave, semEscoamento);
    AvisosDaChuvaEDasFaixas(p, sep, juntar);
    juntar("perda_acima_da_toleravel", Atencao,
           AvisoPerdaAcimaDaToleravel(
               FaixasAcimaDaToleravel(c.Secoes, c.PerdaToleravel, c.Espacamento), c.PerdaToleravel,
               sep));
    // Sem escoamento, um canal mais comprido também não erode: o aviso seria enganoso.
    if (semEscoamento.empty())
        juntar("espacamento_no_comprimento", Atencao, AvisoEspacamentoNoComprimento(c));
    AvisosDaCurvaEDosPadroes(p, r, juntar);
    for (std::string& a : AvisosBalanco(p, r, sep))
        juntar("balanco_hidrico", Grave, std::move(a));
    return avisos;
}

std::vector<std::string> TextosAvisos(const std::vector<TAviso>& avisos) {
    std::vector<std::string> textos;
    for (const TAviso& a : avisos)
        textos.push_back(a.Texto);
    return textos;
}
