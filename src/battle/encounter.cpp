// Encounters: the four monsters, choosing the opponent, opening a battle with its ambush
// roll, and the boss rooms' entry.
#include <cstdio>
#include <cstring>

#include "battle/battle.h"
#include "console/console.h"
#include "dungeon/dungeon.h"
#include "effects/particles.h"
#include "game/game.h"

const Monster monsterTable[monsterKinds] = {
    {"Blob", 10, 2, 2, 10},
    {"Skeleton", 15, 3, 3, 15},
    {"Zombie", 20, 4, 4, 20},
    {"Golem", 30, 5, 6, 30},
};

void setUpMonsters() {
    currentMonster = Monster{"", 0, 0, 0, 0};
    monsterPicture = nullptr;
    for (Picture &picture : bossPictures)
        picture = Picture{};
    loadPicture("dragon2.txt", "dragon", bossPictures[bossMolloch - 1]);
    loadPicture("Wizard.txt", "wizard", bossPictures[bossAgamir - 1]);
    loadPicture("Wizard.txt", "wizard", bossPictures[bossOldWiseMan - 1]);
}

void chooseMonster() {
    // Drawn even for a boss, so that the random sequence is the same either way.
    int32_t kind = gameRand() & 3;
    if (currentBoss >= 1 && currentBoss <= bossCount) {
        const BossRecord &boss = bosses[currentBoss - 1];
        currentMonster = Monster{boss.name, boss.hp, boss.defense, boss.attack, boss.maxHp};
        monsterPicture = &bossPictures[currentBoss - 1];
        return;
    }
    currentMonster = monsterTable[kind];
    monsterPicture = &monsterPictures[kind];
}

void beginBattle() {
    commandCursor = 0;
    clearScreen(0);
    std::memset(battleMessage, 0, sizeof battleMessage);
    chooseMonster();
    monsterX = 1;
    monsterY = 0;
    drawBattleScreen();
    specialMenuOpen = 0;
    particles->originX = 15.0f;
    particles->originY = 10.0f;
    if (gameRand() % 7 != 0) {
        playerTurn = 1;
    } else {
        // Ambushed: the turn stays as the last battle left it, normally the enemy's.
        std::snprintf(battleMessage, sizeof battleMessage, "You were caught off guard by the %s",
                      currentMonster.name);
        typeText(battleMessage, 13, 31, 45, 2);
    }
    waitMillis(200);
    clearScreen(0);
}

BattleOutcome fightBattle() {
    NestedScreen shown(modeBattle);
    clearScreen(0);
    beginBattle();
    for (;;) {
        BattleOutcome outcome = battleFrame();
        if (outcome != BattleOutcome::ongoing) return outcome;
    }
}

BattleOutcome startBossBattle(int32_t roomRow, int32_t roomCol) {
    int32_t dungeon = gameMode;
    if (dungeon == modeCave) {
        currentBoss = bossMolloch;
    } else if (dungeon == modeSewer) {
        currentBoss = bossAgamir;
    } else {
        return BattleOutcome::won;
    }
    typeText(bosses[currentBoss - 1].taunt, 15, 30, 40, 2);
    BattleOutcome outcome = fightBattle();
    if (outcome == BattleOutcome::won) recordBossDefeat(dungeon, roomRow, roomCol);
    return outcome;
}
