// The recording backend: wraps whichever backend runs and writes every input it gives the
// game, as the game takes it, so that a replay can give the game the very same inputs.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "platform/system.h"
#include "recording/recording.h"
#include "resources/datapath.h"
#include "resources/resources.h"

namespace {

// Clock readings and empty polls are written as runs, one line for each run of equal
// values, and one line with a repeat count for equal runs in a row (a typewriter's ticks).
// Their order among each other does not matter (the game's calls come in the same order
// again); only their order against keys, discards, data files and checkpoints does, so the
// three go on side by side and are all written out before any of those.
struct Run {
    char letter;          // 't', 'm' or 'p'
    uint32_t modulus = 0; // the time of day wraps at 1000
    bool active = false;  // a run is being counted
    uint32_t value = 0;   // the reading the run repeats
    uint32_t delta = 0;   // from the value before the run
    uint32_t count = 0;   // readings in the run so far
    // The run line not written yet, and how many times in a row it came.
    bool held = false;        // a run line waits to be written
    uint32_t heldDelta = 0;   // its delta
    uint32_t heldCount = 0;   // its count
    uint32_t heldRepeats = 0; // equal runs in a row it stands for
};

// One recording, from startRecording to finishRecording; a new recording starts afresh.
struct Recorder {
    const Platform *inner = nullptr; // the backend recorded through (set just after the start)
    FILE *out = nullptr;             // the recording's file; null when not recording
    std::string outPath;             // its path, for the message when writing fails
    bool writeFailed = false;        // some of the file could not be written
    int writeError = 0;              // errno of the first failed write
    int checkpointEvery = 0;         // presents between checkpoints; 0 only at the end
    int presentsSinceCheckpoint = 0; // presents since the last checkpoint was written
    bool checkpointDue = false;      // a checkpoint goes in before the next input
    int checkpointNumber = 0;        // the label of the last numbered checkpoint
    uint32_t lastTick = 0;           // the last tick the game read: deltas are written from it
    uint32_t lastTime = 0;           // the last time of day the game read
    uint32_t noPrevious = 0;         // empty polls have no value to be written from
    Run tickRun{'t'};                // runs of tick readings
    Run timeRun{'m', 1000};          // runs of time-of-day readings
    Run emptyPollRun{'p'};           // runs of polls that found nothing
};

Recorder recorder;

void put(const char *format, ...) __attribute__((format(printf, 1, 2)));
void put(const char *format, ...) {
    if (recorder.out == nullptr) return;
    va_list arguments;
    va_start(arguments, format);
    int written = std::vfprintf(recorder.out, format, arguments);
    va_end(arguments);
    if (written < 0 && !recorder.writeFailed) {
        recorder.writeFailed = true;
        recorder.writeError = errno;
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
    for (Run *run : {&recorder.tickRun, &recorder.timeRun, &recorder.emptyPollRun}) {
        endRun(*run);
        writeHeld(*run);
    }
}

// previous: the reading the run's first value is written from; it becomes the value.
void addToRun(Run &run, uint32_t &previous, uint32_t value) {
    if (run.active && run.value == value && run.count < maxRecordCount) {
        run.count++;
        return;
    }
    endRun(run);
    run.active = true;
    run.value = value;
    run.delta = value - previous;
    if (run.modulus != 0) run.delta = (value + run.modulus - previous) % run.modulus;
    previous = value;
    run.count = 1;
}

// Before the program may wait or end: whatever happens next, the file holds everything so far.
void flushOut() {
    endRun();
    if (recorder.out != nullptr && std::fflush(recorder.out) != 0 && !recorder.writeFailed) {
        recorder.writeFailed = true;
        recorder.writeError = errno;
    }
}

// The checkpoint's block: the state, the looks, and the screen a row a line.
void writeCheckpoint(const char *label) {
    endRun();
    put("c %s %s\n", label, checkpointState().c_str());
    put("l %s %s\n", label, checkpointLooks().c_str());
    for (int row = 0; row < screenHeight; row++)
        put("r %02d %s\n", row, screenRowRecord(row).c_str());
}

// Every input call begins here: a checkpoint that fell due at a present goes in first, at a
// point a replay reaches with the same state.
void beginInput() {
    if (!recorder.checkpointDue) return;
    recorder.checkpointDue = false;
    recorder.presentsSinceCheckpoint = 0;
    writeCheckpoint(std::to_string(++recorder.checkpointNumber).c_str());
}

void putEvent(const KeyEvent &event) {
    put(" %c %u %u", event.keyDown ? 'd' : 'u', event.virtualKey,
        static_cast<unsigned>(static_cast<unsigned char>(event.character)));
}

bool recordingInit() {
    return recorder.inner->init();
}

void recordingShutdown() {
    recorder.inner->shutdown();
}

void recordingPresent(const ScreenCells &cells) {
    recorder.inner->present(cells);
    noteScreenShown(cells);
    if (recorder.checkpointEvery > 0 &&
        ++recorder.presentsSinceCheckpoint >= recorder.checkpointEvery)
        recorder.checkpointDue = true;
}

void recordingReadEvent(KeyEvent *event) {
    beginInput();
    flushOut();
    recorder.inner->readEvent(event);
    uint32_t arrival = recorder.inner->tickMillis();
    put("k");
    putEvent(*event);
    put(" @%u\n", arrival - recorder.lastTick);
}

int recordingPollEvents(KeyEvent *events, int max, int waitMillis) {
    beginInput();
    int n = recorder.inner->pollEvents(events, max, waitMillis);
    if (n == 0) {
        // A poll that found nothing may have waited: what is written so far goes out.
        addToRun(recorder.emptyPollRun, recorder.noPrevious, 0);
        if (recorder.out != nullptr) std::fflush(recorder.out);
        return 0;
    }
    endRun();
    uint32_t arrival = recorder.inner->tickMillis();
    put("p %d @%u", n, arrival - recorder.lastTick);
    for (int i = 0; i < n; i++)
        putEvent(events[i]);
    put("\n");
    return n;
}

void recordingDiscardEvents() {
    beginInput();
    endRun();
    put("x\n");
    recorder.inner->discardEvents();
}

uint32_t recordingTickMillis() {
    beginInput();
    uint32_t value = recorder.inner->tickMillis();
    addToRun(recorder.tickRun, recorder.lastTick, value);
    return value;
}

int recordingTimeOfDayMillis() {
    beginInput();
    int value = recorder.inner->timeOfDayMillis();
    addToRun(recorder.timeRun, recorder.lastTime, static_cast<uint32_t>(value));
    return value;
}

void recordingSleepMillis(uint32_t ms) {
    // What is written goes out; the runs go on (a typewriter waits after every character).
    if (recorder.out != nullptr) std::fflush(recorder.out);
    recorder.inner->sleepMillis(ms);
}

void recordingSetTitle(const char *title) {
    recorder.inner->setTitle(title);
}

void recordingSetCursorVisible(bool visible) {
    recorder.inner->setCursorVisible(visible);
}

void recordingSetMinimumSize(int width, int height) {
    recorder.inner->setMinimumSize(width, height);
}

void recordingReportError(const char *line) {
    recorder.inner->reportError(line);
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

// True when path is, or would become, the game's save or one of its data files.
bool isGameFile(const char *path) {
    std::string name = textOf(pathOf(path).filename());
    if (name == saveFileName || name == newSaveFileName || isDataFileName(name)) return true;
    if (!pathExists(path)) return false;
    std::vector<std::string> gameFiles{saveFilePath()};
    for (const char *dataFile : dataFileNames)
        gameFiles.push_back(dataFilePath(dataFile));
    for (const std::string &gameFile : gameFiles) {
        if (sameFile(path, gameFile)) return true;
    }
    return false;
}

// Only a recording made before is emptied to be written again.
const char *whyNotRecordedOver(const std::string &firstBytes) {
    static const char magic[] = "brinewort-recording ";
    bool recording = firstBytes.compare(0, sizeof magic - 1, magic) == 0;
    return recording ? nullptr : "not a recording; it is left as it is";
}

bool startRecording(const char *path, int every, std::string *error) {
    std::string shownPath = printableText(path);
    // The save as the run finds it is an input like any other; one that cannot be read could
    // not be given to a replay.
    FileBytes save = readFileBytes(saveFilePath().c_str(), maxSaveFileBytes);
    if (!save.ok && save.error != ENOENT) {
        *error = printableText(saveFilePath()) + ": " + save.reason + "; nothing is recorded";
        return false;
    }
    if (isGameFile(path)) {
        *error = shownPath + ": the game's own save or data file; record into another file";
        return false;
    }
    // A new name, or a recording made before: nothing else is ever emptied.
    std::string reason;
    int fd = openFileToReplace(path, whyNotRecordedOver, &reason);
    if (fd >= 0) {
        recorder = Recorder{};
        recorder.out = fdopen(fd, "w");
        if (recorder.out == nullptr) close(fd);
    }
    if (recorder.out == nullptr) {
        if (reason.empty()) reason = std::strerror(errno);
        *error = shownPath + ": " + reason;
        return false;
    }
    recorder.outPath = shownPath;
    observeDataFiles(noteDataFileOpened);
    recorder.checkpointEvery = every;
    forgetScreensShown();
    // The directory is one line of the file: one whose name holds a line end is not written.
    const std::string directory = currentDirectory();
    bool oneLine = !directory.empty() && directory.find_first_of("\r\n") == std::string::npos;
    put("brinewort-recording %d\ndir %s\nsave %s\n", recordingVersion,
        oneLine ? directory.c_str() : ".", save.ok ? hexOf(save.bytes).c_str() : "-");
    flushOut();
    return true;
}

const Platform *recordThrough(const Platform &innerPlatform) {
    recorder.inner = &innerPlatform;
    return &recordingPlatform;
}

bool finishRecording(std::string *error) {
    if (recorder.out == nullptr) return true;
    writeCheckpoint("end");
    flushOut();
    if (std::fclose(recorder.out) != 0 && !recorder.writeFailed) {
        recorder.writeFailed = true;
        recorder.writeError = errno;
    }
    recorder.out = nullptr;
    observeDataFiles(nullptr);
    if (recorder.writeFailed) {
        *error = recorder.outPath + ": the recording could not be written whole: " +
                 std::strerror(recorder.writeError);
        return false;
    }
    return true;
}

void noteDataFileOpened(const char *name, const std::string &bytes) {
    if (recorder.out == nullptr) return;
    endRun();
    uint64_t hash = hashBytes(bytes.data(), bytes.size());
    put("f %016llx %s\n", static_cast<unsigned long long>(hash), name);
}
