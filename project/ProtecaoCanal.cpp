#include "project/ProtecaoCanal.h"

#include <algorithm>
#include <cmath>
#include <istream>
#include <thread>

#include "comum/EMorvendo.h"
#include "comum/LeitorCsv.h"
#include "comum/Numeros.h"
#include "engine/Persistencia.h"
#include "project/Calculo.h"
#include "project/Projeto.h"

const char* const SECAO_PROTECAO = "PROTECAO_CANAL";

namespace {

const std::vector<TAlternativaProtecao> ALTERNATIVAS = {
    TAlternativaProtecao::SoloExposto, TAlternativaProtecao::Grama, TAlternativaProtecao::Manta,
    TAlternativaProtecao::Enrocamento, TAlternativaProtecao::Concreto};

const std::vector<TFaixaProtecao> FAIXAS = {
    {"ProfundidadeCanal", "Profundidade do canal", "m", 0, 10, false,
     &TConfiguracaoProtecao::ProfundidadeCanal},
    {"BordaLivre", "Borda livre", "m", 0, 10, true, &TConfiguracaoProtecao::BordaLivre},
    {"FatorCobertura", "Fator de cobertura da grama (Cf)", "", 0, 1, true,
     &TConfiguracaoProtecao::FatorCobertura},
    {"TensaoManta", "Tensão admissível da manta", "Pa", 0, 2000, false,
     &TConfiguracaoProtecao::TensaoManta},
    {"RugosidadeManta", "Rugosidade da manta", "", 0, 1, false,
     &TConfiguracaoProtecao::RugosidadeManta},
    {"MassaEspecificaPedra", "Massa específica da pedra", "g/cm³", 1, 10, false,
     &TConfiguracaoProtecao::MassaEspecificaPedra},
};

const std::vector<TChaveCusto> CUSTOS = {
    {"CustoGrama", "Custo da grama", &TCustosProtecao::Grama},
    {"CustoManta", "Custo da manta", &TCustosProtecao::Manta},
    {"CustoEnrocamento", "Custo do enrocamento", &TCustosProtecao::Enrocamento},
    {"CustoConcreto", "Custo do concreto", &TCustosProtecao::Concreto},
    {"CustoDesaguadouro", "Custo do desaguadouro com a bacia", &TCustosProtecao::Desaguadouro},
};

std::optional<double> TCustosProtecao::*CustoDoRevestimento(TAlternativaProtecao a) {
    switch (a) {
    case TAlternativaProtecao::Grama:
        return &TCustosProtecao::Grama;
    case TAlternativaProtecao::Manta:
        return &TCustosProtecao::Manta;
    case TAlternativaProtecao::Enrocamento:
        return &TCustosProtecao::Enrocamento;
    case TAlternativaProtecao::Concreto:
        return &TCustosProtecao::Concreto;
    default:
        return nullptr;
    }
}

} // namespace

const std::vector<TAlternativaProtecao>& AlternativasProtecao() {
    return ALTERNATIVAS;
}

const char* NomeAlternativa(TAlternativaProtecao a) {
    static const char* const nomes[] = {"solo_exposto", "grama", "manta", "enrocamento",
                                        "concreto"};
    return nomes[int(a)];
}

const char* RotuloAlternativa(TAlternativaProtecao a) {
    static const char* const rotulos[] = {"Solo exposto", "Grama", "Manta ou geotêxtil",
                                          "Enrocamento", "Concreto ou alvenaria"};
    return rotulos[int(a)];
}

const std::vector<TFaixaProtecao>& FaixasProtecao() {
    return FAIXAS;
}

bool NaFaixa(const TFaixaProtecao& f, double v) {
    return (f.MinimoIncluso ? v >= f.Minimo : v > f.Minimo) && v <= f.Maximo;
}

std::string TextoFaixa(const TFaixaProtecao& f, char separadorDecimal) {
    const std::string u = *f.Unidade ? std::string(" ") + f.Unidade : "";
    return (f.MinimoIncluso ? "de " : "maior que ") + FloatToStr(f.Minimo, separadorDecimal) +
           (f.MinimoIncluso ? " a " : " e no máximo ") + FloatToStr(f.Maximo, separadorDecimal) + u;
}

const std::vector<TChaveCusto>& ChavesCustos() {
    return CUSTOS;
}

void ValidarConfiguracaoProtecao(const TConfiguracaoProtecao& c) {
    for (const TFaixaProtecao& f : FAIXAS) {
        const double v = c.*f.Membro;
        if (!NaFaixa(f, v))
            throw EMorvendo(std::string("Valor incorreto em \"") + f.Rotulo + "\" (" +
                            FloatToStr(v, ',') + "): deve ser " + TextoFaixa(f, ',') + ".");
    }
    if (c.BordaLivre >= c.ProfundidadeCanal)
        throw EMorvendo("A borda livre (" + FloatToStr(c.BordaLivre, ',') +
                        " m) deve ser menor que a profundidade do canal (" +
                        FloatToStr(c.ProfundidadeCanal, ',') + " m).");
    for (const TChaveCusto& k : CUSTOS)
        if (const auto& v = c.Custos.*k.Membro; v && !(*v >= 0 && *v <= CUSTO_MAXIMO))
            throw EMorvendo(std::string("Valor incorreto em \"") + k.Rotulo + "\" (" +
                            FloatToStr(*v, ',') + "): deve ser de 0 a " +
                            FloatToStr(CUSTO_MAXIMO, ',') + " R$.");
}

void GravarProtecao(const TConfiguracaoProtecao& c, TArquivoIni& ini) {
    if (c == TConfiguracaoProtecao{} && !ini.ExisteSecao(SECAO_PROTECAO)) return;
    ini.EscreverTexto(SECAO_PROTECAO, "Versao", "1");
    for (const TFaixaProtecao& f : FAIXAS)
        GravarReal(ini, SECAO_PROTECAO, f.Chave, c.*f.Membro);
    ini.EscreverTexto(SECAO_PROTECAO, "ClasseGrama",
                      std::string(1, DadosClasseGrama(c.ClasseGrama).Letra));
    for (const TChaveCusto& k : CUSTOS) {
        if (const auto& v = c.Custos.*k.Membro)
            GravarReal(ini, SECAO_PROTECAO, k.Chave, *v);
        else
            ini.ApagarChave(SECAO_PROTECAO, k.Chave);
    }
}

TConfiguracaoProtecao LerProtecao(const TArquivoIni& ini) {
    TConfiguracaoProtecao c;
    if (!ini.ExisteSecao(SECAO_PROTECAO)) return c;
    for (const TFaixaProtecao& f : FAIXAS)
        c.*f.Membro = ini.LerReal(SECAO_PROTECAO, f.Chave, c.*f.Membro);
    const std::string letra = ini.LerTexto(SECAO_PROTECAO, "ClasseGrama", "D");
    for (const TClasseGrama g : ClassesGrama())
        if (letra.size() == 1 &&
            std::toupper(static_cast<unsigned char>(letra[0])) == DadosClasseGrama(g).Letra)
            c.ClasseGrama = g;
    for (const TChaveCusto& k : CUSTOS)
        if (ini.ExisteChave(SECAO_PROTECAO, k.Chave))
            c.Custos.*k.Membro = ini.LerReal(SECAO_PROTECAO, k.Chave, 0);
    return c;
}

TCustosProtecao LerCustosCsv(std::istream& entrada) {
    // Um arquivo de custos tem meia dúzia de linhas: um bem maior não é de custos.
    constexpr std::size_t TAMANHO_MAXIMO = 1 << 16;
    std::string texto(TAMANHO_MAXIMO + 1, '\0');
    entrada.read(texto.data(), std::streamsize(texto.size()));
    texto.resize(std::size_t(entrada.gcount()));
    if (texto.size() > TAMANHO_MAXIMO)
        throw EMorvendo("O arquivo é grande demais para uma tabela de custos.");
    if (texto.rfind("\xEF\xBB\xBF", 0) == 0) texto.erase(0, 3);
    const bool planilha = texto.substr(0, texto.find('\n')).find(';') != std::string::npos;
    TLeitorCsv leitor("", planilha ? ';' : ',');
    try {
        leitor.Acrescentar(texto);
        leitor.Terminar();
    } catch (const EMorvendo& e) {
        std::string m = e.what();
        if (m.rfind(", l", 0) == 0) m = "L" + m.substr(3);
        throw EMorvendo(m);
    }
    TCustosProtecao custos;
    bool cabecalho = true;
    for (TLinhaCsv& l : leitor.Prontos) {
        auto erro = [&](const std::string& m) {
            throw EMorvendo("Linha " + std::to_string(l.Linha) + ": " + m);
        };
        for (std::string& c : l.Campos) {
            const auto i = c.find_first_not_of(" \t\r");
            const auto f = c.find_last_not_of(" \t\r");
            c = i == std::string::npos ? std::string() : c.substr(i, f - i + 1);
        }
        if (l.Campos.size() == 1 && l.Campos[0].empty()) continue;
        if (cabecalho) {
            cabecalho = false;
            if (l.Campos.size() == 2 && l.Campos[0] == "alternativa" && l.Campos[1] == "custo")
                continue;
        }
        if (l.Campos.size() != 2)
            erro("são esperados 2 campos (alternativa, custo), há " +
                 std::to_string(l.Campos.size()) + ".");
        const TChaveCusto* chave = nullptr;
        std::string nomes;
        for (const TAlternativaProtecao a : ALTERNATIVAS)
            if (auto membro = CustoDoRevestimento(a)) {
                nomes += std::string(nomes.empty() ? "" : ", ") + NomeAlternativa(a);
                if (l.Campos[0] == NomeAlternativa(a))
                    for (const TChaveCusto& k : CUSTOS)
                        if (k.Membro == membro) chave = &k;
            }
        if (l.Campos[0] == "desaguadouro") chave = &CUSTOS.back();
        if (!chave)
            erro("a alternativa \"" + l.Campos[0] + "\" não existe (use " + nomes +
                 " ou desaguadouro).");
        const auto v = TentarTextoParaReal(l.Campos[1], planilha ? ',' : '.');
        if (!v || !(*v >= 0 && *v <= CUSTO_MAXIMO))
            erro("o custo (\"" + l.Campos[1] + "\") deve ser um número de 0 a " +
                 FloatToStr(CUSTO_MAXIMO) + " (" + (planilha ? "vírgula" : "ponto") + " decimal).");
        if (custos.*chave->Membro) erro("o custo de " + l.Campos[0] + " aparece duas vezes.");
        custos.*chave->Membro = *v;
    }
    return custos;
}

namespace {

// Cancelamento do lote repassado ao motor.
class TCancelamentoMotor : public IAcompanhamentoCalculo {
public:
    explicit TCancelamentoMotor(const TCancelamentoLote* c) : FLote(c) {}
    void ProcessarEventos() override {
        if (FLote && FLote->Pedido.load(std::memory_order_relaxed)) Cancelar();
    }
    void MostrarMensagem(const std::string& texto) override { Mensagem = texto; }
    std::string Mensagem;

private:
    const TCancelamentoLote* FLote;
};

// Uma cópia do projeto com as suas unidades.
struct TCopia {
    TUnidades Unidades;
    TProjeto P{Unidades};
    int Comprimento = 0;

    TCopia(const TArquivoIni& documento, const std::optional<TTrecho>& trecho) {
        ZerarVariaveis(P);
        TArquivoIni copia = documento;
        if (!LerProjeto(P, copia)) throw EMorvendo("O projeto não pôde ser lido.");
        Comprimento = P.Estrada.Comprimento();
        if (trecho) {
            // Como nos trechos: a água corre num sentido ou no outro, vale a magnitude.
            P.Estrada.Sc = std::abs(trecho->Declividade);
            P.Estrada.Comprimento(trecho->Comprimento);
            Comprimento = trecho->Comprimento;
        }
        if (auto falha = ValidarDados(P)) throw EMorvendo(falha->Mensagem);
        // A bacia não entra na comparação: cada desaguadouro leva a sua.
        P.Estrada.Bacia.CalcularVolume = false;
    }
    bool CurvaOriginal() const {
        return P.Estrada.TipoCanal.Valor == CANAL_TRAPEZOIDAL && P.Estrada.CurvaDescargaOriginal;
    }
};

// O que o cálculo do solo exposto deixa para as outras alternativas.
struct TBase {
    THidrograma Estrada, Talude;
    std::vector<TLinhaSecao> Secoes;
    double Rugosidade = 0;
};

constexpr double CM_POR_M = 100;
constexpr double LS_POR_M3S = 1000;

// Vazão de pico (m³/s) na seção s (m) de um cálculo.
double VazaoNaSecao(const std::vector<TLinhaSecao>& secoes, int s) {
    if (secoes.empty()) return 0;
    const std::size_t i = std::size_t(std::clamp(s, 1, int(secoes.size())) - 1);
    return secoes[i].Vazao / LS_POR_M3S;
}

// Última seção em que a condição vale; 0 quando nenhuma.
template <class Condicao> int UltimaSecao(const std::vector<TLinhaSecao>& secoes, Condicao&& vale) {
    for (std::size_t i = secoes.size(); i-- > 0;)
        if (vale(secoes[i])) return int(i) + 1;
    return 0;
}

// O canal da cópia com a rugosidade n e a fração 'fator' de γS·y na tensão que erode o solo
// (0: sem perda nenhuma).
TResultadoEspacamento CalcularCanal(TCopia& c, const TBase& base, double n, double fator,
                                    TCancelamentoMotor& acomp) {
    TCanalEstrada& e = c.P.Estrada;
    e.nc.Valor = n;
    c.P.Chuva().Tr(e.PeriodoRetornoEspacamento());
    TResultadoEspacamento r;
    std::unique_ptr<THidrograma> saida;
    if (!CalcularCanalEmPecas(c.P, c.P.Chuva(), base.Estrada, base.Talude,
                              {{c.Comprimento, e.Sc, e.IndSecao != 3}},
                              TPedidoCanal::PerdasEHidrograma, fator, &acomp, r, saida))
        throw EMorvendo("Cálculo cancelado.");
    return r;
}

} // namespace

namespace {

// O que todas as alternativas usam.
struct TContexto {
    const TArquivoIni& Documento;
    const TConfiguracaoProtecao& Config;
    const std::optional<TTrecho>& Trecho;
    const TCancelamentoLote* Cancelamento;
    TBase Base;
    TCanalGradiente Canal; // o do projeto, para o escoamento uniforme
    bool CurvaOriginal = false;
    int Comprimento = 0;
    double LaminaMaxima = 0; // cm
};

// Espaçamento, limite e valores no pico a partir das seções de um cálculo. 'perda': o
// espaçamento do cálculo (solo exposto e grama); senão a capacidade e, com 'admissivel', a
// tensão do revestimento limitam.
void Avaliar(const TContexto& x, const TResultadoEspacamento& canal, bool perda,
             std::optional<double> admissivel, TResultadoAlternativa& r) {
    const auto& secoes = canal.Secoes;
    const int comp = x.Comprimento;
    const int capacidade =
        UltimaSecao(secoes, [&](const TLinhaSecao& l) { return l.Lamina <= x.LaminaMaxima; });
    int s = comp;
    if (perda) {
        r.NenhumEspacamento = canal.NenhumEspacamento;
        s = canal.Espacamento;
        if (s < comp) r.Limite = TLimiteEspacamento::PerdaSolo;
    } else {
        const int tensao =
            admissivel
                ? UltimaSecao(secoes, [&](const TLinhaSecao& l) { return l.Tensao <= *admissivel; })
                : comp;
        s = std::min({comp, capacidade, tensao});
        if (s < comp)
            r.Limite = s == capacidade ? TLimiteEspacamento::Capacidade
                                       : TLimiteEspacamento::TensaoAdmissivel;
        // Como na perda de solo: a primeira seção sozinha não é espaçamento.
        r.NenhumEspacamento = comp >= 2 && s < 2;
    }
    if (r.NenhumEspacamento || s < 1 || secoes.empty()) {
        r.NenhumEspacamento = true;
        r.Espacamento = 0;
        return;
    }
    r.Espacamento = s;
    const TLinhaSecao& l = secoes[std::size_t(s) - 1];
    r.Lamina = l.Lamina;
    r.TensaoProjeto = r.TensaoEfetiva = l.Tensao;
    r.Velocidade =
        EscoamentoUniforme(x.Canal, r.Rugosidade, l.Vazao / LS_POR_M3S, x.CurvaOriginal).Velocidade;
    r.CapacidadeOk = capacidade >= s;
    r.DesaguadourosPorKm =
        double(PosicoesDesaguadouros(TTrecho("", 0, comp, 1), s).size()) * 1000 / comp;
}

// Tensão de projeto (Pa) do escoamento uniforme.
double TensaoUniforme(const TContexto& x, const TEscoamentoUniforme& e) {
    return GamaS(x.Canal.Sc) * e.Profundidade;
}

// Um cálculo refeito quando o espaçamento achado fica antes do fim do canal: a rugosidade do
// revestimento vai para a vazão de pico da seção do desaguadouro.
template <class Projetar>
TResultadoEspacamento
ComRugosidadeDoPico(TContexto& x, TCopia& c, TCancelamentoMotor& acomp, Projetar&& projetar,
                    double (*fator)(const TContexto&, double),
                    int (*espacamento)(const TContexto&, const TResultadoEspacamento&), double& n) {
    n = projetar(VazaoNaSecao(x.Base.Secoes, x.Comprimento));
    TResultadoEspacamento r = CalcularCanal(c, x.Base, n, fator(x, n), acomp);
    const int s = espacamento(x, r);
    if (s >= 1 && s < x.Comprimento) {
        const double novo = projetar(VazaoNaSecao(r.Secoes, s));
        if (std::fabs(novo - n) > 0.01 * n) {
            n = novo;
            r = CalcularCanal(c, x.Base, n, fator(x, n), acomp);
        }
    }
    return r;
}

double RugosidadeSoloSobGrama(const TContexto& x) {
    // O solo sob a grama não é mais liso que o canal sem ela: a tensão efetiva nunca passa da
    // do solo exposto com a mesma vazão.
    return std::min(RUGOSIDADE_SOLO_SOB_GRAMA, x.Base.Rugosidade);
}

double FatorGrama(const TContexto& x, double n) {
    return FatorTensaoEfetivaGrama(x.Config.FatorCobertura, RugosidadeSoloSobGrama(x), n);
}

// Revestimento que aguenta: nada chega ao solo.
double SemPerda(const TContexto&, double) {
    return 0;
}

int EspacamentoPelaPerda(const TContexto&, const TResultadoEspacamento& r) {
    return r.NenhumEspacamento ? 0 : r.Espacamento;
}

int EspacamentoPelaCapacidade(const TContexto& x, const TResultadoEspacamento& r) {
    return UltimaSecao(r.Secoes, [&](const TLinhaSecao& l) { return l.Lamina <= x.LaminaMaxima; });
}

void CalcularGrama(TContexto& x, TCopia& c, TCancelamentoMotor& acomp, TResultadoAlternativa& r) {
    const TClasseGrama classe = x.Config.ClasseGrama;
    auto projetar = [&](double vazao) {
        return RugosidadeNoPontoFixo(x.Canal, vazao, x.CurvaOriginal, x.Base.Rugosidade,
                                     [&](const TEscoamentoUniforme& e) {
                                         return RugosidadeGrama(classe, e.Velocidade * e.Raio);
                                     });
    };
    const TResultadoEspacamento canal =
        ComRugosidadeDoPico(x, c, acomp, projetar, FatorGrama, EspacamentoPelaPerda, r.Rugosidade);
    r.FatorTensao = FatorGrama(x, r.Rugosidade);
    r.TensaoAdmissivel = DadosClasseGrama(classe).TensaoAdmissivel;
    Avaliar(x, canal, true, std::nullopt, r);
    if (r.NenhumEspacamento) return;
    r.TensaoEfetiva = *r.FatorTensao * r.TensaoProjeto;
    r.Resiste = r.TensaoProjeto <= *r.TensaoAdmissivel;
    if (!r.Resiste)
        r.ResisteAte = UltimaSecao(
            canal.Secoes, [&](const TLinhaSecao& l) { return l.Tensao <= *r.TensaoAdmissivel; });
}

void CalcularManta(TContexto& x, TCopia& c, TCancelamentoMotor& acomp, TResultadoAlternativa& r) {
    r.Rugosidade = x.Config.RugosidadeManta;
    r.TensaoAdmissivel = x.Config.TensaoManta;
    Avaliar(x, CalcularCanal(c, x.Base, r.Rugosidade, 0, acomp), false, r.TensaoAdmissivel, r);
}

void CalcularEnrocamento(TContexto& x, TCopia& c, TCancelamentoMotor& acomp,
                         TResultadoAlternativa& r) {
    const double s = x.Canal.Sc, massa = x.Config.MassaEspecificaPedra;
    auto projetar = [&](double vazao) {
        return RugosidadeNoPontoFixo(
            x.Canal, vazao, x.CurvaOriginal, x.Base.Rugosidade, [&](const TEscoamentoUniforme& e) {
                const double d50 = DimensionarPedra(TensaoUniforme(x, e), s, massa).D50;
                // A profundidade média pelo raio hidráulico.
                return RugosidadePedra(e.Raio, d50);
            });
    };
    const TResultadoEspacamento canal = ComRugosidadeDoPico(
        x, c, acomp, projetar, SemPerda, EspacamentoPelaCapacidade, r.Rugosidade);
    Avaliar(x, canal, false, std::nullopt, r);
    if (r.NenhumEspacamento) return;
    // A pedra do pico da seção do desaguadouro, pela tensão que a propagação deu.
    r.D50 = DimensionarPedra(r.TensaoProjeto, s, massa).D50;
    r.TensaoAdmissivel = r.TensaoProjeto;
}

void CalcularConcreto(TContexto& x, TCopia& c, TCancelamentoMotor& acomp,
                      TResultadoAlternativa& r) {
    r.Rugosidade = RUGOSIDADE_CONCRETO;
    Avaliar(x, CalcularCanal(c, x.Base, r.Rugosidade, 0, acomp), false, std::nullopt, r);
}

void Custear(const TCustosProtecao& custos, TResultadoAlternativa& r) {
    if (!r.Ok || r.NenhumEspacamento || !custos.Desaguadouro) return;
    double porMetro = 0;
    if (auto membro = CustoDoRevestimento(r.Alternativa)) {
        if (!(custos.*membro)) return;
        porMetro = *(custos.*membro);
    }
    r.CustoPorKm = porMetro * 1000 + r.DesaguadourosPorKm * *custos.Desaguadouro;
}

} // namespace

TResultadoProtecao ExecutarProtecao(const TArquivoIni& documento, const TConfiguracaoProtecao& cfg,
                                    const std::optional<TTrecho>& trecho, unsigned linhas,
                                    IAndamentoLote* andamento,
                                    const TCancelamentoLote* cancelamento) {
    ValidarConfiguracaoProtecao(cfg);
    TContexto x{documento, cfg, trecho, cancelamento, {}, TCanalGradiente(), false, 0, 0};
    TResultadoProtecao resultado;
    resultado.Alternativas.resize(ALTERNATIVAS.size());
    for (std::size_t i = 0; i < ALTERNATIVAS.size(); ++i)
        resultado.Alternativas[i].Alternativa = ALTERNATIVAS[i];
    {
        // O solo exposto é o cálculo de sempre, inteiro; as outras alternativas partem dos
        // hidrogramas e das vazões dele.
        TCopia c(documento, trecho);
        TCancelamentoMotor acomp(cancelamento);
        TResultadoCalculo calc = ExecutarCalculo(c.P, c.Comprimento, &acomp, false);
        if (calc.Situacao == TResultadoCalculo::Cancelado) throw EMorvendo("Cálculo cancelado.");
        if (calc.Situacao != TResultadoCalculo::Concluido)
            throw EMorvendo(acomp.Mensagem.empty() ? "O cálculo terminou sem resultados."
                                                   : acomp.Mensagem);
        x.Base.Estrada = std::move(calc.HidrogramaEstrada);
        x.Base.Talude = std::move(calc.HidrogramaTalude);
        x.Base.Secoes = calc.Canal.Secoes;
        x.Base.Rugosidade = c.P.Estrada.nc.Valor;
        x.Canal = c.P.Estrada;
        x.CurvaOriginal = c.CurvaOriginal();
        x.Comprimento = c.Comprimento;
        x.LaminaMaxima = (cfg.ProfundidadeCanal - cfg.BordaLivre) * CM_POR_M;
        resultado.Comprimento = c.Comprimento;
        resultado.Declividade = c.P.Estrada.Sc;
        resultado.LaminaMaxima = x.LaminaMaxima;
        TResultadoAlternativa& solo = resultado.Alternativas[0];
        solo.Ok = true;
        solo.Rugosidade = x.Base.Rugosidade;
        Avaliar(x, calc.Canal, true, std::nullopt, solo);
    }
    std::atomic<std::size_t> proxima{1}, feitas{1};
    if (andamento) andamento->PontoConcluido(1, ALTERNATIVAS.size());
    auto trabalhar = [&] {
        for (std::size_t i; (i = proxima.fetch_add(1)) < ALTERNATIVAS.size();) {
            TResultadoAlternativa& r = resultado.Alternativas[i];
            try {
                TCopia c(documento, trecho);
                TCancelamentoMotor acomp(cancelamento);
                switch (r.Alternativa) {
                case TAlternativaProtecao::Grama:
                    CalcularGrama(x, c, acomp, r);
                    break;
                case TAlternativaProtecao::Manta:
                    CalcularManta(x, c, acomp, r);
                    break;
                case TAlternativaProtecao::Enrocamento:
                    CalcularEnrocamento(x, c, acomp, r);
                    break;
                default:
                    CalcularConcreto(x, c, acomp, r);
                }
                r.Ok = true;
            } catch (const std::bad_alloc&) {
                r.Erro = "Memória insuficiente para o cálculo.";
            } catch (const std::exception& e) {
                r.Erro = e.what();
            }
            if (andamento) andamento->PontoConcluido(feitas.fetch_add(1) + 1, ALTERNATIVAS.size());
        }
    };
    const unsigned extras = std::min<unsigned>(std::max(1u, linhas), ALTERNATIVAS.size() - 1) - 1;
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < extras; ++t)
        threads.emplace_back(trabalhar);
    trabalhar();
    for (std::thread& t : threads)
        t.join();
    if (cancelamento && cancelamento->Pedido) throw EMorvendo("Cálculo cancelado.");

    std::optional<std::size_t> barata;
    for (std::size_t i = 0; i < resultado.Alternativas.size(); ++i) {
        TResultadoAlternativa& r = resultado.Alternativas[i];
        if (!r.Ok) continue;
        r.Atende = !r.NenhumEspacamento && r.CapacidadeOk && r.Resiste;
        Custear(cfg.Custos, r);
        if (r.Atende && r.CustoPorKm &&
            (!barata || *r.CustoPorKm < *resultado.Alternativas[*barata].CustoPorKm))
            barata = i;
    }
    if (barata) resultado.Alternativas[*barata].MaisBarata = true;
    return resultado;
}

std::string CsvProtecao(const TResultadoProtecao& r) {
    std::string csv = "alternativa,espacamento_m,desaguadouros_por_km,tensao_efetiva_max_Pa,"
                      "lamina_cm,velocidade_m_s,capacidade_ok,custo_por_km\n";
    for (const TResultadoAlternativa& a : r.Alternativas) {
        csv += NomeAlternativa(a.Alternativa);
        if (!a.Ok || a.NenhumEspacamento) {
            csv += ",,,,,,,\n";
            continue;
        }
        csv += ',' + std::to_string(a.Espacamento) + ',' + RealExato(a.DesaguadourosPorKm) + ',' +
               RealExato(a.TensaoEfetiva) + ',' + RealExato(a.Lamina) + ',' +
               RealExato(a.Velocidade) + ',' + (a.CapacidadeOk ? "1" : "0") + ',' +
               (a.CustoPorKm ? RealExato(*a.CustoPorKm) : std::string()) + '\n';
    }
    return csv;
}

const char* TextoLimite(TLimiteEspacamento l) {
    switch (l) {
    case TLimiteEspacamento::PerdaSolo:
        return "perda de solo";
    case TLimiteEspacamento::Capacidade:
        return "capacidade";
    case TLimiteEspacamento::TensaoAdmissivel:
        return "tensão admissível";
    default:
        return "nada: o canal todo";
    }
}

std::string SituacaoAlternativa(const TResultadoAlternativa& r, double laminaMaxima, char sep) {
    std::vector<std::string> partes;
    auto num = [&](double v) { return FormatFloat("0.0", v, sep); };
    if (r.NenhumEspacamento) partes.push_back("nenhum espaçamento atende");
    if (!r.Resiste && r.TensaoAdmissivel)
        partes.push_back("a grama se rompe além de " + std::to_string(r.ResisteAte) + " m (" +
                         num(r.TensaoProjeto) + " Pa, admissível " + num(*r.TensaoAdmissivel) +
                         " Pa)");
    if (!r.NenhumEspacamento && !r.CapacidadeOk)
        partes.push_back("a lâmina passa da capacidade (" + num(r.Lamina) + " cm, máximo " +
                         num(laminaMaxima) + " cm)");
    if (r.D50) partes.push_back("pedra com D50 de " + num(*r.D50 * 100) + " cm");
    if (r.FatorTensao)
        partes.push_back("ao solo chega " + FormatFloat("0.0##", *r.FatorTensao * 100, sep) +
                         " % da tensão");
    std::string t = r.MaisBarata ? "a mais barata que atende" : r.Atende ? "atende" : "não atende";
    for (std::size_t i = 0; i < partes.size(); ++i)
        t += (i ? "; " : ": ") + partes[i];
    return t;
}
