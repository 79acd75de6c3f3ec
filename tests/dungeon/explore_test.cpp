// Exploring: walking, doorways and locked doors, pickups, talk, leaving, encounters.
#include <tuple>

#include "battle/battle.h"
#include "dungeon/dungeon_fixture.h"
#include "items/items.h"

class ExploreTest : public DungeonTest {
  protected:
    // Records the message area (rows 2 to 4 from column 45) whenever the screen is shown.
    void watchMessages() {
        headlessSetPresentHook([this] {
            for (int y = 2; y <= 4; y++)
                messages += screenText(45, y, 31) + (y < 4 ? "|" : "\n");
        });
    }
    bool said(const std::string &text) { return messages.find(text) != std::string::npos; }
    std::string messages;
};

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
    EXPECT_EQ(std::tuple(player.playerRoomY, player.playerRoomX), std::tuple(1, 1));
}

TEST_F(ExploreTest, DoorwaysLeadToTheNextRoomAndStraightBackButNotToNowhere) {
    makeGrid(2, 2);
    placePlayer(7, 20);
    press("d");
    EXPECT_EQ(std::tuple(roomCol, player.playerRoomX, player.playerRoomY), std::tuple(1, 0, 7));
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(steps, 100); // changing rooms is not a step
    // Standing in the doorway, back out at once, past the locked door this room has.
    setText(current().featureCode, "LDWR");
    press("a");
    EXPECT_EQ(std::tuple(roomCol, player.playerRoomX), std::tuple(0, 21));
    placePlayer(12, 10);
    press("s");
    EXPECT_EQ(std::tuple(roomRow, player.playerRoomY), std::tuple(1, 0));
    roomAt(1, 1).state = roomAbsent; // doorways to nowhere, or off the grid, are walls
    placePlayer(7, 20);
    press("d");
    EXPECT_EQ(roomCol, 0);
    current().cells[13][10] = ' ';
    placePlayer(12, 10);
    press("s");
    EXPECT_EQ(roomRow, 1);
}

TEST_F(ExploreTest, LockedDoorsNeedTheirKeysAndSayWhichOneAndTheSealedOneNeverOpens) {
    makeGrid(2, 1);
    watchMessages();
    setText(current().featureCode, "LDEW");
    placePlayer(7, 20);
    press("d");
    EXPECT_TRUE(said("You need a white key to go     |through there."));

    setText(current().featureCode, "LDEY");
    press("d");
    EXPECT_EQ(roomCol, 0);
    EXPECT_TRUE(said("You need a yellow              |key to go through there.       |"));
    int wordColour = -1; // the colour word in its own colour
    headlessSetPresentHook([&wordColour] {
        if (glyphAt(56, 2) == 'y') wordColour = colourAt(56, 2);
    });
    press("d");
    EXPECT_EQ(wordColour, 14);
    itemCount(itemYellowKey) = 1;
    press("d");
    EXPECT_EQ(roomCol, 1);
    EXPECT_STREQ(roomAt(0, 0).featureCode.get(), ""); // open for the rest of the visit

    watchMessages();
    setText(current().featureCode, "LDWX");
    placePlayer(7, 1);
    for (int key = itemRedKey; key <= itemWhiteKey; key++)
        itemCount(key) = 1;
    press("a");
    EXPECT_EQ(roomCol, 1);
    EXPECT_TRUE(
        said("Beyond this door is the secret |of the Brinewort.  The likes of|which is meant"));
}

TEST_F(ExploreTest, StepsOntoAPickupTakeTheItemWithoutCountingAStep) {
    makeGrid(1, 1);
    watchMessages();
    setText(current().pickupText, "Sword");
    current().cells[5][6] = cellPickup;
    placePlayer(5, 5);
    press("d");
    EXPECT_EQ(player.playerRoomX, 6);
    EXPECT_EQ(current().cells[5][6], ' ');
    EXPECT_EQ(steps, 100);
    EXPECT_STREQ(player.weaponName, "Sword");
    EXPECT_TRUE(said("You have just picked up a:     |" + std::string(31, ' ') + "|Sword"));
    EXPECT_EQ(screenText(45, 2, 31), std::string(31, ' ')); // cleared after the wait
}

TEST_F(ExploreTest, TalkingBesideTheBossFightsItAWinRemovesItAndPLeavesTheDungeon) {
    makeGrid(1, 1);
    setText(current().featureCode, "Boss");
    current().cells[5][6] = cellBoss;
    placePlayer(5, 4);
    EXPECT_EQ(press("t"), 1); // not beside it: nothing happens
    bosses[0].hp = 1;         // Molloch, beaten by the first blow
    bosses[0].defense = 0;
    playerTurn = 1;
    headlessSetKeySource([] { headlessPress(keyEnter); }); // attack
    placePlayer(5, 5);
    press("t");
    headlessSetKeySource(nullptr);
    EXPECT_EQ(gameMode, modeCave);
    EXPECT_EQ(current().cells[5][6], ' ');
    EXPECT_EQ(press("pd"), 0);
    EXPECT_EQ(leftFor, modeWorldMap);
    EXPECT_EQ(player.playerRoomX, -1);
}

TEST_F(ExploreTest, EncountersComeOncePerPollWhenTheCounterHasRunOutAndFlashlightsHalveThem) {
    makeGrid(1, 1);
    placePlayer(5, 5);
    current().encounterLevel = '3'; // 400 / 52 = 7 without a flashlight, 800 / 52 = 15 with
    uint32_t state = 1; // a generator state whose next draw is a multiple of 7 but not of 15
    for (;; state++) {
        int32_t draw = static_cast<int32_t>(((state * 214013u + 2531011u) >> 16) & 0x7FFF);
        if (draw % 7 == 0 && draw % 15 != 0) break;
    }
    steps = 0;
    randState = state;
    itemCount(itemFlashlight) = 1;
    clockMinutes = 2;
    EXPECT_EQ(press(""), 1);
    EXPECT_TRUE(steps == 0 && gameMode == modeCave); // no battle
    randState = state;
    itemCount(itemFlashlight) = 0;
    bool battle = false;
    headlessSetPresentHook([&battle] { battle = battle || gameMode == modeBattle; });
    EXPECT_THROW(press(""), RunEnded); // a battle, waiting for the player's first command
    EXPECT_TRUE(battle);
    EXPECT_EQ(gameMode, modeCave); // the dungeon back on show however the battle ended
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
