// Items: the catalogue of the seventeen kinds of item with their effects, and the
// inventory screen that lists and uses what the player holds.
#pragma once

#include <cstdint>

#include "game/game.h"

// Item numbers (1..17); the count of item n is itemCounts[n - 1].
enum ItemNumber : int32_t {
    itemApple = 1,
    itemCookie,
    itemFishSandwich,
    itemFlashlight,
    itemRedKey,
    itemGreenKey,
    itemYellowKey,
    itemBlueKey,
    itemLightGrayKey,
    itemLavendarKey,
    itemPurpleKey,
    itemWhiteKey,
    itemFireSpell,
    itemWindSpell,
    itemQuakeSpell,
    itemLightningSpell,
    itemPimpCane,
};

// One kind of item.
struct Item {
    char name[16];
    void (*use)(); // the effect when used; null for items that are only held
    char kind; // where it may be used: 'a' battle and dungeon, 'b' battle, 'm' dungeon, 'k' never
    char description[80];
};

// Who opened the inventory (inventoryReturn).
constexpr int32_t openedFromBattle = 1;
constexpr int32_t openedFromDungeon = 2;
constexpr int32_t openedFromTavern = 3;

// --- Items, for the whole run ---
extern Item itemCatalogue[itemKinds]; // item n is itemCatalogue[n - 1]; built at start-up

// --- Inventory screen, for one opening ---
extern int32_t inventoryList[itemKinds + 1]; // held item numbers in catalogue order, then 0
extern uint8_t inventoryLength;              // entries in inventoryList
extern int8_t inventoryCursor;               // the highlighted entry

// The count of an item, by number.
int8_t &itemCount(int32_t item);

// Fills the catalogue and gives the starting counts (an Apple, a Cookie, a Fish Sandwich).
void buildItemCatalogue();
void useApple();
void useCookie();
void useFishSandwich();
void useFlashlight();
void useFireSpell();
void useWindSpell();
void useQuakeSpell();
void useLightningSpell();

// Lists the held items on a cleared screen, cursor on the first.
void buildInventoryList();
// One step of the inventory screen: draw, one key event.
void inventoryFrame();
// Clears the screen and goes back to whoever opened the inventory.
void closeInventory();
