#include "mainwindow/RotinasComuns.h"
#include "comum/EMorvendo.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "comum/Numeros.h"
#include "comum/ui/RotinasUi.h"

char SeparadorDecimal() {
    return SeparadorDecimalUsuario();
}

char SeparadorMilhar() {
    const char s = SeparadorMilharUsuario(',');
    // Um separador de milhar igual ao decimal não pode ser trocado por ele.
    return s == SeparadorDecimal() ? '\0' : s;
}

QString FormatarQ(const char* mascara, double valor) {
    return FormatarNumero(mascara, valor);
}

QString FormatarNaoNuloQ(const char* mascara, double valor) {
    return QString::fromStdString(FormatarNaoNulo(mascara, valor, SeparadorDecimal()));
}

double TextoParaRealQ(const QString& texto, double padrao) {
    return TextoParaReal(texto.toStdString(), padrao, SeparadorDecimal());
}

QString MensagemComPonto(const std::string& mensagem) {
    return QString::fromStdString(ComPontoFinal(mensagem));
}

void TFiltroNumerico::Instalar(QLineEdit* campo) {
    campo->installEventFilter(this);
}

bool TFiltroNumerico::eventFilter(QObject* alvo, QEvent* evento) {
    if (evento->type() != QEvent::KeyPress) return false;
    auto* tecla = static_cast<QKeyEvent*>(evento);
    auto* campo = qobject_cast<QLineEdit*>(alvo);
    const QString texto = tecla->text();
    // Atalhos e teclas de movimento não são caracteres digitados.
    if (!campo || texto.isEmpty() || !texto[0].isPrint() ||
        (tecla->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier)))
        return false;
    const QChar decimal = QLatin1Char(SeparadorDecimal());
    QChar c = texto[0];
    if (SeparadorMilhar() != '\0' && c == QLatin1Char(SeparadorMilhar())) c = decimal;
    if (c == decimal) {
        if (c != texto[0]) {
            campo->insert(QString(c));
            return true;
        }
        return false;
    }
    // O expoente e um segundo separador entram: "1e9" não vira "19" nem "1,2,3" vira "1,23";
    // o que não for número é recusado com a mensagem do campo.
    if (c == QLatin1Char('-') || c == QLatin1Char('+') || c == QLatin1Char('e') ||
        c == QLatin1Char('E') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
        return false;
    return true;
}
