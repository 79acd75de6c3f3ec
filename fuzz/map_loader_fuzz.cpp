// Fuzz target: arbitrary bytes as the dungeon map file, loaded for each dungeon.
#include <cstring>
#include <iterator>
#include <string>

#include "dungeon/dungeon.h"
#include "fuzz_support.h"
#include "game/game.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzSetUp();
    // Beaten bosses in one room of the cave and one of the sewer, so that both the kept and
    // the dropped "#" of a boss room are read.
    recordBossDefeat(modeCave, 7, 12);
    recordBossDefeat(modeSewer, 11, 1);
    return 0;
}

// What the dungeon screen relies on in a grid the loader hands back.
static void checkGrid(const RoomGrid &rooms, int32_t startRow, int32_t startCol, int32_t height,
                      int32_t width) {
    fuzzCheck(width > 0 && height > 0, "a grid without rooms");
    fuzzCheck(startRow >= 0 && startRow < height && startCol >= 0 && startCol < width,
              "a start room outside the grid");
    const Room &start = rooms[startRow * width + startCol];
    // A later line for the same room may replace the "Start" one; the room stays all the same.
    fuzzCheck(start.state != RoomState::absent, "a start room that is not there");
    for (int32_t i = 0; i < width * height; i++) {
        const Room &room = rooms[i];
        if (room.state == RoomState::absent) continue;
        // The encounter roll divides by the level plus one: the level must be a character.
        fuzzCheck(room.encounterLevel >= 0 && room.encounterLevel <= 255,
                  "a room level that is no character");
        for (const auto &row : room.cells)
            fuzzCheck(row[roomColumns] == '\0', "a room row without its terminator");
        for (const auto *text : {room.pickupText.get(), room.featureCode.get()}) {
            if (text != nullptr)
                fuzzCheck(std::strlen(text) < roomTextCapacity, "a room text too long");
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The loader's reading of the file is the bounded reader every file goes through; the
    // parsing is what meets the bytes, so it gets them without a file in between. One dungeon
    // an input, chosen by its length: the reading is the same for each but for the tag and the
    // beaten bosses, and a third of the work per input is three times the inputs tried.
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const Dungeon &dungeon = dungeonTable[size % std::size(dungeonTable)];
    DungeonMap map = parseDungeon(bytes, dungeon.mapTag, dungeon.mode);
    if (map.rooms) checkGrid(map.rooms, map.startRoomRow, map.startRoomCol, map.height, map.width);
    return 0;
}
