// The terminal backend: the game in the system's text terminal, a real Unix terminal on
// ncursesw (terminal.cpp), or the Windows console (terminal_windows.cpp).
#pragma once

#include "platform/platform.h"

extern const Platform terminalPlatform;

// After the run: a quit signal that ended it is raised again with its default action, so
// the exit status tells the shell which signal it was (on Windows, the program ends as Ctrl-C
// ends a console program, status 0xC000013A). Returns if there was none.
void reraiseQuitSignal(int signal);
