#!/usr/bin/env bash
# The game beside missing or damaged data files: it starts, runs, starts a
# game on a key and quits on Escape with exit code 0, whatever it lacks.
# Without its picture file nothing visible is drawn.
source "$(dirname "$0")/lib.sh"
need inotifywait
src=$GAME_DIR
work=$(mktemp -d)
watcher=""
at_exit '[[ -z "$watcher" ]] || kill "$watcher" 2>/dev/null; rm -rf "$work"'
sounds=(devils.mod three.mod rotate_mono.wav 1line_mono.wav 2lines_mono.wav 3lines_mono.wav
    4lines_mono.wav touched_mono.wav)
pictures 85 188

# Copies the game and the named data files into a fresh folder.
setup() {
    rm -rf "$work/game"
    mkdir -p "$work/game"
    cp "$GAME" "$work/game/"
    for f in "$@"; do cp "$src/$f" "$work/game/"; done
}

# What shows that the game reached a screen: its picture where the picture
# file is whole, else the music file that the screen opens (devils.mod on the
# intro, three.mod in play), seen through inotify.
watch_opens() {
    : >"$work/opens"
    : >"$work/watch.txt"
    inotifywait -m -e open --format %f "$work/game" >"$work/opens" 2>"$work/watch.txt" &
    watcher=$!
    watching() {
        SAW="inotifywait says: $(tr '\n' ' ' <"$work/watch.txt")"
        grep -q 'Watches established' "$work/watch.txt"
    }
    wait_for "inotify watch" watching
}
opened() {
    SAW="files opened: $(sort -u "$work/opens" | tr '\n' ' ')"
    grep -qx "$1" "$work/opens"
}
on_intro() {
    if [[ $seen == pictures ]]; then shows "$1" 0 0 85; else opened devils.mod; fi
}
in_play() {
    if [[ $seen == pictures ]]; then shows "$1" 50 7 188; else opened three.mod; fi
}

# Runs the copy: waits for the intro, a key, waits for play, Escape. SEEN is
# how the screens are told apart: "pictures" or "music".
run_copy() {
    local what=$1 name=$2
    seen=$3
    [[ $seen == pictures ]] || watch_opens
    GAME="$work/game/$(basename "$GAME")" start_game "$work/game"
    wait_for "intro ($what)" on_intro "$name-intro"
    shot "$name-intro" || fail "$what: no screenshot of the intro"
    key space
    wait_for "play ($what)" in_play "$name-play"
    shot "$name-play" || fail "$what: no screenshot of play"
    quit_game "$what: "
    if [[ $seen != pictures ]]; then
        kill "$watcher" 2>/dev/null || true
        wait "$watcher" 2>/dev/null || true
    fi
}

# No picture file: nothing visible, on the intro nor in play.
setup "${sounds[@]}"
run_copy "without BrikResource.dat" nodat music
for s in nodat-intro nodat-play; do
    lit=$(lit_fraction $s 320x480+0+0)
    [[ "$lit" == "0" ]] || fail "without BrikResource.dat something is drawn ($s: $lit lit)"
done

# No music and no sounds. (Damaged ones, and damaged picture files, are the
# unit tests' and the fuzzers' business: WavReaderTest, CraftedModuleTest,
# TextureTableTest and the file fuzzers.)
setup BrikResource.dat
run_copy "without modules and WAVs" nosound pictures

# Special files in place of data files count as missing: a FIFO (which would
# block the game in open() for ever) for the picture file and an effect, a
# folder and a device in place of two more.
setup "${sounds[@]}"
mkfifo "$work/game/BrikResource.dat"
rm "$work/game/1line_mono.wav" "$work/game/rotate_mono.wav" "$work/game/touched_mono.wav"
mkfifo "$work/game/1line_mono.wav"
mkdir "$work/game/rotate_mono.wav"
ln -s /dev/zero "$work/game/touched_mono.wav"
run_copy "with FIFOs, a folder and a device for data files" fifodat music

# A window icon far larger than any desktop shows (X refuses one this large).
setup "${sounds[@]}"
python3 - "$src/BrikResource.dat" "$work/game/BrikResource.dat" <<'PY'
import struct, sys
data, out, pos, index = open(sys.argv[1], "rb").read(), bytearray(), 0, 0
while pos < len(data):
    w, h = struct.unpack_from("<ii", data, pos)
    record = data[pos:pos + 8 + w * h * 4]
    pos += len(record)
    if index == 222:
        record = struct.pack("<ii", 2048, 2048) + b"\x40\x80\xc0\xff" * (2048 * 2048)
    out += record
    index += 1
open(sys.argv[2], "wb").write(out)
PY
run_copy "with a 2048x2048 icon" bigicon pictures
echo "ok: runs and quits cleanly without or with damaged or special pictures, modules and WAVs"
