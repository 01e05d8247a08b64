#include "reports/uRelatorioEstrada.h"

#include <sstream>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"
#include "comum/Win1252.h"
#include "idf/EstacoesUsuario.h"
#include "idf/ReferenciasIdf.h"
#include "idf/VerificacaoIdf.h"
#include "reports/RelatorioTexto.h"

std::string EscaparHtml(std::string_view texto) {
    std::string r;
    r.reserve(texto.size());
    for (const char c : texto) {
        switch (c) {
        case '&':
            r += "&amp;";
            break;
        case '<':
            r += "&lt;";
            break;
        case '>':
            r += "&gt;";
            break;
        default:
            r += c;
        }
    }
    return r;
}

std::string DecimalRelatorio(const char* mascara, double valor) {
    return FormatFloat(mascara, valor, ',');
}

std::vector<double> DuracoesChuvaDoProjeto(const TProjeto& projeto, double K, double a, double b,
                                           double c) {
    const auto& e = projeto.Estrada;
    std::vector<double> infiltracoes;
    if (e.Estrada.NumSecoes() > 0) infiltracoes.push_back(e.Estrada.Secao(0).VIB());
    if (e.Talude.NumSecoes() > 0) infiltracoes.push_back(e.Talude.Secao(0).VIB());
    return DuracoesChuvaProjeto(K, a, b, c, e.TrEsp, infiltracoes);
}

namespace {

// A pasta do programa vai dentro de um atributo entre aspas.
std::string EscaparAtributo(std::string_view texto) {
    std::string r;
    for (const char c : EscaparHtml(texto)) {
        if (c == '"')
            r += "&quot;";
        else
            r += c;
    }
    return r;
}

std::string Espacos(int n) {
    return std::string(std::size_t(n), ' ');
}

// Lado de um talude ou parede digitado como m: o motor guarda o inverso.
double Reciproco(double v) {
    return v != 0 ? 1 / v : 0;
}

class TDocumento {
public:
    TDocumento(const TProjeto& projeto, const TResultadoCalculo& resultado,
               const TOpcoesRelatorioEstrada& opcoes)
        : P(projeto), E(projeto.Estrada), R(resultado.Canal),
          RB(resultado.Bacia ? *resultado.Bacia : SemBacia),
          Pasta(EscaparAtributo(opcoes.PastaPrograma)), Opcoes(opcoes) {}

    std::string Montar();

private:
    // Célula de dado de entrada ou de resultado: rótulo em negrito, o que vem entre ele e o
    // valor (a unidade e os dois-pontos) e o valor.
    void CelulaTexto(const char* largura, const std::string& rotulo, const std::string& meio,
                     const std::string& valor, int colspan = 0) {
        S << "<td width=\"" << largura << "\"";
        if (colspan) S << " colspan=\"" << colspan << "\"";
        S << "><font size=\"2\"><b>" << rotulo << "</b>" << meio << valor << "</font></td>";
    }
    void Celula(const char* largura, const std::string& rotulo, const std::string& unidade,
                const std::string& valor, int colspan = 0) {
        CelulaTexto(largura, rotulo, unidade + ": ", valor, colspan);
    }
    void CelulaVazia(const char* largura) { S << "<td width=\"" << largura << "\"></td>"; }

    void TituloBloco(const std::string& titulo) {
        S << "<TR>"
          << "<TD width=\"710\"><B><font size=\"3\">" << titulo << "</font></B></TD>"
          << "</TR>";
    }
    void AbrirBloco() {
        S << "<TR>"
          << "<TD width=\"710\">"
          << "<div align=\"right\">"
          << "<table border=\"0\" width=\"98%\">";
    }
    void FecharBloco() {
        S << "</table>"
          << "</div>"
          << "</TD>"
          << "</TR>";
    }

    std::string Figura(const std::string& nome) const {
        return "<img border=\"0\" src=\"" + Pasta + nome + "\" width=\"161\" height=\"48\">";
    }

    void Cabeca();
    void Chuva();
    void Canal();
    void Solo();
    void LeitoEstrada();
    void SecaoCorte();
    void Bacia();
    void CanalConducao();
    void Resultados();
    void ResultadosBacia();
    void TabelaSecoes();

    // Sem dimensionamento os resultados da bacia saem zerados.
    static inline const TResultadoBacia SemBacia{};

    const TProjeto& P;
    const TCanalEstrada& E;
    const TResultadoEspacamento& R;
    const TResultadoBacia& RB;
    const std::string Pasta;
    const TOpcoesRelatorioEstrada& Opcoes;
    std::ostringstream S;
};

void TDocumento::Cabeca() {
    S << "<HTML>"
      << "<HEAD>"
      << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
      << "<TITLE>RELAT&Oacute;RIO DE MORVENDO</TITLE>"
      << "</HEAD>";
    S << "<FONT FACE=\"Arial\"><FONT COLOR=\"#000099\"><FONT SIZE=-2>Data de emissão do "
         "relatório: "
      << EscaparHtml(Opcoes.Data) << "</FONT></FONT></FONT>"
      << "<P>";
    S << "<BODY TEXT=\"#000000\" LINK=\"#0000FF\" VLINK=\"#800080\" ALINK=\"#FF0000\">";
    S << "<CENTER><IMG SRC=\"" << Pasta << "Cabecalho.jpg\" HEIGHT=67 WIDTH=550></CENTER>";
    S << "<div align=\"center\">"
      << "<center>"
      << "<HR WIDTH=\"718\">"
      << "<TABLE WIDTH=\"718\">"
      << "<TR>"
      << "<TD ALIGN=CENTER width=\"100%\"><B><font color=\"#003300\" face=\"Times New "
         "Roman,Times\" size=\"5\">RELAT&Oacute;RIO&nbsp;"
      << "DE MORVENDO</font></B></TD>"
      << "</TR>"
      << "</TABLE>"
      << "</center>"
      << "</div>"
      << "<HR WIDTH=\"718\">";
    S << "<div align=\"center\">"
      << "<center>"
      << "<TABLE COLS=3 WIDTH=\"718\" >"
      << "<TR>"
      << "<TD width=\"710\" align=\"center\"> <b><font size=\"4\">Dados de entrada</font></b></TD>"
      << "</TR>";
}

void TDocumento::Chuva() {
    const auto& t = P.Tarsio1;
    const auto& chuva = t.Precipitacao();
    TituloBloco("Par&acirc;metros da equa&ccedil;&atilde;o de chuvas intensas");
    AbrirBloco();
    S << "<tr>";
    Celula("33%", "Estado", "", EscaparHtml(t.StrEstado), 2);
    Celula("33%", "Localidade", "", EscaparHtml(t.StrCidade), 2);
    CelulaVazia("34%");
    S << "</tr><tr>";
    Celula("33%", "Latitude", "", EscaparHtml(t.Latitude), 2);
    Celula("33%", "Longitude", "", EscaparHtml(t.Longitude), 2);
    CelulaVazia("34%");
    S << "</tr><tr>";
    Celula("17%", "Parâmetros", "", "");
    Celula("16%", "K", "", DecimalRelatorio("0.0", chuva.K()));
    Celula("17%", "a", "", DecimalRelatorio("0.000", chuva.A()));
    Celula("16%", "b", "", DecimalRelatorio("0.000", chuva.B()));
    Celula("34%", "c", "", DecimalRelatorio("0.000", chuva.C()));
    S << "</tr><tr>";
    Celula("33%", "Período de retorno", " (anos)", "", 2);
    Celula("33%", "Dimensionamento", "", FormatFloat("0", E.TrDim), 2);
    Celula("34%", "Espaçamento", "", FormatFloat("0", E.TrEsp));
    S << "</tr>";
    // Origem da equação, quando é a de uma estação publicada.
    if (const TInfoEstacaoIdf* e =
            ProcurarInfoEstacao(t.Autoria(), chuva.K(), chuva.A(), chuva.B(), chuva.C())) {
        std::string fonte = e->DoUsuario ? e->Fonte : e->Chave;
        if (const TReferencia* r = ProcurarReferencia(e->Chave))
            fonte = r->Autores + ". " + r->Titulo + ". " + r->Publicacao;
        S << "<tr>";
        Celula("100%", "Estação", "",
               EscaparHtml(e->Estacao + " (" + e->Uf + ")" +
                           (e->DoUsuario ? MarcaEstacaoUsuario : "")),
               5);
        S << "</tr><tr>";
        Celula("100%", "Fonte", "", EscaparHtml(fonte), 5);
        S << "</tr><tr>";
        Celula(
            "100%", "Verificação", "",
            EscaparHtml(e->DoUsuario ? TextoVerificacaoUsuario : TextoVerificacao(e->Verificacao)),
            5);
        S << "</tr><tr>";
        Celula("100%", "Faixa de durações da equação", "", EscaparHtml(TextoFaixaDuracoes(*e)), 5);
        S << "</tr>";
        const auto aviso = AvisoFaixaDuracoes(
            *e, DuracoesChuvaDoProjeto(P, chuva.K(), chuva.A(), chuva.B(), chuva.C()));
        if (!aviso.empty())
            S << "<tr><td width=\"100%\" colspan=\"5\"><font size=\"2\" color=\"#990000\"><b>"
              << EscaparHtml(aviso) << "</b></font></td></tr>";
    }
    FecharBloco();
}

void TDocumento::Canal() {
    TituloBloco("Canal");
    AbrirBloco();
    S << "<tr>";
    const bool trapezoidal = E.TipoCanal.Valor == CANAL_TRAPEZOIDAL;
    if (trapezoidal) {
        S << "<td width=\"32%\"><font size=\"2\"><b>Tipo</b>: trapezoidal</font></td>";
        Celula("15%", "Z", "", DecimalRelatorio("0.0", E.Z.Valor));
        Celula("19%", "B", "", DecimalRelatorio("0.0", E.B()));
    } else {
        // O motor guarda m1 e 1/m2; o relatório mostra o que o usuário digitou.
        S << "<td width=\"32%\"><font size=\"2\"><b>Tipo</b>: triangular</font></td>";
        Celula("15%", "m1", "", DecimalRelatorio("0.0", E.Z.Valor));
        Celula("19%", "m2", "", DecimalRelatorio("0.0", Reciproco(E.Sm.Valor)));
    }
    S << "<td width=\"34%\" rowspan=\"3\"><p align=\"center\"><font size=\"2\">"
      << Figura(trapezoidal ? "Figuras/CanTrap.bmp" : "Figuras/CanTri.bmp") << "</font></p>"
      << "</td>";
    S << "</tr><tr>";
    CelulaTexto("66%", "Declividade longitudinal", "  (m m<sup>-1</sup>):" + Espacos(10),
                DecimalRelatorio("0.0000", E.Sc), 3);
    S << "</tr><tr>";
    Celula("66%", "Rugosidade", " (s m<sup>-1/3</sup>)", DecimalRelatorio("0.0000", E.nc.Valor), 3);
    S << "</tr>";
    FecharBloco();
}

void TDocumento::Solo() {
    TituloBloco("Solo");
    AbrirBloco();
    S << "<tr>";
    Celula("50%", "Tensão crítica de cisalhamento", " (Pa)",
           DecimalRelatorio("0.00", E.TalCritica));
    // A erodibilidade vai na unidade em que foi digitada e com as casas que precisar: os
    // valores usuais (milésimos) sairiam 0,00 com duas casas fixas.
    Celula("50%", "Erodibilidade", " (" + EscaparHtml(P.Unidades.UnidadeErodibilidade) + ")",
           DecimalRelatorio("0.00####", E.Erodibilidade));
    S << "</tr><tr>";
    Celula("50%", "Densidade aparente", " (g cm<sup>-3</sup>)",
           DecimalRelatorio("0.00", E.Densidade));
    Celula("50%", "Aprofundamento máximo", " (cm)", DecimalRelatorio("0.0", E.Aprofundamento));
    S << "</tr>";
    FecharBloco();
}

void TDocumento::LeitoEstrada() {
    const auto& leito = E.Estrada.Secao(0);
    // O mesmo rótulo do campo da largura na página de dados.
    const char* rotuloLargura = E.IndSecao == 2 ? "Largura" : "Semi-largura";
    std::string nbsp;
    for (int i = 0; i < 23; ++i)
        nbsp += "&nbsp;";
    TituloBloco("Estrada");
    AbrirBloco();
    S << "<tr>";
    Celula("66%", rotuloLargura, " (m)", FormatFloat("0", leito.Comprimento()) + nbsp, 2);
    S << "<td width=\"34%\" rowspan=\"2\"><p align=\"center\"><font size=\"2\">"
      << Figura("Figuras/Secao" + std::to_string(E.IndSecao) + ".bmp") << "</font></p>"
      << "</td>";
    S << "</tr><tr>";
    Celula("37%", "Taxa de infiltração estável", " (mm h<sup>-1</sup>)",
           DecimalRelatorio("0.0", leito.VIB()));
    Celula("29%", "Rugosidade", " (s m<sup>-1/3</sup>)", DecimalRelatorio("0.000", leito.nt.Valor));
    S << "</tr>";
    FecharBloco();
}

void TDocumento::SecaoCorte() {
    const auto& talude = E.Talude.Secao(0);
    TituloBloco("Seção de corte");
    AbrirBloco();
    S << "<tr>";
    Celula("38%", "Largura", " (m)", FormatFloat("0", talude.Comprimento()));
    Celula("62%", "Declividade", " (m m<sup>-1</sup>)", DecimalRelatorio("0.00", talude.St()));
    S << "</tr><tr>";
    Celula("38%", "Taxa de infiltração estável", " (mm h<sup>-1</sup>)",
           DecimalRelatorio("0.0", talude.VIB()));
    Celula("62%", "Rugosidade", " (s m<sup>-1/3</sup>)",
           DecimalRelatorio("0.000", talude.nt.Valor));
    S << "</tr><tr>";
    Celula("100%", "Cobertura vegetal", "", EscaparHtml(P.StrCoberVeg), 2);
    S << "</tr>";
    FecharBloco();
}

void TDocumento::Bacia() {
    const auto& b = E.Bacia;
    TituloBloco("Bacia de acumulação");
    AbrirBloco();
    S << "<tr>";
    Celula("42%", "Profundidade", " (m)", DecimalRelatorio("0.0", b.Profundidade));
    if (b.Formato == TBaciaAcumulacao::RETANGULAR)
        S << "<td width=\"29%\"><font size=\"2\"><b>Formato</b>: Retangular</font>"
          << "<td width=\"29%\"><font size=\"2\"><b>m1</b>: " << DecimalRelatorio("0.00", b.m1)
          << "      <b>m2</b>: " << DecimalRelatorio("0.00", b.m2) << "</font>";
    else
        S << "<td width=\"58%\"><font size=\"2\"><b>Formato</b>: Circular</font>";
    S << "</td>"
      << "</tr>";
    FecharBloco();
}

void TDocumento::CanalConducao() {
    const auto& c = E.Bacia.CanalConducao;
    const auto celula = [this](const char* largura, const char* estilo, const std::string& texto) {
        S << "<td width=\"" << largura << "\" valign=top style=width:" << estilo
          << "><font size=\"2\"><p>" << texto << "</p></td>";
    };
    S << "<TR>"
      << "<TD width=\"710\">"
      << "<div align=\"right\">"
      << "<table border=0 cellspacing=0 cellpadding=0 width=\"98%\">";
    S << "<tr>";
    const bool trapezoidal = c.TipoCanal.Valor == CANAL_TRAPEZOIDAL;
    if (trapezoidal) {
        celula("33%", "33.34%", "<b>Tipo do canal</b>: trapezoidal");
        celula("16%", "16.66%",
               "<span class=GramE><b>Z</b></span>: " + DecimalRelatorio("0.0", c.Z.Valor));
        celula("16%", "16.66%",
               "<span class=GramE><b>B</b></span>: " + DecimalRelatorio("0.0", c.B()));
    } else {
        // No canal de condução o motor guarda 1/m1 e 1/m2.
        celula("33%", "33.34%", "<b>Tipo do canal</b>: triangular");
        celula("16%", "16.66%",
               "<span class=GramE><b>m1</b></span>: " +
                   DecimalRelatorio("0.0", Reciproco(c.Z.Valor)));
        celula("16%", "16.66%",
               "<span class=GramE><b>m2</b></span>: " +
                   DecimalRelatorio("0.0", Reciproco(c.Sm.Valor)));
    }
    S << "<td width=\"33%\" rowspan=2 valign=top style=width:33.34%>"
      << "<p>" << Figura(trapezoidal ? "Figuras/CanTrap.bmp" : "Figuras/CanTri.bmp") << "</p>"
      << "</td>";
    S << "</tr><tr>";
    celula("33%", "33.34%",
           "<b>Declividade</b> (m m<sup>-1</sup>):" + DecimalRelatorio("0.0000", c.Sc));
    S << "<td width=\"33%\" colspan=2 valign=top style=width:33.32%><font size=\"2\">"
      << "<p><b>Rugosidade</b> (s m<sup>-1/3</sup>): " << DecimalRelatorio("0.0000", c.nc.Valor)
      << "</p>"
      << "</td>";
    S << "</tr>"
      << "</table>";
}

void TDocumento::Resultados() {
    S << "<hr width=\"718\">"
      << "<div align=\"center\">"
      << "<center>"
      << "<table border=\"0\" width=\"718\">"
      << "<tr><td align=\"center\"><b><font size=\"4\">Resultados</font></b></td></tr>"
      << "<tr><td><b><font size=\"3\">Canais de drenagem</font></b></td></tr>"
      << "<tr>"
      << "<td>"
      << "<div align=\"right\">"
      << "<table border=\"0\" width=\"98%\">";
    S << "<tr>";
    Celula("100%", "Tensão cisalhante máxima na" + Espacos(16) + "seção crítica", " (Pa)",
           DecimalRelatorio("0.0", R.TensaoMax), 2);
    S << "</tr><tr>";
    Celula("47%", "Perda de solo permissível", " (g cm<sup>-2</sup>)",
           DecimalRelatorio("0.0", R.PerdaToleravel));
    Celula("53%", "Perda de solo provocada", " (g cm<sup>-2</sup>)",
           DecimalRelatorio("0.0", R.PerdaSolo));
    S << "</tr><tr>";
    Celula("47%", "Volume escoado", " (m<sup>3</sup>)", DecimalRelatorio("0.0", R.Volume));
    CelulaTexto("53%", "Vazão máxima", " (L s<sup>-1</sup>):" + Espacos(16),
                DecimalRelatorio("0.0", R.QMax));
    S << "</tr><tr>";
    Celula("47%", "Comprimento recomendado", " (m)", DecimalRelatorio("0.0", R.Espacamento));
    CelulaVazia("53%");
    S << "</tr>";
    S << "</table>"
      << "</div>"
      << "</td>"
      << "</tr>";
}

void TDocumento::ResultadosBacia() {
    const auto& b = E.Bacia;
    S << "<tr><td><b><font size=\"3\">Bacias de acumulação</font></b></td></tr>"
      << "<tr>"
      << "<td>"
      << "<div align=\"right\">"
      << "<table border=\"0\" width=\"98%\">"
      << "<tr>";
    Celula("47%", "&nbsp;Profundidade", " (m)", DecimalRelatorio("0.0", b.Profundidade));
    if (b.Formato == TBaciaAcumulacao::RETANGULAR) {
        Celula("53%", "Comprimento", " (m)", DecimalRelatorio("0.0", RB.Comprimento));
        Celula("53%", "Largura", " (m)", DecimalRelatorio("0.0", RB.Largura));
    } else {
        Celula("53%", "Raio", " (m)", DecimalRelatorio("0.0", RB.Raio));
    }
    S << "</tr>"
      << "</table>"
      << "</div>";
    S << "<div align=\"right\">"
      << "<table border=\"0\" width=\"98%\">"
      << "<tr>";
    Celula("47%", "Capacidade de acumulação", " (m<sup>3</sup>)",
           DecimalRelatorio("0.0", RB.VolumeEscoado), 5);
    Celula("53%", "Profundidade do canal", " (cm)", DecimalRelatorio("0.0", RB.ProfundidadeCanal));
    S << "</tr>"
      << "<tr> </tr>"
      << "</table>"
      << "</div>"
      << "</td>"
      << "</tr>"
      << "</table>"
      << "</center>"
      << "</div>";
}

void TDocumento::TabelaSecoes() {
    struct TColuna {
        const char* largura;
        const char* titulo;
        const char* unidade;
    };
    static const TColuna colunas[5] = {{"90", "Seção", "(m)"},
                                       {"157", "Lâmina", "(cm)"},
                                       {"106", "Vazão", "(L s<sup>-1</sup>)"},
                                       {"157", "Tensão máxima", "(Pa)"},
                                       {"144", "Perda de solo", "(g cm<sup>-2</sup>)"}};
    // Os valores como a tabela de texto os guarda, com duas casas.
    const auto linhas = LinhasComoNaTabela(R.Secoes);

    S << "<div align=\"center\">"
      << "<center>"
      << "<table border=\"0\" width=\"686\">"
      << "<tr></tr>";
    for (const bool unidade : {false, true}) {
        S << "<tr>";
        for (int vez = 0; vez < 2; ++vez)
            for (const auto& c : colunas)
                S << "<td align=\"center\" width=\"" << c.largura << "\"><b><font size=\"2\">"
                  << (unidade ? c.unidade : c.titulo) << "</font></b></td>";
        S << "</tr>";
    }
    bool meiaLinha = false;
    for (const auto& l : linhas) {
        if (!meiaLinha) S << "<tr>";
        const char* cor = l.Secao > R.Espacamento ? "color=\"#FF0000\" " : "";
        const std::string valores[5] = {std::to_string(l.Secao), DecimalRelatorio("0.0", l.Lamina),
                                        DecimalRelatorio("0.0", l.Vazao),
                                        DecimalRelatorio("0.0", l.Tensao),
                                        DecimalRelatorio("0.0", l.Perda)};
        for (int i = 0; i < 5; ++i)
            S << "<td align=\"center\" width=\"" << colunas[i].largura << "\"><font " << cor
              << "size=\"2\">" << valores[i] << "</font></td>";
        if (meiaLinha) S << "</tr>";
        meiaLinha = !meiaLinha;
    }
    if (meiaLinha) S << "</tr>";
    S << "<tr> </tr>"
      << "</table>"
      << "</center>"
      << "</div>"
      << "</BODY>"
      << "</HTML>";
}

std::string TDocumento::Montar() {
    Cabeca();
    Chuva();
    Canal();
    Solo();
    LeitoEstrada();
    SecaoCorte();
    Bacia();
    CanalConducao();
    Resultados();
    ResultadosBacia();
    TabelaSecoes();
    return win1252::DeUtf8(S.str());
}

} // namespace

std::string MontarRelatorioEstrada(const TProjeto& projeto, const TResultadoCalculo& resultado,
                                   const TOpcoesRelatorioEstrada& opcoes) {
    if (projeto.Estrada.Estrada.Secoes.empty() || projeto.Estrada.Talude.Secoes.empty())
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
