// The map loader: the reading rules of a room line, and the files it must refuse.
#include <tuple>

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
        return loadDungeon("map.txt", "MapTag1", startRow, startCol, height, width);
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
    std::string doorways = {room.cells[0][10], room.cells[13][10], room.cells[7][0],
                            room.cells[7][21], room.cells[5][5]};
    EXPECT_EQ(doorways, "     ");
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
                          "0,1:N:1$Pear\n"
                          "4,1:W:1#Start\n"
                          "_\n");
    ASSERT_TRUE(rooms);
    EXPECT_EQ(text(rooms[0].pickupText), "Apple");
    EXPECT_EQ(text(rooms[0].featureCode), "NPC");
    EXPECT_EQ(rooms[0].cells[0][10], ' ');
    EXPECT_EQ(text(rooms[1].pickupText), "Cookie");              // the second "$" is ignored
    EXPECT_EQ(rooms[1].cells[7][21], static_cast<char>(186));    // other letters open nothing
    EXPECT_EQ(text(rooms[2].featureCode), "Start more");         // not a start marker
    EXPECT_EQ(text(rooms[3].pickupText), "A very long pickup "); // cut to 19 characters
    EXPECT_EQ(text(rooms[5].pickupText), "Pear"); // a line end closes the text and the line
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

TEST_F(MapLoaderTest, CarriageReturnsAreReadAsPlainLineEnds) {
    RoomGrid rooms = load("2,1\r\n0,0:E:1$Apple:#Start\r\n1,0:W:2#NPC\r\n_\r\n");
    ASSERT_TRUE(rooms);
    EXPECT_EQ(text(rooms[1].featureCode), "NPC");
    EXPECT_EQ(rooms[1].encounterLevel, '2');
}

TEST_F(MapLoaderTest, FilesThatCannotBePlayedGiveNoRoomsAndTurnThePlayerBack) {
    EXPECT_FALSE(load("2,1\n0,0:E:1#NPC\n_\n"));           // no start room
    EXPECT_FALSE(load("2,1\n0,0:E:1#Start\n"));            // no closing underscore
    EXPECT_FALSE(load("999999999,5\n0,0:E:1#Start\n_\n")); // an absurd grid
    EXPECT_FALSE(load("0,5\n0,0:E:1#Start\n_\n"));
    writeFile("map.txt", "MapTag2\n1,1\n0,0::1#Start\n_\n");
    EXPECT_FALSE(loadDungeon("map.txt", "MapTag1", startRow, startCol, height, width));
    EXPECT_EQ(screenRow(2), ""); // none of these is a missing file

    std::remove("map.txt");
    EXPECT_FALSE(loadDungeon("map.txt", "MapTag1", startRow, startCol, height, width));
    EXPECT_TRUE(textShownAt("Couldnt find file", 45, 2, 15));
    gameMode = modeCastle;
    EXPECT_EQ(enterDungeon("MapTag3"), modeWorldMap);
    EXPECT_EQ(player.playerRoomX, -1);
}
