// The terminal backend's translations: keys to the game's codes, cells to glyphs and colours.
#include <curses.h>
#include <set>
#include <tuple>

#include "platform/cp437.h"
#include "platform/termmap.h"
#include "support/harness.h"

// Whether the key is known and, if so, its code and character.
static std::tuple<bool, int, int> keyFor(int status, uint32_t key) {
    KeyEvent event{};
    if (!keyEventFromTerminal(status, key, &event) || !event.keyDown) return {false, 0, 0};
    return {true, event.virtualKey, event.character};
}

TEST(TerminalKeys, KeysGetTheConsolesCodesLettersKeepTheirCaseAndOthersComeWithoutACode) {
    using K = std::tuple<bool, int, int>;
    EXPECT_EQ(keyFor(KEY_CODE_YES, KEY_LEFT), K(true, keyLeft, 0));
    EXPECT_EQ(keyFor(KEY_CODE_YES, KEY_UP), K(true, keyUp, 0));
    EXPECT_EQ(keyFor(OK, '\r'), K(true, keyEnter, '\r'));
    EXPECT_EQ(keyFor(OK, '\n'), K(true, keyEnter, '\r'));
    EXPECT_EQ(keyFor(KEY_CODE_YES, KEY_ENTER), K(true, keyEnter, '\r'));
    EXPECT_EQ(keyFor(OK, ' '), K(true, keySpace, ' '));
    EXPECT_EQ(keyFor(OK, 'i'), K(true, 'I', 'i'));
    EXPECT_EQ(keyFor(OK, 'I'), K(true, 'I', 'I'));
    EXPECT_EQ(keyFor(OK, '7'), K(true, '7', '7'));
    EXPECT_EQ(keyFor(OK, '%'), K(true, 0, '%'));
    // Keys without a code are still presses, so that the discard after an event drops
    // what was typed ahead of them.
    EXPECT_EQ(keyFor(OK, 0x00E9), K(true, 0, static_cast<char>(130))); // é, byte 130
    EXPECT_EQ(keyFor(OK, 0x20AC), K(true, 0, 0));                      // € is not in the page
    EXPECT_EQ(keyFor(KEY_CODE_YES, KEY_HOME), K(true, 0, 0));
    EXPECT_EQ(keyFor(KEY_CODE_YES, KEY_PPAGE), K(true, 0, 0));
    EXPECT_EQ(keyFor(KEY_CODE_YES, KEY_IC), K(true, 0, 0));
    EXPECT_EQ(keyFor(KEY_CODE_YES, KEY_DC), K(true, 0, 0));
    EXPECT_EQ(keyFor(KEY_CODE_YES, KEY_MOUSE), K(false, 0, 0));
    EXPECT_EQ(keyFor(ERR, 'a'), K(false, 0, 0));
}

TEST(TerminalGlyphs, TheGamesGlyphsShowAsTheirCodePagePicturesOrReadableAscii) {
    EXPECT_TRUE(cp437Unicode[178] == U'▓' && cp437Unicode[1] == U'☺' && cp437Unicode[0] == U' ');
    for (int byte = 0; byte < 256; byte++)
        EXPECT_TRUE(cp437Ascii[byte] >= 32 && cp437Ascii[byte] < 127) << byte;
    EXPECT_TRUE(cp437Ascii['q'] == 'q' && cp437Ascii[186] == '|');
}

TEST(TerminalColours, ConsoleColoursMapToTheClassicPaletteOrTheirAnsiTwins) {
    EXPECT_EQ(terminalColourOf(6, 256), 130); // brown, not olive
    EXPECT_EQ(terminalColourOf(15, 256), 231);
    // Console order is blue, green, red from bit 0; ANSI is red, green, blue.
    EXPECT_EQ(terminalColourOf(1, 16), COLOR_BLUE);
    EXPECT_EQ(terminalColourOf(12, 16), COLOR_RED + 8);
    EXPECT_EQ(terminalColourOf(12, 8), COLOR_RED);
}

TEST(TerminalColours, EveryAttributeGetsAPairThatExistsAtSixteenAndEightColours) {
    std::set<short> pairs;
    for (int attribute = 0; attribute < 256; attribute++) {
        Cell cell{'a', static_cast<uint8_t>(attribute)};
        CellLook look = lookOfCell(cell, ColourDepth::sixteen, 256, true);
        EXPECT_GT(look.pair, 0); // pair 0 is the terminal's default and cannot be set
        EXPECT_FALSE(look.bold);
        pairs.insert(look.pair);
        look = lookOfCell(cell, ColourDepth::eight, 8, true);
        EXPECT_TRUE(look.pair > 0 && look.pair < 64) << attribute;
    }
    EXPECT_EQ(pairs.size(), 256u); // each its own at sixteen colours
    CellLook highlighted = lookOfCell(Cell{'N', 240}, ColourDepth::sixteen, 256, true);
    EXPECT_EQ(lookSequence(highlighted, 256), "\033[0;38;5;16;48;5;231m");
}

TEST(TerminalColours, EightColourTerminalsShowBrightnessAsBoldAndKeepTextReadable) {
    CellLook bright = lookOfCell(Cell{'a', 12}, ColourDepth::eight, 8, true);
    EXPECT_TRUE(bright.bold);
    EXPECT_EQ(bright.pair, pairNumberFor(4, 0, ColourDepth::eight));
    // Black on black is asked for on purpose: a blank.
    EXPECT_EQ(lookOfCell(Cell{'a', 0}, ColourDepth::eight, 8, true).glyph, L' ');
    // White on light grey loses its brightness but must not vanish.
    CellLook greyed = lookOfCell(Cell{'a', 0x7F}, ColourDepth::eight, 8, true);
    EXPECT_EQ(greyed.glyph, L'a');
    EXPECT_NE(greyed.foreground, greyed.background);
}

TEST(TerminalColours, WithoutColourBackgroundsShowAsReverseVideo) {
    CellLook highlighted = lookOfCell(Cell{'Q', 240}, ColourDepth::mono, 0, true);
    EXPECT_TRUE(highlighted.reverse && highlighted.pair == 0);
    CellLook plain = lookOfCell(Cell{'Q', 15}, ColourDepth::mono, 0, true);
    EXPECT_TRUE(!plain.reverse && plain.bold);
    EXPECT_EQ(colourDepthFor(256, 65536), ColourDepth::sixteen);
    EXPECT_EQ(colourDepthFor(8, 64), ColourDepth::eight);
    EXPECT_EQ(colourDepthFor(16, 256), ColourDepth::eight);
    EXPECT_EQ(colourDepthFor(0, 0), ColourDepth::mono);
}
