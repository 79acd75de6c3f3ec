// Rubble: a hundred blocks that never cut the floor off an open exit.
#include <cstring>
#include <queue>

#include "dungeon/dungeon.h"
#include "game/game.h"
#include "support/harness.h"

using RubbleTest = GameTest;

// Every interior space reaches every open exit over spaces: one search from each exit must
// find all the interior spaces.
static bool everySpaceReachesEveryExit(const Room &room) {
    const int exits[4][2] = {{0, 10}, {7, 21}, {13, 10}, {7, 0}};
    int spaces = 0;
    for (int row = 1; row <= 12; row++) {
        for (int column = 1; column <= 20; column++)
            spaces += room.cells[row][column] == ' ';
    }
    for (const auto &exit : exits) {
        if (room.cells[exit[0]][exit[1]] != ' ') continue;
        bool seen[roomRows][roomColumns] = {};
        std::queue<std::pair<int, int>> open;
        open.push({exit[0], exit[1]});
        seen[exit[0]][exit[1]] = true;
        int reached = 0;
        while (!open.empty()) {
            auto [row, column] = open.front();
            open.pop();
            if (row >= 1 && row <= 12 && column >= 1 && column <= 20) reached++;
            const int steps[4][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}};
            for (const auto &step : steps) {
                int nextRow = row + step[0], nextColumn = column + step[1];
                if (nextRow < 0 || nextRow >= roomRows || nextColumn < 0 ||
                    nextColumn >= roomColumns || seen[nextRow][nextColumn] ||
                    room.cells[nextRow][nextColumn] != ' ') {
                    continue;
                }
                seen[nextRow][nextColumn] = true;
                open.push({nextRow, nextColumn});
            }
        }
        if (reached != spaces) return false;
    }
    return true;
}

TEST_F(RubbleTest, AHundredBlocksNeverCutAnExitOffAndLeaveTheWallsAlone) {
    const char sides[] = {'N', 'E', 'S', 'W'};
    for (int doors = 0; doors < 16; doors++) {
        for (int room = 0; room < 8; room++) {
            Room fresh;
            buildFreshRoom(fresh);
            for (int side = 0; side < 4; side++) {
                if (doors & (1 << side)) openDoorway(fresh, sides[side]);
            }
            Room scattered;
            std::memcpy(scattered.cells, fresh.cells, sizeof fresh.cells);
            scatterRubble(scattered);
            int rubble = 0, spaces = 0;
            for (int row = 0; row < roomRows; row++) {
                for (int column = 0; column <= roomColumns; column++) {
                    bool interior = row >= 1 && row <= 12 && column >= 1 && column <= 20;
                    char cell = scattered.cells[row][column];
                    if (!interior) {
                        ASSERT_EQ(cell, fresh.cells[row][column]) << row << "," << column;
                    }
                    rubble += interior && cell == cellRubble;
                    spaces += interior && cell == ' ';
                }
            }
            ASSERT_EQ(rubble, 100) << "doors " << doors;
            ASSERT_EQ(spaces, 140) << "doors " << doors;
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
        for (int column = 1; column <= 20; column++) {
            room.cells[row][column] = column == 10 ? ' ' : cellRubble;
        }
    }
    scatterRubble(room);
    for (int row = 1; row <= 12; row++)
        EXPECT_EQ(room.cells[row][10], ' ') << row;

    // With no floor left, no empty cell can be found.
    for (int row = 1; row <= 12; row++)
        room.cells[row][10] = cellRubble;
    int row, column;
    EXPECT_FALSE(randomEmptyCell(room, row, column));
}
