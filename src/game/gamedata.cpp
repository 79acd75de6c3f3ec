// The shared game data, its start values and the random number generator.
#include "game/game.h"

#include <algorithm>
#include <iterator>

GameRun game;
FlashlightClock flashlightClock;

void resetGameRun() {
    game = GameRun{};
    initPlayer();
    std::copy(std::begin(npcTable), std::end(npcTable), game.npcs);
    setUpBosses();
}

void setUpBosses() {
    std::copy(std::begin(bossTable), std::end(bossTable), game.bosses);
}

int32_t gameRand() {
    game.randState = game.randState * 214013u + 2531011u;
    return static_cast<int32_t>((game.randState >> 16) & 0x7FFF);
}

int32_t gameRandBelow(int32_t n) {
    int32_t draw = gameRand();
    return n > 0 ? draw % n : 0;
}

void giveStartWeapon() {
    game.player.weaponName = startWeapon.name;
    game.player.weaponStrength = startWeapon.strength;
}

void initPlayer() {
    giveStartWeapon();
    game.player.playerRoomX = 8;
    game.player.playerRoomY = 8;
    game.player.hp = 100;
    game.player.sp = 20;
    game.player.maxHp = 100;
    game.player.maxSp = 20;
    game.player.attack = 8;
    game.player.defense = 5;
    game.player.spellsKnown = 1;
    game.player.experience = 0;
    game.player.level = 1;
}

void clearDefeatedBosses() {
    for (DefeatedBoss &entry : game.defeatedBosses)
        entry = DefeatedBoss{0, 0, 0};
}

NestedScreen::NestedScreen(GameMode inner) : opener(game.gameMode) {
    game.gameMode = inner;
}

NestedScreen::~NestedScreen() {
    game.gameMode = opener;
}

bool isBossAlive(int32_t mode, int32_t roomRow, int32_t roomCol) {
    for (const DefeatedBoss &entry : game.defeatedBosses) {
        // Empty entries (all zeros) stand for no boss at all.
        if (entry.mode != 0 && entry.mode == mode && entry.roomCol == roomCol &&
            entry.roomRow == roomRow) {
            return false;
        }
    }
    return true;
}

void recordBossDefeat(int32_t mode, int32_t roomRow, int32_t roomCol) {
    for (DefeatedBoss &entry : game.defeatedBosses) {
        if (entry.mode == 0 && entry.roomCol == 0 && entry.roomRow == 0) {
            entry = DefeatedBoss{mode, roomCol, roomRow};
            return;
        }
        if (entry.mode == mode && entry.roomCol == roomCol && entry.roomRow == roomRow) return;
    }
}
