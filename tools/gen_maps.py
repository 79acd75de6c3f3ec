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

What is checked (on the file as the game's loader reads it, character by character):
  * every opening faces a matching opening, no opening leads off the grid;
  * every room can be reached from the start if all doors were open;
  * exactly one "Start" room per dungeon, the rooms of the NPC table carry "NPC" and no
    other room does, two "Boss" rooms in the Cave and in the Sewer and none in the Castle;
  * feature codes and pickup texts are ones the game knows, texts fit in 19 characters,
    a door code names a side that is open, the encounter level is a digit 1 to 5;
  * the progression: a search over (held keys, bosses beaten, items picked up) with the
    bosses' rewards finds a way to the ending; every boss fight it can reach is the right
    one (the second room of a boss only after its first fight) and can be won with plain
    attacks with the weapons obtainable by then (with the keys held, and the keys those
    reach); and the key of every locked door can be obtained without going through that
    door.

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

from datagen import write_or_check
from collections import deque

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_PATH = os.path.join(ROOT, "data", "map.txt")

# ---------------------------------------------------------------------------------------
# Facts of the game that the maps must agree with.

# The non-player characters: (dungeon, column, row, name).
NPC_TABLE = [
    (1, 7, 2, "Goro"), (1, 8, 5, "Pogo"), (1, 3, 5, "Vurgle"), (1, 2, 9, "Arkum"),
    (1, 1, 0, "Dele"), (1, 13, 3, "Pogo"), (1, 2, 9, "Arkum"),
    (2, 13, 3, "Luba"), (2, 2, 4, "Bemi"), (2, 8, 1, "Nerman"), (2, 8, 10, "Xilco"),
    (2, 4, 12, "Murdik"), (2, 1, 13, "Anook"),
    (3, 14, 10, "Ghali"), (3, 13, 3, "Ghali"), (3, 5, 7, "Ghali"),
]

MIN_SIZE = {1: (14, 10), 2: (14, 14), 3: (15, 11)}

# Pickup texts the game knows, and what they are.
FOOD = ["Apple", "Cookie", "Fish Sandwich"]
KEY_OF_TEXT = {
    "Red Key": "R", "Green Key": "G", "Yellow Key": "Y", "Blue Key": "B",
    "Light Gray Key": "O", "Lavander Key": "L", "Purple Key": "P", "White Key": "W",
}
SCROLLS = ["Fire Spell", "Wind Spell", "Quake Spell", "Lightning Spell"]
WEAPONS = {"Whip": 4, "Sword": 6, "Bow": 9, "Axe": 12, "Broadsword": 16}
PICKUPS = set(FOOD) | set(KEY_OF_TEXT) | set(SCROLLS) | set(WEAPONS) | {"Flashlight"}
# Keys that only a boss hands out: placing one as an item would break the order.
BOSS_KEYS = {"O", "Y", "P"}

COLOUR_NAME = {
    "Y": "yellow", "G": "green", "R": "red", "B": "blue", "W": "white", "P": "purple",
    "L": "lavender", "O": "light gray", "X": "sealed",
}
DOOR_CODES = {"LD" + s + c for s in "NESW" for c in "YGRBWPLO"} | {"LDWX"}
FEATURES = {"Start", "NPC", "Boss"} | DOOR_CODES

SIDES = {"N": (0, -1, "S"), "E": (1, 0, "W"), "S": (0, 1, "N"), "W": (-1, 0, "E")}
SIDE_WORD = {"N": "north", "E": "east", "S": "south", "W": "west"}

# The bosses: which dungeon they haunt, their numbers per fight (hp, defence, attack),
# and what each defeat hands over. Agamir's second defeat ends the game.
BOSSES = {
    1: ("Molloch", [(50, 15, 15), (80, 20, 20)], [{"O"}, {"P"}]),
    2: ("Agamir", [(70, 18, 17), (110, 25, 24)], [{"Y"}, "END"]),
}
START_ATTACK = 8
ATTACK_PER_EVEN_LEVEL = 2
EXP_PER_LEVEL = 100

# ---------------------------------------------------------------------------------------
# The dungeons.

DUNGEONS = []


def dungeon(number, tag, name, width, height, drawing, levels, rooms, boss_order=()):
    DUNGEONS.append(dict(number=number, tag=tag, name=name, width=width, height=height,
                         drawing=drawing, levels=levels, rooms=rooms,
                         boss_order=list(boss_order)))


# The Cave. The mouth (@), where a Whip lies, opens on a long gallery. Straight south
# run Goro, the Red Key, the Sword and the crossing where Pogo stands at the red door;
# just behind it lie the Bow and Molloch's first den, a short walk that a new hero makes
# at level one or two. Vurgle, Dele and the two Arkums live off the way, in the west;
# Pogo turns up again in the north-east. The blue door south of the crossing (its key
# lies in the Castle's great hall) keeps the lower den closed until Molloch comes back.
dungeon(1, "MapTag1", "Cave", 15, 11, drawing=r"""
                        1 1 1 1 1
    0 1 2 3 4 5 6 7 8 9 0 1 2 3 4
 0    N-o-o           o
          |           |
 1        o-o-o-o-@-o-o o-o
          |       |     |
 2        o   o   N     o
          |   |   |     |
 3        o-o-o-o-$     o-o-o-N
          |       |     |     |
 4    o   o       $     o     o
      |   |       |     |     |
 5    o-o-N       o-N-DR$-! o-o
          |       |           |
 6        o     o-o           o
          |       |           |
 7      o-o       D         o-o
        |         B
 8    o-o         !
        |
 9      N

10
""", levels=r"""
          11111
012345678901234
.222.....2.....
...222212233...
...2.2.2..3....
...22222..3333.
.2.2...2..3..3.
.222...2223333.
...2..22.....4.
..22...2....44.
.22....4.......
..2............
...............
""", rooms=r"""
col,row | feature | item            | what it is
  7, 1  | Start   | Whip            | the cave mouth; someone dropped a whip
  7, 2  | NPC     |                 | Goro, the first face you meet
  1, 0  | NPC     |                 | Dele, in the far north-west corner
  3, 5  | NPC     |                 | Vurgle
  2, 9  | NPC     |                 | the two Arkums
  8, 5  | NPC     |                 | Pogo, at the red door
  9, 5  | LDER    |                 | the red door, east
  7, 7  | LDSB    |                 | the blue door, south: the lower den
 13, 3  | NPC     |                 | Pogo again
 11, 5  | Boss    |                 | Molloch's den, just behind the red door: first fight
  7, 8  | Boss    |                 | Molloch's lower den, just behind the blue door: second fight
  7, 3  |         | Red Key         | the crossing below Goro: opens the red door
  7, 4  |         | Sword           | on the way down to Pogo
 10, 5  |         | Bow             | just behind the red door
""", boss_order=[(11, 5), (7, 8)])

# The Sewer. Nerman waits beside the grate you climb down (@); Luba lives far east, Bemi
# west. The green door straight south of the grate (its key lies in the Castle's east
# wing) opens on the Fire Spell and Agamir's first chamber. Further down, past the way
# to Xilco, the purple door (Molloch's second defeat gives its key) leads to the
# Broadsword, the Wind and Lightning Spells, Murdik and Anook, and his last stand.
dungeon(2, "MapTag2", "Sewer", 15, 15, drawing=r"""
                        1 1 1 1 1
    0 1 2 3 4 5 6 7 8 9 0 1 2 3 4
 0

 1          o-o-o-@-N-o-o-o
            |     |       |
 2          o     o       o
            |     |       |
 3      o-o-o     o       o-o-N
        |         |           |
 4    o-N     o-o-o-o-o       o
        |         |
 5      o         D
        |         G
 6    o-o         o-$-!
                  |
 7                o
                  |
 8            o-o-o-o
              |     |
 9            D     o
              P     |
10            $     N-o-o
              |         |
11    !     o-$-$       o-o
      |     |           |
12    o $-o-N           o
      | |
13    N-o
        |
14      $
""", levels=r"""
          11111
012345678901234
...............
....33313333...
....3..3...3...
..333..3...333.
.33..33333...3.
..3....3.......
.33....444.....
.......4.......
.....4444......
.....4..4......
.....5..444....
.5..555...44...
.5555.....4....
.55............
..5............
""", rooms=r"""
col,row | feature | item            | what it is
  7, 1  | Start   |                 | the grate
  8, 1  | NPC     |                 | Nerman, beside the grate
 13, 3  | NPC     |                 | Luba, far east
  2, 4  | NPC     |                 | Bemi, in the west
  7, 5  | LDSG    |                 | the green door, south
  5, 9  | LDSP    |                 | the purple door, south
  8,10  | NPC     |                 | Xilco
  6,11  |         | Wind Spell      | behind the purple door
  4,12  | NPC     |                 | Murdik
  2,12  |         | Quake Spell     | past Murdik
  1,13  | NPC     |                 | Anook
  9, 6  | Boss    |                 | Agamir's chamber, just behind the green door: first fight
  1,11  | Boss    |                 | Agamir's last stand, second fight
  8, 6  |         | Fire Spell      | just behind the green door
  5,10  |         | Broadsword      | just behind the purple door: the old king's broadsword
  2,14  |         | Lightning Spell | a drain below Anook
  5,11  |         | Apple           | the purple wing's crossing
""", boss_order=[(9, 6), (1, 11)])

# The Castle. You come in at the south-east gate (@), where Ghali keeps watch. Just north
# of it the light gray door (Molloch's first defeat gives its key) opens the east wing:
# the Axe, the Green Key for the Sewer and a flashlight in its first rooms, Ghali again
# further up. Beside it the yellow door (Agamir's first defeat gives its key) opens the
# great hall, with the Blue Key for the Cave's lower den and the Quake Spell at its east
# end, and beyond it the old library, the west wing with Ghali a third time, and at the
# far end the sealed door.
dungeon(3, "MapTag3", "Castle", 15, 11, drawing=r"""
                        1 1 1 1 1
    0 1 2 3 4 5 6 7 8 9 0 1 2 3 4
 0

 1                      o-o   o
                          |   |
 2                        o-o-o
                              |
 3        o   o-o       o     N
          |   |         |     |
 4        o   o         o-o-o-o
          |   |             |
 5  oXD-o-o-o-o             $
        |     |             |
 6      o     o       o     $-$
              |       |     O
 7            N       o     D
              |       |     |
 8            o-o-o-o-o-o-$YD-o
                |       |   |
 9              o       o   o
                |       |   |
10            o-o     o-o   @-o-N
""", levels=r"""
          11111
012345678901234
...............
..........44.4.
...........444.
...5.55...4..4.
...5.5....4444.
555555......4..
..5..5...2..44.
.....5...2..2..
.....555222222.
......5...2.2..
.....55..33.122
""", rooms=r"""
col,row | feature | item            | what it is
 12,10  | Start   |                 | the south-east gate
 14,10  | NPC     |                 | Ghali, the gatekeeper
 12, 7  | LDNO    |                 | the light gray door, north: the east wing
 12, 8  | LDWY    |                 | the yellow door, west: the great hall and the west wing
 13, 6  |         | Flashlight      | just inside the east wing
 13, 3  | NPC     |                 | Ghali, in the east wing
  5, 7  | NPC     |                 | Ghali, in the west wing
  1, 5  | LDWX    |                 | the sealed door, west: never opens
 12, 6  |         | Axe             | the armoury, just inside the east wing
 12, 5  |         | Green Key       | the steward's room: opens the Sewer's green door
 11, 8  |         | Blue Key        | the great hall, behind the yellow door: opens the Cave's blue door
""")


# ---------------------------------------------------------------------------------------
# Reading the drawings.

def fail(message):
    sys.exit("gen_maps: " + message)


def parse_drawing(d):
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
                if ch != open_mark and ch not in COLOUR_NAME.keys():
                    fail(f"{d['name']}: unknown passage mark {ch!r} by {c},{r}")
                if (c, r) not in symbols or other not in symbols:
                    fail(f"{d['name']}: passage {ch!r} by {c},{r} does not join two rooms")
                back = SIDES[side][2]
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


def build_rooms(d):
    """The dungeon's rooms from its drawing, level grid and table:
    {(col, row): dict(doors, level, item, feature)}."""
    symbols, doors, drawn_locks = parse_drawing(d)
    levels = parse_levels(d, symbols)
    table = parse_rooms(d)
    rooms = {}
    for pos, sym in symbols.items():
        feature, item = table.get(pos, (None, None))
        expect = {"@": "Start", "N": "NPC", "!": "Boss"}.get(sym)
        where = f"{d['name']} {pos[0]},{pos[1]}"
        if sym == "D":
            if feature not in DOOR_CODES:
                fail(f"{where}: drawn as a door room but its feature is {feature!r}")
        elif feature != expect:
            fail(f"{where}: drawn as {sym!r} but its feature is {feature!r}")
        if sym == "$" and not item:
            fail(f"{where}: drawn as an item room but the table gives no item")
        if sym == "o" and item:
            fail(f"{where}: drawn as a plain room but the table gives it {item!r}")
        rooms[pos] = dict(doors=doors[pos], level=levels[pos], item=item, feature=feature)
    for pos in table:
        if pos not in symbols:
            fail(f"{d['name']}: the table lists {pos[0]},{pos[1]}, where no room is drawn")
    # Every lock drawn in a passage is carried by one of its ends, and the other way.
    for (c, r, side), colour in drawn_locks.items():
        code = "LD" + side + colour
        other = (c + SIDES[side][0], r + SIDES[side][1])
        other_code = "LD" + SIDES[side][2] + colour
        if rooms[(c, r)]["feature"] != code and rooms[other]["feature"] != other_code:
            fail(f"{d['name']}: the {COLOUR_NAME[colour]} door drawn by {c},{r} is "
                 f"carried by neither room")
    for pos, room in rooms.items():
        f = room["feature"]
        if f in DOOR_CODES and drawn_locks.get((pos[0], pos[1], f[2])) != f[3]:
            fail(f"{d['name']} {pos[0]},{pos[1]}: door {f} is not drawn in its passage")
    return rooms


# ---------------------------------------------------------------------------------------
# Writing the file.

def room_line(pos, room):
    doors = "".join(s for s in "NESW" if s in room["doors"])
    line = f"{pos[0]},{pos[1]}:{doors}:{room['level']}"
    if room["item"]:
        line += f"${room['item']}:"
    if room["feature"]:
        line += f"#{room['feature']}"
    return line


def render():
    out = []
    for d in DUNGEONS:
        rooms = build_rooms(d)
        out.append(d["tag"])
        out.append(f"{d['width']},{d['height']}")
        for pos in sorted(rooms, key=lambda p: (p[1], p[0])):
            out.append(room_line(pos, rooms[pos]))
        out.append("_")
    return "\n".join(out) + "\n"


# ---------------------------------------------------------------------------------------
# Reading the file back the way the game's loader does.

def find_tag(text, tag):
    """Where the text behind the tag line starts, found as the game finds it: lines are
    read in pieces of at most 29 characters, and the first piece that is the tag followed
    by its line end (or by one more character and nothing else) ends the search."""
    pos, n = 0, len(text)
    while pos < n:
        end = text.find("\n", pos)
        end = n if end < 0 else end + 1
        piece = text[pos:min(end, pos + 29)]
        pos += len(piece)
        k = 0
        while k < len(piece) and k < len(tag):
            if piece[k] in " \n\xff" or piece[k] != tag[k]:
                break
            k += 1
        if k == len(tag) and k + 1 == len(piece):
            return pos
    return None


def load_section(text, tag):
    """Emulate the loader on the file's text: returns (width, height, rooms, start) with
    rooms {(col, row): dict(doors, level, item, feature)}, or fails."""
    pos = find_tag(text, tag)
    if pos is None:
        fail(f"{tag}: tag line not found")
    s = text
    n = len(s)

    def read_number(stops):
        nonlocal pos
        value = 0
        while pos < n and s[pos] not in stops:
            value = value * 10 + (ord(s[pos]) - 48)
            pos += 1
        stop = s[pos] if pos < n else None
        pos += 1
        return value, stop

    width, _ = read_number(",_\n")
    height, _ = read_number(",_\n")
    rooms, start = {}, None
    if pos >= n:
        fail(f"{tag}: file ends after the size line")
    ch = s[pos]
    pos += 1
    while ch != "_":
        pos -= 1
        col, _ = read_number(",_")
        row, _ = read_number(":_")
        doors = set()
        while pos < n and s[pos] not in ":_":
            if s[pos] in "NSWE":
                doors.add(s[pos])
            pos += 1
        pos += 1
        level = s[pos] if pos < n else None
        pos += 1
        item = feature = None
        while pos < n and s[pos] not in "\n_":
            c = s[pos]
            pos += 1
            if c == "$" and item is None:
                buf = ""
                while pos < n and s[pos] not in ":\n":
                    buf += s[pos]
                    pos += 1
                item = buf
                if pos < n and s[pos] == "\n":
                    break
                pos += 1
            elif c == "#" and feature is None:
                buf = ""
                while pos < n and s[pos] not in ":\n":
                    buf += s[pos]
                    pos += 1
                feature = buf
                if buf == "Start":
                    start = (col, row)
                if pos < n and s[pos] == "\n":
                    break
                pos += 1
        pos += 1  # the line feed (or underscore) that ended the line
        if (col, row) in rooms:
            fail(f"{tag}: room {col},{row} is given twice")
        rooms[(col, row)] = dict(doors=doors, level=level, item=item, feature=feature)
        if pos >= n:
            fail(f"{tag}: file ends before the closing underscore")
        ch = s[pos]
        pos += 1
    return width, height, rooms, start


# ---------------------------------------------------------------------------------------
# Checks of one dungeon.

def neighbour(pos, side):
    dc, dr, _ = SIDES[side]
    return (pos[0] + dc, pos[1] + dr)


def check_dungeon(number, width, height, rooms, start, problems):
    name = next(d["name"] for d in DUNGEONS if d["number"] == number)
    minw, minh = MIN_SIZE[number]
    if width < minw or height < minh:
        problems.append(f"{name}: grid {width}x{height} smaller than {minw}x{minh}")
    starts = [p for p, r in rooms.items() if r["feature"] == "Start"]
    if len(starts) != 1:
        problems.append(f"{name}: {len(starts)} Start rooms")
    for pos, room in rooms.items():
        where = f"{name} {pos[0]},{pos[1]}"
        if not (0 <= pos[0] < width and 0 <= pos[1] < height):
            problems.append(f"{where}: outside the grid")
        if room["level"] is None or room["level"] not in "12345":
            problems.append(f"{where}: encounter level {room['level']!r}")
        for side in room["doors"]:
            other = neighbour(pos, side)
            if not (0 <= other[0] < width and 0 <= other[1] < height):
                problems.append(f"{where}: {SIDE_WORD[side]} opening on the grid's edge")
            elif other not in rooms:
                problems.append(f"{where}: {SIDE_WORD[side]} opening leads to no room")
            elif SIDES[side][2] not in rooms[other]["doors"]:
                problems.append(f"{where}: {SIDE_WORD[side]} opening is not matched")
        f, item = room["feature"], room["item"]
        if f is not None and f not in FEATURES:
            problems.append(f"{where}: unknown feature {f!r}")
        if f in DOOR_CODES and f[2] not in room["doors"]:
            problems.append(f"{where}: door {f} in a wall without an opening")
        if item is not None:
            if item not in PICKUPS:
                problems.append(f"{where}: unknown item {item!r}")
            if KEY_OF_TEXT.get(item) in BOSS_KEYS:
                problems.append(f"{where}: {item} is a boss's reward, not an item")
            if f == "Boss":
                problems.append(f"{where}: a boss room holds no item")
        for text in (item, f):
            if text is not None and len(text) > 19:
                problems.append(f"{where}: {text!r} longer than 19 characters")
    npc_rooms = {(c, r) for dn, c, r, _ in NPC_TABLE if dn == number}
    marked = {p for p, r in rooms.items() if r["feature"] == "NPC"}
    for p in sorted(npc_rooms - marked):
        problems.append(f"{name} {p[0]},{p[1]}: NPC room missing or not marked NPC")
    for p in sorted(marked - npc_rooms):
        problems.append(f"{name} {p[0]},{p[1]}: marked NPC but nobody stands there")
    bosses = [p for p, r in rooms.items() if r["feature"] == "Boss"]
    want = 2 if number in BOSSES else 0
    if len(bosses) != want:
        problems.append(f"{name}: {len(bosses)} boss rooms, expected {want}")
    if start in rooms:
        seen = reachable(rooms, start, keys=None)[0]
        for p in sorted(set(rooms) - seen):
            problems.append(f"{name} {p[0]},{p[1]}: cannot be reached even with all "
                            f"doors open")


def reachable(rooms, start, keys, sealed=(), targets=None):
    """Rooms reachable from start. keys None: every door open (the sealed one too).
    Otherwise a door opens when its colour is in keys; a door in `sealed` never opens.
    Returns (rooms reached, locked doors passed on the way to the rooms in targets, or
    to any room when targets is None)."""
    seen = {start: None}
    todo = deque([start])
    while todo:
        pos = todo.popleft()
        room = rooms[pos]
        for side in sorted(room["doors"]):
            f = room["feature"]
            door = None
            if keys is not None and f in DOOR_CODES and f[2] == side:
                if f[3] == "X" or f[3] not in keys or (pos, side) in sealed:
                    continue
                door = (pos, side, f[3])
            other = neighbour(pos, side)
            if other in rooms and other not in seen:
                seen[other] = (pos, door)
                todo.append(other)
    passed = []
    for target in (seen if targets is None else targets):
        way = []
        while target in seen and seen[target]:
            target, door = seen[target]
            if door:
                way.append(door)
        passed += [door for door in reversed(way) if door not in passed]
    return set(seen), passed


# ---------------------------------------------------------------------------------------
# The progression.

def level_after(fights):
    """The lowest level the player can have after the given boss fights (experience of
    the bosses alone, at most one level per victory), and the attack at that level."""
    exp, level = 0, 1
    for boss, index in fights:
        exp += BOSSES[boss][1][index][0]
        if exp >= EXP_PER_LEVEL:
            exp -= EXP_PER_LEVEL
            level += 1
    attack = START_ATTACK + ATTACK_PER_EVEN_LEVEL * (level // 2)
    return level, attack


def best_weapon(items):
    return max([WEAPONS[t] for t in items.values() if t in WEAPONS] + [1])


class World:
    def __init__(self, sections):
        self.sections = sections  # number -> (rooms, start, name)

    def visit(self, number, keys, sealed=()):
        rooms, start, _ = self.sections[number]
        return reachable(rooms, start, frozenset(keys), sealed)

    def items_in(self, number, seen):
        rooms = self.sections[number][0]
        return {(number, p): rooms[p]["item"] for p in seen if rooms[p]["item"]}

    def text(self, key):
        number, pos = key
        return self.sections[number][0][pos]["item"]

    def weapon(self, got):
        return best_weapon({k: self.text(k) for k in got})

    def count(self, got, text):
        return sum(1 for k in got if self.text(k) == text)


def plain_fights(fights):
    return [(f[0], f[1]) for f in fights]


def is_ending(fights):
    return bool(fights) and BOSSES[fights[-1][0]][2][fights[-1][1]] == "END"


def fight_numbers(number, fights):
    """(index of the coming fight with this boss, its hp, defence, the player's lowest
    level and attack by then)."""
    index = sum(1 for f in fights if f[0] == number)
    hp, defence, _ = BOSSES[number][1][index]
    level, attack = level_after(plain_fights(fights))
    return index, hp, defence, level, attack


def moves_from(world, state, fair, sealed):
    """The moves from a state: ("visit", dungeon, new items, doors passed) picks up
    every item the held keys let the player reach in that dungeon; ("fight", dungeon,
    room, index, doors passed) fights the boss in a boss room the player can reach and
    has not cleared. With fair set, a fight is only taken when plain attacks with the
    best weapon picked up so far get through the boss's defence."""
    keys, fights, got = state
    moves = []
    for number in sorted(world.sections):
        seen, _ = world.visit(number, keys, sealed.get(number, ()))
        items = world.items_in(number, seen)
        new = set(items) - got
        if new:
            rooms = world.sections[number][0]
            _, passed = reachable(rooms, world.sections[number][1], keys,
                                  sealed.get(number, ()), [k[1] for k in new])
            more = {KEY_OF_TEXT[t] for t in items.values() if t in KEY_OF_TEXT}
            moves.append(((keys | more, fights, got | frozenset(items)),
                          ("visit", number, sorted((k, items[k]) for k in new), passed)))
        if number not in BOSSES:
            continue
        rooms = world.sections[number][0]
        beaten = {f[2] for f in fights if f[0] == number}
        index = sum(1 for f in fights if f[0] == number)
        if index >= len(BOSSES[number][1]):
            continue
        for p in sorted(seen):
            if rooms[p]["feature"] != "Boss" or p in beaten:
                continue
            _, _, defence, _, attack = fight_numbers(number, fights)
            if fair and world.weapon(got) + attack <= defence:
                continue
            reward = BOSSES[number][2][index]
            new_keys = keys | (reward if reward != "END" else set())
            _, passed = reachable(rooms, world.sections[number][1], keys,
                                  sealed.get(number, ()), [p])
            moves.append(((frozenset(new_keys), fights + ((number, index, p),), got),
                          ("fight", number, p, index, passed)))
    return moves


def search(world, fair=True, sealed=None):
    """Breadth-first search over the player's progress. A state is (held keys, boss
    fights won in order with their rooms, items picked up); the moves are those of
    moves_from. Returns (the shortest list of (move, state before it) to the ending or
    None, every state seen)."""
    sealed = sealed or {}
    start = (frozenset(), (), frozenset())
    parent = {start: None}
    todo = deque([start])
    goal = None
    while todo:
        state = todo.popleft()
        if is_ending(state[1]):
            goal = goal or state
            continue
        for nxt, move in moves_from(world, state, fair, sealed):
            if nxt not in parent:
                parent[nxt] = (state, move)
                todo.append(nxt)
    route = None
    if goal:
        route = []
        s = goal
        while parent[s]:
            s, move = parent[s]
            route.append((move, s))
        route.reverse()
    return route, parent


def walkthrough(world):
    """A thorough player: visits every dungeon again and again until nothing new can be
    picked up, then takes the one fair boss fight open to them. Returns the list of
    (move, state before it), or None when this player gets stuck."""
    state = (frozenset(), (), frozenset())
    steps = []
    while not is_ending(state[1]):
        moves = moves_from(world, state, True, {})
        visits = [m for m in moves if m[1][0] == "visit"]
        fights = [m for m in moves if m[1][0] == "fight"]
        chosen = visits[0] if visits else (fights[0] if len(fights) == 1 else None)
        if chosen is None:
            return None
        steps.append((chosen[1], state))
        state = chosen[0]
    return steps


def check_progression(world, boss_order, problems):
    route, _ = search(world, fair=True)
    if route is None:
        problems.append("progression: the ending cannot be reached with fair fights")
    walk = walkthrough(world)
    if walk is None:
        problems.append("progression: a player who picks up everything gets stuck")
    else:
        # Every item can be picked up at some point.
        everything = {(n, p) for n, (rooms, _, _) in world.sections.items()
                      for p, room in rooms.items() if room["item"]}
        picked = set()
        for move, state in walk:
            if move[0] == "visit":
                picked |= {k for k, _ in move[2]}
        for n, p in sorted(everything - picked):
            problems.append(f"progression: the {world.text((n, p))} in "
                            f"{world.sections[n][2]} {p[0]},{p[1]} can never be had")
    # Any play, fair or not: only the right boss room is ever open, and whenever a fight
    # is open the weapons that the held keys give access to are enough for it.
    _, states = search(world, fair=False)
    for state in states:
        keys, fights, got = state
        if is_ending(fights):
            continue
        # What can be had before the fight: the items the held keys reach, and those the keys
        # found among them reach in turn.
        obtainable, reach = {}, frozenset(keys)
        while True:
            for number in world.sections:
                seen, _ = world.visit(number, reach)
                obtainable.update(world.items_in(number, seen))
            more = reach | {KEY_OF_TEXT[t] for t in obtainable.values() if t in KEY_OF_TEXT}
            if more == reach:
                break
            reach = more
        weapon = best_weapon(obtainable)
        for number in BOSSES:
            rooms = world.sections[number][0]
            seen, _ = world.visit(number, keys)
            beaten = {f[2] for f in fights if f[0] == number}
            index = sum(1 for f in fights if f[0] == number)
            name = BOSSES[number][0]
            for p in seen:
                if rooms[p]["feature"] != "Boss" or p in beaten:
                    continue
                if index >= len(boss_order[number]) or boss_order[number][index] != p:
                    problems.append(f"progression: {name}'s fight {index + 1} can be had "
                                    f"in {p[0]},{p[1]} (keys {''.join(sorted(keys))})")
                    continue
                _, _, defence, _, attack = fight_numbers(number, fights)
                if weapon + attack <= defence:
                    problems.append(f"progression: {name}'s fight {index + 1} comes "
                                    f"with weapon {weapon} + attack {attack} against "
                                    f"defence {defence}")
    # Every locked door's key can be had without going through that door.
    for number, (rooms, start, name) in world.sections.items():
        for pos, room in rooms.items():
            f = room["feature"]
            if f not in DOOR_CODES or f[3] == "X":
                continue
            colour = f[3]
            _, seen_states = search(world, fair=False, sealed={number: {(pos, f[2])}})
            if not any(colour in st[0] for st in seen_states):
                problems.append(f"progression: the {COLOUR_NAME[colour]} key of the door "
                                f"at {name} {pos[0]},{pos[1]} needs that door itself")
    return route, walk, len(states)


def describe_route(world, route):
    out = []
    names = {n: world.sections[n][2] for n in world.sections}
    step = 0
    for move, state in route:
        keys, fights, got = state
        step += 1
        held = ", ".join(COLOUR_NAME[k] for k in sorted(keys)) or "none"
        if move[0] == "visit":
            _, number, new, passed = move
            out.append(f"{step:2}. {names[number]} (keys held: {held})")
            for pos, side, colour in passed:
                out.append(f"      through the {COLOUR_NAME[colour]} door, "
                           f"{SIDE_WORD[side]} side of {pos[0]},{pos[1]}")
            weapon = world.weapon(got)
            for (_, pos), text in sorted(new, key=lambda x: (x[0][1][1], x[0][1][0])):
                extra = ""
                if text in WEAPONS and WEAPONS[text] > weapon:
                    extra = f"  (weapon strength {WEAPONS[text]})"
                out.append(f"      pick up {text} at {pos[0]},{pos[1]}{extra}")
        else:
            _, number, pos, index, passed = move
            name, stats, rewards = BOSSES[number]
            _, hp, defence, level, attack = fight_numbers(number, fights)
            weapon = world.weapon(got)
            low = max(0, weapon + attack - defence)
            high = max(0, 2 * level - 1 + weapon + attack - defence)
            scrolls = [t for t in SCROLLS if world.count(got, t)]
            reward = rewards[index]
            reward_text = ("the ending" if reward == "END" else
                           ", ".join(COLOUR_NAME[k] + " key" for k in sorted(reward)))
            if number == 2 and index == 0:
                reward_text += " and the cane"
            out.append(f"{step:2}. {names[number]} (keys held: {held})")
            for door_pos, side, colour in passed:
                out.append(f"      through the {COLOUR_NAME[colour]} door, "
                           f"{SIDE_WORD[side]} side of {door_pos[0]},{door_pos[1]}")
            out.append(f"      fight {name} in {pos[0]},{pos[1]}: {hp} hp, defence "
                       f"{defence}; weapon {weapon} + attack {attack} (level >= {level})"
                       f" hits for {low}..{high}")
            if scrolls:
                out.append(f"      scrolls found by then: {', '.join(scrolls)} "
                           f"(5 charges each pickup)")
            out.append(f"      reward: {reward_text}")
    return out


# ---------------------------------------------------------------------------------------

def check_text(text, verbose):
    problems = []
    sections = {}
    for d in DUNGEONS:
        width, height, rooms, start = load_section(text, d["tag"])
        check_dungeon(d["number"], width, height, rooms, start, problems)
        sections[d["number"]] = (rooms, start, d["name"])
    if problems:
        return problems, None
    world = World(sections)
    order = {d["number"]: d["boss_order"] for d in DUNGEONS if d["number"] in BOSSES}
    route, walk, states = check_progression(world, order, problems)
    lines = []
    if route:
        lines.append(f"Search: {states} states of play explored; the shortest fair way to "
                     f"the ending takes {len(route)} moves:")
        lines += describe_route(world, route)
    if walk and verbose:
        lines.append("A thorough player's way (everything picked up before each fight):")
        lines += describe_route(world, walk)
    return problems, lines


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
    args = ap.parse_args()

    if not write_or_check(OUT_PATH, render().encode("ascii"), args.check):
        print(f"{OUT_PATH}: missing, or not what tools/gen_maps.py makes")
        return 1
    with open(OUT_PATH, newline="") as f:
        written = f.read()
    problems, route = check_text(written, args.show)
    if args.show:
        show()
    if problems:
        for p in problems:
            print("FAIL:", p)
        return 1
    counts = ", ".join(f"{d['name']} {len(build_rooms(d))} rooms" for d in DUNGEONS)
    print(f"{OUT_PATH}: ok ({counts})")
    for line in route:
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
