#!/usr/bin/env bash
# Started without a terminal, the game says so in one line and ends with a non-zero status
# instead of drawing escape sequences into a pipe.
# Usage: not_a_terminal.sh <brinewort binary>
set -u
output=$("$1" </dev/null 2>&1)
status=$?
lines=$(printf '%s\n' "$output" | wc -l)
if [[ "$status" == 0 ]]; then
    echo "FAIL: exit status 0 without a terminal"
    exit 1
fi
if [[ "$lines" != 1 || "$output" != *"terminal"* ]]; then
    echo "FAIL: expected one line about the terminal, got: $output"
    exit 1
fi
echo "PASS: $output"
