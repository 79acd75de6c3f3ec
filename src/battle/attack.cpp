// The player's side of a battle: the attack's damage, victory, experience and levels.
#include <algorithm>
#include <cstdio>

#include "battle/battle.h"
#include "console/console.h"
#include "game/game.h"
#include "hud/hud.h"

void playerAttack() {
    int32_t damage = playerBlow(gameRandBelow(2 * game.player.level), game.player.attack,
                                game.player.weaponStrength, battleState.currentMonster.defense);
    battleState.currentMonster.hp = std::max(battleState.currentMonster.hp - damage, 0);
    clearMonsterArea(colourOnRed);
    waitMillis(150);
    clearScreen(0);
    drawBattleScreen();
    if (damage > 0) {
        std::snprintf(battleState.battleMessage, sizeof battleState.battleMessage,
                      "Well done, you did %d damage.", damage);
    } else {
        std::snprintf(battleState.battleMessage, sizeof battleState.battleMessage,
                      "Oh, you whiffed");
    }
    typeText(battleState.battleMessage, colourLightRed, messageWidth, messageColumn, messageRow);
}

BattleOutcome winBattle() {
    clearScreen(0);
    drawBattleScreen();
    BattleOutcome outcome = BattleOutcome::won;
    if (battleState.currentBoss != 0) {
        if (bossReward(battleState.currentBoss)) outcome = BattleOutcome::gameEnded;
        battleState.currentBoss = 0;
    }
    clearMonsterArea(0);
    std::snprintf(battleState.battleMessage, sizeof battleState.battleMessage,
                  "You have defeated the %s", battleState.currentMonster.name);
    typeText(battleState.battleMessage, colourLightGreen, messageWidth, messageColumn, messageRow);
    awardExperience();
    waitMillis(500);
    return outcome;
}

void awardExperience() {
    drawExperience();
    int32_t gain = gameRand() % 6 + battleState.currentMonster.expReward;
    game.player.experience = addCapped(game.player.experience, gain, maxExperience);
    std::snprintf(battleState.battleMessage, sizeof battleState.battleMessage,
                  "You recieve %d experience", gain);
    typeText(battleState.battleMessage, colourLightGreen, messageWidth, messageColumn,
             messageRow + 2);
    drawExperience();
    checkLevelUp();
}

void checkLevelUp() {
    if (game.player.experience < experiencePerLevel) return;
    // The last level: experience waits just short of the next, which never comes.
    if (game.player.level >= maxLevel) {
        game.player.experience = experiencePerLevel - 1;
        return;
    }
    game.player.level++;
    game.player.experience -= experiencePerLevel; // the rest carries over; one level per check
    growStats();
    printAt("You gained a level!", colourLightBlue, messageColumn, messageRow + 4);
    waitMillis(500);
    printAt("                   ", colourBlack, messageColumn, messageRow + 4);
    waitMillis(500);
    printAt("You gained a level!", colourLightBlue, messageColumn, messageRow + 4);
}

void growStats() {
    game.player.maxHp = addCapped(game.player.maxHp, 5, maxStat);
    game.player.hp = game.player.maxHp;
    game.player.maxSp = addCapped(game.player.maxSp, 1, maxStat);
    game.player.sp = game.player.maxSp;
    if (game.player.level % 2 == 0) {
        game.player.attack = addCapped(game.player.attack, 2, maxStat);
    } else {
        game.player.defense = addCapped(game.player.defense, 2, maxStat);
    }
    if (game.player.level == 5) game.player.spellsKnown = 2;
    if (game.player.level == 9) game.player.spellsKnown = 3;
    if (game.player.level == 14) game.player.spellsKnown = 4;
}
