// The boundary between the game and the machine it runs on: a table of functions
// that a backend fills (the real terminal, or the headless one that tests drive).
#pragma once

#include <cstdint>

// One keyboard event as the screens read it: a press or a release of one key.
struct KeyEvent {
    bool keyDown;        // true for a press, false for a release
    uint16_t virtualKey; // 13 Enter, 32 space, 37..40 arrows, 'A'..'Z' for letters, 0 unknown
    char character;      // the character typed, as is (case matters); 0 for arrows
};

// Virtual-key codes the game tests.
constexpr uint16_t keyEnter = 13;
constexpr uint16_t keySpace = 32;
constexpr uint16_t keyLeft = 37;
constexpr uint16_t keyUp = 38;
constexpr uint16_t keyRight = 39;
constexpr uint16_t keyDown = 40;

// Thrown by a backend where the game would wait but the run has to end instead:
// a quit signal, a terminal that went away, or a headless script with no keys left.
// Only the program's entry point (and the test harness) catches it.
struct RunEnded {
    int signal; // the signal that asked the program to stop, 0 when input ended
};

constexpr int screenWidth = 80;
constexpr int screenHeight = 25;

// One character cell: a code page 437 byte and a colour attribute (foreground in the low
// four bits, background in the high four: bit 0 blue, bit 1 green, bit 2 red, bit 3 bright).
struct Cell {
    uint8_t glyph;
    uint8_t colour;
    bool operator==(const Cell &) const = default;
};

// A whole screen of cells, as the game hands it to a backend to show.
using ScreenCells = Cell[screenHeight][screenWidth];

// The most pending events one poll hands over.
constexpr int maxPolledEvents = 512;
// A poll's wait with no limit: until a key comes.
constexpr int waitUntilKey = -1;

struct Platform {
    const char *name;
    // Takes over the terminal; false (with a one-line reason on stderr) when impossible.
    bool (*init)(void);
    // Gives the terminal back as it was found; harmless when not initialised.
    void (*shutdown)(void);
    // Shows these cells; a backend draws only what changed since the last call, and keeps
    // its own copy for redrawing (a resize, an expose) until the next call.
    void (*present)(const ScreenCells &cells);
    // Blocks until one key event is available and takes it; throws RunEnded instead.
    void (*readEvent)(KeyEvent *event);
    // Takes up to max pending events; returns how many. When none is pending it first waits
    // up to waitMillis for one (0: not at all; waitUntilKey: as long as it takes).
    int (*pollEvents)(KeyEvent *events, int max, int waitMillis);
    // Drops pending events, except the release of the press just read.
    void (*discardEvents)(void);
    // Monotonic milliseconds; wraps at 2^32.
    uint32_t (*tickMillis)(void);
    // The millisecond part (0..999) of the time of day.
    int (*timeOfDayMillis)(void);
    // Sleeps at least ms milliseconds (a backend may end the run here on a quit signal).
    void (*sleepMillis)(uint32_t ms);
    // Sets the window title.
    void (*setTitle)(const char *title);
    // Shows or hides the text cursor.
    void (*setCursorVisible)(bool visible);
    // The smallest window the game can be shown in; a smaller one gets a notice instead.
    void (*setMinimumSize)(int width, int height);
    // One line for the error stream, delivered where the player can read it.
    void (*reportError)(const char *line);
};

// Chooses the backend for the rest of the run (once, at start-up; tests choose headless).
void usePlatform(const Platform *platform);
// The backend chosen by usePlatform; the console layer calls through it.
const Platform &currentPlatform();

// Restores the terminal, reports what failed with the system's error text
// ("what: reason") on the error stream and ends the program with status 1.
[[noreturn]] void exitWithError(const char *what);
