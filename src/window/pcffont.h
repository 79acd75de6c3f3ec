// The window's glyphs: an 8x16 bitmap font of all 256 code page 437 characters, read from
// an X11 PCF font file (plain or gzip-compressed) such as Terminus' ter-u16n_ibm437.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int glyphWidth = 8;
constexpr int glyphHeight = 16;
// The largest font file read: a 256-glyph bitmap font is a few dozen KB.

// One row byte per glyph row, leftmost pixel in the high bit; indexed by the code page byte.
struct CodePageFont {
    uint8_t rows[256][glyphHeight];
};

// Reads a PCF font from memory into an 8x16 cell per character code 0..255. Glyphs the
// font lacks stay blank; glyphs wider than 8 pixels are cut at 8 and a cell taller than 16
// rows is cut at the bottom. False (with a short reason) when the bytes are no usable PCF
// font: broken tables, no bitmaps, or not one character of the first 256 codes.
bool parsePcfFont(const uint8_t *data, size_t size, CodePageFont *font, const char **reason);

// Reads the font file at path (gzip-compressed or not) as parsePcfFont does. False with a
// reason when it cannot be opened, is too large to be a font, or does not parse.
bool loadPcfFont(const char *path, CodePageFont *font, const char **reason);
