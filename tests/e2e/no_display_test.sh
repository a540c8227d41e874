#!/usr/bin/env bash
# With no display and no explicit headless driver the game does not run
# invisibly: it fails with exit code 1, and its message keeps its own words
# and adds why.
E2E_DISPLAY=none source "$(dirname "$0")/lib.sh"

# env arguments | the reason the message must give
cases=(
    "-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER|no display: is DISPLAY set?"
    "-u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11|x11 not available; no display: is DISPLAY set?"
    "-u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:64999|cannot reach display :64999"
)
for c in "${cases[@]}"; do
    settings=${c%%|*} reason=${c#*|}
    rc=0
    # A game that ran invisibly would be stopped here, and fail on its status.
    # shellcheck disable=SC2086 # the settings are separate env arguments
    env $settings timeout "$WAIT_S" "$GAME" 2>"$SHOTS/stderr.txt" || rc=$?
    [[ $rc -eq 1 ]] || fail "$settings: exit code $rc, want 1; stderr: $(cat "$SHOTS/stderr.txt")"
    want="ERROR: Failed To Register The Window Class. ($reason)"
    grep -qxF "$want" "$SHOTS/stderr.txt" ||
        fail "$settings: no line '$want'; stderr: $(cat "$SHOTS/stderr.txt")"
    echo "ok: $settings: exit 1 with '$want'"
done
