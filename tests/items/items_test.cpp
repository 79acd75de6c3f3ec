// The inventory screen at its edges: items that are never used up, nothing held, an opener
// it does not know.
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
};

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
    EXPECT_EQ(itemCount(itemFlashlight), 1);
    EXPECT_EQ(itemCount(itemPimpCane), 1);
}

TEST_F(InventoryTest, WithNothingHeldItSaysSoAndReturnsAtOnceToItsOpener) {
    for (int8_t &count : game.itemCounts)
        count = 0;
    bool said = false;
    headlessSetPresentHook([&] {
        said = said ||
               (game.gameMode == modeInventory && textShownAt("You have no items", 32, 10, 15));
    });
    game.gameMode = modeBattle;
    EXPECT_EQ(runInventory(InventoryOpener::battle), 0);
    EXPECT_TRUE(said);
    EXPECT_EQ(game.gameMode, modeBattle);
    EXPECT_EQ(screenRow(10), "");
}
