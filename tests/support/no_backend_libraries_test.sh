#!/usr/bin/env bash
# The pieces and the rules run without a screen or a sound card: their test
# programs load no OpenGL, SDL or libmikmod library, and carry no libmikmod
# code (it is linked statically, so ldd cannot see it). A backend linked in
# by way of an interface target shows here before it shows as a slow, flaky
# or display-bound unit test.
#   no_backend_libraries_test.sh PROGRAM...
# Exit code 77 (skipped) where there is no ldd to ask.
set -euo pipefail
command -v ldd >/dev/null || { echo "skipped: no ldd"; exit 77; }
status=0
for program in "$@"; do
    found=$(ldd "$program" | grep -oE 'lib(GL|GLU|GLX|EGL|OpenGL|SDL2|mikmod)[-.][^ ]*' | sort -u || true)
    # grep reads all of nm's output: with -q it would stop early, and the pipe
    # would fail with nm's SIGPIPE.
    if command -v nm >/dev/null && nm "$program" | grep -E ' T (MikMod_Init|Player_Load)$' >/dev/null; then
        found+=" libmikmod.a"
    fi
    if [[ -n "$found" ]]; then
        echo "FAIL: $(basename "$program") loads $(echo "$found" | tr '\n' ' ')"
        status=1
    else
        echo "ok: $(basename "$program") loads no backend library"
    fi
done
exit "$status"
