#!/usr/bin/env bash
# Under a window manager the game can be minimised and restored: it survives,
# and play goes on (the falling piece moves again) after the restore.
source "$(dirname "$0")/lib.sh"
pictures 85 188
start_window_manager

start_game
wait_for "intro picture" shows intro 0 0 85
key space
wait_for "score digits" shows play 50 7 188
# --sync waits for the window manager; it must not wait for ever.
timeout "$WAIT_S" xdotool windowminimize --sync "$WINDOW" || fail "the window was not minimised"
sleep 1.5
kill -0 "$GAME_PID" 2>/dev/null || fail "the game died while minimised"
timeout "$WAIT_S" xdotool windowactivate --sync "$WINDOW" 2>/dev/null ||
    timeout "$WAIT_S" xdotool windowmap --sync "$WINDOW"
# Just after the restore the window may still be unmapped or not yet redrawn.
restored() {
    shot restored || return 1
    local size
    size=$(identify -format '%wx%h' "$SHOTS/restored.png")
    read -r w h _ y0 < <(board_box restored)
    SAW="a $size window, board squares ${w}x$h at y $y0"
    [[ $size == 320x480 ]] && ((w > 0 && h > 0))
}
wait_for "falling piece after the restore" restored
moved() {
    shot later && read -r _ _ _ y < <(board_box later) || return 1
    SAW="piece top at y $y, as before the restore"
    ((y != y0))
}
wait_for "the piece moving after the restore" moved

quit_game
echo "ok: minimised for 1.5 s, restored, play went on"
