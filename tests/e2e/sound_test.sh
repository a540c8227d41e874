#!/usr/bin/env bash
# Sound reaching the device from the real game: libmikmod plays the title
# music, mixed by the game's driver inside SDL's audio callback; SDL's "disk"
# driver writes what the callback gives it into a file instead of a sound
# card. The file must hold seconds of music, not silence. Which effect plays
# when, and how the music and the effects sound, are the unit tests' part.
source "$(dirname "$0")/lib.sh"
raw=$SHOTS/sound.raw
# 16-bit stereo at 44.1 kHz, as the game opens the device.
bytes_per_second=176400
export SDL_AUDIODRIVER=disk
SDL_DISKAUDIOFILE=$raw
[[ -z "${GAME_RUNNER:-}" ]] || SDL_DISKAUDIOFILE=$(WINEDEBUG=-all winepath -w "$raw")
export SDL_DISKAUDIOFILE

start_game
# The disk driver writes at the pace of a sound card.
heard() {
    SAW="$(stat -c %s "$raw" 2>/dev/null || echo 0) bytes"
    [[ -f $raw ]] && (($(stat -c %s "$raw") >= 4 * bytes_per_second))
}
wait_for "4 s of sound written" heard
quit_game

# Loudness of each tenth of a second (root mean square of both channels).
read -r loud total < <(od -An -v -td2 -w4 "$raw" | awk '
    { sum += $1 * $1 + $2 * $2; n++ }
    n == 4410 { if (sqrt(sum / (2 * n)) > 300) loud++; total++; sum = 0; n = 0 }
    END { print loud + 0, total + 0 }')
((loud >= 25)) || fail "only $loud of $total tenths of a second carry sound"
echo "ok: $loud of $total tenths of a second of the title music carry sound"
