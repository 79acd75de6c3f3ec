// The map loader: the reading rules of a room line, and the files it must refuse; the rubble.
#include <cstring>
#include <tuple>
#include <vector>

#include "dungeon/dungeon.h"
#include "game/game.h"
#include "support/harness.h"

class MapLoaderTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        gameMode = modeCave;
    }
    // Loads "MapTag1" from a map file holding the given section text.
    RoomGrid load(const std::string &section) {
        writeFile("map.txt", "other text\nMapTag1\n" + section);
        return loadDungeon("map.txt", "MapTag1", gameMode, startRow, startCol, height, width);
    }
    static std::string text(const std::unique_ptr<char[]> &field) {
        return field ? std::string(field.get()) : "<null>";
    }
    int32_t startRow = -9, startCol = -9, height = 0, width = 0;
};

TEST_F(MapLoaderTest, OnlyTheRoomsOfTheFileExistWithTheirDoorwaysOpen) {
    RoomGrid rooms = load("3,2\n2,1:NSWE:0#Start\n_\n");
    ASSERT_TRUE(rooms);
    EXPECT_EQ(std::tuple(width, height, startRow, startCol), std::tuple(3, 2, 1, 2));
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(rooms[i].state, i == 5 ? roomUnseen : roomAbsent) << i;
    const Room &room = rooms[5];
    EXPECT_EQ(room.encounterLevel, '0');
    std::string openings = {room.cells[0][10], room.cells[13][10], room.cells[7][0],
                            room.cells[7][21], room.cells[5][5]};
    EXPECT_EQ(openings, "     ");
    EXPECT_EQ(static_cast<uint8_t>(room.cells[0][9]), 205); // the rest of the walls stand
    EXPECT_EQ(static_cast<uint8_t>(room.cells[13][21]), 188);
    EXPECT_EQ(player.playerRoomX, -1); // placed anew on the first display
}

TEST_F(MapLoaderTest, PickupAndFeatureTextsFollowTheirMarks) {
    RoomGrid rooms = load("5,2\n"
                          "0,0:N:1$Apple:#NPC\n"
                          "1,0:XYZ:2$Cookie:$Sword:\n"
                          "2,0::3#Start more:\n"
                          "3,0:E:4$A very long pickup text indeed:#Start\n"
                          "9,9:E:1#Start\n"
                          "0,1:N:1$Pear\r\n" // carriage returns are plain line ends
                          "4,1:W:5#Start\r\n"
                          "_\r\n");
    ASSERT_TRUE(rooms);
    EXPECT_EQ(text(rooms[0].pickupText), "Apple");
    EXPECT_EQ(text(rooms[0].featureCode), "NPC");
    EXPECT_EQ(rooms[0].cells[0][10], ' ');
    EXPECT_EQ(text(rooms[1].pickupText), "Cookie");              // the second "$" is ignored
    EXPECT_EQ(rooms[1].cells[7][21], static_cast<char>(186));    // other letters open nothing
    EXPECT_EQ(text(rooms[2].featureCode), "Start more");         // not a start marker
    EXPECT_EQ(text(rooms[3].pickupText), "A very long pickup "); // cut to 19 characters
    EXPECT_EQ(text(rooms[5].pickupText), "Pear"); // a line end closes the text and the line
    EXPECT_EQ(rooms[9].encounterLevel, '5');
    // The room outside the grid is left out; of the starts, the last one wins.
    EXPECT_EQ(std::tuple(startRow, startCol), std::tuple(1, 4));
}

TEST_F(MapLoaderTest, ABeatenBossDoesNotComeBackInItsRoom) {
    recordBossDefeat(modeCave, 1, 0);
    RoomGrid rooms = load("2,2\n0,1:N:1#Boss\n1,1:N:1#Boss\n0,0:S:1#Start\n_\n");
    ASSERT_TRUE(rooms);
    EXPECT_EQ(text(rooms[2].featureCode), "<null>");
    EXPECT_EQ(text(rooms[3].featureCode), "Boss");
    gameMode = modeSewer; // the same room of another dungeon keeps its boss
    rooms = load("2,2\n0,1:N:1#Boss\n0,0:S:1#Start\n_\n");
    EXPECT_EQ(text(rooms[2].featureCode), "Boss");
}

TEST_F(MapLoaderTest, FilesThatCannotBePlayedGiveNoRoomsAndTurnThePlayerBack) {
    EXPECT_FALSE(load("2,1\n0,0:E:1#NPC\n_\n"));           // no start room
    EXPECT_FALSE(load("2,1\n0,0:E:1#Start\n"));            // no closing underscore
    EXPECT_FALSE(load("999999999,5\n0,0:E:1#Start\n_\n")); // an absurd grid
    EXPECT_FALSE(load("0,5\n0,0:E:1#Start\n_\n"));
    writeFile("map.txt", "MapTag2\n1,1\n0,0::1#Start\n_\n");
    EXPECT_FALSE(loadDungeon("map.txt", "MapTag1", gameMode, startRow, startCol, height, width));
    EXPECT_EQ(screenRow(2), ""); // none of these is a missing file

    std::remove("map.txt");
    EXPECT_FALSE(loadDungeon("map.txt", "MapTag1", gameMode, startRow, startCol, height, width));
    EXPECT_TRUE(textShownAt("Couldnt find file", 45, 2, 15));
    gameMode = modeCastle;
    EXPECT_EQ(enterDungeon("MapTag3"), modeWorldMap);
    EXPECT_EQ(player.playerRoomX, -1);
}

// Rubble: a hundred blocks that never cut the floor off an open exit.
using RubbleTest = GameTest;

static bool interior(int row, int column) {
    return row >= 1 && row <= 12 && column >= 1 && column <= 20;
}

// The interior spaces reached from one exit, walking over spaces only.
static int spacesReachedFrom(const Room &room, int row, int column) {
    bool seen[roomRows][roomColumns] = {};
    std::vector<std::pair<int, int>> todo = {{row, column}};
    int reached = 0;
    while (!todo.empty()) {
        auto [r, c] = todo.back();
        todo.pop_back();
        if (r < 0 || r >= roomRows || c < 0 || c >= roomColumns || seen[r][c] ||
            room.cells[r][c] != ' ') {
            continue;
        }
        seen[r][c] = true;
        reached += interior(r, c);
        todo.insert(todo.end(), {{r + 1, c}, {r - 1, c}, {r, c + 1}, {r, c - 1}});
    }
    return reached;
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
                for (int column = 0; column < roomColumns; column++) {
                    char cell = scattered.cells[row][column];
                    if (!interior(row, column)) {
                        ASSERT_EQ(cell, fresh.cells[row][column]) << row << "," << column;
                    }
                    rubble += interior(row, column) && cell == cellRubble;
                    spaces += interior(row, column) && cell == ' ';
                }
            }
            ASSERT_EQ(std::pair(rubble, spaces), std::pair(100, 140)) << "doors " << doors;
            for (auto [row, column] : {std::pair{0, 10}, {7, 21}, {13, 10}, {7, 0}}) {
                if (scattered.cells[row][column] != ' ') continue;
                ASSERT_EQ(spacesReachedFrom(scattered, row, column), spaces) << "doors " << doors;
            }
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
