#pragma once
#include <QString>

class QWidget;

// Separador decimal das configurações regionais do usuário (a vírgula no pt_BR); '.' quando
// o do sistema não é um caractere ASCII só.
char SeparadorDecimalUsuario();

// Número pela máscara de FormatFloat, com o separador decimal do usuário.
QString FormatarNumero(const char* mascara, double valor);

// A caixa de erro do programa: título "Morvendo", ícone de parada e ponto final na mensagem.
void MostrarCaixaErro(QWidget* pai, const QString& mensagem);
