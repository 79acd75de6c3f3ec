// Battles: encounters and the battle loop. The fights themselves come with the battle
// screens; until then a battle ends as soon as it begins.
#pragma once

#include <cstdint>

// --- Battle state, for the whole run ---
extern uint8_t playerTurn;       // 1: the next frame reads the player's command
extern uint8_t fireSpellPending; // item spells queued for the next non-player frames
extern uint8_t windSpellPending;
extern uint8_t quakeSpellPending;
extern uint8_t lightningSpellPending;
extern int32_t quakeFrames;    // frames the queued quake has shaken so far
extern int32_t lightningBolts; // bolts the queued lightning has struck so far

// Opens a battle; the caller has set gameMode to modeBattle.
void beginBattle();
// One battle step.
void battleFrame();
// The boss room's entry: fights that dungeon's boss, if it has one.
void startBossBattle(int32_t roomRow, int32_t roomCol);
