#!/usr/bin/env bash
# Configure, as a machine without xvfb-run sees it: the window's tests are named as left out
# and none is registered; with BRINEWORT_REQUIRE_TESTS (as CI sets it) configure fails
# instead. Nothing is built.   Usage: missing_tools_test.sh <source directory>
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
hidden=(-DXVFB_RUN=XVFB_RUN-NOTFOUND)

output=$(cmake -S "$1" -B "$work" "${hidden[@]}" 2>&1) || fail "configure failed: $output"
[[ "$output" == *"xvfb-run (xvfb): the window tests"* ]] ||
    fail "configure did not name the window tests as left out: $output"
registered=$(cd "$work" && ctest -N)
grep -q 'window_' <<<"$registered" && fail "window tests registered without xvfb-run: $registered"

output=$(cmake -S "$1" -B "$work" "${hidden[@]}" -DBRINEWORT_REQUIRE_TESTS=ON 2>&1) &&
    fail "configure went on with the tests required and xvfb-run missing"
[[ "$output" == *"xvfb-run (xvfb): the window tests"* ]] ||
    fail "the required configure did not say what is missing: $output"
echo "PASS"
