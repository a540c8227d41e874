#!/usr/bin/env bash
# The real game opens its window, draws, and quits on Escape with exit code 0.
source "$(dirname "$0")/lib.sh"

start_game
sleep 1
shot window
size=$(identify -format '%wx%h' "$SHOTS/window.png")
[[ "$size" == "320x480" ]] || fail "window client area is $size, not 320x480"
lit=$(lit_fraction window 320x480+0+0)
awk -v f="$lit" 'BEGIN { exit !(f > 0.05) }' || fail "window is (nearly) black: lit fraction $lit"
key Escape
wait_exit 5
[[ "$EXIT_CODE" == "0" ]] || fail "exit code after Escape: $EXIT_CODE"
echo "ok: window shown, drawn ($lit lit), Escape quits"
