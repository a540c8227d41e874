#!/usr/bin/env bash
# With no display and no explicit headless driver the game does not run
# invisibly: it fails at once with exit code 1 and says why.
set -euo pipefail
out=$(mktemp)
start=$(date +%s%N)
rc=0
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$GAME" 2>"$out" || rc=$?
ms=$(( ($(date +%s%N) - start) / 1000000 ))
[[ $rc -eq 1 ]] || { echo "FAIL: exit code $rc, want 1"; cat "$out"; exit 1; }
(( ms < 2000 )) || { echo "FAIL: took $ms ms"; exit 1; }
grep -q '^ERROR: Failed To Register The Window Class\.$' "$out" ||
    { echo "FAIL: no error message"; cat "$out"; exit 1; }
echo "ok: exit 1 after $ms ms with the error"
