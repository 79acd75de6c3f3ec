// The terminal backend on ncursesw: presents the cell buffer, turns key presses into press
// and release events, keeps time, and gives the terminal back on every way out.
#include "platform/terminal.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <curses.h>
#include <langinfo.h>
#if defined(BRINEWORT_SANITIZE)
#include <sanitizer/common_interface_defs.h>
#endif
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "platform/eventqueue.h"
#include "platform/platform.h"
#include "platform/systemclock.h"
#include "platform/termcaps.h"
#include "platform/termmap.h"
#include "platform/windowfit.h"

namespace {

volatile sig_atomic_t quitSignal =
    0;               // set by SIGINT, SIGTERM, SIGHUP; the run ends at the next pause
bool active = false; // ncurses owns the terminal
bool unicode = true; // the locale speaks UTF-8, so glyphs can be drawn as such
ColourDepth depth = ColourDepth::mono;
int terminalColours = 0;
ScreenCells givenCells = {}; // what the game handed over last: drawn again after a resize
ScreenCells shownCells;      // what the terminal shows now
bool shownValid = false;     // false: every cell must be drawn again
bool layoutChanged = true;   // the window was resized or the minimum changed
bool tooSmall = false;
int originColumn = 0; // where the 80x25 screen sits in a larger window
int originRow = 0;
int minimumWidth = screenWidth;
int minimumHeight = screenHeight;
EventQueue pending;
int quickFailedReads = 0; // blocking reads in a row that failed at once: input is gone
bool stderrIsTerminal = false;
std::vector<std::string> deferredErrors; // error lines held back until the screen is given back
bool titleSet = false;
struct termios savedTermios;
bool haveSavedTermios = false;
char restoreSequence[256];
size_t restoreLength = 0;

// A quit signal interrupts a blocked read at once; the limit only bounds the wait for one that
// lands just before the read begins. Each wake-up costs a little CPU while the player thinks.
constexpr int blockingReadMillis = 1000;
// How long the rest of a character's bytes may take after its first.
constexpr int characterBytesMillis = 50;
constexpr size_t maxDeferredErrors = 50;

// Only async-signal-safe calls: put the terminal back as it was found.
void restoreTerminalNow() {
    if (!active) return;
    ssize_t ignored = write(STDOUT_FILENO, restoreSequence, restoreLength);
    (void)ignored;
    if (haveSavedTermios) tcsetattr(STDIN_FILENO, TCSANOW, &savedTermios);
}

// Puts the terminal back, then dies as the signal says.
void restoreAndDie(int signal) {
    restoreTerminalNow();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void onQuitSignal(int signal) {
    // A second one: whatever keeps the game from its way out, the player wants out now.
    if (quitSignal != 0) restoreAndDie(signal);
    quitSignal = signal;
}

void onCrashSignal(int signal) {
    restoreAndDie(signal);
}

#if defined(BRINEWORT_SANITIZE)
// A sanitizer's fatal report ends the program its own way, past every signal handler.
void onSanitizerDeath() {
    restoreTerminalNow();
}
#endif

// Whether the signal still has its default action (and no one else, a profiler or a
// sanitizer, has claimed it).
bool hasDefaultAction(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
           current.sa_handler == SIG_DFL;
}

void installSignalHandlers() {
    struct sigaction quit {};
    quit.sa_handler = onQuitSignal;
    sigemptyset(&quit.sa_mask);
    quit.sa_flags = 0; // no SA_RESTART: a blocked read or sleep returns and sees the flag
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaction(signal, &quit, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // Past a file size limit a write fails with an error the save reports, instead of a kill.
    std::signal(SIGXFSZ, SIG_IGN);

    struct sigaction crash {};
    crash.sa_handler = onCrashSignal;
    sigemptyset(&crash.sa_mask);
    crash.sa_flags = SA_RESETHAND;
    for (int signal : {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL})
        sigaction(signal, &crash, nullptr);
    // Every other signal whose default ends the program ends it with the terminal restored.
    for (int signal : {SIGTRAP, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU, SIGSYS,
                       SIGIO, SIGPWR, SIGSTKFLT}) {
        if (hasDefaultAction(signal)) sigaction(signal, &crash, nullptr);
    }
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; signal++) {
        if (hasDefaultAction(signal)) sigaction(signal, &crash, nullptr);
    }
#if defined(BRINEWORT_SANITIZE)
    __sanitizer_set_death_callback(onSanitizerDeath);
#endif
}

// Ctrl-S and Ctrl-Q would freeze and thaw the game's output; while it runs they are keys.
void turnOffFlowControl() {
    struct termios modes;
    if (tcgetattr(STDIN_FILENO, &modes) != 0) return;
    modes.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
    if (tcsetattr(STDIN_FILENO, TCSANOW, &modes) == 0) def_prog_mode();
}

void checkQuit() {
    if (quitSignal != 0) throw RunEnded{quitSignal};
}

void computeLayout() {
    int rows, columns;
    getmaxyx(stdscr, rows, columns);
    ScreenPlace place = placeScreen(columns, rows, minimumWidth, minimumHeight);
    tooSmall = place.tooSmall;
    originColumn = place.originColumn;
    originRow = place.originRow;
}

// A blocking read that keeps failing at once means standard input has closed.
void noteFailedRead(int waitMillis, uint32_t startTick) {
    struct pollfd input = {STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, 0) > 0 && (input.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        throw RunEnded{0};
    }
    uint32_t elapsed = monotonicMillis() - startTick;
    if (waitMillis > 0 && elapsed < static_cast<uint32_t>(waitMillis / 2)) {
        if (++quickFailedReads > 20) throw RunEnded{0};
    } else {
        quickFailedReads = 0;
    }
}

// Takes the bytes of one typed character, the first already read, and gives its press
// event. Bytes that make no character give a press with no code, so that the discard after
// an event still happens; whatever was read past the character is given back to be read
// again.
KeyEvent takeTypedCharacter(int firstByte) {
    unsigned char bytes[MB_LEN_MAX];
    size_t count = 0;
    bytes[count++] = static_cast<unsigned char>(firstByte);
    int interruptingKey = ERR;
    DecodedBytes decoded = decodeTypedBytes(bytes, count);
    while (decoded.kind == TypedBytes::incomplete) {
        // A character's bytes come together; one that stops short is no character.
        int next = ERR;
        if (count < sizeof bytes) {
            timeout(characterBytesMillis);
            next = wgetch(stdscr);
        }
        if (next == ERR || next > 255) {
            interruptingKey = next;
            decoded = DecodedBytes{TypedBytes::notACharacter, 0, 1};
            break;
        }
        bytes[count++] = static_cast<unsigned char>(next);
        decoded = decodeTypedBytes(bytes, count);
    }
    // ungetch gives back the last one pushed first.
    if (interruptingKey != ERR) ungetch(interruptingKey);
    for (size_t i = count; i > decoded.length; i--)
        ungetch(bytes[i - 1]);
    KeyEvent event{true, 0, 0};
    if (decoded.kind == TypedBytes::character) {
        keyEventFromTerminal(OK, decoded.character, &event);
    }
    return event;
}

// Reads one key from the terminal, waiting up to waitMillis. A press goes into the pending
// events with its release; a resize is noted. False when nothing came.
bool readTerminalKey(int waitMillis) {
    timeout(waitMillis);
    uint32_t startTick = monotonicMillis();
    // Bytes, decoded here rather than by get_wch, which would swallow a byte that starts no
    // character together with every key typed after it until the read times out.
    int key = wgetch(stdscr);
    if (key == ERR) {
        checkQuit();
        // A read that was not meant to wait says nothing about the input having closed.
        if (waitMillis > 0) noteFailedRead(waitMillis, startTick);
        return false;
    }
    quickFailedReads = 0;
    if (key == KEY_RESIZE) {
        layoutChanged = true;
        return true;
    }
    KeyEvent event;
    if (key < KEY_MIN) {
        event = takeTypedCharacter(key);
    } else if (!keyEventFromTerminal(KEY_CODE_YES, static_cast<uint32_t>(key), &event)) {
        return true;
    }
    queuePushPress(pending, event.virtualKey, event.character);
    return true;
}

// Waits up to waitMillis (waitUntilKey: no limit) for a key or a resize, looking at the quit
// flag now and then.
void waitForTerminalKey(int waitMillis) {
    uint32_t start = monotonicMillis();
    for (;;) {
        int slice = blockingReadMillis;
        if (waitMillis != waitUntilKey) {
            int left = waitMillis - static_cast<int>(monotonicMillis() - start);
            if (left <= 0) return;
            if (left < slice) slice = left;
        }
        if (readTerminalKey(slice)) return;
    }
}

// Takes every key the terminal already has, without waiting.
void drainTerminalKeys() {
    while (queueHasRoom(pending, 2) && readTerminalKey(0)) {
    }
}

void drawNotice() {
    erase();
    int rows, columns;
    getmaxyx(stdscr, rows, columns);
    int row = 0;
    for (const std::string &line :
         tooSmallNotice("terminal", columns, rows, minimumWidth, minimumHeight))
        mvaddnstr(row++, 0, line.c_str(), static_cast<int>(line.size()));
    refresh();
}

// Shows the notice until the window is large enough; keys typed meanwhile are dropped.
void waitUntilLargeEnough() {
    while (tooSmall) {
        drawNotice();
        timeout(blockingReadMillis);
        uint32_t startTick = monotonicMillis();
        int key = wgetch(stdscr);
        checkQuit();
        if (key == ERR) noteFailedRead(blockingReadMillis, startTick);
        if (key == KEY_RESIZE) computeLayout();
    }
    erase();
    shownValid = false;
}

void drawCell(int x, int y, Cell cell) {
    CellLook look = lookOfCell(cell, depth, terminalColours, unicode);
    wchar_t text[2] = {look.glyph, L'\0'};
    attr_t attributes = A_NORMAL;
    if (look.bold) attributes |= A_BOLD;
    if (look.reverse) attributes |= A_REVERSE;
    cchar_t character;
    setcchar(&character, text, attributes, look.pair, nullptr);
    // The bottom-right cell of the window reports ERR although it is drawn.
    mvadd_wch(originRow + y, originColumn + x, &character);
}

void setUpColours() {
    depth = ColourDepth::mono;
    if (!has_colors()) return;
    start_color();
    terminalColours = COLORS;
    depth = colourDepthFor(COLORS, COLOR_PAIRS);
    for (const ColourPair &pair : colourPairsFor(depth, COLORS))
        init_pair(pair.number, pair.foreground, pair.background);
}

// Through standard output's buffer, sent at once: in order with anything else written there.
void writeToTerminal(const std::string &bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

// The alternate screen vanishes when the program ends; the game's last screen (with its
// farewell) is written once more on the normal screen, where it stays readable.
void writeLastScreen() {
    writeToTerminal(lastScreenBytes(givenCells, depth, terminalColours, unicode));
}

// --- The backend's entries ---

void terminalShutdown() {
    if (!active) return;
    active = false;
    // Xterm-like terminals keep a stack of titles: put back the one the player had.
    if (titleSet) writeToTerminal("\033[23;0t");
    endwin();
    if (usesAlternateScreen()) writeLastScreen();
    for (const std::string &line : deferredErrors)
        std::fprintf(stderr, "%s\n", line.c_str());
    deferredErrors.clear();
}

bool terminalInit() {
    if (isatty(STDIN_FILENO) == 0 || isatty(STDOUT_FILENO) == 0) {
        std::fputs("brinewort: standard input and output must be a terminal; start the game in "
                   "an interactive terminal\n",
                   stderr);
        return false;
    }
    std::setlocale(LC_ALL, "");
    unicode = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    haveSavedTermios = tcgetattr(STDIN_FILENO, &savedTermios) == 0;
    stderrIsTerminal = isatty(STDERR_FILENO) != 0;
    // Ours before ncurses starts, so that it leaves SIGINT and SIGTERM to us.
    installSignalHandlers();
    if (newterm(nullptr, stdout, stdin) == nullptr) {
        const char *term = std::getenv("TERM");
        std::fprintf(stderr, "brinewort: cannot use this terminal (TERM=%s)\n",
                     term != nullptr ? term : "");
        return false;
    }
    active = true;
    std::atexit(terminalShutdown);
    buildRestoreSequence(restoreSequence, sizeof restoreSequence);
    restoreLength = std::strlen(restoreSequence);
    if (std::getenv("ESCDELAY") == nullptr) set_escdelay(25); // arrows apart from a lone Escape
    cbreak();
    noecho();
    nonl();
    intrflush(stdscr, FALSE);
    keypad(stdscr, TRUE);
    leaveok(stdscr, TRUE);
    curs_set(0);
    turnOffFlowControl();
    setUpColours();
    queueClear(pending);
    layoutChanged = true;
    shownValid = false;
    return true;
}

// Brings the terminal up to date with givenCells.
void showGivenCells() {
    checkQuit();
    drainTerminalKeys(); // also notices a resize while the game is busy
    if (layoutChanged) {
        layoutChanged = false;
        computeLayout();
        erase();
        shownValid = false;
    }
    if (tooSmall) waitUntilLargeEnough();
    std::vector<CellChange> changes = changedCells(givenCells, shownCells, shownValid);
    for (const CellChange &change : changes)
        drawCell(change.x, change.y, change.cell);
    shownValid = true;
    if (!changes.empty()) refresh();
}

void terminalPresent(const ScreenCells &cells) {
    std::memcpy(givenCells, cells, sizeof givenCells);
    showGivenCells();
}

void terminalReadEvent(KeyEvent *event) {
    for (;;) {
        checkQuit();
        if (queuePop(pending, event)) return;
        readTerminalKey(blockingReadMillis);
        if (layoutChanged) showGivenCells();
    }
}

int terminalPollEvents(KeyEvent *events, int max, int waitMillis) {
    checkQuit();
    // The console presented the screen just before, which took in the keys already typed.
    if (pending.count == 0 && waitMillis != 0) waitForTerminalKey(waitMillis);
    if (layoutChanged) showGivenCells();
    int n = 0;
    while (n < max && queuePopPolled(pending, &events[n]))
        n++;
    return n;
}

void terminalDiscardEvents() {
    flushinp();
    queueDiscard(pending);
}

uint32_t terminalTickMillis() {
    return monotonicMillis();
}

int terminalTimeOfDayMillis() {
    return wallClockMillisPart();
}

void terminalSleepMillis(uint32_t ms) {
    checkQuit();
    struct timespec request = {static_cast<time_t>(ms / 1000),
                               static_cast<long>(ms % 1000) * 1000000L};
    struct timespec remaining;
    while (nanosleep(&request, &remaining) == -1 && errno == EINTR) {
        checkQuit();
        request = remaining;
    }
}

void terminalSetTitle(const char *title) {
    if (!active || !titleSupportedBy(std::getenv("TERM"))) return;
    writeToTerminal(titleSequence(title, !titleSet));
    titleSet = true;
}

void terminalSetCursorVisible(bool visible) {
    if (active) curs_set(visible ? 1 : 0);
}

void terminalSetMinimumSize(int width, int height) {
    minimumWidth = width;
    minimumHeight = height;
    layoutChanged = true;
}

// While ncurses owns the terminal a line on stderr would scribble over the game; it is
// held back until the terminal is given back, unless stderr goes elsewhere.
void terminalReportError(const char *line) {
    if (active && stderrIsTerminal) {
        if (deferredErrors.size() < maxDeferredErrors) deferredErrors.emplace_back(line);
    } else {
        std::fprintf(stderr, "%s\n", line);
    }
}

} // namespace

const Platform terminalPlatform = {
    .name = "terminal",
    .init = terminalInit,
    .shutdown = terminalShutdown,
    .present = terminalPresent,
    .readEvent = terminalReadEvent,
    .pollEvents = terminalPollEvents,
    .discardEvents = terminalDiscardEvents,
    .tickMillis = terminalTickMillis,
    .timeOfDayMillis = terminalTimeOfDayMillis,
    .sleepMillis = terminalSleepMillis,
    .setTitle = terminalSetTitle,
    .setCursorVisible = terminalSetCursorVisible,
    .setMinimumSize = terminalSetMinimumSize,
    .reportError = terminalReportError,
};

void reraiseQuitSignal(int signal) {
    if (signal == 0) return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

#if defined(BRINEWORT_SANITIZE)
// AddressSanitizer calls this before its report: with the terminal back first, the report
// stays readable on the normal screen.
extern "C" void __asan_on_error() {
    restoreTerminalNow();
}
#endif
