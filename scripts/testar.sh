#!/usr/bin/env bash
# Instala o que falta, compila e roda todos os testes: a compilação normal e o núcleo com
# AddressSanitizer e UndefinedBehaviorSanitizer.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
bash "$raiz/scripts/dependencias.sh"

cmake -S "$raiz" -B "$raiz/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVENDO_TESTES=ON
cmake --build "$raiz/build" -j2
ctest --test-dir "$raiz/build" -j2 --output-on-failure
# O pacote .deb instala e os programas instalados funcionam.
bash "$raiz/scripts/testar-pacote.sh" "$raiz/build"

cmake -S "$raiz" -B "$raiz/build-san" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMORVENDO_TESTES=ON -DMORVENDO_SO_NUCLEO=ON -DMORVENDO_SANITIZADORES=ON
cmake --build "$raiz/build-san" -j2
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$raiz/build-san" -j2 --output-on-failure

# Alvos de fuzzing dos leitores de arquivo, alguns segundos cada.
bash "$raiz/tests/fuzz/fuzz.sh" 10 "$raiz/build-fuzz"
