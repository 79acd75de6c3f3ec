// Reads the window's font file, gzip-compressed or not, through zlib.
#include "window/pcffont.h"

#include <cstring>
#include <vector>
#include <zlib.h>

bool loadPcfFont(const char *path, CodePageFont *font, const char **reason) {
    std::memset(font, 0, sizeof *font);
    // gzread reads an uncompressed file as it is, so both kinds come through here.
    gzFile file = gzopen(path, "rb");
    if (file == nullptr) {
        *reason = "cannot open the font file";
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[16384];
    int n;
    while ((n = gzread(file, chunk, sizeof chunk)) > 0 && bytes.size() <= maxFontFileBytes)
        bytes.insert(bytes.end(), chunk, chunk + n);
    bool broken = n < 0;
    gzclose(file);
    if (broken) {
        *reason = "the font file is damaged";
        return false;
    }
    if (bytes.size() > maxFontFileBytes) {
        *reason = "the font file is too large for an 8x16 font";
        return false;
    }
    return parsePcfFont(bytes.data(), bytes.size(), font, reason);
}
