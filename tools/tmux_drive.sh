# shellcheck shell=bash
# Sourced by the scripts that drive the real game in tmux (the terminal and install tests,
# the benchmarks): a private tmux server in a scratch directory, and helpers that read the
# pane and type keys. The sourcing script names the pane to drive in `session`.
# Sets: work (the scratch directory, removed at exit with the server), socket, tmux_.

: "${session?the sourcing script names the tmux session in session}"
work=$(mktemp -d)
socket="$work/tmux.sock"
tmux_() { tmux -S "$socket" "$@"; }
# The server may be gone already; that must not fail a script run with errexit.
trap 'tmux_ kill-server 2>/dev/null || true; rm -rf "$work"' EXIT

# Reports, shows the screen, and ends the script (or the subshell) as failed.
fail() {
    echo "FAIL [$session]: $*"
    tmux_ capture-pane -p -t "$session" 2>/dev/null | cat -n
    exit 1
}

# Row y of the pane, padded with the blanks that capture-pane trims.
row() { printf '%-80s' "$(tmux_ capture-pane -p -t "$session" | sed -n "$(($1 + 1))p")"; }

# Whether row $1 shows the text $2 at column $3.
shows() {
    local text
    text=$(row "$1")
    [[ "${text:$3:${#2}}" == "$2" ]]
}

# Waits up to $2 seconds for row $1 to show the text $3 at column $4.
wait_for() {
    local deadline=$((SECONDS + $2))
    until shows "$1" "$3" "$4"; do
        ((SECONDS < deadline)) || fail "row $1 never showed '$3' at column $4"
        sleep 0.05
    done
}

# Waits up to $1 seconds until the screen stops changing (a typewriter has finished).
wait_settled() {
    local before after deadline=$((SECONDS + $1))
    after=$(tmux_ capture-pane -p -t "$session")
    while ((SECONDS < deadline)); do
        sleep 1
        before=$after
        after=$(tmux_ capture-pane -p -t "$session")
        [[ "$before" == "$after" ]] && return 0
    done
    fail "the screen never settled"
}

# Types each key, with a pause after it for the game to take it in (key_pause seconds; a
# script whose every screen change is awaited with wait_for can afford a shorter one).
keys() { for key in "$@"; do tmux_ send-keys -t "$session" "$key" && sleep "${key_pause:-0.3}"; done; }

# shellcheck source=SCRIPTDIR/wait_for_input.sh
source "$(dirname "${BASH_SOURCE[0]}")/wait_for_input.sh"

# Waits up to $1 seconds until the game in the pane waits for a key (its pid: the child of the
# pane's shell), so that a key sent next is not dropped with the keys typed ahead.
wait_for_game_input() {
    local pid
    pid=$(pgrep -P "$(tmux_ display -p -t "$session" '#{pane_pid}')" | head -n 1)
    [[ -n "$pid" ]] || fail "no game runs in the pane"
    wait_for_input "$pid" "$1" || fail "the game never waited for a key"
}
