// O texto da ajuda diante do programa: o exemplo resolvido traz os números que o núcleo
// calcula para exemplos/Estrada.mvd, todo dado da página de dados tem faixa típica e fonte,
// os exemplos só usam coberturas que o diálogo produz e nenhum termo recusado aparece.
#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <cmath>

#include "ajuda/Ajuda.h"
#include "dialogs/TabelasParametros.h"
#include "engine/EncostaCinematica.h"
#include "engine/PerdaSolo.h"
#include "engine/Terreno.h"
#include "project/Calculo.h"
#include "project/Projeto.h"

#include "TermosRecusados.h"

namespace {

QString LerArquivo(const QString& caminho) {
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString TextoDaPagina(const QString& html) {
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText();
}

// Número como a ajuda o escreve: vírgula decimal, sem separador de milhares.
QString Num(double v, int casas) {
    return QString::number(v, 'f', casas).replace(u'.', u',');
}

// Os valores marcados na página: <span class="ex" title="chave">valor</span>.
QMap<QString, QString> ValoresMarcados(const QString& html) {
    QMap<QString, QString> r;
    static const QRegularExpression marca(
        QStringLiteral(R"re(<span class="ex" title="([A-Za-z0-9]+)">([^<]*)</span>)re"));
    for (auto it = marca.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const QString chave = m.captured(1);
        // A mesma chave pode aparecer mais de uma vez, sempre com o mesmo valor.
        if (r.contains(chave) && r[chave] != m.captured(2))
            r[chave] = QStringLiteral("(valores diferentes: %1 e %2)").arg(r[chave], m.captured(2));
        else
            r[chave] = m.captured(2);
    }
    return r;
}

// Os números do exemplo resolvido, calculados pelo núcleo como no programa.
QMap<QString, QString> NumerosDoExemplo() {
    QMap<QString, QString> n;
    TUnidades u;
    TProjeto p(u);
    ZerarVariaveis(p);
    if (!LerProjeto(p, MORVENDO_EXEMPLOS "/Estrada.mvd")) return n;
    if (ValidarDados(p).has_value()) return n;
    TCanalEstrada& e = p.Estrada;
    const TResultadoCalculo r = ExecutarCalculo(p, e.Comprimento(), nullptr);
    const TResultadoEspacamento& c = r.Canal;
    if (r.Situacao != TResultadoCalculo::Concluido || !r.Bacia) return n;

    // Chuva do espaçamento (o exemplo não usa o período equivalente).
    TPrecipitacaoExponencialNegativa& chuva = p.Chuva();
    chuva.Tr(e.TrEsp);
    const double i0 = chuva.IntensidadeInstantanea(0);
    n["I0"] = Num(i0, 1);
    const auto superficie = [&](const QString& nome, TEncostaCinematica& plano) {
        const double ia = AbstracaoInicial(plano);
        const double tIni = TempoAbstracaoInicial(plano, chuva);
        const double tFim = TempoFinalEscoamento(chuva, plano.Versao, plano.VIB());
        const double excessoSemIa = i0 - plano.VIB();
        const double excesso = chuva.IntensidadeInstantanea(tIni) - plano.VIB();
        n["CN" + nome] = QString::number(NumeroDeCurva(plano));
        n["Ia" + nome] = Num(ia, 2);
        n["Ini" + nome] = Num(tIni, 2);
        n["Fim" + nome] = Num(tFim, 1);
        n["Exc0" + nome] = Num(excessoSemIa, 1);
        n["Exc" + nome] = Num(excesso, 1);
        n["Queda" + nome] = Num(100 * (1 - excesso / excessoSemIa), 0);
    };
    superficie("Leito", e.Leito.Plano(0));
    superficie("Talude", e.AreaExterna.Plano(0));
    n["QpLeito"] = Num(r.HidrogramaEstrada.VazaoMaxima, 3);
    n["QpTalude"] = Num(r.HidrogramaTalude.VazaoMaxima, 3);
    n["VolLeito"] = Num(r.HidrogramaEstrada.Volume, 1);
    n["VolTalude"] = Num(r.HidrogramaTalude.Volume, 1);

    const double gamaS = GamaS(e.Sc);
    n["Yc"] = Num(100 * ProfundidadeCritica(e.TalCritica, gamaS), 2);
    n["Espacamento"] = QString::number(c.Espacamento);
    n["PerdaTol"] = Num(c.PerdaToleravel, 3);
    n["Perda"] = Num(c.PerdaSolo, 3);
    n["Tensao"] = Num(c.TensaoMax, 1);
    n["LaminaMax"] = Num(100 * c.TensaoMax / gamaS, 1);
    n["QMax"] = Num(c.QMax, 1);
    n["VolEsp"] = Num(c.Volume, 1);
    // Perfil da perda ao longo do canal e as seções além do espaçamento.
    int acimaAntes = 0, primeiraAcima = 0;
    for (const TLinhaSecao& s : c.Secoes) {
        if (s.Secao % 25 == 0 || s.Secao == c.Espacamento || s.Secao == c.Espacamento + 1) {
            n[QStringLiteral("P%1").arg(s.Secao)] = Num(s.Perda, 3);
            n[QStringLiteral("Q%1").arg(s.Secao)] = Num(s.Vazao, 1);
        }
        if (s.Perda > c.PerdaToleravel) {
            if (s.Secao < c.Espacamento) ++acimaAntes;
            if (primeiraAcima == 0) primeiraAcima = s.Secao;
        }
    }
    n["AcimaAntes"] = QString::number(acimaAntes);
    n["PrimeiraAcima"] = QString::number(primeiraAcima);
    n["VolBacia"] = Num(r.Bacia->VolumeEscoado, 1);
    n["QpBacia"] = Num(r.Bacia->VazaoMaxima, 1);
    n["ProfConducao"] = Num(r.Bacia->ProfundidadeCanal, 1);
    n["Raio"] = Num(r.Bacia->Raio, 2);
    return n;
}

} // namespace

class TesteTextoAjuda : public QObject {
    Q_OBJECT

    QString pasta;

private slots:
    void initTestCase() {
        pasta = Ajuda::Pasta();
        QVERIFY2(QFile::exists(QDir(pasta).filePath("index.html")), qPrintable(pasta));
    }

    // Cada número marcado do exemplo resolvido é o que o núcleo calcula, e todos os
    // números que o teste calcula estão na página.
    void exemploResolvidoTemOsNumerosDoPrograma() {
        const QMap<QString, QString> calculados = NumerosDoExemplo();
        QVERIFY2(calculados.size() > 30, "o exemplo não calculou");
        const QMap<QString, QString> naPagina =
            ValoresMarcados(LerArquivo(QDir(pasta).filePath("exemplo-estrada.html")));
        QStringList falhas;
        for (auto it = calculados.begin(); it != calculados.end(); ++it)
            if (naPagina.value(it.key()) != it.value())
                falhas << QStringLiteral("%1: programa %2, página %3")
                              .arg(it.key(), it.value(), naPagina.value(it.key(), "-"));
        for (auto it = naPagina.begin(); it != naPagina.end(); ++it)
            if (!calculados.contains(it.key())) falhas << it.key() + ": marcado sem conferência";
        for (const QString& f : falhas)
            qWarning("%s", qPrintable(f));
        QVERIFY2(falhas.isEmpty(), "números do exemplo diferentes dos do programa");
    }

    // Todo dado da página de dados tem, na página de valores típicos, uma faixa e uma fonte.
    void dadosTemFaixaEFonte() {
        const QString html = LerArquivo(QDir(pasta).filePath("valores-tipicos.html"));
        QMap<QString, QPair<QString, QString>> linhas;
        static const QRegularExpression linha(
            QStringLiteral(R"re(<tr><td>([^<]+)</td><td>(.*?)</td>\s*<td>(.*?)</td></tr>)re"),
            QRegularExpression::DotMatchesEverythingOption);
        for (auto it = linha.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            linhas[m.captured(1).simplified()] = {TextoDaPagina(m.captured(2)).simplified(),
                                                  TextoDaPagina(m.captured(3)).simplified()};
        }
        // Os campos numéricos e as escolhas das três abas, pelos nomes da ajuda.
        const QStringList dados = {"Taxa de infiltração estável do leito",
                                   "Declividade transversal do leito",
                                   "Semilargura (ou largura) do leito",
                                   "Rugosidade do leito",
                                   "Taxa de infiltração estável da área externa",
                                   "Declividade da área externa",
                                   "Comprimento da área externa",
                                   "Rugosidade da área externa",
                                   "Cobertura vegetal da área externa",
                                   "m1 e m2 (canal triangular)",
                                   "B (canal trapezoidal)",
                                   "Z (canal trapezoidal)",
                                   "Declividade do canal",
                                   "Rugosidade do canal",
                                   "Comprimento do canal",
                                   "Aprofundamento máximo",
                                   "Tensão crítica",
                                   "Erodibilidade",
                                   "Massa específica aparente",
                                   "Período de retorno do espaçamento e de dimensionamento",
                                   "K",
                                   "a",
                                   "b",
                                   "c",
                                   "Profundidade da bacia (H)",
                                   "m1 e m2 da bacia retangular",
                                   "m1, m2, Z e B do canal de condução",
                                   "Rugosidade do canal de condução",
                                   "Declividade do canal de condução"};
        QStringList falhas;
        for (const QString& d : dados) {
            if (!linhas.contains(d)) {
                falhas << d + ": sem linha";
                continue;
            }
            const auto& [faixa, fonte] = linhas[d];
            if (faixa.isEmpty()) falhas << d + ": sem faixa";
            if (fonte.size() < 15) falhas << d + ": sem fonte";
        }
        QVERIFY2(falhas.isEmpty(), qPrintable(falhas.join("\n")));
    }

    // Os exemplos só trazem coberturas que o diálogo da cobertura vegetal pode produzir.
    void exemplosUsamCoberturasDoDialogo() {
        const QStringList exemplos = QDir(MORVENDO_EXEMPLOS).entryList({"*.mvd"}, QDir::Files);
        QVERIFY(exemplos.size() >= 5);
        for (const QString& nome : exemplos) {
            TUnidades u;
            TProjeto p(u);
            ZerarVariaveis(p);
            QVERIFY2(LerProjeto(p, QDir(MORVENDO_EXEMPLOS).filePath(nome).toStdString()),
                     qPrintable(nome));
            const TTerreno& talude = p.Estrada.AreaExterna.Plano(0);
            const int uso = talude.Cobertura.UsoTerra.Indice;
            const int trat = talude.Cobertura.Tratamento.Indice;
            const int cond = talude.Cobertura.CondicaoHidrologica.Indice;
            const TReacaoUsoTerra reacao = ReacaoUsoTerra(uso);
            const bool tratamentoPossivel =
                uso == 5 ? trat == 0
                         : trat >= 1 && trat <= 3 && reacao.TratamentoHabilitado[trat - 1];
            const bool condicaoPossivel =
                uso == 0 ? cond == 0
                         : cond >= 1 && cond <= 3 && reacao.CondicaoHabilitada[cond - 1];
            QVERIFY2(tratamentoPossivel && condicaoPossivel,
                     qPrintable(QStringLiteral("%1: uso %2, tratamento %3, condição %4")
                                    .arg(nome)
                                    .arg(uso)
                                    .arg(trat)
                                    .arg(cond)));
            QVERIFY2(NumeroDeCurva(talude) > 0, qPrintable(nome));
        }
    }

    // Nenhum termo recusado nas páginas (no texto como a janela o mostra) nem no README.
    void semTermosRecusados() {
        QStringList falhas;
        for (const QString& pagina : QDir(pasta).entryList({"*.html"}, QDir::Files))
            falhas << TermosRecusados(pagina,
                                      TextoDaPagina(LerArquivo(QDir(pasta).filePath(pagina))));
        const QString readme = LerArquivo(MORVENDO_RAIZ "/README.md");
        QVERIFY(!readme.isEmpty());
        falhas << TermosRecusados("README.md", readme);
        for (const QString& f : falhas)
            qWarning("%s", qPrintable(f));
        QVERIFY2(falhas.isEmpty(), "termos recusados na ajuda ou no README");
    }

    // O padrão de cada termo acha a forma recusada e deixa passar a aceita.
    void termosRecusadosReconhecidos() {
        const QStringList recusados = {
            "a Tie do leito", "4,04 / 4,05 g |", "Semi-circular",   "pastagem em fileiras retas",
            "do talude.",     "g/(cm²·min·Pa)",  "tempo de retorno"};
        for (const QString& t : recusados)
            QVERIFY2(!TermosRecusados("caso", t).isEmpty(), qPrintable(t));
        const QStringList aceitos = {"taxa de infiltração estável",
                                     "4,04 g/cm²",
                                     "semicircular",
                                     "pastagem com curvas de nível",
                                     "o talude de corte",
                                     "g·cm⁻²·min⁻¹·Pa⁻¹",
                                     "período de retorno",
                                     "Tiete",
                                     "2 gotas"};
        for (const QString& t : aceitos)
            QVERIFY2(TermosRecusados("caso", t).isEmpty(), qPrintable(t));
    }
};

QTEST_MAIN(TesteTextoAjuda)
#include "TesteTextoAjuda.moc"
