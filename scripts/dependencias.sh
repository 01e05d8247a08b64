#!/usr/bin/env bash
# Instala, pelo apt-get, os pacotes do Debian que faltam para compilar e testar o Morvendo.
set -euo pipefail

pacotes=(
    build-essential cmake ninja-build pkg-config file locales
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-dev
    qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
    qt6-image-formats-plugins qt6-translations-l10n xauth xvfb
    fonts-dejavu-core fonts-liberation2
    poppler-utils libgsl-dev libgdal-dev
)

faltam=()
for p in "${pacotes[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltam+=("$p")
done

if [ ${#faltam[@]} -gt 0 ]; then
    echo "Instalando: ${faltam[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -q
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${faltam[@]}"
fi
