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
    battleState.currentMonster = Monster{"", 0, 0, 0, 0};
    battleState.monsterPicture = nullptr;
    for (Picture &picture : battleState.bossPictures)
        picture = Picture{};
    struct PictureSource {
        const char *fileName;
        const char *tag;
    };
    // In boss order: Molloch, Agamir, OldWiseMan (the last two each their own copy).
    constexpr PictureSource sources[bossCount] = {
        {"dragon2.txt", "dragon"}, {"Wizard.txt", "wizard"}, {"Wizard.txt", "wizard"}};
    for (int32_t boss = 1; boss <= bossCount; boss++) {
        const PictureSource &source = sources[boss - 1];
        showDataFileProblem(
            source.fileName,
            loadPicture(source.fileName, source.tag, battleState.bossPictures[boss - 1]),
            "Couldnt find picture");
    }
}

void chooseMonster() {
    // Drawn even for a boss, so that the random sequence is the same either way.
    int32_t kind = gameRand() & 3;
    if (battleState.currentBoss >= 1 && battleState.currentBoss <= bossCount) {
        const BossRecord &boss = game.bosses[battleState.currentBoss - 1];
        battleState.currentMonster =
            Monster{boss.name, boss.hp, boss.defense, boss.attack, boss.maxHp};
        battleState.monsterPicture = &battleState.bossPictures[battleState.currentBoss - 1];
        return;
    }
    battleState.currentMonster = monsterTable[kind];
    battleState.monsterPicture = &monsterPictures[kind];
}

void beginBattle() {
    battleState.commandCursor = 0;
    clearScreen(0);
    std::memset(battleState.battleMessage, 0, sizeof battleState.battleMessage);
    chooseMonster();
    battleState.monsterX = 1;
    battleState.monsterY = 0;
    drawBattleScreen();
    battleState.specialMenuOpen = false;
    particles.originX = 15.0f;
    particles.originY = 10.0f;
    if (gameRand() % 7 != 0) {
        battleState.playerTurn = true;
    } else {
        // Ambushed: the turn stays as the last battle left it, normally the enemy's.
        std::snprintf(battleState.battleMessage, sizeof battleState.battleMessage,
                      "You were caught off guard by the %s", battleState.currentMonster.name);
        typeText(battleState.battleMessage, 13, messageWidth, messageColumn, messageRow);
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
    int32_t dungeon = game.gameMode;
    const Dungeon *shown = dungeonOfMode(dungeon);
    if (shown == nullptr || shown->boss == 0) return BattleOutcome::won;
    battleState.currentBoss = shown->boss;
    typeText(game.bosses[battleState.currentBoss - 1].taunt, colourWhite, dialogueWidth,
             dialogueColumn, dialogueFirstRow);
    BattleOutcome outcome = fightBattle();
    if (outcome == BattleOutcome::won) recordBossDefeat(dungeon, roomRow, roomCol);
    return outcome;
}
