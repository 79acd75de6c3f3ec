// What a checkpoint of a recording pins: the game's state, and its looks (a hash of every
// screen shown so far and the screen now, row by row, readable).
#include <cstdio>
#include <cstring>
#include <string>

#include "console/console.h"
#include "game/game.h"
#include "platform/cp437.h"
#include "platform/utf8.h"
#include "recording/recording.h"

namespace {

// The screens a recording or a replay has shown; each starts afresh (forgetScreensShown).
struct ScreensShown {
    uint64_t shownHash = 0; // a hash of every screen shown since the start, in order
};

ScreensShown screensShown;

// A quick mix of the cells, a word at a time: every present of a long game goes through it.
uint64_t hashCells(uint64_t hash, const ScreenCells &cells) {
    static_assert(sizeof cells % sizeof(uint64_t) == 0);
    const auto *bytes = reinterpret_cast<const unsigned char *>(cells);
    for (size_t i = 0; i < sizeof cells; i += sizeof(uint64_t)) {
        uint64_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
        hash ^= hash >> 29;
    }
    return hash;
}

void appendNumbers(std::string &out, const char *name, const int32_t *values, int n) {
    out += name;
    out += '=';
    for (int i = 0; i < n; i++) {
        if (i > 0) out += ',';
        out += std::to_string(values[i]);
    }
    out += ' ';
}

} // namespace

std::string checkpointState() {
    std::string out;
    out.reserve(400);
    out += "mode=" + std::to_string(game.gameMode) + ' ';
    const int32_t record[] = {game.player.hp,          game.player.sp,
                              game.player.maxHp,       game.player.maxSp,
                              game.player.attack,      game.player.defense,
                              game.player.spellsKnown, game.player.experience,
                              game.player.level,       game.player.weaponStrength,
                              game.player.playerRoomX, game.player.playerRoomY};
    appendNumbers(out, "player", record, static_cast<int>(std::size(record)));
    int32_t items[itemKinds];
    for (int i = 0; i < itemKinds; i++)
        items[i] = game.itemCounts[i];
    appendNumbers(out, "items", items, itemKinds);
    int32_t progress[2 + 3 * maxDefeatedBosses] = {game.mollochDefeats, game.agamirDefeats};
    int used = 2;
    for (const DefeatedBoss &boss : game.defeatedBosses) {
        if (boss.mode == 0 && boss.roomCol == 0 && boss.roomRow == 0) break;
        progress[used++] = boss.mode;
        progress[used++] = boss.roomCol;
        progress[used++] = boss.roomRow;
    }
    appendNumbers(out, "bosses", progress, used);
    out += "rand=" + std::to_string(game.randState);
    return out;
}

std::string checkpointLooks() {
    char text[40];
    std::snprintf(text, sizeof text, "shown=%016llx",
                  static_cast<unsigned long long>(screensShown.shownHash));
    return text;
}

std::string legacyCheckpointState() {
    char tail[64];
    std::snprintf(tail, sizeof tail, " screen=%016llx ",
                  static_cast<unsigned long long>(hashCells(0, console.screenCells)));
    return checkpointState() + tail + checkpointLooks();
}

std::string screenRowRecord(int row) {
    std::string colours, text;
    const Cell *cells = console.screenCells[row];
    for (int column = 0; column < screenWidth;) {
        int run = 1;
        while (column + run < screenWidth && cells[column + run].colour == cells[column].colour)
            run++;
        char part[16];
        std::snprintf(part, sizeof part, "%s%02xx%d", colours.empty() ? "" : ",",
                      cells[column].colour, run);
        colours += part;
        column += run;
    }
    for (int column = 0; column < screenWidth; column++) {
        // Byte 0 draws as a blank but is not one: it gets a sign of its own.
        uint8_t glyph = cells[column].glyph;
        appendUtf8(text, glyph == 0 ? U'\u2400' : cp437Unicode[glyph]);
    }
    return colours + " " + text;
}

void noteScreenShown(const ScreenCells &cells) {
    screensShown.shownHash = hashCells(screensShown.shownHash, cells);
}

void forgetScreensShown() {
    screensShown = ScreensShown{};
}
