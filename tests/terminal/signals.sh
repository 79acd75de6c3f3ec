#!/usr/bin/env bash
# Signals to the real game in tmux at 80x25: the terminal comes back and the exit status tells.
# SIGINT, SIGTERM and SIGHUP at the title menu, in a dungeon room and in a battle; SIGQUIT,
# SIGSEGV, SIGABRT and the other signals that end a program by default at the menu; two quit
# signals at once; a sanitizer's own report of a crash (in a sanitizer build); a save past a
# file size limit. Each time the terminal must be given back (normal screen, cursor shown,
# echo, canonical input and flow control as they were) and the status must be 128 + the
# signal's number. The cases run side by side in one tmux server.
# Usage: signals.sh <brinewort binary> <shipped data directory>
set -u
binary=$(realpath "$1")
command -v tmux >/dev/null || { echo "tmux is not installed"; exit 77; }
# Each case drives its own session, named after it.
session=
source "$(dirname "$(realpath "$0")")/../../tools/tmux_drive.sh"

# A copy of the shipped data with a save for Continue (the starting player) and a Cave of one
# room with a high level character, where a battle comes a few steps past the first ten.
data="$work/data"
cp -r "$(realpath "$2")" "$data"
chmod go-w "$data" # the game saves only in a directory nobody else may write to
{
    printf 'BOB\n100\n20\n100\n20\n8\n5\n1\n0\n1\n1\n1\n1\n1\n1\n'
    for _ in $(seq 74); do printf '0\n'; done
} >"$data/SaveFile.txt"
awk 'BEGIN { print "MapTag1\n1,1\n0,0:NESW:~#Start\n_" }
     /^MapTag1$/ { skip = 1 } !skip { print } skip && /^_/ { skip = 0 }' \
    "$2/map.txt" >"$data/map.txt"

# The game runs in a shell that records its pid, then its exit status and the terminal modes
# it left behind.
# $1: shell commands run just before the game (a limit, an environment variable).
start_game() {
    local dir="$work/$session"
    mkdir "$dir"
    tmux_ -f /dev/null new-session -d -s "$session" -x 80 -y 25 -c "$data" \
        "ulimit -c 0; sh -c 'echo \$\$ >$dir/pid; ${1:-} exec env TERM=tmux-256color LANG=C.UTF-8 $binary';
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

# The game's terminal modes while it runs, as stty shows them, one per line.
running_modes() {
    stty -a -F "$(tmux_ display -p -t "$session" '#{pane_tty}')" | tr ' ;' '\n\n'
}

run_case() { # $1 place, $2 signal
    session="$1-$2"
    local dir="$work/$session"
    case "$2" in
    ASAN) # the sanitizer keeps the crash to itself and reports it (a sanitizer build)
        start_game "export ASAN_OPTIONS=allow_user_segv_handler=0:handle_segv=1;" ;;
    XFSZ) start_game "ulimit -f 0;" ;;
    *) start_game ;;
    esac
    case "$1" in
    room) enter_dungeon Right ;;
    battle) enter_dungeon Left && walk_into_battle ;;
    save) # past the file size limit a save fails and says why, and the game goes on
        keys Down Enter
        wait_for 23 10 " Quit " 2
        keys Down Down Down Enter
        wait_for 13 10 "Cannot save game" 10
        shows 14 "File too large" 10 || fail "no reason shown for the failed save"
        [[ ! -e "$data/SaveFile.txt.new" ]] || fail "a temporary save was left behind"
        ;;
    esac
    # Ctrl-S is a key while the game runs: output never freezes.
    running_modes | grep -qx -- -ixon || fail "flow control left on while the game runs"
    local pid
    pid=$(cat "$dir/pid")
    case "$2" in
    ASAN) kill -s SEGV "$pid" || fail "no game process" ;;
    DOUBLE) # both at once, as from a game too busy to look at the first
        kill -s STOP "$pid" && kill -s INT "$pid" && kill -s TERM "$pid" && kill -s CONT "$pid" ||
            fail "no game process" ;;
    XFSZ) kill -s TERM "$pid" || fail "no game process" ;;
    *) kill -s "$2" "$pid" || fail "no game process" ;;
    esac
    local deadline=$((SECONDS + 10))
    until [[ -s "$dir/stty" ]]; do
        ((SECONDS < deadline)) || fail "the game did not end on SIG$2"
        sleep 0.2
    done
    local status expected
    status=$(cat "$dir/status")
    case "$2" in
    ASAN) expected="1|139" ;; # the sanitizer's exit status, or the crash handler's
    DOUBLE) expected="130|143" ;;
    XFSZ) expected=143 ;;
    *) expected=$((128 + $(kill -l "$2"))) ;;
    esac
    [[ "$status" =~ ^($expected)$ ]] || fail "exit status $status, expected $expected"
    local state
    state=$(tmux_ display -p -t "$session" '#{alternate_on} #{cursor_flag}')
    [[ "$state" == "0 1" ]] || fail "terminal left in a bad state (alternate, cursor): $state"
    local modes
    modes=$(tr ' ;' '\n\n' <"$dir/stty")
    grep -qx echo <<<"$modes" && grep -qx icanon <<<"$modes" && grep -qx ixon <<<"$modes" ||
        fail "echo, canonical input or flow control left off: $(cat "$dir/stty")"
    echo "PASS [$session]: status $status"
}

cases=(title:INT title:TERM title:HUP title:QUIT title:SEGV title:ABRT title:USR1 title:ALRM
    title:XCPU title:TRAP title:DOUBLE title:ASAN save:XFSZ
    room:INT room:TERM room:HUP battle:INT battle:TERM battle:HUP)
pids=()
for c in "${cases[@]}"; do
    run_case "${c%%:*}" "${c##*:}" &
    pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
((failed == 0)) && echo "PASS" || exit 1
