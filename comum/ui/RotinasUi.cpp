#include "comum/ui/RotinasUi.h"

#include <QLocale>
#include <QMessageBox>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"

namespace {

char PrimeiroAscii(const QString& s, char padrao) {
    return s.size() == 1 && s[0].unicode() < 128 ? char(s[0].unicode()) : padrao;
}

} // namespace

char SeparadorDecimalUsuario() {
    return PrimeiroAscii(QLocale().decimalPoint(), '.');
}

char SeparadorMilharUsuario(char padrao) {
    return PrimeiroAscii(QLocale().groupSeparator(), padrao);
}

QString FormatarNumero(const char* mascara, double valor) {
    return QString::fromStdString(FormatFloat(mascara, valor, SeparadorDecimalUsuario()));
}

QString FormatarNumero(const char* mascara, double valor, char milhar) {
    return QString::fromStdString(FormatFloat(mascara, valor, SeparadorDecimalUsuario(), milhar));
}

QString FormatarCasas(double valor, int casas) {
    QString t = QString::number(valor, 'f', casas);
    if (t.startsWith(QLatin1Char('-')) && t.toDouble() == 0) t.remove(0, 1);
    return t.replace(QLatin1Char('.'), QLatin1Char(SeparadorDecimalUsuario()));
}

void MostrarCaixaErro(QWidget* pai, const QString& mensagem) {
    QMessageBox caixa(QMessageBox::Critical, QStringLiteral("Morvendo"),
                      QString::fromStdString(ComPontoFinal(mensagem.toStdString())),
                      QMessageBox::Ok, pai);
    caixa.exec();
}
