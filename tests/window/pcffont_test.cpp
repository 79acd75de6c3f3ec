// The window's font reader: PCF files in every byte, bit and padding order read to the same
// glyphs; damaged files are refused without reading outside them.
#include <algorithm>
#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>
#include <zlib.h>

#include "window/pcffont.h"

namespace {

// Writes a small PCF font: glyphs of the given width (up to 16) and 16 rows, ascent 12,
// for codes firstCode.. in the given format (byte order, bit order, row padding, scan unit).
struct PcfWriter {
    uint32_t format;
    std::vector<uint8_t> out;

    void word(uint32_t value, int bytes, bool bigEndian) {
        for (int i = 0; i < bytes; i++) {
            int shift = 8 * (bigEndian ? bytes - 1 - i : i);
            out.push_back(static_cast<uint8_t>(value >> shift));
        }
    }
    bool big() const { return (format & 4) != 0; }
};

uint8_t reversed(uint8_t b) {
    uint8_t r = 0;
    for (int i = 0; i < 8; i++)
        if ((b & (1 << i)) != 0) r = static_cast<uint8_t>(r | (0x80 >> i));
    return r;
}

// rows[glyph][row] is the glyph's leftmost 8 pixels, high bit first.
std::vector<uint8_t> makePcf(uint32_t format, int firstCode,
                             const std::vector<std::vector<uint8_t>> &rows, int width = 8,
                             int32_t fontAscent = 12) {
    size_t pad = size_t{1} << (format & 3);
    size_t unit = size_t{1} << (format >> 4 & 3);
    size_t stride = (static_cast<size_t>(width) + pad * 8 - 1) / (pad * 8) * pad;
    bool bitsMsb = (format & 8) != 0, bytesMsb = (format & 4) != 0;
    uint32_t count = static_cast<uint32_t>(rows.size());

    PcfWriter metrics{format | 0x100, {}}, bitmaps{format, {}}, encodings{format, {}},
        accelerators{format, {}};
    accelerators.word(format, 4, false);
    accelerators.out.resize(accelerators.out.size() + 8); // flags
    for (int32_t v : {fontAscent, 4, 0})
        accelerators.word(static_cast<uint32_t>(v), 4, accelerators.big());
    metrics.word(metrics.format, 4, false);
    metrics.word(count, 2, metrics.big());
    for (uint32_t i = 0; i < count; i++) {
        for (int v : {0, width, width, 12, 4})
            metrics.out.push_back(static_cast<uint8_t>(v + 0x80));
    }
    bitmaps.word(format, 4, false);
    bitmaps.word(count, 4, bitmaps.big());
    for (uint32_t i = 0; i < count; i++)
        bitmaps.word(static_cast<uint32_t>(i * stride * 16), 4, bitmaps.big());
    uint32_t total = static_cast<uint32_t>(count * stride * 16);
    for (int p = 0; p < 4; p++)
        bitmaps.word(p == static_cast<int>(format & 3) ? total : 0, 4, bitmaps.big());
    for (const auto &glyph : rows) {
        for (int y = 0; y < 16; y++) {
            std::vector<uint8_t> row(stride, 0);
            row[0] = glyph[static_cast<size_t>(y)];
            if (!bitsMsb)
                for (uint8_t &b : row)
                    b = reversed(b);
            if (bitsMsb != bytesMsb)
                for (size_t u = 0; u < stride; u += unit)
                    std::reverse(row.begin() + static_cast<long>(u),
                                 row.begin() + static_cast<long>(u + unit));
            bitmaps.out.insert(bitmaps.out.end(), row.begin(), row.end());
        }
    }
    encodings.word(format, 4, false);
    int lastCode = firstCode + static_cast<int>(count) - 1;
    for (int v : {firstCode, lastCode, 0, 0, 0})
        encodings.word(static_cast<uint32_t>(v), 2, encodings.big());
    for (uint32_t i = 0; i < count; i++)
        encodings.word(i, 2, encodings.big());

    PcfWriter file{0, {}};
    file.out = {1, 'f', 'c', 'p'};
    file.word(4, 4, false);
    uint32_t offset = 8 + 4 * 16;
    std::pair<uint32_t, PcfWriter *> tables[] = {
        {4, &metrics}, {8, &bitmaps}, {32, &encodings}, {2, &accelerators}};
    for (auto [type, table] : tables) {
        file.word(type, 4, false);
        file.word(table->format, 4, false);
        file.word(static_cast<uint32_t>(table->out.size()), 4, false);
        file.word(offset, 4, false);
        offset += static_cast<uint32_t>(table->out.size());
    }
    for (auto [type, table] : tables)
        file.out.insert(file.out.end(), table->out.begin(), table->out.end());
    return file.out;
}

std::vector<std::vector<uint8_t>> sampleGlyphs() {
    std::vector<std::vector<uint8_t>> glyphs(3, std::vector<uint8_t>(16));
    for (int y = 0; y < 16; y++) {
        glyphs[0][static_cast<size_t>(y)] = static_cast<uint8_t>(0x80 >> (y % 8)); // a slope
        glyphs[1][static_cast<size_t>(y)] = y % 2 == 0 ? 0xAA : 0x55;              // a shade
        glyphs[2][static_cast<size_t>(y)] = static_cast<uint8_t>(y < 8 ? 0xF0 : 0x0F);
    }
    return glyphs;
}

} // namespace

TEST(PcfFontTest, EveryStorageOrderReadsToTheSameGlyphsAtTheirCodes) {
    // Byte order, bit order, row padding of 1, 2 and 4 bytes, scan units of 1, 2 and 4.
    const uint32_t formats[] = {0x0C, 0x0D, 0x0E, 0x08, 0x04, 0x00, 0x02, 0x1E, 0x2E, 0x26, 0x1A};
    auto glyphs = sampleGlyphs();
    for (uint32_t format : formats) {
        SCOPED_TRACE(format);
        for (int width : {6, 8, 12}) {
            std::vector<uint8_t> file = makePcf(format, 176, glyphs, width);
            CodePageFont font;
            const char *reason = nullptr;
            ASSERT_TRUE(parsePcfFont(file.data(), file.size(), &font, &reason)) << reason;
            uint8_t mask = static_cast<uint8_t>(width >= 8 ? 0xFF : 0xFF << (8 - width));
            for (size_t g = 0; g < glyphs.size(); g++)
                for (int y = 0; y < glyphHeight; y++)
                    ASSERT_EQ(font.rows[176 + g][y], glyphs[g][static_cast<size_t>(y)] & mask);
            EXPECT_EQ(font.rows[175][3], 0); // codes the font lacks stay blank
            EXPECT_EQ(font.rows[179][3], 0);
        }
    }
}

TEST(PcfFontTest, DamagedFilesAreRefusedWithoutReadingOutsideThem) {
    std::vector<uint8_t> good = makePcf(0x0E, 0, sampleGlyphs());
    auto patched = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> file = good;
        std::memcpy(&file[at], &value, 4); // the directory is little-endian
        return file;
    };
    CodePageFont font;
    const char *reason = nullptr;
    // Every truncation: refused (or, for the padding at the end, read); never out of bounds.
    for (size_t length = 0; length < good.size(); length++) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(length));
        if (!parsePcfFont(cut.data(), cut.size(), &font, &reason)) {
            EXPECT_NE(reason, nullptr);
        }
    }
    struct Case {
        const char *what;
        std::vector<uint8_t> file;
    } cases[] = {
        {"no magic", patched(0, 0x70636602)},
        {"a huge table count", patched(4, 0xFFFFFFF0)},
        {"a table past the end", patched(8 + 12, 0x7FFFFFF0)},
        {"a table format unlike the directory's", patched(8 + 4, 0x0C)},
        {"no bitmaps table", patched(8 + 16, 0x40)},
        {"a font ascent far outside any cell", makePcf(0x0E, 0, sampleGlyphs(), 8, INT32_MIN)},
        {"a scan unit wider than the row padding", makePcf(0x20, 0, sampleGlyphs())},
        {"metrics that claim more entries than the file holds",
         [&] {
             // Plain (not compressed) metrics: their count is a word of 32 bits.
             std::vector<uint8_t> file = patched(8 + 4, 0x0E);
             uint32_t plain = 0x0E, huge = 0xFFFFFFFF;
             std::memcpy(&file[8 + 4 * 16], &plain, 4);
             std::memcpy(&file[8 + 4 * 16 + 4], &huge, 4);
             return file;
         }()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(parsePcfFont(c.file.data(), c.file.size(), &font, &reason));
        EXPECT_NE(reason, nullptr);
    }
    // A table left out is named as missing, not as damaged.
    std::vector<uint8_t> noBitmaps = patched(8 + 16, 0x40);
    EXPECT_FALSE(parsePcfFont(noBitmaps.data(), noBitmaps.size(), &font, &reason));
    EXPECT_STREQ(reason, "the PCF font lacks its metrics, bitmaps or encodings");
    EXPECT_FALSE(loadPcfFont("/nonexistent/font.pcf.gz", &font, &reason));
}

// The file is read as every file is: compressed or not the same glyphs; a FIFO, a device or a
// file that inflates beyond any font's size is refused at once with what it is.
TEST(PcfFontTest, TheFileIsReadBoundedAndNeverWaitedOn) {
    char directory[] = "/tmp/brinewort-font-test-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    std::string base = directory;
    std::vector<uint8_t> plain = makePcf(0x0E, 0, sampleGlyphs());
    auto writeGzip = [](const std::string &path, const std::vector<uint8_t> &bytes) {
        gzFile file = gzopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        for (size_t done = 0; done < bytes.size(); done += 65536) {
            unsigned length = static_cast<unsigned>(std::min<size_t>(65536, bytes.size() - done));
            ASSERT_EQ(gzwrite(file, bytes.data() + done, length), static_cast<int>(length));
        }
        gzclose(file);
    };
    writeGzip(base + "/font.pcf.gz", plain);
    CodePageFont fromFile, fromMemory;
    const char *reason = nullptr;
    ASSERT_TRUE(loadPcfFont((base + "/font.pcf.gz").c_str(), &fromFile, &reason)) << reason;
    ASSERT_TRUE(parsePcfFont(plain.data(), plain.size(), &fromMemory, &reason));
    EXPECT_EQ(std::memcmp(&fromFile, &fromMemory, sizeof fromFile), 0);

    writeGzip(base + "/bomb.pcf.gz", std::vector<uint8_t>(size_t{5} << 20, 0));
    ASSERT_EQ(mkfifo((base + "/fifo.pcf").c_str(), 0600), 0);
    const std::pair<std::string, const char *> refused[] = {
        {base + "/bomb.pcf.gz", "the font file is too large for an 8x16 font"},
        {base + "/fifo.pcf", "cannot read the font file: a FIFO"},
        {"/dev/zero", "cannot read the font file: a device"},
    };
    for (const auto &[path, why] : refused) {
        EXPECT_FALSE(loadPcfFont(path.c_str(), &fromFile, &reason)) << path;
        EXPECT_STREQ(reason, why);
    }
    for (const char *name : {"/font.pcf.gz", "/bomb.pcf.gz", "/fifo.pcf"})
        unlink((base + name).c_str());
    rmdir(directory);
}
