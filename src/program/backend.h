// Which backend a run of the game uses: the terminal, or a window of its own.
#pragma once

#include "platform/platform.h"

// Chooses, initialises and selects the backend: the window when windowAsked ("--window"),
// or by default when standard input is no terminal but a display is there (started from a
// desktop menu); the terminal otherwise, and whenever the window cannot be opened. Returns
// the backend now in use, or nullptr when none could start (the reason is on stderr).
const Platform *startBackend(bool windowAsked);
