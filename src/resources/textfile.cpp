// The tagged text file reader.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/platform.h"
#include "resources/datapath.h"
#include "resources/resources.h"

// The one watching the data files read (a recording or a replay), if any.
static DataFileObserver dataFileObserver = nullptr;

void observeDataFiles(DataFileObserver observer) {
    dataFileObserver = observer;
}

LoadProblem loadDataFile(const char *fileName, std::string &bytes) {
    std::string path = dataFilePath(fileName);
    FileBytes file = readFileBytes(path.c_str());
    if (file.closeFailed) {
        errno = file.error;
        exitWithError("fclose");
    }
    LoadProblem problem;
    if (!file.ok) {
        problem.failure = LoadFailure::fileUnreadable;
        std::snprintf(problem.reason, sizeof problem.reason, "%s", file.reason);
        return problem;
    }
    // A recording ties itself to the data it was made with.
    if (dataFileObserver != nullptr) dataFileObserver(fileName, file.bytes);
    bytes = std::move(file.bytes);
    return problem;
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

TextSection readTextSection(const char *fileName, const char *tag) {
    TextSection section;
    std::string bytes;
    section.problem = loadDataFile(fileName, bytes);
    if (!section.problem.ok()) return section;
    DataReader in = readerOf(bytes);
    if (!findTagLine(in, tag)) {
        section.problem.failure = LoadFailure::sectionUnusable;
        std::snprintf(section.problem.reason, sizeof section.problem.reason, "no section %s", tag);
        return section;
    }
    // The section runs to the first underscore; a byte of 255 ends the file before it.
    size_t rest = static_cast<size_t>(in.end - in.at);
    const char *underscore = static_cast<const char *>(std::memchr(in.at, '_', rest));
    const char *endMark = static_cast<const char *>(std::memchr(in.at, 255, rest));
    bool complete = underscore != nullptr && (endMark == nullptr || underscore < endMark);
    if (!complete) {
        section.problem.failure = LoadFailure::sectionUnusable;
        std::snprintf(section.problem.reason, sizeof section.problem.reason,
                      "section %s has no closing _", tag);
        return section;
    }
    TextBuffer text(new char[textSectionCapacity]());
    // Longer sections are cut rather than overrun the buffer.
    size_t length = static_cast<size_t>(underscore - in.at);
    if (std::memchr(in.at, '\r', length) == nullptr) {
        std::memcpy(text.get(), in.at, std::min(length, size_t{textSectionCapacity - 1}));
    } else {
        DataReader sectionText = {in.at, underscore};
        int kept = 0;
        for (int ch = readTextChar(sectionText); ch != EOF && kept < textSectionCapacity - 1;
             ch = readTextChar(sectionText)) {
            text[kept++] = static_cast<char>(ch);
        }
    }
    section.text = std::move(text);
    return section;
}
