#!/usr/bin/env bash
# Builds the game and its benchmarks (Release) and prints the figures described in
# BENCHMARKS.md: idle CPU in six places and in a paced replay, bytes written to the terminal,
# start-up time, the automatic player's time and memory, a replay's memory against the
# recording's size, and the micro-benchmarks.
# Usage: tools/benchmarks.sh [seconds per idle sample, default 10]
# The build directory is /tmp/build-bench unless BRINEWORT_BENCH_BUILD names another.
set -eu
seconds=${1:-10}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRINEWORT_BENCH_BUILD:-/tmp/build-bench}
for tool in tmux script python3; do
    command -v "$tool" >/dev/null || { echo "benchmarks.sh: $tool is not installed" >&2; exit 1; }
done
started=$SECONDS

section() { printf '\n== %s\n' "$1"; }

section "Build (Release, $build)"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBRINEWORT_BENCH=ON >/dev/null
targets=(brinewort brinewort_bench brinewort_repaint_cost brinewort_replay_memory)
# The automatic player's games, through the balance report.
if cmake --build "$build" --target help | grep -w brinewort-balance >/dev/null; then
    targets+=(brinewort-balance)
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >"$build/benchmarks-build.log" 2>&1 ||
    { tail -30 "$build/benchmarks-build.log"; exit 1; }
echo "built: ${targets[*]}"

section "Micro-benchmarks"
"$build/bench/brinewort_bench" 2>&1 | grep -v '^\*\*\*WARNING\*\*\* Library was built as DEBUG'

# --- The real binary in a detached 80x25 tmux, its output logged by script(1) ---
session=bench
# shellcheck source=SCRIPTDIR/tmux_drive.sh
source "$root/tools/tmux_drive.sh"
cp -r "$root/data" "$work/data"
rm -f "$work/data/SaveFile.txt"

# What a full repaint of every present would write, counted on the headless backend.
declare -A full
while read -r key value; do full[$key]=$value; done < <(cd "$work/data" &&
    "$build/bench/brinewort_repaint_cost")

key() { tmux_ send-keys -t "$session" "$1"; }

# script(1) starts its log with a header line of its own; the rest is what the game wrote.
output="$work/output"
header=0
written() { echo $(($(stat -c %s "$output") - header)); }

# The shell that script(1) starts writes the game's pid, then becomes the game.
tmux_ -f /dev/null new-session -d -s "$session" -x 80 -y 25 -c "$work/data" \
    "env TERM=tmux-256color LANG=C.UTF-8 SHELL=/bin/sh script -q -f -T '$work/timing' \
     -c 'echo \$\$ > $work/pid; exec $build/brinewort' '$output'; sleep 600"
wait_for 14 30 "Quit" 35
wait_settled 20
pid=$(cat "$work/pid")
header=$(head -1 "$output" | wc -c)
hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }

# The first goblet glyph (U+2593) in the log, and the time script(1) logged it at.
startup_ms=$(python3 - "$output" "$work/timing" "$header" <<'EOF'
import sys
data = open(sys.argv[1], "rb").read()[int(sys.argv[3]):]
glyph = data.find("\u2593".encode())
elapsed, offset = 0.0, 0
for line in open(sys.argv[2]):
    delay, size = line.split()
    elapsed += float(delay)
    offset += int(size)
    if glyph >= 0 and offset > glyph:
        print(f"{elapsed * 1000:.0f}")
        break
else:
    print("?")
EOF
)
intro_bytes=$(written)

# CPU time used over the sample, as a share of one core, and bytes written meanwhile.
declare -A cpu idle_bytes
sample() {
    local b0 t0 t1
    b0=$(written)
    t0=$(ticks)
    sleep "$seconds"
    t1=$(ticks)
    cpu[$1]=$(awk -v used="$((t1 - t0))" -v hz="$hz" -v s="$seconds" \
        'BEGIN { printf "%.2f", 100 * used / hz / s }')
    idle_bytes[$1]=$(($(written) - b0))
}

load=$(cut -d" " -f1-3 /proc/loadavg) # other work on the machine skews every figure
sample "title menu"

key Enter # New Game: two story pages, typed a letter at a time
wait_for 2 10 "Long ago" 10
wait_settled 180
key Enter
wait_for 2 10 "\"Finally awake" 10
wait_settled 180
key Enter
wait_for 23 10 " Quit " 2
wait_settled 10
sample "tavern"

key Enter # World Map, the tavern's first entry
wait_for 11 10 "Where would you like to go?" 25
wait_settled 10
sample "world map"

key Left # the Cave
key Enter
wait_for 2 10 $'\u2554' 5
wait_settled 10
sample "dungeon room"

# One step onto a free floor cell beside the player (the room's interior is screen rows 3-14,
# columns 6-25); the player is U+2642.
direction=$(tmux_ capture-pane -p -t "$session" | python3 -c '
import sys
rows = [line.rstrip("\n").ljust(80) for line in sys.stdin]
for y, line in enumerate(rows):
    x = line.find("\u2642")
    if x < 0: continue
    for key, dy, dx in (("d", 0, 1), ("a", 0, -1), ("s", 1, 0), ("w", -1, 0)):
        if 3 <= y + dy <= 14 and 6 <= x + dx <= 25 and rows[y + dy][x + dx] == " ":
            print(key); sys.exit()
')
step_bytes="no free cell beside the player"
if [[ -n "$direction" ]]; then
    before=$(written)
    key "$direction"
    sleep 1
    step_bytes=$(($(written) - before))
fi

key m # the overhead map
wait_for 6 10 "Press Enter to exit" 2
wait_settled 10
sample "overhead map"
key Enter
wait_for 19 10 "Keys:" 8
key i # the inventory, opened from the dungeon
wait_for 23 10 "Press left arrow to exit" 47
wait_settled 10
sample "inventory"
key Left
tmux_ kill-server 2>/dev/null || true

# --- A replay at the recorded pace, waiting longer than a sample for the recorded player's
# first key at the title menu ---
python3 - "$root/tests/demos/terminal.rec" "$((seconds + 10))" >"$work/slow.rec" <<'EOF'
import sys
lines = open(sys.argv[1]).read().split("\n")
first_key = next(i for i, line in enumerate(lines) if line.startswith("k d "))
head, arrival = lines[first_key].rsplit("@", 1)
lines[first_key] = f"{head}@{int(arrival) + 1000 * int(sys.argv[2])}"
sys.stdout.write("\n".join(lines))
EOF
tmux_ -f /dev/null new-session -d -s "$session" -x 80 -y 25 -c "$work/data" \
    "env TERM=tmux-256color LANG=C.UTF-8 sh -c 'echo \$\$ > $work/pid; exec $build/brinewort --replay $work/slow.rec'; sleep 600"
wait_for 14 30 "Quit" 35
sleep 2
pid=$(cat "$work/pid")
sample "paced replay"
tmux_ kill-server 2>/dev/null || true

# --- Peak memory of a headless replay against the recording's size ---
declare -A replay_memory
for megabytes in 1 10 100; do
    python3 - "$root/tests/demos/whole-1.rec" "$megabytes" >"$work/padded.rec" <<'EOF'
import sys
data = open(sys.argv[1]).read()
target = int(sys.argv[2]) << 20
pad = "m 0\n"  # clock readings after the end, which the replay reads through
sys.stdout.write(data + pad * max(0, (target - len(data)) // len(pad)))
EOF
    replay_memory[$megabytes]=$(cd "$work/data" && "$build/bench/brinewort_replay_memory" "$work/padded.rec")
    rm "$work/padded.rec"
done

# --- The automatic player's whole game on the headless backend ---
autoplay="not built"
binary=$(find "$build" -type f -name brinewort-balance -perm -u+x 2>/dev/null | head -1)
if [[ -n "$binary" ]]; then
    autoplay=$(python3 - "$binary" "$root/data" <<'EOF'
import resource, subprocess, sys, time
start = time.monotonic()
status = subprocess.run([sys.argv[1], sys.argv[2], "1", "1"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
real = time.monotonic() - start
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss  # KiB on Linux
print(f"{real:.2f} s real, peak RSS {peak / 1024:.1f} MiB, exit status {status}")
EOF
    )
fi

section "Idle CPU (share of one core over $seconds s; goal 0.0%, at most 0.2%)"
printf '  (load average before the samples: %s)\n' "$load"
for place in "title menu" "tavern" "world map" "dungeon room" "overhead map" "inventory"; do
    printf '  %-14s %6s%%   (%d bytes written meanwhile)\n' "$place" "${cpu[$place]}" \
        "${idle_bytes[$place]}"
done

printf '  %-14s %6s%%   (waiting for the next recorded key)\n' "paced replay" \
    "${cpu[paced replay]}"

section "Replay memory (whole-1.rec padded to the size, headless, as fast as it goes)"
for megabytes in 1 10 100; do
    printf '  %3d MB: %s\n' "$megabytes" "${replay_memory[$megabytes]}"
done

section "Bytes written to the terminal (tmux-256color, UTF-8)"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1f%%", 100 * a / b; else print "?" }'; }
printf '  title intro (start to menu, %s presents): %d bytes; full repaint of every present: %d (%s)\n' \
    "${full[intro_presents]}" "$intro_bytes" "${full[intro_full_repaint_bytes]}" \
    "$(ratio "$intro_bytes" "${full[intro_full_repaint_bytes]}")"
if [[ "$step_bytes" =~ ^[0-9]+$ ]]; then
    printf '  one step in a dungeon room: %d bytes; full repaint: %d (%s)\n' "$step_bytes" \
        "${full[dungeon_full_repaint_bytes]}" \
        "$(ratio "$step_bytes" "${full[dungeon_full_repaint_bytes]}")"
else
    printf '  one step in a dungeon room: %s\n' "$step_bytes"
fi

section "Start-up"
printf '  program start to the first intro frame: %s ms\n' "$startup_ms"

section "Automatic player (headless, whole game)"
printf '  %s\n' "$autoplay"

printf '\n(benchmarks.sh took %d s)\n' $((SECONDS - started))
