#!/usr/bin/env bash
# A crafted WAV file as every effect: an odd-sized chunk whose pad byte is
# followed by what a loader that forgets the padding takes for a 16 MiB data
# chunk, and the real data chunk further on. The game plays level 1 with it
# (turns and touch-downs sound it), quits on Escape and exits with 0.
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
at_exit 'rm -rf "$work"'
mkdir -p "$work/game"
cp "$GAME" "$GAME_DIR/BrikResource.dat" "$GAME_DIR/devils.mod" "$GAME_DIR/three.mod" "$work/game/"
pictures 85 188

le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
le32() {
    le16 $(($1 & 65535))
    le16 $(($1 >> 16))
}
# RIFF/WAVE, mono 16-bit PCM at 8 kHz; "junk" of size 1 and its byte; the
# phantom "data" header of size 0x01000000 and a zero; 65,536 zero bytes;
# then the real data chunk: 2000 frames of a square wave.
crafted() {
    printf 'RIFF'
    le32 69590
    printf 'WAVEfmt '
    le32 16
    le16 1; le16 1; le32 8000; le32 16000; le16 2; le16 16
    printf 'junk'
    le32 1
    printf '?data\x00\x00\x00\x01\x00'
    head -c 65536 /dev/zero
    printf 'data'
    le32 4000
    for _ in $(seq 20); do
        printf '\x00\x50%.0s' $(seq 50)
        printf '\x00\xb0%.0s' $(seq 50)
    done
}
crafted >"$work/crafted.wav"
size=$(stat -c %s "$work/crafted.wav")
((size == 69598)) || fail "the crafted file has $size bytes, not 69598"
for f in rotate_mono 1line_mono 2lines_mono 3lines_mono 4lines_mono touched_mono; do
    cp "$work/crafted.wav" "$work/game/$f.wav"
done

alive() { kill -0 "$GAME_PID" 2>/dev/null || fail "the game died $1"; }
GAME="$work/game/$(basename "$GAME")" start_game "$work/game"
wait_for "intro picture" shows intro 0 0 85
key space
wait_for "score digits" shows play 50 7 188
# A key sent to a window that is gone fails; the check after it says why.
for _ in 1 2 3; do
    hold Up 0.1 || true
    sleep 0.3
done
alive "after turns that play the crafted effect"
# Down held drops pieces onto the floor, each touch-down playing it again.
hold Down 4 || true
sleep 1
alive "after touch-downs that play the crafted effect"
quit_game
echo "ok: the crafted WAV as every effect plays level 1 and the game exits with 0"
