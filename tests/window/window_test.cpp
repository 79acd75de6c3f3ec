// The window backend on a real display (run under Xvfb): the title menu's cells drawn as the
// font's glyphs in the classic palette, whole-number scaling with a black border, and SDL's
// key events read as the terminal's are. With BRINEWORT_WINDOW_CAPTURE naming a file, the
// title menu is also saved there as a PNG.
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <zlib.h>

#include "frontend/frontend.h"
#include "support/harness.h"
#include "window/window.h"

namespace {

class WindowTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        if (!windowDisplayAvailable()) GTEST_SKIP() << "no display (run under xvfb-run)";
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

// The first cell (column, row) whose pixels differ from its glyph in its colours, or -1.
int firstWrongCell(const WindowCapture &capture) {
    const CodePageFont &font = windowFont();
    for (int cell = 0; cell < screenWidth * screenHeight; cell++) {
        Cell c = screenCells[cell / screenWidth][cell % screenWidth];
        for (int y = 0; y < glyphHeight; y++) {
            for (int x = 0; x < glyphWidth; x++) {
                bool ink = (font.rows[c.glyph][y] & (0x80 >> x)) != 0;
                uint32_t want = consolePalette[ink ? c.colour & 15 : c.colour >> 4];
                // Every screen pixel of the font pixel: a blurred or shifted glyph shows.
                for (int dy = 0; dy < capture.scale; dy++) {
                    for (int dx = 0; dx < capture.scale; dx++) {
                        int px = capture.originX +
                                 ((cell % screenWidth) * glyphWidth + x) * capture.scale + dx;
                        int py = capture.originY +
                                 ((cell / screenWidth) * glyphHeight + y) * capture.scale + dy;
                        if (capture.pixels[static_cast<size_t>(py * capture.width + px)] != want)
                            return cell;
                    }
                }
            }
        }
    }
    return -1;
}

bool borderIsBlack(const WindowCapture &capture) {
    int right = capture.originX + screenWidth * glyphWidth * capture.scale;
    int bottom = capture.originY + screenHeight * glyphHeight * capture.scale;
    for (int y = 0; y < capture.height; y++) {
        for (int x = 0; x < capture.width; x++) {
            bool inside = x >= capture.originX && x < right && y >= capture.originY && y < bottom;
            if (!inside && capture.pixels[static_cast<size_t>(y * capture.width + x)] != 0)
                return false;
        }
    }
    return true;
}

// A PNG of the capture, for the README's screenshot.
void writePng(const WindowCapture &capture, const char *path) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < capture.height; y++) {
        raw.push_back(0); // no filter
        for (int x = 0; x < capture.width; x++) {
            uint32_t p = capture.pixels[static_cast<size_t>(y * capture.width + x)];
            raw.insert(raw.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                   static_cast<uint8_t>(p)});
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    ASSERT_EQ(compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9),
              Z_OK);
    packed.resize(packedSize);
    FILE *file = std::fopen(path, "wb");
    ASSERT_NE(file, nullptr);
    auto chunk = [&](const char *type, std::vector<uint8_t> data) {
        uint8_t length[4] = {
            static_cast<uint8_t>(data.size() >> 24), static_cast<uint8_t>(data.size() >> 16),
            static_cast<uint8_t>(data.size() >> 8), static_cast<uint8_t>(data.size())};
        data.insert(data.begin(), type, type + 4);
        uLong crc = crc32(0, data.data(), static_cast<uInt>(data.size()));
        uint8_t tail[4] = {static_cast<uint8_t>(crc >> 24), static_cast<uint8_t>(crc >> 16),
                           static_cast<uint8_t>(crc >> 8), static_cast<uint8_t>(crc)};
        std::fwrite(length, 1, 4, file);
        std::fwrite(data.data(), 1, data.size(), file);
        std::fwrite(tail, 1, 4, file);
    };
    std::fwrite("\x89PNG\r\n\x1a\n", 1, 8, file);
    auto w = static_cast<uint32_t>(capture.width), h = static_cast<uint32_t>(capture.height);
    chunk("IHDR", {static_cast<uint8_t>(w >> 24), static_cast<uint8_t>(w >> 16),
                   static_cast<uint8_t>(w >> 8), static_cast<uint8_t>(w),
                   static_cast<uint8_t>(h >> 24), static_cast<uint8_t>(h >> 16),
                   static_cast<uint8_t>(h >> 8), static_cast<uint8_t>(h), 8, 2, 0, 0, 0});
    chunk("IDAT", packed);
    chunk("IEND", {});
    std::fclose(file);
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
    EXPECT_EQ(firstWrongCell(capture), -1);
    // The cells checked include what the title menu is made of: the highlighted entry, the
    // brown goblets' dark shade, the green title.
    EXPECT_TRUE(textShownAt("New Game", 35, 10, 240));
    EXPECT_EQ(colourAt(33, 4), 10);
    bool brownShade = false;
    for (const auto &row : screenCells)
        for (Cell cell : row)
            brownShade = brownShade || (cell.glyph == 178 && cell.colour == 6);
    EXPECT_TRUE(brownShade);
    if (const char *path = std::getenv("BRINEWORT_WINDOW_CAPTURE")) writePng(capture, path);

    // Full screen (F11): the screen grows by whole numbers only, centred in black.
    pushPress(SDLK_F11);
    presentScreen();
    waitMillis(300); // the display resizes the window; the wait redraws it
    ASSERT_TRUE(windowCapture(&capture));
    EXPECT_EQ(capture.scale, std::min(capture.width / 640, capture.height / 400));
    EXPECT_EQ(capture.originX, (capture.width - 640 * capture.scale) / 2);
    EXPECT_EQ(firstWrongCell(capture), -1);
    EXPECT_TRUE(borderIsBlack(capture));
}

TEST_F(WindowTest, KeysArriveAsTheTerminalGivesThemAndAClosedWindowEndsTheRun) {
    // The menu: a press and its real release move the highlight once, and the screen shows it.
    pushPress(SDLK_DOWN);
    drawMainMenu();
    handleMainMenuKey();
    drawMainMenu();
    presentScreen();
    EXPECT_EQ(mainMenuCursor, 1);
    KeyEvent event;
    readKeyEvent(&event); // the discard after the press kept its release
    EXPECT_TRUE(!event.keyDown && event.virtualKey == keyDown);
    EXPECT_TRUE(textShownAt("Continue", 35, 11, 240));
    WindowCapture capture;
    ASSERT_TRUE(windowCapture(&capture));
    EXPECT_EQ(firstWrongCell(capture), -1);

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
        {"the window's own keys never reach the game",
         {{SDLK_RETURN, KMOD_LALT}, {SDLK_F11, KMOD_NONE}, {SDLK_F11, KMOD_NONE}},
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        for (auto [key, modifiers] : c.presses)
            pushPress(key, modifiers);
        KeyEvent events[maxPolledEvents];
        int n = pollKeyEvents(events, maxPolledEvents);
        n += pollKeyEvents(events + n, maxPolledEvents - n); // a held release comes next
        ASSERT_EQ(n, static_cast<int>(c.events.size()));
        for (int i = 0; i < n; i++) {
            const KeyEvent &want = c.events[static_cast<size_t>(i)];
            EXPECT_TRUE(events[i].keyDown == want.keyDown &&
                        events[i].virtualKey == want.virtualKey &&
                        events[i].character == want.character)
                << i;
        }
    }

    // A discard keeps the release of the key just read and drops what was typed ahead; a
    // key typed ahead and still held when dropped has its later release dropped as well.
    pushPress(SDLK_RETURN);
    pushPress(SDLK_UP);
    pushKey(SDLK_d, true);
    readKeyEvent(&event);
    discardPendingInput();
    readKeyEvent(&event);
    EXPECT_TRUE(!event.keyDown && event.virtualKey == keyEnter);
    pushKey(SDLK_d, false);
    pushPress(SDLK_a);
    readKeyEvent(&event);
    EXPECT_TRUE(event.keyDown && event.virtualKey == 'A');

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
