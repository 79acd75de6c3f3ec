// The headless backend: no terminal, a scripted player and a virtual clock, so that tests
// drive whole screens in milliseconds and read the screen buffer back.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/platform.h"

extern const Platform headlessPlatform;

// Empties the script and the pending events, sets the clock to 0 and forgets the title.
void headlessReset();

// --- The script: what the player does next, in order ---
// A key press the player makes when the game next looks for input (its release follows).
void headlessPress(uint16_t virtualKey, char character = 0);
// A letter key as typed: virtual-key code of the upper-case letter, the character as given.
void headlessPressCharacter(char character);
// One raw event, for instance a lone release.
void headlessEvent(const KeyEvent &event);
// The player waits this long: a poll in that time sees nothing; a blocking read lets it pass.
void headlessIdle(uint32_t millis);
// A press already waiting before the game looks (typed ahead, so a discard drops it).
void headlessTypeAhead(uint16_t virtualKey, char character = 0);
// Asked for more script whenever the game looks for input and the script is empty;
// it may add steps (an automatic player) or add none (the run ends where the game waits).
void headlessSetKeySource(std::function<void()> source);
// True while script steps remain that the game has not taken yet.
bool headlessScriptPending();

// --- Clock ---
// Virtual time in microseconds; waits advance it at once.
uint64_t headlessNowMicros();
void headlessSetNowMicros(uint64_t micros);
// How far every clock reading moves the clock on (default 100 microseconds), so that loops
// which run until time has passed finish; 0 makes readings exact for arithmetic tests.
void headlessSetClockStepMicros(uint32_t micros);

// --- What the game did ---
int headlessPresentCount();
// Called whenever the game shows the screen (at every pause), to watch what a player sees.
void headlessSetPresentHook(std::function<void()> hook);
const char *headlessTitle();
bool headlessCursorVisible();
int headlessMinimumWidth();
int headlessMinimumHeight();
// The error lines reported so far, joined with line feeds.
const char *headlessErrors();
