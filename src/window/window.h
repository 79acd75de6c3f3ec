// The window backend: the game in a window of its own on SDL2, each cell drawn as an 8x16
// code page 437 glyph in the classic console palette.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "window/pcffont.h"
#include "window/screenpixels.h"

extern const Platform windowPlatform;

// The font file the window reads when BRINEWORT_FONT does not name one, and its package.
constexpr const char *windowFontFile = "ter-u16n_ibm437.pcf.gz";
constexpr const char *windowFontPackage = "xfonts-terminus-dos";

// True when a window could be opened here: a display to open it on.
bool windowDisplayAvailable();

// --- For tests ---
// The font the window draws with (valid after init).
const CodePageFont &windowFont();
// The window's pixels as the player sees them, 0xRRGGBB (on X, read from the X server; else
// what the renderer drew), and where the window draws the 80x25 screen in them: its top-left
// pixel and the whole number of pixels per font pixel.
struct WindowCapture {
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    int originX = 0;
    int originY = 0;
    int scale = 0;
};
bool windowCapture(WindowCapture *capture);
