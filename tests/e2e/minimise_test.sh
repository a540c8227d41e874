#!/usr/bin/env bash
# Under a window manager the game can be minimised and restored: it survives,
# and play goes on (the falling piece moves again) after the restore.
source "$(dirname "$0")/lib.sh"
openbox --sm-disable >/dev/null 2>&1 &
WM_PID=$!
trap 'cleanup; kill "$WM_PID" 2>/dev/null || true' EXIT
poll 5 xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 || fail "openbox did not start"

start_game
sleep 0.3
key space
sleep 0.5
xdotool windowminimize --sync "$WINDOW"
sleep 1.5
kill -0 "$GAME_PID" 2>/dev/null || fail "the game died while minimised"
xdotool windowactivate --sync "$WINDOW" 2>/dev/null || xdotool windowmap --sync "$WINDOW"
# Just after the restore the window may still be unmapped or not yet redrawn.
restored() {
    shot restored 2>/dev/null &&
        [[ $(identify -format '%wx%h' "$SHOTS/restored.png") == 320x480 ]] &&
        read -r w h _ y0 < <(board_box restored) && ((w > 0 && h > 0))
}
poll 5 restored || fail "no falling piece within 5 s of the restore"
moved() { shot later && read -r _ _ _ y < <(board_box later) && ((y != y0)); }
poll 4 moved || fail "the piece stands still after the restore"

key Escape
wait_exit 5
[[ "$EXIT_CODE" == "0" ]] || fail "exit code after Escape: $EXIT_CODE"
echo "ok: minimised for 1.5 s, restored, play went on"
