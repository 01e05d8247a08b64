#pragma once
// Termos recusados: cada grandeza tem um nome só em toda parte (ajuda, README, janela,
// relatório e linha de comando), a unidade da erodibilidade uma notação e a perda de solo é
// massa por área de fundo.
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>

struct TTermoRecusado {
    const char* Padrao;
    const char* NomeCerto;
};
inline const TTermoRecusado TERMOS_RECUSADOS[] = {
    {R"(\bTie\b)", "taxa de infiltração estável"},
    {R"(\bVIB\b)", "taxa de infiltração estável"},
    {"velocidade de infiltração básica", "taxa de infiltração estável"},
    {"tempo de retorno", "período de retorno"},
    {"densidade (aparente|do solo|do canal)", "massa específica aparente"},
    {R"(\btalude\b(?! de corte))", "área externa (talude de corte)"},
    {"perda (de solo )?(permissível|admissível|provocada)", "perda tolerável / perda estimada"},
    {"comprimento recomendado", "espaçamento máximo"},
    {R"(g ?/ ?\(cm|cm2)", "g·cm⁻²·min⁻¹·Pa⁻¹"},
    {R"(\d g(?![/·\w]))", "g/cm²"},
    {"gramas? [^.]{0,30}arrancadas", "arrancados"},
    {"não marcam", "não marca"},
    {"capacidade[^.]{0,60}é o da chuva", "a capacidade … é a da chuva"},
    {"escascalhad", "encascalhado / margens de pedra"},
    {"semi-", "semicircular / semilargura"},
    {"fileiras estreitas", "de semeadura densa"},
    {"pastagem[^.;\n]{0,40}fileiras retas", "pastagem sem curvas de nível"},
    {"(?-i)Obter Ajuda Sobre", "Obter ajuda sobre…"},
    {"Deu erro", "uma mensagem que diga o que falhou"},
};

inline QStringList TermosRecusados(const QString& onde, const QString& texto) {
    QStringList r;
    for (const TTermoRecusado& t : TERMOS_RECUSADOS) {
        const QRegularExpression re(QString::fromUtf8(t.Padrao),
                                    QRegularExpression::CaseInsensitiveOption);
        for (auto it = re.globalMatch(texto); it.hasNext();) {
            const auto m = it.next();
            r << QStringLiteral("%1: \"%2\" em \"…%3…\" (use %4)")
                     .arg(
                         onde, m.captured(0),
                         texto.mid(std::max<qsizetype>(0, m.capturedStart() - 30), 80).simplified(),
                         QString::fromUtf8(t.NomeCerto));
        }
    }
    return r;
}

