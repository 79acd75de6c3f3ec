// Fuzz target: arbitrary bytes as the save file, loaded by Continue.
#include <cstring>

#include "fuzz_support.h"
#include "game/game.h"
#include "save/save.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzWriteFile(saveFileName, data, size);
    if (loadGame()) {
        fuzzCheck(player.name != nullptr &&
                      std::memchr(player.name, '\0', lineBufferSize) != nullptr,
                  "a player name without its terminator");
    }
    return 0;
}
