// The save file: a name line and 88 numbers, one per line, in a fixed order; then the weapon,
// the flashlight clock and the bosses.
#include "save/save.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/console.h"
#include "game/game.h"
#include "platform/files.h"
#include "platform/system.h"
#include "resources/datapath.h"
#include "resources/resources.h"

static constexpr int savedNameSize = savedNameCapacity;

// The steps of writing one save, counted from 0: the open, each line, the flush, the fsync,
// the close and the rename. Tests make one of them fail to show the old save survives.
struct SaveSteps {
    int taken = 0;    // steps taken so far
    int failing = -1; // the step that fails as if the system refused it; -1 none
};

// Takes a step; true when it is the one made to fail.
static bool stepFails(SaveSteps &steps) {
    if (steps.taken++ != steps.failing) return false;
    errno = EIO;
    return true;
}

// Lines 2 to 12, in file order, each with the range play keeps it in (so that no sum the game
// makes with it can overflow); then come the item counts and the defeated bosses.
struct SavedStat {
    int32_t *value;
    int32_t low, high;
};
static const SavedStat savedStats[] = {
    {&game.player.hp, 0, maxStat},
    {&game.player.sp, 0, maxStat},
    {&game.player.maxHp, 1, maxStat},
    {&game.player.maxSp, 0, maxStat},
    {&game.player.attack, 0, maxStat},
    {&game.player.defense, 0, maxStat},
    {&game.player.spellsKnown, 0, 4},
    {&game.player.experience, 0, maxExperience},
    {&game.player.level, 1, maxLevel},
    {&game.mollochDefeats, 1, maxBossDefeats},
    {&game.agamirDefeats, 1, maxBossDefeats},
};
constexpr int savedStatCount = sizeof savedStats / sizeof savedStats[0];
constexpr int savedNumberCount = saveFileLines - 1;
static_assert(savedStatCount + itemKinds + 3 * maxDefeatedBosses == savedNumberCount);

// The 88 numbers of lines 2 to 89, in file order. A boss entry is written row, column,
// mode: the reverse of its order in memory.
static void collectSavedNumbers(int32_t numbers[savedNumberCount]) {
    int n = 0;
    for (const SavedStat &stat : savedStats)
        numbers[n++] = *stat.value;
    for (int8_t count : game.itemCounts)
        numbers[n++] = count;
    for (const DefeatedBoss &entry : game.defeatedBosses) {
        numbers[n++] = entry.roomRow;
        numbers[n++] = entry.roomCol;
        numbers[n++] = entry.mode;
    }
}

static void applySavedNumbers(const int32_t numbers[savedNumberCount]) {
    int n = 0;
    for (const SavedStat &stat : savedStats)
        *stat.value = numbers[n++];
    for (int8_t &count : game.itemCounts)
        count = static_cast<int8_t>(numbers[n++]);
    for (DefeatedBoss &entry : game.defeatedBosses) {
        entry.roomRow = numbers[n++];
        entry.roomCol = numbers[n++];
        entry.mode = numbers[n++];
    }
}

// The first line (2 to 89) of a record read from a save that holds a value play never
// reaches; 0 when every value is in its range.
static int firstSavedLineOutOfRange(const int32_t numbers[savedNumberCount]) {
    auto outside = [](int32_t value, int32_t low, int32_t high) {
        return value < low || value > high;
    };
    int n = 0;
    for (const SavedStat &stat : savedStats) {
        if (outside(numbers[n], stat.low, stat.high)) return n + 2;
        n++;
    }
    // Hit and skill points never exceed their maxima.
    if (numbers[0] > numbers[2]) return 2;
    if (numbers[1] > numbers[3]) return 3;
    for (int item = 0; item < itemKinds; item++, n++) {
        if (outside(numbers[n], 0, maxItemCount)) return n + 2;
    }
    for (int entry = 0; entry < maxDefeatedBosses; entry++, n += 3) {
        int32_t row = numbers[n], column = numbers[n + 1], mode = numbers[n + 2];
        bool empty = mode == 0 && row == 0 && column == 0;
        bool dungeon = dungeonOfMode(mode) != nullptr;
        if (!empty && !dungeon) return n + 4;
        if (outside(row, 0, maxGridSide - 1)) return n + 2;
        if (outside(column, 0, maxGridSide - 1)) return n + 3;
    }
    return 0;
}

// --- The lines after line 89 ---
// Line 90 is the weapon's name; then the numbers below, one per line, each with the range play
// keeps it in. A reader that stops at line 89 still reads every save, and a save that ends
// there loads as it always did, these values then taking their start values.
static const SavedStat savedExtras[] = {
    {&game.player.weaponStrength, 0, maxStat},
    // The flashlight clock: the light left.
    {&flashlightClock.minutes, 0, 59},
    {&flashlightClock.seconds, 0, 59},
    // The bosses as their last defeat left them: hit points, defense, attack, most hit points.
    {&game.bosses[0].hp, 1, maxStat}, // Molloch
    {&game.bosses[0].defense, 0, maxStat},
    {&game.bosses[0].attack, 0, maxStat},
    {&game.bosses[0].maxHp, 1, maxStat},
    {&game.bosses[1].hp, 1, maxStat}, // Agamir
    {&game.bosses[1].defense, 0, maxStat},
    {&game.bosses[1].attack, 0, maxStat},
    {&game.bosses[1].maxHp, 1, maxStat},
    {&game.bosses[2].hp, 1, maxStat}, // OldWiseMan
    {&game.bosses[2].defense, 0, maxStat},
    {&game.bosses[2].attack, 0, maxStat},
    {&game.bosses[2].maxHp, 1, maxStat},
};
constexpr int savedExtraCount = sizeof savedExtras / sizeof savedExtras[0];
static_assert(1 + savedExtraCount == saveExtraLines);
// Where each boss's four numbers begin among them: hit points first, most hit points last.
constexpr int savedBossFirst = 3;
constexpr int savedBossNumbers = 4;
static_assert(savedBossFirst + bossCount * savedBossNumbers == savedExtraCount);

// A weapon the game can give: the one a game starts with, or one of the table's.
static bool isKnownWeapon(const char *name) {
    if (std::strcmp(name, startWeapon.name) == 0) return true;
    for (const Weapon &weapon : weaponTable) {
        if (std::strcmp(name, weapon.name) == 0) return true;
    }
    return false;
}

// The values of lines 90 to 105, read before any of them is applied.
struct SavedExtras {
    bool present; // false for a save that ends at line 89
    char weaponName[weaponNameCapacity];
    int32_t numbers[savedExtraCount];
};

static bool writeSaveExtras(FILE *file, SaveSteps &steps) {
    char line[lineBufferSize];
    std::snprintf(line, sizeof line, "%s\n", game.player.weaponName);
    bool written = !stepFails(steps) && std::fputs(line, file) >= 0;
    for (const SavedStat &extra : savedExtras) {
        std::snprintf(line, sizeof line, "%d\n", *extra.value);
        written = written && !stepFails(steps) && std::fputs(line, file) >= 0;
    }
    return written;
}

static void applySaveExtras(const SavedExtras &extras) {
    if (extras.present) {
        std::snprintf(game.loadedWeaponName, sizeof game.loadedWeaponName, "%s", extras.weaponName);
        game.player.weaponName = game.loadedWeaponName;
        for (int n = 0; n < savedExtraCount; n++)
            *savedExtras[n].value = extras.numbers[n];
    } else {
        giveStartWeapon();
        flashlightClock.minutes = 0;
        flashlightClock.seconds = 0;
        setUpBosses();
    }
    // The light goes on burning from now, not from whenever the clock last looked.
    flashlightClock.lastMillis = timeOfDayMillis();
    flashlightClock.accumMillis = 0;
}

static void setReason(char *reason, size_t size, const char *text) {
    std::snprintf(reason, size, "%s", text);
}

// Written beside the save and renamed over it once complete, so that a crash or a full
// disk part way through never costs the player the save they had.
static bool writeSaveFile(char *reason, size_t size, int failingStep) {
    // The save itself, or where a link the player made to it leads.
    std::string target, refusal;
    unsigned keptMode = 0;
    if (!findFileToReplace(saveFilePath(), saveFileName, &target, &keptMode, &refusal)) {
        setReason(reason, size, refusal.c_str());
        return false;
    }
    // The save is written only where nobody else can plant a file or a link beside it.
    std::string directory = directoryOf(target);
    if (!directoryIsPrivate(directory)) {
        setReason(reason, size, "its directory is not the player's alone");
        return false;
    }
    std::string temporary = target + ".new";
    SaveSteps steps{0, failingStep};
    // A leftover of an interrupted save goes first; the new one must not exist yet, and a
    // link planted under its name is never followed. It keeps the old save's permissions.
    removeFile(temporary);
    FILE *file = stepFails(steps) ? nullptr : createNewFile(temporary, keptMode);
    if (file == nullptr) {
        setReason(reason, size, std::strerror(errno));
        return false;
    }
    bool written = !stepFails(steps) && std::fputs("BOB\n", file) >= 0;
    int32_t numbers[savedNumberCount];
    collectSavedNumbers(numbers);
    for (int32_t number : numbers) {
        char line[lineBufferSize];
        std::snprintf(line, sizeof line, "%d\n", number);
        written = written && !stepFails(steps) && std::fputs(line, file) >= 0;
    }
    written = written && writeSaveExtras(file, steps);
    written = written && !stepFails(steps) && std::fflush(file) == 0;
    written = written && !stepFails(steps) && syncFileToDisk(file);
    int error = written ? 0 : (errno != 0 ? errno : EIO);
    if (std::fclose(file) != 0 && error == 0) error = errno;
    if (error == 0 && stepFails(steps)) error = errno;
    if (error == 0 && (stepFails(steps) || !replaceFile(temporary, target))) error = errno;
    if (error != 0) {
        removeFile(temporary);
        setReason(reason, size, std::strerror(error));
        return false;
    }
    syncDirectory(directory);
    return true;
}

void removeStaleSaveFile() {
    removeFile(saveFilePath() + ".new");
}

static SaveKeeper saveKeeper = nullptr; // set once at start-up

void keepSavesWith(SaveKeeper keeper) {
    saveKeeper = keeper;
}

SaveOutcome saveGame(int failingStep) {
    SaveOutcome outcome;
    std::string nowhere;
    if (!prepareSaveDirectory(&nowhere)) {
        setReason(outcome.reason, sizeof outcome.reason, nowhere.c_str());
    } else if (writeSaveFile(outcome.reason, sizeof outcome.reason, failingStep) &&
               (saveKeeper == nullptr || saveKeeper(outcome.reason, sizeof outcome.reason))) {
        outcome.done = true;
    }
    return outcome;
}

// Reads one line of any length; keeps its first size - 1 characters, without the line end.
// Sets *cut when the line was longer. False at the end of the file.
static bool readSaveLine(DataReader &in, char *line, int size, bool *cut) {
    if (in.at == in.end) return false;
    int length = 0;
    *cut = false;
    for (; in.at != in.end && *in.at != '\n'; in.at++) {
        if (length < size - 1) {
            line[length++] = *in.at;
        } else {
            *cut = true;
        }
    }
    if (in.at != in.end) in.at++;                         // the line feed
    if (length > 0 && line[length - 1] == '\r') length--; // a CR LF line end
    line[length] = '\0';
    return true;
}

// A whole line holding one decimal number between low and high (blanks around it allowed).
static bool parseSavedNumber(const char *line, long low, long high, int32_t *number) {
    char *end;
    errno = 0;
    long value = std::strtol(line, &end, 10);
    if (end == line || errno == ERANGE || value < low || value > high) return false;
    while (*end == ' ' || *end == '\t')
        end++;
    if (*end != '\0') return false;
    *number = static_cast<int32_t>(value);
    return true;
}

// Lines 90 to 105: absent, or whole and each value in its range. Returns 0, or the line found
// wrong.
static int readSaveExtras(DataReader &in, SavedExtras *extras) {
    bool cut;
    extras->present = readSaveLine(in, extras->weaponName, sizeof extras->weaponName, &cut);
    if (!extras->present) return 0;
    if (cut || !isKnownWeapon(extras->weaponName)) return saveFileLines + 1;
    char line[lineBufferSize];
    for (int n = 0; n < savedExtraCount; n++) {
        const SavedStat &extra = savedExtras[n];
        if (!readSaveLine(in, line, sizeof line, &cut) || cut ||
            !parseSavedNumber(line, extra.low, extra.high, &extras->numbers[n])) {
            return saveFileLines + 2 + n;
        }
    }
    // A boss's hit points never exceed his most.
    for (int first = savedBossFirst; first < savedExtraCount; first += savedBossNumbers) {
        if (extras->numbers[first] > extras->numbers[first + savedBossNumbers - 1])
            return saveFileLines + 2 + first;
    }
    return 0;
}

// Reads the whole file before anything changes: a short or garbled file, or one holding a
// value out of its range, is refused. Returns 0, or the line found wrong.
static int readSaveFile(DataReader &in, char name[savedNameSize], int32_t numbers[savedNumberCount],
                        SavedExtras *extras) {
    bool cut;
    if (!readSaveLine(in, name, savedNameSize, &cut)) return 1; // the name: not checked
    char line[lineBufferSize];
    for (int n = 0; n < savedNumberCount; n++) {
        if (!readSaveLine(in, line, sizeof line, &cut) || cut ||
            !parseSavedNumber(line, INT32_MIN, INT32_MAX, &numbers[n])) {
            return n + 2;
        }
    }
    int wrongLine = firstSavedLineOutOfRange(numbers);
    return wrongLine != 0 ? wrongLine : readSaveExtras(in, extras);
}

// A failed load: the message for the player, and the reason under it ("SaveFile.txt: ...").
static LoadOutcome loadFailure(const char *message, const char *reason) {
    LoadOutcome outcome;
    outcome.message = message;
    if (reason != nullptr)
        std::snprintf(outcome.reason, sizeof outcome.reason, "%s: %s", saveFileName, reason);
    return outcome;
}

LoadOutcome loadGame() {
    // The largest save the game writes is a few hundred bytes.
    FileBytes file = readFileBytes(saveFilePath().c_str(), size_t{64} * 1024);
    if (!file.ok) {
        // A save that is there but cannot be read is not the same as none: say why.
        if (file.error == ENOENT)
            return loadFailure("No previous adventure is documented", nullptr);
        return loadFailure("The saved adventure cannot be read ", file.reason);
    }
    DataReader in = readerOf(file.bytes);
    char name[savedNameSize];
    int32_t numbers[savedNumberCount];
    SavedExtras extras{};
    int wrongLine = readSaveFile(in, name, numbers, &extras);
    if (wrongLine != 0) {
        char reason[48];
        std::snprintf(reason, sizeof reason, "line %d: bad or missing", wrongLine);
        // As wide as the message above, so that it covers it.
        return loadFailure("The saved adventure is damaged     ", reason);
    }
    std::snprintf(game.loadedPlayerName, sizeof game.loadedPlayerName, "%s", name);
    game.player.name = game.loadedPlayerName;
    applySavedNumbers(numbers);
    applySaveExtras(extras);
    LoadOutcome loaded;
    loaded.done = true;
    return loaded;
}
