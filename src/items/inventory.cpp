// The inventory screen: the held items with their counts, the highlighted one's description,
// and using it where the screen was opened.
#include "console/console.h"
#include "console/menu.h"
#include "game/game.h"
#include "items/items.h"

InventoryScreen inventoryScreen;

// The list on the left of the divider, a row an item (its name and count); the highlighted
// item's description on the right, where the messages of a use are typed too.
constexpr uint16_t listColumn = 2;
constexpr uint16_t listRow = 2;
constexpr uint16_t countColumn = 33;
constexpr uint16_t descriptionColumn = 37;
constexpr uint16_t descriptionRow = 2;
constexpr uint16_t messageTextColumn = 40;
constexpr int messageTextWidth = 37;

// Covers the longest description, and one cell more.
static const char descriptionBlank[] = "                                            ";
// Covers the message area before a message is typed.
static const char messageBlank[] = "                                      ";

// Battles refuse dungeon-only and held items, the dungeon battle-only and held ones, and
// the tavern everything.
static bool usableHere(ItemUse kind) {
    switch (inventoryScreen.opener) {
    case InventoryOpener::battle:
        return kind == ItemUse::battleAndDungeon || kind == ItemUse::battleOnly;
    case InventoryOpener::dungeon:
        return kind == ItemUse::battleAndDungeon || kind == ItemUse::dungeonOnly;
    default:
        return false;
    }
}

void buildInventoryList() {
    inventoryScreen.length = 0;
    clearScreen(0);
    for (int32_t &entry : inventoryScreen.list)
        entry = 0;
    inventoryScreen.cursor = 0;
    for (int32_t item = 1; item <= itemKinds; item++) {
        if (itemCount(item) != 0) inventoryScreen.list[inventoryScreen.length++] = item;
    }
}

static void drawInventory() {
    for (uint16_t row = 0; row < screenHeight; row++)
        printCharAt(glyphDoubleVertical, colourGrey, dividerColumn, row);
    for (int i = 0; i < inventoryScreen.length; i++) {
        const Item &item = itemCatalogue[inventoryScreen.list[i] - 1];
        bool usable = usableHere(item.kind);
        uint16_t colour = i == inventoryScreen.cursor
                              ? (usable ? colourChosen : colourChosenUnusable)
                              : (usable ? colourWhite : colourGrey);
        uint16_t row = static_cast<uint16_t>(listRow + i);
        printAt(item.name, colour, listColumn, row);
        printNumberAt(itemCount(inventoryScreen.list[i]), colour, countColumn, row);
    }
    const Item &chosen = itemCatalogue[inventoryScreen.list[inventoryScreen.cursor] - 1];
    printAt(descriptionBlank, colourBlack, descriptionColumn, descriptionRow);
    printAt(chosen.description, usableHere(chosen.kind) ? colourWhite : colourGrey,
            descriptionColumn, descriptionRow);
    printAt("Press left arrow to exit", colourWhite, 47, 23);
}

// At most one item per opening: a use always closes the screen, so no count shown goes stale.
// Returns the item used, or inventoryStaysOpen when it was refused.
static int32_t useHighlightedItem() {
    int32_t number = inventoryScreen.list[inventoryScreen.cursor];
    const Item &item = itemCatalogue[number - 1];
    printAt(messageBlank, colourBlack, descriptionColumn, descriptionRow);
    if (inventoryScreen.opener == InventoryOpener::tavern) {
        typeText("You can not use items at the Tavern", colourWhite, messageTextWidth,
                 messageTextColumn, descriptionRow);
        waitMillis(500);
        return inventoryStaysOpen;
    }
    if (!usableHere(item.kind)) {
        typeText("You have no use for this item here", colourWhite, messageTextWidth,
                 messageTextColumn, descriptionRow);
        waitMillis(500);
        return inventoryStaysOpen;
    }
    typeText("used     ", colourWhite, 5, messageTextColumn, descriptionRow);
    if (item.use != nullptr) item.use();
    itemCount(number)--;
    clearScreen(0);
    return number;
}

// One key: returns inventoryStaysOpen, or what the screen closes with.
static int32_t handleInventoryKey() {
    int32_t outcome = inventoryStaysOpen;
    KeyEvent event;
    readKeyEvent(&event);
    MenuKey key = takeMenuKey(event, inventoryScreen.cursor, inventoryScreen.length, MenuEnds::wrap,
                              [&outcome] { outcome = useHighlightedItem(); });
    if (key == MenuKey::left) {
        clearScreen(0);
        outcome = 0;
    }
    // The key that closes the screen is discarded once the opener is back on show.
    if (outcome == inventoryStaysOpen) discardPendingInput();
    return outcome;
}

int32_t inventoryFrame() {
    if (inventoryScreen.length == 0) {
        typeText("You have no items         ", colourWhite, 40, 32, 10);
        clearScreen(0);
        return 0;
    }
    drawInventory();
    return handleInventoryKey();
}

int32_t runInventory(InventoryOpener opener) {
    int32_t used = 0;
    {
        NestedScreen shown(modeInventory);
        inventoryScreen.opener = opener;
        buildInventoryList();
        if (inventoryScreen.length == 0) {
            // Said and gone: no key was read, so none is left to discard.
            inventoryFrame();
            return 0;
        }
        while ((used = inventoryFrame()) == inventoryStaysOpen) {
        }
    }
    discardPendingInput();
    return used;
}
