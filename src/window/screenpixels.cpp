// Cells to pixels, for the window and the page alike.
#include "window/screenpixels.h"

const uint32_t consolePalette[16] = {
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};

void paintCell(const CodePageFont &font, Cell cell, const uint32_t palette[16], uint32_t *picture,
               int column, int row) {
    uint32_t foreground = palette[cell.colour & 15];
    uint32_t background = palette[cell.colour >> 4];
    const uint8_t *rows = font.rows[cell.glyph];
    uint32_t *out = picture + static_cast<size_t>(row) * glyphHeight * screenPixelsWide +
                    static_cast<size_t>(column) * glyphWidth;
    for (int y = 0; y < glyphHeight; y++, out += screenPixelsWide) {
        for (int x = 0; x < glyphWidth; x++)
            out[x] = (rows[y] & (0x80 >> x)) != 0 ? foreground : background;
    }
}
