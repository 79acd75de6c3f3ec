// (being written)
#include "dungeon/dungeon.h"
void drawLockedDoor(const char *) {}
