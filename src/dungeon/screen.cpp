// The dungeon screen: the room on the left (dark around the player in Hard mode), the keys
// below it, hit and skill points on the right; and the flashlight clock.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "console/console.h"
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "hud/hud.h"
#include "items/items.h"

static const char *const keyLegend[] = {
    "Keys:",         "wasd - Movement",    "m - Overhead Map", "p - Exit Dungeon",
    "i - Inventory", "t - Talk to an NPC",
};

void drawPlayer() {
    printCharAt(glyphMaleSign, colourWhite,
                static_cast<uint16_t>(roomScreenColumn + game.player.playerRoomX),
                static_cast<uint16_t>(roomScreenRow + game.player.playerRoomY));
}

void resetSeenCells(const Room &room, SeenCells &seenCells) {
    std::memcpy(seenCells, room.cells, sizeof seenCells);
    for (int row = 1; row <= 12; row++) {
        for (int column = 1; column <= 20; column++)
            seenCells[row][column] = ' ';
    }
}

// Puts a glyph on a random empty cell of the floor (if the room has one left).
static void placeOnFloor(Room &room, char glyph) {
    int row, column;
    if (randomEmptyCell(room, row, column)) room.cells[row][column] = glyph;
}

// Rubble, the item, the character or the boss: once per visit, when the room is first shown.
static void furnishRoom(Room &room) {
    scatterRubble(room);
    room.state = RoomState::shown;
    if (room.pickupText != nullptr) placeOnFloor(room, cellPickup);
    if (featureIs(room, "NPC")) {
        placeOnFloor(room, cellNpc);
    } else if (featureIs(room, "Boss")) {
        placeOnFloor(room, cellBoss);
    }
}

// Hard mode: what the player has come near stays seen until the room is left.
static void revealAroundPlayer(const Room &room, SeenCells &seenCells) {
    int radius = itemCount(itemFlashlight) != 0 ? 4 : 2;
    int top = std::max(1, game.player.playerRoomY - radius);
    int bottom = std::min(12, game.player.playerRoomY + radius);
    int left = std::max(1, game.player.playerRoomX - radius);
    int right = std::min(20, game.player.playerRoomX + radius);
    for (int row = top; row <= bottom; row++) {
        for (int column = left; column <= right; column++) {
            seenCells[row][column] = room.cells[row][column];
        }
    }
}

void readyRoom(Room &room) {
    if (room.state == RoomState::unseen) furnishRoom(room);
    if (game.player.playerRoomX == -1) {
        int row, column;
        if (randomEmptyCell(room, row, column)) {
            game.player.playerRoomY = row;
            game.player.playerRoomX = column;
        }
    }
}

void drawRoomScreen(const Room *rooms, int32_t roomRow, int32_t roomCol, int32_t width,
                    SeenCells &seenCells, bool &roomChanged) {
    const Room &room = rooms[roomRow * width + roomCol];
    drawDividers();
    drawPlayerStats();

    const char(*picture)[roomColumns + 1] = room.cells;
    if (game.hardMode) {
        if (roomChanged) {
            resetSeenCells(room, seenCells);
            roomChanged = false;
        }
        revealAroundPlayer(room, seenCells);
        picture = seenCells;
    }
    for (int row = 0; row < roomRows; row++) {
        printAt(picture[row], colourBrown, roomScreenColumn,
                static_cast<uint16_t>(roomScreenRow + row));
    }

    // Items, characters and bosses show even where the room is still dark.
    for (int row = 0; row < roomRows; row++) {
        for (int column = 0; column < roomColumns; column++) {
            char cell = room.cells[row][column];
            if (cell != cellPickup && cell != cellNpc && cell != cellBoss) continue;
            printCharAt(cell, cell == cellBoss ? 12 : 15,
                        static_cast<uint16_t>(roomScreenColumn + column),
                        static_cast<uint16_t>(roomScreenRow + row));
        }
    }
    if (room.featureCode != nullptr) drawLockedDoor(room.featureCode.get());
    for (int line = 0; line < 6; line++) {
        printAt(keyLegend[line], colourWhite, 8, static_cast<uint16_t>(19 + line));
    }
    drawPlayer();
}

bool intervalElapsed(int32_t limitMillis) {
    int32_t now = timeOfDayMillis();
    int32_t elapsed = now - flashlightClock.lastMillis;
    if (elapsed < 0) elapsed += 1000;
    flashlightClock.accumMillis += elapsed;
    flashlightClock.lastMillis = now;
    if (flashlightClock.accumMillis > limitMillis) {
        flashlightClock.accumMillis = 0;
        return true;
    }
    return false;
}

int32_t millisUntilClockTick() {
    // Run out: each further call puts out one more flashlight, at once.
    if (flashlightClock.minutes == 0 && flashlightClock.seconds <= 0) return 0;
    int32_t elapsed = timeOfDayMillis() - flashlightClock.lastMillis;
    if (elapsed < 0) elapsed += 1000;
    int32_t due = 1001 - flashlightClock.accumMillis - elapsed;
    // The timer sums only the millisecond part of the time of day, so it has to be read at
    // least once a second: a longer wait would lose the whole seconds.
    constexpr int32_t longestWait = 500;
    return due <= 0 ? 0 : due < longestWait ? due : longestWait;
}

bool tickFlashlightClock() {
    if (intervalElapsed(1000)) {
        if (flashlightClock.seconds > 0) {
            std::snprintf(flashlightClock.text, sizeof flashlightClock.text,
                          flashlightClock.seconds < 10 ? "%d:0%d  " : "%d:%d  ",
                          flashlightClock.minutes, flashlightClock.seconds);
            flashlightClock.seconds--;
        } else {
            std::snprintf(flashlightClock.text, sizeof flashlightClock.text, "%d:0%d  ",
                          flashlightClock.minutes, 0);
            flashlightClock.minutes--;
            flashlightClock.seconds = 59;
        }
        printAt(flashlightClock.text, colourWhite, flashlightClockColumn, flashlightClockRow);
    }
    return flashlightClock.minutes == 0 && flashlightClock.seconds <= 0;
}
