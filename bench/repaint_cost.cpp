// Counts what repainting the whole 80x25 screen at every present would write to a 256-colour
// UTF-8 terminal, for the title intro and for the dungeon room screen: the yardstick that
// tools/benchmarks.sh sets beside the bytes the real terminal backend writes.
// Usage: brinewort_repaint_cost   (in a directory holding the game's map.txt)
#include <cstdint>
#include <cstdio>
#include <string>

#include "console/console.h"
#include "dungeon/dungeon.h"
#include "frontend/frontend.h"
#include "game/game.h"
#include "platform/headless.h"
#include "platform/termmap.h"
#include "program/program.h"

namespace {

size_t utf8Length(wchar_t glyph) {
    if (glyph < 0x80) return 1;
    if (glyph < 0x800) return 2;
    return 3;
}

// Cursor home, then every cell in order, with an SGR sequence only where the look changes
// from the cell before: a lean full repaint, so the comparison does not flatter the backend.
size_t fullRepaintBytes() {
    constexpr int colours = 256;
    size_t bytes = std::string("\033[H").size();
    std::string previous;
    for (const auto &row : console.screenCells) {
        for (const Cell &cell : row) {
            CellLook look = lookOfCell(cell, ColourDepth::sixteen, colours, true);
            std::string sequence = lookSequence(look, colours);
            if (sequence != previous) bytes += sequence.size();
            previous = sequence;
            bytes += utf8Length(look.glyph);
        }
    }
    return bytes;
}

} // namespace

int main() {
    usePlatform(&headlessPlatform);
    headlessReset();
    startUp();

    // The intro up to the main menu, as the real program presents it.
    int presents = 0;
    size_t introBytes = 0;
    headlessSetPresentHook([&] {
        presents++;
        introBytes += fullRepaintBytes();
    });
    while (titleScreen.introRunning)
        runTitleScreen();
    drawMainMenu();
    presentScreen();
    headlessSetPresentHook(nullptr);
    std::printf("intro_presents %d\nintro_full_repaint_bytes %zu\n", presents, introBytes);

    // The first room of the Cave, drawn as entering it from the world map draws it.
    clearScreen(0);
    const Dungeon &cave = dungeonTable[0];
    DungeonMap map = loadDungeon("map.txt", cave.mapTag, cave.mode);
    if (map.rooms == nullptr) {
        std::fprintf(stderr, "brinewort_repaint_cost: cannot load %s from map.txt\n", cave.mapTag);
        return 1;
    }
    SeenCells seenCells = {};
    bool roomChanged = true;
    readyRoom(map.rooms[map.startRoomRow * map.width + map.startRoomCol]);
    drawRoomScreen(map.rooms.get(), map.startRoomRow, map.startRoomCol, map.width, seenCells,
                   roomChanged);
    std::printf("dungeon_full_repaint_bytes %zu\n", fullRepaintBytes());
    return 0;
}
