# Helpers for end-to-end tests of the real game under a virtual X server.
# Each test script runs inside `xvfb-run -a` and sources this file.
# The game binary is $GAME (set by CTest); screenshots go to $SHOTS.

set -euo pipefail
SHOTS=${SHOTS:-$(mktemp -d)}
GAME_PID=""

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts the game from the given folder (default: its own) and waits for its window.
start_game() {
    local dir=${1:-$(dirname "$GAME")}
    # No earlier instance may answer our window search.
    if pgrep -x duobrik >/dev/null 2>&1 && [[ -n "${DISPLAY:-}" ]]; then
        for w in $(xdotool search --name '^Duobrik$' 2>/dev/null); do
            xdotool windowkill "$w" 2>/dev/null || true
        done
    fi
    (cd "$dir" && exec "$GAME") 2>"$SHOTS/stderr.txt" &
    GAME_PID=$!
    WINDOW=$(timeout 5 xdotool search --sync --name '^Duobrik$' | head -1) ||
        fail "no window 'Duobrik' within 5 s"
    [[ -n "$WINDOW" ]] || fail "no window 'Duobrik'"
}

# Screenshot of the game's window (never the root window) into $SHOTS/$1.png.
shot() {
    import -window "$WINDOW" "$SHOTS/$1.png"
}

# Fraction (0..1) of pixels brighter than black in a region WxH+X+Y of a shot.
lit_fraction() {
    convert "$SHOTS/$1.png" -crop "$2" +repage -colorspace gray -threshold 3% \
        -format '%[fx:mean]' info:
}

key() {
    xdotool key --window "$WINDOW" "$@"
}

# Waits up to $1 seconds for the game to end; sets EXIT_CODE ("timeout" if it did not).
# (Not a command substitution: only this shell can collect its child's status.)
wait_exit() {
    local limit=$1
    EXIT_CODE=timeout
    for ((i = 0; i < limit * 10; i++)); do
        if ! kill -0 "$GAME_PID" 2>/dev/null; then
            EXIT_CODE=0
            wait "$GAME_PID" || EXIT_CODE=$?
            return
        fi
        sleep 0.1
    done
    kill -9 "$GAME_PID" 2>/dev/null || true
}

cleanup() {
    if [[ -n "$GAME_PID" ]] && kill -0 "$GAME_PID" 2>/dev/null; then
        kill -9 "$GAME_PID" 2>/dev/null || true
    fi
}
trap cleanup EXIT
