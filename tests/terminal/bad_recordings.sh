#!/usr/bin/env bash
# A recording the game cannot replay, or options it cannot take, give one line on standard
# error and exit status 2 before the terminal is touched: standard input here is not a
# terminal, so a game that got as far as the terminal would say that instead.
# Usage: bad_recordings.sh <brinewort binary> <a good recording>
binary=$(realpath "$1")
good=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

printf '' >empty.rec
printf 'brinewort-reco' >cut-in-header.rec
printf 'brinewort-recording 1\ndir .\n' >no-save.rec
printf 'brinewort-recording 99\ndir .\nsave -\n' >future.rec
head -c 3000 /dev/urandom >garbage.rec
{ head -n 3 "$good"; echo "t 12 and more"; } >bad-record.rec
{ head -n 3 "$good"; echo "f 0000000000000000 map.txt"; } >other-data.rec
echo "a map of another game" >map.txt

failed=0
# expect <what the line must mention> <arguments...>
expect() {
    local mention=$1
    shift
    local out err status
    out=$("$binary" "$@" </dev/null 2>"$work/err")
    status=$?
    err=$(cat "$work/err")
    # One line says what is wrong; a mistaken option is followed by the usage lines.
    local first rest
    first=$(head -n 1 <<<"$err")
    rest=$(tail -n +2 <<<"$err")
    if [[ $status != 2 || -n "$out" || "$first" != *"$mention"* ||
        (-n "$rest" && "$rest" != Usage:*) ]]; then
        echo "FAIL: $* gave status $status, output '$out', errors '$err'"
        failed=1
    else
        echo "ok: $*: $err"
    fi
}
expect "No such file" --replay missing.rec
expect "empty" --replay empty.rec
expect "truncated" --replay cut-in-header.rec
expect "truncated" --replay no-save.rec
expect "version 99" --replay future.rec
expect "not a Brinewort recording" --replay garbage.rec
expect "line 4" --replay bad-record.rec
expect "differs" --replay other-data.rec
expect "speed" --replay "$good" --speed 0
expect "speed" --replay "$good" --speed fast
expect "needs a value" --replay
expect "together" --record a.rec --replay "$good"
expect "unknown option" --frobnicate
expect "No such file" --record no/such/directory/a.rec
exit $failed
