// The recording backend: wraps whichever backend runs and writes every input it gives the
// game, as the game takes it, so that a replay can give the game the very same inputs.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "recording/recording.h"
#include "resources/datapath.h"
#include "save/save.h"

namespace {

const Platform *inner = nullptr;
FILE *out = nullptr;
std::string outPath;
bool writeFailed = false;
int writeError = 0;
int checkpointEvery = 0;
int presentsSinceCheckpoint = 0;
bool checkpointDue = false;
int checkpointNumber = 0;
uint32_t lastTick = 0; // the last tick the game read: deltas are written from it

// Clock readings and empty polls are written as runs, one line for each run of equal
// values, and one line with a repeat count for equal runs in a row (a typewriter's ticks).
// Their order among each other does not matter (the game's calls come in the same order
// again); only their order against keys, discards, data files and checkpoints does, so the
// three go on side by side and are all written out before any of those.
struct Run {
    char letter;                  // 't', 'm' or 'p'
    uint32_t *previous = nullptr; // the value the run's first reading is written from
    uint32_t modulus = 0;         // the time of day wraps at 1000
    bool active = false;
    uint32_t value = 0;
    uint32_t delta = 0; // from the value before the run
    uint32_t count = 0;
    // The run line not written yet, and how many times in a row it came.
    bool held = false;
    uint32_t heldDelta = 0, heldCount = 0, heldRepeats = 0;
};
uint32_t lastTime = 0; // the last time of day the game read
uint32_t noPrevious = 0;
Run tickRun{'t', &lastTick}, timeRun{'m', &lastTime, 1000}, emptyPollRun{'p', &noPrevious};

void put(const char *format, ...) __attribute__((format(printf, 1, 2)));
void put(const char *format, ...) {
    if (out == nullptr) return;
    va_list arguments;
    va_start(arguments, format);
    int written = std::vfprintf(out, format, arguments);
    va_end(arguments);
    if (written < 0 && !writeFailed) {
        writeFailed = true;
        writeError = errno;
    }
}

void writeHeld(Run &run) {
    if (!run.held) return;
    run.held = false;
    if (run.letter == 'p') {
        put("p*%u", run.heldCount);
    } else if (run.heldCount > 1) {
        put("%c %u*%u", run.letter, run.heldDelta, run.heldCount);
    } else {
        put("%c %u", run.letter, run.heldDelta);
    }
    if (run.heldRepeats > 1) put(" ^%u", run.heldRepeats);
    put("\n");
}

void endRun(Run &run) {
    if (!run.active) return;
    run.active = false;
    bool same = run.held && run.heldDelta == run.delta && run.heldCount == run.count;
    if (same && uint64_t{run.count} * (run.heldRepeats + 1) <= maxRecordCount) {
        run.heldRepeats++;
        return;
    }
    writeHeld(run);
    run.held = true;
    run.heldDelta = run.delta;
    run.heldCount = run.count;
    run.heldRepeats = 1;
}

// Before any other record: the runs so far are written out.
void endRun() {
    for (Run *run : {&tickRun, &timeRun, &emptyPollRun}) {
        endRun(*run);
        writeHeld(*run);
    }
}

void addToRun(Run &run, uint32_t value) {
    if (run.active && run.value == value && run.count < maxRecordCount) {
        run.count++;
        return;
    }
    endRun(run);
    run.active = true;
    run.value = value;
    run.delta = value - *run.previous;
    if (run.modulus != 0) run.delta = (value + run.modulus - *run.previous) % run.modulus;
    *run.previous = value;
    run.count = 1;
}

// Before the program may wait or end: whatever happens next, the file holds everything so far.
void flushOut() {
    endRun();
    if (out != nullptr && std::fflush(out) != 0 && !writeFailed) {
        writeFailed = true;
        writeError = errno;
    }
}

void writeCheckpoint(const char *label) {
    endRun();
    put("c %s %s\n", label, checkpointState().c_str());
}

// Every input call begins here: a checkpoint that fell due at a present goes in first, at a
// point a replay reaches with the same state.
void beginInput() {
    if (!checkpointDue) return;
    checkpointDue = false;
    presentsSinceCheckpoint = 0;
    writeCheckpoint(std::to_string(++checkpointNumber).c_str());
}

void putEvent(const KeyEvent &event) {
    put(" %c %u %u", event.keyDown ? 'd' : 'u', event.virtualKey,
        static_cast<unsigned>(static_cast<unsigned char>(event.character)));
}

bool recordingInit() {
    return inner->init();
}

void recordingShutdown() {
    inner->shutdown();
}

void recordingPresent(const ScreenCells &cells) {
    inner->present(cells);
    noteScreenShown(cells);
    if (checkpointEvery > 0 && ++presentsSinceCheckpoint >= checkpointEvery) checkpointDue = true;
}

void recordingReadEvent(KeyEvent *event) {
    beginInput();
    flushOut();
    inner->readEvent(event);
    uint32_t arrival = inner->tickMillis();
    put("k");
    putEvent(*event);
    put(" @%u\n", arrival - lastTick);
}

int recordingPollEvents(KeyEvent *events, int max, int waitMillis) {
    beginInput();
    int n = inner->pollEvents(events, max, waitMillis);
    if (n == 0) {
        // A poll that found nothing may have waited: what is written so far goes out.
        addToRun(emptyPollRun, 0);
        if (out != nullptr) std::fflush(out);
        return 0;
    }
    endRun();
    uint32_t arrival = inner->tickMillis();
    put("p %d @%u", n, arrival - lastTick);
    for (int i = 0; i < n; i++)
        putEvent(events[i]);
    put("\n");
    return n;
}

void recordingDiscardEvents() {
    beginInput();
    endRun();
    put("x\n");
    inner->discardEvents();
}

uint32_t recordingTickMillis() {
    beginInput();
    uint32_t value = inner->tickMillis();
    addToRun(tickRun, value);
    return value;
}

int recordingTimeOfDayMillis() {
    beginInput();
    int value = inner->timeOfDayMillis();
    addToRun(timeRun, static_cast<uint32_t>(value));
    return value;
}

void recordingSleepMillis(uint32_t ms) {
    // What is written goes out; the runs go on (a typewriter waits after every character).
    if (out != nullptr) std::fflush(out);
    inner->sleepMillis(ms);
}

void recordingSetTitle(const char *title) {
    inner->setTitle(title);
}

void recordingSetCursorVisible(bool visible) {
    inner->setCursorVisible(visible);
}

void recordingSetMinimumSize(int width, int height) {
    inner->setMinimumSize(width, height);
}

void recordingReportError(const char *line) {
    inner->reportError(line);
}

std::string hexOf(const std::string &bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char ch : bytes) {
        hex += digits[ch >> 4];
        hex += digits[ch & 15];
    }
    return hex;
}

} // namespace

const Platform recordingPlatform = {
    .name = "recording",
    .init = recordingInit,
    .shutdown = recordingShutdown,
    .present = recordingPresent,
    .readEvent = recordingReadEvent,
    .pollEvents = recordingPollEvents,
    .discardEvents = recordingDiscardEvents,
    .tickMillis = recordingTickMillis,
    .timeOfDayMillis = recordingTimeOfDayMillis,
    .sleepMillis = recordingSleepMillis,
    .setTitle = recordingSetTitle,
    .setCursorVisible = recordingSetCursorVisible,
    .setMinimumSize = recordingSetMinimumSize,
    .reportError = recordingReportError,
};

bool startRecording(const char *path, int every, std::string *error) {
    // The save as the run finds it is an input like any other.
    std::string save;
    bool hasSave = false;
    if (FILE *file = std::fopen(saveFilePath().c_str(), "rb")) {
        hasSave = true;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0 && save.size() < (1u << 20))
            save.append(buffer, n);
        std::fclose(file);
    }
    out = std::fopen(path, "w");
    if (out == nullptr) {
        *error = std::string(path) + ": " + std::strerror(errno);
        return false;
    }
    outPath = path;
    writeFailed = false;
    checkpointEvery = every;
    presentsSinceCheckpoint = 0;
    checkpointDue = false;
    checkpointNumber = 0;
    forgetScreensShown();
    lastTick = lastTime = 0;
    for (Run *run : {&tickRun, &timeRun, &emptyPollRun})
        run->active = run->held = false;
    std::error_code ignored;
    put("brinewort-recording %d\ndir %s\nsave %s\n", recordingVersion,
        std::filesystem::current_path(ignored).c_str(), hasSave ? hexOf(save).c_str() : "-");
    flushOut();
    return true;
}

const Platform *recordThrough(const Platform &innerPlatform) {
    inner = &innerPlatform;
    return &recordingPlatform;
}

bool finishRecording(std::string *error) {
    if (out == nullptr) return true;
    writeCheckpoint("end");
    flushOut();
    if (std::fclose(out) != 0 && !writeFailed) {
        writeFailed = true;
        writeError = errno;
    }
    out = nullptr;
    if (writeFailed) {
        *error =
            outPath + ": the recording could not be written whole: " + std::strerror(writeError);
        return false;
    }
    return true;
}

void noteDataFileOpened(const char *name, const char *path) {
    if (out != nullptr) {
        endRun();
        uint64_t hash = 0;
        hashFile(path, &hash);
        put("f %016llx %s\n", static_cast<unsigned long long>(hash), name);
    }
    replayDataFileOpened(name, path);
}
