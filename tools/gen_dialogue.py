#!/usr/bin/env python3
"""Writes what the non-player characters say, data/NPCscripts.rtf, from the
conversations held in this script.

Output, relative to the repository root (found from this script's place, so the script
can be run from anywhere):
  data/NPCscripts.rtf   plain text despite its name: for every conversation the
                        sections "Tag<n>", each a tag line and the text on one line
                        with the "_" right behind it (a line end before it would count
                        as part of the last word and could push that word alone onto
                        a row)

Usage:
  python3 tools/gen_dialogue.py           write the file and check it
  python3 tools/gen_dialogue.py --show    the same, and print every section with the
                                          colour the game gives it
  python3 tools/gen_dialogue.py --check   write nothing; exit with status 1 when the file
                                          is missing, differs from what this script
                                          makes, or fails a check
  --datacheck PATH                        the built brinewort-datacheck (else the
                                          environment variable BRINEWORT_DATACHECK, else
                                          build/)

How the game uses the sections: a character's first talk types the sections firstTag,
firstTag + 1, ... (lineCount of them) one after another; every later talk types the
section firstTag + lineCount, the repeat line. A section that begins with the
character's name and a colon is the character's own line and is shown in light blue;
the others (the hero's part, narration) in white. The colour of the repeat line follows
the first section, so both are the character's own.

The characters' table (name, dungeon, room, firstTag, lineCount) is the game's own, read
from brinewort-datacheck --facts. What is checked here: every character of the table has
all its sections and no other section exists; the first section and the repeat line are
the character's own and no other section begins with a name and a colon. Then
brinewort-datacheck reads the data directory with the game's own reader and typewriter:
every section is there, plain text, at most 999 characters, fits the dialogue area (15
rows of 30 columns) and a first talk stays short; any problem or warning fails the run.
"""
import argparse
import os
import sys

from datagen import add_datacheck_option, find_datacheck, game_facts, judge, write_or_check

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_PATH = os.path.join(ROOT, "data", "NPCscripts.rtf")

# The characters in the game's table order: (name, dungeon, column, row, firstTag,
# lineCount), dungeons numbered as the game's dungeon table; main fills it in from
# brinewort-datacheck --facts.
NPC_TABLE = []
DUNGEON_NAMES = {}  # number -> name, from the game's dungeon table

# The conversations, keyed by firstTag. Each is the list of its sections in order, the
# last one being the repeat line. One blank follows a full stop: with two, a sentence that
# ends right at the wrap width would start the next row with a blank. A first talk cannot
# be cut short, so each stays under 40 seconds: 50 ms a character and 2 s after each section.
CONVERSATIONS = {
    # Cave, just below the cave mouth: the first face the hero meets.
    11: [
        "Goro: Oi! Mind the drip. New around here? You look like you slept on a bar table. "
        "Molloch lives down this way, behind a red door.",
        "You ask him where to find its key.",
        "Goro: The red key lies in the next cave, right below me. Then go on south, and east "
        "past Pogo to the red door. Molloch sleeps behind it. Press m for the map.",
        "Goro: Red key just south of me, then south and east past Pogo to the red door.",
    ],
    # Cave, in the old galleries west of the purple door: a scholar of damp places.
    21: [
        "Vurgle: A visitor! Do sit. I am Vurgle, author of ninety-one unread books about "
        "moss. Have a cookie.",
        "You ask about Agamir.",
        "Vurgle: His last hole lies at the bottom of the sewer's long drain, past the purple "
        "door west of the grate.",
        "Vurgle: Skill spells ignore his tricks. Eat well before you knock.",
        "You ask what lies out here.",
        "Vurgle: Moss. The Arkums, south. Old Dele, far north-west. She remembers ZARG.",
        "Vurgle: Beaten wizards come back bigger.",
        "Vurgle: The sewer's long drain, west of the grate. Now, about moss...",
    ],
    # Cave, beside the red door.
    31: [
        "Pogo: Eek! Oh, you are not a monster. I am Pogo. I guard this door. Well, I stand "
        "near it.",
        "You look at the door to the east. It is deep red, and locked.",
        "Pogo: Molloch is right behind it! The red key is up north, below Goro.",
        "You ask about the other doors you passed.",
        "Pogo: The blue one hides his lower den. Its key is in the Castle. The purple one? "
        "Locked for years.",
        "Pogo: He drops a light gray key. It opens the Castle's east wing.",
        "Pogo: I will stay right here. Being brave. Quietly.",
        "Pogo: Red door east of me, Molloch behind it. His key opens the Castle.",
    ],
    # Cave, in the old galleries: the two brothers (they speak one after the other).
    41: [
        "Arkum: Do not listen to my brother. That sword is mine. We argued about it for "
        "eleven years. Take it, then we both lose.",
        "Arkum: Take the sword. Then nobody wins.",
    ],
    71: [
        "Arkum: Do not listen to MY brother. I say the same thing, only louder. TAKE THE "
        "SWORD! And ask Dele, far north, about her blade.",
        "Arkum: Sword. Dele. North. Louder than him.",
    ],
    # Cave, the far north-west corner of the old galleries: the oldest memory in Brinewort.
    51: [
        "Dele: Who stomps about my corner? You smell like a hero.",
        "You say you are here to stop ZARG.",
        "Dele: His name is locked in the Castle.",
        "Dele: No key opens that door.",
        "You ask about the blade on her wall.",
        "Dele: An old hero's broadsword. I am done with it. Take it to Agamir.",
        "Dele: My larder is next door. Help yourself.",
        "Dele: Then the sewer's long drain.",
        "She is already asleep.",
        "Dele: Broadsword, larder, drain. Now let me nap.",
    ],
    # Cave, behind the purple door east of the lower den: Pogo again, through a crack.
    61: [
        "Pogo: You again! There is a crack in the wall I can squeeze through. You beat him "
        "twice. Well done.",
        "You ask him what is left to do.",
        "Pogo: Agamir waits in the sewer, past the purple door west of the grate. It is a "
        "long drain.",
        "Pogo: Gran left me her scroll. Take it. Scrolls are cast from the inventory, in "
        "battle.",
        "He squeezes back into his crack.",
        "Pogo: The purple door west of the sewer grate. Take Gran's scroll.",
    ],
    # Sewer, in the east, just north of the green door.
    81: [
        "Luba: You came all this way east for me? Sweet. Have an apple. Agamir's chamber is "
        "right behind the green door, just south. Mind his hat.",
        "Luba: Green door just south of me, Agamir behind it.",
    ],
    # Sewer, in the long drain behind the purple door.
    91: [
        "Bemi: Shh! Agamir has a second hole, at the bottom of this drain. Follow it south, "
        "and take an apple for the road.",
        "Bemi: South down the drain. His last hole is at the bottom.",
    ],
    # Sewer, beside the grate.
    101: [
        "Nerman: Welcome to the Sewer, friend. Agamir lurks east of here, past Luba, behind "
        "the green door. Its key is in the Castle's east wing.",
        "Nerman: East past Luba to the green door. Key in the Castle's east wing.",
    ],
    # Sewer, beside Agamir's last stand.
    111: [
        "Xilco: You made it down the whole drain? Brave. Agamir is right next door, to the "
        "east. Eat something first.",
        "Xilco: Agamir is in the next chamber, east.",
    ],
    # Sewer, near the bottom of the long drain.
    121: [
        "Murdik: Agamir came limping past, muttering about his cane. His last hole is east "
        "of here, just past Xilco. There is a cookie in the pumping room.",
        "Murdik: East past Xilco. Cookie in the pumping room.",
    ],
    # Sewer, at the bottom of the long drain.
    131: [
        "Anook: He is further on, east past Murdik and Xilco. I can hear him practising his "
        "evil laugh. It is not very good.",
        "Anook: East. He is east. Go!",
    ],
    # Castle, in the gatehouse.
    141: [
        "Ghali: Halt! Oh, a hero. I am Ghali, keeper of the gate, the keys and most of the "
        "cheese.",
        "You ask him which way to go.",
        "Ghali: North of the gate is the light gray door to the east wing. Molloch carries "
        "its key.",
        "Ghali: West of the gate is the yellow door to the great hall. Agamir stole that key.",
        "You ask what lies behind them.",
        "Ghali: The axe and the green key for the sewer in the east wing, a blue key in the "
        "hall.",
        "Ghali: Beyond the hall, a dark door. Nobody opens that one.",
        "Ghali: Light gray door north, key from Molloch. Yellow door west, key from Agamir.",
    ],
    # Castle, at the end of the east wing (the same Ghali: he takes the servants' stairs).
    151: [
        "Ghali: You again? I take the servants' stairs. So Molloch dropped the light gray "
        "key. Nice work.",
        "You ask what this wing holds.",
        "Ghali: The axe, in the armoury you just passed. A bow bounces off Agamir.",
        "Ghali: The green key lies right here, on the steward's desk. Take it.",
        "Ghali: It opens the Sewer's green door, east of the grate, past Luba.",
        "You ask what happens after Agamir.",
        "Ghali: Bring his yellow key back here. The great hall holds the blue key.",
        "Ghali: Green key here, for the Sewer's green door past Luba.",
    ],
    # Castle, in the west wing beyond the great hall.
    161: [
        "Ghali: Servants' stairs again. The library next door holds a scroll, and the dark "
        "door the old kings sealed. It never opens.",
        "Ghali: Take the scroll. Leave the dark door alone.",
    ],
}


# ---------------------------------------------------------------------------------------

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
    return "".join(f"Tag{number}\n{text}_\n" for number, text in sections())


def check(data):
    """What the script must hold beyond the checker's judgement (which also decides, as the
    game does, who speaks each section): a conversation for each character, tags in order."""
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
    extra = set(CONVERSATIONS) - {first for _, _, _, _, first, _ in NPC_TABLE}
    for first in sorted(extra):
        problems.append(f"conversation at tag {first} belongs to nobody in the table")
    tags_in_file = [line for line in data.split("\n") if line.startswith("Tag")]
    if sorted(tags_in_file) != sorted(f"Tag{t}" for t in wanted):
        problems.append("the file holds other tags than the conversations")
    return problems


def show():
    for name, d, c, r, first, count in NPC_TABLE:
        place = DUNGEON_NAMES[d]
        print(f"== {name}, {place} room {c},{r}: Tag{first}..Tag{first + count - 1}, "
              f"repeat Tag{first + count}")
        for k, text in enumerate(CONVERSATIONS[first]):
            label = "repeat" if k == count else f"Tag{first + k}"
            print(f"-- {label}: {text}")
        print()


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--check", action="store_true",
                    help="write nothing; fail if data/NPCscripts.rtf is stale or wrong")
    ap.add_argument("--show", action="store_true", help="print every section")
    add_datacheck_option(ap)
    args = ap.parse_args()
    checker = find_datacheck(args.datacheck)
    facts = game_facts(checker)
    NPC_TABLE[:] = [(n["name"], n["dungeon"], n["column"], n["row"], n["firstTag"],
                     n["lineCount"]) for n in facts["npcs"]]
    DUNGEON_NAMES.update({d["number"]: d["name"] for d in facts["dungeons"]})

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
    print(f"{OUT_PATH}: {len(sections())} sections for {len(NPC_TABLE)} characters; "
          f"brinewort-datacheck says:")
    return 0 if judge(checker, os.path.dirname(OUT_PATH)) else 1


if __name__ == "__main__":
    sys.exit(main())
