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

// Where an item may be used.
enum class ItemUse : uint8_t { battleAndDungeon, battleOnly, dungeonOnly, never };

// The spell a scroll holds: the battle casts it in the frames after the turn it is used in.
enum class ScrollSpell : uint8_t { none, fire, wind, quake, lightning };

// One kind of item.
struct Item {
    char name[16];
    void (*use)(); // the effect when used; null for items that are only held, and for scrolls
    ItemUse kind;
    char description[80];
    ScrollSpell spell = ScrollSpell::none; // a scroll's spell
};

// Who opened the inventory: what may be used depends on it.
enum class InventoryOpener : int32_t { battle = 1, dungeon = 2, tavern = 3 };

// The seventeen kinds; item n is itemCatalogue[n - 1].
extern const Item itemCatalogue[itemKinds];

// The inventory screen while it is open; buildInventoryList fills it at each opening.
struct InventoryScreen {
    InventoryOpener opener = InventoryOpener::tavern; // who opened it
    int32_t list[itemKinds + 1] = {}; // held item numbers in catalogue order, then 0
    uint8_t length = 0;               // entries in list
    int8_t cursor = 0;                // the highlighted entry
};

// --- Inventory screen, for one opening ---
extern InventoryScreen inventoryScreen;

// The count of an item, by number.
int8_t &itemCount(int32_t item);

// Gives the starting counts: none of anything but the food (an Apple, a Cookie, a Fish Sandwich).
void buildItemCatalogue();
void useApple();
void useCookie();
void useFishSandwich();
void useFlashlight();

// The inventory screen, from its opening to its closing (left arrow, or an item used). Returns
// the number of the item used, at most one per opening, or 0.
int32_t runInventory(InventoryOpener opener);
// Lists the held items on a cleared screen, cursor on the first.
void buildInventoryList();
// inventoryFrame's answer while the screen stays open.
constexpr int32_t inventoryStaysOpen = -1;
// One step of the inventory screen: draw, one key event. Returns inventoryStaysOpen, or what
// runInventory returns once the key has closed the screen.
int32_t inventoryFrame();
