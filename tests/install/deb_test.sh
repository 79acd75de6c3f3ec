#!/usr/bin/env bash
# Builds the Debian package with CPack and checks that it holds the game, the data, the
# manual page, and names the libraries it needs; with the window built, also its desktop menu
# entry and icon.
# Usage: deb_test.sh <build directory> [ON when the window backend is built]
set -u
command -v dpkg-deb >/dev/null || { echo "dpkg-deb is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$1" && cpack -B "$work" >/dev/null) || { echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/*.deb)
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for path in ./usr/bin/brinewort ./usr/share/brinewort/map.txt \
    ./usr/share/brinewort/NPCscripts.rtf ./usr/share/man/man6/brinewort.6; do
    grep -qx -- "$path" <<<"$contents" || { echo "FAIL: $path is not in the package"; exit 1; }
done
dpkg-deb --field "$deb" Depends | grep -q libncursesw6 || { echo "FAIL: no ncurses dependency"; exit 1; }
if [[ "${2:-OFF}" == ON ]]; then
    for path in ./usr/share/applications/brinewort.desktop \
        ./usr/share/icons/hicolor/scalable/apps/brinewort.svg; do
        grep -qx -- "$path" <<<"$contents" || { echo "FAIL: $path is not in the package"; exit 1; }
    done
    dpkg-deb --field "$deb" Depends | grep -q libsdl2 || { echo "FAIL: no SDL2 dependency"; exit 1; }
    dpkg-deb --field "$deb" Recommends | grep -q xfonts-terminus-dos ||
        { echo "FAIL: the window's font is not recommended"; exit 1; }
fi
echo "PASS"
