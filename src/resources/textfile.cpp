// The tagged text file reader.
#include <cstring>

#include "console/console.h"
#include "platform/platform.h"
#include "resources/datapath.h"
#include "resources/resources.h"

FILE *openDataFile(const char *fileName) {
    FILE *file = std::fopen(dataFilePath(fileName).c_str(), "rb");
    if (file == nullptr) {
        reportFileError(fileName);
        printAt("Couldnt find file", 15, 45, 2);
    }
    return file;
}

void closeDataFile(FILE *file) {
    if (std::fclose(file) != 0) exitWithError("fclose");
}

int readTextChar(FILE *file) {
    int ch = std::getc(file);
    if (ch != '\r') return ch;
    int next = std::getc(file);
    if (next == '\n') return '\n';
    if (next != EOF) std::ungetc(next, file);
    return ch;
}

int readSectionChar(FILE *file) {
    int ch = readTextChar(file);
    return ch == 255 ? EOF : ch;
}

// Reads one piece of a line into a zero-filled buffer: up to size - 1 characters, ending
// after a line feed. False when the file is at its end.
static bool readLinePiece(FILE *file, char *piece, int size) {
    int length = 0;
    while (length < size - 1) {
        int ch = readTextChar(file);
        if (ch == EOF) break;
        piece[length++] = static_cast<char>(ch);
        if (ch == '\n') break;
    }
    return length > 0;
}

bool findTagLine(FILE *file, const char *tag) {
    char piece[tagPieceSize] = {};
    while (readLinePiece(file, piece, tagPieceSize)) {
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
    FILE *file = openDataFile(fileName);
    if (file == nullptr) return nullptr;
    TextBuffer text(new char[textSectionCapacity]());
    bool complete = false;
    if (findTagLine(file, tag)) {
        int length = 0;
        for (;;) {
            int ch = readSectionChar(file);
            if (ch == EOF) break;
            if (ch == '_') {
                complete = true;
                break;
            }
            // Longer sections are cut rather than overrun the buffer.
            if (length < textSectionCapacity - 1) text[length++] = static_cast<char>(ch);
        }
    }
    if (!complete) {
        std::fclose(file);
        return nullptr;
    }
    closeDataFile(file);
    return text;
}
