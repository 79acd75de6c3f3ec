// The save file: a name line and 88 numbers, one per line, in a fixed order; then the lines
// that the first saves left out.
#include "save/save.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "battle/battle.h"
#include "console/console.h"
#include "dungeon/dungeon.h"
#include "game/game.h"

char lineBuffer[lineBufferSize];
const char saveFileName[] = "SaveFile.txt";

// What player.name and a loaded weapon's name refer to; lineBuffer is scratch space.
static constexpr int savedNameSize = 30;
static char loadedPlayerName[savedNameSize];
static char loadedWeaponName[roomTextCapacity]; // as long as a pickup text can be

// Written beside the save and renamed over it once complete, so that a crash or a full
// disk part way through never costs the player the save they had.
static const char newSaveFileName[] = "SaveFile.txt.new";

// The steps of writing a save, counted from 0: the open, each of the 89 lines, the flush, the
// fsync, the close and the rename. Tests make one of them fail to show the old save survives.
int saveFailureStep = -1;
static int saveStep = 0;

static bool stepFails() {
    return saveStep++ == saveFailureStep;
}

// Lines 2 to 12, in file order; then come the item counts and the defeated bosses.
static int32_t *const savedStats[] = {
    &player.hp,     &player.sp,      &player.maxHp,       &player.maxSp,
    &player.attack, &player.defense, &player.spellsKnown, &player.experience,
    &player.level,  &mollochDefeats, &agamirDefeats,
};
constexpr int savedStatCount = sizeof savedStats / sizeof savedStats[0];
constexpr int savedNumberCount = saveFileLines - 1;
static_assert(savedStatCount + itemKinds + 3 * maxDefeatedBosses == savedNumberCount);

// The 88 numbers of lines 2 to 89, in file order. A boss entry is written row, column,
// mode: the reverse of its order in memory.
static void collectSavedNumbers(int32_t numbers[savedNumberCount]) {
    int n = 0;
    for (int32_t *stat : savedStats)
        numbers[n++] = *stat;
    for (int8_t count : itemCounts)
        numbers[n++] = count;
    for (const DefeatedBoss &entry : defeatedBosses) {
        numbers[n++] = entry.roomRow;
        numbers[n++] = entry.roomCol;
        numbers[n++] = entry.mode;
    }
}

static void applySavedNumbers(const int32_t numbers[savedNumberCount]) {
    int n = 0;
    for (int32_t *stat : savedStats)
        *stat = numbers[n++];
    for (int8_t &count : itemCounts)
        count = static_cast<int8_t>(numbers[n++]);
    for (DefeatedBoss &entry : defeatedBosses) {
        entry.roomRow = numbers[n++];
        entry.roomCol = numbers[n++];
        entry.mode = numbers[n++];
    }
}

// --- The lines after line 89 ---
// Line 90 is the weapon's name; then the numbers below, one per line. A reader that stops at
// line 89 still reads every save, and a save that ends there loads as it always did, these
// values then taking their start values.
static int32_t *const savedExtras[] = {
    &player.weaponStrength,
    &clockMinutes, // the flashlight clock: the light left
    &clockSeconds,
    // The bosses as their last defeat left them.
    &bosses[0].hp, &bosses[0].defense, &bosses[0].attack, &bosses[0].maxHp, // Molloch
    &bosses[1].hp, &bosses[1].defense, &bosses[1].attack, &bosses[1].maxHp, // Agamir
    &bosses[2].hp, &bosses[2].defense, &bosses[2].attack, &bosses[2].maxHp, // OldWiseMan
};
constexpr int savedExtraCount = sizeof savedExtras / sizeof savedExtras[0];
static_assert(1 + savedExtraCount == saveExtraLines);

// The values of lines 90 to 105, read before any of them is applied.
struct SavedExtras {
    bool present; // false for a save that ends at line 89
    char weaponName[roomTextCapacity];
    int32_t numbers[savedExtraCount];
};

static bool writeSaveExtras(FILE *file) {
    std::snprintf(lineBuffer, sizeof lineBuffer, "%s\n", player.weaponName);
    bool written = !stepFails() && std::fputs(lineBuffer, file) >= 0;
    for (const int32_t *number : savedExtras) {
        std::snprintf(lineBuffer, sizeof lineBuffer, "%d\n", *number);
        written = written && !stepFails() && std::fputs(lineBuffer, file) >= 0;
    }
    return written;
}

static bool readSaveLine(FILE *file, char *line, int size, bool *cut);
static bool parseSavedNumber(const char *line, long low, long high, int32_t *number);

// False when the lines are there but cut short or garbled.
static bool readSaveExtras(FILE *file, SavedExtras *extras) {
    bool cut;
    extras->present = readSaveLine(file, extras->weaponName, sizeof extras->weaponName, &cut);
    if (!extras->present) return true;
    if (cut || extras->weaponName[0] == '\0') return false;
    char line[lineBufferSize];
    for (int n = 0; n < savedExtraCount; n++) {
        // The clock's seconds never leave 0..59; a flashlight clock beyond them would not
        // count down as it should.
        bool isSeconds = savedExtras[n] == &clockSeconds;
        if (!readSaveLine(file, line, sizeof line, &cut) || cut ||
            !parseSavedNumber(line, isSeconds ? 0 : INT32_MIN, isSeconds ? 59 : INT32_MAX,
                              &extras->numbers[n])) {
            return false;
        }
    }
    return true;
}

static void applySaveExtras(const SavedExtras &extras) {
    if (extras.present) {
        std::snprintf(loadedWeaponName, sizeof loadedWeaponName, "%s", extras.weaponName);
        player.weaponName = loadedWeaponName;
        for (int n = 0; n < savedExtraCount; n++)
            *savedExtras[n] = extras.numbers[n];
    } else {
        giveStartWeapon();
        clockMinutes = 0;
        clockSeconds = 0;
        setUpBosses();
    }
    // The light goes on burning from now, not from whenever the clock last looked.
    timerLastMillis = timeOfDayMillis();
    timerAccumMillis = 0;
}

// Makes a finished rename survive a power cut as well.
static void syncCurrentDirectory() {
    int directory = open(".", O_RDONLY);
    if (directory < 0) return;
    fsync(directory);
    close(directory);
}

static bool writeSaveFile() {
    saveStep = 0;
    FILE *file = stepFails() ? nullptr : std::fopen(newSaveFileName, "w");
    if (file == nullptr) return false;
    bool written = !stepFails() && std::fputs("BOB\n", file) >= 0;
    int32_t numbers[savedNumberCount];
    collectSavedNumbers(numbers);
    for (int32_t number : numbers) {
        std::snprintf(lineBuffer, sizeof lineBuffer, "%d\n", number);
        written = written && !stepFails() && std::fputs(lineBuffer, file) >= 0;
    }
    written = written && writeSaveExtras(file);
    written = written && !stepFails() && std::fflush(file) == 0;
    written = written && !stepFails() && fsync(fileno(file)) == 0;
    written = std::fclose(file) == 0 && !stepFails() && written;
    if (!written || stepFails() || std::rename(newSaveFileName, saveFileName) != 0) {
        std::remove(newSaveFileName);
        return false;
    }
    syncCurrentDirectory();
    return true;
}

void saveGame() {
    if (!writeSaveFile()) printAt("Cannot save game", 15, 45, 5);
}

// Reads one line of any length; keeps its first size - 1 characters, without the line end.
// Sets *cut when the line was longer. False at the end of the file.
static bool readSaveLine(FILE *file, char *line, int size, bool *cut) {
    int length = 0;
    int ch = std::getc(file);
    if (ch == EOF) return false;
    *cut = false;
    for (; ch != EOF && ch != '\n'; ch = std::getc(file)) {
        if (length < size - 1) {
            line[length++] = static_cast<char>(ch);
        } else {
            *cut = true;
        }
    }
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

// Reads the whole file before anything changes: a short or garbled file is refused.
static bool readSaveFile(FILE *file, char name[savedNameSize], int32_t numbers[savedNumberCount],
                         SavedExtras *extras) {
    bool cut;
    if (!readSaveLine(file, name, savedNameSize, &cut)) return false; // the name: not checked
    char line[lineBufferSize];
    for (int n = 0; n < savedNumberCount; n++) {
        bool isItemCount = n >= savedStatCount && n < savedStatCount + itemKinds;
        long low = isItemCount ? INT8_MIN : INT32_MIN;
        long high = isItemCount ? INT8_MAX : INT32_MAX;
        if (!readSaveLine(file, line, sizeof line, &cut) || cut ||
            !parseSavedNumber(line, low, high, &numbers[n])) {
            return false;
        }
    }
    return readSaveExtras(file, extras);
}

static void showLoadFailure(const char *message) {
    printAt(message, 15, 20, 20);
    waitMillis(1000);
}

bool loadGame() {
    FILE *file = std::fopen(saveFileName, "rb");
    if (file == nullptr) {
        showLoadFailure("No previous adventure is documented");
        return false;
    }
    char name[savedNameSize];
    int32_t numbers[savedNumberCount];
    SavedExtras extras{};
    bool complete = readSaveFile(file, name, numbers, &extras);
    std::fclose(file);
    if (!complete) {
        // As wide as the message above, so that it covers it.
        showLoadFailure("The saved adventure is damaged     ");
        return false;
    }
    std::snprintf(loadedPlayerName, sizeof loadedPlayerName, "%s", name);
    player.name = loadedPlayerName;
    applySavedNumbers(numbers);
    applySaveExtras(extras);
    return true;
}
