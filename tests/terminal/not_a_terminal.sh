#!/usr/bin/env bash
# Started without a terminal, the game says so in one line and ends with a non-zero status
# instead of drawing escape sequences into a pipe.   Usage: not_a_terminal.sh <brinewort binary>
# Without a display too: with one, the game would open its window instead.
output=$(env -u DISPLAY -u WAYLAND_DISPLAY "$1" </dev/null 2>&1)
status=$?
if [[ "$status" == 0 || $(printf '%s\n' "$output" | wc -l) != 1 || "$output" != *terminal* ]]; then
    echo "FAIL: expected one line about the terminal and a non-zero status, got $status: $output"
    exit 1
fi
echo "PASS: $output"
