// The save file: a name line and 88 numbers, one per line, in a fixed order.
#include "save/save.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "console/console.h"
#include "game/game.h"
#include "resources/datapath.h"

char lineBuffer[lineBufferSize];
const char saveFileName[] = "SaveFile.txt";

// Written beside the save and renamed over it once complete, so that a crash or a full
// disk part way through never costs the player the save they had.
static std::string newSaveFilePath() {
    return saveFilePath() + ".new";
}

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

// Makes a finished rename survive a power cut as well.
static void syncSaveDirectory() {
    int directory = open(saveDirectoryPath().c_str(), O_RDONLY);
    if (directory < 0) return;
    fsync(directory);
    close(directory);
}

// The reason a save failed, for the error stream; the screen only says "Cannot save game".
static void reportSaveError(const std::string &path) {
    char line[600];
    std::snprintf(line, sizeof line, "brinewort: cannot save the game: %s: %s", path.c_str(),
                  std::strerror(errno));
    reportErrorLine(line);
}

static bool writeSaveFile() {
    saveStep = 0;
    const std::string newSaveFileName = newSaveFilePath();
    FILE *file = stepFails() ? nullptr : std::fopen(newSaveFileName.c_str(), "w");
    if (file == nullptr) {
        reportSaveError(saveFilePath());
        return false;
    }
    bool written = !stepFails() && std::fputs("BOB\n", file) >= 0;
    int32_t numbers[savedNumberCount];
    collectSavedNumbers(numbers);
    for (int32_t number : numbers) {
        std::snprintf(lineBuffer, sizeof lineBuffer, "%d\n", number);
        written = written && !stepFails() && std::fputs(lineBuffer, file) >= 0;
    }
    written = written && !stepFails() && std::fflush(file) == 0;
    written = written && !stepFails() && fsync(fileno(file)) == 0;
    written = std::fclose(file) == 0 && !stepFails() && written;
    if (!written || stepFails() ||
        std::rename(newSaveFileName.c_str(), saveFilePath().c_str()) != 0) {
        reportSaveError(saveFilePath());
        std::remove(newSaveFileName.c_str());
        return false;
    }
    syncSaveDirectory();
    return true;
}

void saveGame() {
    if (!prepareSaveDirectory() || !writeSaveFile()) printAt("Cannot save game", 15, 45, 5);
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
static bool readSaveFile(FILE *file, char name[30], int32_t numbers[savedNumberCount]) {
    bool cut;
    if (!readSaveLine(file, name, 30, &cut)) return false; // the name: not checked
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
    return true;
}

static void showLoadFailure(const char *message) {
    printAt(message, 15, 20, 20);
    waitMillis(1000);
}

bool loadGame() {
    FILE *file = std::fopen(saveFilePath().c_str(), "rb");
    if (file == nullptr) {
        showLoadFailure("No previous adventure is documented");
        return false;
    }
    char name[30];
    int32_t numbers[savedNumberCount];
    bool complete = readSaveFile(file, name, numbers);
    std::fclose(file);
    if (!complete) {
        // As wide as the message above, so that it covers it.
        showLoadFailure("The saved adventure is damaged     ");
        return false;
    }
    std::snprintf(lineBuffer, sizeof lineBuffer, "%s", name);
    player.name = lineBuffer;
    applySavedNumbers(numbers);
    return true;
}
