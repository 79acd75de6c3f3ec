// The tagged text file reader.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "console/console.h"
#include "platform/platform.h"
#include "recording/recording.h"
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
    noteDataFileOpened(fileName); // a recording ties itself to the data it was made with
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

// Tests the pieces of one line read as text mode reads it, character by character.
static bool findTagInLineAsText(DataReader &in, const char *stop, const char *tag) {
    char piece[tagPieceSize] = {};
    while (in.at < stop && readLinePiece(in, piece, tagPieceSize)) {
        if (lineMatchesTag(piece, tag)) return true;
        std::memset(piece, 0, sizeof piece);
    }
    return false;
}

bool findTagLine(DataReader &in, const char *tag) {
    constexpr size_t pieceLength = tagPieceSize - 1;
    char piece[tagPieceSize];
    while (in.at != in.end) {
        const char *lineEnd = static_cast<const char *>(
            std::memchr(in.at, '\n', static_cast<size_t>(in.end - in.at)));
        const char *stop = lineEnd != nullptr ? lineEnd + 1 : in.end;
        // A CR LF line end, or an empty tag that any piece may match: the slow way.
        if (tag[0] == '\0' || (lineEnd != nullptr && lineEnd > in.at && lineEnd[-1] == '\r')) {
            if (findTagInLineAsText(in, stop, tag)) return true;
            continue;
        }
        // Otherwise every byte is a character, and the line's pieces are runs of 29 of them;
        // only one that begins like the tag can match.
        for (const char *start = in.at; start < stop; start += pieceLength) {
            if (*start != tag[0]) continue;
            size_t length = std::min(pieceLength, static_cast<size_t>(stop - start));
            std::memset(piece, 0, sizeof piece);
            std::memcpy(piece, start, length);
            if (lineMatchesTag(piece, tag)) {
                in.at = start + length;
                return true;
            }
        }
        in.at = stop;
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
    // The section runs to the first underscore; a byte of 255 ends the file before it.
    size_t rest = static_cast<size_t>(in.end - in.at);
    const char *underscore = static_cast<const char *>(std::memchr(in.at, '_', rest));
    const char *endMark = static_cast<const char *>(std::memchr(in.at, 255, rest));
    bool complete = underscore != nullptr && (endMark == nullptr || underscore < endMark);
    if (complete) {
        // Longer sections are cut rather than overrun the buffer.
        size_t length = static_cast<size_t>(underscore - in.at);
        if (std::memchr(in.at, '\r', length) == nullptr) {
            std::memcpy(text.get(), in.at, std::min(length, size_t{textSectionCapacity - 1}));
            return text;
        }
        DataReader section = {in.at, underscore};
        int kept = 0;
        for (int ch = readTextChar(section); ch != EOF && kept < textSectionCapacity - 1;
             ch = readTextChar(section)) {
            text[kept++] = static_cast<char>(ch);
        }
        return text;
    }
    char reason[64];
    std::snprintf(reason, sizeof reason, "section %s has no closing _", tag);
    reportDataFileProblem(fileName, reason);
    return nullptr;
}
