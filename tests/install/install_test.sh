#!/usr/bin/env bash
# Installs the game into a temporary prefix, starts the installed `brinewort` from another
# directory in a real terminal (tmux), saves in the tavern, and finds the save in the player's
# own directory, not in the install tree.
# Usage: install_test.sh <build directory> [ON when the window backend is built]
set -u
build=$(realpath "$1")
command -v tmux >/dev/null || { echo "tmux is not installed"; exit 77; }
session=game
source "$(dirname "$(realpath "$0")")/../../tools/tmux_drive.sh"

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
[[ -x "$prefix/bin/brinewort" && -f "$prefix/share/brinewort/map.txt" ]] || fail "not installed"
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

# The player's own directory may hold files of their own: a short story here, kept as it is.
home="$work/home"
games="$home/.local/share/brinewort"
mkdir -p "$games" "$work/elsewhere"
chmod go-w "$games" # the game saves only in a directory nobody else may write to
printf 'Chunk1\nFirst page._\nChunk2\nSecond page._\n' >"$games/Story.txt"

tmux_ -f /dev/null new-session -d -s game -x 80 -y 25 -c "$work/elsewhere" \
    "env -u XDG_DATA_HOME HOME='$home' TERM=tmux-256color LANG=C.UTF-8 '$prefix/bin/brinewort'; sleep 60"
wait_for 14 20 "Quit" 35
keys Enter
wait_for 2 10 "First page." 10
keys Enter
wait_for 2 10 "Second page." 10
sleep 0.5
keys Enter
wait_for 23 10 " Quit " 2
keys Down Down Down Enter
wait_for 13 5 "Progress Saved" 10
sleep 1.5
keys Down Down Enter

save="$games/SaveFile.txt"
[[ -f "$save" && ! -L "$save" ]] || fail "no save in $games"
[[ "$(wc -l <"$save")" == 105 ]] || fail "the save has $(wc -l <"$save") lines"
[[ -z "$(find "$prefix" -name 'SaveFile*')" ]] || fail "a save was written into the install tree"
[[ -z "$(ls "$work/elsewhere")" ]] || fail "files were left in the directory it was started from"
[[ -L "$games/map.txt" && "$(readlink -f "$games/map.txt")" == "$prefix/share/brinewort/map.txt" ]] ||
    fail "map.txt is not linked to the installed one"
[[ -f "$games/Story.txt" && ! -L "$games/Story.txt" ]] || fail "the player's own story was replaced"

# XDG_DATA_HOME moves the game directory. (Without a terminal the game refuses to start,
# but the directory is prepared first; nor without a display, where it opens no window.)
HOME="$home" XDG_DATA_HOME="$work/xdg" env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/brinewort" \
    </dev/null >/dev/null 2>&1
[[ -L "$work/xdg/brinewort/Wizard.txt" ]] || fail "XDG_DATA_HOME was not used"
echo "PASS"
