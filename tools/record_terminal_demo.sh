#!/usr/bin/env bash
# Records an ordinary game in the real terminal build, in tmux at 80x25: the title, Continue,
# the tavern, the world map, the Cave and its overhead map, back to the tavern, Quit.
# With --check it then replays that recording in tmux from another directory without a save
# and fails unless the replay ends on the recorded last screen and exits 0.
# Usage: record_terminal_demo.sh BRINEWORT DEMO_RECORDER DATA_DIR OUTPUT [--check]
set -u
here=$(dirname "$(realpath "$0")")
binary=$(realpath "$1")
recorder=$(realpath "$2")
data=$(realpath "$3")
output=$(realpath -m "$4")
check=${5:-}
command -v tmux >/dev/null || { echo "tmux is not installed"; exit 77; }

session=brinewort
# shellcheck source=SCRIPTDIR/tmux_drive.sh
source "$here/tmux_drive.sh"
key_pause=0.15 # every screen change is awaited

mkdir "$work/data" "$work/elsewhere"
for file in "$data"/*.txt "$data"/*.rtf; do
    [[ "$(basename "$file")" == SaveFile.txt ]] || cp "$file" "$work/data/"
done
"$recorder" save "$data" "$work/data/SaveFile.txt" >/dev/null || fail "no save for Continue"

# Runs the binary with arguments in directory $1 on a tmux server of its own; the exit status
# goes to a file, and the shell waits after it so that its last screen can be read.
run() {
    local directory=$1
    shift
    rm -f "$work/status"
    tmux_ kill-server 2>/dev/null
    socket="$work/tmux-$((++runs)).sock"
    tmux_ -f /dev/null new-session -d -s "$session" -x 80 -y 25 -c "$directory" \
        "env TERM=tmux-256color LANG=C.UTF-8 '$binary' $*; echo \$? > '$work/status'; sleep 60"
}
runs=0
wait_status() {
    local deadline=$((SECONDS + 20))
    while [[ ! -s "$work/status" ]] && ((SECONDS < deadline)); do sleep 0.2; done
    [[ -s "$work/status" ]] || fail "the program did not end"
    [[ "$(cat "$work/status")" == 0 ]] || fail "exit status $(cat "$work/status"), expected 0"
}
# The last screen the program left on the normal screen, its bottom row aside (where a
# replay shows its notice).
last_screen() { tmux_ capture-pane -p -e -t "$session" | head -n 24; }

run "$work/data" --record "'$output'"
wait_for 14 20 "Quit" 35
keys Down Enter
wait_for 23 10 " Quit " 2
keys Enter # World Map
wait_for 11 5 "Where would you like to go?" 25
keys Left Enter # the Cave
wait_for 19 5 "Keys:" 8
keys m
wait_for 6 5 "Press Enter to exit" 2
keys Enter
wait_for 19 5 "Keys:" 8
keys p
wait_for 11 5 "Where would you like to go?" 25
keys Down Enter # the tavern
wait_for 23 10 " Quit " 2
keys Up Enter # Quit
wait_status
wait_for 20 1 "where are you goin?  Fine, " 12
recorded=$(last_screen)

[[ "$check" == --check ]] || exit 0
run "$work/elsewhere" --replay "'$output'" --speed max
wait_for 24 30 "End of the recording" 0
keys q
wait_status
[[ ! -e "$work/elsewhere/SaveFile.txt" ]] || fail "the replay wrote a save where it ran"
replayed=$(last_screen)
[[ "$replayed" == "$recorded" ]] ||
    fail "the replay's last screen differs: $(diff <(echo "$recorded") <(echo "$replayed"))"
echo "replayed to the recorded last screen"
