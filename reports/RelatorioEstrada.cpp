#include "reports/RelatorioEstrada.h"

#include <algorithm>
#include <limits>
#include <sstream>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "comum/Win1252.h"
#include "idf/EstacoesUsuario.h"
#include "idf/ReferenciasIdf.h"
#include "idf/VerificacaoIdf.h"
#include "project/Avisos.h"
#include "project/BalancoHidricoTexto.h"
#include "project/CamposProjeto.h"
#include "project/ResumoResultado.h"
#include "project/RotulosResultado.h"
#include "reports/GraficoSvg.h"
#include "reports/RelatorioTexto.h"

std::string EscaparHtml(std::string_view texto) {
    return EscaparXml(texto, false);
}

std::string DecimalRelatorio(const char* mascara, double valor) {
    return FormatFloat(mascara, valor, ',');
}

std::string ValorDigitado(double valor) {
    return FloatToStr(valor, ',');
}

namespace {

// A pasta do programa vai dentro de um atributo entre aspas.
std::string EscaparAtributo(std::string_view texto) {
    return EscaparXml(texto, true);
}

// Texto de várias linhas (observações): cada quebra vira <br>.
std::string EscaparLinhas(std::string_view texto) {
    std::string r;
    for (const char c : EscaparHtml(texto)) {
        if (c == '\r') continue;
        if (c == '\n')
            r += "<br>";
        else
            r += c;
    }
    return r;
}

// UTF-8 para Windows-1252; o que não tem representação (os expoentes ⁻ das unidades) vira
// referência numérica, que vale em qualquer codificação.
std::string ParaDocumento(const std::string& utf8) {
    std::string r;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t n = 1;
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b >= 0xF0)
            n = 4;
        else if (b >= 0xE0)
            n = 3;
        else if (b >= 0xC0)
            n = 2;
        const std::string_view c(utf8.data() + i, std::min(n, utf8.size() - i));
        if (n == 1 || win1252::Representavel(c)) {
            r += win1252::DeUtf8(c);
        } else {
            unsigned cp = n == 4 ? b & 0x07 : n == 3 ? b & 0x0F : b & 0x1F;
            for (std::size_t k = 1; k < c.size(); ++k)
                cp = (cp << 6) | (static_cast<unsigned char>(c[k]) & 0x3F);
            r += "&#" + std::to_string(cp) + ";";
        }
        i += c.size();
    }
    return r;
}

// Um dado: rótulo como na tela, unidade e valor já formatado.
struct TDado {
    std::string Rotulo, Unidade, Valor;
};

const char* const COR_ALEM = "#ff0000";  // seções além do espaçamento
const char* const COR_ACIMA = "#c05800"; // dentro do espaçamento, acima da tolerável

class TDocumento {
public:
    TDocumento(const TProjeto& projeto, const TResultadoCalculo& resultado,
               const TOpcoesRelatorioEstrada& opcoes)
        : P(projeto), E(projeto.Estrada), U(projeto.Unidades), Resultado(resultado),
          R(resultado.Canal), Pasta(EscaparAtributo(opcoes.PastaPrograma)), Opcoes(opcoes) {}

    std::string Montar();

private:
    // Dados em pares por linha: rótulo (unidade) e valor.
    void Dados(const std::vector<TDado>& dados) {
        S << "<table border=\"0\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\">";
        for (std::size_t i = 0; i < dados.size(); i += 2) {
            S << "<tr>";
            for (std::size_t k = i; k < i + 2; ++k) {
                if (k >= dados.size()) {
                    S << "<td width=\"34%\"></td><td width=\"16%\"></td>";
                    continue;
                }
                const TDado& d = dados[k];
                S << "<td width=\"34%\">" << d.Rotulo
                  << (d.Unidade.empty() ? "" : " (" + d.Unidade + ")")
                  << "</td><td width=\"16%\"><b>" << d.Valor << "</b></td>";
            }
            S << "</tr>";
        }
        S << "</table>";
    }
    // Resultados com os rótulos, unidades e máscaras da tabela comum.
    std::vector<TDado> DadosResultado(const std::vector<TGrandezaResultado>& grandezas) const {
        std::vector<TDado> d;
        for (TGrandezaResultado g : grandezas) {
            const TRotuloResultado& r = RotuloResultado(g);
            d.push_back({r.Descricao, r.UnidadeHtml, TextoResultado(g, Resultado, ',')});
        }
        return d;
    }
    void Linha(const std::string& rotulo, const std::string& valor) {
        S << "<p style=\"margin-top:2px; margin-bottom:2px\">" << rotulo << ": <b>" << valor
          << "</b></p>";
    }
    void Titulo(const char* t) {
        S << "<h3 style=\"margin-top:10px; margin-bottom:4px\">" << t << "</h3>";
    }
    void Aviso(const std::string& texto) {
        S << "<p style=\"color:#990000; margin-top:2px; margin-bottom:2px\"><b>" << texto
          << "</b></p>";
    }
    std::string Figura(const std::string& nome) const {
        return "<img border=\"0\" src=\"" + Pasta + nome + "\" width=\"161\" height=\"48\">";
    }

    // Os campos da página de dados que entram no cálculo, pela tabela de campos: legenda,
    // unidade configurada e o valor como digitado (inverso das inclinações guardadas assim).
    // 'antes' são as linhas que não são campos (tipo de canal, formato) e vêm primeiro.
    std::vector<TDado> DadosCampos(std::initializer_list<TCampo> campos,
                                   std::vector<TDado> antes = {}) const {
        std::vector<TDado> d = std::move(antes);
        for (const TCampo id : campos) {
            if (!CampoAplicavel(id, P)) continue;
            const TCampoProjeto& c = *CampoProjeto(id);
            d.push_back({c.RotuloRelatorio ? c.RotuloRelatorio : RotuloNaTela(c, P),
                         c.UnidadeHtml ? c.UnidadeHtml : EscaparHtml(UnidadeMostrada(c, U)),
                         ValorDigitado(ValorMostrado(c, P, U))});
        }
        return d;
    }

    void Cabeca();
    void Identificacao();
    void Chuva();
    void LeitoEstrada();
    void AreaExterna();
    void Canal();
    void Solo();
    void Bacia();
    void Resultados();
    void Protecao();
    void Graficos();
    void TabelaSecoes();

    const TProjeto& P;
    const TCanalEstrada& E;
    const TEscolhaUnidades& U;
    const TResultadoCalculo& Resultado;
    const TResultadoEspacamento& R;
    const std::string Pasta;
    const TOpcoesRelatorioEstrada& Opcoes;
    std::ostringstream S;
};

void TDocumento::Cabeca() {
    S << "<!DOCTYPE html><html><head>"
      << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
      << "<title>Relatório de Morvendo</title>"
      << "<style type=\"text/css\">"
      << "body { font-family: Arial, Helvetica, sans-serif; font-size: 10pt; color: #000000; }"
      << "h2 { font-size: 13pt; margin-top: 14px; margin-bottom: 4px; color: #003300; }"
      << "h3 { font-size: 11pt; }"
      // O cabeçalho da tabela por seção se repete em cada página impressa.
      << "thead { display: table-header-group; }"
      << "</style></head><body>";
    S << "<p style=\"font-size:8pt; color:#000099\">Data de emissão do relatório: "
      << EscaparHtml(Opcoes.Data) << "</p>";
    S << "<p align=\"center\"><img src=\"" << Pasta
      << "Cabecalho.jpg\" height=\"67\" width=\"550\"></p>";
    S << "<h1 align=\"center\" style=\"font-size:16pt; color:#003300\">RELATÓRIO DE "
         "MORVENDO</h1><hr>";
}

void TDocumento::Identificacao() {
    const TIdentificacao& id = P.Identificacao;
    if (id.Vazia()) return;
    S << "<h2>Identificação do projeto</h2>";
    const std::pair<const char*, const std::string*> campos[] = {{"Estrada", &id.Estrada},
                                                                 {"Trecho", &id.Trecho},
                                                                 {"Município", &id.Municipio},
                                                                 {"Engenheiro", &id.Engenheiro},
                                                                 {"Data", &id.Data}};
    for (const auto& [rotulo, valor] : campos)
        if (!valor->empty()) Linha(rotulo, EscaparHtml(*valor));
    if (!id.Observacoes.empty()) Linha("Observações", EscaparLinhas(id.Observacoes));
}

void TDocumento::Chuva() {
    const auto& t = P.ChuvaDeProjeto;
    const auto& chuva = t.Precipitacao();
    Titulo("Precipitação");
    // Origem dos parâmetros: a consulta que os deu, enquanto são os dela; a estação só
    // aparece quando a equação em uso é a dela.
    if (const std::string frase = FraseOrigemChuva(P); !frase.empty())
        Linha("Origem dos parâmetros", EscaparHtml(frase));
    const TOrigemChuva& origem = P.OrigemChuva;
    const bool daEstacao = (origem.Tipo == TTipoOrigemChuva::Estacao ||
                            origem.Tipo == TTipoOrigemChuva::EstacaoUsuario) &&
                           OrigemValePara(origem, chuva.K(), chuva.A(), chuva.B(), chuva.C());
    const TInfoEstacaoIdf* estacao =
        daEstacao ? ProcurarInfoEstacao(origem.Autoria, chuva.K(), chuva.A(), chuva.B(), chuva.C())
                  : nullptr;
    if (estacao) {
        std::string fonte = estacao->DoUsuario ? estacao->Fonte : estacao->Chave;
        if (const TReferencia* r = ProcurarReferencia(estacao->Chave))
            fonte = r->Autores + ". " + r->Titulo + ". " + r->Publicacao;
        Linha("Estação", EscaparHtml(estacao->Estacao + " (" + estacao->Uf + ")" +
                                     (estacao->DoUsuario ? MarcaEstacaoUsuario : "")));
        Linha("Fonte", EscaparHtml(fonte));
        Linha("Verificação",
              EscaparHtml(estacao->DoUsuario ? TextoVerificacaoUsuario
                                             : TextoVerificacao(estacao->Verificacao)));
        Linha("Faixa de durações da equação", EscaparHtml(TextoFaixaDuracoes(*estacao)));
        Linha("Faixa de períodos de retorno da equação", EscaparHtml(TextoFaixaTr(*estacao)));
        if (const auto erros = TextoErrosAjuste(*estacao); !erros.empty())
            Linha("Erro relativo do ajuste à tabela", EscaparHtml(erros));
    }
    if (!t.StrCidade.empty() || !t.StrEstado.empty())
        Linha("Localidade", EscaparHtml(t.StrCidade + (t.StrEstado.empty() || t.StrCidade.empty()
                                                           ? t.StrEstado
                                                           : " (" + t.StrEstado + ")")));
    if (!t.Latitude.empty() || !t.Longitude.empty())
        Linha("Coordenadas",
              "latitude " + EscaparHtml(t.Latitude) + ", longitude " + EscaparHtml(t.Longitude));
    // A interpolação diz de que estações veio, a que distância e com que peso: uma estação
    // distante não passa por chuva do lugar. Só quando os parâmetros são os dela, e uma vez:
    // a frase da origem gravada pela consulta já as diz.
    const bool interpolada = origem.Tipo == TTipoOrigemChuva::Interpolacao &&
                             OrigemValePara(origem, chuva.K(), chuva.A(), chuva.B(), chuva.C());
    if (const auto consulta =
            interpolada ? RefazerConsulta(Opcoes.PastaPrograma + "../Arquivos Comuns", t.Latitude,
                                          t.Longitude, chuva.K(), chuva.A(), chuva.B(), chuva.C())
                        : std::nullopt;
        consulta && consulta->Interpolada) {
        const std::string estacoes = TextoOrigemConsulta(*consulta, ',');
        if (origem.Descricao.find(estacoes.substr(0, estacoes.find('\n'))) == std::string::npos)
            Linha("Estações da interpolação", EscaparLinhas(estacoes));
    }
    Linha("Equação IDF", "i = K · T<sup>a</sup> / (t + b)<sup>c</sup> (i em mm h⁻¹, T em anos, "
                         "t em min)");
    Dados(DadosCampos({CAMPO_K, CAMPO_A, CAMPO_B, CAMPO_C}));
    std::vector<TDado> tr = DadosCampos({CAMPO_TR_DIM, CAMPO_TR_ESP});
    tr.push_back({"Usar período de retorno equivalente", "", E.Equivalente ? "sim" : "não"});
    if (E.Equivalente)
        tr.push_back({"Período de retorno equivalente usado no espaçamento", "anos",
                      DecimalRelatorio("0.0#", PeriodoRetornoEspacamento(E))});
    Dados(tr);
    // A duração da chuva fora da faixa da equação vai com os outros avisos, nos resultados.
}

void TDocumento::LeitoEstrada() {
    Titulo("Leito da estrada");
    S << "<table border=\"0\" width=\"100%\"><tr><td width=\"70%\">";
    Linha("Seção transversal", "Seção " + std::to_string(E.IndSecao));
    Dados(
        DadosCampos({CAMPO_VIB_ESTRADA, CAMPO_ST_ESTRADA, CAMPO_COMP_ESTRADA, CAMPO_RUG_ESTRADA}));
    S << "</td><td width=\"30%\" align=\"center\">"
      << Figura("Figuras/Secao" + std::to_string(E.IndSecao) + ".bmp") << "</td></tr></table>";
}

void TDocumento::AreaExterna() {
    // Na seção 3 não há talude de corte: a área externa não entra no cálculo.
    if (!CampoAplicavel(CAMPO_COBERTURA_TALUDE, P)) return;
    Titulo("Área externa (talude de corte)");
    Dados(DadosCampos({CAMPO_VIB_TALUDE, CAMPO_ST_TALUDE, CAMPO_COMP_TALUDE, CAMPO_RUG_TALUDE}));
    if (!P.StrCoberVeg.empty()) Linha("Cobertura vegetal", EscaparHtml(P.StrCoberVeg));
}

void TDocumento::Canal() {
    Titulo("Canal da estrada");
    const bool trapezoidal = E.TipoCanal.Valor == CANAL_TRAPEZOIDAL;
    S << "<table border=\"0\" width=\"100%\"><tr><td width=\"70%\">";
    Dados(DadosCampos({CAMPO_Z_CANAL, CAMPO_B_CANAL, CAMPO_M1_CANAL, CAMPO_M2_CANAL, CAMPO_SC_CANAL,
                       CAMPO_RUG_CANAL, CAMPO_COMP_CANAL, CAMPO_APROFUNDAMENTO},
                      {{"Tipo", "", trapezoidal ? "trapezoidal" : "triangular"}}));
    S << "</td><td width=\"30%\" align=\"center\">"
      << Figura(trapezoidal ? "Figuras/CanTrap.bmp" : "Figuras/CanTri.bmp") << "</td></tr></table>";
}

void TDocumento::Solo() {
    Titulo("Solo");
    // A erodibilidade vai na unidade em que foi digitada, com todas as casas.
    Dados(DadosCampos({CAMPO_TENSAO_CRITICA, CAMPO_ERODIBILIDADE, CAMPO_DENSIDADE}));
}

void TDocumento::Bacia() {
    const auto& b = E.Bacia;
    Titulo("Bacia de acumulação");
    Dados(
        DadosCampos({CAMPO_PROF_BACIA, CAMPO_M1_BACIA, CAMPO_M2_BACIA},
                    {{"Dimensionar a bacia", "", b.CalcularVolume ? "sim" : "não"},
                     {"Formato", "",
                      b.Formato == TBaciaAcumulacao::RETANGULAR ? "Retangular" : "Semicircular"}}));

    const auto& c = b.CanalConducao;
    Titulo("Canal de condução");
    const bool trapezoidal = c.TipoCanal.Valor == CANAL_TRAPEZOIDAL;
    S << "<table border=\"0\" width=\"100%\"><tr><td width=\"70%\">";
    Dados(DadosCampos({CAMPO_Z_CONDUCAO, CAMPO_B_CONDUCAO, CAMPO_M1_CONDUCAO, CAMPO_M2_CONDUCAO,
                       CAMPO_SC_CONDUCAO, CAMPO_RUG_CONDUCAO},
                      {{"Tipo", "", trapezoidal ? "trapezoidal" : "triangular"}}));
    S << "</td><td width=\"30%\" align=\"center\">"
      << Figura(trapezoidal ? "Figuras/CanTrap.bmp" : "Figuras/CanTri.bmp") << "</td></tr></table>";
}

void TDocumento::Resultados() {
    S << "<hr><h2 align=\"center\">Resultados</h2>";
    Titulo("Resultados - Canal");
    Dados(DadosResultado(GrandezasCanal()));
    Linha("Curva de descarga do canal", EscaparHtml(TextoCurvaDescarga(P, Resultado, ',')));
    for (const TAviso& a : AvisosDoResultado(P, Resultado, ','))
        Aviso(EscaparHtml(a.Texto));

    Titulo("Balanço hídrico");
    for (const TLinhaBalanco& l : LinhasBalanco(P, Resultado, ',')) {
        std::string parcelas;
        for (std::size_t i = 0; i < l.Nomes.size(); ++i)
            parcelas += (i ? "; " : "") + l.Nomes[i] + " " + l.Valores[i];
        Linha(EscaparHtml(l.Parte + " (" + l.Unidade + ")"),
              EscaparHtml(parcelas + "; erro " + l.Erro));
    }
    S << "<p style=\"font-size:8pt\">Água que entrou, que saiu por cada caminho e que ficou, nos "
         "hidrogramas do cálculo do espaçamento (planos em litros por metro de canal); o erro é a "
         "parte da entrada que o esquema numérico perdeu ou criou.</p>";

    Titulo("Resultados - Bacia de acumulação");
    if (!Resultado.Bacia) {
        Linha("Dimensionamento da bacia", !E.Bacia.CalcularVolume ? "não pedido"
                                          : R.NenhumEspacamento
                                              ? "não feito: nenhum espaçamento atende"
                                              : "sem resultado");
        return;
    }
    Dados(DadosResultado(GrandezasBacia(E.Bacia.Formato == TBaciaAcumulacao::SEMICIRCULAR)));
    S << "<p style=\"font-size:8pt\">O volume escoado é o da chuva de dimensionamento que chega "
         "a um desaguadouro e a bacia acumula.</p>";
}

void TDocumento::Protecao() {
    const TResultadoProtecao* p = Opcoes.Protecao;
    if (!p) return;
    Titulo("Proteção do canal");
    S << "<p style=\"margin-top:2px; margin-bottom:4px\">Canal de " << p->Comprimento
      << " m com declividade " << ValorDigitado(p->Declividade) << " m/m; lâmina máxima "
      << DecimalRelatorio("0.0", p->LaminaMaxima)
      << " cm (a profundidade do canal menos a borda livre).</p>";
    static const char* const colunas[] = {"Alternativa",
                                          "Espaçamento<br>(m)",
                                          "Limitado por",
                                          "Desaguadouros<br>e bacias por km",
                                          "Lâmina<br>(cm)",
                                          "Velocidade<br>(m·s⁻¹)",
                                          "Tensão de<br>projeto (Pa)",
                                          "Tensão efetiva<br>máxima (Pa)",
                                          "Custo por km<br>(R$)",
                                          "Situação"};
    S << "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\" "
         "style=\"border-collapse:collapse\"><tr>";
    for (const char* c : colunas)
        S << "<th bgcolor=\"#e8e8e8\">" << c << "</th>";
    S << "</tr>";
    for (const TResultadoAlternativa& a : p->Alternativas) {
        S << "<tr><td>" << RotuloAlternativa(a.Alternativa) << "</td>";
        if (!a.Ok) {
            S << "<td colspan=\"9\">" << EscaparHtml(a.Erro) << "</td></tr>";
            continue;
        }
        const bool ha = !a.NenhumEspacamento;
        auto celula = [&](const std::string& v) { S << "<td align=\"center\">" << v << "</td>"; };
        celula(ha ? std::to_string(a.Espacamento) : "---");
        celula(ha ? TextoLimite(a.Limite) : "---");
        celula(ha ? DecimalRelatorio("0.0#", a.DesaguadourosPorKm) : "---");
        celula(ha ? DecimalRelatorio("0.0", a.Lamina) : "---");
        celula(ha ? DecimalRelatorio("0.00", a.Velocidade) : "---");
        celula(ha ? DecimalRelatorio("0.0", a.TensaoProjeto) : "---");
        celula(ha ? DecimalRelatorio("0.0", a.TensaoEfetiva) : "---");
        celula(a.CustoPorKm ? FormatFloat("#,##0.00", *a.CustoPorKm, ',', '.') : "---");
        S << "<td" << (a.MaisBarata ? " style=\"font-weight:bold\"" : "") << ">"
          << EscaparHtml(SituacaoAlternativa(a, p->LaminaMaxima, ',')) << "</td></tr>";
    }
    S << "</table><p style=\"font-size:8pt\">Tensão efetiva: a que chega ao solo (solo exposto e "
         "grama) ou ao revestimento (manta, pedra e concreto). Custo por km: o do revestimento por "
         "metro vezes 1000 mais os desaguadouros por km vezes o custo de um desaguadouro com a "
         "bacia.</p>";
}

void TDocumento::Graficos() {
    S << "<h3 style=\"margin-top:10px\">Gráficos</h3>";
    for (const std::string& svg : GraficosRelatorioEstrada(P, Resultado))
        S << "<p align=\"center\">" << svg << "</p>";
}

void TDocumento::TabelaSecoes() {
    static const char* const colunas[5] = {"Seção<br>(m)", "Lâmina<br>(cm)", "Vazão<br>(L·s⁻¹)",
                                           "Tensão máxima<br>(Pa)", "Perda de solo<br>(g·cm⁻²)"};
    // Os valores como a tabela de texto os guarda, com duas casas.
    const auto linhas = LinhasComoNaTabela(R.Secoes);
    const auto faixas = FaixasAcimaDaToleravel(R.Secoes, R.PerdaToleravel, R.Espacamento);
    const auto acima = [&](int secao) {
        for (const auto& f : faixas)
            if (secao >= f.Inicio && secao <= f.Fim) return true;
        return false;
    };

    Titulo("Resultados por seção");
    if (!faixas.empty())
        S << "<p style=\"margin-top:2px; margin-bottom:2px\"><span style=\"color:" << COR_ACIMA
          << "\">Em laranja</span>, seções dentro do espaçamento cuja perda excede a perda "
             "tolerável.</p>";
    S << "<p style=\"margin-top:2px; margin-bottom:4px\"><span style=\"color:" << COR_ALEM
      << "\">Em vermelho</span>, seções além do espaçamento máximo.</p>";
    S << "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\" "
         "style=\"border-collapse:collapse\"><thead><tr>";
    for (int vez = 0; vez < 2; ++vez)
        for (const char* c : colunas)
            S << "<th width=\"10%\" bgcolor=\"#e8e8e8\">" << c << "</th>";
    S << "</tr></thead><tbody>";
    bool meiaLinha = false;
    for (const auto& l : linhas) {
        if (!meiaLinha) S << "<tr>";
        const char* cor = l.Secao > R.Espacamento ? COR_ALEM : acima(l.Secao) ? COR_ACIMA : nullptr;
        const std::string valores[5] = {std::to_string(l.Secao), DecimalRelatorio("0.00", l.Lamina),
                                        DecimalRelatorio("0.00", l.Vazao),
                                        DecimalRelatorio("0.00", l.Tensao),
                                        DecimalRelatorio("0.00", l.Perda)};
        for (const auto& v : valores) {
            S << "<td align=\"center\"";
            if (cor) S << " style=\"color:" << cor << "\"";
            S << ">" << v << "</td>";
        }
        if (meiaLinha) S << "</tr>";
        meiaLinha = !meiaLinha;
    }
    if (meiaLinha) S << "<td></td><td></td><td></td><td></td><td></td></tr>";
    S << "</tbody></table>";
}

std::string TDocumento::Montar() {
    Cabeca();
    Identificacao();
    S << "<h2 align=\"center\">Dados de entrada</h2>";
    Chuva();
    LeitoEstrada();
    AreaExterna();
    Canal();
    Solo();
    Bacia();
    Resultados();
    Protecao();
    Graficos();
    TabelaSecoes();
    S << "</body></html>";
    return ParaDocumento(S.str());
}

TGraficoSvg Grafico(std::string titulo, std::string eixoX, std::string eixoY) {
    TGraficoSvg g;
    g.Titulo = std::move(titulo);
    g.TituloX = std::move(eixoX);
    g.TituloY = std::move(eixoY);
    return g;
}

// Uma grandeza das linhas por seção ao longo do canal.
TSerieGrafico SerieDasSecoes(std::string nome, std::string cor,
                             const std::vector<TLinhaSecao>& secoes, double TLinhaSecao::*campo,
                             bool tracejadaADireita = false) {
    TSerieGrafico s{std::move(nome), std::move(cor), {}, tracejadaADireita, tracejadaADireita};
    for (const auto& l : secoes)
        s.Pontos.push_back({double(l.Secao), l.*campo});
    return s;
}

// Fração do pico abaixo da qual a recessão longa deixa de ser desenhada: sem o corte, horas
// de vazão quase nula espremem o começo, que é o que interessa, num canto do gráfico.
constexpr double FRACAO_RECESSAO = 0.01;

// Último instante (min) em que a vazão passa da fração do pico; 0 sem vazão.
double FimDoHidrograma(const THidrograma& h) {
    double pico = 0, fim = 0;
    for (const auto& p : h.Pontos)
        pico = std::max(pico, p.Vazao);
    for (const auto& p : h.Pontos)
        if (p.Vazao > FRACAO_RECESSAO * pico) fim = p.Tempo;
    return fim;
}

std::vector<TPontoGrafico> Serie(const THidrograma& h, double ate) {
    std::vector<TPontoGrafico> p;
    for (const auto& ponto : h.Pontos)
        if (ponto.Tempo <= ate) p.push_back({ponto.Tempo, ponto.Vazao});
    return p;
}

} // namespace

std::vector<std::string> GraficosRelatorioEstrada(const TProjeto& projeto,
                                                  const TResultadoCalculo& resultado) {
    const TCanalEstrada& e = projeto.Estrada;
    const TResultadoEspacamento& r = resultado.Canal;
    const std::string espacamento = "Espaçamento máximo (" + std::to_string(r.Espacamento) + " m)";
    std::vector<std::string> graficos;

    TGraficoSvg perda =
        Grafico("Perda de solo ao longo do canal", "Seção (m)", "Perda de solo (g·cm⁻²)");
    perda.Series.push_back(
        SerieDasSecoes("Perda de solo estimada", "#1f4e9c", r.Secoes, &TLinhaSecao::Perda));
    perda.Linhas.push_back({"Perda tolerável", "#c00000", r.PerdaToleravel});
    // Sem espaçamento, nenhuma linha que o pareça.
    if (!r.NenhumEspacamento)
        perda.Linhas.push_back({espacamento, "#2e7d32", double(r.Espacamento), true});
    graficos.push_back(DesenharGraficoSvg(perda));

    TGraficoSvg tensao = Grafico("Tensão cisalhante máxima e lâmina ao longo do canal", "Seção (m)",
                                 "Tensão cisalhante máxima (Pa)");
    tensao.TituloYDireito = "Lâmina (cm)";
    tensao.Series.push_back(
        SerieDasSecoes("Tensão cisalhante máxima", "#1f4e9c", r.Secoes, &TLinhaSecao::Tensao));
    tensao.Series.push_back(SerieDasSecoes("Lâmina (eixo da direita)", "#7b3f00", r.Secoes,
                                           &TLinhaSecao::Lamina, true));
    tensao.Linhas.push_back({"Tensão crítica", "#c00000", e.TalCritica});
    if (!r.NenhumEspacamento)
        tensao.Linhas.push_back({espacamento, "#2e7d32", double(r.Espacamento), true});
    graficos.push_back(DesenharGraficoSvg(tensao));

    const bool talude = e.IndSecao != 3;
    double ate = FimDoHidrograma(resultado.HidrogramaEstrada);
    if (talude) ate = std::max(ate, FimDoHidrograma(resultado.HidrogramaTalude));
    if (resultado.Bacia) ate = std::max(ate, FimDoHidrograma(resultado.Bacia->HidrogramaProjeto));
    ate = ate > 0 ? ate * 1.1 : std::numeric_limits<double>::infinity();
    TGraficoSvg hidro = Grafico("Hidrogramas (recessão até 1 % do pico)", "Tempo (min)",
                                "Vazão por metro de canal (L·s⁻¹·m⁻¹)");
    hidro.Series.push_back(
        {"Leito da estrada", "#1f4e9c", Serie(resultado.HidrogramaEstrada, ate)});
    if (talude)
        hidro.Series.push_back(
            {"Área externa (talude de corte)", "#2e7d32", Serie(resultado.HidrogramaTalude, ate)});
    if (resultado.Bacia) {
        hidro.TituloYDireito = "Vazão na saída (L·s⁻¹)";
        hidro.Series.push_back({"Saída do canal no espaçamento, chuva de dimensionamento "
                                "(eixo da direita)",
                                "#c00000", Serie(resultado.Bacia->HidrogramaProjeto, ate), true,
                                true});
    }
    graficos.push_back(DesenharGraficoSvg(hidro));
    return graficos;
}

std::string MontarRelatorioEstrada(const TProjeto& projeto, const TResultadoCalculo& resultado,
                                   const TOpcoesRelatorioEstrada& opcoes) {
    if (projeto.Estrada.Leito.Planos.empty() || projeto.Estrada.AreaExterna.Planos.empty())
        throw EMorvendo("A encosta não tem trechos definidos.");
    return TDocumento(projeto, resultado, opcoes).Montar();
}

bool GerarRelatorio(const TProjeto& projeto, const TResultadoCalculo& resultado,
                    const TOpcoesRelatorioEstrada& opcoes, std::string& documento) {
    documento.clear();
    try {
        documento = MontarRelatorioEstrada(projeto, resultado, opcoes);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
