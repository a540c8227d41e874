#!/usr/bin/env bash
# Keys held down while the game starts are not presses: with Escape and
# Return held as the window opens, the game neither quits nor leaves the
# title, however long their repeats come; let go and pressed again, they work.
source "$(dirname "$0")/lib.sh"
pictures 85 188
xdotool keydown Escape keydown Return
at_exit 'xdotool keyup Escape keyup Return 2>/dev/null'
start_game
wait_for "intro picture" shows intro 0 0 85
# The X server repeats held keys after 660 ms, 25 times a second: give the
# repeats time to arrive.
sleep 2
kill -0 "$GAME_PID" 2>/dev/null || fail "a key held at the start ended the game"
shows still 0 0 85 || fail "a key held at the start left the title ($SAW)"
xdotool keyup Escape keyup Return
key Return
wait_for "score digits" shows play 50 7 188
quit_game
echo "ok: held Escape and Return ignored; pressed afresh, they work"
