#!/usr/bin/env python3
"""Writes what the non-player characters say, data/NPCscripts.rtf, from the
conversations held in this script.

Output, relative to the repository root (found from this script's place, so the script
can be run from anywhere):
  data/NPCscripts.rtf   plain text despite its name: for every conversation the
                        sections "Tag<n>", each a tag line, the text on one line and a
                        line holding only "_"

Usage:
  python3 tools/gen_dialogue.py           write the file and check it
  python3 tools/gen_dialogue.py --show    the same, and print every section as the game
                                          lays it out (30 columns, 15 rows)
  python3 tools/gen_dialogue.py --check   write nothing; exit with status 1 when the file
                                          is missing, differs from what this script
                                          makes, or fails a check

How the game uses the sections: a character's first talk types the sections firstTag,
firstTag + 1, ... (lineCount of them) one after another; every later talk types the
section firstTag + lineCount, the repeat line. A section that begins with the
character's name and a colon is the character's own line and is shown in light blue;
the others (the hero's part, narration) in white. The colour of the repeat line follows
the first section, so both are the character's own.

What is checked: every character of the table has all its sections and no other section
exists; the first section and the repeat line are the character's own and no other
section begins with a name and a colon; every section is printable ASCII without an
underscore or a line break, at most 999 characters, and fits 15 rows of 30 columns with
the game's word wrap; and the file, read back the way the game reads it (lines in pieces
of at most 29 characters), gives every section its intended text.
"""
import argparse
import os
import sys

from datagen import write_or_check

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_PATH = os.path.join(ROOT, "data", "NPCscripts.rtf")

WIDTH = 30  # the dialogue area's width
ROWS = 15  # its height (screen rows 2 to 16)
MAX_LEN = 999  # the text buffer of a section

# The characters in table order: (name, dungeon, column, row, firstTag, lineCount).
# Dungeon 1 is the Cave, 2 the Sewer, 3 the Castle.
NPC_TABLE = [
    ("Goro", 1, 7, 2, 11, 3),
    ("Pogo", 1, 8, 5, 31, 7),
    ("Vurgle", 1, 3, 5, 21, 7),
    ("Arkum", 1, 2, 9, 41, 1),
    ("Dele", 1, 1, 0, 51, 9),
    ("Pogo", 1, 13, 3, 61, 5),
    ("Arkum", 1, 2, 9, 71, 1),
    ("Luba", 2, 13, 3, 81, 1),
    ("Bemi", 2, 2, 4, 91, 1),
    ("Nerman", 2, 8, 1, 101, 1),
    ("Xilco", 2, 8, 10, 111, 1),
    ("Murdik", 2, 4, 12, 121, 1),
    ("Anook", 2, 1, 13, 131, 1),
    ("Ghali", 3, 14, 10, 141, 7),
    ("Ghali", 3, 13, 3, 151, 7),
    ("Ghali", 3, 5, 7, 161, 1),
]

# The conversations, keyed by firstTag. Each is the list of its sections in order, the
# last one being the repeat line. Two blanks follow a full stop, as in the story text.
CONVERSATIONS = {
    # Cave, just below the cave mouth: the first face the hero meets.
    11: [
        "Goro: Oi!  Mind the drip.  New around here?  You look like you slept on a bar "
        "table.  If you mean to poke at Molloch with that bottle, at least grab the whip "
        "first.  It lies at the far end of the gallery, east of the cave mouth.",
        "You ask him who Molloch is, and why nobody has dealt with him yet.",
        "Goro: Big, scaly, all teeth.  He sleeps behind the red door, down in the east.  "
        "Pogo stands guard by it.  Well, shivers by it.  Talk to Pogo, then find the red "
        "key in the west.  And press m for the map, it saves boots.",
        "Goro: Whip to the east, red key to the west, Molloch behind the red door.  Off "
        "you go!",
    ],
    # Cave, in the middle of the west: a scholar of damp places.
    21: [
        "Vurgle: Ah!  A visitor!  Do sit, the stalagmite is quite comfortable.  I am "
        "Vurgle, scholar of damp places and author of ninety-one unread books about "
        "moss.",
        "You explain that you are looking for a red key and a way to Molloch.",
        "Vurgle: A red key?  A nervous fellow called Pogo came scampering through last "
        "week, dropping things.  He went west of here, then north.  Follow the passage "
        "past the apple and look in the little cave at its end.",
        "Vurgle: The Arkum brothers live south of here, down the steps and round the "
        "bend.  There is a sword in the hollow beside theirs.  They have argued for "
        "eleven years about whose it is.  Neither ever picked it up.",
        "You ask whether a sword will be enough against Molloch.",
        "Vurgle: Enough?  Dear me, no.  His hide turns a sword like a pickle turns a "
        "spoon.  Beyond the red door, up the passage to the north and along to the east, "
        "lies a bow.  Shoot straight and do not let him get close.",
        "Vurgle: And if you want history, old Dele sits in the far north-west corner.  "
        "She remembers ZARG.  Or says she does.  She is worth the walk.",
        "Vurgle: Red key west then north, the sword with the Arkums to the south, the bow "
        "behind the red door.  Now, about moss...",
    ],
    # Cave, beside the red door.
    31: [
        "Pogo: Eek!  Oh.  Oh, you are not a monster.  Sorry.  I am Pogo.  I guard this "
        "door.  Well, I stand near it.  Guarding is a strong word.",
        "You look at the door beside him.  It is painted a deep red and firmly locked.",
        "Pogo: That is the red door.  Molloch is past it, down in the south-east.  I had "
        "the key, honest, but he roared and I ran, and the key ran the other way.  West.  "
        "Past Vurgle's place, then north.  I think.",
        "You ask about the other door, the one a little way down the passage to the "
        "south.",
        "Pogo: The blue one?  Nobody has a blue key.  My gran said there is a second den "
        "behind it, for when Molloch gets tired of the first one.  She also said carrots "
        "grow in the dark, so who knows.",
        "Pogo: If you get through the red door, the Bow is up the passage to the north, "
        "right at the top, then east.  A lavender key lies just inside too.  Not for "
        "this cave.  The Castle, maybe?  Everything posh is in the Castle.",
        "Pogo: Good luck.  I will be right here.  Being brave.  Quietly.",
        "Pogo: Red key west, past Vurgle, then north.  The Bow is north beyond the "
        "door.  I am staying here.  Bravely.",
    ],
    # Cave, the two brothers in the south-west (they speak one after the other).
    41: [
        "Arkum: Do not listen to my brother.  The sword is mine, I saw it first, and I "
        "say a hero should have it.  It is in the hollow just north of here, through the "
        "west opening.  Go on, take it.",
        "Arkum: The sword is north of here, then west.  Take it before my brother says "
        "it is his.",
    ],
    71: [
        "Arkum: Do not listen to MY brother.  I saw it first, and I say the same thing, "
        "only louder.  TAKE THE SWORD!  And then go and find the red key, the bow is "
        "behind the red door.",
        "Arkum: North, then west.  Sword.  Louder than him.",
    ],
    # Cave, the far north-west corner: the oldest memory in Brinewort.
    51: [
        "Dele: Who is that stomping about my corner?  Come closer, child, my eyes are "
        "older than the rocks.  Hmm.  You have the look of the old heroes.  Mostly the "
        "smell.",
        "You tell her that you are here to stop ZARG's servants.",
        "Dele: ZARG.  I was a girl when the heroes drove him out.  They locked his name "
        "away behind a door in the Castle, at the far end of the west wing, and sealed it "
        "so that no key made by hands could open it.",
        "Dele: The Brinewort, they called what lies beyond.  The secret of the land.  "
        "Leave that door be.  It opens for nobody, and that is just as it should be.",
        "You ask her how to get into the wings of the Castle.",
        "Dele: Doors and keys, always the same story.  Molloch carries a light gray key: "
        "it opens the Castle's east wing.  In the east wing lies a green key, for the "
        "green door in the Sewer.  Past that door waits Agamir, the wizard.",
        "Dele: Agamir has the yellow key, and a silly cane.  The yellow door leads to "
        "the Castle's west wing, where the old king left his broadsword.  And a blue "
        "key, for the blue door in this very cave.",
        "Dele: Beaten beasts come back, child.  Molloch will wait for you behind that "
        "blue door, bigger and angrier.  And Agamir will crawl off to a den of his own "
        "behind the purple door, deep in the Sewer.",
        "You thank her, but she has already closed her eyes.  There are apples in the "
        "larder next door.  She would want you to take one.",
        "Dele: Light gray opens the east wing, green the Sewer, yellow the west wing, "
        "blue the den here, purple Agamir's last hole.  The dark door opens never.  Now "
        "let me nap.",
    ],
    # Cave, behind the red door: Pogo again, through a crack in the wall.
    61: [
        "Pogo: You again!  Yes, it is me.  There is a crack in the wall I can squeeze "
        "through if I breathe in.  I wanted to see if you were still alive.  You are.  "
        "Well done.",
        "You ask him where Molloch is.",
        "Pogo: South.  All the way down this passage, then west into his den.  On the "
        "way there is a little pocket to the west with a Quake scroll in it.  Scrolls "
        "are cast from the inventory, in battle.",
        "Pogo: When he goes down he drops a light gray key.  Gran said that one opens "
        "the east wing of the Castle, where the good axes are.  Gran knew a lot about "
        "axes.",
        "You thank him.  He is already squeezing back into his crack.",
        "Pogo: Molloch is south, then west.  A Quake scroll in the pocket on the way.  "
        "The light gray key is for the Castle.",
    ],
    # Sewer, in the east, above the White Key.
    81: [
        "Luba: You want the White Key?  It lies in the room right below mine, I keep an "
        "eye on it.  Take it to Bemi's white door in the west.  There is a Lightning "
        "scroll behind it.  Wizards and lightning, ha!",
        "Luba: The White Key is below me.  The white door is in the west, by Bemi.",
    ],
    # Sewer, in the west, beside the white door.
    91: [
        "Bemi: Shh!  Behind the white door just south of me lie a Lightning scroll and a "
        "flashlight.  Agamir hates lightning, his hat is made of tin.  Luba, far away in "
        "the east, sits on the White Key.",
        "Bemi: The white door is south of me.  Luba has the White Key, far to the east.",
    ],
    # Sewer, beside the grate.
    101: [
        "Nerman: Welcome to the Sewer, friend, mind your step.  The green door is "
        "straight down the main shaft, south of the grate.  Its key is in the Castle's "
        "east wing.  Agamir lurks beyond it, down in the south-east.",
        "Nerman: The green door is south of the grate.  Its key is in the Castle's east "
        "wing.",
    ],
    # Sewer, behind the green door.
    111: [
        "Xilco: You got through the green door?  Brave.  Agamir's chamber is east of "
        "me, then south.  Take the Fire scroll next door first.  The purple door back "
        "in the west passage?  Its key is Molloch's, and he gives it up only the second "
        "time he falls.",
        "Xilco: Agamir is east, then south.  The Fire scroll is next door.  The purple "
        "key is Molloch's.",
    ],
    # Sewer, behind the purple door.
    121: [
        "Murdik: Agamir came limping past, muttering about his cane.  His last "
        "hidey-hole is past Anook, to the west and then up north.  He is stronger now.  "
        "Bring the broadsword and every scroll you have.",
        "Murdik: West to Anook, then north.  The broadsword and every scroll.",
    ],
    # Sewer, below Agamir's last stand.
    131: [
        "Anook: He is just north of us, in the last chamber.  I can hear him practising "
        "his evil laugh.  It is not very good.  Finish it, hero, and Brinewort can "
        "sleep again.",
        "Anook: North.  He is north.  Go!",
    ],
    # Castle, at the gate.
    141: [
        "Ghali: Halt!  Who goes there?  Oh, a hero.  Fine.  I am Ghali, keeper of the "
        "gate, the keys and most of the cheese.  Welcome to the Castle of Brinewort, or "
        "what ZARG's servants left of it.",
        "You ask him which way to go.",
        "Ghali: Straight north of this gate, across the great hall, is the light gray "
        "door to the east wing.  Molloch in the Cave carries its key.  Beat him and "
        "come back.",
        "Ghali: At the west end of the hall is the yellow door to the west wing.  "
        "Agamir stole that key when he took the Sewer.  So: Molloch, the east wing, "
        "Agamir, the west wing.  Simple.",
        "You ask about the small lavender door on the south side of the hall.",
        "Ghali: The library.  Its lavender key was lost in the Cave, somewhere beyond "
        "the red door.  There is a Wind scroll on the shelves, and a sandwich nobody has "
        "dared to finish.",
        "Ghali: One more thing.  Far in the west wing is a dark door that no key opens.  "
        "Do not ask me what is behind it.  I do not know, and I sleep better that way.",
        "Ghali: Light gray door north of the gate, key from Molloch.  Yellow door west, "
        "key from Agamir.  Lavender door south of the hall, key in the Cave.",
    ],
    # Castle, in the east wing (the same Ghali: he takes the servants' stairs).
    151: [
        "Ghali: You again?  I take the servants' stairs, they are quicker.  So Molloch "
        "dropped the light gray key.  Nice work.  Now listen: this wing has all you need "
        "for the Sewer.",
        "You ask him what exactly.",
        "Ghali: First the armoury, west of the passage you came up.  There is an axe in "
        "it.  A bow just bounces off Agamir, so take the axe.",
        "Ghali: Then the green key.  It is in the steward's room, north of me and then "
        "west.  It opens the green door in the Sewer, straight south of where you climb "
        "down.",
        "Ghali: At the top of the stairs north of me is the east tower, with a Fire "
        "scroll in it.  Agamir's robes are very flammable.  I am only saying.",
        "You ask what happens after Agamir.",
        "Ghali: He carries the yellow key, and that silly cane.  Bring the key back here "
        "and the west wing is yours.  The old king's broadsword is there, and a blue key "
        "for the Cave.",
        "Ghali: The axe is in the armoury, the green key in the steward's room, the "
        "Fire scroll in the tower.  Then the Sewer's green door.",
    ],
    # Castle, in the west wing.
    161: [
        "Ghali: Servants' stairs again.  The old king's broadsword is in his hall to the "
        "north-west, and the blue key for the Cave's blue door is in the vault to the "
        "south.  Molloch waits behind that door.  The dark door in the far west?  Leave "
        "it.  It never opens.",
        "Ghali: Broadsword north-west, blue key south, blue door in the Cave.  Leave the "
        "dark door alone.",
    ],
}


# ---------------------------------------------------------------------------------------

def wrap(text, width=WIDTH):
    """Lay the text out the way the game's typewriter does; returns the rows. A blank
    starts a new row (and is dropped) when the word behind it would reach the width;
    a row that fills the width ends, dropping a blank that follows."""
    rows = [""]
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if c == " ":
            j = i + 1
            while j < n and text[j] != " ":
                j += 1
            if len(rows[-1]) + (j - i - 1) >= width:
                rows.append("")
                i += 1
                continue
        rows[-1] += c
        if len(rows[-1]) >= width:
            if i + 1 < n and text[i + 1] == " ":
                i += 1
            rows.append("")
        i += 1
    while rows and rows[-1] == "":
        rows.pop()
    return rows


def spoken_by(text, name):
    """True when the game shows the text as the character's own line: it begins with
    the name and a colon (the comparison stops at a blank or a line break)."""
    pattern = name + ":"
    k = 0
    while k < len(text) and k < len(pattern):
        if text[k] in " \n" or text[k] != pattern[k]:
            break
        k += 1
    return k == len(pattern)


def sections():
    """[(tag number, text)] in tag order."""
    out = []
    for name, _d, _c, _r, first, count in NPC_TABLE:
        lines = CONVERSATIONS.get(first)
        if lines is None:
            sys.exit(f"gen_dialogue: no conversation for {name} (first tag {first})")
        for k, text in enumerate(lines):
            out.append((first + k, text))
    return sorted(out)


def render():
    return "".join(f"Tag{number}\n{text}\n_\n" for number, text in sections())


def read_section(data, tag):
    """Read a section back as the game does: lines in pieces of at most 29 characters,
    the first piece that is the tag (followed by its line end, or by one more
    character and nothing else) ends the search; the text runs up to the next
    underscore. Returns None when the tag is not found."""
    pos = 0
    n = len(data)
    while pos < n:
        end = data.find("\n", pos)
        end = n if end < 0 else end + 1
        piece = data[pos:min(end, pos + 29)]
        pos += len(piece)
        k = 0
        while k < len(piece) and k < len(tag):
            if piece[k] in " \n\xff" or piece[k] != tag[k]:
                break
            k += 1
        if k == len(tag) and k < len(piece) and k + 1 == len(piece):
            stop = data.find("_", pos)
            return None if stop < 0 else data[pos:stop]
        if k == len(tag) and k == len(piece):
            return None  # the tag at the very end of the file: no text follows
    return None


def check(data):
    problems = []
    wanted = {}
    for name, _d, _c, _r, first, count in NPC_TABLE:
        lines = CONVERSATIONS.get(first, [])
        if len(lines) != count + 1:
            problems.append(f"{name} (tag {first}): {len(lines)} sections, expected "
                            f"{count} and the repeat line")
            continue
        for k, text in enumerate(lines):
            tag = first + k
            if tag in wanted:
                problems.append(f"Tag{tag} belongs to two characters")
            wanted[tag] = text
            where = f"Tag{tag} ({name})"
            own = spoken_by(text, name)
            if (k == 0 or k == count) and not own:
                problems.append(f"{where}: must be {name}'s own line ('{name}: ...')")
            head = text.split(" ", 1)[0]
            if not own and head.endswith(":"):
                problems.append(f"{where}: begins like someone's line but is not "
                                f"{name}'s")
            if own and text[len(name) + 1:len(name) + 2] != " ":
                problems.append(f"{where}: a blank should follow '{name}:'")
            bad = sorted({c for c in text if not (32 <= ord(c) <= 126)})
            if bad:
                problems.append(f"{where}: characters outside printable ASCII: {bad}")
            if "_" in text:
                problems.append(f"{where}: an underscore would end the section early")
            shown = text + "\n"  # the line end before the closing underscore is read too
            if len(shown) > MAX_LEN:
                problems.append(f"{where}: {len(shown)} characters, at most {MAX_LEN}")
            rows = wrap(shown)
            if len(rows) > ROWS:
                problems.append(f"{where}: needs {len(rows)} rows, only {ROWS} fit")
    extra = set(CONVERSATIONS) - {first for _, _, _, _, first, _ in NPC_TABLE}
    for first in sorted(extra):
        problems.append(f"conversation at tag {first} belongs to nobody in the table")
    for tag, text in sorted(wanted.items()):
        got = read_section(data, f"Tag{tag}")
        if got != text + "\n":
            problems.append(f"Tag{tag}: the game would read {got!r}")
    tags_in_file = [line for line in data.split("\n") if line.startswith("Tag")]
    if sorted(tags_in_file) != sorted(f"Tag{t}" for t in wanted):
        problems.append("the file holds other tags than the conversations")
    return problems


def show():
    for name, d, c, r, first, count in NPC_TABLE:
        place = {1: "Cave", 2: "Sewer", 3: "Castle"}[d]
        print(f"== {name}, {place} room {c},{r}: Tag{first}..Tag{first + count - 1}, "
              f"repeat Tag{first + count}")
        for k, text in enumerate(CONVERSATIONS[first]):
            label = "repeat" if k == count else f"Tag{first + k}"
            colour = "blue" if spoken_by(text, name) else "white"
            rows = wrap(text + "\n")
            print(f"-- {label} ({colour}, {len(rows)} rows)")
            for row in rows:
                print("   |" + row.replace("\n", " ").ljust(WIDTH) + "|")
        print()


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--check", action="store_true",
                    help="write nothing; fail if data/NPCscripts.rtf is stale or wrong")
    ap.add_argument("--show", action="store_true", help="print every section laid out")
    args = ap.parse_args()

    if not write_or_check(OUT_PATH, render().encode("ascii"), args.check):
        print(f"{OUT_PATH}: missing, or not what tools/gen_dialogue.py makes")
        return 1
    with open(OUT_PATH, newline="") as f:
        written = f.read()
    if args.show:
        show()
    problems = check(written)
    if problems:
        for p in problems:
            print("FAIL:", p)
        return 1
    count = len(sections())
    longest = max(len(wrap(t + "\n")) for _, t in sections())
    print(f"{OUT_PATH}: ok ({count} sections for {len(NPC_TABLE)} characters, "
          f"at most {longest} of {ROWS} rows)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
