# Helpers for end-to-end tests of the real game under a virtual X server.
# Each test script runs inside `xvfb-run -a` and sources this file.
# The game binary is $GAME (set by CTest), started through $GAME_RUNNER if
# that is set (the Windows build runs under Wine); screenshots go to $SHOTS.

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
    (cd "$dir" && exec ${GAME_RUNNER:+"$GAME_RUNNER"} "$GAME") 2>"$SHOTS/stderr.txt" &
    GAME_PID=$!
    START_NS=$(date +%s%N)
    # Polled often: tests measure how soon the first picture shows.
    WINDOW=""
    # A deadline, not a count: a loaded CI machine slows every xdotool call.
    while (($(since_start_ms) < 60000)); do
        WINDOW=$(xdotool search --onlyvisible --name '^Duobrik$' 2>/dev/null | head -1) || true
        [[ -n "$WINDOW" ]] && return
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before opening its window"
        sleep 0.02
    done
    fail "no window 'Duobrik' within 60 s"
}

# Milliseconds since start_game launched the game.
since_start_ms() {
    echo $((($(date +%s%N) - START_NS) / 1000000))
}

# Polls `"$@"` every 50 ms until it succeeds or $1 seconds have passed.
poll() {
    local limit=$1
    shift
    local end=$(($(date +%s%N) + limit * 1000000000))
    until "$@"; do
        (($(date +%s%N) < end)) || return 1
        sleep 0.05
    done
}

# Writes pictures of the data file the game reads to $SHOTS/t<INDEX>.pam, so
# that screenshots are compared with the very pictures the game drew.
pictures() {
    "$PICTURE" "$(dirname "$GAME")/BrikResource.dat" "$SHOTS" "$@" || fail "pictures $* unreadable"
}

# Mean difference (0..1) between region X,Y of a shot and picture INDEX, over
# the pixels that the picture covers opaquely (what shows through its
# transparent parts is not its business). An optional WxH stretches the
# picture first, as the game does for the frame sides ("" for none); an
# optional WxH+X+Y then compares only that part of it.
picture_diff() {
    local name=$1 x=$2 y=$3 index=$4 size=${5:-} part=${6:-}
    local pic="$SHOTS/t$index.pam"
    [[ -n "$size" ]] && pic="$SHOTS/t$index.pam[$size!]"
    if [[ -n "$part" ]]; then
        convert "$pic" -crop "$part" +repage "$SHOTS/.part.pam"
        pic="$SHOTS/.part.pam"
    fi
    local geom crop="$SHOTS/.crop.png" mask="$SHOTS/.mask.png"
    geom=$(identify -format '%wx%h' "$pic")
    convert "$SHOTS/$name.png" -crop "$geom+$x+$y" +repage -alpha off "$crop"
    convert "$pic" -alpha extract -threshold 99% "$mask"
    local diff cover
    diff=$(convert "$crop" \( "$pic" -alpha off \) -compose difference -composite \
        -colorspace gray "$mask" -compose multiply -composite -format '%[fx:mean]' info:)
    cover=$(convert "$mask" -format '%[fx:mean]' info:)
    awk -v d="$diff" -v m="$cover" 'BEGIN { printf "%.4f\n", (m > 0 ? d / m : 1) }'
}

# True when picture INDEX shows at X,Y of a shot (mean difference below 4%).
picture_at() {
    local d
    d=$(picture_diff "$@")
    awk -v d="$d" 'BEGIN { exit !(d < 0.04) }'
}

# Bounding box "W H X Y" (screen pixels) of the bright squares inside the
# board in a shot: the falling piece or fixed squares. The background shows
# through the empty board, but dim; a threshold at half brightness keeps it out.
board_box() {
    convert "$SHOTS/$1.png" -crop 200x400+60+60 +repage -separate -evaluate-sequence max \
        -threshold 50% -format '%@' info: |
        awk -F'[x+]' '$1 == 0 || $2 == 0 { print "0 0 0 0"; exit }
                      { print $1, $2, $3 + 60, $4 + 60 }'
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

# Holds KEY down for SECONDS (default 0.1). A press and release that reach the
# game between the same two frames cancel out, as they would for a player
# who could tap that fast, so a tap the game must see is held a little.
# One xdotool run for both: starting a second one can take longer than the
# hold itself on a busy machine, and the game would see a longer press.
hold() {
    xdotool keydown --window "$WINDOW" "$1" sleep "${2:-0.1}" keyup --window "$WINDOW" "$1"
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
