// Fuzz target: arbitrary bytes as the window's font file, read from memory and, when they
// look gzip-compressed, from a file through the decompressor as the window reads its font.
#include <cstring>

#include "fuzz_support.h"
#include "window/pcffont.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static CodePageFont font;
    const char *reason = nullptr;
    bool read = parsePcfFont(data, size, &font, &reason);
    fuzzCheck(read == (reason == nullptr), "a result without its reason, or a reason on success");
    if (size >= 2 && data[0] == 0x1F && data[1] == 0x8B) {
        fuzzWriteFile("font.pcf.gz", data, size);
        read = loadPcfFont("font.pcf.gz", &font, &reason);
        fuzzCheck(read == (reason == nullptr), "a load without its reason, or a reason on success");
    }
    return 0;
}
