// Reads the bitmap font of the window backend: the few tables of an X11 PCF file that an
// 8x16 character-cell font needs (metrics, bitmaps, encodings, accelerators). Every offset
// and count comes from the file, so each is checked against the bytes there really are.
#include "window/pcffont.h"

#include <cstring>
#include <vector>

namespace {

constexpr uint32_t tableAccelerators = 1u << 1;
constexpr uint32_t tableMetrics = 1u << 2;
constexpr uint32_t tableBitmaps = 1u << 3;
constexpr uint32_t tableEncodings = 1u << 5;
constexpr uint32_t tableBdfAccelerators = 1u << 8;

constexpr uint32_t formatCompressedMetrics = 0x100;
constexpr uint32_t formatMostSignificantByteFirst = 1u << 2;
constexpr uint32_t formatMostSignificantBitFirst = 1u << 3;

constexpr uint32_t maxTables = 64;
constexpr int maxGlyphExtent = 256; // the most pixels a glyph may reach in any direction

struct Metrics {
    int width;
    int ascent;
    int descent;
};

// A cursor over one table; reads past its end set failed and give 0.
struct Reader {
    const uint8_t *data;
    size_t size;
    size_t at;
    bool bigEndian;
    bool failed;

    bool has(size_t n) const { return !failed && at <= size && n <= size - at; }

    uint32_t read(size_t n) {
        if (!has(n)) {
            failed = true;
            return 0;
        }
        uint32_t value = 0;
        for (size_t i = 0; i < n; i++) {
            uint32_t byte = data[at + (bigEndian ? i : n - 1 - i)];
            value = value << 8 | byte;
        }
        at += n;
        return value;
    }
    uint32_t u32() { return read(4); }
    int s16() { return static_cast<int16_t>(static_cast<uint16_t>(read(2))); }
    uint16_t u16() { return static_cast<uint16_t>(read(2)); }
    int u8() { return static_cast<int>(read(1)); }
};

struct Table {
    uint32_t format;
    uint32_t size;
    uint32_t offset;
};

// A reader positioned after the table's own format word, which must repeat the directory's.
bool openTable(const uint8_t *data, size_t size, const Table &table, Reader *reader) {
    if (table.offset > size) return false;
    // Fonts in the wild give the last table a size padded past the end of the file.
    size_t available = size - table.offset;
    size_t tableSize = table.size < available ? table.size : available;
    *reader = Reader{data + table.offset, tableSize, 0, false, false};
    uint32_t format = reader->u32();
    if (format != table.format) return false;
    reader->bigEndian = (format & formatMostSignificantByteFirst) != 0;
    return true;
}

bool readMetrics(Reader &reader, uint32_t format, std::vector<Metrics> *metrics) {
    bool compressed = (format & formatCompressedMetrics) != 0;
    size_t count = compressed ? reader.u16() : reader.u32();
    size_t each = compressed ? 5 : 12;
    if (reader.failed || count > (reader.size - reader.at) / each) return false;
    metrics->resize(count);
    for (Metrics &m : *metrics) {
        if (compressed) {
            reader.u8(); // left and right bearings: a cell font fills its cell
            reader.u8();
            m.width = reader.u8() - 0x80;
            m.ascent = reader.u8() - 0x80;
            m.descent = reader.u8() - 0x80;
        } else {
            reader.s16();
            reader.s16();
            m.width = reader.s16();
            m.ascent = reader.s16();
            m.descent = reader.s16();
            reader.u16(); // attributes
        }
    }
    return !reader.failed;
}

// The font's ascent (rows above the baseline), from an accelerator table.
bool readAscent(Reader &reader, int *ascent) {
    reader.at += 8; // eight one-byte flags
    *ascent = static_cast<int32_t>(reader.u32());
    return !reader.failed;
}

uint8_t reverseBits(uint8_t byte) {
    byte = static_cast<uint8_t>((byte & 0xF0) >> 4 | (byte & 0x0F) << 4);
    byte = static_cast<uint8_t>((byte & 0xCC) >> 2 | (byte & 0x33) << 2);
    return static_cast<uint8_t>((byte & 0xAA) >> 1 | (byte & 0x55) << 1);
}

// The first byte of a glyph row, leftmost pixel in the high bit, whatever order the file
// stores its scan units and bits in.
uint8_t leadingRowByte(const uint8_t *row, uint32_t format) {
    bool bitsMsbFirst = (format & formatMostSignificantBitFirst) != 0;
    bool bytesMsbFirst = (format & formatMostSignificantByteFirst) != 0;
    size_t unit = size_t{1} << (format >> 4 & 3);
    // When bytes and bits disagree in order, the leftmost byte is the last of its unit.
    uint8_t byte = bitsMsbFirst == bytesMsbFirst ? row[0] : row[unit - 1];
    return bitsMsbFirst ? byte : reverseBits(byte);
}

} // namespace

bool parsePcfFont(const uint8_t *data, size_t size, CodePageFont *font, const char **reason) {
    std::memset(font, 0, sizeof *font);
    *reason = "not a PCF font";
    Reader header{data, size, 0, false, false};
    if (size < 8 || std::memcmp(data, "\1fcp", 4) != 0) return false;
    header.at = 4;
    uint32_t tableCount = header.u32();
    if (tableCount > maxTables) return false;
    Table metricsTable{}, bitmapsTable{}, encodingsTable{}, acceleratorsTable{};
    bool haveMetrics = false, haveBitmaps = false, haveEncodings = false, haveAccel = false;
    for (uint32_t i = 0; i < tableCount; i++) {
        uint32_t type = header.u32();
        Table table{header.u32(), header.u32(), header.u32()};
        if (header.failed) return false;
        if (type == tableMetrics) {
            metricsTable = table;
            haveMetrics = true;
        } else if (type == tableBitmaps) {
            bitmapsTable = table;
            haveBitmaps = true;
        } else if (type == tableEncodings) {
            encodingsTable = table;
            haveEncodings = true;
        } else if (type == tableBdfAccelerators || (type == tableAccelerators && !haveAccel)) {
            // The BDF accelerators are the more exact of the two when both are there.
            acceleratorsTable = table;
            haveAccel = true;
        }
    }
    *reason = "the PCF font lacks its metrics, bitmaps or encodings";
    if (!haveMetrics || !haveBitmaps || !haveEncodings) return false;
    *reason = "the PCF font's tables are damaged";

    Reader reader{};
    std::vector<Metrics> metrics;
    if (!openTable(data, size, metricsTable, &reader) ||
        !readMetrics(reader, metricsTable.format, &metrics))
        return false;

    int fontAscent = 0;
    if (haveAccel) {
        if (!openTable(data, size, acceleratorsTable, &reader) || !readAscent(reader, &fontAscent))
            return false;
        // Cells a few hundred pixels high at most: anything else is no font of ours.
        if (fontAscent < -maxGlyphExtent || fontAscent > maxGlyphExtent) return false;
    } else {
        for (const Metrics &m : metrics)
            fontAscent = m.ascent > fontAscent ? m.ascent : fontAscent;
    }

    Reader bitmaps{};
    if (!openTable(data, size, bitmapsTable, &bitmaps)) return false;
    size_t glyphCount = bitmaps.u32();
    if (bitmaps.failed || glyphCount != metrics.size() ||
        glyphCount > (bitmaps.size - bitmaps.at) / 4)
        return false;
    size_t offsetsAt = bitmaps.at;
    bitmaps.at += glyphCount * 4;
    uint32_t sizes[4];
    for (uint32_t &s : sizes)
        s = bitmaps.u32();
    uint32_t format = bitmapsTable.format;
    size_t pad = size_t{1} << (format & 3);
    size_t unit = size_t{1} << (format >> 4 & 3);
    if (bitmaps.failed || unit > pad) return false;
    size_t bitmapBytes = sizes[format & 3];
    if (bitmapBytes > bitmaps.size - bitmaps.at) return false;
    const uint8_t *bits = bitmaps.data + bitmaps.at;

    if (!openTable(data, size, encodingsTable, &reader)) return false;
    int firstCode = reader.s16();
    int lastCode = reader.s16();
    int firstRow = reader.s16();
    int lastRow = reader.s16();
    reader.s16(); // default character
    if (reader.failed || firstCode < 0 || lastCode < firstCode || lastCode > 255 || firstRow < 0 ||
        lastRow < firstRow || lastRow > 255)
        return false;
    size_t perRow = static_cast<size_t>(lastCode) - static_cast<size_t>(firstCode) + 1;
    // Code page bytes are the single-byte codes: the first row of a two-byte font.
    if (firstRow != 0) {
        *reason = "the PCF font has no single-byte characters";
        return false;
    }
    if (!reader.has(perRow * 2)) return false;

    int shown = 0;
    for (int code = firstCode; code <= lastCode; code++) {
        uint16_t index = reader.u16();
        if (index == 0xFFFF || index >= glyphCount) continue;
        const Metrics &m = metrics[index];
        Reader offsets{bitmaps.data, bitmaps.size, offsetsAt + size_t{index} * 4, bitmaps.bigEndian,
                       false};
        size_t offset = offsets.u32();
        if (m.width <= 0 || m.ascent + m.descent <= 0 || m.width > maxGlyphExtent ||
            m.ascent > maxGlyphExtent || m.descent > maxGlyphExtent)
            continue;
        size_t stride = (static_cast<size_t>(m.width) + pad * 8 - 1) / (pad * 8) * pad;
        size_t height = static_cast<size_t>(static_cast<int64_t>(m.ascent) + m.descent);
        if (offset > bitmapBytes || stride * height > bitmapBytes - offset) continue;
        int top = fontAscent - m.ascent; // the glyph's first row in the cell
        for (size_t y = 0; y < height; y++) {
            int cellRow = top + static_cast<int>(y);
            if (cellRow < 0 || cellRow >= glyphHeight) continue;
            uint8_t byte = leadingRowByte(bits + offset + y * stride, format);
            if (m.width < 8) byte = static_cast<uint8_t>(byte & (0xFF << (8 - m.width)));
            font->rows[code][cellRow] = byte;
        }
        shown++;
    }
    if (shown == 0) {
        *reason = "the PCF font has no glyph for the code page's characters";
        return false;
    }
    *reason = nullptr;
    return true;
}
