// Rubble: a hundred blocks scattered over a room's floor, each kept only if every open exit
// can still be reached from the free cells beside it.
#include <iterator>

#include "dungeon/dungeon.h"
#include "game/game.h"

// Each exit's prime, by doorway: a fill multiplies in the primes of the exits it reaches, so
// it has reached them all exactly when its product equals the product of the open exits.
static constexpr int32_t exitPrimes[std::size(doorways)] = {2, 3, 5, 7};

static constexpr int rubbleBlocks = 100;
// With 100 blocks on 240 cells a room fills quickly; this only stops a room whose shape
// would let no further block be kept.
static constexpr int maxRejectedBlocks = 10000;
static constexpr int maxRandomDraws = 100000;

static bool isFreeCharacter(char cell) {
    return cell == ' ' || cell == '$' || cell == '#';
}

void markFreeCells(const Room &room, FreeCells &grid) {
    for (int row = 0; row < roomRows; row++) {
        for (int column = 0; column <= roomColumns; column++) {
            grid[row][column] = isFreeCharacter(room.cells[row][column]) ? 0 : 1;
        }
    }
}

void floodFillExits(const Room &room, FreeCells &grid, int row, int column, int32_t &fillProduct) {
    if (row < 0 || row >= roomRows || column < 0 || column > roomColumns) return;
    if (grid[row][column] == 1) return;
    grid[row][column] = 1;
    if (!isFreeCharacter(room.cells[row][column])) return;
    for (size_t exit = 0; exit < std::size(doorways); exit++) {
        const int32_t prime = exitPrimes[exit];
        if (row == doorways[exit].row && column == doorways[exit].column &&
            fillProduct % prime != 0) {
            fillProduct *= prime;
        }
    }
    floodFillExits(room, grid, row, column + 1, fillProduct);
    floodFillExits(room, grid, row + 1, column, fillProduct);
    floodFillExits(room, grid, row, column - 1, fillProduct);
    floodFillExits(room, grid, row - 1, column, fillProduct);
}

bool randomEmptyCell(const Room &room, int &row, int &column) {
    for (int draws = 0; draws < maxRandomDraws; draws++) {
        row = gameRand() % 12 + 1;
        column = gameRand() % 20 + 1;
        if (room.cells[row][column] == ' ') return true;
    }
    // A room with (almost) no floor left: take the first free cell, if there is one.
    for (row = 1; row <= 12; row++) {
        for (column = 1; column <= 20; column++) {
            if (room.cells[row][column] == ' ') return true;
        }
    }
    return false;
}

void scatterRubble(Room &room) {
    int32_t exitTarget = 1;
    for (size_t exit = 0; exit < std::size(doorways); exit++) {
        if (room.cells[doorways[exit].row][doorways[exit].column] == ' ')
            exitTarget *= exitPrimes[exit];
    }
    // Carried over between attempts: an attempt whose upper neighbour is not free starts
    // from the outcome of the attempt before.
    int32_t fillProduct = 1;
    FreeCells grid;
    int kept = 0;
    int rejected = 0;
    while (kept < rubbleBlocks && rejected < maxRejectedBlocks) {
        int row, column;
        if (!randomEmptyCell(room, row, column)) return;
        room.cells[row][column] = cellRubble;
        const int neighbours[4][2] = {
            {row - 1, column}, {row + 1, column}, {row, column - 1}, {row, column + 1}};
        for (int i = 0; i < 4; i++) {
            int nextRow = neighbours[i][0];
            int nextColumn = neighbours[i][1];
            if (room.cells[nextRow][nextColumn] != ' ') continue;
            if (i > 0 && fillProduct != exitTarget) continue;
            markFreeCells(room, grid);
            fillProduct = 1;
            floodFillExits(room, grid, nextRow, nextColumn, fillProduct);
        }
        if (fillProduct != exitTarget) {
            room.cells[row][column] = ' ';
            rejected++;
        } else {
            kept++;
        }
    }
}
