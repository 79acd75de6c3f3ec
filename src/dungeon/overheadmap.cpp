// (being written)
#include "dungeon/dungeon.h"
void showOverheadMap(const Room *, int32_t, int32_t, int32_t, int32_t) {}
