// How the terminal backend translates: terminal keys into the game's key events, and the
// game's cells (code page 437 byte, console colour) into what ncurses draws.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// What the terminal can show of colour.
enum class ColourDepth {
    mono,    // no colour: reverse video for backgrounds, bold for bright text
    eight,   // 8 colours, 64 pairs: bright text is bold, bright backgrounds lose brightness
    sixteen, // 16 or more colours and at least 257 pairs: every attribute as the game asks
};

ColourDepth colourDepthFor(int colours, int colourPairs);

// The terminal colour that shows console colour 0..15: the classic palette's nearest xterm
// index on 256-colour terminals, the matching ANSI colour otherwise.
short terminalColourOf(int colour, int terminalColours);

// What one cell looks like on the terminal.
struct CellLook {
    wchar_t glyph;
    short pair;       // colour pair number (0 in mono)
    short foreground; // terminal colour of the pair (-1 in mono)
    short background;
    bool bold;
    bool reverse;
};

CellLook lookOfCell(Cell cell, ColourDepth depth, int terminalColours, bool unicode);

// The SGR escape sequence that gives a look's colours and attributes on an ANSI terminal.
std::string lookSequence(const CellLook &look, int terminalColours);

// The pair that lookOfCell uses for a foreground and background (terminal pair numbering),
// or 0 when the depth uses none for it.
short pairNumberFor(int foreground, int background, ColourDepth depth);

// The game's press event for one key: a key code (status KEY_CODE_YES) or a character (OK).
// False for keys the game has no code for.
bool keyEventFromTerminal(int status, uint32_t key, KeyEvent *event);

// What the bytes typed so far make in the locale's encoding.
enum class TypedBytes {
    character,     // a whole character
    notACharacter, // the first byte starts none (a byte above 127 in plain ASCII, a stray
                   // UTF-8 byte): still a key press, with no code
    incomplete,    // the start of a character whose other bytes have not come yet
};
struct DecodedBytes {
    TypedBytes kind;
    uint32_t character; // the character, when there is one
    size_t length;      // how many of the bytes it takes
};
DecodedBytes decodeTypedBytes(const unsigned char *bytes, size_t count);

// --- What the backend writes and draws, worked out without a terminal ---
// One colour pair the backend sets up: its number and terminal colours.
struct ColourPair {
    short number;
    short foreground;
    short background;
};
// Every pair lookOfCell may use at a depth (none in mono; at eight colours none whose
// foreground is its background, as lookOfCell never asks for one).
std::vector<ColourPair> colourPairsFor(ColourDepth depth, int terminalColours);

// Whether TERM names a terminal that takes the title sequence (the Linux console and plain
// VTs would print it as text).
bool titleSupportedBy(const char *term);
// The bytes that set the window title: first pushes the player's own title to be put back;
// control characters in the title are left out.
std::string titleSequence(const char *title, bool first);

// The game's last screen as the terminal's normal screen gets it when the game ends: rows down
// to the last that shows anything, each with the sequences of its colours, and no line end
// after a full bottom row (it would scroll the screen).
std::string lastScreenBytes(const ScreenCells &cells, ColourDepth depth, int terminalColours,
                            bool unicode);

// The cells that differ between what is given and what is shown (all of them when nothing
// is shown yet), in row order; shown becomes given.
struct CellChange {
    int x, y;
    Cell cell;
};
std::vector<CellChange> changedCells(const ScreenCells &given, ScreenCells &shown, bool shownValid);
