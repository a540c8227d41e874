#!/usr/bin/env bash
# On a 1920x1440 screen the window opens at twice the picture's size, F11
# fills the screen with the picture three times enlarged and centred, and
# F11 again brings the window back. Each time the title shows where it
# belongs at its size, every picture pixel a square block.
E2E_SCREEN=1920x1440
source "$(dirname "$0")/lib.sh"
pictures 85
for factor in 2 3; do
    convert "$SHOTS/t85.pam" -sample "$((factor * 100))%" "$SHOTS/t85x$factor.pam"
done
start_window_manager
start_game

# The title at FACTOR with its top-left corner at X,Y of a window of SIZE,
# crisp: below the blinking prompt hardly a pixel may differ.
title_at() {
    local size=$1 factor=$2 x=$3 y=$4 seen off
    shot fit || return 1
    seen=$(identify -format '%wx%h' "$SHOTS/fit.png")
    SAW="a $seen window"
    [[ $seen == "$size" ]] || return 1
    picture_at fit "$x" "$y" "85x$factor" || return 1
    local below=$((100 * factor)) w=$((320 * factor)) h=$((380 * factor))
    off=$(convert "$SHOTS/fit.png" -crop "${w}x$h+$x+$((y + below))" +repage \
        \( "$SHOTS/t85x$factor.pam" -crop "${w}x$h+0+$below" +repage \) -alpha off \
        -fuzz 3% -metric AE -compare -format '%[distortion]' info: 2>/dev/null) || true
    SAW="$SAW, $off pixels off below the prompt"
    ((${off%.*} * 1000 < w * h))
}

wait_for "the title at 2x in a 640x960 window" title_at 640x960 2 0 0
key F11
wait_for "the title at 3x in the middle of the full screen" title_at 1920x1440 3 480 0
key F11
wait_for "the 640x960 window back" title_at 640x960 2 0 0
quit_game
echo "ok: 2x window, 3x full screen centred, and back"
