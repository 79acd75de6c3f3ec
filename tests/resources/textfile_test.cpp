// The tagged text reader: finding a tag line, reading a section, and its failures.
#include <filesystem>

#include "resources/datapath.h"
#include "resources/resources.h"
#include "support/harness.h"

using TextFileTest = GameTest;

static std::string section(const char *file, const char *tag) {
    TextBuffer text = readTextSection(file, tag).text;
    return text ? std::string(text.get()) : std::string("<null>");
}

TEST_F(TextFileTest, ASectionRunsFromBehindItsTagLineToTheUnderscore) {
    writeFile("story.txt", "free text\nChunk1\nHello\n_\nChunk2\nfirst line\nsecond_ rest\n");
    EXPECT_EQ(section("story.txt", "Chunk1"), "Hello\n");
    EXPECT_EQ(section("story.txt", "Chunk2"), "first line\nsecond");
    EXPECT_EQ(section("story.txt", "Chunk1"), "Hello\n"); // no position is remembered
    writeFile("crlf.txt", "Tag0\r\nline one\r\nline two\r\n_\r\n");
    EXPECT_EQ(section("crlf.txt", "Tag0"), "line one\nline two\n");
}

TEST_F(TextFileTest, OnlyAWholeTagLineMatches) {
    writeFile("tags.txt", "Tag20\ntwenty_\nTag21\ntwenty-one_\nTag3 \nblank behind_\n"
                          "Tag1\nfirst_\nTag1\nsecond_\n");
    EXPECT_EQ(section("tags.txt", "Tag2"), "<null>"); // a prefix of Tag20 and Tag21
    EXPECT_EQ(section("tags.txt", "Tag3"), "<null>"); // a blank behind the tag
    EXPECT_EQ(section("tags.txt", "Tag1"), "first");  // the first occurrence wins
    EXPECT_EQ(section("tags.txt", "Tag21"), "twenty-one");

    EXPECT_TRUE(lineMatchesTag("Chunk1\n", "Chunk1"));
    EXPECT_TRUE(lineMatchesTag("Chunk1", "Chunk1"));  // the last line, without a line end
    EXPECT_TRUE(lineMatchesTag("Chunk1x", "Chunk1")); // one more character, no line end
    EXPECT_FALSE(lineMatchesTag("Chunk1xy", "Chunk1"));
    EXPECT_FALSE(lineMatchesTag("Chunk\n", "Chunk1"));
    EXPECT_FALSE(lineMatchesTag("\n", "Chunk1"));
}

TEST_F(TextFileTest, ALongLineIsExaminedInPiecesOfTwentyNineCharacters) {
    writeFile("skeleton.txt", std::string(29, 'x') + "TextTag1\nbones_");
    EXPECT_EQ(section("skeleton.txt", "TextTag1"), "bones"); // the second piece matches
    writeFile("shifted.txt", std::string(28, 'x') + "TextTag1\nbones_");
    EXPECT_EQ(section("shifted.txt", "TextTag1"), "<null>");
}

TEST_F(TextFileTest, ASectionEndingTooSoonGivesNoTextAndALongOneIsCutAt999Characters) {
    writeFile("last.txt", "Tag0\nzero_\nChunk9");
    EXPECT_EQ(section("last.txt", "Chunk9"), "<null>"); // found, but nothing follows
    writeFile("open.txt", "Tag0\nno underscore\n");
    EXPECT_EQ(section("open.txt", "Tag0"), "<null>");
    writeFile("byte255.txt", "Tag0\nab\xFF"
                             "cd_");
    EXPECT_EQ(section("byte255.txt", "Tag0"), "<null>"); // 255 reads as the end
    EXPECT_EQ(screenRow(2), "");                         // none of these is a missing file
    writeFile("long.txt", "Tag0\n" + std::string(1500, 'a') + "_");
    EXPECT_EQ(section("long.txt", "Tag0"), std::string(999, 'a'));
}

TEST_F(TextFileTest, AMissingFileIsReportedOnTheScreenAndTheErrorStream) {
    TextSection story = readTextSection("Story.txt", "Chunk1");
    EXPECT_EQ(story.text, nullptr);
    EXPECT_EQ(story.problem.failure, LoadFailure::fileUnreadable);
    EXPECT_EQ(screenRow(2), ""); // the reader leaves that to its caller
    showDataFileProblem("Story.txt", story.problem);
    EXPECT_TRUE(textShownAt("Couldnt find file", 45, 2, 15));
    std::string errors = headlessErrors(); // its own line, the last one
    EXPECT_EQ(errors.substr(errors.rfind('\n', errors.size() - 2) + 1),
              "Story.txt: No such file or directory\n");
}

TEST_F(TextFileTest, EachFileComesFromTheFirstPlaceThatHasIt) {
    std::filesystem::create_directories("first");
    std::filesystem::create_directories("last");
    DataPlaces places;
    places.searchDirectories = {"first", "", "last"};
    setDataPlaces(places);
    writeFile("last/Story.txt", "Chunk1\nlast_");
    EXPECT_EQ(section("Story.txt", "Chunk1"), "last");
    writeFile("Story.txt", "Chunk1\nhere_");
    EXPECT_EQ(section("Story.txt", "Chunk1"), "here");
    writeFile("first/Story.txt", "Chunk1\nfirst_");
    EXPECT_EQ(section("Story.txt", "Chunk1"), "first");
    EXPECT_EQ(section("last/Story.txt", "Chunk1"), "last"); // a path is taken as given
#ifndef _WIN32                                              // where links need a privilege
    // A link left by an older install whose files are gone is passed over.
    std::filesystem::create_symlink("/nonexistent/Story.txt", "first/Wizard.txt");
    writeFile("Wizard.txt", "wizard\n_");
    EXPECT_EQ(dataFilePath("Wizard.txt"), "Wizard.txt");
#endif
}
