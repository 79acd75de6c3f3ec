// The saved game: one file, "SaveFile.txt", written by the tavern's Save and read by Continue.
#pragma once

#include <cstddef>

constexpr int lineBufferSize = 64; // one line of the save file
constexpr int saveFileLines = 89;  // the name and the numbers every save has had
constexpr int saveExtraLines = 16; // after them: the weapon, the flashlight clock, the bosses

// --- Saved game, for the whole run ---

// What a save came to: done, or why not (the screen that asked shows it).
struct SaveOutcome {
    bool done = false;
    char reason[128] = ""; // why it was not saved
    explicit operator bool() const { return done; }
};

// Writes the saved values. The previous save stays whole until the new one is complete; a
// save the player cannot read, one that is no regular file, is read-only or another user's,
// and a directory others may write to are refused. Tests name a step of the writing (counted
// from 0: the open, each line, the flush, the fsync, the close, the rename) to fail as if the
// system refused it.
SaveOutcome saveGame(int failingStep = -1);
// Where a file written is not yet a file kept (the page, whose save lives in the browser's
// storage), the keeper is called after each save is in place; false, with the reason in
// reason, when the save cannot be kept, which the save then reports as any failure.
using SaveKeeper = bool (*)(char *reason, size_t size);
// Sets the keeper for the rest of the run; none (nullptr) by default.
void keepSavesWith(SaveKeeper keeper);
// Removes what an interrupted save left behind (called at start-up).
void removeStaleSaveFile();
// What a load came to: done, or the player's message and the reason under it.
struct LoadOutcome {
    bool done = false;
    const char *message = ""; // "No previous adventure is documented", ...
    char reason[192] = "";    // "SaveFile.txt: ..."; empty when there is nothing more to say
    explicit operator bool() const { return done; }
};

// Reads the saved game into the shared data. Not done, and nothing changed, when there is no
// save, it cannot be read, or it is damaged (a value out of the range play keeps it in counts
// as damage). A save that ends after its 89th line (from before the lines after it were added)
// leaves those values at their start values.
LoadOutcome loadGame();
