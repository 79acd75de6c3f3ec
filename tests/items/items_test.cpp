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
    void open(int32_t opener) {
        inventoryReturn = opener;
        gameMode = modeInventory;
        buildInventoryList();
    }
};

TEST_F(InventoryTest, TheFlashlightAndTheCaneAreNeverConsumed) {
    itemCount(itemFlashlight) = 1;
    itemCount(itemPimpCane) = 1;
    for (int32_t opener : {openedFromBattle, openedFromDungeon}) {
        open(opener);
        inventoryCursor = 3;
        for (uint16_t key : {keyEnter, keyDown, keyEnter})
            headlessPress(key);
        runUntilInputEnds([] { inventoryFrame(); });
        EXPECT_EQ(gameMode, modeInventory) << opener;
    }
    EXPECT_TRUE(itemCount(itemFlashlight) == 1 && itemCount(itemPimpCane) == 1);
}

TEST_F(InventoryTest, WithNothingHeldItSaysSoAndReturnsAtOnce) {
    for (int8_t &count : itemCounts)
        count = 0;
    bool said = false;
    headlessSetPresentHook([&] { said = said || textShownAt("You have no items", 32, 10, 15); });
    open(openedFromBattle);
    inventoryFrame();
    EXPECT_TRUE(said);
    EXPECT_EQ(gameMode, modeBattle);
    EXPECT_EQ(screenRow(10), "");
    open(0); // an opener the screen does not know cannot leave it stuck
    inventoryFrame();
    EXPECT_EQ(gameMode, modeTavern);
}
