#pragma once
#include <QString>

class QWidget;

// Separador decimal das configurações regionais do usuário (a vírgula no pt_BR); '.' quando
// o do sistema não é um caractere ASCII só.
char SeparadorDecimalUsuario();

// Separador de milhar do usuário; 'padrao' quando o do sistema não é um caractere ASCII só.
char SeparadorMilharUsuario(char padrao);

// Número pela máscara de FormatFloat, com o separador decimal do usuário (e o de milhar dado,
// para as máscaras que agrupam).
QString FormatarNumero(const char* mascara, double valor);
QString FormatarNumero(const char* mascara, double valor, char milhar);

// Número com 'casas' decimais fixas e o separador do usuário (marcas de eixo, tempos); o zero
// negativo sai sem sinal.
QString FormatarCasas(double valor, int casas);

// A caixa de erro do programa: título "Morvendo", ícone de parada e ponto final na mensagem.
void MostrarCaixaErro(QWidget* pai, const QString& mensagem);
