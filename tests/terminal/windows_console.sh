#!/usr/bin/env bash
# The Windows build's game in a real console: brinewort.exe under Wine in an 80x25 tmux pane,
# beside the Linux build's game. The title menu shows the same characters in the same cells
# (live, where the goblets' sparks, which fall as the clock goes, leave them alone; every cell
# when both replay one recording of it, and a recording made on Windows replays on Linux);
# the arrows and Enter work; New Game to the tavern, Save, Quit with status 0; Continue brings
# the save back; Ctrl-C ends the game with the console given back (cursor shown, the
# terminal's modes as they were). A console too small gets the notice and waits.
# Usage: windows_console.sh <wine_run.sh> <brinewort.exe> <shipped data directory>
#                           <Linux brinewort> <console_notice.exe>
set -u
here=$(dirname "$(realpath "$0")")
wine_run=$(realpath "$1")
exe=$(realpath "$2")
linux=$(realpath "$4")
notice=$(realpath "$5")
command -v tmux >/dev/null || { echo "tmux is not installed"; exit 77; }

# Each run of a game drives its own session, named after it.
session=
# shellcheck source=SCRIPTDIR/../../tools/tmux_drive.sh
source "$here/../../tools/tmux_drive.sh"
key_pause=0.2

cp -r "$(realpath "$3")" "$work/data"
rm -f "$work/data/SaveFile.txt"
printf 'Chunk1\nFirst page._\nChunk2\nSecond page._\n' >"$work/data/Story.txt"
chmod go-w "$work/data" # the Linux game saves only in a directory nobody else may write to

# Starts a game in a session of its own: $1 the session, then the command. The shell records
# the terminal's modes before and after and the exit status, and waits so that the last
# screen can be read.
start() {
    session=$1
    shift
    local command
    printf -v command '%q ' "$@"
    tmux_ -f /dev/null new-session -d -s "$session" -x 80 -y 25 -c "$work/data" \
        "stty -a >$work/$session.before; env TERM=tmux-256color LANG=C.UTF-8 $command;
         echo \$? >$work/$session.status; stty -a >$work/$session.after; sleep 60"
}
start_windows() { start "$1" "$wine_run" "$exe" "${@:2}"; }

# Wine may take some 10 s to hand a program its first key when another program of the prefix
# has ended shortly before: every wait on a first key allows for that.
first_key=30

# Waits for the game of the session to end; fails unless its status is $1.
ended_with() {
    local deadline=$((SECONDS + first_key)) status
    while [[ ! -s "$work/$session.status" ]] && ((SECONDS < deadline)); do sleep 0.2; done
    [[ -s "$work/$session.status" ]] || fail "the game did not end"
    status=$(cat "$work/$session.status")
    [[ "$status" == "$1" ]] || fail "exit status $status, expected $1"
}

# The console given back: the cursor shown, the terminal's modes as the game found them.
console_given_back() {
    [[ "$(tmux_ display -p -t "$session" '#{cursor_flag}')" == 1 ]] || fail "the cursor is hidden"
    cmp -s "$work/$session.before" "$work/$session.after" ||
        fail "the terminal's modes changed: $(diff "$work/$session.before" "$work/$session.after")"
}

# The pane's characters, row by row; with "fixed", without the cells the title's sparks may
# have fallen on: rows 0 to 12 outside the columns of the title and the menu.
screen_text() {
    tmux_ capture-pane -p -t "$session" | python3 -c '
import sys
rows = (sys.stdin.buffer.read().decode("utf-8").split("\n") + [""] * 25)[:25]
for y, row in enumerate(rows):
    row = row.ljust(80)
    print(row[25:53] if sys.argv[1:] == ["fixed"] and y < 13 else row)' "$@"
}
fixed_cells() { screen_text fixed; }

colour() { tmux_ capture-pane -p -e -t "$session" | python3 "$here/screen.py" "$1" "$2"; }

wait_for_menu() { # $1: seconds
    wait_for 14 "$1" "Quit" 35
    wait_settled 10
}

# --- The title menu, live and replayed, in both builds ---
start linux "$linux" --record "$work/title.rec"
wait_for_menu 40
fixed_cells >"$work/linux.live"
keys Up Enter # round to Quit
ended_with 0

start_windows windows-title --record "$work/windows.rec"
wait_for_menu 90
title=$(tmux_ display -p -t "$session" '#{pane_title}')
[[ "$title" == "Brinewort: The Return of ZARG" ]] || fail "the console's title is '$title'"
fixed_cells >"$work/windows.live"
diff "$work/linux.live" "$work/windows.live" >&2 ||
    fail "the title menu differs from the Linux build's (above: < Linux, > Windows)"
# The arrows: Down wraps round both ways, the chosen entry black on bright white.
keys Down
deadline=$((SECONDS + first_key))
until [[ "$(colour 35 11)" == "0 15" ]]; do
    ((SECONDS < deadline)) || fail "Down did not choose Continue: $(colour 35 11)"
    sleep 0.1
done
keys Up Up
[[ "$(colour 35 14)" == "0 15" ]] || fail "Quit is not highlighted: $(colour 35 14)"
[[ "$(colour 35 10)" == "15 0" ]] || fail "New Game is still highlighted: $(colour 35 10)"
keys Enter
ended_with 0
wait_for 20 5 "where are you goin?  Fine, " 12 # the farewell stays when the game has ended
console_given_back

for build in linux windows; do
    if [[ "$build" == linux ]]; then
        start linux-replay "$linux" --replay "$work/title.rec" --speed max
    else
        start_windows windows-replay --replay "$work/title.rec" --speed max
    fi
    wait_for 24 30 "End of the recording: press any key" 0
    screen_text >"$work/$build.replayed"
    keys Enter
    ended_with 0
done
diff "$work/linux.replayed" "$work/windows.replayed" >&2 ||
    fail "the replayed title menu differs from the Linux build's (above: < Linux, > Windows)"
# And what the Windows game recorded, the Linux game replays to its end.
start linux-replays-windows "$linux" --replay "$work/windows.rec" --speed max
wait_for 24 30 "End of the recording: press any key" 0
keys Enter
ended_with 0

# --- New Game to the tavern, Save, Quit; Continue ---
start_windows windows-game
wait_for_menu 30
keys Enter
wait_for 2 "$first_key" "First page." 10
sleep 0.3 # keys pressed while a page is still being typed are dropped
keys Enter
wait_for 2 10 "Second page." 10
sleep 0.3
keys Enter
wait_for 18 10 " World Map " 2
keys Down Down Down Enter # Save
wait_for 13 10 "Progress Saved" 10
[[ -s "$work/data/SaveFile.txt" ]] || fail "no save beside the data"
wait_for 13 10 "              " 10 # keys are dropped while the message stands
keys Down Down Enter             # Quit
ended_with 0
wait_for 20 5 "where are you goin?  Fine, " 12
console_given_back

head -c 4 "$work/data/SaveFile.txt" | grep -q BOB || fail "the save is not the game's"
start_windows windows-continue
wait_for_menu 30
keys Down Enter # Continue
wait_for 18 "$first_key" " World Map " 2
keys Up Enter # Quit
ended_with 0

# --- Ctrl-C: the game ends as a console program does on Ctrl-C (status 0xC000013A, which
# Wine hands on as its low byte), the console given back ---
start_windows windows-interrupt
wait_for_menu 30
tmux_ send-keys -t "$session" C-c
ended_with 58
console_given_back

# --- A console smaller than the game asks for: the notice, until Ctrl-C ---
start windows-small "$wine_run" "$notice"
wait_for 0 "$first_key" "Brinewort needs a console window of at least 100 x 30 characters; this" 0
wait_for 1 5 "x 25. Please make the window larger: the game waits." 0
keys a Enter # dropped: the notice stays
wait_for 0 5 "Brinewort needs a console window" 0
tmux_ send-keys -t "$session" C-c
ended_with 3
console_given_back
echo "PASS"
