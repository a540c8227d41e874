#!/usr/bin/env bash
# A game lost on purpose: pieces dropped straight down until one no longer
# fits. The game-over picture shows and stays until a key; the key fades out
# and brings back the intro screen.
source "$(dirname "$0")/lib.sh"
need xset
pictures 85 188 198
xset r off # each press is one key-down: no repeat may end the wait by itself

start_game
wait_for "intro picture" shows intro 0 0 85
key space
wait_for "score digits" shows play 50 7 188

# How high the stack stands, in rows, as seen in a shot: the board's rows that
# show squares, read from the top; the first run of them is the falling piece,
# and the stack starts at the next. Where no empty row parts the two, the piece
# counts as stack: never less than the stack.
stack_rows() {
    convert "$SHOTS/$1.png" -crop 200x400+60+60 +repage -separate -evaluate-sequence max \
        -threshold 50% -scale 1x20! -depth 16 txt:- |
        sed -n 's/^0,\([0-9]*\): (\([0-9.]*\).*/\1 \2/p' |
        awk '{ lit[$1] = $2 / 65535 > 0.02 }
             END {
                 for (t = 0; t < 20 && !lit[t]; t++) {}
                 for (b = t; b < 20 && lit[b]; b++) {}
                 for (g = b; g < 20 && !lit[g]; g++) {}
                 print (g < 20 ? 20 - g : 20 - t)
             }'
}

# Down drops pieces only while the stack is low: a press that reached the
# game after the last piece no longer fitted would be the key that ends the
# game-over wait. A piece stands at most two rows high as it comes, so on a
# stack of twelve rows the pressed piece and one more that lands meanwhile
# reach sixteen, and the next piece still fits into rows 18 and 19. Above
# that the pieces fall by themselves.
last_change_ms=$(now_ms) last_board=""
lost() {
    shot over || return 1
    picture_at over 64 379 198 && return 0
    local rows board
    rows=$(stack_rows over)
    board="$(board_box over) $rows"
    SAW="stack at most $rows rows high, no game-over picture"
    if [[ "$board" != "$last_board" ]]; then
        last_board=$board
        last_change_ms=$(now_ms)
    fi
    ((rows > 12)) || hold Down 0.4
    (($(now_ms) - last_change_ms < change_wait_ms)) ||
        fail "the board stood still for $((change_wait_ms / 1000)) s; $SAW"
    return 1
}
# The deadline that counts is the one above, on a board standing still: the
# game lasts as long as its pieces take to pile up.
change_wait_ms=$((WAIT_S * 1000))
WAIT_S=$((WAIT_S * 10)) wait_for "game-over picture" lost

# It waits for a key: longer than a fade-out, still there.
sleep 2.5
shows over 64 379 198 || fail "the game-over picture went away without a key: $SAW"
# Held until the intro shows: a press and release within one frame would
# cancel out.
xdotool keydown --window "$WINDOW" space
wait_for "intro after a key on the game-over picture" shows back 0 0 85
xdotool keyup --window "$WINDOW" space

quit_game
echo "ok: lost, game over waited for a key, intro came back"
