#!/usr/bin/env bash
# The real game in a real 80x25 terminal (tmux), played through one scenario:
#   title-quit:  the arrow keys move to Quit in the title menu and Enter ends the program.
#   tavern-quit: New Game, the two story pages, the tavern, Status and space, then Quit.
# Both must end with status 0, the farewell on the screen and the terminal restored.
# Usage: terminal_session.sh <scenario> <brinewort binary>
set -u
here=$(dirname "$(realpath "$0")")
scenario=$1
binary=$(realpath "$2")
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

# Short story pages, so the typewriter is quick; the game reads its files from its directory.
mkdir "$work/data"
printf 'Chunk1\nFirst page._\nChunk2\nSecond page._\n' >"$work/data/Story.txt"
printf 'dragon\n  /\\_/\\\n_\n' >"$work/data/dragon2.txt"
printf 'wizard\n  /^\\\n_\n' >"$work/data/Wizard.txt"

# Row y of the pane, padded with the blanks that capture-pane trims.
row() { printf '%-80s' "$(tmux_ capture-pane -p -t "$session" | sed -n "$(($1 + 1))p")"; }
# Colours of one cell as xterm colour numbers "FG BG".
colour() { tmux_ capture-pane -p -e -t "$session" | python3 "$here/screen.py" "$1" "$2"; }
# Waits up to $2 seconds for row $1 to show the text $3 at column $4.
wait_for() {
    local deadline=$((SECONDS + $2))
    while ((SECONDS < deadline)); do
        local text
        text=$(row "$1")
        [[ "${text:$4:${#3}}" == "$3" ]] && return 0
        sleep 0.2
    done
    fail "row $1 never showed '$3' at column $4"
}
keys() { for key in "$@"; do tmux_ send-keys -t "$session" "$key" && sleep 0.3; done; }

# The shell waits after the game so that its last screen can be read; the exit status goes
# to a file, not to the screen.
tmux_ -f /dev/null new-session -d -s "$session" -x 80 -y 25 -c "$work/data" \
    "env TERM=tmux-256color LANG=C.UTF-8 '$binary'; echo \$? > '$work/status'; sleep 60"

wait_for 14 20 "Quit" 35
labels=("New Game" "Continue" "Options" "Credits" "Quit")
for i in "${!labels[@]}"; do wait_for $((10 + i)) 1 "${labels[$i]}" 35; done
# The highlighted entry black (16) on white (231), the others white on black.
[[ "$(colour 35 10)" == "16 231" ]] || fail "New Game is not black on white: $(colour 35 10)"
[[ "$(colour 35 11)" == "231 16" ]] || fail "Continue is not white on black: $(colour 35 11)"

case "$scenario" in
title-quit)
    keys Down Up Up Enter
    ;;
tavern-quit)
    keys Enter
    wait_for 2 10 "First page." 10
    keys Enter
    wait_for 2 10 "Second page." 10
    # Keys pressed while a page is still being typed are dropped: let the typing finish.
    sleep 0.5
    keys Enter
    wait_for 23 10 " Quit " 2
    tavern=(" World Map " " Talk " " Sleep " " Save " " Status " " Quit ")
    for i in "${!tavern[@]}"; do wait_for $((18 + i)) 1 "${tavern[$i]}" 2; done
    [[ "$(colour 2 18)" == "16 231" ]] || fail "World Map is not highlighted: $(colour 2 18)"
    keys Up Up Enter
    wait_for 23 5 "Press space to continue" 49
    wait_for 5 1 "100" 26
    wait_for 15 1 "Bottle" 66
    keys Space
    wait_for 18 5 "Display your character status" 37
    keys Down Enter
    ;;
*) fail "unknown scenario $scenario" ;;
esac

deadline=$((SECONDS + 10))
while [[ ! -s "$work/status" ]] && ((SECONDS < deadline)); do sleep 0.2; done
[[ -s "$work/status" ]] || fail "the game did not end after Quit"
status=$(cat "$work/status")
[[ "$status" == 0 ]] || fail "exit status $status, expected 0"
wait_for 20 1 "where are you goin?  Fine, " 12
[[ "$(colour 12 20)" == "124 16" ]] || fail "the farewell is not dark red: $(colour 12 20)"

# The terminal is usable again: normal screen, cursor shown.
state=$(tmux_ display -p -t "$session" '#{alternate_on} #{cursor_flag}')
[[ "$state" == "0 1" ]] || fail "terminal left in a bad state (alternate, cursor): $state"
echo "PASS"
