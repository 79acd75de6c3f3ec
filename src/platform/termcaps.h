// The few terminfo strings the terminal backend reads directly, kept apart because <term.h>
// defines macros with common names (lines, columns, ...).
#pragma once

#include <cstddef>

// True when the terminal shows programs on an alternate screen that vanishes when they end.
bool usesAlternateScreen();

// Fills buffer with what resets attributes, shows the cursor and ends the line: written
// from a crash handler, where ncurses cannot be called. Always NUL-terminated.
void buildRestoreSequence(char *buffer, size_t size);
