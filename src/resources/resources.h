// Text resources: the tagged text files that hold the game's prose, and the reading rules
// that the map and picture loaders share with them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "console/console.h"
#include "platform/files.h"

constexpr int textSectionCapacity = 1000; // a section holds at most 999 characters
constexpr int tagPieceSize = 30;          // lines are examined in pieces of up to 29 characters

// A section's text, owned by whoever asked for it.
using TextBuffer = std::unique_ptr<char[]>;

// Reading position in the bytes of a file.
struct DataReader {
    const char *at;
    const char *end;
};
inline DataReader readerOf(const std::string &bytes) {
    return DataReader{bytes.data(), bytes.data() + bytes.size()};
}

// What kept a loader from giving all that was asked of a data file.
enum class LoadFailure : uint8_t {
    none,            // loaded
    fileUnreadable,  // the file could not be opened or read
    sectionUnusable, // read, but the tagged section is missing, cut short or unusable
};
// A loader's status: what failed and why, in words, for the line "name: reason".
struct LoadProblem {
    LoadFailure failure = LoadFailure::none;
    char reason[64] = "";
    bool ok() const { return failure == LoadFailure::none; }
};

// Told of every data file the game reads, with its name and bytes: a recording notes them, a
// replay checks them against its own. The recording layer sets it; null, nobody is told.
using DataFileObserver = void (*)(const char *name, const std::string &bytes);
void observeDataFiles(DataFileObserver observer);

// Reads a data file from the first place that has it (datapath.h); the problem says why it
// could not. A file that cannot be closed ends the program with status 1.
LoadProblem loadDataFile(const char *fileName, std::string &bytes);
// Where a screen shows a data file's problem: the headline at (column, row), the reason
// below it with its words wrapped at width and down to lastRow, all inside what the screen
// clears again, so that nothing of it is left behind.
struct ProblemPlace {
    uint16_t column;
    uint16_t row;
    uint16_t width;
    uint16_t lastRow;
};
// The message area of the dungeon and battle screens, no wider than the dialogue area's
// blanks reach: the narrowest clearing of the screens that show a problem there.
constexpr ProblemPlace messageAreaProblem = {messageColumn, messageRow,
                                             dialogueColumn + dialogueClearWidth - messageColumn,
                                             dialogueLastRow};
// The tavern's talk area, where the bartender's line would be. Its blank clears the row
// below from column 0 only, so the reason there stops where the blank does.
constexpr ProblemPlace talkAreaProblem = {talkColumn, talkRow, talkBlankWidth - talkColumn,
                                          talkRow + 1};
// Tells the player what went wrong with a data file, the one way every caller does: "Couldnt
// find file" (for a section, the headline given, if any), the reason ("name: reason") below
// it and, whole, on the error stream. Nothing when the load went well.
void showDataFileProblem(const char *fileName, const LoadProblem &problem,
                         const char *sectionHeadline = nullptr,
                         const ProblemPlace &place = messageAreaProblem);
// The next character as text mode reads it (a carriage return before a line feed is
// dropped); EOF at the end of the file. Inline: the loaders call it for every character.
inline int readTextChar(DataReader &in) {
    if (in.at == in.end) return EOF;
    int ch = static_cast<unsigned char>(*in.at++);
    if (ch == '\r' && in.at != in.end && *in.at == '\n') {
        in.at++;
        return '\n';
    }
    return ch;
}
// The next character of a section: as readTextChar, but a byte of 255 reads as the end of
// the file, as it always has for the game's files.
inline int readSectionChar(DataReader &in) {
    int ch = readTextChar(in);
    return ch == 255 ? EOF : ch;
}
// Reads on to just behind the first line that matches the tag; false if the file ends first.
bool findTagLine(DataReader &in, const char *tag);
// True when a piece of a line (at most 29 characters, with its line feed if the line ended
// in it) is the tag and nothing more.
bool lineMatchesTag(const char *line, const char *tag);
// A section's text, or null (with the problem) when the file cannot be read, the tag is
// missing or the file ends before the underscore.
struct TextSection {
    TextBuffer text;
    LoadProblem problem;
};
// The text of the tagged section, up to its underscore. Longer sections are cut at 999
// characters.
TextSection readTextSection(const char *fileName, const char *tag);

// --- NPC dialogue ---
// Plays the conversations of every character of the npcs table standing in that room of the
// dungeon of a game mode (4, 5, 6); any other mode does nothing.
void talkToNpcs(int32_t mode, int32_t roomRow, int32_t roomCol);
// True when a section's text begins with the name and a colon: the character's own line.
bool isSpokenBy(const char *text, const char *name);

// --- Pictures ---
constexpr int pictureRows = 33;
constexpr int pictureColumns = 33; // 32 characters and a terminator per row
// The shape every opponent's picture is drawn in: rows of 29 cells (blanks and the shades 176,
// 177 and 178), so that one picture drawn over another covers it; the battle shows the first
// monsterAreaRows rows.
constexpr int pictureDrawnColumns = 29;

// A picture of an opponent: rows of up to 32 code page 437 characters, each a string.
struct Picture {
    char rows[pictureRows][pictureColumns];
};

// Fills a picture from a tagged section, a row per line up to the underscore. Longer rows and
// longer pictures are cut. A failure leaves what was read and says why.
LoadProblem loadPicture(const char *fileName, const char *tag, Picture &picture);
