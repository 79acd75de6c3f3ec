// The console output primitives and key reading, over the chosen platform backend.
#include "console/console.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

Console console;

// Tick of the last present, for presentScreenIfDue.
// About one frame of a 60 Hz display.
static constexpr uint32_t presentIntervalMillis = 16;

static void putCharacter(uint8_t ch) {
    if (ch == '\n') {
        console.cursorX = 0;
        console.cursorY++;
        return;
    }
    if (console.cursorX < screenWidth && console.cursorY < screenHeight) {
        console.screenCells[console.cursorY][console.cursorX] =
            Cell{ch, static_cast<uint8_t>(console.consoleColour)};
    }
    console.cursorX++;
    if (console.cursorX == screenWidth) {
        console.cursorX = 0;
        console.cursorY++;
    }
}

void printAt(const char *text, uint16_t colour, uint16_t x, uint16_t y) {
    console.consoleColour = colour;
    console.cursorX = x;
    console.cursorY = y;
    // A start off the screen writes nothing, rather than wrapping onto a row that was not asked.
    if (x >= screenWidth || y >= screenHeight) return;
    for (const char *p = text; *p != '\0'; p++) {
        putCharacter(static_cast<uint8_t>(*p));
    }
}

void printNumberAt(int32_t value, uint16_t colour, uint16_t x, uint16_t y) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    printAt(text, colour, x, y);
}

void printCharAt(char ch, uint16_t colour, uint16_t x, uint16_t y) {
    if (ch == 0) return;
    char text[2] = {ch, '\0'};
    printAt(text, colour, x, y);
}

// Length of the word that starts at text: up to the next blank or the end.
static int wordLength(const char *text) {
    int length = 0;
    while (text[length] != '\0' && text[length] != ' ')
        length++;
    return length;
}

// Writes text with its words wrapped at width columns, from row y down to lastRow; typed:
// one character every 50 ms.
static void writeWrapped(const char *text, uint16_t colour, int width, int x, int y, int lastRow,
                         bool typed) {
    if (text == nullptr) return;
    int row = y;
    int col = 0;
    const char *p = text;
    for (;;) {
        if (*p == '\0') return;
        // A blank breaks the line when the word behind it would not fit; the first word of
        // a line is never measured, so an overlong word is cut at the width instead.
        bool fits = *p != ' ' || col + wordLength(p + 1) < width;
        if (fits) {
            printCharAt(*p, colour, static_cast<uint16_t>(x + col), static_cast<uint16_t>(row));
            if (typed) waitMillis(50);
            p++;
            col++;
            if (col < width) continue;
        }
        if (*p == '\0') return;
        if (*p == ' ') p++;
        if (++row > lastRow) return;
        col = 0;
    }
}

void typeText(const char *text, uint16_t colour, int width, int x, int y) {
    writeWrapped(text, colour, width, x, y, INT_MAX, true);
}

void printWrapped(const char *text, uint16_t colour, int width, int x, int y, int lastRow) {
    writeWrapped(text, colour, width, x, y, lastRow, false);
}

void clearScreen(uint16_t colour) {
    printAt("", colour, 0, 0);
    for (auto &row : console.screenCells) {
        for (Cell &cell : row)
            cell = Cell{' ', static_cast<uint8_t>(colour)};
    }
    console.cursorX = 0;
    console.cursorY = 0;
}

void waitMillis(uint32_t ms) {
    presentScreen();
    uint32_t start = tickMillis();
    for (;;) {
        // Unsigned difference: right across the counter's wrap.
        uint32_t elapsed = tickMillis() - start;
        if (elapsed >= ms) return;
        currentPlatform().sleepMillis(ms - elapsed);
    }
}

void setConsoleSize(int16_t width, int16_t height) {
    currentPlatform().setMinimumSize(width, height);
}

void setConsoleTitle(const char *title) {
    currentPlatform().setTitle(title);
}

void setCursorVisible(bool visible) {
    currentPlatform().setCursorVisible(visible);
}

void readKeyEvent(KeyEvent *event) {
    presentScreen();
    currentPlatform().readEvent(event);
}

int pollKeyEvents(KeyEvent *events, int max, int waitMillis) {
    presentScreen();
    if (max > maxPolledEvents) max = maxPolledEvents;
    return currentPlatform().pollEvents(events, max, waitMillis);
}

void discardPendingInput() {
    currentPlatform().discardEvents();
}

uint32_t tickMillis() {
    return currentPlatform().tickMillis();
}

int timeOfDayMillis() {
    return currentPlatform().timeOfDayMillis();
}

void presentScreen() {
    currentPlatform().present(console.screenCells);
    console.lastPresentTick = tickMillis();
}

void presentScreenIfDue() {
    if (tickMillis() - console.lastPresentTick > presentIntervalMillis) presentScreen();
}

void presentFrame() {
    uint32_t elapsed = tickMillis() - console.lastPresentTick;
    if (elapsed < presentIntervalMillis) {
        currentPlatform().sleepMillis(presentIntervalMillis - elapsed);
    }
    presentScreen();
}

void reportErrorLine(const char *line) {
    currentPlatform().reportError(line);
}

void reportFileError(const char *fileName) {
    char line[512];
    std::snprintf(line, sizeof line, "%s: %s", fileName, std::strerror(errno));
    reportErrorLine(line);
}

void resetConsole() {
    console = Console{};
    clearScreen(0);
}
