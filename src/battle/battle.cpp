// Battles. The fights come with the battle screens; until then an encounter only shows that
// a monster was there, and a boss waits for the battles to be written.
#include "battle/battle.h"

#include "console/console.h"
#include "game/game.h"

uint8_t playerTurn = 0;
uint8_t fireSpellPending = 0;
uint8_t windSpellPending = 0;
uint8_t quakeSpellPending = 0;
uint8_t lightningSpellPending = 0;
int32_t quakeFrames = 0;
int32_t lightningBolts = 0;

void beginBattle() {
    typeText("Something stirs in the dark, but it slinks away.", 13, 31, 45, 2);
    waitMillis(500);
}

void battleFrame() {
    gameMode = modeBattleOver;
}

void startBossBattle(int32_t, int32_t) {}
