#!/usr/bin/env bash
# The installer, silently: it puts the game, its data and an uninstaller into
# Program Files and a "Duobrik" entry into the Start menu; the installed game
# starts from another folder and finds its data; the uninstaller removes it
# all again. Wine's exit codes are not taken on trust: a broken installer
# stub can exit 0 having done nothing, so the files are looked at.
source "$(dirname "$0")/../lib.sh"
setup=$(ls "$WINDOWS_BUILD"/duobrik-*-win64-setup.exe)
# A Windows of its own, fresh each time: nothing installed before can help
# or hinder.
export WINEPREFIX=$WINDOWS_BUILD/wine-installer
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
elsewhere=$(mktemp -d)
trap 'cleanup; rm -rf "$elsewhere"; wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
folder="$WINEPREFIX/drive_c/Program Files/Duobrik"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Duobrik"
data=(BrikResource.dat devils.mod three.mod rotate_mono.wav 1line_mono.wav 2lines_mono.wav
    3lines_mono.wav 4lines_mono.wav touched_mono.wav)

"$GAME_RUNNER" "$setup" /S || fail "the installer exited with $?"
installed() { [[ -f "$folder/Uninstall.exe" && -f "$menu/Duobrik.lnk" ]]; }
wait_for "an uninstaller and a Start-menu entry" installed
for f in duobrik.exe "${data[@]}"; do
    [[ -s "$folder/$f" ]] || fail "the installer did not install $f"
    [[ $f == duobrik.exe ]] || cmp -s "$folder/$f" "$(dirname "$GAME")/$f" ||
        fail "the installed $f differs from the build's"
done

# The installed game, started from elsewhere, draws its title picture.
GAME="$folder/duobrik.exe"
pictures 85
start_game "$elsewhere"
drawn() { shot installed && picture_at installed 0 0 85; }
wait_for "the installed game's title picture" drawn
quit_game "the installed game: "

# The uninstaller hands over to a copy of itself and returns at once.
"$GAME_RUNNER" "$folder/Uninstall.exe" /S || fail "the uninstaller exited with $?"
removed() {
    SAW="left: $(ls -R "$folder" "$menu" 2>/dev/null | tr '\n' ' ')"
    [[ ! -e "$folder" && ! -e "$menu" ]]
}
wait_for "the uninstalled files gone" removed
echo "ok: installed, started from another folder, uninstalled"
