#!/usr/bin/env bash
# Installs the game into a temporary prefix and moves the prefix elsewhere; starts the installed
# `brinewort` from an empty directory in a real terminal (tmux), saves in the tavern, and finds
# the save in the player's own data directory, not in the install tree nor where it started.
# Usage: install_test.sh <build directory> [ON when the window backend is built]
set -u
build=$(realpath "$1")
command -v tmux >/dev/null || { echo "tmux is not installed"; exit 77; }
session=game
# shellcheck source=SCRIPTDIR/../../tools/tmux_drive.sh
source "$(dirname "$(realpath "$0")")/../../tools/tmux_drive.sh"
key_pause=0.15 # every screen change is awaited

cmake --install "$build" --prefix "$work/installed" >/dev/null || fail "cmake --install failed"
mv "$work/installed" "$work/prefix" # the binary finds its data wherever the prefix is
prefix="$work/prefix"
game="$prefix/bin/brinewort"
[[ -x "$game" && -f "$prefix/share/brinewort/map.txt" ]] || fail "not installed"
[[ "$(head -c 4 "$game")" == $'\x7fELF' ]] || fail "bin/brinewort is not the game itself"
[[ ! -e "$prefix/libexec" ]] || fail "something was installed in libexec"
[[ -f "$prefix/share/man/man6/brinewort.6" ]] || fail "no manual page"
# With the window built: a desktop menu entry that starts it, and its icon.
if [[ "${2:-OFF}" == ON ]]; then
    desktop="$prefix/share/applications/brinewort.desktop"
    grep -qx 'Exec=brinewort --window' "$desktop" 2>/dev/null || fail "no desktop entry"
    grep -qx 'Icon=brinewort' "$desktop" || fail "the desktop entry names no icon"
    [[ -f "$prefix/share/icons/hicolor/scalable/apps/brinewort.svg" ]] || fail "no icon"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
    fi
fi

# The standard options, before any terminal is needed.
"$game" --version | grep -q '^brinewort [0-9]' || fail "--version"
"$game" --help | grep -q -- '--data-dir' || fail "--help"
"$game" --no-such-option >/dev/null 2>"$work/usage"
[[ $? == 2 && -s "$work/usage" ]] || fail "an unknown option is not refused with status 2"

# The player's own directory may hold files of their own: a short story here, used instead
# of the installed one.
home="$work/home"
games="$home/.local/share/brinewort"
mkdir -p "$games" "$work/elsewhere"
chmod go-w "$games" # the game saves only in a directory nobody else may write to
printf 'Chunk1\nFirst page._\nChunk2\nSecond page._\n' >"$games/Story.txt"

tmux_ -f /dev/null new-session -d -s game -x 80 -y 25 -c "$work/elsewhere" \
    "env -u XDG_DATA_HOME HOME='$home' TERM=tmux-256color LANG=C.UTF-8 '$game'; sleep 60"
wait_for 14 20 "Quit" 35
keys Enter
wait_for 2 10 "First page." 10
keys Enter
wait_for 2 10 "Second page." 10
wait_for_game_input 5 # keys pressed while the page is typed are dropped
keys Enter
wait_for 23 10 " Quit " 2
keys Enter # the world map, drawn from the installed data
wait_for 11 10 "Where would you like to go?" 25
keys Left Enter # the Cave: its map comes from the installed map.txt
wait_for 19 10 "Keys:" 8
keys p
wait_for 11 10 "Where would you like to go?" 25
keys Down Enter
wait_for 23 10 " Quit " 2
keys Down Down Down Enter
wait_for 13 5 "Progress Saved" 10
wait_for 13 5 "              " 10 # keys are dropped while the message stands
keys Down Down Enter

save="$games/SaveFile.txt"
[[ -f "$save" ]] || fail "no save in $games"
[[ "$(wc -l <"$save")" == 105 ]] || fail "the save has $(wc -l <"$save") lines"
[[ -z "$(find "$prefix" -newer "$games/Story.txt" -type f)" ]] || fail "the install tree was written"
[[ -z "$(ls -A "$work/elsewhere")" ]] || fail "files were left in the directory it was started from"
left=$(cd "$games" && find . -mindepth 1 | sort | tr '\n' ' ')
[[ "$left" == "./SaveFile.txt ./Story.txt " ]] ||
    fail "the game directory holds more than the save and the player's story: $left"
echo "PASS"
