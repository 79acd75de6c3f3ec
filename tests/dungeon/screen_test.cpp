// The dungeon screen: what Hard mode hides, and the overhead map in both modes and on large
// grids.
#include <algorithm>
#include <tuple>

#include "dungeon/dungeon_fixture.h"
#include "items/items.h"

class DungeonScreenTest : public DungeonTest {
  protected:
    // Opens the overhead map and leaves it where the script runs out of keys.
    void showMapUntilKeysRunOut() {
        EXPECT_THROW(showOverheadMap(rooms.get(), roomRow, roomCol, height, width), RunEnded);
    }
    static int cellsInColour(uint8_t colour) {
        std::vector<Cell> cells = screenSnapshot();
        return static_cast<int>(
            std::count_if(cells.begin(), cells.end(), [=](Cell c) { return c.colour == colour; }));
    }
};

TEST_F(DungeonScreenTest, HardModeShowsOnlyWhatThePlayerHasComeNear) {
    makeGrid(1, 1);
    for (int row = 1; row <= 12; row++)
        std::fill_n(&current().cells[row][1], 20, cellRubble);
    current().cells[1][20] = cellPickup;
    current().cells[6][10] = current().cells[7][10] = ' ';
    game.hardMode = true;
    placePlayer(6, 10);
    draw();
    auto shown = [](int row, int column) { return glyphAt(5 + column, 2 + row) == 178; };
    EXPECT_TRUE(shown(4, 8)); // a 5 x 5 square around the player
    EXPECT_TRUE(shown(8, 12));
    EXPECT_FALSE(shown(3, 10));
    EXPECT_FALSE(shown(6, 13));
    EXPECT_EQ(glyphAt(25, 3), '$'); // items show in the dark too
    placePlayer(7, 10);
    draw();
    EXPECT_TRUE(shown(4, 8)); // what was seen stays seen
    itemCount(itemFlashlight) = 1;
    draw();
    EXPECT_TRUE(shown(3, 6)); // 9 x 9 with a flashlight lit
    EXPECT_TRUE(shown(11, 14));
    EXPECT_FALSE(shown(2, 10));
}

TEST_F(DungeonScreenTest, TheMapShowsEveryRoomInEasyButOnlySeenOnesInHardAndArrowsDoNothing) {
    makeGrid(8, 5);
    std::tie(roomRow, roomCol) = std::tuple(2, 3);
    roomAt(0, 1).state = RoomState::absent;
    showMapUntilKeysRunOut();
    EXPECT_EQ(std::tuple(colourAt(33, 7), glyphAt(34, 7)), std::tuple(144, '-')); // room (0, 0)
    EXPECT_EQ(std::tuple(colourAt(35, 7), colourAt(39, 11)), std::tuple(0, 224)); // absent, player
    EXPECT_EQ(cellsInColour(144), 38);
    EXPECT_TRUE(textShownAt("Press Enter to exit", 2, 6, 15));
    std::vector<Cell> before = screenSnapshot();
    for (uint16_t key : {keyLeft, keyUp, keyRight, keyDown, keyEnter})
        headlessPress(key);
    showOverheadMap(rooms.get(), roomRow, roomCol, height, width);
    EXPECT_TRUE(screenSnapshot() == before);
    KeyEvent release;
    readKeyEvent(&release);
    headlessEvent(KeyEvent{false, keyEnter, '\r'}); // a lone release leaves as well
    showOverheadMap(rooms.get(), roomRow, roomCol, height, width);

    for (int i = 0; i < width * height; i++)
        rooms[i].state =
            rooms[i].state == RoomState::absent ? RoomState::absent : RoomState::unseen;
    roomAt(0, 0).state = RoomState::shown;
    game.hardMode = true;
    showMapUntilKeysRunOut();
    EXPECT_EQ(std::tuple(cellsInColour(144), colourAt(33, 7)), std::tuple(1, 144));
}

// What was on the screen before an arrow goes with it: the map is drawn afresh.
TEST_F(DungeonScreenTest, EveryArrowDrawsTheMapOnAClearedScreen) {
    makeGrid(1, 12);
    roomRow = 11;
    bool pressed = false;
    headlessSetKeySource([&pressed] {
        if (pressed) return;
        pressed = true;
        printAt("Z", 15, 79, 24);
        headlessPress(keyDown);
    });
    showMapUntilKeysRunOut();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(glyphAt(79, 24), ' ');
}

TEST_F(DungeonScreenTest, TheMapOfALargeGridScrollsOneStepAtATimeToItsLastRowOrColumn) {
    makeGrid(1, 12);
    roomRow = 11;
    showMapUntilKeysRunOut();
    EXPECT_EQ(std::tuple(colourAt(40, 1), colourAt(40, 21), colourAt(40, 23)),
              std::tuple(144, 144, 0)); // rows 0 to 10 from the origin (40, 1)
    for (int presses = 1; presses <= 2; presses++) {
        for (int i = 0; i < presses; i++)
            headlessPress(keyDown);
        showMapUntilKeysRunOut();
        EXPECT_EQ(colourAt(40, 21), 224) << presses;
    }
    makeGrid(45, 2);
    std::tie(roomRow, roomCol) = std::tuple(0, 44);
    for (int presses : {0, 5, 6, 7}) {
        for (int i = 0; i < presses; i++)
            headlessPress(keyRight);
        showMapUntilKeysRunOut();
        EXPECT_EQ(cellsInColour(144) + cellsInColour(224), 2 * 39) << presses;
        EXPECT_EQ(colourAt(77, 10), presses >= 6 ? 224 : 144) << presses; // origin (1, 10)
        EXPECT_EQ(colourAt(79, 10), 0);
    }
}
