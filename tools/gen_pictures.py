#!/usr/bin/env python3
"""Writes the opponents' pictures from the art held in this script.

Outputs, relative to the repository root (found from this script's place, so the script
can be run from anywhere):
  src/battle/monsterart.cpp  the four monster pictures (Blob, Skeleton, Zombie, Golem)
                             as constant data
  data/dragon2.txt           Molloch's picture, in the section tagged "dragon"
  data/Wizard.txt            Agamir's picture, in the section tagged "wizard" (the
                             OldWiseMan is shown with it too)

Usage:
  python3 tools/gen_pictures.py           write the three files
  python3 tools/gen_pictures.py --show    write them and print every picture
  python3 tools/gen_pictures.py --check   write nothing; exit with status 1 when a file
                                          is missing or differs from the art below

Art notation: each drawn row of a picture stands between two '|' marks and is exactly 29
cells wide. Between the marks a blank is a blank (byte 32), and the three shades are
written as the Unicode characters they show as:
  ░  light shade,  code page 437 byte 176 (0xB0)
  ▒  medium shade, code page 437 byte 177 (0xB1)
  ▓  dark shade,   code page 437 byte 178 (0xB2)
Nothing else may appear in a picture. The battle screen draws rows 0 to 16 of a picture
in light red on black from column 1, so a row of 29 cells (blanks included) fits the
monster's side of the screen and erases whatever picture was drawn there before.
"""
import argparse
import os
import re
import sys

from datagen import add_datacheck_option, find_datacheck, game_facts, write_or_check

# The shape of a picture, from the game's own facts (brinewort-datacheck --facts); main sets
# them before the art is read.
WIDTH = None  # cells per drawn row
VISIBLE_ROWS = None  # the rows the battle draws
PICTURE_ROWS = None  # rows of a Picture record
SHADE_BYTES = {" ": 32, "░": 0xB0, "▒": 0xB1, "▓": 0xB2}


class Art:
    """One picture: its name, the picture row of its first drawn line, and the lines."""

    def __init__(self, name, first_row, text):
        self.name = name
        self.first_row = first_row
        self.text = text
        self.rows = None  # read once the shape of a picture is known (read_art)

    def read(self):
        self.rows = parse(self.name, self.text)

    @property
    def last_row(self):
        return self.first_row + len(self.rows) - 1


def parse(name, text):
    rows = []
    for number, line in enumerate(text.strip("\n").split("\n"), 1):
        line = line.strip()
        if len(line) < 2 or line[0] != "|" or line[-1] != "|":
            sys.exit(f"{name}, line {number}: a row must stand between two '|' marks")
        row = line[1:-1]
        if len(row) != WIDTH:
            sys.exit(f"{name}, line {number}: {len(row)} cells instead of {WIDTH}")
        for ch in row:
            if ch not in SHADE_BYTES:
                sys.exit(f"{name}, line {number}: {ch!r} is neither a blank nor a shade")
        rows.append(row)
    return rows


# --- The four monsters, in the order of their kinds (0 Blob, 1 Skeleton, 2 Zombie, 3 Golem) ---

# A lumpy, gaping slime with round eyes, settling into a puddle. Rows 1 to 15.
BLOB = Art("Blob", 1, """
|            ░▒▒▒░    ░░      |
|       ░▒▒▒▓▓▓▓▓▓▒▒░▒▓▓▒     |
|    ░▒▓▓▓░▓▓▓▓▓▓▓▓▓▓▓▓▓▓▒░   |
|  ░▒▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓░▓▓▒░  |
|  ▒▓▓▓▓▓▒    ▒▓▓▓▒    ▒▓▓▓▒░ |
| ░▓▓▓▓▓▓  ▓▓  ▓▓▓  ▓▓  ▓▓▓▒▒ |
|░▒▓▓▓▓▓▓  ▓▓  ▓▓▓  ▓▓  ▓▓▓▒▒░|
|▒▓▓▓▓▓▓▓▓    ▓▓▓▓▓    ▓▓▓▓▒▒░|
|░▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▒▒▒░|
|▒▓▓▓▓  ▓ ▒ ▓ ▒ ▓ ▒ ▓ ▒ ▓ ▓▒▒░|
|▓▓▓▓▓▒                 ▒▓▒▒░ |
|▓▓▓▓▓▓▒   ░        ░  ▒▓▓▒▒▒░|
|▒▓▓▓▓▓▓▓▒ ▒ ▒▓▓▓▓▒ ▒ ▒▓▓▓▒▒▒░|
|░▒▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▒▒▒░░ |
| ░░▒▒▒░░▒▒▒▒░░▒▒▒▒▒░░▒▒▒░░ ░ |
""")

# A bony figure with a skull, ribs and pelvis, brandishing a sword. Rows 0 to 16.
SKELETON = Art("Skeleton", 0, """
|        ░▒▓▓▓▓▓▒░        ▒   |
|       ▓▓▓▓▓▓▓▓▓▓▓      ▒▓▒  |
|       ▓▓   ▓   ▓▓      ▒▓▒  |
|       ▓▓   ▓   ▓▓      ▒▓▒  |
|       ▒▓▓▓▓░▓▓▓▓▒    ▒▓▓▓▓▓▒|
|        ▒▓░▓░▓░▓▒       ▓▒▓  |
|     ░▒▓▓▓▓▓▓▓▓▓▓▓▓▒░   ▒▓   |
|    ▓▒   ▒▓▓▓▓▓▒   ▒▓▓▓▓▓▒   |
|   ▒▓   ▓▒  ▓  ▒▓            |
|   ▓     ▒▓▓▓▓▓▒             |
|  ▒▓    ▓▒  ▓  ▒▓            |
|  ▓▓▒    ▒▓▓▓▓▓▒             |
|  ▓░▓       ▓                |
|         ▒▓▓▓▓▓▓▓▒           |
|         ▓▒ ░▓░ ▒▓           |
|         ▓▒     ▒▓           |
|       ▒▓▓▓▒   ▒▓▓▓▒         |
""")

# A thin, ragged figure in profile, one arm reaching out and one hanging. Rows 1 to 16.
ZOMBIE = Art("Zombie", 1, """
|         ░▒▓▓▓▒░             |
|        ▒▓▓▓▓▓▓▓▒            |
|        ▓▓▓▓▓  ▓▓▒           |
|        ▒▓▓▓▓▓▓▓▓▓░          |
|         ▓▓▓▓▒░▒░            |
|          ▒▓▓▒               |
|     ░▒▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▒▓▓▒|
|    ▒▓▓▓ ▓▓▓▓▓▓▒░ ░  ░ ░▒▓▓▓▓|
|    ▓▓▓  ▓▓▓▓▓▓▓        ▒ ▒ ▒|
|    ▓▓▒  ▓▓▓▒▓▓▓             |
|    ▓▓   ▒▓▓▓▓░▓             |
|   ▒▓▓▒  ░▓▒▓▓▒▓▒            |
|   ░ ░    ▓▓▓ ▒▓▓            |
|          ▓▓▒  ▓▓            |
|          ▓▓   ░▓            |
|        ▒▓▓▓   ▒▓▓▒░         |
""")

# A cracked stone giant, all shoulders and fists. Rows 4 to 17 (row 17 is never drawn).
GOLEM = Art("Golem", 4, """
|          ▒▓▓▓▓▓▓▓▒          |
|   ░▒▓▓▓▒ ▓▓  ▓  ▓▓ ▒▓▓▓▒░   |
| ▒▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▒ |
|▒▓▓▓▓░▓▓▓▓▓▓▓▒▓▓▓▓▓▓▓▓▓░▓▓▓▓▒|
|▓▓▓▓▓▓▒▓▓▓▓▒░▒▓▓▓▓▓▓▓▒▓▓▓▓▓▓▓|
|▓▓▓▓▓▓ ▓▓▓▓▓▓▓▓▓▓▓▒░▓▓ ▓▓▓▓▓▓|
|▓▓▓▒▓▓ ▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓ ▓▓▒▓▓▓|
|▓▓▓▓▓▓ ▒▓▓▓▓▓▓░▓▓▓▓▓▓▒ ▓▓▓▓▓▓|
|▓▓▓▓▓▓  ▓▓▓▒░▒▓▓▓▓▓▓▓  ▓▓▓▓▓▓|
|▓▓▓▓▓▓  ▒▓▓▓▓▓▓▓▓▓▓▓▒  ▓▓▓▓▓▓|
|▓▒▓▓▒▓   ▓▓▓▓▓ ▓▓▓▓▓   ▓▒▓▓▒▓|
|▒▓▓▓▓▒  ░▓▓▓▓▓ ▓▓▓▓▓░  ▒▓▓▓▓▒|
|       ▒▓▓▓▓▓▓ ▓▓▓▓▓▓▒       |
|      ▓▓▓▓▓▓▓▓ ▓▓▓▓▓▓▓▓      |
""")

MONSTERS = [BLOB, SKELETON, ZOMBIE, GOLEM]

# Where each monster must lie: (first row, last row).
MONSTER_ROWS = {"Blob": (1, 15), "Skeleton": (0, 16), "Zombie": (1, 16), "Golem": (4, 17)}

# --- The bosses ---

# Molloch: a horned, winged brute of the Cave, jaws agape, crouched on its claws.
MOLLOCH = Art("Molloch", 0, """
|       ░▒▓▓▒░    ░▓▒ ▒▓░     |
|     ░▒▓▓▒▓▓▓▒░   ▒▓▓▓▓▒░    |
|   ░▒▓▒░▒▓░▒▓▓▒   ░▓▓▓▓▓▓▓▒░ |
|  ▒▓▒░░▒▓░░▒▓░▓▓ ▒▓▓▒ ▓▓▓▓▓▓▓|
| ▓▒░░▒▓░░░▒▓░░▓▓▒▓▓▓▓▓▓▓▓▓▓▓░|
| ▓░░▒▓░░░▒▓░░▒▓▓▓▓▓▓▒▒▒▓ ▓ ▓ |
| ▒ ░▓░  ░▓▒░░▒▓▓▓▓▓▓         |
|   ▒▓   ▒▓░ ▒▓▓▓▓▓▓▒░▓▒▓ ▓ ▓ |
|   ░    ▓░ ▒▓▓▓▓▓▓▒ ░▒▓▓▓▓▓▓▒|
|       ░▒▓▓▓▓▓▓▓▓▒░▒         |
|     ░▒▓▓▓▓▓▓▓▓▓▓▒░▒░        |
|    ▒▓▓▓▓▓▓▓▓▓▓▓▓▓▒░▒▓▒      |
|   ▒▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▒▓▓▓▒     |
|  ▒▓▓▓▓▓▓▓▒▒░░▒▒▓▓▓▓▒▓▓▓▓    |
|  ▓▓▓ ▒▓▓▓▒      ▒▓▓▒ ▒▓▓▓   |
| ▒▓▒   ▓▓▓▓▒     ▓▓▓   ▓▓▓▒  |
|▓▓▒   ▓░▓░▓▓▓  ▓░▓░▓▒ ▓░▓░▓  |
""")

# Agamir: a sly wizard in a pointed hat, leaning on a cane with a sparkling jewel.
AGAMIR = Art("Agamir", 0, """
|     ░▒▓▒░                   |
|       ▒▓▓▒            ░     |
|        ▓▓▓▒        ░  ▒  ░  |
|       ▒▓▓▓▓▒         ▒▓▒    |
|      ▒▓▓▒▓▓▓     ░▒ ▒▓▓▓▒ ▒░|
|     ▒▓▓▓▒▓▓▓▒        ▒▓▒    |
|  ░▒▓▓▓▓▓▓▓▓▓▓▓▒░  ░   ▓   ░ |
|     ▓▓▒ ▒▓▒ ▒▓▓       ▓     |
|     ▒▓▓▓▓▓▓▓▓▓▒       ▒     |
|      ▓▓ ░▒░ ▓▓        ▓     |
|      ░▒░░░░░▒░       ▒▓▒    |
|    ▒▓▓▒░░▒░░▒▓▓▓▓▓▓▓▓▓▓▓▓   |
| ░▒ ▓▓▓▓▓░▒░▓▓▓▓▓▓▓▓▓▓▒▓▒    |
| ▒▓▓▓▓▓▓▓▓░▓▓▓▓▓▓▒     ▓     |
|  ░▓▓▓▓▓▓▓▓▓▓▓▓▓▓▒     ▒     |
|  ▒▓▓▓▓▓▓▓▓▓▓▓▓▓▓▓▒    ▓     |
| ▒▓░▓░▓░▓░▓░▓░▓░▓░▓▒  ▒▓▒    |
""")

# (file, line naming the picture, tag, art)
BOSS_FILES = [
    ("data/dragon2.txt", "Molloch of the Cave", "dragon", MOLLOCH),
    ("data/Wizard.txt", "Agamir of the Sewer", "wizard", AGAMIR),
]


def c_literal(row):
    """The row as a C string literal; shades become byte escapes."""
    out = []
    for ch in row:
        if ch == " ":
            out.append(" ")
        else:
            out.append(f"\\x{SHADE_BYTES[ch]:02X}")
    text = "".join(out)
    # A hex escape must never run on into a following hex digit.
    assert not re.search(r"\\x[0-9A-F]{2}[0-9A-Fa-f]", text)
    return '"' + text + '"'


def monster_source():
    lines = [
        "// The four monster pictures, one per kind; tools/gen_pictures.py writes this file.",
        '#include "battle/battle.h"',
        "",
        f"// Each drawn row is {WIDTH} cells: blanks and the shades 0xB0 (light), 0xB1 (medium) and 0xB2",
        "// (dark). Rows that are not drawn are empty. The art itself is kept in the generator.",
        "// Rows too long for a line are split in two literals, which is no missing comma.",
        "// NOLINTBEGIN(bugprone-suspicious-missing-comma)",
        "const Picture monsterPictures[monsterKinds] = {",
    ]
    for art in MONSTERS:
        lines.append(f"    // {art.name}: rows {art.first_row} to {art.last_row}")
        lines.append("    {{")
        rows = [""] * art.first_row + art.rows
        for row in rows:
            if row == "":
                lines.append('        "",')
                continue
            literal = c_literal(row)
            if len("        " + literal + ",") <= 100:
                lines.append("        " + literal + ",")
            else:
                half = WIDTH // 2 + 1
                lines.append("        " + c_literal(row[:half]))
                lines.append("        " + c_literal(row[half:]) + ",")
        lines.append("    }},")
    lines.append("};")
    lines.append("// NOLINTEND(bugprone-suspicious-missing-comma)")
    return ("\n".join(lines) + "\n").encode("ascii")


def boss_file(title, tag, art):
    rows = [title, tag] + art.rows + ["_"]
    return b"".join(bytes(SHADE_BYTES.get(ch, ord(ch)) for ch in row) + b"\n" for row in rows)


def validate():
    for art in MONSTERS:
        first, last = MONSTER_ROWS[art.name]
        if (art.first_row, art.last_row) != (first, last):
            sys.exit(f"{art.name}: rows {art.first_row} to {art.last_row}, wanted {first} to {last}")
        if art.last_row >= PICTURE_ROWS:
            sys.exit(f"{art.name}: more rows than a Picture holds")
    for _, title, tag, art in BOSS_FILES:
        if art.first_row != 0 or len(art.rows) > VISIBLE_ROWS:
            sys.exit(f"{art.name}: a boss picture has at most {VISIBLE_ROWS} rows from row 0")
        # The naming line must not be taken for the tag line, nor hold an underscore.
        if title.startswith(tag) or "_" in title or len(title) > 28:
            sys.exit(f"{art.name}: unsuitable naming line {title!r}")


def outputs():
    result = {"src/battle/monsterart.cpp": monster_source()}
    for path, title, tag, art in BOSS_FILES:
        result[path] = boss_file(title, tag, art)
    return result


def show():
    for art in MONSTERS + [b[3] for b in BOSS_FILES]:
        print(f"{art.name} (rows {art.first_row} to {art.last_row}):")
        for number, row in enumerate(art.rows, art.first_row):
            print(f"{number:3} |{row}|")
        print()


def main():
    parser = argparse.ArgumentParser(description="Write the opponents' pictures.")
    parser.add_argument("--show", action="store_true", help="also print every picture")
    parser.add_argument("--check", action="store_true",
                        help="write nothing; fail when a file differs from the art")
    add_datacheck_option(parser)
    args = parser.parse_args()
    global WIDTH, VISIBLE_ROWS, PICTURE_ROWS
    shape = game_facts(find_datacheck(args.datacheck))["pictures"]
    WIDTH, VISIBLE_ROWS, PICTURE_ROWS = shape["drawnColumns"], shape["drawnRows"], shape["rows"]
    for art in MONSTERS + [b[3] for b in BOSS_FILES]:
        art.read()
    validate()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    stale = []
    for path, content in outputs().items():
        if not write_or_check(os.path.join(root, path), content, args.check):
            stale.append(path)
    if args.show:
        show()
    if stale:
        print("Out of date: " + ", ".join(stale), file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
