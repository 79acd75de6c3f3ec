// The tagged text file reader.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "console/console.h"
#include "platform/platform.h"
#include "resources/resources.h"

void reportDataFileProblem(const char *fileName, const char *reason) {
    char line[512];
    std::snprintf(line, sizeof line, "%s: %s", fileName, reason);
    reportErrorLine(line);
    // Under the message area, cut at the screen's edge.
    std::string shown(line, std::min(std::strlen(line), size_t{screenWidth - 45}));
    printAt(shown.c_str(), 15, 45, 3);
}

bool loadDataFile(const char *fileName, std::string &bytes) {
    FileBytes file = readFileBytes(fileName);
    if (file.closeFailed) {
        errno = file.error;
        exitWithError("fclose");
    }
    if (!file.ok) {
        printAt("Couldnt find file", 15, 45, 2);
        reportDataFileProblem(fileName, file.reason);
        return false;
    }
    bytes = std::move(file.bytes);
    return true;
}

// Reads one piece of a line into a zero-filled buffer: up to size - 1 characters, ending
// after a line feed. False when the file is at its end.
static bool readLinePiece(DataReader &in, char *piece, int size) {
    int length = 0;
    while (length < size - 1) {
        int ch = readTextChar(in);
        if (ch == EOF) break;
        piece[length++] = static_cast<char>(ch);
        if (ch == '\n') break;
    }
    return length > 0;
}

bool findTagLine(DataReader &in, const char *tag) {
    char piece[tagPieceSize] = {};
    while (readLinePiece(in, piece, tagPieceSize)) {
        if (lineMatchesTag(piece, tag)) return true;
        std::memset(piece, 0, sizeof piece);
    }
    return false;
}

bool lineMatchesTag(const char *line, const char *tag) {
    int i = 0;
    for (;; i++) {
        unsigned char ch = static_cast<unsigned char>(line[i]);
        if (ch == '\0' || ch == ' ' || ch == '\n' || ch == 255 || line[i] != tag[i]) break;
    }
    // The tag must be used up, and the line end where the walk stopped or just behind it.
    return tag[i] == '\0' && (line[i] == '\0' || line[i + 1] == '\0');
}

TextBuffer readTextSection(const char *fileName, const char *tag) {
    std::string bytes;
    if (!loadDataFile(fileName, bytes)) return nullptr;
    DataReader in = readerOf(bytes);
    if (!findTagLine(in, tag)) {
        char reason[64];
        std::snprintf(reason, sizeof reason, "no section %s", tag);
        reportDataFileProblem(fileName, reason);
        return nullptr;
    }
    TextBuffer text(new char[textSectionCapacity]());
    int length = 0;
    for (;;) {
        int ch = readSectionChar(in);
        if (ch == '_') return text;
        if (ch == EOF) break;
        // Longer sections are cut rather than overrun the buffer.
        if (length < textSectionCapacity - 1) text[length++] = static_cast<char>(ch);
    }
    char reason[64];
    std::snprintf(reason, sizeof reason, "section %s has no closing _", tag);
    reportDataFileProblem(fileName, reason);
    return nullptr;
}
