// Start-up, the game-mode loop and the farewell.
#include "console/console.h"
#include "effects/particles.h"
#include "frontend/frontend.h"
#include "game/game.h"
#include "town/town.h"

const char farewellText[] = "where are you goin?  Fine, ";

static void fillNpcTable() {
    npcs[0] = makeNpc("Goro", 1, 7, 2, 11, 3, 0);
    npcs[1] = makeNpc("Pogo", 1, 8, 5, 31, 7, 0);
    npcs[2] = makeNpc("Vurgle", 1, 3, 5, 21, 7, 0);
    npcs[3] = makeNpc("Arkum", 1, 2, 9, 41, 1, 0);
    npcs[4] = makeNpc("Dele", 1, 1, 0, 51, 9, 0);
    npcs[5] = makeNpc("Pogo", 1, 13, 3, 61, 5, 0);
    npcs[6] = makeNpc("Arkum", 1, 2, 9, 71, 1, 0);
    npcs[7] = makeNpc("Luba", 2, 13, 3, 81, 1, 0);
    npcs[8] = makeNpc("Bemi", 2, 2, 4, 91, 1, 0);
    npcs[9] = makeNpc("Nerman", 2, 8, 1, 101, 1, 0);
    npcs[10] = makeNpc("Xilco", 2, 8, 10, 111, 1, 0);
    npcs[11] = makeNpc("Murdik", 2, 4, 12, 121, 1, 0);
    npcs[12] = makeNpc("Anook", 2, 1, 13, 131, 1, 0);
    npcs[13] = makeNpc("Ghali", 3, 14, 10, 141, 7, 0);
    npcs[14] = makeNpc("Ghali", 3, 13, 3, 151, 7, 0);
    npcs[15] = makeNpc("Ghali", 3, 5, 7, 161, 1, 0);
}

static void setStartingItemCounts() {
    for (int8_t &count : itemCounts)
        count = 0;
    itemCounts[0] = 1; // Apple
    itemCounts[1] = 1; // Cookie
    itemCounts[2] = 1; // Fish Sandwich
}

void startUp() {
    // Values that a fresh program holds from its start, put back for a second start-up.
    randState = 1;
    inventoryReturn = 0;
    worldMapCursor = 0;
    bartenderLine = 0;
    resetConsole();

    gameRunning = 1;
    setConsoleSize(80, 25);
    setConsoleTitle("Brinewort: The Return of ZARG");
    particleHook = fadeParticle;
    initPlayer();
    mollochDefeats = 1;
    agamirDefeats = 1;
    hardMode = 0;
    clearDefeatedBosses();
    resetTavern();
    gameMode = modeTitle;
    fillNpcTable();
    setCursorVisible(false);
    // The shared pool lives for the whole run; a second start-up reuses it.
    if (particles == nullptr) {
        particles = createParticleSystem();
    } else {
        resetParticleSystem(particles);
    }
    resetTitleScreen();
    setStartingItemCounts();
}

// Stands in for the dungeons, which are not built yet: says so and goes back to the world
// map, so that a player who walks there is never left in a loop with nothing to do.
static void runUnbuiltDungeon() {
    clearScreen(0);
    printAt("This part of the adventure is still being written.", 15, 15, 11);
    printAt("Press Enter to return to the world map.", 7, 20, 13);
    KeyEvent event;
    do {
        readKeyEvent(&event);
    } while (!(event.keyDown && event.virtualKey == keyEnter));
    discardPendingInput();
    clearScreen(0);
    gameMode = modeWorldMap;
}

void runCurrentMode() {
    switch (gameMode) {
    case modeTitle:
        runTitleScreen();
        break;
    case modeTavern:
        runTavern();
        break;
    case modeCave:
    case modeSewer:
    case modeCastle:
        runUnbuiltDungeon();
        break;
    case modeWorldMap:
        runWorldMap();
        break;
    default:
        // Battles and the inventory arrive with the dungeons. modeBattleOver and unknown
        // values have no screen: the loop only tests gameRunning.
        break;
    }
}

int runProgram() {
    startUp();
    while (gameRunning != 0)
        runCurrentMode();
    printAt(farewellText, 4, 12, 20);
    return 0;
}
