// The player's side of a battle: the attack's damage, victory, experience and levels.
#include <cstdio>

#include "battle/battle.h"
#include "console/console.h"
#include "game/game.h"

void playerAttack() {
    int32_t damage = gameRandBelow(2 * player.level) - battleState.currentMonster.defense +
                     player.weaponStrength + player.attack;
    if (damage < 0) damage = 0;
    battleState.currentMonster.hp -= damage;
    if (battleState.currentMonster.hp < 0) battleState.currentMonster.hp = 0;
    clearMonsterArea(64);
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
    typeText(battleState.battleMessage, 12, messageWidth, messageColumn, messageRow);
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
    typeText(battleState.battleMessage, 10, messageWidth, messageColumn, messageRow);
    awardExperience();
    waitMillis(500);
    return outcome;
}

static void drawExperience() {
    printAt("Exp", 10, 65, 15);
    printNumberAt(player.experience, 10, 69, 15);
    printAt("/", 7, 72, 15);
    printNumberAt(100, 7, 73, 15);
}

void awardExperience() {
    drawExperience();
    int32_t gain = gameRand() % 6 + battleState.currentMonster.expReward;
    player.experience = addCapped(player.experience, gain, maxExperience);
    std::snprintf(battleState.battleMessage, sizeof battleState.battleMessage,
                  "You recieve %d experience", gain);
    typeText(battleState.battleMessage, 10, messageWidth, messageColumn, messageRow + 2);
    drawExperience();
    checkLevelUp();
}

void checkLevelUp() {
    if (player.experience < 100) return;
    // The last level: experience waits just short of the next, which never comes.
    if (player.level >= maxLevel) {
        player.experience = 99;
        return;
    }
    player.level++;
    player.experience -= 100; // the rest carries over; one level per check
    growStats();
    printAt("You gained a level!", 9, messageColumn, messageRow + 4);
    waitMillis(500);
    printAt("                   ", 0, messageColumn, messageRow + 4);
    waitMillis(500);
    printAt("You gained a level!", 9, messageColumn, messageRow + 4);
}

void growStats() {
    player.maxHp = addCapped(player.maxHp, 5, maxStat);
    player.hp = player.maxHp;
    player.maxSp = addCapped(player.maxSp, 1, maxStat);
    player.sp = player.maxSp;
    if (player.level % 2 == 0) {
        player.attack = addCapped(player.attack, 2, maxStat);
    } else {
        player.defense = addCapped(player.defense, 2, maxStat);
    }
    if (player.level == 5) player.spellsKnown = 2;
    if (player.level == 9) player.spellsKnown = 3;
    if (player.level == 14) player.spellsKnown = 4;
}
