#!/usr/bin/env python3
"""Writes the game's prose files in data/ from the readable text below: the story
("Story.txt"), the bartender's lines ("BartenderScripts.txt") and the monsters' taunts with
Molloch's words at his first defeat ("SkeletonScripts.txt").

Each section becomes a tag line and the text with the "_" right behind it: the game types the
text with word wrap and counts a line end as part of the word it touches, so a line end before
the "_" could push the last word alone onto a row. A section is one paragraph. One blank
follows a full stop: with two, a sentence that ends right at the wrap width would start the
next row with a blank. Run from anywhere:
    python3 tools/gen_prose.py            write the files
    python3 tools/gen_prose.py --check    write nothing; fail if a file is out of date
    --datacheck PATH                      the built brinewort-datacheck (else the environment
                                          variable BRINEWORT_DATACHECK, else build/)
brinewort-datacheck judges the files written: every section there, plain text, fitting where
the game types it, no text typed over another while it is read.
"""
import argparse
import sys

from datagen import ROOT, add_datacheck_option, find_datacheck, judge, write_or_check

STORY = [
    ('Chunk1',
     "Long ago, the land of Brinewort was a quiet place of pickled turnips, grumpy goats and very "
     "bad poetry. Then came ZARG, a darkness so rude it put out candles just by looking at them. "
     "The old heroes drove him off and went home for a well-earned nap. A thousand years later, "
     "the nap is over: the milk sours overnight, and a shadow with ZARG's grin stretches across "
     "the hills at sunset. You remember none of this. You wake face down on a sticky tavern "
     "table, clutching an empty bottle. (Enter)"),
    ('Chunk2',
     '"Finally awake," the bartender says. "ZARG has servants. Molloch, a scaly brute with more '
     'teeth than sense, has made the Cave his den. Agamir, a wizard far too fond of his cane, '
     'rules the Sewer. Stop them both and ZARG has no door to come back through." He nods at the '
     'empty bottle in your fist. "Not much of a weapon, but it is yours. Start with the Cave, and come '
     'back whenever you need a bed or a word of advice." (Enter)'),
    ('Chunk3',
     'Molloch crashes to the ground a second time. A cold voice spills out of his smoking jaws: "Fool... the beast never mattered. Agamir has '
     'fed me its strength all along, and down in the sewer he weaves the spell that opens the '
     'way for my return." The voice is ZARG\'s. The wizard was never just a servant: he is the '
     'door itself.'),
    ('Chunk4',
     'Agamir staggers, grabs for the cane that is no longer his and vanishes in a puff of purple '
     'smoke that smells faintly of old socks. Far away, a great shadow lets out one last furious '
     'howl and folds up like a wet umbrella. The spell is broken. Back at the tavern the whole '
     'town is waiting, the milk is fresh again, and your name hangs on a plaque above the bar, '
     'spelled almost correctly. You put your head down on the table and sleep, for the first '
     'time in ages, like a hero.'),
]

# Typed at row 13 after the talk area is blanked: the first row may run 60 columns, the second
# only 51 (the blank ends at column 60 there), and nothing may reach a third.
BARTENDER = [
    ('Tag0',
     '"Rough night? Choose Sleep to get your health and skill points back, and Save to '
     'keep your progress."'),
    ('Tag1',
     '"Head for the Cave first. Beat Molloch and he will drop something useful. Press i to '
     'check your things."'),
    ('Tag2',
     '"The Castle is full of coloured doors. Find the key of the same colour. Molloch and '
     'Agamir carry a few."'),
    ('Tag3',
     '"Found a flashlight? It burns for two minutes. Where rooms are dark, it lets you see '
     'twice as far."'),
    ('Tag4',
     '"Rest when hurt, save before a fight, and look out for keys. Now, are you drinking?"'),
]

SKELETON = [
    # Molloch, beaten the first time: typed before he gives up the light gray key.
    ("TextTag0",
     "Molloch slumps against the cave wall, smoke curling from his nostrils. \"You hit harder "
     "than you look,\" he wheezes. \"Take the key, then. It opens the light gray door of the old "
     "Castle. But mark me: the wizard Agamir waits below the town, and he is not a beast you "
     "can bottle. I will heal. I will be back, and I will be bigger.\""),
    # Taunts: every opponent says one of these after landing a hit.
    ("TextTag1", "Is that all you've got? My granny hits harder, and she's a pile of bones."),
    ("TextTag2", "Ha! Go back to your tavern and sleep it off."),
    ("TextTag3", "ZARG is coming, and you'll be the first to go."),
    ("TextTag4", "That one's going to leave a mark. On you."),
    ("TextTag5", "I've eaten adventurers tougher than you for breakfast."),
    ("TextTag6", "Did that tickle? No? Then how about this!"),
    ("TextTag7", "You fight like a wet sock."),
    ("TextTag8", "Run home. Oh wait, you can't."),
    ("TextTag9", "Nobody leaves this dungeon in one piece."),
    ("TextTag10", "Whatever you swing, it is no match for me."),
]

FILES = {
    "Story.txt": STORY,
    "BartenderScripts.txt": BARTENDER,
    "SkeletonScripts.txt": SKELETON,
}


def render(sections):
    return "".join(f"{tag}\n{text}_\n" for tag, text in sections)


def main():
    parser = argparse.ArgumentParser(description="Write the story, the bartender's lines and "
                                                 "the monsters' taunts.")
    parser.add_argument("--check", action="store_true",
                        help="write nothing; fail when a file is out of date")
    add_datacheck_option(parser)
    args = parser.parse_args()
    checker = find_datacheck(args.datacheck)
    data = ROOT / "data"
    stale = []
    for name, sections in FILES.items():
        content = render(sections).encode("ascii")
        if not write_or_check(data / name, content, args.check):
            stale.append(name)
    if stale:
        sys.exit("out of date: " + ", ".join(stale) + " (run tools/gen_prose.py)")
    print(f"{data}: {'up to date' if args.check else 'written'}; brinewort-datacheck says:")
    if not judge(checker, data):
        sys.exit(1)


main()
