// The shared game data, its start values and the random number generator.
#include "game/game.h"

#include <cstdio>

uint8_t gameRunning = 1;
int32_t gameMode = modeTitle;
Npc npcs[npcCount];

Player player;
int8_t itemCounts[itemKinds];
int32_t hardMode = 0;
int32_t mollochDefeats = 1;
int32_t agamirDefeats = 1;
DefeatedBoss defeatedBosses[maxDefeatedBosses];
uint32_t randState = 1;

int32_t gameRand() {
    randState = randState * 214013u + 2531011u;
    return static_cast<int32_t>((randState >> 16) & 0x7FFF);
}

int32_t gameRandBelow(int32_t n) {
    int32_t draw = gameRand();
    return n > 0 ? draw % n : 0;
}

void giveStartWeapon() {
    player.weaponName = startWeapon.name;
    player.weaponStrength = startWeapon.strength;
}

void initPlayer() {
    giveStartWeapon();
    player.playerRoomX = 8;
    player.playerRoomY = 8;
    player.hp = 100;
    player.sp = 20;
    player.maxHp = 100;
    player.maxSp = 20;
    player.attack = 8;
    player.defense = 5;
    player.spellsKnown = 1;
    player.experience = 0;
    player.level = 1;
}

void clearDefeatedBosses() {
    for (DefeatedBoss &entry : defeatedBosses)
        entry = DefeatedBoss{0, 0, 0};
}

Npc makeNpc(const char *name, int32_t dungeon, int32_t roomCol, int32_t roomRow, int32_t firstTag,
            int32_t lineCount, bool talkedTo) {
    Npc npc{};
    npc.firstTag = firstTag;
    std::snprintf(npc.name, sizeof npc.name, "%s", name);
    npc.dungeon = dungeon;
    npc.roomCol = roomCol;
    npc.roomRow = roomRow;
    npc.lineCount = lineCount;
    npc.talkedTo = talkedTo;
    return npc;
}
