// The inventory screen: the held items with their counts, the highlighted one's description,
// and using it where the screen was opened.
#include "battle/battle.h"
#include "console/console.h"
#include "items/items.h"

int32_t inventoryList[itemKinds + 1];
uint8_t inventoryLength = 0;
int8_t inventoryCursor = 0;

// Covers the longest description, and one cell more.
static const char descriptionBlank[] = "                                            ";
// Covers the message area before a message is typed.
static const char messageBlank[] = "                                      ";

// Battles refuse dungeon-only and held items, the dungeon battle-only and held ones, and
// the tavern everything.
static bool usableHere(char kind) {
    switch (inventoryReturn) {
    case openedFromBattle:
        return kind != 'm' && kind != 'k';
    case openedFromDungeon:
        return kind != 'b' && kind != 'k';
    default:
        return false;
    }
}

static void returnToOpener() {
    switch (inventoryReturn) {
    case openedFromBattle:
        gameMode = modeBattle;
        break;
    case openedFromDungeon:
        gameMode = modeBattleOver; // the dungeon waits for this and puts its own mode back
        break;
    default:
        // The tavern; also where an unknown opener goes, so the screen can always be left.
        gameMode = modeTavern;
        break;
    }
}

void buildInventoryList() {
    inventoryLength = 0;
    clearScreen(0);
    for (int32_t &entry : inventoryList)
        entry = 0;
    inventoryCursor = 0;
    for (int32_t item = 1; item <= itemKinds; item++) {
        if (itemCount(item) != 0) inventoryList[inventoryLength++] = item;
    }
}

void closeInventory() {
    clearScreen(0);
    returnToOpener();
}

static void drawInventory() {
    for (uint16_t row = 0; row < screenHeight; row++)
        printCharAt(static_cast<char>(186), 7, 35, row);
    for (int i = 0; i < inventoryLength; i++) {
        const Item &item = itemCatalogue[inventoryList[i] - 1];
        bool usable = usableHere(item.kind);
        uint16_t colour = i == inventoryCursor ? (usable ? 240 : 112) : (usable ? 15 : 7);
        uint16_t row = static_cast<uint16_t>(i + 2);
        printAt(item.name, colour, 2, row);
        printNumberAt(itemCount(inventoryList[i]), colour, 33, row);
    }
    const Item &chosen = itemCatalogue[inventoryList[inventoryCursor] - 1];
    printAt(descriptionBlank, 0, 37, 2);
    printAt(chosen.description, usableHere(chosen.kind) ? 15 : 7, 37, 2);
    printAt("Press left arrow to exit", 15, 47, 23);
}

// At most one item per opening: a use always closes the screen, so no count shown goes stale.
static void useHighlightedItem() {
    int32_t number = inventoryList[inventoryCursor];
    const Item &item = itemCatalogue[number - 1];
    printAt(messageBlank, 0, 37, 2);
    if (inventoryReturn == openedFromTavern) {
        typeText("You can not use items at the Tavern", 15, 37, 40, 2);
        waitMillis(500);
        return;
    }
    if (!usableHere(item.kind)) {
        typeText("You have no use for this item here", 15, 37, 40, 2);
        waitMillis(500);
        return;
    }
    typeText("used     ", 15, 5, 40, 2);
    if (item.use != nullptr) item.use();
    if (inventoryReturn == openedFromBattle) playerTurn = 0;
    itemCount(number)--;
    closeInventory();
}

static void handleInventoryKey() {
    KeyEvent event;
    readKeyEvent(&event);
    if (event.keyDown) {
        switch (event.virtualKey) {
        case keyEnter:
            useHighlightedItem();
            break;
        case keyLeft:
            closeInventory();
            break;
        case keyUp:
            inventoryCursor--;
            break;
        case keyDown:
            inventoryCursor++;
            break;
        default:
            break;
        }
    }
    discardPendingInput();
    if (inventoryCursor == inventoryLength) inventoryCursor = 0;
    if (inventoryCursor < 0) inventoryCursor = static_cast<int8_t>(inventoryLength - 1);
}

void inventoryFrame() {
    if (inventoryLength == 0) {
        typeText("You have no items         ", 15, 40, 32, 10);
        clearScreen(0);
        returnToOpener();
        return;
    }
    drawInventory();
    handleInventoryKey();
}
