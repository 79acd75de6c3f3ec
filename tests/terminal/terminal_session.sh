#!/usr/bin/env bash
# The real game in a real 80x25 terminal (tmux), on a copy of the shipped data whose story
# pages are short, so that nothing waits for the typewriter: the title menu's arrows wrap
# both ways; New Game through the story to the tavern, its menu, Status, the world map, the
# Cave (room, key legend, overhead map), the inventory, Save and Quit. (Continue in
# the terminal is terminal_record_replay's; across program runs, the whole-game demos'.)
# Every run must end with status 0, the farewell on the screen and the terminal restored.
# Usage: terminal_session.sh <brinewort binary> <shipped data directory>
set -u
here=$(dirname "$(realpath "$0")")
binary=$(realpath "$1")
command -v tmux >/dev/null || { echo "tmux is not installed"; exit 77; }

session=brinewort
# shellcheck source=SCRIPTDIR/../../tools/tmux_drive.sh
source "$here/../../tools/tmux_drive.sh"
key_pause=0.15

cp -r "$(realpath "$2")" "$work/data"
rm -f "$work/data/SaveFile.txt"
printf 'Chunk1\nFirst page._\nChunk2\nSecond page._\n' >"$work/data/Story.txt"
# The game saves only in a directory nobody else may write to, whatever the umask.
chmod go-w "$work/data"

# Colours of one cell as xterm colour numbers "FG BG".
colour() { tmux_ capture-pane -p -e -t "$session" | python3 "$here/screen.py" "$1" "$2"; }
# Waits up to 5 seconds for the cell at column $1, row $2 to show the colours $3 ("fg bg").
wait_for_colour() {
    local deadline=$((SECONDS + 5))
    until [[ "$(colour "$1" "$2")" == "$3" ]]; do
        ((SECONDS < deadline)) || fail "column $1, row $2 never turned '$3': $(colour "$1" "$2")"
        sleep 0.05
    done
}
# Starts the game; the shell waits after it so that its last screen can be read, and the exit
# status goes to a file, not to the screen.
start_game() {
    tmux_ -f /dev/null new-session -d -s "$session" -x 80 -y 25 -c "$work/data" \
        "env TERM=tmux-256color LANG=C.UTF-8 '$binary'; echo \$? > '$work/status'; sleep 60"
    wait_for 14 20 "Quit" 35
}

# The program has ended with status 0, its farewell in dark red, the terminal restored.
check_farewell() {
    local deadline=$((SECONDS + 10))
    while [[ ! -s "$work/status" ]] && ((SECONDS < deadline)); do sleep 0.2; done
    [[ -s "$work/status" ]] || fail "the game did not end after Quit"
    local status
    status=$(cat "$work/status")
    [[ "$status" == 0 ]] || fail "exit status $status, expected 0"
    wait_for 20 1 "where are you goin?  Fine, " 12
    [[ "$(colour 12 20)" == "124 16" ]] || fail "the farewell is not dark red: $(colour 12 20)"
    local state
    state=$(tmux_ display -p -t "$session" '#{alternate_on} #{cursor_flag}')
    [[ "$state" == "0 1" ]] || fail "terminal left in a bad state (alternate, cursor): $state"
}

# Enters a dungeon from the world map with an arrow and checks its screen, its overhead map,
# and the way back out.
visit_dungeon() {
    keys "$1" Enter
    wait_for 2 5 $'\u2554' 5 # the room's top-left corner at column 5, row 2
    legend=("Keys:" "wasd - Movement" "m - Overhead Map" "p - Exit Dungeon" "i - Inventory"
        "t - Talk to an NPC")
    for i in "${!legend[@]}"; do wait_for $((19 + i)) 1 "${legend[$i]}" 8; done
    wait_for_colour 5 2 "130 16" # the room brown
    keys m
    wait_for 6 5 "Press Enter to exit" 2
    keys Enter
    wait_for 19 5 "Keys:" 8
    keys p
    wait_for 11 5 "Where would you like to go?" 25
}

start_game
keys Down Up Up # wraps to Quit
wait_for_colour 35 14 "16 231" # Quit highlighted
keys Down Enter # back round to New Game
wait_for 2 10 "First page." 10
wait_for_game_input 5 # keys pressed while a page is still being typed are dropped
keys Enter
wait_for 2 10 "Second page." 10
wait_for_game_input 5
keys Enter
tavern=(" World Map " " Talk " " Sleep " " Save " " Status " " Quit ")
for i in "${!tavern[@]}"; do wait_for $((18 + i)) 5 "${tavern[$i]}" 2; done
wait_for_colour 2 18 "16 231" # World Map highlighted
keys Up Up Enter # Status
wait_for 23 5 "Press space to continue" 49
wait_for 17 5 "1" 26
wait_for 5 1 "100" 26
wait_for 15 1 "Bottle" 66
keys Space
wait_for 18 5 "Display your character status" 37
keys Down Down Enter # World Map
wait_for 11 5 "Where would you like to go?" 25
wait_for_colour 32 18 "34 16" # TAVERN highlighted
visit_dungeon Left # the other dungeons draw the same way; the recorded games walk them
wait_for_colour 3 9 "34 16" # the Cave highlighted
keys Down Enter
wait_for 23 5 " Quit " 2
keys i
wait_for 23 5 "Press left arrow to exit" 47
wait_for 2 1 "Apple" 2
keys Left
wait_for 23 5 " Quit " 2
keys Down Down Down Enter # Save
wait_for 13 5 "Progress Saved" 10
[[ -s "$work/data/SaveFile.txt" ]] || fail "no save file"
wait_for 13 5 "              " 10 # keys are dropped while the message stands
keys Down Down Enter # Quit
check_farewell
echo "PASS"
