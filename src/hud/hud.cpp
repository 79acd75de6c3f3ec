// The dividers and the player's stats, as the dungeon and the battle draw them.
#include "hud/hud.h"

#include "console/console.h"
#include "game/game.h"

void drawDividers() {
    for (uint16_t row = 0; row < 25; row++)
        printCharAt(glyphDoubleVertical, colourGrey, 35, row);
    for (uint16_t column = 0; column < 80; column++) {
        printCharAt(column == 35 ? glyphDoubleCross : glyphDoubleHorizontal, colourGrey, column,
                    17);
    }
}

void drawPlayerStats() {
    printAt("HP", colourLightBlue, 66, 19);
    printNumberAt(game.player.hp, colourLightBlue, 69, 19);
    printAt("/", colourGrey, 72, 19);
    printNumberAt(game.player.maxHp, colourGrey, 73, 19);
    printAt("SP", colourLightGreen, 66, 20);
    printNumberAt(game.player.sp, colourLightGreen, 69, 20);
    printAt("/", colourGrey, 72, 20);
    printNumberAt(game.player.maxSp, colourGrey, 73, 20);
}
