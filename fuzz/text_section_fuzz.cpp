// Fuzz target: arbitrary bytes as each tagged text file, read for a tag of each.
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "resources/resources.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzSetUp();
    return 0;
}

// The tag search as text mode reads a file: piece by piece of up to 29 characters, each
// ending after a line feed. Returns where the search stops: behind the tag line, or the end.
static const char *searchAsText(DataReader in, const char *tag) {
    for (;;) {
        char piece[tagPieceSize] = {};
        int length = 0;
        while (length < tagPieceSize - 1) {
            int ch = readTextChar(in);
            if (ch == EOF) break;
            piece[length++] = static_cast<char>(ch);
            if (ch == '\n') break;
        }
        if (length == 0 || lineMatchesTag(piece, tag)) return in.at;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The kinds of tag the game's text files are asked for; the reader does not care which
    // file it reads, so the bytes are written once and searched for each.
    static const char *const tags[] = {"Chunk1", "Tag0", "TextTag10", "Tag11"};
    fuzzWriteFile("Story.txt", data, size);
    std::string bytes(reinterpret_cast<const char *>(data), size);
    for (const char *tag : tags) {
        // The fast search finds what the plain one does (on short inputs: the plain one is
        // slow, and the pieces and line ends that matter fit in a few lines).
        if (size <= 512) {
            DataReader in = readerOf(bytes);
            bool found = findTagLine(in, tag);
            fuzzCheck(in.at == searchAsText(readerOf(bytes), tag) && (found || in.at == in.end),
                      "the tag search stopped somewhere else than reading as text would");
        }
        TextBuffer text = readTextSection("Story.txt", tag).text;
        // The text is shown with the string functions: it must end inside its buffer.
        if (text)
            fuzzCheck(std::memchr(text.get(), '\0', textSectionCapacity) != nullptr,
                      "a section without its terminator");
    }
    return 0;
}
