#!/usr/bin/env bash
# The game beside missing or damaged data files: it starts, runs, starts a
# game on a key and quits on Escape with exit code 0, whatever it lacks.
# Without its picture file nothing visible is drawn.
source "$(dirname "$0")/lib.sh"
src=$(dirname "$GAME")
work=$(mktemp -d)
trap 'cleanup; rm -rf "$work"' EXIT
sounds=(devils.mod three.mod rotate_mono.wav 1line_mono.wav 2lines_mono.wav 3lines_mono.wav
    4lines_mono.wav touched_mono.wav)

# Copies the game and the named data files into a fresh folder.
setup() {
    rm -rf "$work/game"
    mkdir -p "$work/game"
    cp "$GAME" "$work/game/"
    for f in "$@"; do cp "$src/$f" "$work/game/"; done
}

# Runs the copy: a second on the intro, a key, a second of play, Escape.
run_copy() {
    local what=$1
    GAME="$work/game/$(basename "$GAME")" start_game "$work/game"
    sleep 1
    kill -0 "$GAME_PID" 2>/dev/null || fail "$what: the game died on the intro screen"
    shot "$2-intro"
    key space
    sleep 1
    kill -0 "$GAME_PID" 2>/dev/null || fail "$what: the game died in play"
    shot "$2-play"
    key Escape
    wait_exit 5
    [[ "$EXIT_CODE" == "0" ]] || fail "$what: exit code $EXIT_CODE"
}

# No picture file: nothing visible, on the intro nor in play.
setup "${sounds[@]}"
run_copy "without BrikResource.dat" nodat
for s in nodat-intro nodat-play; do
    lit=$(lit_fraction $s 320x480+0+0)
    [[ "$lit" == "0" ]] || fail "without BrikResource.dat something is drawn ($s: $lit lit)"
done

# No music and no sounds; then each of them garbage or cut short.
setup BrikResource.dat
run_copy "without modules and WAVs" nosound
setup BrikResource.dat
for f in "${sounds[@]}"; do head -c 3000 /dev/urandom >"$work/game/$f"; done
run_copy "with garbage modules and WAVs" garbagesound
setup BrikResource.dat "${sounds[@]}"
for f in "${sounds[@]}"; do truncate -s 100 "$work/game/$f"; done
run_copy "with truncated modules and WAVs" shortsound

# Damaged picture files: cut short, garbage, negative and huge sizes.
setup "${sounds[@]}"
head -c 40000 "$src/BrikResource.dat" >"$work/game/BrikResource.dat"
run_copy "with a truncated picture file" shortdat
setup "${sounds[@]}"
head -c 65536 /dev/urandom >"$work/game/BrikResource.dat"
run_copy "with a garbage picture file" garbagedat
setup "${sounds[@]}"
# one good 1x1 record, then width -5, height 3; then one claiming 2^31-1 square
printf '\001\000\000\000\001\000\000\000\377\377\377\377\373\377\377\377\003\000\000\000' \
    >"$work/game/BrikResource.dat"
head -c 64 /dev/urandom >>"$work/game/BrikResource.dat"
run_copy "with negative picture sizes" negdat
setup "${sounds[@]}"
printf '\377\377\377\177\377\377\377\177' >"$work/game/BrikResource.dat"
run_copy "with a huge picture size" hugedat
echo "ok: runs and quits cleanly without or with damaged pictures, modules and WAVs"
