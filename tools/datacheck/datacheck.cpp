// The data checker: the game's own loaders read the files; a search plays them to the end.
#include "datacheck/datacheck.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

#include "battle/battle.h"
#include "console/console.h"
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "items/items.h"
#include "platform/headless.h"
#include "platform/system.h"
#include "resources/datapath.h"
#include "resources/resources.h"

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// --- Tagged text sections ---

// A section as it stands in the file, past the 999 characters the game keeps.
struct RawSection {
    bool found = false;     // the tag line is there
    bool closed = false;    // an underscore ends the section
    std::string text;       // up to the underscore
    std::string restOfLine; // what stands behind the underscore on its line
};

// Reads a section with the game's own tag search and character reader.
static RawSection readRawSection(const fs::path &file, const std::string &tag) {
    RawSection section;
    FileBytes bytes = readFileBytes(textOf(file).c_str());
    if (!bytes.ok) return section;
    DataReader stream = readerOf(bytes.bytes);
    section.found = findTagLine(stream, tag.c_str());
    int ch = EOF;
    if (section.found) {
        while ((ch = readSectionChar(stream)) != EOF && ch != '_')
            section.text += static_cast<char>(ch);
    }
    section.closed = ch == '_';
    if (section.closed) {
        while ((ch = readTextChar(stream)) != EOF && ch != '\n')
            section.restOfLine += static_cast<char>(ch);
    }
    return section;
}

// How many rows the game's typewriter fills with a text at a width: typed on the cleared
// screen from the top left, so that its wrap is measured by the game itself.
static int typedRows(const char *text, int width) {
    constexpr uint8_t typedInk = 15;
    clearScreen(0);
    typeText(text, typedInk, width, 0, 0);
    int rows = 0;
    for (int row = 0; row < screenHeight; row++) {
        for (int column = 0; column < width; column++) {
            if (console.screenCells[row][column].colour == typedInk) rows = row + 1;
        }
    }
    clearScreen(0);
    return rows;
}

// Where a kind of section is typed, the rows it may fill, and the cells blanked before it is
// typed: a text that shows anything outside them leaves pieces behind under the next one.
struct TextPlace {
    int x, y, width;
    int rows;
    const char *rowsText;
    bool (*blanked)(int column, int row);
    const char *blankedText;
    bool page; // a story page or reward chapter, read at the typewriter's pace
};
static bool wholeScreen(int, int) {
    return true;
}
// The tavern's talk blank: 61 blanks from column 10 of row 13, a line end, 61 from column 0.
static bool talkBlank(int column, int row) {
    return (row == talkRow && column >= talkColumn && column <= 70) ||
           (row == talkRow + 1 && column <= 60);
}
static bool dialogueBlank(int column, int row) {
    return row >= dialogueFirstRow && row <= dialogueLastRow && column >= dialogueColumn &&
           column <= 72;
}
static const TextPlace fullPage = {.x = pageColumn,
                                   .y = pageRow,
                                   .width = pageWidth,
                                   .rows = 23,
                                   .rowsText = "rows 2..24",
                                   .blanked = wholeScreen,
                                   .blankedText = "",
                                   .page = true};
static const TextPlace bartenderArea = {.x = talkColumn,
                                        .y = talkRow,
                                        .width = talkWidth,
                                        .rows = 3,
                                        .rowsText = "rows 13..15",
                                        .blanked = talkBlank,
                                        .blankedText =
                                            "row 13 from column 10 to 70, row 14 up to 60",
                                        .page = false};
static const TextPlace dialogueArea = {.x = dialogueColumn,
                                       .y = dialogueFirstRow,
                                       .width = dialogueWidth,
                                       .rows = dialogueLastRow - dialogueFirstRow + 1,
                                       .rowsText = "rows 2..16",
                                       .blanked = dialogueBlank,
                                       .blankedText = "columns 40 to 72 of rows 2 to 16",
                                       .page = false};
static const TextPlace battleMessage = {.x = messageColumn,
                                        .y = messageRow,
                                        .width = messageWidth,
                                        .rows = 6,
                                        .rowsText = "the battle's message area",
                                        .blanked = wholeScreen,
                                        .blankedText = "",
                                        .page = false};

constexpr uint8_t ink = 15;

// Types a text where the game types it, on a cleared screen, and names the cells it shows
// outside the place's blanked area and the rows that begin with a blank.
static void checkLayout(const char *text, const TextPlace &place, const std::string &where,
                        Lines &problems) {
    clearScreen(0);
    typeText(text, ink, place.width, place.x, place.y);
    std::string outside, blankRows;
    for (int row = place.y; row < screenHeight; row++) {
        int last = -1;
        for (int column = 0; column < screenWidth; column++) {
            const Cell &cell = console.screenCells[row][column];
            if (cell.colour == ink && cell.glyph != ' ') last = column;
        }
        if (last < 0) continue;
        const Cell &first = console.screenCells[row][place.x];
        if (first.colour == ink && first.glyph == ' ')
            blankRows += (blankRows.empty() ? "" : ", ") + std::to_string(row);
        if (outside.empty() && !place.blanked(last, row))
            outside = "row " + std::to_string(row) + " reaches column " + std::to_string(last);
    }
    clearScreen(0);
    if (!outside.empty()) {
        problems.push_back(where + outside + ", past the cells blanked before it (" +
                           place.blankedText + "): the next text shows pieces of it");
    }
    if (!blankRows.empty())
        problems.push_back(where + "screen rows " + blankRows + " start with a blank");
}

// The typewriter's pace and the waits of a first talk with the characters.
constexpr int millisPerCharacter = 50;
constexpr int millisAfterSection = 2000;
constexpr int longestPageMillis = 25000; // a story page or reward chapter
constexpr int longestFirstTalkMillis = 40000;

static std::string seconds(int millis) {
    return std::to_string((millis + 500) / 1000) + " s";
}

static void checkSection(const fs::path &file, const std::string &tag, const TextPlace &place,
                         Lines &problems) {
    std::string where = file.filename().string() + " " + tag + ": ";
    RawSection raw = readRawSection(file, tag);
    if (!raw.found || !raw.closed) {
        problems.push_back(where +
                           (raw.found ? "no underscore closes the section" : "the tag is missing"));
        return;
    }
    if (raw.text.size() >= textSectionCapacity) {
        problems.push_back(where + std::to_string(raw.text.size()) +
                           " characters; the game reads only the first 999");
    }
    for (char ch : raw.text) {
        auto byte = static_cast<unsigned char>(ch);
        if (byte == '\\') {
            problems.push_back(where + "holds a backslash (RTF markup?), shown as it is");
            break;
        }
        if (byte != '\n' && (byte < 32 || byte > 126)) {
            problems.push_back(where + "holds byte " + std::to_string(byte) +
                               ", not plain text: the console shows a code page 437 sign");
            break;
        }
    }
    if (raw.restOfLine.find_first_not_of(" \t") != std::string::npos) {
        problems.push_back(where + "an underscore inside the text ends the section early; \"" +
                           raw.restOfLine + "\" is never shown");
    }
    TextBuffer text = readTextSection(textOf(file).c_str(), tag.c_str()).text;
    int rows = typedRows(text.get(), place.width);
    // The typewriter counts a line end as part of the word it touches: the one before the
    // underscore can push the last word alone onto a row of its own.
    std::string untrailed = text.get();
    while (!untrailed.empty() && untrailed.back() == '\n')
        untrailed.pop_back();
    if (typedRows(untrailed.c_str(), place.width) < rows) {
        problems.push_back(where + "the line end before the underscore counts as part of the " +
                           "last word, \"" + untrailed.substr(untrailed.find_last_of(" \n") + 1) +
                           "\", and pushes it alone onto a row of its own; put the underscore " +
                           "right behind it");
    }
    if (rows > place.rows) {
        problems.push_back(where + "needs " + std::to_string(rows) + " rows at width " +
                           std::to_string(place.width) + ", only " + std::to_string(place.rows) +
                           " fit (" + place.rowsText + ")");
    }
    checkLayout(text.get(), place, where, problems);
    int millis = static_cast<int>(std::strlen(text.get())) * millisPerCharacter;
    if (place.page && millis >= longestPageMillis) {
        problems.push_back(where + std::to_string(std::strlen(text.get())) + " characters take " +
                           seconds(millis) + " to type; a page should " + "take under " +
                           seconds(longestPageMillis));
    }
}

// The word of a screen row that covers a cell: from the blank before it to the blank after.
static std::string wordAt(const std::vector<Cell> &screen, int row, int column) {
    auto glyph = [&](int at) { return screen[static_cast<size_t>(row * screenWidth + at)].glyph; };
    int first = column, last = column;
    while (first > 0 && glyph(first - 1) != ' ')
        first--;
    while (last + 1 < screenWidth && glyph(last + 1) != ' ')
        last++;
    std::string word;
    for (int at = first; at <= last; at++)
        word += static_cast<char>(glyph(at));
    return word;
}

// The boss rewards type their texts one after another. Played through the game's own reward
// with the directory's files, watching every screen it shows: a text must never be typed over
// another one's words while that can still be read, that is before the screen is cleared. One
// present that keeps most of the old text but changes some of it is such a covering; a cleared
// screen keeps none of it (only the first character of the next text may stand there).
static void checkRewardTexts(const fs::path &directory, Lines &problems) {
    if (!fs::exists(directory / "Story.txt") || !fs::exists(directory / "SkeletonScripts.txt"))
        return; // named as missing already
    struct Reward {
        uint8_t boss;
        int32_t defeats;
        const char *what;
    };
    const Reward rewards[] = {
        {bossMolloch, 1, "Molloch's first defeat (SkeletonScripts.txt TextTag0)"},
        {bossMolloch, 2, "Molloch's second defeat (Story.txt Chunk3)"},
        {bossAgamir, 1, "Agamir's first defeat"},
    };
    DataPlaces places = dataPlaces();
    DataPlaces here;
    here.searchDirectories = {textOf(directory)};
    setDataPlaces(here);
    for (const Reward &reward : rewards) {
        std::vector<Cell> before(&console.screenCells[0][0],
                                 &console.screenCells[0][0] + screenWidth * screenHeight);
        std::string covered;
        headlessSetPresentHook([&] {
            const Cell *now = &console.screenCells[0][0];
            int kept = 0;
            std::string changed;
            for (int at = 0; at < screenWidth * screenHeight; at++) {
                if (before[static_cast<size_t>(at)].glyph == ' ') continue;
                if (now[at].glyph == before[static_cast<size_t>(at)].glyph) {
                    kept++;
                } else if (changed.empty()) {
                    changed = "\"" + wordAt(before, at / screenWidth, at % screenWidth) +
                              "\" on row " + std::to_string(at / screenWidth);
                }
            }
            if (kept > 1 && !changed.empty() && covered.empty()) covered = changed;
            before.assign(now, now + screenWidth * screenHeight);
        });
        clearScreen(0);
        game.mollochDefeats = reward.boss == bossMolloch ? reward.defeats : 1;
        game.agamirDefeats = reward.boss == bossAgamir ? reward.defeats : 1;
        bossReward(reward.boss);
        headlessSetPresentHook(nullptr);
        if (!covered.empty()) {
            problems.push_back(std::string("after ") + reward.what + ": a text is typed over " +
                               covered + " while it can still be read");
        }
    }
    setDataPlaces(places);
    clearScreen(0);
}

// A first talk plays every section of a character's conversation with a wait after each, and
// a wait more at the end; nothing can cut it short.
static void checkFirstTalks(const fs::path &file, Lines &problems) {
    for (const Npc &npc : npcTable) {
        int millis = millisAfterSection;
        for (int tag = npc.firstTag; tag < npc.firstTag + npc.lineCount; tag++) {
            TextBuffer text =
                readTextSection(textOf(file).c_str(), ("Tag" + std::to_string(tag)).c_str()).text;
            millis += millisAfterSection +
                      (text ? static_cast<int>(std::strlen(text.get())) * millisPerCharacter : 0);
        }
        if (millis >= longestFirstTalkMillis) {
            problems.push_back(file.filename().string() + ": " + npc.name + "'s first talk (Tag" +
                               std::to_string(npc.firstTag) + " on) takes " + seconds(millis) +
                               "; keep it under " + seconds(longestFirstTalkMillis));
        }
    }
}

// Who speaks each section, as the game decides it (its own lines are the character's colour):
// the first section and the repeat line are the character's own, no other section begins
// like another speaker's line, and a blank follows the name and colon.
static void checkSpeakers(const fs::path &file, Lines &problems) {
    for (const Npc &npc : npcTable) {
        for (int k = 0; k <= npc.lineCount; k++) {
            std::string tag = "Tag" + std::to_string(npc.firstTag + k);
            TextBuffer text = readTextSection(textOf(file).c_str(), tag.c_str()).text;
            if (!text) continue; // named missing by checkSection
            std::string where = file.filename().string() + " " + tag + " (" + npc.name + "): ";
            std::string line = text.get();
            bool own = isSpokenBy(text.get(), npc.name);
            std::string head = line.substr(0, line.find_first_of(" \n"));
            if ((k == 0 || k == npc.lineCount) && !own) {
                problems.push_back(where + "must be " + npc.name + "'s own line (\"" + npc.name +
                                   ": ...\")");
            } else if (!own && !head.empty() && head.back() == ':') {
                problems.push_back(where + "begins like someone's line but is not " + npc.name +
                                   "'s");
            }
            size_t afterName = std::strlen(npc.name) + 1;
            if (own && (line.size() <= afterName || line[afterName] != ' '))
                problems.push_back(where + "a blank should follow \"" + npc.name + ":\"");
        }
    }
}

static void checkTexts(const fs::path &directory, Lines &problems) {
    struct Wanted {
        const char *file;
        std::string tag;
        const TextPlace &place;
    };
    std::vector<Wanted> wanted;
    for (int chunk = 1; chunk <= 4; chunk++)
        wanted.push_back({"Story.txt", "Chunk" + std::to_string(chunk), fullPage});
    for (int line = 0; line <= 4; line++)
        wanted.push_back({"BartenderScripts.txt", "Tag" + std::to_string(line), bartenderArea});
    wanted.push_back({"SkeletonScripts.txt", "TextTag0", fullPage});
    for (int taunt = 1; taunt <= 10; taunt++)
        wanted.push_back({"SkeletonScripts.txt", "TextTag" + std::to_string(taunt), battleMessage});
    // Every conversation with its repeat line.
    for (const Npc &npc : npcTable) {
        for (int tag = npc.firstTag; tag <= npc.firstTag + npc.lineCount; tag++)
            wanted.push_back({"NPCscripts.rtf", "Tag" + std::to_string(tag), dialogueArea});
    }
    std::set<std::string> missing;
    for (const Wanted &section : wanted) {
        fs::path file = directory / section.file;
        if (!fs::exists(file)) {
            if (missing.insert(section.file).second)
                problems.push_back(std::string(section.file) + " is missing");
            continue;
        }
        checkSection(file, section.tag, section.place, problems);
    }
    checkRewardTexts(directory, problems);
    if (fs::exists(directory / "NPCscripts.rtf")) {
        checkFirstTalks(directory / "NPCscripts.rtf", problems);
        checkSpeakers(directory / "NPCscripts.rtf", problems);
    }
}

// --- Pictures ---

static void checkPicture(const fs::path &file, const char *tag, Lines &problems) {
    std::string where = file.filename().string() + " " + tag + ": ";
    if (!fs::exists(file)) {
        problems.push_back(file.filename().string() + " is missing");
        return;
    }
    RawSection raw = readRawSection(file, tag);
    if (!raw.found || !raw.closed) {
        problems.push_back(where +
                           (raw.found ? "no underscore closes the picture" : "the tag is missing"));
        return;
    }
    Picture picture{};
    loadPicture(textOf(file).c_str(), tag, picture);
    int rows = 0, wideRows = 0, oddRows = 0;
    std::string firstWide, firstOdd;
    for (int row = 0; row < pictureRows; row++) {
        const char *text = picture.rows[row];
        size_t width = strnlen(text, pictureColumns);
        if (width > 0) rows = row + 1;
        std::string line = "line " + std::to_string(row + 1);
        if (width > pictureDrawnColumns && wideRows++ == 0)
            firstWide = line + " has " + std::to_string(width);
        for (size_t i = 0; i < width; i++) {
            auto byte = static_cast<unsigned char>(text[i]);
            if (byte != ' ' && (byte < 176 || byte > 178)) {
                if (oddRows++ == 0) firstOdd = line + " holds byte " + std::to_string(byte);
                break;
            }
        }
    }
    if (rows == 0) problems.push_back(where + "the picture is empty");
    if (rows > monsterAreaRows) {
        problems.push_back(where + std::to_string(rows) + " rows; the battle draws only " +
                           std::to_string(monsterAreaRows));
    }
    if (wideRows > 0) {
        problems.push_back(where + std::to_string(wideRows) + " rows wider than " +
                           std::to_string(pictureDrawnColumns) + " characters (" + firstWide + ")");
    }
    if (oddRows > 0) {
        problems.push_back(where + std::to_string(oddRows) + " rows hold more than blanks and " +
                           "the shades 176, 177, 178 (" + firstOdd + ")");
    }
}

// --- Dungeons ---

struct LoadedDungeon {
    const Dungeon *facts = nullptr; // the game's own table: its number, tag, name and boss
    int number = 0;                 // facts->number, as the npcs table counts
    std::string label;              // "MapTag1 (Cave)"
    RoomGrid rooms;
    int32_t width = 0, height = 0, startRow = 0, startCol = 0;
};

// A wall of a room, as the game's doorway table gives it.
using Wall = Doorway;
static constexpr const Doorway (&sides)[4] = doorways;

static bool isOpen(const Room &room, const Wall &side) {
    return room.cells[side.row][side.column] == ' ';
}

static std::string roomName(int column, int row) {
    return "room " + std::to_string(column) + "," + std::to_string(row);
}

static std::string roomName(const LoadedDungeon &dungeon, int index) {
    return roomName(index % dungeon.width, index / dungeon.width);
}

// The room at a grid place, or null off the grid or where the file describes none.
static const Room *roomAt(const LoadedDungeon &dungeon, int column, int row) {
    if (column < 0 || column >= dungeon.width || row < 0 || row >= dungeon.height) return nullptr;
    const Room &room = dungeon.rooms[row * dungeon.width + column];
    return room.state == RoomState::absent ? nullptr : &room;
}

// The locked door a room's feature code puts in one of its walls, or null.
static const DoorKind *doorOf(const Room &room, const Wall **wall) {
    for (const Wall &side : sides) {
        const DoorKind *door = lockedDoorOf(room.featureCode.get(), side.side);
        if (door != nullptr) {
            *wall = &side;
            return door;
        }
    }
    return nullptr;
}

static std::string itemName(int32_t item) {
    return itemCatalogue[item - 1].name;
}

// The rooms that can be walked to from the start. A door code stops the player leaving its
// room through its wall unless its key is held; with held null every door stands open.
static std::vector<bool> reachable(const LoadedDungeon &dungeon, const bool *held) {
    std::vector<bool> reached(static_cast<size_t>(dungeon.width * dungeon.height), false);
    std::vector<int> pending = {dungeon.startRow * dungeon.width + dungeon.startCol};
    reached[pending.front()] = true;
    while (!pending.empty()) {
        int index = pending.back();
        pending.pop_back();
        const Room &room = dungeon.rooms[index];
        for (const Wall &side : sides) {
            int column = index % dungeon.width + side.columnStep;
            int row = index / dungeon.width + side.rowStep;
            if (!isOpen(room, side) || roomAt(dungeon, column, row) == nullptr) continue;
            const DoorKind *door = lockedDoorOf(room.featureCode.get(), side.side);
            if (door != nullptr && held != nullptr && (door->keyItem == 0 || !held[door->keyItem]))
                continue;
            int next = row * dungeon.width + column;
            if (!reached[next]) {
                reached[next] = true;
                pending.push_back(next);
            }
        }
    }
    return reached;
}

// What a pickup text gives, by the game's own rule.
struct PickupEffect {
    int32_t item = 0;   // the item it adds, or 0
    std::string weapon; // the weapon it gives, or empty
    int32_t strength = 0;
};

static PickupEffect pickupEffect(const std::string &text) {
    Pickup pickup = pickupOf(text.c_str());
    PickupEffect effect;
    effect.item = pickup.item;
    if (pickup.weapon != nullptr) {
        effect.weapon = pickup.weapon->name;
        effect.strength = pickup.weapon->strength;
    }
    return effect;
}

static bool loadDungeons(const fs::path &mapFile, std::vector<LoadedDungeon> &dungeons,
                         Lines &problems) {
    bool all = true;
    for (const Dungeon &facts : dungeonTable) {
        LoadedDungeon dungeon;
        dungeon.facts = &facts;
        dungeon.number = facts.number;
        std::string tag = facts.mapTag;
        dungeon.label = tag + " (" + facts.name + ")";
        // The loader leaves out the features of beaten bosses' rooms: none is beaten yet.
        clearDefeatedBosses();
        DungeonMap map = loadDungeon(textOf(mapFile).c_str(), tag.c_str(), facts.mode);
        dungeon.rooms = std::move(map.rooms);
        dungeon.startRow = map.startRoomRow;
        dungeon.startCol = map.startRoomCol;
        dungeon.height = map.height;
        dungeon.width = map.width;
        if (!dungeon.rooms) {
            problems.push_back(dungeon.label + ": the game cannot load it: " + map.problem.reason);
            all = false;
        }
        dungeons.push_back(std::move(dungeon));
    }
    return all;
}

static bool allDigits(const std::string &text) {
    return !text.empty() && text.size() <= 6 &&
           std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

// What the loader passes over in silence: lines it cannot read as rooms, rooms outside the grid
// (left out) and rooms described twice (the later line replaces the earlier).
static void scanRoomLines(const fs::path &mapFile, const LoadedDungeon &dungeon, Lines &problems) {
    FileBytes bytes = readFileBytes(textOf(mapFile).c_str());
    if (!bytes.ok) return;
    DataReader stream = readerOf(bytes.bytes);
    std::string tag = dungeon.facts->mapTag;
    findTagLine(stream, tag.c_str());
    int ch;
    while ((ch = readTextChar(stream)) != EOF && ch != '\n') {
    } // the size line
    std::set<std::pair<int, int>> described;
    for (;;) {
        std::string line;
        while ((ch = readTextChar(stream)) != EOF && ch != '\n')
            line += static_cast<char>(ch);
        if ((line.empty() && ch == EOF) || (!line.empty() && line[0] == '_')) break;
        size_t comma = line.find(','), colon = line.find(':');
        size_t doorsEnd = colon == std::string::npos ? colon : line.find(':', colon + 1);
        if (comma == std::string::npos || colon == std::string::npos || colon < comma ||
            !allDigits(line.substr(0, comma)) ||
            !allDigits(line.substr(comma + 1, colon - comma - 1)) ||
            doorsEnd == std::string::npos || doorsEnd + 1 >= line.size()) {
            problems.push_back(dungeon.label + ": \"" + line +
                               "\" is not a room line (column,row:doors:level...)");
            continue;
        }
        int column = std::stoi(line.substr(0, comma));
        int row = std::stoi(line.substr(comma + 1, colon - comma - 1));
        if (column >= dungeon.width || row >= dungeon.height) {
            problems.push_back(dungeon.label + ": " + roomName(column, row) +
                               " lies outside the grid; the game leaves it out");
        } else if (!described.insert({column, row}).second) {
            problems.push_back(dungeon.label + ": " + roomName(column, row) +
                               " is described twice; the later line replaces the earlier");
        }
    }
}

// The grid's shape: every NPC's room, one start, openings that meet, no room cut off.
static void checkStructure(const LoadedDungeon &dungeon, Lines &problems, Lines &warnings) {
    const std::string &label = dungeon.label;
    int neededWidth = 0, neededHeight = 0;
    for (const Npc &npc : npcTable) {
        if (npc.dungeon != dungeon.number) continue;
        neededWidth = std::max(neededWidth, npc.roomCol + 1);
        neededHeight = std::max(neededHeight, npc.roomRow + 1);
        std::string who = roomName(npc.roomCol, npc.roomRow) + " of NPC " + npc.name + " (Tag" +
                          std::to_string(npc.firstTag) + ")";
        const Room *room = roomAt(dungeon, npc.roomCol, npc.roomRow);
        if (room == nullptr) {
            problems.push_back(label + ": " + who + " is missing");
        } else if (!featureIs(*room, "NPC")) {
            problems.push_back(label + ": " + who + " lacks the feature NPC");
        }
    }
    if (dungeon.width < neededWidth || dungeon.height < neededHeight) {
        problems.push_back(label + ": the grid is " + std::to_string(dungeon.width) + " by " +
                           std::to_string(dungeon.height) + "; the NPCs need " +
                           std::to_string(neededWidth) + " by " + std::to_string(neededHeight));
    }
    std::string starts;
    int startCount = 0, bossRooms = 0;
    for (int index = 0; index < dungeon.width * dungeon.height; index++) {
        const Room &room = dungeon.rooms[index];
        if (room.state == RoomState::absent) continue;
        std::string here = label + ": " + roomName(dungeon, index);
        const char *feature = room.featureCode.get();
        const Wall *wall = nullptr;
        const DoorKind *door = doorOf(room, &wall);
        if (featureIs(room, "Start")) {
            startCount++;
            starts += " " + roomName(dungeon, index);
        } else if (featureIs(room, "Boss")) {
            bossRooms++;
        } else if (door != nullptr && !isOpen(room, *wall)) {
            problems.push_back(here + ": its door " + feature + " stands on the " + wall->letter +
                               " wall, which has no opening");
        } else if (feature != nullptr && door == nullptr && !featureIs(room, "NPC")) {
            warnings.push_back(here + ": the feature \"" + feature +
                               "\" means nothing to the game");
        }
        auto standsHere = [&dungeon, index](const Npc &npc) {
            return npc.dungeon == dungeon.number && npc.roomCol == index % dungeon.width &&
                   npc.roomRow == index / dungeon.width;
        };
        if (featureIs(room, "NPC") &&
            std::none_of(std::begin(npcTable), std::end(npcTable), standsHere))
            warnings.push_back(here + ": marked NPC, but no character of the game stands there");
        if (room.pickupText != nullptr) {
            PickupEffect effect = pickupEffect(room.pickupText.get());
            if (effect.item == 0 && effect.strength == 0) {
                warnings.push_back(here + ": the pickup \"" + room.pickupText.get() +
                                   "\" is not one the game knows; it gives nothing");
            }
        }
        for (const Wall &side : sides) {
            if (!isOpen(room, side)) continue;
            int column = index % dungeon.width + side.columnStep;
            int row = index / dungeon.width + side.rowStep;
            std::string opening = here + ": its " + side.letter + " opening ";
            const Room *next = roomAt(dungeon, column, row);
            if (column < 0 || column >= dungeon.width || row < 0 || row >= dungeon.height) {
                problems.push_back(opening + "is on the outer edge of the grid");
            } else if (next == nullptr) {
                problems.push_back(opening + "leads into " + roomName(column, row) +
                                   ", which does not exist");
            } else if (!isOpen(*next, doorwayOf(side.facing))) {
                problems.push_back(opening + "faces " + roomName(column, row) + ", which has no " +
                                   doorwayOf(side.facing).letter + " opening");
            }
        }
    }
    if (startCount != 1) {
        problems.push_back(label + ": " + std::to_string(startCount) +
                           " Start rooms, there must be exactly one:" + starts);
    }
    if (dungeon.facts->boss != 0 && bossRooms < 2) {
        problems.push_back(label + ": " + std::to_string(bossRooms) +
                           " Boss rooms; its boss is fought twice, so it needs two");
    }
    if (dungeon.facts->boss == 0 && bossRooms > 0)
        warnings.push_back(label + ": its Boss rooms start no fight; the boss just stands there");
    std::vector<bool> reached = reachable(dungeon, nullptr);
    std::string cutOff;
    for (int index = 0; index < dungeon.width * dungeon.height; index++) {
        if (dungeon.rooms[index].state != RoomState::absent && !reached[index])
            cutOff += " " + std::to_string(index % dungeon.width) + "," +
                      std::to_string(index / dungeon.width);
    }
    if (!cutOff.empty())
        problems.push_back(label + ": rooms out of reach from the start even with every door " +
                           "open:" + cutOff);
}

// --- Playing the dungeons through ---

struct Progress {
    bool held[itemKinds + 1] = {};         // by item number
    std::set<std::string> weapons;         // every weapon picked up
    std::string weapon = startWeapon.name; // the best of them
    int32_t strength = startWeapon.strength;
    int wins[2] = {0, 0};                        // Molloch's and Agamir's defeats
    std::set<std::pair<int, int>> taken, beaten; // (dungeon number, room index)
    std::string fights;                          // the weapon held at each boss fight
    bool ended = false;
};

// Takes every pickup not taken yet in the rooms the held keys reach; true if there was one.
static bool collectPickups(const std::vector<LoadedDungeon> &dungeons, Progress &progress,
                           Lines &route) {
    bool any = false;
    for (const LoadedDungeon &dungeon : dungeons) {
        std::vector<bool> reached = reachable(dungeon, progress.held);
        std::string found;
        for (int index = 0; index < dungeon.width * dungeon.height; index++) {
            const Room &room = dungeon.rooms[index];
            if (!reached[index] || room.pickupText == nullptr ||
                !progress.taken.insert({dungeon.number, index}).second)
                continue;
            any = true;
            PickupEffect effect = pickupEffect(room.pickupText.get());
            if (effect.item != 0) progress.held[effect.item] = true;
            if (effect.strength > 0) {
                progress.weapons.insert(effect.weapon);
                if (effect.strength > progress.strength) {
                    progress.weapon = effect.weapon;
                    progress.strength = effect.strength;
                }
            }
            if (effect.item > itemFishSandwich || effect.strength > 0) {
                found += std::string(found.empty() ? "" : ", ") + room.pickupText.get() + " (" +
                         roomName(dungeon, index) + ")";
            }
        }
        if (!found.empty()) route.push_back(dungeon.label + ": take " + found);
    }
    return any;
}

// Fights the next boss worth a fight: Molloch while he has keys to give, Agamir once, and
// Agamir a second time (the ending) only when nothing else is left.
static bool fightNextBoss(const std::vector<LoadedDungeon> &dungeons, Progress &progress,
                          Lines &route) {
    for (bool ending : {false, true}) {
        for (const LoadedDungeon &dungeon : dungeons) {
            int boss = dungeon.facts->boss;
            if (boss != bossMolloch && boss != bossAgamir) continue;
            int wins = progress.wins[boss - 1];
            bool worth = ending ? boss == 2 && wins == 1 : wins < (boss == 1 ? 2 : 1);
            if (!worth) continue;
            std::vector<bool> reached = reachable(dungeon, progress.held);
            for (int index = 0; index < dungeon.width * dungeon.height; index++) {
                if (!reached[index] || !featureIs(dungeon.rooms[index], "Boss") ||
                    !progress.beaten.insert({dungeon.number, index}).second)
                    continue;
                wins = ++progress.wins[boss - 1];
                std::string gain = "nothing";
                for (const BossReward &reward : bossRewardTable) {
                    if (reward.boss != boss || reward.win != wins) continue;
                    progress.ended = reward.item == 0;
                    gain = progress.ended ? "THE ENDING" : itemName(reward.item);
                    if (reward.item != 0) progress.held[reward.item] = true;
                    if (reward.alsoItem != 0) {
                        progress.held[reward.alsoItem] = true;
                        gain += " and " + itemName(reward.alsoItem);
                    }
                }
                std::string weapon = progress.weapon + " " + std::to_string(progress.strength);
                progress.fights += std::string(progress.fights.empty() ? "" : ", ") +
                                   bossTable[boss - 1].name + " " + weapon;
                route.push_back(dungeon.label + ": " + roomName(dungeon, index) + ": beat " +
                                bossTable[boss - 1].name + " (fight " + std::to_string(wins) +
                                ") with the " + weapon + ": " + gain);
                return true;
            }
        }
    }
    return false;
}

// Where the game hands out what a pickup effect matches: the rooms that hold it.
template <typename Match>
static std::string placesOf(const std::vector<LoadedDungeon> &dungeons, Match match) {
    std::string places;
    for (const LoadedDungeon &dungeon : dungeons) {
        for (int index = 0; index < dungeon.width * dungeon.height; index++) {
            const Room &room = dungeon.rooms[index];
            if (room.pickupText != nullptr && match(pickupEffect(room.pickupText.get())))
                places +=
                    (places.empty() ? "" : ", ") + dungeon.label + " " + roomName(dungeon, index);
        }
    }
    return places;
}

// Why the player never gets something that rooms or a boss should give.
static std::string whyNever(const std::string &places) {
    return places.empty() ? "no room holds it" : "it lies only in " + places + ", never reached";
}

static void playThrough(const std::vector<LoadedDungeon> &dungeons, DataReport &report) {
    Progress progress;
    while (collectPickups(dungeons, progress, report.route) ||
           fightNextBoss(dungeons, progress, report.route)) {
    }
    report.route.push_back("weapon held at each boss fight: " +
                           (progress.fights.empty() ? "none" : progress.fights));
    Lines &problems = report.problems;
    if (!progress.ended) {
        problems.push_back("the ending cannot be reached: Molloch is beaten " +
                           std::to_string(progress.wins[0]) + " times and Agamir " +
                           std::to_string(progress.wins[1]) + " (the ending is his second)");
    }
    // A door whose key comes only from behind it never opens: sealing the door would change
    // nothing, since a key is always held before its door can be passed.
    for (const LoadedDungeon &dungeon : dungeons) {
        for (int index = 0; index < dungeon.width * dungeon.height; index++) {
            const Room &room = dungeon.rooms[index];
            const Wall *wall = nullptr;
            const DoorKind *door = doorOf(room, &wall);
            if (door == nullptr || door->keyItem == 0 || progress.held[door->keyItem]) continue;
            std::string why = whyNever(placesOf(dungeons, [door](const PickupEffect &effect) {
                return effect.item == door->keyItem;
            }));
            for (const BossReward &reward : bossRewardTable) {
                if (reward.item == door->keyItem)
                    why = "it is " + std::string(bossTable[reward.boss - 1].name) +
                          "'s reward for " + "defeat " + std::to_string(reward.win) +
                          ", which never comes";
            }
            problems.push_back(dungeon.label + ": the " + room.featureCode.get() + " door of " +
                               roomName(dungeon, index) + " never opens: the " +
                               itemName(door->keyItem) + " is never obtained (" + why + ")");
        }
    }
    // A boss's reward lying in a room lets the player skip the fight that should give it.
    for (const BossReward &reward : bossRewardTable) {
        std::string places = placesOf(dungeons, [&reward](const PickupEffect &effect) {
            return reward.item != 0 && effect.item == reward.item;
        });
        if (!places.empty())
            report.warnings.push_back("the " + itemName(reward.item) + " lies in " + places +
                                      ", yet it is " + bossTable[reward.boss - 1].name +
                                      "'s reward for defeat " + std::to_string(reward.win) +
                                      ": found first, it lets the player skip that fight");
    }
    for (const LoadedDungeon &dungeon : dungeons) {
        std::vector<bool> reached = reachable(dungeon, progress.held);
        for (const Npc &npc : npcTable) {
            const Room *room = roomAt(dungeon, npc.roomCol, npc.roomRow);
            if (npc.dungeon == dungeon.number && room != nullptr &&
                !reached[npc.roomRow * dungeon.width + npc.roomCol])
                problems.push_back(dungeon.label + ": " + roomName(npc.roomCol, npc.roomRow) +
                                   " of NPC " + npc.name + " is never reached in play");
        }
    }
    for (const Weapon &known : weaponTable) {
        const char *weapon = known.name;
        if (progress.weapons.count(weapon) != 0) continue;
        problems.push_back(std::string("the ") + weapon + " is never obtained (" +
                           whyNever(placesOf(dungeons,
                                             [weapon](const PickupEffect &effect) {
                                                 return effect.weapon == weapon;
                                             })) +
                           ")");
    }
    for (int32_t item :
         {itemFireSpell, itemWindSpell, itemQuakeSpell, itemLightningSpell, itemFlashlight}) {
        if (progress.held[item]) continue;
        problems.push_back(
            "the " + itemName(item) + " is never obtained (" +
            whyNever(placesOf(dungeons,
                              [item](const PickupEffect &effect) { return effect.item == item; })) +
            ")");
    }
}

// --- The whole check ---

DataReport examineGameData(const std::string &dataDirectory) {
    // The play-through borrows the running game's record; it is given back whole.
    const GameRun borrowed = game;

    DataReport report;
    fs::path directory = pathOf(dataDirectory);
    checkTexts(directory, report.problems);
    checkPicture(directory / "dragon2.txt", "dragon", report.problems);
    checkPicture(directory / "Wizard.txt", "wizard", report.problems);
    fs::path mapFile = directory / "map.txt";
    if (!fs::exists(mapFile)) {
        report.problems.push_back("map.txt is missing");
    } else {
        std::vector<LoadedDungeon> dungeons;
        bool loaded = loadDungeons(mapFile, dungeons, report.problems);
        for (const LoadedDungeon &dungeon : dungeons) {
            if (!dungeon.rooms) continue;
            scanRoomLines(mapFile, dungeon, report.problems);
            checkStructure(dungeon, report.problems, report.warnings);
        }
        if (loaded) playThrough(dungeons, report);
    }

    game = borrowed;
    clearScreen(0);
    return report;
}

std::vector<std::string> checkGameData(const std::string &dataDirectory) {
    return examineGameData(dataDirectory).problems;
}

// --- Facts for the data generators ---

static std::string quoted(const std::string &text) {
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"' || ch == '\\') out += '\\';
        out += ch;
    }
    return out + "\"";
}

// A JSON object on one line, built field by field.
class JsonObject {
  public:
    JsonObject &add(const char *key, const std::string &text) { return field(key, quoted(text)); }
    JsonObject &add(const char *key, char letter) { return add(key, std::string(1, letter)); }
    JsonObject &add(const char *key, int32_t number) { return field(key, std::to_string(number)); }
    const std::string &text() {
        fields += "}";
        return fields;
    }

  private:
    JsonObject &field(const char *key, const std::string &value) {
        fields += (fields.size() > 1 ? ", " : "") + quoted(key) + ": " + value;
        return *this;
    }
    std::string fields = "{";
};

// A named list of objects, one a line.
static std::string jsonList(const char *name, const Lines &objects) {
    std::string out = "  " + quoted(name) + ": [";
    for (size_t index = 0; index < objects.size(); index++)
        out += (index == 0 ? "\n    " : ",\n    ") + objects[index];
    return out + "\n  ]";
}

std::string gameFacts() {
    Lines characters, doorwayList, doors, pickups, textAreas, dungeons;
    for (const Dungeon &dungeon : dungeonTable) {
        dungeons.push_back(
            JsonObject()
                .add("mode", dungeon.mode)
                .add("number", dungeon.number)
                .add("mapTag", dungeon.mapTag)
                .add("name", dungeon.name)
                .add("boss", dungeon.boss == 0 ? std::string() : bossTable[dungeon.boss - 1].name)
                .text());
    }
    for (const Npc &npc : npcTable) {
        characters.push_back(JsonObject()
                                 .add("name", npc.name)
                                 .add("dungeon", npc.dungeon)
                                 .add("column", npc.roomCol)
                                 .add("row", npc.roomRow)
                                 .add("firstTag", npc.firstTag)
                                 .add("lineCount", npc.lineCount)
                                 .text());
    }
    // The door codes are those the game's own door lookup accepts.
    std::map<int32_t, char> doorOfKey;
    for (const Doorway &doorway : doorways) {
        doorwayList.push_back(JsonObject()
                                  .add("letter", doorway.letter)
                                  .add("facing", doorwayOf(doorway.facing).letter)
                                  .add("columnStep", doorway.columnStep)
                                  .add("rowStep", doorway.rowStep)
                                  .text());
        for (char colour = 'A'; colour <= 'Z'; colour++) {
            const std::string code = std::string("LD") + doorway.letter + colour;
            const DoorKind *door = lockedDoorOf(code.c_str(), doorway.side);
            if (door == nullptr) continue;
            doors.push_back(JsonObject()
                                .add("code", code)
                                .add("side", doorway.letter)
                                .add("colour", colour)
                                .text());
            if (door->keyItem != 0) doorOfKey[door->keyItem] = colour;
        }
    }
    for (const ItemPickup &pickup : itemPickups) {
        JsonObject object;
        object.add("text", pickup.text);
        switch (pickup.gain) {
        case ItemPickup::Gain::count:
            object.add("kind", "food");
            break;
        case ItemPickup::Gain::flag:
            object.add("kind", "key");
            if (doorOfKey.count(pickup.item) != 0) object.add("door", doorOfKey[pickup.item]);
            break;
        case ItemPickup::Gain::charges:
            object.add("kind", "scroll");
            break;
        }
        pickups.push_back(object.text());
    }
    const std::string flashlight = itemName(itemFlashlight);
    if (pickupEffect(flashlight).item == itemFlashlight)
        pickups.push_back(JsonObject().add("text", flashlight).add("kind", "flashlight").text());
    for (const Weapon &weapon : weaponTable) {
        pickups.push_back(JsonObject()
                              .add("text", weapon.name)
                              .add("kind", "weapon")
                              .add("strength", weapon.strength)
                              .text());
    }
    // Where texts are typed, as the checks above measure them.
    const std::pair<const char *, const TextPlace *> places[] = {{"page", &fullPage},
                                                                 {"bartender", &bartenderArea},
                                                                 {"dialogue", &dialogueArea},
                                                                 {"battleMessage", &battleMessage}};
    for (const auto &[name, place] : places) {
        textAreas.push_back(JsonObject()
                                .add("name", name)
                                .add("column", place->x)
                                .add("row", place->y)
                                .add("width", place->width)
                                .add("rows", place->rows)
                                .text());
    }
    // The shape of the opponents' pictures and of the battle's side that shows them.
    const std::string pictures = JsonObject()
                                     .add("rows", pictureRows)
                                     .add("columns", pictureColumns - 1)
                                     .add("drawnRows", monsterAreaRows)
                                     .add("drawnColumns", pictureDrawnColumns)
                                     .add("areaColumns", monsterAreaColumns)
                                     .text();
    return "{\n" + jsonList("dungeons", dungeons) + ",\n" + jsonList("npcs", characters) + ",\n" +
           jsonList("doorways", doorwayList) + ",\n" + jsonList("doors", doors) + ",\n" +
           jsonList("pickups", pickups) + ",\n" + jsonList("textAreas", textAreas) + ",\n" +
           "  \"pictures\": " + pictures + "\n}\n";
}
