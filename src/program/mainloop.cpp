// Start-up, the game-mode loop and the farewell.
#include "program/program.h"

#include <algorithm>
#include <iterator>

#include "battle/battle.h"
#include "console/console.h"
#include "dungeon/dungeon.h"
#include "effects/particles.h"
#include "frontend/frontend.h"
#include "game/game.h"
#include "items/items.h"
#include "save/save.h"
#include "town/town.h"

const char farewellText[] = "where are you goin?  Fine, ";

// How long a message written during start-up (a picture that could not be read) stays up.
static constexpr uint32_t startUpMessageMillis = 1000;

// Start-up has drawn nothing but such messages: if there are any, the player gets to read
// them before the screen is cleared.
static void showStartUpMessages() {
    for (const auto &row : console.screenCells) {
        for (const Cell &cell : row) {
            if (cell.glyph != ' ') {
                waitMillis(startUpMessageMillis);
                return;
            }
        }
    }
}

void startUp() {
    // Every record of the whole run back to its start values, as a fresh program holds them:
    // tests start up again and again.
    resetGameRun();
    townState = TownState{};
    flashlightClock = FlashlightClock{};
    battleState = BattleState{};
    battleCarryOver = BattleCarryOver{};
    resetConsole();

    setConsoleSize(80, 25);
    setConsoleTitle("Brinewort: The Return of ZARG");
    setUpMonsters();
    showStartUpMessages();
    resetTavern();
    setCursorVisible(false);
    resetParticleSystem(&particles);
    resetTitleScreen();
    buildItemCatalogue();
    removeStaleSaveFile();
}

// The handler of a top-level mode, and the mode it hands on to.
static GameMode runMode(GameMode mode) {
    if (const Dungeon *dungeon = dungeonOfMode(mode)) {
        GameMode next = enterDungeon(dungeon->mapTag);
        // The dungeon hands on the title only after the ending: it starts over, intro and all.
        if (next == modeTitle) resetTitleScreen();
        return next;
    }
    switch (mode) {
    case modeTitle:
        return runTitleScreen();
    case modeTavern:
        return runTavern();
    case modeWorldMap:
        return runWorldMap();
    default:
        // Battles and the inventory run inside the screen that opened them; an unknown value
        // has no screen either: the loop only tests gameRunning.
        return mode;
    }
}

void runCurrentMode() {
    game.gameMode = runMode(game.gameMode);
}

int runProgram() {
    startUp();
    while (game.gameRunning)
        runCurrentMode();
    printAt(farewellText, colourRed, 12, 20);
    return 0;
}
