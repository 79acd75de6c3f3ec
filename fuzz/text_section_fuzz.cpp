// Fuzz target: arbitrary bytes as each tagged text file, read for a tag of each.
#include <cstring>

#include "fuzz_support.h"
#include "resources/resources.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The game's text files and the kind of tag each is asked for.
    static const char *const files[][2] = {
        {"Story.txt", "Chunk1"},
        {"BartenderScripts.txt", "Tag0"},
        {"SkeletonScripts.txt", "TextTag10"},
        {"NPCscripts.rtf", "Tag11"},
    };
    for (const auto &[name, tag] : files) {
        fuzzWriteFile(name, data, size);
        TextBuffer text = readTextSection(name, tag);
        // The text is shown with the string functions: it must end inside its buffer.
        if (text)
            fuzzCheck(std::memchr(text.get(), '\0', textSectionCapacity) != nullptr,
                      "a section without its terminator");
    }
    return 0;
}
