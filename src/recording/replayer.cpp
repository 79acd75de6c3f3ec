// The replaying backend: gives the game the inputs of a recording, in order and at the
// recorded pace, and forwards what the game shows to a presenter (a terminal, or nothing).
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "console/console.h"
#include "game/game.h"
#include "platform/system.h"
#include "recording/recording.h"
#include "resources/datapath.h"
#include "resources/resources.h"

namespace fs = std::filesystem;

namespace {

// Thrown where the replay cannot go on; runReplay catches it.
struct ReplayStop {
    ReplayOutcome outcome;
    std::string message;
};

constexpr uint32_t viewerCheckMillis = 100; // at full speed, how often the viewer's keys are read
constexpr uint32_t longestPaceWait = 1000;  // a paced wait is taken in pieces of at most this
constexpr int noticeRow = screenHeight - 1;

// A place in the recording: a record and a reader standing just after it.
struct Cursor {
    RecordReader reader;
    Record record;      // the record here, when valid
    uint64_t index = 0; // its number, from 0
    bool valid = false; // false past the last record
};

Cursor firstRecord(const Recording &recorded) {
    Cursor cursor;
    cursor.reader = RecordReader(recorded);
    cursor.valid = cursor.reader.next(&cursor.record);
    return cursor;
}

void advance(Cursor &cursor) {
    cursor.valid = cursor.valid && cursor.reader.next(&cursor.record);
    cursor.index++;
}

// One replay, from runReplay's start to its end; a new replay starts afresh.
struct Replay {
    const Recording *recording = nullptr; // the one being replayed; null when none is
    const Platform *presenter = nullptr;  // where the game's screens are shown
    ReplayOptions options;                // the speed and the viewer's keys
    ReplayResult *result = nullptr;       // checkpoints passed and the first one that differs
    Cursor head; // the first record not taken yet: a segment of readings, or another record
    uint32_t lastTick = 0; // the last tick given
    uint32_t lastTime = 0; // the last time of day given
    // The pace: recorded tick recordedBase was shown at the presenter's tick realBase.
    bool paceStarted = false;     // the first paced input has set the two bases
    uint32_t recordedBase = 0;    // the recorded tick the pace counts from
    uint32_t realBase = 0;        // the presenter's tick it was shown at (moved on by a pause)
    uint32_t lastViewerCheck = 0; // the presenter's tick when the viewer's keys were last read
    // The lines from head to segmentEnd are clock readings and empty polls: three streams,
    // each taken in order by its own cursor.
    Cursor segmentEnd;             // the first record after the segment
    std::array<Cursor, 3> cursors; // each stream's record being taken (at segmentEnd: none left)
    uint32_t usedOf[3] = {};       // how many readings of that record are taken
};

Replay replay;

const char *kindName(Record::Kind kind) {
    switch (kind) {
    case Record::Kind::tick:
        return "a clock reading";
    case Record::Kind::timeOfDay:
        return "the time of day";
    case Record::Kind::read:
        return "a key";
    case Record::Kind::poll:
        return "a poll of the keyboard";
    case Record::Kind::discard:
        return "dropping pending keys";
    case Record::Kind::dataFile:
        return "a data file";
    case Record::Kind::checkpoint:
    case Record::Kind::looks:
    case Record::Kind::screenRow:
        return "a checkpoint";
    }
    return "?";
}

std::vector<std::string> fieldsOf(const std::string &state) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (start <= state.size()) {
        size_t end = std::min(state.find(' ', start), state.size());
        fields.push_back(state.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

// The names of the fields ("mode", "player", ... "shown") whose values differ.
std::string differingFields(const std::string &expected, const std::string &actual) {
    std::vector<std::string> left = fieldsOf(expected), right = fieldsOf(actual);
    std::string names;
    for (size_t i = 0; i < std::max(left.size(), right.size()); i++) {
        std::string a = i < left.size() ? left[i] : "", b = i < right.size() ? right[i] : "";
        if (a == b) continue;
        std::string name = (a.empty() ? b : a).substr(0, (a.empty() ? b : a).find('='));
        names += (names.empty() ? "" : ", ") + name;
    }
    return names;
}

// " LABEL TEXT": the label, and the text after it.
void splitLabel(const std::string &text, std::string *label, std::string *rest) {
    size_t space = text.find(' ', 1);
    *label = text.substr(1, space == std::string::npos ? space : space - 1);
    *rest = space == std::string::npos ? "" : text.substr(space + 1);
}

bool isCheckpointPart(Record::Kind kind) {
    return kind == Record::Kind::checkpoint || kind == Record::Kind::looks ||
           kind == Record::Kind::screenRow;
}

// The checkpoint block the head stands on, checked and passed: its state, then (from version
// 2 on) its looks and the screen's rows.
void checkCheckpointBlock() {
    std::string label, expectedState, expectedLooks, ignored;
    splitLabel(replay.head.record.text, &label, &expectedState);
    std::vector<std::string> expectedRows;
    for (advance(replay.head); replay.head.valid; advance(replay.head)) {
        const Record &part = replay.head.record;
        if (part.kind == Record::Kind::looks) {
            splitLabel(part.text, &ignored, &expectedLooks);
        } else if (part.kind == Record::Kind::screenRow) {
            expectedRows.push_back(part.text.substr(1));
        } else {
            break;
        }
    }
    bool legacy = replay.recording->version < 2;
    std::string actualState = legacy ? legacyCheckpointState() : checkpointState();
    std::vector<std::string> actualRows;
    actualRows.reserve(screenHeight);
    for (int row = 0; row < screenHeight; row++)
        actualRows.push_back(screenRowRecord(row));
    std::string fields = differingFields(expectedState, actualState);
    auto also = [&fields](const char *field) {
        fields += (fields.empty() ? "" : ", ") + std::string(field);
    };
    if (replay.options.newLooks) {
        std::vector<std::string> looks{"l " + label + " " + checkpointLooks()};
        for (int row = 0; row < screenHeight; row++) {
            char number[8];
            std::snprintf(number, sizeof number, "r %02d ", row);
            looks.push_back(number + actualRows[static_cast<size_t>(row)]);
        }
        replay.result->looks.push_back(std::move(looks));
    } else if (!legacy) {
        if (expectedLooks != checkpointLooks()) also("shown");
        if (expectedRows != actualRows) also("screen");
    }
    if (fields.empty()) {
        replay.result->checkpointsPassed++;
        replay.result->lastGoodCheckpoint = label;
        return;
    }
    replay.result->checkpoint = label;
    replay.result->expected = expectedState;
    replay.result->actual = actualState;
    replay.result->expectedScreen = expectedRows;
    replay.result->actualScreen = actualRows;
    if (fields == "shown") {
        fields += replay.result->lastGoodCheckpoint.empty()
                      ? " (a screen shown since the start)"
                      : " (a screen shown since checkpoint " +
                            printableText(replay.result->lastGoodCheckpoint) + ")";
    }
    throw ReplayStop{ReplayOutcome::diverged,
                     "The replay differs from the recording at checkpoint " + printableText(label) +
                         " in " + fields};
}

bool isLoose(const Record &record) {
    return record.kind == Record::Kind::tick || record.kind == Record::Kind::timeOfDay ||
           (record.kind == Record::Kind::poll && record.events.empty());
}

int streamOf(Record::Kind kind) {
    return kind == Record::Kind::tick ? 0 : kind == Record::Kind::timeOfDay ? 1 : 2;
}

// A cursor still inside the segment of readings.
bool inSegment(const Cursor &cursor) {
    return cursor.valid && cursor.index < replay.segmentEnd.index;
}

// Moves a stream's cursor on to its next record in the segment (or to the segment's end).
void seekStream(Cursor &cursor, int stream) {
    while (inSegment(cursor) && streamOf(cursor.record.kind) != stream)
        advance(cursor);
}

void openSegment() {
    replay.segmentEnd = replay.head;
    while (replay.segmentEnd.valid && isLoose(replay.segmentEnd.record))
        advance(replay.segmentEnd);
    for (int stream = 0; stream < 3; stream++) {
        replay.cursors[stream] = replay.head;
        seekStream(replay.cursors[stream], stream);
        replay.usedOf[stream] = 0;
    }
}

bool segmentUsedUp() {
    for (const Cursor &cursor : replay.cursors) {
        if (inSegment(cursor)) return false;
    }
    return true;
}

[[noreturn]] void mismatch(Record::Kind wanted, const Record &found) {
    char text[200];
    std::snprintf(text, sizeof text, "The game asked for %s where the recording holds %s (line %d)",
                  kindName(wanted), kindName(found.kind), found.line);
    throw ReplayStop{ReplayOutcome::diverged, text};
}

// Moves past a used-up segment and the checkpoints after it, checking them.
void passCheckpoints() {
    replay.head = replay.segmentEnd;
    while (replay.head.valid && isCheckpointPart(replay.head.record.kind)) {
        if (replay.head.record.kind == Record::Kind::checkpoint) {
            checkCheckpointBlock();
        } else {
            advance(replay.head); // looks without their state: nothing to check them against
        }
    }
    openSegment();
}

// The record the game's next input of this kind comes from; use takes it.
const Record &expect(Record::Kind kind) {
    bool loose = kind == Record::Kind::tick || kind == Record::Kind::timeOfDay;
    for (;;) {
        if (loose || kind == Record::Kind::poll) {
            const Cursor &cursor = replay.cursors[streamOf(kind)];
            if (inSegment(cursor)) return cursor.record;
        }
        // A recording cut short (a crash, an interrupted run) may stop inside a segment.
        if (!replay.segmentEnd.valid) {
            throw ReplayStop{ReplayOutcome::ranOut, "The recording ends here"};
        }
        if (!segmentUsedUp()) {
            // The game wants something else while readings recorded before it are left.
            const Cursor *left = nullptr;
            for (const Cursor &cursor : replay.cursors) {
                if (inSegment(cursor) && (left == nullptr || cursor.index < left->index))
                    left = &cursor;
            }
            mismatch(kind, left->record);
        }
        if (replay.segmentEnd.index > replay.head.index ||
            isCheckpointPart(replay.head.record.kind)) {
            passCheckpoints();
            continue;
        }
        const Record &record = replay.head.record;
        if (record.kind != kind || loose) mismatch(kind, record);
        return record;
    }
}

// Takes one use of the record expect gave; one standing for several readings lasts that long.
void use(const Record &record) {
    if (isLoose(record)) {
        int stream = streamOf(record.kind);
        if (++replay.usedOf[stream] < record.count * record.repeats) return;
        replay.usedOf[stream] = 0;
        Cursor &cursor = replay.cursors[stream];
        advance(cursor);
        seekStream(cursor, stream);
        return;
    }
    advance(replay.head);
    openSegment();
}

bool isViewerStop(const KeyEvent &event) {
    return event.keyDown && (event.character == 'q' || event.character == 'Q' ||
                             event.virtualKey == 27 || event.character == 27);
}

// Space pauses until space again (q or Esc stops); the row of the notice is put back after.
void pauseForViewer() {
    const Console saved = console;
    printAt("Paused: space goes on, q stops the replay", 0x70, 0, noticeRow);
    replay.presenter->present(console.screenCells);
    uint32_t started = replay.presenter->tickMillis();
    KeyEvent event;
    do {
        replay.presenter->readEvent(&event);
    } while (!isViewerStop(event) && !(event.keyDown && event.virtualKey == keySpace));
    console = saved;
    replay.presenter->present(console.screenCells);
    if (isViewerStop(event)) throw ReplayStop{ReplayOutcome::stopped, "Replay stopped"};
    replay.realBase += replay.presenter->tickMillis() - started;
}

// Reads what the viewer typed, waiting for it at most waitMillis.
void checkViewer(int waitMillis) {
    KeyEvent events[16];
    int n = replay.presenter->pollEvents(events, 16, waitMillis);
    for (int i = 0; i < n; i++) {
        if (isViewerStop(events[i])) throw ReplayStop{ReplayOutcome::stopped, "Replay stopped"};
        if (events[i].keyDown && events[i].virtualKey == keySpace) pauseForViewer();
    }
    replay.lastViewerCheck = replay.presenter->tickMillis();
}

// Waits until the recorded moment has come at the chosen speed.
void paceTo(uint32_t recordedTick) {
    if (replay.options.speed <= 0) return;
    if (!replay.paceStarted) {
        replay.paceStarted = true;
        replay.recordedBase = recordedTick;
        replay.realBase = replay.presenter->tickMillis();
    }
    for (;;) {
        double due =
            static_cast<int32_t>(recordedTick - replay.recordedBase) / replay.options.speed;
        int32_t waited = static_cast<int32_t>(replay.presenter->tickMillis() - replay.realBase);
        if (waited >= due) return;
        // Blocks until then (or a key of the viewer's): no processor spent waiting.
        uint32_t wait = std::min(static_cast<uint32_t>(due - waited) + 1, longestPaceWait);
        if (replay.options.watchViewer) {
            checkViewer(static_cast<int>(wait));
        } else {
            replay.presenter->sleepMillis(wait);
        }
    }
}

bool replayInit() {
    return replay.presenter->init();
}

void replayShutdown() {
    replay.presenter->shutdown();
}

void replayPresent(const ScreenCells &cells) {
    replay.presenter->present(cells);
    noteScreenShown(cells);
    if (replay.options.watchViewer && replay.options.speed <= 0 &&
        replay.presenter->tickMillis() - replay.lastViewerCheck >= viewerCheckMillis) {
        checkViewer(0);
    }
}

void replayReadEvent(KeyEvent *event) {
    const Record &record = expect(Record::Kind::read);
    paceTo(replay.lastTick + record.value);
    *event = record.events[0];
    use(record);
}

// The recorded clock paces the replay: a wait the poll was allowed is in it already.
int replayPollEvents(KeyEvent *events, int max, int /*waitMillis*/) {
    const Record &record = expect(Record::Kind::poll);
    if (record.events.empty()) {
        use(record);
        return 0;
    }

    if (record.events.size() > static_cast<size_t>(max)) {
        throw ReplayStop{ReplayOutcome::diverged, "The recording holds more keys than the game "
                                                  "takes at once (line " +
                                                      std::to_string(record.line) + ")"};
    }
    paceTo(replay.lastTick + record.value);
    int n = static_cast<int>(record.events.size());
    std::copy(record.events.begin(), record.events.end(), events);
    use(record);
    return n;
}

void replayDiscardEvents() {
    use(expect(Record::Kind::discard));
}

uint32_t replayTickMillis() {
    const Record &record = expect(Record::Kind::tick);
    if (replay.usedOf[0] % record.count == 0) replay.lastTick += record.value;
    use(record);
    paceTo(replay.lastTick);
    return replay.lastTick;
}

int replayTimeOfDayMillis() {
    const Record &record = expect(Record::Kind::timeOfDay);
    if (replay.usedOf[1] % record.count == 0)
        replay.lastTime = (replay.lastTime + record.value) % 1000;
    use(record);
    return static_cast<int>(replay.lastTime);
}

// The recorded clock readings pace the replay; a sleep has nothing more to do.
void replaySleepMillis(uint32_t) {}

void replaySetTitle(const char *title) {
    replay.presenter->setTitle(title);
}

void replaySetCursorVisible(bool visible) {
    replay.presenter->setCursorVisible(visible);
}

void replaySetMinimumSize(int width, int height) {
    replay.presenter->setMinimumSize(width, height);
}

void replayReportError(const char *line) {
    replay.presenter->reportError(line);
}

// Where a recorded data file is now: where the game would find it, else in the directory the
// recording was made in.
fs::path locateDataFile(const Recording &recorded, const std::string &name) {
    fs::path path = pathOf(dataFilePath(name.c_str()));
    if (path.is_absolute()) return path;
    std::error_code error;
    if (fs::exists(path, error)) return fs::absolute(path, error);
    return pathOf(recorded.directory) / pathOf(name);
}

} // namespace

// Only the game's own data file names are taken: no name in the directory leads elsewhere.
bool prepareReplayDirectory(const Recording &recorded, PrivateDirectory *directory,
                            std::string *error) {
    if (!makePrivateDirectory("replay", directory, error)) return false;
    for (const Record &file : recorded.dataFiles) {
        if (!isDataFileName(file.text)) {
            *error = printableText(file.text) + ": not one of the game's data files";
            return false;
        }
        if (!linkIn(*directory, file.text.c_str(), textOf(locateDataFile(recorded, file.text)),
                    error)) {
            return false;
        }
    }
    if (recorded.hasSave && !writeNewFileIn(*directory, saveFileName, recorded.save, error)) {
        *error = "cannot set up the recorded save: " + *error;
        return false;
    }
    return true;
}

const Platform replayPlatform = {
    .name = "replay",
    .init = replayInit,
    .shutdown = replayShutdown,
    .present = replayPresent,
    .readEvent = replayReadEvent,
    .pollEvents = replayPollEvents,
    .discardEvents = replayDiscardEvents,
    .tickMillis = replayTickMillis,
    .timeOfDayMillis = replayTimeOfDayMillis,
    .sleepMillis = replaySleepMillis,
    .setTitle = replaySetTitle,
    .setCursorVisible = replaySetCursorVisible,
    .setMinimumSize = replaySetMinimumSize,
    .reportError = replayReportError,
};

void replayDataFileOpened(const char *name, const std::string &bytes) {
    if (replay.recording == nullptr) return;
    const Record &record = expect(Record::Kind::dataFile);
    if (record.text != name) {
        throw ReplayStop{ReplayOutcome::diverged, "The game opened " + std::string(name) +
                                                      " where the recording opened " +
                                                      printableText(record.text)};
    }
    if (hashBytes(bytes.data(), bytes.size()) != record.hash) {
        throw ReplayStop{ReplayOutcome::refused,
                         std::string(name) + " differs from the data file the recording was "
                                             "made with"};
    }
    use(record);
}

bool checkReplayData(const Recording &recorded, std::string *error) {
    for (const Record &file : recorded.dataFiles) {
        fs::path path = locateDataFile(recorded, file.text);
        uint64_t hash = 0;
        std::string reason;
        if (!hashFile(textOf(path).c_str(), &hash, &reason)) {
            *error = printableText(textOf(path)) +
                     ": the recording needs this data file, which cannot be read: " + reason;
            return false;
        }
        if (hash != file.hash) {
            *error = printableText(textOf(path)) +
                     " differs from the data file the recording was made with";
            return false;
        }
    }
    return true;
}

// A screen row record's cells: the attribute and the glyph (as UTF-8) of each of its 80.
static void cellsOfRow(const std::string &row, std::vector<std::string> *glyphs,
                       std::vector<unsigned> *colours) {
    size_t space = row.find(' ');
    std::string runs = row.substr(0, space);
    for (size_t at = 0; at < runs.size();) {
        unsigned colour = 0, count = 0;
        if (std::sscanf(runs.c_str() + at, "%2xx%u", &colour, &count) != 2) break;
        colours->insert(colours->end(), std::min(count, 80u), colour);
        size_t comma = runs.find(',', at);
        at = comma == std::string::npos ? runs.size() : comma + 1;
    }
    std::string text = space == std::string::npos ? "" : row.substr(space + 1);
    for (size_t at = 0; at < text.size();) {
        size_t length = 1;
        while (at + length < text.size() && (text[at + length] & 0xC0) == 0x80)
            length++;
        glyphs->push_back(text.substr(at, length));
        at += length;
    }
}

std::string screenDifference(const ReplayResult &result) {
    if (result.expectedScreen.empty() || result.actualScreen.empty()) return "";
    std::string out = "recorded" + std::string(screenWidth - 8, ' ') + " | replayed\n";
    for (size_t row = 0; row < result.actualScreen.size(); row++) {
        std::vector<std::string> was, now;
        std::vector<unsigned> wasColours, nowColours;
        if (row < result.expectedScreen.size())
            cellsOfRow(result.expectedScreen[row], &was, &wasColours);
        cellsOfRow(result.actualScreen[row], &now, &nowColours);
        was.resize(screenWidth, " ");
        now.resize(screenWidth, " ");
        wasColours.resize(screenWidth, 0);
        nowColours.resize(screenWidth, 0);
        std::string marks;
        bool differs = false;
        for (int column = 0; column < screenWidth; column++) {
            bool same =
                was[static_cast<size_t>(column)] == now[static_cast<size_t>(column)] &&
                wasColours[static_cast<size_t>(column)] == nowColours[static_cast<size_t>(column)];
            marks += same ? ' ' : '^';
            differs = differs || !same;
        }
        for (const std::string &glyph : was)
            out += glyph;
        out += " | ";
        for (const std::string &glyph : now)
            out += glyph;
        out += "\n";
        if (differs) out.append(marks).append(" | ").append(marks).append("\n");
    }
    return out;
}

std::string replayEndNotice(const std::string &message) {
    static const char prompt[] = ": press any key";
    constexpr size_t room = screenWidth - (sizeof prompt - 1);
    std::string text = message.size() > room ? message.substr(0, room - 3) + "..." : message;
    text += prompt;
    text.resize(screenWidth, ' ');
    return text;
}

void showReplayEnd(const Platform &presenter, const std::string &message) {
    printAt(replayEndNotice(message).c_str(), colourBlackOnGrey, 0, screenHeight - 1);
    presentScreen();
    presenter.discardEvents();
    KeyEvent event;
    do {
        presenter.readEvent(&event);
    } while (!event.keyDown);
}

ReplayResult runReplay(const Recording &recorded, const Platform &shownOn,
                       const ReplayOptions &chosen, int (*program)()) {
    ReplayResult outcome;
    PrivateDirectory directory;
    std::string error;
    WorkingDirectory previous;
    if (!prepareReplayDirectory(recorded, &directory, &error) ||
        !enterPrivateDirectory(directory, &previous)) {
        if (error.empty()) error = "cannot enter a directory for the replay";
        removePrivateDirectory(&directory);
        outcome.outcome = ReplayOutcome::refused;
        outcome.message = error;
        return outcome;
    }
    replay = Replay{};
    replay.recording = &recorded;
    observeDataFiles(replayDataFileOpened);
    replay.presenter = &shownOn;
    replay.options = chosen;
    replay.result = &outcome;
    replay.lastViewerCheck = shownOn.tickMillis();
    replay.head = firstRecord(recorded);
    openSegment();
    forgetScreensShown();
    const Platform *before = &currentPlatform();
    usePlatform(&replayPlatform);
    // The replay's directory holds everything the game reads and its save.
    DataPlaces placesBefore = dataPlaces();
    setDataPlaces(DataPlaces{});
    auto cleanUp = [&] {
        setDataPlaces(placesBefore);
        usePlatform(before);
        replay = Replay{};
        observeDataFiles(nullptr);
        leavePrivateDirectory(&previous);
        removePrivateDirectory(&directory);
    };
    try {
        program();
        presentScreen();
        // The run is over: only the final checkpoint may be left.
        if (segmentUsedUp()) passCheckpoints();
        if (replay.head.valid) {
            outcome.outcome = ReplayOutcome::diverged;
            outcome.message = "The game ended before the recording did (line " +
                              std::to_string(replay.head.record.line) + ")";
        } else {
            outcome.message = "End of the recording";
        }
    } catch (const ReplayStop &stop) {
        outcome.outcome = stop.outcome;
        outcome.message = stop.message;
    } catch (...) {
        // A quit signal in the presenter: the caller ends the program as it says.
        cleanUp();
        throw;
    }
    cleanUp();
    return outcome;
}
