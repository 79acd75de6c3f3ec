// The tavern, hub of the game: the bartender's picture, his talk, a bed, the save, the
// status screen, the way out to the world map, and Quit.
#include <cstdio>
#include <string>

#include "console/console.h"
#include "console/menu.h"
#include "game/game.h"
#include "items/items.h"
#include "resources/datapath.h"
#include "resources/resources.h"
#include "save/save.h"
#include "town/town.h"

TownState townState;

// Each padded to 40 characters (Save's to 41) so that it covers the one before.
static const char *const tavernDescriptions[tavernMenuEntries] = {
    "Leave the tavern and enter the world map", "Talk to the Bartender                   ",
    "Get a room and rest for the night       ", "Save your progress                       ",
    "Display your character status           ", "Quit the game                           ",
};
static const char blankDescription[] = "                                        ";

// The lower part of the tavern, under the double line across row 16: the menu on the left, the
// chosen entry's description (and the news of Sleep and of waking up) on the right.
constexpr uint16_t frameRow = 16;
constexpr uint16_t menuColumn = 2;
constexpr uint16_t menuRow = 18;
constexpr uint16_t descriptionColumn = 37;

// One row of the talk area's blank, and the whole of it: a row, a line feed, a row.
static const std::string talkRowBlank(talkBlankWidth, ' ');
static const std::string talkAreaBlankText = talkRowBlank + "\n" + talkRowBlank;
static const char *const talkAreaBlank = talkAreaBlankText.c_str();

// The picture: the bartender in white (columns 0 to 39, and his arms on the counter), the
// room in brown: a bottle on its shelf, the counter, and a door frame at columns 63 to 79.
static const char doorFrameRow[] =
    "                                                               |               |";
static const char *const bartenderHead[] = {
    "                           ,#######,    ",  "                          ( (o) (o) )   ",
    "                          (    >    )   ",  "                           \\  ===  /    ",
    "                       ____/|     |\\____",
};
static const char *const bottleShelf[] = {
    "           []          |               |",  "           ||          |               |",
    "         /    \\        |               |", "         |GROG|        |               |",
    "      ===|____|===     |               |",
};
static const char *const bartenderBody[] = {
    "|     |     |     |     |  |  \\_/  |    ",
    "|     |     |     |     |  |   o   |    ",
    "|     |     |     |     |  |   o   |    ",
    "|_____|_____|_____|_____|  |_______|    ",
};
static const char doorFrameRight[] = "                       |               |";
static const char floorLine[] =
    "================================================================================";

void resetTavern() {
    townState.tavernCursor = 0;
    clearScreen(0);
}

void drawTavernFrame() {
    for (uint16_t row = frameRow + 1; row < screenHeight; row++)
        printCharAt(glyphDoubleVertical, colourGrey, dividerColumn, row);
    for (uint16_t column = 0; column < screenWidth; column++) {
        printCharAt(column == dividerColumn ? glyphDoubleTeeDown : glyphDoubleHorizontal,
                    colourGrey, column, frameRow);
    }
}

void drawBartender() {
    printAt(doorFrameRow, colourBrown, 0, 0);
    printAt(doorFrameRow, colourBrown, 0, 1);
    for (uint16_t i = 0; i < 5; i++) {
        printAt(bartenderHead[i], colourWhite, 0, static_cast<uint16_t>(2 + i));
        printAt(bottleShelf[i], colourBrown, 40, static_cast<uint16_t>(2 + i));
    }
    printAt("_________________________", colourBrown, 0, 7);
    printAt("(___)    (___)", colourWhite, 25, 7);
    printAt("_______________________ |  O            |", colourBrown, 39, 7);
    for (uint16_t i = 0; i < 4; i++) {
        printAt(bartenderBody[i], colourWhite, 0, static_cast<uint16_t>(8 + i));
        printAt(doorFrameRight, colourBrown, 40, static_cast<uint16_t>(8 + i));
    }
    printAt(floorLine, colourBrown, 0, 12);
}

void drawTavernMenu() {
    drawMenu(tavernMenu, tavernMenuEntries, townState.tavernCursor, menuColumn, menuRow);
    bool known = townState.tavernCursor >= 0 && townState.tavernCursor < tavernMenuEntries;
    printAt(known ? tavernDescriptions[townState.tavernCursor] : blankDescription, colourWhite,
            descriptionColumn, menuRow);
    printAt(blankDescription, colourWhite, descriptionColumn, menuRow + 1);
    printAt(blankDescription, colourWhite, descriptionColumn, menuRow + 2);
    printAt(" ", colourBlack, 0, 0); // the cursor parked on a blank, as the tavern always has
}

void talkToBartender() {
    printAt(talkAreaBlank, colourWhite, talkColumn, talkRow);
    char tag[16];
    std::snprintf(tag, sizeof tag, "Tag%d", townState.bartenderLine);
    TextSection line = readTextSection("BartenderScripts.txt", tag);
    // In the talk area, where his line would be: the tavern draws over the message area.
    showDataFileProblem("BartenderScripts.txt", line.problem, nullptr, talkAreaProblem);
    typeText(line.text.get(), colourWhite, talkWidth, talkColumn, talkRow);
    if (townState.bartenderLine < 4) townState.bartenderLine++;
}

// "Cannot save game" in the talk area, the reason under it where the next Talk clears it again
// (the blank's second row reaches only column 60), and the whole of it on the error stream.
static void showSaveFailure(const char *reason) {
    printAt(talkRowBlank.c_str(), colourWhite, talkColumn, talkRow);
    printAt(talkRowBlank.c_str(), colourWhite, talkColumn, talkRow + 1);
    printAt("Cannot save game", colourWhite, talkColumn, talkRow);
    constexpr size_t shownReason = talkBlankWidth - talkColumn;
    std::string shown = printableText(reason);
    if (shown.size() > shownReason) shown = shown.substr(0, shownReason - 3) + "...";
    printAt(shown.c_str(), colourWhite, talkColumn, talkRow + 1);
    char line[600];
    std::snprintf(line, sizeof line, "%s: Cannot save game: %s",
                  printableText(saveFilePath()).c_str(), printableText(reason).c_str());
    reportErrorLine(line);
}

// A failed save says why and stays in the talk area; a good one is announced for a second.
void saveFromTavern() {
    printAt(talkAreaBlank, colourWhite, talkColumn, talkRow);
    SaveOutcome saved = saveGame();
    if (!saved) {
        showSaveFailure(saved.reason);
        return;
    }
    printAt("Progress Saved", colourWhite, talkColumn, talkRow);
    waitMillis(1000);
    printAt(talkAreaBlank, colourWhite, talkColumn, talkRow);
}

static GameMode openWorldMap() {
    clearScreen(0);
    return modeWorldMap;
}

static GameMode talkAtTheBar() {
    talkToBartender();
    return modeTavern;
}

static GameMode restForTheNight() {
    game.player.hp = game.player.maxHp;
    game.player.sp = game.player.maxSp;
    clearScreen(0);
    typeText("Your Health and SP have been restored            ", colourWhite, 31,
             descriptionColumn, menuRow);
    townState.tavernCursor = 0;
    return modeTavern;
}

static GameMode saveProgress() {
    saveFromTavern();
    return modeTavern;
}

static GameMode showStatus() {
    showStatusScreen();
    return modeTavern;
}

static GameMode quitGame() {
    game.gameRunning = false;
    return modeTavern;
}

const MenuEntry<GameMode (*)()> tavernMenu[tavernMenuEntries] = {
    {" World Map ", openWorldMap}, {" Talk ", talkAtTheBar}, {" Sleep ", restForTheNight},
    {" Save ", saveProgress},      {" Status ", showStatus}, {" Quit ", quitGame},
};

GameMode handleTavernKey() {
    GameMode next = modeTavern;
    KeyEvent event;
    readKeyEvent(&event);
    takeMenuKey(event, townState.tavernCursor, tavernMenuEntries, MenuEnds::wrap,
                [&next] { next = actOnEntry(tavernMenu, townState.tavernCursor, modeTavern); });
    if (event.keyDown && event.character == 'i') {
        clearScreen(0);
        next = modeInventory;
    }
    discardPendingInput();
    return next;
}

GameMode runTavern() {
    if (game.player.hp < 1) {
        // Knocked out: the menu starts over on its first entry.
        townState.tavernCursor = 0;
        typeText("You wake up in the Tavern after being knocked unconscious                  ",
                 colourWhite, 31, descriptionColumn, menuRow);
        game.player.hp = game.player.maxHp;
    }
    drawTavernFrame();
    drawBartender();
    drawTavernMenu();
    GameMode next = handleTavernKey();
    if (next != modeInventory) return next;
    // Nothing can be used here, so what the inventory returns does not matter.
    runInventory(InventoryOpener::tavern);
    return modeTavern;
}
