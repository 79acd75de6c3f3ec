// Pickups: what each kind of item text does, and the weapon rules.
#include "dungeon/dungeon.h"
#include "items/items.h"
#include "support/harness.h"

using PickupTest = GameTest;

TEST_F(PickupTest, FoodCountsKeysAreHeldScrollsGiveFiveChargesAndNamesMustMatchExactly) {
    for (const char *text : {"Apple", "Apple", "Red Key", "Red Key", "Fire Spell", "Fire Spell"})
        pickUpItem(text);
    EXPECT_EQ(itemCount(itemApple), 3);
    EXPECT_EQ(itemCount(itemRedKey), 1);
    EXPECT_EQ(itemCount(itemFireSpell), 10);
    // Only the spelling the maps have always used sets the lavender key.
    pickUpItem("Lavendar Key");
    EXPECT_EQ(itemCount(itemLavendarKey), 0);
    pickUpItem("Lavander Key");
    EXPECT_EQ(itemCount(itemLavendarKey), 1);
    for (const char *text : {"apple", "Apple ", "Pimp Cane"}) // case and blanks count
        pickUpItem(text);
    EXPECT_EQ(itemCount(itemApple), 3);
    EXPECT_EQ(itemCount(itemPimpCane), 0);
    // Farmed without end, counts stop at the most a count holds instead of turning negative.
    for (int visit = 0; visit < 200; visit++) {
        for (const char *text : {"Apple", "Fire Spell", "Flashlight"})
            pickUpItem(text);
    }
    for (int item : {itemApple, itemFireSpell, itemFlashlight})
        EXPECT_EQ(itemCount(item), 127) << item;
}

TEST_F(PickupTest, AWeaponReplacesTheOneHeldOnlyIfItIsStronger) {
    pickUpItem("Sword");
    EXPECT_STREQ(player.weaponName, "Sword");
    EXPECT_EQ(player.weaponStrength, 6);
    EXPECT_TRUE(textShownAt("Your weapon strength increased", 45, 4, 15));
    clearScreen(0);
    pickUpItem("Whip");
    EXPECT_STREQ(player.weaponName, "Sword");
    EXPECT_EQ(screenRow(4), "");
    pickUpItem("Broadsword");
    EXPECT_EQ(player.weaponStrength, 16);
}

TEST_F(PickupTest, ASecondFlashlightRestartsTheClockAndBurnsBeside) {
    pickUpItem("Flashlight");
    clockMinutes = 0;
    clockSeconds = 30;
    pickUpItem("Flashlight");
    EXPECT_EQ(itemCount(itemFlashlight), 2);
    EXPECT_EQ(clockMinutes * 60 + clockSeconds, 120);
}
