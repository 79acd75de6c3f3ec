// Encounters: the four monsters, choosing the opponent, opening a battle with its ambush
// roll, and the boss rooms' entry.
#include <cstdio>
#include <cstring>

#include "battle/battle.h"
#include "console/console.h"
#include "effects/particles.h"
#include "game/game.h"

const Monster monsterTable[monsterKinds] = {
    {"Blob", 10, 2, 2, 10},
    {"Skeleton", 15, 3, 3, 15},
    {"Zombie", 20, 4, 4, 20},
    {"Golem", 30, 5, 6, 30},
};

BossPictures bossPictures;
BattleCarryOver battleCarryOver;

void setUpMonsters() {
    bossPictures = BossPictures{};
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
            loadPicture(source.fileName, source.tag, bossPictures.pictures[boss - 1]),
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
        battleState.monsterPicture = &bossPictures.pictures[battleState.currentBoss - 1];
        return;
    }
    battleState.currentMonster = monsterTable[kind];
    battleState.monsterPicture = &monsterPictures[kind];
}

void beginBattle(uint8_t boss) {
    // A new battle; only the turn and the spell cursor come from the last one.
    battleState = BattleState{};
    battleState.currentBoss = boss;
    battleState.playerTurn = battleCarryOver.playerTurn;
    battleState.spellCursor = battleCarryOver.spellCursor;
    clearScreen(0);
    chooseMonster();
    drawBattleScreen();
    particles.originX = 15.0f;
    particles.originY = 10.0f;
    if (gameRand() % 7 != 0) {
        battleState.playerTurn = true;
    } else {
        // Ambushed: the turn stays as the last battle left it, normally the enemy's.
        std::snprintf(battleState.battleMessage, sizeof battleState.battleMessage,
                      "You were caught off guard by the %s", battleState.currentMonster.name);
        typeText(battleState.battleMessage, colourLightMagenta, messageWidth, messageColumn,
                 messageRow);
    }
    waitMillis(200);
    clearScreen(0);
}

BattleOutcome fightBattle(uint8_t boss) {
    NestedScreen shown(modeBattle);
    clearScreen(0);
    beginBattle(boss);
    BattleOutcome outcome;
    while ((outcome = battleFrame()) == BattleOutcome::ongoing) {
    }
    battleCarryOver = BattleCarryOver{battleState.playerTurn, battleState.spellCursor};
    return outcome;
}

BattleOutcome startBossBattle(int32_t roomRow, int32_t roomCol) {
    int32_t dungeon = game.gameMode;
    const Dungeon *shown = dungeonOfMode(dungeon);
    if (shown == nullptr || shown->boss == 0) return BattleOutcome::won;
    typeText(game.bosses[shown->boss - 1].taunt, colourWhite, dialogueWidth, dialogueColumn,
             dialogueFirstRow);
    BattleOutcome outcome = fightBattle(shown->boss);
    if (outcome == BattleOutcome::won) recordBossDefeat(dungeon, roomRow, roomCol);
    return outcome;
}
