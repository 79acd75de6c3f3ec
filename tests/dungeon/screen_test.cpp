// The dungeon screen: a room's first display, what Hard mode hides, locked doors, the clock.
#include "dungeon/dungeon_fixture.h"
#include "items/items.h"

using DungeonScreenTest = DungeonTest;

TEST_F(DungeonScreenTest, AFirstDisplayFurnishesTheRoomOnceAndPlacesThePlayerOnTheFloor) {
    makeGrid(1, 1);
    current().state = roomUnseen;
    setText(current().pickupText, "Apple");
    setText(current().featureCode, "NPC");
    placePlayer(-1, -1);
    auto interior = [this] {
        std::string cells;
        for (int row = 1; row <= 12; row++)
            cells += std::string(&current().cells[row][1], 20);
        return cells;
    };
    draw();
    std::string furnished = interior();
    draw(); // a second display changes nothing in the room
    EXPECT_EQ(interior(), furnished);
    EXPECT_EQ(std::count(furnished.begin(), furnished.end(), cellRubble), 100);
    EXPECT_EQ(std::count(furnished.begin(), furnished.end(), cellPickup), 1);
    EXPECT_EQ(std::count(furnished.begin(), furnished.end(), cellNpc), 1);
    EXPECT_EQ(current().state, roomShown);
    ASSERT_NE(player.playerRoomX, -1);
    EXPECT_EQ(current().cells[player.playerRoomY][player.playerRoomX], ' ');
    EXPECT_EQ(glyphAt(5 + player.playerRoomX, 2 + player.playerRoomY), 11);
    EXPECT_TRUE(textShownAt("100", 69, 19, 9)); // the panel: hit points
}

TEST_F(DungeonScreenTest, LockedDoorsArePaintedOverTheirDoorwaysOnly) {
    makeGrid(2, 1);
    setText(roomAt(0, 0).featureCode, "LDEG");
    placePlayer(5, 5);
    draw();
    EXPECT_EQ(screenCells[9][26], (Cell{' ', 32}));
    EXPECT_EQ(current().cells[7][21], ' ');
    const std::pair<const char *, int> codes[] = {
        {"LDWX", 128}, {"LDNX", 0}, {"ldeg", 0}, {"LDEG ", 0}, {"Start", 0}};
    for (auto [code, colour] : codes) {
        clearScreen(0);
        drawLockedDoor(code);
        EXPECT_EQ(colourAt(5, 9) | colourAt(15, 2) | colourAt(26, 9) | colourAt(15, 15), colour)
            << code;
    }
}

TEST_F(DungeonScreenTest, HardModeShowsOnlyWhatThePlayerHasComeNear) {
    makeGrid(1, 1);
    for (int row = 1; row <= 12; row++)
        std::fill_n(&current().cells[row][1], 20, cellRubble);
    current().cells[1][20] = cellPickup;
    current().cells[6][10] = current().cells[7][10] = ' ';
    hardMode = 1;
    placePlayer(6, 10);
    draw();
    auto shown = [](int row, int column) { return glyphAt(5 + column, 2 + row) == 178; };
    EXPECT_TRUE(shown(4, 8) && shown(8, 12)); // a 5 x 5 square around the player
    EXPECT_FALSE(shown(3, 10) || shown(6, 13));
    EXPECT_EQ(glyphAt(25, 3), '$'); // items show in the dark too
    placePlayer(7, 10);
    draw();
    EXPECT_TRUE(shown(4, 8)); // what was seen stays seen
    itemCount(itemFlashlight) = 1;
    draw();
    EXPECT_TRUE(shown(3, 6) && shown(11, 14)); // 9 x 9 with a flashlight lit
    EXPECT_FALSE(shown(2, 10));
}

TEST_F(DungeonScreenTest, TheFlashlightClockCountsDownTwoMinutesASecondAtATime) {
    headlessSetClockStepMicros(0);
    pickUpItem("Flashlight");
    std::vector<std::string> shown;
    int32_t ranOut = 0;
    for (int call = 0; call < 400 && !ranOut; call++) {
        headlessSetNowMicros(headlessNowMicros() + 501000);
        ranOut = tickFlashlightClock();
        std::string text = screenText(16, 1, 4);
        if (text != "    " && (shown.empty() || shown.back() != text)) shown.push_back(text);
    }
    ASSERT_EQ(shown.size(), 120u);
    std::vector<std::string> picked; // the tick that shows 0:01 already reports the end
    for (int i : {0, 1, 59, 60, 61, 119})
        picked.push_back(shown[i]);
    EXPECT_EQ(picked, (std::vector<std::string>{"2:00", "1:59", "1:01", "1:00", "0:59", "0:01"}));
    EXPECT_EQ(ranOut, 1);
    timerAccumMillis = 0; // time between calls counts only modulo one second
    headlessSetNowMicros(headlessNowMicros() + 3400000);
    intervalElapsed(1000);
    EXPECT_EQ(timerAccumMillis, 400);
}
