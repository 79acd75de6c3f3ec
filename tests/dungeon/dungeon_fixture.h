// A dungeon built in the test: a grid of empty rooms with doorways between neighbours, already
// shown (so no rubble falls), played one exploration step at a time.
#pragma once

#include "dungeon/dungeon.h"
#include "game/game.h"
#include "support/harness.h"

class DungeonTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        game.gameMode = modeCave;
        visit.dungeon = modeCave;
        visit.stepsUntilEncounter = 100;
    }
    void makeGrid(int gridWidth, int gridHeight) {
        width = gridWidth;
        height = gridHeight;
        rooms.reset(new Room[width * height]());
        for (int row = 0; row < height; row++) {
            for (int column = 0; column < width; column++) {
                Room &room = roomAt(row, column);
                buildFreshRoom(room);
                room.state = RoomState::shown;
                room.encounterLevel = '1';
                if (row > 0) openDoorway(room, Side::north);
                if (row < height - 1) openDoorway(room, Side::south);
                if (column > 0) openDoorway(room, Side::west);
                if (column < width - 1) openDoorway(room, Side::east);
            }
        }
    }
    Room &roomAt(int row, int column) { return rooms[row * width + column]; }
    Room &current() { return roomAt(roomRow, roomCol); }
    static void setText(std::unique_ptr<char[]> &field, const char *text) {
        field.reset(new char[roomTextCapacity]());
        std::snprintf(field.get(), roomTextCapacity, "%s", text);
    }
    static void placePlayer(int row, int column) {
        game.player.playerRoomY = row;
        game.player.playerRoomX = column;
    }
    // Types the keys ahead (one poll takes them all) and runs one exploration step; 0 once
    // the visit is over (leftFor says where to), else 1.
    int32_t press(const char *keys) {
        for (const char *key = keys; *key != '\0'; key++)
            headlessTypeAhead(static_cast<uint16_t>(*key - 32), *key);
        leftFor = exploreStep(visit);
        return leftFor.has_value() ? 0 : 1;
    }
    void draw() {
        readyRoom(rooms[roomRow * width + roomCol]);
        drawRoomScreen(rooms.get(), roomRow, roomCol, width, seen, changed);
    }

    DungeonVisit visit;
    std::optional<GameMode> leftFor;
    RoomGrid &rooms = visit.rooms;
    int32_t &width = visit.width, &height = visit.height;
    int32_t &roomRow = visit.roomRow, &roomCol = visit.roomCol;
    int32_t &steps = visit.stepsUntilEncounter;
    bool &changed = visit.roomChanged;
    SeenCells &seen = visit.seenCells;
};
