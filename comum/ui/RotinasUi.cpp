#include "comum/ui/RotinasUi.h"

#include <QLocale>
#include <QMessageBox>

#include "comum/EMorvendo.h"
#include "comum/Numeros.h"

char SeparadorDecimalUsuario() {
    const QString s = QLocale().decimalPoint();
    if (s.size() == 1 && s[0].unicode() < 128) return char(s[0].unicode());
    return '.';
}

QString FormatarNumero(const char* mascara, double valor) {
    return QString::fromStdString(FormatFloat(mascara, valor, SeparadorDecimalUsuario()));
}

void MostrarCaixaErro(QWidget* pai, const QString& mensagem) {
    QMessageBox caixa(QMessageBox::Critical, QStringLiteral("Morvendo"),
                      QString::fromStdString(ComPontoFinal(mensagem.toStdString())),
                      QMessageBox::Ok, pai);
    caixa.exec();
}
