// The dungeon screen: a room's first display, what Hard mode hides, locked doors, the clock.
#include "dungeon/dungeon_fixture.h"
#include "items/items.h"

using DungeonScreenTest = DungeonTest;

TEST_F(DungeonScreenTest, AFirstDisplayFurnishesTheRoomOnceAndDrawsThePanel) {
    makeGrid(1, 1);
    current().state = roomUnseen;
    setText(current().pickupText, "Apple");
    setText(current().featureCode, "NPC");
    placePlayer(-1, -1);
    draw();
    int rubble = 0, pickups = 0, npcs = 0;
    for (int row = 1; row <= 12; row++) {
        for (int column = 1; column <= 20; column++) {
            char cell = current().cells[row][column];
            rubble += cell == cellRubble;
            pickups += cell == cellPickup;
            npcs += cell == cellNpc;
        }
    }
    EXPECT_EQ(rubble * 100 + pickups * 10 + npcs, 10011); // 100 rubble, one item, one face
    EXPECT_EQ(current().state, roomShown);
    ASSERT_NE(player.playerRoomX, -1);
    EXPECT_EQ(current().cells[player.playerRoomY][player.playerRoomX], ' ');
    EXPECT_EQ(glyphAt(5 + player.playerRoomX, 2 + player.playerRoomY), 11);

    draw(); // a second display changes nothing in the room
    int again = 0;
    for (int row = 1; row <= 12; row++) {
        for (int column = 1; column <= 20; column++)
            again += current().cells[row][column] == cellRubble;
    }
    EXPECT_EQ(again, 100);

    EXPECT_EQ(glyphAt(5, 2), 201);
    EXPECT_EQ(colourAt(5, 2), 6);
    EXPECT_EQ(glyphAt(35, 17), 206);
    EXPECT_TRUE(textShownAt("HP", 66, 19, 9));
    EXPECT_TRUE(textShownAt("100", 69, 19, 9));
    EXPECT_TRUE(textShownAt("SP", 66, 20, 10));
    EXPECT_TRUE(textShownAt("Keys:", 8, 19, 15));
    EXPECT_TRUE(textShownAt("t - Talk to an NPC", 8, 24, 15));
}

TEST_F(DungeonScreenTest, LockedDoorsArePaintedOverTheirDoorwaysOnly) {
    makeGrid(2, 1);
    setText(roomAt(0, 0).featureCode, "LDEG");
    placePlayer(5, 5);
    draw();
    EXPECT_EQ(glyphAt(26, 9), ' ');
    EXPECT_EQ(colourAt(26, 9), 32);
    EXPECT_EQ(current().cells[7][21], ' ');
    const std::pair<const char *, int> codes[] = {
        {"LDWX", 128}, {"LDNX", 6}, {"ldeg", 6}, {"LDEG ", 6}, {"Start", 6}};
    for (auto [code, colour] : codes) {
        clearScreen(0);
        drawLockedDoor(code);
        int painted = colourAt(5, 9) | colourAt(15, 2) | colourAt(26, 9) | colourAt(15, 15);
        EXPECT_EQ(painted, colour == 6 ? 0 : colour) << code;
    }
}

TEST_F(DungeonScreenTest, HardModeShowsOnlyWhatThePlayerHasComeNear) {
    makeGrid(1, 1);
    for (int row = 1; row <= 12; row++) {
        for (int column = 1; column <= 20; column++)
            current().cells[row][column] = cellRubble;
    }
    current().cells[1][20] = cellPickup;
    current().cells[6][10] = ' ';
    current().cells[7][10] = ' ';
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
    EXPECT_EQ(shown[0], "2:00");
    EXPECT_EQ(shown[1], "1:59");
    EXPECT_EQ(shown[59], "1:01");
    EXPECT_EQ(shown[60], "1:00");
    EXPECT_EQ(shown[61], "0:59");
    EXPECT_EQ(shown[119], "0:01"); // the tick that shows 0:01 already reports the end
    EXPECT_EQ(ranOut, 1);
    // Time between calls counts only modulo one second.
    timerAccumMillis = 0;
    headlessSetNowMicros(headlessNowMicros() + 3400000);
    intervalElapsed(1000);
    EXPECT_EQ(timerAccumMillis, 400);
}
