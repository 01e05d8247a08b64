#!/usr/bin/env bash
# Compila os alvos libFuzzer dos leitores de arquivo (clang) e roda cada um por alguns
# segundos, partindo dos arquivos de teste. Uso: fuzz.sh [SEGUNDOS] [PASTA_DE_TRABALHO]
set -euo pipefail
segundos=${1:-10}
raiz=$(cd "$(dirname "$0")/../.." && pwd)
trabalho=${2:-$raiz/build-fuzz}
command -v clang++ >/dev/null || { echo "clang++ ausente: alvos de fuzzing não compilados"; exit 0; }
mkdir -p "$trabalho"
cd "$trabalho"

flags=(-std=c++20 -g -O1 -fsanitize=fuzzer-no-link,address,undefined -I"$raiz")
objetos=()
for f in "$raiz"/comum/*.cpp "$raiz"/engine/*.cpp "$raiz"/reports/*.cpp "$raiz"/idf/*.cpp \
         "$raiz"/project/*.cpp "$raiz"/geo/PerfilLinha.cpp; do
    o=$(basename "${f%.cpp}").o
    if [ ! -f "$o" ] || [ "$f" -nt "$o" ]; then clang++ "${flags[@]}" -c "$f" -o "$o" & fi
    objetos+=("$o")
    while [ "$(jobs -r | wc -l)" -ge 2 ]; do wait -n; done
done
wait

# Sementes achado_* são entradas que já derrubaram um leitor: rodam de novo a cada vez.
declare -A sementes=(
    [FuzzArquivoIni]="$raiz/tests/dados/referencia"
    [FuzzProjeto]="$raiz/tests/dados/referencia"
    [FuzzRelatorioTexto]="$raiz/tests/dados/referencia"
    [FuzzBancoEstacoes]=""
    [FuzzTabelaIdf]="$raiz/tests/dados/fuzz/tabela_idf"
    [FuzzTrechos]="$raiz/tests/dados/fuzz/trechos"
    [FuzzEstacoesUsuario]="$raiz/tests/dados/fuzz/estacoes_usuario"
    [FuzzSerieDiaria]="$raiz/tests/dados/fuzz/serie_diaria"
    [FuzzPerfilLinha]="$raiz/tests/dados/fuzz/perfil_linha"
    [FuzzCustos]="$raiz/tests/dados/fuzz/custos"
)
for alvo in FuzzArquivoIni FuzzProjeto FuzzRelatorioTexto FuzzBancoEstacoes FuzzTabelaIdf FuzzTrechos \
    FuzzEstacoesUsuario FuzzSerieDiaria FuzzPerfilLinha FuzzCustos; do
    # O ajuste da equação IDF, entre os objetos, usa a GSL.
    clang++ "${flags[@]}" -fsanitize=fuzzer "$raiz/tests/fuzz/$alvo.cpp" "${objetos[@]}" \
        -lgsl -lgslcblas -o "$alvo"
    mkdir -p "corpus-$alvo"
    [ -n "${sementes[$alvo]}" ] && cp -n "${sementes[$alvo]}"/* "corpus-$alvo/" 2>/dev/null || true
    echo "== $alvo ($segundos s)"
    ASAN_OPTIONS=detect_leaks=1 "./$alvo" -max_total_time="$segundos" -max_len=65536 \
        -print_final_stats=0 "corpus-$alvo" 2>&1 | tail -n 2
done
echo "fuzzing: nenhum defeito encontrado"
