// Pickups: what each kind of item text does, and the weapon rules.
#include "dungeon/dungeon.h"
#include "items/items.h"
#include "support/harness.h"

using PickupTest = GameTest;

TEST_F(PickupTest, FoodCountsKeysAreHeldAndScrollsGiveFiveCharges) {
    pickUpItem("Apple");
    pickUpItem("Apple");
    EXPECT_EQ(itemCount(itemApple), 3);
    pickUpItem("Red Key");
    pickUpItem("Red Key");
    EXPECT_EQ(itemCount(itemRedKey), 1);
    pickUpItem("Fire Spell");
    pickUpItem("Fire Spell");
    EXPECT_EQ(itemCount(itemFireSpell), 10);
    // Only the spelling maps have always used sets the lavender key.
    pickUpItem("Lavendar Key");
    EXPECT_EQ(itemCount(itemLavendarKey), 0);
    pickUpItem("Lavander Key");
    EXPECT_EQ(itemCount(itemLavendarKey), 1);
    // Letter case and trailing blanks count.
    pickUpItem("apple");
    pickUpItem("Apple ");
    pickUpItem("Pimp Cane");
    EXPECT_EQ(itemCount(itemApple), 3);
    EXPECT_EQ(itemCount(itemPimpCane), 0);
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
