#!/usr/bin/env bash
# The real binary on a virtual display (run under xvfb-run): started without a terminal it
# opens its window, falls idle at the title menu (no processor used while it waits), quits
# from the title menu with status 0, ends on SIGTERM as in the terminal and at once when its
# display goes away; without its font it names the package to install and turns to the
# terminal.   Usage: window_session.sh <brinewort binary> <data dir>
set -u
game=$1
cd "$2" || exit 1
command -v xdotool >/dev/null || { echo "xdotool is not installed"; exit 77; }
[[ -n "${DISPLAY:-}" ]] || { echo "no display: run under xvfb-run"; exit 77; }
fail() { echo "FAIL: $*"; [[ -n "${pid:-}" ]] && kill "$pid" 2>/dev/null; exit 1; }

# No font: the package is named, and the terminal is tried (and refused: no terminal here).
output=$(BRINEWORT_FONT=/nonexistent/font.pcf.gz "$game" --window </dev/null 2>&1)
status=$?
[[ $status != 0 && "$output" == *xfonts-terminus-dos* && "$output" == *terminal* ]] ||
    fail "without its font: status $status, $output"

# shellcheck source=SCRIPTDIR/../../tools/wait_for_input.sh
source "$(dirname "$(realpath "$0")")/../../tools/wait_for_input.sh"

cpuTicks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# Starts the game (the command and its arguments) and waits for its window.
start() {
    "$@" </dev/null >/dev/null 2>"$errors" &
    pid=$!
    window=$(timeout 20 xdotool search --sync --name '^Brinewort' | head -n 1)
    [[ -n "$window" ]] || fail "no window appeared"
}

# The title intro plays; then the menu waits for a key, and the game falls idle: a whole
# second without a tick of the processor.
wait_for_title_menu() {
    local last=-1 now
    for _ in $(seq 60); do
        sleep 1
        now=$(cpuTicks "$pid")
        ((now == last)) && return 0
        last=$now
    done
    fail "the game never fell idle at the title menu"
}

# Up to Quit, and Enter.
quit_from_title() {
    for key in Up Return; do
        wait_for_input "$pid" 10 || fail "the game never waited for a key"
        xdotool windowfocus --sync "$window" key "$key"
    done
}

# Standard input is no terminal and a display is there: the window, as from a desktop menu.
errors=$(mktemp)
start "$game"
[[ "$(xdotool getwindowname "$window")" == "Brinewort: The Return of ZARG" ]] ||
    fail "the window is called $(xdotool getwindowname "$window")"
wait_for_title_menu
# Each key once the game waits for it: the menu drops keys typed ahead.
quit_from_title
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "Quit did not end the game"
wait "$pid"
status=$?
((status == 0)) || fail "Quit ended the game with status $status"

# A quit signal ends it as in the terminal: the status says which signal.
start "$game" --window
kill -TERM "$pid"
wait "$pid"
status=$?
((status == 128 + 15)) || fail "SIGTERM ended the game with status $status"

# A recording cut short by a file size limit: the game goes on, ends when asked, says the
# recording is not whole and ends with status 1, never killed by the limit.
recording=$(mktemp -d)
start prlimit --fsize=1024 "$game" --window --record "$recording/run.rec"
wait_for_title_menu
quit_from_title
wait "$pid"
status=$?
if ((status != 1)) || ! grep -q "could not be written whole" "$errors"; then
    fail "a recording past the size limit ended with status $status: $(cat "$errors")"
fi
rm -rf "$recording"

# The display goes away under the game (a server of its own, killed): the game ends at once
# and says why, rather than spinning in its exit on a dead connection.
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 77; }
displayFile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1600x1000x24 3>"$displayFile" >/dev/null 2>&1 &
server=$!
for _ in $(seq 100); do
    [[ -s "$displayFile" ]] && break
    sleep 0.1
done
[[ -s "$displayFile" ]] || { kill "$server"; fail "no display of its own"; }
DISPLAY=":$(head -n 1 "$displayFile")" "$game" --window </dev/null >/dev/null 2>"$errors" &
pid=$!
DISPLAY=":$(head -n 1 "$displayFile")" timeout 20 xdotool search --sync --name '^Brinewort' \
    >/dev/null || { kill "$server"; fail "no window appeared on the display of its own"; }
kill "$server"
wait "$server"
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && { kill -KILL "$pid"; fail "the game outlived its display"; }
wait "$pid"
status=$?
if ((status == 0)) || ! grep -q "display went away" "$errors"; then
    fail "a lost display ended the game with status $status: $(cat "$errors")"
fi
rm -f "$displayFile" "$errors"
echo "PASS"
