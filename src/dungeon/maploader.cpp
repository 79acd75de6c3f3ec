// The dungeon map file: a tagged section per dungeon, one line per room, read character by
// character; and one visit to a dungeon, from loading its rooms to leaving them.
#include <array>
#include <cstdio>
#include <cstring>

#include "console/console.h"
#include "dungeon/dungeon.h"
#include "resources/resources.h"

// The picture of a room without doors, drawn once: every room line starts from a copy.
static const auto freshCells = [] {
    std::array<std::array<char, roomColumns + 1>, roomRows> cells{};
    for (int row = 0; row < roomRows; row++) {
        bool wallRow = row == 0 || row == roomRows - 1;
        for (int column = 0; column < roomColumns; column++) {
            bool wallColumn = column == 0 || column == roomColumns - 1;
            char cell = ' ';
            if (wallRow && wallColumn) {
                cell = row == 0 ? (column == 0 ? glyphDoubleTopLeft : glyphDoubleTopRight)
                                : (column == 0 ? glyphDoubleBottomLeft : glyphDoubleBottomRight);
            } else if (wallRow) {
                cell = glyphDoubleHorizontal;
            } else if (wallColumn) {
                cell = glyphDoubleVertical;
            }
            cells[row][column] = cell;
        }
        cells[row][roomColumns] = '\0';
    }
    return cells;
}();
static_assert(sizeof freshCells == sizeof Room::cells);

void buildFreshRoom(Room &room) {
    std::memcpy(room.cells, freshCells.data(), sizeof room.cells);
    room.state = RoomState::unseen;
}

void openDoorway(Room &room, Side side) {
    const Doorway &doorway = doorwayOf(side);
    room.cells[doorway.row][doorway.column] = ' ';
}

bool featureIs(const Room &room, const char *code) {
    return room.featureCode != nullptr && std::strcmp(room.featureCode.get(), code) == 0;
}

// Whether a character is one of a few delimiters (written out: the loader asks for every
// character of the file).
static bool isDelimiter(int ch, const char *delimiters) {
    for (const char *d = delimiters; *d != '\0'; d++) {
        if (ch == static_cast<unsigned char>(*d)) return true;
    }
    return false;
}

// A number built digit by digit from ch up to one of the delimiters (or the end of the
// file), as the file has always been read: every character counts as a digit. Sets
// *tooLarge when the value leaves any sensible range. Returns the delimiter.
static int buildNumber(DataReader &file, int ch, const char *delimiters, int64_t *value,
                       bool *tooLarge) {
    *value = 0;
    for (;; ch = readSectionChar(file)) {
        if (ch == EOF || isDelimiter(ch, delimiters)) return ch;
        *value = *value * 10 + (ch - '0');
        if (*value > 1000000 || *value < -1000000) {
            *tooLarge = true;
            *value = 0;
        }
    }
}

// The text after "$" or "#", up to one of its delimiters; at most 19 characters are kept.
static std::unique_ptr<char[]> readRoomText(DataReader &file, const char *delimiters, int *end) {
    std::unique_ptr<char[]> text(new char[roomTextCapacity]());
    int length = 0;
    for (;;) {
        int ch = readSectionChar(file);
        if (ch == EOF || isDelimiter(ch, delimiters)) {
            *end = ch;
            return text;
        }
        if (length < roomTextCapacity - 1) text[length++] = static_cast<char>(ch);
    }
}

// Reads the rest of a room line after its column and row: the door list, the level
// character, then "$" and "#" texts up to the line's end. Sets *isStart for "Start". The
// features of the rooms whose boss dungeonMode's dungeon has seen beaten are left out.
static void readRoomLine(DataReader &file, Room *room, int32_t dungeonMode, int64_t column,
                         int64_t row, bool *isStart) {
    *isStart = false;
    buildFreshRoom(*room);
    for (int ch = readSectionChar(file); ch != EOF && ch != ':' && ch != '_';
         ch = readSectionChar(file)) {
        // Other characters in the door list open nothing.
        if (const Doorway *doorway = doorwayOfLetter(static_cast<char>(ch)))
            openDoorway(*room, doorway->side);
    }
    // Any one character is the level, read raw: a byte of 255 is level 255, never the end
    // mark, since the encounter roll divides by the level plus one. (At the real end of the
    // file the section is cut short and no grid is returned.)
    room->encounterLevel = readTextChar(file);
    room->pickupText = nullptr;
    room->featureCode = nullptr;
    for (;;) {
        int ch = readSectionChar(file);
        if (ch == EOF || ch == '\n' || ch == '_') return;
        // A second "$" or "#", or the "#" of a beaten boss's room, is ignored; the text behind
        // it is then read on as ordinary characters of the line.
        int end = 0;
        if (ch == '$' && room->pickupText == nullptr) {
            room->pickupText = readRoomText(file, ":\n", &end);
        } else if (ch == '#' && room->featureCode == nullptr &&
                   isBossAlive(dungeonMode, static_cast<int32_t>(row),
                               static_cast<int32_t>(column))) {
            room->featureCode = readRoomText(file, ":\n", &end);
            *isStart = std::strcmp(room->featureCode.get(), "Start") == 0;
        }
        if (end == '\n') return; // a line feed that ended the text ends the line too
    }
}

DungeonMap loadDungeon(const char *fileName, const char *tag, int32_t dungeonMode) {
    std::string bytes;
    LoadProblem problem = loadDataFile(fileName, bytes);
    if (!problem.ok()) {
        DungeonMap map;
        map.problem = problem;
        return map;
    }
    return parseDungeon(bytes, tag, dungeonMode);
}

DungeonMap parseDungeon(const std::string &bytes, const char *tag, int32_t dungeonMode) {
    DungeonMap map;
    DataReader file = readerOf(bytes);
    RoomGrid rooms;
    bool complete = false;
    bool haveStart = false;
    bool found = findTagLine(file, tag);
    bool sensible = false;
    if (found) {
        int64_t gridWidth, gridHeight;
        bool tooLarge = false;
        buildNumber(file, readSectionChar(file), ",_\n", &gridWidth, &tooLarge);
        buildNumber(file, readSectionChar(file), ",_\n", &gridHeight, &tooLarge);
        map.width = static_cast<int32_t>(gridWidth);
        map.height = static_cast<int32_t>(gridHeight);
        sensible = !tooLarge && gridWidth > 0 && gridHeight > 0 && gridWidth <= maxGridSide &&
                   gridHeight <= maxGridSide;
        // Only an underscore ends a section: without one the rooms need not be read at all.
        bool closable =
            std::memchr(file.at, '_', static_cast<size_t>(file.end - file.at)) != nullptr;
        int ch = sensible && closable ? readSectionChar(file) : EOF;
        while (ch != EOF && ch != '_') {
            int64_t column, row;
            bool outside = false;
            buildNumber(file, ch, ",_", &column, &outside);
            buildNumber(file, readSectionChar(file), ":_", &row, &outside);
            // Rooms outside the grid are read like any other and then left out.
            outside = outside || column < 0 || column >= gridWidth || row < 0 || row >= gridHeight;
            Room outsider{};
            // The grid is made at its first room: a section of none needs no memory.
            if (!outside && rooms == nullptr)
                rooms.reset(new Room[static_cast<size_t>(gridWidth * gridHeight)]());
            Room *room =
                outside ? &outsider : &rooms[static_cast<size_t>(row * gridWidth + column)];
            bool isStart;
            readRoomLine(file, room, dungeonMode, column, row, &isStart);
            if (isStart && !outside) {
                // When several rooms say "Start", the last one wins.
                map.startRoomRow = static_cast<int32_t>(row);
                map.startRoomCol = static_cast<int32_t>(column);
                haveStart = true;
            }
            ch = readSectionChar(file);
        }
        complete = ch == '_';
    }
    // A section cut short, or without a start room, cannot be played.
    if (!complete || !haveStart) {
        const char *what = !found      ? "no section"
                           : !sensible ? "no sensible grid size in"
                           : !complete ? "no closing _ in"
                                       : "no start room in";
        map.problem.failure = LoadFailure::sectionUnusable;
        std::snprintf(map.problem.reason, sizeof map.problem.reason, "%s %s", what, tag);
        return map;
    }
    map.rooms = std::move(rooms);
    return map;
}
