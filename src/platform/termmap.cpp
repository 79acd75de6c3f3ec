// Terminal translations: keys in, cells out.
#include "platform/termmap.h"

#include <cstring>

#include <cstdio>
#include <curses.h>
#include <cwchar>

#include "platform/cp437.h"
#include "platform/keynames.h"
#include "platform/utf8.h"

// The classic console palette's nearest entries in the xterm 256-colour table.
static const short xtermOfConsole[16] = {16,  19, 34, 37, 124, 127, 130, 248,
                                         240, 63, 83, 87, 203, 207, 227, 231};
// Console colours order red, green, blue as bits 2, 1, 0; ANSI the other way round.
static const short ansiOfConsole[8] = {0, 4, 2, 6, 1, 5, 3, 7};

ColourDepth colourDepthFor(int colours, int colourPairs) {
    if (colours >= 16 && colourPairs >= 257) return ColourDepth::sixteen;
    if (colours >= 8 && colourPairs >= 64) return ColourDepth::eight;
    return ColourDepth::mono;
}

short terminalColourOf(int colour, int terminalColours) {
    colour &= 15;
    if (terminalColours >= 256) return xtermOfConsole[colour];
    short base = ansiOfConsole[colour & 7];
    if (terminalColours >= 16 && (colour & 8) != 0) return static_cast<short>(base + 8);
    return base;
}

short pairNumberFor(int foreground, int background, ColourDepth depth) {
    switch (depth) {
    case ColourDepth::sixteen:
        return static_cast<short>(((background & 15) << 4 | (foreground & 15)) + 1);
    case ColourDepth::eight:
        return static_cast<short>((background & 7) * 8 + (foreground & 7));
    case ColourDepth::mono:
        break;
    }
    return 0;
}

CellLook lookOfCell(Cell cell, ColourDepth depth, int terminalColours, bool unicode) {
    CellLook look{};
    look.foreground = -1;
    look.background = -1;
    int foreground = cell.colour & 15;
    int background = cell.colour >> 4;
    // Text in its own background colour is invisible on the console too (black on black
    // parks the cursor); a blank says so without depending on how the terminal shows it.
    bool invisible = foreground == background;
    uint8_t glyph = invisible ? ' ' : cell.glyph;
    look.glyph = static_cast<wchar_t>(unicode ? cp437Unicode[glyph]
                                              : static_cast<unsigned char>(cp437Ascii[glyph]));
    switch (depth) {
    case ColourDepth::sixteen:
        look.pair = pairNumberFor(foreground, background, depth);
        look.foreground = terminalColourOf(foreground, terminalColours);
        look.background = terminalColourOf(background, terminalColours);
        break;
    case ColourDepth::eight: {
        int fg = foreground & 7;
        int bg = background & 7;
        look.bold = !invisible && (foreground & 8) != 0;
        // Pair 0 is the terminal's own default and cannot be set: with fg equal to bg the
        // glyph is a blank anyway, so any other foreground will do; colours that differ
        // only in brightness get a contrasting foreground so the text stays readable.
        if (fg == bg) fg = bg == 7 ? 0 : 7;
        look.pair = pairNumberFor(fg, bg, depth);
        look.foreground = terminalColourOf(fg, 8);
        look.background = terminalColourOf(bg, 8);
        break;
    }
    case ColourDepth::mono:
        look.reverse = background != 0;
        look.bold = !invisible && (foreground & 8) != 0;
        break;
    }
    return look;
}

// One colour as SGR parameters: base is 30 for foregrounds, 40 for backgrounds.
static std::string colourParameter(short colour, int base, int terminalColours) {
    char parameter[32];
    if (terminalColours >= 256) {
        std::snprintf(parameter, sizeof parameter, ";%d;5;%d", base + 8, colour);
    } else {
        std::snprintf(parameter, sizeof parameter, ";%d",
                      colour >= 8 ? base + 60 + colour - 8 : base + colour);
    }
    return parameter;
}

std::string lookSequence(const CellLook &look, int terminalColours) {
    std::string sequence = "\033[0";
    if (look.bold) sequence += ";1";
    if (look.reverse) sequence += ";7";
    if (look.foreground >= 0) {
        sequence += colourParameter(look.foreground, 30, terminalColours);
        sequence += colourParameter(look.background, 40, terminalColours);
    }
    return sequence + "m";
}

bool keyEventFromTerminal(int status, uint32_t key, KeyEvent *event) {
    *event = KeyEvent{true, 0, 0};
    if (status == KEY_CODE_YES) {
        switch (key) {
        case KEY_UP:
            event->virtualKey = keyUp;
            return true;
        case KEY_DOWN:
            event->virtualKey = keyDown;
            return true;
        case KEY_LEFT:
            event->virtualKey = keyLeft;
            return true;
        case KEY_RIGHT:
            event->virtualKey = keyRight;
            return true;
        case KEY_ENTER:
            *event = KeyEvent{true, keyEnter, '\r'};
            return true;
        case KEY_BACKSPACE:
            *event = KeyEvent{true, 8, 8};
            return true;
        default:
            if (key >= static_cast<uint32_t>(KEY_F(1)) && key <= static_cast<uint32_t>(KEY_F(12))) {
                event->virtualKey = static_cast<uint16_t>(112 + (key - KEY_F(1)));
                return true;
            }
            // Home, Page Up, Insert, Delete and the like: no code, but still a key press, so
            // the screens that drop typed-ahead keys after every event do so here too.
            return key != static_cast<uint32_t>(KEY_MOUSE);
        }
    }
    if (status != OK) return false;
    *event = keyEventFromTypedCharacter(key, true);
    return true;
}

DecodedBytes decodeTypedBytes(const unsigned char *bytes, size_t count) {
    std::mbstate_t state{};
    wchar_t character = 0;
    size_t length = std::mbrtowc(&character, reinterpret_cast<const char *>(bytes), count, &state);
    if (length == static_cast<size_t>(-2)) return DecodedBytes{TypedBytes::incomplete, 0, count};
    if (length == static_cast<size_t>(-1)) return DecodedBytes{TypedBytes::notACharacter, 0, 1};
    // mbrtowc says 0 for the NUL byte, which is one byte long too.
    return DecodedBytes{TypedBytes::character, static_cast<uint32_t>(character),
                        length == 0 ? 1 : length};
}

std::vector<ColourPair> colourPairsFor(ColourDepth depth, int terminalColours) {
    std::vector<ColourPair> pairs;
    if (depth == ColourDepth::mono) return pairs;
    int colourCount = depth == ColourDepth::sixteen ? 16 : 8;
    for (int background = 0; background < colourCount; background++) {
        for (int foreground = 0; foreground < colourCount; foreground++) {
            if (depth == ColourDepth::eight && foreground == background) continue;
            pairs.push_back(ColourPair{pairNumberFor(foreground, background, depth),
                                       terminalColourOf(foreground, terminalColours),
                                       terminalColourOf(background, terminalColours)});
        }
    }
    return pairs;
}

bool titleSupportedBy(const char *term) {
    if (term == nullptr) return false;
    return std::strcmp(term, "linux") != 0 && std::strncmp(term, "dumb", 4) != 0 &&
           std::strncmp(term, "vt", 2) != 0;
}

std::string titleSequence(const char *title, bool first) {
    std::string bytes = first ? "\033[22;0t" : ""; // keep the player's title to put back
    bytes += "\033]0;";
    for (const char *p = title; *p != '\0'; p++) {
        if (static_cast<unsigned char>(*p) >= 32 && *p != 127) bytes += *p;
    }
    bytes += '\007';
    return bytes;
}

static bool rowIsBlank(const Cell (&row)[screenWidth]) {
    for (const Cell &cell : row) {
        if ((cell.glyph != ' ' && cell.glyph != 0) || (cell.colour >> 4) != 0) return false;
    }
    return true;
}

std::string lastScreenBytes(const ScreenCells &cells, ColourDepth depth, int terminalColours,
                            bool unicode) {
    int lastRow = screenHeight - 1;
    while (lastRow >= 0 && rowIsBlank(cells[lastRow]))
        lastRow--;
    std::string out;
    for (int y = 0; y <= lastRow; y++) {
        std::string previous;
        for (const Cell &cell : cells[y]) {
            CellLook look = lookOfCell(cell, depth, terminalColours, unicode);
            std::string sequence = lookSequence(look, terminalColours);
            if (sequence != previous) out += sequence;
            previous = sequence;
            appendUtf8(out, static_cast<char32_t>(look.glyph));
        }
        out += "\033[0m";
        if (y < screenHeight - 1) out += "\r\n";
    }
    return out;
}

std::vector<CellChange> changedCells(const ScreenCells &given, ScreenCells &shown,
                                     bool shownValid) {
    std::vector<CellChange> changes;
    for (int y = 0; y < screenHeight; y++) {
        for (int x = 0; x < screenWidth; x++) {
            Cell cell = given[y][x];
            if (shownValid && cell == shown[y][x]) continue;
            changes.push_back(CellChange{x, y, cell});
            shown[y][x] = cell;
        }
    }
    return changes;
}
