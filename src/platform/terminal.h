// The terminal backend: the game in a real Unix terminal, on ncursesw.
#pragma once

#include "platform/platform.h"

extern const Platform terminalPlatform;

// After the run: a quit signal that ended it is raised again with its default action, so
// the exit status tells the shell which signal it was. Returns if there was none.
void reraiseQuitSignal(int signal);
