#!/usr/bin/env bash
# The real game in a real 80x25 terminal (tmux): the title menu appears, the arrow keys move
# to Quit, Enter ends the program with status 0, and the farewell stays on the screen.
# Usage: title_menu_quit.sh <brinewort binary> <data directory>
set -u
here=$(dirname "$(realpath "$0")")
binary=$(realpath "$1")
data=$(realpath "$2")
command -v tmux >/dev/null || { echo "tmux is not installed"; exit 77; }

work=$(mktemp -d)
socket="$work/tmux.sock"
session=brinewort
tmux_() { tmux -S "$socket" "$@"; }
cleanup() { tmux_ kill-server 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    echo "--- screen ---"
    tmux_ capture-pane -p -t "$session" 2>/dev/null | cat -n
    exit 1
}

# Row y (0-based) of the pane, as text.
row() { tmux_ capture-pane -p -t "$session" | sed -n "$(($1 + 1))p"; }
# Waits up to $2 seconds for row $1 to contain the text $3.
wait_for_row() {
    local deadline=$((SECONDS + $2))
    while ((SECONDS < deadline)); do
        [[ "$(row "$1")" == *"$3"* ]] && return 0
        sleep 0.2
    done
    fail "row $1 never showed '$3'"
}

# The shell waits after the game so the last screen can still be read; the exit status goes
# to a file, not to the screen.
tmux_ -f /dev/null new-session -d -s "$session" -x 80 -y 25 -c "$data" \
    "env TERM=tmux-256color LANG=C.UTF-8 '$binary'; echo \$? > '$work/status'; sleep 60"

wait_for_row 14 20 "Quit"
expected=("New Game" "Continue" "Options" "Credits" "Quit")
for i in "${!expected[@]}"; do
    y=$((10 + i))
    text=$(row "$y")
    [[ "${text:35:${#expected[$i]}}" == "${expected[$i]}" ]] ||
        fail "row $y does not show '${expected[$i]}' at column 35: '$text'"
done

# Colours, as xterm colour numbers: the highlighted entry black (16) on white (231), the
# others white on black.
colour() { tmux_ capture-pane -p -e -t "$session" | python3 "$here/screen.py" "$1" "$2"; }
[[ "$(colour 35 10)" == "16 231" ]] || fail "New Game is not black on white: $(colour 35 10)"
[[ "$(colour 35 11)" == "231 16" ]] || fail "Continue is not white on black: $(colour 35 11)"

tmux_ send-keys -t "$session" Down
sleep 0.3
tmux_ send-keys -t "$session" Up
sleep 0.3
tmux_ send-keys -t "$session" Up
sleep 0.3
tmux_ send-keys -t "$session" Enter

deadline=$((SECONDS + 10))
while [[ ! -s "$work/status" ]] && ((SECONDS < deadline)); do sleep 0.2; done
[[ -s "$work/status" ]] || fail "the game did not end after Quit"
status=$(cat "$work/status")
[[ "$status" == 0 ]] || fail "exit status $status, expected 0"

farewell=$(row 20)
[[ "${farewell:12:27}" == "where are you goin?  Fine, " ]] ||
    fail "no farewell at column 12, row 20: '$farewell'"
[[ "$(colour 12 20)" == "124 16" ]] || fail "the farewell is not dark red: $(colour 12 20)"

# The terminal is usable again: normal screen, cursor shown.
state=$(tmux_ display -p -t "$session" '#{alternate_on} #{cursor_flag}')
[[ "$state" == "0 1" ]] || fail "terminal left in a bad state (alternate, cursor): $state"
echo "PASS"
