// The page's keyboard: a browser key event as the game's key event, with the codes the window
// gives the same keys (platform/keynames.h).
#pragma once

#include "platform/platform.h"

// The event for a DOM KeyboardEvent, from its key and code and whether Shift and Caps Lock were
// on. False for keys the game has no code for: modifiers alone, the keypad's digits and signs
// (the window has none for them either), characters beyond ASCII.
bool keyEventFromDom(const char *key, const char *code, bool shifted, bool capsLock, bool down,
                     KeyEvent *event);
