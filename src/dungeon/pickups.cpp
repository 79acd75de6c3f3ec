// (being written)
#include "dungeon/dungeon.h"
void pickUpItem(const char *) {}
