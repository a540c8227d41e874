#!/usr/bin/env bash
# With both music modules gone the effects still sound. The game's sound goes
# to a file through SDL's disk driver: the title screen is silent, and after
# a few turns of the piece in level 1 the capture holds the rotation effect.
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
# A second of the title screen, which has no effects, and no music to play.
second() { (($(stat -c %s "$capture" 2>/dev/null || echo 0) >= 176400)); }
poll 60 second || fail "less than a second of sound captured within 60 s"
quiet=$(peak_from 0)
((quiet == 0)) || fail "no music and no effect, but the capture peaks at $quiet"

key space
playing() { shot play && picture_at play 50 7 188; }
poll 60 playing || fail "no score digits within 60 s of a key on the intro"
# Whole stereo frames of 16-bit samples: 4 bytes each.
before=$(($(stat -c %s "$capture") / 4 * 4))
for _ in 1 2 3 4 5 6; do
    hold Up 0.1
    sleep 0.2
done
heard() { (($(peak_from "$before") > 1000)); }
poll 60 heard || fail "six turns and the capture after them peaks at $(peak_from "$before")"

key Escape
wait_exit 60
[[ "$EXIT_CODE" == "0" ]] || fail "exit code after Escape: $EXIT_CODE"
echo "ok: without music a turn is heard (capture peak $(peak_from "$before") after the keys, 0 on the title)"
