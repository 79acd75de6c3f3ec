// Rubble: a hundred blocks that never cut the floor off an open exit.
#include <cstring>
#include <functional>

#include "dungeon/dungeon.h"
#include "game/game.h"
#include "support/harness.h"

using RubbleTest = GameTest;

static bool interior(int row, int column) {
    return row >= 1 && row <= 12 && column >= 1 && column <= 20;
}

// One flood from each open exit must reach every interior space.
static bool everySpaceReachesEveryExit(const Room &room) {
    int spaces = 0;
    for (int row = 1; row <= 12; row++) {
        for (int column = 1; column <= 20; column++)
            spaces += room.cells[row][column] == ' ';
    }
    for (auto [exitRow, exitColumn] : {std::pair{0, 10}, {7, 21}, {13, 10}, {7, 0}}) {
        if (room.cells[exitRow][exitColumn] != ' ') continue;
        bool seen[roomRows][roomColumns] = {};
        int reached = 0;
        std::function<void(int, int)> flood = [&](int row, int column) {
            if (row < 0 || row >= roomRows || column < 0 || column >= roomColumns ||
                seen[row][column] || room.cells[row][column] != ' ') {
                return;
            }
            seen[row][column] = true;
            reached += interior(row, column);
            flood(row + 1, column);
            flood(row - 1, column);
            flood(row, column + 1);
            flood(row, column - 1);
        };
        flood(exitRow, exitColumn);
        if (reached != spaces) return false;
    }
    return true;
}

TEST_F(RubbleTest, AHundredBlocksNeverCutAnExitOffAndLeaveTheWallsAlone) {
    for (int doors = 0; doors < 16; doors++) {
        for (int room = 0; room < 8; room++) {
            Room fresh, scattered;
            buildFreshRoom(fresh);
            for (int side = 0; side < 4; side++) {
                if (doors & (1 << side)) openDoorway(fresh, "NESW"[side]);
            }
            std::memcpy(scattered.cells, fresh.cells, sizeof fresh.cells);
            scatterRubble(scattered);
            int rubble = 0, spaces = 0;
            for (int row = 0; row < roomRows; row++) {
                for (int column = 0; column <= roomColumns; column++) {
                    char cell = scattered.cells[row][column];
                    if (!interior(row, column)) {
                        ASSERT_EQ(cell, fresh.cells[row][column]) << row << "," << column;
                    }
                    rubble += interior(row, column) && cell == cellRubble;
                    spaces += interior(row, column) && cell == ' ';
                }
            }
            ASSERT_EQ(std::pair(rubble, spaces), std::pair(100, 140)) << "doors " << doors;
            ASSERT_TRUE(everySpaceReachesEveryExit(scattered)) << "doors " << doors;
        }
    }
}

TEST_F(RubbleTest, ARoomWhereNoBlockCanStayStopsInsteadOfLoopingForever) {
    // A one-cell corridor from the north exit to the south one: any block would cut it.
    Room room;
    buildFreshRoom(room);
    openDoorway(room, 'N');
    openDoorway(room, 'S');
    for (int row = 1; row <= 12; row++) {
        for (int column = 1; column <= 20; column++)
            room.cells[row][column] = column == 10 ? ' ' : cellRubble;
    }
    scatterRubble(room);
    for (int row = 1; row <= 12; row++)
        EXPECT_EQ(room.cells[row][10], ' ') << row;

    for (int row = 1; row <= 12; row++) // with no floor left, no empty cell can be found
        room.cells[row][10] = cellRubble;
    int row, column;
    EXPECT_FALSE(randomEmptyCell(room, row, column));
}
