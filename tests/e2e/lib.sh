# Helpers for end-to-end tests of the real game, driven with X key events and
# looked at through screenshots. A test script sources this file, which
# starts a virtual X server of the test's own (unless E2E_DISPLAY=none is set
# before: a test of running without one), then uses the helpers below, each
# described where it is defined. Nothing here measures time against a limit:
# a busy machine only makes a test slower. Every wait polls for what it waits
# on with a generous deadline, and a timeout says what was seen last.
#
# Environment (CTest sets the first two):
#   GAME      the program to start, as long as its window is titled Duobrik
#   GAME_RUNNER  what starts $GAME, if anything (the Windows build: Wine)
#   PICTURE   the picture dumper (duobrik-e2e-picture), for `pictures`
#   GAME_DIR  the folder with the game's data files (default: $GAME's folder)
#   SHOTS     where screenshots go (default: a fresh temporary folder)
#   WAIT_S    the deadline of each wait in seconds (default 60)
#   E2E_SCREEN   the virtual screen's size (default 1024x768)

set -euo pipefail
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_ROOT=$(cd "$E2E_DIR/../.." && pwd)
GAME_DIR=${GAME_DIR:-$(dirname "${GAME:-.}")}
if [[ -z "${SHOTS:-}" ]]; then
    SHOTS=$(mktemp -d)
    SHOTS_IS_TEMP=1
fi
WAIT_S=${WAIT_S:-60}
GAME_PID=""
XVFB_PID=""
WINDOW=""
SAW=""

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Milliseconds of a monotonic-enough wall clock, for waits and for reports.
now_ms() {
    echo $(($(date +%s%N) / 1000000))
}

# Fails the test unless every named command exists, naming the Debian package
# that has a missing one. A command that scripts/install-deps does not know
# fails too, present or not: a fresh machine would not have it.
need() {
    local cmd pkg
    for cmd in "$@"; do
        pkg=$("$BASH" "$E2E_ROOT/scripts/install-deps" --package-of "$cmd" 2>/dev/null) ||
            fail "command '$cmd' is in no package set of scripts/install-deps: add it there"
        command -v "$cmd" >/dev/null 2>&1 ||
            fail "missing command '$cmd': install the Debian package '$pkg' (scripts/install-deps --test)"
    done
}

# Polls `CMD...` every 0.1 s until it succeeds or WAIT_S seconds have passed.
# CMD may leave a description of what it looked at in SAW; a timeout fails the
# test with WHAT and that description, and a success prints how long it took.
# A game that ends while it is awaited fails the test at once.
wait_for() {
    local what=$1 start
    shift
    start=$(now_ms)
    SAW="nothing"
    until "$@"; do
        if [[ -n "$GAME_PID" ]] && ! kill -0 "$GAME_PID" 2>/dev/null; then
            local rc=0
            wait "$GAME_PID" || rc=$?
            GAME_PID=""
            fail "the game ended (exit code $rc) while waiting for $what; last seen: $SAW;" \
                "its stderr ends: $(tail -n 3 "$SHOTS/stderr.txt" 2>/dev/null)"
        fi
        (($(now_ms) - start < WAIT_S * 1000)) || fail "no $what within $WAIT_S s; last seen: $SAW"
        sleep 0.1
    done
    echo "seen: $what after $(($(now_ms) - start)) ms"
}

# A private virtual X server for this test, E2E_SCREEN at 24 bits. The server
# picks a free display itself (-displayfd), so tests of several checkouts on
# one machine cannot race for a number, and -noreset keeps it (and settings
# such as `xset r off`) alive between the games that a test starts.
start_display() {
    need Xvfb xdotool import convert identify
    local fd_file="$SHOTS/.display"
    : >"$fd_file"
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1024x768}x24" -nolisten tcp -noreset 3>"$fd_file" \
        2>"$SHOTS/xvfb.txt" &
    XVFB_PID=$!
    display_ready() {
        SAW="Xvfb output: $(tail -n 1 "$SHOTS/xvfb.txt" 2>/dev/null)"
        kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb did not start: $(cat "$SHOTS/xvfb.txt")"
        grep -q '^[0-9]' "$fd_file"
    }
    wait_for "virtual X server" display_ready
    export DISPLAY=":$(head -n 1 "$fd_file")"
}

# Starts openbox on the test's display and waits until it manages windows:
# minimising and the full screen need a window manager.
start_window_manager() {
    need openbox xprop
    openbox --sm-disable >/dev/null 2>&1 &
    local wm_pid=$!
    at_exit "kill $wm_pid 2>/dev/null || true"
    wm_running() {
        SAW="no _NET_SUPPORTING_WM_CHECK on the root window"
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
    }
    wait_for "openbox" wm_running
}

# Starts the game from the given folder (default: $GAME_DIR) and waits for
# its window to be shown. The window shows before the pictures are loaded:
# wait for a screen before sending keys to it.
start_game() {
    local dir=${1:-$GAME_DIR}
    # One game at a time: an earlier one must not answer the window search.
    if [[ -n "$GAME_PID" ]]; then
        kill -9 "$GAME_PID" 2>/dev/null || true
        wait "$GAME_PID" 2>/dev/null || true
    fi
    (cd "$dir" && exec ${GAME_RUNNER:+"$GAME_RUNNER"} "$GAME") 2>"$SHOTS/stderr.txt" &
    GAME_PID=$!
    WINDOW=""
    window_shown() {
        WINDOW=$(xdotool search --onlyvisible --name '^Duobrik$' 2>/dev/null | head -1) || true
        SAW="no visible window titled Duobrik"
        [[ -n "$WINDOW" ]]
    }
    wait_for "window titled Duobrik" window_shown
}

# Waits for the game to end, at most WAIT_S seconds; EXIT_CODE is its exit
# status, or "timeout" (the game is then killed).
# (Not a command substitution: only this shell can collect its child's status.)
wait_exit() {
    [[ -n "$GAME_PID" ]] || fail "wait_exit: no game is running"
    local end=$(($(now_ms) + WAIT_S * 1000))
    EXIT_CODE=timeout
    while (($(now_ms) < end)); do
        if ! kill -0 "$GAME_PID" 2>/dev/null; then
            EXIT_CODE=0
            wait "$GAME_PID" || EXIT_CODE=$?
            GAME_PID=""
            return
        fi
        sleep 0.1
    done
    kill -9 "$GAME_PID" 2>/dev/null || true
}

# Escape on the current screen; the game must end with exit code 0.
quit_game() {
    key Escape
    wait_exit
    [[ "$EXIT_CODE" == "0" ]] || fail "${1:-}exit code after Escape: $EXIT_CODE"
}

# Writes pictures of the data file the game reads to $SHOTS/t<INDEX>.pam, so
# that screenshots are compared with the very pictures the game drew.
pictures() {
    "$PICTURE" "$GAME_DIR/BrikResource.dat" "$SHOTS" "$@" || fail "pictures $* unreadable"
}

# Mean difference (0..1) between region X,Y of a shot and picture INDEX, over
# the pixels that the picture covers opaquely (what shows through its
# transparent parts is not its business).
picture_diff() {
    local name=$1 x=$2 y=$3 pic="$SHOTS/t$4.pam"
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
# SAW says how far off it was.
picture_at() {
    local d
    d=$(picture_diff "$@") || return 1
    SAW="picture $4 at $2,$3 of shot $1 differs by $d"
    awk -v d="$d" 'BEGIN { exit !(d < 0.04) }'
}

# Takes shot NAME and tells whether picture INDEX shows at X,Y in it:
# shows NAME X Y INDEX, for wait_for.
shows() {
    shot "$1" && picture_at "$@"
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
# Fails, without ending the test, while the window cannot be read.
shot() {
    import -window "$WINDOW" "$SHOTS/$1.png" 2>/dev/null
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

EXIT_HOOKS=()
at_exit() {
    EXIT_HOOKS+=("$1")
}

cleanup() {
    local rc=$? hook
    if [[ -n "$GAME_PID" ]]; then
        kill -9 "$GAME_PID" 2>/dev/null || true
    fi
    for hook in "${EXIT_HOOKS[@]}"; do
        eval "$hook" || true
    done
    if [[ -n "$XVFB_PID" ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    # Screenshots of a failed test stay for a look.
    if [[ -n "${SHOTS_IS_TEMP:-}" ]]; then
        if ((rc == 0)); then rm -rf "$SHOTS"; else echo "screenshots kept in $SHOTS" >&2; fi
    fi
}
trap cleanup EXIT

[[ "${E2E_DISPLAY:-}" == none ]] || start_display
