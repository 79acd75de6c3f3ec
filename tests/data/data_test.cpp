// The data checker passes the shipped data and names what is wrong in broken copies of it.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "datacheck/datacheck.h"
#include "support/harness.h"

namespace fs = std::filesystem;

// The shipped data, found from this file: tests/data/../../data.
static const fs::path shippedData =
    fs::path(__FILE__).parent_path().parent_path().parent_path() / "data";

// True when one line holds every one of the words; otherwise the lines are shown.
static testing::AssertionResult mentions(const std::vector<std::string> &lines,
                                         const std::vector<std::string> &words) {
    for (const std::string &line : lines) {
        bool all = true;
        for (const std::string &word : words)
            all = all && line.find(word) != std::string::npos;
        if (all) return testing::AssertionSuccess();
    }
    auto failure = testing::AssertionFailure() << "no line names " << words.front();
    for (const std::string &line : lines)
        failure << "\n  " << line;
    return failure;
}

using DataCheckTest = GameTest;

TEST_F(DataCheckTest, TheShippedDataLetsTheGameBeWon) {
    DataReport report = examineGameData(shippedData.string());
    for (const std::string &line : report.route)
        std::cout << "route: " << line << "\n";
    for (const std::string &line : report.warnings)
        std::cout << "warning: " << line << "\n";
    for (const std::string &line : report.problems)
        ADD_FAILURE() << line;
    EXPECT_TRUE(mentions(report.route, {"Agamir", "THE ENDING"}));
}

TEST_F(DataCheckTest, BrokenCopiesOfTheShippedDataAreNamed) {
    struct Case {
        std::string file, from, to; // the first occurrence of from becomes to
        std::vector<std::string> problem;
    };
    const Case cases[] = {
        {"map.txt",
         "\n7,3:NES:2$Red Key:",
         "\n7,3:NES:2",
         {"MapTag1 (Cave): the LDER door of room 9,5 never opens", "Red Key"}},
        {"map.txt", "\n7,3:NES:2$Red Key:", "\n7,3:NES:2", {"the ending cannot be reached"}},
        {"map.txt", "\n7,2:NS:2#NPC\n", "\n", {"MapTag1 (Cave)", "room 7,2 of NPC Goro"}},
        {"map.txt",
         "\n7,2:NS:2#NPC\n",
         "\n7,2:N:2#NPC\n",
         {"MapTag1 (Cave): room 7,3: its N opening faces room 7,2, which has no S"}},
        {"map.txt",
         "\n7,1:S:1#Start\n",
         "\n7,1:S:1\n",
         {"MapTag1 (Cave): the game cannot load it: no start room in MapTag1"}},
        {"Story.txt", "Chunk3\n", "Chunk9\n", {"Story.txt Chunk3", "missing"}},
        {"SkeletonScripts.txt",
         "TextTag10\nWhatever you swing, it is no match for me._",
         "TextTag10\nYour bottle is no match for me.\n_",
         {"SkeletonScripts.txt TextTag10", "\"me.\"", "alone onto a row"}},
        {"dragon2.txt",
         "dragon\n",
         "dragon\n" + std::string(30, '\xB2') + "\n",
         {"dragon2.txt", "wider than 29"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file + ": " + c.problem.front());
        for (const auto &entry : fs::directory_iterator(shippedData)) {
            fs::path name = entry.path().filename();
            if (name != "SaveFile.txt") writeFile(name.string(), readFile(entry.path().string()));
        }
        std::string text = readFile(c.file);
        size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos); // else the case breaks nothing
        writeFile(c.file, text.replace(at, c.from.size(), c.to));
        EXPECT_TRUE(mentions(examineGameData(fs::current_path().string()).problems, c.problem));
    }
}
