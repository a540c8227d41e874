#!/usr/bin/env bash
# Any key starts level 1 (its score digits show); the falling piece moves
# down over time, and held Left and Right steer it to either wall. (Where
# everything lies on the screen is the unit tests' golden frame; how far one
# short press moves the piece depends on how the presses fall between
# frames, which the rules' tests count on a scripted clock.)
source "$(dirname "$0")/lib.sh"
need xset
pictures 85 188
xset r off # one key-down per press, however long it is held

start_game
wait_for "intro picture" shows intro 0 0 85
key space
wait_for "score digits" shows play 50 7 188

# The falling piece: its box in the board, in whole columns.
read -r w h x0 y0 < <(board_box play)
((w >= 18 && h >= 18)) || fail "no falling piece in the board (box ${w}x$h)"
fallen() {
    shot fall && read -r _ _ _ y < <(board_box fall) || return 1
    SAW="piece top at y $y, from $y0"
    ((y >= y0 + 20))
}
wait_for "piece a row lower" fallen

# Columns of a box's edges, to the nearest: a slide draws the piece between two.
column() { echo $(((($1 - 60) + 10) / 20)); }
at_wall() {
    local w x
    shot side && read -r w _ x _ < <(board_box side) || return 1
    SAW="squares in columns $(column "$x") to $(column $((x + w)))"
    if [[ $1 == left ]]; then
        (($(column "$x") == 0))
    else
        (($(column $((x + w))) == 10))
    fi
}
xdotool keydown --window "$WINDOW" Left
wait_for "piece at the left wall with Left held" at_wall left
xdotool keyup --window "$WINDOW" Left
xdotool keydown --window "$WINDOW" Right
wait_for "piece at the right wall with Right held" at_wall right
xdotool keyup --window "$WINDOW" Right
quit_game

echo "ok: level 1 started; the piece fell and steered to both walls"
