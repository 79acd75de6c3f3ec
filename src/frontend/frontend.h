// The front end: the title screen with its goblet intro and main menu, the difficulty
// option and the credits.
#pragma once

#include <cstdint>

#include "console/menu.h"
#include "effects/particles.h"
#include "game/game.h"

constexpr int mainMenuEntries = 5; // the main menu; its cursor wraps around them
constexpr int gobletRows = 10;

// The title screen: the goblet intro that opens it and the main menu after it;
// resetTitleScreen starts it over.
struct TitleScreen {
    int8_t mainMenuCursor = 0; // highlighted entry, 0..4
    bool introRunning = false; // the goblet intro plays
    int32_t holdFrames = 0;    // intro frames shown since the goblets stopped
    ParticleSystem sparks;     // the right goblet's sparks; the left one's are the shared pool
};

// --- Title screen, for the whole run ---
extern const MenuEntry<GameMode (*)()> mainMenu[mainMenuEntries]; // New Game ... Quit
extern const char titleGoblet[gobletRows][13]; // the goblet figure, 10 rows of 12 cells

// --- Title screen, from a reset of the title to the start of a game ---
extern TitleScreen titleScreen;

// Starts the title over: cursor on "New Game", the intro about to play.
void resetTitleScreen();
// The title screen's handler: one intro frame, or one menu redraw and one key event. Returns
// the next mode: the tavern once a game begins, else the title.
GameMode runTitleScreen();
void runTitleIntroFrame();
void drawMainMenu();
GameMode handleMainMenuKey();
// Frees every slot of the shared particle pool.
void clearParticles();

// The two pages of the story that open a new game; returns on a cleared screen.
void showStoryIntro();

// The difficulty chooser beside the menu; returns once Easy or Hard is chosen.
void runOptions();
