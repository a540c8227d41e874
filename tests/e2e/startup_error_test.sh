#!/usr/bin/env bash
# A start-up failure with a display to show it on: the game shows it in a
# message box captioned "ERROR" and, once that is dismissed, exits with code
# 1. The failure is provoked by naming an OpenGL library that does not exist.
source "$(dirname "$0")/lib.sh"
need xwininfo
export SDL_OPENGL_LIBRARY=no-such-opengl-library
(cd "$(dirname "$GAME")" && exec ${GAME_RUNNER:+"$GAME_RUNNER"} "$GAME") 2>"$SHOTS/stderr.txt" &
GAME_PID=$!

# xdotool cannot match SDL's box by name on X11 (its title is only UTF-8).
# The box counts once it is on screen: a shot of it can be taken.
find_box() {
    box=$(xwininfo -root -tree 2>/dev/null | awk '$2 == "\"ERROR\":" { print $1; exit }')
    [[ -n $box ]] && import -window "$box" "$SHOTS/box.png" 2>/dev/null
}
wait_for "message box 'ERROR'" find_box
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while its message box was up"
xdotool key --window "$box" Return
wait_exit
[[ "$EXIT_CODE" == "1" ]] || fail "exit code after the box: $EXIT_CODE, want 1"
echo "ok: message box 'ERROR' shown, exit code 1 after it"
