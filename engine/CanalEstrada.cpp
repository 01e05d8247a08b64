// O canal da estrada: os seus dados no arquivo do projeto e as chamadas do motor (espaçamento,
// hidrograma de projeto da bacia, canal em peças de declividade própria).
#include "engine/CanalEstrada.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "engine/PontoFlutuante.h"
#include "engine/Unidades.h"

namespace {

bool ContemTrecho(std::string nome) {
    for (char& c : nome)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return nome.find("TRECHO") != std::string::npos;
}

std::string NomeSub(const std::string& nome, const char* sufixo) {
    return ContemTrecho(nome) ? nome + sufixo : std::string(sufixo);
}

// Confere as peças de um canal e devolve o seu comprimento.
int ComprimentoDasPecas(const std::vector<TPecaCanal>& pecas, char sep) {
    if (pecas.empty()) throw EMorvendo("O canal não tem peças: não há o que calcular.");
    long long total = 0;
    for (std::size_t k = 0; k < pecas.size(); ++k) {
        const TPecaCanal& p = pecas[k];
        const std::string peca = "A peça " + std::to_string(k + 1) + " do canal";
        if (p.Comprimento < 1)
            throw EMorvendo(peca + " tem " + std::to_string(p.Comprimento) +
                            " m: cada peça tem ao menos 1 m.");
        // A faixa do campo da declividade do canal.
        const char* const faixa = ": a declividade deve ser maior que 0 e no máximo 1 m/m.";
        if (!std::isfinite(p.Declividade))
            throw EMorvendo(peca + " tem declividade indefinida ou infinita" + faixa);
        if (!(p.Declividade > 0 && p.Declividade <= 1))
            throw EMorvendo(peca + " tem declividade " + FloatToStr(p.Declividade, sep) + " m/m" +
                            faixa);
        total += p.Comprimento;
        if (total > COMPRIMENTO_MAXIMO_CANAL)
            throw EMorvendo("O canal das peças passa do limite de " +
                            std::to_string(COMPRIMENTO_MAXIMO_CANAL) + " m de comprimento.");
    }
    return int(total);
}

} // namespace

void FixarCoberturaLeito(TEncostaCinematica& plano) {
    plano.Cobertura.UsoTerra.Indice = 0;
    plano.Cobertura.CondicaoHidrologica.Indice = 0;
    plano.Cobertura.Tratamento.Indice = 1;
}

TCanalEstrada::TCanalEstrada(const std::string& nome)
    : TCanalGradiente(nome), Leito(NomeSub(nome, "_Estrada")),
      AreaExterna(NomeSub(nome, "_Talude")), Bacia(ContemTrecho(nome) ? nome : std::string()) {
    FixarCoberturaEstrada();
    TCanalEstrada::Limpar();
}

void TCanalEstrada::FixarCoberturaEstrada() {
    Leito.DefinirNumPlanos(1);
    FixarCoberturaLeito(Leito.Plano(0));
}

void TCanalEstrada::Limpar() {
    AreaExterna.Limpar();
    Leito.Limpar();
    FixarCoberturaEstrada();
    Bacia.Limpar();
    CurvaDescargaOriginal = false;
    TCanalGradiente::Limpar();
}

bool TCanalEstrada::Ler(TArquivoIni& ini) {
    if (!TCanalGradiente::Ler(ini)) return false;
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
    // Ausente nos arquivos de antes da opção: a curva exata. Um valor ilegível não escolhe
    // por ninguém a curva do projeto.
    CurvaDescargaOriginal = false;
    if (ini.ExisteChave(secao, "CurvaDescargaOriginal")) {
        const std::string v = ini.LerTexto(secao, "CurvaDescargaOriginal", "");
        if (v != "0" && v != "1")
            throw EMorvendo("O valor \"" + v + "\" da chave CurvaDescargaOriginal da seção [" +
                            secao + "] não é 0 nem 1: o arquivo está danificado.");
        CurvaDescargaOriginal = v == "1";
    }
    if (!Leito.Ler(ini)) return false;
    if (!AreaExterna.Ler(ini)) return false;
    return Bacia.Ler(ini);
}

bool TCanalEstrada::Gravar(TArquivoIni& ini) {
    if (!TCanalGradiente::Gravar(ini)) return false;
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
    ini.EscreverLogico(secao, "CurvaDescargaOriginal", CurvaDescargaOriginal);
    if (!AreaExterna.Gravar(ini)) return false;
    if (!Leito.Gravar(ini)) return false;
    return Bacia.Gravar(ini);
}

double TCanalEstrada::TempoRetornoEquivalente() const {
    const double t = TrEsp;
    if (t > 3) return t * t / (t - 0.5);
    if (t > 1) return t * t * (std::log(t) - std::log(t - 1));
    throw EMorvendo("Erro. O período de retorno do espaçamento deve ser maior que 1 ano.");
}

bool TCanalEstrada::Propagar(bool dimensionamento, int comprimento, double vibEstrada,
                             const THidrograma& hEstrada, const THidrograma& hTalude,
                             TPrecipitacao& chuva, IAcompanhamento* acomp,
                             bool curvaDescargaOriginal, TDadosPropagacao& d,
                             double& perdaToleravel, TResultadoPropagacao& r,
                             const std::vector<TPecaCanal>* pecas) const {
    TOcupado ocupado(acomp);
    // Um erro de ponto flutuante na preparação interrompe o cálculo como um na propagação.
    pontoflutuante::Limpar();
    perdaToleravel = PerdaToleravel(Aprofundamento, Densidade);
    d.Comprimento = comprimento;
    d.VibEstrada = vibEstrada;
    d.AcumularTensao = !dimensionamento;
    d.GamaS = GamaS(pecas ? pecas->front().Declividade : Sc);
    d.ProfundidadeCritica = ProfundidadeCritica(TalCritica, d.GamaS);
    d.TalCritica = TalCritica;
    if (!pecas) {
        d.Curva = AjustarCurvaDescarga(*this, curvaDescargaOriginal);
    } else {
        // A curva de cada declividade é a do canal com ela: o mesmo α que o canal de uma
        // declividade só teria.
        TCanalGradiente comDeclividade = *this;
        std::map<double, double> alfas;
        auto alfa = [&](double declividade) {
            auto it = alfas.find(declividade);
            if (it != alfas.end()) return it->second;
            comDeclividade.Sc = declividade;
            const TCurvaDescarga c = AjustarCurvaDescarga(comDeclividade, curvaDescargaOriginal);
            if (alfas.empty()) d.Curva = c;
            return alfas.emplace(declividade, c.Alfa).first->second;
        };
        d.Trechos.clear();
        d.Trechos.reserve(pecas->size());
        for (const TPecaCanal& p : *pecas)
            d.Trechos.push_back(
                {p.Comprimento, alfa(p.Declividade), GamaS(p.Declividade), p.AreaExterna});
    }
    // O erro segue adiante sem caixa própria: quem chama diz em que etapa e com que dados.
    return PropagarCanal(*this, d, hEstrada, hTalude, chuva, acomp, r);
}

bool TCanalEstrada::CalcularHidrogramaCanal(bool dimensionamento, int comprimento,
                                            double vibEstrada, const THidrograma& hEstrada,
                                            const THidrograma& hTalude, TPrecipitacao& chuva,
                                            IAcompanhamento* acomp,
                                            std::unique_ptr<THidrograma>& saida) const {
    TDadosPropagacao d;
    double toleravel;
    TResultadoPropagacao r;
    const bool ok = Propagar(dimensionamento, comprimento, vibEstrada, hEstrada, hTalude, chuva,
                             acomp, CurvaDescargaOriginal, d, toleravel, r);
    saida = std::move(r.Saida);
    return ok;
}

bool TCanalEstrada::CalcularEspacamento(TPrecipitacao& chuva, const THidrograma& hEstrada,
                                        const THidrograma& hTalude, double vibEstrada,
                                        int comprimento, IAcompanhamento* acomp,
                                        double fatorErodibilidade, TResultadoEspacamento& r,
                                        std::optional<bool> curvaDescargaOriginal) const {
    TDadosPropagacao dp;
    TResultadoPropagacao propagacao;
    double toleravel;
    if (!Propagar(false, comprimento, vibEstrada, hEstrada, hTalude, chuva, acomp,
                  curvaDescargaOriginal.value_or(CurvaDescargaOriginal), dp, toleravel, propagacao))
        return false;
    propagacao.Saida.reset();
    const bool ok = PerdaDaPropagacao(dp, toleravel, fatorErodibilidade, propagacao, acomp, r);
    r.Volume = (hEstrada.Volume + hTalude.Volume) * r.Espacamento / LITROS_POR_M3;
    return ok;
}

bool TCanalEstrada::PerdaDaPropagacao(const TDadosPropagacao& dp, double toleravel,
                                      double fatorErodibilidade, TResultadoPropagacao& propagacao,
                                      IAcompanhamento* acomp, TResultadoEspacamento& r) const {
    TDadosPerdaSolo d;
    d.Erodibilidade = Erodibilidade;
    d.FatorErodibilidade = fatorErodibilidade;
    d.PerdaToleravel = toleravel;
    d.Alfa = dp.Curva.Alfa;
    d.GamaS = dp.GamaS;
    d.Trechos = dp.Trechos;
    d.Dx = PASSO_ESPACO_CANAL;
    d.Dt = PASSO_TEMPO_CANAL;
    const bool ok = CalcularPerdaSolo(d, propagacao.Nos, propagacao.SomasTensao, acomp, r);
    r.Balanco = propagacao.Balanco;
    return ok;
}

bool TCanalEstrada::CalcularCanalEmPecas(TPrecipitacao& chuva, const THidrograma& hEstrada,
                                         const THidrograma& hTalude, double vibEstrada,
                                         const std::vector<TPecaCanal>& pecas, TPedidoCanal pedido,
                                         double fatorErodibilidade, double fatorTensaoEfetiva,
                                         IAcompanhamento* acomp, TResultadoEspacamento& r,
                                         std::unique_ptr<THidrograma>& saida) const {
    r = TResultadoEspacamento{};
    const int comprimento = ComprimentoDasPecas(pecas, acomp ? acomp->SeparadorDecimal() : '.');
    TDadosPropagacao dp;
    dp.FatorTensaoEfetiva = fatorTensaoEfetiva;
    dp.SoPerdas = pedido == TPedidoCanal::SoPerdas;
    const bool acumularTensao = pedido != TPedidoCanal::Hidrograma;
    TResultadoPropagacao propagacao;
    double toleravel;
    const bool propagou =
        Propagar(!acumularTensao, comprimento, vibEstrada, hEstrada, hTalude, chuva, acomp,
                 CurvaDescargaOriginal, dp, toleravel, propagacao, &pecas);
    saida = std::move(propagacao.Saida);
    r.PerdaToleravel = toleravel;
    r.Balanco = propagacao.Balanco;
    if (!propagou || !acumularTensao) return propagou;
    const bool ok = PerdaDaPropagacao(dp, toleravel, fatorErodibilidade, propagacao, acomp, r);
    // O volume até o desaguadouro: o leito em todo metro, a área externa só onde chega.
    double comExterna = 0, soLeito = 0;
    int resta = r.Espacamento;
    for (const TPecaCanal& p : pecas) {
        const int m = std::min(resta, p.Comprimento);
        (p.AreaExterna ? comExterna : soLeito) += m;
        resta -= m;
    }
    r.Volume = ((hEstrada.Volume + hTalude.Volume) * comExterna + hEstrada.Volume * soLeito) /
               LITROS_POR_M3;
    return ok;
}

bool TCanalEstrada::CalcularHidrogramaProjeto(TPrecipitacao& chuva, const THidrograma& hEstrada,
                                              const THidrograma& hTalude, int espacamento,
                                              IAcompanhamento* acomp,
                                              std::unique_ptr<THidrograma>& saida) const {
    const double vib = Leito.NumPlanos() > 0 ? Leito.Plano(0).VIB() : 0;
    return CalcularHidrogramaCanal(true, espacamento, vib, hEstrada, hTalude, chuva, acomp, saida);
}
