#!/usr/bin/env bash
# Monta o pacote .deb a partir de uma compilação pronta, instala-o numa raiz de rascunho com
# dpkg -x e verifica que os programas instalados funcionam: a linha de comando calcula um
# exemplo e a janela principal abre o mesmo exemplo e o calcula, sem tela.
# Uso: testar-pacote.sh PASTA_DA_COMPILACAO
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$raiz/build}" && pwd)
rascunho=$(mktemp -d)
trap 'rm -rf "$rascunho"' EXIT

(cd "$build" && cpack -G DEB -B "$rascunho/pacote" > "$rascunho/cpack.log") || {
    cat "$rascunho/cpack.log"; exit 1; }
deb=$(ls "$rascunho"/pacote/morvendo_*.deb)
echo "Pacote: $(basename "$deb")"
dpkg-deb --info "$deb" | grep -E "Package|Version|Depends" | sed 's/^/  /'
dpkg -x "$deb" "$rascunho/raiz"
usr="$rascunho/raiz/usr"

for f in bin/morvendo-calc lib/morvendo/Morvendo/morvendo-calc \
         lib/morvendo/Morvendo/morvendo_mapa.so \
         "lib/morvendo/Arquivos Comuns/Estados_Tar21.bin" share/applications/morvendo.desktop \
         share/mime/packages/morvendo.xml share/icons/hicolor/scalable/apps/morvendo.svg; do
    [ -e "$usr/$f" ] || { echo "Falta no pacote: $f"; exit 1; }
done

cd "$rascunho"
cp "$usr/share/doc/morvendo/exemplos/Estrada.mvd" .
"$usr/bin/morvendo-calc" Estrada.mvd --json > resultado.json
grep -q '"Espacamento": 88' resultado.json || { echo "Cálculo errado pelo programa instalado"; exit 1; }
# --estrada carrega o módulo do mapa (GDAL): a mensagem do arquivo que falta vem de dentro dele.
"$usr/bin/morvendo-calc" Estrada.mvd --estrada falta.gpx > /dev/null 2> estrada.txt || true
grep -q "O arquivo falta.gpx não existe." estrada.txt || {
    cat estrada.txt; echo "O módulo do mapa instalado não carregou"; exit 1; }
"$usr/bin/morvendo-calc" --idf "27°11'36\"" "53°15'02\"" > /dev/null 2>&1 || [ $? -eq 1 ]

if [ -e "$usr/lib/morvendo/Morvendo/morvendo" ]; then
    QT_QPA_PLATFORM=offscreen "$usr/bin/morvendo" --verificar Estrada.mvd > janela.txt 2>&1 || {
        cat janela.txt; echo "A janela principal instalada não calculou o exemplo"; exit 1; }
    cat janela.txt
fi
echo "Pacote instalado e verificado."
