#!/usr/bin/env python3
"""Writes the game's prose files in data/ from the readable text below: the story
("Story.txt"), the bartender's lines ("BartenderScripts.txt") and the monsters' taunts with
Molloch's words at his first defeat ("SkeletonScripts.txt").

Each section becomes a tag line, the text on one line, and a line holding only "_". The game
types the text with word wrap, so each section is one paragraph. Run from anywhere:
    python3 tools/gen_prose.py            write the files
    python3 tools/gen_prose.py --check    write nothing; fail if a file is out of date
"""
import pathlib
import sys

from datagen import write_or_check

STORY = [
    ('Chunk1',
     "Long ago, the land of Brinewort was a quiet place of pickled turnips, grumpy goats and very bad poetry.  Then came ZARG, a darkness so rude it put out candles just by looking at them.  The old heroes of Brinewort drove him off at last, sealed his name away and went home for a well-earned nap.  A thousand years later, the nap is over.  The crops wilt, the milk sours overnight, and a shadow with ZARG's terrible grin has been seen stretching across the hills at sunset.  You, meanwhile, remember none of this.  You remember a long road, a storm, and a door with a warm light behind it.  Now you wake face down on a sticky table in the only tavern for miles, clutching an empty bottle, while a bartender polishes a mug and watches you with a look that says he has been waiting for someone exactly like you.  Unfortunately."),
    ('Chunk2',
     '"Finally awake," the bartender says.  "Good.  ZARG has servants, and they are busy getting the house ready for him.  The first is Molloch, a great scaly brute with more teeth than sense.  He has made the Cave his den, and nothing gets past him.  Beat him and you will find a way into the old Castle, and from there, deeper trouble.  The second is Agamir, a wizard who thinks very highly of himself and of his ridiculous cane.  Stop the two of them and ZARG has no door to walk back through."  He slides the empty bottle back across the counter.  "It is not much of a weapon, but it is yours.  Start with the Cave.  And come back here whenever you need a bed or a word of advice.  I hear a lot of things, standing behind this bar."'),
    ('Chunk3',
     'As Molloch crashes to the ground a second time, a cold voice spills out of his smoking jaws.  "Fool... you think the beast mattered?  Agamir has been feeding me its strength all along.  Down in the sewer he weaves the last of the spell that will open the way for my return."  The voice is ZARG\'s.  The wizard was never just a servant; he is the door itself.  Only by stopping Agamir can the shadow be turned back for good.'),
    ('Chunk4',
     'Agamir staggers, drops his cane with a sad little clatter and vanishes in a puff of purple smoke that smells faintly of old socks.  Far away, a great shadow lets out one last furious howl and then folds up like a wet umbrella.  The spell is broken.  ZARG will not be coming back, not this year, not this millennium, and hopefully not ever.  When you stumble back into the tavern, the whole town is waiting.  The goats are cheerful again, the milk is fresh, and the bartender has put your name on a plaque above the bar, spelled almost correctly.  He pours you a drink on the house, the first he has ever given away, and asks what you plan to do next.  You think about it for a long while.  Then you put your head down on the table and sleep, for the first time in ages, like a hero.'),
]

BARTENDER = [
    ('Tag0',
     '"Rough night?  Our beds are cheap.  Choose Sleep to get your health and skill points back, and you can save your progress here too."'),
    ('Tag1',
     '"Head for the Cave first.  Molloch lives there, and if you beat him he will drop something useful.  Press i to check your inventory."'),
    ('Tag2',
     '"The Castle is full of coloured doors.  Find a key of the same colour and it will open.  Molloch and Agamir both carry a key or two."'),
    ('Tag3',
     '"Some passages are black as pitch.  If you find a flashlight, hang on to it.  It lights the way where your eyes are useless."'),
    ('Tag4',
     '"Rest if you are hurt, save before a fight, and keep an eye out for keys.  Now, are you going to order something or not?"'),
]

SKELETON = [
    # Molloch, beaten the first time: typed before he gives up the light gray key.
    ("TextTag0",
     "Molloch slumps against the cave wall, smoke curling from his nostrils.  \"You hit harder "
     "than you look,\" he wheezes.  \"Take the key, then.  It opens the light gray door of the old "
     "Castle.  But mark me: the wizard Agamir waits below the town, and he is not a beast you "
     "can bottle.  I will heal.  I will be back, and I will be bigger.\""),
    # Taunts: every opponent says one of these after landing a hit.
    ("TextTag1", "Is that all you've got?  My granny hits harder, and she's a pile of bones."),
    ("TextTag2", "Ha!  Go back to your tavern, bottle-boy."),
    ("TextTag3", "ZARG is coming, and you'll be the first to go."),
    ("TextTag4", "That one's going to leave a mark.  On you."),
    ("TextTag5", "I've eaten adventurers tougher than you for breakfast."),
    ("TextTag6", "Did that tickle?  No?  Then how about this!"),
    ("TextTag7", "You fight like a wet sock."),
    ("TextTag8", "Run home.  Oh wait, you can't."),
    ("TextTag9", "Nobody leaves this dungeon in one piece."),
    ("TextTag10", "Your bottle is no match for me."),
]

FILES = {
    "Story.txt": STORY,
    "BartenderScripts.txt": BARTENDER,
    "SkeletonScripts.txt": SKELETON,
}


def render(sections):
    lines = []
    for tag, text in sections:
        # An underscore would end the section early; the game's files are plain ASCII.
        if "_" in text or not all(32 <= ord(c) < 127 for c in text):
            sys.exit(f"{tag}: only printable ASCII without underscores may go in a section")
        lines += [tag, text, "_"]
    return "\n".join(lines) + "\n"


def main():
    data = pathlib.Path(__file__).resolve().parent.parent / "data"
    stale = []
    for name, sections in FILES.items():
        content = render(sections).encode("ascii")
        if not write_or_check(data / name, content, "--check" in sys.argv):
            stale.append(name)
    if stale:
        sys.exit("out of date: " + ", ".join(stale) + " (run tools/gen_prose.py)")


main()
