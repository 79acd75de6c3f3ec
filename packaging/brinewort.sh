#!/bin/sh
# Starts Brinewort in the player's own game directory. The game reads its data files from
# the directory it runs in and keeps its save there, so this prepares a directory of the
# player's own, links the installed data files into it, and starts the game there.
set -eu

here=$(dirname "$(readlink -f "$0")")
data_dir="$here/../share/brinewort"
game="$here/../libexec/brinewort/brinewort"
game_dir="${XDG_DATA_HOME:-$HOME/.local/share}/brinewort"

mkdir -p "$game_dir"
# Links left behind by an older version whose files are gone.
for entry in "$game_dir"/* "$game_dir"/.[!.]*; do
    if [ -L "$entry" ] && [ ! -e "$entry" ]; then rm -f "$entry"; fi
done
# The installed data, linked in. A player's own file of the same name (a dungeon of their
# own, say) is left as it is, and so is the save.
for file in "$data_dir"/*; do
    target="$game_dir/$(basename "$file")"
    if [ ! -e "$target" ] || [ -L "$target" ]; then ln -sfn "$file" "$target"; fi
done

cd "$game_dir"
exec "$game" "$@"
