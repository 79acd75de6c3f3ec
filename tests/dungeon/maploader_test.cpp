// The map loader: the reading rules of a room line, and the files it must refuse; the rubble.
#include <cstring>
#include <tuple>

#include "dungeon/dungeon.h"
#include "game/game.h"
#include "support/harness.h"

class MapLoaderTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        game.gameMode = modeCave;
    }
    // Loads "MapTag1" from a map file holding the given section text.
    RoomGrid load(const std::string &section) {
        writeFile("map.txt", "other text\nMapTag1\n" + section);
        DungeonMap map = loadDungeon("map.txt", "MapTag1", game.gameMode);
        startRow = map.startRoomRow;
        startCol = map.startRoomCol;
        problem = map.problem;
        return std::move(map.rooms);
    }
    static std::string text(const std::unique_ptr<char[]> &field) {
        return field ? std::string(field.get()) : "<null>";
    }
    int32_t startRow = -9, startCol = -9;
    LoadProblem problem;
};

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
    EXPECT_EQ(rooms[1].cells[7][21], glyphDoubleVertical);       // other letters open nothing
    EXPECT_EQ(text(rooms[2].featureCode), "Start more");         // not a start marker
    EXPECT_EQ(text(rooms[3].pickupText), "A very long pickup "); // cut to 19 characters
    EXPECT_EQ(text(rooms[5].pickupText), "Pear"); // a line end closes the text and the line
    EXPECT_EQ(rooms[9].encounterLevel, '5');
    // The room outside the grid is left out; of the starts, the last one wins.
    EXPECT_EQ(std::tuple(startRow, startCol), std::tuple(1, 4));
}

TEST_F(MapLoaderTest, FilesThatCannotBePlayedGiveNoRoomsAndSayWhy) {
    const std::pair<const char *, const char *> cases[] = {
        {"2,1\n0,0:E:1#NPC\n_\n", "no start room in MapTag1"},
        {"2,1\n0,0:E:1#Start\n", "no closing _ in MapTag1"},
        {"999999999,5\n0,0:E:1#Start\n_\n", "no sensible grid size in MapTag1"},
        {"0,5\n0,0:E:1#Start\n_\n", "no sensible grid size in MapTag1"},
    };
    for (const auto &[section, reason] : cases) {
        SCOPED_TRACE(section);
        EXPECT_FALSE(load(section));
        EXPECT_EQ(problem.failure, LoadFailure::sectionUnusable); // none is a missing file
        EXPECT_STREQ(problem.reason, reason);
    }
    writeFile("map.txt", "MapTag2\n1,1\n0,0::1#Start\n_\n");
    DungeonMap other = loadDungeon("map.txt", "MapTag1", game.gameMode);
    EXPECT_FALSE(other.rooms);
    EXPECT_STREQ(other.problem.reason, "no section MapTag1");
    EXPECT_EQ(screenRow(2), ""); // the loader itself shows nothing
}

// Rubble in a room that leaves it no place.
using RubbleTest = GameTest;

TEST_F(RubbleTest, ARoomWhereNoBlockCanStayStopsInsteadOfLoopingForever) {
    // A one-cell corridor from the north exit to the south one: any block would cut it.
    Room room;
    buildFreshRoom(room);
    openDoorway(room, Side::north);
    openDoorway(room, Side::south);
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
