// The terminal backend's translations: keys to the game's codes, cells to glyphs and colours.
#include <curses.h>
#include <set>

#include "platform/cp437.h"
#include "platform/termmap.h"
#include "support/harness.h"

static KeyEvent keyFor(int status, uint32_t key) {
    KeyEvent event{};
    EXPECT_TRUE(keyEventFromTerminal(status, key, &event)) << key;
    EXPECT_TRUE(event.keyDown);
    return event;
}

TEST(TerminalKeys, KeysGetTheConsolesVirtualKeyCodes) {
    EXPECT_EQ(keyFor(KEY_CODE_YES, KEY_LEFT).virtualKey, keyLeft);
    EXPECT_EQ(keyFor(KEY_CODE_YES, KEY_DOWN).virtualKey, keyDown);
    EXPECT_EQ(keyFor(KEY_CODE_YES, KEY_UP).character, 0);
    EXPECT_EQ(keyFor(OK, '\r').virtualKey, keyEnter);
    EXPECT_EQ(keyFor(OK, '\n').virtualKey, keyEnter);
    EXPECT_EQ(keyFor(KEY_CODE_YES, KEY_ENTER).virtualKey, keyEnter);
    EXPECT_EQ(keyFor(OK, ' ').virtualKey, keySpace);

    // Letters: the upper-case letter's code, the character as typed.
    KeyEvent lower = keyFor(OK, 'i');
    EXPECT_EQ(lower.virtualKey, 'I');
    EXPECT_EQ(lower.character, 'i');
    KeyEvent upper = keyFor(OK, 'I');
    EXPECT_EQ(upper.virtualKey, 'I');
    EXPECT_EQ(upper.character, 'I');
    EXPECT_EQ(keyFor(OK, '7').virtualKey, '7');
    EXPECT_EQ(keyFor(OK, '%').character, '%');
}

TEST(TerminalKeys, KeysTheGameCannotNameAreLeftOut) {
    KeyEvent event;
    EXPECT_FALSE(keyEventFromTerminal(OK, 0x00E9, &event)); // a non-ASCII character
    EXPECT_FALSE(keyEventFromTerminal(KEY_CODE_YES, KEY_MOUSE, &event));
    EXPECT_FALSE(keyEventFromTerminal(ERR, 'a', &event));
}

TEST(TerminalGlyphs, TheGamesGlyphsShowAsTheirCodePagePicturesOrReadableAscii) {
    const std::pair<int, char32_t> pictures[] = {
        {178, U'▓'}, {186, U'║'}, {205, U'═'}, {201, U'╔'}, {206, U'╬'}, {1, U'☺'},
        {2, U'☻'},   {11, U'♂'},  {24, U'↑'},  {25, U'↓'},  {0, U' '},   {'A', U'A'}};
    for (auto [byte, picture] : pictures)
        EXPECT_EQ(cp437Unicode[byte], picture) << byte;
    for (int byte = 0; byte < 256; byte++) {
        EXPECT_TRUE(cp437Ascii[byte] >= 32 && cp437Ascii[byte] < 127) << byte;
    }
    EXPECT_EQ(cp437Ascii['q'], 'q');
    EXPECT_EQ(cp437Ascii[186], '|');
}

TEST(TerminalColours, ConsoleColoursMapToTheClassicPaletteOrTheirAnsiTwins) {
    EXPECT_EQ(terminalColourOf(6, 256), 130); // brown, not olive
    EXPECT_EQ(terminalColourOf(15, 256), 231);
    // Console order is blue, green, red from bit 0; ANSI is red, green, blue.
    EXPECT_EQ(terminalColourOf(1, 16), COLOR_BLUE);
    EXPECT_EQ(terminalColourOf(12, 16), COLOR_RED + 8);
    EXPECT_EQ(terminalColourOf(12, 8), COLOR_RED);
}

TEST(TerminalColours, SixteenColourTerminalsGetEveryAttributeItsOwnPair) {
    std::set<short> pairs;
    for (int attribute = 0; attribute < 256; attribute++) {
        Cell cell{'A', static_cast<uint8_t>(attribute)};
        CellLook look = lookOfCell(cell, ColourDepth::sixteen, 256, true);
        EXPECT_GT(look.pair, 0); // pair 0 is the terminal's default and cannot be set
        pairs.insert(look.pair);
        EXPECT_FALSE(look.bold);
    }
    EXPECT_EQ(pairs.size(), 256u);
    CellLook highlighted = lookOfCell(Cell{'N', 240}, ColourDepth::sixteen, 256, true);
    EXPECT_EQ(highlighted.foreground, 16);
    EXPECT_EQ(highlighted.background, 231);
    EXPECT_EQ(lookSequence(highlighted, 256), "\033[0;38;5;16;48;5;231m");
}

TEST(TerminalColours, EightColourTerminalsShowBrightnessAsBoldAndKeepTextReadable) {
    CellLook bright = lookOfCell(Cell{'a', 12}, ColourDepth::eight, 8, true);
    EXPECT_TRUE(bright.bold);
    EXPECT_EQ(bright.pair, pairNumberFor(4, 0, ColourDepth::eight));

    // Black on black is asked for on purpose: a blank, on a pair that exists (not pair 0).
    CellLook hidden = lookOfCell(Cell{'a', 0}, ColourDepth::eight, 8, true);
    EXPECT_EQ(hidden.glyph, L' ');
    EXPECT_GT(hidden.pair, 0);

    // White on light grey loses its brightness but must not vanish.
    CellLook greyed = lookOfCell(Cell{'a', 0x7F}, ColourDepth::eight, 8, true);
    EXPECT_EQ(greyed.glyph, L'a');
    EXPECT_NE(greyed.foreground, greyed.background);

    for (int attribute = 0; attribute < 256; attribute++) {
        CellLook look =
            lookOfCell(Cell{'a', static_cast<uint8_t>(attribute)}, ColourDepth::eight, 8, true);
        EXPECT_GT(look.pair, 0) << attribute;
        EXPECT_LT(look.pair, 64) << attribute;
    }
}

TEST(TerminalColours, WithoutColourBackgroundsShowAsReverseVideo) {
    CellLook highlighted = lookOfCell(Cell{'Q', 240}, ColourDepth::mono, 0, true);
    EXPECT_TRUE(highlighted.reverse);
    EXPECT_EQ(highlighted.pair, 0);
    CellLook plain = lookOfCell(Cell{'Q', 15}, ColourDepth::mono, 0, true);
    EXPECT_FALSE(plain.reverse);
    EXPECT_TRUE(plain.bold);
    EXPECT_EQ(colourDepthFor(256, 65536), ColourDepth::sixteen);
    EXPECT_EQ(colourDepthFor(8, 64), ColourDepth::eight);
    EXPECT_EQ(colourDepthFor(16, 256), ColourDepth::eight);
    EXPECT_EQ(colourDepthFor(0, 0), ColourDepth::mono);
}
