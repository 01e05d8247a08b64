#!/usr/bin/env bash
# Instala o que falta, compila e executa o Morvendo com o projeto de exemplo.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
bash "$raiz/scripts/dependencias.sh"
cmake -S "$raiz" -B "$raiz/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVENDO_TESTES=OFF
cmake --build "$raiz/build" -j2
cd "$raiz"
exec "$raiz/build/Morvendo/morvendo-calc" "${1:-$raiz/exemplos/Estrada.mvd}"
