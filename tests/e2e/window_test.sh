#!/usr/bin/env bash
# The real game opens its window, draws, and quits on Escape with exit code 0.
source "$(dirname "$0")/lib.sh"
start_game

# The window shows before the first frame is drawn.
drawn() {
    shot window || return 1
    size=$(identify -format '%wx%h' "$SHOTS/window.png")
    lit=$(lit_fraction window 320x480+0+0)
    SAW="a $size window, $lit of it lit"
    [[ "$size" == 320x480 ]] && awk -v f="$lit" 'BEGIN { exit !(f > 0.05) }'
}
wait_for "drawn 320x480 window" drawn
quit_game
echo "ok: window shown, drawn ($lit lit), Escape quits"
