#!/usr/bin/env bash
# Records every demo the test suite replays (tests/demos/), from scratch, with the game built
# in BUILD_DIR and the data in data/: the automatic player's whole game (whole-1.rec saves and
# quits, whole-2.rec continues to the ending), the tour of spells, inventory, a lost battle and
# the overhead map (tour.rec), and an ordinary game in the real terminal in tmux
# (terminal.rec). Run it when a change of behaviour is intended, and say why in the commit.
# With --looks it records again only how the demos look: their inputs stay, every checkpoint's
# state must still hold, and their screens become what the game shows now, for a change of
# looks alone, to be reviewed as a text diff of the screens.
# Usage: tools/record_demos.sh [--looks] [BUILD_DIR, default build]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
looks=false
if [[ "${1:-}" == --looks ]]; then
    looks=true
    shift
fi
build=$(realpath "${1:-$root/build}")
demos=$root/tests/demos
cmake --build "$build" --target brinewort brinewort-demo-recorder >/dev/null
if $looks; then
    "$build/brinewort-demo-recorder" looks "$root/data" "$demos"/*.rec
    exit 0
fi

"$build/brinewort-demo-recorder" whole "$root/data" "$demos/whole"
"$build/brinewort-demo-recorder" tour "$root/data" "$demos/tour"
bash "$root/tools/record_terminal_demo.sh" "$build/brinewort" "$build/brinewort-demo-recorder" \
    "$root/data" "$demos/terminal.rec"
# Where they were recorded is a scratch directory: "." keeps the files the same from one
# recording to the next (the replay looks for the data in its current directory first).
sed -i '2s/.*/dir ./' "$demos"/*.rec
echo "recorded:" "$demos"/*.rec
