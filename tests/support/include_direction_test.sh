#!/usr/bin/env bash
# Includes between the product's folders run one way, down this list: a
# folder may include only the folders listed below it (its rank is lower).
# An arrow back up, or across between equals, fails with the line that
# draws it.
set -euo pipefail
cd "$1"
declare -A rank=([catalogue]=0 [render]=1 [audio]=1 [pieces]=2 [levels]=3 [game]=4 [app]=5)
bad=0
for from in "${!rank[@]}"; do
    while IFS=: read -r file line text; do
        to=${text#*\"}
        to=${to%%/*}
        [[ -v rank[$to] && $to != "$from" ]] || continue
        if ((rank[$to] >= rank[$from])); then
            echo "$file:$line: $from includes $to, which is not below it" >&2
            bad=1
        fi
    done < <(grep -rnE '^#include "[a-z]+/' "$from" --include='*.h' --include='*.cpp' --include='*.c' || true)
done
exit "$bad"
