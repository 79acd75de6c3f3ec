// (being written)
#include "dungeon/dungeon.h"
void scatterRubble(Room &) {}
void markFreeCells(const Room &, FreeCells &) {}
void floodFillExits(const Room &, FreeCells &, int, int, int32_t &) {}
bool randomEmptyCell(const Room &, int &, int &) { return false; }
