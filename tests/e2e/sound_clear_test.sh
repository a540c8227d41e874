#!/usr/bin/env bash
# Two rows cleared by keys in level 1 (every piece an O, through a preloaded
# rand()): the two-row effect is what the game plays then, at its level in
# the mix, and it stands out of the music.
source "$(dirname "$0")/lib.sh"
pictures 188
xset r off # one key-down per press, however long it is held

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$SHOTS/sound.raw"
bytes() { stat -c %s "$SDL_DISKAUDIOFILE" 2>/dev/null || echo 0; }
[[ -f "$ONLY_O" ]] || fail "no preload library at '$ONLY_O'"

LD_PRELOAD="$ONLY_O" start_game
sleep 0.5
key space
playing() { shot play && picture_at play 50 7 188; }
poll 60 playing || fail "no play screen within 60 s of a key on the title"

# The board: 10 columns of 20 px from x 60, rows of 20 px up from y 460.
# A piece near the top of the board (rows 8 to 19), where a new one enters:
# its left column, or nothing while there is none or it is between two
# columns (the game slides pieces smoothly).
top_column() {
    shot top
    convert "$SHOTS/top.png" -crop 200x240+60+60 +repage -separate -evaluate-sequence max \
        -threshold 50% -format '%@' info: |
        awk -F'[x+]' '$1 >= 30 && $2 >= 30 && ($3 + 2) % 20 <= 4 { print int(($3 + 2) / 20); exit }'
}
# Fraction of bright pixels in a region WxH+X+Y of the last shot: squares
# are bright, the background behind an empty board is dim.
bright() {
    convert "$SHOTS/bottom.png" -crop "$1" +repage -separate -evaluate-sequence max \
        -threshold 50% -format '%[fx:mean]' info:
}
# True when a piece has come to rest in columns $1 and $1 + 1 of the two
# bottom rows: they are filled, and row 2 above them is empty (a piece still
# falls smoothly between rows).
landed() {
    shot bottom
    local below above
    below=$(bright "40x40+$((60 + 20 * $1))+420")
    above=$(bright "40x20+$((60 + 20 * $1))+400")
    awk -v b="$below" -v a="$above" 'BEGIN { exit !(b > 0.8 && a < 0.1) }'
}
# Taps of KEY, N of them, each held SECONDS: down and up from one xdotool,
# so that no process start lies between them. A press shorter than a slide
# (100 ms) moves one column, if the game sees it: one shorter than a frame
# may go unseen on a busy machine.
taps() {
    local key=$1 n=$2 held=$3 args=()
    for ((i = 0; i < n; i++)); do
        args+=(keydown --window "$WINDOW" "$key" sleep "$held" keyup --window "$WINDOW" "$key" sleep 0.15)
    done
    ((n == 0)) || xdotool "${args[@]}"
}
# Sets `column` to the falling piece's column.
has_piece() { column=$(top_column) && [[ -n "$column" ]]; }

# The two bottom rows are gone once both ends of them are empty again.
empty() {
    shot bottom
    awk -v b="$(bright "40x40+$((60 + 20 * $1))+420")" 'BEGIN { exit !(b < 0.1) }'
}
cleared() { empty 0 && empty 8; }

clear_start=0
for target in 0 8 2 6 4; do
    poll 60 has_piece || fail "no piece appeared for column $target"
    # The piece falls a row in 800 ms: steer at once, then look. Taps the game
    # missed are held longer next time; a press it took for two taps moves two
    # columns, and the next look sets that right.
    held=0.03
    for ((tries = 0; column != target; tries++)); do
        ((tries < 8)) || fail "could not steer the piece from column $column to $target"
        before=$column
        if ((column > target)); then
            taps Left $((column - target)) $held
        else
            taps Right $((target - column)) $held
        fi
        sleep 0.2
        # A shot taken in mid-slide may show the piece between columns.
        poll 5 has_piece || fail "the piece for column $target fell out of sight while steered"
        ((column != before)) || held=$(awk -v h=$held 'BEGIN { print (h < 0.08 ? 2 * h : h) }')
    done
    # The last piece completes both rows: from here on the effect may sound.
    ((target == 4)) && clear_start=$(bytes)
    # Down in short bursts: the game lets a held Down drop the next piece
    # too, and a burst that outlasts this one's landing drops the next one
    # no further than steering can still reach.
    for ((bursts = 0; ; bursts++)); do
        landed "$target" && break
        # The last piece may land and take the rows away between two looks.
        ((target == 4)) && cleared && break
        ((bursts < 60)) || fail "the piece for column $target did not come to rest there"
        xdotool keydown --window "$WINDOW" Down sleep 0.25 keyup --window "$WINDOW" Down
    done
done

# The rows flash, fade and go; the next piece takes seconds to come down.
poll 60 cleared || fail "the two bottom rows were not cleared"
# The effect sounds as the rows go; 2 s more of sound hold all of it (0.64 s).
seen=$(bytes)
recorded() { (($(bytes) >= seen + 2 * 176400)); }
poll 60 recorded || fail "no sound recorded after the clear"
key Escape
wait_exit 30
[[ "$EXIT_CODE" == "0" ]] || fail "exit code after Escape: $EXIT_CODE"

/usr/bin/python3 "$(dirname "$0")/sound.py" effect "$SDL_DISKAUDIOFILE" "$clear_start" \
    "$(dirname "$GAME")" 2lines 1 || fail "the two-row effect"
echo "ok: two rows cleared by keys; their effect plays and rises out of the music"
