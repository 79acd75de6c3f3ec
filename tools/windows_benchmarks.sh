#!/usr/bin/env bash
# The Windows build's figures in BENCHMARKS.md: the zip's size and the programs' in it, and
# the processor the game uses under Wine while it waits for the player (the title menu, the
# tavern, the world map, a dungeon room), in an 80x25 tmux pane, beside what Wine costs with a
# program that only waits for a key.
# Usage: tools/windows_benchmarks.sh [seconds per idle sample, default 10]
# The build directory is /tmp/build-bench-win unless BRINEWORT_BENCH_BUILD names another.
set -eu
seconds=${1:-10}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRINEWORT_BENCH_BUILD:-/tmp/build-bench-win}
for tool in tmux wine unzip x86_64-w64-mingw32-g++-posix; do
    command -v "$tool" >/dev/null || { echo "windows_benchmarks.sh: $tool is missing" >&2; exit 1; }
done
started=$SECONDS
section() { printf '\n== %s\n' "$1"; }

section "Build (Release, $build)"
# The README's command for the zip.
cmake -S "$root" -B "$build" --toolchain "$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target package >"$build/benchmarks-build.log" 2>&1 ||
    { tail -30 "$build/benchmarks-build.log"; exit 1; }
zip=$(ls "$build"/brinewort-*-windows-x86_64.zip)

section "The zip"
printf '  %s: %d bytes\n' "$(basename "$zip")" "$(stat -c %s "$zip")"
unzip -l "$zip" | awk '/\.exe$/ { printf "  %s: %d bytes unpacked\n", $4, $1 }'

# --- The game under Wine in a detached 80x25 tmux, in a Wine prefix of its own ---
session=bench
# shellcheck source=SCRIPTDIR/tmux_drive.sh
source "$root/tools/tmux_drive.sh"
echo "(making a Wine prefix: about 10 to 40 s)"
"$root/tools/wine_run.sh" --make-prefix "$work/prefix" >/dev/null
WINEPREFIX=$(cat "$work/prefix")
export WINEPREFIX
trap 'tmux_ kill-server 2>/dev/null; "$root/tools/wine_run.sh" --remove-prefix "$work/prefix";
      rm -rf "$work"' EXIT
(cd "$work" && unzip -q "$zip")
game=$(ls "$work"/brinewort-*/brinewort.exe)
cp -r "$root/data" "$work/data"
rm -f "$work/data/SaveFile.txt"
# Short story pages: nothing waits for the typewriter.
printf 'Chunk1\nFirst page._\nChunk2\nSecond page._\n' >"$work/data/Story.txt"

start() { # $1: the Windows program and its arguments
    tmux_ -f /dev/null new-session -d -s "$session" -x 80 -y 25 -c "$work/data" \
        "env TERM=tmux-256color LANG=C.UTF-8 '$root/tools/wine_run.sh' $1; sleep 600"
}

hz=$(getconf CLK_TCK)
# The processes of this Wine prefix: the program, Wine's console host and its server, and the
# services Wine keeps running beside them while a program runs.
prefix_pids() {
    for environ in /proc/[0-9]*/environ; do
        { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
            basename "$(dirname "$environ")"
    done
}
ticks_of() { # $1: a name (its process) or "all" (every process of the prefix)
    local total=0 pid
    for pid in $(prefix_pids); do
        [[ "$1" == all || "$(cat "/proc/$pid/comm" 2>/dev/null)" == "$1" ]] || continue
        total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null || echo 0)))
    done
    echo "$total"
}
percent() { awk -v used="$1" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * used / hz / s }'; }

declare -A game_cpu wine_cpu
sample() {
    local g0 a0
    local program=brinewort.exe
    [[ "$1" == "cmd /c pause" ]] && program=cmd.exe
    g0=$(ticks_of "$program")
    a0=$(ticks_of all)
    sleep "$seconds"
    game_cpu[$1]=$(percent $(($(ticks_of "$program") - g0)))
    wine_cpu[$1]=$(percent $(($(ticks_of all) - a0)))
}

load=$(cut -d" " -f1-3 /proc/loadavg)
# What Wine costs beside any program: one that only waits for a key.
start "cmd /c pause"
wait_for 0 30 "Press any key to continue" 0
sleep 5
sample "cmd /c pause"
keys Enter
sleep 3
tmux_ kill-session -t "$session"

start "'$game'"
wait_for 14 60 "Quit" 35
wait_settled 20
sample "title menu"
keys Enter
# Wine may take some 10 s to hand a program its first key when another has just ended.
wait_for 2 30 "First page." 10
sleep 0.5
keys Enter
wait_for 2 10 "Second page." 10
sleep 0.5
keys Enter
wait_for 23 10 " Quit " 2
wait_settled 10
sample "tavern"
keys Enter
wait_for 11 10 "Where would you like to go?" 25
wait_settled 10
sample "world map"
keys Left Enter
wait_for 19 10 "Keys:" 8
wait_settled 10
sample "dungeon room"

section "Idle processor under Wine (share of one core over $seconds s)"
printf '  (load average before the samples: %s)\n' "$load"
printf '  %-14s %11s %18s\n' "" "the program" "all Wine processes"
for place in "cmd /c pause" "title menu" "tavern" "world map" "dungeon room"; do
    printf '  %-14s %10s%% %17s%%\n' "$place" "${game_cpu[$place]}" "${wine_cpu[$place]}"
done
printf '\n(windows_benchmarks.sh took %d s)\n' $((SECONDS - started))
