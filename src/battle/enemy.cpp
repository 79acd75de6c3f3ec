// The enemy's turn: it attacks, a hit flashes the screen red, and it taunts with a line from
// "SkeletonScripts.txt".
#include <cstdio>

#include "battle/battle.h"
#include "console/console.h"
#include "game/game.h"
#include "resources/resources.h"

void enemyTurn() {
    std::snprintf(battleState.battleMessage, sizeof battleState.battleMessage,
                  "The %s prepares to attack...", battleState.currentMonster.name);
    typeText(battleState.battleMessage, colourLightMagenta, messageWidth, messageColumn,
             messageRow);
    waitMillis(200);
    int32_t levelRoll = gameRandBelow(game.player.level);
    int32_t dieRoll = gameRand() % foeDieSides;
    int32_t damage =
        foeBlow(levelRoll, dieRoll, game.player.defense, battleState.currentMonster.attack);
    if (damage <= 0) {
        std::snprintf(battleState.battleMessage, sizeof battleState.battleMessage, "He missed");
        clearScreen(0);
    } else {
        clearScreen(colourOnLightRed);
        waitMillis(200);
        clearScreen(0);
        drawBattleScreen();
        std::snprintf(battleState.battleMessage, sizeof battleState.battleMessage,
                      "The %s did %d damage", battleState.currentMonster.name, damage);
        typeText(battleState.battleMessage, colourLightMagenta, messageWidth, messageColumn,
                 messageRow);
        game.player.hp -= damage;
        waitMillis(500);
        clearScreen(0);
        drawBattleScreen();
        char tag[16];
        std::snprintf(tag, sizeof tag, "TextTag%d", gameRand() % 10 + 1);
        // Copied as plain text: a line with a percent sign is shown as it stands.
        TextSection line = readTextSection("SkeletonScripts.txt", tag);
        showDataFileProblem("SkeletonScripts.txt", line.problem);
        std::snprintf(battleState.battleMessage, sizeof battleState.battleMessage, "%s",
                      line.text ? line.text.get() : "");
        waitMillis(500);
    }
    drawBattleScreen();
    typeText(battleState.battleMessage, colourLightMagenta, messageWidth, messageColumn,
             messageRow);
    if (game.player.hp <= 0) loseBattle();
    // A knockout ends the turn like any other: the player moves first in the next battle,
    // even when it opens with an ambush.
    waitMillis(300);
    battleState.playerTurn = true;
    clearScreen(0);
}
