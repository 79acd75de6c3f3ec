// The character status screen: the player's values in four quarters, until space.
#include "console/console.h"
#include "game/game.h"
#include "town/town.h"

// A label, then its value, each written on its own (numbers without fill characters).
static void drawValue(const char *label, uint16_t x, uint16_t y, int32_t value, uint16_t valueX) {
    printAt(label, colourLightGreen, x, y);
    printNumberAt(value, colourLightGreen, valueX, y);
}

// A value out of a maximum: "/" and the maximum in grey behind it.
static void drawOutOf(int32_t maximum, uint16_t y) {
    printAt("/", colourGrey, 30, y);
    printNumberAt(maximum, colourGrey, 31, y);
}

void drawStatusScreen() {
    for (uint16_t row = 0; row < 25; row++)
        printCharAt(glyphDoubleVertical, colourWhite, 40, row);
    for (uint16_t column = 0; column < 80; column++) {
        printCharAt(column == 40 ? glyphDoubleCross : glyphDoubleHorizontal, colourWhite, column,
                    11);
    }
    drawValue("HP", 10, 5, game.player.hp, 26);
    drawOutOf(game.player.maxHp, 5);
    drawValue("SP", 10, 7, game.player.sp, 26);
    drawOutOf(game.player.maxSp, 7);
    drawValue("Exp", 10, 15, game.player.experience, 26);
    drawOutOf(100, 15);
    drawValue("Level", 10, 17, game.player.level, 26);
    drawValue("Attack", 50, 5, game.player.attack, 66);
    drawValue("Defense", 50, 7, game.player.defense, 66);
    printAt("Weapon", colourLightGreen, 50, 15);
    printAt(game.player.weaponName, colourLightGreen, 66, 15);
    drawValue("Weapon Strength", 50, 17, game.player.weaponStrength, 66);
}

void showStatusScreen() {
    clearScreen(0);
    KeyEvent event;
    do {
        drawStatusScreen();
        printAt("Press space to continue", colourWhite, 49, 23);
        readKeyEvent(&event);
    } while (event.virtualKey != keySpace); // a press or a release of space
    clearScreen(0);
}
