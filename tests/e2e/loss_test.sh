#!/usr/bin/env bash
# A game lost on purpose: pieces dropped straight down with Down until one no
# longer fits. The game-over picture shows and stays until a key; the key
# fades out and brings back the intro screen.
source "$(dirname "$0")/lib.sh"
pictures 85 198
xset r off # each press is one key-down: no repeat may end the wait by itself

start_game
sleep 0.3
key space
sleep 0.5
# The game-over picture (192x43) is centred on (160, 400).
game_over() { shot over && picture_at over 64 379 198; }
pieces=0
until game_over; do
    ((pieces < 60)) || fail "no game-over picture after $pieces drops"
    hold Down 0.4
    pieces=$((pieces + 1))
done

# It waits for a key: longer than a fade-out, still there.
sleep 2.5
game_over || fail "the game-over picture went away without a key"
hold space
intro() { shot back && picture_at back 0 0 85; }
poll 6 intro || fail "no intro screen within 6 s of a key after the loss"

key Escape
wait_exit 5
[[ "$EXIT_CODE" == "0" ]] || fail "exit code after Escape: $EXIT_CODE"
echo "ok: lost after $pieces drops, game over waited for a key, intro came back"
