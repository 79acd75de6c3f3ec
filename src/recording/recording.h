// Recordings: every input a run takes from the platform layer, written as the game goes, and
// played back exactly, watched in a terminal or checked headless against checkpoints.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/platform.h"

// --- The file ---
// Line-based text. The first line is "brinewort-recording 2"; then "dir" and the directory the
// run was started in; "save -", or "save" and the hex bytes of the save file as the run found
// it; then one record a line, in the order the game asked for them. A checkpoint is a block:
// its state ("c"), its looks ("l") and the screen, a row a line ("r"), so that a change of
// looks shows in a recording made again as a change of text. Recordings of version 1 (a
// checkpoint one line, the screen as a hash) replay as well.
constexpr int recordingVersion = 2;
constexpr int oldestRecordingVersion = 1;
// The most readings one line stands for: a damaged file cannot keep a replay busy for long.
constexpr uint32_t maxRecordCount = 10000000;

struct Record {
    enum class Kind : uint8_t {
        // Clock readings and empty polls between two other records come in three runs side
        // by side: the game takes each kind in order, whatever the order of the lines.
        // A " ^K" after "t", "m" or "p*" lines: K such runs in a row.
        tick,       // "t D[*N]": N tick readings, the first D after the previous one
        timeOfDay,  // "m D[*N]": N time-of-day readings, the first D after the last (mod 1000)
        read,       // "k P VK CH @D": a blocking read; the tick of its arrival D after the last
        poll,       // "p N @D P VK CH ..." one poll and the N events it took; "p*N" N empty ones
        discard,    // "x": pending input dropped
        dataFile,   // "f HASH NAME": the game opened the data file NAME (FNV-1a 64 of its bytes)
        checkpoint, // "c LABEL STATE": the game's state at that point (checkpointState)
        looks,      // "l LABEL LOOKS": every screen shown so far, as a hash (checkpointLooks)
        screenRow,  // "r NN COLOURS TEXT": row NN of the screen then (screenRowRecord)
    };
    Kind kind = Kind::discard;
    uint32_t value = 0;   // tick, time of day, or the arrival tick of a read or poll
    uint32_t count = 1;   // readings or empty polls in one run of equal ones
    uint32_t repeats = 1; // such runs in a row
    std::vector<KeyEvent> events;
    std::string text; // data file name, or what a checkpoint's line holds after its letter
    uint64_t hash = 0;
    int line = 0; // where it stands in the file, for messages
};

// Where a recording's lines come from: its file, read a piece at a time, or bytes in memory.
class RecordSource;

struct Recording {
    int version = recordingVersion;
    std::string directory; // where the run was started: data files are looked for there too
    bool hasSave = false;
    std::string save; // the save file's bytes when the run started
    // Each data file the run opened, once per name, with its hash: only the game's own files.
    std::vector<Record> dataFiles;
    // The records, read as they are needed, so that a recording of any length takes little
    // memory: see RecordReader.
    std::shared_ptr<const RecordSource> source;
    uint64_t recordCount = 0;
};

// Reads the records of a recording one after another, from the first. A copy reads on from
// the same place, independently.
class RecordReader {
  public:
    RecordReader() = default; // reads nothing
    explicit RecordReader(const Recording &recording);
    // The next record; false at the end. A file changed since it was checked ends early.
    bool next(Record *record);

  private:
    std::shared_ptr<const RecordSource> source;
    uint64_t offset = 0; // where the next record's line begins
    int line = 0;        // the number of the line before it
};

// The largest recording a replay takes (it is read a piece at a time, so this bounds only the
// time a check of the whole file takes).
constexpr size_t maxRecordingBytes = maxRecordingFileBytes;

// Reads a recording from its bytes, checking every line. False with one line saying what is
// wrong (the line number included) when it is empty, truncated, of another version, not a
// recording, or names a file that is not one of the game's data files.
bool parseRecording(const std::string &bytes, Recording *recording, std::string *error);
// The same for a file, which stays open for the records to be read from; the error line
// names it.
bool loadRecording(const char *path, Recording *recording, std::string *error);

// FNV-1a 64 of some bytes, and of a data file (false, with the reason, when it cannot be read
// as the game reads its data files).
uint64_t hashBytes(const void *bytes, size_t size, uint64_t hash = 14695981039346656037ull);
bool hashFile(const char *path, uint64_t *hash, std::string *reason = nullptr);

// What a checkpoint pins of the game's state: mode, player record, item counts, bosses, random
// state, as one line.
std::string checkpointState();
// What it pins of the looks: a hash of every screen shown so far.
std::string checkpointLooks();
// A row of the screen as a checkpoint shows it: the colours as runs ("07x80": attribute 07,
// 80 cells), a blank, the 80 glyphs in UTF-8 (byte 0 as U+2400).
std::string screenRowRecord(int row);
// The one line a checkpoint of a version 1 recording held: the state, a hash of the screen
// and the looks.
std::string legacyCheckpointState();
// Called at every present of a recording or a replay: the screen shown joins the hash of all
// screens shown; a new recording or replay starts it afresh.
void noteScreenShown(const ScreenCells &cells);
void forgetScreensShown();

// --- Recording ---
// Opens path and starts a recording there (the save file as it is now first); checkpoints
// every checkpointEvery presents (0: only at the end). False with one line in *error when the
// file cannot be written. Opened before any backend starts, so a bad path leaves the terminal
// untouched.
bool startRecording(const char *path, int checkpointEvery, std::string *error);
// The backend that records, writing every input the inner backend gives the game into the
// recording: select it with usePlatform once inner runs.
const Platform *recordThrough(const Platform &inner);
// Writes the final checkpoint and closes the file; harmless when not recording. False with one
// line in *error when any of the file could not be written.
bool finishRecording(std::string *error);

// Told of each data file the game reads (its name and bytes) while a recording or a replay
// watches the data files (observeDataFiles): a recording notes the name and the hash of the
// bytes, a replay checks them.
void noteDataFileOpened(const char *name, const std::string &bytes);
void replayDataFileOpened(const char *name, const std::string &bytes);

// --- Replaying ---
enum class ReplayOutcome {
    finished, // the game asked for nothing the recording did not hold; every checkpoint held
    ranOut,   // the recording stops early (a crash or an interrupted run): replayed up to there
    diverged, // the game asked for another input than recorded, or a checkpoint differs
    stopped,  // the viewer pressed q or Esc
    refused,  // the data files differ from the recorded ones, or the save cannot be set up
};

struct ReplayOptions {
    double speed = 1.0;       // times the recorded pace; 0 as fast as possible
    bool watchViewer = false; // read the presenter's keys: q or Esc stops, space pauses
    // Checkpoints hold the state only, and the looks replayed are kept (ReplayResult::looks):
    // to record the looks again after a change that only changed them.
    bool newLooks = false;
};

struct ReplayResult {
    ReplayOutcome outcome = ReplayOutcome::finished;
    std::string message;    // one line for the viewer
    std::string checkpoint; // the label of the first checkpoint that differs
    std::string lastGoodCheckpoint;
    std::string expected, actual; // the state recorded and replayed there
    // The screen recorded and replayed there, a row a line ("COLOURS TEXT"): shown side by
    // side by screenDifference.
    std::vector<std::string> expectedScreen, actualScreen;
    int checkpointsPassed = 0;
    // With ReplayOptions::newLooks: the looks and rows of every checkpoint replayed, in order,
    // each as the "l" and "r" lines a recording holds.
    std::vector<std::vector<std::string>> looks;
};

// The recorded and the replayed screen of a checkpoint that differs, side by side, a "^" under
// each cell that differs in glyph or colour; empty when there is no screen to show.
std::string screenDifference(const ReplayResult &result);

// Checks that the data files the recording names are there and unchanged (where the game
// would find them now, else where they were recorded). False with one line in *error.
bool checkReplayData(const Recording &recorded, std::string *error);
// Makes the replay's directory: private to the player, holding the recorded save (a new file)
// and a link to each recorded data file, each made through the directory's descriptor. False
// with one line in *error; the caller removes what was made (removePrivateDirectory).
bool prepareReplayDirectory(const Recording &recorded, PrivateDirectory *directory,
                            std::string *error);
// Plays the recording from a program start on the presenter, which is initialised already,
// in a new directory private to the player holding the recorded save and links to the data
// files, which is the only place the game looks in meanwhile, so that the player's own save is
// never touched; it is removed afterwards. What runs is program, the program's whole life from
// its start-up (runProgram, which the recording layer below it does not know). The screen
// stays as the game left it.
ReplayResult runReplay(const Recording &recorded, const Platform &shownOn,
                       const ReplayOptions &chosen, int (*program)());
// The bottom row shown when a replay has ended: the message (cut when long) and what to do next.
std::string replayEndNotice(const std::string &message);
// Leaves the last screen with that notice on its bottom row until the viewer presses a key (one
// typed while the replay ran does not count).
void showReplayEnd(const Platform &presenter, const std::string &message);
// The backend that replays, forwarding what is shown to the presenter.
extern const Platform replayPlatform;
