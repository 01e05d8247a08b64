#include "engine/uPersistencia.h"

namespace {
char GSeparador = '.';
}

char SeparadorDecimalLocal() { return GSeparador; }
void DefinirSeparadorDecimalLocal(char separador) { GSeparador = separador; }
