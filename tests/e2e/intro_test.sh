#!/usr/bin/env bash
# The intro screen shows after start, and its prompt blinks: some screenshots
# show it and some do not, and none shows anything else in its place. (How
# soon the intro shows is a figure of the benchmarks.)
source "$(dirname "$0")/lib.sh"
pictures 85 126

start_game
wait_for "intro picture" shows intro 0 0 85

shown=0 hidden=0 n=0
blinked() {
    shot blink || return 1
    n=$((n + 1))
    local d
    d=$(picture_diff blink 16 50 126)
    if awk -v d="$d" 'BEGIN { exit !(d < 0.04) }'; then
        shown=$((shown + 1))
    elif awk -v d="$d" 'BEGIN { exit !(d > 0.2) }'; then
        hidden=$((hidden + 1))
    else
        fail "prompt region of shot $n neither shown nor hidden (differs by $d)"
    fi
    SAW="prompt shown in $shown and hidden in $hidden of $n shots"
    ((shown > 0 && hidden > 0))
}
wait_for "prompt both shown and hidden" blinked

quit_game
echo "ok: intro shown; prompt shown in $shown and hidden in $hidden of $n shots"
