// The title screen: two goblets spraying sparks slide past each other, the title is typed,
// then the main menu takes the keys.
#include <cmath>

#include "battle/battle.h"
#include "console/console.h"
#include "console/menu.h"
#include "frontend/frontend.h"
#include "game/game.h"
#include "save/save.h"
#include "town/town.h"

TitleScreen titleScreen;

// 178 is the dense shade; the monogram "BZ" sits in the goblet's bowl. Rows are always
// written whole, blanks included, so a goblet moving by one column erases its old cells.
#define SHADE "\xB2"
const char titleGoblet[gobletRows][13] = {
    "            ",
    " " SHADE "        " SHADE " ",
    "  " SHADE SHADE SHADE SHADE SHADE SHADE SHADE SHADE "  ",
    "   " SHADE "    " SHADE "   ",
    "    " SHADE "BZ" SHADE "    ",
    "    " SHADE "  " SHADE "    ",
    "    " SHADE "  " SHADE "    ",
    "     " SHADE SHADE "     ",
    "     " SHADE SHADE "     ",
    "            ",
};
#undef SHADE

// The intro draws as fast as it can; this keeps each frame on screen long enough for a
// player to watch the goblets slide (151 frames, about four and a half seconds).
static constexpr uint32_t introFrameMillis = 30;

void resetTitleScreen() {
    titleScreen.mainMenuCursor = 0;
    titleScreen.introRunning = true;
    titleScreen.holdFrames = 0;
    particles.originX = 13.0f;
    particles.originY = 14.0f;
    resetParticleSystem(&titleScreen.sparks);
    titleScreen.sparks.originX = 65.0f;
    titleScreen.sparks.originY = 14.0f;
}

void clearParticles() {
    particles.activeCount = 0;
    for (Particle &slot : particles.slots)
        slot.dead = true;
}

static void emitSparks() {
    for (int i = 0; i < 5; i++) {
        int32_t degrees = gameRand() % 120 + 30;
        float angle = static_cast<float>(degrees * 3.14159 * 0.005555555555555556);
        int32_t r = gameRand();
        int32_t colour = r % 3 != 0 ? 14 : 4;
        float dirX = std::cos(angle);
        float dirY = -std::sin(angle);
        int32_t lifetime = gameRand() % 200 + 800;
        emitParticle(&particles, glyphDarkShade, lifetime, 12.0f, ParticleMotion::straight, 1, 1,
                     colour, dirX, dirY, particleHook);
        lifetime = gameRand() % 200 + 800;
        emitParticle(&titleScreen.sparks, glyphDarkShade, lifetime, 12.0f, ParticleMotion::straight,
                     1, 1, colour, dirX, dirY, particleHook);
    }
}

static void drawGoblets() {
    uint16_t leftColumn = static_cast<uint16_t>(static_cast<int>(particles.originX) - 6);
    uint16_t rightColumn = static_cast<uint16_t>(static_cast<int>(titleScreen.sparks.originX) - 6);
    for (int i = 0; i < gobletRows; i++) {
        uint16_t row = static_cast<uint16_t>(13 + i);
        printAt(titleGoblet[i], colourBrown, leftColumn, row);
        printAt(titleGoblet[i], colourBrown, rightColumn, row);
    }
}

void runTitleIntroFrame() {
    emitSparks();
    stepParticles(&particles);
    stepParticles(&titleScreen.sparks);
    drawGoblets();
    if (particles.originX <= 62.0f) {
        particles.originX += 0.5f;
        titleScreen.sparks.originX -= 0.5f;
    } else if (titleScreen.holdFrames++ > 50) {
        typeText("Brinewort", colourLightGreen, 31, 33, 4);
        typeText("The Return of ZARG", colourLightRed, 31, 31, 6);
        titleScreen.introRunning = false;
    }
    waitMillis(introFrameMillis);
}

GameMode runTitleScreen() {
    if (titleScreen.introRunning) {
        runTitleIntroFrame();
        return modeTitle;
    }
    drawMainMenu();
    return handleMainMenuKey();
}

static GameMode beginNewGame() {
    clearParticles();
    showStoryIntro();
    return modeTavern;
}

// Under the menu: why Continue could not continue, for a second; the reason goes to the error
// stream too.
static void showLoadFailure(const LoadOutcome &failed) {
    printAt(failed.message, colourWhite, 20, 20);
    if (failed.reason[0] != '\0') {
        reportErrorLine(failed.reason);
        printAt(failed.reason, colourWhite, 20, 21);
    }
    waitMillis(1000);
}

static GameMode continueSavedGame() {
    LoadOutcome loaded = loadGame();
    if (!loaded) {
        showLoadFailure(loaded);
        return modeTitle;
    }
    clearParticles();
    resetTavern();
    return modeTavern;
}

static GameMode chooseDifficulty() {
    runOptions();
    return modeTitle;
}

static GameMode showCredits() {
    rollCredits();
    resetTitleScreen();
    return modeTitle;
}

static GameMode quitGame() {
    game.gameRunning = false;
    return modeTitle;
}

const MenuEntry<GameMode (*)()> mainMenu[mainMenuEntries] = {
    {"New Game", beginNewGame},
    {"Continue", continueSavedGame},
    {"Options", chooseDifficulty},
    {"Credits", showCredits},
    {"Quit", quitGame},
};

void drawMainMenu() {
    drawMenu(mainMenu, mainMenuEntries, titleScreen.mainMenuCursor, 35, 10);
    parkCursor();
}

GameMode handleMainMenuKey() {
    GameMode next = modeTitle;
    KeyEvent event;
    readKeyEvent(&event);
    takeMenuKey(event, titleScreen.mainMenuCursor, mainMenuEntries, MenuEnds::wrap,
                [&next] { next = actOnEntry(mainMenu, titleScreen.mainMenuCursor, modeTitle); });
    discardPendingInput();
    return next;
}
