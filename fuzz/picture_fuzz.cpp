// Fuzz target: arbitrary bytes as each picture file, loaded over the previous picture.
#include <cstring>

#include "battle/battle.h"
#include "fuzz_support.h"
#include "resources/resources.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const char *const files[][2] = {{"dragon2.txt", "dragon"}, {"Wizard.txt", "wizard"}};
    for (int boss = 0; boss < 2; boss++) {
        auto [name, tag] = files[boss];
        fuzzWriteFile(name, data, size);
        // Into the game's own pictures, as each encounter reloads them over the last load.
        Picture &picture = bossPictures.pictures[boss];
        loadPicture(name, tag, picture);
        for (const auto &row : picture.rows)
            fuzzCheck(std::memchr(row, '\0', pictureColumns) != nullptr,
                      "a picture row without its terminator");
    }
    return 0;
}
