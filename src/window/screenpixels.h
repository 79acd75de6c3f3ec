// The 80x25 screen as pixels: each cell an 8x16 glyph of the font in the classic console
// palette. The window and the page paint with it, so the same cells give the same pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "window/pcffont.h"

constexpr int screenPixelsWide = screenWidth * glyphWidth;
constexpr int screenPixelsHigh = screenHeight * glyphHeight;

// The classic console palette as 0xRRGGBB, in the game's colour order.
extern const uint32_t consolePalette[16];

// Paints a cell: its glyph's ink in the foreground colour, the rest in the background colour,
// with out at the cell's top-left pixel of a picture rowPixels wide. palette holds the 16
// colours in the picture's own pixel format.
void paintCell(const CodePageFont &font, Cell cell, const uint32_t palette[16], uint32_t *out,
               size_t rowPixels);
