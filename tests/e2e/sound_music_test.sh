#!/usr/bin/env bash
# What the game plays, written to a file by SDL's disk audio driver: the
# title tune on the title screen and the play music in level 1 both sound,
# at the level they are mixed to.
source "$(dirname "$0")/lib.sh"
pictures 188

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$SHOTS/sound.raw"
# 16-bit stereo at 44.1 kHz.
BYTES_PER_SECOND=176400
bytes() { stat -c %s "$SDL_DISKAUDIOFILE" 2>/dev/null || echo 0; }
# Waits until the recording holds $1 bytes more than it did at byte $2.
recorded() { (($(bytes) >= $2 + $1)); }

start_game
poll 60 recorded $((6 * BYTES_PER_SECOND)) 0 || fail "not 6 s of sound within 60 s of start"
title_end=$(bytes)

key space
playing() { shot play && picture_at play 50 7 188; }
poll 60 playing || fail "no play screen within 60 s of a key on the title"
play_start=$(bytes)
poll 60 recorded $((6 * BYTES_PER_SECOND)) "$play_start" || fail "not 6 s of sound in level 1"
play_end=$(bytes)
key Escape
wait_exit 30
[[ "$EXIT_CODE" == "0" ]] || fail "exit code after Escape: $EXIT_CODE"

# The tunes are mixed to about -18 dBFS; their openings are a little softer.
echo -n "title: "
/usr/bin/python3 "$(dirname "$0")/sound.py" level "$SDL_DISKAUDIOFILE" $BYTES_PER_SECOND "$title_end" -27 -13 ||
    fail "the title tune"
echo -n "level 1: "
/usr/bin/python3 "$(dirname "$0")/sound.py" level "$SDL_DISKAUDIOFILE" "$play_start" "$play_end" -27 -13 ||
    fail "the play music"
echo "ok: the title tune and level 1's music sound at their levels"
