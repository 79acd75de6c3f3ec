// Fuzz target: arbitrary bytes as each tagged text file, read for a tag of each.
#include <cstring>

#include "fuzz_support.h"
#include "resources/resources.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The kinds of tag the game's text files are asked for; the reader does not care which
    // file it reads, so the bytes are written once and searched for each.
    static const char *const tags[] = {"Chunk1", "Tag0", "TextTag10", "Tag11"};
    fuzzWriteFile("Story.txt", data, size);
    for (const char *tag : tags) {
        TextBuffer text = readTextSection("Story.txt", tag);
        // The text is shown with the string functions: it must end inside its buffer.
        if (text)
            fuzzCheck(std::memchr(text.get(), '\0', textSectionCapacity) != nullptr,
                      "a section without its terminator");
    }
    return 0;
}
