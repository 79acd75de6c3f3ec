// Start-up, the game-mode loop and the farewell.
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
    for (const auto &row : screenCells) {
        for (const Cell &cell : row) {
            if (cell.glyph != ' ') {
                waitMillis(startUpMessageMillis);
                return;
            }
        }
    }
}

void startUp() {
    // Values that a fresh program holds from its start, put back for a second start-up.
    randState = 1;
    townState = TownState{};
    flashlightClock = FlashlightClock{};
    battleState = BattleState{};
    resetConsole();

    gameRunning = 1;
    setConsoleSize(80, 25);
    setConsoleTitle("Brinewort: The Return of ZARG");
    particleHook = fadeParticle;
    initPlayer();
    mollochDefeats = 1;
    agamirDefeats = 1;
    setUpBosses();
    hardMode = 0;
    clearDefeatedBosses();
    setUpMonsters();
    showStartUpMessages();
    resetTavern();
    gameMode = modeTitle;
    std::copy(std::begin(npcTable), std::end(npcTable), npcs);
    setCursorVisible(false);
    // The shared pool lives for the whole run; a second start-up reuses it.
    if (particles == nullptr) {
        particles = createParticleSystem();
    } else {
        resetParticleSystem(particles);
    }
    resetTitleScreen();
    buildItemCatalogue();
    removeStaleSaveFile();
}

// The handler of a top-level mode, and the mode it hands on to.
static GameMode runMode(int32_t mode) {
    switch (mode) {
    case modeTitle:
        return runTitleScreen();
    case modeTavern:
        return runTavern();
    case modeCave:
        return enterDungeon("MapTag1");
    case modeSewer:
        return enterDungeon("MapTag2");
    case modeCastle:
        return enterDungeon("MapTag3");
    case modeWorldMap:
        return runWorldMap();
    default:
        // Battles and the inventory run inside the screen that opened them; an unknown value
        // has no screen either: the loop only tests gameRunning.
        return static_cast<GameMode>(mode);
    }
}

void runCurrentMode() {
    gameMode = runMode(gameMode);
}

NestedScreen::NestedScreen(GameMode inner) : opener(gameMode) {
    gameMode = inner;
}

NestedScreen::~NestedScreen() {
    gameMode = opener;
}

int runProgram() {
    startUp();
    while (gameRunning != 0)
        runCurrentMode();
    printAt(farewellText, 4, 12, 20);
    return 0;
}
