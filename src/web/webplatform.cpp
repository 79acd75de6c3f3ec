// The page's backend on Emscripten: the cells painted into a 640x400 picture the page's
// script puts on the canvas at its next frame; the script's queue of key events turned into
// the game's; waits that yield to the browser until a key comes or the time is up.
#include "web/webplatform.h"

#include <cstdio>
#include <emscripten.h>

#include "platform/eventqueue.h"
#include "platform/systemclock.h"
#include "resources/resources.h"
#include "web/domkeys.h"
#include "window/screenpixels.h"

namespace {

// A run that takes no input for this long (a replay at full speed, the dungeon's roll of an
// encounter) gives the browser a turn, so the page is drawn and answers meanwhile.
constexpr uint32_t yieldEveryMillis = 30;

CodePageFont font;
uint32_t canvasPalette[16]; // consolePalette as the canvas' RGBA bytes
// The screen as drawn: RGBA bytes, as the canvas' ImageData takes them.
uint32_t pixels[screenPixelsHigh][screenPixelsWide];
Cell shownCells[screenHeight][screenWidth];
bool shownValid = false; // false: every cell must be drawn again
EventQueue pending;
ReleaseFilter releaseFilter;
HeldKeys heldKeys; // released when the page takes the keyboard away
uint32_t lastYieldMillis = 0;

// --- The page's script (src/web/page/page.js), as Module.page ---
// What follows each signature is JavaScript, which clang-format would break.
// clang-format off

// Draws the picture at the next frame (the cells it shows go with it, for the tests).
EM_JS(void, pageShowFrame, (const uint32_t *picture, const Cell *cells), {
    Module["page"].showFrame(picture, cells);
});

// The next key event the page has queued: 0 none; 2 the page lost the keyboard; else 1, with
// 4 for a press, 8 Shift, 16 Caps Lock, and its key and code.
EM_JS(int, pageTakeKey, (char *key, int keySize, char *code, int codeSize), {
    const event = Module["page"].takeKey();
    if (!event) return 0;
    if (event.blur) return 2;
    stringToUTF8(event.key, key, keySize);
    stringToUTF8(event.code, code, codeSize);
    return 1 | (event.down ? 4 : 0) | (event.shift ? 8 : 0) | (event.caps ? 16 : 0);
});

// Gives the tab back to the browser until millis have passed (-1: no time limit; 0: a turn
// and back) or, with wakeOnKey, a key event comes. No timer runs for a wait with no limit.
EM_ASYNC_JS(void, pageWait, (int millis, int wakeOnKey), {
    await Module["page"].wait(millis, wakeOnKey != 0);
});

EM_JS(void, pageSetTitle, (const char *title), {
    Module["page"].setTitle(UTF8ToString(title));
});

EM_JS(void, pageReportError, (const char *line), {
    Module["page"].reportError(UTF8ToString(line));
});

EM_JS(void, pageEnded, (int status), {
    Module["page"].ended(status);
});

EM_JS(void, pageReplayEnded,
      (const char *outcome, const char *message, const char *checkpoint, int passed), {
    Module["page"].replayEnded({
        outcome: UTF8ToString(outcome),
        message: UTF8ToString(message),
        checkpoint: UTF8ToString(checkpoint),
        checkpointsPassed: passed,
    });
});

// clang-format on

void wait(int millis, bool wakeOnKey) {
    pageWait(millis, wakeOnKey ? 1 : 0);
    lastYieldMillis = monotonicMillis();
}

void yieldIfDue() {
    if (monotonicMillis() - lastYieldMillis >= yieldEveryMillis) wait(0, false);
}

void takeWaitingKeys() {
    char key[32], code[32];
    while (queueHasRoom(pending, 1)) {
        int taken = pageTakeKey(key, sizeof key, code, sizeof code);
        if (taken == 0) return;
        if (taken == 2) {
            // The page lost the keyboard: keys held are let go, as the window's keyboard does.
            releaseHeldKeys(pending, releaseFilter, heldKeys);
            continue;
        }
        KeyEvent event;
        if (keyEventFromDom(key, code, (taken & 8) != 0, (taken & 16) != 0, (taken & 4) != 0,
                            &event)) {
            queueHeldKey(pending, releaseFilter, heldKeys, event);
        }
    }
}

// --- The backend's entries ---

bool webInit() {
    FileBytes file = readFileBytes(webFontPath, maxFontFileBytes);
    const char *reason = file.reason;
    if (!file.ok || !parsePcfFont(reinterpret_cast<const uint8_t *>(file.bytes.data()),
                                  file.bytes.size(), &font, &reason)) {
        char line[160];
        std::snprintf(line, sizeof line, "brinewort: the page's font %s: %s", webFontPath, reason);
        pageReportError(line);
        return false;
    }
    // The canvas takes R, G, B, A bytes: a little-endian word 0xAABBGGRR.
    for (int i = 0; i < 16; i++) {
        uint32_t rgb = consolePalette[i];
        canvasPalette[i] =
            0xFF000000u | (rgb & 0xFFu) << 16 | (rgb & 0xFF00u) | (rgb >> 16 & 0xFFu);
    }
    queueClear(pending);
    releaseFilter = ReleaseFilter{};
    heldKeys.down.reset();
    shownValid = false;
    lastYieldMillis = monotonicMillis();
    return true;
}

// The page stays as it is: the last screen is left on the canvas.
void webShutdown() {}

void webPresent(const ScreenCells &cells) {
    takeWaitingKeys();
    bool changed = false;
    for (int y = 0; y < screenHeight; y++) {
        for (int x = 0; x < screenWidth; x++) {
            Cell cell = cells[y][x];
            if (shownValid && cell == shownCells[y][x]) continue;
            paintCell(font, cell, canvasPalette, &pixels[0][0], x, y);
            shownCells[y][x] = cell;
            changed = true;
        }
    }
    shownValid = true;
    if (changed) pageShowFrame(&pixels[0][0], &shownCells[0][0]);
    yieldIfDue();
}

void webReadEvent(KeyEvent *event) {
    for (;;) {
        takeWaitingKeys();
        if (queuePop(pending, event)) return;
        wait(-1, true);
    }
}

int webPollEvents(KeyEvent *events, int max, int waitMillis) {
    if (waitMillis == 0) yieldIfDue();
    takeWaitingKeys();
    uint32_t started = monotonicMillis();
    while (pending.count == 0) {
        int left = -1;
        if (waitMillis != waitUntilKey) {
            left = waitMillis - static_cast<int>(monotonicMillis() - started);
            if (left <= 0) break;
        }
        wait(left, true);
        takeWaitingKeys();
    }
    int n = 0;
    while (n < max && queuePopPolled(pending, &events[n]))
        n++;
    return n;
}

void webDiscardEvents() {
    takeWaitingKeys();
    queueDiscardRealKeys(pending, releaseFilter);
}

uint32_t webTickMillis() {
    return monotonicMillis();
}

int webTimeOfDayMillis() {
    return wallClockMillisPart();
}

// Keys that come meanwhile wait in the page's queue.
void webSleepMillis(uint32_t ms) {
    uint32_t start = monotonicMillis();
    for (;;) {
        uint32_t elapsed = monotonicMillis() - start;
        if (elapsed >= ms) return;
        wait(static_cast<int>(ms - elapsed), false);
    }
}

void webSetTitle(const char *title) {
    pageSetTitle(title);
}

// The canvas has no text cursor and is always the game's 80x25 cells.
void webSetCursorVisible(bool) {}
void webSetMinimumSize(int, int) {}

void webReportError(const char *line) {
    pageReportError(line);
}

} // namespace

const Platform webPlatform = {
    .name = "web",
    .init = webInit,
    .shutdown = webShutdown,
    .present = webPresent,
    .readEvent = webReadEvent,
    .pollEvents = webPollEvents,
    .discardEvents = webDiscardEvents,
    .tickMillis = webTickMillis,
    .timeOfDayMillis = webTimeOfDayMillis,
    .sleepMillis = webSleepMillis,
    .setTitle = webSetTitle,
    .setCursorVisible = webSetCursorVisible,
    .setMinimumSize = webSetMinimumSize,
    .reportError = webReportError,
};

void webTellEnded(int status) {
    pageEnded(status);
}

void webTellReplayEnded(const char *outcome, const char *message, const char *checkpoint,
                        int checkpointsPassed) {
    pageReplayEnded(outcome, message, checkpoint, checkpointsPassed);
}
