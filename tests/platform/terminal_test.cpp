// The terminal backend: its translations of keys to the game's codes and of cells to colours,
// and the backend itself on a pseudo-terminal: a window too small, a resize, a closed input.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <curses.h>
#include <functional>
#include <poll.h>
#include <pty.h>
#include <set>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <tuple>
#include <unistd.h>

#include "console/console.h"
#include "platform/terminal.h"
#include "platform/termmap.h"
#include "support/harness.h"

TEST(TerminalKeys, KeysGetTheConsolesCodesLettersKeepTheirCaseAndOthersComeWithoutACode) {
    // Keys without a code are still presses, so that the discard after an event drops
    // what was typed ahead of them.
    const std::tuple<int, uint32_t, bool, int, char> keys[] = {
        {KEY_CODE_YES, KEY_LEFT, true, keyLeft, 0},
        {KEY_CODE_YES, KEY_UP, true, keyUp, 0},
        {OK, '\r', true, keyEnter, '\r'},
        {OK, '\n', true, keyEnter, '\r'},
        {KEY_CODE_YES, KEY_ENTER, true, keyEnter, '\r'},
        {OK, ' ', true, keySpace, ' '},
        {OK, 'i', true, 'I', 'i'},
        {OK, 'I', true, 'I', 'I'},
        {OK, '7', true, '7', '7'},
        {OK, '%', true, 0, '%'},
        {OK, 0x00E9, true, 0, char(130)}, // é, byte 130 of the code page
        {OK, 0x20AC, true, 0, 0},         // € is not in it
        {KEY_CODE_YES, KEY_HOME, true, 0, 0},
        {KEY_CODE_YES, KEY_DC, true, 0, 0},
        {KEY_CODE_YES, KEY_MOUSE, false, 0, 0},
        {ERR, 'a', false, 0, 0}};
    for (auto [status, key, known, code, character] : keys) {
        KeyEvent event{};
        bool got = keyEventFromTerminal(status, key, &event) && event.keyDown;
        EXPECT_EQ(got, known) << key;
        if (got) {
            EXPECT_EQ(std::tuple(event.virtualKey, event.character), std::tuple(code, character))
                << key;
        }
    }
}

// What the backend writes, worked out without a terminal: the title, the colour pairs it sets
// up, the last screen left on the normal screen, and the cells a present redraws.
TEST(TerminalWrites, TheTitleLeavesControlsOutAndPushesThePlayersTitleOnce) {
    EXPECT_EQ(titleSequence("The Return\x1b]2;x\x07\x7f!", true),
              "\x1b[22;0t\x1b]0;The Return]2;x!\x07");
    EXPECT_EQ(titleSequence("Brinewort", false), "\x1b]0;Brinewort\x07");
    for (const char *term : {"linux", "dumb", "vt100"})
        EXPECT_FALSE(titleSupportedBy(term)) << term;
    EXPECT_FALSE(titleSupportedBy(nullptr));
    EXPECT_TRUE(titleSupportedBy("xterm-256color"));
}

TEST(TerminalWrites, EveryPairLookOfCellUsesIsSetUpAndNoOtherAtEightColours) {
    EXPECT_TRUE(colourPairsFor(ColourDepth::mono, 2).empty());
    for (auto [depth, colours, count] :
         {std::tuple(ColourDepth::eight, 8, 56), std::tuple(ColourDepth::sixteen, 256, 256)}) {
        std::vector<ColourPair> pairs = colourPairsFor(depth, colours);
        EXPECT_EQ(pairs.size(), static_cast<size_t>(count));
        std::set<short> numbers;
        for (const ColourPair &pair : pairs)
            numbers.insert(pair.number);
        EXPECT_EQ(numbers.size(), pairs.size());
        for (uint16_t colour = 0; colour < 256; colour++) {
            CellLook look =
                lookOfCell(Cell{'x', static_cast<uint8_t>(colour)}, depth, colours, true);
            if (look.pair == 0) continue;
            auto set = std::find_if(pairs.begin(), pairs.end(), [&](const ColourPair &pair) {
                return pair.number == look.pair;
            });
            ASSERT_NE(set, pairs.end()) << colour;
            EXPECT_EQ(std::tuple(set->foreground, set->background),
                      std::tuple(look.foreground, look.background));
        }
    }
}

TEST(TerminalWrites, TheLastScreenStopsAtItsLastShownRowAndNeverScrolls) {
    ScreenCells cells;
    for (auto &row : cells)
        std::fill(std::begin(row), std::end(row), Cell{' ', 0});
    EXPECT_EQ(lastScreenBytes(cells, ColourDepth::sixteen, 256, true), ""); // a blank screen
    cells[0][0] = Cell{'H', 15};
    cells[0][1] = Cell{0xCD, 15}; // a double line, three bytes of UTF-8
    std::string bytes = lastScreenBytes(cells, ColourDepth::sixteen, 256, true);
    EXPECT_EQ(bytes.rfind("\r\n"), bytes.size() - 2); // one row, then nothing below it
    EXPECT_NE(bytes.find("H\xe2\x95\x90"), std::string::npos);
    EXPECT_EQ(bytes.find("\r\n"), bytes.size() - 2);
    cells[screenHeight - 1][screenWidth - 1] = Cell{'!', 0x1F};
    bytes = lastScreenBytes(cells, ColourDepth::sixteen, 256, true);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), screenHeight - 1);
    EXPECT_EQ(bytes.substr(bytes.size() - 5), "!\x1b[0m");
}

TEST(TerminalWrites, APresentRedrawsOnlyTheCellsThatChanged) {
    ScreenCells given = {}, shown;
    EXPECT_EQ(changedCells(given, shown, false).size(), size_t{screenWidth * screenHeight});
    EXPECT_TRUE(changedCells(given, shown, true).empty());
    given[3][7] = Cell{'@', 14};
    std::vector<CellChange> changes = changedCells(given, shown, true);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(std::tuple(changes[0].x, changes[0].y, changes[0].cell.glyph), std::tuple(7, 3, '@'));
    EXPECT_TRUE(shown[3][7] == given[3][7]);
}

TEST(TerminalColours, EveryAttributeGetsAPairThatExistsAndBrightnessSurvivesFewerColours) {
    EXPECT_EQ(terminalColourOf(6, 256), 130); // brown, not olive
    // Console order is blue, green, red from bit 0; ANSI is red, green, blue.
    EXPECT_EQ(terminalColourOf(1, 16), COLOR_BLUE);
    EXPECT_EQ(terminalColourOf(12, 16), COLOR_RED + 8);
    std::set<short> pairs;
    for (int attribute = 0; attribute < 256; attribute++) {
        Cell cell{'a', static_cast<uint8_t>(attribute)};
        CellLook look = lookOfCell(cell, ColourDepth::sixteen, 256, true);
        EXPECT_GT(look.pair, 0); // pair 0 is the terminal's default and cannot be set
        pairs.insert(look.pair);
        look = lookOfCell(cell, ColourDepth::eight, 8, true);
        EXPECT_GT(look.pair, 0) << attribute;
        EXPECT_LT(look.pair, 64) << attribute;
    }
    EXPECT_EQ(pairs.size(), 256u); // each its own at sixteen colours
    CellLook highlighted =
        lookOfCell(Cell{'N', colourBlackOnWhite}, ColourDepth::sixteen, 256, true);
    EXPECT_EQ(lookSequence(highlighted, 256), "\033[0;38;5;16;48;5;231m");
    // With eight colours brightness shows as bold; black on black is a blank on purpose, but
    // white on light grey must not vanish. Without colour, backgrounds are reverse video.
    CellLook bright = lookOfCell(Cell{'a', 12}, ColourDepth::eight, 8, true);
    EXPECT_TRUE(bright.bold);
    EXPECT_EQ(bright.pair, pairNumberFor(4, 0, ColourDepth::eight));
    EXPECT_EQ(lookOfCell(Cell{'a', 0}, ColourDepth::eight, 8, true).glyph, L' ');
    CellLook greyed = lookOfCell(Cell{'a', 0x7F}, ColourDepth::eight, 8, true);
    EXPECT_EQ(greyed.glyph, L'a');
    EXPECT_NE(greyed.foreground, greyed.background);
    EXPECT_TRUE(lookOfCell(Cell{'Q', colourBlackOnWhite}, ColourDepth::mono, 0, true).reverse);
    EXPECT_EQ(colourDepthFor(256, 65536), ColourDepth::sixteen);
    EXPECT_EQ(colourDepthFor(16, 256), ColourDepth::eight);
    EXPECT_EQ(colourDepthFor(0, 0), ColourDepth::mono);
}

// The terminal backend run in a child process on a pseudo-terminal of the given size. The
// child shows a screen holding "The game goes on", then waits for a key (or runs play); its
// exit status is 0 for a key, 20 plus the signal when the run ended, 10 when the terminal
// was refused.
class TerminalBackendTest : public ::testing::Test {
  protected:
    void start(unsigned short columns, unsigned short rows, std::function<void()> prepare = {},
               std::function<void()> play = {}) {
        struct winsize size = {rows, columns, 0, 0};
        child = forkpty(&master, nullptr, nullptr, &size);
        ASSERT_GE(child, 0);
        if (child != 0) return;
        setenv("TERM", "xterm-256color", 1);
        if (locale != nullptr) setenv("LC_ALL", locale, 1);
        usePlatform(&terminalPlatform);
        if (!terminalPlatform.init()) _exit(10);
        if (prepare) prepare();
        int status = 0;
        try {
            clearScreen(0);
            printAt("The game goes on", 15, 10, 5);
            terminalPlatform.present(console.screenCells);
            if (play) {
                play();
            } else {
                KeyEvent event;
                terminalPlatform.readEvent(&event);
            }
        } catch (const RunEnded &ended) {
            status = 20 + ended.signal;
        }
        terminalPlatform.shutdown();
        _exit(status);
    }
    void TearDown() override {
        if (child > 0 && waitpid(child, nullptr, WNOHANG) == 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        if (master >= 0) close(master);
    }
    // Reads what the child shows until the text appears; false after ten seconds without it.
    bool shows(const std::string &text) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (output.find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > end) return false;
            struct pollfd ready = {master, POLLIN, 0};
            if (poll(&ready, 1, 100) <= 0) continue;
            char bytes[4096];
            ssize_t got = read(master, bytes, sizeof bytes);
            if (got <= 0) return false;
            output.append(bytes, static_cast<size_t>(got));
        }
        output.erase(0, output.find(text) + text.size());
        return true;
    }
    // The child's exit status; -1 when it has not ended within ten seconds.
    int exitStatus() {
        for (int tries = 0; tries < 1000; tries++) {
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child) {
                child = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            }
            usleep(10000);
        }
        return -1;
    }
    pid_t child = -1;
    int master = -1;
    std::string output;
    const char *locale = nullptr; // the child's LC_ALL, when set
};

TEST_F(TerminalBackendTest, ATooSmallWindowGetsANoticeUntilItIsResizedThenTheGame) {
    start(40, 10);
    ASSERT_TRUE(shows("needs a terminal window")) << output;
    EXPECT_TRUE(shows("this one is 40")) << output;
    struct winsize size = {25, 80, 0, 0};
    ioctl(master, TIOCSWINSZ, &size);
    EXPECT_TRUE(shows("The game goes on")) << output;
    ASSERT_EQ(write(master, "x", 1), 1);
    EXPECT_EQ(exitStatus(), 0);
}

TEST_F(TerminalBackendTest, TheTitleIsSetAtOnceAndThePlayersComesBackAtTheEnd) {
    start(80, 25, [] { terminalPlatform.setTitle("Brinewort test"); });
    ASSERT_TRUE(shows("\033[22;0t\033]0;Brinewort test\007")) << output;
    ASSERT_EQ(write(master, "x", 1), 1);
    EXPECT_TRUE(shows("\033[23;0t")) << output;
    EXPECT_EQ(exitStatus(), 0);
}

TEST_F(TerminalBackendTest, AQuitSignalEndsTheRunEvenWhileTheNoticeWaits) {
    start(40, 10);
    ASSERT_TRUE(shows("needs a terminal window")) << output;
    kill(child, SIGTERM);
    EXPECT_EQ(exitStatus(), 20 + SIGTERM);
}

TEST_F(TerminalBackendTest, AClosedInputEndsTheRunInsteadOfSpinning) {
    start(80, 25, [] { std::signal(SIGHUP, SIG_IGN); }); // as under nohup
    ASSERT_TRUE(shows("The game goes on")) << output;
    close(master);
    master = -1;
    EXPECT_EQ(exitStatus(), 20);
}

TEST_F(TerminalBackendTest, AnArrowIsOnePressAndBytesThatMakeNoCharacterArePressesWithoutACode) {
    // The child shows the code/character of the first three presses it reads.
    auto showPresses = [] {
        std::string shown = "got";
        for (int presses = 0; presses < 3;) {
            KeyEvent event;
            terminalPlatform.readEvent(&event);
            if (!event.keyDown) continue;
            shown += (presses++ == 0 ? ":" : ",") + std::to_string(event.virtualKey) + "/" +
                     std::to_string(static_cast<unsigned char>(event.character));
        }
        printAt(shown.c_str(), 15, 0, 0);
        terminalPlatform.present(console.screenCells);
        for (KeyEvent event;;)
            terminalPlatform.readEvent(&event);
    };
    // Each typed before "axyz"; the first press and the two after it.
    const std::tuple<const char *, std::string, std::string> cases[] = {
        {"C", "\xe9", "got:0/0,65/97,88/120"},             // above 127 in plain ASCII
        {"C.UTF-8", "\xff", "got:0/0,65/97,88/120"},       // a byte no UTF-8 character has
        {"C.UTF-8", "\xc3", "got:0/0,65/97,88/120"},       // a character cut short
        {"C.UTF-8", "\xc3\xa9", "got:0/130,65/97,88/120"}, // é, whole, reads as before
        {"C.UTF-8", "\033OA", "got:38/0,65/97,88/120"},    // the Up arrow, one press
    };
    for (const auto &[localeName, typed, presses] : cases) {
        locale = localeName;
        start(80, 25, {}, showPresses);
        ASSERT_TRUE(shows("The game goes on")) << output;
        std::string keys = typed + "axyz";
        ASSERT_EQ(write(master, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
        EXPECT_TRUE(shows(presses)) << localeName << ": " << output;
        TearDown();
        child = -1;
        master = -1;
        output.clear();
    }
}

TEST_F(TerminalBackendTest, AFileSizeLimitFailsAWriteAndCtrlSStaysAKeyAfterTheModeIsRestored) {
    // The child ends with 0 when both hold, 31 or 32 for the one that does not.
    start(80, 25, {}, [] {
        // A write past the limit fails (the save says so) instead of killing the game.
        struct rlimit limit = {0, 0};
        setrlimit(RLIMIT_FSIZE, &limit);
        char path[] = "/tmp/brinewort-limit-XXXXXX";
        int fd = mkstemp(path);
        bool failed = fd >= 0 && write(fd, "a", 1) < 0 && errno == EFBIG;
        if (fd >= 0) close(fd);
        unlink(path);
        if (!failed) _exit(31);
        // As after a suspend and resume, which puts back the mode ncurses keeps.
        reset_prog_mode();
        struct termios modes;
        if (tcgetattr(STDIN_FILENO, &modes) != 0 || (modes.c_iflag & IXON) != 0) _exit(32);
    });
    EXPECT_EQ(exitStatus(), 0);
}
