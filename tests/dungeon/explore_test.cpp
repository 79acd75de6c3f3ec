// Exploring: locked doors, the encounter cooldown, the flashlight running out, pickups.
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

TEST_F(ExploreTest, AWonEncounterHoldsTheNextOneOffForSeventyFiveSteps) {
    makeGrid(1, 1);
    placePlayer(5, 5);
    current().encounterLevel = '9';
    steps = 0;
    int32_t experience = game.player.experience;
    headlessSetKeySource([] { headlessPress(keyEnter); }); // attack until the battle is won
    for (int poll = 0; steps == 0; poll++) {
        ASSERT_LT(poll, 200);
        ASSERT_EQ(press(""), 1);
    }
    headlessSetKeySource(nullptr);
    EXPECT_GT(game.player.experience, experience);
    EXPECT_EQ(std::tuple(game.gameMode, steps), std::tuple(modeCave, 75));
    EXPECT_EQ(glyphAt(10, 7), 11); // the room is back on screen
    uint32_t state = game.randState;
    press("d");
    EXPECT_EQ(std::tuple(steps, game.randState), std::tuple(74, state)); // no roll while it counts
}

TEST_F(ExploreTest, WhenTheClockRunsOutEveryLitFlashlightGoesOut) {
    makeGrid(1, 1);
    placePlayer(5, 5);
    itemCount(itemFlashlight) = 2;
    flashlightClock.minutes = 0;
    flashlightClock.seconds = 0;
    printAt("0:01", colourWhite, flashlightClockColumn, flashlightClockRow);
    press("");
    EXPECT_EQ(itemCount(itemFlashlight), 1);
    press("");
    EXPECT_EQ(itemCount(itemFlashlight), 0);
    EXPECT_EQ(screenText(flashlightClockColumn, flashlightClockRow, 6), "      ");
}

using PickupTest = GameTest;

TEST_F(PickupTest, FoodCountsKeysAreHeldScrollsGiveChargesAndNamesMustMatchExactly) {
    // Only the spelling the maps have always used sets the lavender key.
    pickUpItem("Lavendar Key");
    EXPECT_EQ(itemCount(itemLavendarKey), 0);
    for (const char *text : {"Apple", "Apple", "Red Key", "Red Key", "Fire Spell", "Fire Spell",
                             "Lavander Key", "apple", "Apple ", "Pimp Cane"}) // case, blanks count
        pickUpItem(text);
    const std::pair<int, int> counts[] = {{itemApple, 3},
                                          {itemRedKey, 1},
                                          {itemFireSpell, 10},
                                          {itemLavendarKey, 1},
                                          {itemPimpCane, 0}};
    for (auto [item, count] : counts)
        EXPECT_EQ(itemCount(item), count) << item;
    // Farmed without end, counts stop at the most a count holds instead of turning negative.
    for (int visit = 0; visit < 200; visit++) {
        for (const char *text : {"Apple", "Fire Spell", "Flashlight"})
            pickUpItem(text);
    }
    for (int item : {itemApple, itemFireSpell, itemFlashlight})
        EXPECT_EQ(itemCount(item), 127) << item;
}

TEST_F(PickupTest, AWeaponReplacesTheOneHeldOnlyIfStrongerAndASecondFlashlightRestartsTheClock) {
    pickUpItem("Sword");
    EXPECT_STREQ(game.player.weaponName, "Sword");
    EXPECT_TRUE(textShownAt("Your weapon strength increased", 45, 4, 15));
    clearScreen(0);
    pickUpItem("Whip");
    EXPECT_STREQ(game.player.weaponName, "Sword");
    EXPECT_EQ(screenRow(4), "");
    int32_t swordStrength = game.player.weaponStrength;
    pickUpItem("Broadsword");
    EXPECT_GT(game.player.weaponStrength, swordStrength);

    pickUpItem("Flashlight");
    flashlightClock.minutes = 0;
    flashlightClock.seconds = 30;
    pickUpItem("Flashlight");
    EXPECT_EQ(itemCount(itemFlashlight), 2);
    EXPECT_EQ(flashlightClock.minutes * 60 + flashlightClock.seconds, 120);
}

TEST_F(ExploreTest, AnIdleStepWaitsForAKeyOrTheFlashlightClocksNextSecondAndNoLonger) {
    makeGrid(1, 1);
    placePlayer(5, 5);
    headlessSetClockStepMicros(0);
    // Nothing is due: the one poll waits for a key (none comes, so the run ends there).
    int presents = headlessPresentCount();
    EXPECT_THROW(press(""), RunEnded);
    EXPECT_EQ(headlessPresentCount() - presents, 1);

    // A flashlight lit: a few polls a second, each second ticked when it is due.
    itemCount(itemFlashlight) = 1;
    flashlightClock.minutes = 1;
    flashlightClock.seconds = 30;
    flashlightClock.accumMillis = 0;
    flashlightClock.lastMillis = timeOfDayMillis();
    for (int second = 29; second >= 27; second--) {
        uint64_t start = headlessNowMicros();
        int polls = 0;
        while (flashlightClock.seconds != second) {
            press("");
            polls++;
        }
        EXPECT_LE(polls, 3);
        EXPECT_NEAR(static_cast<double>(headlessNowMicros() - start), 1001000.0, 1000.0);
    }
}
