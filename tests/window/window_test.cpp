// The window backend on a real display (run under Xvfb): the title menu's cells drawn as the
// font's glyphs in the classic palette, whole-number scaling with a black border, and SDL's
// key events read as the terminal's are; and the recorded demos replayed in it. With
// BRINEWORT_WINDOW_CAPTURE naming a file, the title menu is also saved there as a BMP picture.
#include <SDL.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <tuple>
#include <utility>

#include "frontend/frontend.h"
#include "program/program.h"
#include "recording/recording.h"
#include "support/harness.h"
#include "window/window.h"

namespace {

namespace fs = std::filesystem;

class WindowTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        // Only built with the window backend, so a missing display is a fault of the test run.
        ASSERT_TRUE(windowDisplayAvailable()) << "no display: run under xvfb-run";
        playTitleIntro(); // on the headless clock: the intro takes no time here
        usePlatform(&windowPlatform);
        ASSERT_TRUE(windowPlatform.init());
        opened = true;
    }
    void TearDown() override {
        if (opened) windowPlatform.shutdown();
        usePlatform(&headlessPlatform);
        GameTest::TearDown();
    }
    bool opened = false;
};

void pushKey(SDL_Keycode key, bool down, uint16_t modifiers = KMOD_NONE) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    event.key.keysym.mod = modifiers;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void pushPress(SDL_Keycode key, uint16_t modifiers = KMOD_NONE) {
    pushKey(key, true, modifiers);
    pushKey(key, false, modifiers);
}

// The first pixel of the window (y * width + x) that is not what the player should see, or
// -1: inside the screen, each cell's glyph in its colours with every font pixel a square of
// scale x scale (a blurred or shifted glyph shows); around it, black.
long firstWrongPixel(const WindowCapture &capture) {
    const CodePageFont &font = windowFont();
    for (int py = 0; py < capture.height; py++) {
        for (int px = 0; px < capture.width; px++) {
            int x = (px - capture.originX) / capture.scale,
                y = (py - capture.originY) / capture.scale;
            uint32_t want = 0;
            if (px >= capture.originX && py >= capture.originY && x < screenWidth * glyphWidth &&
                y < screenHeight * glyphHeight) {
                Cell cell = console.screenCells[y / glyphHeight][x / glyphWidth];
                bool ink = (font.rows[cell.glyph][y % glyphHeight] & (0x80 >> x % glyphWidth)) != 0;
                want = consolePalette[ink ? cell.colour & 15 : cell.colour >> 4];
            }
            long at = static_cast<long>(py) * capture.width + px;
            if (capture.pixels[static_cast<size_t>(at)] != want) return at;
        }
    }
    return -1;
}

} // namespace

TEST_F(WindowTest, TheTitleMenuShowsEachCellAsItsGlyphInThePaletteAtTwiceTheFontSize) {
    drawMainMenu();
    presentScreen();
    WindowCapture capture;
    ASSERT_TRUE(windowCapture(&capture));
    // The display has room for twice the font's size, so the window opens at that size.
    EXPECT_EQ(capture.scale, 2);
    EXPECT_EQ(capture.width, 1280);
    EXPECT_EQ(firstWrongPixel(capture), -1);
    // The cells checked include what the title menu is made of: the highlighted entry, the
    // brown goblets' dark shade, the green title.
    EXPECT_TRUE(textShownAt("New Game", 35, 10, colourChosen));
    EXPECT_EQ(colourAt(33, 4), 10);
    bool brownShade = false;
    for (const auto &row : console.screenCells)
        for (Cell cell : row)
            brownShade = brownShade || (cell.glyph == 178 && cell.colour == 6);
    EXPECT_TRUE(brownShade);
    // In the classic shades: the goblets brown (not the olive of a dimmed yellow), the title
    // bright green, the highlight white.
    std::set<uint32_t> shown(capture.pixels.begin(), capture.pixels.end());
    for (uint32_t colour : {0xAA5500u, 0x55FF55u, 0xFFFFFFu, 0x000000u})
        EXPECT_TRUE(shown.count(colour) == 1) << std::hex << colour;
    if (const char *path = std::getenv("BRINEWORT_WINDOW_CAPTURE")) {
        SDL_Surface *shot =
            SDL_CreateRGBSurfaceWithFormatFrom(capture.pixels.data(), capture.width, capture.height,
                                               32, capture.width * 4, SDL_PIXELFORMAT_RGB888);
        ASSERT_EQ(SDL_SaveBMP(shot, path), 0) << SDL_GetError();
        SDL_FreeSurface(shot);
    }

    // Full screen (F11) and back: the window covers the display, the screen grows by whole
    // numbers only, centred in black; then it is as it was. The display has no window
    // manager, which the game must not need for it.
    SDL_Rect display;
    ASSERT_EQ(SDL_GetDisplayBounds(0, &display), 0);
    for (auto [width, height] : {std::pair(display.w, display.h), std::pair(1280, 800)}) {
        SCOPED_TRACE(width);
        pushPress(SDLK_F11);
        presentScreen();
        waitMillis(300); // the display resizes the window; the wait redraws it
        ASSERT_TRUE(windowCapture(&capture));
        EXPECT_EQ(std::pair(capture.width, capture.height), std::pair(width, height));
        EXPECT_EQ(capture.scale, std::min(capture.width / 640, capture.height / 400));
        EXPECT_EQ(capture.originX, (capture.width - 640 * capture.scale) / 2);
        EXPECT_EQ(capture.originY, (capture.height - 400 * capture.scale) / 2);
        EXPECT_EQ(firstWrongPixel(capture), -1);
    }
}

TEST_F(WindowTest, KeysArriveAsTheTerminalGivesThemAndAClosedWindowEndsTheRun) {
    // The menu: a press and its real release move the highlight once, and the screen shows it.
    pushPress(SDLK_DOWN);
    drawMainMenu();
    handleMainMenuKey();
    drawMainMenu();
    presentScreen();
    EXPECT_EQ(titleScreen.mainMenuCursor, 1);
    KeyEvent event;
    readKeyEvent(&event); // the discard after the press kept its release
    EXPECT_EQ(std::tuple(event.keyDown, event.virtualKey), std::tuple(false, keyDown));
    EXPECT_TRUE(textShownAt("Continue", 35, 11, colourChosen));
    WindowCapture capture;
    ASSERT_TRUE(windowCapture(&capture));
    EXPECT_EQ(firstWrongPixel(capture), -1);

    struct Case {
        const char *what;
        std::vector<std::pair<SDL_Keycode, uint16_t>> presses;
        std::vector<KeyEvent> events;
    } cases[] = {
        {"letters: the upper-case code, the character as typed",
         {{SDLK_w, KMOD_NONE}, {SDLK_i, KMOD_LSHIFT}},
         {{true, 'W', 'w'}, {false, 'W', 'w'}, {true, 'I', 'I'}, {false, 'I', 'I'}}},
        {"Enter, space and the arrows",
         {{SDLK_RETURN, KMOD_NONE}, {SDLK_SPACE, KMOD_NONE}, {SDLK_LEFT, KMOD_NONE}},
         {{true, keyEnter, '\r'},
          {false, keyEnter, '\r'},
          {true, keySpace, ' '},
          {false, keySpace, ' '},
          {true, keyLeft, 0},
          {false, keyLeft, 0}}},
        {"keys the game has no code for: a modifier alone, Home, Insert, Delete",
         {{SDLK_LSHIFT, KMOD_NONE},
          {SDLK_HOME, KMOD_NONE},
          {SDLK_INSERT, KMOD_NONE},
          {SDLK_DELETE, KMOD_NONE}},
         {}},
        {"the window's own keys never reach the game",
         {{SDLK_RETURN, KMOD_LALT}, {SDLK_F11, KMOD_NONE}, {SDLK_F11, KMOD_NONE}},
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        for (auto [key, modifiers] : c.presses)
            pushPress(key, modifiers);
        KeyEvent events[maxPolledEvents];
        int n = pollKeyEvents(events, maxPolledEvents, 0);
        n += pollKeyEvents(events + n, maxPolledEvents - n, 0); // a held release comes next
        ASSERT_EQ(n, static_cast<int>(c.events.size()));
        for (int i = 0; i < n; i++) {
            const KeyEvent &want = c.events[static_cast<size_t>(i)];
            EXPECT_EQ(std::tuple(events[i].keyDown, events[i].virtualKey, events[i].character),
                      std::tuple(want.keyDown, want.virtualKey, want.character))
                << i;
        }
    }

    pushKey(SDLK_RETURN, true, KMOD_LALT); // Alt let go before Enter: still the window's
    pushKey(SDLK_RETURN, false);
    KeyEvent events[2];
    EXPECT_EQ(pollKeyEvents(events, 2, 0), 0);

    // A discard keeps the release of the key just read and drops what was typed ahead; a
    // key typed ahead and still held when dropped has its later release dropped as well.
    pushPress(SDLK_RETURN);
    pushPress(SDLK_UP);
    pushKey(SDLK_d, true);
    readKeyEvent(&event);
    discardPendingInput();
    readKeyEvent(&event);
    EXPECT_EQ(std::tuple(event.keyDown, event.virtualKey), std::tuple(false, keyEnter));
    pushKey(SDLK_d, false);
    pushPress(SDLK_a);
    readKeyEvent(&event);
    EXPECT_EQ(std::tuple(event.keyDown, event.virtualKey), std::tuple(true, 'A'));

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    try {
        readKeyEvent(&event);
        ADD_FAILURE() << "a closed window must end the run";
    } catch (const RunEnded &ended) {
        EXPECT_EQ(ended.signal, 0);
    }
}

// Every recorded demo, replayed at full speed with the window as the presenter, goes as it went
// when recorded: every checkpoint holds, it ends in the recorded state and cells, and the
// window shows those cells.
TEST_F(WindowTest, TheRecordedDemosReplayInTheWindowToTheirRecordedEnd) {
    const fs::path source = fs::path(__FILE__).parent_path().parent_path().parent_path();
    for (const fs::directory_entry &entry : fs::directory_iterator(source / "data")) {
        fs::path name = entry.path().filename();
        bool dataFile = name.extension() == ".txt" || name.extension() == ".rtf";
        if (dataFile && name != "SaveFile.txt") fs::copy_file(entry.path(), name);
    }
    int replayed = 0;
    for (const fs::directory_entry &demo : fs::directory_iterator(source / "tests" / "demos")) {
        if (demo.path().extension() != ".rec") continue;
        SCOPED_TRACE(demo.path().filename().string());
        replayed++;
        Recording recording;
        std::string error;
        ASSERT_TRUE(loadRecording(demo.path().c_str(), &recording, &error)) << error;
        ASSERT_TRUE(checkReplayData(recording, &error)) << error;
        ReplayOptions options;
        options.speed = 0;
        ReplayResult result = runReplay(recording, windowPlatform, options, runProgram);
        EXPECT_EQ(result.outcome, ReplayOutcome::finished)
            << result.message << "\nrecorded: " << result.expected
            << "\nreplayed: " << result.actual;
        int checkpoints = 0;
        Record record, last;
        for (RecordReader reader(recording); reader.next(&record);) {
            if (record.kind != Record::Kind::checkpoint) continue;
            checkpoints++;
            last = record;
        }
        EXPECT_EQ(result.checkpointsPassed, checkpoints);
        EXPECT_EQ(last.text, " end " + checkpointState());
        WindowCapture capture;
        ASSERT_TRUE(windowCapture(&capture));
        EXPECT_EQ(firstWrongPixel(capture), -1);
    }
    EXPECT_GT(replayed, 0);
}
