// The overhead map: which rooms it shows, where, and how the arrows move the window.
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "support/harness.h"

class OverheadMapTest : public GameTest {
  protected:
    // Every room present and not seen yet, open to the east.
    void makeGrid(int32_t h, int32_t w) {
        height = h;
        width = w;
        rooms.reset(new Room[h * w]());
        for (int i = 0; i < h * w; i++) {
            buildFreshRoom(rooms[i]);
            openDoorway(rooms[i], 'E');
        }
    }
    // Opens the map and leaves it where the script runs out of keys.
    void showUntilKeysRunOut(int32_t row, int32_t col) {
        EXPECT_THROW(showOverheadMap(rooms.get(), row, col, height, width), RunEnded);
    }
    static int cellsInColour(uint8_t colour) {
        std::vector<Cell> cells = screenSnapshot();
        return static_cast<int>(
            std::count_if(cells.begin(), cells.end(), [=](Cell c) { return c.colour == colour; }));
    }
    int32_t height = 0, width = 0;
    RoomGrid rooms;
};

TEST_F(OverheadMapTest, EasyShowsASmallGridWholeAndTheArrowsChangeNothing) {
    makeGrid(5, 8);
    showUntilKeysRunOut(2, 3);
    EXPECT_EQ(colourAt(33, 7), 144);  // room (0, 0)
    EXPECT_EQ(glyphAt(34, 7), '-');   // its east opening
    EXPECT_EQ(colourAt(39, 11), 224); // the player's room
    EXPECT_EQ(cellsInColour(144), 39);
    EXPECT_TRUE(textShownAt("Press Enter to exit", 2, 6, 15));
    std::vector<Cell> before = screenSnapshot();
    for (uint16_t key : {keyLeft, keyUp, keyRight, keyDown, keyEnter})
        headlessPress(key);
    showOverheadMap(rooms.get(), 2, 3, height, width);
    EXPECT_TRUE(screenSnapshot() == before);
    headlessEvent(KeyEvent{false, keyEnter, '\r'}); // a lone release leaves as well
    showOverheadMap(rooms.get(), 2, 3, height, width);
}

TEST_F(OverheadMapTest, HardShowsOnlySeenRoomsAndAbsentRoomsNeverShow) {
    makeGrid(3, 3);
    rooms[4].state = roomShown; // the start room, just displayed
    rooms[0].state = roomAbsent;
    rooms[8].state = roomAbsent;
    hardMode = 1;
    showUntilKeysRunOut(1, 1);
    EXPECT_EQ(colourAt(40, 11), 224); // origin (38, 9)
    EXPECT_EQ(cellsInColour(144), 0);
    hardMode = 0;
    showUntilKeysRunOut(1, 1);
    EXPECT_EQ(cellsInColour(144), 6);
    EXPECT_TRUE(colourAt(38, 9) == 0 && colourAt(42, 13) == 0);
}

TEST_F(OverheadMapTest, ATallGridScrollsDownOneRowToItsLast) {
    makeGrid(12, 1);
    openDoorway(rooms[0], 'N'); // marks row 0
    showUntilKeysRunOut(11, 0);
    EXPECT_EQ(glyphAt(40, 0), '|');   // origin (40, 1)
    EXPECT_EQ(colourAt(40, 21), 144); // row 10, the last visible
    EXPECT_EQ(colourAt(40, 23), 0);
    for (int presses = 1; presses <= 2; presses++) {
        for (int i = 0; i < presses; i++)
            headlessPress(keyDown);
        showUntilKeysRunOut(11, 0);
        EXPECT_EQ(glyphAt(40, 0), ' ') << presses; // cleared away with row 0
        EXPECT_EQ(colourAt(40, 1), 144) << presses;
        EXPECT_EQ(colourAt(40, 21), 224) << presses;
    }
    makeGrid(20, 1); // taller still: the top row stays on screen
    showUntilKeysRunOut(0, 0);
    EXPECT_EQ(colourAt(40, 1), 224);
}

TEST_F(OverheadMapTest, AWideGridScrollsRightOneColumnAtATimeToItsLast) {
    makeGrid(2, 45);
    for (int presses : {0, 5, 6, 7}) {
        for (int i = 0; i < presses; i++)
            headlessPress(keyRight);
        showUntilKeysRunOut(0, 44);
        EXPECT_EQ(cellsInColour(144) + cellsInColour(224), 2 * 39) << presses;
        EXPECT_EQ(colourAt(77, 10), presses >= 6 ? 224 : 144) << presses; // origin (1, 10)
        EXPECT_EQ(glyphAt(78, 10), '-');
        EXPECT_EQ(colourAt(79, 10), 0);
    }
}

TEST_F(OverheadMapTest, OpeningsShowOnlyWhereTheWallCellIsASpace) {
    makeGrid(1, 1);
    openDoorway(rooms[0], 'N');
    openDoorway(rooms[0], 'W');
    rooms[0].cells[7][21] = cellRubble;
    showUntilKeysRunOut(-1, -1);
    // Around the origin (40, 11): north and west openings, no east one, no south one.
    EXPECT_EQ(screenText(39, 10, 3) + "/" + screenText(39, 11, 3) + "/" + screenText(39, 12, 3),
              " | /-  /   ");
}
