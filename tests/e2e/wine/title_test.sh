#!/usr/bin/env bash
# The Windows build's title screen is the Linux build's, byte for byte: both
# draw through the same Mesa rasteriser, so any difference is the game's own.
# Over a few seconds the prompt blinks; the Windows build must show both of
# its states, each identical to a frame the Linux build showed.
source "$(dirname "$0")/../lib.sh"
pictures 85
windows_game=$GAME windows_runner=$GAME_RUNNER

# Shots of the title screen for 3 s, as <label>N.png; writes the checksums
# of their pixels, one per distinct frame, to $SHOTS/<label>.sums.
title_frames() {
    local label=$1 n=0 end
    start_game
    drawn() { shot "$label-first" && picture_at "$label-first" 0 0 85; }
    wait_for "$label: title picture" drawn
    end=$(($(date +%s%N) + 3000000000))
    while (($(date +%s%N) < end)); do
        shot "$label$n"
        n=$((n + 1))
        sleep 0.05
    done
    key Escape
    wait_exit 60
    [[ "$EXIT_CODE" == "0" ]] || fail "$label: exit code after Escape: $EXIT_CODE"
    for ((i = 0; i < n; i++)); do
        convert "$SHOTS/$label$i.png" -depth 8 rgb:- | sha1sum | cut -d' ' -f1
    done | sort -u >"$SHOTS/$label.sums"
}

GAME=$LINUX_GAME GAME_RUNNER="" title_frames linux
GAME=$windows_game GAME_RUNNER=$windows_runner title_frames windows
linux=$(cat "$SHOTS/linux.sums")
windows=$(cat "$SHOTS/windows.sums")
(($(wc -l <<<"$windows") >= 2)) ||
    fail "the Windows build showed one title frame over 3 s; the prompt did not blink"
while read -r sum; do
    grep -qx "$sum" <<<"$linux" || fail "a Windows title frame differs from every Linux one ($sum)"
done <<<"$windows"
echo "ok: $(wc -l <<<"$windows") distinct Windows title frames, each identical to a Linux one"
