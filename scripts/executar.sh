#!/usr/bin/env bash
# Instala o que falta, compila e abre o Morvendo (com o projeto dado, se houver).
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
bash "$raiz/scripts/dependencias.sh"
cmake -S "$raiz" -B "$raiz/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVENDO_TESTES=OFF
cmake --build "$raiz/build" -j2
cd "$raiz"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Sem tela gráfica: calculando ${1:-exemplos/Estrada.mvd} pela linha de comando."
    exec "$raiz/build/Morvendo/morvendo-calc" "${1:-$raiz/exemplos/Estrada.mvd}"
fi
exec "$raiz/build/Morvendo/morvendo" "$@"
