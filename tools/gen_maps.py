#!/usr/bin/env python3
"""Writes the three dungeons, data/map.txt, from the drawings held in this script.

Output, relative to the repository root (found from this script's place, so the script
can be run from anywhere):
  data/map.txt   sections "MapTag1" (the Cave), "MapTag2" (the Sewer) and
                 "MapTag3" (the Castle)

Usage:
  python3 tools/gen_maps.py           write data/map.txt, check it, print the route
  python3 tools/gen_maps.py --show    the same, and print every drawing and room table
  python3 tools/gen_maps.py --check   write nothing; exit with status 1 when data/map.txt
                                      is missing, differs from what this script makes, or
                                      fails a check
  --datacheck PATH                    the built brinewort-datacheck (else the environment
                                      variable BRINEWORT_DATACHECK, else build/)

The game's tables (doorways, door codes, pickup texts) come from brinewort-datacheck
--facts. What is checked: here, that each drawing, its level grid and its room table agree
(door rooms carry a door code drawn in their passage, items are pickups the game knows,
levels are digits 1 to 5); then brinewort-datacheck reads the data directory with the
game's own loaders and plays it through (openings that meet, the start and the NPC and
boss rooms, keys, bosses and pickups leading to the ending), and its route is printed. Any
problem or warning it reports fails the run.

Drawing notation (one drawing per dungeon; columns are two characters apart, rows are two
lines apart, the first two lines number the columns, and every room line starts with its
row number):
  o  a plain room                   @  the start room
  $  a room with an item            N  a room where non-player characters stand
  !  a boss room                    D  a room with a locked door (it may hold an item too)
  -  an open passage between two rooms side by side
  |  an open passage between two rooms one above the other
  Y G R B W P L O X in a passage: a locked door of that colour (X: the sealed door). The
     lock sits in the room marked D at one end: it stops the player leaving that room
     through that side without the key; coming in from the other room is free.
The level grid beside each drawing gives every room's encounter digit (1 to 5). It does
not make a room more dangerous: once the step counter runs out (10 steps into a visit, 75
after each battle) the game rolls for a battle on every pass of its loop, many times a
second, and the digit only sets the odds of one roll (1 in 8 for the digit 1, 1 in 7 for
4 and 5; half that while a flashlight burns), so the battle comes within moments whatever
the digit. How many battles a dungeon brings depends on how far the player walks in it:
one on entering, one for every 75 steps after. The room table lists every room with an item
or a feature; a door code is "LD", the side (N, E, S, W) and the colour letter.
"""
import argparse
import os
import sys

from datagen import add_datacheck_option, find_datacheck, game_facts, judge, write_or_check

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_PATH = os.path.join(ROOT, "data", "map.txt")


class Game:
    """The game's tables the drawings must agree with, from brinewort-datacheck --facts."""

    def __init__(self, facts):
        self.door_codes = {d["code"] for d in facts["doors"]}
        self.door_colours = {d["colour"] for d in facts["doors"]}
        self.pickups = {p["text"] for p in facts["pickups"]}
        # The doorways in the map file's order: letter -> (column step, row step, facing).
        self.sides = {d["letter"]: (d["columnStep"], d["rowStep"], d["facing"])
                      for d in facts["doorways"]}
        # The dungeons by number: their map tag and name.
        self.dungeons = {d["number"]: d for d in facts["dungeons"]}


# ---------------------------------------------------------------------------------------
# The dungeons.

DUNGEONS = []


def dungeon(number, width, height, drawing, levels, rooms):
    """A dungeon of the game's dungeon table, by its number; its map tag and name come from
    the table."""
    DUNGEONS.append(dict(number=number, width=width, height=height, drawing=drawing,
                         levels=levels, rooms=rooms))


# The Cave. From the mouth (@) the road runs south past Goro, the Red Key and Pogo to the
# red door, and Molloch's first den lies just behind it: a short walk that a new hero makes
# at level one, still with the bottle, so the first fight is close. The Red Key's room also
# holds the blue door (its key lies in the Castle's great hall), with Molloch's lower den
# right behind it. Two purple doors, which open with the key of Molloch's second defeat, lead
# to the old galleries: Vurgle, the two Arkums and Dele in the west, Pogo again in the east,
# with food, a scroll and an old hero's broadsword for whoever explores them before
# Agamir's last stand.
dungeon(1, 15, 11, drawing=r"""
                        1 1 1 1 1
    0 1 2 3 4 5 6 7 8 9 0 1 2 3 4
 0    N
      |
 1    $-o-o       @
          |       |
 2        o       N
          |       |
 3        o       DB!-DPo-o-o-N
          |       |
 4        o-o-o-oPD
          |       |
 5        N       o-N-DR!
          |
 6        o
          |
 7        o
          |
 8        o
          |
 9      N-o

10
""", levels=r"""
          11111
012345678901234
.2.............
.222...1.......
...2...2.......
...2...2422222.
...22222.......
...2...2224....
...2...........
...2...........
...2...........
..22...........
...............
""", rooms=r"""
col,row | feature | item            | what it is
  7, 1  | Start   |                 | the cave mouth
  7, 2  | NPC     |                 | Goro
  7, 3  | LDEB    | Red Key         | below Goro: the Red Key, and the blue door east
  7, 4  | LDWP    |                 | the purple door, west: the old galleries
  8, 5  | NPC     |                 | Pogo, at the red door
  9, 5  | LDER    |                 | the red door, east
 10, 5  | Boss    | Whip            | Molloch's den: first fight, and a whip someone dropped
 13, 3  | NPC     | Wind Spell      | Pogo again, with his gran's scroll
  8, 3  | Boss    |                 | Molloch's lower den: second fight
  9, 3  | LDEP    |                 | a purple door behind the lower den
  3, 5  | NPC     | Cookie          | Vurgle, with a cookie for guests
  2, 9  | NPC     | Sword           | the two Arkums and the sword they argued about
  1, 1  |         | Fish Sandwich   | Dele's larder
  1, 0  | NPC     | Broadsword      | Dele, who kept an old hero's broadsword
""")

# The Sewer. East of the grate (@) a passage runs past Nerman and Luba, with apples on the
# way, to the green door (its key lies in the Castle's east wing) and Agamir's first chamber.
# West of the grate the purple door (Molloch's second defeat gives its key) opens the long
# drain: Bemi, the Lightning Spell, Anook, Murdik, Xilco and food lie on the one road to
# Agamir's last stand, long enough to bring a hero the levels that fight asks for.
dungeon(2, 15, 15, drawing=r"""
                        1 1 1 1 1
    0 1 2 3 4 5 6 7 8 9 0 1 2 3 4
 0

 1      o-o-o-oPD-@-N-o-o-$-o-o
        |                     |
 2      o                     o
        |                     |
 3      o                     N
        |                     |
 4      N                     D
        |                     G
 5      o                     !
        |
 6      $
        |
 7      o
        |
 8      o
        |
 9      o
        |
10      $           N-!
        |           |
11    o-o           o
      |             |
12    o     N-o-$-o-o
      |     |
13    N-o-o-o

14
""", levels=r"""
          11111
012345678901234
...............
..333331333333.
..3..........3.
..3..........3.
..3..........3.
..3..........4.
..3............
..3............
..3............
..3............
..3.....34.....
.33.....3......
.3..33333......
.3333..........
...............
""", rooms=r"""
col,row | feature | item            | what it is
  7, 1  | Start   |                 | the grate
  8, 1  | NPC     |                 | Nerman, beside the grate
 13, 3  | NPC     | Apple           | Luba, far east, with an apple for visitors
 11, 1  |         | Apple           | a crate of apples on the way east
 13, 4  | LDSG    |                 | the green door, south
 13, 5  | Boss    |                 | Agamir's chamber: first fight
  6, 1  | LDWP    |                 | the purple door, west of the grate
  2, 4  | NPC     | Apple           | Bemi, who shares her apples
  2, 6  |         | Lightning Spell | the long drain
  2,10  |         | Apple           | the long drain
  6,12  |         | Cookie          | the old pumping room
  4,12  | NPC     |                 | Murdik
  1,13  | NPC     |                 | Anook
  8,10  | NPC     |                 | Xilco
  9,10  | Boss    |                 | Agamir's last stand
""")

# The Castle. At the gate (@) a guard left his bow. North, the light gray door (Molloch's
# first defeat gives its key) opens the east wing: the Axe, the Fire Spell and Ghali with
# the Green Key for the Sewer. West, the yellow door (Agamir's first defeat gives its key)
# opens the great hall and the Blue Key for the Cave. Off the roads: the gatehouse, with
# the flashlight and Ghali at the gate, and beyond the hall the west wing, with Ghali, a
# scroll in the library and the sealed door.
dungeon(3, 15, 11, drawing=r"""
                        1 1 1 1 1
    0 1 2 3 4 5 6 7 8 9 0 1 2 3 4
 0

 1

 2                          o-o
                            | |
 3                          o N
                            |
 4                          $
                            |
 5                          $
                            O
 6                          D
                            |
 7        oXD-N-o-o-$-o-oYD-@-o
                              |
 8                            $
                              |
 9                            o
                              |
10                            o-N
""", levels=r"""
          11111
012345678901234
...............
...............
............22.
............22.
............2..
............2..
............2..
...22222222212.
.............2.
.............2.
.............22
""", rooms=r"""
col,row | feature | item            | what it is
 12, 7  | Start   | Bow             | the gate, where a guard left his bow
 12, 6  | LDNO    |                 | the light gray door north: the east wing
 12, 5  |         | Axe             | the armoury
 12, 4  |         | Fire Spell      | the guardroom
 13, 3  | NPC     | Green Key       | Ghali in the steward's room, with the Green Key
 11, 7  | LDWY    |                 | the yellow door, west: the great hall
  8, 7  |         | Blue Key        | the great hall: the Blue Key
  5, 7  | NPC     |                 | Ghali, in the west wing
  4, 7  | LDWX    | Quake Spell     | the library: a scroll, and the sealed door
 14,10  | NPC     | Apple           | Ghali, the gatekeeper, down in the gatehouse
 13, 8  |         | Flashlight      | the stair down to the gatehouse
""")


# ---------------------------------------------------------------------------------------
# Reading the drawings.

def fail(message):
    sys.exit("gen_maps: " + message)


def parse_drawing(d, game):
    """Return {(col, row): symbol} and {(col, row): set of open sides}, and the locks
    drawn in passages: {(col, row, side): colour} for both ends of each passage."""
    w, h = d["width"], d["height"]
    lines = d["drawing"].split("\n")[1:]
    if lines and lines[-1] == "":
        lines = lines[:-1]
    body = lines[2:]
    if len(body) != 2 * h - 1:
        fail(f"{d['name']}: the drawing has {len(body)} lines, expected {2 * h - 1}")
    prefix = 4
    width = 2 * w - 1
    grid = []
    for i, line in enumerate(body):
        label, text = line[:prefix], line[prefix:]
        if i % 2 == 0:
            if label.strip() != str(i // 2):
                fail(f"{d['name']}: drawing line {i + 3} should start with row {i // 2}")
        elif label.strip():
            fail(f"{d['name']}: drawing line {i + 3} is a passage line, no row label")
        if len(text) > width:
            fail(f"{d['name']}: drawing line {i + 3} is wider than the grid")
        grid.append(text.ljust(width))
    symbols, doors, drawn_locks = {}, {}, {}
    for r in range(h):
        for c in range(w):
            ch = grid[2 * r][2 * c]
            if ch == " ":
                continue
            if ch not in "o$@N!D":
                fail(f"{d['name']}: unknown room symbol {ch!r} at {c},{r}")
            symbols[(c, r)] = ch
            doors[(c, r)] = set()
    for r in range(h):
        for c in range(w):
            links = []
            if c + 1 < w:
                links.append((grid[2 * r][2 * c + 1], (c + 1, r), "E", "-"))
            if r + 1 < h:
                links.append((grid[2 * r + 1][2 * c], (c, r + 1), "S", "|"))
            for ch, other, side, open_mark in links:
                if ch == " ":
                    continue
                if ch != open_mark and ch not in game.door_colours:
                    fail(f"{d['name']}: unknown passage mark {ch!r} by {c},{r}")
                if (c, r) not in symbols or other not in symbols:
                    fail(f"{d['name']}: passage {ch!r} by {c},{r} does not join two rooms")
                back = game.sides[side][2]
                doors[(c, r)].add(side)
                doors[other].add(back)
                if ch != open_mark:
                    drawn_locks[(c, r, side)] = ch
                    drawn_locks[other + (back,)] = ch
    # Passage marks in places that join nothing (between rows, off the room columns).
    for i, text in enumerate(grid):
        for k, ch in enumerate(text):
            if ch == " ":
                continue
            if i % 2 == 1 and k % 2 == 1:
                fail(f"{d['name']}: stray mark {ch!r} on drawing line {i + 3}")
    return symbols, doors, drawn_locks


def parse_levels(d, symbols):
    lines = d["levels"].split("\n")[1:]
    if lines and lines[-1] == "":
        lines = lines[:-1]
    rows = lines[2:]
    if len(rows) != d["height"]:
        fail(f"{d['name']}: the level grid has {len(rows)} rows, expected {d['height']}")
    levels = {}
    for r, line in enumerate(rows):
        if len(line) != d["width"]:
            fail(f"{d['name']}: level grid row {r} is not {d['width']} wide")
        for c, ch in enumerate(line):
            if ch == ".":
                if (c, r) in symbols:
                    fail(f"{d['name']}: room {c},{r} has no level")
                continue
            if (c, r) not in symbols:
                fail(f"{d['name']}: level {ch!r} at {c},{r}, where no room is drawn")
            if ch not in "12345":
                fail(f"{d['name']}: room {c},{r} has level {ch!r}, not a digit 1 to 5")
            levels[(c, r)] = ch
    return levels


def parse_rooms(d):
    table = {}
    for line in d["rooms"].strip("\n").split("\n")[1:]:
        if not line.strip():
            continue
        parts = [p.strip() for p in line.split("|")]
        if len(parts) != 4:
            fail(f"{d['name']}: bad room table line {line!r}")
        pos, feature, item, _what = parts
        c, r = (int(x) for x in pos.split(","))
        if (c, r) in table:
            fail(f"{d['name']}: room {c},{r} listed twice")
        table[(c, r)] = (feature or None, item or None)
    return table


def build_rooms(d, game):
    """The dungeon's rooms from its drawing, level grid and table:
    {(col, row): dict(doors, level, item, feature)}."""
    symbols, doors, drawn_locks = parse_drawing(d, game)
    levels = parse_levels(d, symbols)
    table = parse_rooms(d)
    rooms = {}
    for pos, sym in symbols.items():
        feature, item = table.get(pos, (None, None))
        expect = {"@": "Start", "N": "NPC", "!": "Boss"}.get(sym)
        where = f"{d['name']} {pos[0]},{pos[1]}"
        if sym == "D":
            if feature not in game.door_codes:
                fail(f"{where}: drawn as a door room but its feature is {feature!r}")
        elif feature != expect:
            fail(f"{where}: drawn as {sym!r} but its feature is {feature!r}")
        if sym == "$" and not item:
            fail(f"{where}: drawn as an item room but the table gives no item")
        if sym == "o" and item:
            fail(f"{where}: drawn as a plain room but the table gives it {item!r}")
        if item and item not in game.pickups:
            fail(f"{where}: {item!r} is no pickup the game knows")
        rooms[pos] = dict(doors=doors[pos], level=levels[pos], item=item, feature=feature)
    for pos in table:
        if pos not in symbols:
            fail(f"{d['name']}: the table lists {pos[0]},{pos[1]}, where no room is drawn")
    # Every lock drawn in a passage is carried by one of its ends, and the other way.
    for (c, r, side), colour in drawn_locks.items():
        code = "LD" + side + colour
        column_step, row_step, facing = game.sides[side]
        other = (c + column_step, r + row_step)
        other_code = "LD" + facing + colour
        if rooms[(c, r)]["feature"] != code and rooms[other]["feature"] != other_code:
            fail(f"{d['name']}: the door {colour} drawn by {c},{r} is "
                 f"carried by neither room")
    for pos, room in rooms.items():
        f = room["feature"]
        if f in game.door_codes and drawn_locks.get((pos[0], pos[1], f[2])) != f[3]:
            fail(f"{d['name']} {pos[0]},{pos[1]}: door {f} is not drawn in its passage")
    return rooms


# ---------------------------------------------------------------------------------------
# Writing the file.

def room_line(pos, room, game):
    doors = "".join(side for side in game.sides if side in room["doors"])
    line = f"{pos[0]},{pos[1]}:{doors}:{room['level']}"
    if room["item"]:
        line += f"${room['item']}:"
    if room["feature"]:
        line += f"#{room['feature']}"
    return line


def render(game):
    out = []
    for d in DUNGEONS:
        rooms = build_rooms(d, game)
        out.append(d["tag"])
        out.append(f"{d['width']},{d['height']}")
        for pos in sorted(rooms, key=lambda p: (p[1], p[0])):
            out.append(room_line(pos, rooms[pos], game))
        out.append("_")
    return "\n".join(out) + "\n"


def show():
    for d in DUNGEONS:
        print(f"== {d['tag']}: the {d['name']}, {d['width']} x {d['height']}")
        print(d["drawing"].strip("\n"))
        print()
        print(d["rooms"].strip("\n"))
        print()


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--check", action="store_true",
                    help="write nothing; fail if data/map.txt is stale or wrong")
    ap.add_argument("--show", action="store_true", help="print the drawings too")
    add_datacheck_option(ap)
    args = ap.parse_args()
    checker = find_datacheck(args.datacheck)
    game = Game(game_facts(checker))
    for d in DUNGEONS:
        if d["number"] not in game.dungeons:
            fail(f"dungeon {d['number']} is not in the game's dungeon table")
        d["tag"] = game.dungeons[d["number"]]["mapTag"]
        d["name"] = game.dungeons[d["number"]]["name"]

    if not write_or_check(OUT_PATH, render(game).encode("ascii"), args.check):
        print(f"{OUT_PATH}: missing, or not what tools/gen_maps.py makes")
        return 1
    if args.show:
        show()
    counts = ", ".join(f"{d['name']} {len(build_rooms(d, game))} rooms" for d in DUNGEONS)
    print(f"{OUT_PATH}: written from the drawings ({counts}); brinewort-datacheck says:")
    return 0 if judge(checker, os.path.dirname(OUT_PATH), route=True) else 1


if __name__ == "__main__":
    sys.exit(main())
