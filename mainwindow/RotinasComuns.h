#pragma once
#include <QObject>
#include <QString>
#include <string>

class QLineEdit;

// Separadores das configurações regionais do usuário (a vírgula decimal no pt_BR).
char SeparadorDecimal();
char SeparadorMilhar();

// Máscaras e conversões dos campos, com o separador decimal do usuário.
QString FormatarQ(const char* mascara, double valor);
// Texto vazio para zero.
QString FormatarNaoNuloQ(const char* mascara, double valor);
// Padrão para texto vazio; erro de conversão para texto que não é número.
double TextoParaRealQ(const QString& texto, double padrao);

// Mensagem da caixa de erro: ponto final acrescentado quando o último caractere vem depois
// do ponto na ordem dos caracteres (letras e algarismos).
QString MensagemComPonto(const std::string& mensagem);

// Filtro das teclas dos campos numéricos: algarismos, sinais, expoente "e", o separador
// decimal (o de milhar vira decimal) e Backspace. Texto colado não passa por aqui.
class TFiltroNumerico : public QObject {
public:
    using QObject::QObject;
    void Instalar(QLineEdit* campo);

protected:
    bool eventFilter(QObject* alvo, QEvent* evento) override;
};
