// Reads the window's font file, gzip-compressed or not: read whole as every file is, then
// inflated in memory through zlib.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include <zlib.h>

#include "platform/files.h"
#include "window/pcffont.h"

// A gzip-compressed font inflated, at most maxFontFileBytes; false when it is damaged or
// larger than a font can be.
static bool inflateFont(const std::string &packed, std::vector<uint8_t> *bytes,
                        const char **reason) {
    z_stream stream{};
    // 16 + MAX_WBITS: a gzip header and trailer around the deflated data.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        *reason = "the font file cannot be decompressed";
        return false;
    }
    // The room grows as the font needs it: a font of a few dozen KB never touches megabytes.
    bytes->resize(std::min(size_t{64} << 10, maxFontFileBytes + 1));
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    int status;
    for (;;) {
        stream.next_out = bytes->data() + stream.total_out;
        stream.avail_out = static_cast<uInt>(bytes->size() - stream.total_out);
        status = inflate(&stream, Z_FINISH);
        if (status == Z_STREAM_END || stream.avail_out != 0 || bytes->size() > maxFontFileBytes)
            break;
        bytes->resize(std::min(bytes->size() * 2, maxFontFileBytes + 1));
    }
    bool full = stream.avail_out == 0;
    bytes->resize(stream.total_out);
    inflateEnd(&stream);
    if (status == Z_STREAM_END) return true;
    *reason = full ? "the font file is too large for an 8x16 font" : "the font file is damaged";
    return false;
}

bool loadPcfFont(const char *path, CodePageFont *font, const char **reason) {
    // Read as every file is: a FIFO, a device or a file without end is refused, not waited on.
    FileBytes file = readFileBytes(path, maxFontFileBytes);
    if (!file.ok) {
        static char fileReason[sizeof file.reason + 32];
        std::snprintf(fileReason, sizeof fileReason, "cannot read the font file: %s", file.reason);
        *reason = fileReason;
        return false;
    }
    bool gzipped = file.bytes.size() >= 2 && static_cast<uint8_t>(file.bytes[0]) == 0x1f &&
                   static_cast<uint8_t>(file.bytes[1]) == 0x8b;
    std::vector<uint8_t> bytes;
    if (gzipped) {
        if (!inflateFont(file.bytes, &bytes, reason)) return false;
    } else {
        bytes.assign(file.bytes.begin(), file.bytes.end());
    }
    return parsePcfFont(bytes.data(), bytes.size(), font, reason);
}
