// The dividers and the player's stats, as the dungeon and the battle draw them.
#include "hud/hud.h"

#include "console/console.h"
#include "game/game.h"

// Where the stats stand: the label, the value, the slash and the most, on a row each; the
// experience's label is one column further left.
constexpr uint16_t experienceLabelColumn = 65;
constexpr uint16_t statLabelColumn = 66;
constexpr uint16_t statValueColumn = 69;
constexpr uint16_t statSlashColumn = 72;
constexpr uint16_t statMostColumn = 73;
constexpr uint16_t experienceRow = 15;
constexpr uint16_t hitPointsRow = 19;
constexpr uint16_t skillPointsRow = 20;

void drawDividers() {
    for (uint16_t row = 0; row < screenHeight; row++)
        printCharAt(glyphDoubleVertical, colourGrey, dividerColumn, row);
    for (uint16_t column = 0; column < screenWidth; column++) {
        printCharAt(column == dividerColumn ? glyphDoubleCross : glyphDoubleHorizontal, colourGrey,
                    column, dividerRow);
    }
}

// One stat: its label and value in its colour, the slash and the most in grey.
static void drawStat(const char *label, uint16_t labelColumn, int32_t value, int32_t most,
                     uint16_t colour, uint16_t row) {
    printAt(label, colour, labelColumn, row);
    printNumberAt(value, colour, statValueColumn, row);
    printAt("/", colourGrey, statSlashColumn, row);
    printNumberAt(most, colourGrey, statMostColumn, row);
}

void drawPlayerStats() {
    drawStat("HP", statLabelColumn, game.player.hp, game.player.maxHp, colourLightBlue,
             hitPointsRow);
    drawStat("SP", statLabelColumn, game.player.sp, game.player.maxSp, colourLightGreen,
             skillPointsRow);
}

void drawExperience() {
    drawStat("Exp", experienceLabelColumn, game.player.experience, experiencePerLevel,
             colourLightGreen, experienceRow);
}
