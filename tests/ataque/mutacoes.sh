#!/usr/bin/env bash
# Ataque por projetos mutados: cada valor de cada chave dos projetos dados é trocado por
# valores extremos e o projeto é calculado pela linha de comando. Falha quando uma execução
# reescreve o projeto, imprime um número não finito, sai com 0 e um resultado não finito,
# passa de 10 s ou dá uma mensagem em inglês ou que não diz o que está errado.
# Uso: mutacoes.sh MORVENDO_CALC PROJETO.mvd... (saída: uma linha por falha; status 1 se houver)
# Com SEM_CHAVE=arquivo, as recusas da leitura que não dizem "[seção] chave" vão para o arquivo
# (a contagem sai no fim), para medir se cada recusa nomeia o que está errado.
set -uo pipefail
calc=$1
shift
valores=(0 -1 1e-320 1e308 -1e308 nan inf 2147483647 -2147483648 '' abc 1e9 0,5)
trabalho=$(mktemp -d)
trap 'rm -rf "$trabalho"' EXIT
falhas=0 execucoes=0 recusas=0 semChave=0
[ -n "${SEM_CHAVE:-}" ] && : > "$SEM_CHAVE"
ingles='error|invalid|denied|bad_alloc|std::|exception|is not a valid|too long|No such'
vagas='^Deu erro|ponto flutuante|^O cálculo terminou sem resultados'
for projeto in "$@"; do
    mapfile -t linhas < "$projeto"
    secao=""
    for i in "${!linhas[@]}"; do
        linha=${linhas[$i]%$'\r'}
        [[ $linha == \[*\] ]] && secao=${linha:1:-1}
        [[ $linha == *=* && $linha != \[* ]] || continue
        chave=${linha%%=*}
        [[ $chave == Versao || $chave == path* ]] && continue
        for v in "${valores[@]}"; do
            m="$trabalho/p.mvd"
            { for j in "${!linhas[@]}"; do
                  if [ "$j" = "$i" ]; then printf '%s=%s\r\n' "$chave" "$v"
                  else printf '%s\n' "${linhas[$j]}"; fi
              done; } > "$m"
            cp "$m" "$trabalho/antes.mvd"
            rm -f "$trabalho/Relatorio.txt"
            (cd "$trabalho" && LC_ALL=C timeout 10 "$calc" p.mvd > out.txt 2> err.txt)
            s=$?
            execucoes=$((execucoes + 1))
            onde="$(basename "$projeto") linha $((i + 1)) $chave=$v"
            motivo=""
            if ! cmp -s "$m" "$trabalho/antes.mvd"; then motivo="projeto reescrito"
            elif [ $s -eq 124 ]; then motivo="passou de 10 s"
            elif grep -qiE '(^|[^a-z])(inf|nan)([^a-z]|$)' "$trabalho/out.txt"; then
                motivo="número não finito: $(grep -iE 'inf|nan' "$trabalho/out.txt" | head -1)"
            elif [ -f "$trabalho/Relatorio.txt" ] && grep -qiE 'inf|nan' "$trabalho/Relatorio.txt"
            then motivo="tabela com número não finito"
            elif [ $s -ne 0 ] && grep -qE "$ingles" "$trabalho/err.txt"; then
                motivo="mensagem em inglês: $(head -1 "$trabalho/err.txt")"
            elif [ $s -ne 0 ] && grep -qE "$vagas" "$trabalho/err.txt" &&
                ! grep -q "Verifique" "$trabalho/err.txt"; then
                motivo="mensagem vaga: $(head -1 "$trabalho/err.txt")"
            elif [ $s -ne 0 ] && [ ! -s "$trabalho/err.txt" ]; then motivo="falhou sem mensagem"
            elif [ $s -gt 2 ]; then motivo="saída $s: $(head -1 "$trabalho/err.txt")"
            fi
            # Recusa antes do cálculo (nada na saída): deve dizer a seção e a chave mudadas,
            # ou o dado como a tela o chama (a verificação dos valores antes do cálculo).
            if [ -n "${SEM_CHAVE:-}" ] && [ $s -ne 0 ] && [ ! -s "$trabalho/out.txt" ]; then
                recusas=$((recusas + 1))
                if ! grep -qF "[$secao] $chave" "$trabalho/err.txt"; then
                    semChave=$((semChave + 1))
                    echo "$onde [$secao]: $(head -1 "$trabalho/err.txt")" >> "$SEM_CHAVE"
                fi
            fi
            if [ -n "$motivo" ]; then
                echo "$onde: $motivo"
                falhas=$((falhas + 1))
            fi
        done
    done
done
echo "$execucoes execuções, $falhas falhas" >&2
[ -n "${SEM_CHAVE:-}" ] && echo "$recusas recusas, $semChave sem [seção] chave" >&2
[ $falhas -eq 0 ]
