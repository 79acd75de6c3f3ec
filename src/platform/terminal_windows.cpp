// The terminal backend on Windows: the game in a Win32 console. Presents the cell buffer with
// WriteConsoleOutputW on a screen buffer of its own, takes key presses and releases from
// ReadConsoleInputW, waits on the input handle, keeps time, and gives the console back as it
// was found on every way out.
#include "platform/terminal.h"

// First: the other Windows headers build on it.
#include <windows.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <timeapi.h>
#include <vector>

#include "platform/cp437.h"
#include "platform/eventqueue.h"
#include "platform/keynames.h"
#include "platform/platform.h"
#include "platform/systemclock.h"
#include "platform/windowfit.h"
#include "platform/windows_text.h"

namespace {

// Set by the console's control handler (on a thread of its own): the signal that ends the run
// at the next pause. Ctrl-C is SIGINT, Ctrl-Break SIGBREAK; closing the window, logging off
// and shutting down are SIGTERM.
volatile LONG quitSignal = 0;
HANDLE quitEvent = nullptr; // set with quitSignal, so that a wait ends at once
bool active = false;        // the game's screen buffer is on show
HANDLE input = INVALID_HANDLE_VALUE;
HANDLE foundScreen = INVALID_HANDLE_VALUE; // the screen buffer on show when the game started
HANDLE screen = INVALID_HANDLE_VALUE;      // the game's own screen buffer
DWORD foundInputMode = 0;
CONSOLE_SCREEN_BUFFER_INFO foundScreenInfo{};
CONSOLE_CURSOR_INFO foundCursor{25, TRUE};
wchar_t foundTitle[1024] = L""; // an untitled console's is empty
bool timerRaised = false;       // timeBeginPeriod(1) is in force
ScreenCells givenCells = {};    // what the game handed over last: drawn again after a resize
ScreenCells shownCells;         // what the screen buffer shows now
bool shownValid = false;        // false: every cell must be drawn again
bool layoutChanged = true;      // the window was resized or the minimum changed
bool tooSmall = false;
SMALL_RECT shownWindow{}; // the part of the buffer the window showed at the last layout
COORD shownBufferSize{};
int originColumn = 0; // where the 80x25 screen sits in a larger window
int originRow = 0;
int minimumWidth = screenWidth;
int minimumHeight = screenHeight;
EventQueue pending;
ReleaseFilter releaseFilter; // the releases of keys discarded while held
int failedWaits = 0;         // waits in a row that failed: the console has gone
bool stderrIsConsole = false;
std::vector<std::string> deferredErrors; // error lines held back until the console is given back

// A quit signal ends a wait at once; the limit only bounds how late a window made smaller
// (which sends no event in the classic console) is noticed.
constexpr DWORD blockingWaitMillis = 1000;
constexpr size_t maxDeferredErrors = 50;
// The status of a console program that Ctrl-C, Ctrl-Break or a closed window ended.
constexpr UINT controlExitStatus = 0xC000013Au;

// Puts the console back as it was found; safe from the control handler's thread and from a
// crash (no memory is allocated).
void restoreConsoleNow() {
    if (!active) return;
    SetConsoleActiveScreenBuffer(foundScreen);
    SetConsoleMode(input, foundInputMode);
    // Set again, so that a console drawn on a terminal (Wine's) shows the cursor once more.
    SetConsoleCursorInfo(foundScreen, &foundCursor);
    SetConsoleTitleW(foundTitle);
}

BOOL WINAPI onControl(DWORD type) {
    if (!active) return FALSE;
    LONG signal = type == CTRL_C_EVENT ? SIGINT : type == CTRL_BREAK_EVENT ? SIGBREAK : SIGTERM;
    if (InterlockedCompareExchange(&quitSignal, signal, 0) != 0) {
        // A second one: whatever keeps the game from its way out, the player wants out now.
        restoreConsoleNow();
        ExitProcess(controlExitStatus);
    }
    SetEvent(quitEvent);
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) return TRUE;
    // The window is closing, or the session ending: the system ends the process when this
    // returns, so the game is given the few seconds the system allows to end its own way.
    Sleep(INFINITE);
    return TRUE;
}

LONG WINAPI onCrash(EXCEPTION_POINTERS *) {
    restoreConsoleNow();
    return EXCEPTION_CONTINUE_SEARCH;
}

void onAbort(int) {
    restoreConsoleNow();
}

void checkQuit() {
    LONG signal = quitSignal;
    if (signal != 0) throw RunEnded{static_cast<int>(signal)};
}

// The console's key as the game's event, as the terminal backend gives the same key (a
// character typed decides, as there; keys without one by their code). False for keys the game
// has no code for: modifiers alone.
bool keyEventFromConsole(const KEY_EVENT_RECORD &key, KeyEvent *event) {
    bool down = key.bKeyDown != 0;
    *event = KeyEvent{down, 0, 0};
    switch (key.wVirtualKeyCode) {
    case VK_UP:
        event->virtualKey = keyUp;
        return true;
    case VK_DOWN:
        event->virtualKey = keyDown;
        return true;
    case VK_LEFT:
        event->virtualKey = keyLeft;
        return true;
    case VK_RIGHT:
        event->virtualKey = keyRight;
        return true;
    case VK_RETURN:
        *event = KeyEvent{down, keyEnter, '\r'};
        return true;
    case VK_BACK:
        *event = KeyEvent{down, 8, 8};
        return true;
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
        return false;
    default:
        break;
    }
    if (key.wVirtualKeyCode >= VK_F1 && key.wVirtualKeyCode <= VK_F12) {
        event->virtualKey = key.wVirtualKeyCode;
        return true;
    }
    wchar_t typed = key.uChar.UnicodeChar;
    // Home, Page Up, Insert, Delete and the like: no code, but still a key.
    if (typed == 0) return true;
    *event = keyEventFromTypedCharacter(typed, down);
    return true;
}

void takeRecord(const INPUT_RECORD &record) {
    if (record.EventType == WINDOW_BUFFER_SIZE_EVENT) {
        layoutChanged = true;
        return;
    }
    if (record.EventType != KEY_EVENT) return;
    KeyEvent event;
    if (!keyEventFromConsole(record.Event.KeyEvent, &event)) return;
    // A key held down repeats as presses, as on the console.
    int repeats = event.keyDown ? std::clamp<int>(record.Event.KeyEvent.wRepeatCount, 1, 16) : 1;
    for (int i = 0; i < repeats; i++)
        queueRealKey(pending, releaseFilter, event);
}

// Takes every record the console holds, without waiting.
void takeConsoleRecords() {
    for (;;) {
        DWORD waiting = 0;
        if (!GetNumberOfConsoleInputEvents(input, &waiting) || waiting == 0) return;
        INPUT_RECORD records[64];
        DWORD got = 0;
        if (!ReadConsoleInputW(input, records, 64, &got) || got == 0) return;
        for (DWORD i = 0; i < got; i++)
            takeRecord(records[i]);
    }
}

// Waits up to millis for console input (or a quit signal) and takes what came.
void waitForRecords(DWORD millis) {
    HANDLE handles[2] = {quitEvent, input};
    DWORD result = WaitForMultipleObjects(2, handles, FALSE, millis);
    checkQuit();
    if (result == WAIT_FAILED) {
        // The console has gone: nothing will ever come.
        if (++failedWaits > 20) throw RunEnded{0};
        Sleep(std::min<DWORD>(millis, 50));
        return;
    }
    failedWaits = 0;
    if (result == WAIT_OBJECT_0 + 1) takeConsoleRecords();
}

// Notices a window the player resized, which the classic console reports only as it likes.
void noteWindowSize() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(screen, &info)) return;
    const SMALL_RECT &window = info.srWindow;
    if (window.Left != shownWindow.Left || window.Top != shownWindow.Top ||
        window.Right != shownWindow.Right || window.Bottom != shownWindow.Bottom ||
        info.dwSize.X != shownBufferSize.X || info.dwSize.Y != shownBufferSize.Y) {
        layoutChanged = true;
    }
}

// An 80x25 buffer in an 80x25 window: the window first made to fit both the old buffer and
// the new one, as the console asks. A console that cannot (too small a screen, a terminal
// that sizes itself) keeps its size; the layout then copes with what there is.
void sizeScreen() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(screen, &info)) return;
    int width = std::min(info.srWindow.Right - info.srWindow.Left + 1, screenWidth);
    int height = std::min(info.srWindow.Bottom - info.srWindow.Top + 1, screenHeight);
    SMALL_RECT fitting = {0, 0, static_cast<SHORT>(width - 1), static_cast<SHORT>(height - 1)};
    SetConsoleWindowInfo(screen, TRUE, &fitting);
    SetConsoleScreenBufferSize(screen, COORD{screenWidth, screenHeight});
    SMALL_RECT whole = {0, 0, screenWidth - 1, screenHeight - 1};
    SetConsoleWindowInfo(screen, TRUE, &whole);
}

void computeLayout() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(screen, &info);
    shownWindow = info.srWindow;
    shownBufferSize = info.dwSize;
    int columns = info.srWindow.Right - info.srWindow.Left + 1;
    int rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    ScreenPlace place = placeScreen(columns, rows, minimumWidth, minimumHeight);
    tooSmall = place.tooSmall;
    originColumn = info.srWindow.Left + place.originColumn;
    originRow = info.srWindow.Top + place.originRow;
}

// Blanks the whole buffer in black.
void clearScreenBuffer() {
    DWORD cells = static_cast<DWORD>(shownBufferSize.X) * static_cast<DWORD>(shownBufferSize.Y);
    DWORD done;
    FillConsoleOutputCharacterW(screen, L' ', cells, COORD{0, 0}, &done);
    FillConsoleOutputAttribute(screen, 0x07, cells, COORD{0, 0}, &done);
}

void drawNotice() {
    clearScreenBuffer();
    int columns = shownWindow.Right - shownWindow.Left + 1;
    int rows = shownWindow.Bottom - shownWindow.Top + 1;
    SHORT row = shownWindow.Top;
    for (const std::string &text :
         tooSmallNotice("console", columns, rows, minimumWidth, minimumHeight)) {
        std::wstring line = wideOf(text);
        DWORD done;
        WriteConsoleOutputCharacterW(screen, line.data(), static_cast<DWORD>(line.size()),
                                     COORD{shownWindow.Left, row++}, &done);
    }
}

// Shows the notice until the window is large enough; keys typed meanwhile are dropped.
void waitUntilLargeEnough() {
    while (tooSmall) {
        drawNotice();
        waitForRecords(blockingWaitMillis);
        queueClear(pending);
        computeLayout();
    }
    clearScreenBuffer();
    shownValid = false;
}

CHAR_INFO charInfoOf(Cell cell) {
    // Text in its own background colour shows as a blank, as in the terminal.
    bool invisible = (cell.colour & 15) == cell.colour >> 4;
    CHAR_INFO info;
    info.Char.UnicodeChar = static_cast<wchar_t>(cp437Unicode[invisible ? ' ' : cell.glyph]);
    info.Attributes = cell.colour;
    return info;
}

// Brings the screen buffer up to date with givenCells: one write of the rectangle that holds
// every changed cell.
void showGivenCells() {
    checkQuit();
    takeConsoleRecords(); // also notices a resize while the game is busy
    noteWindowSize();
    if (layoutChanged) {
        layoutChanged = false;
        computeLayout();
        clearScreenBuffer();
        shownValid = false;
    }
    if (tooSmall) waitUntilLargeEnough();
    int top = screenHeight, bottom = -1, left = screenWidth, right = -1;
    for (int y = 0; y < screenHeight; y++) {
        for (int x = 0; x < screenWidth; x++) {
            if (shownValid && givenCells[y][x] == shownCells[y][x]) continue;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    if (bottom < 0) return;
    static CHAR_INFO changed[screenHeight * screenWidth];
    int width = right - left + 1;
    for (int y = top; y <= bottom; y++) {
        for (int x = left; x <= right; x++) {
            changed[(y - top) * width + (x - left)] = charInfoOf(givenCells[y][x]);
            shownCells[y][x] = givenCells[y][x];
        }
    }
    SMALL_RECT area = {static_cast<SHORT>(originColumn + left), static_cast<SHORT>(originRow + top),
                       static_cast<SHORT>(originColumn + right),
                       static_cast<SHORT>(originRow + bottom)};
    WriteConsoleOutputW(screen, changed,
                        COORD{static_cast<SHORT>(width), static_cast<SHORT>(bottom - top + 1)},
                        COORD{0, 0}, &area);
    shownValid = true;
}

// The game's last screen, with its farewell, written on the console the game found, where it
// stays when the program has ended: the rows down to the last that is not blank.
void writeLastScreen() {
    int lastRow = screenHeight - 1;
    auto blank = [](const Cell &cell) {
        return (cell.glyph == ' ' || cell.glyph == 0 || (cell.colour & 15) == cell.colour >> 4) &&
               (cell.colour >> 4) == 0;
    };
    while (lastRow >= 0 &&
           std::all_of(givenCells[lastRow], givenCells[lastRow] + screenWidth, blank))
        lastRow--;
    // A row as wide as the console leaves the cursor at its end, not at the next row's start.
    DWORD outputMode = 0;
    bool modeKnown = GetConsoleMode(foundScreen, &outputMode) != 0;
    if (modeKnown) SetConsoleMode(foundScreen, outputMode & ~DWORD{ENABLE_WRAP_AT_EOL_OUTPUT});
    DWORD done;
    for (int y = 0; y <= lastRow; y++) {
        int length = screenWidth;
        while (length > 0 && blank(givenCells[y][length - 1]))
            length--;
        for (int x = 0; x < length;) {
            int end = x;
            std::wstring run;
            while (end < length && givenCells[y][end].colour == givenCells[y][x].colour)
                run += charInfoOf(givenCells[y][end++]).Char.UnicodeChar;
            SetConsoleTextAttribute(foundScreen, givenCells[y][x].colour);
            WriteConsoleW(foundScreen, run.data(), static_cast<DWORD>(run.size()), &done, nullptr);
            x = end;
        }
        SetConsoleTextAttribute(foundScreen, foundScreenInfo.wAttributes);
        // No line end after the screen's last row: it would scroll a console of 25 rows up.
        if (y < screenHeight - 1) WriteConsoleW(foundScreen, L"\r\n", 2, &done, nullptr);
    }
    if (modeKnown) SetConsoleMode(foundScreen, outputMode);
}

void writeErrorLine(const std::string &line) {
    if (stderrIsConsole) {
        std::wstring wide = wideOf(line + "\n");
        DWORD done;
        WriteConsoleW(GetStdHandle(STD_ERROR_HANDLE), wide.data(), static_cast<DWORD>(wide.size()),
                      &done, nullptr);
    } else {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

// --- The backend's entries ---

void consoleShutdown() {
    if (!active) return;
    restoreConsoleNow();
    active = false;
    CloseHandle(screen);
    screen = INVALID_HANDLE_VALUE;
    if (timerRaised) timeEndPeriod(1);
    timerRaised = false;
    writeLastScreen();
    for (const std::string &line : deferredErrors)
        writeErrorLine(line);
    deferredErrors.clear();
}

bool consoleInit() {
    input = GetStdHandle(STD_INPUT_HANDLE);
    foundScreen = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD outputMode, errorMode;
    if (!GetConsoleMode(input, &foundInputMode) || !GetConsoleMode(foundScreen, &outputMode) ||
        !GetConsoleScreenBufferInfo(foundScreen, &foundScreenInfo)) {
        std::fputs("brinewort: standard input and output must be a console; start the game in a "
                   "console window, or with a double click\n",
                   stderr);
        return false;
    }
    stderrIsConsole = GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &errorMode) != 0;
    if (quitEvent == nullptr) quitEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // The game's own screen buffer: what the console showed stays as it was, underneath.
    if (quitEvent != nullptr) {
        screen = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           CONSOLE_TEXTMODE_BUFFER, nullptr);
    }
    if (quitEvent == nullptr || screen == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "brinewort: cannot use this console (error %lu)\n", GetLastError());
        return false;
    }
    if (GetConsoleTitleW(foundTitle, sizeof foundTitle / sizeof foundTitle[0]) == 0)
        foundTitle[0] = L'\0';
    if (!GetConsoleCursorInfo(foundScreen, &foundCursor))
        foundCursor = CONSOLE_CURSOR_INFO{25, TRUE};
    SetConsoleCtrlHandler(onControl, TRUE);
    SetUnhandledExceptionFilter(onCrash);
    std::signal(SIGABRT, onAbort);
    active = true;
    std::atexit(consoleShutdown);
    sizeScreen();
    SetConsoleActiveScreenBuffer(screen);
    // Keys one at a time, unechoed; Ctrl-C as a signal; resizes reported; no mouse, and no
    // Quick Edit, whose selecting with the mouse would stop the game.
    SetConsoleMode(input, ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT | ENABLE_EXTENDED_FLAGS);
    CONSOLE_CURSOR_INFO cursor = {25, FALSE};
    SetConsoleCursorInfo(screen, &cursor);
    // Waits as short as the game asks for, not rounded up to the system's 16 ms tick.
    timerRaised = timeBeginPeriod(1) == TIMERR_NOERROR;
    queueClear(pending);
    releaseFilter = ReleaseFilter{};
    layoutChanged = true;
    shownValid = false;
    return true;
}

void consolePresent(const ScreenCells &cells) {
    std::memcpy(givenCells, cells, sizeof givenCells);
    showGivenCells();
}

void consoleReadEvent(KeyEvent *event) {
    for (;;) {
        checkQuit();
        if (queuePop(pending, event)) return;
        waitForRecords(blockingWaitMillis);
        noteWindowSize();
        if (layoutChanged) showGivenCells();
    }
}

int consolePollEvents(KeyEvent *events, int max, int waitMillis) {
    checkQuit();
    takeConsoleRecords();
    // Nothing pending: wait as long as asked.
    uint32_t started = monotonicMillis();
    while (pending.count == 0 && waitMillis != 0) {
        DWORD slice = blockingWaitMillis;
        if (waitMillis != waitUntilKey) {
            uint32_t elapsed = monotonicMillis() - started;
            if (elapsed >= static_cast<uint32_t>(waitMillis)) break;
            slice = std::min<DWORD>(slice, static_cast<DWORD>(waitMillis) - elapsed);
        }
        waitForRecords(slice);
        noteWindowSize();
        if (layoutChanged) showGivenCells();
    }
    int n = 0;
    while (n < max && queuePopPolled(pending, &events[n]))
        n++;
    return n;
}

void consoleDiscardEvents() {
    // Taken first, so that the release of the key just read, already in the console, stays.
    takeConsoleRecords();
    queueDiscardRealKeys(pending, releaseFilter);
}

uint32_t consoleTickMillis() {
    return monotonicMillis();
}

int consoleTimeOfDayMillis() {
    return wallClockMillisPart();
}

void consoleSleepMillis(uint32_t ms) {
    checkQuit();
    WaitForSingleObject(quitEvent, ms);
    checkQuit();
}

void consoleSetTitle(const char *title) {
    if (active) SetConsoleTitleW(wideOf(title).c_str());
}

void consoleSetCursorVisible(bool visible) {
    if (!active) return;
    CONSOLE_CURSOR_INFO cursor = {25, visible ? TRUE : FALSE};
    SetConsoleCursorInfo(screen, &cursor);
}

void consoleSetMinimumSize(int width, int height) {
    minimumWidth = width;
    minimumHeight = height;
    layoutChanged = true;
}

// While the game's screen is on show a line on stderr would land on the console it hides; it
// is held back until the console is given back, unless stderr goes elsewhere.
void consoleReportError(const char *line) {
    if (active && stderrIsConsole) {
        if (deferredErrors.size() < maxDeferredErrors) deferredErrors.emplace_back(line);
    } else {
        writeErrorLine(line);
    }
}

} // namespace

const Platform terminalPlatform = {
    .name = "console",
    .init = consoleInit,
    .shutdown = consoleShutdown,
    .present = consolePresent,
    .readEvent = consoleReadEvent,
    .pollEvents = consolePollEvents,
    .discardEvents = consoleDiscardEvents,
    .tickMillis = consoleTickMillis,
    .timeOfDayMillis = consoleTimeOfDayMillis,
    .sleepMillis = consoleSleepMillis,
    .setTitle = consoleSetTitle,
    .setCursorVisible = consoleSetCursorVisible,
    .setMinimumSize = consoleSetMinimumSize,
    .reportError = consoleReportError,
};

void reraiseQuitSignal(int signal) {
    if (signal == 0) return;
    // As a console program that Ctrl-C ends ends.
    std::fflush(nullptr);
    ExitProcess(controlExitStatus);
}
