// Fuzz target: arbitrary bytes as the save file, loaded by Continue, then a short fixed piece
// of play (a battle, food, a level gained), so that every value a save can bring meets the
// game's arithmetic.
#include <cstring>

#include "battle/battle.h"
#include "fuzz_support.h"
#include "game/game.h"
#include "items/items.h"
#include "resources/datapath.h"
#include "save/save.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzSetUp();
    return 0;
}

// What play keeps true of the player, whatever the save held.
static void checkPlayer(const char *when) {
    fuzzCheck(game.player.hp >= 0 && game.player.hp <= game.player.maxHp &&
                  game.player.maxHp <= maxStat,
              when);
    fuzzCheck(game.player.sp >= 0 && game.player.sp <= game.player.maxSp &&
                  game.player.maxSp <= maxStat,
              when);
    fuzzCheck(game.player.level >= 1 && game.player.level <= maxLevel, when);
    fuzzCheck(game.player.experience >= 0 && game.player.experience <= maxExperience, when);
    for (int8_t count : game.itemCounts)
        fuzzCheck(count >= 0, when);
}

static void playAFewTurns() {
    game.randState = 1;
    game.gameMode = modeBattle;
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
        fuzzCheck(game.player.name != nullptr &&
                      std::memchr(game.player.name, '\0', lineBufferSize) != nullptr,
                  "a player name without its terminator");
        checkPlayer("a value out of range loaded");
        playAFewTurns();
    }
    return 0;
}
