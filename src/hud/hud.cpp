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
    printAt("HP", 9, 66, 19);
    printNumberAt(game.player.hp, 9, 69, 19);
    printAt("/", 7, 72, 19);
    printNumberAt(game.player.maxHp, 7, 73, 19);
    printAt("SP", 10, 66, 20);
    printNumberAt(game.player.sp, 10, 69, 20);
    printAt("/", 7, 72, 20);
    printNumberAt(game.player.maxSp, 7, 73, 20);
}
