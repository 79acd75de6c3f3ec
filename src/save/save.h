// The saved game: one file, "SaveFile.txt", written by the tavern's Save and read by Continue.
#pragma once

constexpr int lineBufferSize = 64;
constexpr int saveFileLines = 89;

// --- Saved game, for the whole run ---
extern char lineBuffer[lineBufferSize]; // shared text buffer: save-file lines, dialogue tags
extern const char saveFileName[];       // "SaveFile.txt"; saveFilePath() says where it is
extern int saveFailureStep; // for tests: this step of writing a save fails (see save.cpp); -1 none

// Writes the saved values; on failure writes "Cannot save game" on the screen. The previous
// save stays whole until the new one is complete.
void saveGame();
// Reads the saved game into the shared data. False, with a message on the screen and nothing
// changed, when there is no save or it is damaged.
bool loadGame();
