// The 80x25 screen as pixels: each cell an 8x16 glyph of the font in the classic console
// palette. The window and the page paint with it, so the same cells give the same pixels.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "window/pcffont.h"

constexpr int screenPixelsWide = screenWidth * glyphWidth;
constexpr int screenPixelsHigh = screenHeight * glyphHeight;

// The classic console palette as 0xRRGGBB, in the game's colour order.
extern const uint32_t consolePalette[16];

// Paints the cell at column, row of the screen: its glyph's ink in the foreground colour, the
// rest in the background colour, into picture (screenPixelsWide by screenPixelsHigh, row by
// row). palette holds the 16 colours in the picture's own pixel format.
void paintCell(const CodePageFont &font, Cell cell, const uint32_t palette[16], uint32_t *picture,
               int column, int row);
