// The item catalogue and the inventory screen opened from a battle, the dungeon and the tavern.
#include "battle/battle.h"
#include "items/items.h"
#include "support/harness.h"

class InventoryTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        buildItemCatalogue();
    }
    static void open(InventoryOpener opener) {
        inventoryScreen.opener = opener;
        buildInventoryList();
    }
    static void frames(int count) {
        for (int i = 0; i < count; i++)
            ASSERT_EQ(inventoryFrame(), inventoryStaysOpen);
    }
    // The item the screen closes with, or 0.
    static int32_t untilClosed() {
        int32_t used = inventoryStaysOpen;
        while (used == inventoryStaysOpen)
            used = inventoryFrame();
        return used;
    }
};

TEST_F(InventoryTest, InBattleHeldItemsAreRefusedAndUsingAnythingEndsTheTurn) {
    itemCount(itemRedKey) = 1;
    itemCount(itemFireSpell) = 1;
    battleState.playerTurn = 1;
    open(InventoryOpener::battle);
    for (uint16_t key : {keyDown, keyDown, keyDown, keyEnter})
        headlessPress(key);
    frames(7);
    EXPECT_TRUE(textShownAt("Red Key", 2, 5, 112)); // grey: of no use here
    EXPECT_TRUE(textShownAt("Apple", 2, 2, 15));
    EXPECT_TRUE(textShownAt("You have no use for this item here", 40, 2, 15));
    EXPECT_TRUE(itemCount(itemRedKey) == 1 && battleState.playerTurn == 1);
    headlessPress(keyDown);
    headlessPress(keyEnter);
    EXPECT_EQ(untilClosed(), itemFireSpell);
    EXPECT_TRUE(battleState.playerTurn == 0 && battleState.fireSpellPending == 1 &&
                itemCount(itemFireSpell) == 0);
    battleState.playerTurn = 1; // the last scroll has left the list; food ends the turn too
    open(InventoryOpener::battle);
    EXPECT_EQ(inventoryScreen.length, 4);
    headlessPress(keyEnter);
    untilClosed();
    EXPECT_EQ(battleState.playerTurn, 0);
}

TEST_F(InventoryTest, InTheDungeonTheCursorWrapsScrollsAreRefusedAndFoodIsUsed) {
    itemCount(itemWindSpell) = 5;
    player.hp = player.maxHp - 5;
    open(InventoryOpener::dungeon);
    headlessPress(keyUp);
    headlessPress(keyEnter);
    frames(3);
    EXPECT_EQ(inventoryScreen.cursor, 3);
    EXPECT_TRUE(textShownAt("You have no use for this item here", 40, 2, 15));
    headlessPress(keyDown);
    frames(1); // the release redraws: the message gives way to the shorter description
    EXPECT_EQ(screenText(37, 2, 43), "Send a tornado at the enemy" + std::string(16, ' '));
    frames(2);
    EXPECT_EQ(inventoryScreen.cursor, 0);
    EXPECT_TRUE(textShownAt("Apple", 2, 2, 240));
    EXPECT_TRUE(textShownAt("Replenishes a small portion of health", 37, 2, 15));
    headlessPress(keyEnter);
    EXPECT_EQ(untilClosed(), itemApple);
    EXPECT_TRUE(player.hp == player.maxHp && itemCount(itemApple) == 0);
    EXPECT_EQ(itemCount(itemWindSpell), 5);
}

TEST_F(InventoryTest, InTheTavernNothingIsUsableAndLeftGoesBack) {
    open(InventoryOpener::tavern);
    headlessPress(keyEnter);
    frames(1);
    EXPECT_TRUE(textShownAt("Apple", 2, 2, 112));
    EXPECT_TRUE(textShownAt("Cookie", 2, 3, 7));
    EXPECT_TRUE(textShownAt("You can not use items at the Tavern", 40, 2, 15));
    EXPECT_EQ(itemCount(itemApple), 1);
    headlessPress(keyLeft);
    EXPECT_EQ(untilClosed(), 0);
    EXPECT_EQ(screenRow(2), "");
}

TEST_F(InventoryTest, TheFlashlightAndTheCaneAreNeverConsumed) {
    itemCount(itemFlashlight) = 1;
    itemCount(itemPimpCane) = 1;
    for (InventoryOpener opener : {InventoryOpener::battle, InventoryOpener::dungeon}) {
        open(opener);
        inventoryScreen.cursor = 3;
        for (uint16_t key : {keyEnter, keyDown, keyEnter})
            headlessPress(key);
        bool closed = false;
        runUntilInputEnds([&closed] { closed = closed || inventoryFrame() != inventoryStaysOpen; });
        EXPECT_FALSE(closed) << static_cast<int>(opener);
    }
    EXPECT_TRUE(itemCount(itemFlashlight) == 1 && itemCount(itemPimpCane) == 1);
}

TEST_F(InventoryTest, WithNothingHeldItSaysSoAndReturnsAtOnceToItsOpener) {
    for (int8_t &count : itemCounts)
        count = 0;
    bool said = false;
    headlessSetPresentHook([&] {
        said = said || (gameMode == modeInventory && textShownAt("You have no items", 32, 10, 15));
    });
    gameMode = modeBattle;
    EXPECT_EQ(runInventory(InventoryOpener::battle), 0);
    EXPECT_TRUE(said);
    EXPECT_EQ(gameMode, modeBattle);
    EXPECT_EQ(screenRow(10), "");
}
