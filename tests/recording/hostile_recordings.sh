#!/usr/bin/env bash
# Recordings made to harm whoever replays them, and files that would hang or flood the game:
# each is refused with one line on standard error (control bytes shown escaped) and exit
# status 2, at once, and no byte of the player's files changes.
# Usage: hostile_recordings.sh <brinewort binary> <folder of hostile recordings>
binary=$(realpath "$1")
fixtures=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
player=$work/player
mkdir -p "$player/home" "$player/attacker" "$work/tmp"
cd "$player" || exit 1
# The player's own files: a save, a shell start-up file, and a recording made before.
printf 'BOB\nprecious\n' >SaveFile.txt
printf 'echo hello\n' >home/.bashrc
printf 'my notes\n' >notes.txt
export HOME=$player/home XDG_DATA_HOME=$player/home/data XDG_DATA_DIRS=/nonexistent
export TMPDIR=$work/tmp

fingerprint() {
    find "$player" -path "$player/attacker" -prune -o \( -type f -o -type l \) -print0 |
        sort -z | xargs -0 sha256sum
}
before=$(fingerprint)

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
# expect <what the line must mention> <arguments...>: status 2 within 10 s, one line that
# mentions it, no control byte on the error stream, nothing of the player's changed and no
# replay directory left.
expect() {
    local mention=$1
    shift
    local status err
    timeout 10 "$binary" "$@" </dev/null >"$work/out" 2>"$work/err"
    status=$?
    err=$(cat "$work/err")
    if ((status != 2)); then
        fail "$* gave status $status (124: it hung), errors '$err'"
    elif [[ $(wc -l <"$work/err") != 1 || "$err" != *"$mention"* || -s "$work/out" ]]; then
        fail "$* said '$err', not one line about '$mention'"
    elif LC_ALL=C grep -q '[[:cntrl:]]' <(tr -d '\n' <"$work/err"); then
        fail "$* printed control bytes: $(cat -v "$work/err")"
    elif [[ $(fingerprint) != "$before" ]]; then
        fail "$* changed the player's files"
    elif [[ -n $(ls -A "$TMPDIR") ]]; then
        fail "$* left $(ls -A "$TMPDIR") behind"
    else
        echo "ok: $*: $err"
    fi
}

# Names a replay would link into its directory, or print.
expect "SaveFile.txt is not one of the game's data files" --replay "$fixtures/save-through-a-link.rec"
expect ".bashrc is not one of the game's data files" --replay "$fixtures/startup-file.rec"
expect "../victim.txt is not one" --replay "$fixtures/climbs-out.rec"
expect "/tmp/elsewhere.txt is not one" --replay "$fixtures/absolute-name.rec"
expect '\x1b]0;pwned\x07\x1b[2J\x1b[31mmap.txt is not one' \
    --replay "$fixtures/escapes-in-a-name.rec"

# A data file that would hang, flood or differ.
mkfifo attacker/map.txt
expect "a FIFO" --replay "$fixtures/data-from-attacker.rec"
rm attacker/map.txt
ln -s /dev/zero attacker/map.txt
expect "a device" --replay "$fixtures/data-from-attacker.rec"
rm attacker/map.txt
head -c 2000000 /dev/zero >attacker/map.txt
expect "too big" --replay "$fixtures/data-from-attacker.rec"
echo "not the map it was made with" >attacker/map.txt
expect "differs" --replay "$fixtures/data-from-attacker.rec"

# The recording itself.
mkfifo "$work/pipe.rec"
expect "a FIFO" --replay "$work/pipe.rec"
rm "$work/pipe.rec"
expect "a device" --replay /dev/zero
{
    printf 'brinewort-recording 1\ndir .\nsave -\nc '
    head -c 70000 /dev/zero | tr '\0' x
    printf '\n'
} >"$work/long-line.rec"
expect "line 4: too long" --replay "$work/long-line.rec"

# Where a recording is written.
expect "the game's own save" --record SaveFile.txt
expect "the game's own save" --record "$player/map.txt"
expect "not a recording; it is left as it is" --record notes.txt
ln -s "$player/notes.txt" "$work/link.rec"
expect "a link" --record "$work/link.rec"
mkfifo "$work/out.rec"
expect "a FIFO" --record "$work/out.rec"
rm "$work/out.rec"
expect "a device" --record /dev/null
# Here, without the game's data, the save is kept in the player's data directory.
mkdir -p "$XDG_DATA_HOME"
mkdir -m 700 "$XDG_DATA_HOME/brinewort"
mkfifo "$XDG_DATA_HOME/brinewort/SaveFile.txt"
expect "SaveFile.txt: a FIFO" --record "$work/new.rec"
rm "$XDG_DATA_HOME/brinewort/SaveFile.txt"
[[ -e $work/new.rec ]] && fail "a refused recording was left behind"

# What a killed replay leaves behind goes at the next start; a live process's stays.
sleep 60 &
alive=$!
mkdir -p "$TMPDIR/brinewort-replay-999999999-abcdef" "$TMPDIR/brinewort-replay-$alive-abcdef"
printf 'BOB\n' >"$TMPDIR/brinewort-replay-999999999-abcdef/SaveFile.txt"
ln -s "$player/SaveFile.txt" "$TMPDIR/brinewort-replay-999999999-abcdef/map.txt"
"$binary" --replay /dev/null </dev/null 2>/dev/null
[[ -e $TMPDIR/brinewort-replay-999999999-abcdef ]] && fail "a stale replay directory stayed"
[[ -e $TMPDIR/brinewort-replay-$alive-abcdef ]] || fail "a live replay's directory was removed"
[[ $(fingerprint) == "$before" ]] || fail "removing a stale directory changed the player's files"
kill "$alive"
exit $failed
