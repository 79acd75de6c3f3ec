#!/usr/bin/env bash
# Measures the CPU the game uses while a player sits in the title menu: starts the game in
# a detached 80x25 tmux session, lets the intro finish, then reads the process's CPU time
# over a stretch of wall time. A game that spun while waiting would show about 100%.
# Usage: tools/idle_cpu.sh [seconds]   (run from the repository root after building)
set -eu
seconds=${1:-10}
root=$(cd "$(dirname "$0")/.." && pwd)
socket=$(mktemp -u)
tmux -S "$socket" -f /dev/null new-session -d -x 80 -y 25 -c "$root/data" "$root/build/brinewort"
trap 'tmux -S "$socket" kill-server 2>/dev/null' EXIT
sleep 8 # the intro
pid=$(tmux -S "$socket" display -p '#{pane_pid}')
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$seconds"
after=$(ticks)
awk -v used="$((after - before))" -v hz="$hz" -v s="$seconds" \
    'BEGIN { printf "title menu: %.2f%% of one core over %d s\n", 100 * used / hz / s, s }'
