#!/usr/bin/env bash
# With both music modules gone the effects still sound. The game's sound goes
# to a file through SDL's disk driver; level 1 starts in silence, and after a
# few turns of the piece the capture holds the rotation effect.
source "$(dirname "$0")/lib.sh"
src=$(dirname "$GAME")
work=$(mktemp -d)
trap 'cleanup; rm -rf "$work"' EXIT
mkdir -p "$work/game"
cp "$GAME" "$src/BrikResource.dat" "$src"/*_mono.wav "$work/game/"
capture="$work/capture.raw"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$capture"
pictures 188

# Largest magnitude among the signed 16-bit samples of the capture from byte $1 on.
peak_from() {
    tail -c +$(($1 + 1)) "$capture" | od -An -v -td2 -w2 |
        awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }'
}

GAME="$work/game/duobrik" start_game "$work/game"
key space
playing() { shot play && picture_at play 50 7 188; }
poll 60 playing || fail "no score digits within 60 s of a key on the intro"
[[ -s "$capture" ]] || poll 60 test -s "$capture" || fail "nothing captured from the disk driver"
# Whole stereo frames of 16-bit samples: 4 bytes each.
before=$(($(stat -c %s "$capture") / 4 * 4))
quiet=$(peak_from 0 | tail -1)
((quiet == 0)) || fail "no music, no effect yet, but the capture peaks at $quiet"

for _ in 1 2 3 4 5 6; do
    hold Up 0.1
    sleep 0.2
done
heard() { (($(peak_from "$before") > 1000)); }
poll 60 heard || fail "six turns and the capture after them peaks at $(peak_from "$before")"

key Escape
wait_exit 60
[[ "$EXIT_CODE" == "0" ]] || fail "exit code after Escape: $EXIT_CODE"
echo "ok: without music a turn is heard (capture peak $(peak_from "$before") after the keys, 0 before)"
