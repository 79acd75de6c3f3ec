// (being written)
#include "dungeon/dungeon.h"
int32_t clockMinutes = 0;
int32_t clockSeconds = 0;
int32_t timerLastMillis = 0;
int32_t timerAccumMillis = 0;
char clockText[20];
void drawRoomScreen(Room *, int32_t, int32_t, int32_t, SeenCells &, int32_t &) {}
void resetSeenCells(const Room &, SeenCells &) {}
void drawDividers() {}
void drawPlayerStats() {}
void drawPlayer() {}
int32_t tickFlashlightClock() { return 0; }
int32_t intervalElapsed(int32_t) { return 0; }
