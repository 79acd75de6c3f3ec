// The console every screen draws on: an 80x25 grid of code page 437 cells with colours,
// the output primitives, the three ways of reading keys, and the delay.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Colour attributes the screens share: the console's sixteen colours (bits 0 to 3 blue, green,
// red, bright) on black, and a few on a coloured background (bits 4 to 7).
constexpr uint16_t colourBlack = 0;
constexpr uint16_t colourRed = 4;
constexpr uint16_t colourBrown = 6;
constexpr uint16_t colourGrey = 7;
constexpr uint16_t colourDarkGrey = 8;
constexpr uint16_t colourLightBlue = 9;
constexpr uint16_t colourLightGreen = 10;
constexpr uint16_t colourLightRed = 12;
constexpr uint16_t colourLightMagenta = 13;
constexpr uint16_t colourYellow = 14;
constexpr uint16_t colourWhite = 15;
constexpr uint16_t colourOnRed = 64;       // a red background: the player's blow flashes it
constexpr uint16_t colourOnLightRed = 192; // a light red background: the foe's blow flashes it
constexpr uint16_t colourBlackOnGrey = 112;
constexpr uint16_t colourBlackOnWhite = 240;
constexpr uint16_t colourChosen = colourBlackOnWhite;        // the highlighted entry of a menu
constexpr uint16_t colourChosenUnusable = colourBlackOnGrey; // highlighted, of no use here

// Code page 437 glyphs of the double-line frames and walls.
constexpr char glyphDoubleVertical = static_cast<char>(186);
constexpr char glyphDoubleHorizontal = static_cast<char>(205);
constexpr char glyphDoubleTeeDown = static_cast<char>(203);
constexpr char glyphDoubleCross = static_cast<char>(206);
constexpr char glyphDoubleTopLeft = static_cast<char>(201);
constexpr char glyphDoubleTopRight = static_cast<char>(187);
constexpr char glyphDoubleBottomLeft = static_cast<char>(200);
constexpr char glyphDoubleBottomRight = static_cast<char>(188);
// Other code page 437 pictures.
constexpr char glyphDarkShade = static_cast<char>(178); // rubble, the goblets, sparks, fire
constexpr char glyphMaleSign = 11;                      // the player in a dungeon room
constexpr char glyphArrowUp = 24;
constexpr char glyphArrowDown = 25;

// The double line down the screen that the dungeon, the battle, the tavern and the inventory
// divide it with, and the one across it under the dungeon's room and the battle's picture.
constexpr uint16_t dividerColumn = 35;
constexpr uint16_t dividerRow = 17;

// Places where the screens type their texts (the data checker measures the texts in them).
// The message area of the dungeon and battle screens; longer messages go on in the rows below.
constexpr int messageColumn = 45;
constexpr int messageRow = 2;
constexpr int messageWidth = 31;
// A page of story, chapter or reward text on a cleared screen.
constexpr int pageColumn = 10;
constexpr int pageRow = 2;
constexpr int pageWidth = 60;
// The tavern's talk area under the bartender: his talk and the save's messages.
constexpr int talkColumn = 10;
constexpr int talkRow = 13;
constexpr int talkWidth = 60;
// The talk area's blank: 61 blanks from its column on its first row, then a line feed and 61
// blanks from column 0 on the second, which it clears only up to column 60.
constexpr int talkBlankWidth = 61;
// The dungeon's dialogue area right of the room: the characters' talk and a boss's taunt.
constexpr int dialogueColumn = 40;
constexpr int dialogueFirstRow = 2;
constexpr int dialogueLastRow = 16;
constexpr int dialogueWidth = 30;
constexpr int dialogueClearWidth = 33; // what its blanks clear: a little wider than the text

// The console's state, for the whole run; resetConsole puts it back.
struct Console {
    ScreenCells screenCells = {}; // what the game has drawn; presenting hands it to the backend
    uint16_t consoleColour = 0;   // colour of the last write; clearScreen fills with it
    int cursorX = 0;              // column where the next character would go
    int cursorY = 0;              // row where the next character would go
    uint32_t lastPresentTick = 0; // when the screen was last presented: animations pace by it
};

// --- Console state, for the whole run ---
extern Console console;

// --- Output primitives ---
// Writes text from (x, y): past column 79 it goes on at column 0 of the next row, a line
// feed moves to column 0 of the next row, and whatever would fall off the screen is dropped.
void printAt(const char *text, uint16_t colour, uint16_t x, uint16_t y);
// Where every screen's drawing ends: the console's cursor at the top-left corner and colour 0,
// nothing written.
inline void parkCursor() {
    printAt("", 0, 0, 0);
}
void printNumberAt(int32_t value, uint16_t colour, uint16_t x, uint16_t y);
// Writes one character; character 0 writes nothing and leaves colour and cursor alone.
void printCharAt(char ch, uint16_t colour, uint16_t x, uint16_t y);
// Typewriter output, one character every 50 ms, words wrapped at width columns.
void typeText(const char *text, uint16_t colour, int width, int x, int y);
// The same wrapping, written at once and no lower than lastRow: the rest is left out.
void printWrapped(const char *text, uint16_t colour, int width, int x, int y, int lastRow);
// Blanks every cell in the colour and homes the cursor.
void clearScreen(uint16_t colour);
// Returns after at least ms milliseconds, sleeping meanwhile.
void waitMillis(uint32_t ms);
// Makes the console width x height (the game always asks for 80 x 25).
void setConsoleSize(int16_t width, int16_t height);
void setConsoleTitle(const char *title);
void setCursorVisible(bool visible);

// --- Keys ---
// Wait for one event: blocks until a key event is available and takes it.
void readKeyEvent(KeyEvent *event);
// Poll: takes every pending event (at most max); returns the count. With none pending it waits
// up to waitMillis for one first (0 not at all, waitUntilKey until one comes): a screen that
// polls waits only as long as nothing else is due, so that it costs no CPU while idle.
int pollKeyEvents(KeyEvent *events, int max, int waitMillis);
// Drops all pending events (typed-ahead keys and auto-repeat backlog).
void discardPendingInput();

// --- Time ---
uint32_t tickMillis();
int timeOfDayMillis();

// --- Presenting ---
// Shows the screen buffer now; every pause (a key wait, a delay) does this itself.
void presentScreen();
// Shows the screen buffer unless that was done less than a frame ago; for animations
// that draw as fast as they can.
void presentScreenIfDue();
// Shows the screen buffer as the next frame of an animation that counts its frames: first
// waits out what is left of a frame since the last present, so it plays at about 60 a second.
void presentFrame();
// Sends one line to the error stream in a way that keeps it readable for the player.
void reportErrorLine(const char *line);
// The system's error report for a file name ("name: reason"), as the runtime gives it.
void reportFileError(const char *fileName);

// Puts the console back to its start: blank black screen, colour 0, cursor home.
void resetConsole();
