#!/usr/bin/env bash
# Signals to the real game in tmux at 80x25: the terminal comes back and the exit status tells.
# SIGINT, SIGTERM and SIGHUP at the title menu, in a dungeon room and in a battle; SIGSEGV and
# SIGABRT at the menu. Each time the terminal must be given back (normal screen, cursor shown,
# echo and canonical input) and the status must be 128 + the signal's number. The cases run
# side by side in one tmux server.
# Usage: signals.sh <brinewort binary> <shipped data directory>
set -u
binary=$(realpath "$1")
command -v tmux >/dev/null || { echo "tmux is not installed"; exit 77; }
# Each case drives its own session, named after it.
session=
# shellcheck source=SCRIPTDIR/../../tools/tmux_drive.sh
source "$(dirname "$(realpath "$0")")/../../tools/tmux_drive.sh"

# A copy of the shipped data with a save for Continue (the starting player) and a Cave of one
# room with a high level character, where a battle comes a few steps past the first ten.
data="$work/data"
cp -r "$(realpath "$2")" "$data"
{
    printf 'BOB\n100\n20\n100\n20\n8\n5\n1\n0\n1\n1\n1\n1\n1\n1\n'
    for _ in $(seq 74); do printf '0\n'; done
} >"$data/SaveFile.txt"
awk 'BEGIN { print "MapTag1\n1,1\n0,0:NESW:~#Start\n_" }
     /^MapTag1$/ { skip = 1 } !skip { print } skip && /^_/ { skip = 0 }' \
    "$2/map.txt" >"$data/map.txt"

# The game runs in a shell that records its pid, then its exit status and the terminal modes
# it left behind.
start_game() {
    local dir="$work/$session"
    mkdir "$dir"
    tmux_ -f /dev/null new-session -d -s "$session" -x 80 -y 25 -c "$data" \
        "ulimit -c 0; sh -c 'echo \$\$ >$dir/pid; exec env TERM=tmux-256color LANG=C.UTF-8 $binary';
         echo \$? >$dir/status; stty -a >$dir/stty; sleep 60"
    wait_for 14 40 "Quit" 35
}

enter_dungeon() { # $1: the world map's arrow for it
    keys Down Enter
    wait_for 23 10 " Quit " 2
    keys Enter
    wait_for 11 10 "Where would you like to go?" 25
    keys "$1" Enter
    wait_for 19 10 "Keys:" 8
}

# Walks back and forth until a battle begins; a room that leaves no step free is left and
# entered again (its rubble is scattered anew).
walk_into_battle() {
    for _ in 1 2 3; do
        for _ in $(seq 15); do
            for key in a d w s; do
                tmux_ send-keys -t "$session" "$key"
                sleep 0.1
                shows 19 " ATTACK " 40 && return 0
            done
        done
        keys p
        wait_for 11 10 "Where would you like to go?" 25
        keys Left Enter
        wait_for 19 10 "Keys:" 8
    done
    fail "no battle came"
}

run_case() { # $1 place, $2 signal
    session="$1-$2"
    start_game
    case "$1" in
    room) enter_dungeon Right ;;
    battle) enter_dungeon Left && walk_into_battle ;;
    esac
    local dir="$work/$session"
    kill -s "$2" "$(cat "$dir/pid")" || fail "no game process"
    local deadline=$((SECONDS + 10))
    until [[ -s "$dir/stty" ]]; do
        ((SECONDS < deadline)) || fail "the game did not end on SIG$2"
        sleep 0.2
    done
    local status expected
    status=$(cat "$dir/status")
    expected=$((128 + $(kill -l "$2")))
    [[ "$status" == "$expected" ]] || fail "exit status $status, expected $expected"
    local state
    state=$(tmux_ display -p -t "$session" '#{alternate_on} #{cursor_flag}')
    [[ "$state" == "0 1" ]] || fail "terminal left in a bad state (alternate, cursor): $state"
    local modes
    modes=$(tr ' ;' '\n' <"$dir/stty")
    if ! grep -qx echo <<<"$modes" || ! grep -qx icanon <<<"$modes"; then
        fail "echo or canonical input left off: $(cat "$dir/stty")"
    fi
    echo "PASS [$session]: status $status"
}

cases=(title:INT title:TERM title:HUP title:SEGV title:ABRT
    room:INT room:TERM room:HUP battle:INT battle:TERM battle:HUP)
pids=()
for c in "${cases[@]}"; do
    run_case "${c%%:*}" "${c##*:}" &
    pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
((failed == 0)) && echo "PASS" || exit 1
