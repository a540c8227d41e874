#!/usr/bin/env bash
# Any key starts level 1: the frame, the score "00000", the count columns and
# the preview are where they belong, compared with the pictures of the very
# data file the game read; the falling piece moves down over time, and held
# Left and Right steer it to either wall. (How far one short press moves it
# depends on how the presses fall between frames; the rules' tests count that
# on a scripted clock.)
source "$(dirname "$0")/lib.sh"
need xset
pictures 1 3 4 6 8 9 11 12 85 188 $(seq 199 205) $(seq 213 219)
xset r off # one key-down per press, however long it is held

start_game
wait_for "intro picture" shows intro 0 0 85
key space
wait_for "score digits" shows play 50 7 188

# The piece first, while it is high in the empty board; the layout is checked
# afterwards on the first shot.
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

# The frame: corners at their size, the sides and edges stretched. The bar of
# rows still to clear (x 262..266, up from y 466) covers the right side's lower
# part and the bottom-right corner, so those are left out.
check() {
    local d
    d=$(picture_diff play "$@")
    awk -v d="$d" 'BEGIN { exit !(d < 0.04) }' || fail "picture $3 at $1,$2 ${4:-} differs by $d"
}
check 50 50 9
check 260 50 12
check 50 460 1
check 50 60 6 10x400
check 260 60 8 10x270
check 60 50 11 200x10
check 60 460 3 200x10
for i in 0 1 2 3 4; do check $((50 + 28 * i)) 7 188; done

# Count columns: labels at the bottom; caps at y 462 - n, where n is 0, or 1
# for the type of the piece now falling. The label covers all but the cap's
# top row or two, so only the top row is compared.
offsets=(0 3 2 6 4 1 5 0)
xs=(2 14 26 38 270 282 294 306)
for k in 0 1 2 3 4 5 6 7; do
    check "${xs[k]}" 463 $((199 + offsets[k]))
    cap=$((213 + offsets[k]))
    picture_at play "${xs[k]}" 462 $cap "" 12x1+0+0 ||
        picture_at play "${xs[k]}" 461 $cap "" 12x1+0+0 ||
        fail "no cap for column $k at y 461/462"
done

# The preview: a piece of whole squares, anchored at (200, 25), nothing beyond.
read -r pw ph px py < <(convert "$SHOTS/play.png" -crop 120x50+195+0 +repage -separate \
    -evaluate-sequence max -threshold 50% -format '%@' info: | awk -F'[x+]' '{ print $1, $2, $3 + 195, $4 }')
((px >= 198 && px <= 201 && pw >= 38 && pw <= 80 && py >= 4 && py + ph <= 46)) ||
    fail "preview box ${pw}x$ph+$px+$py is not a piece at (200, 25)"

echo "ok: level 1 laid out as drawn from the data file; piece fell, steered to both walls"
