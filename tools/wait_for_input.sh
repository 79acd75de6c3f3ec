# shellcheck shell=bash
# Sourced by the scripts that drive the real game: rather than sleeping for a fixed time, they
# wait until the game waits for a key, which Linux shows as a process blocked in poll (or
# select) in /proc; a game that is typing text or animating sleeps in nanosleep instead.

# wait_for_input PID SECONDS: true once PID has been blocked in poll for three looks in a row
# (about 150 ms), false when that does not happen within SECONDS.
wait_for_input() {
    local pid=$1 deadline=$((SECONDS + $2)) settled=0 waiting
    while ((SECONDS < deadline)); do
        waiting=$(cat "/proc/$pid/wchan" 2>/dev/null)
        if [[ $waiting == *poll* || $waiting == *select* ]]; then
            ((++settled >= 3)) && return 0
        else
            settled=0
        fi
        sleep 0.05
    done
    return 1
}
