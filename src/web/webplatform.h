// The page's backend: the game on a canvas in a browser tab. Each cell is drawn as the window
// draws it (window/screenpixels.h); keys come from the page's key events with the window's
// codes and discard rule; every wait gives the tab back to the browser (Asyncify), so a game
// waiting for a key costs no processor time.
#pragma once

#include "platform/platform.h"

extern const Platform webPlatform;

// Where the page keeps its files: the data files and the font, embedded in the page's .data
// file, and the save, in the browser's storage.
constexpr const char *webDataDirectory = "/data";
constexpr const char *webFontPath = "/font/ter-u16n_ibm437.pcf";
constexpr const char *webSaveDirectory = "/save";

// --- To the page's script ---
// The program has ended with this status: the page says so under the last screen.
void webTellEnded(int status);
// A replay has ended: its outcome (as ReplayOutcome's names), message and checkpoints held,
// for the viewer and for the tests' hook.
void webTellReplayEnded(const char *outcome, const char *message, const char *checkpoint,
                        int checkpointsPassed);
