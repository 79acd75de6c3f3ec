// Exploring: walking, doorways and locked doors, pickups, talk, leaving, encounters.
#include "dungeon/dungeon_fixture.h"
#include "items/items.h"

using ExploreTest = DungeonTest;

TEST_F(ExploreTest, TheKeysOfOnePollAreWalkedOneAfterAnotherAndObstaclesBlock) {
    makeGrid(1, 1);
    placePlayer(5, 5);
    current().cells[5][8] = cellRubble;
    current().cells[5][7] = cellNpc;
    EXPECT_EQ(press("ddd"), 1); // onto the character's cell, then the rubble stops
    EXPECT_EQ(player.playerRoomX, 7);
    EXPECT_EQ(steps, 98);
    EXPECT_EQ(glyphAt(12, 7), 11);
    press("WwDx1"); // capitals, digits and other letters do nothing
    EXPECT_EQ(player.playerRoomY, 4);
    placePlayer(1, 1);
    press("wa"); // walls
    EXPECT_EQ(player.playerRoomY * 100 + player.playerRoomX, 101);
}

TEST_F(ExploreTest, DoorwaysLeadToTheNextRoomAndStraightBack) {
    makeGrid(2, 2);
    placePlayer(7, 20);
    press("d");
    EXPECT_EQ(roomCol, 1);
    EXPECT_EQ(player.playerRoomX, 0);
    EXPECT_EQ(player.playerRoomY, 7);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(steps, 100); // changing rooms is not a step
    // Standing in the doorway, back out at once, past the locked door this room has.
    setText(current().featureCode, "LDWR");
    press("a");
    EXPECT_EQ(roomCol, 0);
    EXPECT_EQ(player.playerRoomX, 21);
    placePlayer(12, 10);
    press("s");
    EXPECT_EQ(roomRow, 1);
    EXPECT_EQ(player.playerRoomY, 0);
    // A doorway to nowhere is a wall.
    roomAt(1, 1).state = roomAbsent;
    placePlayer(7, 20);
    press("d");
    EXPECT_EQ(roomCol, 0);
    current().cells[13][10] = ' ';
    placePlayer(12, 10);
    press("s");
    EXPECT_EQ(roomRow, 1);
}

TEST_F(ExploreTest, ALockedDoorNeedsItsKeyAndSaysWhichOne) {
    makeGrid(2, 1);
    std::vector<std::string> messages;
    headlessSetPresentHook([&messages] {
        std::string row2 = screenText(45, 2, 31), row3 = screenText(45, 3, 31);
        if (messages.empty() || messages.back() != row2 + "|" + row3) {
            messages.push_back(row2 + "|" + row3);
        }
    });
    setText(current().featureCode, "LDEY");
    placePlayer(7, 20);
    press("d");
    EXPECT_EQ(roomCol, 0);
    ASSERT_FALSE(messages.empty());
    std::string full = "You need a yellow" + std::string(14, ' ') + "|key to go through there." +
                       std::string(7, ' ');
    EXPECT_NE(std::find(messages.begin(), messages.end(), full), messages.end());

    // The colour word in its own colour.
    headlessSetPresentHook([] {
        if (glyphAt(56, 2) == 'y') {
            EXPECT_EQ(colourAt(56, 2), 14);
        }
    });
    press("d");

    itemCount(itemYellowKey) = 1;
    press("d");
    EXPECT_EQ(roomCol, 1);
    EXPECT_STREQ(roomAt(0, 0).featureCode.get(), ""); // open for the rest of the visit
}

TEST_F(ExploreTest, TheWhiteAndTheSealedDoorsHaveMessagesOfTheirOwn) {
    makeGrid(2, 1);
    std::string seen;
    headlessSetPresentHook([&seen] { seen += screenText(45, 2, 31) + "|"; });
    setText(current().featureCode, "LDEW");
    placePlayer(7, 20);
    press("d");
    EXPECT_NE(seen.find("You need a white key to go     "), std::string::npos);
    roomCol = 1;
    setText(current().featureCode, "LDWX");
    placePlayer(7, 1);
    for (int key = itemRedKey; key <= itemWhiteKey; key++)
        itemCount(key) = 1;
    press("a");
    EXPECT_EQ(roomCol, 1); // never opens
    EXPECT_NE(seen.find("Beyond this door is the secret "), std::string::npos);
}

TEST_F(ExploreTest, StepsOntoAPickupTakeTheItemWithoutCountingAStep) {
    makeGrid(1, 1);
    setText(current().pickupText, "Sword");
    current().cells[5][6] = cellPickup;
    placePlayer(5, 5);
    std::string seen;
    headlessSetPresentHook(
        [&seen] { seen += screenText(45, 2, 31) + "|" + screenText(45, 4, 31) + "|"; });
    press("d");
    EXPECT_EQ(player.playerRoomX, 6);
    EXPECT_EQ(current().cells[5][6], ' ');
    EXPECT_EQ(steps, 100);
    EXPECT_STREQ(player.weaponName, "Sword");
    EXPECT_NE(seen.find("You have just picked up a:     |Sword"), std::string::npos);
    EXPECT_NE(seen.find("Your weapon strength increased "), std::string::npos);
    EXPECT_EQ(screenText(45, 2, 31), std::string(31, ' ')); // cleared after the wait
}

TEST_F(ExploreTest, TalkingToABeatenBossRemovesItAndPLeavesTheDungeon) {
    makeGrid(1, 1);
    setText(current().featureCode, "Boss");
    current().cells[5][6] = cellBoss;
    placePlayer(5, 5);
    press("t");
    EXPECT_EQ(current().cells[5][6], cellBoss); // no battle yet: the boss stays
    recordBossDefeat(modeCave, 0, 0);
    press("t");
    EXPECT_EQ(current().cells[5][6], ' ');
    EXPECT_EQ(press("pd"), 0);
    EXPECT_EQ(gameMode, modeWorldMap);
    EXPECT_EQ(player.playerRoomX, -1);
}

TEST_F(ExploreTest, EncountersComeOncePerPollWhenTheCounterHasRunOutAndFlashlightsHalveThem) {
    makeGrid(1, 1);
    placePlayer(5, 5);
    current().encounterLevel = '3'; // 400 / 52 = 7 without a flashlight, 800 / 52 = 15 with
    // A generator state whose next draw is a multiple of 7 but not of 15.
    uint32_t state = 1;
    for (;; state++) {
        int32_t draw = static_cast<int32_t>(((state * 214013u + 2531011u) >> 16) & 0x7FFF);
        if (draw % 7 == 0 && draw % 15 != 0) break;
    }
    steps = 0;
    randState = state;
    itemCount(itemFlashlight) = 1;
    clockMinutes = 2;
    press("");
    EXPECT_EQ(steps, 0); // no battle
    randState = state;
    itemCount(itemFlashlight) = 0;
    press("");
    EXPECT_EQ(steps, 75); // a battle, survived
    EXPECT_EQ(gameMode, modeCave);
}

TEST_F(ExploreTest, WhenTheClockRunsOutEveryLitFlashlightGoesOut) {
    makeGrid(1, 1);
    placePlayer(5, 5);
    itemCount(itemFlashlight) = 2;
    clockMinutes = 0;
    clockSeconds = 0;
    printAt("0:01", 15, 16, 1);
    press("");
    EXPECT_EQ(itemCount(itemFlashlight), 1);
    press("");
    EXPECT_EQ(itemCount(itemFlashlight), 0);
    EXPECT_EQ(screenText(16, 1, 6), "      ");
}

TEST_F(ExploreTest, TheInventoryAndTheMapOpenFromTheDungeonAndComeBackToIt) {
    makeGrid(1, 1);
    placePlayer(5, 5);
    player.hp = 50;
    headlessPress(keyEnter); // the Apple, used
    press("i");
    EXPECT_EQ(gameMode, modeCave);
    EXPECT_EQ(player.hp, 70);
    EXPECT_EQ(glyphAt(10, 7), 11); // the room drawn again
    headlessPress(keyEnter);
    press("m");
    EXPECT_EQ(gameMode, modeCave);
    EXPECT_EQ(glyphAt(10, 7), 11);
}
