#!/usr/bin/env bash
# Builds the fuzz targets of the game's file readers with clang and runs each for a while on
# a copy of its seed corpus; prints per target its executions and whether it found anything.
# Usage: tools/fuzz.sh [seconds per target, default 60] [target ...]
# BRINEWORT_FUZZ_BUILD names the build directory (default build-fuzz), BRINEWORT_FUZZ_JOBS
# how many targets run at once (default: the number of cores). Exits 1 on any finding.
set -euo pipefail
seconds=${1:-60}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRINEWORT_FUZZ_BUILD:-$root/build-fuzz}
jobs=${BRINEWORT_FUZZ_JOBS:-$(nproc)}
targets=("$@")
((${#targets[@]} > 0)) || targets=(map_loader text_section picture save recording pcf_font replay)

mkdir -p "$build"
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DBRINEWORT_FUZZ=ON \
    -DBUILD_TESTING=OFF >"$build/configure.log" 2>&1 || {
    cat "$build/configure.log"
    exit 1
}
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

# One run: a fresh copy of the seeds (so the repository's corpus stays as it is), crash
# inputs kept beside it, the log for the summary.
run_target() {
    local target=$1 work=$build/fuzz-runs/$1
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/findings"
    # The replay starts from the recordings the reader starts from.
    local seeds=$target
    [[ $target == replay ]] && seeds=recording
    cp "$root/fuzz/corpus/$seeds/"* "$work/corpus/"
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$work/findings/" "$work/corpus" >"$work/log" 2>&1
}

declare -A pids
for target in "${targets[@]}"; do
    while (($(jobs -rp | wc -l) >= jobs)); do
        wait -n || true
    done
    run_target "$target" &
    pids[$target]=$!
done

found=0
for target in "${targets[@]}"; do
    status=0
    wait "${pids[$target]}" || status=$?
    work=$build/fuzz-runs/$target
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
    if ((status == 0)); then
        echo "fuzz_$target: ${executions:-?} executions in ${seconds} s, no finding"
    else
        found=1
        echo "fuzz_$target: FINDING (exit $status) after ${executions:-?} executions;" \
            "inputs in $work/findings, log $work/log"
        grep -m 1 -E '^(==[0-9]+==ERROR|.*runtime error|brinewort fuzz:)' "$work/log" || true
    fi
done
exit "$found"
