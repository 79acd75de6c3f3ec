// Fuzz target: arbitrary bytes as the save file, loaded by Continue, then a short fixed piece
// of play (a battle, food, a level gained), so that every value a save can bring meets the
// game's arithmetic.
#include <cstring>

#include "battle/battle.h"
#include "fuzz_support.h"
#include "game/game.h"
#include "items/items.h"
#include "save/save.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzSetUp();
    return 0;
}

// What play keeps true of the player, whatever the save held.
static void checkPlayer(const char *when) {
    fuzzCheck(player.hp >= 0 && player.hp <= player.maxHp && player.maxHp <= maxStat, when);
    fuzzCheck(player.sp >= 0 && player.sp <= player.maxSp && player.maxSp <= maxStat, when);
    fuzzCheck(player.level >= 1 && player.level <= maxLevel, when);
    fuzzCheck(player.experience >= 0 && player.experience <= maxExperience, when);
    for (int8_t count : itemCounts)
        fuzzCheck(count >= 0, when);
}

static void playAFewTurns() {
    randState = 1;
    gameMode = modeBattle;
    beginBattle();
    playerAttack();
    enemyTurn();
    checkPlayer("a value out of range after a battle turn");
    // Food at whatever hit and skill points the save left.
    useApple();
    useFishSandwich();
    useCookie();
    checkPlayer("a value out of range after eating");
    // A victory that brings a level.
    battleState.currentMonster.hp = 0;
    battleState.currentMonster.expReward = 100;
    winBattle();
    checkPlayer("a value out of range after a level gained");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzWriteFile(saveFileName, data, size);
    if (loadGame()) {
        fuzzCheck(player.name != nullptr &&
                      std::memchr(player.name, '\0', lineBufferSize) != nullptr,
                  "a player name without its terminator");
        checkPlayer("a value out of range loaded");
        playAFewTurns();
    }
    return 0;
}
